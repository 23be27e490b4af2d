#include "skin/windows/sSkinMenus.h"

#include <algorithm>
#include <cmath>

#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "gui/Messages.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinMenusShared.h"
#include "skin/windows/sVclUtils.h"

namespace skinmenus {

MenusModule& Module()
{
    static MenusModule m;
    return m;
}

} // namespace skinmenus

using namespace skinmenus;

namespace {

// The handlers this object puts into the items' events; told apart from the application's
// own by their type.
struct PopupMeasurer {
    TsSkinableMenus* menus;
    void operator()(TObject* s, TCanvas* c, int& w, int& h) const
    {
        if (auto* i = dynamic_cast<TMenuItem*>(s)) menus->MeasureItem(i, *c, w, h);
    }
};
struct PopupPainter {
    TsSkinableMenus* menus;
    void operator()(TObject* s, TCanvas* c, const RECT& r, TOwnerDrawState st) const
    {
        if (auto* i = dynamic_cast<TMenuItem*>(s)) menus->DrawItem(i, *c, r, st);
    }
};
struct LineMeasurer {
    TsSkinableMenus* menus;
    void operator()(TObject* s, TCanvas* c, int& w, int& h) const
    {
        if (auto* i = dynamic_cast<TMenuItem*>(s)) menus->MeasureLineItem(i, *c, w, h);
    }
};
struct LinePainter {
    TsSkinableMenus* menus;
    void operator()(TObject* s, TCanvas* c, const RECT& r, TOwnerDrawState st) const
    {
        if (auto* i = dynamic_cast<TMenuItem*>(s)) menus->DrawLineItem(i, *c, r, st);
    }
};

template <class H, class F> bool Holds(const F& f, const TsSkinableMenus* menus)
{
    const H* h = f.template target<H>();
    return h && h->menus == menus;
}

int TextWidthOf(TCanvas& canvas, const std::string& text)
{
    RECT r{0, 0, 0, 0};
    DrawTextA(canvas.Handle(), text.c_str(), -1, &r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    return r.right - r.left;
}

LRESULT CALLBACK PopupProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto old = reinterpret_cast<WNDPROC>(GetPropA(wnd, OldProcProp));
    switch (msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return 1;
    case WM_DESTROY:
        TsSkinableMenus::ClearMenuInfo();
        break;
    case WM_NCDESTROY:
        // Unhooked only while this procedure is the window's; another subclass keeps its chain.
        if (old && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == PopupProc)
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(wnd, OldProcProp);
        break;
    default:
        break;
    }
    return old ? CallWindowProcA(old, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
}

// A popup menu window of this thread.
bool IsOwnPopupWindow(HWND wnd)
{
    char cls[16] = "";
    return wnd && IsWindow(wnd) && GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId() &&
           GetClassNameA(wnd, cls, sizeof cls) && std::string(cls) == "#32768";
}

} // namespace

namespace skinmenus {

const TMenuItem* FirstVisible(const TMenuItem* parent)
{
    if (!parent) return nullptr;
    for (int i = 0; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible()) return parent->Items(i);
    return nullptr;
}

const TMenuItem* LastVisible(const TMenuItem* parent)
{
    for (int i = parent ? parent->Count() - 1 : -1; i >= 0; --i)
        if (parent->Items(i)->Visible()) return parent->Items(i);
    return nullptr;
}

// The visible item after this one in its popup, or none.
const TMenuItem* NextVisible(const TMenuItem* item)
{
    const TMenuItem* parent = item->Parent();
    if (!parent) return nullptr;
    for (int i = parent->IndexOf(item) + 1; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible()) return parent->Items(i);
    return nullptr;
}

// In the first column: no visible item before it, nor itself, starts a new column.
bool InFirstColumn(const TMenuItem* item)
{
    const TMenuItem* parent = item->Parent();
    if (!parent) return true;
    for (int i = 0; i <= parent->IndexOf(item); ++i)
        if (parent->Items(i)->Visible() && parent->Items(i)->Break() != mbNone) return false;
    return true;
}

// No visible item after it starts a new column.
bool InLastColumn(const TMenuItem* item)
{
    for (const TMenuItem* n = NextVisible(item); n; n = NextVisible(n))
        if (n->Break() != mbNone) return false;
    return true;
}

std::string WithoutAmpersands(std::string s)
{
    s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
    return s;
}

// Where the client area of a window starts inside it (the border the window has itself).
POINT ClientOffset(HWND wnd)
{
    RECT w;
    POINT p{0, 0};
    if (!wnd || !GetWindowRect(wnd, &w)) return p;
    ClientToScreen(wnd, &p);
    return POINT{p.x - w.left, p.y - w.top};
}

} // namespace skinmenus

TsMenuItemType MenuItemKind(const std::string& caption)
{
    if (caption == "-") return smDivider;
    if (caption.size() > 1 && caption.front() == '-' && caption.back() == '-') return smCaption;
    return smNormal;
}

TsSkinableMenus::TsSkinableMenus(TsSkinManager* owner) : owner_(owner) {}

TsSkinableMenus::~TsSkinableMenus() { owner_ = nullptr; }

void TsSkinableMenus::ResetCachedItem()
{
    CachedItemIndex = -1;
    borderCache_ = -1;
}

int TsSkinableMenus::SkinBorderWidth()
{
    if (borderCache_ >= 0) return borderCache_;
    const int section = owner_->GetSkinIndex("MAINMENU");
    const int mask = owner_->GetMaskIndex(section, "MAINMENU", "BORDERSMASK");
    if (mask < 0) borderCache_ = 0;
    else
        borderCache_ = std::max<int>(owner_->MaskData[static_cast<size_t>(mask)].BorderWidth, 0) < 1
                           ? 3
                           : owner_->MaskData[static_cast<size_t>(mask)].BorderWidth;
    return borderCache_;
}

// ---- switching menus

void TsSkinableMenus::SetPopupHandlers(TMenuItem* item, bool value)
{
    if (value) {
        if (!item->OnAdvancedDrawItem) item->OnAdvancedDrawItem = PopupPainter{this};
        if (!item->OnMeasureItem) item->OnMeasureItem = PopupMeasurer{this};
        return;
    }
    if (Holds<PopupPainter>(item->OnAdvancedDrawItem, this) || Holds<LinePainter>(item->OnAdvancedDrawItem, this))
        item->OnAdvancedDrawItem = nullptr;
    if (Holds<PopupMeasurer>(item->OnMeasureItem, this) || Holds<LineMeasurer>(item->OnMeasureItem, this))
        item->OnMeasureItem = nullptr;
}

void TsSkinableMenus::SetLineHandlers(TMenuItem* item, bool value)
{
    if (value) {
        item->OnAdvancedDrawItem = LinePainter{this};
        item->OnMeasureItem = LineMeasurer{this};
    } else {
        SetPopupHandlers(item, false);
    }
}

void TsSkinableMenus::ItemRule(TMenuItem* item, bool value)
{
    if (!item->IsInMainMenuLine()) SetPopupHandlers(item, value);
    for (int i = 0; i < item->Count(); ++i)
        ItemRule(item->Items(i), value);
}

void TsSkinableMenus::SetActive(bool value)
{
    if (value == active_) return;
    active_ = value;
    if (!Application) return;
    const bool popups = value && owner_->SkinnedPopups();
    std::function<void(TComponent*)> walk = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (auto* main = dynamic_cast<TMainMenu*>(c)) {
                InitMainMenu(main, value);
                for (int k = 0; k < main->Items()->Count(); ++k)
                    for (int s = 0; s < main->Items()->Items(k)->Count(); ++s)
                        ItemRule(main->Items()->Items(k)->Items(s), popups);
            } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
                InitMenu(popup, popups);
            } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
                TMenu* menu = item->GetParentMenu();
                if (!dynamic_cast<TMainMenu*>(menu))
                    for (int s = 0; s < item->Count(); ++s)
                        ItemRule(item->Items(s), popups);
            }
            walk(c);
        }
    };
    walk(Application);
}

