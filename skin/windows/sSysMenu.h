// The window menu of a skinned form. A skinned form has WS_SYSMENU taken off its style (the
// system then draws no caption buttons), so the provider's own title buttons, hit test and
// menu ask TsSystemMenu which commands the form offers:
//
//   TsSystemMenu* menu = provider->SystemMenu();   // made when the provider first takes a skin
//   if (menu->VisibleMax() && menu->EnabledMax()) ...
//
// The answers follow the form's border style, border icons and window state; "the system menu
// is present" means the provider took WS_SYSMENU off the form.
//
// Its items mirror the window's real system menu (read while the form still has it): Restore,
// Move, Size, Minimize, Maximize (names "vxIR", "vxIM", "vxIS", "vxIN", "vxIX", each with its
// SC_ command as its tag and the system's caption, else the English one), a divider, the
// application's own items (ids below 0xF000, each posting its WM_SYSCOMMAND) with a divider
// after them, and Close ("vxIC"). A form without a system menu gets an empty menu.
//
//   menu->UpdateItems(false);   // shown and enabled as the answers say (built when missing)
//   provider->ShowSystemMenu(x, y);   // skinned, or the real one without skinned popups
#pragma once

#include <string>

#include "gui/Menus.h"

class TForm;
class TsSkinProvider;

class TsCustomSysMenu : public TPopupMenu {
    GUI_CLASS(TsCustomSysMenu, TPopupMenu)
    using TPopupMenu::TPopupMenu;
    virtual bool VisibleClose() const = 0;
    virtual bool VisibleMax() const = 0;
    virtual bool VisibleMin() const = 0;
    virtual bool EnabledMax() const = 0;
    virtual bool EnabledMin() const = 0;
    virtual bool EnabledRestore() const = 0;
};

class TsSystemMenu : public TsCustomSysMenu {
    GUI_CLASS(TsSystemMenu, TsCustomSysMenu)
    // Owned by the provider; named "SysMenu".
    explicit TsSystemMenu(TsSkinProvider* provider);

    bool VisibleClose() const override;
    bool VisibleMax() const override;
    bool VisibleMin() const override;
    bool EnabledMax() const override;
    bool EnabledMin() const override;
    bool EnabledRestore() const override;
    bool VisibleRestore() const;
    bool VisibleSize() const;
    bool EnabledMove() const;
    bool EnabledSize() const;

    TsSkinProvider* Provider() const { return provider_; }
    TForm* Form() const { return form_; }

    // Every item built again from the form's system menu.
    void MakeSkinItems();
    // Visible and Enabled of the standard items by the answers; rebuilt first with rebuild or
    // when there is no close item yet.
    void UpdateItems(bool rebuild);
    // The application items copied from the system menu.
    int ApplicationItemCount() const { return appItems_; }
    TMenuItem* RestoreItem() const { return restore_; }
    TMenuItem* MoveItem() const { return move_; }
    TMenuItem* SizeItem() const { return size_; }
    TMenuItem* MinimizeItem() const { return minimize_; }
    TMenuItem* MaximizeItem() const { return maximize_; }
    TMenuItem* CloseItem() const { return close_; }

private:
    // An item of the menu: its caption and shortcut from text ("Caption\tShortcut"), the
    // command as its tag.
    TMenuItem* AddItem(const std::string& name, const std::string& text, UINT command);
    // WM_SYSCOMMAND with the command sent to the form.
    void Send(UINT command);
    // Maximise (biMaximize) or minimise (biMinimize) shown in the title.
    bool VisibleTitleIcon(unsigned icon) const;
    bool Iconic() const;
    bool Zoomed() const;
    TsSkinProvider* provider_;
    TForm* form_;
    int appItems_ = 0;
    TMenuItem *restore_ = nullptr, *move_ = nullptr, *size_ = nullptr, *minimize_ = nullptr, *maximize_ = nullptr,
              *close_ = nullptr;
};
