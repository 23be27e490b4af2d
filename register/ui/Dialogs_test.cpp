// The dialogs and the register window from their form descriptions, in this process: the
// VAT-rate dialog against the register window's rate panels, the skin dialog against the
// splash's skin manager, the register window as the core's host, the skin refresh, and
// switching the skins with the operator-name edits' colours and the process's handle counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "register/core/URegisterCore.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UInitForm.h"
#include "register/ui/UKassTip.h"
#include "register/ui/SkinCoverage.h"
#include "register/ui/ULanguage.h"
#include "register/ui/USkinSel.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStart.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStart.h"
#include "skin/engine/tools/ProgramSkins.h"
#include "skin/engine/vxSkinConvertor.h"
#include "skin/windows/sConnect.h"
#include "skin/windows/sFade.h"
#include "skin/windows/sStart.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageHost.h"
#include "tests/support/ModalScript.h"

namespace {

// A folder of the program's skins written by the build, as a Windows path.
std::string ProgramSkins(const std::string& sub)
{
    std::string path = "Z:" + std::string(PROGRAM_SKINS_DIR) + "/" + sub;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string FileText(const std::string& file)
{
    std::ifstream f(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

class Dialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ConnectWindowSkinning();
        SkinEngineStart();
        SkinWindowsStart();
        SkinControlsStart();
    }
    static void TearDownTestSuite() { SkinEngineEnd(); }
    void SetUp() override
    {
        Application->CreateForm(InitForm);
        Application->CreateForm(SkinSel);
        Application->CreateForm(FormUStS);
        Application->CreateForm(KassTip);
    }
    void TearDown() override { Application->DestroyForms(); }
    TRegisterCore core;
};

} // namespace

TEST_F(Dialogs, VatDialogTakesTheRatesOverWithOkOnlyWhileNoReceiptIsOpen)
{
    KassTip->USS2->SetCaption("0700");
    FormUStS->Show();
    EXPECT_EQ(FormUStS->USS1->Text(), "1900");
    EXPECT_EQ(FormUStS->USS2->Text(), "0700");
    EXPECT_TRUE(FormUStS->USS1->Enabled());
    EXPECT_TRUE(FormUStS->OkButton->Visible());
    EXPECT_FALSE(FormUStS->StaticText->Visible());
    FormUStS->USS2->SetText("0800");
    FormUStS->OkButton->Click();
    EXPECT_FALSE(FormUStS->Visible());
    EXPECT_EQ(KassTip->USS2->Caption(), "0800");

    // Cancel takes nothing over.
    FormUStS->Show();
    FormUStS->USS2->SetText("0900");
    FormUStS->Button2->Click();
    EXPECT_FALSE(FormUStS->Visible());
    EXPECT_EQ(KassTip->USS2->Caption(), "0800");

    // A receipt is open: the rates read-only, the notice instead of "Ok".
    KassTip->NewReceiptPending = false;
    FormUStS->Show();
    EXPECT_EQ(FormUStS->USS2->Text(), "0800");
    for (int n = 1; n <= 6; ++n)
        EXPECT_FALSE(FormUStS->RateEdit(n)->Enabled()) << n;
    EXPECT_FALSE(FormUStS->OkButton->Visible());
    EXPECT_TRUE(FormUStS->StaticText->Visible());
}

TEST_F(Dialogs, RegisterWindowAnswersTheCoreFromItsPanelsOperatorsAndTaxSwitch)
{
    ASSERT_TRUE(core.HasHost());
    EXPECT_EQ(&core.Host(), static_cast<IRegisterHost*>(KassTip));
    KassTip->USS1->SetCaption("1900");
    KassTip->USS5->SetCaption("1070");
    EXPECT_DOUBLE_EQ(KassTip->GetVatRate(1), 0.19);
    EXPECT_DOUBLE_EQ(KassTip->GetVatRate(5), 0.107);
    EXPECT_DOUBLE_EQ(KassTip->GetVatRate(7), 0.0);
    EXPECT_DOUBLE_EQ(KassTip->GetVatRate(0), 0.0);
    KassTip->BedName1->SetText("Anna");
    KassTip->BedName2->SetText("Bernd");
    EXPECT_EQ(KassTip->GetOperatorName(), "Anna");
    KassTip->BedButton2->SetChecked(true);
    EXPECT_EQ(KassTip->GetOperatorName(), "Bernd");
    EXPECT_FALSE(KassTip->IsTaxExclusive());
    FormUStS->exSteuerBox->SetChecked(true);
    EXPECT_TRUE(KassTip->IsTaxExclusive());
    // Gone, the window is no longer the core's host.
    KassTip->Free();
    EXPECT_FALSE(core.HasHost());
}

TEST_F(Dialogs, SkinDialogDrivesTheSplashSkinManager)
{
    TsSkinManager* manager = InitForm->sSkinManager1;
    EXPECT_EQ(manager->SkinDirectory(), Application->ExeFolder() + "Skins\\");
    EXPECT_EQ(manager, DefaultManager());
    // From the description on, the internal skin is loaded.
    EXPECT_EQ(manager->SkinName(), "Tillora (internal)");
    EXPECT_TRUE(manager->SkinData.SkinLoaded);
    EXPECT_TRUE(manager->ExtendedBorders());
    manager->SetSkinDirectory(ProgramSkins("Skins"));

    // The shipped skins and the internal one, sorted.
    SkinSel->Show();
    std::vector<std::string> listed;
    for (int i = 0; i < SkinSel->SkinComboBox->Items().Count(); ++i)
        listed.push_back(SkinSel->SkinComboBox->Items()[i]);
    EXPECT_EQ(listed, (std::vector<std::string>{"Nordlicht", "Sandstein", "Tillora (internal)"}));

    // Unticked: the manager is off, the skin removed, a stored name not taken.
    SkinSel->SkinCheckBox->SetChecked(false);
    EXPECT_FALSE(manager->Active());
    EXPECT_FALSE(SkinSel->SkinComboBox->Enabled());
    EXPECT_FALSE(manager->SkinData.SkinLoaded);
    EXPECT_EQ(manager->GetSkinIndex("BUTTON"), -1);
    SkinSel->ApplySkinName("Nordlicht");
    EXPECT_EQ(manager->SkinName(), "Tillora (internal)");
    EXPECT_FALSE(manager->SkinData.SkinLoaded);

    // Ticked: the stored skin comes back; a name loads its skin.
    SkinSel->SkinCheckBox->SetChecked(true);
    EXPECT_TRUE(manager->Active());
    EXPECT_TRUE(SkinSel->SkinComboBox->Enabled());
    EXPECT_TRUE(manager->SkinData.SkinLoaded);
    SkinSel->ApplySkinName("");
    EXPECT_EQ(manager->SkinName(), "Tillora (internal)");
    SkinSel->ApplySkinName("Nordlicht");
    EXPECT_EQ(manager->SkinName(), "Nordlicht");
    EXPECT_FALSE(manager->Packed());
    EXPECT_EQ(manager->SkinData.Description, "Nordlicht: green and teal");

    // A name chosen in the box.
    SkinSel->SkinComboBox->SetItemIndex(1);
    SkinSel->SkinComboBoxChange(SkinSel->SkinComboBox);
    EXPECT_EQ(manager->SkinName(), "Sandstein");
    EXPECT_TRUE(manager->Packed());
    EXPECT_EQ(manager->SkinData.Description, "Sandstein: warm sand");

    // A name that matches nothing: the internal skin.
    SkinSel->ApplySkinName("Blue");
    EXPECT_EQ(manager->SkinName(), "Tillora (internal)");
    EXPECT_EQ(manager->SkinData.Description, "Tillora: cool blue");
}

TEST_F(Dialogs, EveryProgramSkinHoldsTheSectionsAndImagesOfTheWindows)
{
    TsSkinManager* manager = InitForm->sSkinManager1;
    manager->SetSkinDirectory(ProgramSkins("Skins"));
    for (const char* name : {"Nordlicht", "Sandstein", "Tillora (internal)"}) {
        manager->SetSkinName(name);
        ASSERT_EQ(manager->SkinName(), name);
        for (const skincoverage::TRead& read : skincoverage::Reads) {
            const int section = manager->GetSkinIndex(read.Section);
            EXPECT_TRUE(manager->IsValidSkinIndex(section)) << name << ": " << read.Reader << " " << read.Section;
            if (read.Image) {
                EXPECT_TRUE(manager->IsValidImgIndex(manager->GetMaskIndex(section, read.Section, read.Image)))
                    << name << ": " << read.Reader << " " << read.Section << "/" << read.Image;
            }
        }
        std::set<int> arrows;
        for (const char* section : skincoverage::ScrollArrowSections)
            arrows.insert(manager->GetMaskIndex(manager->GetSkinIndex(section), section, "GLYPHMASK"));
        EXPECT_EQ(arrows.size(), std::size(skincoverage::ScrollArrowSections)) << name;
        for (const TsGeneralData& g : manager->GeneralData)
            if (g.GlowCount > 0) {
                EXPECT_GE(manager->GetMaskIndexByName(g.Name, skincoverage::GlowImage), 0) << name << " " << g.Name;
            }
        ASSERT_TRUE(manager->MasterBitmap) << name;
        EXPECT_EQ(manager->MasterBitmap->Width(), programskins::MasterWidth);
    }
}

TEST_F(Dialogs, TheProgramCarriesItsShadowsAndGaugeLight)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, length);
    program = program.substr(0, program.find_last_of("\\/") + 1) + "Tillora.exe";
    const HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program;
    for (const char* name : skincoverage::ProgramResources) {
        const HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
        ASSERT_NE(found, nullptr) << name;
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        ASSERT_GT(SizeofResource(module, found), 8u) << name;
        EXPECT_EQ(std::string(data + 1, 3), "PNG") << name;
    }
    FreeLibrary(module);
}

