// Hex text: the form in which commands and answers cross between the register, the card
// library and the monitors. Written form: upper-case digit pairs separated by one blank
// ("00 A4 00 0C"). Read form: blanks optional, lower case allowed, any other character is 0.
// Byte strings are held in std::string, one char per byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace UHexASCII {

// 0..15 for a hex digit of either case, 255 for anything else.
std::uint8_t HexDigitValue(char c);

// Each byte as two upper-case digits, a blank between bytes, none at either end.
std::string BytesToHexText(std::string_view bytes);

// Reads hex text: pairs of digits make bytes; a blank ends a pending single digit, which
// then makes a byte of its own, as does a single digit left at the end ("A B" -> 0A 0B,
// "ABC" -> AB 0C). A character that is no hex digit counts as the digit 0.
std::string HexTextToBytes(std::string_view text);

// The text without any blank (code 32).
std::string RemoveBlanks(std::string_view text);

} // namespace UHexASCII
