// The transaction against the simulated card (and against a card played by the test for
// answers the simulated one never gives): what reached the card is read from its command log,
// what the register shows from the core's monitor, the host's receipt calls and the card
// monitor.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "card/exports/QsmTool.h"
#include "common/UHexASCII.h"
#include "gui/base/SysUtils.h"
#include "register/core/UCard.h"
#include "register/core/UContainer.h"
#include "register/core/UQR.h"
#include "register/core/TestRegisterHost.h"
#include "register/core/URegisterCore.h"
#include "register/core/UTransaction.h"
#include "tests/support/TestFiles.h"
#include "tests/support/MessageHost.h"
#include "tests/support/MonitorText.h"
#include "tests/support/QsmToolDll.h"
#include "tests/support/ScriptedCard.h"
#include "tests/support/SimCard.h"

using namespace UContainer;
using namespace UTransaction;

namespace {

using Cmds = std::vector<std::string>;

std::string Hex(const std::string& bytes) { return ScriptedCard::Hex(bytes); }

const char* const BrotHash = "FB F4 9B E0 50 27 48 E5 11 45 D1 49 66 53 C6 19 4F 3E E8 EE";
const char* const BrotCommand = "80 40 00 00 38 CD 04 20 09 08 12 CE 02 14 30 C6 04 61 6E 6E 61 C7 14 FB F4 9B E0 50 "
                                "27 48 E5 11 45 D1 49 66 53 C6 19 4F 3E E8 EE C8 02 03 D2 E1 0C D8 02 19 9C DA 02 03 "
                                "2C DB 02 19 00 00";
// The simulated card's identity fields (tpId "ATU12345678-QSM", tpIdNo 4711).
const std::string SimIdentity = "C4 0F " + Hex("ATU12345678-QSM") + " C5 04 00 00 12 67";

// The dated journals go to the folder "Journal" beside the program; each case starts and ends
// with it empty.
std::string JournalFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(path) + "Journal\\";
}
void ClearJournalFolder()
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((JournalFolder() + "*.xml").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do
        DeleteFileA((JournalFolder() + fd.cFileName).c_str());
    while (FindNextFileA(h, &fd));
    FindClose(h);
}

// The register window as the core sees it.
class TestHost : public TTestRegisterHost {
public:
    TestHost() { rates[2] = 0.005; }
    std::vector<std::string> hashes; // hex text of each hash handed to the receipt
    std::vector<std::int32_t> colors;
    void AddHashToReceipt(const std::uint8_t* data, int length, bool force) override
    {
        hashes.push_back(Hex(std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length))) +
                         (force ? " forced" : ""));
    }
    void SetReceiptColor(std::int32_t color) override { colors.push_back(color); }
};

// The debug window: its four boxes, and the user who edits a held command (or closes the
// window) after a few rounds of waiting.
class TestDebugWindow : public UDebugHold::IDebugWindow {
public:
    bool hash = false, ver = false, trans = false, manVer = false;
    std::function<std::string(const std::string&)> edit; // none: the user closes the window
    std::vector<std::string> shown;
    bool GetCheckHash() const override { return hash; }
    bool GetCheckVer() const override { return ver; }
    bool GetCheckTrans() const override { return trans; }
    bool GetCheckManVer() const override { return manVer; }
    int GetState() const override { return state_; }
    void ShowSendText(const std::string& text) override
    {
        shown.push_back(text);
        text_ = text;
        state_ = UDebugHold::StateWaiting;
        rounds_ = 0;
    }
    std::string GetSendText() const override { return text_; }
    void HideWindow() override {}
    void WaitRound() override
    {
        if (++rounds_ < 2) return;
        if (edit) {
            text_ = edit(text_);
            state_ = UDebugHold::StateSent;
        } else {
            state_ = UDebugHold::StateClosed;
        }
    }

private:
    int state_ = UDebugHold::StateWaiting;
    int rounds_ = 0;
    std::string text_;
};

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The colour of the card monitor's text at a character of its text as WM_GETTEXT hands it out.
COLORREF CardMonitorColourAt(const std::string& text, std::size_t index)
{
    return MonitorText::ColourAt(QsmToolDll::MonitorLog(), MonitorText::RichPosition(text, index));
}

