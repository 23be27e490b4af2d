// The skinned standard dialog: its window image (frame, caption band, icon, caption, title
// buttons), region, hit test, clicks, window menu and the background of its children.
#include "skin/windows/vxDialogWnd.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "gui/Forms.h"
#include "gui/Menus.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sTitleButtons.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxBorderForm.h"
#include "skin/windows/vxContainerUtils.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxGlow.h"
#include "skin/windows/vxSBAnimation.h"

namespace {

enum { btMin, btMax, btClose, btHelp };

constexpr UINT CaptionFlags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
// The query that forbids a region: a window answering 16802 keeps its own.
constexpr UINT msgRegionQuery = 48205;
constexpr WPARAM regionAnswer = 16802;
constexpr UINT SC_DRAGMOVE = SC_MOVE + 2;

LONG_PTR StyleOf(HWND wnd) { return GetWindowLongPtrA(wnd, GWL_STYLE); }

bool Inside(const TRect& r, POINT p) { return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom; }

// The point of a non-client mouse message in window coordinates.
POINT WindowPoint(HWND wnd, LPARAM lParam)
{
    RECT w{};
    GetWindowRect(wnd, &w);
    return POINT{GET_X_LPARAM(lParam) - w.left, GET_Y_LPARAM(lParam) - w.top};
}

} // namespace

// ---- the window menu

TvxSystemMenu::TvxSystemMenu(TvxDialogWnd* dialog) : TsCustomSysMenu(nullptr), dialog_(dialog)
{
    Add("miRestore", "Restore", SC_RESTORE, true);
    Add("miMove", "Move", SC_MOVE, false);
    Add("miSize", "Size", SC_SIZE, false);
    Add("miMinimize", "Minimize", SC_MINIMIZE, false);
    TMenuItem* max = Add("miMaximize", "Maximize", SC_MAXIMIZE, true);
    Items()->InsertNewLineAfter(max);
    Add("miClose", "Close", SC_CLOSE, false)->SetShortCut(0x8073);
}

TMenuItem* TvxSystemMenu::Add(const char* name, const char* caption, UINT command, bool update)
{
    auto* item = new TMenuItem(this);
    item->SetName(name);
    item->SetCaption(caption);
    item->SetTag(static_cast<intptr_t>(command));
    item->OnClick = [this, command, update](TObject*) {
        const HWND wnd = dialog_->CtrlHandle;
        if (!wnd || !IsWindow(wnd)) return;
        SendMessageA(wnd, WM_SYSCOMMAND, command, 0);
        if (update && IsWindow(wnd) && !dialog_->Destroyed) UpdateItems();
    };
    Items()->Add(item);
    return item;
}

TMenuItem* TvxSystemMenu::Item(const char* name) const
{
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Items(i)->Name() == name) return Items()->Items(i);
    return nullptr;
}

bool TvxSystemMenu::VisibleClose() const { return (dialog_->SavedStyle & WS_SYSMENU) != 0; }

void TvxSystemMenu::UpdateItems()
{
    const LONG_PTR s = dialog_->SavedStyle;
    const int b = dialog_->BorderStyle;
    const bool iconic = dialog_->Iconic(), zoomed = dialog_->Zoomed();
    const bool sys = (s & WS_SYSMENU) != 0, max = (s & WS_MAXIMIZEBOX) != 0, min = (s & WS_MINIMIZEBOX) != 0;
    const auto set = [this](const char* name, bool visible, bool enabled) {
        if (TMenuItem* i = Item(name)) {
            i->SetVisible(visible);
            i->SetEnabled(enabled);
        }
    };
    set("miRestore", (b == 1 || b == 3) && sys, max && (iconic || zoomed));
    set("miMove", true, !zoomed);
    set("miSize", b != 0 && b != 2 && b != 4, b != 1 && !iconic);
    set("miMinimize", min, !iconic);
    set("miMaximize", max, !zoomed && (b == 1 || b == 3 || b == 5));
    set("miClose", sys, true);
}

// ---- creation and set-up

void TvxDialogWnd::Start(const std::string& section, bool repaint)
{
    SkipClientPaint = LOBYTE(LOWORD(GetVersion())) >= 6;
    TvxScrollWnd::Start(section, repaint);
    SysMenu.reset(new TvxSystemMenu(this));
    SavedStyle = StyleOf(CtrlHandle);
    SysMenu->UpdateItems();
    SkinData->Updating = true;
    DisableDwmTransitions(CtrlHandle, true);
}

