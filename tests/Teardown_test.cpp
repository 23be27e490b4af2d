// The register program from start to end, as a user runs it: it opens its windows and, closed
// by its main window, ends by itself without a message box or a crash (exit code 0): its
// windows go first, the last made first, while the core they report to still exists; then the
// modules finalise in reverse order.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "gui/Automation.h"
#include "gui/base/Handles.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\') + 1);
}

// The visible top-level windows of a process, by window class.
std::set<std::string> WindowClassesOf(DWORD pid)
{
    struct TSearch {
        DWORD pid;
        std::set<std::string> classes;
        static BOOL CALLBACK Visit(HWND w, LPARAM lp)
        {
            auto* s = reinterpret_cast<TSearch*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != s->pid || !IsWindowVisible(w)) return TRUE;
            char cls[64] = "";
            GetClassNameA(w, cls, sizeof cls);
            s->classes.insert(cls);
            return TRUE;
        }
    } s{pid, {}};
    EnumWindows(&TSearch::Visit, reinterpret_cast<LPARAM>(&s));
    return s.classes;
}

HWND WindowOf(DWORD pid, const char* cls)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

} // namespace

TEST(ProgramEnd, ClosingTheMainWindowEndsTheProgramCleanly)
{
    std::string cmd = "\"" + ProgramFolder() + "Tillora.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    TKernelHandle process(pi.hProcess), thread(pi.hThread);

    // Its windows come up: the main window and the register monitor.
    HWND main = nullptr;
    bool monitor = false, messageBox = false;
    for (int i = 0; i < 1000 && !(main && monitor); ++i) {
        Sleep(10);
        std::set<std::string> classes = WindowClassesOf(pi.dwProcessId);
        messageBox = messageBox || classes.count("#32770");
        monitor = classes.count("TFunkMonForm") > 0;
        main = classes.count("TMainF") ? WindowOf(pi.dwProcessId, "TMainF") : nullptr;
    }
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(monitor);
    EXPECT_EQ(ComponentNameOf(main), "MainF");

    // Closed by its main window, it ends by itself, showing nothing on the way.
    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD waited = WAIT_TIMEOUT;
    for (int i = 0; i < 1000 && waited == WAIT_TIMEOUT; ++i) {
        waited = WaitForSingleObject(pi.hProcess, 10);
        messageBox = messageBox || WindowClassesOf(pi.dwProcessId).count("#32770");
    }
    if (waited == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the program did not end";
    EXPECT_FALSE(messageBox);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
}
