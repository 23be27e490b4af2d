// Skin images drawn with the colour-coded Masks test skin (a pixel reads RGB(image id, 16 x
// state + piece, 200), so a sample tells which piece of which frame landed where), and with
// pictures made here whose pixels carry their own coordinates (so tiling shows its steps).
#include "skin/engine/sMaskPaint.h"

#include <gtest/gtest.h>

#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/PaintBitmaps.h"
#include "skin/engine/tests/TestSkins.h"

using namespace painttest;
using namespace skintest;
using testskins::TestColor;

namespace {

COLORREF Piece(int id, int state, int piece) { return TestColor(id, state, piece); }

class MasksSkin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks"))); }
    int Mask(const char* section, const char* key)
    {
        const int i = m.GetMaskIndexByName(section, key);
        EXPECT_GE(i, 0) << section << " " << key;
        return i;
    }
    // An own picture whose pixel (x, y) of frame s reads RGB(x, y, 100 + s), with a mask band
    // of one colour below it for mask type 1.
    int AddCodedMask(int states, int fw, int fh, int maskType, TsBorderWidths w, uint16_t flags,
                     COLORREF maskColour = 0)
    {
        auto bmp = std::make_shared<TBitmap>(states * fw, fh * (maskType + 1));
        for (int s = 0; s < states; ++s)
            for (int y = 0; y < fh; ++y)
                for (int x = 0; x < fw; ++x)
                    bmp->Canvas().SetPixel(s * fw + x, y, static_cast<TColor>(RGB(x, y, 100 + s)));
        if (maskType > 0) FillDC(bmp->Canvas().Handle(), TRect{0, fh, states * fw, 2 * fh}, maskColour);
        TsMaskData d;
        d.Bmp = bmp;
        d.SectionName = "TEST";
        d.PropertyName = "CODED";
        d.R = TRect{0, 0, states * fw, fh * (maskType + 1)};
        d.ImageCount = static_cast<uint16_t>(states);
        d.MaskType = static_cast<uint16_t>(maskType);
        d.WL = static_cast<uint16_t>(w.L), d.WT = static_cast<uint16_t>(w.T);
        d.WR = static_cast<uint16_t>(w.R), d.WB = static_cast<uint16_t>(w.B);
        d.StretchMode = flags;
        d.Manager = &m;
        m.MaskData.push_back(d);
        return static_cast<int>(m.MaskData.size()) - 1;
    }
    TsSkinManager m{nullptr};
};
} // namespace

TEST_F(MasksSkin, BorderCornersLeaveTheirTransparentPixelsOut)
{
    const int gauge = Mask("GAUGE", "BordersMask"); // 36 x 24, widths 12, 8, 12, 8, tiled, no middle
    auto b = Filled(60, 40);
    DrawBorderMask(b.get(), TRect{0, 0, 60, 40}, 0, &m, gauge);
    const struct {
        int x, y;
        COLORREF expected;
    } samples[] = {
        {0, 0, Back},
        {1, 0, Piece(18, 0, 0)},
        {59, 0, Back},
        {58, 0, Piece(18, 0, 2)},
        {0, 39, Back},
        {1, 39, Piece(18, 0, 6)},
        {59, 39, Back},
        {58, 39, Piece(18, 0, 8)},
        {11, 7, Piece(18, 0, 0)},
        {5, 20, Piece(18, 0, 3)},
        {30, 3, Piece(18, 0, 1)},
        {55, 20, Piece(18, 0, 5)},
        {30, 35, Piece(18, 0, 7)},
        {30, 20, Back}, // no middle without its flag
    };
    for (const auto& s : samples)
        EXPECT_EQ(Px(*b, s.x, s.y), s.expected) << s.x << "," << s.y;
}

