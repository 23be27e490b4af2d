// The senders of the skin command message and the queries built on them, through which
// skinned windows, adapters and controls talk to their neighbours. wParam of every command
// sent here is the command in the high word and 0 in the low word; the answer is the result.
#pragma once

#include <windows.h>

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"

// SendMessage(wnd, SM_VELOCONCMD, command << 16, lParam).
LRESULT SendSkinCommand(HWND wnd, WORD command, LPARAM lParam);
// To a graphic control through its own dispatch (Perform); to a windowed control by
// SendMessage only while it has a handle and is not being destroyed (0 otherwise: no handle
// is ever made here).
LRESULT SendSkinCommandToControl(TControl* control, WORD command, LPARAM lParam);
LRESULT AskControl(TControl* control, WORD command);
// True exactly when the window answers 1.
bool AskWindow(HWND wnd, WORD command);
// clFuchsia for none; a control that answers 1 to command 7: its answer to command 21 (asked
// through Perform, lParam clFuchsia) as RGB; any other: its own colour as RGB.
TColor AskControlColor(TControl* control);
// clFuchsia for 0; otherwise the window's answer to command 21 (lParam clFuchsia) as RGB.
TColor AskWindowColor(HWND wnd);
// Walks the children in order, stopping at the first one being destroyed: a graphic child or
// a windowed one without a handle gets the message by Perform, a windowed child that answers
// command 7 (low byte non-zero) by SendMessage; any other windowed child passes it on to its
// own children by the same rule.
void BroadcastToControls(TWinControl* control, TMessage& message);
// The control may be painted now: it exists, a windowed one has its handle, it is not being
// created, read, loaded or destroyed, and it has a parent.
bool ControlIsReady(TControl* control);
// Command 25 with the control in lParam to the window of its top-level form (nothing while
// the control is loading); the answer, or 0.
LRESULT NotifyParentForm(TControl* control);
// The nearest owner of a host class outside this system: there is none, so always none.
TComponent* FindHostOwner(TComponent* component);

// The window the animation code uses while a form or skin-change animation runs, or 0.
extern HWND AnimationWindow;
// True while skinned forms are frozen for a skin change of the default manager; painting holds
// back meanwhile.
extern bool SkinChangingFlag;
// Graphic children are neither excluded from clipping nor painted separately.
extern bool SkipGraphicChildren;
// Animates a form's repaint after a skin change (steps, alpha, time in ms): no animation is
// made yet, the form is simply repainted.
void AnimShowForm(TForm* form, int steps, int alpha, int time);
