// The skinned push button, check box and bitmap button on borderless forms with the probe skins
// (a border pixel reads RGB(image id, 16 x state + piece, 200); every corner of a border image
// holds a 0xFF00FF staircase of 3, 2 and 1 pixels): owner drawing, the window region, the
// pixels of each state, clicks skinned and plain, the release wait, and handle counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "skin/controls/sBitBtn.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/engine/sAlphaBitmap.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStart.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sPropUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sTextPaint.h"
#include "skin/engine/vxFastBitmaps.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/sFade.h"
#include "skin/windows/vxGlow.h"
#include "tests/support/HandleCount.h"
#include "tests/support/WindowProbes.h"

using namespace skintest;

namespace {

class SkinButtons : public TProbeSkinTest {
protected:
    // A skin loaded by name, so that the manager is active with a skin name.
    void UseSkin(const std::string& name)
    {
        if (!manager) {
            manager = new TsSkinManager(nullptr);
            manager->SetIsDefault(true);
            // The host forms stay plain: the window hook skins no form here.
            manager->SetSkinningRules(srStdDialogs | srThirdParty);
            // A folder with a drive, so that it is not taken as relative to the program.
            const std::string dir = TEST_SKINS_DIR;
            manager->SetSkinDirectory(dir[0] == '/' ? "Z:" + dir : dir);
        }
        manager->SetSkinName(name);
        ASSERT_EQ(manager->SkinName(), name);
    }
    // A borderless form with a plain button that holds the focus.
    void NewButtonForm()
    {
        form = NewForm(100, 100, 300, 200);
        auto* holder = new TButton(form);
        holder->SetParent(form);
        holder->SetBounds(200, 150, 40, 20);
        holder->SetFocus();
    }
    TsButton* NewButton(int left, int top, int width, int height)
    {
        auto* b = new TsButton(form);
        b->SkinData().SetSkinSection("BUTTON");
        b->SetParent(form);
        b->SetBounds(left, top, width, height);
        b->OnClick = [this](TObject*) { ++clicks; };
        b->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { ++mouseUps; };
        b->OnMouseEnter = [this](TObject*) { ++enters; };
        b->OnMouseLeave = [this](TObject*) { ++leaves; };
        UpdateWindow(b->Handle());
        return b;
    }
    TsBitBtn* NewBitBtn(int left, int top, int width, int height)
    {
        auto* b = new TsBitBtn(form);
        b->SkinData().SetSkinSection("BUTTON");
        b->SetParent(form);
        b->SetBounds(left, top, width, height);
        return b;
    }
    // A list with one 16 x 16 image of one colour.
    TCustomImageList* NewList(COLORREF colour, int images = 1)
    {
        auto* list = new TCustomImageList(form);
        list->SetSize(16, 16);
        TBitmap pic;
        pic.SetSize(16, 16);
        FillDC(pic.Canvas().Handle(), TRect{0, 0, 16, 16}, static_cast<TColor>(colour));
        for (int i = 0; i < images; ++i)
            EXPECT_EQ(list->Add(&pic, nullptr), i);
        return list;
    }
    static void Pump()
    {
        testrig::PumpUntil([] { return false; }, 60);
    }
    static COLORREF Px(TWinControl* c, int x, int y)
    {
        UpdateWindow(c->Handle());
        return testrig::WindowPixel(c->Handle(), x, y);
    }
    TForm* form = nullptr;
    int clicks = 0, mouseUps = 0, enters = 0, leaves = 0;
    const TTestImage border = ProbeImage("Probe", "BUTTON", "BORDERSMASK");
};

TEST_F(SkinButtons, ButtonIsOwnerDrawnAndCutWhileSkinnedAndShowsEachStatesBorder)
{
    UseSkin("Probe");
    NewButtonForm();
    TsButton* b = NewButton(20, 30, 80, 28);
    const HWND h = b->Handle();
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & 0xF, BS_OWNERDRAW);
    EXPECT_TRUE(testrig::WindowRegionIs(h, testrig::RectMinus(RECT{0, 0, 80, 28}, ProbeStaircase(80, 28))));
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 0, 1));

    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 1, 1)); // hot, and focused by the press
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 14));
    Pump();
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 2, 1));
    EXPECT_EQ(clicks, 0);
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(mouseUps, 1);
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 1, 1)); // hot, and focused by the press

    // Space shows the pressed look from key-down to key-up.
    b->SetFocus();
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 2, 1));
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    Pump();
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 1, 1)); // focused: active
    EXPECT_EQ(clicks, 2);

    // Disabled on a skinned panel: the normal look tinted towards the panel's colour (a plain
    // section answers its colour) as the engine tints it.
    auto* panel = new TsPanel(form);
    panel->SkinData().SetSkinSection("PANEL");
    panel->SetParent(form);
    panel->SetBounds(0, 100, 200, 60);
    auto* off = new TsButton(form);
    off->SkinData().SetSkinSection("BUTTON");
    off->SetParent(panel);
    off->SetBounds(20, 10, 80, 28);
    off->SetEnabled(false);
    const COLORREF under = Px(panel, 60, 5);
    auto look = CreateBmp24(2, 2);
    FillDC(look->Canvas().Handle(), TRect{0, 0, 2, 2}, static_cast<TColor>(ProbePiece(border, 0, 1)));
    TsCacheInfo panelColour;
    panelColour.FillColor = static_cast<TColor>(under);
    ApplyDisabledKind(look.get(), dkBlended, TPoint{}, panelColour, clFuchsia);
    EXPECT_EQ(Px(off, 40, 1), look->Canvas().Pixel(0, 0));

    manager->SetActive(false);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & 0xF, BS_PUSHBUTTON);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, rgn), ERROR);
    DeleteObject(rgn);
}

