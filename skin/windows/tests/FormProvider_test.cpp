// The form skin provider on a real form with the probe skin: its life on the form, the frame
// metrics, the window region, the hit test, the snap, the maximised placement, the skin
// commands and the pixels of the form's image on the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <vector>

#include "gui/ExtCtrls.h"
#include "gui/Menus.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sSysMenu.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxScrollWnd.h"
#include "tests/support/HandleCount.h"
#include "tests/support/ThemeRecorder.h"
#include "tests/support/WindowProbes.h"

namespace {

using skintest::ProbeColors;
using testrig::WindowPixel;

void Pump(DWORD ms = 150) { MessageHost::Pump(ms); }

COLORREF Rgb(TColor c) { return static_cast<COLORREF>(c); }

LRESULT Command(HWND wnd, WORD command, LPARAM lParam = 0)
{
    return SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(command), lParam);
}

// A menu line of one item.
void AddMenu(TForm* form)
{
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("Datei");
    menu->Items()->Add(item);
    form->SetMenu(menu);
}

RECT WindowRect(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

class FormProvider : public TAdapterProbeTest {
protected:
    void SetUp() override { UseProbeSkin("Probe"); }
    // A sizeable form with a provider, shown and active.
    TForm* NewSkinnedForm(TFormBorderStyle style = bsSizeable, int width = 300, int height = 220, bool pump = true)
    {
        auto* f = TForm::Create<TForm>(Application);
        f->SetBorderStyle(style);
        f->SetBounds(120, 120, width, height);
        provider = new TsSkinProvider(f);
        f->Show();
        SetForegroundWindow(f->Handle());
        if (pump) Pump();
        return f;
    }
    TsSkinProvider* provider = nullptr;
};

TEST_F(FormProvider, AnswersTheQueriesAndASecondProviderStaysOutOfTheWay)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    EXPECT_EQ(Command(wnd, cmdGetProvider), reinterpret_cast<LRESULT>(provider));
    EXPECT_EQ(Command(wnd, cmdIsSkinned), 1);
    EXPECT_TRUE(provider->OwnBorder());
    auto* second = new TsSkinProvider(form);
    EXPECT_TRUE(second->Inactive());
    EXPECT_EQ(Command(wnd, cmdGetProvider), reinterpret_cast<LRESULT>(provider));
    EXPECT_EQ(TsSkinProvider::Of(form), provider);
    second->Free();
    EXPECT_EQ(Command(wnd, cmdGetProvider), reinterpret_cast<LRESULT>(provider));
    // Unskinned, the same answers.
    manager->SetActive(false);
    EXPECT_EQ(Command(wnd, cmdGetProvider), reinterpret_cast<LRESULT>(provider));
    EXPECT_EQ(Command(wnd, cmdIsSkinned), 1);
    EXPECT_FALSE(provider->OwnBorder());
}

TEST_F(FormProvider, TheFormGoesOnPlainAfterTheProvider)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    int resized = 0;
    form->OnResize = [&](TObject*) { ++resized; };
    EXPECT_FALSE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_SYSMENU);
    EXPECT_FALSE(testrig::WindowRegionRects(wnd).empty());
    provider->Free();
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_SYSMENU);
    TRegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(wnd, rgn.get()), ERROR);
    form->SetBounds(130, 130, 320, 240);
    EXPECT_GE(resized, 1);
    EXPECT_EQ(Command(wnd, cmdIsSkinned), 0);
}

TEST_F(FormProvider, AnAutoScrollFormKeepsWorkingAfterItsProviderWent)
{
    TForm* form = NewSkinnedForm();
    form->SetAutoScroll(true);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 600, 600);
    form->SetBounds(120, 120, 310, 230);
    SendMessageA(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    Pump();
    ASSERT_NE(provider->ScrollAdapter(), nullptr);
    provider->Free();
    const HWND wnd = form->Handle();
    for (int i = 0; i < 1000; ++i)
        SendMessageA(wnd, i % 2 ? WM_NCPAINT : WM_VSCROLL, i % 2 ? 1 : SB_LINEDOWN, 0);
    Pump();
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(Command(wnd, cmdIsSkinned), 0);
}

