// Fuzz target of the long decimal numbers: the first byte picks the operation (hex to decimal,
// sum or product), the rest is its operand text (two operands split at the first ','). Every
// result is checked against a plain schoolbook computation. Operands are cut to a few dozen
// digits, the length of the card numbers these routines are meant for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "card/ULangeZahlen.h"
#include "common/UHexASCII.h"

namespace {

constexpr std::size_t MaxDigits = 48;

std::string Digits(std::string_view s)
{
    std::string d;
    for (char c : s)
        if (c >= '0' && c <= '9' && d.size() < MaxDigits) d += c;
    return d;
}

std::string Normal(const std::string& decimal)
{
    std::size_t first = decimal.find_first_not_of('0');
    return first == std::string::npos ? "0" : decimal.substr(first);
}

std::string Sum(const std::string& a, const std::string& b)
{
    std::string r;
    int carry = 0;
    for (std::size_t i = 0; i < a.size() || i < b.size() || carry; ++i) {
        int s = carry;
        if (i < a.size()) s += a[a.size() - 1 - i] - '0';
        if (i < b.size()) s += b[b.size() - 1 - i] - '0';
        r.insert(r.begin(), static_cast<char>('0' + s % 10));
        carry = s / 10;
    }
    return Normal(r);
}

std::string Product(const std::string& a, const std::string& b)
{
    std::string r = "0";
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::string partial = "0";
        for (int k = 0; k < a[a.size() - 1 - i] - '0'; ++k)
            partial = Sum(partial, b);
        r = Sum(r, Normal(partial) == "0" ? "0" : partial + std::string(i, '0'));
    }
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
    case 0: {
        const std::string_view hex = text.substr(0, MaxDigits / 2);
        const std::string dec = TLangeZahlen::HexToDec(hex);
        bool valid = !hex.empty();
        std::string expected = "0";
        for (char c : hex) {
            const std::uint8_t v = UHexASCII::HexDigitValue(c);
            if (v == 255) valid = false;
            else expected = Sum(Product(expected, "16"), std::to_string(v));
        }
        if (valid ? Normal(dec) != expected : !dec.empty()) std::abort();
        break;
    }
    case 1:
    case 2: {
        const std::size_t comma = text.find(',');
        const std::string a = Digits(text.substr(0, comma));
        const std::string b = comma == std::string_view::npos ? std::string() : Digits(text.substr(comma + 1));
        if (data[0] % 3 == 1) {
            const std::string sum = TLangeZahlen::AddTexts(a, b);
            if (a.empty() && b.empty() ? !sum.empty() : Normal(sum) != Sum(a, b)) std::abort();
        } else {
            const std::string product = TLangeZahlen::MultiplyTexts(a, b);
            if (a.empty() || b.empty() ? !product.empty() : Normal(product) != Product(a, b)) std::abort();
        }
        break;
    }
    }
    return 0;
}
