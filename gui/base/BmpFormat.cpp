#include "gui/base/BmpFormat.h"

#include <cstring>

#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"

namespace {

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

} // namespace

void ReadBmp(TStream& stream, TBmpPicture& picture)
{
    picture = TBmpPicture{};
    const int64_t start = stream.Position();
    const int64_t available = stream.Size() - start;
    uint8_t file[14];
    ReadExactly(stream, file, sizeof file);
    if (file[0] != 'B' || file[1] != 'M') Invalid();
    const uint32_t offBits = U32(file + 10);

    uint8_t info[124] = {};
    ReadExactly(stream, info, 4);
    const uint32_t infoSize = U32(info);
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124) Invalid();
    ReadExactly(stream, info + 4, infoSize - 4);
    const int32_t width = I32(info + 4), height = I32(info + 8);
    const uint16_t planes = U16(info + 12), bits = U16(info + 14);
    const uint32_t compression = U32(info + 16);
    uint32_t used = U32(info + 32);
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) Invalid();
    if (width < 0 || width > TBmpPicture::MaxSide || height < -TBmpPicture::MaxSide || height > TBmpPicture::MaxSide)
        Invalid();

    int64_t headerEnd = 14 + static_cast<int64_t>(infoSize);
    if (compression == 3) { // BI_BITFIELDS: only the plain layout of 32 bits
        uint8_t masks[12];
        if (infoSize >= 52) std::memcpy(masks, info + 40, sizeof masks);
        else {
            ReadExactly(stream, masks, sizeof masks);
            headerEnd += 12;
        }
        if (bits != 32 || U32(masks) != 0xFF0000 || U32(masks + 4) != 0xFF00 || U32(masks + 8) != 0xFF) Invalid();
    } else if (compression != 0) {
        Invalid();
    }

    picture.Bits = bits;
    if (bits <= 8) {
        const uint32_t full = 1u << bits;
        if (used == 0) used = full;
        if (used > full) Invalid();
        std::vector<uint8_t> table(static_cast<size_t>(used) * 4);
        ReadExactly(stream, table.data(), table.size());
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
    const int64_t dataSize = static_cast<int64_t>(picture.Stride) * picture.Height;
    const int64_t dataStart = offBits != 0 ? static_cast<int64_t>(offBits) : headerEnd;
    if (dataStart < headerEnd || dataStart > available || dataSize > available - dataStart) Invalid();
    stream.SetPosition(start + dataStart);
    picture.Pixels.resize(static_cast<size_t>(dataSize));
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
