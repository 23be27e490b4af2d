#include "skin/engine/vxColorManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

// Converts one row: source bytes into a target of `targetSize` bytes of `fill`.
Bytes Convert(TColorManager& cm, const Bytes& source, int count, uint8_t mask, size_t targetSize, uint8_t fill = 0)
{
    Bytes target(targetSize, fill);
    const void* planes[] = {source.data()};
    cm.ConvertLine(planes, target.data(), count, mask);
    return target;
}

void Describe(TColorManager& cm, TColorScheme source, int sourceBits, TColorScheme target, int targetBits)
{
    cm.SetSourceColorScheme(source);
    cm.SetSourceBitsPerSample(sourceBits);
    cm.SetTargetColorScheme(target);
    cm.SetTargetBitsPerSample(targetBits);
}

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EColorConversionError& e) {
        return e.what();
    }
    return "";
}

std::vector<int> GreysOf(const TLogPalette& p)
{
    std::vector<int> greys;
    for (const TPaletteEntry& e : p.Entries) {
        EXPECT_TRUE(e.Red == e.Green && e.Green == e.Blue && e.Flags == 0);
        greys.push_back(e.Red);
    }
    return greys;
}

TEST(ColorManager, GammaPairOfReciprocalsGivesTheIdentity)
{
    TColorManager cm;
    cm.SetGammaPair(0.45455f, 2.2f);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(cm.GammaTable()[static_cast<size_t>(i)], i) << i;
}

TEST(ColorManager, GammaValuesAtOrBelowZeroTakeTheDefaults)
{
    struct Case {
        float file, display, storedFile, storedDisplay;
        int entry128;
    } cases[] = {
        {1.0f, 2.2f, 1.0f, 2.2f, 186}, // (128 / 255) ^ (1 / 2.2) x 255 = 186.4
        {0.0f, 2.2f, 1.0f, 2.2f, 186},  {-3.0f, 2.2f, 1.0f, 2.2f, 186}, {1.0f, 0.0f, 1.0f, 2.2f, 186},
        {1.0f, -1.0f, 1.0f, 2.2f, 186}, {1.0f, 1.0f, 1.0f, 1.0f, 128},  {0.5f, 1.0f, 0.5f, 1.0f, 64},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        cm.SetGammaPair(c.file, c.display);
        EXPECT_EQ(cm.FileGamma(), c.storedFile) << c.file << " " << c.display;
        EXPECT_EQ(cm.DisplayGamma(), c.storedDisplay) << c.file << " " << c.display;
        EXPECT_EQ(cm.GammaTable()[128], c.entry128) << c.file << " " << c.display;
    }
    TColorManager fresh;
    EXPECT_EQ(fresh.GammaTable()[128], 186); // built for the defaults
    EXPECT_EQ(fresh.GammaTable()[255], 255);
}

TEST(ColorManager, GammaTableFollowsTheDepthsAndFillsAllEntries)
{
    TColorManager cm;
    cm.SetSourceBitsPerSample(2);
    cm.SetTargetBitsPerSample(4);
    cm.SetGammaPair(1.0f, 1.0f);
    const int low[4] = {0, 5, 10, 15};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(cm.GammaTable()[static_cast<size_t>(i)], low[i]) << i;
    for (int i = 4; i < 256; ++i)
        EXPECT_EQ(cm.GammaTable()[static_cast<size_t>(i)], 15) << i;
    // Later depth changes do not rebuild it.
    cm.SetSourceBitsPerSample(8);
    EXPECT_EQ(cm.GammaTable()[1], 5);
}

