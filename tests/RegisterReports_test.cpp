// The register window's reports, status receipt and export pair through the real program:
// Tillora.exe with the simulated card, driven from this process through window messages. The
// bytes the card saw, the receipt's lines, the month list and the journal files.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "tests/support/ControlText.h"
#include "tests/support/FilePrinters.h"
#include "tests/support/SimCard.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"

namespace {

class RegisterReports : public ::testing::Test {
protected:
    explicit RegisterReports(const std::string& options = "--fresh active") : card(port, options) {}
    void SetUp() override
    {
        SimCard::UseReaders({{"Sim Reader", port}});
        tillora.WriteFile("cfg\\start.ini", "[Windows]\r\nCard=0\r\nFunc=0\r\n\r\n[Card]\r\nVersionen=v2.;\r\n");
        BeforeInsert();
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(tillora.StartRegister(main, kasse, memo));
        EXPECT_TRUE(tillora.UnderTestSkin(main)) << TilloraProgram::TestSkin();
        card.ClearLog();
    }
    void TearDown() override
    {
        if (main && IsWindow(main)) ClickMenuItem(main, "Beenden1");
        tillora.WaitForExit();
    }

    virtual void BeforeInsert() {}
    HWND Control(const char* name) const { return FindControlWindow(kasse, name); }
    std::vector<std::string> Memo() const { return SplitLines(WindowText(memo)); }
    bool Visible(const char* name) const { return IsWindowVisible(Control(name)) != FALSE; }
    std::vector<std::string> Commands(const std::string& start) const
    {
        std::vector<std::string> out;
        for (const auto& c : card.Commands())
            if (c.rfind(start, 0) == 0) out.push_back(c);
        return out;
    }
    // Clicks and waits until the card saw `count` commands beginning with `start`.
    void ClickFor(HWND button, const std::string& start, size_t count)
    {
        TilloraProgram::Click(button);
        EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Commands(start).size() >= count; })) << start;
        // The handler has finished once the window answers again.
        SendMessageA(kasse, WM_NULL, 0, 0);
    }
    std::vector<std::string> Months() const
    {
        std::vector<std::string> out;
        HWND list = Control("MonthList");
        const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            // Between processes the entry comes as UTF-16.
            wchar_t wide[64] = L"";
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            char buf[64] = "";
            WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
            out.push_back(buf);
        }
        return out;
    }

    const int port = SimCard::FreePort();
    SimCard card;
    TilloraProgram tillora;
    HWND main = nullptr, kasse = nullptr, memo = nullptr;
};

// The card status read fails after the start check has read it once.
class RegisterStatusFault : public RegisterReports {
protected:
    RegisterStatusFault() : RegisterReports("--fresh active --fault \"00 CA 01 F1=sw:6A88,after:1\"") {}
};

// Today's month moved by a number of months: year and month.
void MonthOf(int plusMonths, int& year, int& month)
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    const int m = t.wYear * 12 + t.wMonth - 1 + plusMonths;
    year = m / 12;
    month = m % 12 + 1;
}

// "MM/yyyy".
std::string MonthOfToday(int plusMonths = 0)
{
    int y = 0, m = 0;
    MonthOf(plusMonths, y, m);
    return (m < 10 ? "0" : "") + std::to_string(m) + "/" + std::to_string(y);
}

// "yy yy mm" as the span report carries it.
std::string BcdMonth(int plusMonths)
{
    int y = 0, m = 0;
    MonthOf(plusMonths, y, m);
    char text[16];
    snprintf(text, sizeof text, "%02d %02d %02d", y / 100, y % 100, m);
    return text;
}

// A card whose start month lies four months back, with that month, the next one and the month
// before this one booked.
class RegisterBookedMonths : public RegisterReports {
protected:
    void BeforeInsert() override
    {
        std::string totals = "199 0 1900 0 1";
        for (int n = 2; n <= 8; ++n)
            totals += " 0 0 -1 0 0";
        totals += " 0 0 1 1";
        const auto key = [](int plus) {
            int y = 0, m = 0;
            MonthOf(plus, y, m);
            return std::to_string(y * 100 + m);
        };
        std::ofstream(card.StatePath(), std::ios::binary)
            << "lifecycle=3\nstartmonth=" << key(-4) << "\nmonth." << key(-4) << "=" << totals << "\nmonth." << key(-3)
            << "=" << totals << "\nmonth." << key(-1) << "=" << totals << "\n";
    }
    // Selects the entries and puts the caret on one of them, then asks for the span report.
    std::string Span(const std::vector<int>& selected, int caret)
    {
        HWND list = Control("MonthList");
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        for (int i : selected)
            SendMessageA(list, LB_SETSEL, TRUE, i);
        SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(caret), FALSE);
        card.ClearLog();
        ClickFor(Control("BerRepButton"), "80 42 03", 1);
        const auto sent = Commands("80 42 03");
        return sent.empty() ? std::string() : sent[0];
    }
};

} // namespace

