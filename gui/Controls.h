// Controls: TControl (position, size, caption, colour, font, mouse events, its own message
// dispatch through WindowProc and Perform), TWinControl (a window of its own, its children,
// keyboard events, the window-procedure subclass chain) and TGraphicControl (no window: drawn
// by its parent, reached only through Perform), plus TCustomControl, a window of this
// library's own class with a canvas.
//
// Every message of a control goes through WindowProc: the hooks on it, the last added first,
// then the control's own WndProc. A hook sees the message, may answer it, and hands it on to
// the rest of the chain below it through `inherited`:
//
//   int id = edit->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
//       if (m.Msg == CN_KEYDOWN && m.WParam == VK_F2) { m.Result = 1; return; } // swallowed
//       inherited(m);
//   });
//   ...
//   edit->UnhookWindowProc(id); // in any order: the hooks above it keep working
//
// Windowed parents (forms, panels, group boxes) paint their graphic children after their own
// background, hand them the mouse messages over them, and send them CM_MOUSEENTER and
// CM_MOUSELEAVE as the pointer moves between them (gui/Messages.h lists the notifications).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/Messages.h"
#include "gui/base/Classes.h"

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};
using TWndMethod = std::function<void(TMessage&)>;

// Whether a notification's wParam or lParam is a control or a structure of this process; such
// a message is obeyed only when sent within the window's own thread.
bool NotificationCarriesPointer(UINT msg);

// Notifications a parent hands back to the child they concern: WM_COMMAND, WM_NOTIFY,
// WM_CTLCOLORxxx, WM_DRAWITEM, WM_MEASUREITEM and scroll messages arrive as CN_BASE + message
// (gui/Messages.h). The control is known to its window from the start of CreateWindowEx, so the
// messages sent while the window is created (WM_MEASUREITEM of an owner-drawn list) reach it.

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
TShiftState KeyboardShiftState();

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// Borders: a form takes them all; a control's TBorderStyle is bsNone or bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
// Reading order and alignment of texts: right-to-left modes mirror the alignment
// (bdRightToLeft) and read right to left (all three).
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// What a control is doing now (TControl::ControlState).
enum : unsigned {
    csLButtonDown = 0x01,     // the left button went down in it and is not released yet
    csPaintCopy = 0x02,       // it paints into another DC (PaintTo), not onto the screen
    csCustomPaint = 0x04,     // its own Paint runs
    csAlignmentNeeded = 0x08, // its children wait to be aligned (asked while loading)
    csReadingState = 0x10,    // its properties are read from a form description
};
// What a control is like (TControl::ControlStyle).
enum : unsigned {
    csOpaque = 0x01,          // it paints its whole rectangle: nothing under it is erased
    csCaptureMouse = 0x02,    // a press in it keeps the mouse until the release (graphic controls)
    csNoDesignVisible = 0x04, // hidden at design time (design mode is never set here)
};

class TWinControl;
class TPopupMenu;
class TForm;

class TControl : public TComponent {
    GUI_CLASS(TControl, TComponent)
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    virtual void SetClientSize(int width, int height);
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    virtual std::string Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    const std::string& Hint() const { return hint_; }
    virtual void SetHint(const std::string& hint) { hint_ = hint; }

    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    TFont& Font() { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

    // The control's own message dispatch: the hooks, the last added first, then WndProc.
    void WindowProc(TMessage& m);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // A hook gets every message before the hooks added earlier and WndProc, and passes it on
    // through `inherited` (or answers it itself by leaving that out).
    using TWndProcHook = std::function<void(TMessage& m, const TWndMethod& inherited)>;
    // Adds a hook; the answer (from 1 on) names it for the removal.
    int HookWindowProc(TWndProcHook hook);
    // Removes a hook, whichever place it has; a message running through it finishes, and the
    // next one skips it. Unknown ids are ignored.
    void UnhookWindowProc(int id);

    unsigned ControlState() const { return controlState_; }
    void SetControlState(unsigned flags) { controlState_ |= flags; }
    void ClearControlState(unsigned flags) { controlState_ &= ~flags; }
    unsigned ControlStyle() const { return controlStyle_; }
    void SetControlStyle(unsigned style) { controlStyle_ = style; }

    // Right-to-left reading and alignment. A control with ParentBiDiMode (the default) takes
    // its parent's mode and follows it; setting BiDiMode ends that. Each change sends
    // CM_BIDIMODECHANGED to the control.
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode mode);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
    bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
    // DrawText flags for the mode: a right-to-left alignment swaps DT_LEFT and DT_RIGHT (DT_CENTER
    // stays), right-to-left reading adds DT_RTLREADING (bdRightToLeft: DT_LEFT -> DT_RIGHT |
    // DT_RTLREADING).
    UINT DrawTextBiDiModeFlags(UINT flags) const;
    UINT DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }

    virtual void Invalidate();
    virtual void Repaint();
    virtual void Click();
    virtual void BringToFront();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter; // on CM_MOUSEENTER
    TNotifyEvent OnMouseLeave; // on CM_MOUSELEAVE

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;
    void Loaded() override;
    void Notification(TComponent* component) override;
    void SetParentComponent(TComponent* parent) override;

