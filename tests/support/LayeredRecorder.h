// Records the calls of UpdateLayeredWindow that the layered effects of window skinning make
// through the engine's entry point (UpdateLayeredWindowEntry, skin/engine/sGraphUtils.h): for
// each the window, the position and size asked for, the constant alpha and a copy of the 32-bit
// source pixels. While it lives it replaces the entry point; each call is passed on to the one
// it replaced (unless passOn is false: then the call answers TRUE and changes nothing).
//
//   TLayeredRecorder rec;
//   ShowGlow(...);
//   ASSERT_EQ(rec.Calls().size(), 1u);
//   EXPECT_EQ(rec.Calls()[0].Size.cx, 60 + 2 * margin);
//   EXPECT_EQ(rec.Calls()[0].Pixel(0, 0) >> 24, 0u);   // alpha of the top-left pixel
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "tests/support/CallLog.h"

struct TLayeredCall {
    HWND Wnd = nullptr;
    bool HasPos = false, HasSize = false;
    POINT Pos{};
    SIZE Size{};
    BYTE Alpha = 255;             // the blend function's constant alpha (255 without one)
    DWORD Flags = 0;              // ULW_ALPHA, ULW_COLORKEY, ULW_OPAQUE
    std::vector<uint32_t> Pixels; // Size.cx x Size.cy from the source DC, 0xAARRGGBB, top row first
    BOOL Result = TRUE;
    uint32_t Pixel(int x, int y) const { return Pixels.at(static_cast<size_t>(y) * Size.cx + x); }
};

class TLayeredRecorder : public testrig::TCallLog<TLayeredCall> {
public:
    using Call = TLayeredCall;

    explicit TLayeredRecorder(bool passOn = true) : passOn_(passOn)
    {
        current_ = this;
        previous_ = SetUpdateLayeredWindowEntry(&Record);
    }
    ~TLayeredRecorder()
    {
        SetUpdateLayeredWindowEntry(previous_);
        current_ = nullptr;
    }
    TLayeredRecorder(const TLayeredRecorder&) = delete;
    TLayeredRecorder& operator=(const TLayeredRecorder&) = delete;

private:
    static BOOL WINAPI Record(HWND wnd, HDC dst, POINT* pos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                              BLENDFUNCTION* blend, DWORD flags)
    {
        Call c;
        c.Wnd = wnd;
        c.HasPos = pos != nullptr;
        c.HasSize = size != nullptr;
        if (pos) c.Pos = *pos;
        if (size) c.Size = *size;
        if (blend) c.Alpha = blend->SourceConstantAlpha;
        c.Flags = flags;
        if (src && size && size->cx > 0 && size->cy > 0) c.Pixels = Copy(src, srcPos ? *srcPos : POINT{}, *size);
        TLayeredRecorder* self = current_;
        if (self->passOn_ && self->previous_)
            c.Result = self->previous_(wnd, dst, pos, size, src, srcPos, key, blend, flags);
        self->calls_.push_back(std::move(c));
        return self->calls_.back().Result;
    }
    // The source pixels, through a 32-bit section of their size (BitBlt keeps the alpha bytes).
    static std::vector<uint32_t> Copy(HDC src, POINT at, SIZE size)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = size.cx;
        bi.bmiHeader.biHeight = -size.cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        TBitmapHandle section(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        TMemDC dc(CreateCompatibleDC(src));
        if (!section || !dc) return {};
        TSelectGuard keep(dc.get(), section.get());
        BitBlt(dc.get(), 0, 0, size.cx, size.cy, src, at.x, at.y, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        return std::vector<uint32_t>(p, p + static_cast<size_t>(size.cx) * size.cy);
    }

    static inline TLayeredRecorder* current_ = nullptr;
    bool passOn_;
    TUpdateLayeredWindowProc previous_ = nullptr;
};
