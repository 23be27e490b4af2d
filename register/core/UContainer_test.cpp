// The receipt as the register window fills it: item list bytes, item XML, VAT containers and
// monitor lines, through the core's module routines with a register window of the test's own.
// (The item-list hash is a card test: the host's SHA-1 library imports the window library.)
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "common/UHexASCII.h"
#include "gui/base/SysUtils.h"
#include "register/core/UContainer.h"
#include "register/core/UQR.h"
#include "register/core/TestRegisterHost.h"
#include "register/core/URegisterCore.h"
#include "tests/support/TestFiles.h"

using namespace UContainer;

namespace {

std::string B(const char* hex) { return UHexASCII::HexTextToBytes(hex); }

using TestHost = TTestRegisterHost;

class Receipt : public ::testing::Test {
protected:
    TRegisterCore core;
    TestHost host;
    void SetUp() override
    {
        core.SetHost(&host);
        core.Languages().Load("Deutsch", ULang::TLangFile(ShippedLangIni()));
        ResetItemList();
        UFuncMon::ClearMonitor();
    }
    const std::string& List() { return core.ItemList().Bytes(); }
    const std::string& Xml() { return core.ItemXml(); }
    const std::string& Monitor() { return core.MonitorLog().Text(); }
    int Add(const char* quantity, const char* unit, const char* name, TAmounts amounts, bool discount = false,
            bool voucher = false, bool taxExclusive = false)
    {
        return AddItemData(quantity, unit, name, discount, voucher, taxExclusive, amounts);
    }
};

} // namespace

TEST_F(Receipt, OneLoafOfBreadInItsThreeForms)
{
    EXPECT_EQ(Xml(), "<itemList>");
    EXPECT_EQ(Add("1", "", "Brot", {"199"}), 0);
    EXPECT_EQ(List(), B("A0 01 31 A2 04 62 72 6F 74 B1 02 19 9C"));
    EXPECT_EQ(Xml(), "<itemList><item><qnt>1</qnt><name>Brot</name><price1>199</price1></item>");
    EXPECT_EQ(Monitor(), "Buchungsposition\r\n\tMenge: 1 brot\tE1: 199C");
    const TVatContainer c = GetContainer(1);
    EXPECT_EQ(c.turnover, 199);
    EXPECT_EQ(c.turnoverNeg, 0);
    EXPECT_DOUBLE_EQ(c.vat, 199 * (1 - 1 / 1.19));
    EXPECT_EQ(c.vatRate, 0.19);
}

TEST_F(Receipt, QuantitiesAreNormalised)
{
    Add("", "", "a", {"1"});
    Add("0,5", "", "b", {"1"});
    EXPECT_EQ(List(), B("A0 01 31 A2 01 61 B1 01 1C A0 03 30 2E 35 A2 01 62 B1 01 1C"));
    EXPECT_EQ(Xml(), "<itemList><item><qnt>1</qnt><name>a</name><price1>1</price1></item>"
                     "<item><qnt>0.5</qnt><name>b</name><price1>1</price1></item>");
}

TEST_F(Receipt, UnitAndNameAreCleanedWhereTheXmlKeepsTheName)
{
    Add("2", "Stück", "Äpfel rot", {"", "300"});
    EXPECT_EQ(List(), B("A0 01 32 A1 05 73 74 23 63 6B A2 08 23 70 66 65 6C 72 6F 74 B2 02 30 0C"));
    EXPECT_EQ(Xml(), "<itemList><item><qnt>2</qnt><unit>st#ck</unit><name>Äpfel rot</name>"
                     "<price2>300</price2></item>");
    EXPECT_EQ(Monitor(), "Buchungsposition\r\n\tMenge: 2st#ck\t#pfelrot\tE2: 300C");
}

TEST_F(Receipt, UnitsAreCutAt8)
{
    Add("1", "Kilogramm", "x", {"5"});
    EXPECT_EQ(List(), B("A0 01 31 A1 08 6B 69 6C 6F 67 72 61 6D A2 01 78 B1 01 5C"));
    EXPECT_EQ(Xml(), "<itemList><item><qnt>1</qnt><unit>kilogram</unit><name>x</name><price1>5</price1></item>");
}

TEST_F(Receipt, FlagsAndSeveralClasses)
{
    Add("1", "", "Rabatt", {"-30", "", "", "", "", "-1000"}, true, true);
    EXPECT_EQ(List(), B("A0 01 31 A2 06 72 61 62 61 74 74 AA 00 AB 00 B1 02 03 0D B6 03 01 00 0D"));
    EXPECT_EQ(Xml(), "<itemList><item><qnt>1</qnt><name>Rabatt</name><discountSurcharge /><voucher />"
                     "<price1>-30</price1><price6>-1000</price6></item>");
    EXPECT_EQ(Monitor(), "Buchungsposition\r\n\tMenge: 1 rabatt\tRabatt\tGutschein\tE1: 030DE6: 01000D");
    EXPECT_EQ(GetContainer(6).turnoverNeg, 1000);
}

TEST_F(Receipt, AZeroAmountBooksNothing)
{
    Add("1", "", "a", {"0", "-0", "", "", "", "", "0", ""});
    EXPECT_EQ(List(), B("A0 01 31 A2 01 61"));
    EXPECT_EQ(Xml(), "<itemList><item><qnt>1</qnt><name>a</name></item>");
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(GetContainer(n).turnover, 0);
}