TEST_F(Dialogs, ExtendedBordersTakeTheBuiltInShadows)
{
    // This test program carries the program's shadow resources.
    ASSERT_NE(BuiltInShadow(true), nullptr);
    ASSERT_NE(BuiltInShadow(false), nullptr);
    TsSkinManager* manager = InitForm->sSkinManager1;
    ASSERT_TRUE(manager->ExtendedBorders());
    ASSERT_EQ(manager->CommonIndexes.ExBorder, -1); // the internal skin has no EXBORDER
    const int wider = HookDwmCompositionEnabled() ? 1 : 0;
    EXPECT_EQ(manager->ShadowMargins(), (std::array<int, 4>{11 + wider, 7 + wider, 11 + wider, 11 + wider}));
    ASSERT_NE(manager->ShadowActive(), nullptr);
    EXPECT_EQ(manager->ShadowActive()->PixelFormat(), pf32bit);
    EXPECT_EQ(manager->ShadowActive()->Width(), BuiltInShadow(true)->Width());
    ASSERT_NE(manager->ShadowInactive(), nullptr);
    EXPECT_EQ(manager->ShadowInactive()->Height(), BuiltInShadow(false)->Height());
}

TEST_F(Dialogs, TheInternalSkinIsItsSourcesByteForByte)
{
    TsSkinManager* manager = InitForm->sSkinManager1;
    ASSERT_EQ(manager->InternalSkins().Count(), 1);
    TsStoredSkin& stored = manager->InternalSkins().Items(0);
    EXPECT_EQ(stored.Name, "Tillora (internal)");
    TvxSkinConvertor convertor;
    stored.Data.SetPosition(0);
    convertor.LendPackedData(&stored.Data);
    convertor.Extract();
    const std::string sources = std::string(PROGRAM_SKINS_DIR) + "/Internal/Tillora/";
    ASSERT_TRUE(convertor.Options);
    EXPECT_EQ(convertor.Options->DataString(), FileText(sources + "Options.dat"));
    ASSERT_EQ(convertor.Files.size(), 1u);
    EXPECT_EQ(convertor.Files[0].FileName, "Master.bmp");
    EXPECT_EQ(convertor.Files[0].Data->DataString(), FileText(sources + "Master.bmp"));
    EXPECT_GT(FileText(sources + "Master.bmp").size(), 1000u);
}

