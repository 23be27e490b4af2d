#include "skin/windows/vxEditWnd.h"

#include <windowsx.h>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sPropUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"

namespace {

constexpr UINT CM_ENABLEDCHANGED_MSG = 0xB00C;
constexpr UINT CM_FONTCHANGED_MSG = 0xB00E;
constexpr UINT CM_MOUSEENTER_MSG = 0xB013;
constexpr UINT CM_MOUSELEAVE_MSG = 0xB014;
constexpr UINT CN_KEYDOWN_MSG = 0xBD00;
constexpr UINT CN_KEYUP_MSG = 0xBD01;
constexpr UINT SwallowedMessage = 0x2100;
// The list box's messages around its own mouse tracking while it is dropped down.
constexpr UINT ListStartTracking = 0x1AE, ListEndTracking = 0x1AF;

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

bool SkinnedLink(const TvxMainWnd* a) { return a->SkinData && a->SkinData->Skinned(); }

} // namespace

// ---- TvxBaseWnd ----

void TvxBaseWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinnedLink(this)) {
        TvxScrollWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m)) {
        const WORD command = HIWORD(m.WParam);
        if (command == cmdRefresh && FromManager(m.LParam)) {
            TvxScrollWnd::WndProc(m);
            if (Visible(CtrlHandle)) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
            return;
        }
        if (command == cmdRefreshCache) ::RefreshCache(SkinData, CtrlHandle, false);
    }
    switch (m.Msg) {
    case WM_SIZE:
        SkinData->BGChanged = true;
        break;
    case WM_SETCURSOR:
        CallPrevWndProc(m);
        return;
    case SwallowedMessage:
        return;
    default:
        break;
    }
    TvxScrollWnd::WndProc(m);
    if (Destroyed) return;
    switch (m.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (!Busy) UpdateScrolls(this, true);
        break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED_MSG:
        if (Visible(CtrlHandle)) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
        break;
    default:
        break;
    }
}

// ---- TvxEditWnd ----

bool TvxEditWnd::SwitchesThemeOff(const std::string& section, bool /*repaint*/) const
{
    return !SameText(section, DialogSection);
}

void TvxEditWnd::Start(const std::string& section, bool repaint)
{
    if (SwitchesThemeOff(section, repaint)) CallSetWindowTheme(CtrlHandle, L" ", L" ");
    SkinData->SetSkinSection(section.empty() ? "EDIT" : section);
    SkinData->UpdateIndexes();
    AfterCreation();
    SkinParamsSet = false;
    DlgMode = NextDlgMode != 0;
    Attach(repaint);
    if (TControl* owner = OwnerControl(); owner && !owner->InheritsFrom("TsAlphaListBox"))
        owner->SetControlStyle(owner->ControlStyle() | csOpaque);
}

TvxEditWnd::~TvxEditWnd() { Shutdown(); }

void TvxEditWnd::AfterCreation()
{
    TControl* owner = OwnerControl();
    if (!owner) return;
    StdColor = owner->Color();
    StdFontColor = owner->Font().Color();
    HasFocusColor = HasProperty(owner, "FocusColor");
    if (HasFocusColor) StdFocusColor = static_cast<TColor>(GetIntProp(owner, "FocusColor"));
}

void TvxEditWnd::BeforeRemove()
{
    if (CtrlHandle && Visible(CtrlHandle))
        SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    TControl* owner = OwnerControl();
    if (!owner || (owner->ComponentState() & csDestroying)) return;
    owner->SetColor(StdColor);
    owner->Font().SetColor(StdFontColor);
    if (HasFocusColor) SetIntProp(owner, "FocusColor", StdFocusColor);
}

void TvxEditWnd::SetNeedsRepaint()
{
    InCalcSize = true;
    TvxBaseWnd::SetNeedsRepaint();
    TsSkinManager* manager = Manager();
    const bool validSection =
        manager && SkinData->SkinIndex >= 0 && SkinData->SkinIndex < static_cast<int>(manager->GeneralData.size());
    if (TControl* owner = OwnerControl()) {
        if (!SkinData->CustomColor()) {
            const TColor c = GetControlColor(SkinData, SkinData->ControlIsActive() ? 1 : 0, CtrlHandle);
            if (HasFocusColor) {
                if (owner->Color() != c) owner->SetColor(c);
                SetIntProp(owner, "FocusColor", c);
            } else if (owner->Color() != c) {
                owner->SetColor(c);
            }
        }
        if (!SkinData->CustomFont() && validSection) {
            const TColor f = manager->GeneralData[static_cast<size_t>(SkinData->SkinIndex)].HotFontColor[1];
            if (owner->Font().Color() != f) owner->Font().SetColor(f);
        }
    } else {
        EditColor =
            !DlgMode && validSection ? manager->GeneralData[static_cast<size_t>(SkinData->SkinIndex)].Color : clWindow;
        FramePenColor = 0;
    }
    SkinData->BGChanged = true;
    InCalcSize = false;
}

