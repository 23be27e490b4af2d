#include "skin/engine/sSectionPaint.h"

#include <algorithm>

#include "gui/base/Handles.h"
#include "skin/engine/sBitmapEffects.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sGradient.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sMaskTiles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sUtils.h"

namespace {
// What the section paints for a state.
struct TLayer {
    TColor C = 0;
    int T = 0, I = 0, G = 0;
    int TextureMask = -1; // a texture image
    int Pattern = -1;     // else a JPEG pattern
    const TsGradArray* Steps = nullptr;
};

TColor RGBOf(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

TLayer LayerOf(const TsSkinManager& m, int si, int state, TColor color, int texture, int hotTexture)
{
    TLayer l;
    if (color != clFuchsia) {
        l.C = RGBOf(color);
        return l;
    }
    const TsGeneralData& s = m.GeneralData[static_cast<size_t>(si)];
    const bool hot = state != 0;
    l.C = hot ? RGBOf(s.HotColor) : s.Color;
    l.T = hot ? s.HotTransparency : s.Transparency;
    l.I = hot ? s.HotImagePercent : s.ImagePercent;
    l.G = hot ? s.HotGradientPercent : s.GradientPercent;
    if (l.T != 100 && l.I > 0) {
        const char* key = hot ? "HOTPATTERN" : "PATTERN";
        int t = hot ? hotTexture : texture;
        if (t == -1) t = m.GetTextureIndex(si, s.Name, key);
        if (m.IsValidImgIndex(t)) l.TextureMask = t;
        else l.Pattern = m.GetPatternIndex(si, s.Name, key);
    }
    if (l.G != 0) l.Steps = hot ? &s.HotGradientArray : &s.GradientArray;
    return l;
}

TRect Sized(const TRect& r) { return TRect{0, 0, r.Right - r.Left, r.Bottom - r.Top}; }
bool Empty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// r of a 24- or 32-bit bitmap in a colour (32 bits at alpha 255).
void FillArea(TBitmap* bmp, const TRect& r, TColor rgb)
{
    const TvxScanLines lines = ScanLinesOf(bmp);
    TintRect(lines, TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}, 0, rgb);
    if (lines.BytesPerPixel == 4) SetAlphaChannel(lines, r, 255);
}

void GradientOrColor(TBitmap* bmp, const TRect& r, const TLayer& l)
{
    if (l.Steps && !l.Steps->empty()) {
        FillGradient(bmp, r, *l.Steps);
        GdiFlush();
    } else {
        FillArea(bmp, r, l.C);
    }
}

// A texture image by its draw mode; rest becomes what is left of r. False when nothing was drawn.
bool DrawTexture(TBitmap* bmp, const TRect& r, const TsSkinManager& m, int maskIndex, TRect& rest)
{
    rest = r;
    const TsMaskData& mask = m.MaskData[static_cast<size_t>(maskIndex)];
    const TRect frame = MaskFrameRect(mask, 0);
    const TsPictureRows pic = PictureRowsOf(MaskPicture(mask));
    const TvxScanLines dst = ScanLinesOf(bmp);
    const int mode = mask.StretchMode;
    if (!pic.Bmp || Empty(frame) || dst.BytesPerPixel == 0) return false;
    if (IsMaskedImage(mask) && mode != 0 && mode != 10) return false;
    const int w = frame.Right - frame.Left, h = frame.Bottom - frame.Top;
    for (TsPiece p : TexturePieces(mode, r, w, h, rest)) {
        p.Src =
            TRect{p.Src.Left + frame.Left, p.Src.Top + frame.Top, p.Src.Right + frame.Left, p.Src.Bottom + frame.Top};
        const TPoint at{p.Dst.Left, p.Dst.Top};
        if (IsMaskedImage(mask)) MaskedCopy(dst, at, pic.Lines, p.Src, h);
        else if (p.Src.Right - p.Src.Left == p.Dst.Right - p.Dst.Left &&
                 p.Src.Bottom - p.Src.Top == p.Dst.Bottom - p.Dst.Top)
            CopyPixels(dst, at, pic.Lines, p.Src);
        else StretchPiece(bmp, p, pic.Bmp, HALFTONE);
    }
    return true;
}

// The section's own layer into r.
void PaintLayer(TBitmap* bmp, const TRect& r, const TsSkinManager& m, const TLayer& l)
{
    bool textured = false;
    TRect rest = r;
    if (l.I > 0 && l.TextureMask >= 0) {
        textured = DrawTexture(bmp, r, m, l.TextureMask, rest);
    } else if (l.I > 0 && l.Pattern >= 0) {
        TBitmap* picture = m.PatternData[static_cast<size_t>(l.Pattern)].Img.get();
        if (picture && !picture->Empty()) {
            TileBitmap(bmp->Canvas(), r, picture);
            GdiFlush();
            textured = true;
            rest = TRect{-1, -1, -1, -1};
        }
    }
    const bool restLeft = !Empty(rest) && rest.Left >= 0;
    if (l.G > 0 && textured) {
        auto work = CreateBitmapLike(bmp);
        work->SetSize(r.Right - r.Left, r.Bottom - r.Top);
        GradientOrColor(work.get(), Sized(r), l);
        SumBitmaps(bmp, work.get(), static_cast<uint8_t>(ClampByte(l.I * 255 / 100)), TPoint{r.Left, r.Top}, Sized(r));
        if (restLeft)
            CopyPixels(ScanLinesOf(bmp), TPoint{rest.Left, rest.Top}, ScanLinesOf(work.get()),
                       TRect{rest.Left - r.Left, rest.Top - r.Top, rest.Right - r.Left, rest.Bottom - r.Top});
    } else if (!textured) {
        GradientOrColor(bmp, r, l.G > 0 ? l : TLayer{l.C});
    } else if (restLeft) {
        GradientOrColor(bmp, rest, TLayer{l.C});
    }
}

// The background under r: the cache bitmap's area when ready (unless it is bmp), else the fill colour.
void PaintParentBackground(TBitmap* bmp, const TRect& r, const TsCacheInfo& cache)
{
    if (!cache.Ready) {
        FillArea(bmp, r, RGBOf(cache.FillColor));
    } else if (cache.Bmp != bmp) {
        CopyPixels(ScanLinesOf(bmp), TPoint{r.Left, r.Top}, ScanLinesOf(cache.Bmp),
                   TRect{cache.X + r.Left, cache.Y + r.Top, cache.X + r.Right, cache.Y + r.Bottom});
    }
}

const TsSkinManager* ManagerOr(const TsSkinManager* manager) { return manager ? manager : DefaultManager(); }
} // namespace

