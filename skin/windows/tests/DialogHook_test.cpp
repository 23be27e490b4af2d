// The window hook with the probe skin: message boxes and harness dialogs skinned as they open
// (frame, title, region, hit test, clicks, window menu, children's adapters), the rules that
// leave windows plain, the forms of the application, popup menus, a dialog's border window and
// its show and hide animations, and no handle growth.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "skin/engine/sMessages.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sStart.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxBorderForm.h"
#include "skin/windows/vxDialogWnd.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxSBAnimation.h"
#include "tests/support/HandleCount.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/MessageHost.h"
#include "tests/support/ModalScript.h"
#include "tests/support/WindowProbes.h"

namespace {

using testrig::WindowPixel;

COLORREF Piece(const char* section, const char* key, int state, int piece)
{
    return static_cast<COLORREF>(skintest::ProbePiece(skintest::ProbeImage("Probe", section, key), state, piece));
}

// The active colour of a section.
COLORREF HotColor(const char* section)
{
    return static_cast<COLORREF>(skintest::ProbeColors("Probe", section).HotColor);
}

LRESULT Ask(HWND wnd, WORD command) { return SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(command), 0); }

bool Adapted(HWND wnd) { return GetPropA(wnd, AdapterProperty) != nullptr; }

POINT WindowOrigin(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return POINT{r.left, r.top};
}

LPARAM ScreenAt(HWND wnd, int x, int y)
{
    const POINT o = WindowOrigin(wnd);
    return MAKELPARAM(o.x + x, o.y + y);
}

LRESULT HitAt(HWND wnd, int x, int y) { return SendMessageA(wnd, WM_NCHITTEST, 0, ScreenAt(wnd, x, y)); }

// A dialog template in memory: the dialog and its items (class names as texts).
class TDialogTemplate {
public:
    TDialogTemplate(DWORD style, const wchar_t* title)
    {
        Dword(style);
        Dword(0);
        countAt_ = words_.size();
        Word(0);
        for (short v : {short(40), short(40), short(180), short(80)})
            Word(static_cast<WORD>(v));
        Word(0);
        Word(0);
        Text(title);
    }
    TDialogTemplate& Item(const wchar_t* cls, const wchar_t* text, DWORD style, int id, short x, short y, short cx,
                          short cy)
    {
        if (words_.size() % 2) Word(0);
        Dword(WS_CHILD | WS_VISIBLE | style);
        Dword(0);
        for (short v : {x, y, cx, cy})
            Word(static_cast<WORD>(v));
        Word(static_cast<WORD>(id));
        Text(cls);
        Text(text);
        Word(0);
        ++words_[countAt_];
        return *this;
    }
    // A modeless dialog of the template (no owner).
    HWND Open(HWND parent = nullptr)
    {
        return CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                          reinterpret_cast<const DLGTEMPLATE*>(words_.data()), parent, Proc, 0);
    }

private:
    static INT_PTR CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM)
    {
        if (msg == WM_INITDIALOG) return TRUE;
        if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
            DestroyWindow(wnd);
            return TRUE;
        }
        return FALSE;
    }
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t* s)
    {
        for (; *s; ++s)
            Word(static_cast<WORD>(*s));
        Word(0);
    }
    std::vector<WORD> words_;
    size_t countAt_ = 0;
};

constexpr DWORD FixedDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
constexpr DWORD SizeableDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;

HWND OpenDialog(DWORD style, HWND parent = nullptr, bool toolBar = false)
{
    TDialogTemplate t(style, L"Kasse");
    t.Item(L"BUTTON", L"OK", BS_DEFPUSHBUTTON, IDOK, 10, 50, 50, 14);
    if (toolBar) t.Item(L"ToolbarWindow32", L"", 0, 100, 0, 0, 100, 20);
    const HWND wnd = t.Open(parent);
    MessageHost::Pump(50);
    return wnd;
}

// The region's holes of a window of the probe skin: the staircases (3, 2 and 1 pixels) in its
// four corners.
std::vector<RECT> Staircases(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<RECT> holes;
    for (int row = 0; row < 3; ++row) {
        const int n = 3 - row;
        holes.push_back(RECT{0, row, n, row + 1});
        holes.push_back(RECT{w - n, row, w, row + 1});
        holes.push_back(RECT{0, h - 1 - row, n, h - row});
        holes.push_back(RECT{w - n, h - 1 - row, w, h - row});
    }
    return holes;
}

