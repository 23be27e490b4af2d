// Fades on a skinned control with the fading probe skin (FADINGITERATIONS 10): the frames
// command 24 brings, what the window shows, the end (command 16), the cases that repaint at
// once, the frame counts a skin may give, and the end of the session.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "skin/windows/sSkinProvider.h"
#include "skin/windows/tests/ProbeRig.h"
#include "tests/support/HandleCount.h"
#include "tests/support/WindowProbes.h"

namespace {

// Each byte (new x (255 - weight) + old x weight + 127) >> 8.
COLORREF Blend(COLORREF oldColor, COLORREF newColor, int weight)
{
    COLORREF c = 0;
    for (int shift : {0, 8, 16})
        c |= (((newColor >> shift & 0xFF) * (255 - weight) + (oldColor >> shift & 0xFF) * weight + 127) >> 8) << shift;
    return c;
}

class Fade : public TProbeSkinTest {
protected:
    void SetUp() override
    {
        LoadProbeSkin("ProbeFading");
        button = &manager->GeneralData[static_cast<size_t>(manager->GetSkinIndex("BUTTON"))];
        form = NewForm(40, 40, 300, 120);
        probe = Probe(10);
    }
    void TearDown() override
    {
        StopAllFades();
        SetFadesSuppressed(false);
        TProbeSkinTest::TearDown();
        EXPECT_EQ(FadeTimerCount(), 0);
    }
    TProbeControl* Probe(int left)
    {
        auto* p = new TProbeControl(form);
        p->SetParent(form);
        p->SetBounds(left, 10, 40, 30);
        EXPECT_TRUE(testrig::PumpUntil([&] { return p->WindowCentre() == p->StateColor(0); }));
        return p;
    }
    // A new state; the fade runs to its end.
    void FadeTo(int state, bool fast)
    {
        probe->Frames.clear();
        probe->Ends = 0;
        probe->Change(state, fast);
        ASSERT_TRUE(testrig::PumpUntil([&] { return probe->Ends == 1 && FadeTimerCount() == 0; }));
    }
    TsGeneralData* button = nullptr;
    TForm* form = nullptr;
    TProbeControl* probe = nullptr;
};

} // namespace

TEST_F(Fade, FramesBlendFromTheOldLookToTheNewAndTheEndComesAfterTheLast)
{
    const COLORREF normal = probe->StateColor(0), hot = probe->StateColor(1);
    FadeTo(1, false);
    EXPECT_EQ(probe->Fade, nullptr);
    const std::vector<int> weights{230, 204, 179, 153, 127, 102, 76, 51, 25, 0};
    ASSERT_EQ(probe->Frames.size(), weights.size());
    ASSERT_EQ(probe->Shown.size(), 11u);
    EXPECT_EQ(probe->Shown[0], normal);
    // Before each frame the window shows the one before; after the tenth, the new look.
    for (size_t k = 0; k < 10; ++k) {
        EXPECT_EQ(probe->Frames[k], Blend(normal, hot, weights[k])) << "frame " << k + 1;
        EXPECT_EQ(probe->Shown[k + 1], probe->Frames[k]);
        EXPECT_GE(GetBValue(probe->Shown[k + 1]), GetBValue(probe->Shown[k]));
    }
    EXPECT_EQ(probe->Shown[10], hot);
    FadeTo(2, true); // a press: half the frames
    ASSERT_EQ(probe->Frames.size(), 5u);
    for (size_t k = 0; k < 5; ++k)
        EXPECT_EQ(probe->Frames[k], Blend(hot, probe->StateColor(2), weights[2 * k + 1]));
}

TEST_F(Fade, WithoutFadingOrDuringASkinChangeTheControlRepaintsAtOnce)
{
    button->FadingIterations = 1000; // still running below
    probe->Change(1, false);
    ASSERT_TRUE(testrig::PumpUntil([&] { return probe->Frames.size() >= 2; }));
    ASSERT_EQ(FadeTimerCount(), 1);
    button->FadingEnabled = false;
    probe->Change(0, false); // the running fade stops
    EXPECT_EQ(FadeTimerCount(), 0);
    EXPECT_EQ(probe->WindowCentre(), probe->StateColor(0));
    button->FadingEnabled = true;
    SkinChanging = true;
    probe->Change(1, false);
    SkinChanging = false;
    EXPECT_EQ(probe->Fade, nullptr);
    EXPECT_EQ(probe->WindowCentre(), probe->StateColor(1));
}

TEST_F(Fade, AFrameTheControlDrawsItselfOrOfAnotherSizeLeavesTheOldLook)
{
    probe->FrameAnswer = 1; // the timer copies nothing
    FadeTo(1, false);
    EXPECT_EQ(probe->Frames.size(), 10u);
    EXPECT_EQ(probe->Shown, std::vector<COLORREF>(11, probe->StateColor(0)));
    probe->FrameAnswer = 0;
    probe->SetBounds(10, 10, 60, 30); // the cache keeps its old size until the next paint
    FadeTo(0, false);
    EXPECT_EQ(probe->Frames, std::vector<COLORREF>(10, probe->StateColor(1)));
}

