// The mask and pattern tables loaded from skin texts through an image source without pictures,
// the index lookups with their inheritance, and the fixed indexes.
#include <gtest/gtest.h>

#include <vector>

#include "skin/engine/tests/FakeSkinImages.h"

namespace {

struct TLoaded {
    TsSkinTables Tables;
    TFakeSkinImages Images;
};

// Masks, patterns and sections of the text, then the fixed indexes.
void Load(TLoaded& l, const std::string& text)
{
    const TMemIniFile ini = SkinText(text);
    TStringList none;
    l.Tables.LoadAllMasks(ini, l.Images);
    l.Tables.LoadAllPatterns(ini, l.Images);
    l.Tables.LoadAllGeneralData(ini, none, nullptr);
    l.Tables.UpdateCommonIndexes();
}

std::vector<int> AllIndexes(const TsCommonIndexes& c)
{
    std::vector<int> v = {c.GlobalInfo,     c.ExBorder,        c.BoxChecked,         c.BoxUnchecked,
                          c.BoxGrayed,      c.RadioChecked,    c.RadioUnchecked,     c.RadioGrayed,
                          c.SmallChecked,   c.SmallUnchecked,  c.SmallGrayed,        c.ComboBtn,
                          c.ComboBtnBorder, c.ComboBtnPattern, c.ComboBtnHotPattern, c.ComboGlyph};
    auto parts = [&](const auto& list) {
        for (const TsCommonIndexes::TPart& p : list)
            v.insert(v.end(), {p.SkinIndex, p.BorderIndex, p.GlyphIndex, p.PatternIndex, p.HotPatternIndex});
    };
    parts(c.Tabs);
    parts(c.ScrollButtons);
    parts(c.ScrollSliders);
    parts(c.ScrollBars);
    return v;
}

const char* InheritingSkin = R"([BUTTON]
BORDERSMASK=^0000^0000^0030^0020^0000^0000^0000^0000^3^1^0^0
PATTERN=~0000~0020~0010~0030~00~
GLYPHMASK=@0000@0020@0010@0030@1@0
[BUTTON_BIG]
PARENTCLASS=BUTTON
COLOR=16777215
[BUTTON_HUGE]
PARENTCLASS=BUTTON_BIG
[SELF]
PARENTCLASS=SELF
[CYCLEA]
PARENTCLASS=CYCLEB
[CYCLEB]
PARENTCLASS=CYCLEA
[ORPHAN]
PARENTCLASS=NOSUCH
[LOWER]
PARENTCLASS=button
)";

} // namespace

TEST(SkinTables, RecordsFollowTheTextAndTheirSyntax)
{
    TLoaded l;
    l.Images.Files = {{"BUTTONHUGE.BMP", {90, 60}}, {"TEX.BMP", {24, 24}}, {"EDIT.BMP", {36, 24}}};
    Load(l, R"([GLOBALINFO]
MASTERBITMAP=MASTER.BMP
BOXCHECKED=@0048@0078@0096@0091@3@0
[BUTTON_HUGE]
BORDERSMASK=!BUTTONHUGE.BMP!3!1!0
EMPTY=
[Edit]
BordersMask=EDIT.BMP
glyph=#(1,2,31,22)(3,0)
[TEX]
T=!TEX.BMP!1!0!1
P=!GLYPH.PNG!1!0!4
)");
    EXPECT_EQ(l.Images.Asked, (std::vector<std::string>{"master:MASTER.BMP", "bmp24:BUTTONHUGE.BMP", "bmp24:EDIT.BMP",
                                                        "bmp:TEX.BMP", "png:GLYPH.PNG"}));
    ASSERT_EQ(l.Tables.MaskData.size(), 5u); // the PNG is not there
    const TsMaskData& glyph = l.Tables.MaskData[0];
    EXPECT_EQ(glyph.SectionName, "GLOBALINFO");
    EXPECT_EQ(glyph.PropertyName, "BOXCHECKED");
    EXPECT_FALSE(glyph.Bmp);
    const TsMaskData& huge = l.Tables.MaskData[1];
    EXPECT_EQ(huge.PropertyName, "BORDERSMASK");
    EXPECT_TRUE(huge.Bmp);
    EXPECT_EQ(huge.R, (TRect{0, 0, 90, 60}));
    EXPECT_EQ(huge.StretchMode, 4);
    EXPECT_EQ(huge.WL, 10);
    EXPECT_EQ(huge.WT, 10);
    // File and older values keep their names upper-cased, the others as written.
    EXPECT_EQ(l.Tables.MaskData[2].SectionName, "EDIT");
    EXPECT_EQ(l.Tables.MaskData[2].PropertyName, "BORDERSMASK");
    EXPECT_EQ(l.Tables.MaskData[2].R, (TRect{0, 0, 36, 24}));
    EXPECT_EQ(l.Tables.MaskData[3].SectionName, "EDIT");
    EXPECT_EQ(l.Tables.MaskData[3].PropertyName, "GLYPH");
    EXPECT_EQ(l.Tables.MaskData[3].WL, 3); // 30 div 9
    EXPECT_EQ(l.Tables.MaskData[3].WT, 6); // 20 div 3
    EXPECT_EQ(l.Tables.MaskData[4].ImgType, itisaTexture);
    for (const TsMaskData& m : l.Tables.MaskData)
        EXPECT_EQ(m.Manager, nullptr);
}