TvxDialogWnd::~TvxDialogWnd()
{
    *alive_ = false;
    StopButtonAnimations();
    for (TvxDialogButton& b : Buttons)
        if (b.GlowID >= 0) HideGlow(b.GlowID);
    FreeBrush();
    delete std::exchange(BorderForm, nullptr);
    if (captionFont_) DeleteObject(captionFont_);
    if (Icon) DestroyIcon(Icon);
    SysMenu.reset();
    // A dialog that outlives its adapter gets its own frame back.
    if (!Destroyed && CtrlHandle && IsWindow(CtrlHandle)) {
        if (SavedStyle & WS_SYSMENU) SetWindowLongPtrA(CtrlHandle, GWL_STYLE, StyleOf(CtrlHandle) | WS_SYSMENU);
        SetWindowRgn(CtrlHandle, nullptr, IsWindowVisible(CtrlHandle));
    }
    Shutdown();
}

void TvxDialogWnd::AfterInit()
{
    SavedStyle = StyleOf(CtrlHandle);
    SavedExStyle = GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE);
    if ((SavedStyle & WS_POPUP) && (SavedStyle & WS_CAPTION) != WS_CAPTION) BorderStyle = 2;
    else if (SavedStyle & WS_THICKFRAME) BorderStyle = 3;
    else if (SavedStyle & DS_MODALFRAME) BorderStyle = 0;
    else BorderStyle = 3;
    ReadIcon();
    LoadButtons();
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    if (captionFont_) DeleteObject(captionFont_);
    captionFont_ = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)
                       ? CreateFontIndirectA(&metrics.lfCaptionFont)
                       : nullptr;
    SysMenu->UpdateItems();
    SetWindowLongPtrA(CtrlHandle, GWL_STYLE, SavedStyle & ~static_cast<LONG_PTR>(WS_SYSMENU));
    SkinData->Updating = false;
    SkinData->BGChanged = true;
    RgnChanged = true;
}

