// Tillora's program block: the modules start in their fixed order (the skin engine, window
// skinning's modules and the skinned controls, then the register core with its product list
// "Produkte\Standard.xml"); the windows are made in their fixed order, the splash first (it is
// the application's main form), the main window last; the message loop runs. At its end the
// application frees the windows (the last made first) and the modules end in reverse order,
// the journals closing with the core.
//
// The exit code is 0, or 1 when the card error window was closed other than by its button, or
// when a start or end step failed (its message is shown).
#include <windows.h>

#include <memory>

#include "gui/Forms.h"
#include "register/core/UXML_Import.h"
#include "register/ui/UCardErrForm.h"
#include "register/ui/UInitForm.h"
#include "register/ui/UMainF.h"
#include "register/ui/UProgram.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::unique_ptr<TRegisterCore> core;
    TModuleOrder modules;
    AddProgramModules(modules, core, UXML_Import::LoadStandardProductList);
    int exitCode = 0;
    try {
        modules.Initialize();
        CreateProgramForms();
        CardErrForm->OnEndProgram = [&exitCode](int code) {
            exitCode = code;
            if (MainF) MainF->Close();
            else Application->Terminate();
        };
        InitForm->SetFocus();
        Application->CreateForm(MainF);
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
        Application->DestroyForms();
        try {
            modules.Finalize();
        } catch (const std::exception&) {
        }
        return 1;
    }
    try {
        modules.Finalize();
    } catch (const std::exception& e) {
        // A journal that cannot be closed (a full disk): the user is told, the program ends.
        Application->ShowException(e);
        return 1;
    }
    return exitCode;
}
