// The scan window "Scanner"; the main window's "Scanner" menu places it beside the register
// window and shows it.
#pragma once

#include "gui/Forms.h"

class TScanForm : public TForm {
    GUI_CLASS(TScanForm, TForm)
    explicit TScanForm(TComponent* owner) : TForm(owner) {}
    ~TScanForm() override;
};

extern TScanForm* ScanForm;
