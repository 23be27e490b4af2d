#include "skin/engine/sGraphUtils.h"

#include <algorithm>
#include <cmath>

#include "gui/base/Handles.h"
#include "skin/engine/sHooks.h"

namespace {
// The module's state: user32 with its layered-window entry point, and the shared pixel access.
struct TGraphModule {
    TGraphModule() : user32(LoadLibraryA("user32.dll"))
    {
        if (user32)
            updateLayeredWindow = reinterpret_cast<TUpdateLayeredWindowProc>(
                reinterpret_cast<void*>(GetProcAddress(user32.get(), "UpdateLayeredWindow")));
    }
    TLibraryHandle user32;
    TUpdateLayeredWindowProc updateLayeredWindow = nullptr; // as found at start
    TUpdateLayeredWindowProc replacement = nullptr;         // a test's, while set
    bool unavailable = false;                               // a test's switch
    TvxFast32 fast32;
};
TGraphModule& Module()
{
    static TGraphModule module;
    return module;
}
// Looked up when the program starts.
[[maybe_unused]] const TGraphModule& startModule = Module();

std::unique_ptr<TBitmap> CreateBmp(int width, int height, TPixelFormat format)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(format);
    b->SetSize(std::max(width, 0), std::max(height, 0));
    return b;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
} // namespace

bool LayeredWindowsAvailable() { return Module().updateLayeredWindow != nullptr && !Module().unavailable; }
TUpdateLayeredWindowProc UpdateLayeredWindowEntry()
{
    if (Module().unavailable) return nullptr;
    return Module().replacement ? Module().replacement : Module().updateLayeredWindow;
}
void SetLayeredWindowsAvailable(bool on) { Module().unavailable = !on; }
TUpdateLayeredWindowProc SetUpdateLayeredWindowEntry(TUpdateLayeredWindowProc proc)
{
    const TUpdateLayeredWindowProc before = UpdateLayeredWindowEntry();
    Module().replacement = proc;
    return before;
}
TvxFast32& SharedFast32() { return Module().fast32; }

std::unique_ptr<TBitmap> CreateBmp24(int width, int height) { return CreateBmp(width, height, pf24bit); }
std::unique_ptr<TBitmap> CreateBmp32(int width, int height) { return CreateBmp(width, height, pf32bit); }

std::unique_ptr<TBitmap> CreateBitmapLike(const TBitmap* bitmap)
{
    if (!bitmap) return CreateBmp24(0, 0);
    TPixelFormat f = bitmap->PixelFormat();
    if (f != pf1bit && f != pf4bit && f != pf8bit && f != pf32bit) f = pf24bit;
    return CreateBmp(bitmap->Width(), bitmap->Height(), f);
}

std::unique_ptr<TBitmap> RotateBitmap90(TBitmap* bitmap, bool clockwise)
{
    const TvxScanLines src = ScanLinesOf(bitmap);
    if (src.BytesPerPixel == 0) return nullptr;
    auto out = CreateBmp(src.Height, src.Width, bitmap->PixelFormat());
    RotateRows(src, ScanLinesOf(out.get()), clockwise);
    return out;
}

TvxScanLines RowsOf(TBitmap* bitmap)
{
    if (bitmap && !bitmap->Empty() && bitmap->PixelFormat() == pf8bit) {
        TvxScanLines lines;
        lines.Scan0 = static_cast<uint8_t*>(bitmap->ScanLine(0));
        lines.RowStep = bitmap->RowStep();
        lines.Width = bitmap->Width();
        lines.Height = bitmap->Height();
        lines.BytesPerPixel = 1;
        return lines;
    }
    return ScanLinesOf(bitmap);
}

// ---- fills and frames

void FillDC(HDC dc, const TRect& r, TColor color)
{
    if (!dc) return;
    TSavedDC saved(dc);
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    const RECT rc = ToRECT(r);
    FillRect(dc, &rc, brush.get());
}

