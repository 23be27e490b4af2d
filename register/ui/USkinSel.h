// The skin dialog "Skinauswahl": switches the splash's skin manager on and off and picks its
// skin from the skins it finds (folders with "Options.dat" and ".vtz" files in the skin
// folder, and the manager's internal skins).
#pragma once

#include <string>

#include "gui/Forms.h"

class TsCheckBox;
class TsComboBox;
class TsButton;

class TSkinSel : public TForm {
    GUI_CLASS(TSkinSel, TForm)
    explicit TSkinSel(TComponent* owner) : TForm(owner) {}
    ~TSkinSel() override;

    TsCheckBox* SkinCheckBox = nullptr;
    TsComboBox* SkinComboBox = nullptr;
    TsButton* sButton1 = nullptr;

    // Fills the combo box with the manager's skin names, in the order it lists them.
    void FormShow(TObject* Sender);
    // Manager active := box ticked; the combo box follows; the language is applied again.
    void SkinCheckBoxClick(TObject* Sender);
    // With an entry selected, the manager's skin name := the box text; the language is applied
    // again in any case.
    void SkinComboBoxChange(TObject* Sender);
    void sButton1Click(TObject* Sender);

    // Start-up: when the box is ticked and the name is not empty, the manager takes the name
    // and the language is applied again. A skin that cannot be loaded shows its message, the
    // box is unticked (the manager off, no skin) and the manager keeps the name, which is
    // stored again at the end.
    void ApplySkinName(const std::string& name);

protected:
    const TFormBindings& Bindings() const override;
};

extern TSkinSel* SkinSel;
