// The mass-transaction window "Mass-Transactions"; the main window's "Test" menu shows it.
#pragma once

#include "gui/Forms.h"

class TMassTransForm : public TForm {
    GUI_CLASS(TMassTransForm, TForm)
    explicit TMassTransForm(TComponent* owner) : TForm(owner) {}
    ~TMassTransForm() override;
};

extern TMassTransForm* MassTransForm;
