// Small pieces of command text shared by the card operations: fixed-width hex numbers, the
// spaced form of data bytes and the splitting of a data text into command blocks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "card/UCardFunc.h"

namespace UCardText {

// n as two (four) upper-case hex digits; the caller keeps n within range.
std::string Hex2(std::size_t n);
std::string Hex4(std::size_t n);

// Each byte as a blank and two upper-case hex digits: three characters a byte.
std::string SpacedHex(std::string_view bytes);

// Each byte as two upper-case hex digits, no blanks.
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
