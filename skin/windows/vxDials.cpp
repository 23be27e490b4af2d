#include "skin/windows/vxDials.h"

#include <algorithm>
#include <memory>

#include "gui/Controls.h"
#include "skin/windows/vxMainWnd.h"

namespace {

struct THookState {
    HHOOK hook = nullptr;
    std::vector<TvxMainWnd*> hooked;
    std::unique_ptr<std::vector<TvxMainWnd*>> popups;
    std::vector<TvxMainWnd*> menuWindows;
} state;

} // namespace

std::vector<TvxMainWnd*>& HookedWindowList() { return state.hooked; }
std::vector<TvxMainWnd*>* PopupWindowList() { return state.popups.get(); }

LRESULT CALLBACK SkinHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(state.hook, code, wParam, lParam);
}

void InstallSkinHook()
{
    if (state.hook) return;
    if (!state.popups) state.popups = std::make_unique<std::vector<TvxMainWnd*>>();
    state.hook = SetWindowsHookExA(WH_CBT, SkinHookProc, nullptr, GetCurrentThreadId());
}

void RemoveSkinHook()
{
    if (!state.hook) return;
    ClearMenuWndList();
    UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    if (state.popups)
        for (TvxMainWnd* a : *state.popups)
            delete a;
    state.popups.reset();
}

bool SkinHookInstalled() { return state.hook != nullptr; }

std::vector<TvxMainWnd*>& MenuWndList() { return state.menuWindows; }

void ClearMenuWndList() { state.menuWindows.clear(); }

void DialsStart() {}

void DialsEnd() { RemoveSkinHook(); }

void BroadcastToHookedWindows(TMessage& message)
{
    const std::vector<TvxMainWnd*> list = state.hooked;
    for (TvxMainWnd* a : list)
        if (std::find(state.hooked.begin(), state.hooked.end(), a) != state.hooked.end() && a->CtrlHandle &&
            IsWindowVisible(a->CtrlHandle))
            message.Result = SendMessageA(a->CtrlHandle, message.Msg, message.WParam, message.LParam);
}

void RedrawPopupWindows(UINT flags)
{
    if (!state.popups) return;
    for (TvxMainWnd* a : *state.popups)
        if (a->CtrlHandle && IsWindowVisible(a->CtrlHandle)) RedrawWindow(a->CtrlHandle, nullptr, nullptr, flags);
}
