// The skinned panel on a harness form under the probe skins (a pixel of a border image reads
// RGB(image id, 16 x state + piece, 200); each section has colours of its own): its interior,
// border and caption on the screen, the sunken section, transparency, its own colour, its
// answers to skin commands (also from another thread), the plain panel after the skin goes,
// and no handle left behind by a thousand panels.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "gui/Forms.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStart.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/TestSkins.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/SkinModules.h"
#include "tests/support/WindowProbes.h"

using namespace skintest;

namespace {

constexpr COLORREF FormColor = RGB(0, 90, 40);

class SkinnedPanel : public testrig::SkinModulesTest<&SkinControlsStart> {
protected:
    void SetUp() override
    {
        manager = new TsSkinManager(nullptr);
        manager->SetIsDefault(true);
        // The host forms stay plain: the window hook skins no form here.
        manager->SetSkinningRules(srStdDialogs | srThirdParty);
        manager->SetSkinDirectory(SkinDirectory());
        form = TForm::Create<TForm>(Application);
        form->SetColor(static_cast<TColor>(FormColor));
        form->SetBounds(40, 40, 420, 300);
        form->Show();
    }
    void TearDown() override
    {
        Application->DestroyForms();
        delete manager;
    }
    void UseSkin(const char* name)
    {
        manager->SetSkinName(name);
        ASSERT_TRUE(manager->SkinData.SkinLoaded) << name;
    }
    // Owned by its parent.
    TsPanel* Panel(TWinControl* parent, int left, int top, const char* section)
    {
        auto* p = new TsPanel(parent);
        p->SetBounds(left, top, 120, 60);
        p->SetParent(parent);
        p->SkinData().SetSkinSection(section);
        return p;
    }
    static void Redraw(TWinControl* c)
    {
        RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    // Pixels of the panel's window with exactly that colour.
    static int CountColour(TWinControl* c, COLORREF colour)
    {
        int n = 0;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x)
                n += testrig::WindowPixel(c->Handle(), x, y) == colour;
        return n;
    }
    TsSkinManager* manager = nullptr;
    TForm* form = nullptr;
};

LRESULT Command(TControl* c, WORD command, LPARAM lParam = 0)
{
    return c->Perform(SM_VELOCONCMD, SkinCommandWParam(command), lParam);
}

} // namespace

TEST_F(SkinnedPanel, InteriorBorderCaptionAndTheSunkenSectionComeFromTheSkin)
{
    UseSkin("Probe");
    auto* panel = Panel(form, 10, 10, "PANEL");
    panel->SetCaption("WWW");
    auto* low = Panel(form, 150, 10, "PANEL_LOW");
    Redraw(form);
    const TTestImage border = ProbeImage("Probe", "PANEL", "BORDERSMASK");
    const TTestImage lowBorder = ProbeImage("Probe", "PANEL_LOW", "BORDERSMASK");
    const TProbeColors colours = ProbeColors("Probe", "PANEL"), lowColours = ProbeColors("Probe", "PANEL_LOW");
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 8, 30), colours.Color);
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 60, 1), ProbePiece(border, 0, 1));
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 1, 30), ProbePiece(border, 0, 3));
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 119, 59), colours.Color); // a transparent corner pixel
    EXPECT_GT(CountColour(panel, colours.FontColor), 0);
    EXPECT_EQ(testrig::WindowPixel(low->Handle(), 60, 30), lowColours.Color);
    EXPECT_EQ(testrig::WindowPixel(low->Handle(), 60, 58), ProbePiece(lowBorder, 0, 7));
    EXPECT_EQ(CountColour(low, lowColours.FontColor), 0); // no caption

    // Its own colour instead of the section's.
    panel->SkinData().SetCustomColor(true);
    panel->SetColor(static_cast<TColor>(RGB(9, 8, 7)));
    Redraw(panel);
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 8, 30), RGB(9, 8, 7));
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 60, 1), ProbePiece(border, 0, 1));
}

