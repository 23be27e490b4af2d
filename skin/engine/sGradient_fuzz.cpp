// Fuzz target: gradient texts parsed and painted into 16 x 16 rows of 3 or 4 bytes per pixel.
// The first six bytes give the rectangle (-8..23 each side), the offset (-16..15) and the
// format; the rest is the text. Nothing may be written outside the rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/base/Exceptions.h"
#include "skin/engine/sGradient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6) return 0;
    TsGradArray steps;
    try {
        ParseGradArray(std::string(reinterpret_cast<const char*>(data + 6), size - 6), steps);
    } catch (const EConvertError&) {
        return 0;
    }
    int bpp = data[5] & 1 ? 4 : 3;
    bool bottomUp = data[5] & 2;
    const int w = 16, h = 16;
    ptrdiff_t stride = (w * bpp + 3) / 4 * 4;
    std::vector<uint8_t> bytes(static_cast<size_t>(stride * h));
    TvxScanLines lines{bytes.data() + (bottomUp ? (h - 1) * stride : 0), bottomUp ? -stride : stride, w, h, bpp};
    TRect rect{data[0] % 32 - 8, data[1] % 32 - 8, data[2] % 32 - 8, data[3] % 32 - 8};
    PaintGradientBands(lines, rect, steps, data[4] % 32 - 16);
    return 0;
}
