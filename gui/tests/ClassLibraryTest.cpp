// What the skinning code relies on in the class library: the notification numbers and when
// each is sent, mouse enter and leave of windows and graphic children, reflected keys, labels
// and gauges without windows, the WindowProc hook chain, the screen's forms, PaintTo,
// RecreateWnd and the form's own properties.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <thread>

#include "gui/Automation.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "tests/support/MessageSpy.h"

namespace {

TEST(Messages, NotificationNumbersAreTheAgreedOnesAndDistinct)
{
    const std::pair<UINT, UINT> numbers[] = {{CM_ACTIVATE, 45056},
                                             {CM_CANCELMODE, 45060},
                                             {CM_DIALOGCHAR, 45062},
                                             {CM_FOCUSCHANGED, 45063},
                                             {CM_VISIBLECHANGED, 45067},
                                             {CM_ENABLEDCHANGED, 45068},
                                             {CM_COLORCHANGED, 45069},
                                             {CM_FONTCHANGED, 45070},
                                             {CM_CTL3DCHANGED, 45072},
                                             {CM_TEXTCHANGED, 45074},
                                             {CM_MOUSEENTER, 45075},
                                             {CM_MOUSELEAVE, 45076},
                                             {CM_MENUCHANGED, 45077},
                                             {CM_SHOWINGCHANGED, 45081},
                                             {CM_ENTER, 45082},
                                             {CM_EXIT, 45083},
                                             {CM_UIACTIVATE, 45097},
                                             {CM_CONTROLLISTCHANGE, 45100},
                                             {CM_INVALIDATE, 45108},
                                             {CM_CHANGED, 45111},
                                             {CM_FLOAT, 45114},
                                             {CM_BIDIMODECHANGED, 45116},
                                             {CM_ACTIONUPDATE, 45119},
                                             {CM_MOUSEWHEEL, 45123},
                                             {CN_KEYDOWN, 48384},
                                             {CN_KEYUP, 48385},
                                             {CN_CHAR, 48386},
                                             {CN_SYSKEYDOWN, 48388},
                                             {CN_SYSCHAR, 48390},
                                             {CN_COMMAND, 48401},
                                             {CN_DRAWITEM, 48171},
                                             {CN_MEASUREITEM, 48172},
                                             {TM_MENUITEMQUERY, 0x8001},
                                             {TM_CONTROLQUERY, 0x8002},
                                             {SM_VELOCONCMD_NUMBER, 0xA100}};
    std::set<UINT> seen;
    for (const auto& [value, expected] : numbers) {
        EXPECT_EQ(value, expected);
        EXPECT_TRUE(seen.insert(value).second) << value << " named twice";
    }
}

// Counts the messages a control's dispatch sees (the shared spy on its WindowProc).
class TSpy : public testrig::TMessageSpy {
public:
    using TMessageSpy::TMessageSpy;
    int operator[](UINT msg) const { return Count(msg); }
    LPARAM LastListChange() const { return Last(CM_CONTROLLISTCHANGE) ? Last(CM_CONTROLLISTCHANGE)->LParam : -1; }
};

// Handles messages until the condition holds (true) or two seconds passed (false).
template <class F> bool PumpUntil(F condition, DWORD ms = 2000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > ms) return false;
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void Pump(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

// Moves the real pointer to a screen point, as the user's mouse does.
void MoveMouse(POINT p)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (p.x * 65536 + w - 1) / w;
    in.mi.dy = (p.y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

// A shown form with a panel (an edit and two labels on it), an edit and a button beside it.
class ClassLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
        form = new TForm(Application);
        form->InitializeForm();
        form->SetBounds(60, 60, 420, 300);
        panel = Make<TPanel>(form, 10, 10, 250, 120);
        panel->SetCaption("");
        inner = Make<TEdit>(panel, 10, 10, 120, 22);
        label1 = Make<TLabel>(panel, 10, 60, 60, 20);
        label2 = Make<TLabel>(panel, 80, 60, 60, 20);
        for (TLabel* l : {label1, label2}) {
            l->SetAutoSize(false);
            l->SetCaption("WWWW");
        }
        outer = Make<TEdit>(form, 280, 10, 120, 22);
        button = Make<TButton>(form, 280, 60, 100, 25);
        form->Show();
        SetForegroundWindow(form->Handle());
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        form->Free();
        Application->ProcessMessages();
        Application->OnException = nullptr;
        EXPECT_TRUE(errors.empty());
    }
    template <class T> T* Make(TWinControl* parent, int x, int y, int w, int h)
    {
        auto* c = new T(form);
        c->SetParent(parent);
        c->SetBounds(x, y, w, h);
        return c;
    }
    POINT OnScreen(TControl* c, int x, int y) { return c->ClientToScreen(POINT{x, y}); }
    // The pixels of the form's window inside a control's rectangle with exactly this colour.
    // They are read from the form's own DC, which holds what it painted: the screen shows it
    // only once the window's surface is flushed, and a window of a test program beside this one
    // may lie over it.
    int PixelsOf(TControl* c, COLORREF colour)
    {
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = GetDC(form->Handle());
        POINT at = OnScreen(c, 0, 0);
        ScreenToClient(form->Handle(), &at);
        int n = 0;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x)
                n += GetPixel(dc, at.x + x, at.y + y) == colour;
        ReleaseDC(form->Handle(), dc);
        return n;
    }