TEST_F(Dialogs, SkinRefreshKeepsTheNameAndRestoresTheAnimation)
{
    TsSkinManager* manager = InitForm->sSkinManager1;
    manager->SetSkinDirectory(ProgramSkins("Skins"));
    manager->SetSkinName("Nordlicht");
    manager->AnimEffects().SkinChanging.Time = 250;
    ReapplySkin();
    EXPECT_EQ(manager->SkinName(), "Nordlicht");
    EXPECT_TRUE(manager->SkinData.SkinLoaded);
    EXPECT_TRUE(manager->AnimEffects().SkinChanging.Active);
    EXPECT_EQ(manager->AnimEffects().SkinChanging.Time, 250);
}

TEST_F(Dialogs, SplashGaugeStartsAtTwentyAndStopsFullAfterFourTicks)
{
    EXPECT_EQ(InitForm->InitBar->Progress(), 20);
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        InitForm->ProgBarTimerTimer(InitForm->ProgBarTimer);
        seen.push_back(InitForm->InitBar->Progress());
        if (!InitForm->ProgBarTimer->Enabled()) break;
    }
    EXPECT_EQ(seen, (std::vector<int>{40, 60, 80, 100}));
    EXPECT_FALSE(InitForm->ProgBarTimer->Enabled());
    EXPECT_EQ(InitForm->Height(), InitForm->InitBar->Top() + InitForm->InitBar->Height() + 35);
}

