// The two testing aids in this process, without a card: the mass-transaction window's checks
// before a run and its random numbers, the scan window's states, its view area and the QR
// picture's middle third. Runs against the simulated card are in tests/MassTransactions_test.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Import.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UKassTip.h"
#include "register/ui/UMassTrans.h"
#include "register/ui/UScanForm.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sStart.h"
#include "tests/support/ModalScript.h"

namespace {

class Aids : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SkinControlsStart(); }
    void SetUp() override
    {
        core.Languages().Load("Deutsch", ULang::TLangFile(TILLORA_SOURCE_DIR "/data/cfg/lang.ini"));
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        productFile = std::string(temp) + "mass-scan-" + std::to_string(GetCurrentProcessId()) + ".xml";
        std::ofstream(productFile, std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
               "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item></itemList></vantra>";
        UXML_Import::LoadXmlFile(productFile);
        Application->CreateForm(MassTransForm);
        Application->CreateForm(ScanForm);
        Application->CreateForm(DebugForm);
        Application->CreateForm(FormUStS);
        Application->CreateForm(KassTip);
    }
    void TearDown() override
    {
        Application->DestroyForms();
        UXML_Import::CloseXmlFile();
        DeleteFileA(productFile.c_str());
    }
    // Presses "Start" and returns the texts of the message boxes it showed (each answered OK).
    std::vector<std::string> Start()
    {
        TModalScript script({TModalScript::PressButton(IDOK), TModalScript::PressButton(IDOK)});
        MassTransForm->maStart->Click();
        return script.Texts;
    }

    TRegisterCore core;
    std::string productFile;
};

// A message box's text through the window's "Start": the field's label and the rule.
std::string FieldMessage(const std::string& label) { return "\"" + label + "\": bitte eine ganze Zahl ab 1 eingeben."; }

} // namespace

