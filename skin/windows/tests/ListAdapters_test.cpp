// The list-view, tree-view, grid and virtual-tree adapters with the probe skin: the list's
// colours and its header items by state, the sort arrow, thumb drags scrolled by whole items,
// an exception in the header's procedure, the tree's background, the harness grids' property
// table and data-grid thumb positions, the harness virtual tree's colours and header painter,
// and 1000 attach/detach cycles of every container and list adapter without handle growth.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/ExtCtrls.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sPropUtils.h"
#include "skin/windows/tests/ContainerHarness.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxGridWnd.h"
#include "skin/windows/vxListViewWnd.h"
#include "skin/windows/vxPanelWnd.h"
#include "skin/windows/vxScrollGeometry.h"
#include "skin/windows/vxSpinWnd.h"
#include "skin/windows/vxStatusBarWnd.h"
#include "skin/windows/vxTabWnd.h"
#include "skin/windows/vxToolBarWnd.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageHost.h"
#include "tests/support/MessageSpy.h"

namespace {

using skintest::ProbeColors;
using skintest::ProbeImage;
using skintest::ProbePiece;
using skintest::TProbeColors;

constexpr int TopEdge = 1;

COLORREF HeaderPiece(int state)
{
    return static_cast<COLORREF>(ProbePiece(ProbeImage("Probe", "COLHEADER", "BORDERSMASK"), state, TopEdge));
}

class ListAdapters : public TAdapterProbeTest {
protected:
    static void SetUpTestSuite()
    {
        TAdapterProbeTest::SetUpTestSuite();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&icc);
        harness::RegisterHarnessProperties();
    }
    void SetUp() override
    {
        LoadProbeSkin("Probe");
        form = NewForm(100, 100, 400, 300);
    }
    HWND Child(const char* cls, DWORD style, int x, int y, int w, int h, bool visible = true)
    {
        const HWND wnd = CreateWindowExA(0, cls, "", WS_CHILD | (visible ? WS_VISIBLE : 0) | style, x, y, w, h,
                                         form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return wnd;
    }
    // A list view of the style with two columns of 80 pixels and n items.
    HWND ListView(DWORD style, int items, int w = 300, int h = 200)
    {
        // Filled while hidden: each new item of a shown list is painted at once.
        const HWND list = Child(WC_LISTVIEWA, style | WS_BORDER, 10, 10, w, h, false);
        for (int c = 0; c < 2; ++c) {
            std::string text = c == 0 ? "A" : "B";
            LVCOLUMNA col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            col.cx = 80;
            col.pszText = text.data();
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
        }
        for (int i = 0; i < items; ++i) {
            std::string text = "Eintrag " + std::to_string(i);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = text.data();
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        ShowWindow(list, SW_SHOWNA);
        return list;
    }
    static void Paint(HWND wnd)
    {
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        MessageHost::Pump(20);
    }
    // The header as the adapter paints it, in a bitmap of its size.
    static std::unique_ptr<TBitmap> HeaderImage(TvxListViewWnd* a)
    {
        RECT r{};
        GetClientRect(a->HeaderWnd, &r);
        auto bmp = std::make_unique<TBitmap>(r.right, r.bottom);
        a->PaintHeader(bmp->Canvas().Handle());
        return bmp;
    }
    static RECT ItemRect(HWND header, int index)
    {
        RECT r{};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static int CountPixels(TBitmap& bmp, const RECT& r, COLORREF c)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += bmp.Canvas().Pixel(x, y) == c ? 1 : 0;
        return n;
    }
    // A thumb drag on a bar of the adapter's window by `by` pixels along the bar.
    static void DragThumb(TvxScrollWnd* a, int kind, int by)
    {
        RECT bar{};
        GetScrollRect(a, kind, a->CtrlHandle, bar);
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(a->CtrlHandle, kind, &si);
        const bool h = kind == SB_HORZ;
        const TThumb t = ThumbOf(TScrollNumbers{si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos},
                                 h ? bar.left : bar.top, h ? bar.right : bar.bottom, 16, 10);
        const POINT grab = h ? POINT{t.Start + t.Size / 2, (bar.top + bar.bottom) / 2}
                             : POINT{(bar.left + bar.right) / 2, t.Start + t.Size / 2};
        PostMessageA(a->CtrlHandle, WM_NCLBUTTONDOWN, h ? HTHSCROLL : HTVSCROLL, MAKELPARAM(grab.x, grab.y));
        for (const int step : {by / 2, by}) {
            POINT c = h ? POINT{grab.x + step, grab.y} : POINT{grab.x, grab.y + step};
            ScreenToClient(a->CtrlHandle, &c);
            PostMessageA(a->CtrlHandle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        }
        PostMessageA(a->CtrlHandle, WM_LBUTTONUP, 0, 0);
        MessageHost::Pump(100);
    }
    TForm* form = nullptr;
};

TEST_F(ListAdapters, AListViewTakesTheSectionsColoursAndInDialogModeTheWindows)
{
    const TProbeColors edit = ProbeColors("Probe", "EDIT");
    const HWND list = ListView(LVS_REPORT, 3);
    const LRESULT ownBack = SendMessageA(list, LVM_GETBKCOLOR, 0, 0),
                  ownText = SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0);
    auto* a = CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", true);
    EXPECT_EQ(a->SkinData->SkinSection(), "EDIT");
    EXPECT_NE(a->HeaderWnd, nullptr);
    Paint(list);
    EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), edit.Color);
    EXPECT_EQ(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0), edit.Color);
    EXPECT_EQ(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), edit.FontColor);
    delete a;
    // A raw list gets its own colours back.
    EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), ownBack);
    EXPECT_EQ(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), ownText);
    EXPECT_EQ(GetPropA(FindWindowExA(list, nullptr, WC_HEADERA, nullptr), "VXSBLVH"), nullptr);

    NextDlgMode = 1;
    a = CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", true);
    NextDlgMode = 0;
    Paint(list);
    EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(ColorToRGB(clWindow)));
    EXPECT_EQ(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(ColorToRGB(clWindowText)));
    delete a;
}

