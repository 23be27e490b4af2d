// The "Cardmonitor" window and the exports that write into it, seen from a host.
#include <gtest/gtest.h>

#include <richedit.h>

#include <string>

#include "tests/support/MessageHost.h"
#include "tests/support/MonitorText.h"
#include "tests/support/QsmToolDll.h"

namespace {

using MonitorText::ColourAt;
using MonitorText::Lines;
using MonitorText::RichPosition;

class Cardmonitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(qsm.SET_DEBUGWINDOW(1, 1), 0);
        ASSERT_EQ(qsm.RESET_DEBUGWINDOW(), 0);
    }
    QsmToolDll qsm;
};

} // namespace

TEST_F(Cardmonitor, WindowShowsAndHidesAndLogsOnlyWhileLoggingIsOn)
{
    HWND monitor = QsmToolDll::MonitorWindow();
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(IsWindowVisible(monitor));
    EXPECT_EQ(qsm.TYPE_DEBUGWINDOW("erste Zeile"), 0);
    EXPECT_EQ(qsm.TYPE_DEBUGWINDOW(""), 0);
    EXPECT_EQ(Lines(QsmToolDll::MonitorText()), (std::vector<std::string>{"erste Zeile", " "}));

    EXPECT_EQ(qsm.SET_DEBUGWINDOW(0, 0), 0);
    EXPECT_FALSE(IsWindowVisible(monitor));
    qsm.TYPE_DEBUGWINDOW("nicht geloggt");
    qsm.TYPECL_DEBUGWINDOW("auch nicht", 255);
    EXPECT_EQ(QsmToolDll::MonitorText().find("nicht"), std::string::npos);

    EXPECT_EQ(qsm.RESET_DEBUGWINDOW(), 0);
    EXPECT_EQ(QsmToolDll::MonitorText(), "");
}

TEST_F(Cardmonitor, OnlyTheColouredLineCarriesItsColour)
{
    qsm.TYPE_DEBUGWINDOW("Card,APDU;00 A4 00 0C 02 3F 00");
    qsm.TYPECL_DEBUGWINDOW("Result;   6A 82", 255);
    qsm.TYPE_DEBUGWINDOW("danach");
    const std::string text = QsmToolDll::MonitorText();
    HWND log = QsmToolDll::MonitorLog();
    const int label = RichPosition(text, text.find("Card"));
    const int result = RichPosition(text, text.find("Result"));
    const int after = RichPosition(text, text.find("danach"));
    EXPECT_EQ(ColourAt(log, label), RGB(0, 0, 0));
    EXPECT_EQ(ColourAt(log, result), RGB(255, 0, 0));
    EXPECT_EQ(ColourAt(log, result + 14), RGB(255, 0, 0));
    EXPECT_EQ(ColourAt(log, after), RGB(0, 0, 0));
}

TEST_F(Cardmonitor, ALongLogLosesExactlyItsElevenOldestLines)
{
    const std::string filler(99, 'x');
    int n = 0;
    while (QsmToolDll::MonitorText().size() <= 32000) {
        qsm.TYPE_DEBUGWINDOW((std::to_string(n++) + filler).c_str());
    }
    const auto before = Lines(QsmToolDll::MonitorText());
    qsm.TYPE_DEBUGWINDOW("neu");
    const auto after = Lines(QsmToolDll::MonitorText());
    ASSERT_EQ(after.size(), before.size() - 11 + 1);
    EXPECT_EQ(after.front(), std::to_string(11) + filler);
    EXPECT_EQ(after.back(), "neu");
}

TEST_F(Cardmonitor, ALineAddedInColourWhileTheLogIsTrimmedKeepsItsColour)
{
    const std::string filler(99, 'x');
    for (int n = 0; QsmToolDll::MonitorText().size() <= 32000; ++n)
        qsm.TYPE_DEBUGWINDOW((std::to_string(n) + filler).c_str());
    // This line makes the log lose its 11 oldest lines first.
    qsm.TYPECL_DEBUGWINDOW("Result;   6A 82", 255);
    qsm.TYPE_DEBUGWINDOW("danach");
    const std::string text = QsmToolDll::MonitorText();
    EXPECT_EQ(Lines(text).front(), std::to_string(11) + filler);
    HWND log = QsmToolDll::MonitorLog();
    const int result = RichPosition(text, text.rfind("Result"));
    EXPECT_EQ(ColourAt(log, result), RGB(255, 0, 0));
    EXPECT_EQ(ColourAt(log, result + 14), RGB(255, 0, 0));
    EXPECT_EQ(ColourAt(log, RichPosition(text, text.rfind("danach"))), RGB(0, 0, 0));
    EXPECT_EQ(ColourAt(log, RichPosition(text, text.rfind("Result") - 3)), RGB(0, 0, 0));
}

