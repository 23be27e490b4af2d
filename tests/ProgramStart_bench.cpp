// Start-up time of the register: Tillora.exe started without a card; once the splash shows, the
// simulated card is started and plugs into the virtual reader. Measured: from the card in the
// reader (its first log line) to the main window being visible, the card library's 500 ms
// insertion delay included; and, for comparison, from starting the card's process (which takes
// Wine a good second of its own). Prints the best and the median of five runs.
//
// Wine loads the virtual reader only when the environment says so: scripts/bench runs it with
// WINEDLLOVERRIDES naming winscard as native.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/support/SimCard.h"
#include "tests/support/TilloraProgram.h"

namespace {

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

void Print(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%s (best of %zu): %.0f ms\n", what, times.size(), times.front());
    std::printf("%s (median of %zu): %.0f ms\n", what, times.size(), times[times.size() / 2]);
}

} // namespace

int main()
{
    std::vector<double> fromReader, fromProcess;
    for (int run = 0; run < 5; ++run) {
        const int port = SimCard::FreePort();
        SimCard::UseReaders({{"Bench Reader", port}});
        SimCard card(port, "--fresh active");
        TilloraProgram tillora;
        tillora.WriteFile("cfg\\start.ini", "[Card]\r\nVersionen=v2.2;\r\n");
        if (!tillora.Start() || !tillora.WaitForForm("TInitForm")) {
            std::printf("start-up to main window: failed (no splash)\n");
            return 1;
        }
        LARGE_INTEGER started, plugged, shown;
        QueryPerformanceCounter(&started);
        card.Insert();
        TilloraProgram::WaitFor([&] { return card.Plugged(); });
        QueryPerformanceCounter(&plugged);
        HWND main = tillora.WaitForForm("TMainF");
        QueryPerformanceCounter(&shown);
        if (!main) {
            std::printf("start-up to main window: failed (no main window; is winscard loaded as native?)\n");
            return 1;
        }
        fromReader.push_back(Ms(plugged, shown));
        fromProcess.push_back(Ms(started, shown));
        PostMessageA(main, WM_CLOSE, 0, 0);
        tillora.WaitForExit();
    }
    Print("start-up to main window after the card is in the reader", fromReader);
    Print("start-up to main window after starting the card's process", fromProcess);
    return 0;
}