TEST_F(ListAdapters, HeaderItemsArePressedOrHotAndAPressOnADividerPressesNone)
{
    const HWND list = ListView(LVS_REPORT, 3);
    auto* a = CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", true);
    const HWND header = a->HeaderWnd;
    const RECT r0 = ItemRect(header, 0), r1 = ItemRect(header, 1);
    const int m0 = (r0.left + r0.right) / 2, m1 = (r1.left + r1.right) / 2, mid = (r0.top + r0.bottom) / 2;
    auto states = [&] {
        auto p = HeaderImage(a);
        std::vector<int> s;
        for (const int x : {m0, m1, static_cast<int>(r1.right) + 20}) {
            int found = -1;
            for (int state = 0; state < 3; ++state)
                if (p->Canvas().Pixel(x, 0) == HeaderPiece(state)) found = state;
            s.push_back(found);
        }
        return s;
    };
    EXPECT_EQ(states(), (std::vector<int>{0, 0, 0}));
    POINT screen{m0, mid};
    ClientToScreen(header, &screen);
    SendMessageA(header, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(a->HotItem, 0);
    EXPECT_EQ(states(), (std::vector<int>{1, 0, 0}));
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(m1, mid));
    EXPECT_EQ(a->PressedItem, 1);
    EXPECT_EQ(states(), (std::vector<int>{0, 2, 0}));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(m1, mid));
    EXPECT_EQ(a->PressedItem, -1);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r0.right, mid));
    EXPECT_EQ(a->PressedItem, -1);
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(r0.right, mid));
    // The mouse over the list's own area: no item is hot any more.
    SendMessageA(list, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y + 60));
    EXPECT_EQ(a->HotItem, -1);
    delete a;
}

TEST_F(ListAdapters, ASortArrowShowsTheScrollButtonsGlyph)
{
    const HWND list = ListView(LVS_REPORT, 3);
    auto* a = CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", true);
    const RECT r0 = ItemRect(a->HeaderWnd, 0);
    auto glyphPixels = [&](const char* section) {
        auto p = HeaderImage(a);
        return CountPixels(*p, r0, static_cast<COLORREF>(ProbePiece(ProbeImage("Probe", section, "GLYPHMASK"), 0, 4)));
    };
    auto sort = [&](int flag) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        item.fmt = HDF_LEFT | HDF_STRING | flag;
        SendMessageA(a->HeaderWnd, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    };
    constexpr int WholeGlyph = 12 * 12 - 4; // its corner pixels are transparent
    EXPECT_EQ(glyphPixels("SCROLLBTNBOTTOM"), 0);
    sort(HDF_SORTDOWN);
    EXPECT_EQ(glyphPixels("SCROLLBTNBOTTOM"), WholeGlyph);
    EXPECT_EQ(glyphPixels("SCROLLBTNTOP"), 0);
    sort(HDF_SORTUP);
    EXPECT_EQ(glyphPixels("SCROLLBTNTOP"), WholeGlyph);
    EXPECT_EQ(glyphPixels("SCROLLBTNBOTTOM"), 0);
    delete a;
}

