// TvxThreadedTimer: a timer whose ticks are timed by a worker thread instead of the window
// message queue, so that its period does not depend on how busy the message loop is. The tick
// handler still runs on the GUI thread. It is the only worker thread of window skinning.
//
//   auto* t = new TvxThreadedTimer(form);     // enabled, 1000 ms, no handler: no ticks yet
//   t->SetInterval(10);
//   t->SetOnTimer([&](TObject*) { ... });     // on the GUI thread, every 10 ms from now on
//   t->SetEnabled(false);                     // paused: no ticks
//   t->Free();                                // the worker ends; returns at once, also when
//                                             // called from inside the timer's own tick
//
// The worker waits for the interval (or for its stop event) and hands the tick to the GUI
// thread by posting it to the timer's hidden window; it never waits for the GUI thread. At most
// one tick is outstanding, so ticks never overlap and a busy GUI thread drops ticks instead of
// piling them up. While the timer is disabled, its interval is 0 or it has no handler the worker
// waits on a pause event (it is never suspended by the system, which could stop it while it
// holds a lock). A change of Enabled, Interval, OnTimer or ThreadPriority restarts the period.
// Ticks that arrive after the application was told to terminate are dropped; a timer made
// while it terminates has no worker at all.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "gui/base/Classes.h"
#include "gui/base/Handles.h"
#include "skin/windows/vxMessageWindow.h"

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TvxThreadedTimer : public TComponent {
    GUI_CLASS(TvxThreadedTimer, TComponent)
    explicit TvxThreadedTimer(TComponent* owner);
    // Stops the worker and waits for it (handling messages sent from other threads meanwhile).
    ~TvxThreadedTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    unsigned Interval() const { return interval_; } // milliseconds
    void SetInterval(unsigned ms);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);
    TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority priority);
    // The worker exists (not for a timer made while the application terminates).
    bool HasThread() const { return static_cast<bool>(thread_); }

protected:
    // The tick: OnTimer(this) when assigned.
    virtual void Timer();

private:
    void CreateThread();
    void KillThread();
    // Pauses the worker, then lets it run again when enabled, with an interval and a handler.
    void UpdateTimer();
    static DWORD WINAPI Execute(void* self);
    static void Deliver(void* self, UINT msg, WPARAM, LPARAM);
    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    TThreadPriority priority_ = tpNormal;
    // Shared with the worker.
    std::atomic<unsigned> threadInterval_{1000};
    std::atomic<bool> outstanding_{false};
    TKernelHandle stopEvent_, runEvent_, wakeEvent_, thread_;
    std::unique_ptr<TvxMessageWindow> window_;
    bool inTick_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
