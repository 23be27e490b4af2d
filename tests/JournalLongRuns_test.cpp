// Long runs of the real register whose journals the journal checker (tests/journalcheck) reads
// afterwards: 500 receipts and reports made through the mass-transaction window and the register
// window's report mode; an export pair continued over two runs of the program with the same
// card; the card gone in the middle of a mass run. Each test asserts what the user and the card
// saw and leaves its journal pair (or export pair) with the card's certificate in
// journal_runs\<test>\ beside this program, for the CTest step journalcheck_runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "tests/support/JournalRunFolder.h"
#include "tests/support/RegisterWindowTest.h"
#include "tests/support/SimCard.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"

namespace {

// Products of four VAT classes, one sold by weight.
const char* const kProducts = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
                              "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                              "<item><name>Milch</name><price2>99</price2></item>"
                              "<item><name>Zeitung</name><price4>250</price4></item>"
                              "<item><name>Wurst</name><unit>kg</unit><price1>1250</price1></item>"
                              "<item><name>Pfand</name><price3>25</price3></item>"
                              "</itemList></vantra>";

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t a = text.find(what); a != std::string::npos; a = text.find(what, a + 1))
        ++n;
    return n;
}

// The transaction numbers of an L journal's transactions, in order (a report carries the card's
// counter in a field of the same name).
std::vector<int> Numbers(const std::string& l)
{
    std::vector<int> out;
    for (const auto& transaction : AllBetween(l, "<transaction>", "</transaction>"))
        for (const auto& n : AllBetween(transaction, "<seqNoTransaction>", "</seqNoTransaction>"))
            out.push_back(std::stoi(n));
    return out;
}

std::vector<int> OneTo(int last)
{
    std::vector<int> out;
    for (int n = 1; n <= last; ++n)
        out.push_back(n);
    return out;
}

class JournalLongRuns : public RegisterWindowTest {
protected:
    JournalLongRuns() { startIni += "\r\n[Menue]\r\nDebug=1\r\n"; }
    void TearDown() override
    {
        if (main && IsWindow(main)) ClickMenuItem(main, "Beenden1");
        tillora.WaitForExit(120000);
    }

    // ---- the mass-transaction window
    void OpenMass()
    {
        ASSERT_TRUE(ClickMenuItem(main, "MassTransact1"));
        mass = tillora.WaitForForm("TMassTransForm");
        ASSERT_NE(mass, nullptr);
    }
    HWND Mass(const char* name) const { return FindControlWindow(mass, name); }
    bool MassEnabled(const char* name) const { return IsWindowEnabled(Mass(name)) != FALSE; }
    void Set(const char* name, const std::string& text) const
    {
        SendMessageA(Mass(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // Starts a run of `receipts` receipts of up to `items` items each; with the operators
    // ticked, each receipt names one of the two operators.
    void StartMass(int receipts, int items, bool operators)
    {
        Set("kTrEdit", std::to_string(receipts));
        Set("kTrBuchEdit", std::to_string(items));
        Set("kStornoEdit", "4");
        Set("sStk", "3");
        HWND box = Mass("sCheckBed");
        if ((SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != operators) {
            TilloraProgram::Click(box);
            ASSERT_TRUE(TilloraProgram::WaitFor(
                [&] { return (SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) == operators; }));
        }
        TilloraProgram::Click(Mass("maStart"));
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return MassEnabled("maStopp"); }));
    }
    // A whole run; the receipts the card signed in it.
    size_t MassRun(int receipts, int items, bool operators)
    {
        const size_t before = card.Commands("80 40 ").size();
        StartMass(receipts, items, operators);
        EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MassEnabled("maStart") && !MassEnabled("maStopp"); },
                                            receipts * 3000 + 60000));
        SendMessageA(kasse, WM_NULL, 0, 0);
        return card.Commands("80 40 ").size() - before;
    }

    // ---- the register window's report mode
    bool Shown(const char* name) const { return IsWindowVisible(Control(name)) != FALSE; }
    // Clicks and waits until the card saw one more command beginning with `start`.
    void ClickForCommand(const char* button, const std::string& start)
    {
        const size_t before = card.Commands(start).size();
        TilloraProgram::Click(Control(button));
        EXPECT_TRUE(TilloraProgram::WaitFor([&] { return card.Commands(start).size() > before; })) << button;
        SendMessageA(kasse, WM_NULL, 0, 0);
    }
    void EnterReportMode()
    {
        TilloraProgram::Click(Control("ReportButton"));
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Shown("ReportBox"); }));
        SendMessageA(kasse, WM_NULL, 0, 0);
    }
    void LeaveReportMode()
    {
        TilloraProgram::Click(Control("ReportVerlButton"));
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Shown("ProdBox"); }));
        SendMessageA(kasse, WM_NULL, 0, 0);
    }
    // The daily report, signed or not ("80 42 01" / "80 42 02").
    void DailyReport(bool signedReport)
    {
        HWND box = Control("TagRepCheckBox");
        if ((SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != signedReport) {
            TilloraProgram::Click(box);
            ASSERT_TRUE(TilloraProgram::WaitFor(
                [&] { return (SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) == signedReport; }));
        }
        ClickForCommand("TagButton", signedReport ? "80 42 01 " : "80 42 02 ");
    }
    // The booked months read again, the first one selected, the period report over it.
    void PeriodReport()
    {
        ClickForCommand("RepSyncButton", "00 CA 01 F2 ");
        HWND list = Control("MonthList");
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) > 0; }));
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        SendMessageA(list, LB_SETSEL, TRUE, 0);
        ClickForCommand("BerRepButton", "80 42 03 ");
    }

    // Leaves a pair for the checker under the test's name.
    void KeepForChecker(const std::string& l, const std::string& s, std::initializer_list<const char*> markers)
    {
        KeepJournalRun(::testing::UnitTest::GetInstance()->current_test_info()->name(), l, s, card.StatePath(),
                       markers);
    }

    HWND mass = nullptr;
};

} // namespace

