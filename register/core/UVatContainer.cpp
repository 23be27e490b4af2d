#include "register/core/UVatContainer.h"

#include <cmath>

#include "register/core/UConvert.h"
#include "register/core/UFormatColumns.h"
#include "register/core/URangeCheck.h"

namespace {

std::int32_t ToInt32(std::int64_t value)
{
    if (value < INT32_MIN || value > INT32_MAX) RaiseRangeError();
    return static_cast<std::int32_t>(value);
}

} // namespace

std::int64_t RoundCents(double cents)
{
    const double rounded = UConvert::RoundCommercial(cents);
    // 2^63 is exactly representable; anything from there on does not fit.
    if (!(rounded > -9223372036854775808.0 && rounded < 9223372036854775808.0)) RaiseRangeError();
    return static_cast<std::int64_t>(rounded);
}

std::string VatRateText(double vatRate)
{
    std::string digits = std::to_string(RoundCents(vatRate * 10000));
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    digits.insert(digits.size() - 2, 1, '.');
    return digits;
}

void TVatContainers::Reset(const std::array<double, 6>& rates)
{
    containers_ = {};
    for (std::size_t i = 0; i < rates.size(); ++i)
        containers_[i].vatRate = rates[i];
}

void TVatContainers::Book(int n, std::int64_t amount, bool taxExclusive)
{
    if (n < 1 || n > Count) RaiseRangeError();
    TVatContainer& c = containers_[static_cast<std::size_t>(n - 1)];
    const auto a = static_cast<long double>(amount);
    const long double r = c.vatRate;
    const long double share = taxExclusive ? a * r : a * (1 - 1 / (1 + r));
    c.vat = static_cast<double>(c.vat + share);
    c.turnover = static_cast<double>(c.turnover + a);
    if (amount <= 0) c.turnoverNeg = static_cast<double>(c.turnoverNeg - a);
}

const TVatContainer& TVatContainers::Get(int n) const
{
    if (n < 1 || n > Count) RaiseRangeError();
    return containers_[static_cast<std::size_t>(n - 1)];
}

std::int32_t TVatContainers::ReceiptTotal() const
{
    long double sum = 0;
    for (int n = 1; n <= 6; ++n)
        sum += Get(n).turnover;
    return ToInt32(RoundCents(static_cast<double>(sum)));
}

std::string TVatContainers::FormatLine(int n, bool taxExclusive) const
{
    const TVatContainer& c = Get(n);
    if (c.turnover == 0) return "";
    const std::int64_t t = RoundCents(c.turnover);
    const std::int64_t v = RoundCents(c.vat);
    const std::int64_t gross = taxExclusive ? t + v : t;
    const std::int64_t net = taxExclusive ? t : t - v;
    const std::string first = std::string(1, static_cast<char>(64 + n)) + "  " + VatRateText(c.vatRate) + "%";
    return FormatColumns(first, UConvert::CentsToMoneyText(ToInt32(gross)), UConvert::CentsToMoneyText(ToInt32(net)),
                         UConvert::CentsToMoneyText(ToInt32(v)));
}
