// Damaged test skins load what is sound, or are refused with the tables left as they were.
#include <gtest/gtest.h>

#include "gui/base/Exceptions.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/PNGFiles.h"
#include "skin/engine/tests/SkinFolders.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/engine/tools/VtzWriter.h"
#include "skin/engine/vxSkinConvertor.h"
#include "tests/support/BmpBytes.h"

using namespace skintest;

namespace {

const TsGeneralData& Section(const TsSkinManager& m, const std::string& name)
{
    const int i = m.GetSkinIndex(name);
    EXPECT_GE(i, 0) << name;
    return m.GeneralData.at(static_cast<size_t>(i < 0 ? 0 : i));
}

} // namespace

TEST(DamagedSkin, SoundRecordsLoadAndBadNumbersTakeDefaults)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Damaged")));
    const std::vector<TTestImage> images = Recorded("Damaged");
    ASSERT_EQ(m.MaskData.size(), images.size());
    ASSERT_TRUE(m.MasterBitmap);
    EXPECT_EQ(m.MasterBitmap->Width(), testskins::DamagedMasterSize);
    for (size_t i = 0; i < images.size(); ++i) {
        const TsMaskData& r = m.MaskData[i];
        ExpectRecord(m, r, images[i]);
        ExpectPixels(r.Bmp ? *r.Bmp : *m.MasterBitmap, images[i], r.Bmp ? TRect{0, 0, r.R.Right, r.R.Bottom} : r.R);
    }
    // A rectangle reaching outside the master bitmap is cut to it.
    EXPECT_EQ(m.MaskData[0].R, (TRect{40, 40, 64, 64}));
    // State count 0 and mask types 9 and -1 divide nothing by zero.
    const int noState = IndexOfId("Damaged", 41), nine = IndexOfId("Damaged", 42), minus = IndexOfId("Damaged", 43);
    int w = -1, h = -1;
    m.GetMaskSize(noState, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 10);
    m.MaskData[static_cast<size_t>(noState)].WL = 0;
    EXPECT_EQ(m.GetMaskLeftWidth(noState), 30);
    m.GetMaskSize(nine, w, h);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(MaskFrameHeight(m.MaskData[static_cast<size_t>(minus)]), 0);
    EXPECT_EQ(m.GetMaskTopWidth(minus), 0);
    m.GetMaskSize(minus, w, h); // an own bitmap
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 5);

    const TsSkinData& d = m.SkinData;
    EXPECT_EQ(d.Version, 0);
    EXPECT_EQ(d.BorderWidth, 4);
    EXPECT_EQ(d.TitleHeight, 22);
    EXPECT_EQ(d.MaxHeight, 22);
    EXPECT_EQ(d.Shadow1Offset, 0);
    EXPECT_EQ(d.Shadow1Blur, 7);
    EXPECT_EQ(d.BICloseGlow, 0);
    EXPECT_EQ(d.BIMaxGlow, 3);

    EXPECT_EQ(Section(m, "BADINT").Transparency, 40); // not a number: inherited
    EXPECT_EQ(Section(m, "BADINT").Color, 0xFFFFFF);
    EXPECT_EQ(Section(m, "GRADBAD").GradientData, "1;2;x;0;0");
    EXPECT_TRUE(Section(m, "GRADBAD").GradientArray.empty());
    EXPECT_EQ(Section(m, "GRADBAD").HotGradientArray.size(), 1u);
    const int cycle = m.GetSkinIndex("CYCLEA");
    EXPECT_EQ(Section(m, "CYCLEA").Transparency, 0);
    EXPECT_EQ(Section(m, "CYCLEB").FadingIterations, 5);
    EXPECT_EQ(m.GetMaskIndex(cycle, "CYCLEA", "BORDERSMASK"), -1);
    EXPECT_EQ(m.GetPatternIndex(cycle, "CYCLEA", "PATTERN"), -1);

    // Only the whole JPEG with an upper-case name is a pattern.
    ASSERT_EQ(m.PatternData.size(), 1u);
    EXPECT_EQ(m.PatternData[0].SectionName, "PANEL_LOW");
    EXPECT_EQ(m.PatternData[0].Img->Width(), testskins::PatternSize);
    EXPECT_EQ(m.CommonIndexes.BoxChecked, -1);
    EXPECT_EQ(m.CommonIndexes.BoxGrayed, -1);
}

