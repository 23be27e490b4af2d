// Loading the section records and the GLOBALINFO values of a skin text, and merging the
// manager's CommonSections over them.
#include <algorithm>
#include <string_view>
#include <vector>

#include "gui/base/MemIniFile.h"
#include "gui/base/NumberFormat.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sSkinTables.h"

namespace {

enum TKind { kInteger, kRgb, kBoolean, kText };

// One key of a section record: how it is read, its default, the field it fills and the name
// of that field as a property of a stored section (TsSkinGeneral).
struct TKeyDef {
    const char* Key;
    const char* Property;
    TKind Kind;
    int IntDefault;
    const char* TextDefault;
    void (*SetInt)(TsGeneralData&, int);
    void (*SetText)(TsGeneralData&, const std::string&);
};

TsGradArray ParsedGradient(const std::string& text)
{
    TsGradArray steps;
    try {
        ParseGradArray(text, steps);
    } catch (const EConvertError&) {
        steps.clear(); // a bad word: no gradient, the section stays
    }
    return steps;
}

#define INT_KEY(key, property, def, field)                                                                             \
    {                                                                                                                  \
        key, property, kInteger, def, nullptr, [](TsGeneralData& g, int v) { g.field = v; }, nullptr                   \
    }
#define RGB_KEY(key, property, def, field)                                                                             \
    {                                                                                                                  \
        key, property, kRgb, def, nullptr, [](TsGeneralData& g, int v) { g.field = v; }, nullptr                       \
    }
#define BOOL_KEY(key, property, field)                                                                                 \
    {                                                                                                                  \
        key, property, kBoolean, 0, "FALSE", nullptr,                                                                  \
            [](TsGeneralData& g, const std::string& v) { g.field = UpperCase(v) == "TRUE"; }                           \
    }

// The section keys in the order they are read.
const TKeyDef KeyDefs[] = {
    {"PARENTCLASS", "ParentClass", kText, 0, "", nullptr,
     [](TsGeneralData& g, const std::string& v) { g.ParentClass = v; }},
    RGB_KEY("COLOR", "Color", 0xFFFFFF, Color),
    BOOL_KEY("RESERVEDBOOLEAN", "ReservedBoolean", ReservedBoolean),
    BOOL_KEY("GIVEOWNFONT", "GiveOwnFont", GiveOwnFont),
    INT_KEY("GLOW", "GlowCount", 0, GlowCount),
    INT_KEY("GLOWMARGIN", "GlowMargin", 0, GlowMargin),
    INT_KEY("FONTCOLOR", "FontColor.Color", 0, FontColor[1]),
    INT_KEY("TCLEFT", "FontColor.Left", -1, FontColor[2]),
    INT_KEY("TCTOP", "FontColor.Top", -1, FontColor[3]),
    INT_KEY("TCRIGHT", "FontColor.Right", -1, FontColor[4]),
    INT_KEY("TCBOTTOM", "FontColor.Bottom", -1, FontColor[5]),
    INT_KEY("HOTFONTCOLOR", "HotFontColor.Color", 0, HotFontColor[1]),
    INT_KEY("HOTTCLEFT", "HotFontColor.Left", -1, HotFontColor[2]),
    INT_KEY("HOTTCTOP", "HotFontColor.Top", -1, HotFontColor[3]),
    INT_KEY("HOTTCRIGHT", "HotFontColor.Right", -1, HotFontColor[4]),
    INT_KEY("HOTTCBOTTOM", "HotFontColor.Bottom", -1, HotFontColor[5]),
    INT_KEY("TRANSPARENCY", "Transparency", 0, Transparency),
    INT_KEY("GRADIENTPERCENT", "GradientPercent", 0, GradientPercent),
    INT_KEY("IMAGEPERCENT", "ImagePercent", 0, ImagePercent),
    {"GRADIENTDATA", "GradientData", kText, 0, " ", nullptr,
     [](TsGeneralData& g, const std::string& v) {
         g.GradientData = v;
         g.GradientArray = v == " " ? TsGradArray{} : ParsedGradient(v);
     }},
    BOOL_KEY("SHOWFOCUS", "ShowFocus", ShowFocus),
    BOOL_KEY("FADINGENABLED", "FadingEnabled", FadingEnabled),
    INT_KEY("FADINGITERATIONS", "FadingIterations", 5, FadingIterations),
    INT_KEY("HOTCOLOR", "HotColor", 0xFFFFFF, HotColor),
    INT_KEY("HOTTRANSPARENCY", "HotTransparency", 0, HotTransparency),
    INT_KEY("HOTGRADIENTPERCENT", "HotGradientPercent", 0, HotGradientPercent),
    {"HOTGRADIENTDATA", "HotGradientData", kText, 0, "", nullptr,
     [](TsGeneralData& g, const std::string& v) {
         g.HotGradientData = v;
         g.HotGradientArray = v == " " ? TsGradArray{} : ParsedGradient(v);
     }},
    INT_KEY("HOTIMAGEPERCENT", "HotImagePercent", 0, HotImagePercent),
    RGB_KEY("HGCOL", "HotGlowColor", 0xFFFFFF, HotGlowColor),
    {"HGSIZE", "HotGlowSize", kInteger, 0, nullptr,
     [](TsGeneralData& g, int v) { g.HotGlowSize = static_cast<uint8_t>(v); }, nullptr},
    RGB_KEY("GCOL", "GlowColor", 0xFFFFFF, GlowColor),
    {"GSIZE", "GlowSize", kInteger, 0, nullptr, [](TsGeneralData& g, int v) { g.GlowSize = static_cast<uint8_t>(v); },
     nullptr},
};

#undef INT_KEY
#undef RGB_KEY
#undef BOOL_KEY

TColor Resolve(TsColorToRGB toRGB, int v) { return toRGB ? toRGB(v) : v; }

// Sets the field of one key from a number (integer kinds) or a text.
void Apply(const TKeyDef& def, TsGeneralData& g, int number, const std::string& text, TsColorToRGB toRGB)
{
    switch (def.Kind) {
    case kInteger:
        def.SetInt(g, number);
        break;
    case kRgb:
        def.SetInt(g, Resolve(toRGB, number));
        break;
    case kBoolean:
    case kText:
        def.SetText(g, text);
        break;
    }
}

TsGeneralData DefaultRecord(TsColorToRGB toRGB)
{
    TsGeneralData g;
    for (const TKeyDef& def : KeyDefs)
        Apply(def, g, def.IntDefault, def.TextDefault ? def.TextDefault : "", toRGB);
    return g;
}

// Reads section keys along PARENTCLASS: the section itself, then the section its PARENTCLASS
// names, and so on; a parent that is the section itself, that has been passed before, that is
// missing, or "?" (no PARENTCLASS) ends the chain, and so does its length limit.
class TInheritedReader {
public:
    TInheritedReader(const TsSectionSource& source, int section) : source_(source)
    {
        chain_.push_back(section);
        while (chain_.size() < static_cast<size_t>(TsSkinTables::MaxParentChain)) {
            const std::string parentName = source_.Text(chain_.back(), "PARENTCLASS");
            if (parentName == "?") break;
            const int parent = source_.Find(parentName);
            if (parent < 0) break;
            if (std::find(chain_.begin(), chain_.end(), parent) != chain_.end()) break;
            chain_.push_back(parent);
        }
    }
    // The first value along the chain that is not -1 (missing, written as -1, or no number).
    int Integer(const char* key, int fallback) const
    {
        for (const int s : chain_) {
            const int v = source_.Integer(s, key);
            if (v != -1) return v;
        }
        return fallback;
    }
    // The first value along the chain that is not "?" (missing or written as "?").
    std::string Text(const char* key, const std::string& fallback) const
    {
        for (const int s : chain_) {
            std::string v = source_.Text(s, key);
            if (v != "?") return v;
        }
        return fallback;
    }

private:
    const TsSectionSource& source_;
    std::vector<int> chain_;
};

// The sections of a skin text.
class TIniSections : public TsSectionSource {
public:
    explicit TIniSections(const TMemIniFile& ini) : ini_(ini) { ini_.ReadSections(sections_); }
    int Count() const override { return sections_.Count(); }
    std::string Name(int section) const override { return sections_[section]; }
    int Find(const std::string& name) const override
    {
        for (int s = 0; s < sections_.Count(); ++s)
            if (SameText(sections_[s], name)) return s;
        return -1;
    }
    int Integer(int section, const char* key) const override { return ini_.ReadInteger(sections_[section], key, -1); }
    std::string Text(int section, const char* key) const override
    {
        return ini_.ReadString(sections_[section], key, "?");
    }

private:
    const TMemIniFile& ini_;
    TStringList sections_;
};

// A strictly converted key: text first, then a number; a text that is no number gives the
// default instead of stopping the skin.
int StrictInteger(const TMemIniFile& ini, const char* key, int fallback)
{
    int v = fallback;
    return TryStrToInt(ini.ReadString("GLOBALINFO", key, IntToStr(fallback)), v) ? v : fallback;
}

void ReadGlobalInfo(const TMemIniFile& ini, TsSkinData& d)
{
    const char* G = "GLOBALINFO";
    auto word = [&](const char* key, int fallback) { return static_cast<uint16_t>(ini.ReadInteger(G, key, fallback)); };
    auto strict = [&](const char* key, int fallback) {
        return static_cast<uint16_t>(StrictInteger(ini, key, fallback));
    };
    d.Version = StrToFloatDef(ini.ReadString(G, "VERSION", "0"), 0, '.');
    d.Author = ini.ReadString(G, "AUTHOR", "");
    d.Description = ini.ReadString(G, "DESCRIPTION", "");
    d.BorderWidth = word("BORDERWIDTH", 4);
    d.TitleHeight = word("TITLEHEIGHT", 30);
    d.MaxHeight = word("MAXHEIGHT", 0);
    if (d.MaxHeight == 0) d.MaxHeight = d.TitleHeight;
    d.FormOffset = word("FORMOFFSET", 8);
    d.CenterOffset = word("CENTEROFFSET", 0);
    d.BorderMode = word("BORDERMODE", 0);
    d.Shadow1Color = ini.ReadInteger(G, "SHADOW1COLOR", 0);
    d.Shadow1Offset = strict("SHADOW1OFFSET", 0);
    d.Shadow1Blur = strict("SHADOW1BLUR", -1);
    d.Shadow1Transparency = strict("SHADOW1TRANSPARENCY", 0);
    d.BISpace = word("BISPACE", 0);
    d.BIVAlign = word("BIVALIGN", 0);
    d.BIRight = word("BIRIGHT", 0);
    d.BILeft = word("BILEFT", 0);
    d.BITop = word("BITOP", 0);
    d.BorderColor = ini.ReadInteger(G, "BORDERCOLOR", 0);
    d.BIKeepHue = word("BIKEEPHUE", 0);
    d.BICloseGlow = strict("BICLOSEGLOW", 0);
    d.BICloseGlowMargin = strict("BICLOSEGLOWMARGIN", 0);
    d.BIMaxGlow = strict("BIMAXGLOW", 0);
    d.BIMaxGlowMargin = strict("BIMAXGLOWMARGIN", 0);
    d.BIMinGlow = strict("BIMINGLOW", 0);
    d.BIMinGlowMargin = strict("BIMINGLOWMARGIN", 0);
    d.MasterBitmap = ini.ReadString(G, "MASTERBITMAP", "");
}

TsGeneralData ReadRecord(const TsSectionSource& source, int section, TsColorToRGB toRGB)
{
    TsGeneralData g;
    g.Name = source.Name(section);
    const TInheritedReader reader(source, section);
    for (const TKeyDef& def : KeyDefs) {
        if (std::string_view(def.Key) == "PARENTCLASS") { // not inherited
            const std::string parent = source.Text(section, "PARENTCLASS");
            g.ParentClass = parent == "?" ? std::string() : parent;
            continue;
        }
        if (def.Kind == kText || def.Kind == kBoolean) Apply(def, g, 0, reader.Text(def.Key, def.TextDefault), toRGB);
        else Apply(def, g, reader.Integer(def.Key, def.IntDefault), "", toRGB);
    }
    return g;
}

// CommonSections: a section of an existing name (exact) changes that record; a new name adds
// a record that starts as a copy of the record its PARENTCLASS names (without regard to case),
// else with the defaults. Only the keys given change.
void MergeCommonSections(std::vector<TsGeneralData>& records, const TStrings& lines, TsColorToRGB toRGB)
{
    if (lines.Count() == 0) return;
    const TMemIniFile common(lines);
    TStringList sections, values;
    common.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        const std::string name = sections[s];
        size_t at = 0;
        while (at < records.size() && records[at].Name != name)
            ++at;
        if (at == records.size()) {
            const std::string parentName = common.ReadString(name, "PARENTCLASS", "");
            const TsGeneralData* parent = nullptr;
            for (const TsGeneralData& r : records)
                if (!parent && SameText(r.Name, parentName)) parent = &r;
            TsGeneralData fresh = parent ? *parent : DefaultRecord(toRGB);
            fresh.Name = name;
            fresh.BorderIndex = fresh.ImgTopLeft = fresh.ImgTopRight = fresh.ImgBottomLeft = fresh.ImgBottomRight = -1;
            records.push_back(std::move(fresh));
        }
        TsGeneralData& g = records[at];
        for (const TKeyDef& def : KeyDefs) {
            if (!common.ValueExists(name, def.Key)) continue;
            const std::string text = common.ReadString(name, def.Key, "");
            int number = 0;
            if ((def.Kind == kInteger || def.Kind == kRgb) && !TryStrToInt(text, number)) continue;
            Apply(def, g, number, text, toRGB);
        }
    }
}

} // namespace

