// Internal skins stored as collections: the packed test skin written into a form description
// both as its container ("Data") and as collections made from it loads into the same tables
// and paints the same sections; an item whose fields are missing or out of range loads as the
// same values in a skin text do.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/base/MemIniFile.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStart.h"
#include "skin/engine/tests/FakeSkinImages.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/engine/vxSkinConvertor.h"
#include "tests/support/BmpBytes.h"

namespace {

// A skin text's section keys and the names their fields have in a section item.
const char* const kFields = "PARENTCLASS=ParentClass COLOR=Color RESERVEDBOOLEAN=ReservedBoolean "
                            "GIVEOWNFONT=GiveOwnFont GLOW=GlowCount GLOWMARGIN=GlowMargin FONTCOLOR=FontColor.Color "
                            "TCLEFT=FontColor.Left TCTOP=FontColor.Top TCRIGHT=FontColor.Right "
                            "TCBOTTOM=FontColor.Bottom HOTFONTCOLOR=HotFontColor.Color HOTTCLEFT=HotFontColor.Left "
                            "HOTTCTOP=HotFontColor.Top HOTTCRIGHT=HotFontColor.Right "
                            "HOTTCBOTTOM=HotFontColor.Bottom TRANSPARENCY=Transparency "
                            "GRADIENTPERCENT=GradientPercent IMAGEPERCENT=ImagePercent GRADIENTDATA=GradientData "
                            "SHOWFOCUS=ShowFocus FADINGENABLED=FadingEnabled FADINGITERATIONS=FadingIterations "
                            "HOTCOLOR=HotColor HOTTRANSPARENCY=HotTransparency "
                            "HOTGRADIENTPERCENT=HotGradientPercent HOTGRADIENTDATA=HotGradientData "
                            "HOTIMAGEPERCENT=HotImagePercent HGCOL=HotGlowColor HGSIZE=HotGlowSize GCOL=GlowColor "
                            "GSIZE=GlowSize ";

// The item field of a key and its kind ('T' text, 'B' Boolean, 'N' number); "" for no section key.
std::string FieldOf(const std::string& key, char& kind)
{
    const std::string fields = std::string(" ") + kFields;
    const size_t at = fields.find(" " + key + "=");
    if (at == std::string::npos) return "";
    const size_t from = at + key.size() + 2;
    const std::string texts = " PARENTCLASS GRADIENTDATA HOTGRADIENTDATA ";
    const std::string booleans = " RESERVEDBOOLEAN GIVEOWNFONT SHOWFOCUS FADINGENABLED ";
    kind = texts.find(" " + key + " ") != std::string::npos      ? 'T'
           : booleans.find(" " + key + " ") != std::string::npos ? 'B'
                                                                 : 'N';
    return fields.substr(from, fields.find(' ', from) - from);
}

std::string Quoted(const std::string& text)
{
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("''") : std::string(1, c);
    return q + "'";
}

std::string Hex(const std::string& bytes)
{
    std::string out = "{";
    char pair[3];
    for (unsigned char b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        out += pair;
    }
    return out + "}";
}

// A bitmap file of the picture: 32 bits as they are, any other format as 24 bits.
std::string BitmapFile(const TBitmap& picture)
{
    TBitmap b;
    b.Assign(picture);
    const bool alpha = b.PixelFormat() == pf32bit;
    if (!alpha) b.SetPixelFormat(pf24bit);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < b.Height(); ++y) {
        const auto* row = static_cast<const uint8_t*>(b.ScanLine(y));
        for (int x = 0; x < b.Width(); ++x) {
            const uint8_t* p = row + x * (alpha ? 4 : 3);
            pixels.push_back(static_cast<uint32_t>(alpha ? p[3] : 0) << 24 | p[2] << 16 | p[1] << 8 | p[0]);
        }
    }
    return BmpBytes(b.Width(), b.Height(), alpha ? 32 : 24, false, pixels);
}

// The container's skin text.
TMemIniFile ContainerText(TMemoryStream& container)
{
    TvxSkinConvertor convertor;
    container.SetPosition(0);
    convertor.LendPackedData(&container);
    convertor.Extract();
    TStringList lines;
    lines.SetText(convertor.Options->DataString());
    return TMemIniFile(lines);
}

