// The panel adapters: TvxPanelWnd for a class-library panel named in the manager's panel list,
// TvxDlgPanelWnd for a panel or sub-dialog inside a skinned standard dialog, TvxTransPanelWnd
// for a child dialog or a folder-browser pane that shows its parent's background. Each paints
// its interior from the link's cache (the section over the parent's background, the caption
// centred) on WM_ERASEBKGND and its border from the same cache in the non-client area.
//
// A panel adapter without a section takes it from the panel's bevels (PanelSectionOf):
//
//   auto* a = CreateAdapter<TvxPanelWnd>(panel->Handle(), &link, nullptr, "", true);
//   //  bvRaised/bvLowered -> "GROUPBOX", bvRaised alone -> "PANEL", bvNone + bsNone -> "CHECKBOX"
//   delete a;                        // the panel paints itself again
//
// A panel window whose link has no windowed owner control is left to the base adapter.
#pragma once

#include <string>

#include "skin/windows/vxContainerUtils.h"
#include "skin/windows/vxMainWnd.h"

// The section a panel takes by its BevelOuter, BevelInner and BorderStyle (published by name):
// lowered outside: "GROUPBOX" with a raised inner bevel, else "PANEL_LOW"; raised outside:
// "GROUPBOX" with a lowered inner bevel, else "PANEL"; no outer bevel: "PANEL_LOW" with a
// single border, else "CHECKBOX". A control without those properties counts as bvNone, bsNone.
std::string PanelSectionOf(TObject* panel);

class TvxPanelWnd : public TvxMainWnd {
    GUI_CLASS(TvxPanelWnd, TvxMainWnd)
    ~TvxPanelWnd() override;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    void Start(const std::string& section, bool repaint) override;
    // The owner control when it is a windowed control (it can hold children), else none.
    TWinControl* Container() const;
    // The interior (section, caption, graphic children) into dc (0: the window's DC).
    void PaintInterior(HDC dc);
    // The link's cache, rebuilt when flagged, partly visible or of another size than the
    // window: the section in state 0 over the parent's background, the caption centred inside
    // the bevels and borders.
    void PrepareCache(bool rebuild);
};

class TvxDlgPanelWnd : public TvxMainWnd {
    GUI_CLASS(TvxDlgPanelWnd, TvxMainWnd)
    ~TvxDlgPanelWnd() override;
    void WndProc(TMessage& m) override;

    // The class-library control found for the window among the top-level window's controls,
    // or none.
    TWinControl* Ctrl = nullptr;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    // The section is always "CHECKBOX" for a control of class "TPanel", else "GROUPBOX".
    void Start(const std::string& section, bool repaint) override;

private:
    void PaintInterior(HDC dc);
    // Ctrl's Color := the manager's global colour (when it differs).
    void GiveGlobalColor();
};

class TvxTransPanelWnd : public TvxMainWnd {
    GUI_CLASS(TvxTransPanelWnd, TvxMainWnd)
    ~TvxTransPanelWnd() override;
    void WndProc(TMessage& m) override;
    // The cache (the parent's background) over the whole window, the group boxes' frames and
    // captions left out.
    virtual void Paint();

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
};
