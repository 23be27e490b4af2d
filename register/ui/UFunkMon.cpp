#include "register/ui/UFunkMon.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "common/UTimeShares.h"
#include "gui/Menus.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "register/core/UFuncMon.h"
#include "register/core/URegisterCore.h"

TFunkMonForm* FunkMonForm = nullptr;

namespace {

// The window shows the newest part of the log: once its text grows above ShownAbove bytes, the
// oldest lines go until at most ShownAfterTrim bytes are left. A rich edit's every edit costs
// in proportion to the lines it holds, so a long run would slow down with every line kept on
// screen. The log itself (what "Speichern" writes) stays whole.
constexpr std::size_t ShownAbove = 64 * 1024;
constexpr std::size_t ShownAfterTrim = 48 * 1024;

// Where the shown part of a text begins: the first line start that leaves at most
// ShownAfterTrim bytes; 0 for a text of at most ShownAbove bytes.
std::size_t ShownFrom(const std::string& text)
{
    if (text.size() <= ShownAbove) return 0;
    const std::size_t lineEnd = text.find('\n', text.size() - ShownAfterTrim - 1);
    return lineEnd == std::string::npos ? 0 : lineEnd + 1;
}

// A text as a rich edit gives it back: every line break (CR LF, a lone CR or LF) as CR LF.
std::string AsShown(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            shown += "\r\n";
        } else {
            shown += text[i];
        }
    }
    return shown;
}

} // namespace

TFunkMonForm::TFunkMonForm(TComponent* owner) : TForm(owner) {}

TFunkMonForm::~TFunkMonForm()
{
    StopListening();
    if (FunkMonForm == this) FunkMonForm = nullptr;
}

void TFunkMonForm::BeforeDestruction()
{
    StopListening();
    TForm::BeforeDestruction();
}

void TFunkMonForm::StopListening()
{
    if (TRegisterCore* core = TRegisterCore::Current(); core && listening_) core->SetMonitorListener(nullptr);
    listening_ = false;
}

const TFormBindings& TFunkMonForm::Bindings() const
{
    static const TFormBindings b = {
        {"Mon", &TFunkMonForm::Mon},
        {"Save1", &TFunkMonForm::Save1},
        {"Clear1", &TFunkMonForm::Clear1},
        {"FormCreate", &TFunkMonForm::FormCreate},
        {"FormClose", &TFunkMonForm::FormClose},
        {"Save1Click", &TFunkMonForm::Save1Click},
        {"Clear1Click", &TFunkMonForm::Clear1Click},
    };
    return b;
}

void TFunkMonForm::FormCreate(TObject*)
{
    // Read-only: nothing to undo, and the log's every edit is cheaper without undo records.
    Mon->SetUndoLimit(0);
    if (UTimeShares::On()) {
        // A benchmark counts the window's painting with the monitor's share.
        Mon->HookWindowProc([](TMessage& m, const TWndMethod& inherited) {
            UTimeShares::TTimeShare share(UTimeShares::RegisterMonitor);
            inherited(m);
        });
    }
    const std::string& log = UFuncMon::MonitorLog().Text();
    Mon->SetText(log.substr(ShownFrom(log)));
    // Whatever reads, paints or changes the window (another program too) finds what it would
    // hold.
    Mon->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) {
        if (held_ && TCustomMemo::ShowsOrChangesText(m.Msg)) ShowHeld();
        inherited(m);
    });
    TNotifyEvent shown = OnShow;
    OnShow = [this, shown](TObject* sender) {
        ShowHeld();
        if (shown) shown(sender);
    };
    holdTimer_ = new TTimer(this);
    holdTimer_->SetEnabled(false);
    holdTimer_->SetInterval(100);
    holdTimer_->OnTimer = [this](TObject*) {
        holdTimer_->SetEnabled(false);
        if (Visible()) ShowHeld();
    };
    UFuncMon::SetMonitorListener([this](std::string_view added, bool cleared) {
        UTimeShares::TTimeShare share(UTimeShares::RegisterMonitor);
        if (!Visible() || UFuncMon::Batching()) {
            Hold(added, cleared);
            if (Visible()) holdTimer_->SetEnabled(true);
            return;
        }
        ShowHeld();
        if (cleared) {
            Mon->SetText("");
            return;
        }
        // Trimmed before the append, so that the caret and the view end behind the new text.
        if (static_cast<std::size_t>(Mon->GetTextLen()) > ShownAbove) {
            const std::string shown = Mon->Text();
            if (const std::size_t from = ShownFrom(shown)) Mon->ReplaceBytes(0, from, "");
        }
        Mon->Append(std::string(added));
    });
    listening_ = true;
}

void TFunkMonForm::Hold(std::string_view added, bool cleared)
{
    // The same steps as on the window, on its text: the trim before the append.
    if (!held_) {
        heldText_ = Mon->Text();
        windowCut_ = 0;
        windowLeft_ = heldText_.size();
        windowGone_ = false;
    }
    held_ = true;
    heldText_ += heldLast_;
    heldLast_.clear();
    if (cleared) {
        heldText_.clear();
        windowGone_ = true;
        return;
    }
    if (heldText_.size() > ShownAbove) {
        const std::size_t from = ShownFrom(heldText_);
        heldText_.erase(0, from);
        if (from > windowLeft_) windowGone_ = true;
        windowCut_ += from;
        windowLeft_ -= std::min(from, windowLeft_);
    }
    heldLast_ = AsShown(added);
}

void TFunkMonForm::ShowHeld()
{
    if (!held_) return;
    held_ = false;
    holdTimer_->SetEnabled(false);
    // The last append made as the window would have made it, so that the caret and the view
    // end where they would have.
    if (windowGone_) {
        Mon->SetText(heldText_);
        if (!heldLast_.empty()) Mon->Append(heldLast_);
    } else {
        if (windowCut_) Mon->ReplaceBytes(0, windowCut_, "");
        const std::string added = heldText_.substr(windowLeft_) + heldLast_;
        if (!added.empty()) Mon->Append(added);
    }
    heldText_.clear();
    heldLast_.clear();
}

void TFunkMonForm::FormClose(TObject*, TCloseAction& Action)
{
    // The log stays; only the window goes.
    Action = caHide;
    if (OnMonitorClosed) OnMonitorClosed(this);
}

void TFunkMonForm::Save1Click(TObject*)
{
    char name[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = "Text (*.txt)\0*.txt\0*.*\0*.*\0";
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetSaveFileNameA(&ofn)) SaveLog(name);
}

void TFunkMonForm::SaveLog(const std::string& fileName) { UFuncMon::MonitorLog().SaveToFile(fileName); }

void TFunkMonForm::Clear1Click(TObject*) { UFuncMon::ClearMonitor(); }
