#include <gtest/gtest.h>

#include <string>

#include "common/UHexASCII.h"
#include "gui/base/SysUtils.h"
#include "register/core/UCommandBuffer.h"
#include "register/core/UTlvFields.h"

namespace {

std::string B(const char* hex) { return UHexASCII::HexTextToBytes(hex); }

// A buffer holding a small transaction: C8 02 03 D2 and CE 02 14 30.
TCommandBuffer Transaction()
{
    TCommandBuffer b;
    b.AddField(0xC8, B("03 D2"));
    b.AddField(0xCE, B("14 30"));
    b.SetLc();
    return b;
}

const char* const Signature48 = "11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 00 11 22 33 44 55 66 77 88 "
                                "CB 01 33 44 55 66 77 88 99 AA BB CC DD EE FF 00 11 22 33 44 55 66 77 88";

} // namespace

TEST(CommandBuffer, AResetCommandIsHeaderLcAndLe)
{
    TCommandBuffer b;
    b.AddField(0xC8, B("03 D2"));
    b.Reset();
    EXPECT_EQ(b.WriteIndex(), 5u);
    EXPECT_EQ(b.CommandText(), "80 40 00 00 00 00 ");
    for (std::size_t i = 4; i < TCommandBuffer::Capacity; ++i)
        EXPECT_EQ(b.Bytes()[i], 0) << i;
}

TEST(CommandBuffer, FieldsLcAndTheTrailingLe)
{
    TCommandBuffer b = Transaction();
    EXPECT_EQ(b.CommandText(), "80 40 00 00 08 C8 02 03 D2 CE 02 14 30 00 ");
    EXPECT_EQ(b.DataField(), B("C8 02 03 D2 CE 02 14 30"));
    b.SetHeader(0x80, 0x42, 0x01, 0x00);
    EXPECT_EQ(b.CommandText(), "80 42 01 00 08 C8 02 03 D2 CE 02 14 30 00 ");
}

TEST(CommandBuffer, HoldsAt250DataBytesAndRefusesAFieldBeyond)
{
    TCommandBuffer b;
    EXPECT_THROW(b.AddField(0xC0, std::string(249, 'x')), ERangeError);
    EXPECT_EQ(b.WriteIndex(), 5u);
    EXPECT_THROW(b.AddField(0xC0, std::string(256, 'x')), ERangeError);
    b.AddField(0xC0, std::string(246, 'x'));
    b.AddField(0xC9, "");
    EXPECT_EQ(b.WriteIndex(), 255u);
    b.SetLc();
    EXPECT_EQ(b.Bytes()[4], 250);
    EXPECT_THROW(b.AddField(0xCA, ""), ERangeError);
    EXPECT_EQ(b.WriteIndex(), 255u);
    const std::string text = b.CommandText();
    EXPECT_EQ(text.size(), 256u * 3);
    EXPECT_EQ(text.substr(text.size() - 9), "C9 00 00 ");
}

TEST(TlvFields, AreFoundByWalkingNeverBySearching)
{
    // "CB 01" inside the first field's value, then the real field.
    EXPECT_EQ(FindTlvField(B("C4 02 CB 01 CB 01 07"), 0xCB), 4u);
    EXPECT_EQ(FindTlvField(B("CB 02 01 00"), 0xCB), 0u);
    EXPECT_EQ(FindTlvField(B("C4 01 41 C5 04 00 00 12 67"), 0xCB), std::nullopt);
    // A field whose length byte is missing ends the walk; a found field may be cut short.
    EXPECT_EQ(FindTlvField(B("C4 01 41 CB"), 0xCB), std::nullopt);
    EXPECT_EQ(FindTlvField(B("C4 01 41 CB 05 01"), 0xCB), 3u);
    EXPECT_EQ(FindTlvField(B("C4 FF 41 CB 01 05"), 0xCB), std::nullopt);
    EXPECT_EQ(FindTlvField("", 0xCB), std::nullopt);
}

TEST(VerifyCommand, CarriesTheDataFieldAndTheResponseFromItsSequenceNumber)
{
    TCommandBuffer b = Transaction();
    // The digits "CB01" stand at an odd place of the text (AC B0 1x) and inside the signature.
    const std::string response = std::string("C4 03 AC B0 12 C5 04 00 00 12 67 CB 01 07 9E 30 ") + Signature48;
    ASSERT_TRUE(b.BuildVerifyCommand(B(response.c_str())));
    EXPECT_EQ(b.CommandText(),
              std::string("80 44 00 00 3D C8 02 03 D2 CE 02 14 30 CB 01 07 9E 30 ") + Signature48 + " 00 ");
}

TEST(VerifyCommand, TakesATwoByteSequenceNumberAndAResponseWithoutOneWhole)
{
    TCommandBuffer b = Transaction();
    ASSERT_TRUE(b.BuildVerifyCommand(B("C4 01 41 CB 02 01 00 9E 01 55")));
    EXPECT_EQ(b.CommandText(), "80 44 00 00 0F C8 02 03 D2 CE 02 14 30 CB 02 01 00 9E 01 55 00 ");

    b = Transaction();
    ASSERT_TRUE(b.BuildVerifyCommand(B("C4 01 41 9E 01 55")));
    EXPECT_EQ(b.CommandText(), "80 44 00 00 0E C8 02 03 D2 CE 02 14 30 C4 01 41 9E 01 55 00 ");
}

TEST(VerifyCommand, ThatDoesNotFitLeavesTheTransactionAsItWas)
{
    TCommandBuffer b;
    b.AddField(0xC0, std::string(200, 'x'));
    b.SetLc();
    const std::string before = b.CommandText();
    // 202 data bytes and 51 of the response reach position 258.
    EXPECT_FALSE(b.BuildVerifyCommand(B((std::string("CB 01 07 9E 30 ") + Signature48).c_str()).substr(0, 51)));
    EXPECT_EQ(b.CommandText(), before);
    // 48 bytes end exactly at the Le position 255.
    ASSERT_TRUE(b.BuildVerifyCommand(B((std::string("CB 01 07 9E 30 ") + Signature48).c_str()).substr(0, 48)));
    EXPECT_EQ(b.WriteIndex(), 255u);
    EXPECT_EQ(b.Bytes()[4], 250);
}