void TvxEditWnd::PaintFrame(HDC dc)
{
    TBitmap* cache = SkinData->FCacheBmp.get();
    const bool ownDC = dc == nullptr;
    if (ownDC) dc = GetWindowDC(CtrlHandle);
    if (cache && !cache->Empty() && BorderLeft > 0)
        CopyFrameFromDC(dc, 0, 0, BorderLeft, 0, 0, cache->Canvas().Handle(), WndSize.cy, WndSize.cx);
    PaintScrollBars(this, CtrlHandle, dc, -1);
    if (ownDC) ReleaseDC(CtrlHandle, dc);
}

void TvxEditWnd::Print(TMessage& m)
{
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    SkinData->Updating = false;
    SkinData->BGChanged = true;
    if (!SkinParamsSet) SetNeedsRepaint();
    ::RefreshCache(SkinData, CtrlHandle, DlgMode);
    if (!DlgMode) DrawFrameWithParentBackground(SkinData, CtrlHandle, BorderLeft);
    if (!dc) return;
    PaintFrame(dc);
    const int saved = SaveDC(dc);
    const int w =
        WndSize.cx - 2 * BorderLeft - (VertBar && VertBar->Visible ? GetScrollMetric(VertBar.get(), true, false) : 0);
    const int h =
        WndSize.cy - 2 * BorderLeft - (HorzBar && HorzBar->Visible ? GetScrollMetric(HorzBar.get(), true, false) : 0);
    POINT old;
    OffsetViewportOrgEx(dc, BorderLeft, BorderLeft, &old);
    IntersectClipRect(dc, 0, 0, std::max(0, w), std::max(0, h));
    SendMessageA(CtrlHandle, WM_ERASEBKGND, m.WParam, 0);
    SendMessageA(CtrlHandle, WM_PAINT, m.WParam, 0);
    SendMessageA(CtrlHandle, WM_PRINTCLIENT, m.WParam, PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
    RestoreDC(dc, saved);
}

void TvxEditWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinnedLink(this)) {
        TvxBaseWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD) {
        if (!AcceptSkinCommand(m)) {
            m.Result = 0;
            return;
        }
        switch (HIWORD(m.WParam)) {
        case cmdIsSkinned:
        case cmdGetApplication:
            AnswerQuery(m);
            return;
        case cmdGetSkinIndex:
            *reinterpret_cast<int*>(m.LParam) = SkinData->SkinIndex;
            return;
        case cmdRefresh:
            if (!FromManager(m.LParam)) break;
            TvxBaseWnd::WndProc(m);
            SetNeedsRepaint();
            return;
        case cmdUpdateEnded:
            if (SkinData->Updating) {
                SkinData->Updating = SkinData->GetUpdating();
                if (!SkinData->Updating)
                    RedrawWindow(CtrlHandle, nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            }
            break;
        case cmdRefreshCache:
            ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
            ::RefreshCache(SkinData, CtrlHandle, DlgMode);
            DrawFrameWithParentBackground(SkinData, CtrlHandle, BorderLeft);
            return;
        default:
            break;
        }
    } else {
        switch (m.Msg) {
        case WM_NCPAINT:
            if (!Visible(CtrlHandle)) break;
            if (AnimationRunning) return;
            ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
            SkinData->Updating = SkinData->GetUpdating();
            if (SkinData->Updating) return;
            if (SkinData->BGChanged) {
                if (!SkinParamsSet) SetNeedsRepaint();
                ::RefreshCache(SkinData, CtrlHandle, DlgMode);
            }
            PaintFrame(nullptr);
            m.Result = 0;
            return;
        case WM_PAINT:
            if (!Visible(CtrlHandle)) break;
            SkinData->Updating = SkinData->GetUpdating();
            if (SkinData->Updating) {
                PAINTSTRUCT ps;
                BeginPaint(CtrlHandle, &ps);
                EndPaint(CtrlHandle, &ps);
                return;
            }
            PaintScrollBars(this, CtrlHandle, nullptr, -1);
            if (!SkinParamsSet) SetNeedsRepaint();
            break;
        case WM_ERASEBKGND:
            if (!Visible(CtrlHandle)) break;
            SkinData->Updating = SkinData->GetUpdating();
            if (SkinData->Updating) return;
            if (!SkinParamsSet) SetNeedsRepaint();
            break;
        case WM_PRINT:
            Print(m);
            return;
        case CM_FONTCHANGED_MSG:
            if (!SkinData->Updating) RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            break;
        default:
            break;
        }
    }
    TvxBaseWnd::WndProc(m);
    if (Destroyed) return;
    switch (m.Msg) {
    case WM_SIZE:
        if (Visible(CtrlHandle)) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
        break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
        UpdateScrolls(this, true);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWN_MSG:
    case CN_KEYUP_MSG:
        if (!Busy) UpdateScrolls(this, true);
        break;
    case WM_MOUSEMOVE:
        if (TsSkinManager* manager = DefaultManager();
            manager && IsWindowEnabled(CtrlHandle) && manager->ActiveControl() != CtrlHandle)
            manager->SetActiveControl(CtrlHandle);
        if (!SkinData->Updating && GetCapture()) UpdateScrolls(this, true);
        break;
    case CM_MOUSEENTER_MSG:
    case CM_MOUSELEAVE_MSG:
        if (TControl* owner = OwnerControl()) {
            SkinData->MouseAbove = m.Msg == CM_MOUSEENTER_MSG;
            SkinData->BGChanged = true;
            if (auto* w = dynamic_cast<TWinControl*>(owner); w && w->HandleAllocated())
                SendMessageA(w->Handle(), WM_NCPAINT, 0, 0);
        }
        break;
    case LB_GETTOPINDEX:
        if (TControl* owner = OwnerControl(); owner && owner->InheritsFrom("TsAlphaListBox") && m.Result == 0 &&
                                              SendMessageA(CtrlHandle, LB_GETCOUNT, 0, 0) == 0)
            m.Result = -1;
        break;
    default:
        break;
    }
}

