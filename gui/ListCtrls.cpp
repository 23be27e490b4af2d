#include "gui/ListCtrls.h"

#include <algorithm>

#include "gui/Messages.h"
#include "gui/base/Exceptions.h"
#include "gui/base/SysUtils.h"

// ---- TListItems

HWND TListItems::Wnd() const { return owner_.HandleAllocated() ? owner_.Handle() : nullptr; }

int TListItems::Count() const
{
    HWND w = Wnd();
    return w ? static_cast<int>(SendMessageA(w, Msg(LB_GETCOUNT, CB_GETCOUNT), 0, 0)) : pending_.Count();
}

std::string TListItems::Get(int index) const
{
    HWND w = Wnd();
    if (!w) return pending_.Get(index);
    if (index < 0 || index >= Count()) IndexError(index);
    LRESULT n = SendMessageA(w, Msg(LB_GETTEXTLEN, CB_GETLBTEXTLEN), static_cast<WPARAM>(index), 0);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = SendMessageA(w, Msg(LB_GETTEXT, CB_GETLBTEXT), static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

TObject* TListItems::Objects(int index) const
{
    HWND w = Wnd();
    if (!w) return pending_.Objects(index);
    if (index < 0 || index >= Count()) IndexError(index);
    return reinterpret_cast<TObject*>(
        SendMessageA(w, Msg(LB_GETITEMDATA, CB_GETITEMDATA), static_cast<WPARAM>(index), 0));
}

void TListItems::SetObject(int index, TObject* o)
{
    HWND w = Wnd();
    if (!w) return pending_.SetObject(index, o);
    if (index < 0 || index >= Count()) IndexError(index);
    SendMessageA(w, Msg(LB_SETITEMDATA, CB_SETITEMDATA), static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(o));
}

void TListItems::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TListItems::InsertObject(int index, const std::string& s, TObject* o)
{
    HWND w = Wnd();
    if (!w) {
        pending_.InsertObject(index, s, o);
        return;
    }
    if (index < 0 || index > Count()) IndexError(index);
    bool sorted = GetWindowLongA(w, GWL_STYLE) & (combo_ ? CBS_SORT : LBS_SORT);
    LRESULT at = sorted || index == Count()
                     ? SendMessageA(w, Msg(LB_ADDSTRING, CB_ADDSTRING), 0, reinterpret_cast<LPARAM>(s.c_str()))
                     : SendMessageA(w, Msg(LB_INSERTSTRING, CB_INSERTSTRING), static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(s.c_str()));
    if (at < 0 && !combo_) throw EOutOfResources("Zeile kann nicht eingefügt werden");
    if (at >= 0)
        SendMessageA(w, Msg(LB_SETITEMDATA, CB_SETITEMDATA), static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(o));
}

void TListItems::Delete(int index)
{
    HWND w = Wnd();
    if (!w) return pending_.Delete(index);
    if (index < 0 || index >= Count()) IndexError(index);
    SendMessageA(w, Msg(LB_DELETESTRING, CB_DELETESTRING), static_cast<WPARAM>(index), 0);
}

void TListItems::Clear()
{
    pending_.Clear();
    if (HWND w = Wnd()) SendMessageA(w, Msg(LB_RESETCONTENT, CB_RESETCONTENT), 0, 0);
}

void TListItems::TakeBack()
{
    TStringList kept;
    for (int i = 0; i < Count(); ++i)
        kept.AddObject(Get(i), Objects(i));
    pending_ = kept;
}

void TListItems::Flush()
{
    TStringList stored = pending_;
    pending_.Clear();
    for (int i = 0; i < stored.Count(); ++i)
        AddObject(stored[i], stored.Objects(i));
}

// ---- TListBoxStrings

TListBoxStrings::TListBoxStrings(TListBox& listBox) : TListItems(listBox, false), listBox_(listBox) {}

std::string TListBoxStrings::Get(int index) const
{
    if (!listBox_.IsVirtual()) return TListItems::Get(index);
    std::string text;
    if (listBox_.OnData) listBox_.OnData(&listBox_, index, text);
    return text;
}

TObject* TListBoxStrings::Objects(int index) const
{
    if (!listBox_.IsVirtual()) return TListItems::Objects(index);
    TObject* o = nullptr;
    if (listBox_.OnDataObject) listBox_.OnDataObject(&listBox_, index, o);
    return o;
}

int TListBoxStrings::IndexOf(const std::string& s) const
{
    if (listBox_.IsVirtual()) return listBox_.OnDataFind ? listBox_.OnDataFind(&listBox_, s) : -1;
    HWND w = Wnd();
    if (!w) return TListItems::IndexOf(s);
    return static_cast<int>(
        SendMessageA(w, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str())));
}

void TListBoxStrings::BeginUpdate()
{
    if (updates_++ == 0) listBox_.SetUpdateState(true);
}

void TListBoxStrings::EndUpdate()
{
    if (updates_ > 0 && --updates_ == 0) listBox_.SetUpdateState(false);
}

// ---- TListBox

namespace {
const TIdentEntry kListBoxStyles[] = {{"lbStandard", lbStandard},
                                      {"lbOwnerDrawFixed", lbOwnerDrawFixed},
                                      {"lbOwnerDrawVariable", lbOwnerDrawVariable},
                                      {"lbVirtual", lbVirtual},
                                      {"lbVirtualOwnerDraw", lbVirtualOwnerDraw}};

const TIdentEntry kListBorderStyles[] = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};

void ItemsFromList(TStrings& items, const TPropValue& v)
{
    items.Clear();
    for (const auto& s : v.items)
        items.Add(s);
}
} // namespace