TEST_F(SkinButtons, ClicksReachOnClickAndTheModalResultSkinnedOrNotButNotAReleaseAlone)
{
    for (const bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        clicks = mouseUps = enters = leaves = 0;
        if (skinned) UseSkin("Probe");
        NewButtonForm();
        TsButton* b = NewButton(20, 30, 80, 28);
        b->SetModalResult(mrOk);
        SendMessageA(b->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(form->ModalResult(), mrOk);
        mouseUps = 0;
        PostMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
        Pump();
        EXPECT_EQ(mouseUps, 0);
        EXPECT_EQ(clicks, 1);
        // The real pointer: over the button and away again.
        RECT r;
        GetWindowRect(b->Handle(), &r);
        SetCursorPos(r.left + 40, r.top + 14);
        testrig::PumpUntil([this] { return enters > 0; }, 2000);
        EXPECT_EQ(enters, 1);
        EXPECT_EQ(leaves, 0);
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); // over no test's form
        testrig::PumpUntil([this] { return leaves > 0; }, 2000);
        EXPECT_EQ(enters, 1);
        EXPECT_EQ(leaves, 1);
        Application->DestroyForms();
        if (skinned) manager->SetActive(false);
    }
}

// The "Colors" skin: its BUTTON section has SHOWFOCUS but no border image, and it has no
// BOX* images. The probe's BUTTON has a border image and no SHOWFOCUS.
TEST_F(SkinButtons, WithoutBorderImageTheButtonStaysRectangularFocusDotsNeedShowFocusAndTheBoxDrawsNoGlyph)
{
    UseSkin("Colors");
    NewButtonForm();
    TsButton* b = NewButton(20, 30, 80, 28);
    b->SetCaption("OK");
    const HWND h = b->Handle();
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & 0xF, BS_OWNERDRAW);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, rgn), ERROR);
    DeleteObject(rgn);

    b->SetFocus();
    b->Invalidate();
    const auto focusRect = [b] {
        const TRect c = b->CaptionRect();
        const int m = b->FocusMargin;
        return TRect{c.Left - m, c.Top - m, c.Right + m, c.Bottom + m};
    };
    TRect r = focusRect();
    EXPECT_EQ(Px(b, r.Left, r.Top), RGB(0, 0, 0));
    EXPECT_EQ(Px(b, r.Left + 1, r.Top), RGB(255, 255, 255));
    EXPECT_EQ(Px(b, r.Right - 1, r.Top + 3), RGB(0, 0, 0));
    b->SetShowFocus(false);
    EXPECT_NE(Px(b, r.Left, r.Top), RGB(0, 0, 0));
    EXPECT_NE(Px(b, r.Left + 1, r.Top), RGB(255, 255, 255));

    // A new caption shows at once, and the old one comes back with the old look.
    const auto captionPixels = [&] {
        std::vector<COLORREF> v;
        for (int y = r.Top + 1; y < r.Bottom - 1; ++y)
            for (int x = r.Left + 1; x < r.Right - 1; ++x)
                v.push_back(Px(b, x, y));
        return v;
    };
    const std::vector<COLORREF> withOK = captionPixels();
    b->SetCaption("");
    EXPECT_NE(captionPixels(), withOK);
    b->SetCaption("OK");
    EXPECT_EQ(captionPixels(), withOK);

    auto* box = new TsCheckBox(form);
    box->SkinData().SetSkinSection("CHECKBOX");
    box->SetParent(form);
    box->SetBounds(20, 80, 50, 30);
    box->SetCaption("Kasse");
    const TRect g = box->GlyphRect();
    EXPECT_EQ(g.Right - g.Left, 16);
    EXPECT_EQ(g.Bottom - g.Top, 16);
    std::vector<COLORREF> unchecked;
    for (int y = g.Top; y < g.Bottom; y += 3)
        for (int x = g.Left; x < g.Right; x += 3)
            unchecked.push_back(Px(box, x, y));
    box->SetChecked(true);
    size_t i = 0;
    for (int y = g.Top; y < g.Bottom; y += 3)
        for (int x = g.Left; x < g.Right; x += 3)
            EXPECT_EQ(Px(box, x, y), unchecked[i++]) << x << "," << y;

    UseSkin("Probe"); // the probe's section has no SHOWFOCUS
    b->SetShowFocus(true);
    b->SetFocus();
    r = focusRect();
    EXPECT_NE(Px(b, r.Left, r.Top), RGB(0, 0, 0));
    manager->SetActive(false);
}

