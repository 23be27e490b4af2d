#include "skin/windows/vxAdapterPaint.h"

#include <algorithm>
#include <vector>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"

void PaintLinkSection(TsCommonData* link, const TsCacheInfo& parent, POINT pos, int state, int w, int h)
{
    PaintItem(link->Fields(), parent, true, state, link->FCacheBmp.get(), TPoint{pos.x, pos.y}, TRect{0, 0, w, h});
    FillCornersFromParent(link, parent, pos, state);
}

void BlendDisabledWindow(HWND wnd, TBitmap* bmp, const TsCacheInfo& parent, POINT pos)
{
    if (IsWindowEnabled(wnd)) return;
    BlendDisabled(bmp, parent, pos, parent.FillColor != clFuchsia ? parent.FillColor : AskWindowColor(GetParent(wnd)));
}

void PaintParentBackground(TBitmap* bmp, const TsCacheInfo& parent, POINT pos, const TRect& r)
{
    if (!bmp || bmp->Empty()) return;
    const HDC dc = bmp->Canvas().Handle();
    if (parent.Ready && parent.Bmp && !parent.Bmp->Empty()) {
        BitBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, parent.Bmp->Canvas().Handle(),
               parent.X + pos.x + r.Left, parent.Y + pos.y + r.Top, SRCCOPY);
    } else if (parent.FillColor != clFuchsia) {
        FillDC(dc, r, parent.FillColor);
    }
}

void FillCornersFromParent(TsCommonData* link, const TsCacheInfo& parent, POINT pos, int state)
{
    TsSkinManager* manager = link ? link->GetSkinManager() : nullptr;
    TBitmap* cache = link ? link->FCacheBmp.get() : nullptr;
    if (!manager || !cache || cache->Empty() || !manager->IsValidImgIndex(link->BorderIndex)) return;
    std::vector<TRect> runs;
    CollectTransparentRects(manager, link->BorderIndex, state, TRect{0, 0, cache->Width(), cache->Height()}, runs);
    for (const TRect& run : runs)
        PaintParentBackground(cache, parent, pos, run);
}

void BlendDisabled(TBitmap* bmp, const TsCacheInfo& parent, POINT pos, TColor parentColor)
{
    if (!bmp || bmp->Empty()) return;
    if (parent.Ready && parent.Bmp && !parent.Bmp->Empty()) {
        const int x = parent.X + pos.x, y = parent.Y + pos.y;
        BlendBitmapRect(bmp, 0, 0, clFuchsia, 0.4, TRect{x, y, x + bmp->Width() - 1, y + bmp->Height() - 1},
                        parent.Bmp);
    } else {
        BlendBitmapToColor(bmp, parentColor, clFuchsia, 0.4);
    }
}

SIZE GlyphFrameSize(const TsSkinManager* manager, int maskIndex)
{
    if (!manager || !manager->IsValidImgIndex(maskIndex)) return SIZE{16, 16};
    int w = 0, h = 0;
    manager->GetMaskSize(maskIndex, w, h);
    return SIZE{w, h};
}

bool CursorInWindow(HWND wnd)
{
    POINT p{};
    RECT r{};
    return GetCursorPos(&p) && GetWindowRect(wnd, &r) && PtInRect(&r, p);
}
