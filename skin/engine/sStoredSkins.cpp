#include "skin/engine/sStoredSkins.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "gui/Published.h"
#include "gui/base/Exceptions.h"
#include "gui/base/SysUtils.h"

long long TsStoredValues::Number(const std::string& name) const
{
    const auto it = numbers_.find(name);
    return it == numbers_.end() ? -1 : it->second;
}

std::string TsStoredValues::Text(const std::string& name) const
{
    const auto it = texts_.find(name);
    return it == texts_.end() ? "?" : it->second;
}

namespace {

using V = TPublishedValue;
using TValuesOf = std::function<TsStoredValues&(TObject&)>;

void PublishNumber(const char* cls, const std::string& property, const std::string& key, TValuesOf values,
                   std::vector<std::string> names = {})
{
    RegisterPublishedProperty(cls, property,
                              {V::Ordinal, [=](TObject& o) { return V::OfOrdinal(values(o).Number(key)); },
                               [=](TObject& o, const V& v) { values(o).SetNumber(key, v.ordinal); }, std::move(names)});
}

// A Boolean of a skin text: the text "TRUE" or "FALSE"; -1 (and "?") when not given.
void PublishBoolean(const char* cls, const std::string& property, const std::string& key, TValuesOf values)
{
    RegisterPublishedProperty(cls, property,
                              {V::Ordinal,
                               [=](TObject& o) {
                                   const std::string t = values(o).Text(key);
                                   return V::OfOrdinal(t == "?" ? -1 : UpperCase(t) == "TRUE" ? 1 : 0);
                               },
                               [=](TObject& o, const V& v) {
                                   values(o).SetText(key, v.ordinal == -1 ? "?" : v.ordinal == 1 ? "TRUE" : "FALSE");
                               },
                               {}});
}

void PublishText(const char* cls, const std::string& property, const std::string& key, TValuesOf values)
{
    RegisterPublishedProperty(cls, property,
                              {V::Text,
                               [=](TObject& o) { return V::OfText(values(o).Text(key)); },
                               [=](TObject& o, const V& v) { values(o).SetText(key, v.text); },
                               {}});
}

template <class T, class TMember> void PublishMember(const std::string& property, TMember T::*member)
{
    if constexpr (std::is_same_v<TMember, std::string>) {
        RegisterPublishedProperty(T::StaticClassName, property,
                                  {V::Text,
                                   [=](TObject& o) { return V::OfText(static_cast<T&>(o).*member); },
                                   [=](TObject& o, const V& v) { static_cast<T&>(o).*member = v.text; },
                                   {}});
    } else if constexpr (std::is_base_of_v<TObject, TMember>) {
        RegisterPublishedProperty(
            T::StaticClassName, property,
            {V::Object, [=](TObject& o) { return V::OfObject(&(static_cast<T&>(o).*member)); }, nullptr, {}});
    } else {
        RegisterPublishedProperty(
            T::StaticClassName, property,
            {V::Ordinal,
             [=](TObject& o) { return V::OfOrdinal(static_cast<T&>(o).*member); },
             [=](TObject& o, const V& v) { static_cast<T&>(o).*member = static_cast<TMember>(v.ordinal); },
             {}});
    }
}

const char* const SubColors[5] = {"Color", "Left", "Top", "Right", "Bottom"};
const char* const RectSides[4] = {"Left", "Top", "Right", "Bottom"};

void RegisterStoredSkinProperties()
{
    // Sections: the keys of a skin text's sections; the two font colour groups as nested objects.
    const TValuesOf general = [](TObject& o) -> TsStoredValues& { return static_cast<TsSkinGeneral&>(o).Values; };
    PublishMember("Name", &TsSkinGeneral::Name);
    for (const TsSectionKey& k : SectionKeys()) {
        const std::string property = k.Property;
        if (property.find('.') != std::string::npos) continue;
        if (k.Kind == TsSectionKey::Text) PublishText(TsSkinGeneral::StaticClassName, property, k.Key, general);
        else if (k.Kind == TsSectionKey::Boolean)
            PublishBoolean(TsSkinGeneral::StaticClassName, property, k.Key, general);
        else PublishNumber(TsSkinGeneral::StaticClassName, property, k.Key, general);
    }
    PublishMember("FontColor", &TsSkinGeneral::FontColor);
    PublishMember("HotFontColor", &TsSkinGeneral::HotFontColor);
    for (size_t i = 0; i < 5; ++i)
        RegisterPublishedProperty(TsStoredFontColors::StaticClassName, SubColors[i],
                                  {V::Ordinal,
                                   [i](TObject& o) {
                                       auto& c = static_cast<TsStoredFontColors&>(o);
                                       return V::OfOrdinal(c.Values.Number(c.Keys[i]));
                                   },
                                   [i](TObject& o, const V& v) {
                                       auto& c = static_cast<TsStoredFontColors&>(o);
                                       c.Values.SetNumber(c.Keys[i], v.ordinal);
                                   },
                                   {}});

    // Images: every field under its own name; R as a nested object.
    const TValuesOf image = [](TObject& o) -> TsStoredValues& { return static_cast<TsSkinImage&>(o).Values; };
    const char* const I = TsSkinImage::StaticClassName;
    PublishText(I, "SectionName", "SectionName", image);
    PublishText(I, "PropertyName", "PropertyName", image);
    PublishMember("R", &TsSkinImage::R);
    for (const char* side : RectSides)
        PublishNumber(TsStoredRect::StaticClassName, side, std::string("R.") + side,
                      [](TObject& o) -> TsStoredValues& { return static_cast<TsStoredRect&>(o).Values; });
    for (const char* field : {"ImageCount", "MaskType", "BorderWidth", "StretchMode"})
        PublishNumber(I, field, field, image);
    PublishNumber(I, "ImgType", "ImgType", image,
                  {"itisaBorder", "itisaTexture", "itisaGlyph", "itisaGlow", "itisaPngGlyph"});
    for (const char* field : {"WL", "WT", "WR", "WB"})
        PublishNumber(I, field, field, image);
    PublishMember("Bmp", &TsSkinImage::Bmp);

    PublishMember("SectionName", &TsSkinPattern::SectionName);
    PublishMember("PropertyName", &TsSkinPattern::PropertyName);
    PublishMember("Img", &TsSkinPattern::Img);

    PublishMember("Name", &TsStoredSkin::Name);
    PublishMember("GeneralData", &TsStoredSkin::GeneralData);
    PublishMember("Images", &TsStoredSkin::Images);
    PublishMember("Patterns", &TsStoredSkin::Patterns);
    PublishMember("MasterBitmap", &TsStoredSkin::MasterBitmap);
    PublishMember("Shadow1Color", &TsStoredSkin::Shadow1Color);
    PublishMember("Shadow1Offset", &TsStoredSkin::Shadow1Offset);
    PublishMember("Shadow1Blur", &TsStoredSkin::Shadow1Blur);
    PublishMember("Shadow1Transparency", &TsStoredSkin::Shadow1Transparency);
    PublishMember("BorderColor", &TsStoredSkin::BorderColor);
    PublishMember("Author", &TsStoredSkin::Author);
    PublishMember("Description", &TsStoredSkin::Description);
}

void EnsureProperties()
{
    static const bool registered = (RegisterStoredSkinProperties(), true);
    (void)registered;
}

// The skin text's keys of a font colour group ("FontColor" or "HotFontColor").
std::array<std::string, 5> GroupKeys(const std::string& group)
{
    std::array<std::string, 5> keys;
    for (const TsSectionKey& k : SectionKeys())
        for (size_t i = 0; i < 5; ++i)
            if (k.Property == group + "." + SubColors[i]) keys[i] = k.Key;
    return keys;
}

} // namespace