// The pixel of a fade's last frame from the old look's and the new look's pixel (the engine's
// sum of the two bitmaps with weight 0 for the old one).
COLORREF LastFadeFrame(COLORREF oldLook, COLORREF newLook)
{
    TBitmap frame, cache;
    for (TBitmap* one : {&frame, &cache}) {
        one->SetPixelFormat(pf24bit);
        one->SetSize(2, 2); // the sum takes 2 x 2 pixels at least
    }
    FillDC(frame.Canvas().Handle(), TRect{0, 0, 2, 2}, static_cast<TColor>(oldLook));
    FillDC(cache.Canvas().Handle(), TRect{0, 0, 2, 2}, static_cast<TColor>(newLook));
    SumBitmaps24(&frame, &cache, 0);
    return GetPixel(frame.Canvas().Handle(), 0, 0);
}

// A push button that counts the fade frames it is given to paint.
struct TFrameCountingButton : TsButton {
    using TsButton::TsButton;
    int Frames = 0;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdPaintFadeFrame && m.LParam) ++Frames;
        TsButton::WndProc(m);
    }
};

TEST_F(SkinButtons, WithTheFadingSkinHoverFadesOverTenFramesToTheHotLookAndBack)
{
    UseSkin("ProbeFading");
    NewButtonForm();
    auto* b = new TFrameCountingButton(form);
    b->SkinData().SetSkinSection("BUTTON");
    b->SetParent(form);
    b->SetBounds(20, 30, 80, 28);
    UpdateWindow(b->Handle());
    for (const auto& [message, state] : {std::pair{CM_MOUSEENTER, 1}, std::pair{CM_MOUSELEAVE, 0}}) {
        b->Frames = 0;
        b->Perform(message, 0, reinterpret_cast<LPARAM>(b));
        EXPECT_TRUE(testrig::PumpUntil([] { return FadeTimerCount() == 0; }, 3000));
        EXPECT_EQ(b->Frames, 10) << state;
        // The window keeps the last frame: the old look summed with weight 0 over the new one.
        EXPECT_EQ(Px(b, 40, 1), LastFadeFrame(ProbePiece(border, 1 - state, 1), ProbePiece(border, state, 1)));
    }
}

// The button a timer frees while the button waits in its own handler.
TsButton* victim = nullptr;
bool timerRan = false;
void CALLBACK FreeVictim(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    delete victim;
    timerRan = true;
}

// A quick click on a button of the fading skin, with a timer that runs during the button's pressed
// wait; true once the timer has run.
bool QuickClickWithATimer(TsButton* b, TIMERPROC timer)
{
    timerRan = false;
    PostMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 14));
    PostMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
    if (!SetTimer(nullptr, 0, 1, timer)) return false;
    testrig::PumpUntil([] { return timerRan; }, 1000);
    return timerRan;
}

TEST_F(SkinButtons, ButtonFreedByATimerDuringThePressedWaitIsLeftAlone)
{
    UseSkin("ProbeFading");
    NewButtonForm();
    victim = NewButton(20, 30, 80, 28);
    EXPECT_TRUE(QuickClickWithATimer(victim, FreeVictim));
    Pump();
    EXPECT_EQ(form->ControlCount(), 1); // the focus holder
    EXPECT_EQ(clicks, 0);
}

// Something else takes the mouse while the button waits after a quick release.
void CALLBACK TakeCapture(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    ReleaseCapture();
    timerRan = true;
}

TEST_F(SkinButtons, ACaptureLostDuringThePressedWaitKeepsTheClick)
{
    UseSkin("ProbeFading");
    NewButtonForm();
    TsButton* b = NewButton(20, 30, 80, 28);
    EXPECT_TRUE(QuickClickWithATimer(b, TakeCapture));
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageA(b->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

// BM_GETCHECK asked from another thread, as a driver or an accessibility tool asks.
LRESULT CheckStateFromAnotherThread(HWND wnd)
{
    std::atomic<bool> done{false};
    LRESULT result = -1;
    std::thread reader([&] {
        result = SendMessageA(wnd, BM_GETCHECK, 0, 0);
        done = true;
    });
    testrig::PumpUntil([&] { return done.load(); });
    reader.join();
    return result;
}

TEST_F(SkinButtons, CheckBoxShowsItsSkinGlyphTogglesOnReleaseAndReportsItsState)
{
    UseSkin("Probe");
    NewButtonForm();
    auto* box = new TsCheckBox(form);
    box->SkinData().SetSkinSection("CHECKBOX");
    box->SetParent(form);
    box->SetBounds(20, 80, 50, 30);
    box->SetCaption("Kasse");
    box->OnClick = [this](TObject*) { ++clicks; };
    box->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { ++mouseUps; };
    const HWND h = box->Handle();
    const SIZE t = GetFontTextExtent(box->Font(), "Kasse");
    EXPECT_EQ(box->Width(), 16 + 2 * 2 + t.cx + 8);
    EXPECT_EQ(box->Height(), std::max<int>(16, t.cy + 4) + 2);

    const TTestImage unchecked = ProbeImage("Probe", "GLOBALINFO", "BOXUNCHECKED");
    const TTestImage checked = ProbeImage("Probe", "GLOBALINFO", "BOXCHECKED");
    const int gx = 2 + 8, gy = (box->Height() - 16) / 2 + 8; // the glyph's middle
    EXPECT_EQ(Px(box, gx, gy), ExpectedPixel(unchecked, 8, 8));
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(gx, gy));
    Pump();
    EXPECT_EQ(Px(box, gx, gy), ExpectedPixel(unchecked, 32 + 8, 8)); // pressed
    EXPECT_EQ(clicks, 0);
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(400, 300)); // released off the box
    Pump();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Px(box, gx, gy), ExpectedPixel(checked, 16 + 8, 8)); // focused by the press
    EXPECT_EQ(CheckStateFromAnotherThread(h), BST_CHECKED);
    EXPECT_EQ(SendMessageA(h, BM_GETSTATE, 0, 0) & 3, BST_CHECKED);

    box->ReadOnly = true;
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(gx, gy));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(gx, gy));
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    Pump();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(mouseUps, 1);
    box->Invalidate();
    EXPECT_EQ(Px(box, gx, gy), ExpectedPixel(checked, 8, 8)); // read-only: never active

    box->ReadOnly = false;
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(box->Checked());
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(CheckStateFromAnotherThread(h), BST_UNCHECKED);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 3);
    SendMessageA(h, BM_CLICK, 0, 0);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 4);
    box->SetChecked(true);

    manager->SetActive(false); // the window's own state and the plain size come back
    EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(box->Width(), t.cx + 20);
    EXPECT_EQ(box->Height(), std::max<int>(t.cy + 4, 20));
    SendMessageA(h, BM_CLICK, 0, 0);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(clicks, 6);
}

