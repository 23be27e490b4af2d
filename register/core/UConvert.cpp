#include "register/core/UConvert.h"

#include <cmath>
#include <cstdint>

#include "gui/base/SysUtils.h"
#include "register/core/URangeCheck.h"

namespace UConvert {

namespace {

const char HexDigits[] = "0123456789ABCDEF";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string RemoveBlanks(std::string text)
{
    std::erase(text, ' ');
    return text;
}

// Two digit characters into one byte, first digit high.
char PackPair(char high, char low) { return static_cast<char>(((high & 0x0F) << 4) | (low & 0x0F)); }

} // namespace

std::string CleanOperatorId(std::string_view text)
{
    std::string id;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
        if (c < 33 || c == 127) continue;
        if (!(c == '#' || IsDigit(static_cast<char>(c)) || (c >= 'a' && c <= 'z'))) c = '#';
        id += static_cast<char>(c);
        if (id.size() == 16) break;
    }
    return id;
}

std::string DecimalToBcd(std::string_view decimal)
{
    char sign = 0x0C;
    std::string_view digits = decimal;
    if (!digits.empty() && digits.front() == '-') {
        sign = 0x0D;
        digits.remove_prefix(1);
    }
    if (digits.empty()) throw EConvertError("'" + std::string(decimal) + "' ist kein gültiger Integerwert");
    for (char c : digits)
        if (!IsDigit(c)) throw EConvertError("'" + std::string(decimal) + "' ist kein gültiger Integerwert");
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    std::string padded;
    if (digits.size() % 2 == 0) padded = "0";
    padded += digits;
    const std::size_t count = padded.size() / 2 + 1;
    if (count > MaxBcdBytes) RaiseRangeError();
    std::string bcd;
    bcd.reserve(count);
    std::size_t i = 0;
    for (; i + 1 < padded.size(); i += 2)
        bcd += PackPair(padded[i], padded[i + 1]);
    bcd += static_cast<char>(((padded[i] & 0x0F) << 4) | sign);
    return bcd;
}

std::string BcdToDecimal(std::string_view bcd)
{
    std::string text;
    if (bcd.empty()) return text;
    if ((static_cast<unsigned char>(bcd.back()) & 0x0F) == 0x0D) text += '-';
    for (char ch : bcd) {
        const auto b = static_cast<unsigned char>(ch);
        text += static_cast<char>('0' + (b >> 4));
        const int low = b & 0x0F;
        if (low != 0x0C && low != 0x0D) text += static_cast<char>('0' + low);
    }
    return text;
}

std::string RateToBcd(std::string_view rate)
{
    std::string t(rate);
    if (t.size() < 5) t.insert(0, 5 - t.size(), '0');
    std::size_t dot = t.find('.');
    if (dot == 4) { // position 5: a trailing point of a five-place text counts as none
        t.erase(dot, 1);
        dot = std::string::npos;
    }
    if (dot == std::string::npos) {
        t += "00";
    } else if (dot == 2 || dot == 3) {
        t.erase(dot, 1);
        if (dot == 3) t += '0';
    } else {
        return {};
    }
    // Anything but digits (besides the one point) makes the text unusable, also in the
    // places that are dropped below: "19,00" is no rate of 0 %.
    for (char c : t)
        if (!IsDigit(c)) return {};
    if (t.size() >= 5) t.erase(0, t.size() - 4);
    if (t.size() > 3 && t.compare(0, 2, "00") == 0) t.erase(0, 2);
    std::string bcd;
    for (std::size_t i = 0; i + 1 < t.size(); i += 2)
        bcd += PackPair(t[i], t[i + 1]);
    return bcd;
}

std::string BcdToDigits(std::string_view bcd)
{
    std::string text;
    text.reserve(bcd.size() * 2);
    for (char ch : bcd) {
        const auto b = static_cast<unsigned char>(ch);
        text += static_cast<char>('0' + (b >> 4));
        text += static_cast<char>('0' + (b & 0x0F));
    }
    return text;
}

std::string BcdToDigits4(std::string_view bcd)
{
    std::string text = BcdToDigits(bcd);
    if (text.size() < 4) text.insert(0, 4 - text.size(), '0');
    return text;
}

std::string DigitTextToBcd(std::string_view digits)
{
    std::string bcd;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bcd += PackPair(digits[i], i + 1 < digits.size() ? digits[i + 1] : '0');
    return bcd;
}

double RoundCommercial(long double x)
{
    const long double whole = std::trunc(x);
    return static_cast<double>(whole + std::trunc((x - whole) * 2));
}

std::string CentsToMoneyText(std::int32_t cents)
{
    std::string text = std::to_string(cents);
    if (cents > 0) text.insert(0, 1, ' ');
    while (text.size() < 4)
        text.insert(1, 1, '0');
    text.insert(text.size() - 2, 1, ',');
    text += '\x80';
    return text;
}

std::string BytesToInteger(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (char ch : bytes) {
        value = (value << 8) | static_cast<unsigned char>(ch);
        if (value > 0xFFFFFFFFu) RaiseRangeError();
    }
    return std::to_string(value);
}

std::string HexBytesToDecimal(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (char ch : bytes) {
        value = (value << 8) | static_cast<unsigned char>(ch);
        if (value > 0xFFFFFFFFu)
            throw EConvertError("'$" + RemoveBlanks(BytesToHexText(bytes)) + "' ist kein gültiger Integerwert");
    }
    return std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

std::string BytesToHexText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        text += HexDigits[b >> 4];
        text += HexDigits[b & 0x0F];
        text += ' ';
    }
    return text;
}

std::string BytesToText(const void* bytes, std::size_t count)
{
    return std::string(static_cast<const char*>(bytes), count);
}

} // namespace UConvert
