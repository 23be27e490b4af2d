// The skinned gauge under the probe skin: where the bar ends, what a repaint costs, the light
// and its end with the skin, the classic look without a skin, missing sections and light
// pictures, the text a driver reads; and no handle growth from the skinned controls.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/Automation.h"
#include "gui/base/MemIniFile.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/tests/ProbeSkinForm.h"
#include "skin/engine/sSkinFiles.h"
#include "tests/support/HandleCount.h"

using namespace probeform;
using skintest::ProbePiece;

namespace {

// Counts its paints.
class TCountingGauge : public TsGauge {
public:
    using TsGauge::TsGauge;
    void Paint(TCanvas& canvas) override
    {
        ++paints;
        TsGauge::Paint(canvas);
    }
    int paints = 0;
};

class SkinnedGauge : public ProbeSkinned {
protected:
    // A 200 x 30 gauge at (10, 10) of the host, not animated.
    template <class G = TsGauge> G* Gauge(int width = 200, int height = 30)
    {
        auto* g = Place<G>(10, 10, width, height);
        g->SetName("Progr");
        g->SetAnimated(false);
        return g;
    }
    // A pixel of the gauge, read in its parent.
    COLORREF At(int x, int y) { return ClientPixel(host->Handle(), 10 + x, 10 + y); }
    // A skin given as text, announced as UseSkin does.
    void UseSkinText(const char* text)
    {
        TStringList lines;
        lines.SetText(text);
        TsFolderImages none("");
        manager->LoadSkinTables(TMemIniFile(lines), none, "");
        manager->SendNewSkin(true);
        Settle();
    }
};

} // namespace

TEST(GaugeGeometry, BarLengthAndShownText)
{
    const struct {
        int percent, size, length;
    } lengths[] = {{37, 200, 74}, {100, 30, 30}, {1, 99, 0}, {1, 100, 1}, {50, 1, 0}, {0, 400, 0}};
    for (const auto& c : lengths)
        EXPECT_EQ(TsGauge::BarLength(c.percent, c.size), c.length) << c.percent << " of " << c.size;
    TsGauge g(nullptr);
    g.SetMaxValue(1000);
    g.SetProgress(250);
    EXPECT_EQ(g.ShownText(), "25%");
    g.SetCalcPercents(false);
    EXPECT_EQ(g.ShownText(), "250%");
    g.SetSuffix(" Belege");
    EXPECT_EQ(g.ShownText(), "250 Belege");
    EXPECT_EQ(g.Caption(), "25%"); // what a driver reads stays the percentage
}

TEST_F(SkinnedGauge, BarEndsAtItsLengthInTheProgressSectionOverTheGaugeSection)
{
    TsGauge* g = Gauge();
    g->SetProgress(37);
    UseSkin("Probe");
    const skintest::TTestImage bar = skintest::ProbeImage("Probe", "PROGRESSH", "BORDERSMASK");
    const int last = static_cast<int>(200 * 0.37) - 1;
    // Row 5: above the text, below the border images' top pieces (their middles are the
    // sections' colours).
    EXPECT_EQ(At(last, 5), RGBOf(ProbePiece(bar, 0, 5)));
    EXPECT_EQ(At(last - 10, 5), RGBOf(Colors("PROGRESSH").Color));
    EXPECT_EQ(At(last + 1, 5), RGBOf(Colors("GAUGE").Color));
    EXPECT_GT(CountColor(host->Handle(), RECT{10, 10, 210, 40}, RGBOf(Colors("GAUGE").FontColor)), 0);
    EXPECT_EQ(QueryControl(form->Handle(), "Progr").caption, "37%");
}