// The skin as collections: one section item per section of its text with the keys the section
// writes, one image and one pattern item per record of the loaded tables.
std::string StoredAsCollections(const TMemIniFile& text, const TsSkinManager& loaded)
{
    std::string d = "item Name = 'Stored' Version = 6.5 BorderColor = 0\nGeneralData = <\n";
    TStringList sections, values;
    text.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        d += "item Name = " + Quoted(sections[s]);
        text.ReadSectionValues(sections[s], values);
        for (int i = 0; i < values.Count(); ++i) {
            const std::string line = values[i];
            const std::string key = UpperCase(line.substr(0, line.find('='))), value = line.substr(line.find('=') + 1);
            char kind = 0;
            const std::string field = FieldOf(key, kind);
            int number = 0;
            if (field.empty() || (kind == 'N' && !TryStrToInt(value, number))) continue;
            d += " " + field + " = " +
                 (kind == 'T'   ? Quoted(value)
                  : kind == 'B' ? std::string(UpperCase(value) == "TRUE" ? "True" : "False")
                                : std::to_string(number));
        }
        d += " end\n";
    }
    d += ">\nImages = <\n";
    for (const TsMaskData& m : loaded.MaskData) {
        d += "item SectionName = " + Quoted(m.SectionName) + " PropertyName = " + Quoted(m.PropertyName) +
             " R.Left = " + std::to_string(m.R.Left) + " R.Top = " + std::to_string(m.R.Top) +
             " R.Right = " + std::to_string(m.R.Right) + " R.Bottom = " + std::to_string(m.R.Bottom) +
             " ImageCount = " + std::to_string(m.ImageCount) + " MaskType = " + std::to_string(m.MaskType) +
             " BorderWidth = " + std::to_string(m.BorderWidth) + " StretchMode = " + std::to_string(m.StretchMode) +
             " ImgType = " + std::to_string(m.ImgType) + " WL = " + std::to_string(m.WL) +
             " WT = " + std::to_string(m.WT) + " WR = " + std::to_string(m.WR) + " WB = " + std::to_string(m.WB);
        if (m.Bmp) d += "\nBmp.Data = " + Hex(BitmapFile(*m.Bmp));
        d += " end\n";
    }
    d += ">\nPatterns = <\n";
    for (const TsPatternData& p : loaded.PatternData)
        d += "item SectionName = " + Quoted(p.SectionName) + " PropertyName = " + Quoted(p.PropertyName) +
             " Img.Data = " + Hex(BitmapFile(*p.Img)) + " end\n";
    return d + ">\nMasterBitmap.Data = " + Hex(BitmapFile(*loaded.MasterBitmap)) + "\nend\n";
}

// The manager of a form read from a description that holds these internal skins.
TsSkinManager* ReadManager(TForm& form, const std::string& items)
{
    ReadFormDescription(form,
                        "object Splash: TForm\nobject sSkinManager1: TsSkinManager\nActive = False\n"
                        "InternalSkins = <\n" +
                            items + ">\nend\nend\n",
                        "StoredSkins_test");
    return As<TsSkinManager>(form.FindComponent("sSkinManager1"));
}

auto MaskFields(const TsMaskData& m)
{
    return std::make_tuple(m.SectionName, m.PropertyName, m.R, m.ImageCount, m.MaskType, m.BorderWidth, m.StretchMode,
                           m.ImgType, m.WL, m.WT, m.WR, m.WB, static_cast<bool>(m.Bmp));
}

bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    TBitmap x, y;
    x.Assign(a);
    y.Assign(b);
    const bool alpha = x.PixelFormat() == pf32bit && y.PixelFormat() == pf32bit;
    if (!alpha) {
        x.SetPixelFormat(pf24bit);
        y.SetPixelFormat(pf24bit);
    }
    for (int row = 0; row < x.Height(); ++row)
        if (std::memcmp(x.ScanLine(row), y.ScanLine(row), static_cast<size_t>(x.Width()) * (alpha ? 4 : 3)) != 0)
            return false;
    return true;
}

