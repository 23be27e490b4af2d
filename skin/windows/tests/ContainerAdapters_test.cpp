// The container adapters with the probe skin: panels by their bevels, tab controls by their tab
// position and selection, the tab scroller's spin adapter, pages of a page control, up-down
// buttons, status bars, the common-control tool bar and the harness tool bar of the class
// library. Windows are printed (WM_PRINT) into a bitmap of their size; the probe skin's border
// images leave their middle unpainted, so a middle pixel shows the section's colour for the
// state (COLOR in state 0, HOTCOLOR else) and an edge pixel the border piece of the state.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "gui/ExtCtrls.h"
#include "skin/engine/sPropUtils.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/tests/ContainerHarness.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxPanelWnd.h"
#include "skin/windows/vxSpinWnd.h"
#include "skin/windows/vxStatusBarWnd.h"
#include "skin/windows/vxTabWnd.h"
#include "skin/windows/vxToolBarWnd.h"
#include "tests/support/MessageHost.h"

namespace {

using skintest::ProbeColors;
using skintest::ProbeImage;
using skintest::ProbePiece;

// Pieces of a probe border frame: top, left, right, bottom edges.
enum { TopEdge = 1, LeftEdge = 3, RightEdge = 5, BottomEdge = 7 };

TColor Piece(const char* section, int state, int piece)
{
    return ProbePiece(ProbeImage("Probe", section, "BORDERSMASK"), state, piece);
}
TColor Glyph(const char* section, int state) { return ProbePiece(ProbeImage("Probe", section, "GLYPHMASK"), state, 4); }

class ContainerAdapters : public TAdapterProbeTest {
protected:
    static void SetUpTestSuite()
    {
        TAdapterProbeTest::SetUpTestSuite();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&icc);
        harness::RegisterHarnessProperties();
    }
    void SetUp() override
    {
        LoadProbeSkin("Probe");
        form = NewForm(100, 100, 400, 300);
    }
    HWND Child(const char* cls, DWORD style, int x, int y, int w, int h)
    {
        const HWND wnd = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | style, x, y, w, h,
                                         form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return wnd;
    }
    HWND TabControl(DWORD style, int tabs, int w = 200, int h = 150)
    {
        const HWND tab = Child(WC_TABCONTROLA, style, 10, 10, w, h);
        for (int i = 0; i < tabs; ++i) {
            std::string text = "T" + std::to_string(i);
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
        return tab;
    }
    static SIZE SizeOf(HWND wnd) { return WindowSize(wnd); }
    static std::unique_ptr<TBitmap> Print(HWND wnd) { return PrintedWindow(wnd); }
    static bool SamePixels(TBitmap& a, TBitmap& b)
    {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Canvas().Pixel(x, y) != b.Canvas().Pixel(x, y)) return false;
        return true;
    }
    // The cursor over a point of the window, and the window told of it.
    static void Hover(HWND wnd, POINT client)
    {
        POINT screen = client;
        ClientToScreen(wnd, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    // A plain page window (the default window procedure, no background brush).
    HWND Page(HWND parent)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ProbePage";
        RegisterClassA(&wc); // a second registration fails harmlessly
        return CreateWindowExA(0, "ProbePage", "", WS_CHILD | WS_VISIBLE, 20, 40, 100, 60, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    TForm* form = nullptr;
};

TEST_F(ContainerAdapters, APanelTakesTheSectionOfItsBevelsAndPaintsItInside)
{
    struct Row {
        TBevelCut outer, inner;
        TBorderStyle border;
        const char* section;
    };
    const Row rows[] = {{bvLowered, bvRaised, bsNone, "GROUPBOX"}, {bvLowered, bvNone, bsSingle, "PANEL_LOW"},
                        {bvRaised, bvLowered, bsNone, "GROUPBOX"}, {bvRaised, bvNone, bsNone, "PANEL"},
                        {bvNone, bvRaised, bsSingle, "PANEL_LOW"}, {bvNone, bvNone, bsNone, "CHECKBOX"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.section);
        auto* panel = new TPanel(form);
        panel->SetBevelOuter(row.outer);
        panel->SetBevelInner(row.inner);
        panel->SetBorderStyle(row.border);
        panel->SetBounds(10, 10, 120, 60);
        panel->SetParent(form);
        TsCommonData link(panel, true);
        auto* a = CreateAdapter<TvxPanelWnd>(panel->Handle(), &link, nullptr, "", false);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(link.SkinSection(), row.section);
        EXPECT_EQ(SendSkinCommand(panel->Handle(), cmdIsSkinned, 0), 1);
        auto p = Print(panel->Handle());
        EXPECT_EQ(p->Canvas().Pixel(60, 30), ProbeColors("Probe", row.section).Color);
        EXPECT_EQ(p->Canvas().Pixel(60, 0), Piece(row.section, 0, TopEdge));
        EXPECT_EQ(p->Canvas().Pixel(0, 30), Piece(row.section, 0, LeftEdge));
        delete a;
        EXPECT_EQ(GetAdapterOfWindow(panel->Handle()), nullptr);
        delete panel;
    }
    // A section given by the caller stays.
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    TsCommonData link(panel, true);
    auto* a = CreateAdapter<TvxPanelWnd>(panel->Handle(), &link, nullptr, "PANEL_LOW", false);
    EXPECT_EQ(link.SkinSection(), "PANEL_LOW");
    delete a;
}

TEST_F(ContainerAdapters, ADialogPanelOfATPanelTakesCheckBoxAndTheGlobalColour)
{
    auto* panel = new TPanel(form);
    panel->SetBounds(10, 10, 120, 60);
    panel->SetParent(form);
    panel->SetColor(clBtnFace);
    auto* a = CreateAdapter<TvxDlgPanelWnd>(panel->Handle(), nullptr, manager, "GROUPBOX", false);
    EXPECT_EQ(a->Ctrl, panel);
    EXPECT_EQ(a->SkinData->SkinSection(), "CHECKBOX");
    SendMessageA(panel->Handle(), WM_PAINT, 0, 0);
    EXPECT_EQ(panel->Color(), ProbeColors("Probe", "GLOBALINFO").Color);
    delete a;
    // A window of no class-library control: GROUPBOX. A sub-dialog shows its parent's look.
    const HWND raw = Child("STATIC", 0, 150, 10, 100, 60);
    a = CreateAdapter<TvxDlgPanelWnd>(raw, nullptr, manager, "", false);
    EXPECT_EQ(a->Ctrl, nullptr);
    EXPECT_EQ(a->SkinData->SkinSection(), "GROUPBOX");
    delete a;
    const HWND sub = Page(form->Handle());
    auto* t = CreateAdapter<TvxTransPanelWnd>(sub, nullptr, manager, "CHECKBOX", false);
    RedrawWindow(sub, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    {
        const TWindowDC dc(sub, true);
        EXPECT_EQ(GetPixel(dc.get(), 50, 30), static_cast<COLORREF>(ProbeColors("Probe", "CHECKBOX").Color));
    }
    delete t;
}

TEST_F(ContainerAdapters, ATabControlDrawsItsBodyAndTabsWithTheSectionsOfItsTabPosition)
{
    struct Row {
        DWORD style;
        const char *body, *tabs;
        int edge; // the tab's outer edge piece
    };
    const Row rows[] = {{0, "PAGECONTROL", "TABTOP", TopEdge},
                        {TCS_BOTTOM, "PAGECONTROLBOTTOM", "TABBOTTOM", BottomEdge},
                        {TCS_VERTICAL | TCS_MULTILINE, "PAGECONTROLLEFT", "TABLEFT", LeftEdge},
                        {TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, "PAGECONTROLRIGHT", "TABRIGHT", RightEdge}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.body);
        const HWND tab = TabControl(row.style, 3);
        auto* a = CreateAdapter<TvxTabControlWnd>(tab, nullptr, manager, "", false);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->SkinData->SkinSection(), "PAGECONTROL");
        auto p = Print(tab);
        EXPECT_EQ(a->SkinData->SkinIndex, manager->GetSkinIndex(row.body));
        const RECT d = a->DisplayRect();
        EXPECT_EQ(p->Canvas().Pixel((d.left + d.right) / 2, (d.top + d.bottom) / 2),
                  ProbeColors("Probe", row.body).Color);
        // The unselected tab 1 in state 0, the selected tab 0 in state 2, each on its outer edge.
        for (const int index : {1, 0}) {
            const int state = index == 0 ? 2 : 0;
            const RECT r = a->TabRect(index, index == 0);
            const int mx = (r.left + r.right) / 2, my = (r.top + r.bottom) / 2;
            const POINT at = row.edge == TopEdge      ? POINT{mx, r.top}
                             : row.edge == BottomEdge ? POINT{mx, r.bottom - 1}
                             : row.edge == LeftEdge   ? POINT{r.left, my}
                                                      : POINT{r.right - 1, my};
            EXPECT_EQ(p->Canvas().Pixel(at.x, at.y), Piece(row.tabs, state, row.edge)) << "tab " << index;
        }
        delete a;
        DestroyWindow(tab);
    }
}

TEST_F(ContainerAdapters, OnlyTheSelectedTabIsDrawnInState2AndHoveringChangesNothing)
{
    const HWND tab = TabControl(0, 3);
    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    auto* a = CreateAdapter<TvxTabControlWnd>(tab, nullptr, manager, "", false);
    // Tab rectangles: an unselected top tab covers its raw rectangle less 1 pixel on the right
    // and 4 more at the bottom; the selected one 2 more on the left, right and top, 2 at the bottom.
    RECT raw0{}, raw1{};
    SendMessageA(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&raw0));
    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&raw1));
    const RECT r0 = a->TabRect(0, false), r1 = a->TabRect(1, true);
    EXPECT_TRUE(EqualRect(&r0, &raw0) == FALSE);
    EXPECT_EQ(r0.right, raw0.right - 1);
    EXPECT_EQ(r0.bottom, raw0.bottom + 4);
    EXPECT_EQ(r1.left, raw1.left - 2);
    EXPECT_EQ(r1.top, raw1.top - 2);
    EXPECT_EQ(r1.right, raw1.right + 2);
    EXPECT_EQ(r1.bottom, raw1.bottom + 2);
    auto before = Print(tab);
    const skintest::TProbeColors tabColors = ProbeColors("Probe", "TABTOP");
    EXPECT_EQ(before->Canvas().Pixel(r1.left + 5, r1.top + 5), tabColors.HotColor);
    EXPECT_EQ(before->Canvas().Pixel(r0.left + 5, r0.top + 5), tabColors.Color);
    const RECT r2 = a->TabRect(2, false);
    EXPECT_EQ(before->Canvas().Pixel(r2.left + 5, r2.top + 5), tabColors.Color);
    Hover(tab, POINT{(r2.left + r2.right) / 2, (r2.top + r2.bottom) / 2});
    auto after = Print(tab);
    EXPECT_TRUE(SamePixels(*before, *after));
    // On the screen too, after the window's own erase.
    RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    {
        const TWindowDC dc(tab);
        EXPECT_EQ(GetPixel(dc.get(), r1.left + 5, r1.top + 5), static_cast<COLORREF>(tabColors.HotColor));
        EXPECT_EQ(GetPixel(dc.get(), r0.left + 5, r0.top + 5), static_cast<COLORREF>(tabColors.Color));
    }
    delete a;
}