TEST_F(ListAdapters, AThumbDragScrollsWholeItemsInTheListAndReportStyles)
{
    struct Row {
        DWORD style;
        int kind;
    };
    for (const Row row : {Row{LVS_LIST, SB_HORZ}, Row{LVS_REPORT, SB_VERT}}) {
        SCOPED_TRACE(row.style == LVS_LIST ? "list" : "report");
        const HWND list = ListView(row.style, 60, 300, 150);
        auto* a = CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", true);
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
        GetScrollInfo(list, row.kind, &si);
        const int start = si.nPos;
        RECT item{};
        item.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        const int unit = row.kind == SB_HORZ ? item.right - item.left : item.bottom - item.top;
        testrig::TMessageSpy spy(list,
                                 [](UINT msg) { return msg == LVM_SCROLL || msg == WM_HSCROLL || msg == WM_VSCROLL; });
        DragThumb(a, row.kind, 40);
        std::vector<int> expected, seen;
        int last = start;
        for (const auto& m : spy.Messages()) {
            if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && LOWORD(m.WParam) == SB_THUMBTRACK) {
                const int pos = m.LParam ? static_cast<int>(m.LParam) : HIWORD(m.WParam);
                expected.push_back((pos - last) * unit);
                last = pos;
            } else if (m.Msg == LVM_SCROLL) {
                seen.push_back(static_cast<int>(row.kind == SB_HORZ ? static_cast<int>(m.WParam) : m.LParam));
            }
        }
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(seen, expected);
        delete a;
        DestroyWindow(list);
    }
}

TEST_F(ListAdapters, AnExceptionInTheHeadersProcedureGoesToTheApplicationAndTheHookStays)
{
    const HWND list = ListView(LVS_REPORT, 1);
    const HWND header = FindWindowExA(list, nullptr, WC_HEADERA, nullptr);
    // Beneath the adapter's hook: a procedure that fails on one message.
    static WNDPROC headerClass = nullptr;
    headerClass = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            if (msg == WM_APP + 7) throw std::runtime_error("Kopfzeile kaputt");
            return CallWindowProcA(headerClass, w, msg, wp, lp);
        })));
    auto* a = CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", true);
    std::vector<std::string> shown;
    Application->OnException = [&](const std::exception& e) { shown.push_back(e.what()); };
    SendMessageA(header, WM_APP + 7, 0, 0);
    Application->OnException = nullptr;
    EXPECT_EQ(shown, (std::vector<std::string>{"Kopfzeile kaputt"}));
    EXPECT_EQ(a->HeaderWnd, header);
    EXPECT_EQ(GetPropA(header, "VXSBLVH"), a);
    delete a;
}

TEST_F(ListAdapters, ATreeViewTakesTheHotColourAndGetsTheWindowsColourBack)
{
    const HWND tree = Child(WC_TREEVIEWA, WS_BORDER, 10, 10, 200, 150);
    auto* a = CreateAdapter<TvxTreeViewWnd>(tree, nullptr, manager, "", true);
    Paint(tree);
    EXPECT_EQ(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0), ProbeColors("Probe", "EDIT").HotColor);
    {
        const TWindowDC dc(tree);
        EXPECT_EQ(GetPixel(dc.get(), 100, 100), static_cast<COLORREF>(ProbeColors("Probe", "EDIT").HotColor));
    }
    delete a;
    EXPECT_EQ(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(ColorToRGB(clWindow)));
    NextDlgMode = 1;
    a = CreateAdapter<TvxTreeViewWnd>(tree, nullptr, manager, "", true);
    NextDlgMode = 0;
    Paint(tree);
    EXPECT_EQ(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(ColorToRGB(clWindow)));
    delete a;
}

