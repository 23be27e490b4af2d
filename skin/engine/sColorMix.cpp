#include "skin/engine/sColorMix.h"

#include <algorithm>
#include <cmath>

#include "skin/engine/sUtils.h"

namespace {
int RoundByte(double v) { return ClampByte(static_cast<int>(std::lround(v))); }
} // namespace

TColor BlendColors(TColor c1, TColor c2, double factor)
{
    const auto mix = [&](int a, int b) { return RoundByte(a * factor + b * (1 - factor)); };
    const int r = mix(RedOf(c1), RedOf(c2));
    const int g = mix(GreenOf(c1), GreenOf(c2));
    const int b = mix(BlueOf(c1), BlueOf(c2));
    return static_cast<TColor>((static_cast<uint32_t>(c1) & 0xFF000000u) | static_cast<uint32_t>(RGBColor(r, g, b)));
}

TColor AverageColor(TColor c1, TColor c2)
{
    const auto mix = [](int a, int b) { return ((a - b) * 127 + b * 256) >> 8; };
    return RGBColor(mix(RedOf(c1), RedOf(c2)), mix(GreenOf(c1), GreenOf(c2)), mix(BlueOf(c1), BlueOf(c2)));
}

TColor ChangeSaturation(TColor color, int percent)
{
    if (percent == 0) return color;
    const int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
    const double avg = (r + g + b) / 3.0;
    const auto move = [&](int c) { return RoundByte(c + percent * (avg - c) / 100.0); };
    return RGBColor(move(r), move(g), move(b));
}

TColor ChangeHue(TColor color, int offset)
{
    const int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
    const int largest = std::max({r, g, b}), smallest = std::min({r, g, b});
    if (largest == smallest) return color; // grey, black included: no hue, and no division by 0
    const double d = largest - smallest;
    double h;
    if (largest == r) h = 60.0 * ((g - b) / d);
    else if (largest == g) h = 60.0 * (2 + (b - r) / d);
    else h = 60.0 * (4 + (r - g) / d);
    const double s = d / largest, v = largest / 255.0;
    int hue = static_cast<int>(std::lround(h + offset)) % 360;
    if (hue < 0) hue += 360;
    const int sector = hue / 60;
    const double f = hue / 60.0 - sector;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double rr = v, gg = v, bb = v;
    switch (sector) {
    case 0:
        rr = v, gg = t, bb = p;
        break;
    case 1:
        rr = q, gg = v, bb = p;
        break;
    case 2:
        rr = p, gg = v, bb = t;
        break;
    case 3:
        rr = p, gg = q, bb = v;
        break;
    case 4:
        rr = t, gg = p, bb = v;
        break;
    default:
        rr = v, gg = p, bb = q;
        break;
    }
    return RGBColor(RoundByte(rr * 255), RoundByte(gg * 255), RoundByte(bb * 255));
}