TEST_F(FormProvider, DrawNonClientAreaDecidesTheBorderAndTheSystemMenu)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    testrig::TThemeRecorder themes(false);
    provider->SetDrawNonClientArea(false);
    EXPECT_FALSE(provider->OwnBorder());
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_SYSMENU);
    EXPECT_TRUE(testrig::WindowRegionRects(wnd).empty());
    ASSERT_EQ(themes.Calls().size(), 1u);
    EXPECT_EQ(themes.Calls()[0].Wnd, wnd);
    EXPECT_EQ(themes.Calls()[0].SubAppName, L"");
    EXPECT_EQ(themes.Calls()[0].SubIdList, L"");
    provider->SetDrawNonClientArea(true);
    EXPECT_TRUE(provider->OwnBorder());
    EXPECT_FALSE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_SYSMENU);

    // A form without WS_SYSMENU never gets it.
    auto* plain = TForm::Create<TForm>(Application);
    plain->SetBorderIcons(0);
    plain->SetBounds(100, 100, 200, 150);
    provider = new TsSkinProvider(plain);
    plain->Show();
    Pump();
    EXPECT_FALSE(provider->SysMenuTaken());
    provider->SetDrawNonClientArea(false);
    provider->SetDrawNonClientArea(true);
    provider->Free();
    EXPECT_FALSE(GetWindowLongPtrA(plain->Handle(), GWL_STYLE) & WS_SYSMENU);
}

TEST_F(FormProvider, LockedFormsPaintNothingAndGetTheirRegionBack)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    int paints = 0;
    form->OnPaint = [&](TObject*) { ++paints; };
    LockForms(manager);
    EXPECT_TRUE(provider->Locked());
    EXPECT_EQ(provider->RedrawOffCount(), 1);
    SetWindowRgn(wnd, nullptr, FALSE);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASE);
    SendMessageA(wnd, WM_PAINT, 0, 0);
    EXPECT_EQ(paints, 0);
    UnlockForms(manager, true);
    Pump();
    EXPECT_FALSE(provider->Locked());
    EXPECT_EQ(provider->RedrawOffCount(), 0);
    SendMessageA(wnd, WM_SETREDRAW, 1, 0);
    EXPECT_EQ(provider->RedrawOffCount(), 0);
    const RECT r = WindowRect(wnd);
    EXPECT_TRUE(
        testrig::WindowRegionIs(wnd, testrig::RectMinus({0, 0, r.right - r.left, r.bottom - r.top},
                                                        skintest::ProbeStaircase(r.right - r.left, r.bottom - r.top))));
    EXPECT_GT(paints, 0);
}

TEST_F(FormProvider, MetricsComeFromTheSystem)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    EXPECT_EQ(FrameWidth(wnd, nullptr, true), GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(provider->CaptionHeight(true), GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(provider->MenuHeight(), 0);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    const RECT r = WindowRect(wnd);
    EXPECT_EQ(Command(wnd, cmdClientOffsetQuery), MAKELONG(origin.x - r.left, origin.y - r.top));
    AddMenu(form);
    EXPECT_EQ(provider->MenuHeight(), GetSystemMetrics(SM_CYMENU) - 1);
    TForm* dialog = NewSkinnedForm(bsDialog);
    EXPECT_EQ(FrameWidth(dialog->Handle(), nullptr, false), GetSystemMetrics(SM_CXFIXEDFRAME));
    TForm* bare = NewSkinnedForm(bsNone);
    EXPECT_EQ(provider->CaptionHeight(true), 0);
    EXPECT_TRUE(testrig::WindowRegionRects(bare->Handle()).empty());
}

TEST_F(FormProvider, TheRegionIsTheSkinsOutline)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    const auto outline = [&] {
        const RECT r = WindowRect(wnd);
        const int w = r.right - r.left, h = r.bottom - r.top;
        return testrig::RectMinus({0, 0, w, h}, skintest::ProbeStaircase(w, h));
    };
    EXPECT_TRUE(testrig::WindowRegionIs(wnd, outline()));
    form->SetBounds(100, 100, 360, 250);
    Pump();
    EXPECT_TRUE(testrig::WindowRegionIs(wnd, outline()));
    ShowWindow(wnd, SW_MAXIMIZE);
    Pump();
    const RECT r = WindowRect(wnd);
    const int f = GetSystemMetrics(SM_CXFRAME);
    EXPECT_TRUE(testrig::WindowRegionIs(wnd, testrig::RegionOf({{f, f, r.right - r.left - f, r.bottom - r.top - f}})));

    // A form that keeps its own region.
    auto* own = TForm::Create<TForm>(Application);
    own->SetBounds(50, 50, 200, 150);
    provider = new TsSkinProvider(own);
    own->HookWindowProc([](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == 0xBC4D && m.WParam == 16802) m.Result = 16802;
        else inherited(m);
    });
    own->Show();
    SetWindowRgn(own->Handle(), CreateRectRgn(0, 0, 100, 100), TRUE);
    Pump();
    EXPECT_TRUE(testrig::WindowRegionIs(own->Handle(), testrig::RegionOf({{0, 0, 100, 100}})));
}

