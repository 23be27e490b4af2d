// The mouse side of the skinned title bar: the hot and pressed title buttons and what a release
// over one does, the user buttons' hints, double and right clicks, the window menu from the
// icon, the keyboard and the taskbar, the system commands the provider takes part in, and the
// outline drag of ResizeMode rmBorder.
#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "gui/Forms.h"
#include "gui/HintWindow.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sSysMenu.h"

namespace {

// A title button was pressed and is not released yet (one for the program).
bool mousePressed = false;

// The outline drag of rmBorder (one for the program).
struct TOutlineDrag {
    bool dragging = false, moving = false;
    TsSkinProvider* provider = nullptr;
    HWND desktop = nullptr;
    HDC dc = nullptr;
    int savedDC = 0;
    int sizingCode = 0;
    POINT start{};
    RECT startRect{}, outline{};
    TSizeConstraints constraints;
};
TOutlineDrag drag;

void Polyline(HDC dc, const RECT& r)
{
    const POINT points[5] = {
        {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}, {r.left, r.top}};
    ::Polyline(dc, points, 5);
}

RECT WorkArea(HWND wnd)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

// A point of a mouse message in screen coordinates (client messages are relative to the window).
POINT ScreenPoint(HWND wnd, const TMessage& m)
{
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    if (m.Msg < WM_NCMOUSEMOVE || m.Msg > WM_NCMBUTTONDBLCLK) ClientToScreen(wnd, &p);
    return p;
}

} // namespace

// ---- hot and pressed buttons

void TsSkinProvider::SetHotButton(int code, bool repaint)
{
    if (!drawNonClientArea_) return;
    if (code == currentButton_ || (currentButton_ == -1 && code == 0)) return;
    if (TsCaptionButton* old = ButtonByCode(currentButton_)) {
        old->State = 0;
        if (currentButton_ >= htUserButton) HideButtonHint(titleButtons_.Items(currentButton_ - htUserButton));
        if (repaint) RepaintButton(currentButton_);
    }
    currentButton_ = code;
    mousePressed = false;
    if (TsCaptionButton* now = ButtonByCode(code)) {
        now->State = 1;
        if (code >= htUserButton) ShowButtonHint(titleButtons_.Items(code - htUserButton));
        if (repaint) RepaintButton(code);
    }
}

void TsSkinProvider::PressButton(int code)
{
    if (currentButton_ != code)
        if (TsCaptionButton* old = ButtonByCode(currentButton_)) {
            old->State = 0;
            if (currentButton_ >= htUserButton) HideButtonHint(titleButtons_.Items(currentButton_ - htUserButton));
            RepaintButton(currentButton_);
        }
    currentButton_ = code;
    if (code == HTMAXBUTTON && systemMenu_ && !systemMenu_->EnabledMax() &&
        !(IsZoomed(form_->Handle()) && systemMenu_->EnabledRestore())) {
        currentButton_ = 0;
        return;
    }
    TsCaptionButton* b = ButtonByCode(code);
    if (!b) return;
    b->State = 2;
    mousePressed = true;
    RepaintButton(code);
}

void TsSkinProvider::ShowButtonHint(TsTitleButton& button)
{
    if (button.Hint.empty() || button.HintWindow) return;
    button.HintWindow.reset(new THintWindow(nullptr));
    THintWindow& hint = *button.HintWindow;
    const TRect size = hint.CalcHintRect(800, button.Hint);
    POINT cursor;
    GetCursorPos(&cursor);
    // At the cursor + (8, 16), inside the work area, 4 pixels higher than measured.
    const RECT work = WorkArea(form_->Handle());
    const int w = size.Right - size.Left, h = size.Bottom - size.Top;
    const int x = std::min<int>(cursor.x + 8, work.right - w), y = std::min<int>(cursor.y + 16, work.bottom - h);
    const TRect r{x, y, x + w, y + h + 4};
    hint.SetCaption(button.Hint);
    hint.SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    const HWND wnd = hint.Handle();
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    BOOL animation = FALSE, fade = FALSE;
    SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
    SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    if (button.Hint.size() < 100 && animation && fade) AnimateWindow(wnd, 200, AW_BLEND);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    InvalidateRect(wnd, nullptr, TRUE);
}

void TsSkinProvider::HideButtonHint(TsTitleButton& button) { button.HintWindow.reset(); }

// ---- the title bar's mouse messages

