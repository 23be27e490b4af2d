// Drawing a 32-bit image with its per-pixel alpha over a bitmap, one of the engine's drawing
// primitives (PNG glyphs, alpha image lists, lights over progress bars).
//
// Per pixel, with the source's alpha a0 and Blend in percent (0..100):
//   a := a0 x (100 - Blend) div 100
//   channel := ((source - dest) x a + dest x 256) shr 8      (blue, green and red; the
//                                                             destination's alpha byte stays)
// With Grey the source colour is taken as (r + g + b) x (100 - Blend) / 300 in all three
// channels. KeyColor 0x1FFFFFFF means no key colour; any other value leaves out the source
// pixels of 0xFF00FF (magenta).
//
// The source rectangle (cut to the source) is drawn with its top-left at the destination
// rectangle's top-left, at most the destination rectangle's size, cut to the destination.
// With Reflected the destination also gets a mirror image in a band below the drawn rows, half
// their height (rows h .. h + h div 2 - 1 of the destination rectangle): band row k shows
// source row h - 1 - k with the alpha scaled by (band - k) / (2 x band), so the reflection
// starts at half strength and fades out. The caller makes the destination high enough; rows
// beyond it are cut.
//
//   DrawAlphaBitmap(work24, TRect{0, 0, 16, 16}, glyph32, TRect{0, 0, 16, 16}, 0, false, 0x1FFFFFFF, true);
#pragma once

#include "gui/base/Geometry.h"
#include "skin/engine/vxFastBitmaps.h"

class TBitmap;

// dest: 24 or 32 bits per pixel; source: 32 bits. Other formats draw nothing.
void DrawAlphaBitmap(const TvxScanLines& dest, const TRect& destRect, const TvxScanLines& source, const TRect& srcRect,
                     int blend, bool grey, TColor keyColor, bool reflected);
// The same on the class library's bitmaps (Windows only): a missing bitmap, a destination that is
// not 24 or 32 bits or a source that is not 32 bits draws nothing.
void DrawAlphaBitmap(TBitmap* dest, const TRect& destRect, const TBitmap* source, const TRect& srcRect, int blend,
                     bool grey, TColor keyColor, bool reflected);
