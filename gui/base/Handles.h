// Owners of Win32 handles: each frees its handle when it ends, and a selection guard puts the
// previously selected GDI object back into its DC.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <utility>

template <class H, class Traits> class TUniqueHandle {
public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(H h) : h_(h) {}
    ~TUniqueHandle() { reset(); }
    TUniqueHandle(TUniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    TUniqueHandle& operator=(TUniqueHandle&& o) noexcept
    {
        if (this != &o) reset(std::exchange(o.h_, Traits::Invalid()));
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    H release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(H h = Traits::Invalid())
    {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::Invalid();
};

struct TFileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct TKernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
template <class T> struct TGdiTraits {
    static T Invalid() { return nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
struct TMemDCTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
struct TMenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};
struct TIconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
struct TFindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct TLibraryTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};

struct TPrinterTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { ClosePrinter(h); }
};

using TFileHandle = TUniqueHandle<HANDLE, TFileHandleTraits>;
using TKernelHandle = TUniqueHandle<HANDLE, TKernelHandleTraits>;
using TFontHandle = TUniqueHandle<HFONT, TGdiTraits<HFONT>>;
using TBrushHandle = TUniqueHandle<HBRUSH, TGdiTraits<HBRUSH>>;
using TPenHandle = TUniqueHandle<HPEN, TGdiTraits<HPEN>>;
using TBitmapHandle = TUniqueHandle<HBITMAP, TGdiTraits<HBITMAP>>;
using TPaletteHandle = TUniqueHandle<HPALETTE, TGdiTraits<HPALETTE>>;
using TRegionHandle = TUniqueHandle<HRGN, TGdiTraits<HRGN>>;
using TMemDC = TUniqueHandle<HDC, TMemDCTraits>;
using TMenuHandle = TUniqueHandle<HMENU, TMenuTraits>;
using TIconHandle = TUniqueHandle<HICON, TIconTraits>;
using TFindHandle = TUniqueHandle<HANDLE, TFindTraits>;
using TLibraryHandle = TUniqueHandle<HMODULE, TLibraryTraits>;
// A printer of the spooler (OpenPrinterA); whoever starts documents on it ends them first.
using TPrinterHandle = TUniqueHandle<HANDLE, TPrinterTraits>;

// A window's DC from GetDC / GetWindowDC, released at the end.
class TWindowDC {
public:
    explicit TWindowDC(HWND wnd, bool wholeWindow = false) : wnd_(wnd), dc_(wholeWindow ? GetWindowDC(wnd) : GetDC(wnd))
    {}
    ~TWindowDC()
    {
        if (dc_) ReleaseDC(wnd_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND wnd) : wnd_(wnd) { dc_ = BeginPaint(wnd, &ps_); }
    ~TPaintDC() { EndPaint(wnd_, &ps_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC get() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects a GDI object into a DC and selects the previous one back at the end.
class TSelectGuard {
public:
    TSelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~TSelectGuard()
    {
        if (old_) SelectObject(dc_, old_);
    }
    TSelectGuard(const TSelectGuard&) = delete;
    TSelectGuard& operator=(const TSelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC / RestoreDC.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~TSavedDC() { RestoreDC(dc_, id_); }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};
