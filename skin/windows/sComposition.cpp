#include "skin/windows/sComposition.h"

#include <windows.h>

#include "gui/base/Handles.h"

namespace {

bool WindowsSixOrLater() { return LOBYTE(LOWORD(GetVersion())) >= 6; }

template <class T> T EntryPoint(HMODULE module, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

TDwmIsCompositionEnabledProc& DwmIsCompositionEnabledProc()
{
    static TDwmIsCompositionEnabledProc proc = nullptr;
    return proc;
}

TDwmSetWindowAttributeProc& DwmSetWindowAttributeProc()
{
    static TDwmSetWindowAttributeProc proc = nullptr;
    return proc;
}

void BindDwmEntryPoints()
{
    static TLibraryHandle dwmapi;
    static bool bound = false;
    if (bound || !WindowsSixOrLater()) return;
    bound = true;
    dwmapi.reset(LoadLibraryA("DWMAPI.DLL"));
    if (!dwmapi) return;
    DwmIsCompositionEnabledProc() = EntryPoint<TDwmIsCompositionEnabledProc>(dwmapi.get(), "DwmIsCompositionEnabled");
    DwmSetWindowAttributeProc() = EntryPoint<TDwmSetWindowAttributeProc>(dwmapi.get(), "DwmSetWindowAttribute");
}

bool DwmCompositionEnabled()
{
    if (!WindowsSixOrLater()) return false;
    BindDwmEntryPoints();
    BOOL on = FALSE;
    return DwmIsCompositionEnabledProc() && DwmIsCompositionEnabledProc()(&on) == S_OK && on;
}

HRESULT SetDwmAttribute(HWND wnd, DWORD attribute, const void* data, DWORD size)
{
    if (!WindowsSixOrLater()) return E_NOTIMPL;
    BindDwmEntryPoints();
    return DwmSetWindowAttributeProc() ? DwmSetWindowAttributeProc()(wnd, attribute, data, size) : E_NOTIMPL;
}

void DisableDwmTransitions(HWND wnd, bool disable)
{
    if (!DwmCompositionEnabled()) return;
    const DWORD value = disable ? 1 : 0;
    SetDwmAttribute(wnd, 3 /* DWMWA_TRANSITIONS_FORCEDISABLED */, &value, sizeof value);
}
