// The skinned list box under the probe skin, shaped like the register's product list (single
// selection, entries 15 pixels high) and month list (two columns, multiple selection): colours
// from EDIT, the selection, the skinned bars' adapter and its removal, the typed search, the
// column width, the exception texts, the lines the box draws itself (owner draw, disabled,
// printing), the window styles, the virtual style, a refused line, the repaint lock and handle
// counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "gui/base/Exceptions.h"
#include "skin/engine/sColorMix.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sLabel.h"
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
    // The product list drawn by the box itself (owner draw without a drawing event).
    TsListBox* OwnerDrawnList()
    {
        auto* list = Place<TsListBox>(10, 10, 180, 120);
        list->SetStyle(lbOwnerDrawFixed);
        list->SetItemHeight(15);
        for (const char* s : {"MMMMMM", "WWWWWW", "HHHHHH"})
            list->Items().Add(s);
        list->Loaded();
        list->HandleNeeded();
        return list;
    }
};

// A window that refuses every new line, as a list box without memory does.
LRESULT CALLBACK RefusingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == LB_ADDSTRING || msg == LB_INSERTSTRING) return LB_ERRSPACE;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(wnd, "RefusedPrev")), wnd, msg, wParam, lParam);
}

// A memory DC over a bitmap of the given size, filled with one colour.
class TFilledDC {
public:
    TFilledDC(int width, int height, COLORREF fill) : dc_(CreateCompatibleDC(nullptr))
    {
        const HDC screen = GetDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        const RECT r{0, 0, width, height};
        const HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &r, brush);
        DeleteObject(brush);
    }
    ~TFilledDC()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
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

TEST_F(SkinnedListBox, LinesItDrawsItselfAreHighlightedInFontColourOrHalfwayWhenDisabled)
{
    TsListBox* list = OwnerDrawnList();
    UseSkin("Probe");
    const COLORREF font = RGBOf(list->Font().Color());
    const COLORREF halfway = RGBOf(AverageColor(list->Font().Color(), list->Color()));
    ASSERT_NE(font, halfway);
    list->SetItemIndex(1); // unfocused: still highlighted
    Settle();
    const RECT line0 = list->ItemRect(0), line1 = list->ItemRect(1);
    EXPECT_GT(CountColor(list->Handle(), line0, font), 0);
    EXPECT_EQ(CountColor(list->Handle(), line0, halfway), 0);
    EXPECT_GT(CountColor(list->Handle(), line1, GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);
    EXPECT_EQ(ClientPixel(list->Handle(), line1.right - 2, line1.top + 1), GetSysColor(COLOR_HIGHLIGHT));

    list->SetItemIndex(-1);
    list->SetEnabled(false);
    Settle();
    EXPECT_GT(CountColor(list->Handle(), line0, halfway), 0);
    EXPECT_EQ(CountColor(list->Handle(), line0, font), 0);
    EXPECT_EQ(ClientPixel(list->Handle(), line0.right - 2, line0.top + 1), RGBOf(list->Color()));
}

TEST_F(SkinnedListBox, WindowStylesFollowTheProperties)
{
    struct Case {
        const char* property;
        TPropValue value;
        DWORD set, clear, exClear;
    };
    const Case cases[] = {
        {"", {}, LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, LBS_DISABLENOSCROLL | LBS_USETABSTOPS | 0x30, 0},
        {"AutoHideScroll", TPropValue::OfIdent("False"), LBS_DISABLENOSCROLL, 0, 0},
        {"IntegralHeight", TPropValue::OfIdent("True"), 0, LBS_NOINTEGRALHEIGHT, 0},
        {"TabWidth", TPropValue::OfInt(8), LBS_USETABSTOPS, 0, 0},
        {"TabWidth", TPropValue::OfInt(-3), 0, LBS_USETABSTOPS, 0},
        {"Sorted", TPropValue::OfIdent("True"), LBS_SORT, 0, 0},
        {"MultiSelect", TPropValue::OfIdent("True"), LBS_EXTENDEDSEL, LBS_MULTIPLESEL, 0},
        {"Style", TPropValue::OfIdent("lbOwnerDrawFixed"), LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, LBS_NODATA, 0},
        {"Style", TPropValue::OfIdent("lbOwnerDrawVariable"), LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, 0, 0},
        {"Style", TPropValue::OfIdent("lbVirtual"), LBS_OWNERDRAWFIXED | LBS_NODATA, LBS_HASSTRINGS | LBS_SORT, 0},
        {"BorderStyle", TPropValue::OfIdent("bsNone"), 0, 0, WS_EX_CLIENTEDGE},
    };
    for (const Case& c : cases) {
        auto* list = Place<TsListBox>(10, 10, 180, 80);
        if (*c.property) list->SetProperty(c.property, c.value);
        const HWND wnd = list->Handle();
        const DWORD style = static_cast<DWORD>(GetWindowLongA(wnd, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(wnd, GWL_EXSTYLE));
        EXPECT_EQ(style & c.set, c.set) << c.property << " " << c.value.i << c.value.s;
        EXPECT_EQ(style & c.clear, 0u) << c.property << " " << c.value.i << c.value.s;
        EXPECT_EQ(exStyle & (c.exClear | WS_EX_CLIENTEDGE), WS_EX_CLIENTEDGE & ~c.exClear) << c.property;
        delete list;
    }
    auto* months = Place<TsListBox>(10, 10, 180, 80);
    months->SetProperty("MultiSelect", TPropValue::OfIdent("True"));
    months->SetProperty("ExtendedSelect", TPropValue::OfIdent("False"));
    EXPECT_EQ(GetWindowLongA(months->Handle(), GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL), LBS_MULTIPLESEL);
}

TEST_F(SkinnedListBox, TheVirtualStyleKeepsOnlyACountAndAssignedLinesEndIt)
{
    TsListBox* list = ProductList();
    list->SetName("ProdListSel");
    list->SetSorted(true);
    list->OnData = [](TWinControl*, int index, std::string& text) { text = "Zeile " + std::to_string(index); };
    list->SetStyle(lbVirtual);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_FALSE(list->Sorted());
    list->SetCount(50);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 50);
    EXPECT_EQ(list->Count(), 50);
    EXPECT_EQ(list->Items()[7], "Zeile 7");
    char text[32] = {};
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXTLEN, 12, 0), 8);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 12, reinterpret_cast<LPARAM>(text)), 8);
    EXPECT_STREQ(text, "Zeile 12");

    TPropValue lines;
    lines.kind = TPropValue::List;
    lines.items = {"Apfel", "Brot"};
    list->SetProperty("Items.Strings", lines); // as a description gives them
    EXPECT_EQ(list->Style(), lbStandard);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Items()[1], "Brot");
    EXPECT_THROW(list->SetCount(3), EInvalidOperation);
}

