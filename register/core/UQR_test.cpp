#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/UHexASCII.h"
#include "register/core/UQR.h"
#include "register/core/URegisterCore.h"

namespace {

class QrLinkOfTheCore : public ::testing::Test {
protected:
    TRegisterCore core;
    void Add(const std::string& hex)
    {
        const std::string bytes = UHexASCII::HexTextToBytes(hex);
        ASSERT_TRUE(UQR::AddQrData(bytes.data(), bytes.size()));
    }
};

} // namespace

TEST_F(QrLinkOfTheCore, BuildsTheLinkFromTheFilteredPayloadKeepsItAndEmptiesThePayload)
{
    EXPECT_EQ(UQR::GetVerifyUrl(), "");
    // The request: currency, a VAT container with VAT and negative turnover, an agency
    // container; the response: the sequence number and a signature byte.
    Add("C8 02 03 D2 E1 0A D8 02 19 9C D9 02 03 0C DB 00 E7 03 D8 01 05");
    Add("CB 02 00 2A 9E 01 FB");
    std::string url = "vorher";
    UQR::BuildVerifyUrl(url);
    // E1 06 D8 02 19 9C DB 00 CB 02 00 2A 9E 01 FB
    const std::string expected = "http://verify.example.org/verify.php?t1=4QbYAhmc2wDLAgAqngH7";
    EXPECT_EQ(url, expected);
    EXPECT_EQ(UQR::GetVerifyUrl(), expected);
    EXPECT_EQ(core.QrPayload().Size(), 0u);

    // A payload that filters to nothing replaces the link by the empty one.
    Add("C8 02 03 D2");
    UQR::BuildVerifyUrl(url);
    EXPECT_EQ(url, "");
    EXPECT_EQ(UQR::GetVerifyUrl(), "");
}

TEST_F(QrLinkOfTheCore, FilterWorksOnThePayloadInPlace)
{
    Add("E1 11 D8 02 19 9C D9 02 10 0C DA 03 03 19 0C DB 02 19 00");
    UQR::FilterQrData();
    EXPECT_EQ(UHexASCII::BytesToHexText(
                  std::string_view(reinterpret_cast<const char*>(core.QrPayload().Data()), core.QrPayload().Size())),
              "E1 08 D8 02 19 9C DB 02 19 00");
}

TEST(QrSymbol, TheLibrarysModulesOrNoSymbol)
{
    UQR::TQrSymbol symbol;
    ASSERT_TRUE(UQR::QrSymbolOf("a", symbol));
    ASSERT_EQ(symbol.size, 21);
    ASSERT_EQ(symbol.modules.size(), 441u);
    // The finder pattern at the top left: dark ring, light ring, dark core; a light separator.
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(symbol.Dark(i, 0) && symbol.Dark(0, i) && symbol.Dark(i, 6) && symbol.Dark(6, i)) << i;
        EXPECT_FALSE(symbol.Dark(7, i) || symbol.Dark(i, 7)) << i;
    }
    EXPECT_FALSE(symbol.Dark(1, 1));
    EXPECT_TRUE(symbol.Dark(3, 3));

    EXPECT_FALSE(UQR::QrSymbolOf("", symbol));
    EXPECT_EQ(symbol.size, 0);
    EXPECT_TRUE(symbol.modules.empty());
    ASSERT_TRUE(UQR::QrSymbolOf("a", symbol));
    EXPECT_FALSE(UQR::QrSymbolOf(std::string(3000, '\xE4'), symbol)); // more than a symbol holds
    EXPECT_EQ(symbol.size, 0);

    static_assert(UQR::SymbolOffset(100, 25) == 37 && UQR::SymbolOffset(20, 25) == -2);
}
