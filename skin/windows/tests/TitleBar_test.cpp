// The skinned title bar of a provider's form with the probe skins: the buttons' images by border
// style, skin and window state, their states and hit codes, the caption and the added title,
// the title icon, what each button's click does, the window menu from the title, the user's
// own buttons with their hints, the outline drag, and no handles left behind. Title buttons
// are painted directly (glowing off), so the window's pixels show their states.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "gui/FormReader.h"
#include "gui/HintWindow.h"
#include "gui/Forms.h"
#include "skin/engine/sColorMix.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sStart.h"
#include "skin/windows/sSysMenu.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxGlow.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageHost.h"
#include "tests/support/ModalScript.h"
#include "tests/support/WindowProbes.h"

namespace {

using testrig::HitCodeAt;
using testrig::WindowPixel;

void Pump(DWORD ms = 100) { MessageHost::Pump(ms); }

COLORREF Piece(const std::string& skin, const char* key, int state)
{
    return static_cast<COLORREF>(skintest::ProbePiece(skintest::ProbeImage(skin, "GLOBALINFO", key), state, 4));
}

COLORREF TitleColor(bool active)
{
    const auto c = skintest::ProbeColors("Probe", "FORMTITLE");
    return static_cast<COLORREF>(active ? c.HotColor : c.Color);
}

COLORREF TitleFont(bool active)
{
    const auto c = skintest::ProbeColors("Probe", "FORMTITLE");
    return static_cast<COLORREF>(active ? c.HotFontColor : c.FontColor);
}

// The columns of the title band (rows 2 to the title's bottom) that hold a colour.
std::vector<int> InkColumns(HWND wnd, int bottom, COLORREF color)
{
    std::vector<int> columns;
    RECT r{};
    GetWindowRect(wnd, &r);
    HDC dc = GetWindowDC(wnd);
    for (int x = 0; x < r.right - r.left; ++x)
        for (int y = 2; y < bottom; ++y)
            if (GetPixel(dc, x, y) == color) {
                columns.push_back(x);
                break;
            }
    ReleaseDC(wnd, dc);
    return columns;
}

POINT Centre(HWND wnd, const TRect& r)
{
    RECT w{};
    GetWindowRect(wnd, &w);
    return POINT{w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2};
}

class TitleBar : public TProbeSkinTest {
protected:
    static void SetUpTestSuite()
    {
        TProbeSkinTest::SetUpTestSuite();
        SkinWindowsStart();
    }
    void SetUp() override { Use("Probe"); }
    void Use(const std::string& skin)
    {
        delete manager;
        UseProbeSkin(skin);
        manager->SetAllowGlowing(false);
    }
    TForm* NewSkinnedForm(TFormBorderStyle style = bsSizeable, unsigned icons = biSystemMenu | biMinimize | biMaximize)
    {
        auto* f = TForm::Create<TForm>(Application);
        f->SetBorderStyle(style);
        f->SetBorderIcons(icons);
        f->SetBounds(150, 150, 320, 200);
        f->SetCaption("Kasse");
        provider = new TsSkinProvider(f);
        f->Show();
        SetForegroundWindow(f->Handle());
        Pump();
        wnd = f->Handle();
        last = f;
        return f;
    }
    TForm* form() const { return last; }
    // The pixel of the image at a button's centre.
    COLORREF ButtonPixel(int code)
    {
        const TRect r = provider->ButtonByCode(code)->Rect;
        return WindowPixel(wnd, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    int TitleBottom() const { return GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION); }
    TsSkinProvider* provider = nullptr;
    HWND wnd = nullptr;
    TForm* last = nullptr;
};

TEST(TitleIcon, AutomaticSizeFollowsTheCaptionHeight)
{
    const int table[][2] = {{8, 1}, {9, 8}, {16, 8}, {17, 16}, {30, 16}};
    for (const auto& row : table)
        EXPECT_EQ(IconSizeFor(row[0]), row[1]) << row[0];
}

TEST_F(TitleBar, ButtonImagesFollowStyleSkinAndState)
{
    struct Row {
        TFormBorderStyle style;
        unsigned icons;
        const char* skin;
        int show;
        int code;
        const char* image;
    } const rows[] = {
        {bsSizeable, biSystemMenu | biMinimize | biMaximize, "Probe", SW_SHOWNORMAL, HTCLOSE, "BICONCLOSE"},
        {bsSizeable, biSystemMenu | biMinimize | biMaximize, "Probe", SW_SHOWNORMAL, HTMAXBUTTON, "BICONMAX"},
        {bsSizeable, biSystemMenu | biMinimize | biMaximize, "Probe", SW_SHOWNORMAL, HTMINBUTTON, "BICONMIN"},
        {bsDialog, biSystemMenu | biHelp, "Probe", SW_SHOWNORMAL, HTCLOSE, "SICONCLOSE"},
        {bsDialog, biSystemMenu | biHelp, "Probe", SW_SHOWNORMAL, HTHELP, "SICONHELP"},
        {bsSizeable, biSystemMenu, "Probe", SW_SHOWNORMAL, HTCLOSE, "BICLOSEALONE"},
        {bsSizeable, biSystemMenu, "ProbeBare", SW_SHOWNORMAL, HTCLOSE, "BICONCLOSE"},
        {bsDialog, biSystemMenu | biHelp, "ProbeBare", SW_SHOWNORMAL, HTHELP, "BICONHELP"},
        {bsSizeable, biSystemMenu | biMinimize | biMaximize, "Probe", SW_MAXIMIZE, HTMAXBUTTON, "BICONNORM"},
    };
    for (const Row& row : rows) {
        Use(row.skin);
        NewSkinnedForm(row.style, row.icons);
        ShowWindow(wnd, row.show);
        Pump();
        EXPECT_EQ(ButtonPixel(row.code), Piece(row.skin, row.image, 0)) << row.image << " " << row.style;
        Application->DestroyForms();
    }
    // Small buttons stand side by side; minimised, the minimise button restores (the image of
    // an inactive form: its buttons blended half over the title).
    NewSkinnedForm(bsDialog, biSystemMenu | biHelp);
    EXPECT_EQ(provider->ButtonByCode(HTHELP)->Rect.Right, provider->ButtonByCode(HTCLOSE)->Rect.Left);
    NewSkinnedForm();
    ShowWindow(wnd, SW_MINIMIZE);
    Pump();
    SendMessageA(wnd, WM_NCPAINT, 1, 0);
    const TRect r = provider->ButtonByCode(HTMINBUTTON)->Rect;
    const COLORREF shown = provider->FormImage()->Canvas().Pixel((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    const COLORREF norm = Piece("Probe", "BICONNORM", 0), title = TitleColor(provider->FormActive());
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((shown >> shift) & 0xFF),
                    provider->FormActive()
                        ? static_cast<int>((norm >> shift) & 0xFF)
                        : (static_cast<int>((norm >> shift) & 0xFF) + static_cast<int>((title >> shift) & 0xFF)) / 2,
                    1);
}

TEST_F(TitleBar, ButtonStatesFollowTheMouse)
{
    NewSkinnedForm();
    for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
        const char* image = code == HTCLOSE ? "BICONCLOSE" : code == HTMAXBUTTON ? "BICONMAX" : "BICONMIN";
        const TRect r = provider->ButtonByCode(code)->Rect;
        EXPECT_EQ(ButtonPixel(code), Piece("Probe", image, 0)) << code;
        EXPECT_EQ(HitCodeAt(wnd, Centre(wnd, r)), code);
        EXPECT_EQ(ButtonPixel(code), Piece("Probe", image, 1)) << code;
        SendMessageA(wnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(code), 0);
        EXPECT_EQ(provider->ButtonByCode(code)->State, 2);
        EXPECT_EQ(ButtonPixel(code), Piece("Probe", image, 2)) << code;
        // The mouse elsewhere in the title: back to normal.
        EXPECT_EQ(HitCodeAt(wnd, Centre(wnd, TRect{150, 2, 160, 12})), HTCAPTION);
        EXPECT_EQ(provider->ButtonByCode(code)->State, 0);
        EXPECT_EQ(ButtonPixel(code), Piece("Probe", image, 0)) << code;
    }
}

TEST_F(TitleBar, HitCodesOfButtonsAndIcon)
{
    NewSkinnedForm(bsSizeable, biSystemMenu | biMinimize | biMaximize | biHelp);
    TsTitleButton& own = provider->TitleButtons().Add();
    TsTitleButton& off = provider->TitleButtons().Add();
    off.Enabled = false;
    provider->InitTitleButtons();
    provider->RefreshNonClient();
    struct {
        int code;
        LRESULT hit;
    } const grid[] = {{HTCLOSE, HTCLOSE}, {HTMAXBUTTON, HTMAXBUTTON},   {HTMINBUTTON, HTMINBUTTON},
                      {HTHELP, HTHELP},   {htUserButton, htUserButton}, {htUserButton + 1, HTCAPTION}};
    for (const auto& g : grid)
        EXPECT_EQ(HitCodeAt(wnd, Centre(wnd, provider->ButtonByCode(g.code)->Rect)), g.hit) << g.code;
    EXPECT_EQ(HitCodeAt(wnd, Centre(wnd, provider->TitleIconRect())), HTSYSMENU);
    (void)own;
    // The buttons take ButtonsWidth from the right, left of the frame.
    RECT w{};
    GetWindowRect(wnd, &w);
    EXPECT_EQ(provider->ButtonByCode(htUserButton + 1)->Rect.Left,
              w.right - w.left - GetSystemMetrics(SM_CXFRAME) - provider->ButtonsWidth());
    // A hidden user button is gone from the title at once: the one left of it moves over, and
    // the title shows where that one stood.
    const TRect b = provider->ButtonByCode(htUserButton + 1)->Rect;
    const int x = b.Left + 1, y = (b.Top + b.Bottom) / 2;
    EXPECT_EQ(WindowPixel(wnd, x, y), static_cast<COLORREF>(skintest::ProbePiece(
                                          skintest::ProbeImage("Probe", "GLOBALINFO", "TITLEBUTTON"), 0, 3)));
    own.SetVisible(false);
    EXPECT_EQ(WindowPixel(wnd, x, y), TitleColor(true));
}

// Minimised, a form without biMaximize shows the maximise button, which only drags; the
// minimise button restores.
TEST_F(TitleBar, AMinimisedFormsButtonsWithoutMaximise)
{
    NewSkinnedForm(bsSizeable, biSystemMenu | biMinimize);
    ShowWindow(wnd, SW_MINIMIZE);
    Pump();
    SendMessageA(wnd, WM_NCPAINT, 1, 0);
    ASSERT_TRUE(provider->ButtonByCode(HTMAXBUTTON)->Shown);
    EXPECT_EQ(HitCodeAt(wnd, Centre(wnd, provider->ButtonByCode(HTMAXBUTTON)->Rect)), HTCAPTION);
    EXPECT_EQ(HitCodeAt(wnd, Centre(wnd, provider->ButtonByCode(HTMINBUTTON)->Rect)), HTMINBUTTON);
}

// A user button's glyph: a 32-bit one with its alpha, any other with its bottom-left pixel as
// the transparent colour; a button without glyph and frame image is 21 pixels wide.
TEST_F(TitleBar, UserButtonGlyphsAndWidths)
{
    NewSkinnedForm();
    TsTitleButton& plain = provider->TitleButtons().Add();
    TsTitleButton& alpha = provider->TitleButtons().Add();
    TBitmap& g = plain.Glyph();
    g.SetPixelFormat(pf24bit);
    g.SetSize(10, 10);
    FillDC(g.Canvas().Handle(), TRect{0, 0, 10, 10}, static_cast<TColor>(RGB(9, 99, 199)));
    for (const POINT p : {POINT{0, 9}, POINT{1, 1}})
        SetPixel(g.Canvas().Handle(), p.x, p.y, RGB(1, 2, 3));
    TBitmap& a = alpha.Glyph();
    a.SetPixelFormat(pf32bit);
    a.SetSize(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            auto* row = static_cast<uint32_t*>(a.ScanLine(y));
            row[x] = x < 5 ? 0xFF0A141Eu : 0x00FFFFFFu; // left half opaque RGB(10, 20, 30), right half clear
        }
    provider->InitTitleButtons();
    provider->RefreshNonClient();
    const TRect p = plain.Button.Rect, q = alpha.Button.Rect;
    const int px = p.Left + (p.Right - p.Left - 10) / 2, py = p.Top + (p.Bottom - p.Top - 10) / 2;
    EXPECT_EQ(WindowPixel(wnd, px + 5, py + 5), RGB(9, 99, 199));
    EXPECT_EQ(WindowPixel(wnd, px + 1, py + 1), TitleColor(true)); // through the frame's open middle
    const int qx = q.Left + (q.Right - q.Left - 10) / 2, qy = q.Top + (q.Bottom - q.Top - 10) / 2;
    EXPECT_EQ(WindowPixel(wnd, qx + 2, qy + 5), RGB(10, 20, 30));
    EXPECT_EQ(WindowPixel(wnd, qx + 7, qy + 5), TitleColor(true));
    EXPECT_EQ(CaptionButtonWidth(manager, -1), 21);
    Use("Colors"); // a skin without any button image
    TsTitleButton bare;
    EXPECT_EQ(provider->UserButtonWidth(bare), 21);
}

TEST_F(TitleBar, TheCaptionStaysInsideItsRectangle)
{
    NewSkinnedForm();
    const int right = provider->SkinnedWidth() - provider->ButtonsWidth() - 12;
    const TRect r = provider->CaptionTextRect();
    EXPECT_EQ(r.Right, right);
    std::vector<int> ink = InkColumns(wnd, TitleBottom(), TitleFont(true));
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.front(), r.Left);
    EXPECT_LT(ink.back(), right);
    // Too long: cut with "..." before the limit; centred it starts at the left limit.
    form()->SetCaption(std::string(20, 'W') + " Kasse");
    provider->SetCaptionAlignment(taCenter);
    Pump();
    ink = InkColumns(wnd, TitleBottom(), TitleFont(true));
    ASSERT_FALSE(ink.empty());
    EXPECT_LT(ink.back(), right);
    EXPECT_GE(ink.front(), r.Left);
    EXPECT_LE(ink.front(), r.Left + 3);
}

TEST_F(TitleBar, TheAddedTitleFollowsTheCaptionWhenThereIsRoom)
{
    NewSkinnedForm();
    provider->AddedTitle().SetText("Filiale");
    provider->AddedTitle().Font().SetColor(static_cast<TColor>(RGB(1, 200, 3)));
    provider->RefreshNonClient();
    const std::vector<int> caption = InkColumns(wnd, TitleBottom(), TitleFont(true));
    const std::vector<int> added = InkColumns(wnd, TitleBottom(), RGB(1, 200, 3));
    ASSERT_FALSE(caption.empty());
    ASSERT_FALSE(added.empty());
    EXPECT_GE(added.front(), caption.back() + 4);
    EXPECT_LE(added.front(), caption.back() + 8);
    // A caption that leaves less than 8 pixels: no added title.
    form()->SetCaption(std::string(40, 'W'));
    Pump();
    EXPECT_TRUE(InkColumns(wnd, TitleBottom(), RGB(1, 200, 3)).empty());
}

TEST_F(TitleBar, TheTitleIconIsTheFormsIcon)
{
    TForm* form = NewSkinnedForm();
    TBitmap colour(16, 16), mask(16, 16);
    colour.SetPixelFormat(pf24bit);
    FillDC(colour.Canvas().Handle(), TRect{0, 0, 16, 16}, static_cast<TColor>(RGB(7, 77, 177)));
    FillDC(mask.Canvas().Handle(), TRect{0, 0, 16, 16}, clBlack);
    ICONINFO info{TRUE, 0, 0, mask.Handle(), colour.Handle()};
    form->SetIcon(CreateIconIndirect(&info));
    Pump();
    const TRect icon = provider->TitleIconRect();
    EXPECT_EQ(icon.Right - icon.Left, 16);
    EXPECT_EQ(icon.Bottom - icon.Top, 16);
    EXPECT_EQ(WindowPixel(wnd, (icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2), RGB(7, 77, 177));
    NewSkinnedForm(bsDialog);
    EXPECT_FALSE(provider->TitleIconVisible());
    EXPECT_NE(WindowPixel(wnd, icon.Left + 8, icon.Top + 8), RGB(7, 77, 177));
}

TEST_F(TitleBar, TheCloseButtonClosesWhenReleasedOverIt)
{
    TForm* form = NewSkinnedForm();
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    SendMessageA(wnd, WM_NCLBUTTONUP, HTCAPTION, 0);
    Pump(50);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(provider->ButtonByCode(HTCLOSE)->State, 0);
    PostMessageA(wnd, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    PostMessageA(wnd, WM_NCLBUTTONUP, HTCLOSE, 0);
    Pump(50);
    EXPECT_FALSE(form->Visible());
}

TEST_F(TitleBar, TheMaximiseButtonTogglesAndTheMinimiseButtonMinimises)
{
    NewSkinnedForm();
    for (bool zoomed : {true, false}) {
        SendMessageA(wnd, WM_NCLBUTTONDOWN, HTMAXBUTTON, 0);
        SendMessageA(wnd, WM_NCLBUTTONUP, HTMAXBUTTON, 0);
        Pump(50);
        EXPECT_EQ(IsZoomed(wnd) != 0, zoomed);
    }
    SetCursorPos(Centre(wnd, provider->ButtonByCode(HTMINBUTTON)->Rect).x,
                 Centre(wnd, provider->ButtonByCode(HTMINBUTTON)->Rect).y);
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTMINBUTTON, 0);
    SendMessageA(wnd, WM_NCLBUTTONUP, HTMINBUTTON, 0);
    Pump(50);
    EXPECT_TRUE(IsIconic(wnd));
}

TEST_F(TitleBar, TheHelpButtonSendsContextHelp)
{
    TForm* form = NewSkinnedForm(bsDialog, biSystemMenu | biHelp);
    std::vector<WPARAM> commands;
    form->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_CONTEXTHELP) {
            commands.push_back(m.WParam); // not on to the system: it would start its help mode
            return;
        }
        inherited(m);
    });
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTHELP, 0);
    SendMessageA(wnd, WM_NCLBUTTONUP, HTHELP, 0);
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_CONTEXTHELP}));
}