    TForm* form = nullptr;
    TPanel* panel = nullptr;
    TEdit *inner = nullptr, *outer = nullptr;
    TLabel *label1 = nullptr, *label2 = nullptr;
    TButton* button = nullptr;
    std::vector<std::string> errors;
};

TEST_F(ClassLibrary, EachNotificationArrivesOncePerChange)
{
    TSpy e(inner), p(panel), l(label1), o(outer), b(button);
    inner->SetColor(clYellow);
    inner->SetColor(clYellow);
    panel->Font().SetSize(12); // the label and the edit take the panel's font
    inner->SetText("neu");
    inner->SetText("neu");
    label1->SetCaption("&Name");
    label1->SetCaption("&Name");
    EXPECT_EQ(e[CM_COLORCHANGED], 1);
    EXPECT_EQ(p[CM_FONTCHANGED], 1);
    EXPECT_EQ(l[CM_FONTCHANGED], 1);
    EXPECT_EQ(e[CM_FONTCHANGED], 1);
    EXPECT_EQ(e[CM_TEXTCHANGED], 1);
    EXPECT_EQ(l[CM_TEXTCHANGED], 1);
    // The wheel over a window, an invalidation, a value that changed.
    const int invalidated = e[CM_INVALIDATE]; // the colour and the font invalidated it too
    SendMessageA(inner->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    inner->Invalidate();
    EXPECT_EQ(e[CM_MOUSEWHEEL], 1);
    EXPECT_EQ(e[CM_INVALIDATE], invalidated + 1);
    EXPECT_EQ(e[CM_CHANGED], 1); // the text set above

    // Showing: the panel and the edit in it, not the label (no window).
    panel->Hide();
    panel->Show();
    EXPECT_EQ(p[CM_SHOWINGCHANGED], 2);
    EXPECT_EQ(e[CM_SHOWINGCHANGED], 2);
    EXPECT_EQ(l[CM_SHOWINGCHANGED], 0);

    // Focus: into the panel's edit, then out to the edit beside the panel.
    inner->SetFocus();
    outer->SetFocus();
    EXPECT_EQ(e[CM_ENTER], 1);
    EXPECT_EQ(p[CM_ENTER], 1);
    EXPECT_EQ(e[CM_EXIT], 1);
    EXPECT_EQ(p[CM_EXIT], 1);
    EXPECT_EQ(e[CM_CANCELMODE], 1);
    EXPECT_EQ(o[CM_ENTER], 1);
    EXPECT_EQ(o[CM_EXIT], 0);
    EXPECT_EQ(o[CM_UIACTIVATE], 1);
    EXPECT_EQ(l[CM_FOCUSCHANGED], 2);

    // Alt + the label's accelerator: the label is offered the character and focuses its edit.
    label1->SetFocusControl(inner);
    button->SetFocus();
    PostMessageA(button->Handle(), WM_SYSCHAR, 'n', 0);
    Application->ProcessMessages();
    EXPECT_EQ(l[CM_DIALOGCHAR], 1);
    EXPECT_TRUE(inner->Focused());

    // A child inserted and removed; the form above the panel hears of it too.
    TSpy f(form);
    auto* shape = new TShape(form);
    shape->SetParent(panel);
    EXPECT_EQ(p[CM_CONTROLLISTCHANGE], 1);
    EXPECT_EQ(p.LastListChange(), 1);
    EXPECT_EQ(f[CM_CONTROLLISTCHANGE], 1);
    EXPECT_EQ(f.Last(CM_CONTROLLISTCHANGE)->WParam, reinterpret_cast<WPARAM>(shape));
    shape->SetParent(nullptr);
    EXPECT_EQ(p[CM_CONTROLLISTCHANGE], 2);
    EXPECT_EQ(p.LastListChange(), 0);
    EXPECT_EQ(f[CM_CONTROLLISTCHANGE], 2);
    // From another thread it carries no control of this one: answered 0, never seen.
    LRESULT answer = 1;
    bool done = false;
    std::thread other([&] {
        answer = SendMessageA(panel->Handle(), CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(shape), 1);
        done = true;
    });
    PumpUntil([&] { return done; });
    other.join();
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(p[CM_CONTROLLISTCHANGE], 2);
    shape->Free();
}

TEST_F(ClassLibrary, TheHoverEndsOnlyWhenThePointerLeavesTheWindow)
{
    auto* memo = Make<TMemo>(form, 280, 100, 120, 120);
    memo->SetProperty("ScrollBars", TPropValue::OfIdent("ssVertical"));
    memo->RecreateWnd(); // the scroll bar comes with a new window
    Application->ProcessMessages();
    TSpy m(memo), l1(label1), l2(label2);
    MoveMouse(OnScreen(memo, 30, 30));
    ASSERT_TRUE(PumpUntil([&] { return m[CM_MOUSEENTER] == 1; }));
    // Onto its own scroll bar (right of the client area): still inside.
    RECT window;
    GetWindowRect(memo->Handle(), &window);
    MoveMouse(POINT{window.right - 8, window.top + 60});
    Pump(700);
    EXPECT_EQ(m[CM_MOUSELEAVE], 0);
    EXPECT_EQ(m[CM_MOUSEENTER], 1);
    // Onto the first label, then the second: the panel hands enter and leave on in turn.
    MoveMouse(OnScreen(label1, 20, 10));
    EXPECT_TRUE(PumpUntil([&] { return m[CM_MOUSELEAVE] == 1 && l1[CM_MOUSEENTER] == 1; }));
    MoveMouse(OnScreen(label2, 20, 10));
    EXPECT_TRUE(PumpUntil([&] { return l2[CM_MOUSEENTER] == 1; }));
    EXPECT_EQ(l1[CM_MOUSELEAVE], 1);
    MoveMouse(OnScreen(form, 200, 250));
    EXPECT_TRUE(PumpUntil([&] { return l2[CM_MOUSELEAVE] == 1; }));
    EXPECT_EQ(m[CM_MOUSELEAVE], 1);
    EXPECT_EQ(l1[CM_MOUSEENTER], 1);
}

TEST_F(ClassLibrary, AKeyReachesTheFocusedControlFirstAsAReflectedKey)
{
    std::vector<UINT> order;
    bool swallow = false;
    inner->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == CN_KEYDOWN || m.Msg == WM_KEYDOWN || m.Msg == CN_CHAR) order.push_back(m.Msg);
        if (swallow && (m.Msg == CN_KEYDOWN || m.Msg == CN_CHAR)) {
            m.Result = 1;
            return;
        }
        inherited(m);
    });
    inner->SetFocus();
    PostMessageA(inner->Handle(), WM_KEYDOWN, VK_HOME, 0);
    PostMessageA(inner->Handle(), WM_CHAR, 'x', 0);
    Application->ProcessMessages();
    EXPECT_EQ(order, (std::vector<UINT>{CN_KEYDOWN, WM_KEYDOWN, CN_CHAR}));
    EXPECT_EQ(inner->Text(), "x");
    swallow = true;
    order.clear();
    PostMessageA(inner->Handle(), WM_KEYDOWN, VK_HOME, 0);
    PostMessageA(inner->Handle(), WM_CHAR, 'y', 0);
    Application->ProcessMessages();
    EXPECT_EQ(order, (std::vector<UINT>{CN_KEYDOWN, CN_CHAR}));
    EXPECT_EQ(inner->Text(), "x");
}

