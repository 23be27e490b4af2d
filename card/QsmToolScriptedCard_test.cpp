// Answers the simulated card never gives, played by the test's own card through the virtual
// reader: a hash of the wrong size, a KORVA listing that continues, a card of version 2.3,
// answers of the status word alone, status bytes at the start of data, answers far longer
// than a card means, a refused key and a card without the KORVA subdirectory.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
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

std::mutex g_mu;
std::map<std::string, std::string> g_special; // command prefix -> answer, set by a test

// A version 2.3 card with three files in EC01, listed in two answers, and a hash of 64 bytes;
// a test's special answers come first.
std::string Answer(const std::string& command, std::string& selected)
{
    {
        std::lock_guard<std::mutex> lock(g_mu);
        for (const auto& [prefix, answer] : g_special)
            if (command.rfind(prefix, 0) == 0) return answer;
    }
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
        {
            std::lock_guard<std::mutex> lock(g_mu);
            g_special.clear();
        }
        card_->ClearCommands();
    }
    static void Special(const std::string& prefix, const std::string& answer)
    {
        std::lock_guard<std::mutex> lock(g_mu);
        g_special[prefix] = answer;
    }
    static std::vector<std::string> SentWith(const std::string& part)
    {
        std::vector<std::string> out;
        for (const auto& c : card_->Commands())
            if (c.find(part) != std::string::npos) out.push_back(c);
        return out;
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

TEST_F(ScriptedCardTest, StateSendStripsOnlyAnAnswerThatIsTheStatusAlone)
{
    Special("00 CA 01 99 00", "90 00 12 90 00");
    const char* out = nullptr;
    ASSERT_EQ(qsm_->STATE_SEND_CARD_APDU("00 CA 01 99 00", &out), 0);
    EXPECT_STREQ(out, "90 00 12 90 00");
    ASSERT_EQ(qsm_->STATE_SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), 0);
    EXPECT_STREQ(out, "");
}

TEST_F(ScriptedCardTest, ACertificateReadThatGetsNoDataFails)
{
    // 20 bytes announced, 8 delivered, then the status word alone.
    Special("00 B0 00 00", "30 82 00 10 01 02 03 04 90 00");
    Special("00 B0 00 08", "90 00");
    std::vector<std::uint8_t> buffer(2051, 0x5A);
    std::int32_t count = 2051;
    EXPECT_EQ(qsm_->READ_CERT(buffer.data(), &count), -1);
    EXPECT_EQ(count, 2051);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(2051, 0x5A));
    EXPECT_EQ(SentWith("00 B0 00 08").size(), 1u); // asked once, not over and over
}

TEST_F(ScriptedCardTest, CardSystemInfoTakesTheStatusAloneAsNoData)
{
    Special("00 CA 01 81 00", "51 53 4D 2D 53 49 4D 00 01 02 00 12 D6 87 A4 31 90 00");
    Special("00 CA 01 8A 00", "90 00");
    const char* report = nullptr;
    EXPECT_EQ(qsm_->GET_CARDSYS_INFO(&report), -2);
    EXPECT_STREQ(report, "Card-System-Info:\r\nSeriennummer des Krypto-Chips: 080908624945\r\n");

    Special("00 CA 01 8A 00", "00 00 BC 00 90 00");
    Special("00 CA 01 85 00", "90 00");
    EXPECT_EQ(qsm_->GET_CARDSYS_INFO(&report), -4);
    Special("00 CA 01 85 00", "0F A0 90 00");
    Special("00 CA 01 80 00", "90 00");
    EXPECT_EQ(qsm_->GET_CARDSYS_INFO(&report), -5);
    Special("00 CA 01 80 00", "51 53 4D 2D 4F 53 20 34 2E 33 62 00 90 00");
    ASSERT_EQ(qsm_->GET_CARDSYS_INFO(&report), 0);
    EXPECT_EQ(std::string(report), "Card-System-Info:\r\n"
                                   "Seriennummer des Krypto-Chips: 080908624945\r\n"
                                   "verfügbarer EEPROM Speicherplatz: 00048128 Byte\r\n"
                                   "verfügbarer Speicherplatz im Body des KORVA-Unterverzeichnisses: 4000 Byte\r\n"
                                   "Betriebssystem: QSM-OS 4.3b\r\n");
}

TEST_F(ScriptedCardTest, SizesLongerThanACardMeansFailTheirStepAtOnce)
{
    Special("00 CA 01 81 00", "51 53 4D 2D 53 49 4D 00 01 02 00 12 D6 87 A4 31 90 00");
    // 256 bytes of free EEPROM.
    Special("00 CA 01 8A 00", Filler(256) + " 90 00");
    const char* report = nullptr;
    EXPECT_EQ(qsm_->GET_CARDSYS_INFO(&report), -2);
    // Five bytes of KORVA body size.
    Special("00 CA 01 8A 00", "00 00 BC 00 90 00");
    Special("00 CA 01 85 00", "00 00 00 0F A0 90 00");
    EXPECT_EQ(qsm_->GET_CARDSYS_INFO(&report), -4);
    // Four bytes still are a size.
    Special("00 CA 01 8A 00", "FF FF FF FF 90 00");
    Special("00 CA 01 85 00", "00 00 0F A0 90 00");
    Special("00 CA 01 80 00", "51 53 4D 00 90 00");
    ASSERT_EQ(qsm_->GET_CARDSYS_INFO(&report), 0);
    EXPECT_NE(std::string(report).find("verfügbarer EEPROM Speicherplatz: 4294967295 Byte\r\n"), std::string::npos);
    EXPECT_NE(std::string(report).find("KORVA-Unterverzeichnisses: 0004000 Byte\r\n"), std::string::npos);
}

TEST_F(ScriptedCardTest, SigningWithAKeyTheCardRefusesSendsNoData)
{
    Special("00 22 43", "6A 88");
    const std::string data(40, 'd');
    const char* signature = nullptr;
    EXPECT_EQ(qsm_->SIGN(reinterpret_cast<const std::uint8_t*>(data.data()), 40, "21", &signature), -1);
    EXPECT_EQ(signature, nullptr);
    EXPECT_EQ(card_->Commands(), (Cmds{"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 EC 01", "00 22 43 21 00 00"}));
    EXPECT_TRUE(SentWith("2A 9E 9A").empty());
}

TEST_F(ScriptedCardTest, ASignatureOfTheStatusAloneIsNoSignature)
{
    Special("00 2A 9E 9A", "90 00");
    const std::string data(40, 'd');
    const char* signature = nullptr;
    EXPECT_EQ(qsm_->SIGN(reinterpret_cast<const std::uint8_t*>(data.data()), 40, "21", &signature), -1);
    EXPECT_EQ(signature, nullptr);
}

TEST_F(ScriptedCardTest, KorvaListingWithoutTheKorvaSubdirectoryFails)
{
    Special("80 16 02 00 00 00", "86 02 10 00 86 02 11 10 90 00");
    qsm_->SET_DEBUGWINDOW(1, 0);
    qsm_->RESET_DEBUGWINDOW();
    const char* list = nullptr;
    EXPECT_EQ(qsm_->LIST_KORVA_FILES(&list), -1);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(card_->Commands(), (Cmds{"00 A4 00 0C 02 3F 00", "80 16 02 00 00 00"}));
    const std::string log = QsmToolDll::MonitorText();
    EXPECT_NE(log.find("keine KORVA-Struktur vorhanden"), std::string::npos);
    EXPECT_NE(log.find("Lesen beendet"), std::string::npos);
}

} // namespace
