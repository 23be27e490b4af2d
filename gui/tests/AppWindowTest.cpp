// The application's own hidden window: its hooks, the activation message the library sends
// there, and the reflected notifications it never passes on.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "gui/Forms.h"
#include "gui/Messages.h"

namespace {

class AppWindow : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (int id : ids)
            Application->UnhookMainWindow(id);
        Application->DestroyForms();
    }
    int Hook(std::vector<UINT>& seen, bool handled, UINT only = 0)
    {
        ids.push_back(Application->HookMainWindow([&seen, handled, only](TMessage& m) {
            if (only && m.Msg != only) return false;
            seen.push_back(m.Msg);
            m.Result = 77;
            return handled;
        }));
        return ids.back();
    }
    std::vector<int> ids;
};

constexpr UINT Probe = WM_APP + 5;

} // namespace

TEST_F(AppWindow, HooksSeeItsMessagesTheLastAddedFirst)
{
    const HWND wnd = Application->AppWindow();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(Application->AppWindow(), wnd);
    EXPECT_FALSE(IsWindowVisible(wnd));
    std::vector<UINT> first, second;
    Hook(first, false, Probe);
    const int id = Hook(second, true, Probe);
    EXPECT_EQ(SendMessageA(wnd, Probe, 0, 0), 77);
    EXPECT_TRUE(first.empty()); // the later hook handled it
    EXPECT_EQ(second, std::vector<UINT>{Probe});
    Application->UnhookMainWindow(id);
    EXPECT_EQ(SendMessageA(wnd, Probe, 0, 0), 0); // not handled: the default answer
    EXPECT_EQ(first, std::vector<UINT>{Probe});
    EXPECT_EQ(second.size(), 1u);
}

// Reflected notifications never reach the hooks; the skinned menus' two hand-over messages,
// which lie in their range, do.
TEST_F(AppWindow, ReflectedNotificationsNeverReachTheHooks)
{
    std::vector<UINT> seen;
    Hook(seen, true);
    for (UINT msg : {CN_COMMAND, CN_BASE + 0xB2, SM_MENUITEMPOPUP, SM_MENUWINDOWPOPUP, CN_BASE + 0xB5})
        SendMessageA(Application->AppWindow(), msg, 0, 0);
    std::erase_if(seen, [](UINT m) { return m < CN_BASE || m > 0xBFFF; });
    EXPECT_EQ(seen, (std::vector<UINT>{SM_MENUITEMPOPUP, SM_MENUWINDOWPOPUP}));
}

TEST_F(AppWindow, AFormOfTheActivatedProgramSendsTheActivationMessage)
{
    std::vector<UINT> seen;
    Hook(seen, false, CM_ACTIVATE);
    auto* form = TForm::Create<TForm>(Application);
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(seen.empty());
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(seen, std::vector<UINT>{CM_ACTIVATE});
}

// Without painting, ProcessMessages handles what was posted and leaves the invalid window
// invalid; with painting it paints it.
TEST_F(AppWindow, ProcessingWithoutPaintingLeavesTheWindowInvalid)
{
    auto* form = TForm::Create<TForm>(Application);
    form->SetBounds(40, 40, 200, 120);
    form->Show();
    Application->ProcessMessages();
    std::vector<UINT> seen;
    Hook(seen, true, Probe);
    InvalidateRect(form->Handle(), nullptr, TRUE);
    PostMessageA(Application->AppWindow(), Probe, 0, 0);
    RECT dirty{};
    Application->ProcessMessages(false);
    EXPECT_EQ(seen, std::vector<UINT>{Probe});
    EXPECT_TRUE(GetUpdateRect(form->Handle(), &dirty, FALSE));
    Application->ProcessMessages();
    EXPECT_FALSE(GetUpdateRect(form->Handle(), &dirty, FALSE));
}
