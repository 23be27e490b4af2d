// Resampling of the class library's bitmaps.
#include "skin/engine/vxResample.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gui/Graphics.h"
#include "gui/base/Exceptions.h"

namespace {

std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int width, int height, TColor fill)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(format);
    b->SetSize(width, height);
    b->Canvas().Brush().SetColor(fill);
    b->Canvas().FillRect(RECT{0, 0, width, height});
    return b;
}

TEST(ResampleGdi, TooSmallSourcesRaiseAndLeaveTheDestination)
{
    auto dest = MakeBitmap(pf24bit, 3, 3, clRed);
    for (auto [w, h] : {std::pair{1, 5}, std::pair{5, 1}}) {
        auto thin = MakeBitmap(pf24bit, w, h, clWhite);
        try {
            Resample(thin.get(), dest.get(), 10, 10, 1);
            ADD_FAILURE() << "no error for " << w << "x" << h;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Source bitmap is too small");
        }
    }
    EXPECT_THROW(Resample(nullptr, dest.get(), 10, 10, 1), Exception);
    EXPECT_EQ(dest->Width(), 3);
    EXPECT_EQ(dest->Canvas().Pixel(1, 1), 0x0000FFu);
}

TEST(ResampleGdi, SameSizeCopiesTheSource)
{
    auto source = MakeBitmap(pf32bit, 4, 3, clWhite);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 16; ++i)
            static_cast<uint8_t*>(source->ScanLine(y))[i] = static_cast<uint8_t>(20 * y + i);
    auto dest = MakeBitmap(pf24bit, 9, 9, clBlack);
    Resample(source.get(), dest.get(), 4, 3, 6);
    EXPECT_EQ(dest->PixelFormat(), pf32bit);
    EXPECT_EQ(dest->Width(), 4);
    EXPECT_EQ(dest->Height(), 3);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(std::memcmp(dest->ScanLine(y), source->ScanLine(y), 16), 0) << y;
    Resample(source.get(), source.get(), 4, 3, 6); // the same object: nothing
    EXPECT_EQ(static_cast<uint8_t*>(source->ScanLine(2))[15], 55);
}

TEST(ResampleGdi, DestinationTakesNewSizeAndSourceFormat)
{
    auto source = MakeBitmap(pf32bit, 8, 6, 0x00336699);
    auto dest = MakeBitmap(pf24bit, 2, 2, clBlack);
    Resample(source.get(), dest.get(), 16, 3, 1);
    EXPECT_EQ(dest->PixelFormat(), pf32bit);
    EXPECT_EQ(dest->Width(), 16);
    EXPECT_EQ(dest->Height(), 3);
    EXPECT_EQ(dest->Canvas().Pixel(15, 2), 0x336699u);
    EXPECT_EQ(dest->Canvas().Pixel(0, 0), 0x336699u);

    // A palette source is worked as 24 bits.
    auto grey = MakeBitmap(pf8bit, 4, 4, clWhite);
    Resample(grey.get(), dest.get(), 8, 8, 4);
    EXPECT_EQ(dest->PixelFormat(), pf24bit);
    EXPECT_EQ(dest->Canvas().Pixel(3, 5), 0xFFFFFFu);
}

TEST(ResampleGdi, ScalesABitmapIntoItself)
{
    // Left half black, right half white, 8 x 4 halved with the box filter into the same bitmap.
    auto b = MakeBitmap(pf24bit, 8, 4, clWhite);
    b->Canvas().Brush().SetColor(clBlack);
    b->Canvas().FillRect(RECT{0, 0, 4, 4});
    Resample(b.get(), b.get(), 4, 2, 0);
    EXPECT_EQ(b->Width(), 4);
    EXPECT_EQ(b->Height(), 2);
    EXPECT_EQ(b->Canvas().Pixel(0, 0), 0x000000u);
    EXPECT_EQ(b->Canvas().Pixel(3, 1), 0xFFFFFFu);
}

TEST(ResampleGdi, UnknownFilterPaintsBlack)
{
    auto source = MakeBitmap(pf24bit, 4, 4, clWhite);
    auto dest = MakeBitmap(pf24bit, 2, 2, clWhite);
    Resample(source.get(), dest.get(), 6, 6, 7);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dest->Canvas().Pixel(x, y), 0x000000u) << x << "," << y;
}

} // namespace
