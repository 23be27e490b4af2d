// Section records with their PARENTCLASS inheritance, the GLOBALINFO values and the merge of
// CommonSections.
#include <gtest/gtest.h>

#include "skin/engine/tests/FakeSkinImages.h"

namespace {

// System colours (negative values) become 0x123456; RGB values stay.
TColor FakeToRGB(TColor c) { return c < 0 ? 0x123456 : c; }

TsSkinTables Sections(const std::string& text, const std::string& common = "")
{
    TsSkinTables t;
    TFakeSkinImages images;
    const TMemIniFile ini = SkinText(text);
    TStringList lines;
    lines.SetText(common);
    t.LoadAllMasks(ini, images);
    t.LoadAllGeneralData(ini, lines, FakeToRGB);
    return t;
}

const TsGeneralData& Record(const TsSkinTables& t, const std::string& name)
{
    const int i = t.GetSkinIndex(name);
    EXPECT_GE(i, 0) << name;
    return t.GeneralData.at(static_cast<size_t>(i < 0 ? 0 : i));
}

// Every field of a record without keys and without a parent.
void ExpectDefaults(const TsGeneralData& g)
{
    EXPECT_EQ(g.Color, 0xFFFFFF);
    EXPECT_EQ(g.FontColor, (TsFontColors{{0, -1, -1, -1, -1}}));
    EXPECT_EQ(g.HotFontColor, (TsFontColors{{0, -1, -1, -1, -1}}));
    EXPECT_FALSE(g.GiveOwnFont);
    EXPECT_EQ(g.GlowCount, 0);
    EXPECT_EQ(g.GlowMargin, 0);
    EXPECT_FALSE(g.ReservedBoolean);
    EXPECT_EQ(g.Transparency, 0);
    EXPECT_EQ(g.GradientPercent, 0);
    EXPECT_EQ(g.GradientData, " ");
    EXPECT_TRUE(g.GradientArray.empty());
    EXPECT_EQ(g.ImagePercent, 0);
    EXPECT_FALSE(g.ShowFocus);
    EXPECT_FALSE(g.FadingEnabled);
    EXPECT_EQ(g.FadingIterations, 5);
    EXPECT_EQ(g.HotColor, 0xFFFFFF);
    EXPECT_EQ(g.HotTransparency, 0);
    EXPECT_EQ(g.HotGradientPercent, 0);
    EXPECT_EQ(g.HotGradientData, "");
    EXPECT_TRUE(g.HotGradientArray.empty());
    EXPECT_EQ(g.HotImagePercent, 0);
    EXPECT_EQ(g.HotGlowColor, 0xFFFFFF);
    EXPECT_EQ(g.GlowColor, 0xFFFFFF);
    EXPECT_EQ(g.HotGlowSize, 0);
    EXPECT_EQ(g.GlowSize, 0);
    EXPECT_EQ(g.BorderIndex, -1);
    EXPECT_EQ(g.ImgTopLeft, -1);
}

const char* Family = R"([BUTTON]
COLOR=255
FONTCOLOR=128
TCLEFT=1
TCBOTTOM=4
HOTTCTOP=7
TRANSPARENCY=40
GRADIENTDATA=0;16777215;100;0;0
SHOWFOCUS=true
FADINGENABLED=TRUE
GIVEOWNFONT=yes
HGSIZE=300
GSIZE=4
GCOL=-2147483633
HGCOL=-2147483633
HOTCOLOR=-2147483633
[BUTTON_BIG]
PARENTCLASS=BUTTON
COLOR=16777215
TRANSPARENCY=-1
FADINGENABLED=?
[BUTTON_HUGE]
PARENTCLASS=button_big
GLOW=abc
[SELFISH]
PARENTCLASS=selfish
COLOR=7
[CYCLEA]
PARENTCLASS=CYCLEB
[CYCLEB]
PARENTCLASS=CYCLEC
COLOR=99
[CYCLEC]
PARENTCLASS=CYCLEA
)";

} // namespace