TEST_F(ListAdapters, TheGridsTakeTheTablesValuesAndGetTheirOwnBackOnRemoval)
{
    const TProbeColors global = ProbeColors("Probe", "GLOBALINFO"), edit = ProbeColors("Probe", "EDIT"),
                       item = ProbeColors("Probe", "MENUITEM");
    auto* plain = new harness::TProbeGrid(form);
    auto* look = new harness::TProbeLookGrid(form);
    struct Row {
        const char *object, *name;
        long long skinned; // the value the skin gives
        bool lookOnly;     // set only for a grid with "ControlLook"
    };
    const Row rows[] = {
        {"", "FixedColor", global.Color, false},
        {"TitleFont", "Color", global.FontColor, false},
        {"FixedFont", "Color", global.FontColor, true},
        {"", "GridFixedLineColor", global.Color, true},
        {"", "GridLineColor", BlendColors(global.HotColor, edit.HotFontColor, 0.7), true},
        {"ControlLook", "FixedGradientFrom", BlendColors(global.Color, global.HotColor, 0.5), true},
        {"ControlLook", "FixedGradientTo", global.Color, true},
        {"ControlLook", "FixedGradientMirrorFrom", BlendColors(global.Color, 0, 0.95), true},
        {"ControlLook", "FixedGradientMirrorTo", BlendColors(global.Color, 0xFFFFFF, 0.9), true},
        {"", "SelectionColor", item.HotColor, true},
        {"", "SelectionTextColor", item.HotFontColor, true},
        {"", "FooterColor", global.Color, false},
        {"", "FooterCellColor", global.Color, false},
        {"", "TitleColor", global.Color, false},
        {"", "IndicatorIconColor", edit.FontColor, false},
    };
    auto value = [](TControl* grid, const Row& r) {
        TObject* o = *r.object ? GetObjProp(grid, r.object) : grid;
        if (!o) return -2LL;
        if (auto* font = dynamic_cast<TFont*>(o)) return static_cast<long long>(font->Color());
        return GetIntProp(o, r.name);
    };
    for (TControl* grid : {static_cast<TControl*>(plain), static_cast<TControl*>(look)}) {
        const bool hasLook = grid == look;
        SCOPED_TRACE(hasLook ? "with ControlLook" : "without");
        grid->SetBounds(10, 10, 200, 150);
        grid->SetParent(form);
        std::vector<long long> own;
        for (const Row& r : rows)
            own.push_back(value(grid, r));
        TsCommonData link(grid, true);
        auto* a = CreateAdapter<TvxGridWnd>(static_cast<TWinControl*>(grid)->Handle(), &link, manager, "", true);
        Paint(static_cast<TWinControl*>(grid)->Handle());
        for (size_t i = 0; i < std::size(rows); ++i) {
            const Row& r = rows[i];
            const bool present = own[i] != -2 && own[i] != -1;
            const long long expected = !present ? own[i] : (hasLook || !r.lookOnly) ? r.skinned : own[i];
            EXPECT_EQ(value(grid, r), expected) << r.object << "." << r.name;
        }
        // Changed by the program meanwhile: left as the program set it.
        if (!hasLook) plain->GridLineColor = 0x0A0B0C;
        delete a;
        for (size_t i = 0; i < std::size(rows); ++i) {
            const Row& r = rows[i];
            long long expected = own[i];
            if (std::string(r.name) == "FixedGradientMirrorFrom" && hasLook) expected = clBtnFace; // "no colour"
            if (!hasLook && std::string(r.name) == "GridLineColor") expected = 0x0A0B0C;
            EXPECT_EQ(value(grid, r), expected) << "back: " << r.object << "." << r.name;
        }
    }
}

