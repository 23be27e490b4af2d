// The adapters of raw BUTTON, STATIC and size-grip windows with the probe skin: the button's
// states in the pixels of BUTTON's border image, caption wrapping, the disabled blend, the
// check-box glyph by style and state, the group box's caption band, statics, links and
// pictures, and the size grip.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "gui/base/Handles.h"
#include "skin/windows/tests/AdapterRig.h"
#include "skin/windows/vxBtnWnd.h"
#include "skin/windows/vxSizerWnd.h"
#include "skin/windows/vxStaticWnd.h"
#include "tests/support/WindowProbes.h"

namespace {

// Each channel (c - to) x 0.4 + to, rounded: the disabled blend over a colour.
COLORREF Blend40(COLORREF c, COLORREF to)
{
    const auto ch = [](int a, int b) { return static_cast<BYTE>(std::lround((a - b) * 0.4 + b)); };
    return RGB(ch(GetRValue(c), GetRValue(to)), ch(GetGValue(c), GetGValue(to)), ch(GetBValue(c), GetBValue(to)));
}

// The width of a text in a font (single line).
int TextWidth(HFONT font, const std::string& text)
{
    TMemDC dc(CreateCompatibleDC(nullptr));
    TSelectGuard selected(dc.get(), font);
    RECT r{0, 0, 0, 0};
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left;
}

// Answers BM_GETSTATE with BST_INDETERMINATE below an adapter (a radio button cannot hold it).
LRESULT CALLBACK Indeterminate(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == BM_GETSTATE) return BST_INDETERMINATE;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(wnd, "below")), wnd, msg, wParam, lParam);
}

class ButtonAdapters : public TAdapterTest {
protected:
    void SetUp() override { LoadProbeSkin("Probe"); }
    HWND Button(const char* text, DWORD style, int w, int h, DWORD exStyle = 0)
    {
        const HWND wnd = Raw("BUTTON", text, style, w, h, exStyle);
        SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
        return wnd;
    }
    static HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
};

} // namespace

