#include "skin/controls/sBitBtn.h"

#include <algorithm>

#include "gui/base/SysUtils.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sGlyphLayout.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sVclUtils.h"

void StubProc() {}

bool StubFalse() { return false; }

TsBitBtn::TsBitBtn(TComponent* owner) : TsButtonControl(owner)
{
    controlStyle_ |= 0x80u; // takes double clicks; only the opaque flag is cleared
}

void TsBitBtn::Changed(bool repaint)
{
    if (repaint && !InState(csLoading) && !InState(csDestroying)) SkinData().Invalidate();
}

void TsBitBtn::SetBlend(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == blend_) return;
    blend_ = percent;
    Changed();
}

void TsBitBtn::SetGrayed(bool on)
{
    if (StoreIfChanged(grayed_, on)) Changed();
}

void TsBitBtn::SetShowCaption(bool on)
{
    if (StoreIfChanged(showCaption_, on)) Changed();
}

void TsBitBtn::SetDrawOverBorder(bool on)
{
    if (StoreIfChanged(drawOverBorder_, on)) Changed();
}

void TsBitBtn::SetAlignment(TAlignment a)
{
    if (StoreIfChanged(alignment_, a)) Changed();
}

void TsBitBtn::SetTextAlignment(TAlignment a)
{
    if (StoreIfChanged(textAlignment_, a)) Changed();
}

void TsBitBtn::SetImages(TCustomImageList* images)
{
    if (StoreIfChanged(images_, images)) Changed();
}

void TsBitBtn::SetImageIndex(int index)
{
    if (StoreIfChanged(imageIndex_, index)) Changed();
}

void TsBitBtn::Notification(TComponent* component)
{
    TsButtonControl::Notification(component);
    if (component == images_) {
        images_ = nullptr;
        Changed();
    }
}

void TsBitBtn::Invalidate()
{
    SkinData().CacheDirty = true;
    TsButtonControl::Invalidate();
}

void TsBitBtn::Loaded()
{
    TsButtonControl::Loaded();
    if (ImageListUsable()) SetGlyph(nullptr);
}

