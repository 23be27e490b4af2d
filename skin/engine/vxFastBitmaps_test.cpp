#include "skin/engine/vxFastBitmaps.h"

#include <gtest/gtest.h>

#include "skin/engine/tests/TestRows.h"

namespace {

TEST(FastBitmaps, AttachNeedsTwoByTwoPixelsOfItsFormat)
{
    struct Case {
        int width, height, bpp;
        bool fast24, fast32;
    } cases[] = {
        {1, 100, 3, false, false}, {100, 1, 3, false, false}, {2, 2, 3, true, false},
        {2, 2, 4, false, true},    {1, 100, 4, false, false}, {5, 3, 4, false, true},
    };
    for (const Case& c : cases) {
        TTestRows rows(c.width, c.height, c.bpp);
        TvxFast24 f24;
        TvxFast32 f32;
        EXPECT_EQ(f24.Attach(rows.Lines()), c.fast24) << c.width << "x" << c.height << "x" << c.bpp;
        EXPECT_EQ(f32.Attach(rows.Lines()), c.fast32) << c.width << "x" << c.height << "x" << c.bpp;
        EXPECT_EQ(f24.Width, c.fast24 ? c.width : 0);
        EXPECT_EQ(f32.Width, c.fast32 ? c.width : 0);
    }
    TvxFast32 none;
    EXPECT_FALSE(none.Attach(TvxScanLines{}));
    EXPECT_EQ(none.Width, 0);
}

TEST(FastBitmaps, PixelsOf24BitsAreBlueGreenRedInMemory)
{
    TTestRows rows(3, 2, 3);
    TvxFast24 f;
    ASSERT_TRUE(f.Attach(rows.Lines()));
    f.SetPixel(1, 0, 0x00332211);
    // Bottom-up: row 0 is the last row in memory, pixel 1 three bytes into it.
    const uint8_t* p = rows.Bytes().data() + 12 + 3;
    EXPECT_EQ(p[0], 0x33);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    EXPECT_EQ(f.GetPixel(1, 0), 0x00332211);
    EXPECT_EQ(f.GetPixel(0, 0), 0);
}

TEST(FastBitmaps, PixelsOf32BitsCarryAlphaInTheHighByte)
{
    TTestRows rows(2, 2, 4, false);
    TvxFast32 f;
    ASSERT_TRUE(f.Attach(rows.Lines()));
    f.SetPixel(1, 1, 0x80332211);
    const uint8_t* p = rows.Bytes().data() + 8 + 4;
    EXPECT_EQ(p[0], 0x33);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    EXPECT_EQ(p[3], 0x80);
    EXPECT_EQ(f.GetPixel(1, 1), 0x80332211u);
}

TEST(FastBitmaps, FillRectTouchesTheSamePixelsBottomUpAndTopDown)
{
    for (int bpp : {3, 4}) {
        TTestRows up(6, 4, bpp, true), down(6, 4, bpp, false);
        TRect r{1, 1, 4, 3};
        if (bpp == 3) {
            TvxFast24 a, b;
            ASSERT_TRUE(a.Attach(up.Lines()) && b.Attach(down.Lines()));
            a.FillRect(r, 0x00112233);
            b.FillRect(r, 0x00112233);
        } else {
            TvxFast32 a, b;
            ASSERT_TRUE(a.Attach(up.Lines()) && b.Attach(down.Lines()));
            a.FillRect(r, ColorToPixel32(0x00112233));
            b.FillRect(r, ColorToPixel32(0x00112233));
        }
        uint32_t filled = bpp == 3 ? 0x332211u : 0xFF332211u;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
                EXPECT_EQ(up.Pixel(x, y), inside ? filled : 0u) << x << "," << y << " bpp " << bpp;
                EXPECT_EQ(down.Pixel(x, y), up.Pixel(x, y)) << x << "," << y << " bpp " << bpp;
            }
        }
    }
}

