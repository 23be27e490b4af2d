#include "skin/windows/vxScrollWnd.h"

#include <windowsx.h>

#include <algorithm>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxSBUtils.h"

namespace {

// The one pressed bar and the one hot bar of the whole program.
struct TTracking {
    int PressedBar = -1, HitPart = spNone, PressedPart = spNone;
    UINT ScrollMsg = 0;
    UINT_PTR Timer = 0;
    int ThumbSize = 0, ThumbPos = 0, ThumbOffset = 0, LastTrackPos = 0;
    RECT TrackRect{};
    HWND HotWnd = nullptr;
    int HotBar = -1, HotPart = spNone, LastHotPart = spNone;
    UINT_PTR HotTimer = 0;
    RECT HotRect{};
} track;

constexpr UINT SC_DRAGMOVE_BAR = 0xF077;
constexpr UINT CM_UIACTIVATE_MSG = 0xB029;
constexpr UINT CM_FOCUSCHANGED_MSG = 0xB007;
constexpr UINT CM_INVALIDATE_MSG = 0xB043;

bool Horizontal(int kind) { return kind == SB_HORZ; }

// The coordinate along the bar of a screen point, and the bar's ends.
int Along(int kind, POINT p) { return Horizontal(kind) ? p.x : p.y; }
int BarStart(int kind, const RECT& r) { return Horizontal(kind) ? r.left : r.top; }
int BarEnd(int kind, const RECT& r) { return Horizontal(kind) ? r.right : r.bottom; }

TThumb ThumbOfBar(const TvxScrollBar* bar, const RECT& r)
{
    return ThumbOf(bar->Numbers(), BarStart(bar->Kind, r), BarEnd(bar->Kind, r), GetScrollMetric(bar, false, false),
                   bar->MinThumbSize);
}

int PartAt(const TvxScrollBar* bar, const RECT& r, POINT screen)
{
    const int across = Horizontal(bar->Kind) ? screen.y : screen.x;
    const int lo = Horizontal(bar->Kind) ? r.top : r.left, hi = Horizontal(bar->Kind) ? r.bottom : r.right;
    if (across < lo || across >= hi) return spNone;
    return ScrollPartAt(Along(bar->Kind, screen), BarStart(bar->Kind, r), BarEnd(bar->Kind, r),
                        GetScrollMetric(bar, false, false), ThumbOfBar(bar, r));
}

RECT ToWindow(HWND wnd, RECT r)
{
    RECT w{};
    GetWindowRect(wnd, &w);
    OffsetRect(&r, -w.left, -w.top);
    return r;
}

TsSkinManager* ManagerOf(const TvxScrollWnd* a) { return a ? a->Manager() : nullptr; }

// One section part (arrow, track or thumb) into r of the bar bitmap: its background and border
// image for the state, then one frame of its glyph image centred.
void PaintPart(TBitmap* barBmp, const TRect& r, const TsCommonIndexes::TPart& part, int state, TsSkinManager* manager,
               const TsCacheInfo& cache)
{
    if (part.SkinIndex < 0 || (r.Right - r.Left) <= 0 || (r.Bottom - r.Top) <= 0) return;
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize((r.Right - r.Left), (r.Bottom - r.Top));
    BitBlt(bmp.Canvas().Handle(), 0, 0, (r.Right - r.Left), (r.Bottom - r.Top), barBmp->Canvas().Handle(), r.Left,
           r.Top, SRCCOPY);
    PaintSectionBorderBackground(&bmp, r, part.SkinIndex, part.BorderIndex, manager, state, cache);
    if (part.GlyphIndex >= 0 && part.GlyphIndex < static_cast<int>(manager->MaskData.size())) {
        const TsMaskData& glyph = manager->MaskData[static_cast<size_t>(part.GlyphIndex)];
        const TPoint at{((r.Right - r.Left) - MaskFrameWidth(glyph)) / 2,
                        ((r.Bottom - r.Top) - MaskFrameHeight(glyph)) / 2};
        DrawMaskGlyph(&bmp, at, state, manager, part.GlyphIndex);
    }
    BitBlt(barBmp->Canvas().Handle(), r.Left, r.Top, (r.Right - r.Left), (r.Bottom - r.Top), bmp.Canvas().Handle(), 0,
           0, SRCCOPY);
}

void StopTimer(HWND wnd, UINT_PTR& timer)
{
    if (timer) KillTimer(wnd, timer);
    timer = 0;
}

} // namespace

int LastTrackPosition() { return track.LastTrackPos; }

bool ScrollBarPressed() { return track.PressedBar >= 0; }

