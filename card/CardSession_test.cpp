// The card library against the simulated card behind the virtual reader: card start, command
// exchange, the busy guard, card events and the card's system information, seen as a host
// sees them (return codes, texts, messages) and as the card sees them (its command log).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessageHost.h"
#include "tests/support/QsmToolDll.h"
#include "tests/support/SimCard.h"

namespace {

constexpr UINT kCardInserted = 0x401;
constexpr UINT kCardRemoved = 0x402;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The library stays loaded for the whole program, as in any host, with two virtual readers:
// the card goes into the first unless a test says otherwise.
struct Rig {
    int portA = SimCard::FreePort();
    int portB = SimCard::FreePort();
    std::unique_ptr<QsmToolDll> qsm;
    Rig()
    {
        SimCard::UseReaders({{"Sim Reader A", portA}, {"Sim Reader B", portB}});
        qsm = std::make_unique<QsmToolDll>();
        // The first card start brings the readers up; no card is in them yet.
        qsm->START_CARD();
    }
};

Rig& TheRig()
{
    static Rig rig;
    return rig;
}

class CardSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        qsm = TheRig().qsm.get();
        qsm->SET_APPL_HANDLE(nullptr);
        qsm->SET_DEBUGWINDOW(1, 0);
        qsm->RESET_DEBUGWINDOW();
    }
    void Start(const std::string& options = "--fresh active", bool secondReader = false)
    {
        card = std::make_unique<SimCard>(secondReader ? TheRig().portB : TheRig().portA, options);
        ASSERT_TRUE(card->Insert());
        ASSERT_TRUE(MessageHost::PumpUntil([&] { return card->Plugged(); }, 20000)) << DumpCardLog();
        // The card process needs a moment to plug into the reader.
        ASSERT_TRUE(MessageHost::PumpUntil([&] { return qsm->START_CARD() == 0; }, 10000));
        card->ClearLog();
        qsm->RESET_DEBUGWINDOW();
    }
    void TearDown() override
    {
        qsm->SET_APPL_HANDLE(nullptr);
        card.reset();
        MessageHost::Pump(300); // let the removal pass
    }
    std::string Send(const char* command, int* rc = nullptr)
    {
        const char* out = nullptr;
        const int r = qsm->SEND_CARD_APDU(command, &out);
        if (rc) *rc = r;
        return out ? out : "<null>";
    }

    std::string DumpCardLog() const
    {
        std::string text;
        for (const auto& l : card->LogLines())
            text += l + "\n";
        return text + QsmToolDll::MonitorText();
    }

    std::unique_ptr<SimCard> card;
    QsmToolDll* qsm = nullptr;
};

} // namespace

TEST_F(CardSession, SendCardApduHandsOutDataOrStatusAsHexText)
{
    Start();
    int rc = 0;
    // An error status word: -1, an empty text, and the whole answer in the monitor.
    EXPECT_EQ(Send("00 A4 00 0C 02 AB CD", &rc), "");
    EXPECT_EQ(rc, -1);
    EXPECT_TRUE(Contains(QsmToolDll::MonitorText(), "Card,APDU;00 A4 00 0C 02 AB CD"));
    EXPECT_TRUE(Contains(QsmToolDll::MonitorText(), "Result;   6A 82"));
    // Data and "90 00": the data alone.
    const std::string version = Send("00CA018800", &rc);
    EXPECT_EQ(rc, 0);
    const auto log = card->LogLines();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[log.size() - 1], "RESP " + version + " 90 00");
    // Only "90 00": the status word itself.
    EXPECT_EQ(Send("00 A4 00 0C 02 3F 00", &rc), "90 00");
    EXPECT_EQ(rc, 0);
    // Commands as the card received them: run-together digits and blanks read alike.
    const auto commands = card->Commands();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0], "00 A4 00 0C 02 AB CD");
    EXPECT_EQ(commands[1], "00 CA 01 88 00");
}

TEST_F(CardSession, StateSendKeepsTheStatusOfDataAndDropsABareSuccess)
{
    Start();
    const char* out = nullptr;
    EXPECT_EQ(qsm->STATE_SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(qsm->STATE_SEND_CARD_APDU("00 CA 01 88 00", &out), 0);
    const std::string answer = out;
    EXPECT_GE(answer.size(), 8u);
    EXPECT_EQ(answer.substr(answer.size() - 5), "90 00");
    EXPECT_EQ(qsm->STATE_SEND_CARD_APDU("00 A4 00 0C 02 AB CD", &out), 0);
    EXPECT_STREQ(out, "6A 82");
    // The text of one export is replaced by the next: a kept address reads the new text.
    const char* kept = out;
    qsm->STATE_SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out);
    EXPECT_EQ(kept, out);
    EXPECT_STREQ(kept, "");
}

