// TsComboBox: the skinned combo box of the skin selection window. A TComboBox in every respect:
// its item list (cleared, then filled), its selected index (below 0 while nothing is
// selected), its text, its enabled state and its OnChange event (a selection by the user, not
// one made by code). A form description names it "TsComboBox".
#pragma once

#include "gui/ListCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsComboBox : public TsLinkedControl<TComboBox, 3> {
    GUI_CLASS(TsComboBox, TComboBox)
    explicit TsComboBox(TComponent* owner) : TsLinkedControl(owner) {}
};
