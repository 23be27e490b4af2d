#include "card/MonForm.h"

#include <richedit.h>

#include "card/ULogColours.h"

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
}

void TMonForm::FormDestroy(TObject*) { logging_ = false; }

void TMonForm::ClearMessClick(TObject*) { ClearLog(); }

void TMonForm::CaretToEnd()
{
    CHARRANGE end{-1, -1};
    SendMessageA(Mess->Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

std::string TMonForm::LogText() { return Mess->Text(); }

void TMonForm::DeleteOldestLines(int count)
{
    // Log lines, not display lines: a long line wraps on screen but goes as one.
    const std::string text = LogText();
    LONG position = 0; // in the rich edit, a line end counts as one character
    std::size_t i = 0;
    for (int deleted = 0; deleted < count && i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++deleted;
        }
        ++position;
    }
    CHARRANGE cr{0, position};
    SendMessageA(Mess->Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    SendMessageA(Mess->Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

void TMonForm::TrimLongLog()
{
    // The length of the text as it is read out, each line end counting CR LF.
    if (SendMessageA(Mess->Handle(), WM_GETTEXTLENGTH, 0, 0) > kTrimAbove) DeleteOldestLines(kTrimLines);
}

void TMonForm::AppendAtCaret(const std::string& text)
{
    const std::string line = text.empty() ? std::string(" ") : text;
    const std::string appended = (Mess->TextLength() > 0 ? "\r\n" : "") + line;
    SendMessageA(Mess->Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(appended.c_str()));
    Mess->ScrollToCaret();
    Mess->Invalidate();
}

void TMonForm::AddLine(const std::string& text)
{
    if (!logging_) return;
    TrimLongLog();
    CaretToEnd();
    AppendAtCaret(text);
}

void TMonForm::AddColoredLine(const std::string& text, int colour)
{
    if (!logging_) return;
    TrimLongLog();
    CaretToEnd();
    Mess->SetSelColor(static_cast<TColor>(colour));
    AppendAtCaret(text);
    CaretToEnd();
    Mess->SetSelColor(Mess->Font().Color());
    Mess->Invalidate();
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