TEST_F(TitleBar, DoubleClicksOnTheCaptionAndTheIcon)
{
    TForm* form = NewSkinnedForm();
    for (bool zoomed : {true, false}) {
        SendMessageA(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
        Pump(50);
        EXPECT_EQ(IsZoomed(wnd) != 0, zoomed);
    }
    TModalScript script({});
    SendMessageA(wnd, WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
    Pump(50);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(script.Unexpected(), 0);
    EXPECT_EQ(FindWindowA("#32768", nullptr) && IsWindowVisible(FindWindowA("#32768", nullptr)), false);
}

TEST_F(TitleBar, RightClicksAndAltSpaceOpenTheWindowMenu)
{
    auto* form = TForm::Create<TForm>(Application);
    std::vector<UINT> below;
    form->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_NCRBUTTONDOWN) below.push_back(m.Msg);
        inherited(m);
    });
    form->SetBounds(150, 150, 320, 200);
    provider = new TsSkinProvider(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
    wnd = form->Handle();
    RECT w{};
    GetWindowRect(wnd, &w);
    const POINT title{w.left + 150, w.top + 8};
    SendMessageA(wnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(title.x, title.y));
    EXPECT_TRUE(below.empty());
    std::vector<RECT> menus;
    TModalScript script({[&](HWND m) {
                             RECT r;
                             GetWindowRect(m, &r);
                             menus.push_back(r);
                             EndMenu();
                         },
                         [&](HWND m) {
                             RECT r;
                             GetWindowRect(m, &r);
                             menus.push_back(r);
                             EndMenu();
                         }});
    SendMessageA(wnd, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(title.x, title.y));
    SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].left, title.x);
    EXPECT_EQ(menus[0].top, title.y);
    const TRect icon = provider->TitleIconRect();
    EXPECT_EQ(menus[1].left, w.left);
    EXPECT_EQ(menus[1].top, w.top + icon.Bottom + GetSystemMetrics(SM_CXFRAME));
}

