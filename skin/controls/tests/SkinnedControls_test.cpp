// The skinned controls and the skin provider on a window made from a form description: every
// class by name, and what each control does for the register's windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/base/Exceptions.h"
#include "gui/base/Strings.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStart.h"
#include "skin/engine/sPropUtils.h"
#include "skin/windows/sSkinProvider.h"
#include "tests/support/SkinModules.h"

class TSkinnedForm : public TForm {
    GUI_CLASS(TSkinnedForm, TForm)
    using TForm::TForm;
    TsSkinProvider* sSkinProvider1 = nullptr;
    TsButton* KassButton = nullptr;
    TsBitBtn* GlyphButton = nullptr;
    TsCheckBox* KassBox = nullptr;
    TsEdit* Pr1 = nullptr;
    TsLabel* BedLabel = nullptr;
    TsLabelFX* InitLabel = nullptr;
    TsEditLabel* EditLabel = nullptr;
    TsPanel* ContainerPanel = nullptr;
    TsPanel* USS1 = nullptr;
    TsListBox* ProdListSel = nullptr;
    TsAlphaListBox* MonthList = nullptr;
    TsComboBox* SkinComboBox = nullptr;
    TsGauge* InitBar = nullptr;

    int buttonClicks = 0, boxClicks = 0, comboChanges = 0;
    std::vector<int> gaugeChanges; // Progress as each OnChange saw it
    std::vector<bool> boxStates;   // Checked as each OnClick saw it
    void KassButtonClick(TObject*) { ++buttonClicks; }
    void KassBoxClick(TObject*)
    {
        ++boxClicks;
        boxStates.push_back(KassBox->Checked());
    }
    void SkinComboBoxChange(TObject*) { ++comboChanges; }
    void InitBarChange(TObject*) { gaugeChanges.push_back(InitBar->Progress()); }

protected:
    const TFormBindings& Bindings() const override
    {
        static const TFormBindings b = {
            {"sSkinProvider1", &TSkinnedForm::sSkinProvider1},
            {"KassButton", &TSkinnedForm::KassButton},
            {"GlyphButton", &TSkinnedForm::GlyphButton},
            {"KassBox", &TSkinnedForm::KassBox},
            {"Pr1", &TSkinnedForm::Pr1},
            {"BedLabel", &TSkinnedForm::BedLabel},
            {"InitLabel", &TSkinnedForm::InitLabel},
            {"EditLabel", &TSkinnedForm::EditLabel},
            {"ContainerPanel", &TSkinnedForm::ContainerPanel},
            {"USS1", &TSkinnedForm::USS1},
            {"ProdListSel", &TSkinnedForm::ProdListSel},
            {"MonthList", &TSkinnedForm::MonthList},
            {"SkinComboBox", &TSkinnedForm::SkinComboBox},
            {"InitBar", &TSkinnedForm::InitBar},
            {"KassButtonClick", &TSkinnedForm::KassButtonClick},
            {"KassBoxClick", &TSkinnedForm::KassBoxClick},
            {"SkinComboBoxChange", &TSkinnedForm::SkinComboBoxChange},
            {"InitBarChange", &TSkinnedForm::InitBarChange},
        };
        return b;
    }
};

namespace {

class SkinnedControls : public testrig::SkinModulesTest<&SkinControlsStart> {
protected:
    void SetUp() override
    {
        form = TForm::Create<TSkinnedForm>(Application);
        form->SetBounds(50, 50, 420, 340);
        form->Show();
    }
    void TearDown() override { Application->DestroyForms(); }
    TSkinnedForm* form = nullptr;
};

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EInvalidOperation& e) {
        return e.what();
    }
    return "";
}

