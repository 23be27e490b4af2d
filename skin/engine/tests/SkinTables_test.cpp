// The Masks test skin loaded from its folder, from its packed file and from container bytes:
// the records the layout describes, the pixels of the master bitmap and of the own bitmaps,
// the lookups and the fixed indexes; skin folders read as ANSI text, values naming files by
// their full path.
#include <gtest/gtest.h>

#include <memory>

#include "gui/base/MemIniFile.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/engine/vxSkinConvertor.h"
#include "tests/support/BmpBytes.h"

using namespace skintest;

namespace {

// Every image record and its pixels as the layout says.
void ExpectMasksSkin(TsSkinManager& m)
{
    const std::vector<TTestImage> images = Recorded("Masks");
    ASSERT_EQ(m.MaskData.size(), images.size());
    ASSERT_TRUE(m.MasterBitmap);
    EXPECT_EQ(m.MasterBitmap->Width(), testskins::MasterWidth);
    EXPECT_EQ(m.MasterBitmap->Height(), testskins::MasterHeight);
    EXPECT_EQ(m.MasterBitmap->PixelFormat(), pf24bit);
    for (size_t i = 0; i < images.size(); ++i) {
        const TsMaskData& r = m.MaskData[i];
        ExpectRecord(m, r, images[i]);
        ExpectPixels(r.Bmp ? *r.Bmp : *m.MasterBitmap, images[i], r.Bmp ? TRect{0, 0, r.R.Right, r.R.Bottom} : r.R);
    }
    // Outside every image the master bitmap is black.
    EXPECT_EQ(m.MasterBitmap->Canvas().Pixel(255, 159), 0u);
    EXPECT_EQ(m.MasterBitmap->Canvas().Pixel(250, 0), 0u);
}

int Index(int id) { return IndexOfId("Masks", id); }

} // namespace

TEST(MasksSkin, FolderGivesTheLayoutAndItsPixels)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks")));
    EXPECT_EQ(m.SkinData.SkinPath, SkinPath("Masks") + "\\");
    EXPECT_EQ(m.SkinData.MasterBitmap, "MASTER.BMP");
    EXPECT_DOUBLE_EQ(m.SkinData.Version, 6.5);
    ExpectMasksSkin(m);

    // "@0048@0078@0096@0091@3@0": 3 states of 16 x 13.
    const TsMaskData& box = m.MaskData[static_cast<size_t>(Index(1))];
    EXPECT_EQ(box.R, (TRect{48, 78, 96, 91}));
    int w = 0, h = 0;
    m.GetMaskSize(Index(1), w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 13);
    // "^0186^0000^0249^0042^0000^0000^0000^0000^3^1^5^0": borders 7 on every side.
    EXPECT_EQ(m.GetMaskLeftWidth(Index(2)), 7);
    EXPECT_EQ(m.GetMaskTopWidth(Index(2)), 7);
    EXPECT_EQ(m.GetMaskRightWidth(Index(2)), 7);
    EXPECT_EQ(m.GetMaskBottomWidth(Index(2)), 7);
    // An own bitmap: width div 3 by height div 2.
    m.GetMaskSize(Index(30), w, h);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 30);
    m.GetMaskSize(Index(31), w, h);
    EXPECT_EQ(w, 21);
    EXPECT_EQ(h, 10);

    // Own bitmaps are made 24-bit, except textures.
    EXPECT_EQ(m.MaskData[static_cast<size_t>(Index(30))].Bmp->PixelFormat(), pf24bit);
    EXPECT_EQ(m.MaskData[static_cast<size_t>(Index(31))].Bmp->PixelFormat(), pf24bit); // from 32 bits
    EXPECT_EQ(m.MaskData[static_cast<size_t>(Index(32))].Bmp->PixelFormat(), pf8bit);  // a texture
    EXPECT_EQ(m.MaskData[static_cast<size_t>(Index(34))].Bmp->PixelFormat(), pf24bit); // from 8 bits

    // PNG images, by name and by their bytes behind a ".BMP" name, come through the PNG decoder:
    // 32 bits, alpha 0 where the picture is transparent, 255 elsewhere.
    for (int id : {35, 36}) {
        SCOPED_TRACE(id);
        TBitmap& png = *m.MaskData[static_cast<size_t>(Index(id))].Bmp;
        EXPECT_EQ(png.PixelFormat(), pf32bit);
        EXPECT_EQ(static_cast<const uint8_t*>(png.ScanLine(0))[3], 0);           // corner (0, 0)
        EXPECT_EQ(static_cast<const uint8_t*>(png.ScanLine(5))[4 * 7 + 3], 255); // middle piece
        EXPECT_EQ(static_cast<const uint8_t*>(png.ScanLine(5))[4 * 7 + 0], 200);
    }
    m.GetMaskSize(Index(35), w, h);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 8);
    EXPECT_EQ(m.GetMaskLeftWidth(Index(36)), 5);
    EXPECT_EQ(m.GetMaskTopWidth(Index(36)), 5);

    ASSERT_EQ(m.PatternData.size(), 1u);
    const TsPatternData& pattern = m.PatternData[0];
    EXPECT_EQ(pattern.SectionName, "PANEL_LOW");
    EXPECT_EQ(pattern.PropertyName, "PATTERN");
    ASSERT_TRUE(pattern.Img);
    EXPECT_EQ(pattern.Img->Width(), testskins::PatternSize);
    EXPECT_EQ(pattern.Img->Height(), testskins::PatternSize);
    EXPECT_EQ(pattern.Img->PixelFormat(), pf24bit);
    const COLORREF c = pattern.Img->Canvas().Pixel(5, 9);
    EXPECT_NEAR(GetRValue(c), 100, 3);
    EXPECT_NEAR(GetGValue(c), 150, 3);
    EXPECT_NEAR(GetBValue(c), 50, 3);
    EXPECT_EQ(m.GetPatternIndex(m.GetSkinIndex("PANEL_LOW"), "PANEL_LOW", "PATTERN"), 0);
}

