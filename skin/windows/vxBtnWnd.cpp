#include "skin/windows/vxBtnWnd.h"

#include <algorithm>
#include <optional>

#include "gui/StdCtrls.h"
#include "gui/base/Handles.h"
#include "skin/engine/sGlyphLayout.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxAdapterPaint.h"
#include "skin/windows/vxGlow.h"

namespace {

constexpr WORD cmdAskParent = 5;

LONG_PTR StyleOf(HWND wnd) { return GetWindowLongPtrA(wnd, GWL_STYLE); }

// The window's text measured with flags (DT_CALCRECT added) in the canvas's font, width
// available at most.
SIZE MeasureText(TCanvas& canvas, const std::string& text, int width, UINT flags)
{
    RECT r{0, 0, width, 0};
    const HDC dc = canvas.Handle();
    TSelectGuard font(dc, canvas.Font().Handle());
    DrawTextStr(dc, text, r, flags | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Clears the link's pending-update flag and asks it again (the parent in an update keeps it
// set); true when painting may go on.
bool TakePendingUpdate(TsCommonData* link)
{
    link->Updating = false;
    link->Updating = !RepaintLocked && link->GetUpdating();
    return !link->Updating;
}

} // namespace

// ---- TvxBtnWnd

void TvxBtnWnd::Start(const std::string& section, bool repaint)
{
    TvxMainWnd::Start(section.empty() ? "BUTTON" : section, repaint);
}

bool TvxBtnWnd::Pressed() const { return (SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

int TvxBtnWnd::ButtonState() const
{
    if (Pressed()) return 2;
    const TsSkinManager* manager = Manager();
    if (IsWindowEnabled(CtrlHandle) && (GetFocus() == CtrlHandle || SkinData->Focused)) return 1;
    if (manager && manager->ActiveControl() == CtrlHandle) return 1;
    return (StyleOf(CtrlHandle) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 1 : 0;
}

UINT TvxBtnWnd::CaptionFlags() const
{
    return (StyleOf(CtrlHandle) & BS_MULTILINE) ? DT_CENTER | DT_EXPANDTABS : DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS;
}

SIZE TvxBtnWnd::TextSize() { return MeasureText(*canvas_, Caption, WndSize.cx, CaptionFlags()); }

RECT TvxBtnWnd::CaptionRect()
{
    const SIZE t = TextSize();
    const int left = (WndSize.cx - t.cx) / 2 - 1, top = (WndSize.cy - t.cy) / 2;
    RECT r{left, top, WndSize.cx - left + 2, top + t.cy};
    if (state_ == 2) OffsetRect(&r, 1, 1);
    return r;
}

void TvxBtnWnd::DrawCaptionText(const RECT& r, UINT flags)
{
    canvas_->Brush().SetStyle(bsClear);
    WriteControlText(*canvas_, Caption, IsWindowEnabled(CtrlHandle) != FALSE, state_, SkinData->Fields(), flags,
                     AsTRect(r));
}

void TvxBtnWnd::DrawCaption()
{
    if (TControl* owner = OwnerControl()) canvas_->Font() = owner->Font();
    else WindowFont(CtrlHandle, canvas_->Font());
    const RECT r = CaptionRect();
    DrawCaptionText(r, CaptionFlags());
    const TsSkinManager* manager = Manager();
    const bool showFocus = manager && manager->IsValidSkinIndex(SkinData->SkinIndex) &&
                           manager->GeneralData[static_cast<size_t>(SkinData->SkinIndex)].ShowFocus;
    if (IsWindowEnabled(CtrlHandle) && (SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) && !Caption.empty() &&
        showFocus)
        DrawFocusDots(*canvas_, TRect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1});
}

void TvxBtnWnd::PrepareCache()
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(CtrlHandle, parent);
    TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
    state_ = ButtonState();
    if (state_ == 2 && lastState_ != 2) ClearGlows();
    lastState_ = state_;
    PaintLinkSection(SkinData, parent, WndPos, state_, WndSize.cx, WndSize.cy);
    canvas_ = &cache->Canvas();
    DrawCaption();
    DrawGlyph();
    canvas_ = nullptr;
    BlendDisabledWindow(CtrlHandle, cache, parent, WndPos);
    SkinData->BGChanged = false;
}

void TvxBtnWnd::Paint(HDC given)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    // A print into another DC leaves the window's own update region alone.
    std::optional<TPaintDC> paint;
    if (!given) paint.emplace(CtrlHandle);
    if (RepaintLocked && !PrintDC) return;
    if (!TakePendingUpdate(SkinData)) return;
    std::optional<TWindowDC> own;
    if (!given) own.emplace(CtrlHandle);
    const HDC dc = given ? given : own->get();
    SkinData->BGChanged = true;
    PrepareCache();
    BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TvxBtnWnd::Repaint()
{
    SkinData->BGChanged = true;
    SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
}

void TvxBtnWnd::WndProc(TMessage& m)
{
    if (m.Msg == SM_VELOCONCMD && ManagerActive() && AcceptSkinCommand(m)) {
        TsSkinManager* manager = Manager();
        switch (HIWORD(m.WParam)) {
        case cmdUpdateEnded:
            if (SkinData->Updating && TakePendingUpdate(SkinData))
                RedrawWindow(CtrlHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            return;
        case cmdMouseEnter:
            if (!SkinData->MouseAbove && manager && manager->ActiveControl() == CtrlHandle &&
                CursorInWindow(CtrlHandle)) {
                SkinData->MouseAbove = true;
                SkinData->Updating = false;
                Repaint();
                UpdateGlow(SkinData, true, CtrlHandle);
            }
            break;
        case cmdMouseLeave:
            if (SkinData->MouseAbove) {
                ClearGlows();
                SkinData->MouseAbove = false;
                SkinData->Updating = false;
                Repaint();
            }
            break;
        default:
            break;
        }
        TvxMainWnd::WndProc(m);
        return;
    }
    const bool visible = IsWindowVisible(CtrlHandle) != FALSE;
    switch (m.Msg) {
    case WM_PAINT:
        if (!SkinParamsSet) SetNeedsRepaint();
        Paint(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
        m.Result = 1;
        return;
    case BM_SETSTATE:
        if (!visible) break;
        WithoutRedraw(CtrlHandle, [&] { CallPrevWndProc(m); });
        Repaint();
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!IsWindowEnabled(CtrlHandle)) break;
        WithoutRedraw(CtrlHandle, [&] { TvxMainWnd::WndProc(m); });
        SkinData->Focused = m.Msg == WM_SETFOCUS;
        Repaint();
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
        if (!visible) break;
        WithoutRedraw(CtrlHandle, [&] { TvxMainWnd::WndProc(m); });
        Repaint();
        return;
    case WM_MOVE: {
        const TsSkinManager* manager = Manager();
        if (manager && manager->IsValidSkinIndex(SkinData->SkinIndex)) {
            const TsGeneralData& g = manager->GeneralData[static_cast<size_t>(SkinData->SkinIndex)];
            if (g.Transparency >= 1 || (g.HotTransparency >= 1 && ButtonState() == 1)) Repaint();
        }
        break;
    }
    case WM_MOUSEMOVE: {
        TvxMainWnd::WndProc(m);
        TsSkinManager* manager = DefaultManager();
        if (!manager || !IsWindowEnabled(CtrlHandle)) return;
        const bool inside = CursorInWindow(CtrlHandle);
        if (inside && manager->ActiveControl() != CtrlHandle) manager->SetActiveControl(CtrlHandle);
        else if (!inside && manager->ActiveControl() == CtrlHandle) manager->SetActiveControl(nullptr);
        return;
    }
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
}

// ---- TvxBitBtnWnd

TBitmap* TvxBitBtnWnd::OwnGlyph() const
{
    auto* button = dynamic_cast<TBitBtn*>(OwnerControl());
    return button && !button->Glyph().Empty() ? &button->Glyph() : nullptr;
}

int TvxBitBtnWnd::Frames() const
{
    auto* button = dynamic_cast<TBitBtn*>(OwnerControl());
    return button ? std::max(1, button->NumGlyphs()) : 1;
}

SIZE TvxBitBtnWnd::GlyphSize() const
{
    if (dynamic_cast<TBitBtn*>(OwnerControl())) {
        TBitmap* glyph = OwnGlyph();
        return glyph ? SIZE{glyph->Width() / Frames(), glyph->Height()} : SIZE{0, 0};
    }
    BITMAP info{};
    const auto bmp = reinterpret_cast<HBITMAP>(SendMessageA(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!bmp || GetObjectA(bmp, sizeof info, &info) == 0) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

RECT TvxBitBtnWnd::CaptionRect()
{
    const SIZE t = TextSize(), g = GlyphSize();
    TButtonLayout layout = blGlyphLeft;
    int margin = -1, spacing = 4;
    if (auto* button = dynamic_cast<TBitBtn*>(OwnerControl())) {
        layout = button->Layout();
        margin = button->Margin();
        spacing = button->Spacing();
    }
    const TPoint offset = state_ == 2 ? TPoint{1, 1} : TPoint{0, 0};
    TPoint glyphPos;
    TRect text;
    CalcGlyphLayout(TRect{0, 0, WndSize.cx, WndSize.cy}, offset, TPoint{g.cx, g.cy}, TPoint{t.cx, t.cy}, layout, margin,
                    spacing, glyphPos, text);
    glyphPos_ = POINT{glyphPos.X, glyphPos.Y};
    return RECT{text.Left, text.Top, text.Right, text.Bottom};
}

void TvxBitBtnWnd::DrawGlyph()
{
    TBitmap* cache = SkinData->FCacheBmp.get();
    const SIZE g = GlyphSize();
    if (g.cx <= 0 || g.cy <= 0) return;
    const TRect r{glyphPos_.x, glyphPos_.y, glyphPos_.x + g.cx, glyphPos_.y + g.cy};
    const int frame = !IsWindowEnabled(CtrlHandle) ? 1 : state_ == 2 ? 2 : 0;
    if (TBitmap* glyph = OwnGlyph()) {
        if (Frames() == 1 && glyph->PixelFormat() == pf32bit) CopyAlphaOverCache(cache, r, glyph, TsCacheInfo{});
        else DrawGlyphBitmap(glyph, cache, r, frame, Frames(), 0, false);
        return;
    }
    // The window's own bitmap: its bottom-left pixel is the transparent colour.
    const auto bmp = reinterpret_cast<HBITMAP>(SendMessageA(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    TMemDC src(CreateCompatibleDC(nullptr));
    TSelectGuard selected(src.get(), bmp);
    TransparentBlt(cache->Canvas().Handle(), r.Left, r.Top, g.cx, g.cy, src.get(), 0, 0, g.cx, g.cy,
                   GetPixel(src.get(), 0, g.cy - 1));
}

// ---- TvxCheckBoxWnd

void TvxCheckBoxWnd::Start(const std::string& section, bool repaint)
{
    TvxMainWnd::Start(section.empty() ? "CHECKBOX" : section, repaint);
}

int TvxCheckBoxWnd::CheckState() const
{
    const LRESULT st = SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0);
    return (st & BST_INDETERMINATE) ? 2 : (st & BST_CHECKED) ? 1 : 0;
}

int TvxCheckBoxWnd::GlyphMask() const
{
    const TsSkinManager* manager = Manager();
    if (!manager) return -1;
    static const char* const boxes[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    static const char* const radios[] = {"RADIOUNCHECKED", "RADIOCHECKED", "BOXGRAYED"};
    const bool radio = (StyleOf(CtrlHandle) & 7) == BS_RADIOBUTTON;
    const int state = CheckState();
    return manager->GetMaskIndex(manager->CommonIndexes.GlobalInfo, "GLOBALINFO", radio ? radios[state] : boxes[state]);
}

bool TvxCheckBoxWnd::IsActive() const
{
    if (OwnerControl()) return SkinData->ControlIsActive();
    const TsSkinManager* manager = Manager();
    return IsWindowEnabled(CtrlHandle) &&
           (GetFocus() == CtrlHandle || (manager && manager->ActiveControl() == CtrlHandle));
}

void TvxCheckBoxWnd::DrawGlyph()
{
    TBitmap* cache = SkinData->FCacheBmp.get();
    const TsSkinManager* manager = Manager();
    const int mask = GlyphMask();
    if (cache->Height() < 1 || !manager || !manager->IsValidImgIndex(mask)) return;
    const SIZE g = GlyphFrameSize(manager, mask);
    const bool pressed = (SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    const bool hot = GetFocus() == CtrlHandle || manager->ActiveControl() == CtrlHandle;
    const int x = (StyleOf(CtrlHandle) & BS_LEFTTEXT) ? WndSize.cx - g.cx : 0;
    DrawMaskGlyph(cache, TPoint{x, (WndSize.cy - g.cy) / 2}, pressed ? 2 : hot ? 1 : 0, manager, mask);
}

void TvxCheckBoxWnd::DrawCaption(TCanvas& canvas, int state)
{
    if (Caption.empty()) return;
    const TsSkinManager* manager = Manager();
    const int boxMask =
        manager ? manager->GetMaskIndex(manager->CommonIndexes.GlobalInfo, "GLOBALINFO", "BOXCHECKED") : -1;
    const SIZE box = GlyphFrameSize(manager, boxMask);
    const LONG_PTR style = StyleOf(CtrlHandle);
    const bool multi = (style & BS_MULTILINE) != 0, leftText = (style & BS_LEFTTEXT) != 0;
    const SIZE t = MeasureText(canvas, Caption, WndSize.cx - (box.cx + 2), multi ? DT_WORDBREAK : DT_SINGLELINE);
    int top = std::max<LONG>(0, (WndSize.cy - t.cy) / 2), left = 2;
    if (!leftText) {
        left = box.cx + 2 - (multi ? 1 : 0);
        --top;
    }
    const RECT r{left, top, left + t.cx, top + t.cy};
    canvas.Brush().SetStyle(bsClear);
    WriteControlText(canvas, Caption, IsWindowEnabled(CtrlHandle) != FALSE, state, SkinData->Fields(),
                     multi ? DT_CENTER | DT_WORDBREAK : DT_SINGLELINE, AsTRect(r));
    if (GetFocus() == CtrlHandle) DrawFocusDots(canvas, TRect{r.left - 1, r.top, r.right + 1, r.bottom});
}

void TvxCheckBoxWnd::PrepareCache()
{
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(CtrlHandle, parent);
    TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
    TCanvas& canvas = cache->Canvas();
    if (TControl* owner = OwnerControl()) canvas.Font() = owner->Font();
    else WindowFont(CtrlHandle, canvas.Font());
    const int state = IsActive() ? 1 : 0;
    PaintLinkSection(SkinData, parent, WndPos, state, WndSize.cx, WndSize.cy);
    DrawCaption(canvas, state);
    DrawGlyph();
    BlendDisabledWindow(CtrlHandle, cache, parent, WndPos);
    SkinData->BGChanged = false;
}

void TvxCheckBoxWnd::Paint(HDC given)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    std::optional<TPaintDC> paint;
    if (!given) paint.emplace(CtrlHandle);
    if (!TakePendingUpdate(SkinData)) return;
    SendSkinCommand(ParentWnd, cmdAskParent, 0);
    if (!given && !IsWindowVisible(CtrlHandle)) return;
    PrepareCache();
    std::optional<TWindowDC> own;
    if (!given) own.emplace(CtrlHandle);
    BitBlt(given ? given : own->get(), 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas().Handle(), 0, 0,
           SRCCOPY);
}

void TvxCheckBoxWnd::WndProc(TMessage& m)
{
    if (m.Msg == SM_VELOCONCMD) {
        const WORD command = HIWORD(m.WParam);
        if (ManagerActive() && (command == cmdMouseEnter || command == cmdMouseLeave)) {
            SkinData->Updating = false;
            SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        }
        TvxMainWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_NCPAINT:
        m.Result = 0;
        return;
    case WM_PAINT:
        Paint(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_ENABLE:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case CM_TEXTCHANGED:
        if (!IsWindowVisible(CtrlHandle)) break;
        WithoutRedraw(CtrlHandle, [&] { TvxMainWnd::WndProc(m); });
        SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        return;
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        break;
    case WM_KEYDOWN:
        if (m.WParam == VK_SPACE) SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        break;
    case WM_NCHITTEST:
        if (TsSkinManager* manager = Manager();
            manager && IsWindowEnabled(CtrlHandle) && manager->ActiveControl() != CtrlHandle)
            manager->SetActiveControl(CtrlHandle);
        break;
    default:
        break;
    }
}

// ---- TvxGroupBoxWnd

void TvxGroupBoxWnd::Start(const std::string& section, bool repaint)
{
    TvxMainWnd::Start(section.empty() ? "GROUPBOX" : section, repaint);
}

void TvxGroupBoxWnd::PrepareCache()
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    const int w = WndSize.cx, h = WndSize.cy;
    TBitmap* cache = SizedCache(SkinData, w, h);
    TCanvas& canvas = cache->Canvas();
    if (TControl* owner = OwnerControl()) canvas.Font() = owner->Font();
    else WindowFont(CtrlHandle, canvas.Font());
    const SIZE t = Caption.empty() ? SIZE{0, 0} : MeasureText(canvas, Caption, 0, DT_SINGLELINE);
    const bool rtl = (GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    const int left = rtl ? w - t.cx - 14 : 6;
    captionRect_ = RECT{left, 0, std::min<int>(left + t.cx + 8, w - 1), std::max<int>(4, t.cy) + 2};
    const int band = (captionRect_.bottom - captionRect_.top) / 2;
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(CtrlHandle, parent);
    PaintParentBackground(cache, parent, WndPos, TRect{0, 0, w, band});
    PaintItem(SkinData->Fields(), parent, true, 0, cache, TPoint{WndPos.x, WndPos.y}, TRect{0, band, w, h});
    if (!Caption.empty()) {
        PaintParentBackground(cache, parent, WndPos, AsTRect(captionRect_));
        canvas.Brush().SetStyle(bsClear);
        WriteControlText(canvas, Caption, IsWindowEnabled(CtrlHandle) != FALSE, 0, SkinData->Fields(),
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE, AsTRect(captionRect_));
    }
    SkinData->BGChanged = false;
}

void TvxGroupBoxWnd::Paint(HDC given, bool inPaint)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    std::optional<TPaintDC> paint;
    if (inPaint && !given) paint.emplace(CtrlHandle);
    if (!TakePendingUpdate(SkinData)) return;
    std::optional<TWindowDC> own;
    if (!given) own.emplace(CtrlHandle, true);
    const HDC dc = given ? given : own->get();
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (SkinData->BGChanged || !cache || cache->Width() != WndSize.cx || cache->Height() != WndSize.cy) PrepareCache();
    const TsSkinManager* manager = Manager();
    TSavedDC saved(dc);
    if (DlgMode && manager) {
        const int mask = SkinData->BorderIndex;
        ExcludeClipRect(dc, manager->GetMaskLeftWidth(mask), captionRect_.bottom - captionRect_.top,
                        WndSize.cx - manager->GetMaskRightWidth(mask), WndSize.cy - manager->GetMaskBottomWidth(mask));
    }
    CopyGroupBoxCacheToDC(CtrlHandle, SkinData, TPoint{0, 0}, dc, TRect{0, 0, WndSize.cx, WndSize.cy});
    auto* owner = dynamic_cast<TWinControl*>(OwnerControl());
    if (owner) ::PaintControls(dc, owner, TPoint{0, 0});
    own.reset();
    if (owner) SendEndUpdateToChildren(owner);
    else SendEndUpdateToChildWindows(CtrlHandle);
}

void TvxGroupBoxWnd::Erase(TMessage& m)
{
    const auto dc = reinterpret_cast<HDC>(m.WParam);
    m.Result = 1;
    if (static_cast<LPARAM>(m.WParam) != m.LParam || !dc) return;
    if (SkinData->BGChanged) PrepareCache();
    if (SkinData->RedrawAllowed() && SkinData->FCacheBmp) {
        BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
    } else {
        RECT client{};
        GetClientRect(CtrlHandle, &client);
        FillDC(dc, AsTRect(client), AskWindowColor(CtrlHandle));
    }
}

void TvxGroupBoxWnd::WndProc(TMessage& m)
{
    if (m.Msg == SM_VELOCONCMD && ManagerActive() && AcceptSkinCommand(m)) {
        const WORD command = HIWORD(m.WParam);
        if (command == cmdGroupCaptionHeight) {
            m.Result = captionRect_.bottom - captionRect_.top;
            return;
        }
        if (command == cmdRemoveSkin && FromManager(m.LParam))
            if (TControl* owner = OwnerControl()) owner->SetControlStyle(owner->ControlStyle() & ~csOpaque);
        TvxMainWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_PARENTNOTIFY:
        TvxMainWnd::WndProc(m);
        if (LOWORD(m.WParam) == WM_CREATE)
            if (TControl* owner = OwnerControl()) NotifyParentForm(owner);
        return;
    case WM_PRINTCLIENT:
        SkinData->BGChanged = true;
        Paint(reinterpret_cast<HDC>(m.WParam), false);
        m.Result = 0;
        return;
    case WM_SETTEXT:
        TvxMainWnd::WndProc(m);
        SkinData->BGChanged = true;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    case WM_PAINT:
        if (DlgMode) break;
        Paint(m.LParam == 1 ? reinterpret_cast<HDC>(m.WParam) : nullptr, true);
        m.Result = 0;
        return;
    case WM_NCPAINT:
        if (!DlgMode) break;
        Paint(nullptr, false);
        m.Result = 1;
        return;
    case WM_ERASEBKGND:
        if (DlgMode) break;
        Erase(m);
        return;
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
}
