#include "register/ui/UForm2.h"

#include "gui/ExtCtrls.h"

TForm2* Form2 = nullptr;

TForm2::~TForm2()
{
    if (Form2 == this) Form2 = nullptr;
}

const TFormBindings& TForm2::Bindings() const
{
    static const TFormBindings b = {{"QRImage", &TForm2::QRImage}};
    return b;
}
