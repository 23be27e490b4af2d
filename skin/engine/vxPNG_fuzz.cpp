// Fuzz target: the PNG decoder's core on any bytes. The first byte chooses the mode: odd
// values put the right CRC into every chunk first, so that mutated chunks get past the CRC test
// and reach the decoding; even values decode the bytes as they are. Every input either loads or
// fails with the decoder's own errors. All rows of the image share one row in memory, so that
// images of any allowed size cost no more memory than one row.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

#include "gui/base/Exceptions.h"
#include "skin/engine/vxPNGDecoder.h"

namespace {
class TOneRow : public TPNGTarget {
public:
    TvxScanLines SetImage(TPixelFormat format, const TLogPalette*, int width, int height) override
    {
        int bits = format == pf1bit ? 1 : format == pf4bit ? 4 : format == pf8bit ? 8 : format == pf24bit ? 24 : 32;
        row_.assign((static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4, 0);
        return TvxScanLines{row_.data(), 0, width, height, bits >= 24 ? bits / 8 : 0};
    }
    void FillBackground(TColor color, int, int) override { std::memset(row_.data(), color & 0xFF, row_.size()); }
    void SetTransparentColor(TColor) override {}
    void Progress(TProgressStage, int, bool, const TRect&, const std::string&) override {}

private:
    std::vector<uint8_t> row_;
};

uint32_t BE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           p[3];
}

void FixCRCs(std::string& bytes)
{
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        uint32_t length = BE32(p + pos);
        if (length > bytes.size() - pos - 12) break;
        uint32_t crc = static_cast<uint32_t>(crc32(0, p + pos + 4, length + 4));
        uint8_t* at = p + pos + 8 + length;
        at[0] = static_cast<uint8_t>(crc >> 24);
        at[1] = static_cast<uint8_t>(crc >> 16);
        at[2] = static_cast<uint8_t>(crc >> 8);
        at[3] = static_cast<uint8_t>(crc);
        pos += 12 + length;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) FixCRCs(bytes);
    TMemoryStream stream;
    stream.WriteString(bytes);
    stream.SetPosition(0);
    TColorManager cm;
    TOneRow rows;
    try {
        TPNGDecoder(cm, rows).LoadFromStream(stream);
    } catch (const Exception&) {
    }
    return 0;
}
