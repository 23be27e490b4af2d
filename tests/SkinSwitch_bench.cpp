// Skin switch of every window of the running register: the selection change sent to the skin
// dialog (synchronous: it returns after the skin is loaded, told to every window and the
// windows are repainted), for each shipped skin, the first time it is chosen and again.
// Prints the best and the median of five runs of the program. Target: under 100 ms.
//
// Wine loads the virtual reader only when the environment says so: scripts/bench runs it with
// WINEDLLOVERRIDES naming winscard as native.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "skin/engine/tools/ProgramSkins.h"
#include "tests/support/SimCard.h"
#include "tests/support/SkinDialog.h"
#include "tests/support/TilloraProgram.h"

using namespace programskins;

namespace {

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

void Print(const std::string& what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%s (best of %zu): %.1f ms\n", what.c_str(), times.size(), times.front());
    std::printf("%s (median of %zu): %.1f ms\n", what.c_str(), times.size(), times[times.size() / 2]);
}

} // namespace

int main()
{
    std::map<std::string, std::vector<double>> first, again;
    for (int run = 0; run < 5; ++run) {
        const int port = SimCard::FreePort();
        SimCard::UseReaders({{"Bench Reader", port}});
        SimCard card(port, "--fresh active");
        TilloraProgram tillora;
        tillora.WriteFile("cfg\\start.ini", "[Windows]\r\nCash=1\r\nFunc=1\r\n\r\n[Card]\r\nVersionen=v2.2;\r\n");
        card.Insert();
        HWND main = tillora.Start() ? tillora.WaitForForm("TMainF") : nullptr;
        if (!main || !tillora.WaitForForm("TKassTip")) {
            std::printf("skin switch: failed (no main window; is winscard loaded as native?)\n");
            return 1;
        }
        TSkinDialog skins(tillora, main);
        if (!skins.Open() || !skins.SwitchOn()) {
            std::printf("skin switch: failed (no skin dialog)\n");
            return 1;
        }
        for (int round = 0; round < 2; ++round)
            for (const TPalette& p : Palettes) {
                const std::string name = std::string(p.Name) + (p.Kind == kInternal ? InternalSuffix : "");
                const int index = skins.IndexOf(std::wstring(name.begin(), name.end()));
                if (index < 0) {
                    std::printf("skin switch: failed (%s not listed)\n", name.c_str());
                    return 1;
                }
                LARGE_INTEGER from, to;
                QueryPerformanceCounter(&from);
                skins.Choose(index);
                QueryPerformanceCounter(&to);
                (round == 0 ? first : again)[name].push_back(Ms(from, to));
            }
        PostMessageA(main, WM_CLOSE, 0, 0);
        tillora.WaitForExit();
    }
    for (const TPalette& p : Palettes) {
        const std::string name = std::string(p.Name) + (p.Kind == kInternal ? InternalSuffix : "");
        Print("skin switch of all windows to " + name + ", first time", first[name]);
        Print("skin switch of all windows to " + name + ", again", again[name]);
    }
    return 0;
}