TEST_F(SkinnedControls, AFormDescriptionMakesEveryClassByName)
{
    const std::vector<std::pair<TComponent*, const char*>> expected = {
        {form->KassButton, "TButton"},
        {form->GlyphButton, "TBitBtn"},
        {form->KassBox, "TCheckBox"},
        {form->Pr1, "TEdit"},
        {form->BedLabel, "TLabel"},
        {form->InitLabel, "TLabel"},
        {form->EditLabel, "TsLabel"},
        {form->ContainerPanel, "TPanel"},
        {form->ProdListSel, "TsAlphaListBox"},
        {form->MonthList, "TListBox"},
        {form->SkinComboBox, "TComboBox"},
        {form->InitBar, "TGauge"},
        {form->sSkinProvider1, "TComponent"},
    };
    for (const auto& [c, base] : expected)
        EXPECT_TRUE(c->InheritsFrom(base)) << c->Name() << " " << c->ClassName();
    EXPECT_STREQ(form->GlyphButton->ClassName(), "TsBitBtn");
    EXPECT_TRUE(form->InitLabel->InheritsFrom("TsCustomLabel"));
    EXPECT_FALSE(form->InitLabel->InheritsFrom("TsLabel"));
    EXPECT_STREQ(form->ProdListSel->ClassName(), "TsListBox");
    EXPECT_STREQ(form->MonthList->ClassName(), "TsAlphaListBox");

    // Texts, Tags and places as the description gives them, read from the windows.
    EXPECT_EQ(WindowText(form->KassButton->Handle()), "Kassieren");
    EXPECT_EQ(form->KassButton->Tag(), 113);
    EXPECT_EQ(WindowText(form->Pr1->Handle()), "199");
    EXPECT_EQ(WindowText(form->USS1->Handle()), "1900");
    EXPECT_EQ(form->USS1->Parent(), form->ContainerPanel);
    EXPECT_EQ(GetParent(form->USS1->Handle()), form->ContainerPanel->Handle());
    EXPECT_EQ(QueryControl(form->Handle(), "InitLabel").caption, "Initialisierung"); // a label has no window
    EXPECT_FALSE(IsWindowEnabled(form->GlyphButton->Handle()));

    // The labels: UseSkinColor on unless stored off; the edit label as a plain label's settings.
    EXPECT_FALSE(form->BedLabel->UseSkinColor());
    EXPECT_TRUE((new TsLabel(form))->UseSkinColor());
    EXPECT_EQ(form->EditLabel->FocusControl(), form->Pr1);
    EXPECT_EQ(form->EditLabel->Alignment(), taRightJustify);
    EXPECT_TRUE(form->EditLabel->WordWrap());
    EXPECT_FALSE(form->EditLabel->AutoSize());
    EXPECT_EQ(form->EditLabel->Width(), 80);
    EXPECT_EQ(form->EditLabel->BoundLabel(), nullptr);

    PostMessageA(form->KassButton->Handle(), BM_CLICK, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(form->buttonClicks, 1);
    // The plain bitmap button is a description class of its own.
    TComponent* plain = CreateComponentByClassName("TBitBtn", form);
    EXPECT_STREQ(plain->ClassName(), "TBitBtn");
}

TEST_F(SkinnedControls, CheckBoxChangesOutsideLoadingRunOnClickOnce)
{
    TsCheckBox* box = form->KassBox;
    // Ticked by the description while loading: no click.
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(form->boxClicks, 0);

    box->SetChecked(false);
    EXPECT_EQ(form->boxStates, std::vector<bool>{false});
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    box->SetChecked(false); // the state it has: nothing
    EXPECT_EQ(form->boxClicks, 1);

    // A click on the box toggles it through the same path.
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(form->boxStates, (std::vector<bool>{false, true}));

    // By name, as code that does not know the class sets it.
    EXPECT_EQ(GetIntProp(box, "Checked"), 1);
    SetIntProp(box, "Checked", 0);
    EXPECT_EQ(form->boxStates, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(SkinnedControls, GaugeLimitsProgressAndReportsEveryChangedValue)
{
    TsGauge* bar = form->InitBar;
    EXPECT_EQ(bar->Progress(), 0); // stored before the description binds OnChange
    EXPECT_TRUE(form->gaugeChanges.empty());
    for (int p : {20, 20, 40, 150, -5})
        bar->SetProgress(p);
    EXPECT_EQ(form->gaugeChanges, (std::vector<int>{20, 40, 100, 0}));

    // Repainted (on its parent: it has no window) only when the whole percentage changes;
    // OnChange runs for every new value.
    const HWND parent = bar->Parent()->Handle();
    bar->SetMaxValue(300);
    bar->SetProgress(1);
    EXPECT_EQ(bar->Caption(), "0%");
    UpdateWindow(form->Handle());
    ValidateRect(parent, nullptr);
    bar->SetProgress(2);
    EXPECT_FALSE(GetUpdateRect(parent, nullptr, FALSE));
    bar->SetProgress(3);
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(parent, &dirty, FALSE));
    const RECT bounds = bar->BoundsRect();
    EXPECT_TRUE(EqualRect(&dirty, &bounds));
    EXPECT_EQ(bar->Caption(), "1%");
    EXPECT_EQ(form->gaugeChanges, (std::vector<int>{20, 40, 100, 0, 1, 2, 3}));

    // MaxValue below MinValue is refused; a lower MaxValue pulls Progress down without OnChange.
    EXPECT_EQ(ErrorOf([&] { bar->SetMaxValue(-5); }), "Wert muss zwischen 1 und 2147483647 liegen");
    EXPECT_EQ(bar->MaxValue(), 300);
    bar->SetMaxValue(2);
    EXPECT_EQ(bar->Progress(), 2);
    EXPECT_EQ(form->gaugeChanges.size(), 7u);
    EXPECT_EQ(ErrorOf([&] { bar->SetMinValue(10); }), "Wert muss zwischen -2147483647 und 1 liegen");
    // MinValue = MaxValue: nothing to divide by, 0 % done.
    bar->SetMinValue(2);
    EXPECT_EQ(bar->PercentDone(), 0);

    // By name, through the same rules.
    SetIntProp(bar, "MaxValue", 50);
    SetIntProp(bar, "Progress", 60);
    EXPECT_EQ(GetIntProp(bar, "Progress"), 50);
    EXPECT_EQ(GetIntProp(bar, "MinValue"), 2);

    auto* fresh = new TsGauge(form);
    EXPECT_EQ(fresh->MinValue(), 0);
    EXPECT_EQ(fresh->MaxValue(), 100);
    EXPECT_EQ(fresh->Progress(), 47);
}

TEST_F(SkinnedControls, ListBoxEntriesObjectsAndSelection)
{
    TsListBox* list = form->ProdListSel;
    EXPECT_EQ(list->GetCount(), 3);
    TStringList cheese;
    list->Items().AddObject("Käse", &cheese);
    EXPECT_EQ(list->Items().Objects(3), &cheese);
    EXPECT_EQ(list->Items().Text(), "Brot\r\nMilch\r\nButter\r\nKäse\r\n");
    EXPECT_EQ(list->GetItemIndex(), -1);
    list->SetItemIndex(1);
    EXPECT_EQ(list->GetItemIndex(), 1);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(list->GetSelected(1));
    EXPECT_FALSE(list->GetSelected(0));
    try {
        list->GetSelected(4);
        ADD_FAILURE() << "no error for entry 4";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "Listenindex überschreitet das Maximum (4)");
    }
    list->Items().Delete(0);
    EXPECT_EQ(list->Items().Objects(2), &cheese);
    list->Clear(); // the objects stay with their owners
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->GetItemIndex(), -1);
    EXPECT_EQ(cheese.Count(), 0);

    // Multiple selection: the item index is the caret; moving it selects nothing.
    TsAlphaListBox* months = form->MonthList;
    for (const char* m : {"01/24", "02/24", "03/24", "04/24", "05/24", "06/24"})
        months->Items().Add(m);
    months->SetSelected(1, true);
    months->SetSelected(3, true);
    months->SetItemIndex(4);
    EXPECT_EQ(months->GetItemIndex(), 4);
    EXPECT_EQ(SendMessageA(months->Handle(), LB_GETCARETINDEX, 0, 0), 4);
    EXPECT_EQ(months->GetSelCount(), 2);
    EXPECT_TRUE(months->GetSelected(3));
    EXPECT_FALSE(months->GetSelected(4));
    EXPECT_EQ(GetIntProp(months, "ItemIndex"), 4);
}

