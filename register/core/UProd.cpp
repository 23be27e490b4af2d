#include "register/core/UProd.h"

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
