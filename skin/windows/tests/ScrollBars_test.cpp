// The skinned scroll bars and the scrollable adapters on a raw 100-item list box with the probe
// skin (scroll sections in plain colours): hit codes, the thumb's pixels, the arrow's auto-repeat,
// a thumb drag's scroll messages, the left scroll bar, swallowed clicks and foreign timers, the
// edit adapter's section, colours and Updating, the combo list's width and its foreign link.
// The bars are probed after the message pump (Wine draws its own bar inside SetScrollInfo).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/StdCtrls.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxEditWnd.h"
#include "skin/windows/vxSBUtils.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageHost.h"
#include "tests/support/MessageSpy.h"

namespace {

// The thumb's border image (its top and bottom rows) and the track sections' colours.
COLORREF SliderPiece(int piece)
{
    return static_cast<COLORREF>(
        skintest::ProbePiece(skintest::ProbeImage("Probe", "SCROLLSLIDERV", "BORDERSMASK"), 0, piece));
}
COLORREF TrackColor(const char* section)
{
    return static_cast<COLORREF>(skintest::ProbeColors("Probe", section).Color);
}

void Pump(DWORD ms) { MessageHost::Pump(ms); }

class ScrollBars : public TAdapterProbeTest {
protected:
    void SetUp() override
    {
        LoadProbeSkin("Probe");
        form = NewForm(100, 100, 300, 260);
    }
    // With hExtent the list is wider than the box: both bars.
    HWND NewList(DWORD exStyle = 0, int x = 10, int y = 10, int w = 150, int h = 200, int hExtent = 0)
    {
        const HWND list = CreateWindowExA(
            exStyle, "LISTBOX", "", WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
            x, y, w, h, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        for (int i = 0; i < 100; ++i)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Eintrag " + std::to_string(i)).c_str()));
        SendMessageA(list, LB_SETHORIZONTALEXTENT, hExtent, 0);
        ShowWindow(list, SW_SHOWNA);
        return list;
    }
    TvxEditWnd* Adapt(HWND list) { return CreateAdapter<TvxEditWnd>(list, nullptr, manager, "", true); }
    static RECT VBar(TvxEditWnd* a)
    {
        RECT r;
        GetVScrollRect(a, a->CtrlHandle, r);
        return r;
    }
    // The middle of the vertical bar's down arrow, on the screen.
    static POINT DownArrow(TvxEditWnd* a)
    {
        const RECT v = VBar(a);
        return POINT{(v.left + v.right) / 2, v.bottom - 8};
    }
    static COLORREF ScreenPixel(int x, int y)
    {
        const HDC dc = GetDC(nullptr);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(nullptr, dc);
        return c;
    }
    // The vertical bar's scroll information and the thumb the formula gives it (16-pixel arrows).
    static TThumb VThumb(TvxEditWnd* a, SCROLLINFO& si)
    {
        si = SCROLLINFO{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(a->CtrlHandle, SB_VERT, &si);
        const RECT v = VBar(a);
        return ThumbOf(TScrollNumbers{si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos}, v.top, v.bottom, 16, 10);
    }
    static LRESULT HitAt(HWND wnd, POINT p) { return SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); }
    static int Top(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0)); }
    TForm* form = nullptr;
};

} // namespace

