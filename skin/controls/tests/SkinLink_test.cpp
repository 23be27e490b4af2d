// The skin link on real skinned controls under Wine: sections by name and control kind, the
// skin commands (own manager only, nothing above 60), colours, the cache on hiding and
// showing, the hot control; and the bound label's layouts.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "gui/Forms.h"
#include "gui/base/MemIniFile.h"
#include "gui/base/Strings.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/controls/sStart.h"
#include "tests/support/SkinModules.h"

namespace {

LPARAM Of(TsSkinManager* m) { return reinterpret_cast<LPARAM>(m); }

LRESULT Command(TControl* c, WORD command, LPARAM lParam = 0, WORD argument = 0)
{
    return c->Perform(SM_VELOCONCMD, SkinCommandWParam(command, argument), lParam);
}

class SkinLink : public testrig::SkinModulesTest<&SkinControlsStart> {
protected:
    void SetUp() override
    {
        // EDIT: half transparent, colour 200/100/50 (RGB), font colour 0x123456; BUTTON opaque;
        // PANEL: a plain container.
        TStringList lines;
        lines.SetText("[GLOBALINFO]\nCOLOR=13160660\n[EDIT]\nCOLOR=3302600\nFONTCOLOR=1193046\nTRANSPARENCY=50\n"
                      "[BUTTON]\nCOLOR=255\n[PANEL]\nCOLOR=65280\n[GROUPBOX]\nCOLOR=16711680\n");
        const TMemIniFile ini(lines);
        TsFolderImages none("");
        manager = new TsSkinManager(nullptr);
        manager->SetIsDefault(true);
        // The host forms stay plain: the window hook skins no form here.
        manager->SetSkinningRules(srStdDialogs | srThirdParty);
        manager->LoadSkinTables(ini, none, "");
        manager->SkinData.SkinLoaded = true;
        form = new TForm(Application);
        form->SetColor(static_cast<TColor>(0x000000));
        form->SetBounds(0, 0, 400, 300);
        edit = new TsEdit(form);
        edit->SetName("Edit1");
        edit->SetParent(form);
        edit->SetBounds(100, 50, 120, 24);
        panel = new TsPanel(form);
        panel->SetParent(form);
        panel->SetBounds(10, 100, 200, 100);
        form->Show();
    }
    void TearDown() override
    {
        form->Free();
        delete manager;
        Application->DestroyForms();
    }
    TsSkinManager* manager = nullptr;
    TForm* form = nullptr;
    TsEdit* edit = nullptr;
    TsPanel* panel = nullptr;
};

} // namespace

TEST_F(SkinLink, SectionsByNameAndByControlKind)
{
    TsCommonData& link = edit->SkinData();
    EXPECT_EQ(link.COC, 3);
    EXPECT_EQ(link.SkinSection(), "EDIT"); // the kind's section from construction on
    link.SetSkinSection("button");
    EXPECT_EQ(link.SkinSection(), "BUTTON");
    EXPECT_EQ(link.SkinIndex, manager->GetSkinIndex("BUTTON"));
    link.SetSkinSection("");
    EXPECT_EQ(link.SkinSection(), "UNKNOWN");
    EXPECT_EQ(link.SkinIndex, -1);
    EXPECT_FALSE(link.Skinned());

    // The loaded step: the kind's section and, for an edit, the section's colours.
    TsCommonData fresh(edit, false);
    fresh.COC = 3;
    fresh.Loaded();
    EXPECT_EQ(fresh.SkinSection(), "EDIT");
    EXPECT_TRUE(fresh.Skinned());
    EXPECT_EQ(edit->Color(), static_cast<TColor>(0x3264C8));
    EXPECT_EQ(edit->Font().Color(), static_cast<TColor>(0x123456));

    TsCommonData group(panel, false), other(panel, false);
    group.COC = 74;
    group.UpdateDefaultSection();
    EXPECT_EQ(group.SkinSection(), "GROUPBOX");
    other.COC = 300;
    other.UpdateDefaultSection();
    EXPECT_EQ(other.SkinSection(), "TSPANEL"); // TsPanel, upper-cased
    EXPECT_EQ(other.SkinIndex, -1);

    // The default manager is stored as none and still used.
    link.SetSkinManager(manager);
    EXPECT_EQ(link.FSkinManager, nullptr);
    EXPECT_EQ(link.GetSkinManager(), manager);
}

