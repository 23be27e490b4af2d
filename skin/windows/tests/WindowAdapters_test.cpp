// The window adapter base on raw BUTTON, EDIT and LISTBOX windows and on a class-library edit,
// with the probe skin in the default manager: the property "VXSBSC", the window procedure and the
// subclass chain, the theme switch, WM_PRINT, the hot control, the life of an adapter whose
// window dies first, HookedWindowList and the manager's broadcast, and handle counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "gui/StdCtrls.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxMainWnd.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/ThemeRecorder.h"

namespace {

class WindowAdapters : public TProbeSkinTest {
protected:
    void SetUp() override
    {
        LoadProbeSkin("Probe");
        form = NewForm(100, 100, 300, 200);
    }
    HWND Raw(const char* cls, int x = 10)
    {
        return CreateWindowExA(0, cls, "raw", WS_CHILD | WS_VISIBLE, x, 10, 80, 60, form->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    static WNDPROC ProcOf(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)); }
    static bool Listed(TvxMainWnd* a)
    {
        const auto& l = HookedWindowList();
        return std::find(l.begin(), l.end(), a) != l.end();
    }
    TForm* form = nullptr;
};

} // namespace

TEST_F(WindowAdapters, TheAdapterOfARawWindowLivesFromAttachToDetachOrDestruction)
{
    for (const char* cls : {"BUTTON", "EDIT", "LISTBOX"}) {
        SCOPED_TRACE(cls);
        testrig::TThemeRecorder themes(false);
        const HWND wnd = Raw(cls);
        const WNDPROC classProc = ProcOf(wnd);
        TvxMainWnd* a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "PANEL", false);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(GetAdapterOfWindow(wnd), a);
        EXPECT_TRUE(Listed(a));
        EXPECT_EQ(a->Caption, "raw");
        EXPECT_EQ(SendSkinCommand(wnd, cmdIsSkinned, 0), 1);
        ASSERT_EQ(themes.Calls().size(), 1u);
        EXPECT_TRUE(themes.Calls()[0].HasSubAppName && themes.Calls()[0].HasSubIdList);
        EXPECT_EQ(themes.Calls()[0].SubAppName, L" ");
        EXPECT_EQ(themes.Calls()[0].SubIdList, L" ");
        SetWindowTextA(wnd, "neu");
        EXPECT_EQ(a->Caption, "neu");

        DetachAdapter(wnd, false, false, a);
        EXPECT_TRUE(a->Destroyed);
        EXPECT_EQ(GetPropA(wnd, AdapterProperty), nullptr);
        EXPECT_EQ(ProcOf(wnd), classProc);
        EXPECT_FALSE(Listed(a));
        EXPECT_EQ(SendSkinCommand(wnd, cmdIsSkinned, 0), 0);
        DetachAdapter(wnd, true, false, a);
        EXPECT_EQ(a, nullptr);

        // Freed while hooked: the theme comes back on. Destroyed while hooked: no crash, the
        // window's own procedure back, no property, Destroyed set and out of the list.
        themes.Clear();
        a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "PANEL", false);
        delete a;
        ASSERT_EQ(themes.Calls().size(), 2u);
        EXPECT_FALSE(themes.Calls()[1].HasSubAppName || themes.Calls()[1].HasSubIdList);
        EXPECT_EQ(GetPropA(wnd, AdapterProperty), nullptr);
        a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "PANEL", false);
        HANDLE propAtDestroy = nullptr;
        testrig::TMessageSpy probe(wnd, [&](UINT msg) {
            if (msg == WM_NCDESTROY) propAtDestroy = GetPropA(wnd, AdapterProperty);
            return false;
        });
        DestroyWindow(wnd);
        EXPECT_TRUE(a->Destroyed);
        EXPECT_FALSE(Listed(a));
        EXPECT_EQ(propAtDestroy, nullptr);
        delete a;
    }
    // A nil adapter or handle changes nothing.
    TvxMainWnd* none = nullptr;
    DetachAdapter(nullptr, true, true, none);
    EXPECT_EQ(CreateAdapter<TvxMainWnd>(nullptr, nullptr, nullptr, "PANEL", false), nullptr);

    // The DIALOG section keeps the window's theme.
    testrig::TThemeRecorder themes(false);
    const HWND dialog = Raw("BUTTON");
    TvxMainWnd* a = CreateAdapter<TvxMainWnd>(dialog, nullptr, nullptr, "DIALOG", false);
    EXPECT_TRUE(themes.CallsFor(dialog).empty());
    DetachAdapter(dialog, true, false, a);
}

