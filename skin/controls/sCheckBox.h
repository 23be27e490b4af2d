// TsCheckBox: the skinned check box (the main window's KassBox, FuncMonBox, CardMonBox and
// ZeitCheckBox, the register window's flags, exSteuerBox, sCheckBed, SkinCheckBox). A TCheckBox
// in every respect; a form description names it "TsCheckBox":
//
//   object KassBox: TsCheckBox
//     Caption = 'Kasse'
//     Tag = 20
//     Checked = True          // read while loading: OnClick does not run
//     OnClick = KassBoxClick
//   end
//
// Setting the state (SetChecked, the setter of Checked) while the window is loading only stores
// it. Outside loading a different state goes through the plain check box, which shows it and
// runs OnClick, and the box is repainted; setting the state it already has does nothing.
// Clicking the box toggles it the same way. Checked() reads the ticked state.
#pragma once

#include "gui/StdCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsCheckBox : public TsLinkedControl<TCheckBox, 32> {
    GUI_CLASS(TsCheckBox, TCheckBox)
    explicit TsCheckBox(TComponent* owner) : TsLinkedControl(owner) {}
    void SetChecked(bool v) override;
};