TEST_F(TitleBar, AMaximisedFormDoesNotMoveByItsTitle)
{
    NewSkinnedForm();
    ShowWindow(wnd, SW_MAXIMIZE);
    Pump();
    RECT before{}, after{};
    GetWindowRect(wnd, &before);
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(before.left + 200, before.top + 10));
    Pump(50);
    GetWindowRect(wnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(TitleBar, AFormClosedWhileTheIconWaitsIsNotTouched)
{
    manager->SetSkinnedPopups(false);
    TForm* form = NewSkinnedForm();
    form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    TModalScript script({});
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTSYSMENU, 0);
    Pump(50);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(script.Unexpected(), 0);
}

TEST_F(TitleBar, UserButtonsCallTheirEventsAndShowTheirHint)
{
    auto* form = TForm::Create<TForm>(Application);
    ReadFormDescription(*form, R"(object Form1: TForm
  Left = 150
  Top = 150
  Width = 320
  Height = 200
  object Provider: TsSkinProvider
    TitleButtons = <
      item
        Name = 'Sperren'
        Hint = 'Kasse sperren'
      end
      item
        Name = 'Drucken'
      end>
  end
end
)",
                        "TitleButtons.form");
    provider = TsSkinProvider::Of(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
    wnd = form->Handle();
    std::vector<std::pair<TObject*, std::string>> calls;
    for (int i = 0; i < 2; ++i) {
        TsTitleButton& b = provider->TitleButtons().Items(i);
        b.OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int, int) { calls.emplace_back(s, "down"); };
        b.OnMouseUp = [&](TObject* s, TMouseButton, TShiftState, int, int) { calls.emplace_back(s, "up"); };
    }
    TsTitleButton& second = provider->TitleButtons().Items(1);
    const POINT c2 = Centre(wnd, second.Button.Rect);
    SendMessageA(wnd, WM_NCLBUTTONDOWN, htUserButton + 1, MAKELPARAM(c2.x, c2.y));
    SendMessageA(wnd, WM_NCLBUTTONUP, htUserButton + 1, MAKELPARAM(c2.x, c2.y));
    EXPECT_EQ(calls, (std::vector<std::pair<TObject*, std::string>>{{&second, "down"}, {&second, "up"}}));

    TsTitleButton& first = provider->TitleButtons().Items(0);
    const POINT c1 = Centre(wnd, first.Button.Rect);
    SetCursorPos(c1.x, c1.y);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(HitCodeAt(wnd, c1), htUserButton);
    ASSERT_TRUE(first.HintWindow);
    const HWND hint = first.HintWindow->Handle();
    EXPECT_TRUE(IsWindowVisible(hint));
    RECT r{};
    GetWindowRect(hint, &r);
    EXPECT_EQ(r.left, cursor.x + 8);
    EXPECT_EQ(r.top, cursor.y + 16);
    const TRect measured = first.HintWindow->CalcHintRect(800, "Kasse sperren");
    EXPECT_EQ(r.bottom - r.top, measured.Bottom - measured.Top + 4);
    EXPECT_EQ(HitCodeAt(wnd, Centre(wnd, TRect{100, 2, 110, 12})), HTCAPTION);
    EXPECT_FALSE(first.HintWindow);
    EXPECT_FALSE(IsWindow(hint));
}

