// The main window "VANTRA Tillora QSM 1.1": made last, it brings the register up. Its creation
// reads cfg\start.ini, hands the card library its window and monitor settings and starts the
// card; the card start check (message 1025 after the card library's insertion delay, or the
// one-shot 10 s timer) reads the card status, tests the card version against the accepted
// list, asks for the transport PIN of a card in state "02", reads the certificate and hides
// the splash, which shows this window. Message 1026 (card removed) and every failed check show
// the card error window, whose closing ends the program. Closing this window writes
// start.ini back and ends the program.
//
// It also carries the clock panel (the application clock of the core), the switches for the
// register window and the two monitors, the language menu and the menus that open the other
// windows.
#pragma once

#include <string>

#include "gui/Forms.h"

class TsButton;
class TsCheckBox;
class TGroupBox;
class TLabel;
class TRadioButton;
class TDateTimePicker;
class TTimer;
class TMainMenu;
class TMenuItem;

class TMainF : public TForm {
    GUI_CLASS(TMainF, TForm)
    explicit TMainF(TComponent* owner) : TForm(owner) {}
    ~TMainF() override;
    void BeforeDestruction() override;

    TsButton* StatusButton = nullptr;
    TsCheckBox* KassBox = nullptr;
    TsCheckBox* FuncMonBox = nullptr;
    TsCheckBox* CardMonBox = nullptr;
    TsCheckBox* ZeitCheckBox = nullptr;
    TGroupBox* ZeitBox = nullptr;
    TLabel* TimeLabel = nullptr;
    TLabel* DateLabel = nullptr;
    TDateTimePicker* TimePicker = nullptr;
    TDateTimePicker* DatePicker = nullptr;
    TRadioButton* GlButton = nullptr;
    TRadioButton* SynButton = nullptr;
    TRadioButton* StatButton = nullptr;
    TRadioButton* SetButton = nullptr;
    TTimer* Timer1 = nullptr;
    TTimer* TimerSync = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Francais1 = nullptr;
    TMenuItem* Test1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The card start check; Sender is Timer1, or none when message 1025 runs it.
    void Timer1Timer(TObject* Sender);
    void TimerSyncTimer(TObject* Sender);
    void SetTime(TObject* Sender);
    // Reads the card status and shows it (or the failure) as the register window's receipt.
    void StatusButtonClick(TObject* Sender);
    void KassBoxClick(TObject* Sender);
    void FuncMonBoxClick(TObject* Sender);
    void CardMonBoxClick(TObject* Sender);
    void ZeitCheckBoxClick(TObject* Sender);
    void Deutsch1Click(TObject* Sender);
    void English1Click(TObject* Sender);
    void Francais1Click(TObject* Sender);
    void Polnisch1Click(TObject* Sender);
    void Skins1Click(TObject* Sender);
    void Beenden1Click(TObject* Sender);
    void QSMdeaktClick(TObject* Sender);
    void QSMchangeClick(TObject* Sender);
    void Scanner1Click(TObject* Sender);
    void Debug1Click(TObject* Sender);
    void MassTransact1Click(TObject* Sender);

    // The accepted card versions from start.ini and whether a card start check runs or has
    // succeeded.
    const std::string& AcceptedVersions() const { return acceptedVersions_; }
    bool CardAccepted() const { return cardAccepted_; }
    // Set once the window is closing (the program ends).
    bool Closing() const { return closing_; }

protected:
    const TFormBindings& Bindings() const override;
    void WndProc(TMessage& m) override;

private:
    void ReadStartSettings();
    void WriteStartSettings();
    // Shows the card error window modally with the label it has (error 0) or with label
    // 130 + error.
    void ShowCardError(int error);
    void OnCardInserted();
    void OnCardRemoved();
    // The height rule of the clock panel.
    void FitClockPanel();

    std::string acceptedVersions_;
    bool cardAccepted_ = false;
    bool closing_ = false;
};

extern TMainF* MainF;
