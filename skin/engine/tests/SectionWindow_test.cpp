// What the user sees: a window whose client area is painted with PaintSection from each
// generated test skin, read back from the screen (Xvfb) at sampled points.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/engine/vxSkinConvertor.h"

using namespace skintest;
using testskins::TestColor;

namespace {
constexpr int ClientWidth = 120, ClientHeight = 60;
constexpr COLORREF Unpainted = RGB(0, 0, 0); // the class brush

// A borderless top-most window that paints its client with one section of a manager.
class TSectionWindow {
public:
    TSectionWindow(const TsSkinManager& m, const std::string& section) : manager_(m), section_(section)
    {
        static const ATOM atom = [] {
            WNDCLASSA c{};
            c.lpfnWndProc = WndProc;
            c.hInstance = GetModuleHandleA(nullptr);
            c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            c.lpszClassName = "TilloraSectionWindow";
            return RegisterClassA(&c);
        }();
        (void)atom;
        wnd_ = CreateWindowExA(WS_EX_TOPMOST, "TilloraSectionWindow", "", WS_POPUP | WS_VISIBLE, 80, 90, ClientWidth,
                               ClientHeight, nullptr, nullptr, GetModuleHandleA(nullptr), this);
        SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        InvalidateRect(wnd_, nullptr, TRUE);
        UpdateWindow(wnd_);
    }
    ~TSectionWindow() { DestroyWindow(wnd_); }
    TSectionWindow(const TSectionWindow&) = delete;
    TSectionWindow& operator=(const TSectionWindow&) = delete;

    // The screen pixel of a client point, read again (messages handled) until it shows the
    // expected colour: the picture reaches the X display a little later (two seconds at most).
    COLORREF ScreenPixel(int x, int y, COLORREF expected) const
    {
        COLORREF color = CLR_INVALID;
        for (int i = 0; i < 200 && color != expected; ++i) {
            if (i) Sleep(10);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            POINT p{x, y};
            ClientToScreen(wnd_, &p);
            TWindowDC screen(nullptr);
            color = GetPixel(screen.get(), p.x, p.y);
        }
        return color;
    }

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<TSectionWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (msg == WM_PAINT && self) return self->OnPaint();
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    LRESULT OnPaint()
    {
        TPaintDC dc(wnd_);
        TsCacheInfo none;
        PaintSectionToDC(dc.get(), TPoint{}, TRect{0, 0, ClientWidth, ClientHeight}, manager_.GetSkinIndex(section_),
                         &manager_, 0, none);
        return 0;
    }
    const TsSkinManager& manager_;
    std::string section_;
    HWND wnd_ = nullptr;
};

struct TSample {
    int x, y;
    COLORREF expected;
};

void ExpectScreen(const TsSkinManager& m, const std::string& section, std::initializer_list<TSample> samples)
{
    TSectionWindow w(m, section);
    for (const TSample& s : samples)
        EXPECT_EQ(w.ScreenPixel(s.x, s.y, s.expected), s.expected) << section << " at " << s.x << "," << s.y;
}
} // namespace

TEST(SectionWindow, ColorsSkinShowsItsColoursAndGradient)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Colors")));
    ExpectScreen(m, "BUTTON", {{5, 0, RGB(0, 0, 0)}, {60, 59, RGB(255, 255, 255)}}); // black to white downwards
    ExpectScreen(m, "FORMTITLE", {{0, 0, RGB(0, 0, 128)}, {119, 59, RGB(0, 0, 128)}});
    // Without an image the gradient goes straight in: red to green to blue across.
    ExpectScreen(m, "PANEL", {{0, 30, RGB(255, 0, 0)}, {60, 30, RGB(0, 255, 0)}, {119, 30, RGB(0, 0, 255)}});
}

TEST(SectionWindow, MasksSkinShowsItsBorderPieces)
{
    TsSkinManager m(nullptr);
    ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks")));
    ExpectScreen(m, "BUTTON",
                 {{0, 0, RGB(216, 216, 216)},
                  {1, 1, TestColor(17, 0, 4)},
                  {10, 1, TestColor(2, 0, 1)},
                  {60, 30, TestColor(2, 0, 4)},
                  {118, 58, TestColor(2, 0, 8)}});
    ExpectScreen(m, "COMBOBOX",
                 {{1, 0, TestColor(3, 0, 0)}, {60, 1, TestColor(3, 0, 1)}, {60, 30, RGB(255, 255, 255)}});
    ExpectScreen(m, "FORMTITLE",
                 {{1, 0, TestColor(31, 0, 0)}, {60, 1, TestColor(31, 0, 1)}, {60, 30, TestColor(31, 0, 4)}});
}

TEST(SectionWindow, PackedMasksSkinShowsItsOwnColours)
{
    std::unique_ptr<TvxSkinConvertor> convertor;
    LoadSkinFile(SkinPath("Masks.vtz"), convertor, true);
    ASSERT_TRUE(convertor);
    TsSkinManager m(nullptr);
    m.LoadSkinFromContainer(*convertor, "");
    ExpectScreen(m, "BUTTON", {{0, 0, RGB(217, 216, 216)}, {10, 1, TestColor(2, 0, 1)}}); // COLOR's low bit turned
}

TEST(SectionWindow, DamagedNoMasterAndEmptySkinsPaintWhatTheyHave)
{
    TsSkinManager damaged(nullptr), noMaster(nullptr), empty(nullptr);
    ASSERT_TRUE(damaged.LoadSkinFromFolder(SkinPath("Damaged")));
    ExpectScreen(damaged, "BUTTON",
                 {{0, 0, RGB(255, 255, 255)}, {1, 0, TestColor(40, 0, 0)}, {60, 30, RGB(255, 255, 255)}});
    ASSERT_TRUE(noMaster.LoadSkinFromFolder(SkinPath("NoMaster")));
    ExpectScreen(noMaster, "BUTTON", {{1, 1, RGB(255, 255, 255)}}); // its image lies in the missing master
    ASSERT_TRUE(empty.LoadSkinFromFolder(SkinPath("Empty")));
    ExpectScreen(empty, "BUTTON", {{60, 30, Unpainted}});
}
