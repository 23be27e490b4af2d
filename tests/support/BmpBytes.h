// Test helper: the bytes of a Windows bitmap file built from pixel values, for tests that read
// bitmaps from streams. Header-only, platform-free.
//
//   BmpBytes(2, 1, 24, false, {0xFF0000, 0x0000FF})   a red and a blue pixel, 24 bits, bottom-up
//   BmpBytes(8, 1, 1, true, {1, 0, 1, 0, 1, 0, 1, 0}, {0x000000, 0xFFFFFF})   1 bit, top-down
//   CodedBmp(5, 3, 8, 1, {0, 0xFFFFFF}, "\x00\x01", 2)          run-length data as given (RLE8)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testbmp {

inline void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xFF);
}
inline void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8 & 0xFF);
}

// The file header, the info header (infoSize 40, 108 or 124, the larger ones with zero
// colour-space fields) and the colour table (or bit-field masks) of a picture whose data of
// dataSize bytes follow; height as stored (negative: top-down).
inline std::string Headers(int width, int height, int bits, uint32_t compression, const std::vector<uint32_t>& table,
                           size_t dataSize, uint32_t imageSize, uint32_t infoSize = 40)
{
    std::string s = "BM";
    const uint32_t off = 14 + infoSize + static_cast<uint32_t>(table.size()) * 4;
    Put32(s, off + static_cast<uint32_t>(dataSize));
    Put32(s, 0);
    Put32(s, off);
    Put32(s, infoSize);
    Put32(s, static_cast<uint32_t>(width));
    Put32(s, static_cast<uint32_t>(height));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(bits));
    Put32(s, compression);
    Put32(s, imageSize);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, static_cast<uint32_t>(table.size()));
    Put32(s, 0);
    s.append(infoSize - 40, '\0');
    for (uint32_t c : table)
        Put32(s, c);
    return s;
}

} // namespace testbmp

// pixels: width x height values, top row first: palette indexes for 1, 4 and 8 bits, the word
// for 16 bits, 0x00RRGGBB for 24 bits, 0xAARRGGBB for 32 bits. palette: 0x00RRGGBB entries
// (biClrUsed).
// infoSize: 40, 108 or 124 (the larger headers are written with zero colour-space fields).
inline std::string BmpBytes(int width, int height, int bits, bool topDown, const std::vector<uint32_t>& pixels,
                            const std::vector<uint32_t>& palette = {}, uint32_t infoSize = 40)
{
    using namespace testbmp;
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    std::string rows;
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? r : height - 1 - r; // file row r holds picture row y
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pixels[static_cast<size_t>(y) * width + x];
            if (bits >= 16) {
                for (int c = 0; c < bits / 8; ++c)
                    row[static_cast<size_t>(x) * (bits / 8) + c] = static_cast<char>(v >> (8 * c) & 0xFF);
            } else {
                const size_t bit = static_cast<size_t>(x) * bits;
                const int shift = 8 - bits - static_cast<int>(bit % 8);
                row[bit / 8] = static_cast<char>(row[bit / 8] | (v & ((1u << bits) - 1)) << shift);
            }
        }
        rows += row;
    }
    return Headers(width, topDown ? -height : height, bits, 0, palette, rows.size(), static_cast<uint32_t>(rows.size()),
                   infoSize) +
           rows;
}

// A 40-byte-header file with the given compression, colour table (or bit-field masks) and
// pixel data, biSizeImage = imageSize.
inline std::string CodedBmp(int width, int height, int bits, uint32_t compression, const std::vector<uint32_t>& table,
                            const std::string& data, uint32_t imageSize)
{
    return testbmp::Headers(width, height, bits, compression, table, data.size(), imageSize) + data;
}

// A 16 x 1 RLE8 picture of moves 255 columns to the right, enough of them (33.7 MB) that their
// sum passes 2^31, then one pixel and the end: a reader that adds the moves up without a limit
// writes that pixel far outside the picture.
inline std::string MovesPastTheWidthBmp()
{
    constexpr size_t kMoves = (size_t{1} << 31) / 255 + 1;
    std::string moves;
    moves.reserve(kMoves * 4);
    for (size_t i = 0; i < kMoves; ++i)
        moves.append("\x00\x02\xFF\x00", 4);
    moves.append("\x01\x01\x00\x01", 4);
    return CodedBmp(16, 1, 8, 1, {0, 0xFFFFFF}, moves, static_cast<uint32_t>(moves.size()));
}
