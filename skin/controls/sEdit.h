// TsEdit: the skinned single-line edit (the register window's price keys Pr1..Pr6, the
// special-item fields, the operator names, the mass-transaction numbers). A TEdit in every
// respect: text, hint and enabled state through the edit's properties; a form description
// names it "TsEdit", and the language loader gives it its hint (never a caption) by that class
// name. Its skin link (SkinData, control kind 3) gives it the "EDIT" section's colour and font
// colour while a skin is loaded and the plain ones (clWindow, clWindowText) when the skin is
// removed; its skinned frame comes with the skinned controls.
#pragma once

#include "gui/StdCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsEdit : public TsLinkedControl<TEdit, 3> {
    GUI_CLASS(TsEdit, TEdit)
    explicit TsEdit(TComponent* owner) : TsLinkedControl(owner) {}
};
