#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/base/SysUtils.h"
#include "register/core/UDebugHold.h"
#include "register/core/UFuncMon.h"
#include "register/core/URegisterCore.h"

using namespace UDebugHold;

namespace {

// The user at the debug window: after some rounds of waiting, presses "Send" (having
// edited the text) or closes the window.
class FakeDebugWindow : public IDebugWindow {
public:
    bool hash = false, ver = false, trans = false, manVer = false;
    int state = StateWaiting;
    bool visible = false;
    std::string sendText;
    int roundsUntilUser = 3;
    int rounds = 0;
    bool userCloses = false;
    std::string edit;

    bool GetCheckHash() const override { return hash; }
    bool GetCheckVer() const override { return ver; }
    bool GetCheckTrans() const override { return trans; }
    bool GetCheckManVer() const override { return manVer; }
    int GetState() const override { return state; }
    void ShowSendText(const std::string& text) override
    {
        visible = true;
        sendText = text;
        state = StateWaiting;
    }
    std::string GetSendText() const override { return sendText; }
    void HideWindow() override { visible = false; }
    void WaitRound() override
    {
        ++rounds;
        if (rounds < roundsUntilUser) return;
        if (userCloses) {
            state = StateClosed;
            visible = false;
        } else {
            sendText = edit;
            state = StateSent;
        }
    }
};

// The program's core with the window registered, as the debug window does at its creation.
struct Registered {
    TRegisterCore core;
    explicit Registered(IDebugWindow* w) { SetDebugWindow(w); }
};

} // namespace

TEST(DebugHold, WithoutAWindowEverySwitchIsOffAndCommandsPass)
{
    TRegisterCore core;
    EXPECT_FALSE(GetCheckHash());
    EXPECT_FALSE(GetCheckVer());
    EXPECT_FALSE(GetCheckTrans());
    EXPECT_FALSE(GetCheckManVer());
    EXPECT_EQ(HoldCommand(true, "80 40 00 00 "), "80 40 00 00 ");
}

TEST(DebugHold, SwitchesComeFromTheWindow)
{
    FakeDebugWindow w;
    Registered r(&w);
    w.hash = true;
    w.manVer = true;
    EXPECT_TRUE(GetCheckHash());
    EXPECT_FALSE(GetCheckVer());
    EXPECT_FALSE(GetCheckTrans());
    EXPECT_TRUE(GetCheckManVer());
}

TEST(DebugHold, SendReleasesTheEditedCommand)
{
    FakeDebugWindow w;
    Registered r(&w);
    w.edit = "80 40 00 00 01 FF 00 ";
    EXPECT_EQ(HoldCommand(true, "80 40 00 00 01 00 00 "), "80 40 00 00 01 FF 00 ");
    EXPECT_EQ(w.rounds, 3);
    EXPECT_FALSE(w.visible);
}

TEST(DebugHold, ClosingTheWindowSendsTheCommandAsBuilt)
{
    FakeDebugWindow w;
    Registered r(&w);
    w.userCloses = true;
    w.edit = "changed";
    EXPECT_EQ(HoldCommand(true, "80 44 00 00 "), "80 44 00 00 ");
    EXPECT_FALSE(w.visible);
}

TEST(DebugHold, SwitchOffShowsNothing)
{
    FakeDebugWindow w;
    Registered r(&w);
    EXPECT_EQ(HoldCommand(false, "80 40 00 00 "), "80 40 00 00 ");
    EXPECT_EQ(w.rounds, 0);
    EXPECT_FALSE(w.visible);
    EXPECT_EQ(w.sendText, "");
}

// The wait handles messages, so a second command may ask for the hold while one waits: it
// goes unchanged and the monitor says so; the first keeps its own edited text.
TEST(DebugHold, ASecondHoldWhileOneWaitsIsRefusedAndLogged)
{
    std::string inner;
    // The first round of the outer wait runs the inner hold, as a message handler would.
    class TReentrant : public FakeDebugWindow {
    public:
        std::string* inner = nullptr;
        void WaitRound() override
        {
            if (rounds == 0) *inner = HoldCommand(true, "80 44 00 00 02 AA BB 00 ");
            FakeDebugWindow::WaitRound();
        }
    } reentrant;
    Registered r(&reentrant);
    reentrant.inner = &inner;
    reentrant.edit = "80 40 00 00 01 FF 00 ";
    EXPECT_EQ(HoldCommand(true, "80 40 00 00 01 00 00 "), "80 40 00 00 01 FF 00 ");
    EXPECT_EQ(inner, "80 44 00 00 02 AA BB 00 ");
    EXPECT_EQ(UFuncMon::MonitorLog().Text(), NestedHoldLine);
    EXPECT_EQ(reentrant.rounds, 3);
    EXPECT_FALSE(reentrant.visible);
    // Once the first hold has ended, the next command is held again.
    reentrant.rounds = 0;
    reentrant.edit = "80 44 00 00 ";
    inner.clear();
    reentrant.inner = &inner;
    EXPECT_EQ(HoldCommand(true, "80 40 00 00 02 00 00 "), "80 44 00 00 ");
    EXPECT_EQ(inner, "80 44 00 00 02 AA BB 00 "); // nested once more, refused once more
    EXPECT_EQ(UFuncMon::MonitorLog().Text(), std::string(NestedHoldLine) + "\r\n" + NestedHoldLine);
}
