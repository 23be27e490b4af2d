// TvxMnuWnd: the adapter of a popup-menu window (class "#32768") while menus are skinned. The
// window hook attaches one to each new popup window (AttachMenuWindow) and keeps it in its
// menu-window list (skin/windows/vxDials.h). It paints the popup's background from the section
// "MAINMENU" (its client from the cache at (3, 3), a 3-pixel frame in the non-client area) and
// answers skin command 7 with 1, 8 with Painted in lParam, 14 (sets Painted) and 60.
// While the skinned menus are off every message goes to the scroll-window procedure.
//
// When its window goes (WM_DESTROY, WM_NCDESTROY) the adapter leaves the list, empties the
// skinned menus' records of shown popups, redraws the menu windows left in the list (the list
// emptied when none is left), and only then unhooks and frees itself.
//
//   TvxMnuWnd* a = AttachMenuWindow(popup);   // in the list, "VXSBSC" set
//   EndMenu();                                // the popup goes: a freed, the list empty
#pragma once

#include <windows.h>

#include "skin/windows/vxScrollWnd.h"

class TvxMnuWnd : public TvxScrollWnd {
    GUI_CLASS(TvxMnuWnd, TvxScrollWnd)
    ~TvxMnuWnd() override { Shutdown(); }
    // Set by skin command 14 while the window is visible; cleared by every erase.
    bool Painted = false;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxScrollWnd::TvxScrollWnd;
    // The section over the popup's background record into the cache, when it is flagged.
    virtual void PrepareCache();

private:
    void WindowGoes(TMessage& m);
    void PaintFrame();
};

// A menu-window adapter for the popup window (section "MAINMENU", the default manager),
// appended to the hook's menu-window list; none for a window that is not one.
TvxMnuWnd* AttachMenuWindow(HWND wnd);
