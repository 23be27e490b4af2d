// What a test reads of a window the way the user sees it: its window region as rectangles and
// compared with another region, a pixel of the window or of the screen, the hit-test code at a
// screen point, and a pump that waits for a condition.
//
//   EXPECT_TRUE(testrig::WindowRegionIs(button->Handle(), testrig::RectMinus({0, 0, 60, 24}, corners)));
//   EXPECT_EQ(testrig::WindowPixel(form->Handle(), 2, 30), expected);  // in-process only
//   EXPECT_EQ(testrig::HitCodeAt(form->Handle(), {x, y}), HTCAPTION);
//   ASSERT_TRUE(testrig::PumpUntil([&] { return IsWindowVisible(glow); }));
//
// Regions are compared by XOR (EqualRgn can answer FALSE for equal areas under Wine). A window
// DC of another process cannot be read reliably: a driver process reads the screen (while the
// window is visible and on top) instead.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "gui/base/Handles.h"
#include "tests/support/MessageHost.h"

namespace testrig {

// The rectangles of a region, in the order GetRegionData gives them; none for 0.
inline std::vector<RECT> RegionRects(HRGN region)
{
    if (!region) return {};
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) return {};
    std::vector<uint8_t> data(size);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(region, size, rgn) != size) return {};
    const auto* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    return std::vector<RECT>(rects, rects + rgn->rdh.nCount);
}

// The window's region (window coordinates) as rectangles; none when it has no region.
inline std::vector<RECT> WindowRegionRects(HWND wnd)
{
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(wnd, region.get()) == ERROR) return {};
    return RegionRects(region.get());
}

// A region of the rectangles, and a rectangle with others taken out of it.
inline TRegionHandle RegionOf(const std::vector<RECT>& rects)
{
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    for (const RECT& r : rects) {
        TRegionHandle part(CreateRectRgnIndirect(&r));
        CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
    return region;
}
inline TRegionHandle RectMinus(const RECT& whole, const std::vector<RECT>& holes)
{
    TRegionHandle region(CreateRectRgnIndirect(&whole));
    TRegionHandle cut = RegionOf(holes);
    CombineRgn(region.get(), region.get(), cut.get(), RGN_DIFF);
    return region;
}

// Both regions cover the same pixels.
inline bool SameRegion(HRGN a, HRGN b)
{
    TRegionHandle x(CreateRectRgn(0, 0, 0, 0));
    return CombineRgn(x.get(), a, b, RGN_XOR) == NULLREGION;
}

// The window has a region, and it covers the pixels of expected.
inline bool WindowRegionIs(HWND wnd, const TRegionHandle& expected)
{
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(wnd, region.get()) != ERROR && SameRegion(region.get(), expected.get());
}

// A pixel of the window as drawn, at window coordinates (its window DC; this process's windows).
inline COLORREF WindowPixel(HWND wnd, int x, int y)
{
    const TWindowDC dc(wnd, true);
    return GetPixel(dc.get(), x, y);
}

// A pixel of the screen.
inline COLORREF ScreenPixel(int x, int y)
{
    const TWindowDC dc(nullptr);
    return GetPixel(dc.get(), x, y);
}

// The window's hit-test code at a point of the screen.
inline LRESULT HitCodeAt(HWND wnd, POINT screen)
{
    return SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
}

// Pumps this thread's messages until done() holds or ms have passed; done()'s last answer.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) { return MessageHost::PumpUntil(done, ms); }

} // namespace testrig
