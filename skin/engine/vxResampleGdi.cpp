// The TBitmap binding of the resampler.
#include "skin/engine/vxResample.h"

#include <cstdint>
#include <vector>

#include "gui/Graphics.h"
#include "gui/base/Exceptions.h"

void Resample(TBitmap* source, TBitmap* dest, int newWidth, int newHeight, int filter)
{
    if (!source || source->Width() < 2 || source->Height() < 2) throw Exception("Source bitmap is too small");
    if (!dest) return;
    if (newWidth == source->Width() && newHeight == source->Height()) {
        dest->Assign(*source);
        return;
    }
    // Formats other than 32 bits are worked as 24 bits.
    TBitmap converted;
    TBitmap* from = source;
    if (source->PixelFormat() != pf24bit && source->PixelFormat() != pf32bit) {
        converted.Assign(*source);
        converted.SetPixelFormat(pf24bit);
        from = &converted;
    }
    TPixelFormat format = from->PixelFormat();
    if (newWidth < 1 || newHeight < 1) {
        dest->SetPixelFormat(format);
        dest->SetSize(0, 0);
        return;
    }
    TvxScanLines lines = ScanLinesOf(from);
    std::vector<uint8_t> workBytes(static_cast<size_t>(newWidth) * static_cast<size_t>(lines.BytesPerPixel) *
                                   static_cast<size_t>(lines.Height));
    TvxScanLines work{workBytes.data(), static_cast<ptrdiff_t>(newWidth) * lines.BytesPerPixel, newWidth, lines.Height,
                      lines.BytesPerPixel};
    ResampleHorizontal(lines, work, filter);
    // The source is read completely before the destination (possibly the same bitmap) changes.
    dest->SetPixelFormat(format);
    dest->SetSize(newWidth, newHeight);
    ResampleVertical(work, ScanLinesOf(dest), filter);
    dest->Changed();
}
