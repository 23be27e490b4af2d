// Rows and palettes of the colour manager in the class library's bitmaps, as a decoder fills them.
#include "skin/engine/vxColorManager.h"

#include <gtest/gtest.h>

#include "gui/Graphics.h"

namespace {

TEST(ColorManagerGdi, GreyRowsShowThroughTheirGreyPalette)
{
    // A 2-bit grey image: target 4 bits with a 16-grey ramp, values 0, 5, 10, 15.
    TColorManager cm;
    cm.SetSourceColorScheme(csGrey);
    cm.SetSourceBitsPerSample(2);
    cm.SetSourceSamplesPerPixel(1);
    cm.SetTargetColorScheme(csGrey);
    cm.SetTargetBitsPerSample(4);
    cm.SetTargetSamplesPerPixel(1);
    ASSERT_EQ(cm.OutputPixelFormat(), pf4bit);
    TBitmap b;
    b.SetPixelFormat(cm.OutputPixelFormat());
    b.SetPalette(CreatePaletteHandle(cm.BuildGreyPalette(false)));
    b.SetSize(4, 2);
    const uint8_t row[] = {0xE4}; // 3, 2, 1, 0
    const void* planes[] = {row};
    for (int y = 0; y < 2; ++y)
        cm.ConvertLine(planes, b.ScanLine(y), 4, 0xFF);
    const COLORREF greys[4] = {0xFFFFFF, 0xAAAAAA, 0x555555, 0x000000};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.Canvas().Pixel(x, y), greys[x]) << x << "," << y;
}

TEST(ColorManagerGdi, PaletteHandleKeepsTheEntries)
{
    TColorManager cm;
    const uint8_t rgb[] = {10, 20, 30, 200, 100, 50};
    TPaletteHandle palette(CreatePaletteHandle(cm.BuildPalette(rgb, plTriples8, 2, false)));
    ASSERT_TRUE(palette);
    PALETTEENTRY entries[3] = {};
    ASSERT_EQ(GetPaletteEntries(palette.get(), 0, 3, entries), 2u);
    EXPECT_EQ(entries[0].peRed, 10);
    EXPECT_EQ(entries[0].peBlue, 30);
    EXPECT_EQ(entries[1].peGreen, 100);
}

TEST(ColorManagerGdi, RgbaRowsFillThirtyTwoBitScanLines)
{
    TColorManager cm;
    cm.SetSourceColorScheme(csRGBA);
    cm.SetSourceSamplesPerPixel(4);
    cm.SetTargetColorScheme(csBGRA);
    cm.SetTargetSamplesPerPixel(4);
    TBitmap b;
    b.SetPixelFormat(cm.OutputPixelFormat());
    b.SetSize(2, 2);
    const uint8_t row[] = {0xFF, 0, 0, 0x80, 0, 0, 0xFF, 0x40};
    const void* planes[] = {row};
    cm.ConvertLine(planes, b.ScanLine(1), 2, 0xFF);
    EXPECT_EQ(b.Canvas().Pixel(0, 1), 0x0000FFu);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), 0xFF0000u);
    EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(1))[7], 0x40);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), 0xFFFFFFu);
}

} // namespace