TEST_F(TitleBar, OutlineDragsMoveAndSizeTheForm)
{
    TForm* form = NewSkinnedForm();
    provider->ResizeMode = rmBorder;
    form->SetConstraints(TSizeConstraints{250, 0, 0, 0});
    RECT w{};
    GetWindowRect(wnd, &w);
    // Moved by its title: the form lands where the mouse is released.
    POINT from{w.left + 150, w.top + 10};
    SetCursorPos(from.x, from.y);
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(from.x, from.y));
    EXPECT_TRUE(TsSkinProvider::OutlineDragging());
    POINT to{from.x + 40, from.y + 30};
    ScreenToClient(wnd, &to);
    SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(to.x, to.y));
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    EXPECT_FALSE(TsSkinProvider::OutlineDragging());
    RECT moved{};
    GetWindowRect(wnd, &moved);
    EXPECT_EQ(moved.left, w.left + 40);
    EXPECT_EQ(moved.top, w.top + 30);
    // Sized by its right edge far to the left: no narrower than its constraint.
    POINT edge{moved.right - 1, (moved.top + moved.bottom) / 2};
    EXPECT_EQ(HitCodeAt(wnd, edge), HTRIGHT);
    SetCursorPos(edge.x, edge.y);
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge.x, edge.y));
    POINT left{edge.x - 200, edge.y};
    ScreenToClient(wnd, &left);
    SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(left.x, left.y));
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(left.x, left.y));
    RECT sized{};
    GetWindowRect(wnd, &sized);
    EXPECT_EQ(sized.right - sized.left, 250);
    EXPECT_EQ(sized.left, moved.left);
}

