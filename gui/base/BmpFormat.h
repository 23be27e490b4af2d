// Reading Windows bitmap files ("BM") from a stream, without the platform: the picture's
// size, bit depth, colour table and rows come out as bytes, which TBitmap::LoadFromStream
// (gui/Graphics.h) turns into a bitmap.
//
// Accepted: a file header, an info header of 40, 52, 56, 108 or 124 bytes, 1, 4, 8, 24 or
// 32 bits per pixel, uncompressed (BI_RGB) or, for 32 bits, BI_BITFIELDS with the masks
// red 0xFF0000, green 0xFF00, blue 0xFF; rows stored bottom-up (positive height) or top-down
// (negative height). A width or height of 0 gives an empty picture. Everything else, and
// every size that does not fit the data (a colour table or rows reaching beyond the end of
// the stream, more than 16384 pixels a side), raises EInvalidGraphic; nothing is read beyond
// the stream's end.
//
//   42 4D ... 28 00 00 00  02 00 00 00  FE FF FF FF  01 00 18 00 ...  a 2 x 2 picture, 24 bits,
//                                                                     stored top-down
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TStream;

struct TBmpPicture {
    static constexpr int MaxSide = 16384;
    int Width = 0;
    int Height = 0;               // rows, always positive here
    int Bits = 0;                 // 1, 4, 8, 24 or 32
    bool TopDown = false;         // how the file stored its rows
    std::vector<uint32_t> Colors; // palette formats: 2^Bits entries 0x00RRGGBB (missing ones black)
    size_t Stride = 0;            // bytes per row, a multiple of 4
    std::vector<uint8_t> Pixels;  // Height rows of Stride bytes, top row first
    const uint8_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Stride; }
};

// Reads the bitmap file that starts at the stream's position; EInvalidGraphic when it is
// none of the accepted kinds or is cut short.
void ReadBmp(TStream& stream, TBmpPicture& picture);
