// Moving between the controls of a form with the keyboard: Tab and Shift+Tab in tab order,
// radio groups entered on their checked button and walked with the arrow keys, while Enter
// and Esc still reach the controls and forms that handle them.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/Automation.h"
#include "gui/tests/TestForms.h"

namespace {

// Types keys as the user does (SendInput) and handles messages until the last key's release
// has been taken from the queue; a hook on the thread's message retrieval sees it go by.
class TKeyboard {
public:
    TKeyboard()
    {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_GETMESSAGE, HookProc, nullptr, GetCurrentThreadId());
    }
    ~TKeyboard()
    {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    TKeyboard(const TKeyboard&) = delete;
    TKeyboard& operator=(const TKeyboard&) = delete;

    // Presses and releases a key, with Shift held around it when asked; false on the hang guard.
    bool Press(WORD vk, bool shift = false)
    {
        std::vector<INPUT> in;
        auto add = [&](WORD key, bool up) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = key;
            i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
            i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            in.push_back(i);
        };
        if (shift) add(VK_SHIFT, false);
        add(vk, false);
        add(vk, true);
        if (shift) add(VK_SHIFT, true);
        lastUp_ = shift ? VK_SHIFT : vk;
        seen_ = false;
        if (SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) != in.size()) return false;
        for (int i = 0; i < 500 && !seen_; ++i) {
            Application->ProcessMessages();
            if (!seen_) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        Application->ProcessMessages(); // what the keys posted in turn
        return seen_;
    }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam)
    {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && current_ && msg->message == WM_KEYUP &&
            msg->wParam == current_->lastUp_)
            current_->seen_ = true;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline TKeyboard* current_ = nullptr;
    HHOOK hook_ = nullptr;
    WPARAM lastUp_ = 0;
    bool seen_ = false;
};

// The component name of the window with the focus. Read in the process, not through its name
// atom: the atom is spelt as the first program on the desktop spelt it.
std::string FocusName()
{
    TWinControl* control = TWinControl::FromHandle(GetFocus());
    return control ? control->Name() : std::string();
}

using Names = std::vector<std::string>;

// Presses a key a number of times and notes where the focus is after each.
Names Walk(TKeyboard& keys, WORD vk, bool shift, size_t count)
{
    Names names;
    for (size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(keys.Press(vk, shift));
        names.push_back(FocusName());
    }
    return names;
}

class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
        form = TForm::Create<TTabForm>(Application);
        form->Show();
        SetForegroundWindow(form->Handle());
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        form->Free();
        Application->OnException = nullptr;
        EXPECT_TRUE(errors.empty());
    }
    TWinControl* Control(const char* name) { return dynamic_cast<TWinControl*>(form->FindComponent(name)); }
    // Focuses a control and checks that it has the focus.
    void Focus(const char* name)
    {
        Control(name)->SetFocus();
        ASSERT_EQ(FocusName(), name);
    }
    Names Walk(WORD vk, bool shift, size_t count) { return ::Walk(keys, vk, shift, count); }
    TTabForm* form = nullptr;
    TKeyboard keys;
    std::vector<std::string> errors;
};

TEST_F(NavigationTest, TabFollowsTabOrderThroughPanelsSkippingWhatCannotTakeTheFocus)
{
    Focus("OkButton");
    // Hidden, disabled, TabStop = False and the edit in the disabled panel are passed over;
    // the radio group is one stop, on its checked button; after the memo it wraps around.
    EXPECT_EQ(Walk(VK_TAB, false, 7),
              (Names{"NameEdit", "PinEdit", "CardRadio", "SumEdit", "NoteMemo", "OkButton", "NameEdit"}));
    // Tab moved the focus and typed nothing.
    EXPECT_EQ(form->editKeys, "");
    EXPECT_EQ(WindowText(Control("NoteMemo")->Handle()), "");
}

TEST_F(NavigationTest, ShiftTabGoesBackwardsAndWrapsAround)
{
    Focus("NameEdit");
    EXPECT_EQ(Walk(VK_TAB, true, 7),
              (Names{"OkButton", "NoteMemo", "SumEdit", "CardRadio", "PinEdit", "NameEdit", "OkButton"}));
}

