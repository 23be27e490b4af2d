#include "gui/Menus.h"

#include <algorithm>
#include <unordered_set>

#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/ImgList.h"
#include "gui/base/SysUtils.h"

namespace {
UINT nextFreeCommand = 0x4000;

// The items alive now: an owner-draw message names its item by address. Never freed, so items
// that go with static objects at the program's end still find it.
std::unordered_set<const TMenuItem*>& LiveItems()
{
    static auto* items = new std::unordered_set<const TMenuItem*>;
    return *items;
}

struct KeyName {
    WORD key;
    const char* name;
};
constexpr KeyName keyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};
constexpr const char* shiftNames[] = {"Shift+", "Ctrl+", "Alt+"};
constexpr TShortCut shiftFlags[] = {scShift, scCtrl, scAlt};

std::string KeyText(WORD key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    for (const KeyName& k : keyNames)
        if (k.key == key) return k.name;
    return "";
}

// The canvas for measuring items: a screen-compatible DC.
struct MeasureCanvas {
    MeasureCanvas() : dc(CreateCompatibleDC(nullptr)) { canvas.SetHandle(dc); }
    ~MeasureCanvas()
    {
        canvas.SetHandle(nullptr);
        DeleteDC(dc);
    }
    HDC dc;
    TCanvas canvas;
};

std::string ItemText(const TMenuItem& item)
{
    std::string text = item.Caption();
    if (std::string keys = ShortCutToText(item.ShortCut()); !keys.empty()) text += "\t" + keys;
    return text;
}

UINT NewCommand(TComponent* owner)
{
    if (auto* f = dynamic_cast<TForm*>(owner)) return f->NextMenuCommand();
    return nextFreeCommand++;
}
} // namespace

std::string ShortCutToText(TShortCut shortCut)
{
    std::string key = KeyText(shortCut & 0xFF);
    if (key.empty()) return "";
    std::string text;
    for (int i = 0; i < 3; ++i)
        if (shortCut & shiftFlags[i]) text += shiftNames[i];
    return text + key;
}

TShortCut TextToShortCut(const std::string& text)
{
    std::string rest = text;
    TShortCut shift = 0;
    for (bool found = true; found;) {
        found = false;
        for (int i = 0; i < 3; ++i)
            if (rest.size() > std::string(shiftNames[i]).size() &&
                SameText(rest.substr(0, strlen(shiftNames[i])), shiftNames[i])) {
                shift |= shiftFlags[i];
                rest.erase(0, strlen(shiftNames[i]));
                found = true;
            }
    }
    for (WORD key = 1; key < 0x100; ++key)
        if (std::string name = KeyText(key); !name.empty() && SameText(name, rest))
            return static_cast<TShortCut>(shift | key);
    return 0;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand(owner)) { LiveItems().insert(this); }

TMenuItem::~TMenuItem()
{
    LiveItems().erase(this);
    SetState(csDestroying);
    for (TMenuItem* i : items_) {
        i->parent_ = nullptr;
        if (!i->Owner()) delete i;
    }
    items_.clear();
    if (parent_) parent_->Remove(this);
}

void TMenuItem::SetCaption(const std::string& c)
{
    caption_ = c;
    Changed();
}

void TMenuItem::SetChecked(bool v)
{
    if (v == checked_) return;
    checked_ = v;
    Changed();
}

void TMenuItem::SetEnabled(bool v)
{
    if (v == enabled_) return;
    enabled_ = v;
    Changed();
}

void TMenuItem::SetVisible(bool v)
{
    if (v == visible_) return;
    visible_ = v;
    Changed();
}

void TMenuItem::SetBreak(TMenuBreak v)
{
    if (v == break_) return;
    break_ = v;
    Changed();
}

void TMenuItem::SetRadioItem(bool v)
{
    if (v == radioItem_) return;
    radioItem_ = v;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut v)
{
    if (v == shortCut_) return;
    shortCut_ = v;
    Changed();
}

