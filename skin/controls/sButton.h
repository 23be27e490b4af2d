// TsButton: the skinned push button of the program's windows (the register window's action
// buttons, the dialogs' OK, Cancel and Close buttons). It is a TButton in every respect: the
// windows set its caption, hint, visibility and enabled state through the button's own
// properties, and a form description names it as
//
//   object KassButton: TsButton
//     Caption = 'Kassieren'
//     Tag = 113
//     OnClick = KassButtonClick
//   end
//
// The language loader gives it its caption and hint by class name (TsButton). Its drawing from
// the skin comes with the skinned controls.
#pragma once

#include "gui/StdCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsButton : public TsLinkedControl<TButton, 93> {
    GUI_CLASS(TsButton, TButton)
    explicit TsButton(TComponent* owner) : TsLinkedControl(owner) {}
};
