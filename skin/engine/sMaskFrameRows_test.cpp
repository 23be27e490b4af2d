// The skin frame of skinned buttons on rows in memory: the probe skins' border images painted
// as the generator paints them (a pixel reads RGB(image id, 16 x state + piece, 200), corners
// a staircase of 0xFF00FF), the runs cut from the window region, the frame's own border shrinking,
// masks, stretching, clipping and rejected images.
#include "skin/engine/sMaskFrameRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <ostream>
#include <stdexcept>
#include <tuple>

#include "skin/engine/tests/TestRows.h"
#include "skin/engine/tools/TestSkinLayout.h"

static std::ostream& operator<<(std::ostream& o, const TRect& r)
{
    return o << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}

namespace {
using testskins::TestColor;
using testskins::TTestImage;

constexpr uint32_t Back = 0x123456;

const TTestImage& Probe(const char* section)
{
    static std::vector<TTestImage> images = testskins::ProbeRecords(*testskins::FindProbeSkin("Probe"));
    for (const TTestImage& im : images)
        if (testskins::SameName(im.Section, section) && testskins::SameName(im.Key, "BORDERSMASK")) return im;
    throw std::invalid_argument(section);
}

// A probe border image in a picture of its own, 24 bits, bottom-up like a bitmap's rows.
class Coded {
public:
    explicit Coded(const TTestImage& im) : id(im.Id), rows(im.R.Right - im.R.Left + 3, im.R.Bottom - im.R.Top + 2, 3)
    {
        // One spare column on the left, two on the right, two rows below: outside the image.
        for (int y = 0; y < im.R.Bottom - im.R.Top; ++y)
            for (int x = 0; x < im.R.Right - im.R.Left; ++x) {
                const uint32_t c = testskins::CodedColor(im, x, y); // 0x00BBGGRR
                rows.SetPixel(x + 1, y, (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16);
            }
        image.Picture = rows.Lines();
        image.R = TRect{1, 0, im.R.Right - im.R.Left + 1, im.R.Bottom - im.R.Top};
        image.ImageCount = im.States;
        image.MaskType = im.MaskType;
        image.W = TsBorderWidths{im.WL, im.WT, im.WR, im.WB};
    }
    int id;
    TTestRows rows;
    TsFrameImage image;
};

// Rows filled with one colour; Px reads a pixel as a TColor (0x00BBGGRR).
struct Target {
    Target(int w, int h, uint32_t colour = Back, int bpp = 3) : rows(w, h, bpp)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                rows.SetPixel(x, y, (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF));
    }
    uint32_t Px(int x, int y)
    {
        const uint32_t v = rows.Pixel(x, y) & 0xFFFFFF;
        return (v & 0xFF) << 16 | (v & 0xFF00) | v >> 16;
    }
    TTestRows rows;
};

std::vector<TRect> Sorted(std::vector<TRect> v)
{
    std::sort(v.begin(), v.end(),
              [](const TRect& a, const TRect& b) { return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left; });
    return v;
}
} // namespace

