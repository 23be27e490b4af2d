#include "register/ui/UFunkMon.h"

#include <windows.h>
#include <commdlg.h>

#include "common/UTimeShares.h"
#include "gui/Menus.h"
#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"
#include "register/core/UFuncMon.h"
#include "register/core/URegisterCore.h"

TFunkMonForm* FunkMonForm = nullptr;

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
    if (UTimeShares::On()) {
        // A benchmark counts the window's painting with the monitor's share.
        Mon->HookWindowProc([](TMessage& m, const TWndMethod& inherited) {
            UTimeShares::TTimeShare share(UTimeShares::RegisterMonitor);
            inherited(m);
        });
    }
    Mon->SetText(UFuncMon::MonitorLog().Text());
    UFuncMon::SetMonitorListener([this](std::string_view added, bool cleared) {
        UTimeShares::TTimeShare share(UTimeShares::RegisterMonitor);
        if (cleared) Mon->SetText("");
        else Mon->Append(std::string(added));
    });
    listening_ = true;
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
