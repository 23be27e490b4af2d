// Glow windows with the glow probe skin (BUTTON: GLOW0 with border widths 4, GLOWMARGIN 2): the
// window's place, styles, z-order and hit code, what it hands to UpdateLayeredWindow, requests
// that give no glow, ids, and the glow of a control the mouse enters. Blended screen pixels are
// never read (Wine draws layered windows unblended without a compositor).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "gui/Messages.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxGlow.h"
#include "tests/support/HandleCount.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/WindowProbes.h"

namespace {

// Around the 60 x 24 control: 4 - 2 pixels on each side.
constexpr int W = 64, H = 28;

TRect WindowRect(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return TRect{r.left, r.top, r.right, r.bottom};
}

class Glow : public TProbeSkinTest {
protected:
    void SetUp() override
    {
        LoadProbeSkin("ProbeGlow");
        form = NewForm(100, 100, 300, 200);
    }
    void TearDown() override
    {
        ClearGlows();
        TProbeSkinTest::TearDown();
    }
    int Show(const TRect& clip, HWND owner = nullptr, int alpha = 255, const char* section = "BUTTON", int margin = 2)
    {
        return ShowGlow(control, clip, section, nullptr, owner ? owner : form->Handle(), alpha, margin, "GLOW");
    }
    HWND GlowWindow(int id) const { return GlowEffect(id)->Form()->Handle(); }
    // The whole glow image, 0xAARRGGBB, as the skin draws GLOW0 with its border widths.
    std::vector<uint32_t> Expected() const
    {
        auto bmp = CreateBmp32(W, H);
        for (int y = 0; y < H; ++y)
            std::fill_n(static_cast<uint32_t*>(bmp->ScanLine(y)), W, 0u);
        DrawBorderMask(bmp.get(), TRect{0, 0, W, H}, 0, manager, manager->GetMaskIndexByName("BUTTON", "GLOW0"));
        std::vector<uint32_t> pixels(W * H);
        for (int y = 0; y < H; ++y)
            std::copy_n(static_cast<const uint32_t*>(bmp->ScanLine(y)), W, pixels.begin() + y * W);
        return pixels;
    }
    TForm* form = nullptr;
    const TRect control{150, 160, 210, 184}; // on the screen, over the form
};

} // namespace

