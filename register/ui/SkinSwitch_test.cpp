// Switching the program's skins in the skin dialog, in this process: the register window's
// operator-name edits take each skin's "EDIT" colours (their properties and the pixels of
// their windows) and the plain ones when skins are off, and switching back and forth leaves
// the process's GDI objects, windows and menus as many as before.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "register/core/URegisterCore.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UInitForm.h"
#include "register/ui/UKassTip.h"
#include "register/ui/USkinSel.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sStart.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStart.h"
#include "skin/engine/tools/ProgramSkins.h"
#include "skin/windows/sConnect.h"
#include "skin/windows/sStart.h"

using namespace programskins;

namespace {

std::string ProgramSkins(const std::string& sub)
{
    std::string path = "Z:" + std::string(PROGRAM_SKINS_DIR) + "/" + sub;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

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

struct THandleCount {
    int gdi = 0, user = 0;
};

THandleCount CountHandles()
{
    THandleCount n;
    for (uintptr_t h = 0x10; h <= 0xFFFF; ++h)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0) ++n.gdi;
    for (uintptr_t h = 0x20; h <= 0xFFFE; h += 2)
        if (IsWindow(reinterpret_cast<HWND>(h)) || IsMenu(reinterpret_cast<HMENU>(h))) ++n.user;
    return n;
}

class SkinSwitch : public ::testing::Test {
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
        InitForm->sSkinManager1->SetSkinDirectory(ProgramSkins("Skins"));
        KassTip->Show();
        SkinSel->Show();
        SkinSel->SkinCheckBox->SetChecked(true);
    }
    void TearDown() override { Application->DestroyForms(); }
    // Chooses entry i of the skin box (Nordlicht, Sandstein, Tillora (internal)).
    void Choose(int i)
    {
        SkinSel->SkinComboBox->SetItemIndex(i);
        SkinSel->SkinComboBoxChange(SkinSel->SkinComboBox);
    }
    TRegisterCore core;
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
    // One round first: what each skin makes once (fonts, brushes, caches) is made.
    for (int i : {0, 1, 2})
        Choose(i);
    const THandleCount before = CountHandles();
    ASSERT_GT(before.gdi, 10); // the count sees this process's objects
    ASSERT_GT(before.user, 10);
    for (int k = 0; k < 100; ++k)
        Choose(k % 3);
    SkinSel->SkinCheckBox->SetChecked(false);
    SkinSel->SkinCheckBox->SetChecked(true);
    Choose(2);
    const THandleCount after = CountHandles();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}