TEST_F(JournalLongRuns, FiveHundredReceiptsAndReportsFromTheWindowsAreJournalledInOrder)
{
    // Five mass runs of 98 receipts, each followed by two reports: the signed daily report and,
    // in turn, the period report over the month booked or the unsigned daily report.
    constexpr size_t kReceipts = 490;
    OpenRegister(kProducts);
    ASSERT_NO_FATAL_FAILURE(OpenMass());
    size_t receipts = 0;
    for (int block = 0; block < 5; ++block) {
        const size_t want = kReceipts * (block + 1) / 5;
        // A receipt whose items were all taken back is not signed: the run is topped up.
        for (int round = 0; receipts < want && round < 3; ++round)
            receipts += MassRun(static_cast<int>(want - receipts), 4, block % 2 == 1);
        ASSERT_EQ(receipts, want);
        ASSERT_NO_FATAL_FAILURE(EnterReportMode());
        DailyReport(true);
        if (block % 2 == 0) ASSERT_NO_FATAL_FAILURE(PeriodReport());
        else DailyReport(false);
        ASSERT_NO_FATAL_FAILURE(LeaveReportMode());
    }
    EXPECT_EQ(tillora.Window("#32770", true), nullptr) << "a message came up during the run";
    Exit();
    EXPECT_EQ(tillora.ExitCode(), 0u);
    EXPECT_EQ(card.Commands("80 42 ").size(), 10u);

    const std::string l = tillora.Journal('L'), s = tillora.Journal('S');
    EXPECT_EQ(Numbers(l), OneTo(static_cast<int>(kReceipts)));
    EXPECT_EQ(Count(l, "<transaction>"), kReceipts);
    EXPECT_EQ(Count(s, "<transactionResponse>"), kReceipts);
    EXPECT_EQ(Count(l, "<report>"), 10u);
    EXPECT_EQ(Count(s, "<reportResponse>"), 10u);
    // Every receipt names its operator; the runs with the operators ticked chose both.
    const auto operators = AllBetween(l, "<operatorId>", "</operatorId>");
    EXPECT_EQ(operators.size(), kReceipts);
    EXPECT_EQ(std::set<std::string>(operators.begin(), operators.end()).size(), 2u);
    EXPECT_EQ(l.substr(l.size() - 9), "</vantra>");
    EXPECT_EQ(s.substr(s.size() - 9), "</vantra>");
    KeepForChecker(l, s, {});
}