TEST_F(MasksSkin, BorderSidesAreTiledFromTheInnerEdgeInStepsOfTheMiddle)
{
    // Frame 12 x 10, widths 3, 2, 4, 3: middle part 5 x 5; middle painted (flag 4).
    const int coded = AddCodedMask(1, 12, 10, 0, {3, 2, 4, 3}, bmPaintMiddle);
    auto b = Filled(30, 20);
    DrawBorderMask(b.get(), TRect{0, 0, 30, 20}, 0, &m, coded, true);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const int sx = x < 3 ? x : x >= 26 ? x - 18 : 3 + (x - 3) % 5;
            const int sy = y < 2 ? y : y >= 17 ? y - 10 : 2 + (y - 2) % 5;
            ASSERT_EQ(Px(*b, x, y), RGB(sx, sy, 100)) << x << "," << y;
        }
}

TEST_F(MasksSkin, StretchFlagStretchesEachSideOnce)
{
    const int coded = AddCodedMask(1, 12, 10, 0, {3, 2, 4, 3}, bmStretch);
    auto b = Filled(60, 20);
    DrawBorderMask(b.get(), TRect{0, 0, 60, 20}, 0, &m, coded, true);
    EXPECT_EQ(Px(*b, 0, 0), RGB(0, 0, 100)); // corners as they are
    EXPECT_EQ(Px(*b, 59, 19), RGB(11, 9, 100));
    // Along the top band the source column only grows (tiling would start again at 3).
    int last = 0;
    for (int x = 3; x < 56; ++x) {
        const int red = GetRValue(Px(*b, x, 0));
        EXPECT_GE(red, last) << x;
        EXPECT_GE(red, 3);
        EXPECT_LE(red, 7);
        last = red;
    }
    EXPECT_LE(GetRValue(Px(*b, 3, 0)), 4);
    EXPECT_GE(GetRValue(Px(*b, 55, 0)), 6);
    EXPECT_EQ(Px(*b, 30, 10), Back); // no middle without flag 4
}

TEST_F(MasksSkin, StateIsClampedAndStateZeroSkippedWithFlagTwo)
{
    const int tab = Mask("TABTOP", "BORDERSMASK"); // 2 states of 30 x 40, widths 5
    for (int state : {1, 9}) {
        auto b = Filled(40, 50);
        DrawBorderMask(b.get(), TRect{0, 0, 40, 50}, state, &m, tab);
        EXPECT_EQ(Px(*b, 20, 2), Piece(4, 1, 1)) << state;
    }
    m.MaskData[static_cast<size_t>(tab)].StretchMode = bmSkipNormal;
    auto b = Filled(40, 50);
    DrawBorderMask(b.get(), TRect{0, 0, 40, 50}, 0, &m, tab);
    EXPECT_EQ(Px(*b, 20, 2), Back);
    EXPECT_EQ(Px(*b, 2, 25), Back);
    DrawBorderMask(b.get(), TRect{0, 0, 40, 50}, 1, &m, tab);
    EXPECT_EQ(Px(*b, 2, 25), Piece(4, 1, 3));
}

TEST_F(MasksSkin, MiddleOnlyWithFillMiddleAndFlagFour)
{
    const int tab = Mask("TABTOP", "BORDERSMASK");
    auto b = Filled(40, 50);
    DrawBorderMask(b.get(), TRect{0, 0, 40, 50}, 0, &m, tab, true);
    EXPECT_EQ(Px(*b, 20, 25), Back); // flags 0
    m.MaskData[static_cast<size_t>(tab)].StretchMode = bmPaintMiddle;
    DrawBorderMask(b.get(), TRect{0, 0, 40, 50}, 0, &m, tab, false);
    EXPECT_EQ(Px(*b, 20, 25), Back);
    DrawBorderMask(b.get(), TRect{0, 0, 40, 50}, 0, &m, tab, true);
    EXPECT_EQ(Px(*b, 20, 25), Piece(4, 0, 4));
}

