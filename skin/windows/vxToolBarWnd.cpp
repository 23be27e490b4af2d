#include "skin/windows/vxToolBarWnd.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "gui/Messages.h"
#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sPropUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxContainerUtils.h"

namespace {

constexpr const char* DrawEventName = "OnCustomDraw";
constexpr const char* DrawButtonEventName = "OnCustomDrawButton";
constexpr const char* ButtonSection = "TOOLBUTTON";
// Redraw after an ended update: invalidate, children, update now, frame.
constexpr UINT RedrawAfterUpdate = RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;
// A button's image lies this far below its top.
constexpr int ImageTop = 4;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// A section's index in the manager; -1 without the manager or the section.
int SectionIndex(const TsSkinManager* m, const char* name) { return m ? m->GetSkinIndex(name) : -1; }

// A button's face: the background under it (at in background), the section for the state over it.
void PaintSkinButton(TBitmap* bmp, TBitmap* background, POINT at, const TsSkinManager* m, int section, int state)
{
    const int w = bmp->Width(), h = bmp->Height();
    BitBlt(bmp->Canvas().Handle(), 0, 0, w, h, background->Canvas().Handle(), at.x, at.y, SRCCOPY);
    if (m->IsValidSkinIndex(section))
        PaintSection(bmp, TRect{0, 0, w, h}, section, m, state, MakeCacheInfo(background, at.x, at.y));
}

void WriteButtonText(TBitmap* bmp, const std::string& text, const TFont* font, const TsSkinManager* m, int section,
                     int state, bool enabled, UINT flags, const TRect& r)
{
    if (text.empty()) return;
    TCanvas& canvas = bmp->Canvas();
    if (font) canvas.Font() = *font;
    WriteSectionTextEx(canvas, text, enabled, m, state, section, flags, r);
}

} // namespace

// ---- TvxToolBarWnd ----

TvxToolBarWnd::~TvxToolBarWnd() { Shutdown(); }

bool TvxToolBarWnd::Pending() const
{
    const HWND parent = GetParent(CtrlHandle);
    return (parent && SendSkinCommand(parent, cmdGetBGChanged, 0) == 1) || SkinData->GetUpdating();
}

void TvxToolBarWnd::PrepareCache()
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    const TBitmap* cache = SkinData->FCacheBmp.get();
    if (!SkinData->BGChanged && cache && cache->Width() == WndSize.cx && cache->Height() == WndSize.cy) return;
    GetClientRect(CtrlHandle, &ClientRect);
    SkinData->BGChanged = true;
    ::RefreshCache(SkinData, CtrlHandle, false);
    BorderOffset = std::max(0, (static_cast<int>(WndSize.cy) - Height(ClientRect)) / 2);
}

void TvxToolBarWnd::PaintBorder()
{
    if (Pending()) return;
    PrepareCache();
    TBitmap* cache = SkinData->FCacheBmp.get();
    const int b = std::max(0, (static_cast<int>(WndSize.cx) - Width(ClientRect)) / 2);
    if (!cache || cache->Empty() || b <= 0) return;
    const TWindowDC dc(CtrlHandle, true);
    CopyFrameFromDC(dc.get(), 0, 0, b, 0, 0, cache->Canvas().Handle(), WndSize.cy, WndSize.cx);
}