// With the real mouse (xdotool, a program of the display's side): over the close button and a
// click, and the form is gone.
TEST_F(TitleBar, TheRealMouseClosesTheFormByItsCloseButton)
{
    const char* xdotool = "Z:\\usr\\bin\\xdotool";
    if (GetFileAttributesA(xdotool) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no xdotool";
    TForm* form = NewSkinnedForm();
    const POINT c = Centre(wnd, provider->ButtonByCode(HTCLOSE)->Rect);
    std::string command = "xdotool mousemove " + std::to_string(c.x) + " " + std::to_string(c.y) +
                          " sleep 0.3 mousemove " + std::to_string(c.x + 1) + " " + std::to_string(c.y) +
                          " sleep 0.3 click 1";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(xdotool, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    const bool gone = testrig::PumpUntil([&] { return !form->Visible(); }, 5000);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(gone);
}

TEST_F(TitleBar, HoveringAndOpeningTheMenuLeaveNoHandles)
{
    NewSkinnedForm(bsSizeable, biSystemMenu | biMinimize | biMaximize | biHelp);
    TsTitleButton& own = provider->TitleButtons().Add();
    own.Hint = "Kasse sperren";
    provider->InitTitleButtons();
    provider->RefreshNonClient();
    const POINT elsewhere = Centre(wnd, TRect{150, 2, 160, 12});
    std::vector<POINT> centres;
    for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP, htUserButton})
        centres.push_back(Centre(wnd, provider->ButtonByCode(code)->Rect));
    const auto hover = [&] {
        for (const POINT& c : centres) {
            HitCodeAt(wnd, c);
            HitCodeAt(wnd, elsewhere);
        }
    };
    hover();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        hover();
    EXPECT_EQ(THandleCount::Now(), before);
    EXPECT_FALSE(own.HintWindow);
    RECT w{};
    GetWindowRect(wnd, &w);
    const auto open = [&] {
        TModalScript script({[](HWND) { EndMenu(); }});
        SendMessageA(wnd, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(w.left + 150, w.top + 8));
    };
    open();
    const THandleCount settled = THandleCount::Now();
    for (int i = 0; i < 200; ++i)
        open();
    EXPECT_EQ(THandleCount::Now(), settled);
    EXPECT_EQ(GlowListLength() > 0 ? GlowEffect(GlowListLength() - 1) : nullptr, nullptr);
}

} // namespace
