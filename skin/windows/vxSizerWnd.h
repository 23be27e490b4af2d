// TvxSizerWnd: the adapter of a size grip (a "scrollbar" window of style SBS_SIZEGRIP). It paints
// the parent's background and, over it, the first frame of the skin's "GRIPIMAGE" (section
// "GLOBALINFO") in its bottom-right corner; without that image only the background. Every hit
// test answers HTBOTTOMRIGHT (17), and the manager's hot control is cleared meanwhile.
//
//   auto* a = CreateAdapter<TvxSizerWnd>(grip, nullptr, manager, "", false);
//   SendMessageA(grip, WM_NCHITTEST, 0, 0);   // 17
//   delete a;
#pragma once

#include "skin/windows/vxMainWnd.h"

class TvxSizerWnd : public TvxMainWnd {
    GUI_CLASS(TvxSizerWnd, TvxMainWnd)
    ~TvxSizerWnd() override { Shutdown(); }
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;

private:
    void Paint();
};
