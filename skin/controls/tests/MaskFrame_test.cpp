// The skin frame of the skinned buttons on bitmaps and regions, with the probe skin's border
// images (a pixel reads RGB(image id, 16 x state + piece, 200); every corner holds a 0xFF00FF
// staircase of 3, 2 and 1 pixels): the window region it cuts, the border shrinking, states,
// masks, stretching, clipping, and the input that leaves bitmap and region alone.
#include "skin/controls/sMaskFrame.h"

#include <gtest/gtest.h>

#include <vector>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/PaintBitmaps.h"
#include "skin/engine/tests/TestSkins.h"
#include "tests/support/WindowProbes.h"

using namespace painttest;
using namespace skintest;

namespace {

// The bytes of a bitmap's rows.
std::vector<uint8_t> Bytes(TBitmap* b)
{
    GdiFlush();
    const TvxScanLines l = ScanLinesOf(b);
    std::vector<uint8_t> v;
    for (int y = 0; y < l.Height; ++y)
        v.insert(v.end(), l.Row(y), l.Row(y) + l.Width * l.BytesPerPixel);
    return v;
}

class ProbeFrame : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Probe"))); }
    int Border(const char* section)
    {
        const int i = m.GetMaskIndexByName(section, "BORDERSMASK");
        EXPECT_GE(i, 0) << section;
        return i;
    }
    TsMaskData Record(const char* section) { return m.MaskData[static_cast<size_t>(Border(section))]; }
    TsSkinManager m{nullptr};
    const TTestImage panel = ProbeImage("Probe", "PANEL", "BORDERSMASK");
};
} // namespace

TEST_F(ProbeFrame, RegionIsTheRectangleMinusTheTwelveStaircaseRunsAlsoWhenCutTwice)
{
    auto b = Filled(60, 24);
    TRegionHandle rgn(CreateRectRgn(0, 0, 60, 24));
    PaintMaskFrame(b.get(), rgn.get(), true, 0, &m, Border("PANEL"));
    const TRegionHandle expected = testrig::RectMinus(RECT{0, 0, 60, 24}, ProbeStaircase(60, 24));
    EXPECT_TRUE(testrig::SameRegion(rgn.get(), expected.get()));
    PaintMaskFrame(b.get(), rgn.get(), true, 0, &m, Border("PANEL"));
    EXPECT_TRUE(testrig::SameRegion(rgn.get(), expected.get()));
    EXPECT_EQ(Px(*b, 0, 0), Back);
    EXPECT_EQ(Px(*b, 3, 0), ProbePiece(panel, 0, 0));
    EXPECT_EQ(Px(*b, 30, 1), ProbePiece(panel, 0, 1));
    EXPECT_EQ(Px(*b, 30, 12), Back); // no middle: the section's flags do not ask for it

    // On a window that paints nothing itself: its region reads back as cut, its pixels as
    // painted, on the window and on the screen.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MaskFrameProbe";
    RegisterClassA(&wc); // a second registration fails harmlessly
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MaskFrameProbe", "", WS_POPUP, 200, 150, 60, 24,
                               nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(wnd);
    SetWindowRgn(wnd, rgn.release(), FALSE);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd);
    {
        const TWindowDC dc(wnd, true);
        BitBlt(dc.get(), 0, 0, 60, 24, b->Canvas().Handle(), 0, 0, SRCCOPY);
    }
    const COLORREF side = ProbePiece(panel, 0, 1);
    EXPECT_TRUE(testrig::WindowRegionIs(wnd, expected));
    EXPECT_EQ(testrig::WindowRegionRects(wnd).size(), 7u); // three rows at each end, one band between
    EXPECT_EQ(testrig::WindowPixel(wnd, 30, 1), side);
    EXPECT_TRUE(testrig::PumpUntil([&] { return testrig::ScreenPixel(230, 151) == side; }));
    EXPECT_EQ(testrig::HitCodeAt(wnd, POINT{230, 160}), HTCLIENT);
    DestroyWindow(wnd);
}

TEST_F(ProbeFrame, FiveByFourKeepsThreeColumnsLeftAndTwoRight)
{
    auto b = Filled(5, 4);
    TRegionHandle rgn(CreateRectRgn(0, 0, 5, 4));
    PaintMaskFrame(b.get(), rgn.get(), true, 0, &m, Border("PANEL"));
    // Left 3, right 2, top and bottom 2: only (2, 1) and (2, 2) are opaque.
    const TRegionHandle expected = testrig::RegionOf({RECT{2, 1, 3, 3}});
    EXPECT_TRUE(testrig::SameRegion(rgn.get(), expected.get()));
    EXPECT_EQ(Px(*b, 2, 1), ProbePiece(panel, 0, 0));
    EXPECT_EQ(Px(*b, 2, 2), ProbePiece(panel, 0, 6));
}

TEST_F(ProbeFrame, MaskKindOneShowsThePictureThroughBlackAndKeepsTheBitmapUnderWhite)
{
    const TTestImage button = ProbeImage("Probe", "BUTTON", "BORDERSMASK");
    auto b = Filled(60, 24);
    TRegionHandle rgn(CreateRectRgn(0, 0, 60, 24));
    PaintMaskFrame(b.get(), rgn.get(), true, 1, &m, Border("BUTTON"));
    EXPECT_EQ(Px(*b, 30, 1), ProbePiece(button, 1, 1));
    EXPECT_EQ(Px(*b, 0, 23), Back);
    const TRegionHandle expected = testrig::RectMinus(RECT{0, 0, 60, 24}, ProbeStaircase(60, 24));
    EXPECT_TRUE(testrig::SameRegion(rgn.get(), expected.get()));
    // White mask over black: black stays (the blend keeps a destination of 0 exactly).
    auto black = Filled(60, 24, 0);
    const std::vector<uint8_t> before = Bytes(black.get());
    PaintMaskFrame(black.get(), nullptr, true, 0, &m, Border("PROBEMASK"));
    EXPECT_EQ(Bytes(black.get()), before);
}

