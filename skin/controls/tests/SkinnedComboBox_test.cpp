// The skinned combo box under the probe skin, shaped like the skin selection window's combo (a
// drop-down list 216 pixels wide): the button's place and states, command 14, the list adapter
// beyond DropDownCount, the read-only filter, the new window when the skin goes, the hot look
// while dropped down, and handle counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "skin/controls/sComboBox.h"
#include "skin/controls/tests/ProbeSkinForm.h"
#include "skin/windows/vxEditWnd.h"
#include "tests/support/HandleCount.h"

using namespace probeform;

namespace {

using skintest::ComboArrowPiece;
using skintest::ComboButtonPiece;

class SkinnedComboBox : public ProbeSkinned {
protected:
    TsComboBox* Combo(int items, const char* style = "csDropDownList")
    {
        auto* combo = Place<TsComboBox>(10, 10, 216, 21);
        combo->SetProperty("Style", TPropValue::OfIdent(style));
        combo->OnChange = [this](TObject*) { ++changes; };
        for (int i = 0; i < items; ++i)
            combo->Items().Add("Skin " + std::to_string(i));
        combo->Loaded();
        combo->HandleNeeded();
        return combo;
    }
    static LRESULT Command14(TsComboBox* c) { return SendMessageA(c->Handle(), SM_VELOCONCMD, MAKEWPARAM(0, 14), 0); }
    static bool Dropped(TsComboBox* c) { return SendMessageA(c->Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }
    static void DropDown(TsComboBox* c, bool on)
    {
        SendMessageA(c->Handle(), CB_SHOWDROPDOWN, on ? TRUE : FALSE, 0);
        Application->ProcessMessages();
    }
    static HWND ListOf(TsComboBox* c)
    {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(c->Handle(), &info);
        return info.hwndList;
    }
    static COLORREF Printed(TsComboBox* c, int x, int y)
    {
        TBitmap bmp(c->Width(), c->Height());
        SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp.Canvas().Handle()), PRF_CLIENT);
        return bmp.Canvas().Pixel(x, y);
    }
    int changes = 0;
};

} // namespace

TEST_F(SkinnedComboBox, TheButtonSitsInsideTheFrameAndShowsTheDropDown)
{
    TsComboBox* combo = Combo(3);
    UseSkin("Probe");
    const int bw = GetSystemMetrics(SM_CXVSCROLL), h = combo->Height();
    const int left = combo->Width() - bw - 3;
    EXPECT_EQ(combo->ButtonRect().left, left);
    // The bottom border of the button, below the arrow: its corner's staircase pins the left edge.
    const HWND wnd = combo->Handle();
    EXPECT_EQ(ClientPixel(wnd, left + 3, h - 3), ComboButtonPiece(0, 6));
    EXPECT_NE(ClientPixel(wnd, left + 2, h - 3), ComboButtonPiece(0, 6));
    EXPECT_EQ(ClientPixel(wnd, left + bw / 2, h - 3), ComboButtonPiece(0, 7));
    EXPECT_EQ(Printed(combo, left + bw / 2, h / 2), ComboArrowPiece(0));

    EXPECT_EQ(Command14(combo), 0);
    DropDown(combo, true);
    EXPECT_TRUE(combo->ButtonPressed());
    EXPECT_EQ(Command14(combo), 1);
    EXPECT_EQ(Printed(combo, left + bw / 2, h / 2), ComboArrowPiece(2));
    DropDown(combo, false);
    EXPECT_EQ(Command14(combo), 0);
    EXPECT_NE(Printed(combo, left + bw / 2, h / 2), ComboArrowPiece(2));

    // Right-to-left alignment: the button at x = 2.
    combo->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(combo->ButtonRect().left, 2);
    EXPECT_EQ(Printed(combo, 2 + 3, h - 3), ComboButtonPiece(0, 6));
}

TEST_F(SkinnedComboBox, OnlyAListLongerThanDropDownCountGetsTheListAdapter)
{
    TsComboBox* combo = Combo(16);
    EXPECT_EQ(combo->DropDownCount(), 16);
    UseSkin("Probe");
    DropDown(combo, true);
    EXPECT_EQ(combo->ListAdapter(), nullptr);
    EXPECT_EQ(GetPropA(ListOf(combo), "VXSBSC"), nullptr);
    DropDown(combo, false);
    combo->Items().Add("Skin 16");
    DropDown(combo, true);
    ASSERT_NE(combo->ListAdapter(), nullptr);
    EXPECT_EQ(GetPropA(ListOf(combo), "VXSBSC"), combo->ListAdapter());
    DropDown(combo, false);
}

