// The painting of skinned menus: the popup's background, its items, dividers and caption
// items.
#include <algorithm>

#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sSkinMenusShared.h"

using namespace skinmenus;

namespace {

// Rows or columns of the background copied to a DC at the same place.
void CopyPart(HDC dc, TBitmap* bmp, int x, int y, int w, int h)
{
    if (w > 0 && h > 0) BitBlt(dc, x, y, w, h, bmp->Canvas().Handle(), x, y, SRCCOPY);
}

// The symbol of a window-menu command ("SysMenu" items carry the command as their tag), or none.
const char* WindowMenuSymbol(const TMenuItem* item)
{
    const TMenu* menu = item->GetParentMenu();
    if (!menu || menu->Name() != "SysMenu") return nullptr;
    switch (item->Tag()) {
    case SC_MINIMIZE:
        return "0";
    case SC_MAXIMIZE:
        return "1";
    case SC_CLOSE:
        return "r";
    case SC_RESTORE:
        return "2";
    default:
        return nullptr;
    }
}

} // namespace

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

// ---- painting a popup item

void TsSkinableMenus::DrawBorders(TsMenuInfo& info, const TMenuItem* item, HDC windowDC, const RECT& r)
{
    TBitmap* bg = info.Bmp.get();
    const int w = bg->Width(), h = bg->Height();
    if (item == FirstVisible(item->Parent())) CopyPart(windowDC, bg, 0, 0, w, r.top);
    if (item == LastVisible(item->Parent())) CopyPart(windowDC, bg, 0, r.bottom, w, h - r.bottom);
    // The left border, at least the skin's border wide, with the extra line beside the first column.
    if (InFirstColumn(item))
        CopyPart(windowDC, bg, 0, r.top, std::max<int>(r.left, SkinBorderWidth()) + ExtraLineWidth(&info),
                 r.bottom - r.top);
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
    } else if (const char* symbol = WindowMenuSymbol(item)) {
        TCanvas& c = bmp.Canvas();
        c.Font().SetName("Webdings");
        c.Font().SetSize(10);
        c.Font().SetStyle(0);
        const bool lit = item->Enabled() && (state & (odSelected | odHotLight));
        WriteSectionTextEx(c, symbol, item->Enabled(), owner_, lit ? 1 : 0, owner_->GetSkinIndex("MENUITEM"),
                           DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, TRect{4, 0, bmp.Width(), h});
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

// The items of the main-menu line are painted in sSkinMenuLine.cpp.
