#include "skin/windows/vxSizerWnd.h"

#include <algorithm>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/vxAdapterPaint.h"

void TvxSizerWnd::Paint()
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    const TPaintDC paint(CtrlHandle);
    const TWindowDC dc(CtrlHandle, true);
    const int w = WndSize.cx, h = WndSize.cy;
    auto bmp = CreateBmp24(w, h);
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(CtrlHandle, parent);
    PaintParentBackground(bmp.get(), parent, WndPos, TRect{0, 0, w, h});
    if (const TsSkinManager* manager = Manager()) {
        const int grip = manager->GetMaskIndex(manager->CommonIndexes.GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
        if (manager->IsValidImgIndex(grip)) {
            const TsMaskData& mask = manager->MaskData[static_cast<size_t>(grip)];
            DrawMaskGlyph(bmp.get(),
                          TPoint{std::max(w - MaskFrameWidth(mask), 0), std::max(h - MaskFrameHeight(mask), 0)}, 0,
                          manager, grip);
        }
    }
    BitBlt(dc.get(), 0, 0, w, h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TvxSizerWnd::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT:
        Paint();
        m.Result = 0;
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        m.Result = 1;
        return;
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
    if (m.Msg != WM_NCHITTEST) return;
    if (TsSkinManager* manager = Manager(); manager && IsWindowEnabled(CtrlHandle)) manager->SetActiveControl(nullptr);
    m.Result = HTBOTTOMRIGHT;
}