// A card of version 2.3 played by the test: selections and everything else answer 90 00,
// the transaction the next of the given answers.
std::string ScriptedAnswer(const std::string& command, std::vector<std::string>& transactionAnswers)
{
    if (command == "00 CA 01 88 00") return "70 04 70 23 C8 08 8F 01 01 90 00";
    if (command.rfind("80 40 ", 0) == 0 && !transactionAnswers.empty()) {
        const std::string answer = transactionAnswers.front();
        transactionAnswers.erase(transactionAnswers.begin());
        return answer;
    }
    return "90 00";
}

// QsmTool stays loaded for the whole program, with two virtual readers: A for the simulated
// card, B for the card played by the test. One card is in at a time.
struct Rig {
    int portA = SimCard::FreePort();
    int portB = SimCard::FreePort();
    Rig()
    {
        SimCard::UseReaders({{"Sim Reader A", portA}, {"Sim Reader B", portB}});
        START_CARD(); // brings the readers up; no card is in them yet
        SET_DEBUGWINDOW(1, 0);
    }
};

Rig& TheRig()
{
    static Rig rig;
    return rig;
}

class Transaction : public ::testing::Test {
protected:
    TRegisterCore core;
    TestHost host;
    TestDebugWindow debug;
    std::unique_ptr<SimCard> card;
    std::unique_ptr<ScriptedCard> scripted;
    std::vector<std::string> scriptedAnswers;

    void SetUp() override
    {
        TheRig();
        core.SetHost(&host);
        core.SetDebugWindow(&debug);
        core.Languages().Load("Deutsch", ULang::TLangFile(ShippedLangIni()));
        core.Clock().SetNowSource([] { return UAppClock::EncodeDateTime(2009, 8, 12, 14, 30, 15); });
        ResetItemList();
        RESET_DEBUGWINDOW();
        CreateDirectoryA(JournalFolder().c_str(), nullptr);
        ClearJournalFolder();
    }
    void TearDown() override
    {
        UXML_Export::CloseJournal();
        ClearJournalFolder();
        card.reset();
        scripted.reset();
        MessageHost::Pump(300); // let the removal pass
    }
    // The simulated card in reader A, with qsmsim options and, when given, the state it starts
    // from.
    void StartSim(const std::string& options, const std::string& state = "")
    {
        card = std::make_unique<SimCard>(TheRig().portA, options);
        if (!state.empty()) std::ofstream(card->StatePath(), std::ios::trunc) << state;
        ASSERT_TRUE(card->Insert());
        ASSERT_TRUE(MessageHost::PumpUntil([&] { return card->Plugged(); }, 20000));
        ASSERT_TRUE(MessageHost::PumpUntil([] { return START_CARD() == 0; }, 10000));
        // The card check read the certificate before any journal write.
        ASSERT_TRUE(UCard::ReadCertificate());
        card->ClearLog();
    }
    // The test's own card in reader B, answering transactions from scriptedAnswers.
    void StartScripted()
    {
        scripted = std::make_unique<ScriptedCard>(
            TheRig().portB, [this](const std::string& c) { return ScriptedAnswer(c, scriptedAnswers); });
        ASSERT_TRUE(MessageHost::PumpUntil([] { return START_CARD() == 0; }, 20000));
        // The connector's probe of the arriving card (GSM class A0) passes before the test.
        MessageHost::PumpUntil(
            [&] {
                for (const auto& c : scripted->Commands())
                    if (c.rfind("A0 ", 0) == 0) return true;
                return false;
            },
            5000);
        scripted->ClearCommands();
        core.Card().certificate = "Q0VSVA==";
    }
    Cmds Sent(const std::string& prefix = "") const
    {
        Cmds out;
        for (const auto& c : card ? card->Commands() : scripted->Commands())
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }
    // The simulated card's answer to the first command with the prefix, without its status word.
    std::string AnswerTo(const std::string& prefix) const
    {
        const auto lines = card->LogLines();
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].rfind("APDU " + prefix, 0) == 0 && lines[i + 1].rfind("RESP ", 0) == 0) {
                const std::string r = lines[i + 1].substr(5);
                return r.size() >= 6 ? r.substr(0, r.size() - 6) : "";
            }
        return "<none>";
    }
    const std::string& Monitor() { return core.MonitorLog().Text(); }
    std::string LastMonitorLine() { return Monitor().substr(Monitor().rfind("\r\n") + 2); }
    void AddBrot() { AddItemData("1", "", "Brot", false, false, false, {"199"}); }
};