// Some window destroyed: the hook frees the providers of dialogs that went before.
void DestroySomeWindow()
{
    DestroyWindow(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
}

std::vector<UINT>* printRecord = nullptr;

// Writes down the print messages a window gets (the window procedure below it in "below").
LRESULT CALLBACK RecordPrints(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PRINTCLIENT || msg == WM_PRINTCLIENT - 1) printRecord->push_back(msg);
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(wnd, "below")), wnd, msg, wParam, lParam);
}

// Counts the adapted list views, tool bars and combo boxes (lParam: the int counter).
BOOL CALLBACK CountListsBarsAndCombos(HWND child, LPARAM count)
{
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (Adapted(child) && (lstrcmpiA(cls, "SysListView32") == 0 || lstrcmpiA(cls, "ToolbarWindow32") == 0 ||
                           lstrcmpiA(cls, "ComboBox") == 0))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

HRESULT WINAPI ComposedDesktop(BOOL* on)
{
    *on = TRUE;
    return S_OK;
}

class DialogHook : public TProbeSkinTest {
public:
    using TProbeSkinTest::NewForm;
    HWND Dialog(DWORD style, HWND parent = nullptr, bool toolBar = false)
    {
        opened.push_back(OpenDialog(style, parent, toolBar));
        return opened.back();
    }
    std::vector<HWND> opened;

protected:
    static void SetUpTestSuite()
    {
        TProbeSkinTest::SetUpTestSuite();
        SkinWindowsStart();
        InitCommonControls();
        BindDwmEntryPoints();
    }
    void SetUp() override
    {
        UseProbeSkin("Probe");
        manager->SetSkinningRules(srStdForms | srStdDialogs | srThirdParty);
        manager->SetAllowGlowing(false);
        ASSERT_TRUE(SkinHookInstalled());
    }
    void TearDown() override
    {
        for (HWND w : opened)
            if (IsWindow(w)) DestroyWindow(w);
        TProbeSkinTest::TearDown();
        EXPECT_EQ(LiveProviderCount(), 0);
    }
};

} // namespace

TEST_F(DialogHook, AMessageBoxIsSkinnedWhileItIsOpenAndItsCloseButtonCancelsIt)
{
    bool probed = false;
    TModalScript script({[&](HWND box) {
        probed = true;
        TvxDialogWnd* d = DialogAdapterOf(box);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Ask(box, cmdIsSkinned), 1);
        EXPECT_TRUE(Adapted(GetDlgItem(box, IDOK)));
        EXPECT_TRUE(Adapted(GetDlgItem(box, IDCANCEL)));
        EXPECT_EQ(GetWindowLongPtrA(box, GWL_STYLE) & WS_SYSMENU, 0);
        EXPECT_TRUE(testrig::WindowRegionIs(
            box, testrig::RectMinus(RECT{0, 0, WindowSize(box).cx, WindowSize(box).cy}, Staircases(box))));
        // The client offset, the frame and the title band.
        RECT cr{};
        GetClientRect(box, &cr);
        POINT c{0, 0};
        ClientToScreen(box, &c);
        const POINT o = WindowOrigin(box);
        const LRESULT offset = Ask(box, cmdDialogClientOffset);
        EXPECT_EQ(LOWORD(offset), c.x - o.x);
        EXPECT_EQ(HIWORD(offset), c.y - o.y);
        const int b = c.x - o.x, bottom = c.y - o.y;
        EXPECT_EQ(WindowPixel(box, 1, WindowSize(box).cy / 2), Piece("DIALOG", "BORDERSMASK", 1, 3));
        // A message box has a modal frame: the small close image.
        const TRect close = d->Buttons[2].Rect;
        ASSERT_TRUE(d->Buttons[2].Shown);
        EXPECT_EQ(WindowPixel(box, close.Left - 3, bottom / 2 + 1), HotColor("FORMTITLE"));
        EXPECT_EQ(close.Right - close.Left, 12);
        const int cx = (close.Left + close.Right) / 2, cy = (close.Top + close.Bottom) / 2;
        EXPECT_EQ(WindowPixel(box, cx, cy), Piece("GLOBALINFO", "SICONCLOSE", 0, 4));
        // The buttons in BUTTON's frames, the default one in its focused state.
        const HWND ok = GetDlgItem(box, IDOK), cancel = GetDlgItem(box, IDCANCEL);
        EXPECT_EQ(WindowPixel(ok, WindowSize(ok).cx / 2, 1), Piece("BUTTON", "BORDERSMASK", 1, 1));
        EXPECT_EQ(WindowPixel(cancel, WindowSize(cancel).cx / 2, 1), Piece("BUTTON", "BORDERSMASK", 0, 1));
        // The hit test of the caption band.
        EXPECT_EQ(HitAt(box, cx, cy), HTCLOSE);
        EXPECT_EQ(WindowPixel(box, cx, cy), Piece("GLOBALINFO", "SICONCLOSE", 1, 4)) << "hot";
        EXPECT_EQ(HitAt(box, b + 2, bottom / 2 + 1), HTSYSMENU);
        EXPECT_EQ(HitAt(box, WindowSize(box).cx / 2, bottom / 2 + 1), HTCAPTION);
        // A press and a release on the close button.
        PostMessageA(box, WM_NCLBUTTONDOWN, HTCLOSE, ScreenAt(box, cx, cy));
        PostMessageA(box, WM_NCLBUTTONUP, HTCLOSE, ScreenAt(box, cx, cy));
    }});
    EXPECT_EQ(Application->MessageBox("Bon drucken?", "Kasse", MB_OKCANCEL), IDCANCEL);
    EXPECT_TRUE(probed);
    EXPECT_EQ(script.Unexpected(), 0);
    DestroySomeWindow();
    EXPECT_EQ(LiveProviderCount(), 0) << "freed at the next window destruction";
}

