// Whole sections painted into bitmaps: the background by transparency over a cache or a fill
// colour, gradients, each texture mode with the part left for the fill, a gradient summed over
// a texture, the border and corner images, and the disabled looks.
#include "skin/engine/sSectionPaint.h"

#include <gtest/gtest.h>

#include "gui/base/MemIniFile.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/PaintBitmaps.h"
#include "skin/engine/tests/TestSkins.h"

using namespace painttest;
using namespace skintest;
using testskins::TestColor;

namespace {
constexpr COLORREF C = RGB(200, 100, 0); // 25800

TsCacheInfo Fill(COLORREF c)
{
    TsCacheInfo i;
    i.FillColor = static_cast<TColor>(c);
    return i;
}

const char* const SkinText = R"([T0]
COLOR=25800
[T50]
COLOR=25800
TRANSPARENCY=50
[T100]
COLOR=25800
TRANSPARENCY=100
[HOT]
COLOR=25800
TRANSPARENCY=100
HOTCOLOR=255
HOTTRANSPARENCY=0
[GRAD]
COLOR=25800
GRADIENTPERCENT=100
GRADIENTDATA=0;16777215;100;0;0
[GRAD50]
COLOR=25800
TRANSPARENCY=50
GRADIENTPERCENT=100
GRADIENTDATA=0;16777215;100;0;0
[NOGRADTEXT]
COLOR=25800
GRADIENTPERCENT=100
)";

class SectionPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        TStringList lines;
        lines.SetText(SkinText);
        const TMemIniFile ini(lines);
        TsFolderImages none("");
        m.LoadSkinTables(ini, none, "");
    }
    // Paints section into (2, 2, 8, 8) of a 10 x 10 bitmap and answers the pixel at (x, y).
    COLORREF Paint(const char* section, const TsCacheInfo& cache, int x = 4, int y = 4, int state = 0,
                   TColor color = clFuchsia)
    {
        auto b = Filled(10, 10);
        PaintSectionBackground(b.get(), TRect{2, 2, 8, 8}, cache, &m, m.GetSkinIndex(section), state, color);
        EXPECT_EQ(Px(*b, 1, 1), Back);
        EXPECT_EQ(Px(*b, 8, 8), Back);
        return Px(*b, x, y);
    }
    TsSkinManager m{nullptr};
};
} // namespace

TEST_F(SectionPaint, TransparencyZeroFiftyAndHundredWithAndWithoutReadyCache)
{
    auto cache = Coded(30, 30);
    auto grey = Filled(30, 30, RGB(100, 100, 100));
    const TsCacheInfo none = Fill(clFuchsia);
    const struct {
        const char* section;
        TsCacheInfo cache;
        COLORREF expected;
    } cases[] = {
        {"T0", none, C},
        {"T0", MakeCacheInfo(cache.get(), 3, 4), C},
        {"T100", Fill(RGB(1, 2, 3)), RGB(1, 2, 3)},
        {"T100", MakeCacheInfo(cache.get(), 3, 4), RGB(3 + 4, 4 + 4, 9)}, // the cache at the offset + (4, 4)
        {"T100", none, C},                                                // nothing to show through
        {"T50", Fill(RGB(0, 0, 0)), RGB(100, 50, 0)},                     // BlendColors(fill, C, 0.5)
        {"T50", Fill(RGB(100, 100, 100)), RGB(150, 100, 50)},
        {"T50", MakeCacheInfo(grey.get(), 0, 0), RGB(150, 100, 50)}, // (c x 128 + 100 x 127 + 127) >> 8
        {"T50", none, C},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Paint(c.section, c.cache), c.expected) << c.section << " ready " << int(c.cache.Ready);
}