TEST_F(ContainerAdapters, WithoutTabsTheBodyIsCheckBoxAndWithoutASelectionNoTabHasABackground)
{
    const HWND empty = TabControl(0, 0);
    auto* a = CreateAdapter<TvxTabControlWnd>(empty, nullptr, manager, "", false);
    auto p = Print(empty);
    EXPECT_EQ(a->SkinData->SkinIndex, manager->GetSkinIndex("CHECKBOX"));
    EXPECT_EQ(p->Canvas().Pixel(100, 75), ProbeColors("Probe", "CHECKBOX").Color);
    EXPECT_EQ(p->Canvas().Pixel(100, 0), Piece("CHECKBOX", 0, TopEdge));
    delete a;

    const HWND tab = TabControl(0, 3);
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
    a = CreateAdapter<TvxTabControlWnd>(tab, nullptr, manager, "", false);
    RECT raw{};
    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&raw));
    const RECT none = a->TabRect(1, false);
    EXPECT_TRUE(IsRectEmpty(&none));
    p = Print(tab);
    EXPECT_EQ(p->Canvas().Pixel((raw.left + raw.right) / 2, raw.top), ProbeColors("Probe", "GLOBALINFO").Color);
    delete a;

    // A skin whose TABTOP has no border image: no tab backgrounds, the texts are still written.
    delete manager;
    LoadProbeSkin("Colors");
    SendMessageA(tab, TCM_SETCURSEL, 0, 0);
    a = CreateAdapter<TvxTabControlWnd>(tab, nullptr, manager, "", false);
    p = Print(tab);
    const RECT r1 = a->TabRect(1, false);
    EXPECT_EQ(p->Canvas().Pixel((r1.left + r1.right) / 2, r1.top), static_cast<COLORREF>(13160660)); // GLOBALINFO
    int ink = 0;
    for (int y = r1.top; y < raw.bottom; ++y)
        for (int x = r1.left; x < r1.right; ++x)
            ink += p->Canvas().Pixel(x, y) == 0 ? 1 : 0; // the text in TABTOP's font colour, black
    EXPECT_GT(ink, 5);
    delete a;
}

