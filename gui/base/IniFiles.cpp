#include "gui/base/IniFiles.h"

#include "gui/base/Streams.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"

namespace {

std::string TrimBlanks(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// The name of a section header line ("[ CFG ]" -> "CFG"); false for other lines.
bool HeaderName(const std::string& line, std::string& name)
{
    std::string t = TrimBlanks(line);
    if (t.empty() || t[0] != '[') return false;
    size_t e = t.rfind(']');
    name = TrimBlanks(t.substr(1, e == std::string::npos || e == 0 ? std::string::npos : e - 1));
    return true;
}

// Key and value of an entry line; false for blank, comment and other lines.
bool Entry(const std::string& line, std::string& key, std::string& value)
{
    std::string t = TrimBlanks(line);
    if (t.empty() || t[0] == ';' || t[0] == '[') return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = TrimBlanks(t.substr(0, eq));
    value = TrimBlanks(t.substr(eq + 1));
    return true;
}

// A value in matching quotes loses them ("'x'" -> "x"; a lone quote stays).
std::string Unquote(const std::string& v)
{
    if (v.size() >= 2 && (v[0] == '\'' || v[0] == '"') && v.back() == v[0]) return v.substr(1, v.size() - 2);
    return v;
}

} // namespace

TIniFile::TIniFile(const std::string& fileName) : fileName_(fileName) {}

void TIniFile::Load() const
{
    lines_.clear();
    if (!FileExists(fileName_)) return;
    TStringList lines;
    lines.LoadFromFile(fileName_);
    for (int i = 0; i < lines.Count(); ++i)
        lines_.push_back(lines[i]);
}

bool TIniFile::FindSection(const std::string& section, Span& span) const
{
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!HeaderName(lines_[i], name) || !SameText(name, section)) continue;
        size_t end = i + 1;
        while (end < lines_.size() && !HeaderName(lines_[end], name))
            ++end;
        span = Span{i, end};
        return true;
    }
    return false;
}

size_t TIniFile::FindKey(const Span& span, const std::string& key) const
{
    std::string k, v;
    for (size_t i = span.header + 1; i < span.end; ++i)
        if (Entry(lines_[i], k, v) && SameText(k, key)) return i;
    return std::string::npos;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& fallback) const
{
    Load();
    Span span{};
    if (!FindSection(section, span)) return fallback;
    size_t at = FindKey(span, key);
    if (at == std::string::npos) return fallback;
    std::string k, v;
    Entry(lines_[at], k, v);
    return Unquote(v);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const
{
    return StrToIntDef(ReadString(section, key, ""), fallback);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    Load();
    Span span{};
    if (!FindSection(section, span)) {
        if (!lines_.empty() && !TrimBlanks(lines_.back()).empty()) lines_.push_back("");
        lines_.push_back("[" + section + "]");
        lines_.push_back(key + "=" + value);
        UpdateFile();
        return;
    }
    size_t at = FindKey(span, key);
    if (at != std::string::npos) {
        std::string k, v;
        Entry(lines_[at], k, v);
        lines_[at] = k + "=" + value;
    } else {
        // After the section's last line that is not blank.
        size_t after = span.end;
        while (after > span.header + 1 && TrimBlanks(lines_[after - 1]).empty())
            --after;
        lines_.insert(lines_.begin() + static_cast<long>(after), key + "=" + value);
    }
    UpdateFile();
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const
{
    Load();
    Span span{};
    return FindSection(section, span);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    Load();
    Span span{};
    return FindSection(section, span) && FindKey(span, key) != std::string::npos;
}

void TIniFile::ReadSection(const std::string& section, TStrings& keys) const
{
    Load();
    keys.Clear();
    Span span{};
    if (!FindSection(section, span)) return;
    std::string k, v;
    for (size_t i = span.header + 1; i < span.end; ++i)
        if (Entry(lines_[i], k, v) && keys.IndexOf(k) < 0) keys.Add(k);
}

void TIniFile::ReadSections(TStrings& sections) const
{
    Load();
    sections.Clear();
    std::string name;
    for (const std::string& line : lines_)
        if (HeaderName(line, name) && sections.IndexOf(name) < 0) sections.Add(name);
}

void TIniFile::EraseSection(const std::string& section)
{
    Load();
    Span span{};
    if (!FindSection(section, span)) return;
    lines_.erase(lines_.begin() + static_cast<long>(span.header), lines_.begin() + static_cast<long>(span.end));
    UpdateFile();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    Load();
    Span span{};
    if (!FindSection(section, span)) return;
    size_t at = FindKey(span, key);
    if (at == std::string::npos) return;
    lines_.erase(lines_.begin() + static_cast<long>(at));
    UpdateFile();
}

void TIniFile::UpdateFile()
{
    std::string text;
    for (const std::string& line : lines_)
        text += line + "\r\n";
    TFileStream f(fileName_, fmCreate);
    f.WriteString(text);
}
