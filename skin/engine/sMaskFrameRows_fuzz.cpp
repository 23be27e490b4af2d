// Fuzz target: random skin image records and row sizes through the skin frame painting and the
// part copy. The first 27 bytes give the picture's size and depth, the image's rectangle, state
// count, mask type, flags and border widths, the state, the target's size and depth and one
// part copy's rectangles; the rest fills the picture (bytes below 64 give 0xFF00FF pixels).
// The target rows lie inside a guard frame: nothing may be written outside them, and every
// run must be one row high inside the target.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/engine/sMaskFrameRows.h"

namespace {
constexpr uint8_t Guard = 0xA5;

int S8(uint8_t b) { return static_cast<int8_t>(b); }

// Rows of w x h pixels inside a guard frame one pixel wide.
struct Guarded {
    Guarded(int w, int h, int bpp, bool bottomUp)
        : stride((w + 2) * bpp), bytes(static_cast<size_t>(stride) * (h + 2), Guard)
    {
        uint8_t* first = bytes.data() + (bottomUp ? h : 1) * stride + bpp;
        lines = TvxScanLines{first, bottomUp ? -stride : stride, w, h, bpp};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * bpp; ++x)
                lines.Row(y)[x] = static_cast<uint8_t>(x + y);
    }
    bool GuardKept() const
    {
        const int w = lines.Width, h = lines.Height, bpp = lines.BytesPerPixel;
        for (int y = 0; y < h + 2; ++y)
            for (int x = 0; x < (w + 2) * bpp; ++x) {
                const bool inside = y >= 1 && y <= h && x >= bpp && x < (w + 1) * bpp;
                if (!inside && bytes[static_cast<size_t>(y) * stride + x] != Guard) return false;
            }
        return true;
    }
    ptrdiff_t stride;
    std::vector<uint8_t> bytes;
    TvxScanLines lines;
};

void CheckRuns(const std::vector<TRect>& runs, int w, int h)
{
    for (const TRect& r : runs)
        if (r.Left < 0 || r.Right > w || r.Left >= r.Right || r.Top < 0 || r.Bottom != r.Top + 1 || r.Bottom > h)
            __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 27) return 0;
    const int pw = 1 + data[0] % 48, ph = 1 + data[1] % 48, pbpp = data[2] & 1 ? 4 : 3;
    std::vector<uint8_t> picture(static_cast<size_t>(pw) * ph * pbpp);
    TsFrameImage image;
    image.Picture = data[2] & 2 ? TvxScanLines{picture.data() + (ph - 1) * pw * pbpp, -pw * pbpp, pw, ph, pbpp}
                                : TvxScanLines{picture.data(), pw * pbpp, pw, ph, pbpp};
    image.R = TRect{S8(data[3]), S8(data[4]), S8(data[5]), S8(data[6])};
    image.ImageCount = S8(data[7]) % 6;
    image.MaskType = S8(data[8]) % 3;
    image.Flags = data[9];
    image.W = TsBorderWidths{S8(data[10]) % 12, S8(data[11]) % 12, S8(data[12]) % 12, S8(data[13]) % 12};
    const int state = S8(data[14]);
    const bool fillMiddle = data[15] & 1;
    const int w = data[16] % 40, h = data[17] % 40, bpp = data[18] & 1 ? 4 : 3;
    const bool transparent = data[18] & 2;
    size_t at = 27;
    for (size_t i = 0; i < picture.size(); i += static_cast<size_t>(pbpp), ++at) {
        const uint8_t b = at < size ? data[at] : static_cast<uint8_t>(i);
        picture[i] = b < 64 ? 0xFF : b;
        picture[i + 1] = b < 64 ? 0 : static_cast<uint8_t>(b * 7);
        picture[i + 2] = b < 64 ? 0xFF : static_cast<uint8_t>(b * 13);
    }

    Guarded dst(w, h, bpp, data[18] & 4);
    std::vector<TRect> runs;
    for (const TsPiece& p : PaintFrameRows(dst.lines, image, state, fillMiddle, &runs))
        if (p.Src.Left < image.R.Left || p.Src.Right > image.R.Right || p.Dst.Left < 0 || p.Dst.Right > w ||
            p.Dst.Top < 0 || p.Dst.Bottom > h)
            __builtin_trap(); // a stretch the caller would draw outside the rows or image
    CopyMaskRows(dst.lines, TRect{S8(data[19]), S8(data[20]), S8(data[21]), S8(data[22])}, image,
                 TRect{S8(data[23]), S8(data[24]), S8(data[25]), S8(data[26])}, transparent, &runs);
    if (!dst.GuardKept()) __builtin_trap();
    CheckRuns(runs, w, h);
    return 0;
}