void TvxToolBarWnd::DrawButton(int index, TBitmap* bmp)
{
    const TsSkinManager* m = DefaultManager() ? DefaultManager() : Manager();
    if (!m) return;
    TBBUTTON button{};
    if (!SendMessageA(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) return;
    RECT r{};
    SendMessageA(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    OffsetRect(&r, BorderOffset, BorderOffset);
    if (Width(r) <= 0 || Height(r) <= 0) return;
    if (button.fsStyle & BTNS_SEP) {
        const int divider = m->GetMaskIndex(m->GetSkinIndex("DIVIDER"), "DIVIDER", "BORDERSMASK");
        if (!m->IsValidImgIndex(divider)) return;
        int fw = 0, fh = 0;
        m->GetMaskSize(divider, fw, fh);
        DrawMaskGlyph(bmp, TPoint{r.left + (Width(r) - fw) / 2, r.top + (Height(r) - fh) / 2}, 0, m, divider);
        return;
    }
    const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(CtrlHandle, &cursor);
    cursor.x += BorderOffset;
    cursor.y += BorderOffset;
    const int state = enabled && (button.fsState & TBSTATE_PRESSED) ? 2 : enabled && PtInRect(&r, cursor) ? 1 : 0;
    const int section = m->GetSkinIndex(ButtonSection);
    auto face = CreateBmp24(Width(r), Height(r));
    PaintSkinButton(face.get(), bmp, POINT{r.left, r.top}, m, section, state);
    const HDC dc = face->Canvas().Handle();
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(CtrlHandle, TB_GETIMAGELIST, 0, 0));
    int cx = 0, cy = 0;
    const bool image = images && button.iBitmap >= 0 && ImageList_GetIconSize(images, &cx, &cy);
    if (image) {
        const int arrow = m->CommonIndexes.ScrollButtons[TsCommonIndexes::Bottom].GlyphIndex;
        const bool dropDown = (button.fsStyle & BTNS_WHOLEDROPDOWN) && m->IsValidImgIndex(arrow);
        const int aw = dropDown ? MaskFrameWidth(m->MaskData[static_cast<size_t>(arrow)]) : 0;
        const int x = (Width(r) - cx - aw) / 2;
        ImageList_DrawEx(images, button.iBitmap, dc, x, ImageTop, cx, cy, CLR_NONE, CLR_NONE, ILD_NORMAL);
        if (dropDown) {
            const int ah = MaskFrameHeight(m->MaskData[static_cast<size_t>(arrow)]);
            DrawMaskGlyph(face.get(), TPoint{x + cx, ImageTop + (cy - ah) / 2}, state, m, arrow);
        }
    }
    const auto length = SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA, static_cast<WPARAM>(button.idCommand), 0);
    if (length > 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA, static_cast<WPARAM>(button.idCommand),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        TFont font;
        const bool hasFont = WindowFont(CtrlHandle, font);
        const TRect tr{0, image ? ImageTop + cy : 0, Width(r), Height(r)};
        WriteButtonText(face.get(), text, hasFont ? &font : nullptr, m, section, state, enabled,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE, tr);
    }
    if (!enabled) ApplyDisabledKind(face.get(), dkBlended, TPoint{r.left, r.top}, MakeCacheInfo(bmp, 0, 0));
    BitBlt(bmp->Canvas().Handle(), r.left, r.top, Width(r), Height(r), dc, 0, 0, SRCCOPY);
}

