// The card error window "Card Error": shown modally when the card start check fails or the
// card is removed. Closing it, by its Close button or any other way, ends the program in
// order: the main window writes start.ini and ends the message loop, the windows go, the
// journals are closed. The Close button ends with exit code 0, any other way with 1.
#pragma once

#include <functional>

#include "gui/Forms.h"

class TsLabel;
class TsButton;

class TCardErrForm : public TForm {
    GUI_CLASS(TCardErrForm, TForm)
    explicit TCardErrForm(TComponent* owner) : TForm(owner) {}
    ~TCardErrForm() override;

    TsLabel* ErrTypeLabel = nullptr;
    TsLabel* Label2 = nullptr;
    TsLabel* Label3 = nullptr;
    TsButton* Button1 = nullptr;

    // n > 0: the first label takes Tag 130 + n and the language is applied again, so it shows
    // text (130 + n)cap ("140cap" for n = 10); then the window is shown modally.
    void ShowError(int n);
    void Button1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // Ends the program with the given exit code; set by the program block.
    std::function<void(int exitCode)> OnEndProgram;

protected:
    const TFormBindings& Bindings() const override;

private:
    bool byButton_ = false;
};

extern TCardErrForm* CardErrForm;
