// TvxSpinWnd: the adapter of up-down (spin) buttons, "msctls_updown32" windows of dialogs and the
// scroller of a tab control with more tabs than fit. The adapter paints the whole window itself:
// two halves (upper and lower, or left and right with UDS_HORZ) from its section ("UPDOWNBTN" or
// "SPEEDBUTTON_SMALL" as the creator gives it; "BUTTON" when the skin lacks it) over the parent's
// background, each with its arrow, the scroll buttons' glyphs of the skin: up and down for a
// vertical control, left and right for a horizontal one. The half under the mouse is hot
// (state 1), pressed (state 2) while the left button is down; the other half is normal.
//
//   auto* spin = CreateAdapter<TvxSpinWnd>(updown, nullptr, manager, "UPDOWNBTN", false);
//   SendMessageA(updown, WM_PAINT, WPARAM(memoryDC), 0);   // painted into that DC
//   delete spin;
#pragma once

#include "skin/windows/vxMainWnd.h"

class TvxSpinWnd : public TvxMainWnd {
    GUI_CLASS(TvxSpinWnd, TvxMainWnd)
    ~TvxSpinWnd() override;

    bool Pressed = false;      // the left button went down on it
    int HotStates[2] = {0, 0}; // the first and second half: 0, 1 hot, 2 pressed (at the last paint)

    // The control lacks UDS_HORZ: its halves lie one above the other.
    virtual bool IsVertical() const;
    void WndProc(TMessage& m) override;
    // The halves into the DC (0: the window's DC), then validated.
    void Paint(HDC dc);

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
};
