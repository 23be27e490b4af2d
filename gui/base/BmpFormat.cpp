#include "gui/base/BmpFormat.h"

#include <cstdint>
#include <cstring>

#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap ist ungültig"); }

uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Reads exactly count bytes or fails as an invalid picture.
void ReadExactly(TStream& s, void* buffer, size_t count)
{
    if (s.Read(buffer, count) != count) Invalid();
}

// A size read from the file as the platform's size (32 bits in the shipped build); one that
// does not fit is a damaged picture.
size_t AsSize(int64_t n)
{
    if (n < 0 || static_cast<uint64_t>(n) > SIZE_MAX) Invalid();
    return static_cast<size_t>(n);
}

// Unpacks run-length data (count/value pairs; a count of 0 escapes: 0 end of row, 1 end of
// picture, 2 a move right and up, 3..255 that many literal pixels padded to a word) into the
// picture's rows. The data's first row is the bottom one. Runs and literals stop at the right
// edge (pixels beyond it are dropped); a move that leaves the picture (right of its width,
// above its top) is a damaged picture. The position stays within 0..Width and 0..Height, so
// no sum of moves can overflow it.
void UnpackRunLength(const std::vector<uint8_t>& d, int bits, TBmpPicture& p)
{
    int x = 0, y = 0; // y counts rows from the bottom
    auto put = [&](unsigned v) {
        if (x < p.Width && y < p.Height) {
            uint8_t* row = p.Pixels.data() + static_cast<size_t>(p.Height - 1 - y) * p.Stride;
            if (bits == 8) row[x] = static_cast<uint8_t>(v);
            else row[x / 2] = static_cast<uint8_t>(row[x / 2] | (x % 2 ? v & 15 : (v & 15) << 4));
        }
        ++x;
    };
    const size_t n = d.size();
    size_t i = 0;
    while (i + 2 <= n && y < p.Height) {
        const unsigned count = d[i], value = d[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && x < p.Width; ++k)
                put(bits == 8 ? value : (k % 2 ? value : value >> 4));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (i + 2 > n) Invalid();
            if (d[i] > p.Width - x || d[i + 1] > p.Height - y) Invalid();
            x += d[i];
            y += d[i + 1];
            i += 2;
        } else {
            const size_t bytes = bits == 8 ? value : (value + 1) / 2;
            if (bytes > n - i) Invalid();
            for (unsigned k = 0; k < value && x < p.Width; ++k)
                put(bits == 8 ? d[i + k] : (k % 2 ? d[i + k / 2] : d[i + k / 2] >> 4));
            i += (bytes + 1) & ~size_t{1};
        }
    }
}

} // namespace

void ReadBmp(TStream& stream, TBmpPicture& picture)
{
    picture = TBmpPicture{};
    const int64_t start = stream.Position();
    const int64_t available = stream.Size() - start;
    uint8_t file[14];
    stream.ReadBuffer(file, sizeof file);
    if (file[0] != 'B' || file[1] != 'M') Invalid();
    const uint32_t offBits = U32(file + 10);

    uint8_t info[124] = {};
    stream.ReadBuffer(info, 4);
    const uint32_t infoSize = U32(info);
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124) Invalid();
    stream.ReadBuffer(info + 4, infoSize - 4);
    const int32_t width = I32(info + 4), height = I32(info + 8);
    const uint16_t planes = U16(info + 12), bits = U16(info + 14);
    const uint32_t compression = U32(info + 16), imageSize = U32(info + 20);
    uint32_t used = U32(info + 32);
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)) Invalid();
    if (width < 0 || width > TBmpPicture::MaxSide || height < -TBmpPicture::MaxSide || height > TBmpPicture::MaxSide)
        Invalid();

    int64_t headerEnd = 14 + static_cast<int64_t>(infoSize);
    const bool rle = compression == kRle8 || compression == kRle4;
    if (compression == kBitFields) {
        uint8_t masks[12];
        if (infoSize >= 52) std::memcpy(masks, info + 40, sizeof masks);
        else {
            stream.ReadBuffer(masks, sizeof masks);
            headerEnd += 12;
        }
        if (bits != 16 && bits != 32) Invalid();
        for (int c = 0; c < 3; ++c) {
            picture.ColorMasks[c] = U32(masks + 4 * c);
            if (picture.ColorMasks[c] == 0 || (bits == 16 && picture.ColorMasks[c] > 0xFFFF)) Invalid();
        }
        picture.Masks = bits == 16 || picture.ColorMasks[0] != 0xFF0000 || picture.ColorMasks[1] != 0xFF00 ||
                        picture.ColorMasks[2] != 0xFF;
        if (!picture.Masks) std::memset(picture.ColorMasks, 0, sizeof picture.ColorMasks);
    } else if (rle) {
        if (bits != (compression == kRle8 ? 8 : 4) || height < 0) Invalid();
    } else if (compression != kRgb) {
        Invalid();
    }

    picture.Bits = bits;
    if (bits <= 8) {
        const uint32_t full = 1u << bits;
        if (used == 0) used = full;
        if (used > full) Invalid();
        std::vector<uint8_t> table(static_cast<size_t>(used) * 4);
        stream.ReadBuffer(table.data(), table.size());
        headerEnd += static_cast<int64_t>(table.size());
        picture.Colors.assign(full, 0);
        for (uint32_t i = 0; i < used; ++i)
            picture.Colors[i] = U32(&table[i * 4]) & 0xFFFFFF;
    }
    if (width == 0 || height == 0) return;

    picture.Width = width;
    picture.Height = height < 0 ? -height : height;
    picture.TopDown = height < 0;
    picture.Stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const int64_t rowsSize = static_cast<int64_t>(picture.Stride) * picture.Height;
    const int64_t dataStart = offBits != 0 ? static_cast<int64_t>(offBits) : headerEnd;
    if (dataStart < headerEnd || dataStart > available) Invalid();
    // Run-length data is as long as the header says, else it reaches to the stream's end.
    const int64_t dataSize = !rle ? rowsSize : imageSize != 0 ? static_cast<int64_t>(imageSize) : available - dataStart;
    if (dataSize > available - dataStart) Invalid();
    stream.SetPosition(start + dataStart);
    if (rle) {
        // A few bytes of run-length data can name a huge picture that stays blank: refused.
        if (static_cast<int64_t>(picture.Width) * picture.Height > TBmpPicture::MaxRunLengthPixels) Invalid();
        std::vector<uint8_t> data(AsSize(dataSize));
        ReadExactly(stream, data.data(), data.size());
        picture.Pixels.assign(AsSize(rowsSize), 0);
        UnpackRunLength(data, bits, picture);
        return;
    }
    picture.Pixels.resize(AsSize(rowsSize));
    ReadExactly(stream, picture.Pixels.data(), picture.Pixels.size());
    if (!picture.TopDown) { // rows to top-first order
        std::vector<uint8_t> row(picture.Stride);
        for (int y = 0, z = picture.Height - 1; y < z; ++y, --z) {
            uint8_t* a = picture.Pixels.data() + static_cast<size_t>(y) * picture.Stride;
            uint8_t* b = picture.Pixels.data() + static_cast<size_t>(z) * picture.Stride;
            std::memcpy(row.data(), a, picture.Stride);
            std::memcpy(a, b, picture.Stride);
            std::memcpy(b, row.data(), picture.Stride);
        }
    }
}
