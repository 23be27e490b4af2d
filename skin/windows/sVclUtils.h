// The senders of the skin command message and the queries built on them, through which
// skinned windows, adapters and controls talk to their neighbours. wParam of every command
// sent here is the command in the high word and 0 in the low word; the answer is the result.
// Beside them: the broadcasts over a control's children and a window's child windows, a few
// lookups, the alignment flags of skinned captions, the painting of a container's graphic
// children (PaintControls) and the platform's theme switch (SetWindowThemeProc), bound by the
// module's start step:
//
//   VclUtilsStart();                                   // "UXTHEME" loaded, SetWindowTheme taken
//   if (SetWindowThemeProc) SetWindowThemeProc(wnd, L" ", L" ");   // the theme off
//   ::PaintControls(dc, panel, TPoint{0, 0});          // labels and gauges over the panel's cache
//   VclUtilsEnd();                                     // the library freed
#pragma once

#include <windows.h>

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"

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

// Command 6 to every child in child order that is not a graphic control and not being destroyed:
// a windowed child only while it has a handle and is showing (SendMessage). Nothing at all while
// AnimationRunning is set.
void SendEndUpdateToChildren(TWinControl* control);
// Command 6 by SendMessage to each window from GetTopWindow(wnd) along GW_HWNDNEXT whose style
// has WS_CHILD; AnimationRunning does not matter here.
void SendEndUpdateToChildWindows(HWND wnd);
// The message by SendMessage to every child window whose parent is wnd itself (grandchildren
// get nothing); the enumeration always runs to its end.
void BroadcastToChildWindows(HWND wnd, TMessage& message);
// The message to the empty handler of the first skin provider the form owns that is not being
// destroyed: no further effect.
void SendToProvider(TComponent* form, TMessage& message);
// The first form on the owner chain from the component itself (the component when it is a
// form); none when there is none.
TForm* GetOwnerForm(TComponent* component);
// DrawText flags of a skinned caption: DT_LEFT, DT_RIGHT or DT_CENTER for the alignment, with
// DT_EXPANDTABS | DT_VCENTER, through the control's reading order (DrawTextBiDiModeFlags: a
// right-to-left alignment swaps left and right, right-to-left reading adds DT_RTLREADING):
// taLeftJustify on bdRightToLeft gives DT_RIGHT | DT_EXPANDTABS | DT_VCENTER | DT_RTLREADING.
UINT TextAlignFlags(const TControl* control, TAlignment alignment);
// The client rectangle of wnd relative to its window rectangle's top-left corner (a window
// with a 2-pixel edge: (2, 2, 2 + client width, 2 + client height)).
void GetClientRectInWindow(HWND wnd, RECT& r);
// The sum of the heights (alTop, alBottom) or widths (alLeft, alRight) of the visible children
// aligned so; 0 for other alignments. Graphic children count only with includeGraphic.
int SumAlignedSizes(const TWinControl* control, TAlign align, bool includeGraphic);
// The top-level ancestor (GetParent until none); wnd itself without a parent.
HWND GetTopParentWindow(HWND wnd);
// The cursor's position on the screen.
void GetCursorPosition(POINT& p);
// The window's region covers the same area as rgn (false for a window without a region).
bool HasWindowRegion(HWND wnd, HRGN rgn);
// SetWindowRgn(wnd, rgn, redraw), unless the window's region covers that area already: rgn is
// then deleted and nothing happens (under Wine every setting reshapes the window and repaints
// it at once). True when the region was set.
bool SetWindowRgnIfChanged(HWND wnd, HRGN rgn, BOOL redraw);

// Paints the container's graphic children into dc, where the container has just painted its
// own background and its client origin lies at offset. A child is painted when it is visible,
// at least 1 x 1, not being destroyed and its rectangle (at offset) is visible in dc: into a
// memory bitmap of the container's size over its part of the container's background (its
// answer to command 34: its cache bitmap, else its colour; an opaque child over its own colour)
// through Perform(WM_PAINT, memory DC); then copied to dc, unless the child left its top-left
// pixel 0xFF00FF (then nothing of it is copied). An empty clip box in dc sends command 22 to
// the container instead (its cached look is out of date). A call made while another runs (a
// child painting its own graphic children) paints nothing.
void PaintControls(HDC dc, TWinControl* control, TPoint offset);

// Set while a form's show animation runs or a hide animation is being prepared; the end of an
// update is then not passed to children (SendEndUpdateToChildren).
extern bool AnimationRunning;

// The platform's SetWindowTheme of "UXTHEME" (window, sub-application name, sub-id list),
// bound by VclUtilsStart; none when the library or the entry point is missing, or before the
// start. Callers skip the call when it is none. Tests replace it (tests/support/ThemeRecorder.h).
using TSetWindowThemeProc = HRESULT(WINAPI*)(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList);
extern TSetWindowThemeProc SetWindowThemeProc;
// SetWindowThemeProc called when there is one (E_NOTIMPL otherwise): the one way every caller
// (the skin link's theme switch too) reaches the platform's routine.
HRESULT CallSetWindowTheme(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList);
// Visual themes are in use (the library's IsAppThemed says so).
bool ThemesEnabled();
// The module's start: the first one loads "UXTHEME" and takes SetWindowTheme and IsAppThemed
// from it; later ones only count. The end matching the first start frees the library and
// clears the entry points.
void VclUtilsStart();
void VclUtilsEnd();

// The copy window of a form's show or hide animation while one exists (skin/windows/
// sAnimations.h), else 0.
extern HWND AnimationWindow;
// True while skinned forms are frozen for a skin change of the default manager; painting holds
// back meanwhile.
extern bool SkinChangingFlag;
// Graphic children are neither excluded from clipping nor painted separately.
extern bool SkipGraphicChildren;
// Shows a visible form's new image animated (time in ms, capped at 1000; the final constant
// alpha; mode 0 fading, 1 aero): through a layered copy window for a skinned form, else through
// the output window (skin/windows/sAnimations.h). Returns when the animation is over: true when
// the form was redrawn whole at its end (false when nothing was animated).
bool AnimShowForm(TForm* form, int time, int finalAlpha, int mode);
