#include "register/ui/UMainF.h"

#include <windows.h>

#include <cstdlib>
#include <exception>

#include "card/exports/QsmTool.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/base/DateTime.h"
#include "register/core/UAppClock.h"
#include "register/core/UContainer.h"
#include "register/core/ULang.h"
#include "register/core/URegisterCore.h"
#include "register/core/UCard.h"
#include "register/core/UXML_Export.h"
#include "register/ui/UCardCheck.h"
#include "register/ui/UCardErrForm.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UFileVersion.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UFunkMon.h"
#include "register/ui/UInitForm.h"
#include "register/ui/UKassTip.h"
#include "register/ui/ULanguage.h"
#include "register/ui/UMassTrans.h"
#include "register/ui/UPINForm.h"
#include "register/ui/UScanForm.h"
#include "register/ui/USkinSel.h"
#include "register/ui/UStartIni.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sPanel.h"
#include "skin/engine/sSkinManager.h"

TMainF* MainF = nullptr;

namespace {

constexpr UINT WM_CARD_INSERTED = 0x401;
constexpr UINT WM_CARD_REMOVED = 0x402;

std::uint32_t RandomSeed()
{
    // A benchmark that compares runs names the seed, so that every run books the same receipts.
    char seed[16];
    const DWORD n = GetEnvironmentVariableA("TILLORA_RANDOM_SEED", seed, sizeof seed);
    if (n > 0 && n < sizeof seed) return static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10));
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter)) return static_cast<std::uint32_t>(counter.LowPart);
    return static_cast<std::uint32_t>(GetTickCount());
}

} // namespace

TMainF::~TMainF()
{
    if (MainF == this) MainF = nullptr;
}

void TMainF::BeforeDestruction()
{
    if (HandleAllocated()) SET_APPL_HANDLE(nullptr);
    TForm::BeforeDestruction();
}

const TFormBindings& TMainF::Bindings() const
{
    static const TFormBindings b = {
        {"StatusButton", &TMainF::StatusButton},
        {"KassBox", &TMainF::KassBox},
        {"FuncMonBox", &TMainF::FuncMonBox},
        {"CardMonBox", &TMainF::CardMonBox},
        {"ZeitCheckBox", &TMainF::ZeitCheckBox},
        {"ZeitBox", &TMainF::ZeitBox},
        {"TimeLabel", &TMainF::TimeLabel},
        {"DateLabel", &TMainF::DateLabel},
        {"TimePicker", &TMainF::TimePicker},
        {"DatePicker", &TMainF::DatePicker},
        {"GlButton", &TMainF::GlButton},
        {"SynButton", &TMainF::SynButton},
        {"StatButton", &TMainF::StatButton},
        {"SetButton", &TMainF::SetButton},
        {"Timer1", &TMainF::Timer1},
        {"TimerSync", &TMainF::TimerSync},
        {"MainMenu1", &TMainF::MainMenu1},
        {"Francais1", &TMainF::Francais1},
        {"Test1", &TMainF::Test1},
        {"FormCreate", &TMainF::FormCreate},
        {"FormShow", &TMainF::FormShow},
        {"FormClose", &TMainF::FormClose},
        {"Timer1Timer", &TMainF::Timer1Timer},
        {"TimerSyncTimer", &TMainF::TimerSyncTimer},
        {"SetTime", &TMainF::SetTime},
        {"KassBoxClick", &TMainF::KassBoxClick},
        {"FuncMonBoxClick", &TMainF::FuncMonBoxClick},
        {"CardMonBoxClick", &TMainF::CardMonBoxClick},
        {"ZeitCheckBoxClick", &TMainF::ZeitCheckBoxClick},
        {"Deutsch1Click", &TMainF::Deutsch1Click},
        {"English1Click", &TMainF::English1Click},
        {"Francais1Click", &TMainF::Francais1Click},
        {"Polnisch1Click", &TMainF::Polnisch1Click},
        {"Skins1Click", &TMainF::Skins1Click},
        {"Beenden1Click", &TMainF::Beenden1Click},
        {"QSMdeaktClick", &TMainF::QSMdeaktClick},
        {"StatusButtonClick", &TMainF::StatusButtonClick},
        {"QSMchangeClick", &TMainF::QSMchangeClick},
        {"Scanner1Click", &TMainF::Scanner1Click},
        {"Debug1Click", &TMainF::Debug1Click},
        {"MassTransact1Click", &TMainF::MassTransact1Click},
    };
    return b;
}

