// Fuzz target of the skin text reader: any text is loaded as "Options.dat" (the part after the
// first NUL byte, if any, as CommonSections) through an image source without pictures; every
// lookup of every section and key must end and answer -1 or a valid index, every rectangle in
// the master bitmap must lie inside it, and the fixed indexes must be -1 or valid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skin/engine/sSkinValues.h"
#include "skin/engine/tests/FakeSkinImages.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

void CheckIndex(const TsSkinTables& t, int i) { Check(i == -1 || t.IsValidImgIndex(i)); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const TMemIniFile ini = SkinText(input.substr(0, nul));
    TStringList common;
    if (nul != std::string::npos) common.SetText(input.substr(nul + 1));

    TFakeSkinImages images;
    images.MasterWidth = 200;
    images.MasterHeight = 100;
    // Own files: names with "0" are missing, the others 30 x 20.
    TsSkinTables t;
    TStringList sections, lines;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        ini.ReadSectionValues(sections[s], lines);
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string v = lines.Values(lines.Names(i));
            TsImageValue image;
            if (ParseImageValue(v, image) && image.OwnFile && image.FileName.find('0') == std::string::npos)
                images.Files[image.FileName] = {30, 20};
        }
    }
    t.LoadAllMasks(ini, images);
    t.LoadAllPatterns(ini, images);
    t.LoadAllGeneralData(ini, common, nullptr);
    t.UpdateCommonIndexes();

    for (const TsMaskData& m : t.MaskData) {
        if (!m.Bmp)
            Check(m.R.Left >= 0 && m.R.Top >= 0 && m.R.Left <= m.R.Right && m.R.Top <= m.R.Bottom && m.R.Right <= 200 &&
                  m.R.Bottom <= 100);
        Check(MaskFrameWidth(m) >= 0 && MaskFrameHeight(m) >= 0);
    }
    for (size_t i = 0; i < t.MaskData.size(); ++i) {
        const int n = static_cast<int>(i);
        int w = 0, h = 0;
        t.GetMaskSize(n, w, h);
        Check(w >= 0 && h >= 0 && t.GetMaskLeftWidth(n) >= 0 && t.GetMaskTopWidth(n) >= 0 &&
              t.GetMaskRightWidth(n) >= 0 && t.GetMaskBottomWidth(n) >= 0);
        const TsMaskData& m = t.MaskData[i];
        Check(t.GetMaskIndexByName(m.SectionName, m.PropertyName) <= n);
    }
    for (size_t s = 0; s < t.GeneralData.size(); ++s) {
        const TsGeneralData& g = t.GeneralData[s];
        const int index = static_cast<int>(s);
        CheckIndex(t, g.BorderIndex);
        CheckIndex(t, g.ImgTopLeft);
        Check(t.GetSkinIndex(g.Name) <= index);
        // The lookups along the chain, for the keys of the first images and the first pattern.
        for (size_t k = 0; k < t.MaskData.size() && k < 4; ++k) {
            CheckIndex(t, t.GetMaskIndex(index, g.Name, t.MaskData[k].PropertyName));
            CheckIndex(t, t.GetTextureIndex(index, g.Name, t.MaskData[k].PropertyName));
        }
        if (!t.PatternData.empty()) {
            const int i = t.GetPatternIndex(index, g.Name, t.PatternData[0].PropertyName);
            Check(i == -1 || (i >= 0 && i < static_cast<int>(t.PatternData.size())));
        }
    }
    const TsCommonIndexes& c = t.CommonIndexes;
    for (int i : {c.ExBorder, c.BoxChecked, c.SmallGrayed, c.ComboBtnBorder, c.ComboBtnPattern, c.ComboGlyph,
                  c.Tabs[0].BorderIndex, c.ScrollButtons[3].GlyphIndex, c.ScrollSliders[1].HotPatternIndex,
                  c.ScrollBars[2].PatternIndex})
        CheckIndex(t, i);
    t.ClearSkinTables();
    t.UpdateCommonIndexes();
    Check(t.CommonIndexes.GlobalInfo == -1 && t.CommonIndexes.ComboBtn == -1);
    return 0;
}
