// TMonForm: the card library's "Cardmonitor" window. Every exchange with the card and every
// step of the card operations is written into it as a coloured log line. It also receives the
// reader's insertion and removal events, debounces the insertion and tells the host window.
// It knows nothing of the card module: the module gives it the card start and the host
// window through the two hooks below.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"

class TPCSCConnector;

// Sent to the host window: a card was inserted (after the debounce) or removed.
constexpr UINT WM_CARD_INSERTED = 0x401;
constexpr UINT WM_CARD_REMOVED = 0x402;

class TMonForm : public TForm {
    GUI_CLASS(TMonForm, TForm)
    using TForm::TForm;

    TRichEdit* Mess = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* ClearMess = nullptr;
    TTimer* prellTimer = nullptr;

    // Set by the card module: the card start run after a real insertion, and the window that
    // receives the card messages (nullptr: none).
    std::function<void()> StartCard;
    std::function<HWND()> HostWindow;

    void SetLogging(bool on) { logging_ = on; }
    bool Logging() const { return logging_; }
    // Appends one line in the window's text colour (only while logging); an empty text becomes
    // one blank. A log past 32000 characters first loses its 11 oldest lines.
    void AddLine(const std::string& text);
    // Appends one line in the given colour (0x00BBGGRR); the colour ends with the line. The
    // trim of a long log comes first, so the new line keeps its colour.
    void AddColoredLine(const std::string& text, int colour);
    void ClearLog();
    // The log's text, lines collected by a batch included.
    std::string LogText();
    // Between BeginBatch and the last EndBatch (one export of the library) the lines are
    // collected and shown at that EndBatch, as one edit of the window; the text, the colours,
    // the trims and the scroll position come out as if each line had been shown at once.
    // Exports that follow each other within ShowInterval of the last edit (a mass run) are
    // held together and shown when the window paints or is read, or at the latest when the
    // hold's timer comes with the waiting messages.
    void BeginBatch();
    void EndBatch();
    static constexpr ULONGLONG ShowInterval = 100; // ms

    // Card events of the connector.
    void pcsc2CardInserted(TPCSCConnector* sender);
    void pcsc2CardRemoved(TPCSCConnector* sender);

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void ClearMessClick(TObject* Sender);
    void prellTimerTimer(TObject* Sender);

protected:
    const TFormBindings& Bindings() const override;

private:
    void TrimLongLog();
    void DeleteOldestLines(int count);
    void Log(const std::string& text, TColor colour);
    void SendToHost(UINT msg);
    // While the window is hidden its lines and trims are collected (an edit of a hidden rich
    // edit still costs milliseconds) and shown as one edit when it is shown; anything that
    // reads the window meanwhile sees them first. A shown window holds them the same way
    // between exports in quick succession, until its timer, its painting or anything that
    // reads or changes it.
    void Hold();
    void EndHold();
    void HoldTimerTimer(TObject* sender);

    bool logging_ = false;
    bool held_ = false;
    bool inLog_ = false;
    int batches_ = 0;
    ULONGLONG lastShown_ = 0;
    TTimer* holdTimer_ = nullptr;
};
