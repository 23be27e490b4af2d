// The services of window skinning (skin/windows) that the skin engine calls. The engine does
// not include skin/windows: it declares them here, and skin/windows fills them in when it is
// connected (ConnectWindowSkinning, before the engine's start). A service left empty answers
// as if nothing were skinned (false, 0, none) and does nothing.
#pragma once

#include <windows.h>

#include <string>

#include "gui/Graphics.h"
#include "gui/base/Geometry.h"

class TControl;
class TForm;
class TPopupMenu;
class TWinControl;
class TsSkinManager;
struct TMessage;

// The skinned-menus object a manager owns (TsSkinableMenus of window skinning).
class TsSkinMenus {
public:
    virtual ~TsSkinMenus() = default;
    // Forgets the cached menu item (every new skin).
    virtual void ResetCachedItem() = 0;
    // Takes the manager's skin-loaded state.
    virtual void SyncActive(bool skinLoaded) = 0;
    // Skins the popup window of a menu item (item none: the window alone).
    virtual void HookPopupWindow(HMENU menu, UINT item, HWND wnd) = 0;
};

// What the engine reads and sets on the form provider of a skinned form.
class TsFormProviderState {
public:
    virtual ~TsFormProviderState() = default;
    virtual TsSkinManager* SkinManager() const = 0; // the manager its skin link uses
    virtual void SetLocked(bool locked) = 0;        // frozen for a skin change
    virtual bool OwnBorder() const = 0;             // draws a skinned border
    virtual HWND BorderWindow() const = 0;          // the window of its border form, or 0
    virtual void ApplyRegionToBorder() = 0;         // the border form's window gets its region
    virtual void RefreshBorder(int alpha) = 0;      // repaints the border form at that opacity
    virtual void PrepareRgnParts() = 0;
    virtual void UpdateFormRgn() = 0;
    virtual TForm* ProviderForm() const = 0; // the form it skins
    virtual void FreeFormCache() {}          // drops the form's cache bitmap
};

struct TsWindowSkinningHooks {
    // Desktop composition is on (Windows 6 or later and DwmIsCompositionEnabled says so).
    bool (*DwmCompositionEnabled)() = nullptr;
    // The switch for skipping graphic children is on: their bounds stay in the clip region
    // when a container paints (ExcludeGraphicControls).
    bool (*SkipGraphicChildren)() = nullptr;
    // The child broadcast: every control of the container gets the message.
    void (*BroadcastToControls)(TWinControl* control, TMessage& message) = nullptr;
    // The skin command sender: SM_VELOCONCMD with the command in the high word of wParam.
    LRESULT (*SendSkinCommand)(HWND wnd, WORD command, LPARAM lParam) = nullptr;
    // Every visible window of the hooked-window list gets the message (SendMessage).
    void (*BroadcastToHookedWindows)(TMessage& message) = nullptr;
    // Frees every glow effect window.
    void (*ClearGlows)() = nullptr;
    // The window hook that skins new windows: installed (with its popup-window list) and
    // removed (menu-window list emptied, hook removed, popup-window list freed).
    void (*InstallSkinHook)() = nullptr;
    void (*RemoveSkinHook)() = nullptr;
    // Redraws every visible window of the popup-window list with these RedrawWindow flags.
    void (*RedrawPopupWindows)(UINT flags) = nullptr;
    // The window the animation code keeps for its current animation, or 0.
    HWND (*AnimationWindow)() = nullptr;
    // The flag that holds back painting while skinned forms are frozen for a skin change.
    void (*SetSkinChangingFlag)(bool on) = nullptr;
    // The form provider of a form, or none.
    TsFormProviderState* (*FormProvider)(TForm* form) = nullptr;
    // Animates a form's repaint after a skin change (time in ms, final alpha, mode); true when the
    // form was shown and redrawn whole at the end of it.
    bool (*AnimShowForm)(TForm* form, int time, int finalAlpha, int mode) = nullptr;
    // Makes the skinned-menus object of a manager.
    TsSkinMenus* (*CreateSkinMenus)(TsSkinManager* manager) = nullptr;
    // The command to a control: Perform for a graphic one, SendMessage for a windowed one with
    // a handle; 0 otherwise.
    LRESULT (*SendSkinCommandToControl)(TControl* control, WORD command, LPARAM lParam) = nullptr;
    // The control may be painted now.
    bool (*ControlIsReady)(TControl* control) = nullptr;
    // Command 25 with the control to its top-level form.
    LRESULT (*NotifyParentForm)(TControl* control) = nullptr;
    // A control's colour as its skin gives it (command 21 when skinned), else its own; RGB,
    // clFuchsia for none.
    TColor (*ControlColor)(TControl* control) = nullptr;
    // Glows: shown around rect (screen), clipped; the id or -1. Hidden by id (then -1).
    int (*ShowGlow)(const TRect& rect, const TRect& clip, const std::string& section, TsSkinManager* manager,
                    HWND owner, int alpha, int margin, const std::string& maskName) = nullptr;
    void (*HideGlow)(int& id) = nullptr;
    // Skinned drawing of a popup menu on or off.
    void (*SkinPopupMenu)(TPopupMenu* menu, bool skinned) = nullptr;
    // The registered frame class: whether a component is one.
    bool (*IsFrame)(const TObject* object) = nullptr;
    // The platform's SetWindowTheme as window skinning bound it at start (its one entry point,
    // SetWindowThemeProc); the answer of a missing one is not S_OK.
    HRESULT (*SetWindowTheme)(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList) = nullptr;
    // Visual themes are in use.
    bool (*ThemesEnabled)() = nullptr;
};

TsWindowSkinningHooks& WindowSkinningHooks();

// The hooks' answers, with the neutral answer where a hook is empty.
bool HookDwmCompositionEnabled();
bool HookSkipGraphicChildren();
