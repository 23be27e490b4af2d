// Acts on the modal windows this thread opens - common dialogs, message boxes and popup menus -
// the way a user would: a CBT hook notes each dialog as it is activated and each popup menu as
// it is created, and a thread timer (which runs inside their modal loops) hands them, in that
// order, to the steps of the script. A window left over when the steps have run out is
// cancelled, so a failing test ends instead of hanging.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class TModalScript {
public:
    using Step = std::function<void(HWND)>;
    explicit TModalScript(std::vector<Step> steps) : steps_(std::move(steps))
    {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
        timer_ = SetTimer(nullptr, 0, 30, TimerProc);
    }
    ~TModalScript()
    {
        KillTimer(nullptr, timer_);
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    TModalScript(const TModalScript&) = delete;
    TModalScript& operator=(const TModalScript&) = delete;

    // Steps that ran, and windows that came when no step was left.
    int Done() const { return done_; }
    int Unexpected() const { return unexpected_; }
    // The texts of the windows the steps acted on (dialog captions, message box texts).
    std::vector<std::string> Texts;

    // ---- steps and their parts

    // The text of a dialog's control.
    static std::string ItemText(HWND dlg, int id)
    {
        char buf[1024] = "";
        GetDlgItemTextA(dlg, id, buf, sizeof buf);
        return buf;
    }
    // Presses a button of a dialog (IDOK, IDCANCEL, IDYES, ...).
    static void Press(HWND dlg, int id)
    {
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    }
    // Types a name into the file name field of an open or save dialog and confirms it.
    static Step EnterFileName(const std::string& name)
    {
        return [name](HWND dlg) {
            HWND edit = GetDlgItem(dlg, edt1);
            if (!edit) edit = GetDlgItem(dlg, cmb13);
            SetWindowTextA(edit, name.c_str());
            Press(dlg, IDOK);
        };
    }
    static Step PressButton(int id)
    {
        return [id](HWND dlg) { Press(dlg, id); };
    }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (current_ && (code == HCBT_ACTIVATE || code == HCBT_CREATEWND)) {
            HWND wnd = reinterpret_cast<HWND>(wParam);
            char cls[16] = "";
            GetClassNameA(wnd, cls, sizeof cls);
            bool dialog = code == HCBT_ACTIVATE && std::string(cls) == "#32770";
            bool menu = code == HCBT_CREATEWND && std::string(cls) == "#32768";
            // A dialog activated again after a step acted on it (its message box closed) is
            // a new turn; a repeated activation without a step in between is not.
            if ((dialog || menu) && !(wnd == current_->last_ && !current_->actedOnLast_)) {
                current_->waiting_.push_back(wnd);
                current_->last_ = wnd;
                current_->actedOnLast_ = false;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD)
    {
        TModalScript* s = current_;
        if (!s) return;
        while (!s->waiting_.empty() && !IsWindow(s->waiting_.front()))
            s->waiting_.pop_front();
        if (s->waiting_.empty()) return;
        HWND wnd = s->waiting_.front();
        if (!IsWindowVisible(wnd)) return; // a menu window before it is shown
        s->waiting_.pop_front();
        if (wnd == s->last_) s->actedOnLast_ = true;
        char cls[16] = "";
        GetClassNameA(wnd, cls, sizeof cls);
        bool menu = std::string(cls) == "#32768";
        if (s->done_ < static_cast<int>(s->steps_.size())) {
            std::string text = ItemText(wnd, 0xFFFF); // a message box's text
            if (text.empty()) {
                char buf[256] = "";
                GetWindowTextA(wnd, buf, sizeof buf);
                text = buf;
            }
            s->Texts.push_back(text);
            s->steps_[static_cast<size_t>(s->done_++)](wnd);
            return;
        }
        ++s->unexpected_;
        if (menu) EndMenu();
        else {
            Press(wnd, IDCANCEL);
            Press(wnd, IDNO);
            s->waiting_.push_back(wnd); // looked at again until it is gone
        }
    }

    static inline TModalScript* current_ = nullptr;
    std::vector<Step> steps_;
    std::deque<HWND> waiting_;
    HWND last_ = nullptr;
    bool actedOnLast_ = false;
    int done_ = 0, unexpected_ = 0;
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
};
