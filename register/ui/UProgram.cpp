#include "register/ui/UProgram.h"

#include "gui/Forms.h"
#include "register/core/UXML_Export.h"
#include "register/core/UXML_Import.h"
#include "register/ui/UCardErrForm.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UForm2.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UFunkMon.h"
#include "register/ui/UInitForm.h"
#include "register/ui/UKassTip.h"
#include "register/ui/UMassTrans.h"
#include "register/ui/UPINForm.h"
#include "register/ui/UScanForm.h"
#include "register/ui/USkinSel.h"
#include "skin/controls/sStart.h"
#include "skin/windows/sStart.h"

void AddProgramModules(TModuleOrder& modules, std::unique_ptr<TRegisterCore>& core, std::function<void()> loadProducts)
{
    AddSkinModules(modules); // the engine, glows, dialog hook, adapters, utilities, menus, provider
    modules.Add("sSkinControls", SkinControlsStart, nullptr);
    modules.Add(
        "URegisterCore", [&core] { core = std::make_unique<TRegisterCore>(); }, [&core] { core.reset(); });
    modules.Add("UXML_Import", std::move(loadProducts), UXML_Import::CloseXmlFile);
    modules.Add("UXML_Export", nullptr, UXML_Export::CloseJournal);
}

void CreateProgramForms()
{
    Application->CreateForm(InitForm);
    Application->CreateForm(SkinSel);
    Application->CreateForm(MassTransForm);
    Application->CreateForm(Form2);
    Application->CreateForm(ScanForm);
    Application->CreateForm(DebugForm);
    Application->CreateForm(PINForm);
    Application->CreateForm(FormUStS);
    Application->CreateForm(CardErrForm);
    Application->CreateForm(FunkMonForm);
    Application->CreateForm(KassTip);
}
