// The colour manager of the image decoders: turns rows of decoded samples into rows of a
// bitmap's pixel format, and builds the logical palettes and the gamma table that go with them.
//
// The owner describes the source (colour scheme, bits per sample 1..16, samples per pixel 1..4,
// flags) and the target, then hands over one row at a time with ConvertLine. The converter is
// chosen again on the first row after a setting changed:
//   indexed source, neither side 16 bits        indexed widening: values unpacked most
//   grey source, neither side 16 bits            significant bits first and packed at the
//                                                target depth; grey scaled by
//                                                (2^t - 1) / (2^s - 1) (2 bits 0..3 -> 0, 5,
//                                                10, 15), palette indexes kept
//   grey, a side 16 bits, both at least 8       grey to grey: 8 -> 8 copied, 16 -> 8 as
//   grey with alpha, both sides 8 or 16 bits     v x 255 div 65535 (alpha stepped over)
//   RGB or RGBA source, BGR or BGRA target       RGB to BGR: blue, green, red, and alpha only
//                                                when both sides have it; 16-bit samples
//                                                scaled as above
// 16-bit samples are read as stored in memory, byte-swapped first when SourceOptions.SwapBytes
// is set (PNG stores them high byte first: 01 00 -> 0x0100 -> 0). With
// TargetOptions.ApplyGamma the colour components (never grey samples, never alpha) and the
// palette entries pass through the gamma table.
//
// A row is walked with a mask bit that starts at 0x80 and rotates right once per target pixel:
// where the bit is set in Mask the next source pixel is converted, elsewhere the target pixel
// stays and no source pixel is used (0xFF converts all; interlaced images use their pass masks).
//
// Errors are EColorConversionError with these texts:
//   "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."  (bits outside 1..16)
//   "Sample count per pixel does not correspond to the given color scheme."  (outside 1..4)
//   "Conversion between indexed and non-indexed pixel formats is not supported."
//   "Color conversion failed. Could not find a proper method."
// A failing call leaves the settings as they were.
//
//   TColorManager cm;                          // RGB 8 bits -> BGR 8 bits
//   cm.ResetForImage();                        // at the start of every image
//   cm.SourceOptions.SwapBytes = true;
//   cm.SetSourceBitsPerSample(16);
//   const void* planes[] = {row};
//   cm.ConvertLine(planes, bitmap.ScanLine(y), width, 0xFF);
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gui/base/Exceptions.h"
#include "gui/base/PixelFormat.h"

class EColorConversionError : public Exception {
public:
    using Exception::Exception;
};

enum TColorScheme { csUnknown, csIndexed, csGrey, csGreyAlpha, csRGB, csRGBA, csBGR, csBGRA };

// Palette data handed to BuildPalette: 8-bit triples, or 8-bit quads whose fourth byte is skipped.
enum TPaletteLayout { plTriples8, plQuads8 };

// One entry of a logical palette, laid out as the platform's PALETTEENTRY.
struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

// A logical palette (version 0x300); gui's TBitmap takes it as a GDI palette (CreatePaletteHandle).
struct TLogPalette {
    uint16_t Version = 0x300;
    std::vector<TPaletteEntry> Entries;
};

class TColorManager {
public:
    struct TSourceFlags {
        bool HasAlpha = false;
        bool SwapBytes = false; // 16-bit samples stored high byte first
    };
    struct TTargetFlags {
        bool HasAlpha = false;
        bool ApplyGamma = false;
    };

    TColorManager();

    // Every setting, flag and the gamma table as in a new manager (8 bits, 3 samples, RGB to
    // BGR, gamma 1.0 and 2.2, no flags). Called at the start of every image, so that an image
    // never inherits the gamma or the depths of the one before.
    void ResetForImage();