TEST_F(CardSession, ATooLongCommandIsNotSent)
{
    Start();
    std::string command = "00 D6 00 00 FF";
    for (int i = 0; i < 256; ++i)
        command += " 5A";
    // 261 bytes: refused before it reaches the card.
    EXPECT_EQ(Send(command.c_str()), "");
    EXPECT_TRUE(card->Commands().empty());
    const char* out = "x";
    EXPECT_EQ(qsm->STATE_SEND_CARD_APDU(command.c_str(), &out), -1);
    EXPECT_TRUE(card->Commands().empty());
    // 260 bytes still go.
    command.resize(command.size() - 3);
    Send(command.c_str());
    EXPECT_EQ(card->Commands().size(), 1u);
}

TEST_F(CardSession, AGuardedExportCalledBetweenChainedBlocksAnswersBusyAndSendsNothing)
{
    Start();
    // A host message handled while the signing lets the application's messages through.
    MessageHost host;
    std::vector<int> during;
    host.OnMessage = [&](UINT) {
        const char* out = nullptr;
        during.push_back(qsm->GET_CARDSYS_INFO(&out));
        during.push_back(qsm->START_CARD());
        during.push_back(qsm->STATE_SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out));
        std::int32_t count = 3;
        std::uint8_t hash[20];
        during.push_back(qsm->HASH_DATA(reinterpret_cast<const std::uint8_t*>("abc"), hash, &count));
    };
    PostMessageA(host.Handle(), WM_USER + 7, 0, 0);
    const std::vector<std::uint8_t> data(300, 0x5A);
    const char* signature = nullptr;
    ASSERT_EQ(qsm->SIGN(data.data(), static_cast<std::int32_t>(data.size()), "21", &signature), 0);
    EXPECT_EQ(during, (std::vector<int>{1, 1, 1, 1}));
    // The card saw the signing and nothing else.
    const auto commands = card->Commands();
    ASSERT_EQ(commands.size(), 5u) << DumpCardLog();
    EXPECT_EQ(commands[0], "00 A4 00 0C 02 3F 00");
    EXPECT_EQ(commands[1], "00 A4 00 0C 02 EC 01");
    EXPECT_EQ(commands[2], "00 22 43 21 00 00");
    EXPECT_EQ(commands[3].substr(0, 15), "10 2A 9E 9A C0 ");
    EXPECT_EQ(commands[4].substr(0, 15), "00 2A 9E 9A 6C ");
    // The flag is clear again.
    const char* out = nullptr;
    EXPECT_EQ(qsm->STATE_SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), 0);
}

TEST_F(CardSession, InsertionIsDebouncedAndRemovalReportedAtOnce)
{
    Start();
    MessageHost::Pump(1000); // the debounce armed by the fixture's card start runs out unseen
    MessageHost host;
    qsm->SET_APPL_HANDLE(host.Handle());
    // A card start that ends connected arms the debounce; a second within it arms nothing.
    ASSERT_EQ(qsm->START_CARD(), 0);
    const DWORD armed = GetTickCount();
    MessageHost::Pump(100);
    ASSERT_EQ(qsm->START_CARD(), 0);
    MessageHost::Pump(1500);
    ASSERT_EQ(host.Count(kCardInserted), 1);
    EXPECT_GE(host.Messages()[0].tick - armed, 450u);
    EXPECT_EQ(host.Messages()[0].wParam, 0u);
    EXPECT_EQ(host.Messages()[0].lParam, 0);

    // Pulling the card: 0x402 and "Karte gezogen".
    host.Clear();
    card->Remove();
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return host.Count(kCardRemoved) == 1; }, 10000));
    EXPECT_EQ(host.Count(kCardInserted), 0);
    // Putting it back: the library starts the card itself and reports it once, after the debounce.
    ASSERT_TRUE(card->Insert());
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return host.Count(kCardInserted) == 1; }, 20000));
    MessageHost::Pump(1000);
    EXPECT_EQ(host.Count(kCardInserted), 1);
    const std::string log = QsmToolDll::MonitorText();
    EXPECT_TRUE(Contains(log, "Karte gezogen"));
    EXPECT_TRUE(Contains(log, "Karte gesteckt"));
    // The restarted card is usable.
    EXPECT_EQ(Send("00 A4 00 0C 02 3F 00"), "90 00");
}

