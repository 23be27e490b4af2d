// List boxes and combo boxes. Their Items keep one object reference per entry (not owned).
#pragma once

#include <functional>

#include "gui/StdCtrls.h"

class TListBox;
class TComboBox;

// The entries of a list or combo box, kept in its window (and in a list until it has one).
class TListItems : public TStrings {
    GUI_CLASS(TListItems, TStrings)
    TListItems(TWinControl& owner, bool combo) : owner_(owner), combo_(combo) {}
    int Count() const override;
    std::string Get(int index) const override;
    TObject* Objects(int index) const override;
    void SetObject(int index, TObject* o) override;
    void Insert(int index, const std::string& s) override;
    // A list box window that refuses the line raises EOutOfResources "Zeile kann nicht
    // eingefügt werden".
    void InsertObject(int index, const std::string& s, TObject* o) override;
    void Delete(int index) override;
    void Clear() override;
    // Moves the stored entries into the window once it exists.
    void Flush();
    // Keeps the window's entries before the window goes (they come back with Flush).
    void TakeBack();

protected:
    UINT Msg(UINT listMsg, UINT comboMsg) const { return combo_ ? comboMsg : listMsg; }
    HWND Wnd() const;

private:
    TWinControl& owner_;
    bool combo_;
    TStringList pending_;
};

// lbStandard: the window draws its lines; the owner-draw styles draw them through OnDrawItem
// (DrawItem); the virtual styles keep no lines at all: the window knows only their number
// (SetCount) and asks OnData for a line's text when it is drawn or searched.
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// Selected, focused, disabled, ... (ODS_* of the draw-item record).
using TOwnerDrawState = UINT;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const RECT& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
using TLBGetDataEvent = std::function<void(TWinControl* Control, int Index, std::string& Data)>;
using TLBGetDataObjectEvent = std::function<void(TWinControl* Control, int Index, TObject*& DataObject)>;
using TLBFindDataEvent = std::function<int(TWinControl* Control, const std::string& FindString)>;

// The lines of a list box, kept in its window. BeginUpdate/EndUpdate (outermost pair) tell the
// list box (TListBox::SetUpdateState). For the virtual styles the texts, objects and searches
// come from the list box's OnData, OnDataObject and OnDataFind.
class TListBoxStrings : public TListItems {
    GUI_CLASS(TListBoxStrings, TListItems)
    explicit TListBoxStrings(TListBox& listBox);
    std::string Get(int index) const override;
    TObject* Objects(int index) const override;
    int IndexOf(const std::string& s) const override;
    void BeginUpdate() override;
    void EndUpdate() override;

private:
    TListBox& listBox_;
    int updates_ = 0;
};

