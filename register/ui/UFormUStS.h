// The VAT-rate dialog "UStS": the six rates of the register window's rate panels (hundredths
// of a percent, four digits), editable and taken over with "Ok" only while no receipt is open;
// and the tax-exclusive switch that the core reads (IsTaxExclusive).
#pragma once

#include <array>

#include "gui/Forms.h"

class TMaskEdit;
class TsCheckBox;
class TsButton;
class TStaticText;

class TFormUStS : public TForm {
    GUI_CLASS(TFormUStS, TForm)
    explicit TFormUStS(TComponent* owner) : TForm(owner) {}
    ~TFormUStS() override;

    TMaskEdit* USS1 = nullptr;
    TMaskEdit* USS2 = nullptr;
    TMaskEdit* USS3 = nullptr;
    TMaskEdit* USS4 = nullptr;
    TMaskEdit* USS5 = nullptr;
    TMaskEdit* USS6 = nullptr;
    TsCheckBox* exSteuerBox = nullptr;
    TsButton* OkButton = nullptr;
    TsButton* Button2 = nullptr;
    TStaticText* StaticText = nullptr;

    // The rate edit of class n (1..6).
    TMaskEdit* RateEdit(int n) const;

    // Copies the register window's rates; edits enabled and "Ok" shown exactly while no
    // receipt is open, the notice shown otherwise.
    void FormShow(TObject* Sender);
    // Hides the dialog, then copies the six rates into the register window's panels.
    void OkButtonClick(TObject* Sender);
    void Button2Click(TObject* Sender);

protected:
    const TFormBindings& Bindings() const override;
};

extern TFormUStS* FormUStS;
