#include "skin/controls/sBoundLabel.h"

#include <algorithm>
#include <utility>

#include "gui/Controls.h"
#include "gui/Messages.h"
#include "gui/base/SysUtils.h"
#include "skin/controls/sLabel.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSectionPaint.h"

TsBoundLabel::TsBoundLabel(TsCommonData* skinData) : skinData_(skinData) {}

TsBoundLabel::~TsBoundLabel()
{
    if (TsEditLabel* label = std::exchange(label_, nullptr)) {
        label->ForgetBoundLabel();
        label->Free();
    }
}

TControl* TsBoundLabel::Control() const { return skinData_ ? skinData_->FOwnerControl : nullptr; }

TFont& TsBoundLabel::Font() { return label_ ? label_->Font() : font_; }

void TsBoundLabel::SetFont(const TFont& font)
{
    if (!label_) {
        font_ = font;
        return;
    }
    label_->Font() = font;
    if (TControl* c = Control()) label_->SetParent(c->Parent());
    AlignLabel();
}

bool TsBoundLabel::UseSkinColor() const { return label_ ? label_->UseSkinColor() : true; }

void TsBoundLabel::SetUseSkinColor(bool on)
{
    if (label_) label_->SetUseSkinColor(on);
}

void TsBoundLabel::SetIndent(int indent)
{
    if (indent == indent_) return;
    indent_ = indent;
    if (active_) AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int width)
{
    if (width == maxWidth_) return;
    maxWidth_ = width;
    if (active_) AlignLabel();
}

void TsBoundLabel::ApplyAlignment()
{
    if (!label_) return;
    static const TAlignment byLayout[] = {taRightJustify, taLeftJustify, taCenter, taRightJustify};
    label_->SetAlignment(byLayout[layout_]);
}

void TsBoundLabel::SetLayout(TsCaptionLayout layout)
{
    if (layout == layout_) return;
    layout_ = layout;
    ApplyAlignment();
    if (active_) AlignLabel();
}

void TsBoundLabel::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    if (active_ && label_) {
        label_->SetCaption(caption_);
        AlignLabel();
    }
}

void TsBoundLabel::SetActive(bool on)
{
    TControl* c = Control();
    if (!on) {
        if (TsEditLabel* label = std::exchange(label_, nullptr)) {
            label->ForgetBoundLabel();
            label->Free();
        }
        active_ = false;
        return;
    }
    if (!c) return;
    if (!label_) {
        label_ = new TsEditLabel(c, this);
        label_->Font() = font_;
    }
    label_->SetVisible(false);
    label_->SetParent(c->Parent());
    label_->SetFocusControl(dynamic_cast<TWinControl*>(c));
    ApplyAlignment();
    label_->SetName(c->Name() + "Label");
    if (caption_.empty()) caption_ = c->Name();
    label_->SetCaption(caption_);
    label_->SetVisible(c->Visible());
    label_->SetEnabled(c->Enabled());
    active_ = true;
    AlignLabel();
}

void TsBoundLabel::AlignLabel()
{
    TControl* c = Control();
    if (!label_ || !c || !label_->Visible()) return;
    label_->SetAutoSize(true);
    const int x = c->Left(), y = c->Top(), w = c->Width(), h = c->Height();
    const int lw = label_->Width(), lh = label_->Height();
    int left = x, top = y - lh - indent_;
    switch (layout_) {
    case sclLeft:
        left = x - lw - 4 - indent_;
        top = y - 1 + (h - lh) / 2;
        break;
    case sclTopLeft:
        break;
    case sclTopCenter:
        left = x + (w - lw) / 2;
        break;
    case sclTopRight:
        left = x + w - lw;
        break;
    }
    label_->SetBounds(left, top, lw, lh);
    label_->SetParent(c->Parent());
    if (maxWidth_ != 0) {
        label_->SetAutoSize(false);
        label_->SetWidth(maxWidth_);
        label_->SetWordWrap(true);
        label_->SetHeight(std::max(label_->Height(), h));
    }
}

void TsBoundLabel::LabelDestroyed(TsEditLabel* label)
{
    if (label != label_) return;
    label_ = nullptr;
    active_ = false;
}

void TsBoundLabel::FollowControl(UINT msg, unsigned disabledKind)
{
    TControl* control = Control();
    if (!label_ || !control) return;
    switch (msg) {
    case CM_ENABLEDCHANGED:
        label_->SetEnabled(control->Enabled() || !(disabledKind & dkBlended));
        break;
    case CM_BIDIMODECHANGED:
        label_->SetBiDiMode(control->BiDiMode());
        break;
    case CM_VISIBLECHANGED:
        label_->SetVisible(control->Visible());
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        break;
    default:
        return;
    }
    AlignLabel();
}

bool TsBoundLabel::SetProperty(const std::string& name, const TPropValue& v, bool& activate)
{
    static const TIdentEntry layouts[] = {
        {"sclLeft", sclLeft}, {"sclTopLeft", sclTopLeft}, {"sclTopCenter", sclTopCenter}, {"sclTopRight", sclTopRight}};
    if (SameText(name, "BoundLabel.Active")) activate = v.AsBool();
    else if (SameText(name, "BoundLabel.Caption")) SetCaption(v.AsString());
    else if (SameText(name, "BoundLabel.Indent")) SetIndent(v.AsInt());
    else if (SameText(name, "BoundLabel.MaxWidth")) SetMaxWidth(v.AsInt());
    else if (SameText(name, "BoundLabel.UseSkinColor")) SetUseSkinColor(v.AsBool());
    else if (SameText(name, "BoundLabel.Layout")) SetLayout(static_cast<TsCaptionLayout>(IdentToInt(v, layouts, name)));
    else if (name.size() > 16 && SameText(name.substr(0, 16), "BoundLabel.Font.")) {
        TFont font = Font();
        if (!font.SetProperty(name.substr(16), v)) return false;
        SetFont(font);
    } else return false;
    return true;
}