    int SourceBitsPerSample() const { return sourceBits_; }
    void SetSourceBitsPerSample(int bits);
    int TargetBitsPerSample() const { return targetBits_; }
    void SetTargetBitsPerSample(int bits);
    int SourceSamplesPerPixel() const { return sourceSamples_; }
    void SetSourceSamplesPerPixel(int samples);
    int TargetSamplesPerPixel() const { return targetSamples_; }
    void SetTargetSamplesPerPixel(int samples);
    TColorScheme SourceColorScheme() const { return sourceScheme_; }
    void SetSourceColorScheme(TColorScheme scheme);
    TColorScheme TargetColorScheme() const { return targetScheme_; }
    void SetTargetColorScheme(TColorScheme scheme);

    TSourceFlags SourceOptions;
    TTargetFlags TargetOptions;

    // Stores the gammas (file gamma <= 0 becomes 1.0, display gamma <= 0 becomes 2.2) and
    // rebuilds all 256 table entries for the bit depths in force: entry i is
    // (min(i, in) / in) ^ (1 / (file x display)) x out, rounded, where in and out are 255 at 8
    // bits or more, else 2^bits - 1. (0.45455, 2.2) gives the identity at 8 bits.
    void SetGammaPair(float fileGamma, float displayGamma);
    float FileGamma() const { return fileGamma_; }
    float DisplayGamma() const { return displayGamma_; }
    // Built on first use from the gammas and the bit depths in force at the last SetGammaPair (or
    // at construction).
    const std::array<uint8_t, 256>& GammaTable() const;

    // Converts count target pixels from the source planes (one interleaved plane for PNG) into
    // target, a scan line.
    void ConvertLine(const void* const planes[], void* target, int count, uint8_t mask);

    // min(count, 256) entries from the data (red, green, blue; blue, green, red with
    // reverseOrder), through the gamma table with TargetOptions.ApplyGamma.
    TLogPalette BuildPalette(const void* data, TPaletteLayout layout, int count, bool reverseOrder) const;
    // 2^n greys, n = min(target bits x target samples, 8): entry i is i x (255 div (2^n - 1))
    // (1 bit: 0, 255; 4 bits: 0, 17, ..., 255), reversed with minimumIsWhite.
    TLogPalette BuildGreyPalette(bool minimumIsWhite) const;

    // The bitmap format of the target: one sample: 1 bit pf1bit, 2-4 pf4bit, 8-16 pf8bit;
    // three samples: 1-5 bits pf15bit, else pf24bit; four samples of 8 bits or more pf32bit;
    // anything else pfCustom.
    TPixelFormat OutputPixelFormat() const;

private:
    using TConverter = void (TColorManager::*)(const uint8_t* source, uint8_t* target, int count, uint8_t mask);
    void PickConverter();
    void BuildGammaTable();
    uint8_t Gamma(uint8_t v) const { return TargetOptions.ApplyGamma ? GammaTable()[v] : v; }
    unsigned Read16(const uint8_t* p) const;
    void RowIndexed(const uint8_t* source, uint8_t* target, int count, uint8_t mask);
    void RowGreyToGrey(const uint8_t* source, uint8_t* target, int count, uint8_t mask);
    void RowRGBToBGR(const uint8_t* source, uint8_t* target, int count, uint8_t mask);

    bool changed_ = true;
    int sourceBits_ = 8, targetBits_ = 8;
    int sourceSamples_ = 3, targetSamples_ = 3;
    float fileGamma_ = 1.0f, displayGamma_ = 2.2f;
    // The table's input and output maxima, fixed when the gamma is set.
    unsigned gammaIn_ = 255, gammaOut_ = 255;
    mutable bool gammaBuilt_ = false;
    mutable std::array<uint8_t, 256> gamma_{};
    // Indexed widening: each source value's target value (valid for sources of up to 8 bits).
    std::array<uint8_t, 256> widen_{};
    TColorScheme sourceScheme_ = csRGB, targetScheme_ = csBGR;
    TConverter converter_ = nullptr;
};

#ifdef _WIN32
#include <windows.h>
// The logical palette as a GDI palette, owned by the caller (TBitmap::SetPalette takes it).
HPALETTE CreatePaletteHandle(const TLogPalette& palette);
#endif