TEST_F(DialogHook, TitleButtonImagesFollowTheBorderStyle)
{
    const HWND sizeable = Dialog(SizeableDialog);
    TvxDialogWnd* d = DialogAdapterOf(sizeable);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->BorderStyle, 3);
    const TRect close = d->Buttons[2].Rect;
    EXPECT_EQ(close.Right - close.Left, 16);
    EXPECT_EQ(WindowPixel(sizeable, (close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2),
              Piece("GLOBALINFO", "BICLOSEALONE", 0, 4));
    DestroyWindow(sizeable);
    const HWND max = Dialog(SizeableDialog | WS_MAXIMIZEBOX);
    d = DialogAdapterOf(max);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Buttons[2].ImageIndex,
              manager->GetMaskIndex(manager->CommonIndexes.GlobalInfo, "GLOBALINFO", "BICONCLOSE"));
    EXPECT_TRUE(d->Buttons[1].Shown);
}

TEST_F(DialogHook, WindowsThatTheRulesLeaveOutStayPlain)
{
    struct Row {
        const char* what;
        unsigned rules;
        std::function<HWND(DialogHook&)> open;
        bool skinned;
    };
    const unsigned all = srStdForms | srStdDialogs | srThirdParty;
    const auto form = [](intptr_t tag, bool ownedByForm) {
        return [tag, ownedByForm](DialogHook& t) {
            TComponent* owner = Application;
            if (ownedByForm) owner = t.NewForm(0, 0, 50, 50);
            auto* f = TForm::Create<TForm>(owner);
            f->SetTag(tag);
            f->SetBounds(100, 100, 200, 150);
            f->Show();
            SetForegroundWindow(f->Handle());
            MessageHost::Pump(50);
            return f->Handle();
        };
    };
    const std::vector<Row> rows = {
        {"a form", all, form(0, false), true},
        {"a form owned by a form", srStdForms | srStdDialogs, form(0, true), true},
        {"a form with Tag -98", all, form(-98, false), false},
        {"a form without srStdForms", srStdDialogs, form(0, false), false},
        {"a dialog", srStdDialogs, [](DialogHook& t) { return t.Dialog(FixedDialog); }, true},
        {"a dialog window made by its class name", srStdDialogs,
         [](DialogHook& t) {
             t.opened.push_back(CreateWindowExA(0, "#32770", "Kasse", FixedDialog, 50, 50, 200, 120, nullptr, nullptr,
                                                nullptr, nullptr));
             MessageHost::Pump(50);
             return t.opened.back();
         },
         true},
        {"a dialog without srStdDialogs", srStdForms, [](DialogHook& t) { return t.Dialog(FixedDialog); }, false},
        {"a dialog owned by a form", all,
         [](DialogHook& t) { return t.Dialog(FixedDialog, t.NewForm(0, 0, 50, 50)->Handle()); }, true},
        {"a dialog inside a form", all,
         [](DialogHook& t) {
             return t.Dialog(WS_CHILD | DS_CONTROL | WS_VISIBLE, t.NewForm(0, 0, 250, 200)->Handle());
         },
         false},
        {"a second dialog", all,
         [](DialogHook& t) {
             t.Dialog(FixedDialog);
             return t.Dialog(FixedDialog);
         },
         false},
        {"a second dialog with a tool bar", all,
         [](DialogHook& t) {
             t.Dialog(FixedDialog);
             return t.Dialog(FixedDialog, nullptr, true);
         },
         true},
    };
    for (const Row& row : rows) {
        manager->SetSkinningRules(row.rules);
        const HWND wnd = row.open(*this);
        EXPECT_EQ(Ask(wnd, cmdIsSkinned), row.skinned ? 1 : 0) << row.what;
        if (TForm* f = FindForm(wnd)) {
            EXPECT_EQ(Ask(wnd, cmdGetProvider) != 0, row.skinned) << row.what;
            if (TsSkinProvider* p = TsSkinProvider::Of(f)) {
                EXPECT_FALSE(p->MakeSkinMenu()) << row.what;
                const int providers = LiveProviderCount();
                SetForegroundWindow(GetDesktopWindow());
                SetForegroundWindow(wnd);
                MessageHost::Pump(50);
                EXPECT_EQ(LiveProviderCount(), providers) << row.what << ": activated again";
            }
        } else {
            EXPECT_EQ(Adapted(wnd), row.skinned) << row.what;
            if (const HWND ok = GetDlgItem(wnd, IDOK)) {
                EXPECT_EQ(Adapted(ok), row.skinned) << row.what;
            }
        }
        for (HWND w : opened)
            if (IsWindow(w)) DestroyWindow(w);
        opened.clear();
        Application->DestroyForms();
        MessageHost::Pump(20);
    }
}

