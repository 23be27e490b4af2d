// Counts the GDI objects and the windows and menus that exist, for tests that prove a cycle of
// work leaks no handle. The handle tables are scanned (GetGuiResources is a stub under Wine):
// GDI objects are the values 0x10..0xFFFF that GetObjectType knows, windows and menus the even
// values 0x20..0xFFFE that IsWindow or IsMenu accept, windows only when this process made them
// (test programs that run beside it share the window tables). Compare two counts taken within
// one test.
//
//   const THandleCount before = THandleCount::Now();
//   for (int i = 0; i < 200; ++i) cycle();
//   EXPECT_EQ(THandleCount::Now(), before);
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>

struct THandleCount {
    int gdi = 0, user = 0;

    static THandleCount Now()
    {
        THandleCount c;
        for (uintptr_t h = 0x10; h <= 0xFFFF; ++h)
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0) ++c.gdi;
        for (uintptr_t h = 0x20; h <= 0xFFFE; h += 2)
            if (OwnWindow(reinterpret_cast<HWND>(h)) || IsMenu(reinterpret_cast<HMENU>(h))) ++c.user;
        return c;
    }
    static bool OwnWindow(HWND wnd)
    {
        DWORD process = 0;
        return IsWindow(wnd) && GetWindowThreadProcessId(wnd, &process) && process == GetCurrentProcessId();
    }
    bool operator==(const THandleCount&) const = default;
    // Both counts within tolerance of the other's.
    bool Near(const THandleCount& o, int tolerance) const
    {
        return gdi - o.gdi <= tolerance && o.gdi - gdi <= tolerance && user - o.user <= tolerance &&
               o.user - user <= tolerance;
    }
};

inline std::ostream& operator<<(std::ostream& o, const THandleCount& c)
{
    return o << "gdi " << c.gdi << ", user " << c.user;
}