TEST_F(SkinnedListBox, NothingIsPaintedWhileRepaintingIsLockedOrTheLinesUpdate)
{
    TsListBox* list = ProductList();
    UseSkin("Probe");
    RECT client;
    GetClientRect(list->Handle(), &client);
    const COLORREF magenta = RGB(255, 0, 255);
    auto printed = [&] {
        TFilledDC dc(client.right, client.bottom, magenta);
        SendMessageA(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        return GetPixel(dc.get(), client.right - 3, client.bottom - 3);
    };
    RepaintLocked = true;
    EXPECT_EQ(printed(), magenta);
    {
        TFilledDC dc(client.right, client.bottom, magenta);
        SendMessageA(list->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
        EXPECT_EQ(GetPixel(dc.get(), 3, client.bottom - 3), magenta);
    }
    InvalidateRect(list->Handle(), nullptr, FALSE);
    UpdateWindow(list->Handle());
    EXPECT_FALSE(GetUpdateRect(list->Handle(), nullptr, FALSE)); // counts as painted
    RepaintLocked = false;
    EXPECT_EQ(printed(), RGBOf(Colors("EDIT").Color));

    {
        TStringsUpdate update(list->Items());
        EXPECT_TRUE(list->SkinData().Updating);
    }
    EXPECT_FALSE(list->SkinData().Updating);
}

TEST_F(SkinnedListBox, PrintingDrawsTheLinesFromTheLastToTheFirst)
{
    auto* list = Place<TsListBox>(10, 10, 180, 120);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(15);
    for (int i = 0; i < 5; ++i)
        list->Items().Add("Zeile " + std::to_string(i));
    std::vector<int> drawn;
    list->OnDrawItem = [&](TWinControl*, int index, const RECT&, TOwnerDrawState) { drawn.push_back(index); };
    list->Loaded();
    list->HandleNeeded();
    Settle();
    drawn.clear(); // (with a skin, the bars' adapter answers WM_PRINT before the box)
    TFilledDC dc(180, 120, RGB(255, 0, 255));
    PrintDC = dc.get();
    const LRESULT result =
        SendMessageA(list->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_NONCLIENT);
    PrintDC = nullptr;
    EXPECT_EQ(result, 1);
    EXPECT_EQ(drawn, (std::vector<int>{4, 3, 2, 1, 0}));
    // The client area starts 2 pixels in, in the box's colour.
    EXPECT_EQ(GetPixel(dc.get(), 1, 100), RGB(255, 0, 255));
    EXPECT_EQ(GetPixel(dc.get(), 2, 100), RGBOf(list->Color()));
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

TEST_F(SkinnedListBox, LineRectanglesTopIndexScrollWidthAndClearedSelection)
{
    TsListBox* list = ProductList(40);
    const RECT last = list->ItemRect(39), below = list->ItemRect(40), beyond = list->ItemRect(41);
    EXPECT_EQ(below.top, last.bottom);
    EXPECT_EQ(below.bottom - below.top, 15);
    EXPECT_TRUE(IsRectEmpty(&beyond));
    list->SetTopIndex(10);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTOPINDEX, 0, 0), 10);
    list->SetScrollWidth(900);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETHORIZONTALEXTENT, 0, 0), 900);
    list->SetItemIndex(3);
    list->ClearSelection();
    EXPECT_EQ(CurSel(list), -1);

    auto* months = Place<TsListBox>(10, 10, 244, 60);
    months->SetMultiSelect(true);
    months->SetColumns(2);
    for (int i = 1; i <= 24; ++i)
        months->Items().Add(std::to_string(i) + "/24");
    months->SetSelected(1, true);
    months->SetSelected(3, true);
    const HWND before = months->Handle();
    months->SetColumns(4); // 4 columns: no new window, (244 + 1) div 4 = 61 wide
    EXPECT_EQ(months->Handle(), before);
    const RECT first = months->ItemRect(0);
    EXPECT_EQ(first.right - first.left, 61);
    months->ClearSelection();
    EXPECT_EQ(SendMessageA(months->Handle(), LB_GETSELCOUNT, 0, 0), 0);
}