// A 16 x 16 32-bit glyph of one colour and one alpha.
std::unique_ptr<TBitmap> Glyph32(COLORREF colour, int alpha)
{
    auto g = CreateBmp32(16, 16);
    const TvxScanLines rows = ScanLinesOf(g.get());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = rows.Row(y) + x * 4;
            p[0] = GetBValue(colour), p[1] = GetGValue(colour), p[2] = GetRValue(colour),
            p[3] = static_cast<uint8_t>(alpha);
        }
    return g;
}

// The engine's alpha drawing of such a glyph over one colour, read at (x, y) (rows 16..23 hold
// the reflection).
COLORREF AlphaOver(COLORREF colour, int alpha, COLORREF below, bool reflected, int x, int y)
{
    const auto src = Glyph32(colour, alpha);
    auto dst = CreateBmp24(16, 24);
    FillDC(dst->Canvas().Handle(), TRect{0, 0, 16, 24}, static_cast<TColor>(below));
    DrawAlphaBitmap(dst.get(), TRect{0, 0, 16, 24}, src.get(), TRect{0, 0, 16, 16}, 0, false, 0x1FFFFFFF, reflected);
    return GetPixel(dst->Canvas().Handle(), x, y);
}

// A plain windowed parent that answers no background query and paints itself in Painted,
// not in its Color.
class TPaintingParent : public TCustomControl {
    GUI_CLASS(TPaintingParent, TCustomControl)
    explicit TPaintingParent(TComponent* owner) : TCustomControl(owner) { SetColor(clNavy); }
    static constexpr COLORREF Painted = RGB(12, 140, 90);

protected:
    void WndProc(TMessage& m) override
    {
        const WORD command = m.Msg == SM_VELOCONCMD ? HIWORD(m.WParam) : 0;
        if (command == cmdGetBGInfo || command == cmdGetBGColor) {
            m.Result = 0;
        } else if ((m.Msg == WM_ERASEBKGND || m.Msg == WM_PAINT) && m.WParam) {
            FillDC(reinterpret_cast<HDC>(m.WParam), TRect{0, 0, Width(), Height()}, static_cast<TColor>(Painted));
            m.Result = 1;
        } else {
            TCustomControl::WndProc(m);
        }
    }
    void Paint(TCanvas& canvas) override
    {
        FillDC(canvas.Handle(), TRect{0, 0, Width(), Height()}, static_cast<TColor>(Painted));
    }
};

// A strip of three 16 x 16 frames in 32 bits: frame i in colours[i], opaque, except the right
// half of frame 0, which has alpha 128.
std::unique_ptr<TBitmap> GlyphStrip(const std::array<COLORREF, 3>& colours)
{
    auto strip = CreateBmp32(48, 16);
    const TvxScanLines rows = ScanLinesOf(strip.get());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x) {
            const COLORREF c = colours[static_cast<size_t>(x / 16)];
            uint8_t* p = rows.Row(y) + x * 4;
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
            p[3] = x >= 8 && x < 16 ? 128 : 255;
        }
    return strip;
}

// The engine's alpha over a background: ((src - bg) x alpha + bg x 256) >> 8 a channel.
COLORREF Over(COLORREF src, COLORREF bg, int alpha)
{
    const auto mix = [alpha](int s, int b) { return static_cast<BYTE>(((s - b) * alpha + b * 256) >> 8); };
    return RGB(mix(GetRValue(src), GetRValue(bg)), mix(GetGValue(src), GetGValue(bg)),
               mix(GetBValue(src), GetBValue(bg)));
}

