// Gradients of skin sections: the GRADIENTDATA text parsed into colour steps, and the steps
// painted into a rectangle of a 24- or 32-bit bitmap.
//
// The text is groups of five integers separated by ";" (runs of ";" count as one): colour 1,
// colour 2 (0x00BBGGRR in decimal, negative values become 0), percent (clamped to 0..100),
// mode (read from the first step: 0 vertical bands, 1 horizontal bands, 2 four triangles) and
// a fifth value that is skipped. An incomplete last group is dropped, so "N/A" gives no steps.
//   "0;16777215;100;0;0"  -> one vertical step, black at the top row to white at the bottom row
//   "255;65280;50;1;0;65280;16711680;50;1;0" -> red to green over the left half (columns 0-50
//                           of 100), green to blue over the right half (50-99, 50 green)
//
// Bands: a band of n + 1 pixels steps each channel from colour 1 to colour 2 by (c2 - c1) / n
// per pixel (real numbers, each pixel rounded halves away from zero), so its first pixel has
// colour 1 and its last colour 2; the next band starts on the last pixel of the one before and
// paints over it. Band ends: vertical Y := Y0 + (height + offset) x percent div 100, horizontal
// X := round(percent x width / 100 + X0), each limited to the last row (column) and the last
// step always ending there; a band of fewer than 2 pixels is passed over. 32-bit pixels get
// alpha 255. Triangles meet in the centre and take the first colours of steps 0..4 at the
// corners (top-left, centre, top-right, bottom-right, bottom-left; a missing step repeats the
// colour before it), painted by msimg32's GradientFill when it was found at start, else not.
// Any other mode paints nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/base/Geometry.h"
#include "skin/engine/vxFastBitmaps.h"

class TBitmap;

// One step of a gradient.
struct TsGradColor {
    TColor Color1 = 0;    // at the start of the band, never negative
    TColor Color2 = 0;    // at its end, never negative
    uint8_t Percent = 0;  // the band's share of the rectangle, 0..100
    int32_t Mode = 0;     // layout, read from the first step only
    int32_t Reserved = 0; // left at 0, not read
    bool operator==(const TsGradColor&) const = default;
};
using TsGradArray = std::vector<TsGradColor>;

// Steps from the text; a word that is no integer raises EConvertError (StrToInt's).
void ParseGradArray(const std::string& text, TsGradArray& steps);

// The vertical (mode 0) and horizontal (mode 1) layouts into rows of 3 or 4 bytes per pixel;
// the rectangle is cut to the rows, nothing for other modes and formats.
void PaintGradientBands(const TvxScanLines& lines, const TRect& rect, const TsGradArray& steps, int offset);

// Paints the steps into rect of a 24- or 32-bit bitmap (triangles: any format). offset moves
// the start of the vertical layout down and adds to the height its percentages refer to;
// callers pass 0 for it and for extra, which is not read. Windows only.
void FillGradient(TBitmap* bitmap, const TRect& rect, const TsGradArray& steps, int offset = 0, int extra = 0);

// True when msimg32's GradientFill was found at start. Windows only.
bool GradientFillFound();
// Tests: hide the entry point (true) to see the triangle layout without it, or show it again.
void HideGradientFill(bool hide);
