#include "skin/windows/vxMainWnd.h"

#include <algorithm>
#include <vector>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/vxFastBitmaps.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxGlow.h"

namespace {

// Where a subclass that a later one covered keeps the procedure it passes messages on to.
constexpr const char* PassOnProperty = "VXSBSCPREV";
// Command 35: the window is told that its disabled look is about to be painted.
constexpr WORD cmdBeforeDisabledLook = 35;

WNDPROC PassOnProc(HWND wnd)
{
    return reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(GetPropA(wnd, PassOnProperty)));
}

// The one window procedure of every subclassed window: the adapter is found by its property.
// Without one (its adapter let go while a later subclass still covered it) the procedure only
// passes messages on, to the procedure kept under PassOnProperty, until the window goes.
LRESULT CALLBACK AdapterWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TvxMainWnd* adapter = GetAdapterOfWindow(wnd);
    if (adapter && adapter->OldWndProc && !adapter->Destroyed && adapter->CtrlHandle == wnd) {
        TMessage m{msg, wParam, lParam, 0};
        adapter->WndProc(m);
        return m.Result;
    }
    const WNDPROC next = PassOnProc(wnd);
    if (msg == WM_NCDESTROY) RemovePropA(wnd, PassOnProperty);
    return next ? CallWindowProcA(next, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
}

BOOL CALLBACK SendToChild(HWND child, LPARAM p)
{
    const TMessage& msg = *reinterpret_cast<const TMessage*>(p);
    SendMessageA(child, msg.Msg, msg.WParam, msg.LParam);
    return TRUE;
}

void LeaveHookedList(TvxMainWnd* adapter)
{
    auto& list = HookedWindowList();
    list.erase(std::remove(list.begin(), list.end(), adapter), list.end());
}

} // namespace

uint8_t NextDlgMode = 0;
bool CtrlAdapterFreeingAll = false;

// The `inherited` step of the WindowProc hook the message came through, while it runs.
namespace {
thread_local const TWndMethod* currentInherited = nullptr;
}

TvxMainWnd::TvxMainWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager)
    : CtrlHandle(handle), SkinManager(manager)
{
    if (skinData) {
        SkinData = skinData;
        if (!SkinManager) SkinManager = SkinData->GetSkinManager();
    } else {
        OwnSkinData = true;
        SkinData = new TsCommonData(nullptr, true);
        SkinData->FSkinManager = manager;
    }
}

void TvxMainWnd::Start(const std::string& section, bool repaint)
{
    if (!SameText(section, DialogSection)) CallSetWindowTheme(CtrlHandle, L" ", L" ");
    if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(section);
    SkinData->UpdateIndexes();
    DlgMode = NextDlgMode != 0;
    AfterCreation();
    SkinParamsSet = false;
    ReadCaption();
    Attach(repaint);
    if (TControl* owner = OwnerControl()) owner->SetControlStyle(owner->ControlStyle() | csOpaque);
}

TvxMainWnd::~TvxMainWnd()
{
    Shutdown();
    if (OwnSkinData) delete SkinData;
    SkinData = nullptr;
    SkinManager = nullptr;
}

void TvxMainWnd::Shutdown()
{
    if (!Destroyed) {
        if (CtrlAdapterFreeingAll && !SkinManagerFlags().Removing) {
            // The windows go with their form: nothing is given back, the hook only goes quiet.
            Unhook(true);
        } else {
            if (SetWindowThemeProc && IsWindow(CtrlHandle)) CallSetWindowTheme(CtrlHandle, nullptr, nullptr);
            Unhook();
            BeforeRemove();
        }
    }
    Destroyed = true;
    LeaveHookedList(this);
}

void TvxMainWnd::Hook()
{
    Busy = false;
    SetPropA(CtrlHandle, AdapterProperty, this);
    TWinControl* control = HookedControl();
    if (control && control->HandleAllocated() && control->Handle() == CtrlHandle) {
        OldProc = control->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) {
            const TWndMethod* outer = currentInherited;
            currentInherited = &inherited;
            if (Destroyed) inherited(m);
            else WndProc(m);
            currentInherited = outer;
        });
        return;
    }
    if (const WNDPROC kept = PassOnProc(CtrlHandle)) {
        // An earlier adapter's procedure still sits in the chain under a later subclass: this
        // adapter takes that place instead of stacking a second one on top.
        OldWndProc = kept;
        RemovePropA(CtrlHandle, PassOnProperty);
    } else {
        OldWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(CtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AdapterWndProc)));
    }
    HookedWindowList().push_back(this);
}

