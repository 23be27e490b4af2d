// The TBitmap binding of the alpha drawing.
#include "skin/engine/sAlphaBitmap.h"

#include "gui/Graphics.h"

void DrawAlphaBitmap(TBitmap* dest, const TRect& destRect, const TBitmap* source, const TRect& srcRect, int blend,
                     bool grey, TColor keyColor, bool reflected)
{
    if (!dest || !source || source->PixelFormat() != pf32bit) return;
    // Reading the rows does not change the source.
    TvxScanLines from = ScanLinesOf(const_cast<TBitmap*>(source));
    TvxScanLines to = ScanLinesOf(dest);
    DrawAlphaBitmap(to, destRect, from, srcRect, blend, grey, keyColor, reflected);
}
