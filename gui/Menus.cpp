#include "gui/Menus.h"

#include <algorithm>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"

namespace {
UINT nextFreeCommand = 0x4000;

UINT NewCommand(TComponent* owner)
{
    if (auto* f = dynamic_cast<TForm*>(owner)) return f->NextMenuCommand();
    return nextFreeCommand++;
}
} // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand(owner)) {}

TMenuItem::~TMenuItem()
{
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

void TMenuItem::Add(TMenuItem* item)
{
    if (item->parent_) item->parent_->Remove(item);
    item->parent_ = this;
    items_.push_back(item);
    Changed();
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

void TMenuItem::AppendTo(HMENU menu) const
{
    if (!visible_) return;
    if (caption_ == "-") {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    UINT flags = MF_STRING | (checked_ ? MF_CHECKED : 0) | (enabled_ ? 0 : MF_GRAYED);
    if (!items_.empty()) {
        HMENU sub = CreatePopupMenu();
        for (TMenuItem* i : items_)
            i->AppendTo(sub);
        AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), caption_.c_str());
    } else {
        AppendMenuA(menu, flags, command_, caption_.c_str());
    }
}

void TMenuItem::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Caption")) SetCaption(v.AsString());
    else if (SameText(name, "Hint")) SetHint(v.AsString());
    else if (SameText(name, "Checked")) SetChecked(v.AsBool());
    else if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
    else if (SameText(name, "Visible")) SetVisible(v.AsBool());
    else if (SameText(name, "ShortCut") || SameText(name, "GroupIndex") || SameText(name, "RadioItem")) {
    } else TComponent::SetProperty(name, v);
}

void TMenuItem::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnClick")) OnClick = h.As<TNotifyEvent>(event);
    else TComponent::SetEventHandler(event, h);
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
        Items()->Items(k)->AppendTo(bar);
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
        Items()->Items(k)->AppendTo(menu);
    return menu;
}

void TPopupMenu::Popup(int x, int y)
{
    if (OnPopup) OnPopup(this);
    auto* form = dynamic_cast<TForm*>(Owner());
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
    if (c == popupComponent_) popupComponent_ = nullptr;
}
