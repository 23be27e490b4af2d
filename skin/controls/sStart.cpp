#include "skin/controls/sStart.h"

#include <functional>
#include <string>

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

void RegisterProperties()
{
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
