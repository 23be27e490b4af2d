// The threaded timer under Wine: its ticks arrive on the GUI thread at its interval, none while
// it is disabled or has no interval, and its end never waits on the GUI thread (the time bounds
// below only guard against a hang).
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "gui/Forms.h"
#include "skin/windows/vxThdTimer.h"
#include "tests/support/MessageHost.h"
#include "tests/support/WindowProbes.h"

TEST(ThreadedTimer, TicksComeOnTheGuiThreadAtTheInterval)
{
    auto* t = new TvxThreadedTimer(nullptr);
    ASSERT_TRUE(t->HasThread());
    std::vector<DWORD> threads;
    t->SetInterval(50);
    t->SetOnTimer([&](TObject* sender) {
        EXPECT_EQ(sender, t);
        threads.push_back(GetCurrentThreadId());
    });
    MessageHost::Pump(525);
    EXPECT_GE(threads.size(), 9u);
    EXPECT_LE(threads.size(), 10u);
    for (DWORD id : threads)
        EXPECT_EQ(id, GetCurrentThreadId());
    t->Free();
}

TEST(ThreadedTimer, NoTicksWhileDisabledOrWithoutAnInterval)
{
    auto* t = new TvxThreadedTimer(nullptr);
    int ticks = 0;
    t->SetEnabled(false);
    t->SetInterval(10);
    t->SetOnTimer([&](TObject*) { ++ticks; });
    MessageHost::Pump(100);
    EXPECT_EQ(ticks, 0);
    t->SetEnabled(true);
    EXPECT_TRUE(testrig::PumpUntil([&] { return ticks >= 2; }));
    t->SetInterval(0);
    ticks = 0;
    MessageHost::Pump(100);
    EXPECT_EQ(ticks, 0);
    t->Free();
}

TEST(ThreadedTimer, ItsEndReturnsAtOnceAlsoWhilePausedAndFromItsOwnTick)
{
    const auto timed = [](TvxThreadedTimer* t) {
        const DWORD start = GetTickCount();
        t->Free();
        return GetTickCount() - start;
    };
    auto* running = new TvxThreadedTimer(nullptr);
    running->SetInterval(10);
    running->SetOnTimer([](TObject*) {});
    MessageHost::Pump(30);
    EXPECT_LT(timed(running), 200u);

    auto* paused = new TvxThreadedTimer(nullptr);
    paused->SetEnabled(false);
    EXPECT_LT(timed(paused), 200u);

    auto* own = new TvxThreadedTimer(nullptr);
    DWORD took = 0;
    int ticks = 0;
    own->SetInterval(10);
    own->SetOnTimer([&](TObject*) {
        ++ticks;
        took = timed(own);
    });
    ASSERT_TRUE(testrig::PumpUntil([&] { return ticks == 1; }));
    EXPECT_LT(took, 200u);
    MessageHost::Pump(50);
    EXPECT_EQ(ticks, 1);
}
