#include "register/core/UProd.h"

#include <climits>

#include "gui/base/Exceptions.h"
#include "register/core/UConvert.h"
#include "register/core/URangeCheck.h"

std::int32_t& TProd::Price(int n)
{
    if (n < 1 || n > 8) RaiseRangeError();
    return prices_[static_cast<std::size_t>(n - 1)];
}

std::int32_t TProd::Price(int n) const
{
    if (n < 1 || n > 8) RaiseRangeError();
    return prices_[static_cast<std::size_t>(n - 1)];
}

namespace {

// A rounded amount as a 32-bit integer; the range error outside.
std::int32_t RoundedAmount(long double v)
{
    const double r = UConvert::RoundCommercial(v);
    if (!(r >= static_cast<double>(INT32_MIN) && r <= static_cast<double>(INT32_MAX))) RaiseRangeError();
    return static_cast<std::int32_t>(r);
}

} // namespace

std::unique_ptr<TProd> TProd::Clone() const { return std::make_unique<TProd>(*this); }

std::int32_t TProd::GetPriceSum() const
{
    std::int32_t sum = 0;
    for (int n = 1; n <= 6; ++n)
        if (__builtin_add_overflow(sum, Price(n), &sum)) throw EIntOverflow();
    return sum;
}

std::string TProd::GetPriceClasses() const
{
    std::string classes = " ";
    for (int n = 1; n <= 6; ++n)
        if (Price(n) != 0) classes += static_cast<char>('A' + n - 1);
    return classes + " ";
}

std::string TProd::GetAmountText(int n, double q) const
{
    if (n < 1 || n > 8) RaiseRangeError();
    double v = 0;
    if (n <= 6) {
        v = Price(n) * q;
    } else if ((n == 7 && ThirdParty) || (n == 8 && DeliveryNote)) {
        for (int c = 1; c <= 6; ++c)
            v += Price(c) * q;
    }
    if (v == 0) return "";
    return std::to_string(RoundedAmount(v));
}

void TProd::ApplyPercent(int p)
{
    std::array<std::int32_t, 8> prices{};
    for (int n = 1; n <= 8; ++n)
        prices[static_cast<std::size_t>(n - 1)] =
            RoundedAmount(static_cast<long double>(Price(n)) * -0.0001L * static_cast<long double>(Quantity) * p);
    prices_ = prices;
    DiscountSurcharge = true;
    Quantity = 1.0;
}
