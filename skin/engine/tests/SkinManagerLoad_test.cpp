// The skin manager loading skins by name from its skin folder and its internal skins, the
// recolouring at load, a damaged container, and the version banner.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/base/Handles.h"
#include "gui/base/Streams.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sSysUtils.h"
#include "skin/engine/tests/SkinFolders.h"
#include "skin/engine/tests/TestSkins.h"
#include "tests/support/ModalScript.h"

namespace {

using skintest::SkinPath;

// The folder of the test skins as a Windows path (a skin folder setting needs a drive).
std::string TestSkinsFolder()
{
    std::string path = "Z:" + std::string(TEST_SKINS_DIR);
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ReadAll(const std::string& file)
{
    auto s = skintest::FileBytes(file);
    return s->DataString();
}

std::string TempPath(const std::string& name)
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    return std::string(tmp) + name + "_" + std::to_string(GetCurrentProcessId());
}

// The master bitmap's pixel as RGB.
TColor MasterPixel(const TsSkinManager& m, int x, int y)
{
    const auto* p = static_cast<const uint8_t*>(m.MasterBitmap->ScanLine(y)) + 3 * x;
    return RGBColor(p[2], p[1], p[0]);
}

TColor SectionColor(const TsSkinManager& m, const char* section)
{
    return m.GeneralData[static_cast<size_t>(m.GetSkinIndex(section))].Color;
}
TColor ButtonColor(const TsSkinManager& m) { return SectionColor(m, "BUTTON"); }
TColor TitleColor(const TsSkinManager& m) { return SectionColor(m, "FORMTITLE"); }

} // namespace

TEST(SkinManagerLoad, APackedFileWinsOverAFolderAndUnknownNamesTakeTheFirstInternalSkin)
{
    TSkinFolders dir(TempPath("skinload"));
    dir.Folder("Blue");
    dir.File("Blue\\Options.dat", ReadAll(SkinPath("Colors/Options.dat")));
    dir.File("Blue.vtz", ReadAll(SkinPath("Masks.vtz")));
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(dir.Path());
    m.SetSkinName("Blue");
    EXPECT_TRUE(m.Packed());
    ASSERT_TRUE(m.MasterBitmap); // only the packed "Masks" has one
    EXPECT_EQ(m.MasterBitmap->Width(), testskins::MasterWidth);
    EXPECT_EQ(m.SkinData.SkinPath, dir.Path() + "\\");
    EXPECT_TRUE(m.SkinData.SkinLoaded);

    // The raw data of a description: a 32-bit length, then the container.
    const std::string container = ReadAll(SkinPath("Masks.vtz"));
    TPropValue skins;
    skins.kind = TPropValue::Collection;
    const uint32_t n = static_cast<uint32_t>(container.size());
    const std::string raw = std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                                        static_cast<char>(n >> 24)} +
                            container;
    skins.collection.push_back({{"Name", TPropValue::OfString("Inner (internal)")}, {"Data", [&] {
                                                                                         TPropValue v;
                                                                                         v.kind = TPropValue::Binary;
                                                                                         v.s = raw;
                                                                                         return v;
                                                                                     }()}});
    m.SetProperty("InternalSkins", skins);
    ASSERT_EQ(m.InternalSkins().Count(), 1);
    EXPECT_EQ(m.InternalSkins().Items(0).Data.DataString(), container);

    m.SetSkinName("Nothing of that name");
    EXPECT_EQ(m.SkinName(), "Inner (internal)");
    EXPECT_TRUE(m.Active());
    EXPECT_TRUE(m.Packed());
    EXPECT_EQ(m.SkinData.SkinPath, "");
    EXPECT_GE(m.GetSkinIndex("BUTTON"), 0);

    // Without an internal skin nothing is left to load.
    m.InternalSkins().Clear();
    m.SetSkinName("Nothing of that name");
    EXPECT_FALSE(m.Active());
    EXPECT_TRUE(m.GeneralData.empty());
    EXPECT_FALSE(m.MasterBitmap);
    EXPECT_EQ(m.CommonIndexes.GlobalInfo, -1);
    EXPECT_EQ(m.GetSkinIndex("BUTTON"), -1);
}