// The same tables: every section record, image and pattern with its pixels, the master
// bitmap, GLOBALINFO's values the stored skin carries and the fixed indexes.
void ExpectSameTables(const TsSkinManager& want, const TsSkinManager& got)
{
    ASSERT_EQ(got.GeneralData.size(), want.GeneralData.size());
    for (size_t i = 0; i < want.GeneralData.size(); ++i)
        EXPECT_TRUE(got.GeneralData[i] == want.GeneralData[i]) << want.GeneralData[i].Name;
    ASSERT_EQ(got.MaskData.size(), want.MaskData.size());
    for (size_t i = 0; i < want.MaskData.size(); ++i) {
        EXPECT_EQ(MaskFields(got.MaskData[i]), MaskFields(want.MaskData[i])) << i;
        if (want.MaskData[i].Bmp && got.MaskData[i].Bmp) {
            EXPECT_TRUE(SamePixels(*got.MaskData[i].Bmp, *want.MaskData[i].Bmp)) << want.MaskData[i].SectionName;
        }
        EXPECT_EQ(got.MaskData[i].Manager, &got);
    }
    ASSERT_EQ(got.PatternData.size(), want.PatternData.size());
    for (size_t i = 0; i < want.PatternData.size(); ++i) {
        EXPECT_EQ(got.PatternData[i].SectionName, want.PatternData[i].SectionName);
        EXPECT_EQ(got.PatternData[i].PropertyName, want.PatternData[i].PropertyName);
        EXPECT_TRUE(SamePixels(*got.PatternData[i].Img, *want.PatternData[i].Img));
    }
    EXPECT_EQ(got.MasterBitmap->PixelFormat(), pf24bit);
    EXPECT_TRUE(SamePixels(*got.MasterBitmap, *want.MasterBitmap));
    EXPECT_DOUBLE_EQ(got.SkinData.Version, want.SkinData.Version);
    EXPECT_EQ(got.SkinData.BorderColor, want.SkinData.BorderColor);
    EXPECT_EQ(got.SkinData.Shadow1Blur, want.SkinData.Shadow1Blur);
    EXPECT_EQ(std::memcmp(&got.CommonIndexes, &want.CommonIndexes, sizeof want.CommonIndexes), 0);
}

// Every section painted normal and hot over a fill colour gives the same pixels.
void ExpectSamePaint(const TsSkinManager& want, const TsSkinManager& got)
{
    TsCacheInfo fill;
    fill.FillColor = 0x123456;
    for (int s = 0; s < static_cast<int>(want.GeneralData.size()); ++s)
        for (int state : {0, 1}) {
            auto a = CreateBmp24(70, 44), b = CreateBmp24(70, 44);
            PaintSection(a.get(), TRect{0, 0, 70, 44}, s, &want, state, fill);
            PaintSection(b.get(), TRect{0, 0, 70, 44}, s, &got, state, fill);
            EXPECT_TRUE(SamePixels(*a, *b)) << want.GeneralData[static_cast<size_t>(s)].Name << " " << state;
        }
}

class StoredSkins : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SkinEngineStart(); }
    static void TearDownTestSuite() { SkinEngineEnd(); }
};

} // namespace

TEST_F(StoredSkins, ASkinStoredAsCollectionsLoadsAndPaintsAsItsContainer)
{
    auto container = skintest::FileBytes(skintest::SkinPath("Masks.vtz"));
    TsSkinManager packed(nullptr);
    packed.LoadSkinFromData(*container);
    const std::string description = "item Name = 'Packed' Data = " + Hex(container->DataString()) + " end\n" +
                                    StoredAsCollections(ContainerText(*container), packed);

    TForm* form = TForm::Create<TForm>(Application);
    TsSkinManager* m = ReadManager(*form, description);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->InternalSkins().Count(), 2);
    m->SetActive(true);
    m->SetSkinName("Stored");
    EXPECT_EQ(m->SkinName(), "Stored");
    EXPECT_FALSE(m->Packed());
    ExpectSameTables(packed, *m);
    ExpectSamePaint(packed, *m);

    // A copy by Assign loads the same; a whole collection assigned to InternalSkins changes
    // nothing.
    TsStoredSkin copy;
    copy.Assign(m->InternalSkins().Items(1));
    TsSkinManager copied(nullptr);
    copied.LoadSkinFromStoredSkin(copy);
    ExpectSameTables(packed, copied);
    TsStoredSkins other;
    other.Add().Name = "Other";
    m->SetInternalSkins(other);
    EXPECT_EQ(m->InternalSkins().Count(), 2);
    EXPECT_EQ(m->InternalSkins().Items(0).Name, "Packed");
    delete form;
}