TEST_F(ListAdapters, AThumbDragOfAGridWithADataSourceSendsTheDataGridsPositions)
{
    for (const bool dataSource : {false, true}) {
        SCOPED_TRACE(dataSource ? "with DataSource" : "without");
        harness::TProbeGrid* grid = dataSource ? new harness::TProbeLookGrid(form) : new harness::TProbeGrid(form);
        grid->SetBounds(10, 10, 200, 150);
        grid->SetParent(form);
        TsCommonData link(grid, true);
        auto* a = CreateAdapter<TvxGridWnd>(grid->Handle(), &link, manager, "", true);
        DragThumb(a, SB_VERT, 40);
        ASSERT_GE(grid->Scrolls.size(), 3u);
        const int last = grid->Scrolls[grid->Scrolls.size() - (dataSource ? 4 : 3)].second;
        std::vector<std::pair<int, int>> tail(grid->Scrolls.end() - (dataSource ? 3 : 2), grid->Scrolls.end());
        const auto expected = dataSource
                                  ? std::vector<std::pair<int, int>>{{SB_THUMBPOSITION, last + 1},
                                                                     {SB_THUMBPOSITION, last + 1},
                                                                     {SB_ENDSCROLL, last + 1}}
                                  : std::vector<std::pair<int, int>>{{SB_THUMBPOSITION, last}, {SB_ENDSCROLL, last}};
        EXPECT_EQ(tail, expected);
        EXPECT_GT(last, 0);
        delete a;
        delete grid;
    }
}

TEST_F(ListAdapters, AVirtualTreeTakesTheSkinsColoursAndPaintsItsHeaderUntilRemoved)
{
    const TProbeColors global = ProbeColors("Probe", "GLOBALINFO"), edit = ProbeColors("Probe", "EDIT");
    auto* tree = new harness::TProbeVirtualTree(form);
    tree->SetBounds(10, 10, 200, 150);
    tree->SetParent(form);
    struct TOwn {
        TColor file, column, header, font;
        int style;
        std::vector<std::string> options;
    } const before{tree->VETColors.FileTextColor, tree->PaintInfoColumn.Color, tree->Header.Color,
                   tree->Header.Font.Color(),     tree->PaintInfoColumn.Style, tree->Header.Options};
    TsCommonData link(tree, true);
    auto* a = CreateAdapter<TvxVirtualTreeViewWnd>(tree->Handle(), &link, manager, "", true);
    Paint(tree->Handle());
    EXPECT_EQ(tree->VETColors.CompressedTextColor, edit.HotFontColor);
    EXPECT_EQ(tree->VETColors.FileTextColor, edit.HotFontColor);
    EXPECT_EQ(tree->VETColors.FolderTextColor, edit.HotFontColor);
    EXPECT_TRUE(tree->Header.Has("hoOwnerDraw"));
    EXPECT_TRUE(tree->OnAdvancedHeaderDraw && tree->OnHeaderDrawQueryElements);
    EXPECT_EQ(tree->PaintInfoColumn.Color, global.Color);
    EXPECT_EQ(tree->PaintInfoColumn.Style, 1);
    EXPECT_EQ(tree->Header.Color, global.HotColor);
    EXPECT_EQ(tree->Header.Font.Color(), global.FontColor);
    EXPECT_FALSE(tree->Themed);
    auto headerState = [&](int column) {
        Paint(tree->Handle());
        const TWindowDC dc(tree->Handle());
        const COLORREF c = GetPixel(dc.get(), 80 * column + 40, 0);
        for (int s = 0; s < 3; ++s)
            if (c == HeaderPiece(s)) return s;
        return -1;
    };
    EXPECT_EQ(headerState(0), 0);
    tree->DownColumn = 1;
    EXPECT_EQ(headerState(1), 2);
    delete a;
    EXPECT_EQ(tree->VETColors.FileTextColor, before.file);
    EXPECT_EQ(tree->Header.Options, before.options);
    EXPECT_FALSE(tree->OnAdvancedHeaderDraw || tree->OnHeaderDrawQueryElements);
    EXPECT_EQ(tree->PaintInfoColumn.Color, before.column);
    EXPECT_EQ(tree->PaintInfoColumn.Style, before.style);
    EXPECT_EQ(tree->Header.Color, before.header);
    EXPECT_EQ(tree->Header.Font.Color(), before.font);
    EXPECT_TRUE(tree->Themed);
    EXPECT_EQ(headerState(0), -1); // the plain header again

    // A tree that paints its header itself keeps its handler and its header options.
    int ownPaints = 0;
    tree->OnAdvancedHeaderDraw = [&](TObject*, TvxHeaderPaintInfo&, unsigned) { ++ownPaints; };
    a = CreateAdapter<TvxVirtualTreeViewWnd>(tree->Handle(), &link, manager, "", true);
    Paint(tree->Handle());
    EXPECT_EQ(tree->Header.Options, before.options);
    EXPECT_FALSE(tree->OnHeaderDrawQueryElements);
    tree->Header.Options.push_back("hoOwnerDraw");
    Paint(tree->Handle());
    EXPECT_GT(ownPaints, 0);
    delete a;
    EXPECT_TRUE(tree->OnAdvancedHeaderDraw);
}

