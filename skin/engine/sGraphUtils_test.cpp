// Work bitmaps, quarter turns, fills and frames on DCs, and the bitmap forms of the effects,
// read back pixel by pixel.
#include "skin/engine/sGraphUtils.h"

#include <gtest/gtest.h>

#include "gui/ExtCtrls.h"
#include "skin/engine/sHooks.h"
#include "tests/support/LayeredRecorder.h"

namespace {
std::unique_ptr<TBitmap> Filled(int w, int h, TColor c, TPixelFormat f = pf24bit)
{
    auto b = f == pf32bit ? CreateBmp32(w, h) : CreateBmp24(w, h);
    b->Canvas().Brush().SetColor(c);
    b->Canvas().FillRect(RECT{0, 0, w, h});
    return b;
}
COLORREF Px(TBitmap& b, int x, int y) { return b.Canvas().Pixel(x, y); }
} // namespace

TEST(GraphUtils, LayeredWindowsAreFoundInUser32)
{
    EXPECT_TRUE(LayeredWindowsAvailable());
    EXPECT_EQ(reinterpret_cast<void*>(UpdateLayeredWindowEntry()),
              reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindow")));
    EXPECT_EQ(&SharedFast32(), &SharedFast32());
}

TEST(GraphUtils, LayeredCallsGoThroughTheEntryPointThatATestCanRecord)
{
    const TUpdateLayeredWindowProc real = UpdateLayeredWindowEntry();
    HWND wnd = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_TRUE(wnd);
    auto b = Filled(4, 3, RGB(10, 20, 30), pf32bit);
    SetAlphaChannel(b.get(), TRect{0, 0, 4, 3}, 0x80);
    b->Canvas().SetPixel(3, 2, RGB(1, 2, 3));
    {
        TLayeredRecorder rec;
        POINT pos{30, 40}, origin{};
        SIZE size{4, 3};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 200, AC_SRC_ALPHA};
        EXPECT_TRUE(
            UpdateLayeredWindowEntry()(wnd, nullptr, &pos, &size, b->Canvas().Handle(), &origin, 0, &blend, ULW_ALPHA));
        ASSERT_EQ(rec.Calls().size(), 1u);
        const TLayeredRecorder::Call& c = rec.Calls()[0];
        EXPECT_EQ(c.Wnd, wnd);
        EXPECT_EQ(c.Pos.x, 30);
        EXPECT_EQ(c.Size.cy, 3);
        EXPECT_EQ(c.Alpha, 200);
        EXPECT_EQ(c.Flags, static_cast<DWORD>(ULW_ALPHA));
        EXPECT_EQ(c.Pixel(0, 0), 0x800A141Eu);
        EXPECT_EQ(c.Pixel(3, 2) & 0xFFFFFF, 0x010203u);
        // Passed on: the window took the size.
        RECT r;
        GetWindowRect(wnd, &r);
        EXPECT_EQ(r.right - r.left, 4);
    }
    EXPECT_EQ(reinterpret_cast<void*>(UpdateLayeredWindowEntry()), reinterpret_cast<void*>(real));
    DestroyWindow(wnd);
}

TEST(GraphUtils, WorkBitmapsHaveTheirFormatAndSize)
{
    auto b24 = CreateBmp24(5, 3);
    auto b32 = CreateBmp32(4, 2);
    EXPECT_EQ(b24->PixelFormat(), pf24bit);
    EXPECT_EQ(b32->PixelFormat(), pf32bit);
    EXPECT_EQ(b24->Width(), 5);
    EXPECT_EQ(b24->Height(), 3);
    auto like = CreateBitmapLike(b32.get());
    EXPECT_EQ(like->PixelFormat(), pf32bit);
    EXPECT_EQ(like->Width(), 4);
    EXPECT_EQ(like->Height(), 2);
}

