// The alpha drawing bound to the class library's bitmaps.
#include "skin/engine/sAlphaBitmap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "gui/Graphics.h"

namespace {

TEST(AlphaBitmapGdi, DrawsA32BitBitmapOverA24BitOneAndRefusesOtherFormats)
{
    TBitmap dest(3, 3);
    dest.Canvas().Brush().SetColor(0x646464);
    dest.Canvas().FillRect(RECT{0, 0, 3, 3});
    TBitmap source;
    source.SetPixelFormat(pf32bit);
    source.SetSize(2, 2);
    const uint32_t pixel = 0x800032C8; // alpha 128, red 0, green 50, blue 200
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            std::memcpy(static_cast<uint8_t*>(source.ScanLine(y)) + 4 * x, &pixel, 4);
    DrawAlphaBitmap(&dest, TRect{1, 1, 3, 3}, &source, TRect{0, 0, 2, 2}, 0, false, 0x1FFFFFFF, false);
    EXPECT_EQ(dest.Canvas().Pixel(0, 0), static_cast<COLORREF>(0x646464));
    EXPECT_EQ(dest.Canvas().Pixel(1, 1), RGB(50, 75, 150));
    EXPECT_EQ(dest.Canvas().Pixel(2, 2), RGB(50, 75, 150));
    // A 24-bit source, or none, draws nothing.
    TBitmap plain(2, 2);
    DrawAlphaBitmap(&dest, TRect{0, 0, 2, 2}, &plain, TRect{0, 0, 2, 2}, 0, false, 0x1FFFFFFF, false);
    DrawAlphaBitmap(&dest, TRect{0, 0, 2, 2}, nullptr, TRect{0, 0, 2, 2}, 0, false, 0x1FFFFFFF, false);
    EXPECT_EQ(dest.Canvas().Pixel(0, 0), static_cast<COLORREF>(0x646464));
}

} // namespace
