// The register window's sale in this process, without a card: the receipt lines of items,
// storno, discount and surcharge, the special item, the keys, the total and the cancel, the
// line table's limit, the hash and signature blocks and the options. The card's side of a sale
// is shown end to end by the program test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "gui/ComCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/base/Exceptions.h"
#include "register/core/UContainer.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Import.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UKassTip.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStart.h"
#include "register/ui/testforms/KassTipTestWindow.h"

namespace {

// 42 columns: the text (24), a blank, the classes (7), the amount ending in column 41.
std::string Line(const std::string& text, const std::string& classes, const std::string& amount)
{
    std::string l = text + std::string(24 - text.size(), ' ') + " " + classes + std::string(7 - classes.size(), ' ');
    return l + std::string(9 - amount.size(), ' ') + amount + " ";
}

class Sale : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SkinControlsStart(); }
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        productFile = std::string(temp) + "kasstip-sale-" + std::to_string(GetCurrentProcessId()) + ".xml";
        k = KassTipTestWindow::Open(core, productFile,
                                    "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                                    "<item><name>Milch</name><price2>99</price2></item>"
                                    "<item><name>Wurst</name><unit>kg</unit><price1>1250</price1></item>"
                                    "<item><name>Schokoladenosterhasen mit Nougat</name><price1>5</price1></item>");
    }
    void TearDown() override
    {
        KassTipTestWindow::Close();
        DeleteFileA(productFile.c_str());
    }

    // Adds product `index` of the list with a quantity text, as the list and "Hinzufügen" do.
    void Add(int index, const std::string& quantity = "1")
    {
        k->ProdListSel->SetItemIndex(index);
        k->StkMemo->SetText(quantity);
        k->ScanButtonClick(nullptr);
    }
    std::string L(int i) { return k->BelegMemo->Lines()[i]; }
    int Count() { return k->BelegMemo->Lines().Count(); }
    // Puts the memo's caret at the start of a line (the line count: behind the last break).
    void Caret(int line)
    {
        const int start = static_cast<int>(SendMessageA(k->BelegMemo->Handle(), EM_LINEINDEX, line, 0));
        k->BelegMemo->SetSelStart(start < 0 ? static_cast<int>(k->BelegMemo->Text().size()) : start);
    }
    void Key(TWinControl* c, char key) { SendMessageA(c->Handle(), WM_CHAR, static_cast<unsigned char>(key), 0); }
    std::string Xml() { return core.ItemXml(); }

    TRegisterCore core;
    std::string productFile;
    TKassTip* k = nullptr;
};

} // namespace

TEST_F(Sale, ItemsGiveTheirLinesAndTheTotalBlock)
{
    EXPECT_TRUE(k->NewReceiptPending);
    ASSERT_EQ(k->ProdListSel->GetCount(), 4);
    Add(0, "3");
    Add(1);
    ASSERT_EQ(Count(), 4);
    EXPECT_EQ(L(0), std::string(13, ' ') + "Kassenbeleg");
    EXPECT_EQ(L(1), Line("Brot", "", ""));
    EXPECT_EQ(L(2), Line(" 3 Stk. x  1,99€ = ", " A ", " 5,97€"));
    EXPECT_EQ(L(3), Line("Milch", " B ", " 0,99€"));
    EXPECT_EQ(L(2).size(), 42u);
    EXPECT_FALSE(k->NewReceiptPending);
    EXPECT_TRUE(k->SumButton->Enabled() && k->AbrButton->Enabled());
    EXPECT_FALSE(k->KassButton->Enabled());
    EXPECT_TRUE(k->RabABox->Visible());
    EXPECT_EQ(k->StkMemo->Text(), "1");

    k->SumButtonClick(nullptr);
    ASSERT_EQ(Count(), 7);
    EXPECT_EQ(L(4), std::string(41, '_'));
    EXPECT_EQ(L(5), Line("SUMME", " ", " 6,96€"));
    EXPECT_EQ(L(6), " ");
    EXPECT_TRUE(k->KassButton->Enabled());
    EXPECT_FALSE(k->SumButton->Enabled());
    EXPECT_FALSE(k->RabABox->Visible());
    EXPECT_EQ(k->LastItem, nullptr);

    // An item after the total opens the receipt again; the old total stays on it.
    Add(1);
    EXPECT_EQ(L(7), Line("Milch", " B ", " 0,99€"));
    EXPECT_FALSE(k->KassButton->Enabled());
    EXPECT_TRUE(k->SumButton->Enabled());
}