TEST_F(ContainerAdapters, MoreTabsThanFitGiveTheScrollerASpinAdapterWithUpDownButtons)
{
    const HWND few = TabControl(0, 2);
    auto* a = CreateAdapter<TvxTabControlWnd>(few, nullptr, manager, "", false);
    Print(few);
    EXPECT_EQ(a->SpinWnd, nullptr);
    delete a;

    const HWND tab = TabControl(0, 12, 120, 80);
    const HWND scroller = FindWindowExA(tab, nullptr, UPDOWN_CLASSA, nullptr);
    ASSERT_NE(scroller, nullptr);
    a = CreateAdapter<TvxTabControlWnd>(tab, nullptr, manager, "", false);
    ASSERT_NE(a->SpinWnd, nullptr);
    EXPECT_EQ(GetAdapterOfWindow(scroller), a->SpinWnd.get());
    EXPECT_EQ(a->SpinWnd->SkinData->SkinSection(), "UPDOWNBTN");
    // Each paint attaches a new one; the last one serves.
    Print(tab);
    EXPECT_EQ(GetAdapterOfWindow(scroller), a->SpinWnd.get());
    delete a;
    EXPECT_EQ(GetAdapterOfWindow(scroller), nullptr);
}

TEST_F(ContainerAdapters, APageControlGivesItsChildWindowsPagesThatShowItsBackground)
{
    for (int round = 0; round < 3; ++round) {
        const HWND tab = TabControl(0, 2);
        const HWND pages[2] = {Page(tab), Page(tab)};
        auto* a = CreateAdapter<TvxPageControlWnd>(tab, nullptr, manager, "", false);
        // The pages of the rounds before went with their windows and were freed.
        EXPECT_EQ(PageAdapterList().size(), 2u);
        for (const HWND page : pages) {
            auto* adapter = dynamic_cast<TvxPageWnd*>(GetAdapterOfWindow(page));
            ASSERT_NE(adapter, nullptr);
            EXPECT_EQ(adapter->SkinData->SkinSection(), "CHECKBOX");
            EXPECT_EQ(SendSkinCommand(page, 27, 0), 0);
            TsBackgroundInfo info;
            SendSkinCommand(page, cmdGetBGInfo, reinterpret_cast<LPARAM>(&info));
            EXPECT_EQ(info.BgType, btFill);
            EXPECT_EQ(info.Color, ProbeColors("Probe", "PAGECONTROL").Color);
        }
        EXPECT_EQ(SendSkinCommand(tab, 27, 0), reinterpret_cast<LRESULT>(manager));
        Print(tab);
        auto p = Print(pages[0]);
        EXPECT_EQ(p->Canvas().Pixel(50, 30), ProbeColors("Probe", "PAGECONTROL").Color);
        delete a;
        DestroyWindow(tab);
    }
    FreePageAdapters();
    EXPECT_TRUE(PageAdapterList().empty());
}