std::vector<TsSectionKey> SectionKeys()
{
    std::vector<TsSectionKey> keys;
    for (const TKeyDef& def : KeyDefs)
        keys.push_back({def.Key, def.Property,
                        def.Kind == kText      ? TsSectionKey::Text
                        : def.Kind == kBoolean ? TsSectionKey::Boolean
                                               : TsSectionKey::Number});
    return keys;
}

void TsSkinTables::LoadAllGeneralData(const TMemIniFile& ini, const TStrings& common, TsColorToRGB toRGB)
{
    ReadGlobalInfo(ini, SkinData);
    LoadSections(TIniSections(ini), common, toRGB);
}

void TsSkinTables::LoadSections(const TsSectionSource& source, const TStrings& common, TsColorToRGB toRGB)
{
    GeneralData.clear();
    for (int s = 0; s < source.Count(); ++s)
        GeneralData.push_back(ReadRecord(source, s, toRGB));
    MergeCommonSections(GeneralData, common, toRGB);
    for (size_t i = 0; i < GeneralData.size(); ++i) {
        TsGeneralData& g = GeneralData[i];
        if (g.Name == "GLOBALINFO") continue;
        const int index = static_cast<int>(i);
        g.BorderIndex = GetMaskIndex(index, g.Name, "BORDERSMASK");
        g.ImgTopLeft = GetMaskIndex(index, g.Name, "IMGTOPLEFT");
        g.ImgTopRight = GetMaskIndex(index, g.Name, "IMGTOPRIGHT");
        g.ImgBottomLeft = GetMaskIndex(index, g.Name, "IMGBTMLEFT");
        g.ImgBottomRight = GetMaskIndex(index, g.Name, "IMGBTMRIGHT");
    }
}
