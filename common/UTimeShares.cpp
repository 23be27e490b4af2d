#include "common/UTimeShares.h"

#include <windows.h>

namespace UTimeShares {
namespace {

class TCounters {
public:
    TCounters()
    {
        char name[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA("TILLORA_TIMES", name, sizeof name);
        if (n == 0 || n >= sizeof name) return;
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
        if (!mapping) return;
        counters_ = static_cast<LONG64*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, CounterCount * sizeof(LONG64)));
        CloseHandle(mapping);
    }
    bool On() const { return counters_ != nullptr; }
    void Add(int counter, LONG64 value) { InterlockedExchangeAdd64(&counters_[counter], value); }

private:
    LONG64* counters_ = nullptr;
};

TCounters& Counters()
{
    static TCounters counters;
    return counters;
}

// Open scopes per share on this thread: only the outermost one counts.
thread_local int g_depth[ShareCount] = {};

} // namespace

bool On() { return Counters().On(); }

void CountReceipt()
{
    if (Counters().On()) Counters().Add(ReceiptCounter, 1);
}

TTimeShare::TTimeShare(TShare share) : share_(share)
{
    if (!Counters().On() || g_depth[share]++ > 0) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    start_ = now.QuadPart;
}

TTimeShare::~TTimeShare()
{
    if (!Counters().On()) return;
    --g_depth[share_];
    if (start_ < 0) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    Counters().Add(share_, now.QuadPart - start_);
}

} // namespace UTimeShares