TEST(MaskFrameRows, BordersShrinkByHalfTheExcessTheRightOneAPixelMoreForOddSizes)
{
    const struct {
        TsBorderWidths w;
        int width, height;
        TsBorderWidths expected;
    } cases[] = {
        {{4, 4, 4, 4}, 5, 4, {3, 2, 2, 2}},         // d 3 and 4: the engine's rule gives 2, 1 and 2, 2
        {{10, 10, 10, 10}, 15, 15, {8, 8, 7, 7}},   // d 5: each loses 2, the right and bottom one more
        {{10, 10, 10, 10}, 16, 20, {8, 10, 8, 10}}, // even: both lose half
        {{3, 4, 5, 6}, 8, 10, {3, 4, 5, 6}},        // they fit
        {{10, 0, 0, 10}, 5, 5, {5, 0, 0, 5}},       // kept within the size
        {{4, 4, 3, 3}, 4, 4, {3, 3, 1, 1}},         // 3 and 2 would overlap by one
        {{4, 4, 4, 4}, 0, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const TsBorderWidths r = ShrinkFrameBorders(c.w, c.width, c.height);
        EXPECT_EQ(r, c.expected) << c.width << " x " << c.height << ": " << r.L << " " << r.T << " " << r.R << " "
                                 << r.B;
    }
}

TEST(MaskFrameRows, CornersAreCutAsTwelveStaircaseRunsAndSidesTiledFromTheFrame)
{
    Coded panel(Probe("PANEL")); // 3 states of 20 x 16, widths 4
    Target t(60, 24);
    std::vector<TRect> runs;
    EXPECT_TRUE(PaintFrameRows(t.rows.Lines(), panel.image, 1, true, &runs).empty());
    const std::vector<TRect> expected = {
        {0, 0, 3, 1},   {57, 0, 60, 1},   {0, 1, 2, 2},   {58, 1, 60, 2},   {0, 2, 1, 3},   {59, 2, 60, 3},
        {0, 21, 1, 22}, {59, 21, 60, 22}, {0, 22, 2, 23}, {58, 22, 60, 23}, {0, 23, 3, 24}, {57, 23, 60, 24},
    };
    EXPECT_EQ(Sorted(runs), expected);
    const struct {
        int x, y;
        uint32_t colour;
    } samples[] = {
        {0, 0, Back}, // a transparent corner pixel is not painted
        {3, 0, TestColor(panel.id, 1, 0)},
        {1, 10, TestColor(panel.id, 1, 3)},
        {30, 1, TestColor(panel.id, 1, 1)},
        {59, 12, TestColor(panel.id, 1, 5)},
        {30, 22, TestColor(panel.id, 1, 7)},
        {56, 23, TestColor(panel.id, 1, 8)},
        {30, 12, Back}, // no middle without flag 4
    };
    for (const auto& s : samples)
        EXPECT_EQ(t.Px(s.x, s.y), s.colour) << s.x << "," << s.y;
    // States past the last frame paint the last one, negative ones the first.
    PaintFrameRows(t.rows.Lines(), panel.image, 5, true, nullptr);
    EXPECT_EQ(t.Px(3, 0), TestColor(panel.id, 2, 0));
    PaintFrameRows(t.rows.Lines(), panel.image, -1, true, nullptr);
    EXPECT_EQ(t.Px(3, 0), TestColor(panel.id, 0, 0));
    // The middle, with flag 4 and when asked.
    panel.image.Flags = 4;
    PaintFrameRows(t.rows.Lines(), panel.image, 0, false, nullptr);
    EXPECT_EQ(t.Px(30, 12), Back);
    PaintFrameRows(t.rows.Lines(), panel.image, 0, true, nullptr);
    EXPECT_EQ(t.Px(30, 12), TestColor(panel.id, 0, 4));
}

TEST(MaskFrameRows, StretchedSidesAndMiddleAreLeftToTheCaller)
{
    Coded panel(Probe("PANEL"));
    panel.image.Flags = 1 | 4;
    Target t(60, 24);
    const std::vector<TsPiece> pieces = PaintFrameRows(t.rows.Lines(), panel.image, 0, true, nullptr);
    // Left, top, right, bottom, middle: the frame's middle part (picture columns 5..16, rows
    // 4..11) over the whole band.
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0].Src, (TRect{1, 4, 5, 12}));
    EXPECT_EQ(pieces[0].Dst, (TRect{0, 4, 4, 20}));
    EXPECT_EQ(pieces[1].Src, (TRect{5, 0, 17, 4}));
    EXPECT_EQ(pieces[1].Dst, (TRect{4, 0, 56, 4}));
    EXPECT_EQ(pieces[4].Dst, (TRect{4, 4, 56, 20}));
    EXPECT_EQ(t.Px(30, 1), Back);
    EXPECT_EQ(t.Px(3, 0), TestColor(panel.id, 0, 0));
    // Masked images are not stretched: their sides are repeated.
    Coded button(Probe("BUTTON"));
    button.image.Flags = 1;
    EXPECT_TRUE(PaintFrameRows(t.rows.Lines(), button.image, 0, true, nullptr).empty());
    EXPECT_EQ(t.Px(30, 1), TestColor(button.id, 0, 1));
}