TEST_F(MasksSkin, BordersShrinkToSevenAndSixInFifteenPixels)
{
    const int huge = Mask("BUTTON_HUGE", "BORDERSMASK"); // own 90 x 60, 3 states, mask type 1, widths 10
    auto b = Filled(15, 40);
    DrawBorderMask(b.get(), TRect{0, 0, 15, 40}, 0, &m, huge);
    // Left 7 and right 6: the top side starts at column 7 of the frame (still the record's left
    // piece) and the right corner at column 24; with 8 and 7, column 8 would be the corner's.
    for (int x = 0; x < 15; ++x)
        EXPECT_EQ(Px(*b, x, 5), Piece(30, 0, x < 9 ? 0 : 2)) << x;
    EXPECT_EQ(Px(*b, 0, 0), Back); // the frame's corner pixels stay out
    EXPECT_EQ(Px(*b, 14, 0), Back);
    EXPECT_EQ(Px(*b, 13, 0), Piece(30, 0, 2));
    EXPECT_EQ(Px(*b, 6, 15), Piece(30, 0, 3));
    EXPECT_EQ(Px(*b, 8, 15), Piece(30, 0, 3)); // "!" images draw their middle (flag 4): frame column 8
    EXPECT_EQ(Px(*b, 9, 15), Piece(30, 0, 5));
}

TEST_F(MasksSkin, NothingInRectanglesBelowTwoPixelsOrWithoutAManager)
{
    const int tab = Mask("TABTOP", "BORDERSMASK");
    auto b = Filled(10, 10);
    DrawBorderMask(b.get(), TRect{0, 0, 1, 10}, 0, &m, tab);
    DrawBorderMask(b.get(), TRect{0, 0, 10, 1}, 0, &m, tab);
    DrawBorderMask(b.get(), TRect{0, 0, 10, 10}, 0, nullptr, tab);
    DrawBorderMask(b.get(), TRect{0, 0, 10, 10}, 0, &m, 999);
    DrawMaskGlyph(b.get(), TPoint{}, 0, &m, -1);
    m.MaskData[static_cast<size_t>(tab)].Manager = nullptr;
    DrawBorderMask(b.get(), TRect{0, 0, 10, 10}, 0, &m, tab);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(Px(*b, x, y), Back);
}

TEST_F(MasksSkin, MaskedBordersGoThroughTheMaskBand)
{
    const int combo = Mask("COMBOBOX", "BORDERSMASK"); // mask type 1, widths 3, 4, 5, 6, frames 20 x 20
    auto b = Filled(40, 30);
    DrawBorderMask(b.get(), TRect{0, 0, 40, 30}, 2, &m, combo);
    const struct {
        int x, y;
        COLORREF expected;
    } samples[] = {
        {0, 0, Back},
        {1, 0, Piece(3, 2, 0)},
        {20, 1, Piece(3, 2, 1)},
        {1, 15, Piece(3, 2, 3)},
        {38, 15, Piece(3, 2, 5)},
        {20, 27, Piece(3, 2, 7)},
        {39, 29, Back},
        {20, 15, Back},
    };
    for (const auto& s : samples)
        EXPECT_EQ(Px(*b, s.x, s.y), s.expected) << s.x << "," << s.y;
}

TEST_F(MasksSkin, MaskedCopyWhiteKeepsTheDestinationBlackShowsThePicture)
{
    const int white = AddCodedMask(1, 12, 10, 1, {3, 3, 3, 3}, bmPaintMiddle, RGB(255, 255, 255));
    const int black = AddCodedMask(1, 12, 10, 1, {3, 3, 3, 3}, bmPaintMiddle, RGB(0, 0, 0));
    auto b = Filled(12, 10, 0);
    DrawBorderMask(b.get(), TRect{0, 0, 12, 10}, 0, &m, white);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(Px(*b, x, y), 0u) << x << "," << y;
    DrawBorderMask(b.get(), TRect{0, 0, 12, 10}, 0, &m, black);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(Px(*b, x, y), RGB(x, y, 100)) << x << "," << y;
}

