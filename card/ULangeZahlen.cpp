#include "card/ULangeZahlen.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/UHexASCII.h"

TLangeZahlen::Digits TLangeZahlen::FromText(std::string_view decimal)
{
    auto list = std::make_unique<TLineareListe>();
    for (char c : decimal)
        list->InsertAfter(static_cast<std::uint8_t>(c - '0'));
    return list;
}

std::string TLangeZahlen::ToText(Digits digits)
{
    std::string text;
    text.reserve(digits->Count());
    digits->AtStart();
    for (int i = 0; i < digits->Count(); ++i) {
        digits->Next();
        text += static_cast<char>('0' + digits->Value());
    }
    return text;
}

TLangeZahlen::Digits TLangeZahlen::Add(TLineareListe& a, TLineareListe& b)
{
    auto sum = std::make_unique<TLineareListe>();
    a.MoveTo(a.Count());
    b.MoveTo(b.Count());
    int carry = 0;
    while (a.Position() > 0 || b.Position() > 0) {
        int s = carry;
        if (a.Position() > 0) {
            s += a.Value();
            a.Previous();
        }
        if (b.Position() > 0) {
            s += b.Value();
            b.Previous();
        }
        sum->AtStart();
        sum->InsertAfter(static_cast<std::uint8_t>(s % 10));
        carry = s > 9 ? 1 : 0;
    }
    if (carry) {
        sum->AtStart();
        sum->InsertAfter(1);
    }
    return sum;
}

TLangeZahlen::Digits TLangeZahlen::Multiply(TLineareListe& a, TLineareListe& b)
{
    auto result = std::make_unique<TLineareListe>();
    for (int i = 0; i < a.Count(); ++i) {
        a.MoveTo(a.Count() - i);
        const int d = a.Value();
        TLineareListe partial;
        for (int z = 0; z < i; ++z)
            partial.InsertAfter(0);
        int carry = 0;
        for (int j = b.Count(); j >= 1; --j) {
            b.MoveTo(j);
            const int n = carry + d * b.Value();
            partial.AtStart();
            partial.InsertAfter(static_cast<std::uint8_t>(n % 10));
            carry = n / 10;
        }
        if (carry) {
            partial.AtStart();
            partial.InsertAfter(static_cast<std::uint8_t>(carry));
        }
        result = Add(*result, partial);
    }
    return result;
}

std::string TLangeZahlen::AddTexts(std::string_view a, std::string_view b)
{
    auto la = FromText(a);
    auto lb = FromText(b);
    return ToText(Add(*la, *lb));
}

std::string TLangeZahlen::MultiplyTexts(std::string_view a, std::string_view b)
{
    if (a.empty() || b.empty()) return {};
    auto la = FromText(a);
    auto lb = FromText(b);
    return ToText(Multiply(*la, *lb));
}

std::string TLangeZahlen::HexToDec(std::string_view hex)
{
    if (hex.empty()) return {};
    // Base 10^9 limbs, least significant first: each hex digit multiplies the number by 16 and
    // adds itself, so the work grows with the square of the length.
    constexpr std::uint32_t kBase = 1000000000;
    std::vector<std::uint32_t> limbs{0};
    for (const char c : hex) {
        const std::uint8_t value = UHexASCII::HexDigitValue(c);
        if (value == 255) return {};
        std::uint64_t carry = value;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t x = std::uint64_t{limb} * 16 + carry;
            limb = static_cast<std::uint32_t>(x % kBase);
            carry = x / kBase;
        }
        if (carry) limbs.push_back(static_cast<std::uint32_t>(carry));
    }
    std::string text = std::to_string(limbs.back());
    for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
        char group[16];
        std::snprintf(group, sizeof group, "%09u", static_cast<unsigned>(*limb));
        text += group;
    }
    // Leading zeros of the hex text stay: the sum of the digits' powers of 16 in decimal digit
    // lists is as long as the hex text when it starts with a zero ("00FF" -> "0255").
    if (hex.front() == '0' && text.size() < hex.size()) text.insert(0, hex.size() - text.size(), '0');
    return text;
}
