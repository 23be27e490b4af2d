// TsAlphaListBox and TsListBox: the skinned list boxes (the register window's product list
// ProdListSel, single selection, and its month list MonthList, two columns, multiple
// selection). TsAlphaListBox is a TListBox in every respect, with the operations the register
// window uses under these names; TsListBox is a TsAlphaListBox without further behaviour. A
// form description names either class:
//
//   object ProdListSel: TsListBox
//     ItemHeight = 15
//     OnMouseMove = ProdListSelMouseMove
//   end
//   object MonthList: TsListBox
//     Columns = 2
//     MultiSelect = True
//   end
//
// Items: the entries with one object reference each (not owned): AddObject, Objects(i), [i],
// Delete(i), Clear, Text.
//
// While the skin is active the box's border and scroll bars are skinned by an edit-window
// adapter (TvxEditWnd, skin/windows/vxEditWnd.h) on its window, made when the box shows or the
// skin is refreshed (command 3) and freed when the skin goes (command 2: the box is then
// clWindow on clWindowText unless its colours are custom). Typed characters search the entries
// (AutoComplete): the characters typed within AutoCompleteDelay ms (500) of each other form a
// prefix, and the first entry starting with it becomes the item index; backspace takes the last
// character back. With Columns, each column is (Width + Columns - 3) div Columns pixels wide.
//
// Lines drawn by the box itself (owner-draw styles without OnDrawItem, and every line in
// printing) show the selected line, and the item index of an unfocused box, in clHighlightText
// on clHighlight; the others in the font colour, or halfway between font colour and Color
// while the box is disabled (unless SkinData.CustomFont). While the skin engine locks
// repainting (RepaintLocked), the box does not paint. WM_PRINT into the engine's print DC
// (PrintDC) paints the box's lines, from the last to the first, 2 pixels in from the edge
// (while the bars are skinned, their adapter answers WM_PRINT first and paints the box through
// WM_PAINT).
// BoundLabel, a caption label beside or above the box (sBoundLabel.h), follows it like an
// edit's.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/ListCtrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLinkedControl.h"

class TvxEditWnd;

class TsAlphaListBox : public TsLinkedControl<TListBox, 97> {
    GUI_CLASS(TsAlphaListBox, TListBox)
    explicit TsAlphaListBox(TComponent* owner);
    ~TsAlphaListBox() override;

    bool AutoComplete = true;
    int AutoCompleteDelay = 500;
    // False shows the bars disabled rather than hiding them when there is nothing to scroll.
    bool AutoHideScroll() const { return autoHideScroll_; }
    void SetAutoHideScroll(bool on);
    // dkBlended, dkGrayed (skin/engine/sSectionPaint.h); [dkBlended] at first.
    unsigned DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(unsigned kinds) { disabledKind_ = kinds; }
    TsBoundLabel& BoundLabel() { return *boundLabel_; }
    // The adapter that skins the border and the bars, or none.
    TvxEditWnd* ScrollAdapter() const { return adapter_; }
    // The width the horizontal bar scrolls over (LB_SETHORIZONTALEXTENT); 0: none.
    int ScrollWidth() const;
    void SetScrollWidth(int width);
    // Holds back painting (SkinData.Updating) for the lines' update; its end repaints.
    void SetUpdateState(bool updating) override;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;

    // The number of entries.
    int GetCount() const { return Count(); }
    // The caret entry of a multiple-selection box, else the selected entry; -1 for none.
    int GetItemIndex() const { return ItemIndex(); }
    // The number of selected entries (multiple selection).
    int GetSelCount() const { return SelCount(); }
    // Whether entry i is selected; an index outside the list raises EStringListError
    // "Listenindex überschreitet das Maximum (<i>)".
    bool GetSelected(int index) const { return Selected(index); }
    // A different index moves the caret (multiple selection) or the selection there, then the
    // entry that was current before is repainted at once. The same index does nothing.
    void SetItemIndex(int index) override;
    // ItemAtPos(point, existing) (inherited): the entry whose rectangle holds the client point,
    // searched from the top visible entry; -1 for a point outside the client area; where no
    // entry holds it, -1 when existing is set, else the entry count.

protected:
    void WndProc(TMessage& m) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ApplyColumnWidth() override;

private:
    // The skinned answers; false when the message is dropped (nothing follows it then).
    bool SkinnedWndProc(TMessage& m);
    void DrawItemMessage(const DRAWITEMSTRUCT& draw);
    // One line drawn into dc by the box's own drawing (printing).
    void RepaintItem(int index, HDC dc);
    void Print(HDC dc);
    void RefreshAdapter();
    void FreeAdapter();
    // A typed character: true when it was taken for the search.
    bool SearchKey(char key);
    TvxEditWnd* adapter_ = nullptr;
    std::unique_ptr<TsBoundLabel> boundLabel_;
    unsigned disabledKind_;
    bool autoHideScroll_ = true;
    int scrollWidth_ = 0;
    bool activateLabel_ = false; // a description asks for the bound label
    std::string typed_;
    DWORD lastKey_ = 0;
};

class TsListBox : public TsAlphaListBox {
    GUI_CLASS(TsListBox, TsAlphaListBox)
    explicit TsListBox(TComponent* owner) : TsAlphaListBox(owner) {}
};
