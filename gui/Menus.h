// Main and popup menus. Each menu item gets a command id when it is created: 100, 101, ...
// in the creation order of its form's menu items (description order), so the ids are stable
// for a form and a driver can post WM_COMMAND with them. Items without a form count from 0x4000.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/base/Classes.h"
#include "gui/base/Handles.h"

class TMenu;

class TMenuItem : public TComponent {
    GUI_CLASS(TMenuItem, TComponent)
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    UINT Command() const { return command_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& h) { hint_ = h; }
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    void Clear(); // frees the sub-items
    TMenuItem* Find(const std::string& caption) const;
    // The menu this item stands in, or none.
    TMenu* GetParentMenu() const;

    virtual void Click();
    TNotifyEvent OnClick;

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;
    void SetParentComponent(TComponent* parent) override;

    // Appends this item (with its sub-items) to a menu handle.
    void AppendTo(HMENU menu) const;

private:
    friend class TMenu;
    void Changed();
    UINT command_;
    std::string caption_, hint_;
    bool checked_ = false, enabled_ = true, visible_ = true;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on the root item of a menu
    std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
    GUI_CLASS(TMenu, TComponent)
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    // The root item; its sub-items are the menu's entries.
    TMenuItem* Items() const { return items_; }
    // The menu handle, built when first asked for and rebuilt after every change.
    HMENU Handle();
    // The item with this command id, searched through all levels.
    TMenuItem* FindItem(UINT command) const;
    virtual void Rebuild();

protected:
    virtual HMENU Build() const = 0;
    TMenuHandle handle_;

private:
    TMenuItem* items_;
};

class TMainMenu : public TMenu {
    GUI_CLASS(TMainMenu, TMenu)
    using TMenu::TMenu;
    void Rebuild() override;

protected:
    HMENU Build() const override;
};

class TPopupMenu : public TMenu {
    GUI_CLASS(TPopupMenu, TMenu)
    using TMenu::TMenu;
    // Shows the menu at a screen point and runs the chosen item's OnClick.
    void Popup(int x, int y);
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* c) { popupComponent_ = c; }
    TNotifyEvent OnPopup;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;
    void Notification(TComponent* component) override;

protected:
    HMENU Build() const override;

private:
    TComponent* popupComponent_ = nullptr;
};