TEST_F(CardSession, WithLoggingOffTheCardMessagesAreStillSent)
{
    Start();
    MessageHost::Pump(1000); // the debounce armed by the fixture's card start runs out unseen
    MessageHost host;
    qsm->SET_APPL_HANDLE(host.Handle());
    qsm->SET_DEBUGWINDOW(0, 0);
    card->Remove();
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return host.Count(kCardRemoved) == 1; }, 10000));
    ASSERT_TRUE(card->Insert());
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return host.Count(kCardInserted) == 1; }, 20000));
    EXPECT_EQ(QsmToolDll::MonitorText(), "");
}

TEST_F(CardSession, WithoutAHostWindowEventsAreOnlyLogged)
{
    Start();
    MessageHost host;
    qsm->SET_APPL_HANDLE(host.Handle());
    qsm->SET_APPL_HANDLE(nullptr);
    ASSERT_EQ(qsm->START_CARD(), 0);
    card->Remove();
    MessageHost::PumpUntil([] { return Contains(QsmToolDll::MonitorText(), "Karte gezogen"); }, 10000);
    MessageHost::Pump(700);
    EXPECT_TRUE(host.Messages().empty());
    // DISCONNECT_CARD reports the removal too.
    qsm->SET_APPL_HANDLE(host.Handle());
    qsm->DISCONNECT_CARD();
    EXPECT_EQ(host.Count(kCardRemoved), 1);
}

TEST_F(CardSession, CardStartFindsTheCardInTheSecondReader)
{
    Start("--fresh active", true);
    EXPECT_EQ(qsm->START_CARD(), 0);
    const std::string log = QsmToolDll::MonitorText();
    EXPECT_TRUE(Contains(log, "Anzahl der angeschlossenen Leser 02"));
    EXPECT_TRUE(Contains(log, "Verbindung zur Karte kann nicht hergestellt werden"));
    EXPECT_TRUE(Contains(log, "Sim Reader A"));
    EXPECT_TRUE(Contains(log, "Version der Karte: 2.2"));
    // The GSM probe on connecting, the version probe and the application selection reached
    // the card in the second reader, which stays connected.
    const auto commands = card->Commands();
    ASSERT_EQ(commands.size(), 4u) << DumpCardLog();
    EXPECT_EQ(commands[0], "A0 A4 00 00 02 7F 20");
    EXPECT_EQ(commands[1], "00 CA 01 88 00");
    EXPECT_EQ(commands[2], "00 A4 00 0C 02 3F 00");
    EXPECT_EQ(commands[3], "00 A4 00 0C 02 10 00");
    EXPECT_EQ(Send("00 A4 00 0C 02 3F 00"), "90 00");
}

TEST_F(CardSession, EveryRowOfTheVersionTableIsRecognised)
{
    const struct {
        const char* option;
        const char* card;
        const char* os;
    } rows[] = {
        {"1.2/4.01", "1.2", "4.01"}, {"1.2/4.01a", "1.2", "4.01a"}, {"2.2/4.01a", "2.2", "4.01a"},
        {"2.2/4.3", "2.2", "4.3"},   {"2.3/4.3b", "2.3", "4.3b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.option);
        Start(std::string("--fresh active --version ") + row.option);
        ASSERT_EQ(qsm->START_CARD(), 0);
        const std::string log = QsmToolDll::MonitorText();
        EXPECT_TRUE(Contains(log, std::string("Version der Karte: ") + row.card));
        EXPECT_TRUE(Contains(log, std::string("Version des OS: ") + row.os));
        TearDown();
    }
}

TEST_F(CardSession, AnUnknownVersionFailsTheCardStart)
{
    card = std::make_unique<SimCard>(TheRig().portA, "--fresh active --version-answer \"70 04 99 99 C8 08\"");
    ASSERT_TRUE(card->Insert());
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return card->Plugged(); }, 20000));
    // Hang guard: until the card has answered the version probe.
    ASSERT_TRUE(MessageHost::PumpUntil(
        [&] {
            card->ClearLog();
            qsm->RESET_DEBUGWINDOW();
            return qsm->START_CARD() == -1 && !card->Commands().empty();
        },
        10000));
    // The card in the first reader got the connection's probe and the version probe, and no
    // selection: the start went on to the second reader, where no card is.
    EXPECT_EQ(card->Commands(), (std::vector<std::string>{"A0 A4 00 00 02 7F 20", "00 CA 01 88 00"}));
    const std::string log = QsmToolDll::MonitorText();
    EXPECT_TRUE(Contains(log, "Result;   70 04 99 99 C8 08 90 00"));
    EXPECT_FALSE(Contains(log, "Version der Karte: "));
    EXPECT_FALSE(Contains(log, "Version des OS: "));
}

