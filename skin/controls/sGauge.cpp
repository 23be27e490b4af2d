// The skinned gauge: its range rules, the classic painting, the skinned look with its bar, and
// the light that sweeps along the bar.
#include "skin/controls/sGauge.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <string>

#include "gui/Forms.h"
#include "gui/base/Exceptions.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sAlphaBitmap.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/engine/vxPNG.h"
#include "skin/engine/vxResample.h"
#include "skin/engine/vxFastBitmaps.h"
#include "skin/windows/sVclUtils.h"

namespace {

const TIdentEntry kBorderStyles[] = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};

// The light: 300 pixels long, a sweep every 2222 ms in steps of 22 ms.
constexpr int LightLength = 300, Cycle = 2222, Tick = 22;
constexpr UINT TextFlags = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

std::string lightResource = "VXGL";

[[noreturn]] void OutOfRange(long long low, long long high)
{
    throw EInvalidOperation("Wert muss zwischen " + std::to_string(low) + " und " + std::to_string(high) + " liegen");
}

void Fill(HDC dc, const RECT& r, TColor color)
{
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    FillRect(dc, &r, brush.get());
}

// The light's PNG from the program's resources as a 32-bit picture; none when the resource is
// missing or is no PNG.
std::unique_ptr<TBitmap> LightPicture()
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (!FindResourceA(module, lightResource.c_str(), MAKEINTRESOURCEA(10))) return nullptr;
    auto png = std::make_unique<TPNGGraphic>();
    try {
        png->LoadFromResourceName(module, lightResource);
    } catch (const std::exception&) {
        return nullptr;
    }
    if (png->Empty()) return nullptr;
    PrepareForAlpha(*png);
    return png;
}

} // namespace

std::string SetGaugeLightResource(const std::string& name) { return std::exchange(lightResource, name); }

TsGauge::TsGauge(TComponent* owner) : TsLinkedControl(owner), timer_(std::make_unique<TTimer>(nullptr))
{
    SetBounds(Left(), Top(), 120, 30);
    SetProgress(47);
    SkinData().FCacheBmp.reset();
    SkinData().UpdateDefaultSection();
    timer_->SetEnabled(false);
    timer_->SetInterval(Tick);
    timer_->OnTimer = [this](TObject*) { AnimationTick(); };
}

TsGauge::~TsGauge() { timer_.reset(); }

void TsGauge::SetMinValue(int v)
{
    if (v > MaxValue() && !InState(csLoading)) OutOfRange(-INT_MAX, static_cast<long long>(MaxValue()) - 1);
    TGauge::SetMinValue(v);
}

void TsGauge::SetMaxValue(int v)
{
    if (v != MaxValue() && v < MinValue() && !InState(csLoading))
        OutOfRange(static_cast<long long>(MinValue()) + 1, INT_MAX);
    TGauge::SetMaxValue(v);
}

void TsGauge::SetSuffix(const std::string& suffix)
{
    if (suffix == suffix_) return;
    suffix_ = suffix;
    SkinData().Invalidate();
}

void TsGauge::SetCalcPercents(bool on)
{
    if (on == calcPercents_) return;
    calcPercents_ = on;
    SkinData().Invalidate();
}

void TsGauge::SetBorderStyle(TBorderStyle style)
{
    if (style == borderStyle_) return;
    borderStyle_ = style;
    Repaint();
}

void TsGauge::SetAnimated(bool on)
{
    if (on == animated_) return;
    animated_ = on;
    barImage_ = {};
    SetTimerOn(on);
}

void TsGauge::SetProgressSkin(const std::string& section)
{
    if (section == progressSkin_) return;
    progressSkin_ = section;
    SkinData().BGChanged = true;
    Repaint();
}

void TsGauge::SetTimerOn(bool on) { timer_->SetEnabled(on); }

bool TsGauge::AnimationRunning() const { return timer_->Enabled(); }

std::string TsGauge::ShownText() const { return std::to_string(calcPercents_ ? PercentDone() : Progress()) + suffix_; }

int TsGauge::BarLength(int percent, int size) { return static_cast<int>(size * (percent * 0.01)); }

void TsGauge::Loaded()
{
    TsLinkedControl::Loaded();
    if (animated_) SetTimerOn(true);
}

// ---- classic painting

