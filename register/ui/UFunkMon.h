// The register monitor window "Kasse-Monitor": shows the core's log (UFuncMon), saves it to
// a text file and clears it. It needs the program's core while it exists.
#pragma once

#include <string>
#include <string_view>

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
    // While the window is hidden its text is kept here and the window is not edited (an edit
    // of a hidden rich edit still costs milliseconds); it takes the text when it is shown, when
    // anything reads it, or when the next line comes while it shows.
    void Hold(std::string_view added, bool cleared);
    void ShowHeld();
    bool listening_ = false;
    bool held_ = false;
    std::string heldText_; // the text before the last append
    std::string heldLast_; // the last append
};

extern TFunkMonForm* FunkMonForm;
