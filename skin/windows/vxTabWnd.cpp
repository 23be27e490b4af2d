#include "skin/windows/vxTabWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxContainerUtils.h"
#include "skin/windows/vxSpinWnd.h"

namespace {

// Skin command 27: a tab or page control answers its skin manager.
constexpr WORD cmdGetManager = 27;
// The redraws after a shrinking resize, after the skin was removed and after a new selection.
constexpr UINT RedrawShrunk = RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME;
constexpr UINT RedrawRemoved =
    RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME;
constexpr UINT RedrawSelection = RDW_INVALIDATE | RDW_FRAME;
// Escapements (tenths of a degree) of the text on left and right tabs.
constexpr int UpwardText = -2700, DownwardText = -900;

const char* const BodySections[4] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
TRect ToTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// The font turned to the escapement: weight 400, the font's other attributes, "MS Sans Serif"
// drawn in "Arial".
TFontHandle RotatedFont(const TFont& font, int escapement)
{
    LOGFONTA lf{};
    GetObjectA(font.Handle(), sizeof lf, &lf);
    lf.lfWidth = 0;
    lf.lfEscapement = lf.lfOrientation = escapement;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = 0;
    if (std::string(lf.lfFaceName) == "MS Sans Serif") lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return TFontHandle(CreateFontIndirectA(&lf));
}

struct TTabItem {
    std::string Text;
    int Image = -1;
};

TTabItem ReadTab(HWND wnd, int index)
{
    std::string buffer(4096, '\0');
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    TTabItem tab;
    if (!SendMessageA(wnd, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return tab;
    tab.Text = item.pszText ? std::string(item.pszText) : std::string();
    tab.Image = item.iImage;
    return tab;
}

} // namespace

TvxTabPosition TabPositionOf(HWND tabControl)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(tabControl, GWL_STYLE));
    if (style & TCS_VERTICAL) return (style & TCS_RIGHT) ? tpRight : tpLeft;
    return (style & TCS_BOTTOM) ? tpBottom : tpTop;
}

std::vector<TvxPageWnd*>& PageAdapterList()
{
    static std::vector<TvxPageWnd*> list;
    return list;
}

void FreePageAdapters()
{
    std::vector<TvxPageWnd*> pages;
    pages.swap(PageAdapterList());
    for (TvxPageWnd* page : pages)
        delete page;
}

// ---- TvxTabControlWnd ----

TvxTabControlWnd::~TvxTabControlWnd()
{
    Shutdown();
    SpinWnd.reset();
}

void TvxTabControlWnd::Start(const std::string& section, bool repaint)
{
    TvxMainWnd::Start(section.empty() ? "PAGECONTROL" : section, repaint);
    ReattachScroller();
}

int TvxTabControlWnd::TabCount() const { return static_cast<int>(SendMessageA(CtrlHandle, TCM_GETITEMCOUNT, 0, 0)); }
int TvxTabControlWnd::Selection() const { return static_cast<int>(SendMessageA(CtrlHandle, TCM_GETCURSEL, 0, 0)); }

RECT TvxTabControlWnd::DisplayRect() const
{
    RECT w{};
    GetWindowRect(CtrlHandle, &w);
    RECT r{0, 0, Width(w), Height(w)};
    SendMessageA(CtrlHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    r.top -= 2;
    return r;
}

RECT TvxTabControlWnd::CutAtTabRow(bool frame) const
{
    RECT w{};
    GetWindowRect(CtrlHandle, &w);
    RECT r{0, 0, Width(w), Height(w)};
    if (TabCount() <= 0) return r;
    const RECT d = DisplayRect();
    // The page frame keeps the side away from the tabs, the tab strip the side of the tabs.
    switch (TabPositionOf(CtrlHandle)) {
    case tpTop:
        (frame ? r.top : r.bottom) = d.top - 4;
        break;
    case tpBottom:
        (frame ? r.bottom : r.top) = d.bottom + 1;
        break;
    case tpLeft:
        (frame ? r.left : r.right) = d.left - 1;
        break;
    case tpRight:
        (frame ? r.right : r.left) = d.right + 1;
        break;
    }
    return r;
}

RECT TvxTabControlWnd::PageFrameRect() const { return CutAtTabRow(true); }

RECT TvxTabControlWnd::TabArea() const { return CutAtTabRow(false); }

int TvxTabControlWnd::TabRow(int index) const
{
    const int rows = static_cast<int>(SendMessageA(CtrlHandle, TCM_GETROWCOUNT, 0, 0));
    if (rows < 2) return 1;
    RECT t{};
    SendMessageA(CtrlHandle, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&t));
    const int w = Width(t), h = Height(t);
    const RECT a = TabArea();
    switch (TabPositionOf(CtrlHandle)) {
    case tpTop:
        return h > 0 ? (t.bottom + h / 2) / h : 1;
    case tpLeft:
        return w > 0 ? (t.right + w / 2) / w : 1;
    case tpBottom:
        return h > 0 ? rows - (t.bottom - a.top + h / 2) / h + 1 : 1;
    case tpRight:
        return w > 0 ? rows - (t.right - a.left + w / 2) / w + 1 : 1;
    }
    return 1;
}