void TvxScrollBar::ReadInfo(HWND wnd)
{
    ScrollInfo.cbSize = sizeof(SCROLLINFO);
    ScrollInfo.fMask = SIF_ALL;
    if (!GetScrollInfo(wnd, Kind, &ScrollInfo)) {
        ScrollInfo.nMin = ScrollInfo.nMax = ScrollInfo.nPos = ScrollInfo.nTrackPos = 0;
        ScrollInfo.nPage = 0;
    }
}

TScrollNumbers TvxScrollBar::Numbers() const
{
    return TScrollNumbers{ScrollInfo.nMin, ScrollInfo.nMax,
                          static_cast<int>(std::min<UINT>(ScrollInfo.nPage, static_cast<UINT>(INT_MAX))),
                          ScrollInfo.nPos};
}

// ---- the adapter ----

void TvxScrollWnd::Attach(bool repaint)
{
    Busy = false;
    HorzBar = std::make_unique<TvxScrollBar>();
    VertBar = std::make_unique<TvxScrollBar>();
    const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE);
    for (int kind : {SB_HORZ, SB_VERT}) {
        TvxScrollBar* bar = Bar(kind);
        bar->Owner = this;
        bar->Kind = kind;
        bar->ReadInfo(CtrlHandle);
        bar->Flags = (style & (kind == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) ? sbStyleAsks : 0;
    }
    LeftScrollBar = (GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    InCalcSize = false;
    Hook();
    SetMinThumbSize(CtrlHandle, SB_BOTH, 10);
    if (repaint) RefreshFrame(CtrlHandle, true);
}

TvxScrollWnd::~TvxScrollWnd()
{
    Shutdown();
    if (track.HotWnd == CtrlHandle) track.HotWnd = nullptr;
}

void TvxScrollWnd::CalcSize(TMessage& m)
{
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
    const RECT before = params->rgrc[0];
    const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE);
    if (style & (WS_HSCROLL | WS_VSCROLL)) {
        InCalcSize = true;
        SetWindowLongPtrA(CtrlHandle, GWL_STYLE, style & ~(WS_HSCROLL | WS_VSCROLL));
        CallPrevWndProc(m);
        SetWindowLongPtrA(CtrlHandle, GWL_STYLE, style);
        InCalcSize = false;
    } else {
        CallPrevWndProc(m);
    }
    RECT& client = params->rgrc[0];
    BorderLeft = client.left - before.left;
    BorderTop = client.top - before.top;
    BorderRight = before.right - client.right;
    BorderBottom = before.bottom - client.bottom;
    HorzBar->Flags = (style & WS_HSCROLL) ? sbStyleAsks : 0;
    const int h = GetScrollMetric(HorzBar.get(), true, false);
    HorzBar->Visible = (HorzBar->Flags & sbStyleAsks) && h <= client.bottom - client.top;
    if (HorzBar->Visible) client.bottom -= h;
    VertBar->Flags = (style & WS_VSCROLL) ? sbStyleAsks : 0;
    const int v = GetScrollMetric(VertBar.get(), true, false);
    VertBar->Visible = (VertBar->Flags & sbStyleAsks) && v <= client.right - client.left;
    if (VertBar->Visible) {
        if (LeftScrollBar) client.left += v;
        else client.right -= v;
    }
}

int TvxScrollWnd::HitTest(POINT p)
{
    RECT r;
    for (int kind : {SB_HORZ, SB_VERT}) {
        TvxScrollBar* bar = Bar(kind);
        if (!bar->Visible) continue;
        GetScrollRect(this, kind, CtrlHandle, r);
        if (PtInRect(&r, p)) return ScrollBarEnabled(bar, CtrlHandle) ? (kind == SB_HORZ ? HTHSCROLL : HTVSCROLL) : 0;
    }
    if (HorzBar->Visible && VertBar->Visible) {
        RECT h, v;
        GetHScrollRect(this, CtrlHandle, h);
        GetVScrollRect(this, CtrlHandle, v);
        const RECT corner{v.left, h.top, v.right, h.bottom};
        if (PtInRect(&corner, p)) {
            const HWND top = GetTopParentWindow(CtrlHandle);
            RECT c{};
            GetClientRect(top, &c);
            POINT edge{LeftScrollBar ? c.left : c.right, c.bottom};
            ClientToScreen(top, &edge);
            if (edge.y == corner.bottom && edge.x == (LeftScrollBar ? corner.left : corner.right)) return HTBOTTOMRIGHT;
        }
    }
    return -1;
}