// The verification command a sale's transaction command and response give: the data field,
// then the response from its sequence number on.
std::string VerifyCommandOf(const std::string& transaction, const std::string& fromSeqNo)
{
    const std::string data = transaction.substr(15, transaction.size() - 18);
    const std::size_t lc = (data.size() + 1) / 3 + (fromSeqNo.size() + 1) / 3;
    char head[24];
    std::snprintf(head, sizeof head, "80 44 00 00 %02X ", static_cast<unsigned>(lc));
    return head + data + " " + fromSeqNo + " 00";
}

} // namespace

TEST_F(Transaction, ASaleIsSignedWithTheExactCommand)
{
    StartSim("--fresh active");
    AddBrot();
    UQR::AddQrData("xx", 2);
    UFuncMon::ClearMonitor();
    EXPECT_EQ(SendTransaction(false, false), 0);
    EXPECT_EQ(Sent(), Cmds{BrotCommand});
    EXPECT_EQ(host.hashes, std::vector<std::string>{BrotHash});
    EXPECT_TRUE(host.colors.empty());
    // The reset emptied the QR payload; the journal put the data field and the response in.
    const std::string response = AnswerTo("80 40");
    const std::string payload =
        Hex(std::string(reinterpret_cast<const char*>(core.QrPayload().Data()), core.QrPayload().Size()));
    EXPECT_EQ(payload, std::string(BrotCommand).substr(15, std::string(BrotCommand).size() - 18) + " " + response);
    EXPECT_EQ(core.ItemXml(), "<itemList><item><qnt>1</qnt><name>Brot</name><price1>199</price1></item></itemList>");
    EXPECT_EQ(TransactionText(), "\r\nDatum: \t\t2009-08-12\r\nUhrzeit: \t\t14:30\r\nBediener: \tAnna"
                                 "\r\nQSM-Kennung: \tATU12345678-QSM\r\nQSM-Nummer: 4711\r\nTransaktionsnummer: 1");
    EXPECT_EQ(Monitor(), std::string("Transaktion\r\n\tDatum: 20090812\r\n\tUhrzeit: 1430\r\n\tBediener: anna\r\n"
                                     "\tArtikelliste: A0 01 31 A2 04 62 72 6F 74 B1 02 19 9C \r\n"
                                     "\tHash der Artikelliste: ") +
                             BrotHash + " \r\n\tWährung: 03 D2\r\n\tKommando: " + BrotCommand +
                             " \r\n\tAntwort: " + UHexASCII::RemoveBlanks(response));

    // The card monitor: the label in blue, then the exchange.
    const std::string text = QsmToolDll::MonitorText();
    const auto lines = MonitorText::Lines(text);
    const auto label = std::find(lines.begin(), lines.end(), "TRANSACTION");
    ASSERT_NE(label, lines.end()) << text;
    ASSERT_NE(label + 1, lines.end());
    EXPECT_EQ(*(label + 1), std::string("Card,APDU;") + BrotCommand + " ");
    EXPECT_EQ(CardMonitorColourAt(text, text.find("TRANSACTION")), 0xFF0000u);
}

