#include "skin/windows/vxPanelWnd.h"

#include <algorithm>

#include "gui/ExtCtrls.h"
#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sPropUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"

namespace {

// The redraw of an ended update: invalidate, erase, frame.
constexpr UINT RedrawAfterUpdate = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;
// The border of a dialog panel lies this far inside its window on every side.
constexpr int DialogPanelInset = 6;

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

// (window width - client width) div 2: how far the client area lies inside the window.
int ClientInset(HWND wnd)
{
    RECT c{};
    GetClientRect(wnd, &c);
    return std::max(0, static_cast<int>(WindowSizeOf(wnd).cx - c.right) / 2);
}

// The border strips of width b (in the window) from the cache into a DC of the whole window.
void CopyBorder(TsCommonData* link, HWND wnd, HDC dc, int b)
{
    TBitmap* cache = link->FCacheBmp.get();
    if (b <= 0 || !cache || cache->Empty()) return;
    const bool own = dc == nullptr;
    if (own) dc = GetWindowDC(wnd);
    CopyFrameFromDC(dc, 0, 0, b, 0, 0, cache->Canvas().Handle(), cache->Height(), cache->Width());
    if (own) ReleaseDC(wnd, dc);
}

// The caption of a panel-like window in its section's colours, centred in r.
void WriteCaption(TsCommonData* link, TBitmap* cache, const std::string& text, TFont* font, bool enabled, RECT r)
{
    if (text.empty()) return;
    TCanvas& canvas = cache->Canvas();
    if (font) canvas.Font() = *font;
    const int h = canvas.TextHeight("W");
    r.top = r.top + (r.bottom - r.top - h) / 2;
    r.bottom = r.top + h;
    WriteControlText(canvas, text, enabled, 0, link->Fields(), DT_CENTER | DT_VCENTER,
                     TRect{r.left, r.top, r.right, r.bottom});
}

// A panel's bevels and border in pixels: (inner bevel) x BevelWidth + BorderWidth + (outer bevel)
// x BevelWidth.
int BevelInset(TObject* panel)
{
    const long long width = std::max(0LL, GetIntProp(panel, "BevelWidth"));
    const long long border = std::max(0LL, GetIntProp(panel, "BorderWidth"));
    const long long inner = GetIntProp(panel, "BevelInner"), outer = GetIntProp(panel, "BevelOuter");
    return static_cast<int>((inner > bvNone ? width : 0) + border + (outer > bvNone ? width : 0));
}

} // namespace

std::string PanelSectionOf(TObject* panel)
{
    const long long outer = GetIntProp(panel, "BevelOuter"), inner = GetIntProp(panel, "BevelInner");
    switch (outer) {
    case bvLowered:
        return inner == bvRaised ? "GROUPBOX" : "PANEL_LOW";
    case bvRaised:
        return inner == bvLowered ? "GROUPBOX" : "PANEL";
    default:
        return GetIntProp(panel, "BorderStyle") == bsSingle ? "PANEL_LOW" : "CHECKBOX";
    }
}

// ---- TvxPanelWnd ----

TvxPanelWnd::~TvxPanelWnd() { Shutdown(); }

void TvxPanelWnd::Start(const std::string& section, bool repaint)
{
    TvxMainWnd::Start(section.empty() ? PanelSectionOf(OwnerControl()) : section, repaint);
}

TWinControl* TvxPanelWnd::Container() const { return dynamic_cast<TWinControl*>(OwnerControl()); }

void TvxPanelWnd::PrepareCache(bool rebuild)
{
    TWinControl* c = Container();
    const SIZE s = WindowSizeOf(CtrlHandle);
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (!rebuild && cache && cache->Width() == s.cx && cache->Height() == s.cy) return;
    cache = SizedCache(SkinData, s.cx, s.cy);
    TsCacheInfo parent;
    GetParentCacheInfo(SkinData, parent);
    PaintItem(SkinData->Fields(), parent, true, 0, cache, TPoint{}, TRect{0, 0, s.cx, s.cy});
    const int b = ClientInset(CtrlHandle), inset = BevelInset(c);
    RECT client{};
    GetClientRect(CtrlHandle, &client);
    OffsetRect(&client, b, b);
    InflateRect(&client, -inset, -inset);
    WriteCaption(SkinData, cache, c->Caption(), &c->Font(), c->Enabled(), client);
    SkinData->BGChanged = false;
}

