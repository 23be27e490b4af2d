// The combo box adapter on raw combo boxes with the probe skin: the button's skin pieces for the
// states 0/1/2 and its rectangle (also right to left), the text's origin, a focused drop-down
// list's highlight, the list's colours and adapter from its first colour query, an item of
// 10,000 characters, and drop-down cycles without handle growth. The combo is printed
// (WM_PRINT) into a bitmap of its size unless the screen is meant.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxComboBoxWnd.h"
#include "skin/windows/vxSBUtils.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageHost.h"

namespace {

using skintest::ComboArrowPiece;
using skintest::ComboButtonPiece;

class ComboBoxAdapter : public TAdapterProbeTest {
protected:
    void SetUp() override
    {
        LoadProbeSkin("Probe");
        form = NewForm(100, 100, 300, 260);
    }
    // A combo of 3 items whose edit part is 30 pixels high, so that the button's top border lies
    // above the arrow glyph.
    HWND NewCombo(DWORD style, DWORD exStyle = 0)
    {
        const HWND combo = CreateWindowExA(exStyle, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | style, 10, 10,
                                           150, 200, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        for (const char* item : {"Brot", "Milch", "Kaese"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 30);
        return combo;
    }
    TvxComboBoxWnd* Adapt(HWND combo)
    {
        return CreateAdapter<TvxComboBoxWnd>(combo, nullptr, manager, "COMBOBOX", true);
    }
    static SIZE SizeOf(HWND wnd) { return WindowSize(wnd); }
    static std::unique_ptr<TBitmap> Print(HWND combo) { return PrintedWindow(combo); }
    static HWND ListOf(HWND combo)
    {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        return info.hwndList;
    }
    // The box around the pixels that differ between two prints of one size.
    static RECT InkBox(TBitmap& a, TBitmap& b)
    {
        RECT box{a.Width(), a.Height(), -1, -1};
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Canvas().Pixel(x, y) != b.Canvas().Pixel(x, y)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    TForm* form = nullptr;
};

TEST_F(ComboBoxAdapter, TheButtonShowsItsStateInTheSkinsPiecesAndSitsAtTheRightPlace)
{
    const HWND combo = NewCombo(CBS_DROPDOWNLIST);
    TvxComboBoxWnd* a = Adapt(combo);
    const SIZE s = SizeOf(combo);
    const int bw = GetSystemMetrics(SM_CXVSCROLL), left = s.cx - bw - 2, mid = left + bw / 2;
    ASSERT_GE(s.cy, 36);
    EXPECT_EQ(a->GetButtonRect().left, left);
    auto expectState = [&](int state, const char* when) {
        auto p = Print(combo);
        EXPECT_EQ(p->Canvas().Pixel(mid, 3), ComboButtonPiece(state, 1)) << when;
        EXPECT_EQ(p->Canvas().Pixel(mid, s.cy / 2), ComboArrowPiece(state)) << when;
    };
    // The rectangle: x from W - SM_CXVSCROLL - 2, y from 2 to H - 2.
    auto p = Print(combo);
    EXPECT_EQ(p->Canvas().Pixel(left + 3, 3), ComboButtonPiece(0, 0));
    EXPECT_NE(p->Canvas().Pixel(left - 1, 3), ComboButtonPiece(0, 0));
    EXPECT_EQ(p->Canvas().Pixel(left + bw - 4, 3), ComboButtonPiece(0, 2));
    EXPECT_NE(p->Canvas().Pixel(left + bw, 3), ComboButtonPiece(0, 2));
    EXPECT_EQ(p->Canvas().Pixel(mid, 2), ComboButtonPiece(0, 1));
    EXPECT_NE(p->Canvas().Pixel(mid, 1), ComboButtonPiece(0, 1));
    EXPECT_EQ(p->Canvas().Pixel(mid, s.cy - 3), ComboButtonPiece(0, 7));
    EXPECT_NE(p->Canvas().Pixel(mid, s.cy - 2), ComboButtonPiece(0, 7));
    // On the screen too, after the combo's own painting.
    RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME | RDW_ERASE);
    MessageHost::Pump(30);
    {
        const HDC dc = GetWindowDC(combo);
        EXPECT_EQ(GetPixel(dc, mid, 3), ComboButtonPiece(0, 1));
        ReleaseDC(combo, dc);
    }

    manager->SetActiveControl(combo);
    expectState(1, "hot control");
    manager->SetActiveControl(nullptr);
    expectState(0, "no longer hot");
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    MessageHost::Pump(50);
    EXPECT_EQ(a->ListWnd, ListOf(combo));
    EXPECT_TRUE(a->ListAdapter);
    expectState(2, "dropped down");
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    MessageHost::Pump(20);
    expectState(0, "closed");
    delete a;
    DestroyWindow(combo);

    // Right to left: the button at x = 2.
    const HWND rtl = NewCombo(CBS_DROPDOWN, WS_EX_RTLREADING);
    TvxComboBoxWnd* r = Adapt(rtl);
    EXPECT_EQ(r->GetButtonRect().left, 2);
    p = Print(rtl);
    EXPECT_EQ(p->Canvas().Pixel(2 + 3, 3), ComboButtonPiece(0, 0));
    EXPECT_EQ(p->Canvas().Pixel(2 + bw / 2, 3), ComboButtonPiece(0, 1));
    delete r;
    DestroyWindow(rtl);
}

// No button where the skin has no COMBOBTN (the cache shows through; the arrow stays) nor on a
// simple combo (its list is a child of its own with a simple list adapter).
TEST_F(ComboBoxAdapter, WithoutComboBtnOrInTheSimpleStyleNoButtonPieceIsDrawn)
{
    const HWND simple = NewCombo(CBS_SIMPLE);
    TvxComboBoxWnd* a = Adapt(simple);
    EXPECT_EQ(a->GetButtonRect().right - a->GetButtonRect().left, 0);
    const SIZE s = SizeOf(simple);
    auto p = Print(simple);
    EXPECT_EQ(p->Canvas().Pixel(s.cx - 10, 3), p->Canvas().Pixel(s.cx / 2, 3));
    EXPECT_NE(p->Canvas().Pixel(s.cx - 10, 3), ComboButtonPiece(0, 1));
    RedrawWindow(simple, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    MessageHost::Pump(30);
    ASSERT_TRUE(a->ListAdapter);
    EXPECT_EQ(a->ListWnd, ListOf(simple));
    EXPECT_TRUE(a->ListAdapter->SimpleStyle);
    delete a;
    DestroyWindow(simple);

    delete manager;
    manager = nullptr;
    LoadProbeSkin("ProbeBare");
    const HWND combo = NewCombo(CBS_DROPDOWNLIST);
    TvxComboBoxWnd* bare = CreateAdapter<TvxComboBoxWnd>(combo, nullptr, manager, "COMBOBOX", true);
    const int bw = GetSystemMetrics(SM_CXVSCROLL), mid = SizeOf(combo).cx - 2 - bw / 2;
    p = Print(combo);
    const TCanvas& c = p->Canvas();
    EXPECT_EQ(c.Pixel(mid, 3), c.Pixel(mid - bw, 3)) << "the cache where the button would be";
    EXPECT_NE(c.Pixel(mid, 3), ComboButtonPiece(0, 1));
    EXPECT_NE(c.Pixel(mid, SizeOf(combo).cy / 2), c.Pixel(mid - bw, SizeOf(combo).cy / 2)) << "the arrow";
    delete bare;
    DestroyWindow(combo);
}

// An extended combo box (its own combo inside) takes the adapter the same way.
TEST_F(ComboBoxAdapter, AnExtendedComboBoxShowsTheSkinnedButton)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_USEREX_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    const HWND ex = CreateWindowExA(0, "ComboBoxEx32", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 150, 200,
                                    form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(ex);
    TvxComboBoxWnd* a = Adapt(ex);
    const int bw = GetSystemMetrics(SM_CXVSCROLL), mid = SizeOf(ex).cx - 2 - bw / 2;
    EXPECT_EQ(a->GetButtonRect().left, SizeOf(ex).cx - 2 - bw);
    EXPECT_EQ(Print(ex)->Canvas().Pixel(mid, 2), ComboButtonPiece(0, 1));
    delete a;
    DestroyWindow(ex);
}

TEST_F(ComboBoxAdapter, TheTextStartsInsideTheFrameAndAFocusedDropDownListIsHighlighted)
{
    // Where the canvas's font puts its ink for text drawn at (0, 0).
    TBitmap ref(100, 40), blank(100, 40);
    for (TBitmap* b : {&ref, &blank})
        PatBlt(b->Canvas().Handle(), 0, 0, 100, 40, WHITENESS);
    ref.Canvas().Brush().SetStyle(bsClear);
    ref.Canvas().TextRect(RECT{0, 0, 100, 40}, 0, 0, "Milch");
    const RECT ink = InkBox(ref, blank);
    ASSERT_GE(ink.right, 0);

    for (const DWORD style : {DWORD(CBS_DROPDOWN), DWORD(CBS_DROPDOWNLIST)}) {
        const HWND combo = NewCombo(style);
        TvxComboBoxWnd* a = Adapt(combo);
        auto empty = Print(combo);
        SendMessageA(combo, CB_SETCURSEL, 1, 0);
        auto text = Print(combo);
        const int origin = style == CBS_DROPDOWNLIST ? 4 : 3;
        const RECT box = InkBox(*text, *empty);
        EXPECT_EQ(box.left, origin + ink.left) << style;
        EXPECT_EQ(box.top, origin + ink.top) << style;
        EXPECT_EQ(box.bottom - box.top, ink.bottom - ink.top) << style;
        delete a;
        DestroyWindow(combo);
    }

    const HWND combo = NewCombo(CBS_DROPDOWNLIST);
    TvxComboBoxWnd* a = Adapt(combo);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    const int inside = a->GetButtonRect().left - 3;
    const COLORREF highlight = ColorToRGB(clHighlight);
    EXPECT_NE(Print(combo)->Canvas().Pixel(inside, 10), highlight);
    SetForegroundWindow(form->Handle());
    SetFocus(combo);
    ASSERT_EQ(GetFocus(), combo);
    auto p = Print(combo);
    EXPECT_EQ(p->Canvas().Pixel(inside, 10), highlight);
    // The focus rectangle's dots along the text rectangle's top edge.
    int dots = 0;
    for (int x = 10; x < 20; ++x)
        dots += p->Canvas().Pixel(x, 3) != highlight ? 1 : 0;
    EXPECT_EQ(dots, 5);
    SetFocus(form->Handle());
    delete a;
    DestroyWindow(combo);
}

TEST_F(ComboBoxAdapter, TheListTakesTheEditColoursFromItsFirstColourQuery)
{
    const HWND combo = NewCombo(CBS_DROPDOWN);
    TvxComboBoxWnd* a = Adapt(combo);
    const HWND list = ListOf(combo);
    const HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list)));
    const skintest::TProbeColors edit = skintest::ProbeColors("Probe", "EDIT");
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, ColorToRGB(edit.Color));
    EXPECT_EQ(GetBkColor(dc), ColorToRGB(edit.Color));
    EXPECT_EQ(GetTextColor(dc), ColorToRGB(edit.FontColor));
    EXPECT_EQ(a->ListWnd, list);
    ASSERT_TRUE(a->ListAdapter);
    EXPECT_EQ(GetAdapterOfWindow(list), a->ListAdapter);
    EXPECT_EQ(a->ListAdapter->SkinData->SkinSection(), "EDIT");
    // Later queries keep the list and its adapter; the brush goes with the adapter.
    TvxComboListWnd* listAdapter = a->ListAdapter;
    SendMessageA(combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(a->ListAdapter, listAdapter);
    delete a;
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetAdapterOfWindow(list), nullptr);
    DestroyWindow(combo);