TEST_F(SkinnedComboBox, ReadOnlyBlocksEveryWayOfChangingTheValue)
{
    TsComboBox* list = Combo(3);
    TsComboBox* edit = Combo(3, "csDropDown");
    edit->SetTop(40);
    UseSkin("Probe");
    for (TsComboBox* c : {list, edit}) {
        c->SetItemIndex(1);
        c->SetReadOnly(true);
    }
    const HWND wnd = list->Handle();
    const RECT b = list->ButtonRect();
    const LPARAM onButton = MAKELPARAM((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    struct Case {
        const char* name;
        HWND target;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(edit->Handle(), &info));
    const HWND child = info.hwndItem;
    const Case cases[] = {
        {"click on the button", wnd, WM_LBUTTONDOWN, MK_LBUTTON, onButton},
        {"double click", wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, onButton},
        {"Alt+Down", wnd, WM_SYSKEYDOWN, VK_DOWN, 1 << 29},
        {"F4", wnd, WM_KEYDOWN, VK_F4, 0},
        {"Down", wnd, WM_KEYDOWN, VK_DOWN, 0},
        {"a typed letter", wnd, WM_CHAR, 'S', 0},
        {"a typed digit", wnd, WM_KEYDOWN, '7', 0},
        {"the drop-down notification", wnd, CN_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN), 0},
        {"Alt+Down in the edit", child, WM_SYSKEYDOWN, VK_DOWN, 1 << 29},
        {"typing in the edit", child, WM_CHAR, 'x', 0},
        {"paste", child, WM_PASTE, 0, 0},
        {"cut", child, WM_CUT, 0, 0},
        {"clear", child, WM_CLEAR, 0, 0},
        {"undo", child, WM_UNDO, 0, 0},
    };
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4);
    memcpy(GlobalLock(text), "Neu", 4);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    for (const Case& c : cases) {
        SendMessageA(child, EM_SETSEL, 0, -1);
        SendMessageA(c.target, c.msg, c.wParam, c.lParam);
        Application->ProcessMessages();
        EXPECT_FALSE(Dropped(list)) << c.name;
        EXPECT_FALSE(Dropped(edit)) << c.name;
        EXPECT_FALSE(list->ButtonPressed()) << c.name;
        EXPECT_EQ(list->ItemIndex(), 1) << c.name;
        EXPECT_EQ(edit->Text(), "Skin 1") << c.name;
    }
    EXPECT_EQ(changes, 0);
    // Not read-only, the same click drops the list down.
    list->SetReadOnly(false);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    SendMessageA(wnd, WM_LBUTTONUP, 0, onButton);
    EXPECT_TRUE(Dropped(list));
    DropDown(list, false);
}

TEST_F(SkinnedComboBox, RemovingTheSkinGivesANewWindowThatKeepsItemsSelectionAndEvents)
{
    TsComboBox* combo = Combo(3);
    combo->SetItemIndex(2);
    UseSkin("Probe");
    EXPECT_EQ(combo->Color(), Colors("COMBOBOX").Color);
    const HWND old = combo->Handle();
    RemoveSkin();
    EXPECT_FALSE(IsWindow(old));
    ASSERT_TRUE(combo->HandleAllocated());
    EXPECT_NE(combo->Handle(), old);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Skin 2");
    EXPECT_EQ(combo->Color(), clWindow);
    EXPECT_EQ(combo->Font().Color(), clWindowText);
    // The user's choice reaches OnChange once; a choice by code does not.
    combo->SetItemIndex(0);
    EXPECT_EQ(changes, 0);
    SendMessageA(combo->Handle(), CB_SETCURSEL, 1, 0);
    SendMessageA(host->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->Handle()));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo->Text(), "Skin 1");
}

TEST_F(SkinnedComboBox, WhileDroppedDownTheMouseDoesNotChangeTheHotLook)
{
    TsComboBox* combo = Combo(3);
    UseSkin("Probe");
    SetCursorPos(5000, 5000);
    SendMessageA(combo->Handle(), CM_MOUSELEAVE, 0, 0);
    ASSERT_FALSE(combo->SkinData().MouseAbove);
    DropDown(combo, true);
    SendMessageA(combo->Handle(), CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(combo->SkinData().MouseAbove);
    DropDown(combo, false);
    SendMessageA(combo->Handle(), CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(combo->SkinData().MouseAbove);
    DropDown(combo, true);
    SendMessageA(combo->Handle(), CM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(combo->SkinData().MouseAbove);
    DropDown(combo, false);
    SendMessageA(combo->Handle(), CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(combo->SkinData().MouseAbove);
}

TEST_F(SkinnedComboBox, CreateDestroyCyclesLeaveHandleCountsFlat)
{
    UseSkin("Probe");
    auto cycle = [&] {
        TsComboBox* combo = Combo(20);
        DropDown(combo, true);
        DropDown(combo, false);
        const bool adapted = combo->ListAdapter() != nullptr;
        delete combo;
        return adapted;
    };
    ASSERT_TRUE(cycle());
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 200; ++i)
        cycle();
    EXPECT_EQ(THandleCount::Now(), before);
}