TEST_F(Cardmonitor, StartCardWithoutAnyReaderAnswersMinusTwo)
{
    MessageHost host;
    ASSERT_EQ(qsm.SET_APPL_HANDLE(host.Handle()), 0);
    EXPECT_EQ(qsm.START_CARD(), -2);
    const std::string text = QsmToolDll::MonitorText();
    EXPECT_NE(text.find("Start-Card"), std::string::npos);
    EXPECT_NE(text.find("Anzahl der angeschlossenen Leser 00"), std::string::npos);
    // The busy flag is clear again: the next guarded export runs (and fails without a card).
    const char* out = nullptr;
    EXPECT_EQ(qsm.STATE_SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), -1);
    MessageHost::Pump(700);
    EXPECT_EQ(host.Messages().size(), 0u);
    qsm.SET_APPL_HANDLE(nullptr);
}

TEST_F(Cardmonitor, SendWithoutACardFailsWithAnEmptyText)
{
    const char* out = "unchanged";
    EXPECT_EQ(qsm.SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), -1);
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out, "");
    EXPECT_NE(QsmToolDll::MonitorText().find("Card,APDU;00 A4 00 0C 02 3F 00"), std::string::npos);
}

namespace {

int monitorEdits = 0;
WNDPROC monitorProc = nullptr;

LRESULT CALLBACK CountingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_SETTEXT || msg == EM_REPLACESEL) ++monitorEdits;
    return CallWindowProcA(monitorProc, w, msg, wp, lp);
}

} // namespace

// A monitor holds what it would have shown: hidden it is not edited at all, shown it holds the
// lines of exports in quick succession. Shown or read, it has the same trimmed text and
// colours, the caret behind it and the same view as a monitor read after every line.
TEST_F(Cardmonitor, AHeldMonitorShowsWhatItWouldHaveShownAtOnce)
{
    enum TMode { ReadAfterEachLine, Shown, Hidden };
    auto run = [&](TMode mode) {
        qsm.RESET_DEBUGWINDOW();
        for (int n = 0; n < 400; ++n)
            qsm.TYPE_DEBUGWINDOW(("vorher " + std::to_string(n) + std::string(80, '.')).c_str());
        qsm.SET_DEBUGWINDOW(1, mode == Hidden ? 0 : 1);
        HWND log = QsmToolDll::MonitorLog();
        monitorEdits = 0;
        monitorProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(log, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
        for (int n = 0; n < 820; ++n) {
            qsm.TYPECL_DEBUGWINDOW(("Zeile " + std::to_string(n) + std::string(80, '.')).c_str(), n % 3 ? 255 : 0x8000);
            if (mode == ReadAfterEachLine) GetWindowTextLengthA(log);
        }
        SetWindowLongPtrA(log, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(monitorProc));
        if (mode == Hidden) {
            EXPECT_EQ(monitorEdits, 0);
            qsm.SET_DEBUGWINDOW(1, 1);
        }
        const std::string text = QsmToolDll::MonitorText();
        std::string colours;
        for (size_t at = 0; (at = text.find("Zeile", at)) != std::string::npos; ++at)
            colours += ColourAt(log, RichPosition(text, at)) == RGB(255, 0, 0) ? 'r' : 'g';
        CHARRANGE caret{};
        SendMessageA(log, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
        const auto first = SendMessageA(log, EM_GETFIRSTVISIBLELINE, 0, 0);
        return text + "|" + colours + "|" + std::to_string(caret.cpMin) + "|" + std::to_string(first);
    };
    const std::string atOnce = run(ReadAfterEachLine);
    EXPECT_GT(atOnce.size(), 30000u);
    EXPECT_EQ(run(Shown), atOnce);
    EXPECT_EQ(run(Hidden), atOnce);
}

// Lines held by a shown monitor reach the window when messages are handled, without a read.
TEST_F(Cardmonitor, LinesHeldWhileShownAreShownWhenMessagesAreHandled)
{
    HWND log = QsmToolDll::MonitorLog();
    monitorEdits = 0;
    monitorProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(log, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
    const int lines = 50;
    for (int n = 0; n < lines; ++n)
        qsm.TYPE_DEBUGWINDOW(("Zeile " + std::to_string(n)).c_str());
    // One edit a line: none was held (a machine slow enough to take the hold's interval).
    const int edits = monitorEdits;
    if (edits < lines) {
        EXPECT_TRUE(MessageHost::PumpUntil([&] { return monitorEdits > edits; }, 5000));
    }
    SetWindowLongPtrA(log, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(monitorProc));
    EXPECT_EQ(Lines(QsmToolDll::MonitorText()).back(), "Zeile 49");
}
