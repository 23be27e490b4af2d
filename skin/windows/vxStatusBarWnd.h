// TvxStatusBarWnd: the adapter of status bars ("msctls_statusbar32" windows). Every erase and
// print rebuilds the whole look in the link's cache: the section ("STATUSBAR" unless another is
// given) over the parent's background, then per part its panel image ("STATUSPANELMASK" of the
// section or its parents) or, without one, the "DIVIDER" section at the right edge of every part
// but the last (SB_GETRECT, shrunk by a pixel). In simple mode the panel image covers the whole
// bar and no divider is drawn.
//
//   auto* a = CreateAdapter<TvxStatusBarWnd>(bar, nullptr, manager, "", true);
//   SendMessageA(bar, WM_PRINT, WPARAM(dc), PRF_CLIENT);   // the bar as skinned into dc
//
// A bar shows no text of its own: the texts come from a linked class-library status-bar
// control, which this library does not have, so the link is never made.
#pragma once

#include "skin/windows/vxMainWnd.h"

class TvxStatusBarWnd : public TvxMainWnd {
    GUI_CLASS(TvxStatusBarWnd, TvxMainWnd)
    ~TvxStatusBarWnd() override;
    void WndProc(TMessage& m) override;

    // The bar into dc (0: the window DC), its cache rebuilt first.
    void PaintTo(HDC dc);
    void PrepareCache();
    void DrawPanels();
    // One part (index -1: the simple-mode panel) into r of the cache.
    void DrawPanel(int index, const RECT& r);

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    void Start(const std::string& section, bool repaint) override;

private:
    bool Simple() const;
    int Parts() const;
};
