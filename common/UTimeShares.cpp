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
// The innermost counting scope of this thread, paused while a scope of another share runs.
thread_local TTimeShare* g_current = nullptr;

long long Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

bool On() { return Counters().On(); }

void CountReceipt()
{
    if (Counters().On()) Counters().Add(ReceiptCounter, 1);
}

void CountItem()
{
    if (Counters().On()) Counters().Add(ItemCounter, 1);
}

TTimeShare::TTimeShare(TShare share) : share_(share)
{
    if (!Counters().On() || g_depth[share]++ > 0) return;
    counted_ = true;
    outer_ = g_current;
    if (outer_) outer_->Pause();
    g_current = this;
    Resume();
}

TTimeShare::~TTimeShare()
{
    if (!Counters().On()) return;
    --g_depth[share_];
    if (!counted_) return;
    Pause();
    g_current = outer_;
    if (outer_) outer_->Resume();
}

void TTimeShare::Pause()
{
    if (start_ < 0) return;
    Counters().Add(share_, Ticks() - start_);
    start_ = -1;
}

void TTimeShare::Resume() { start_ = Ticks(); }

} // namespace UTimeShares
