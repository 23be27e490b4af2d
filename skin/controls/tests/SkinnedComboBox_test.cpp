// The skinned combo box under the probe skin, shaped like the skin selection window's combo (a
// drop-down list 216 pixels wide): the button's place and states, command 14, the list adapter
// beyond DropDownCount, the read-only filter, the new window when the skin goes, the hot look
// while dropped down, and handle counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/controls/sComboBox.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/tests/ProbeSkinForm.h"
#include "skin/windows/vxEditWnd.h"
#include "skin/windows/vxGlow.h"
#include "skin/engine/sHooks.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageSpy.h"

using namespace probeform;

namespace {

using skintest::ComboArrowPiece;
using skintest::ComboButtonPiece;

// Writes a window's new style into the DWORD the subclass data points to.
LRESULT CALLBACK NoteNewStyle(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_STYLECHANGED && static_cast<int>(wp) == GWL_STYLE)
        *reinterpret_cast<DWORD*>(data) = reinterpret_cast<const STYLESTRUCT*>(lp)->styleNew;
    return DefSubclassProc(w, msg, wp, lp);
}

class SkinnedComboBox : public ProbeSkinned {
protected:
    TsComboBox* Combo(int items, const char* style = "csDropDownList")
    {
        auto* combo = new TsComboBox(form); // the style before the window: made once
        combo->SetProperty("Style", TPropValue::OfIdent(style));
        combo->SetParent(host);
        combo->SetBounds(10, 10, 216, 21);
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
    // How many pixels of the printed edit area (inside the frame, left of the button) show c.
    static int PrintedEditPixels(TsComboBox* combo, TColor c)
    {
        TBitmap bmp(combo->Width(), combo->Height());
        SendMessageA(combo->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp.Canvas().Handle()), PRF_CLIENT);
        int n = 0;
        for (int y = 3; y < combo->Height() - 3; ++y)
            for (int x = 3; x < combo->ButtonRect().left - 1; ++x)
                n += bmp.Canvas().Pixel(x, y) == ColorToRGB(c);
        return n;
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
    // With visual themes the list's least number of visible lines follows DropDownCount.
    TsWindowSkinningHooks& hooks = WindowSkinningHooks();
    const auto themes = hooks.ThemesEnabled;
    hooks.ThemesEnabled = [] { return true; };
    auto* spied = Place<TsComboBox>(10, 40, 216, 21);
    testrig::TMessageSpy spy(spied, [](UINT msg) { return msg == 0x1701; });
    spied->SetDropDownCount(12);
    spied->RecreateWnd();
    hooks.ThemesEnabled = [] { return false; };
    spied->SetDropDownCount(13);
    hooks.ThemesEnabled = themes;
    ASSERT_EQ(spy.Count(0x1701), 2);
    EXPECT_EQ(spy.Messages()[0].WParam, 12u);
    EXPECT_EQ(spy.Messages()[1].WParam, 12u) << "the new window";

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

    // Freed with the skin, the adapter leaves the list a plain border instead of a sizing frame.
    const HWND list = ListOf(combo);
    SetWindowLongPtrA(list, GWL_STYLE, (GetWindowLongPtrA(list, GWL_STYLE) & ~WS_BORDER) | WS_THICKFRAME);
    DWORD lastStyle = 0;
    ASSERT_TRUE(SetWindowSubclass(list, &NoteNewStyle, 1, reinterpret_cast<DWORD_PTR>(&lastStyle)));
    RemoveSkin();
    EXPECT_EQ(lastStyle & (WS_THICKFRAME | WS_BORDER), static_cast<DWORD>(WS_BORDER));
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
    edit->SetFocus();
    ASSERT_EQ(GetFocus(), child);
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
        if (c.msg == WM_LBUTTONDOWN) {
            EXPECT_EQ(GetFocus(), wnd) << c.name << " takes the focus";
        }
    }
    EXPECT_EQ(changes, 0);
    // A click on the read-only edit combo puts the focus into its edit.
    SendMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    Application->ProcessMessages();
    EXPECT_EQ(GetFocus(), child);
    EXPECT_FALSE(Dropped(edit));
    // Not read-only, the same click drops the list down.
    list->SetReadOnly(false);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    SendMessageA(wnd, WM_LBUTTONUP, 0, onButton);
    EXPECT_TRUE(Dropped(list));
    DropDown(list, false);
}

