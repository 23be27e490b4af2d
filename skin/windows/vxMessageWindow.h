// A hidden message-only window of the GUI thread that hands the messages posted to it to one
// handler, for work that must run after the current message (a fade timer freed after its own
// tick) or that another thread hands over (the ticks of a threaded timer). Post is safe from
// any thread; the handler runs on the thread that made the window.
//
//   TvxMessageWindow wnd(&OnPosted, this);   // made on the GUI thread
//   wnd.Post(vxmTick);                       // from the worker: OnPosted(this, vxmTick, 0, 0)
//
// The handler gets only messages from WM_APP on. It may destroy the window object that called
// it: nothing of the object is touched after the handler returns. Posted messages still queued
// when the object ends are dropped.
#pragma once

#include <windows.h>

class TvxMessageWindow {
public:
    using THandler = void (*)(void* context, UINT msg, WPARAM wParam, LPARAM lParam);
    TvxMessageWindow(THandler handler, void* context);
    ~TvxMessageWindow();
    TvxMessageWindow(const TvxMessageWindow&) = delete;
    TvxMessageWindow& operator=(const TvxMessageWindow&) = delete;

    HWND Handle() const { return wnd_; }
    // PostMessage to the window; false when it could not be queued.
    bool Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    THandler handler_;
    void* context_;
    HWND wnd_ = nullptr;
};
