// The pixel effects on rows of 24- and 32-bit pixels, at the boundaries of their formulas;
// rows stored bottom-up like the class library's bitmaps, so the sanitizers see every read.
#include "skin/engine/sBitmapEffects.h"

#include <gtest/gtest.h>

#include <numeric>

#include "skin/engine/sAlphaBitmap.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/tests/TestRows.h"

namespace {
// A pixel as a colour (0x00BBGGRR), and back.
TColor At(TTestRows& rows, int x, int y)
{
    const uint8_t* p = rows.At(x, y);
    return RGBColor(p[2], p[1], p[0]);
}
void Put(TTestRows& rows, int x, int y, TColor c)
{
    uint8_t* p = rows.At(x, y);
    p[0] = static_cast<uint8_t>(BlueOf(c));
    p[1] = static_cast<uint8_t>(GreenOf(c));
    p[2] = static_cast<uint8_t>(RedOf(c));
}
void Fill(TTestRows& rows, int w, int h, TColor c)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Put(rows, x, y, c);
}
uint8_t Alpha(TTestRows& rows, int x, int y) { return rows.At(x, y)[3]; }
} // namespace

TEST(BitmapEffects, TintRectAtHundredAndZeroWithAnInclusiveRectangle)
{
    for (int bpp : {3, 4}) {
        TTestRows rows(4, 3, bpp, true, 0x11);
        Fill(rows, 4, 3, RGBColor(100, 150, 201));
        TintRect(rows.Lines(), TRect{-5, -5, 100, 100}, 100, 0x0000FF);
        EXPECT_EQ(At(rows, 3, 2), RGBColor(100, 150, 201));
        TintRect(rows.Lines(), TRect{1, 0, 2, 1}, 0, 0x0000FF);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool inside = x >= 1 && x <= 2 && y <= 1;
                EXPECT_EQ(At(rows, x, y), inside ? 0x0000FF : RGBColor(100, 150, 201)) << x << "," << y;
            }
        TintRect(rows.Lines(), TRect{0, 2, 0, 2}, 50, 0);
        EXPECT_EQ(At(rows, 0, 2), RGBColor(50, 75, 101)); // 100.5 rounded up
        if (bpp == 4) {
            EXPECT_EQ(Alpha(rows, 0, 2), 0x11);
        }
    }
}

TEST(BitmapEffects, BlendBitmapRectCutsTheSourceAndSkipsItsTransparentColour)
{
    for (int bpp : {3, 4}) {
        TTestRows dst(4, 4, bpp), src(4, 4, 3);
        Fill(dst, 4, 4, RGBColor(200, 200, 200));
        Fill(src, 4, 4, RGBColor(100, 100, 100));
        Put(src, 1, 1, TransparentColor);
        // (-1, -1) of the inclusive source is cut off: source (0, 0) lands at (2, 2).
        BlendBitmapRect(dst.Lines(), 1, 1, TransparentColor, 0.25, TRect{-1, -1, 1, 1}, src.Lines());
        EXPECT_EQ(At(dst, 1, 1), RGBColor(200, 200, 200));
        EXPECT_EQ(At(dst, 2, 2), RGBColor(125, 125, 125)); // 100 - (100 - 200) x 0.25
        EXPECT_EQ(At(dst, 3, 3), RGBColor(200, 200, 200)); // the transparent pixel
        EXPECT_EQ(At(dst, 3, 2), RGBColor(125, 125, 125));
        // A transparent colour with high byte 255 leaves nothing out; cut at the destination.
        BlendBitmapRect(dst.Lines(), 3, 3, NoTransColor, 0.0, TRect{1, 1, 3, 3}, src.Lines());
        EXPECT_EQ(At(dst, 3, 3), TransparentColor);
    }
}

TEST(BitmapEffects, BlendBitmapToColorAndBlendByMask)
{
    TTestRows bmp(2, 2, 3), mask(2, 2, 3);
    Fill(bmp, 2, 2, RGBColor(200, 200, 200));
    Put(bmp, 1, 1, TransparentColor);
    BlendBitmapToColor(bmp.Lines(), RGBColor(100, 0, 100), TransparentColor, 0.5);
    EXPECT_EQ(At(bmp, 0, 0), RGBColor(150, 100, 150));
    EXPECT_EQ(At(bmp, 1, 1), TransparentColor);

    Fill(bmp, 2, 2, RGBColor(200, 200, 200));
    Put(mask, 0, 0, RGBColor(255, 0, 128));
    Put(mask, 1, 0, RGBColor(0, 0, 0));
    BlendByMask(bmp.Lines(), mask.Lines(), RGBColor(0, 0, 0));
    EXPECT_EQ(At(bmp, 0, 0), RGBColor(199, 0, 100)); // 200 x 255 >> 8, 0, 200 x 128 >> 8
    EXPECT_EQ(At(bmp, 1, 0), 0);
}

