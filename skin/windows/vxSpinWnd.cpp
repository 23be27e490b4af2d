#include "skin/windows/vxSpinWnd.h"

#include <commctrl.h>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/vxContainerUtils.h"

TvxSpinWnd::~TvxSpinWnd() { Shutdown(); }

bool TvxSpinWnd::IsVertical() const { return (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & UDS_HORZ) == 0; }

void TvxSpinWnd::Paint(HDC given)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    const int w = WndSize.cx, h = WndSize.cy;
    const bool vertical = IsVertical();
    POINT cursor{};
    GetCursorPos(&cursor);
    HotStates[0] = HotStates[1] = 0;
    if (PtInRect(&WndRect, cursor)) {
        const bool second = vertical ? cursor.y - WndRect.top >= h / 2 : cursor.x - WndRect.left >= w / 2;
        HotStates[second ? 1 : 0] = Pressed ? 2 : 1;
    }
    const TPaintDC paint(CtrlHandle);
    if (SkinData->GetUpdating()) return;
    TsSkinManager* manager = Manager();
    if (!manager || w <= 0 || h <= 0) return;
    const HDC dc = given ? given : GetDC(CtrlHandle);
    SkinData->BGChanged = true;
    TBitmap* cache = SizedCache(SkinData, w, h);
    const int section =
        manager->IsValidSkinIndex(SkinData->SkinIndex) ? SkinData->SkinIndex : manager->GetSkinIndex("BUTTON");
    const TsCommonIndexes& fixed = manager->CommonIndexes;
    const RECT halves[2] = {vertical ? RECT{0, 0, w, h / 2} : RECT{0, 0, w / 2, h},
                            vertical ? RECT{0, h / 2, w, h} : RECT{w / 2, 0, w, h}};
    const int arrows[2] = {fixed.ScrollButtons[vertical ? TsCommonIndexes::Top : TsCommonIndexes::Left].GlyphIndex,
                           fixed.ScrollButtons[vertical ? TsCommonIndexes::Bottom : TsCommonIndexes::Right].GlyphIndex};
    const TsCacheInfo background = ParentCacheInfoAt(CtrlHandle);
    for (int i = 0; i < 2; ++i) {
        const RECT& r = halves[i];
        if (manager->IsValidSkinIndex(section))
            PaintSection(cache, TRect{r.left, r.top, r.right, r.bottom}, section, manager, HotStates[i], background);
        if (!manager->IsValidImgIndex(arrows[i])) continue;
        const TsMaskData& arrow = manager->MaskData[static_cast<size_t>(arrows[i])];
        const TPoint at{r.left + (r.right - r.left - MaskFrameWidth(arrow)) / 2,
                        r.top + (r.bottom - r.top - MaskFrameHeight(arrow)) / 2};
        DrawMaskGlyph(cache, at, HotStates[i], manager, arrows[i]);
    }
    SkinData->BGChanged = false;
    BitBlt(dc, 0, 0, w, h, cache->Canvas().Handle(), 0, 0, SRCCOPY);
    if (!given) ReleaseDC(CtrlHandle, dc);
}

void TvxSpinWnd::WndProc(TMessage& m)
{
    if (Destroyed) {
        TvxMainWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        Pressed = true;
        break;
    case WM_LBUTTONUP:
        Pressed = false;
        break;
    case WM_MOUSELEAVE:
        InvalidateRect(CtrlHandle, nullptr, FALSE);
        break;
    case WM_PAINT:
        Paint(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_NCPAINT:
        m.Result = 0;
        return;
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
    if (Destroyed) return;
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        break;
    case WM_MOUSEMOVE: {
        TsSkinManager* manager = DefaultManager();
        if (!manager || !IsWindowEnabled(CtrlHandle)) break;
        POINT cursor{};
        GetCursorPos(&cursor);
        RECT r{};
        GetWindowRect(CtrlHandle, &r);
        if (PtInRect(&r, cursor)) {
            if (manager->ActiveControl() != CtrlHandle) manager->SetActiveControl(CtrlHandle);
            else SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        } else if (manager->ActiveControl() == CtrlHandle) {
            manager->SetActiveControl(nullptr);
        }
        break;
    }
    default:
        break;
    }
}
