// The skinned scroll bars of the window adapters. A TvxScrollWnd adapter hides the window's
// standard bars from its own frame calculation, reserves their room itself, paints them in the
// non-client area from the skin's scroll sections ("SCROLLBTNLEFT"/"RIGHT"/"TOP"/"BOTTOM",
// "SCROLLSLIDERH"/"V", "SCROLLBAR1H"/"V", "SCROLLBAR2H"/"V"), hit-tests them (HTHSCROLL 6,
// HTVSCROLL 7, 0 for a disabled bar, HTBOTTOMRIGHT 17 on the corner where it is the top-level
// window's client corner), tracks the mouse on them (auto-repeat: once at once, timer 65533
// after 300 ms, then timer 65534 every 55 ms; a dragged thumb sends SB_THUMBTRACK only when its
// position changes, then SB_THUMBPOSITION and SB_ENDSCROLL with the last position), hot-tracks
// them (timer 65522, 20 ms) and sends the window the WM_HSCROLL/WM_VSCROLL a standard bar would,
// each wrapped in skin commands 51 and 52 (SendScrollMessage). Timers the adapter did not start
// pass on to the window.
//
//   auto* a = CreateAdapter<TvxEditWnd>(list, nullptr, manager, "EDIT", true);  // vxEditWnd.h
//   PostMessageA(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, y));          // an arrow held
//   UpdateScrolls(a, true);            // the scroll information read again, the bars painted
//   RemoveAdapter(list, true, false, a);
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "skin/windows/vxMainWnd.h"
#include "skin/windows/vxScrollGeometry.h"

class TvxScrollWnd;

// Skin commands around every scroll message the skinned bars send (lParam: the scroll code in
// the low word, the message in the high word). A window that answers 51 with 1 gets the
// position in lParam of the scroll message itself.
constexpr WORD cmdBeforeScroll = 51;
constexpr WORD cmdAfterScroll = 52;
// The adapters' timers on the adapted window.
constexpr UINT_PTR HotTrackTimer = 0xFFF2, FirstRepeatTimer = 0xFFFD, RepeatTimer = 0xFFFE;
// The width of a skin arrow when the skin gives none.
constexpr int DefaultArrowLength = 16;

// Flags of TvxScrollBar::Flags.
enum : uint16_t { sbFirstArrowOff = 1, sbSecondArrowOff = 2, sbThumbWhileActive = 4, sbStyleAsks = 8 };

class TvxScrollBar {
public:
    uint16_t Flags = 0;
    bool Visible = false;
    SCROLLINFO ScrollInfo{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    int ArrowLength = -1; // negative: that many times the default
    int BarWidth = -1;    // negative: that many times the system metric
    int Kind = SB_HORZ;
    int MinThumbSize = 10;
    TvxScrollWnd* Owner = nullptr;

    // The scroll information read again from the window.
    void ReadInfo(HWND wnd);
    TScrollNumbers Numbers() const;
};

class TvxScrollWnd : public TvxMainWnd {
    GUI_CLASS(TvxScrollWnd, TvxMainWnd)
    ~TvxScrollWnd() override;

    std::unique_ptr<TvxScrollBar> HorzBar, VertBar;
    bool Tracking = false;
    bool LeftScrollBar = false;
    int BorderLeft = 0, BorderRight = 0, BorderTop = 0, BorderBottom = 0;
    bool InCalcSize = false;

    void WndProc(TMessage& m) override;
    TvxScrollBar* Bar(int kind) const
    {
        return kind == SB_HORZ ? HorzBar.get() : kind == SB_VERT ? VertBar.get() : nullptr;
    }

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    // The bars made, the scroll information read, the window hooked, MinThumbSize 10 on both
    // bars and, with repaint, the frame computed again.
    void Attach(bool repaint) override;
    // The frame calculation (WM_NCCALCSIZE).
    void CalcSize(TMessage& m);
    int HitTest(POINT screen);
    bool HandleMouse(TMessage& m);
    // A button-up that ends a bar's press keeps the mouse capture and is not passed on (a
    // drop-down list that holds the capture while it is open).
    virtual bool KeepsCaptureAfterBar() const { return false; }
    void HandleTimer(TMessage& m);
    void HandleSkinCommandOfBars(TMessage& m);
};

// Some bar of the program is pressed (an arrow, the track or the thumb, until the button-up).
bool ScrollBarPressed();
// The position a thumb drag sent last (the bar's nPos when the drag began): while the window
// handles an SB_THUMBTRACK of the drag, the position before it.
int LastTrackPosition();
// Thickness (thickness true) or arrow length of a bar; useSkin measures the arrow from the
// skin's arrow images when the skin asks for that. 0 for none.
int GetScrollMetric(const TvxScrollBar* bar, bool thickness, bool useSkin);
// The bar rectangles in screen coordinates. The vertical bar always leaves the horizontal
// bar's thickness free at its bottom.
void GetHScrollRect(const TvxScrollWnd* adapter, HWND wnd, RECT& r);
void GetVScrollRect(const TvxScrollWnd* adapter, HWND wnd, RECT& r);
bool GetScrollRect(const TvxScrollWnd* adapter, int kind, HWND wnd, RECT& r);
// The bar of the window's adapter (SB_HORZ, SB_VERT), or none.
TvxScrollBar* GetScrollBarOfWindow(HWND wnd, int kind);
// MinThumbSize of one bar (SB_HORZ, SB_VERT) or both (SB_BOTH); false without an adapter.
bool SetMinThumbSize(HWND wnd, int which, int size);
// Whether the bar can be used (GetScrollBarInfo when the platform has it, else the style bit;
// the owner control enabled).
bool ScrollBarEnabled(const TvxScrollBar* bar, HWND wnd);
// Every visible bar and the corner into dc (0: the window DC); dragPos -1 for none. Answers 0.
int PaintScrollBars(TvxScrollWnd* adapter, HWND wnd, HDC dc, int dragPos);
// One bar into r (window coordinates) of dc, the thumb at dragPos (from the bar's start) when
// that is not -1; true when something was painted.
bool PaintScrollBar(TvxScrollBar* bar, HWND wnd, HDC dc, int dragPos, int pressedPart, const RECT& r);
// Command 51, the scroll message (the position set first for SB_THUMBTRACK), command 52.
void SendScrollMessage(HWND wnd, UINT msg, int code, int pos);
// Both bars' scroll information read again and, with repaint, the bars painted; nothing for no
// adapter, a link that is Updating or a missing bar.
void UpdateScrolls(TvxScrollWnd* adapter, bool repaint);
// DetachAdapter for the scroll family: acts only when the link has an owner control; the
// bars are freed as well.
void RemoveAdapter(HWND handle, bool freeIt, bool repaint, TvxScrollWnd*& adapter);
