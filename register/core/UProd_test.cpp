#include <gtest/gtest.h>

#include "gui/base/SysUtils.h"
#include "register/core/UProd.h"

TEST(ProdRecord, ANewRecordHasNoPricesNoFlagsAndQuantityOne)
{
    TProd p;
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(p.Price(n), 0) << n;
    EXPECT_EQ(p.Name, "");
    EXPECT_EQ(p.Unit, "");
    EXPECT_FALSE(p.DiscountSurcharge || p.Voucher || p.ThirdParty || p.DeliveryNote);
    EXPECT_EQ(p.Quantity, 1.0);
}

TEST(ProdRecord, PricesAreKeptPerClassAndClassesOutsideOneToEightAreRangeErrors)
{
    TProd p;
    p.Price(1) = 199;
    p.Price(8) = -5;
    EXPECT_EQ(p.Price(1), 199);
    EXPECT_EQ(p.Price(8), -5);
    EXPECT_EQ(p.Price(2), 0);
    EXPECT_THROW(p.Price(0), ERangeError);
    EXPECT_THROW(p.Price(9), ERangeError);
}
