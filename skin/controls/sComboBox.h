// TsComboBox: the skinned combo box of the skin selection window. A TComboBox in every respect:
// its item list (cleared, then filled), its selected index (below 0 while nothing is
// selected), its text, its enabled state and its OnChange event (a selection by the user, not
// one made by code). A form description names it "TsComboBox".
//
// Its skin link (SkinData, control kind 3, section "COMBOBOX") draws it while skinned:
// - the whole control comes from a cache bitmap: the section over the parent's background
//   (normal, or active while focused or under the mouse), the drop-down button from "COMBOBTN"
//   with the skin's arrow (state 2 while dropped down, 1 while active, else 0) at x = Width -
//   SM_CXVSCROLL - 3 (2 with right-to-left alignment), and the current text in the edit area,
//   on clHighlight inside a focus rectangle while a drop-down list has the focus;
// - the drop-down list gets a skinned list adapter ("EDIT") only when it holds more items than
//   DropDownCount (16 here); skin command 14 answers 1 while the list is dropped down;
// - hot tracking with glow while the list is closed; BoundLabel follows the control;
// - removing the skin gives the combo a new window (items, text, ItemIndex and events kept) in
//   clWindow / clWindowText unless the colours are custom.
// ReadOnly (skinned or not) keeps the value: no drop-down by mouse or keyboard, no typing, no
// cut, paste, clear or undo; the control still takes the focus.
//
//   combo->SetReadOnly(true);
//   SendMessageA(combo->Handle(), WM_SYSKEYDOWN, VK_DOWN, 1 << 29);   // stays closed
#pragma once

#include <memory>

#include "gui/ListCtrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLinkedControl.h"

class TvxComboListWnd;

class TsCustomComboBox : public TsLinkedControl<TComboBox, 3> {
    GUI_CLASS(TsCustomComboBox, TComboBox)
    explicit TsCustomComboBox(TComponent* owner);
    ~TsCustomComboBox() override;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    unsigned AutoCompleteDelay() const { return autoCompleteDelay_; }
    void SetAutoCompleteDelay(unsigned ms) { autoCompleteDelay_ = ms; }
    // dkBlended, dkGrayed (skin/engine/sSectionPaint.h); [dkBlended] at first.
    unsigned DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(unsigned kinds);
    TsBoundLabel& BoundLabel() { return *boundLabel_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    void SetDropDownCount(int count) override;

    // The list is dropped down (between CBN_DROPDOWN and CBN_CLOSEUP).
    bool ButtonPressed() const { return buttonPressed_; }
    // The drop-down button in client coordinates (empty for csSimple).
    RECT ButtonRect() const;
    // The adapter of the drop-down list, none while it is not attached.
    TvxComboListWnd* ListAdapter() const { return listAdapter_; }

    // The whole skinned look into the link's cache bitmap.
    void PrepareCache();
    // The cache (or the parts the edit child does not paint) onto dc; 0: the window DC.
    void PaintControl(HDC dc);

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;

protected:
    void WndProc(TMessage& m) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    friend LRESULT CALLBACK ComboChildProc(HWND, UINT, WPARAM, LPARAM);
    // The messages of the edit child (and of a simple combo's list); true when taken.
    bool ChildMessage(HWND child, TMessage& m);
    // ReadOnly's filter of the combo's own messages; true when the message is dropped.
    bool ReadOnlyDrops(TMessage& m);
    bool SkinnedWndProc(TMessage& m);
    void MouseEnterLeave(TMessage& m);
    void PaintButton();
    void PaintEditText();
    int State() const;
    bool FocusedLook();
    void TakeSectionColors();
    void SetMinVisible();
    void FreeListAdapter();
    void FollowBoundLabel(const TMessage& m);

    TAlignment alignment_ = taLeftJustify;
    unsigned autoCompleteDelay_ = 500;
    unsigned disabledKind_;
    bool readOnly_ = false;
    bool buttonPressed_ = false;
    bool showButton_ = true;
    bool activateLabel_ = false;
    HWND listWnd_ = nullptr;
    TvxComboListWnd* listAdapter_ = nullptr;
    std::unique_ptr<TsBoundLabel> boundLabel_;
};

class TsComboBox : public TsCustomComboBox {
    GUI_CLASS(TsComboBox, TsCustomComboBox)
    explicit TsComboBox(TComponent* owner) : TsCustomComboBox(owner) {}
};