TEST(FastBitmaps, FillRectIsCutToTheBitmap)
{
    TTestRows rows(3, 3, 4);
    TvxFast32 f;
    ASSERT_TRUE(f.Attach(rows.Lines()));
    f.FillRect(TRect{-5, -5, 100, 2}, 0x01020304);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(rows.Pixel(x, 0), 0x01020304u);
        EXPECT_EQ(rows.Pixel(x, 1), 0x01020304u);
        EXPECT_EQ(rows.Pixel(x, 2), 0u);
    }
    f.FillRect(TRect{2, 0, 1, 3}, 0xFFFFFFFF); // right of left: no width
    EXPECT_EQ(rows.Pixel(1, 2), 0u);
}

TEST(FastBitmaps, FillDwordsWritesCountValuesOnly)
{
    struct Case {
        int count;
        uint32_t expected[4];
    } cases[] = {
        {-1, {0, 0, 0, 0}},
        {0, {0, 0, 0, 0}},
        {1, {0xA1B2C3D4, 0, 0, 0}},
        {3, {0xA1B2C3D4, 0xA1B2C3D4, 0xA1B2C3D4, 0}},
    };
    for (const Case& c : cases) {
        uint32_t buffer[4] = {};
        FillDwords(buffer, c.count, 0xA1B2C3D4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(buffer[i], c.expected[i]) << "count " << c.count << " word " << i;
    }
}

TEST(FastBitmaps, ColorToPixel32PutsBlueFirstAndAlpha255)
{
    EXPECT_EQ(ColorToPixel32(0x00332211), 0xFF112233u);
    EXPECT_EQ(ColorToPixel32(0x000000FF), 0xFFFF0000u); // red
    EXPECT_EQ(ColorToPixel32(0x00FF0000), 0xFF0000FFu); // blue
    EXPECT_EQ(ColorToPixel32(0), 0xFF000000u);
}

TEST(FastBitmaps, SetAlphaChannelSetsOnlyAlphaInsideTheCutRectangle)
{
    TTestRows rows(3, 3, 4, true, 0x10);
    SetAlphaChannel(rows.Lines(), TRect{-1, -1, 1, 5}, 0x80);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(rows.Pixel(0, y), 0x80101010u);
        EXPECT_EQ(rows.Pixel(1, y), 0x10101010u);
    }
    TTestRows rgb(3, 3, 3, true, 0x10);
    SetAlphaChannel(rgb.Lines(), TRect{0, 0, 3, 3}, 0x80);
    EXPECT_EQ(rgb.Bytes(), std::vector<uint8_t>(rgb.Bytes().size(), 0x10));
}

// One byte blended: a 2 x 2 source of `source` bytes into a destination of `dest` bytes.
int SumOneByte(int bpp, uint8_t source, uint8_t dest, uint8_t alpha)
{
    TTestRows s(2, 2, bpp, true, source), d(2, 2, bpp, false, dest);
    SumBitmaps(d.Lines(), s.Lines(), alpha, TPoint{0, 0}, TRect{0, 0, 2, 2});
    int value = d.At(0, 0)[0];
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            for (int k = 0; k < bpp; ++k)
                if (d.At(x, y)[k] != value) return -1; // every byte alike, the alpha byte too
    return value;
}

TEST(FastBitmaps, SumBlendsEveryByteWithRounding)
{
    struct Case {
        uint8_t source, dest, alpha;
        int expected;
    } cases[] = {
        {255, 0, 0, 254},  {255, 200, 0, 254}, {128, 0, 0, 127},    {128, 255, 0, 127}, {127, 0, 0, 127},
        {127, 90, 0, 127}, {0, 255, 255, 254}, {77, 255, 255, 254}, {0, 128, 255, 127}, {200, 100, 128, 149},
    };
    for (int bpp : {3, 4}) {
        for (const Case& c : cases) {
            EXPECT_EQ(SumOneByte(bpp, c.source, c.dest, c.alpha), c.expected)
                << "bpp " << bpp << " source " << int(c.source) << " dest " << int(c.dest) << " alpha " << int(c.alpha);
        }
    }
}