TEST_F(ClassLibrary, LabelsAndGaugesHaveNoWindowAndPaintOnTheirParent)
{
    auto* group = Make<TGroupBox>(form, 10, 140, 250, 100);
    auto* grouped = Make<TLabel>(group, 20, 30, 80, 20);
    auto* gauge = Make<TGauge>(form, 280, 140, 100, 30);
    for (TLabel* l : {label1, grouped}) {
        l->Font().SetColor(clRed);
        l->SetCaption("WWWW");
    }
    gauge->SetForeColor(clBlue);
    gauge->SetShowText(false);
    gauge->SetProgress(40);
    label1->SetName("Label1");
    for (TControl* c : {static_cast<TControl*>(label1), static_cast<TControl*>(grouped), static_cast<TControl*>(gauge)})
        EXPECT_EQ(dynamic_cast<TWinControl*>(c), nullptr);
    EXPECT_EQ(FindControlWindow(form->Handle(), "Label1"), nullptr);
    EXPECT_EQ(gauge->Caption(), "40%");
    EXPECT_GT(PixelsOf(label1, RGB(255, 0, 0)), 0);
    EXPECT_GT(PixelsOf(grouped, RGB(255, 0, 0)), 0);
    EXPECT_EQ(PixelsOf(gauge, RGB(0, 0, 255)), 40 * 30);
    // The parent paints them through WM_PAINT with its DC, and so may anyone else.
    TSpy paints(gauge);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_EQ(paints[WM_PAINT], 1);
    EXPECT_NE(paints.Last(WM_PAINT)->WParam, 0u);
    TBitmap bmp(100, 30);
    bmp.SetPixelFormat(pf24bit);
    gauge->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp.Canvas().Handle()), 0);
    EXPECT_EQ(bmp.Canvas().Pixel(39, 15), RGB(0, 0, 255));
    EXPECT_NE(bmp.Canvas().Pixel(40, 15), RGB(0, 0, 255));
    // The form answers for the label, in its client coordinates.
    const TGraphicControlState s = QueryControl(form->Handle(), "label1");
    EXPECT_TRUE(s.found && s.visible && s.enabled);
    EXPECT_EQ(s.caption, "WWWW");
    EXPECT_EQ(s.bounds.left, 10 + 10);
    EXPECT_EQ(s.bounds.top, 10 + 60);
}