void TsSkinableMenus::InitMainMenu(TMainMenu* menu, bool value)
{
    if (!menu) return;
    if (value && !owner_->SkinnedPopups()) return;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        if (value && owner_->SkinData.SkinLoaded) SetLineHandlers(item, true);
        else if (!value) SetLineHandlers(item, false);
    }
    if (!menu->InState(csDestroying)) menu->SetOwnerDraw(value);
}

void TsSkinableMenus::InitMenu(TMenu* menu, bool value)
{
    if (!menu) return;
    menu->SetOwnerDraw(value);
    menu->SetMenuAnimation(value ? menu->MenuAnimation() | maNone : menu->MenuAnimation() & ~maNone);
    for (int i = 0; i < menu->Items()->Count(); ++i)
        ItemRule(menu->Items()->Items(i), value);
}

void TsSkinableMenus::InitItem(TMenuItem* item, bool value)
{
    if (!item) return;
    if (TMenu* menu = item->GetParentMenu()) menu->SetOwnerDraw(value);
    if (!value) SetPopupHandlers(item, false);
    else if (item->IsInMainMenuLine()) SetLineHandlers(item, true);
    else if (owner_->SkinnedPopups()) SetPopupHandlers(item, true);
}

// ---- records of shown popups

void TsSkinableMenus::ClearMenuInfo() { Module().infos.clear(); }

