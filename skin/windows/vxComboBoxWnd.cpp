#include "skin/windows/vxComboBoxWnd.h"

#include <algorithm>

#include "gui/ListCtrls.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"

namespace {

constexpr UINT CM_MOUSEENTER_MSG = 0xB013;
constexpr UINT CM_MOUSELEAVE_MSG = 0xB014;
constexpr int DefaultArrowGlyphHeight = 16;

TRect ToTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

} // namespace

std::string ComboItemText(HWND combo, int index)
{
    if (!combo || index < 0) return {};
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {}; // CB_ERR as well
    // CB_GETLBTEXT has no size: the buffer holds what CB_GETLBTEXTLEN announced, and its end.
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (copied <= 0) return {};
    text.resize(std::min(static_cast<size_t>(copied), static_cast<size_t>(length)));
    return text;
}

TvxComboBoxWnd::~TvxComboBoxWnd()
{
    Shutdown();
    delete ListAdapter;
    ListAdapter = nullptr;
    if (listBrush_) DeleteObject(listBrush_);
    listBrush_ = nullptr;
}

int TvxComboBoxWnd::ComboStyle() const { return static_cast<int>(GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & 3); }

RECT TvxComboBoxWnd::GetButtonRect() const
{
    return ButtonRectOfWidth((ComboStyle() & CBS_DROPDOWN) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
}

RECT TvxComboBoxWnd::ButtonRectOfWidth(int w) const
{
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    const bool rtl = (GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    const int left = rtl ? 2 : (wr.right - wr.left) - w - 2;
    return RECT{left, 2, left + w, (wr.bottom - wr.top) - 2};
}

int ComboArrowHeight(const TsSkinManager* manager)
{
    if (!manager || !manager->IsValidImgIndex(manager->CommonIndexes.ComboGlyph)) return DefaultArrowGlyphHeight;
    return MaskFrameHeight(manager->MaskData[static_cast<size_t>(manager->CommonIndexes.ComboGlyph)]);
}

void PaintComboButton(TBitmap* bmp, TBitmap* background, const RECT& r, int state, const TsSkinManager* manager,
                      int controlHeight)
{
    if (!bmp || !manager || r.right <= r.left || r.bottom <= r.top) return;
    const int button = manager->CommonIndexes.ComboBtn;
    if (button >= 0 && button < static_cast<int>(manager->GeneralData.size()))
        PaintSection(bmp, ToTRect(r), button, manager, state, MakeCacheInfo(background, 0, 0));
    if (const int glyph = manager->CommonIndexes.ComboGlyph; manager->IsValidImgIndex(glyph)) {
        const int gw = MaskFrameWidth(manager->MaskData[static_cast<size_t>(glyph)]);
        const TPoint at{r.left + (r.right - r.left - gw) / 2, (controlHeight - ComboArrowHeight(manager)) / 2};
        DrawMaskGlyph(bmp, at, state, manager, glyph);
    }
}

int TvxComboBoxWnd::ArrowGlyphHeight() const { return ComboArrowHeight(Manager()); }

int TvxComboBoxWnd::ButtonState() const
{
    if (ListWnd && IsWindowVisible(ListWnd)) return 2;
    const TsSkinManager* m = Manager();
    return SkinData->ControlIsActive() || (m && m->ActiveControl() == CtrlHandle) ? 1 : 0;
}

void TvxComboBoxWnd::PaintButton(HDC dc)
{
    TBitmap* cache = SkinData->FCacheBmp.get();
    const TsSkinManager* m = Manager();
    if (!dc || !m || !cache || cache->Empty()) return;
    const RECT b = GetButtonRect();
    if (b.right <= b.left || b.bottom <= b.top) return;
    std::unique_ptr<TBitmap> bmp = CreateBitmapLike(cache);
    BitBlt(bmp->Canvas().Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas().Handle(), 0, 0, SRCCOPY);
    PaintComboButton(bmp.get(), cache, b, ButtonState(), m, cache->Height());
    BitBlt(dc, b.left, b.top, b.right - b.left, b.bottom - b.top, bmp->Canvas().Handle(), b.left, b.top, SRCCOPY);
}

void TvxComboBoxWnd::RepaintButton()
{
    const HDC dc = GetWindowDC(CtrlHandle);
    PaintButton(dc);
    ReleaseDC(CtrlHandle, dc);
}

void TvxComboBoxWnd::PaintEditText()
{
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (!cache || cache->Empty()) return;
    TCanvas& canvas = cache->Canvas();
    if (TControl* owner = OwnerControl()) canvas.Font() = owner->Font();
    const TColor fontColor = canvas.Font().Color();
    const RECT b = GetButtonRect();
    const int w = cache->Width(), h = cache->Height();
    const bool rtl = (GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    const RECT r = rtl ? RECT{b.right, FrameWidth, w - FrameWidth, h - FrameWidth}
                       : RECT{FrameWidth, FrameWidth, b.left, h - FrameWidth};
    std::string text;
    if (const auto sel = static_cast<int>(SendMessageA(CtrlHandle, CB_GETCURSEL, 0, 0)); sel >= 0) {
        text = ComboItemText(CtrlHandle, sel);
    } else if (const int length = GetWindowTextLengthA(CtrlHandle); length > 0) {
        text.assign(static_cast<size_t>(length) + 1, '\0');
        text.resize(static_cast<size_t>(std::max(0, GetWindowTextA(CtrlHandle, text.data(), length + 1))));
    }
    const bool list = ComboStyle() == CBS_DROPDOWNLIST;
    const bool focusLook = list && GetFocus() == CtrlHandle;
    if (focusLook) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clHighlight);
        canvas.FillRect(r);
        canvas.Font().SetColor(clHighlightText);
    }
    canvas.Brush().SetStyle(bsClear);
    const int shift = list ? 1 : 0;
    if (!text.empty()) canvas.TextRect(r, r.left + shift, r.top + shift, text);
    if (focusLook) DrawFocusRect(canvas.Handle(), &r);
    // The canvas keeps its font: the highlight's text colour must not stay for the next paint.
    canvas.Font().SetColor(fontColor);
}

void TvxComboBoxWnd::PrepareSimpleCache()
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    SkinData->InitCacheBmp();
    TBitmap* cache = SkinData->FCacheBmp.get();
    cache->SetPixelFormat(pf24bit);
    const int h = static_cast<int>(SendMessageA(CtrlHandle, CB_GETITEMHEIGHT, 0, 0)) + 8;
    cache->SetSize(WndSize.cx, std::max(0, h));
    const TRect all{0, 0, cache->Width(), cache->Height()};
    TsSkinManager* global = DefaultManager();
    const TColor globalColor = global ? global->GetGlobalColor() : clFuchsia;
    if (DlgMode && globalColor != clFuchsia) {
        FillDC(cache->Canvas().Handle(), all, clWindow);
        FillDC(cache->Canvas().Handle(), all, globalColor);
    } else if (SkinData->SkinIndex >= 0) {
        TsCacheInfo parent;
        GetParentCacheInfoByHandle(CtrlHandle, parent);
        PaintItem(SkinData->Fields(), parent, true, SkinData->ControlIsActive() ? 1 : 0, cache,
                  TPoint{WndPos.x, WndPos.y}, all);
    }
    SkinData->BGChanged = false;
}

