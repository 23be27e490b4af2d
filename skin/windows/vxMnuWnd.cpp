#include "skin/windows/vxMnuWnd.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "gui/Forms.h"
#include "gui/base/Handles.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/vxAdapterPaint.h"
#include "skin/windows/vxDials.h"

namespace {

constexpr WORD cmdAskPainted = 8;
constexpr WORD cmdPainted = 14;
// The popup window's own border, which the cache's frame covers.
constexpr int MenuFrame = 3;

TsSkinableMenus* SkinnedMenus()
{
    TsSkinManager* manager = DefaultManager();
    return manager ? dynamic_cast<TsSkinableMenus*>(manager->SkinMenus()) : nullptr;
}

bool SkinnedMenusActive()
{
    const TsSkinableMenus* menus = SkinnedMenus();
    return menus && menus->Active();
}

// The frame strips (MenuFrame wide) of src into the window DC at the same places.
void CopyMenuFrame(HDC dc, TBitmap* src, int w, int h)
{
    const HDC s = src->Canvas().Handle();
    BitBlt(dc, 0, 0, w, MenuFrame, s, 0, 0, SRCCOPY);
    BitBlt(dc, 0, h - MenuFrame, w, MenuFrame, s, 0, h - MenuFrame, SRCCOPY);
    BitBlt(dc, 0, MenuFrame, MenuFrame, h - 2 * MenuFrame, s, 0, MenuFrame, SRCCOPY);
    BitBlt(dc, w - MenuFrame, MenuFrame, MenuFrame, h - 2 * MenuFrame, s, w - MenuFrame, MenuFrame, SRCCOPY);
}

} // namespace

TvxMnuWnd* AttachMenuWindow(HWND wnd)
{
    char cls[16] = "";
    if (!wnd || !GetClassNameA(wnd, cls, sizeof cls) || std::string(cls) != "#32768") return nullptr;
    auto* a = CreateAdapter<TvxMnuWnd>(wnd, nullptr, DefaultManager(), "MAINMENU", false);
    if (a) MenuWndList().push_back(a);
    return a;
}

void TvxMnuWnd::PrepareCache()
{
    if (!SkinData->BGChanged && SkinData->FCacheBmp && !SkinData->FCacheBmp->Empty()) return;
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
    // The popup's background as the skinned menus built it for this window.
    TsCacheInfo background;
    if (TsSkinableMenus* menus = SkinnedMenus())
        if (const TsMenuInfo* info = menus->GetMenuInfo(nullptr, CtrlHandle, false); info && info->Bmp)
            background = MakeCacheInfo(info->Bmp.get(), 0, 0);
    PaintItem(SkinData->Fields(), background, true, 0, cache, TPoint{}, TRect{0, 0, WndSize.cx, WndSize.cy});
    FillCornersFromParent(SkinData, background, POINT{}, 0);
    SkinData->BGChanged = false;
}

void TvxMnuWnd::PaintFrame()
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    const TWindowDC dc(CtrlHandle, true);
    TBitmap* source = nullptr;
    if (TsSkinableMenus* menus = SkinnedMenus())
        if (const TsMenuInfo* info = menus->GetMenuInfo(nullptr, CtrlHandle, false);
            info && info->Bmp && info->Bmp->Width() + 6 == WndSize.cx && info->Bmp->Height() == WndSize.cy)
            source = info->Bmp.get();
    if (!source) {
        PrepareCache();
        source = SkinData->FCacheBmp.get();
    }
    if (source && !source->Empty()) CopyMenuFrame(dc.get(), source, WndSize.cx, WndSize.cy);
}

void TvxMnuWnd::WindowGoes(TMessage& m)
{
    Painted = false;
    auto& list = MenuWndList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    ForgetPopupWindow(this);
    CallPrevWndProc(m);
    const bool ownsHook = (OldWndProc || OldProc) && !Destroyed;
    // Everything that needs the object is done before it frees itself.
    TsSkinableMenus::ClearMenuInfo();
    const std::vector<TvxMainWnd*> others = list;
    for (TvxMainWnd* other : others)
        if (other->CtrlHandle && IsWindow(other->CtrlHandle))
            RedrawWindow(other->CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    if (MenuWndList().empty()) ClearMenuWndList();
    if (!ownsHook) return;
    TvxMainWnd* self = this;
    DetachAdapter(CtrlHandle, true, false, self);
}

void TvxMnuWnd::WndProc(TMessage& m)
{
    if (m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
        WindowGoes(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD) {
        switch (HIWORD(m.WParam)) {
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdAskPainted:
            m.LParam = Painted ? 1 : 0;
            m.Result = 0;
            return;
        case cmdPainted:
            if (IsWindowVisible(CtrlHandle)) Painted = true;
            return;
        case cmdGetApplication:
            m.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (!SkinnedMenusActive()) {
        TvxScrollWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        PrepareCache();
        std::optional<TWindowDC> own;
        if (!m.WParam) own.emplace(CtrlHandle);
        const HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : own->get();
        BitBlt(dc, 0, 0, WndSize.cx - 2 * MenuFrame, WndSize.cy - 2 * MenuFrame, SkinData->FCacheBmp->Canvas().Handle(),
               MenuFrame, MenuFrame, SRCCOPY);
        Painted = false;
        m.Result = 1;
        return;
    }
    case WM_NCPAINT:
        if (TsSkinManager* manager = DefaultManager(); manager && manager->MenuSupport().UseExtraLine) {
            PaintFrame();
            m.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TvxScrollWnd::WndProc(m);
}