protected:
    virtual void WndProc(TMessage& m);
    // What the window or control does by itself with a message nobody handled.
    virtual void DefaultHandler(TMessage& m);
    virtual void FontChanged();
    virtual void ColorChanged();
    // Whether a left button release in the control is a click (buttons click by notification).
    virtual bool ClickOnMouseUp() const { return true; }
    void MouseMessage(TMessage& m);
    void ParentFontChanged();
    void ParentBiDiModeChanged();
    // The control's value changed: CM_CHANGED to itself.
    void Changed();
    // The font changed (its own or the parent's): FontChanged and CM_FONTCHANGED.
    void NotifyFontChanged();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true;
    std::string caption_, hint_;
    TColor color_ = clBtnFace;
    TFont font_;
    bool parentFont_ = true;
    bool parentColor_ = false;
    TAlign align_ = alNone;
    TPopupMenu* popupMenu_ = nullptr;
    std::string popupMenuName_;
    TBiDiMode biDiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    unsigned controlState_ = 0;
    unsigned controlStyle_ = csCaptureMouse;

    friend class TWinControl;

private:
    struct THookEntry {
        int id;
        TWndProcHook hook;
        bool removed = false;
    };
    // The hooks below `level` (an index into a snapshot of the chain), then WndProc.
    void CallChain(const std::vector<std::shared_ptr<THookEntry>>& chain, size_t level, TMessage& m);
    std::vector<std::shared_ptr<THookEntry>> hooks_;
    int lastHookId_ = 0;
};

struct TCreateParams {
    std::string className; // a registered class, or the class this library registers
    bool ownClass = false; // register className with DefWindowProc (forms, panels, ...)
    UINT classStyle = CS_DBLCLKS;
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
};

