#include "card/ULangeZahlen.h"

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
    for (char c : hex)
        if (UHexASCII::HexDigitValue(c) == 255) return {};
    std::string sum = std::to_string(UHexASCII::HexDigitValue(hex.back()));
    int power = 1;
    for (std::size_t i = hex.size() - 1; i-- > 0; ++power) {
        std::string term = std::to_string(UHexASCII::HexDigitValue(hex[i]));
        for (int p = 0; p < power; ++p)
            term = MultiplyTexts(term, "16");
        sum = AddTexts(sum, term);
    }
    return sum;
}