TEST_F(SkinnedPanel, AFullyTransparentSectionShowsTheParentAndThePlainPanelComesBackWithoutSkin)
{
    UseSkin("ProbeTransparent100");
    auto* panel = Panel(form, 10, 10, "PANEL");
    Redraw(form);
    const TTestImage border = ProbeImage("ProbeTransparent100", "PANEL", "BORDERSMASK");
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 60, 30), FormColor);
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 60, 1), ProbePiece(border, 0, 1));

    manager->SetActive(false);
    Redraw(form);
    EXPECT_FALSE(panel->SkinData().Skinned());
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 60, 30), ColorToRGB(panel->Color()));
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT)); // the raised bevel
    EXPECT_EQ(testrig::WindowPixel(panel->Handle(), 119, 59), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(SkinnedPanel, CommandsSevenAndThirtyFourAndTheSkinChangesReachTheChildren)
{
    // 7 in every state: without a skin, without a window, skinned, with an unknown section.
    auto* bare = new TsPanel(form);
    EXPECT_EQ(Command(bare, cmdIsSkinned), 1);
    UseSkin("ProbeTransparent50");
    auto* panel = Panel(form, 10, 10, "PANEL");
    EXPECT_EQ(Command(panel, cmdIsSkinned), 1);
    EXPECT_EQ(SendSkinCommand(panel->Handle(), cmdIsSkinned, 0), 1);
    bare->SkinData().SetSkinSection("NOSUCH");
    EXPECT_EQ(Command(bare, cmdIsSkinned), 1);

    // 34: the cache, its offsets moved by BorderWidth + BevelWidth per bevel when the client
    // area is narrower than the panel.
    panel->SetBorderWidth(3);
    panel->SetBevelWidth(2);
    panel->SetBevelInner(bvLowered);
    TsBackgroundInfo info;
    Command(panel, cmdGetBGInfo, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, panel->SkinData().FCacheBmp.get());
    EXPECT_EQ(info.Offset.X, 0);
    EXPECT_EQ(info.Offset.Y, 0);
    panel->SetBorderStyle(bsSingle);
    ASSERT_LT(panel->ClientWidth(), panel->Width());
    TsBackgroundInfo narrower;
    Command(panel, cmdGetBGInfo, reinterpret_cast<LPARAM>(&narrower));
    EXPECT_EQ(narrower.Offset.X, 3 + 2 * 2);
    EXPECT_EQ(narrower.Offset.Y, 3 + 2 * 2);

    // From another thread the pointer commands are answered 0 and leave the memory alone.
    std::vector<LRESULT> answers;
    bool done = false;
    HWND wnd = panel->Handle();
    std::thread other([&] {
        for (WORD command : {cmdGetBGInfo, cmdGetSkinIndex, cmdAnnounceControl, cmdIsSkinned})
            answers.push_back(SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(command), 1));
        done = true;
    });
    testrig::PumpUntil([&] { return done; });
    other.join();
    EXPECT_EQ(answers, (std::vector<LRESULT>{0, 0, 0, 1}));

    // 1, 2 and 3 of the manager reach a skinned windowed child and a label.
    auto* edit = new TsEdit(form);
    edit->SetParent(panel);
    edit->SkinData().SetSkinSection("EDIT");
    auto* label = new TsLabel(form);
    label->SetParent(panel);
    edit->HandleNeeded();
    testrig::TMessageSpy e(edit, testrig::SkinCommandsOnly), l(label, testrig::SkinCommandsOnly);
    const LPARAM own = reinterpret_cast<LPARAM>(manager);
    for (WORD command : {cmdSkinChanged, cmdRemoveSkin, cmdRefresh})
        SendSkinCommand(panel->Handle(), command, own);
    EXPECT_EQ(l.SkinCommands(), (std::vector<int>{cmdSkinChanged, cmdRemoveSkin, cmdRefresh}));
    std::vector<int> seen;
    for (int c : e.SkinCommands())
        if (c != cmdIsSkinned) seen.push_back(c);
    EXPECT_EQ(seen, (std::vector<int>{cmdSkinChanged, cmdRemoveSkin, cmdRefresh}));
}

TEST_F(SkinnedPanel, AThousandPanelsWithChildrenLeaveNoHandleBehind)
{
    UseSkin("Probe");
    const auto cycle = [&] {
        auto* panel = Panel(form, 10, 10, "PANEL");
        panel->SetCaption("Kasse");
        auto* label = new TsLabel(panel); // the panel's own: they go with it
        label->SetParent(panel);
        label->SetCaption("Preis");
        auto* edit = new TsEdit(panel);
        edit->SetParent(panel);
        edit->SetBounds(5, 25, 50, 20);
        auto* inner = Panel(panel, 60, 25, "PANEL_LOW");
        inner->SetBounds(60, 25, 40, 20);
        Redraw(panel);
        delete panel;
    };
    cycle(); // the first one makes what stays for all (fonts, brushes of the classes)
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle();
    const THandleCount after = THandleCount::Now();
    EXPECT_TRUE(after.Near(before, 2)) << "before " << before << ", after " << after;
}
