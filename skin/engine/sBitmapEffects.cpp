#include "skin/engine/sBitmapEffects.h"

#include <algorithm>
#include <cmath>

#include "skin/engine/sColorMix.h"
#include "skin/engine/sUtils.h"

namespace {
bool Colour(const TvxScanLines& l) { return l.Scan0 && (l.BytesPerPixel == 3 || l.BytesPerPixel == 4); }
uint8_t* Px(const TvxScanLines& l, int x, int y) { return l.Row(y) + static_cast<ptrdiff_t>(x) * l.BytesPerPixel; }
TColor ColorAt(const uint8_t* p) { return RGBColor(p[2], p[1], p[0]); }
uint8_t Byte(int v) { return static_cast<uint8_t>(ClampByte(v)); }
uint8_t RoundByte(double v) { return Byte(static_cast<int>(std::lround(v))); }
// The colour's channels in pixel order: blue, green, red.
void Channels(TColor c, int out[3])
{
    out[0] = BlueOf(c);
    out[1] = GreenOf(c);
    out[2] = RedOf(c);
}
bool SameRGB(const uint8_t* p, TColor c) { return ColorAt(p) == (c & 0xFFFFFF); }
bool MakesTransparent(TColor c) { return (static_cast<uint32_t>(c) >> 24) != 0xFF; }

// An inclusive rectangle raised to 0 and limited to the last pixel (empty when right < left).
TRect InclusiveIn(const TRect& r, int width, int height)
{
    return TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width - 1), std::min(r.Bottom, height - 1)};
}

// Source rectangle s (right and bottom outside) copied to point p: both cut to their rows,
// the mapping kept. False when nothing is left.
bool ClipCopy(const TvxScanLines& dst, const TvxScanLines& src, TPoint& p, TRect& s)
{
    if (s.Left < 0) p.X -= s.Left, s.Left = 0;
    if (s.Top < 0) p.Y -= s.Top, s.Top = 0;
    s.Right = std::min(s.Right, src.Width);
    s.Bottom = std::min(s.Bottom, src.Height);
    if (p.X < 0) s.Left -= p.X, p.X = 0;
    if (p.Y < 0) s.Top -= p.Y, p.Y = 0;
    if (p.X >= dst.Width || p.Y >= dst.Height) return false;
    s.Right = std::min(s.Right, s.Left + dst.Width - p.X);
    s.Bottom = std::min(s.Bottom, s.Top + dst.Height - p.Y);
    return s.Right > s.Left && s.Bottom > s.Top;
}

// Calls f(dst pixel, src pixel) over a clipped copy.
template <class F> void ForCopy(const TvxScanLines& dst, TPoint p, const TvxScanLines& src, TRect s, F f)
{
    if (!Colour(dst) || !Colour(src) || !ClipCopy(dst, src, p, s)) return;
    for (int y = s.Top; y < s.Bottom; ++y)
        for (int x = s.Left; x < s.Right; ++x)
            f(Px(dst, p.X + x - s.Left, p.Y + y - s.Top), Px(src, x, y));
}

template <class F> void ForAll(const TvxScanLines& bmp, F f)
{
    if (!Colour(bmp)) return;
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x)
            f(Px(bmp, x, y));
}

void Gray(uint8_t* p)
{
    const uint8_t v = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
    p[0] = p[1] = p[2] = v;
}
} // namespace

void TintRect(const TvxScanLines& bmp, const TRect& r, int percent, TColor color)
{
    if (!Colour(bmp)) return;
    const TRect c = InclusiveIn(r, bmp.Width, bmp.Height);
    const double f = percent / 100.0;
    int col[3];
    Channels(color, col);
    for (int y = c.Top; y <= c.Bottom; ++y)
        for (int x = c.Left; x <= c.Right; ++x) {
            uint8_t* p = Px(bmp, x, y);
            for (int i = 0; i < 3; ++i)
                p[i] = RoundByte(p[i] * f + col[i] * (1 - f));
        }
}

void BlendBitmapRect(const TvxScanLines& dst, int x, int y, TColor transColor, double factor, const TRect& srcRect,
                     const TvxScanLines& src)
{
    const bool skip = MakesTransparent(transColor);
    const TRect s{srcRect.Left, srcRect.Top, srcRect.Right + 1, srcRect.Bottom + 1};
    ForCopy(dst, TPoint{x, y}, src, s, [&](uint8_t* d, const uint8_t* p) {
        if (skip && SameRGB(p, transColor)) return;
        for (int i = 0; i < 3; ++i)
            d[i] = RoundByte(p[i] - (p[i] - d[i]) * factor);
    });
}