TEST(SkinTables, ImagesThatCannotBeLoadedAddNoRecord)
{
    TLoaded l;
    l.Images.Files = {{"ZERO.BMP", {0, 10}}, {"own.bmp", {10, 10}}, {"TEX.JPG", {16, 16}}, {"tex.jpg", {16, 16}}};
    Load(l, R"([A]
MISSING=!NOFILE.BMP!1!0!0
ZERO=!ZERO.BMP!1!0!0
LOWER=own.bmp
LOWER2=!own.bmp!1!0!0
PATTERN=TEX.JPG
HOTPATTERN=tex.jpg
OTHER=Tex.JPEG
)");
    EXPECT_TRUE(l.Tables.MaskData.empty());
    EXPECT_EQ(l.Images.Asked, (std::vector<std::string>{"master:", "bmp24:NOFILE.BMP", "bmp24:ZERO.BMP", "jpeg:TEX.JPG",
                                                        "jpeg:Tex.JPEG"}));
    ASSERT_EQ(l.Tables.PatternData.size(), 1u);
    EXPECT_EQ(l.Tables.PatternData[0].SectionName, "A");
    EXPECT_EQ(l.Tables.PatternData[0].PropertyName, "PATTERN");
    EXPECT_TRUE(l.Tables.PatternData[0].Img);
}

TEST(SkinTables, RectanglesAreCutToTheMasterBitmap)
{
    TLoaded l;
    l.Images.MasterWidth = 64;
    l.Images.MasterHeight = 64;
    Load(l, R"([A]
OUT=^0040^0040^0100^0100^0000^0000^0000^0000^1^0^0^0
INVERTED=@0050@0050@0010@0010@1@0
NEGATIVE=#(-5,-5,10,10)(1,0)
)");
    ASSERT_EQ(l.Tables.MaskData.size(), 3u);
    EXPECT_EQ(l.Tables.MaskData[0].R, (TRect{40, 40, 64, 64}));
    EXPECT_EQ(l.Tables.MaskData[0].WL, 8); // from the cut rectangle
    EXPECT_EQ(l.Tables.MaskData[1].R, (TRect{50, 50, 50, 50}));
    EXPECT_EQ(l.Tables.MaskData[2].R, (TRect{0, 0, 10, 10}));

    TLoaded empty; // a missing master bitmap: every rectangle in it is empty
    empty.Images.MasterWidth = empty.Images.MasterHeight = 0;
    Load(empty, "[A]\nG=@0001@0002@0010@0010@1@0\n");
    ASSERT_EQ(empty.Tables.MaskData.size(), 1u);
    EXPECT_EQ(empty.Tables.MaskData[0].R, (TRect{0, 0, 0, 0}));
}