TEST_F(ButtonAdapters, APushButtonShowsItsStateInBUTTONsFramesAndIsBlendedWhenDisabled)
{
    const HWND wnd = Button("OK", BS_PUSHBUTTON, 80, 30);
    auto* a = CreateAdapter<TvxBtnWnd>(wnd, nullptr, manager, "", false);
    EXPECT_EQ(a->SkinData->SkinSection(), "BUTTON");
    const auto top = [](int state) { return Piece("BUTTON", "BORDERSMASK", state, 1); };
    EXPECT_EQ(Print(wnd)->Canvas().Pixel(40, 1), top(0));
    SendMessageA(wnd, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(Print(wnd)->Canvas().Pixel(40, 1), top(1)) << "focused";
    SendMessageA(wnd, WM_KILLFOCUS, 0, 0);
    manager->SetActiveControl(wnd);
    EXPECT_EQ(Print(wnd)->Canvas().Pixel(40, 1), top(1)) << "hot";
    manager->SetActiveControl(nullptr);
    SendMessageA(wnd, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(testrig::WindowPixel(wnd, 40, 1), top(2)) << "pressed, on the screen";
    SendMessageA(wnd, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(testrig::WindowPixel(wnd, 40, 1), top(0));
    // A print leaves the window's update region for its own paint.
    InvalidateRect(wnd, nullptr, FALSE);
    Print(wnd);
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(wnd, &pending, FALSE));
    EnableWindow(wnd, FALSE);
    EXPECT_EQ(Print(wnd)->Canvas().Pixel(40, 1), Blend40(top(0), Global())) << "disabled";
    delete a;

    const HWND byDefault = Button("OK", BS_DEFPUSHBUTTON, 80, 30);
    a = CreateAdapter<TvxBtnWnd>(byDefault, nullptr, manager, "", false);
    EXPECT_EQ(Print(byDefault)->Canvas().Pixel(40, 1), top(1)) << "default push button";
    delete a;
}

TEST_F(ButtonAdapters, ABitButtonPlacesItsPictureAndCaptionAsOnePair)
{
    const TWindowDC screen(nullptr);
    TBitmapHandle picture(CreateCompatibleBitmap(screen.get(), 16, 16));
    {
        TMemDC dc(CreateCompatibleDC(nullptr));
        TSelectGuard selected(dc.get(), picture.get());
        FillDC(dc.get(), TRect{0, 0, 16, 16}, clLime);
        SetPixel(dc.get(), 0, 15, RGB(255, 0, 255)); // the transparent colour
    }
    const HWND wnd = Button("OK", BS_PUSHBUTTON | BS_BITMAP, 100, 30);
    SendMessageA(wnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
    auto* a = CreateAdapter<TvxBitBtnWnd>(wnd, nullptr, manager, "", false);
    // Glyph left, margin -1, spacing 4: the pair of glyph, spacing and caption centred.
    const int margin = (100 - 16 - 4 - TextWidth(GuiFont(), "OK") + 1) / 2, top = (30 - 16 + 1) / 2;
    auto shot = Print(wnd, WM_PRINT);
    EXPECT_EQ(shot->Canvas().Pixel(margin, top + 1), RGB(0, 255, 0));
    EXPECT_NE(shot->Canvas().Pixel(margin - 1, top + 1), RGB(0, 255, 0));
    EXPECT_EQ(shot->Canvas().Pixel(margin + 15, top + 15), RGB(0, 255, 0));
    EXPECT_NE(shot->Canvas().Pixel(margin, top + 15), RGB(255, 0, 255)) << "the transparent corner";
    delete a;
}

TEST_F(ButtonAdapters, APlainCaptionWrapsAndAMultiLineOneDoesNot)
{
    const auto middle = static_cast<COLORREF>(skintest::ProbeColors("Probe", "BUTTON").Color);
    int heights[2] = {};
    for (int multi = 0; multi < 2; ++multi) {
        const HWND wnd = Button("Eins Zwei Drei Vier", BS_PUSHBUTTON | (multi ? BS_MULTILINE : 0), 60, 60);
        auto* a = CreateAdapter<TvxBtnWnd>(wnd, nullptr, manager, "", false);
        auto shot = Print(wnd);
        const auto [top, bottom] = InkRows(*shot, RECT{4, 4, 56, 56}, middle);
        heights[multi] = bottom - top;
        EXPECT_GT(heights[multi], 0);
        delete a;
    }
    EXPECT_GT(heights[0], heights[1] + 8) << "wrapped into lines";
    EXPECT_LT(heights[1], 16) << "one line";
}

TEST_F(ButtonAdapters, CheckBoxGlyphsFollowTheStyleAndTheCheckState)
{
    struct Row {
        DWORD style;
        WPARAM check;
        const char* glyph;
        bool fakeIndeterminate;
    };
    const Row rows[] = {
        {BS_AUTOCHECKBOX, BST_UNCHECKED, "BOXUNCHECKED", false},
        {BS_AUTOCHECKBOX, BST_CHECKED, "BOXCHECKED", false},
        {BS_AUTO3STATE, BST_INDETERMINATE, "BOXGRAYED", false},
        {BS_AUTORADIOBUTTON, BST_CHECKED, "BOXCHECKED", false},
        {BS_RADIOBUTTON, BST_CHECKED, "RADIOCHECKED", false},
        {BS_RADIOBUTTON, BST_UNCHECKED, "RADIOUNCHECKED", false},
        {BS_RADIOBUTTON, BST_UNCHECKED, "BOXGRAYED", true},
        {BS_AUTOCHECKBOX | BS_LEFTTEXT, BST_CHECKED, "BOXCHECKED", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.glyph) + (row.style & BS_LEFTTEXT ? " left text" : ""));
        const HWND wnd = Button("Bar", row.style, 120, 20);
        SendMessageA(wnd, BM_SETCHECK, row.check, 0);
        if (row.fakeIndeterminate)
            SetPropA(wnd, "below",
                     reinterpret_cast<HANDLE>(
                         SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Indeterminate))));
        auto* a = CreateAdapter<TvxCheckBoxWnd>(wnd, nullptr, manager, "", false);
        EXPECT_EQ(a->SkinData->SkinSection(), "CHECKBOX");
        const int x = (row.style & BS_LEFTTEXT) ? 120 - 8 : 8;
        EXPECT_EQ(Print(wnd, WM_PRINT)->Canvas().Pixel(x, 10), Piece("GLOBALINFO", row.glyph, 0, 4));
        delete a;
    }
}

TEST_F(ButtonAdapters, TheGroupBoxCaptionBandStartsSixPixelsInOrAtTheRightForRightToLeft)
{
    const int tw = TextWidth(GuiFont(), "Zahlung");
    for (const bool rtl : {false, true}) {
        SCOPED_TRACE(rtl ? "right to left" : "left to right");
        const HWND wnd = Button("Zahlung", BS_GROUPBOX, 150, 80, rtl ? WS_EX_RTLREADING : 0);
        auto* a = CreateAdapter<TvxGroupBoxWnd>(wnd, nullptr, manager, "", false);
        auto shot = Print(wnd);
        const RECT band = a->CaptionBand();
        const int left = rtl ? 150 - tw - 14 : 6;
        EXPECT_EQ(band.left, left);
        EXPECT_EQ(band.right, left + tw + 8);
        EXPECT_EQ(SendSkinCommand(wnd, cmdGroupCaptionHeight, 0), band.bottom);
        const int y = band.bottom / 2 + 1; // the frame's top edge, under the band
        EXPECT_EQ(shot->Canvas().Pixel(left - 1, y), Piece("GROUPBOX", "BORDERSMASK", 0, 1));
        EXPECT_EQ(shot->Canvas().Pixel(left, y), Global());
        EXPECT_EQ(shot->Canvas().Pixel(band.right, y), Piece("GROUPBOX", "BORDERSMASK", 0, 1));
        delete a;
    }
}

