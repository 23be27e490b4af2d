// The skin manager's settings from a form description, the default-manager rule, the skin
// folder and the list of available skins.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStart.h"
#include "skin/engine/sSysUtils.h"
#include "skin/engine/tests/SkinFolders.h"

namespace {

class SkinManager : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SkinEngineStart(); }
    static void TearDownTestSuite() { SkinEngineEnd(); }
};

std::string Lines(const TStrings& list)
{
    std::string s;
    for (int i = 0; i < list.Count(); ++i)
        s += list[i] + ";";
    return s;
}

} // namespace

TEST_F(SkinManager, FirstManagerIsTheDefaultUntilItGoes)
{
    ASSERT_EQ(DefaultManager(), nullptr);
    auto* first = new TsSkinManager(nullptr);
    auto* second = new TsSkinManager(nullptr);
    EXPECT_EQ(DefaultManager(), first);
    EXPECT_TRUE(first->IsDefault());
    EXPECT_FALSE(second->IsDefault());
    first->SetIsDefault(false); // the default stays the default
    EXPECT_EQ(DefaultManager(), first);
    second->SetIsDefault(false);
    EXPECT_EQ(DefaultManager(), first);
    second->SetIsDefault(true);
    EXPECT_EQ(DefaultManager(), second);
    delete second;
    EXPECT_EQ(DefaultManager(), nullptr);
    delete first;
    EXPECT_EQ(DefaultManager(), nullptr);
}

TEST_F(SkinManager, DefaultsAfterConstructionAndLoad)
{
    TsSkinManager m(nullptr);
    EXPECT_TRUE(m.Active());
    EXPECT_FALSE(m.ExtendedBorders());
    EXPECT_EQ(m.SkinDirectory(), "c:\\Skins");
    EXPECT_EQ(m.SkinName(), "");
    EXPECT_EQ(m.ThirdParty().Lists[1], "TButton");
    EXPECT_EQ(m.ThirdParty().Lists[0], " ");
    EXPECT_EQ(m.ThirdLists(1).Count(), 1);
    EXPECT_EQ(m.ThirdLists(1)[0], "TButton");
    EXPECT_TRUE(m.AnimEffects().SkinChanging.Active);
    EXPECT_EQ(m.AnimEffects().SkinChanging.Time, 100);
    EXPECT_EQ(m.MenuSupport().IcoLineSkin, "");
    m.SetSkinDirectory("");
    m.Loaded();
    EXPECT_EQ(m.MenuSupport().IcoLineSkin, "ICOLINE");
    EXPECT_EQ(m.SkinDirectory(), "c:\\Skins");
    EXPECT_EQ(m.MenuSupport().ExtraLineWidth, 32);
}

TEST_F(SkinManager, FormDescriptionSetsThePublishedProperties)
{
    TForm* form = TForm::Create<TForm>(Application);
    ReadFormDescription(*form,
                        "object Splash: TForm\n"
                        "  object sSkinManager1: TsSkinManager\n"
                        "    Active = False\n"
                        "    ExtendedBorders = True\n"
                        "    InternalSkins = <\n"
                        "      item\n"
                        "        Name = 'Tillora (internal)'\n"
                        "        Data = {\n"
                        "          56547A66 00\n"
                        "          0000 00}\n"
                        "      end\n"
                        "      item\n"
                        "        Name = 'Zweite'\n"
                        "      end>\n"
                        "    MenuSupport.IcoLineSkin = 'ICOLINE'\n"
                        "    SkinDirectory = 'Skins\\'\n"
                        "    SkinName = 'Tillora (internal)'\n"
                        "    ThirdParty.ThirdButtons = 'TButton'#13#10'TBitBtn'\n"
                        "    ThirdParty.ThirdEdits = 'TEdit'\n"
                        "    AnimEffects.SkinChanging.Active = False\n"
                        "    AnimEffects.SkinChanging.Time = 250\n"
                        "  end\n"
                        "end\n",
                        "SkinManager_test");
    auto* m = As<TsSkinManager>(form->FindComponent("sSkinManager1"));
    ASSERT_NE(m, nullptr);
    m->Loaded(); // as the form's creation does after reading its description
    EXPECT_FALSE(m->Active());
    EXPECT_TRUE(m->ExtendedBorders());
    EXPECT_EQ(m->SkinDirectory(), "Skins\\");
    EXPECT_EQ(m->SkinName(), "Tillora (internal)"); // stored only: no skin is loaded
    EXPECT_EQ(m->MenuSupport().IcoLineSkin, "ICOLINE");
    EXPECT_FALSE(m->AnimEffects().SkinChanging.Active);
    EXPECT_EQ(m->AnimEffects().SkinChanging.Time, 250);
    ASSERT_EQ(m->InternalSkins().Count(), 2);
    EXPECT_EQ(m->InternalSkins().Items(0).Name, "Tillora (internal)");
    EXPECT_EQ(m->InternalSkins().Items(0).Data.DataString(), std::string("VTzf\0\0\0\0", 8));
    EXPECT_EQ(m->InternalSkins().Items(1).Data.Size(), 0);
    EXPECT_EQ(m->ThirdLists(1).Count(), 2);
    EXPECT_EQ(m->ThirdLists(1)[1], "TBitBtn");
    EXPECT_EQ(m->ThirdLists(0)[0], "TEdit");
    EXPECT_EQ(DefaultManager(), m);
    delete form;
    EXPECT_EQ(DefaultManager(), nullptr);

    TForm* bad = TForm::Create<TForm>(Application);
    EXPECT_THROW(ReadFormDescription(*bad,
                                     "object Splash: TForm\n  object m: TsSkinManager\n"
                                     "    InternalSkins = < item Colour = 1 end >\n  end\nend\n",
                                     "SkinManager_test"),
                 EComponentError);
    EXPECT_THROW(ReadFormDescription(*bad,
                                     "object Splash: TForm\n  object m2: TsSkinManager\n"
                                     "    InternalSkins = < item Data = {ABC} end >\n  end\nend\n",
                                     "SkinManager_test"),
                 EComponentError);
    delete bad;
}

