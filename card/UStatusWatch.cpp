#include "card/UStatusWatch.h"

#include <algorithm>
#include <atomic>

struct TStatusWatch::TShared {
    SCARDCONTEXT context;
    std::string reader;
    HWND window;
    TWatchCalls calls;
    std::atomic<bool> stop{false};
    std::atomic<DWORD> state{0};
};

namespace {

constexpr DWORD kBackoffStepMs = 50;
constexpr DWORD kBackoffMaxMs = 2000;

// Keeps the module that holds this code loaded until the process ends.
void PinThisModule()
{
    static std::atomic<bool> pinned{false};
    if (pinned.exchange(true)) return;
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(&PinThisModule), &module);
}

} // namespace

// The worker holds its own reference to the shared part, so a watch that gives up waiting for
// it can go while it still runs.
DWORD WINAPI TStatusWatch::Run(LPVOID param)
{
    const std::unique_ptr<std::shared_ptr<TShared>> holder(static_cast<std::shared_ptr<TShared>*>(param));
    TShared& w = **holder;
    SCARD_READERSTATEA record{};
    record.szReader = w.reader.c_str();
    DWORD known = 0; // unaware: the first wait reports the present state at once
    LONG lastError = SCARD_S_SUCCESS;
    DWORD backoff = 0;
    while (!w.stop.load()) {
        record.dwCurrentState = known;
        record.dwEventState = 0;
        const LONG rc = w.calls.Wait(w.context, TStatusWatch::kRoundMs, &record, 1);
        if (w.stop.load()) break;
        if (rc == static_cast<LONG>(SCARD_E_TIMEOUT)) continue; // a round without a change
        if (rc != SCARD_S_SUCCESS) {
            // A wait that fails at once (service gone, context lost) is reported once; the
            // worker then retries ever more slowly instead of spinning.
            if (rc != lastError) PostMessageA(w.window, WM_PCSC_STATUS, static_cast<WPARAM>(static_cast<DWORD>(rc)), 0);
            lastError = rc;
            backoff = std::min<DWORD>(backoff ? backoff * 2 : kBackoffStepMs, kBackoffMaxMs);
            for (DWORD slept = 0; slept < backoff && !w.stop.load(); slept += kBackoffStepMs)
                Sleep(kBackoffStepMs);
            continue;
        }
        lastError = SCARD_S_SUCCESS;
        backoff = 0;
        known = record.dwEventState;
        w.state.store(known);
        PostMessageA(w.window, WM_PCSC_STATUS, 0, 0);
    }
    return 0;
}

TStatusWatch::TStatusWatch(SCARDCONTEXT context, const std::string& reader, HWND window, TWatchCalls calls)
    : shared_(std::make_shared<TShared>())
{
    shared_->context = context;
    shared_->reader = reader;
    shared_->window = window;
    shared_->calls = calls;
    PinThisModule();
    auto* param = new std::shared_ptr<TShared>(shared_);
    thread_.reset(CreateThread(nullptr, 0, &Run, param, 0, nullptr));
    if (!thread_) delete param;
}

DWORD TStatusWatch::State() const { return shared_->state.load(); }

bool TStatusWatch::Stop(DWORD ms)
{
    if (!thread_) return true;
    shared_->stop.store(true);
    shared_->calls.Cancel(shared_->context);
    const bool ended = WaitForSingleObject(thread_.get(), ms) == WAIT_OBJECT_0;
    thread_.reset();
    return ended;
}
