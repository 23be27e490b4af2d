// Colour mixing at the boundaries of its formulas.
#include "skin/engine/sColorMix.h"

#include <gtest/gtest.h>

namespace {
struct TCase {
    TColor a, b;
    double f;
    TColor expected;
};
} // namespace

TEST(ColorMix, BlendColorsKeepsTheFirstColoursHighByte)
{
    const TCase cases[] = {
        {0x05102030, 0x00A0B0C0, 1.0, 0x05102030}, {0x05102030, 0x00A0B0C0, 0.0, 0x05A0B0C0},
        {0x000000FF, 0x00FF0000, 0.5, 0x00800080}, // 127.5 rounds up
        {0x00000064, 0x000000C8, 0.4, 0x000000A0}, // 100 x 0.4 + 200 x 0.6 = 160
        {0x00FFFFFF, 0x00FFFFFF, 1.5, 0x00FFFFFF}, // limited to 255
    };
    for (const TCase& c : cases)
        EXPECT_EQ(BlendColors(c.a, c.b, c.f), c.expected) << std::hex << c.a << " " << c.b << " " << c.f;
}

TEST(ColorMix, AverageColorLeansTowardsTheSecondColour)
{
    EXPECT_EQ(AverageColor(0xFFFFFF, 0), 0x7E7E7E);
    EXPECT_EQ(AverageColor(0, 0xFFFFFF), 0x808080);
    EXPECT_EQ(AverageColor(0x05FFFFFF, 0), 0x7E7E7E);      // high byte 0
    EXPECT_EQ(AverageColor(0x0000C8, 0x000064), 0x000095); // (100 x 127 + 25600) >> 8 = 149
}

TEST(ColorMix, ChangeSaturationMovesTowardsGreyAndIsLimited)
{
    EXPECT_EQ(ChangeSaturation(0x05123456, 0), 0x05123456);
    EXPECT_EQ(ChangeSaturation(RGBColor(30, 60, 90), 100), RGBColor(60, 60, 60));
    EXPECT_EQ(ChangeSaturation(RGBColor(30, 60, 90), 50), RGBColor(45, 60, 75));
    EXPECT_EQ(ChangeSaturation(RGBColor(30, 60, 90), -100), RGBColor(0, 60, 120));
    EXPECT_EQ(ChangeSaturation(RGBColor(10, 10, 250), -100), RGBColor(0, 0, 255)); // -70 and 410 limited
    EXPECT_EQ(ChangeSaturation(RGBColor(10, 11, 11), 50), RGBColor(10, 11, 11));   // 10.33 and 10.83 rounded
}

TEST(ColorMix, ChangeHueTurnsAndWraps)
{
    const struct {
        TColor color;
        int offset;
        TColor expected;
    } cases[] = {
        {RGBColor(255, 0, 0), 120, RGBColor(0, 255, 0)},
        {RGBColor(255, 0, 0), 240, RGBColor(0, 0, 255)},
        {RGBColor(255, 0, 0), -120, RGBColor(0, 0, 255)}, // -120 wraps to 240
        {RGBColor(255, 0, 0), 360, RGBColor(255, 0, 0)},
        {RGBColor(255, 128, 0), 0, RGBColor(255, 128, 0)},   // H 30.1 rounded to 30: 127.5 -> 128
        {RGBColor(255, 128, 0), 30, RGBColor(255, 255, 0)},  // H 60.1 -> 60
        {RGBColor(0, 0, 128), 180, RGBColor(128, 128, 0)},   // V 128/255 kept
        {RGBColor(100, 50, 50), 120, RGBColor(50, 100, 50)}, // S 0.5 kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChangeHue(c.color, c.offset), c.expected) << std::hex << c.color << " " << std::dec << c.offset;
}

TEST(ColorMix, ChangeHueLeavesGreysAndBlackBeforeDividing)
{
    for (TColor grey : {0x000000, 0x808080, 0xFFFFFF, 0x05010101})
        EXPECT_EQ(ChangeHue(grey, 90), grey) << std::hex << grey;
}
