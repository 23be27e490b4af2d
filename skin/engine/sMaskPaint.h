// Drawing the images of a skin: the border image of a mask into a rectangle (corners fixed,
// sides and middle tiled or stretched, state frames), one state frame as a glyph, the nine-part
// copy of a picture, glyph strips, and the pieces of a border that let the background through.
//
// A mask's picture is its own bitmap or the manager's master bitmap (TsMaskData.R in it);
// state s draws frame min(s, frame count - 1), frames MaskFrameWidth x MaskFrameHeight side by
// side from R's left. Mask type 0 leaves 0xFF00FF out where the routine says so; mask types 1
// and above go through the masked copy (MaskedCopy of sBitmapEffects.h: the mask band lies one
// frame height below the picture; black shows the picture, white keeps the destination).
// Source rectangles are cut to the picture before a pixel is read. Nothing is drawn without a
// manager, a valid image index, a mask record's manager or a 24/32-bit target.
//
//   int border = m.GetMaskIndex(i, "BUTTON", "BORDERSMASK");
//   DrawBorderMask(bmp.get(), TRect{0, 0, 80, 24}, 1, &m, border);   // hot frame
//   DrawMaskGlyph(bmp.get(), TPoint{4, 4}, 0, &m, m.CommonIndexes.BoxChecked);
#pragma once

#include <memory>
#include <vector>

#include "gui/Graphics.h"
#include "gui/base/Geometry.h"
#include "skin/engine/sMaskTiles.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/vxFastBitmaps.h"

class TsSkinManager;
struct TsMaskData;

// Draw-mode flags of a border image (TsMaskData::StretchMode).
enum : unsigned {
    bmStretch = 1,     // sides and middle stretched once (else tiled)
    bmSkipNormal = 2,  // nothing drawn in state 0
    bmPaintMiddle = 4, // the middle too (when the caller asks for it)
};

// The border image of a mask into r of bmp for a state:
//  1. nothing with bmSkipNormal in state 0, for r narrower or lower than 2 pixels, or without
//     the mask's manager;
//  2. the widths of the Get...Width lookups fitted into r (ShrinkBorders: 10 and 10 in 15
//     become 7 and 6);
//  3. mask type 0: corners with 0xFF00FF left out, sides copied (bmStretch: stretched once,
//     halftone; else repeated in steps of the frame's middle part from r's inner edge, the
//     last cut), the middle likewise with fillMiddle and bmPaintMiddle; other mask types: the
//     same pieces, tiled, through the masked copy.
void DrawBorderMask(TBitmap* bmp, const TRect& r, int state, const TsSkinManager* manager, int maskIndex,
                    bool fillMiddle = true);
// State frame of a mask at point (negative coordinates cut off): an own bitmap or a mask type
// of 1 or more through the masked copy; else mode 1 copies with 0xFF00FF left out and any
// other mode blends over bmp with factor 0.5 (0xFF00FF left out).
void DrawMaskGlyph(TBitmap* bmp, TPoint point, int state, const TsSkinManager* manager, int maskIndex, int mode = 1);
// The frame rectangle of a state in the mask's picture, and that picture (none without one).
TRect MaskFrameRect(const TsMaskData& mask, int state);
TBitmap* MaskPicture(const TsMaskData& mask);
// Mask types 1 and above (65535 and other values above 32767 count as none).
bool IsMaskedImage(const TsMaskData& mask);

// A picture's rows for the pixel work: the picture itself when it has 24 or 32 bits, else a
// 24-bit copy (held in Copy); Bmp none for a missing or empty picture.
struct TsPictureRows {
    std::unique_ptr<TBitmap> Copy;
    TBitmap* Bmp = nullptr;
    TvxScanLines Lines;
};
TsPictureRows PictureRowsOf(TBitmap* picture);
// Piece.Src of src (cut to it first) stretched to Piece.Dst of dst through GDI with the
// stretch mode (HALFTONE, BLACKONWHITE); GDI is flushed afterwards for the row work.
void StretchPiece(TBitmap* dst, const TsPiece& piece, TBitmap* src, int stretchMode);

// Nine parts of srcRect of src into dstRect of dst, the border widths on each side the smaller
// of b1 and b2: corners copied as they are, sides and middle tiled or, with stretch,
// stretched (StretchBlt, stretch mode BLACKONWHITE).
void CopyImageWithBorders(TBitmap* dst, const TRect& dstRect, TBitmap* src, const TRect& srcRect,
                          const TsBorderWidths& b1, const TsBorderWidths& b2, bool stretch);
// One of frameCount equal frames of a glyph strip (frame min(state, count - 1)) at r's
// top-left, cut to r; the strip's bottom-left pixel is its transparent colour. grey turns the
// frame grey ((b + g + r) div 3); blend (percent) lets that much of bmp show through.
void DrawGlyphBitmap(TBitmap* glyph, TBitmap* bmp, const TRect& r, int state, int frameCount, int blend, bool grey);
// For each row of the four corner pieces of the mask's border drawn into r for a state (the
// pieces DrawBorderMask would draw), one rectangle one row high per run of 0xFF00FF pixels,
// in the coordinates r is given in, appended to rects (the window region of a skinned form).
void CollectTransparentRects(const TsSkinManager* manager, int maskIndex, int state, const TRect& r,
                             std::vector<TRect>& rects);
// Corner codes of FillCornerFromBackground.
enum : int { cnTopLeft = 13, cnTopRight = 14, cnBottomLeft = 16, cnBottomRight = 17 };
// Copies background pixels (at bgOffset + the position) into one corner of bmp, the corner as
// large as the mask's border widths on that side.
void FillCornerFromBackground(TBitmap* bmp, TBitmap* background, TPoint bgOffset, int corner,
                              const TsSkinManager* manager, int maskIndex);
// The 32-bit src with its per-pixel alpha into dstRect of dst: channel := ((src - bg) x alpha
// + bg x 256) >> 8, bg being the cache bitmap's pixel at the cache offset + the position when
// the cache info is ready, else its fill colour unless 0xFF00FF, else dst's own pixel. The
// source is read from srcOrigin on (one frame of a strip).
void CopyAlphaOverCache(TBitmap* dst, const TRect& dstRect, TBitmap* src32, const TsCacheInfo& cache,
                        TPoint srcOrigin = {});
