#include "skin/engine/sSkinTables.h"

#include <algorithm>

#include "gui/base/MemIniFile.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sSkinValues.h"

const std::array<const char*, 4> TsCommonIndexes::TabSections = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
const std::array<const char*, 4> TsCommonIndexes::ScrollButtonSections = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM",
                                                                          "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
const std::array<const char*, 2> TsCommonIndexes::ScrollSliderSections = {"SCROLLSLIDERV", "SCROLLSLIDERH"};
const std::array<const char*, 4> TsCommonIndexes::ScrollBarSections = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H",
                                                                       "SCROLLBAR2V"};

namespace {

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

// Every key of every section with its value, in text order.
template <class TVisit> void ForEachValue(const TMemIniFile& ini, TVisit visit)
{
    TStringList sections, lines;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        const std::string section = sections[s];
        ini.ReadSectionValues(section, lines);
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string line = lines[i];
            const size_t eq = line.find('=');
            visit(section, line.substr(0, eq), line.substr(eq + 1));
        }
    }
}

} // namespace

void TsSkinTables::ClearSkinTables()
{
    MaskData.clear();
    MasterBitmap.reset();
    PatternData.clear();
    GeneralData.clear();
}

void TsSkinTables::LoadAllMasks(const TMemIniFile& ini, TsImageSource& images)
{
    MaskData.clear();
    MasterBitmap.reset();
    const TsLoadedImage master = images.LoadMasterBitmap(ini.ReadString("GLOBALINFO", "MASTERBITMAP", ""));
    MasterBitmap = master.Bmp;
    ForEachValue(ini, [&](const std::string& section, const std::string& key, const std::string& value) {
        if (SameText(section, "GLOBALINFO") && SameText(key, "MASTERBITMAP")) return;
        TsImageValue image;
        if (!ParseImageValue(value, image)) return;
        TsMaskData m = std::move(image.Mask);
        if (image.OwnFile) {
            TsLoadedImage own;
            if (Contains(image.FileName, ".BMP")) own = images.LoadBmp(image.FileName, m.ImgType != itisaTexture);
            else if (Contains(image.FileName, ".PNG")) own = images.LoadPng(image.FileName);
            if (own.Width <= 0) return;
            m.Bmp = own.Bmp;
            m.R = TRect{0, 0, own.Width, own.Height};
        } else {
            m.R = ClipToBitmap(m.R, master.Width, master.Height);
        }
        if (image.DerivesWidths) DeriveBorderWidths(m);
        m.SectionName = image.UpperNames ? UpperCase(section) : section;
        m.PropertyName = image.UpperNames ? UpperCase(key) : key;
        m.Manager = Manager;
        MaskData.push_back(std::move(m));
    });
}

void TsSkinTables::LoadAllPatterns(const TMemIniFile& ini, TsImageSource& images)
{
    PatternData.clear();
    ForEachValue(ini, [&](const std::string& section, const std::string& key, const std::string& value) {
        const std::string upper = UpperCase(value);
        if (!Contains(upper, ".JPG") && !Contains(upper, ".JPEG")) return;
        // Only an upper-case extension names a file that is loaded.
        if (!Contains(value, ".JPG") && !Contains(value, ".JPEG")) return;
        const TsLoadedImage img = images.LoadJpeg(value);
        if (img.Width <= 0) return;
        PatternData.push_back(TsPatternData{img.Bmp, section, key});
    });
}

int TsSkinTables::GetSkinIndex(const std::string& sectionName) const
{
    for (size_t i = 0; i < GeneralData.size(); ++i)
        if (GeneralData[i].Name == sectionName) return static_cast<int>(i);
    return -1;
}

int TsSkinTables::FindOwn(TTable table, const std::string& sectionName, const std::string& propertyName) const
{
    if (table == Pattern) {
        for (size_t i = 0; i < PatternData.size(); ++i)
            if (PatternData[i].SectionName == sectionName && PatternData[i].PropertyName == propertyName)
                return static_cast<int>(i);
        return -1;
    }
    for (size_t i = 0; i < MaskData.size(); ++i) {
        const TsMaskData& m = MaskData[i];
        if (table == TextureMask && m.ImgType != itisaTexture) continue;
        if (m.SectionName == sectionName && m.PropertyName == propertyName) return static_cast<int>(i);
    }
    return -1;
}

// The section's own entry, else its parent's along ParentClass; the step limit ends cycles.
int TsSkinTables::FindInherited(TTable table, int skinIndex, const std::string& sectionName,
                                const std::string& propertyName) const
{
    std::string name = sectionName;
    for (int step = 0; step < MaxParentChain; ++step) {
        if (skinIndex < 0 || name.empty()) return -1;
        const int found = FindOwn(table, name, propertyName);
        if (found >= 0) return found;
        if (!IsValidSkinIndex(skinIndex)) return -1;
        const std::string& parent = GeneralData[static_cast<size_t>(skinIndex)].ParentClass;
        if (parent.empty() || parent == name) return -1;
        name = parent;
        skinIndex = GetSkinIndex(parent);
    }
    return -1;
}

int TsSkinTables::GetMaskIndex(int skinIndex, const std::string& sectionName, const std::string& propertyName) const
{
    return FindInherited(AnyMask, skinIndex, sectionName, propertyName);
}

