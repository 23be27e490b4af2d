// The skin manager with window skinning connected: what forms and controls are told when a
// skin comes, is repainted and goes; the hot control; freezing skinned forms; the window hook
// the default manager installs while a skin is loaded.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/Forms.h"
#include "gui/Messages.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/engine/tests/SkinFolders.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/vxDials.h"
#include "tests/support/SkinModules.h"

namespace {

// A form that writes down every skin command it gets but the question whether it is skinned
// (command 7, which it answers 0): (command, lParam).
class TRecordingForm : public TForm {
    GUI_CLASS(TRecordingForm, TForm)
    explicit TRecordingForm(TComponent* owner) : TForm(owner) {}
    std::vector<std::pair<int, LPARAM>> Seen;
    std::vector<int> Commands() const
    {
        std::vector<int> c;
        for (const auto& s : Seen)
            c.push_back(s.first);
        return c;
    }

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD) {
            if (HIWORD(m.WParam) != cmdIsSkinned) Seen.emplace_back(static_cast<int>(HIWORD(m.WParam)), m.LParam);
            m.Result = 0;
            return;
        }
        TForm::WndProc(m);
    }
};

// A skin folder "Plain" with colours only, under a temporary folder.
class TPlainSkin : public TSkinFolders {
public:
    TPlainSkin()
    {
        Folder("Plain");
        File("Plain\\Options.dat",
             "[GLOBALINFO]\r\nVERSION=6.50\r\n[FORM]\r\nCOLOR=12632256\r\n[BUTTON]\r\nCOLOR=255\r\n");
    }
    const std::string& Root() const { return Path(); }
};

class SkinBroadcast : public testrig::SkinModulesTest<> {
protected:
    void TearDown() override { Application->DestroyForms(); }
    TPlainSkin skins;
};

LPARAM Of(TsSkinManager* m) { return reinterpret_cast<LPARAM>(m); }

} // namespace

TEST_F(SkinBroadcast, FormsHearOfANewSkinItsRepaintAndItsRemoval)
{
    auto* form = TForm::Create<TRecordingForm>(Application);
    form->HandleNeeded();
    TsSkinManager manager(nullptr);
    manager.SetSkinDirectory(skins.Root());
    EXPECT_TRUE(form->Seen.empty());
    EXPECT_FALSE(SkinHookInstalled()) << "no hook before a skin";

    manager.SetSkinName("Plain");
    EXPECT_EQ(form->Commands(), (std::vector<int>{cmdSkinChanged, cmdSkinChangeDone, cmdRefresh}));
    for (const auto& s : form->Seen)
        EXPECT_EQ(s.second, Of(&manager));
    EXPECT_TRUE(manager.SkinData.SkinLoaded);
    EXPECT_EQ(manager.SkinInfo(), "6.5");
    // The default manager skins new windows while its skin is loaded.
    EXPECT_TRUE(SkinHookInstalled());
    ASSERT_NE(PopupWindowList(), nullptr);

    form->Seen.clear();
    manager.RepaintForms();
    EXPECT_EQ(form->Commands(), (std::vector<int>{cmdSkinChangeDone, cmdRefresh}));

    // A form activated meanwhile gets a provider from the hook.
    auto* other = TForm::Create<TForm>(Application);
    other->SetBounds(50, 50, 200, 120);
    other->Show();
    SetForegroundWindow(other->Handle());
    EXPECT_EQ(LiveProviderCount(), 1);
    EXPECT_NE(TsSkinProvider::Of(other), nullptr);

    form->Seen.clear();
    manager.SetActive(false);
    EXPECT_EQ(form->Commands(), (std::vector<int>{cmdRemoveSkin}));
    EXPECT_EQ(form->Seen[0].second, Of(&manager));
    EXPECT_FALSE(manager.SkinData.SkinLoaded);
    EXPECT_TRUE(manager.GeneralData.empty());
    EXPECT_EQ(manager.SkinInfo(), "N/A");
    EXPECT_FALSE(SkinHookInstalled());
    EXPECT_EQ(PopupWindowList(), nullptr);
    EXPECT_EQ(LiveProviderCount(), 0) << "every provider of the hook freed";
    EXPECT_TRUE(ProviderList().empty());
    EXPECT_EQ(TsSkinProvider::Of(other), nullptr) << "with the form provider it made";

    // Switched on again: the stored name loads and is announced.
    form->Seen.clear();
    manager.SetActive(true);
    EXPECT_EQ(form->Commands(), (std::vector<int>{cmdSkinChanged, cmdSkinChangeDone, cmdRefresh}));
}

