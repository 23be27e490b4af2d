// The pixel access bound to the class library's bitmaps, read back through GDI.
#include "skin/engine/vxFastBitmaps.h"

#include <gtest/gtest.h>

#include <memory>

#include "gui/Graphics.h"

namespace {

std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int width, int height, TColor fill = clWhite)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(format);
    b->SetSize(width, height);
    b->Canvas().Brush().SetColor(fill);
    b->Canvas().FillRect(RECT{0, 0, width, height});
    return b;
}

// A 32-bit top-down bitmap (rows in memory from the top), white.
std::unique_ptr<TBitmap> MakeTopDown32(int width, int height)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    auto b = std::make_unique<TBitmap>();
    b->SetHandle(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    b->Canvas().Brush().SetColor(clWhite);
    b->Canvas().FillRect(RECT{0, 0, width, height});
    return b;
}

TEST(FastBitmapsGdi, AttachRefusesMissingSmallAndForeignBitmaps)
{
    TvxFast24 f24;
    TvxFast32 f32;
    EXPECT_FALSE(f24.Attach(static_cast<TBitmap*>(nullptr)));
    auto thin = MakeBitmap(pf24bit, 1, 100);
    EXPECT_FALSE(f24.Attach(thin.get()));
    EXPECT_EQ(f24.Width, 0);
    EXPECT_EQ(f24.Bitmap, nullptr);
    auto flat = MakeBitmap(pf32bit, 100, 1);
    EXPECT_FALSE(f32.Attach(flat.get()));
    auto rgb = MakeBitmap(pf24bit, 4, 4);
    EXPECT_FALSE(f32.Attach(rgb.get()));
    auto grey = MakeBitmap(pf8bit, 4, 4);
    EXPECT_FALSE(f24.Attach(grey.get()));
    ASSERT_TRUE(f24.Attach(rgb.get()));
    EXPECT_EQ(f24.Bitmap, rgb.get());
    EXPECT_EQ(f24.Width, 4);
    EXPECT_EQ(f24.Height, 4);
    EXPECT_EQ(f24.RowStep, rgb->RowStep());
    EXPECT_EQ(f24.Scan0, rgb->ScanLine(0));
}

TEST(FastBitmapsGdi, PixelsWrittenAreTheOnesGdiShows)
{
    auto b = MakeBitmap(pf24bit, 5, 4);
    TvxFast24 f;
    ASSERT_TRUE(f.Attach(b.get()));
    f.SetPixel(3, 1, 0x00332211);
    EXPECT_EQ(b->Canvas().Pixel(3, 1), 0x332211u);
    b->Canvas().SetPixel(0, 3, 0x00445566);
    EXPECT_EQ(f.GetPixel(0, 3), 0x00445566);
}

TEST(FastBitmapsGdi, FillRectTouchesTheSamePixelsBottomUpAndTopDown)
{
    auto up = MakeBitmap(pf32bit, 6, 5);
    auto down = MakeTopDown32(6, 5);
    ASSERT_LT(up->RowStep(), 0);
    ASSERT_GT(down->RowStep(), 0);
    for (TBitmap* b : {up.get(), down.get()}) {
        TvxFast32 f;
        ASSERT_TRUE(f.Attach(b));
        f.FillRect(TRect{1, 1, 4, 3}, ColorToPixel32(0x00000080));
    }
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(up->Canvas().Pixel(x, y), inside ? 0x000080u : 0xFFFFFFu) << x << "," << y;
            EXPECT_EQ(down->Canvas().Pixel(x, y), up->Canvas().Pixel(x, y)) << x << "," << y;
        }
    }
}

TEST(FastBitmapsGdi, FillBitmap32ResolvesSystemColoursAndSetsAlpha)
{
    auto b = MakeBitmap(pf32bit, 3, 3);
    FillBitmap32(b.get(), TRect{0, 0, 2, 3}, clBtnFace);
    TvxFast32 f;
    ASSERT_TRUE(f.Attach(b.get()));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(f.GetPixel(1, 2), 0xFF000000u | face);
    EXPECT_EQ(f.GetPixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    auto rgb = MakeBitmap(pf24bit, 3, 3);
    FillBitmap32(rgb.get(), TRect{0, 0, 3, 3}, clBlack); // not 32-bit: nothing
    EXPECT_EQ(rgb->Canvas().Pixel(1, 1), 0xFFFFFFu);
}

TEST(FastBitmapsGdi, SetAlphaChannelOnlyInThirtyTwoBitBitmaps)
{
    auto b = MakeBitmap(pf32bit, 3, 3);
    SetAlphaChannel(b.get(), TRect{1, 1, 5, 5}, 0x20);
    TvxFast32 f;
    ASSERT_TRUE(f.Attach(b.get()));
    EXPECT_EQ(f.GetPixel(2, 2) >> 24, 0x20u);
    EXPECT_EQ(f.GetPixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(f.GetPixel(0, 0) >> 24, 0x20u);
}

TEST(FastBitmapsGdi, SumBitmaps24NeedsEqualSizes)
{
    auto dest = MakeBitmap(pf24bit, 4, 4, clBlack);
    auto source = MakeBitmap(pf24bit, 4, 4, clWhite);
    auto other = MakeBitmap(pf24bit, 4, 5, clWhite);
    SumBitmaps24(dest.get(), other.get(), 0);
    EXPECT_EQ(dest->Canvas().Pixel(2, 2), 0x000000u);
    SumBitmaps24(dest.get(), source.get(), 0);
    EXPECT_EQ(dest->Canvas().Pixel(2, 2), 0xFEFEFEu); // 255 -> 254
    SumBitmaps24(dest.get(), source.get(), 128);      // (255 x 127 + 254 x 128 + 127) >> 8
    EXPECT_EQ(dest->Canvas().Pixel(3, 0), 0xFEFEFEu);
    auto source32 = MakeBitmap(pf32bit, 4, 4, clWhite);
    auto dest32 = MakeBitmap(pf32bit, 4, 4, clBlack);
    SumBitmaps24(dest32.get(), source32.get(), 0); // 24-bit only
    EXPECT_EQ(dest32->Canvas().Pixel(1, 1), 0x000000u);
}

TEST(FastBitmapsGdi, SumBitmapsClipsAndSkipsMixedFormats)
{
    auto dest = MakeBitmap(pf32bit, 6, 6, clBlack);
    auto source = MakeBitmap(pf32bit, 4, 4, clWhite);
    source->Canvas().SetPixel(1, 1, 0x000080);
    SumBitmaps(dest.get(), source.get(), 0, TPoint{-1, -1}, TRect{0, 0, 4, 4});
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            COLORREF want = x < 3 && y < 3 ? (x == 0 && y == 0 ? 0x00007Fu : 0xFEFEFEu) : 0x000000u;
            EXPECT_EQ(dest->Canvas().Pixel(x, y), want) << x << "," << y;
        }
    }
    auto dest24 = MakeBitmap(pf24bit, 6, 6, clBlack);
    SumBitmaps(dest24.get(), source.get(), 0, TPoint{0, 0}, TRect{0, 0, 4, 4});
    EXPECT_EQ(dest24->Canvas().Pixel(2, 2), 0x000000u);
    SumBitmaps(nullptr, source.get(), 0, TPoint{0, 0}, TRect{0, 0, 4, 4});
}

} // namespace