int TsSkinableMenus::MenuInfoCount() { return static_cast<int>(Module().infos.size()); }

int TsSkinableMenus::ExtraLineWidth(const TsMenuInfo* info) const
{
    const TvxMenuSupport& s = owner_->MenuSupport();
    const bool shown = info ? info->HaveExtraLine : Module().extraVisible;
    return s.UseExtraLine && shown ? s.ExtraLineWidth : 0;
}

TsMenuInfo* TsSkinableMenus::GetMenuInfo(const TMenuItem* firstItem, HWND wnd, bool create)
{
    MenusModule& m = Module();
    for (auto& info : m.infos)
        if (firstItem ? info->FirstItem == firstItem : (wnd && info->Wnd == wnd)) {
            RECT r;
            if (wnd && !info->Wnd && GetWindowRect(wnd, &r)) {
                // Measured before its window was known: the background takes the window's size.
                info->Wnd = wnd;
                if (info->Bmp->Width() != r.right - r.left || info->Bmp->Height() != r.bottom - r.top)
                    BuildBackground(*info, firstItem, SIZE{r.right - r.left, r.bottom - r.top});
            }
            return info.get();
        }
    if (!create || !firstItem) return nullptr;
    auto info = std::make_unique<TsMenuInfo>();
    info->FirstItem = firstItem;
    info->Wnd = wnd;
    info->HaveExtraLine = owner_->MenuSupport().UseExtraLine && m.extraVisible && firstItem->Name() != "SkinSelectItem";
    SIZE size{0, 0};
    RECT r;
    if (wnd && GetWindowRect(wnd, &r)) size = SIZE{r.right - r.left, r.bottom - r.top};
    else size = MeasurePopup(firstItem->Parent());
    BuildBackground(*info, firstItem, size);
    TsMenuInfo* made = info.get();
    m.infos.push_back(std::move(info));
    if (wnd) HookPopupWindow(wnd, made->Bmp.get());
    // Messages were handled while the window got its region: the array may have been emptied.
    return GetMenuInfo(firstItem, nullptr, false);
}

