// The adapters of static windows: TvxStaticWnd (texts), TvxIconWnd (icons and bitmaps) and
// TvxLinkWnd (link windows). Their creator gives the section (the dialog hook: "CHECKBOX").
// The content is painted when the window is erased, over the parent's background: the text in
// the section's font colour (DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP, DT_RIGHT with
// WS_EX_RIGHT), the window's bitmap (STM_GETIMAGE) or icon (STM_GETICON) at (0, 0), a link's
// text without its "<A>" and "</A>" marks in the system's status font, underlined. A static
// with WS_TABSTOP or WS_EX_STATICEDGE (a link window: only WS_EX_STATICEDGE) keeps its own
// painting.
//
//   auto* a = CreateAdapter<TvxStaticWnd>(label, nullptr, manager, "CHECKBOX", false);
//   SetWindowTextA(label, "Summe");   // the text read again, the window redrawn
//   delete a;
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/Graphics.h"
#include "skin/windows/vxMainWnd.h"

class TvxStaticWnd : public TvxMainWnd {
    GUI_CLASS(TvxStaticWnd, TvxMainWnd)
    ~TvxStaticWnd() override { Shutdown(); }
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    // The window keeps its own painting.
    virtual bool LeftAlone() const;
    // The content into the cache (its canvas), over the parent's background.
    virtual void DrawContent(TCanvas& canvas);
    // The parent's background and the content into the DC (0: the window's own), at (0, 0).
    void PaintStatic(HDC dc);
    // The window's own procedure (a new text read again), then the cache flagged and the window
    // redrawn at once.
    void PassAndRedraw(TMessage& m);
};

class TvxIconWnd : public TvxStaticWnd {
    GUI_CLASS(TvxIconWnd, TvxStaticWnd)
    // Not an SS_ICON static: it shows a bitmap.
    bool IsBitmap = false;
    // The window's bitmap, copied at the first paint.
    std::unique_ptr<TBitmap> Bitmap;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxStaticWnd::TvxStaticWnd;
    void AfterCreation() override;
    void DrawContent(TCanvas& canvas) override;
};

class TvxLinkWnd : public TvxStaticWnd {
    GUI_CLASS(TvxLinkWnd, TvxStaticWnd)
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxStaticWnd::TvxStaticWnd;
    bool LeftAlone() const override;
    void DrawContent(TCanvas& canvas) override;
};

// The text of a link window as it shows: every "<A>" and "</A>" (in any case) taken out.
std::string LinkText(const std::string& text);
// The system's status font (SPI_GETNONCLIENTMETRICS); false when the system does not answer.
bool SystemStatusFont(LOGFONTA& font);
