#include "register/ui/UPINForm.h"

#include <windows.h>

#include "gui/ComCtrls.h"
#include "register/core/UCard.h"
#include "register/ui/UCardCheck.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"

TPINForm* PINForm = nullptr;

TPINForm::~TPINForm()
{
    if (PINForm == this) PINForm = nullptr;
}

const TFormBindings& TPINForm::Bindings() const
{
    static const TFormBindings b = {
        {"Label1", &TPINForm::Label1},
        {"PINEdit", &TPINForm::PINEdit},
        {"PINButton", &TPINForm::PINButton},
        {"PINButtonClick", &TPINForm::PINButtonClick},
        {"PINEditKeyDown", &TPINForm::PINEditKeyDown},
        {"PINEditKeyUp", &TPINForm::PINEditKeyUp},
    };
    return b;
}

void TPINForm::Activate()
{
    if (UCard::ActivateQsm(PinDataText(PINEdit->Text()))) {
        if (Modal()) SetModalResult(mrOk);
        else Hide();
    }
}

void TPINForm::PINButtonClick(TObject*) { Activate(); }

void TPINForm::PINEditKeyDown(TObject*, WORD& Key, TShiftState) { pressed_ = Key; }

void TPINForm::PINEditKeyUp(TObject*, WORD& Key, TShiftState)
{
    const bool pressedHere = pressed_ == Key;
    pressed_ = 0;
    if (!pressedHere) return;
    if (Key == VK_RETURN) Activate();
    else if (Key == VK_ESCAPE) {
        if (Modal()) SetModalResult(mrCancel);
        else Hide();
    }
}
