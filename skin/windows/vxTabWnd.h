// The adapters of tab controls ("SysTabControl32" windows) and their pages. TvxTabControlWnd
// paints the whole control itself: the strip of the tabs over the parent's background, every
// tab but the selected one in state 0 into the link's cache, row after row from row 1, the body
// (the page frame) with "PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT" or
// "PAGECONTROLRIGHT" by the tab position ("CHECKBOX" without tabs), then the selected tab in
// state 2 over the copied cache. Tabs take "TABTOP", "TABBOTTOM", "TABLEFT" or "TABRIGHT" (the
// manager's fixed tab indexes); TCS_BUTTONS tabs take "TOOLBUTTON", TCS_FLATBUTTONS ones
// "BUTTON". There is no hot tab. The text of left tabs runs upwards, that of right tabs
// downwards. A scroller of the tabs ("msctls_updown32" child) gets a TvxSpinWnd with
// "UPDOWNBTN".
//
//   auto* tabs = CreateAdapter<TvxTabControlWnd>(tab, nullptr, manager, "", true);  // PAGECONTROL
//   auto* pages = CreateAdapter<TvxPageControlWnd>(tab, nullptr, manager, "", true);
//   // every direct child window of the page control gets a TvxPageWnd ("CHECKBOX"), kept in
//   // PageAdapterList until the module ends (FreePageAdapters)
//
// A skin without "TABTOP" (or with it at section index 0) or without the border image of the
// tab style draws no tab backgrounds; images and texts are still drawn.
#pragma once

#include <memory>
#include <vector>

#include "skin/windows/vxMainWnd.h"

class TvxSpinWnd;
class TvxPageWnd;

// Where the tabs of a tab control lie, from its style.
enum TvxTabPosition { tpTop = 0, tpBottom = 1, tpLeft = 2, tpRight = 3 };
TvxTabPosition TabPositionOf(HWND tabControl);

// The page adapters made by the page-control adapters (the module owns them).
std::vector<TvxPageWnd*>& PageAdapterList();
// Frees every page adapter, first to last, and empties the list (the module's end).
void FreePageAdapters();

class TvxTabControlWnd : public TvxMainWnd {
    GUI_CLASS(TvxTabControlWnd, TvxMainWnd)
    ~TvxTabControlWnd() override;
    void WndProc(TMessage& m) override;

    std::unique_ptr<TvxSpinWnd> SpinWnd; // the tab scroller's adapter, or none

    // The window rectangle (0, 0, W, H) through TCM_ADJUSTRECT, its top moved down 2.
    virtual RECT DisplayRect() const;
    // The window rectangle with its tab side cut at the tab row (the whole one without tabs).
    virtual RECT PageFrameRect() const;
    // The part of the window outside the page frame.
    RECT TabArea() const;
    // The row (from 1) a tab lies in.
    int TabRow(int index) const;
    // The tab's rectangle as painted: empty outside the tabs or without a selection.
    RECT TabRect(int index, bool selected) const;
    // The whole control into dc (0 or !useGivenDC: a DC of its own).
    void Paint(HDC dc, bool useGivenDC);
    // The tab strip and the unselected tabs into the cache.
    void DrawTabs();
    // One tab into target, offset moving the control's coordinates into the target's.
    void DrawTab(int index, int state, TBitmap* target, POINT offset);
    void DrawSelectedTab(int index, int state, HDC dc);
    // The scroller's adapter made again (none without the scroller).
    void ReattachScroller();

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    void Start(const std::string& section, bool repaint) override;
    int TabCount() const;
    int Selection() const;
    // The window rectangle cut at the tab row: the page frame (frame) or the tab strip.
    RECT CutAtTabRow(bool frame) const;
    // Skin commands handled alike by the tab and the page-control adapters; false for others.
    bool HandleTabCommand(TMessage& m);
    // The tab style's section and border image for a tab (-1 when missing).
    void TabSection(int& section, int& border) const;
};

class TvxPageControlWnd : public TvxTabControlWnd {
    GUI_CLASS(TvxPageControlWnd, TvxTabControlWnd)
    ~TvxPageControlWnd() override;
    void WndProc(TMessage& m) override;
    // A TvxPageWnd for each direct child window that the manager may skin and that is not
    // skinned yet.
    void AttachPageAdapters();

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxTabControlWnd::TvxTabControlWnd;
    void Start(const std::string& section, bool repaint) override;
};

// A page of a page control: it shows its parent's background under it, and answers its
// children's background query from the parent's, moved by its place in the parent.
class TvxPageWnd : public TvxMainWnd {
    GUI_CLASS(TvxPageWnd, TvxMainWnd)
    ~TvxPageWnd() override;
    void WndProc(TMessage& m) override;
    void Paint(HDC dc);

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
};