TEST_F(SectionPaint, TransparentOverItsOwnCacheAndInThirtyTwoBits)
{
    auto b = Filled(10, 10);
    PaintSectionBackground(b.get(), TRect{0, 0, 10, 10}, MakeCacheInfo(b.get(), 0, 0), &m, m.GetSkinIndex("T100"), 0);
    EXPECT_EQ(Px(*b, 5, 5), Back);
    auto b32 = Filled(10, 10, Back, pf32bit);
    SetAlphaChannel(b32.get(), TRect{0, 0, 10, 10}, 0);
    PaintSectionBackground(b32.get(), TRect{0, 0, 10, 10}, Fill(RGB(1, 2, 3)), &m, m.GetSkinIndex("T100"), 0);
    const auto* p = static_cast<const uint8_t*>(b32->ScanLine(5)) + 4 * 5;
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(p[2], 1);
    EXPECT_EQ(p[3], 255);
}

TEST_F(SectionPaint, GivenColourHotStateAndBadInput)
{
    EXPECT_EQ(Paint("T100", Fill(RGB(1, 2, 3)), 4, 4, 0, clLime), RGB(0, 255, 0)); // colour given: opaque
    EXPECT_EQ(Paint("HOT", Fill(RGB(1, 2, 3)), 4, 4, 1), RGB(255, 0, 0));          // hot values
    EXPECT_EQ(Paint("HOT", Fill(RGB(1, 2, 3)), 4, 4, 0), RGB(1, 2, 3));
    EXPECT_EQ(Paint("NOSUCH", Fill(RGB(1, 2, 3))), Back);
    auto b = Filled(10, 10);
    PaintSectionBackground(b.get(), TRect{5, 5, 5, 9}, Fill(RGB(1, 2, 3)), &m, 0, 0);
    PaintSectionBackground(nullptr, TRect{0, 0, 5, 5}, Fill(RGB(1, 2, 3)), &m, 0, 0);
    EXPECT_EQ(Px(*b, 5, 5), Back);
}