TEST_F(Transaction, ContainersOfACancelledLineAgencyDeliveryNotesAndOptions)
{
    StartSim("--fresh active");
    // +100 and -100 in class 1, also as agency turnover: D9 carries the cancelled 100, no E7.
    AddItemData("1", "", "a", false, false, false, {"100", "", "", "", "", "", "100"});
    AddItemData("1", "", "a", false, false, false, {"-100", "", "", "", "", "", "-100"});
    ASSERT_EQ(SendTransaction(false, false), 0);
    ASSERT_EQ(Sent("80 40").size(), 1u);
    std::string c = Sent("80 40")[0];
    EXPECT_EQ(c.substr(c.find("C8 02 03 D2")), "C8 02 03 D2 E1 0E D8 01 0C D9 02 10 0C DA 01 0C DB 02 19 00 00");

    // Agency, delivery note, a rate below 1 % in one byte, VAT addon and training.
    card->ClearLog();
    ResetItemList();
    AddItemData("1", "", "a", false, false, false, {"250", "", "", "", "", "", "250"});
    AddItemData("1", "", "b", false, false, false, {"", "80", "", "", "", "", "", "80"});
    AddItemData("1", "", "c", false, false, false, {"", "", "1000"});
    ASSERT_EQ(SendTransaction(true, true), 0);
    ASSERT_EQ(Sent("80 40").size(), 1u);
    c = Sent("80 40")[0];
    EXPECT_EQ(c.substr(c.find("C8 02 03 D2")), "C8 02 03 D2 C9 00 CA 00 E1 0C D8 02 25 0C DA 02 04 0C DB 02 19 00 "
                                               "E2 0B D8 02 08 0C DA 01 5C DB 02 07 00 E3 0B D8 03 01 00 0C DA 01 5C "
                                               "DB 01 50 E7 04 D8 02 25 0C E8 04 D8 02 08 0C 00");
    EXPECT_EQ(AnswerTo("80 40").substr(0, SimIdentity.size()), SimIdentity);
    EXPECT_EQ(TransactionText(), "\r\nDatum: \t\t2009-08-12\r\nUhrzeit: \t\t14:30\r\nBediener: \tAnna"
                                 "\r\nPreise zzgl. USt \r\nTrainingsbuchung \r\nQSM-Kennung: \tATU12345678-QSM"
                                 "\r\nQSM-Nummer: 4711\r\nTransaktionsnummer: 2");
}

TEST_F(Transaction, WithoutAnOperatorIdTheSaleGoesOutWithoutC6)
{
    StartSim("--fresh active");
    for (const char* name : {"", " \t "}) {
        card->ClearLog();
        host.operatorName = name;
        ResetItemList();
        AddBrot();
        ASSERT_EQ(SendTransaction(false, false), 0);
        EXPECT_EQ(Sent(),
                  Cmds{Replace(Replace(BrotCommand, "C6 04 61 6E 6E 61 ", ""), "80 40 00 00 38", "80 40 00 00 32")});
    }
}

