#include "skin/engine/vxResample.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/engine/tests/TestRows.h"

namespace {

std::vector<ptrdiff_t> PixelsOf(const TvxContributors& c, int i)
{
    std::vector<ptrdiff_t> pixels;
    for (const TvxContributor& t : c.Of(i))
        pixels.push_back(t.Pixel);
    return pixels;
}

int WeightSum(const TvxContributors& c, int i)
{
    int sum = 0;
    for (const TvxContributor& t : c.Of(i))
        sum += t.Weight;
    return sum;
}

TEST(Resample, KernelsAtTheirKnownPoints)
{
    struct Case {
        int filter;
        double x, expected;
    } cases[] = {
        {0, 0.0, 1.0}, {0, 0.5, 1.0},  {0, 0.51, 0.0},      {1, 0.25, 0.75},      {1, 1.0, 0.0},
        {2, 0.5, 0.5}, {3, 0.0, 0.75}, {3, 1.0, 0.125},     {4, 0.0, 2.0 / 3.0},  {4, 1.0, 1.0 / 6.0},
        {5, 0.0, 1.0}, {5, 1.0, 0.0},  {6, 0.0, 8.0 / 9.0}, {6, 1.0, 1.0 / 18.0}, {6, 2.0, 0.0},
        {7, 0.0, 0.0}, {-1, 0.0, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(FilterKernel(c.filter, c.x), c.expected, 1e-12) << c.filter << " " << c.x;
    EXPECT_DOUBLE_EQ(FilterSupport(0), 0.51);
    EXPECT_DOUBLE_EQ(FilterSupport(5), 3.0);
    EXPECT_DOUBLE_EQ(FilterSupport(7), 0.0);
}

TEST(Resample, ContributorsMirrorAtTheEdges)
{
    // Halving 10 pixels with the B-spline: index -2 reads pixel 2, index S + 1 = 11 reads S - 2.
    TvxContributors c(5, 10, 4, 1);
    ASSERT_EQ(c.Size(), 5);
    EXPECT_EQ(PixelsOf(c, 0), (std::vector<ptrdiff_t>{3, 2, 1, 0, 1, 2, 3}));
    EXPECT_EQ(PixelsOf(c, 4), (std::vector<ptrdiff_t>{5, 6, 7, 8, 9, 9, 8}));
    // 16.16 weights: the centre tap 2/3 x 0.5 x 65536 = 21845.33 -> 21845.
    EXPECT_EQ(c.Of(0)[3].Weight, 21845);
    EXPECT_NEAR(WeightSum(c, 2), 65536, 8);
    // The step multiplies the index: a vertical pass with rows 40 bytes apart, bottom-up.
    TvxContributors rows(5, 10, 4, -40);
    EXPECT_EQ(rows.Of(0)[0].Pixel, -120);
}

TEST(Resample, MirroredIndexesStayInsideSmallSources)
{
    // A 2-pixel source under the Lanczos-type filter (support 3) halved: taps reach j = -5..5.
    TvxContributors c(1, 2, 5, 1);
    ASSERT_EQ(c.Size(), 1);
    EXPECT_GT(c.Of(0).size(), 4u);
    for (const TvxContributor& t : c.Of(0)) {
        EXPECT_GE(t.Pixel, 0);
        EXPECT_LE(t.Pixel, 1);
    }
}

TEST(Resample, BoxUpscaleNeverMakesBlackPixels)
{
    TvxContributors c(4, 2, 0, 1);
    EXPECT_EQ(PixelsOf(c, 1), (std::vector<ptrdiff_t>{0, 1}));
    EXPECT_EQ(c.Of(1)[0].Weight, 32768);
    EXPECT_EQ(c.Of(1)[1].Weight, 32768);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(WeightSum(c, i), 65536) << i;

    // A row 0, 200 doubled: 0, 100, 200, 200.
    TTestRows source(2, 2, 3), work(4, 2, 3, false, 0x55);
    source.SetPixel(1, 0, 0xC8C8C8);
    source.SetPixel(1, 1, 0xC8C8C8);
    ResampleHorizontal(source.Lines(), work.Lines(), 0);
    const uint32_t expected[4] = {0x000000, 0x646464, 0xC8C8C8, 0xC8C8C8};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(work.Pixel(x, 0), expected[x]) << x;
}

// The largest distance of any byte of the rows from value.
int Worst(TTestRows& rows, int w, int h, int bpp, uint32_t value)
{
    int worst = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int k = 0; k < bpp; ++k) {
                int want = static_cast<int>(value >> (8 * k) & 0xFF);
                worst = std::max(worst, std::abs(rows.At(x, y)[k] - want));
            }
        }
    }
    return worst;
}

