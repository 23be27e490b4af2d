#include "skin/engine/sSkinValues.h"

#include <vector>

#include "gui/base/NumberFormat.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sUtils.h"

namespace {

// The number in columns [from, from + count) (1-based); false when the value is too short or
// the text is no number.
bool Column(const std::string& value, size_t from, size_t count, int& n)
{
    if (value.size() < from - 1 + count) return false;
    return TryStrToInt(value.substr(from - 1, count), n);
}

bool Columns(const std::string& value, const std::vector<std::pair<size_t, size_t>>& columns, int* out)
{
    for (const auto& [from, count] : columns)
        if (!Column(value, from, count, *out++)) return false;
    return true;
}

bool Word(int n, const std::string& s, const TCharSet& delims, int& value)
{
    return TryStrToInt(ExtractWord(n, s, delims), value);
}

uint16_t Low16(int v) { return static_cast<uint16_t>(v); }

bool ParseGlyph(const std::string& v, TsMaskData& m) // "@"
{
    int n[6];
    if (!Columns(v, {{2, 4}, {7, 4}, {12, 4}, {17, 4}, {22, 1}, {24, 1}}, n)) return false;
    m.R = TRect{n[0], n[1], n[2], n[3]};
    m.ImageCount = Low16(n[4]);
    m.MaskType = Low16(n[5]);
    m.ImgType = itisaGlyph;
    return true;
}

bool ParseBorder(const std::string& v, TsImageValue& image) // "^"
{
    int n[12];
    if (!Columns(
            v,
            {{2, 4}, {7, 4}, {12, 4}, {17, 4}, {22, 4}, {27, 4}, {32, 4}, {37, 4}, {42, 1}, {44, 1}, {46, 1}, {48, 1}},
            n))
        return false;
    TsMaskData& m = image.Mask;
    m.R = TRect{n[0], n[1], n[2], n[3]};
    m.WL = Low16(n[4]);
    m.WT = Low16(n[5]);
    m.WR = Low16(n[6]);
    m.WB = Low16(n[7]);
    m.ImageCount = Low16(n[8]);
    m.MaskType = Low16(n[9]);
    m.StretchMode = Low16(n[10]);
    m.BorderWidth = Low16(n[11]);
    m.ImgType = itisaBorder;
    image.DerivesWidths = m.WL == 0 && m.WT == 0 && m.WR == 0 && m.WB == 0;
    return true;
}

bool ParseTexture(const std::string& v, TsMaskData& m) // "~"
{
    int n[5];
    if (!Columns(v, {{2, 4}, {7, 4}, {12, 4}, {17, 4}, {22, 2}}, n)) return false;
    int maskType = 0;
    if (v.size() > 24 && !Column(v, 25, 1, maskType)) return false;
    m.R = TRect{n[0], n[1], n[2], n[3]};
    m.StretchMode = Low16(n[4]);
    m.MaskType = Low16(maskType);
    m.ImageCount = 1;
    m.ImgType = itisaTexture;
    return true;
}

bool ParseOwn(const std::string& v, TsImageValue& image) // "!"
{
    const TCharSet bang = CharSetOf("!");
    image.FileName = ExtractWord(1, v, bang);
    if (image.FileName.find(".BMP") == std::string::npos && image.FileName.find(".PNG") == std::string::npos)
        return false;
    int count, maskType, kind;
    if (!Word(2, v, bang, count) || !Word(3, v, bang, maskType) || !Word(4, v, bang, kind)) return false;
    TsMaskData& m = image.Mask;
    image.DerivesWidths = WordCount(v, bang) <= 4;
    if (!image.DerivesWidths) {
        int w[4];
        for (int i = 0; i < 4; ++i)
            if (!Word(5 + i, v, bang, w[i])) return false;
        m.WL = Low16(w[0]);
        m.WT = Low16(w[1]);
        m.WR = Low16(w[2]);
        m.WB = Low16(w[3]);
    }
    m.ImageCount = Low16(count);
    m.MaskType = Low16(maskType);
    m.ImgType = static_cast<TvxImgType>(kind >= 0 && kind <= 4 ? kind : 4);
    m.StretchMode = 4;
    image.OwnFile = true;
    return true;
}

// The words of an older value: the parts between parentheses that hold more than blanks
// ("#(0, 96, 36, 120) (3, 1)" -> "#", "0, 96, 36, 120", "3, 1").
std::vector<std::string> OlderWords(const std::string& v)
{
    std::vector<std::string> words;
    const TCharSet parens = CharSetOf("()");
    for (int n = 1, count = WordCount(v, parens); n <= count; ++n) {
        std::string w = ExtractWord(n, v, parens);
        if (w.find_first_not_of(' ') != std::string::npos) words.push_back(std::move(w));
    }
    return words;
}

bool ParseOlder(const std::string& v, TsMaskData& m) // "#(L,T,R,B)(C,M,W,S)"
{
    const TCharSet items = CharSetOf(", ");
    const std::vector<std::string> words = OlderWords(v);
    if (words.size() < 3) return false;
    const std::string& rect = words[1];
    const std::string& state = words[2];
    int r[4];
    for (int i = 0; i < 4; ++i)
        if (!Word(i + 1, rect, items, r[i])) return false;
    int count, maskType, width = 0, stretch = 1;
    if (!Word(1, state, items, count) || !Word(2, state, items, maskType)) return false;
    const int stateItems = WordCount(state, items);
    if (stateItems > 2 && !Word(3, state, items, width)) return false;
    if (stateItems > 3 && !Word(4, state, items, stretch)) return false;
    m.R = TRect{r[0], r[1], r[2], r[3]};
    m.ImageCount = Low16(count < 1 ? 1 : count);
    m.MaskType = Low16(maskType < 0 ? 0 : maskType);
    m.BorderWidth = Low16(width < 0 ? 0 : width);
    m.StretchMode = Low16(stretch);
    m.ImgType = itisaBorder;
    return true;
}

} // namespace

bool ParseImageValue(const std::string& value, TsImageValue& image)
{
    image = TsImageValue{};
    if (value.empty()) return false;
    bool ok = false;
    switch (value[0]) {
    case '@':
        ok = ParseGlyph(value, image.Mask);
        break;
    case '^':
        ok = ParseBorder(value, image);
        break;
    case '~':
        ok = ParseTexture(value, image.Mask);
        break;
    case '!':
        ok = ParseOwn(value, image);
        break;
    default:
        if (value.find('#') != std::string::npos) {
            if (value == "#") return false;
            ok = ParseOlder(value, image.Mask);
            image.DerivesWidths = ok;
        } else if (UpperCase(value).find(".BMP") != std::string::npos) {
            image.FileName = value;
            image.OwnFile = true;
            image.Mask.ImageCount = 3;
            image.Mask.MaskType = 1;
            image.Mask.ImgType = itisaBorder;
            image.DerivesWidths = ok = true;
        }
        image.UpperNames = ok;
    }
    return ok;
}

void DeriveBorderWidths(TsMaskData& m)
{
    if (m.BorderWidth != 0) {
        m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
        return;
    }
    const int count = m.ImageCount == 0 ? 1 : m.ImageCount;
    const int bands = static_cast<int16_t>(m.MaskType) + 1;
    const int w = (m.R.Right - m.R.Left) / (count * 3);
    const int h = bands <= 0 ? 0 : (m.R.Bottom - m.R.Top) / (bands * 3);
    m.WL = m.WR = Low16(w < 0 ? 0 : w);
    m.WT = m.WB = Low16(h < 0 ? 0 : h);
}