void TvxPanelWnd::PaintInterior(HDC given)
{
    TWinControl* c = Container();
    if (!c || c->InState(csDestroying) || (c->Parent() && c->Parent()->InState(csCreating))) return;
    const HDC dc = given ? given : GetDC(CtrlHandle);
    const int saved = SaveDC(dc);
    SkinData->Updating = SkinData->GetUpdating();
    if (!SkinData->Updating) {
        const SIZE s = WindowSizeOf(CtrlHandle);
        const int b = ClientInset(CtrlHandle);
        const bool rebuild = SkinData->BGChanged || SkinData->PartlyVisible();
        if (DependsOnParentBG(SkinData)) {
            RECT clip{};
            GetClipBox(dc, &clip);
            SkinData->PartlyHidden =
                clip.left > 0 || clip.top > 0 || clip.right < s.cx - 2 * b || clip.bottom < s.cy - 2 * b;
        } else {
            SkinData->PartlyHidden = false;
        }
        PrepareCache(rebuild);
        CopyCacheToDC(c, SkinData, TPoint{b, b}, false, dc, TRect{0, 0, s.cx - 2 * b, s.cy - 2 * b});
        ::PaintControls(dc, c, TPoint{0, 0});
        SendEndUpdateToChildren(c);
    }
    RestoreDC(dc, saved);
    if (!given) ReleaseDC(CtrlHandle, dc);
}

