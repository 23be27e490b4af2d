// PngSuite through the PNG decoder's core, pixel by pixel against libpng. libpng gives the raw
// samples of every image (unpacked, de-interlaced, no other transformation); the test puts them
// through the decoder's own rules to get the expected bitmap:
//   - grey: a palette bitmap of 1, 4 (depths 2 and 4) or 8 bits, its index the sample
//     (depth 2: v x 15 div 3; depth 16: v x 255 div 65535), its palette a grey ramp;
//   - RGB and RGBA: 24 or 32 bits, 16-bit samples as v x 255 div 65535 (not v >> 8);
//   - indexed: the indexes, the PLTE colours;
//   - grey with alpha: an 8-bit grey bitmap, opaque;
//   - with gAMA before the image data, palette entries and colour samples (never alpha) through
//     (v / 255) ^ (1 / (gamma x 2.2)); allowed off by 1 there;
//   - tRNS of grey and RGB images as the transparent colour, bKGD as the background.
// The broken files of the suite fail with their messages.
#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "gui/base/Exceptions.h"
#include "skin/engine/tests/PNGRows.h"
#include "skin/engine/vxPNGDecoder.h"

namespace {

std::string ReadFile(const std::string& name)
{
    std::ifstream f(std::string(PNGSUITE_DIR) + "/" + name + ".png", std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The raw samples of an image as libpng reads them.
struct TRaw {
    uint32_t Width = 0, Height = 0;
    int Depth = 0, ColorType = 0;
    int Channels = 0;
    std::vector<std::vector<uint16_t>> Rows; // Channels samples per pixel
    std::vector<png_color> Palette;
};

struct TMemory {
    const std::string* Bytes;
    size_t Pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n)
{
    auto* m = static_cast<TMemory*>(png_get_io_ptr(png));
    if (m->Pos + n > m->Bytes->size()) png_error(png, "short");
    std::memcpy(out, m->Bytes->data() + m->Pos, n);
    m->Pos += n;
}

TRaw ReadWithLibpng(const std::string& bytes)
{
    TRaw raw;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    TMemory memory{&bytes, 0};
    std::vector<std::vector<png_byte>> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        ADD_FAILURE() << "libpng cannot read the file";
        return raw;
    }
    png_set_read_fn(png, &memory, ReadFromMemory);
    png_read_info(png, info);
    raw.Width = png_get_image_width(png, info);
    raw.Height = png_get_image_height(png, info);
    raw.Depth = png_get_bit_depth(png, info);
    raw.ColorType = png_get_color_type(png, info);
    raw.Channels = png_get_channels(png, info);
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count)) raw.Palette.assign(palette, palette + count);
    if (raw.Depth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    rows.assign(raw.Height, std::vector<png_byte>(rowBytes));
    std::vector<png_bytep> pointers;
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_read_image(png, pointers.data());
    png_destroy_read_struct(&png, &info, nullptr);
    for (const auto& r : rows) {
        std::vector<uint16_t> samples;
        size_t n = static_cast<size_t>(raw.Width) * static_cast<size_t>(raw.Channels);
        for (size_t i = 0; i < n; ++i)
            samples.push_back(raw.Depth == 16 ? static_cast<uint16_t>(r[2 * i] << 8 | r[2 * i + 1]) : r[i]);
        raw.Rows.push_back(std::move(samples));
    }
    return raw;
}

// The chunks of the file before the first IDAT that the decoder reads: gAMA, tRNS, bKGD.
struct TChunks {
    std::optional<uint32_t> Gamma;
    std::string Transparency, Background;
};

TChunks ChunksBeforeImageData(const std::string& bytes)
{
    TChunks c;
    size_t pos = 8;
    while (pos + 8 <= bytes.size()) {
        auto at = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])); };
        uint32_t length = at(pos) << 24 | at(pos + 1) << 16 | at(pos + 2) << 8 | at(pos + 3);
        std::string type = bytes.substr(pos + 4, 4), data = bytes.substr(pos + 8, length);
        if (type == "IDAT") break;
        if (type == "gAMA" && length >= 4)
            c.Gamma = at(pos + 8) << 24 | at(pos + 9) << 16 | at(pos + 10) << 8 | at(pos + 11);
        if (type == "tRNS") c.Transparency = data;
        if (type == "bKGD") c.Background = data;
        pos += 12 + length;
    }
    return c;
}