TEST_F(RegisterReports, ReportModeReadsTheMonthsAndSendsTheDailyReports)
{
    ClickFor(Control("ReportButton"), "00 CA 01 F2 00", 1);
    EXPECT_TRUE(Visible("ReportBox"));
    EXPECT_FALSE(Visible("ProdBox"));
    EXPECT_FALSE(QueryMenuItem(kasse, "VerifikationaufQSM").visible);
    // A fresh card has booked nothing: the head alone, no month.
    EXPECT_EQ(Months(), std::vector<std::string>{});
    EXPECT_EQ(ControlText(kasse, "CardStart"), "00/0000");

    card.ClearLog();
    ClickFor(Control("TagButton"), "80 42", 1);
    const std::vector<std::string> signedReport = Commands("80 42");
    ASSERT_EQ(signedReport.size(), 1u);
    EXPECT_TRUE(
        std::regex_match(signedReport[0], std::regex("80 42 01 00 0A CD 04( [0-9]{2}){4} CE 02( [0-9]{2}){2} 00")))
        << signedReport[0];
    std::vector<std::string> lines = Memo();
    const std::string text = WindowText(memo);
    EXPECT_NE(text.find("Tagesabschluss"), std::string::npos) << text;
    auto sig = std::find(lines.begin(), lines.end(), "Signatur:");
    ASSERT_NE(sig, lines.end()) << text;
    ASSERT_GE(lines.end() - sig, 4);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(std::regex_match(*(sig + i), std::regex("[A-Z2-7=-]+"))) << *(sig + i);
    EXPECT_NE(tillora.Journal('S').find("<reportEncoded>"), std::string::npos);
    EXPECT_NE(tillora.Journal('L').find("<report>"), std::string::npos);

    // Unticked: the unsigned report.
    TilloraProgram::Click(Control("TagRepCheckBox"));
    ASSERT_TRUE(
        TilloraProgram::WaitFor([&] { return SendMessageA(Control("TagRepCheckBox"), BM_GETCHECK, 0, 0) == 0; }));
    card.ClearLog();
    ClickFor(Control("TagButton"), "80 42", 1);
    ASSERT_EQ(Commands("80 42").size(), 1u);
    EXPECT_EQ(Commands("80 42")[0].substr(0, 12), "80 42 02 00 ");
    EXPECT_NE(WindowText(memo).find("\tkeine Signatur"), std::string::npos) << WindowText(memo);

    // The signed report booked this month; leaving and entering again keeps the (empty) list
    // only while it is empty: the list is read again.
    card.ClearLog();
    ClickFor(Control("RepSyncButton"), "00 CA 01 F2 00", 1);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Months().size() == 1; }));
    EXPECT_EQ(Months(), std::vector<std::string>{"+  0 | " + MonthOfToday()});
    EXPECT_EQ(ControlText(kasse, "CardStart"), MonthOfToday());
    TilloraProgram::Click(Control("ReportVerlButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Visible("ProdBox"); }));
    EXPECT_TRUE(QueryMenuItem(kasse, "VerifikationaufQSM").visible);
    card.ClearLog();
    TilloraProgram::Click(Control("ReportButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Visible("ReportBox"); }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_TRUE(Commands("00 CA 01 F2").empty());
    EXPECT_EQ(Months().size(), 1u);

    // No month selected: no span report. The one month selected: from it to it.
    card.ClearLog();
    TilloraProgram::Click(Control("BerRepButton"));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_TRUE(Commands("80 42").empty());
    SendMessageA(Control("MonthList"), LB_SETSEL, TRUE, 0);
    ClickFor(Control("BerRepButton"), "80 42 03", 1);
    const std::string span = Commands("80 42 03")[0];
    EXPECT_NE(span.find("D0 03 " + BcdMonth(0) + " D1 03 " + BcdMonth(0) + " 00"), std::string::npos) << span;
}

TEST_F(RegisterBookedMonths, TheSelectedMonthsGoIntoTheSpanReport)
{
    ClickFor(Control("ReportButton"), "00 CA 01 F2 00", 1);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Months().size() == 3; }));
    EXPECT_EQ(Months(), (std::vector<std::string>{"+  0 | " + MonthOfToday(-4), "+  1 | " + MonthOfToday(-3),
                                                  "+  3 | " + MonthOfToday(-1)}));
    EXPECT_EQ(ControlText(kasse, "CardStart"), MonthOfToday(-4));

    const std::string lastTwo = "D0 03 " + BcdMonth(-3) + " D1 03 " + BcdMonth(-1) + " 00";
    std::string span = Span({1, 2}, 2);
    EXPECT_NE(span.find(lastTwo), std::string::npos) << span;
    span = Span({1, 2}, 1);
    EXPECT_NE(span.find(lastTwo), std::string::npos) << span;
    span = Span({0, 1, 2}, 0);
    EXPECT_NE(span.find("D0 03 " + BcdMonth(-4) + " D1 03 " + BcdMonth(-1) + " 00"), std::string::npos) << span;
    // The caret on an entry outside the selection does not matter either.
    span = Span({0}, 2);
    EXPECT_NE(span.find("D0 03 " + BcdMonth(-4) + " D1 03 " + BcdMonth(-4) + " 00"), std::string::npos) << span;
}