TEST_F(Receipt, AgencyAndDeliveryNoteAmountsOnlyBook)
{
    Add("1", "", "a", {"250", "", "", "", "", "", "250", "-80"});
    EXPECT_EQ(List(), B("A0 01 31 A2 01 61 B1 02 25 0C"));
    EXPECT_EQ(Xml(), "<itemList><item><qnt>1</qnt><name>a</name><price1>250</price1></item>");
    EXPECT_EQ(GetContainer(7).turnover, 250);
    EXPECT_EQ(GetContainer(7).vat, 0);
    EXPECT_EQ(GetContainer(8).turnover, -80);
    EXPECT_EQ(GetContainer(8).turnoverNeg, 80);
    EXPECT_EQ(GetReceiptTotal(), 250);
}

TEST_F(Receipt, GrossAndNetVatOfTheItems)
{
    Add("1", "", "a", {"-150"});
    Add("1", "", "b", {"", "1000"}, false, false, true);
    EXPECT_EQ(GetContainer(1).turnover, -150);
    EXPECT_EQ(GetContainer(1).turnoverNeg, 150);
    EXPECT_DOUBLE_EQ(GetContainer(1).vat, -23.949579831932773);
    EXPECT_DOUBLE_EQ(GetContainer(2).vat, 70.0);
    EXPECT_EQ(FormatContainerLine(1, false), "A  19.0 -1,50€    -1,26€    -0,24€   ");
    EXPECT_EQ(FormatContainerLine(3, false), "");
    EXPECT_EQ(GetReceiptTotal(), 850);
}

TEST_F(Receipt, ACancelledLineLeavesAnEmptyVatLine)
{
    Add("1", "", "a", {"100"});
    Add("1", "", "a", {"-100"});
    EXPECT_EQ(GetContainer(1).turnover, 0);
    EXPECT_EQ(GetContainer(1).turnoverNeg, 100);
    EXPECT_EQ(FormatContainerLine(1, false), "");
    EXPECT_EQ(GetReceiptTotal(), 0);
}

TEST_F(Receipt, AQuantityOver16CharactersBooksAnEmptyItem)
{
    Add("1", "", "a", {"1"});
    const std::string list = List();
    EXPECT_EQ(Add("-1234567890,123456", "", "b", {"500"}), -1);
    EXPECT_EQ(List(), list);
    EXPECT_EQ(Xml(), "<itemList><item><qnt>1</qnt><name>a</name><price1>1</price1></item><item></item>");
    EXPECT_EQ(GetContainer(1).turnover, 1);
    // 16 characters pass.
    EXPECT_EQ(Add("-12345678,123456", "", "c", {""}), 0);
    EXPECT_EQ(Xml().substr(Xml().size() - 54), "<item><qnt>-12345678.123456</qnt><name>c</name></item>");
}

TEST_F(Receipt, AnItemThatIsNoNumberOrDoesNotFitIsRefusedWhole)
{
    Add("1", "", "a", {"1"});
    const std::string list = List(), xml = Xml();
    try {
        Add("1.5", "", "b", {"1"});
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1.5' ist kein gültiger Gleitkommawert");
    }
    EXPECT_THROW(Add("1", "", "b", {"200", "1x"}), EConvertError);
    EXPECT_EQ(List(), list);
    EXPECT_EQ(Xml(), xml);
    EXPECT_EQ(GetContainer(1).turnover, 1);

    // Up to 32,728 bytes: the next item's amount entry would begin at 32,735.
    while (List().size() + 257 <= 32728)
        AddTlv(0xA2, std::string(255, 'x'));
    AddTlv(0xA2, std::string(32728 - List().size() - 2, 'x'));
    ASSERT_EQ(List().size(), 32728u);
    const std::string full = List(), fullXml = Xml();
    EXPECT_THROW(Add("10", "", "b", {"200"}), ERangeError);
    EXPECT_EQ(List(), full);
    EXPECT_EQ(Xml(), fullXml);
    EXPECT_EQ(GetContainer(1).turnover, 1);
    // Without the amount the item ends at the limit.
    EXPECT_EQ(Add("1", "", "bcde", {""}), 0);
    EXPECT_EQ(List().size(), 32737u);
}

TEST_F(Receipt, ResetStartsAnEmptyReceiptWithTheHostsRates)
{
    Add("1", "", "a", {"100", "100", "", "", "", "", "100"});
    host.rates = {0.16, 0.05, 0.005, 0, 0, 0.2};
    ResetItemList();
    EXPECT_EQ(List(), "");
    EXPECT_EQ(Xml(), "<itemList>");
    const double expected[] = {0.16, 0.05, 0.005, 0, 0, 0.2, 0, 0};
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(GetContainer(n).turnover, 0);
        EXPECT_EQ(GetContainer(n).vatRate, expected[n - 1]);
    }
    EXPECT_THROW(GetContainer(9), ERangeError);
    EXPECT_THROW(AddToContainer(0, "1", false), ERangeError);
    AddToContainer(8, "-25", false);
    EXPECT_EQ(GetContainer(8).turnoverNeg, 25);
}

TEST_F(Receipt, TheQrPayloadRefusesAnAppendPastItsEnd)
{
    const std::string bytes(1000, 'q');
    EXPECT_TRUE(UQR::AddQrData(bytes.data(), bytes.size()));
    EXPECT_FALSE(UQR::AddQrData(bytes.data(), 25));
    EXPECT_EQ(core.QrPayload().Size(), 1000u);
    UQR::ClearQrData();
    EXPECT_EQ(core.QrPayload().Size(), 0u);
}
