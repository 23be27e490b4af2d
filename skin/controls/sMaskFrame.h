// The skin frame of the skinned buttons: the border image of a skin section painted in one
// state into a control's 24-bit cache bitmap, its transparent (0xFF00FF) corner pixels cut
// from the window region that the control is building. The pixel and region arithmetic is
// sMaskFrameRows.h of the engine; these are its forms on TBitmap and HRGN.
//
//   TRegionHandle rgn(CreateRectRgn(0, 0, w, h));
//   PaintMaskFrame(cache, rgn.get(), true, state, manager->MaskData[border]);
//   SetWindowRgn(handle, rgn.release(), TRUE);          // rounded where the corners are
//
// Every cut takes the pixels out of the region (RGN_DIFF), so cutting the same corners twice
// leaves the region as one cut does. A record without a manager, a missing picture, an image
// that sMaskFrameRows.h rejects (state count below 1, mask type other than 0 or 1, negative
// border widths or wider than a frame, a rectangle outside the picture) and a bitmap below
// 2 x 2 or not of 24 or 32 bits leave bitmap and region as they are.
#pragma once

#include <windows.h>

#include "gui/Graphics.h"

struct TsMaskData;
class TsSkinManager;

// The whole frame of a state (capped at the last one) over the bitmap: corners with their
// transparent pixels cut from region (0: no region work), the sides and, with fillMiddle and
// the image's flag 4, the middle, repeated or (flag 1, mask type 0) stretched with halftone.
// Sides and corners shrink when the bitmap is smaller than the borders (each side loses half
// the excess, the right or bottom one a pixel more for an odd size: 4 and 4 in 5 become 3 and 2).
void PaintMaskFrame(TBitmap* bmp, HRGN region, bool fillMiddle, int state, const TsMaskData& mask);
// The same for the image at maskIndex of the manager's skin; nothing for a missing manager or
// an index outside its images.
void PaintMaskFrame(TBitmap* bmp, HRGN region, bool fillMiddle, int state, const TsSkinManager* manager, int maskIndex);

// Copies the source rectangle (srcLeft..srcRight, srcTop..srcBottom, inclusive) of the mask's
// picture to the destination (dstLeft..dstRight, dstTop..dstBottom, inclusive), as wide and
// high as the smaller of the two, the source cut to the image and the destination to the
// bitmap; nothing when a destination coordinate is negative. With transparent, 0xFF00FF
// pixels are left out and cut from region (0: none). Mask type 1 blends through the mask.
void CopyMaskPart(int dstLeft, int dstTop, int dstRight, bool transparent, const TsMaskData& mask, HRGN region,
                  TBitmap* bmp, int srcBottom, int srcRight, int srcTop, int srcLeft, int dstBottom);
