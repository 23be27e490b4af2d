// Where the pieces of skin images land: the nine pieces of a border image drawn into a
// rectangle (corners fixed, sides and middle tiled or stretched), and the copies of a texture
// by its draw mode with the part of the rectangle left for the fill. Platform-free plans; the
// drawing is in sMaskPaint.h and sSectionPaint.h.
//
// Border image, frame 20 x 20 with borders 6, into R (0, 0, 30, 20), tiled:
//   corners (0, 0, 6, 6) (24, 0, 30, 6) (0, 14, 6, 20) (24, 14, 30, 20);
//   top side from x 6 in steps of the middle width 8: (6, 0, 14, 6) (14, 0, 22, 6) (22, 0, 24, 6)
// Texture 16 x 16, mode 2 (one row along the top) into (0, 0, 40, 40):
//   copies (0, 0, 16, 16) (16, 0, 32, 16) (32, 0, 40, 16), left for the fill (0, 16, 40, 40)
#pragma once

#include <vector>

#include "gui/base/Geometry.h"

// Border piece widths: left, top, right, bottom.
struct TsBorderWidths {
    int L = 0, T = 0, R = 0, B = 0;
    bool operator==(const TsBorderWidths&) const = default;
};

// The widths fitted into a rectangle of width x height: when width is below L + R, both lose
// d = (L + R - width + 1) / 2 (the half rounded up) and R one more when width is odd, values
// below 0 becoming 0; the same for T and B with height. Borders 10 and 10 in a width of 15
// become 7 and 6.
TsBorderWidths ShrinkBorders(TsBorderWidths w, int width, int height);

// One copy: Src of the image to Dst; sizes differ only for a stretched piece.
struct TsPiece {
    TRect Src, Dst;
    bool Corner = false; // a corner: drawn with 0xFF00FF left out
    bool operator==(const TsPiece&) const = default;
};

// The pieces of one frame (frame: its rectangle in the image) with the widths w (already
// shrunk) into r: the four corners; the four sides, stretched once (stretch) or repeated in
// steps of the frame's middle part from r's inner edge, the last one cut to the band; the
// middle part likewise when middle is set. Sides whose middle part is 0 wide are left out.
std::vector<TsPiece> BorderPieces(const TRect& r, const TRect& frame, const TsBorderWidths& w, bool stretch,
                                  bool middle);
// The same, with the frame's middle part cut by other widths than the pieces' thickness: the
// corners and sides are w thick, taken from the frame's outer edges, and the sides and middle
// repeat (or stretch) the part of the frame inside cut. Frame 20 x 20, w 3, cut 6: the left
// side repeats the frame's columns 0..2 of rows 6..13 in steps of 8 rows.
std::vector<TsPiece> BorderPieces(const TRect& r, const TRect& frame, const TsBorderWidths& w,
                                  const TsBorderWidths& cut, bool stretch, bool middle);

// The copies of a w x h texture frame into r by draw mode, Src relative to the frame's
// top-left corner; rest becomes the part of r left for the fill, (-1, -1, -1, -1) when none:
//   0 (and modes not listed) the frame repeated over r, column by column, cut at r's right
//     and bottom; nothing left
//   1 stretched over r; nothing left    4 stretched to r's width at height h; r below it left
//   5 stretched to r's height at width w; r right of it left
//   2 one row along r's top, r below it left     3 one column down r's left, r right of it left
//   6 one row along r's bottom, r above it left  7 one column down r's right, r left of it left
//   10 as 0, but no copies in a last row lower than h (that strip stays); nothing left
std::vector<TsPiece> TexturePieces(int mode, const TRect& r, int w, int h, TRect& rest);
