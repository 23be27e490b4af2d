#include "register/ui/UMassTrans.h"

TMassTransForm* MassTransForm = nullptr;

TMassTransForm::~TMassTransForm()
{
    if (MassTransForm == this) MassTransForm = nullptr;
}
