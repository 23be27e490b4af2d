// Answers the simulated card never gives, played by the test's own card through the virtual
// reader: a hash of the wrong size, a KORVA listing that continues, a card of version 2.3.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessageHost.h"
#include "tests/support/QsmToolDll.h"
#include "tests/support/ScriptedCard.h"
#include "tests/support/SimCard.h"

namespace {

using Cmds = std::vector<std::string>;

std::string Filler(std::size_t n)
{
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        out += (out.empty() ? "" : " ") + std::string("C3");
    return out;
}

// A version 2.3 card with three files in EC01, listed in two answers, and a hash of 64 bytes.
std::string Answer(const std::string& command, std::string& selected)
{
    if (command.rfind("00 A4 00 0C 02 ", 0) == 0) {
        selected = command.substr(15);
        return "90 00";
    }
    if (command == "00 CA 01 88 00") return "70 04 70 23 C8 08 8F 01 01 90 00";
    if (command == "80 16 02 00 00 00")
        return selected == "EC 01" ? "86 02 20 E4 86 02 20 E5 8A 01 02 90 00"
                                   : "86 02 10 00 86 02 EC 01 86 02 11 10 90 00";
    if (command == "80 16 02 02 00 00") return "86 02 20 E6 90 00";
    if (command.rfind("00 2A 90 80", 0) == 0) return Filler(64) + " 90 00";
    return "90 00";
}

class ScriptedCardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const int port = SimCard::FreePort();
        SimCard::UseReaders({{"Tillora Test Reader", port}});
        card_ = std::make_unique<ScriptedCard>(port, [](const std::string& c) { return Answer(c, selected_); });
        qsm_ = std::make_unique<QsmToolDll>();
        // Hang guard only: the card plugs in once the reader listens.
        started_ = MessageHost::PumpUntil([] { return qsm_->START_CARD() == 0; }, 30000);
        // Let the connector's probe of the arriving card (GSM class A0) pass before the tests.
        card_->ClearCommands();
        MessageHost::PumpUntil(
            [] {
                for (const auto& c : card_->Commands())
                    if (c.rfind("A0 ", 0) == 0) return true;
                return false;
            },
            5000);
    }
    static void TearDownTestSuite()
    {
        // The card goes first: the reader must not see it leave after its library is gone.
        card_.reset();
        qsm_.reset();
    }
    void SetUp() override
    {
        ASSERT_TRUE(started_) << "the scripted card did not start";
        card_->ClearCommands();
    }
    static inline std::unique_ptr<ScriptedCard> card_;
    static inline std::unique_ptr<QsmToolDll> qsm_;
    static inline std::string selected_;
    static inline bool started_ = false;
};

TEST_F(ScriptedCardTest, AHashOfAnyOtherSizeThan20BytesIsRefusedAndNothingWritten)
{
    for (const std::int32_t length : {20, 300}) {
        const std::string data(static_cast<std::size_t>(length), 'd');
        std::vector<std::uint8_t> buffer(64, 0xA5);
        std::int32_t count = length;
        EXPECT_EQ(qsm_->HASH_DATA(reinterpret_cast<const std::uint8_t*>(data.data()), buffer.data(), &count), -1);
        EXPECT_EQ(buffer, std::vector<std::uint8_t>(64, 0xA5)) << length;
        EXPECT_EQ(count, length);
    }
}

TEST_F(ScriptedCardTest, KorvaListingFollowsTheContinuation)
{
    const char* list = nullptr;
    ASSERT_EQ(qsm_->LIST_KORVA_FILES(&list), 0);
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list, "20E4 20E5 20E6 ");
    EXPECT_EQ(card_->Commands(), (Cmds{"00 A4 00 0C 02 3F 00", "80 16 02 00 00 00", "00 A4 00 0C 02 EC 01",
                                       "80 16 02 00 00 00", "80 16 02 02 00 00"}));
}

TEST_F(ScriptedCardTest, GenerateKeyOnAVersion23CardUsesTheStandardCommand)
{
    ASSERT_EQ(qsm_->GENERATE_KEY(2), 0);
    EXPECT_EQ(card_->Commands(),
              (Cmds{"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 EC 01", "00 47 00 00 08 83 02 20 E2 84 02 20 D2"}));
}

} // namespace