void TsGauge::DrawClassicKind(HDC dc, const RECT& r, int w, int h)
{
    const int percent = PercentDone();
    const double pi = std::numbers::pi;
    TPenHandle pen(CreatePen(PS_SOLID, 1, ColorToRGB(ForeColor())));
    TBrushHandle fore(CreateSolidBrush(ColorToRGB(ForeColor())));
    TBrushHandle back(CreateSolidBrush(ColorToRGB(BackColor())));
    TSavedDC saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, pen.get());
    switch (Kind()) {
    case gkText:
        Fill(dc, r, BackColor());
        break;
    case gkHorizontalBar:
    case gkVerticalBar: {
        Fill(dc, r, BackColor());
        if (Kind() == gkHorizontalBar) {
            const int length = std::min(w, BarLength(percent, w));
            const RECT done{r.left, r.top, r.left + length, r.top + h};
            if (length > 0) FillRect(dc, &done, fore.get());
        } else {
            int length = BarLength(percent, h);
            if (length >= h) length = h - 1;
            const RECT done{r.left, h - length, w, h};
            FillRect(dc, &done, fore.get());
        }
        break;
    }
    case gkPie: {
        Fill(dc, r, Color());
        SelectObject(dc, back.get());
        Ellipse(dc, r.left, r.top, r.left + w, r.top + h);
        if (percent > 0) {
            SelectObject(dc, fore.get());
            const int cx = w / 2, cy = h / 2;
            const double a = pi * (percent / 50.0 + 0.5);
            Pie(dc, r.left, r.top, r.left + w, r.top + h, static_cast<int>(std::lround(cx * (1 - std::cos(a)))),
                static_cast<int>(std::lround(cy * (1 - std::sin(a)))), cx, 0);
        }
        break;
    }
    case gkNeedle: {
        Fill(dc, r, Color());
        SelectObject(dc, back.get());
        const int bottom = r.bottom;
        Pie(dc, r.left, r.top, r.left + w, r.top + 2 * h - 1, r.left + w, bottom - 1, r.left, bottom - 1);
        MoveToEx(dc, r.left, bottom - 1, nullptr);
        LineTo(dc, r.left + w, bottom - 1);
        if (percent > 0) {
            const int mx = Width() / 2;
            const double a = pi * percent / 100;
            MoveToEx(dc, mx, bottom - 1, nullptr);
            LineTo(dc, static_cast<int>(std::lround(mx * (1 - std::cos(a)))),
                   static_cast<int>(std::lround((bottom - 1) * (1 - std::sin(a)))));
        }
        break;
    }
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
}