TEST_F(DialogHook, AnOpenFileDialogIsSkinnedBesideAVisibleBoxForItsToolBar)
{
    bool skinned = false;
    int adapted = 0;
    TModalScript script({[&](HWND box) {
                             TOpenDialog open(nullptr);
                             open.Execute();
                             TModalScript::Press(box, IDOK);
                         },
                         [&](HWND dlg) {
                             skinned = Ask(dlg, cmdIsSkinned) == 1;
                             EnumChildWindows(dlg, CountListsBarsAndCombos, reinterpret_cast<LPARAM>(&adapted));
                             TModalScript::Press(dlg, IDCANCEL);
                         }});
    Application->MessageBox("Datei laden?", "Kasse", MB_OK);
    EXPECT_EQ(script.Done(), 2);
    EXPECT_TRUE(skinned);
    EXPECT_GE(adapted, 3) << "its list, tool bar and combo boxes";
}

TEST_F(DialogHook, PopupMenusAreSkinnedUnlessTheDesktopIsComposed)
{
    TForm* f = NewForm(100, 100, 200, 150);
    TPopupMenu menu(f);
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Storno");
    menu.Items()->Add(item);
    const auto probe = [&]() {
        bool adapted = false, listed = false;
        TModalScript script({[&](HWND popup) {
            adapted = Adapted(popup);
            const auto* list = PopupWindowList();
            listed = list && std::find_if(list->begin(), list->end(),
                                          [&](TvxMainWnd* a) { return a->CtrlHandle == popup; }) != list->end();
            EndMenu();
        }});
        menu.Popup(120, 120);
        EXPECT_EQ(script.Done(), 1);
        return std::pair{adapted, listed};
    };
    EXPECT_EQ(probe(), (std::pair{true, true}));
    EXPECT_TRUE(PopupWindowList()->empty()) << "the adapter left with its window";

    const auto saved = DwmIsCompositionEnabledProc();
    DwmIsCompositionEnabledProc() = ComposedDesktop;
    const auto composed = probe();
    DwmIsCompositionEnabledProc() = saved;
    EXPECT_EQ(composed, (std::pair{false, false}));
}