void TvxToolBarWnd::Paint(HDC given)
{
    std::unique_ptr<TPaintDC> paint;
    HDC dc = given;
    if (!dc) {
        paint = std::make_unique<TPaintDC>(CtrlHandle);
        dc = paint->get();
    }
    if (Pending()) return;
    PrepareCache();
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (!cache || cache->Empty()) return;
    auto work = CreateBitmapLike(cache);
    BitBlt(work->Canvas().Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas().Handle(), 0, 0, SRCCOPY);
    const int count = static_cast<int>(SendMessageA(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        DrawButton(i, work.get());
    BitBlt(dc, 0, 0, WndSize.cx - 2 * BorderOffset, WndSize.cy - 2 * BorderOffset, work->Canvas().Handle(),
           BorderOffset, BorderOffset, SRCCOPY);
}

void TvxToolBarWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinData->Skinned()) {
        TvxMainWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m) && HIWORD(m.WParam) == cmdUpdateEnded && SkinData->Updating) {
        SkinData->Updating = false;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RedrawAfterUpdate);
        return;
    }
    switch (m.Msg) {
    case WM_NCPAINT:
        if (!(GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) break;
        PaintBorder();
        return;
    case WM_PRINT:
        Paint(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        SkinData->BGChanged = true;
        TvxMainWnd::WndProc(m);
        if (!Destroyed) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
        return;
    case WM_PAINT:
        if (!IsWindowVisible(CtrlHandle)) break;
        Paint(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
}

// ---- TvxToolBarVCLWnd ----

bool TvxToolBarVCLWnd::IsToolBar(HWND wnd)
{
    auto* control = dynamic_cast<TCustomControl*>(TWinControl::FromHandle(wnd));
    return control && HasMethodProp(control, DrawEventName) && HasMethodProp(control, DrawButtonEventName);
}

template <>
TvxToolBarVCLWnd* CreateAdapter<TvxToolBarVCLWnd>(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                                  const std::string& section, bool repaint)
{
    if (!handle || !IsWindow(handle) || !TvxToolBarVCLWnd::IsToolBar(handle)) return nullptr;
    auto* a = new TvxToolBarVCLWnd(handle, skinData, manager);
    a->Start(section, repaint);
    return a;
}

TvxToolBarVCLWnd::~TvxToolBarVCLWnd()
{
    Shutdown();
    RemoveHandlers();
}

void TvxToolBarVCLWnd::Start(const std::string& section, bool repaint)
{
    ToolBar = TWinControl::FromHandle(CtrlHandle);
    TvxMainWnd::Start(section, repaint);
    const TsSkinManager* m = Manager();
    if (m && m->Active() && !m->GeneralData.empty()) InstallHandlers();
}

void TvxToolBarVCLWnd::BeforeRemove() { RemoveHandlers(); }

void TvxToolBarVCLWnd::InstallHandlers()
{
    if (installed_ || !ToolBar) return;
    oldDraw_ = GetMethodProp(ToolBar, DrawEventName);
    oldDrawButton_ = GetMethodProp(ToolBar, DrawButtonEventName);
    SetMethodProp(ToolBar, DrawEventName,
                  TvxToolBarDrawEvent([this](TObject*, TCanvas& canvas, const TRect& rect, bool& defaultDraw) {
                      DrawBackground(canvas, rect, defaultDraw);
                  }));
    SetMethodProp(ToolBar, DrawButtonEventName,
                  TvxToolButtonDrawEvent([this](TObject*, TCanvas& canvas, TControl* button, bool& defaultDraw) {
                      DrawButton(canvas, button, defaultDraw);
                  }));
    installed_ = true;
}

void TvxToolBarVCLWnd::RemoveHandlers()
{
    if (!installed_) return;
    installed_ = false;
    if (!ToolBar || ToolBar->InState(csDestroying)) return;
    SetMethodProp(ToolBar, DrawEventName, oldDraw_);
    SetMethodProp(ToolBar, DrawButtonEventName, oldDrawButton_);
    oldDraw_.reset();
    oldDrawButton_.reset();
}

int TvxToolBarVCLWnd::ButtonAt(POINT client) const
{
    if (!ToolBar) return -1;
    for (int i = 0; i < ToolBar->ControlCount(); ++i) {
        TControl* c = ToolBar->Controls(i);
        const RECT b = c->BoundsRect();
        if (!dynamic_cast<TWinControl*>(c) && c->Visible() && PtInRect(&b, client)) return i;
    }
    return -1;
}

void TvxToolBarVCLWnd::SetHotButton(int index)
{
    if (index == HotButton) return;
    HotButton = index;
    if (installed_ && ToolBar) ToolBar->Invalidate();
}

int TvxToolBarVCLWnd::ButtonState(int index) const
{
    if (!ToolBar || index < 0 || index >= ToolBar->ControlCount()) return 0;
    TControl* button = ToolBar->Controls(index);
    if ((button->ControlState() & csLButtonDown) || GetIntProp(button, "Down") == 1) return 2;
    return index == HotButton ? 1 : 0;
}

void TvxToolBarVCLWnd::DrawBackground(TCanvas& canvas, const TRect& rect, bool& defaultDraw)
{
    const TsSkinManager* m = Manager();
    if (!m || !ToolBar) return;
    const int w = ToolBar->ClientWidth(), h = ToolBar->ClientHeight();
    TBitmap* cache = SizedCache(SkinData, w, h);
    const TsCacheInfo parent = ParentCacheInfoAt(CtrlHandle);
    if (m->IsValidSkinIndex(SkinData->SkinIndex)) {
        PaintSection(cache, TRect{0, 0, w, h}, SkinData->SkinIndex, m, 0, parent);
    } else if (parent.Ready && parent.Bmp) {
        BitBlt(cache->Canvas().Handle(), 0, 0, w, h, parent.Bmp->Canvas().Handle(), parent.X, parent.Y, SRCCOPY);
    } else {
        FillDC(cache->Canvas().Handle(), TRect{0, 0, w, h}, parent.FillColor);
    }
    SkinData->BGChanged = false;
    BitBlt(canvas.Handle(), rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top,
           cache->Canvas().Handle(), rect.Left, rect.Top, SRCCOPY);
    defaultDraw = false;
}

void TvxToolBarVCLWnd::DrawButton(TCanvas& canvas, TControl* button, bool& defaultDraw)
{
    const TsSkinManager* m = Manager();
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (!m || !ToolBar || !button || !cache || cache->Empty()) return;
    int index = -1;
    for (int i = 0; i < ToolBar->ControlCount(); ++i)
        if (ToolBar->Controls(i) == button) index = i;
    const int state = ButtonState(index);
    const int w = button->Width(), h = button->Height();
    if (w <= 0 || h <= 0) return;
    auto face = CreateBmp24(w, h);
    const int section = SectionIndex(m, ButtonSection);
    PaintSkinButton(face.get(), cache, POINT{button->Left(), button->Top()}, m, section, state);
    WriteButtonText(face.get(), button->Caption(), &ToolBar->Font(), m, section, state, button->Enabled(),
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRect{0, 0, w, h});
    if (!button->Enabled())
        ApplyDisabledKind(face.get(), dkBlended, TPoint{button->Left(), button->Top()}, MakeCacheInfo(cache, 0, 0));
    BitBlt(canvas.Handle(), 0, 0, w, h, face->Canvas().Handle(), 0, 0, SRCCOPY);
    defaultDraw = false;
}

void TvxToolBarVCLWnd::WndProc(TMessage& m)
{
    if (Destroyed || !ToolBar) {
        TvxMainWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m)) {
        const WORD command = HIWORD(m.WParam);
        if (command == cmdSkinChanged && FromManager(m.LParam)) {
            TvxMainWnd::WndProc(m);
            InstallHandlers();
            ToolBar->Invalidate();
            return;
        }
        if (command == cmdRemoveSkin && FromManager(m.LParam)) {
            RemoveHandlers();
            TvxMainWnd::WndProc(m);
            ToolBar->Invalidate();
            return;
        }
    }
    switch (m.Msg) {
    case WM_MOUSEMOVE:
        TvxMainWnd::WndProc(m);
        SetHotButton(ButtonAt(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}));
        return;
    case WM_MOUSELEAVE:
        TvxMainWnd::WndProc(m);
        SetHotButton(-1);
        return;
    case CM_MOUSELEAVE:
        TvxMainWnd::WndProc(m);
        if (m.LParam == reinterpret_cast<LPARAM>(ToolBar)) SetHotButton(-1);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        TvxMainWnd::WndProc(m);
        if (installed_) ToolBar->Invalidate();
        return;
    case WM_PRINT: {
        TMessage client{WM_PRINTCLIENT, m.WParam, PRF_CLIENT, 0};
        CallPrevWndProc(client);
        m.Result = client.Result;
        return;
    }
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
}