void TsSkinProvider::NcLButtonDown(TMessage& m, const TWndMethod& old)
{
    if (!drawNonClientArea_) {
        old(m);
        return;
    }
    const HWND wnd = form_->Handle();
    const int code = static_cast<int>(m.WParam);
    switch (code) {
    case HTSYSMENU:
        SetHotButton(0, true);
        ShowSystemMenuBelowIcon(true);
        return;
    case HTMENU:
        old(m);
        return;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
        PressButton(code);
        return;
    case htMDIMinimise:
    case htMDIRestore:
    case htMDIClose: {
        // As the window menu of the active child allows (of the child that painted last when the
        // active one has no provider; a plain child's buttons are always pressed).
        TsSkinProvider* child = Of(form_->ActiveMDIChild());
        if (!child) child = LastPaintedMDIChild();
        const TsSystemMenu* s = child ? child->systemMenu_ : nullptr;
        if (!s || (code == htMDIClose ? s->EnabledMin() : code == htMDIRestore ? s->EnabledRestore() : true))
            PressButton(code);
        return;
    }
    default:
        break;
    }
    if (code >= htUserButton && code - htUserButton < titleButtons_.Count()) {
        PressButton(code);
        POINT p = ScreenPoint(wnd, m);
        ScreenToClient(wnd, &p);
        titleButtons_.Items(code - htUserButton).DoMouseDown(mbLeft, KeyboardShiftState(), p.x, p.y);
        return;
    }
    if (IsIconic(wnd)) {
        form_->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        return;
    }
    SetHotButton(0, true);
    if (IsZoomed(wnd)) {
        // A maximised form does not move: a click in its title only activates it.
        POINT p;
        ScreenToImage(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam), p);
        if (p.y < FrameWidth(wnd, borderForm_, false) + CaptionHeight(true)) {
            if (GetActiveWindow() != wnd) SetActiveWindow(wnd);
            return;
        }
    }
    if (ResizeMode == rmBorder) {
        if (code == HTMENU) {
            old(m);
            return;
        }
        if (GetActiveWindow() != wnd) SetActiveWindow(wnd);
        sizingCode_ = code >= HTLEFT && code <= HTBOTTOMRIGHT ? code : 0;
        form_->Perform(WM_SYSCOMMAND, sizingCode_ ? SC_SIZE : SC_MOVE, m.LParam);
        return;
    }
    old(m);
}