void TMainF::FormCreate(TObject*)
{
    SetBounds(20, 20, Width(), Height());
    SetCaption(Caption() + "_" + GetFileVersionText());
    if (FunkMonForm) FunkMonForm->OnMonitorClosed = [this](TObject*) { FuncMonBox->SetChecked(false); };
    ReadStartSettings();
    cardAccepted_ = false;
    SET_DEBUGWINDOW(1, CardMonBox->Checked() ? 1 : 0);
    SET_APPL_HANDLE(Handle());
    START_CARD();
    Timer1->SetEnabled(true);
    RegisterCore().Random().Randomize(RandomSeed());
}

void TMainF::ReadStartSettings()
{
    const TStartSettings s = ReadStartIni(StartIniPath());
    ULang::Languages().SetCurrent(s.language);
    KassTip->BedName1->SetText(s.operator1);
    KassTip->BedName2->SetText(s.operator2);
    for (int i = 0; i < 6; ++i)
        KassTip->RatePanel(i + 1)->SetCaption(s.rates[static_cast<size_t>(i)]);
    FormUStS->exSteuerBox->SetChecked(s.exklSteuer);
    UContainer::ResetItemList();
    KassBox->SetChecked(true);
    SkinSel->SkinCheckBox->SetChecked(s.skinEnabled);
    SkinSel->ApplySkinName(s.skinName);
    CardMonBox->SetVisible(true);
    CardMonBox->SetChecked(s.cardMonitor);
    FuncMonBox->SetChecked(s.funcMonitor);
    ZeitCheckBox->SetChecked(s.timePanel);
    Test1->SetVisible(s.debugMenu);
    acceptedVersions_ = s.versions;
}

void TMainF::WriteStartSettings()
{
    TStartState s;
    s.language = ULang::Languages().Current();
    s.operator1 = KassTip->BedName1->Text();
    s.operator2 = KassTip->BedName2->Text();
    for (int i = 0; i < 6; ++i)
        s.rates[static_cast<size_t>(i)] = KassTip->RatePanel(i + 1)->Caption();
    s.exklSteuer = FormUStS->exSteuerBox->Checked();
    s.cash = KassBox->Checked();
    s.skinEnabled = SkinSel->SkinCheckBox->Checked();
    s.skinName = InitForm->sSkinManager1->SkinName();
    s.cardMonitor = CardMonBox->Checked();
    s.funcMonitor = FuncMonBox->Checked();
    s.timePanel = ZeitCheckBox->Checked();
    WriteStartIni(StartIniPath(), s);
}

void TMainF::FormShow(TObject*) { FitClockPanel(); }

void TMainF::FitClockPanel()
{
    if (ZeitCheckBox->Checked()) {
        ZeitBox->Show();
        SetHeight(ZeitBox->Top() + ZeitBox->Height() + 60);
    } else {
        ZeitBox->Hide();
        SetHeight(ZeitBox->Top() + 50);
    }
}

void TMainF::FormClose(TObject*, TCloseAction&)
{
    closing_ = true;
    if (InitForm) InitForm->Hide();
    WriteStartSettings();
    Application->Terminate();
}

void TMainF::ShowCardError(int error)
{
    // The window waits for the user: what a mass run holds back shows first.
    if (KassTip) KassTip->ShowCollected();
    if (CardErrForm && !CardErrForm->Visible()) CardErrForm->ShowError(error);
}

void TMainF::Timer1Timer(TObject* Sender)
{
    Timer1->SetEnabled(false);
    if (Sender == Timer1) {
        try {
            if (START_CARD() != 0) {
                cardAccepted_ = false;
                ShowCardError(0);
            } else if (UCard::SelectCardApplication()) {
                cardAccepted_ = true;
            } else {
                ShowCardError(0);
            }
        } catch (const std::exception&) {
            cardAccepted_ = false;
            ShowCardError(0);
        }
    } else {
        cardAccepted_ = true;
    }
    if (!cardAccepted_ || Application->Terminated()) return;

    if (!UCard::ReadCardStatus()) {
        cardAccepted_ = false;
        ShowCardError(0);
        return;
    }
    if (!IsCardVersionAccepted(UCard::Status().version, acceptedVersions_)) {
        cardAccepted_ = false;
        ShowCardError(10);
        return;
    }
    UXML_Export::ResetJournal();
    if (UCard::Status().state == "02") {
        PINForm->ShowModal();
        if (Application->Terminated()) return;
    }
    UCard::ReadCertificate();
    InitForm->ProgBarTimer->SetEnabled(false);
    InitForm->Hide();
    FunkMonForm->SetVisible(FuncMonBox->Checked());
}

