// Extended borders and the form animations with the shadow probe skin (margins 10): the border
// window's styles, place, region and hit codes, its following of the owner (hide, show,
// maximise, AlphaBlend), the mouse pass-through, the show and hide animations as the layered
// recorder sees them, the skin change's animation, the fallback, and no handles left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sStart.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxBorderForm.h"
#include "skin/windows/vxSBAnimation.h"
#include "tests/support/HandleCount.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/MessageHost.h"
#include "tests/support/WindowProbes.h"

namespace {

using testrig::PumpUntil;
using testrig::RectMinus;
using testrig::WindowRegionIs;

void Pump(DWORD ms = 100) { MessageHost::Pump(ms); }

constexpr int Margin = 10;

RECT WindowRectOf(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

// The calls of one window, in order.
std::vector<TLayeredCall> CallsOf(const TLayeredRecorder& rec, HWND wnd)
{
    std::vector<TLayeredCall> calls;
    for (const TLayeredCall& c : rec.Calls())
        if (c.Wnd == wnd) calls.push_back(c);
    return calls;
}

std::vector<int> AlphasOf(const std::vector<TLayeredCall>& calls)
{
    std::vector<int> alphas;
    for (const TLayeredCall& c : calls)
        alphas.push_back(c.Alpha);
    return alphas;
}

// The window of the recorder that is gone (the copy window of an animation).
HWND GoneCopyWindow(const TLayeredRecorder& rec)
{
    for (const TLayeredCall& c : rec.Calls())
        if (!IsWindow(c.Wnd)) return c.Wnd;
    return nullptr;
}

// The screen's pixels over the window, row by row.
std::vector<COLORREF> ScreenOf(HWND wnd)
{
    const RECT r = WindowRectOf(wnd);
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    for (int y = r.top; y < r.bottom; y += 3)
        for (int x = r.left; x < r.right; x += 3)
            pixels.push_back(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The process's visible layered tool windows (border, copy and animation windows).
BOOL CALLBACK NoteLayeredToolWindow(HWND w, LPARAM found)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    const LONG_PTR ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) &&
        (ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW)) == (WS_EX_LAYERED | WS_EX_TOOLWINDOW))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(w);
    return TRUE;
}

