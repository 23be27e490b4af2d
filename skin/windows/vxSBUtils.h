// The window adapters' module: the platform entry points the skinned scroll bars and the dialog
// hook need, looked up at run time by the module's start and tolerated when missing:
// GetScrollBarInfo of user32, InitializeFlatSB and UninitializeFlatSB of comctl32.
//
//   AdaptersStart();
//   if (UninitializeFlatSBProc) UninitializeFlatSBProc(dialog);   // skip the call when none
//   AdaptersEnd();                                                  // both libraries freed
#pragma once

#include <windows.h>

using TGetScrollBarInfoProc = BOOL(WINAPI*)(HWND wnd, LONG objectId, PSCROLLBARINFO info);
using TFlatSBProc = BOOL(WINAPI*)(HWND wnd);
using TUninitializeFlatSBProc = HRESULT(WINAPI*)(HWND wnd);

// None before the start, after the end, or when the library or the entry point is missing.
extern TGetScrollBarInfoProc GetScrollBarInfoProc;
extern TFlatSBProc InitializeFlatSBProc;
extern TUninitializeFlatSBProc UninitializeFlatSBProc;

// The first start loads "user32.dll" and "comctl32.dll" and looks the three up; later ones
// only count. The end matching the first start frees both libraries, clears the pointers and
// frees the page adapters of the page controls (skin/windows/vxTabWnd.h).
void AdaptersStart();
void AdaptersEnd();