TEST_F(ScrollBars, HitCodesFollowTheBarItsStateAndTheTopLevelCorner)
{
    const HWND list = NewList();
    TvxEditWnd* a = Adapt(list);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->SkinData->SkinSection(), "EDIT");
    ASSERT_TRUE(a->VertBar->Visible);
    const RECT v = VBar(a);
    EXPECT_EQ(v.right - v.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(HitAt(list, POINT{(v.left + v.right) / 2, (v.top + v.bottom) / 2}), HTVSCROLL);
    EnableScrollBar(list, SB_VERT, ESB_DISABLE_BOTH);
    EXPECT_EQ(HitAt(list, POINT{(v.left + v.right) / 2, (v.top + v.bottom) / 2}), 0);
    EnableScrollBar(list, SB_VERT, ESB_ENABLE_BOTH);

    // Both bars: the corner is the size grip only where it is the form's client corner.
    RECT c{};
    GetClientRect(form->Handle(), &c);
    // Its one-pixel border lies outside the form's client area, so its bars' corner is that corner.
    const HWND corner = NewList(0, c.right - 149, c.bottom - 199, 150, 200, 1000);
    TvxEditWnd* b = Adapt(corner);
    ASSERT_TRUE(b->HorzBar->Visible && b->VertBar->Visible);
    RECT h;
    GetHScrollRect(b, corner, h);
    const RECT bv = VBar(b);
    EXPECT_EQ(HitAt(corner, POINT{bv.left + 2, h.top + 2}), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(corner, POINT{h.left + 20, h.top + 2}), HTHSCROLL);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, 1000, 0);
    ASSERT_TRUE(a->HorzBar->Visible);
    GetHScrollRect(a, list, h);
    EXPECT_NE(HitAt(list, POINT{VBar(a).left + 2, h.top + 2}), HTBOTTOMRIGHT);
    delete b;
    delete a;
}

TEST_F(ScrollBars, TheThumbStandsWhereTheFormulaPutsItInTheSkinsColours)
{
    const HWND list = NewList();
    TvxEditWnd* a = Adapt(list);
    SendMessageA(list, LB_SETTOPINDEX, 40, 0);
    Pump(100);
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(list, SB_VERT, &si);
    const RECT v = VBar(a);
    const TThumb t =
        ThumbOf(TScrollNumbers{si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos}, v.top, v.bottom, 16, 10);
    ASSERT_GT(t.Size, 0);
    const int x = (v.left + v.right) / 2;
    EXPECT_EQ(ScreenPixel(x, t.Start), SliderPiece(1));
    EXPECT_EQ(ScreenPixel(x, t.Start + t.Size - 1), SliderPiece(7));
    EXPECT_EQ(ScreenPixel(x, t.Start - 1), TrackColor("SCROLLBAR1V"));
    EXPECT_EQ(ScreenPixel(x, t.Start + t.Size), TrackColor("SCROLLBAR2V"));
    // 2000 entries: the thumb keeps its 10 pixels.
    a->SkinData->Updating = true;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 100; i < 2000; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    a->SkinData->Updating = false;
    SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    Pump(100);
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    const int first = v.top + 16;
    EXPECT_EQ(ScreenPixel(x, first), SliderPiece(1));
    EXPECT_EQ(ScreenPixel(x, first + 9), SliderPiece(7));
    EXPECT_EQ(ScreenPixel(x, first + 10), TrackColor("SCROLLBAR2V"));
    delete a;
}