RECT TvxTabControlWnd::TabRect(int index, bool selected) const
{
    if (index < 0 || index >= TabCount() || Selection() < 0) return RECT{};
    RECT r{};
    SendMessageA(CtrlHandle, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(CtrlHandle, GWL_STYLE));
    if ((style & (TCS_BUTTONS | TCS_FLATBUTTONS)) || r.left == r.right) return r;
    const RECT raw = r;
    switch (TabPositionOf(CtrlHandle)) {
    case tpTop:
        r = selected ? RECT{raw.left - 2, raw.top - 2, raw.right + 2, raw.bottom + 2}
                     : RECT{raw.left, raw.top, raw.right - 1, raw.bottom + 4};
        break;
    case tpBottom:
        r = selected ? RECT{raw.left - 2, raw.top - 3, raw.right + 2, raw.bottom + 1}
                     : RECT{raw.left, raw.top - 2, raw.right - 1, raw.bottom};
        break;
    case tpLeft:
        r = selected ? RECT{raw.left - 1, raw.top - 2, raw.right + 3, raw.bottom + 1}
                     : RECT{raw.left, raw.top - 1, raw.right + 3, raw.bottom};
        break;
    case tpRight:
        r = selected ? RECT{raw.left - 3, raw.top - 2, raw.right + 1, raw.bottom + 2}
                     : RECT{raw.left - 2, raw.top - 1, raw.right - 1, raw.bottom};
        break;
    }
    return r;
}

void TvxTabControlWnd::TabSection(int& section, int& border) const
{
    section = border = -1;
    const TsSkinManager* m = Manager();
    if (!m) return;
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(CtrlHandle, GWL_STYLE));
    const char* name = (style & TCS_BUTTONS) ? "TOOLBUTTON" : (style & TCS_FLATBUTTONS) ? "BUTTON" : nullptr;
    if (name) {
        section = m->GetSkinIndex(name);
        border = m->GetMaskIndexByName(name, "BORDERSMASK");
        return;
    }
    const TsCommonIndexes::TPart& tab = m->CommonIndexes.Tabs[static_cast<size_t>(TabPositionOf(CtrlHandle))];
    section = tab.SkinIndex;
    border = tab.BorderIndex;
}