void TsGauge::PaintClassic(TCanvas& canvas)
{
    const int width = Width(), height = Height();
    const RECT all{0, 0, width, height};
    RECT r = all;
    if (borderStyle_ == bsSingle) InflateRect(&r, -1, -1);
    // Lengths count the right and bottom edge in with a border.
    const int extra = borderStyle_ == bsSingle ? 1 : 0;
    const int w = r.right - r.left + extra, h = r.bottom - r.top + extra;
    auto image = CreateBmp24(width, height);
    HDC dc = image->Canvas().Handle();
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    {
        auto overlay = CreateBmp24(width, height);
        HDC o = overlay->Canvas().Handle();
        FillRect(o, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DrawClassicKind(o, r, w, h);
        BitBlt(dc, 0, 0, width, height, o, 0, 0, SRCINVERT);
    }
    if (ShowText()) {
        // White text on black, inverted into the picture: it shows over bar and background.
        auto text = CreateBmp24(width, height);
        HDC t = text->Canvas().Handle();
        FillRect(t, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const std::string s = ShownText();
        TSelectGuard font(t, Font().Handle());
        SIZE size{};
        GetTextExtentPoint32A(t, s.c_str(), static_cast<int>(s.size()), &size);
        SetBkMode(t, TRANSPARENT);
        SetTextColor(t, RGB(255, 255, 255));
        const int x = (r.right - r.left + 1 - size.cx) / 2, y = (r.bottom - r.top + 1 - size.cy) / 2;
        ExtTextOutA(t, x, y, ETO_CLIPPED, &r, s.c_str(), static_cast<UINT>(s.size()), nullptr);
        BitBlt(dc, 0, 0, width, height, t, 0, 0, SRCINVERT);
    }
    BitBlt(canvas.Handle(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

// ---- skinned painting

void TsGauge::Paint(TCanvas& canvas)
{
    if (Width() < 1 || Height() < 1) return;
    TsCommonData& link = SkinData();
    if (!link.Skinned()) {
        PaintClassic(canvas);
        return;
    }
    if (link.GetUpdating()) {
        canvas.SetPixel(0, 0, clFuchsia);
        return;
    }
    PrepareCache();
    FillParentCorners(link.Fields(), 0);
    BitBlt(canvas.Handle(), 0, 0, Width(), Height(), link.FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
    link.FCacheBmp.reset();
}

void TsGauge::PrepareCache()
{
    TsCommonData& link = SkinData();
    link.InitCacheBmp();
    TBitmap* cache = link.FCacheBmp.get();
    const TRect all{0, 0, Width(), Height()};
    TsCacheInfo parent;
    GetParentCacheInfo(&link, parent);
    const TsLinkFields fields = link.Fields();
    PaintItem(fields, parent, true, 0, cache, TPoint{}, all);
    if (ShowText()) WriteSkinText(cache->Canvas(), ShownText(), Enabled(), all, TextFlags, fields, 0);
    switch (Kind()) {
    case gkHorizontalBar:
    case gkVerticalBar:
        PaintSkinnedBar(cache);
        break;
    case gkPie:
    case gkNeedle: {
        HDC dc = cache->Canvas().Handle();
        const RECT r{0, 0, Width(), Height()};
        DrawClassicKind(dc, r, Width(), Height());
        break;
    }
    case gkText:
        break;
    }
    link.BGChanged = false;
    link.CacheDirty = false;
}

void TsGauge::PaintSkinnedBar(TBitmap* cache)
{
    const TsSkinManager* m = SkinData().GetSkinManager();
    const bool vertical = Kind() == gkVerticalBar;
    std::string section = UpperCase(progressSkin_);
    if (section.empty()) section = vertical && !animated_ ? "PROGRESSV" : "PROGRESSH";
    int index = m->GetSkinIndex(section);
    const int width = Width(), height = Height();
    if (vertical && !animated_) {
        if (index < 0) return;
        const int length = std::min(BarLength(PercentDone(), height), height);
        if (length <= 0) return;
        auto bar = CreateBmp24(width, length);
        PaintSection(bar.get(), TRect{0, 0, width, length}, index, m, 0, MakeCacheInfo(cache, 0, height - length));
        if (ShowText()) {
            bar->Canvas().Font() = Font();
            // Placed as the text below it: the whole height, moved up by the part not covered.
            WriteSectionTextEx(bar->Canvas(), ShownText(), Enabled(), m, 0, index, TextFlags,
                               TRect{0, length - height, width, length});
        }
        BitBlt(cache->Canvas().Handle(), 0, height - length, width, length, bar->Canvas().Handle(), 0, 0, SRCCOPY);
        return;
    }
    if (!vertical) {
        PaintHorizontalBar(cache, index);
        return;
    }
    // Animated and vertical: turned, painted as a horizontal bar from the bottom, turned back.
    if (index < 0) index = m->GetSkinIndex("PROGRESSH");
    auto turned = RotateBitmap90(cache, true);
    if (!turned) return;
    PaintHorizontalBar(turned.get(), index);
    auto back = RotateBitmap90(turned.get(), false);
    if (back) BitBlt(cache->Canvas().Handle(), 0, 0, width, height, back->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TsGauge::PaintHorizontalBar(TBitmap* target, int section)
{
    const TsSkinManager* m = SkinData().GetSkinManager();
    const int width = target->Width(), height = target->Height();
    const int length = std::min(BarLength(PercentDone(), width), width);
    if (length < 1 || !m->IsValidSkinIndex(section)) return;
    auto bar = CreateBmp24(length, height);
    const TvxScanLines rows = ScanLinesOf(bar.get());
    if (barImage_.Lines.Width != length || barImage_.Lines.Height != height) {
        PaintSection(bar.get(), TRect{0, 0, length, height}, section, m, 0, MakeCacheInfo(target, 0, 0));
        barImage_ = TPixels(length, height, 3);
        for (int y = 0; y < height; ++y)
            std::copy_n(rows.Row(y), 3 * length, barImage_.Lines.Row(y));
    } else {
        for (int y = 0; y < height; ++y)
            std::copy_n(barImage_.Lines.Row(y), 3 * length, rows.Row(y));
    }
    if (animated_ && lightPos_ < length + LightLength) DrawLight(bar.get(), section);
    if (ShowText()) {
        bar->Canvas().Font() = Font();
        WriteSectionTextEx(bar->Canvas(), ShownText(), Enabled(), m, 0, section, TextFlags, TRect{0, 0, width, height});
    }
    BitBlt(target->Canvas().Handle(), 0, 0, length, height, bar->Canvas().Handle(), 0, 0, SRCCOPY);
}

// ---- the light

const TvxScanLines* TsGauge::Light(int thickness)
{
    if (thickness != lightThickness_) {
        lightThickness_ = thickness;
        light_ = MakeLight(thickness);
    }
    return light_.Lines.Width > 0 ? &light_.Lines : nullptr;
}

TsGauge::TPixels TsGauge::MakeLight(int thickness) const
{
    std::unique_ptr<TBitmap> png = thickness > 0 ? LightPicture() : nullptr;
    if (!png) return {};
    // Rows taken off the top of a picture taller than the gauge (none when that would leave
    // the light too thin).
    int skip = 0;
    if (png->Height() > Height()) skip = (png->Height() - thickness) / 2 + 1;
    if (thickness < 2 * skip) skip = 0;
    TvxScanLines source = ScanLinesOf(png.get());
    if (source.BytesPerPixel != 4 || source.Height - skip < 1 || source.Width < 1) return {};
    source.Scan0 = source.Row(skip);
    source.Height -= skip;
    TPixels work(LightLength, source.Height, 4), light(LightLength, thickness, 4);
    ResampleHorizontal(source, work.Lines, 1);
    ResampleVertical(work.Lines, light.Lines, 1);
    return light;
}

void TsGauge::DrawLight(TBitmap* bar, int section)
{
    const TvxScanLines* light = Light(bar->Height());
    if (!light) return;
    const int length = bar->Width(), height = bar->Height();
    const int from = std::max(0, lightPos_), to = std::min(length, lightPos_ + LightLength);
    if (from >= to) return;
    const TvxScanLines rows = ScanLinesOf(bar);
    const TsSkinManager* m = SkinData().GetSkinManager();
    const std::string name = m->GeneralData[static_cast<size_t>(section)].Name;
    const int region = m->GetMaskIndex(section, name, "LRGN");
    if (!m->IsValidImgIndex(region)) {
        DrawAlphaBitmap(rows, TRect{from, 0, to, height}, *light, TRect{from - lightPos_, 0, to - lightPos_, height}, 0,
                        false, clNone, false);
        return;
    }
    // Inside the region the section's LRGN image gives (its white pixels keep the bar).
    auto mask = CreateBmp24(length, height);
    const RECT all{0, 0, length, height};
    FillRect(mask->Canvas().Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawBorderMask(mask.get(), TRect{0, 0, length, height}, 0, m, region, true);
    TPixels layer(length, height, 4);
    for (int y = 0; y < height; ++y)
        std::copy_n(light->Row(y) + 4 * (from - lightPos_), 4 * (to - from), layer.Lines.Row(y) + 4 * from);
    BlendAlpha32Onto24(rows, layer.Lines, ScanLinesOf(mask.get()), TRect{from, 0, to, height});
}

void TsGauge::AnimationTick()
{
    if (!SkinData().Skinned()) {
        SetTimerOn(false);
        return;
    }
    if (clock_ > Cycle) {
        clock_ = 0;
        lightPos_ = -LightLength;
    }
    clock_ += Tick;
    const int full = Kind() == gkVerticalBar ? Height() : Width();
    if (lightPos_ >= full) return;
    if (Visible() && Progress() >= 1) Repaint();
    lightPos_ += std::max(15, static_cast<int>(std::lround(full / (Cycle / 44.0))));
}

// ---- messages and properties

void TsGauge::WndProc(TMessage& m)
{
    TsCommonData& link = SkinData();
    if (m.Msg == SM_VELOCONCMD) {
        switch (HIWORD(m.WParam)) {
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case 60:
            m.Result = reinterpret_cast<LRESULT>(Application);
            return;
        case cmdUpdateEnded:
            if (link.Updating) {
                link.Updating = false;
                Repaint();
            }
            return;
        case cmdSkinChanged:
            if (!FromOwnManager(link, m.LParam)) break;
            HandleSkinCommand(m, link);
            return;
        case cmdRemoveSkin:
            if (!FromOwnManager(link, m.LParam)) break;
            if (animated_) SetTimerOn(false);
            barImage_ = {};
            HandleSkinCommand(m, link);
            Repaint();
            return;
        case cmdRefresh:
            if (!FromOwnManager(link, m.LParam)) break;
            barImage_ = {};
            HandleSkinCommand(m, link);
            Repaint();
            if (animated_) SetTimerOn(true);
            return;
        default:
            break;
        }
    }
    switch (m.Msg) {
    case WM_PAINT:
        if (m.WParam) PaintGraphicControlOn(*this, reinterpret_cast<HDC>(m.WParam));
        return;
    case CM_TEXTCHANGED: // the whole percentage changed
        if (!SkinUpdating) link.CacheDirty = true;
        break;
    default:
        break;
    }
    if (ControlIsReady(this) && link.Skinned() && HandleControlMessage(m, link)) return;
    TGauge::WndProc(m);
}

void TsGauge::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Suffix")) SetSuffix(v.AsString());
    else if (SameText(name, "CalcPercents")) SetCalcPercents(v.AsBool());
    else if (SameText(name, "BorderStyle"))
        SetBorderStyle(static_cast<TBorderStyle>(IdentToInt(v, kBorderStyles, name)));
    else if (SameText(name, "Animated")) SetAnimated(v.AsBool());
    else if (SameText(name, "ProgressSkin")) SetProgressSkin(v.AsString());
    else TsLinkedControl::SetProperty(name, v);
}
