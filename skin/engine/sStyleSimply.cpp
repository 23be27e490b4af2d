#include "skin/engine/sStyleSimply.h"

#include <algorithm>
#include <set>

#include "gui/Forms.h"
#include "gui/Icons.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sSysUtils.h"

namespace {

std::vector<TForm*> skinnedForms;
std::set<TForm*> lockedForms; // frozen by LockForms, until UnlockForms
std::unique_ptr<TIcon> iconSmall, iconLarge;

bool Busy(const TComponent* c) { return (c->ComponentState() & (csDestroying | csLoading | csReading)) != 0; }

void ToControls(TForm* form, TMessage& message)
{
    if (auto f = WindowSkinningHooks().BroadcastToControls) f(form, message);
}

// An MDI main form's client window hears what its form hears (and hands a new skin on to the
// children inside it).
void ToClientWindow(TForm* form, TMessage& message)
{
    if (form->FormStyle() == fsMDIForm && form->ClientHandle())
        SendMessageA(form->ClientHandle(), message.Msg, message.WParam, message.LParam);
}

bool MainFormMinimised()
{
    TForm* main = Application ? Application->MainForm() : nullptr;
    return main && main->HandleAllocated() && IsIconic(main->Handle());
}

bool AnimatesSkinChange(TsSkinManager* manager)
{
    return manager && manager->IsDefault() && manager->AnimEffects().SkinChanging.Active;
}

void SetSkinChanging(bool on)
{
    if (auto f = WindowSkinningHooks().SetSkinChangingFlag) f(on);
}

// The provider of a listed form that may be frozen or thawed for the manager, or none. Only
// shown forms are frozen (WM_SETREDRAW 1 would mark a hidden window visible); a frozen one is
// thawed again even though freezing took its visible mark.
TsFormProviderState* ProviderFor(TForm* form, TsSkinManager* manager, bool thawing)
{
    // An MDI child is frozen and thawed with its main form.
    if (form->FormStyle() == fsMDIChild || !form->HandleAllocated() || IsIconic(form->Handle())) return nullptr;
    auto f = WindowSkinningHooks().FormProvider;
    TsFormProviderState* provider = f ? f(form) : nullptr;
    if (!provider || provider->SkinManager() != manager) return nullptr;
    const bool frozen = thawing && lockedForms.count(form) != 0;
    return frozen || IsWindowVisible(form->Handle()) ? provider : nullptr;
}

} // namespace

void AddSkinnedForm(TForm* form)
{
    if (form && std::find(skinnedForms.begin(), skinnedForms.end(), form) == skinnedForms.end())
        skinnedForms.push_back(form);
}

void RemoveSkinnedForm(TForm* form)
{
    std::erase(skinnedForms, form);
    lockedForms.erase(form);
}

const std::vector<TForm*>& SkinnedForms() { return skinnedForms; }

void AddProviderToList(TForm* form) { AddSkinnedForm(form); }

void RemoveProviderFromList(TForm* form)
{
    for (size_t i = 0; i < skinnedForms.size();)
        if (skinnedForms[i] == form) {
            skinnedForms[i] = skinnedForms.back();
            skinnedForms.pop_back();
        } else {
            ++i;
        }
    lockedForms.erase(form);
}

void BroadcastToForms(TMessage& message)
{
    if (Application)
        for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
            if (i >= Application->ComponentCount()) continue;
            auto* form = As<TForm>(Application->Components(i));
            // An MDI child gets the message through its main form's client window.
            if (!form || Busy(form) || form->FormStyle() == fsMDIChild) continue;
            if (form->HandleAllocated() &&
                (SendMessageA(form->Handle(), SM_VELOCONCMD, SkinCommandWParam(cmdIsSkinned), 0) & 0xFF) == 1)
                continue;
            if (form->HandleAllocated())
                message.Result = SendMessageA(form->Handle(), message.Msg, message.WParam, message.LParam);
            ToControls(form, message);
            ToClientWindow(form, message);
        }
    BroadcastToSkinnedForms(message);
}

void BroadcastToSkinnedForms(TMessage& message)
{
    const std::vector<TForm*> forms = skinnedForms; // a form may leave the list meanwhile
    for (TForm* form : forms) {
        if (std::find(skinnedForms.begin(), skinnedForms.end(), form) == skinnedForms.end()) continue;
        if (form->ComponentState() & csDestroying) continue;
        if (form->HandleAllocated())
            message.Result = SendMessageA(form->Handle(), message.Msg, message.WParam, message.LParam);
        ToControls(form, message);
        ToClientWindow(form, message);
    }
    if (auto f = WindowSkinningHooks().BroadcastToHookedWindows) f(message);
}

void LockForms(TsSkinManager* manager)
{
    if (MainFormMinimised()) return;
    if (AnimatesSkinChange(manager)) SetSkinChanging(true);
    for (TForm* form : skinnedForms) {
        TsFormProviderState* provider = ProviderFor(form, manager, false);
        if (!provider) continue;
        lockedForms.insert(form);
        provider->SetLocked(true);
        if (provider->BorderWindow()) provider->ApplyRegionToBorder();
        SendMessageA(form->Handle(), WM_SETREDRAW, 0, 0);
    }
}

void UnlockForms(TsSkinManager* manager, bool repaint)
{
    if (MainFormMinimised()) return;
    if (manager && manager->IsDefault()) SetSkinChanging(false);
    for (TForm* form : skinnedForms) {
        TsFormProviderState* provider = ProviderFor(form, manager, true);
        if (!provider) continue;
        lockedForms.erase(form);
        const HWND wnd = form->Handle();
        if (!repaint) {
            SendMessageA(wnd, WM_SETREDRAW, 1, 0);
            continue;
        }
        // A form the change animation has shown and redrawn whole is not redrawn once more below.
        bool redrawn = false;
        if (const TvxFormAnimation& change = manager->AnimEffects().SkinChanging; change.Active && !IsIconic(wnd))
            if (auto animate = WindowSkinningHooks().AnimShowForm) {
                provider->SetLocked(false); // the redraw at the animation's end paints the form
                redrawn = animate(form, change.Time, form->AlphaBlend() ? form->AlphaBlendValue() : 255, change.Mode);
            }
        if (IsZoomed(wnd) && provider->BorderWindow()) {
            const HWND active = GetActiveWindow();
            const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
            SetWindowLongPtrA(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
            ShowWindow(wnd, SW_MAXIMIZE);
            SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) | WS_VISIBLE);
            if (active) SetActiveWindow(active);
        }
        SendMessageA(wnd, WM_SETREDRAW, 1, 0);
        provider->SetLocked(false);
        if (provider->OwnBorder()) {
            if (LOBYTE(LOWORD(GetVersion())) < 6) SetWindowRgn(wnd, nullptr, FALSE);
            provider->PrepareRgnParts();
            provider->UpdateFormRgn();
        }
        // The frame painted anew repaints the border window with it (once, not again here).
        if (!redrawn)
            RedrawWindow(wnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

TIcon* AppIconSmall() { return iconSmall.get(); }
TIcon* AppIconLarge() { return iconLarge.get(); }

void StyleSimplyStart()
{
    char name[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    iconSmall = GetFileIcon(name, 1);
    iconLarge = GetFileIcon(name, 0);
}

void StyleSimplyEnd()
{
    iconSmall.reset();
    iconLarge.reset();
    skinnedForms.clear();
    skinnedForms.shrink_to_fit();
    lockedForms.clear();
}