TEST_F(Sale, QuantityOneIsOneLineAndEveryOtherQuantityTwo)
{
    Add(2, "1");
    EXPECT_EQ(L(1), Line("Wurst 1kg", " A ", "12,50€"));
    Add(3, "1");
    EXPECT_EQ(L(2), Line("Schokoladenosterhasen mi", " A ", " 0,05€"));
    Add(1, "1,5");
    EXPECT_EQ(L(3), Line("Milch", "", ""));
    EXPECT_EQ(L(4), Line(" 1,5  x  0,99€ = ", " B ", " 1,49€"));
    Add(0, "-1");
    EXPECT_EQ(L(6), Line(" -1 Stk. x  1,99€ = ", " A ", "-1,99€"));
    Add(0, "2");
    EXPECT_EQ(L(8), Line(" 2 Stk. x  1,99€ = ", " A ", " 3,98€"));
    Add(0, "0");
    EXPECT_EQ(L(10), Line(" 0 Stk. x  1,99€ = ", " A ", "00,00€"));
    ASSERT_EQ(Count(), 11);
    // Quantity 0 hands no amount to the item list.
    EXPECT_NE(Xml().find("<item><qnt>0</qnt><unit>stk#</unit><name>Brot</name></item>"), std::string::npos) << Xml();
    EXPECT_EQ(UContainer::GetReceiptTotal(), 1250 + 5 + 149 - 199 + 398);
}

TEST_F(Sale, StornoFindsTheItemFromEitherLineAndNothingElse)
{
    Add(0, "3");
    Add(1);
    // Caret on the header, on nothing, behind the last line: nothing.
    Caret(0);
    k->StornoItem();
    EXPECT_EQ(Count(), 4);
    Caret(2);
    k->StornoItem();
    ASSERT_EQ(Count(), 6);
    EXPECT_EQ(L(4), Line("Brot", "", ""));
    EXPECT_EQ(L(5), Line(" 3 x  1,99€ = ", " A ", "-5,97€"));
    EXPECT_EQ(UContainer::GetReceiptTotal(), 99);
    // The storno lines cannot be cancelled.
    Caret(5);
    k->StornoItem();
    Caret(4);
    k->StornoItem();
    EXPECT_EQ(Count(), 6);
    // The same item twice: two blocks, negated twice.
    Caret(1);
    k->StornoItem();
    EXPECT_EQ(Count(), 8);
    EXPECT_EQ(UContainer::GetReceiptTotal(), 99 - 597);
    Caret(3);
    k->StornoItem();
    EXPECT_EQ(L(8), Line("Milch", " B ", "-0,99€"));
    EXPECT_EQ(UContainer::GetReceiptTotal(), -597);
    // Behind the last line break: the last line, a storno line: nothing.
    Caret(Count());
    k->StornoItem();
    EXPECT_EQ(Count(), 9);
}

TEST_F(Sale, StornoAfterTheTotalOpensTheReceiptAndOnAClosedReceiptDoesNothing)
{
    Add(1);
    Add(0);
    k->SumButtonClick(nullptr);
    EXPECT_TRUE(k->KassButton->Enabled());
    Caret(1);
    k->StornoItem();
    EXPECT_EQ(L(Count() - 1), Line("Milch", " B ", "-0,99€"));
    EXPECT_FALSE(k->KassButton->Enabled());
    EXPECT_TRUE(k->SumButton->Enabled());
    k->SumButtonClick(nullptr);
    EXPECT_EQ(L(Count() - 2), Line("SUMME", " ", " 1,99€"));

    k->AbrButtonClick(nullptr);
    EXPECT_EQ(L(Count() - 2), " ");
    EXPECT_EQ(L(Count() - 1), "###ABBRUCH###");
    EXPECT_TRUE(k->NewReceiptPending);
    EXPECT_FALSE(k->SumButton->Enabled() || k->AbrButton->Enabled() || k->KassButton->Enabled());
    const int lines = Count();
    Caret(2);
    k->StornoItem();
    EXPECT_EQ(Count(), lines);
    // Nothing is finished while no receipt is open.
    k->KassButtonClick(nullptr);
    EXPECT_EQ(Count(), lines);
    // The next item starts a new receipt.
    Add(1);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(UContainer::GetReceiptTotal(), 99);
}

