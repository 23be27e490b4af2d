#include "register/ui/USkinSel.h"

#include "gui/base/Strings.h"
#include "register/ui/UInitForm.h"
#include "register/ui/ULanguage.h"
#include "register/ui/UMainF.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/engine/sSkinManager.h"

TSkinSel* SkinSel = nullptr;

TSkinSel::~TSkinSel()
{
    if (SkinSel == this) SkinSel = nullptr;
}

namespace {

TsSkinManager* Manager() { return InitForm ? InitForm->sSkinManager1 : nullptr; }

} // namespace

const TFormBindings& TSkinSel::Bindings() const
{
    static const TFormBindings b = {
        {"SkinCheckBox", &TSkinSel::SkinCheckBox},
        {"SkinComboBox", &TSkinSel::SkinComboBox},
        {"sButton1", &TSkinSel::sButton1},
        {"FormShow", &TSkinSel::FormShow},
        {"SkinCheckBoxClick", &TSkinSel::SkinCheckBoxClick},
        {"SkinComboBoxChange", &TSkinSel::SkinComboBoxChange},
        {"sButton1Click", &TSkinSel::sButton1Click},
    };
    return b;
}

void TSkinSel::FormShow(TObject*)
{
    TsSkinManager* manager = Manager();
    if (!manager) return;
    TStringList names;
    manager->GetSkinNames(names, 2);
    SkinComboBox->Items().Clear();
    for (int i = 0; i < names.Count(); ++i)
        SkinComboBox->Items().Add(names[i]);
}

void TSkinSel::SkinCheckBoxClick(TObject*)
{
    if (TsSkinManager* manager = Manager()) {
        manager->SetActive(SkinCheckBox->Checked());
        SkinComboBox->SetEnabled(manager->Active());
    }
    SetLanguage(MainF, "");
}

void TSkinSel::SkinComboBoxChange(TObject*)
{
    TsSkinManager* manager = Manager();
    if (manager && SkinComboBox->ItemIndex() >= 0) manager->SetSkinName(SkinComboBox->Text());
    SetLanguage(MainF, "");
}

void TSkinSel::sButton1Click(TObject*) { Hide(); }

void TSkinSel::ApplySkinName(const std::string& name)
{
    TsSkinManager* manager = Manager();
    if (!manager || !SkinCheckBox->Checked() || name.empty()) return;
    try {
        manager->SetSkinName(name);
    } catch (const std::exception& e) {
        // The register starts without a skin: the message once, skins off, the name kept for
        // the next start.
        Application->ShowException(e);
        SkinCheckBox->SetChecked(false);
        manager->SetSkinName(name);
    }
    SetLanguage(MainF, "");
}
