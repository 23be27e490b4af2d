#include "skin/windows/sVclUtils.h"

#include "gui/Forms.h"
#include "skin/engine/sMessages.h"

LRESULT SendSkinCommand(HWND wnd, WORD command, LPARAM lParam)
{
    return SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(command), lParam);
}

LRESULT SendSkinCommandToControl(TControl* control, WORD command, LPARAM lParam)
{
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed) return control->Perform(SM_VELOCONCMD, SkinCommandWParam(command), lParam);
    if (windowed->InState(csDestroying) || !windowed->HandleAllocated()) return 0;
    return SendMessageA(windowed->Handle(), SM_VELOCONCMD, SkinCommandWParam(command), lParam);
}

LRESULT AskControl(TControl* control, WORD command) { return SendSkinCommandToControl(control, command, 0); }

bool AskWindow(HWND wnd, WORD command) { return SendSkinCommand(wnd, command, 0) == 1; }

TColor AskControlColor(TControl* control)
{
    if (!control) return clFuchsia;
    if (AskControl(control, cmdIsSkinned) == 1)
        return static_cast<TColor>(ColorToRGB(
            static_cast<TColor>(control->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdGetBGColor), clFuchsia))));
    return static_cast<TColor>(ColorToRGB(control->Color()));
}

TColor AskWindowColor(HWND wnd)
{
    if (!wnd) return clFuchsia;
    return static_cast<TColor>(ColorToRGB(static_cast<TColor>(SendSkinCommand(wnd, cmdGetBGColor, clFuchsia))));
}

void BroadcastToControls(TWinControl* control, TMessage& message)
{
    for (int i = 0; i < control->ControlCount(); ++i) {
        TControl* child = control->Controls(i);
        if (child->InState(csDestroying)) return;
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed || !windowed->HandleAllocated()) child->Perform(message.Msg, message.WParam, message.LParam);
        else if ((AskControl(windowed, cmdIsSkinned) & 0xFF) != 0)
            SendMessageA(windowed->Handle(), message.Msg, message.WParam, message.LParam);
        else BroadcastToControls(windowed, message);
    }
}

bool ControlIsReady(TControl* control)
{
    if (!control) return false;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (windowed && !windowed->HandleAllocated()) return false;
    if (control->InState(csCreating | csReading | csLoading | csDestroying)) return false;
    return control->Parent() != nullptr;
}

LRESULT NotifyParentForm(TControl* control)
{
    if (control->InState(csLoading)) return 0;
    TForm* form = GetParentForm(control);
    while (form && form->Parent())
        form = GetParentForm(form->Parent());
    if (!form) return 0;
    return SendMessageA(form->Handle(), SM_VELOCONCMD, SkinCommandWParam(25), reinterpret_cast<LPARAM>(control));
}

TComponent* FindHostOwner(TComponent*) { return nullptr; }

HWND AnimationWindow = nullptr;
bool SkinChangingFlag = false;
bool SkipGraphicChildren = false;

void AnimShowForm(TForm* form, int, int, int)
{
    if (form && form->HandleAllocated())
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
