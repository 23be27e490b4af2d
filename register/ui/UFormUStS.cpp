#include "register/ui/UFormUStS.h"

#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"
#include "register/ui/UKassTip.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sPanel.h"

TFormUStS* FormUStS = nullptr;

TFormUStS::~TFormUStS()
{
    if (FormUStS == this) FormUStS = nullptr;
}

const TFormBindings& TFormUStS::Bindings() const
{
    static const TFormBindings b = {
        {"USS1", &TFormUStS::USS1},
        {"USS2", &TFormUStS::USS2},
        {"USS3", &TFormUStS::USS3},
        {"USS4", &TFormUStS::USS4},
        {"USS5", &TFormUStS::USS5},
        {"USS6", &TFormUStS::USS6},
        {"exSteuerBox", &TFormUStS::exSteuerBox},
        {"OkButton", &TFormUStS::OkButton},
        {"Button2", &TFormUStS::Button2},
        {"StaticText", &TFormUStS::StaticText},
        {"FormShow", &TFormUStS::FormShow},
        {"OkButtonClick", &TFormUStS::OkButtonClick},
        {"Button2Click", &TFormUStS::Button2Click},
    };
    return b;
}

TMaskEdit* TFormUStS::RateEdit(int n) const
{
    const std::array<TMaskEdit*, 6> edits = {USS1, USS2, USS3, USS4, USS5, USS6};
    return edits.at(static_cast<size_t>(n - 1));
}

void TFormUStS::FormShow(TObject*)
{
    for (int n = 1; n <= 6; ++n)
        RateEdit(n)->SetText(KassTip->RatePanel(n)->Caption());
    const bool noReceipt = KassTip->NewReceiptPending;
    for (int n = 1; n <= 6; ++n)
        RateEdit(n)->SetEnabled(noReceipt);
    OkButton->SetVisible(noReceipt);
    StaticText->SetVisible(!noReceipt);
}

void TFormUStS::OkButtonClick(TObject*)
{
    Hide();
    for (int n = 1; n <= 6; ++n)
        KassTip->RatePanel(n)->SetCaption(RateEdit(n)->Text());
}

void TFormUStS::Button2Click(TObject*) { Hide(); }