TEST(MasksSkin, LookupsInheritAndCompareExactly)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks")));
    const int big = m.GetSkinIndex("BUTTON_BIG");
    EXPECT_EQ(m.GetMaskIndex(big, "BUTTON_BIG", "BORDERSMASK"), Index(2));
    EXPECT_EQ(m.GetMaskIndexByName("BUTTON_BIG", "BORDERSMASK"), -1);
    EXPECT_EQ(m.GeneralData[static_cast<size_t>(big)].BorderIndex, Index(2));
    EXPECT_EQ(m.GeneralData[static_cast<size_t>(big)].ImgTopLeft, Index(17));
    EXPECT_EQ(m.GeneralData[static_cast<size_t>(big)].ImgTopRight, -1);
    EXPECT_EQ(m.GetSkinIndex("PANEL"), -1); // written "[Panel]"
    EXPECT_EQ(m.GetMaskIndexByName("PANEL", "BORDERSMASK"), Index(16));
    EXPECT_EQ(m.GetMaskIndexByName("GAUGE", "BORDERSMASK"), -1);
    EXPECT_EQ(m.GetMaskIndexByName("GAUGE", "BordersMask"), Index(18));
    EXPECT_EQ(m.GetMaskIndexByName("HINT", "BORDERSMASK"), Index(19)); // the first of the two
    EXPECT_EQ(m.GeneralData[static_cast<size_t>(m.GetSkinIndex("HINT"))].BorderIndex, Index(19));
    EXPECT_EQ(m.GetTextureIndex(m.GetSkinIndex("MENUITEM"), "MENUITEM", "BORDERSMASK"), Index(32));
    EXPECT_EQ(m.GetTextureIndex(m.GetSkinIndex("BUTTON"), "BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(m.GetMaskIndexByName("TOOLBAR", "GLYPHMASK"), Index(35));
}

TEST(MasksSkin, FixedIndexesAfterALoadAndAllUnsetAfterAnUnload)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks")));
    const TsCommonIndexes& c = m.CommonIndexes;
    EXPECT_EQ(c.GlobalInfo, 0);
    EXPECT_EQ(c.ExBorder, Index(15));
    EXPECT_EQ(c.BoxChecked, Index(1));
    EXPECT_EQ(c.BoxUnchecked, Index(13));
    EXPECT_EQ(c.BoxGrayed, -1);
    EXPECT_EQ(c.RadioChecked, Index(14));
    EXPECT_EQ(c.RadioUnchecked, -1);
    EXPECT_EQ(c.SmallChecked, -1);
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Top].SkinIndex, m.GetSkinIndex("TABTOP"));
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Top].BorderIndex, Index(4));
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Left].SkinIndex, -1);
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Left].BorderIndex, -1);
    for (int side : {TsCommonIndexes::Top, TsCommonIndexes::Bottom}) {
        EXPECT_EQ(c.ScrollButtons[static_cast<size_t>(side)].BorderIndex, Index(5)); // bottom by its parent
        EXPECT_EQ(c.ScrollButtons[static_cast<size_t>(side)].GlyphIndex, Index(6));
        EXPECT_EQ(c.ScrollButtons[static_cast<size_t>(side)].PatternIndex, -1);
    }
    EXPECT_EQ(c.ScrollButtons[TsCommonIndexes::Right].SkinIndex, -1);
    EXPECT_EQ(c.ScrollButtons[TsCommonIndexes::Right].GlyphIndex, -1);
    EXPECT_EQ(c.ScrollSliders[TsCommonIndexes::SliderV].BorderIndex, Index(7));
    EXPECT_EQ(c.ScrollSliders[TsCommonIndexes::SliderH].SkinIndex, -1);
    EXPECT_EQ(c.ScrollBars[TsCommonIndexes::Bar1H].BorderIndex, -1);
    EXPECT_EQ(c.ScrollBars[TsCommonIndexes::Bar1H].PatternIndex, Index(8));
    EXPECT_EQ(c.ScrollBars[TsCommonIndexes::Bar1H].HotPatternIndex, Index(9));
    EXPECT_EQ(c.ComboBtn, m.GetSkinIndex("COMBOBTN"));
    EXPECT_EQ(c.ComboBtnBorder, Index(10));
    EXPECT_EQ(c.ComboBtnPattern, Index(11));
    EXPECT_EQ(c.ComboBtnHotPattern, -1);
    EXPECT_EQ(c.ComboGlyph, Index(12));

    m.UnloadSkinTables();
    EXPECT_TRUE(m.GeneralData.empty());
    EXPECT_TRUE(m.MaskData.empty());
    EXPECT_TRUE(m.PatternData.empty());
    EXPECT_FALSE(m.MasterBitmap);
    EXPECT_EQ(c.GlobalInfo, -1);
    EXPECT_EQ(c.ExBorder, -1);
    EXPECT_EQ(c.BoxChecked, -1);
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Top].SkinIndex, -1);
    EXPECT_EQ(c.Tabs[TsCommonIndexes::Top].BorderIndex, -1);
    EXPECT_EQ(c.ScrollButtons[TsCommonIndexes::Bottom].GlyphIndex, -1);
    EXPECT_EQ(c.ScrollBars[TsCommonIndexes::Bar1H].HotPatternIndex, -1);
    EXPECT_EQ(c.ComboBtn, -1);
    EXPECT_EQ(c.ComboBtnPattern, -1);
    EXPECT_EQ(c.ComboGlyph, -1);
}