TEST_F(NavigationTest, TabFromTheFormItselfEntersItsFirstOrLastControl)
{
    SetFocus(form->Handle());
    ASSERT_EQ(GetFocus(), form->Handle());
    ASSERT_TRUE(keys.Press(VK_TAB));
    EXPECT_EQ(FocusName(), "OkButton");
    SetFocus(form->Handle());
    ASSERT_TRUE(keys.Press(VK_TAB, true));
    EXPECT_EQ(FocusName(), "NoteMemo");
}

TEST_F(NavigationTest, ControlsShownEnabledOrMadeTabStopsLaterAreVisited)
{
    Control("HiddenEdit")->Show();
    Control("OffButton")->SetEnabled(true);
    Control("DisabledPanel")->SetEnabled(true);
    Control("NoStopButton")->SetTabStop(true);
    Focus("PinEdit");
    EXPECT_EQ(Walk(VK_TAB, false, 7),
              (Names{"HiddenEdit", "OffButton", "CardRadio", "SumEdit", "NoStopButton", "NoteMemo", "InnerEdit"}));
    // A control out of sight with its panel is skipped as well.
    Control("LeftPanel")->Hide();
    Focus("OkButton");
    EXPECT_EQ(Walk(VK_TAB, false, 1), (Names{"CardRadio"}));
}