TEST_F(DialogHook, TheDialogsWindowMenuAndCaptionClicks)
{
    const HWND wnd = Dialog(FixedDialog);
    TvxDialogWnd* d = DialogAdapterOf(wnd);
    ASSERT_NE(d, nullptr);
    const POINT c{LOWORD(Ask(wnd, cmdDialogClientOffset)), HIWORD(Ask(wnd, cmdDialogClientOffset))};
    const int mid = WindowSize(wnd).cx / 2, y = c.y / 2 + 1;
    bool moveEnabled = false, sizeVisible = true, closeVisible = false;
    {
        TModalScript script({[&](HWND) {
            moveEnabled = d->SysMenu->Item("miMove")->Enabled();
            sizeVisible = d->SysMenu->Item("miSize")->Visible();
            closeVisible = d->SysMenu->Item("miClose")->Visible();
            EndMenu();
        }});
        SendMessageA(wnd, WM_NCRBUTTONUP, HTCAPTION, ScreenAt(wnd, mid, y));
        EXPECT_EQ(script.Done(), 1) << "the window menu opened";
    }
    EXPECT_TRUE(moveEnabled);
    EXPECT_FALSE(sizeVisible);
    EXPECT_TRUE(closeVisible);

    // A fixed dialog cannot be maximised: a double click on its caption does nothing.
    const SIZE before = WindowSize(wnd);
    SendMessageA(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt(wnd, mid, y));
    MessageHost::Pump(20);
    ASSERT_TRUE(IsWindow(wnd));
    EXPECT_FALSE(IsZoomed(wnd));
    EXPECT_EQ(WindowSize(wnd).cx, before.cx);
    // One on its icon closes it.
    SendMessageA(wnd, WM_NCLBUTTONDBLCLK, HTSYSMENU, ScreenAt(wnd, c.x + 2, y));
    MessageHost::Pump(20);
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(DialogHook, ChildrenGetTheirBackgroundFromTheDialogImage)
{
    const HWND wnd = Dialog(FixedDialog);
    const HWND ok = GetDlgItem(wnd, IDOK);
    TsBackgroundInfo info;
    info.R = TRect{0, 0, 10, 10};
    SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(cmdGetBGInfo), reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(info.BgType, btCache);
    ASSERT_NE(info.Bmp, nullptr);
    const LRESULT offset = Ask(wnd, cmdDialogClientOffset);
    EXPECT_EQ(info.Offset.X, LOWORD(offset));
    EXPECT_EQ(info.Offset.Y, HIWORD(offset));
    // The client background is the image's client part: DIALOG's active colour.
    RECT r{};
    GetWindowRect(ok, &r);
    POINT below{r.left, r.bottom + 3};
    ScreenToClient(wnd, &below);
    HDC dc = GetDC(wnd);
    EXPECT_EQ(GetPixel(dc, below.x, below.y), HotColor("DIALOG"));
    ReleaseDC(wnd, dc);
    EXPECT_TRUE(Adapted(ok));
    // The children are painted into a DC with WM_PRINTCLIENT (792).
    std::vector<UINT> seen;
    printRecord = &seen;
    SetPropA(ok, "below", reinterpret_cast<HANDLE>(GetWindowLongPtrA(ok, GWLP_WNDPROC)));
    SetWindowLongPtrA(ok, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordPrints));
    TBitmap snapshot(WindowSize(wnd).cx, WindowSize(wnd).cy);
    DialogAdapterOf(wnd)->PrintChildren(wnd, snapshot.Canvas().Handle(), POINT{0, 0});
    SetWindowLongPtrA(ok, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(ok, "below")));
    RemovePropA(ok, "below");
    EXPECT_EQ(seen, (std::vector<UINT>{792}));
}