TEST_F(JournalLongRuns, AnExportPairContinuedInASecondRunHoldsBothRuns)
{
    // First run: a new pair, chosen before the first sale.
    OpenRegister(kProducts);
    ASSERT_TRUE(ClickMenuItem(kasse, "XMLExportNeu1"));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(tillora.Path("Export\\Kasse01.xml")));
    ASSERT_TRUE(tillora.Exists("Export\\Kasse01S.xml"));
    ASSERT_TRUE(tillora.Exists("Export\\Kasse01L.xml"));
    EXPECT_EQ(Sale(0), 1);
    EXPECT_EQ(Sale(1), 2);
    ASSERT_NO_FATAL_FAILURE(EnterReportMode());
    DailyReport(true);
    ASSERT_NO_FATAL_FAILURE(LeaveReportMode());
    EXPECT_EQ(Sale(2), 3);
    Exit();
    EXPECT_EQ(tillora.ExitCode(), 0u);
    const std::string firstL = tillora.ReadFile("Export\\Kasse01L.xml");
    EXPECT_EQ(Numbers(firstL), OneTo(3));

    // Second run in the same program folder, the card taken out and put in again with its
    // state: the pair continued through its L file; the card counts on.
    card.Remove();
    ASSERT_TRUE(card.Insert());
    tillora.Kill();
    ASSERT_TRUE(tillora.Start());
    ASSERT_NO_FATAL_FAILURE(FindRegister());
    ASSERT_TRUE(ClickMenuItem(kasse, "XMLExportffnen1"));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(tillora.Path("Export\\Kasse01L.xml")));
    // Nothing is written into an existing pair before the register window closes.
    EXPECT_EQ(tillora.ReadFile("Export\\Kasse01L.xml"), firstL);
    EXPECT_EQ(Sale(0), 4);
    ASSERT_NO_FATAL_FAILURE(EnterReportMode());
    DailyReport(false);
    DailyReport(true);
    ASSERT_NO_FATAL_FAILURE(LeaveReportMode());
    EXPECT_EQ(Sale(1), 5);
    EXPECT_EQ(Sale(2), 6);
    Exit();
    EXPECT_EQ(tillora.ExitCode(), 0u);

    const std::string l = tillora.ReadFile("Export\\Kasse01L.xml"), s = tillora.ReadFile("Export\\Kasse01S.xml");
    EXPECT_EQ(Numbers(l), OneTo(6));
    EXPECT_EQ(AllBetween(l, "<seqNoReport>", "</seqNoReport>"), (std::vector<std::string>{"1", "2", "3"}));
    for (const std::string* file : {&l, &s}) {
        EXPECT_EQ(Count(*file, "</vantra>"), 1u);
        EXPECT_EQ(file->substr(file->size() - 9), "</vantra>");
        // One card: its parameter block once.
        EXPECT_EQ(Count(*file, "<qsmParams>"), 1u);
    }
    EXPECT_EQ(Count(s, "<transactionResponse>"), 6u);
    EXPECT_EQ(Count(s, "<reportResponse>"), 3u);
    // The second run has a dated pair of its own beside the first one's.
    EXPECT_EQ(tillora.Files("Journal").size(), 4u);
    KeepForChecker(l, s, {"export"});
}

TEST_F(JournalLongRuns, TheCardGoneInTheMiddleOfAMassRunEndsTheProgramInOrder)
{
    OpenRegister(kProducts, "--fault \"80 40=close,after:40\"");
    ASSERT_NO_FATAL_FAILURE(OpenMass());
    ASSERT_NO_FATAL_FAILURE(StartMass(200, 3, false));
    HWND error = tillora.WaitForForm("TCardErrForm", 120000);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(WindowText(error), "Card Error");
    EXPECT_EQ(tillora.Window("#32770", true), nullptr) << "a message besides the card error window";
    const auto log = card.LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "# fault: connection closed"), log.end());
    // The card saw the 40 it signed and the one it dropped; nothing more is sent.
    EXPECT_EQ(card.Commands("80 40 ").size(), 41u);
    Sleep(500);
    EXPECT_EQ(card.Commands("80 40 ").size(), 41u);
    TilloraProgram::Click(FindControlWindow(error, "Button1"));
    ASSERT_TRUE(tillora.WaitForExit(60000));
    main = nullptr;
    EXPECT_EQ(tillora.ExitCode(), 0u);

    const std::string l = tillora.Journal('L'), s = tillora.Journal('S');
    EXPECT_EQ(Numbers(l), OneTo(40));
    // The dropped transaction is the only failed one: no receipt follows it to a card that is gone.
    EXPECT_EQ(Count(l, "<transaction>"), 41u);
    EXPECT_EQ(l.substr(l.size() - 23), "</transaction></vantra>") << l.substr(l.size() - 400);
    EXPECT_EQ(s.substr(s.size() - 30), "</transactionEncoded></vantra>") << s.substr(s.size() - 400);
    EXPECT_EQ(Count(s, "<transactionResponse>"), 40u);
    KeepForChecker(l, s, {});
}
