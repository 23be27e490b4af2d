#include "skin/engine/sLinkPaint.h"

#include <vector>

#include "skin/engine/sBitmapEffects.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"

namespace {
bool Skinned(const TsLinkFields& link) { return link.Manager && link.Manager->IsValidSkinIndex(link.SkinIndex); }

void PaintLinkBackground(const TsLinkFields& link, const TsCacheInfo& cache, int state, TBitmap* bmp, const TRect& r,
                         TPoint offset)
{
    TsCacheInfo c = cache;
    c.X += offset.X;
    c.Y += offset.Y;
    if (!c.Ready && c.FillColor == clFuchsia) c.FillColor = link.ParentColor;
    PaintSectionBackground(bmp, r, c, link.Manager, link.SkinIndex, state, clFuchsia, link.Texture, link.HotTexture);
}

// The parent's background for the owner's area (its offsets moved by the owner's position);
// not ready and without colour when there is no parent.
TsCacheInfo ParentCacheInfo(const TsLinkFields& link)
{
    if (!link.Parent) return TsCacheInfo{};
    TsBackgroundInfo info;
    GetParentBackground(link.Parent, info, false);
    TsCacheInfo c = BackgroundToCacheInfo(info);
    c.X += link.Position.X;
    c.Y += link.Position.Y;
    return c;
}
} // namespace

void PaintItemBackground(const TsLinkFields& link, const TsCacheInfo& cache, TBitmap* bmp, const TRect& r,
                         TPoint offset)
{
    if (!Skinned(link)) return;
    PaintLinkBackground(link, cache, link.State, bmp, r, offset);
}

void PaintItem(const TsLinkFields& link, const TsCacheInfo& cache, bool filling, int state, TBitmap* bmp, TPoint offset,
               const TRect& r)
{
    if (!Skinned(link)) return;
    PaintLinkBackground(link, cache, state, bmp, r, offset);
    DrawBorderMask(bmp, r, state, link.Manager, link.BorderIndex, filling);
    DrawSectionCorners(bmp, r, link.SkinIndex, link.Manager, state);
}

void PaintItemOnParentBackground(const TsLinkFields& link, bool filling, int state, TBitmap* bmp, TPoint offset,
                                 const TRect& r)
{
    if (!Skinned(link)) return;
    PaintItem(link, ParentCacheInfo(link), filling, state, bmp, offset, r);
}

void FillParentCorners(const TsLinkFields& link, int state)
{
    TBitmap* bmp = link.CacheBmp;
    if (!link.Manager || !link.Parent || !bmp || bmp->Empty() || !link.Manager->IsValidImgIndex(link.BorderIndex))
        return;
    std::vector<TRect> runs;
    CollectTransparentRects(link.Manager, link.BorderIndex, state, TRect{0, 0, bmp->Width(), bmp->Height()}, runs);
    if (runs.empty()) return;
    const TsCacheInfo bg = ParentCacheInfo(link);
    const TvxScanLines dst = ScanLinesOf(bmp);
    if (bg.Ready) {
        const TvxScanLines src = ScanLinesOf(bg.Bmp);
        for (const TRect& run : runs)
            CopyPixels(dst, TPoint{run.Left, run.Top}, src,
                       TRect{run.Left + bg.X, run.Top + bg.Y, run.Right + bg.X, run.Bottom + bg.Y});
    } else if (bg.FillColor != clFuchsia) {
        for (const TRect& run : runs)
            TintRect(dst, TRect{run.Left, run.Top, run.Right - 1, run.Bottom - 1}, 0, bg.FillColor);
    }
}

void WriteSkinText(TCanvas& canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                   const TsLinkFields& link, int state)
{
    const TsSkinManager* m = link.Manager;
    if (!m) return;
    if (link.Font) canvas.Font() = *link.Font;
    int index = link.SkinIndex;
    const bool fromParent =
        link.ControlKind == 32 || link.ControlKind == 33 || link.ControlKind == 74 || link.ParentColoredGraphic;
    if (fromParent && link.OpaqueParentIndex >= 0 && m->IsValidSkinIndex(index)) {
        const TsGeneralData& s = m->GeneralData[static_cast<size_t>(index)];
        if ((state == 0 ? s.Transparency : s.HotTransparency) > 0) index = link.OpaqueParentIndex;
    }
    WriteSkinTextOf(canvas, text, enabled, r, flags, m, index, state, link.CacheBmp, link.CustomFont);
}

void WriteControlText(TCanvas& canvas, const std::string& text, bool enabled, int state, const TsLinkFields& link,
                      UINT flags, const TRect& r)
{
    WriteSkinText(canvas, text, enabled, r, flags, link, state);
}