TEST_F(DialogHook, ErasesAndBoxesLeaveNoHandlesBehind)
{
    const HWND wnd = Dialog(FixedDialog);
    const HDC dc = GetDC(wnd);
    SendMessageA(wnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(wnd));
    const THandleCount erasing = THandleCount::Now();
    LRESULT first = 0;
    bool same = true;
    for (int i = 0; i < 1000; ++i) {
        const LRESULT brush =
            SendMessageA(wnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(wnd));
        if (i == 0) first = brush;
        same = same && brush == first;
    }
    EXPECT_NE(first, 0);
    EXPECT_TRUE(same) << "one brush per dialog";
    EXPECT_EQ(THandleCount::Now().gdi, erasing.gdi);
    // A new skin: the brush is made again in the new global colour, the old one freed.
    const auto brushColor = [&] {
        LOGBRUSH lb{};
        GetObjectA(reinterpret_cast<HBRUSH>(
                       SendMessageA(wnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(wnd))),
                   sizeof lb, &lb);
        return lb.lbColor;
    };
    manager->SetSkinName("ProbeOther");
    EXPECT_EQ(brushColor(), static_cast<COLORREF>(ColorToRGB(manager->GetGlobalColor())));
    EXPECT_EQ(THandleCount::Now().gdi, erasing.gdi);
    ReleaseDC(wnd, dc);
    DestroyWindow(wnd);
    MessageHost::Pump(20);

    // Message boxes opened and closed (200 cycles: each waits for the script's timer inside the
    // box's modal loop).
    const auto cycle = [] {
        TModalScript script({TModalScript::PressButton(IDOK)});
        Application->MessageBox("Kassensturz", "Kasse", MB_OK);
    };
    cycle();
    const THandleCount boxes = THandleCount::Now();
    for (int i = 0; i < 200; ++i)
        cycle();
    EXPECT_EQ(THandleCount::Now(), boxes);
    DestroySomeWindow();
    EXPECT_EQ(LiveProviderCount(), 0);

    // Open-file dialogs (20 cycles: each builds the shell's folder view).
    const auto file = [] {
        TModalScript script({TModalScript::PressButton(IDCANCEL)});
        TOpenDialog open(nullptr);
        open.Execute();
    };
    file();
    DestroySomeWindow();
    const THandleCount files = THandleCount::Now();
    for (int i = 0; i < 20; ++i)
        file();
    DestroySomeWindow();
    EXPECT_EQ(THandleCount::Now(), files);
    EXPECT_EQ(LiveProviderCount(), 0);
}

TEST_F(DialogHook, ADialogClosedWhileItsMaximiseClickRunsIsNotTouched)
{
    const HWND wnd = Dialog(SizeableDialog | WS_MAXIMIZEBOX);
    TvxDialogWnd* d = DialogAdapterOf(wnd);
    ASSERT_NE(d, nullptr);
    const TRect max = d->Buttons[1].Rect;
    const LPARAM at = ScreenAt(wnd, (max.Left + max.Right) / 2, (max.Top + max.Bottom) / 2);
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTMAXBUTTON, at);
    // The close waits in the queue: the click's message processing destroys the dialog, and
    // the next destruction frees its provider.
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    PostMessageA(nullptr, WM_NULL, 0, 0);
    SendMessageA(wnd, WM_NCLBUTTONUP, HTMAXBUTTON, at);
    EXPECT_FALSE(IsWindow(wnd));
    DestroySomeWindow();
    EXPECT_EQ(LiveProviderCount(), 0);
}

TEST_F(DialogHook, WithTheSkinRemovedANewMessageBoxStaysPlain)
{
    manager->SetActive(false);
    EXPECT_FALSE(SkinHookInstalled());
    LONG_PTR style = 0;
    bool adapted = true;
    TModalScript script({[&](HWND box) {
        style = GetWindowLongPtrA(box, GWL_STYLE);
        adapted = Adapted(GetDlgItem(box, IDOK)) || Adapted(box);
        TModalScript::Press(box, IDOK);
    }});
    Application->MessageBox("Kassensturz", "Kasse", MB_OK);
    EXPECT_EQ(script.Done(), 1);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_FALSE(adapted);
}