TEST_F(ButtonAdapters, StaticsLinksAndPicturesPaintOverTheParentUnlessTheyKeepTheirOwnLook)
{
    const COLORREF font = static_cast<COLORREF>(skintest::ProbeColors("Probe", "CHECKBOX").FontColor);
    struct Row {
        DWORD style, exStyle;
        int inked; // 1: the section's font colour shows, 0: the window painted itself
    };
    for (const Row& row : {Row{SS_LEFT, 0, 1}, Row{SS_LEFT | WS_TABSTOP, 0, 0}, Row{SS_LEFT, WS_EX_STATICEDGE, 0}}) {
        const HWND wnd = Raw("STATIC", "Summe", row.style, 100, 20, row.exStyle);
        SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
        auto* a = CreateAdapter<TvxStaticWnd>(wnd, nullptr, manager, "CHECKBOX", false);
        auto shot = Print(wnd);
        EXPECT_EQ(CountPixels(*shot, font) > 0, row.inked == 1) << row.style << " " << row.exStyle;
        if (row.inked) {
            EXPECT_EQ(shot->Canvas().Pixel(98, 18), Global());
        }
        delete a;
    }

    // A link: its marks left out, underlined, in the system's status font.
    LOGFONTA status{};
    ASSERT_TRUE(SystemStatusFont(status));
    status.lfUnderline = TRUE;
    TFontHandle statusFont(CreateFontIndirectA(&status));
    EXPECT_EQ(LinkText("Mehr <A>Info</A> <a>hier</a>"), "Mehr Info hier");
    const HWND link = Raw("STATIC", "Mehr <A>Info</A>", SS_LEFT, 200, 20);
    auto* a = CreateAdapter<TvxLinkWnd>(link, nullptr, manager, "CHECKBOX", false);
    auto shot = Print(link);
    int longest = 0, right = 0;
    for (int y = 0; y < shot->Height(); ++y)
        for (int x = 0, run = 0; x < shot->Width(); ++x) {
            const bool ink = shot->Canvas().Pixel(x, y) == font;
            run = ink ? run + 1 : 0;
            longest = std::max(longest, run);
            if (ink) right = std::max(right, x + 1);
        }
    const int shown = TextWidth(statusFont.get(), "Mehr Info");
    EXPECT_GE(longest, shown - 2) << "the underline";
    EXPECT_LE(right, shown + 1) << "no marks";
    delete a;

    // Pictures: a bitmap at (0, 0); an icon static without an icon shows the parent only.
    const TWindowDC screen(nullptr);
    TBitmapHandle red(CreateCompatibleBitmap(screen.get(), 8, 8));
    {
        TMemDC dc(CreateCompatibleDC(nullptr));
        TSelectGuard selected(dc.get(), red.get());
        FillDC(dc.get(), TRect{0, 0, 8, 8}, clRed);
    }
    const HWND picture = Raw("STATIC", "", SS_BITMAP | SS_CENTERIMAGE, 40, 20);
    SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(red.get()));
    auto* p = CreateAdapter<TvxIconWnd>(picture, nullptr, manager, "CHECKBOX", false);
    EXPECT_TRUE(p->IsBitmap);
    shot = Print(picture);
    EXPECT_EQ(shot->Canvas().Pixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(shot->Canvas().Pixel(30, 15), Global());
    delete p;
    const HWND icon = Raw("STATIC", "", SS_ICON, 40, 40);
    p = CreateAdapter<TvxIconWnd>(icon, nullptr, manager, "CHECKBOX", false);
    EXPECT_FALSE(p->IsBitmap);
    EXPECT_EQ(Print(icon)->Canvas().Pixel(2, 2), Global());
    delete p;
}

TEST_F(ButtonAdapters, ASizeGripAlwaysHitsTheBottomRightCornerAndShowsGRIPIMAGE)
{
    const HWND grip = Raw("SCROLLBAR", "", SBS_SIZEGRIP, 20, 20);
    auto* a = CreateAdapter<TvxSizerWnd>(grip, nullptr, manager, "", false);
    manager->SetActiveControl(grip);
    EXPECT_EQ(SendMessageA(grip, WM_NCHITTEST, 0, MAKELPARAM(11, 11)), HTBOTTOMRIGHT);
    EXPECT_EQ(manager->ActiveControl(), nullptr);
    RedrawWindow(grip, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(testrig::WindowPixel(grip, 20 - 6, 20 - 6), Piece("GLOBALINFO", "GRIPIMAGE", 0, 4));
    EXPECT_EQ(testrig::WindowPixel(grip, 2, 2), Global());
    delete a;
}
