// Runs of sales through the real register window whose journals the journal checker
// (tests/journalcheck) reads afterwards: a plain run, the card refusing a transaction, a reply
// lost after the card signed, the card gone in the middle of a sale, and the program killed in
// the middle of a run. Each test asserts what the user and the card saw and leaves its journal
// pair with the card's certificate in journal_runs\<test>\ beside this program (L.xml, S.xml,
// card.der and "unclosed" when the root close tag must be missing), for the CTest step
// journalcheck_runs to check.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "tests/support/JournalRunFolder.h"
#include "tests/support/RegisterWindowTest.h"
#include "tests/support/SimCard.h"
#include "tests/support/TilloraProgram.h"

namespace {

const char* const kProducts = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
                              "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                              "<item><name>Milch</name><price2>99</price2></item>"
                              "<item><name>Zeitung</name><price4>250</price4></item>"
                              "</itemList></vantra>";

// The receipt memo's colour after a failed card exchange (0x00BBGGRR).
constexpr COLORREF kFailedColour = 0x3366FF;

class JournalRuns : public RegisterWindowTest {
protected:
    // Leaves the journal pair and the card's certificate for the checker.
    void KeepForChecker(bool unclosed)
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        if (unclosed) KeepJournalRun(name, tillora.Journal('L'), tillora.Journal('S'), card.StatePath(), {"unclosed"});
        else KeepJournalRun(name, tillora.Journal('L'), tillora.Journal('S'), card.StatePath(), {});
    }
};

} // namespace

TEST_F(JournalRuns, SalesOfEveryKindAreJournalledInBothFiles)
{
    OpenRegister(kProducts);
    std::vector<int> shown;
    for (int i = 0; i < 6; ++i)
        shown.push_back(Sale(i));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    Exit();
    EXPECT_EQ(card.Commands("80 40 ").size(), 6u);
    KeepForChecker(false);
}

TEST_F(JournalRuns, ACardActivatedAtTheStartHasItsReportsJournalledBeforeTheSales)
{
    // A wrong transport PIN first: the refused activation is journalled without a response.
    StartProgram(kProducts, "--fresh transport");
    HWND pin = tillora.WaitForForm("TPINForm");
    ASSERT_NE(pin, nullptr);
    HWND edit = FindControlWindow(pin, "PINEdit");
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("123457"));
    TilloraProgram::Click(FindControlWindow(pin, "PINButton"));
    HWND box = tillora.WaitForForm("#32770");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(TilloraProgram::PressButton(box, "OK"));
    ASSERT_TRUE(TilloraProgram::WaitForHidden(box));
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("123456"));
    TilloraProgram::Click(FindControlWindow(pin, "PINButton"));
    ASSERT_NO_FATAL_FAILURE(FindRegister());
    EXPECT_EQ(Sale(0), 1);
    EXPECT_EQ(Sale(1), 2);
    Exit();
    EXPECT_EQ(card.Commands("80 42 04 00 ").size(), 2u);
    const std::string l = tillora.Journal('L');
    EXPECT_NE(l.find("<report><date>"), std::string::npos) << l;
    EXPECT_NE(l.find("<lifeCycle>03</lifeCycle>"), std::string::npos) << l;
    KeepForChecker(false);
}

TEST_F(JournalRuns, ATransactionTheCardRefusesIsShownClosedAndTheNextOneSigns)
{
    OpenRegister(kProducts, "--fault \"80 40=sw:6985,once\"");
    EXPECT_EQ(Sale(0), 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoColour() == kFailedColour; })) << std::hex << MemoColour();
    EXPECT_EQ(Sale(1), 1);
    EXPECT_NE(MemoColour(), kFailedColour);
    Exit();
    const auto log = card.LogLines();
    int refused = 0;
    for (const auto& l : log)
        refused += l == "RESP 69 85";
    EXPECT_EQ(refused, 1);
    // Both elements of the refused sale are closed, with neither request nor response.
    const std::string l = tillora.Journal('L'), s = tillora.Journal('S');
    const size_t first = s.find("<transactionEncoded>");
    ASSERT_NE(first, std::string::npos) << s;
    const size_t end = s.find("</transactionEncoded>", first);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(s.substr(first, end - first).find("<transactionRequest>"), std::string::npos) << s;
    EXPECT_NE(l.find("</containerVat2></transaction><transaction>"), std::string::npos) << l;
    KeepForChecker(false);
}