TEST_F(ScrollBars, HoldingTheDownArrowRepeatsUntilTheCursorLeavesIt)
{
    const HWND list = NewList();
    TvxEditWnd* a = Adapt(list);
    const POINT arrow = DownArrow(a);
    SetCursorPos(arrow.x, arrow.y);
    Pump(50);
    testrig::TMessageSpy timers(list, [](UINT msg) { return msg == WM_TIMER; });
    // One step at once, then one per repeat tick: the repeat starts after 300 ms and ticks every
    // 55 ms. A loaded machine delivers fewer ticks (the system merges late ones), never more.
    const DWORD start = GetTickCount();
    PostMessageA(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
    Pump(1000);
    const int held = Top(list);
    const int elapsed = static_cast<int>(GetTickCount() - start);
    int repeats = 0;
    for (const testrig::TSpiedMessage& m : timers.Messages())
        repeats += m.WParam == RepeatTimer;
    EXPECT_EQ(held, 1 + repeats);
    EXPECT_GE(repeats, 1);
    EXPECT_LE(repeats, (elapsed - 300) / 55 + 1) << elapsed << " ms";
    // Off the arrow: no more steps.
    SetCursorPos(arrow.x - 60, arrow.y - 60);
    POINT client{arrow.x - 60, arrow.y - 60};
    ScreenToClient(list, &client);
    PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    Pump(100);
    const int off = Top(list);
    Pump(300);
    EXPECT_EQ(Top(list), off);
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    Pump(50);
    EXPECT_EQ(GetCapture(), nullptr);
    delete a;
}

TEST_F(ScrollBars, AThumbDragTracksOnlyChangesThenEndsWithTheLastPosition)
{
    const HWND list = NewList();
    testrig::TMessageSpy spy(list,
                             [](UINT msg) { return msg == WM_VSCROLL || msg == WM_NCRBUTTONDOWN || msg == WM_TIMER; });
    TvxEditWnd* a = Adapt(list);
    const RECT v = VBar(a);
    SCROLLINFO si;
    const TThumb t = VThumb(a, si);
    const POINT grab{(v.left + v.right) / 2, t.Start + t.Size / 2};
    PostMessageA(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(grab.x, grab.y));
    for (int dy : {0, 1, 40, 40, 80}) {
        POINT c{grab.x, grab.y + dy};
        ScreenToClient(list, &c);
        PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    }
    PostMessageA(list, WM_LBUTTONUP, 0, 0);
    Pump(100);
    std::vector<std::pair<int, int>> seen;
    for (const auto& m : spy.Messages())
        if (m.Msg == WM_VSCROLL) seen.emplace_back(LOWORD(m.WParam), HIWORD(m.WParam));
    const int track = v.bottom - v.top - 32;
    const int at40 = DraggedPosition({si.nMin, si.nMax, static_cast<int>(si.nPage), 0}, 40, track, t.Size);
    const int at80 = DraggedPosition({si.nMin, si.nMax, static_cast<int>(si.nPage), 0}, 80, track, t.Size);
    const int at1 = DraggedPosition({si.nMin, si.nMax, static_cast<int>(si.nPage), 0}, 1, track, t.Size);
    std::vector<std::pair<int, int>> expected;
    if (at1 != 0) expected.emplace_back(SB_THUMBTRACK, at1);
    expected.insert(expected.end(),
                    {{SB_THUMBTRACK, at40}, {SB_THUMBTRACK, at80}, {SB_THUMBPOSITION, at80}, {SB_ENDSCROLL, at80}});
    EXPECT_EQ(seen, expected);

    // Right and middle clicks on a bar go nowhere; a timer the adapter did not start passes on.
    spy.Clear();
    SendMessageA(list, WM_NCRBUTTONDOWN, HTVSCROLL, MAKELPARAM(grab.x, grab.y));
    SendMessageA(list, WM_TIMER, 77, 0);
    EXPECT_EQ(spy.Count(WM_NCRBUTTONDOWN), 0);
    ASSERT_EQ(spy.Count(WM_TIMER), 1);
    EXPECT_EQ(spy.Last(WM_TIMER)->WParam, 77u);
    delete a;
}

TEST_F(ScrollBars, TheArrowUnderTheCursorIsHotUntilTheCursorLeavesTheBar)
{
    const HWND list = NewList();
    TvxEditWnd* a = Adapt(list);
    const POINT arrow = DownArrow(a);
    const auto glyph = skintest::ProbeImage("Probe", "SCROLLBTNBOTTOM", "GLYPHMASK");
    auto arrowPixel = [&] { return ScreenPixel(arrow.x, arrow.y); };
    Pump(50);
    EXPECT_EQ(arrowPixel(), static_cast<COLORREF>(skintest::ProbePiece(glyph, 0, 4)));
    SetCursorPos(arrow.x, arrow.y);
    SendMessageA(list, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
    Pump(100);
    EXPECT_EQ(arrowPixel(), static_cast<COLORREF>(skintest::ProbePiece(glyph, 1, 4)));
    SetCursorPos(arrow.x - 80, arrow.y);
    Pump(100);
    EXPECT_EQ(arrowPixel(), static_cast<COLORREF>(skintest::ProbePiece(glyph, 0, 4)));
    delete a;
}

TEST_F(ScrollBars, ALeftScrollBarAndItsCornerMoveWithTheExtendedStyle)
{
    const HWND list = NewList(WS_EX_LEFTSCROLLBAR);
    TvxEditWnd* a = Adapt(list);
    RECT w;
    GetWindowRect(list, &w);
    EXPECT_TRUE(a->LeftScrollBar);
    EXPECT_EQ(VBar(a).left, w.left + a->BorderLeft);
    EXPECT_EQ(HitAt(list, POINT{w.left + a->BorderLeft + 2, w.top + 40}), HTVSCROLL);
    SetWindowLongPtrA(list, GWL_EXSTYLE, GetWindowLongPtrA(list, GWL_EXSTYLE) & ~WS_EX_LEFTSCROLLBAR);
    SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_FALSE(a->LeftScrollBar);
    EXPECT_EQ(VBar(a).right, w.right - a->BorderRight);
    EXPECT_EQ(HitAt(list, POINT{w.right - a->BorderRight - 2, w.top + 40}), HTVSCROLL);
    delete a;
}

TEST_F(ScrollBars, AnEditAdapterPaintsNothingWhileUpdatingAndRefreshesItsBarsOnChanges)
{
    const HWND list = NewList();
    TvxEditWnd* a = Adapt(list);
    testrig::TMessageSpy spy(list, [](UINT msg) { return msg == WM_PAINT; });
    Pump(50);
    a->SkinData->Updating = true;
    InvalidateRect(list, nullptr, TRUE);
    spy.Clear();
    UpdateWindow(list);
    EXPECT_EQ(spy.Count(WM_PAINT), 1); // seen above the adapter, not passed on
    RECT upd;
    EXPECT_FALSE(GetUpdateRect(list, &upd, FALSE));
    a->SkinData->Updating = false;

    // Adding entries reads the scroll information again.
    const int before = a->VertBar->ScrollInfo.nMax;
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("neu"));
    EXPECT_EQ(a->VertBar->ScrollInfo.nMax, before + 1);
    SendMessageA(list, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(a->VertBar->ScrollInfo.nPos, Top(list));
    delete a;
}

TEST_F(ScrollBars, TheSkinsColoursComeAtTheFirstPaintAndGoBackOnRemoval)
{
    auto* edit = new TMemo(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 80);
    edit->SetColor(clYellow);
    edit->Font().SetColor(clRed);
    TsCommonData link(edit, true);
    TvxScrollWnd* a = CreateAdapter<TvxEditWnd>(edit->Handle(), &link, nullptr, "", true);
    EXPECT_EQ(link.SkinSection(), "EDIT");
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    const TsGeneralData& g = manager->GeneralData[static_cast<size_t>(link.SkinIndex)];
    EXPECT_EQ(edit->Font().Color(), g.HotFontColor[1]);
    EXPECT_NE(edit->Color(), clYellow);
    RemoveAdapter(edit->Handle(), true, false, a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(edit->Color(), clYellow);
    EXPECT_EQ(edit->Font().Color(), clRed);
}

TEST_F(ScrollBars, AComboListIsMadeOnePixelWiderAndLeavesAForeignLinkAlive)
{
    const HWND list = NewList();
    RECT before;
    GetWindowRect(list, &before);
    auto* link = new TsCommonData(nullptr, true);
    TvxComboListWnd* c = TvxComboListWnd::CreateEx(list, false, true, "EDIT", manager, link);
    RECT after;
    GetWindowRect(list, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left + 1);
    delete c;
    link->BGChanged = true; // still alive (a freed link would trip the sanitizer-free heap checks)
    EXPECT_EQ(link->SkinSection(), "EDIT");
    delete link;
    // A simple-style list keeps its width; its own link goes with it.
    TvxComboListWnd* s = TvxComboListWnd::CreateEx(list, true, true, "EDIT", manager, nullptr);
    GetWindowRect(list, &before);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    delete s;
}

TEST_F(ScrollBars, ADropDownListHitTestsClicksItselfAndKeepsTheCaptureWhenADragEndsOffTheBar)
{
    const HWND list = NewList();
    testrig::TMessageSpy spy(
        list, [](UINT msg) { return msg == WM_VSCROLL || msg == WM_LBUTTONUP || msg == WM_NCLBUTTONDOWN; });
    TvxComboListWnd* c = TvxComboListWnd::CreateEx(list, false, true, "EDIT", manager, nullptr);
    const RECT v = VBar(c);
    SCROLLINFO si;
    const TThumb t = VThumb(c, si);
    // An open list has the capture: the click comes as HTCLIENT and is tested again.
    const POINT grab{(v.left + v.right) / 2, t.Start + t.Size / 2};
    PostMessageA(list, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(grab.x, grab.y));
    POINT c40{grab.x, grab.y + 40};
    ScreenToClient(list, &c40);
    PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c40.x, c40.y));
    // Let go over the entries, not on the bar.
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(5, c40.y));
    Pump(100);
    const int at40 =
        DraggedPosition({si.nMin, si.nMax, static_cast<int>(si.nPage), 0}, 40, v.bottom - v.top - 32, t.Size);
    ASSERT_GE(spy.Count(WM_VSCROLL), 2);
    const auto& last = spy.Messages().back();
    EXPECT_EQ(last.Msg, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(LOWORD(last.WParam), SB_ENDSCROLL);
    EXPECT_EQ(static_cast<int>(HIWORD(last.WParam)), at40);
    EXPECT_EQ(Top(list), at40);
    EXPECT_EQ(GetCapture(), list);
    EXPECT_EQ(spy.Count(WM_LBUTTONUP), 0);
    EXPECT_EQ(spy.Count(WM_NCLBUTTONDOWN), 0);

    // A button-up over the entries without a press on a bar is the list's own; the capture goes.
    spy.Clear();
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(spy.Count(WM_LBUTTONUP), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    // A bar code for a point over the entries is tested again and swallowed.
    SendMessageA(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(v.left - 20, v.top + 20));
    EXPECT_EQ(spy.Count(WM_NCLBUTTONDOWN), 0);
    EXPECT_EQ(spy.Count(WM_VSCROLL), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    delete c;
}

TEST_F(ScrollBars, ADropDownListsFrameLetsTheParentShowThroughAndFollowsItsTracking)
{
    // A client edge: the list's own frame is not a plain black line.
    const HWND list = NewList(WS_EX_CLIENTEDGE);
    TvxComboListWnd* c = TvxComboListWnd::CreateEx(list, false, true, "EDIT", manager, nullptr);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    Pump(50);
    RECT wr;
    GetWindowRect(list, &wr);
    ASSERT_GE(c->BorderLeft, 2);
    const auto border = skintest::ProbeImage("Probe", "EDIT", "BORDERSMASK");
    // The corner's transparent pixels (a staircase of 3, 2, 1) show the form's background as the
    // form gives it, the rest is the border image.
    TsBackgroundInfo bg;
    GetParentBackgroundByHandle(bg, form->Handle(), false);
    ASSERT_EQ(bg.BgType, btFill);
    const COLORREF under = ColorToRGB(bg.Color);
    EXPECT_EQ(ScreenPixel(wr.left + 2, wr.top), under);
    EXPECT_EQ(ScreenPixel(wr.left, wr.top + 2), under);
    EXPECT_EQ(ScreenPixel(wr.left + 2, wr.top + 1), static_cast<COLORREF>(skintest::ProbePiece(border, 0, 0)));
    EXPECT_EQ(ScreenPixel(wr.left + 8, wr.top), static_cast<COLORREF>(skintest::ProbePiece(border, 0, 1)));
    EXPECT_EQ(ScreenPixel(wr.left, wr.top + 30), static_cast<COLORREF>(skintest::ProbePiece(border, 0, 3)));

    // WM_PRINT: frame and bars over what the list prints, the frame only while it does not track.
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, bmp);
    auto print = [&] {
        PatBlt(dc, 0, 0, w, h, WHITENESS);
        SendMessageA(list, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT);
    };
    const RECT v = VBar(c);
    const POINT arrow{(v.left + v.right) / 2 - wr.left, v.bottom - 8 - wr.top};
    const COLORREF arrowGlyph = static_cast<COLORREF>(
        skintest::ProbePiece(skintest::ProbeImage("Probe", "SCROLLBTNBOTTOM", "GLYPHMASK"), 0, 4));
    // The printed frame is the prepared cache: outlined with FramePenColor, filled with EditColor.
    const COLORREF pen = ColorToRGB(c->FramePenColor), fill = ColorToRGB(skintest::ProbeColors("Probe", "EDIT").Color);
    SendMessageA(list, 0x1AE, 0, 0);
    EXPECT_TRUE(c->ListTracking);
    print();
    EXPECT_NE(GetPixel(dc, 8, 1), fill);
    EXPECT_EQ(GetPixel(dc, arrow.x, arrow.y), arrowGlyph);
    SendMessageA(list, 0x1AF, 0, 0);
    EXPECT_FALSE(c->ListTracking);
    print();
    EXPECT_EQ(GetPixel(dc, 8, 0), pen);
    EXPECT_EQ(GetPixel(dc, 8, 1), fill);
    EXPECT_EQ(GetPixel(dc, arrow.x, arrow.y), arrowGlyph);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);

    // A move reads the scroll information again.
    SetScrollRange(list, SB_VERT, 0, 500, FALSE);
    SetWindowPos(list, nullptr, 12, 12, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(c->VertBar->ScrollInfo.nMax, 500);
    delete c;
}

TEST_F(ScrollBars, ASimpleStyleListShowsItsComboBoxsBackgroundAroundItself)
{
    const HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_SIMPLE | WS_VSCROLL, 10, 10, 150,
                                       200, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < 30; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Eintrag"));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    TvxComboListWnd* c = TvxComboListWnd::CreateEx(info.hwndList, true, true, "EDIT", manager, nullptr);
    RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE);
    Pump(50);
    RECT cr, lr, er;
    GetWindowRect(combo, &cr);
    GetWindowRect(info.hwndList, &lr);
    GetWindowRect(info.hwndItem, &er);
    // The combo box answers with its background; it shows between the edit and the list, and
    // below the list.
    TsBackgroundInfo bg;
    GetParentBackgroundByHandle(bg, combo, false);
    ASSERT_EQ(bg.BgType, btFill);
    const int x = (cr.left + cr.right) / 2;
    ASSERT_LT(er.bottom, lr.top);
    ASSERT_LT(lr.bottom + 2, cr.bottom);
    EXPECT_EQ(ScreenPixel(x, lr.top - 1), ColorToRGB(bg.Color));
    EXPECT_EQ(ScreenPixel(x, lr.bottom + 1), ColorToRGB(bg.Color));
    EXPECT_EQ(ScreenPixel(x, cr.bottom - 1), ColorToRGB(bg.Color));
    delete c;
    DestroyWindow(combo);
}

TEST_F(ScrollBars, AttachDetachAndListCyclesLeaveHandleCountsFlat)
{
    // On screen: the bars and the frame painted through WM_NCPAINT into the window DC.
    auto shown = [&] {
        const HWND list = NewList(0, 10, 10, 150, 200, 1000);
        TvxEditWnd* a = Adapt(list);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        delete a;
        DestroyWindow(list);
    };
    // Never shown (a fifth of the cost under Wine): cache, frame, bars and entries printed.
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bmp = CreateBitmap(160, 210, 1, 32, nullptr);
    const HGDIOBJ old = SelectObject(dc, bmp);
    auto printed = [&] {
        const HWND list =
            CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT, 10,
                            10, 150, 200, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < 100; ++i)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Eintrag"));
        SendMessageA(list, LB_SETHORIZONTALEXTENT, 1000, 0);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        TvxEditWnd* a = Adapt(list);
        const bool bothBars = a->HorzBar->Visible && a->VertBar->Visible;
        SendMessageA(list, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT);
        delete a;
        DestroyWindow(list);
        return bothBars;
    };
    shown();
    ASSERT_TRUE(printed());
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 50; ++i)
        shown();
    for (int i = 0; i < 1000; ++i)
        printed();
    EXPECT_EQ(THandleCount::Now(), before);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}