TEST_F(ContainerAdapters, AHorizontalUpDownShowsTheHalfUnderTheMouseHotAndPressed)
{
    const HWND updown = Child(UPDOWN_CLASSA, UDS_HORZ, 50, 50, 40, 20);
    auto* a = CreateAdapter<TvxSpinWnd>(updown, nullptr, manager, "UPDOWNBTN", false);
    ASSERT_FALSE(a->IsVertical());
    auto paint = [&] {
        auto bmp = std::make_unique<TBitmap>(40, 20);
        SendMessageA(updown, WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas().Handle()), 0);
        return bmp;
    };
    auto expectHalves = [&](int left, int right, const char* when) {
        auto p = paint();
        EXPECT_EQ(p->Canvas().Pixel(10, 0), Piece("UPDOWNBTN", left, TopEdge)) << when;
        EXPECT_EQ(p->Canvas().Pixel(30, 0), Piece("UPDOWNBTN", right, TopEdge)) << when;
        EXPECT_EQ(p->Canvas().Pixel(10, 10), Glyph("SCROLLBTNLEFT", left)) << when;
        EXPECT_EQ(p->Canvas().Pixel(30, 10), Glyph("SCROLLBTNRIGHT", right)) << when;
    };
    SetCursorPos(0, 0);
    expectHalves(0, 0, "mouse outside");
    Hover(updown, POINT{30, 10});
    EXPECT_EQ(manager->ActiveControl(), updown);
    expectHalves(0, 1, "mouse over the right half");
    SendMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
    expectHalves(0, 2, "pressed");
    SendMessageA(updown, WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
    expectHalves(0, 1, "released");
    SetCursorPos(0, 0);
    SendMessageA(updown, WM_MOUSEMOVE, 0, MAKELPARAM(-200, -200));
    EXPECT_EQ(manager->ActiveControl(), nullptr);
    delete a;
}

