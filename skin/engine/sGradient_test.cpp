#include "skin/engine/sGradient.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "gui/base/Exceptions.h"
#include "skin/engine/tests/TestRows.h"

namespace {

TsGradArray Parse(const std::string& text)
{
    TsGradArray steps{TsGradColor{1, 1, 1, 1, 1}};
    ParseGradArray(text, steps);
    return steps;
}

TEST(Gradient, ParseTakesGroupsOfFiveWords)
{
    struct Case {
        const char* text;
        TsGradArray expected;
    } cases[] = {
        {"", {}},
        {"N/A", {}},
        {"1;2;3;0", {}},
        {"0;16777215;100;0;0", {{0, 16777215, 100, 0, 0}}},
        {"1;2;3;0;0;4;5;6;7", {{1, 2, 3, 0, 0}}}, // nine words: one step
        {";;1;;2;3;;1;9;;", {{1, 2, 3, 1, 0}}},   // runs of ";" count as one
        {"1;2;150;0;0", {{1, 2, 100, 0, 0}}},     // percent clamped
        {"1;2;-4;0;0", {{1, 2, 0, 0, 0}}},
        {"-5;-2147483648;50;7;0", {{0, 0, 50, 7, 0}}}, // negative colours 0, any mode
        {"1;2;3;0;junk", {{1, 2, 3, 0, 0}}},           // the fifth word is not read
        {"1;2;3;0;0;junk", {{1, 2, 3, 0, 0}}},         // nor an incomplete group
        {"255;65280;50;1;0;65280;16711680;50;1;0", {{255, 65280, 50, 1, 0}, {65280, 16711680, 50, 1, 0}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Parse(c.text), c.expected) << c.text;
}

TEST(Gradient, ParseRaisesTheIntegerConversionError)
{
    TsGradArray steps{TsGradColor{}};
    EXPECT_THROW(ParseGradArray("1;x;3;0;0", steps), EConvertError);
    EXPECT_TRUE(steps.empty());
}

// Rows of width x height pixels of `fill`, painted with the text's steps.
TTestRows Paint(const char* text, int width, int height, int bpp, TRect rect, bool bottomUp = true, int offset = 0)
{
    TTestRows rows(width, height, bpp, bottomUp, 0x77);
    TsGradArray steps;
    ParseGradArray(text, steps);
    PaintGradientBands(rows.Lines(), rect, steps, offset);
    return rows;
}

uint32_t Opaque(uint32_t bgr, int bpp) { return bpp == 4 ? 0xFF000000u | bgr : bgr; }

TEST(Gradient, VerticalBandRunsFromTheTopRowToTheBottomRow)
{
    // Five rows, n = 4: 0, 63.75, 127.5, 191.25, 255 rounded halves away from zero.
    const uint32_t rows[5] = {0x000000, 0x404040, 0x808080, 0xBFBFBF, 0xFFFFFF};
    for (int bpp : {3, 4}) {
        for (bool bottomUp : {true, false}) {
            TTestRows r = Paint("0;16777215;100;0;0", 3, 5, bpp, TRect{0, 0, 3, 5}, bottomUp);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(r.Pixel(x, y), Opaque(rows[y], bpp)) << x << "," << y << " bpp " << bpp;
        }
    }
}

TEST(Gradient, HorizontalBandsMeetOnTheSecondBandsStartColour)
{
    for (int bpp : {3, 4}) {
        TTestRows r = Paint("255;65280;50;1;0;65280;16711680;50;1;0", 100, 3, bpp, TRect{0, 0, 100, 3});
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(r.Pixel(0, y), Opaque(0xFF0000, bpp));  // red (memory order R in byte 2)
            EXPECT_EQ(r.Pixel(50, y), Opaque(0x00FF00, bpp)); // green
            EXPECT_EQ(r.Pixel(99, y), Opaque(0x0000FF, bpp)); // blue
        }
        // Column 25 is halfway from red to green, column 75 halfway from green to blue.
        const uint8_t* mid1 = r.At(25, 1);
        EXPECT_NEAR(mid1[2], 128, 1);
        EXPECT_NEAR(mid1[1], 128, 1);
        EXPECT_EQ(mid1[0], 0);
        const uint8_t* mid2 = r.At(75, 1);
        EXPECT_EQ(mid2[2], 0);
        EXPECT_NEAR(mid2[1], 125, 1); // 255 - 25 x 255 / 49
        EXPECT_NEAR(mid2[0], 130, 1);
    }
}

TEST(Gradient, BandEnds)
{
    struct Case {
        const char* what;
        const char* text;
        std::vector<uint32_t> rows; // colour of rows 0..9 (0x777777: untouched)
    } cases[] = {
        {"a step of 0 percent paints nothing, the next starts where it would have",
         "255;255;0;0;0;65280;65280;100;0;0",
         {0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00}},
        {"a short last step still reaches the bottom, over the row where the first ended",
         "255;255;30;0;0;65280;65280;10;0;0",
         {0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00}},
        {"a step beyond the bottom is cut to the last row",
         "255;255;100;0;0;65280;65280;100;0;0",
         {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}},
        {"a band of two rows is painted",
         "255;255;10;0;0;65280;65280;0;0;0",
         {0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00}},
        {"three steps",
         "255;255;40;0;0;65280;65280;20;0;0;16711680;16711680;0;0;0",
         {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF}},
    };
    for (const Case& c : cases) {
        TTestRows r = Paint(c.text, 2, 10, 3, TRect{0, 0, 2, 10});
        for (int y = 0; y < 10; ++y)
            EXPECT_EQ(r.Pixel(1, y), c.rows[static_cast<size_t>(y)]) << c.what << ": row " << y;
    }
}

TEST(Gradient, RectangleIsCutToTheRows)
{
    TTestRows r = Paint("255;255;100;0;0", 5, 5, 4, TRect{-5, -5, 3, 2});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(r.Pixel(x, y), x < 3 && y < 2 ? 0xFFFF0000u : 0x77777777u) << x << "," << y;
    TTestRows h = Paint("255;255;100;1;0", 5, 5, 3, TRect{2, 3, 50, 50});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(h.Pixel(x, y), x >= 2 && y >= 3 ? 0xFF0000u : 0x777777u) << x << "," << y;
}

TEST(Gradient, NothingIsPaintedWithoutAreaStepsOrLayout)
{
    struct Case {
        const char* what;
        const char* text;
        TRect rect;
        int bpp;
    } cases[] = {
        {"no width", "255;255;100;0;0", {3, 0, 3, 5}, 3},
        {"negative height", "255;255;100;0;0", {0, 4, 5, 1}, 3},
        {"no steps", "N/A", {0, 0, 5, 5}, 3},
        {"outside the rows", "255;255;100;0;0", {10, 10, 20, 20}, 4},
        {"one row: a band of one pixel is passed over", "255;255;100;0;0", {0, 2, 5, 3}, 3},
        {"one column", "255;255;100;1;0", {4, 0, 5, 5}, 3},
        {"mode 3", "255;255;100;3;0", {0, 0, 5, 5}, 3},
        {"mode -1", "255;255;100;-1;0", {0, 0, 5, 5}, 3},
        {"triangles are the platform's", "255;255;100;2;0", {0, 0, 5, 5}, 4},
        {"8-bit rows", "255;255;100;0;0", {0, 0, 5, 5}, 1},
    };
    for (const Case& c : cases) {
        TTestRows r = Paint(c.text, 5, 5, c.bpp, c.rect);
        EXPECT_EQ(r.Bytes(), std::vector<uint8_t>(r.Bytes().size(), 0x77)) << c.what;
    }
}

TEST(Gradient, OffsetMovesTheVerticalStartDown)
{
    // Start at row 2; the band to the last row, 0 -> 255 over rows 2..9 (n = 7).
    TTestRows r = Paint("0;255;100;0;0", 1, 10, 3, TRect{0, 0, 1, 10}, true, 2);
    EXPECT_EQ(r.Pixel(0, 0), 0x777777u);
    EXPECT_EQ(r.Pixel(0, 1), 0x777777u);
    EXPECT_EQ(r.Pixel(0, 2), 0x000000u);
    EXPECT_EQ(r.Pixel(0, 9), 0xFF0000u);
}

} // namespace