TEST_F(FormProvider, HitTestGrid)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    provider->GripMode = gmRightBottom;
    AddMenu(form);
    Pump();
    const RECT r = WindowRect(wnd);
    const int w = r.right - r.left, h = r.bottom - r.top, f = GetSystemMetrics(SM_CXFRAME);
    const int title = f + GetSystemMetrics(SM_CYCAPTION);
    const TRect grip = provider->GripRect();
    struct {
        int x, y;
        LRESULT code;
    } const grid[] = {
        {0, 0, HTTOPLEFT},
        {w / 2, 0, HTTOP},
        {w - 1, 0, HTTOPRIGHT},
        {0, h / 2, HTLEFT},
        {w - 1, h / 2, HTRIGHT},
        {0, h - 1, HTBOTTOMLEFT},
        {w / 2, h - 1, HTBOTTOM},
        {w - 1, h - 1, HTBOTTOMRIGHT},
        {w / 2, title / 2 + 2, HTCAPTION},
        {w / 2, title + provider->MenuHeight() / 2, HTMENU},
        {grip.Left + 2, grip.Top + 2, HTBOTTOMRIGHT},
        {w / 2, h / 2, HTCLIENT},
    };
    for (const auto& g : grid)
        EXPECT_EQ(testrig::HitCodeAt(wnd, {r.left + g.x, r.top + g.y}), g.code) << g.x << "," << g.y;
    // Without a sizing frame the edges belong to the title and the client.
    TForm* single = NewSkinnedForm(bsSingle);
    const RECT s = WindowRect(single->Handle());
    for (const POINT p : {POINT{s.left + 1, (s.top + s.bottom) / 2}, POINT{s.right - 1, s.bottom - 1}}) {
        const LRESULT code = testrig::HitCodeAt(single->Handle(), p);
        EXPECT_TRUE(code < HTLEFT || code > HTBOTTOMRIGHT) << code;
    }
    // Maximised, no sizing codes.
    ShowWindow(wnd, SW_MAXIMIZE);
    Pump();
    const RECT z = WindowRect(wnd);
    EXPECT_NE(testrig::HitCodeAt(wnd, {z.left + f + 1, z.bottom - f - 1}), HTBOTTOMLEFT);
    // Without WS_CAPTION the old procedure answers.
    TForm* bare = NewSkinnedForm(bsNone);
    const RECT b = WindowRect(bare->Handle());
    EXPECT_EQ(testrig::HitCodeAt(bare->Handle(), {b.left + 1, b.top + 1}), HTCLIENT);
}

