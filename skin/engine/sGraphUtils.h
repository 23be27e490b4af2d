// The drawing primitives on the class library's bitmaps and DCs: the module's set-up (the
// layered-window entry point, the shared TvxFast32), work bitmaps and quarter turns, fills
// and frames on a DC, and the TBitmap forms of the pixel effects of sBitmapEffects.h.
//
// Fills and frames keep the DC's state (saved before, restored after); colours go through
// ColorToRGB, so system colours may be given. The bitmap forms take 24- and 32-bit bitmaps
// (those that say so also 8 bits) and do nothing for a missing bitmap or another format.
//
//   auto bmp = CreateBmp24(40, 20);
//   FillDC(bmp->Canvas().Handle(), TRect{0, 0, 40, 20}, clBtnFace);
//   TintRect(bmp.get(), TRect{0, 0, 39, 19}, 50, clWhite); // half way to white
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"
#include "skin/engine/sBitmapEffects.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/vxFastBitmaps.h"

// ---- set-up
using TUpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
// True when "UpdateLayeredWindow" was found in "user32.dll" at start.
bool LayeredWindowsAvailable();
// That entry point, or none: every layered effect of window skinning (glows, extended borders,
// title-button fades, animation copies) calls UpdateLayeredWindow through it.
TUpdateLayeredWindowProc UpdateLayeredWindowEntry();
// Test seam: makes UpdateLayeredWindowEntry give proc instead (nullptr: the entry point found at
// start again) and answers the one it gave before; tests record the layered effects' calls
// with it (tests/support/LayeredRecorder.h).
TUpdateLayeredWindowProc SetUpdateLayeredWindowEntry(TUpdateLayeredWindowProc proc);
// Test seam: off makes the system look as if it had no layered windows (LayeredWindowsAvailable
// false, no entry point) until it is switched on again.
void SetLayeredWindowsAvailable(bool on);
// The pixel access object kept for shared use while the program runs.
TvxFast32& SharedFast32();

// ---- work bitmaps
// New device-independent bitmaps of 24 / 32 bits per pixel and the given size (0 x 0 allowed).
std::unique_ptr<TBitmap> CreateBmp24(int width, int height);
std::unique_ptr<TBitmap> CreateBmp32(int width, int height);
// A new bitmap of the other's width, height and pixel format (24 bits for none).
std::unique_ptr<TBitmap> CreateBitmapLike(const TBitmap* bitmap);
// A new bitmap of the same format (24 or 32 bits) turned a quarter: clockwise the pixel at
// (x, y) goes to (H - 1 - y, x), otherwise to (y, W - 1 - x). None for a missing or empty
// bitmap or another format.
std::unique_ptr<TBitmap> RotateBitmap90(TBitmap* bitmap, bool clockwise);

// ---- fills and frames
void FillDC(HDC dc, const TRect& r, TColor color);
// Four fills, in this order: top (r.Left, r.Top, r.Right, r.Top + top); left (r.Left, r.Top +
// top, r.Left + left, r.Bottom); bottom (r.Left + left, r.Bottom - bottom, r.Right, r.Bottom);
// right (r.Right - right, r.Top + top, r.Right, r.Bottom - bottom). Widths of 0 fill nothing.
void FillFrame(HDC dc, const TRect& r, int left, TColor color, int bottom, int right, int top);
// Four copies from src: (x, y, w x height) from (sx, sy); (x + w, y, width x w) from (sx + w,
// sy); (width - w, y + w, width x height) from (sx + width - w, sy + w); (x + w, height - w,
// (width - w) x height) from (sx + w, sy + height - w). The right and bottom strips are placed
// from the DC's origin, not from x and y.
void CopyFrameFromDC(HDC dst, int x, int y, int w, int sy, int sx, HDC src, int height, int width);
// One-pixel lines, hollow brush: right and bottom of r moved in by one; n times: colour 1 from
// (left, bottom) to (left, top) to (right, top), colour 2 from (right, top) to (right,
// bottom) to (left - 1, bottom), then r shrinks by one on each side. n is 0 afterwards.
void DrawBevelFrame(HDC dc, TRect r, TColor color1, int& n, TColor color2);
// A dotted focus frame: every third pixel of each edge black, the pixel after it white.
void DrawFocusDots(TCanvas& canvas, const TRect& r);
// Excludes from the DC's clip region the bounds (moved by the offsets) of the control's
// visible children without a window, unless window skinning skips graphic children.
void ExcludeGraphicControls(HDC dc, TControl* control, int offsetY, int offsetX);
// The picture copied tile by tile from r's top-left, the last column and row cut to r;
// nothing for a missing or empty picture.
void TileBitmap(TCanvas& canvas, const TRect& r, TBitmap* picture);

// ---- the effects on bitmaps (sBitmapEffects.h for the arithmetic)
void TintRect(TBitmap* bmp, const TRect& r, int percent, TColor color);
void BlendBitmapRect(TBitmap* dst, int x, int y, TColor transColor, double factor, const TRect& srcRect, TBitmap* src);
void BlendBitmapToColor(TBitmap* bmp, TColor color, TColor transColor, double factor);
void BlendByMask(TBitmap* bmp, TBitmap* mask, TColor color);
// Soft shadow into r: d := min(width / 2, height / 2, depth), r := min(width / 2, height / 2,
// radius); a grey mask of r's size gets rounded rectangles (i, i, w - i, h - i) with corner r
// for i = 0..d, the first white, each next one grey g = p + (d - i) x (255 - p) / (d + 1)
// rounded, p = percent x 255 / 100; r's area is then BlendByMask'ed with the colour.
void PaintSoftRoundRect(TBitmap* bmp, const TRect& r, int percent, int radius, int depth, TColor color);
void GrayBitmap(TBitmap* bmp);
void GrayBitmapExceptColor(TBitmap* bmp, TColor color);
void CopyBitmapExceptColor(TBitmap* dst, TBitmap* src, int x, TColor transColor, int y);
void CopyRectExceptColor(TBitmap* dst, TBitmap* src, int x, TColor transColor, const TRect& srcRect, int y);
// bmp8: an 8-bit bitmap.
void CopyChannel(TBitmap* bmp32, TBitmap* bmp8, int channel, bool extract);
void BlendAlpha32Onto24(TBitmap* dst24, TBitmap* src32, TBitmap* mask24, const TRect& r);
void BlendAnimationFrame(TBitmap* dst32, TBitmap* src1, TBitmap* src2, int factor, TBitmap* mask = nullptr);

// The rows of a bitmap for the pixel effects, 8-bit bitmaps too (one byte a pixel).
TvxScanLines RowsOf(TBitmap* bitmap);
