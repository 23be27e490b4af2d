#include "skin/engine/sMaskPaint.h"

#include <algorithm>
#include <memory>

#include "gui/base/Handles.h"
#include "skin/engine/sBitmapEffects.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"

namespace {
TRect Inclusive(const TRect& r) { return TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}; }
bool Empty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

const TsMaskData* MaskOf(const TsSkinManager* manager, int maskIndex)
{
    if (!manager || !manager->IsValidImgIndex(maskIndex)) return nullptr;
    const TsMaskData& mask = manager->MaskData[static_cast<size_t>(maskIndex)];
    return mask.Manager ? &mask : nullptr;
}

TsBorderWidths WidthsOf(const TsSkinManager* manager, int maskIndex)
{
    return TsBorderWidths{manager->GetMaskLeftWidth(maskIndex), manager->GetMaskTopWidth(maskIndex),
                          manager->GetMaskRightWidth(maskIndex), manager->GetMaskBottomWidth(maskIndex)};
}

// The pieces DrawBorderMask draws (none when it draws nothing).
std::vector<TsPiece> BorderPlan(const TsSkinManager* manager, int maskIndex, int state, const TRect& r, bool fillMiddle)
{
    const TsMaskData* mask = MaskOf(manager, maskIndex);
    if (!mask || (state == 0 && (mask->StretchMode & bmSkipNormal))) return {};
    const int width = r.Right - r.Left, height = r.Bottom - r.Top;
    if (width < 2 || height < 2) return {};
    const TRect frame = MaskFrameRect(*mask, state);
    if (Empty(frame)) return {};
    const TsBorderWidths w = ShrinkBorders(WidthsOf(manager, maskIndex), width, height);
    const bool stretch = (mask->StretchMode & bmStretch) && !IsMaskedImage(*mask);
    return BorderPieces(r, frame, w, stretch, fillMiddle && (mask->StretchMode & bmPaintMiddle));
}
} // namespace

bool IsMaskedImage(const TsMaskData& mask) { return mask.MaskType >= 1 && mask.MaskType < 32768; }

TsPictureRows PictureRowsOf(TBitmap* picture)
{
    TsPictureRows p;
    if (!picture || picture->Empty()) return p;
    p.Bmp = picture;
    p.Lines = ScanLinesOf(picture);
    if (p.Lines.BytesPerPixel == 0) {
        p.Copy = std::make_unique<TBitmap>();
        p.Copy->Assign(*picture);
        p.Copy->SetPixelFormat(pf24bit);
        p.Bmp = p.Copy.get();
        p.Lines = ScanLinesOf(p.Bmp);
    }
    return p;
}

void StretchPiece(TBitmap* dst, const TsPiece& piece, TBitmap* src, int stretchMode)
{
    const TRect s{std::max(piece.Src.Left, 0), std::max(piece.Src.Top, 0), std::min(piece.Src.Right, src->Width()),
                  std::min(piece.Src.Bottom, src->Height())};
    const TRect& d = piece.Dst;
    if (Empty(s) || Empty(d)) return;
    HDC dc = dst->Canvas().Handle();
    {
        TSavedDC saved(dc);
        SetStretchBltMode(dc, stretchMode);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top, src->Canvas().Handle(), s.Left, s.Top,
                   s.Right - s.Left, s.Bottom - s.Top, SRCCOPY);
    }
    GdiFlush(); // before the next piece is written into the rows
}

TRect MaskFrameRect(const TsMaskData& mask, int state)
{
    const int count = std::max<int>(mask.ImageCount, 1);
    const int frame = std::clamp(state, 0, count - 1);
    const int fw = MaskFrameWidth(mask), fh = MaskFrameHeight(mask);
    const int left = mask.R.Left + frame * fw;
    return TRect{left, mask.R.Top, left + fw, mask.R.Top + fh};
}

TBitmap* MaskPicture(const TsMaskData& mask)
{
    if (mask.Bmp) return mask.Bmp.get();
    return mask.Manager ? mask.Manager->MasterBitmap.get() : nullptr;
}

