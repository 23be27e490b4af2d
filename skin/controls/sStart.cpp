#include "skin/controls/sStart.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/FormReader.h"
#include "gui/Published.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

namespace {

bool started = false;

// An ordinal property of class C read and written through its accessors.
template <class C>
void Ordinal(const std::string& name, std::function<long long(C&)> get, std::function<void(C&, long long)> set)
{
    RegisterPublishedProperty(C::StaticClassName, name,
                              {TPublishedValue::Ordinal,
                               [get](TObject& o) { return TPublishedValue::OfOrdinal(get(static_cast<C&>(o))); },
                               [set](TObject& o, const TPublishedValue& v) { set(static_cast<C&>(o), v.ordinal); },
                               {}});
}

int AsInt(long long v) { return static_cast<int>(v); }

// A Boolean property of class C.
template <class C> void Flag(const std::string& name, std::function<bool(C&)> get, std::function<void(C&, bool)> set)
{
    Ordinal<C>(
        name, [get](C& c) { return get(c) ? 1 : 0; }, [set](C& c, long long v) { set(c, v != 0); });
}

// An enumeration property of class C: its value names, value i first; unknown values are
// refused.
template <class C>
void Enumeration(const std::string& name, std::vector<std::string> names, std::function<int(C&)> get,
                 std::function<void(C&, int)> set)
{
    const auto count = static_cast<long long>(names.size());
    RegisterPublishedProperty(C::StaticClassName, name,
                              {TPublishedValue::Ordinal,
                               [get](TObject& o) { return TPublishedValue::OfOrdinal(get(static_cast<C&>(o))); },
                               [set, count](TObject& o, const TPublishedValue& v) {
                                   if (v.ordinal >= 0 && v.ordinal < count) set(static_cast<C&>(o), AsInt(v.ordinal));
                               },
                               std::move(names)});
}

// A set property of class C held as bits (element i is bit i).
template <class C>
void SetOf(const std::string& name, std::vector<std::string> elements, std::function<unsigned(C&)> get,
           std::function<void(C&, unsigned)> set)
{
    RegisterPublishedProperty(
        C::StaticClassName, name,
        {TPublishedValue::Set, [get, elements](TObject& o) { return SetOfBits(get(static_cast<C&>(o)), elements); },
         [set, elements](TObject& o, const TPublishedValue& v) { set(static_cast<C&>(o), BitsOfSet(v, elements)); },
         elements});
}

// An object property of class C (read-only: the object it holds).
template <class C> void Object(const std::string& name, std::function<TObject*(C&)> get)
{
    RegisterPublishedProperty(C::StaticClassName, name,
                              {TPublishedValue::Object,
                               [get](TObject& o) { return TPublishedValue::OfObject(get(static_cast<C&>(o))); },
                               nullptr,
                               {}});
}

const std::vector<std::string> DisabledKinds{"dkBlended", "dkGrayed"};
const std::vector<std::string> AnimatEventNames{"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp",
                                                "aeGlobalDef"};
const std::vector<std::string> Alignments{"taLeftJustify", "taRightJustify", "taCenter"};

// What the push button and the bitmap button share.
template <class C> void ButtonProperties()
{
    Object<C>("SkinData", [](C& b) { return &b.SkinData(); });
    Flag<C>(
        "Down", [](C& b) { return b.Down(); }, [](C& b, bool v) { b.SetDown(v); });
    Ordinal<C>(
        "FocusMargin", [](C& b) { return b.FocusMargin; }, [](C& b, long long v) { b.FocusMargin = AsInt(v); });
    SetOf<C>(
        "DisabledKind", DisabledKinds, [](C& b) { return b.DisabledKind(); },
        [](C& b, unsigned v) { b.SetDisabledKind(v); });
    SetOf<C>(
        "AnimatEvents", AnimatEventNames, [](C& b) { return b.AnimatEvents; },
        [](C& b, unsigned v) { b.AnimatEvents = v; });
    Flag<C>(
        "ShowFocus", [](C& b) { return b.ShowFocus(); }, [](C& b, bool v) { b.SetShowFocus(v); });
    Flag<C>(
        "WordWrap", [](C& b) { return b.WordWrap; },
        [](C& b, bool v) {
            b.WordWrap = v;
            b.Invalidate();
        });
}

void BitBtnProperties()
{
    using B = TsBitBtn;
    Object<B>("Glyph", [](B& b) { return &b.Glyph(); });
    Ordinal<B>(
        "NumGlyphs", [](B& b) { return b.NumGlyphs(); }, [](B& b, long long v) { b.SetNumGlyphs(AsInt(v)); });
    Enumeration<B>(
        "Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"},
        [](B& b) { return static_cast<int>(b.Layout()); },
        [](B& b, int v) { b.SetLayout(static_cast<TButtonLayout>(v)); });
    Ordinal<B>(
        "Margin", [](B& b) { return b.Margin(); }, [](B& b, long long v) { b.SetMargin(AsInt(v)); });
    Ordinal<B>(
        "Spacing", [](B& b) { return b.Spacing(); }, [](B& b, long long v) { b.SetSpacing(AsInt(v)); });
    Object<B>("Images", [](B& b) { return b.Images(); });
    Ordinal<B>(
        "ImageIndex", [](B& b) { return b.ImageIndex(); }, [](B& b, long long v) { b.SetImageIndex(AsInt(v)); });
    Ordinal<B>(
        "Blend", [](B& b) { return b.Blend(); }, [](B& b, long long v) { b.SetBlend(AsInt(v)); });
    Flag<B>(
        "Grayed", [](B& b) { return b.Grayed(); }, [](B& b, bool v) { b.SetGrayed(v); });
    Flag<B>(
        "DrawOverBorder", [](B& b) { return b.DrawOverBorder(); }, [](B& b, bool v) { b.SetDrawOverBorder(v); });
    Flag<B>(
        "Reflected", [](B& b) { return b.Reflected; },
        [](B& b, bool v) {
            b.Reflected = v;
            b.SkinData().Invalidate();
        });
    SetOf<B>(
        "DisabledGlyphKind", {"dgBlended", "dgGrayed"}, [](B& b) { return b.DisabledGlyphKind; },
        [](B& b, unsigned v) {
            b.DisabledGlyphKind = v;
            b.SkinData().Invalidate();
        });
    Flag<B>(
        "ShowCaption", [](B& b) { return b.ShowCaption(); }, [](B& b, bool v) { b.SetShowCaption(v); });
    Enumeration<B>(
        "Alignment", Alignments, [](B& b) { return static_cast<int>(b.Alignment()); },
        [](B& b, int v) { b.SetAlignment(static_cast<TAlignment>(v)); });
    Enumeration<B>(
        "TextAlignment", Alignments, [](B& b) { return static_cast<int>(b.TextAlignment()); },
        [](B& b, int v) { b.SetTextAlignment(static_cast<TAlignment>(v)); });
}

