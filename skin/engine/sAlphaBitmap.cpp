#include "skin/engine/sAlphaBitmap.h"

#include <algorithm>

namespace {
constexpr TColor kNoKey = 0x1FFFFFFF;

// One row: count pixels from src (32 bits) over dst (3 or 4 bytes each), the alpha scaled by
// num / den first.
void BlendRow(uint8_t* dst, int dstBytes, const uint8_t* src, int count, int blend, bool grey, bool key, int num,
              int den)
{
    const int keep = 100 - blend;
    for (int x = 0; x < count; ++x, dst += dstBytes, src += 4) {
        const int b = src[0], g = src[1], r = src[2];
        if (key && r == 255 && g == 0 && b == 255) continue;
        const int a = src[3] * keep / 100 * num / den;
        if (a == 0) continue;
        if (grey) {
            const int v = (r + g + b) * keep / 300;
            for (int c = 0; c < 3; ++c)
                dst[c] = static_cast<uint8_t>(((v - dst[c]) * a + dst[c] * 256) >> 8);
        } else {
            dst[0] = static_cast<uint8_t>(((b - dst[0]) * a + dst[0] * 256) >> 8);
            dst[1] = static_cast<uint8_t>(((g - dst[1]) * a + dst[1] * 256) >> 8);
            dst[2] = static_cast<uint8_t>(((r - dst[2]) * a + dst[2] * 256) >> 8);
        }
    }
}
} // namespace

void DrawAlphaBitmap(const TvxScanLines& dest, const TRect& destRect, const TvxScanLines& source, const TRect& srcRect,
                     int blend, bool grey, TColor keyColor, bool reflected)
{
    if ((dest.BytesPerPixel != 3 && dest.BytesPerPixel != 4) || source.BytesPerPixel != 4) return;
    blend = std::clamp(blend, 0, 100);
    // The source rectangle cut to the source; its size at most the destination rectangle's.
    int sx = std::max(srcRect.Left, 0), sy = std::max(srcRect.Top, 0);
    int w = std::min(srcRect.Right, source.Width) - sx, h = std::min(srcRect.Bottom, source.Height) - sy;
    w = std::min(w, destRect.Right - destRect.Left);
    h = std::min(h, destRect.Bottom - destRect.Top);
    if (w <= 0 || h <= 0) return;
    const bool key = keyColor != kNoKey;
    // Columns cut to the destination.
    int dx = destRect.Left, skip = 0;
    if (dx < 0) {
        skip = -dx;
        dx = 0;
    }
    const int count = std::min(w - skip, dest.Width - dx);
    if (count <= 0) return;
    auto drawRow = [&](int destY, int sourceY, int num, int den) {
        if (destY < 0 || destY >= dest.Height) return;
        BlendRow(dest.Row(destY) + dx * dest.BytesPerPixel, dest.BytesPerPixel, source.Row(sourceY) + (sx + skip) * 4,
                 count, blend, grey, key, num, den);
    };
    for (int y = 0; y < h; ++y)
        drawRow(destRect.Top + y, sy + y, 1, 1);
    if (!reflected) return;
    const int band = h / 2;
    for (int k = 0; k < band; ++k)
        drawRow(destRect.Top + h + k, sy + h - 1 - k, band - k, 2 * band);
}