TEST_F(NavigationTest, RadioGroupIsEnteredOnItsCheckedButtonAndWalkedWithArrows)
{
    auto* cash = static_cast<TRadioButton*>(Control("CashRadio"));
    auto* card = static_cast<TRadioButton*>(Control("CardRadio"));
    auto* voucher = static_cast<TRadioButton*>(Control("VoucherRadio"));
    Focus("PinEdit");
    EXPECT_EQ(Walk(VK_TAB, false, 1), (Names{"CardRadio"}));
    // Down and Right go on in tab order, Up and Left back, wrapping; each checks its button.
    EXPECT_EQ(Walk(VK_DOWN, false, 2), (Names{"VoucherRadio", "CashRadio"}));
    EXPECT_TRUE(cash->Checked());
    EXPECT_FALSE(card->Checked());
    EXPECT_FALSE(voucher->Checked());
    EXPECT_EQ(SendMessageA(cash->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Walk(VK_LEFT, false, 1), (Names{"VoucherRadio"}));
    EXPECT_EQ(Walk(VK_UP, false, 1), (Names{"CardRadio"}));
    EXPECT_EQ(Walk(VK_RIGHT, false, 1), (Names{"VoucherRadio"}));
    EXPECT_TRUE(voucher->Checked());
    EXPECT_FALSE(cash->Checked());
    // Tab leaves the group at once; coming back lands on the button now checked.
    EXPECT_EQ(Walk(VK_TAB, false, 1), (Names{"SumEdit"}));
    EXPECT_EQ(Walk(VK_TAB, true, 1), (Names{"VoucherRadio"}));
    EXPECT_EQ(Walk(VK_TAB, true, 1), (Names{"PinEdit"}));
    // Arrows outside a radio group stay with the control (the caret moves in the edit).
    SetWindowTextA(Control("PinEdit")->Handle(), "1234");
    SendMessageA(Control("PinEdit")->Handle(), EM_SETSEL, 4, 4);
    EXPECT_EQ(Walk(VK_LEFT, false, 1), (Names{"PinEdit"}));
    DWORD start = 0;
    SendMessageA(Control("PinEdit")->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(start, 3u);
    // With no button checked, the group is entered on its first one.
    voucher->SetChecked(false);
    EXPECT_EQ(Walk(VK_TAB, false, 1), (Names{"CashRadio"}));
}

TEST_F(NavigationTest, EnterAndEscStillReachTheControlAndTheForm)
{
    Focus("SumEdit");
    ASSERT_TRUE(keys.Press('7'));
    ASSERT_TRUE(keys.Press(VK_RETURN));
    EXPECT_EQ(form->editKeys, "7\r");
    ASSERT_TRUE(keys.Press(VK_ESCAPE));
    EXPECT_EQ(form->editKeys, "7\r\x1b");
    EXPECT_EQ(FocusName(), "SumEdit");
    // The form with the focus gets Esc and Enter in its own key handlers.
    SetFocus(form->Handle());
    ASSERT_TRUE(keys.Press(VK_ESCAPE));
    ASSERT_TRUE(keys.Press(VK_RETURN));
    EXPECT_EQ(form->formKeys, "\x1b\r");
    EXPECT_EQ(form->formKeyDowns, (std::vector<WORD>{VK_ESCAPE, VK_RETURN}));
    EXPECT_TRUE(form->Visible());
}

// A Default button answers Enter on its form, a Cancel button Esc; a memo keeps Enter.
TEST_F(NavigationTest, DefaultAndCancelButtonsAnswerEnterAndEsc)
{
    auto* ok = static_cast<TButton*>(Control("OkButton"));
    auto* cancel = new TButton(form);
    cancel->SetParent(form);
    cancel->SetBounds(300, 300, 75, 25);
    std::vector<std::string> clicks;
    ok->OnClick = [&](TObject*) { clicks.push_back("ok"); };
    cancel->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
    ok->SetDefault(true);
    cancel->SetCancel(true);
    Focus("SumEdit");
    ASSERT_TRUE(keys.Press(VK_RETURN));
    ASSERT_TRUE(keys.Press(VK_ESCAPE));
    EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_EQ(form->editKeys, ""); // the edit got neither key
    EXPECT_EQ(FocusName(), "SumEdit");
    // A memo takes Enter for its new line.
    Focus("NoteMemo");
    ASSERT_TRUE(keys.Press(VK_RETURN));
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(static_cast<TMemo*>(Control("NoteMemo"))->Text(), "\r\n");
    // A disabled Default button does not answer.
    ok->SetEnabled(false);
    Focus("SumEdit");
    ASSERT_TRUE(keys.Press(VK_RETURN));
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(form->editKeys, "\r");
}

TEST_F(NavigationTest, MemoKeepsTabOnlyWhenItWantsTabs)
{
    auto* memo = static_cast<TMemo*>(Control("NoteMemo"));
    Focus("NoteMemo");
    ASSERT_TRUE(keys.Press(VK_TAB));
    EXPECT_EQ(FocusName(), "OkButton");
    memo->SetWantTabs(true);
    Focus("NoteMemo");
    ASSERT_TRUE(keys.Press('A'));
    ASSERT_TRUE(keys.Press(VK_TAB));
    ASSERT_TRUE(keys.Press(VK_TAB, true));
    EXPECT_EQ(FocusName(), "NoteMemo");
    EXPECT_EQ(memo->Text(), "a\t\t");
}

TEST_F(NavigationTest, TabWorksInsideAModalForm)
{
    form->Hide();
    TTimer steps(nullptr);
    steps.SetInterval(30);
    Names seen;
    int waits = 0;
    steps.OnTimer = [&](TObject*) {
        // Act only once the modal form has been activated: an activation arriving after the
        // focus was set would take the focus back to the form.
        if (GetActiveWindow() != form->Handle() && ++waits < 100) return;
        steps.SetEnabled(false);
        Focus("OkButton");
        seen = Walk(VK_TAB, false, 2);
        form->SetModalResult(mrOk);
    };
    steps.SetEnabled(true);
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(seen, (Names{"NameEdit", "PinEdit"}));
}

// Controls made in code, without TabOrder, are visited in creation order; setting TabOrder
// later moves a control there.
TEST(TabOrderTest, CreationOrderUntilTabOrderIsSet)
{
    auto* form = TForm::Create<TForm>(Application);
    form->SetBounds(80, 80, 300, 200);
    std::vector<TEdit*> edits;
    for (int i = 0; i < 3; ++i) {
        auto* e = new TEdit(form);
        e->SetName("Edit" + std::to_string(i));
        e->SetBounds(8, 8 + 30 * i, 100, 21);
        e->SetParent(form);
        edits.push_back(e);
    }
    form->Show();
    SetForegroundWindow(form->Handle());
    TKeyboard keys;
    edits[0]->SetFocus();
    EXPECT_EQ(Walk(keys, VK_TAB, false, 3), (Names{"Edit1", "Edit2", "Edit0"}));
    edits[2]->SetTabOrder(1);
    EXPECT_EQ(edits[0]->TabOrder(), 0);
    EXPECT_EQ(edits[2]->TabOrder(), 1);
    EXPECT_EQ(edits[1]->TabOrder(), 2);
    ASSERT_EQ(FocusName(), "Edit0");
    EXPECT_EQ(Walk(keys, VK_TAB, false, 3), (Names{"Edit2", "Edit1", "Edit0"}));
    form->Free();
}

} // namespace