TEST_F(SkinManager, SkinFolderSettingsRelativeToTheProgram)
{
    TsSkinManager m(nullptr);
    const std::string app = AppPath(); // ends in a backslash
    std::string parent = app.substr(0, app.size() - 1);
    parent = parent.substr(0, parent.find_last_of("\\/") + 1);
    m.SetSkinDirectory(".\\Skins");
    EXPECT_EQ(m.GetFullSkinDirectory(), app + "Skins");
    m.SetSkinDirectory("./Skins");
    EXPECT_EQ(m.GetFullSkinDirectory(), app + "Skins");
    m.SetSkinDirectory("..\\Skins");
    EXPECT_EQ(m.GetFullSkinDirectory(), parent + "Skins");
    m.SetSkinDirectory("Skins");
    EXPECT_EQ(m.GetFullSkinDirectory(), app + "Skins");
    m.SetSkinDirectory("\\\\server\\Skins");
    EXPECT_EQ(m.GetFullSkinDirectory(), "\\\\server\\Skins");
    m.SetSkinDirectory("D:\\Skins");
    EXPECT_EQ(m.GetFullSkinDirectory(), "D:\\Skins");
}

TEST_F(SkinManager, SkinNamesFromFoldersPackedFilesAndInternalSkins)
{
    TSkinFolders dir;
    dir.Folder("Blue");
    dir.File("Blue\\Options.dat");
    dir.Folder("Empty");
    dir.Folder(".Hidden");
    dir.File(".Hidden\\Options.dat");
    dir.File("Green.vtz");
    dir.File("Red.VTZ");
    dir.File("Two.Parts.vtz");
    dir.File("Options.dat");
    dir.File(".dot.vtz");

    TsSkinManager m(nullptr);
    m.SetSkinDirectory(dir.Path());
    TStringList list;
    list.Add("old entry");
    m.GetSkinNames(list, 2);
    EXPECT_EQ(Lines(list), "Blue;Green;Two;");
    m.GetSkinNames(list, 0);
    EXPECT_EQ(Lines(list), "Blue;");
    m.GetSkinNames(list, 1);
    EXPECT_EQ(Lines(list), "Green;Two;");

    m.InternalSkins().Add().Name = "zeta (internal)";
    m.InternalSkins().Add().Name = "Alpha (internal)";
    EXPECT_EQ(m.GetSkinNames(list, 1), "zeta (internal)");
    EXPECT_EQ(Lines(list), "Alpha (internal);Green;Two;zeta (internal);");

    m.SetSkinDirectory(dir.Path() + "\\missing");
    m.InternalSkins().Clear();
    EXPECT_EQ(m.GetSkinNames(list, 2), "");
    EXPECT_EQ(list.Count(), 0);
}