void TvxPanelWnd::WndProc(TMessage& m)
{
    TWinControl* c = Container();
    if (!c || Destroyed) {
        TvxMainWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD) {
        if (!AcceptSkinCommand(m)) {
            m.Result = 0;
            return;
        }
        switch (HIWORD(m.WParam)) {
        case cmdUpdateEnded:
            SkinData->Updating = false;
            RedrawWindow(CtrlHandle, nullptr, nullptr, RedrawAfterUpdate);
            return;
        case cmdSkinChanged:
        case cmdRefresh:
            TvxMainWnd::WndProc(m);
            SkinData->Invalidate();
            return;
        case cmdRemoveSkin:
            SkinData->SkinIndex = -1;
            c->SetControlStyle(c->ControlStyle() & ~csOpaque);
            break;
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdRefreshCache:
            return;
        default:
            break;
        }
        TvxMainWnd::WndProc(m);
        return;
    }
    if (SkinData->Skinned()) {
        switch (m.Msg) {
        case WM_NCPAINT:
            // The adapter swallows command 23 itself: a stale cache is rebuilt here.
            PrepareCache(SkinData->BGChanged);
            CopyBorder(SkinData, CtrlHandle, nullptr, ClientInset(CtrlHandle));
            m.Result = 0;
            return;
        case WM_SETTEXT:
            if (!Visible(CtrlHandle)) break;
            SendMessageA(CtrlHandle, WM_SETREDRAW, FALSE, 0);
            TvxMainWnd::WndProc(m);
            SendMessageA(CtrlHandle, WM_SETREDRAW, TRUE, 0);
            SkinData->BGChanged = true;
            SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
            return;
        case WM_PAINT: {
            InvalidateRect(CtrlHandle, nullptr, TRUE);
            const TPaintDC paint(CtrlHandle); // the erase paints
            return;
        }
        case WM_ERASEBKGND:
            PaintInterior(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        case WM_UPDATEUISTATE:
            m.Result = 1;
            return;
        case WM_PARENTNOTIFY:
            if (LOWORD(m.WParam) != WM_CREATE && LOWORD(m.WParam) != WM_DESTROY) break;
            TvxMainWnd::WndProc(m);
            if (LOWORD(m.WParam) == WM_CREATE) NotifyParentForm(c);
            return;
        case WM_PRINT: {
            const HDC dc = reinterpret_cast<HDC>(m.WParam);
            if (!dc) return;
            const int b = ClientInset(CtrlHandle);
            SkinData->BGChanged = true;
            POINT old{};
            OffsetViewportOrgEx(dc, b, b, &old);
            PaintInterior(dc);
            SetViewportOrgEx(dc, old.x, old.y, nullptr);
            CopyBorder(SkinData, CtrlHandle, dc, b);
            return;
        }
        default:
            break;
        }
    }
    TvxMainWnd::WndProc(m);
    if (m.Msg == WM_WINDOWPOSCHANGING && !Destroyed) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
}

// ---- TvxDlgPanelWnd ----

TvxDlgPanelWnd::~TvxDlgPanelWnd() { Shutdown(); }

void TvxDlgPanelWnd::Start(const std::string& /*section*/, bool repaint)
{
    HWND top = CtrlHandle;
    while (const HWND parent = GetParent(top))
        top = parent;
    Ctrl = FindControlByHandle(CtrlHandle, TWinControl::FromHandle(top));
    SkinData->SetSkinSection(Ctrl && std::string(Ctrl->ClassName()) == "TPanel" ? "CHECKBOX" : "GROUPBOX");
    TvxMainWnd::Start(SkinData->SkinSection(), repaint);
}

void TvxDlgPanelWnd::GiveGlobalColor()
{
    const TsSkinManager* manager = Manager();
    if (Ctrl && manager && Ctrl->Color() != manager->GetGlobalColor()) Ctrl->SetColor(manager->GetGlobalColor());
}

void TvxDlgPanelWnd::PaintInterior(HDC dc)
{
    const SIZE s = WindowSizeOf(CtrlHandle);
    const int b = ClientInset(CtrlHandle);
    TBitmap* cache = SizedCache(SkinData, s.cx, s.cy);
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(CtrlHandle, parent);
    if (parent.Ready) {
        POINT pos{};
        MapWindowPoints(CtrlHandle, GetParent(CtrlHandle), &pos, 1);
        parent.X += pos.x - b;
        parent.Y += pos.y - b;
    }
    if (Manager() && Manager()->IsValidSkinIndex(SkinData->SkinIndex))
        PaintSection(cache, TRect{0, 0, s.cx, s.cy}, SkinData->SkinIndex, Manager(), 0, parent);
    SkinData->BGChanged = false;
    BitBlt(dc, 0, 0, s.cx - 2 * b, s.cy - 2 * b, cache->Canvas().Handle(), b, b, SRCCOPY);
}

void TvxDlgPanelWnd::WndProc(TMessage& m)
{
    if (Destroyed) {
        TvxMainWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m) && HIWORD(m.WParam) == cmdSkinChanged) {
        TvxMainWnd::WndProc(m);
        SkinData->Invalidate();
        return;
    }
    switch (m.Msg) {
    case WM_SETTEXT:
        if (Visible(CtrlHandle)) SkinData->BGChanged = true;
        break;
    case WM_PAINT: {
        GiveGlobalColor();
        const TPaintDC paint(CtrlHandle);
        return;
    }
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (!dc) break;
        const int saved = SaveDC(dc);
        PaintInterior(dc);
        const SIZE s = WindowSizeOf(CtrlHandle);
        IntersectClipRect(dc, DialogPanelInset, DialogPanelInset, s.cx - DialogPanelInset, s.cy - DialogPanelInset);
        TMessage paint{WM_PAINT, m.WParam, 0, 0};
        CallPrevWndProc(paint);
        RestoreDC(dc, saved);
        m.Result = 1;
        return;
    }
    case WM_NCPAINT:
        CopyBorder(SkinData, CtrlHandle, nullptr, ClientInset(CtrlHandle) + DialogPanelInset);
        m.Result = 1;
        return;
    case WM_UPDATEUISTATE:
        m.Result = 1;
        return;
    case WM_PARENTNOTIFY:
        if (LOWORD(m.WParam) != WM_CREATE && LOWORD(m.WParam) != WM_DESTROY) break;
        TvxMainWnd::WndProc(m);
        GiveGlobalColor();
        if (LOWORD(m.WParam) == WM_CREATE) NotifyTopWindow(CtrlHandle);
        return;
    case WM_PRINT: {
        const HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (!dc) return;
        const int b = ClientInset(CtrlHandle);
        POINT old{};
        OffsetViewportOrgEx(dc, b, b, &old);
        PaintInterior(dc);
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
        CopyBorder(SkinData, CtrlHandle, dc, b + DialogPanelInset);
        return;
    }
    case WM_THEMECHANGED:
        if (Ctrl && Ctrl->Color() != clBtnFace) Ctrl->SetColor(clBtnFace);
        break;
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
}

// ---- TvxTransPanelWnd ----

TvxTransPanelWnd::~TvxTransPanelWnd() { Shutdown(); }

void TvxTransPanelWnd::Paint()
{
    const SIZE s = WindowSizeOf(CtrlHandle);
    const TPaintDC paint(CtrlHandle);
    const TWindowDC dc(CtrlHandle, true);
    SkinData->BGChanged = true;
    SendSkinCommand(CtrlHandle, cmdRefreshCache, 0);
    CopyGroupBoxCacheToDC(CtrlHandle, SkinData, TPoint{}, dc.get(), TRect{0, 0, s.cx, s.cy});
}

void TvxTransPanelWnd::WndProc(TMessage& m)
{
    if (!Destroyed) {
        switch (m.Msg) {
        case WM_ERASEBKGND:
            Paint();
            m.Result = 1;
            return;
        case WM_NCPAINT:
            return;
        default:
            break;
        }
    }
    TvxMainWnd::WndProc(m);
}
