#include "gui/Buttons.h"

#include <windowsx.h>

#include <algorithm>

#include "gui/base/Handles.h"
#include "gui/base/PropValue.h"
#include "gui/base/SysUtils.h"

TSpeedButtonLayout LayoutSpeedButton(SIZE client, SIZE glyph, SIZE text, TButtonLayout layout, int margin, int spacing,
                                     bool pressed)
{
    if (text.cx <= 0 || text.cy <= 0) spacing = 0;
    TSpeedButtonLayout l{};
    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
    // Along the layout: the client's length, the glyph's and the caption's.
    const LONG length = across ? client.cx : client.cy;
    const LONG g = across ? glyph.cx : glyph.cy, t = across ? text.cx : text.cy;
    const LONG start = margin == -1 ? (length - g - spacing - t) / 2 : margin;
    LONG glyphAt = start, textAt = start + g + spacing;
    if (layout == blGlyphRight || layout == blGlyphBottom) {
        glyphAt = length - start - g;
        textAt = glyphAt - spacing - t;
    }
    if (across) {
        l.Glyph = POINT{glyphAt, (client.cy - glyph.cy) / 2};
        l.Text = RECT{textAt, (client.cy - text.cy) / 2, textAt + text.cx, (client.cy - text.cy) / 2 + text.cy};
    } else {
        l.Glyph = POINT{(client.cx - glyph.cx) / 2, glyphAt};
        l.Text = RECT{(client.cx - text.cx) / 2, textAt, (client.cx - text.cx) / 2 + text.cx, textAt + text.cy};
    }
    if (pressed) {
        ++l.Glyph.x;
        ++l.Glyph.y;
        OffsetRect(&l.Text, 1, 1);
    }
    return l;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner)
{
    width_ = 23;
    height_ = 22;
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(const TBitmap* glyph)
{
    picture_.SetGlyph(glyph);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int count)
{
    if (picture_.SetNumGlyphs(count)) Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout layout)
{
    if (picture_.SetLayout(layout)) Invalidate();
}

void TSpeedButton::SetMargin(int margin)
{
    if (picture_.SetMargin(margin)) Invalidate();
}

void TSpeedButton::SetSpacing(int spacing)
{
    if (picture_.SetSpacing(spacing)) Invalidate();
}

void TSpeedButton::SetFlat(bool flat)
{
    if (flat == flat_) return;
    flat_ = flat;
    Invalidate();
}

void TSpeedButton::SetDown(bool down)
{
    if (groupIndex_ == 0) down = false;
    if (down == down_) return;
    if (down_ && !down && !allowAllUp_) return;
    down_ = down;
    if (down_) ReleaseGroup();
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int index)
{
    if (index == groupIndex_) return;
    groupIndex_ = index;
    if (groupIndex_ == 0) down_ = false;
    else if (down_) ReleaseGroup();
    Invalidate();
}

void TSpeedButton::ReleaseGroup()
{
    if (!parent_ || groupIndex_ == 0) return;
    for (int i = 0; i < parent_->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(parent_->Controls(i));
        if (!other || other == this || other->groupIndex_ != groupIndex_ || !other->down_) continue;
        other->down_ = false;
        other->Invalidate();
    }
}

TButtonState TSpeedButton::State() const
{
    if (!enabled_) return bsDisabled;
    if (pressed_ && mouseInside_) return bsDown;
    return down_ ? bsExclusive : bsUp;
}

void TSpeedButton::Pressed(bool pressed)
{
    if (pressed == pressed_) return;
    pressed_ = pressed;
    Invalidate();
}

void TSpeedButton::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        mouseInside_ = m.Msg == CM_MOUSEENTER;
        if (flat_ || pressed_) Invalidate();
        break;
    case WM_LBUTTONDOWN:
        if (enabled_) {
            mouseInside_ = true;
            Pressed(true);
        }
        break;
    case WM_MOUSEMOVE:
        if (pressed_) {
            const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
            const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
            if (inside != mouseInside_) {
                mouseInside_ = inside;
                Invalidate();
            }
        }
        break;
    case WM_LBUTTONUP: {
        const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        const bool click = pressed_ && x >= 0 && y >= 0 && x < width_ && y < height_;
        Pressed(false);
        if (click && groupIndex_ != 0) SetDown(!down_);
        break;
    }
    default:
        break;
    }
    TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint(TCanvas& canvas)
{
    const HDC dc = canvas.Handle();
    RECT r{0, 0, width_, height_};
    const TButtonState state = State();
    const bool down = state == bsDown || state == bsExclusive;
    if (!flat_) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    } else if (down || mouseInside_) {
        DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    canvas.Font() = font_;
    TSelectGuard font(dc, canvas.Font().Handle());
    RECT measured{0, 0, 0, 0};
    if (!caption_.empty()) {
        measured.right = 255;
        DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &measured,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    }
    const int frames = picture_.NumGlyphs;
    TBitmap& picture = *picture_.Glyph;
    const SIZE glyph{picture.Empty() ? 0 : picture.Width() / frames, picture.Empty() ? 0 : picture.Height()};
    const TSpeedButtonLayout l = LayoutSpeedButton(SIZE{width_, height_}, glyph, SIZE{measured.right, measured.bottom},
                                                   picture_.Layout, picture_.Margin, picture_.Spacing, down);
    if (glyph.cx > 0) {
        const int frame = static_cast<int>(state) < frames ? static_cast<int>(state) : 0;
        const HDC src = picture.Canvas().Handle();
        const COLORREF transparent = GetPixel(src, 0, picture.Height() - 1);
        TransparentBlt(dc, l.Glyph.x, l.Glyph.y, glyph.cx, glyph.cy, src, frame * glyph.cx, 0, glyph.cx, glyph.cy,
                       transparent);
    }
    if (!caption_.empty()) {
        RECT t = l.Text;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(enabled_ ? font_.Color() : clGrayText));
        DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &t,
                  DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    }
}

void TSpeedButton::SetProperty(const std::string& name, const TPropValue& v)
{
    static const TIdentEntry layouts[] = {{"blGlyphLeft", blGlyphLeft},
                                          {"blGlyphRight", blGlyphRight},
                                          {"blGlyphTop", blGlyphTop},
                                          {"blGlyphBottom", blGlyphBottom}};
    if (SameText(name, "NumGlyphs")) SetNumGlyphs(v.AsInt());
    else if (SameText(name, "Layout")) SetLayout(static_cast<TButtonLayout>(IdentToInt(v, layouts, name)));
    else if (SameText(name, "Margin")) SetMargin(v.AsInt());
    else if (SameText(name, "Spacing")) SetSpacing(v.AsInt());
    else if (SameText(name, "Flat")) SetFlat(v.AsBool());
    else if (SameText(name, "GroupIndex")) SetGroupIndex(v.AsInt());
    else if (SameText(name, "AllowAllUp")) SetAllowAllUp(v.AsBool());
    else if (SameText(name, "Down")) SetDown(v.AsBool());
    else TGraphicControl::SetProperty(name, v);
}
