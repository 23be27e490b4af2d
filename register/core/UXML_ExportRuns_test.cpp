// Two runs of the register, each a program of its own against the simulated card, continue one
// export pair with sales and a report: afterwards both files hold every transaction and report
// of both runs exactly once and in order, and one card parameter block per certificate text
// (the simulated card signs its certificate anew in each run, so each run has its own). The
// files are left for xmllint (test regcore_exportpair_wellformed).
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "card/exports/QsmTool.h"
#include "gui/base/SysUtils.h"
#include "register/core/UCard.h"
#include "register/core/UContainer.h"
#include "register/core/TestRegisterHost.h"
#include "register/core/URegisterCore.h"
#include "register/core/UTransaction.h"
#include "register/core/UXML_Export.h"
#include "register/core/Ubase64.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Base64Text.h"
#include "tests/support/MessageHost.h"
#include "tests/support/SimCard.h"

using namespace UXML_Export;

namespace {

// Every text between `open` and the following `close`, in order.
std::vector<std::string> AllBetween(const std::string& text, const std::string& open, const std::string& close)
{
    std::vector<std::string> out;
    for (std::size_t a = text.find(open); a != std::string::npos; a = text.find(open, a + 1)) {
        const std::size_t b = text.find(close, a + open.size());
        if (b == std::string::npos) break;
        out.push_back(text.substr(a + open.size(), b - a - open.size()));
    }
    return out;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t a = text.find(what); a != std::string::npos; a = text.find(what, a + 1))
        ++n;
    return n;
}

using Host = TTestRegisterHost;

std::string Env(const char* name)
{
    char value[MAX_PATH] = "";
    return GetEnvironmentVariableA(name, value, MAX_PATH) ? value : "";
}

const char* const Names[] = {"R1-Brot", "R1-Milch", "R2-Salz", "R2-Kaffee"};

// One run as its own program, started by the test below: the simulated card, the export pair
// (run 1 creates it, run 2 continues it), two sales, a daily report, the flush at the register
// window's close and the end of the run.
TEST(ExportRuns, DISABLED_OneRun)
{
    const std::string run = Env("TILLORA_EXPORT_RUN"), chosen = Env("TILLORA_EXPORT_FILE");
    if (run.empty()) GTEST_SKIP();
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Sim Reader A", port}});
    START_CARD();
    SET_DEBUGWINDOW(1, 0);
    auto core = std::make_unique<TRegisterCore>();
    Host host;
    core->SetHost(&host);
    core->Languages().Load("Deutsch", ULang::TLangFile(ShippedLangIni()));
    CreateDirectoryA((ExeFolder() + "Journal").c_str(), nullptr);
    {
        SimCard card(port, "--fresh active");
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(MessageHost::PumpUntil([&] { return card.Plugged(); }, 20000));
        ASSERT_TRUE(MessageHost::PumpUntil([] { return START_CARD() == 0; }, 10000));
        ASSERT_TRUE(UCard::ReadCardStatus());
        ASSERT_TRUE(UCard::ReadCertificate());

        SetJournalFile(chosen, run == "1");
        for (int i = 0; i < 2; ++i) {
            UContainer::ResetItemList();
            UContainer::AddItemData("1", "", Names[(run == "1" ? 0 : 2) + i], false, false, false, {"199"});
            ASSERT_EQ(UTransaction::SendTransaction(false, false), 0);
        }
        ASSERT_TRUE(UCard::SendReport(true));
        FlushJournal();
    }
    const std::string datedS = core->Journal().datedSName, datedL = core->Journal().datedLName;
    CloseJournal();
    core.reset();
    DeleteFileA(datedS.c_str());
    DeleteFileA(datedL.c_str());
}

bool RunProgram(const std::string& run, const std::string& chosen)
{
    SetEnvironmentVariableA("TILLORA_EXPORT_RUN", run.c_str());
    SetEnvironmentVariableA("TILLORA_EXPORT_FILE", chosen.c_str());
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd =
        std::string("\"") + exe + "\" --gtest_also_run_disabled_tests --gtest_filter=ExportRuns.DISABLED_OneRun";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const bool started =
        CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("TILLORA_EXPORT_RUN", nullptr);
    SetEnvironmentVariableA("TILLORA_EXPORT_FILE", nullptr);
    if (!started) return false;
    const bool ended = WaitForSingleObject(pi.hProcess, 300000) == WAIT_OBJECT_0;
    DWORD code = 1;
    if (ended) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ended && code == 0;
}

} // namespace

TEST(ExportRuns, TwoRunsContinueOnePairWithEveryTextOnceAndInOrder)
{
    const std::string folder = ExeFolder() + "exportpair-check\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string sName = folder + "Kasse01S.xml", lName = folder + "Kasse01L.xml";
    DeleteFileA(sName.c_str());
    DeleteFileA(lName.c_str());
    ASSERT_TRUE(RunProgram("1", folder + "Kasse01.xml"));
    ASSERT_TRUE(RunProgram("2", lName));

    const std::string s = ReadAll(sName), l = ReadAll(lName);
    for (const std::string* file : {&s, &l}) {
        EXPECT_EQ(file->substr(0, 118), std::string(JournalHeader));
        EXPECT_EQ(Count(*file, "</vantra>"), 1u);
        EXPECT_EQ(file->substr(file->size() - 9), "</vantra>");
        const std::vector<std::string> certificates = AllBetween(*file, "<certificate>", "</certificate>");
        ASSERT_FALSE(certificates.empty());
        EXPECT_EQ(std::set<std::string>(certificates.begin(), certificates.end()).size(), certificates.size());
        EXPECT_EQ(Count(*file, "<qsmParams>"), certificates.size());
        EXPECT_EQ(Count(*file, "</qsmParams>"), certificates.size());
    }
    EXPECT_EQ(AllBetween(l, "<name>", "</name>"), std::vector<std::string>(std::begin(Names), std::end(Names)));
    EXPECT_EQ(Count(l, "<transaction>"), 4u);
    EXPECT_EQ(Count(l, "</transaction>"), 4u);
    EXPECT_EQ(Count(l, "<report>"), 2u);
    EXPECT_EQ(Count(l, "</report>"), 2u);
    // Within each run the card's transaction numbers count up.
    std::vector<int> seq;
    for (const std::string& transaction : AllBetween(l, "<transaction>", "</transaction>"))
        for (const std::string& n : AllBetween(transaction, "<seqNoTransaction>", "</seqNoTransaction>"))
            seq.push_back(std::stoi(n));
    ASSERT_EQ(seq.size(), 4u);
    EXPECT_EQ(seq[1], seq[0] + 1);
    EXPECT_EQ(seq[3], seq[2] + 1);

    const std::vector<std::string> lists = AllBetween(s, "<itemListEncoded>", "</itemListEncoded>");
    ASSERT_EQ(lists.size(), 4u);
    // The item list holds the name in the card's form: lower case, "-" as "#".
    for (std::size_t i = 0; i < 4; ++i) {
        std::string name = Names[i];
        for (char& c : name)
            c = c == '-' ? '#' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(Decode64(lists[i]), std::string("\xA0\x01"
                                                  "1\xA2",
                                                  4) +
                                          static_cast<char>(name.size()) + name + std::string("\xB1\x02\x19\x9C", 4))
            << i;
    }
    EXPECT_EQ(Count(s, "<transactionEncoded>"), 4u);
    EXPECT_EQ(Count(s, "</transactionEncoded>"), 4u);
    EXPECT_EQ(Count(s, "<reportEncoded>"), 2u);
    EXPECT_EQ(Count(s, "</reportEncoded>"), 2u);
}