TEST_F(MasksSkin, GlyphFramesAtAPointCutAtNegativeCoordinates)
{
    const int box = m.CommonIndexes.BoxChecked; // 3 frames of 16 x 13
    auto b = Filled(30, 20);
    DrawMaskGlyph(b.get(), TPoint{2, 3}, 1, &m, box);
    EXPECT_EQ(Px(*b, 2, 3), Back);
    EXPECT_EQ(Px(*b, 3, 3), Piece(1, 1, 4));
    EXPECT_EQ(Px(*b, 17, 15), Back);
    EXPECT_EQ(Px(*b, 16, 15), Piece(1, 1, 4));
    EXPECT_EQ(Px(*b, 18, 10), Back);
    DrawMaskGlyph(b.get(), TPoint{2, 3}, 7, &m, box);
    EXPECT_EQ(Px(*b, 3, 3), Piece(1, 2, 4));

    auto c = Filled(30, 20);
    DrawMaskGlyph(c.get(), TPoint{-4, -2}, 0, &m, box);
    EXPECT_EQ(Px(*c, 0, 0), Piece(1, 0, 4));
    EXPECT_EQ(Px(*c, 11, 10), Back); // the frame's bottom-right pixel
    EXPECT_EQ(Px(*c, 12, 0), Back);

    auto d = Filled(30, 20, 0);
    DrawMaskGlyph(d.get(), TPoint{0, 0}, 1, &m, box, 0); // blended half over black
    EXPECT_EQ(Px(*d, 1, 1), RGB(1, 10, 100));
    EXPECT_EQ(Px(*d, 0, 0), 0u);
}

TEST_F(MasksSkin, OwnPicturesOfEightBitsAreDrawnThroughTheMaskedCopy)
{
    const int tool = Mask("TOOLBUTTON", "GLYPHMASK"); // Tool.bmp, 8 bits, 2 frames of 16 x 16
    auto b = Filled(20, 20);
    DrawMaskGlyph(b.get(), TPoint{}, 1, &m, tool);
    EXPECT_EQ(Px(*b, 0, 0), Back);
    EXPECT_EQ(Px(*b, 8, 8), Piece(34, 1, 4));
    EXPECT_EQ(Px(*b, 2, 8), Piece(34, 1, 3));
}

TEST_F(MasksSkin, CollectTransparentRectsFindsTheCornerRuns)
{
    const int gauge = Mask("GAUGE", "BordersMask");
    std::vector<TRect> rects{TRect{1, 2, 3, 4}};
    CollectTransparentRects(&m, gauge, 0, TRect{10, 20, 70, 60}, rects);
    const std::vector<TRect> expected = {
        {1, 2, 3, 4}, {10, 20, 11, 21}, {69, 20, 70, 21}, {10, 59, 11, 60}, {69, 59, 70, 60}};
    EXPECT_EQ(rects, expected);
}

TEST_F(MasksSkin, FillCornerFromBackgroundCopiesOneCorner)
{
    const int gauge = Mask("GAUGE", "BordersMask"); // widths 12, 8, 12, 8
    auto bg = CreateBmp32(60, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x)
            bg->Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x, y, 7)));
    auto b = Filled(40, 30, RGB(255, 255, 255));
    FillCornerFromBackground(b.get(), bg.get(), TPoint{5, 6}, cnTopRight, &m, gauge);
    EXPECT_EQ(Px(*b, 28, 0), RGB(33, 6, 7));
    EXPECT_EQ(Px(*b, 39, 7), RGB(44, 13, 7));
    EXPECT_EQ(Px(*b, 27, 2), RGB(255, 255, 255));
    EXPECT_EQ(Px(*b, 30, 8), RGB(255, 255, 255));
    FillCornerFromBackground(b.get(), bg.get(), TPoint{}, cnBottomLeft, &m, gauge);
    EXPECT_EQ(Px(*b, 11, 22), RGB(11, 22, 7));
    EXPECT_EQ(Px(*b, 12, 22), RGB(255, 255, 255));
}