TEST_F(SkinnedControls, SetItemIndexRepaintsTheEntryThatWasCurrentAtOnce)
{
    TsListBox* list = form->ProdListSel;
    list->SetItemIndex(0);
    UpdateWindow(form->Handle());
    std::vector<RECT> painted; // the update rectangle of each WM_PAINT
    const int hook = list->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_PAINT) {
            RECT r{};
            GetUpdateRect(list->Handle(), &r, FALSE);
            painted.push_back(r);
        }
        inherited(m);
    });
    list->SetItemIndex(2);
    EXPECT_EQ(list->GetItemIndex(), 2);
    const RECT first = list->ItemRect(0);
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_TRUE(EqualRect(&painted[0], &first));
    list->SetItemIndex(2); // no change: nothing repainted
    list->SetItemIndex(-1);
    const RECT third = list->ItemRect(2);
    ASSERT_EQ(painted.size(), 2u);
    EXPECT_TRUE(EqualRect(&painted[1], &third));
    list->UnhookWindowProc(hook);
}

TEST_F(SkinnedControls, ItemAtPosInsideAndOutsideTheClientArea)
{
    TsListBox* list = form->ProdListSel; // entries 15 pixels high
    ASSERT_EQ(list->ItemHeight(), 15);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 1}, true), 0);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 16}, true), 1);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 44}, true), 2);
    // Below the last entry: -1 when an existing entry is asked for, else the count.
    EXPECT_EQ(list->ItemAtPos(POINT{5, 50}, true), -1);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 50}, false), 3);
    // Outside the client area: -1 either way.
    RECT client;
    GetClientRect(list->Handle(), &client);
    EXPECT_EQ(list->ItemAtPos(POINT{5, -1}, false), -1);
    EXPECT_EQ(list->ItemAtPos(POINT{client.right, 5}, false), -1);
    EXPECT_EQ(list->ItemAtPos(POINT{5, client.bottom}, false), -1);
    // Scrolled: the search starts at the top visible entry.
    for (int i = 0; i < 10; ++i)
        list->Items().Add("Artikel " + std::to_string(i));
    SendMessageA(list->Handle(), LB_SETTOPINDEX, 4, 0);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 1}, true), 4);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 16}, true), 5);
}

