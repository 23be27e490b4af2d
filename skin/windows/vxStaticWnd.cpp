#include "skin/windows/vxStaticWnd.h"

#include <cctype>

#include "gui/base/Handles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/vxAdapterPaint.h"

namespace {

LONG_PTR ExStyleOf(HWND wnd) { return GetWindowLongPtrA(wnd, GWL_EXSTYLE); }

bool SameTextAt(const std::string& text, size_t at, const char* word)
{
    for (size_t i = 0; word[i]; ++i)
        if (at + i >= text.size() ||
            std::toupper(static_cast<unsigned char>(text[at + i])) != static_cast<unsigned char>(word[i]))
            return false;
    return true;
}

} // namespace

std::string LinkText(const std::string& text)
{
    std::string shown;
    for (size_t i = 0; i < text.size();) {
        if (SameTextAt(text, i, "<A>")) i += 3;
        else if (SameTextAt(text, i, "</A>")) i += 4;
        else shown += text[i++];
    }
    return shown;
}

bool SystemStatusFont(LOGFONTA& font)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    font = metrics.lfStatusFont;
    return true;
}

// ---- TvxStaticWnd

bool TvxStaticWnd::LeftAlone() const
{
    return (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & WS_TABSTOP) || (ExStyleOf(CtrlHandle) & WS_EX_STATICEDGE);
}

void TvxStaticWnd::DrawContent(TCanvas& canvas)
{
    canvas.Brush().SetStyle(bsClear);
    WindowFont(CtrlHandle, canvas.Font());
    const UINT flags =
        DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | ((ExStyleOf(CtrlHandle) & WS_EX_RIGHT) ? DT_RIGHT : DT_LEFT);
    WriteSkinTextOf(canvas, Caption, IsWindowEnabled(CtrlHandle) != FALSE, TRect{0, 0, WndSize.cx, WndSize.cy}, flags,
                    Manager(), SkinData->SkinIndex, 0, SkinData->FCacheBmp.get(), false);
}

void TvxStaticWnd::PaintStatic(HDC given)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    TWindowDC own(given ? nullptr : CtrlHandle);
    const HDC dc = given ? given : own.get();
    if (!dc) return;
    TSavedDC saved(dc);
    SkinData->BGChanged = true;
    TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
    TsCacheInfo parent;
    GetParentCacheInfoByHandle(CtrlHandle, parent);
    PaintParentBackground(cache, parent, WndPos, TRect{0, 0, WndSize.cx, WndSize.cy});
    DrawContent(cache->Canvas());
    BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas().Handle(), 0, 0, SRCCOPY);
    SkinData->BGChanged = false;
}

void TvxStaticWnd::PassAndRedraw(TMessage& m)
{
    CallPrevWndProc(m);
    if (m.Msg == WM_SETTEXT) ReadCaption();
    SkinData->BGChanged = true;
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void TvxStaticWnd::WndProc(TMessage& m)
{
    if (LeftAlone()) {
        TvxMainWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_ERASEBKGND:
        if (!IsWindowVisible(CtrlHandle)) break;
        PaintStatic(reinterpret_cast<HDC>(m.WParam));
        m.Result = 1;
        return;
    case WM_NCPAINT:
        m.Result = 0;
        return;
    case WM_PRINTCLIENT:
        PaintStatic(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
    case WM_MOVE:
    case WM_ENABLE:
    case WM_SETTEXT:
        PassAndRedraw(m);
        return;
    case WM_PAINT: {
        // The content was painted with the background.
        const TPaintDC paint(CtrlHandle);
        m.Result = 0;
        return;
    }
    default:
        break;
    }
    TvxMainWnd::WndProc(m);
}

// ---- TvxIconWnd

void TvxIconWnd::AfterCreation() { IsBitmap = (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & SS_TYPEMASK) != SS_ICON; }

void TvxIconWnd::DrawContent(TCanvas& canvas)
{
    const HDC dc = canvas.Handle();
    if (IsBitmap) {
        if (!Bitmap) {
            const auto bmp = reinterpret_cast<HBITMAP>(SendMessageA(CtrlHandle, STM_GETIMAGE, IMAGE_BITMAP, 0));
            BITMAP info{};
            if (!bmp || GetObjectA(bmp, sizeof info, &info) == 0) return;
            Bitmap = std::make_unique<TBitmap>(info.bmWidth, info.bmHeight);
            TMemDC src(CreateCompatibleDC(nullptr));
            TSelectGuard selected(src.get(), bmp);
            BitBlt(Bitmap->Canvas().Handle(), 0, 0, info.bmWidth, info.bmHeight, src.get(), 0, 0, SRCCOPY);
        }
        if (!Bitmap->Empty())
            BitBlt(dc, 0, 0, Bitmap->Width(), Bitmap->Height(), Bitmap->Canvas().Handle(), 0, 0, SRCCOPY);
        return;
    }
    if (const auto icon = reinterpret_cast<HICON>(SendMessageA(CtrlHandle, STM_GETICON, 0, 0)))
        DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

// ---- TvxLinkWnd

bool TvxLinkWnd::LeftAlone() const { return (ExStyleOf(CtrlHandle) & WS_EX_STATICEDGE) != 0; }

void TvxLinkWnd::WndProc(TMessage& m)
{
    if (m.Msg == WM_ENABLE && !LeftAlone()) {
        TvxMainWnd::WndProc(m);
        return;
    }
    TvxStaticWnd::WndProc(m);
}

void TvxLinkWnd::DrawContent(TCanvas& canvas)
{
    canvas.Brush().SetStyle(bsClear);
    LOGFONTA lf{};
    if (SystemStatusFont(lf)) FontFromLogFont(canvas.Font(), lf);
    canvas.Font().SetStyle(canvas.Font().Style() | fsUnderline);
    WriteSkinTextOf(canvas, LinkText(Caption), IsWindowEnabled(CtrlHandle) != FALSE,
                    TRect{0, 0, WndSize.cx + 4, WndSize.cy}, DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP, Manager(),
                    SkinData->SkinIndex, 0, SkinData->FCacheBmp.get(), false);
}