TListBox::TListBox(TComponent* owner) : TWinControl(owner), items_(*this)
{
    width_ = 121;
    height_ = 97;
    color_ = clWindow;
    tabStop_ = true;
}

void TListBox::CreateParams(TCreateParams& p)
{
    static constexpr DWORD styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_OWNERDRAWFIXED,
                                       LBS_OWNERDRAWFIXED};
    TWinControl::CreateParams(p);
    p.className = "LISTBOX";
    p.style |= LBS_NOTIFY | WS_VSCROLL | styles[style_] | (IsVirtual() ? LBS_NODATA : LBS_HASSTRINGS);
    if (!integralHeight_) p.style |= LBS_NOINTEGRALHEIGHT;
    if (multiSelect_) p.style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (sorted_) p.style |= LBS_SORT;
    if (tabWidth_ != 0) p.style |= LBS_USETABSTOPS;
    // Columns: the entries run down a column and on into the next; the list scrolls sideways.
    if (columns_ > 0) p.style = (p.style & ~static_cast<DWORD>(WS_VSCROLL)) | LBS_MULTICOLUMN | WS_HSCROLL;
    if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::StyleChanged()
{
    if (handle_ && !InState(csLoading)) RecreateWnd();
}

void TListBox::SetStyle(TListBoxStyle style)
{
    if (style == style_) return;
    style_ = style;
    if (IsVirtual()) {
        items_.Clear();
        sorted_ = false;
        virtualCount_ = 0;
    }
    if (handle_) RecreateWnd();
}

void TListBox::SetItems(const TStrings& lines)
{
    if (style_ == lbVirtual) SetStyle(lbStandard);
    else if (style_ == lbVirtualOwnerDraw) SetStyle(lbOwnerDrawFixed);
    items_.Assign(lines);
}

void TListBox::SetCount(int count)
{
    if (!IsVirtual()) throw EInvalidOperation("Listbox (" + Name() + ") style must be virtual in order to set Count");
    if (handle_ && SendMessageA(handle_, LB_SETCOUNT, static_cast<WPARAM>(count), 0) < 0)
        throw EInvalidOperation("Error setting " + Name() + ".Count");
    virtualCount_ = count;
}