class TWinControl : public TControl {
    GUI_CLASS(TWinControl, TControl)
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Destroys the window while the derived control still exists.
    void BeforeDestruction() override;
    // The window; made (with the parents' windows) when first asked for.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // The control of a window of this library, in this process.
    static TWinControl* FromHandle(HWND wnd);

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    // The place among the parent's windowed children that Tab visits. Set while a description
    // is read it is a sort key; set later it moves the control there and renumbers the others.
    // Children without one keep their creation order.
    int TabOrder() const;
    void SetTabOrder(int order);
    // The windowed children in the order Tab visits them.
    std::vector<TWinControl*> TabList() const;
    // Whether the control keeps Tab for itself instead of passing the focus on.
    virtual bool WantsTab() const { return false; }

    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientSize(int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    std::string Caption() const override;
    void SetCaption(const std::string& caption) override;
    void Invalidate() override;
    void Repaint() override;
    void BringToFront() override;
    // Positions aligned children in the client area, inside BorderWidth.
    void AlignControls();
    // Room kept free inside the client area along every edge when children are aligned.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    // Destroys the window and makes a new one: text, items, selection, check state, scroll
    // position, events and hooks stay, and so do the windows of the children.
    virtual void RecreateWnd();
    // Paints the control as it looks into a DC at (x, y): its border, its client area through
    // WM_PRINTCLIENT (graphic children included), then its windowed children at their places.
    // The window need not be visible.
    void PaintTo(HDC dc, int x, int y);

    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;

    // The window procedure of every window of this library.
    static LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    void WndProc(TMessage& m) override;
    void DefaultHandler(TMessage& m) override;
    void FontChanged() override;
    void ColorChanged() override;
    virtual void CreateParams(TCreateParams& params);
    // Creates the window and then the windows of the children.
    virtual void CreateHandle();
    // After the window exists: font, texts, state.
    virtual void CreateWnd();
    // Before the window goes: what only the window holds is kept in the control (the text;
    // lists their items and selection), so that a new window gets it back.
    virtual void DestroyWnd();
    virtual void DestroyHandle();
    // The window itself goes (DestroyWindow; an MDI child asks its client window).
    virtual void DestroyWindowHandle();
    // After the aligned children took their places: the room they left free (client
    // coordinates).
    virtual void ControlsAligned(const RECT& /*rest*/) {}
    // The background brush for WM_CTLCOLORxxx and erasing; none keeps the system's.
    virtual HBRUSH BackgroundBrush();
    // Whether this control paints its text with its own colours on WM_CTLCOLORxxx.
    virtual bool UsesOwnColors() const { return color_ != clBtnFace || font_.Color() != clWindowText; }
    virtual void PaintControls(HDC dc);
    // CM_SHOWINGCHANGED to the control and its windowed children that are visible themselves.
    void ShowingChanged();
    // A visible graphic child under the point (client coordinates), or none; only enabled
    // ones unless `disabledToo`.
    TControl* GraphicControlAt(POINT p, bool disabledToo = false) const;

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;
    TBrush brush_;
    bool tabStop_ = false;
    int tabOrder_ = -1;
    int borderWidth_ = 0;

private:
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    // Enter and leave of the window (client area and frame) and of its graphic children.
    void TrackMouse(const TMessage& m);
    void TrackPart(bool nonClient);
    void SetMouseControl(TControl* c);
    // Mouse messages over graphic children go to them; true when one took the message.
    bool GraphicMouseMessage(TMessage& m);
    // WM_PAINT of a system control with graphic children: the control paints into the DC,
    // then the children.
    void PaintWithGraphicChildren(TMessage& m);
    bool mouseInside_ = false;           // the mouse is tracked until it leaves the window
    bool trackingNonClient_ = false;     // which part of the window the tracking watches
    int retracks_ = 0;                   // leave reports answered by watching again, since the last move
    TControl* mouseControl_ = nullptr;   // the graphic child under the pointer
    TControl* captureControl_ = nullptr; // the graphic child that holds the mouse
    // Ties the control to its window: the object property, the name atom, the subclass.
    void Attach(HWND wnd);
    void Detach();
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    ATOM nameAtom_ = 0;
    friend class TControl;
};

// A control without a window of its own, drawn by its parent onto the parent's canvas (its
// origin at the control's top left, clipped to it). It has no name atom either: another
// process reads it through its form (QueryControl in gui/Automation.h). It paints on
// WM_PAINT with a DC in wParam (Perform(WM_PAINT, dc)): Paint on a canvas bound to that DC;
// parents paint their graphic children through that message, so hooks see it.
class TGraphicControl : public TControl {
    GUI_CLASS(TGraphicControl, TControl)
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
    virtual void Paint(TCanvas& canvas) = 0;

protected:
    void WndProc(TMessage& m) override;
};

// A window of this library's own class that paints itself on a canvas (forms, panels, images,
// gauges) and hosts graphic controls.
class TCustomControl : public TWinControl {
    GUI_CLASS(TCustomControl, TWinControl)
    explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
    // Valid only while painting.
    TCanvas& Canvas() { return canvas_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    virtual void Paint(TCanvas&) {}
    TCanvas canvas_;

private:
    // The background, Paint and the graphic children into a DC (WM_PAINT, WM_PRINTCLIENT).
    void PaintWindow(HDC dc, bool erase);
};

// The form that holds a control, or none.
TForm* GetParentForm(const TControl* control);
// The module whose resources and window classes the library uses (the one it is linked into).
HINSTANCE LibraryInstance();