TEST(SkinSections, KeysInheritAlongTheParentChain)
{
    const TsSkinTables t = Sections(Family);
    ASSERT_EQ(t.GeneralData.size(), 7u);
    const TsGeneralData& button = Record(t, "BUTTON");
    EXPECT_EQ(button.Color, 255);
    EXPECT_EQ(button.FontColor, (TsFontColors{{128, 1, -1, -1, 4}}));
    EXPECT_EQ(button.HotFontColor, (TsFontColors{{0, -1, 7, -1, -1}}));
    EXPECT_TRUE(button.ShowFocus);
    EXPECT_TRUE(button.FadingEnabled);
    EXPECT_FALSE(button.GiveOwnFont);
    EXPECT_EQ(button.HotGlowSize, 44); // 300 in 8 bits
    EXPECT_EQ(button.GlowSize, 4);
    EXPECT_EQ(button.GlowColor, 0x123456);                       // stored as RGB
    EXPECT_EQ(button.HotGlowColor, 0x123456);                    // stored as RGB
    EXPECT_EQ(button.HotColor, static_cast<TColor>(0x8000000F)); // stored as written
    ASSERT_EQ(button.GradientArray.size(), 1u);
    EXPECT_EQ(button.GradientArray[0].Color2, 0xFFFFFF);

    const TsGeneralData& big = Record(t, "BUTTON_BIG");
    EXPECT_EQ(big.ParentClass, "BUTTON");
    EXPECT_EQ(big.Color, 0xFFFFFF);
    EXPECT_EQ(big.Transparency, 40); // -1 is inherited
    EXPECT_TRUE(big.FadingEnabled);  // "?" is inherited
    EXPECT_EQ(big.FontColor, button.FontColor);
    EXPECT_EQ(big.GradientData, "0;16777215;100;0;0");
    EXPECT_EQ(big.GradientArray, button.GradientArray);

    const TsGeneralData& huge = Record(t, "BUTTON_HUGE"); // two levels, names without case
    EXPECT_EQ(huge.ParentClass, "button_big");
    EXPECT_EQ(huge.Color, 0xFFFFFF);
    EXPECT_EQ(huge.FontColor, button.FontColor);
    EXPECT_EQ(huge.Transparency, 40);
    EXPECT_EQ(huge.GlowCount, 0); // not a number: inherited, then the default
    EXPECT_EQ(huge.GlowColor, 0x123456);

    const TsGeneralData& self = Record(t, "SELFISH");
    EXPECT_EQ(self.Color, 7);
    EXPECT_EQ(self.Transparency, 0);
    EXPECT_EQ(self.FadingIterations, 5);

    TsGeneralData cycle = Record(t, "CYCLEA"); // a cycle ends; CYCLEB's colour is met on the way
    EXPECT_EQ(cycle.Color, 99);
    cycle.Color = 0xFFFFFF;
    ExpectDefaults(cycle);
    EXPECT_EQ(Record(t, "CYCLEC").Color, 99);
}

TEST(SkinSections, RecordsWithoutKeysTakeTheDefaults)
{
    const TsSkinTables t = Sections("[EMPTY]\n[NOPARENT]\nPARENTCLASS=MISSING\n");
    ExpectDefaults(Record(t, "EMPTY"));
    ExpectDefaults(Record(t, "NOPARENT"));
    EXPECT_EQ(Record(t, "NOPARENT").ParentClass, "MISSING");
    EXPECT_EQ(Record(t, "EMPTY").ParentClass, "");
}

TEST(SkinSections, GradientsParsedAtLoad)
{
    const TsSkinTables t = Sections(R"([NA]
GRADIENTDATA=N/A
[BAD]
GRADIENTDATA=1;2;x;0;0
HOTGRADIENTDATA=1;2;3;0;0;4;5;6
[BLANK]
HOTGRADIENTDATA= 
[TRI]
GRADIENTDATA=255;65280;0;2;0;16711680;0;0;2;0;128;0;0;2;0
)");
    EXPECT_EQ(Record(t, "NA").GradientData, "N/A");
    EXPECT_TRUE(Record(t, "NA").GradientArray.empty());
    EXPECT_EQ(Record(t, "BAD").GradientData, "1;2;x;0;0"); // the section stays, without a gradient
    EXPECT_TRUE(Record(t, "BAD").GradientArray.empty());
    ASSERT_EQ(Record(t, "BAD").HotGradientArray.size(), 1u); // the incomplete group is dropped
    EXPECT_EQ(Record(t, "BAD").HotGradientArray[0].Percent, 3);
    EXPECT_EQ(Record(t, "BLANK").HotGradientData, "");
    const TsGradArray& tri = Record(t, "TRI").GradientArray;
    ASSERT_EQ(tri.size(), 3u);
    EXPECT_EQ(tri[0].Mode, 2);
    EXPECT_EQ(tri[1].Color1, 16711680);
    EXPECT_EQ(tri[2].Color1, 128);
}