void PaintSectionBackground(TBitmap* bmp, const TRect& r, const TsCacheInfo& cache, const TsSkinManager* manager,
                            int sectionIndex, int state, TColor color, int texture, int hotTexture)
{
    const TsSkinManager* m = ManagerOr(manager);
    if (!m || !m->IsValidSkinIndex(sectionIndex) || ScanLinesOf(bmp).BytesPerPixel == 0 || Empty(r)) return;
    const TLayer l = LayerOf(*m, sectionIndex, state, color, texture, hotTexture);
    if ((!cache.Ready && cache.FillColor == clFuchsia) || l.T == 0) {
        PaintLayer(bmp, r, *m, l);
    } else if (l.T >= 100) {
        PaintParentBackground(bmp, r, cache);
    } else if (cache.Ready || l.I > 0 || l.G > 0) {
        auto work = CreateBitmapLike(bmp);
        work->SetSize(r.Right - r.Left, r.Bottom - r.Top);
        PaintLayer(work.get(), Sized(r), *m, l);
        PaintParentBackground(bmp, r, cache);
        SumBitmaps(bmp, work.get(), static_cast<uint8_t>(ClampByte(l.T * 255 / 100)), TPoint{r.Left, r.Top}, Sized(r));
    } else {
        FillArea(bmp, r, BlendColors(RGBOf(cache.FillColor), l.C, l.T / 100.0));
    }
}

