#include "skin/windows/vxThdTimer.h"

#include <exception>

#include "gui/Forms.h"

namespace {

constexpr UINT vxmTick = WM_APP + 1;

int WinPriority(TThreadPriority p)
{
    static constexpr int values[] = {
        THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
        THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_TIME_CRITICAL};
    return values[p];
}

} // namespace

TvxThreadedTimer::TvxThreadedTimer(TComponent* owner) : TComponent(owner)
{
    if (Application->Terminated()) {
        enabled_ = false;
        interval_ = 0;
        return;
    }
    CreateThread();
}

TvxThreadedTimer::~TvxThreadedTimer()
{
    *alive_ = false;
    KillThread();
}

void TvxThreadedTimer::SetEnabled(bool on)
{
    if (on == enabled_) return;
    enabled_ = on;
    UpdateTimer();
}

void TvxThreadedTimer::SetInterval(unsigned ms)
{
    if (ms == interval_) return;
    interval_ = ms;
    threadInterval_ = ms;
    UpdateTimer();
}

void TvxThreadedTimer::SetOnTimer(TNotifyEvent handler)
{
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TvxThreadedTimer::SetThreadPriority(TThreadPriority priority)
{
    if (priority == priority_) return;
    priority_ = priority;
    if (thread_) ::SetThreadPriority(thread_.get(), WinPriority(priority));
    UpdateTimer();
}

void TvxThreadedTimer::Timer()
{
    if (onTimer_) onTimer_(this);
}

void TvxThreadedTimer::CreateThread()
{
    stopEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    runEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    wakeEvent_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    window_ = std::make_unique<TvxMessageWindow>(&Deliver, this);
    threadInterval_ = interval_;
    if (!stopEvent_ || !runEvent_ || !wakeEvent_ || !window_->Handle()) return;
    thread_.reset(::CreateThread(nullptr, 0, &Execute, this, CREATE_SUSPENDED, nullptr));
    if (!thread_) return;
    ::SetThreadPriority(thread_.get(), WinPriority(priority_));
    ResumeThread(thread_.get());
    UpdateTimer();
}

void TvxThreadedTimer::KillThread()
{
    if (thread_) {
        SetEvent(stopEvent_.get());
        // The worker never waits for this thread; messages that other threads send meanwhile
        // are handled all the same, posted ones stay queued.
        const HANDLE worker = thread_.get();
        for (;;) {
            const DWORD r = MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE);
            if (r != WAIT_OBJECT_0 + 1) break;
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        thread_.reset();
    }
    window_.reset();
    stopEvent_.reset();
    runEvent_.reset();
    wakeEvent_.reset();
}

void TvxThreadedTimer::UpdateTimer()
{
    if (!thread_) return;
    ResetEvent(runEvent_.get());
    SetEvent(wakeEvent_.get());
    if (interval_ != 0 && enabled_ && onTimer_) SetEvent(runEvent_.get());
}

DWORD WINAPI TvxThreadedTimer::Execute(void* self)
{
    auto* t = static_cast<TvxThreadedTimer*>(self);
    const HANDLE running[2] = {t->stopEvent_.get(), t->runEvent_.get()};
    const HANDLE waiting[2] = {t->stopEvent_.get(), t->wakeEvent_.get()};
    for (;;) {
        // Paused until the timer may tick; the stop event wins.
        if (WaitForMultipleObjects(2, running, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return 0;
        const DWORD r = WaitForMultipleObjects(2, waiting, FALSE, t->threadInterval_.load());
        if (r == WAIT_OBJECT_0 + 1) continue; // a setter restarted the period
        if (r != WAIT_TIMEOUT) return 0;      // stopped, or the wait failed
        if (WaitForSingleObject(t->runEvent_.get(), 0) != WAIT_OBJECT_0) continue;
        if (!t->outstanding_.exchange(true) && !t->window_->Post(vxmTick)) t->outstanding_ = false;
    }
}

void TvxThreadedTimer::Deliver(void* self, UINT msg, WPARAM, LPARAM)
{
    auto* t = static_cast<TvxThreadedTimer*>(self);
    if (msg != vxmTick || t->inTick_) return;
    const std::shared_ptr<bool> alive = t->alive_;
    t->inTick_ = true;
    if (!Application->Terminated() && t->enabled_ && t->interval_ != 0 && t->onTimer_) {
        try {
            t->Timer();
        } catch (const std::exception& e) {
            Application->ShowException(e);
        }
    }
    // The handler may have freed the timer.
    if (!*alive) return;
    t->inTick_ = false;
    t->outstanding_ = false;
}