void TListBox::SetExtendedSelect(bool on)
{
    if (on == extendedSelect_) return;
    extendedSelect_ = on;
    StyleChanged();
}

void TListBox::SetMultiSelect(bool on)
{
    if (on == multiSelect_) return;
    multiSelect_ = on;
    if (handle_) RecreateWnd();
}

void TListBox::SetSorted(bool on)
{
    if (on == sorted_ || (on && IsVirtual())) return;
    sorted_ = on;
    StyleChanged();
}

void TListBox::SetIntegralHeight(bool on)
{
    if (on == integralHeight_) return;
    integralHeight_ = on;
    StyleChanged();
}

void TListBox::SetTabWidth(int width)
{
    width = std::max(0, width);
    if (width == tabWidth_) return;
    tabWidth_ = width;
    StyleChanged();
}

void TListBox::SetBorderStyle(TBorderStyle style)
{
    if (style == borderStyle_) return;
    borderStyle_ = style;
    StyleChanged();
}

void TListBox::SetUpdateState(bool updating)
{
    if (!handle_) return;
    SendMessageA(handle_, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) Invalidate();
}

std::string TListBox::LineText(int index)
{
    if (!IsVirtual()) return index < items_.Count() ? items_.Get(index) : std::string();
    std::string text;
    if (OnData) OnData(this, index, text);
    return text;
}

void TListBox::MeasureItem(int index, int& height)
{
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    if (index < 0) return;
    if (OnDrawItem) {
        canvas_.FillRect(rect);
        OnDrawItem(this, index, rect, state);
        if (state & ODS_FOCUS) DrawFocusRect(canvas_.Handle(), &rect);
        return;
    }
    if (index >= Count()) return;
    canvas_.FillRect(rect);
    RECT text = rect;
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (UseRightToLeftAlignment()) {
        text.right -= 2;
        flags |= DT_RIGHT | DT_RTLREADING;
    } else {
        text.left += 2;
    }
    const std::string line = LineText(index);
    SetBkMode(canvas_.Handle(), TRANSPARENT);
    DrawTextA(canvas_.Handle(), line.c_str(), static_cast<int>(line.size()), &text, flags);
    if (state & ODS_FOCUS) DrawFocusRect(canvas_.Handle(), &rect);
}

void TListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    if (itemHeight_ > 0) SendMessageA(handle_, LB_SETITEMHEIGHT, 0, itemHeight_);
    if (tabWidth_ > 0) SendMessageA(handle_, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabWidth_));
    ApplyColumnWidth();
    if (IsVirtual()) SendMessageA(handle_, LB_SETCOUNT, static_cast<WPARAM>(virtualCount_), 0);
    else items_.Flush();
    if (pendingIndex_ >= 0) SetItemIndex(pendingIndex_);
    if (topIndex_ > 0) SendMessageA(handle_, LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_), 0);
}

void TListBox::DestroyWnd()
{
    pendingIndex_ = ItemIndex();
    topIndex_ = TopIndex();
    if (!IsVirtual()) items_.TakeBack();
    TWinControl::DestroyWnd();
}

void TListBox::WndProc(TMessage& m)
{
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == LBN_SELCHANGE) {
            if (OnChange) OnChange(this);
            Click();
        } else if (HIWORD(m.WParam) == LBN_DBLCLK && OnDblClick) {
            OnDblClick(this);
        }
        return;
    }
    if (m.Msg == WM_LBUTTONDBLCLK) { // the double click arrives as LBN_DBLCLK
        DefaultHandler(m);
        return;
    }
    if (m.Msg == CN_MEASUREITEM) {
        auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        int height = itemHeight_ > 0 ? itemHeight_ : static_cast<int>(measure.itemHeight);
        if (style_ == lbOwnerDrawVariable) MeasureItem(static_cast<int>(measure.itemID), height);
        measure.itemHeight = static_cast<UINT>(std::max(1, height));
        m.Result = 1;
        return;
    }
    if (m.Msg == CN_DRAWITEM) {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
        canvas_.Font() = font_;
        canvas_.Brush().SetColor(color_);
        canvas_.SetHandle(draw.hDC);
        const bool selected = (draw.itemState & ODS_SELECTED) != 0;
        if (static_cast<int>(draw.itemID) >= 0 && selected) {
            canvas_.Brush().SetColor(clHighlight);
            canvas_.Font().SetColor(clHighlightText);
        }
        DrawItem(static_cast<int>(draw.itemID), draw.rcItem, draw.itemState);
        canvas_.SetHandle(nullptr);
        m.Result = 1;
        return;
    }
    TWinControl::WndProc(m);
    if (m.Msg == WM_SIZE) ApplyColumnWidth();
}

