// A window with one auto-sized picture, QRImage.
#pragma once

#include "gui/Forms.h"

class TImage;

class TForm2 : public TForm {
    GUI_CLASS(TForm2, TForm)
    explicit TForm2(TComponent* owner) : TForm(owner) {}
    ~TForm2() override;
    TImage* QRImage = nullptr;

protected:
    const TFormBindings& Bindings() const override;
};

extern TForm2* Form2;
