// TsSkinableMenus: the skinned drawing of menus that a skin manager owns. So far it keeps the
// state the manager sets (the cached item, the skin-loaded state) and skins no popup window.
#pragma once

#include "gui/Menus.h"
#include "skin/engine/sHooks.h"

class TsSkinableMenus : public TsSkinMenus {
public:
    explicit TsSkinableMenus(TsSkinManager* owner) : owner_(owner) {}
    void ResetCachedItem() override { CachedItemIndex = -1; }
    void SyncActive(bool skinLoaded) override { active_ = skinLoaded; }
    void HookPopupWindow(HMENU, UINT, HWND) override {}
    // Switches skinned drawing of the menu on or off before it opens: nothing to switch yet.
    void InitMenu(TMenu*, bool) {}
    bool Active() const { return active_; }
    TsSkinManager* Owner() const { return owner_; }
    int CachedItemIndex = -1;

private:
    TsSkinManager* owner_;
    bool active_ = false;
};

// The module's start and end: nothing to prepare or free yet.
void SkinMenusStart();
void SkinMenusEnd();