std::vector<HWND> LayeredToolWindows()
{
    std::vector<HWND> found;
    EnumWindows(&NoteLayeredToolWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

class ExtBorders : public TProbeSkinTest {
protected:
    static void SetUpTestSuite()
    {
        TProbeSkinTest::SetUpTestSuite();
        SkinWindowsStart();
    }
    void SetUp() override
    {
        UseProbeSkin("ProbeShadow");
        manager->SetAllowGlowing(false);
        TvxAnimEffects& a = manager->AnimEffects();
        a.SkinChanging.Active = false;
        a.FormShow.Time = 0;
        a.FormHide.Time = 0;
        manager->SetExtendedBorders(true);
    }
    void TearDown() override
    {
        AnimationsEnd();
        TProbeSkinTest::TearDown();
    }
    TForm* NewSkinnedForm(TFormBorderStyle style = bsSizeable, bool show = true)
    {
        auto* f = TForm::Create<TForm>(Application);
        f->SetBorderStyle(style);
        f->SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
        f->SetBounds(150, 150, 320, 200);
        f->SetCaption("Kasse");
        provider = new TsSkinProvider(f);
        if (show) {
            f->Show();
            SetForegroundWindow(f->Handle());
            Pump();
        }
        wnd = f->Handle();
        return f;
    }
    // A screen point at the centre of a title button.
    POINT ButtonPoint(int code)
    {
        const TRect b = provider->ButtonByCode(code)->Rect;
        const RECT r = WindowRectOf(wnd);
        return POINT{r.left + (b.Left + b.Right) / 2, r.top + (b.Top + b.Bottom) / 2};
    }
    TsSkinProvider* provider = nullptr;
    HWND wnd = nullptr;
};

TEST_F(ExtBorders, BorderWindowStylesPlaceRegionAndHitCodes)
{
    NewSkinnedForm();
    const HWND border = provider->BorderWindow();
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(BorderFormCount(), 1);
    // Under Wine the window manager's restacking of the form later lifts it over the form in
    // Wine's own z order without any message; right after an update it is directly behind.
    provider->RefreshBorder(255);
    EXPECT_EQ(GetWindow(wnd, GW_HWNDNEXT), border);
    const LONG_PTR ex = GetWindowLongPtrA(border, GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW),
              WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    EXPECT_TRUE(IsWindowVisible(border));
    const RECT f = WindowRectOf(wnd), b = WindowRectOf(border);
    EXPECT_EQ(b.left, f.left - Margin);
    EXPECT_EQ(b.top, f.top - Margin);
    EXPECT_EQ(b.right, f.right + Margin);
    EXPECT_EQ(b.bottom, f.bottom + Margin);
    // The form's client area is cut out of the border's region.
    RECT client{};
    GetClientRect(wnd, &client);
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -b.left, -b.top);
    EXPECT_TRUE(WindowRegionIs(border, RectMinus(RECT{0, 0, b.right - b.left, b.bottom - b.top}, {client})));

    const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    struct Row {
        const char* where;
        POINT p;
        int hit;       // TvxBorderForm::HitTest
        int message;   // WM_NCHITTEST of the border window
        LPCSTR cursor; // set by its WM_SETCURSOR (none: left to the form)
    } rows[] = {
        {"shadow top-left", {b.left + 2, b.top + 2}, HTTOPLEFT, HTOBJECT, IDC_SIZENWSE},
        {"shadow top", {cx, b.top + 2}, HTTOP, HTOBJECT, IDC_SIZENS},
        {"shadow top-right", {b.right - 3, b.top + 2}, HTTOPRIGHT, HTOBJECT, IDC_SIZENESW},
        {"shadow left", {b.left + 2, cy}, HTLEFT, HTOBJECT, IDC_SIZEWE},
        {"shadow right", {b.right - 3, cy}, HTRIGHT, HTOBJECT, IDC_SIZEWE},
        {"shadow bottom-left", {b.left + 2, b.bottom - 3}, HTBOTTOMLEFT, HTOBJECT, IDC_SIZENESW},
        {"shadow bottom", {cx, b.bottom - 3}, HTBOTTOM, HTOBJECT, IDC_SIZENS},
        {"shadow bottom-right", {b.right - 3, b.bottom - 3}, HTBOTTOMRIGHT, HTOBJECT, IDC_SIZENWSE},
        {"close", ButtonPoint(HTCLOSE), HTCLOSE, HTTRANSPARENT, nullptr},
        {"maximise", ButtonPoint(HTMAXBUTTON), HTMAXBUTTON, HTTRANSPARENT, nullptr},
        {"minimise", ButtonPoint(HTMINBUTTON), HTMINBUTTON, HTTRANSPARENT, nullptr},
        {"caption", {cx, f.top + 12}, HTCAPTION, HTTRANSPARENT, nullptr},
        {"client", {cx, cy}, -1, HTTRANSPARENT, nullptr},
    };
    TvxBorderForm* form = provider->BorderForm();
    const HCURSOR none = LoadCursorA(nullptr, IDC_WAIT);
    for (const Row& row : rows) {
        EXPECT_EQ(form->HitTest(row.p), row.hit) << row.where;
        EXPECT_EQ(SendMessageA(border, WM_NCHITTEST, 0, MAKELPARAM(row.p.x, row.p.y)), row.message) << row.where;
        SetCursorPos(row.p.x, row.p.y);
        SetCursor(none);
        SendMessageA(border, WM_SETCURSOR, reinterpret_cast<WPARAM>(border), MAKELPARAM(HTOBJECT, WM_MOUSEMOVE));
        if (row.cursor) {
            EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, row.cursor)) << row.where;
        }
    }
    SetCursorPos(0, 0);
    EXPECT_EQ(
        SendMessageA(border, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
        MA_NOACTIVATE);

    // A fixed dialog has no sizing codes on its shadow.
    NewSkinnedForm(bsDialog);
    const RECT d = WindowRectOf(provider->BorderWindow());
    EXPECT_EQ(BorderFormCount(), 2);
    EXPECT_EQ(provider->BorderForm()->HitTest(POINT{d.left + 2, d.top + 2}), -1);
    EXPECT_EQ(provider->BorderForm()->HitTest(POINT{(d.left + d.right) / 2, d.bottom - 3}), -1);
}