void DrawBorderMask(TBitmap* bmp, const TRect& r, int state, const TsSkinManager* manager, int maskIndex,
                    bool fillMiddle)
{
    const std::vector<TsPiece> pieces = BorderPlan(manager, maskIndex, state, r, fillMiddle);
    const TvxScanLines dst = ScanLinesOf(bmp);
    if (pieces.empty() || dst.BytesPerPixel == 0) return;
    const TsMaskData& mask = *MaskOf(manager, maskIndex);
    const TsPictureRows pic = PictureRowsOf(MaskPicture(mask));
    if (!pic.Bmp) return;
    const int fh = MaskFrameHeight(mask);
    for (const TsPiece& p : pieces) {
        const TPoint at{p.Dst.Left, p.Dst.Top};
        if (IsMaskedImage(mask)) MaskedCopy(dst, at, pic.Lines, p.Src, fh);
        else if (p.Corner) CopyRectExceptColor(dst, pic.Lines, at.X, TransparentColor, Inclusive(p.Src), at.Y);
        else if (p.Src.Right - p.Src.Left == p.Dst.Right - p.Dst.Left &&
                 p.Src.Bottom - p.Src.Top == p.Dst.Bottom - p.Dst.Top)
            CopyPixels(dst, at, pic.Lines, p.Src);
        else StretchPiece(bmp, p, pic.Bmp, HALFTONE);
    }
}

void DrawMaskGlyph(TBitmap* bmp, TPoint point, int state, const TsSkinManager* manager, int maskIndex, int mode)
{
    const TsMaskData* mask = MaskOf(manager, maskIndex);
    const TvxScanLines dst = ScanLinesOf(bmp);
    if (!mask || dst.BytesPerPixel == 0) return;
    const TRect frame = MaskFrameRect(*mask, state);
    const TsPictureRows pic = PictureRowsOf(MaskPicture(*mask));
    if (Empty(frame) || !pic.Bmp) return;
    if (mask->Bmp || IsMaskedImage(*mask))
        MaskedCopy(dst, point, pic.Lines, frame, IsMaskedImage(*mask) ? MaskFrameHeight(*mask) : 0);
    else if (mode == 1) CopyRectExceptColor(dst, pic.Lines, point.X, TransparentColor, Inclusive(frame), point.Y);
    else BlendBitmapRect(dst, point.X, point.Y, TransparentColor, 0.5, Inclusive(frame), pic.Lines);
}

void CopyImageWithBorders(TBitmap* dst, const TRect& dstRect, TBitmap* src, const TRect& srcRect,
                          const TsBorderWidths& b1, const TsBorderWidths& b2, bool stretch)
{
    const TvxScanLines d = ScanLinesOf(dst);
    const TsPictureRows pic = PictureRowsOf(src);
    if (d.BytesPerPixel == 0 || !pic.Bmp) return;
    const TsBorderWidths w{std::min(b1.L, b2.L), std::min(b1.T, b2.T), std::min(b1.R, b2.R), std::min(b1.B, b2.B)};
    for (const TsPiece& p : BorderPieces(dstRect, srcRect, w, stretch, true)) {
        if (p.Src.Right - p.Src.Left == p.Dst.Right - p.Dst.Left &&
            p.Src.Bottom - p.Src.Top == p.Dst.Bottom - p.Dst.Top)
            CopyPixels(d, TPoint{p.Dst.Left, p.Dst.Top}, pic.Lines, p.Src);
        else StretchPiece(dst, p, pic.Bmp, BLACKONWHITE);
    }
}