TEST_F(Sale, DiscountAndSurchargeCloneTheLastItemOnce)
{
    Add(0, "3");
    k->RabA->SetText("10");
    k->RabButtonClick(nullptr);
    EXPECT_EQ(L(3), Line("Rabatt 1Stk.", " A ", "-0,60€"));
    EXPECT_FALSE(k->RabABox->Visible());
    EXPECT_EQ(k->LastItem, nullptr);
    k->AufButtonClick(nullptr);
    EXPECT_EQ(Count(), 4);
    Add(0, "3");
    k->RabA->SetText("5");
    k->AufButtonClick(nullptr);
    EXPECT_EQ(L(6), Line("Aufschlag 1Stk.", " A ", " 0,30€"));
    EXPECT_NE(Xml().find("<name>Aufschlag</name><discountSurcharge />"), std::string::npos) << Xml();
    EXPECT_EQ(UContainer::GetReceiptTotal(), 597 - 60 + 597 + 30);
    Add(1);
    k->RabA->SetText("0");
    k->RabButtonClick(nullptr);
    EXPECT_EQ(L(8), Line("Rabatt", "  ", "00,00€"));
    EXPECT_EQ(UContainer::GetReceiptTotal(), 597 - 60 + 597 + 30 + 99);
}

TEST_F(Sale, NoNumberLeavesTheReceiptAsItWas)
{
    Add(0);
    const std::string before = k->BelegMemo->Text();
    const std::string xml = Xml();
    k->ProdListSel->SetItemIndex(1);
    k->StkMemo->SetText("drei");
    try {
        k->ScanButtonClick(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'drei' ist kein gültiger Gleitkommawert");
    }
    k->SpezBez->SetText("Tüte");
    k->Pr1->SetText("1x");
    try {
        k->SpezAddButtonClick(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1x' ist kein gültiger Integerwert");
    }
    k->RabA->SetText("");
    EXPECT_THROW(k->RabButtonClick(nullptr), EConvertError);
    EXPECT_EQ(k->BelegMemo->Text(), before);
    EXPECT_EQ(Xml(), xml);
    // A price sum outside 32 bits: nothing handed over either.
    k->Pr1->SetText("2147483647");
    k->Pr2->SetText("1");
    EXPECT_THROW(k->SpezAddButtonClick(nullptr), EIntOverflow);
    k->Pr2->SetText("");
    k->SpezMenge->SetText("2");
    EXPECT_THROW(k->SpezAddButtonClick(nullptr), ERangeError);
    EXPECT_EQ(k->BelegMemo->Text(), before);
    EXPECT_EQ(Xml(), xml);
}

TEST_F(Sale, TheLineTableEndsAtLine2047)
{
    Add(1);
    std::string text = k->BelegMemo->Text();
    for (int i = Count(); i < 2047; ++i)
        text += "x\r\n";
    k->BelegMemo->SetText(text);
    ASSERT_EQ(Count(), 2047);
    // A two-line item does not fit at 2047; one line does.
    const std::string items = core.ItemList().Bytes();
    EXPECT_THROW(Add(0, "2"), ERangeError);
    EXPECT_EQ(Count(), 2047);
    EXPECT_EQ(core.ItemList().Bytes(), items);
    Add(1); // line 2047
    EXPECT_EQ(L(2047), Line("Milch", " B ", " 0,99€"));
    EXPECT_EQ(Count(), 2048);
    const std::string more = core.ItemList().Bytes();
    EXPECT_THROW(Add(1), ERangeError);
    EXPECT_EQ(Count(), 2048);
    EXPECT_EQ(core.ItemList().Bytes(), more);
    // Lines without an item are not limited; a storno with the caret there is refused.
    k->SumButtonClick(nullptr);
    EXPECT_EQ(Count(), 2051);
    Caret(2049);
    EXPECT_THROW(k->StornoItem(), ERangeError);
    Caret(2047);
    k->StornoItem();
    EXPECT_EQ(Count(), 2052);
}

TEST_F(Sale, SpecialItemTakesTheEditorsFields)
{
    k->SpezBez->SetText("");
    k->SpezEinheit->SetText("l");
    k->SpezMenge->SetText("1.5");
    k->Pr1->SetText("100");
    k->Pr3->SetText("-20");
    k->AgBox->SetChecked(true);
    k->SpezAddButtonClick(nullptr);
    EXPECT_EQ(k->SpezMenge->Text(), "1,5");
    EXPECT_EQ(L(1), Line("", "", ""));
    EXPECT_EQ(L(2), Line(" 1,5 l x  0,80€ = ", " AC ", " 1,20€"));
    EXPECT_EQ(UContainer::GetContainer(7).turnover, 120);
    // A click on either line shows the item in the editor.
    k->SpezBez->SetText("x");
    k->Pr1->SetText("");
    Caret(2);
    k->BelegMemoClick(nullptr);
    EXPECT_EQ(k->Pr1->Text(), "100");
    EXPECT_EQ(k->Pr2->Text(), "0");
    EXPECT_EQ(k->SpezBez->Text(), "");
    EXPECT_EQ(k->SpezMenge->Text(), "1,5");
    EXPECT_TRUE(k->AgBox->Checked());
}

TEST_F(Sale, KeysOfTheListAndTheFields)
{
    k->ProdListSel->SetItemIndex(0);
    k->QuantityFresh = true;
    k->StkMemo->SetText("1");
    Key(k->ProdListSel, '3');
    EXPECT_EQ(k->StkMemo->Text(), "3");
    Key(k->ProdListSel, '2');
    EXPECT_EQ(k->StkMemo->Text(), "32");
    Key(k->ProdListSel, '+');
    EXPECT_EQ(L(2), Line(" 32 Stk. x  1,99€ = ", " A ", "63,68€"));
    Caret(1);
    Key(k->ProdListSel, '-');
    EXPECT_EQ(Count(), 5);

    k->StkMemo->SetText("");
    for (char c : std::string("1,a,5"))
        Key(k->StkMemo, c);
    EXPECT_EQ(k->StkMemo->Text(), "1,5");
    Key(k->StkMemo, '-');
    EXPECT_EQ(k->StkMemo->Text(), "-");
    for (char c : std::string("7\r"))
        Key(k->Pr1, c);
    Key(k->Pr1, ',');
    Key(k->Pr1, '-');
    EXPECT_EQ(k->Pr1->Text(), "7-");
    k->Pr1->SetText("7");
    k->SpezBez->SetText("Tüte");
    Key(k->Pr1, '+');
    EXPECT_EQ(L(5), Line("Tüte", " A ", " 0,07€"));
    EXPECT_EQ(k->Pr1->Text(), "7");

    // Enter in the list totals; Esc in a field cancels.
    Key(k->ProdListSel, '\r');
    EXPECT_TRUE(k->KassButton->Enabled());
    Key(k->SpezMenge, '\x1b');
    EXPECT_EQ(L(Count() - 1), "###ABBRUCH###");
    EXPECT_TRUE(k->NewReceiptPending);
}

TEST_F(Sale, TextAndQrCodeAreNeverBothOff)
{
    EXPECT_TRUE(k->SecQRCode->Checked());
    EXPECT_FALSE(k->SecText->Checked());
    k->SecQRCodeClick(nullptr);
    EXPECT_TRUE(k->SecText->Checked());
    EXPECT_FALSE(k->SecQRCode->Checked());
    k->SecTextClick(nullptr);
    EXPECT_TRUE(k->SecQRCode->Checked());
    EXPECT_FALSE(k->SecText->Checked());
    k->SecTextClick(nullptr);
    EXPECT_TRUE(k->SecQRCode->Checked() && k->SecText->Checked());

    k->Training1Click(nullptr);
    EXPECT_TRUE(k->TrainingMode && k->Training1->Checked());
    EXPECT_EQ(k->Color(), static_cast<TColor>(65535));
    k->Training1Click(nullptr);
    EXPECT_FALSE(k->TrainingMode);
    EXPECT_EQ(k->Color(), clBtnFace);

    k->VerifikationaufQSMClick(nullptr);
    EXPECT_TRUE(DebugForm->CheckVer->Checked());
    k->VerifikationaufQSMClick(nullptr);
    EXPECT_FALSE(DebugForm->CheckVer->Checked());

    k->SelectOperator(2);
    EXPECT_TRUE(k->BedButton2->Checked());
    k->SelectOperator(3);
    EXPECT_TRUE(k->BedButton2->Checked());
    k->BedName1Click(nullptr);
    EXPECT_TRUE(k->BedButton1->Checked());
}

TEST_F(Sale, HashAndSignatureBlocks)
{
    Add(1);
    std::uint8_t hash[20] = {};
    std::uint8_t signature[48];
    std::fill(std::begin(signature), std::end(signature), 0xFF);
    k->AddHashToReceipt(hash, 20, false);
    k->AddSignatureToReceipt(signature, 48, false);
    EXPECT_EQ(Count(), 2);
    k->AddSignatureToReceipt(nullptr, 0, false);
    EXPECT_EQ(L(2), "\tkeine Signatur");
    k->SecText->SetChecked(true);
    k->AddHashToReceipt(hash, 20, false);
    EXPECT_EQ(L(3), "Hash:");
    EXPECT_EQ(L(4), "AAAAA-AAAAA-AAAAA-AAAAA-AAAAA-AAAAA-AA");
    k->AddSignatureToReceipt(signature, 48, false);
    ASSERT_EQ(Count(), 9);
    EXPECT_EQ(L(5), "Signatur:");
    EXPECT_EQ(L(6), "77777-77777-77777-77777-77777-77777-");
    EXPECT_EQ(L(7), "77777-77777-77777-77777-77777-77777-");
    EXPECT_EQ(L(8), "77777-77777-77777-76===");
}

TEST_F(Sale, ANewReceiptFromOutsideClosesTheReceiptAndTheVatDialogFollowsIt)
{
    Add(0);
    FormUStS->Show();
    EXPECT_FALSE(FormUStS->USS1->Enabled());
    EXPECT_TRUE(FormUStS->StaticText->Visible());
    FormUStS->Hide();
    k->NewReceipt();
    EXPECT_TRUE(k->NewReceiptPending);
    EXPECT_EQ(k->LastItem, nullptr);
    EXPECT_FALSE(k->RabABox->Visible());
    EXPECT_FALSE(k->SumButton->Enabled() || k->AbrButton->Enabled() || k->KassButton->Enabled());
    k->RabButtonClick(nullptr);
    k->KassButtonClick(nullptr);
    EXPECT_EQ(Count(), 1);
    FormUStS->Show();
    EXPECT_TRUE(FormUStS->USS1->Enabled());
    FormUStS->Hide();
}

TEST_F(Sale, HoveringShowsThePriceAndTheTimerFillsTheEditor)
{
    k->Show();
    SetForegroundWindow(k->Handle());
    ASSERT_TRUE(k->Active());
    const RECT brot = k->ProdListSel->ItemRect(0), milch = k->ProdListSel->ItemRect(1);
    k->FormMouseMove(nullptr, 0, 0, 0);
    k->ProdListSelMouseMove(nullptr, 0, brot.left + 5, brot.top + 2);
    EXPECT_EQ(k->ProdListSel->GetItemIndex(), 0);
    EXPECT_EQ(k->PreisEdit->Caption(), "199");
    EXPECT_EQ(k->EinhLabel->Caption(), "Stk.");
    EXPECT_TRUE(k->PosTimer->Enabled());
    EXPECT_EQ(k->ShownProductIndex, 0);
    // A typed quantity stays while the same entry is hovered again, and a new entry resets it.
    k->StkMemo->SetText("4");
    k->ProdListSelMouseMove(nullptr, 0, milch.left + 5, milch.top + 2);
    EXPECT_EQ(k->StkMemo->Text(), "1");
    EXPECT_EQ(k->PreisEdit->Caption(), "99");
    EXPECT_EQ(k->EinhLabel->Caption(), "");
    // A move of 20 pixels or more sideways records the position only.
    k->ProdListSelMouseMove(nullptr, 0, brot.left + 30, brot.top + 2);
    EXPECT_EQ(k->ProdListSel->GetItemIndex(), 1);
    k->ProdListSelMouseMove(nullptr, 0, brot.left + 31, brot.top + 3);
    EXPECT_EQ(k->ProdListSel->GetItemIndex(), 0);
    k->PosTimerTimer(nullptr);
    EXPECT_FALSE(k->PosTimer->Enabled());
    EXPECT_EQ(k->SpezBez->Text(), "Brot");
    EXPECT_EQ(k->SpezEinheit->Text(), "Stk.");
    EXPECT_EQ(k->Pr1->Text(), "199");
    EXPECT_EQ(k->SpezMenge->Text(), "1");
    // Over the product box the timer stops.
    k->ProdListSelMouseMove(nullptr, 0, milch.left + 31, milch.top + 2);
    EXPECT_TRUE(k->PosTimer->Enabled());
    k->ProdBoxMouseMove(nullptr, 0, 0, 0);
    EXPECT_FALSE(k->PosTimer->Enabled());
}

TEST_F(Sale, RandomItemsFollowTheProgramsGenerator)
{
    core.Random().Randomize(7);
    TRandom expected;
    expected.Randomize(7);
    k->AddRandomItem(1);
    const int first = static_cast<int>(expected.Next(4));
    EXPECT_EQ(k->ProdListSel->GetItemIndex(), first);
    EXPECT_EQ(Count(), 2);
    k->AddRandomItem(5);
    const int second = static_cast<int>(expected.Next(4));
    const int quantity = static_cast<int>(expected.Next(5)) + 1;
    EXPECT_EQ(k->ProdListSel->GetItemIndex(), second);
    const std::string xml = Xml();
    EXPECT_NE(xml.find("<qnt>" + std::to_string(quantity) + "</qnt>", xml.find("</item>")), std::string::npos) << xml;
    EXPECT_EQ(k->StkMemo->Text(), "1");
}

TEST_F(Sale, HeldDiscountKeysTakeTheLastStateAskedForWhenShownOrReleased)
{
    {
        const TKassTip::TKeysHold hold(*k);
        Add(0);
        EXPECT_FALSE(k->RabABox->Visible());
        k->ShowHeldKeys();
        EXPECT_TRUE(k->RabABox->Visible());
        k->SumButtonClick(nullptr);
        Add(1);
        k->SumButtonClick(nullptr);
        EXPECT_TRUE(k->RabABox->Visible());
    }
    EXPECT_FALSE(k->RabABox->Visible());
    // Not held: at once.
    Add(2);
    EXPECT_TRUE(k->RabABox->Visible());
}

TEST_F(Sale, NothingIsSoldWhileACardCommandIsHeld)
{
    Add(0);
    core.SetHolding(true);
    const std::string before = k->BelegMemo->Text();
    Add(1);
    k->SumButtonClick(nullptr);
    k->AbrButtonClick(nullptr);
    k->KassButtonClick(nullptr);
    Caret(1);
    k->StornoItem();
    EXPECT_EQ(k->BelegMemo->Text(), before);
    EXPECT_FALSE(k->NewReceiptPending);
    core.SetHolding(false);
    Add(1);
    EXPECT_EQ(Count(), 3);
}

TEST_F(Sale, AnItemPastTheItemListsLimitIsRefusedWhole)
{
    // About 80 bytes an item: the longest quantity, unit and name, six amounts.
    k->SpezBez->SetText("abcdefghijklmnopqrstuvwxyz");
    k->SpezEinheit->SetText("abcdefgh");
    k->SpezMenge->SetText("1,23456789012345");
    for (int n = 1; n <= 6; ++n)
        k->PriceEdit(n)->SetText("999999");
    // The open receipt's list filled close to its limit directly.
    Add(1);
    while (core.ItemList().Size() < ItemListLimit - 300)
        UContainer::AddItemData("1", "", "Milch", false, false, false, {"", "99"});
    int added = 0;
    for (; added < 10; ++added) {
        const size_t items = core.ItemList().Size(), xml = Xml().size();
        try {
            k->SpezAddButtonClick(nullptr);
        } catch (const ERangeError&) {
            EXPECT_EQ(core.ItemList().Size(), items);
            EXPECT_EQ(Xml().size(), xml);
            break;
        }
    }
    EXPECT_GT(added, 1);
    EXPECT_LT(added, 10);
    EXPECT_EQ(Count(), 2 + 2 * added);
}
