// The window hook that skins new windows (popup menus, dialogs, activated windows) for the
// default skin manager, and the lists it keeps: the adapters of plain windows it hooked
// (HookedWindowList) and of popup windows (PopupWindowList). So far the hook only passes every
// event on and the lists stay empty; the skin manager installs and removes it around its skin.
#pragma once

#include <windows.h>

#include <vector>

struct TMessage;

// An adapter of a plain window the hook took over: the adapted window.
struct TvxWindowAdapter {
    HWND Handle = nullptr;
};

// The adapters of plain windows (HookedWindowList) and of popup windows (PopupWindowList,
// created when the hook is installed, freed object by object when it is removed).
std::vector<TvxWindowAdapter*>& HookedWindowList();
std::vector<TvxWindowAdapter*>* PopupWindowList();

// The computer-based-training hook procedure; passes everything on (CallNextHookEx first).
LRESULT CALLBACK SkinHookProc(int code, WPARAM wParam, LPARAM lParam);
// Installs SkinHookProc on the GUI thread (type 5, no module, the current thread); the popup
// list is made when missing. Nothing when it is installed.
void InstallSkinHook();
// Empties the menu-window list, removes the hook, frees the popup list. Nothing when none.
void RemoveSkinHook();
bool SkinHookInstalled();
// Empties the list of popup-menu window adapters the hook made.
void ClearMenuWndList();

// The module's start (nothing to prepare yet) and end (the hook removed when it is still in).
void DialsStart();
void DialsEnd();

// Every visible window of HookedWindowList gets the message (SendMessage).
void BroadcastToHookedWindows(TMessage& message);
// Every visible window of PopupWindowList is redrawn with the flags.
void RedrawPopupWindows(UINT flags);