TEST_F(SkinBroadcast, AFormThatAnswersAsSkinnedIsToldOnlyThroughTheSkinnedList)
{
    struct TSkinnedForm : TRecordingForm {
        using TRecordingForm::TRecordingForm;
        void WndProc(TMessage& m) override
        {
            if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdIsSkinned) {
                m.Result = 1;
                return;
            }
            TRecordingForm::WndProc(m);
        }
    };
    auto* skinned = TForm::Create<TSkinnedForm>(Application);
    skinned->HandleNeeded();
    TsSkinManager manager(nullptr);
    manager.SetSkinDirectory(skins.Root());
    manager.SetSkinName("Plain");
    EXPECT_TRUE(skinned->Seen.empty());

    // Listed (as a provider lists its form) it hears every broadcast once.
    AddSkinnedForm(skinned);
    AddSkinnedForm(skinned);
    EXPECT_EQ(SkinnedForms().size(), 1u);
    skinned->Seen.clear();
    manager.RepaintForms();
    EXPECT_EQ(skinned->Commands(), (std::vector<int>{cmdSkinChangeDone, cmdRefresh}));
    RemoveSkinnedForm(skinned);
    EXPECT_TRUE(SkinnedForms().empty());
}

TEST_F(SkinBroadcast, TheHotControlHearsEnterAndLeaveOnce)
{
    auto* a = TForm::Create<TRecordingForm>(Application);
    auto* b = TForm::Create<TRecordingForm>(Application);
    TsSkinManager manager(nullptr);
    manager.SetActiveControl(a->Handle());
    manager.SetActiveControl(a->Handle());
    EXPECT_EQ(a->Seen, (std::vector<std::pair<int, LPARAM>>{{cmdMouseEnter, Of(&manager)}}));
    manager.SetActiveControl(b->Handle());
    EXPECT_EQ(a->Commands(), (std::vector<int>{cmdMouseEnter, cmdMouseLeave}));
    EXPECT_EQ(b->Commands(), (std::vector<int>{cmdMouseEnter}));
    manager.SetActiveControl(nullptr);
    EXPECT_EQ(b->Commands(), (std::vector<int>{cmdMouseEnter, cmdMouseLeave}));
    EXPECT_EQ(manager.ActiveControl(), nullptr);
}

TEST_F(SkinBroadcast, SkinnedFormsAreFrozenForAChangeUnlessTheMainFormIsMinimised)
{
    auto* main = TForm::Create<TForm>(Application);
    Application->SetMainForm(main);
    auto* form = TForm::Create<TForm>(Application);
    form->Show();
    auto* provider = new TsSkinProvider(form);
    TsSkinManager manager(nullptr);
    ASSERT_EQ(provider->SkinManager(), &manager);
    ASSERT_EQ(SkinnedForms(), std::vector<TForm*>{form});

    LockForms(&manager);
    EXPECT_TRUE(provider->Locked());
    UnlockForms(&manager, true);
    EXPECT_FALSE(provider->Locked());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));

    // A hidden form is left alone, and stays hidden.
    form->Hide();
    LockForms(&manager);
    EXPECT_FALSE(provider->Locked());
    UnlockForms(&manager, true);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    form->Show();

    ShowWindow(main->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(main->Handle()));
    LockForms(&manager);
    EXPECT_FALSE(provider->Locked());
    provider->SetLocked(true);
    UnlockForms(&manager, true);
    EXPECT_TRUE(provider->Locked());
    ShowWindow(main->Handle(), SW_RESTORE);

    // A freed provider takes its form out of the list.
    delete provider;
    EXPECT_TRUE(SkinnedForms().empty());
    Application->SetMainForm(nullptr);
}

TEST_F(SkinBroadcast, TheApplicationWindowsActivationReachesEveryFormAndThemeChangesStopThere)
{
    std::vector<UINT> later;
    const int id = Application->HookMainWindow([&later](TMessage& m) {
        if (m.Msg == CM_ACTIVATE || m.Msg == WM_THEMECHANGED) later.push_back(m.Msg);
        return false;
    });
    auto* form = TForm::Create<TRecordingForm>(Application);
    form->HandleNeeded();
    {
        TsSkinManager manager(nullptr); // the default manager hooks the application window
        SendMessageA(Application->AppWindow(), CM_ACTIVATE, 0, 0);
        EXPECT_EQ(form->Seen, (std::vector<std::pair<int, LPARAM>>{{18, 0}}));
        SendMessageA(Application->AppWindow(), WM_THEMECHANGED, 0, 0);
        EXPECT_EQ(later, std::vector<UINT>{CM_ACTIVATE}); // the theme change was swallowed

        // Without skinned popups the manager leaves the window's messages alone.
        manager.SetSkinnedPopups(false);
        form->Seen.clear();
        SendMessageA(Application->AppWindow(), CM_ACTIVATE, 0, 0);
        EXPECT_TRUE(form->Seen.empty());
    }
    // Gone (having told the form to drop its skin), the manager no longer hooks the window.
    EXPECT_EQ(form->Commands(), std::vector<int>{cmdRemoveSkin});
    form->Seen.clear();
    later.clear();
    SendMessageA(Application->AppWindow(), CM_ACTIVATE, 0, 0);
    SendMessageA(Application->AppWindow(), WM_THEMECHANGED, 0, 0);
    EXPECT_TRUE(form->Seen.empty());
    EXPECT_EQ(later, (std::vector<UINT>{CM_ACTIVATE, WM_THEMECHANGED}));
    Application->UnhookMainWindow(id);
}
