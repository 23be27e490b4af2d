// The register monitor window "Kasse-Monitor": shows the core's log (UFuncMon), saves it to
// a text file and clears it. It needs the program's core while it exists.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "gui/Forms.h"

class TRichEdit;
class TMenuItem;
class TTimer;

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
    // anything reads it, or when the next line comes while it shows. A shown window holds the
    // parts of a mass run the same way (each line it takes costs a rich edit's layout, and
    // lines trimmed before it paints need not reach it) until it paints, anything reads or
    // changes it, its timer comes or the run ends. It then loses what it lost meanwhile from
    // its start and takes what is new as one append, or, when nothing of it stays, the text.
    void Hold(std::string_view added, bool cleared);
    void ShowHeld();
    bool listening_ = false;
    bool held_ = false;
    std::string heldText_;      // the text before the last append
    std::string heldLast_;      // the last append
    std::size_t windowCut_ = 0; // bytes of the window's text that go from its start
    std::size_t windowLeft_ = 0; // what is left of them at the start of heldText_
    bool windowGone_ = false;   // nothing of the window's text stays
    TTimer* holdTimer_ = nullptr;
};

extern TFunkMonForm* FunkMonForm;
