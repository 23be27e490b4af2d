// Decimal arithmetic on numbers of any length, held as digit lists (most significant digit
// first). The list arithmetic is meant for numbers of a few dozen digits; HexToDec works on
// plain digit groups and takes any length the card or a host hands in.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "card/UnitLineareListe.h"

class TLangeZahlen {
public:
    using Digits = std::unique_ptr<TLineareListe>;

    static Digits FromText(std::string_view decimal);
    static std::string ToText(Digits digits); // consumes the list
    static Digits Add(TLineareListe& a, TLineareListe& b);
    static Digits Multiply(TLineareListe& a, TLineareListe& b);
    static std::string AddTexts(std::string_view a, std::string_view b);
    static std::string MultiplyTexts(std::string_view a, std::string_view b); // "" if either is ""

    // Decimal text of a hex number of any length ("FF" -> "255"), in time quadratic in its
    // length; "" when the text is empty or holds a character that is no hex digit. A text
    // that starts with "0" gives at least as many decimal digits as it has hex digits, the
    // leading ones zeros ("00FF" -> "0255", "00" -> "00").
    static std::string HexToDec(std::string_view hex);
};