TEST_F(FormProvider, SnapsToTheWorkAreaAndMaximisesOverItsFrame)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    provider->ScreenSnap = true;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r0 = WindowRect(wnd);
    const int w = r0.right - r0.left, h = r0.bottom - r0.top, mx = work.left + 200, my = work.top + 150;
    struct {
        int x, y, wantX, wantY;
    } const moves[] = {
        {work.left + 9, my, work.left, my},
        {work.left + 10, my, work.left + 10, my},
        {mx, work.top + 9, mx, work.top},
        {mx, work.top + 10, mx, work.top + 10},
        {work.right - w - 9, my, work.right - w, my},
        {work.right - w - 10, my, work.right - w - 10, my},
        {mx, work.bottom - h - 9, mx, work.bottom - h},
        {mx, work.bottom - h - 10, mx, work.bottom - h - 10},
    };
    for (const auto& m : moves) {
        WINDOWPOS pos{wnd, nullptr, m.x, m.y, w, h, SWP_NOZORDER | SWP_NOSIZE};
        SendMessageA(wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        EXPECT_EQ(pos.x, m.wantX) << m.x << "," << m.y;
        EXPECT_EQ(pos.y, m.wantY) << m.x << "," << m.y;
    }
    SetWindowPos(wnd, nullptr, work.left + 9, my, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    EXPECT_EQ(WindowRect(wnd).left, work.left);

    MINMAXINFO info{};
    SendMessageA(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const int f = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(info.ptMaxPosition.x, -f);
    EXPECT_EQ(info.ptMaxPosition.y, -f);
    EXPECT_EQ(info.ptMaxSize.x, work.right - work.left + 2 * f);
    EXPECT_EQ(info.ptMaxSize.y, work.bottom - work.top + 2 * f);
}

TEST_F(FormProvider, ThePixelsComeFromTheSkin)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    provider->GripMode = gmRightBottom;
    provider->SetMenuLineSkin("NOSUCHLINE"); // falls back to MENULINE
    form->OnPaint = [form](TObject*) { SetPixel(form->Canvas().Handle(), 5, 5, RGB(1, 2, 3)); };
    AddMenu(form);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASE);
    Pump();
    const RECT r = WindowRect(wnd);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int f = GetSystemMetrics(SM_CXFRAME), title = f + GetSystemMetrics(SM_CYCAPTION);
    const int cx = provider->ClientOffsetX(), cy = provider->ClientOffsetY();
    const int state = provider->FormActive() ? 1 : 0;
    const auto border = skintest::ProbeImage("Probe", "FORM", "BORDERSMASK");
    const auto colors = ProbeColors("Probe", "FORM");
    EXPECT_EQ(WindowPixel(wnd, 1, h / 2), Rgb(skintest::ProbePiece(border, state, 3)));
    EXPECT_EQ(WindowPixel(wnd, w / 2, h - 2), Rgb(skintest::ProbePiece(border, state, 7)));
    EXPECT_EQ(WindowPixel(wnd, w / 2, title / 2 + 2),
              Rgb(state ? ProbeColors("Probe", "FORMTITLE").HotColor : ProbeColors("Probe", "FORMTITLE").Color));
    EXPECT_EQ(WindowPixel(wnd, w / 2, title + provider->MenuHeight() / 2), Rgb(ProbeColors("Probe", "MENULINE").Color));
    const TRect grip = provider->GripRect();
    EXPECT_EQ(WindowPixel(wnd, (grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2),
              Rgb(skintest::ProbePiece(skintest::ProbeImage("Probe", "GLOBALINFO", "GRIPIMAGE"), 0, 4)));
    // The glyph's transparent corner shows the client background under it.
    EXPECT_EQ(WindowPixel(wnd, grip.Left, grip.Top), Rgb(state ? colors.HotColor : colors.Color));
    EXPECT_EQ(WindowPixel(wnd, cx + 5, cy + 5), RGB(1, 2, 3));
    ASSERT_TRUE(provider->FormActive());
    EXPECT_EQ(WindowPixel(wnd, cx + 1, cy + 1), Rgb(colors.HotColor));
    EXPECT_EQ(Command(wnd, cmdGetBGColor), colors.HotColor);
    // Another window active: the form's Color.
    TForm* other = NewSkinnedForm(bsSizeable, 100, 100);
    other->SetBounds(700, 500, 100, 100);
    SetForegroundWindow(other->Handle());
    Pump();
    EXPECT_FALSE(TsSkinProvider::Of(form)->FormActive());
    EXPECT_EQ(WindowPixel(wnd, cx + 1, cy + 1), Rgb(colors.Color));
    EXPECT_EQ(Command(wnd, cmdGetBGColor), colors.Color);

    // A new caption: the skin's title band again, not the system's caption.
    SetWindowTextA(wnd, "Neuer Titel");
    Pump();
    EXPECT_EQ(WindowPixel(wnd, w / 2, title / 2 + 2), Rgb(ProbeColors("Probe", "FORMTITLE").Color));

    // WM_PRINT gives the same frame and client background.
    TBitmap printed(w, h);
    SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(printed.Canvas().Handle()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    for (const POINT p : {POINT{1, h / 2}, POINT{w / 2, title / 2 + 2}, POINT{w / 2, h - 2}, POINT{cx + 1, cy + 1},
                          POINT{cx + 5, cy + 5}, POINT{w - 2, h / 3}})
        EXPECT_EQ(printed.Canvas().Pixel(p.x, p.y), WindowPixel(wnd, p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(FormProvider, TheAnswersOfTheSkinCommands)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    const auto colors = ProbeColors("Probe", "FORM");
    const LRESULT self = reinterpret_cast<LRESULT>(provider);
    struct {
        WORD command;
        LPARAM lParam;
        LRESULT answer;
    } const table[] = {
        {cmdGetProvider, 0, self},
        {cmdIsSkinned, 0, 1},
        {cmdGetBGChanged, 0, 0},
        {cmdHasComplexBG, 0, 0},
        {cmdGetBGColor, 0, provider->FormActive() ? colors.HotColor : colors.Color},
        {cmdFlagsQuery, 0, provider->SkinData().CtrlFlags},
        {cmdApplicationQuery, 0, reinterpret_cast<LRESULT>(Application)},
        {cmdClientOffsetQuery, 0, MAKELONG(provider->ClientOffsetX(), provider->ClientOffsetY())},
        {cmdGetBGInfo, 0, 0}, // a pointer command without a record is refused
        {200, 0, 0},
    };
    for (const auto& t : table)
        EXPECT_EQ(Command(wnd, t.command, t.lParam), t.answer) << t.command;
}

TEST_F(FormProvider, AnIconicFormsImageIsItsTitle)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    ShowWindow(wnd, SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(IsIconic(wnd));
    SendMessageA(wnd, WM_NCPAINT, 1, 0);
    EXPECT_EQ(provider->FormImage()->Height(), GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CYCAPTION) + 2);
    EXPECT_GT(provider->CaptionHeight(true), 0);
}

TEST_F(FormProvider, OpeningClosingAndSkinSwitchesLeaveNoHandles)
{
    const auto cycle = [this] {
        TForm* form = NewSkinnedForm(bsSizeable, 300, 220, false);
        provider->GripMode = gmRightBottom;
        AddMenu(form);
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        form->Free();
    };
    cycle();
    Pump();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle();
    Pump();
    EXPECT_EQ(THandleCount::Now(), before);

    for (int i = 0; i < 3; ++i)
        NewSkinnedForm()->SetBounds(100 + 50 * i, 100, 250, 200);
    manager->SetSkinName("ProbeOther");
    manager->SetSkinName("Probe");
    Pump();
    const THandleCount settled = THandleCount::Now();
    for (int i = 0; i < 100; ++i)
        manager->SetSkinName(i % 2 ? "Probe" : "ProbeOther");
    Pump();
    EXPECT_EQ(THandleCount::Now(), settled);
}

TEST_F(FormProvider, SkinCommands)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    const LPARAM own = reinterpret_cast<LPARAM>(manager);
    for (UINT msg : {147u, static_cast<UINT>(WM_ENTERIDLE), 45132u, 48205u})
        EXPECT_EQ(SendMessageA(wnd, msg, 16802, 0), 0) << msg;
    TsBackgroundInfo info;
    EXPECT_EQ(Command(wnd, cmdGetBGInfo, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.Offset.X, provider->ClientOffsetX());
    EXPECT_EQ(info.Offset.Y, provider->ClientOffsetY());
    // 51 and 52: painting held and given back with a redraw.
    std::vector<WPARAM> redraws;
    form->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_SETREDRAW) redraws.push_back(m.WParam);
        inherited(m);
    });
    Command(wnd, cmdLockPainting);
    EXPECT_EQ(provider->RedrawOffCount(), 1);
    Command(wnd, cmdUnlockPainting);
    EXPECT_EQ(redraws, (std::vector<WPARAM>{0, 1}));
    EXPECT_EQ(provider->RedrawOffCount(), 0);
    // A foreign manager's removal only goes on to the controls.
    auto* control = new TProbeControl(form);
    control->SetParent(form);
    std::vector<LPARAM> removals;
    control->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdRemoveSkin) removals.push_back(m.LParam);
        inherited(m);
    });
    TsSkinManager foreign(nullptr);
    Command(wnd, cmdRemoveSkin, reinterpret_cast<LPARAM>(&foreign));
    EXPECT_EQ(removals, (std::vector<LPARAM>{reinterpret_cast<LPARAM>(&foreign)}));
    EXPECT_FALSE(testrig::WindowRegionRects(wnd).empty());
    EXPECT_TRUE(provider->IsSkinned());
    Command(wnd, cmdRemoveSkin, own);
    EXPECT_TRUE(testrig::WindowRegionRects(wnd).empty());
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_SYSMENU);
}

