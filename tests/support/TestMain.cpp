// The main of every test program: GoogleTest's, with handlers for what no test catches. A
// fault (access violation, stack overflow, ...) or an escaped C++ exception would otherwise
// leave the program in Wine's debugger until CTest's time limit, reported as a time-out
// without the failing case. The handlers name the running test and the exception code on
// the error output and end the program at once with exit code kCrashExitCode.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tests/support/TestMain.h"

namespace {

std::string RunningTest()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : std::string("(outside any test)");
}

[[noreturn]] void EndNow()
{
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    for (;;) {
    }
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* e)
{
    const EXCEPTION_RECORD* r = e ? e->ExceptionRecord : nullptr;
    std::fprintf(stderr, "\n*** %s crashed: exception 0x%08lX at %p (thread %lu)\n", RunningTest().c_str(),
                 r ? static_cast<unsigned long>(r->ExceptionCode) : 0ul, r ? r->ExceptionAddress : nullptr,
                 static_cast<unsigned long>(GetCurrentThreadId()));
    EndNow();
}

void OnTerminate()
{
    std::fprintf(stderr, "\n*** %s crashed: std::terminate (an exception escaped, thread %lu)\n", RunningTest().c_str(),
                 static_cast<unsigned long>(GetCurrentThreadId()));
    EndNow();
}

// When the caller watches the run (TILLORA_TEST_END names a file), the file says "running"
// from the start and "ended" behind the last test: a process that Wine ends early with exit
// code 0 (its server gone) is then not taken for a passed run.
void MarkRun(const char* state)
{
    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("TILLORA_TEST_END", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    if (FILE* f = std::fopen(path, "w")) {
        std::fputs(state, f);
        std::fclose(f);
    }
}

} // namespace

int main(int argc, char** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&OnUnhandledException);
    std::set_terminate(&OnTerminate);
    MarkRun("running");
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    MarkRun("ended");
    return result;
}