TEST_F(Transaction, CardAndHostHashTheSameList)
{
    StartSim("--fresh active");
    EXPECT_EQ(Hex(std::string(reinterpret_cast<const char*>(HashItemList()->data()), 20)),
              "DA 39 A3 EE 5E 6B 4B 0D 32 55 BF EF 95 60 18 90 AF D8 07 09");
    debug.hash = true;
    EXPECT_EQ(Hex(std::string(reinterpret_cast<const char*>(HashItemList()->data()), 20)),
              "DA 39 A3 EE 5E 6B 4B 0D 32 55 BF EF 95 60 18 90 AF D8 07 09");
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 11 10", "00 2A 90 80 00 00"}));

    // 13 items of 23 bytes: 299 bytes, hashed on the card in blocks of 128, 128 and 43.
    for (int i = 10; i < 23; ++i)
        AddItemData("1", "Stk", "Artikel" + std::to_string(i), false, false, false, {"1" + std::to_string(i)});
    const std::string list = core.ItemList().Bytes();
    ASSERT_EQ(list.size(), 299u);
    debug.hash = false;
    const std::optional<TItemHash> onHost = HashItemList();
    card->ClearLog();
    debug.hash = true;
    const std::optional<TItemHash> onCard = HashItemList();
    ASSERT_TRUE(onHost && onCard);
    EXPECT_EQ(*onCard, *onHost);
    EXPECT_EQ(core.ItemList().Bytes(), list);
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 11 10", "10 2A 90 80 80 " + Hex(list.substr(0, 128)) + " 00",
                            "10 2A 90 80 80 " + Hex(list.substr(128, 128)) + " 00",
                            "00 2A 90 80 2B " + Hex(list.substr(256)) + " 00"}));

    // The sale signed with the card's hash of the bread.
    card->ClearLog();
    ResetItemList();
    AddBrot();
    ASSERT_EQ(SendTransaction(false, false), 0);
    EXPECT_EQ(Sent("80 40"), Cmds{BrotCommand});
    EXPECT_EQ(host.hashes, std::vector<std::string>{BrotHash});
}

// A failed card hash fails the sale: it is never signed with the previous receipt's hash.
TEST_F(Transaction, AFailedCardHashSendsNothing)
{
    StartSim("--fresh active --fault \"00 2A 90 80=sw:6A80\"");
    AddBrot();
    ASSERT_EQ(SendTransaction(false, false), 0); // hashed on the host
    ASSERT_EQ(Sent("80 40").size(), 1u);

    card->ClearLog();
    debug.hash = true;
    host.hashes.clear();
    ResetItemList();
    AddItemData("1", "", "Milch", false, false, false, {"99"});
    UFuncMon::ClearMonitor();
    EXPECT_EQ(SendTransaction(false, false), -1);
    EXPECT_EQ(Sent("00 2A 90 80").size(), 1u);
    EXPECT_TRUE(Sent("80 40").empty());
    EXPECT_TRUE(host.hashes.empty());
    EXPECT_EQ(host.colors, std::vector<std::int32_t>{0x3366FF});
    EXPECT_EQ(Monitor(), "Transaktion\r\n\tDatum: 20090812\r\n\tUhrzeit: 1430\r\n\tBediener: anna\r\n"
                         "\tArtikelliste: A0 01 31 A2 05 6D 69 6C 63 68 B1 02 09 9C \r\n"
                         "\tHash der Artikelliste: Fehler");
}

TEST_F(Transaction, ASignedSaleVerifiesOnTheCard)
{
    StartSim("--fresh active");
    debug.ver = true;
    AddBrot();
    EXPECT_EQ(SendTransaction(false, false), 0);
    const std::string response = AnswerTo("80 40");
    ASSERT_EQ(response.substr(0, SimIdentity.size() + 1), SimIdentity + " ");
    const std::string fromSeqNo = response.substr(SimIdentity.size() + 1);
    ASSERT_EQ(fromSeqNo.substr(0, 6), "CB 01 ");
    EXPECT_EQ(Sent(), (Cmds{BrotCommand, VerifyCommandOf(BrotCommand, fromSeqNo)}));
    EXPECT_EQ(AnswerTo("80 44"), "");
    EXPECT_EQ(host.colors, std::vector<std::int32_t>{0xD7F1E7});
    EXPECT_EQ(LastMonitorLine(), "\tAntwort: Verifikation erfolgreich");
    EXPECT_TRUE(debug.shown.empty());

    const std::string text = QsmToolDll::MonitorText();
    const auto lines = MonitorText::Lines(text);
    const auto label = std::find(lines.begin(), lines.end(), "VERIFY SIGNATURE");
    ASSERT_NE(label, lines.end()) << text;
    ASSERT_NE(label + 1, lines.end());
    EXPECT_EQ(*(label + 1), "Card,APDU;" + VerifyCommandOf(BrotCommand, fromSeqNo) + " ");
    EXPECT_EQ(CardMonitorColourAt(text, text.find("VERIFY SIGNATURE")), 0xFF0000u);
}

