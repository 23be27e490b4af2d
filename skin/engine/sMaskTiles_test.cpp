// The pieces of border images and textures: where each copy lands and what is left.
#include "skin/engine/sMaskTiles.h"

#include <gtest/gtest.h>

#include <ostream>

static std::ostream& operator<<(std::ostream& o, const TRect& r)
{
    return o << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
static std::ostream& operator<<(std::ostream& o, const TsPiece& p)
{
    return o << p.Src << "->" << p.Dst << (p.Corner ? " corner" : "");
}

TEST(MaskTiles, BordersShrinkIntoSmallRectanglesRightFirst)
{
    const struct {
        TsBorderWidths w;
        int width, height;
        TsBorderWidths expected;
    } cases[] = {
        {{10, 10, 10, 10}, 15, 15, {7, 7, 6, 6}}, // the half rounded up, the odd pixel from the right
        {{10, 10, 10, 10}, 16, 20, {8, 10, 8, 10}},
        {{10, 4, 10, 4}, 20, 7, {10, 3, 10, 2}}, // 8 in 7: d 1, bottom one more
        {{10, 10, 10, 10}, 3, 0, {1, 0, 0, 0}},
        {{10, 10, 10, 10}, 1, 2, {0, 1, 0, 1}},
        {{3, 4, 5, 6}, 8, 10, {3, 4, 5, 6}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShrinkBorders(c.w, c.width, c.height), c.expected) << c.width << " x " << c.height;
}

TEST(MaskTiles, BorderSidesAreTiledFromTheInnerEdgeInStepsOfTheMiddle)
{
    // Frame 20 x 20 at x 100, borders 6: middle part 8 x 8.
    const auto pieces = BorderPieces(TRect{0, 0, 30, 20}, TRect{100, 0, 120, 20}, {6, 6, 6, 6}, false, false);
    const std::vector<TsPiece> expected = {
        {{100, 0, 106, 6}, {0, 0, 6, 6}, true},     {{114, 0, 120, 6}, {24, 0, 30, 6}, true},
        {{100, 14, 106, 20}, {0, 14, 6, 20}, true}, {{114, 14, 120, 20}, {24, 14, 30, 20}, true},
        {{100, 6, 106, 14}, {0, 6, 6, 14}},                                             // left
        {{106, 0, 114, 6}, {6, 0, 14, 6}},                                              // top, in steps of 8
        {{106, 0, 114, 6}, {14, 0, 22, 6}},         {{106, 0, 108, 6}, {22, 0, 24, 6}}, // cut to the band
        {{114, 6, 120, 14}, {24, 6, 30, 14}},                                           // right
        {{106, 14, 114, 20}, {6, 14, 14, 20}},      {{106, 14, 114, 20}, {14, 14, 22, 20}},
        {{106, 14, 108, 20}, {22, 14, 24, 20}},
    };
    ASSERT_EQ(pieces.size(), expected.size());
    for (size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(pieces[i], expected[i]) << i << ": " << pieces[i];
}

TEST(MaskTiles, ThinnerPiecesStillRepeatTheMiddleInsideTheCutWidths)
{
    // Frame 20 x 20, pieces 3 thick, middle part inside widths 6: 8 x 8 at (6, 6).
    const auto pieces = BorderPieces(TRect{0, 0, 30, 30}, TRect{0, 0, 20, 20}, {3, 3, 3, 3}, {6, 6, 6, 6}, false, true);
    ASSERT_GE(pieces.size(), 6u);
    EXPECT_EQ(pieces[1], (TsPiece{{17, 0, 20, 3}, {27, 0, 30, 3}, true}));
    EXPECT_EQ(pieces[4], (TsPiece{{0, 6, 3, 14}, {0, 3, 3, 11}}));         // left side, first step
    EXPECT_EQ(pieces[7], (TsPiece{{6, 0, 14, 3}, {3, 0, 11, 3}}));         // top side, first step
    EXPECT_EQ(pieces.back(), (TsPiece{{6, 6, 14, 14}, {19, 19, 27, 27}})); // middle, last copy
}

TEST(MaskTiles, StretchedBordersHaveOnePiecePerSideAndTheMiddleOnlyWhenAsked)
{
    const TRect r{0, 0, 50, 30}, frame{0, 0, 20, 20};
    const auto plain = BorderPieces(r, frame, {6, 6, 6, 6}, true, false);
    ASSERT_EQ(plain.size(), 8u);
    EXPECT_EQ(plain[4], (TsPiece{{0, 6, 6, 14}, {0, 6, 6, 24}}));
    EXPECT_EQ(plain[5], (TsPiece{{6, 0, 14, 6}, {6, 0, 44, 6}}));
    const auto full = BorderPieces(r, frame, {6, 6, 6, 6}, true, true);
    ASSERT_EQ(full.size(), 9u);
    EXPECT_EQ(full[8], (TsPiece{{6, 6, 14, 14}, {6, 6, 44, 24}}));
    const auto tiled = BorderPieces(TRect{0, 0, 30, 30}, frame, {6, 6, 6, 6}, false, true);
    ASSERT_EQ(tiled.size(), 4u + 3 * 4 + 9);
    EXPECT_EQ(tiled.back(), (TsPiece{{6, 6, 8, 8}, {22, 22, 24, 24}}));
    // A frame without a middle part draws its corners only.
    EXPECT_EQ(BorderPieces(r, TRect{0, 0, 12, 12}, {6, 6, 6, 6}, false, true).size(), 4u);
}

TEST(MaskTiles, TextureModesPlaceTheFrameAndLeaveThePartForTheFill)
{
    const TRect r{10, 10, 50, 45}; // 40 x 35, frame 16 x 16
    const TRect none{-1, -1, -1, -1};
    const struct {
        int mode;
        size_t count;
        TsPiece first, last;
        TRect rest;
    } cases[] = {
        {0, 9, {{0, 0, 16, 16}, {10, 10, 26, 26}}, {{0, 0, 8, 3}, {42, 42, 50, 45}}, none},
        {9, 9, {{0, 0, 16, 16}, {10, 10, 26, 26}}, {{0, 0, 8, 3}, {42, 42, 50, 45}}, none},
        {10, 6, {{0, 0, 16, 16}, {10, 10, 26, 26}}, {{0, 0, 8, 16}, {42, 26, 50, 42}}, none},
        {1, 1, {{0, 0, 16, 16}, {10, 10, 50, 45}}, {{0, 0, 16, 16}, {10, 10, 50, 45}}, none},
        {4, 1, {{0, 0, 16, 16}, {10, 10, 50, 26}}, {{0, 0, 16, 16}, {10, 10, 50, 26}}, {10, 26, 50, 45}},
        {5, 1, {{0, 0, 16, 16}, {10, 10, 26, 45}}, {{0, 0, 16, 16}, {10, 10, 26, 45}}, {26, 10, 50, 45}},
        {2, 3, {{0, 0, 16, 16}, {10, 10, 26, 26}}, {{0, 0, 8, 16}, {42, 10, 50, 26}}, {10, 26, 50, 45}},
        {3, 3, {{0, 0, 16, 16}, {10, 10, 26, 26}}, {{0, 0, 16, 3}, {10, 42, 26, 45}}, {26, 10, 50, 45}},
        {6, 3, {{0, 0, 16, 16}, {10, 29, 26, 45}}, {{0, 0, 8, 16}, {42, 29, 50, 45}}, {10, 10, 50, 29}},
        {7, 3, {{0, 0, 16, 16}, {34, 10, 50, 26}}, {{0, 0, 16, 3}, {34, 42, 50, 45}}, {10, 10, 34, 45}},
    };
    for (const auto& c : cases) {
        TRect rest{1, 2, 3, 4};
        const auto pieces = TexturePieces(c.mode, r, 16, 16, rest);
        SCOPED_TRACE(c.mode);
        ASSERT_EQ(pieces.size(), c.count);
        EXPECT_EQ(pieces.front(), c.first) << pieces.front();
        EXPECT_EQ(pieces.back(), c.last) << pieces.back();
        EXPECT_EQ(rest, c.rest) << rest;
    }
}

TEST(MaskTiles, TexturesLargerThanTheRectangleAreCutAndLeaveNothing)
{
    TRect rest;
    auto pieces = TexturePieces(2, TRect{0, 0, 40, 10}, 16, 16, rest);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], (TsPiece{{0, 0, 16, 10}, {0, 0, 16, 10}}));
    EXPECT_EQ(rest, (TRect{-1, -1, -1, -1}));
    pieces = TexturePieces(10, TRect{0, 0, 40, 10}, 16, 16, rest); // no whole row
    EXPECT_TRUE(pieces.empty());
    pieces = TexturePieces(0, TRect{0, 0, 40, 40}, 0, 16, rest); // an empty frame draws nothing
    EXPECT_TRUE(pieces.empty());
    EXPECT_EQ(rest, (TRect{0, 0, 40, 40}));
}
