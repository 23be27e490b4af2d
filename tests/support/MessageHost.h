// A top-level window that records the messages a library sends to its host window, with a
// message pump for tests that wait for them.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class MessageHost {
public:
    struct Received {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        DWORD tick;
    };

    MessageHost()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TestMessageHost";
        RegisterClassA(&wc); // a second registration fails harmlessly
        hwnd_ = CreateWindowExA(0, "TestMessageHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MessageHost() { DestroyWindow(hwnd_); }
    MessageHost(const MessageHost&) = delete;
    MessageHost& operator=(const MessageHost&) = delete;

    HWND Handle() const { return hwnd_; }
    const std::vector<Received>& Messages() const { return received_; }
    void Clear() { received_.clear(); }
    int Count(UINT msg) const
    {
        int n = 0;
        for (const auto& r : received_)
            n += r.msg == msg;
        return n;
    }
    // Runs the handler when the given message arrives (inside the synchronous send).
    std::function<void(UINT)> OnMessage;

    // Pumps messages for the given time.
    static void Pump(DWORD ms)
    {
        const DWORD end = GetTickCount() + ms;
        do {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        } while (static_cast<LONG>(end - GetTickCount()) > 0);
    }
    // Pumps until the predicate holds or the time is up; returns the predicate's last value.
    static bool PumpUntil(const std::function<bool()>& done, DWORD ms)
    {
        const DWORD end = GetTickCount() + ms;
        while (!done()) {
            if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
            Pump(10);
        }
        return true;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MessageHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && msg >= WM_USER && msg < 0x8000) {
            self->received_.push_back({msg, wParam, lParam, GetTickCount()});
            if (self->OnMessage) self->OnMessage(msg);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
    std::vector<Received> received_;
};