bool TvxMainWnd::Unhook(bool keepSubclass)
{
    bool undone = false;
    if (OldProc) {
        // The control may be gone already when the adapter outlives it.
        if (TWinControl* control = HookedControl()) control->UnhookWindowProc(OldProc);
        OldProc = 0;
        undone = true;
    } else if (OldWndProc) {
        // Restored only while this procedure is the window's; under a later subclass it stays
        // in the chain and passes on to the procedure it covered.
        if (IsWindow(CtrlHandle)) {
            if (!keepSubclass &&
                reinterpret_cast<WNDPROC>(GetWindowLongPtrA(CtrlHandle, GWLP_WNDPROC)) == &AdapterWndProc)
                SetWindowLongPtrA(CtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldWndProc));
            else SetPropA(CtrlHandle, PassOnProperty, reinterpret_cast<HANDLE>(OldWndProc));
        }
        OldWndProc = nullptr;
        undone = true;
    }
    if (CtrlHandle && GetPropA(CtrlHandle, AdapterProperty) == this) RemovePropA(CtrlHandle, AdapterProperty);
    LeaveHookedList(this);
    return undone;
}

TWinControl* TvxMainWnd::HookedControl() const
{
    if (!SkinData) return nullptr;
    if (auto* control = dynamic_cast<TWinControl*>(SkinData->FOwnerControl)) return control;
    if (auto* provider = dynamic_cast<TsFormProviderState*>(SkinData->FOwnerObject)) return provider->ProviderForm();
    return nullptr;
}

void TvxMainWnd::CallPrevWndProc(TMessage& m)
{
    if (OldProc && currentInherited) (*currentInherited)(m);
    else if (OldWndProc) m.Result = CallWindowProcA(OldWndProc, CtrlHandle, m.Msg, m.WParam, m.LParam);
    else m.Result = 0;
}

void TvxMainWnd::ReadCaption()
{
    char text[1000] = {};
    GetWindowTextA(CtrlHandle, text, static_cast<int>(sizeof text));
    Caption = text;
}

TsSkinManager* TvxMainWnd::Manager() const
{
    if (!SkinData) return nullptr;
    return SkinManager ? SkinManager : SkinData->GetSkinManager();
}

bool TvxMainWnd::ManagerActive() const
{
    TsSkinManager* manager = Manager();
    return manager && manager->Active();
}

void TvxMainWnd::TakeNewSkin(const TMessage& m)
{
    SkinData->UpdateIndexes();
    TMessage down{m.Msg, m.WParam, m.LParam, 0};
    PassSkinMessage(OwnerControl(), CtrlHandle, down);
}

void TvxMainWnd::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
        if (SkinData && SkinData->GlowID >= 0) HideGlow(SkinData->GlowID);
        CallPrevWndProc(m);
        TvxMainWnd* self = this;
        if (OldWndProc || OldProc) DetachAdapter(CtrlHandle, false, false, self);
        return;
    }
    case WM_UPDATEUISTATE:
        return;
    case WM_PRINT:
        m.Result = SendMessageA(CtrlHandle, WM_PAINT, m.WParam, m.LParam);
        return;
    case WM_SETTEXT:
        CallPrevWndProc(m);
        ReadCaption();
        return;
    case WM_SIZE:
        if (SkinData) SkinData->BGChanged = true;
        break;
    case WM_MOUSEMOVE:
        if (TsSkinManager* manager = DefaultManager();
            manager && IsWindowEnabled(CtrlHandle) && manager->ActiveControl() != CtrlHandle)
            manager->SetActiveControl(CtrlHandle);
        break;
    default:
        break;
    }
    if (m.Msg == SM_VELOCONCMD && ManagerActive()) {
        HandleSkinCommand(m);
        return;
    }
    CallPrevWndProc(m);
}

