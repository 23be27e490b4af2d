// Tillora's program block: the modules initialise in their fixed order, the windows are made in
// their fixed order, the message loop runs; at its end the application frees the windows (the
// last made first) and then the modules finalise in reverse order, so every window goes while
// the core it reports to still exists.
//
// Until the register's main window exists, a plain stand-in takes its place: it starts the card
// as the main window will (card monitor, host window, card start) and shows the register
// monitor.
#include <windows.h>

#include <memory>

#include "card/exports/QsmTool.h"
#include "gui/Forms.h"
#include "gui/base/Modules.h"
#include "register/core/URegisterCore.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UFunkMon.h"

namespace {

TDebugForm* DebugForm = nullptr;
TFunkMonForm* FunkMonForm = nullptr;

class TMainF : public TForm {
    GUI_CLASS(TMainF, TForm)
    explicit TMainF(TComponent* owner) : TForm(owner)
    {
        SetName("MainF");
        SetCaption("Tillora");
        SetBounds(100, 100, 640, 480);
        OnCreate = [this](TObject*) {
            FunkMonForm->Show();
            SET_DEBUGWINDOW(1, 1);
            SET_APPL_HANDLE(Handle());
            START_CARD();
        };
        OnDestroy = [](TObject*) { SET_APPL_HANDLE(nullptr); };
    }
};
TMainF* MainF = nullptr;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::unique_ptr<TRegisterCore> core;
    TModuleOrder modules;
    modules.Add(
        "URegisterCore", [&] { core = std::make_unique<TRegisterCore>(); }, [&] { core.reset(); });
    try {
        modules.Initialize();
        Application->CreateForm(DebugForm);
        Application->CreateForm(FunkMonForm);
        Application->CreateForm(MainF);
        Application->SetMainForm(MainF);
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
        Application->DestroyForms();
        modules.Finalize();
        return 1;
    }
    modules.Finalize();
    return 0;
}