// The packed skin holds the same images; only its COLOR values differ (lowest bit turned over).
TEST(MasksSkin, PackedFileAndContainerBytesGiveTheSameTablesButTheirColours)
{
    TsSkinManager folder(nullptr), packed(nullptr), bytes(nullptr);
    ASSERT_TRUE(folder.LoadSkinFromFolder(SkinPath("Masks")));
    std::unique_ptr<TvxSkinConvertor> convertor;
    LoadSkinFile(SkinPath("Masks.vtz"), convertor, true);
    ASSERT_TRUE(convertor);
    packed.LoadSkinFromContainer(*convertor, "C:\\Skins\\");
    EXPECT_EQ(packed.SkinData.SkinPath, "C:\\Skins\\");
    ExpectMasksSkin(packed); // "!BUTTONHUGE.BMP" found the entry "ButtonHuge.bmp"

    std::unique_ptr<TMemoryStream> data = FileBytes(SkinPath("Masks.vtz"));
    bytes.LoadSkinFromData(*data);
    EXPECT_EQ(bytes.SkinData.SkinPath, "");
    EXPECT_EQ(data->Size(), static_cast<int64_t>(data->DataString().size())); // lent, not freed
    ExpectMasksSkin(bytes);

    for (TsSkinManager* other : {&packed, &bytes}) {
        ASSERT_EQ(other->GeneralData.size(), folder.GeneralData.size());
        for (size_t i = 0; i < folder.GeneralData.size(); ++i) {
            const TsGeneralData& a = folder.GeneralData[i];
            const TsGeneralData& b = other->GeneralData[i];
            EXPECT_EQ(b.Name, a.Name);
            EXPECT_EQ(b.ParentClass, a.ParentClass);
            EXPECT_EQ(b.BorderIndex, a.BorderIndex);
            EXPECT_EQ(b.ImgTopLeft, a.ImgTopLeft);
            EXPECT_EQ(b.Transparency, a.Transparency);
            EXPECT_EQ(b.FontColor, a.FontColor);
            EXPECT_EQ(b.Color, a.Color ^ 1) << a.Name; // written or inherited
            EXPECT_EQ(b.HotColor, a.HotColor);
        }
        ASSERT_EQ(other->PatternData.size(), 1u);
        EXPECT_EQ(other->PatternData[0].Img->Width(), testskins::PatternSize);
        EXPECT_EQ(other->CommonIndexes.ComboGlyph, folder.CommonIndexes.ComboGlyph);
        EXPECT_EQ(other->CommonIndexes.ExBorder, folder.CommonIndexes.ExBorder);
    }
}