TEST_F(FormProvider, EnteringTheFormMakesTheOtherHotControlsLeave)
{
    TForm* form = NewSkinnedForm();
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 200, 100);
    TProbeControl* controls[3];
    for (int i = 0; i < 3; ++i) {
        controls[i] = new TProbeControl(form);
        controls[i]->SetParent(i == 2 ? static_cast<TWinControl*>(panel) : form);
        controls[i]->Link.MouseAbove = true;
    }
    // The entering control keeps its state; the others, also inside the panel, leave.
    form->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(controls[1]));
    EXPECT_FALSE(controls[0]->Link.MouseAbove);
    EXPECT_TRUE(controls[1]->Link.MouseAbove);
    EXPECT_FALSE(controls[2]->Link.MouseAbove);
}

TEST_F(FormProvider, HiddenWithItsOwnerItKeepsItsState)
{
    struct {
        int show, state;
    } const table[] = {{SW_SHOWNORMAL, 1}, {SW_MINIMIZE, 2}, {SW_MAXIMIZE, 3}};
    for (const auto& t : table) {
        TForm* form = NewSkinnedForm();
        const HWND wnd = form->Handle();
        ShowWindow(wnd, t.show);
        Pump(50);
        EXPECT_EQ(provider->ParentClosingState(), 0);
        SendMessageA(wnd, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
        EXPECT_EQ(provider->ParentClosingState(), t.state) << t.show;
        // A maximised form forgets it when it is deactivated.
        SendMessageA(wnd, WM_NCACTIVATE, FALSE, 0);
        EXPECT_EQ(provider->ParentClosingState(), t.state == 3 ? 0 : t.state) << t.show;
        form->Free();
    }
}

TEST_F(FormProvider, APlainContainerIsItsColourInsideTheFrame)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    ASSERT_TRUE(provider->SkinData().CtrlFlags & cfPlainContainer);
    provider->SkinData().SetCustomColor(true);
    form->SetColor(static_cast<TColor>(RGB(9, 8, 7)));
    provider->FlagImageChanged();
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASE);
    Pump();
    const RECT r = WindowRect(wnd);
    const int h = r.bottom - r.top, cx = provider->ClientOffsetX(), cy = provider->ClientOffsetY();
    EXPECT_EQ(WindowPixel(wnd, cx + 1, cy + 1), RGB(9, 8, 7));
    EXPECT_EQ(WindowPixel(wnd, cx + 40, h - GetSystemMetrics(SM_CYFRAME) - 2), RGB(9, 8, 7));
    const auto border = skintest::ProbeImage("Probe", "FORM", "BORDERSMASK");
    EXPECT_EQ(WindowPixel(wnd, 1, h / 2), Rgb(skintest::ProbePiece(border, provider->FormActive() ? 1 : 0, 3)));
}

