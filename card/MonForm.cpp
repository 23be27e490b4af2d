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
    // The log keeps no undo records: each one costs the rich edit several times the edit itself.
    Mess->SetUndoLimit(0);
    if (UTimeShares::On()) {
        // A benchmark counts the window's painting with the monitor's share.
        Mess->HookWindowProc([](TMessage& m, const TWndMethod& inherited) {
            UTimeShares::TTimeShare share(UTimeShares::CardMonitor);
            inherited(m);
        });
    }
    // Whatever reads, paints or changes the window (another program too) finds what it would
    // hold; the log's own reads (the trim) count what is held.
    Mess->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) {
        if (held_ && !inLog_ && TCustomMemo::ShowsOrChangesText(m.Msg)) Mess->ApplyCollected();
        inherited(m);
    });
    TNotifyEvent shown = OnShow;
    OnShow = [this, shown](TObject* sender) {
        EndHold();
        if (shown) shown(sender);
    };
    holdTimer_ = new TTimer(this);
    holdTimer_->SetEnabled(false);
    holdTimer_->SetInterval(static_cast<unsigned>(ShowInterval));
    holdTimer_->OnTimer = [this](TObject* sender) { HoldTimerTimer(sender); };
}

void TMonForm::FormDestroy(TObject*) { logging_ = false; }

void TMonForm::Hold()
{
    if (held_) return;
    held_ = true;
    Mess->Lines().BeginUpdate();
}

void TMonForm::EndHold()
{
    holdTimer_->SetEnabled(false);
    if (!held_) return;
    held_ = false;
    UTimeShares::TTimeShare share(UTimeShares::CardMonitor);
    Mess->Lines().EndUpdate();
    lastShown_ = GetTickCount64();
}

void TMonForm::HoldTimerTimer(TObject*)
{
    // A window hidden meanwhile goes on holding until it is shown.
    if (Visible()) EndHold();
    else holdTimer_->SetEnabled(false);
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
    if (!Visible()) Hold();
    struct TLogging {
        bool& on;
        explicit TLogging(bool& b) : on(b) { on = true; }
        ~TLogging() { on = false; }
    } inLog(inLog_);
    TrimLongLog();
    Mess->AppendLine(text.empty() ? std::string(" ") : text, colour);
    Mess->ScrollToCaret();
    // A line outside any export (a card taken out) shows at once.
    if (held_ && batches_ == 0 && Visible()) EndHold();
}

void TMonForm::AddLine(const std::string& text)
{
    if (logging_) Log(text, Mess->Font().Color());
}

void TMonForm::AddColoredLine(const std::string& text, int colour)
{
    if (logging_) Log(text, static_cast<TColor>(colour));
}

void TMonForm::BeginBatch()
{
    ++batches_;
    Mess->Lines().BeginUpdate();
}

void TMonForm::EndBatch()
{
    UTimeShares::TTimeShare share(UTimeShares::CardMonitor);
    if (batches_ > 0 && --batches_ == 0 && !held_ && Visible()) {
        if (GetTickCount64() - lastShown_ < ShowInterval) {
            Hold();
            holdTimer_->SetEnabled(true);
        } else {
            lastShown_ = GetTickCount64();
        }
    }
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