TEST_F(ExtBorders, SwitchingExtendedBordersOnAndOffWhileSkinned)
{
    manager->SetExtendedBorders(false);
    NewSkinnedForm();
    EXPECT_EQ(provider->BorderWindow(), nullptr);
    EXPECT_TRUE(LayeredToolWindows().empty());
    manager->SetExtendedBorders(true);
    const HWND border = provider->BorderWindow();
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(LayeredToolWindows(), std::vector<HWND>{border});
    EXPECT_EQ(GetWindow(wnd, GW_HWNDNEXT), border);
    const RECT f = WindowRectOf(wnd), b = WindowRectOf(border);
    EXPECT_EQ(b.left, f.left - Margin);
    EXPECT_EQ(b.bottom, f.bottom + Margin);
    manager->SetExtendedBorders(false);
    EXPECT_EQ(provider->BorderWindow(), nullptr);
    EXPECT_FALSE(IsWindow(border));
    EXPECT_TRUE(LayeredToolWindows().empty());
    EXPECT_EQ(BorderFormCount(), 0);
}

TEST_F(ExtBorders, BorderFollowsHideShowMaximiseAndAlphaBlend)
{
    TForm* f = NewSkinnedForm();
    const HWND border = provider->BorderWindow();
    f->Hide();
    Pump();
    EXPECT_FALSE(IsWindowVisible(border));
    f->Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(border));

    // Maximised: cut at the bottom (margin and frame) and clipped to the visible frame.
    ShowWindow(wnd, SW_MAXIMIZE);
    Pump();
    const RECT f2 = WindowRectOf(wnd), b2 = WindowRectOf(border);
    const int frame = GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(b2.top, f2.top - Margin);
    EXPECT_EQ(b2.bottom - b2.top, f2.bottom - f2.top + Margin - frame);
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(border, region.get()), ERROR);
    RECT box{};
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, Margin + GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(box.top, Margin + frame);
    ShowWindow(wnd, SW_RESTORE);
    Pump();

    // An AlphaBlend form gives its value as the constant alpha; the frame pixels are opaque.
    TLayeredRecorder rec;
    f->SetAlphaBlend(true);
    f->SetAlphaBlendValue(180);
    provider->RefreshBorder(255);
    const std::vector<TLayeredCall> calls = CallsOf(rec, border);
    ASSERT_FALSE(calls.empty());
    const TLayeredCall& last = calls.back();
    EXPECT_EQ(last.Alpha, 180);
    const RECT r = WindowRectOf(wnd);
    EXPECT_EQ(last.Size.cx, r.right - r.left + 2 * Margin);
    // The shadow's left piece (its active frame) beside the form, the form's image inside.
    const COLORREF left = static_cast<COLORREF>(
        skintest::ProbePiece(skintest::ProbeImage("ProbeShadow", "GLOBALINFO", "EXBORDER"), 0, 3));
    EXPECT_EQ(last.Pixel(5, last.Size.cy / 2) & 0xFFFFFF,
              (GetRValue(left) << 16) | (GetGValue(left) << 8) | GetBValue(left));
    const COLORREF inside = provider->FormImage()->Canvas().Pixel(1, 40);
    EXPECT_EQ(last.Pixel(Margin + 1, Margin + 40),
              0xFF000000u | (GetRValue(inside) << 16) | (GetGValue(inside) << 8) | GetBValue(inside));
    // Over the form's client part the border is clear, wherever the border is stacked.
    RECT client{};
    GetClientRect(wnd, &client);
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(last.Pixel(client.left - r.left + Margin + 1, client.top - r.top + Margin + 1), 0u);
    EXPECT_EQ(last.Pixel(client.right - r.left + Margin - 2, client.bottom - r.top + Margin - 2), 0u);

    // A form that stops drawing its frame loses its border window.
    provider->SetDrawNonClientArea(false);
    EXPECT_EQ(provider->BorderWindow(), nullptr);
    EXPECT_FALSE(IsWindow(border));
    EXPECT_EQ(BorderFormCount(), 0);
}