TEST_F(Glow, TheWindowSurroundsTheControlPassesTheMouseAndShowsTheGlowImage)
{
    TLayeredRecorder rec;
    ASSERT_EQ(Show(control), 0);
    const HWND g = GlowWindow(0);
    EXPECT_EQ(WindowRect(g), (TRect{148, 158, 148 + W, 158 + H}));
    EXPECT_EQ(GlowEffect(0)->Form()->Tag(), -98);
    EXPECT_TRUE(IsWindowVisible(g));
    EXPECT_NE(GetActiveWindow(), g);
    EXPECT_EQ(GetWindowLongPtrA(g, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    HWND below = g; // above its form, and the mouse passes through to the form
    while (below && below != form->Handle())
        below = GetWindow(below, GW_HWNDNEXT);
    EXPECT_EQ(below, form->Handle());
    EXPECT_EQ(testrig::HitCodeAt(g, {149, 159}), HTTRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{149, 159}), form->Handle());

    ASSERT_EQ(rec.CallsFor(g).size(), 1u);
    const TLayeredRecorder::Call c = rec.CallsFor(g)[0];
    EXPECT_FALSE(c.HasPos);
    EXPECT_EQ(c.Size.cx, W);
    EXPECT_EQ(c.Size.cy, H);
    EXPECT_EQ(c.Flags, static_cast<DWORD>(ULW_ALPHA));
    EXPECT_EQ(c.Alpha, 255);
    EXPECT_EQ(c.Pixels, Expected());
    // The coded pieces of GLOW0 (corner, top, left, RGB); the middle stays clear.
    const skintest::TTestImage im = skintest::ProbeImage("ProbeGlow", "BUTTON", "GLOW0");
    const auto rgb = [](TColor t) {
        return static_cast<uint32_t>(GetRValue(t) << 16 | GetGValue(t) << 8 | GetBValue(t));
    };
    for (const auto& [x, y, piece] : {std::tuple{3, 3, 0}, {W / 2, 1, 1}, {1, H / 2, 3}})
        EXPECT_EQ(c.Pixel(x, y) & 0xFFFFFF, rgb(skintest::ProbePiece(im, 0, piece))) << piece;
    EXPECT_EQ(c.Pixel(W / 2, H / 2), 0u);
    // The alpha asked for is the constant alpha, limited to 0..255.
    for (const auto& [asked, given] : {std::pair{128, 128}, {300, 255}, {-5, 0}})
        EXPECT_EQ(rec.CallsFor(GlowWindow(Show(control, nullptr, asked))).at(0).Alpha, given) << asked;
}

TEST_F(Glow, AClippedControlGlowsOnlyAlongItsVisiblePartAndATopmostOwnerGetsATopmostGlow)
{
    TLayeredRecorder rec;
    const std::vector<uint32_t> full = Expected();
    int id = Show(TRect{170, 0, 1000, 1000}); // 20 pixels hidden on the left
    const int cut = 4 + 20 - 2;
    EXPECT_EQ(WindowRect(GlowWindow(id)), (TRect{170, 158, 148 + W, 158 + H}));
    const TLayeredRecorder::Call c = rec.CallsFor(GlowWindow(id)).at(0);
    ASSERT_EQ(c.Size.cx, W - cut);
    for (int y : {0, H / 2, H - 1})
        for (int x : {0, W - cut - 1})
            EXPECT_EQ(c.Pixel(x, y), full[static_cast<size_t>(y * W + cut + x)]) << x << "," << y;
    id = Show(TRect{0, 0, 190, 1000}); // 20 pixels hidden on the right
    EXPECT_EQ(WindowRect(GlowWindow(id)), (TRect{148, 158, 190, 158 + H}));
    TForm* top = NewForm(500, 100, 300, 200);
    top->SetFormStyle(fsStayOnTop);
    id = Show(control, top->Handle());
    EXPECT_NE(GetWindowLongPtrA(GlowWindow(id), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(Glow, RequestsWithoutAGlowImageOrRoomGiveNoWindowAndIdsAreNotGivenTwice)
{
    const THandleCount before = THandleCount::Now();
    EXPECT_EQ(Show(control, nullptr, 255, "EDIT"), -1); // no GLOW0
    EXPECT_EQ(Show(control, nullptr, 255, ""), -1);
    EXPECT_EQ(Show(TRect{0, 0, 100, 100}), -1);                                 // the control unseen
    EXPECT_EQ(Show(control, nullptr, 255, "BUTTON", 40), -1);                   // 24 + 8 - 80 rows
    EXPECT_EQ(Show(TRect{208, 0, 1000, 1000}, nullptr, 255, "BUTTON", 10), -1); // all cut away
    EXPECT_EQ(GlowListLength(), 0);
    EXPECT_EQ(THandleCount::Now(), before);

    std::vector<HWND> windows;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(Show(control), i);
        windows.push_back(GlowWindow(i));
    }
    for (int id : {3, 3, -1, 5}) {
        HideGlow(id);
        EXPECT_EQ(GlowListLength(), 5);
    }
    EXPECT_FALSE(IsWindow(windows[3]));
    EXPECT_EQ(Show(control), 5);
    ClearGlows();
    for (HWND g : windows)
        EXPECT_FALSE(IsWindow(g));
    EXPECT_EQ(Show(control), 0);
}

TEST_F(Glow, AControlTheMouseEntersGlowsUntilItLeaves)
{
    auto* probe = new TProbeControl(form);
    probe->SetParent(form);
    probe->SetBounds(50, 60, 60, 24);
    TLayeredRecorder rec;
    probe->Perform(CM_MOUSEENTER);
    if (!manager->AllowGlowing()) {
        EXPECT_EQ(probe->Link.GlowID, -1);
        return;
    }
    ASSERT_EQ(probe->Link.GlowID, 0);
    const HWND g = GlowWindow(0);
    EXPECT_EQ(WindowRect(g), (TRect{148, 158, 148 + W, 158 + H}));
    EXPECT_EQ(rec.CallsFor(g).at(0).Alpha, 255);
    probe->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(GlowListLength(), 0);
    EXPECT_FALSE(IsWindow(g));
}

TEST_F(Glow, AThousandGlowsShownAndHiddenLeaveNoHandleBehind)
{
    int id = Show(control);
    HideGlow(id);
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i) {
        id = Show(control);
        ASSERT_GE(id, 0);
        HideGlow(id);
    }
    EXPECT_EQ(THandleCount::Now(), before);
}
