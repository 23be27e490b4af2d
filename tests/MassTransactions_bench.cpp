// Throughput of the whole sale road: a run of the mass-transaction window books random receipts
// through the register window, the core, QsmTool, the virtual reader and the simulated card into
// the journals. Measured from "Start" to the run's end (polled every 10 ms). The virtual reader
// totals the time of its SCardTransmit calls (SIMREADER_TIMES names a mapping this program
// makes), which is the card's share; the rest is the register's own time, which the program
// splits itself (TILLORA_TIMES, common/UTimeShares.h) into the receipt memo, the register
// monitor, the card monitor inside QsmTool, the journals and the rest.
//
// Three runs, each with a fresh program and card:
//   - receipts of 1 to 3 items with the windows of the shipped start.ini (both monitors shown);
//   - the same with both monitors closed;
//   - the mass-run window's stored settings (up to 100 items per receipt), monitors shown: the
//     pace over the first and over the last 100 receipts, to show a cost that grows with what
//     the windows already hold, and the split of each.
// Targets: the register's own time per receipt of 1 to 3 items under 10 ms; the last 100
// receipts of the stored-settings run at least 80 % as fast as the first 100.
//
// The register's random generator starts from a fixed seed (TILLORA_RANDOM_SEED), so every run
// books the same receipts; the split also gives the items per receipt and the register's own
// time per item.
//
// Wine loads the virtual reader only when the environment says so: scripts/bench runs it with
// WINEDLLOVERRIDES naming winscard as native. Arguments: the receipts of the first two runs and
// of the third (default 1000 each; 0 leaves a run out).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/UTimeShares.h"
#include "gui/Automation.h"
#include "tests/support/SimCard.h"
#include "tests/support/TilloraProgram.h"

namespace {

double Seconds(LONGLONG ticks)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(ticks) / static_cast<double>(freq.QuadPart);
}

LONGLONG Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// A counter block shared with the programs this benchmark starts, named in the environment.
class SharedCounters {
public:
    SharedCounters(const char* variable, int count)
    {
        const std::string name =
            std::string("Local\\TilloraBench") + variable + "-" + std::to_string(GetCurrentProcessId());
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(count * sizeof(LONG64)), name.c_str());
        if (mapping_)
            values_ = static_cast<volatile LONG64*>(
                MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(count) * sizeof(LONG64)));
        SetEnvironmentVariableA(variable, name.c_str());
    }
    bool Ok() const { return values_ != nullptr; }
    LONG64 operator[](int i) const { return values_[i]; }

private:
    HANDLE mapping_ = nullptr;
    volatile LONG64* values_ = nullptr;
};

SharedCounters& Transmits()
{
    static SharedCounters c("SIMREADER_TIMES", 2); // calls, ticks
    return c;
}

SharedCounters& Shares()
{
    static SharedCounters c("TILLORA_TIMES", UTimeShares::CounterCount);
    return c;
}

struct RunSettings {
    const char* title;
    int receipts;
    const char* maxItems; // nullptr: as stored
    bool monitors;
};

int Fail(const RunSettings& run, const char* what)
{
    std::printf("%s: failed (%s)\n", run.title, what);
    return 1;
}

// The counters at one moment of a run.
struct TSnapshot {
    LONGLONG time = 0;
    LONG64 cardCalls = 0, cardTicks = 0, booked = 0, items = 0;
    LONG64 shares[UTimeShares::ShareCount] = {};
    static TSnapshot Take()
    {
        TSnapshot s;
        s.time = Now();
        s.cardCalls = Transmits()[0];
        s.cardTicks = Transmits()[1];
        s.booked = Shares()[UTimeShares::ReceiptCounter];
        s.items = Shares()[UTimeShares::ItemCounter];
        for (int i = 0; i < UTimeShares::ShareCount; ++i)
            s.shares[i] = Shares()[i];
        return s;
    }
};

// The register's own time per receipt between two snapshots, split into the shares and the rest
// into the run's steps.
void PrintSplit(const char* title, const TSnapshot& from, const TSnapshot& to)
{
    const double n = static_cast<double>(to.booked - from.booked);
    if (n < 1) return;
    const double cardTime = Seconds(to.cardTicks - from.cardTicks);
    const double own = Seconds(to.time - from.time) - cardTime;
    double shares[UTimeShares::ShareCount];
    for (int i = 0; i < UTimeShares::ShareCount; ++i)
        shares[i] = Seconds(to.shares[i] - from.shares[i]);
    std::printf("%s: register's own time per receipt: %.2f ms\n", title, own * 1000.0 / n);
    // The receipts' sizes are random: the time per item compares parts of a run fairly.
    const double items = static_cast<double>(to.items - from.items);
    if (items >= 1)
        std::printf("%s: items per receipt: %.1f, register's own time per item: %.3f ms\n", title, items / n,
                    own * 1000.0 / items);
    const char* names[UTimeShares::ShareCount] = {
        "receipt memo", "register monitor", "card monitor",          "journals",         "items",
        "total",        "signing",          "messages and painting", "progress and loop"};
    // The card's exchanges and the card monitor run inside the signing step.
    shares[UTimeShares::MassSigning] -= cardTime + shares[UTimeShares::CardMonitor];
    double rest = own;
    for (int i = 0; i < UTimeShares::FirstMassStep; ++i) {
        std::printf("%s:   of it %s: %.2f ms\n", title, names[i], shares[i] * 1000.0 / n);
        rest -= shares[i];
    }
    std::printf("%s:   of it the rest: %.2f ms\n", title, rest * 1000.0 / n);
    for (int i = UTimeShares::FirstMassStep; i < UTimeShares::ShareCount; ++i) {
        std::printf("%s:     of the rest %s: %.2f ms\n", title, names[i], shares[i] * 1000.0 / n);
        rest -= shares[i];
    }
    std::printf("%s:     of the rest outside the run's steps: %.2f ms\n", title, rest * 1000.0 / n);
}

