// The PNG decoder against libpng, decoding the same bytes in memory (a memory stream for the
// decoder, a read function over the bytes for libpng) into bitmaps of the same kind:
// libpng is asked for blue-green-red order, 16-bit samples scaled to 8 bits, grey with alpha
// without its alpha and the gamma of gAMA, as the decoder delivers them; both write into freshly
// allocated rows. Each benchmark decodes its group with both, turn about, and reports the
// milliseconds of each ("ours", "libpng") and their ratio libpng / ours ("ratio": 1 or more
// means the decoder is at least as fast as libpng).
//
// Groups: the 161 valid images of PngSuite, and 2048 x 2048 images written here with libpng:
// RGBA 8 bits with Paeth rows, RGB 16 bits, 8-bit palette, RGBA 8 bits interlaced (Adam7).
#include <benchmark/benchmark.h>

#include <png.h>

#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "skin/engine/vxPNGDecoder.h"

namespace {

// ---- The decoder, into rows allocated for every image

class TRowsTarget : public TPNGTarget {
public:
    TvxScanLines SetImage(TPixelFormat format, const TLogPalette*, int width, int height) override
    {
        int bits = format == pf1bit ? 1 : format == pf4bit ? 4 : format == pf8bit ? 8 : format == pf24bit ? 24 : 32;
        ptrdiff_t stride = (static_cast<ptrdiff_t>(width) * bits + 31) / 32 * 4;
        pixels_.reset(new uint8_t[static_cast<size_t>(stride) * static_cast<size_t>(height)]);
        return TvxScanLines{pixels_.get(), stride, width, height, bits >= 24 ? bits / 8 : 0};
    }
    void FillBackground(TColor, int, int) override {}
    void SetTransparentColor(TColor) override {}
    void Progress(TProgressStage, int, bool, const TRect&, const std::string&) override {}
    const uint8_t* Pixels() const { return pixels_.get(); }

private:
    std::unique_ptr<uint8_t[]> pixels_;
};

void DecodeOurs(TMemoryStream& stream)
{
    stream.SetPosition(0);
    TColorManager cm;
    TRowsTarget rows;
    TPNGDecoder(cm, rows).LoadFromStream(stream);
    benchmark::DoNotOptimize(rows.Pixels());
}

// ---- libpng

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

void DecodeLibpng(const std::string& bytes)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::unique_ptr<uint8_t[]> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    TMemory memory{&bytes, 0};
    png_set_read_fn(png, &memory, ReadFromMemory);
    png_read_info(png, info);
    int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_scale_16(png);
    if (type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGBA) png_set_bgr(png);
    if (type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(png);
    double gamma = 0;
    if (png_get_gAMA(png, info, &gamma)) png_set_gamma(png, 2.2, gamma);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = (png_get_rowbytes(png, info) + 3) & ~size_t{3};
    png_uint_32 height = png_get_image_height(png, info);
    pixels.reset(new uint8_t[rowBytes * height]);
    for (png_uint_32 y = 0; y < height; ++y)
        rows.push_back(pixels.get() + y * rowBytes);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.get());
}

// ---- The groups

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

const std::vector<std::string>& PngSuite()
{
    static const std::vector<std::string> files = [] {
        std::vector<std::string> names;
        if (DIR* dir = opendir(PNGSUITE_DIR)) {
            while (dirent* e = readdir(dir)) {
                std::string n = e->d_name;
                if (n.size() > 4 && n.substr(n.size() - 4) == ".png" && n[0] != 'x') names.push_back(n);
            }
            closedir(dir);
        }
        std::vector<std::string> bytes;
        for (const auto& n : names)
            bytes.push_back(ReadFile(std::string(PNGSUITE_DIR) + "/" + n));
        return bytes;
    }();
    return files;
}

void WriteToString(png_structp png, png_bytep data, png_size_t n)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), n);
}

// A picture with gradients and a little noise, so that it packs like a photograph.
uint8_t Sample(uint32_t x, uint32_t y, int channel, uint32_t& noise)
{
    noise ^= noise << 13;
    noise ^= noise >> 17;
    noise ^= noise << 5;
    uint32_t base = channel == 0 ? (x + y) / 16 : channel == 1 ? x / 8 : channel == 2 ? y / 8 : 255 - (x ^ y) / 32;
    return static_cast<uint8_t>(base + (noise & 7));
}