TEST(BitmapEffects, GreyFormsKeepAlphaAndTheExceptedColour)
{
    TTestRows bmp(2, 2, 4, true, 0x7F);
    Put(bmp, 0, 0, RGBColor(10, 20, 33));
    Put(bmp, 1, 0, TransparentColor);
    GrayBitmapExceptColor(bmp.Lines(), TransparentColor);
    EXPECT_EQ(At(bmp, 0, 0), RGBColor(21, 21, 21));
    EXPECT_EQ(At(bmp, 1, 0), TransparentColor);
    EXPECT_EQ(Alpha(bmp, 0, 0), 0x7F);
    GrayBitmap(bmp.Lines());
    EXPECT_EQ(At(bmp, 1, 0), RGBColor(170, 170, 170)); // 510 div 3
}

TEST(BitmapEffects, CopiesExceptAColourAreCutToBothBitmaps)
{
    TTestRows dst(3, 3, 3), src(2, 2, 3);
    Put(src, 0, 0, 0x010203);
    Put(src, 1, 0, TransparentColor);
    Put(src, 0, 1, 0x040506);
    Put(src, 1, 1, 0x070809);
    Fill(dst, 3, 3, 0x111111);
    CopyBitmapExceptColor(dst.Lines(), src.Lines(), 2, TransparentColor, -1);
    EXPECT_EQ(At(dst, 2, 0), 0x040506); // row 0 of the source is above the destination
    EXPECT_EQ(At(dst, 2, 1), 0x111111);
    Fill(dst, 3, 3, 0x111111);
    CopyRectExceptColor(dst.Lines(), src.Lines(), 0, TransparentColor, TRect{-1, 0, 5, 0}, 0);
    EXPECT_EQ(At(dst, 0, 0), 0x111111); // the cut-off column -1
    EXPECT_EQ(At(dst, 1, 0), 0x010203);
    EXPECT_EQ(At(dst, 2, 0), 0x111111); // transparent
    EXPECT_EQ(At(dst, 1, 1), 0x111111); // only row 0
}

TEST(BitmapEffects, CopyChannelBothWays)
{
    TTestRows b32(2, 2, 4), b8(2, 2, 1);
    b32.SetPixel(1, 1, 0xA1B2C3D4);
    CopyChannel(b32.Lines(), b8.Lines(), 3, true);
    EXPECT_EQ(*b8.At(1, 1), 0xA1);
    *b8.At(0, 1) = 0x5A;
    CopyChannel(b32.Lines(), b8.Lines(), 1, false);
    EXPECT_EQ(b32.Pixel(0, 1), 0x00005A00u);
    EXPECT_EQ(b32.Pixel(1, 1), 0xA1B2A1D4u); // green byte := the 8-bit pixel
}

TEST(BitmapEffects, AlphaBlendsRoundDownAndRespectTheirMasks)
{
    TTestRows dst(2, 1, 3), src(2, 1, 4), mask(2, 1, 3);
    src.SetPixel(0, 0, 0xFFFFFFFF);
    src.SetPixel(1, 0, 0xFFFFFFFF);
    Put(mask, 1, 0, RGBColor(255, 0, 0));
    BlendAlpha32Onto24(dst.Lines(), src.Lines(), mask.Lines(), TRect{0, 0, 2, 1});
    EXPECT_EQ(At(dst, 0, 0), 0xFEFEFE); // 255 over 0: 254
    EXPECT_EQ(At(dst, 1, 0), 0);        // mask red 255: left

    TTestRows d32(2, 1, 4, true, 0x11), a(2, 1, 3), b(2, 1, 3), m(2, 1, 3);
    Fill(a, 2, 1, RGBColor(200, 200, 200));
    Fill(b, 2, 1, RGBColor(100, 100, 100));
    BlendAnimationFrame(d32.Lines(), a.Lines(), b.Lines(), 0);
    EXPECT_EQ(At(d32, 0, 0), RGBColor(100, 100, 100));
    BlendAnimationFrame(d32.Lines(), a.Lines(), b.Lines(), 255);
    EXPECT_EQ(At(d32, 0, 0), RGBColor(199, 199, 199));
    Put(m, 1, 0, RGBColor(128, 0, 255));
    const TvxScanLines ml = m.Lines();
    BlendAnimationFrame(d32.Lines(), a.Lines(), b.Lines(), 255, &ml);
    EXPECT_EQ(At(d32, 1, 0), RGBColor(150, 100, 199));
    EXPECT_EQ(Alpha(d32, 0, 0), 0x11);
    EXPECT_EQ(Alpha(d32, 1, 0), 0x11);
}

