// Pixel effects of the drawing primitives on rows of 24- and 32-bit pixels (TvxScanLines,
// vxFastBitmaps.h): tints and blends of rectangles, grey forms, copies that leave one colour
// out, channel copies, alpha blends, the masked copy of skin images, quarter turns and the
// Gaussian blur of glowing text (DrawAlphaBitmap is in sAlphaBitmap.h). Platform-free; the
// TBitmap bindings are in sGraphUtils.h.
//
// Channels are paired red with red; colours (TColor) are 0x00BBGGRR, pixels blue, green, red
// (and alpha) in memory. Every routine cuts its rectangles to the rows it touches (source
// rectangles to the source before any pixel is read) and draws nothing for empty areas or
// rows of another depth than it takes. Percent and factor mixes round halves away from zero;
// the rest is integer arithmetic with shifts by 8:
//   TintRect(rows, {0, 0, 9, 9}, 0, 0x0000FF)             the 10 x 10 pixels turn red
//   MaskedCopy(dst, {4, 4}, src, frame, 16)               picture where its mask is black,
//                                                           the destination where it is white
#pragma once

#include <cstdint>
#include <vector>

#include "gui/base/Geometry.h"
#include "skin/engine/vxFastBitmaps.h"

// The transparent colour of skin images, and the key value that means "no key colour".
constexpr TColor TransparentColor = 0xFF00FF;
constexpr TColor NoKeyColor = 0x1FFFFFFF;
// A transparent colour whose high byte is 255 makes no pixel transparent.
constexpr TColor NoTransColor = static_cast<TColor>(0xFF000000u);

// R's left and top raised to 0, right and bottom limited to the last column and row, all four
// inclusive; f = percent / 100; each channel := channel x f + colour x (1 - f), rounded.
void TintRect(const TvxScanLines& bmp, const TRect& r, int percent, TColor color);
// srcRect (inclusive: negative left and top cut off, right and bottom limited to the source's
// last pixel) blended onto dst at (x, y), cut to dst: channel := src - (src - dst) x factor,
// rounded. Source pixels equal to transColor are left out unless its high byte is 255.
void BlendBitmapRect(const TvxScanLines& dst, int x, int y, TColor transColor, double factor, const TRect& srcRect,
                     const TvxScanLines& src);
// Every pixel other than transColor: channel := (channel - colour) x factor + colour, rounded.
void BlendBitmapToColor(const TvxScanLines& bmp, TColor color, TColor transColor, double factor);
// bmp and mask of one size: channel := ((channel - colour) x mask channel + colour x 256) >> 8.
void BlendByMask(const TvxScanLines& bmp, const TvxScanLines& mask, TColor color);
// Each pixel's three channels := (b + g + r) div 3 (alpha kept); the second leaves pixels of
// the colour as they are.
void GrayBitmap(const TvxScanLines& bmp);
void GrayBitmapExceptColor(const TvxScanLines& bmp, TColor color);
// Source pixels other than transColor copied to (x + sx, y + sy), cut to dst. The rectangle
// form takes srcRect inclusive (negative left and top raised to 0 with the destination moved
// along, right and bottom limited to the source's last pixel).
void CopyBitmapExceptColor(const TvxScanLines& dst, const TvxScanLines& src, int x, TColor transColor, int y);
void CopyRectExceptColor(const TvxScanLines& dst, const TvxScanLines& src, int x, TColor transColor,
                         const TRect& srcRect, int y);
// A plain copy of srcRect (right and bottom outside) to point, cut to both.
void CopyPixels(const TvxScanLines& dst, TPoint point, const TvxScanLines& src, const TRect& srcRect);
// bmp8 rows of one byte a pixel. extract: each byte of bmp8 := byte channel (0 blue .. 3
// alpha) of the 32-bit pixel; otherwise that byte := the 8-bit pixel; over bmp32's size (cut
// to bmp8's).
void CopyChannel(const TvxScanLines& bmp32, const TvxScanLines& bmp8, int channel, bool extract);
// Inside r, where the mask pixel's red byte is not 255: each destination channel :=
// ((source - destination) x source alpha + destination x 256) >> 8 (dst 24, src 32 bits).
void BlendAlpha32Onto24(const TvxScanLines& dst24, const TvxScanLines& src32, const TvxScanLines& mask24,
                        const TRect& r);
// Each colour channel of dst32 := (src2 x 256 + (src1 - src2) x w) >> 8, with w the mask's
// channel when a mask is given, else factor (0..255); dst's alpha is left. Over the smallest
// size of the bitmaps.
void BlendAnimationFrame(const TvxScanLines& dst32, const TvxScanLines& src1, const TvxScanLines& src2, int factor,
                         const TvxScanLines* mask = nullptr);
// srcRect of the 32-bit src at point of dst over a background: channel := ((src - bg) x alpha
// + bg x 256) >> 8. bg: the pixel of background at bgOffset + the destination position when
// background is given (and the position lies in it), else bgColor unless it is 0xFF00FF,
// else the destination's own pixel.
void AlphaOverBackground(const TvxScanLines& dst, TPoint point, const TvxScanLines& src32, const TRect& srcRect,
                         const TvxScanLines* background, TPoint bgOffset, TColor bgColor);
// The masked copy of a skin image: frame (right and bottom outside) of src to point of dst;
// the mask of a picture pixel lies maskDistance rows below it (0: no mask band, the picture
// shows). For each picture pixel other than 0xFF00FF: channel := (picture x 256 +
// (destination - picture) x mask channel) >> 8, limited to 0..255, so a black mask shows the
// picture and a white one keeps the destination. Rows whose mask lies outside src are cut.
void MaskedCopy(const TvxScanLines& dst, TPoint point, const TvxScanLines& src, const TRect& frame, int maskDistance);
// dst (src's height x src's width, the same depth) := src turned a quarter: clockwise (x, y)
// goes to (H - 1 - y, x), otherwise to (y, W - 1 - x), W and H being src's width and height.
void RotateRows(const TvxScanLines& src, const TvxScanLines& dst, bool clockwise);

// The Gaussian kernel of a blur radius: weights exp(-(i / radius)^2 / 2) for i = -100..100,
// normalised; cut at the half-width k where, walking inwards from 100, the two tails beyond k
// first weigh 1/510 or more (k is 2 when the walk gets there first); the 2k + 1 weights kept
// are normalised again. A radius of 0 or below is taken as a tiny one (weights 0, 1, 0).
std::vector<double> GaussianKernel(double radius);
// Blurs width x height bytes (row after row) along rows, then columns, with the kernel;
// positions beyond an edge are the edge pixel; results rounded.
void GaussianBlur(std::vector<uint8_t>& pixels, int width, int height, double radius);