TEST_F(DialogHook, WithExtendedBordersADialogHasItsBorderWindowAndFadesInAndOut)
{
    // The shadow probe skin has margins of 10 on every side.
    constexpr int margin = 10;
    manager->SetSkinName("ProbeShadow");
    manager->SetExtendedBorders(true);
    TvxAnimEffects& a = manager->AnimEffects();
    a.DialogShow.Time = 100;
    a.DialogHide.Time = 100;
    const auto alphasOf = [](const TLayeredRecorder& rec, HWND wnd) {
        std::vector<int> alphas;
        for (const TLayeredCall& c : rec.Calls())
            if (c.Wnd == wnd) alphas.push_back(c.Alpha);
        return alphas;
    };
    TLayeredRecorder rec;
    const HWND wnd = Dialog(FixedDialog);
    TvxDialogWnd* d = DialogAdapterOf(wnd);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(d->BorderForm, nullptr);
    const HWND border = d->BorderForm->Handle();
    EXPECT_EQ(BorderFormCount(), 1);
    // The border window carried the show: its image at alpha 0, then 11 frames rising by
    // 255 / 11 to 255.
    std::vector<int> expected{0};
    for (int k = 1; k <= 11; ++k)
        expected.push_back(static_cast<int>(std::lround(k * 255.0 / 11)));
    const std::vector<int> shown = alphasOf(rec, border);
    ASSERT_GE(shown.size(), expected.size());
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 12), expected);

    // Afterwards it lies directly behind the dialog, grown by the margins.
    d->UpdateExtBorder();
    EXPECT_EQ(GetWindow(wnd, GW_HWNDNEXT), border);
    EXPECT_TRUE(IsWindowVisible(border));
    RECT dr{}, br{};
    GetWindowRect(wnd, &dr);
    GetWindowRect(border, &br);
    EXPECT_EQ(br.left, dr.left - margin);
    EXPECT_EQ(br.top, dr.top - margin);
    EXPECT_EQ(br.right, dr.right + margin);
    EXPECT_EQ(br.bottom, dr.bottom + margin);

    // Hidden: a copy fades out from half alpha and the border goes; shown again, a new border.
    rec.Clear();
    ShowWindow(wnd, SW_HIDE);
    const HWND copy = AnimationWindow;
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(IsWindow(border));
    EXPECT_EQ(alphasOf(rec, copy).front(), 127);
    ASSERT_TRUE(testrig::PumpUntil([] { return AnimationWindow == nullptr; }));
    EXPECT_FALSE(IsWindow(copy));
    ShowWindow(wnd, SW_SHOW);
    ASSERT_NE(d->BorderForm, nullptr);
    EXPECT_TRUE(IsWindowVisible(d->BorderForm->Handle()));

    // Closed: its border window is gone with it.
    const HWND second = d->BorderForm->Handle();
    DestroyWindow(wnd);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(BorderFormCount(), 0);
    ASSERT_TRUE(testrig::PumpUntil([] { return AnimationWindow == nullptr; }));

    // Dialogs opened and closed with their borders and ten-millisecond fades leave nothing.
    a.DialogShow.Time = 10;
    a.DialogHide.Time = 10;
    const auto cycle = [] {
        const HWND dlg = OpenDialog(FixedDialog);
        DestroyWindow(dlg);
        testrig::PumpUntil([] { return AnimationWindow == nullptr; });
        DestroySomeWindow();
    };
    cycle();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 20; ++i)
        cycle();
    EXPECT_EQ(THandleCount::Now(), before);
    EXPECT_EQ(BorderFormCount(), 0);
    EXPECT_EQ(LiveProviderCount(), 0);
    AnimationsEnd();
}

TEST_F(DialogHook, WithExtendedBordersTheTitleButtonsFadeAboveTheDialog)
{
    manager->SetSkinName("ProbeShadow");
    manager->SetExtendedBorders(true);
    const HWND wnd = Dialog(FixedDialog);
    TvxDialogWnd* d = DialogAdapterOf(wnd);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(d->BorderForm, nullptr);
    TvxDialogButton* close = d->ButtonByCode(HTCLOSE);
    ASSERT_NE(close, nullptr);
    SetCursorPos(0, 0);
    TLayeredRecorder rec;
    d->SetHotButton(HTCLOSE, true);
    ASSERT_EQ(TitleAnimationWindowCount(), 1);
    ASSERT_NE(close->Animation, nullptr);
    TForm* window = close->Animation->Window();
    ASSERT_NE(window, nullptr);
    const HWND shown = window->Handle();
    EXPECT_EQ(window->Tag(), -98);
    EXPECT_EQ(GetWindow(shown, GW_OWNER), wnd);
    EXPECT_EQ(GetWindowLongPtrA(shown, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT),
              WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);
    // The mouse is not on the button: faded in by 255 div 10 a tick, out again, and gone.
    ASSERT_TRUE(testrig::PumpUntil([] { return TitleAnimationWindowCount() == 0; }));
    std::vector<int> alphas;
    for (const TLayeredCall& c : rec.Calls())
        if (c.Wnd == shown) alphas.push_back(c.Alpha);
    EXPECT_EQ(alphas, TitleFadeAlphas());
    const TRect& r = close->Rect;
    EXPECT_EQ(rec.Calls().back().Size.cx, r.Right - r.Left);

    // Hot again and closed while it shows: no animation window is left.
    d->SetHotButton(HTCLOSE, true);
    EXPECT_EQ(TitleAnimationWindowCount(), 1);
    DestroyWindow(wnd);
    EXPECT_EQ(TitleAnimationWindowCount(), 0);
    DestroySomeWindow();
}
