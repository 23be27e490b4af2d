#include "skin/engine/sGradient.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "gui/base/NumberFormat.h"

namespace {
// The words of a text separated by ";"; empty words are not counted. (The word routines of the
// skin utilities do the same.)
std::vector<std::string> SplitWords(const std::string& text)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        size_t j = text.find(';', i);
        if (j == std::string::npos) j = text.size();
        if (j > i) words.push_back(text.substr(i, j - i));
        i = j + 1;
    }
    return words;
}

// A channel stepped from one value to another over n steps: real numbers, no division per pixel.
class TChannelRamp {
public:
    TChannelRamp(int from, int to, int n) : value_(from), step_(static_cast<double>(to - from) / n) {}
    uint8_t Next()
    {
        auto v = std::lround(value_);
        value_ += step_;
        return static_cast<uint8_t>(std::clamp<long>(v, 0, 255));
    }

private:
    double value_;
    double step_;
};

// The colours of a band of n + 1 pixels, handed to put(k, blue, green, red) for k = 0..n.
template <class TPut> void PaintBand(const TsGradColor& step, int n, TPut put)
{
    auto c1 = static_cast<uint32_t>(step.Color1), c2 = static_cast<uint32_t>(step.Color2);
    TChannelRamp r(c1 & 0xFF, c2 & 0xFF, n), g(c1 >> 8 & 0xFF, c2 >> 8 & 0xFF, n),
        b(c1 >> 16 & 0xFF, c2 >> 16 & 0xFF, n);
    for (int k = 0; k <= n; ++k) {
        uint8_t red = r.Next(), green = g.Next(), blue = b.Next();
        put(k, blue, green, red);
    }
}

struct TPixel {
    uint8_t Blue, Green, Red;
};

void PutPixel(uint8_t* p, int bpp, const TPixel& c)
{
    p[0] = c.Blue;
    p[1] = c.Green;
    p[2] = c.Red;
    if (bpp == 4) p[3] = 255;
}

void PaintVertical(const TvxScanLines& lines, const TRect& r, const TsGradArray& steps, int offset)
{
    const int bpp = lines.BytesPerPixel, height = r.Bottom - r.Top, last = r.Bottom - 1;
    int y = r.Top + offset;
    for (size_t i = 0; i < steps.size(); ++i) {
        int y0 = y;
        y = y0 + (height + offset) * steps[i].Percent / 100;
        y = i + 1 < steps.size() ? std::min(y, last) : last;
        if (y - y0 <= 0) continue;
        PaintBand(steps[i], y - y0, [&](int k, uint8_t blue, uint8_t green, uint8_t red) {
            int row = y0 + k;
            if (row < r.Top || row > last) return;
            uint8_t* p = lines.Row(row) + static_cast<ptrdiff_t>(r.Left) * bpp;
            for (int x = r.Left; x < r.Right; ++x, p += bpp)
                PutPixel(p, bpp, TPixel{blue, green, red});
        });
    }
}

void PaintHorizontal(const TvxScanLines& lines, const TRect& r, const TsGradArray& steps)
{
    const int bpp = lines.BytesPerPixel, width = r.Right - r.Left, last = r.Right - 1;
    // The colour of every column, worked out once for all rows; columns of no band stay.
    std::vector<std::optional<TPixel>> columns(static_cast<size_t>(width));
    int x = r.Left;
    for (size_t i = 0; i < steps.size(); ++i) {
        int x0 = x;
        x = static_cast<int>(std::lround(steps[i].Percent * width / 100.0 + x0));
        x = i + 1 < steps.size() ? std::min(x, last) : last;
        if (x - x0 <= 0) continue;
        PaintBand(steps[i], x - x0, [&](int k, uint8_t blue, uint8_t green, uint8_t red) {
            int column = x0 + k;
            if (column >= r.Left && column <= last)
                columns[static_cast<size_t>(column - r.Left)] = TPixel{blue, green, red};
        });
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        uint8_t* p = lines.Row(y) + static_cast<ptrdiff_t>(r.Left) * bpp;
        for (const auto& c : columns) {
            if (c) PutPixel(p, bpp, *c);
            p += bpp;
        }
    }
}
} // namespace

void ParseGradArray(const std::string& text, TsGradArray& steps)
{
    steps.clear();
    std::vector<std::string> words = SplitWords(text);
    size_t count = words.size() / 5;
    TsGradArray parsed(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string* w = &words[5 * i];
        parsed[i].Color1 = std::max(0, StrToInt(w[0]));
        parsed[i].Color2 = std::max(0, StrToInt(w[1]));
        parsed[i].Percent = static_cast<uint8_t>(std::clamp(StrToInt(w[2]), 0, 100));
        parsed[i].Mode = StrToInt(w[3]);
    }
    steps = std::move(parsed);
}

void PaintGradientBands(const TvxScanLines& lines, const TRect& rect, const TsGradArray& steps, int offset)
{
    if (rect.Right - rect.Left <= 0 || rect.Bottom - rect.Top <= 0 || steps.empty()) return;
    if (!lines.Scan0 || (lines.BytesPerPixel != 3 && lines.BytesPerPixel != 4)) return;
    TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, lines.Width),
            std::min(rect.Bottom, lines.Height)};
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    if (steps[0].Mode == 0) {
        PaintVertical(lines, r, steps, offset);
    } else if (steps[0].Mode == 1) {
        PaintHorizontal(lines, r, steps);
    }
}