TEST_F(Dialogs, FrancaisIsOfferedOnlyWhenTheGermanSectionNamesIt)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "tillora_dialogs_lang.ini";
    auto* form = TForm::Create<TForm>(Application);
    auto* francais = new TMenuItem(form);
    francais->SetTag(6);
    for (const char* german : {"Französisch", "Franzoesisch", "französisch"}) {
        std::ofstream(path, std::ios::binary) << "[Deutsch]\r\n6cap=" << german << "\r\n[English]\r\n6cap=French\r\n";
        SetLanguage(form, "English", path);
        EXPECT_EQ(francais->Visible(), std::string(german) == "Französisch") << german;
        EXPECT_EQ(francais->Caption(), "French");
    }
    std::remove(path.c_str());
}

// Switching the program's skins in the skin dialog: the register window's operator-name edits
// take each skin's "EDIT" colours (their properties and the pixels of their windows) and the
// plain ones when skins are off; switching back and forth, opening the VAT dialog and message
// boxes under a skin and hovering over the register's buttons leave the process's GDI objects,
// windows and menus as many as before.
using namespace programskins;

namespace {

// A palette colour (0xRRGGBB) as a TColor.
TColor AsColor(uint32_t rgb) { return static_cast<TColor>(RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF)); }

// The colour of a pixel inside the window, as drawn.
COLORREF WindowPixel(HWND wnd, int x, int y)
{
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    HDC dc = GetDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

// Skins on, the register window and the skin dialog shown, the shipped skins listed.
class SkinSwitch : public Dialogs {
protected:
    void SetUp() override
    {
        Dialogs::SetUp();
        InitForm->sSkinManager1->SetSkinDirectory(ProgramSkins("Skins"));
        KassTip->Show();
        SkinSel->Show();
        SkinSel->SkinCheckBox->SetChecked(true);
    }
    // Chooses entry i of the skin box (Nordlicht, Sandstein, Tillora (internal)).
    void Choose(int i)
    {
        SkinSel->SkinComboBox->SetItemIndex(i);
        SkinSel->SkinComboBoxChange(SkinSel->SkinComboBox);
    }
    // The counts after one cycle (what its first run makes once is made) and after n more.
    static void ExpectFlatCounts(int n, const std::function<void()>& cycle)
    {
        cycle();
        const THandleCount before = THandleCount::Now();
        for (int i = 0; i < n; ++i)
            cycle();
        EXPECT_EQ(THandleCount::Now(), before);
    }
    static LRESULT Ask(TWinControl* control, WORD command)
    {
        return SendMessageA(control->Handle(), SM_VELOCONCMD, SkinCommandWParam(command), 0);
    }
};

} // namespace