TEST_F(ClassLibrary, RemovingAHookInTheMiddleKeepsTheOthersInTheirOrder)
{
    std::string seen;
    auto hook = [&](char name) {
        return [&seen, name](TMessage& m, const TWndMethod& inherited) {
            if (m.Msg == WM_GETTEXTLENGTH) seen += name;
            inherited(m);
        };
    };
    inner->SetText("abc");
    const int a = inner->HookWindowProc(hook('A'));
    const int b = inner->HookWindowProc(hook('B'));
    const int c = inner->HookWindowProc(hook('C'));
    EXPECT_EQ(inner->Perform(WM_GETTEXTLENGTH), 3);
    EXPECT_EQ(seen, "CBA");
    inner->UnhookWindowProc(b);
    seen.clear();
    EXPECT_EQ(inner->Perform(WM_GETTEXTLENGTH), 3);
    EXPECT_EQ(seen, "CA");
    // A hook removed while a message passes through the one above it is skipped at once.
    const int d = inner->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_GETTEXTLENGTH) inner->UnhookWindowProc(c);
        inherited(m);
    });
    seen.clear();
    EXPECT_EQ(inner->Perform(WM_GETTEXTLENGTH), 3);
    EXPECT_EQ(seen, "A");
    inner->UnhookWindowProc(d);
    inner->UnhookWindowProc(a);
    seen.clear();
    EXPECT_EQ(inner->Perform(WM_GETTEXTLENGTH), 3);
    EXPECT_EQ(SendMessageA(inner->Handle(), WM_GETTEXTLENGTH, 0, 0), 3);
    EXPECT_EQ(seen, "");
}

TEST_F(ClassLibrary, ScreenListsEveryLiveFormInCreationOrder)
{
    auto* owned = new TForm(form);
    owned->InitializeForm();
    ASSERT_GE(Screen->FormCount(), 2);
    EXPECT_EQ(Screen->Forms(Screen->FormCount() - 2), form);
    EXPECT_EQ(Screen->Forms(Screen->FormCount() - 1), owned);
    const int count = Screen->FormCount();
    owned->Free();
    EXPECT_EQ(Screen->FormCount(), count - 1);
}

