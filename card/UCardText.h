// Small pieces of command text shared by the card operations: fixed-width hex numbers, the
// spaced and plain forms of data bytes, the select command and the splitting of a data text
// into command blocks. The hex text itself (reading and writing) is UHexASCII's.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "card/UCardFunc.h"

namespace UCardText {

// n as two (four) upper-case hex digits; the caller keeps n within range (0x0C -> "0C").
std::string Hex2(std::size_t n);
std::string Hex4(std::size_t n);

// The command that selects a file by its identifier: 0x3F00 -> "00 A4 00 0C 02 3F 00".
std::string SelectCommand(int fileId);

// Each byte as a blank and two upper-case hex digits: three characters a byte.
std::string SpacedHex(std::string_view bytes);

// Each byte as two upper-case hex digits, no blanks (bytes 01 AB -> "01AB").
std::string PlainHex(std::string_view bytes);

// Bytes of a hex text in which blanks are ignored.
std::string BytesOf(std::string_view hexText);

// Splits a text into blocks of `chunk` characters while more than `chunk` remain; the last
// element is the rest (possibly empty).
std::vector<std::string_view> SplitBlocks(std::string_view text, std::size_t chunk);

// The start of a card operation in the monitor: an empty line and its title in blue.
inline void LogHeading(TCardModule& m, const std::string& title)
{
    m.Log("");
    m.Log(title, clLogBlue);
}

} // namespace UCardText
