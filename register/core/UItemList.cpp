#include "register/core/UItemList.h"

#include <cmath>

#include "gui/base/SysUtils.h"
#include "register/core/URangeCheck.h"

bool ItemEntryFits(std::size_t start, std::size_t valueLength)
{
    // The tag, the length byte and (when there is one) the first value byte.
    const std::size_t last = start + (valueLength > 0 ? 2 : 1);
    return last < ItemListLimit;
}

void AppendItemEntry(std::string& entries, std::size_t start, std::uint8_t tag, std::string_view value)
{
    if (value.size() > 255 || !ItemEntryFits(start + entries.size(), value.size())) RaiseRangeError();
    entries += static_cast<char>(tag);
    entries += static_cast<char>(value.size());
    entries += value;
}

void TItemListBytes::Add(std::uint8_t tag, std::string_view value) { AppendItemEntry(bytes_, 0, tag, value); }

namespace {

// Half-way cases go to the even neighbour, whatever the floating-point rounding mode.
long double RoundTiesToEven(long double x)
{
    const long double below = std::floor(x);
    const long double rest = x - below;
    if (rest > 0.5L) return below + 1;
    if (rest < 0.5L) return below;
    return std::fmod(below, 2.0L) == 0 ? below : below + 1;
}

} // namespace

std::string NormalizeQuantity(std::string_view quantity)
{
    if (quantity.empty()) return "1";
    const long double value = StrToFloat(std::string(quantity));
    const auto rounded = static_cast<double>(RoundTiesToEven(value * 1000000.0L) / 1000000.0L);
    std::string text = FloatToStr(rounded);
    for (char& c : text)
        if (c == DecimalSeparator) c = '.';
    return text;
}

std::int64_t AmountValue(std::string_view amount)
{
    const std::string text(amount);
    std::string_view digits = amount;
    if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    bool valid = !digits.empty();
    for (char c : digits)
        valid = valid && c >= '0' && c <= '9';
    if (!valid) throw EConvertError("'" + text + "' ist kein gültiger Integerwert");
    return StrToInt64(text);
}