void TvxTabControlWnd::DrawTab(int index, int state, TBitmap* target, POINT offset)
{
    const TsSkinManager* m = Manager();
    if (index < 0 || !m || !target) return;
    TCanvas& canvas = target->Canvas();
    const TFont savedFont = canvas.Font();
    TFont font;
    if (WindowFont(CtrlHandle, font)) canvas.Font() = font;
    const bool selected = state == 2 && index == Selection();
    RECT r = TabRect(index, selected);
    const TTabItem item = ReadTab(CtrlHandle, index);
    const TvxTabPosition position = TabPositionOf(CtrlHandle);
    int section = -1, border = -1;
    TabSection(section, border);
    TBitmap* cache = SkinData->FCacheBmp.get();
    // Tab backgrounds only with a "TABTOP" section above index 0.
    if (m->CommonIndexes.Tabs[TsCommonIndexes::Top].SkinIndex > 0 && m->IsValidImgIndex(border) &&
        m->IsValidSkinIndex(section) && Width(r) > 0 && Height(r) > 0 && cache) {
        auto tmp = CreateBmp24(Width(r), Height(r));
        const HDC dc = target->Canvas().Handle();
        if (selected) {
            BitBlt(tmp->Canvas().Handle(), 0, 0, Width(r), Height(r), cache->Canvas().Handle(), r.left, r.top, SRCCOPY);
            BitBlt(dc, r.left + offset.x, r.top + offset.y, Width(r), Height(r), tmp->Canvas().Handle(), 0, 0, SRCCOPY);
            PaintSection(target, TRect{0, 0, Width(r), Height(r)}, section, m, 2, MakeCacheInfo(tmp.get(), 0, 0));
        } else {
            PaintSection(tmp.get(), TRect{0, 0, Width(r), Height(r)}, section, m, state,
                         MakeCacheInfo(cache, r.left, r.top));
            const int saved = SaveDC(dc);
            if (position == tpTop || position == tpLeft) {
                const RECT frame = PageFrameRect();
                ExcludeClipRect(dc, frame.left + offset.x, frame.top + offset.y, frame.right + offset.x,
                                frame.bottom + offset.y);
            }
            BitBlt(dc, r.left + offset.x, r.top + offset.y, Width(r), Height(r), tmp->Canvas().Handle(), 0, 0, SRCCOPY);
            RestoreDC(dc, saved);
        }
    }
    // The content: image and text in the tab section's colours (the body's without one).
    OffsetRect(&r, offset.x, offset.y);
    const int textSection = m->IsValidSkinIndex(section) ? section : SkinData->SkinIndex;
    if (TControl* owner = OwnerControl()) canvas.Font() = owner->Font();
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
    int cx = 0, cy = 0;
    const bool image = images && item.Image >= 0 && ImageList_GetIconSize(images, &cx, &cy);
    if (!image) cx = cy = 0;
    const HDC dc = canvas.Handle();
    if (position == tpTop || position == tpBottom) {
        if (image) {
            const int tw = CanvasTextWidth(canvas, item.Text);
            ImageList_Draw(images, item.Image, dc, r.left + (Width(r) - (tw + cx + 8)) / 2,
                           r.top + (Height(r) - cy) / 2, ILD_NORMAL);
            r.left += cx;
        }
        WriteSectionTextEx(canvas, item.Text, true, m, state, textSection, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                           ToTRect(r));
    } else if (!item.Text.empty() || image) {
        const TFontHandle rotated = RotatedFont(canvas.Font(), position == tpLeft ? UpwardText : DownwardText);
        const HGDIOBJ old = SelectObject(dc, rotated.get());
        SIZE extent{};
        GetTextExtentPoint32A(dc, item.Text.c_str(), static_cast<int>(item.Text.size()), &extent);
        const int tw = extent.cx, th = extent.cy;
        int x = 0, y = 0;
        if (position == tpLeft) {
            if (image) {
                if (selected) OffsetRect(&r, 2, 0);
                const int g = (Height(r) - (cy + 4 + tw)) / 2;
                const int iy = r.bottom - g - cy;
                ImageList_Draw(images, item.Image, dc, r.left + (Width(r) - cx) / 2, iy, ILD_TRANSPARENT);
                y = iy - 4;
            } else {
                y = r.bottom - (Height(r) - tw) / 2;
            }
            x = r.left + (Width(r) - th) / 2;
        } else {
            OffsetRect(&r, -2, -1);
            if (image) {
                if (selected) OffsetRect(&r, 2, 0);
                const int iy = r.top + (Height(r) - (cy + 4 + tw)) / 2;
                ImageList_Draw(images, item.Image, dc, r.left + (Width(r) - cx) / 2, iy, ILD_TRANSPARENT);
                y = iy + cy + 4;
            } else {
                y = r.top + (Height(r) - tw) / 2;
            }
            x = r.left + (Width(r) - th) / 2 + th;
        }
        const TColor color = m->IsValidSkinIndex(textSection)
                                 ? (state == 0 ? m->GeneralData[static_cast<size_t>(textSection)].FontColor[1]
                                               : m->GeneralData[static_cast<size_t>(textSection)].HotFontColor[1])
                                 : canvas.Font().Color();
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
        const int mode = SetBkMode(dc, TRANSPARENT);
        ExtTextOutA(dc, x, y, ETO_CLIPPED, &r, item.Text.c_str(), static_cast<UINT>(item.Text.size()), nullptr);
        SetBkMode(dc, mode);
        SelectObject(dc, old);
    }
    canvas.Font() = savedFont;
}

