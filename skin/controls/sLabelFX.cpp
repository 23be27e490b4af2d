// The effect label: its shadow values, the blur of the text's shadow and its compositing.
#include <algorithm>
#include <cstdint>

#include "gui/base/SysUtils.h"
#include "skin/controls/sLabel.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/vxFastBitmaps.h"

namespace {

const TIdentEntry kShadowModes[] = {{"smNone", smNone}, {"smCustom", smCustom}, {"smSkin1", smSkin1}};
const TIdentEntry kKindTypes[] = {{"ktStandard", ktStandard}, {"ktCustom", ktCustom}, {"ktSkin", ktSkin}};

// The farthest a shadow reaches: blur passes and offset are taken within these.
constexpr int MaxBlur = 64, MaxDistance = 64;

} // namespace

void TsShadow::SetMode(TsShadowMode mode)
{
    if (mode == mode_) return;
    mode_ = mode;
    owner_.Invalidate();
}

void TsShadow::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    if (color != clNone) SetChannels(static_cast<TColor>(ColorToRGB(color)));
    owner_.Invalidate();
}

void TsShadow::SetChannels(TColor rgb)
{
    red_ = rgb & 0xFF;
    green_ = rgb >> 8 & 0xFF;
    blue_ = rgb >> 16 & 0xFF;
}

void TsShadow::SetBlurCount(int count)
{
    if (count == blurCount_) return;
    blurCount_ = count;
    owner_.Invalidate();
}

void TsShadow::SetDistance(int distance)
{
    if (distance == distance_) return;
    distance_ = distance;
    owner_.Invalidate();
}

void TsKind::SetKindType(TsKindType type)
{
    if (type == kindType_) return;
    kindType_ = type;
    owner_.Invalidate();
}

void TsKind::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    owner_.Invalidate();
}

void BlurShadowCells(std::vector<uint8_t>& buffer, int w, int h, int passes, const std::vector<uint8_t>& lit)
{
    w = std::max(w, 0);
    h = std::max(h, 0);
    const size_t cols = static_cast<size_t>(w) + 2, needed = cols * (static_cast<size_t>(h) + 2);
    if (buffer.size() < 2 * needed) buffer.resize(2 * needed);
    std::fill_n(buffer.begin(), 2 * needed, uint8_t{0});
    auto cell = [&](int x, int y) -> uint8_t& {
        return buffer[static_cast<size_t>(y) * cols + static_cast<size_t>(x)];
    };
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x)
                if (lit[static_cast<size_t>(y - 1) * static_cast<size_t>(w) + static_cast<size_t>(x - 1)])
                    cell(x, y) = 255;
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x)
                cell(x, y) =
                    static_cast<uint8_t>((cell(x, y - 1) + cell(x, y + 1) + cell(x - 1, y) + cell(x + 1, y)) >> 2);
    }
}

TsLabelFX::TsLabelFX(TComponent* owner)
    : TsCustomLabel(owner), shadow_(std::make_unique<TsShadow>(*this)), kind_(std::make_unique<TsKind>(*this)),
      effect_(CreateBmp32(0, 0))
{}

TsLabelFX::~TsLabelFX() = default;

TsEffectValues TsLabelFX::EffectValues()
{
    TsEffectValues v{shadow_->Color(), shadow_->BlurCount(), shadow_->Distance()};
    if (shadow_->Mode() == smSkin1) {
        if (TsSkinManager* m = ActiveManager(); m && m->SkinData.Shadow1Blur != 65535)
            v = TsEffectValues{m->SkinData.Shadow1Color, m->SkinData.Shadow1Blur, m->SkinData.Shadow1Offset};
        if (v.Color != clNone) shadow_->SetChannels(static_cast<TColor>(ColorToRGB(v.Color)));
    }
    v.Blur = std::clamp(v.Blur, 0, MaxBlur);
    v.Distance = std::clamp(v.Distance, -MaxDistance, MaxDistance);
    return v;
}

TColor TsLabelFX::TextColor() const
{
    switch (kind_->KindType()) {
    case ktStandard:
        return static_cast<TColor>(ColorToRGB(Color()));
    case ktCustom:
        return static_cast<TColor>(ColorToRGB(kind_->Color()));
    case ktSkin:
        if (TsSkinManager* m = ActiveManager(); m && m->IsValidSkinIndex(m->CommonIndexes.GlobalInfo)) {
            const TColor c = m->GeneralData[static_cast<size_t>(m->CommonIndexes.GlobalInfo)].FontColor[2];
            if (c != -1) return c;
        }
        return static_cast<TColor>(ColorToRGB(kind_->Color()));
    }
    return clBlack;
}

