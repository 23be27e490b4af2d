// The skinned labels under the probe skins: the font colour from the nearest opaque section
// (panel, form, group box, transparent parents), their own colour without UseSkinColor, the
// disabled blend, a section behind the text, the skin's removal, the effect label's margins and
// blur buffer, the mouse events, and the caption a driver reads.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Automation.h"
#include "gui/StdCtrls.h"
#include "gui/base/MemIniFile.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/tests/ProbeSkinForm.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sSkinFiles.h"

using namespace probeform;

namespace {

RECT Bounds(TControl* c) { return c->BoundsRect(); }

class SkinnedLabels : public ProbeSkinned {
protected:
    void SetUp() override
    {
        ProbeSkinned::SetUp();
        panel = Place<TsPanel>(10, 10, 200, 80);
        panel->SkinData().SetSkinSection("PANEL");
    }
    TsLabel* Label(const char* caption, TWinControl* parent, int left = 8, int top = 8)
    {
        auto* l = Place<TsLabel>(left, top, 10, 10, parent);
        l->SetName(std::string("L") + std::to_string(++labels));
        l->SetCaption(caption);
        return l;
    }
    // The form answers the labels' question for its section (command 26) as a skinned form's
    // provider does.
    void FormAnswersItsSection()
    {
        form->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) {
            if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdGetSkinIndex && m.LParam) {
                *reinterpret_cast<int*>(m.LParam) = manager->GetSkinIndex("FORM");
                return;
            }
            inherited(m);
        });
    }
    TsPanel* panel = nullptr;
    int labels = 0;
};

} // namespace

TEST_F(SkinnedLabels, TextTakesTheFontColourOfTheNearestOpaqueSection)
{
    FormAnswersItsSection();
    TsLabel* onPanel = Label("Bediener", panel);
    TsLabel* onForm = Label("Kasse", form, 10, 270);
    auto* group = Place<TGroupBox>(220, 10, 200, 80);
    TsLabel* inGroup = Label("Menge", group, 10, 30);
    TsLabel* own = Label("Eigen", panel, 8, 40);
    own->SetUseSkinColor(false);
    own->Font().SetColor(clRed);
    UseSkin("Probe");

    EXPECT_GT(CountColor(panel->Handle(), Bounds(onPanel), RGBOf(Colors("PANEL").FontColor)), 0);
    EXPECT_GT(CountColor(form->Handle(), Bounds(onForm), RGBOf(Colors("FORM").FontColor)), 0);
    // A plain group box tells no section: the skin's global font colour, painted by the box.
    EXPECT_GT(CountColor(group->Handle(), Bounds(inGroup), RGBOf(Colors("GLOBALINFO").FontColor)), 0);
    EXPECT_GT(CountColor(panel->Handle(), Bounds(own), RGB(255, 0, 0)), 0);
    EXPECT_EQ(own->Font().Color(), clRed);

    // A driver reads the caption skinned and plain.
    EXPECT_EQ(QueryControl(form->Handle(), onPanel->Name().c_str()).caption, "Bediener");
    RemoveSkin();
    EXPECT_EQ(onPanel->Font().Color(), clWindowText);
    EXPECT_EQ(onForm->Font().Color(), clWindowText);
    EXPECT_GT(CountColor(form->Handle(), Bounds(onForm), GetSysColor(COLOR_WINDOWTEXT)), 0);
    EXPECT_EQ(QueryControl(form->Handle(), onForm->Name().c_str()).caption, "Kasse");
}

TEST_F(SkinnedLabels, ParentsAllMoreThanHalfTransparentGiveTheGlobalFontColour)
{
    TsLabel* label = Label("Bediener", panel);
    UseSkin("ProbeTransparent100");
    EXPECT_GT(CountColor(panel->Handle(), Bounds(label), RGBOf(Colors("GLOBALINFO", "ProbeTransparent100").FontColor)),
              0);
    UseSkin("ProbeTransparent50"); // half transparent is opaque enough
    EXPECT_GT(CountColor(panel->Handle(), Bounds(label), RGBOf(Colors("PANEL", "ProbeTransparent50").FontColor)), 0);
}

TEST_F(SkinnedLabels, DisabledTextIsFourTenthsFontColourOverTheParentsColour)
{
    TsLabel* label = Label("Bediener", panel);
    label->SetEnabled(false);
    UseSkin("Probe");
    const TColor expected = BlendColors(Colors("PANEL").FontColor, Colors("PANEL").Color, 0.4);
    EXPECT_GT(CountColor(panel->Handle(), Bounds(label), RGBOf(expected)), 0);
    EXPECT_EQ(CountColor(panel->Handle(), Bounds(label), GetSysColor(COLOR_BTNSHADOW)), 0); // not embossed
}

