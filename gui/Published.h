// Published properties by name: code that meets an object of any class and asks whether it
// has a property, and reads or writes it (the skin code does), finds it here. A property is
// registered for a class name and found for that class and every class derived from it (the
// last registration that fits wins, so a derived class may register its own version).
// Kinds: ordinal (integers, Booleans as 0 and 1, enumerations, colours; an enumeration lists
// its value names in elements, value i first), set (the names of the elements it holds;
// element i of the type is bit i), object (read-only: the object the property holds), text and
// method (an event: its handler as a std::function of the event's own type in a std::any, empty
// when no handler is assigned; whoever reads or writes it knows that type).
//
//   RegisterPublishedProperty("TMyPanel", "Flat", {TPublishedValue::Ordinal,
//       [](TObject& o) { return TPublishedValue::OfOrdinal(static_cast<TMyPanel&>(o).Flat()); },
//       [](TObject& o, const TPublishedValue& v) { static_cast<TMyPanel&>(o).SetFlat(v.ordinal != 0); }});
//
// The class library registers: TComponent.Tag; TControl.Color, Visible, Enabled, BiDiMode, Font
// (object); TWinControl.BorderWidth; TPanel.BevelWidth, BevelOuter, BevelInner, BorderStyle;
// TForm.BorderIcons (set of biSystemMenu, biMinimize, biMaximize, biHelp); TSpeedButton.Glyph
// (object), NumGlyphs, Margin, Spacing, Layout, Flat, Down, GroupIndex, AllowAllUp.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <vector>

#include "gui/base/Classes.h"

struct TPublishedValue {
    enum Kind { Ordinal, Set, Object, Text, Method } kind = Ordinal;
    long long ordinal = 0;
    std::vector<std::string> set; // element names, in the type's order
    TObject* object = nullptr;
    std::string text;
    std::any method; // the handler; empty: none

    static TPublishedValue OfOrdinal(long long v)
    {
        TPublishedValue p;
        p.ordinal = v;
        return p;
    }
    static TPublishedValue OfText(std::string t)
    {
        TPublishedValue p;
        p.kind = Text;
        p.text = std::move(t);
        return p;
    }
    static TPublishedValue OfObject(TObject* o)
    {
        TPublishedValue p;
        p.kind = Object;
        p.object = o;
        return p;
    }
    static TPublishedValue OfMethod(std::any handler)
    {
        TPublishedValue p;
        p.kind = Method;
        p.method = std::move(handler);
        return p;
    }
};

struct TPublishedProperty {
    TPublishedValue::Kind kind = TPublishedValue::Ordinal;
    std::function<TPublishedValue(TObject&)> get;
    std::function<void(TObject&, const TPublishedValue&)> set; // empty: read-only
    std::vector<std::string> elements; // a set type's element names, bit 0 first; an enumeration's names
};

void RegisterPublishedProperty(const std::string& className, const std::string& name, TPublishedProperty property);
// The property of that name (case-insensitive) of the object's class, or none.
const TPublishedProperty* FindPublishedProperty(const TObject& object, const std::string& name);
// The names of the object's published properties, each once, in the order they were registered.
std::vector<std::string> PublishedPropertyNames(const TObject& object);

// A set's value from its bits and back; unknown names are left out.
TPublishedValue SetOfBits(unsigned bits, const std::vector<std::string>& elements);
unsigned BitsOfSet(const TPublishedValue& value, const std::vector<std::string>& elements);
