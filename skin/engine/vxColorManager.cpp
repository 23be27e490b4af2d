#include "skin/engine/vxColorManager.h"

#include <algorithm>
#include <cmath>

namespace {
const char* const kBadDepth = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
const char* const kBadSamples = "Sample count per pixel does not correspond to the given color scheme.";
const char* const kIndexedMix = "Conversion between indexed and non-indexed pixel formats is not supported.";
const char* const kNoMethod = "Color conversion failed. Could not find a proper method.";

void CheckBits(int bits)
{
    if (bits < 1 || bits > 16) throw EColorConversionError(kBadDepth);
}

void CheckSamples(int samples)
{
    if (samples < 1 || samples > 4) throw EColorConversionError(kBadSamples);
}

bool HasAlpha(TColorScheme s) { return s == csGreyAlpha || s == csRGBA || s == csBGRA; }

template <class T> void Change(T& field, T value, bool& changed)
{
    if (field == value) return;
    field = value;
    changed = true;
}

uint8_t Scale16To8(unsigned v) { return static_cast<uint8_t>(v * 255u / 65535u); }

unsigned MaxOfBits(int bits) { return bits >= 8 ? 255u : (1u << bits) - 1u; }

// A value of `bits` bits at bit position `pos` (most significant bits first).
unsigned ReadBits(const uint8_t* row, size_t pos, int bits)
{
    unsigned v = 0;
    for (int b = 0; b < bits; ++b, ++pos)
        v = v << 1 | ((row[pos >> 3] >> (7 - (pos & 7))) & 1u);
    return v;
}

void WriteBits(uint8_t* row, size_t pos, int bits, unsigned v)
{
    for (int b = bits - 1; b >= 0; --b, ++pos) {
        auto bit = static_cast<uint8_t>(0x80u >> (pos & 7));
        if (v >> b & 1u) {
            row[pos >> 3] = static_cast<uint8_t>(row[pos >> 3] | bit);
        } else {
            row[pos >> 3] = static_cast<uint8_t>(row[pos >> 3] & ~bit);
        }
    }
}

uint8_t NextMaskBit(uint8_t bit) { return static_cast<uint8_t>(bit >> 1 | (bit & 1u) << 7); }
} // namespace

TColorManager::TColorManager() { BuildGammaTable(); }

void TColorManager::ResetForImage() { *this = TColorManager(); }

void TColorManager::SetSourceBitsPerSample(int bits)
{
    CheckBits(bits);
    Change(sourceBits_, bits, changed_);
}

void TColorManager::SetTargetBitsPerSample(int bits)
{
    CheckBits(bits);
    Change(targetBits_, bits, changed_);
}

void TColorManager::SetSourceSamplesPerPixel(int samples)
{
    CheckSamples(samples);
    Change(sourceSamples_, samples, changed_);
}

void TColorManager::SetTargetSamplesPerPixel(int samples)
{
    CheckSamples(samples);
    Change(targetSamples_, samples, changed_);
}

void TColorManager::SetSourceColorScheme(TColorScheme scheme) { Change(sourceScheme_, scheme, changed_); }
void TColorManager::SetTargetColorScheme(TColorScheme scheme) { Change(targetScheme_, scheme, changed_); }

void TColorManager::SetGammaPair(float fileGamma, float displayGamma)
{
    fileGamma_ = fileGamma > 0 ? fileGamma : 1.0f;
    displayGamma_ = displayGamma > 0 ? displayGamma : 2.2f;
    BuildGammaTable();
}

void TColorManager::BuildGammaTable()
{
    double exponent = 1.0 / (static_cast<double>(fileGamma_) * static_cast<double>(displayGamma_));
    unsigned in = MaxOfBits(sourceBits_), out = MaxOfBits(targetBits_);
    for (unsigned i = 0; i < 256; ++i) {
        double v = std::pow(static_cast<double>(std::min(i, in)) / in, exponent) * out;
        gamma_[i] = static_cast<uint8_t>(std::min(std::floor(v + 0.5), static_cast<double>(out)));
    }
}

void TColorManager::PickConverter()
{
    bool sourceIndexed = sourceScheme_ == csIndexed || sourceScheme_ == csGrey || sourceScheme_ == csGreyAlpha;
    bool targetIndexed = targetScheme_ == csIndexed || targetScheme_ == csGrey;
    if (sourceIndexed != targetIndexed) throw EColorConversionError(kIndexedMix);
    SourceOptions.HasAlpha = HasAlpha(sourceScheme_);
    TargetOptions.HasAlpha = HasAlpha(targetScheme_);
    bool any16 = sourceBits_ == 16 || targetBits_ == 16;
    auto is8or16 = [](int bits) { return bits == 8 || bits == 16; };
    converter_ = nullptr;
    switch (sourceScheme_) {
    case csIndexed:
        if (!any16) converter_ = &TColorManager::RowIndexed;
        break;
    case csGrey:
        if (!any16) {
            converter_ = &TColorManager::RowIndexed;
        } else if (is8or16(sourceBits_) && is8or16(targetBits_)) {
            converter_ = &TColorManager::RowGreyToGrey;
        }
        break;
    case csGreyAlpha:
        if (is8or16(sourceBits_) && is8or16(targetBits_)) converter_ = &TColorManager::RowGreyToGrey;
        break;
    case csRGB:
    case csRGBA:
        // Samples of 8 or 16 bits into 8-bit components, as the decoders deliver them.
        if ((targetScheme_ == csBGR || targetScheme_ == csBGRA) && is8or16(sourceBits_) && targetBits_ == 8)
            converter_ = &TColorManager::RowRGBToBGR;
        break;
    default:
        break;
    }
    changed_ = false;
}

