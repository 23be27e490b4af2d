// The main-menu line of a skinned form: the provider paints the whole non-client area itself,
// so the bar's items are owner-drawn while a skin is on and each is painted from the skin
// ("MENUITEM" over the provider's "MENULINE" background) into the form's image. When the
// system draws an item itself (hot tracking, an opened menu, its closing), the item is painted
// into the image again and that part of the image goes to the window.
#include <algorithm>
#include <functional>

#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sSkinMenusShared.h"
#include "skin/windows/sSkinProvider.h"

namespace {

// The state the image's own painting gives every item: no accelerator underlines, not hot.
constexpr TOwnerDrawState ImageItemState = odNoAccel | 0x400;

TsSkinableMenus* SkinnedMenusOf(TsSkinManager* manager)
{
    return manager ? dynamic_cast<TsSkinableMenus*>(manager->SkinMenus()) : nullptr;
}

// The provider of the form whose main menu holds the item, or none.
TsSkinProvider* ProviderOf(const TMenuItem* item)
{
    TMenu* menu = item->GetParentMenu();
    auto* form = menu ? dynamic_cast<TForm*>(menu->Owner()) : nullptr;
    return form ? TsSkinProvider::Of(form) : nullptr;
}

bool rebuildingMenu = false;

} // namespace

// ---- the provider's side

void TsSkinProvider::PrepareMenus(bool skinned)
{
    if (!SkinnedMenusOf(SkinManager())) return;
    for (int i = 0; i < form_->ComponentCount(); ++i)
        PrepareMenuObject(form_->Components(i), skinned);
}

void TsSkinProvider::PrepareMenuObject(TComponent* object, bool skinned)
{
    TsSkinManager* manager = SkinManager();
    TsSkinableMenus* menus = SkinnedMenusOf(manager);
    if (!menus || !object) return;
    const bool popups = skinned && manager->SkinnedPopups();
    if (auto* main = dynamic_cast<TMainMenu*>(object)) {
        // The items of the bar's menus, each alone (one item never switches the whole bar).
        std::function<void(TMenuItem*)> init = [&](TMenuItem* parent) {
            for (int i = 0; i < parent->Count(); ++i) {
                menus->InitItem(parent->Items(i), popups);
                init(parent->Items(i));
            }
        };
        for (int i = 0; i < main->Items()->Count(); ++i)
            init(main->Items()->Items(i));
        const bool line = skinned && drawNonClientArea_;
        menus->InitMainMenu(main, line);
        // The line's items are drawn over the provider's image even when popups stay plain:
        // the provider paints the whole line, so an item the system would draw as a string
        // would show only while the mouse is over it.
        if (line && !manager->SkinnedPopups())
            for (int i = 0; i < main->Items()->Count(); ++i)
                menus->InitItem(main->Items()->Items(i), true);
    } else if (auto* popup = dynamic_cast<TPopupMenu*>(object)) {
        menus->InitMenu(popup, popups);
    }
    // Menu items come with their menu.
}

bool TsSkinProvider::RebuildMenu()
{
    TMainMenu* menu = form_->Menu();
    if (rebuildingMenu || !menu || menu->Items()->Count() == 0 || !form_->HandleAllocated()) return false;
    rebuildingMenu = true;
    menu->Rebuild();
    rebuildingMenu = false;
    return true;
}

RECT TsSkinProvider::MenuItemImageRect(const TMenuItem* item) const
{
    if (!form_->HandleAllocated()) return RECT{};
    RECT r = item->ItemRect(form_->Handle());
    // Behind a maximised MDI child's window menu, the items stand one place further.
    if (const int shift = MenuBarShift(); shift && item->MenuHandle() == GetMenu(form_->Handle()))
        if (!GetMenuItemRect(form_->Handle(), item->MenuHandle(), static_cast<UINT>(item->MenuIndex() + shift), &r))
            r = RECT{};
    if (IsRectEmpty(&r)) return RECT{};
    POINT origin;
    FormOrigin(origin);
    OffsetRect(&r, -origin.x, -origin.y);
    return r;
}

void TsSkinProvider::PaintMenuItems(TBitmap* image)
{
    TMainMenu* menu = form_->Menu();
    if (!menu) return;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        // Only the items that the skinned menus draw: the others are the system's.
        if (!item->Visible() || !item->OnAdvancedDrawItem || !item->OnMeasureItem) continue;
        const RECT r = MenuItemImageRect(item);
        if (!IsRectEmpty(&r)) item->OnAdvancedDrawItem(item, &image->Canvas(), r, ImageItemState);
    }
}