TEST(DamagedSkin, MissingMasterBitmapIsEmpty)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("NoMaster")));
    ASSERT_TRUE(m.MasterBitmap);
    EXPECT_TRUE(m.MasterBitmap->Empty());
    ASSERT_EQ(m.MaskData.size(), 1u);
    EXPECT_EQ(m.MaskData[0].R, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(m.GeneralData[static_cast<size_t>(m.GetSkinIndex("BUTTON"))].BorderIndex, 0);
}

TEST(DamagedSkin, RefusedSkinsLeaveTheTablesAsTheyWere)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks")));
    const size_t masks = m.MaskData.size(), sections = m.GeneralData.size();
    EXPECT_FALSE(m.LoadSkinFromFolder(SkinPath("NoOptions")));
    EXPECT_FALSE(m.LoadSkinFromFolder(SkinPath("NoSuchSkin")));
    std::unique_ptr<TMemoryStream> broken = FileBytes(SkinPath("Broken.vtz"));
    EXPECT_THROW(m.LoadSkinFromData(*broken), Exception);
    TMemoryStream notPacked;
    notPacked.WriteString("VTZF and more");
    EXPECT_THROW(m.LoadSkinFromData(notPacked), EvxNotPacked);
    EXPECT_EQ(m.MaskData.size(), masks);
    EXPECT_EQ(m.GeneralData.size(), sections);
    EXPECT_EQ(m.SkinData.SkinPath, SkinPath("Masks") + "\\");
    EXPECT_EQ(m.CommonIndexes.BoxChecked, IndexOfId("Masks", 1));
}

