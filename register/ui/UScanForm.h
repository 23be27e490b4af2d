// The scan window "Scanner": a testing aid that imitates a customer's scanner. The main window's
// "Scanner" menu places it beside the register window, arms it (ArmScan) and shows it. While it
// is shown, Timer1 (25 ms) copies the screen around the mouse pointer into the view Image1,
// twice magnified, with a cross on the pointer; BlinkTimer (300 ms) blinks the red square Shape1
// behind the view while a read is awaited. The register window's QR picture (TQRImage) calls
// CompleteScan when the pointer moves over its middle third: the square turns green, the memo
// shows the receipt's verification link (UQR::GetVerifyUrl) and, with "Webserver" chosen, the
// link is opened in the web browser; "nur Inhalt" only shows it. "Reset" arms the window again.
//
//   ScanForm->ArmScan();
//   ScanForm->Show();
//   ...                          // pointer over the middle of the receipt's QR picture
//   ScanForm->Memo1->Text();     // "https://..." (the link), Shape1 green, ResetButton shown
#pragma once

#include <string>

#include "gui/Forms.h"

class TImage;
class TShape;
class TMemo;
class TGroupBox;
class TRadioButton;
class TTimer;
class TsButton;

class TScanForm : public TForm {
    GUI_CLASS(TScanForm, TForm)
    explicit TScanForm(TComponent* owner) : TForm(owner) {}
    ~TScanForm() override;

    TImage* Image1 = nullptr;
    TShape* Shape1 = nullptr;
    TMemo* Memo1 = nullptr;
    TGroupBox* VerifyBox = nullptr;
    TRadioButton* WebButton = nullptr;
    TRadioButton* ContentButton = nullptr;
    TRadioButton* IvmButton = nullptr;
    TsButton* ResetButton = nullptr;
    TTimer* Timer1 = nullptr;
    TTimer* BlinkTimer = nullptr;

    // Waits for a read: the instruction in the memo, the square red and blinking, the view
    // following the pointer, "Reset" hidden.
    void ArmScan();
    // The read, only while armed: the window takes the focus, the square green and steady, a
    // beep, the link in the memo and (with "Webserver", for a link that is not empty) opened in
    // the browser; a browser that cannot be started gives "Internetseite konnte nicht geöffnet
    // werden!". "Reset" shown; the view keeps following the pointer.
    void CompleteScan();
    bool Armed() const { return armed_ != 0; }

    // The screen area the view shows for a pointer position: half the view's size (so twice
    // magnified), centred on the pointer (half sizes rounded) and shifted to lie wholly within
    // `screen`. The cross goes at twice the pointer's offset in it, that is on the pointer.
    static RECT ViewArea(POINT pointer, int viewWidth, int viewHeight, const RECT& screen);

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Timer1Timer(TObject* Sender);
    void BlinkTimerTimer(TObject* Sender);
    void ResetButtonClick(TObject* Sender);

protected:
    const TFormBindings& Bindings() const override;

private:
    void SetSquareColor(TColor color);
    unsigned char armed_ = 0;
};

extern TScanForm* ScanForm;
