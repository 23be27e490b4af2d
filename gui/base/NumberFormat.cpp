#include "gui/base/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "gui/base/SysUtils.h"

namespace {

[[noreturn]] void NotAnInteger(const std::string& s)
{
    throw EConvertError("'" + s + "' ist kein gültiger Integerwert");
}

[[noreturn]] void NotAFloat(const std::string& s)
{
    throw EConvertError("'" + s + "' ist kein gültiger Gleitkommawert");
}

bool ParseInt64(const std::string& text, long long& value)
{
    std::string s = Trim(text);
    if (s.empty()) return false;
    size_t i = 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    unsigned long long v = 0;
    auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    if (v > static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + (negative ? 1 : 0)) return false;
    value = negative ? static_cast<long long>(0 - v) : static_cast<long long>(v);
    return true;
}

} // namespace

std::string IntToStr(long long value) { return std::to_string(value); }

std::string IntToHex(unsigned long long value, int digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", digits, value);
    return buf;
}

bool TryStrToInt(const std::string& s, int& value)
{
    long long v = 0;
    if (!ParseInt64(s, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const std::string& s)
{
    int v = 0;
    if (!TryStrToInt(s, v)) NotAnInteger(s);
    return v;
}

int StrToIntDef(const std::string& s, int fallback)
{
    int v = 0;
    return TryStrToInt(s, v) ? v : fallback;
}

long long StrToInt64(const std::string& s)
{
    long long v = 0;
    if (!ParseInt64(s, v)) NotAnInteger(s);
    return v;
}

bool TryStrToFloat(const std::string& text, double& value, char decimalSeparator)
{
    std::string s = Trim(text);
    // Digits with at most one decimal comma, an optional sign and an optional exponent.
    std::string c;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
    bool digits = false, separator = false;
    for (; i < s.size(); ++i) {
        char ch = s[i];
        if (ch >= '0' && ch <= '9') {
            c += ch;
            digits = true;
        } else if (ch == decimalSeparator && !separator) {
            c += '.';
            separator = true;
        } else break;
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
        bool expDigits = false;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            c += s[i];
            expDigits = true;
        }
        if (!expDigits) return false;
    }
    if (i != s.size()) return false;
    const char* first = c.data();
    if (*first == '+') ++first;
    double v = 0;
    auto [end, ec] = std::from_chars(first, c.data() + c.size(), v);
    if (ec != std::errc() || end != c.data() + c.size()) return false;
    value = v;
    return true;
}

double StrToFloat(const std::string& s, char decimalSeparator)
{
    double v = 0;
    if (!TryStrToFloat(s, v, decimalSeparator)) NotAFloat(s);
    return v;
}

double StrToFloatDef(const std::string& s, double fallback, char decimalSeparator)
{
    double v = 0;
    return TryStrToFloat(s, v, decimalSeparator) ? v : fallback;
}

std::string FloatToStrG(double value, int precision)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    // Digits in scientific form, then placed as the general format wants them. to_chars does
    // not look at the C runtime's locale.
    char buf[64];
    auto sciEnd = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1).ptr;
    std::string sci(buf, sciEnd);
    size_t ePos = sci.find('e');
    int exponent = std::stoi(sci.substr(ePos + 1));
    std::string mantissa = sci.substr(0, ePos);
    bool negative = mantissa[0] == '-';
    std::string digits;
    for (char ch : mantissa)
        if (ch >= '0' && ch <= '9') digits += ch;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= precision) {
        out += digits[0];
        if (digits.size() > 1) out += DecimalSeparator + digits.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0";
        out += DecimalSeparator;
        out += std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        size_t whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole) out += digits + std::string(whole - digits.size(), '0');
        else out += digits.substr(0, whole) + DecimalSeparator + digits.substr(whole);
    }
    return out;
}

std::string FloatToStr(double value) { return FloatToStrG(value, 15); }

std::string FloatToStrFixed(double value, int digits)
{
    return FormatFloat(digits > 0 ? "0." + std::string(static_cast<size_t>(digits), '0') : "0", value);
}

std::string FormatFloat(const std::string& pattern, double value)
{
    // Split the pattern into integer part and fraction part; literals before and after pass through.
    size_t firstPh = pattern.find_first_of("0#");
    if (firstPh == std::string::npos) return pattern;
    size_t lastPh = pattern.find_last_of("0#");
    std::string prefix = pattern.substr(0, firstPh), suffix = pattern.substr(lastPh + 1);
    std::string body = pattern.substr(firstPh, lastPh - firstPh + 1);
    size_t dot = body.find('.');
    std::string intPart = body.substr(0, dot), fracPart = dot == std::string::npos ? "" : body.substr(dot + 1);
    bool grouping = intPart.find(',') != std::string::npos;
    int minInt = 0, minFrac = 0, maxFrac = 0;
    for (char ch : intPart)
        if (ch == '0') ++minInt;
    for (char ch : fracPart) {
        if (ch == '0') {
            ++minFrac;
            ++maxFrac;
        } else if (ch == '#') ++maxFrac;
    }
    char buf[512];
    auto fixedEnd = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, maxFrac).ptr;
    std::string fixed(buf, fixedEnd);
    size_t p = fixed.find('.');
    std::string whole = fixed.substr(0, p), frac = p == std::string::npos ? "" : fixed.substr(p + 1);
    while (static_cast<int>(frac.size()) > minFrac && !frac.empty() && frac.back() == '0')
        frac.pop_back();
    if (whole == "0" && minInt == 0) whole.clear();
    while (static_cast<int>(whole.size()) < minInt)
        whole = "0" + whole;
    if (grouping) {
        std::string g;
        int n = 0;
        for (size_t i = whole.size(); i-- > 0;) {
            if (n > 0 && n % 3 == 0) g = ThousandSeparator + g;
            g = whole[i] + g;
            ++n;
        }
        whole = g;
    }
    std::string out = whole;
    if (!frac.empty()) out += DecimalSeparator + frac;
    bool isZero = out.find_first_of("123456789") == std::string::npos;
    if (value < 0 && !isZero) out = "-" + out;
    return prefix + out + suffix;
}