TEST(MaskPaint, CopyImageWithBordersKeepsTheSmallerBorders)
{
    auto src = CreateBmp24(9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            src->Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x, y, 0)));
    auto b = Filled(12, 12);
    CopyImageWithBorders(b.get(), TRect{0, 0, 12, 12}, src.get(), TRect{0, 0, 9, 9}, {3, 3, 3, 3}, {2, 4, 2, 4}, false);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const int sx = x < 2 ? x : x >= 10 ? x - 3 : 2 + (x - 2) % 5;
            const int sy = y < 3 ? y : y >= 9 ? y - 3 : 3 + (y - 3) % 3;
            ASSERT_EQ(Px(*b, x, y), RGB(sx, sy, 0)) << x << "," << y;
        }
    CopyImageWithBorders(b.get(), TRect{0, 0, 12, 12}, src.get(), TRect{0, 0, 9, 9}, {3, 3, 3, 3}, {2, 4, 2, 4}, true);
    EXPECT_EQ(Px(*b, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(Px(*b, 11, 11), RGB(8, 8, 0));
}

TEST(MaskPaint, GlyphStripFramesWithTransparencyGreyAndBlend)
{
    auto strip = CreateBmp24(8, 3);
    FillDC(strip->Canvas().Handle(), TRect{0, 0, 8, 3}, static_cast<TColor>(RGB(50, 100, 150)));
    strip->Canvas().SetPixel(0, 2, static_cast<TColor>(RGB(0, 255, 0))); // the transparent colour
    strip->Canvas().SetPixel(5, 1, static_cast<TColor>(RGB(0, 255, 0)));
    const struct {
        bool grey;
        int blend;
        COLORREF expected;
    } cases[] = {{false, 0, RGB(50, 100, 150)}, {true, 0, RGB(100, 100, 100)}, {false, 50, RGB(153, 178, 203)}};
    for (const auto& c : cases) {
        auto b = Filled(10, 10, RGB(255, 255, 255));
        DrawGlyphBitmap(strip.get(), b.get(), TRect{1, 1, 10, 10}, 3, 2, c.blend, c.grey);
        EXPECT_EQ(Px(*b, 1, 1), c.expected) << c.grey << " " << c.blend;
        EXPECT_EQ(Px(*b, 2, 2), RGB(255, 255, 255));
        EXPECT_EQ(Px(*b, 5, 1), RGB(255, 255, 255)); // one frame wide
    }
}

TEST(MaskPaint, CopyAlphaOverCacheTakesCacheThenFillThenDestination)
{
    auto src = CreateBmp32(2, 1);
    for (int x = 0; x < 2; ++x) {
        auto* p = static_cast<uint8_t*>(src->ScanLine(0)) + 4 * x;
        p[0] = p[1] = p[2] = 0;
        p[3] = 128;
    }
    auto cache = Filled(10, 10, RGB(200, 0, 0));
    auto b = Filled(2, 1, RGB(0, 100, 0));
    CopyAlphaOverCache(b.get(), TRect{0, 0, 2, 1}, src.get(), MakeCacheInfo(cache.get(), 3, 3));
    EXPECT_EQ(Px(*b, 0, 0), RGB(100, 0, 0));
    TsCacheInfo fill;
    fill.FillColor = static_cast<TColor>(RGB(0, 0, 50));
    CopyAlphaOverCache(b.get(), TRect{0, 0, 2, 1}, src.get(), fill);
    EXPECT_EQ(Px(*b, 1, 0), RGB(0, 0, 25));
    FillDC(b->Canvas().Handle(), TRect{0, 0, 2, 1}, static_cast<TColor>(RGB(100, 0, 0)));
    CopyAlphaOverCache(b.get(), TRect{0, 0, 2, 1}, src.get(), TsCacheInfo{});
    EXPECT_EQ(Px(*b, 0, 0), RGB(50, 0, 0));
}
