// Language texts: the 90 numbered texts that the code fetches by number, and the captions
// and hints of the window components keyed by their Tag, all from "cfg\lang.ini" beside the
// executable. One section per language ("Deutsch", "English", "Francais", "Polish"); keys
// "<n>txt" for text n, "<Tag>cap" and "<Tag>hint" for the components. There are no built-in
// texts: a missing key is an empty text.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace ULang {

constexpr int TextCount = 90;

// The folder "cfg" beside the executable, with its "lang.ini".
std::string LangIniPath();

// Reads values of one language file, as the program's INI files are read (gui/base/IniFiles.h:
// quotes around a value are taken off).
class TLangFile {
public:
    explicit TLangFile(std::string path) : path_(std::move(path)) {}

    // The value of a key, "" when the file, the section or the key is missing.
    std::string Value(std::string_view section, std::string_view key) const;
    std::string Caption(std::string_view section, int tag) const;
    std::string Hint(std::string_view section, int tag) const;

    // The menu item "Francais" is offered exactly when the German section names it
    // "Französisch" under key 6cap, whatever language is current.
    bool FrancaisOffered() const;

private:
    std::string path_;
};

// The program-wide text table and the current language.
class TLanguageTexts {
public:
    // Steps of loading a language that need no window: a non-empty language becomes the
    // current one (an empty one keeps it), then texts 1..90 are read from its section.
    void Load(std::string_view language, const TLangFile& file);

    const std::string& Current() const { return current_; }
    // Makes a language the current one without loading it (the main window's start settings);
    // the next load with an empty language loads it.
    void SetCurrent(std::string language) { current_ = std::move(language); }
    // Text n, 1..90; any other number raises the range error.
    const std::string& GetText(int n) const;

private:
    std::string current_ = "Deutsch";
    std::array<std::string, TextCount> texts_;
};

// The program's text table (the core's, URegisterCore.h).
TLanguageTexts& Languages();
// Text n of the current language (1..90).
const std::string& GetText(int n);

// How a component takes its texts when its Tag is not 0.
enum class TCaptionRule { None, Always, NonEmpty };
struct TTextRule {
    TCaptionRule caption = TCaptionRule::None;
    bool hint = false;
    bool known = false; // the class is one that takes language texts at all
};
// The rule for a component, given the test whether its class is or derives from a named
// class ("TLabel", "TsPanel", "TMenuItem", ...). Every row of the class table that the
// component matches applies, in table order: a caption row that always assigns wins over one
// that assigns only a non-empty text (the later assignment of an empty text stands), and a
// hint comes from any matching row that gives one. A TsPanel (derived from TPanel) thus takes
// a non-empty caption and its hint.
TTextRule TextRuleFor(const std::function<bool(std::string_view)>& inheritsFrom);
// The same for a class by its name alone.
TTextRule TextRuleFor(std::string_view className);

} // namespace ULang