// The "Colors" skin's CHECKBOX is fully transparent and has no border: the box shows what its
// parent paints, and the glyph over it.
TEST_F(SkinButtons, CheckBoxDrawsStripFramesWithAlphaOverWhatItsParentPaintsAndFollowsTheAlignment)
{
    UseSkin("Colors");
    NewButtonForm();
    auto* parent = new TPaintingParent(form);
    parent->SetParent(form);
    parent->SetBounds(0, 0, 200, 100);
    auto* box = new TsCheckBox(form);
    box->SkinData().SetSkinSection("CHECKBOX");
    box->SetAutoSize(false);
    box->SetParent(parent);
    box->SetBounds(10, 10, 120, 24);
    const COLORREF bg = TPaintingParent::Painted;
    EXPECT_EQ(Px(box, 100, 12), bg);

    // Custom glyphs: the frame of the state, with its alpha.
    const COLORREF a = RGB(200, 40, 10), b = RGB(30, 220, 60), c = RGB(90, 20, 250);
    box->SetGlyphChecked(*GlyphStrip({a, b, c}));
    box->SetChecked(true);
    const int gy = (24 - 16) / 2 + 8;
    EXPECT_EQ(Px(box, 2 + 3, gy), Over(a, bg, 255));
    EXPECT_EQ(Px(box, 2 + 12, gy), Over(a, bg, 128));
    PostMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, gy));
    Pump();
    EXPECT_EQ(Px(box, 2 + 3, gy), Over(c, Px(box, 100, gy), 255)); // pressed
    PostMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, gy));
    Pump();
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(Px(box, 2 + 3, gy), Px(box, 100, gy)); // no unchecked glyph, no skin glyph

    // An image list of strips: the frame of the state (1 while focused, 0 else).
    const COLORREF d = RGB(250, 250, 0), e = RGB(0, 100, 200), f = RGB(120, 0, 120);
    TCustomImageList list(nullptr);
    list.SetSize(48, 16);
    ASSERT_EQ(list.Add(GlyphStrip({d, e, f}).get(), nullptr), 0);
    box->SetImages(&list);
    ASSERT_EQ(box->GlyphSize().cx, 16);
    EXPECT_EQ(Px(box, 2 + 3, gy), Over(e, Px(box, 100, gy), 255));
    static_cast<TWinControl*>(form->Controls(0))->SetFocus(); // the box no longer looks active
    box->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(Px(box, 2 + 3, gy), Over(d, bg, 255));

    // The caption left of the glyph puts the glyph at the right edge; right-to-left mirrors it.
    box->SetAlignment(taLeftJustify);
    EXPECT_EQ(Px(box, 120 - 2 - 16 + 3, gy), Over(d, bg, 255));
    EXPECT_EQ(Px(box, 2 + 3, gy), bg);
    box->SetBiDiMode(bdRightToLeft);
    box->Invalidate();
    EXPECT_EQ(Px(box, 2 + 3, gy), Over(d, bg, 255));
    box->SetImages(nullptr);
    manager->SetActive(false);
}