TEST_F(ListAdapters, AttachingAndDetachingEveryAdapter1000TimesLeavesTheHandleCountsFlat)
{
    // Hidden windows: the frame is not computed again at each removal.
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->Hide();
    auto* bar = new harness::TProbeToolBar(form);
    bar->SetParent(form);
    bar->AddButton("A");
    bar->Hide();
    auto* grid = new harness::TProbeLookGrid(form);
    auto* gridEh = new harness::TProbeGrid(form);
    auto* tree = new harness::TProbeVirtualTree(form);
    for (TControl* c : {static_cast<TControl*>(grid), static_cast<TControl*>(gridEh), static_cast<TControl*>(tree)}) {
        c->SetParent(form);
        c->Hide();
    }
    TsCommonData panelLink(panel, true), gridLink(grid, true), gridEhLink(gridEh, true), treeLink(tree, true);
    // One window for each adapter (two adapters never share a window).
    const HWND tab = Child(WC_TABCONTROLA, 0, 0, 0, 100, 80, false);
    const HWND pages = Child(WC_TABCONTROLA, 0, 0, 0, 100, 80, false), page = Child("STATIC", 0, 0, 0, 10, 10, false);
    SetParent(page, pages);
    const HWND lonePage = Child("STATIC", 0, 0, 0, 10, 10, false);
    const HWND list = Child(WC_LISTVIEWA, LVS_REPORT, 0, 0, 100, 80, false);
    const HWND treeView = Child(WC_TREEVIEWA, 0, 0, 0, 100, 80, false);
    const HWND status = Child(STATUSCLASSNAMEA, CCS_NOPARENTALIGN, 0, 0, 100, 20, false);
    const HWND toolbar = Child(TOOLBARCLASSNAMEA, CCS_NOPARENTALIGN, 0, 0, 100, 30, false);
    const HWND updown = Child(UPDOWN_CLASSA, 0, 0, 0, 20, 30, false);
    const HWND dialogPanel = Child("STATIC", 0, 0, 0, 50, 50, false),
               subDialog = Child("STATIC", 0, 0, 0, 50, 50, false);
    auto cycle = [&] {
        std::vector<TvxMainWnd*> all = {
            CreateAdapter<TvxPanelWnd>(panel->Handle(), &panelLink, manager, "", false),
            CreateAdapter<TvxDlgPanelWnd>(dialogPanel, nullptr, manager, "", false),
            CreateAdapter<TvxTransPanelWnd>(subDialog, nullptr, manager, "CHECKBOX", false),
            CreateAdapter<TvxTabControlWnd>(tab, nullptr, manager, "", false),
            CreateAdapter<TvxPageControlWnd>(pages, nullptr, manager, "", false),
            CreateAdapter<TvxPageWnd>(lonePage, nullptr, manager, "CHECKBOX", false),
            CreateAdapter<TvxToolBarWnd>(toolbar, nullptr, manager, "CHECKBOX", false),
            CreateAdapter<TvxToolBarVCLWnd>(bar->Handle(), nullptr, manager, "", false),
            CreateAdapter<TvxStatusBarWnd>(status, nullptr, manager, "", false),
            CreateAdapter<TvxSpinWnd>(updown, nullptr, manager, "UPDOWNBTN", false),
            CreateAdapter<TvxListViewWnd>(list, nullptr, manager, "", false),
            CreateAdapter<TvxTreeViewWnd>(treeView, nullptr, manager, "", false),
            CreateAdapter<TvxGridWnd>(grid->Handle(), &gridLink, manager, "", false),
            CreateAdapter<TvxGridEhWnd>(gridEh->Handle(), &gridEhLink, manager, "", false),
            CreateAdapter<TvxVirtualTreeViewWnd>(tree->Handle(), &treeLink, manager, "", false),
        };
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            EXPECT_NE(*it, nullptr);
            delete *it;
        }
    };
    cycle(); // the first round makes what stays (the page control's page adapter, fonts)
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_EQ(THandleCount::Now(), before);
    EXPECT_LE(PageAdapterList().size(), 1u);
    FreePageAdapters();
}

} // namespace