TEST(SkinSections, GlobalInfoValues)
{
    TsSkinTables t = Sections(R"([GLOBALINFO]
VERSION=6.55
AUTHOR=Someone
DESCRIPTION=A skin
BORDERWIDTH=5
TITLEHEIGHT=24
MAXHEIGHT=0
FORMOFFSET=6
CENTEROFFSET=70000
SHADOW1COLOR=255
SHADOW1OFFSET=2
SHADOW1TRANSPARENCY=40
BIKEEPHUE=2
BICLOSEGLOW=6
BIMINGLOWMARGIN=11
MASTERBITMAP=MASTER.BMP
)");
    const TsSkinData& d = t.SkinData;
    EXPECT_DOUBLE_EQ(d.Version, 6.55);
    EXPECT_EQ(d.Author, "Someone");
    EXPECT_EQ(d.Description, "A skin");
    EXPECT_EQ(d.BorderWidth, 5);
    EXPECT_EQ(d.TitleHeight, 24);
    EXPECT_EQ(d.MaxHeight, 24); // 0 means TITLEHEIGHT
    EXPECT_EQ(d.FormOffset, 6);
    EXPECT_EQ(d.CenterOffset, 70000 - 65536);
    EXPECT_EQ(d.BorderMode, 0);
    EXPECT_EQ(d.Shadow1Color, 255);
    EXPECT_EQ(d.Shadow1Offset, 2);
    EXPECT_EQ(d.Shadow1Blur, 65535); // default -1
    EXPECT_EQ(d.Shadow1Transparency, 40);
    EXPECT_EQ(d.BIKeepHue, 2);
    EXPECT_EQ(d.BICloseGlow, 6);
    EXPECT_EQ(d.BIMinGlowMargin, 11);
    EXPECT_EQ(d.BIMaxGlow, 0);
    EXPECT_EQ(d.BorderColor, 0);
    EXPECT_EQ(d.MasterBitmap, "MASTER.BMP");
    EXPECT_EQ(Record(t, "GLOBALINFO").BorderIndex, -1);

    t = Sections("[GLOBALINFO]\nVERSION=6,5\nBORDERWIDTH=zz\nTITLEHEIGHT=22\nMAXHEIGHT=40\n"
                 "SHADOW1OFFSET=abc\nSHADOW1BLUR=7\nBICLOSEGLOW=x1\nBIMAXGLOW=3\n");
    EXPECT_EQ(t.SkinData.Version, 0); // "." is the separator
    EXPECT_EQ(t.SkinData.BorderWidth, 4);
    EXPECT_EQ(t.SkinData.MaxHeight, 40);
    EXPECT_EQ(t.SkinData.Shadow1Offset, 0); // malformed strict keys take their defaults
    EXPECT_EQ(t.SkinData.Shadow1Blur, 7);
    EXPECT_EQ(t.SkinData.BICloseGlow, 0);
    EXPECT_EQ(t.SkinData.BIMaxGlow, 3);

    t = Sections("[BUTTON]\nCOLOR=1\n"); // no GLOBALINFO: all defaults
    EXPECT_EQ(t.SkinData.Version, 0);
    EXPECT_EQ(t.SkinData.BorderWidth, 4);
    EXPECT_EQ(t.SkinData.TitleHeight, 30);
    EXPECT_EQ(t.SkinData.MaxHeight, 30);
    EXPECT_EQ(t.SkinData.FormOffset, 8);
    EXPECT_EQ(t.SkinData.Shadow1Blur, 65535);
}

TEST(SkinSections, CommonSectionsOverrideAndAdd)
{
    const TsSkinTables t = Sections(R"([BUTTON]
COLOR=255
TRANSPARENCY=40
BORDERSMASK=@0000@0000@0010@0010@1@0
[Edit]
COLOR=1
)",
                                    R"([BUTTON]
COLOR=-5
FADINGITERATIONS=x
SHOWFOCUS=TRUE
[NEWBUTTON]
PARENTCLASS=button
FONTCOLOR=9
[LONELY]
GLOW=3
[EDIT]
COLOR=2
)");
    ASSERT_EQ(t.GeneralData.size(), 5u);
    const TsGeneralData& button = t.GeneralData[0];
    EXPECT_EQ(button.Color, 0x123456); // replaced, resolved to RGB
    EXPECT_EQ(button.Transparency, 40);
    EXPECT_EQ(button.FadingIterations, 5); // no number: kept
    EXPECT_TRUE(button.ShowFocus);
    EXPECT_EQ(t.GeneralData[1].Color, 1);

    const TsGeneralData& fresh = t.GeneralData[2];
    EXPECT_EQ(fresh.Name, "NEWBUTTON");
    EXPECT_EQ(fresh.ParentClass, "button");
    EXPECT_EQ(fresh.Color, 0x123456); // the parent record's values
    EXPECT_EQ(fresh.Transparency, 40);
    EXPECT_TRUE(fresh.ShowFocus);
    EXPECT_EQ(fresh.FontColor[1], 9);
    EXPECT_EQ(fresh.BorderIndex, -1); // "button" is no record name

    const TsGeneralData& lonely = t.GeneralData[3];
    EXPECT_EQ(lonely.GlowCount, 3);
    TsGeneralData expected = lonely;
    expected.GlowCount = 0;
    ExpectDefaults(expected);

    EXPECT_EQ(t.GeneralData[4].Name, "EDIT"); // names of records compare exactly: "Edit" stays
    EXPECT_EQ(t.GeneralData[4].Color, 2);
    EXPECT_EQ(t.GeneralData[1].Name, "Edit");
    EXPECT_EQ(t.GeneralData[0].BorderIndex, 0);
}