TEST_F(ContainerAdapters, AStatusBarShowsADividerAtTheRightEdgeOfEveryPartButTheLast)
{
    for (const char* skin : {"Probe", "Colors"}) {
        SCOPED_TRACE(skin);
        if (std::string(skin) == "Colors") {
            delete manager;
            LoadProbeSkin(skin);
        }
        const HWND bar = Child(STATUSCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 200, 390, 24);
        const int parts[3] = {100, 200, -1};
        SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
        auto* a = CreateAdapter<TvxStatusBarWnd>(bar, nullptr, manager, "", false);
        EXPECT_EQ(a->SkinData->SkinSection(), "STATUSBAR");
        auto p = Print(bar);
        const int h = SizeOf(bar).cy;
        const bool probe = std::string(skin) == "Probe";
        const TColor barColor = probe ? ProbeColors("Probe", "STATUSBAR").Color : 13160660;
        for (int i = 0; i < 3; ++i) {
            RECT r{};
            SendMessageA(bar, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            const int right = r.right - 1, dividerLeft = right - 19; // the divider frame is 20 wide
            const bool divider = probe && i < 2;
            EXPECT_EQ(p->Canvas().Pixel(right - 10, h / 2), divider ? ProbeColors("Probe", "DIVIDER").Color : barColor)
                << "part " << i;
            if (divider) {
                EXPECT_EQ(p->Canvas().Pixel(dividerLeft, h / 2), Piece("DIVIDER", 0, LeftEdge));
            }
        }
        delete a;
        DestroyWindow(bar);
    }
}

TEST_F(ContainerAdapters, ACommonToolBarDrawsItsButtonsFromToolButtonByState)
{
    const HWND bar =
        Child(TOOLBARCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_FLAT, 10, 10, 300, 40);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    TBBUTTON buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = 100 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    SendMessageA(bar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(40, 30));
    auto* a = CreateAdapter<TvxToolBarWnd>(bar, nullptr, manager, "CHECKBOX", false);
    auto state = [&](int index) {
        RECT r{};
        SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        auto p = Print(bar);
        const COLORREF edge = p->Canvas().Pixel((r.left + r.right) / 2, r.top);
        for (int s = 0; s < 3; ++s)
            if (edge == static_cast<COLORREF>(Piece("TOOLBUTTON", s, TopEdge))) return s;
        return -1;
    };
    SetCursorPos(0, 0);
    EXPECT_EQ(state(0), 0);
    SendMessageA(bar, TB_PRESSBUTTON, 101, TRUE);
    EXPECT_EQ(state(1), 2);
    SendMessageA(bar, TB_PRESSBUTTON, 101, FALSE);
    RECT r2{};
    SendMessageA(bar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r2));
    POINT over{(r2.left + r2.right) / 2, (r2.top + r2.bottom) / 2};
    ClientToScreen(bar, &over);
    SetCursorPos(over.x, over.y);
    EXPECT_EQ(state(2), 1);
    EXPECT_EQ(state(1), 0);
    SetCursorPos(0, 0);
    delete a;
}

