// The reader watch against a PC/SC service played by the test: a cancel reaches only a wait
// that is already running (as with the platform's service), and a wait can be held at its
// entry or made to hang.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "card/UStatusWatch.h"

namespace {

constexpr SCARDCONTEXT kHeldAtEntry = 1; // the second wait is held before it starts waiting
constexpr SCARDCONTEXT kHangs = 2;       // the second wait hangs until the test lets it go
constexpr SCARDCONTEXT kPlain = 3;

// The service: one state for all contexts, guarded by one mutex.
struct Service {
    std::mutex mu;
    std::condition_variable cv;
    int cancels = 0;
    int waits = 0;
    std::map<SCARDCONTEXT, int> waitsOf;
    bool atEntry = false;      // a held wait has reached its entry
    bool releaseEntry = false; // the held wait may go on
    bool releaseHang = false;  // the hanging wait returns (with a card present)
    DWORD lastTimeout = 0;
};
Service* g_service = nullptr;

LONG WINAPI Wait(SCARDCONTEXT context, DWORD timeout, LPSCARD_READERSTATEA states, DWORD)
{
    Service& s = *g_service;
    std::unique_lock<std::mutex> lock(s.mu);
    s.lastTimeout = timeout;
    ++s.waits;
    const int call = ++s.waitsOf[context];
    s.cv.notify_all();
    if (call == 1) {
        // The first wait reports the reader as it is: empty.
        states->dwEventState = SCARD_STATE_EMPTY | SCARD_STATE_CHANGED;
        return SCARD_S_SUCCESS;
    }
    if (context == kHangs) {
        s.cv.wait(lock, [&] { return s.releaseHang; });
        states->dwEventState = SCARD_STATE_PRESENT | SCARD_STATE_CHANGED;
        return SCARD_S_SUCCESS;
    }
    if (context == kHeldAtEntry) {
        // Between the worker's look at its stop flag and the start of the wait.
        s.atEntry = true;
        s.cv.notify_all();
        s.cv.wait(lock, [&] { return s.releaseEntry; });
    }
    const int seen = s.cancels; // only a cancel from now on ends this wait
    const auto woken = [&] { return s.cancels != seen; };
    if (timeout == INFINITE) s.cv.wait(lock, woken);
    else if (!s.cv.wait_for(lock, std::chrono::milliseconds(timeout), woken)) return SCARD_E_TIMEOUT;
    return SCARD_E_CANCELLED;
}

LONG WINAPI Cancel(SCARDCONTEXT)
{
    std::lock_guard<std::mutex> lock(g_service->mu);
    ++g_service->cancels;
    g_service->cv.notify_all();
    return SCARD_S_SUCCESS;
}

class StatusWatch : public ::testing::Test {
protected:
    // Each test leaves its service behind: a worker that was left hanging may still use it.
    void SetUp() override { g_service = new Service; }
    template <typename P> bool WaitFor(P done, DWORD ms = 10000)
    {
        std::unique_lock<std::mutex> lock(g_service->mu);
        return g_service->cv.wait_for(lock, std::chrono::milliseconds(ms), done);
    }
};

} // namespace

TEST_F(StatusWatch, ACancelThatLandsBeforeTheWaitStillEndsTheWorkerWithinARound)
{
    TStatusWatch watch(kHeldAtEntry, "Reader", nullptr, {&Wait, &Cancel});
    ASSERT_TRUE(watch.Started());
    ASSERT_TRUE(WaitFor([] { return g_service->atEntry; }));
    // The stop and its cancel come while no wait runs: the cancel is lost.
    bool ended = false;
    DWORD took = 0;
    std::thread stopper([&] {
        const DWORD start = GetTickCount();
        ended = watch.Stop();
        took = GetTickCount() - start;
    });
    ASSERT_TRUE(WaitFor([] { return g_service->cancels == 1; }));
    {
        std::lock_guard<std::mutex> lock(g_service->mu);
        g_service->releaseEntry = true;
        g_service->cv.notify_all();
    }
    stopper.join();
    EXPECT_TRUE(ended);
    // Within a round, far from the 2 s for which Stop waits.
    EXPECT_LT(took, 1500u);
    EXPECT_LE(g_service->lastTimeout, TStatusWatch::kRoundMs);
}

TEST_F(StatusWatch, TheFirstWaitReportsTheReaderAndAStopEndsTheWaitAtOnce)
{
    TStatusWatch watch(kPlain, "Reader", nullptr, {&Wait, &Cancel});
    ASSERT_TRUE(WaitFor([] { return g_service->waits >= 2; }));
    EXPECT_EQ(watch.State(), static_cast<DWORD>(SCARD_STATE_EMPTY | SCARD_STATE_CHANGED));
    EXPECT_TRUE(watch.Stop());
    EXPECT_EQ(g_service->cancels, 1);
}

TEST_F(StatusWatch, AWorkerLeftBehindCannotTouchTheNextWatch)
{
    auto hanging = std::make_unique<TStatusWatch>(kHangs, "Reader", nullptr, TWatchCalls{&Wait, &Cancel});
    ASSERT_TRUE(WaitFor([] { return g_service->waits >= 2; }));
    // Its wait never returns: the stop gives up on it.
    EXPECT_FALSE(hanging->Stop(300));
    hanging.reset();

    TStatusWatch next(kPlain, "Reader", nullptr, {&Wait, &Cancel});
    ASSERT_TRUE(WaitFor([] { return g_service->waitsOf[kPlain] >= 2; }));
    EXPECT_EQ(next.State(), static_cast<DWORD>(SCARD_STATE_EMPTY | SCARD_STATE_CHANGED));
    // The hanging wait comes back with a card: its worker ends without a word to anyone.
    {
        std::lock_guard<std::mutex> lock(g_service->mu);
        g_service->releaseHang = true;
        g_service->cv.notify_all();
    }
    Sleep(300);
    EXPECT_EQ(next.State(), static_cast<DWORD>(SCARD_STATE_EMPTY | SCARD_STATE_CHANGED));
    EXPECT_TRUE(next.Stop());
}