// Prints one line per figure; returns non-zero when the run failed.
int Run(const RunSettings& run)
{
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Bench Reader", port}});
    SimCard card(port, "--fresh active");
    TilloraProgram tillora;
    const char* windows = run.monitors ? "Card=1\r\nFunc=1\r\nTime=0" : "Card=0\r\nFunc=0\r\nTime=0";
    tillora.WriteFile("cfg\\start.ini", std::string("[Windows]\r\n") + windows +
                                            "\r\n\r\n[Card]\r\nVersionen=v2.;\r\n\r\n[Menue]\r\nDebug=1\r\n");
    if (!card.Insert() || !tillora.Start()) return Fail(run, "no start");
    HWND main = tillora.WaitForForm("TMainF");
    if (!main || !tillora.WaitForForm("TKassTip"))
        return Fail(run, "no register window; is winscard loaded as native?");
    if (!ClickMenuItem(main, "MassTransact1")) return Fail(run, "no test menu");
    HWND mass = tillora.WaitForForm("TMassTransForm");
    if (!mass) return Fail(run, "no mass-transaction window");
    auto set = [&](const char* name, const std::string& text) {
        SendMessageA(FindControlWindow(mass, name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    };
    set("kTrEdit", std::to_string(run.receipts));
    if (run.maxItems) set("kTrBuchEdit", run.maxItems);
    HWND start = FindControlWindow(mass, "maStart"), stop = FindControlWindow(mass, "maStopp");

    const int pace = run.receipts >= 300 ? 100 : run.receipts >= 30 ? run.receipts / 3 : 0;
    // At the start, when the run had booked its first `pace` receipts, when it had booked all
    // but its last `pace` (a third of a shorter run), and at the end.
    const TSnapshot begin = TSnapshot::Take();
    TSnapshot firstPart, lastPartStart;
    TilloraProgram::Click(start);
    if (!TilloraProgram::WaitFor([&] { return IsWindowEnabled(stop) != FALSE; }, 60000)) return Fail(run, "no run");
    if (!TilloraProgram::WaitFor(
            [&] {
                const LONG64 booked = Shares()[UTimeShares::ReceiptCounter] - begin.booked;
                if (pace && !firstPart.time && booked >= pace) firstPart = TSnapshot::Take();
                if (pace && !lastPartStart.time && booked >= run.receipts - pace) lastPartStart = TSnapshot::Take();
                return IsWindowEnabled(start) && !IsWindowEnabled(stop);
            },
            24 * 3600000))
        return Fail(run, "the run did not end");
    const TSnapshot end = TSnapshot::Take();
    ClickMenuItem(main, "Beenden1");
    tillora.WaitForExit(120000);

    // The receipts booked (a run stopped from outside books fewer than asked for).
    const LONG64 booked = end.booked - begin.booked;
    if (booked < 1) return Fail(run, "no receipt booked");
    const double n = static_cast<double>(booked);
    std::printf("%s: receipts per second (%.0f receipts): %.1f\n", run.title, n, n / Seconds(end.time - begin.time));
    std::printf("%s: card exchanges per receipt (%.1f SCardTransmit calls): %.2f ms\n", run.title,
                static_cast<double>(end.cardCalls - begin.cardCalls) / n,
                Seconds(end.cardTicks - begin.cardTicks) * 1000.0 / n);
    PrintSplit(run.title, begin, end);
    if (pace && firstPart.time && lastPartStart.time && booked >= run.receipts) {
        const double first = pace / Seconds(firstPart.time - begin.time);
        const double last = pace / Seconds(end.time - lastPartStart.time);
        std::printf("%s: receipts per second over the first %d: %.2f, over the last %d: %.2f (%.0f %%)\n", run.title,
                    pace, first, pace, last, 100.0 * last / first);
        // Where a slow-down comes from: the split of the first and of the last receipts.
        const std::string firstTitle = std::string(run.title) + ", first " + std::to_string(pace);
        const std::string lastTitle = std::string(run.title) + ", last " + std::to_string(pace);
        PrintSplit(firstTitle.c_str(), begin, firstPart);
        PrintSplit(lastTitle.c_str(), lastPartStart, end);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int receipts = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int storedRun = argc > 2 ? std::atoi(argv[2]) : 1000;
    // Every run books the same receipts: the register's generator starts from this seed, whose
    // first and last 100 receipts of the stored settings hold about as many items (50.8 and
    // 50.7 on average), so that the pace of the two compares and runs before and after a change
    // do too.
    SetEnvironmentVariableA("TILLORA_RANDOM_SEED", "217");
    // Each figure as soon as it is known, also when a long run is stopped from outside.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!Transmits().Ok() || !Shares().Ok()) {
        std::printf("mass transactions: failed (no shared counters)\n");
        return 1;
    }
    const RunSettings runs[] = {
        {"1 to 3 items, monitors shown", receipts, "3", true},
        {"1 to 3 items, monitors closed", receipts, "3", false},
        {"stored settings (up to 100 items), monitors shown", storedRun, nullptr, true},
    };
    int failed = 0;
    for (const RunSettings& run : runs)
        if (run.receipts > 0) failed |= Run(run);
    return failed;
}
