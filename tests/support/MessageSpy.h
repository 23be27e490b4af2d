// Records the messages a control or a window gets, each as message, wParam and lParam:
// - on a control, through the class library's WindowProc chain (HookWindowProc): every message
//   of its dispatch, those a graphic control gets through Perform included;
// - on a window handle, as a subclass of the window (SetWindowLongPtr): only what reaches the
//   window itself (SendMessage and dispatched posted messages), never a Perform.
// A filter keeps only the messages it accepts. The spy goes with its destructor (a subclass that
// another one has covered since stays in the chain as a pure pass-through until the window goes).
//
//   testrig::TMessageSpy spy(panel, testrig::SkinCommandsOnly);
//   BroadcastToControls(form, m);
//   EXPECT_EQ(spy.SkinCommands(), (std::vector<int>{7, 3}));
//   testrig::TMessageSpy raw(button->Handle());          // what the window itself got
//   EXPECT_EQ(raw.Count(WM_PAINT), 1);
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "gui/Controls.h"
#include "gui/Messages.h"

namespace testrig {

struct TSpiedMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

// The skin command message only (its fixed number; skin/engine/sMessages.h).
inline bool SkinCommandsOnly(UINT msg) { return msg == SM_VELOCONCMD_NUMBER; }

class TMessageSpy {
public:
    using TFilter = std::function<bool(UINT)>;

    explicit TMessageSpy(TControl* control, TFilter filter = {}) : control_(control), filter_(std::move(filter))
    {
        hookId_ = control->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) {
            Record(m.Msg, m.WParam, m.LParam);
            inherited(m);
        });
    }
    explicit TMessageSpy(HWND wnd, TFilter filter = {}) : wnd_(wnd), filter_(std::move(filter))
    {
        SetPropA(wnd, kProperty, this);
        previous_ =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    }
    ~TMessageSpy()
    {
        if (control_) control_->UnhookWindowProc(hookId_);
        if (!wnd_ || !IsWindow(wnd_) || GetPropA(wnd_, kProperty) != this) return;
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd_, GWLP_WNDPROC)) == &SubclassProc) {
            SetWindowLongPtrA(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
            RemovePropA(wnd_, kProperty);
        } else {
            // Covered by a later subclass: the chain keeps this procedure, which now only
            // passes messages on (it finds the previous procedure without the spy object).
            SetPropA(wnd_, kPassOnProperty, reinterpret_cast<HANDLE>(previous_));
            RemovePropA(wnd_, kProperty);
        }
    }
    TMessageSpy(const TMessageSpy&) = delete;
    TMessageSpy& operator=(const TMessageSpy&) = delete;

    const std::vector<TSpiedMessage>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }
    int Count(UINT msg) const
    {
        int n = 0;
        for (const TSpiedMessage& m : messages_)
            n += m.Msg == msg;
        return n;
    }
    // The last message of that number, or none.
    const TSpiedMessage* Last(UINT msg) const
    {
        for (auto it = messages_.rbegin(); it != messages_.rend(); ++it)
            if (it->Msg == msg) return &*it;
        return nullptr;
    }
    // The skin commands seen (the high word of wParam), in order.
    std::vector<int> SkinCommands() const
    {
        std::vector<int> v;
        for (const TSpiedMessage& m : messages_)
            if (m.Msg == SM_VELOCONCMD_NUMBER) v.push_back(HIWORD(m.WParam));
        return v;
    }
    int CountCommand(WORD command) const
    {
        int n = 0;
        for (const TSpiedMessage& m : messages_)
            n += m.Msg == SM_VELOCONCMD_NUMBER && HIWORD(m.WParam) == command;
        return n;
    }

private:
    static constexpr const char* kProperty = "TestMessageSpy";
    static constexpr const char* kPassOnProperty = "TestMessageSpyPrevious";

    void Record(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (!filter_ || filter_(msg)) messages_.push_back({msg, wParam, lParam});
    }
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = static_cast<TMessageSpy*>(GetPropA(wnd, kProperty));
        WNDPROC previous = self ? self->previous_
                                : reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(GetPropA(wnd, kPassOnProperty)));
        if (self) self->Record(msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            RemovePropA(wnd, kProperty);
            RemovePropA(wnd, kPassOnProperty);
            if (self) self->wnd_ = nullptr;
        }
        return previous ? CallWindowProcA(previous, wnd, msg, wParam, lParam)
                        : DefWindowProcA(wnd, msg, wParam, lParam);
    }

    TControl* control_ = nullptr;
    int hookId_ = 0;
    HWND wnd_ = nullptr;
    WNDPROC previous_ = nullptr;
    TFilter filter_;
    std::vector<TSpiedMessage> messages_;
};

} // namespace testrig
