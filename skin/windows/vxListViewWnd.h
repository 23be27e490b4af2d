// The list-view and tree-view adapters, edit adapters (skin/windows/vxEditWnd.h: the skinned
// frame and bars) of "SysListView32" and "SysTreeView32" windows.
//
// TvxListViewWnd gives the list the section's colours (LVM_SETBKCOLOR, LVM_SETTEXTBKCOLOR:
// COLOR, LVM_SETTEXTCOLOR: FONTCOLOR; clWindow and clWindowText in dialog mode) and, in the
// report style, paints its column header ("SysHeader32" child, hooked by handle) itself: every
// item from "COLHEADER" ("BUTTON" when the skin lacks it) in state 2 while pressed (no item hot
// then), 1 while hot, else 0, its text and sort arrow (the "GLYPHMASK" of "SCROLLBTNBOTTOM" for
// HDF_SORTDOWN, of "SCROLLBTNTOP" for HDF_SORTUP); the area right of the last item in state 0.
// A press on a divider leaves no item pressed. A thumb drag of the skinned bars scrolls whole
// item widths in the list style and whole item heights in the report style (LVM_SCROLL).
// An exception in the header's procedure goes to the application (ShowException) and leaves
// the adapter hooked.
//
//   auto* a = CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", true);   // "EDIT"
//   ListView_GetBkColor(list);     // EDIT's COLOR after the first paint
//   delete a;                      // colours, header and theme given back
//
// TvxTreeViewWnd paints the background itself with the section's HOTCOLOR (TVM_SETBKCOLOR too;
// clWindow in dialog mode) and gives the tree clWindow back when it goes.
#pragma once

#include "skin/windows/vxEditWnd.h"

class TvxListViewWnd : public TvxEditWnd {
    GUI_CLASS(TvxListViewWnd, TvxEditWnd)
    ~TvxListViewWnd() override;

    HWND HeaderWnd = nullptr;           // the hooked header, none when there is none
    bool HeaderInstance = false;        // the header hook may be made (until the skin goes)
    WNDPROC HeaderOldProc = nullptr;    // the header's procedure before the hook
    int PressedItem = -1, HotItem = -1; // header items, -1 none

    // The view: 0 icon, 1 small icon, 2 list, 3 report.
    int ViewStyle() const;
    // The header's procedure while it is hooked.
    void HeaderWndProc(TMessage& m);
    // The whole header into dc (0: every item into the header's own DC).
    void PaintHeader(HDC dc);
    // One item (index -2: the area right of the last one) into r of dc.
    void PaintHeaderItem(const RECT& r, int index, HDC dc);
    // The rectangle of the item shown at a display position.
    void GetHeaderItemRect(int position, RECT& r) const;

    void AfterCreation() override;
    void BeforeRemove() override;
    void SetNeedsRepaint() override;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxEditWnd::TvxEditWnd;
    void Start(const std::string& section, bool repaint) override;

private:
    void HookHeader(HWND header);
    void UnhookHeader();
    void ThumbTrack(TMessage& m);
    // The display position under a point of the screen, -2 for none.
    int PositionAt(POINT screen) const;
};

class TvxTreeViewWnd : public TvxEditWnd {
    GUI_CLASS(TvxTreeViewWnd, TvxEditWnd)
    ~TvxTreeViewWnd() override;
    void BeforeRemove() override;
    void SetNeedsRepaint() override;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxEditWnd::TvxEditWnd;

private:
    // The section's HOTCOLOR (clWindow in dialog mode).
    TColor Background() const;
};