void TvxDialogWnd::ReadIcon()
{
    if (Icon) DestroyIcon(Icon);
    Icon = nullptr;
    auto icon = reinterpret_cast<HICON>(SendMessageA(CtrlHandle, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(CtrlHandle, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(CtrlHandle, GCLP_HICONSM));
    if (icon)
        Icon = static_cast<HICON>(
            CopyImage(icon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

void TvxDialogWnd::LoadButtons()
{
    TsSkinManager* m = Manager();
    Buttons[btMin].HitCode = HTMINBUTTON;
    Buttons[btMax].HitCode = HTMAXBUTTON;
    Buttons[btClose].HitCode = HTCLOSE;
    Buttons[btHelp].HitCode = HTHELP;
    if (!m) return;
    const int global = m->CommonIndexes.GlobalInfo;
    const auto image = [&](const char* name) { return m->GetMaskIndex(global, "GLOBALINFO", name); };
    const auto big = [&]() {
        const bool others = (SavedStyle & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) != 0;
        int close = others ? -1 : image("BICLOSEALONE");
        if (close < 0) close = image("BICONCLOSE");
        Buttons[btClose].ImageIndex = close;
        Buttons[btMin].ImageIndex = image("BICONMIN");
        Buttons[btMax].ImageIndex = image("BICONMAX");
        Buttons[btHelp].ImageIndex = image("BICONHELP");
        for (TvxDialogButton& b : Buttons)
            b.Big = true;
    };
    if (BorderStyle == 1 || BorderStyle == 3 || image("SICONCLOSE") < 0) {
        big();
        return;
    }
    Buttons[btClose].ImageIndex = image("SICONCLOSE");
    Buttons[btMin].ImageIndex = image("SICONMIN");
    Buttons[btMax].ImageIndex = image("SICONMAX");
    int help = image("SICONHELP");
    Buttons[btHelp].ImageIndex = help >= 0 ? help : image("BICONHELP");
    for (TvxDialogButton& b : Buttons)
        b.Big = false;
}

// ---- metrics

int TvxDialogWnd::BorderWidth() const { return ClientOffset().x; }

int TvxDialogWnd::CaptionHeight() const
{
    const LONG_PTR s = StyleOf(CtrlHandle);
    if (!Iconic() && (s & WS_CAPTION) != WS_CAPTION) return 0;
    return GetSystemMetrics(BorderStyle == 4 || BorderStyle == 5 ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int TvxDialogWnd::TitleBottom() const { return CaptionHeight() == 0 ? 0 : BorderWidth() + CaptionHeight(); }

POINT TvxDialogWnd::ClientOffset() const
{
    RECT w{};
    GetWindowRect(CtrlHandle, &w);
    POINT p{0, 0};
    ClientToScreen(CtrlHandle, &p);
    return POINT{p.x - w.left, p.y - w.top};
}

bool TvxDialogWnd::CanMaximize() const { return (SavedStyle & WS_MAXIMIZEBOX) != 0; }

TvxDialogButton* TvxDialogWnd::ButtonByCode(int code)
{
    for (TvxDialogButton& b : Buttons)
        if (b.HitCode == code) return &b;
    return nullptr;
}

int TvxDialogWnd::CaptionHit(POINT p) const
{
    const int b = BorderWidth();
    if (CaptionHeight() == 0 || p.y < 0 || p.y >= TitleBottom()) return 0;
    if (p.x >= b && p.x < b + GetSystemMetrics(SM_CXSMICON) && p.y >= b) return HTSYSMENU;
    const auto shown = [&](int i) { return Buttons[i].Shown && Inside(Buttons[i].Rect, p); };
    if (shown(btClose)) return HTCLOSE;
    if (shown(btMax)) return CanMaximize() || Zoomed() ? HTMAXBUTTON : HTCAPTION;
    if (shown(btMin)) return (SavedStyle & WS_MINIMIZEBOX) || Iconic() ? HTMINBUTTON : HTCAPTION;
    if (shown(btHelp)) return HTHELP;
    return HTCAPTION;
}

// ---- the window image

TBitmap* TvxDialogWnd::Image()
{
    const SIZE size = WindowSizeOf(CtrlHandle);
    if (!SkinData->FCacheBmp) SkinData->InitCacheBmp();
    TBitmap* image = SkinData->FCacheBmp.get();
    if (SkinData->BGChanged || image->Width() != size.cx || image->Height() != size.cy) {
        image->SetPixelFormat(pf24bit);
        image->SetSize(std::max<int>(size.cx, 0), std::max<int>(size.cy, 0));
        if (size.cx != LastSize.cx || size.cy != LastSize.cy) RgnChanged = true;
        LastSize = size;
        PaintImage(image);
        SkinData->BGChanged = false;
    }
    return image;
}

void TvxDialogWnd::PaintImage(TBitmap* image)
{
    TsSkinManager* m = Manager();
    const int w = image->Width(), h = image->Height();
    if (!m || w == 0 || h == 0) return;
    const int state = Active ? 1 : 0;
    if (m->IsValidSkinIndex(SkinData->SkinIndex)) {
        TsLinkFields fields = SkinData->Fields();
        fields.State = state;
        PaintItem(fields, TsCacheInfo{}, true, state, image, TPoint{}, TRect{0, 0, w, h});
    } else FillDC(image->Canvas().Handle(), TRect{0, 0, w, h}, m->GetGlobalColor());
    const int bottom = TitleBottom();
    if (bottom == 0) return;
    const int title = m->GetSkinIndex("FORMTITLE");
    if (m->IsValidSkinIndex(title)) PaintSection(image, TRect{0, 0, w, bottom}, title, m, state, TsCacheInfo{});
    const HDC dc = image->Canvas().Handle();
    // The icon, centred in the caption.
    const int b = BorderWidth(), cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const HICON icon = Icon ? Icon : LoadIconA(nullptr, IDI_APPLICATION);
    DrawIconEx(dc, b, b + (CaptionHeight() - cy) / 2, icon, cx, cy, 0, nullptr, DI_NORMAL);
    PaintButtons(image);
    // The caption between the icon and the buttons.
    int right = w - b;
    for (const TvxDialogButton& btn : Buttons)
        if (btn.Shown) right = std::min(right, static_cast<int>(btn.Rect.Left));
    TRect r{b + cx + 4, b, right - 4, bottom};
    ReadCaption();
    if (r.Right <= r.Left || Caption.empty()) return;
    TCanvas& canvas = image->Canvas();
    LOGFONTA lf{};
    if (captionFont_ && GetObjectA(captionFont_, sizeof lf, &lf)) FontFromLogFont(canvas.Font(), lf);
    if (m->IsValidSkinIndex(CaptionIndex)) {
        RECT measured{r.Left, r.Top, r.Right, r.Bottom};
        const HGDIOBJ old = SelectObject(dc, canvas.Font().Handle());
        DrawTextA(dc, Caption.c_str(), static_cast<int>(Caption.size()), &measured, CaptionFlags | DT_CALCRECT);
        SelectObject(dc, old);
        const int th = measured.bottom - measured.top, top = r.Top + (r.Bottom - r.Top - th) / 2;
        PaintSection(image, TRect{r.Left - 4, top - 2, std::min<int>(measured.right, r.Right) + 4, top + th + 2},
                     CaptionIndex, m, state, MakeCacheInfo(image, 0, 0));
    }
    WriteSectionTextEx(canvas, Caption, true, m, state, title, CaptionFlags, r);
}

void TvxDialogWnd::PaintButtons(TBitmap* image)
{
    TsSkinManager* m = Manager();
    for (TvxDialogButton& b : Buttons) {
        b.Shown = false;
        b.Rect = TRect{};
    }
    const int bottom = TitleBottom();
    const LONG_PTR s = SavedStyle;
    int x = image->Width() - BorderWidth() - m->SkinData.BIRight;
    const auto place = [&](TvxDialogButton& b, int imageIndex) {
        const int bw = CaptionButtonWidth(m, imageIndex), bh = CaptionButtonHeight(m, imageIndex);
        int top = m->SkinData.BIVAlign == 1 ? m->SkinData.BITop : (bottom - bh) / 2;
        b.Rect = TRect{x - bw, top, x, top + bh};
        b.Shown = true;
        x = b.Rect.Left - (b.Big ? m->SkinData.BISpace : 0);
        if (m->IsValidImgIndex(imageIndex)) {
            const TsMaskData& md = m->MaskData[static_cast<size_t>(imageIndex)];
            const int frame = std::min(b.State, std::max(md.ImageCount - 1, 0));
            DrawMaskGlyph(image, TPoint{b.Rect.Left, b.Rect.Top}, frame, m, imageIndex, Active ? 1 : 0);
        }
    };
    if (s & WS_SYSMENU) place(Buttons[btClose], Buttons[btClose].ImageIndex);
    if (s & WS_MAXIMIZEBOX) {
        int index = Buttons[btMax].ImageIndex;
        if (Zoomed()) {
            index = m->GetMaskIndex(m->CommonIndexes.GlobalInfo, "GLOBALINFO", "BICONNORM");
            if (index < 0) index = m->GetMaskIndex(SkinData->SkinIndex, SkinData->SkinSection(), "BICONNORM");
        }
        place(Buttons[btMax], index);
    }
    if (s & WS_MINIMIZEBOX) place(Buttons[btMin], Buttons[btMin].ImageIndex);
    if (SavedExStyle & WS_EX_CONTEXTHELP) place(Buttons[btHelp], Buttons[btHelp].ImageIndex);
}

void TvxDialogWnd::PaintFrame()
{
    TBitmap* image = Image();
    if (RgnChanged) UpdateRegion(false);
    // The frame stays the dialog's own with a border window too (it lies behind the dialog and
    // shows the same image around the shadow), so the dialog keeps its clicks and its region.
    if (image->Width() == 0) return;
    const POINT c = ClientOffset();
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    const int w = image->Width(), h = image->Height();
    const int top = c.y + (Iconic() ? 1 : 0), right = std::min<int>(w, c.x + cr.right),
              bottom = std::min<int>(h, c.y + cr.bottom);
    const HDC dc = GetWindowDC(CtrlHandle);
    const HDC src = image->Canvas().Handle();
    const auto copy = [&](int l, int t, int r, int b) {
        if (r > l && b > t) BitBlt(dc, l, t, r - l, b - t, src, l, t, SRCCOPY);
    };
    copy(0, 0, w, top);
    copy(0, top, c.x, bottom);
    copy(0, bottom, w, h);
    copy(right, top, w, bottom);
    ReleaseDC(CtrlHandle, dc);
}

void TvxDialogWnd::PaintClientBackground(HDC dc)
{
    TBitmap* image = Image();
    const POINT c = ClientOffset();
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    const int saved = SaveDC(dc);
    for (HWND child = GetTopWindow(CtrlHandle); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const LONG_PTR s = StyleOf(child);
        char cls[16] = "";
        GetClassNameA(child, cls, sizeof cls);
        if ((lstrcmpiA(cls, "static") == 0 && (s & WS_TABSTOP)) || (s & 7) == 7) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, CtrlHandle, reinterpret_cast<POINT*>(&r), 2);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    BitBlt(dc, 0, 0, cr.right, cr.bottom, image->Canvas().Handle(), c.x, c.y, SRCCOPY);
    RestoreDC(dc, saved);
}

void TvxDialogWnd::PrintChildren(HWND parent, HDC dc, POINT offset)
{
    for (HWND child = GetTopWindow(parent); child; child = GetWindow(child, GW_HWNDNEXT)) {
        // By the style bit: a dialog is printed for its animations while it is hidden too.
        if ((StyleOf(child) & (WS_CHILD | WS_VISIBLE)) != (WS_CHILD | WS_VISIBLE)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 1);
        const POINT at{offset.x + r.left, offset.y + r.top};
        const int saved = SaveDC(dc);
        SetViewportOrgEx(dc, at.x, at.y, nullptr);
        SendMessageA(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        RestoreDC(dc, saved);
        PrintChildren(child, dc, at);
    }
}

void TvxDialogWnd::UpdateRegion(bool repaint)
{
    TsSkinManager* m = Manager();
    if (!m || (BorderStyle == 2 && !Iconic())) return;
    if (SendMessageA(CtrlHandle, msgRegionQuery, regionAnswer, 0) == static_cast<LRESULT>(regionAnswer)) return;
    const SIZE size = WindowSizeOf(CtrlHandle);
    RgnParts.clear();
    if (m->IsValidImgIndex(SkinData->BorderIndex))
        CollectTransparentRects(m, SkinData->BorderIndex, 0, TRect{0, 0, size.cx, size.cy}, RgnParts);
    const int title = m->GetSkinIndex("FORMTITLE");
    if (m->IsValidSkinIndex(title) && TitleBottom() > 0) {
        const int mask = m->GetMaskIndex(title, "FORMTITLE", "BORDERSMASK");
        if (m->IsValidImgIndex(mask)) {
            // The top band only: the title's lower corners lie inside the window.
            std::vector<TRect> parts;
            const int band = m->GetMaskTopWidth(mask);
            CollectTransparentRects(m, mask, 0, TRect{0, 0, size.cx, std::max(TitleBottom(), 2 * band)}, parts);
            for (const TRect& r : parts)
                if (r.Top < band) RgnParts.push_back(r);
        }
    }
    HRGN rgn = CreateRectRgn(0, 0, size.cx, size.cy);
    for (const TRect& r : RgnParts) {
        HRGN part = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
        CombineRgn(rgn, rgn, part, RGN_DIFF);
        DeleteObject(part);
    }
    RgnChanged = false;
    SetWindowRgn(CtrlHandle, rgn, repaint);
}

HBRUSH TvxDialogWnd::DialogBrush()
{
    TsSkinManager* m = Manager();
    const TColor color = m ? m->GetGlobalColor() : clBtnFace;
    if (brush_ && brushColor_ != color) FreeBrush();
    if (!brush_) {
        brush_ = CreateSolidBrush(ColorToRGB(color));
        brushColor_ = color;
    }
    return brush_;
}

void TvxDialogWnd::FreeBrush()
{
    if (brush_) DeleteObject(brush_);
    brush_ = nullptr;
}

// ---- title buttons

void TvxDialogWnd::RepaintButton(TvxDialogButton& b)
{
    if (!b.Shown) return;
    SkinData->BGChanged = true;
    TBitmap* image = Image();
    if (!IsWindowVisible(CtrlHandle) || image->Width() == 0) return;
    const TRect& r = b.Rect;
    const bool fade = BorderForm && LayeredWindowsAvailable() && UpdateLayeredWindowEntry();
    // A fade shows the new state above the dialog; the normal look goes below the window that
    // fades out.
    if (!fade || b.State == 0) {
        const HDC dc = GetWindowDC(CtrlHandle);
        BitBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, image->Canvas().Handle(), r.Left, r.Top, SRCCOPY);
        ReleaseDC(CtrlHandle, dc);
    }
    if (fade) {
        AnimateTitleButton(b.Animation, *this,
                           TvxAnimatedButton{b.HitCode, b.ImageIndex, RECT{r.Left, r.Top, r.Right, r.Bottom}, nullptr},
                           b.State, b.State == 2 ? 1 : 10);
        return;
    }
    TsSkinManager* m = Manager();
    if (b.State == 1 && m && m->AllowGlowing() && b.GlowID < 0 && m->IsValidImgIndex(b.ImageIndex)) {
        RECT w{};
        GetWindowRect(CtrlHandle, &w);
        const TRect screen{w.left + r.Left, w.top + r.Top, w.left + r.Right, w.top + r.Bottom};
        const std::string name = m->MaskData[static_cast<size_t>(b.ImageIndex)].PropertyName + "GLOW";
        b.GlowID = ShowGlow(screen, screen, "GLOBALINFO", m, CtrlHandle, 255, 0, name);
    } else if (b.State != 1 && b.GlowID >= 0) {
        HideGlow(b.GlowID);
        b.GlowID = -1;
    }
}

void TvxDialogWnd::SetHotButton(int code, bool repaint)
{
    if (code == hotButton_) return;
    if (TvxDialogButton* old = ButtonByCode(hotButton_)) {
        old->State = 0;
        if (repaint) RepaintButton(*old);
    }
    hotButton_ = code;
    if (TvxDialogButton* b = ButtonByCode(code)) {
        b->State = 1;
        if (repaint) RepaintButton(*b);
    }
    buttonPressed_ = false;
}

void TvxDialogWnd::PressButton(int code)
{
    if (TvxDialogButton* old = ButtonByCode(hotButton_); old && hotButton_ != code) {
        old->State = 0;
        RepaintButton(*old);
    }
    hotButton_ = code;
    pressedCode_ = code;
    if (TvxDialogButton* b = ButtonByCode(code); b && (code != HTMAXBUTTON || CanMaximize() || Zoomed())) {
        b->State = 2;
        RepaintButton(*b);
    }
    buttonPressed_ = true;
}

void TvxDialogWnd::ButtonUp(TMessage& m)
{
    const HWND wnd = CtrlHandle;
    const int code = static_cast<int>(m.WParam);
    const TvxDialogButton* b = ButtonByCode(code);
    const bool inside = b && b->Shown && Inside(b->Rect, WindowPoint(wnd, m.LParam));
    buttonPressed_ = false;
    switch (code) {
    case HTMINBUTTON:
        if (!inside) {
            CallPrevWndProc(m);
            break;
        }
        SetHotButton(0, true);
        SendMessageA(wnd, WM_SYSCOMMAND, Iconic() ? SC_RESTORE : SC_MINIMIZE, 0);
        return;
    case HTMAXBUTTON: {
        SetHotButton(0, true);
        const std::shared_ptr<bool> alive = alive_;
        SendMessageA(wnd, WM_SYSCOMMAND, Zoomed() ? SC_RESTORE : SC_MAXIMIZE, 0);
        if (Application) Application->ProcessMessages();
        // The dialog may have gone meanwhile (the adapter flagged destroyed, or freed).
        if (*alive && !Destroyed && IsWindow(wnd)) SysMenu->UpdateItems();
        return;
    }
    case HTCLOSE:
        SetHotButton(0, true);
        SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    case HTHELP:
        SetHotButton(0, true);
        SendMessageA(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        if (!Destroyed && IsWindow(wnd)) {
            SysMenu->UpdateItems();
            SendMessageA(wnd, WM_NCPAINT, 1, 0);
        }
        return;
    default:
        CallPrevWndProc(m);
        break;
    }
    if (!Destroyed) SetHotButton(0, true);
}

void TvxDialogWnd::ShowSystemMenu(int x, int y)
{
    SetHotButton(0, true);
    SysMenu->UpdateItems();
    TsSkinManager* m = Manager();
    SkinPopupMenu(SysMenu.get(), m && m->SkinnedPopups());
    SysMenu->Popup(x, y);
}

// ---- skin commands

void TvxDialogWnd::SkinCommand(TMessage& m)
{
    if (!AcceptSkinCommand(m)) {
        m.Result = 0;
        return;
    }
    TsSkinManager* manager = Manager();
    switch (HIWORD(m.WParam)) {
    case cmdSkinChanged:
        if (!FromManager(m.LParam)) break;
        SwitchExtBorders(manager->ExtendedBorders());
        SkinData->UpdateIndexes();
        CaptionIndex = manager->GetSkinIndex("CAPTION");
        LoadButtons();
        FreeBrush();
        SkinData->BGChanged = true;
        RgnChanged = true;
        PassSkinMessage(nullptr, CtrlHandle, m);
        return;
    case cmdRefresh:
        SwitchExtBorders(manager->ExtendedBorders());
        SkinData->UpdateIndexes();
        SkinData->BGChanged = true;
        RgnChanged = true;
        FreeBrush();
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        return;
    case cmdSetBGChanged:
        SkinData->Updating = LOWORD(m.WParam) == 1;
        if (SkinData->GetUpdating()) SkinData->BGChanged = true;
        return;
    case cmdGetBGChanged:
        m.Result = SkinData->Updating ? 1 : 0;
        return;
    case 18: // the border window is updated
        UpdateExtBorder();
        return;
    case cmdHasComplexBG: {
        const int i = SkinData->SkinIndex;
        m.Result = manager->IsValidSkinIndex(i) && manager->GeneralData[static_cast<size_t>(i)].GradientPercent +
                                                           manager->GeneralData[static_cast<size_t>(i)].ImagePercent >
                                                       0;
        return;
    }
    case cmdGetBGColor:
        m.Result = static_cast<LRESULT>(GetControlColor(SkinData, 0, CtrlHandle));
        return;
    case cmdRescanChildren:
        if (Provider) RescanDialogChildren(Provider);
        return;
    case cmdGetBGInfo: {
        auto& info = *reinterpret_cast<TsBackgroundInfo*>(m.LParam);
        TBitmap* image = Image();
        const POINT c = ClientOffset();
        info.BgType = btCache;
        if (info.PleaseDraw) {
            BitBlt(info.DrawDC, info.R.Left, info.R.Top, info.R.Right - info.R.Left, info.R.Bottom - info.R.Top,
                   image->Canvas().Handle(), info.Offset.X + info.R.Left + c.x, info.Offset.Y + info.R.Top + c.y,
                   SRCCOPY);
            return;
        }
        info.Bmp = image;
        info.Offset = TPoint{c.x, c.y};
        return;
    }
    case cmdDialogClientOffset: {
        const POINT c = ClientOffset();
        m.Result = static_cast<LRESULT>(MAKELONG(c.x, c.y));
        return;
    }
    default:
        if (AnswerQuery(m)) return;
        break;
    }
    TvxScrollWnd::WndProc(m);
}

// ---- the window procedure

void TvxDialogWnd::WndProc(TMessage& m)
{
    if (Destroyed || !ManagerActive()) {
        TvxScrollWnd::WndProc(m);
        return;
    }
    const HWND wnd = CtrlHandle;
    switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        SwitchExtBorders(false);
        TvxScrollWnd::WndProc(m);
        Destroyed = true;
        return;
    case WM_SIZE:
        SkinData->BGChanged = true;
        RgnChanged = true;
        CallPrevWndProc(m);
        if (!AnimationRunning) UpdateExtBorder();
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    case WM_SETFOCUS:
        CallPrevWndProc(m);
        if (HWND active = GetActiveWindow())
            RedrawWindow(active, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
        if (!IsWindowVisible(wnd)) break;
        CallPrevWndProc(m);
        SkinData->BGChanged = true;
        SendMessageA(wnd, WM_NCPAINT, 1, 0);
        UpdateExtBorder();
        return;
    case WM_PAINT:
        if (SkipClientPaint) {
            PAINTSTRUCT ps{};
            BeginPaint(wnd, &ps);
            EndPaint(wnd, &ps);
            m.Result = 0;
            return;
        }
        break;
    case WM_ERASEBKGND:
        ReadWindowGeometry(wnd, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
        if (!ChildrenAdded) {
            ChildrenAdded = true;
            if (Provider) RescanDialogChildren(Provider);
        }
        if (m.WParam) PaintClientBackground(reinterpret_cast<HDC>(m.WParam));
        m.Result = 1;
        return;
    case WM_DRAWITEM:
        if (auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam); d && d->CtlType == ODT_STATIC)
            SetBkMode(d->hDC, TRANSPARENT);
        break;
    case WM_WINDOWPOSCHANGED:
        SkinData->BGChanged = true;
        RgnChanged = true;
        CallPrevWndProc(m);
        if (auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam); pos && (pos->flags & SWP_HIDEWINDOW)) {
            if (LayeredWindowsAvailable()) {
                AnimateHide();
                SwitchExtBorders(false);
            }
        } else if (pos && !(pos->flags & SWP_NOREDRAW)) {
            UpdateExtBorder();
        }
        return;
    case WM_SHOWWINDOW:
        CallPrevWndProc(m);
        DisableDwmTransitions(wnd, true);
        if (m.WParam) {
            // A dialog hidden before lost its border window: it is made again for the show.
            if (TsSkinManager* manager = Manager()) SwitchExtBorders(manager->ExtendedBorders());
            AnimateShow();
        }
        return;
    case WM_NCHITTEST: {
        const POINT p = WindowPoint(wnd, m.LParam);
        int hit = CaptionHit(p);
        if (hit == 0 && Zoomed()) {
            RECT w{};
            GetWindowRect(wnd, &w);
            if (p.x < 2 || p.y < 2 || p.x >= w.right - w.left - 2 || p.y >= w.bottom - w.top - 2) hit = -1;
        }
        if (hit == 0 || hit == HTCAPTION) {
            CallPrevWndProc(m);
            SetHotButton(0, true);
            return;
        }
        if (hit == HTMINBUTTON || hit == HTMAXBUTTON || hit == HTCLOSE || hit == HTHELP) {
            if (!buttonPressed_) SetHotButton(hit, true);
        } else SetHotButton(0, true);
        m.Result = hit;
        return;
    }
    case WM_NCPAINT:
        if (!IsWindowVisible(wnd)) break;
        ReadWindowGeometry(wnd, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
        PaintFrame();
        if (BorderForm && !IsWindowVisible(BorderForm->Handle())) UpdateExtBorder();
        m.Result = 0;
        return;
    case WM_NCACTIVATE:
        if (!IsWindowVisible(wnd)) break;
        SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
        CallPrevWndProc(m);
        Active = m.WParam != 0;
        SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
        SkinData->BGChanged = true;
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        UpdateExtBorder();
        return;
    case WM_NCLBUTTONDOWN: {
        int hit = static_cast<int>(m.WParam);
        if (hit != HTBOTTOMRIGHT) {
            const int own = CaptionHit(WindowPoint(wnd, m.LParam));
            if (own != 0) hit = own;
        }
        switch (hit) {
        case HTSYSMENU: {
            SetHotButton(0, true);
            RECT w{};
            GetWindowRect(wnd, &w);
            ShowSystemMenu(w.left + BorderWidth(), w.top + TitleBottom());
            return;
        }
        case HTMINBUTTON:
        case HTMAXBUTTON:
        case HTCLOSE:
        case HTHELP:
            PressButton(hit);
            m.Result = 0;
            return;
        default:
            if (Iconic()) {
                SendMessageA(wnd, WM_SYSCOMMAND, SC_DRAGMOVE, m.LParam);
                return;
            }
            if (Zoomed() && hit == HTCAPTION) {
                SetFocus(wnd);
                return;
            }
            break;
        }
        break;
    }
    case WM_NCLBUTTONUP:
        if (!buttonPressed_) break;
        ButtonUp(m);
        return;
    case WM_NCLBUTTONDBLCLK: {
        const int hit = CaptionHit(WindowPoint(wnd, m.LParam));
        if (hit == HTCAPTION && (CanMaximize() || Iconic() || Zoomed())) {
            SendMessageA(wnd, WM_SYSCOMMAND, Zoomed() || Iconic() ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (!Destroyed && IsWindow(wnd)) SysMenu->UpdateItems();
        } else if (hit == HTSYSMENU) SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        m.Result = 0;
        return;
    }
    case WM_NCRBUTTONDOWN: {
        const int hit = CaptionHit(WindowPoint(wnd, m.LParam));
        if (hit == HTCAPTION || hit == HTSYSMENU) {
            m.Result = 0;
            return;
        }
        break;
    }
    case WM_NCRBUTTONUP: {
        const int hit = CaptionHit(WindowPoint(wnd, m.LParam));
        if (hit == HTCAPTION || hit == HTSYSMENU) {
            SetHotButton(0, true);
            ShowSystemMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            m.Result = 0;
            return;
        }
        break;
    }
    case WM_CTLCOLORDLG:
        m.Result = reinterpret_cast<LRESULT>(DialogBrush());
        return;
    case WM_MOUSEMOVE:
        if (IsWindowEnabled(wnd))
            if (TsSkinManager* manager = Manager()) manager->SetActiveControl(nullptr);
        break;
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
        SetHotButton(0, true);
        break;
    case 0x401:
        CallPrevWndProc(m);
        if (Provider && !Destroyed) RescanDialogChildren(Provider);
        return;
    case 0x52E:
        CallPrevWndProc(m);
        if (Provider && !Destroyed) RescanDialogChildren(Provider);
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        return;
    default:
        if (m.Msg == SM_VELOCONCMD) {
            SkinCommand(m);
            return;
        }
        break;
    }
    TvxScrollWnd::WndProc(m);
}

// ---- the extended border and the animations

void TvxDialogWnd::SwitchExtBorders(bool on)
{
    TsSkinManager* m = Manager();
    const bool want = on && !Destroyed && CtrlHandle && IsWindow(CtrlHandle) && m && m->ExtendedBorders() &&
                      m->ShadowActive() && LayeredWindowsAvailable() && UpdateLayeredWindowEntry() &&
                      BorderStyle != 2 && (StyleOf(CtrlHandle) & WS_CAPTION) == WS_CAPTION;
    if (want == (BorderForm != nullptr)) return;
    StopButtonAnimations();
    if (!want) {
        delete std::exchange(BorderForm, nullptr);
        return;
    }
    BorderForm = new TvxBorderForm(*this);
    SkinData->BGChanged = true;
    if (IsWindowVisible(CtrlHandle)) BorderForm->UpdateExBorderPos(true, 255);
}

void TvxDialogWnd::UpdateExtBorder()
{
    if (BorderForm && !Destroyed) BorderForm->UpdateExBorderPos(true, 255);
}

void TvxDialogWnd::StopButtonAnimations()
{
    for (TvxDialogButton& b : Buttons)
        delete std::exchange(b.Animation, nullptr);
}

void TvxDialogWnd::AnimateShow()
{
    TsSkinManager* m = Manager();
    if (!m || !m->Active() || Destroyed) return;
    const TvxFormAnimation& show = m->AnimEffects().DialogShow;
    if (!show.Active || show.Time <= 0) return;
    ReadCaption();
    if (Provider) RescanDialogChildren(Provider);
    AnimShowDialog(*this, show.Time, 255, show.Mode);
}

void TvxDialogWnd::AnimateHide()
{
    TsSkinManager* m = Manager();
    if (!m || !m->Active() || Destroyed) return;
    const TvxFormAnimation& hide = m->AnimEffects().DialogHide;
    if (hide.Active && hide.Time > 0) AnimHideDialog(*this);
}

TvxDialogWnd* DialogAdapterOf(HWND wnd) { return dynamic_cast<TvxDialogWnd*>(GetAdapterOfWindow(wnd)); }
