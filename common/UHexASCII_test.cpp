#include <gtest/gtest.h>

#include "common/UHexASCII.h"

using namespace UHexASCII;

TEST(HexText, WrittenFormIsUpperCasePairsWithSingleBlanks)
{
    EXPECT_EQ(BytesToHexText(""), "");
    EXPECT_EQ(BytesToHexText(std::string("\x0A", 1)), "0A");
    EXPECT_EQ(BytesToHexText(std::string("\x3B\xF2\x18", 3)), "3B F2 18");
    EXPECT_EQ(BytesToHexText(std::string("\x00\xff", 2)), "00 FF");
}

TEST(HexText, ReadFormAcceptsRunTogetherDigitsLowerCaseAndSingleDigits)
{
    EXPECT_EQ(HexTextToBytes("A B"), std::string("\x0A\x0B", 2));
    EXPECT_EQ(HexTextToBytes("ABC"), std::string("\xAB\x0C", 2));
    EXPECT_EQ(HexTextToBytes("00A4000C023F00"), HexTextToBytes("00 A4 00 0C 02 3F 00"));
    EXPECT_EQ(HexTextToBytes("00 A4 00 0C 02 3F 00"), std::string("\x00\xA4\x00\x0C\x02\x3F\x00", 7));
    EXPECT_EQ(HexTextToBytes("00 b0 "), std::string("\x00\xB0", 2));
    EXPECT_EQ(HexTextToBytes(""), "");
    EXPECT_EQ(HexTextToBytes("   "), "");
    // A length byte followed directly by data digits.
    EXPECT_EQ(HexTextToBytes("02 3F00"), std::string("\x02\x3F\x00", 3));
}

TEST(HexText, NonDigitsCountAsZero)
{
    EXPECT_EQ(HexDigitValue('g'), 255);
    EXPECT_EQ(HexDigitValue('f'), 15);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexTextToBytes("XY"), std::string("\x00", 1));
    EXPECT_EQ(HexTextToBytes("1Z"), std::string("\x10", 1));
}

TEST(HexText, RoundTripOfEveryByte)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(HexTextToBytes(BytesToHexText(all)), all);
    EXPECT_EQ(RemoveBlanks(" 90 00 "), "9000");
}
