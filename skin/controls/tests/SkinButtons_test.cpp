// The skinned push button, check box and bitmap button on borderless forms with the probe skins
// (a border pixel reads RGB(image id, 16 x state + piece, 200); every corner of a border image
// holds a 0xFF00FF staircase of 3, 2 and 1 pixels): owner drawing, the window region, the
// pixels of each state, clicks skinned and plain, the release wait, and handle counts.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/controls/sButton.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxGlow.h"
#include "tests/support/HandleCount.h"
#include "tests/support/WindowProbes.h"

using namespace skintest;

namespace {

class SkinButtons : public TProbeSkinTest {
protected:
    // A skin loaded by name, so that the manager is active with a skin name.
    void UseSkin(const std::string& name)
    {
        if (!manager) {
            manager = new TsSkinManager(nullptr);
            manager->SetIsDefault(true);
            // A folder with a drive, so that it is not taken as relative to the program.
            const std::string dir = TEST_SKINS_DIR;
            manager->SetSkinDirectory(dir[0] == '/' ? "Z:" + dir : dir);
        }
        manager->SetSkinName(name);
        ASSERT_EQ(manager->SkinName(), name);
    }
    // A borderless form with a plain button that holds the focus.
    void NewButtonForm()
    {
        form = NewForm(100, 100, 300, 200);
        auto* holder = new TButton(form);
        holder->SetParent(form);
        holder->SetBounds(200, 150, 40, 20);
        holder->SetFocus();
    }
    TsButton* NewButton(int left, int top, int width, int height)
    {
        auto* b = new TsButton(form);
        b->SkinData().SetSkinSection("BUTTON");
        b->SetParent(form);
        b->SetBounds(left, top, width, height);
        b->OnClick = [this](TObject*) { ++clicks; };
        b->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { ++mouseUps; };
        b->OnMouseEnter = [this](TObject*) { ++enters; };
        b->OnMouseLeave = [this](TObject*) { ++leaves; };
        UpdateWindow(b->Handle());
        return b;
    }
    static void Pump()
    {
        testrig::PumpUntil([] { return false; }, 60);
    }
    static COLORREF Px(TWinControl* c, int x, int y)
    {
        UpdateWindow(c->Handle());
        return testrig::WindowPixel(c->Handle(), x, y);
    }
    TForm* form = nullptr;
    int clicks = 0, mouseUps = 0, enters = 0, leaves = 0;
    const TTestImage border = ProbeImage("Probe", "BUTTON", "BORDERSMASK");
};

TEST_F(SkinButtons, ButtonIsOwnerDrawnAndCutWhileSkinnedAndShowsEachStatesBorder)
{
    UseSkin("Probe");
    NewButtonForm();
    TsButton* b = NewButton(20, 30, 80, 28);
    const HWND h = b->Handle();
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & 0xF, BS_OWNERDRAW);
    EXPECT_TRUE(testrig::WindowRegionIs(h, testrig::RectMinus(RECT{0, 0, 80, 28}, ProbeStaircase(80, 28))));
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 0, 1));

    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 1, 1)); // hot, and focused by the press
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 14));
    Pump();
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 2, 1));
    EXPECT_EQ(clicks, 0);
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(mouseUps, 1);
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 1, 1)); // hot, and focused by the press

    // Space shows the pressed look from key-down to key-up.
    b->SetFocus();
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 2, 1));
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    Pump();
    EXPECT_EQ(Px(b, 40, 1), ProbePiece(border, 1, 1)); // focused: active
    EXPECT_EQ(clicks, 2);

    manager->SetActive(false);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & 0xF, BS_PUSHBUTTON);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, rgn), ERROR);
    DeleteObject(rgn);
}

TEST_F(SkinButtons, ClicksReachOnClickAndTheModalResultSkinnedOrNotButNotAReleaseAlone)
{
    for (const bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        clicks = mouseUps = enters = leaves = 0;
        if (skinned) UseSkin("Probe");
        NewButtonForm();
        TsButton* b = NewButton(20, 30, 80, 28);
        b->SetModalResult(mrOk);
        SendMessageA(b->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(form->ModalResult(), mrOk);
        mouseUps = 0;
        PostMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
        Pump();
        EXPECT_EQ(mouseUps, 0);
        EXPECT_EQ(clicks, 1);
        b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
        b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
        EXPECT_EQ(enters, 1);
        EXPECT_EQ(leaves, 1);
        Application->DestroyForms();
        if (skinned) manager->SetActive(false);
    }
}

TEST_F(SkinButtons, ButtonFreedByATimerDuringThePressedWaitIsLeftAlone)
{
    UseSkin("ProbeFading");
    NewButtonForm();
    TsButton* b = NewButton(20, 30, 80, 28);
    static TsButton* victim = nullptr;
    static bool freed = false;
    victim = b;
    freed = false;
    PostMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 14));
    PostMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        delete victim;
        freed = true;
    });
    ASSERT_NE(timer, 0u);
    testrig::PumpUntil([] { return freed; }, 1000);
    Pump();
    EXPECT_TRUE(freed);
    EXPECT_EQ(form->ControlCount(), 1); // the focus holder
    EXPECT_EQ(clicks, 0);
}

TEST_F(SkinButtons, HoverPressCyclesAndCreateDestroyCyclesLeaveNoHandles)
{
    UseSkin("ProbeGlow");
    NewButtonForm();
    TsButton* b = NewButton(20, 30, 80, 28);
    auto cycle = [&] {
        b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
        SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 14));
        SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 14));
        b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
        UpdateWindow(b->Handle());
    };
    cycle();
    const THandleCount before = THandleCount::Now();
    const DWORD t0 = GetTickCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    printf("hover %lu\n", GetTickCount() - t0);
    EXPECT_TRUE(THandleCount::Now().Near(before, 2)) << THandleCount::Now() << " / " << before;
    EXPECT_EQ(clicks, 1001);

    delete b;
    const THandleCount empty = THandleCount::Now();
    const DWORD t1 = GetTickCount();
    for (int i = 0; i < 100; ++i) {
        TsButton* c = NewButton(20, 30, 80, 28);
        c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
        delete c;
    }
    EXPECT_TRUE(THandleCount::Now().Near(empty, 2)) << THandleCount::Now() << " / " << empty;
    printf("create %lu\n", GetTickCount() - t1);
    EXPECT_EQ(GlowListLength(), 0);
}

} // namespace
