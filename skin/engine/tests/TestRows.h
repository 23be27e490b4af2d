// Rows of pixels held in a vector, laid out like a bitmap's: rows padded to 4 bytes, stored
// bottom-up (row 0 last in memory, negative row step) or top-down.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/engine/vxFastBitmaps.h"

class TTestRows {
public:
    TTestRows(int width, int height, int bytesPerPixel, bool bottomUp = true, uint8_t fill = 0)
        : width_(width), height_(height), bpp_(bytesPerPixel), bottomUp_(bottomUp),
          stride_((width * bytesPerPixel + 3) / 4 * 4), bytes_(static_cast<size_t>(stride_ * height), fill)
    {}

    TvxScanLines Lines()
    {
        uint8_t* first = bytes_.data() + (bottomUp_ ? (height_ - 1) * stride_ : 0);
        return TvxScanLines{first, bottomUp_ ? -stride_ : stride_, width_, height_, bpp_};
    }
    // The bytes of pixel (x, y), y counted from the top.
    uint8_t* At(int x, int y) { return Lines().Row(y) + x * bpp_; }
    // A pixel's bytes with the first (blue) in the low byte: 0xRRGGBB, or 0xAARRGGBB.
    uint32_t Pixel(int x, int y)
    {
        uint32_t v = 0;
        for (int i = bpp_ - 1; i >= 0; --i)
            v = v << 8 | At(x, y)[i];
        return v;
    }
    void SetPixel(int x, int y, uint32_t v)
    {
        for (int i = 0; i < bpp_; ++i)
            At(x, y)[i] = static_cast<uint8_t>(v >> (8 * i));
    }
    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    int width_, height_, bpp_;
    bool bottomUp_;
    ptrdiff_t stride_;
    std::vector<uint8_t> bytes_;
};
