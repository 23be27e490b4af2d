#include "skin/engine/vxFastBitmaps.h"

#include <algorithm>
#include <cstring>

namespace {
// The rectangle cut to 0 .. width, 0 .. height (may come out empty).
TRect CutTo(const TRect& r, int width, int height)
{
    return TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width), std::min(r.Bottom, height)};
}

bool Usable(const TvxScanLines& lines, int bytesPerPixel)
{
    return lines.Scan0 && lines.BytesPerPixel == bytesPerPixel && lines.Width >= 2 && lines.Height >= 2;
}

template <class TFast> bool Bind(TFast& f, const TvxScanLines& lines, int bytesPerPixel)
{
    f.Bitmap = nullptr;
    if (!Usable(lines, bytesPerPixel)) {
        f.Width = 0;
        return false;
    }
    f.Width = lines.Width;
    f.Height = lines.Height;
    f.RowStep = lines.RowStep;
    f.Scan0 = lines.Scan0;
    return true;
}
} // namespace

// ---- single pixels and rectangles

bool TvxFast24::Attach(const TvxScanLines& lines) { return Bind(*this, lines, 3); }

TColor TvxFast24::GetPixel(int x, int y) const
{
    const uint8_t* p = Scan0 + y * RowStep + 3 * x;
    return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
}

void TvxFast24::SetPixel(int x, int y, TColor color)
{
    uint8_t* p = Scan0 + y * RowStep + 3 * x;
    p[0] = static_cast<uint8_t>(color >> 16);
    p[1] = static_cast<uint8_t>(color >> 8);
    p[2] = static_cast<uint8_t>(color);
}

void TvxFast24::FillRect(const TRect& rect, TColor color)
{
    if (Width == 0) return;
    TRect r = CutTo(rect, Width, Height);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            SetPixel(x, y, color);
}

bool TvxFast32::Attach(const TvxScanLines& lines) { return Bind(*this, lines, 4); }

