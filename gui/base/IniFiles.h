// INI files: sections of key=value lines, names compared without regard to case. Every call
// reads the file afresh and every change is written through at once (the file is created on
// the first write), so two objects on the same file see and keep each other's changes. Integers are decimal text; Booleans are written as 1 and 0 and read as false only
// for 0. Texts are code page 1252 bytes.
#pragma once

#include <string>
#include <vector>

#include "gui/base/Classes.h"

class TStrings;

class TIniFile : public TObject {
    GUI_CLASS(TIniFile, TObject)
    explicit TIniFile(const std::string& fileName);

    const std::string& FileName() const { return fileName_; }
    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    void ReadSection(const std::string& section, TStrings& keys) const;
    void ReadSections(TStrings& sections) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);
    // Writes the file now (every change already does).
    void UpdateFile();

private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    // Reads the file as it is now (nothing when it does not exist).
    void Load() const;
    const Section* Find(const std::string& section) const;
    const Entry* Find(const std::string& section, const std::string& key) const;
    std::string fileName_;
    mutable std::vector<Section> sections_;
};
