#include "skin/windows/vxListViewWnd.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "gui/Forms.h"
#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sPropUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/vxContainerUtils.h"

namespace {

// The header's adapter and the procedure the hook covered, kept with the header window.
constexpr const char* HeaderAdapterProperty = "VXSBLVH";
constexpr const char* HeaderPassOnProperty = "VXSBLVHOLD";
constexpr int ReportStyle = 3, ListStyle = 2;
// Header items: the text's room (129 characters), its flags, the arrow's distance from it.
constexpr int HeaderTextSize = 129;
constexpr UINT HeaderTextFlags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_END_ELLIPSIS;
constexpr int ArrowGap = 6;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

TvxListViewWnd* HeaderAdapterOf(HWND header)
{
    return static_cast<TvxListViewWnd*>(GetPropA(header, HeaderAdapterProperty));
}

// The one procedure of every hooked header: its adapter's, or a pass-through once the adapter
// let go while a later subclass still covered it. An exception goes to the application.
LRESULT CALLBACK HeaderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    if (TvxListViewWnd* adapter = HeaderAdapterOf(wnd); adapter && adapter->HeaderWnd == wnd) {
        try {
            adapter->HeaderWndProc(m);
        } catch (const std::exception& e) {
            Application->ShowException(e);
            m.Result = 0;
        }
        return m.Result;
    }
    const auto next = reinterpret_cast<WNDPROC>(GetPropA(wnd, HeaderPassOnProperty));
    if (msg == WM_NCDESTROY) RemovePropA(wnd, HeaderPassOnProperty);
    return next ? CallWindowProcA(next, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
}

bool IsHeaderClass(HWND wnd)
{
    char name[96] = {};
    GetClassNameA(wnd, name, sizeof name);
    return std::string(name) == WC_HEADERA;
}

} // namespace

// ---- TvxListViewWnd ----

TvxListViewWnd::~TvxListViewWnd()
{
    Shutdown();
    UnhookHeader();
}

void TvxListViewWnd::Start(const std::string& section, bool repaint)
{
    PressedItem = HotItem = -1;
    HeaderInstance = true;
    TvxEditWnd::Start(section, repaint);
    HookHeader(FindWindowExA(CtrlHandle, nullptr, WC_HEADERA, nullptr));
}

void TvxListViewWnd::HookHeader(HWND header)
{
    if (!HeaderInstance || !header || HeaderWnd) return;
    HeaderWnd = header;
    SetPropA(header, HeaderAdapterProperty, this);
    if (const auto kept = reinterpret_cast<WNDPROC>(GetPropA(header, HeaderPassOnProperty))) {
        // An earlier hook still sits in the chain as a pass-through: this one takes its place.
        HeaderOldProc = kept;
        return;
    }
    HeaderOldProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderProc)));
    SetPropA(header, HeaderPassOnProperty, reinterpret_cast<HANDLE>(HeaderOldProc));
}

void TvxListViewWnd::UnhookHeader()
{
    const HWND header = HeaderWnd;
    HeaderWnd = nullptr;
    if (!header || !IsWindow(header)) return;
    if (HeaderAdapterOf(header) == this) RemovePropA(header, HeaderAdapterProperty);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(header, GWLP_WNDPROC)) == &HeaderProc) {
        SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderOldProc));
        RemovePropA(header, HeaderPassOnProperty);
    }
    HeaderOldProc = nullptr;
}

int TvxListViewWnd::ViewStyle() const
{
    if (TControl* owner = OwnerControl(); owner && HasProperty(owner, "ViewStyle"))
        return static_cast<int>(GetIntProp(owner, "ViewStyle"));
    switch (SendMessageA(CtrlHandle, LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON:
        return 0;
    case LV_VIEW_DETAILS:
        return ReportStyle;
    case LV_VIEW_SMALLICON:
        return 1;
    default:
        return ListStyle;
    }
}

void TvxListViewWnd::AfterCreation()
{
    TvxEditWnd::AfterCreation();
    StdColor = static_cast<TColor>(SendMessageA(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
    StdFontColor = static_cast<TColor>(SendMessageA(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0));
}

void TvxListViewWnd::BeforeRemove()
{
    SendMessageA(CtrlHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(clWindowText)));
    // A list without an owner control gets its own background back too (the edit version gives
    // colours back only to an owner control).
    if (!OwnerControl()) {
        SendMessageA(CtrlHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(StdColor));
        SendMessageA(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(StdColor));
        SendMessageA(CtrlHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(StdFontColor));
    }
    UnhookHeader();
    HeaderInstance = false;
    TvxEditWnd::BeforeRemove();
}

void TvxListViewWnd::SetNeedsRepaint()
{
    TvxEditWnd::SetNeedsRepaint();
    TColor back = clWindow, text = clWindowText;
    if (!DlgMode) {
        const TsSkinManager* m = DefaultManager();
        if (!m || !m->IsValidSkinIndex(SkinData->SkinIndex)) return;
        const TsGeneralData& g = m->GeneralData[static_cast<size_t>(SkinData->SkinIndex)];
        back = g.Color;
        text = g.FontColor[1];
    }
    SendMessageA(CtrlHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(back)));
    SendMessageA(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(back)));
    SendMessageA(CtrlHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(text)));
}

