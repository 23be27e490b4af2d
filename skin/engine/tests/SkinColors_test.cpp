// The Colors and Empty test skins: GLOBALINFO values, section records with their inheritance,
// transparencies and gradients, the manager's colour queries, and CommonSections.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/base/MemIniFile.h"
#include "tests/support/ModalScript.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/TestSkins.h"

using namespace skintest;

namespace {

const TsGeneralData& Section(const TsSkinManager& m, const std::string& name)
{
    const int i = m.GetSkinIndex(name);
    EXPECT_GE(i, 0) << name;
    return m.GeneralData.at(static_cast<size_t>(i < 0 ? 0 : i));
}

TColor Sys(int index) { return static_cast<TColor>(GetSysColor(index)); }

// A skin text with no images, loaded into the manager.
void LoadText(TsSkinManager& m, const std::string& text)
{
    TStringList lines;
    lines.SetText(text);
    const TMemIniFile ini(lines);
    TsFolderImages none("");
    m.LoadSkinTables(ini, none, "");
}

} // namespace

TEST(ColorsSkin, GlobalInfoValues)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Colors")));
    const TsSkinData& d = m.SkinData;
    EXPECT_DOUBLE_EQ(d.Version, 6.1);
    EXPECT_EQ(d.Author, "Tillora tests");
    EXPECT_EQ(d.Description, "Colours only");
    EXPECT_EQ(d.BorderWidth, 5);
    EXPECT_EQ(d.TitleHeight, 24);
    EXPECT_EQ(d.MaxHeight, 24);
    EXPECT_EQ(d.FormOffset, 6);
    EXPECT_EQ(d.CenterOffset, 2);
    EXPECT_EQ(d.BorderMode, 1);
    EXPECT_EQ(d.Shadow1Color, 255);
    EXPECT_EQ(d.Shadow1Offset, 2);
    EXPECT_EQ(d.Shadow1Blur, 3);
    EXPECT_EQ(d.Shadow1Transparency, 40);
    EXPECT_EQ(d.BISpace, 1);
    EXPECT_EQ(d.BIVAlign, 2);
    EXPECT_EQ(d.BIRight, 3);
    EXPECT_EQ(d.BILeft, 4);
    EXPECT_EQ(d.BITop, 5);
    EXPECT_EQ(d.BorderColor, 8421504);
    EXPECT_EQ(d.BIKeepHue, 2);
    EXPECT_EQ(d.BICloseGlow, 6);
    EXPECT_EQ(d.BICloseGlowMargin, 7);
    EXPECT_EQ(d.BIMaxGlow, 8);
    EXPECT_EQ(d.BIMaxGlowMargin, 9);
    EXPECT_EQ(d.BIMinGlow, 10);
    EXPECT_EQ(d.BIMinGlowMargin, 11);
    EXPECT_EQ(d.MasterBitmap, "");
    EXPECT_TRUE(m.MaskData.empty());
    ASSERT_TRUE(m.MasterBitmap);
    EXPECT_TRUE(m.MasterBitmap->Empty());
}