TEST_F(SkinSwitch, OperatorNameEditsTakeTheEditColoursOfEachSkinAndThePlainOnesWithoutSkins)
{
    ASSERT_EQ(SkinSel->SkinComboBox->Items().Count(), 3);
    const TPalette* byEntry[] = {&Palettes[1], &Palettes[2], &Palettes[0]};
    for (int i : {0, 1, 2, 0}) {
        Choose(i);
        const TPalette& p = *byEntry[i];
        for (TsEdit* edit : {KassTip->BedName1, KassTip->BedName2}) {
            SCOPED_TRACE(std::string(p.Name) + " " + edit->Name());
            EXPECT_EQ(edit->SkinData().SkinSection(), "EDIT");
            EXPECT_TRUE(edit->SkinData().Skinned());
            EXPECT_EQ(edit->Color(), AsColor(p.Colors[rWindow]));
            EXPECT_EQ(edit->Font().Color(), AsColor(p.Colors[rText]));
            EXPECT_EQ(WindowPixel(edit->Handle(), edit->ClientWidth() - 3, edit->ClientHeight() / 2),
                      static_cast<COLORREF>(AsColor(p.Colors[rWindow])));
        }
    }
    SkinSel->SkinCheckBox->SetChecked(false);
    for (TsEdit* edit : {KassTip->BedName1, KassTip->BedName2}) {
        EXPECT_FALSE(edit->SkinData().Skinned());
        EXPECT_EQ(edit->Color(), clWindow);
        EXPECT_EQ(edit->Font().Color(), clWindowText);
        EXPECT_EQ(WindowPixel(edit->Handle(), edit->ClientWidth() - 3, edit->ClientHeight() / 2), ColorToRGB(clWindow));
    }
}

TEST_F(SkinSwitch, SwitchingAHundredTimesKeepsTheHandleCountsFlat)
{
    // One round first, the skins switched off and on again in it: what each skin makes once
    // (fonts, brushes, caches) and what the plain look makes once (a panel's canvas font) is made.
    for (int i : {0, 1, 2})
        Choose(i);
    SkinSel->SkinCheckBox->SetChecked(false);
    SkinSel->SkinCheckBox->SetChecked(true);
    Choose(2);
    const THandleCount before = THandleCount::Now();
    ASSERT_GT(before.gdi, 10); // the count sees this process's objects
    ASSERT_GT(before.user, 10);
    for (int k = 0; k < 100; ++k)
        Choose(k % 3);
    SkinSel->SkinCheckBox->SetChecked(false);
    SkinSel->SkinCheckBox->SetChecked(true);
    Choose(2);
    const THandleCount after = THandleCount::Now();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

// Under Wine an opening of the skinned VAT dialog costs about 20 to 40 ms and a message box
// (made anew each time, with its border window) about 100 to 150 ms.
TEST_F(SkinSwitch, OpeningTheVatDialogAThousandTimesUnderASkinKeepsTheHandleCountsFlat)
{
    Choose(1);
    int skinned = 0;
    ExpectFlatCounts(1000, [&] {
        KassTip->Editiere1->Click();
        skinned += FormUStS->Visible() && Ask(FormUStS, cmdGetProvider) != 0 && Ask(FormUStS, cmdIsSkinned) == 1;
        FormUStS->Button2->Click();
    });
    EXPECT_EQ(skinned, 1001);
    EXPECT_FALSE(FormUStS->Visible());
}

TEST_F(SkinSwitch, AThousandMessageBoxesUnderASkinKeepTheHandleCountsFlat)
{
    Choose(0);
    std::vector<TModalScript::Step> presses(1001, TModalScript::PressButton(IDOK));
    TModalScript script(presses);
    ExpectFlatCounts(1000, [] { ShowMessage("Die Produktliste ist leer: keine Buchungen möglich."); });
    EXPECT_EQ(script.Done(), 1001);
    EXPECT_EQ(script.Unexpected(), 0);
}

TEST_F(SkinSwitch, AThousandHoversOverTheRegistersButtonsKeepTheHandleCountsFlat)
{
    Choose(1);
    std::vector<TsButton*> buttons;
    for (int i = 0; i < KassTip->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TsButton*>(KassTip->Components(i)); b && b->Visible()) buttons.push_back(b);
    ASSERT_GE(buttons.size(), 10u);
    size_t next = 0;
    ExpectFlatCounts(1000, [&] {
        TsButton* b = buttons[next++ % buttons.size()];
        for (UINT message : {CM_MOUSEENTER, CM_MOUSELEAVE}) {
            b->Perform(message, 0, reinterpret_cast<LPARAM>(b));
            Application->ProcessMessages();
            MessageHost::PumpUntil([] { return FadeTimerCount() == 0; }, 3000);
        }
    });
    EXPECT_EQ(FadeTimerCount(), 0);
}
