#include "skin/windows/vxMDIWnd.h"

#include <vector>

#include "gui/Forms.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sMDIForm.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxDials.h"

namespace {

// Sent by the check-box adapter to its parent before it paints; the MDI main form hears it.
constexpr WORD cmdBeforeCheckBoxPaint = 5;
// The client window works out its scroll bars again (the MDI client's own message).
constexpr UINT WM_MDICALCCHILDSCROLL = 0x3F;
// The width of the client window's edge (WS_EX_CLIENTEDGE).
constexpr int EdgeWidth = 2;

bool HasClientEdge(HWND wnd) { return (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

} // namespace

TvxMDIWnd::~TvxMDIWnd()
{
    FormSkinData = nullptr;
    Provider = nullptr;
}

void TvxMDIWnd::Attach(bool repaint)
{
    TvxBaseWnd::Attach(repaint);
    std::erase(HookedWindowList(), this);
}

bool TvxMDIWnd::FormSkinned() const { return FormSkinData && Form && Provider && FormSkinData->Skinned(); }

bool TvxMDIWnd::MaximisedChild() const
{
    TForm* child = Form ? Form->ActiveMDIChild() : nullptr;
    return child && child->WindowState() == wsMaximized;
}

RECT TvxMDIWnd::AreaRect() const
{
    RECT r{}, form{};
    GetWindowRect(CtrlHandle, &r);
    GetWindowRect(Form->Handle(), &form);
    OffsetRect(&r, -form.left, -form.top);
    if (TvxBorderForm* border = Provider->BorderForm()) {
        // The extended border's image starts at its shadow, and its frame is the skin's.
        const HWND borderWnd = Provider->BorderWindow();
        const int sideDiff = FrameWidth(borderWnd, border, true) - FrameWidth(borderWnd, border, false);
        const int topDiff =
            Provider->CaptionHeight(true) - Provider->CaptionHeight(false) - FrameWidth(borderWnd, border, false);
        const auto& margins = Provider->SkinManager()->ShadowMargins();
        OffsetRect(&r, margins[0] + sideDiff, margins[1] + topDiff);
    }
    return r;
}

void TvxMDIWnd::PaintArea(HDC dc, bool wholeWindow)
{
    if (Provider->InAnimation()) return;
    const RECT area = AreaRect();
    const int w = Width(area), h = Height(area);
    TsSkinManager* manager = FormSkinData->GetSkinManager();
    if (!FormSkinData->RedrawAllowed() && (!manager || manager->GetSkinIndex("MDIAREA") < 0)) {
        FillDC(dc, TRect{0, 0, w, h}, Provider->FormColor());
        return;
    }
    if (!FormSkinData->FCacheBmp || FormSkinData->FCacheBmp->Empty() || FormSkinData->BGChanged) Provider->PaintAll();
    TBitmap* image = FormSkinData->FCacheBmp.get();
    if (!image || image->Empty()) return;
    // The erase DC starts inside the client edge, a print DC at the window's corner.
    const int d = !wholeWindow && HasClientEdge(CtrlHandle) ? EdgeWidth : 0;
    BitBlt(dc, 0, 0, w, h, image->Canvas().Handle(), area.left + d, area.top + d, SRCCOPY);
}

void TvxMDIWnd::PaintEdge(HDC dc)
{
    TBitmap* image = FormSkinData->FCacheBmp.get();
    if (!image || image->Empty()) return;
    const RECT area = AreaRect();
    const int w = Width(area), h = Height(area);
    TsSkinManager* manager = FormSkinData->GetSkinManager();
    if (FormSkinData->RedrawAllowed() || (manager && manager->GetSkinIndex("MDIAREA") >= 0)) {
        CopyFrameFromDC(dc, 0, 0, EdgeWidth, area.top, area.left, image->Canvas().Handle(), h, w);
        return;
    }
    const int edge = HasClientEdge(CtrlHandle) ? EdgeWidth : 0;
    FillFrame(dc, TRect{0, 0, w, h}, edge, Provider->FormColor(), edge, edge, edge);
}

void TvxMDIWnd::NonClientPaint()
{
    const TWindowDC dc(Form->ClientHandle(), true);
    if (!dc.get()) return;
    try {
        PaintEdge(dc.get());
        PaintScrollBars(this, CtrlHandle, dc.get(), -1);
    } catch (...) {
        // The DC goes back all the same; a failed frame is painted again next time.
    }
}

void TvxMDIWnd::Arranged()
{
    Provider->FlagImageChanged();
    Provider->ResetMenuLineHeight();
    if (Form->FormStyle() == fsMDIForm)
        if (TForm* child = Form->ActiveMDIChild(); child && child->HandleAllocated()) {
            const HWND wnd = child->Handle();
            SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU));
        }
    if (TsMDIForm* companion = Provider->MDIForm()) companion->UpdateMDIIcons();
    InvalidateRect(CtrlHandle, nullptr, TRUE);
    RedrawWindow(Form->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

bool TvxMDIWnd::FormMessage(TMessage& m)
{
    switch (m.Msg) {
    case WM_NCPAINT:
        if (!FormSkinned()) return false;
        if (!MaximisedChild() && !RepaintLocked) NonClientPaint();
        m.Result = 1;
        return true;
    case WM_ERASEBKGND:
        if (!FormSkinned() || !m.WParam) return false;
        if (RepaintLocked) {
            m.Result = 0;
            return true;
        }
        if (!MaximisedChild()) {
            const auto dc = reinterpret_cast<HDC>(m.WParam);
            const TSavedDC saved(dc);
            PaintArea(dc, false);
        }
        m.Result = 1;
        return true;
    case WM_PAINT:
        if (!RepaintLocked) return false;
        m.Result = 0;
        return true;
    case WM_PRINT: {
        if (!FormSkinned() || !m.WParam) return false;
        m.Result = 0;
        if (Provider->BorderForm() || MaximisedChild()) return true;
        const auto dc = reinterpret_cast<HDC>(m.WParam);
        const TSavedDC saved(dc);
        PaintArea(dc, true);
        PaintScrollBars(this, CtrlHandle, dc, -1);
        return true;
    }
    case WM_STYLECHANGED:
        CallPrevWndProc(m);
        return true;
    case WM_MDITILE:
    case WM_MDICASCADE:
        CallPrevWndProc(m);
        Arranged();
        return true;
    case WM_MDISETMENU:
        CallPrevWndProc(m);
        if (TsSkinProvider* main = MDIMainProvider()) {
            main->FlagImageChanged();
            main->SetFirstPaint();
            main->ResetMenuLineHeight();
        }
        return true;
    default:
        return false;
    }
}

void TvxMDIWnd::WndProc(TMessage& m)
{
    if (!Destroyed && Form && Provider) {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdBeforeCheckBoxPaint) {
            SendSkinCommandToControl(Form, cmdBeforeCheckBoxPaint, 0);
            return;
        }
        if (FormMessage(m)) return;
    }
    TvxBaseWnd::WndProc(m);
    if (Destroyed) return;
    switch (m.Msg) {
    case WM_MDICALCCHILDSCROLL:
    case WM_PARENTNOTIFY: {
        // A child made inside the client window.
        if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) AddMDIChildren(Form);
        if (Destroyed) return;
        const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE);
        if (HorzBar) HorzBar->Visible = (style & WS_HSCROLL) != 0;
        if (VertBar) VertBar->Visible = (style & WS_VSCROLL) != 0;
        UpdateScrolls(this, true);
        break;
    }
    case WM_MDIREFRESHMENU:
        if (Provider) Provider->RefreshNonClient();
        break;
    case WM_MDIACTIVATE:
    case WM_MDINEXT:
        // The system activates children inside the client window without the window hook.
        AddMDIChildren(Form);
        break;
    default:
        if (m.Msg != SM_VELOCONCMD) break;
        // Painting is off while the window handles each scroll message of the skinned bars;
        // afterwards the whole area is redrawn, except after a step of a dragged thumb.
        if (HIWORD(m.WParam) == cmdBeforeScroll) {
            SendMessageA(CtrlHandle, WM_SETREDRAW, 0, 0);
        } else if (HIWORD(m.WParam) == cmdAfterScroll) {
            SendMessageA(CtrlHandle, WM_SETREDRAW, 1, 0);
            if (LOWORD(m.LParam) != SB_THUMBTRACK) {
                RedrawWindow(CtrlHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
                UpdateScrolls(this, false);
                ReleaseCapture();
            }
        }
        break;
    }
}
