#include "skin/windows/sSkinMenus.h"

#include <algorithm>
#include <cmath>

#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "gui/Messages.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sVclUtils.h"

namespace {

// The application's window answers these (TsSkinManager::MainWindowHook).
constexpr UINT MenuItemPopup = SM_MENUITEMPOPUP;
constexpr UINT MenuWindowPopup = SM_MENUWINDOWPOPUP;
// The window property that keeps a hooked popup window's previous procedure.
constexpr const char* OldProcProp = "TilloraMenuOldProc";
constexpr const char* DefaultExtraSection = "EXTRALINE";
constexpr const char* DefaultExtraCaption = "Use OnGetExtraLineData event";

// The module's state: the records of the shown popups and the extra-line data of the popup
// being measured.
struct MenusModule {
    std::vector<std::unique_ptr<TsMenuInfo>> infos;
    std::string extraSection = DefaultExtraSection, extraCaption = DefaultExtraCaption;
    std::unique_ptr<TBitmap> extraGlyph;
    bool extraVisible = true;
    bool inExtraEvent = false;
    int glyphWidth = 16;
    int textOffset = 0;

    void ResetExtraLine()
    {
        extraSection = DefaultExtraSection;
        extraCaption = DefaultExtraCaption;
        extraGlyph.reset();
        extraVisible = true;
    }
};

MenusModule& Module()
{
    static MenusModule m;
    return m;
}

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

int TextWidthOf(TCanvas& canvas, const std::string& text)
{
    RECT r{0, 0, 0, 0};
    DrawTextA(canvas.Handle(), text.c_str(), -1, &r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    return r.right - r.left;
}

// Rows or columns of the background copied to a DC at the same place.
void CopyPart(HDC dc, TBitmap* bmp, int x, int y, int w, int h)
{
    if (w > 0 && h > 0) BitBlt(dc, x, y, w, h, bmp->Canvas().Handle(), x, y, SRCCOPY);
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

// Where the client area of a window starts inside it (the border the window has itself).
POINT ClientOffset(HWND wnd)
{
    RECT w;
    POINT p{0, 0};
    if (!wnd || !GetWindowRect(wnd, &w)) return p;
    ClientToScreen(wnd, &p);
    return POINT{p.x - w.left, p.y - w.top};
}

} // namespace

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

// ---- the popup's background

void TsSkinableMenus::BuildBackground(TsMenuInfo& info, const TMenuItem* first, SIZE size)
{
    MenusModule& m = Module();
    info.Bmp = CreateBmp24(std::max<int>(size.cx, 1), std::max<int>(size.cy, 1));
    TBitmap* bmp = info.Bmp.get();
    const TRect all{0, 0, bmp->Width(), bmp->Height()};
    m.glyphWidth = GlyphSize(first).cx;
    m.textOffset = Margin + m.glyphWidth + Spacing;
    const int border = SkinBorderWidth();
    const int extra = ExtraLineWidth(&info);
    regionRects_.clear();
    const int section = owner_->GetSkinIndex("MAINMENU");
    if (!owner_->IsValidSkinIndex(section)) {
        FillDC(bmp->Canvas().Handle(), all, clMenu);
        return;
    }
    PaintSectionBackground(bmp, all, TsCacheInfo{}, owner_, section, 0);
    const std::string& icoLine = owner_->MenuSupport().IcoLineSkin;
    if (const int ico = icoLine.empty() ? -1 : owner_->GetSkinIndex(icoLine); owner_->IsValidSkinIndex(ico)) {
        auto strip = CreateBmp24(m.glyphWidth + 2 * Margin, std::max(all.Bottom - 2 * border, 1));
        PaintSection(strip.get(), TRect{0, 0, strip->Width(), strip->Height()}, ico, owner_, 0, TsCacheInfo{});
        BitBlt(bmp->Canvas().Handle(), border + extra, border, strip->Width(), strip->Height(),
               strip->Canvas().Handle(), 0, 0, SRCCOPY);
    }
    const int mask = owner_->GetMaskIndex(section, "MAINMENU", "BORDERSMASK");
    if (mask >= 0) DrawBorderMask(bmp, all, 0, owner_, mask, false);
    if (extra > 0) PaintExtraLine(info, first);
    if (mask >= 0) CollectTransparentRects(owner_, mask, 0, all, regionRects_);
}

void TsSkinableMenus::PaintExtraLine(TsMenuInfo& info, const TMenuItem* first)
{
    MenusModule& m = Module();
    const int border = SkinBorderWidth();
    const int w = ExtraLineWidth(&info), h = std::max(info.Bmp->Height() - 2 * border, 1);
    auto strip = CreateBmp24(w, h);
    const int section = owner_->GetSkinIndex(m.extraSection);
    if (owner_->IsValidSkinIndex(section))
        PaintSection(strip.get(), TRect{0, 0, w, h}, section, owner_, 0, TsCacheInfo{});
    int textHeight = h - 12;
    if (m.extraGlyph && !m.extraGlyph->Empty()) {
        strip->Canvas().Draw((w - m.extraGlyph->Width()) / 2, h - 12 - m.extraGlyph->Height(), *m.extraGlyph);
        textHeight = h - m.extraGlyph->Height() - 20;
    }
    const TFont& f = owner_->MenuSupport().ExtraLineFont;
    LOGFONTA lf{};
    lf.lfHeight = f.Height();
    lf.lfEscapement = lf.lfOrientation = 900; // reading from bottom to top
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = (f.Style() & fsItalic) != 0;
    lf.lfUnderline = (f.Style() & fsUnderline) != 0;
    lf.lfStrikeOut = (f.Style() & fsStrikeOut) != 0;
    auto* form = dynamic_cast<TForm*>(first->Owner());
    lf.lfCharSet = static_cast<BYTE>(form ? form->Font().Charset() : DEFAULT_CHARSET);
    lstrcpynA(lf.lfFaceName, f.Name().c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);
    HDC dc = strip->Canvas().Handle();
    HGDIOBJ old = SelectObject(dc, font);
    SIZE ext{0, 0};
    GetTextExtentPoint32A(dc, m.extraCaption.c_str(), static_cast<int>(m.extraCaption.size()), &ext);
    SetBkMode(dc, TRANSPARENT);
    const TColor color =
        owner_->IsValidSkinIndex(section) ? owner_->GeneralData[static_cast<size_t>(section)].FontColor[1] : f.Color();
    SetTextColor(dc, ColorToRGB(color));
    const int x = (w - static_cast<int>(ext.cy)) / 2;
    const int y = std::max<int>(textHeight - (textHeight - static_cast<int>(ext.cx)) / 2, 0);
    TextOutA(dc, x, y, m.extraCaption.c_str(), static_cast<int>(m.extraCaption.size()));
    SelectObject(dc, old);
    DeleteObject(font);
    BitBlt(info.Bmp->Canvas().Handle(), border, border, w, h, dc, 0, 0, SRCCOPY);
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

// ---- painting a popup item

void TsSkinableMenus::DrawBorders(TsMenuInfo& info, const TMenuItem* item, HDC windowDC, const RECT& r)
{
    TBitmap* bg = info.Bmp.get();
    const int w = bg->Width(), h = bg->Height();
    if (item == FirstVisible(item->Parent())) CopyPart(windowDC, bg, 0, 0, w, r.top);
    if (item == LastVisible(item->Parent())) CopyPart(windowDC, bg, 0, r.bottom, w, h - r.bottom);
    if (InFirstColumn(item)) CopyPart(windowDC, bg, 0, r.top, r.left, r.bottom - r.top);
    if (InLastColumn(item)) CopyPart(windowDC, bg, r.right, r.top, w - r.right, r.bottom - r.top);
}

void TsSkinableMenus::DrawDivider(TsMenuInfo& info, TCanvas& canvas, const RECT& rect, POINT offset)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int section = owner_->GetSkinIndex("DIVIDERV");
    const int mask = owner_->GetMaskIndex(section, "DIVIDERV", "BORDERSMASK");
    if (mask < 0) {
        RECT line = rect;
        HDC dc = canvas.Handle();
        HPEN light = CreatePen(PS_SOLID, 1, ColorToRGB(clWhite)), dark = CreatePen(PS_SOLID, 1, ColorToRGB(clGray));
        HGDIOBJ old = SelectObject(dc, dark);
        MoveToEx(dc, line.left, line.top, nullptr);
        LineTo(dc, line.right, line.top);
        SelectObject(dc, light);
        MoveToEx(dc, line.left, line.bottom - 1, nullptr);
        LineTo(dc, line.right, line.bottom - 1);
        SelectObject(dc, old);
        DeleteObject(light);
        DeleteObject(dark);
        return;
    }
    auto bmp = CreateBmp24(std::max(w, 1), std::max(h, 1));
    BitBlt(bmp->Canvas().Handle(), 0, 0, w, h, info.Bmp->Canvas().Handle(), rect.left + offset.x, rect.top + offset.y,
           SRCCOPY);
    const int extra = ExtraLineWidth(&info);
    const int left = std::max(extra + Margin + Spacing, extra + Module().textOffset + 2);
    DrawBorderMask(bmp.get(), TRect{left, 0, w - Margin, h}, 0, owner_, mask);
    BitBlt(canvas.Handle(), rect.left, rect.top, w, h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TsSkinableMenus::DrawCaption(TsMenuInfo& info, const TMenuItem* item, TCanvas& canvas, const RECT& rect,
                                  POINT offset)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    auto bmp = CreateBmp24(std::max(w, 1), std::max(h, 1));
    HDC bg = info.Bmp->Canvas().Handle();
    BitBlt(bmp->Canvas().Handle(), 0, 0, w, h, bg, rect.left + offset.x, rect.top + offset.y, SRCCOPY);
    const int extra = ExtraLineWidth(&info);
    const int section = owner_->GetSkinIndex("TOOLBAR");
    const TRect inner{extra + 1, 1, w - 1, h - 1};
    if (owner_->IsValidSkinIndex(section))
        PaintSection(bmp.get(), inner, section, owner_, 0,
                     MakeCacheInfo(info.Bmp.get(), rect.left + offset.x, rect.top + offset.y));
    bmp->Canvas().Font() = captionFont_;
    std::string word = item->Caption().substr(1);
    word = word.substr(0, word.find('-'));
    WriteSectionTextEx(bmp->Canvas(), word, true, owner_, 0, section,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX, inner);
    BitBlt(canvas.Handle(), rect.left, rect.top, w, h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TsSkinableMenus::DrawCheckAndGlyph(TMenuItem* item, TBitmap& bmp, TOwnerDrawState state)
{
    const int h = bmp.Height();
    TCustomImageList* list = item->GetImageList();
    const bool image = list && item->ImageIndex() >= 0;
    if ((state & odChecked) && !item->HasBitmap() && !image) {
        const int global = owner_->GetSkinIndex("GLOBALINFO");
        int mask = owner_->GetMaskIndex(global, "GLOBALINFO", item->RadioItem() ? "RADIOCHECKED" : "CHECK");
        if (mask < 0) mask = owner_->GetMaskIndex(global, "GLOBALINFO", "BOXCHECKED");
        if (mask >= 0) {
            const TRect f = MaskFrameRect(owner_->MaskData[static_cast<size_t>(mask)], 0);
            DrawMaskGlyph(&bmp, TPoint{Margin, (h - (f.Bottom - f.Top)) / 2}, 0, owner_, mask);
        }
    }
    if (item->HasBitmap()) {
        TBitmap& glyph = item->Bitmap();
        const int o = (h - glyph.Height()) / 2;
        bmp.Canvas().Draw(o, o, glyph);
    } else if (image) {
        const int o = (h - list->Height()) / 2;
        if (state & odChecked)
            if (const int s = owner_->GetSkinIndex("SPEEDBUTTON_SMALL"); owner_->IsValidSkinIndex(s))
                PaintSection(&bmp, TRect{o - 1, o - 1, o + list->Width() + 1, o + list->Height() + 1}, s, owner_, 0,
                             TsCacheInfo{});
        list->Draw(bmp.Canvas(), o, o, item->ImageIndex(), item->Enabled());
    }
}

void TsSkinableMenus::DrawItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, TOwnerDrawState state)
{
    if (!owner_->Active() || !owner_->SkinData.SkinLoaded) return;
    const HWND wnd = IsNTPlatform() ? WindowFromDC(canvas.Handle()) : nullptr;
    const TMenuItem* first = FirstVisible(item->Parent());
    TsMenuInfo* info = GetMenuInfo(first, wnd, true);
    // Messages may have been handled while the window got its region: the window or the item
    // may be gone since.
    auto gone = [&] { return !TMenuItem::FromData(reinterpret_cast<ULONG_PTR>(item)) || (wnd && !IsWindow(wnd)); };
    if (gone() || !info) return;
    if (wnd && !GetPropA(wnd, OldProcProp)) {
        HookPopupWindow(wnd, info->Bmp.get());
        info = GetMenuInfo(first, nullptr, false);
        if (gone() || !info) return;
    }
    const POINT offset = wnd ? ClientOffset(wnd) : POINT{BorderWidth, BorderWidth};
    if (wnd) {
        HDC windowDC = GetWindowDC(wnd);
        RECT r = rect;
        OffsetRect(&r, offset.x, offset.y);
        DrawBorders(*info, item, windowDC, r);
        ReleaseDC(wnd, windowDC);
    } else if (Application && Application->AppWindowMade() && item->MenuHandle()) {
        // The popup window is not known yet: the application's window skins it later.
        const HWND app = Application->AppWindow();
        MSG queued;
        if (!PeekMessageA(&queued, app, MenuItemPopup, MenuWindowPopup, PM_NOREMOVE))
            PostMessageA(app, MenuItemPopup, static_cast<WPARAM>(item->MenuIndex()),
                         reinterpret_cast<LPARAM>(item->MenuHandle()));
    }
    const TsMenuItemType kind = MenuItemKind(item->Caption());
    if (kind == smDivider) return DrawDivider(*info, canvas, rect, offset);
    if (kind == smCaption) return DrawCaption(*info, item, canvas, rect, offset);

    TBitmap* bg = info->Bmp.get();
    HDC bgDC = bg->Canvas().Handle();
    const int bottomLine = bg->Height() - offset.y - 6;
    if ((!NextVisible(item) || NextVisible(item)->Break() != mbNone) && rect.bottom < bottomLine)
        BitBlt(canvas.Handle(), rect.left, rect.bottom, rect.right - rect.left, bottomLine - rect.bottom, bgDC,
               rect.left + offset.x, rect.bottom + offset.y, SRCCOPY);
    if (item->Break() != mbNone)
        BitBlt(canvas.Handle(), rect.left - 4, rect.top, 4, bg->Height() - offset.y - BorderWidth - rect.top, bgDC,
               rect.left - 4 + offset.x, rect.top + offset.y, SRCCOPY);

    const int extra = InFirstColumn(item) ? ExtraLineWidth(info) : 0;
    const int w = std::max<int>(rect.right - rect.left - extra, 1), h = std::max<int>(rect.bottom - rect.top, 1);
    auto bmp = CreateBmp24(w, h);
    const bool hot = item->Enabled() && (state & odSelected);
    const int section = owner_->GetSkinIndex("MENUITEM");
    const TPoint at{rect.left + extra + offset.x, rect.top + offset.y};
    if (owner_->IsValidSkinIndex(section))
        PaintSection(bmp.get(), TRect{0, 0, w, h}, section, owner_, hot ? 1 : 0, MakeCacheInfo(bg, at.X, at.Y));
    else BitBlt(bmp->Canvas().Handle(), 0, 0, w, h, bgDC, at.X, at.Y, SRCCOPY);
    DrawCheckAndGlyph(item, *bmp, state);

    TCanvas& c = bmp->Canvas();
    PrepareFont(c, item);
    const int glyphWidth = GlyphSize(item).cx;
    const TRect textRect{glyphWidth + 2 * Margin + Spacing, 0, w, h};
    std::string caption = item->Caption();
    UINT align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : 0;
    if (!caption.empty() && caption[0] == '\b') {
        align = DT_RIGHT;
        caption.erase(0, 1);
    }
    const UINT flags =
        align | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | ((state & odNoAccel) ? DT_HIDEPREFIX : 0);
    const bool lit = item->Enabled() && (state & (odSelected | odHotLight));
    WriteSectionTextEx(c, caption, item->Enabled(), owner_, lit ? 1 : 0, section, flags, textRect);
    if (std::string keys = ShortCutToText(item->ShortCut()); !keys.empty()) {
        const int kw = CanvasTextWidth(c, keys);
        WriteSectionTextEx(c, keys, item->Enabled(), owner_, lit ? 1 : 0, section, DT_SINGLELINE | DT_VCENTER,
                           TRect{w - 8 - kw, 0, w - 8, h});
    }
    if (OnDrawItem) OnDrawItem(item, &c, RECT{0, 0, w, h}, state, smNormal);
    if (!item->Enabled()) {
        const int x0 = glyphWidth + 2 * Margin;
        BlendBitmapRect(bmp.get(), x0, 0, clFuchsia, 0.4, TRect{at.X + x0, at.Y, at.X + w - 1, at.Y + h - 1}, bg);
    }
    BitBlt(canvas.Handle(), rect.left + extra, rect.top, w, h, c.Handle(), 0, 0, SRCCOPY);
    if (item == first && ExtraLineWidth(info) > 0)
        BitBlt(canvas.Handle(), rect.left, rect.top, ExtraLineWidth(info), h, bgDC, rect.left + offset.x,
               rect.top + offset.y, SRCCOPY);
}

// ---- the main-menu line

void TsSkinableMenus::DrawLineItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, TOwnerDrawState state)
{
    if (!owner_->Active() || !owner_->SkinData.SkinLoaded) return;
    const int w = std::max<int>(rect.right - rect.left, 1), h = std::max<int>(rect.bottom - rect.top, 1);
    auto bg = CreateBmp24(w, h);
    const int line = owner_->GetSkinIndex("MENULINE");
    if (owner_->IsValidSkinIndex(line))
        PaintSectionBackground(bg.get(), TRect{0, 0, w, h}, TsCacheInfo{}, owner_, line, 0);
    else FillDC(bg->Canvas().Handle(), TRect{0, 0, w, h}, clMenu);
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
    WriteSectionTextEx(bmp->Canvas(), item->Caption(), item->Enabled(), owner_, lit ? 1 : 0,
                       owner_->IsValidSkinIndex(line) ? line : section, flags, TRect{left, 0, w, h});
    if (OnDrawItem) OnDrawItem(item, &bmp->Canvas(), RECT{0, 0, w, h}, state, smTopLine);
    BitBlt(canvas.Handle(), rect.left, rect.top, w, h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
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
