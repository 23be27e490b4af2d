// Mixing of colours (TColor, 0x00BBGGRR): blends of two colours, saturation and hue changes.
// Platform-free; system colours must be resolved (ColorToRGB) before they come here.
//
//   BlendColors(0x0000FF, 0xFF0000, 0.5)  -> 0x800080 (each channel 127.5 rounded up)
//   AverageColor(0xFFFFFF, 0)             -> 0x7E7E7E; AverageColor(0, 0xFFFFFF) -> 0x808080
//   ChangeHue(0x0000FF, 120)              -> 0x00FF00 (red turned a third round to green)
#pragma once

#include <cstdint>

using TColor = int32_t; // 0x00BBGGRR, as in gui/Graphics.h

// Per channel c1 x factor + c2 x (1 - factor), rounded halves away from zero and limited to
// 0..255; the high byte of c1 stays: factor 1 gives c1, factor 0 c2's channels under c1's
// high byte.
TColor BlendColors(TColor c1, TColor c2, double factor);
// Per channel ((c1 - c2) x 127 + c2 x 256) >> 8: nearly halfway, slightly towards c2; the
// high byte is 0.
TColor AverageColor(TColor c1, TColor c2);
// percent 0 gives the colour; otherwise each channel moves percent / 100 of the way towards
// the average avg = (r + g + b) / 3 (a real number): channel + percent x (avg - channel) / 100,
// rounded and limited to 0..255 (negative percents move away from grey). High byte 0.
TColor ChangeSaturation(TColor color, int percent);
// The hue turned by offset degrees in the HSV model (V = largest channel / 255, S = (largest -
// smallest) / largest, H by the six sectors of 60 degrees). A grey colour (largest = smallest,
// black included) comes back unchanged; otherwise H + offset is rounded to whole degrees,
// wrapped into 0..359 and the colour rebuilt, channels rounded and limited to 0..255. High
// byte 0.
TColor ChangeHue(TColor color, int offset);

// Channels of a colour.
constexpr int RedOf(TColor c) { return c & 0xFF; }
constexpr int GreenOf(TColor c) { return c >> 8 & 0xFF; }
constexpr int BlueOf(TColor c) { return c >> 16 & 0xFF; }
constexpr TColor RGBColor(int r, int g, int b) { return static_cast<TColor>(r | g << 8 | b << 16); }
