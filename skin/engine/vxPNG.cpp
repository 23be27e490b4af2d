#include "skin/engine/vxPNG.h"

#include <cstring>

#include "gui/Picture.h"
#include "gui/base/Exceptions.h"
#include "gui/base/Streams.h"
#include "skin/engine/sAlphaBitmap.h"
#include "skin/engine/vxCRC32.h"
#include "skin/engine/vxFastBitmaps.h"

namespace {
const char* const kInvalidFormat = "Cannot load image. Invalid or unexpected PNG image format.";

std::unique_ptr<TBitmap> NewPNGGraphic() { return std::make_unique<TPNGGraphic>(); }

int BytesPerPixel(TPixelFormat format) { return format == pf24bit ? 3 : format == pf32bit ? 4 : 0; }
} // namespace

// The graphic itself as the decoder's target.
class TPNGGraphic::TTarget : public TPNGTarget {
public:
    explicit TTarget(TPNGGraphic& graphic) : graphic_(graphic) {}

    TvxScanLines SetImage(TPixelFormat format, const TLogPalette* palette, int width, int height) override
    {
        graphic_.SetPixelFormat(format);
        if (palette) graphic_.SetPalette(CreatePaletteHandle(*palette));
        graphic_.SetSize(width, height);
        // A bitmap that the system cannot make.
        if (graphic_.Empty()) throw EInvalidGraphic(kInvalidFormat);
        TvxScanLines lines;
        lines.Scan0 = static_cast<uint8_t*>(graphic_.ScanLine(0));
        lines.RowStep = graphic_.RowStep();
        lines.Width = width;
        lines.Height = height;
        lines.BytesPerPixel = BytesPerPixel(format);
        return lines;
    }

    void FillBackground(TColor color, int top, int bottom) override
    {
        TCanvas& canvas = graphic_.Canvas();
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(color);
        canvas.FillRect(RECT{0, top, graphic_.Width(), bottom});
        GdiFlush();
    }

    void SetTransparentColor(TColor color) override
    {
        graphic_.SetTransparentColor(color);
        graphic_.SetTransparent(true);
    }

    void Progress(TProgressStage stage, int percent, bool redrawNow, const TRect& rect,
                  const std::string& message) override
    {
        graphic_.Progress(stage, percent, redrawNow, RECT{rect.Left, rect.Top, rect.Right, rect.Bottom}, message);
    }

private:
    TPNGGraphic& graphic_;
};

TPNGGraphic::TPNGGraphic() : colorManager_(std::make_unique<TColorManager>()) {}

TPNGGraphic::~TPNGGraphic() = default;

void TPNGGraphic::Assign(const TBitmap& source)
{
    if (const auto* png = dynamic_cast<const TPNGGraphic*>(&source)) properties_ = png->properties_;
    TBitmap::Assign(source);
}

void TPNGGraphic::LoadFromStream(TStream& stream)
{
    SetHandle(nullptr);
    SetPalette(nullptr);
    SetTransparent(false);
    SetTransparentColor(clNone);
    TTarget target(*this);
    TPNGDecoder decoder(*colorManager_, target);
    try {
        decoder.LoadFromStream(stream);
    } catch (...) {
        properties_ = decoder.ImageProperties();
        throw;
    }
    properties_ = decoder.ImageProperties();
    Changed();
}

void TPNGGraphic::LoadFromResourceName(HINSTANCE instance, const std::string& name)
{
    TResourceStream stream(instance, name, RT_RCDATA);
    LoadFromStream(stream);
}

void TPNGGraphic::Draw(TCanvas& canvas, const RECT& rect) const
{
    if (Empty() || PixelFormat() != pf32bit) {
        TBitmap::Draw(canvas, rect);
        return;
    }
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    const bool sameSize = w == Width() && h == Height();
    const int workHeight = reflected_ ? h + h / 2 : h;
    TBitmap work;
    work.SetSize(w, workHeight);
    BitBlt(work.Canvas().Handle(), 0, 0, w, workHeight, canvas.Handle(), rect.left, rect.top, SRCCOPY);
    const TRect all{0, 0, w, h};
    if (sameSize) {
        DrawAlphaBitmap(&work, all, this, all, 0, false, clNone, reflected_);
    } else {
        // The colours and the alpha channel are stretched apart, the alpha as a grey picture.
        TBitmap scaled(w, h);
        TBitmap::Draw(scaled.Canvas(), RECT{0, 0, w, h});
        scaled.SetPixelFormat(pf32bit);
        TBitmap alpha(Width(), Height()), scaledAlpha(w, h);
        TvxScanLines from = ScanLinesOf(const_cast<TPNGGraphic*>(this)), grey = ScanLinesOf(&alpha);
        for (int y = 0; y < Height(); ++y) {
            const uint8_t* s = from.Row(y);
            uint8_t* d = grey.Row(y);
            for (int x = 0; x < Width(); ++x, s += 4, d += 3)
                d[0] = d[1] = d[2] = s[3];
        }
        alpha.Draw(scaledAlpha.Canvas(), RECT{0, 0, w, h});
        TvxScanLines to = ScanLinesOf(&scaled), stretched = ScanLinesOf(&scaledAlpha);
        for (int y = 0; y < h; ++y) {
            const uint8_t* s = stretched.Row(y);
            uint8_t* d = to.Row(y);
            for (int x = 0; x < w; ++x, s += 3, d += 4)
                d[3] = s[0];
        }
        DrawAlphaBitmap(&work, all, &scaled, all, 0, false, clNone, false);
    }
    BitBlt(canvas.Handle(), rect.left, rect.top, w, workHeight, work.Canvas().Handle(), 0, 0, SRCCOPY);
}

void ClearTransparentWhite(TBitmap* bitmap)
{
    TvxFast32 f;
    if (!f.Attach(bitmap)) return;
    for (int y = 0; y < f.Height; ++y) {
        uint8_t* p = f.Scan0 + y * f.RowStep;
        for (int x = 0; x < f.Width; ++x, p += 4)
            if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 0) std::memset(p, 0, 4);
    }
}

void PrepareForAlpha(TBitmap& bitmap)
{
    if (bitmap.PixelFormat() != pf32bit) {
        if (bitmap.PixelFormat() != pf24bit) bitmap.SetPixelFormat(pf24bit);
        bitmap.SetPixelFormat(pf32bit);
    }
    ClearTransparentWhite(&bitmap);
}

std::unique_ptr<TPNGGraphic> LoadPNGForAlpha(TStream& stream)
{
    auto png = std::make_unique<TPNGGraphic>();
    png->LoadFromStream(stream);
    PrepareForAlpha(*png);
    return png;
}

void PNGStart() { TPicture::RegisterFileFormat("png", "Portable network graphics (Velocon)", NewPNGGraphic); }

void PNGEnd()
{
    TPicture::UnregisterGraphicClass(NewPNGGraphic);
    FreeCRCTable();
}