TEST_F(ProbeFrame, StretchedSidesTakeTheFramesMiddlePart)
{
    TsMaskData panelRecord = Record("PANEL");
    panelRecord.StretchMode = 1;
    auto b = Filled(90, 30);
    PaintMaskFrame(b.get(), nullptr, true, 1, panelRecord);
    EXPECT_EQ(Px(*b, 45, 1), ProbePiece(panel, 1, 1));
    EXPECT_EQ(Px(*b, 88, 15), ProbePiece(panel, 1, 5));
    EXPECT_EQ(Px(*b, 45, 15), Back);
    // A state past the last frame paints the last one.
    PaintMaskFrame(b.get(), nullptr, true, 5, &m, Border("PANEL"));
    EXPECT_EQ(Px(*b, 45, 1), ProbePiece(panel, 2, 1));
}

TEST_F(ProbeFrame, CopyMaskPartCutsItsDestinationToTheBitmapRightEdgeIncluded)
{
    auto b = Filled(10, 6);
    TRegionHandle rgn(CreateRectRgn(0, 0, 10, 6));
    const TsMaskData panelRecord = Record("PANEL");
    const int left = panelRecord.R.Left, top = panelRecord.R.Top;
    // Frame 0's top-left 6 x 4 to (7, 1)..(12, 4): three columns land.
    CopyMaskPart(7, 1, 12, true, panelRecord, rgn.get(), b.get(), top + 3, left + 5, top, left, 4);
    EXPECT_EQ(Px(*b, 9, 2), ProbePiece(panel, 0, 0));
    const TRegionHandle expected =
        testrig::RectMinus(RECT{0, 0, 10, 6}, {RECT{7, 1, 10, 2}, RECT{7, 2, 9, 3}, RECT{7, 3, 8, 4}});
    EXPECT_TRUE(testrig::SameRegion(rgn.get(), expected.get()));
}

TEST_F(ProbeFrame, BadInputLeavesBitmapAndRegionUnchanged)
{
    const struct {
        const char* what;
        void (*spoil)(TsMaskData&);
    } records[] = {
        {"no manager", [](TsMaskData& d) { d.Manager = nullptr; }},
        {"state count 0", [](TsMaskData& d) { d.ImageCount = 0; }},
        {"state count -1", [](TsMaskData& d) { d.ImageCount = 0xFFFF; }},
        {"mask type 2", [](TsMaskData& d) { d.MaskType = 2; }},
        {"mask type -1", [](TsMaskData& d) { d.MaskType = 0xFFFF; }},
        {"negative border", [](TsMaskData& d) { d.WL = 0xFFFF; }},
        {"borders wider than the image", [](TsMaskData& d) { d.WR = 300; }},
        {"rectangle outside the master bitmap", [](TsMaskData& d) { d.R.Left += 2000, d.R.Right += 2000; }},
    };
    const TsMaskData good = Record("PANEL");
    const TRegionHandle whole(CreateRectRgn(0, 0, 30, 20));
    const auto unchanged = [&](const char* what, const std::function<void(TBitmap*, HRGN)>& paint, int w = 30,
                               int h = 20) {
        auto b = Filled(w, h);
        const std::vector<uint8_t> before = Bytes(b.get());
        TRegionHandle rgn(CreateRectRgn(0, 0, 30, 20));
        paint(b.get(), rgn.get());
        EXPECT_EQ(Bytes(b.get()), before) << what;
        EXPECT_TRUE(testrig::SameRegion(rgn.get(), whole.get())) << what;
    };
    for (const auto& r : records) {
        TsMaskData d = good;
        r.spoil(d);
        unchanged(r.what, [&](TBitmap* b, HRGN rgn) { PaintMaskFrame(b, rgn, true, 0, d); });
        unchanged(r.what, [&](TBitmap* b, HRGN rgn) {
            CopyMaskPart(0, 0, 19, true, d, rgn, b, d.R.Top + 15, d.R.Left + 19, d.R.Top, d.R.Left, 15);
        });
    }
    unchanged("missing section", [&](TBitmap* b, HRGN rgn) {
        PaintMaskFrame(b, rgn, true, 0, &m, m.GetMaskIndexByName("NOSUCH", "BORDERSMASK"));
    });
    unchanged("missing manager", [&](TBitmap* b, HRGN rgn) { PaintMaskFrame(b, rgn, true, 0, nullptr, 0); });
    unchanged("negative destination", [&](TBitmap* b, HRGN rgn) {
        CopyMaskPart(-1, 0, 5, true, good, rgn, b, good.R.Top + 5, good.R.Left + 5, good.R.Top, good.R.Left, 5);
    });
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{1, 20}, std::pair{30, 1}})
        unchanged(
            "tiny bitmap", [&](TBitmap* b, HRGN rgn) { PaintMaskFrame(b, rgn, true, 0, good); }, w, h);
}
