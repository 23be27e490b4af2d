// Fuzz target of the skin engine's text routines: any text is read as INI-style sections and
// its name=value lines are read back through the section reader; words and replacements are
// checked against their definitions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skin/engine/sUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TStringList lines;
    lines.SetText(text);
    TsSections sections;
    LoadSections(lines, sections);
    for (const TsSection& s : sections)
        for (int i = 0; i < s.Lines.Count(); ++i) {
            const std::string line = s.Lines[i];
            const size_t eq = line.find('=');
            if (eq != std::string::npos) (void)ReadSectionInteger(sections, s.Name, line.substr(0, eq), -1);
        }
    // The first line of the first section is found as written.
    if (!sections.empty() && sections[0].Lines.Count() > 0) {
        const std::string line = sections[0].Lines[0];
        const size_t eq = line.find('=');
        if (eq != std::string::npos &&
            ReadSectionString(sections, sections[0].Name, line.substr(0, eq), "") != line.substr(eq + 1))
            std::abort();
    }

    const TCharSet delims = CharSetOf(";, ");
    const int words = WordCount(text, delims);
    std::size_t letters = 0;
    for (char c : text)
        letters += !CharInSet(c, delims);
    std::size_t total = 0;
    for (int n = 1; n <= words; ++n) {
        const std::string w = ExtractWord(n, text, delims);
        const int pos = WordPosition(n, text, delims);
        if (w.empty() || pos < 1 || text.compare(static_cast<size_t>(pos) - 1, w.size(), w) != 0) std::abort();
        total += w.size();
    }
    if (total != letters || !ExtractWord(words + 1, text, delims).empty()) std::abort();

    const std::string half = text.substr(0, text.size() / 2);
    const std::string replaced = ReplaceStr(text, half.substr(0, 3), "");
    if (replaced.size() > text.size()) std::abort();
    (void)IncludeTrailingSlash(half);
    return 0;
}
