// TsSkinManager: telling the forms and controls of a new, removed or repainted skin, the hot
// control, and the reaction to the application window's messages.
#include <windows.h>

#include <utility>

#include "gui/Forms.h"
#include "gui/Messages.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"

namespace {

TMessage SkinCommand(WORD command, TsSkinManager* manager)
{
    return TMessage{SM_VELOCONCMD, SkinCommandWParam(command), reinterpret_cast<LPARAM>(manager), 0};
}

void ClearGlows()
{
    if (auto f = WindowSkinningHooks().ClearGlows) f();
}

// The menu messages of skinned menus to the application window.
constexpr UINT MenuItemPopup = 0xBCB3;   // 48307: lParam the menu item (HMENU in the low part)
constexpr UINT MenuWindowPopup = 0xBCB4; // 48308: lParam the popup window

} // namespace

bool RepaintLocked = false;
HDC PrintDC = nullptr;
bool SkinUpdating = false;
bool SkinChanging = false;

void TsSkinManager::SendNewSkin(bool repaint)
{
    if (Reading()) return;
    ClearGlows();
    if (repaint) LockForms(this);
    if (menus_) menus_->ResetCachedItem();
    SkinData.SkinLoaded = false;
    SkinManagerFlags().Changing = true;
    const bool changing = std::exchange(SkinChanging, true);
    SkinUpdating = true;
    UpdateCommonIndexes();
    TMessage m = SkinCommand(cmdSkinChanged, this);
    BroadcastToForms(m);
    SkinUpdating = false;
    SkinChanging = changing;
    SkinManagerFlags().Changing = false;
    SkinData.SkinLoaded = true;
    if (menus_) menus_->SyncActive(true);
    InstallHook();
    if (repaint) RepaintForms();
}

void TsSkinManager::InstallHook()
{
    if (!IsDefault() || hookInstalled_) return;
    hookInstalled_ = true;
    if (auto install = WindowSkinningHooks().InstallSkinHook) install();
}

void TsSkinManager::UninstallHook()
{
    if (!IsDefault() || !hookInstalled_) return;
    if (auto remove = WindowSkinningHooks().RemoveSkinHook) remove();
    hookInstalled_ = false;
}

void TsSkinManager::SendRemoveSkin()
{
    SkinManagerFlags().Removing = true;
    ClearGlows();
    UninstallHook();
    SkinData.SkinLoaded = false;
    if (menus_) menus_->SyncActive(false);
    TMessage m = SkinCommand(cmdRemoveSkin, this);
    BroadcastToForms(m);
    ClearSkinTables();
    UpdateCommonIndexes(); // no index may point into the emptied tables
    SkinManagerFlags().Removing = false;
}

void TsSkinManager::RepaintForms()
{
    TMessage done = SkinCommand(cmdSkinChangeDone, this);
    BroadcastToForms(done);
    const bool loading = (ComponentState() & csLoading) != 0;
    if (!loading) LockForms(this);
    RepaintLocked = !loading;
    TMessage refresh = SkinCommand(cmdRefresh, this);
    BroadcastToForms(refresh);
    RepaintLocked = false;
    if (!loading) UnlockForms(this, true);
    if (auto f = WindowSkinningHooks().AnimationWindow)
        if (HWND wnd = f()) SendMessageA(wnd, refresh.Msg, refresh.WParam, refresh.LParam);
    if (auto f = WindowSkinningHooks().RedrawPopupWindows)
        f(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinManager::SetActiveControl(HWND wnd)
{
    if (wnd == activeControl_) return;
    const HWND previous = activeControl_;
    activeControl_ = wnd;
    auto send = WindowSkinningHooks().SendSkinCommand;
    if (!send) return;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (previous) send(previous, cmdMouseLeave, self);
    if (wnd) send(wnd, cmdMouseEnter, self);
}

bool TsSkinManager::MainWindowHook(TMessage& message)
{
    if (!skinnedPopups_) return false;
    switch (message.Msg) {
    case MenuItemPopup: {
        // lParam: the menu (low part) and the item's position (WParam) whose popup opened.
        const HMENU menu = reinterpret_cast<HMENU>(message.LParam);
        if (!menu) return true;
        RECT r;
        const UINT item = static_cast<UINT>(message.WParam);
        if (!GetMenuItemRect(nullptr, menu, item, &r)) {
            const HWND owner = Application ? Application->AppWindow() : nullptr;
            if (!GetMenuItemRect(owner, menu, item, &r)) return true;
        }
        const POINT centre{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
        if (menus_) menus_->HookPopupWindow(menu, item, WindowFromPoint(centre));
        return true;
    }
    case MenuWindowPopup:
        if (message.LParam != 0 && menus_) menus_->HookPopupWindow(nullptr, 0, reinterpret_cast<HWND>(message.LParam));
        return true;
    case CM_ACTIVATE:
        if (Application && WindowSkinningHooks().SendSkinCommand)
            for (int i = Application->ComponentCount() - 1; i >= 0; --i)
                if (auto* form = As<TForm>(Application->Components(i)); form && form->HandleAllocated())
                    WindowSkinningHooks().SendSkinCommand(form->Handle(), 18, 0);
        return false;
    case WM_SYSCOMMAND:
        minimiseState_ = (message.WParam & 0xFFF0) == SC_MINIMIZE ? 2 : (message.WParam & 0xFFF0) == SC_RESTORE ? 1 : 0;
        return false;
    case WM_THEMECHANGED:
        return true;
    default:
        return false;
    }
}