TEST(ColorsSkin, SectionsInheritTransparenciesAndGradients)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Colors")));
    EXPECT_EQ(m.GeneralData.size(), 65u);
    EXPECT_EQ(m.GeneralData[0].Name, "GLOBALINFO");
    EXPECT_EQ(Section(m, "FORM").Color, Sys(COLOR_WINDOW)); // a system colour stored as RGB
    EXPECT_EQ(Section(m, "DIALOG").Color, Sys(COLOR_WINDOW));

    const TsGeneralData& button = Section(m, "BUTTON");
    EXPECT_EQ(button.FontColor, (TsFontColors{{128, 255, -1, -1, 65280}}));
    EXPECT_EQ(button.GlowCount, 3);
    EXPECT_EQ(button.GlowMargin, 2);
    EXPECT_TRUE(button.ShowFocus);
    EXPECT_TRUE(button.FadingEnabled);
    EXPECT_EQ(button.FadingIterations, 7);
    EXPECT_FALSE(button.GiveOwnFont); // "yes" is not TRUE
    EXPECT_EQ(button.HotGlowColor, 255);
    EXPECT_EQ(button.HotGlowSize, 44);
    EXPECT_EQ(button.GlowColor, Sys(COLOR_BTNFACE));
    EXPECT_EQ(button.GlowSize, 4);
    EXPECT_EQ(button.GradientPercent, 100);
    ASSERT_EQ(button.GradientArray.size(), 1u);
    EXPECT_EQ(button.GradientArray[0], (TsGradColor{0, 0xFFFFFF, 100, 0, 0}));

    const TsGeneralData& big = Section(m, "BUTTON_BIG");
    EXPECT_EQ(big.Color, 0xFFFFFF);
    EXPECT_EQ(big.FontColor, button.FontColor);
    EXPECT_EQ(big.HotTransparency, 20);
    EXPECT_EQ(big.GradientArray, button.GradientArray);
    const TsGeneralData& huge = Section(m, "BUTTON_HUGE"); // two levels up
    EXPECT_EQ(huge.Color, 0xFFFFFF);
    EXPECT_EQ(huge.FontColor, button.FontColor);
    EXPECT_EQ(huge.HotTransparency, 20);
    EXPECT_EQ(huge.FadingIterations, 7);

    EXPECT_EQ(button.Transparency, 0);
    EXPECT_EQ(Section(m, "CHECKBOX").Transparency, 100);
    EXPECT_EQ(Section(m, "RADIOBUTTON").Transparency, 100); // -1: inherited
    EXPECT_EQ(Section(m, "GROUPBOX").Transparency, 50);
    EXPECT_EQ(Section(m, "EDIT").Transparency, 0); // missing, no parent
    EXPECT_EQ(Section(m, "SPEEDBUTTON_SMALL").Transparency, 100);
    EXPECT_EQ(Section(m, "SPEEDBUTTON_SMALL").HotTransparency, 0);

    EXPECT_EQ(Section(m, "FORM").GradientData, "N/A");
    EXPECT_TRUE(Section(m, "FORM").GradientArray.empty());
    EXPECT_EQ(Section(m, "EDIT").GradientData, " ");
    const TsGradArray& horizontal = Section(m, "PANEL").GradientArray;
    ASSERT_EQ(horizontal.size(), 2u);
    EXPECT_EQ(horizontal[0], (TsGradColor{255, 65280, 50, 1, 0}));
    EXPECT_EQ(horizontal[1], (TsGradColor{65280, 16711680, 50, 1, 0}));
    const TsGradArray& triangles = Section(m, "PANEL_LOW").GradientArray;
    ASSERT_EQ(triangles.size(), 3u);
    EXPECT_EQ(triangles[0].Mode, 2);
    EXPECT_EQ(triangles[2].Color1, 128);
    EXPECT_EQ(Section(m, "PANEL_LOW").GradientPercent, 50);
    ASSERT_EQ(Section(m, "MENUITEM").HotGradientArray.size(), 1u);

    const TsGeneralData& selfish = Section(m, "SELFISH");
    EXPECT_EQ(selfish.ParentClass, "SELFISH");
    EXPECT_EQ(selfish.Color, 0xFFFFFF);
    EXPECT_EQ(selfish.FontColor, TsFontColors{});
    EXPECT_EQ(selfish.FadingIterations, 5);
    EXPECT_EQ(selfish.BorderIndex, -1);
}