TEST_F(SkinnedGauge, ASameWholePercentRepaintsNothingButReportsEveryValue)
{
    auto* g = Gauge<TCountingGauge>();
    std::vector<int> changes;
    g->OnChange = [&](TObject*) { changes.push_back(g->Progress()); };
    g->SetMaxValue(300);
    UseSkin("Probe");
    g->SetProgress(1);
    UpdateWindow(host->Handle());
    g->paints = 0;
    g->SetProgress(2);
    UpdateWindow(host->Handle());
    EXPECT_EQ(g->paints, 0);
    g->SetProgress(3);
    UpdateWindow(host->Handle());
    EXPECT_EQ(g->paints, 1);
    EXPECT_EQ(changes, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(QueryControl(form->Handle(), "Progr").caption, "1%");
}

TEST_F(SkinnedGauge, LightSweepsTheBarAtOnePercentAndStopsWithTheSkin)
{
    TsGauge* g = Gauge();
    g->SetProgress(1); // a bar of 2 pixels
    UseSkin("Probe");
    const COLORREF unlit = At(1, 5);
    g->SetAnimated(true);
    ASSERT_TRUE(g->AnimationRunning());
    EXPECT_TRUE(testrig::PumpUntil([&] { return At(1, 5) != unlit; }, 300));
    RemoveSkin();
    EXPECT_FALSE(g->AnimationRunning());
    const int position = g->LightPosition();
    testrig::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(g->LightPosition(), position);
}

TEST_F(SkinnedGauge, WithoutTheLightPictureOrASectionItPaintsWhatItCan)
{
    UseSkin("Probe");
    // Twelve steps bring the light's brightest middle near column 20 of a 200 wide bar.
    auto afterTwelveSteps = [&](int top) {
        TsGauge* g = Place<TsGauge>(10, top, 200, 30);
        g->SetProgress(50);
        for (int i = 0; i < 12; ++i)
            g->AnimationTick();
        return ClientPixel(host->Handle(), 30, top + 5);
    };
    TsGauge* still = Gauge();
    still->SetProgress(50);
    Settle();
    const COLORREF unlit = At(20, 5);
    EXPECT_NE(afterTwelveSteps(50), unlit);
    const std::string before = SetGaugeLightResource("NOSUCH");
    EXPECT_EQ(afterTwelveSteps(90), unlit);
    SetGaugeLightResource("TSkinnedForm"); // a resource that is no PNG: the test's form description
    EXPECT_EQ(afterTwelveSteps(130), unlit);
    SetGaugeLightResource(before);

    // No progress section: the gauge section alone; no gauge section: the classic gauge.
    UseSkinText("[GAUGE]\nCOLOR=65280\n");
    EXPECT_EQ(At(20, 5), RGB(0, 255, 0));
    UseSkinText("[PROGRESSH]\nCOLOR=255\n");
    EXPECT_EQ(At(0, 0), RGB(0, 0, 0));  // the classic border
    EXPECT_EQ(At(20, 5), RGB(0, 0, 0)); // the classic bar in ForeColor
}

TEST_F(SkinnedGauge, ClassicVerticalBarLeavesTheTopRowAndInvertsTheText)
{
    TsGauge* g = Gauge(40, 60);
    g->SetKind(gkVerticalBar);
    g->SetBorderStyle(bsNone);
    g->SetForeColor(static_cast<TColor>(RGB(0x20, 0x40, 0x60)));
    g->SetProgress(100);
    Settle();
    EXPECT_EQ(At(3, 0), RGB(255, 255, 255));
    EXPECT_EQ(At(3, 1), RGB(0x20, 0x40, 0x60));
    EXPECT_GT(CountColor(host->Handle(), RECT{10, 10, 50, 70}, RGB(0xDF, 0xBF, 0x9F)), 0);
    EXPECT_EQ(QueryControl(form->Handle(), "Progr").caption, "100%");
}

TEST_F(SkinnedGauge, SkinnedControlsAndAnimatedStepsLeaveHandleCountsFlat)
{
    UseSkin("Probe");
    auto cycle = [&] {
        auto* label = Place<TsLabel>(10, 100, 60, 13);
        label->SetCaption("Bediener");
        auto* fx = Place<TsLabelFX>(10, 120, 60, 13);
        fx->SetCaption("Initialisierung");
        auto* edit = Place<TsEdit>(100, 100, 120, 24);
        edit->BoundLabel().SetActive(true);
        auto* gauge = Place<TsGauge>(100, 140, 200, 30);
        UpdateWindow(host->Handle());
        gauge->Free();
        edit->Free();
        fx->Free();
        label->Free();
    };
    for (int i = 0; i < 5; ++i)
        cycle();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_TRUE(THandleCount::Now().Near(before, 2)) << THandleCount::Now() << " / " << before;

    TsGauge* g = Gauge();
    g->SetAnimated(true);
    for (int i = 0; i < 200; ++i) // the light and the bar image are made once
        g->AnimationTick();
    const THandleCount steps = THandleCount::Now();
    for (int i = 0; i < 10000; ++i) {
        g->SetProgress(i % 100 + 1);
        g->AnimationTick();
    }
    EXPECT_TRUE(THandleCount::Now().Near(steps, 2)) << THandleCount::Now() << " / " << steps;
}