// The crypto chip's serial number is hex digits 21 to 32 of the card's answer, 00 12 D6 87 A4 31
// on the simulated card; its leading zero stays (the digit lists keep one zero per hex digit).
TEST_F(CardSession, CardSystemInfoReportsTheCardsValues)
{
    Start();
    const char* report = nullptr;
    ASSERT_EQ(qsm->GET_CARDSYS_INFO(&report), 0);
    // The free EEPROM depends on what the card holds: read its answer from the card's log.
    std::string eepromHex;
    const auto lines = card->LogLines();
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == "APDU 00 CA 01 8A 00") eepromHex = lines[i + 1].substr(5, 11);
    ASSERT_EQ(eepromHex.size(), 11u) << DumpCardLog();
    eepromHex.erase(std::remove(eepromHex.begin(), eepromHex.end(), ' '), eepromHex.end());
    std::string eeprom = std::to_string(std::stoull(eepromHex, nullptr, 16));
    if (eepromHex[0] == '0') eeprom.insert(0, 8 - eeprom.size(), '0');
    EXPECT_EQ(std::string(report), "Card-System-Info:\r\n"
                                   "Seriennummer des Krypto-Chips: 080908624945\r\n"
                                   "verfügbarer EEPROM Speicherplatz: " +
                                       eeprom +
                                       " Byte\r\n"
                                       "verfügbarer Speicherplatz im Body des KORVA-Unterverzeichnisses: 4000 Byte\r\n"
                                       "Betriebssystem: QSM-OS 4.3\r\n");
    EXPECT_TRUE(Contains(QsmToolDll::MonitorText(), "Card-System-Info abgeschlossen"));
}

TEST_F(CardSession, CardSystemInfoNamesTheStepThatFailed)
{
    const struct {
        const char* fault;
        int rc;
        const char* lastLine;
    } steps[] = {
        {"00CA0181=sw:6A88", -1, nullptr},
        {"00CA0181=cut:6", -1, nullptr}, // a serial number too short to read
        {"00CA018A=sw:6A88", -2, "Seriennummer des Krypto-Chips: "},
        {"00A4000C023F00=sw:6A82,after:1", -3, "verfügbarer EEPROM Speicherplatz: "},
        {"00CA0185=sw:6A88", -4, "verfügbarer EEPROM Speicherplatz: "},
        {"00CA0180=sw:6A88", -5, "verfügbarer Speicherplatz im Body des KORVA-Unterverzeichnisses: "},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.fault);
        Start(std::string("--fresh active --fault ") + step.fault);
        const char* report = nullptr;
        EXPECT_EQ(qsm->GET_CARDSYS_INFO(&report), step.rc);
        ASSERT_NE(report, nullptr);
        const std::string text = report;
        EXPECT_EQ(text.rfind("Card-System-Info:\r\n", 0), 0u);
        if (step.lastLine) {
            EXPECT_TRUE(Contains(text, step.lastLine));
        }
        EXPECT_FALSE(Contains(text, "Betriebssystem: "));
        // The busy flag is clear again.
        const char* out = nullptr;
        EXPECT_EQ(qsm->STATE_SEND_CARD_APDU("00 A4 00 0C 02 10 00", &out), 0);
        TearDown();
    }
}

TEST_F(CardSession, NoCardProbeComesBetweenChainedBlocks)
{
    Start();
    // A fresh card start leaves the new watch's first status report waiting in the queue; it is
    // handled while the signing pumps messages between its blocks.
    ASSERT_EQ(qsm->START_CARD(), 0);
    card->ClearLog();
    const std::vector<std::uint8_t> data(300, 0x5A);
    const char* signature = nullptr;
    ASSERT_EQ(qsm->SIGN(data.data(), static_cast<std::int32_t>(data.size()), "21", &signature), 0);
    const auto commands = card->Commands();
    std::size_t first = commands.size(), last = commands.size();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (commands[i].rfind("10 2A 9E 9A", 0) == 0 && first == commands.size()) first = i;
        if (commands[i].rfind("00 2A 9E 9A", 0) == 0) last = i;
    }
    ASSERT_LT(first, last) << DumpCardLog();
    for (std::size_t i = first; i <= last; ++i)
        EXPECT_EQ(commands[i].find("2A 9E 9A"), 3u) << "between the blocks: " << commands[i];
}
