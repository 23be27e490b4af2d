#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/UHexASCII.h"
#include "register/core/UQrLink.h"

namespace {

// The payload given as hex text, filtered, as hex text again.
std::string Filtered(const std::string& hex)
{
    std::string bytes = UHexASCII::HexTextToBytes(hex);
    bytes.resize(UQrLink::FilterFields(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
    return UHexASCII::BytesToHexText(bytes);
}

} // namespace

TEST(QrLink, VatAndNegativeTurnoverLeaveTheVatContainerWhoseLengthShrinks)
{
    EXPECT_EQ(Filtered("E1 11 D8 02 19 9C D9 02 10 0C DA 03 03 19 0C DB 02 19 00"), "E1 08 D8 02 19 9C DB 02 19 00");
    // Two containers, each shrinks by its own fields only.
    EXPECT_EQ(Filtered("E1 08 D9 02 00 01 D8 02 19 9C E2 09 D8 01 05 DA 04 01 02 03 04"),
              "E1 04 D8 02 19 9C E2 03 D8 01 05");
}

TEST(QrLink, CurrencyAgencyAndDeliveryNotesGoWholeWhereverTheyStand)
{
    EXPECT_EQ(Filtered("C8 02 03 D2"), "");
    // The agency container goes with its contents, the D9 inside it included.
    EXPECT_EQ(Filtered("C9 01 11 C8 02 03 D2 E7 06 D9 02 00 00 DB 00 E8 01 07 CB 02 00 2A"), "C9 01 11 CB 02 00 2A");
    // Currency inside a VAT container shrinks that container too.
    EXPECT_EQ(Filtered("E3 06 C8 02 03 D2 D8 00 CB 01 01"), "E3 02 D8 00 CB 01 01");
}

TEST(QrLink, ValueBytesAreNeverTakenForTags)
{
    // A report: report number 200 (C8), then fields unknown to the filter that hold C8, D9, E7
    // bytes in their values; D9 outside any VAT container stays too.
    const std::string report = "CC 01 C8 E9 06 C8 02 D9 00 E7 00 DD 03 C8 01 02 D9 02 10 0C 9E 02 E1 C8";
    EXPECT_EQ(Filtered(report), report);
}

TEST(QrLink, TheWalkStopsAtAFieldPassingThePayloadsEnd)
{
    // The rest from the broken field on is kept as it is, nothing past the end is touched.
    EXPECT_EQ(Filtered("C8 01 05 D8 09 01 02 C8 01 05"), "D8 09 01 02 C8 01 05");
    EXPECT_EQ(Filtered("C8 01 05 C8"), "C8");
    EXPECT_EQ(Filtered("E1 10 D9 02 00 00"), "E1 10 D9 02 00 00");
    // A field only partly inside its container is kept and skipped whole.
    EXPECT_EQ(Filtered("E1 03 D9 02 00 C8 C8 01 05"), "E1 03 D9 02 00 C8");
}

TEST(QrLink, LinkCarriesTheUrlSafeBase64OfThePayload)
{
    EXPECT_EQ(UQrLink::VerifyUrlOf(""), "");
    EXPECT_EQ(UQrLink::VerifyUrlOf("\xFB\xFF"), "http://verify.example.org/verify.php?t1=-_8=");
    EXPECT_EQ(UQrLink::VerifyUrlOf(std::string("\xFB\xEF\xBE\x00", 4)),
              "http://verify.example.org/verify.php?t1=----AA==");
    EXPECT_EQ(UQrLink::VerifyUrlOf("\xC9\x01\x11"), "http://verify.example.org/verify.php?t1=yQER");
}