TsSkinGeneral::TsSkinGeneral()
    : FontColor(Values, GroupKeys("FontColor")), HotFontColor(Values, GroupKeys("HotFontColor"))
{
    EnsureProperties();
}

TsSkinImage::TsSkinImage() : R(Values) { EnsureProperties(); }

TsSkinPattern::TsSkinPattern() { EnsureProperties(); }

TsStoredSkin::TsStoredSkin() { EnsureProperties(); }

void TsStoredSkin::Assign(const TsStoredSkin& source)
{
    if (&source == this) return;
    Name = source.Name;
    Data.Clear();
    Data.WriteString(source.Data.DataString());
    Data.SetPosition(0);
    GeneralData.Assign(source.GeneralData);
    Images.Assign(source.Images);
    Patterns.Assign(source.Patterns);
    MasterBitmap.Assign(source.MasterBitmap);
    Shadow1Color = source.Shadow1Color;
    Shadow1Offset = source.Shadow1Offset;
    Shadow1Blur = source.Shadow1Blur;
    Shadow1Transparency = source.Shadow1Transparency;
    BorderColor = source.BorderColor;
    Version = source.Version;
    Author = source.Author;
    Description = source.Description;
}

void TsStoredSkin::SetProperty(const std::string& name, const TPropValue& value)
{
    if (SameText(name, "Data")) {
        Data.Clear();
        Data.WriteString(StoredBytes(value.AsBinary()));
        Data.SetPosition(0);
    } else if (SameText(name, "Version")) {
        Version = value.AsFloat();
    } else {
        SetPublishedFromDescription(*this, name, value);
    }
}