TEST(MassTransCount, OnlyWholeDecimalNumbersOfAtLeastOneAreCounts)
{
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"1", true, 1},
        {"300", true, 300},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"0", false, 0},
        {"", false, 0},
        {"-1", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"1,5", false, 0},
        {"$10", false, 0},
        {"2147483648", false, 0},
        {"99999999999", false, 0},
        {"abc", false, 0},
    };
    for (const auto& c : cases) {
        int value = 0;
        EXPECT_EQ(TMassTransForm::ReadCount(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(MassTransRandom, TheGeneratorsSequenceFromAGivenSeed)
{
    // seed := seed * 134775813 + 1 (mod 2^32); a number below n is (seed * n) >> 32. From 12345:
    // the operator switch (below 2), the items (below 100), the storno (below 300), the
    // quantity (below 5), then six numbers below 1 and below 2.
    TRandom random;
    random.Randomize(12345);
    const struct {
        std::uint32_t below, expected;
    } table[] = {{2, 0}, {100, 28}, {300, 23}, {5, 2}, {1, 0}, {1, 0}, {2, 0}, {2, 0}, {2, 0}, {2, 1}};
    for (const auto& row : table)
        EXPECT_EQ(random.Next(row.below), row.expected) << row.below;
}

TEST(MassTransRandom, AStornoNumberOfOneNeverCancels)
{
    // The run cancels when a number below the storno number is 1: below 1 it is always 0; below
    // 2 it is 1 about every second time.
    TRandom random;
    random.Randomize(0x9E3779B9u);
    int ones = 0;
    for (int i = 0; i < 10000; ++i)
        EXPECT_EQ(random.Next(1), 0u);
    for (int i = 0; i < 10000; ++i)
        ones += random.Next(2) == 1 ? 1 : 0;
    EXPECT_GT(ones, 4500);
    EXPECT_LT(ones, 5500);
}

TEST_F(Aids, TheMassWindowStartsWithItsStoredSettings)
{
    TMassTransForm& m = *MassTransForm;
    EXPECT_EQ(m.Caption(), "Mass-Transactions");
    EXPECT_EQ(m.kTrBuchEdit->Text(), "100");
    EXPECT_EQ(m.kTrEdit->Text(), "1000");
    EXPECT_EQ(m.kStornoEdit->Text(), "300");
    EXPECT_EQ(m.sStk->Text(), "5");
    EXPECT_TRUE(m.sCheckBed->Checked());
    EXPECT_TRUE(m.maStart->Enabled());
    EXPECT_FALSE(m.maStopp->Enabled());
    EXPECT_EQ(m.maCancel->Caption(), "Cancel");
}

TEST_F(Aids, ARunDoesNotStartWithAFieldThatIsNoCountAndSaysWhichOne)
{
    TMassTransForm& m = *MassTransForm;
    m.Show();
    const struct {
        TsEdit* edit;
        const char* text;
        const char* label;
    } cases[] = {
        {m.kTrBuchEdit, "0", "max. Anzahl der Buchungspositionen pro Transaktion"},
        {m.kTrEdit, "zehn", "Anzahl der Transaktionen"},
        {m.kStornoEdit, "", "Stornowahrscheinlichkeit"},
        {m.sStk, "2.5", "max. Stk"},
    };
    for (const auto& c : cases) {
        const std::string good = c.edit->Text();
        c.edit->SetText(c.text);
        const auto texts = Start();
        ASSERT_EQ(texts.size(), 1u) << c.label;
        EXPECT_EQ(texts[0], FieldMessage(c.label));
        c.edit->SetText(good);
    }
    // Nothing was booked and the window stands ready.
    EXPECT_TRUE(KassTip->NewReceiptPending);
    EXPECT_EQ(m.DoneReceipts, 0);
    EXPECT_TRUE(m.maStart->Enabled());
    EXPECT_FALSE(m.maStopp->Enabled());
    EXPECT_FALSE(m.Running());
}

TEST_F(Aids, ARunDoesNotStartWithAnEmptyProductList)
{
    KassTip->ClearProductList();
    ASSERT_EQ(KassTip->ProdListSel->GetCount(), 0);
    MassTransForm->Show();
    const int lines = KassTip->BelegMemo->Lines().Count();
    const auto texts = Start();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Die Produktliste ist leer: keine Buchungen möglich.");
    EXPECT_TRUE(KassTip->NewReceiptPending);
    EXPECT_EQ(KassTip->BelegMemo->Lines().Count(), lines);
    EXPECT_TRUE(MassTransForm->maStart->Enabled());
}

TEST_F(Aids, CancelHidesTheMassWindowAndStopEndsTheRunState)
{
    TMassTransForm& m = *MassTransForm;
    m.Show();
    m.TotalReceipts = 10;
    m.DoneReceipts = 3;
    m.PlannedItems = 7;
    m.DoneItems = 2;
    m.maStoppClick(nullptr);
    EXPECT_EQ(m.DoneReceipts, 10);
    EXPECT_EQ(m.DoneItems, 7);
    m.DoneReceipts = 3;
    m.DoneItems = 2;
    m.maCancel->Click();
    EXPECT_FALSE(m.Visible());
    // Hiding stops as "Stopp" does.
    EXPECT_EQ(m.DoneReceipts, 10);
    EXPECT_EQ(m.DoneItems, 7);
}

TEST_F(Aids, TheScanWindowArmsShowsItsTextAndReadsOnce)
{
    TScanForm& s = *ScanForm;
    EXPECT_EQ(s.Caption(), "Scanner");
    EXPECT_EQ(s.Image1->Width(), 85);
    EXPECT_EQ(s.Image1->Height(), 86);
    EXPECT_TRUE(s.WebButton->Checked());
    EXPECT_FALSE(s.ContentButton->Checked());
    EXPECT_FALSE(s.IvmButton->Visible());
    EXPECT_FALSE(s.IvmButton->Enabled());
    EXPECT_FALSE(s.Timer1->Enabled());
    EXPECT_EQ(s.Timer1->Interval(), 25u);
    EXPECT_EQ(s.BlinkTimer->Interval(), 300u);
    EXPECT_FALSE(s.Armed());

    s.ArmScan();
    EXPECT_EQ(s.Memo1->Text(), "Mauszeiger über den OR-Code des Belegs zentrieren");
    EXPECT_EQ(s.Shape1->Brush().Color(), clRed);
    EXPECT_TRUE(s.Timer1->Enabled());
    EXPECT_TRUE(s.BlinkTimer->Enabled());
    EXPECT_FALSE(s.ResetButton->Visible());
    EXPECT_TRUE(s.Armed());
    s.Show();
    EXPECT_EQ(s.Memo1->Text(), ULang::GetText(75));

    // No receipt yet: the link is empty, the memo shows it empty and nothing is opened (no
    // message about the browser either).
    TModalScript script({});
    s.CompleteScan();
    EXPECT_EQ(s.Memo1->Text(), "");
    EXPECT_EQ(script.Unexpected(), 0);
    EXPECT_EQ(s.Shape1->Brush().Color(), clLime);
    EXPECT_TRUE(s.Shape1->Visible());
    EXPECT_FALSE(s.BlinkTimer->Enabled());
    EXPECT_TRUE(s.Timer1->Enabled());
    EXPECT_TRUE(s.ResetButton->Visible());
    EXPECT_FALSE(s.Armed());

    // A second read waits for "Reset".
    s.Memo1->SetText("x");
    s.CompleteScan();
    EXPECT_EQ(s.Memo1->Text(), "x");
    s.ResetButton->Click();
    EXPECT_TRUE(s.Armed());
    EXPECT_EQ(s.Shape1->Brush().Color(), clRed);
    EXPECT_FALSE(s.ResetButton->Visible());
    EXPECT_EQ(s.Memo1->Text(), "Mauszeiger über den OR-Code des Belegs zentrieren");

    // Closing stops the view and disarms.
    s.Close();
    EXPECT_FALSE(s.Timer1->Enabled());
    EXPECT_FALSE(s.Armed());
}

TEST_F(Aids, TheViewShowsHalfItsSizeAroundThePointerWhollyOnTheScreen)
{
    const RECT screen{0, 0, 1024, 768};
    const struct {
        POINT pointer;
        RECT area;
    } cases[] = {
        {{500, 400}, {479, 378, 521, 421}},   // 42 x 43 centred (half sizes rounded up)
        {{5, 3}, {0, 0, 42, 43}},             // shifted right and down at the top left corner
        {{1023, 767}, {982, 725, 1024, 768}}, // and left and up at the bottom right
        {{-50, 900}, {0, 725, 42, 768}},      // a pointer off the screen
    };
    for (const auto& c : cases) {
        const RECT a = TScanForm::ViewArea(c.pointer, 85, 86, screen);
        EXPECT_EQ(a.left, c.area.left) << c.pointer.x;
        EXPECT_EQ(a.top, c.area.top) << c.pointer.y;
        EXPECT_EQ(a.right, c.area.right) << c.pointer.x;
        EXPECT_EQ(a.bottom, c.area.bottom) << c.pointer.y;
    }
    // A screen on the left of the primary one.
    const RECT a = TScanForm::ViewArea(POINT{-1900, 10}, 85, 86, RECT{-1920, 0, 0, 1080});
    EXPECT_EQ(a.left, -1920);
    EXPECT_EQ(a.top, 0);
}

TEST_F(Aids, AMoveOverTheQrPicturesMiddleThirdCompletesTheScan)
{
    TQRImage& qr = *KassTip->QrOverlay;
    EXPECT_EQ(qr.Name(), "QrOverlay");
    qr.SetBounds(0, 0, 60, 60);
    // 60 div 3 = 20: 21..39 on both axes.
    const struct {
        int x, y;
        bool inside;
    } cases[] = {{30, 30, true},  {21, 21, true},  {39, 39, true}, {20, 30, false},
                 {30, 40, false}, {40, 40, false}, {0, 0, false},  {59, 30, false}};
    for (const auto& c : cases)
        EXPECT_EQ(TQRImage::InMiddleThird(60, c.x, c.y), c.inside) << c.x << "," << c.y;
    // The height serves for both axes: a wide picture's middle third is measured on its height.
    EXPECT_TRUE(TQRImage::InMiddleThird(30, 15, 15));
    EXPECT_FALSE(TQRImage::InMiddleThird(30, 25, 15));

    TScanForm& s = *ScanForm;
    s.ContentButton->SetChecked(true);
    s.ArmScan();
    // Hidden scan window: nothing.
    SendMessageA(qr.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    EXPECT_TRUE(s.Armed());
    s.Show();
    // Outside the middle third: nothing.
    SendMessageA(qr.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 30));
    SendMessageA(qr.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 45));
    EXPECT_TRUE(s.Armed());
    EXPECT_EQ(s.Shape1->Brush().Color(), clRed);
    // Inside: the read.
    SendMessageA(qr.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    EXPECT_FALSE(s.Armed());
    EXPECT_EQ(s.Shape1->Brush().Color(), clLime);
    EXPECT_TRUE(s.ResetButton->Visible());
}

TEST_F(Aids, ALinkThatCannotBeOpenedSaysSoAndNurInhaltOnlyShowsIt)
{
    TScanForm& s = *ScanForm;
    // A link of a scheme nobody handles: the browser cannot be started.
    core.VerifyUrl() = "tillora-none:link";
    s.ArmScan();
    s.Show();
    {
        TModalScript script({TModalScript::PressButton(IDOK)});
        s.CompleteScan();
        ASSERT_EQ(script.Texts.size(), 1u);
        EXPECT_EQ(script.Texts[0], "Internetseite konnte nicht geöffnet werden!");
    }
    EXPECT_EQ(s.Memo1->Text(), "tillora-none:link");
    EXPECT_TRUE(s.ResetButton->Visible());

    // "nur Inhalt": shown, not opened.
    s.ContentButton->SetChecked(true);
    s.ResetButton->Click();
    TModalScript script({});
    s.CompleteScan();
    EXPECT_EQ(s.Memo1->Text(), "tillora-none:link");
    EXPECT_EQ(script.Unexpected(), 0);
    EXPECT_TRUE(script.Texts.empty());
}