// The skin code reads and writes the controls' properties by name; each name reaches the
// control's own accessor (Blend through its clamping setter).
TEST_F(SkinButtons, PublishedPropertiesReachTheControlsAccessors)
{
    SkinControlsStart();
    NewButtonForm();
    auto* button = new TsButton(form);
    auto* bit = new TsBitBtn(form);
    auto* box = new TsCheckBox(form);
    struct Row {
        TObject* object;
        const char* name;
        long long written, read;
        std::function<long long()> accessor;
    };
    const std::vector<Row> rows{
        {button, "Down", 1, 1, [&] { return button->Down(); }},
        {button, "FocusMargin", 5, 5, [&] { return button->FocusMargin; }},
        {button, "ShowFocus", 0, 0, [&] { return button->ShowFocus(); }},
        {button, "WordWrap", 0, 0, [&] { return button->WordWrap; }},
        {bit, "Down", 1, 1, [&] { return bit->Down(); }},
        {bit, "Blend", 150, 100, [&] { return bit->Blend(); }},
        {bit, "NumGlyphs", 3, 3, [&] { return bit->NumGlyphs(); }},
        {bit, "Layout", blGlyphTop, blGlyphTop, [&] { return bit->Layout(); }},
        {bit, "Margin", 7, 7, [&] { return bit->Margin(); }},
        {bit, "Spacing", 9, 9, [&] { return bit->Spacing(); }},
        {bit, "ImageIndex", 2, 2, [&] { return bit->ImageIndex(); }},
        {bit, "Grayed", 1, 1, [&] { return bit->Grayed(); }},
        {bit, "DrawOverBorder", 0, 0, [&] { return bit->DrawOverBorder(); }},
        {bit, "Reflected", 1, 1, [&] { return bit->Reflected; }},
        {bit, "ShowCaption", 0, 0, [&] { return bit->ShowCaption(); }},
        {bit, "Alignment", taLeftJustify, taLeftJustify, [&] { return bit->Alignment(); }},
        {bit, "TextAlignment", taRightJustify, taRightJustify, [&] { return bit->TextAlignment(); }},
        {box, "TextIndent", 4, 4, [&] { return box->TextIndent(); }},
        {box, "Margin", 5, 5, [&] { return box->Margin(); }},
        {box, "ImgChecked", 2, 2, [&] { return box->ImgChecked(); }},
        {box, "ImgUnchecked", 1, 1, [&] { return box->ImgUnchecked(); }},
        {box, "ReadOnly", 1, 1, [&] { return box->ReadOnly; }},
        {box, "WordWrap", 1, 1, [&] { return box->WordWrap(); }},
        {box, "AutoSize", 0, 0, [&] { return box->AutoSize(); }},
        {box, "Alignment", taLeftJustify, taLeftJustify, [&] { return box->Alignment(); }},
        {box, "Alignment", taCenter, taLeftJustify, [&] { return box->Alignment(); }}, // not a box's
        {box, "AllowGrayed", 1, 1, [&] { return box->AllowGrayed; }},
        {box, "State", cbGrayed, cbGrayed, [&] { return box->State(); }},
        {box, "ShowFocus", 0, 0, [&] { return box->ShowFocus(); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SetIntProp(r.object, r.name, r.written);
        EXPECT_EQ(r.accessor(), r.read);
        EXPECT_EQ(GetIntProp(r.object, r.name), r.read);
    }
    ChangeSetProp(box, "DisabledKind", "dkGrayed", true);
    EXPECT_EQ(box->DisabledKind(), dkBlended | dkGrayed);
    ChangeSetProp(button, "AnimatEvents", "aeMouseDown", true);
    EXPECT_EQ(button->AnimatEvents, (1u << aeGlobalDef) | (1u << aeMouseDown));
    ChangeSetProp(bit, "DisabledGlyphKind", "dgBlended", false);
    EXPECT_EQ(bit->DisabledGlyphKind, 0u);
    EXPECT_TRUE(IsInSetProp(bit, "DisabledKind", "dkBlended"));

    TCustomImageList list(form);
    box->SetImages(&list);
    EXPECT_EQ(GetObjProp(box, "Images"), &list);
    EXPECT_EQ(GetObjProp(box, "SkinData"), &box->SkinData());
    EXPECT_EQ(GetObjProp(box, "GlyphChecked"), &box->GlyphChecked());
    EXPECT_EQ(GetObjProp(bit, "Glyph"), &bit->Glyph());
    EXPECT_EQ(GetObjProp(button, "SkinData"), &button->SkinData());
    box->SetImages(nullptr);
}

TEST_F(SkinButtons, BitBtnClampsBlendPlacesItsGlyphAndForgetsARemovedImageList)
{
    UseSkin("Probe");
    NewButtonForm();
    const COLORREF glyph = RGB(1, 2, 3);
    auto* list = NewList(glyph);
    auto* b = NewBitBtn(20, 30, 80, 40);
    b->SetImages(list);
    b->SetImageIndex(0);
    b->SetLayout(blGlyphTop);

    b->SetBlend(150);
    EXPECT_EQ(b->Blend(), 100);
    b->SetBlend(-5);
    EXPECT_EQ(b->Blend(), 0);
    b->SetNumGlyphs(0);
    EXPECT_EQ(b->NumGlyphs(), 1);

    // No caption: the glyph one pixel right of the centre, (80 - 16) / 2 + 1 = 33.
    EXPECT_EQ(Px(b, 33, 20), glyph);
    EXPECT_EQ(Px(b, 48, 20), glyph);
    EXPECT_NE(Px(b, 32, 20), glyph);
    EXPECT_NE(Px(b, 49, 20), glyph);
    {
        const TWindowDC dc(b->Handle());
        EXPECT_EQ(SendMessageA(b->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0), 0);
    }

    // At the left edge the glyph covers the border, unless the border is drawn over it.
    b->SetLayout(blGlyphLeft);
    b->SetAlignment(taLeftJustify);
    EXPECT_EQ(Px(b, 1, 20), glyph);
    b->SetDrawOverBorder(false);
    EXPECT_EQ(Px(b, 1, 20), ProbePiece(border, 0, 3));

    // An index past the list's end draws nothing; Blend mixes the glyph with what lies below.
    b->SetDrawOverBorder(true);
    b->SetImageIndex(1);
    const COLORREF below = Px(b, 8, 20);
    b->SetImageIndex(0);
    b->SetBlend(50);
    // The engine's blend of the glyph's colour over the colour below, on a single pixel.
    TBitmap dst, src;
    for (TBitmap* one : {&dst, &src}) {
        one->SetPixelFormat(pf24bit);
        one->SetSize(1, 1);
    }
    SetPixel(dst.Canvas().Handle(), 0, 0, below);
    SetPixel(src.Canvas().Handle(), 0, 0, glyph);
    BlendBitmapRect(&dst, 0, 0, clFuchsia, 0.5, TRect{0, 0, 0, 0}, &src);
    EXPECT_EQ(Px(b, 8, 20), GetPixel(dst.Canvas().Handle(), 0, 0));
    b->SetBlend(0);

    delete list;
    EXPECT_EQ(b->Images(), nullptr);
    b->Invalidate();
    EXPECT_EQ(Px(b, 8, 20), Px(b, 40, 20)); // no glyph: the middle's colour
}

TEST_F(SkinButtons, BitBtnDrawsItsGlyphBitmapByFrameGreyedBlendedWithAlphaAndReflected)
{
    UseSkin("Probe");
    NewButtonForm();
    TsBitBtn* b = NewBitBtn(20, 30, 80, 40);
    b->SetLayout(blGlyphTop); // no caption: the glyph at (33, 12)
    const COLORREF plain = Px(b, 40, 20), plainTop = Px(b, 40, 10), plainBand = Px(b, 40, 26);

    // A 24-bit strip of two frames, its bottom-left pixel the transparent colour.
    const COLORREF a = RGB(10, 20, 30), second = RGB(40, 50, 60);
    TBitmap strip;
    strip.SetSize(32, 16);
    FillDC(strip.Canvas().Handle(), TRect{0, 0, 16, 16}, static_cast<TColor>(a));
    FillDC(strip.Canvas().Handle(), TRect{16, 0, 32, 16}, static_cast<TColor>(second));
    SetPixel(strip.Canvas().Handle(), 0, 15, RGB(0, 255, 0));
    b->SetGlyph(&strip);
    b->SetNumGlyphs(2);
    b->Invalidate();
    EXPECT_EQ(Px(b, 40, 20), a);
    EXPECT_EQ(Px(b, 33, 27), plain); // the transparent pixel
    b->SetGrayed(true);
    EXPECT_EQ(Px(b, 40, 20), RGB(20, 20, 20));
    b->SetGrayed(false);
    b->SetDown(true); // pressed: the second frame, one pixel down and right
    EXPECT_EQ(Px(b, 34, 13), second);
    b->SetDown(false);

    // A 32-bit glyph draws with its alpha; Blend 100 makes it vanish, Grayed makes it grey.
    const COLORREF c = RGB(200, 100, 50);
    b->SetNumGlyphs(1);
    b->SetGlyph(Glyph32(c, 255).get());
    b->Invalidate();
    EXPECT_EQ(Px(b, 40, 20), AlphaOver(c, 255, plain, false, 0, 0));
    b->SetBlend(100);
    EXPECT_EQ(Px(b, 40, 20), plain);
    b->SetBlend(50);
    EXPECT_EQ(Px(b, 40, 20), AlphaOver(c, 127, plain, false, 0, 0));
    b->SetBlend(0);
    b->SetGrayed(true);
    EXPECT_EQ(Px(b, 40, 20), AlphaOver(RGB(116, 116, 116), 255, plain, false, 0, 0));
    b->SetGrayed(false);

    // Reflected: the glyph moves up by 16 / 6 = 2 and its mirror fades out below it.
    b->Reflected = true;
    b->Invalidate();
    EXPECT_EQ(Px(b, 40, 10), AlphaOver(c, 255, plainTop, false, 0, 0));
    EXPECT_EQ(Px(b, 40, 26), AlphaOver(c, 255, plainBand, true, 0, 16));
    b->Reflected = false;

    // Without a single opaque pixel the picture is taken as a 24-bit one.
    auto clear = Glyph32(c, 0);
    ScanLinesOf(clear.get()).Row(15)[1] = 255; // the bottom-left pixel another colour
    b->SetGlyph(clear.get());
    b->Invalidate();
    EXPECT_EQ(Px(b, 40, 20), c);
}

TEST_F(SkinButtons, BitBtnShowsANewCaptionKeepsOneSetWhileHiddenAndDrawsAListGlyphWithoutSkin)
{
    UseSkin("Probe");
    NewButtonForm();
    const COLORREF glyph = RGB(1, 2, 3);
    auto* list = NewList(glyph);
    TsBitBtn* b = NewBitBtn(20, 30, 80, 40);
    TsBitBtn* twin = NewBitBtn(110, 30, 80, 40);
    const auto sameLook = [&](const char* caption) {
        twin->SetCaption(caption);
        for (int x = 0; x < 80; ++x)
            if (Px(b, x, 20) != Px(twin, x, 20)) return false;
        return true;
    };
    for (TsBitBtn* one : {b, twin}) {
        one->SetImages(list);
        one->SetImageIndex(0);
        UpdateWindow(one->Handle());
    }
    b->SetCaption("Kasse");
    EXPECT_TRUE(sameLook("Kasse"));
    b->SetVisible(false);
    b->SetCaption("Neu");
    EXPECT_EQ(b->Caption(), "Neu");
    b->SetVisible(true);
    EXPECT_TRUE(sameLook("Neu"));
    TBitmap pic;
    pic.SetSize(16, 16);
    b->SetGlyph(&pic);
    b->Loaded(); // the list's glyph wins: the bitmap goes
    EXPECT_TRUE(b->Glyph().Empty());

    // Without a skin the window draws itself only while it has a list glyph.
    manager->SetActive(false);
    EXPECT_EQ(GetWindowLongA(b->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
    const TRect r = b->GlyphRect(0);
    InvalidateRect(b->Handle(), nullptr, TRUE);
    EXPECT_EQ(Px(b, r.Left + 8, r.Top + 8), glyph);
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_TRUE(b->SkinData().MouseAbove);
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_FALSE(b->SkinData().MouseAbove);
    // The caption in the font's colour; disabled, in the highlight and shadow colours.
    const auto fontPixels = [&] {
        int n = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 80; ++x)
                n += Px(b, x, y) == ColorToRGB(b->Font().Color());
        return n;
    };
    EXPECT_GT(fontPixels(), 0);
    b->SetEnabled(false);
    InvalidateRect(b->Handle(), nullptr, TRUE);
    EXPECT_EQ(fontPixels(), 0);
    b->SetEnabled(true);
    b->SetImages(nullptr);
    EXPECT_EQ(GetWindowLongA(b->Handle(), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
    b->SetGlyph(Glyph32(glyph, 255).get()); // a 32-bit glyph is drawn by the button too
    InvalidateRect(b->Handle(), nullptr, TRUE);
    UpdateWindow(b->Handle());
    EXPECT_EQ(GetWindowLongA(b->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
}

TEST_F(SkinButtons, ToolButtonGlyphsTakeTheListOfTheStateAndTheBarsPlacing)
{
    NewButtonForm();
    const COLORREF normal = RGB(1, 2, 3), hot = RGB(4, 5, 6);
    TsToolButtonGlyph button;
    button.Images = NewList(normal);
    button.ImageIndex = 0;
    button.Width = 40;
    button.Height = 40;
    TCustomImageList* hotList = NewList(hot);
    TCustomImageList* emptyList = new TCustomImageList(form);
    emptyList->SetSize(16, 16);
    TBitmap bmp;
    bmp.SetSize(40, 40);
    const int captionTop = (40 - 16 - (bmp.Canvas().TextHeight("A") + 3)) / 2;
    struct Row {
        UINT itemState;
        TCustomImageList* hotImages;
        bool listStyle, showCaptions, dropDown;
        int left, top;
        COLORREF colour;
    } rows[] = {
        {0, hotList, false, false, false, 13, 12, normal},
        {CDIS_DISABLED, hotList, false, false, false, 13, 12, normal},
        {CDIS_HOT, hotList, false, false, false, 13, 12, hot},
        {CDIS_HOT, emptyList, false, false, false, 13, 12, normal},
        {CDIS_SELECTED, hotList, false, false, false, 14, 13, hot},
        {CDIS_CHECKED, nullptr, false, false, false, 14, 13, normal},
        {0, nullptr, true, false, false, 5, 12, normal},
        {0, nullptr, false, false, true, 5, 12, normal},
        {0, nullptr, false, true, false, 13, captionTop, normal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.itemState << " " << row.left << "," << row.top);
        FillDC(bmp.Canvas().Handle(), TRect{0, 0, 40, 40}, clWhite);
        button.HotImages = row.hotImages;
        button.ListStyle = row.listStyle;
        button.ShowCaptions = row.showCaptions;
        button.DropDown = row.dropDown;
        DrawBtnGlyph(&bmp, button, row.itemState);
        EXPECT_EQ(bmp.Canvas().Pixel(row.left, row.top), row.colour);
        EXPECT_EQ(bmp.Canvas().Pixel(row.left + 15, row.top + 15), row.colour);
        EXPECT_EQ(bmp.Canvas().Pixel(row.left - 1, row.top), RGB(255, 255, 255));
        EXPECT_EQ(bmp.Canvas().Pixel(row.left, row.top + 16), RGB(255, 255, 255));
    }
}

int LiveGlows()
{
    int n = 0;
    for (int id = 0; id < GlowListLength(); ++id)
        n += GlowEffect(id) != nullptr;
    return n;
}

TEST_F(SkinButtons, HoverPressCyclesAndCreateDestroyCyclesLeaveNoHandlesAndNoGlow)
{
    UseSkin("ProbeGlow");
    NewButtonForm();
    TsButton* b = NewButton(20, 30, 80, 28);
    auto cycle = [&] {
        b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
        SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 14));
        SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
        b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
        UpdateWindow(b->Handle());
    };
    cycle();
    EXPECT_EQ(LiveGlows(), 0);
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(LiveGlows(), 1); // the glow is there while hovered
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
    // A glow window costs Wine some 50 ms to make and free: 300 cycles keep the run short.
    const int cycles = 300;
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < cycles; ++i)
        cycle();
    EXPECT_TRUE(THandleCount::Now().Near(before, 2)) << THandleCount::Now() << " / " << before;
    EXPECT_EQ(clicks, cycles + 1);

    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    delete b; // with its glow
    EXPECT_EQ(LiveGlows(), 0);
    const auto createAndDestroy = [&] {
        delete NewButton(20, 30, 80, 28);
        auto* box = new TsCheckBox(form);
        box->SetParent(form);
        box->SetCaption("Kasse");
        UpdateWindow(box->Handle());
        delete box;
        auto* bit = new TsBitBtn(form);
        bit->SetParent(form);
        UpdateWindow(bit->Handle());
        delete bit;
    };
    createAndDestroy(); // what the first of each makes once (run alone, this test sees it)
    const THandleCount empty = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        createAndDestroy();
    EXPECT_TRUE(THandleCount::Now().Near(empty, 2)) << THandleCount::Now() << " / " << empty;
    EXPECT_EQ(LiveGlows(), 0);
    // A resized bitmap button leaves the glows of other controls alone.
    TsButton* other = NewButton(120, 30, 60, 28);
    other->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(other));
    TsBitBtn* bb = NewBitBtn(20, 30, 80, 28);
    UpdateWindow(bb->Handle());
    bb->SetBounds(20, 30, 90, 30);
    EXPECT_EQ(LiveGlows(), 1);
    delete bb;
    delete other;
    EXPECT_EQ(LiveGlows(), 0);
}

} // namespace
