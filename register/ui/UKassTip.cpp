#include "register/ui/UKassTip.h"

#include <array>

#include "gui/StdCtrls.h"
#include "gui/base/NumberFormat.h"
#include "register/core/UXML_Export.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UMainF.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

TKassTip* KassTip = nullptr;

TKassTip::~TKassTip()
{
    Unregister();
    if (KassTip == this) KassTip = nullptr;
}

void TKassTip::BeforeDestruction()
{
    Unregister();
    TForm::BeforeDestruction();
}

void TKassTip::Unregister()
{
    TRegisterCore* core = TRegisterCore::Current();
    if (core && core->HasHost() && &core->Host() == this) core->SetHost(nullptr);
}

const TFormBindings& TKassTip::Bindings() const
{
    static const TFormBindings b = {
        {"BedButton1", &TKassTip::BedButton1},
        {"BedButton2", &TKassTip::BedButton2},
        {"BedName1", &TKassTip::BedName1},
        {"BedName2", &TKassTip::BedName2},
        {"TimeLabel", &TKassTip::TimeLabel},
        {"DateLabel", &TKassTip::DateLabel},
        {"USS1", &TKassTip::USS1},
        {"USS2", &TKassTip::USS2},
        {"USS3", &TKassTip::USS3},
        {"USS4", &TKassTip::USS4},
        {"USS5", &TKassTip::USS5},
        {"USS6", &TKassTip::USS6},
        {"FormCreate", &TKassTip::FormCreate},
        {"FormClose", &TKassTip::FormClose},
        {"FormDestroy", &TKassTip::FormDestroy},
        {"Editiere1Click", &TKassTip::Editiere1Click},
    };
    return b;
}

TsPanel* TKassTip::RatePanel(int n) const
{
    const std::array<TsPanel*, 6> panels = {USS1, USS2, USS3, USS4, USS5, USS6};
    return panels.at(static_cast<size_t>(n - 1));
}

void TKassTip::FormCreate(TObject*)
{
    NewReceiptPending = true;
    TrainingMode = false;
    RegisterCore().SetHost(this);
}

void TKassTip::FormClose(TObject*, TCloseAction& Action)
{
    Action = caHide;
    if (MainF) MainF->KassBox->SetChecked(false);
    UXML_Export::FlushJournal();
}

void TKassTip::FormDestroy(TObject*) { UXML_Export::FlushJournal(); }

void TKassTip::Editiere1Click(TObject*)
{
    if (FormUStS) FormUStS->Show();
}

void TKassTip::ShowClock(TDateTime time, TDateTime date)
{
    TimeLabel->SetCaption(TimeToStr(time));
    DateLabel->SetCaption(DateToStr(date));
}

void TKassTip::ApplyTraining() {}

double TKassTip::GetVatRate(int vatClass)
{
    if (vatClass < 1 || vatClass > 6) return 0;
    return StrToIntDef(RatePanel(vatClass)->Caption(), 0) / 10000.0;
}

std::string TKassTip::GetOperatorName() { return BedButton1->Checked() ? BedName1->Text() : BedName2->Text(); }

bool TKassTip::IsTaxExclusive() { return FormUStS && FormUStS->exSteuerBox->Checked(); }

void TKassTip::AddHashToReceipt(const std::uint8_t*, int, bool) {}
void TKassTip::AddSignatureToReceipt(const std::uint8_t*, int, bool) {}
void TKassTip::NewReceipt() {}
void TKassTip::SetReceiptText(const std::string&) {}
void TKassTip::SetReceiptColor(std::int32_t) {}