void CheckBoxProperties()
{
    using C = TsCheckBox;
    Object<C>("SkinData", [](C& c) { return &c.SkinData(); });
    SetOf<C>(
        "DisabledKind", DisabledKinds, [](C& c) { return c.DisabledKind(); },
        [](C& c, unsigned v) { c.SetDisabledKind(v); });
    Object<C>("GlyphUnChecked", [](C& c) { return &c.GlyphUnChecked(); });
    Object<C>("GlyphChecked", [](C& c) { return &c.GlyphChecked(); });
    Ordinal<C>(
        "TextIndent", [](C& c) { return c.TextIndent(); }, [](C& c, long long v) { c.SetTextIndent(AsInt(v)); });
    Flag<C>(
        "ShowFocus", [](C& c) { return c.ShowFocus(); }, [](C& c, bool v) { c.SetShowFocus(v); });
    Ordinal<C>(
        "Margin", [](C& c) { return c.Margin(); }, [](C& c, long long v) { c.SetMargin(AsInt(v)); });
    Object<C>("Images", [](C& c) { return c.Images(); });
    Ordinal<C>(
        "ImgChecked", [](C& c) { return c.ImgChecked(); }, [](C& c, long long v) { c.SetImgChecked(AsInt(v)); });
    Ordinal<C>(
        "ImgUnchecked", [](C& c) { return c.ImgUnchecked(); }, [](C& c, long long v) { c.SetImgUnchecked(AsInt(v)); });
    SetOf<C>(
        "AnimatEvents", AnimatEventNames, [](C& c) { return c.AnimatEvents; },
        [](C& c, unsigned v) { c.AnimatEvents = v; });
    Flag<C>(
        "ReadOnly", [](C& c) { return c.ReadOnly; }, [](C& c, bool v) { c.ReadOnly = v; });
    Flag<C>(
        "WordWrap", [](C& c) { return c.WordWrap(); }, [](C& c, bool v) { c.SetWordWrap(v); });
    Flag<C>(
        "AutoSize", [](C& c) { return c.AutoSize(); }, [](C& c, bool v) { c.SetAutoSize(v); });
    Enumeration<C>(
        "Alignment", {"taLeftJustify", "taRightJustify"}, [](C& c) { return static_cast<int>(c.Alignment()); },
        [](C& c, int v) { c.SetAlignment(static_cast<TAlignment>(v)); });
    Flag<C>(
        "AllowGrayed", [](C& c) { return c.AllowGrayed; }, [](C& c, bool v) { c.AllowGrayed = v; });
    Enumeration<C>(
        "State", {"cbUnchecked", "cbChecked", "cbGrayed"}, [](C& c) { return static_cast<int>(c.State()); },
        [](C& c, int v) { c.SetState(static_cast<TCheckBoxState>(v)); });
}

