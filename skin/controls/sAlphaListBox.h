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
#pragma once

#include <windows.h>

#include <string>

#include "gui/ListCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TvxEditWnd;

class TsAlphaListBox : public TsLinkedControl<TListBox, 97> {
    GUI_CLASS(TsAlphaListBox, TListBox)
    explicit TsAlphaListBox(TComponent* owner) : TsLinkedControl(owner) {}
    ~TsAlphaListBox() override;

    bool AutoComplete = true;
    int AutoCompleteDelay = 500;
    // The adapter that skins the border and the bars, or none.
    TvxEditWnd* ScrollAdapter() const { return adapter_; }
    // The entries of a virtual box; the box is never virtual here, so this raises
    // EInvalidOperation "Listbox (<Name>) style must be virtual in order to set Count".
    void SetCount(int count);

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
    void CreateWnd() override;

private:
    void ApplySkinColumnWidth();
    void RefreshAdapter();
    void FreeAdapter();
    // A typed character: true when it was taken for the search.
    bool SearchKey(char key);
    TvxEditWnd* adapter_ = nullptr;
    std::string typed_;
    DWORD lastKey_ = 0;
};

class TsListBox : public TsAlphaListBox {
    GUI_CLASS(TsListBox, TsAlphaListBox)
    explicit TsListBox(TComponent* owner) : TsAlphaListBox(owner) {}
};