TEST_F(Fade, StoppingAllFadesFreesThemAtOnceAlsoWhenTheyCannotEnd)
{
    TProbeControl* other = Probe(60);
    button->FadingIterations = 1000; // still running when disabled
    other->Change(1, false);
    ASSERT_TRUE(testrig::PumpUntil([&] { return other->Frames.size() >= 2; }));
    other->SetEnabled(false); // the next tick stops its timer and repaints it
    const size_t frames = other->Frames.size();
    ASSERT_TRUE(testrig::PumpUntil([&] { return !other->Fade->Enabled(); }));
    MessageHost::Pump(50);
    EXPECT_EQ(other->Frames.size(), frames);
    EXPECT_EQ(other->Ends, 0);
    EXPECT_EQ(other->WindowCentre(), other->StateColor(1));
    probe->Change(1, false);
    StopAllFades();
    EXPECT_EQ(FadeTimerCount(), 0);
    EXPECT_EQ(probe->Fade, nullptr);
    EXPECT_EQ(other->Fade, nullptr);
    MessageHost::Pump(50); // the stopped fade's control repaints in its new look
    EXPECT_EQ(probe->WindowCentre(), probe->StateColor(1));
    // The form's provider at the end of the session: no fade lives on or starts until the
    // session goes on after all.
    new TsSkinProvider(form);
    probe->Change(0, false);
    SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_EQ(FadeTimerCount(), 0);
    EXPECT_EQ(probe->Fade, nullptr);
    probe->Change(1, false);
    EXPECT_EQ(probe->Fade, nullptr);
    SendMessageA(form->Handle(), WM_ENDSESSION, 0, 0);
    EXPECT_FALSE(FadesSuppressed());
}

TEST_F(Fade, FrameCountsOfNoneOrBelowEndAtTheFirstTickAndHugeOnesOnlyLast)
{
    const struct {
        int iterations;
        bool fast;
        size_t frames;
    } cases[] = {{0, false, 0}, {-4, false, 0}, {1, true, 0}, {1, false, 1}, {3, true, 1}};
    for (const auto& c : cases) {
        button->FadingIterations = c.iterations;
        FadeTo(1 - probe->State, c.fast);
        EXPECT_EQ(probe->Frames.size(), c.frames) << c.iterations;
        EXPECT_EQ(probe->WindowCentre(), probe->StateColor(probe->State)) << c.iterations;
    }
    for (int huge : {1000000, INT_MAX}) {
        button->FadingIterations = huge;
        probe->Frames.clear();
        probe->Change(1 - probe->State, false);
        ASSERT_TRUE(testrig::PumpUntil([&] { return probe->Frames.size() >= 2; }));
        EXPECT_EQ(probe->Frames[1], probe->StateColor(1 - probe->State)); // still the old look
        StopFade(probe->Fade);
    }
}

TEST_F(Fade, GlobalDefaultsFollowTheManagersButtonEvents)
{
    const unsigned global = 1u << aeGlobalDef;
    manager->AnimEffects().ButtonEvents = TvxAnimEffects::beMouseDown;
    EXPECT_TRUE(AnimEventEnabled(aeMouseDown, global, nullptr));
    EXPECT_FALSE(AnimEventEnabled(aeMouseUp, global, manager));
    manager->AnimEffects().ButtonEvents = TvxAnimEffects::beMouseUp;
    EXPECT_TRUE(AnimEventEnabled(aeMouseUp, global, nullptr));
    EXPECT_FALSE(AnimEventEnabled(aeMouseDown, global, nullptr));
    EXPECT_TRUE(AnimEventEnabled(aeMouseDown, 1u << aeMouseDown, nullptr));
    EXPECT_FALSE(AnimEventEnabled(aeMouseUp, 1u << aeMouseLeave, nullptr));
}

TEST_F(Fade, AThousandFadesLeaveNoHandleBehind)
{
    button->FadingIterations = 1;
    std::vector<TProbeControl*> probes{probe};
    for (int i = 1; i < 10; ++i)
        probes.push_back(Probe(10 + 26 * i));
    const auto round = [&] {
        for (TProbeControl* p : probes)
            p->Change(1 - p->State, false);
        return testrig::PumpUntil([&] { return FadeTimerCount() == 0; });
    };
    ASSERT_TRUE(round());
    const THandleCount before = THandleCount::Now();
    for (int r = 0; r < 100; ++r)
        ASSERT_TRUE(round()) << "round " << r;
    EXPECT_EQ(THandleCount::Now(), before);
    EXPECT_EQ(probe->Ends, 101);
}
