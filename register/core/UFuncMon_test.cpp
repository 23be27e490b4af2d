#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include "gui/base/SysUtils.h"
#include "register/core/UFuncMon.h"
#include "register/core/URegisterCore.h"

using namespace UFuncMon;

TEST(MonitorLog, LinesAreSeparatedByExactlyOneLineBreak)
{
    TMonitorLog log;
    EXPECT_EQ(log.LogLine("\tDatum: 20240101"), "\tDatum: 20240101");
    EXPECT_EQ(log.LogLine("\tZeit: 1200"), "\r\n\tZeit: 1200");
    log.Append(" E1: 199C");
    EXPECT_EQ(log.Text(), "\tDatum: 20240101\r\n\tZeit: 1200 E1: 199C");
    log.Clear();
    EXPECT_EQ(log.LogLine("neu"), "neu");
    EXPECT_EQ(log.Text(), "neu");
    // The test is on the text: after an empty first line the log is still empty.
    log.Clear();
    log.LogLine("");
    log.LogLine("x");
    EXPECT_EQ(log.Text(), "x");
}

TEST(MonitorLog, ModuleRoutinesTellTheWindowWhatWasAdded)
{
    TRegisterCore core;
    std::string shown;
    SetMonitorListener([&](std::string_view added, bool cleared) {
        if (cleared) shown.clear();
        shown += added;
    });
    ClearMonitor();
    LogToMonitor("a");
    LogToMonitor("b");
    AppendToMonitor("c");
    EXPECT_EQ(shown, "a\r\nbc");
    EXPECT_EQ(MonitorLog().Text(), shown);
    ClearMonitor();
    EXPECT_EQ(shown, "");
    LogToMonitor("d");
    EXPECT_EQ(shown, "d");
    SetMonitorListener(nullptr);
    LogToMonitor("e");
    EXPECT_EQ(MonitorLog().Text(), "d\r\ne");
    ClearMonitor();
}

// A batch hands the window what was logged during one command in one call, at its outermost
// end; the log itself has every line at once.
TEST(MonitorLog, ABatchTellsTheWindowOnceAtItsOutermostEnd)
{
    TRegisterCore core;
    std::vector<std::string> calls;
    SetMonitorListener(
        [&](std::string_view added, bool cleared) { calls.push_back(cleared ? "<clear>" : std::string(added)); });
    LogToMonitor("vorher");
    {
        TMonitorBatch command;
        LogToMonitor("Artikel");
        {
            TMonitorBatch nested;
            AppendToMonitor(" E1: 199C");
        }
        EXPECT_EQ(calls, std::vector<std::string>{"vorher"});
        EXPECT_EQ(MonitorLog().Text(), "vorher\r\nArtikel E1: 199C");
        ShowMonitorNow(); // the command waits for the user: what it logged shows
        LogToMonitor("Summe");
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"vorher", "\r\nArtikel E1: 199C", "\r\nSumme"}));
    calls.clear();
    {
        TMonitorBatch command;
        LogToMonitor("verworfen");
        ClearMonitor(); // reaches the window at once; what was held goes with the log
        LogToMonitor("neu");
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"<clear>", "neu"}));
    EXPECT_EQ(MonitorLog().Text(), "neu");
    SetMonitorListener(nullptr);
}

TEST(MonitorLog, SavesItsLinesAsATextFile)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "tillora_monitor_save.txt";
    TMonitorLog log;
    log.LogLine("\tEins");
    log.LogLine("Zwei");
    log.SaveToFile(path);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "\tEins\r\nZwei\r\n");
    in.close();
    std::remove(path.c_str());
    EXPECT_THROW(log.SaveToFile("C:\\no such folder\\x.txt"), EFCreateError);
}
