// Texts as the tests read them back: a memo's lines, the elements of a journal, a receipt's
// columns.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Every text between the two marks ("<seqNo>", "</seqNo>"), in order.
inline std::vector<std::string> AllBetween(const std::string& text, const std::string& open, const std::string& close)
{
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        const size_t a = text.find(open, at);
        if (a == std::string::npos) return out;
        const size_t b = text.find(close, a + open.size());
        if (b == std::string::npos) return out;
        out.push_back(text.substr(a + open.size(), b - a - open.size()));
        at = b + close.size();
    }
}

// A receipt line of 42 columns: the text (24), a blank, the VAT classes (7), the amount ending
// in column 41, a blank.
inline std::string ReceiptLine(const std::string& text, const std::string& classes, const std::string& amount)
{
    std::string l = text + std::string(24 - text.size(), ' ') + " " + classes + std::string(7 - classes.size(), ' ');
    return l + std::string(9 - amount.size(), ' ') + amount + " ";
}
