// The probe skins as the skin engine loads them: every image record with its pixels (corners
// a staircase of 0xFF00FF), every section with its own colours, and what each variant adds
// or leaves out.
#include <gtest/gtest.h>

#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/TestSkins.h"

using namespace skintest;

TEST(ProbeSkins, EachVariantGivesItsImagesPixelsAndSectionColours)
{
    for (const testskins::TProbeSkin& skin : testskins::ProbeSkins) {
        SCOPED_TRACE(skin.Name);
        TsSkinManager m(nullptr);
        ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath(skin.Name)));
        EXPECT_DOUBLE_EQ(m.SkinData.Version, 6.5);
        const std::vector<TTestImage> images = ProbeRecorded(skin.Name);
        ASSERT_EQ(m.MaskData.size(), images.size());
        for (size_t i = 0; i < images.size(); ++i) {
            ExpectRecord(m, m.MaskData[i], images[i]);
            ExpectPixels(*m.MasterBitmap, images[i], m.MaskData[i].R);
        }
        for (const testskins::TProbeSection& s : testskins::ProbeSections) {
            SCOPED_TRACE(s.Name);
            const int k = m.GetSkinIndex(s.Name);
            if (!testskins::ProbeHasSection(skin, s)) {
                EXPECT_EQ(k, -1);
                continue;
            }
            ASSERT_GE(k, 0);
            const TsGeneralData& g = m.GeneralData[static_cast<size_t>(k)];
            const TProbeColors c = ProbeColors(skin.Name, s.Name);
            EXPECT_EQ(g.Color, c.Color);
            EXPECT_EQ(g.HotColor, c.HotColor);
            EXPECT_EQ(g.FontColor[1], c.FontColor);
            EXPECT_EQ(g.HotFontColor[1], c.HotFontColor);
            EXPECT_EQ(g.Transparency, skin.Transparency > 0 && !s.Window ? skin.Transparency : 0);
            EXPECT_EQ(g.FadingEnabled, skin.Fading);
            EXPECT_EQ(g.FadingIterations, skin.Fading ? 10 : 5);
        }
        const int button = m.GetSkinIndex("BUTTON");
        EXPECT_EQ(m.GeneralData[static_cast<size_t>(button)].GlowMargin, skin.Glow ? 2 : 0);
        EXPECT_EQ(m.GetMaskIndexByName("BUTTON", "GLOW0") >= 0, skin.Glow);
        EXPECT_EQ(m.GetMaskIndexByName("GLOBALINFO", "GRIPIMAGE") >= 0, !skin.Bare);
        // Every probe skin has the fixed images of check boxes and combo boxes.
        EXPECT_GE(m.CommonIndexes.BoxChecked, 0);
        EXPECT_GE(m.CommonIndexes.ComboGlyph, 0);
    }
}

TEST(ProbeSkins, TheOtherProbeDiffersInEveryColourAndImageId)
{
    for (const testskins::TProbeSection& s : testskins::ProbeSections) {
        const TProbeColors a = ProbeColors("Probe", s.Name), b = ProbeColors("ProbeOther", s.Name);
        EXPECT_NE(a.Color, b.Color) << s.Name;
        EXPECT_NE(a.FontColor, b.FontColor) << s.Name;
    }
    EXPECT_EQ(ProbeImage("ProbeOther", "PANEL", "BORDERSMASK").Id,
              ProbeImage("Probe", "PANEL", "BORDERSMASK").Id + 100);
}