TEST_F(ClassLibrary, PaintToDrawsTheClientAreaAndEveryChild)
{
    label1->Font().SetColor(clRed);
    inner->Font().SetColor(clBlue);
    inner->SetText("WWWW");
    panel->Hide(); // not on the screen: PaintTo needs no visible window
    TBitmap picture(panel->Width(), panel->Height());
    picture.Canvas().Brush().SetColor(clBlack);
    picture.Canvas().FillRect(RECT{0, 0, panel->Width(), panel->Height()});
    panel->PaintTo(picture.Canvas().Handle(), 0, 0);
    auto count = [&](TControl* c, COLORREF colour) {
        int n = 0;
        for (int y = c->Top(); y < c->Top() + c->Height(); ++y)
            for (int x = c->Left(); x < c->Left() + c->Width(); ++x)
                n += picture.Canvas().Pixel(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(label1, RGB(255, 0, 0)), 0);
    EXPECT_GT(count(inner, RGB(0, 0, 255)), 0);
    EXPECT_GT(count(inner, RGB(255, 255, 255)), 0);
    EXPECT_EQ(picture.Canvas().Pixel(200, 100), ColorToRGB(clBtnFace)); // the panel's own face
}

TEST_F(ClassLibrary, RecreateWndKeepsItemsTextSelectionCheckStateAndEvents)
{
    auto* list = Make<TListBox>(form, 10, 140, 100, 80);
    auto* combo = Make<TComboBox>(form, 120, 140, 100, 22);
    auto* check = Make<TCheckBox>(form, 230, 140, 100, 20);
    for (TStrings* items : {&list->Items(), &combo->Items()})
        for (const char* s : {"Brot", "Milch", "Butter"})
            items->Add(s);
    list->SetItemIndex(2);
    combo->SetItemIndex(1);
    check->SetChecked(true);
    check->SetCaption("Bon");
    int changes = 0, clicks = 0;
    list->OnChange = combo->OnChange = [&](TObject*) { ++changes; };
    check->OnClick = [&](TObject*) { ++clicks; };
    const HWND before[] = {list->Handle(), combo->Handle(), check->Handle()};
    list->RecreateWnd();
    combo->RecreateWnd();
    check->RecreateWnd();
    EXPECT_NE(list->Handle(), before[0]);
    EXPECT_NE(combo->Handle(), before[1]);
    EXPECT_NE(check->Handle(), before[2]);
    EXPECT_EQ(list->Items().Text(), "Brot\r\nMilch\r\nButter\r\n");
    EXPECT_EQ(combo->Items().Text(), "Brot\r\nMilch\r\nButter\r\n");
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "Milch");
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(WindowText(check->Handle()), "Bon");
    // The events still fire from the new windows.
    SendMessageA(check->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(check->Checked());
    for (TWinControl* c : {static_cast<TWinControl*>(list), static_cast<TWinControl*>(combo)})
        SendMessageA(form->Handle(), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(c->Handle()), c == list ? LBN_SELCHANGE : CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(c->Handle()));
    EXPECT_EQ(changes, 2);
}

TEST_F(ClassLibrary, FormPropertiesReachTheWindow)
{
    form->SetAlphaBlendValue(300);
    form->SetAlphaBlend(true);
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 255);
    form->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);

    HICON icon = CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
    form->SetIcon(icon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)), icon);

    form->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->SetWindowState(wsNormal);
    EXPECT_EQ(form->WindowState(), wsNormal);
    form->SetConstraints(TSizeConstraints{0, 0, 400, 280});
    EXPECT_EQ(form->Width(), 400);
    EXPECT_EQ(form->Height(), 280);

    // AutoScroll: a child below the client area brings the vertical bar; it scrolls the children.
    auto* low = Make<TPanel>(form, 10, 600, 100, 50);
    form->SetAutoScroll(true);
    EXPECT_TRUE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL);
    SendMessageA(form->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(form->ScrollPos().y, 8);
    EXPECT_EQ(low->Top(), 592);
    EXPECT_EQ(panel->Top(), 2);
    form->SetAutoScroll(false);
    EXPECT_FALSE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(panel->Top(), 10);
}

TEST_F(ClassLibrary, RightToLeftModesMirrorTheTextFlagsAndReachTheChildren)
{
    TSpy l(label1);
    panel->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(label1->BiDiMode(), bdRightToLeft);
    EXPECT_EQ(l[CM_BIDIMODECHANGED], 1);
    const std::pair<UINT, UINT> flags[] = {{DT_LEFT, DT_RIGHT | DT_RTLREADING},
                                           {DT_RIGHT, DT_LEFT | DT_RTLREADING},
                                           {DT_CENTER, DT_CENTER | DT_RTLREADING}};
    for (const auto& [in, out] : flags)
        EXPECT_EQ(label1->DrawTextBiDiModeFlags(in), out) << in;
    label1->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_EQ(label1->DrawTextBiDiModeFlags(DT_LEFT), static_cast<UINT>(DT_RTLREADING));
    EXPECT_FALSE(label1->UseRightToLeftAlignment());
    panel->SetBiDiMode(bdLeftToRight); // the label has its own mode now
    EXPECT_EQ(label1->BiDiMode(), bdRightToLeftReadingOnly);
    EXPECT_EQ(inner->BiDiMode(), bdLeftToRight);
}

} // namespace
