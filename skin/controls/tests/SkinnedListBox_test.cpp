// The skinned list box under the probe skin, shaped like the register's product list (single
// selection, entries 15 pixels high) and month list (two columns, multiple selection): colours
// from EDIT, the selection, the skinned bars' adapter and its removal, the typed search, the
// column width, the exception texts and handle counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/base/Exceptions.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/tests/ProbeSkinForm.h"
#include "skin/windows/vxEditWnd.h"
#include "tests/support/HandleCount.h"

using namespace probeform;

namespace {

class SkinnedListBox : public ProbeSkinned {
protected:
    TsListBox* ProductList(int count = 0)
    {
        auto* list = Place<TsListBox>(10, 10, 180, 80);
        list->SetItemHeight(15);
        for (const char* s : {"Apfel", "Brot", "Brezel", "Butter", "Käse", "Kiwi"})
            list->Items().Add(s);
        for (int i = 6; i < count; ++i)
            list->Items().Add("Artikel " + std::to_string(i));
        list->Loaded(); // as a form description leaves it: section "EDIT"
        list->HandleNeeded();
        return list;
    }
    static void Type(TsListBox* list, char c)
    {
        SendMessageA(list->Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    static int CurSel(TsListBox* list) { return static_cast<int>(SendMessageA(list->Handle(), LB_GETCURSEL, 0, 0)); }
};

} // namespace

TEST_F(SkinnedListBox, ColoursComeFromEditTheSelectionStaysHighlightedAndTheBarsAreAdapted)
{
    TsListBox* list = ProductList(40);
    UseSkin("Probe");
    ASSERT_NE(list->ScrollAdapter(), nullptr);
    EXPECT_EQ(GetPropA(list->Handle(), "VXSBSC"), list->ScrollAdapter());
    EXPECT_TRUE(list->ScrollAdapter()->VertBar->Visible);
    EXPECT_EQ(list->Color(), Colors("EDIT").Color);
    list->SetItemIndex(1); // never focused: still highlighted
    Settle();
    RECT client, item = list->ItemRect(1);
    GetClientRect(list->Handle(), &client);
    EXPECT_EQ(ClientPixel(list->Handle(), client.right - 3, client.bottom - 3), RGBOf(Colors("EDIT").Color));
    EXPECT_EQ(ClientPixel(list->Handle(), item.right - 3, item.top + 2), GetSysColor(COLOR_HIGHLIGHT));

    RemoveSkin();
    EXPECT_EQ(list->ScrollAdapter(), nullptr);
    EXPECT_EQ(GetPropA(list->Handle(), "VXSBSC"), nullptr);
    EXPECT_EQ(list->Color(), clWindow);
    EXPECT_EQ(list->Font().Color(), clWindowText);
}

TEST_F(SkinnedListBox, TypedCharactersWithinTheDelaySearchByPrefixAndAPauseStartsAnew)
{
    TsListBox* list = ProductList();
    UseSkin("Probe");
    Type(list, 'B');
    EXPECT_EQ(CurSel(list), 1); // "Brot"
    Type(list, 'r');
    EXPECT_EQ(CurSel(list), 1);
    Type(list, 'e');
    EXPECT_EQ(CurSel(list), 2); // "Brezel"
    Type(list, '\b');
    Type(list, 'o');
    EXPECT_EQ(CurSel(list), 1);
    Sleep(600);
    Type(list, 'K');
    EXPECT_EQ(CurSel(list), 4); // "Käse"
    Type(list, 'x');            // no entry starts with "Kx": the selection stays
    EXPECT_EQ(CurSel(list), 4);
}

TEST_F(SkinnedListBox, TwoColumnsOf244PixelsAre121Wide)
{
    auto* months = Place<TsAlphaListBox>(10, 10, 244, 60);
    months->SetColumns(2);
    for (int i = 1; i <= 24; ++i)
        months->Items().Add(std::to_string(i) + "/24");
    months->Loaded();
    UseSkin("Probe");
    int second = 1;
    while (second < months->Count() && months->ItemRect(second).left == 0)
        ++second;
    ASSERT_LT(second, months->Count());
    EXPECT_EQ(months->ItemRect(second).left, 121);
}

TEST_F(SkinnedListBox, ExceptionTextsAreExact)
{
    TsListBox* list = ProductList();
    list->SetName("ProdListSel");
    try {
        list->SetCount(3);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Listbox (ProdListSel) style must be virtual in order to set Count");
    }
    try {
        list->GetSelected(6);
        ADD_FAILURE() << "no error";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "Listenindex überschreitet das Maximum (6)");
    }
}

TEST_F(SkinnedListBox, CreatingAndDestroyingSkinnedListsLeavesHandleCountsFlat)
{
    UseSkin("Probe");
    auto cycle = [&] {
        TsListBox* list = ProductList(100);
        SendMessageA(list->Handle(), LB_SETHORIZONTALEXTENT, 1000, 0);
        ASSERT_NE(list->ScrollAdapter(), nullptr);
        RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        delete list;
    };
    cycle();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 30; ++i) // about half a second each under Wine
        cycle();
    EXPECT_EQ(THandleCount::Now(), before);
}
