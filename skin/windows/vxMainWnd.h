// TvxMainWnd: the root of the window adapters. An adapter takes over one existing window by its
// handle and draws it with the active skin; the adapter is found from the handle through the
// window property "VXSBSC" (GetAdapterOfWindow), which the window carries exactly while it is
// adapted. A window that is not a class-library control is subclassed (one static window
// procedure for all, GWLP_WNDPROC) and its adapter joins HookedWindowList (skin/windows/vxDials.h),
// so the skin manager's broadcast reaches it; the adapter of a control (or of a form through the
// link of its form provider) hooks the WindowProc chain instead and stays out of the list (the
// forms' broadcast reaches the control).
//
//   TvxMainWnd* a = CreateAdapter<TvxMainWnd>(wnd, nullptr, manager, "PANEL", false);
//   ...                                      // the window answers skin commands (7 gives 1)
//   DetachAdapter(wnd, true, false, a);      // unhooked, property gone, freed, a == nullptr
//
// A window destroyed while hooked unhooks its adapter by itself (WM_DESTROY/WM_NCDESTROY): the
// adapter is then Destroyed and out of HookedWindowList, and its owner frees it later. Unhooking
// puts the covered procedure back only while the adapter's procedure is the window's; under a
// later subclass the adapter's procedure stays in the chain as a pure pass-through (it finds the
// covered procedure under a window property of its own) until the window goes, and a new
// adapter of the window takes that place again.
// A nil adapter or handle makes every routine here a no-op.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "gui/Controls.h"
#include "skin/engine/sCommonData.h"

class TsSkinManager;

// Copied into DlgMode by every new adapter (0 normally): the dialog hook and the combo box
// adapter set it around the creation of adapters inside skinned dialogs.
extern uint8_t NextDlgMode;

// Set by the control adapter while it frees all its items. Adapters freed meanwhile leave
// their windows as they are (theme, colours, subclass as a pass-through; the windows go with
// their form), unless the skin manager is removing the skin from all forms.
extern bool CtrlAdapterFreeingAll;

// Skin command 60: the answer is the class library's application object.
constexpr WORD cmdGetApplication = 60;

// The section for which the visual theme stays on.
constexpr const char* DialogSection = "DIALOG";
// The name of the window property that holds the adapter.
constexpr const char* AdapterProperty = "VXSBSC";

class TvxMainWnd : public TObject {
    GUI_CLASS(TvxMainWnd, TObject)
    ~TvxMainWnd() override;
    TvxMainWnd(const TvxMainWnd&) = delete;
    TvxMainWnd& operator=(const TvxMainWnd&) = delete;

    bool DlgMode = false;
    std::string Caption;
    RECT WndRect{};
    SIZE WndSize{};
    POINT WndPos{};
    RECT ParentRect{};
    HWND ParentWnd = nullptr;
    // The hook on the control's WindowProc chain (0: none) or the window's procedure that the
    // subclass covered (none when the window itself is not hooked).
    int OldProc = 0;
    WNDPROC OldWndProc = nullptr;
    HWND CtrlHandle = nullptr;
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool Busy = false;
    bool SkinParamsSet = false;
    bool Destroyed = false;
    bool OwnSkinData = false;

