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
#pragma once

#include "gui/ListCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsAlphaListBox : public TsLinkedControl<TListBox, 97> {
    GUI_CLASS(TsAlphaListBox, TListBox)
    explicit TsAlphaListBox(TComponent* owner) : TsLinkedControl(owner) {}

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
};

class TsListBox : public TsAlphaListBox {
    GUI_CLASS(TsListBox, TsAlphaListBox)
    explicit TsListBox(TComponent* owner) : TsAlphaListBox(owner) {}
};