void BlendBitmapToColor(const TvxScanLines& bmp, TColor color, TColor transColor, double factor)
{
    int col[3];
    Channels(color, col);
    ForAll(bmp, [&](uint8_t* p) {
        if (SameRGB(p, transColor)) return;
        for (int i = 0; i < 3; ++i)
            p[i] = RoundByte((p[i] - col[i]) * factor + col[i]);
    });
}

void BlendByMask(const TvxScanLines& bmp, const TvxScanLines& mask, TColor color)
{
    if (!Colour(bmp) || !Colour(mask)) return;
    int col[3];
    Channels(color, col);
    const int w = std::min(bmp.Width, mask.Width), h = std::min(bmp.Height, mask.Height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = Px(bmp, x, y);
            const uint8_t* m = Px(mask, x, y);
            for (int i = 0; i < 3; ++i)
                p[i] = Byte(((p[i] - col[i]) * m[i] + col[i] * 256) >> 8);
        }
}

void GrayBitmap(const TvxScanLines& bmp) { ForAll(bmp, Gray); }

void GrayBitmapExceptColor(const TvxScanLines& bmp, TColor color)
{
    ForAll(bmp, [&](uint8_t* p) {
        if (!SameRGB(p, color)) Gray(p);
    });
}

void CopyBitmapExceptColor(const TvxScanLines& dst, const TvxScanLines& src, int x, TColor transColor, int y)
{
    CopyRectExceptColor(dst, src, x, transColor, TRect{0, 0, src.Width - 1, src.Height - 1}, y);
}

void CopyRectExceptColor(const TvxScanLines& dst, const TvxScanLines& src, int x, TColor transColor,
                         const TRect& srcRect, int y)
{
    const TRect s{srcRect.Left, srcRect.Top, srcRect.Right + 1, srcRect.Bottom + 1};
    ForCopy(dst, TPoint{x, y}, src, s, [&](uint8_t* d, const uint8_t* p) {
        if (SameRGB(p, transColor)) return;
        d[0] = p[0], d[1] = p[1], d[2] = p[2];
    });
}

void CopyPixels(const TvxScanLines& dst, TPoint point, const TvxScanLines& src, const TRect& srcRect)
{
    ForCopy(dst, point, src, srcRect, [](uint8_t* d, const uint8_t* p) { d[0] = p[0], d[1] = p[1], d[2] = p[2]; });
}

void CopyChannel(const TvxScanLines& bmp32, const TvxScanLines& bmp8, int channel, bool extract)
{
    if (!bmp32.Scan0 || bmp32.BytesPerPixel != 4 || !bmp8.Scan0 || bmp8.BytesPerPixel != 1) return;
    if (channel < 0 || channel > 3) return;
    const int w = std::min(bmp32.Width, bmp8.Width), h = std::min(bmp32.Height, bmp8.Height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = Px(bmp32, x, y) + channel;
            uint8_t* q = Px(bmp8, x, y);
            if (extract) *q = *p;
            else *p = *q;
        }
}

void BlendAlpha32Onto24(const TvxScanLines& dst24, const TvxScanLines& src32, const TvxScanLines& mask24,
                        const TRect& r)
{
    if (!Colour(dst24) || src32.BytesPerPixel != 4 || !src32.Scan0 || !Colour(mask24)) return;
    const int right = std::min({r.Right, dst24.Width, src32.Width, mask24.Width});
    const int bottom = std::min({r.Bottom, dst24.Height, src32.Height, mask24.Height});
    for (int y = std::max(r.Top, 0); y < bottom; ++y)
        for (int x = std::max(r.Left, 0); x < right; ++x) {
            if (Px(mask24, x, y)[2] == 255) continue;
            uint8_t* d = Px(dst24, x, y);
            const uint8_t* s = Px(src32, x, y);
            for (int i = 0; i < 3; ++i)
                d[i] = Byte(((s[i] - d[i]) * s[3] + d[i] * 256) >> 8);
        }
}

void BlendAnimationFrame(const TvxScanLines& dst32, const TvxScanLines& src1, const TvxScanLines& src2, int factor,
                         const TvxScanLines* mask)
{
    if (!dst32.Scan0 || dst32.BytesPerPixel != 4 || !Colour(src1) || !Colour(src2)) return;
    if (mask && !Colour(*mask)) return;
    int w = std::min({dst32.Width, src1.Width, src2.Width}), h = std::min({dst32.Height, src1.Height, src2.Height});
    if (mask) w = std::min(w, mask->Width), h = std::min(h, mask->Height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* d = Px(dst32, x, y);
            const uint8_t* a = Px(src1, x, y);
            const uint8_t* b = Px(src2, x, y);
            const uint8_t* m = mask ? Px(*mask, x, y) : nullptr;
            for (int i = 0; i < 3; ++i)
                d[i] = Byte((b[i] * 256 + (a[i] - b[i]) * (m ? m[i] : factor)) >> 8);
        }
}