TEST(SkinManagerLoad, ARelativeSkinFolderListsAndLoadsTheSameFromAnyCurrentFolder)
{
    const std::string name = "relskins_" + std::to_string(GetCurrentProcessId());
    TSkinFolders dir(AppPath() + name);
    dir.File("Blue.vtz", ReadAll(SkinPath("Masks.vtz")));
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    SetCurrentDirectoryA(tmp);
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(name);
    TStringList list;
    m.GetSkinNames(list, 1);
    EXPECT_EQ(list.Text(), "Blue\r\n");
    m.SetSkinName("Blue");
    EXPECT_TRUE(m.Packed());
    EXPECT_TRUE(m.MasterBitmap);
    SetCurrentDirectoryA(before);
}

TEST(SkinManagerLoad, ADamagedContainerLeavesTheSkinLoadedBefore)
{
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(TestSkinsFolder());
    m.SetSkinName("Masks"); // "Masks.vtz" beside the folder "Masks"
    ASSERT_TRUE(m.Packed());
    m.SetSkinName("Colors");
    ASSERT_FALSE(m.Packed());
    const size_t sections = m.GeneralData.size();
    const int button = m.GetSkinIndex("BUTTON");
    const TsCommonIndexes indexes = m.CommonIndexes;
    const TColor color = ButtonColor(m);

    EXPECT_ANY_THROW(m.SetSkinName("Broken"));
    EXPECT_EQ(m.SkinName(), "Colors");
    EXPECT_FALSE(m.Packed());
    EXPECT_TRUE(m.SkinData.SkinLoaded);
    EXPECT_FALSE(SkinManagerFlags().Loading);
    EXPECT_EQ(m.GeneralData.size(), sections);
    EXPECT_EQ(m.GetSkinIndex("BUTTON"), button);
    EXPECT_EQ(ButtonColor(m), color);
    EXPECT_EQ(m.CommonIndexes.GlobalInfo, indexes.GlobalInfo);
    EXPECT_EQ(m.CommonIndexes.ComboBtn, indexes.ComboBtn);
    EXPECT_EQ(m.CommonIndexes.Tabs[0].SkinIndex, indexes.Tabs[0].SkinIndex);
    EXPECT_EQ(m.CommonIndexes.ScrollBars[1].SkinIndex, indexes.ScrollBars[1].SkinIndex);
    // Still usable: the next good skin loads.
    m.SetSkinName("Masks");
    EXPECT_TRUE(m.Packed());
}

TEST(SkinManagerLoad, SaturationChangesTheSectionColoursAtLoad)
{
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(TestSkinsFolder());
    m.SetSkinName("Colors");
    const TColor plain = TitleColor(m);
    ASSERT_EQ(plain, 8388608);
    m.SetSaturation(150);
    EXPECT_EQ(TitleColor(m), ChangeSaturation(plain, -49));
    m.SetSaturation(-30);
    EXPECT_EQ(TitleColor(m), ChangeSaturation(plain, 30));
    EXPECT_NE(TitleColor(m), plain);
    m.SetSaturation(0);
    EXPECT_EQ(TitleColor(m), plain);
    m.SetSaturation(101);
    EXPECT_EQ(TitleColor(m), ChangeSaturation(plain, 0));
    EXPECT_EQ(m.SkinName(), "Colors");
}