void TvxListViewWnd::GetHeaderItemRect(int position, RECT& r) const
{
    r = RECT{};
    int index = position;
    if (GetWindowLongPtrA(HeaderWnd, GWL_STYLE) & HDS_FULLDRAG) {
        const auto count = static_cast<int>(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
        if (count >= 1) {
            std::vector<int> order(static_cast<size_t>(count));
            SendMessageA(HeaderWnd, HDM_GETORDERARRAY, static_cast<WPARAM>(count),
                         reinterpret_cast<LPARAM>(order.data()));
            if (position >= 0 && position < count) index = order[static_cast<size_t>(position)];
        }
    }
    SendMessageA(HeaderWnd, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
}

int TvxListViewWnd::PositionAt(POINT screen) const
{
    POINT p = screen;
    if (auto* owner = dynamic_cast<TWinControl*>(OwnerControl()); owner && owner->HandleAllocated()) {
        ScreenToClient(owner->Handle(), &p);
    } else {
        RECT w{};
        GetWindowRect(HeaderWnd, &w);
        p = POINT{screen.x - w.left, screen.y - w.top};
    }
    const auto count = static_cast<int>(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    for (int position = 0; position < count; ++position) {
        RECT r;
        GetHeaderItemRect(position, r);
        if (PtInRect(&r, p)) return position;
    }
    return -2;
}

void TvxListViewWnd::PaintHeaderItem(const RECT& r, int index, HDC dc)
{
    const TsSkinManager* m = Manager();
    if (!m || Width(r) <= 0 || Height(r) <= 0) return;
    const int w = Width(r), h = Height(r);
    const int state = PressedItem >= 0 ? (index == PressedItem ? 2 : 0) : (index == HotItem ? 1 : 0);
    auto bmp = CreateBmp24(w, h);
    TsCacheInfo behind;
    const TControl* owner = OwnerControl();
    behind.FillColor = static_cast<TColor>(ColorToRGB(owner ? owner->Color() : clWindow));
    const bool own = m->IsValidSkinIndex(m->GetSkinIndex("COLHEADER"));
    PaintSectionByName(bmp.get(), TRect{0, 0, w, h}, "COLHEADER", "BUTTON", m, state, behind);
    const int section = m->GetSkinIndex(own ? "COLHEADER" : "BUTTON");
    TCanvas& canvas = bmp->Canvas();
    WindowFont(CtrlHandle, canvas.Font());
    canvas.Brush().SetStyle(bsClear);
    RECT tr{4, 1, w - 4, h - 1};
    if (index >= 0) {
        char text[HeaderTextSize] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
        item.pszText = text;
        item.cchTextMax = HeaderTextSize;
        if (SendMessageA(HeaderWnd, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) {
            // The images of a class-library list view's columns: this library has no such
            // control, so no image is drawn.
            const int imageWidth = 0;
            int arrow = -1;
            if (item.fmt & HDF_SORTDOWN)
                arrow = m->GetMaskIndex(m->GetSkinIndex("SCROLLBTNBOTTOM"), "SCROLLBTNBOTTOM", "GLYPHMASK");
            else if (item.fmt & HDF_SORTUP)
                arrow = m->GetMaskIndex(m->GetSkinIndex("SCROLLBTNTOP"), "SCROLLBTNTOP", "GLYPHMASK");
            const bool hasArrow = m->IsValidImgIndex(arrow);
            const int aw = hasArrow ? MaskFrameWidth(m->MaskData[static_cast<size_t>(arrow)]) + ArrowGap : 0;
            const int ah = hasArrow ? MaskFrameHeight(m->MaskData[static_cast<size_t>(arrow)]) : 0;
            const std::string caption = text;
            SIZE extent{};
            GetTextExtentPoint32A(canvas.Handle(), caption.c_str(), static_cast<int>(caption.size()), &extent);
            const int tw = extent.cx + 5;
            switch (item.fmt & HDF_JUSTIFYMASK) {
            case HDF_RIGHT:
                tr.right -= aw;
                tr.left = tr.right - tw;
                break;
            case HDF_CENTER:
                tr.left = tr.left + imageWidth + (Width(tr) - tw - aw - imageWidth) / 2;
                tr.right = tr.left + tw;
                break;
            default:
                tr.left += imageWidth;
                tr.right = tr.left + tw;
                break;
            }
            if (hasArrow) DrawMaskGlyph(bmp.get(), TPoint{tr.right + ArrowGap, (Height(tr) - ah) / 2}, state, m, arrow);
            if (state == 2) OffsetRect(&tr, 1, 1);
            WriteSectionTextEx(canvas, caption, true, m, state != 0 ? 1 : 0, section, HeaderTextFlags,
                               TRect{tr.left, tr.top, tr.right, tr.bottom});
        }
    }
    if (dc) {
        BitBlt(dc, r.left, r.top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
        return;
    }
    const TWindowDC header(HeaderWnd);
    BitBlt(header.get(), r.left, r.top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}

void TvxListViewWnd::PaintHeader(HDC dc)
{
    if (!HeaderWnd || ViewStyle() != ReportStyle) return;
    const TPaintDC paint(HeaderWnd); // validates only: drawing goes to dc or the header's DC
    const auto count = static_cast<int>(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int position = 0; position < count; ++position) {
        RECT r;
        GetHeaderItemRect(position, r);
        right = std::max<int>(right, r.right);
        if (!IsRectEmpty(&r))
            PaintHeaderItem(
                r, static_cast<int>(SendMessageA(HeaderWnd, HDM_ORDERTOINDEX, static_cast<WPARAM>(position), 0)), dc);
    }
    RECT w{};
    GetWindowRect(HeaderWnd, &w);
    const RECT rest{right, 0, Width(w), Height(w)};
    if (!IsRectEmpty(&rest)) PaintHeaderItem(rest, -2, dc);
}

void TvxListViewWnd::HeaderWndProc(TMessage& m)
{
    if (!HeaderWnd || !HeaderOldProc) return;
    const HWND header = HeaderWnd;
    auto passOn = [&] { m.Result = CallWindowProcA(HeaderOldProc, header, m.Msg, m.WParam, m.LParam); };
    if (ViewStyle() != ReportStyle) {
        passOn();
        if (m.Msg == WM_NCDESTROY) UnhookHeader();
        return;
    }
    switch (m.Msg) {
    case WM_NCDESTROY:
        passOn();
        UnhookHeader();
        return;
    case WM_NCHITTEST: {
        passOn();
        const int position = PositionAt(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
        if (position != HotItem) {
            HotItem = position >= 0
                          ? static_cast<int>(SendMessageA(header, HDM_ORDERTOINDEX, static_cast<WPARAM>(position), 0))
                          : position;
            PaintHeader(nullptr);
        }
        return;
    }
    case WM_LBUTTONDOWN: {
        passOn();
        HDHITTESTINFO hit{};
        hit.pt = POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        PressedItem = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : hit.iItem;
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE);
        return;
    }
    case WM_LBUTTONUP:
        PressedItem = -1;
        passOn();
        return;
    case WM_PAINT:
        PaintHeader(nullptr);
        m.Result = 0;
        return;
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_WINDOWPOSCHANGING:
        if (IsWindowVisible(CtrlHandle)) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
        passOn();
        return;
    default:
        passOn();
        return;
    }
}

void TvxListViewWnd::ThumbTrack(TMessage& m)
{
    int pos = m.LParam != 0 ? static_cast<int>(m.LParam) : HIWORD(m.WParam);
    const int last = LastTrackPosition();
    if (m.Msg == WM_VSCROLL && pos == last) return;
    const int delta = pos - last;
    RECT item{};
    item.left = LVIR_BOUNDS;
    SendMessageA(CtrlHandle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const int style = ViewStyle();
    if (m.Msg == WM_HSCROLL) {
        const int dx = style == ListStyle ? delta * Width(item) : delta;
        SendMessageA(CtrlHandle, LVM_SCROLL, static_cast<WPARAM>(dx), 0);
    } else {
        const int dy = style == ReportStyle ? delta * Height(item) : delta;
        SendMessageA(CtrlHandle, LVM_SCROLL, 0, static_cast<LPARAM>(dy));
    }
    m.Result = 0;
}

void TvxListViewWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinData->Skinned()) {
        TvxEditWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m)) {
        switch (HIWORD(m.WParam)) {
        case cmdRefresh:
            if (!FromManager(m.LParam)) break;
            TvxEditWnd::WndProc(m);
            if (HeaderWnd) {
                TMessage paint{WM_PAINT, 0, 0, 0};
                HeaderWndProc(paint);
            }
            return;
        case cmdGetSkinIndex:
            *reinterpret_cast<int*>(m.LParam) = SkinData->SkinIndex;
            return;
        case cmdBeforeScroll:
            m.Result = 1;
            return;
        default:
            break;
        }
    }
    switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(m.WParam) == SB_THUMBTRACK) {
            ThumbTrack(m);
            return;
        }
        if (m.Msg == WM_VSCROLL) m.LParam = 0;
        CallPrevWndProc(m);
        return;
    case WM_NCPAINT:
        m.Result = 0;
        break;
    case WM_PAINT:
        SetNeedsRepaint();
        break;
    case WM_NCHITTEST:
        if (HotItem > -1 || PressedItem > -1) {
            HotItem = PressedItem = -1;
            PaintHeader(nullptr);
        }
        break;
    default:
        break;
    }
    TvxEditWnd::WndProc(m);
    if (Destroyed) return;
    switch (m.Msg) {
    case LVM_INSERTITEMA:
    case LVM_ARRANGE:
    case WM_STYLECHANGED:
        if (!SkinData->GetUpdating()) UpdateScrolls(this, true);
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        break;
    case WM_PRINT: {
        const HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (!dc || ViewStyle() != ReportStyle || !HeaderWnd) break;
        const TBitmap* cache = SkinData->FCacheBmp.get();
        const int cw = cache ? cache->Width() : 0, ch = cache ? cache->Height() : 0;
        const int w =
            cw - 2 * BorderLeft - (VertBar && VertBar->Visible ? GetScrollMetric(VertBar.get(), true, false) : 0);
        const int h =
            ch - 2 * BorderLeft - (HorzBar && HorzBar->Visible ? GetScrollMetric(HorzBar.get(), true, false) : 0);
        const int saved = SaveDC(dc);
        POINT old{};
        OffsetWindowOrgEx(dc, -BorderLeft, -BorderLeft, &old);
        IntersectClipRect(dc, 0, 0, std::max(0, w), std::max(0, h));
        PaintHeader(dc);
        RestoreDC(dc, saved);
        break;
    }
    case WM_PARENTNOTIFY: {
        if (LOWORD(m.WParam) != WM_CREATE) break;
        const auto child = reinterpret_cast<HWND>(m.LParam);
        if (!IsHeaderClass(child)) break;
        if (!HeaderWnd) HookHeader(child);
        else UnhookHeader();
        break;
    }
    default:
        break;
    }
}

// ---- TvxTreeViewWnd ----

TvxTreeViewWnd::~TvxTreeViewWnd() { Shutdown(); }

TColor TvxTreeViewWnd::Background() const
{
    const TsSkinManager* m = Manager();
    if (DlgMode || !m || !m->IsValidSkinIndex(SkinData->SkinIndex)) return clWindow;
    return m->GeneralData[static_cast<size_t>(SkinData->SkinIndex)].HotColor;
}

void TvxTreeViewWnd::SetNeedsRepaint()
{
    SkinParamsSet = true;
    const TsSkinManager* m = Manager();
    if (DlgMode || !m || !m->IsValidSkinIndex(SkinData->SkinIndex)) {
        if (DlgMode) SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(clWindow)));
        return;
    }
    const TsGeneralData& g = m->GeneralData[static_cast<size_t>(SkinData->SkinIndex)];
    const auto back = static_cast<TColor>(ColorToRGB(g.HotColor));
    if (TControl* owner = OwnerControl()) {
        if (!SkinData->CustomFont() && owner->Font().Color() != g.HotFontColor[1])
            owner->Font().SetColor(g.HotFontColor[1]);
        if (!SkinData->CustomColor() && owner->Color() != back) owner->SetColor(back);
    }
    if (static_cast<TColor>(SendMessageA(CtrlHandle, TVM_GETBKCOLOR, 0, 0)) != back)
        SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
}

void TvxTreeViewWnd::BeforeRemove()
{
    SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(clWindow)));
    TvxEditWnd::BeforeRemove();
}

void TvxTreeViewWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinData->Skinned()) {
        TvxEditWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        SkinData->Updating = SkinData->GetUpdating();
        if (SkinData->Updating) return;
        ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
        if (SkinData->BGChanged) ::RefreshCache(SkinData, CtrlHandle, DlgMode);
        const HDC given = reinterpret_cast<HDC>(m.WParam);
        const HDC dc = given ? given : GetWindowDC(CtrlHandle);
        FillDC(dc, TRect{0, 0, WndSize.cx, WndSize.cy}, Background());
        if (!given) ReleaseDC(CtrlHandle, dc);
        m.Result = 0;
        return;
    }
    case WM_LBUTTONUP:
        TvxEditWnd::WndProc(m);
        ReleaseCapture();
        return;
    default:
        TvxEditWnd::WndProc(m);
        return;
    }
}