TEST_F(ExtBorders, TheBorderIsGivenItsImageAgainOnlyWhenTheImageChangesOrTheFormMoves)
{
    NewSkinnedForm();
    const HWND border = provider->BorderWindow();
    TLayeredRecorder rec;
    provider->RefreshBorder(255);
    EXPECT_EQ(CallsOf(rec, border).size(), 0u);
    SetWindowPos(wnd, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(CallsOf(rec, border).size(), 1u);
}

TEST_F(ExtBorders, MouseOverTheFormIsPassedInTheTargetsCoordinates)
{
    TForm* f = NewSkinnedForm();
    auto* edit = new TEdit(f);
    edit->SetParent(f);
    edit->SetBounds(40, 30, 120, 24);
    Pump();
    std::vector<LPARAM> seen;
    const int hook = edit->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_LBUTTONDOWN) seen.push_back(m.LParam);
        inherited(m);
    });
    const HWND border = provider->BorderWindow();
    POINT at{50, 10};
    MapWindowPoints(edit->Handle(), border, &at, 1);
    SendMessageA(border, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    edit->UnhookWindowProc(hook);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], MAKELPARAM(50, 10));
}

TEST_F(ExtBorders, ShowAnimationFadesACopyInAndEndsOnTheForm)
{
    manager->AnimEffects().FormShow.Time = 200;
    TForm* f = NewSkinnedForm(bsSizeable, false);
    const HWND border = provider->BorderWindow();
    TLayeredRecorder rec;
    const DWORD start = GetTickCount();
    f->Show();
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 180u);
    EXPECT_LT(took, 5000u);
    // The border window carried the animation: its first image at alpha 0, then 21 frames.
    std::vector<int> alphas = AlphasOf(CallsOf(rec, border));
    ASSERT_GE(alphas.size(), 23u);
    EXPECT_EQ(alphas[0], 0);
    std::vector<int> expected;
    for (int i = 1; i <= 20; ++i)
        expected.push_back(static_cast<int>(std::lround(std::min(255.0, i * 12.75))));
    expected.push_back(255); // the last frame
    EXPECT_EQ(std::vector<int>(alphas.begin() + 1, alphas.begin() + 22), expected);
    EXPECT_EQ(alphas.back(), 255);
    Pump();
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_FALSE(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(AnimationWindow, nullptr);
    // The screen afterwards is the one a show without animation gives.
    const std::vector<COLORREF> animated = ScreenOf(wnd);
    f->Hide();
    Pump();
    manager->AnimEffects().FormShow.Time = 0;
    f->Show();
    Pump();
    EXPECT_EQ(ScreenOf(wnd), animated);
    manager->AnimEffects().FormShow.Time = 200;

    // Without a border (a plain copy window), the aero mode: the first frame drawn into the
    // middle three quarters.
    manager->SetExtendedBorders(false);
    manager->AnimEffects().FormShow.Mode = atAeroMode;
    TForm* g = NewSkinnedForm(bsSizeable, false);
    ASSERT_EQ(provider->BorderWindow(), nullptr);
    rec.Clear();
    g->Show();
    const HWND copy = GoneCopyWindow(rec);
    ASSERT_NE(copy, nullptr);
    const std::vector<TLayeredCall> frames = CallsOf(rec, copy);
    ASSERT_GE(frames.size(), 2u);
    const TLayeredCall& first = frames[1];
    const int w = first.Size.cx, h = first.Size.cy;
    EXPECT_EQ(w, g->Width());
    EXPECT_EQ(first.Pixel(w / 8 - 1, h / 2) >> 24, 0u);
    EXPECT_EQ(first.Pixel(w / 8 + 1, h / 2) >> 24, 255u);
    EXPECT_EQ(first.Pixel(w / 2, h / 8 - 1) >> 24, 0u);
    EXPECT_EQ(first.Pixel(w - w / 8 - 2, h - h / 8 - 2) >> 24, 255u);
    EXPECT_EQ(first.Pixel(w - w / 8 + 1, h / 2) >> 24, 0u);
}

