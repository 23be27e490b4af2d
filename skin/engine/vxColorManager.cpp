#include "skin/engine/vxColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// The table is computed when it is first needed (most images have no gamma), from the
// gammas and the depths in force now.
void TColorManager::BuildGammaTable()
{
    gammaIn_ = MaxOfBits(sourceBits_);
    gammaOut_ = MaxOfBits(targetBits_);
    gammaBuilt_ = false;
}

const std::array<uint8_t, 256>& TColorManager::GammaTable() const
{
    if (!gammaBuilt_) {
        double exponent = 1.0 / (static_cast<double>(fileGamma_) * static_cast<double>(displayGamma_));
        for (unsigned i = 0; i < 256; ++i) {
            double v = std::pow(static_cast<double>(std::min(i, gammaIn_)) / gammaIn_, exponent) * gammaOut_;
            gamma_[i] = static_cast<uint8_t>(std::min(std::floor(v + 0.5), static_cast<double>(gammaOut_)));
        }
        gammaBuilt_ = true;
    }
    return gamma_;
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
    if (converter_ == &TColorManager::RowIndexed && sourceBits_ <= 8) {
        unsigned sourceMax = (1u << sourceBits_) - 1u, targetMax = (1u << targetBits_) - 1u;
        bool grey = sourceScheme_ == csGrey;
        for (unsigned v = 0; v <= sourceMax; ++v)
            widen_[v] = static_cast<uint8_t>(grey ? v * targetMax / sourceMax : v & targetMax);
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

namespace {
// The pixels of each run of eight whose mask bit is set (bit 0x80 for the first).
struct TMaskPositions {
    int At[8];
    int Count = 0;
    explicit TMaskPositions(uint8_t mask)
    {
        for (int j = 0; j < 8; ++j)
            if (mask & (0x80 >> j)) At[Count++] = j;
    }
};

bool DividesByte(int bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

// Values of 1, 2, 4 or 8 bits, most significant first, read and written with one shift.
template <int SourceBits, int TargetBits>
void WidenRow(const uint8_t* source, uint8_t* target, int count, uint8_t mask, const uint8_t* widen)
{
    constexpr unsigned sourceMax = (1u << SourceBits) - 1u, targetMax = (1u << TargetBits) - 1u;
    size_t in = 0;
    auto convert = [&](int i) {
        unsigned v = (source[in / 8] >> (8 - SourceBits - in % 8)) & sourceMax;
        in += SourceBits;
        size_t out = static_cast<size_t>(i) * TargetBits;
        unsigned shift = 8 - TargetBits - out % 8;
        uint8_t& t = target[out / 8];
        t = static_cast<uint8_t>((t & ~(targetMax << shift)) | widen[v] << shift);
    };
    TMaskPositions positions(mask);
    for (int base = 0; base < count; base += 8)
        for (int k = 0; k < positions.Count && base + positions.At[k] < count; ++k)
            convert(base + positions.At[k]);
}

template <int SourceBits>
void WidenRowTo(int targetBits, const uint8_t* source, uint8_t* target, int count, uint8_t mask, const uint8_t* widen)
{
    switch (targetBits) {
    case 1:
        return WidenRow<SourceBits, 1>(source, target, count, mask, widen);
    case 2:
        return WidenRow<SourceBits, 2>(source, target, count, mask, widen);
    case 4:
        return WidenRow<SourceBits, 4>(source, target, count, mask, widen);
    default:
        return WidenRow<SourceBits, 8>(source, target, count, mask, widen);
    }
}
} // namespace

void TColorManager::RowIndexed(const uint8_t* source, uint8_t* target, int count, uint8_t mask)
{
    if (sourceBits_ == targetBits_ && mask == 0xFF) {
        std::copy_n(source, (static_cast<size_t>(sourceBits_) * static_cast<size_t>(count) + 7) / 8, target);
        return;
    }
    if (DividesByte(sourceBits_) && DividesByte(targetBits_)) {
        switch (sourceBits_) {
        case 1:
            return WidenRowTo<1>(targetBits_, source, target, count, mask, widen_.data());
        case 2:
            return WidenRowTo<2>(targetBits_, source, target, count, mask, widen_.data());
        case 4:
            return WidenRowTo<4>(targetBits_, source, target, count, mask, widen_.data());
        default:
            return WidenRowTo<8>(targetBits_, source, target, count, mask, widen_.data());
        }
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

namespace {
// One row of RGB(A) samples into BGR(A) pixels. Wide: 16-bit samples (Swap: stored high byte
// first), scaled by 255 div 65535; Table: colours through the gamma table; Alpha: the alpha
// sample is written (both sides have alpha); AllPixels: the mask is 0xFF.
template <int SourceStep, int TargetStep, bool Wide, bool Swap, bool Table, bool Alpha, bool AllPixels>
void RGBRow(const uint8_t* source, uint8_t* target, int count, uint8_t mask, const uint8_t* gamma)
{
    auto sample = [](const uint8_t* p) -> unsigned {
        if constexpr (!Wide) {
            return *p;
        } else {
            unsigned v = Swap ? static_cast<unsigned>(p[0] << 8 | p[1]) : static_cast<unsigned>(p[1] << 8 | p[0]);
            return v * 255u / 65535u;
        }
    };
    auto colour = [&](const uint8_t* p) -> uint8_t {
        unsigned v = sample(p);
        return Table ? gamma[v] : static_cast<uint8_t>(v);
    };
    constexpr int bytes = Wide ? 2 : 1;
    auto convert = [&](uint8_t* t) {
        uint8_t r = colour(source), g = colour(source + bytes), b = colour(source + 2 * bytes);
        t[0] = b;
        t[1] = g;
        t[2] = r;
        if constexpr (Alpha) t[3] = static_cast<uint8_t>(sample(source + 3 * bytes));
        source += SourceStep;
    };
    if constexpr (AllPixels) {
        for (int i = 0; i < count; ++i)
            convert(target + i * TargetStep);
    } else {
        TMaskPositions positions(mask);
        for (int base = 0; base < count; base += 8)
            for (int k = 0; k < positions.Count && base + positions.At[k] < count; ++k)
                convert(target + (base + positions.At[k]) * TargetStep);
    }
}

// RGBA to BGRA, 8 bits, every pixel, no gamma: red and blue change places.
void SwapRedBlue(const uint8_t* source, uint8_t* target, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t v;
        std::memcpy(&v, source + 4 * i, 4);
        v = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
        std::memcpy(target + 4 * i, &v, 4);
    }
}

using TRGBRow = void (*)(const uint8_t*, uint8_t*, int, uint8_t, const uint8_t*);

template <int SourceStep, int TargetStep, bool Wide, bool Swap, bool Table, bool Alpha> TRGBRow PickMask(bool all)
{
    return all ? &RGBRow<SourceStep, TargetStep, Wide, Swap, Table, Alpha, true>
               : &RGBRow<SourceStep, TargetStep, Wide, Swap, Table, Alpha, false>;
}

template <int SourceStep, int TargetStep, bool Wide, bool Swap, bool Alpha> TRGBRow PickTable(bool table, bool all)
{
    return table ? PickMask<SourceStep, TargetStep, Wide, Swap, true, Alpha>(all)
                 : PickMask<SourceStep, TargetStep, Wide, Swap, false, Alpha>(all);
}

template <int Samples, int TargetStep, bool Alpha> TRGBRow PickWidth(int bits, bool swap, bool table, bool all)
{
    if (bits != 16) return PickTable<Samples, TargetStep, false, false, Alpha>(table, all);
    return swap ? PickTable<Samples * 2, TargetStep, true, true, Alpha>(table, all)
                : PickTable<Samples * 2, TargetStep, true, false, Alpha>(table, all);
}
} // namespace

void TColorManager::RowRGBToBGR(const uint8_t* source, uint8_t* target, int count, uint8_t mask)
{
    const bool sourceAlpha = SourceOptions.HasAlpha, targetAlpha = TargetOptions.HasAlpha;
    const bool table = TargetOptions.ApplyGamma, all = mask == 0xFF, swap = SourceOptions.SwapBytes;
    if (sourceAlpha && targetAlpha && all && !table && sourceBits_ != 16) {
        SwapRedBlue(source, target, count);
        return;
    }
    TRGBRow row;
    if (sourceAlpha) {
        row = targetAlpha ? PickWidth<4, 4, true>(sourceBits_, swap, table, all)
                          : PickWidth<4, 3, false>(sourceBits_, swap, table, all);
    } else {
        row = targetAlpha ? PickWidth<3, 4, false>(sourceBits_, swap, table, all)
                          : PickWidth<3, 3, false>(sourceBits_, swap, table, all);
    }
    row(source, target, count, mask, table ? GammaTable().data() : nullptr);
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
