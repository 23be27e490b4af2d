// The pixel and region work of the skin frame of skinned controls (push and bitmap buttons):
// one state frame of a border image painted into a control's cache rows, and the transparent
// (0xFF00FF) pixels of its corners given as one-row rectangles, which the control cuts from its
// window region. Platform-free: rows in, rectangles out; the TBitmap and HRGN forms are in
// skin/controls/sMaskFrame.h.
//
// A border image of 3 states, frames 20 x 16, widths 4, in state 1 into rows of 60 x 24:
//   corners: the frame's 4 x 4 corners at (0, 0), (56, 0), (0, 20), (56, 20), copied without
//            their 0xFF00FF pixels, which come out as runs: a corner whose top row starts with
//            three of them gives (0, 0, 3, 1)
//   sides:   the frame's middle part (12 x 8, inside the widths) repeated from the corners
//            inwards, the last copy cut: the top side gets columns 4..15 of the frame at x 4,
//            16, 28, 40 and columns 4..11 at x 52
// Mask type 1 images blend their picture through the mask half below it (MaskedCopy of
// sBitmapEffects.h: black shows the picture, white keeps the rows); 0xFF00FF picture pixels of
// such an image are never drawn.
//
// Rows of another depth than 24 or 32 bits or below 2 x 2 pixels, and images that
// TsFrameImage::Usable rejects, get nothing painted and give no rectangle.
#pragma once

#include <vector>

#include "gui/base/Geometry.h"
#include "skin/engine/sMaskTiles.h"
#include "skin/engine/vxFastBitmaps.h"

// A skin image as the frame painting reads it, its numbers taken from the image's record (the
// 16-bit fields as signed values).
struct TsFrameImage {
    TvxScanLines Picture; // the own bitmap of the image, or the skin's master bitmap
    TRect R;              // the image in Picture, right and bottom outside
    int ImageCount = 1;   // state frames side by side
    int MaskType = 0;     // 0 picture only, 1 the lower half of R is the picture's mask
    unsigned Flags = 0;   // draw mode: 1 stretch the sides and middle (not for mask type 1), 4 paint the middle
    TsBorderWidths W;     // the record's border widths

    int FrameWidth() const;  // R's width div ImageCount (0 for a count below 1)
    int FrameHeight() const; // R's height div (MaskType + 1)
    // A picture of 24 or 32 bits with R inside it, MaskType 0 or 1, ImageCount 1 or more,
    // frames at least 1 x 1, and border widths of 0 or more that fit one frame together
    // (WL + WR <= frame width, WT + WB <= frame height). Both routines below do nothing for an
    // image that is not usable.
    bool Usable() const;
};

// The border widths fitted into width x height: when width is below L + R, d = L + R - width
// and each loses d div 2, R one more when width is odd; then L is kept within 0..width and R
// within 0..width - L. The same for T and B with height. 4 and 4 in 5 become 3 and 2 (the
// engine's ShrinkBorders, which rounds the half up, gives 2 and 1); 10 and 0 in 5 become 5 and 0.
TsBorderWidths ShrinkFrameBorders(TsBorderWidths w, int width, int height);

// Copies src (right and bottom outside) of the image's picture to dstRect of dst (right and
// bottom outside); the copy is as wide and high as the smaller of the two rectangles.
// Nothing when dstRect's left or top is negative or its right or bottom is 0 or less. The
// source is cut to the image (to its picture half for mask type 1), the destination to the
// rows, right edge included, both keeping their mapping. Mask type 0 copies each pixel, with
// transparent leaving 0xFF00FF pixels out; mask type 1 blends through the mask. With
// transparent and runs given, each run of 0xFF00FF source pixels of a row is appended as a
// rectangle one row high in dst's coordinates.
void CopyMaskRows(const TvxScanLines& dst, const TRect& dstRect, const TsFrameImage& image, const TRect& src,
                  bool transparent, std::vector<TRect>* runs);

// Paints the frame of a state (min(state, ImageCount - 1), 0 for negative states) over all
// of dst: the widths fitted by ShrinkFrameBorders; the corners transparent (their runs
// appended to runs when given); the sides, each only when the frame's middle part (inside
// the record's widths) is at least a pixel long that way, repeated as BorderPieces lays them
// out; the middle likewise with fillMiddle and flag 4. With flag 1 (mask type 0) the sides and
// the middle are stretched instead: those pieces are not drawn but returned, for the caller
// to stretch (halftone) from the picture.
std::vector<TsPiece> PaintFrameRows(const TvxScanLines& dst, const TsFrameImage& image, int state, bool fillMiddle,
                                    std::vector<TRect>* runs);
