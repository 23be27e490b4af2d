// List boxes and combo boxes. Their Items keep one object reference per entry (not owned).
#pragma once

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
    void InsertObject(int index, const std::string& s, TObject* o) override;
    void Delete(int index) override;
    void Clear() override;
    // Moves the stored entries into the window once it exists.
    void Flush();
    // Keeps the window's entries before the window goes (they come back with Flush).
    void TakeBack();

private:
    UINT Msg(UINT listMsg, UINT comboMsg) const { return combo_ ? comboMsg : listMsg; }
    HWND Wnd() const;
    TWinControl& owner_;
    bool combo_;
    TStringList pending_;
};

class TListBox : public TWinControl {
    GUI_CLASS(TListBox, TWinControl)
    explicit TListBox(TComponent* owner);
    TStrings& Items() { return items_; }
    int Count() const { return items_.Count(); }
    void Clear() { items_.Clear(); }
    // The caret entry of a multiple-selection box, else the selected entry; -1 for none.
    int ItemIndex() const;
    virtual void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect_; }
    int SelCount() const;
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int TopIndex() const;
    // The entry at a client point; -1 outside the client area; below the last entry -1 when
    // `existing` is set, else the entry count.
    int ItemAtPos(POINT p, bool existing) const;
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

private:
    void ApplyColumnWidth();
    TListItems items_;
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
