#include "skin/windows/vxStatusBarWnd.h"

#include <commctrl.h>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/vxContainerUtils.h"

TvxStatusBarWnd::~TvxStatusBarWnd() { Shutdown(); }

void TvxStatusBarWnd::Start(const std::string& section, bool repaint)
{
    TvxMainWnd::Start(section.empty() ? "STATUSBAR" : section, repaint);
}

bool TvxStatusBarWnd::Simple() const { return SendMessageA(CtrlHandle, SB_ISSIMPLE, 0, 0) == 1; }
int TvxStatusBarWnd::Parts() const { return static_cast<int>(SendMessageA(CtrlHandle, SB_GETPARTS, 0, 0)); }

void TvxStatusBarWnd::PrepareCache()
{
    const int w = WndSize.cx, h = WndSize.cy;
    TBitmap* cache = SizedCache(SkinData, w, h);
    TsCacheInfo parent;
    if (OwnerControl()) GetParentCacheInfo(SkinData, parent);
    else parent = ParentCacheInfoAt(CtrlHandle);
    PaintItem(SkinData->Fields(), parent, true, 0, cache, TPoint{}, TRect{0, 0, w, h});
    DrawPanels();
    SkinData->BGChanged = false;
}

void TvxStatusBarWnd::DrawPanels()
{
    if (Simple()) {
        DrawPanel(-1, RECT{0, 1, WndSize.cx - 1, WndSize.cy - 1});
        return;
    }
    const int parts = Parts();
    for (int i = 0; i < parts; ++i) {
        RECT r{};
        SendMessageA(CtrlHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        InflateRect(&r, -1, -1);
        DrawPanel(i, r);
    }
}

void TvxStatusBarWnd::DrawPanel(int index, const RECT& r)
{
    const TsSkinManager* m = Manager();
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (!m || !m->IsValidSkinIndex(SkinData->SkinIndex) || !cache) return;
    const bool simple = index < 0;
    const int panel = m->GetMaskIndex(SkinData->SkinIndex, SkinData->SkinSection(), "STATUSPANELMASK");
    if (m->IsValidImgIndex(panel)) {
        const TRect where = simple ? TRect{0, 0, WndSize.cx, WndSize.cy} : TRect{r.left, r.top, r.right, r.bottom};
        DrawBorderMask(cache, where, 0, m, panel);
        return;
    }
    if (simple || index == Parts() - 1) return;
    const int divider = m->GetSkinIndex("DIVIDER");
    const int image = m->GetMaskIndex(divider, "DIVIDER", "BORDERSMASK");
    if (!m->IsValidSkinIndex(divider) || !m->IsValidImgIndex(image)) return;
    int fw = 0, fh = 0;
    m->GetMaskSize(image, fw, fh);
    const int dw = fw - 1, dh = WndSize.cy - 2;
    if (dw <= 0 || dh <= 0) return;
    const int x = r.right - dw;
    auto d = CreateBmp24(dw, dh);
    BitBlt(d->Canvas().Handle(), 0, 0, dw, dh, cache->Canvas().Handle(), x, r.top, SRCCOPY);
    PaintSection(d.get(), TRect{0, 0, dw, dh}, divider, m, 0, MakeCacheInfo(cache, x, 1));
    BitBlt(cache->Canvas().Handle(), x, 1, dw, dh, d->Canvas().Handle(), 0, 0, SRCCOPY);
    // The part's text would follow here in the section's colours; it comes only from a linked
    // class-library status-bar control, and this library has none.
}

void TvxStatusBarWnd::PaintTo(HDC given)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    const HDC dc = given ? given : GetWindowDC(CtrlHandle);
    PrepareCache();
    BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
    if (!given) ReleaseDC(CtrlHandle, dc);
}

void TvxStatusBarWnd::WndProc(TMessage& m)
{
    const bool skinned = !Destroyed && SkinData->Skinned();
    if (skinned) {
        switch (m.Msg) {
        case WM_PAINT: {
            InvalidateRect(CtrlHandle, nullptr, TRUE);
            const TPaintDC paint(CtrlHandle); // the erase paints
            return;
        }
        case WM_ERASEBKGND:
        case WM_PRINT:
            PaintTo(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        case WM_NCPAINT:
            // Only a linked class-library status bar has a frame of its own to paint.
            if (!RepaintLocked) ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
            return;
        default:
            break;
        }
    }
    TvxMainWnd::WndProc(m);
    if (skinned && !Destroyed && m.Msg == WM_SIZE)
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}
