// The splash "Initialisierung": the first window made, so the application's main form; it
// owns the program's one skin manager. Its gauge climbs by 20 every 100 ms while the card
// start check runs; the check hides it, which brings up the main window and the register
// window in the language of start.ini.
#pragma once

#include "gui/Forms.h"

class TsLabel;
class TsGauge;
class TsButton;
class TRichEdit;
class TTimer;
class TsSkinManager;

class TInitForm : public TForm {
    GUI_CLASS(TInitForm, TForm)
    explicit TInitForm(TComponent* owner) : TForm(owner) {}
    ~TInitForm() override;

    TsLabel* Label1 = nullptr;
    TsGauge* InitBar = nullptr;
    TsButton* closeB = nullptr;
    TRichEdit* Warnung = nullptr;
    TTimer* ProgBarTimer = nullptr;
    TsSkinManager* sSkinManager1 = nullptr;

    // Skin folder "Skins\" beside the executable, gauge at 20, the window fitted to its label
    // and gauge.
    void FormCreate(TObject* Sender);
    // Applies the current language.
    void FormShow(TObject* Sender);
    // Shows the main window and the register window and applies the current language (not
    // when the main window is closing).
    void FormHide(TObject* Sender);
    // Takes the focus and moves the gauge on by 20; stops at the gauge's maximum.
    void ProgBarTimerTimer(TObject* Sender);
    void closeBClick(TObject* Sender);

protected:
    const TFormBindings& Bindings() const override;
};

extern TInitForm* InitForm;

// Sets the skin manager's skin name again to its current value, without the skin-change
// animation, when the manager is active; then the register window re-applies its training
// colour.
void ReapplySkin();
