#include "skin/windows/vxContainerUtils.h"

#include <algorithm>

#include "skin/windows/sVclUtils.h"

void NotifyTopWindow(HWND wnd)
{
    if (!wnd) return;
    HWND top = wnd;
    while (const HWND parent = GetParent(top))
        top = parent;
    SendSkinCommand(top, cmdAnnounceControl, 0);
}

TWinControl* FindControlByHandle(HWND wnd, TWinControl* parent)
{
    if (!wnd || !parent) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child) continue;
        if (child->HandleAllocated() && child->Handle() == wnd) return child;
        if (TWinControl* found = FindControlByHandle(wnd, child)) return found;
    }
    return nullptr;
}

TsCacheInfo ParentCacheInfoAt(HWND wnd)
{
    TsCacheInfo info;
    GetParentCacheInfoByHandle(wnd, info);
    RECT r{};
    GetWindowRect(wnd, &r);
    POINT pos{r.left, r.top};
    if (info.Ready && ScreenToClient(GetParent(wnd), &pos)) {
        info.X += pos.x;
        info.Y += pos.y;
    }
    return info;
}

TBitmap* SizedCache(TsCommonData* link, int w, int h)
{
    link->InitCacheBmp();
    TBitmap* cache = link->FCacheBmp.get();
    cache->SetPixelFormat(pf24bit);
    cache->SetSize(std::max(0, w), std::max(0, h));
    return cache;
}

SIZE WindowSizeOf(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return SIZE{std::max<LONG>(0, r.right - r.left), std::max<LONG>(0, r.bottom - r.top)};
}

bool WindowFont(HWND wnd, TFont& font)
{
    const auto handle = reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    if (!handle || !GetObjectA(handle, sizeof lf, &lf)) return false;
    FontFromLogFont(font, lf);
    return true;
}

void FontFromLogFont(TFont& font, const LOGFONTA& lf)
{
    font.SetName(lf.lfFaceName);
    font.SetHeight(lf.lfHeight);
    font.SetCharset(lf.lfCharSet);
    font.SetStyle((lf.lfWeight >= FW_BOLD ? fsBold : 0u) | (lf.lfItalic ? fsItalic : 0u) |
                  (lf.lfUnderline ? fsUnderline : 0u) | (lf.lfStrikeOut ? fsStrikeOut : 0u));
}