void TvxComboBoxWnd::Paint(TMessage& m)
{
    if (!SkinParamsSet) SetNeedsRepaint();
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    CallPrevWndProc(m);
    if (Destroyed) return;
    const bool ownDC = m.WParam == 0;
    const HDC dc = ownDC ? GetWindowDC(CtrlHandle) : reinterpret_cast<HDC>(m.WParam);
    SkinData->Updating = SkinData->GetUpdating();
    if (!SkinData->Updating) {
        if (ComboStyle() == CBS_SIMPLE) {
            PrepareSimpleCache();
        } else {
            SkinData->BGChanged = true;
            SendMessageA(CtrlHandle, SM_VELOCONCMD, MAKEWPARAM(0, cmdRefreshCache), 0);
        }
        TBitmap* cache = SkinData->FCacheBmp.get();
        if (cache && !cache->Empty())
            CopyFrameFromDC(dc, 0, 0, FrameWidth, 0, 0, cache->Canvas().Handle(), WndSize.cy, WndSize.cx);
        if (ComboStyle() != CBS_SIMPLE) PaintButton(dc);
    }
    if (ownDC) ReleaseDC(CtrlHandle, dc);
}

void TvxComboBoxWnd::PrintCombo(TMessage& m)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    SkinData->SetUpdating(false);
    SkinData->BGChanged = true;
    if (!SkinParamsSet) SetNeedsRepaint();
    const bool simple = ComboStyle() == CBS_SIMPLE;
    if (simple) PrepareSimpleCache();
    else SendMessageA(CtrlHandle, SM_VELOCONCMD, MAKEWPARAM(0, cmdRefreshCache), 0);
    ::RefreshCache(SkinData, CtrlHandle, DlgMode);
    PaintEditText();
    DrawFrameWithParentBackground(SkinData, CtrlHandle, FrameWidth);
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (!dc || !cache || cache->Empty()) return;
    BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas().Handle(), 0, 0, SRCCOPY);
    if (!simple) PaintButton(dc);
}

