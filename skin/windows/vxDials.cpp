#include "skin/windows/vxDials.h"

#include <memory>

#include "gui/Controls.h"

namespace {

struct THookState {
    HHOOK hook = nullptr;
    std::vector<TvxWindowAdapter*> hooked;
    std::unique_ptr<std::vector<TvxWindowAdapter*>> popups;
    std::vector<TvxWindowAdapter*> menuWindows;
} state;

} // namespace

std::vector<TvxWindowAdapter*>& HookedWindowList() { return state.hooked; }
std::vector<TvxWindowAdapter*>* PopupWindowList() { return state.popups.get(); }

LRESULT CALLBACK SkinHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(state.hook, code, wParam, lParam);
}

void InstallSkinHook()
{
    if (state.hook) return;
    if (!state.popups) state.popups = std::make_unique<std::vector<TvxWindowAdapter*>>();
    state.hook = SetWindowsHookExA(WH_CBT, SkinHookProc, nullptr, GetCurrentThreadId());
}

void RemoveSkinHook()
{
    if (!state.hook) return;
    ClearMenuWndList();
    UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    if (state.popups)
        for (TvxWindowAdapter* a : *state.popups)
            delete a;
    state.popups.reset();
}

bool SkinHookInstalled() { return state.hook != nullptr; }

void ClearMenuWndList()
{
    for (TvxWindowAdapter* a : state.menuWindows)
        delete a;
    state.menuWindows.clear();
}

void DialsStart() {}

void DialsEnd() { RemoveSkinHook(); }

void BroadcastToHookedWindows(TMessage& message)
{
    const std::vector<TvxWindowAdapter*> list = state.hooked;
    for (TvxWindowAdapter* a : list)
        if (a->Handle && IsWindowVisible(a->Handle))
            message.Result = SendMessageA(a->Handle, message.Msg, message.WParam, message.LParam);
}

void RedrawPopupWindows(UINT flags)
{
    if (!state.popups) return;
    for (TvxWindowAdapter* a : *state.popups)
        if (a->Handle && IsWindowVisible(a->Handle)) RedrawWindow(a->Handle, nullptr, nullptr, flags);
}