TEST(ColorManager, ResetForImageForgetsThePreviousImage)
{
    TColorManager cm, fresh;
    Describe(cm, csGrey, 2, csGrey, 4);
    cm.SetGammaPair(0.5f, 1.0f);
    cm.TargetOptions.ApplyGamma = true;
    cm.SourceOptions.SwapBytes = true;
    cm.ResetForImage();
    EXPECT_EQ(cm.GammaTable(), fresh.GammaTable());
    EXPECT_FALSE(cm.TargetOptions.ApplyGamma);
    EXPECT_FALSE(cm.SourceOptions.SwapBytes);
    EXPECT_EQ(cm.SourceBitsPerSample(), 8);
    EXPECT_EQ(cm.TargetBitsPerSample(), 8);
    EXPECT_EQ(cm.SourceSamplesPerPixel(), 3);
    EXPECT_EQ(cm.SourceColorScheme(), csRGB);
    EXPECT_EQ(cm.TargetColorScheme(), csBGR);
    EXPECT_EQ(cm.FileGamma(), 1.0f);
    // The next image's palette is no longer corrected.
    const uint8_t rgb[3] = {128, 128, 128};
    EXPECT_EQ(cm.BuildPalette(rgb, plTriples8, 1, false).Entries[0], (TPaletteEntry{128, 128, 128, 0}));
}

TEST(ColorManager, GreyPalettesStepEvenly)
{
    struct Case {
        int bits, samples;
        std::vector<int> first;
        size_t count;
        int last;
    } cases[] = {
        {1, 1, {0, 255}, 2, 255},    {2, 1, {0, 85, 170}, 4, 255}, {4, 1, {0, 17, 34}, 16, 255},
        {8, 1, {0, 1, 2}, 256, 255}, {16, 1, {0, 1, 2}, 256, 255}, {3, 1, {0, 36, 72}, 8, 252},
        {1, 3, {0, 36, 72}, 8, 252},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        cm.SetTargetBitsPerSample(c.bits);
        cm.SetTargetSamplesPerPixel(c.samples);
        TLogPalette p = cm.BuildGreyPalette(false);
        EXPECT_EQ(p.Version, 0x300);
        std::vector<int> greys = GreysOf(p);
        ASSERT_EQ(greys.size(), c.count) << c.bits;
        EXPECT_EQ(std::vector<int>(greys.begin(), greys.begin() + static_cast<ptrdiff_t>(c.first.size())), c.first)
            << c.bits;
        EXPECT_EQ(greys.back(), c.last) << c.bits;
    }
    TColorManager cm;
    cm.SetTargetBitsPerSample(1);
    cm.SetTargetSamplesPerPixel(1);
    EXPECT_EQ(GreysOf(cm.BuildGreyPalette(true)), (std::vector<int>{255, 0}));
    cm.SetTargetBitsPerSample(2);
    cm.TargetOptions.ApplyGamma = true; // table of the defaults: 85 -> 155, 170 -> 212
    EXPECT_EQ(GreysOf(cm.BuildGreyPalette(false)),
              (std::vector<int>{0, cm.GammaTable()[85], cm.GammaTable()[170], 255}));
    EXPECT_EQ(cm.GammaTable()[85], 155);
}

TEST(ColorManager, PalettesFromTriplesAndQuads)
{
    const uint8_t triples[] = {10, 20, 30, 40, 50, 60};
    const uint8_t quads[] = {10, 20, 30, 99, 40, 50, 60, 99};
    TColorManager cm;
    TLogPalette p = cm.BuildPalette(triples, plTriples8, 2, false);
    EXPECT_EQ(p.Version, 0x300);
    EXPECT_EQ(p.Entries, (std::vector<TPaletteEntry>{{10, 20, 30, 0}, {40, 50, 60, 0}}));
    EXPECT_EQ(cm.BuildPalette(quads, plQuads8, 2, false).Entries, p.Entries);
    EXPECT_EQ(cm.BuildPalette(triples, plTriples8, 2, true).Entries,
              (std::vector<TPaletteEntry>{{30, 20, 10, 0}, {60, 50, 40, 0}}));
    EXPECT_TRUE(cm.BuildPalette(triples, plTriples8, 0, false).Entries.empty());
    std::vector<uint8_t> many(300 * 3, 7);
    EXPECT_EQ(cm.BuildPalette(many.data(), plTriples8, 300, false).Entries.size(), 256u);
    cm.TargetOptions.ApplyGamma = true;
    EXPECT_EQ(cm.BuildPalette(triples, plTriples8, 1, false).Entries[0],
              (TPaletteEntry{cm.GammaTable()[10], cm.GammaTable()[20], cm.GammaTable()[30], 0}));
}

