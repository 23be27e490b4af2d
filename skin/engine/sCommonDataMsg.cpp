// The skin link's answers to the skin command message and its handling of the ordinary
// messages that change a control's look.
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sSkinManager.h"

namespace {

LRESULT SendToControl(TControl* control, WORD command, LPARAM lParam, WORD argument = 0)
{
    if (argument == 0)
        if (auto f = WindowSkinningHooks().SendSkinCommandToControl) return f(control, command, lParam);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (!w->HandleAllocated() || w->InState(csDestroying)) return 0;
        return SendMessageA(w->Handle(), SM_VELOCONCMD, SkinCommandWParam(command, argument), lParam);
    }
    return control->Perform(SM_VELOCONCMD, SkinCommandWParam(command, argument), lParam);
}

// The control's window without visual themes, when themes are in use (through window
// skinning's one theme switch).
void SetEmptyTheme(HWND wnd)
{
    const TsWindowSkinningHooks& hooks = WindowSkinningHooks();
    if (hooks.ThemesEnabled && hooks.SetWindowTheme && hooks.ThemesEnabled()) hooks.SetWindowTheme(wnd, L"", L"");
}

// Edits and the list boxes of kind 97 take the section's colours.
bool EditLike(const TsCommonData& link) { return dynamic_cast<TCustomEdit*>(link.FOwnerControl) || link.COC == 97; }

bool OwnManager(const TsCommonData& link, LPARAM lParam)
{
    return lParam != 0 && reinterpret_cast<TsSkinManager*>(lParam) == link.GetSkinManager();
}

void RedrawOwner(TsCommonData& link, UINT flags)
{
    if (auto* w = dynamic_cast<TWinControl*>(link.FOwnerControl); w && w->HandleAllocated())
        RedrawWindow(w->Handle(), nullptr, nullptr, flags);
}

void RemoveSkin(TsCommonData& link, TsSkinManager* manager)
{
    if (manager && manager->InState(csDestroying) && link.FSkinManager == manager) link.FSkinManager = nullptr;
    link.SkinIndex = link.BorderIndex = link.Texture = link.HotTexture = -1;
    link.BGChanged = true;
    if (link.FCacheBmp) link.FCacheBmp->SetSize(0, 0);
    TControl* owner = link.FOwnerControl;
    if (owner && EditLike(link)) {
        if (!link.CustomColor()) owner->SetColor(clWindow);
        if (!link.CustomFont()) owner->Font().SetColor(clWindowText);
        RedrawOwner(link, RDW_INVALIDATE | RDW_FRAME);
    } else if (auto* w = dynamic_cast<TWinControl*>(owner)) {
        for (int i = 0; i < w->ControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(w->Controls(i))) label->Font().SetColor(clWindowText);
    }
}

void Refresh(TsCommonData& link)
{
    link.CacheDirty = true;
    link.BGChanged = false;
    TsSkinManager* m = link.GetSkinManager();
    if (link.Skinned() && link.FOwnerControl && EditLike(link)) {
        const TsGeneralData& g = m->GeneralData[static_cast<size_t>(link.SkinIndex)];
        if (!link.CustomColor()) link.FOwnerControl->SetColor(g.Color);
        if (!link.CustomFont()) link.FOwnerControl->Font().SetColor(g.FontColor[1]);
        RedrawOwner(link, RDW_INVALIDATE | RDW_FRAME);
    }
    link.UpdateContainerFlag(false);
}

// Command 19: whether the link's look needs its parent's background.
bool ComplexBackground(TsCommonData& link, LRESULT& answer)
{
    TsSkinManager* m = link.GetSkinManager();
    if (!m || !m->IsValidSkinIndex(link.SkinIndex)) return false;
    const TsGeneralData& g = m->GeneralData[static_cast<size_t>(link.SkinIndex)];
    if (g.Transparency == 100 && link.FOwnerControl && link.FOwnerControl->Parent())
        answer = SendToControl(link.FOwnerControl->Parent(), cmdHasComplexBG, 0) & 0x7F;
    else if (g.GradientPercent + g.ImagePercent >= 1) answer = 1;
    else answer = DependsOnParentBG(&link) ? 1 : 0;
    return true;
}