void TMainF::OnCardInserted()
{
    if (cardAccepted_) return;
    cardAccepted_ = true;
    Timer1Timer(nullptr);
}

void TMainF::OnCardRemoved() { ShowCardError(0); }

void TMainF::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_CARD_INSERTED:
        m.Result = 0;
        return OnCardInserted();
    case WM_CARD_REMOVED:
        m.Result = 0;
        return OnCardRemoved();
    default:
        TForm::WndProc(m);
    }
}

void TMainF::TimerSyncTimer(TObject*)
{
    UAppClock::TAppClock& clock = UAppClock::AppClock();
    TimeLabel->SetCaption(TimeToStr(Now()));
    DateLabel->SetCaption(DateToStr(Date()));
    clock.Tick();
    if (clock.Mode() == UAppClock::TClockMode::Gleich || clock.Mode() == UAppClock::TClockMode::Synchron) {
        TimePicker->SetTime(clock.PickerTime());
        DatePicker->SetDate(clock.PickerDate());
    }
    KassTip->ShowClock(TimePicker->Time(), DatePicker->Date());
}

void TMainF::SetTime(TObject*)
{
    UAppClock::TAppClock& clock = UAppClock::AppClock();
    clock.SetPickerDate(DatePicker->Date());
    clock.SetPickerTime(TimePicker->Time());
    const UAppClock::TClockMode mode = SetButton->Checked()    ? UAppClock::TClockMode::Stellen
                                       : SynButton->Checked()  ? UAppClock::TClockMode::Synchron
                                       : StatButton->Checked() ? UAppClock::TClockMode::Statisch
                                                               : UAppClock::TClockMode::Gleich;
    clock.SetTime(mode);
    TimePicker->SetEnabled(clock.PickersEnabled());
    DatePicker->SetEnabled(clock.PickersEnabled());
}

void TMainF::KassBoxClick(TObject*)
{
    if (KassTip) KassTip->SetVisible(KassBox->Checked());
}

void TMainF::FuncMonBoxClick(TObject*)
{
    if (FunkMonForm) FunkMonForm->SetVisible(FuncMonBox->Checked());
}

void TMainF::CardMonBoxClick(TObject*) { SET_DEBUGWINDOW(1, CardMonBox->Checked() ? 1 : 0); }

void TMainF::ZeitCheckBoxClick(TObject*) { FitClockPanel(); }

void TMainF::Deutsch1Click(TObject*) { SetLanguage(this, "Deutsch"); }
void TMainF::English1Click(TObject*) { SetLanguage(this, "English"); }
void TMainF::Francais1Click(TObject*) { SetLanguage(this, "Francais"); }
void TMainF::Polnisch1Click(TObject*) { SetLanguage(this, "Polish"); }

void TMainF::Skins1Click(TObject*) { SkinSel->Show(); }

void TMainF::Beenden1Click(TObject*) { Close(); }

void TMainF::QSMdeaktClick(TObject*) { UCard::DeactivateQsm(); }

void TMainF::StatusButtonClick(TObject*)
{
    if (!KassTip) return;
    // A failed read leaves the old texts: they are not shown as the card's current status.
    if (UCard::ReadCardStatus()) KassTip->ShowCardStatus();
    else KassTip->ShowCardStatusFailure();
    KassTip->NewReceiptPending = true;
}

void TMainF::QSMchangeClick(TObject*) {}

void TMainF::Scanner1Click(TObject*)
{
    ScanForm->SetBounds(KassTip->Left() + KassTip->Width() + 50, KassTip->Top() + KassTip->Height() / 2,
                        ScanForm->Width(), ScanForm->Height());
    ScanForm->ArmScan();
    ScanForm->Show();
}

void TMainF::Debug1Click(TObject*) { DebugForm->Show(); }

void TMainF::MassTransact1Click(TObject*) { MassTransForm->Show(); }