SIZE TsSkinableMenus::GlyphSize(const TMenuItem* item) const
{
    if (item->HasBitmap()) {
        auto& bmp = const_cast<TMenuItem*>(item)->Bitmap();
        return SIZE{bmp.Width(), bmp.Height()};
    }
    if (TCustomImageList* list = item->GetImageList()) return SIZE{list->Width(), list->Height()};
    return SIZE{16, 16};
}

void TsSkinableMenus::PrepareFont(TCanvas& canvas, const TMenuItem* item) const
{
    if (Screen) canvas.Font() = Screen->MenuFont();
    if (auto* form = dynamic_cast<TForm*>(item->Owner())) canvas.Font().SetCharset(form->Font().Charset());
    if (item->Default()) canvas.Font().SetStyle(canvas.Font().Style() | fsBold);
}

void TsSkinableMenus::AskExtraLine(const TMenuItem* first)
{
    MenusModule& m = Module();
    if (!first || m.inExtraEvent) return;
    if (first->Name() == "SkinSelectItem") {
        m.extraVisible = false;
        return;
    }
    m.ResetExtraLine();
    if (owner_->OnGetMenuExtraLineData) {
        m.inExtraEvent = true;
        TBitmap* glyph = nullptr;
        try {
            owner_->OnGetMenuExtraLineData(const_cast<TMenuItem*>(first), m.extraSection, m.extraCaption, glyph,
                                           m.extraVisible);
        } catch (...) {
            m.inExtraEvent = false;
            throw;
        }
        m.inExtraEvent = false;
        m.extraGlyph.reset(glyph);
    }
    m.extraCaption = WithoutAmpersands(m.extraCaption);
    if (!m.extraVisible) m.extraGlyph.reset();
}

// ---- measuring

void TsSkinableMenus::MeasureItem(TMenuItem* item, TCanvas& canvas, int& width, int& height)
{
    if (item->InState(csDestroying)) return;
    Module().popupMeasured = true;
    const TMenuItem* first = FirstVisible(item->Parent());
    TsMenuInfo* info = GetMenuInfo(first, nullptr, false);
    const TsMenuItemType kind = MenuItemKind(item->Caption());
    if (!info) AskExtraLine(first);
    PrepareFont(canvas, item);
    std::string text;
    if (kind == smCaption) text = "-" + item->Caption() + "-";
    else if (kind == smNormal) {
        text = item->Caption();
        if (std::string keys = ShortCutToText(item->ShortCut()); !keys.empty()) text += "\t" + keys;
    }
    const SIZE glyph = GlyphSize(item);
    width = 2 * glyph.cx + (text.empty() ? 0 : TextWidthOf(canvas, text)) + 3 * Margin + Spacing;
    if (InFirstColumn(item)) width += ExtraLineWidth(info);
    if (kind == smDivider) {
        height = 2;
        return;
    }
    height = static_cast<int>(std::nearbyint(canvas.TextHeight("W") * 1.25));
    if (kind == smNormal) height = std::max<int>(height, glyph.cy);
    height += 2 * Margin;
}

SIZE TsSkinableMenus::MeasurePopup(const TMenuItem* parent)
{
    int total = 0, columnWidth = 0, columnHeight = 0, tallest = 0, columns = 0;
    if (parent) {
        HDC dc = CreateCompatibleDC(nullptr);
        TCanvas canvas;
        canvas.SetHandle(dc);
        for (int i = 0; i < parent->Count(); ++i) {
            TMenuItem* item = parent->Items(i);
            if (!item->Visible()) continue;
            if (item->Break() != mbNone && columns > 0) {
                total += columnWidth + 12 + 4;
                tallest = std::max(tallest, columnHeight);
                columnWidth = columnHeight = 0;
            }
            columns = std::max(columns, 1);
            int w = 0, h = 0;
            item->MeasureItem(canvas, w, h);
            columnWidth = std::max(columnWidth, w);
            columnHeight += h;
        }
        canvas.SetHandle(nullptr);
        DeleteDC(dc);
    }
    total += columnWidth + 12;
    tallest = std::max(tallest, columnHeight);
    return SIZE{total + 2 * BorderWidth, tallest + 2 * BorderWidth};
}