void TvxComboBoxWnd::ListColors(TMessage& m)
{
    TvxEditWnd::WndProc(m);
    if (Destroyed || ListWnd) return;
    ListWnd = reinterpret_cast<HWND>(m.LParam);
    if (!ListAdapter) {
        const bool simple = ComboStyle() == CBS_SIMPLE;
        const bool repaint = SendMessageA(CtrlHandle, CB_GETCOUNT, 0, 0) > 0;
        const bool carryDlgMode = OwnerControl() == nullptr;
        if (carryDlgMode) NextDlgMode = DlgMode ? 1 : 0;
        ListAdapter = TvxComboListWnd::CreateEx(ListWnd, simple, repaint, "EDIT", Manager(), nullptr);
        if (carryDlgMode) NextDlgMode = 0;
    }
    int index = -1;
    SendMessageA(ListWnd, SM_VELOCONCMD, MAKEWPARAM(0, cmdGetSkinIndex), reinterpret_cast<LPARAM>(&index));
    const TsSkinManager* manager = Manager();
    if (index < 0 || DlgMode || !manager || index >= static_cast<int>(manager->GeneralData.size())) return;
    const TsGeneralData& section = manager->GeneralData[static_cast<size_t>(index)];
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (section.FontColor[1] >= 0) SetTextColor(dc, ColorToRGB(section.FontColor[1]));
    SetBkColor(dc, ColorToRGB(section.Color));
    // One brush for the life of the adapter, not a new one that nobody frees.
    if (!listBrush_) listBrush_ = CreateSolidBrush(ColorToRGB(section.Color));
    m.Result = reinterpret_cast<LRESULT>(listBrush_);
}

void TvxComboBoxWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinData || !SkinData->Skinned() || !ManagerActive()) {
        TvxEditWnd::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m) &&
        (HIWORD(m.WParam) == cmdMouseEnter || HIWORD(m.WParam) == cmdMouseLeave)) {
        TvxEditWnd::WndProc(m);
        if (!Destroyed) RepaintButton();
        return;
    }
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
        TvxEditWnd::WndProc(m);
        if (!Destroyed) RepaintButton();
        return;
    case WM_ERASEBKGND:
        return;
    case WM_DRAWITEM:
        CallPrevWndProc(m);
        return;
    case WM_NCCALCSIZE:
        TvxEditWnd::WndProc(m);
        BorderLeft = FrameWidth;
        return;
    case WM_PAINT:
        Paint(m);
        return;
    case WM_CTLCOLORLISTBOX:
        ListColors(m);
        return;
    case WM_PRINT:
        PrintCombo(m);
        return;
    case CM_MOUSEENTER_MSG:
    case CM_MOUSELEAVE_MSG:
        TvxEditWnd::WndProc(m);
        if (!Destroyed) SkinData->MouseAbove = m.Msg == CM_MOUSEENTER_MSG;
        return;
    default:
        TvxEditWnd::WndProc(m);
        return;
    }
}

// ---- TvxWWComboBoxWnd

void TvxWWComboBoxWnd::AfterCreation()
{
    TvxComboBoxWnd::AfterCreation();
    const auto* combo = dynamic_cast<const TComboBox*>(OwnerControl());
    ShowButton =
        !(combo && combo->ClassNameIs("TComboBox") && combo->Style() != csDropDown && combo->Style() != csDropDownList);
}

RECT TvxWWComboBoxWnd::GetButtonRect() const
{
    return ButtonRectOfWidth(ShowButton ? GetSystemMetrics(SM_CXVSCROLL) : 0);
}
