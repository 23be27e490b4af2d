// The window adapters' module: the platform entry points the skinned scroll bars and the dialog
// hook need, looked up at run time by the module's start and tolerated when missing:
// GetScrollBarInfo of user32, InitializeFlatSB and UninitializeFlatSB of comctl32; and the list
// of the adapters of tab pages, which the module's end frees.
//
//   AdaptersStart();
//   if (UninitializeFlatSBProc) UninitializeFlatSBProc(dialog);   // skip the call when none
//   AdaptersEnd();          // both libraries freed, then the page adapters
#pragma once

#include <windows.h>

#include <vector>

class TvxMainWnd;

using TGetScrollBarInfoProc = BOOL(WINAPI*)(HWND wnd, LONG objectId, PSCROLLBARINFO info);
using TFlatSBProc = BOOL(WINAPI*)(HWND wnd);
using TUninitializeFlatSBProc = HRESULT(WINAPI*)(HWND wnd);

// None before the start, after the end, or when the library or the entry point is missing.
extern TGetScrollBarInfoProc GetScrollBarInfoProc;
extern TFlatSBProc InitializeFlatSBProc;
extern TUninitializeFlatSBProc UninitializeFlatSBProc;

// The adapters of the pages of tab controls, owned by the list (freed by the module's end, from
// the first to the last).
std::vector<TvxMainWnd*>& PageAdapterList();

// The first start loads "user32.dll" and "comctl32.dll" and looks the three up; later ones
// only count. The end matching the first start frees both libraries and clears the pointers,
// then frees every page adapter.
void AdaptersStart();
void AdaptersEnd();