// The card signs what the debug window sent; the verification carries the data the register
// built, so an edited command does not verify.
TEST_F(Transaction, AnEditedCommandIsSignedButDoesNotVerify)
{
    StartSim("--fresh active");
    debug.ver = true;
    debug.trans = true;
    debug.edit = [](const std::string& text) { return Replace(text, "CE 02 14 30", "CE 02 14 31"); };
    AddBrot();
    EXPECT_LT(SendTransaction(false, false), 0);
    const std::string edited = Replace(BrotCommand, "CE 02 14 30", "CE 02 14 31");
    EXPECT_EQ(debug.shown, std::vector<std::string>{std::string(BrotCommand) + " "});
    const std::string fromSeqNo = AnswerTo("80 40").substr(SimIdentity.size() + 1);
    EXPECT_EQ(Sent(), (Cmds{edited, VerifyCommandOf(BrotCommand, fromSeqNo)}));
    EXPECT_EQ(host.colors, std::vector<std::int32_t>{0x3366FF});
    EXPECT_EQ(LastMonitorLine(), "\tAntwort: Fehler");
    EXPECT_NE(Monitor().find("\r\n\tKommando: " + edited + " \r\n"), std::string::npos);
}

TEST_F(Transaction, ClosingTheDebugWindowSendsTheCommandAsBuilt)
{
    StartSim("--fresh active");
    debug.ver = true;
    debug.trans = true;
    debug.manVer = true;
    AddBrot();
    EXPECT_EQ(SendTransaction(false, false), 0);
    ASSERT_EQ(debug.shown.size(), 2u);
    EXPECT_EQ(debug.shown[0], std::string(BrotCommand) + " ");
    const std::string fromSeqNo = AnswerTo("80 40").substr(SimIdentity.size() + 1);
    EXPECT_EQ(debug.shown[1], VerifyCommandOf(BrotCommand, fromSeqNo) + " ");
    EXPECT_EQ(Sent(), (Cmds{BrotCommand, VerifyCommandOf(BrotCommand, fromSeqNo)}));
    EXPECT_EQ(host.colors, std::vector<std::int32_t>{0xD7F1E7});
}

// From transaction 256 on the card numbers transactions in two bytes (CB 02 ..).
TEST_F(Transaction, ATwoByteSequenceNumberVerifies)
{
    StartSim("", "lifecycle=3\ntransactionseq=300\n");
    debug.ver = true;
    AddBrot();
    EXPECT_EQ(SendTransaction(false, false), 0);
    const std::string fromSeqNo = AnswerTo("80 40").substr(SimIdentity.size() + 1);
    EXPECT_EQ(fromSeqNo.substr(0, 18), "CB 02 01 2D 9E 30 ");
    EXPECT_EQ(Sent(), (Cmds{BrotCommand, VerifyCommandOf(BrotCommand, fromSeqNo)}));
    EXPECT_EQ(host.colors, std::vector<std::int32_t>{0xD7F1E7});
}

