#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "register/core/UDebugHold.h"

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

struct Registered {
    explicit Registered(IDebugWindow* w) { SetDebugWindow(w); }
    ~Registered() { SetDebugWindow(nullptr); }
};

} // namespace

TEST(DebugHold, WithoutAWindowEverySwitchIsOffAndCommandsPass)
{
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