TEST_F(SectionPaint, GradientsAndTheirFallbackColour)
{
    auto b = Filled(4, 10);
    PaintSectionBackground(b.get(), TRect{0, 0, 4, 10}, Fill(clFuchsia), &m, m.GetSkinIndex("GRAD"), 0);
    EXPECT_EQ(Px(*b, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Px(*b, 1, 9), RGB(255, 255, 255));
    PaintSectionBackground(b.get(), TRect{0, 0, 4, 10}, Fill(RGB(0, 0, 0)), &m, m.GetSkinIndex("GRAD50"), 0);
    EXPECT_EQ(Px(*b, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Px(*b, 1, 9), RGB(127, 127, 127)); // (255 x 128 + 127) >> 8 over black
    PaintSectionBackground(b.get(), TRect{0, 0, 4, 10}, Fill(clFuchsia), &m, m.GetSkinIndex("NOGRADTEXT"), 0);
    EXPECT_EQ(Px(*b, 1, 9), C);
}

TEST_F(SectionPaint, BorderBackgroundOfAPartShiftsTheCacheOffsets)
{
    auto cache = Coded(40, 40);
    auto b = Filled(10, 10);
    PaintSectionBorderBackground(b.get(), TRect{10, 5, 20, 15}, m.GetSkinIndex("T100"), -1, &m, 0,
                                 MakeCacheInfo(cache.get(), 3, 4));
    EXPECT_EQ(Px(*b, 0, 0), RGB(13, 9, 9));
    EXPECT_EQ(Px(*b, 9, 9), RGB(22, 18, 9));
}

TEST_F(SectionPaint, DisabledLooks)
{
    const auto control = [] { return Filled(4, 4, RGB(200, 100, 0)); };
    auto b = control();
    ApplyDisabledKind(b.get(), dkGrayed, TPoint{}, Fill(clFuchsia));
    EXPECT_EQ(Px(*b, 0, 0), RGB(100, 100, 100));
    auto grey = Filled(20, 20, RGB(50, 50, 50));
    b = control();
    ApplyDisabledKind(b.get(), dkBlended, TPoint{1, 1}, MakeCacheInfo(grey.get(), 2, 2));
    EXPECT_EQ(Px(*b, 3, 3), RGB(110, 70, 30)); // 60 % background, 40 % control
    auto coded = Coded(20, 20);
    b = control();
    ApplyDisabledKind(b.get(), dkBlended | dkGrayed, TPoint{1, 2}, MakeCacheInfo(coded.get(), 2, 3));
    // Grey 100 first; then the background pixel (2 + 1 + 1, 3 + 2 + 1) = (4, 6, 9) at 60 %.
    EXPECT_EQ(Px(*b, 1, 1), RGB(42, 44, 45));
    b = control();
    ApplyDisabledKind(b.get(), dkBlended, TPoint{}, Fill(RGB(0, 0, 0)));
    EXPECT_EQ(Px(*b, 0, 0), RGB(100, 50, 0));
    b = control();
    ApplyDisabledKind(b.get(), dkBlended, TPoint{}, Fill(clFuchsia), clWhite);
    EXPECT_EQ(Px(*b, 0, 0), RGB(228, 178, 128));
}

namespace {
class MasksSections : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks"))); }
    TsGeneralData& Section(const char* name) { return m.GeneralData.at(static_cast<size_t>(m.GetSkinIndex(name))); }
    TsMaskData& Mask(const char* section, const char* key)
    {
        return m.MaskData.at(static_cast<size_t>(m.GetMaskIndexByName(section, key)));
    }
    // The section painted into (2, 3, 42, 38) of a 44 x 40 bitmap.
    std::unique_ptr<TBitmap> Paint(const char* section, int state = 0)
    {
        auto b = Filled(44, 40);
        PaintSectionBackground(b.get(), TRect{2, 3, 42, 38}, Fill(clFuchsia), &m, m.GetSkinIndex(section), state);
        return b;
    }
    TsSkinManager m{nullptr};
};
} // namespace

TEST_F(MasksSections, EachTextureModeAndThePartLeftForTheFill)
{
    // COMBOBTN's PATTERN: a 16 x 16 texture (image 11), transparent corner pixels; COLOR C0C0C0.
    Section("COMBOBTN").ImagePercent = 100;
    const COLORREF t = TestColor(11, 0, 4), fill = RGB(192, 192, 192), key = testskins::Transparent;
    const struct {
        int mode;
        int x, y; // inside R
        COLORREF expected;
    } cases[] = {
        {0, 17, 17, t},    {0, 16, 16, key}, {0, 39, 34, t},    {0, 5, 33, t},    {10, 5, 20, t},
        {10, 5, 33, Back}, // the last row lower than a frame stays unpainted
        {2, 5, 5, t},      {2, 5, 20, fill}, {3, 5, 20, t},     {3, 20, 5, fill}, {6, 5, 20, t},
        {6, 0, 19, key},   {6, 5, 10, fill}, {7, 30, 5, t},     {7, 24, 0, key},  {7, 10, 5, fill},
        {1, 20, 17, t},    {4, 20, 8, t},    {4, 20, 25, fill}, {5, 8, 17, t},    {5, 30, 17, fill},
    };
    for (const auto& c : cases) {
        Mask("COMBOBTN", "PATTERN").StretchMode = static_cast<uint16_t>(c.mode);
        auto b = Paint("COMBOBTN");
        EXPECT_EQ(Px(*b, 2 + c.x, 3 + c.y), c.expected) << "mode " << c.mode << " at " << c.x << "," << c.y;
        EXPECT_EQ(Px(*b, 1, 2), Back);
    }
}

TEST_F(MasksSections, MaskedTexturesOnlyInModesZeroAndTen)
{
    Section("SCROLLBAR1H").HotImagePercent = 100; // HOTPATTERN: image 9, mask type 1
    auto b = Paint("SCROLLBAR1H", 1);
    EXPECT_EQ(Px(*b, 2 + 5, 3 + 5), TestColor(9, 0, 4));
    Mask("SCROLLBAR1H", "HOTPATTERN").StretchMode = 2;
    b = Paint("SCROLLBAR1H", 1);
    EXPECT_EQ(Px(*b, 2 + 5, 3 + 5), RGB(255, 255, 255)); // HOTCOLOR's default
}

TEST_F(MasksSections, GradientOverTextureSummedWithTheImagePercent)
{
    TsGeneralData& s = Section("COMBOBTN");
    s.GradientPercent = 100;
    s.GradientArray = {TsGradColor{static_cast<TColor>(RGB(0, 0, 100)), static_cast<TColor>(RGB(0, 0, 100)), 100}};
    const struct {
        int imagePercent;
        COLORREF expected;
    } cases[] = {
        {100, RGB(11, 4, 199)}, // (texture x 255 + 127) >> 8
        {50, RGB(5, 2, 149)},   // (gradient x 128 + texture x 127 + 127) >> 8
        {0, RGB(0, 0, 100)},    // no texture: the gradient alone
    };
    for (const auto& c : cases) {
        s.ImagePercent = c.imagePercent;
        auto b = Paint("COMBOBTN");
        EXPECT_EQ(Px(*b, 2 + 17, 3 + 17), c.expected) << c.imagePercent;
    }
    s.GradientArray.clear(); // no steps: the colour C0C0C0 instead
    s.ImagePercent = 50;
    auto b = Paint("COMBOBTN");
    EXPECT_EQ(Px(*b, 2 + 17, 3 + 17), RGB(101, 98, 195));
}

TEST_F(MasksSections, JpegPatternsAreTiled)
{
    Section("PANEL_LOW").ImagePercent = 100;
    auto b = Paint("PANEL_LOW");
    TBitmap& pattern = *m.PatternData.at(0).Img;
    for (int y : {0, 7, 16, 34})
        for (int x : {0, 15, 16, 39})
            EXPECT_EQ(Px(*b, 2 + x, 3 + y), pattern.Canvas().Pixel(x % 16, y % 16)) << x << "," << y;
}

TEST_F(MasksSections, PaintSectionDrawsBackgroundBorderAndCornerImages)
{
    const int button = m.GetSkinIndex("BUTTON"); // COLOR D8D8D8, border image 2 (masked, middle), corner 17
    const COLORREF back = RGB(216, 216, 216);
    auto b = Filled(60, 30);
    PaintSection(b.get(), TRect{0, 0, 60, 30}, button, &m, 0, Fill(clFuchsia));
    EXPECT_EQ(Px(*b, 0, 0), back);
    EXPECT_EQ(Px(*b, 1, 1), TestColor(17, 0, 4));
    EXPECT_EQ(Px(*b, 10, 1), TestColor(2, 0, 1));
    EXPECT_EQ(Px(*b, 30, 15), TestColor(2, 0, 4));
    EXPECT_EQ(Px(*b, 59, 29), back);
    EXPECT_EQ(Px(*b, 58, 28), TestColor(2, 0, 8));
    PaintSection(b.get(), TRect{0, 0, 60, 30}, button, &m, 1, Fill(clFuchsia));
    EXPECT_EQ(Px(*b, 10, 1), TestColor(2, 1, 1));
    EXPECT_EQ(Px(*b, 1, 1), TestColor(17, 0, 4)); // one frame only

    auto target = Filled(80, 50);
    PaintSectionToDC(target->Canvas().Handle(), TPoint{5, 5}, TRect{0, 0, 60, 30}, button, &m, 0, Fill(clFuchsia));
    EXPECT_EQ(Px(*target, 15, 6), TestColor(2, 0, 1));
    EXPECT_EQ(Px(*target, 4, 4), Back);

    auto named = Filled(60, 30);
    EXPECT_FALSE(PaintSectionByName(named.get(), TRect{0, 0, 60, 30}, "NOSUCH", "NOTHING", &m, 0, Fill(clFuchsia)));
    EXPECT_EQ(Px(*named, 10, 1), Back);
    EXPECT_TRUE(PaintSectionByName(named.get(), TRect{0, 0, 60, 30}, "NOSUCH", "BUTTON", &m, 0, Fill(clFuchsia)));
    EXPECT_EQ(Px(*named, 10, 1), TestColor(2, 0, 1));
}