int TsSkinTables::GetMaskIndexByName(const std::string& sectionName, const std::string& propertyName) const
{
    return sectionName.empty() ? -1 : FindOwn(AnyMask, sectionName, propertyName);
}

int TsSkinTables::GetTextureIndex(int skinIndex, const std::string& sectionName, const std::string& propertyName) const
{
    return FindInherited(TextureMask, skinIndex, sectionName, propertyName);
}

int TsSkinTables::GetPatternIndex(int skinIndex, const std::string& sectionName, const std::string& propertyName) const
{
    return FindInherited(Pattern, skinIndex, sectionName, propertyName);
}

void TsSkinTables::GetMaskSize(int maskIndex, int& width, int& height) const
{
    width = height = 0;
    if (!IsValidImgIndex(maskIndex)) return;
    const TsMaskData& m = MaskData[static_cast<size_t>(maskIndex)];
    if (m.Bmp) {
        width = (m.R.Right - m.R.Left) / 3;
        height = (m.R.Bottom - m.R.Top) / 2;
    } else {
        width = MaskFrameWidth(m);
        height = MaskFrameHeight(m);
    }
}

namespace {

int SideWidth(const TsMaskData& m, uint16_t own, bool horizontal)
{
    if (own > 0) return own;
    if (m.BorderWidth >= 1) return m.BorderWidth;
    if (!horizontal) return MaskFrameHeight(m);
    TsMaskData counted = m;
    if (counted.ImageCount == 0) counted.ImageCount = 1;
    return MaskFrameWidth(counted);
}

} // namespace

int TsSkinTables::GetMaskLeftWidth(int maskIndex) const
{
    if (!IsValidImgIndex(maskIndex)) return 0;
    const TsMaskData& m = MaskData[static_cast<size_t>(maskIndex)];
    return SideWidth(m, m.WL, true);
}

int TsSkinTables::GetMaskTopWidth(int maskIndex) const
{
    if (!IsValidImgIndex(maskIndex)) return 0;
    const TsMaskData& m = MaskData[static_cast<size_t>(maskIndex)];
    return SideWidth(m, m.WT, false);
}

int TsSkinTables::GetMaskRightWidth(int maskIndex) const
{
    if (!IsValidImgIndex(maskIndex)) return 0;
    const TsMaskData& m = MaskData[static_cast<size_t>(maskIndex)];
    return SideWidth(m, m.WR, true);
}

int TsSkinTables::GetMaskBottomWidth(int maskIndex) const
{
    if (!IsValidImgIndex(maskIndex)) return 0;
    const TsMaskData& m = MaskData[static_cast<size_t>(maskIndex)];
    return SideWidth(m, m.WB, false);
}

void TsSkinTables::UpdateCommonIndexes()
{
    TsCommonIndexes& c = CommonIndexes;
    c = TsCommonIndexes{};
    c.GlobalInfo = GetSkinIndex("GLOBALINFO");
    if (c.GlobalInfo >= 0) {
        auto global = [&](const char* key) { return GetMaskIndex(c.GlobalInfo, "GLOBALINFO", key); };
        c.ExBorder = global("EXBORDER");
        c.BoxChecked = global("BOXCHECKED");
        c.BoxUnchecked = global("BOXUNCHECKED");
        c.BoxGrayed = global("BOXGRAYED");
        c.RadioChecked = global("RADIOCHECKED");
        c.RadioUnchecked = global("RADIOUNCHECKED");
        c.RadioGrayed = global("RADIOGRAYED");
        c.SmallChecked = global("SMALLCHECKED");
        c.SmallUnchecked = global("SMALLUNCHECKED");
        c.SmallGrayed = global("SMALLGRAYED");
    }
    auto part = [&](const char* section, bool glyph, bool patterns) {
        TsCommonIndexes::TPart p;
        p.SkinIndex = GetSkinIndex(section);
        p.BorderIndex = GetMaskIndex(p.SkinIndex, section, "BORDERSMASK");
        if (glyph && p.SkinIndex >= 0) p.GlyphIndex = GetMaskIndex(p.SkinIndex, section, "GLYPHMASK");
        if (patterns) {
            p.PatternIndex = GetMaskIndex(p.SkinIndex, section, "PATTERN");
            p.HotPatternIndex = GetMaskIndex(p.SkinIndex, section, "HOTPATTERN");
        }
        return p;
    };
    for (size_t i = 0; i < 4; ++i) {
        c.Tabs[i] = part(TsCommonIndexes::TabSections[i], false, false);
        c.ScrollButtons[i] = part(TsCommonIndexes::ScrollButtonSections[i], true, true);
        c.ScrollBars[i] = part(TsCommonIndexes::ScrollBarSections[i], false, true);
    }
    for (size_t i = 0; i < 2; ++i)
        c.ScrollSliders[i] = part(TsCommonIndexes::ScrollSliderSections[i], true, true);
    c.ComboBtn = GetSkinIndex("COMBOBTN");
    c.ComboBtnBorder = GetMaskIndexByName("COMBOBTN", "BORDERSMASK");
    c.ComboBtnPattern = GetTextureIndex(c.ComboBtn, "COMBOBTN", "PATTERN");
    c.ComboBtnHotPattern = GetTextureIndex(c.ComboBtn, "COMBOBTN", "HOTPATTERN");
    c.ComboGlyph = GetMaskIndexByName("COMBOBOX", "GLYPHMASK");
}