void TsSkinProvider::ButtonRelease(TMessage& m, const TWndMethod& old)
{
    if (!drawNonClientArea_) {
        old(m);
        return;
    }
    const HWND wnd = form_->Handle();
    const POINT screen = ScreenPoint(wnd, m);
    if (drag.dragging && drag.provider == this) {
        EndOutlineDrag(screen.x, screen.y, false);
        return;
    }
    const int code = m.Msg == WM_NCLBUTTONUP ? static_cast<int>(m.WParam) : TitleButtonHit([&] {
        POINT p;
        ScreenToImage(screen.x, screen.y, p);
        return p;
    }());
    const bool ours = code == HTCLOSE || code == HTMAXBUTTON || code == HTMINBUTTON || code == HTHELP ||
                      (code >= htMDIMinimise && code <= htMDIClose) ||
                      (code >= htUserButton && code - htUserButton < titleButtons_.Count());
    if (!ours || !mousePressed || code != currentButton_) {
        if (mousePressed || currentButton_ > 0) SetHotButton(0, true);
        old(m);
        return;
    }
    const std::shared_ptr<bool> alive = alive_;
    switch (code) {
    case HTCLOSE:
        SetHotButton(0, true);
        SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    case HTMAXBUTTON:
        SetHotButton(0, true);
        if (IsZoomed(wnd)) SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        else SendMessageA(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        if (*alive && systemMenu_) systemMenu_->UpdateItems(false);
        return;
    case HTMINBUTTON: {
        POINT cursor, p;
        GetCursorPos(&cursor);
        ScreenToImage(cursor.x, cursor.y, p);
        const TRect& r = buttons_[0].Rect;
        if (p.x < r.Left || p.x >= r.Right || p.y < r.Top || p.y >= r.Bottom) {
            old(m);
            return;
        }
        SetHotButton(0, true);
        if (Application && form_ == Application->MainForm()) {
            minimizing_ = true;
            SendMessageA(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            if (!*alive) return;
            minimizing_ = false;
        } else {
            SendMessageA(wnd, WM_SYSCOMMAND, IsIconic(wnd) ? SC_RESTORE : SC_MINIMIZE, 0);
            if (!*alive) return;
        }
        FlagImageChanged();
        return;
    }
    case htMDIMinimise:
    case htMDIRestore:
    case htMDIClose: {
        // The command goes to the main form's active child.
        SetHotButton(0, true);
        const HWND client = form_->ClientHandle();
        const HWND child = client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
        if (!child) return;
        const WPARAM command = code == htMDIClose ? SC_CLOSE : code == htMDIRestore ? SC_RESTORE : SC_MINIMIZE;
        if (code == htMDIMinimise) BeginFormUpdate();
        SendMessageA(child, WM_SYSCOMMAND, command, 0);
        if (code == htMDIMinimise && *alive) EndFormUpdate();
        if (*alive) RefreshMdiMain(true);
        return;
    }
    case HTHELP:
        SendMessageA(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        if (!*alive) return;
        SetHotButton(0, true);
        if (systemMenu_) systemMenu_->UpdateItems(false);
        form_->Perform(WM_NCPAINT, 0, 0);
        return;
    default: {
        POINT p = screen;
        ScreenToClient(wnd, &p);
        titleButtons_.Items(code - htUserButton).DoMouseUp(mbLeft, KeyboardShiftState(), p.x, p.y);
        if (*alive) SetHotButton(0, true);
        return;
    }
    }
}

void TsSkinProvider::NcLButtonDblClk(TMessage& m)
{
    const HWND wnd = form_->Handle();
    if (drag.dragging && drag.provider == this) {
        POINT p;
        GetCursorPos(&p);
        EndOutlineDrag(p.x, p.y, false);
    }
    TsSkinManager* manager = SkinManager();
    switch (m.WParam) {
    case HTSYSMENU:
        if (manager && !manager->SkinnedPopups()) skinData_->Updating = true;
        CloseForm();
        break;
    case HTCAPTION:
        if (systemMenu_ && systemMenu_->VisibleClose() &&
            (systemMenu_->EnabledMax() || systemMenu_->EnabledRestore())) {
            const std::shared_ptr<bool> alive = alive_;
            SendMessageA(wnd, WM_SYSCOMMAND, IsZoomed(wnd) || IsIconic(wnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (*alive && systemMenu_) systemMenu_->UpdateItems(false);
        } else if (IsIconic(wnd) || !HasBorder()) {
            SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        }
        break;
    default:
        break;
    }
    m.WParam = 0;
}

void TsSkinProvider::NcRButtonUp(TMessage& m, const TWndMethod& old)
{
    if (!HasBorder()) {
        old(m);
        return;
    }
    const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    const int code = HitTest(p);
    if (code == HTCAPTION || code == HTSYSMENU) {
        SetHotButton(0, true);
        ShowSystemMenu(p.x, p.y);
    }
}

void TsSkinProvider::ShowSystemMenuBelowIcon(bool fromIcon)
{
    TsSkinManager* manager = SkinManager();
    if (!manager || !form_->HandleAllocated()) return;
    if (fromIcon && !manager->SkinnedPopups()) {
        // A double click closes the form: wait for it before the menu opens.
        const std::shared_ptr<bool> alive = alive_;
        skinData_->Updating = false;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 200) {
            Application->ProcessMessages();
            if (!*alive || form_->InState(csDestroying) || !form_->HandleAllocated()) return;
            if (skinData_->Updating) {
                skinData_->Updating = false;
                return;
            }
            Sleep(5);
        }
    }
    RECT w{};
    GetWindowRect(form_->Handle(), &w);
    const TRect icon = TitleIconRect();
    ShowSystemMenu(w.left, w.top + icon.Top + TitleIconHeight() + FrameWidth(form_->Handle(), borderForm_, false));
}

void TsSkinProvider::SysCommand(TMessage& m, const TWndMethod& old)
{
    const HWND wnd = form_->Handle();
    const UINT command = static_cast<UINT>(m.WParam & 0xFFF0);
    if (m.WParam == (SC_MOVE | HTCAPTION))
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    if (ResizeMode == rmBorder && !drag.dragging && (command == SC_MOVE || command == SC_SIZE) && drawNonClientArea_) {
        POINT p;
        GetCursorPos(&p);
        if (command == SC_SIZE && !sizingCode_) sizingCode_ = HTBOTTOMRIGHT;
        SetCapture(wnd);
        BeginOutlineDrag(p.x, p.y, command == SC_MOVE);
        return;
    }
    if (MDISysCommand(m, old)) return;
    if (command == SC_KEYMENU && m.LParam == ' ' && systemMenu_ && systemMenu_->VisibleClose() && HasBorder()) {
        ShowSystemMenuBelowIcon(false);
        return;
    }
    if (!CallOld(m, old)) return;
    switch (command) {
    case SC_MINIMIZE:
        if (FormImage()) FormImage()->SetSize(0, 0);
        break;
    case SC_MAXIMIZE:
    case SC_RESTORE:
        if (systemMenu_ && systemMenu_->VisibleMax()) {
            currentButton_ = HTMAXBUTTON;
            SetHotButton(0, true);
        }
        if (command == SC_RESTORE) {
            FlagImageChanged();
            if (!HasBorder()) SetWindowRgn(wnd, nullptr, TRUE);
            else RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        }
        break;
    default:
        break;
    }
}

// ---- the outline drag

bool TsSkinProvider::OutlineDragging() { return drag.dragging; }

void TsSkinProvider::BeginOutlineDrag(int x, int y, bool moving)
{
    if (ResizeMode != rmBorder || !form_->HandleAllocated()) return;
    drag = TOutlineDrag{};
    drag.dragging = true;
    drag.moving = moving;
    drag.provider = this;
    drag.desktop = GetDesktopWindow();
    drag.dc = GetDCEx(drag.desktop, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!drag.dc) drag.dc = GetWindowDC(drag.desktop);
    drag.savedDC = SaveDC(drag.dc);
    SetROP2(drag.dc, R2_NOT);
    SelectObject(drag.dc, GetStockObject(NULL_BRUSH));
    drag.start = POINT{x, y};
    GetWindowRect(form_->Handle(), &drag.startRect);
    drag.outline = drag.startRect;
    drag.constraints = form_->Constraints();
    drag.sizingCode = sizingCode_;
    Polyline(drag.dc, drag.outline);
}

void TsSkinProvider::DrawOutline(int x, int y)
{
    if (!drag.dragging || drag.provider != this) return;
    Polyline(drag.dc, drag.outline); // the last one away
    RECT r = drag.startRect;
    const int dx = x - drag.start.x, dy = y - drag.start.y;
    if (drag.moving) {
        OffsetRect(&r, dx, dy);
        if (ScreenSnap) {
            int left = r.left, top = r.top;
            const int w = r.right - r.left, h = r.bottom - r.top;
            SnapToWorkArea(left, top, w, h);
            r = RECT{left, top, left + w, top + h};
        }
    } else {
        const int code = drag.sizingCode;
        const bool left = code == HTLEFT || code == HTTOPLEFT || code == HTBOTTOMLEFT;
        const bool right = code == HTRIGHT || code == HTTOPRIGHT || code == HTBOTTOMRIGHT;
        const bool top = code == HTTOP || code == HTTOPLEFT || code == HTTOPRIGHT;
        const bool bottom = code == HTBOTTOM || code == HTBOTTOMLEFT || code == HTBOTTOMRIGHT;
        const TSizeConstraints& c = drag.constraints;
        const int minW = std::max(c.MinWidth, GetSystemMetrics(SM_CXMINTRACK));
        const int minH = std::max(c.MinHeight, GetSystemMetrics(SM_CYMINTRACK));
        const auto fit = [](int size, int low, int high) {
            return std::max(low, high > 0 ? std::min(size, high) : size);
        };
        if (left) r.left = r.right - fit(r.right - r.left - dx, minW, c.MaxWidth);
        if (right) r.right = r.left + fit(r.right - r.left + dx, minW, c.MaxWidth);
        if (top) r.top = r.bottom - fit(r.bottom - r.top - dy, minH, c.MaxHeight);
        if (bottom) r.bottom = r.top + fit(r.bottom - r.top + dy, minH, c.MaxHeight);
    }
    drag.outline = r;
    Polyline(drag.dc, drag.outline);
}

void TsSkinProvider::EndOutlineDrag(int x, int y, bool cancelled)
{
    if (!drag.dragging || drag.provider != this) return;
    DrawOutline(x, y);
    if (GetCapture() == form_->Handle()) ReleaseCapture();
    drag.dragging = false;
    Polyline(drag.dc, drag.outline);
    RestoreDC(drag.dc, drag.savedDC);
    ReleaseDC(drag.desktop, drag.dc);
    drag.dc = nullptr;
    sizingCode_ = 0;
    const RECT r = drag.outline;
    const bool moved = drag.moving;
    drag.provider = nullptr;
    if (cancelled && !moved) return;
    // An MDI child's place is in its client window's coordinates.
    POINT topLeft{r.left, r.top};
    if (IsMDIChild())
        if (const HWND parent = GetParent(form_->Handle())) ScreenToClient(parent, &topLeft);
    MoveWindow(form_->Handle(), topLeft.x, topLeft.y, r.right - r.left, r.bottom - r.top, TRUE);
}
