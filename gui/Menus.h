// Main and popup menus. Each menu item gets a command id when it is created: 100, 101, ...
// in the creation order of its form's menu items (description order), so the ids are stable
// for a form and a driver can post WM_COMMAND with them. Items without a form count from 0x4000.
//
// Owner drawing: with the menu's OwnerDraw on, every item is drawn by its owner. The window the
// menu belongs to gets WM_MEASUREITEM and WM_DRAWITEM (ODT_MENU); every windowed control hands
// them to TMenuItem::MeasureItemMessage and DrawItemMessage, which call the item's
// OnMeasureItem and OnAdvancedDrawItem (or a plain drawing of their own when they are empty).
// The item in the message is checked to be alive, so a message for a freed item does nothing.
//
//   menu->SetOwnerDraw(true);
//   item->OnMeasureItem = [](TObject*, TCanvas* c, int& w, int& h) { w = 80; h = 20; };
//   item->OnAdvancedDrawItem = [](TObject*, TCanvas* c, const RECT& r, TOwnerDrawState s) {...};
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/base/Classes.h"
#include "gui/base/Handles.h"

class TMenu;
class TCanvas;
class TBitmap;
class TCustomImageList;

// Selected, checked, disabled, ... of an owner-drawn item (ODS_* of the draw-item record).
using TOwnerDrawState = UINT;
constexpr TOwnerDrawState odSelected = ODS_SELECTED, odGrayed = ODS_GRAYED, odDisabled = ODS_DISABLED,
                          odChecked = ODS_CHECKED, odFocused = ODS_FOCUS, odDefault = ODS_DEFAULT,
                          odHotLight = ODS_HOTLIGHT, odInactive = ODS_INACTIVE, odNoAccel = ODS_NOACCEL;

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State)>;

// A key with its shift state: the virtual key in the low byte, scShift/scCtrl/scAlt above.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// "Strg+S" style texts are not used: the names are the English ones of the class library,
// ShortCutToText(scCtrl | 'S') = "Ctrl+S", (VK_F2) = "F2", (scShift | VK_DELETE) = "Shift+Del";
// 0 gives "".
std::string ShortCutToText(TShortCut shortCut);
// The reverse: "Ctrl+S" -> scCtrl | 'S'; 0 for a text it does not know.
TShortCut TextToShortCut(const std::string& text);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
// Animation flags of a menu (stored only; menus open without animation).
enum TMenuAnimations : unsigned {
    maLeftToRight = 1,
    maRightToLeft = 2,
    maTopToBottom = 4,
    maBottomToTop = 8,
    maNone = 16
};

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
    // A new column starts at this item (mbBarBreak: with a line before it).
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak v);
    // Checked shows a dot instead of a tick.
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v);
    // The key shown after the caption (after a tab).
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut v);
    // The menu's default item, shown bold.
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // The item's own glyph; made empty when first asked for.
    TBitmap& Bitmap();
    bool HasBitmap() const; // a glyph that is not empty
    // The image of the menu's image list (Images of the menu, or SubMenuImages of the parent
    // item); -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TCustomImageList* SubMenuImages() const { return subMenuImages_; }
    void SetSubMenuImages(TCustomImageList* list);
    // The list the item's ImageIndex refers to: the parent's SubMenuImages, else the menu's Images.
    TCustomImageList* GetImageList() const;

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    void Clear(); // frees the sub-items
    TMenuItem* Find(const std::string& caption) const;
    int IndexOf(const TMenuItem* item) const;
    void Insert(int index, TMenuItem* item);
    // Inserts a new divider line after the sub-item; its index (-1 when it is not a sub-item).
    int InsertNewLineAfter(TMenuItem* after);
    // A top-level item of a main menu.
    bool IsInMainMenuLine() const;
    // The menu this item stands in, or none.
    TMenu* GetParentMenu() const;

    virtual void Click();
    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    // Sizes and paints the item (its events, else a plain menu item).
    void MeasureItem(TCanvas& canvas, int& width, int& height);
    void AdvancedDrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state);

    // Where the item stands in the platform's menu since the last build: the menu handle and the
    // position in it (0, -1 while it is not shown, hidden or the menu is not built).
    HMENU MenuHandle() const { return ownerMenu_; }
    int MenuIndex() const { return menuIndex_; }
    // The item's screen rectangle (GetMenuItemRect; window: the menu's window, may be none for a
    // popup); empty when it is not shown.
    RECT ItemRect(HWND window) const;

    // The owner-draw messages of a window (ODT_MENU): true when the item was one of ours.
    static bool MeasureItemMessage(MEASUREITEMSTRUCT& m);
    static bool DrawItemMessage(const DRAWITEMSTRUCT& d);
    // The live item with this address, or none.
    static TMenuItem* FromData(ULONG_PTR data);

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;
    void SetParentComponent(TComponent* parent) override;
    void Notification(TComponent* component) override;

    // Appends this item (with its sub-items) to a menu handle; ownerDraw: as owner-drawn items.
    void AppendTo(HMENU menu, bool ownerDraw) const;

private:
    friend class TMenu;
    void Changed();
    UINT command_;
    std::string caption_, hint_;
    bool checked_ = false, enabled_ = true, visible_ = true, radioItem_ = false, default_ = false;
    TMenuBreak break_ = mbNone;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    TCustomImageList* subMenuImages_ = nullptr;
    std::unique_ptr<TBitmap> bitmap_;
    mutable HMENU ownerMenu_ = nullptr;
    mutable int menuIndex_ = -1;
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
    // Every item drawn by its owner (OnMeasureItem, OnAdvancedDrawItem).
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool v);
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* list);
    unsigned MenuAnimation() const { return menuAnimation_; }
    void SetMenuAnimation(unsigned v) { menuAnimation_ = v; }
    // Menus of child forms are never merged into the main form's menu.
    bool AutoMerge() const { return false; }
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Notification(TComponent* component) override;

protected:
    virtual HMENU Build() const = 0;
    TMenuHandle handle_;

private:
    TMenuItem* items_;
    bool ownerDraw_ = false;
    TCustomImageList* images_ = nullptr;
    unsigned menuAnimation_ = 0;
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
    // Shows the menu at a screen point for the form that owns it (directly or through one of its
    // components; else the active window) and runs the chosen item's OnClick.
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
