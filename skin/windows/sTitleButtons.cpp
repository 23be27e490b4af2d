#include "skin/windows/sTitleButtons.h"

#include "gui/HintWindow.h"
#include "gui/Published.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"

namespace {

using V = TPublishedValue;

void RegisterTitleButtonProperties()
{
    const char* cls = TsTitleButton::StaticClassName;
    const auto flag = [cls](const char* name, bool TsTitleButton::*member) {
        RegisterPublishedProperty(
            cls, name,
            {V::Ordinal,
             [=](TObject& o) { return V::OfOrdinal(static_cast<TsTitleButton&>(o).*member); },
             [=](TObject& o, const V& v) { static_cast<TsTitleButton&>(o).*member = v.ordinal != 0; },
             {}});
    };
    const auto text = [cls](const char* name, std::string TsTitleButton::*member) {
        RegisterPublishedProperty(cls, name,
                                  {V::Text,
                                   [=](TObject& o) { return V::OfText(static_cast<TsTitleButton&>(o).*member); },
                                   [=](TObject& o, const V& v) { static_cast<TsTitleButton&>(o).*member = v.text; },
                                   {}});
    };
    flag("Enabled", &TsTitleButton::Enabled);
    RegisterPublishedProperty(
        cls, "Glyph",
        {V::Object, [](TObject& o) { return V::OfObject(&static_cast<TsTitleButton&>(o).Glyph()); }, nullptr, {}});
    text("Hint", &TsTitleButton::Hint);
    text("Name", &TsTitleButton::Name);
    flag("UseSkinData", &TsTitleButton::UseSkinData);
    RegisterPublishedProperty(
        cls, "Visible",
        {V::Ordinal,
         [](TObject& o) { return V::OfOrdinal(static_cast<TsTitleButton&>(o).Visible()); },
         [](TObject& o, const V& v) { static_cast<TsTitleButton&>(o).SetVisible(v.ordinal != 0); },
         {}});
}

} // namespace

int CaptionButtonWidth(const TsSkinManager* m, int index)
{
    if (!m || !m->IsValidImgIndex(index)) return 21;
    const TsMaskData& md = m->MaskData[static_cast<size_t>(index)];
    if (md.Bmp && md.ImageCount > 0) return md.Bmp->Width() / md.ImageCount;
    return MaskFrameWidth(md);
}

int CaptionButtonHeight(const TsSkinManager* m, int index)
{
    if (!m || !m->IsValidImgIndex(index)) return 21;
    const TsMaskData& md = m->MaskData[static_cast<size_t>(index)];
    if (md.Bmp) return md.Bmp->Height() / 2;
    return MaskFrameHeight(md);
}

int IconSizeFor(int captionHeight) { return captionHeight < 9 ? 1 : captionHeight <= 16 ? 8 : 16; }

TsTitleButton::TsTitleButton() : HintWindow(nullptr, [](THintWindow* h) { h->Free(); })
{
    static const bool registered = (RegisterTitleButtonProperties(), true);
    (void)registered;
}

TsTitleButton::~TsTitleButton() = default;

void TsTitleButton::SetVisible(bool v)
{
    if (v == visible_) return;
    visible_ = v;
    if (auto* buttons = dynamic_cast<TsTitleButtons*>(Collection()))
        if (TsSkinProvider* p = buttons->Provider()) p->RefreshNonClient();
}

void TsTitleButton::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TsTitleButton::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* provider) : provider_(provider) {}
