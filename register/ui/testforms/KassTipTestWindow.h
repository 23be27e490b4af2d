// The register window as the in-process tests make it: the German texts, a product file that
// is loaded as the current one, the debug and VAT windows it reads, and the window itself.
// Close() frees the windows and closes the product file.
#pragma once

#include <fstream>
#include <string>

#include "gui/Forms.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Import.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UKassTip.h"

namespace KassTipTestWindow {

// Writes the products (the items' XML) into the file, loads it and makes the windows.
inline TKassTip* Open(TRegisterCore& core, const std::string& productFile, const std::string& items)
{
    core.Languages().Load("Deutsch", ULang::TLangFile(TILLORA_SOURCE_DIR "/data/cfg/lang.ini"));
    std::ofstream(productFile, std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>" << items << "</itemList></vantra>";
    UXML_Import::LoadXmlFile(productFile);
    Application->CreateForm(DebugForm);
    Application->CreateForm(FormUStS);
    Application->CreateForm(KassTip);
    return KassTip;
}

inline void Close()
{
    Application->DestroyForms();
    UXML_Import::CloseXmlFile();
}

} // namespace KassTipTestWindow