TEST(BitmapEffects, DrawAlphaBitmapFormulaKeyAndGrey)
{
    const struct {
        uint32_t src; // 0xAARRGGBB
        bool grey;
        int blend;
        TColor key;
        TColor expected; // over black
    } cases[] = {
        {0xFFFFFFFF, false, 0, NoKeyColor, 0xFEFEFE},       // opaque 255 over 0 -> 254
        {0x80FFFFFF, false, 0, NoKeyColor, 0x7F7F7F},       // 255 x 128 >> 8
        {0xFFFFFFFF, false, 50, NoKeyColor, 0x7E7E7E},      // a = 127
        {0xFFFF00FF, false, 0, NoKeyColor, 0xFE00FE},       // magenta drawn with no key
        {0xFFFF00FF, false, 0, TransparentColor, 0x000000}, // left out otherwise
        {0xFFFF00FF, false, 0, 0x123456, 0x000000},
        {0xFF1E3C5A, true, 0, NoKeyColor, 0x3B3B3B},  // (30 + 60 + 90) / 3 = 60, x 255 >> 8
        {0xFF1E3C5A, true, 50, NoKeyColor, 0x0E0E0E}, // 180 x 50 / 300 = 30; a 127
    };
    for (const auto& c : cases) {
        TTestRows src(2, 2, 4), dst(2, 2, 3);
        src.SetPixel(1, 1, c.src);
        DrawAlphaBitmap(dst.Lines(), TRect{0, 0, 1, 1}, src.Lines(), TRect{1, 1, 2, 2}, c.blend, c.grey, c.key, false);
        EXPECT_EQ(At(dst, 0, 0), c.expected) << std::hex << c.src << std::dec << " " << c.grey << " " << c.blend;
    }
}

TEST(BitmapEffects, AlphaOverBackgroundTakesCacheThenColourThenDestination)
{
    TTestRows dst(2, 1, 3), src(2, 1, 4), bg(4, 1, 3);
    src.SetPixel(0, 0, 0x80000000); // black at alpha 128
    src.SetPixel(1, 0, 0x80000000);
    Fill(bg, 4, 1, RGBColor(200, 0, 0));
    Fill(dst, 2, 1, RGBColor(0, 100, 0));
    const TvxScanLines b = bg.Lines();
    AlphaOverBackground(dst.Lines(), TPoint{}, src.Lines(), TRect{0, 0, 2, 1}, &b, TPoint{2, 0}, TransparentColor);
    EXPECT_EQ(At(dst, 0, 0), RGBColor(100, 0, 0)); // (-200 x 128 + 200 x 256) >> 8
    AlphaOverBackground(dst.Lines(), TPoint{}, src.Lines(), TRect{0, 0, 2, 1}, nullptr, TPoint{}, RGBColor(0, 0, 50));
    EXPECT_EQ(At(dst, 1, 0), RGBColor(0, 0, 25));
    Fill(dst, 2, 1, RGBColor(100, 0, 0));
    AlphaOverBackground(dst.Lines(), TPoint{}, src.Lines(), TRect{0, 0, 1, 1}, nullptr, TPoint{}, TransparentColor);
    EXPECT_EQ(At(dst, 0, 0), RGBColor(50, 0, 0));
}

TEST(BitmapEffects, MaskedCopyShowsThePictureWhereTheMaskIsBlack)
{
    // Row 0: the picture; row 1: its mask.
    TTestRows src(4, 2, 3), dst(4, 1, 3);
    Put(src, 0, 0, RGBColor(200, 100, 50));
    Put(src, 1, 0, RGBColor(200, 100, 50));
    Put(src, 2, 0, RGBColor(200, 100, 50));
    Put(src, 3, 0, TransparentColor);
    Put(src, 0, 1, 0x000000);
    Put(src, 1, 1, 0xFFFFFF);
    Put(src, 2, 1, 0x808080);
    Fill(dst, 4, 1, RGBColor(100, 100, 100));
    MaskedCopy(dst.Lines(), TPoint{}, src.Lines(), TRect{0, 0, 4, 1}, 1);
    EXPECT_EQ(At(dst, 0, 0), RGBColor(200, 100, 50));  // black: the picture
    EXPECT_EQ(At(dst, 1, 0), RGBColor(100, 100, 99));  // white: the destination, (50 x 256 + 50 x 255) >> 8 = 99
    EXPECT_EQ(At(dst, 2, 0), RGBColor(150, 100, 75));  // grey 128: halfway
    EXPECT_EQ(At(dst, 3, 0), RGBColor(100, 100, 100)); // transparent picture pixel
}