// Whether each window given a layered image was topmost at that moment.
std::vector<std::pair<HWND, bool>>* topmostSeen = nullptr;
TUpdateLayeredWindowProc passOn = nullptr;
BOOL WINAPI NoteTopmost(HWND wnd, HDC dst, POINT* pos, SIZE* size, HDC src, POINT* at, COLORREF key,
                        BLENDFUNCTION* blend, DWORD flags)
{
    topmostSeen->emplace_back(wnd, (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    return passOn(wnd, dst, pos, size, src, at, key, blend, flags);
}

TEST_F(ExtBorders, ShowTimesBelowTenShowAtOnceLongOnesAreCappedCopiesOfTopmostFormsAreTopmost)
{
    manager->SetExtendedBorders(false);
    struct Row {
        int time;
        std::vector<int> alphas; // of the copy window: first image, frames, final image
    } rows[] = {
        {5, {255, 255}}, {60000, {}}, // 100 steps: 0, then 101 frames up to 255, then 255
    };
    // The alpha grows by 255 / 100 a frame (kept as a fraction, rounded when given).
    rows[1].alphas.push_back(0);
    double alpha = 0;
    for (int i = 0; i <= 100; ++i) {
        alpha = std::min(255.0, alpha + 255.0 / 100);
        rows[1].alphas.push_back(static_cast<int>(std::lround(alpha)));
    }
    rows[1].alphas.push_back(255);
    for (const Row& row : rows) {
        manager->AnimEffects().FormShow.Time = row.time;
        TForm* f = NewSkinnedForm(bsSizeable, false);
        f->SetFormStyle(fsStayOnTop);
        std::vector<std::pair<HWND, bool>> seen;
        topmostSeen = &seen;
        TLayeredRecorder rec;
        passOn = SetUpdateLayeredWindowEntry(&NoteTopmost);
        const DWORD start = GetTickCount();
        f->Show();
        const DWORD took = GetTickCount() - start;
        SetUpdateLayeredWindowEntry(passOn);
        // The frames count the cap; the time only guards against the uncapped minute (a loaded
        // machine has taken more than two seconds for the hundred frames of a second).
        EXPECT_LT(took, 5000u) << row.time;
        const HWND copy = GoneCopyWindow(rec);
        ASSERT_NE(copy, nullptr) << row.time;
        EXPECT_EQ(AlphasOf(CallsOf(rec, copy)), row.alphas) << row.time;
        const auto first = std::find_if(seen.begin(), seen.end(), [&](const auto& s) { return s.first == copy; });
        ASSERT_NE(first, seen.end());
        EXPECT_TRUE(first->second) << row.time;
        f->Hide();
    }
}

TEST_F(ExtBorders, HideAnimationFadesACopyOutOnTheTimer)
{
    manager->AnimEffects().FormHide.Time = 100;
    TForm* f = NewSkinnedForm();
    TLayeredRecorder rec;
    f->Hide();
    const HWND copy = AnimationWindow;
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(IsWindow(copy));
    EXPECT_TRUE(GetWindowLongPtrA(copy, GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(PumpUntil([&] { return AnimationWindow == nullptr; }, 3000));
    EXPECT_FALSE(IsWindow(copy));
    const std::vector<int> alphas = AlphasOf(CallsOf(rec, copy));
    ASSERT_EQ(alphas.size(), 12u);
    EXPECT_EQ(alphas[0], 127);
    for (size_t i = 1; i < alphas.size(); ++i)
        EXPECT_EQ(alphas[i], static_cast<int>(std::lround(std::max(0.0, 127 - 12.75 * i)))) << i;

    // A second hide while one runs ends the first at once.
    f->Show();
    Pump();
    TForm* g = NewSkinnedForm();
    f->Hide();
    const HWND first = AnimationWindow;
    g->Hide();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_NE(AnimationWindow, first);
    ASSERT_TRUE(PumpUntil([&] { return AnimationWindow == nullptr; }, 3000));
}

TEST_F(ExtBorders, SkinChangeAnimatesEachVisibleForm)
{
    NewSkinnedForm();
    const HWND one = wnd, oneBorder = provider->BorderWindow();
    NewSkinnedForm();
    const HWND two = wnd, twoBorder = provider->BorderWindow();
    // The fades a border window carried: each starts with its image at alpha 0.
    const auto fades = [](const TLayeredRecorder& rec, HWND border) {
        const std::vector<int> alphas = AlphasOf(CallsOf(rec, border));
        return std::count(alphas.begin(), alphas.end(), 0);
    };
    {
        TLayeredRecorder rec;
        manager->RepaintForms();
        EXPECT_EQ(fades(rec, oneBorder), 0);
        EXPECT_EQ(fades(rec, twoBorder), 0);
        EXPECT_EQ(GoneCopyWindow(rec), nullptr);
    }
    manager->AnimEffects().SkinChanging.Active = true;
    manager->AnimEffects().SkinChanging.Time = 100;
    TLayeredRecorder rec;
    manager->RepaintForms();
    EXPECT_EQ(fades(rec, oneBorder), 1);
    EXPECT_EQ(fades(rec, twoBorder), 1);
    EXPECT_TRUE(IsWindowVisible(one));
    EXPECT_TRUE(IsWindowVisible(two));
}

// The windows made while the hook is set: their captions, " popup" added for top-level popups.
std::vector<std::string>* createdWindows = nullptr;
LRESULT CALLBACK NoteCreated(int code, WPARAM w, LPARAM l)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs;
        if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            createdWindows->push_back(std::string(cs->lpszName) +
                                      ((cs->style & WS_POPUP) && !(cs->style & WS_CHILD) ? " popup" : ""));
    }
    return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(ExtBorders, WithoutLayeredWindowsTheShowCrossFadesInTheOutputWindow)
{
    manager->AnimEffects().FormShow.Time = 50;
    TForm* f = NewSkinnedForm(bsSizeable, true);
    std::vector<std::string> created;
    createdWindows = &created;
    HHOOK hook = SetWindowsHookExA(WH_CBT, &NoteCreated, nullptr, GetCurrentThreadId());
    SetLayeredWindowsAvailable(false);
    AnimShowForm(f, 50, 255, atFadingMode);
    SetLayeredWindowsAvailable(true);
    UnhookWindowsHookEx(hook);
    EXPECT_NE(std::find(created.begin(), created.end(), "vxOutputWindow popup"), created.end());
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, nullptr, "vxOutputWindow"), nullptr);
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
}

TEST_F(ExtBorders, TitleButtonFadesInAboveTheFormAndOutWhenLeft)
{
    NewSkinnedForm();
    SetCursorPos(0, 0);
    TLayeredRecorder rec;
    provider->SetHotButton(HTCLOSE, true);
    ASSERT_EQ(TitleAnimationWindowCount(), 1);
    // The mouse is not on the button: faded in, it fades out again and its window goes.
    ASSERT_TRUE(PumpUntil([] { return TitleAnimationWindowCount() == 0; }, 3000));
    const HWND window = GoneCopyWindow(rec);
    ASSERT_NE(window, nullptr);
    const std::vector<TLayeredCall> calls = CallsOf(rec, window);
    const TRect r = provider->ButtonByCode(HTCLOSE)->Rect;
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].Size.cx, r.Right - r.Left);
    EXPECT_EQ(AlphasOf(calls), TitleFadeAlphas());

    // While it shows, the window lies above the form, layered, never active, transparent.
    provider->SetHotButton(0, true);
    provider->SetHotButton(HTCLOSE, true);
    TvxSBAnimation* a = provider->ButtonByCode(HTCLOSE)->Animation;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->Window(), nullptr);
    const HWND shown = a->Window()->Handle();
    EXPECT_EQ(a->Window()->Tag(), -98);
    EXPECT_EQ(GetWindow(shown, GW_OWNER), wnd);
    EXPECT_EQ(GetWindowLongPtrA(shown, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT),
              WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);

    // A one-frame state (pressed) changes at once, without the timer.
    rec.Clear();
    AnimateTitleButton(provider->ButtonByCode(HTCLOSE)->Animation, *provider, provider->Form(),
                       TvxAnimatedButton{HTCLOSE, -1, RECT{r.Left, r.Top, r.Right, r.Bottom}, nullptr}, 2, 1);
    EXPECT_FALSE(a->Enabled());
    ASSERT_NE(a->Window(), nullptr);
    EXPECT_EQ(AlphasOf(CallsOf(rec, a->Window()->Handle())), std::vector<int>{255});
    provider->StopButtonAnimations();
    EXPECT_EQ(TitleAnimationWindowCount(), 0);
}

