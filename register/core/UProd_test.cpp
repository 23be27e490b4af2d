#include <gtest/gtest.h>

#include "gui/base/Exceptions.h"
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

TEST(ProdRecord, PriceSumClassesAndCloneCoverClassesOneToSix)
{
    TProd p;
    p.Name = "Brot";
    p.Unit = "Stk.";
    p.Price(1) = 199;
    p.Price(2) = 99;
    p.Price(7) = 1000;
    p.Price(8) = 1000;
    p.Voucher = true;
    p.Quantity = 3;
    EXPECT_EQ(p.GetPriceSum(), 298);
    EXPECT_EQ(p.GetPriceClasses(), " AB ");
    EXPECT_EQ(TProd().GetPriceClasses(), "  ");
    auto c = p.Clone();
    EXPECT_EQ(c->Name, "Brot");
    EXPECT_EQ(c->Unit, "Stk.");
    EXPECT_EQ(c->Price(8), 1000);
    EXPECT_TRUE(c->Voucher);
    EXPECT_EQ(c->Quantity, 3.0);
    TProd big;
    big.Price(1) = 2147483647;
    big.Price(6) = 1;
    EXPECT_THROW(big.GetPriceSum(), EIntOverflow);
    big.Price(6) = -1;
    EXPECT_EQ(big.GetPriceSum(), 2147483646);
}

TEST(ProdRecord, AmountTextsOfTheEightSlots)
{
    TProd p;
    p.Price(1) = 199;
    p.Price(3) = -5;
    p.Price(7) = 50;
    EXPECT_EQ(p.GetAmountText(1, 3), "597");
    EXPECT_EQ(p.GetAmountText(1, 1.5), "299"); // 298.5
    EXPECT_EQ(p.GetAmountText(3, 1.5), "-8");  // -7.5
    EXPECT_EQ(p.GetAmountText(2, 3), "");
    EXPECT_EQ(p.GetAmountText(1, 0), "");
    EXPECT_EQ(p.GetAmountText(1, -1), "-199");
    // 7 and 8: the classes' sum when agency or delivery note, never price 7 or 8.
    EXPECT_EQ(p.GetAmountText(7, 2), "");
    EXPECT_EQ(p.GetAmountText(8, 2), "");
    p.ThirdParty = true;
    EXPECT_EQ(p.GetAmountText(7, 2), "388");
    EXPECT_EQ(p.GetAmountText(8, 2), "");
    p.DeliveryNote = true;
    EXPECT_EQ(p.GetAmountText(8, 0.5), "97"); // 99.5 - 2.5
    EXPECT_THROW(p.GetAmountText(0, 1), ERangeError);
    EXPECT_THROW(p.GetAmountText(9, 1), ERangeError);
    p.Price(1) = 2000000000;
    EXPECT_THROW(p.GetAmountText(1, 2), ERangeError);
}

TEST(ProdRecord, PercentTurnsTheRecordIntoADiscountLineOfQuantityOne)
{
    TProd p;
    p.Price(1) = 199;
    p.Price(2) = 99;
    p.Quantity = 3;
    TProd s = p;
    p.ApplyPercent(500);
    EXPECT_EQ(p.Price(1), -30); // -29.85
    EXPECT_EQ(p.Price(2), -15); // -14.85
    EXPECT_TRUE(p.DiscountSurcharge);
    EXPECT_EQ(p.Quantity, 1.0);
    s.ApplyPercent(-500);
    EXPECT_EQ(s.Price(1), 30);
    TProd zero;
    zero.Price(1) = 199;
    zero.ApplyPercent(0);
    EXPECT_EQ(zero.Price(1), 0);
    TProd big;
    big.Price(1) = 2000000000;
    big.Quantity = 100;
    EXPECT_THROW(big.ApplyPercent(9900), ERangeError);
    EXPECT_EQ(big.Price(1), 2000000000);
    EXPECT_FALSE(big.DiscountSurcharge);
}
