// The TBitmap bindings of the pixel access: a bitmap's rows as TvxScanLines.
#include "skin/engine/vxFastBitmaps.h"

#include "gui/Graphics.h"

TvxScanLines ScanLinesOf(TBitmap* bitmap)
{
    TvxScanLines lines;
    if (!bitmap || bitmap->Empty()) return lines;
    int bytes = bitmap->PixelFormat() == pf24bit ? 3 : bitmap->PixelFormat() == pf32bit ? 4 : 0;
    if (bytes == 0) return lines;
    lines.Scan0 = static_cast<uint8_t*>(bitmap->ScanLine(0));
    lines.RowStep = bitmap->RowStep();
    lines.Width = bitmap->Width();
    lines.Height = bitmap->Height();
    lines.BytesPerPixel = bytes;
    return lines;
}

bool TvxFast24::Attach(TBitmap* bitmap)
{
    bool ok = Attach(ScanLinesOf(bitmap));
    Bitmap = ok ? bitmap : nullptr;
    return ok;
}

bool TvxFast32::Attach(TBitmap* bitmap)
{
    bool ok = Attach(ScanLinesOf(bitmap));
    Bitmap = ok ? bitmap : nullptr;
    return ok;
}

void FillBitmap32(TBitmap* bitmap, const TRect& rect, TColor color)
{
    TvxFast32 f;
    if (f.Attach(bitmap)) f.FillRect(rect, ColorToPixel32(static_cast<TColor>(ColorToRGB(color))));
}

void SetAlphaChannel(TBitmap* bitmap, const TRect& rect, uint8_t alpha)
{
    SetAlphaChannel(ScanLinesOf(bitmap), rect, alpha);
}

bool TvxFastSumBase::Bind(TBitmap* source, TBitmap* dest, int bytesPerPixel)
{
    bool ok = Bind(ScanLinesOf(source), ScanLinesOf(dest), bytesPerPixel);
    if (ok) {
        Bmp1 = source;
        Bmp2 = dest;
    }
    return ok;
}

void SumBitmaps24(TBitmap* dest, TBitmap* source, uint8_t alpha)
{
    if (!dest || !source || dest->Width() != source->Width() || dest->Height() != source->Height()) return;
    TvxFastSum24 sum;
    if (!sum.Attach(source, dest)) return;
    sum.Alpha = alpha;
    sum.Rect2 = TRect{0, 0, dest->Width(), dest->Height()};
    sum.Rect1 = sum.Rect2;
    sum.Sum();
}

void SumBitmaps(TBitmap* dest, TBitmap* source, uint8_t alpha, TPoint point, const TRect& sourceRect)
{
    SumBitmaps(ScanLinesOf(dest), ScanLinesOf(source), alpha, point, sourceRect);
}
