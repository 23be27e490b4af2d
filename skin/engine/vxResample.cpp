#include "skin/engine/vxResample.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {
constexpr int kBox = 0;
constexpr int kFilterCount = 7;
const double kSupport[kFilterCount] = {0.51, 1.0, 1.0, 1.5, 2.0, 3.0, 2.0};

uint8_t ChannelOf(int64_t sum)
{
    if (sum < 0) return 0;
    if (sum > 0xFF0000) return 255;
    return static_cast<uint8_t>(sum >> 16);
}

// One pass: lineCount lines of `contributors.Size()` pixels each. A source line starts at
// source + l * sourceLineStep, its pixels are reached through the contributors' offsets; a
// destination line starts at dest + l * destLineStep, its pixels destPixelStep apart.
void ApplyPass(const TvxContributors& contributors, int bpp, int lineCount, const uint8_t* source,
               ptrdiff_t sourceLineStep, uint8_t* dest, ptrdiff_t destLineStep, ptrdiff_t destPixelStep)
{
    int64_t sums[4];
    for (int l = 0; l < lineCount; ++l) {
        const uint8_t* s = source + l * sourceLineStep;
        uint8_t* d = dest + l * destLineStep;
        for (int i = 0; i < contributors.Size(); ++i, d += destPixelStep) {
            sums[0] = sums[1] = sums[2] = sums[3] = 0;
            for (const TvxContributor& c : contributors.Of(i)) {
                const uint8_t* p = s + c.Pixel;
                for (int k = 0; k < bpp; ++k)
                    sums[k] += static_cast<int64_t>(c.Weight) * p[k];
            }
            for (int k = 0; k < bpp; ++k)
                d[k] = ChannelOf(sums[k]);
        }
    }
}
} // namespace

double FilterSupport(int filter) { return filter >= 0 && filter < kFilterCount ? kSupport[filter] : 0.0; }

double FilterKernel(int filter, double x)
{
    x = std::fabs(x);
    switch (filter) {
    case 0: // box; half a pixel counts in (both taps of a pixel halfway between two)
        return x <= 0.5 ? 1.0 : 0.0;
    case 1: // triangle
        return x < 1.0 ? 1.0 - x : 0.0;
    case 2: // Hermite
        return x < 1.0 ? x * x * (2.0 * x - 3.0) + 1.0 : 0.0;
    case 3: // bell
        if (x < 0.5) return 0.75 - x * x;
        return x < 1.5 ? 0.5 * (x - 1.5) * (x - 1.5) : 0.0;
    case 4: // B-spline
        if (x < 1.0) return x * x * (x / 2.0 - 1.0) + 2.0 / 3.0;
        return x < 2.0 ? (2.0 - x) * (2.0 - x) * (2.0 - x) / 6.0 : 0.0;
    case 5: // Lanczos-type
        if (x == 0.0) return 1.0;
        return x < 3.0 ? std::sin(std::numbers::pi * x) * std::sin(x) / (std::numbers::pi * x * x) : 0.0;
    case 6: // Mitchell
        if (x < 1.0) return x * x * (7.0 / 6.0 * x - 2.0) + 8.0 / 9.0;
        return x < 2.0 ? x * x * (-7.0 / 18.0 * x + 2.0) - 10.0 / 3.0 * x + 16.0 / 9.0 : 0.0;
    default:
        return 0.0;
    }
}

TvxContributors::TvxContributors(int destSize, int sourceSize, int filter, ptrdiff_t step)
{
    const double support = FilterSupport(filter);
    const double scale = sourceSize > destSize ? static_cast<double>(destSize) / sourceSize : 1.0;
    const double width = support / scale;
    std::vector<std::pair<int, double>> taps;
    start_.reserve(static_cast<size_t>(destSize) + 1);
    start_.push_back(0);
    for (int i = 0; i < destSize; ++i) {
        const double centre = static_cast<double>(i) * sourceSize / destSize;
        taps.clear();
        double total = 0.0;
        for (auto j = static_cast<int>(std::floor(centre - width)); j <= static_cast<int>(std::ceil(centre + width));
             ++j) {
            double x = std::fabs(centre - j) * scale;
            if (x >= support) continue;
            double weight = FilterKernel(filter, x) * scale;
            if (weight == 0.0) continue;
            int k = j < 0 ? -j : j >= sourceSize ? 2 * sourceSize - j - 1 : j;
            k = k < 0 ? 0 : k >= sourceSize ? sourceSize - 1 : k;
            taps.emplace_back(k, weight);
            total += weight;
        }
        size_t first = items_.size();
        for (auto& [k, weight] : taps) {
            if (filter == kBox) weight /= total;
            items_.push_back(TvxContributor{k * step, static_cast<int>(std::lround(weight * 65536.0))});
        }
        if (filter == kBox && first < items_.size()) {
            // Normalised in fixed point too: what rounding took or gave goes to the largest weight.
            int sum = 0;
            auto largest = items_.begin() + static_cast<ptrdiff_t>(first);
            for (auto it = largest; it != items_.end(); ++it) {
                sum += it->Weight;
                if (it->Weight > largest->Weight) largest = it;
            }
            largest->Weight += 65536 - sum;
        }
        start_.push_back(items_.size());
    }
}

std::span<const TvxContributor> TvxContributors::Of(int destIndex) const
{
    auto i = static_cast<size_t>(destIndex);
    return std::span<const TvxContributor>(items_.data() + start_[i], start_[i + 1] - start_[i]);
}

void ResampleHorizontal(const TvxScanLines& source, const TvxScanLines& work, int filter)
{
    if (work.Width < 1 || source.Width < 1) return;
    int bpp = source.BytesPerPixel;
    TvxContributors c(work.Width, source.Width, filter, bpp);
    ApplyPass(c, bpp, source.Height, source.Scan0, source.RowStep, work.Scan0, work.RowStep, bpp);
}

void ResampleVertical(const TvxScanLines& work, const TvxScanLines& dest, int filter)
{
    if (dest.Height < 1 || work.Height < 1) return;
    int bpp = work.BytesPerPixel;
    TvxContributors c(dest.Height, work.Height, filter, work.RowStep);
    ApplyPass(c, bpp, work.Width, work.Scan0, bpp, dest.Scan0, bpp, dest.RowStep);
}
