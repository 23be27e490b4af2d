// The shared test main reports a crashing test at once, by name and exception code, instead
// of leaving the program in the debugger until CTest gives up on it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/TestMain.h"

namespace {

struct TChildRun {
    DWORD exitCode = 0;
    DWORD elapsedMs = 0;
    std::string output;
    bool ended = false;
};

// This program again, running only the named test; its output (both streams) is collected.
TChildRun RunSelf(const std::string& test, DWORD limitMs)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = "\"" + std::string(self) + "\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &sa, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    TChildRun run;
    const DWORD start = GetTickCount();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return run;
    }
    CloseHandle(writeEnd);
    run.ended = WaitForSingleObject(pi.hProcess, limitMs) == WAIT_OBJECT_0;
    run.elapsedMs = GetTickCount() - start;
    if (!run.ended) TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0)
        run.output.append(buf, got);
    CloseHandle(readEnd);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return run;
}

} // namespace

// Run only by CrashReport.AFaultNamesTheTestAndEndsTheProgramAtOnce.
TEST(CrashReport, DISABLED_WritesThroughANullPointer) { *static_cast<volatile int*>(nullptr) = 1; }

DWORD WINAPI Throw(LPVOID) { throw 42; }

// Run only by CrashReport.AnEscapedExceptionNamesTheTest.
TEST(CrashReport, DISABLED_ThrowsFromAThread)
{
    HANDLE t = CreateThread(nullptr, 0, &Throw, nullptr, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
}

TEST(CrashReport, AFaultNamesTheTestAndEndsTheProgramAtOnce)
{
    // Hang guard: a program left in the debugger would run until CTest's limit.
    const TChildRun run = RunSelf("CrashReport.DISABLED_WritesThroughANullPointer", 60000);
    ASSERT_TRUE(run.ended) << run.output;
    EXPECT_EQ(run.exitCode, kCrashExitCode) << run.output;
    EXPECT_NE(run.output.find("*** CrashReport.DISABLED_WritesThroughANullPointer crashed: exception 0xC0000005"),
              std::string::npos)
        << run.output;
    std::printf("A deliberate fault was reported after %lu ms\n", static_cast<unsigned long>(run.elapsedMs));
}

TEST(CrashReport, AnEscapedExceptionNamesTheTest)
{
    const TChildRun run = RunSelf("CrashReport.DISABLED_ThrowsFromAThread", 60000);
    ASSERT_TRUE(run.ended) << run.output;
    EXPECT_EQ(run.exitCode, kCrashExitCode) << run.output;
    EXPECT_NE(run.output.find("*** CrashReport.DISABLED_ThrowsFromAThread crashed: "), std::string::npos) << run.output;
}
