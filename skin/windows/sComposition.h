// Desktop composition: whether the window manager composes the desktop, asked of dwmapi, and
// the window attributes set through it. The two entry points are bound at run time, once per
// process, into the module pointers below (a missing library or entry point leaves them none:
// composition off, attribute calls E_NOTIMPL). Tests put fakes into the pointers:
//
//   DwmIsCompositionEnabledProc() = &FakeCompositionOn;   // BindDwmEntryPoints first
//   DwmSetWindowAttributeProc() = &RecordAttribute;
#pragma once

#include <windows.h>

using TDwmIsCompositionEnabledProc = HRESULT(WINAPI*)(BOOL* enabled);
using TDwmSetWindowAttributeProc = HRESULT(WINAPI*)(HWND wnd, DWORD attribute, LPCVOID data, DWORD size);

// Binds both entry points (nothing below Windows 6 and after the first call).
void BindDwmEntryPoints();
// The bound entry points (after BindDwmEntryPoints), none when missing.
TDwmIsCompositionEnabledProc& DwmIsCompositionEnabledProc();
TDwmSetWindowAttributeProc& DwmSetWindowAttributeProc();

// False below Windows 6; else DwmIsCompositionEnabled answers S_OK and composition on.
bool DwmCompositionEnabled();
// DwmSetWindowAttribute's answer, E_NOTIMPL without it (and below Windows 6).
HRESULT SetDwmAttribute(HWND wnd, DWORD attribute, const void* data, DWORD size);
// With composition on: the window's transitions (attribute 3) forced off (disable) or allowed
// again. Nothing without composition.
void DisableDwmTransitions(HWND wnd, bool disable);