void DrawGlyphBitmap(TBitmap* glyph, TBitmap* bmp, const TRect& r, int state, int frameCount, int blend, bool grey)
{
    const TvxScanLines d = ScanLinesOf(bmp);
    const TsPictureRows pic = PictureRowsOf(glyph);
    if (d.BytesPerPixel == 0 || !pic.Bmp || frameCount < 1) return;
    const int fw = pic.Lines.Width / frameCount, fh = pic.Lines.Height;
    if (fw <= 0 || fh <= 0) return;
    const int frame = std::clamp(state, 0, frameCount - 1);
    const uint8_t* corner = pic.Lines.Row(fh - 1);
    const TColor trans = RGBColor(corner[2], corner[1], corner[0]);
    auto work = CreateBmp24(fw, fh);
    const TvxScanLines w = ScanLinesOf(work.get());
    CopyPixels(w, TPoint{}, pic.Lines, TRect{frame * fw, 0, frame * fw + fw, fh});
    if (grey) GrayBitmapExceptColor(w, trans);
    const int cw = std::min(fw, r.Right - r.Left), ch = std::min(fh, r.Bottom - r.Top);
    if (cw <= 0 || ch <= 0) return;
    BlendBitmapRect(d, r.Left, r.Top, trans, blend / 100.0, TRect{0, 0, cw - 1, ch - 1}, w);
}

void CollectTransparentRects(const TsSkinManager* manager, int maskIndex, int state, const TRect& r,
                             std::vector<TRect>& rects)
{
    const std::vector<TsPiece> pieces = BorderPlan(manager, maskIndex, state, r, false);
    if (pieces.empty()) return;
    const TsPictureRows pic = PictureRowsOf(MaskPicture(*MaskOf(manager, maskIndex)));
    if (!pic.Bmp) return;
    const TvxScanLines& s = pic.Lines;
    const auto transparent = [&](int x, int y) {
        const uint8_t* p = s.Row(y) + x * s.BytesPerPixel;
        return RGBColor(p[2], p[1], p[0]) == TransparentColor;
    };
    for (const TsPiece& p : pieces) {
        if (!p.Corner) continue;
        const int top = std::max(p.Src.Top, 0), bottom = std::min(p.Src.Bottom, s.Height);
        const int left = std::max(p.Src.Left, 0), right = std::min(p.Src.Right, s.Width);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right;) {
                if (!transparent(x, y)) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < right && transparent(x, y))
                    ++x;
                const int dx = p.Dst.Left - p.Src.Left, dy = p.Dst.Top - p.Src.Top;
                rects.push_back(TRect{start + dx, y + dy, x + dx, y + dy + 1});
            }
    }
}

void FillCornerFromBackground(TBitmap* bmp, TBitmap* background, TPoint bgOffset, int corner,
                              const TsSkinManager* manager, int maskIndex)
{
    if (!bmp || !MaskOf(manager, maskIndex)) return;
    const TsBorderWidths w = WidthsOf(manager, maskIndex);
    const int width = bmp->Width(), height = bmp->Height();
    TRect c;
    switch (corner) {
    case cnTopLeft:
        c = TRect{0, 0, w.L, w.T};
        break;
    case cnTopRight:
        c = TRect{width - w.R, 0, width, w.T};
        break;
    case cnBottomLeft:
        c = TRect{0, height - w.B, w.L, height};
        break;
    case cnBottomRight:
        c = TRect{width - w.R, height - w.B, width, height};
        break;
    default:
        return;
    }
    CopyPixels(ScanLinesOf(bmp), TPoint{c.Left, c.Top}, ScanLinesOf(background),
               TRect{c.Left + bgOffset.X, c.Top + bgOffset.Y, c.Right + bgOffset.X, c.Bottom + bgOffset.Y});
}

void CopyAlphaOverCache(TBitmap* dst, const TRect& dstRect, TBitmap* src32, const TsCacheInfo& cache, TPoint srcOrigin)
{
    const TvxScanLines bg = cache.Ready ? ScanLinesOf(cache.Bmp) : TvxScanLines{};
    const TColor fill = cache.Ready                    ? TransparentColor
                        : cache.FillColor == clFuchsia ? TransparentColor
                                                       : static_cast<TColor>(ColorToRGB(cache.FillColor));
    AlphaOverBackground(ScanLinesOf(dst), TPoint{dstRect.Left, dstRect.Top}, ScanLinesOf(src32),
                        TRect{srcOrigin.X, srcOrigin.Y, srcOrigin.X + dstRect.Right - dstRect.Left,
                              srcOrigin.Y + dstRect.Bottom - dstRect.Top},
                        cache.Ready ? &bg : nullptr, TPoint{cache.X, cache.Y}, fill);
}