TEST_F(SkinnedListBox, VariableLinesTakeTheirMeasuredHeights)
{
    auto* list = Place<TsListBox>(10, 10, 180, 120);
    list->SetStyle(lbOwnerDrawVariable);
    list->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 10 * (index + 1); };
    for (const char* s : {"Apfel", "Brot", "Brezel"})
        list->Items().Add(s);
    list->HandleNeeded();
    for (int i = 0; i < 3; ++i) {
        const RECT r = list->ItemRect(i);
        EXPECT_EQ(r.bottom - r.top, 10 * (i + 1)) << i;
    }
}

TEST_F(SkinnedListBox, TheBoundLabelFromTheDescriptionFollowsTheBox)
{
    auto* list = Place<TsListBox>(150, 60, 180, 80);
    list->SetName("ProdListSel");
    list->SetProperty("BoundLabel.Active", TPropValue::OfIdent("True"));
    list->SetProperty("BoundLabel.Caption", TPropValue::OfString("Artikel"));
    list->Loaded();
    TsEditLabel* label = list->BoundLabel().FLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), "Artikel");
    UseSkin("Probe");
    const int dx = list->Left() - label->Left();
    list->SetBounds(200, 100, 180, 80);
    EXPECT_EQ(label->Left(), 200 - dx);
    list->Hide();
    EXPECT_FALSE(label->Visible());
    list->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
}

namespace {
// The text of the error of type E that f raises, or "no error".
template <class E, class F> std::string ErrorText(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "no error";
}
} // namespace

TEST_F(SkinnedListBox, ErrorTextsAreExactAndARefusedLineLeavesTheLines)
{
    TsListBox* list = ProductList();
    list->SetName("ProdListSel");
    EXPECT_EQ(ErrorText<EInvalidOperation>([&] { list->SetCount(3); }),
              "Listbox (ProdListSel) style must be virtual in order to set Count");
    EXPECT_EQ(ErrorText<EStringListError>([&] { list->GetSelected(6); }), "Listenindex überschreitet das Maximum (6)");

    const HWND wnd = list->Handle();
    SetPropA(wnd, "RefusedPrev", reinterpret_cast<HANDLE>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)));
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefusingProc));
    EXPECT_EQ(ErrorText<EOutOfResources>([&] { list->Items().Add("Zwiebel"); }), "Zeile kann nicht eingefügt werden");
    EXPECT_EQ(ErrorText<EOutOfResources>([&] { list->Items().Insert(0, "Zwiebel"); }),
              "Zeile kann nicht eingefügt werden");
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(wnd, "RefusedPrev")));
    RemovePropA(wnd, "RefusedPrev");
    EXPECT_EQ(list->Count(), 6);
    EXPECT_EQ(list->Items().IndexOf("Zwiebel"), -1);
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