TEST(SkinManagerLoad, HueTurnsTheSkinButKeepsTheTitleIconsBIKEEPHUESays)
{
    TSkinFolders dir(TempPath("skinhue"));
    dir.Folder("Icons");
    TBitmap master(48, 16);
    master.SetPixelFormat(pf24bit);
    master.Canvas().Brush().SetColor(0x2040C0);
    master.Canvas().FillRect(RECT{0, 0, 48, 16});
    master.SaveToFile(dir.Path() + "\\Icons\\Master.bmp");
    const std::string icons = "MASTERBITMAP=Master.bmp\r\nBICONCLOSE=@0000@0000@0016@0016@1@0\r\n"
                              "BICONMAX=@0016@0000@0032@0016@1@0\r\n[BUTTON]\r\nCOLOR=255\r\n";
    const TColor red = 0x2040C0, turned = ChangeHue(0x2040C0, 90);
    ASSERT_NE(red, turned);
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(dir.Path());
    m.SetHueOffset(90);

    dir.File("Icons\\Options.dat", "[GLOBALINFO]\r\nBIKEEPHUE=2\r\n" + icons);
    m.SetSkinName("Icons");
    EXPECT_EQ(MasterPixel(m, 8, 8), red);     // the close icon
    EXPECT_EQ(MasterPixel(m, 24, 8), turned); // another title icon
    EXPECT_EQ(MasterPixel(m, 40, 8), turned); // no icon
    EXPECT_EQ(ButtonColor(m), ChangeHue(255, 90));

    dir.File("Icons\\Options.dat", "[GLOBALINFO]\r\nBIKEEPHUE=1\r\n" + icons);
    m.SetSkinName("Icons");
    EXPECT_EQ(MasterPixel(m, 8, 8), red);
    EXPECT_EQ(MasterPixel(m, 24, 8), red);
    EXPECT_EQ(MasterPixel(m, 40, 8), turned);

    dir.File("Icons\\Options.dat", "[GLOBALINFO]\r\nBIKEEPHUE=0\r\n" + icons);
    m.SetSkinName("Icons");
    EXPECT_EQ(MasterPixel(m, 8, 8), turned);
    m.SetHueOffset(0);
    EXPECT_EQ(MasterPixel(m, 8, 8), red);
}

TEST(SkinManagerLoad, HueAndSaturationLeaveTheTransparentKeyAndGreys)
{
    TSkinFolders dir(TempPath("skinkey"));
    dir.Folder("Key");
    TBitmap master(48, 16);
    master.SetPixelFormat(pf24bit);
    const TColor colours[] = {0xFF00FF, 0x808080, 0x2040C0};
    for (int i = 0; i < 3; ++i) {
        master.Canvas().Brush().SetColor(colours[i]);
        master.Canvas().FillRect(RECT{16 * i, 0, 16 * i + 16, 16});
    }
    master.SaveToFile(dir.Path() + "\\Key\\Master.bmp");
    dir.File("Key\\Options.dat", "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n[BUTTON]\r\nCOLOR=255\r\n");
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(dir.Path());
    m.SetHueOffset(90);
    m.SetSaturation(-30);
    m.SetSkinName("Key");
    EXPECT_EQ(MasterPixel(m, 8, 8), 0xFF00FF);
    EXPECT_EQ(MasterPixel(m, 24, 8), 0x808080);
    EXPECT_EQ(MasterPixel(m, 40, 8), ChangeSaturation(ChangeHue(0x2040C0, 90), 30));
}

TEST(SkinManagerLoad, TheVersionBannerShowsOnceForAnyCaseOfVxver)
{
    {
        TModalScript script({TModalScript::PressButton(IDOK)});
        ShowVersionBanner({"/x", "/VXVER", "/vxver"});
        EXPECT_EQ(script.Done(), 1);
        EXPECT_EQ(script.Unexpected(), 0);
        ASSERT_EQ(script.Texts.size(), 1u);
        EXPECT_EQ(script.Texts[0], "Velocon v6.61");
    }
    TModalScript none({});
    ShowVersionBanner({"vxver", "/vxver2"});
    EXPECT_EQ(none.Unexpected(), 0);
}

TEST(SkinManagerLoad, WithoutBuiltInShadowsExtendedBordersHaveNoMargins)
{
    ASSERT_EQ(BuiltInShadow(true), nullptr); // this test program carries no shadow resources
    TsSkinManager m(nullptr);
    m.SetExtendedBorders(true);
    m.SetSkinDirectory(TestSkinsFolder());
    m.SetSkinName("Colors");
    EXPECT_EQ(m.ShadowMargins(), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(m.ShadowActive(), nullptr);
}
