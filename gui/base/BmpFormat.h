// Reading Windows bitmap files ("BM") from a stream, without the platform: the picture's
// size, bit depth, colour table and rows come out as bytes, which TBitmap::LoadFromStream
// (gui/Graphics.h) turns into a bitmap.
//
// Accepted: a file header, an info header of 40, 52, 56, 108 or 124 bytes, 1, 4, 8, 16, 24 or
// 32 bits per pixel, uncompressed (BI_RGB; 16 bits are then 5-5-5), bit fields (BI_BITFIELDS,
// 16 or 32 bits, masks after a 40-byte header or inside a larger one) or run-length coded
// (BI_RLE8 of 8 bits, BI_RLE4 of 4 bits, bottom-up only; pixels the data skips stay index 0);
// rows stored bottom-up (positive height) or top-down (negative height). A width or height of
// 0 gives an empty picture. Headers, masks or a colour table cut short by the stream's end
// raise EStreamError; everything else that is not one of the accepted kinds, and every size
// that does not fit the data (rows reaching beyond the end of the stream, run-length data that
// ends inside a run or moves right of the width or above the top, more than 16384 pixels a
// side, run-length pictures of more than 4096 x 4096 pixels, sizes beyond the platform's
// size_t), raises EInvalidGraphic. Runs and literals of run-length data stop at the right edge.
// Nothing is read beyond the stream's end, nothing written outside the rows.
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
    static constexpr int64_t MaxRunLengthPixels = 4096 * 4096; // run-length coded pictures
    int Width = 0;
    int Height = 0;               // rows, always positive here
    int Bits = 0;                 // 1, 4, 8, 16, 24 or 32
    bool TopDown = false;         // how the file stored its rows
    std::vector<uint32_t> Colors; // palette formats: 2^Bits entries 0x00RRGGBB (missing ones black)
    // Bit-field pixels other than 32-bit 0xFF0000/0xFF00/0xFF: the red, green and blue masks.
    bool Masks = false;
    uint32_t ColorMasks[3] = {};
    size_t Stride = 0;           // bytes per row, a multiple of 4
    std::vector<uint8_t> Pixels; // Height rows of Stride bytes, top row first
    const uint8_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Stride; }
};

// Reads the bitmap file that starts at the stream's position; EInvalidGraphic when it is
// none of the accepted kinds, EStreamError when its headers are cut short.
void ReadBmp(TStream& stream, TBmpPicture& picture);
