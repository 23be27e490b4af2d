#include "card/MonForm.h"

#include "card/ULogColours.h"
#include "common/UTimeShares.h"

namespace {

constexpr int kTrimAbove = 32000;
constexpr int kTrimLines = 11;

} // namespace

const TFormBindings& TMonForm::Bindings() const
{
    static const TFormBindings bindings = {
        {"Mess", &TMonForm::Mess},
        {"MainMenu1", &TMonForm::MainMenu1},
        {"ClearMess", &TMonForm::ClearMess},
        {"prellTimer", &TMonForm::prellTimer},
        {"FormCreate", &TMonForm::FormCreate},
        {"FormDestroy", &TMonForm::FormDestroy},
        {"ClearMessClick", &TMonForm::ClearMessClick},
        {"prellTimerTimer", &TMonForm::prellTimerTimer},
    };
    return bindings;
}

void TMonForm::FormCreate(TObject*)
{
    // The window starts hidden, so logging starts off.
    logging_ = Visible();
    if (UTimeShares::On()) {
        // A benchmark counts the window's painting with the monitor's share.
        Mess->HookWindowProc([](TMessage& m, const TWndMethod& inherited) {
            UTimeShares::TTimeShare share(UTimeShares::CardMonitor);
            inherited(m);
        });
    }
    // Whatever reads the window (another program too) reads what it would hold; the log's own
    // reads (the trim) count what is held.
    Mess->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) {
        if (hiddenHold_ && !inLog_ && TCustomMemo::ReadsText(m.Msg)) Mess->ApplyCollected();
        inherited(m);
    });
    TNotifyEvent shown = OnShow;
    OnShow = [this, shown](TObject* sender) {
        EndHiddenHold();
        if (shown) shown(sender);
    };
}

void TMonForm::FormDestroy(TObject*) { logging_ = false; }

void TMonForm::HoldWhileHidden()
{
    if (hiddenHold_ || Visible()) return;
    hiddenHold_ = true;
    Mess->Lines().BeginUpdate();
}

void TMonForm::EndHiddenHold()
{
    if (!hiddenHold_) return;
    hiddenHold_ = false;
    UTimeShares::TTimeShare share(UTimeShares::CardMonitor);
    Mess->Lines().EndUpdate();
}

void TMonForm::ClearMessClick(TObject*) { ClearLog(); }

std::string TMonForm::LogText() { return Mess->Text(); }

void TMonForm::DeleteOldestLines(int count)
{
    // Log lines, not display lines: a long line wraps on screen but goes as one.
    const std::string text = LogText();
    std::size_t i = 0;
    for (int deleted = 0; deleted < count && i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++deleted;
        }
    }
    Mess->ReplaceBytes(0, i, "");
}

void TMonForm::TrimLongLog()
{
    // The length of the text as it is read out, each line end counting CR LF.
    if (Mess->GetTextLen() > kTrimAbove) DeleteOldestLines(kTrimLines);
}

void TMonForm::Log(const std::string& text, TColor colour)
{
    UTimeShares::TTimeShare share(UTimeShares::CardMonitor);
    HoldWhileHidden();
    struct TLogging {
        bool& on;
        explicit TLogging(bool& b) : on(b) { on = true; }
        ~TLogging() { on = false; }
    } inLog(inLog_);
    TrimLongLog();
    Mess->AppendLine(text.empty() ? std::string(" ") : text, colour);
    Mess->ScrollToCaret();
}

void TMonForm::AddLine(const std::string& text)
{
    if (logging_) Log(text, Mess->Font().Color());
}

void TMonForm::AddColoredLine(const std::string& text, int colour)
{
    if (logging_) Log(text, static_cast<TColor>(colour));
}

void TMonForm::BeginBatch() { Mess->Lines().BeginUpdate(); }

void TMonForm::EndBatch()
{
    UTimeShares::TTimeShare share(UTimeShares::CardMonitor);
    Mess->Lines().EndUpdate();
}

void TMonForm::ClearLog() { Mess->SetText(""); }

void TMonForm::SendToHost(UINT msg)
{
    if (HWND host = HostWindow ? HostWindow() : nullptr) SendMessageA(host, msg, 0, 0);
}

void TMonForm::pcsc2CardInserted(TPCSCConnector* sender)
{
    if (prellTimer->Enabled()) return;
    prellTimer->SetEnabled(true);
    if (sender) {
        AddColoredLine("Karte gesteckt", clLogMaroon);
        if (StartCard) StartCard();
    }
}

void TMonForm::prellTimerTimer(TObject*)
{
    prellTimer->SetEnabled(false);
    SendToHost(WM_CARD_INSERTED);
}

void TMonForm::pcsc2CardRemoved(TPCSCConnector*)
{
    AddColoredLine("Karte gezogen", clLogMaroon);
    SendToHost(WM_CARD_REMOVED);
    // The card reset that follows a removal does nothing.
}