std::string WriteLarge(int colorType, int depth, bool interlaced, int filters)
{
    const uint32_t w = 2048, h = 2048;
    int channels = colorType == PNG_COLOR_TYPE_RGBA ? 4 : colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(channels) * (depth / 8);
    std::vector<uint8_t> image(rowBytes * h);
    uint32_t noise = 2463534242u;
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = image.data() + y * rowBytes;
        for (uint32_t x = 0; x < w; ++x) {
            for (int c = 0; c < channels; ++c) {
                uint8_t v = colorType == PNG_COLOR_TYPE_PALETTE
                                ? static_cast<uint8_t>(((x / 64) * 7 + (y / 64) * 3 + (noise & 1)) & 0xFF)
                                : Sample(x, y, c, noise);
                if (colorType == PNG_COLOR_TYPE_PALETTE) Sample(x, y, 0, noise);
                if (depth == 16) {
                    row[(x * channels + c) * 2] = v;
                    row[(x * channels + c) * 2 + 1] = static_cast<uint8_t>(noise >> 8);
                } else {
                    row[x * channels + c] = v;
                }
            }
        }
    }
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, WriteToString, nullptr);
    png_set_IHDR(png, info, w, h, depth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[static_cast<size_t>(i)] =
            png_color{static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i * 7)};
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette.data(), 256);
    if (filters) png_set_filter(png, 0, filters);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (uint32_t y = 0; y < h; ++y)
        rows.push_back(image.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

const std::vector<std::string>& Group(int index)
{
    static std::vector<std::string> groups[5];
    if (groups[index].empty()) {
        switch (index) {
        case 0:
            groups[0] = PngSuite();
            break;
        case 1:
            groups[1] = {WriteLarge(PNG_COLOR_TYPE_RGBA, 8, false, PNG_FILTER_PAETH)};
            break;
        case 2:
            groups[2] = {WriteLarge(PNG_COLOR_TYPE_RGB, 16, false, 0)};
            break;
        case 3:
            groups[3] = {WriteLarge(PNG_COLOR_TYPE_PALETTE, 8, false, 0)};
            break;
        default:
            groups[4] = {WriteLarge(PNG_COLOR_TYPE_RGBA, 8, true, 0)};
            break;
        }
    }
    return groups[index];
}

void Compare(benchmark::State& state, int group)
{
    const auto& files = Group(group);
    // The decoder reads the same bytes from memory streams made beforehand.
    std::vector<std::unique_ptr<TMemoryStream>> streams;
    for (const auto& f : files) {
        streams.push_back(std::make_unique<TMemoryStream>());
        streams.back()->WriteString(f);
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, theirs{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (const auto& f : files)
            DecodeLibpng(f);
        auto t1 = Clock::now();
        for (const auto& stream : streams)
            DecodeOurs(*stream);
        auto t2 = Clock::now();
        theirs += t1 - t0;
        ours += t2 - t1;
    }
    double n = static_cast<double>(state.iterations());
    double oursMs = std::chrono::duration<double, std::milli>(ours).count() / n;
    double theirsMs = std::chrono::duration<double, std::milli>(theirs).count() / n;
    state.counters["ours_ms"] = oursMs;
    state.counters["libpng_ms"] = theirsMs;
    state.counters["ratio"] = theirsMs / oursMs;
}

void PngSuiteImages(benchmark::State& state) { Compare(state, 0); }
void RGBA8Paeth2048(benchmark::State& state) { Compare(state, 1); }
void RGB16_2048(benchmark::State& state) { Compare(state, 2); }
void Palette8_2048(benchmark::State& state) { Compare(state, 3); }
void RGBA8Adam7_2048(benchmark::State& state) { Compare(state, 4); }

BENCHMARK(PngSuiteImages)->Unit(benchmark::kMillisecond);
BENCHMARK(RGBA8Paeth2048)->Unit(benchmark::kMillisecond);
BENCHMARK(RGB16_2048)->Unit(benchmark::kMillisecond);
BENCHMARK(Palette8_2048)->Unit(benchmark::kMillisecond);
BENCHMARK(RGBA8Adam7_2048)->Unit(benchmark::kMillisecond);

} // namespace