// Command 21: the link's background colour as RGB.
bool BackgroundColor(TsCommonData& link, LRESULT& answer)
{
    TControl* owner = link.FOwnerControl;
    if (!owner) return false;
    const TColor own = static_cast<TColor>(ColorToRGB(owner->Color()));
    if (!link.Skinned()) {
        answer = own;
        return true;
    }
    const TsGeneralData& g = link.GetSkinManager()->GeneralData[static_cast<size_t>(link.SkinIndex)];
    const int t = g.Transparency;
    if (t <= 0) {
        answer = g.Color;
        return true;
    }
    TControl* parent = owner->Parent();
    if (t >= 100) {
        if (!parent) {
            answer = own;
            return true;
        }
        const LRESULT c = SendToControl(parent, cmdGetBGColor, clFuchsia);
        answer = c == clFuchsia ? static_cast<LRESULT>(ColorToRGB(parent->Color())) : c;
        return true;
    }
    const TColor base =
        parent ? static_cast<TColor>(ColorToRGB(static_cast<TColor>(SendToControl(parent, cmdGetBGColor, 0)))) : own;
    answer = MixTransparentColor(t, g.Color, base);
    return true;
}

// Command 20 to every child of a windowed owner that is not being destroyed.
void ToChildren(TsCommonData& link, WORD command, WORD argument, bool skipStyled)
{
    auto* w = dynamic_cast<TWinControl*>(link.FOwnerControl);
    if (!w) return;
    for (int i = 0; i < w->ControlCount(); ++i) {
        TControl* c = w->Controls(i);
        if (c->InState(csDestroying)) continue;
        if (skipStyled)
            if (auto* cw = dynamic_cast<TWinControl*>(c);
                cw && cw->HandleAllocated() && (GetWindowLongA(cw->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)))
                continue;
        SendToControl(c, command, 0, argument);
    }
}

} // namespace

