#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "gui/base/SysUtils.h"
#include "register/core/UConvert.h"

using namespace UConvert;

namespace {
std::string B(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}
} // namespace

TEST(OperatorId, LowerCasesDropsBlanksAndMasksTheRest)
{
    EXPECT_EQ(CleanOperatorId("Anna Müller"), "annam#ller");
    EXPECT_EQ(CleanOperatorId("ABCDEFGHIJKLMNOPQRST"), "abcdefghijklmnop");
    EXPECT_EQ(CleanOperatorId(" \t#Kasse-1\x7F"), "#kasse#1");
    EXPECT_EQ(CleanOperatorId("ÄÖÜ"), "###");
    EXPECT_EQ(CleanOperatorId("   "), "");
    // Dropped characters do not count towards the 16.
    EXPECT_EQ(CleanOperatorId("a b c d e f g h i j k l m n o p q"), "abcdefghijklmnop");
}

TEST(PackedBcd, AmountsPackWithSignNibble)
{
    EXPECT_EQ(DecimalToBcd("199"), B({0x19, 0x9C}));
    EXPECT_EQ(DecimalToBcd("-50"), B({0x05, 0x0D}));
    EXPECT_EQ(DecimalToBcd("0"), B({0x0C}));
    EXPECT_EQ(DecimalToBcd("-0"), B({0x0D}));
    EXPECT_EQ(DecimalToBcd("007"), B({0x7C}));
    EXPECT_EQ(DecimalToBcd("000"), B({0x0C}));
    EXPECT_EQ(DecimalToBcd("1000"), B({0x01, 0x00, 0x0C}));
    EXPECT_EQ(DecimalToBcd("2147483647").size(), 6u);
    EXPECT_EQ(DecimalToBcd("-2147483648"), B({0x02, 0x14, 0x74, 0x83, 0x64, 0x8D}));
}

TEST(PackedBcd, RefusesTextsThatAreNoIntegerAndTooLongAmounts)
{
    EXPECT_THROW(DecimalToBcd(""), EConvertError);
    EXPECT_THROW(DecimalToBcd("-"), EConvertError);
    EXPECT_THROW(DecimalToBcd("1,5"), EConvertError);
    EXPECT_THROW(DecimalToBcd(" 12"), EConvertError);
    EXPECT_THROW(DecimalToBcd("+12"), EConvertError);
    EXPECT_EQ(DecimalToBcd(std::string(41, '9')).size(), MaxBcdBytes);
    EXPECT_THROW(DecimalToBcd(std::string(42, '9')), Exception);
}

TEST(PackedBcd, ReadsBackWithLeadingZeros)
{
    EXPECT_EQ(BcdToDecimal(B({0x05, 0x0D})), "-050");
    EXPECT_EQ(BcdToDecimal(B({0x19, 0x9C})), "199");
    EXPECT_EQ(BcdToDecimal(B({0x0C})), "0");
    EXPECT_EQ(BcdToDecimal(B({0x0D})), "-0");
    EXPECT_EQ(BcdToDecimal(""), "");
}

TEST(PackedBcd, RoundTripsEveryAmountOfEightDigits)
{
    // Every amount from -99999999 to 99999999 cents, sampled with a stride that is prime
    // to 10 so that every digit shows in every place, plus the edges.
    auto check = [](std::int32_t v) {
        const std::string bcd = DecimalToBcd(std::to_string(v));
        ASSERT_LE(bcd.size(), 5u) << v;
        std::string back = BcdToDecimal(bcd);
        // Read back with its padding zero removed.
        const bool neg = !back.empty() && back[0] == '-';
        std::string digits = back.substr(neg ? 1 : 0);
        while (digits.size() > 1 && digits[0] == '0')
            digits.erase(0, 1);
        const std::int64_t parsed = std::stoll(digits) * (neg ? -1 : 1);
        ASSERT_EQ(parsed, v) << back;
        ASSERT_EQ(neg, v < 0) << v;
    };
    for (std::int32_t v = -99999999; v <= 99999999; v += 9973)
        check(v);
    for (std::int32_t v = -1000; v <= 1000; ++v)
        check(v);
    for (std::int32_t p = 1; p <= 10000000; p *= 10)
        for (std::int32_t v : {p - 1, p, p + 1, -p + 1, -p, -p - 1, 99999999, -99999999})
            check(v);
}

