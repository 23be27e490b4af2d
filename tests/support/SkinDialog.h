// The running register's skin dialog, driven from the test process: opened from the main
// window's menu, skins switched on with its check box, a skin chosen by its entry in the box.
// Choose sends the selection change synchronously: it returns once the program has loaded the
// skin, told every window and repainted them.
//
//   TSkinDialog skins(tillora, main);
//   ASSERT_TRUE(skins.Open() && skins.SwitchOn());
//   skins.Choose(skins.IndexOf(L"Nordlicht"));
#pragma once

#include <windows.h>

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
        combo_ = FindControlWindow(dialog_, "SkinComboBox");
        box_ = FindControlWindow(dialog_, "SkinCheckBox");
        return combo_ && box_ && TilloraProgram::WaitFor([&] { return SendMessageA(combo_, CB_GETCOUNT, 0, 0) > 0; });
    }
    // Ticks or unticks the box (a click: the program takes the state and answers).
    bool Switch(bool on)
    {
        const LRESULT want = on ? BST_CHECKED : BST_UNCHECKED;
        if (SendMessageA(box_, BM_GETCHECK, 0, 0) != want) SendMessageA(box_, BM_CLICK, 0, 0);
        return TilloraProgram::WaitFor([&] { return (IsWindowEnabled(combo_) != FALSE) == on; });
    }
    bool SwitchOn() { return Switch(true); }
    // The entry of a skin name, -1 when not listed (texts read as wide characters).
    int IndexOf(const std::wstring& name) const
    {
        const int n = static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t text[64] = L"";
            SendMessageW(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            if (name == text) return i;
        }
        return -1;
    }
    void Choose(int index) const
    {
        SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(GetParent(combo_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo_), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo_));
    }
    HWND Window() const { return dialog_; }

private:
    TilloraProgram& tillora_;
    HWND main_;
    HWND dialog_ = nullptr, combo_ = nullptr, box_ = nullptr;
};
