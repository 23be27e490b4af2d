// The form skin provider made in code: where it may stand, and its settings before a
// description gives any.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/base/Exceptions.h"
#include "skin/windows/sSkinProvider.h"

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
    // A title button of its own is not taken.
    TPropValue buttons;
    buttons.kind = TPropValue::Collection;
    buttons.collection.push_back({});
    EXPECT_THROW(p->SetProperty("TitleButtons", buttons), EComponentError);
    buttons.collection.clear();
    p->SetProperty("TitleButtons", buttons);
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
