#include "register/ui/UCardErrForm.h"

#include "register/ui/ULanguage.h"
#include "register/ui/UMainF.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"

TCardErrForm* CardErrForm = nullptr;

TCardErrForm::~TCardErrForm()
{
    if (CardErrForm == this) CardErrForm = nullptr;
}

const TFormBindings& TCardErrForm::Bindings() const
{
    static const TFormBindings b = {
        {"ErrTypeLabel", &TCardErrForm::ErrTypeLabel},
        {"Label2", &TCardErrForm::Label2},
        {"Label3", &TCardErrForm::Label3},
        {"Button1", &TCardErrForm::Button1},
        {"Button1Click", &TCardErrForm::Button1Click},
        {"FormClose", &TCardErrForm::FormClose},
    };
    return b;
}

void TCardErrForm::ShowError(int n)
{
    if (n > 0) {
        ErrTypeLabel->SetTag(130 + n);
        SetLanguage(MainF, "");
    }
    byButton_ = false;
    ShowModal();
}

void TCardErrForm::Button1Click(TObject*)
{
    byButton_ = true;
    SetModalResult(mrClose);
}

void TCardErrForm::FormClose(TObject*, TCloseAction& Action)
{
    Action = caHide;
    if (OnEndProgram) OnEndProgram(byButton_ ? 0 : 1);
}