void TsSkinProvider::RepaintMenuLineItem(TMenuItem* item, const RECT& rect, TOwnerDrawState state)
{
    TBitmap* image = FormImage();
    if (!item || !MenuHasVisibleItems() || item->GetParentMenu() != form_->Menu() || !item->OnAdvancedDrawItem ||
        !image || IsRectEmpty(&rect) || !form_->HandleAllocated())
        return;
    item->OnAdvancedDrawItem(item, &image->Canvas(), rect, state);
    const HWND wnd = form_->Handle();
    HDC dc = GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, image->Canvas().Handle(), rect.left,
           rect.top, SRCCOPY);
    RestoreDC(dc, saved);
    ReleaseDC(wnd, dc);
}

// ---- the skinned menus' side

void TsSkinableMenus::DrawLineItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, TOwnerDrawState state)
{
    if (!owner_->Active() || !owner_->SkinData.SkinLoaded) return;
    TsSkinProvider* provider = ProviderOf(item);
    if (!provider || !provider->DrawNonClientArea()) {
        // The system draws this line: the item as a plain one, so that it never goes missing.
        const bool lit = state & (odSelected | odHotLight);
        FillRect(canvas.Handle(), &rect, GetSysColorBrush(lit ? COLOR_HIGHLIGHT : COLOR_MENU));
        PrepareFont(canvas, item);
        SetBkMode(canvas.Handle(), TRANSPARENT);
        SetTextColor(canvas.Handle(), GetSysColor(!item->Enabled() ? COLOR_GRAYTEXT
                                                  : lit            ? COLOR_HIGHLIGHTTEXT
                                                                   : COLOR_MENUTEXT));
        RECT r = rect;
        DrawTextA(canvas.Handle(), item->Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    TBitmap* image = provider->FormImage();
    if (!image || image->Width() == 0) return;
    if (canvas.Handle() != image->Canvas().Handle()) {
        // The system draws the item (hot tracking): it is painted into the image and shown from
        // there, at the place the image has for it.
        provider->RepaintMenuLineItem(item, provider->MenuItemImageRect(item), state);
        return;
    }
    const int w = std::max<int>(rect.right - rect.left, 1), h = std::max<int>(rect.bottom - rect.top, 1);
    // The parent background: the menu line as painted before its items.
    auto bg = CreateBmp24(w, h);
    if (TBitmap* line = provider->MenuLineBackground(); line && line->Width() > 0)
        BitBlt(bg->Canvas().Handle(), 0, 0, w, h, line->Canvas().Handle(), rect.left,
               rect.top - provider->MenuLineTop(), SRCCOPY);
    else BitBlt(bg->Canvas().Handle(), 0, 0, w, h, image->Canvas().Handle(), rect.left, rect.top, SRCCOPY);
    auto bmp = CreateBmp24(w, h);
    const bool lit = item->Enabled() && (state & (odSelected | odHotLight));
    const int section = owner_->GetSkinIndex("MENUITEM");
    if (owner_->IsValidSkinIndex(section))
        PaintSection(bmp.get(), TRect{0, 0, w, h}, section, owner_, lit ? 1 : 0, MakeCacheInfo(bg.get(), 0, 0));
    else BitBlt(bmp->Canvas().Handle(), 0, 0, w, h, bg->Canvas().Handle(), 0, 0, SRCCOPY);
    int left = 0;
    if (TCustomImageList* list = item->GetImageList(); list && item->ImageIndex() >= 0) {
        list->Draw(bmp->Canvas(), 3, (h - list->Height()) / 2, item->ImageIndex(), item->Enabled());
        left = 3 + list->Width();
    } else if (item->HasBitmap()) {
        const int o = item->Enabled() ? 0 : 1;
        bmp->Canvas().Draw(3 + o, (h - item->Bitmap().Height()) / 2 + o, item->Bitmap());
        left = 3 + item->Bitmap().Width();
    }
    PrepareFont(bmp->Canvas(), item);
    const UINT align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : 0;
    const UINT flags = align | DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP |
                       ((state & odNoAccel) ? DT_HIDEPREFIX : 0);
    const int line = owner_->GetSkinIndex("MENULINE");
    WriteSectionTextEx(bmp->Canvas(), item->Caption(), item->Enabled(), owner_, lit ? 1 : 0,
                       owner_->IsValidSkinIndex(line) ? line : section, flags, TRect{left, 0, w, h});
    if (OnDrawItem) OnDrawItem(item, &bmp->Canvas(), RECT{0, 0, w, h}, state, smTopLine);
    BitBlt(canvas.Handle(), rect.left, rect.top, w, h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
}