// A constant image scaled through both passes: the worst distance after the horizontal pass
// and after the vertical one.
std::pair<int, int> ScaleConstant(int bpp, int w, int h, int newW, int newH, int filter, uint32_t value)
{
    TTestRows source(w, h, bpp, true), work(newW, h, bpp, false), dest(newW, newH, bpp, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            source.SetPixel(x, y, value);
    ResampleHorizontal(source.Lines(), work.Lines(), filter);
    ResampleVertical(work.Lines(), dest.Lines(), filter);
    return {Worst(work, newW, h, bpp, value), Worst(dest, newW, newH, bpp, value)};
}

TEST(Resample, ConstantImagesStayConstantUnderFiltersThatSumToOne)
{
    // Weights sum to 1 on every upscale and on shrinking by a whole factor; each pass truncates
    // its sums (>> 16) over weights rounded to 1/65536 and so may lose 1.
    struct Size {
        int w, h, newW, newH;
    } sizes[] = {{7, 5, 13, 11}, {2, 2, 9, 7}, {5, 6, 10, 12}, {2, 3, 3, 4}, {12, 12, 6, 4}, {30, 20, 10, 10}};
    for (int filter : {0, 1, 2, 3, 4, 6}) {
        for (const Size& s : sizes) {
            for (int bpp : {3, 4}) {
                auto [h, v] = ScaleConstant(bpp, s.w, s.h, s.newW, s.newH, filter, 0xFF2896C8);
                EXPECT_LE(h, 1) << "filter " << filter << " " << s.w << "x" << s.h << " -> " << s.newW << "x" << s.newH;
                EXPECT_LE(v, 2) << "filter " << filter << " " << s.w << "x" << s.h << " -> " << s.newW << "x" << s.newH;
            }
        }
    }
    // The box filter's weights are normalised, so it is exact at any ratio.
    for (const Size& s : {Size{7, 5, 13, 11}, Size{13, 11, 4, 3}, Size{30, 20, 7, 19}, Size{9, 9, 5, 7}})
        EXPECT_EQ(ScaleConstant(4, s.w, s.h, s.newW, s.newH, 0, 0xFFFFFFFF), std::make_pair(0, 0))
            << s.w << "x" << s.h << " -> " << s.newW << "x" << s.newH;
}

TEST(Resample, UnknownFilterGivesBlack)
{
    for (int filter : {7, -1, 100}) {
        EXPECT_EQ(ScaleConstant(4, 6, 6, 9, 4, filter, 0xC8C8C8C8), std::make_pair(200, 200)) << filter; // all 0
    }
}

TEST(Resample, SumsAreClampedToTheByteRange)
{
    // Mitchell's negative lobes over a dark-to-white edge at 8 -> 20: pixel 6 (centre 2.4) sums
    // to about -7, pixel 14 (centre 5.6) to about 262.
    TTestRows source(8, 2, 3), work(20, 2, 3, false, 0x55);
    for (int x = 4; x < 8; ++x) {
        source.SetPixel(x, 0, 0xFFFFFF);
        source.SetPixel(x, 1, 0xFFFFFF);
    }
    ResampleHorizontal(source.Lines(), work.Lines(), 6);
    EXPECT_EQ(work.Pixel(6, 0), 0u);
    EXPECT_EQ(work.Pixel(14, 0), 0xFFFFFFu);
    EXPECT_EQ(work.Pixel(0, 1), 0u);
    EXPECT_EQ(work.Pixel(19, 1), 0xFFFFFFu);
}

} // namespace