TEST_F(RegisterReports, StatusReceiptListsTheCard)
{
    TilloraProgram::Click(FindControlWindow(main, "StatusButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Memo().size() >= 13; })) << WindowText(memo);
    const std::vector<std::string> lines = Memo();
    ASSERT_EQ(lines.size(), 13u) << WindowText(memo);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "\t  QSM-Status");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "Kartenzustand\t\t03");
    EXPECT_EQ(lines[5].substr(0, 16), "Kartenversion\t\t\t");
    EXPECT_EQ(lines[6], "QSM-Kennung\t\tATU12345678-QSM");
    EXPECT_EQ(lines[7], "QSM-Nummer\t\t4711");
    EXPECT_EQ(lines[8].substr(0, 19), "Chip-Seriennummer\t\t");
    EXPECT_EQ(lines[12].substr(0, 15), "Berichtsz\xE4hler\t");
    EXPECT_EQ(lines[12].find('\t', 15), std::string::npos);
    EXPECT_EQ(Commands("00 CA 01 F1 00").size(), 1u);
}

TEST_F(RegisterStatusFault, AFailedStatusReadShowsTheFailure)
{
    TilloraProgram::Click(FindControlWindow(main, "StatusButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Memo().size() >= 5; })) << WindowText(memo);
    SendMessageA(main, WM_NULL, 0, 0);
    const std::vector<std::string> lines = Memo();
    EXPECT_EQ(lines,
              (std::vector<std::string>{std::string(13, ' ') + "Kassenbeleg", "", "\t  QSM-Status", "", "\tFehler"}));
}

TEST_F(RegisterReports, ExportPairFromTheMenuIsFilledWhenTheWindowCloses)
{
    ASSERT_TRUE(ClickMenuItem(kasse, "XMLExportNeu1"));
    ASSERT_TRUE(tillora.ChooseFile(tillora.Path("Export\\Bericht.xml")));
    ASSERT_TRUE(TilloraProgram::WaitFor(
        [&] { return tillora.Exists("Export\\BerichtS.xml") && tillora.Exists("Export\\BerichtL.xml"); }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_EQ(tillora.ReadFile("Export\\BerichtS.xml").find("<reportEncoded>"), std::string::npos);

    ClickFor(Control("ReportButton"), "00 CA 01 F2 00", 1);
    ClickFor(Control("TagButton"), "80 42", 1);
    PostMessageA(kasse, WM_CLOSE, 0, 0);
    ASSERT_TRUE(TilloraProgram::WaitForHidden(kasse));
    // Unticking the main window's switch hides the window before the pair is written.
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_EQ(SendMessageA(FindControlWindow(main, "KassBox"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_NE(tillora.ReadFile("Export\\BerichtS.xml").find("<reportEncoded>"), std::string::npos)
        << tillora.ReadFile("Export\\BerichtS.xml");
    EXPECT_NE(tillora.ReadFile("Export\\BerichtL.xml").find("<report>"), std::string::npos);
}

TEST_F(RegisterReports, TheReceiptGoesToTheEpsonPrinterRaw)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string output = std::string(temp) + "tillora-reports-" + std::to_string(GetCurrentProcessId()) + ".prn";
    TFilePrinters printers({"EPSON TM-T88IV Receipt"}, output, TFilePrinters::TNaming::Exact);
    ASSERT_TRUE(printers.Ready());
    TilloraProgram::Click(FindControlWindow(main, "StatusButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Memo().size() >= 13; })) << WindowText(memo);
    const std::string text = WindowText(memo);
    ASSERT_TRUE(ClickMenuItem(kasse, "EPSON1"));
    std::string printed;
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return !(printed = printers.Output()).empty(); }));
    const std::string start = "\x1B\x74\x10\x1B\x43\x18" + text + "\r\n\x1B\x61\x31";
    EXPECT_EQ(printed.substr(0, start.size()), start);
    EXPECT_EQ(printed.substr(printed.size() - 6), std::string("\x1B\x00\x1D\x56\x41\x00", 6));
    DeleteFileA(output.c_str());
}
