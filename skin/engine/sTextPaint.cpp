#include "skin/engine/sTextPaint.h"

#include <algorithm>
#include <vector>

#include "gui/base/Handles.h"
#include "skin/engine/sBitmapEffects.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"

namespace {
void WriteIn(HDC dc, const std::string& text, TRect r, UINT flags, TColor color, int dx = 0, int dy = 0)
{
    SetTextColor(dc, ColorToRGB(color));
    RECT rc{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
    DrawTextStr(dc, text, rc, flags);
}

// The contour colours that are not -1 (left, top, right, bottom: r moved one pixel that way),
// then the text in the first colour.
void WriteWithContours(HDC dc, const std::string& text, const TRect& r, UINT flags, const TsFontColors& colors)
{
    const int shifts[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        if (colors[i + 2] != -1) WriteIn(dc, text, r, flags, colors[i + 2], shifts[i][0], shifts[i][1]);
    WriteIn(dc, text, r, flags, colors[1]);
}
} // namespace

int DrawTextStr(HDC dc, const std::string& text, RECT& r, UINT flags)
{
    return DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

int CanvasTextWidth(TCanvas& canvas, const std::string& text) { return canvas.TextWidth(text); }
SIZE CanvasTextExtent(TCanvas& canvas, const std::string& text) { return canvas.TextExtent(text); }

void CanvasTextRect(TCanvas& canvas, const TRect& r, int x, int y, const std::string& text)
{
    canvas.TextRect(RECT{r.Left, r.Top, r.Right, r.Bottom}, x, y, text);
}

SIZE GetFontTextExtent(TFont& font, const std::string& text)
{
    SIZE size{0, 0};
    TWindowDC screen(nullptr);
    if (!screen.get()) return size;
    TSelectGuard guard(screen.get(), font.Handle());
    if (!GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &size)) size = SIZE{0, 0};
    return size;
}

std::string CutTextToWidth(TCanvas& canvas, const std::string& text, int maxWidth)
{
    if (maxWidth < 1) return "";
    if (canvas.TextWidth(text) <= maxWidth) return text;
    // Shortened until the rest with "..." fits, so that the result fits too.
    std::string result = text;
    while (!result.empty() && canvas.TextWidth(result + "...") > maxWidth)
        result.pop_back();
    return result.empty() ? result : result + "...";
}

void WriteSectionTextEx(TCanvas& canvas, const std::string& text, bool enabled, const TsSkinManager* manager, int state,
                        int sectionIndex, UINT flags, const TRect& r)
{
    HDC dc = canvas.Handle();
    if (!dc) return;
    const TsSkinManager* m = manager ? manager : DefaultManager();
    TSavedDC saved(dc);
    TSelectGuard font(dc, canvas.Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    if (!m || !m->IsValidSkinIndex(sectionIndex)) {
        WriteIn(dc, text, r, flags, canvas.Font().Color());
        return;
    }
    const TsGeneralData& s = m->GeneralData[static_cast<size_t>(sectionIndex)];
    const TsFontColors& colors = state == 0 ? s.FontColor : s.HotFontColor;
    if (!enabled) {
        const TColor back = state == 0 ? s.Color : static_cast<TColor>(ColorToRGB(s.HotColor));
        WriteIn(dc, text, r, flags, BlendColors(static_cast<TColor>(ColorToRGB(colors[1])), back, 0.4));
        return;
    }
    WriteWithContours(dc, text, r, flags, colors);
}

void WriteSectionText(TCanvas& canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                      int sectionIndex, bool hot)
{
    WriteSectionTextEx(canvas, text, enabled, DefaultManager(), hot ? 1 : 0, sectionIndex, flags, r);
}

void WriteSkinTextOf(TCanvas& canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                     const TsSkinManager* manager, int sectionIndex, int state, TBitmap* cache, bool customFont)
{
    HDC dc = canvas.Handle();
    if (!manager || !dc) return;
    const bool valid = manager->IsValidSkinIndex(sectionIndex);
    const TsGeneralData* s = valid ? &manager->GeneralData[static_cast<size_t>(sectionIndex)] : nullptr;
    if (state != 0 && sectionIndex == manager->GetSkinIndex("WEBBUTTON") && valid)
        canvas.Font().SetStyle(canvas.Font().Style() | fsUnderline);
    if (s && cache) {
        const int glow = state == 0 ? s->GlowSize : s->HotGlowSize;
        if (glow != 0)
            WriteTextWithEffects(cache, text, r, canvas.Font(), state == 0 ? s->GlowColor : s->HotGlowColor, glow, 15,
                                 flags);
    }
    TSavedDC saved(dc);
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    TSelectGuard font(dc, canvas.Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    if (s && !enabled) {
        const TsFontColors& colors = state == 0 ? s->FontColor : s->HotFontColor;
        WriteIn(dc, text, r, flags,
                BlendColors(static_cast<TColor>(ColorToRGB(colors[1])), manager->GetGlobalColor(), 0.4));
    } else if (customFont || !s) {
        WriteIn(dc, text, r, customFont ? flags | DT_NOCLIP : flags, canvas.Font().Color());
    } else {
        const TsFontColors& colors = state == 0 ? s->FontColor : s->HotFontColor;
        WriteWithContours(dc, text, r, flags, colors);
    }
}

void WriteTextWithEffects(TBitmap* bmp, const std::string& text, const TRect& r, TFont& font, TColor color, int size,
                          int passes, UINT flags)
{
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (ScanLinesOf(bmp).BytesPerPixel == 0 || w <= 0 || h <= 0 || text.empty()) return;
    auto work = CreateBmp24(w, h);
    HDC dc = work->Canvas().Handle();
    {
        TSavedDC saved(dc);
        FillDC(dc, TRect{0, 0, w, h}, clWhite);
        TSelectGuard guard(dc, font.Handle());
        SetBkMode(dc, TRANSPARENT);
        const int offsets[8][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}, {-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int i = 0; i < std::min(passes - 1, 8); ++i)
            WriteIn(dc, text, TRect{0, 0, w, h}, flags, clBlack, offsets[i][0], offsets[i][1]);
        WriteIn(dc, text, TRect{0, 0, w, h}, flags, clBlack);
    }
    GdiFlush();
    const TvxScanLines rows = ScanLinesOf(work.get());
    std::vector<uint8_t> cover(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            cover[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(255 - rows.Row(y)[3 * x + 2]);
    GaussianBlur(cover, w, h, size);
    auto glow = CreateBmp32(w, h);
    const TvxScanLines g = ScanLinesOf(glow.get());
    const TColor rgb = static_cast<TColor>(ColorToRGB(color));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = g.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(BlueOf(rgb));
            p[1] = static_cast<uint8_t>(GreenOf(rgb));
            p[2] = static_cast<uint8_t>(RedOf(rgb));
            p[3] = cover[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
        }
    AlphaOverBackground(ScanLinesOf(bmp), TPoint{r.Left, r.Top}, g, TRect{0, 0, w, h}, nullptr, TPoint{},
                        TransparentColor);
}