bool HandleSkinCommand(TMessage& message, TsCommonData& link)
{
    if (message.Msg != SM_VELOCONCMD) return false;
    if (!AcceptSkinCommand(message)) {
        message.Result = 0;
        return true;
    }
    const WORD command = HIWORD(message.WParam);
    const WORD argument = LOWORD(message.WParam);
    if (command > cmdLastLinkCommand) return false;
    switch (command) {
    case cmdSkinChanged:
        if (OwnManager(link, message.LParam)) {
            link.UpdateIndexes();
            link.UpdateContainerFlag(false);
        }
        return false;
    case cmdRemoveSkin:
        if (OwnManager(link, message.LParam)) RemoveSkin(link, reinterpret_cast<TsSkinManager*>(message.LParam));
        return false;
    case cmdRefresh:
        if (OwnManager(link, message.LParam)) Refresh(link);
        return false;
    case cmdIsSkinned:
        message.Result = 1;
        return true;
    case cmdSetBGChanged:
        link.BGChanged = argument == 1;
        return false;
    case cmdFreezeCache:
        link.CacheFrozen = argument == 1;
        return false;
    case cmdGetBGChanged:
        message.Result = link.CacheDirty || link.BGChanged || link.Updating ? 1 : 0;
        return true;
    case cmdGetPartlyHidden:
        message.Result = link.PartlyHidden ? 1 : 0;
        return true;
    case cmdHasComplexBG: {
        LRESULT answer = 0;
        if (!ComplexBackground(link, answer)) return false;
        message.Result = answer;
        message.LParam = answer;
        return true;
    }
    case cmdParentBGChanged: {
        const bool depends = DependsOnParentBG(&link);
        link.CacheDirty = link.CacheDirty || depends;
        if (auto* w = dynamic_cast<TWinControl*>(link.FOwnerControl)) {
            if (argument == 1 && w->HandleAllocated())
                RedrawWindow(w->Handle(), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
            if (depends) ToChildren(link, cmdParentBGChanged, 0, false);
        }
        return false;
    }
    case cmdGetBGColor: {
        LRESULT answer = 0;
        if (!BackgroundColor(link, answer)) return false;
        message.Result = answer;
        return true;
    }
    case cmdSetPartlyHidden:
        link.PartlyHidden = true;
        return false;
    case cmdGetSkinIndex:
        if (message.LParam) *reinterpret_cast<int*>(message.LParam) = link.SkinIndex;
        return true;
    case cmdGetBGInfo:
        if (message.LParam) {
            auto* info = reinterpret_cast<TsBackgroundInfo*>(message.LParam);
            GetBGInfo(&link, *info, link.ControlIsActive() ? 1 : 0);
        }
        return false;
    case cmdContainerFlags:
        if (message.LParam == 1) {
            link.UpdateContainerFlag(true);
            message.Result = 0;
        } else {
            message.Result = link.CtrlFlags;
        }
        return true;
    case 60:
        message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

namespace {

void MouseEnter(TMessage& message, TsCommonData& link)
{
    auto* w = dynamic_cast<TWinControl*>(link.FOwnerControl);
    TsSkinManager* def = DefaultManager();
    if (!w || !def) {
        if (!IsNoHotKind(link.COC)) link.MouseAbove = true;
        return;
    }
    auto isFrame = WindowSkinningHooks().IsFrame;
    if (isFrame && w->Parent())
        for (int i = 0; i < w->Parent()->ControlCount(); ++i) {
            TControl* c = w->Parent()->Controls(i);
            if (c != w && reinterpret_cast<LPARAM>(c) != message.LParam && isFrame(c)) c->Perform(CM_MOUSELEAVE, 0, 0);
        }
    if (!IsNoHotKind(link.COC)) link.MouseAbove = true;
    def->SetActiveControl(w->HandleAllocated() ? w->Handle() : nullptr);
    if (!IsNoGlowKind(link.COC) && (link.COC < 92 || link.COC > 94)) UpdateGlow(&link, false);
    if (IsRepaintOnHoverKind(link.COC)) {
        link.CacheDirty = true;
        if (w->HandleAllocated())
            RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    }
}

void MouseLeave(TsCommonData& link)
{
    if (!IsNoHotKind(link.COC)) link.MouseAbove = false;
    if (!IsNoGlowKind(link.COC) && (link.COC < 92 || link.COC > 94))
        if (auto clear = WindowSkinningHooks().ClearGlows) clear();
    auto* w = dynamic_cast<TWinControl*>(link.FOwnerControl);
    if (w && w->Visible() && IsRepaintOnHoverKind(link.COC)) {
        link.CacheDirty = true;
        if (w->HandleAllocated())
            RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    }
}

void FocusChange(TsCommonData& link, bool focused)
{
    auto* w = dynamic_cast<TWinControl*>(link.FOwnerControl);
    if (!w || !w->CanFocus() || !w->Visible()) return;
    link.CacheDirty = true;
    link.Focused = focused;
    if (IsRepaintOnHoverKind(link.COC) && (focused || w->Visible()) && w->HandleAllocated())
        RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

} // namespace

bool HandleControlMessage(TMessage& message, TsCommonData& link)
{
    if (message.Msg == SM_VELOCONCMD) return HandleSkinCommand(message, link);
    auto* w = dynamic_cast<TWinControl*>(link.FOwnerControl);
    switch (message.Msg) {
    case WM_UPDATEUISTATE:
        if (link.Skinned()) return true;
        if (w && w->HandleAllocated()) SetEmptyTheme(w->Handle());
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        FocusChange(link, message.Msg == WM_SETFOCUS);
        return false;
    case WM_MOVE:
        if (DependsOnParentBG(&link)) {
            link.CacheDirty = true;
            if (link.FOwnerControl)
                link.FOwnerControl->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdParentBGChanged, 1), 0);
            RemoveGlow(&link);
        }
        return false;
    case WM_SIZE:
        if (link.Skinned()) {
            link.CacheDirty = true;
            const TsGeneralData& g = link.GetSkinManager()->GeneralData[static_cast<size_t>(link.SkinIndex)];
            if (g.GradientPercent > 0) ToChildren(link, cmdParentBGChanged, 1, true);
            RemoveGlow(&link);
        }
        return false;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
        link.MouseAbove = false;
        link.Focused = false;
        if (link.FOwnerControl && !link.FOwnerControl->Enabled()) RemoveGlow(&link);
        return false;
    case WM_CONTEXTMENU:
        if (link.FOwnerControl && link.FOwnerControl->PopupMenu())
            if (TsSkinManager* m = link.GetSkinManager())
                if (auto f = WindowSkinningHooks().SkinPopupMenu) f(link.FOwnerControl->PopupMenu(), m->Active());
        return false;
    case WM_PARENTNOTIFY:
        if (LOWORD(message.WParam) == WM_CREATE && w)
            if (auto notify = WindowSkinningHooks().NotifyParentForm) notify(w);
        return false;
    case CM_VISIBLECHANGED:
        if (link.FCacheBmp) {
            if (message.WParam != 0) {
                link.BGChanged = false;
                link.CacheDirty = true;
            } else {
                link.FCacheBmp->SetSize(0, 0);
            }
        }
        return false;
    case CM_MOUSEENTER:
        MouseEnter(message, link);
        return false;
    case CM_MOUSELEAVE:
        MouseLeave(link);
        return false;
    default:
        return false;
    }
}
