#include "skin/engine/sMaskFrameRows.h"

#include <algorithm>
#include <cstdint>

#include "skin/engine/sBitmapEffects.h"

namespace {
bool RowsUsable(const TvxScanLines& l)
{
    return l.Scan0 && (l.BytesPerPixel == 3 || l.BytesPerPixel == 4) && l.Width >= 2 && l.Height >= 2;
}

bool Transparent(const uint8_t* p) { return p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF; }

// Rows of the picture that hold picture pixels (for mask type 1 the mask lies band rows lower).
int MaskBand(const TsFrameImage& image) { return image.MaskType == 1 ? (image.R.Bottom - image.R.Top) / 2 : 0; }

void Fit(int& a, int& b, int size)
{
    int64_t x = a, y = b;
    if (x + y > size) {
        const int64_t d = x + y - size;
        x -= d / 2;
        y -= d / 2 + size % 2;
    }
    a = static_cast<int>(std::clamp<int64_t>(x, 0, size));
    b = static_cast<int>(std::clamp<int64_t>(y, 0, size - a));
}

bool Empty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
} // namespace

int TsFrameImage::FrameWidth() const
{
    return ImageCount < 1 ? 0 : static_cast<int>((int64_t{R.Right} - R.Left) / ImageCount);
}
int TsFrameImage::FrameHeight() const
{
    return MaskType < 0 ? 0 : static_cast<int>((int64_t{R.Bottom} - R.Top) / (int64_t{MaskType} + 1));
}

bool TsFrameImage::Usable() const
{
    const TvxScanLines& p = Picture;
    if (!p.Scan0 || (p.BytesPerPixel != 3 && p.BytesPerPixel != 4)) return false;
    if (R.Left < 0 || R.Top < 0 || R.Right > p.Width || R.Bottom > p.Height || Empty(R)) return false;
    if ((MaskType != 0 && MaskType != 1) || ImageCount < 1 || FrameWidth() < 1 || FrameHeight() < 1) return false;
    if (W.L < 0 || W.T < 0 || W.R < 0 || W.B < 0) return false;
    return int64_t{W.L} + W.R <= FrameWidth() && int64_t{W.T} + W.B <= FrameHeight();
}

TsBorderWidths ShrinkFrameBorders(TsBorderWidths w, int width, int height)
{
    Fit(w.L, w.R, std::max(width, 0));
    Fit(w.T, w.B, std::max(height, 0));
    return w;
}

void CopyMaskRows(const TvxScanLines& dst, const TRect& dstRect, const TsFrameImage& image, const TRect& src,
                  bool transparent, std::vector<TRect>* runs)
{
    if (!RowsUsable(dst) || !image.Usable()) return;
    if (dstRect.Left < 0 || dstRect.Top < 0 || dstRect.Right <= 0 || dstRect.Bottom <= 0) return;
    // In 64 bits: the rectangles come from callers and may lie anywhere.
    using I = int64_t;
    const I w = std::min(I{src.Right} - src.Left, I{dstRect.Right} - dstRect.Left);
    const I h = std::min(I{src.Bottom} - src.Top, I{dstRect.Bottom} - dstRect.Top);
    I left = src.Left, top = src.Top, right = left + w, bottom = top + h, x0 = dstRect.Left, y0 = dstRect.Top;
    // The source inside the image's picture part, the destination inside the rows.
    const int band = MaskBand(image);
    if (left < image.R.Left) x0 += image.R.Left - left, left = image.R.Left;
    if (top < image.R.Top) y0 += image.R.Top - top, top = image.R.Top;
    right = std::min({right, I{image.R.Right}, left + dst.Width - x0});
    bottom = std::min({bottom, I{image.R.Bottom} - band, top + dst.Height - y0});
    if (right <= left || bottom <= top) return;
    // Now all inside the picture and the rows.
    const TRect s{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
    const TPoint at{static_cast<int>(x0), static_cast<int>(y0)};

    const TvxScanLines& pic = image.Picture;
    if (band > 0) {
        MaskedCopy(dst, at, pic, s, band);
        if (!transparent || !runs) return;
    }
    for (int y = s.Top; y < s.Bottom; ++y) {
        const uint8_t* row = pic.Row(y);
        uint8_t* out = dst.Row(at.Y + y - s.Top);
        for (int x = s.Left; x < s.Right;) {
            const uint8_t* p = row + static_cast<ptrdiff_t>(x) * pic.BytesPerPixel;
            if (!transparent || !Transparent(p)) {
                if (band == 0) std::copy(p, p + 3, out + static_cast<ptrdiff_t>(at.X + x - s.Left) * dst.BytesPerPixel);
                ++x;
                continue;
            }
            const int start = x;
            while (x < s.Right && Transparent(row + static_cast<ptrdiff_t>(x) * pic.BytesPerPixel))
                ++x;
            if (runs) {
                const int dx = at.X - s.Left, dy = at.Y - s.Top;
                runs->push_back(TRect{start + dx, y + dy, x + dx, y + dy + 1});
            }
        }
    }
}

std::vector<TsPiece> PaintFrameRows(const TvxScanLines& dst, const TsFrameImage& image, int state, bool fillMiddle,
                                    std::vector<TRect>* runs)
{
    std::vector<TsPiece> stretched;
    if (!RowsUsable(dst) || !image.Usable()) return stretched;
    const TsBorderWidths w = ShrinkFrameBorders(image.W, dst.Width, dst.Height);
    const int fw = image.FrameWidth(), fh = image.FrameHeight();
    const int left = image.R.Left + fw * std::clamp(state, 0, image.ImageCount - 1);
    const TRect frame{left, image.R.Top, left + fw, image.R.Top + fh};
    const bool stretch = (image.Flags & 1) && image.MaskType != 1;
    const bool middle = fillMiddle && (image.Flags & 4);
    for (const TsPiece& p : BorderPieces(TRect{0, 0, dst.Width, dst.Height}, frame, w, image.W, stretch, middle)) {
        if (p.Corner) CopyMaskRows(dst, p.Dst, image, p.Src, true, runs);
        else if (stretch) stretched.push_back(p);
        else CopyMaskRows(dst, p.Dst, image, p.Src, false, nullptr);
    }
    return stretched;
}
