// The rest of the skin command utilities on real windows: the alignment flags of captions, the
// ends of updates and the child-window broadcast, the lookups, the painting of graphic children
// over their container's background; the module starts in the program's order with their entry
// points, the one theme switch, and pointer commands that come from another thread or are
// posted.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/base/Handles.h"
#include "gui/base/Modules.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sStart.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxSBUtils.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/ModalScript.h"
#include "tests/support/SkinModules.h"
#include "tests/support/ThemeRecorder.h"
#include "tests/support/WindowProbes.h"

namespace {

constexpr COLORREF Container = RGB(10, 20, 30), DotColor = RGB(200, 100, 50);

// A windowed container that answers the background query with its colour (and, when painted
// into a DC of its own, a command-22 count through the spy).
class TContainer : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdGetBGInfo) {
            auto* info = reinterpret_cast<TsBackgroundInfo*>(m.LParam);
            info->BgType = btFill;
            info->Color = Container;
            return;
        }
        TCustomControl::WndProc(m);
    }
};

// A graphic child that paints one pixel, or (fuchsiaCorner) its top-left pixel 0xFF00FF and the
// rest in the paint colour; it may run a nested call of PaintControls while it paints.
class TDot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    bool fuchsiaCorner = false;
    std::function<void(HDC)> whilePainting;
    void Paint(TCanvas& canvas) override
    {
        HDC dc = canvas.Handle();
        if (fuchsiaCorner) {
            FillDC(dc, TRect{0, 0, Width(), Height()}, static_cast<TColor>(DotColor));
            SetPixel(dc, 0, 0, clFuchsia);
        } else {
            SetPixel(dc, 1, 1, DotColor);
        }
        if (whilePainting) whilePainting(dc);
    }
};

class SkinCommandUtils : public testrig::SkinModulesTest<> {
protected:
    void SetUp() override
    {
        form = TForm::Create<TForm>(Application);
        form->SetBounds(60, 60, 400, 300);
        form->Show();
    }
    void TearDown() override { Application->DestroyForms(); }
    template <class T> T* Make(TWinControl* parent, int left, int top, int width, int height)
    {
        T* c = new T(form);
        c->SetBounds(left, top, width, height);
        c->SetParent(parent);
        return c;
    }
    TForm* form = nullptr;
};

} // namespace

TEST_F(SkinCommandUtils, CaptionFlagsFollowAlignmentAndReadingOrder)
{
    const UINT base = DT_EXPANDTABS | DT_VCENTER;
    const struct {
        TBiDiMode mode;
        UINT left, right, center;
    } table[] = {
        {bdLeftToRight, DT_LEFT, DT_RIGHT, DT_CENTER},
        {bdRightToLeft, DT_RIGHT | DT_RTLREADING, DT_LEFT | DT_RTLREADING, DT_CENTER | DT_RTLREADING},
        {bdRightToLeftNoAlign, DT_LEFT | DT_RTLREADING, DT_RIGHT | DT_RTLREADING, DT_CENTER | DT_RTLREADING},
        {bdRightToLeftReadingOnly, DT_LEFT | DT_RTLREADING, DT_RIGHT | DT_RTLREADING, DT_CENTER | DT_RTLREADING},
    };
    auto* label = Make<TLabel>(form, 0, 0, 50, 20);
    for (const auto& row : table) {
        label->SetBiDiMode(row.mode);
        EXPECT_EQ(TextAlignFlags(label, taLeftJustify), base | row.left) << row.mode;
        EXPECT_EQ(TextAlignFlags(label, taRightJustify), base | row.right) << row.mode;
        EXPECT_EQ(TextAlignFlags(label, taCenter), base | row.center) << row.mode;
    }
}