TEST(BitmapEffects, MaskedCopyReadsNothingOutsideTheSource)
{
    TTestRows src(3, 2, 3), dst(8, 4, 3);
    Fill(src, 3, 2, 0x0A0B0C);
    Fill(dst, 8, 4, 0x111111);
    // A frame reaching beyond the source's right edge and bottom: cut before reading.
    MaskedCopy(dst.Lines(), TPoint{2, 1}, src.Lines(), TRect{1, 0, 20, 10}, 0);
    EXPECT_EQ(At(dst, 2, 1), 0x0A0B0C);
    EXPECT_EQ(At(dst, 3, 2), 0x0A0B0C);
    EXPECT_EQ(At(dst, 4, 1), 0x111111);
    EXPECT_EQ(At(dst, 2, 3), 0x111111);
    // Rows whose mask would lie below the source are left out.
    Fill(dst, 8, 4, 0x111111);
    MaskedCopy(dst.Lines(), TPoint{}, src.Lines(), TRect{0, 1, 3, 2}, 1);
    EXPECT_EQ(At(dst, 0, 0), 0x111111);
    // Negative points cut the picture's left and top off.
    MaskedCopy(dst.Lines(), TPoint{-2, -1}, src.Lines(), TRect{0, 0, 3, 2}, 0);
    EXPECT_EQ(At(dst, 0, 0), 0x0A0B0C);
    EXPECT_EQ(At(dst, 1, 0), 0x111111);
}

TEST(BitmapEffects, RotateRowsThreeByTwoBothWays)
{
    for (int bpp : {3, 4}) {
        TTestRows src(3, 2, bpp), cw(2, 3, bpp), ccw(2, 3, bpp);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                Put(src, x, y, RGBColor(x, y, 7));
        RotateRows(src.Lines(), cw.Lines(), true);
        RotateRows(src.Lines(), ccw.Lines(), false);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(At(cw, 1 - y, x), RGBColor(x, y, 7)) << x << "," << y;
                EXPECT_EQ(At(ccw, y, 2 - x), RGBColor(x, y, 7)) << x << "," << y;
            }
        // Top row of the clockwise turn: the source's left column from the bottom up.
        EXPECT_EQ(At(cw, 0, 0), RGBColor(0, 1, 7));
        EXPECT_EQ(At(ccw, 0, 0), RGBColor(2, 0, 7));
    }
}

TEST(BitmapEffects, GaussianKernelIsCutWhereBothTailsReachOne510th)
{
    const struct {
        double radius;
        size_t size;
    } cases[] = {{0, 5}, {1, 5}, {2, 11}, {3, 17}, {5, 29}};
    for (const auto& c : cases) {
        const std::vector<double> k = GaussianKernel(c.radius);
        ASSERT_EQ(k.size(), c.size) << c.radius;
        EXPECT_NEAR(std::accumulate(k.begin(), k.end(), 0.0), 1.0, 1e-12);
        for (size_t i = 0; i < k.size() / 2; ++i)
            EXPECT_DOUBLE_EQ(k[i], k[k.size() - 1 - i]);
    }
    EXPECT_DOUBLE_EQ(GaussianKernel(0)[2], 1.0);
    EXPECT_NEAR(GaussianKernel(1)[2], 0.40262, 1e-5);
}

TEST(BitmapEffects, GaussianBlurKeepsFlatAreasAndSpreadsEvenly)
{
    std::vector<uint8_t> flat(6 * 4, 77);
    GaussianBlur(flat, 6, 4, 2);
    for (uint8_t v : flat)
        EXPECT_EQ(v, 77);
    std::vector<uint8_t> dot(7 * 7, 0);
    dot[3 * 7 + 3] = 255;
    GaussianBlur(dot, 7, 7, 1);
    EXPECT_EQ(dot[3 * 7 + 3], 41); // 255 x 0.40262 = 102.7 -> 103 after the rows, x 0.40262 = 41.5 -> 41
    EXPECT_EQ(dot[3 * 7 + 2], dot[3 * 7 + 4]);
    EXPECT_EQ(dot[2 * 7 + 3], dot[4 * 7 + 3]);
    EXPECT_EQ(dot[3 * 7 + 2], dot[2 * 7 + 3]);
    EXPECT_EQ(dot[0], 0); // beyond the kernel's reach of 2
}
