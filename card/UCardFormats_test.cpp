// The text and record forms of the card operations that no simulated card reaches: odd
// signature texts, damaged key records, key numbers without a file, listing answers.
#include <gtest/gtest.h>

#include <string>

#include "card/UCardFormats.h"

namespace {

const std::string k48(48, '0');

TEST(SignatureText, HalvesAreTakenBeforeTheFirstAndAfterTheLastLineFeed)
{
    EXPECT_EQ(UCardFormats::SignatureDigits("AB CD\r\nEF"), k48.substr(4) + "ABCD" + k48.substr(2) + "EF");
    EXPECT_EQ(UCardFormats::SignatureDigits("11\nignored\n22\r\n"), k48.substr(2) + "11" + k48);
    EXPECT_EQ(UCardFormats::SignatureDigits(""), k48 + k48);
    // An odd half gets one more leading zero, so the bytes stay whole.
    EXPECT_EQ(UCardFormats::SignatureDigits(std::string(49, '1') + "\n").size(), 50u + 48u);
    EXPECT_EQ(UCardFormats::SignatureText("01 02"), "0102");
}

TEST(SignatureText, DirectDataTextsAreWholeBytes)
{
    EXPECT_EQ(UCardFormats::DataText("ABC", true), k48.substr(3) + "ABC");
    EXPECT_EQ(UCardFormats::DataText(std::string(49, 'F'), true), "0" + std::string(49, 'F'));
    EXPECT_EQ(UCardFormats::DataText("\x01\xAB", false), "01AB");
}

TEST(KeyRecord, DamagedRecordsAreRefused)
{
    std::string c1, c2;
    ASSERT_TRUE(UCardFormats::ParseKeyRecord(UCardFormats::BuildKeyRecord("\x01\x02", "\x03"), c1, c2));
    EXPECT_EQ(c1, "\x01\x02");
    EXPECT_EQ(c2, "\x03");
    const std::string good("\x86\x07\x03\x00\x01\x02\x02\x00\x03", 9);
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(UCardFormats::ParseKeyRecord(good.substr(0, cut), c1, c2)) << cut;
    EXPECT_FALSE(UCardFormats::ParseKeyRecord(std::string("\x86\x02\x00\x00", 4), c1, c2));
    // Every length of the record is one byte.
    EXPECT_EQ(UCardFormats::BuildKeyRecord(std::string(200, 'a'), std::string(49, 'b')).size(), 255u);
    EXPECT_EQ(UCardFormats::BuildKeyRecord(std::string(200, 'a'), std::string(50, 'b')), "");
}

TEST(KeyText, LinesEndAtCarriageReturns)
{
    auto lines = UCardFormats::SplitKeyText("0A 0B\r\n0C0D\r\nrest");
    EXPECT_EQ(lines.first, "0A0B");
    EXPECT_EQ(lines.second, "0C0D");
    lines = UCardFormats::SplitKeyText("0A0B");
    EXPECT_EQ(lines.first, "0A0B");
    EXPECT_EQ(lines.second, "");
    lines = UCardFormats::ReadKeyFile("AB");
    EXPECT_EQ(lines.first + lines.second, "");
}

TEST(KeyFiles, NumbersOutsideTheTableHaveNoFile)
{
    EXPECT_EQ(UCardFormats::ExportFileId(25), 0x20FF);
    EXPECT_EQ(UCardFormats::ImportFileId(21), 0x20FF);
    for (const int n : {-1, 26, 1000})
        EXPECT_EQ(UCardFormats::ExportFileId(n), -1) << n;
    for (const int n : {-1, 22})
        EXPECT_EQ(UCardFormats::ImportFileId(n), -1) << n;
}

TEST(KorvaListing, AnswersEndContinueOrAreBad)
{
    std::string list, next;
    EXPECT_EQ(UCardFormats::TakeListEntries("86 02 20 E4 8A 01 3C", list, next), UCardFormats::TListRest::More);
    EXPECT_EQ(next, "3C");
    EXPECT_EQ(UCardFormats::TakeListEntries("86 02 20 E5", list, next), UCardFormats::TListRest::Done);
    EXPECT_EQ(list, "20E4 20E5 ");
    EXPECT_EQ(UCardFormats::TakeListEntries("86 02 20", list, next), UCardFormats::TListRest::Bad);
    EXPECT_EQ(UCardFormats::TakeListEntries("86 02 20 E6 6F 00", list, next), UCardFormats::TListRest::Bad);
}

} // namespace