TEST_F(FormProvider, TheWindowMenuAnswersWhatTheFormOffers)
{
    struct {
        TFormBorderStyle style;
        int show;
        bool visibleMax, visibleMin, visibleRestore, visibleSize, enabledMax, enabledMin, enabledRestore, enabledMove,
            enabledSize;
    } const table[] = {
        {bsSizeable, SW_SHOWNORMAL, true, true, true, true, true, true, false, true, true},
        {bsSizeable, SW_MAXIMIZE, true, true, true, true, false, true, true, false, true},
        {bsSizeable, SW_MINIMIZE, true, true, true, true, true, false, true, true, false},
        {bsSingle, SW_SHOWNORMAL, true, true, true, true, true, true, false, true, false},
        {bsDialog, SW_SHOWNORMAL, false, false, false, false, false, true, false, true, true},
        {bsToolWindow, SW_SHOWNORMAL, false, false, false, false, false, true, false, true, true},
    };
    for (const auto& t : table) {
        TForm* form = NewSkinnedForm(t.style);
        ShowWindow(form->Handle(), t.show);
        Pump();
        const TsSystemMenu* menu = provider->SystemMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->VisibleClose());
        const std::vector<bool> got{menu->VisibleMax(),     menu->VisibleMin(),  menu->VisibleRestore(),
                                    menu->VisibleSize(),    menu->EnabledMax(),  menu->EnabledMin(),
                                    menu->EnabledRestore(), menu->EnabledMove(), menu->EnabledSize()};
        const std::vector<bool> want{t.visibleMax, t.visibleMin,     t.visibleRestore, t.visibleSize, t.enabledMax,
                                     t.enabledMin, t.enabledRestore, t.enabledMove,    t.enabledSize};
        EXPECT_EQ(got, want) << t.style << " " << t.show;
        form->Free();
    }
}