TEST(GraphUtils, RotateBitmap90ThreeByTwoBothWays)
{
    for (TPixelFormat f : {pf24bit, pf32bit}) {
        auto src = f == pf32bit ? CreateBmp32(3, 2) : CreateBmp24(3, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                src->Canvas().SetPixel(x, y, RGB(10 * x, 10 * y, 5));
        auto cw = RotateBitmap90(src.get(), true);
        auto ccw = RotateBitmap90(src.get(), false);
        ASSERT_TRUE(cw && ccw);
        EXPECT_EQ(cw->PixelFormat(), f);
        EXPECT_EQ(cw->Width(), 2);
        EXPECT_EQ(cw->Height(), 3);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(Px(*cw, 1 - y, x), RGB(10 * x, 10 * y, 5)) << x << "," << y;
                EXPECT_EQ(Px(*ccw, y, 2 - x), RGB(10 * x, 10 * y, 5)) << x << "," << y;
            }
    }
    TBitmap palette;
    palette.SetPixelFormat(pf8bit);
    palette.SetSize(3, 2);
    EXPECT_EQ(RotateBitmap90(&palette, true), nullptr);
}

TEST(GraphUtils, FillsKeepTheDCsStateAndFrameWidthsOfZeroFillNothing)
{
    auto b = Filled(10, 8, RGB(1, 2, 3));
    HDC dc = b->Canvas().Handle();
    HGDIOBJ brush = SelectObject(dc, GetStockObject(GRAY_BRUSH));
    SelectObject(dc, brush);
    brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    FillFrame(dc, TRect{0, 0, 10, 8}, 0, clRed, 0, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(Px(*b, x, y), RGB(1, 2, 3)) << x << "," << y;
    // Widths left 1, bottom 2, right 3, top 4.
    FillFrame(dc, TRect{0, 0, 10, 8}, 1, clRed, 2, 3, 4);
    EXPECT_EQ(Px(*b, 5, 3), RGB(255, 0, 0)); // top
    EXPECT_EQ(Px(*b, 0, 5), RGB(255, 0, 0)); // left
    EXPECT_EQ(Px(*b, 1, 5), RGB(1, 2, 3));
    EXPECT_EQ(Px(*b, 2, 6), RGB(255, 0, 0)); // bottom
    EXPECT_EQ(Px(*b, 2, 5), RGB(1, 2, 3));
    EXPECT_EQ(Px(*b, 7, 4), RGB(255, 0, 0)); // right
    EXPECT_EQ(Px(*b, 6, 4), RGB(1, 2, 3));
    FillDC(dc, TRect{2, 4, 4, 5}, clBtnFace);
    EXPECT_EQ(Px(*b, 3, 4), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Px(*b, 4, 4), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
}

TEST(GraphUtils, DrawBevelFrameDrawsNRingsAndConsumesN)
{
    auto b = Filled(6, 6, RGB(9, 9, 9));
    HDC dc = b->Canvas().Handle();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    int n = 2;
    DrawBevelFrame(dc, TRect{0, 0, 6, 6}, RGB(255, 255, 255), n, RGB(0, 0, 128));
    EXPECT_EQ(n, 0);
    const COLORREF light = RGB(255, 255, 255), dark = RGB(0, 0, 128), none = RGB(9, 9, 9);
    const COLORREF expected[6][6] = {
        {light, light, light, light, light, dark}, {light, light, light, light, dark, dark},
        {light, light, none, none, dark, dark},    {light, light, none, none, dark, dark},
        {light, dark, dark, dark, dark, dark},     {dark, dark, dark, dark, dark, dark},
    };
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Px(*b, x, y), expected[y][x]) << x << "," << y;
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
}

TEST(GraphUtils, FocusDotsEveryThirdPixelBlackBesideAWhiteOne)
{
    auto b = Filled(10, 10, RGB(100, 100, 100));
    DrawFocusDots(b->Canvas(), TRect{0, 0, 10, 10});
    const COLORREF top[10] = {0, 0xFFFFFF, RGB(100, 100, 100), 0, 0xFFFFFF, RGB(100, 100, 100),
                              0, 0xFFFFFF, RGB(100, 100, 100), 0};
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(Px(*b, x, 0), top[x]) << x;
    EXPECT_EQ(Px(*b, 3, 9), 0u);
    EXPECT_EQ(Px(*b, 9, 4), 0xFFFFFFu);
    EXPECT_EQ(Px(*b, 5, 5), RGB(100, 100, 100));
}

TEST(GraphUtils, ExcludeGraphicControlsLeavesTheirBoundsOutUnlessSkipped)
{
    TPanel panel(nullptr);
    auto* shape = new TShape(&panel);
    shape->SetBounds(2, 2, 3, 3);
    shape->SetParent(&panel);
    auto* hidden = new TShape(&panel);
    hidden->SetBounds(6, 6, 2, 2);
    hidden->SetParent(&panel);
    hidden->SetVisible(false);
    for (bool skip : {false, true}) {
        auto b = Filled(10, 10, RGB(0, 0, 0));
        HDC dc = b->Canvas().Handle();
        WindowSkinningHooks().SkipGraphicChildren = skip ? +[] { return true; } : nullptr;
        {
            TSavedDC saved(dc);
            ExcludeGraphicControls(dc, &panel, 1, 0); // moved down by one
            FillDC(dc, TRect{0, 0, 10, 10}, clWhite);
        }
        EXPECT_EQ(Px(*b, 3, 4), skip ? 0xFFFFFFu : 0u);
        EXPECT_EQ(Px(*b, 3, 2), 0xFFFFFFu);
        EXPECT_EQ(Px(*b, 6, 7), 0xFFFFFFu); // the hidden one stays in
    }
    WindowSkinningHooks().SkipGraphicChildren = nullptr;
}

TEST(GraphUtils, TileBitmapRepeatsFromTheTopLeftAndCutsTheLastTiles)
{
    auto tile = CreateBmp24(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            tile->Canvas().SetPixel(x, y, RGB(x, y, 50));
    auto b = Filled(10, 8, RGB(7, 7, 7));
    TileBitmap(b->Canvas(), TRect{1, 1, 8, 6}, tile.get());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool in = x >= 1 && x < 8 && y >= 1 && y < 6;
            EXPECT_EQ(Px(*b, x, y), in ? RGB((x - 1) % 3, (y - 1) % 2, 50) : RGB(7, 7, 7)) << x << "," << y;
        }
    TBitmap empty;
    TileBitmap(b->Canvas(), TRect{0, 0, 10, 8}, &empty);
    EXPECT_EQ(Px(*b, 0, 0), RGB(7, 7, 7));
}

TEST(GraphUtils, BitmapEffectsResolveSystemColours)
{
    auto b = Filled(4, 4, RGB(0, 0, 0));
    TintRect(b.get(), TRect{0, 0, 1, 1}, 0, clBtnFace);
    EXPECT_EQ(Px(*b, 1, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Px(*b, 2, 2), 0u);
    BlendBitmapToColor(b.get(), clWhite, clFuchsia, 0.0);
    EXPECT_EQ(Px(*b, 3, 3), 0xFFFFFFu);
}

TEST(GraphUtils, SoftRoundRectRingsGetDarkerInwards)
{
    auto b = Filled(10, 10, RGB(255, 255, 255));
    // Percent 0, depth 2, no rounding: rings 255 (edge), 85, 0 (inside) of the mask.
    PaintSoftRoundRect(b.get(), TRect{0, 0, 10, 10}, 0, 0, 2, clBlack);
    EXPECT_EQ(Px(*b, 0, 5), RGB(254, 254, 254)); // 255 x 255 >> 8
    EXPECT_EQ(Px(*b, 1, 5), RGB(84, 84, 84));    // 255 x 85 >> 8
    EXPECT_EQ(Px(*b, 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(Px(*b, 9, 9), RGB(254, 254, 254));
}

TEST(GraphUtils, CopyChannelOfAnEightBitBitmap)
{
    auto b32 = Filled(2, 2, RGB(10, 20, 30), pf32bit);
    TBitmap b8;
    b8.SetPixelFormat(pf8bit);
    b8.SetSize(2, 2);
    CopyChannel(b32.get(), &b8, 2, true); // red
    EXPECT_EQ(static_cast<uint8_t*>(b8.ScanLine(1))[1], 10);
}
