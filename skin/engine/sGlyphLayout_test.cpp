// Glyph and caption placed in a button.
#include "skin/engine/sGlyphLayout.h"

#include <gtest/gtest.h>

namespace {
struct TLayoutCase {
    TButtonLayout layout;
    int margin, spacing;
    unsigned options;
    TPoint glyph;
    TRect text;
};
} // namespace

TEST(GlyphLayout, PlacesGlyphAndCaptionByLayoutMarginAndSpacing)
{
    // Client (0, 0, 100, 30): glyph 16 x 16, text 40 x 13.
    const TLayoutCase cases[] = {
        {blGlyphLeft, -1, 4, 0, {20, 7}, {40, 9, 80, 22}}, // the pair of 60 centred
        {blGlyphLeft, 5, 4, 0, {5, 7}, {25, 9, 65, 22}},
        {blGlyphRight, 5, 4, 0, {79, 7}, {35, 9, 75, 22}},
        {blGlyphLeft, -1, -1, 0, {14, 7}, {44, 9, 84, 22}}, // (100 - 56) div 3 = 14 for both
        {blGlyphLeft, 2, -1, 0, {2, 7}, {39, 9, 79, 22}},   // spacing (100 - 2 - 56) div 2 = 21
        {blGlyphLeft, 5, 4, glRightToLeft, {79, 7}, {35, 9, 75, 22}},
        {blGlyphTop, 1, 0, 0, {42, 1}, {30, 17, 70, 30}},
        {blGlyphBottom, 1, 0, 0, {42, 13}, {30, 0, 70, 13}},
    };
    for (const TLayoutCase& c : cases) {
        TPoint glyph;
        TRect text;
        CalcGlyphLayout(TRect{0, 0, 100, 30}, TPoint{}, TPoint{16, 16}, TPoint{40, 13}, c.layout, c.margin, c.spacing,
                        glyph, text, c.options);
        SCOPED_TRACE(::testing::Message() << c.layout << " " << c.margin << " " << c.spacing << " " << c.options);
        EXPECT_EQ(glyph.X, c.glyph.X);
        EXPECT_EQ(glyph.Y, c.glyph.Y);
        EXPECT_EQ(text, c.text);
    }
}

TEST(GlyphLayout, OffsetAndClientOriginMoveBothAndNoGlyphDropsTheSpacing)
{
    TPoint glyph;
    TRect text;
    CalcGlyphLayout(TRect{10, 20, 110, 50}, TPoint{1, 1}, TPoint{16, 16}, TPoint{40, 13}, blGlyphLeft, -1, 4, glyph,
                    text);
    EXPECT_EQ(glyph.X, 31);
    EXPECT_EQ(glyph.Y, 28);
    EXPECT_EQ(text, (TRect{51, 30, 91, 43}));
    CalcGlyphLayout(TRect{0, 0, 100, 30}, TPoint{}, TPoint{0, 0}, TPoint{40, 13}, blGlyphLeft, -1, 4, glyph, text);
    EXPECT_EQ(text, (TRect{30, 9, 70, 22})); // (100 - 40 + 1) div 2
}