void TsSkinableMenus::MeasureLineItem(TMenuItem* item, TCanvas& canvas, int& width, int& height)
{
    PrepareFont(canvas, item);
    height = GetSystemMetrics(SM_CYMENU) - 1;
    width = canvas.TextWidth(WithoutAmpersands(item->Caption()));
    if (TCustomImageList* list = item->GetImageList(); list && item->ImageIndex() >= 0) width += list->Width() + 6;
}

// ---- the popup window

void TsSkinableMenus::HookPopupWindow(HMENU menu, UINT item, HWND wnd)
{
    if (!IsOwnPopupWindow(wnd)) return;
    TsMenuInfo* info = nullptr;
    if (menu) {
        if (!IsMenu(menu) || item >= static_cast<UINT>(std::max(GetMenuItemCount(menu), 0))) return;
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_DATA;
        if (!GetMenuItemInfoA(menu, item, TRUE, &mi)) return;
        const TMenuItem* i = TMenuItem::FromData(mi.dwItemData);
        if (!i) return;
        info = GetMenuInfo(FirstVisible(i->Parent()), wnd, true);
    } else {
        info = GetMenuInfo(nullptr, wnd, false);
        if (!info) {
            HMENU shown = reinterpret_cast<HMENU>(SendMessageA(wnd, MN_GETHMENU, 0, 0));
            MENUITEMINFOA mi{};
            mi.cbSize = sizeof mi;
            mi.fMask = MIIM_DATA;
            if (shown && GetMenuItemInfoA(shown, 0, TRUE, &mi))
                if (const TMenuItem* i = TMenuItem::FromData(mi.dwItemData))
                    info = GetMenuInfo(FirstVisible(i->Parent()), wnd, true);
        }
    }
    if (info && IsWindow(wnd) && !GetPropA(wnd, OldProcProp)) HookPopupWindow(wnd, info->Bmp.get());
}

void TsSkinableMenus::HookPopupWindow(HWND wnd, TBitmap* bmp)
{
    if (hooking_ || !IsWindow(wnd)) return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) != PopupProc) {
        SetPropA(wnd, OldProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)));
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PopupProc));
    }
    if (!IsNTPlatform() || !bmp || SendSkinCommand(wnd, 8, 0) != 0) return;
    SendSkinCommand(wnd, 14, 0);
    hooking_ = true;
    HRGN region = CreateRectRgn(0, 0, bmp->Width(), bmp->Height());
    std::vector<TRect> cut = regionRects_;
    if (cut.empty()) cut.push_back(TRect{0, 0, 1, 1});
    for (const TRect& r : cut) {
        HRGN part = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
        CombineRgn(region, region, part, RGN_DIFF);
        DeleteObject(part);
    }
    if (!SetWindowRgn(wnd, region, TRUE)) DeleteObject(region);
    // The window's repainting for its new region (the menu's own input stays queued).
    MSG msg;
    while (IsWindow(wnd) && PeekMessageA(&msg, wnd, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&msg);
    hooking_ = false;
}

// ---- the engine's hook and the module

void SkinPopupMenu(TPopupMenu* menu, bool skinned)
{
    TsSkinManager* manager = DefaultManager();
    if (!menu || !manager) return;
    if (auto* menus = dynamic_cast<TsSkinableMenus*>(manager->SkinMenus()))
        menus->InitMenu(menu, skinned && manager->SkinnedPopups());
}

void SkinMenusStart()
{
    TsSkinableMenus::ClearMenuInfo();
    Module().ResetExtraLine();
}

void SkinMenusEnd()
{
    TsSkinableMenus::ClearMenuInfo();
    Module().ResetExtraLine();
}

bool PopupItemMeasured() { return Module().popupMeasured; }

void ClearPopupItemMeasured() { Module().popupMeasured = false; }