void TMenuItem::SetDefault(bool v)
{
    if (v == default_) return;
    default_ = v;
    Changed();
}

TBitmap& TMenuItem::Bitmap()
{
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    return *bitmap_;
}

bool TMenuItem::HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }

void TMenuItem::SetImageIndex(int v)
{
    if (v == imageIndex_) return;
    imageIndex_ = v;
    Changed();
}

void TMenuItem::SetSubMenuImages(TCustomImageList* list)
{
    subMenuImages_ = list;
    Changed();
}

TCustomImageList* TMenuItem::GetImageList() const
{
    if (parent_ && parent_->subMenuImages_) return parent_->subMenuImages_;
    TMenu* menu = GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (item->parent_) item->parent_->Remove(item);
    item->parent_ = this;
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const
{
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TMenuItem::InsertNewLineAfter(TMenuItem* after)
{
    const int at = IndexOf(after);
    if (at < 0) return -1;
    auto* line = new TMenuItem(Owner());
    line->caption_ = "-";
    Insert(at + 1, line);
    return at + 1;
}

bool TMenuItem::IsInMainMenuLine() const
{
    return parent_ && parent_->menu_ && dynamic_cast<TMainMenu*>(parent_->menu_);
}

void TMenuItem::Remove(TMenuItem* item)
{
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->parent_ = nullptr;
    Changed();
}

void TMenuItem::Clear()
{
    while (!items_.empty())
        delete items_.back();
}

TMenuItem* TMenuItem::Find(const std::string& caption) const
{
    auto plain = [](std::string s) {
        s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
        return s;
    };
    for (TMenuItem* i : items_)
        if (SameText(plain(i->caption_), plain(caption))) return i;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->parent_)
        i = i->parent_;
    return i->menu_;
}

void TMenuItem::Changed()
{
    if (InState(csDestroying)) return;
    if (TMenu* m = GetParentMenu(); m && !m->InState(csDestroying)) m->Rebuild();
}

void TMenuItem::Click()
{
    if (enabled_ && OnClick) OnClick(this);
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw) const
{
    ownerMenu_ = nullptr;
    menuIndex_ = -1;
    if (!visible_) return;
    std::string text = ItemText(*this);
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    const bool line = caption_ == "-";
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | (line ? 0 : MIIM_STRING);
    mi.fType = (line ? MFT_SEPARATOR : 0) | (ownerDraw ? MFT_OWNERDRAW : 0) | (radioItem_ ? MFT_RADIOCHECK : 0) |
               (break_ == mbBreak      ? MFT_MENUBREAK
                : break_ == mbBarBreak ? MFT_MENUBARBREAK
                                       : 0);
    mi.fState = (checked_ ? MFS_CHECKED : 0) | (enabled_ ? 0 : MFS_GRAYED) | (default_ ? MFS_DEFAULT : 0);
    mi.wID = command_;
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    mi.dwTypeData = text.data();
    if (!items_.empty()) {
        mi.fMask |= MIIM_SUBMENU;
        mi.hSubMenu = CreatePopupMenu();
        for (TMenuItem* i : items_)
            i->AppendTo(mi.hSubMenu, ownerDraw);
    }
    const int at = GetMenuItemCount(menu);
    if (!InsertMenuItemA(menu, static_cast<UINT>(at), TRUE, &mi)) {
        if (mi.hSubMenu) DestroyMenu(mi.hSubMenu);
        return;
    }
    ownerMenu_ = menu;
    menuIndex_ = at;
}

RECT TMenuItem::ItemRect(HWND window) const
{
    RECT r{};
    if (!ownerMenu_ || !IsMenu(ownerMenu_) || !GetMenuItemRect(window, ownerMenu_, static_cast<UINT>(menuIndex_), &r))
        return RECT{};
    return r;
}

TMenuItem* TMenuItem::FromData(ULONG_PTR data)
{
    auto* item = reinterpret_cast<TMenuItem*>(data);
    return LiveItems().contains(item) ? item : nullptr;
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height)
{
    if (OnMeasureItem) {
        OnMeasureItem(this, &canvas, width, height);
        return;
    }
    if (caption_ == "-") {
        width = 0;
        height = GetSystemMetrics(SM_CYMENU) / 2;
        return;
    }
    SIZE size = canvas.TextExtent(ItemText(*this));
    width = size.cx + (IsInMainMenuLine() ? 0 : 2 * GetSystemMetrics(SM_CXMENUCHECK) + 8);
    height = std::max<int>(size.cy + 4, GetSystemMetrics(SM_CYMENU));
}

void TMenuItem::AdvancedDrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state)
{
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, &canvas, rect, state);
        return;
    }
    const bool selected = (state & odSelected) != 0;
    canvas.Brush().SetColor(selected ? clHighlight : clMenu);
    canvas.FillRect(rect);
    if (caption_ == "-") {
        RECT line{rect.left, (rect.top + rect.bottom) / 2 - 1, rect.right, (rect.top + rect.bottom) / 2 + 1};
        DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    SetBkMode(canvas.Handle(), TRANSPARENT);
    SetTextColor(canvas.Handle(), ColorToRGB(!enabled_  ? clGrayText
                                             : selected ? clHighlightText
                                                        : SysColor(COLOR_MENUTEXT)));
    RECT text = rect;
    text.left += IsInMainMenuLine() ? 0 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
    text.right -= 4;
    const UINT align = IsInMainMenuLine() ? DT_CENTER : DT_LEFT;
    DrawTextA(canvas.Handle(), caption_.c_str(), -1, &text, align | DT_VCENTER | DT_SINGLELINE);
    if (std::string keys = ShortCutToText(shortCut_); !keys.empty())
        DrawTextA(canvas.Handle(), keys.c_str(), -1, &text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

bool TMenuItem::MeasureItemMessage(MEASUREITEMSTRUCT& m)
{
    if (m.CtlType != ODT_MENU) return false;
    TMenuItem* item = FromData(m.itemData);
    if (!item) return false;
    MeasureCanvas c;
    if (Screen) c.canvas.Font() = Screen->MenuFont();
    if (item->default_) c.canvas.Font().SetStyle(c.canvas.Font().Style() | fsBold);
    int w = static_cast<int>(m.itemWidth), h = static_cast<int>(m.itemHeight);
    item->MeasureItem(c.canvas, w, h);
    m.itemWidth = static_cast<UINT>(std::max(w, 0));
    m.itemHeight = static_cast<UINT>(std::max(h, 0));
    return true;
}

bool TMenuItem::DrawItemMessage(const DRAWITEMSTRUCT& d)
{
    if (d.CtlType != ODT_MENU) return false;
    TMenuItem* item = FromData(d.itemData);
    if (!item) return false;
    const int saved = SaveDC(d.hDC);
    {
        TCanvas canvas;
        canvas.SetHandle(d.hDC);
        if (Screen) canvas.Font() = Screen->MenuFont();
        if (item->default_) canvas.Font().SetStyle(canvas.Font().Style() | fsBold);
        item->AdvancedDrawItem(canvas, d.rcItem, d.itemState);
        canvas.SetHandle(nullptr);
    }
    RestoreDC(d.hDC, saved);
    return true;
}

void TMenuItem::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Caption")) SetCaption(v.AsString());
    else if (SameText(name, "Hint")) SetHint(v.AsString());
    else if (SameText(name, "Checked")) SetChecked(v.AsBool());
    else if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
    else if (SameText(name, "Visible")) SetVisible(v.AsBool());
    else if (SameText(name, "ShortCut"))
        SetShortCut(v.kind == TPropValue::String ? TextToShortCut(v.AsString()) : static_cast<TShortCut>(v.AsInt()));
    else if (SameText(name, "RadioItem")) SetRadioItem(v.AsBool());
    else if (SameText(name, "Default")) SetDefault(v.AsBool());
    else if (SameText(name, "ImageIndex")) SetImageIndex(v.AsInt());
    else if (SameText(name, "Break"))
        SetBreak(SameText(v.AsIdent(), "mbBreak")      ? mbBreak
                 : SameText(v.AsIdent(), "mbBarBreak") ? mbBarBreak
                                                       : mbNone);
    else if (SameText(name, "GroupIndex")) {
    } else TComponent::SetProperty(name, v);
}

void TMenuItem::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnClick")) OnClick = h.As<TNotifyEvent>(event);
    else TComponent::SetEventHandler(event, h);
}

