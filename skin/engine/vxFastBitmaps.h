// Direct access to the pixels of 24- and 32-bit bitmaps: reading and writing single pixels,
// filling rectangles, setting the alpha channel, and the fade blend of one bitmap into another.
//
// Everything works on rows of bytes (TvxScanLines): the address of row 0 (the top row) and the
// signed distance to the next row, negative for bitmaps stored bottom-up. That part needs no
// platform and is tested on the host. The overloads that take a TBitmap (gui/Graphics.h) are
// the Windows bindings; a missing bitmap, one of another pixel format, or one narrower or
// lower than 2 pixels makes them do nothing (Attach answers false).
//
// Pixel layouts: 24 bits = blue, green, red; 32 bits = blue, green, red, alpha. Colours
// (TColor) are 0x00BBGGRR; system colours are resolved by the bindings before pixel work.
//
//   TvxFast32 f;
//   if (f.Attach(bmp32)) f.FillRect(TRect{0, 0, 4, 2}, ColorToPixel32(0x0000FF)); // opaque red
//   SumBitmaps(dest, source, 128, TPoint{-5, 0}, TRect{0, 0, 20, 20});           // half/half
#pragma once

#include <cstddef>
#include <cstdint>

#include "gui/base/Geometry.h"

class TBitmap;

using TColor = int32_t; // 0x00BBGGRR, as in gui/Graphics.h

// Rows of pixels in memory. Row(y) is the address of row y, 0 <= y < Height.
struct TvxScanLines {
    uint8_t* Scan0 = nullptr; // row 0, the top row
    ptrdiff_t RowStep = 0;    // address of row 1 minus address of row 0
    int Width = 0;
    int Height = 0;
    int BytesPerPixel = 0; // 3 or 4; 0 for other formats
    uint8_t* Row(int y) const { return Scan0 + static_cast<ptrdiff_t>(y) * RowStep; }
};

// The rows of a bitmap: BytesPerPixel 3 for 24 bits, 4 for 32 bits, 0 (and no rows) for any
// other format and for a missing or empty bitmap. Windows only.
TvxScanLines ScanLinesOf(TBitmap* bitmap);

// Pixel access to a 24-bit bitmap. After a failed Attach, Width is 0 and nothing may be drawn.
class TvxFast24 {
public:
    TBitmap* Bitmap = nullptr;
    int Width = 0;
    int Height = 0;
    ptrdiff_t RowStep = 0;
    uint8_t* Scan0 = nullptr;

    // True for a 24-bit bitmap of at least 2 x 2 pixels (a 1 x 100 bitmap fails). Windows only.
    bool Attach(TBitmap* bitmap);
    bool Attach(const TvxScanLines& lines); // BytesPerPixel must be 3
    // Colours as red + green * 256 + blue * 65536; 0 <= x < Width, 0 <= y < Height.
    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // Rows top .. bottom - 1, columns left .. right - 1, cut to the bitmap.
    void FillRect(const TRect& rect, TColor color);
};

// Pixel access to a 32-bit bitmap.
class TvxFast32 {
public:
    TBitmap* Bitmap = nullptr;
    int Width = 0;
    int Height = 0;
    ptrdiff_t RowStep = 0;
    uint8_t* Scan0 = nullptr;

    bool Attach(TBitmap* bitmap); // a 32-bit bitmap of at least 2 x 2 pixels; Windows only
    bool Attach(const TvxScanLines& lines);
    // red + green * 2^8 + blue * 2^16 + alpha * 2^24 (the colour's order with alpha on top).
    uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t value); // the same order
    // Stores a pixel value as made by ColorToPixel32 (memory order: blue in the low byte) into
    // rows top .. bottom - 1, columns left .. right - 1, cut to the bitmap.
    void FillRect(const TRect& rect, uint32_t pixel);
};

// Stores value count times from address on; nothing when count <= 0.
void FillDwords(void* address, int count, uint32_t value);
// The 32-bit pixel value of a colour: blue, green, red and alpha 255 in memory
// (0x00BBGGRR -> 0xFFRRGGBB).
uint32_t ColorToPixel32(TColor color);
// Fills a rectangle of a 32-bit bitmap with the colour at alpha 255. Windows only.
void FillBitmap32(TBitmap* bitmap, const TRect& rect, TColor color);
// Sets the alpha byte of every pixel of a 32-bit bitmap inside the rectangle (cut to it).
void SetAlphaChannel(const TvxScanLines& lines, const TRect& rect, uint8_t alpha);
void SetAlphaChannel(TBitmap* bitmap, const TRect& rect, uint8_t alpha); // Windows only

