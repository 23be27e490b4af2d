// The window menu of a skinned form. A skinned form has WS_SYSMENU taken off its style (the
// system then draws no caption buttons), so the provider's own title buttons, hit test and
// menu ask TsSystemMenu which commands the form offers:
//
//   TsSystemMenu* menu = provider->SystemMenu();   // made when the provider first takes a skin
//   if (menu->VisibleMax() && menu->EnabledMax()) ...
//
// The answers follow the form's border style, border icons and window state; "the system menu
// is present" means the provider took WS_SYSMENU off the form.
#pragma once

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

private:
    // Maximise (biMaximize) or minimise (biMinimize) shown in the title.
    bool VisibleTitleIcon(unsigned icon) const;
    bool Iconic() const;
    bool Zoomed() const;
    TsSkinProvider* provider_;
    TForm* form_;
};