    // A combo of a standard dialog hands its dialog mode to its list, whose colours stay its own.
    const HWND dialogCombo = NewCombo(CBS_DROPDOWN);
    TvxComboBoxWnd* d = Adapt(dialogCombo);
    d->DlgMode = true;
    SetBkColor(dc, RGB(1, 2, 3));
    SendMessageA(dialogCombo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(ListOf(dialogCombo)));
    ASSERT_TRUE(d->ListAdapter);
    EXPECT_TRUE(d->ListAdapter->DlgMode);
    EXPECT_EQ(NextDlgMode, 0);
    EXPECT_NE(GetBkColor(dc), ColorToRGB(edit.Color));
    delete d;
    DeleteDC(dc);
    DestroyWindow(dialogCombo);
}

TEST_F(ComboBoxAdapter, AnItemOfTenThousandCharactersIsReadWhole)
{
    const HWND combo = NewCombo(CBS_DROPDOWNLIST);
    const std::string longText(10000, 'W');
    SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(longText.c_str()));
    EXPECT_EQ(ComboItemText(combo, 0), longText);
    EXPECT_EQ(ComboItemText(combo, 1), "Brot");
    EXPECT_EQ(ComboItemText(combo, 4), "");
    EXPECT_EQ(ComboItemText(combo, -1), "");
    TvxComboBoxWnd* a = Adapt(combo);
    auto empty = Print(combo);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    auto text = Print(combo);
    // The text is drawn, clipped to the edit area left of the button.
    const RECT box = InkBox(*text, *empty);
    EXPECT_GE(box.left, 4);
    EXPECT_LT(box.left, 8);
    EXPECT_LE(box.right, a->GetButtonRect().left);
    EXPECT_GT(box.right, a->GetButtonRect().left - 20);
    delete a;
    DestroyWindow(combo);
}

TEST_F(ComboBoxAdapter, DropDownCyclesLeaveHandleCountsFlat)
{
    auto dropDown = [](HWND combo) {
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        UpdateWindow(ListOf(combo));
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    };
    // Every adapter answers its list's first colour query with a brush of its own.
    auto cycle = [&] {
        const HWND combo = NewCombo(CBS_DROPDOWN);
        TvxComboBoxWnd* a = Adapt(combo);
        dropDown(combo);
        Print(combo);
        const bool listed = a->ListAdapter != nullptr;
        delete a;
        DestroyWindow(combo);
        return listed;
    };
    ASSERT_TRUE(cycle());
    const HWND combo = NewCombo(CBS_DROPDOWNLIST);
    TvxComboBoxWnd* a = Adapt(combo);
    dropDown(combo);
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        dropDown(combo);
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_EQ(THandleCount::Now(), before);
    delete a;
    DestroyWindow(combo);
}

} // namespace