    // Called by the creation before the window is hooked (subclasses save the control's own
    // colours); BeforeRemove when the skin is removed (command 2) and when unhooking.
    virtual void AfterCreation() {}
    virtual void BeforeRemove() {}
    // Sets SkinParamsSet; subclasses apply the skin's colours first.
    virtual void SetNeedsRepaint() { SkinParamsSet = true; }
    // The adapter's window procedure.
    virtual void WndProc(TMessage& m);
    // Hands the message to what the adapter replaced (its answer in m.Result).
    void CallPrevWndProc(TMessage& m);
    // The hook is undone (the property too); false when there was nothing to undo. With
    // keepSubclass a subclassed window keeps the adapter's procedure as a pure pass-through.
    bool Unhook(bool keepSubclass = false);
    // The window is hooked (subclass or WindowProc chain) and carries the property.
    void Hook();
    // The adapter's manager, else its link's (the default one); none without a link.
    TsSkinManager* Manager() const;
    // lParam of a skin command names this adapter's manager.
    bool FromManager(LPARAM lParam) const { return lParam != 0 && lParam == reinterpret_cast<LPARAM>(Manager()); }
    // The owner control of the skin link, or none.
    TControl* OwnerControl() const { return SkinData ? SkinData->FOwnerControl : nullptr; }
    // Whose WindowProc the adapter hooks: the link's owner control, or the form of the form
    // provider that owns the link; none for a plain window (subclassed by handle).
    TWinControl* HookedControl() const;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    TvxMainWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager);
    // The rest of the creation: theme, section, AfterCreation, caption, Attach.
    virtual void Start(const std::string& section, bool repaint);
    // Hooks the window (the scroll family sets up its bars around the hook).
    virtual void Attach(bool /*repaint*/) { Hook(); }
    // What every destructor does first while the object is still whole: restores the theme,
    // undoes the hook and calls BeforeRemove, unless Destroyed.
    void Shutdown();
    void ReadCaption();
    // The questions every adapter answers alike: 7 (skinned: 1), 21 (the replaced procedure's
    // colour, else the link's control colour) and 60 (the application object). False for others.
    bool AnswerQuery(TMessage& m);
    // Command 1 for this manager: the link's indexes updated, the command passed down to the
    // children (PassSkinMessage).
    void TakeNewSkin(const TMessage& m);
    bool ManagerActive() const;
    void HandleSkinCommand(TMessage& m);
};

// A new adapter of class T for the window (none for a nil handle): its skin link is the given
// one (and its manager the link's when none is given) or its own; an empty section of the link
// becomes the given section.
template <class T>
T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section, bool repaint)
{
    if (!handle || !IsWindow(handle)) return nullptr;
    T* a = new T(handle, skinData, manager);
    a->Start(section, repaint);
    return a;
}

// GetPropA(handle, "VXSBSC"): the adapter of the window, or none.
TvxMainWnd* GetAdapterOfWindow(HWND handle);
// Unhooks an adapter (unless Destroyed): hook undone, property removed, BeforeRemove, the frame
// refreshed when the window is visible, Destroyed set. With freeIt the adapter is freed and the
// variable cleared.
void DetachAdapter(HWND handle, bool freeIt, bool repaint, TvxMainWnd*& adapter);
// full: SetWindowPos with SWP_FRAMECHANGED (55); otherwise WM_NCPAINT (wParam 1).
void RefreshFrame(HWND handle, bool full);
// The window's rectangle, parent, parent's rectangle, size (negative as 0) and its top-left
// corner in the parent's client coordinates.
void ReadWindowGeometry(HWND handle, HWND& parentWnd, RECT& wndRect, POINT& wndPos, SIZE& wndSize, RECT& parentRect);
// Only with BGChanged set and a handle: the link's 24-bit cache sized to the window, painted
// with its section over the parent's background (hot when focused or under the mouse) or, with
// useGlobalColor and a global colour of the default manager, filled with that colour; the
// disabled look for a disabled owner control (after command 35 to the window); BGChanged cleared.
void RefreshCache(TsCommonData* skinData, HWND handle, bool useGlobalColor);
// The section's border image (for the link's state) into the frame strips (frameWidth pixels
// wide) of the link's cache; its pixels of the transparent colour 0xFF00FF take the parent's
// background at the same place (its bitmap, else its colour, else the cache stays). Nothing
// without a border image, a cache or for a window below 2 x 2 pixels.
void DrawFrameWithParentBackground(TsCommonData* skinData, HWND handle, int frameWidth);
// The message to every child control of the owner control (BroadcastToControls), else to every
// descendant window of handle.
void PassSkinMessage(TControl* ownerControl, HWND handle, TMessage& m);
