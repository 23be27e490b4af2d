// Skin switch of every window of the running register, two ways.
//
// From a driver process, with the program's stored change animation (SkinChanging Time 100):
// the selection change sent to the skin dialog (synchronous: it returns after the skin is
// loaded, told to every window and the windows are repainted), for each shipped skin, the
// first time it is chosen and again; best and median of five runs of the program.
//
// In this process, with the program's windows made as the program block makes them (its
// modules in their order, every form in its order, the windows of a started register shown:
// the main window, the register window, the register monitor and the skin dialog, each
// activated once so that it is skinned): 20 switches between the two shipped skins, from
// setting the manager's SkinName until the message queue is idle, with the change animation
// off (as ReapplySkin does; target under 100 ms) and with the program's default animation.
// Beside them the parts of the animation-off switch: loading the skin, telling every window,
// repainting them, and the messages left in the queue afterwards (20 more switches, the
// commands the manager sends seen in the procedures of the top-level windows).
//
// Each line names the processor and the number of the program's visible windows (the effect
// windows of borders and glows not counted).
//
// Wine loads the virtual reader only when the environment says so: scripts/bench runs it with
// WINEDLLOVERRIDES naming winscard as native.
#include <windows.h>

#include <cpuid.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Forms.h"
#include "gui/base/Modules.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Export.h"
#include "register/core/UXML_Import.h"
#include "register/ui/UCardErrForm.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UForm2.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UFunkMon.h"
#include "register/ui/UInitForm.h"
#include "register/ui/UKassTip.h"
#include "register/ui/UMainF.h"
#include "register/ui/UMassTrans.h"
#include "register/ui/UPINForm.h"
#include "register/ui/UScanForm.h"
#include "register/ui/UProgram.h"
#include "register/ui/USkinSel.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sStart.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tools/ProgramSkins.h"
#include "skin/windows/sStart.h"
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

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// The processor's brand text, as CPUID reports it.
std::string Processor()
{
    unsigned regs[12] = {};
    unsigned top = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(0x80000000u, &top, &b, &c, &d) || top < 0x80000004u) return "unknown processor";
    for (unsigned i = 0; i < 3; ++i)
        __get_cpuid(0x80000002u + i, &regs[i * 4], &regs[i * 4 + 1], &regs[i * 4 + 2], &regs[i * 4 + 3]);
    char text[49] = {};
    std::memcpy(text, regs, 48);
    std::string name(text);
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

// The visible top-level windows of a process, without the effect windows (borders, glows,
// fades: layered and never activated).
int VisibleWindows(DWORD process)
{
    int n = 0;
    for (HWND w : TilloraProgram::TopWindows(process)) {
        const LONG_PTR ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
        const bool effect = (ex & WS_EX_LAYERED) && (ex & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW));
        n += IsWindowVisible(w) && !effect;
    }
    return n;
}

std::string Machine(int windows)
{
    static const std::string processor = Processor();
    return " [" + processor + ", " + std::to_string(windows) + " visible windows]";
}

void Print(const std::string& what, std::vector<double> times, int windows)
{
    std::sort(times.begin(), times.end());
    const std::string machine = Machine(windows);
    std::printf("%s (best of %zu): %.1f ms%s\n", what.c_str(), times.size(), times.front(), machine.c_str());
    std::printf("%s (median of %zu): %.1f ms%s\n", what.c_str(), times.size(), times[times.size() / 2],
                machine.c_str());
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The driver-process figures: the real program, the skin chosen through its skin dialog.
bool SwitchThroughTheDialog()
{
    std::map<std::string, std::vector<double>> first, again;
    int windows = 0;
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
            return false;
        }
        TSkinDialog skins(tillora, main);
        if (!skins.Open() || !skins.SwitchOn()) {
            std::printf("skin switch: failed (no skin dialog)\n");
            return false;
        }
        for (int round = 0; round < 2; ++round)
            for (const TPalette& p : Palettes) {
                const std::string name = std::string(p.Name) + (p.Kind == kInternal ? InternalSuffix : "");
                const int index = skins.IndexOf(std::wstring(name.begin(), name.end()));
                if (index < 0) {
                    std::printf("skin switch: failed (%s not listed)\n", name.c_str());
                    return false;
                }
                const LARGE_INTEGER from = Now();
                skins.Choose(index);
                (round == 0 ? first : again)[name].push_back(Ms(from, Now()));
            }
        windows = VisibleWindows(tillora.Pid());
        PostMessageA(main, WM_CLOSE, 0, 0);
        tillora.WaitForExit();
    }
    for (const TPalette& p : Palettes) {
        const std::string name = std::string(p.Name) + (p.Kind == kInternal ? InternalSuffix : "");
        Print("skin switch of all windows to " + name + ", first time", first[name], windows);
        Print("skin switch of all windows to " + name + ", again", again[name], windows);
    }
    return true;
}