// Six VAT containers with negative turnovers fill 186 data bytes; the card's answer from its
// sequence number on (with the debug hash, 75 bytes) would take the verification past the
// buffer: it is not sent and counts as failed.
TEST_F(Transaction, VerificationDataThatDoesNotFitIsSkippedAndFails)
{
    StartSim("--fresh active --debug-hash");
    host.rates = {0.19, 0.19, 0.19, 0.19, 0.19, 0.19};
    ResetItemList();
    AddItemData("1", "", "Retoure", false, false, false,
                {"-5000000", "-5000000", "-5000000", "-5000000", "-5000000", "-5000000"});
    debug.ver = true;
    int result = 0;
    EXPECT_NO_THROW(result = SendTransaction(false, false));
    EXPECT_EQ(result, -1);
    const Cmds sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].substr(0, 15), "80 40 00 00 BA ");
    EXPECT_EQ(sent[0].substr(sent[0].find("E6 ")), "E6 16 D8 04 50 00 00 0D D9 04 50 00 00 0C DA 04 07 98 31 9D "
                                                   "DB 02 19 00 00");
    EXPECT_EQ(AnswerTo("80 40").substr(SimIdentity.size() + 1 + 9, 6), "9E 30 ");
    EXPECT_NE(AnswerTo("80 40").find(" 9A 14 "), std::string::npos);
    EXPECT_EQ(host.colors, std::vector<std::int32_t>{0x3366FF});
    EXPECT_EQ(LastMonitorLine(), "\tAntwort: Fehler");
}

// Six containers of 39 bytes: the sixth would end past the 250 data bytes.
TEST_F(Transaction, AFieldThatDoesNotFitTheBufferIsARangeErrorAndNothingIsSent)
{
    StartSim("--fresh active");
    host.rates = {0.19, 0.19, 0.19, 0.19, 0.19, 0.19};
    ResetItemList();
    AddItemData("1", "", "x", false, false, false,
                {"-9000000000000000", "-9000000000000000", "-9000000000000000", "-9000000000000000",
                 "-9000000000000000", "-9000000000000000"});
    EXPECT_THROW(SendTransaction(false, false), ERangeError);
    EXPECT_TRUE(Sent().empty());
}

// Answers the simulated card never gives: "CB01" among the digits before the real sequence
// number field, a response without one, and an exchange that fails.
TEST_F(Transaction, TheVerificationStartsAtTheRealSequenceNumberField)
{
    const std::string sig = "CB 01 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 00 11 22 33 44 55 66 "
                            "77 88 99 AA CB 01 33 44 55 66 77 88 99 AA BB CC DD EE FF 00 11 22 33 44";
    const std::vector<std::pair<std::string, std::string>> cases = {
        // The digits CB01 at an odd place of the text (AC B0 1x), then the real field.
        {"C4 03 AC B0 12 C5 04 00 00 12 67 ", "CB 01 05 9E 30 " + sig},
        // CB 01 at an even place inside the tpId.
        {"C4 04 41 CB 01 42 C5 04 00 00 12 67 ", "CB 01 06 9E 30 " + sig},
        // Inside the tpIdNo, and a sequence number of two bytes.
        {"C4 01 41 C5 04 00 CB 01 67 ", "CB 02 01 00 9E 30 " + sig},
        // No sequence number field: the whole response.
        {"", "C4 01 41 9E 30 " + sig},
    };
    for (const auto& [before, fromSeqNo] : cases)
        scriptedAnswers.push_back(before + fromSeqNo + " 90 00");
    scriptedAnswers.push_back("6A 82");
    StartScripted();
    debug.ver = true;
    for (const auto& [before, fromSeqNo] : cases) {
        scripted->ClearCommands();
        host.colors.clear();
        ResetItemList();
        AddBrot();
        EXPECT_EQ(SendTransaction(false, false), 0) << before;
        EXPECT_EQ(Sent(), (Cmds{BrotCommand, VerifyCommandOf(BrotCommand, fromSeqNo)})) << before;
        EXPECT_EQ(host.colors, std::vector<std::int32_t>{0xD7F1E7});
    }

    // The exchange fails (6A 82): no verification.
    scripted->ClearCommands();
    host.colors.clear();
    ResetItemList();
    AddBrot();
    EXPECT_EQ(SendTransaction(false, false), -1);
    EXPECT_EQ(Sent(), Cmds{BrotCommand});
    EXPECT_EQ(host.colors, std::vector<std::int32_t>{0x3366FF});
    EXPECT_EQ(LastMonitorLine(), "\tAntwort: Fehler");
}