TEST_F(SkinLink, CommandsComeOnlyFromTheOwnManagerAndUpTo60)
{
    TsCommonData& link = edit->SkinData();
    link.SetSkinSection("BUTTON");
    link.SetSkinSection("EDIT"); // the link tells its control: command 3
    ASSERT_TRUE(link.Skinned());
    EXPECT_EQ(edit->Color(), static_cast<TColor>(0x3264C8));
    edit->SetColor(clWindow);
    TsSkinManager stranger(nullptr);
    Command(edit, cmdRemoveSkin, Of(&stranger));
    EXPECT_EQ(link.SkinIndex, manager->GetSkinIndex("EDIT"));
    Command(edit, cmdRefresh, Of(&stranger));
    EXPECT_EQ(edit->Color(), clWindow);

    // 3 from the own manager: the section's colours; 2: the plain ones and an empty cache.
    Command(edit, cmdRefresh, Of(manager));
    EXPECT_EQ(edit->Color(), static_cast<TColor>(0x3264C8));
    EXPECT_EQ(edit->Font().Color(), static_cast<TColor>(0x123456));
    link.FCacheBmp->SetSize(30, 10);
    Command(edit, cmdRemoveSkin, Of(manager));
    EXPECT_EQ(link.SkinIndex, -1);
    EXPECT_EQ(edit->Color(), clWindow);
    EXPECT_EQ(edit->Font().Color(), clWindowText);
    EXPECT_EQ(link.FCacheBmp->Width(), 0);
    EXPECT_TRUE(link.BGChanged);
    // 1: indexes again.
    Command(edit, cmdSkinChanged, Of(manager));
    EXPECT_EQ(link.SkinIndex, manager->GetSkinIndex("EDIT"));

    // Answers: 7 and 26; above 60 nothing, not even 7's answer.
    EXPECT_EQ(Command(edit, cmdIsSkinned), 1);
    int index = -1;
    Command(edit, cmdGetSkinIndex, reinterpret_cast<LPARAM>(&index));
    EXPECT_EQ(index, link.SkinIndex);
    TMessage high{SM_VELOCONCMD, SkinCommandWParam(61), 0, 0};
    EXPECT_FALSE(HandleSkinCommand(high, link));
    EXPECT_EQ(high.Result, 0);
    TMessage seven{SM_VELOCONCMD, SkinCommandWParam(cmdIsSkinned), 0, 0};
    EXPECT_TRUE(HandleSkinCommand(seven, link));
    EXPECT_EQ(Command(edit, 0x107), 0);
}

TEST_F(SkinLink, BackgroundColourOfAHalfTransparentSection)
{
    TsCommonData& link = edit->SkinData();
    link.SetSkinSection("EDIT");
    // Over black: command 21 mixes with the divisor 256 (50/256 of the way), GetControlColor
    // blends half and half.
    EXPECT_EQ(Command(edit, cmdGetBGColor), static_cast<LRESULT>(RGB(160, 80, 40)));
    EXPECT_EQ(GetControlColor(&link, 0), static_cast<TColor>(RGB(100, 50, 25)));
    link.SetCustomColor(true);
    EXPECT_EQ(Command(edit, cmdGetBGColor), static_cast<LRESULT>(RGB(160, 80, 40))); // the section's still
    TsCommonData none(edit, false);
    EXPECT_EQ(GetControlColor(&none, 0), edit->Color());
    EXPECT_EQ(GetControlColor(nullptr, 0), clBtnFace);
    TsBackgroundInfo info;
    GetBGInfo(&none, info, 0);
    EXPECT_EQ(info.BgType, btFill);
    EXPECT_EQ(info.Color, edit->Color());
}

TEST_F(SkinLink, HidingEmptiesTheCacheAndShowingMarksItDirty)
{
    TsCommonData& link = edit->SkinData();
    link.FCacheBmp->SetSize(120, 24);
    link.CacheDirty = false;
    link.BGChanged = true;
    edit->Hide();
    EXPECT_EQ(link.FCacheBmp->Width(), 0);
    EXPECT_EQ(link.FCacheBmp->Height(), 0);
    edit->Show();
    EXPECT_TRUE(link.CacheDirty);
    EXPECT_FALSE(link.BGChanged);

    edit->SetEnabled(false); // the enabled notification clears the hot flags
    link.MouseAbove = true;
    edit->SetEnabled(true);
    EXPECT_FALSE(link.MouseAbove);
}

