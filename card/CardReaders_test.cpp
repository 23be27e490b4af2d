// Card starts while the reader list changes under the loaded library: the virtual reader
// offers at every new PC/SC context what SIMREADER_READERS names then, as readers that are
// plugged in, renamed and pulled out while a host runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/MessageHost.h"
#include "tests/support/MonitorText.h"
#include "tests/support/QsmToolDll.h"
#include "tests/support/SimCard.h"

namespace {

using MonitorText::Lines;

int CountOf(const std::vector<std::string>& lines, const std::string& line)
{
    int n = 0;
    for (const auto& l : lines)
        n += l == line;
    return n;
}

// One library for the whole program, as in any host; its module state carries over.
class CardReaders : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qsm_ = std::make_unique<QsmToolDll>(); }
    static void TearDownTestSuite() { qsm_.reset(); }
    void SetUp() override
    {
        qsm_->SET_DEBUGWINDOW(1, 0);
        qsm_->RESET_DEBUGWINDOW();
    }
    // Inserts the card into a reader of the list given last (hang guard: the reader listens
    // from the first card start that sees it, and the card process needs a moment to plug in).
    static bool Insert(SimCard& card)
    {
        qsm_->START_CARD();
        return card.Insert() && MessageHost::PumpUntil([&] { return card.Plugged(); }, 20000);
    }
    static bool StartWith(SimCard& card)
    {
        return Insert(card) && MessageHost::PumpUntil([] { return qsm_->START_CARD() == 0; }, 10000);
    }
    static inline std::unique_ptr<QsmToolDll> qsm_;
};

} // namespace

TEST_F(CardReaders, AnUnknownCardVersionFailsTheStartInTheLastReader)
{
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Kartenleser", port}});
    SimCard card(port, "--fresh active --version-answer \"70 04 99 99 C8 08\"");
    ASSERT_TRUE(Insert(card));
    // Hang guard: until the card has answered the version probe.
    ASSERT_TRUE(MessageHost::PumpUntil(
        [&] {
            qsm_->RESET_DEBUGWINDOW();
            card.ClearLog();
            return qsm_->START_CARD() == -1 && !card.Commands().empty();
        },
        10000));
    // The library has never seen a known version, so it says the version is bad; the reader
    // is the last, so the card start ends there.
    const auto lines = Lines(QsmToolDll::MonitorText());
    const auto probe = std::find(lines.begin(), lines.end(), "Result;   70 04 99 99 C8 08 90 00");
    ASSERT_NE(probe, lines.end()) << QsmToolDll::MonitorText();
    ASSERT_GE(lines.end() - probe, 3);
    EXPECT_EQ(probe[1], "Card -, OS-Version fehlerhaft");
    EXPECT_EQ(probe[2], "Verbindung zur Karte kann nicht hergestellt werden ");
    EXPECT_EQ(CountOf(lines, "Version der Karte: 2.2"), 0);
}

TEST_F(CardReaders, OfTwelveReadersTheFirstElevenAreListed)
{
    std::vector<std::pair<std::string, int>> readers;
    for (int n = 1; n <= 12; ++n)
        readers.push_back({"Leser " + std::to_string(100 + n).substr(1), SimCard::FreePort()});
    SimCard::UseReaders(readers);
    // No card anywhere: every reader is tried, the last ends the start.
    EXPECT_EQ(qsm_->START_CARD(), -1);
    const auto lines = Lines(QsmToolDll::MonitorText());
    EXPECT_EQ(CountOf(lines, "Anzahl der angeschlossenen Leser 0B"), 1);
    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(CountOf(lines, "Leser " + std::to_string(100 + n).substr(1)), 11) << n;
    EXPECT_EQ(CountOf(lines, "Leser 12"), 0);
}

TEST_F(CardReaders, ARenamedReaderIsConnectedByItsNewName)
{
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Kartenleser Kasse 1", port}});
    SimCard card(port, "--fresh active");
    ASSERT_TRUE(StartWith(card));
    // The same reader under another name: the card in it starts again.
    SimCard::UseReaders({{"Kartenleser Kasse 2", port}});
    qsm_->RESET_DEBUGWINDOW();
    EXPECT_EQ(qsm_->START_CARD(), 0);
    const auto lines = Lines(QsmToolDll::MonitorText());
    EXPECT_EQ(CountOf(lines, "Kartenleser Kasse 2"), 1);
    EXPECT_EQ(CountOf(lines, "Kartenleser Kasse 1"), 0);
    const char* out = nullptr;
    EXPECT_EQ(qsm_->SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), 0);
    EXPECT_STREQ(out, "90 00");
}

TEST_F(CardReaders, WithEveryReaderGoneTheCardStartAnswersNoReader)
{
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Kartenleser", port}});
    SimCard card(port, "--fresh active");
    ASSERT_TRUE(StartWith(card));
    // The last reader goes, and with it the platform's smart-card service.
    SimCard::UseReaders({});
    qsm_->RESET_DEBUGWINDOW();
    EXPECT_EQ(qsm_->START_CARD(), -2);
    const auto lines = Lines(QsmToolDll::MonitorText());
    EXPECT_EQ(CountOf(lines, "Anzahl der angeschlossenen Leser 00"), 1);
    EXPECT_EQ(CountOf(lines, "Kartenleser"), 0);
    const char* out = "unchanged";
    EXPECT_EQ(qsm_->SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), -1);
    // Plugged in again, the reader and its card are found.
    SimCard::UseReaders({{"Kartenleser", port}});
    EXPECT_EQ(qsm_->START_CARD(), 0);
}