void PaintSection(TBitmap* bmp, const TRect& r, int sectionIndex, const TsSkinManager* manager, int state,
                  const TsCacheInfo& cache)
{
    const TsSkinManager* m = ManagerOr(manager);
    if (!m || !m->IsValidSkinIndex(sectionIndex)) return;
    PaintSectionBackground(bmp, r, cache, m, sectionIndex, state);
    DrawBorderMask(bmp, r, state, m, m->GeneralData[static_cast<size_t>(sectionIndex)].BorderIndex, true);
    DrawSectionCorners(bmp, r, sectionIndex, m, state);
}

void DrawSectionCorners(TBitmap* bmp, const TRect& r, int sectionIndex, const TsSkinManager* manager, int state)
{
    const TsSkinManager* m = ManagerOr(manager);
    if (!m || !m->IsValidSkinIndex(sectionIndex)) return;
    const TsGeneralData& s = m->GeneralData[static_cast<size_t>(sectionIndex)];
    const auto corner = [&](int index, bool right, bool bottom) {
        if (!m->IsValidImgIndex(index)) return;
        const TsMaskData& mask = m->MaskData[static_cast<size_t>(index)];
        const int w = MaskFrameWidth(mask), h = MaskFrameHeight(mask);
        DrawMaskGlyph(bmp, TPoint{right ? r.Right - w : r.Left, bottom ? r.Bottom - h : r.Top}, state, m, index);
    };
    corner(s.ImgTopLeft, false, false);
    corner(s.ImgTopRight, true, false);
    corner(s.ImgBottomLeft, false, true);
    corner(s.ImgBottomRight, true, true);
}

void PaintSectionToDC(HDC dc, TPoint point, const TRect& r, int sectionIndex, const TsSkinManager* manager, int state,
                      const TsCacheInfo& cache)
{
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const TsSkinManager* m = ManagerOr(manager);
    if (!dc || w <= 0 || h <= 0 || !m || !m->IsValidSkinIndex(sectionIndex)) return;
    auto bmp = CreateBmp24(w, h);
    PaintSection(bmp.get(), Sized(r), sectionIndex, manager, state, cache);
    BitBlt(dc, point.X, point.Y, w, h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
}

bool PaintSectionByName(TBitmap* bmp, const TRect& r, const std::string& name, const std::string& fallbackName,
                        const TsSkinManager* manager, int state, const TsCacheInfo& cache, HDC srcDC, TPoint srcPoint)
{
    const TsSkinManager* m = ManagerOr(manager);
    if (!m || !bmp) return false;
    int i = m->GetSkinIndex(name);
    if (i < 0) i = m->GetSkinIndex(fallbackName);
    if (i < 0) return false;
    if (srcDC) {
        BitBlt(bmp->Canvas().Handle(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, srcDC, srcPoint.X, srcPoint.Y,
               SRCCOPY);
        GdiFlush();
    }
    PaintSection(bmp, r, i, m, state, cache);
    return true;
}

void PaintSectionBorderBackground(TBitmap* bmp, const TRect& part, int sectionIndex, int maskIndex,
                                  const TsSkinManager* manager, int state, const TsCacheInfo& cache)
{
    TsCacheInfo shifted = cache;
    shifted.X += part.Left;
    shifted.Y += part.Top;
    PaintSectionBackground(bmp, Sized(part), shifted, manager, sectionIndex, state);
    DrawBorderMask(bmp, Sized(part), state, ManagerOr(manager), maskIndex, true);
}

void ApplyDisabledKind(TBitmap* bmp, unsigned kinds, TPoint offset, const TsCacheInfo& cache, TColor parentColor)
{
    if (!bmp || bmp->Empty()) return;
    if (kinds & dkGrayed) GrayBitmap(bmp);
    if (!(kinds & dkBlended)) return;
    const int w = bmp->Width(), h = bmp->Height();
    if (cache.Ready) {
        const int x = cache.X + offset.X, y = cache.Y + offset.Y;
        BlendBitmapRect(bmp, 0, 0, NoTransColor, 0.4, TRect{x, y, x + w - 1, y + h - 1}, cache.Bmp);
    } else {
        TintRect(bmp, TRect{0, 0, w - 1, h - 1}, 50, cache.FillColor == clFuchsia ? parentColor : cache.FillColor);
    }
}
