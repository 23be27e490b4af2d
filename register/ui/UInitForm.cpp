#include "register/ui/UInitForm.h"

#include <windows.h>

#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "register/ui/UKassTip.h"
#include "register/ui/ULanguage.h"
#include "register/ui/UMainF.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/engine/sSkinManager.h"

TInitForm* InitForm = nullptr;

TInitForm::~TInitForm()
{
    if (InitForm == this) InitForm = nullptr;
}

const TFormBindings& TInitForm::Bindings() const
{
    static const TFormBindings b = {
        {"Label1", &TInitForm::Label1},
        {"InitBar", &TInitForm::InitBar},
        {"closeB", &TInitForm::closeB},
        {"Warnung", &TInitForm::Warnung},
        {"ProgBarTimer", &TInitForm::ProgBarTimer},
        {"sSkinManager1", &TInitForm::sSkinManager1},
        {"FormCreate", &TInitForm::FormCreate},
        {"FormShow", &TInitForm::FormShow},
        {"FormHide", &TInitForm::FormHide},
        {"ProgBarTimerTimer", &TInitForm::ProgBarTimerTimer},
        {"closeBClick", &TInitForm::closeBClick},
    };
    return b;
}

void TInitForm::FormCreate(TObject*)
{
    sSkinManager1->SetSkinDirectory(Application->ExeFolder() + "Skins\\");
    InitBar->SetProgress(20);
    SetHeight(InitBar->Top() + InitBar->Height() + 35);
    SetWidth(Label1->Width() + 12);
}

void TInitForm::FormShow(TObject*) { SetLanguage(MainF, ""); }

void TInitForm::FormHide(TObject*)
{
    // Hidden because the program ends (the card error window was closed): nothing to bring up.
    if (MainF && MainF->Closing()) return;
    if (MainF) MainF->Show();
    if (KassTip) KassTip->Show();
    SetLanguage(MainF, "");
}

void TInitForm::ProgBarTimerTimer(TObject*)
{
    if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
    InitBar->AddProgress(20);
    if (InitBar->Progress() >= InitBar->MaxValue()) ProgBarTimer->SetEnabled(false);
}

void TInitForm::closeBClick(TObject*) { Hide(); }

void ReapplySkin()
{
    TsSkinManager* manager = InitForm ? InitForm->sSkinManager1 : nullptr;
    if (!manager || !manager->Active()) return;
    TvxFormAnimation& anim = manager->AnimEffects().SkinChanging;
    const int time = anim.Time;
    anim.Time = 0;
    anim.Active = false;
    manager->SetSkinName(manager->SkinName());
    anim.Active = true;
    anim.Time = time;
    if (KassTip) KassTip->ApplyTraining();
}
