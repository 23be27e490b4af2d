#include "gui/Published.h"

#include "gui/Buttons.h"
#include "gui/Controls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/base/SysUtils.h"

namespace {

struct TEntry {
    std::string className;
    std::string name;
    TPublishedProperty property;
};

// An ordinal property of class C read and written through its getter and setter.
template <class C, class T>
TEntry Ordinal(const char* className, const char* name, T (C::*get)() const, void (C::*set)(T))
{
    return {
        className,
        name,
        {TPublishedValue::Ordinal,
         [get](TObject& o) { return TPublishedValue::OfOrdinal(static_cast<long long>((static_cast<C&>(o).*get)())); },
         [set](TObject& o, const TPublishedValue& v) { (static_cast<C&>(o).*set)(static_cast<T>(v.ordinal)); },
         {}}};
}

void RegisterLibraryProperties(std::vector<TEntry>& r)
{
    using V = TPublishedValue;
    r.push_back({"TComponent",
                 "Tag",
                 {V::Ordinal,
                  [](TObject& o) { return V::OfOrdinal(static_cast<TComponent&>(o).Tag()); },
                  [](TObject& o, const V& v) { static_cast<TComponent&>(o).SetTag(static_cast<intptr_t>(v.ordinal)); },
                  {}}});
    r.push_back({"TControl",
                 "Color",
                 {V::Ordinal,
                  [](TObject& o) { return V::OfOrdinal(static_cast<TControl&>(o).Color()); },
                  [](TObject& o, const V& v) { static_cast<TControl&>(o).SetColor(static_cast<TColor>(v.ordinal)); },
                  {}}});
    r.push_back({"TControl",
                 "Visible",
                 {V::Ordinal,
                  [](TObject& o) { return V::OfOrdinal(static_cast<TControl&>(o).Visible()); },
                  [](TObject& o, const V& v) { static_cast<TControl&>(o).SetVisible(v.ordinal != 0); },
                  {}}});
    r.push_back({"TControl",
                 "Enabled",
                 {V::Ordinal,
                  [](TObject& o) { return V::OfOrdinal(static_cast<TControl&>(o).Enabled()); },
                  [](TObject& o, const V& v) { static_cast<TControl&>(o).SetEnabled(v.ordinal != 0); },
                  {}}});
    r.push_back({"TControl",
                 "Font",
                 {V::Object, [](TObject& o) { return V::OfObject(&static_cast<TControl&>(o).Font()); }, nullptr, {}}});
    r.push_back(Ordinal<TControl>("TControl", "BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode));
    r.push_back(
        Ordinal<TWinControl>("TWinControl", "BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth));
    r.push_back(Ordinal<TPanel>("TPanel", "BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth));
    r.push_back(Ordinal<TPanel>("TPanel", "BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter));
    r.push_back(Ordinal<TPanel>("TPanel", "BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner));
    r.push_back(Ordinal<TPanel>("TPanel", "BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle));
    using B = TSpeedButton;
    r.push_back({"TSpeedButton",
                 "Glyph",
                 {V::Object, [](TObject& o) { return V::OfObject(&static_cast<B&>(o).Glyph()); }, nullptr, {}}});
    r.push_back(Ordinal<B>("TSpeedButton", "NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs));
    r.push_back(Ordinal<B>("TSpeedButton", "Margin", &B::Margin, &B::SetMargin));
    r.push_back(Ordinal<B>("TSpeedButton", "Spacing", &B::Spacing, &B::SetSpacing));
    TEntry layout = Ordinal<B>("TSpeedButton", "Layout", &B::Layout, &B::SetLayout);
    layout.property.elements = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
    r.push_back(layout);
    r.push_back(Ordinal<B>("TSpeedButton", "Flat", &B::Flat, &B::SetFlat));
    r.push_back(Ordinal<B>("TSpeedButton", "Down", &B::Down, &B::SetDown));
    r.push_back(Ordinal<B>("TSpeedButton", "GroupIndex", &B::GroupIndex, &B::SetGroupIndex));
    r.push_back(Ordinal<B>("TSpeedButton", "AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp));
    const std::vector<std::string> icons = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
    r.push_back(
        {"TForm",
         "BorderIcons",
         {V::Set, [icons](TObject& o) { return SetOfBits(static_cast<TForm&>(o).BorderIcons(), icons); },
          [icons](TObject& o, const V& v) { static_cast<TForm&>(o).SetBorderIcons(BitsOfSet(v, icons)); }, icons}});
}

std::vector<TEntry>& Registry()
{
    static std::vector<TEntry> registry = [] {
        std::vector<TEntry> r;
        RegisterLibraryProperties(r);
        return r;
    }();
    return registry;
}

} // namespace

void RegisterPublishedProperty(const std::string& className, const std::string& name, TPublishedProperty property)
{
    Registry().push_back({className, name, std::move(property)});
}

const TPublishedProperty* FindPublishedProperty(const TObject& object, const std::string& name)
{
    const auto& r = Registry();
    for (auto it = r.rbegin(); it != r.rend(); ++it)
        if (SameText(it->name, name) && object.InheritsFrom(it->className)) return &it->property;
    return nullptr;
}

std::vector<std::string> PublishedPropertyNames(const TObject& object)
{
    std::vector<std::string> names;
    for (const TEntry& e : Registry()) {
        if (!object.InheritsFrom(e.className)) continue;
        bool known = false;
        for (const std::string& n : names)
            known = known || SameText(n, e.name);
        if (!known) names.push_back(e.name);
    }
    return names;
}

TPublishedValue SetOfBits(unsigned bits, const std::vector<std::string>& elements)
{
    TPublishedValue v;
    v.kind = TPublishedValue::Set;
    for (size_t i = 0; i < elements.size() && i < 32; ++i)
        if (bits & (1u << i)) v.set.push_back(elements[i]);
    return v;
}

unsigned BitsOfSet(const TPublishedValue& value, const std::vector<std::string>& elements)
{
    unsigned bits = 0;
    for (const std::string& name : value.set)
        for (size_t i = 0; i < elements.size() && i < 32; ++i)
            if (SameText(elements[i], name)) bits |= 1u << i;
    return bits;
}