TEST(ColorsSkin, ColourQueries)
{
    TsSkinManager m(nullptr);
    EXPECT_EQ(m.GetGlobalColor(), Sys(COLOR_BTNFACE)); // no skin
    EXPECT_EQ(m.GetGlobalFontColor(), 0xFF00FF);
    EXPECT_EQ(m.GetGlobalHotColor(), Sys(COLOR_WINDOW));
    EXPECT_EQ(m.GetActiveEditFontColor(), 0xFF00FF);
    EXPECT_EQ(m.GetHighLightColor(), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(m.GetHighLightFontColor(), Sys(COLOR_HIGHLIGHTTEXT));

    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Colors")));
    EXPECT_EQ(m.GetGlobalColor(), 13160660);
    EXPECT_EQ(m.GetGlobalFontColor(), 4210752);
    EXPECT_EQ(m.GetGlobalHotColor(), 15790320);
    EXPECT_EQ(m.GetActiveEditFontColor(), 255);
    EXPECT_EQ(m.GetHighLightColor(), 8388608);
    EXPECT_EQ(m.GetHighLightFontColor(), 65535);
}

TEST(ColorsSkin, HighlightColoursFallBackWhenUnset)
{
    TsSkinManager m(nullptr);
    const TColor highlight = Sys(COLOR_HIGHLIGHT), text = Sys(COLOR_HIGHLIGHTTEXT);
    struct TCase {
        const char* Keys;
        TColor Colour, Text;
    };
    const TCase cases[] = {
        {"HOTCOLOR=16711935\nHOTFONTCOLOR=255", highlight, text}, // 0xFF00FF
        {"HOTCOLOR=16777215\nHOTFONTCOLOR=255", highlight, text}, // 0xFFFFFF, also the default
        {"HOTFONTCOLOR=255", highlight, text},                    // missing: 0xFFFFFF
        {"HOTCOLOR=4\nHOTFONTCOLOR=0", 4, text},                  // black text counts as unset
        {"HOTCOLOR=4\nHOTFONTCOLOR=16777215", 4, text},
        {"HOTCOLOR=4\nHOTFONTCOLOR=16711935", 4, text},
        {"HOTCOLOR=4", 4, text},                                // the default 0
        {"HOTCOLOR=4\nHOTFONTCOLOR=-2147483634", 4, text},      // clHighlightText itself, as RGB
        {"HOTCOLOR=-2147483635\nHOTFONTCOLOR=5", highlight, 5}, // clHighlight, as RGB
    };
    for (const TCase& c : cases) {
        LoadText(m, std::string("[MENUITEM]\n") + c.Keys + "\n");
        EXPECT_EQ(m.GetHighLightColor(), c.Colour) << c.Keys;
        EXPECT_EQ(m.GetHighLightFontColor(), c.Text) << c.Keys;
    }
    LoadText(m, "[menuitem]\nHOTCOLOR=4\nHOTFONTCOLOR=5\n"); // the name must be exact
    EXPECT_EQ(m.GetHighLightColor(), highlight);
    EXPECT_EQ(m.GetHighLightFontColor(), text);
}

TEST(ColorsSkin, CommonSectionsLoseTheirBlanksAndMergeOverTheSkin)
{
    TsSkinManager m(nullptr);
    TStringList lines;
    lines.SetText("[ BUTTON ]\nCOLOR = 255\n; keep this comment\n\n[MY BUTTON]\nPARENTCLASS = button\n"
                  "FONTCOLOR = 9\n");
    m.SetCommonSections(lines);
    EXPECT_EQ(
        m.CommonSections().Text(),
        "[BUTTON]\r\nCOLOR=255\r\n; keep this comment\r\n\r\n[MYBUTTON]\r\nPARENTCLASS=button\r\nFONTCOLOR=9\r\n");
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Colors")));
    EXPECT_EQ(m.GeneralData.size(), 66u);
    const TsGeneralData& button = Section(m, "BUTTON");
    EXPECT_EQ(button.Color, 255);
    EXPECT_EQ(button.FontColor[1], 128);
    const TsGeneralData& mine = m.GeneralData.back();
    EXPECT_EQ(mine.Name, "MYBUTTON");
    EXPECT_EQ(mine.ParentClass, "button");
    EXPECT_EQ(mine.Color, 255); // from the merged BUTTON
    EXPECT_EQ(mine.FontColor, (TsFontColors{{9, 255, -1, -1, 65280}}));
    EXPECT_EQ(mine.FadingIterations, 7);
    // Records that the skin inherits are not touched: BUTTON_BIG keeps its own reading.
    EXPECT_EQ(Section(m, "BUTTON_BIG").Color, 0xFFFFFF);
}

TEST(EmptySkin, LoadsNoRecordAndNoFixedIndex)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Colors")));
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Empty")));
    EXPECT_TRUE(m.GeneralData.empty());
    EXPECT_TRUE(m.MaskData.empty());
    EXPECT_TRUE(m.PatternData.empty());
    EXPECT_EQ(m.CommonIndexes.GlobalInfo, -1);
    EXPECT_EQ(m.CommonIndexes.ComboBtn, -1);
    EXPECT_EQ(m.SkinData.BorderWidth, 4);
    EXPECT_EQ(m.SkinData.Version, 0);
    EXPECT_EQ(m.GetGlobalColor(), Sys(COLOR_BTNFACE));
}

TEST(ColorsSkin, NewerSkinVersionsAreAnnouncedAndStillLoad)
{
    TsSkinManager m(nullptr);
    {
        TModalScript script({TModalScript::PressButton(IDOK)});
        LoadText(m, "[GLOBALINFO]\nVERSION=7.00\n[BUTTON]\nCOLOR=5\n");
        EXPECT_EQ(script.Done(), 1);
        ASSERT_EQ(script.Texts.size(), 1u);
        EXPECT_EQ(script.Texts[0], "This version of the skin have not complete support by used Velocon package "
                                   "release.\r\nComponents must be updated up to latest version for using this skin.");
    }
    EXPECT_EQ(m.GetSkinIndex("BUTTON"), 1); // loading went on
    EXPECT_EQ(m.CommonIndexes.GlobalInfo, 0);
    {
        TModalScript script({});
        LoadText(m, "[GLOBALINFO]\nVERSION=6.99\n");
        EXPECT_EQ(script.Done(), 0);
        EXPECT_EQ(script.Unexpected(), 0);
    }
}
