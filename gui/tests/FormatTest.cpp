// The program's number and date format is German whatever the machine's locale; CTest runs
// this program under an English and a German Wine locale, and the C runtime is switched to the
// machine's locale first, so nothing may lean on it.
#include <gtest/gtest.h>

#include <clocale>

#include "gui/base/SysUtils.h"

namespace {

class MachineLocale : public ::testing::Environment {
public:
    void SetUp() override { std::setlocale(LC_ALL, ""); }
};
const auto* const machineLocale = ::testing::AddGlobalTestEnvironment(new MachineLocale);

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(NumberFormat, ReadsDecimalCommaNumbers)
{
    EXPECT_DOUBLE_EQ(StrToFloat("0,5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" -1,25 "), -1.25);
    EXPECT_DOUBLE_EQ(StrToFloat("3"), 3.0);
    EXPECT_DOUBLE_EQ(StrToFloat("1,5E3"), 1500.0);
    EXPECT_DOUBLE_EQ(StrToFloat("+2,5e-1"), 0.25);
    EXPECT_EQ(ErrorOf([] { StrToFloat("abc"); }), "'abc' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(ErrorOf([] { StrToFloat("0.5"); }), "'0.5' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(ErrorOf([] { StrToFloat(""); }), "'' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(ErrorOf([] { StrToFloat("1,2,3"); }), "'1,2,3' ist kein gültiger Gleitkommawert");
    double v = 7;
    EXPECT_FALSE(TryStrToFloat("x", v));
    EXPECT_EQ(v, 7);
}

TEST(NumberFormat, ReadsWithTheSeparatorTheCallerNames)
{
    EXPECT_DOUBLE_EQ(StrToFloat("0.5", '.'), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-12.25", '.'), -12.25);
    EXPECT_DOUBLE_EQ(StrToFloat("3", '.'), 3.0);
    EXPECT_THROW(StrToFloat("0,5", '.'), EConvertError);
    EXPECT_THROW(StrToFloat("0.5"), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloatDef("1.5", 7.0, '.'), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef("1,5", 7.0, '.'), 7.0);
    double v = 0;
    EXPECT_TRUE(TryStrToFloat("2.75", v, '.'));
    EXPECT_DOUBLE_EQ(v, 2.75);
}

TEST(NumberFormat, WritesDecimalCommaNumbers)
{
    EXPECT_EQ(FloatToStr(0.5), "0,5");
    EXPECT_EQ(FloatToStr(-1234.5), "-1234,5");
    EXPECT_EQ(FloatToStr(3), "3");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0,3");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(0.00001), "1E-5");
    EXPECT_EQ(FloatToStr(0.0001), "0,0001");
    EXPECT_EQ(FloatToStrG(2.0 / 3.0, 7), "0,6666667");
    EXPECT_EQ(FloatToStrG(1234567.0, 7), "1234567");
    EXPECT_EQ(FloatToStrG(12345678.0, 7), "1,234568E7");
    EXPECT_DOUBLE_EQ(StrToFloat("1,5E20"), 1.5e20);
    EXPECT_EQ(FormatFloat("0.00", 1.5), "1,50");
    EXPECT_EQ(FormatFloat("0.00", -0.004), "0,00");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat("000", 7), "007");
    EXPECT_EQ(FormatFloat("0.##", 2.5), "2,5");
    EXPECT_EQ(FormatFloat("0 %", 19), "19 %");
    EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(1234.0625)), 1234.0625);
}

TEST(NumberFormat, ReadsIntegers)
{
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(ErrorOf([] { StrToInt("x"); }), "'x' ist kein gültiger Integerwert");
    EXPECT_EQ(ErrorOf([] { StrToInt("2147483648"); }), "'2147483648' ist kein gültiger Integerwert");
    EXPECT_EQ(ErrorOf([] { StrToInt("1,5"); }), "'1,5' ist kein gültiger Integerwert");
    EXPECT_EQ(StrToIntDef("", 5), 5);
    EXPECT_EQ(IntToStr(-12), "-12");
    EXPECT_EQ(IntToHex(0xA4, 4), "00A4");
}

TEST(DateFormat, GermanDatesAndTimes)
{
    TDateTime d = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 7, 0);
    EXPECT_EQ(DateToStr(d), "31.12.2024");
    EXPECT_EQ(TimeToStr(d), "23:59:07");
    EXPECT_EQ(DateTimeToStr(d), "31.12.2024 23:59:07");
    EXPECT_EQ(FormatDateTime("yyyyMMdd", d), "20241231");
    EXPECT_EQ(FormatDateTime("hhmm", d), "2359");
    EXPECT_EQ(FormatDateTime("dd.mm.yy hh:nn", d), "31.12.24 23:59");
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_DOUBLE_EQ(StrToDate("29.02.2024"), EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(StrToTime("07:05"), EncodeTime(7, 5, 0, 0));
    EXPECT_EQ(ErrorOf([] { StrToDate("29.02.2023"); }), "'29.02.2023' ist kein gültiges Datum");
    // Every day of several years reads back as it was written.
    for (TDateTime day = EncodeDate(1999, 12, 1); day < EncodeDate(2004, 3, 1); day += 1) {
        ASSERT_DOUBLE_EQ(StrToDate(DateToStr(day)), day) << DateToStr(day);
    }
}

} // namespace
