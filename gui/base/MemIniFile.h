// An INI text held in memory: sections of key=value lines read once from a list of lines
// (a file's text, a stream's text, a string list) and then looked up without touching any
// file. Platform-free.
//
// Reading the lines: every line is trimmed of blanks and tabs; empty lines and lines beginning
// with ';' are skipped; "[NAME]" starts a section (the name trimmed, "[ Form ]" -> "Form");
// "key=value" adds an entry to the current section (key and value trimmed, the value kept
// as written otherwise: no quotes removed); lines before the first section and lines without
// "=" or with an empty key are dropped. The bytes are taken as they are (ANSI, code page
// 1252).
//
// Names of sections and keys compare without regard to case (ASCII letters). Of two sections
// of the same name the first counts and the second is dropped whole; of two keys of the same
// name in one section ReadString finds the first, while ReadSectionValues lists both.
//
//   [Button]
//   Color = 255          ReadString("BUTTON", "color", "") -> "255"
//   [BUTTON]             dropped (a second section "Button")
//   Color=0
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "gui/base/Classes.h"

class TStrings;

class TMemIniFile : public TObject {
    GUI_CLASS(TMemIniFile, TObject)
    TMemIniFile() = default;
    explicit TMemIniFile(const TStrings& lines) { SetStrings(lines); }

    // Replaces the whole content by the sections of the lines.
    void SetStrings(const TStrings& lines);
    void Clear();

    // The first value of the key in the section; fallback when either is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // The value as a decimal (or "$"/"0x" hex) integer; fallback when missing or no number.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // The section names as written, in text order, each once.
    void ReadSections(TStrings& sections) const;
    // The entries of the section as "key=value" lines, in text order (keys as written,
    // repeated keys included); empty when the section is missing.
    void ReadSectionValues(const std::string& section, TStrings& lines) const;

private:
    struct Entry {
        std::string Key, Value;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
        std::unordered_map<std::string, size_t> FirstOfKey; // upper-cased key -> entry
    };
    const Section* Find(const std::string& section) const;
    const Entry* Find(const std::string& section, const std::string& key) const;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> index_; // upper-cased name -> section
};
