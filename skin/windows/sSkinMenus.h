// TsSkinableMenus: the skinned drawing of menus that a skin manager owns. While the manager's
// skin is loaded it turns every main menu and popup menu of the application into owner-drawn
// menus and measures and paints their items from the skin:
//
//   popup background   section "MAINMENU" with its "BORDERSMASK" (the popup window gets a
//                      region without the border image's transparent corners)
//   items              "MENUITEM" (hot state for the selected item), check glyphs "CHECK",
//                      "RADIOCHECKED" (else "BOXCHECKED") of "GLOBALINFO"
//   dividers           caption "-": "BORDERSMASK" of "DIVIDERV", else a 3D line; 2 pixels high
//   caption items      "-Kasse-": "TOOLBAR" with the word "Kasse" in its colours
//   extra line         a vertical strip left of the first column (TvxMenuSupport.UseExtraLine),
//                      filled by the manager's OnGetMenuExtraLineData
//   main-menu line     "MENUITEM" over "MENULINE"
//
// The manager makes it (CreateSkinMenus hook) and calls SyncActive after every skin load:
//
//   menus.SyncActive(true);          // every menu of the application owner-drawn
//   menus.InitMenu(popup, true);     // one popup menu before it opens (WM_CONTEXTMENU)
//   menus.SyncActive(false);         // only the handlers this object set are taken away
//
// A popup window whose item is painted before the window is known gets skinned later: the
// message 48307 (menu handle in lParam, the item's position in wParam) goes to the
// application's window, where the manager finds the window and calls HookPopupWindow.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/Menus.h"
#include "skin/engine/sHooks.h"

// smCaption "-Kasse-", smDivider "-", smNormal any other, smTopLine an item of the menu line.
enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };
using TsMenuManagerDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect,
                                                      TOwnerDrawState State, TsMenuItemType ItemType)>;

// The kind of an item by its caption: "-" a divider; longer, beginning and ending with "-" a
// caption item; anything else (also "") a normal item.
TsMenuItemType MenuItemKind(const std::string& caption);

// One shown popup: its first item (an address compared, never followed), the painted
// background of the whole window, the window, and whether the extra line shows.
struct TsMenuInfo {
    const TMenuItem* FirstItem = nullptr;
    std::unique_ptr<TBitmap> Bmp;
    HWND Wnd = nullptr;
    bool HaveExtraLine = false;
};

class TsSkinableMenus : public TsSkinMenus {
public:
    explicit TsSkinableMenus(TsSkinManager* owner);
    ~TsSkinableMenus() override;

    int Margin = 2;
    TAlignment Alignment = taLeftJustify;
    int BevelWidth = 0;  // stored only
    int BorderWidth = 3; // added twice to a popup's measured size
    int Spacing = 6;     // between the glyph column and the text
    TFont& CaptionFont() { return captionFont_; }
    void SetCaptionFont(const TFont& font) { captionFont_ = font; }
    TsMenuManagerDrawItemEvent OnDrawItem;
    int CachedItemIndex = -1;

    // The width of the popup border image: "BORDERSMASK" of "MAINMENU" (its border width, 3
    // when below 1, 0 without the image), read once per skin.
    int SkinBorderWidth();

    void ResetCachedItem() override;
    void SyncActive(bool skinLoaded) override { SetActive(skinLoaded); }
    bool Active() const { return active_; }
    // Switches every menu of the application (recursively through owned components).
    void SetActive(bool value);
    TsSkinManager* Owner() const { return owner_; }

    // The top-level items of a main menu get the line painter and measurer (only while the
    // manager's SkinnedPopups is on; off: nothing changes), their sub-items the item rule.
    void InitMainMenu(TMainMenu* menu, bool value);
    // OwnerDraw := value, MenuAnimation maNone while skinned, every item the item rule.
    void InitMenu(TMenu* menu, bool value);
    // One item, without its sub-items.
    void InitItem(TMenuItem* item, bool value);

    // From the manager's application-window handler: the popup window of the item at that
    // position of the menu (menu none: the window alone). A dead menu, a position outside it
    // or a window that is not a popup menu window of this thread does nothing.
    void HookPopupWindow(HMENU menu, UINT item, HWND wnd) override;
    // Subclasses the popup window (once) and, with a background, gives it its region.
    void HookPopupWindow(HWND wnd, TBitmap* bmp);
    // The record of a popup, by its first item (none: by its window); made when missing and
    // create is set; none when not found.
    TsMenuInfo* GetMenuInfo(const TMenuItem* firstItem, HWND wnd, bool create);
    // Empties the record array (every background freed).
    static void ClearMenuInfo();
    static int MenuInfoCount();
    int ExtraLineWidth(const TsMenuInfo* info) const;

    // The handlers the menus get (public for tests and the form's own measuring).
    void MeasureItem(TMenuItem* item, TCanvas& canvas, int& width, int& height);
    void DrawItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, TOwnerDrawState state);
    void MeasureLineItem(TMenuItem* item, TCanvas& canvas, int& width, int& height);
    void DrawLineItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, TOwnerDrawState state);
    // The size of a whole popup as its items measure (columns by Break).
    SIZE MeasurePopup(const TMenuItem* parent);

private:
    void ItemRule(TMenuItem* item, bool value);
    void SetPopupHandlers(TMenuItem* item, bool value);
    void SetLineHandlers(TMenuItem* item, bool value);
    void PrepareFont(TCanvas& canvas, const TMenuItem* item) const;
    SIZE GlyphSize(const TMenuItem* item) const;
    void BuildBackground(TsMenuInfo& info, const TMenuItem* first, SIZE size);
    void PaintExtraLine(TsMenuInfo& info, const TMenuItem* first);
    void DrawBorders(TsMenuInfo& info, const TMenuItem* item, HDC windowDC, const RECT& rect);
    void DrawDivider(TsMenuInfo& info, TCanvas& canvas, const RECT& rect, POINT offset);
    void DrawCaption(TsMenuInfo& info, const TMenuItem* item, TCanvas& canvas, const RECT& rect, POINT offset);
    void DrawCheckAndGlyph(TMenuItem* item, TBitmap& bmp, TOwnerDrawState state);
    void AskExtraLine(const TMenuItem* first);

    TsSkinManager* owner_;
    bool active_ = false;
    int borderCache_ = 0;
    bool hooking_ = false;
    TFont captionFont_;
    std::vector<TRect> regionRects_;
};

// A popup item was measured since the flag was last cleared (a form's WM_INITMENUPOPUP of its
// own menus clears it).
bool PopupItemMeasured();
void ClearPopupItemMeasured();

// The popup menu of a control before it opens: skinned or plain.
void SkinPopupMenu(TPopupMenu* menu, bool skinned);

// The module's start and end: the record array and the extra-line data emptied.
void SkinMenusStart();
void SkinMenusEnd();