void FillFrame(HDC dc, const TRect& r, int left, TColor color, int bottom, int right, int top)
{
    if (!dc) return;
    TSavedDC saved(dc);
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    const RECT parts[4] = {{r.Left, r.Top, r.Right, r.Top + top},
                           {r.Left, r.Top + top, r.Left + left, r.Bottom},
                           {r.Left + left, r.Bottom - bottom, r.Right, r.Bottom},
                           {r.Right - right, r.Top + top, r.Right, r.Bottom - bottom}};
    for (const RECT& p : parts)
        FillRect(dc, &p, brush.get());
}

void CopyFrameFromDC(HDC dst, int x, int y, int w, int sy, int sx, HDC src, int height, int width)
{
    if (!dst || !src) return;
    TSavedDC saved(dst);
    BitBlt(dst, x, y, w, height, src, sx, sy, SRCCOPY);
    BitBlt(dst, x + w, y, width, w, src, sx + w, sy, SRCCOPY);
    BitBlt(dst, width - w, y + w, width, height, src, sx + width - w, sy + w, SRCCOPY);
    BitBlt(dst, x + w, height - w, width - w, height, src, sx + w, sy + height - w, SRCCOPY);
}

void DrawBevelFrame(HDC dc, TRect r, TColor color1, int& n, TColor color2)
{
    if (!dc) return;
    TSavedDC saved(dc);
    TPenHandle pen1(CreatePen(PS_SOLID, 1, ColorToRGB(color1)));
    TPenHandle pen2(CreatePen(PS_SOLID, 1, ColorToRGB(color2)));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    --r.Right;
    --r.Bottom;
    for (; n > 0; --n) {
        SelectObject(dc, pen1.get());
        MoveToEx(dc, r.Left, r.Bottom, nullptr);
        LineTo(dc, r.Left, r.Top);
        LineTo(dc, r.Right, r.Top);
        SelectObject(dc, pen2.get());
        LineTo(dc, r.Right, r.Bottom);
        LineTo(dc, r.Left - 1, r.Bottom);
        r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    ++r.Right;
    ++r.Bottom;
    // The pens are deselected when the DC's state is restored, before they are freed.
    SelectObject(dc, GetStockObject(BLACK_PEN));
}

void DrawFocusDots(TCanvas& canvas, const TRect& r)
{
    HDC dc = canvas.Handle();
    if (!dc) return;
    const auto dot = [dc](int x, int y, int nx, int ny) {
        SetPixel(dc, x, y, RGB(0, 0, 0));
        SetPixel(dc, nx, ny, RGB(255, 255, 255));
    };
    for (int x = r.Left; x < r.Right - 1; x += 3) {
        dot(x, r.Top, x + 1, r.Top);
        dot(x, r.Bottom - 1, x + 1, r.Bottom - 1);
    }
    for (int y = r.Top; y < r.Bottom - 1; y += 3) {
        dot(r.Left, y, r.Left, y + 1);
        dot(r.Right - 1, y, r.Right - 1, y + 1);
    }
}

void ExcludeGraphicControls(HDC dc, TControl* control, int offsetY, int offsetX)
{
    auto* container = dynamic_cast<TWinControl*>(control);
    if (!dc || !container || HookSkipGraphicChildren()) return;
    for (int i = 0; i < container->ControlCount(); ++i) {
        TControl* child = container->Controls(i);
        if (!child || dynamic_cast<TWinControl*>(child) || !child->Visible()) continue;
        const RECT b = child->BoundsRect();
        ExcludeClipRect(dc, b.left + offsetX, b.top + offsetY, b.right + offsetX, b.bottom + offsetY);
    }
}

void TileBitmap(TCanvas& canvas, const TRect& r, TBitmap* picture)
{
    if (!picture || picture->Empty() || picture->Width() <= 0 || picture->Height() <= 0 || !canvas.Handle()) return;
    const int w = picture->Width(), h = picture->Height();
    HDC src = picture->Canvas().Handle();
    for (int y = r.Top; y < r.Bottom; y += h)
        for (int x = r.Left; x < r.Right; x += w)
            BitBlt(canvas.Handle(), x, y, std::min(w, r.Right - x), std::min(h, r.Bottom - y), src, 0, 0, SRCCOPY);
}

// ---- effects

void TintRect(TBitmap* bmp, const TRect& r, int percent, TColor color)
{
    TintRect(ScanLinesOf(bmp), r, percent, static_cast<TColor>(ColorToRGB(color)));
}

void BlendBitmapRect(TBitmap* dst, int x, int y, TColor transColor, double factor, const TRect& srcRect, TBitmap* src)
{
    BlendBitmapRect(ScanLinesOf(dst), x, y, transColor, factor, srcRect, ScanLinesOf(src));
}

void BlendBitmapToColor(TBitmap* bmp, TColor color, TColor transColor, double factor)
{
    BlendBitmapToColor(ScanLinesOf(bmp), static_cast<TColor>(ColorToRGB(color)), transColor, factor);
}

void BlendByMask(TBitmap* bmp, TBitmap* mask, TColor color)
{
    if (!bmp || !mask || bmp->Width() != mask->Width() || bmp->Height() != mask->Height()) return;
    BlendByMask(ScanLinesOf(bmp), ScanLinesOf(mask), static_cast<TColor>(ColorToRGB(color)));
}

void PaintSoftRoundRect(TBitmap* bmp, const TRect& r, int percent, int radius, int depth, TColor color)
{
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (!bmp || ScanLinesOf(bmp).BytesPerPixel == 0 || w <= 0 || h <= 0) return;
    const int d = std::min({w / 2, h / 2, depth}), corner = std::min({w / 2, h / 2, radius});
    auto mask = CreateBmp(w, h, bmp->PixelFormat());
    HDC mdc = mask->Canvas().Handle();
    {
        TSavedDC saved(mdc);
        SelectObject(mdc, GetStockObject(NULL_PEN));
        const int p = percent * 255 / 100;
        for (int i = 0; i <= d; ++i) {
            const int g = i == 0 ? 255 : p + static_cast<int>(std::lround((d - i) * (255.0 - p) / (d + 1)));
            TBrushHandle brush(CreateSolidBrush(RGB(g, g, g)));
            SelectObject(mdc, brush.get());
            // NULL_PEN: the figure covers right - 1 and bottom - 1, so one more on both.
            RoundRect(mdc, i, i, w - i + 1, h - i + 1, corner, corner);
            SelectObject(mdc, GetStockObject(WHITE_BRUSH));
        }
    }
    auto area = CreateBmp(w, h, bmp->PixelFormat());
    CopyPixels(ScanLinesOf(area.get()), TPoint{}, ScanLinesOf(bmp), r);
    BlendByMask(ScanLinesOf(area.get()), ScanLinesOf(mask.get()), static_cast<TColor>(ColorToRGB(color)));
    CopyPixels(ScanLinesOf(bmp), TPoint{r.Left, r.Top}, ScanLinesOf(area.get()), TRect{0, 0, w, h});
}

void GrayBitmap(TBitmap* bmp) { GrayBitmap(ScanLinesOf(bmp)); }
void GrayBitmapExceptColor(TBitmap* bmp, TColor color) { GrayBitmapExceptColor(ScanLinesOf(bmp), color); }

void CopyBitmapExceptColor(TBitmap* dst, TBitmap* src, int x, TColor transColor, int y)
{
    CopyBitmapExceptColor(ScanLinesOf(dst), ScanLinesOf(src), x, transColor, y);
}

void CopyRectExceptColor(TBitmap* dst, TBitmap* src, int x, TColor transColor, const TRect& srcRect, int y)
{
    CopyRectExceptColor(ScanLinesOf(dst), ScanLinesOf(src), x, transColor, srcRect, y);
}

void CopyChannel(TBitmap* bmp32, TBitmap* bmp8, int channel, bool extract)
{
    CopyChannel(RowsOf(bmp32), RowsOf(bmp8), channel, extract);
}

void BlendAlpha32Onto24(TBitmap* dst24, TBitmap* src32, TBitmap* mask24, const TRect& r)
{
    BlendAlpha32Onto24(ScanLinesOf(dst24), ScanLinesOf(src32), ScanLinesOf(mask24), r);
}

void BlendAnimationFrame(TBitmap* dst32, TBitmap* src1, TBitmap* src2, int factor, TBitmap* mask)
{
    const TvxScanLines m = ScanLinesOf(mask);
    BlendAnimationFrame(ScanLinesOf(dst32), ScanLinesOf(src1), ScanLinesOf(src2), factor, mask ? &m : nullptr);
}