class TListBox : public TWinControl {
    GUI_CLASS(TListBox, TWinControl)
    explicit TListBox(TComponent* owner);
    TStrings& Items() { return items_; }
    // The lines of another list; a virtual style gives way to its stored counterpart first
    // (lbVirtual to lbStandard, lbVirtualOwnerDraw to lbOwnerDrawFixed).
    void SetItems(const TStrings& lines);
    // The lines; for the virtual styles the number set with SetCount.
    int Count() const { return IsVirtual() ? virtualCount_ : items_.Count(); }
    // Virtual styles only: the number of lines (LB_SETCOUNT). Another style raises
    // EInvalidOperation "Listbox (<Name>) style must be virtual in order to set Count"; a window
    // that refuses it, "Error setting <Name>.Count".
    void SetCount(int count);
    void Clear() { items_.Clear(); }
    TListBoxStyle Style() const { return style_; }
    // A change makes the window anew; a virtual style empties the lines and ends Sorted.
    void SetStyle(TListBoxStyle style);
    bool IsVirtual() const { return style_ == lbVirtual || style_ == lbVirtualOwnerDraw; }
    bool IsOwnerDraw() const
    {
        return style_ == lbOwnerDrawFixed || style_ == lbOwnerDrawVariable || style_ == lbVirtualOwnerDraw;
    }
    // With multiple selection: Shift and Ctrl extend it (LBS_EXTENDEDSEL), else each click
    // toggles a line (LBS_MULTIPLESEL). True at first.
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool on);
    void SetMultiSelect(bool on);
    void SetSorted(bool on);
    // False (the default): the window's height is kept as set, a line may show in part.
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool on);
    // Tab stops every TabWidth dialog units (0: the window's own); negative values are 0.
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    // bsSingle: a sunken edge; bsNone: none.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TLBGetDataEvent OnData;
    TLBGetDataObjectEvent OnDataObject;
    TLBFindDataEvent OnDataFind;
    // Told by the lines at the start (true) and end (false) of the outermost update: the
    // window holds back drawing meanwhile and is drawn anew at the end.
    virtual void SetUpdateState(bool updating);
    // The caret entry of a multiple-selection box, else the selected entry; -1 for none.
    int ItemIndex() const;
    virtual void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect_; }
    int SelCount() const;
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int TopIndex() const;
    void SetTopIndex(int index);
    // Multiple selection: every line unselected; single: no item index.
    void ClearSelection();
    void AddItem(const std::string& item, TObject* o) { items_.AddObject(item, o); }
    // The entry at a client point; -1 outside the client area; below the last entry -1 when
    // `existing` is set, else the entry count.
    int ItemAtPos(POINT p, bool existing) const;
    // A line's rectangle; for index = Count (> 0) the one just below the last line; empty beyond.
    RECT ItemRect(int index) const;
    bool Sorted() const { return sorted_; }
    // Columns > 0: a list of that many columns side by side, each a share of the width; the
    // entries fill one column top to bottom, then the next.
    int Columns() const { return columns_; }
    void SetColumns(int n);
    // The height of an entry in pixels (0 before the window exists: the font's).
    int ItemHeight() const;
    void SetItemHeight(int h);
    TNotifyEvent OnChange; // selection changed by the user
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& m) override;
    bool UsesOwnColors() const override { return color_ != clWindow || font_.Color() != clWindowText; }
    // The width of a column of a column list (Columns > 0), with a window.
    virtual void ApplyColumnWidth();
    // Owner drawing: the height of a line of lbOwnerDrawVariable (OnMeasureItem).
    virtual void MeasureItem(int index, int& height);
    // One line: OnDrawItem, else the rectangle filled and the text 2 pixels in from the left
    // (from the right when reading right to left); a focused line gets a focus rectangle.
    virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
    // The canvas owner-drawn lines are drawn on (its DC only during a draw).
    TCanvas& ItemCanvas() { return canvas_; }
    // The text of a line (OnData for the virtual styles).
    std::string LineText(int index);
    // A property change that needs a new window (not while loading).
    void StyleChanged();

private:
    friend class TListBoxStrings;
    TListBoxStrings items_;
    TCanvas canvas_;
    TListBoxStyle style_ = lbStandard;
    TBorderStyle borderStyle_ = bsSingle;
    bool extendedSelect_ = true, integralHeight_ = false;
    int tabWidth_ = 0;
    int virtualCount_ = 0;
    bool multiSelect_ = false, sorted_ = false;
    int columns_ = 0;
    int itemHeight_ = 0;
    int pendingIndex_ = -1;
    int topIndex_ = 0; // the first entry shown, kept over a new window
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
    GUI_CLASS(TComboBox, TWinControl)
    explicit TComboBox(TComponent* owner);
    TStrings& Items() { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    // The lines the drop-down list shows at most (8 at first).
    int DropDownCount() const { return dropDownCount_; }
    virtual void SetDropDownCount(int count) { dropDownCount_ = count; }
    TNotifyEvent OnChange;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& m) override;
    bool UsesOwnColors() const override { return color_ != clWindow || font_.Color() != clWindowText; }

private:
    TListItems items_;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int pendingIndex_ = -1;
    bool sorted_ = false;
};