void TvxMainWnd::HandleSkinCommand(TMessage& m)
{
    if (!AcceptSkinCommand(m)) {
        m.Result = 0;
        return;
    }
    const bool ownManager = FromManager(m.LParam);
    switch (HIWORD(m.WParam)) {
    case cmdSkinChanged:
        if (ownManager) {
            TakeNewSkin(m);
            SkinData->BGChanged = true;
        }
        break;
    case cmdRemoveSkin:
        if (ownManager) BeforeRemove();
        break;
    case cmdRefresh:
        if (!ownManager) break;
        SkinData->UpdateIndexes();
        SkinData->BGChanged = true;
        SkinData->Updating = false;
        SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        return;
    case cmdUpdateEnded:
        if (!SkinData->Updating) break;
        SkinData->Updating = SkinData->GetUpdating();
        if (!SkinData->Updating)
            RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        return;
    case cmdGetBGChanged:
        m.Result = SkinData->Updating ? 1 : 0;
        return;
    case cmdHasComplexBG:
        if (!OwnerControl()) break;
        ::HandleSkinCommand(m, *SkinData);
        return;
    case cmdRefreshCache:
        ::RefreshCache(SkinData, CtrlHandle, false);
        break;
    case cmdGetBGInfo:
        GetBGInfo(SkinData, *reinterpret_cast<TsBackgroundInfo*>(m.LParam), 0, CtrlHandle);
        return;
    default:
        if (AnswerQuery(m)) return;
        break;
    }
    CallPrevWndProc(m);
}

