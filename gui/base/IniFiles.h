// INI files: sections of key=value lines, names compared without regard to case, read as the
// system's profile functions (GetPrivateProfileString) read them, so a file means the same
// whichever reader opens it: names and values are trimmed of blanks and tabs; a value enclosed
// in matching quotes ('x' or "x") loses them; the first section of a name and the first key of
// a name in it count; lines beginning with ';' are comments. Every call reads the file afresh and
// every change is written through at once (the file is created on the first write), so two
// objects on the same file see and keep each other's changes. A write changes only its own
// line: comments, blank lines and the order of the keys stay as they were; a new key goes
// after the last entry of its section, a new section at the end of the file. Integers are
// decimal text; Booleans are written as 1 and 0 and read as false only for 0. Texts are code
// page 1252 bytes; lines are written with CR LF.
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
    // The keys of the section in file order, and the section names in file order (each once).
    void ReadSection(const std::string& section, TStrings& keys) const;
    void ReadSections(TStrings& sections) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);
    // Writes the file now (every change already does).
    void UpdateFile();

private:
    // A section: its header line and the line after its last line.
    struct Span {
        size_t header, end;
    };
    // Reads the file's lines as they are now (none when it does not exist).
    void Load() const;
    bool FindSection(const std::string& section, Span& span) const;
    // The line of the key in the section, or npos.
    size_t FindKey(const Span& span, const std::string& key) const;
    std::string fileName_;
    mutable std::vector<std::string> lines_;
};
