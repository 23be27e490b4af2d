#include "gui/Icons.h"

SIZE TIcon::Size() const
{
    SIZE size{0, 0};
    ICONINFO info{};
    if (!handle_ || !GetIconInfo(handle_.get(), &info)) return size;
    TBitmapHandle mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    if (GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        size.cx = bm.bmWidth;
        // A monochrome icon keeps its AND and XOR masks one above the other.
        size.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    return size;
}

int TIcon::Width() const { return Size().cx; }

int TIcon::Height() const { return Size().cy; }
