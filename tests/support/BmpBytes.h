// Test helper: the bytes of a Windows bitmap file built from pixel values, for tests that read
// bitmaps from streams. Header-only, platform-free.
//
//   BmpBytes(2, 1, 24, false, {0xFF0000, 0x0000FF})   a red and a blue pixel, 24 bits, bottom-up
//   BmpBytes(8, 1, 1, true, {1, 0, 1, 0, 1, 0, 1, 0}, {0x000000, 0xFFFFFF})   1 bit, top-down
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
    std::string s = "BM";
    const uint32_t offBits = 14 + infoSize + static_cast<uint32_t>(palette.size()) * 4;
    Put32(s, offBits + static_cast<uint32_t>(rows.size()));
    Put32(s, 0);
    Put32(s, offBits);
    Put32(s, infoSize);
    Put32(s, static_cast<uint32_t>(width));
    Put32(s, static_cast<uint32_t>(topDown ? -height : height));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(bits));
    Put32(s, 0); // BI_RGB
    Put32(s, static_cast<uint32_t>(rows.size()));
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, static_cast<uint32_t>(palette.size()));
    Put32(s, 0);
    s.append(infoSize - 40, '\0');
    for (uint32_t c : palette)
        Put32(s, c);
    return s + rows;
}
