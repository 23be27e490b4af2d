// Scaling of 24- and 32-bit bitmaps with one of seven filters: a horizontal pass from the
// source into a work image of the new width, then a vertical pass into the destination.
//
// Filters (index, support, kernel f(x) of the distance x):
//   0 box 0.51 (1 up to half a pixel)   1 triangle 1.0 (1 - x)   2 Hermite 1.0
//   3 bell 1.5   4 B-spline 2.0   5 Lanczos-type 3.0 (weights do not sum to 1)   6 Mitchell 2.0
// Any other index weighs 0 everywhere, so the result is black.
//
// Each pass lists, per destination pixel, the source pixels that contribute and their weights
// in 16.16 fixed point (round(weight x 65536), halves away from zero); a channel is the sum of
// weight x value, 0 when negative, 255 above 0xFF0000, else the sum >> 16. Source indexes
// beyond an edge are mirrored (-j; 2S - j - 1) and then held inside 0 .. S - 1, so small
// sources with wide filters stay inside. The box filter counts a tap at exactly half a pixel
// and its weights of one destination pixel are normalised to sum to 65536, so no pixel is
// without weight and constant images stay exact (a 2x upscale of 0, 200 gives 0, 100, 200, 200).
//
//   Resample(source, dest, 64, 48, 6); // Mitchell; dest becomes 64 x 48 of source's format
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "skin/engine/vxFastBitmaps.h"

class TBitmap;

double FilterSupport(int filter); // 0 for an unknown filter
double FilterKernel(int filter, double x);

struct TvxContributor {
    ptrdiff_t Pixel; // source index x step
    int Weight;      // 16.16 fixed point
};

// The contributors of every destination index of one pass.
class TvxContributors {
public:
    // destSize >= 1 and sourceSize >= 1; step: bytes from one source pixel to the next.
    TvxContributors(int destSize, int sourceSize, int filter, ptrdiff_t step);
    std::span<const TvxContributor> Of(int destIndex) const;
    int Size() const { return static_cast<int>(start_.size()) - 1; }

private:
    std::vector<size_t> start_;
    std::vector<TvxContributor> items_;
};

// The horizontal pass: every row of source into work (work.Width = the new width, work.Height
// = source.Height); then the vertical pass: every column of work into dest (dest.Width =
// work.Width). All three have the same BytesPerPixel, 3 or 4.
void ResampleHorizontal(const TvxScanLines& source, const TvxScanLines& work, int filter);
void ResampleVertical(const TvxScanLines& work, const TvxScanLines& dest, int filter);

// Scales source into dest (which may be the same bitmap) at newWidth x newHeight. dest takes
// the source's pixel format (32 bits stay 32 bits; any other format is worked as 24 bits).
// A source narrower or lower than 2 pixels raises Exception "Source bitmap is too small" and
// leaves dest untouched; the same size copies the source. Windows only.
void Resample(TBitmap* source, TBitmap* dest, int newWidth, int newHeight, int filter);