TEST(ColorManager, SixteenBitGreyScalesTo255Parts)
{
    struct Case {
        bool swap;
        uint8_t high, low; // bytes in memory order
        uint8_t expected;
    } cases[] = {
        {true, 0xFF, 0xFF, 255}, {true, 0x01, 0x00, 0},    {true, 0x80, 0x00, 127},
        {true, 0x00, 0x80, 0},   {false, 0x00, 0x80, 127}, {false, 0xFF, 0xFE, 254},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        Describe(cm, csGrey, 16, csGrey, 8);
        cm.SourceOptions.SwapBytes = c.swap;
        EXPECT_EQ(Convert(cm, {c.high, c.low}, 1, 0xFF, 1)[0], c.expected)
            << "swap " << c.swap << " bytes " << int(c.high) << " " << int(c.low);
    }
}

TEST(ColorManager, GreyWithAlphaLosesItsAlpha)
{
    TColorManager cm;
    Describe(cm, csGreyAlpha, 8, csIndexed, 8);
    EXPECT_EQ(Convert(cm, {10, 255, 20, 0, 30, 128}, 3, 0xFF, 4, 0xEE), (Bytes{10, 20, 30, 0xEE}));
    EXPECT_TRUE(cm.SourceOptions.HasAlpha);
    Describe(cm, csGreyAlpha, 16, csIndexed, 8);
    cm.SourceOptions.SwapBytes = true;
    EXPECT_EQ(Convert(cm, {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00, 0xFF, 0xFF}, 2, 0xFF, 2), (Bytes{255, 127}));
}

TEST(ColorManager, TwoBitRowsWidenToFourBits)
{
    // 3, 2, 1, 0 packed as 11 10 01 00.
    const Bytes row{0xE4};
    TColorManager grey;
    Describe(grey, csGrey, 2, csGrey, 4);
    EXPECT_EQ(Convert(grey, row, 4, 0xFF, 2), (Bytes{0xFA, 0x50})); // 15, 10, 5, 0
    TColorManager indexed;
    Describe(indexed, csIndexed, 2, csIndexed, 4);
    EXPECT_EQ(Convert(indexed, row, 4, 0xFF, 2), (Bytes{0x32, 0x10})); // 3, 2, 1, 0
    TColorManager eight;
    Describe(eight, csGrey, 1, csGrey, 8);
    EXPECT_EQ(Convert(eight, {0xA0}, 3, 0xFF, 3), (Bytes{255, 0, 255}));
}

TEST(ColorManager, EqualDepthsCopyTheRowBytes)
{
    TColorManager cm;
    Describe(cm, csIndexed, 4, csIndexed, 4);
    // Three 4-bit pixels are two bytes; the third byte stays.
    EXPECT_EQ(Convert(cm, {0x12, 0x34, 0x56}, 3, 0xFF, 3, 0xEE), (Bytes{0x12, 0x34, 0xEE}));
    Describe(cm, csGrey, 8, csGrey, 8);
    EXPECT_EQ(Convert(cm, {1, 2, 3}, 2, 0xFF, 3, 0xEE), (Bytes{1, 2, 0xEE}));
}

