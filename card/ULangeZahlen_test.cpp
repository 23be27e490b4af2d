#include <gtest/gtest.h>

#include <chrono>

#include <cstdio>
#include <string>

#include "card/ULangeZahlen.h"
#include "gui/base/SysUtils.h"

namespace {

// 512 hex digits (SHA-512 of the bytes 00, 01, 02 and 03) and their decimal value, computed
// once by an independent conversion (Python's int(x, 16)).
const char* const kHex512 =
    "B8244D028981D693AF7B456AF8EFA4CAD63D282E19FF14942C246E50D9351D22704A802A71C3580B6370DE4CEB293C32"
    "4A8423342557D4E5C38438F0E36910EE7B54B66836C1FBDD13D2441D9E1434DC62CA677FB68F5FE66A464BAADECDBD00"
    "576F8D6B5AC3BCC80844B7D50B1CC6603444BBE7CFCF8FC0AA1EE3C636D9E339FAB848C9B657A853EE37C09CBFDD149D"
    "0B3807B191DDE9B623CCD95281DD18705B48C89B1503903845BBA5753945351FE6B454852760F73529CF01CA8F69DCCA"
    "E45BF5817DDF94AA2F7A407071F0EEDC6BEB98F768B4CD33D1176D44D1563A45A5D7212290EB7670C6786B13591AEDAC"
    "86478993895E8B24E612014ABAA6BA04";
const char* const kDec512 =
    "232457487152434137528355779306047605511267629024598576312056319868380967578751460025712546308166"
    "111574174233895046340261309393690556088170528584478214266500108039695454670880327642415678718820"
    "686074002962789549232604641410374774856835795598615412765875931587656559986933408473057091321236"
    "893646056183709653027777870829126051683418277675654626831007824289624783791055394563556291588017"
    "727318882334280960968855272078434348389465337464491397560736265100528826546383255158187622318732"
    "956688849250101281465734738891884746740566300563459841509340700255735064781416254757603118096201"
    "92668802018130440175471184662529233566212";

// The decimal value of a hex text as the digit lists make it: each digit's value multiplied by
// 16 once per place, the products added up.
std::string SumOfPowers(const std::string& hex)
{
    std::string sum = std::to_string(std::stoi(hex.substr(hex.size() - 1), nullptr, 16));
    for (std::size_t i = hex.size() - 1, power = 1; i-- > 0; ++power) {
        std::string term = std::to_string(std::stoi(hex.substr(i, 1), nullptr, 16));
        for (std::size_t p = 0; p < power; ++p)
            term = TLangeZahlen::MultiplyTexts(term, "16");
        sum = TLangeZahlen::AddTexts(sum, term);
    }
    return sum;
}

// The message of the assertion that the call raises, or "" when it raises none.
template <typename F> std::string AssertionOf(F&& f)
{
    try {
        f();
    } catch (const EAssertionFailed& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(LineareListe, CursorMovesAndAssertionMessages)
{
    TLineareListe l;
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Position(), 0);
    EXPECT_NE(AssertionOf([&] { l.Previous(); })
                  .find("Am Anfang kann man nicht weiter zur\xFC"
                        "ck!"),
              std::string::npos);
    EXPECT_NE(AssertionOf([&] { (void)l.Value(); }).find("Der Cursor muss innerhalb der Liste liegen!"),
              std::string::npos);
    EXPECT_NE(AssertionOf([&] { l.Delete(); }).find("Der Cursor muss sich innerhalb der Liste befinden!"),
              std::string::npos);

    l.InsertAfter(1);
    l.InsertAfter(2);
    l.InsertAfter(3);
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Position(), 3);
    EXPECT_EQ(l.Value(), 3);

    l.AtEnd();
    EXPECT_EQ(l.Position(), 4);
    const std::string atEnd = AssertionOf([&] { l.Next(); });
    EXPECT_NE(atEnd.find("Am Ende kann man nicht weiter vor!"), std::string::npos);
    EXPECT_NE(atEnd.find("UnitLineareListe"), std::string::npos);
    EXPECT_NE(AssertionOf([&] { l.InsertAfter(9); }).find("Der Cursor muss innerhalb der Liste oder am Anfang liegen!"),
              std::string::npos);
    EXPECT_NE(AssertionOf([&] { l.MoveTo(5); }).find("Der Parameter muss innerhalb der Liste liegen!"),
              std::string::npos);
    EXPECT_NE(AssertionOf([&] { l.MoveTo(-1); }), "");

    l.MoveTo(2);
    l.Delete();
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(l.Position(), 1);
    EXPECT_EQ(l.Value(), 1);
    l.Next();
    EXPECT_EQ(l.Value(), 3);
}

TEST(LangeZahlen, AddAndMultiplyTexts)
{
    EXPECT_EQ(TLangeZahlen::AddTexts("999", "1"), "1000");
    EXPECT_EQ(TLangeZahlen::AddTexts("1", "999"), "1000");
    EXPECT_EQ(TLangeZahlen::AddTexts("0", "0"), "0");
    EXPECT_EQ(TLangeZahlen::MultiplyTexts("12", "34"), "408");
    EXPECT_EQ(TLangeZahlen::MultiplyTexts("99999999999", "99999999999"), "9999999999800000000001");
    EXPECT_EQ(TLangeZahlen::MultiplyTexts("", "16"), "");
    EXPECT_EQ(TLangeZahlen::MultiplyTexts("16", ""), "");
}

TEST(LangeZahlen, HexToDecimal)
{
    EXPECT_EQ(TLangeZahlen::HexToDec("FF"), "255");
    EXPECT_EQ(TLangeZahlen::HexToDec("ff"), "255");
    EXPECT_EQ(TLangeZahlen::HexToDec("10000000000000000"), "18446744073709551616");
    EXPECT_EQ(TLangeZahlen::HexToDec("FFFFFFFFFFFFFFFFFFFFFFFF"), "79228162514264337593543950335");
    EXPECT_EQ(TLangeZahlen::HexToDec("7"), "7");
    EXPECT_EQ(TLangeZahlen::HexToDec("0F"), "15");
    // Leading zeros survive, as the card library's callers expect.
    EXPECT_EQ(TLangeZahlen::HexToDec("00"), "00");
    EXPECT_EQ(TLangeZahlen::HexToDec("00FF"), "0255");
    EXPECT_EQ(TLangeZahlen::HexToDec("000A"), "0010");
    EXPECT_EQ(TLangeZahlen::HexToDec("0012D687A431"), "080908624945");
    EXPECT_EQ(TLangeZahlen::HexToDec("0FFFF"), "65535");
    // Bad input gives an empty text, never a crash.
    EXPECT_EQ(TLangeZahlen::HexToDec(""), "");
    EXPECT_EQ(TLangeZahlen::HexToDec("12 34"), "");
    EXPECT_EQ(TLangeZahlen::HexToDec("XYZ"), "");
}

TEST(LangeZahlen, HexToDecimalIsTheSumOfTheDigitsPowers)
{
    // Every length up to 14 digits, with and without leading zeros.
    const std::string digits = "0123456789abcdefABCDEF";
    unsigned seed = 7;
    for (std::size_t length = 1; length <= 14; ++length) {
        for (int round = 0; round < 12; ++round) {
            std::string hex;
            for (std::size_t i = 0; i < length; ++i) {
                seed = seed * 1103515245u + 12345u;
                hex += digits[(seed >> 16) % (round < 4 ? 3 : digits.size())];
            }
            EXPECT_EQ(TLangeZahlen::HexToDec(hex), SumOfPowers(hex)) << hex;
        }
    }
}

TEST(LangeZahlen, LongHexNumbersConvertExactlyAndFast)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string decimal = TLangeZahlen::HexToDec(kHex512);
    const auto end = std::chrono::steady_clock::now();
    EXPECT_EQ(decimal, kDec512);
    std::printf("HexToDec of 512 hex digits: %.3f ms\n",
                std::chrono::duration<double, std::milli>(end - start).count());
    // Leading zeros add nothing to a number of more decimal than hex digits.
    EXPECT_EQ(TLangeZahlen::HexToDec("00" + std::string(kHex512)), kDec512);
}