TEST(SkinTables, ExactNamesAndTheFirstOfEqualKeys)
{
    TLoaded l;
    Load(l, R"([button]
BORDERSMASK=@0000@0000@0010@0010@1@0
[GAUGE]
BordersMask=@0010@0000@0020@0010@1@0
[HINT]
BORDERSMASK=@0020@0000@0030@0010@1@0
BORDERSMASK=@0030@0000@0040@0010@1@0
)");
    EXPECT_EQ(l.Tables.GetSkinIndex("BUTTON"), -1);
    EXPECT_EQ(l.Tables.GetSkinIndex("button"), 0);
    EXPECT_EQ(l.Tables.GetMaskIndexByName("BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(l.Tables.GetMaskIndexByName("button", "BORDERSMASK"), 0);
    EXPECT_EQ(l.Tables.GetMaskIndexByName("GAUGE", "BORDERSMASK"), -1);
    EXPECT_EQ(l.Tables.GetMaskIndexByName("GAUGE", "BordersMask"), 1);
    EXPECT_EQ(l.Tables.GeneralData[1].BorderIndex, -1);
    ASSERT_EQ(l.Tables.MaskData.size(), 4u); // both HINT images are records
    EXPECT_EQ(l.Tables.GetMaskIndexByName("HINT", "BORDERSMASK"), 2);
    EXPECT_EQ(l.Tables.GeneralData[2].BorderIndex, 2);
    EXPECT_EQ(l.Tables.MaskData[3].R, (TRect{30, 0, 40, 10}));
    EXPECT_EQ(l.Tables.GetMaskIndexByName("", "BORDERSMASK"), -1);
}

TEST(SkinTables, LookupsFollowTheParentChainAndEndCycles)
{
    TLoaded l;
    Load(l, InheritingSkin);
    const TsSkinTables& t = l.Tables;
    const int big = t.GetSkinIndex("BUTTON_BIG"), huge = t.GetSkinIndex("BUTTON_HUGE");
    EXPECT_EQ(t.GetMaskIndex(big, "BUTTON_BIG", "BORDERSMASK"), 0);
    EXPECT_EQ(t.GetMaskIndexByName("BUTTON_BIG", "BORDERSMASK"), -1);
    EXPECT_EQ(t.GetMaskIndex(huge, "BUTTON_HUGE", "BORDERSMASK"), 0); // two levels
    EXPECT_EQ(t.GeneralData[static_cast<size_t>(big)].BorderIndex, 0);
    EXPECT_EQ(t.GeneralData[static_cast<size_t>(huge)].BorderIndex, 0);
    EXPECT_EQ(t.GetTextureIndex(huge, "BUTTON_HUGE", "PATTERN"), 1);
    EXPECT_EQ(t.GetTextureIndex(huge, "BUTTON_HUGE", "GLYPHMASK"), -1); // no texture
    EXPECT_EQ(t.GetMaskIndex(huge, "BUTTON_HUGE", "GLYPHMASK"), 2);
    EXPECT_EQ(t.GetMaskIndex(t.GetSkinIndex("SELF"), "SELF", "BORDERSMASK"), -1);
    EXPECT_EQ(t.GetMaskIndex(t.GetSkinIndex("CYCLEA"), "CYCLEA", "BORDERSMASK"), -1);
    EXPECT_EQ(t.GetPatternIndex(t.GetSkinIndex("CYCLEB"), "CYCLEB", "PATTERN"), -1);
    EXPECT_EQ(t.GetMaskIndex(t.GetSkinIndex("ORPHAN"), "ORPHAN", "BORDERSMASK"), -1);
    EXPECT_EQ(t.GetMaskIndex(t.GetSkinIndex("LOWER"), "LOWER", "BORDERSMASK"), -1); // "button" is no section
    EXPECT_EQ(t.GetMaskIndex(-1, "BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(t.GetMaskIndex(0, "", "BORDERSMASK"), -1);
    EXPECT_EQ(t.GetMaskIndex(99, "BUTTON", "BORDERSMASK"), 0); // found before the index is needed
    EXPECT_EQ(t.GetMaskIndex(99, "BUTTON_BIG", "BORDERSMASK"), -1);
}

TEST(SkinTables, PatternLookupsInherit)
{
    TLoaded l;
    l.Images.Files = {{"A.JPG", {16, 16}}};
    Load(l, "[PANEL]\nPATTERN=A.JPG\n[PANEL_LOW]\nPARENTCLASS=PANEL\n");
    EXPECT_EQ(l.Tables.GetPatternIndex(1, "PANEL_LOW", "PATTERN"), 0);
    EXPECT_EQ(l.Tables.GetPatternIndex(1, "PANEL_LOW", "HOTPATTERN"), -1);
    TLoaded none;
    Load(none, "[PANEL]\nCOLOR=1\n");
    EXPECT_EQ(none.Tables.GetPatternIndex(0, "PANEL", "PATTERN"), -1);
    EXPECT_EQ(none.Tables.GetTextureIndex(0, "PANEL", "PATTERN"), -1);
}

TEST(SkinTables, MaskSizesAndBorderWidths)
{
    TLoaded l;
    l.Images.Files = {{"OWN.BMP", {90, 61}}};
    Load(l, R"([A]
OWN=!OWN.BMP!3!1!0
GLYPH=@0000@0000@0048@0026@3@1
GIVEN=^0000^0000^0030^0020^0001^0002^0000^0000^3^0^0^0
WIDTH=^0000^0000^0030^0020^0000^0000^0000^0000^3^0^0^4
NOSTATE=^0000^0000^0030^0020^0000^0000^0000^0000^0^0^0^0
)");
    const TsSkinTables& t = l.Tables;
    int w = -1, h = -1;
    t.GetMaskSize(0, w, h);
    EXPECT_EQ(w, 30); // own bitmap: width div 3, height div 2
    EXPECT_EQ(h, 30);
    t.GetMaskSize(1, w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 13);
    t.GetMaskSize(5, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    // Given widths; the rest falls back to the border width, else the frame.
    l.Tables.MaskData[2].WR = l.Tables.MaskData[2].WB = 0;
    EXPECT_EQ(t.GetMaskLeftWidth(2), 1);
    EXPECT_EQ(t.GetMaskTopWidth(2), 2);
    EXPECT_EQ(t.GetMaskRightWidth(2), 10);  // frame width
    EXPECT_EQ(t.GetMaskBottomWidth(2), 20); // frame height
    l.Tables.MaskData[3].WL = 0;
    EXPECT_EQ(t.GetMaskLeftWidth(3), 4);
    l.Tables.MaskData[4].WL = 0;
    EXPECT_EQ(t.GetMaskLeftWidth(4), 30); // a state count of 0 counts as 1
    EXPECT_EQ(t.MaskData[4].ImageCount, 0);
    EXPECT_EQ(t.GetMaskLeftWidth(-1), 0);
    EXPECT_EQ(t.GetMaskBottomWidth(5), 0);
    EXPECT_TRUE(t.IsValidImgIndex(4));
    EXPECT_FALSE(t.IsValidImgIndex(5));
}

TEST(SkinTables, FixedIndexesAfterALoadAndAllUnsetAfterClearing)
{
    TLoaded l;
    Load(l, R"([GLOBALINFO]
BOXCHECKED=@0000@0000@0010@0010@1@0
EXBORDER=^0000^0000^0030^0020^0000^0000^0000^0000^3^0^0^0
[TABTOP]
BORDERSMASK=@0000@0000@0010@0010@1@0
[SCROLLBTNTOP]
BORDERSMASK=@0000@0000@0010@0010@1@0
GLYPHMASK=@0000@0000@0010@0010@1@0
PATTERN=@0000@0000@0010@0010@1@0
[SCROLLBTNBOTTOM]
PARENTCLASS=SCROLLBTNTOP
[SCROLLSLIDERH]
HOTPATTERN=~0000~0000~0010~0010~00~
[SCROLLBAR2V]
BORDERSMASK=@0000@0000@0010@0010@1@0
[COMBOBTN]
PARENTCLASS=TABTOP
PATTERN=~0000~0000~0010~0010~00~
HOTPATTERN=@0000@0000@0010@0010@1@0
[COMBOBOX]
GLYPHMASK=@0000@0000@0010@0010@1@0
)");
    const TsCommonIndexes& c = l.Tables.CommonIndexes;
    EXPECT_EQ(c.GlobalInfo, 0);
    EXPECT_EQ(c.BoxChecked, 0);
    EXPECT_EQ(c.ExBorder, 1);
    EXPECT_EQ(c.BoxUnchecked, -1);
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Top].SkinIndex, 1);
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Top].BorderIndex, 2);
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Bottom].SkinIndex, -1);
    const TsCommonIndexes::TPart& bottom = c.ScrollButtons[TsCommonIndexes::Bottom];
    EXPECT_EQ(bottom.SkinIndex, 3);
    EXPECT_EQ(bottom.BorderIndex, 3);
    EXPECT_EQ(bottom.GlyphIndex, 4);
    EXPECT_EQ(bottom.PatternIndex, 5);
    EXPECT_EQ(bottom.HotPatternIndex, -1);
    EXPECT_EQ(c.ScrollSliders[TsCommonIndexes::SliderH].HotPatternIndex, 6);
    EXPECT_EQ(c.ScrollSliders[TsCommonIndexes::SliderV].SkinIndex, -1);
    EXPECT_EQ(c.ScrollBars[TsCommonIndexes::Bar2V].BorderIndex, 7);
    EXPECT_EQ(c.ScrollBars[TsCommonIndexes::Bar2V].GlyphIndex, -1);
    EXPECT_EQ(c.ComboBtn, 6);
    EXPECT_EQ(c.ComboBtnBorder, -1); // not inherited from TABTOP
    EXPECT_EQ(c.ComboBtnPattern, 8);
    EXPECT_EQ(c.ComboBtnHotPattern, -1); // no texture
    EXPECT_EQ(c.ComboGlyph, 10);

    l.Tables.ClearSkinTables();
    l.Tables.UpdateCommonIndexes();
    EXPECT_TRUE(l.Tables.GeneralData.empty());
    EXPECT_TRUE(l.Tables.MaskData.empty());
    EXPECT_EQ(AllIndexes(l.Tables.CommonIndexes), std::vector<int>(AllIndexes(TsCommonIndexes{}).size(), -1));
    EXPECT_EQ(AllIndexes(TsCommonIndexes{}).size(), 16u + 14u * 5u);
}

