// Where a button puts its glyph and its caption: the glyph left of, right of, above or below
// the caption; a margin of -1 centres the pair, a spacing of -1 spreads the free space evenly.
// Platform-free.
//
//   client (0, 0, 100, 30), glyph 16 x 16, text 40 x 13, blGlyphLeft, margin -1, spacing 4
//   -> glyph at (20, 7), text (40, 9, 80, 22): the pair of 60 centred in 100
#pragma once

#include "gui/base/ButtonLayout.h"
#include "gui/base/Geometry.h"

// Options of CalcGlyphLayout.
enum : unsigned { glRightToLeft = 2 }; // left and right placement exchanged

// client: the button's rectangle; offset: added to both results (a pressed button moves them);
// glyphSize and textSize: 0 x 0 for none (the spacing then counts 0). glyphPos: the glyph's
// top-left; textRect: the caption's rectangle.
//   Across the layout's direction both are centred: (client size - size + 1) div 2.
//   Along it: margin -1 and spacing -1: margin = spacing = (client - glyph - text) div 3;
//   margin -1 only: margin = (client - glyph - spacing - text + 1) div 2; spacing -1 only:
//   spacing = (client - margin - glyph - text) div 2. Left: glyph at margin, text after glyph
//   and spacing; right: glyph at client - margin - glyph, text spacing before it; top and
//   bottom alike.
void CalcGlyphLayout(const TRect& client, TPoint offset, TPoint glyphSize, TPoint textSize, TButtonLayout layout,
                     int margin, int spacing, TPoint& glyphPos, TRect& textRect, unsigned options = 0);