struct TExpected {
    TPixelFormat Format = pfCustom;
    std::vector<TPaletteEntry> Palette;
    std::vector<std::vector<uint32_t>> Pixels; // index, or 0xAARRGGBB
    bool Gamma = false;
    TColor Transparent = kPNGNoColor, Background = 0xFFFFFF;
};

uint32_t Scale16(uint32_t v) { return v * 255u / 65535u; }

TExpected Expect(const TRaw& raw, const TChunks& chunks)
{
    TExpected e;
    e.Gamma = chunks.Gamma.has_value();
    uint8_t table[256];
    double g = chunks.Gamma ? static_cast<float>(*chunks.Gamma / 100000.0) : 1.0;
    if (g <= 0) g = 1.0;
    for (int i = 0; i < 256; ++i)
        table[i] = e.Gamma ? static_cast<uint8_t>(
                                 std::floor(std::pow(i / 255.0, 1.0 / (g * static_cast<double>(2.2f))) * 255 + 0.5))
                           : static_cast<uint8_t>(i);
    const int d = raw.Depth;
    auto scale = [d](uint32_t v) { return d == 16 ? Scale16(v) : v; };
    auto greyRamp = [&](int bits) {
        int n = 1 << bits;
        for (int i = 0; i < n; ++i) {
            uint8_t v = table[i * (255 / (n - 1))];
            e.Palette.push_back(TPaletteEntry{v, v, v, 0});
        }
    };
    auto scaleGrey = [d](uint32_t v) { return d == 2 ? v * 15 / 3 : d == 16 ? Scale16(v) : v; };
    auto be16 = [](const std::string& s, size_t i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(s[i]) << 8 | static_cast<uint8_t>(s[i + 1]));
    };
    auto rgb = [](uint32_t r, uint32_t g, uint32_t b) {
        return static_cast<TColor>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
    };
    switch (raw.ColorType) {
    case 0: {
        int bits = d == 1 ? 1 : d <= 4 ? 4 : 8;
        e.Format = bits == 1 ? pf1bit : bits == 4 ? pf4bit : pf8bit;
        greyRamp(bits);
        for (const auto& r : raw.Rows) {
            std::vector<uint32_t> row;
            for (uint16_t v : r)
                row.push_back(scaleGrey(v));
            e.Pixels.push_back(row);
        }
        if (chunks.Transparency.size() >= 2) {
            uint32_t v = scaleGrey(be16(chunks.Transparency, 0));
            e.Transparent = rgb(v, v, v);
        }
        if (chunks.Background.size() >= 2) {
            uint32_t v = scaleGrey(be16(chunks.Background, 0));
            e.Background = rgb(v, v, v);
        }
        break;
    }
    case 3: {
        e.Format = d == 1 ? pf1bit : d <= 4 ? pf4bit : pf8bit;
        for (const png_color& c : raw.Palette)
            e.Palette.push_back(TPaletteEntry{table[c.red], table[c.green], table[c.blue], 0});
        for (const auto& r : raw.Rows)
            e.Pixels.emplace_back(r.begin(), r.end());
        if (!chunks.Background.empty() && static_cast<uint8_t>(chunks.Background[0]) < e.Palette.size()) {
            const TPaletteEntry& p = e.Palette[static_cast<uint8_t>(chunks.Background[0])];
            e.Background = rgb(p.Red, p.Green, p.Blue);
        }
        break;
    }
    case 4:
        e.Format = pf8bit;
        greyRamp(8);
        for (const auto& r : raw.Rows) {
            std::vector<uint32_t> row;
            for (size_t i = 0; i < r.size(); i += 2)
                row.push_back(scale(r[i]));
            e.Pixels.push_back(row);
        }
        if (chunks.Background.size() >= 2) {
            uint32_t v = scaleGrey(be16(chunks.Background, 0));
            e.Background = rgb(v, v, v);
        }
        break;
    default: { // 2 and 6
        bool alpha = raw.ColorType == 6;
        e.Format = alpha ? pf32bit : pf24bit;
        for (const auto& r : raw.Rows) {
            std::vector<uint32_t> row;
            for (size_t i = 0; i < r.size(); i += raw.Channels) {
                uint32_t a = alpha ? scale(r[i + 3]) : 0xFF;
                row.push_back(a << 24 | static_cast<uint32_t>(table[scale(r[i])]) << 16 |
                              static_cast<uint32_t>(table[scale(r[i + 1])]) << 8 | table[scale(r[i + 2])]);
            }
            e.Pixels.push_back(row);
        }
        if (!alpha && chunks.Transparency.size() >= 6)
            e.Transparent = rgb(scale(be16(chunks.Transparency, 0)), scale(be16(chunks.Transparency, 2)),
                                scale(be16(chunks.Transparency, 4)));
        if (chunks.Background.size() >= 6)
            e.Background = rgb(scale(be16(chunks.Background, 0)), scale(be16(chunks.Background, 2)),
                               scale(be16(chunks.Background, 4)));
        break;
    }
    }
    return e;
}