TEST(FastBitmaps, ClipSumRectsFollowsPointAndSourceIntoBothBitmaps)
{
    struct Case {
        const char* what;
        int dw, dh, sw, sh;
        TPoint p;
        TRect s;
        bool ok;
        TRect rect2, rect1;
    } cases[] = {
        {"whole", 10, 10, 10, 10, {0, 0}, {0, 0, 10, 10}, true, {0, 0, 10, 10}, {0, 0, 10, 10}},
        {"negative point", 10, 10, 10, 10, {-3, 2}, {0, 0, 10, 10}, true, {0, 2, 7, 10}, {3, 0, 10, 8}},
        {"negative source", 10, 10, 10, 10, {2, 3}, {-4, -1, 5, 5}, true, {6, 4, 10, 9}, {0, 0, 4, 5}},
        {"both negative", 10, 10, 10, 10, {-5, 0}, {-10, 0, 10, 4}, true, {5, 0, 10, 4}, {0, 0, 5, 4}},
        {"source smaller", 10, 10, 4, 3, {1, 1}, {0, 0, 10, 10}, true, {1, 1, 5, 4}, {0, 0, 4, 3}},
        {"point right of dest", 10, 10, 10, 10, {10, 0}, {0, 0, 4, 4}, false, {}, {}},
        {"point below dest", 10, 10, 10, 10, {0, 10}, {0, 0, 4, 4}, false, {}, {}},
        {"all left of dest", 10, 10, 10, 10, {-20, 0}, {0, 0, 10, 10}, false, {}, {}},
        {"empty source", 10, 10, 10, 10, {0, 0}, {3, 3, 3, 9}, false, {}, {}},
    };
    for (const Case& c : cases) {
        TRect rect2{-1, -1, -1, -1}, rect1{-1, -1, -1, -1};
        EXPECT_EQ(ClipSumRects(c.dw, c.dh, c.sw, c.sh, c.p, c.s, rect2, rect1), c.ok) << c.what;
        if (!c.ok) continue;
        EXPECT_EQ(rect2, c.rect2) << c.what << ": " << rect2.Left << "," << rect2.Top << "," << rect2.Right << ","
                                  << rect2.Bottom;
        EXPECT_EQ(rect1, c.rect1) << c.what << ": " << rect1.Left << "," << rect1.Top << "," << rect1.Right << ","
                                  << rect1.Bottom;
    }
}

TEST(FastBitmaps, SumBitmapsTakesEachPixelFromItsPlaceInTheSource)
{
    // Source pixels numbered 10 * y + x; alpha 0 copies them (values below 128 stay).
    TTestRows source(4, 4, 4, false), dest(5, 5, 4, true, 0xEE);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, 0x01010101u * static_cast<uint32_t>(10 * y + x));
    SumBitmaps(dest.Lines(), source.Lines(), 0, TPoint{-1, 2}, TRect{0, 0, 4, 4});
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            bool inside = x < 3 && y >= 2;
            uint32_t expected = inside ? 0x01010101u * static_cast<uint32_t>(10 * (y - 2) + x + 1) : 0xEEEEEEEEu;
            EXPECT_EQ(dest.Pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(FastBitmaps, SumBitmapsOfMixedFormatsDoesNothing)
{
    TTestRows source(4, 4, 4, true, 0x11), dest(4, 4, 3, true, 0x77);
    SumBitmaps(dest.Lines(), source.Lines(), 0, TPoint{0, 0}, TRect{0, 0, 4, 4});
    EXPECT_EQ(dest.Bytes(), std::vector<uint8_t>(dest.Bytes().size(), 0x77));
}

TEST(FastBitmaps, SumLeavesOutPixelsOutsideEitherBitmap)
{
    // Rectangles set by hand that reach past both bitmaps: only the common part is blended.
    TTestRows source(3, 3, 3, true, 0x40), dest(4, 4, 3, false, 0x90);
    TvxFastSum24 sum;
    ASSERT_TRUE(sum.Attach(source.Lines(), dest.Lines()));
    EXPECT_EQ(sum.Width, 3);
    EXPECT_EQ(sum.Height, 3);
    sum.Alpha = 0;
    sum.Rect2 = TRect{-2, -2, 10, 10};
    sum.Rect1 = TRect{-2, -2, 10, 10};
    sum.Sum();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dest.Pixel(x, y), x < 3 && y < 3 ? 0x404040u : 0x909090u) << x << "," << y;
}

} // namespace