TEST_F(SkinCommandUtils, EndOfUpdateReachesShowingWindowedChildrenUnlessAnAnimationRuns)
{
    auto* shown = Make<TPanel>(form, 0, 0, 50, 50);
    auto* hidden = Make<TPanel>(form, 60, 0, 50, 50);
    auto* graphic = Make<TDot>(form, 120, 0, 10, 10);
    auto* noHandle = new TPanel(form); // (never given one)
    hidden->HandleNeeded();
    hidden->Hide();
    shown->HandleNeeded();
    testrig::TMessageSpy a(shown, testrig::SkinCommandsOnly), b(hidden, testrig::SkinCommandsOnly),
        g(graphic, testrig::SkinCommandsOnly), n(noHandle, testrig::SkinCommandsOnly);
    AnimationRunning = true;
    SendEndUpdateToChildren(form);
    AnimationRunning = false;
    EXPECT_TRUE(a.Messages().empty());
    SendEndUpdateToChildren(form);
    EXPECT_EQ(a.SkinCommands(), std::vector<int>{cmdUpdateEnded});
    EXPECT_TRUE(b.Messages().empty());
    EXPECT_TRUE(g.Messages().empty());
    EXPECT_TRUE(n.Messages().empty());
    EXPECT_FALSE(noHandle->HandleAllocated());

    // By window: every child window, hidden ones too.
    a.Clear();
    SendEndUpdateToChildWindows(form->Handle());
    EXPECT_EQ(a.SkinCommands(), std::vector<int>{cmdUpdateEnded});
    EXPECT_EQ(b.SkinCommands(), std::vector<int>{cmdUpdateEnded});
}

TEST_F(SkinCommandUtils, ChildWindowBroadcastReachesDirectChildrenOnly)
{
    auto* outer = Make<TPanel>(form, 0, 0, 100, 100);
    auto* inner = Make<TPanel>(outer, 5, 5, 50, 50);
    auto* sibling = Make<TPanel>(form, 120, 0, 50, 50);
    outer->HandleNeeded();
    sibling->HandleNeeded();
    const UINT note = WM_APP + 9;
    testrig::TMessageSpy o(outer->Handle()), i(inner->Handle()), s(sibling->Handle());
    TMessage m{note, 3, 4, 0};
    BroadcastToChildWindows(form->Handle(), m);
    EXPECT_EQ(o.Count(note), 1);
    EXPECT_EQ(s.Count(note), 1);
    EXPECT_EQ(i.Count(note), 0);
}

TEST_F(SkinCommandUtils, LookupsOfFormsWindowsSizesAndTheCursor)
{
    auto* panel = Make<TPanel>(form, 0, 0, 200, 200);
    auto* top = Make<TPanel>(panel, 0, 0, 10, 30);
    top->SetAlign(alTop);
    auto* top2 = Make<TPanel>(panel, 0, 0, 10, 12);
    top2->SetAlign(alTop);
    auto* hiddenTop = Make<TPanel>(panel, 0, 0, 10, 40);
    hiddenTop->SetAlign(alTop);
    hiddenTop->Hide();
    auto* label = Make<TLabel>(panel, 0, 0, 10, 7);
    label->SetAutoSize(false);
    label->SetHeight(7);
    label->SetAlign(alTop);
    auto* left = Make<TPanel>(panel, 0, 0, 25, 10);
    left->SetAlign(alLeft);
    EXPECT_EQ(SumAlignedSizes(panel, alTop, false), 42);
    EXPECT_EQ(SumAlignedSizes(panel, alTop, true), 49);
    EXPECT_EQ(SumAlignedSizes(panel, alLeft, true), 25);
    EXPECT_EQ(SumAlignedSizes(panel, alClient, true), 0);

    EXPECT_EQ(GetOwnerForm(label), form);
    EXPECT_EQ(GetOwnerForm(form), form);
    EXPECT_EQ(GetOwnerForm(Application), nullptr);
    EXPECT_EQ(GetTopParentWindow(top->Handle()), form->Handle());
    EXPECT_EQ(GetTopParentWindow(form->Handle()), form->Handle());

    RECT r;
    GetClientRectInWindow(form->Handle(), r);
    POINT origin{0, 0};
    ClientToScreen(form->Handle(), &origin);
    RECT window;
    GetWindowRect(form->Handle(), &window);
    EXPECT_EQ(r.left, origin.x - window.left);
    EXPECT_EQ(r.top, origin.y - window.top);
    EXPECT_EQ(r.right - r.left, form->ClientWidth());
    EXPECT_EQ(r.bottom - r.top, form->ClientHeight());

    SetCursorPos(123, 45);
    POINT p{};
    GetCursorPosition(p);
    EXPECT_EQ(p.x, 123);
    EXPECT_EQ(p.y, 45);

    // The provider's handler takes the message and does nothing with it.
    auto* provider = new TsSkinProvider(form);
    TMessage m{SM_VELOCONCMD, SkinCommandWParam(cmdRefresh), 0, 0};
    SendToProvider(form, m);
    EXPECT_EQ(m.Result, 0);
    delete provider;
    SendToProvider(form, m);
}