// Owner-draw styles while skinned: the edit area is the cache image, highlighted only while
// focused and not read-only nor dropped down; OnDrawItem gets the edit area (ODS_COMBOBOXEDIT)
// with the selected entry and, dropped down, the list's entries.
TEST_F(SkinnedComboBox, AnOwnerDrawnEditAreaIsHighlightedOnlyWhileFocused)
{
    TsComboBox* combo = Combo(3, "csOwnerDrawFixed");
    TsComboBox* other = Combo(3);
    other->SetTop(40);
    combo->SetItemIndex(1);
    UseSkin("Probe");
    const int area = (combo->ButtonRect().left - 4) * (combo->Height() - 6);
    EXPECT_EQ(PrintedEditPixels(combo, clHighlight), 0);
    combo->SetFocus();
    ASSERT_EQ(GetFocus(), combo->Handle());
    EXPECT_GT(PrintedEditPixels(combo, clHighlight), area / 2);
    DropDown(combo, true);
    EXPECT_EQ(PrintedEditPixels(combo, clHighlight), 0) << "dropped down";
    DropDown(combo, false);
    combo->SetReadOnly(true);
    EXPECT_EQ(PrintedEditPixels(combo, clHighlight), 0) << "read-only";
    combo->SetReadOnly(false);
    // Nothing selected (an empty Text): the list's entries still show their text.
    combo->SetItemIndex(-1);
    DropDown(combo, true);
    RECT second{};
    SendMessageA(ListOf(combo), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    EXPECT_GT(CountColor(ListOf(combo), second, ColorToRGB(combo->Font().Color())), 10);
    EXPECT_GT(CountColor(ListOf(combo), second, ColorToRGB(combo->Color())), 10);
    DropDown(combo, false);
    combo->SetItemIndex(1);

    std::vector<int> drawn; // edit area: 100 + index
    combo->OnDrawItem = [&](TWinControl* c, int index, const RECT& r, TOwnerDrawState state) {
        drawn.push_back(state & ODS_COMBOBOXEDIT ? 100 + index : index);
        static_cast<TsComboBox*>(c)->Canvas().FillRect(r);
    };
    EXPECT_GT(PrintedEditPixels(combo, clHighlight), area / 2);
    EXPECT_EQ(drawn, std::vector<int>({101}));
    drawn.clear();
    DropDown(combo, true);
    std::erase_if(drawn, [](int i) { return i >= 100; });
    std::sort(drawn.begin(), drawn.end());
    drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
    EXPECT_EQ(drawn, std::vector<int>({0, 1, 2}));
    DropDown(combo, false);
    other->SetFocus();
    EXPECT_EQ(PrintedEditPixels(combo, clHighlight), 0);
}

// Typed characters search the list; a pause longer than AutoCompleteDelay starts a new search.
TEST_F(SkinnedComboBox, TypedCharactersSearchTheListWithinAutoCompleteDelay)
{
    TsComboBox* combo = Combo(0);
    for (const char* line : {"Alpha", "Beta", "Bern", "Blau"})
        combo->Items().Add(line);
    UseSkin("Probe");
    EXPECT_EQ(combo->AutoCompleteDelay(), 500u);
    const auto type = [&](const char* keys, DWORD pause) {
        for (; *keys; ++keys) {
            SendMessageA(combo->Handle(), WM_CHAR, static_cast<WPARAM>(*keys), 0);
            Sleep(pause);
        }
        return combo->ItemIndex();
    };
    combo->SetAutoCompleteDelay(60000);
    EXPECT_EQ(type("bl", 0), 3);
    EXPECT_EQ(changes, 2); // Beta, then Blau
    combo->SetAutoCompleteDelay(0);
    EXPECT_EQ(type("bl", 40), 1); // "b" finds Beta, "l" alone nothing
    EXPECT_EQ(changes, 3);
    combo->SetAutoComplete(false);
    EXPECT_EQ(type("a", 0), 0) << "the window's own first-letter search";
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

TEST_F(SkinnedComboBox, HotTrackingFollowsTheMouseOnlyWhileClosed)
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
    const COLORREF normal = Printed(combo, 1, combo->Height() / 2);
    SendMessageA(combo->Handle(), CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(combo->SkinData().MouseAbove);
    EXPECT_EQ(manager->ActiveControl(), combo->Handle());
    EXPECT_NE(Printed(combo, 1, combo->Height() / 2), normal) << "the hot frame";
    DropDown(combo, true);
    SendMessageA(combo->Handle(), CM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(combo->SkinData().MouseAbove);
    DropDown(combo, false);
    SendMessageA(combo->Handle(), CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(combo->SkinData().MouseAbove);
    EXPECT_EQ(Printed(combo, 1, combo->Height() / 2), normal);
}

// Hot, the combo glows where its section has a glow (the probe's BUTTON); leaving clears it.
TEST_F(SkinnedComboBox, AHotComboGlowsUntilTheMouseLeaves)
{
    TsComboBox* combo = Combo(3);
    combo->SkinData().SetSkinSection("BUTTON");
    UseSkin("ProbeGlow");
    const auto glows = [] {
        int n = 0;
        for (int id = 0; id < GlowListLength(); ++id)
            n += GlowEffect(id) != nullptr;
        return n;
    };
    SetCursorPos(5000, 5000);
    ASSERT_EQ(glows(), 0);
    SendMessageA(combo->Handle(), CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(glows(), 1);
    SendMessageA(combo->Handle(), CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(glows(), 0);
}

// The bound label follows the combo; disabled, the combo is drawn blended into its background.
TEST_F(SkinnedComboBox, TheBoundLabelFollowsAndTheDisabledLookIsBlended)
{
    TsComboBox* combo = Combo(3);
    combo->SetItemIndex(0);
    combo->SetProperty("BoundLabel.Caption", TPropValue::OfString("Skin"));
    combo->BoundLabel().SetActive(true);
    TsEditLabel* label = combo->BoundLabel().FLabel();
    ASSERT_NE(label, nullptr);
    UseSkin("Probe");
    const int dx = combo->Left() - label->Left();
    combo->SetBounds(150, 60, 216, 21);
    EXPECT_EQ(label->Left(), 150 - dx);
    combo->Hide();
    EXPECT_FALSE(label->Visible());
    combo->Show();
    const int x = combo->ButtonRect().left - 20, y = combo->Height() / 2;
    const COLORREF enabled = Printed(combo, x, y);
    combo->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    const COLORREF disabled = Printed(combo, x, y), host = ColorToRGB(HostColor);
    EXPECT_NE(disabled, enabled);
    // Blended halfway towards the host's colour (within rounding).
    for (int shift : {0, 8, 16}) {
        const int mixed = (((enabled >> shift) & 0xFF) + ((host >> shift) & 0xFF)) / 2;
        EXPECT_NEAR(static_cast<int>((disabled >> shift) & 0xFF), mixed, 2) << shift;
    }
}

TEST_F(SkinnedComboBox, CreateDestroyCyclesLeaveHandleCountsFlat)
{
    UseSkin("Probe");
    TsComboBox* first = Combo(20);
    DropDown(first, true);
    DropDown(first, false);
    ASSERT_NE(first->ListAdapter(), nullptr);
    delete first;
    // The list meets its adapter with its first colour question; no pump is needed for that.
    // Each tenth combo gets one (the list's new frame costs an X round trip under Wine).
    const auto cycle = [&](bool adapt) {
        TsComboBox* combo = Combo(20);
        if (adapt) {
            const TWindowDC dc(combo->Handle());
            SendMessageA(combo->Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.get()),
                         reinterpret_cast<LPARAM>(ListOf(combo)));
        }
        const bool adapted = combo->ListAdapter() != nullptr;
        delete combo;
        return adapted;
    };
    ASSERT_TRUE(cycle(true));
    const THandleCount before = THandleCount::Now();
    int adapted = 0;
    for (int i = 0; i < 1000; ++i)
        adapted += cycle(i % 10 == 0);
    Application->ProcessMessages();
    EXPECT_EQ(adapted, 100);
    EXPECT_EQ(THandleCount::Now(), before);
}