TEST(SkinTables, GlobalInfoImagesNeedTheSection)
{
    TLoaded l;
    Load(l, "[GlobalInfo]\nBOXCHECKED=@0000@0000@0010@0010@1@0\n");
    EXPECT_EQ(l.Tables.CommonIndexes.GlobalInfo, -1);
    EXPECT_EQ(l.Tables.CommonIndexes.BoxChecked, -1);
}

TEST(SkinTables, LongParentChainsAreFollowedToTheirLimit)
{
    // Sections S0 .. S40, each the child of the next; only S40 has the image and a colour.
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string(i + 1) + "\n";
    text += "[S40]\nCOLOR=5\nBORDERSMASK=@0000@0000@0010@0010@1@0\n";
    TLoaded l;
    Load(l, text);
    const TsSkinTables& t = l.Tables;
    const int near = 40 - TsSkinTables::MaxParentChain + 1, far = near - 1; // S9 reaches S40, S8 does not
    EXPECT_EQ(t.GetMaskIndex(near, "S" + std::to_string(near), "BORDERSMASK"), 0);
    EXPECT_EQ(t.GetMaskIndex(far, "S" + std::to_string(far), "BORDERSMASK"), -1);
    EXPECT_EQ(t.GeneralData[static_cast<size_t>(near)].Color, 5);
    EXPECT_EQ(t.GeneralData[static_cast<size_t>(far)].Color, 0xFFFFFF);
    EXPECT_EQ(t.GeneralData[static_cast<size_t>(near)].BorderIndex, 0);
    EXPECT_EQ(t.GeneralData[static_cast<size_t>(far)].BorderIndex, -1);
}