TEST(ColorManager, MaskPicksTargetPixelsAndConsumesSourceOnlyForThem)
{
    TColorManager cm;
    Describe(cm, csGrey, 8, csGrey, 8);
    // 0xAA: pixels 0, 2, 4, 6 take the source pixels 1, 2, 3, 4 in turn.
    EXPECT_EQ(Convert(cm, {1, 2, 3, 4}, 8, 0xAA, 8, 0xEE), (Bytes{1, 0xEE, 2, 0xEE, 3, 0xEE, 4, 0xEE}));
    // The bit rotates: with 0x80, pixels 0 and 8 of ten.
    EXPECT_EQ(Convert(cm, {5, 6}, 10, 0x80, 10, 0), (Bytes{5, 0, 0, 0, 0, 0, 0, 0, 6, 0}));
    // Packed targets keep the other bits of the byte: pixel 1 of 4-bit indexes.
    Describe(cm, csIndexed, 2, csIndexed, 4);
    EXPECT_EQ(Convert(cm, {0xC0}, 2, 0x40, 1, 0xAB), (Bytes{0xA3}));
    // RGB pixels: pixel 1 only.
    Describe(cm, csRGB, 8, csBGR, 8);
    EXPECT_EQ(Convert(cm, {1, 2, 3}, 2, 0x40, 6, 0xEE), (Bytes{0xEE, 0xEE, 0xEE, 3, 2, 1}));
}

TEST(ColorManager, RgbBecomesBgrWithAlphaOnlyWhenBothSidesHaveIt)
{
    struct Case {
        TColorScheme source, target;
        int bits;
        bool swap;
        Bytes row, expected;
    } cases[] = {
        {csRGB, csBGR, 8, false, {10, 20, 30, 40, 50, 60}, {30, 20, 10, 60, 50, 40}},
        {csRGBA, csBGRA, 8, false, {10, 20, 30, 40, 50, 60, 70, 80}, {30, 20, 10, 40, 70, 60, 50, 80}},
        {csRGBA, csBGR, 8, false, {10, 20, 30, 40, 50, 60, 70, 80}, {30, 20, 10, 70, 60, 50}},
        {csRGB, csBGR, 16, true, {0xFF, 0xFF, 0x80, 0x00, 0x01, 0x00}, {0, 127, 255}},
        {csRGBA, csBGRA, 16, true, {0xFF, 0xFF, 0, 0, 0, 0, 0x80, 0x00}, {0, 0, 255, 127}},
        {csRGB, csBGR, 16, false, {0xFF, 0xFF, 0x00, 0x80, 0x00, 0x01}, {0, 127, 255}},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        Describe(cm, c.source, c.bits, c.target, 8);
        cm.SourceOptions.SwapBytes = c.swap;
        size_t pixels = c.row.size() / (c.bits / 8) / (c.source == csRGBA ? 4 : 3);
        EXPECT_EQ(Convert(cm, c.row, static_cast<int>(pixels), 0xFF, c.expected.size()), c.expected)
            << c.source << "->" << c.target << " " << c.bits;
    }
}

TEST(ColorManager, GammaReachesColoursButNotAlpha)
{
    TColorManager cm;
    Describe(cm, csRGBA, 8, csBGRA, 8);
    cm.SetGammaPair(1.0f, 2.2f);
    cm.TargetOptions.ApplyGamma = true;
    const auto& g = cm.GammaTable();
    EXPECT_EQ(Convert(cm, {64, 128, 192, 128}, 1, 0xFF, 4), (Bytes{g[192], g[128], g[64], 128}));
    EXPECT_NE(g[128], 128);
    Describe(cm, csRGB, 16, csBGR, 8);
    cm.SourceOptions.SwapBytes = true;
    EXPECT_EQ(Convert(cm, {0x80, 0x00, 0x80, 0x00, 0x80, 0x00}, 1, 0xFF, 3), (Bytes{g[127], g[127], g[127]}));
    // Grey samples are never corrected.
    Describe(cm, csGrey, 8, csGrey, 8);
    EXPECT_EQ(Convert(cm, {128, 64}, 2, 0x80, 2, 0), (Bytes{128, 0}));
}

