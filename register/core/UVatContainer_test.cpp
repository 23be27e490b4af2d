#include <gtest/gtest.h>

#include "gui/base/SysUtils.h"
#include "register/core/UVatContainer.h"

namespace {

TVatContainers WithRates()
{
    TVatContainers c;
    c.Reset({0.19, 0.07, 0.0, 0.005, 0.16, 0.10});
    return c;
}

} // namespace

TEST(VatContainers, ResetTakesTheRatesOfClasses1To6AndZeroesTheSums)
{
    TVatContainers c = WithRates();
    c.Book(1, 199, false);
    c.Book(7, 500, false);
    c.Reset({0.19, 0.07, 0.0, 0.005, 0.16, 0.10});
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(c.Get(n).turnover, 0);
        EXPECT_EQ(c.Get(n).turnoverNeg, 0);
        EXPECT_EQ(c.Get(n).vat, 0);
    }
    EXPECT_EQ(c.Get(1).vatRate, 0.19);
    EXPECT_EQ(c.Get(4).vatRate, 0.005);
    EXPECT_EQ(c.Get(6).vatRate, 0.10);
    EXPECT_EQ(c.Get(7).vatRate, 0);
    EXPECT_EQ(c.Get(8).vatRate, 0);
}

TEST(VatContainers, NumbersOutside1To8AreRangeErrors)
{
    TVatContainers c = WithRates();
    EXPECT_THROW(c.Book(0, 1, false), ERangeError);
    EXPECT_THROW(c.Book(9, 1, false), ERangeError);
    EXPECT_THROW(c.Get(0), ERangeError);
    EXPECT_THROW(c.Get(9), ERangeError);
}

TEST(VatContainers, TheTotalSumsClasses1To6)
{
    TVatContainers c = WithRates();
    c.Book(1, 199, false);
    c.Book(2, -50, false);
    c.Book(6, 1000, true);
    c.Book(7, 199, false);
    c.Book(8, 1000, false);
    EXPECT_EQ(c.ReceiptTotal(), 1149);
    c.Book(1, 2147483647, false);
    EXPECT_THROW(c.ReceiptTotal(), ERangeError);
}

TEST(VatContainers, VatLinesOfGrossAndNetPrices)
{
    TVatContainers c = WithRates();
    c.Book(1, 199, false);
    EXPECT_EQ(c.FormatLine(1, false), "A  19.0  1,99€     1,67€     0,32€   ");
    c.Book(2, 1000, true);
    EXPECT_EQ(c.FormatLine(2, true), "B  7.00  10,70€    10,00€    0,70€   ");
    c.Book(3, 250, false);
    EXPECT_EQ(c.FormatLine(3, false), "C  0.00  2,50€     2,50€    00,00€   ");
    EXPECT_EQ(c.FormatLine(5, false), "");
    // Turnover 0 with VAT left over (net and gross bookings mixed): no line.
    c.Book(6, 100, true);
    c.Book(6, -100, false);
    EXPECT_NE(c.Get(6).vat, 0);
    EXPECT_EQ(c.FormatLine(6, false), "");
}

TEST(VatRateText, HundredthsOfAPercentWithAPoint)
{
    EXPECT_EQ(VatRateText(0.19), "19.00");
    EXPECT_EQ(VatRateText(0.07), "7.00");
    EXPECT_EQ(VatRateText(0.16), "16.00");
    EXPECT_EQ(VatRateText(0.005), "0.50");
    EXPECT_EQ(VatRateText(0), "0.00");
}

TEST(RoundCents, HalfAwayFromZeroWithin64Bits)
{
    EXPECT_EQ(RoundCents(31.77), 32);
    EXPECT_EQ(RoundCents(2.5), 3);
    EXPECT_EQ(RoundCents(-2.5), -3);
    EXPECT_EQ(RoundCents(-23.949), -24);
    EXPECT_THROW(RoundCents(1e19), ERangeError);
    EXPECT_THROW(RoundCents(-1e19), ERangeError);
}
