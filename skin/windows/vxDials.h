// The window hook that skins new windows (popup menus, dialogs, activated windows) for the
// default skin manager, and the lists it keeps: the live adapters of plain windows
// (HookedWindowList: an adapter attached by handle to a window that is not a class-library
// control joins it when it attaches and leaves it when it lets go, skin/windows/vxMainWnd.h) and
// of popup windows (PopupWindowList). So far the hook only passes every event on; the skin
// manager installs and removes it around its skin.
#pragma once

#include <windows.h>

#include <vector>

struct TMessage;
class TvxMainWnd;

// The adapters of plain windows (HookedWindowList) and of popup windows (PopupWindowList,
// created when the hook is installed, freed object by object when it is removed).
std::vector<TvxMainWnd*>& HookedWindowList();
std::vector<TvxMainWnd*>* PopupWindowList();

// The computer-based-training hook procedure; passes everything on (CallNextHookEx first).
LRESULT CALLBACK SkinHookProc(int code, WPARAM wParam, LPARAM lParam);
// Installs SkinHookProc on the GUI thread (type 5, no module, the current thread); the popup
// list is made when missing. Nothing when it is installed.
void InstallSkinHook();
// Empties the menu-window list, removes the hook, frees the popup list. Nothing when none.
void RemoveSkinHook();
bool SkinHookInstalled();
// The adapters of popup-menu windows (TvxMnuWnd, skin/windows/vxMnuWnd.h), one appended per
// skinned popup window; each leaves the list and frees itself when its window goes.
std::vector<TvxMainWnd*>& MenuWndList();
// Empties the list of popup-menu window adapters (the adapters stay with their windows).
void ClearMenuWndList();

// The module's start (nothing to prepare yet) and end (the hook removed when it is still in).
void DialsStart();
void DialsEnd();

// Every visible window of HookedWindowList gets the message (SendMessage), each once.
void BroadcastToHookedWindows(TMessage& message);
// Every visible window of PopupWindowList is redrawn with the flags.
void RedrawPopupWindows(UINT flags);
