// Throughput of the whole sale road: a run of the mass-transaction window books 1000 random
// receipts (1 to 3 items each, the run's other settings as stored) through the register window,
// the core, QsmTool, the virtual reader and the simulated card into the journals. Measured from
// "Start" to the run's end (polled every 10 ms); the virtual reader totals the time of its
// SCardTransmit calls (SIMREADER_TIMES names a mapping this program makes), which is the card's
// share; the rest is the register's own time. Prints receipts per second, the card's time per
// receipt and the register's own time per receipt (target: under 1 ms).
//
// Wine loads the virtual reader only when the environment says so: scripts/bench runs it with
// WINEDLLOVERRIDES naming winscard as native. An argument gives another number of receipts.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

int Fail(const char* what)
{
    std::printf("mass transactions: failed (%s)\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const int receipts = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string mappingName = "Local\\TilloraBenchTransmit-" + std::to_string(GetCurrentProcessId());
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 2 * sizeof(LONG64), mappingName.c_str());
    if (!mapping) return Fail("no shared counters");
    auto* counters = static_cast<volatile LONG64*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 2 * sizeof(LONG64)));
    SetEnvironmentVariableA("SIMREADER_TIMES", mappingName.c_str());

    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Bench Reader", port}});
    SimCard card(port, "--fresh active");
    TilloraProgram tillora;
    tillora.WriteFile("cfg\\start.ini",
                      "[Windows]\r\nCard=0\r\nFunc=0\r\n\r\n[Card]\r\nVersionen=v2.;\r\n\r\n[Menue]\r\nDebug=1\r\n");
    if (!card.Insert() || !tillora.Start()) return Fail("no start");
    HWND main = tillora.WaitForForm("TMainF");
    if (!main || !tillora.WaitForForm("TKassTip")) return Fail("no register window; is winscard loaded as native?");
    if (!ClickMenuItem(main, "MassTransact1")) return Fail("no test menu");
    HWND mass = tillora.WaitForForm("TMassTransForm");
    if (!mass) return Fail("no mass-transaction window");
    auto set = [&](const char* name, const std::string& text) {
        SendMessageA(FindControlWindow(mass, name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    };
    set("kTrEdit", std::to_string(receipts));
    set("kTrBuchEdit", "3");
    HWND start = FindControlWindow(mass, "maStart"), stop = FindControlWindow(mass, "maStopp");

    const LONG64 calls0 = counters[0], ticks0 = counters[1];
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    TilloraProgram::Click(start);
    if (!TilloraProgram::WaitFor([&] { return IsWindowEnabled(stop) != FALSE; }, 60000)) return Fail("no run");
    if (!TilloraProgram::WaitFor([&] { return IsWindowEnabled(start) && !IsWindowEnabled(stop); }, 3600000))
        return Fail("the run did not end");
    QueryPerformanceCounter(&end);
    const double total = Seconds(end.QuadPart - begin.QuadPart);
    const double cardTime = Seconds(counters[1] - ticks0);
    const LONG64 calls = counters[0] - calls0;
    ClickMenuItem(main, "Beenden1");
    tillora.WaitForExit(120000);

    std::printf("receipts per second (%d receipts of 1 to 3 items): %.1f\n", receipts, receipts / total);
    std::printf("card exchanges per receipt (%.1f SCardTransmit calls): %.2f ms\n",
                static_cast<double>(calls) / receipts, cardTime * 1000.0 / receipts);
    std::printf("register's own time per receipt (target under 1 ms): %.2f ms\n",
                (total - cardTime) * 1000.0 / receipts);
    return 0;
}
