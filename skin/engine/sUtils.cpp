#include "skin/engine/sUtils.h"

#include <algorithm>

#include "gui/base/NumberFormat.h"

TRect MakeRect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }

int WidthOf(const TRect& r, bool notNegative)
{
    const int w = r.Right - r.Left;
    return notNegative && w < 0 ? 0 : w;
}

int HeightOf(const TRect& r, bool notNegative)
{
    const int h = r.Bottom - r.Top;
    return notNegative && h < 0 ? 0 : h;
}

bool RectsOverlap(const TRect& r1, const TRect& r2)
{
    const bool empty = r2.Right <= r2.Left || r2.Bottom <= r2.Top;
    return r2.Bottom > r1.Top && r2.Right > r1.Left && r2.Left < r1.Right && r2.Top < r1.Bottom && !empty;
}

bool RectInRect(const TRect& outer, const TRect& inner)
{
    auto inside = [&](int x, int y) {
        return x >= outer.Left && x <= outer.Right && y >= outer.Top && y <= outer.Bottom;
    };
    return inside(inner.Left, inner.Top) && inside(inner.Right, inner.Bottom);
}

TRect IntersectRects(const TRect& r1, const TRect& r2)
{
    return TRect{std::max(r1.Left, r2.Left), std::max(r1.Top, r2.Top), std::min(r1.Right, r2.Right),
                 std::min(r1.Bottom, r2.Bottom)};
}

bool IsBetween(int value, int min, int max) { return min <= value && value <= max; }
int MaxOf(int a, int b) { return a > b ? a : b; }
int MinOf(int a, int b) { return a < b ? a : b; }
int LimitIt(int value, int min, int max) { return value < min ? min : MinOf(value, max); }
int ClampByte(int n) { return n < 0 ? 0 : n > 255 ? 255 : n; }

std::string IfThenStr(bool condition, const std::string& whenTrue, const std::string& whenFalse)
{
    return condition ? whenTrue : whenFalse;
}

int IfThenInt(bool condition, int whenTrue, int whenFalse) { return condition ? whenTrue : whenFalse; }

TCharSet CharSetOf(std::string_view chars)
{
    TCharSet set;
    for (char c : chars)
        set.set(static_cast<unsigned char>(c));
    return set;
}

bool CharInSet(char c, const TCharSet& set) { return set.test(static_cast<unsigned char>(c)); }

int WordPosition(int n, const std::string& s, const TCharSet& delims)
{
    int count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const bool starts = !CharInSet(s[i], delims) && (i == 0 || CharInSet(s[i - 1], delims));
        if (starts && ++count == n) return static_cast<int>(i) + 1;
    }
    return 0;
}

int WordCount(const std::string& s, const TCharSet& delims)
{
    int count = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (!CharInSet(s[i], delims) && (i == 0 || CharInSet(s[i - 1], delims))) ++count;
    return count;
}

std::string ExtractWord(int n, const std::string& s, const TCharSet& delims)
{
    const int pos = WordPosition(n, s, delims);
    if (pos == 0) return {};
    size_t end = static_cast<size_t>(pos) - 1;
    while (end < s.size() && !CharInSet(s[end], delims))
        ++end;
    return s.substr(static_cast<size_t>(pos) - 1, end - (static_cast<size_t>(pos) - 1));
}

std::string DelChars(const std::string& s, char c)
{
    std::string r = s;
    r.erase(std::remove(r.begin(), r.end(), c), r.end());
    return r;
}

std::string ReplaceStr(const std::string& s, const std::string& oldText, const std::string& newText)
{
    if (oldText.empty()) return s;
    std::string r;
    size_t from = 0;
    for (size_t at; (at = s.find(oldText, from)) != std::string::npos; from = at + oldText.size())
        r += s.substr(from, at - from) + newText;
    return r + s.substr(from);
}

std::string IncludeTrailingSlash(const std::string& path)
{
    if (path.empty() || path.back() == '\\') return path;
    if (path.back() == '/') return path.substr(0, path.size() - 1) + "\\";
    if (path.size() == 1) return path + ":\\";
    return path + "\\";
}

void LoadSections(const TStrings& lines, TsSections& sections)
{
    sections.clear();
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = lines[i];
        if (line.empty() || line[0] == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.emplace_back();
            sections.back().Name = line.substr(1, line.size() - 2);
        } else if (!sections.empty()) {
            sections.back().Lines.Add(line);
        }
    }
}

std::string ReadSectionString(const TsSections& sections, const std::string& section, const std::string& name,
                              const std::string& fallback)
{
    for (const TsSection& s : sections) {
        if (s.Name != section) continue;
        for (int i = 0; i < s.Lines.Count(); ++i) {
            const std::string line = s.Lines[i];
            const size_t eq = line.find('=');
            if (eq != std::string::npos && line.compare(0, eq, name) == 0 && eq == name.size())
                return line.substr(eq + 1);
        }
        return fallback;
    }
    return fallback;
}

int ReadSectionInteger(const TsSections& sections, const std::string& section, const std::string& name, int fallback)
{
    std::string value = ReadSectionString(sections, section, name, "");
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) value = "$" + value.substr(2);
    return StrToIntDef(value, fallback); // "0x" alone is no number
}
