// The transport-PIN dialog "PIN": shown modally by the card start check for a card in its
// transport state. "OK", or releasing Enter in the PIN field, sends the activation report with
// the PIN field (PinDataText); the dialog closes when the card took it and stays open for
// another try otherwise, so start-up never goes on with a card left in its transport state.
// Releasing Escape closes it.
#pragma once

#include "gui/Forms.h"

class TsLabel;
class TsButton;
class TMaskEdit;

class TPINForm : public TForm {
    GUI_CLASS(TPINForm, TForm)
    explicit TPINForm(TComponent* owner) : TForm(owner) {}
    ~TPINForm() override;

    TsLabel* Label1 = nullptr;
    TMaskEdit* PINEdit = nullptr;
    TsButton* PINButton = nullptr;

    void PINButtonClick(TObject* Sender);
    // A key acts when it is released, and only when it was also pressed in the field (the
    // Enter that closes a message box does not send the PIN again).
    void PINEditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void PINEditKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);

protected:
    const TFormBindings& Bindings() const override;

private:
    // Sends the activation report; closes the dialog when it succeeded.
    void Activate();
    WORD pressed_ = 0;
};

extern TPINForm* PINForm;