TEST(ColorManager, SettersRefuseDepthsAndSampleCountsOutOfRange)
{
    const std::string depth = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
    const std::string samples = "Sample count per pixel does not correspond to the given color scheme.";
    TColorManager cm;
    EXPECT_EQ(ErrorOf([&] { cm.SetSourceBitsPerSample(17); }), depth);
    EXPECT_EQ(ErrorOf([&] { cm.SetSourceBitsPerSample(0); }), depth);
    EXPECT_EQ(ErrorOf([&] { cm.SetTargetBitsPerSample(17); }), depth);
    EXPECT_EQ(ErrorOf([&] { cm.SetTargetBitsPerSample(-1); }), depth);
    EXPECT_EQ(ErrorOf([&] { cm.SetSourceSamplesPerPixel(0); }), samples);
    EXPECT_EQ(ErrorOf([&] { cm.SetSourceSamplesPerPixel(5); }), samples);
    EXPECT_EQ(ErrorOf([&] { cm.SetTargetSamplesPerPixel(0); }), samples);
    EXPECT_EQ(ErrorOf([&] { cm.SetTargetSamplesPerPixel(5); }), samples);
    EXPECT_EQ(cm.SourceBitsPerSample(), 8);
    EXPECT_EQ(cm.TargetBitsPerSample(), 8);
    EXPECT_EQ(cm.SourceSamplesPerPixel(), 3);
    EXPECT_EQ(cm.TargetSamplesPerPixel(), 3);
    EXPECT_EQ(ErrorOf([&] { cm.SetSourceBitsPerSample(16); }), "");
    EXPECT_EQ(ErrorOf([&] { cm.SetTargetSamplesPerPixel(4); }), "");
}

TEST(ColorManager, ConversionsWithoutAConverterFail)
{
    const std::string mix = "Conversion between indexed and non-indexed pixel formats is not supported.";
    const std::string none = "Color conversion failed. Could not find a proper method.";
    struct Case {
        TColorScheme source;
        int sourceBits;
        TColorScheme target;
        int targetBits;
        std::string error;
    } cases[] = {
        {csGrey, 8, csBGR, 8, mix},        {csIndexed, 8, csBGRA, 8, mix},      {csRGB, 8, csGrey, 8, mix},
        {csRGB, 8, csIndexed, 8, mix},     {csGreyAlpha, 8, csRGBA, 8, mix},    {csRGB, 8, csRGB, 8, none},
        {csBGR, 8, csBGR, 8, none},        {csIndexed, 16, csIndexed, 8, none}, {csGrey, 16, csGrey, 4, none},
        {csGreyAlpha, 4, csGrey, 8, none}, {csRGB, 4, csBGR, 8, none},          {csGrey, 2, csGrey, 4, ""},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        Describe(cm, c.source, c.sourceBits, c.target, c.targetBits);
        Bytes source(16, 0), target(16, 0);
        const void* planes[] = {source.data()};
        EXPECT_EQ(ErrorOf([&] { cm.ConvertLine(planes, target.data(), 2, 0xFF); }), c.error)
            << c.source << "/" << c.sourceBits << " -> " << c.target << "/" << c.targetBits;
        // The same failure on the next row; a failing pick leaves the flags as they were.
        EXPECT_EQ(ErrorOf([&] { cm.ConvertLine(planes, target.data(), 2, 0xFF); }), c.error);
        if (c.error == mix) {
            EXPECT_FALSE(cm.SourceOptions.HasAlpha);
        }
    }
}

TEST(ColorManager, OutputFormatFollowsTheTarget)
{
    struct Case {
        int samples, bits;
        TPixelFormat format;
    } cases[] = {
        {1, 1, pf1bit},  {1, 2, pf4bit},   {1, 4, pf4bit},   {1, 5, pfCustom}, {1, 8, pf8bit},
        {1, 16, pf8bit}, {3, 1, pf15bit},  {3, 5, pf15bit},  {3, 8, pf24bit},  {3, 16, pf24bit},
        {4, 8, pf32bit}, {4, 16, pf32bit}, {4, 4, pfCustom}, {2, 8, pfCustom},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        cm.SetTargetSamplesPerPixel(c.samples);
        cm.SetTargetBitsPerSample(c.bits);
        EXPECT_EQ(cm.OutputPixelFormat(), c.format) << c.samples << " x " << c.bits;
    }
}

} // namespace