// Container entries are found by their upper-cased names only.
TEST(DamagedSkin, ContainerEntriesMissingOrNamedOtherwiseAddNoRecord)
{
    const std::string bmp = BmpBytes(9, 4, 24, false, std::vector<uint32_t>(36, 0x102030));
    const std::string options = "[GLOBALINFO]\nMASTERBITMAP=master.bmp\nG=@0000@0000@0004@0004@1@0\n"
                                "[BUTTON_HUGE]\nBORDERSMASK=!BUTTONHUGE.BMP!3!1!0\nHOT=!ButtonHuge.BMP!3!1!0\n"
                                "GONE=!NOTHERE.BMP!1!0!0\nPATTERN=NOTHERE.JPG\n";
    TMemoryStream packed;
    packed.WriteString(vtz::Pack({{"Options.dat", options, 9}, {"ButtonHuge.bmp", bmp, 9}, {"Master.bmp", bmp, 9}}));
    TsSkinManager m(nullptr);
    m.LoadSkinFromData(packed);
    ASSERT_TRUE(m.MasterBitmap);
    EXPECT_TRUE(m.MasterBitmap->Empty()); // "master.bmp" is not the upper-cased "Master.bmp"
    ASSERT_EQ(m.MaskData.size(), 2u);
    EXPECT_EQ(m.MaskData[0].R, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(m.MaskData[1].PropertyName, "BORDERSMASK");
    ASSERT_TRUE(m.MaskData[1].Bmp);
    EXPECT_EQ(m.MaskData[1].Bmp->Width(), 9);
    EXPECT_EQ(m.MaskData[1].Bmp->Canvas().Pixel(8, 3), 0x302010u);
    EXPECT_TRUE(m.PatternData.empty());
}

// A master bitmap of run-length moves whose sum passes 2^31, in a packed skin chosen by name:
// no master bitmap, the rest of the skin loads.
TEST(DamagedSkin, AMasterBitmapMovingOutOfItselfIsNoPictureAndTheSkinLoads)
{
    const std::string small = BmpBytes(9, 4, 24, false, std::vector<uint32_t>(36, 0x102030));
    TSkinFolders dir;
    dir.File("Moves.vtz", vtz::Pack({{"Options.dat", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n"
                                                     "[BUTTON]\nBORDERSMASK=!SMALL.BMP!1!0!0\n"},
                                     {"Master.bmp", MovesPastTheWidthBmp()},
                                     {"Small.bmp", small}}));
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(dir.Path());
    m.SetSkinName("Moves");
    EXPECT_EQ(m.SkinName(), "Moves");
    EXPECT_TRUE(m.Packed());
    ASSERT_TRUE(m.MasterBitmap);
    EXPECT_TRUE(m.MasterBitmap->Empty());
    ASSERT_EQ(m.MaskData.size(), 1u);
    ASSERT_TRUE(m.MaskData[0].Bmp);
    EXPECT_EQ(m.MaskData[0].Bmp->Width(), 9);
}

// Blank pictures of 4096 x 4000 pixels (62.5 MiB each as counted; run-length coded or deflated
// zeros, little data): the master bitmap and one more fit the 128 MiB of one skin, a third (a
// PNG) is refused before it is decoded, a small one after it still fits.
TEST(DamagedSkin, PicturesPastTheCapOfOneSkinAddNoRecord)
{
    const std::string blank = CodedBmp(4096, 4000, 8, 1, {0}, std::string("\x00\x01", 2), 2);
    const std::string png = TPNGFile::Simple(4096, 4000, 8, 6, std::string(4000 * (1 + 4096 * 4), '\0'));
    TMemoryStream packed;
    packed.WriteString(vtz::Pack({{"Options.dat", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[BUTTON]\n"
                                                  "SECOND=!SECOND.BMP!1!0!0\nTHIRD=!THIRD.PNG!1!0!0\n"
                                                  "SMALL=!SMALL.BMP!1!0!0\n"},
                                  {"Master.bmp", blank},
                                  {"Second.bmp", blank},
                                  {"Third.png", png},
                                  {"Small.bmp", BmpBytes(9, 4, 24, false, std::vector<uint32_t>(36, 0x102030))}}));
    TsSkinManager m(nullptr);
    m.LoadSkinFromData(packed);
    ASSERT_TRUE(m.MasterBitmap);
    EXPECT_EQ(m.MasterBitmap->Width(), 4096);
    ASSERT_EQ(m.MaskData.size(), 2u);
    EXPECT_EQ(m.MaskData[0].PropertyName, "SECOND");
    EXPECT_EQ(m.MaskData[0].Bmp->Height(), 4000);
    EXPECT_EQ(m.MaskData[1].PropertyName, "SMALL");
    EXPECT_EQ(m.GetMaskIndex(m.GetSkinIndex("BUTTON"), "BUTTON", "THIRD"), -1);
}

// A picture file of a skin folder larger than a container's entry may be (a 24-bit 4096 x 5462
// bitmap, 64 MiB and more; written sparse) is not read: no record, the rest loads.
TEST(DamagedSkin, AFolderPictureLargerThanAContainerEntryAddsNoRecord)
{
    TSkinFolders dir;
    dir.Folder("Big");
    dir.File("Big\\Options.dat", "[BUTTON]\nBIG=!BIG.BMP!1!0!0\nSMALL=!SMALL.BMP!1!0!0\n");
    dir.File("Big\\Small.bmp", BmpBytes(9, 4, 24, false, std::vector<uint32_t>(36, 0x102030)));
    const std::string header = testbmp::Headers(4096, 5462, 24, 0, {}, 4096 * 3 * 5462, 4096 * 3 * 5462);
    dir.File("Big\\Big.bmp", header);
    {
        TFileHandle f(
            CreateFileA((dir.Path() + "\\Big\\Big.bmp").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(header.size()) + 4096 * 3 * 5462;
        ASSERT_TRUE(SetFilePointerEx(f.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(f.get()));
    }
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(dir.Path() + "\\Big"));
    ASSERT_EQ(m.MaskData.size(), 1u);
    EXPECT_EQ(m.MaskData[0].PropertyName, "SMALL");
}