bool Near(uint32_t a, uint32_t b, bool gamma, bool alphaExact = true)
{
    for (int shift = 0; shift < 32; shift += 8) {
        int x = static_cast<int>(a >> shift & 0xFF), y = static_cast<int>(b >> shift & 0xFF);
        int allowed = gamma && !(shift == 24 && alphaExact) ? 1 : 0;
        if (std::abs(x - y) > allowed) return false;
    }
    return true;
}

const char* const kValid[] = {
    "basi0g01", "basi0g02", "basi0g04", "basi0g08", "basi0g16", "basi2c08", "basi2c16", "basi3p01", "basi3p02",
    "basi3p04", "basi3p08", "basi4a08", "basi4a16", "basi6a08", "basi6a16", "basn0g01", "basn0g02", "basn0g04",
    "basn0g08", "basn0g16", "basn2c08", "basn2c16", "basn3p01", "basn3p02", "basn3p04", "basn3p08", "basn4a08",
    "basn4a16", "basn6a08", "basn6a16", "bgai4a08", "bgai4a16", "bgan6a08", "bgan6a16", "bgbn4a08", "bggn4a16",
    "bgwn6a08", "bgyn6a16", "ccwn2c08", "ccwn3p08", "cdfn2c08", "cdhn2c08", "cdsn2c08", "cdun2c08", "ch1n3p04",
    "ch2n3p08", "cm0n0g04", "cm7n0g04", "cm9n0g04", "cs3n2c16", "cs3n3p08", "cs5n2c08", "cs5n3p08", "cs8n2c08",
    "cs8n3p08", "ct0n0g04", "ct1n0g04", "cten0g04", "ctfn0g04", "ctgn0g04", "cthn0g04", "ctjn0g04", "ctzn0g04",
    "exif2c08", "f00n0g08", "f00n2c08", "f01n0g08", "f01n2c08", "f02n0g08", "f02n2c08", "f03n0g08", "f03n2c08",
    "f04n0g08", "f04n2c08", "f99n0g04", "g03n0g16", "g03n2c08", "g03n3p04", "g04n0g16", "g04n2c08", "g04n3p04",
    "g05n0g16", "g05n2c08", "g05n3p04", "g07n0g16", "g07n2c08", "g07n3p04", "g10n0g16", "g10n2c08", "g10n3p04",
    "g25n0g16", "g25n2c08", "g25n3p04", "oi1n0g16", "oi1n2c16", "oi2n0g16", "oi2n2c16", "oi4n0g16", "oi4n2c16",
    "oi9n0g16", "oi9n2c16", "pp0n2c16", "pp0n6a08", "ps1n0g08", "ps1n2c16", "ps2n0g08", "ps2n2c16", "s01i3p01",
    "s01n3p01", "s02i3p01", "s02n3p01", "s03i3p01", "s03n3p01", "s04i3p01", "s04n3p01", "s05i3p02", "s05n3p02",
    "s06i3p02", "s06n3p02", "s07i3p02", "s07n3p02", "s08i3p02", "s08n3p02", "s09i3p02", "s09n3p02", "s32i3p04",
    "s32n3p04", "s33i3p04", "s33n3p04", "s34i3p04", "s34n3p04", "s35i3p04", "s35n3p04", "s36i3p04", "s36n3p04",
    "s37i3p04", "s37n3p04", "s38i3p04", "s38n3p04", "s39i3p04", "s39n3p04", "s40i3p04", "s40n3p04", "tbbn0g04",
    "tbbn2c16", "tbbn3p08", "tbgn2c16", "tbgn3p08", "tbrn2c08", "tbwn0g16", "tbwn3p08", "tbyn3p08", "tm3n3p02",
    "tp0n0g08", "tp0n2c08", "tp0n3p08", "tp1n3p08", "z00n2c08", "z03n2c08", "z06n2c08", "z09n2c08",
};