void TvxTabControlWnd::DrawSelectedTab(int index, int state, HDC dc)
{
    if (index < 0) return;
    const RECT r = TabRect(index, state == 2);
    if (Width(r) <= 0 || Height(r) <= 0) return;
    auto bmp = CreateBmp24(Width(r), Height(r));
    DrawTab(index, state, bmp.get(), POINT{-r.left, -r.top});
    BitBlt(dc, r.left, r.top, Width(r), Height(r), bmp->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TvxTabControlWnd::DrawTabs()
{
    TBitmap* cache = SkinData->FCacheBmp.get();
    const RECT area = TabArea();
    const TsCacheInfo parent = ParentCacheInfoAt(CtrlHandle);
    if (parent.Ready && parent.Bmp) {
        const int sx = parent.X + area.left, sy = parent.Y + area.top;
        BitBlt(cache->Canvas().Handle(), area.left, area.top, std::min(Width(area), parent.Bmp->Width()),
               std::min(Height(area), parent.Bmp->Height()), parent.Bmp->Canvas().Handle(), sx, sy, SRCCOPY);
    } else {
        FillDC(cache->Canvas().Handle(), ToTRect(area), parent.FillColor);
    }
    const int rows = std::max(1, static_cast<int>(SendMessageA(CtrlHandle, TCM_GETROWCOUNT, 0, 0)));
    const int count = TabCount(), selection = Selection();
    for (int row = 1; row <= rows; ++row)
        for (int i = 0; i < count; ++i)
            if (i != selection && TabRow(i) == row) DrawTab(i, 0, cache, POINT{0, 0});
}

void TvxTabControlWnd::Paint(HDC given, bool useGivenDC)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    SkinData->Updating = SkinData->GetUpdating();
    TsSkinManager* m = Manager();
    if (SkinData->Updating || !m) return;
    const bool own = !given || !(useGivenDC || RepaintLocked);
    const HDC dc = own ? GetDC(CtrlHandle) : given;
    const int saved = SaveDC(dc);
    const int w = WndSize.cx, h = WndSize.cy;
    const int count = TabCount();
    SkinData->BGChanged = true;
    const std::string body = count <= 0                                 ? std::string("CHECKBOX")
                             : SkinData->SkinSection() != "PAGECONTROL" ? SkinData->SkinSection()
                                                                        : BodySections[TabPositionOf(CtrlHandle)];
    SkinData->SkinIndex = m->GetSkinIndex(body);
    if (SkinData->BGChanged) {
        TBitmap* cache = SizedCache(SkinData, w, h);
        const TsCacheInfo parent = ParentCacheInfoAt(CtrlHandle);
        if (count > 0) DrawTabs();
        if (m->IsValidSkinIndex(SkinData->SkinIndex))
            PaintSection(cache, ToTRect(PageFrameRect()), SkinData->SkinIndex, m, 0, parent);
        SkinData->BGChanged = false;
    }
    const HDC cacheDC = SkinData->FCacheBmp->Canvas().Handle();
    if (const int selection = Selection(); count > 0 && selection >= 0) {
        const int state = SaveDC(dc);
        const RECT tab = TabRect(selection, true);
        ExcludeClipRect(dc, tab.left, tab.top, tab.right, tab.bottom);
        BitBlt(dc, 0, 0, w, h, cacheDC, 0, 0, SRCCOPY);
        RestoreDC(dc, state);
        if (own) {
            RestoreDC(dc, saved);
            SaveDC(dc);
        }
        DrawSelectedTab(selection, 2, dc);
    } else {
        BitBlt(dc, 0, 0, w, h, cacheDC, 0, 0, SRCCOPY);
    }
    if (auto* owner = dynamic_cast<TWinControl*>(OwnerControl())) ::PaintControls(dc, owner, TPoint{0, 0});
    RestoreDC(dc, -1);
    if (own) ReleaseDC(CtrlHandle, dc);
}

void TvxTabControlWnd::ReattachScroller()
{
    if (!SkinData->Skinned()) return;
    SpinWnd.reset();
    if (const HWND scroller = FindWindowExA(CtrlHandle, nullptr, UPDOWN_CLASSA, nullptr))
        SpinWnd.reset(CreateAdapter<TvxSpinWnd>(scroller, nullptr, Manager(), "UPDOWNBTN", false));
}

bool TvxTabControlWnd::HandleTabCommand(TMessage& m)
{
    if (!AcceptSkinCommand(m)) {
        m.Result = 0;
        return true;
    }
    const bool own = FromManager(m.LParam), skinned = SkinData->Skinned();
    switch (HIWORD(m.WParam)) {
    case cmdSkinChanged:
        if (own) ::HandleSkinCommand(m, *SkinData);
        SkinData->Invalidate();
        return true;
    case cmdRemoveSkin:
        if (own) {
            ::HandleSkinCommand(m, *SkinData);
            ReattachScroller();
            SkinData->Invalidate();
            InvalidateRect(CtrlHandle, nullptr, TRUE);
            RedrawWindow(CtrlHandle, nullptr, nullptr, RedrawRemoved);
        } else {
            SkinData->Invalidate();
        }
        return true;
    case cmdRefresh:
        if (own) {
            ::HandleSkinCommand(m, *SkinData);
            InvalidateRect(CtrlHandle, nullptr, TRUE);
            ReattachScroller();
        }
        SkinData->Invalidate();
        return true;
    case cmdUpdateEnded:
        if (!skinned) return false;
        SkinData->Updating = false;
        InvalidateRect(CtrlHandle, nullptr, TRUE);
        return true;
    case cmdIsSkinned:
        m.Result = 1;
        return true;
    case cmdGetBGChanged:
        if (!skinned) return false;
        m.Result = SkinData->Updating ? 1 : 0;
        return true;
    case cmdGetManager:
        m.Result = reinterpret_cast<LRESULT>(Manager());
        return true;
    case cmdGetBGInfo:
        if (!skinned) return false;
        ::HandleSkinCommand(m, *SkinData);
        return true;
    default:
        return false;
    }
}

void TvxTabControlWnd::WndProc(TMessage& m)
{
    if (Destroyed) {
        TvxMainWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD) {
        if (!HandleTabCommand(m)) TvxMainWnd::WndProc(m);
        return;
    }
    const bool skinned = SkinData->Skinned();
    if (skinned) {
        switch (m.Msg) {
        case WM_PAINT: {
            InvalidateRect(CtrlHandle, nullptr, TRUE);
            const TPaintDC paint(CtrlHandle);
            return;
        }
        case WM_ERASEBKGND:
            if (!Visible(CtrlHandle)) break;
            if (!RepaintLocked) Paint(reinterpret_cast<HDC>(m.WParam), false);
            ReattachScroller();
            m.Result = 0;
            return;
        case WM_NCPAINT:
            return;
        case WM_PRINT:
            ReattachScroller();
            Paint(reinterpret_cast<HDC>(m.WParam), true);
            return;
        default:
            break;
        }
    }
    const SIZE before = WndSize;
    TvxMainWnd::WndProc(m);
    if (!skinned || Destroyed) return;
    switch (m.Msg) {
    case WM_SIZE: {
        ReattachScroller();
        RECT r{};
        GetWindowRect(CtrlHandle, &r);
        if (Width(r) < before.cx || Height(r) < before.cy) RedrawWindow(CtrlHandle, nullptr, nullptr, RedrawShrunk);
        break;
    }
    case TCM_SETCURSEL:
        RedrawWindow(CtrlHandle, nullptr, nullptr, RedrawSelection);
        break;
    case CM_CONTROLLISTCHANGE:
        ReattachScroller();
        break;
    default:
        break;
    }
}

// ---- TvxPageControlWnd ----

TvxPageControlWnd::~TvxPageControlWnd() { Shutdown(); }

void TvxPageControlWnd::Start(const std::string& section, bool repaint)
{
    TvxTabControlWnd::Start(section, repaint);
    AttachPageAdapters();
}

void TvxPageControlWnd::AttachPageAdapters()
{
    // Pages whose windows have gone are freed here, so that a page control made again and
    // again does not grow the list.
    auto& list = PageAdapterList();
    for (auto it = list.begin(); it != list.end();) {
        if ((*it)->Destroyed) {
            delete *it;
            it = list.erase(it);
        } else {
            ++it;
        }
    }
    for (HWND child = GetWindow(CtrlHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        auto* manager = reinterpret_cast<TsSkinManager*>(SendSkinCommand(CtrlHandle, cmdGetManager, 0));
        if (!manager || SendSkinCommand(child, cmdIsSkinned, 0) == 1) continue;
        if (TvxPageWnd* page = CreateAdapter<TvxPageWnd>(child, nullptr, manager, "CHECKBOX", false))
            list.push_back(page);
    }
}

void TvxPageControlWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinData->Skinned() || m.Msg == SM_VELOCONCMD) {
        TvxTabControlWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_ERASEBKGND:
        if (!Visible(CtrlHandle)) break;
        if (!RepaintLocked) Paint(reinterpret_cast<HDC>(m.WParam), false);
        m.Result = 1;
        return;
    case WM_NCPAINT:
        AttachPageAdapters();
        return;
    case WM_PARENTNOTIFY:
        TvxTabControlWnd::WndProc(m);
        if (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY) AttachPageAdapters();
        return;
    case TCM_SETCURSEL:
        TvxTabControlWnd::WndProc(m);
        if (TControl* owner = OwnerControl()) NotifyParentForm(owner);
        return;
    default:
        break;
    }
    TvxTabControlWnd::WndProc(m);
}