TEST_F(SkinCommandUtils, GraphicChildrenArePaintedOverTheContainersBackgroundUnlessTheyStartTransparent)
{
    auto* container = Make<TContainer>(form, 10, 10, 100, 60);
    auto* dot = Make<TDot>(container, 10, 10, 20, 20);
    auto* hole = Make<TDot>(container, 50, 10, 20, 20);
    hole->fuchsiaCorner = true;
    auto* hidden = Make<TDot>(container, 10, 35, 20, 20);
    hidden->Hide();
    container->HandleNeeded();
    const COLORREF target = RGB(1, 2, 3);
    auto dc = CreateBmp24(120, 80);
    FillDC(dc->Canvas().Handle(), TRect{0, 0, 120, 80}, static_cast<TColor>(target));
    testrig::TMessageSpy paints(hidden), dots(dot);
    ::PaintControls(dc->Canvas().Handle(), container, TPoint{5, 7});
    TCanvas& c = dc->Canvas();
    EXPECT_EQ(c.Pixel(5 + 11, 7 + 11), DotColor);  // the dot
    EXPECT_EQ(c.Pixel(5 + 15, 7 + 15), Container); // the container's background around it
    EXPECT_EQ(c.Pixel(5 + 55, 7 + 15), target);    // the child with a transparent corner: not copied
    EXPECT_EQ(c.Pixel(5 + 15, 7 + 40), target);    // the hidden child: nothing
    EXPECT_EQ(c.Pixel(5 + 9, 7 + 9), target);      // outside the children: untouched
    EXPECT_EQ(paints.Count(WM_PAINT), 0);
    EXPECT_EQ(dots.Count(WM_PAINT), 1);
}

TEST_F(SkinCommandUtils, PaintControlsOnAnEmptyClipTellsTheContainerAndANestedCallPaintsNothing)
{
    auto* container = Make<TContainer>(form, 10, 10, 100, 60);
    auto* dot = Make<TDot>(container, 10, 10, 20, 20);
    container->HandleNeeded();
    testrig::TMessageSpy window(container->Handle(), testrig::SkinCommandsOnly), dots(dot);
    auto bmp = CreateBmp24(100, 60);
    HDC dc = bmp->Canvas().Handle();
    {
        TSavedDC saved(dc);
        TRegionHandle empty(CreateRectRgn(0, 0, 0, 0));
        SelectClipRgn(dc, empty.get());
        ::PaintControls(dc, container, TPoint{});
    }
    EXPECT_EQ(window.SkinCommands(), std::vector<int>{cmdSetPartlyHidden});
    EXPECT_EQ(dots.Count(WM_PAINT), 0);

    // A child that paints another container's children while it is painted: the inner call
    // paints nothing, the outer goes on.
    auto* other = Make<TContainer>(form, 200, 10, 60, 60);
    auto* inner = Make<TDot>(other, 5, 5, 20, 20);
    auto innerBmp = CreateBmp24(60, 60);
    FillDC(innerBmp->Canvas().Handle(), TRect{0, 0, 60, 60}, clBlack);
    dot->whilePainting = [&](HDC) { ::PaintControls(innerBmp->Canvas().Handle(), other, TPoint{}); };
    testrig::TMessageSpy innerPaints(inner);
    ::PaintControls(dc, container, TPoint{});
    EXPECT_EQ(dots.Count(WM_PAINT), 1);
    EXPECT_EQ(innerPaints.Count(WM_PAINT), 0);
    EXPECT_EQ(innerBmp->Canvas().Pixel(10, 10), 0u);
    dot->whilePainting = nullptr;
    ::PaintControls(innerBmp->Canvas().Handle(), other, TPoint{}); // free again afterwards
    EXPECT_EQ(innerPaints.Count(WM_PAINT), 1);
}