TEST_F(ExtBorders, AHotTitleButtonFadesInInsideItsGlow)
{
    // The shadow probe skin with glow images: BICONCLOSEGLOW0 with border widths 4 and a close
    // glow margin of 2.
    manager->SetSkinName("ProbeShadowGlow");
    manager->SetAllowGlowing(true);
    NewSkinnedForm();
    ASSERT_NE(provider->BorderWindow(), nullptr);
    SetCursorPos(0, 0);
    TLayeredRecorder rec;
    provider->SetHotButton(HTCLOSE, true);
    TvxSBAnimation* a = provider->ButtonByCode(HTCLOSE)->Animation;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->Window(), nullptr);
    const HWND shown = a->Window()->Handle();
    const TRect r = provider->ButtonByCode(HTCLOSE)->Rect;
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const std::vector<TLayeredCall> calls = CallsOf(rec, shown);
    ASSERT_FALSE(calls.empty());
    const TLayeredCall& c = calls[0];
    EXPECT_EQ(c.Size.cx, w + 4);
    EXPECT_EQ(c.Size.cy, h + 4);
    const RECT f = WindowRectOf(wnd), g = WindowRectOf(shown);
    EXPECT_EQ(g.left, f.left + r.Left - 2);
    EXPECT_EQ(g.top, f.top + r.Top - 2);
    const auto rgb = [](COLORREF t) {
        return static_cast<uint32_t>(GetRValue(t) << 16 | GetGValue(t) << 8 | GetBValue(t));
    };
    // The glow's top piece on the margin, the hot button itself (opaque) inside it.
    const skintest::TTestImage glow = skintest::ProbeImage("ProbeShadowGlow", "GLOBALINFO", "BICONCLOSEGLOW0");
    EXPECT_EQ(c.Pixel((w + 4) / 2, 1) & 0xFFFFFF, rgb(static_cast<COLORREF>(skintest::ProbePiece(glow, 0, 1))));
    const COLORREF button = provider->FormImage()->Canvas().Pixel(r.Left + w / 2, r.Top + h / 2);
    EXPECT_EQ(c.Pixel(2 + w / 2, 2 + h / 2), 0xFF000000u | rgb(button));
    provider->StopButtonAnimations();
}

