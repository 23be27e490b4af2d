// INI files: sections of key=value lines, names compared without regard to case. The file is
// read when the object is made and written through at every change (created on the first
// write). Integers are decimal text; Booleans are written as 1 and 0 and read as false only
// for 0. Texts are code page 1252 bytes.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"

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
    const Section* Find(const std::string& section) const;
    const Entry* Find(const std::string& section, const std::string& key) const;
    std::string fileName_;
    std::vector<Section> sections_;
};
