// Start-up time of the register: Tillora.exe started without a card, the card inserted once
// the splash shows; the time from the insertion to the main window being visible (the card
// library's 500 ms insertion delay included). Prints the best and the median of five runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/support/SimCard.h"
#include "tests/support/TilloraProgram.h"

int main()
{
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        const int port = SimCard::FreePort();
        SimCard::UseReaders({{"Bench Reader", port}});
        SimCard card(port, "--fresh active");
        TilloraProgram tillora;
        tillora.WriteFile("cfg\\start.ini", "[Card]\r\nVersionen=v2.2;\r\n");
        if (!tillora.Start() || !tillora.WaitForForm("TInitForm")) {
            std::printf("start-up to main window after card insertion: failed (no splash)\n");
            return 1;
        }
        LARGE_INTEGER freq, t0, t1;
        QueryPerformanceFrequency(&freq);
        QueryPerformanceCounter(&t0);
        card.Insert();
        HWND main = tillora.WaitForForm("TMainF");
        QueryPerformanceCounter(&t1);
        if (!main) {
            std::printf("start-up to main window after card insertion: failed (no main window)\n");
            return 1;
        }
        times.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart));
        PostMessageA(main, WM_CLOSE, 0, 0);
        tillora.WaitForExit();
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to main window after card insertion (best of 5): %.0f ms\n", times.front());
    std::printf("start-up to main window after card insertion (median of 5): %.0f ms\n", times[times.size() / 2]);
    return 0;
}
