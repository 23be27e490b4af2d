// The language texts on the skinned controls: each takes its caption and hint by the rows of
// the class table that its class (and the class-library class it derives from) matches.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <windows.h>

#include "gui/Forms.h"
#include "register/core/URegisterCore.h"
#include "register/ui/ULanguage.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

namespace {

std::string TempFile(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

class SkinnedTexts : public ::testing::Test {
protected:
    void SetUp() override { form = TForm::Create<TForm>(Application); }
    void TearDown() override
    {
        Application->DestroyForms();
        std::remove(path.c_str());
    }
    // A control of class T on the form with a Tag, a caption and a hint of its own.
    template <class T> T* Make(int tag, const std::string& caption)
    {
        T* c = new T(form);
        c->SetParent(form);
        c->SetTag(tag);
        c->SetCaption(caption);
        c->SetHint("eigener Hinweis");
        return c;
    }
    TRegisterCore core; // the text table lives in the core
    TForm* form = nullptr;
    std::string path = TempFile("tillora_skinned_texts.ini");
};

TEST_F(SkinnedTexts, EachSkinnedClassTakesTheTextsOfItsRows)
{
    std::ofstream(path, std::ios::binary)
        << "[English]\r\n30cap=Status\r\n30hint=Card status\r\n31cap=Picture\r\n31hint=With picture\r\n"
           "32cap=Plain\r\n32hint=Plain picture\r\n20cap=Register\r\n20hint=Show register\r\n"
           "221cap=Price\r\n221hint=Key 1\r\n40cap=Operator\r\n40hint=unused\r\n41cap=Quantity\r\n"
           "41hint=unused\r\n60cap=Starting\r\n60hint=Please wait\r\n200hint=Rate of class\r\n"
           "201cap=Class 2\r\n201hint=Rate\r\n90cap=List\r\n90hint=List hint\r\n";
    auto* button = Make<TsButton>(30, "QSM_Status");
    auto* bitBtn = Make<TsBitBtn>(31, "Bild");
    auto* plainBitBtn = Make<TBitBtn>(32, "Bild");
    auto* box = Make<TsCheckBox>(20, "Kasse");
    auto* edit = Make<TsEdit>(221, "199");
    auto* label = Make<TsLabel>(40, "Bediener");
    auto* editLabel = new TsEditLabel(form, nullptr);
    editLabel->SetParent(form);
    editLabel->SetTag(41);
    editLabel->SetCaption("Menge");
    auto* fx = Make<TsLabelFX>(60, "Initialisierung");
    auto* rate = Make<TsPanel>(200, "1900");
    auto* rate2 = Make<TsPanel>(201, "0700");
    auto* list = Make<TsListBox>(90, "");
    auto* combo = Make<TsComboBox>(90, "Blue");
    auto* gauge = Make<TsGauge>(90, "");
    auto* untagged = Make<TsButton>(0, "Abbruch");
    auto* missing = Make<TsLabel>(42, "Monat/Jahr");

    SetLanguage(nullptr, "English", path);

    EXPECT_EQ(button->Caption(), "Status");
    EXPECT_EQ(button->Hint(), "Card status");
    EXPECT_EQ(bitBtn->Caption(), "Picture");
    EXPECT_EQ(bitBtn->Hint(), "With picture");
    EXPECT_EQ(plainBitBtn->Caption(), "Plain");
    EXPECT_EQ(plainBitBtn->Hint(), "Plain picture");
    EXPECT_EQ(box->Caption(), "Register");
    EXPECT_EQ(box->Hint(), "Show register");
    EXPECT_EQ(edit->Text(), "199"); // an edit takes no caption
    EXPECT_EQ(edit->Hint(), "Key 1");
    EXPECT_EQ(label->Caption(), "Operator");
    EXPECT_EQ(label->Hint(), "eigener Hinweis"); // a label takes no hint
    EXPECT_EQ(editLabel->Caption(), "Quantity");
    EXPECT_EQ(editLabel->Hint(), "");
    EXPECT_EQ(fx->Caption(), "Starting");
    EXPECT_EQ(fx->Hint(), "Please wait");
    EXPECT_EQ(rate->Caption(), "1900"); // no 200cap: the rate stays
    EXPECT_EQ(rate->Hint(), "Rate of class");
    EXPECT_EQ(rate2->Caption(), "Class 2");
    EXPECT_EQ(rate2->Hint(), "Rate");
    // Classes without a row keep their texts.
    EXPECT_EQ(list->Hint(), "eigener Hinweis");
    EXPECT_EQ(combo->Text(), "Blue");
    EXPECT_EQ(combo->Hint(), "eigener Hinweis");
    EXPECT_EQ(gauge->Hint(), "eigener Hinweis");
    EXPECT_EQ(untagged->Caption(), "Abbruch");
    EXPECT_EQ(untagged->Hint(), "eigener Hinweis");
    // A missing caption key blanks a label.
    EXPECT_EQ(missing->Caption(), "");
    // The windows show the new texts.
    char text[64];
    GetWindowTextA(button->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Status");
    GetWindowTextA(rate2->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Class 2");
}

} // namespace