TEST_F(SkinLink, TheMouseMakesAControlTheManagersHotControl)
{
    edit->SkinData().SetSkinSection("EDIT");
    std::vector<WORD> seenByEdit, seenByOther;
    auto record = [](std::vector<WORD>& seen, TControl* c) {
        c->HookWindowProc([&seen](TMessage& m, const TWndMethod& inherited) {
            if (m.Msg == SM_VELOCONCMD && (HIWORD(m.WParam) == cmdMouseEnter || HIWORD(m.WParam) == cmdMouseLeave))
                seen.push_back(HIWORD(m.WParam));
            inherited(m);
        });
    };
    record(seenByEdit, edit);
    record(seenByOther, panel);
    manager->SetActiveControl(panel->Handle());
    ASSERT_EQ(seenByOther, std::vector<WORD>{cmdMouseEnter});

    // The first mouse move in the window is its entering.
    SendMessageA(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(edit->SkinData().MouseAbove);
    EXPECT_EQ(manager->ActiveControl(), edit->Handle());
    EXPECT_EQ(seenByOther, (std::vector<WORD>{cmdMouseEnter, cmdMouseLeave}));
    EXPECT_EQ(seenByEdit, std::vector<WORD>{cmdMouseEnter});
    EXPECT_TRUE(edit->SkinData().ControlIsActive());
    SendMessageA(edit->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(edit->SkinData().MouseAbove);

    // Panels have no hot look.
    panel->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(panel->SkinData().MouseAbove);
    EXPECT_EQ(manager->ActiveControl(), panel->Handle());
    manager->SetActiveControl(nullptr);
}

namespace {
struct LayoutCase {
    TsCaptionLayout layout;
    int left, top;
};
} // namespace

TEST_F(SkinLink, BoundLabelPlacedByLayoutIndentAndMaxWidth)
{
    TsBoundLabel bound(&edit->SkinData());
    bound.SetIndent(2); // inactive: only stored
    EXPECT_EQ(bound.FLabel(), nullptr);
    bound.SetActive(true);
    TsEditLabel* label = bound.FLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Name(), "Edit1Label");
    EXPECT_EQ(label->Caption(), "Edit1");
    EXPECT_EQ(label->Parent(), form);
    EXPECT_EQ(label->FocusControl(), edit);
    EXPECT_EQ(label->Alignment(), taRightJustify);
    // Placing sizes the label to its caption.
    const int w = label->Width(), h = label->Height();
    ASSERT_GT(w, 0);
    EXPECT_EQ(label->Left(), 100 - w - 4 - 2);
    EXPECT_EQ(label->Top(), 50 - 1 + (24 - h) / 2);

    const LayoutCase cases[] = {
        {sclTopLeft, 100, 50 - h - 2},
        {sclTopCenter, 100 + (120 - w) / 2, 50 - h - 2},
        {sclTopRight, 100 + 120 - w, 50 - h - 2},
    };
    for (const auto& c : cases) {
        bound.SetLayout(c.layout);
        EXPECT_EQ(label->Left(), c.left) << c.layout;
        EXPECT_EQ(label->Top(), c.top) << c.layout;
    }
    EXPECT_EQ(label->Alignment(), taRightJustify);
    bound.SetLayout(sclTopCenter);
    EXPECT_EQ(label->Alignment(), taCenter);

    bound.SetMaxWidth(30);
    EXPECT_FALSE(label->AutoSize());
    EXPECT_TRUE(label->WordWrap());
    EXPECT_EQ(label->Width(), 30);
    EXPECT_EQ(label->Height(), std::max(h, 24));

    bound.SetActive(false);
    EXPECT_EQ(bound.FLabel(), nullptr);
    EXPECT_FALSE(bound.Active());
}

TEST_F(SkinLink, BoundLabelLeftOfAControlAt100With40WideLabelAndIndent2)
{
    // A caption exactly 40 pixels wide in the label's font: "IIII..." measured until it fits.
    TsBoundLabel bound(&edit->SkinData());
    bound.SetIndent(2);
    bound.SetCaption("W");
    bound.SetActive(true);
    TsEditLabel* label = bound.FLabel();
    ASSERT_NE(label, nullptr);
    std::string text;
    while (label->Width() < 40 && text.size() < 200) {
        text += "i";
        bound.SetCaption(text);
    }
    if (label->Width() != 40) GTEST_SKIP() << "no caption of exactly 40 pixels in this font";
    EXPECT_EQ(label->Left(), 54);
}

TEST_F(SkinLink, AFreedLabelLeavesItsBoundLabelInactive)
{
    TsBoundLabel bound(&edit->SkinData());
    bound.SetActive(true);
    ASSERT_NE(bound.FLabel(), nullptr);
    bound.FLabel()->Free();
    EXPECT_EQ(bound.FLabel(), nullptr);
    EXPECT_FALSE(bound.Active());
}

TEST_F(SkinLink, ContainersAndTransparentSectionsWithWideBorders)
{
    // An opaque plain panel is a plain container: flag bit 0, redrawn only when active.
    TsCommonData& link = panel->SkinData();
    link.SetSkinSection("PANEL");
    EXPECT_EQ(Command(panel, cmdContainerFlags), cfPlainContainer);
    EXPECT_FALSE(link.HasOwnLook());
    EXPECT_FALSE(link.RedrawAllowed());
    EXPECT_FALSE(DependsOnParentBG(&link));
    panel->Hide();
    EXPECT_TRUE(DependsOnParentBG(&link));
    panel->Show();

    // Fully transparent with a border image 13 + 13 wide: its own cache answers.
    TsMaskData mask;
    mask.SectionName = "PANEL";
    mask.PropertyName = "BORDERSMASK";
    mask.R = TRect{0, 0, 30, 30};
    mask.WL = mask.WR = 13;
    mask.WT = mask.WB = 2;
    manager->MaskData.push_back(mask);
    TsGeneralData& g = manager->GeneralData[static_cast<size_t>(manager->GetSkinIndex("PANEL"))];
    g.Transparency = 100;
    g.BorderIndex = static_cast<int>(manager->MaskData.size()) - 1;
    link.UpdateIndexes();
    EXPECT_EQ(link.BorderIndex, g.BorderIndex);
    EXPECT_EQ(MaxBorderWidth(&link), 13);
    link.FCacheBmp->SetSize(200, 100);
    TsBackgroundInfo info;
    info.Offset = TPoint{5, 5};
    GetBGInfo(&link, info, 0);
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, link.FCacheBmp.get());
    EXPECT_EQ(info.Offset.X, 0);
    // 13 + 11: the parent is asked, a plain form gives its colour.
    manager->MaskData.back().WR = 11;
    TsBackgroundInfo parent;
    GetBGInfo(&link, parent, 0);
    EXPECT_EQ(parent.BgType, btFill);
    EXPECT_EQ(parent.Color, static_cast<TColor>(0));
    // The same answer through command 34.
    TsBackgroundInfo asked;
    Command(panel, cmdGetBGInfo, reinterpret_cast<LPARAM>(&asked));
    EXPECT_EQ(asked.BgType, btFill);
    EXPECT_TRUE(link.HasOwnLook()); // transparent over a parent that is no plain container
}

TEST_F(SkinLink, ListBoxesOfKind97FollowTheSkinLikeEdits)
{
    auto* list = new TsListBox(form);
    list->SetParent(form);
    list->SetBounds(250, 10, 100, 80);
    TsCommonData& link = list->SkinData();
    EXPECT_EQ(link.COC, 97);
    list->Loaded();
    EXPECT_EQ(link.SkinSection(), "EDIT");
    EXPECT_EQ(list->Color(), static_cast<TColor>(0x3264C8));
    EXPECT_EQ(list->Font().Color(), static_cast<TColor>(0x123456));
    Command(list, cmdRemoveSkin, Of(manager));
    EXPECT_EQ(list->Color(), clWindow);
    EXPECT_EQ(list->Font().Color(), clWindowText);
    Command(list, cmdSkinChanged, Of(manager));
    Command(list, cmdRefresh, Of(manager));
    EXPECT_EQ(list->Color(), static_cast<TColor>(0x3264C8));
    link.SetCustomFont(true);
    Command(list, cmdRemoveSkin, Of(manager));
    EXPECT_EQ(list->Color(), clWindow);
    EXPECT_EQ(list->Font().Color(), static_cast<TColor>(0x123456));
}