TEST_F(SkinCommandUtils, ModulesStartInTheProgramsOrderAndBindTheirEntryPoints)
{
    TModuleOrder modules;
    AddSkinModules(modules);
    modules.Initialize();
    EXPECT_EQ(modules.Initialized(), (std::vector<std::string>{"sSkinEngine", "vxGlow", "vxDials", "vxSBUtils",
                                                               "sVclUtils", "sSkinMenus", "sSkinProvider"}));
    modules.Finalize();
    // The fixture's start holds them: the ends above only counted.
    EXPECT_NE(SetWindowThemeProc, nullptr);
    EXPECT_NE(GetScrollBarInfoProc, nullptr);
    EXPECT_NE(InitializeFlatSBProc, nullptr);
    EXPECT_NE(UninitializeFlatSBProc, nullptr);
    EXPECT_NE(WindowSkinningHooks().SetWindowTheme, nullptr);
}

TEST_F(SkinCommandUtils, TheSkinLinksThemeSwitchGoesThroughTheOneEntryPoint)
{
    if (!ThemesEnabled()) GTEST_SKIP() << "no visual theme in use";
    auto* panel = Make<TPanel>(form, 0, 0, 50, 50);
    TsCommonData link(panel, false);
    testrig::TThemeRecorder themes(false);
    TMessage m{WM_UPDATEUISTATE, 0, 0, 0};
    EXPECT_FALSE(HandleControlMessage(m, link)); // not skinned: the theme goes, the message goes on
    ASSERT_EQ(themes.Calls().size(), 1u);
    EXPECT_EQ(themes.Calls()[0].Wnd, panel->Handle());
    EXPECT_TRUE(themes.Calls()[0].HasSubAppName);
    EXPECT_EQ(themes.Calls()[0].SubAppName, L"");
    EXPECT_EQ(themes.Calls()[0].SubIdList, L"");
}

TEST_F(SkinCommandUtils, PointerCommandsFromAnotherThreadAreAnsweredZeroAndPostedOnesNeverArrive)
{
    // A control whose skin link answers the commands.
    class TLinked : public TCustomControl {
    public:
        explicit TLinked(TComponent* owner) : TCustomControl(owner), link(this, true) {}
        TsCommonData link;

    protected:
        void WndProc(TMessage& m) override
        {
            if (!HandleControlMessage(m, link)) TCustomControl::WndProc(m);
        }
    };
    auto* linked = Make<TLinked>(form, 0, 0, 50, 50);
    linked->HandleNeeded();
    HWND wnd = linked->Handle();
    int index = 5;
    EXPECT_EQ(SendSkinCommand(wnd, cmdGetSkinIndex, reinterpret_cast<LPARAM>(&index)), 0);
    EXPECT_EQ(index, -1); // within the thread it is obeyed

    std::vector<LRESULT> answers;
    bool done = false;
    std::thread other([&] {
        for (WORD command : {cmdGetSkinIndex, cmdGetBGInfo, cmdPaintFadeFrame, cmdAnnounceControl, cmdIsSkinned})
            answers.push_back(SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(command), 1));
        done = true;
    });
    testrig::PumpUntil([&] { return done; });
    other.join();
    EXPECT_EQ(answers, (std::vector<LRESULT>{0, 0, 0, 0, 1})); // 7 still answers

    // Posted, in the program's loop and in a message box's modal loop: they never reach the
    // window, and neither does a posted pointer notification of the class library.
    testrig::TMessageSpy spy(wnd);
    const auto post = [&] {
        for (WORD command : {cmdGetSkinIndex, cmdGetBGInfo, cmdAnnounceControl})
            PostMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(command), 1);
        PostMessageA(wnd, CM_CONTROLLISTCHANGE, 1, 1);
        PostMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(cmdSetPartlyHidden), 0); // no pointer: arrives
    };
    post();
    Application->ProcessMessages();
    TModalScript script({[&](HWND box) {
        post();
        TModalScript::Press(box, IDOK);
    }});
    post();
    MessageBoxA(form->Handle(), "Zeiger", "Test", MB_OK);
    EXPECT_EQ(script.Done(), 1);
    Application->ProcessMessages();
    EXPECT_EQ(spy.SkinCommands(), (std::vector<int>{cmdSetPartlyHidden, cmdSetPartlyHidden, cmdSetPartlyHidden}));
    EXPECT_EQ(spy.Count(CM_CONTROLLISTCHANGE), 0);
}
