// The register monitor window "Kasse-Monitor": shows the core's log (UFuncMon), saves it to
// a text file and clears it. It needs the program's core while it exists.
#pragma once

#include "gui/Forms.h"

class TRichEdit;
class TMenuItem;

class TFunkMonForm : public TForm {
    GUI_CLASS(TFunkMonForm, TForm)
    explicit TFunkMonForm(TComponent* owner);
    ~TFunkMonForm() override;
    // The log stops telling the window before the window goes.
    void BeforeDestruction() override;

    TRichEdit* Mon = nullptr;
    TMenuItem* Save1 = nullptr;
    TMenuItem* Clear1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Save1Click(TObject* Sender);
    void Clear1Click(TObject* Sender);
    // Saves the log under a name (what "Speichern" does once the dialog is confirmed).
    void SaveLog(const std::string& fileName);

    // Called when the window is closed, so the main window can untick its switch.
    TNotifyEvent OnMonitorClosed;

protected:
    const TFormBindings& Bindings() const override;

private:
    void StopListening();
    bool listening_ = false;
};

extern TFunkMonForm* FunkMonForm;