void AlphaOverBackground(const TvxScanLines& dst, TPoint point, const TvxScanLines& src32, const TRect& srcRect,
                         const TvxScanLines* background, TPoint bgOffset, TColor bgColor)
{
    if (src32.BytesPerPixel != 4 || !Colour(dst)) return;
    if (background && !Colour(*background)) background = nullptr;
    TPoint p = point;
    TRect s = srcRect;
    if (!ClipCopy(dst, src32, p, s)) return;
    int col[3];
    Channels(bgColor, col);
    for (int y = s.Top; y < s.Bottom; ++y)
        for (int x = s.Left; x < s.Right; ++x) {
            const int dx = p.X + x - s.Left, dy = p.Y + y - s.Top;
            uint8_t* d = Px(dst, dx, dy);
            const uint8_t* q = Px(src32, x, y);
            const int bx = bgOffset.X + dx, by = bgOffset.Y + dy;
            int bg[3] = {d[0], d[1], d[2]};
            if (background && bx >= 0 && by >= 0 && bx < background->Width && by < background->Height) {
                const uint8_t* b = Px(*background, bx, by);
                bg[0] = b[0], bg[1] = b[1], bg[2] = b[2];
            } else if (!background && bgColor != TransparentColor) {
                bg[0] = col[0], bg[1] = col[1], bg[2] = col[2];
            }
            for (int i = 0; i < 3; ++i)
                d[i] = Byte(((q[i] - bg[i]) * q[3] + bg[i] * 256) >> 8);
        }
}

void MaskedCopy(const TvxScanLines& dst, TPoint point, const TvxScanLines& src, const TRect& frame, int maskDistance)
{
    if (!Colour(src) || maskDistance < 0) return;
    TRect f = frame;
    // The frame and its mask both inside the source before any pixel is read.
    f.Bottom = std::min(f.Bottom, src.Height - maskDistance);
    ForCopy(dst, point, src, f, [&](uint8_t* d, const uint8_t* p) {
        if (SameRGB(p, TransparentColor)) return;
        const uint8_t* m = maskDistance > 0 ? p + maskDistance * src.RowStep : nullptr;
        for (int i = 0; i < 3; ++i)
            d[i] = Byte((p[i] * 256 + (d[i] - p[i]) * (m ? m[i] : 0)) >> 8);
    });
}

void RotateRows(const TvxScanLines& src, const TvxScanLines& dst, bool clockwise)
{
    if (!Colour(src) || dst.BytesPerPixel != src.BytesPerPixel || !dst.Scan0) return;
    if (dst.Width != src.Height || dst.Height != src.Width) return;
    const int w = src.Width, h = src.Height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* s = Px(src, x, y);
            uint8_t* d = clockwise ? Px(dst, h - 1 - y, x) : Px(dst, y, w - 1 - x);
            std::copy(s, s + src.BytesPerPixel, d);
        }
}

std::vector<double> GaussianKernel(double radius)
{
    constexpr int Reach = 100;
    if (radius <= 0) radius = 1e-3;
    std::vector<double> w(2 * Reach + 1);
    double sum = 0;
    for (int i = -Reach; i <= Reach; ++i)
        sum += w[static_cast<size_t>(i + Reach)] = std::exp(-(i / radius) * (i / radius) / 2);
    for (double& v : w)
        v /= sum;
    int k = Reach;
    double tails = 0; // weight of both tails beyond k
    while (k > 2 && tails < 1.0 / 510) {
        tails += 2 * w[static_cast<size_t>(k + Reach)];
        --k;
    }
    std::vector<double> kept(w.begin() + (Reach - k), w.begin() + (Reach + k + 1));
    double keptSum = 0;
    for (double v : kept)
        keptSum += v;
    for (double& v : kept)
        v /= keptSum;
    return kept;
}

void GaussianBlur(std::vector<uint8_t>& pixels, int width, int height, double radius)
{
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return;
    const std::vector<double> kernel = GaussianKernel(radius);
    const int k = static_cast<int>(kernel.size() / 2);
    std::vector<uint8_t> work(pixels.size());
    const auto at = [&](const std::vector<uint8_t>& v, int x, int y) {
        return v[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double s = 0;
            for (int i = -k; i <= k; ++i)
                s += kernel[static_cast<size_t>(i + k)] * at(pixels, std::clamp(x + i, 0, width - 1), y);
            work[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = RoundByte(s);
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double s = 0;
            for (int i = -k; i <= k; ++i)
                s += kernel[static_cast<size_t>(i + k)] * at(work, x, std::clamp(y + i, 0, height - 1));
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = RoundByte(s);
        }
}
