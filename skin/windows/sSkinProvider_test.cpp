// The form skin provider made in code: where it may stand, and its settings before a
// description gives any.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/ExtCtrls.h"
#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/base/Exceptions.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sStart.h"

namespace {

class SkinProvider : public ::testing::Test {
protected:
    void TearDown() override { Application->DestroyForms(); }
};

TEST_F(SkinProvider, AProviderOnAFormStartsWithTheFormSection)
{
    auto* form = TForm::Create<TForm>(Application);
    auto* p = new TsSkinProvider(form);
    EXPECT_EQ(p->Owner(), form);
    EXPECT_EQ(p->Form(), form);
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(p->SkinSection(), "FORM");
    EXPECT_FALSE(p->MakeSkinMenu());
    EXPECT_EQ(p->AddedTitle().Text(), "");
    EXPECT_EQ(p->AddedTitle().Font().Color(), clNone);
    EXPECT_FALSE(p->Locked());
    EXPECT_EQ(p->BorderForm(), nullptr);
    EXPECT_FALSE(p->OwnBorder());
    EXPECT_EQ(p->TitleButtons().Count(), 0);
    EXPECT_EQ(p->TitleIcon().Width, 0);
    EXPECT_EQ(p->TitleIcon().Height, 0);
}

// The form description's TitleButtons are the provider's user title buttons; an item property
// they do not have is refused naming the line and the property.
TEST_F(SkinProvider, TitleButtonsAreReadFromTheDescription)
{
    SkinWindowsStart();
    auto* form = TForm::Create<TForm>(Application);
    ReadFormDescription(*form, R"(object Form1: TForm
  object Provider: TsSkinProvider
    TitleButtons = <
      item
        Name = 'Sperren'
        Hint = 'Kasse sperren'
        Glyph.Data = {424D660000000000000036000000280000000400000004000000010018000000000030000000130B0000130B000000000000000000001E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A1E140A}
      end
      item
        Enabled = False
        Visible = False
        UseSkinData = False
      end>
    TitleIcon.Width = 12
  end
end
)",
                        "Buttons.form");
    TsSkinProvider* p = TsSkinProvider::Of(form);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->TitleButtons().Count(), 2);
    const TsTitleButton& first = p->TitleButtons().Items(0);
    TsTitleButton& second = p->TitleButtons().Items(1);
    EXPECT_EQ(first.Name, "Sperren");
    EXPECT_EQ(first.Hint, "Kasse sperren");
    EXPECT_TRUE(first.Enabled && first.Visible() && first.UseSkinData);
    EXPECT_EQ(const_cast<TsTitleButton&>(first).Glyph().Width(), 4);
    EXPECT_EQ(second.Name, "TsTitleButton");
    EXPECT_FALSE(second.Enabled || second.Visible() || second.UseSkinData);
    EXPECT_TRUE(second.Glyph().Empty());
    EXPECT_EQ(p->TitleIcon().Width, 12);

    auto* other = TForm::Create<TForm>(Application);
    try {
        ReadFormDescription(*other,
                            "object Form2: TForm\n  object P: TsSkinProvider\n    TitleButtons = <\n      item\n"
                            "        Farbe = 3\n      end>\n  end\nend\n",
                            "Wrong.form");
        ADD_FAILURE() << "an unknown property was taken";
    } catch (const EComponentError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("Farbe"), std::string::npos) << what;
        EXPECT_NE(what.find("Wrong.form"), std::string::npos) << what;
    }
}

TEST_F(SkinProvider, OnlyFormsMayOwnOneAndTheRefusalIsSilent)
{
    auto* form = TForm::Create<TForm>(Application);
    auto* panel = new TPanel(form);
    try {
        new TsSkinProvider(panel);
        ADD_FAILURE() << "a provider on a panel";
    } catch (const EAbort& e) {
        EXPECT_STREQ(e.what(), "TsSkinProvider component may be used with forms only!");
        std::vector<std::string> shown;
        Application->OnException = [&](const std::exception& x) { shown.push_back(x.what()); };
        Application->ShowException(e);
        Application->ShowException(EInvalidOperation("laut"));
        Application->OnException = nullptr;
        EXPECT_EQ(shown, std::vector<std::string>{"laut"});
    }
    EXPECT_EQ(panel->ComponentCount(), 0);
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_THROW(new TsSkinProvider(nullptr), EAbort);
}

} // namespace