void TsLabelFX::DoDrawText(TCanvas& canvas, RECT& rect, UINT flags)
{
    if (shadow_->Mode() == smNone) {
        TsCustomLabel::DoDrawText(canvas, rect, flags);
        return;
    }
    const TsEffectValues effect = EffectValues();
    const std::string text = DrawnText(flags);
    if (!ShowAccelChar()) flags |= DT_NOPREFIX;
    HDC dc = canvas.Handle();
    TSelectGuard font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    if (!Enabled()) {
        DrawEmbossedText(dc, text, rect, flags);
        return;
    }
    const int n = static_cast<int>(text.size());
    SetTextColor(dc, static_cast<COLORREF>(TextColor()));
    const bool shadowed = effect.Color != clNone && effect.Blur > 0;
    if ((flags & DT_CALCRECT) || !shadowed) {
        DrawTextA(dc, text.c_str(), n, &rect, flags);
        if ((flags & DT_CALCRECT) && shadowed) {
            marginLow_ = std::min(0, effect.Distance - effect.Blur);
            marginHigh_ = std::max(0, effect.Distance + effect.Blur);
            rect.right += marginHigh_ - marginLow_;
            rect.bottom += marginHigh_ - marginLow_;
        }
        return;
    }
    PaintEffect(canvas, rect, flags, text, effect);
}

void TsLabelFX::PaintEffect(TCanvas& canvas, const RECT& rect, UINT flags, const std::string& text,
                            const TsEffectValues& effect)
{
    HDC dc = canvas.Handle();
    const int n = static_cast<int>(text.size());
    const int w = std::max(0, static_cast<int>(rect.right - rect.left));
    const int h = std::max(0, static_cast<int>(rect.bottom - rect.top));
    const RECT inner{rect.left - marginLow_, rect.top - marginLow_, rect.right - marginHigh_,
                     rect.bottom - marginHigh_};
    effect_->SetSize(w, h);
    if (w > 0 && h > 0) {
        // The text in white on black, moved by the distance: the pixels the shadow grows from.
        HDC edc = effect_->Canvas().Handle();
        const RECT all{0, 0, w, h};
        FillRect(edc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        {
            TSelectGuard font(edc, Font().Handle());
            SetBkMode(edc, TRANSPARENT);
            SetTextColor(edc, RGB(255, 255, 255));
            RECT moved = inner;
            OffsetRect(&moved, effect.Distance, effect.Distance);
            DrawTextA(edc, text.c_str(), n, &moved, flags);
        }
        const TvxScanLines rows = ScanLinesOf(effect_.get());
        std::vector<uint8_t> lit(static_cast<size_t>(w) * static_cast<size_t>(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                lit[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = rows.Row(y)[4 * x] != 0;
        BlurShadowCells(blur_, w, h, effect.Blur, lit);
        // What lies below: the canvas (transparent) or the label's colour (opaque).
        const bool transparent = Transparent();
        if (transparent) BitBlt(edc, 0, 0, w, h, dc, 0, 0, SRCCOPY);
        const COLORREF back = ColorToRGB(Color());
        const int shade[3] = {shadow_->Blue(), shadow_->Green(), shadow_->Red()};
        const int under[3] = {GetBValue(back), GetGValue(back), GetRValue(back)};
        const TvxScanLines pixels = ScanLinesOf(effect_.get());
        const size_t cols = static_cast<size_t>(w) + 2;
        for (int y = 0; y < h; ++y) {
            uint8_t* p = pixels.Row(y);
            for (int x = 0; x < w; ++x, p += 4) {
                const int a = blur_[static_cast<size_t>(y + 1) * cols + static_cast<size_t>(x) + 1];
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<uint8_t>(transparent ? (p[c] * (255 - a) + shade[c] * a) >> 8
                                                            : (shade[c] * a + under[c] * (255 - a)) >> 8);
            }
        }
        BitBlt(dc, 0, 0, w, h, edc, 0, 0, SRCCOPY);
    }
    RECT textRect = inner;
    DrawTextA(dc, text.c_str(), n, &textRect, flags);
}

void TsLabelFX::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Shadow.Mode")) shadow_->SetMode(static_cast<TsShadowMode>(IdentToInt(v, kShadowModes, name)));
    else if (SameText(name, "Shadow.Color")) shadow_->SetColor(IdentToColor(v));
    else if (SameText(name, "Shadow.BlurCount")) shadow_->SetBlurCount(v.AsInt());
    else if (SameText(name, "Shadow.Distance")) shadow_->SetDistance(v.AsInt());
    else if (SameText(name, "Kind.KindType"))
        kind_->SetKindType(static_cast<TsKindType>(IdentToInt(v, kKindTypes, name)));
    else if (SameText(name, "Kind.Color")) kind_->SetColor(IdentToColor(v));
    else TsCustomLabel::SetProperty(name, v);
}
