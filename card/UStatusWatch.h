// TStatusWatch: the watch of one reader while the connector holds it open. A worker thread
// waits for status changes of the reader and, after each, stores the new reader state and
// posts WM_PCSC_STATUS to the connector's hidden window (wParam 0, or the code of a failed
// wait, posted once until a wait succeeds again; lParam 0).
//
// The worker waits in short rounds, so a stop that lands between two waits (where a cancel
// finds no wait to end) is seen at the end of the round at the latest. Each watch has its own
// stop flag and reader state: a worker that does not end in time (a PC/SC call that never
// returns) is left behind with them and cannot touch the next watch.
//
// The first watch pins the library in memory for the rest of the process: a host may unload
// the library while a reader is watched, and the worker and the hidden window's card events
// keep running its code.
#pragma once

#include <windows.h>
#include <winscard.h>

#include <memory>
#include <string>

#include "gui/base/Handles.h"

constexpr UINT WM_PCSC_STATUS = WM_USER + 42;

// The PC/SC calls of a watch: the platform's, or a test's own.
struct TWatchCalls {
    LONG(WINAPI* Wait)(SCARDCONTEXT, DWORD, LPSCARD_READERSTATEA, DWORD) = &SCardGetStatusChangeA;
    LONG(WINAPI* Cancel)(SCARDCONTEXT) = &SCardCancel;
};

class TStatusWatch {
public:
    static constexpr DWORD kRoundMs = 250;     // the longest single wait of the worker
    static constexpr DWORD kStopWaitMs = 2000; // how long Stop waits for the worker to end

    // Starts the worker for the named reader of the context; Started() tells whether it runs.
    TStatusWatch(SCARDCONTEXT context, const std::string& reader, HWND window, TWatchCalls calls = {});
    ~TStatusWatch() { Stop(); }
    TStatusWatch(const TStatusWatch&) = delete;
    TStatusWatch& operator=(const TStatusWatch&) = delete;

    bool Started() const { return static_cast<bool>(thread_); }
    // The reader state of the last successful wait (SCARD_STATE_* bits, the reader's event
    // count in the high word); 0 before the first.
    DWORD State() const;
    // Asks the worker to end and cancels its wait; true when it ended within `ms` (or never
    // ran). Either way the watch is over: later results of its worker go nowhere.
    bool Stop(DWORD ms = kStopWaitMs);

private:
    struct TShared;
    static DWORD WINAPI Run(LPVOID param);
    std::shared_ptr<TShared> shared_;
    TKernelHandle thread_;
};