TEST_F(ExtBorders, HoverCyclesLeaveNoHandles)
{
    NewSkinnedForm();
    SetCursorPos(0, 0);
    const auto cycle = [&] {
        provider->SetHotButton(HTCLOSE, true);
        provider->SetHotButton(0, true);
        PumpUntil([] { return TitleAnimationWindowCount() == 0; }, 3000);
    };
    for (int i = 0; i < 5; ++i)
        cycle();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_EQ(TitleAnimationWindowCount(), 0);
    EXPECT_EQ(THandleCount::Now(), before);
}

TEST_F(ExtBorders, ShowHideCyclesLeaveNoHandles)
{
    TvxAnimEffects& a = manager->AnimEffects();
    a.FormShow.Time = 10;
    a.FormHide.Time = 10;
    TForm* f = NewSkinnedForm();
    f->Hide();
    PumpUntil([] { return AnimationWindow == nullptr; }, 3000);
    f->Show();
    Pump();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i) {
        f->Hide();
        PumpUntil([] { return AnimationWindow == nullptr; }, 3000);
        f->Show();
    }
    Pump();
    EXPECT_EQ(AnimationWindow, nullptr);
    EXPECT_EQ(BorderFormCount(), 1);
    EXPECT_EQ(THandleCount::Now(), before);
}

} // namespace
