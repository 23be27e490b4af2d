// Alpha drawing of a 32-bit image over rows of pixels.
#include "skin/engine/sAlphaBitmap.h"

#include <gtest/gtest.h>

#include "skin/engine/tests/TestRows.h"

namespace {

constexpr TColor kNoKey = 0x1FFFFFFF;

// A destination of grey 100 (0x646464) and a source of one colour (0xAARRGGBB).
struct TScene {
    TTestRows dest;
    TTestRows source;
    TScene(int w, int h, int destBytes, int sw, int sh, uint32_t pixel)
        : dest(w, h, destBytes, true, 100), source(sw, sh, 4, false)
    {
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x)
                source.SetPixel(x, y, pixel);
    }
};

TEST(AlphaBitmap, EachChannelMovesTowardsTheSourceByItsAlpha)
{
    // Source blue 200, green 50, red 0, alpha 128 over 100: 150, 75, 50.
    TScene s(2, 2, 3, 2, 2, 0x800032C8);
    DrawAlphaBitmap(s.dest.Lines(), TRect{0, 0, 2, 2}, s.source.Lines(), TRect{0, 0, 2, 2}, 0, false, kNoKey, false);
    EXPECT_EQ(s.dest.Pixel(0, 0), 0x324B96u);
    EXPECT_EQ(s.dest.Pixel(1, 1), 0x324B96u);
    // Blend 50 halves the alpha: 125, 87, 75.
    TScene b(2, 2, 3, 2, 2, 0x800032C8);
    DrawAlphaBitmap(b.dest.Lines(), TRect{0, 0, 2, 2}, b.source.Lines(), TRect{0, 0, 2, 2}, 50, false, kNoKey, false);
    EXPECT_EQ(b.dest.Pixel(0, 0), 0x4B577Du);
    // Grey: (0 + 50 + 200) x 100 / 300 = 83 in every channel, then 91.
    TScene g(2, 2, 3, 2, 2, 0x800032C8);
    DrawAlphaBitmap(g.dest.Lines(), TRect{0, 0, 2, 2}, g.source.Lines(), TRect{0, 0, 2, 2}, 0, true, kNoKey, false);
    EXPECT_EQ(g.dest.Pixel(0, 0), 0x5B5B5Bu);
    // Opaque and fully transparent pixels; a 32-bit destination keeps its alpha byte.
    TScene o(2, 2, 4, 2, 2, 0xFF102030);
    o.source.SetPixel(1, 0, 0x00FFFFFF);
    DrawAlphaBitmap(o.dest.Lines(), TRect{0, 0, 2, 2}, o.source.Lines(), TRect{0, 0, 2, 2}, 0, false, kNoKey, false);
    EXPECT_EQ(o.dest.Pixel(0, 0), 0x64102030u);
    EXPECT_EQ(o.dest.Pixel(1, 0), 0x64646464u);
}

TEST(AlphaBitmap, TheKeyColourLeavesOutMagenta)
{
    TScene k(2, 2, 3, 2, 2, 0xFFFF00FF);
    DrawAlphaBitmap(k.dest.Lines(), TRect{0, 0, 2, 2}, k.source.Lines(), TRect{0, 0, 2, 2}, 0, false, 0xFF00FF, false);
    EXPECT_EQ(k.dest.Pixel(0, 0), 0x646464u);
    // Drawn without a key: alpha 255 over 100 gives (155 x 255 + 25600) shr 8 = 254.
    DrawAlphaBitmap(k.dest.Lines(), TRect{0, 0, 2, 2}, k.source.Lines(), TRect{0, 0, 2, 2}, 0, false, kNoKey, false);
    EXPECT_EQ(k.dest.Pixel(0, 0), 0xFE00FEu);
}

TEST(AlphaBitmap, RectanglesAreCutToBothBitmaps)
{
    // Source columns 1..2 of row 1 drawn at (-1, 2) into a 3 x 3 destination: only source column 2
    // reaches destination column 0, row 2.
    TScene s(3, 3, 3, 3, 2, 0xFF000000);
    s.source.SetPixel(2, 1, 0xFFFFFFFF);
    DrawAlphaBitmap(s.dest.Lines(), TRect{-1, 2, 1, 4}, s.source.Lines(), TRect{1, 1, 3, 3}, 0, false, kNoKey, false);
    EXPECT_EQ(s.dest.Pixel(0, 2), 0xFEFEFEu);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if (x != 0 || y != 2) {
                EXPECT_EQ(s.dest.Pixel(x, y), 0x646464u) << x << "," << y;
            }
}

TEST(AlphaBitmap, TheReflectionMirrorsTheRowsBelowAndFadesOut)
{
    // Four source rows 0x10, 0x20, 0x30, 0x40 (opaque grey) into a destination of 6 rows: rows 4
    // and 5 show rows 3 and 2 at alpha 255 x 2/4 and 255 x 1/4.
    TScene s(1 + 1, 7, 3, 2, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            s.source.SetPixel(x, y, 0xFF000000u | 0x101010u * static_cast<uint32_t>(y + 1));
    DrawAlphaBitmap(s.dest.Lines(), TRect{0, 0, 2, 4}, s.source.Lines(), TRect{0, 0, 2, 4}, 0, false, kNoKey, true);
    EXPECT_EQ(s.dest.Pixel(0, 3), 0x404040u);
    const int a4 = 255 * 2 / 4, a5 = 255 * 1 / 4;
    const uint32_t v4 = static_cast<uint32_t>(((0x40 - 100) * a4 + 100 * 256) >> 8);
    const uint32_t v5 = static_cast<uint32_t>(((0x30 - 100) * a5 + 100 * 256) >> 8);
    EXPECT_EQ(s.dest.Pixel(1, 4), v4 * 0x010101u);
    EXPECT_EQ(s.dest.Pixel(1, 5), v5 * 0x010101u);
    EXPECT_EQ(s.dest.Pixel(1, 6), 0x646464u);
}

} // namespace
