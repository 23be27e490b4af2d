// Picture files written by the build-time skin tools (skingen, tilloraskins): pictures as RGB
// values, saved as BMP (8, 24 or 32 bits) or PNG (8-bit RGBA, magenta transparent). Plain C++
// and zlib.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pictures {

// A picture as RGB values (0x00RRGGBB), top row first.
struct TPicture {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    TPicture(int w, int h) : Width(w), Height(h), Pixels(static_cast<size_t>(w) * h, 0) {}
    uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

uint32_t Rgb(int r, int g, int b);
void Put16(std::string& s, uint32_t v);
void Put32(std::string& s, uint32_t v);
void PutBE32(std::string& s, uint32_t v);
// A BMP file of 8 (with a palette of the picture's colours), 24 or 32 bits (alpha 255).
std::string Bmp(const TPicture& p, int bits, bool topDown);
// A PNG file, 8-bit RGBA; magenta pixels get alpha 0, all others 255.
std::string Png(const TPicture& p);
// A PNG file, 8-bit RGBA, with the alpha given per pixel (same size as the picture).
std::string PngWithAlpha(const TPicture& p, const std::vector<uint8_t>& alpha);
// Writes the bytes to the file, replacing it; throws when it cannot.
void Write(const std::filesystem::path& file, const std::string& bytes);

} // namespace pictures