HRESULT WINAPI CompositionOn(BOOL* on)
{
    *on = TRUE;
    return S_OK;
}
std::vector<std::pair<DWORD, DWORD>> attributes;
HRESULT WINAPI RecordAttribute(HWND, DWORD attribute, LPCVOID data, DWORD)
{
    attributes.emplace_back(attribute, *static_cast<const DWORD*>(data));
    return S_OK;
}

TEST_F(FormProvider, CompositionTransitionsFollowTheSkin)
{
    BindDwmEntryPoints();
    const auto composition = DwmIsCompositionEnabledProc();
    const auto attribute = DwmSetWindowAttributeProc();
    DwmIsCompositionEnabledProc() = &CompositionOn;
    DwmSetWindowAttributeProc() = &RecordAttribute;
    attributes.clear();
    TForm* form = NewSkinnedForm();
    provider->ResizeMode = rmBorder;
    SendMessageA(form->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(provider->ResizeMode, rmStandard);
    ASSERT_FALSE(attributes.empty());
    EXPECT_EQ(attributes.back(), std::make_pair(DWORD{3}, DWORD{1}));
    Command(form->Handle(), cmdRemoveSkin, reinterpret_cast<LPARAM>(manager));
    EXPECT_EQ(attributes.back(), std::make_pair(DWORD{3}, DWORD{0}));
    DwmIsCompositionEnabledProc() = composition;
    DwmSetWindowAttributeProc() = attribute;
}

TEST_F(FormProvider, TheEndOfTheSessionStopsEveryFade)
{
    manager->SetSkinName("ProbeFading");
    TForm* form = NewSkinnedForm();
    // Two fading buttons, the second disabled while it fades.
    for (int i = 0; i < 2; ++i) {
        auto* control = new TProbeControl(form);
        control->SetParent(form);
        control->SetBounds(10, 10 + 30 * i, 80, 24);
        control->Link.UpdateIndexes();
        StartFade(control->Fade, &control->Link, false, 1);
        if (i == 1) control->SetEnabled(false);
    }
    ASSERT_EQ(FadeTimerCount(), 2);
    const auto start = std::chrono::steady_clock::now();
    SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(FadeTimerCount(), 0);
    SendMessageA(form->Handle(), WM_ENDSESSION, 0, 0);
    EXPECT_FALSE(FadesSuppressed());
}

} // namespace
