// Small conversions that the fiscal core and the register window share: the operator-id
// rule, signed packed BCD amounts, BCD rates, date and time digits, money text, commercial
// rounding and byte-to-text routines. Texts are code page 1252; a byte text is a string
// whose characters stand for bytes one to one. Nothing here depends on the machine's
// locale: number texts always use the forms given below.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace UConvert {

// Longest signed packed BCD amount the core writes into a TLV field.
constexpr std::size_t MaxBcdBytes = 21;

// Operator ids, item names and units: ASCII capitals to lower case; blanks, control
// characters and 127 dropped; "#", digits and a-z kept, anything else becomes "#";
// at most 16 characters ("Anna Müller" -> "annam#ller").
std::string CleanOperatorId(std::string_view text);

// Optional "-" and decimal digits to signed packed BCD: leading zeros dropped, digits
// two per byte (first digit high), the last byte's low nibble the sign, C or D.
// "199" -> 19 9C, "-50" -> 05 0D, "0" -> 0C. A text that is not of that form raises
// EConvertError; an amount longer than MaxBcdBytes raises the range error.
std::string DecimalToBcd(std::string_view decimal);

// Back to decimal text: "-" when the last low nibble is D, then every nibble as a digit
// except a C or D sign nibble. Leading zeros stay (05 0D -> "-050").
std::string BcdToDecimal(std::string_view bcd);

// VAT rate text ("19.00", "7.00", "19.0", "19", "0.5") to the BCD of its hundredths of a
// percent: 19 00, 07 00, 19 00, 19 00, 50 (rates below 1 % take one byte).
// An unusable text gives no bytes.
std::string RateToBcd(std::string_view rate);

// Every nibble as a digit character ("0" + nibble).
std::string BcdToDigits(std::string_view bcd);
// As BcdToDigits, padded on the left with "0" to at least 4 characters.
std::string BcdToDigits4(std::string_view bcd);

// Date and time digits to BCD, two digits a byte: "20090812" -> 20 09 08 12. An odd
// last digit takes 0 as its partner.
std::string DigitTextToBcd(std::string_view digits);

// Half away from zero: 2.5 -> 3, 2.49 -> 2, -2.5 -> -3.
double RoundCommercial(long double x);

// Receipt money text: 199 -> " 1,99€", 5 -> " 0,05€", -50 -> "-0,50€", 0 -> "00,00€".
std::string CentsToMoneyText(std::int32_t cents);

// The bytes as one unsigned big-endian number in decimal ("0" for none). A value that
// does not fit 32 bits raises the range error.
std::string BytesToInteger(std::string_view bytes);

// The bytes as one big-endian hex number read as a signed 32-bit integer, in decimal
// (FF FF FF FF -> "-1"; "0" for none). More than 32 significant bits raise EConvertError.
std::string HexBytesToDecimal(std::string_view bytes);

// Every byte as two upper-case hex digits followed by one blank ("1A 2B ").
std::string BytesToHexText(std::string_view bytes);

// Every byte as the character of that code.
std::string BytesToText(const void* bytes, std::size_t count);

} // namespace UConvert