// ---- TvxComboListWnd ----

bool TvxComboListWnd::SwitchesThemeOff(const std::string& section, bool repaint) const
{
    return repaint && TvxEditWnd::SwitchesThemeOff(section, repaint);
}

void TvxComboListWnd::Start(const std::string& section, bool repaint)
{
    TvxEditWnd::Start(section, repaint);
    ListTracking = false;
    GetWindowRect(CtrlHandle, &WndRect);
}

TvxComboListWnd* TvxComboListWnd::CreateEx(HWND handle, bool simpleStyle, bool repaint, const std::string& section,
                                           TsSkinManager* manager, TsCommonData* skinData)
{
    if (!handle || !IsWindow(handle)) return nullptr;
    auto* a = new TvxComboListWnd(handle, skinData, manager);
    a->SimpleStyle = simpleStyle;
    a->Start(section, repaint);
    if (!simpleStyle) {
        RECT r{};
        GetWindowRect(handle, &r);
        a->WndSize = SIZE{r.right - r.left, r.bottom - r.top};
        SetWindowPos(handle, nullptr, 0, 0, a->WndSize.cx + 1, a->WndSize.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    }
    return a;
}

bool TvxComboListWnd::KeepsCaptureAfterBar() const { return !SimpleStyle && !OwnerControl(); }

void TvxComboListWnd::PrepareCache()
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    if (SimpleStyle) {
        SendMessageA(CtrlHandle, SM_VELOCONCMD, MAKEWPARAM(0, cmdRefreshCache), 0);
        return;
    }
    SkinData->UpdateIndexes();
    SetNeedsRepaint();
    SkinData->InitCacheBmp();
    TBitmap* cache = SkinData->FCacheBmp.get();
    cache->SetPixelFormat(pf24bit);
    cache->SetSize(WndSize.cx, WndSize.cy);
    const HDC dc = cache->Canvas().Handle();
    const HBRUSH brush = CreateSolidBrush(ColorToRGB(EditColor));
    const HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FramePenColor));
    const HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    Rectangle(dc, 0, 0, WndSize.cx, WndSize.cy);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    SkinData->BGChanged = false;
}

