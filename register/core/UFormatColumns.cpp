#include "register/core/UFormatColumns.h"

namespace {

void AppendColumn(std::string& line, std::string_view text, std::size_t width)
{
    const std::string_view cut = text.substr(0, width);
    line += cut;
    line.append(width - cut.size(), ' ');
}

} // namespace

std::string FormatColumns(std::string_view a, std::string_view b, std::string_view c, std::string_view d)
{
    std::string line;
    AppendColumn(line, a, 7);
    line += ' ';
    AppendColumn(line, b, 9);
    line += ' ';
    AppendColumn(line, c, 9);
    line += ' ';
    AppendColumn(line, d, 9);
    return line;
}