bool TvxMainWnd::AnswerQuery(TMessage& m)
{
    switch (HIWORD(m.WParam)) {
    case cmdIsSkinned:
        m.Result = 1;
        return true;
    case cmdGetBGColor:
        CallPrevWndProc(m);
        if (m.Result == 0) m.Result = static_cast<LRESULT>(GetControlColor(SkinData, 0, CtrlHandle));
        return true;
    case cmdGetApplication:
        m.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

TvxMainWnd* GetAdapterOfWindow(HWND handle)
{
    return handle ? static_cast<TvxMainWnd*>(GetPropA(handle, AdapterProperty)) : nullptr;
}

void DetachAdapter(HWND handle, bool freeIt, bool repaint, TvxMainWnd*& adapter)
{
    if (!adapter) return;
    if (!adapter->Destroyed) {
        adapter->Unhook();
        adapter->BeforeRemove();
        if (handle && IsWindowVisible(handle)) RefreshFrame(handle, repaint);
        adapter->Destroyed = true;
    }
    if (freeIt) {
        adapter->OldWndProc = nullptr;
        adapter->OldProc = 0;
        delete adapter;
        adapter = nullptr;
    }
}

void RefreshFrame(HWND handle, bool full)
{
    if (!handle) return;
    if (full)
        SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else SendMessageA(handle, WM_NCPAINT, 1, 0);
}

void ReadWindowGeometry(HWND handle, HWND& parentWnd, RECT& wndRect, POINT& wndPos, SIZE& wndSize, RECT& parentRect)
{
    GetWindowRect(handle, &wndRect);
    parentWnd = GetParent(handle);
    parentRect = RECT{};
    if (parentWnd) GetWindowRect(parentWnd, &parentRect);
    wndSize = SIZE{std::max<LONG>(0, wndRect.right - wndRect.left), std::max<LONG>(0, wndRect.bottom - wndRect.top)};
    wndPos = POINT{wndRect.left, wndRect.top};
    if (parentWnd) ScreenToClient(parentWnd, &wndPos);
}

void RefreshCache(TsCommonData* skinData, HWND handle, bool useGlobalColor)
{
    if (!skinData || !skinData->BGChanged || !handle) return;
    RECT wr{};
    GetWindowRect(handle, &wr);
    const int w = std::max<int>(0, wr.right - wr.left), h = std::max<int>(0, wr.bottom - wr.top);
    skinData->InitCacheBmp();
    TBitmap* cache = skinData->FCacheBmp.get();
    cache->SetPixelFormat(pf24bit);
    cache->SetSize(w, h);
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(handle, parent);
    TsSkinManager* global = DefaultManager();
    const TColor globalColor = global ? global->GetGlobalColor() : clFuchsia;
    // The parent's background is read where the window lies in the parent.
    POINT pos{wr.left, wr.top};
    const HWND parentWnd = GetParent(handle);
    const bool placed = parentWnd && ScreenToClient(parentWnd, &pos);
    if (!useGlobalColor || globalColor == clFuchsia) {
        if (!placed) return;
        if (skinData->SkinIndex >= 0) {
            const int state = skinData->Focused || skinData->MouseAbove ? 1 : 0;
            PaintItem(skinData->Fields(), parent, true, state, cache, TPoint{pos.x, pos.y}, TRect{0, 0, w, h});
        }
    } else {
        FillDC(cache->Canvas().Handle(), TRect{0, 0, w, h}, clWindow);
        FillDC(cache->Canvas().Handle(), TRect{0, 0, w, h}, globalColor);
    }
    if (TControl* owner = skinData->FOwnerControl; owner && !owner->Enabled()) {
        SendSkinCommand(handle, cmdBeforeDisabledLook, 0);
        ApplyDisabledKind(cache, dkBlended, placed ? TPoint{pos.x, pos.y} : TPoint{}, parent,
                          AskWindowColor(GetParent(handle)));
    }
    skinData->BGChanged = false;
}

void DrawFrameWithParentBackground(TsCommonData* skinData, HWND handle, int frameWidth)
{
    if (!skinData || !handle || frameWidth <= 0) return;
    TsSkinManager* manager = skinData->GetSkinManager();
    TBitmap* cache = skinData->FCacheBmp.get();
    if (!manager || !manager->IsValidImgIndex(skinData->BorderIndex) || !cache || cache->Empty()) return;
    const int w = cache->Width(), h = cache->Height();
    if (w < 2 || h < 2) return;
    // The border image alone, over the transparent colour: what stays that colour lets the
    // parent's background through.
    TBitmap frame;
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(w, h);
    FillDC(frame.Canvas().Handle(), TRect{0, 0, w, h}, clFuchsia);
    const int state = skinData->Focused || skinData->MouseAbove ? 1 : 0;
    DrawBorderMask(&frame, TRect{0, 0, w, h}, state, manager, skinData->BorderIndex, true);
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(handle, parent);
    RECT wr{};
    GetWindowRect(handle, &wr);
    POINT pos{wr.left, wr.top};
    if (const HWND parentWnd = GetParent(handle); !parentWnd || !ScreenToClient(parentWnd, &pos)) pos = POINT{};
    TvxFast24 src, dst, bg;
    if (!src.Attach(&frame) || !dst.Attach(cache)) return;
    const bool fromBitmap = parent.Ready && parent.Bmp && bg.Attach(parent.Bmp);
    for (int y = 0; y < h; ++y) {
        const bool rowInStrip = y < frameWidth || y >= h - frameWidth;
        for (int x = 0; x < w; ++x) {
            if (!rowInStrip && x >= frameWidth && x < w - frameWidth) {
                x = w - frameWidth - 1;
                continue;
            }
            const TColor c = src.GetPixel(x, y);
            if (c != clFuchsia) {
                dst.SetPixel(x, y, c);
                continue;
            }
            if (fromBitmap) {
                const int bx = parent.X + pos.x + x, by = parent.Y + pos.y + y;
                if (bx >= 0 && by >= 0 && bx < bg.Width && by < bg.Height) dst.SetPixel(x, y, bg.GetPixel(bx, by));
            } else if (parent.FillColor != clFuchsia) {
                dst.SetPixel(x, y, parent.FillColor);
            }
        }
    }
}

void PassSkinMessage(TControl* ownerControl, HWND handle, TMessage& m)
{
    if (auto* control = dynamic_cast<TWinControl*>(ownerControl)) {
        BroadcastToControls(control, m);
        return;
    }
    if (!handle) return;
    EnumChildWindows(handle, &SendToChild, reinterpret_cast<LPARAM>(&m));
}