class PngSuiteValid : public testing::TestWithParam<const char*> {};

TEST(PngSuite, TheSuiteHas161ValidImages) { EXPECT_EQ(std::size(kValid), 161u); }

TEST_P(PngSuiteValid, DecodesAsLibpngReadsItThroughTheDecodersRules)
{
    const std::string bytes = ReadFile(GetParam());
    ASSERT_GT(bytes.size(), 8u);
    const TRaw raw = ReadWithLibpng(bytes);
    const TExpected e = Expect(raw, ChunksBeforeImageData(bytes));
    TMemoryStream stream;
    stream.WriteString(bytes);
    stream.SetPosition(0);
    TColorManager cm;
    TPNGRows rows;
    TPNGDecoder decoder(cm, rows);
    decoder.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    ASSERT_EQ(rows.Format, e.Format);
    ASSERT_EQ(rows.Width, static_cast<int>(raw.Width));
    ASSERT_EQ(rows.Height, static_cast<int>(raw.Height));
    EXPECT_EQ(rows.Transparent, e.Transparent);
    EXPECT_EQ(decoder.BackgroundColor(), e.Background);
    if (e.Format != pf24bit && e.Format != pf32bit) {
        ASSERT_EQ(rows.Palette.size(), e.Palette.size());
        for (size_t i = 0; i < e.Palette.size(); ++i) {
            const TPaletteEntry &a = rows.Palette[i], &b = e.Palette[i];
            uint32_t got = static_cast<uint32_t>(a.Red) << 16 | a.Green << 8 | a.Blue;
            uint32_t want = static_cast<uint32_t>(b.Red) << 16 | b.Green << 8 | b.Blue;
            ASSERT_TRUE(Near(got, want, e.Gamma)) << "palette entry " << i << ": " << std::hex << got << " " << want;
        }
    }
    int mismatches = 0;
    for (int y = 0; y < rows.Height; ++y) {
        for (int x = 0; x < rows.Width; ++x) {
            uint32_t want = e.Pixels[static_cast<size_t>(y)][static_cast<size_t>(x)];
            bool palette = e.Format != pf24bit && e.Format != pf32bit;
            uint32_t got = palette ? rows.Index(x, y) : rows.Argb(x, y);
            bool ok = palette ? got == want : Near(got, want, e.Gamma);
            if (!ok && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got << " instead of " << want;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteValid, testing::ValuesIn(kValid),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST(PngSuite, TheBrokenImagesFailWithTheirMessages)
{
    const std::string invalid = "Cannot load image. Invalid or unexpected PNG image format.";
    const std::string crc = "Cannot load image. CRC error found in PNG file.";
    const std::string color = "Invalid color format in PNG file.";
    const std::pair<const char*, std::string> cases[] = {
        {"xs1n0g01", invalid}, {"xs2n0g01", invalid}, {"xs4n0g01", invalid}, {"xs7n0g01", invalid},
        {"xcrn0g04", invalid}, {"xlfn0g04", invalid}, {"xhdn0g08", crc},     {"xcsn0g01", crc},
        {"xc1n0g08", color},   {"xc9n2c08", color},   {"xd0n2c08", color},   {"xd3n2c08", color},
        {"xd9n2c08", color},   {"xdtn0g01", invalid},
    };
    for (const auto& [name, message] : cases) {
        TMemoryStream stream;
        stream.WriteString(ReadFile(name));
        stream.SetPosition(0);
        TColorManager cm;
        TPNGRows rows;
        std::string got = "loaded";
        try {
            TPNGDecoder(cm, rows).LoadFromStream(stream);
        } catch (const EInvalidGraphic& e) {
            got = e.Message();
        }
        EXPECT_EQ(got, message) << name;
    }
}

} // namespace