TEST(MaskFrameRows, PartsAreCutToTheImageAndToTheRowsRightEdgeIncluded)
{
    Coded panel(Probe("PANEL"));
    Target t(10, 6);
    std::vector<TRect> runs;
    // Frame 0's top-left 6 x 4 at (7, 1): three columns and the rows fit.
    CopyMaskRows(t.rows.Lines(), TRect{7, 1, 13, 5}, panel.image, TRect{1, 0, 7, 4}, true, &runs);
    EXPECT_EQ(t.Px(9, 2), TestColor(panel.id, 0, 0));
    EXPECT_EQ(t.Px(7, 1), Back); // transparent
    EXPECT_EQ(Sorted(runs), (std::vector<TRect>{{7, 1, 10, 2}, {7, 2, 9, 3}, {7, 3, 8, 4}}));
    // A source starting left of the image: the destination moves along.
    Target u(10, 6);
    CopyMaskRows(u.rows.Lines(), TRect{0, 0, 10, 6}, panel.image, TRect{-1, 4, 9, 10}, false, nullptr);
    EXPECT_EQ(u.Px(0, 0), Back);
    EXPECT_EQ(u.Px(2, 0), TestColor(panel.id, 0, 3));
    // Negative destinations, and rectangles ending before 0, copy nothing.
    Target v(10, 6);
    CopyMaskRows(v.rows.Lines(), TRect{-1, 0, 5, 5}, panel.image, TRect{1, 4, 7, 10}, false, nullptr);
    CopyMaskRows(v.rows.Lines(), TRect{0, 0, 5, 0}, panel.image, TRect{1, 4, 7, 10}, false, nullptr);
    CopyMaskRows(v.rows.Lines(), TRect{INT_MAX, 0, INT_MAX, 5}, panel.image, TRect{INT_MIN, 4, INT_MAX, 10}, false,
                 nullptr);
    EXPECT_EQ(v.Px(0, 0), Back);
    EXPECT_EQ(v.Px(2, 2), Back);
}

TEST(MaskFrameRows, RejectedImagesAndRowsLeaveEverythingUnchanged)
{
    const Coded panel(Probe("PANEL"));
    const struct {
        const char* what;
        void (*spoil)(TsFrameImage&);
    } cases[] = {
        {"no picture", [](TsFrameImage& i) { i.Picture = TvxScanLines{}; }},
        {"state count 0", [](TsFrameImage& i) { i.ImageCount = 0; }},
        {"state count -1", [](TsFrameImage& i) { i.ImageCount = -1; }},
        {"more states than columns", [](TsFrameImage& i) { i.ImageCount = 100; }},
        {"mask type 2", [](TsFrameImage& i) { i.MaskType = 2; }},
        {"mask type -1", [](TsFrameImage& i) { i.MaskType = -1; }},
        {"negative width", [](TsFrameImage& i) { i.W.T = -1; }},
        {"widths wider than a frame", [](TsFrameImage& i) { i.W.L = 17; }},
        {"widths higher than a frame", [](TsFrameImage& i) { i.W.B = 13; }},
        {"widths beyond any size", [](TsFrameImage& i) { i.W.L = i.W.R = INT_MAX; }},
        {"rectangle outside the picture", [](TsFrameImage& i) { i.R.Right += 3; }},
        {"rectangle above the picture", [](TsFrameImage& i) { i.R.Top = -1; }},
    };
    for (const auto& c : cases) {
        TsFrameImage image = panel.image;
        c.spoil(image);
        Target t(30, 20);
        const std::vector<uint8_t> before = t.rows.Bytes();
        std::vector<TRect> runs;
        PaintFrameRows(t.rows.Lines(), image, 0, true, &runs);
        CopyMaskRows(t.rows.Lines(), TRect{0, 0, 30, 20}, image, TRect{1, 0, 21, 16}, true, &runs);
        EXPECT_EQ(t.rows.Bytes(), before) << c.what;
        EXPECT_TRUE(runs.empty()) << c.what;
    }
    for (const auto& [w, h, bpp] : {std::tuple{1, 20, 3}, std::tuple{20, 1, 3}, std::tuple{20, 20, 1}}) {
        TTestRows rows(w, h, bpp, true, 7);
        const std::vector<uint8_t> before = rows.Bytes();
        std::vector<TRect> runs;
        PaintFrameRows(rows.Lines(), panel.image, 0, true, &runs);
        CopyMaskRows(rows.Lines(), TRect{0, 0, w, h}, panel.image, TRect{1, 0, 21, 16}, true, &runs);
        EXPECT_EQ(rows.Bytes(), before) << w << " x " << h << " x " << bpp;
        EXPECT_TRUE(runs.empty());
    }
}