// The register's windows in this process, made and shown as in the running program; the skins
// on with the first of the two skins.
class TRegisterWindows {
public:
    explicit TRegisterWindows(const std::string& programFolder)
    {
        // The product list of the test program folder (the program reads the one beside itself).
        AddProgramModules(modules_, core_, [=] { UXML_Import::LoadXmlFile(programFolder + "Standard.xml"); });
        modules_.Initialize();
        CreateProgramForms();
        Application->CreateForm(MainF);
        // No card here: the card start check does not run; the register comes up as after an
        // accepted card (the splash hides, showing the main and the register window), with the
        // register monitor and the skin dialog open.
        MainF->Timer1->SetEnabled(false);
        InitForm->ProgBarTimer->SetEnabled(false);
        InitForm->Show();
        InitForm->Hide();
        FunkMonForm->Show();
        SkinSel->Show();
        Application->ProcessMessages();
        InitForm->sSkinManager1->SetSkinDirectory(programFolder + "Skins\\");
        SkinSel->SkinCheckBox->SetChecked(true);
        SkinSel->ApplySkinName(Skins[0]);
        // The hook gives a form its provider when the form is activated.
        for (TForm* form : {static_cast<TForm*>(MainF), static_cast<TForm*>(KassTip), static_cast<TForm*>(FunkMonForm),
                            static_cast<TForm*>(SkinSel)}) {
            SetForegroundWindow(form->Handle());
            SetActiveWindow(form->Handle());
            Application->ProcessMessages();
        }
    }
    ~TRegisterWindows()
    {
        Application->DestroyForms();
        modules_.Finalize();
    }
    TsSkinManager& Manager() const { return *InitForm->sSkinManager1; }
    static constexpr const char* Skins[2] = {"Nordlicht", "Sandstein"};

private:
    TModuleOrder modules_;
    std::unique_ptr<TRegisterCore> core_;
};

// 20 switches between the two skins (after one round that loads each once), from setting
// SkinName until the queue is idle.
std::vector<double> Switches(TsSkinManager& manager)
{
    std::vector<double> times;
    for (int k = -2; k < 20; ++k) {
        const LARGE_INTEGER from = Now();
        manager.SetSkinName(TRegisterWindows::Skins[(k + 3) % 2]);
        Application->ProcessMessages();
        if (k >= 0) times.push_back(Ms(from, Now()));
    }
    return times;
}

// The parts of a switch, told apart by the commands the manager sends to the first form: the
// skin loaded until "skin changed" (1), the windows told until "change done" (16), then
// repainted until SkinName returns, then the queue until idle.
struct TPhases {
    std::vector<double> load, tell, repaint, queue;
};

LARGE_INTEGER firstChanged, firstDone;
bool changedSeen = false, doneSeen = false;
// The top-level windows' own procedures, in the order they were replaced.
std::vector<std::pair<HWND, WNDPROC>> seenWindows;

LRESULT CALLBACK SeeCommands(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SM_VELOCONCMD) {
        const WORD command = HIWORD(wParam);
        if (command == cmdSkinChanged && !changedSeen) {
            changedSeen = true;
            firstChanged = Now();
        } else if (command == cmdSkinChangeDone && !doneSeen) {
            doneSeen = true;
            firstDone = Now();
        }
    }
    for (const auto& [w, proc] : seenWindows)
        if (w == wnd) return CallWindowProcA(proc, wnd, msg, wParam, lParam);
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// The commands are seen in the procedures of the process's top-level windows, not by a hook on
// every message of the thread (which would slow every window's painting it measures).
void WatchCommands()
{
    for (HWND w : TilloraProgram::TopWindows(GetCurrentProcessId()))
        seenWindows.emplace_back(
            w, reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SeeCommands))));
}

void UnwatchCommands()
{
    for (auto it = seenWindows.rbegin(); it != seenWindows.rend(); ++it)
        if (IsWindow(it->first) &&
            GetWindowLongPtrA(it->first, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SeeCommands))
            SetWindowLongPtrA(it->first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second));
    seenWindows.clear();
}

TPhases Phases(TsSkinManager& manager)
{
    TPhases p;
    WatchCommands();
    for (int k = 0; k < 20; ++k) {
        changedSeen = doneSeen = false;
        const LARGE_INTEGER from = Now();
        manager.SetSkinName(TRegisterWindows::Skins[(k + 1) % 2]);
        const LARGE_INTEGER set = Now();
        Application->ProcessMessages();
        const LARGE_INTEGER idle = Now();
        if (!changedSeen || !doneSeen) continue;
        p.load.push_back(Ms(from, firstChanged));
        p.tell.push_back(Ms(firstChanged, firstDone));
        p.repaint.push_back(Ms(firstDone, set));
        p.queue.push_back(Ms(set, idle));
    }
    UnwatchCommands();
    if (p.load.empty()) throw std::runtime_error("the skin commands were not seen");
    return p;
}

void SwitchInProcess(const std::string& programFolder)
{
    SimCard::UseReaders({}); // no card in this process
    TRegisterWindows windows(programFolder);
    TsSkinManager& manager = windows.Manager();
    const int visible = VisibleWindows(GetCurrentProcessId());
    TvxFormAnimation& change = manager.AnimEffects().SkinChanging;
    const int time = change.Time;

    change.Active = false; // as ReapplySkin does
    change.Time = 0;
    const std::vector<double> off = Switches(manager);
    const TPhases phases = Phases(manager);
    change.Active = true;
    change.Time = time;
    const std::vector<double> on = Switches(manager);

    const std::string between = std::string(" between ") + TRegisterWindows::Skins[0] + " and " +
                                TRegisterWindows::Skins[1] + " in the program's process";
    Print("skin switch of all windows" + between + ", change animation off", off, visible);
    std::printf("  of which (medians of 20): loading the skin %.1f ms, telling the windows %.1f ms, "
                "repainting them %.1f ms, the queue afterwards %.1f ms%s\n",
                Median(phases.load), Median(phases.tell), Median(phases.repaint), Median(phases.queue),
                Machine(visible).c_str());
    Print("skin switch of all windows" + between + ", change animation on (" + std::to_string(time) + " ms)", on,
          visible);
}

// The test program folder beside this program, with a trailing backslash.
std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + "tillora\\";
}

} // namespace

int main()
{
    if (!SwitchThroughTheDialog()) return 1;
    try {
        SwitchInProcess(ProgramFolder());
    } catch (const std::exception& e) {
        std::printf("skin switch in the program's process: failed (%s)\n", e.what());
        return 1;
    }
    return 0;
}
