// The window hook that skins new windows for the default skin manager while it has a skin (the
// manager installs and removes it around its skin), and the lists it keeps: the live adapters of
// plain windows (HookedWindowList: an adapter attached by handle to a window that is not a
// class-library control joins it when it attaches and leaves it when it lets go,
// skin/windows/vxMainWnd.h) and of popup windows (PopupWindowList).
//
// What the hook skins:
//   - a form of the application, when it is activated: a TsSkinProvider made for it at run
//     time (MakeSkinMenu off), inside a TvxProvider owned by the form; an MDI child, which the
//     system activates inside its client window without the hook, when its skinned main form
//     is shown or its client window makes or activates it (AddMDIChildren);
//   - a standard dialog ("#32770") without a parent, when it is created or activated: a
//     TvxProvider with the dialog's adapter (TvxDialogWnd, skin/windows/vxDialogWnd.h) and one
//     adapter per child control; while a skinned dialog is visible, a further dialog only when
//     it holds a tool bar (the file dialogs do);
//   - a popup menu window ("#32768"), when it is created, without desktop composition and with
//     the manager's SkinnedPopups: a menu-window adapter (skin/windows/vxMnuWnd.h).
// Skipped: windows that answer skin command 7 already, forms with Tag -98, the class names
// "TApplication", "TQRStandardPreview" and "TfcPopup", and what the manager's SkinningRules
// leave out (srStdForms: forms, srStdDialogs: dialogs).
//
//   manager.SetSkinName("Probe");                  // the hook goes in
//   Application->MessageBox("Text", "Caption", 0);  // the box is skinned while it is open
//   LiveProviderCount();                            // 0 again once it is closed
#pragma once

#include <windows.h>

#include <vector>

#include "gui/base/Classes.h"

struct TMessage;
class TForm;
class TsSkinProvider;
class TvxDialogWnd;
class TvxMainWnd;

// The hook's record of one skinned window: the form's provider, or the dialog's adapters.
class TvxProvider : public TComponent {
    GUI_CLASS(TvxProvider, TComponent)
    explicit TvxProvider(TComponent* owner);
    ~TvxProvider() override;

    bool RightToLeftScroll = false;
    HWND DialogHandle = nullptr;
    // The form's provider (owned by the form; freed with this one when the hook goes); none for a
    // dialog.
    TsSkinProvider* SkinProvider = nullptr;
    // The dialog's adapter and those of its child controls (owned); none for a form.
    TvxDialogWnd* DialogWnd = nullptr;
    std::vector<TvxMainWnd*> ChildAdapters;

    void InitForm(TForm* form);
    // The dialog's adapter, then its children's; false (the provider's slot emptied) when a
    // child could not be adapted.
    bool InitDialog(HWND wnd);
    // Every descendant of wnd in Z order, depth first, through AddChild.
    bool AddChildren(HWND wnd);
    // An adapter for the child control by its class and style (true also when none is made).
    bool AddChild(HWND wnd);
};

// The hook's providers: entries are appended, a provider that goes leaves a nil slot.
std::vector<TvxProvider*>& ProviderList();
// The providers alive in ProviderList.
int LiveProviderCount();
TvxProvider* FindProvider(HWND wnd);
// The form of the handle among Screen's forms (the last first) and the MDI children of MDI main
// forms; none.
TForm* FindForm(HWND wnd);
// Frees the providers of dialogs whose adapters saw their windows destroyed.
void FreeDeadDialogs();
// The providers whose dialog windows are visible.
int CountVisibleDialogs();
// A descendant of wnd has the class name (compared lower-cased).
bool HasChildOfClass(HWND wnd, const char* className);
// Skins the window when it qualifies (see above); createStruct: its creation record, or none.
// True when a provider was made.
bool AddSupportedForm(HWND wnd, const CREATESTRUCTA* createStruct);
// While the hook is in: every MDI child of the MDI main form that does not answer skin command 7
// yet through AddSupportedForm (the children that are made or activated inside a skinned main
// form, whose activation the hook does not see).
void AddMDIChildren(TForm* main);
// The children of the provider's dialog scanned again for new controls.
bool RescanDialogChildren(TvxProvider* provider);
// A popup adapter leaves PopupWindowList (its window goes).
void ForgetPopupWindow(TvxMainWnd* adapter);

// The adapters of plain windows (HookedWindowList) and of popup windows (PopupWindowList,
// created when the hook is installed, freed object by object when it is removed).
std::vector<TvxMainWnd*>& HookedWindowList();
std::vector<TvxMainWnd*>* PopupWindowList();

// The computer-based-training hook procedure: CallNextHookEx first (its answer is returned), then
// new popup menus and dialogs (HCBT_CREATEWND), dead dialogs (HCBT_DESTROYWND) and activated
// windows (HCBT_ACTIVATE) as above.
LRESULT CALLBACK SkinHookProc(int code, WPARAM wParam, LPARAM lParam);
// Installs SkinHookProc on the GUI thread (type 5, no module, the current thread); the popup
// list is made when missing. Nothing when it is installed.
void InstallSkinHook();
// Empties the menu-window list, removes the hook, frees every provider (a form's with the form
// provider it made) and the popup list object by object. Nothing when none.
void RemoveSkinHook();
bool SkinHookInstalled();
// The adapters of popup-menu windows (TvxMnuWnd, skin/windows/vxMnuWnd.h), one appended per
// skinned popup window; each leaves the list and frees itself when its window goes.
std::vector<TvxMainWnd*>& MenuWndList();
// Empties the list of popup-menu window adapters (the adapters stay with their windows).
void ClearMenuWndList();

// The module's start (nothing to prepare) and end (the hook removed, every provider freed).
void DialsStart();
void DialsEnd();

// Every visible window of HookedWindowList gets the message (SendMessage), each once.
void BroadcastToHookedWindows(TMessage& message);
// Every visible window of PopupWindowList is redrawn with the flags.
void RedrawPopupWindows(UINT flags);