void TvxScrollWnd::WndProc(TMessage& m)
{
    if (Destroyed) {
        CallPrevWndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
        StopTimer(CtrlHandle, track.HotTimer);
        if (track.HotWnd == CtrlHandle) track.HotWnd = nullptr;
        CallPrevWndProc(m);
        TvxScrollWnd* self = this;
        if (OldWndProc || OldProc) {
            if (OwnerControl()) RemoveAdapter(CtrlHandle, false, false, self);
            else {
                TvxMainWnd* base = self;
                DetachAdapter(CtrlHandle, false, false, base);
            }
        }
        return;
    }
    case WM_UPDATEUISTATE:
        return;
    default:
        break;
    }
    const bool skinned = SkinData && ManagerActive();
    if (!skinned) {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdSkinChanged && FromManager(m.LParam))
            SkinData->UpdateIndexes();
        CallPrevWndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD) {
        HandleSkinCommandOfBars(m);
        return;
    }
    if (HandleMouse(m)) return;
    switch (m.Msg) {
    case WM_TIMER:
        HandleTimer(m);
        return;
    case WM_NCPAINT:
        if (!IsWindowVisible(CtrlHandle)) break;
        CallPrevWndProc(m);
        if (!SkinData->GetUpdating() && !Busy) PaintScrollBars(this, CtrlHandle, nullptr, -1);
        return;
    case WM_NCHITTEST: {
        const int hit = HitTest(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
        if (hit < 0) break;
        m.Result = hit;
        return;
    }
    case WM_NCCALCSIZE:
        CalcSize(m);
        return;
    case WM_STYLECHANGED:
        if (InCalcSize) {
            m.Result = 0;
            return;
        }
        if (m.WParam == static_cast<WPARAM>(GWL_EXSTYLE))
            LeftScrollBar = (reinterpret_cast<const STYLESTRUCT*>(m.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        break;
    case WM_SYSCOMMAND:
        if (m.WParam == SC_DRAGMOVE_BAR) return;
        break;
    case CM_UIACTIVATE_MSG:
        CallPrevWndProc(m);
        if (m.Result == 0 && WndSize.cx > 0 && WndSize.cy > 0)
            SetWindowPos(CtrlHandle, nullptr, 0, 0, WndSize.cx, WndSize.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
        return;
    default:
        break;
    }
    CallPrevWndProc(m);
    if (m.Msg == WM_MOUSEWHEEL || m.Msg == CM_INVALIDATE_MSG) {
        if (!Busy) UpdateScrolls(this, true);
    } else if (m.Msg == CM_FOCUSCHANGED_MSG) {
        UpdateScrolls(this, true);
    }
}

void TvxScrollWnd::HandleSkinCommandOfBars(TMessage& m)
{
    if (!AcceptSkinCommand(m)) {
        m.Result = 0;
        return;
    }
    const bool ownManager = FromManager(m.LParam);
    switch (HIWORD(m.WParam)) {
    case cmdSkinChanged:
        if (ownManager) TakeNewSkin(m);
        break;
    case cmdRemoveSkin:
        if (ownManager) BeforeRemove();
        break;
    case cmdRefresh:
        if (ownManager) {
            SkinData->UpdateIndexes();
            SkinData->BGChanged = true;
        }
        break;
    case cmdUpdateEnded:
        if (SkinData->Updating) {
            SkinData->Updating = SkinData->GetUpdating();
            if (!SkinData->Updating)
                RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
        break;
    case cmdSetBGChanged:
        SkinData->Updating = LOWORD(m.WParam) == 1;
        break;
    case cmdGetBGInfo: {
        CallPrevWndProc(m);
        auto* info = reinterpret_cast<TsBackgroundInfo*>(m.LParam);
        if (info->BgType == btUnknown) GetBGInfo(SkinData, *info, 0, CtrlHandle);
        return;
    }
    default:
        if (AnswerQuery(m)) return;
        break;
    }
    CallPrevWndProc(m);
}

bool TvxScrollWnd::HandleMouse(TMessage& m)
{
    switch (m.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        if (m.WParam != HTHSCROLL && m.WParam != HTVSCROLL) return false;
        const int kind = m.WParam == HTHSCROLL ? SB_HORZ : SB_VERT;
        TvxScrollBar* bar = Bar(kind);
        const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        RECT r;
        GetScrollRect(this, kind, CtrlHandle, r);
        bar->ReadInfo(CtrlHandle);
        track.HotWnd = CtrlHandle;
        track.ScrollMsg = kind == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
        track.PressedBar = kind;
        track.HitPart = PartAt(bar, r, p);
        m.Result = 0;
        if ((track.HitPart == spFirstArrow && (bar->Flags & sbFirstArrowOff)) ||
            (track.HitPart == spSecondArrow && (bar->Flags & sbSecondArrowOff))) {
            track.HitPart = spNone;
            return true;
        }
        const bool enabled = ScrollBarEnabled(bar, CtrlHandle);
        if (track.HitPart >= spFirstArrow && track.HitPart <= spTrackAfter) {
            if (enabled) {
                track.PressedPart = track.HitPart;
                PaintScrollBar(bar, CtrlHandle, nullptr, -1, track.PressedPart, ToWindow(CtrlHandle, r));
                Busy = true;
                SendScrollMessage(CtrlHandle, track.ScrollMsg, track.HitPart, 0);
                Busy = false;
                track.PressedPart = track.HitPart;
                track.Timer = SetTimer(CtrlHandle, FirstRepeatTimer, 300, nullptr) ? FirstRepeatTimer : 0;
            }
        } else if (track.HitPart == spThumb) {
            if (enabled) {
                const TThumb t = ThumbOfBar(bar, r);
                track.ThumbSize = t.Size;
                track.ThumbPos = t.Start;
                track.TrackRect = r;
                Tracking = true;
                bar->ScrollInfo.nTrackPos = bar->ScrollInfo.nPos;
                track.ThumbOffset = Along(kind, p) - t.Start;
                track.LastTrackPos = bar->ScrollInfo.nPos;
                track.PressedPart = spThumb;
                Tracking = false; // painted pressed once, then the drag paints the bar itself
                PaintScrollBar(bar, CtrlHandle, nullptr, -1, spThumb, ToWindow(CtrlHandle, r));
                Tracking = true;
            }
        } else {
            track.HitPart = spNone;
            track.PressedBar = -1;
            return false;
        }
        if (track.HitPart != spNone) SetCapture(CtrlHandle);
        return true;
    }
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        if (m.WParam != HTHSCROLL && m.WParam != HTVSCROLL) return false;
        m.Result = 0;
        return true;
    case WM_MOUSEMOVE: {
        if (track.PressedBar < 0 || track.HitPart == spNone) return false;
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ClientToScreen(CtrlHandle, &p);
        TvxScrollBar* bar = Bar(track.PressedBar);
        RECT r;
        GetScrollRect(this, track.PressedBar, CtrlHandle, r);
        if (Tracking) {
            const int arrow = GetScrollMetric(bar, false, false);
            const int lo =
                BarStart(bar->Kind, track.TrackRect) +
                FittedArrow(BarEnd(bar->Kind, track.TrackRect) - BarStart(bar->Kind, track.TrackRect), arrow);
            const int hi =
                BarEnd(bar->Kind, track.TrackRect) -
                FittedArrow(BarEnd(bar->Kind, track.TrackRect) - BarStart(bar->Kind, track.TrackRect), arrow) -
                track.ThumbSize;
            const int start = std::clamp(Along(bar->Kind, p) - track.ThumbOffset, lo, std::max(lo, hi));
            Tracking = false;
            PaintScrollBar(bar, CtrlHandle, nullptr, start - BarStart(bar->Kind, track.TrackRect), spThumb,
                           ToWindow(CtrlHandle, r));
            Tracking = true;
            const int pos = bar->ScrollInfo.nMin +
                            DraggedPosition(bar->Numbers(), start - lo, hi + track.ThumbSize - lo, track.ThumbSize);
            if (pos != track.LastTrackPos) {
                bar->ScrollInfo.nTrackPos = pos;
                Busy = true;
                SendScrollMessage(CtrlHandle, track.ScrollMsg, SB_THUMBTRACK, pos);
                Busy = false;
            }
            track.LastTrackPos = pos;
            m.Result = 0;
            return true;
        }
        if (track.HitPart > spTrackAfter && track.HitPart != spThumb) return false;
        const int under = PartAt(bar, r, p);
        const int pressed = under == track.HitPart ? track.HitPart : spNone;
        if (pressed != track.PressedPart) {
            track.PressedPart = pressed;
            PaintScrollBar(bar, CtrlHandle, nullptr, -1, pressed, ToWindow(CtrlHandle, r));
        }
        m.Result = 0;
        return true;
    }
    case WM_LBUTTONUP: {
        if (track.HitPart == spNone || track.PressedBar < 0) return false;
        const bool keep = KeepsCaptureAfterBar();
        if (!keep) ReleaseCapture();
        if (track.HitPart <= spTrackAfter) StopTimer(CtrlHandle, track.Timer);
        Busy = true;
        const bool thumb = Tracking;
        if (Tracking) {
            SendScrollMessage(CtrlHandle, track.ScrollMsg, SB_THUMBPOSITION, track.LastTrackPos);
            Tracking = false;
        }
        SendScrollMessage(CtrlHandle, track.ScrollMsg, SB_ENDSCROLL, thumb ? track.LastTrackPos : 0);
        Busy = false;
        const int kind = track.PressedBar;
        track.PressedBar = -1;
        track.HitPart = track.PressedPart = spNone;
        track.ScrollMsg = 0;
        track.Timer = 0;
        TvxScrollBar* bar = Bar(kind);
        bar->ReadInfo(CtrlHandle);
        RECT r;
        GetScrollRect(this, kind, CtrlHandle, r);
        PaintScrollBar(bar, CtrlHandle, nullptr, -1, spNone, ToWindow(CtrlHandle, r));
        if (!keep) CallPrevWndProc(m);
        return true;
    }
    case WM_NCMOUSEMOVE: {
        track.HotWnd = CtrlHandle;
        const int kind = m.WParam == HTHSCROLL ? SB_HORZ : m.WParam == HTVSCROLL ? SB_VERT : -1;
        if (kind >= 0 && track.HotBar != kind) {
            track.LastHotPart = track.HotPart = spNone;
            GetScrollRect(this, kind, CtrlHandle, track.HotRect);
            track.HotBar = kind;
            track.HotTimer = SetTimer(CtrlHandle, HotTrackTimer, 20, nullptr) ? HotTrackTimer : 0;
            PaintScrollBars(this, CtrlHandle, nullptr, -1);
        }
        return false;
    }
    default:
        return false;
    }
}

void TvxScrollWnd::HandleTimer(TMessage& m)
{
    switch (m.WParam) {
    case FirstRepeatTimer:
        KillTimer(CtrlHandle, FirstRepeatTimer);
        track.Timer = SetTimer(CtrlHandle, RepeatTimer, 55, nullptr) ? RepeatTimer : 0;
        break;
    case RepeatTimer: {
        if (track.PressedBar < 0) {
            StopTimer(CtrlHandle, track.Timer);
            break;
        }
        POINT p;
        GetCursorPos(&p);
        POINT c = p;
        ScreenToClient(CtrlHandle, &c);
        TMessage move{WM_MOUSEMOVE, 0, MAKELPARAM(std::max<LONG>(0, c.x), std::max<LONG>(0, c.y)), 0};
        HandleMouse(move);
        if (track.PressedPart != spNone) {
            Busy = true;
            SendScrollMessage(CtrlHandle, track.ScrollMsg, track.PressedPart, 0);
            Busy = false;
        }
        break;
    }
    case HotTrackTimer: {
        if (Tracking) break;
        POINT p;
        GetCursorPos(&p);
        TvxScrollBar* bar = Bar(track.HotBar);
        if (bar && PtInRect(&track.HotRect, p)) {
            track.HotPart = PartAt(bar, track.HotRect, p);
            if (track.HotPart != track.LastHotPart) {
                RECT r;
                GetScrollRect(this, track.HotBar, CtrlHandle, r);
                PaintScrollBar(bar, CtrlHandle, nullptr, -1,
                               track.PressedBar == track.HotBar ? track.PressedPart : spNone, ToWindow(CtrlHandle, r));
            }
            track.LastHotPart = track.HotPart;
        } else {
            StopTimer(CtrlHandle, track.HotTimer);
            track.HotBar = track.HotPart = track.LastHotPart = -1;
            PaintScrollBars(this, CtrlHandle, nullptr, -1);
        }
        break;
    }
    default:
        CallPrevWndProc(m);
        return;
    }
    if (!Busy && !Tracking) UpdateScrolls(this, true);
}

// ---- the routines ----

int GetScrollMetric(const TvxScrollBar* bar, bool thickness, bool useSkin)
{
    if (!bar || (bar->Kind != SB_HORZ && bar->Kind != SB_VERT)) return 0;
    if (thickness) {
        if (bar->BarWidth >= 0) return bar->BarWidth;
        return GetSystemMetrics(bar->Kind == SB_HORZ ? SM_CYHSCROLL : SM_CXVSCROLL) * -bar->BarWidth;
    }
    if (bar->ArrowLength >= 0) return bar->ArrowLength;
    const int times = -bar->ArrowLength;
    TsSkinManager* manager = ManagerOf(bar->Owner);
    if (useSkin && manager) {
        const auto& buttons = manager->CommonIndexes.ScrollButtons;
        const auto& left = buttons[TsCommonIndexes::Left];
        const auto& top = buttons[TsCommonIndexes::Top];
        const bool asks = left.SkinIndex >= 0 &&
                          manager->GeneralData[static_cast<size_t>(left.SkinIndex)].ReservedBoolean &&
                          left.BorderIndex >= 0;
        if (asks && bar->Kind == SB_HORZ)
            return std::max(DefaultArrowLength,
                            MaskFrameWidth(manager->MaskData[static_cast<size_t>(left.BorderIndex)])) *
                   times;
        if (asks && top.BorderIndex >= 0)
            return std::max(DefaultArrowLength,
                            MaskFrameHeight(manager->MaskData[static_cast<size_t>(top.BorderIndex)])) *
                   times;
    }
    return DefaultArrowLength * times;
}

void GetHScrollRect(const TvxScrollWnd* a, HWND wnd, RECT& r)
{
    r = RECT{};
    if (!a || !wnd) return;
    RECT w{};
    GetWindowRect(wnd, &w);
    const int v = GetScrollMetric(a->VertBar.get(), true, false) * (a->VertBar->Visible ? 1 : 0);
    const int h = GetScrollMetric(a->HorzBar.get(), true, false);
    r.left = w.left + a->BorderLeft + (a->LeftScrollBar ? v : 0);
    r.right = w.right - a->BorderRight - (a->LeftScrollBar ? 0 : v);
    r.bottom = w.bottom - a->BorderBottom;
    r.top = r.bottom - h;
}

void GetVScrollRect(const TvxScrollWnd* a, HWND wnd, RECT& r)
{
    r = RECT{};
    if (!a || !wnd) return;
    RECT w{};
    GetWindowRect(wnd, &w);
    const int v = GetScrollMetric(a->VertBar.get(), true, false);
    const int h = a->HorzBar->Visible ? GetScrollMetric(a->HorzBar.get(), true, false) : 0;
    r.top = w.top + a->BorderTop;
    r.bottom = w.bottom - (h + a->BorderBottom);
    if (a->LeftScrollBar) {
        r.left = w.left + a->BorderLeft;
        r.right = r.left + v;
    } else {
        r.right = w.right - a->BorderRight;
        r.left = r.right - v;
    }
}

bool GetScrollRect(const TvxScrollWnd* a, int kind, HWND wnd, RECT& r)
{
    if (kind == SB_HORZ) GetHScrollRect(a, wnd, r);
    else if (kind == SB_VERT) GetVScrollRect(a, wnd, r);
    else return false;
    return true;
}

TvxScrollBar* GetScrollBarOfWindow(HWND wnd, int kind)
{
    auto* a = dynamic_cast<TvxScrollWnd*>(GetAdapterOfWindow(wnd));
    return a ? a->Bar(kind) : nullptr;
}

bool SetMinThumbSize(HWND wnd, int which, int size)
{
    auto* a = dynamic_cast<TvxScrollWnd*>(GetAdapterOfWindow(wnd));
    if (!a) return false;
    if (which == SB_HORZ || which == SB_BOTH) a->HorzBar->MinThumbSize = size;
    if (which == SB_VERT || which == SB_BOTH) a->VertBar->MinThumbSize = size;
    return true;
}

bool ScrollBarEnabled(const TvxScrollBar* bar, HWND wnd)
{
    if (!bar || !wnd) return false;
    bool enabled;
    if (GetScrollBarInfoProc) {
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        const LONG object = bar->Kind == SB_HORZ ? OBJID_HSCROLL : bar->Kind == SB_VERT ? OBJID_VSCROLL : OBJID_CLIENT;
        const bool got = GetScrollBarInfoProc(wnd, object, &info) != FALSE;
        // Both arrows unavailable is a bar disabled with ESB_DISABLE_BOTH (the platform may
        // leave the bar's own state entry clear for that).
        const bool arrowsOff =
            (info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) && (info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);
        enabled = got && (bar->Flags & (sbFirstArrowOff | sbSecondArrowOff)) != (sbFirstArrowOff | sbSecondArrowOff) &&
                  !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) && !arrowsOff;
        if (enabled && (bar->Flags & sbThumbWhileActive)) {
            const SCROLLINFO& si = bar->ScrollInfo;
            enabled = si.nMax >= static_cast<int>(si.nPage) && si.nMax > si.nMin && si.nMax != 0;
        }
    } else {
        enabled = (GetWindowLongPtrA(wnd, GWL_STYLE) & (bar->Kind == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
    }
    if (enabled && bar->Owner && bar->Owner->OwnerControl()) enabled = bar->Owner->OwnerControl()->Enabled();
    return enabled;
}

bool PaintScrollBar(TvxScrollBar* bar, HWND wnd, HDC dc, int dragPos, int pressedPart, const RECT& wr)
{
    if (!bar || !bar->Owner || bar->Owner->Tracking || !bar->Visible) return false;
    TvxScrollWnd* a = bar->Owner;
    TsSkinManager* manager = ManagerOf(a);
    if (!manager) return false;
    const bool horz = bar->Kind == SB_HORZ;
    const auto& bars = manager->CommonIndexes.ScrollBars;
    const auto& bar1 = bars[horz ? TsCommonIndexes::Bar1H : TsCommonIndexes::Bar1V];
    const auto& bar2 = bars[horz ? TsCommonIndexes::Bar2H : TsCommonIndexes::Bar2V];
    const int length = horz ? wr.right - wr.left : wr.bottom - wr.top;
    if (bar1.SkinIndex < 0 || length < 2 || (!horz && a->Busy)) return false;
    bar->ReadInfo(wnd);
    const int skinArrow = GetScrollMetric(bar, false, true);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(w, h);
    TsCacheInfo cache;
    GetParentCacheInfoByHandle(wnd, cache);
    FillDC(bmp.Canvas().Handle(), TRect{0, 0, w, h}, cache.FillColor == clFuchsia ? clBtnFace : cache.FillColor);

    const auto& buttons = manager->CommonIndexes.ScrollButtons;
    const auto& first = buttons[horz ? TsCommonIndexes::Left : TsCommonIndexes::Top];
    const auto& second = buttons[horz ? TsCommonIndexes::Right : TsCommonIndexes::Bottom];
    const auto& slider =
        manager->CommonIndexes.ScrollSliders[horz ? TsCommonIndexes::SliderH : TsCommonIndexes::SliderV];
    const bool hot = track.HotWnd == wnd && track.HotBar == bar->Kind;
    const bool enabled = ScrollBarEnabled(bar, wnd);
    auto arrowState = [&](int part) {
        if (track.HotWnd != wnd) return 0;
        if (pressedPart == part) return 2;
        return hot && track.HotPart == part && enabled ? 1 : 0;
    };
    auto along = [&](int from, int to) { return horz ? TRect{from, 0, to, h} : TRect{0, from, w, to}; };
    if (length <= 2 * skinArrow) {
        const int half = length / 2;
        PaintPart(&bmp, along(0, half), bar1, 0, manager, cache);
        PaintPart(&bmp, along(half, length), bar2, 0, manager, cache);
        PaintPart(&bmp, along(0, half), first, arrowState(spFirstArrow), manager, cache);
        PaintPart(&bmp, along(half, length), second, arrowState(spSecondArrow), manager, cache);
    } else {
        TThumb t = ThumbOf(bar->Numbers(), 0, length, GetScrollMetric(bar, false, false), bar->MinThumbSize);
        if (dragPos >= 0) t.Start = dragPos;
        const int split = std::clamp(t.Start + t.Size / 2, 0, length);
        PaintPart(&bmp, along(0, split), bar1, pressedPart == spTrackBefore ? 2 : 0, manager, cache);
        PaintPart(&bmp, along(split, length), bar2, pressedPart == spTrackAfter ? 2 : 0, manager, cache);
        PaintPart(&bmp, along(0, skinArrow), first, arrowState(spFirstArrow), manager, cache);
        PaintPart(&bmp, along(length - skinArrow, length), second, arrowState(spSecondArrow), manager, cache);
        if (enabled && ThumbMovable(t)) {
            const int state = pressedPart == spThumb ? 2 : hot && track.HotPart == spThumb ? 1 : 0;
            PaintPart(&bmp, along(t.Start, t.Start + t.Size), slider, state, manager, cache);
        }
    }
    if (!enabled) {
        if (cache.Ready && cache.Bmp)
            BlendBitmapRect(&bmp, 0, 0, clFuchsia, 0.4,
                            TRect{cache.X + wr.left, cache.Y + wr.top, cache.X + wr.left + w, cache.Y + wr.top + h},
                            cache.Bmp);
        else
            PaintSoftRoundRect(&bmp, TRect{0, 0, w, h}, 60, 0, 0,
                               cache.FillColor == clFuchsia ? clBtnFace : cache.FillColor);
    }
    const bool ownDC = dc == nullptr;
    if (ownDC) dc = GetWindowDC(wnd);
    BitBlt(dc, wr.left, wr.top, w, h, bmp.Canvas().Handle(), 0, 0, SRCCOPY);
    if (ownDC) ReleaseDC(wnd, dc);
    return true;
}

int PaintScrollBars(TvxScrollWnd* a, HWND wnd, HDC dc, int dragPos)
{
    if (!a || !wnd || !a->HorzBar || !a->VertBar) return 0;
    if (a->SkinData) {
        a->SkinData->Updating = a->SkinData->GetUpdating();
        if (a->SkinData->Updating) return 0;
        if (TControl* owner = a->OwnerControl();
            owner && ((owner->ComponentState() & csCreating) || !IsWindowVisible(wnd)))
            return 0;
        if (a->SkinData->BGChanged) SendSkinCommand(wnd, cmdRefreshCache, 0);
    }
    const bool ownDC = dc == nullptr;
    if (ownDC) dc = GetWindowDC(wnd);
    for (int kind : {SB_HORZ, SB_VERT}) {
        TvxScrollBar* bar = a->Bar(kind);
        if (!bar->Visible) continue;
        RECT r;
        GetScrollRect(a, kind, wnd, r);
        PaintScrollBar(bar, wnd, dc, dragPos, track.PressedBar == kind ? track.PressedPart : spNone, ToWindow(wnd, r));
    }
    if (a->HorzBar->Visible && a->VertBar->Visible) {
        RECT h, v;
        GetHScrollRect(a, wnd, h);
        GetVScrollRect(a, wnd, v);
        const RECT corner = ToWindow(wnd, RECT{v.left, h.top, v.right, h.bottom});
        TsCacheInfo cache;
        GetParentCacheInfoByHandle(wnd, cache);
        FillDC(dc, TRect{corner.left, corner.top, corner.right, corner.bottom},
               cache.FillColor == clFuchsia ? clBtnFace : cache.FillColor);
        TsSkinManager* manager = ManagerOf(a);
        const HWND top = GetTopParentWindow(wnd);
        RECT c{};
        GetClientRect(top, &c);
        POINT edge{a->LeftScrollBar ? c.left : c.right, c.bottom};
        ClientToScreen(top, &edge);
        const int grip = manager ? manager->GetMaskIndexByName("GLOBALINFO", "GRIPIMAGE") : -1;
        if (grip >= 0 && edge.y == h.bottom && edge.x == (a->LeftScrollBar ? v.left : v.right)) {
            TBitmap bmp;
            bmp.SetPixelFormat(pf24bit);
            bmp.SetSize(corner.right - corner.left, corner.bottom - corner.top);
            BitBlt(bmp.Canvas().Handle(), 0, 0, bmp.Width(), bmp.Height(), dc, corner.left, corner.top, SRCCOPY);
            const TsMaskData& m = manager->MaskData[static_cast<size_t>(grip)];
            DrawMaskGlyph(&bmp, TPoint{bmp.Width() - MaskFrameWidth(m), bmp.Height() - MaskFrameHeight(m)}, 0, manager,
                          grip);
            BitBlt(dc, corner.left, corner.top, bmp.Width(), bmp.Height(), bmp.Canvas().Handle(), 0, 0, SRCCOPY);
        }
    }
    if (ownDC) ReleaseDC(wnd, dc);
    return 0;
}

void SendScrollMessage(HWND wnd, UINT msg, int code, int pos)
{
    const LPARAM commandArg = MAKELPARAM(code, msg);
    if (SendSkinCommand(wnd, cmdBeforeScroll, commandArg) != 1) {
        if (code == SB_THUMBTRACK) {
            SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, pos, 0};
            SetScrollInfo(wnd, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si, FALSE);
        }
        SendMessageA(wnd, msg, MAKEWPARAM(code, std::min(65535, std::max(0, pos))), 0);
    } else {
        SendMessageA(wnd, msg, MAKEWPARAM(code, std::min(65535, std::max(0, pos))), pos);
    }
    SendSkinCommand(wnd, cmdAfterScroll, commandArg);
}

void UpdateScrolls(TvxScrollWnd* a, bool repaint)
{
    if (!a || !a->SkinData || a->SkinData->Updating || !a->HorzBar || !a->VertBar || a->Destroyed) return;
    a->HorzBar->ReadInfo(a->CtrlHandle);
    a->VertBar->ReadInfo(a->CtrlHandle);
    if (repaint && !AnimationRunning) PaintScrollBars(a, a->CtrlHandle, nullptr, -1);
}

void RemoveAdapter(HWND handle, bool freeIt, bool repaint, TvxScrollWnd*& adapter)
{
    if (!adapter || !adapter->SkinData || !adapter->OwnerControl()) return;
    if (!adapter->Destroyed) {
        adapter->Unhook();
        adapter->BeforeRemove();
        if (handle && IsWindowVisible(handle)) RefreshFrame(handle, repaint);
        adapter->HorzBar.reset();
        adapter->VertBar.reset();
        adapter->Destroyed = true;
    }
    if (freeIt) {
        adapter->OldWndProc = nullptr;
        adapter->OldProc = 0;
        delete adapter;
        adapter = nullptr;
    }
}