void TColorManager::ConvertLine(const void* const planes[], void* target, int count, uint8_t mask)
{
    if (changed_) PickConverter();
    if (!converter_) throw EColorConversionError(kNoMethod);
    if (count <= 0) return;
    (this->*converter_)(static_cast<const uint8_t*>(planes[0]), static_cast<uint8_t*>(target), count, mask);
}

unsigned TColorManager::Read16(const uint8_t* p) const
{
    return SourceOptions.SwapBytes ? static_cast<unsigned>(p[0] << 8 | p[1]) : static_cast<unsigned>(p[1] << 8 | p[0]);
}

void TColorManager::RowIndexed(const uint8_t* source, uint8_t* target, int count, uint8_t mask)
{
    if (sourceBits_ == targetBits_ && mask == 0xFF) {
        std::copy_n(source, (static_cast<size_t>(sourceBits_) * static_cast<size_t>(count) + 7) / 8, target);
        return;
    }
    bool grey = sourceScheme_ == csGrey;
    unsigned sourceMax = (1u << sourceBits_) - 1u, targetMax = (1u << targetBits_) - 1u;
    size_t in = 0;
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, bit = NextMaskBit(bit)) {
        if (!(mask & bit)) continue;
        unsigned v = ReadBits(source, in, sourceBits_);
        in += static_cast<size_t>(sourceBits_);
        v = grey ? v * targetMax / sourceMax : v & targetMax;
        WriteBits(target, static_cast<size_t>(i) * static_cast<size_t>(targetBits_), targetBits_, v);
    }
}

void TColorManager::RowGreyToGrey(const uint8_t* source, uint8_t* target, int count, uint8_t mask)
{
    size_t sourceStep = static_cast<size_t>(sourceBits_ / 8) * (SourceOptions.HasAlpha ? 2 : 1);
    size_t targetStep = targetBits_ == 16 ? 2 : 1;
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, bit = NextMaskBit(bit), target += targetStep) {
        if (!(mask & bit)) continue;
        if (targetStep == 1) {
            *target = sourceBits_ == 16 ? Scale16To8(Read16(source)) : *source;
        } else {
            unsigned v = sourceBits_ == 16 ? Read16(source) : *source * 257u;
            target[0] = static_cast<uint8_t>(v);
            target[1] = static_cast<uint8_t>(v >> 8);
        }
        source += sourceStep;
    }
}

void TColorManager::RowRGBToBGR(const uint8_t* source, uint8_t* target, int count, uint8_t mask)
{
    bool alpha = SourceOptions.HasAlpha && TargetOptions.HasAlpha;
    size_t sampleBytes = sourceBits_ == 16 ? 2 : 1;
    size_t sourceStep = sampleBytes * (SourceOptions.HasAlpha ? 4 : 3);
    size_t targetStep = TargetOptions.HasAlpha ? 4 : 3;
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, bit = NextMaskBit(bit), target += targetStep) {
        if (!(mask & bit)) continue;
        if (sampleBytes == 1) {
            target[0] = Gamma(source[2]);
            target[1] = Gamma(source[1]);
            target[2] = Gamma(source[0]);
            if (alpha) target[3] = source[3];
        } else {
            target[0] = Gamma(Scale16To8(Read16(source + 4)));
            target[1] = Gamma(Scale16To8(Read16(source + 2)));
            target[2] = Gamma(Scale16To8(Read16(source)));
            if (alpha) target[3] = Scale16To8(Read16(source + 6));
        }
        source += sourceStep;
    }
}

TLogPalette TColorManager::BuildPalette(const void* data, TPaletteLayout layout, int count, bool reverseOrder) const
{
    TLogPalette palette;
    const auto* p = static_cast<const uint8_t*>(data);
    size_t step = layout == plQuads8 ? 4 : 3;
    int n = std::clamp(count, 0, 256);
    for (int i = 0; i < n; ++i, p += step) {
        uint8_t first = Gamma(p[0]), second = Gamma(p[1]), third = Gamma(p[2]);
        palette.Entries.push_back(reverseOrder ? TPaletteEntry{third, second, first, 0}
                                               : TPaletteEntry{first, second, third, 0});
    }
    return palette;
}

TLogPalette TColorManager::BuildGreyPalette(bool minimumIsWhite) const
{
    int n = std::min(targetBits_ * targetSamples_, 8);
    int count = 1 << n;
    int step = 255 / (count - 1);
    TLogPalette palette;
    for (int i = 0; i < count; ++i) {
        int level = minimumIsWhite ? count - 1 - i : i;
        uint8_t grey = Gamma(static_cast<uint8_t>(level * step));
        palette.Entries.push_back(TPaletteEntry{grey, grey, grey, 0});
    }
    return palette;
}

TPixelFormat TColorManager::OutputPixelFormat() const
{
    int bits = targetBits_;
    switch (targetSamples_) {
    case 1:
        if (bits == 1) return pf1bit;
        if (bits >= 2 && bits <= 4) return pf4bit;
        if (bits >= 8 && bits <= 16) return pf8bit;
        return pfCustom;
    case 3:
        return bits >= 1 && bits <= 5 ? pf15bit : pf24bit;
    case 4:
        return bits >= 8 ? pf32bit : pfCustom;
    default:
        return pfCustom;
    }
}
