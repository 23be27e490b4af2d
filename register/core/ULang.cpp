#include "register/core/ULang.h"

#include <vector>

#include <windows.h>

#include "gui/base/IniFiles.h"
#include "register/core/URangeCheck.h"
#include "register/core/URegisterCore.h"

namespace ULang {

std::string LangIniPath()
{
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            std::string path(buf.data(), n);
            path.erase(path.find_last_of("\\/") + 1);
            return path + "cfg\\lang.ini";
        }
        buf.resize(buf.size() * 2);
    }
}

std::string TLangFile::Value(std::string_view section, std::string_view key) const
{
    return TIniFile(path_).ReadString(std::string(section), std::string(key), "");
}

std::string TLangFile::Caption(std::string_view section, int tag) const
{
    return Value(section, std::to_string(tag) + "cap");
}

std::string TLangFile::Hint(std::string_view section, int tag) const
{
    return Value(section, std::to_string(tag) + "hint");
}

bool TLangFile::FrancaisOffered() const { return Value("Deutsch", "6cap") == "Französisch"; }

void TLanguageTexts::Load(std::string_view language, const TLangFile& file)
{
    if (!language.empty()) current_ = language;
    for (int n = 1; n <= TextCount; ++n)
        texts_[n - 1] = file.Value(current_, std::to_string(n) + "txt");
}

const std::string& TLanguageTexts::GetText(int n) const
{
    if (n < 1 || n > TextCount) RaiseRangeError();
    return texts_[n - 1];
}

TLanguageTexts& Languages() { return RegisterCore().Languages(); }

const std::string& GetText(int n) { return Languages().GetText(n); }

TTextRule TextRuleFor(const std::function<bool(std::string_view)>& inheritsFrom)
{
    struct Row {
        std::string_view name;
        TCaptionRule caption;
        bool hint;
    };
    static const Row rows[] = {
        {"TLabel", TCaptionRule::Always, false},       {"TsLabel", TCaptionRule::Always, false},
        {"TPanel", TCaptionRule::NonEmpty, false},     {"TsPanel", TCaptionRule::NonEmpty, true},
        {"TsCheckBox", TCaptionRule::Always, true},    {"TCheckBox", TCaptionRule::Always, true},
        {"TMenuItem", TCaptionRule::Always, true},     {"TGroupBox", TCaptionRule::Always, true},
        {"TImage", TCaptionRule::None, true},          {"TRadioGroup", TCaptionRule::Always, true},
        {"TTabSheet", TCaptionRule::Always, true},     {"TSpeedButton", TCaptionRule::Always, true},
        {"TButton", TCaptionRule::Always, true},       {"TsButton", TCaptionRule::Always, true},
        {"TRadioButton", TCaptionRule::Always, true},  {"TBitBtn", TCaptionRule::Always, true},
        {"TsBitBtn", TCaptionRule::Always, true},      {"TsLabelFX", TCaptionRule::Always, true},
        {"TDateTimePicker", TCaptionRule::None, true}, {"TMaskEdit", TCaptionRule::None, true},
        {"TEdit", TCaptionRule::None, true},           {"TsEdit", TCaptionRule::None, true},
        {"TStaticText", TCaptionRule::Always, false},
    };
    TTextRule rule;
    for (const Row& r : rows) {
        if (!inheritsFrom(r.name)) continue;
        rule.known = true;
        rule.hint = rule.hint || r.hint;
        if (r.caption == TCaptionRule::Always ||
            (r.caption == TCaptionRule::NonEmpty && rule.caption == TCaptionRule::None))
            rule.caption = r.caption;
    }
    return rule;
}

TTextRule TextRuleFor(std::string_view className)
{
    return TextRuleFor([className](std::string_view n) { return n == className; });
}

} // namespace ULang