TEST_F(SkinnedLabels, ASectionBehindTheTextColoursItAndIndexZeroPaintsNoBackground)
{
    TsLabel* button = Label("Knopf", panel);
    button->SetSkinSection("button");
    TsLabel* global = Label("Global", panel, 8, 40);
    global->SetSkinSection("GLOBALINFO"); // the first section of the probe skins
    UseSkin("Probe");
    ASSERT_EQ(manager->GetSkinIndex("GLOBALINFO"), 0);
    const skintest::TTestImage image = skintest::ProbeImage("Probe", "BUTTON", "BORDERSMASK");
    EXPECT_GT(CountColor(panel->Handle(), Bounds(button), RGBOf(skintest::ProbePiece(image, 0, 1))), 0);
    EXPECT_GT(CountColor(panel->Handle(), Bounds(button), RGBOf(Colors("BUTTON").Color)), 0);
    EXPECT_GT(CountColor(panel->Handle(), Bounds(button), RGBOf(Colors("BUTTON").FontColor)), 0);
    EXPECT_GT(CountColor(panel->Handle(), Bounds(global), RGBOf(Colors("GLOBALINFO").FontColor)), 0);
    // Beside the text the label shows what the panel shows beside the label.
    const RECT b = Bounds(global);
    EXPECT_EQ(ClientPixel(panel->Handle(), b.right - 1, b.top), ClientPixel(panel->Handle(), b.right + 2, b.top));
}

namespace {
struct MarginCase {
    int distance, blur, low, high;
};
} // namespace

TEST_F(SkinnedLabels, EffectLabelGrowsByItsMargins)
{
    TsLabel* plain = Label("Initialisierung", host, 8, 200);
    const MarginCase cases[] = {{1, 4, -3, 5}, {0, 2, -2, 2}, {5, 2, 0, 7}, {-3, 1, -4, 0}, {2, 0, 0, 0}};
    for (const MarginCase& c : cases) {
        auto* fx = Place<TsLabelFX>(8, 220, 10, 10);
        fx->Shadow().SetMode(smCustom);
        fx->Shadow().SetDistance(c.distance);
        fx->Shadow().SetBlurCount(c.blur);
        fx->SetCaption("Initialisierung");
        const int grow = c.high - c.low;
        EXPECT_EQ(fx->Width(), plain->Width() + grow) << c.distance << " " << c.blur;
        EXPECT_EQ(fx->Height(), plain->Height() + grow) << c.distance << " " << c.blur;
        if (c.blur > 0) {
            EXPECT_EQ(fx->MarginLow(), c.low);
            EXPECT_EQ(fx->MarginHigh(), c.high);
        }
        fx->Free();
    }
}

TEST_F(SkinnedLabels, EffectValuesFromTheSkinAndTheBlurBufferStayInBounds)
{
    auto* fx = Place<TsLabelFX>(8, 200, 10, 10);
    fx->Kind().SetKindType(ktCustom);
    fx->Kind().SetColor(static_cast<TColor>(RGB(250, 240, 10)));
    fx->SetCaption("Initialisierung");
    // The probe skin sets no SHADOW1BLUR (65535): the label's own shadow, distance 1, blur 4.
    UseSkin("Probe");
    fx->SetCaption("Initialisierung ");
    Settle();
    EXPECT_EQ(fx->MarginLow(), -3);
    EXPECT_EQ(fx->MarginHigh(), 5);
    EXPECT_GT(CountColor(host->Handle(), Bounds(fx), RGB(250, 240, 10)), 0);
    EXPECT_GE(fx->BlurBufferSize(), 2u * (fx->Width() + 2) * (fx->Height() + 2));

    // SHADOW1BLUR 3 and SHADOW1OFFSET 2; then a skin whose blur would make a label thousands
    // of pixels wide: taken as 64.
    UseSkin("Colors");
    fx->SetCaption("Initialisierung");
    EXPECT_EQ(fx->MarginLow(), -1);
    EXPECT_EQ(fx->MarginHigh(), 5);
    TStringList lines;
    lines.SetText("[GLOBALINFO]\nSHADOW1BLUR=60000\nSHADOW1OFFSET=0\nFONTCOLOR=0\n[PANEL]\nCOLOR=0\n");
    TsFolderImages none("");
    manager->LoadSkinTables(TMemIniFile(lines), none, "");
    fx->SetCaption(std::string(1000, 'W'));
    EXPECT_EQ(fx->MarginLow(), -64);
    EXPECT_EQ(fx->MarginHigh(), 64);
    Settle();
    EXPECT_GE(fx->BlurBufferSize(), 2u * (fx->Width() + 2) * (fx->Height() + 2));
}

TEST(EffectLabelBlur, OneLitCellSpreadsRowByRow)
{
    std::vector<uint8_t> buffer;
    BlurShadowCells(buffer, 3, 1, 1, {0, 1, 0});
    ASSERT_EQ(buffer.size(), 30u); // twice 5 x 3 cells
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 5, buffer.begin() + 10), (std::vector<uint8_t>{0, 63, 15, 3, 0}));
    BlurShadowCells(buffer, 1, 1, 0, {1}); // a smaller one reuses the buffer, its cells zeroed
    EXPECT_EQ(buffer.size(), 30u);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 18), std::vector<uint8_t>(18, 0));
}

TEST_F(SkinnedLabels, MouseEnterAndLeaveFireOnceEach)
{
    TsLabel* label = Label("Bediener", panel);
    std::vector<std::string> seen;
    label->OnMouseEnter = [&](TObject*) { seen.push_back("enter"); };
    label->OnMouseLeave = [&](TObject*) { seen.push_back("leave"); };
    const RECT b = Bounds(label);
    SendMessageA(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(b.left + 2, b.top + 2));
    SendMessageA(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(b.left + 3, b.top + 3));
    SendMessageA(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(b.right + 20, b.bottom + 20));
    EXPECT_EQ(seen, (std::vector<std::string>{"enter", "leave"}));
}
