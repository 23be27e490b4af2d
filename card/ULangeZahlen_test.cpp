#include <gtest/gtest.h>

#include "gui/base/SysUtils.h"
#include "card/ULangeZahlen.h"

namespace {

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
    // Leading zeros may survive, as the card library's callers expect.
    EXPECT_EQ(TLangeZahlen::HexToDec("00"), "00");
    // Bad input gives an empty text, never a crash.
    EXPECT_EQ(TLangeZahlen::HexToDec(""), "");
    EXPECT_EQ(TLangeZahlen::HexToDec("12 34"), "");
    EXPECT_EQ(TLangeZahlen::HexToDec("XYZ"), "");
}