TEST_F(WindowAdapters, ALaterSubclassKeepsGettingEveryMessageAfterTheAdapterLetsGo)
{
    const HWND wnd = Raw("EDIT");
    TvxMainWnd* a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "EDIT", false);
    {
        testrig::TMessageSpy spy(wnd);
        DetachAdapter(wnd, true, false, a);
        SetWindowTextA(wnd, "abc");
        char text[16] = {};
        EXPECT_EQ(GetWindowTextA(wnd, text, 16), 3); // the control still answers
        EXPECT_STREQ(text, "abc");
        EXPECT_EQ(spy.Count(WM_SETTEXT), 1);
        EXPECT_EQ(spy.Count(WM_GETTEXT), 1);
        EXPECT_EQ(SendSkinCommand(wnd, cmdIsSkinned, 0), 0);
    }
    // A new adapter takes the place the old one left in the chain: one answer, one detach.
    a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "EDIT", false);
    EXPECT_EQ(SendSkinCommand(wnd, cmdIsSkinned, 0), 1);
    DetachAdapter(wnd, true, false, a);
    EXPECT_EQ(SendSkinCommand(wnd, cmdIsSkinned, 0), 0);
    SetWindowTextA(wnd, "de");
    char text[16] = {};
    EXPECT_EQ(GetWindowTextA(wnd, text, 16), 2);
    DestroyWindow(wnd);
}

TEST_F(WindowAdapters, PrintPaintsThroughPaintAndTheMouseMakesTheWindowHot)
{
    const HWND wnd = Raw("BUTTON");
    testrig::TMessageSpy below(wnd); // under the adapter: sees what the adapter passes on
    TvxMainWnd* a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "BUTTON", false);
    const HDC dc = CreateCompatibleDC(nullptr);
    below.Clear();
    SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(below.Count(WM_PRINT), 0);
    ASSERT_EQ(below.Count(WM_PAINT), 1);
    EXPECT_EQ(below.Last(WM_PAINT)->WParam, reinterpret_cast<WPARAM>(dc));
    DeleteDC(dc);
    SendMessageA(wnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(below.Count(WM_UPDATEUISTATE), 0);

    below.Clear();
    SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(manager->ActiveControl(), wnd);
    EXPECT_EQ(below.SkinCommands(), (std::vector<int>{cmdMouseEnter}));
    const HWND other = Raw("BUTTON", 120);
    TvxMainWnd* b = CreateAdapter<TvxMainWnd>(other, nullptr, nullptr, "BUTTON", false);
    SendMessageA(other, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(below.SkinCommands(), (std::vector<int>{cmdMouseEnter, cmdMouseLeave}));
    manager->SetActiveControl(nullptr);
    DetachAdapter(other, true, false, b);
    DetachAdapter(wnd, true, false, a);
}

TEST_F(WindowAdapters, HookedWindowListHoldsThePlainWindowsAndTheBroadcastReachesEachWindowOnce)
{
    AddSkinnedForm(form);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 100, 100, 24);
    const HWND first = Raw("BUTTON"), second = Raw("LISTBOX", 120);
    TvxMainWnd* a = CreateAdapter<TvxMainWnd>(first, nullptr, nullptr, "BUTTON", false);
    TvxMainWnd* b = CreateAdapter<TvxMainWnd>(second, nullptr, nullptr, "EDIT", false);
    TsCommonData link(edit, true);
    TvxMainWnd* c = CreateAdapter<TvxMainWnd>(edit->Handle(), &link, nullptr, "EDIT", false);
    EXPECT_EQ(HookedWindowList(), (std::vector<TvxMainWnd*>{a, b}));
    EXPECT_EQ(GetAdapterOfWindow(edit->Handle()), c);

    testrig::TMessageSpy s1(first, testrig::SkinCommandsOnly), s2(second, testrig::SkinCommandsOnly),
        s3(edit->Handle(), testrig::SkinCommandsOnly);
    TMessage m{SM_VELOCONCMD, SkinCommandWParam(cmdSkinChangeDone), reinterpret_cast<LPARAM>(manager), 0};
    BroadcastToSkinnedForms(m);
    EXPECT_EQ(s1.CountCommand(cmdSkinChangeDone), 1);
    EXPECT_EQ(s2.CountCommand(cmdSkinChangeDone), 1);
    EXPECT_EQ(s3.CountCommand(cmdSkinChangeDone), 1);

    DestroyWindow(first);
    DetachAdapter(second, false, false, b);
    EXPECT_TRUE(HookedWindowList().empty());
    DetachAdapter(edit->Handle(), true, false, c);
    delete a;
    delete b;
    RemoveSkinnedForm(form);
}

