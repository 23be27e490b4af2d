#include "register/ui/UScanForm.h"

TScanForm* ScanForm = nullptr;

TScanForm::~TScanForm()
{
    if (ScanForm == this) ScanForm = nullptr;
}
