// The TBitmap binding of the gradient painter, and the triangle layout through msimg32's
// GradientFill, looked up when the program starts and released when it ends.
#include "skin/engine/sGradient.h"

#include <algorithm>

#include "gui/Graphics.h"
#include "gui/base/Handles.h"

namespace {
using TGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// The module's library handle and entry point, set at start and cleared at exit.
struct TGradientModule {
    TGradientModule() : library(LoadLibraryA("msimg32.dll"))
    {
        if (library)
            gradientFill = reinterpret_cast<TGradientFillProc>(
                reinterpret_cast<void*>(GetProcAddress(library.get(), "GradientFill")));
    }
    TLibraryHandle library;
    TGradientFillProc gradientFill = nullptr;
    bool hidden = false;
};
TGradientModule gradientModule;

TGradientFillProc GradientFillEntry() { return gradientModule.hidden ? nullptr : gradientModule.gradientFill; }

void PaintTriangles(TBitmap& bitmap, const TRect& r, const TsGradArray& steps)
{
    TGradientFillProc gradientFill = GradientFillEntry();
    if (!gradientFill) return;
    int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const POINT corners[5] = {
        {r.Left, r.Top}, {r.Left + w / 2, r.Top + h / 2}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}};
    TRIVERTEX vertices[5];
    uint32_t colour = 0;
    for (size_t k = 0; k < 5; ++k) {
        if (k < steps.size()) colour = static_cast<uint32_t>(steps[k].Color1);
        vertices[k].x = corners[k].x;
        vertices[k].y = corners[k].y;
        vertices[k].Red = static_cast<COLOR16>((colour & 0xFF) * 256);
        vertices[k].Green = static_cast<COLOR16>((colour >> 8 & 0xFF) * 256);
        vertices[k].Blue = static_cast<COLOR16>((colour >> 16 & 0xFF) * 256);
        vertices[k].Alpha = 0;
    }
    GRADIENT_TRIANGLE triangles[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    gradientFill(bitmap.Canvas().Handle(), vertices, 5, triangles, 4, GRADIENT_FILL_TRIANGLE);
    bitmap.Changed();
}
} // namespace

bool GradientFillFound() { return gradientModule.gradientFill != nullptr; }
void HideGradientFill(bool hide) { gradientModule.hidden = hide; }

void FillGradient(TBitmap* bitmap, const TRect& rect, const TsGradArray& steps, int offset, int /*extra*/)
{
    if (!bitmap || bitmap->Empty()) return;
    if (rect.Right - rect.Left <= 0 || rect.Bottom - rect.Top <= 0 || steps.empty()) return;
    if (steps[0].Mode == 2) {
        TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, bitmap->Width()),
                std::min(rect.Bottom, bitmap->Height())};
        if (r.Right > r.Left && r.Bottom > r.Top) PaintTriangles(*bitmap, r, steps);
        return;
    }
    TvxScanLines lines = ScanLinesOf(bitmap);
    if (lines.BytesPerPixel == 0) return;
    PaintGradientBands(lines, rect, steps, offset);
    bitmap->Changed();
}