void TMenuItem::Notification(TComponent* c)
{
    if (c == subMenuImages_) subMenuImages_ = nullptr;
}

void TMenuItem::SetParentComponent(TComponent* parent)
{
    if (auto* item = dynamic_cast<TMenuItem*>(parent)) item->Add(this);
    else if (auto* menu = dynamic_cast<TMenu*>(parent)) menu->Items()->Add(this);
}

// ---- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu()
{
    SetState(csDestroying);
    items_->menu_ = nullptr;
    delete items_;
}

HMENU TMenu::Handle()
{
    if (!handle_) handle_.reset(Build());
    return handle_.get();
}

void TMenu::Rebuild()
{
    if (handle_) handle_.reset(Build());
}

void TMenu::SetOwnerDraw(bool v)
{
    if (v == ownerDraw_) return;
    ownerDraw_ = v;
    Rebuild();
}

void TMenu::SetImages(TCustomImageList* list)
{
    images_ = list;
    Rebuild();
}

void TMenu::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "OwnerDraw")) SetOwnerDraw(v.AsBool());
    else if (SameText(name, "AutoMerge")) {
    } else TComponent::SetProperty(name, v);
}

void TMenu::Notification(TComponent* c)
{
    if (c == images_) images_ = nullptr;
}

TMenuItem* TMenu::FindItem(UINT command) const
{
    std::vector<TMenuItem*> stack{items_};
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        if (i != items_ && i->Command() == command) return i;
        for (int k = 0; k < i->Count(); ++k)
            stack.push_back(i->Items(k));
    }
    return nullptr;
}

