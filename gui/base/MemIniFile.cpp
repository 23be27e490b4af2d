#include "gui/base/MemIniFile.h"

#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"

namespace {

std::string TrimBlanks(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

} // namespace

void TMemIniFile::Clear()
{
    sections_.clear();
    index_.clear();
}

void TMemIniFile::SetStrings(const TStrings& lines)
{
    Clear();
    Section* current = nullptr; // null before the first section and inside a repeated one
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = TrimBlanks(lines[i]);
        if (line.empty() || line[0] == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string name = TrimBlanks(line.substr(1, line.size() - 2));
            current = nullptr;
            if (index_.emplace(UpperCase(name), sections_.size()).second) {
                sections_.push_back(Section{name, {}, {}});
                current = &sections_.back();
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        std::string key = TrimBlanks(line.substr(0, eq));
        if (key.empty()) continue;
        current->FirstOfKey.emplace(UpperCase(key), current->Entries.size());
        current->Entries.push_back(Entry{std::move(key), TrimBlanks(line.substr(eq + 1))});
    }
}

const TMemIniFile::Section* TMemIniFile::Find(const std::string& section) const
{
    const auto it = index_.find(UpperCase(section));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

const TMemIniFile::Entry* TMemIniFile::Find(const std::string& section, const std::string& key) const
{
    const Section* s = Find(section);
    if (!s) return nullptr;
    const auto it = s->FirstOfKey.find(UpperCase(key));
    return it == s->FirstOfKey.end() ? nullptr : &s->Entries[it->second];
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const
{
    const Entry* e = Find(section, key);
    return e ? e->Value : fallback;
}

int TMemIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const
{
    const Entry* e = Find(section, key);
    return e ? StrToIntDef(e->Value, fallback) : fallback;
}

bool TMemIniFile::SectionExists(const std::string& section) const { return Find(section) != nullptr; }

bool TMemIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    return Find(section, key) != nullptr;
}

void TMemIniFile::ReadSections(TStrings& sections) const
{
    sections.BeginUpdate();
    sections.Clear();
    for (const Section& s : sections_)
        sections.Add(s.Name);
    sections.EndUpdate();
}

void TMemIniFile::ReadSectionValues(const std::string& section, TStrings& lines) const
{
    lines.BeginUpdate();
    lines.Clear();
    if (const Section* s = Find(section))
        for (const Entry& e : s->Entries)
            lines.Add(e.Key + "=" + e.Value);
    lines.EndUpdate();
}