uint32_t TvxFast32::GetPixel(int x, int y) const
{
    const uint8_t* p = Scan0 + y * RowStep + 4 * x;
    return static_cast<uint32_t>(p[2]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[0]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void TvxFast32::SetPixel(int x, int y, uint32_t value)
{
    uint8_t* p = Scan0 + y * RowStep + 4 * x;
    p[0] = static_cast<uint8_t>(value >> 16);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value);
    p[3] = static_cast<uint8_t>(value >> 24);
}

void TvxFast32::FillRect(const TRect& rect, uint32_t pixel)
{
    if (Width == 0) return;
    TRect r = CutTo(rect, Width, Height);
    for (int y = r.Top; y < r.Bottom; ++y)
        FillDwords(Scan0 + y * RowStep + 4 * r.Left, r.Right - r.Left, pixel);
}

void FillDwords(void* address, int count, uint32_t value)
{
    auto* p = static_cast<uint8_t*>(address);
    for (int i = 0; i < count; ++i, p += 4)
        std::memcpy(p, &value, 4);
}

uint32_t ColorToPixel32(TColor color)
{
    auto c = static_cast<uint32_t>(color);
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

void SetAlphaChannel(const TvxScanLines& lines, const TRect& rect, uint8_t alpha)
{
    if (!lines.Scan0 || lines.BytesPerPixel != 4) return;
    TRect r = CutTo(rect, lines.Width, lines.Height);
    for (int y = r.Top; y < r.Bottom; ++y) {
        uint8_t* p = lines.Row(y) + 4 * r.Left + 3;
        for (int x = r.Left; x < r.Right; ++x, p += 4)
            *p = alpha;
    }
}

// ---- fade blend

bool TvxFastSumBase::Bind(const TvxScanLines& source, const TvxScanLines& dest, int bytesPerPixel)
{
    Bmp1 = Bmp2 = nullptr;
    if (!Usable(source, bytesPerPixel) || !Usable(dest, bytesPerPixel)) {
        Width = 0;
        lines1_ = lines2_ = TvxScanLines{};
        return false;
    }
    lines1_ = source;
    lines2_ = dest;
    Width = std::min(source.Width, dest.Width);
    Height = std::min(source.Height, dest.Height);
    Scan1 = source.Scan0;
    Scan2 = dest.Scan0;
    Step1 = source.RowStep;
    Step2 = dest.RowStep;
    return true;
}

void TvxFastSumBase::SumBytes(int bpp)
{
    if (!lines1_.Scan0 || !lines2_.Scan0) return;
    // Destination rows and columns whose source pixel lies inside the source as well.
    int dx = Rect1.Left - Rect2.Left;
    int dy = Rect1.Bottom - Rect2.Bottom;
    int left = std::max({Rect2.Left, 0, -dx});
    int right = std::min({Rect2.Right, lines2_.Width, lines1_.Width - dx});
    int top = std::max({Rect2.Top, 0, -dy});
    int bottom = std::min({Rect2.Bottom, lines2_.Height, lines1_.Height - dy});
    if (left >= right || top >= bottom) return;
    const unsigned a = Alpha, na = 255u - Alpha;
    for (int y = bottom - 1; y >= top; --y) {
        uint8_t* d = Scan2 + y * Step2;
        const uint8_t* s = Scan1 + (y + dy) * Step1 + dx * bpp;
        for (int i = right * bpp - 1; i >= left * bpp; --i)
            d[i] = static_cast<uint8_t>((s[i] * na + d[i] * a + 127) >> 8);
    }
}

bool ClipSumRects(int destWidth, int destHeight, int sourceWidth, int sourceHeight, TPoint p, TRect s, TRect& rect2,
                  TRect& rect1)
{
    if (p.X < 0) {
        s.Left -= p.X;
        p.X = 0;
    }
    if (p.Y < 0) {
        s.Top -= p.Y;
        p.Y = 0;
    }
    if (s.Left < 0) {
        p.X -= s.Left;
        s.Left = 0;
        if (p.X < 0) {
            s.Left = -p.X;
            p.X = 0;
        }
    }
    if (s.Top < 0) {
        p.Y -= s.Top;
        s.Top = 0;
        if (p.Y < 0) {
            s.Top = -p.Y;
            p.Y = 0;
        }
    }
    if (s.Right <= s.Left || s.Bottom <= s.Top) return false;
    if (p.X < 0 || p.X >= destWidth || p.Y < 0 || p.Y >= destHeight) return false;
    s.Right = std::min(s.Right, sourceWidth);
    s.Bottom = std::min(s.Bottom, sourceHeight);
    if (p.X + (s.Right - s.Left) > destWidth) s.Right = destWidth - p.X + s.Left;
    if (p.Y + (s.Bottom - s.Top) > destHeight) s.Bottom = destHeight - p.Y + s.Top;
    rect2 = TRect{p.X, p.Y, p.X + (s.Right - s.Left), p.Y + (s.Bottom - s.Top)};
    rect1 = s;
    return true;
}

void SumBitmaps(const TvxScanLines& dest, const TvxScanLines& source, uint8_t alpha, TPoint point,
                const TRect& sourceRect)
{
    if (dest.BytesPerPixel != source.BytesPerPixel) return;
    TRect rect2, rect1;
    if (!ClipSumRects(dest.Width, dest.Height, source.Width, source.Height, point, sourceRect, rect2, rect1)) return;
    auto blend = [&](auto& sum) {
        if (!sum.Attach(source, dest)) return;
        sum.Alpha = alpha;
        sum.Rect2 = rect2;
        sum.Rect1 = rect1;
        sum.Sum();
    };
    if (dest.BytesPerPixel == 4) {
        TvxFastSum32 sum;
        blend(sum);
    } else if (dest.BytesPerPixel == 3) {
        TvxFastSum24 sum;
        blend(sum);
    }
}