void RegisterProperties()
{
    ButtonProperties<TsButton>();
    ButtonProperties<TsBitBtn>();
    BitBtnProperties();
    CheckBoxProperties();
    Ordinal<TsCheckBox>(
        "Checked", [](TsCheckBox& c) { return c.Checked(); }, [](TsCheckBox& c, long long v) { c.SetChecked(v != 0); });
    Ordinal<TsGauge>(
        "MinValue", [](TsGauge& g) { return g.MinValue(); }, [](TsGauge& g, long long v) { g.SetMinValue(AsInt(v)); });
    Ordinal<TsGauge>(
        "MaxValue", [](TsGauge& g) { return g.MaxValue(); }, [](TsGauge& g, long long v) { g.SetMaxValue(AsInt(v)); });
    Ordinal<TsGauge>(
        "Progress", [](TsGauge& g) { return g.Progress(); }, [](TsGauge& g, long long v) { g.SetProgress(AsInt(v)); });
    Ordinal<TsAlphaListBox>(
        "ItemIndex", [](TsAlphaListBox& l) { return l.GetItemIndex(); },
        [](TsAlphaListBox& l, long long v) { l.SetItemIndex(AsInt(v)); });
    Ordinal<TsComboBox>(
        "ItemIndex", [](TsComboBox& c) { return c.ItemIndex(); },
        [](TsComboBox& c, long long v) { c.SetItemIndex(AsInt(v)); });
    Ordinal<TsLabel>(
        "UseSkinColor", [](TsLabel& l) { return l.UseSkinColor(); },
        [](TsLabel& l, long long v) { l.SetUseSkinColor(v != 0); });
    Ordinal<TsLabel>(
        "AutoSize", [](TsLabel& l) { return l.AutoSize(); }, [](TsLabel& l, long long v) { l.SetAutoSize(v != 0); });
    Ordinal<TsLabel>(
        "WordWrap", [](TsLabel& l) { return l.WordWrap(); }, [](TsLabel& l, long long v) { l.SetWordWrap(v != 0); });
    Ordinal<TsLabel>(
        "Alignment", [](TsLabel& l) { return static_cast<long long>(l.Alignment()); },
        [](TsLabel& l, long long v) {
            if (v >= taLeftJustify && v <= taCenter) l.SetAlignment(static_cast<TAlignment>(v));
        });
}

} // namespace

void SkinControlsStart()
{
    if (started) return;
    started = true;
    RegisterComponentClass<TsButton>();
    RegisterComponentClass<TsBitBtn>();
    RegisterComponentClass<TsCheckBox>();
    RegisterComponentClass<TsEdit>();
    RegisterComponentClass<TsLabel>();
    RegisterComponentClass<TsLabelFX>();
    RegisterComponentClass(TsEditLabel::StaticClassName,
                           [](TComponent* owner) -> TComponent* { return new TsEditLabel(owner, nullptr); });
    RegisterComponentClass<TsPanel>();
    RegisterComponentClass<TsAlphaListBox>();
    RegisterComponentClass<TsListBox>();
    RegisterComponentClass<TsComboBox>();
    RegisterComponentClass<TsGauge>();
    RegisterProperties();
}