// A folder skin takes a value holding ":" as the file itself, any other behind the skin folder.
TEST(FolderSkin, ValuesWithAColonNameTheFileItself)
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string file = std::string(tmp) + "TILLORA_OWN_" + std::to_string(GetCurrentProcessId()) + ".BMP";
    {
        TFileStream out(file, fmCreate);
        out.WriteString(BmpBytes(6, 2, 24, false, std::vector<uint32_t>(12, 0x405060)));
    }
    TStringList lines;
    lines.SetText("[BUTTON]\nBORDERSMASK=!" + file + "!3!0!0\nGLYPHMASK=" + file +
                  "\nIMGTOPLEFT=!TILLORA_OWN.BMP!1!0!0\n");
    const TMemIniFile ini(lines);
    const std::string skinPath = std::string(tmp) + "NoSuchSkin\\";
    TsFolderImages images(skinPath);
    TsSkinManager m(nullptr);
    m.LoadSkinTables(ini, images, skinPath);
    DeleteFileA(file.c_str());
    ASSERT_EQ(m.MaskData.size(), 2u);
    EXPECT_EQ(m.MaskData[0].PropertyName, "BORDERSMASK");
    EXPECT_EQ(m.MaskData[0].R, (TRect{0, 0, 6, 2}));
    EXPECT_EQ(m.MaskData[0].Bmp->Canvas().Pixel(5, 1), 0x605040u);
    EXPECT_EQ(m.MaskData[1].PropertyName, "GLYPHMASK");
    EXPECT_EQ(m.MaskData[1].ImageCount, 3);
    EXPECT_EQ(m.GetMaskIndexByName("BUTTON", "IMGTOPLEFT"), -1); // not in the (missing) skin folder
}

// "Options.dat" is ANSI text: its bytes reach the records as they stand.
TEST(FolderSkin, SkinTextIsAnsi)
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string folder = std::string(tmp) + "TilloraAnsi" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    {
        TFileStream out(folder + "\\Options.dat", fmCreate);
        out.WriteString(
            "[GLOBALINFO]\r\nAUTHOR=J\xFCrgen M\xFCller\r\n[GR\xDCN]\r\nCOLOR=5\r\n[ Blau ]\r\nCOLOR=6\r\n");
    }
    TsSkinManager m(nullptr);
    const bool loaded = m.LoadSkinFromFolder(folder);
    DeleteFileA((folder + "\\Options.dat").c_str());
    RemoveDirectoryA(folder.c_str());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(m.SkinData.Author, "J\xFCrgen M\xFCller");
    EXPECT_EQ(m.GetSkinIndex("GR\xDCN"), 1);
    EXPECT_EQ(m.GeneralData[1].Color, 5);
    EXPECT_EQ(m.GetSkinIndex("Blau"), 2); // names trimmed
}
