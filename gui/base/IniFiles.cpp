#include "gui/base/IniFiles.h"

#include "gui/base/Streams.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"

TIniFile::TIniFile(const std::string& fileName) : fileName_(fileName) {}

void TIniFile::Load() const
{
    sections_.clear();
    if (!FileExists(fileName_)) return;
    TStringList lines;
    lines.LoadFromFile(fileName_);
    Section* current = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        std::string line = Trim(lines[i]);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t e = line.find(']');
            std::string name = Trim(line.substr(1, e == std::string::npos ? std::string::npos : e - 1));
            current = nullptr;
            for (auto& s : sections_)
                if (SameText(s.name, name)) current = &s;
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        bool known = false;
        for (auto& e : current->entries)
            if (SameText(e.key, key)) known = true;
        if (!known) current->entries.push_back({key, value});
    }
}

// Find looks into what the last Load read; the public calls load first.
const TIniFile::Section* TIniFile::Find(const std::string& section) const
{
    for (const auto& s : sections_)
        if (SameText(s.name, section)) return &s;
    return nullptr;
}

const TIniFile::Entry* TIniFile::Find(const std::string& section, const std::string& key) const
{
    const Section* s = Find(section);
    if (!s) return nullptr;
    for (const auto& e : s->entries)
        if (SameText(e.key, key)) return &e;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& fallback) const
{
    Load();
    const Entry* e = Find(section, key);
    return e ? e->value : fallback;
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
    Section* s = const_cast<Section*>(Find(section));
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    Entry* e = const_cast<Entry*>(Find(section, key));
    if (e) e->value = value;
    else s->entries.push_back({key, value});
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
    return Find(section) != nullptr;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    Load();
    return Find(section, key) != nullptr;
}

void TIniFile::ReadSection(const std::string& section, TStrings& keys) const
{
    Load();
    keys.Clear();
    if (const Section* s = Find(section))
        for (const auto& e : s->entries)
            keys.Add(e.key);
}

void TIniFile::ReadSections(TStrings& sections) const
{
    Load();
    sections.Clear();
    for (const auto& s : sections_)
        sections.Add(s.name);
}

void TIniFile::EraseSection(const std::string& section)
{
    Load();
    for (size_t i = 0; i < sections_.size(); ++i)
        if (SameText(sections_[i].name, section)) {
            sections_.erase(sections_.begin() + static_cast<long>(i));
            UpdateFile();
            return;
        }
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    Load();
    Section* s = const_cast<Section*>(Find(section));
    if (!s) return;
    for (size_t i = 0; i < s->entries.size(); ++i)
        if (SameText(s->entries[i].key, key)) {
            s->entries.erase(s->entries.begin() + static_cast<long>(i));
            UpdateFile();
            return;
        }
}

void TIniFile::UpdateFile()
{
    std::string text;
    for (const auto& s : sections_) {
        text += "[" + s.name + "]\r\n";
        for (const auto& e : s.entries)
            text += e.key + "=" + e.value + "\r\n";
        text += "\r\n";
    }
    TFileStream f(fileName_, fmCreate);
    f.WriteString(text);
}
