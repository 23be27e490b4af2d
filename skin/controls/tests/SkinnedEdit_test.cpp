// The skinned edit under the probe skin: its client colours normal and focused, its frame from
// the EDIT border image at every frame width, the disabled cache image (password characters
// included), its skin command answers, the bound label that follows it, and typing.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/Automation.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/tests/ProbeSkinForm.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sSectionPaint.h"

using namespace probeform;
using skintest::ProbePiece;

namespace {

class SkinnedEdit : public ProbeSkinned {
protected:
    TsEdit* Edit(int left, int top, const char* text)
    {
        auto* e = Place<TsEdit>(left, top, 120, 24);
        e->SetText(text);
        return e;
    }
    LRESULT Command(TsEdit* e, WORD command) { return e->Perform(SM_VELOCONCMD, SkinCommandWParam(command), 0); }
    COLORREF Frame(TWinControl* e, int x) { return testrig::WindowPixel(e->Handle(), x, 12); }
    COLORREF Piece(int state, int piece) { return RGBOf(ProbePiece(image, state, piece)); }
    const skintest::TTestImage image = skintest::ProbeImage("Probe", "EDIT", "BORDERSMASK");
};

} // namespace

TEST_F(SkinnedEdit, ClientInTheSectionsColoursNormalAndFocusedWhileTypingWorks)
{
    TsEdit* edit = Edit(10, 10, "Probe");
    UseSkin("Probe");
    RECT client;
    GetClientRect(edit->Handle(), &client);
    EXPECT_EQ(ClientPixel(edit->Handle(), client.right - 3, client.bottom / 2), RGBOf(Colors("EDIT").Color));
    EXPECT_GT(CountColor(edit->Handle(), client, RGBOf(Colors("EDIT").FontColor)), 0);
    EXPECT_EQ(Frame(edit, 1), Piece(0, 3));

    SetForegroundWindow(form->Handle());
    edit->SetFocus();
    Settle();
    ASSERT_TRUE(edit->Focused());
    EXPECT_EQ(ClientPixel(edit->Handle(), client.right - 3, client.bottom / 2), RGBOf(Colors("EDIT").HotColor));
    EXPECT_GT(CountColor(edit->Handle(), client, RGBOf(Colors("EDIT").HotFontColor)), 0);
    EXPECT_EQ(Frame(edit, 1), Piece(1, 3));

    SendMessageA(edit->Handle(), EM_SETSEL, 5, 5);
    SendMessageA(edit->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(WindowText(edit->Handle()), "Probex");

    RemoveSkin();
    EXPECT_EQ(ClientPixel(edit->Handle(), client.right - 3, client.bottom / 2), GetSysColor(COLOR_WINDOW));
    EXPECT_NE(Frame(edit, 1), Piece(1, 3));
}

namespace {
struct FrameCase {
    TBorderStyle style;
    bool ctl3D;
    int width;
};
} // namespace

TEST_F(SkinnedEdit, FrameFromTheBorderImageAtWidthsTwoOneAndNone)
{
    const FrameCase cases[] = {{bsSingle, true, 2}, {bsSingle, false, 1}, {bsNone, true, 0}};
    std::vector<TsEdit*> edits;
    for (const FrameCase& c : cases) {
        TsEdit* e = Edit(10, 10 + 40 * static_cast<int>(edits.size()), "");
        e->SetBorderStyle(c.style);
        e->SetCtl3D(c.ctl3D);
        edits.push_back(e);
    }
    UseSkin("Probe");
    for (size_t i = 0; i < edits.size(); ++i) {
        const FrameCase& c = cases[i];
        EXPECT_EQ(edits[i]->FrameWidth(), c.width);
        if (c.width > 0) {
            EXPECT_EQ(Frame(edits[i], c.width - 1), Piece(0, 3)) << c.width;
        }
        EXPECT_EQ(Frame(edits[i], c.width), RGBOf(Colors("EDIT").Color)) << c.width;
    }
}

TEST_F(SkinnedEdit, DisabledIsTheBlendedCacheImageWithOnePasswordCharacterPerCharacter)
{
    TsEdit* secret = Edit(10, 10, "abc");
    secret->SetPasswordChar('*');
    TsEdit* stars = Edit(10, 50, "***");
    secret->SetEnabled(false);
    stars->SetEnabled(false);
    UseSkin("Probe");
    // The cache image (the border image over the section's colour) half way to the panel's
    // colour, as a parent without a cache of its own gives it.
    EXPECT_EQ(Frame(secret, 110), RGBOf(BlendColors(Colors("EDIT").Color, HostColor, 0.5)));
    EXPECT_EQ(Frame(secret, 1), RGBOf(BlendColors(ProbePiece(image, 0, 3), HostColor, 0.5)));
    // The same picture as an edit showing "***": three stars, not the text.
    int differing = 0, text = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF c = testrig::WindowPixel(stars->Handle(), x, y);
            differing += testrig::WindowPixel(secret->Handle(), x, y) != c;
            text += x > 4 && x < 60 && y > 4 && y < 19 && c != Frame(stars, 110);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(text, 0);
    EXPECT_EQ(WindowText(secret->Handle()), "abc");
}

TEST_F(SkinnedEdit, CommandAnswersAndAnInvalidSectionPaintsAsAPlainEdit)
{
    TsEdit* edit = Edit(10, 10, "1");
    auto* plain = Place<TEdit>(10, 50, 120, 24);
    plain->SetText("1");
    UseSkin("Probe");
    EXPECT_EQ(Command(edit, cmdIsSkinned), 1);
    EXPECT_EQ(Command(edit, cmdHasComplexBG), 0);
    edit->SkinData().SetSkinSection("NOSUCH");
    edit->SetColor(clWindow);
    EXPECT_EQ(Command(edit, cmdHasComplexBG), 0);
    EXPECT_EQ(Command(edit, cmdGetBGColor), static_cast<LRESULT>(ColorToRGB(clWindow)));
    Settle();
    for (int x : {0, 1, 2, 110})
        EXPECT_EQ(Frame(edit, x), Frame(plain, x)) << x;
}

TEST_F(SkinnedEdit, BoundLabelHidesDisablesAndMovesWithItsEdit)
{
    TsEdit* edit = Edit(150, 100, "1");
    edit->SetName("Pr1");
    edit->SetProperty("BoundLabel.Caption", TPropValue::OfString("Preis 1"));
    edit->BoundLabel().SetActive(true);
    TsEditLabel* label = edit->BoundLabel().FLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), "Preis 1");
    UseSkin("Probe");
    const int dx = edit->Left() - label->Left(), dy = edit->Top() - label->Top();
    edit->SetBounds(200, 140, 120, 24);
    EXPECT_EQ(label->Left(), 200 - dx);
    EXPECT_EQ(label->Top(), 140 - dy);
    edit->Hide();
    EXPECT_FALSE(label->Visible());
    edit->Show();
    EXPECT_TRUE(label->Visible());
    edit->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    edit->SetEnabled(true);
    EXPECT_TRUE(label->Enabled());
    edit->SetDisabledKind(dkGrayed);
    edit->SetEnabled(false);
    EXPECT_TRUE(label->Enabled());
    edit->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(label->BiDiMode(), bdRightToLeft);
    edit->Free();
}