void TsBitBtn::SetProperty(const std::string& name, const TPropValue& v)
{
    static const TIdentEntry alignments[] = {
        {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
    if (SameText(name, "Blend")) SetBlend(v.AsInt());
    else if (SameText(name, "Grayed")) SetGrayed(v.AsBool());
    else if (SameText(name, "ShowCaption")) SetShowCaption(v.AsBool());
    else if (SameText(name, "DrawOverBorder")) SetDrawOverBorder(v.AsBool());
    else if (SameText(name, "ImageIndex")) SetImageIndex(v.AsInt());
    else if (SameText(name, "Alignment")) SetAlignment(static_cast<TAlignment>(IdentToInt(v, alignments, name)));
    else if (SameText(name, "TextAlignment"))
        SetTextAlignment(static_cast<TAlignment>(IdentToInt(v, alignments, name)));
    else TsButtonControl::SetProperty(name, v);
}

bool TsBitBtn::ImageListUsable() const
{
    return images_ && images_->Count() >= 1 && imageIndex_ >= 0 && imageIndex_ < images_->Count();
}

SIZE TsBitBtn::GlyphSize() const
{
    if (ImageListUsable()) return SIZE{images_->Width() / NumGlyphs(), images_->Height()};
    if (!Glyph().Empty()) return SIZE{Glyph().Width() / NumGlyphs(), Glyph().Height()};
    return SIZE{0, 0};
}

SIZE TsBitBtn::TextSize()
{
    const std::string text = Caption();
    if (!showCaption_ || text.empty()) return SIZE{0, 0};
    const SIZE g = GlyphSize();
    int w = width_ - 2 * Margin();
    if ((Layout() == blGlyphLeft || Layout() == blGlyphRight) && g.cx > 0) w -= g.cx + Spacing();
    TCanvas& c = SkinData().FCacheBmp->Canvas();
    c.Font() = Font();
    RECT r{0, 0, std::max(w, 0), 0};
    DrawTextStr(c.Handle(), text, r,
                TextAlignFlags(this, textAlignment_) | DT_CALCRECT | (WordWrap ? DT_WORDBREAK : 0u));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TRect TsBitBtn::GlyphRect(int state)
{
    const SIZE g = GlyphSize(), t = TextSize();
    const int gw = g.cx, gh = g.cy, tw = t.cx, th = t.cy;
    const int sp = showCaption_ && gw > 0 && !Caption().empty() ? Spacing() : 0;
    const int tm = Margin() >= 0 ? Margin() + 3 : 0;
    const int h = (width_ - gw - sp - tw) / 2 - tm, v = (height_ - gh - sp - th) / 2 - tm;
    int x = 0, y = 0;
    switch (Layout()) {
    case blGlyphLeft:
        x = alignment_ == taLeftJustify ? tm : alignment_ == taRightJustify ? tm + 2 * h : tm + h;
        y = (height_ - gh) / 2;
        break;
    case blGlyphRight:
        x = alignment_ == taLeftJustify    ? width_ - tm - 2 * h - sp - gw
            : alignment_ == taRightJustify ? width_ - gw - tm
                                           : (width_ - gw + sp + tw) / 2;
        y = (height_ - gh) / 2;
        break;
    case blGlyphTop:
        x = (width_ - gw) / 2 + 1;
        y = tm + v;
        break;
    case blGlyphBottom:
        x = (width_ - gw) / 2 + 1;
        y = height_ - tm - v - gh;
        break;
    }
    if (state == 2) {
        ++x;
        ++y;
    }
    TRect r{x, y, x + gw, y + gh};
    if (Reflected) {
        r.Top -= gw / 6;
        r.Bottom -= gw / 6;
    }
    return r;
}

void TsBitBtn::DrawGlyph(int state)
{
    TBitmap* cache = SkinData().FCacheBmp.get();
    const TRect r = GlyphRect(state);
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    if (ImageListUsable()) {
        DrawListGlyph(*cache, r, state);
        return;
    }
    if (Glyph().Empty()) return;
    const int frame = std::min(state, NumGlyphs() - 1);
    TBitmap& g = Glyph();
    BitBlt(cache->Canvas().Handle(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, g.Canvas().Handle(),
           frame * (r.Right - r.Left), 0, SRCCOPY);
}

void TsBitBtn::DrawListGlyph(TBitmap& cache, const TRect& r, int state)
{
    // The item over the key colour, then copied without it: greyed, or blended with what lies
    // below by the disabled half or by Blend in the normal state.
    const TColor key = clFuchsia;
    TBitmap work;
    work.SetPixelFormat(pf24bit);
    work.SetSize(r.Right - r.Left, r.Bottom - r.Top);
    work.Canvas().Brush().SetColor(key);
    work.Canvas().FillRect(RECT{0, 0, work.Width(), work.Height()});
    images_->Draw(work.Canvas(), 0, 0, imageIndex_, true);
    const bool enabled = Enabled();
    if (enabled ? state == 0 && grayed_ : (DisabledGlyphKind & (1u << dgGrayed)) != 0)
        GrayBitmapExceptColor(&work, key);
    const double factor = !enabled                   ? ((DisabledGlyphKind & (1u << dgBlended)) ? 0.5 : 0.0)
                          : state == 0 && blend_ > 0 ? blend_ / 100.0
                                                     : 0.0;
    if (factor > 0)
        BlendBitmapRect(&cache, r.Left, r.Top, key, factor, TRect{0, 0, work.Width() - 1, work.Height() - 1}, &work);
    else CopyBitmapExceptColor(&cache, &work, r.Left, key, r.Top);
}

void TsBitBtn::CachePainted()
{
    if (OnPaint) OnPaint(this, SkinData().FCacheBmp.get());
}

void TsBitBtn::DrawContent()
{
    const int state = CurrentState();
    if (showCaption_) {
        const SIZE g = GlyphSize(), t = TextSize();
        TPoint glyphPos;
        TRect textRect;
        CalcGlyphLayout(TRect{0, 0, width_, height_}, state == 2 ? TPoint{1, 1} : TPoint{}, TPoint{g.cx, g.cy},
                        TPoint{t.cx, t.cy}, Layout(), Margin(), Spacing(), glyphPos, textRect,
                        UseRightToLeftAlignment() ? glRightToLeft : 0u);
        WriteCaption(textRect, TextAlignFlags(this, textAlignment_) | (WordWrap ? DT_WORDBREAK : 0u));
    }
    DrawGlyph(state);
}