HMENU TMainMenu::Build() const
{
    HMENU bar = CreateMenu();
    for (int k = 0; k < Items()->Count(); ++k)
        Items()->Items(k)->AppendTo(bar, OwnerDraw());
    return bar;
}

void TMainMenu::Rebuild()
{
    if (!handle_) return;
    // The form shows the new bar before the old one is destroyed.
    TMenuHandle fresh(Build());
    auto* form = dynamic_cast<TForm*>(Owner());
    if (form && form->Menu() == this && form->HandleAllocated()) {
        SetMenu(form->Handle(), fresh.get());
        form->Perform(CM_MENUCHANGED);
    }
    handle_ = std::move(fresh);
}

HMENU TPopupMenu::Build() const
{
    HMENU menu = CreatePopupMenu();
    for (int k = 0; k < Items()->Count(); ++k)
        Items()->Items(k)->AppendTo(menu, OwnerDraw());
    return menu;
}

void TPopupMenu::Popup(int x, int y)
{
    if (OnPopup) OnPopup(this);
    // The form that owns the menu, also through a component of the form.
    TForm* form = nullptr;
    for (TComponent* c = Owner(); c && !form; c = c->Owner())
        form = dynamic_cast<TForm*>(c);
    HWND owner = form ? form->Handle() : GetActiveWindow();
    UINT cmd = static_cast<UINT>(
        TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, owner, nullptr));
    if (cmd)
        if (TMenuItem* item = FindItem(cmd)) item->Click();
}

void TPopupMenu::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnPopup")) OnPopup = h.As<TNotifyEvent>(event);
    else TMenu::SetEventHandler(event, h);
}

void TPopupMenu::Notification(TComponent* c)
{
    TMenu::Notification(c);
    if (c == popupComponent_) popupComponent_ = nullptr;
}