TEST_F(WindowAdapters, AnAdapterOnTheLinkOfAFormProviderHooksTheFormsWindowProc)
{
    auto* provider = new TsSkinProvider(form);
    testrig::TMessageSpy below(form, [](UINT msg) { return msg == WM_UPDATEUISTATE; });
    const WNDPROC formProc = ProcOf(form->Handle());
    TvxMainWnd* a = CreateAdapter<TvxMainWnd>(form->Handle(), &provider->SkinData(), nullptr, "FORM", false);
    EXPECT_EQ(GetAdapterOfWindow(form->Handle()), a);
    EXPECT_EQ(ProcOf(form->Handle()), formProc);
    EXPECT_FALSE(Listed(a));
    SendMessageA(form->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(below.Count(WM_UPDATEUISTATE), 0);
    DetachAdapter(form->Handle(), true, false, a);
    EXPECT_EQ(GetPropA(form->Handle(), AdapterProperty), nullptr);
    SendMessageA(form->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(below.Count(WM_UPDATEUISTATE), 1);
    EXPECT_EQ(ProcOf(form->Handle()), formProc);
}

TEST_F(WindowAdapters, AdaptersFreedWithAllItemsLeaveTheirWindowsUnlessEverySkinGoes)
{
    testrig::TThemeRecorder themes(false);
    const HWND wnd = Raw("EDIT");
    const WNDPROC classProc = ProcOf(wnd);
    TvxMainWnd* a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "EDIT", false);
    CtrlAdapterFreeingAll = true;
    delete a;
    EXPECT_EQ(themes.CallsFor(wnd).size(), 1u); // the theme stays off
    EXPECT_NE(ProcOf(wnd), classProc);          // the subclass stays, quiet
    EXPECT_EQ(GetPropA(wnd, AdapterProperty), nullptr);
    EXPECT_FALSE(Listed(a));
    SetWindowTextA(wnd, "abc");
    char text[16] = {};
    EXPECT_EQ(GetWindowTextA(wnd, text, 16), 3);
    EXPECT_EQ(SendSkinCommand(wnd, cmdIsSkinned, 0), 0);

    // While the manager removes the skin from all forms, everything is given back.
    a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "EDIT", false);
    SkinManagerFlags().Removing = true;
    delete a;
    SkinManagerFlags().Removing = false;
    CtrlAdapterFreeingAll = false;
    EXPECT_EQ(ProcOf(wnd), classProc);
    const auto calls = themes.CallsFor(wnd);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_FALSE(calls[2].HasSubAppName || calls[2].HasSubIdList);
    DestroyWindow(wnd);
}

TEST_F(WindowAdapters, AttachAndDetachCyclesLeaveHandleCountsFlat)
{
    const HWND wnd = Raw("LISTBOX");
    auto cycle = [&] {
        TvxMainWnd* a = CreateAdapter<TvxMainWnd>(wnd, nullptr, nullptr, "EDIT", false);
        SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(cmdRefresh), reinterpret_cast<LPARAM>(manager));
        DetachAdapter(wnd, true, false, a);
    };
    cycle();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_EQ(THandleCount::Now(), before);
}