TEST(RateBcd, HundredthsOfAPercent)
{
    EXPECT_EQ(RateToBcd("19.00"), B({0x19, 0x00}));
    EXPECT_EQ(RateToBcd("7.00"), B({0x07, 0x00}));
    EXPECT_EQ(RateToBcd("19.0"), B({0x19, 0x00}));
    EXPECT_EQ(RateToBcd("19"), B({0x19, 0x00}));
    EXPECT_EQ(RateToBcd("10.70"), B({0x10, 0x70}));
    EXPECT_EQ(RateToBcd("5.50"), B({0x05, 0x50}));
    EXPECT_EQ(RateToBcd("0.5"), B({0x50}));
    EXPECT_EQ(RateToBcd(".5"), B({0x50}));
    EXPECT_EQ(RateToBcd("0.00"), B({0x00}));
    EXPECT_EQ(RateToBcd("0"), B({0x00}));
}

TEST(RateBcd, UnusableTextsGiveNoBytes)
{
    EXPECT_EQ(RateToBcd("1.905"), ""); // point at the second place
    EXPECT_EQ(RateToBcd("19,00"), ""); // a comma is no digit
    EXPECT_EQ(RateToBcd("-7.00"), "");
    EXPECT_EQ(RateToBcd("1.9.0"), "");
    EXPECT_EQ(RateToBcd("abc"), "");
}

TEST(BcdDigits, NibblesAsDigits)
{
    EXPECT_EQ(BcdToDigits(B({0x20, 0x09, 0x08, 0x12})), "20090812");
    EXPECT_EQ(BcdToDigits4(B({0x00})), "0000");
    EXPECT_EQ(BcdToDigits4(B({0x50})), "0050");
    EXPECT_EQ(BcdToDigits4(B({0x19, 0x00})), "1900");
    EXPECT_EQ(DigitTextToBcd("20090812"), B({0x20, 0x09, 0x08, 0x12}));
    EXPECT_EQ(DigitTextToBcd("1430"), B({0x14, 0x30}));
    EXPECT_EQ(DigitTextToBcd("123"), B({0x12, 0x30}));
    EXPECT_EQ(DigitTextToBcd(""), "");
}

TEST(Money, CommercialRoundingIsHalfAwayFromZero)
{
    EXPECT_EQ(RoundCommercial(2.5L), 3.0);
    EXPECT_EQ(RoundCommercial(2.49L), 2.0);
    EXPECT_EQ(RoundCommercial(-2.5L), -3.0);
    EXPECT_EQ(RoundCommercial(-2.49L), -2.0);
    EXPECT_EQ(RoundCommercial(-29.85L), -30.0);
    EXPECT_EQ(RoundCommercial(0.0L), 0.0);
}

TEST(Money, ReceiptTextWithCommaAndEuroSign)
{
    EXPECT_EQ(CentsToMoneyText(199), " 1,99\x80");
    EXPECT_EQ(CentsToMoneyText(5), " 0,05\x80");
    EXPECT_EQ(CentsToMoneyText(-50), "-0,50\x80");
    EXPECT_EQ(CentsToMoneyText(-5), "-0,05\x80");
    EXPECT_EQ(CentsToMoneyText(123456), " 1234,56\x80");
    EXPECT_EQ(CentsToMoneyText(0), "00,00\x80");
    EXPECT_EQ(CentsToMoneyText(INT32_MIN), "-21474836,48\x80");
}

TEST(ByteTexts, HexIntegerAndCharacters)
{
    EXPECT_EQ(BytesToHexText(B({0x1A, 0x2B})), "1A 2B ");
    EXPECT_EQ(BytesToHexText(""), "");
    EXPECT_EQ(BytesToText("ab\0c", 4), std::string("ab\0c", 4));

    EXPECT_EQ(BytesToInteger(""), "0");
    EXPECT_EQ(BytesToInteger(B({0x01, 0x00})), "256");
    EXPECT_EQ(BytesToInteger(B({0xFF, 0xFF, 0xFF, 0xFF})), "4294967295");
    EXPECT_EQ(BytesToInteger(B({0x00, 0x00, 0x00, 0x00, 0x05})), "5");
    EXPECT_THROW(BytesToInteger(B({0x01, 0x00, 0x00, 0x00, 0x00})), Exception);

    EXPECT_EQ(HexBytesToDecimal(B({0xFF, 0xFF, 0xFF, 0xFF})), "-1");
    EXPECT_EQ(HexBytesToDecimal(B({0x00, 0x00, 0x30, 0x39})), "12345");
    EXPECT_EQ(HexBytesToDecimal(""), "0");
    EXPECT_THROW(HexBytesToDecimal(B({0x01, 0x00, 0x00, 0x00, 0x00})), EConvertError);
}
