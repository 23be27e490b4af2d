// Decimal arithmetic on numbers of any length, held as digit lists (most significant digit
// first). Meant for card serial numbers and sizes of a few dozen digits.
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

    // Decimal text of a hex number of any length; "" when the text is empty or holds a
    // character that is no hex digit.
    static std::string HexToDec(std::string_view hex);
};
