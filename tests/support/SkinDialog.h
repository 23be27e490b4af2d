// The running register's skin dialog, driven from the test process: opened from the main
// window's menu, skins switched on with its check box, a skin chosen by its entry in the box.
// Choose sends the selection change synchronously: it returns once the program has loaded the
// skin, told every window and repainted them. The combo box is looked up anew before each use:
// switching skins off gives it a new window.
//
//   TSkinDialog skins(tillora, main);
//   ASSERT_TRUE(skins.Open() && skins.SwitchOn());
//   skins.Choose(skins.IndexOf(L"Nordlicht"));
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "gui/Automation.h"
#include "tests/support/TilloraProgram.h"

class TSkinDialog {
public:
    TSkinDialog(TilloraProgram& tillora, HWND main) : tillora_(tillora), main_(main) {}

    bool Open()
    {
        if (!ClickMenuItem(main_, "Skins1")) return false;
        dialog_ = tillora_.WaitForForm("TSkinSel");
        if (!dialog_) return false;
        box_ = FindControlWindow(dialog_, "SkinCheckBox");
        return Combo() && box_ && TilloraProgram::WaitFor([&] { return SendMessageA(Combo(), CB_GETCOUNT, 0, 0) > 0; });
    }
    // Ticks or unticks the box (a click: the program takes the state and answers).
    bool Switch(bool on)
    {
        const LRESULT want = on ? BST_CHECKED : BST_UNCHECKED;
        if (SendMessageA(box_, BM_GETCHECK, 0, 0) != want) SendMessageA(box_, BM_CLICK, 0, 0);
        return TilloraProgram::WaitFor([&] {
            const HWND combo = Combo();
            return combo && (IsWindowEnabled(combo) != FALSE) == on;
        });
    }
    bool SwitchOn() { return Switch(true); }
    // The entry of a skin name, -1 when not listed (texts read as wide characters).
    int IndexOf(const std::wstring& name) const
    {
        const HWND combo = Combo();
        const int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            // CB_GETLBTEXT has no size: the buffer takes the length the box announces.
            const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            if (length < 0) continue;
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            const LRESULT got =
                SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(got < 0 ? 0 : std::min(static_cast<size_t>(got), static_cast<size_t>(length)));
            if (name == text) return i;
        }
        return -1;
    }
    void Choose(int index) const
    {
        const HWND combo = Combo();
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    HWND Window() const { return dialog_; }
    // The combo box's present window.
    HWND Combo() const { return dialog_ ? FindControlWindow(dialog_, "SkinComboBox") : nullptr; }

private:
    TilloraProgram& tillora_;
    HWND main_;
    HWND dialog_ = nullptr, box_ = nullptr;
};