TEST_F(JournalRuns, AReplyLostAfterTheCardSignedLeavesAGapThatTheJournalsExplain)
{
    OpenRegister(kProducts, "--fault \"80 40=cut:10,once,after:1\"");
    EXPECT_EQ(Sale(0), 1);
    EXPECT_EQ(Sale(1), 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoColour() == kFailedColour; })) << std::hex << MemoColour();
    // The card counted the lost one.
    EXPECT_EQ(Sale(2), 3);
    EXPECT_EQ(Sale(0), 4);
    Exit();
    // The card's answers to the four transactions: the second one cut to its first 10 bytes.
    std::vector<size_t> answers;
    const auto log = card.LogLines();
    for (size_t i = 0; i + 1 < log.size(); ++i)
        if (log[i].rfind("APDU 80 40 ", 0) == 0 && log[i + 1].rfind("RESP ", 0) == 0)
            answers.push_back((log[i + 1].size() - 4) / 3);
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[1], 10u);
    EXPECT_GT(answers[0], 60u);
    EXPECT_EQ(answers[2], answers[0]);
    KeepForChecker(false);
}

TEST_F(JournalRuns, AReplyTheCardNeverSendsFailsTheSaleAfterTheReadersWait)
{
    OpenRegister(kProducts, "--fault \"80 40=mute,once,after:1\"");
    EXPECT_EQ(Sale(0), 1);
    EXPECT_EQ(Sale(1), 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoColour() == kFailedColour; })) << std::hex << MemoColour();
    EXPECT_EQ(Sale(2), 3);
    Exit();
    const auto log = card.LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "# fault: no reply"), log.end());
    KeepForChecker(false);
}

TEST_F(JournalRuns, TheCardGoneDuringATransactionEndsTheProgramInOrder)
{
    OpenRegister(kProducts, "--fault \"80 40=close,after:1\"");
    EXPECT_EQ(Sale(0), 1);
    Sale(1);
    HWND error = tillora.WaitForForm("TCardErrForm");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(WindowText(error), "Card Error");
    const auto log = card.LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "# fault: connection closed"), log.end());
    TilloraProgram::Click(FindControlWindow(error, "Button1"));
    ASSERT_TRUE(tillora.WaitForExit());
    main = nullptr;
    EXPECT_EQ(tillora.ExitCode(), 0u);
    const std::string l = tillora.Journal('L'), s = tillora.Journal('S');
    EXPECT_EQ(l.substr(l.size() - 23), "</transaction></vantra>") << l;
    EXPECT_EQ(s.substr(s.size() - 30), "</transactionEncoded></vantra>") << s;
    KeepForChecker(false);
}

TEST_F(JournalRuns, AKilledProgramLeavesEveryShownReceiptInBothJournals)
{
    // The card adds the SHA-1 of what it signed to every answer; the checker compares it.
    OpenRegister(kProducts, "--debug-hash");
    std::vector<int> shown;
    for (int i = 0; i < 5; ++i)
        shown.push_back(Sale(i));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5}));
    tillora.Kill();
    main = nullptr;
    const std::string l = tillora.Journal('L'), s = tillora.Journal('S');
    for (int n : shown)
        EXPECT_NE(l.find("<seqNoTransaction>" + std::to_string(n) + "</seqNoTransaction>"), std::string::npos) << n;
    EXPECT_EQ(l.substr(l.size() - 14), "</transaction>") << l;
    EXPECT_EQ(s.substr(s.size() - 21), "</transactionEncoded>") << s;
    size_t requests = 0;
    for (size_t at = s.find("<transactionResponse>"); at != std::string::npos;
         at = s.find("<transactionResponse>", at + 1))
        ++requests;
    EXPECT_EQ(requests, shown.size());
    EXPECT_NE(l.find("</sig><debugHashTransaction>"), std::string::npos) << l;
    KeepForChecker(true);
}