// ---- TvxPageWnd ----

TvxPageWnd::~TvxPageWnd() { Shutdown(); }

void TvxPageWnd::Paint(HDC dc)
{
    const HWND parent = GetParent(CtrlHandle);
    if (!dc || !parent) return;
    RECT r{};
    GetWindowRect(CtrlHandle, &r);
    const int w = Width(r), h = Height(r);
    POINT pos{r.left, r.top};
    ScreenToClient(parent, &pos);
    TsBackgroundInfo bg;
    GetParentBackgroundByHandle(bg, parent, false);
    if (bg.BgType == btCache && bg.Bmp) {
        BitBlt(dc, 0, 0, w, h, bg.Bmp->Canvas().Handle(), bg.Offset.X + pos.x, bg.Offset.Y + pos.y, SRCCOPY);
        return;
    }
    FillDC(dc, TRect{0, 0, w, h}, bg.Color);
    const TvxMainWnd* tabs = GetAdapterOfWindow(parent);
    TBitmap* cache = tabs && tabs->SkinData ? tabs->SkinData->FCacheBmp.get() : nullptr;
    if (!cache || cache->Empty()) return;
    constexpr int Strip = 3;
    RECT s{0, 0, w, Strip};
    switch (TabPositionOf(parent)) {
    case tpTop:
        break;
    case tpBottom:
        s = RECT{0, h - Strip, w, h};
        break;
    case tpLeft:
        s = RECT{0, 0, Strip, h};
        break;
    case tpRight:
        s = RECT{w - Strip, 0, w, h};
        break;
    }
    BitBlt(dc, s.left, s.top, Width(s), Height(s), cache->Canvas().Handle(), pos.x + s.left, pos.y + s.top, SRCCOPY);
}