TEST_F(ContainerAdapters, TheHarnessToolBarShowsToolButtonStatesUntilTheSkinIsRemoved)
{
    auto* bar = new harness::TProbeToolBar(form);
    bar->SetBounds(10, 10, 200, 40);
    bar->SetParent(form);
    for (const char* caption : {"", "", ""})
        bar->AddButton(caption);
    auto* a = CreateAdapter<TvxToolBarVCLWnd>(bar->Handle(), nullptr, manager, "", false);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->HandlersInstalled());
    EXPECT_TRUE(HasMethodProp(bar, "OnCustomDraw") && GetMethodProp(bar, "OnCustomDraw").has_value());
    auto edgeOf = [&](int index) {
        auto p = Print(bar->Handle());
        TControl* b = bar->Controls(index);
        return p->Canvas().Pixel(b->Left() + b->Width() / 2, b->Top());
    };
    auto middleOf = [&](int index) {
        auto p = Print(bar->Handle());
        TControl* b = bar->Controls(index);
        return p->Canvas().Pixel(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
    };
    EXPECT_EQ(edgeOf(0), Piece("TOOLBUTTON", 0, TopEdge));
    Hover(bar->Handle(), POINT{4 + 44 + 20, 19});
    EXPECT_EQ(a->HotButton, 1);
    EXPECT_EQ(edgeOf(1), Piece("TOOLBUTTON", 1, TopEdge));
    EXPECT_EQ(edgeOf(0), Piece("TOOLBUTTON", 0, TopEdge));
    SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4 + 88 + 20, 19));
    EXPECT_EQ(edgeOf(2), Piece("TOOLBUTTON", 2, TopEdge));
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4 + 88 + 20, 19));
    static_cast<harness::TProbeToolButton*>(bar->Controls(0))->Down = true;
    EXPECT_EQ(edgeOf(0), Piece("TOOLBUTTON", 2, TopEdge));

    // Command 2 takes the two handlers away: the plain look comes back.
    SendSkinCommand(bar->Handle(), cmdRemoveSkin, reinterpret_cast<LPARAM>(manager));
    EXPECT_FALSE(a->HandlersInstalled());
    EXPECT_FALSE(GetMethodProp(bar, "OnCustomDraw").has_value());
    EXPECT_FALSE(GetMethodProp(bar, "OnCustomDrawButton").has_value());
    EXPECT_EQ(middleOf(1), static_cast<COLORREF>(harness::PlainButtonColor));
    auto p = Print(bar->Handle());
    EXPECT_EQ(p->Canvas().Pixel(1, 1), static_cast<COLORREF>(harness::PlainBarColor));
    delete a;

    // No such adapter for a window that is not a class-library tool bar.
    const HWND raw = Child(TOOLBARCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE, 10, 60, 200, 30);
    EXPECT_EQ(CreateAdapter<TvxToolBarVCLWnd>(raw, nullptr, manager, "", false), nullptr);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    EXPECT_EQ(CreateAdapter<TvxToolBarVCLWnd>(panel->Handle(), nullptr, manager, "", false), nullptr);
    EXPECT_EQ(GetAdapterOfWindow(raw), nullptr);
}

} // namespace
