// Reading the card monitor's rich edit from a test: its text in lines, the rich edit's own
// character positions and the colour of a character.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <cstddef>
#include <string>
#include <vector>

namespace MonitorText {

// Lines of a text, whether the rich edit hands out CR LF or CR alone as the line end.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

// The rich edit's own position of a character of its text as WM_GETTEXT hands it out (CR LF
// counts as one character there).
inline int RichPosition(const std::string& text, std::size_t index)
{
    int pos = 0;
    for (std::size_t i = 0; i < index; ++i)
        if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) ++pos;
    return pos;
}

// The text colour of the character at the rich edit's position charIndex.
inline COLORREF ColourAt(HWND log, int charIndex)
{
    CHARRANGE cr{charIndex, charIndex + 1};
    SendMessageA(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    SendMessageA(log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf.crTextColor;
}

} // namespace MonitorText
