// Small bitmaps for the drawing tests: filled with one colour, or coded so that every pixel
// tells where it was read from.
#pragma once

#include <windows.h>

#include <memory>

#include "gui/Graphics.h"
#include "skin/engine/sGraphUtils.h"

namespace painttest {

// The background colour the drawing tests start from.
constexpr COLORREF Back = 0x123456;

inline std::unique_ptr<TBitmap> Filled(int w, int h, COLORREF c = Back, TPixelFormat f = pf24bit)
{
    auto b = f == pf32bit ? CreateBmp32(w, h) : CreateBmp24(w, h);
    FillDC(b->Canvas().Handle(), TRect{0, 0, w, h}, static_cast<TColor>(c));
    return b;
}
// A bitmap whose pixel (x, y) reads RGB(x, y, 9).
inline std::unique_ptr<TBitmap> Coded(int w, int h)
{
    auto b = CreateBmp24(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x, y, 9)));
    return b;
}
inline COLORREF Px(TBitmap& b, int x, int y) { return b.Canvas().Pixel(x, y); }

} // namespace painttest