void TvxComboListWnd::PaintParentAround()
{
    const HWND parent = GetParent(CtrlHandle);
    if (!parent || !IsWindowVisible(parent)) return;
    TsCacheInfo bg;
    GetParentCacheInfoByHandle(CtrlHandle, bg);
    const bool fromBitmap = bg.Ready && bg.Bmp && !bg.Bmp->Empty();
    if (!fromBitmap && bg.FillColor == clFuchsia) return;
    RECT client{};
    GetClientRect(parent, &client);
    const HDC dc = GetDC(parent);
    // Only what no child window covers: the rest of the combo box around its edit and list.
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    if (fromBitmap) BitBlt(dc, 0, 0, client.right, client.bottom, bg.Bmp->Canvas().Handle(), bg.X, bg.Y, SRCCOPY);
    else FillDC(dc, TRect{0, 0, client.right, client.bottom}, bg.FillColor);
    ReleaseDC(parent, dc);
}

void TvxComboListWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinnedLink(this) || !ManagerActive()) {
        TvxEditWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_ERASEBKGND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        CallPrevWndProc(m);
        return;
    case WM_NCCALCSIZE:
        CalcSize(m);
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        // An open list holds the capture, so the code the message came with says nothing.
        const int hit = HitTest(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
        m.WParam = hit < 0 ? 0 : static_cast<WPARAM>(hit);
        m.Result = 0;
        if (hit == HTHSCROLL || hit == HTVSCROLL) HandleMouse(m);
        return;
    }
    case WM_LBUTTONUP: {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ClientToScreen(CtrlHandle, &p);
        // A press on a bar ends wherever the button comes up (a thumb is mostly let go off the bar).
        if (HitTest(p) > HTCLIENT || ScrollBarPressed()) {
            if (!HandleMouse(m)) CallPrevWndProc(m);
            if (SimpleStyle) ReleaseCapture();
        } else {
            CallPrevWndProc(m);
            ReleaseCapture();
        }
        return;
    }
    case WM_NCPAINT:
        if (Busy) break;
        PrepareCache();
        if (!DlgMode) DrawFrameWithParentBackground(SkinData, CtrlHandle, BorderLeft);
        PaintFrame(nullptr);
        if (SimpleStyle) PaintParentAround();
        m.Result = 0;
        return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        if (!m.WParam || !Visible(CtrlHandle)) break;
        PrepareCache();
        CallPrevWndProc(m);
        if (m.Msg == WM_PRINT && SendMessageA(CtrlHandle, LB_GETCOUNT, 0, 0) >= 1) {
            const HDC dc = reinterpret_cast<HDC>(m.WParam);
            TBitmap* cache = SkinData->FCacheBmp.get();
            if (!ScrollBarPressed() && !ListTracking && cache && !cache->Empty() && BorderLeft > 0)
                CopyFrameFromDC(dc, 0, 0, BorderLeft, 0, 0, cache->Canvas().Handle(), WndSize.cy, WndSize.cx);
            PaintScrollBars(this, CtrlHandle, dc, -1);
        }
        return;
    case ListStartTracking:
        ListTracking = true;
        break;
    case ListEndTracking:
        ListTracking = false;
        SkinData->BGChanged = true;
        break;
    default:
        break;
    }
    TvxEditWnd::WndProc(m);
    if (!Destroyed && m.Msg == WM_WINDOWPOSCHANGED) UpdateScrolls(this, true);
}

// Only a link the adapter made is freed (the base destructor does that through OwnSkinData):
// a link the caller passed stays with the caller.
TvxComboListWnd::~TvxComboListWnd() { Shutdown(); }

// ---- the list box's bars ----

void RefreshEditScrolls(TsCommonData* skinData, TvxEditWnd*& adapter)
{
    if (!skinData) return;
    if (skinData->Skinned()) {
        if (adapter && adapter->Destroyed) {
            delete adapter;
            adapter = nullptr;
        }
        auto* owner = dynamic_cast<TWinControl*>(skinData->FOwnerControl);
        if (!adapter && owner && owner->HandleAllocated())
            adapter = CreateAdapter<TvxEditWnd>(owner->Handle(), skinData, skinData->GetSkinManager(),
                                                skinData->SkinSection(), true);
    } else {
        delete adapter;
        adapter = nullptr;
    }
}