void TvxPageWnd::WndProc(TMessage& m)
{
    if (Destroyed) {
        TvxMainWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD) {
        if (!AcceptSkinCommand(m)) {
            m.Result = 0;
            return;
        }
        const bool own = FromManager(m.LParam);
        switch (HIWORD(m.WParam)) {
        case cmdSkinChanged:
            SkinData->Invalidate();
            if (own) ::HandleSkinCommand(m, *SkinData);
            return;
        case cmdRemoveSkin:
        case cmdRefresh:
            if (own) {
                ::HandleSkinCommand(m, *SkinData);
                InvalidateRect(CtrlHandle, nullptr, TRUE);
            }
            SkinData->Invalidate();
            return;
        case cmdUpdateEnded:
            if (SkinData->Updating) {
                SkinData->Updating = false;
                InvalidateRect(CtrlHandle, nullptr, TRUE);
            }
            return;
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdGetBGChanged:
            m.Result = SkinData->Updating ? 1 : 0;
            return;
        case cmdGetBGInfo: {
            auto& info = *reinterpret_cast<TsBackgroundInfo*>(m.LParam);
            const HWND parent = GetParent(CtrlHandle);
            if (!parent) return;
            GetParentBackgroundByHandle(info, parent, false);
            POINT pos{0, 0};
            MapWindowPoints(CtrlHandle, parent, &pos, 1);
            info.Offset.X += pos.x;
            info.Offset.Y += pos.y;
            return;
        }
        default:
            break;
        }
        TvxMainWnd::WndProc(m);
        return;
    }
    if (SkinData->Skinned()) {
        switch (m.Msg) {
        case WM_ERASEBKGND:
            if (!Visible(CtrlHandle)) break;
            Paint(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        case WM_NCPAINT:
            return;
        case WM_PRINT: {
            Paint(reinterpret_cast<HDC>(m.WParam));
            TMessage paint{WM_PAINT, m.WParam, m.LParam, 0};
            CallPrevWndProc(paint);
            return;
        }
        default:
            break;
        }
    }
    TvxMainWnd::WndProc(m);
    if (!Destroyed && m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) NotifyTopWindow(CtrlHandle);
}
