// TSpeedButton: where it places glyph and caption, pressing, clicking and grouping by mouse
// messages from its parent, its plain look, and its properties by name.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "gui/Buttons.h"
#include "gui/Forms.h"
#include "gui/Published.h"

namespace {

TEST(SpeedButtonLayout, GlyphAndCaptionFollowLayoutMarginAndSpacing)
{
    struct Row {
        SIZE text;
        TButtonLayout layout;
        int margin, spacing;
        bool pressed;
        POINT glyph;
        RECT caption;
    };
    const Row rows[] = {
        {{20, 13}, blGlyphTop, -1, 4, false, {22, 3}, {20, 23, 40, 36}},
        {{20, 13}, blGlyphLeft, -1, 4, false, {10, 12}, {30, 13, 50, 26}},
        {{20, 13}, blGlyphRight, 2, 4, false, {42, 12}, {18, 13, 38, 26}},
        {{20, 13}, blGlyphBottom, 3, 4, true, {23, 22}, {21, 5, 41, 18}},
        {{0, 0}, blGlyphLeft, -1, 4, false, {22, 12}, {38, 20, 38, 20}}, // no caption: no spacing
    };
    for (const Row& r : rows) {
        const TSpeedButtonLayout l =
            LayoutSpeedButton(SIZE{60, 40}, SIZE{16, 16}, r.text, r.layout, r.margin, r.spacing, r.pressed);
        EXPECT_EQ(l.Glyph.x, r.glyph.x) << r.layout;
        EXPECT_EQ(l.Glyph.y, r.glyph.y) << r.layout;
        EXPECT_TRUE(EqualRect(&l.Text, &r.caption)) << r.layout << ": " << l.Text.left << "," << l.Text.top;
    }
}

class SpeedButtons : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = TForm::Create<TForm>(Application);
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        for (int i = 0; i < 3; ++i) {
            buttons[i] = new TSpeedButton(form);
            buttons[i]->SetBounds(10 + 40 * i, 10, 30, 30);
            buttons[i]->SetGroupIndex(1);
            buttons[i]->OnClick = [this](TObject*) { ++clicks; };
            buttons[i]->SetParent(form);
        }
    }
    void TearDown() override { form->Free(); }
    // A press and a release at (x, y) of the button, as its parent hands them on.
    static void Click(TSpeedButton* b, int x = 5, int y = 5)
    {
        b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    TForm* form = nullptr;
    TSpeedButton* buttons[3] = {};
    int clicks = 0;
};

} // namespace

TEST_F(SpeedButtons, AGroupKeepsOneButtonDownAndAllowAllUpLetsItGo)
{
    Click(buttons[0]);
    EXPECT_TRUE(buttons[0]->Down());
    EXPECT_EQ(buttons[0]->State(), bsExclusive);
    Click(buttons[1]);
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_TRUE(buttons[1]->Down());
    Click(buttons[1]); // the down one stays down without AllowAllUp
    EXPECT_TRUE(buttons[1]->Down());
    buttons[1]->SetAllowAllUp(true);
    Click(buttons[1]);
    EXPECT_FALSE(buttons[1]->Down());
    EXPECT_EQ(clicks, 4);
    Click(buttons[2], 50, 5); // released outside: no click, no change
    EXPECT_FALSE(buttons[2]->Down());
    EXPECT_EQ(clicks, 4);
    buttons[2]->SetDown(true);
    buttons[0]->SetDown(true);
    EXPECT_FALSE(buttons[2]->Down());

    // Without a group it never stays down; it shows pressed while held over it.
    TSpeedButton* b = buttons[0];
    b->SetGroupIndex(0);
    EXPECT_FALSE(b->Down());
    b->SetDown(true);
    EXPECT_FALSE(b->Down());
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(b->State(), bsDown);
    b->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    EXPECT_EQ(b->State(), bsUp);
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    b->SetEnabled(false);
    EXPECT_EQ(b->State(), bsDisabled);
}

TEST_F(SpeedButtons, ThePlainLookDrawsTheGlyphFrameOfTheStateAndItsPropertiesArePublished)
{
    TSpeedButton* b = buttons[0];
    auto glyph = std::make_unique<TBitmap>(32, 16); // frames: up green, disabled blue
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 16; ++y)
            glyph->Canvas().SetPixel(x, y, x < 16 ? TColor(0x00A000) : TColor(0xA00000));
    glyph->Canvas().SetPixel(0, 15, clFuchsia);
    b->SetGlyph(glyph.get());
    b->SetNumGlyphs(2);
    const auto paint = [b] {
        auto bmp = std::make_unique<TBitmap>(30, 30);
        b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas().Handle()));
        return bmp->Canvas().Pixel(15, 15);
    };
    EXPECT_EQ(paint(), 0x00A000u);
    b->SetEnabled(false);
    EXPECT_EQ(paint(), 0xA00000u);

    const TPublishedProperty* flat = FindPublishedProperty(*b, "Flat");
    ASSERT_NE(flat, nullptr);
    flat->set(*b, TPublishedValue::OfOrdinal(1));
    EXPECT_TRUE(b->Flat());
    FindPublishedProperty(*b, "Margin")->set(*b, TPublishedValue::OfOrdinal(3));
    EXPECT_EQ(b->Margin(), 3);
    const TPublishedProperty* layout = FindPublishedProperty(*b, "Layout");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->elements[blGlyphTop], "blGlyphTop");
    b->SetProperty("Layout", TPropValue::OfIdent("blGlyphTop"));
    EXPECT_EQ(layout->get(*b).ordinal, blGlyphTop);
    EXPECT_EQ(FindPublishedProperty(*b, "Glyph")->get(*b).object, &b->Glyph());
    for (const char* name : {"NumGlyphs", "Spacing", "Down", "GroupIndex", "AllowAllUp"})
        EXPECT_NE(FindPublishedProperty(*b, name), nullptr) << name;
    EXPECT_EQ(FindPublishedProperty(*b, "NumGlyphs")->get(*b).ordinal, 2);
}