// Fade blend of a source into a destination, byte by byte (all bytes of a pixel, alpha too):
//   dest := (source * (255 - Alpha) + dest * Alpha + 127) >> 8
// so Alpha 0 gives the source (255 -> 254, 128 -> 127, 127 stays) and Alpha 255 the
// destination (same rounding). Rect2 is the destination rectangle, Rect1 the source's; the
// source of destination pixel (x, y) is (x - Rect2.Left + Rect1.Left, y - Rect2.Bottom +
// Rect1.Bottom). Rows are walked from the bottom up and bytes from right to left.
class TvxFastSumBase {
public:
    TBitmap* Bmp1 = nullptr; // source
    TBitmap* Bmp2 = nullptr; // destination
    int Width = 0;           // the smaller width of the two
    int Height = 0;          // the smaller height of the two
    uint8_t* Scan1 = nullptr;
    uint8_t* Scan2 = nullptr;
    ptrdiff_t Step1 = 0;
    ptrdiff_t Step2 = 0;
    uint8_t Alpha = 0;
    TRect Rect2;
    TRect Rect1;

protected:
    bool Bind(TBitmap* source, TBitmap* dest, int bytesPerPixel);
    bool Bind(const TvxScanLines& source, const TvxScanLines& dest, int bytesPerPixel);
    // Blends Rect1 of the source into Rect2 of the destination; pixels outside either bitmap
    // are left out.
    void SumBytes(int bytesPerPixel);
    TvxScanLines lines1_, lines2_;
};

// The blend of 24-bit bitmaps.
class TvxFastSum24 : public TvxFastSumBase {
public:
    // False when either is narrower or lower than 2 pixels or not 24-bit; Windows only.
    bool Attach(TBitmap* source, TBitmap* dest) { return Bind(source, dest, 3); }
    bool Attach(const TvxScanLines& source, const TvxScanLines& dest) { return Bind(source, dest, 3); }
    void Sum() { SumBytes(3); }
};

// The blend of 32-bit bitmaps.
class TvxFastSum32 : public TvxFastSumBase {
public:
    bool Attach(TBitmap* source, TBitmap* dest) { return Bind(source, dest, 4); } // Windows only
    bool Attach(const TvxScanLines& source, const TvxScanLines& dest) { return Bind(source, dest, 4); }
    void Sum() { SumBytes(4); }
};

// Blends the whole source into the destination; only when both are 24-bit, of one size and at
// least 2 x 2 pixels. Windows only.
void SumBitmaps24(TBitmap* dest, TBitmap* source, uint8_t alpha);

// The rectangles of a blend of source rectangle S into the destination at point P:
//  1. P.X < 0: S.Left -= P.X, P.X := 0 (likewise Y and S.Top);
//  2. S.Left < 0: P.X -= S.Left, S.Left := 0 (likewise Top);
//  3. nothing (false) unless S is not empty and P lies inside the destination;
//  4. S.Right, S.Bottom limited to the source's size, and S cut where it would pass the
//     destination's right or bottom edge;
//  5. Rect2 := (P.X, P.Y, P.X + width of S, P.Y + height of S), Rect1 := S.
// Example: destination 10 x 10, source 10 x 10, P (-3, 2), S (0, 0, 10, 10) ->
// Rect2 (0, 2, 7, 10), Rect1 (3, 0, 10, 8).
bool ClipSumRects(int destWidth, int destHeight, int sourceWidth, int sourceHeight, TPoint point, TRect source,
                  TRect& rect2, TRect& rect1);
// Blends source rectangle S at destination point P (clipped as above); both 32-bit or both
// 24-bit, nothing for mixed or other formats.
void SumBitmaps(const TvxScanLines& dest, const TvxScanLines& source, uint8_t alpha, TPoint point,
                const TRect& sourceRect);
void SumBitmaps(TBitmap* dest, TBitmap* source, uint8_t alpha, TPoint point, const TRect& sourceRect); // Windows only