TEST_F(SkinnedControls, ComboBoxListTextAndUserChoice)
{
    TsComboBox* combo = form->SkinComboBox;
    EXPECT_LT(combo->ItemIndex(), 0);
    combo->Items().Clear();
    for (const char* name : {"Blue", "Green", "Tillora (internal)"})
        combo->Items().Add(name);
    combo->SetItemIndex(1); // by code: no OnChange
    EXPECT_EQ(combo->Text(), "Green");
    EXPECT_EQ(form->comboChanges, 0);
    // The user's choice arrives as the selection notification.
    SendMessageA(combo->Handle(), CB_SETCURSEL, 2, 0);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->Handle()));
    EXPECT_EQ(form->comboChanges, 1);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Tillora (internal)");
    EXPECT_EQ(GetIntProp(combo, "ItemIndex"), 2);
    combo->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(combo->Handle()));
}

TEST_F(SkinnedControls, LabelSettingsByName)
{
    TsLabel* label = form->BedLabel;
    EXPECT_EQ(GetIntProp(label, "UseSkinColor"), 0);
    SetIntProp(label, "UseSkinColor", 1);
    EXPECT_TRUE(label->UseSkinColor());
    TsEditLabel* edit = form->EditLabel;
    EXPECT_EQ(GetIntProp(edit, "Alignment"), taRightJustify);
    SetIntProp(edit, "Alignment", taCenter);
    EXPECT_EQ(edit->Alignment(), taCenter);
    EXPECT_EQ(GetIntProp(edit, "WordWrap"), 1);
    EXPECT_EQ(GetIntProp(edit, "AutoSize"), 0);
    EXPECT_FALSE(HasProperty(form->InitLabel, "UseSkinColor"));
    EXPECT_FALSE(HasProperty(form->KassButton, "Checked"));
}

TEST_F(SkinnedControls, SkinProviderKeepsTheMainWindowSettings)
{
    TsSkinProvider* p = form->sSkinProvider1;
    EXPECT_EQ(p->Form(), form);
    EXPECT_EQ(p->SkinSection(), "FORM");
    EXPECT_TRUE(p->MakeSkinMenu());
    TFont& title = p->AddedTitle().Font();
    EXPECT_EQ(title.Name(), "Tahoma");
    EXPECT_EQ(title.Height(), -13);
    EXPECT_EQ(title.Color(), clNone);
    EXPECT_EQ(title.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(title.Style(), 0u);
    EXPECT_EQ(p->AddedTitle().Text(), "");
    EXPECT_EQ(&p->AddedTitle().Owner(), p);
    EXPECT_EQ(GetIntProp(p, "MakeSkinMenu"), 1);
    EXPECT_EQ(GetObjProp(p, "AddedTitle"), &p->AddedTitle());

    // The state the skin engine reads and sets.
    EXPECT_FALSE(p->Locked());
    p->SetLocked(true);
    EXPECT_TRUE(p->Locked());
    EXPECT_EQ(p->BorderForm(), nullptr);
    EXPECT_FALSE(p->OwnBorder());
    // Nothing skinned: the form keeps the system's frame and no window region.
    p->PrepareRgnParts();
    p->UpdateFormRgn();
    TMessage m{WM_NULL, 0, 0, 0};
    p->EmptyHandler(m);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(form->Handle(), rgn), ERROR);
    DeleteObject(rgn);
    EXPECT_EQ(WindowText(form->Handle()), "Skinned");
}

} // namespace