void TListBox::ApplyColumnWidth()
{
    if (handle_ && columns_ > 0)
        SendMessageA(handle_, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(ClientWidth() / columns_), 0);
}

void TListBox::SetColumns(int n)
{
    if (n == columns_) return;
    const bool recreate = (n == 0) != (columns_ == 0);
    columns_ = n;
    if (!handle_) return;
    if (recreate) RecreateWnd();
    else ApplyColumnWidth();
}

void TListBox::SetItemHeight(int h)
{
    if (h <= 0) return;
    itemHeight_ = h;
    if (handle_) {
        SendMessageA(handle_, LB_SETITEMHEIGHT, 0, h);
        Invalidate();
    }
}

int TListBox::ItemHeight() const
{
    if (!handle_) return itemHeight_;
    return static_cast<int>(SendMessageA(handle_, LB_GETITEMHEIGHT, 0, 0));
}

int TListBox::ItemIndex() const
{
    if (!handle_) return pendingIndex_;
    if (multiSelect_) return Count() ? static_cast<int>(SendMessageA(handle_, LB_GETCARETINDEX, 0, 0)) : -1;
    return static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index)
{
    pendingIndex_ = index;
    if (!handle_ || ItemIndex() == index) return;
    if (multiSelect_) SendMessageA(handle_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    else SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TListBox::SelCount() const
{
    if (!handle_) return 0;
    if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
    return static_cast<int>(SendMessageA(handle_, LB_GETSELCOUNT, 0, 0));
}

bool TListBox::Selected(int index) const
{
    if (index < 0 || index >= Count())
        throw EStringListError("Listenindex überschreitet das Maximum (" + std::to_string(index) + ")");
    return handle_ && SendMessageA(handle_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TListBox::SetSelected(int index, bool v)
{
    if (!handle_) return;
    if (multiSelect_) SendMessageA(handle_, LB_SETSEL, v, index);
    else SendMessageA(handle_, LB_SETCURSEL, v ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

int TListBox::TopIndex() const { return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETTOPINDEX, 0, 0)) : 0; }

void TListBox::SetTopIndex(int index)
{
    if (!handle_) topIndex_ = index;
    else if (index != TopIndex()) SendMessageA(handle_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void TListBox::ClearSelection()
{
    if (!multiSelect_) {
        SetItemIndex(-1);
        return;
    }
    for (int i = 0; i < Count(); ++i)
        SetSelected(i, false);
}

RECT TListBox::ItemRect(int index) const
{
    RECT r{};
    if (!handle_) return r;
    const int count = Count();
    if (index >= 0 && index < count) {
        SendMessageA(handle_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    } else if (index == count && count > 0) {
        SendMessageA(handle_, LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&r));
        OffsetRect(&r, 0, r.bottom - r.top);
    }
    return r;
}

int TListBox::ItemAtPos(POINT p, bool existing) const
{
    if (!handle_) return -1;
    RECT client;
    GetClientRect(handle_, &client);
    if (!PtInRect(&client, p)) return -1;
    int n = Count();
    for (int i = TopIndex(); i < n; ++i) {
        RECT r = ItemRect(i);
        if (r.top > client.bottom) break;
        if (PtInRect(&r, p)) return i;
    }
    return existing ? -1 : n;
}

void TListBox::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Items") || SameText(name, "Items.Strings")) {
        TStringList lines;
        ItemsFromList(lines, v);
        SetItems(lines);
    } else if (SameText(name, "MultiSelect")) SetMultiSelect(v.AsBool());
    else if (SameText(name, "ExtendedSelect")) SetExtendedSelect(v.AsBool());
    else if (SameText(name, "IntegralHeight")) SetIntegralHeight(v.AsBool());
    else if (SameText(name, "TabWidth")) SetTabWidth(v.AsInt());
    else if (SameText(name, "BorderStyle"))
        SetBorderStyle(static_cast<TBorderStyle>(IdentToInt(v, kListBorderStyles, name)));
    else if (SameText(name, "Style")) SetStyle(static_cast<TListBoxStyle>(IdentToInt(v, kListBoxStyles, name)));
    else if (SameText(name, "ItemHeight")) SetItemHeight(v.AsInt());
    else if (SameText(name, "Sorted")) SetSorted(v.AsBool());
    else if (SameText(name, "Columns")) SetColumns(v.AsInt());
    else if (SameText(name, "ItemIndex")) SetItemIndex(v.AsInt());
    else TWinControl::SetProperty(name, v);
}

void TListBox::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnChange")) OnChange = h.As<TNotifyEvent>(event);
    else TWinControl::SetEventHandler(event, h);
}

// ---- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner), items_(*this, true)
{
    width_ = 145;
    height_ = 21;
    color_ = clWindow;
    tabStop_ = true;
}

void TComboBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.className = "COMBOBOX";
    p.style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
    p.style |= style_ == csDropDownList ? CBS_DROPDOWNLIST : style_ == csSimple ? CBS_SIMPLE : CBS_DROPDOWN;
    if (sorted_) p.style |= CBS_SORT;
    // The window's height includes the drop-down list.
    if (style_ != csSimple) p.height = height_ + dropDownCount_ * 16;
}

void TComboBox::CreateWnd()
{
    TWinControl::CreateWnd();
    items_.Flush();
    if (pendingIndex_ >= 0) SetItemIndex(pendingIndex_);
    else if (!caption_.empty()) SetWindowTextA(handle_, caption_.c_str());
}

void TComboBox::DestroyWnd()
{
    pendingIndex_ = ItemIndex();
    items_.TakeBack();
    TWinControl::DestroyWnd();
}

void TComboBox::WndProc(TMessage& m)
{
    if (m.Msg == CN_COMMAND) {
        WORD code = HIWORD(m.WParam);
        if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && !InState(csLoading)) {
            Changed();
            if (OnChange) OnChange(this);
        }
        if (code == CBN_SELCHANGE) Click();
        return;
    }
    TWinControl::WndProc(m);
}

int TComboBox::ItemIndex() const
{
    return handle_ ? static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0)) : pendingIndex_;
}

void TComboBox::SetItemIndex(int index)
{
    pendingIndex_ = index;
    if (handle_) SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TComboBox::SetProperty(const std::string& name, const TPropValue& v)
{
    static const TIdentEntry styles[] = {
        {"csDropDown", csDropDown}, {"csSimple", csSimple}, {"csDropDownList", csDropDownList}};
    if (SameText(name, "Items") || SameText(name, "Items.Strings")) ItemsFromList(items_, v);
    else if (SameText(name, "Style")) style_ = static_cast<TComboBoxStyle>(IdentToInt(v, styles, name));
    else if (SameText(name, "ItemIndex")) SetItemIndex(v.AsInt());
    else if (SameText(name, "DropDownCount")) SetDropDownCount(v.AsInt());
    else if (SameText(name, "Sorted")) sorted_ = v.AsBool();
    else if (SameText(name, "ItemHeight")) {
    } else TWinControl::SetProperty(name, v);
}

void TComboBox::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnChange")) OnChange = h.As<TNotifyEvent>(event);
    else TWinControl::SetEventHandler(event, h);
}
