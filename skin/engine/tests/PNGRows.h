// A PNG decoder target in memory for tests: the bitmap's format, palette, size, transparent
// colour and pixels (rows padded to 4 bytes, top row first), and the progress notifications
// as text lines. New rows are filled with 0xCD, so that a pixel the decoder never writes shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/engine/vxPNGDecoder.h"

class TPNGRows : public TPNGTarget {
public:
    TPixelFormat Format = pfCustom;
    bool HasPalette = false;
    std::vector<TPaletteEntry> Palette;
    int Width = 0, Height = 0;
    ptrdiff_t Stride = 0;
    std::vector<uint8_t> Pixels;
    TColor Transparent = kPNGNoColor;
    std::vector<std::string> ProgressLog;
    bool LogRunning = true;

    TvxScanLines SetImage(TPixelFormat format, const TLogPalette* palette, int width, int height) override
    {
        Format = format;
        HasPalette = palette != nullptr;
        Palette = palette ? palette->Entries : std::vector<TPaletteEntry>{};
        Width = width;
        Height = height;
        Stride = (static_cast<ptrdiff_t>(width) * Bits() + 31) / 32 * 4;
        Pixels.assign(static_cast<size_t>(Stride) * static_cast<size_t>(height), 0xCD);
        return TvxScanLines{Pixels.data(), Stride, width, height, Bits() >= 24 ? Bits() / 8 : 0};
    }

    void FillBackground(TColor color, int top, int bottom) override
    {
        ProgressLog.push_back("fill " + std::to_string(color) + " " + std::to_string(top) + ".." +
                              std::to_string(bottom));
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < Width; ++x)
                SetColour(x, y, color);
    }

    void SetTransparentColor(TColor color) override { Transparent = color; }

    void Progress(TProgressStage stage, int percent, bool redrawNow, const TRect& r,
                  const std::string& message) override
    {
        if (stage == psRunning && !LogRunning) return;
        static const char* const names[] = {"starting", "running", "ending"};
        ProgressLog.push_back(std::string(names[stage]) + " " + std::to_string(percent) + (redrawNow ? " redraw" : "") +
                              " (" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
                              std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ") " + message);
    }

    int Bits() const
    {
        switch (Format) {
        case pf1bit:
            return 1;
        case pf4bit:
            return 4;
        case pf8bit:
            return 8;
        case pf24bit:
            return 24;
        default:
            return 32;
        }
    }
    const uint8_t* Row(int y) const { return Pixels.data() + static_cast<ptrdiff_t>(y) * Stride; }
    // The palette index of a pixel of a palette format.
    unsigned Index(int x, int y) const
    {
        int bits = Bits();
        size_t pos = static_cast<size_t>(x) * static_cast<size_t>(bits);
        return static_cast<unsigned>(Row(y)[pos / 8] >> (8 - bits - pos % 8)) & ((1u << bits) - 1u);
    }
    // A pixel as 0xAARRGGBB (alpha 0xFF for formats without alpha): palette formats through the palette.
    uint32_t Argb(int x, int y) const
    {
        if (Bits() < 24) {
            const TPaletteEntry& e = Palette.at(Index(x, y));
            return 0xFF000000u | static_cast<uint32_t>(e.Red) << 16 | static_cast<uint32_t>(e.Green) << 8 | e.Blue;
        }
        const uint8_t* p = Row(y) + x * (Bits() / 8);
        uint32_t a = Bits() == 32 ? p[3] : 0xFF;
        return a << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    }

private:
    void SetColour(int x, int y, TColor color)
    {
        uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
        uint8_t* row = Pixels.data() + static_cast<ptrdiff_t>(y) * Stride;
        if (Bits() >= 24) {
            uint8_t* p = row + x * (Bits() / 8);
            p[0] = b;
            p[1] = g;
            p[2] = r;
            if (Bits() == 32) p[3] = 0;
            return;
        }
        // The nearest palette colour.
        unsigned best = 0;
        long bestDistance = -1;
        for (size_t i = 0; i < Palette.size(); ++i) {
            long dr = Palette[i].Red - r, dg = Palette[i].Green - g, db = Palette[i].Blue - b;
            long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = static_cast<unsigned>(i);
            }
        }
        int bits = Bits();
        size_t pos = static_cast<size_t>(x) * static_cast<size_t>(bits);
        unsigned shift = 8 - bits - pos % 8;
        uint8_t mask = static_cast<uint8_t>(((1u << bits) - 1u) << shift);
        row[pos / 8] = static_cast<uint8_t>((row[pos / 8] & ~mask) | (best << shift & mask));
    }
};
