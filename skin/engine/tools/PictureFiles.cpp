#include "skin/engine/tools/PictureFiles.h"

#include <fstream>
#include <map>
#include <stdexcept>

#include <zlib.h>

#include "skin/engine/tools/VtzWriter.h"

namespace pictures {

uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b; }

void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
void PutBE32(std::string& s, uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>(v >> (8 * i) & 0xFF);
}

// A BMP file of 8 (with a palette of the picture's colours), 24 or 32 bits (alpha 255).
std::string Bmp(const TPicture& p, int bits, bool topDown)
{
    std::vector<uint32_t> palette;
    std::map<uint32_t, uint32_t> index;
    if (bits == 8)
        for (uint32_t c : p.Pixels)
            if (index.emplace(c, static_cast<uint32_t>(palette.size())).second) palette.push_back(c);
    if (palette.size() > 256) throw std::runtime_error("too many colours for 8 bits");
    const size_t stride = (static_cast<size_t>(p.Width) * bits + 31) / 32 * 4;
    std::string rows;
    for (int r = 0; r < p.Height; ++r) {
        const int y = topDown ? r : p.Height - 1 - r;
        std::string row;
        for (int x = 0; x < p.Width; ++x) {
            const uint32_t c = p.Pixels[static_cast<size_t>(y) * p.Width + x];
            if (bits == 8) row += static_cast<char>(index[c]);
            else {
                row += static_cast<char>(c & 0xFF);
                row += static_cast<char>(c >> 8 & 0xFF);
                row += static_cast<char>(c >> 16 & 0xFF);
                if (bits == 32) row += static_cast<char>(0xFF);
            }
        }
        row.resize(stride, '\0');
        rows += row;
    }
    const uint32_t off = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    std::string s = "BM";
    Put32(s, off + static_cast<uint32_t>(rows.size()));
    Put32(s, 0);
    Put32(s, off);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(p.Width));
    Put32(s, static_cast<uint32_t>(topDown ? -p.Height : p.Height));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(bits));
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(rows.size()));
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, static_cast<uint32_t>(palette.size()));
    Put32(s, 0);
    for (uint32_t c : palette)
        Put32(s, c);
    return s + rows;
}

std::string PngChunk(const char* type, const std::string& data)
{
    std::string s;
    PutBE32(s, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    s += body;
    PutBE32(s, static_cast<uint32_t>(
                   crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
    return s;
}

std::string PngWithAlpha(const TPicture& p, const std::vector<uint8_t>& alpha)
{
    std::string raw;
    for (int y = 0; y < p.Height; ++y) {
        raw += '\0'; // filter: none
        for (int x = 0; x < p.Width; ++x) {
            const uint32_t c = p.Pixels[static_cast<size_t>(y) * p.Width + x];
            raw += static_cast<char>(c >> 16 & 0xFF);
            raw += static_cast<char>(c >> 8 & 0xFF);
            raw += static_cast<char>(c & 0xFF);
            raw += static_cast<char>(alpha[static_cast<size_t>(y) * p.Width + x]);
        }
    }
    std::string ihdr;
    PutBE32(ihdr, static_cast<uint32_t>(p.Width));
    PutBE32(ihdr, static_cast<uint32_t>(p.Height));
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", ihdr) + PngChunk("IDAT", vtz::Compress(raw, 9)) +
           PngChunk("IEND", "");
}

std::string Png(const TPicture& p)
{
    std::vector<uint8_t> alpha(p.Pixels.size());
    for (size_t i = 0; i < p.Pixels.size(); ++i)
        alpha[i] = p.Pixels[i] == 0xFF00FF ? 0 : 0xFF;
    return PngWithAlpha(p, alpha);
}

void Write(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush()) throw std::runtime_error("cannot write " + file.string());
}

} // namespace pictures
