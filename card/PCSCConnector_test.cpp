// The connector against a card played by the test, through the virtual reader: GSM commands
// with short and deferred replies, and what the card's removal leaves behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "card/PCSCConnector.h"
#include "tests/support/MessageHost.h"
#include "tests/support/ScriptedCard.h"
#include "tests/support/SimCard.h"

namespace {

std::string Bytes(const std::string& hex) { return ScriptedCard::Bytes(hex); }

// A GSM directory answer: file 7F 20, a directory (byte 7 is 2), byte 14 with both voltage bits.
const char* const kDirectory = "00 00 00 00 7F 20 02 00 00 00 00 00 00 30 00 00 90 00";

class Connector : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        port_ = SimCard::FreePort();
        SimCard::UseReaders({{"Connector Reader", port_}});
    }
    void TearDown() override
    {
        pcsc.reset();
        card.reset();
    }
    // Plugs the scripted card in, opens its reader and connects to it (hang guard: the card
    // plugs in once the reader listens).
    void ConnectTo(ScriptedCard::Script script)
    {
        card = std::make_unique<ScriptedCard>(port_, std::move(script));
        pcsc = std::make_unique<TPCSCConnector>(nullptr);
        ASSERT_TRUE(pcsc->Init());
        pcsc->SetUseReaderNum(0);
        ASSERT_EQ(pcsc->ReaderName(), "Connector Reader");
        ASSERT_TRUE(pcsc->Open());
        ASSERT_TRUE(MessageHost::PumpUntil([&] { return pcsc->Connect(); }, 10000));
    }
    static inline int port_ = 0;
    std::unique_ptr<ScriptedCard> card;
    std::unique_ptr<TPCSCConnector> pcsc;
};

} // namespace

TEST_F(Connector, AGsmReplyOfOneByteIsAFailureWithoutStatus)
{
    ConnectTo([](const std::string& c) { return c.rfind("A0 ", 0) == 0 ? std::string("6F") : std::string("90 00"); });
    std::string data = Bytes("7F 20");
    std::uint8_t sw1 = 0x11, sw2 = 0x22;
    EXPECT_FALSE(pcsc->GSMCommand(Bytes("A0 A4 00 00 02"), data, sw1, sw2));
    EXPECT_EQ(sw1, 0);
    EXPECT_EQ(sw2, 0);
    EXPECT_EQ(data, "");
    EXPECT_EQ(pcsc->GSMSelect(Bytes("7F 20")), 0);
    EXPECT_EQ(pcsc->GSMDirInfo, "");
}

TEST_F(Connector, AGsmReplyOf9FIsFetchedWithGetResponse)
{
    ConnectTo([](const std::string& c) {
        if (c == "A0 A4 00 00 02 7F 20") return std::string("9F 12");
        if (c == "A0 C0 00 00 12") return std::string(kDirectory);
        return std::string("6E 00");
    });
    card->ClearCommands();
    EXPECT_EQ(pcsc->GSMSelect(Bytes("7F 20")), 0x9000);
    EXPECT_EQ(card->Commands(), (std::vector<std::string>{"A0 A4 00 00 02 7F 20", "A0 C0 00 00 12"}));
    EXPECT_EQ(pcsc->GSMCurrentFile, Bytes("7F 20"));
    EXPECT_EQ(pcsc->GSMDirInfo, Bytes(std::string(kDirectory).substr(0, 47)));
}

TEST_F(Connector, ARemovedCardLeavesNoConnectionAndNoAttributes)
{
    ConnectTo([](const std::string& c) { return c == "A0 A4 00 00 02 7F 20" ? kDirectory : "90 00"; });
    int removed = 0;
    pcsc->OnCardRemoved = [&](TObject*) { ++removed; };
    // The watch's first report: the card is there.
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return (pcsc->ReaderState() & SCARD_STATE_PRESENT) != 0; }, 10000));
    MessageHost::Pump(300);
    ASSERT_NE(pcsc->CardHandle(), 0u);
    EXPECT_EQ(pcsc->AttrCardATR, Bytes("3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74"));
    EXPECT_EQ(pcsc->AttrProtocol, 2);
    EXPECT_EQ(pcsc->AttrICCType, "ISO7816A");
    EXPECT_EQ(pcsc->AttrVendorName, "Tillora");
    EXPECT_TRUE(pcsc->GSMVoltage30);
    EXPECT_TRUE(pcsc->GSMVoltage18);

    card.reset(); // pulled
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return removed == 1; }, 10000));
    EXPECT_FALSE(pcsc->Connected());
    EXPECT_EQ(pcsc->CardHandle(), 0u);
    EXPECT_EQ(pcsc->AttrProtocol, 0);
    EXPECT_EQ(pcsc->AttrICCType, "");
    EXPECT_EQ(pcsc->AttrCardATR, "");
    EXPECT_EQ(pcsc->AttrVendorName, "");
    EXPECT_EQ(pcsc->AttrVendorSerial, "");
    EXPECT_EQ(pcsc->GSMCurrentFile, "");
    EXPECT_EQ(pcsc->GSMDirInfo, "");
    EXPECT_FALSE(pcsc->GSMVoltage30);
    EXPECT_FALSE(pcsc->GSMVoltage18);
    // The watch goes on: the reader is still open.
    EXPECT_TRUE(pcsc->Opened());
}
