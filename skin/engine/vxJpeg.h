// Decoding JPEG pictures (the pattern textures of skins) with libjpeg, into rows of 24-bit
// pixels (blue, green, red), top row first. Platform-free; the Windows part turns the rows
// into a TBitmap (sSkinFiles.cpp).
//
// Grey and colour (YCbCr, RGB) pictures are accepted; anything libjpeg reports as an error or
// a warning (a picture cut short, damaged data), CMYK pictures and pictures larger than
// 16384 pixels a side or 16 Mi pixels in all are refused (false), so a damaged file gives no picture at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TvxJpegPicture {
    static constexpr int MaxSide = 16384;
    static constexpr long long MaxPixels = 16LL * 1024 * 1024;
    int Width = 0;
    int Height = 0;
    size_t Stride = 0;           // 3 x Width, rounded up to a multiple of 4
    std::vector<uint8_t> Pixels; // Height rows of Stride bytes, top row first
};

// True when the bytes are a whole, undamaged JPEG picture; picture then holds it.
bool DecodeJpeg(const uint8_t* data, size_t size, TvxJpegPicture& picture);