TEST_F(StoredSkins, MissingAndOutOfRangeFieldsLoadAsInASkinText)
{
    // The skin text and the same values as items.
    const TMemIniFile text = SkinText("[BUTTON]\nCOLOR=5\nTRANSPARENCY=40\nGIVEOWNFONT=TRUE\n"
                                      "GRADIENTDATA=0;16777215;100;0;0\n"
                                      "BORDERSMASK=@0048@0078@0300@0091@3@0\nGLYPHMASK=@0048@0078@0096\n"
                                      "[BIG]\nPARENTCLASS=button\nTRANSPARENCY=-1\nCOLOR=abc\nHGSIZE=300\n"
                                      "GIVEOWNFONT=yes\nGRADIENTDATA=?\nBORDERSMASK=!OWN.BMP!3!1!9\n"
                                      "IMGTOPLEFT=@0010@0010@0020@0020@-@0\nPATTERN=MISSING.JPG\n"
                                      "[LOOP]\nPARENTCLASS=LOOP\n");
    TFakeSkinImages files;
    files.Files["OWN.BMP"] = {30, 20};
    TsSkinManager fromText(nullptr);
    fromText.LoadSkinTables(text, files, "");

    const std::string own = Hex(BmpBytes(30, 20, 24, false, std::vector<uint32_t>(600, 0x405060)));
    TForm* form = TForm::Create<TForm>(Application);
    TsSkinManager* m = ReadManager(
        *form, "item Name = 'Items'\nGeneralData = <\n"
               "item Name = 'BUTTON' Color = 5 Transparency = 40 GiveOwnFont = True "
               "GradientData = '0;16777215;100;0;0' end\n"
               "item Name = 'BIG' ParentClass = 'button' Transparency = -1 Color = 5000000000 HotGlowSize = 300 "
               "GiveOwnFont = 5 GradientData = '?' end\n"
               "item Name = 'LOOP' ParentClass = 'LOOP' end>\n"
               "Images = <\n"
               "item SectionName = 'BUTTON' PropertyName = 'BORDERSMASK' R.Left = 48 R.Top = 78 R.Right = 300 "
               "R.Bottom = 91 ImageCount = 3 MaskType = 0 ImgType = itisaGlyph end\n"
               "item SectionName = 'BUTTON' PropertyName = 'GLYPHMASK' R.Left = 48 R.Top = 78 R.Right = 96 "
               "ImgType = itisaGlyph end\n"
               "item SectionName = 'BIG' PropertyName = 'BORDERSMASK' ImageCount = 3 MaskType = 1 ImgType = 9 "
               "StretchMode = 4 WL = 3 WT = 3 WR = 3 WB = 3 Bmp.Data = " +
                   own +
                   " end\n"
                   "item SectionName = 'BIG' PropertyName = 'IMGTOPLEFT' R.Left = 10 R.Top = 10 R.Right = 20 "
                   "R.Bottom = 20 ImageCount = -5 MaskType = 0 end\n"
                   "item SectionName = 'BIG' PropertyName = 'HOTGLYPHMASK' R.Left = 10 R.Top = 10 R.Right = 20 "
                   "R.Bottom = 20 ImageCount = 1 MaskType = 70000 end>\n"
                   "Patterns = < item SectionName = 'BIG' PropertyName = 'PATTERN' end>\nend\n");
    ASSERT_NE(m, nullptr);
    TsStoredSkin& items = m->InternalSkins().Items(0);
    items.MasterBitmap.SetSize(testskins::MasterWidth, testskins::MasterHeight);
    m->LoadSkinFromStoredSkin(items);

    ASSERT_EQ(m->GeneralData.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(m->GeneralData[i] == fromText.GeneralData[i]) << fromText.GeneralData[i].Name;
    const TsGeneralData& big = m->GeneralData[1];
    EXPECT_EQ(big.Transparency, 40);
    EXPECT_EQ(big.Color, 5);
    EXPECT_EQ(big.HotGlowSize, 44);
    EXPECT_FALSE(big.GiveOwnFont);
    EXPECT_EQ(big.GradientArray.size(), 1u);
    // Images: R cut to the master bitmap, a kind above 4 counted as 4; an item without all its
    // numbers, with a negative count or a mask type beyond 16 bits is none.
    ASSERT_EQ(m->MaskData.size(), 2u);
    ASSERT_EQ(fromText.MaskData.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(MaskFields(m->MaskData[i]), MaskFields(fromText.MaskData[i])) << i;
    EXPECT_EQ(m->MaskData[0].R, (TRect{48, 78, 256, 91}));
    EXPECT_EQ(m->MaskData[1].ImgType, itisaPngGlyph);
    EXPECT_EQ(m->MaskData[1].Bmp->Canvas().Pixel(29, 0), 0x605040u);
    EXPECT_EQ(big.BorderIndex, 1);
    EXPECT_TRUE(m->PatternData.empty());
    delete form;
}
