// The tool-bar adapters. TvxToolBarWnd skins a common-control tool bar ("ToolbarWindow32" in a
// dialog): its background from its section ("BAR" or "CHECKBOX", given by its creator) over the
// parent's background, every button from "TOOLBUTTON" (state 2 while pressed, 1 under the mouse,
// else 0) with its image, drop-down arrow and text, separators with "DIVIDER"'s border image, a
// client edge from the cache.
//
// TvxToolBarVCLWnd skins a tool bar of the class library: a windowed control (TCustomControl)
// whose buttons are its graphic children (their Caption, Enabled, bounds and a published
// ordinal "Down") and which publishes two events by name:
//   "OnCustomDraw"        TvxToolBarDrawEvent: the client background, before the buttons;
//   "OnCustomDrawButton"  TvxToolButtonDrawEvent: one button, on the button's own canvas.
// A handler that clears defaultDraw has drawn the whole thing. The adapter puts its two
// handlers there while a skin is loaded (at creation and on skin command 1) and gives the old
// ones back on command 2 and when it goes; it tracks the button under the mouse and draws
// buttons from "TOOLBUTTON" with its border image (2 pressed or down, 1 under the mouse, else
// 0). WM_PRINT paints the client through the control (WM_PRINTCLIENT).
//
//   auto* a = CreateAdapter<TvxToolBarVCLWnd>(bar->Handle(), nullptr, manager, "", false);
//   // none for a window that is no such tool bar (a plain "ToolbarWindow32" among them)
#pragma once

#include <any>
#include <functional>

#include "skin/windows/vxMainWnd.h"

using TvxToolBarDrawEvent =
    std::function<void(TObject* toolBar, TCanvas& canvas, const TRect& rect, bool& defaultDraw)>;
using TvxToolButtonDrawEvent =
    std::function<void(TObject* toolBar, TCanvas& canvas, TControl* button, bool& defaultDraw)>;

class TvxToolBarWnd : public TvxMainWnd {
    GUI_CLASS(TvxToolBarWnd, TvxMainWnd)
    ~TvxToolBarWnd() override;
    void WndProc(TMessage& m) override;

    RECT ClientRect{};    // at the last rebuild of the cache
    int BorderOffset = 0; // (window height - client height) / 2

    // The buttons over the cache into dc (0: the DC of a paint of its own).
    void Paint(HDC dc);
    // The cache (section over the parent's background) rebuilt when flagged.
    void PrepareCache();
    // The frame of a tool bar with a client edge.
    void PaintBorder();
    // Button i into bmp (the whole client, the cache's image) at its rectangle.
    void DrawButton(int index, TBitmap* bmp);

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;

private:
    bool Pending() const;
};

class TvxToolBarVCLWnd : public TvxMainWnd {
    GUI_CLASS(TvxToolBarVCLWnd, TvxMainWnd)
    ~TvxToolBarVCLWnd() override;
    void WndProc(TMessage& m) override;
    void BeforeRemove() override;

    TWinControl* ToolBar = nullptr; // the tool-bar control
    int HotButton = -1;             // the button under the mouse (index among the graphic children)

    // Whether a window is a class-library tool bar this adapter can skin.
    static bool IsToolBar(HWND wnd);
    // The adapter's two draw handlers in place of the tool bar's own, and back.
    void InstallHandlers();
    void RemoveHandlers();
    bool HandlersInstalled() const { return installed_; }
    // The state a button is drawn in.
    int ButtonState(int index) const;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    void Start(const std::string& section, bool repaint) override;

private:
    void DrawBackground(TCanvas& canvas, const TRect& rect, bool& defaultDraw);
    void DrawButton(TCanvas& canvas, TControl* button, bool& defaultDraw);
    int ButtonAt(POINT client) const;
    void SetHotButton(int index);
    std::any oldDraw_, oldDrawButton_;
    bool installed_ = false;
};

// A class-library tool bar only: none for any other window.
template <>
TvxToolBarVCLWnd* CreateAdapter<TvxToolBarVCLWnd>(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                                  const std::string& section, bool repaint);
