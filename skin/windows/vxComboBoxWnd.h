// TvxComboBoxWnd: the adapter of combo box windows (classes "combobox" and "comboboxex32"). The
// combo box paints itself first; then the frame (3 pixels) comes from the link's cache and the
// drop-down button from the skin's "COMBOBTN" section with the arrow glyph of "COMBOBOX" over
// it, in state 2 while the drop-down list is visible, 1 while the link is active or the window
// is the manager's hot control, else 0. The drop-down list gets its own adapter
// (TvxComboListWnd, section "EDIT") at its first WM_CTLCOLORLISTBOX, which is answered with the
// skin's list colours and a brush the adapter keeps until it is freed.
//
//   auto* a = CreateAdapter<TvxComboBoxWnd>(combo, nullptr, manager, "COMBOBOX", true);
//   SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);  // the list adapter is made, the button pressed
//   delete a;                                       // list adapter and brush go with it
#pragma once

#include <string>

#include "skin/windows/vxEditWnd.h"

// The text of a combo box's item, read whole whatever its length; empty for an index the box
// does not have.
std::string ComboItemText(HWND combo, int index);
// The skin's drop-down button into r of bmp in a state (0, 1, 2): the "COMBOBTN" section over
// background (what bmp showed: its transparent parts let that through), then one frame of the
// combo arrow, centred in r across and in the control's height. Without the section the
// background stays; without the arrow none is drawn.
void PaintComboButton(TBitmap* bmp, TBitmap* background, const RECT& r, int state, const TsSkinManager* manager,
                      int controlHeight);
// The frame height of the skin's combo arrow; 16 without one.
int ComboArrowHeight(const TsSkinManager* manager);

class TvxComboBoxWnd : public TvxEditWnd {
    GUI_CLASS(TvxComboBoxWnd, TvxEditWnd)
    ~TvxComboBoxWnd() override;

    // The frame of the combo box painted from the cache.
    static constexpr int FrameWidth = 3;

    HWND ListWnd = nullptr;                 // the drop-down list, from its first WM_CTLCOLORLISTBOX on
    TvxComboListWnd* ListAdapter = nullptr; // the list's adapter, made with ListWnd

    // The button in window coordinates: SM_CXVSCROLL wide for the drop-down styles (none for
    // the simple style), 2 pixels from the right edge (from the left for right-to-left
    // reading), from y 2 to the height - 2.
    virtual RECT GetButtonRect() const;
    // The button's state (0, 1, 2) and the button painted into a DC of the whole window.
    int ButtonState() const;
    void PaintButton(HDC dc);
    void RepaintButton();
    // The current item's text (the window text without one) into the cache's edit area.
    void PaintEditText();
    // The cache of a simple-style combo box: the edit part's height (item height + 8).
    void PrepareSimpleCache();
    // The frame height of the skin's combo arrow; 16 without one.
    int ArrowGlyphHeight() const;

    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxEditWnd::TvxEditWnd;
    // The button's rectangle for a button of that width (0: none) at its place.
    RECT ButtonRectOfWidth(int width) const;

private:
    int ComboStyle() const;
    void Paint(TMessage& m);
    void PrintCombo(TMessage& m);
    void ListColors(TMessage& m);
    // The brush of the list's colours (deleted with the adapter).
    HBRUSH listBrush_ = nullptr;
};

// TvxWWComboBoxWnd: the combo adapter of the wwEdit kind, made for the control itself (the
// link's owner control). Its drop-down button is SM_CXVSCROLL wide unless the control is a
// TComboBox (that class exactly) whose Style is neither csDropDown nor csDropDownList: then it
// has none (width 0).
class TvxWWComboBoxWnd : public TvxComboBoxWnd {
    GUI_CLASS(TvxWWComboBoxWnd, TvxComboBoxWnd)
    bool ShowButton = true;
    RECT GetButtonRect() const override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxComboBoxWnd::TvxComboBoxWnd;
    void AfterCreation() override;
};