namespace {

// The section items as the section loader reads them.
class TStoredSections : public TsSectionSource {
public:
    explicit TStoredSections(const TsSkinGenerals& items) : items_(items) {}
    int Count() const override { return items_.Count(); }
    std::string Name(int section) const override { return items_.Items(section).Name; }
    int Find(const std::string& name) const override
    {
        for (int s = 0; s < items_.Count(); ++s)
            if (SameText(items_.Items(s).Name, name)) return s;
        return -1;
    }
    int Integer(int section, const char* key) const override
    {
        const long long v = items_.Items(section).Values.Number(key);
        return v < INT_MIN || v > INT_MAX ? -1 : static_cast<int>(v);
    }
    std::string Text(int section, const char* key) const override { return items_.Items(section).Values.Text(key); }

private:
    const TsSkinGenerals& items_;
};

std::shared_ptr<TBitmap> CopyOf(const TBitmap& bitmap)
{
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(bitmap);
    return copy;
}

// The fields of an image item; false when the item is no image (a field missing or malformed).
bool ReadImage(const TsSkinImage& item, const TBitmap& master, TsMaskData& m)
{
    const TsStoredValues& v = item.Values;
    m.SectionName = v.Text("SectionName");
    m.PropertyName = v.Text("PropertyName");
    if (m.SectionName == "?" || m.PropertyName == "?" || m.PropertyName.empty()) return false;
    bool ok = true;
    // A number within lo..hi; -1 (not given) is fallback, or no image when that is -1 too.
    const auto field = [&](const char* name, long long hi, long long fallback) {
        const long long n = v.Number(name);
        if (n == -1 && fallback != -1) return fallback;
        if (n < 0 || n > hi) ok = false;
        return ok ? n : 0;
    };
    m.ImageCount = static_cast<uint16_t>(field("ImageCount", 65535, -1));
    m.MaskType = static_cast<uint16_t>(field("MaskType", 65535, -1));
    m.BorderWidth = static_cast<uint16_t>(field("BorderWidth", 65535, 0));
    m.StretchMode = static_cast<uint16_t>(field("StretchMode", 65535, 0));
    m.ImgType = static_cast<TvxImgType>(std::min<long long>(field("ImgType", LLONG_MAX, 0), itisaPngGlyph));
    m.WL = static_cast<uint16_t>(field("WL", 65535, 0));
    m.WT = static_cast<uint16_t>(field("WT", 65535, 0));
    m.WR = static_cast<uint16_t>(field("WR", 65535, 0));
    m.WB = static_cast<uint16_t>(field("WB", 65535, 0));
    if (item.Bmp.Width() > 0 && item.Bmp.Height() > 0) {
        m.Bmp = CopyOf(item.Bmp);
        m.R = TRect{0, 0, item.Bmp.Width(), item.Bmp.Height()};
    } else {
        const auto side = [&](const char* name) { return static_cast<int>(field(name, INT_MAX, -1)); };
        m.R = TRect{side("R.Left"), side("R.Top"), side("R.Right"), side("R.Bottom")};
        m.R = ClipToBitmap(m.R, master.Width(), master.Height());
    }
    return ok;
}

} // namespace

void LoadStoredSkin(TsSkinTables& tables, const TsStoredSkin& skin, const TStrings& common, TsColorToRGB toRGB)
{
    tables.MaskData.clear();
    tables.PatternData.clear();
    tables.MasterBitmap = CopyOf(skin.MasterBitmap);
    if (!tables.MasterBitmap->Empty()) tables.MasterBitmap->SetPixelFormat(pf24bit);
    for (int i = 0; i < skin.Images.Count(); ++i) {
        TsMaskData m;
        if (!ReadImage(skin.Images.Items(i), *tables.MasterBitmap, m)) continue;
        m.Manager = tables.Manager;
        tables.MaskData.push_back(std::move(m));
    }
    for (int i = 0; i < skin.Patterns.Count(); ++i) {
        const TsSkinPattern& p = skin.Patterns.Items(i);
        if (p.Img.Width() <= 0 || p.SectionName.empty() || p.PropertyName.empty()) continue;
        tables.PatternData.push_back(TsPatternData{CopyOf(p.Img), p.SectionName, p.PropertyName});
    }
    TsSkinData& d = tables.SkinData;
    d = TsSkinData{};
    d.Version = skin.Version;
    d.Author = skin.Author;
    d.Description = skin.Description;
    d.Shadow1Color = skin.Shadow1Color;
    d.Shadow1Offset = static_cast<uint16_t>(skin.Shadow1Offset);
    d.Shadow1Blur = static_cast<uint16_t>(skin.Shadow1Blur);
    d.Shadow1Transparency = static_cast<uint16_t>(skin.Shadow1Transparency);
    d.BorderColor = skin.BorderColor;
    tables.LoadSections(TStoredSections(skin.GeneralData), common, toRGB);
}
