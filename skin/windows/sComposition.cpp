#include "skin/windows/sComposition.h"

#include <windows.h>

#include "gui/base/Handles.h"

namespace {

using TDwmIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);

TDwmIsCompositionEnabled CompositionQuery()
{
    static TLibraryHandle dwmapi;
    static TDwmIsCompositionEnabled query = nullptr;
    static bool bound = false;
    if (!bound) {
        bound = true;
        dwmapi.reset(LoadLibraryA("DWMAPI.DLL"));
        if (dwmapi)
            query = reinterpret_cast<TDwmIsCompositionEnabled>(
                reinterpret_cast<void*>(GetProcAddress(dwmapi.get(), "DwmIsCompositionEnabled")));
    }
    return query;
}

} // namespace

bool DwmCompositionEnabled()
{
    if (LOBYTE(LOWORD(GetVersion())) < 6) return false;
    TDwmIsCompositionEnabled query = CompositionQuery();
    BOOL on = FALSE;
    return query && query(&on) == S_OK && on;
}
