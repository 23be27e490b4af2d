// Gradients painted into the class library's bitmaps, read back through GDI.
#include "skin/engine/sGradient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "gui/Graphics.h"

namespace {

std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int width, int height)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(format);
    b->SetSize(width, height);
    b->Canvas().Brush().SetColor(0x00777777);
    b->Canvas().FillRect(RECT{0, 0, width, height});
    return b;
}

TsGradArray Steps(const char* text)
{
    TsGradArray steps;
    ParseGradArray(text, steps);
    return steps;
}

// The largest channel distance between two colours.
int Distance(COLORREF a, COLORREF b)
{
    int d = 0;
    for (int shift : {0, 8, 16})
        d = std::max(d, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
    return d;
}

TEST(GradientGdi, VerticalFromBlackTopRowToWhiteBottomRow)
{
    for (TPixelFormat f : {pf24bit, pf32bit}) {
        auto b = MakeBitmap(f, 7, 20);
        FillGradient(b.get(), TRect{0, 0, 7, 20}, Steps("0;16777215;100;0;0"));
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(b->Canvas().Pixel(x, 0), 0x000000u) << x;
            EXPECT_EQ(b->Canvas().Pixel(x, 19), 0xFFFFFFu) << x;
        }
        EXPECT_LE(Distance(b->Canvas().Pixel(3, 10), 0x868686), 1); // 10 x 255 / 19 = 134.2
        if (f == pf32bit) {
            auto* row = static_cast<uint8_t*>(b->ScanLine(10));
            EXPECT_EQ(row[3], 255);
            EXPECT_EQ(row[6 * 4 + 3], 255);
        }
    }
}

TEST(GradientGdi, HorizontalHalvesMeetOnGreen)
{
    auto b = MakeBitmap(pf24bit, 100, 4);
    FillGradient(b.get(), TRect{0, 0, 100, 4}, Steps("255;65280;50;1;0;65280;16711680;50;1;0"));
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(b->Canvas().Pixel(0, y), 0x0000FFu) << y;  // red
        EXPECT_EQ(b->Canvas().Pixel(50, y), 0x00FF00u) << y; // green
        EXPECT_EQ(b->Canvas().Pixel(99, y), 0xFF0000u) << y; // blue
    }
    EXPECT_LE(Distance(b->Canvas().Pixel(25, 2), 0x008080), 1);
}

TEST(GradientGdi, OnlyTheRectangleInsideTheBitmapIsPainted)
{
    auto b = MakeBitmap(pf32bit, 10, 10);
    FillGradient(b.get(), TRect{6, -4, 30, 3}, Steps("255;255;100;0;0"));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(b->Canvas().Pixel(x, y), x >= 6 && y < 3 ? 0x0000FFu : 0x777777u) << x << "," << y;
}

TEST(GradientGdi, BandsNeedTwentyFourOrThirtyTwoBits)
{
    auto b = MakeBitmap(pf8bit, 10, 10);
    COLORREF before = b->Canvas().Pixel(5, 5);
    FillGradient(b.get(), TRect{0, 0, 10, 10}, Steps("255;255;100;0;0"));
    EXPECT_EQ(b->Canvas().Pixel(5, 5), before);
    FillGradient(nullptr, TRect{0, 0, 10, 10}, Steps("255;255;100;0;0"));
}

TEST(GradientGdi, OtherModesPaintNothing)
{
    // The mode comes from the first step only.
    for (const char* text : {"255;255;100;3;0", "255;255;100;-1;0", "255;255;50;3;0;255;255;50;0;0"}) {
        auto b = MakeBitmap(pf24bit, 10, 10);
        FillGradient(b.get(), TRect{0, 0, 10, 10}, Steps(text));
        for (int y = 0; y < 10; y += 3)
            for (int x = 0; x < 10; x += 3)
                EXPECT_EQ(b->Canvas().Pixel(x, y), 0x777777u) << text;
    }
}

TEST(GradientGdi, TrianglesTakeTheStepColoursAtTheCorners)
{
    ASSERT_TRUE(GradientFillFound());
    struct Case {
        const char* text;
        COLORREF topLeft, centre, topRight, bottomRight, bottomLeft;
    } cases[] = {
        {"255;0;0;2;0;65280;0;0;0;0;16711680;0;0;0;0;65535;0;0;0;0;16777215;0;0;0;0", 0x0000FF, 0x00FF00, 0xFF0000,
         0x00FFFF, 0xFFFFFF},
        // Three steps: vertices 3 and 4 repeat the colour of step 2.
        {"255;0;0;2;0;65280;0;0;0;0;16711680;0;0;0;0", 0x0000FF, 0x00FF00, 0xFF0000, 0xFF0000, 0xFF0000},
        // One step: every vertex has its colour.
        {"8421504;0;0;2;0", 0x808080, 0x808080, 0x808080, 0x808080, 0x808080},
    };
    for (TPixelFormat f : {pf24bit, pf32bit}) {
        for (const Case& c : cases) {
            auto b = MakeBitmap(f, 400, 400);
            FillGradient(b.get(), TRect{0, 0, 400, 400}, Steps(c.text));
            TCanvas& cv = b->Canvas();
            EXPECT_LE(Distance(cv.Pixel(0, 0), c.topLeft), 2) << c.text;
            EXPECT_LE(Distance(cv.Pixel(200, 200), c.centre), 2) << c.text;
            EXPECT_LE(Distance(cv.Pixel(399, 0), c.topRight), 2) << c.text;
            EXPECT_LE(Distance(cv.Pixel(399, 399), c.bottomRight), 2) << c.text;
            EXPECT_LE(Distance(cv.Pixel(0, 399), c.bottomLeft), 2) << c.text;
        }
    }
}

TEST(GradientGdi, TrianglesPaintNothingWithoutGradientFill)
{
    HideGradientFill(true);
    auto b = MakeBitmap(pf24bit, 50, 50);
    FillGradient(b.get(), TRect{0, 0, 50, 50}, Steps("255;0;0;2;0;65280;0;0;0;0"));
    HideGradientFill(false);
    for (int y = 0; y < 50; y += 7)
        for (int x = 0; x < 50; x += 7)
            EXPECT_EQ(b->Canvas().Pixel(x, y), 0x777777u) << x << "," << y;
    // Shown again, the same call paints.
    FillGradient(b.get(), TRect{0, 0, 50, 50}, Steps("255;0;0;2;0;65280;0;0;0;0"));
    EXPECT_LE(Distance(b->Canvas().Pixel(0, 0), 0x0000FF), 2);
}

} // namespace
