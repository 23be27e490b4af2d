// The register window's second half in this process, without a card: the month-list entries,
// the boxes of report mode and of the editor, the product-list entries and files, the status
// receipt, the receipt saved to a file, the receipt rendered for a printer and a printer that
// fails. The card's side of the reports is shown end to end by the program test.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/Printers.h"
#include "gui/StdCtrls.h"
#include "gui/base/Exceptions.h"
#include "register/core/UProdList_Export.h"
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
#include "tests/support/FilePrinters.h"
#include "tests/support/ModalScript.h"

namespace {

std::string ReadAll(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Reports : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SkinControlsStart(); }
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "kasstip-reports-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        productFile = dir + "Start.xml";
        k = KassTipTestWindow::Open(core, productFile,
                                    "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                                    "<item><name>Milch</name><price2>99</price2></item>"
                                    "<item><name>Wurst</name><unit>kg</unit><price1>1250</price1></item>");
    }
    void TearDown() override
    {
        KassTipTestWindow::Close();
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                SetFileAttributesA((dir + fd.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA((dir + fd.cFileName).c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < k->ProdListSel->Items().Count(); ++i)
            names.push_back(k->ProdListSel->Items()[i]);
        return names;
    }
    std::vector<std::string> Memo()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < k->BelegMemo->Lines().Count(); ++i)
            lines.push_back(k->BelegMemo->Lines()[i]);
        return lines;
    }

    TRegisterCore core;
    std::string dir, productFile;
    TKassTip* k = nullptr;
};

} // namespace

TEST(MonthEntry, OffsetsFromTheStartMonth)
{
    struct Row {
        int offset, month, year;
        const char* entry;
    };
    const Row rows[] = {
        {0, 1, 2024, "+  0 | 01/2024"},   {11, 1, 2024, "+ 11 | 12/2024"}, {12, 1, 2024, "+ 12 | 01/2025"},
        {255, 1, 2024, "+255 | 04/2045"}, {5, 8, 2009, "+  5 | 01/2010"},  {4, 8, 2009, "+  4 | 12/2009"},
        {0, 12, 2023, "+  0 | 12/2023"},  {1, 12, 2023, "+  1 | 01/2024"}, {24, 12, 2023, "+ 24 | 12/2025"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(TKassTip::FormatMonthEntry(r.offset, r.month, r.year), r.entry) << r.offset << " " << r.month;
}

TEST_F(Reports, ReportModeAndTheEditorArrangeTheBoxes)
{
    EXPECT_TRUE(k->ProdBox->Visible());
    EXPECT_FALSE(k->ReportBox->Visible());
    EXPECT_EQ(k->ProdBox->Left(), 1);
    EXPECT_EQ(k->BelegBox->Left(), 1 + k->ProdBox->Width() + 5);
    EXPECT_EQ(k->Width(), k->BelegBox->Left() + k->BelegBox->Width() + 15);

    k->ItemButtonClick(nullptr);
    EXPECT_TRUE(k->ItemBox->Visible());
    const int shifted = k->ItemBox->Left() + k->ItemBox->Width() + 5;
    EXPECT_EQ(k->ProdBox->Left(), shifted);
    EXPECT_EQ(k->BelegBox->Left(), shifted + k->ProdBox->Width() + 5);
    EXPECT_EQ(k->Width(), k->BelegBox->Left() + k->BelegBox->Width() + 15);

    // A month list that holds entries is kept: no card is asked.
    k->MonthList->Items().Add("+  0 | 01/2024");
    k->ReportButtonClick(nullptr);
    EXPECT_TRUE(k->ReportMode);
    EXPECT_FALSE(k->ProdBox->Visible());
    EXPECT_FALSE(k->ItemBox->Visible());
    EXPECT_TRUE(k->ReportBox->Visible());
    EXPECT_FALSE(k->VerifikationaufQSM->Visible());
    EXPECT_EQ(k->ProdBox->Left(), 1);
    EXPECT_EQ(k->ReportBox->Left(), 1);
    EXPECT_EQ(k->ReportBox->Top(), k->ProdBox->Top());
    EXPECT_EQ(k->ReportBox->Width(), k->ProdBox->Width());
    EXPECT_EQ(k->ReportBox->Height(), k->ProdBox->Height());
    EXPECT_EQ(k->MonthList->Items().Count(), 1);
    EXPECT_TRUE(k->NewReceiptPending);

    k->ReportVerlButtonClick(nullptr);
    EXPECT_FALSE(k->ReportMode);
    EXPECT_TRUE(k->ProdBox->Visible());
    EXPECT_TRUE(k->ItemBox->Visible());
    EXPECT_FALSE(k->ReportBox->Visible());
    EXPECT_TRUE(k->VerifikationaufQSM->Visible());
    EXPECT_EQ(k->ProdBox->Left(), shifted);
}

TEST_F(Reports, BookedMonthsAndBrokenHeads)
{
    k->ShowBookedMonths(std::string("200908:\x00\x05\x0C", 10));
    EXPECT_EQ(k->CardStart->Caption(), "08/2009");
    ASSERT_EQ(k->MonthList->Items().Count(), 3);
    EXPECT_EQ(k->MonthList->Items()[0], "+  0 | 08/2009");
    EXPECT_EQ(k->MonthList->Items()[1], "+  5 | 01/2010");
    EXPECT_EQ(k->MonthList->Items()[2], "+ 12 | 08/2010");

    // A head that is not six digits, or no head at all: the conversion error, no months.
    for (const std::string& bad :
         {std::string("2009:\x01"), std::string("20090A:\x01"), std::string("2009081:\x01"), std::string("\x00\x01")}) {
        try {
            k->ShowBookedMonths(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_NE(std::string(e.what()).find("ist kein g\xFCltiger Integerwert"), std::string::npos) << e.what();
        }
        EXPECT_EQ(k->MonthList->Items().Count(), 0) << bad;
    }
    k->ShowBookedMonths("202401:");
    EXPECT_EQ(k->CardStart->Caption(), "01/2024");
    EXPECT_EQ(k->MonthList->Items().Count(), 0);
}

TEST_F(Reports, PeriodReportWithoutSelectionDoesNothing)
{
    k->MonthList->Items().Add("+  0 | 01/2024");
    k->MonthList->Items().Add("+  1 | 02/2024");
    const int lines = k->BelegMemo->Lines().Count();
    k->BerRepButtonClick(nullptr);
    EXPECT_EQ(k->BelegMemo->Lines().Count(), lines);
    k->MonthList->Items().Clear();
    k->BerRepButtonClick(nullptr);
    EXPECT_EQ(k->BelegMemo->Lines().Count(), lines);
}

TEST_F(Reports, StatusReceiptAndItsFailure)
{
    k->ShowCardStatus();
    const std::vector<std::string> status = {
        std::string(13, ' ') + "Kassenbeleg",
        "",
        "\t  QSM-Status",
        "",
        "Kartenzustand\t\t",
        "Kartenversion\t\t\t",
        "QSM-Kennung\t\t",
        "QSM-Nummer\t\t",
        "Chip-Seriennummer\t\t",
        "Letzter Tagesabschluss\t\t",
        "Startmonat\t\t",
        "Transaktionsz\xE4hler\t\t",
        "Berichtsz\xE4hler\t",
    };
    EXPECT_EQ(Memo(), status);
    EXPECT_TRUE(k->NewReceiptPending);
    k->ShowCardStatusFailure();
    const std::vector<std::string> failure = {std::string(13, ' ') + "Kassenbeleg", "", "\t  QSM-Status", "",
                                              "\tFehler"};
    EXPECT_EQ(Memo(), failure);
}

TEST_F(Reports, EditorItemsJoinTheListAndDeletingLeavesThePriceShown)
{
    k->SpezBez->SetText("");
    k->sLabelFX1Click(nullptr);
    EXPECT_EQ(k->ProdListSel->Items().Count(), 3);

    k->SpezBez->SetText("Kaffee & Kuchen");
    k->SpezEinheit->SetText("Stk.");
    k->SpezMenge->SetText("2");
    k->PriceEdit(1)->SetText("350");
    k->PriceEdit(2)->SetText("");
    k->AgBox->SetChecked(true);
    k->sLabelFX1Click(nullptr);
    ASSERT_EQ(k->ProdListSel->Items().Count(), 4);
    EXPECT_EQ(k->ProdListSel->Items()[3], "Kaffee & Kuchen");
    const auto* added = dynamic_cast<const TProd*>(k->ProdListSel->Items().Objects(3));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Price(1), 350);
    EXPECT_EQ(added->Quantity, 2.0);
    EXPECT_TRUE(added->ThirdParty);
    EXPECT_EQ(k->SpezMenge->Text(), "2");

    // The shown entry goes; its price stays on display.
    k->ProdListSel->SetItemIndex(0);
    k->PreisEdit->SetCaption("199");
    k->Lschen1Click(nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Milch", "Wurst", "Kaffee & Kuchen"}));
    EXPECT_EQ(k->PreisEdit->Caption(), "199");
    k->ProdListSel->SetItemIndex(-1);
    k->Lschen1Click(nullptr);
    EXPECT_EQ(k->ProdListSel->Items().Count(), 3);
}

TEST_F(Reports, ProductListSavedChangedSavedAgainAndReopened)
{
    const std::string chosen = dir + "Neu.xml";
    {
        TModalScript script({TModalScript::EnterFileName(chosen)});
        k->Speichern2Click(nullptr);
        EXPECT_EQ(script.Done(), 1);
        EXPECT_EQ(script.Unexpected(), 0);
    }
    EXPECT_EQ(UXML_Import::LoadedFileName(), chosen);
    EXPECT_EQ(ReadAll(chosen), UProdList_Export::ProductListText(k->ProdListSel->Items()));
    // The original file is untouched.
    EXPECT_NE(ReadAll(productFile).find("<item><name>Wurst</name>"), std::string::npos);

    k->SpezBez->SetText("Tee");
    k->SpezMenge->SetText("1");
    k->PriceEdit(1)->SetText("120");
    k->sLabelFX1Click(nullptr);
    k->ProdListSel->SetItemIndex(1);
    k->Lschen1Click(nullptr);
    const std::vector<std::string> changed = Names();
    const std::string text = UProdList_Export::ProductListText(k->ProdListSel->Items());
    k->Speichern1Click(nullptr);
    EXPECT_EQ(ReadAll(chosen), text);
    EXPECT_EQ(Names(), changed);

    {
        TModalScript script({TModalScript::EnterFileName(productFile)});
        k->ffnen1Click(nullptr);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"Brot", "Milch", "Wurst"}));
    {
        TModalScript script({TModalScript::EnterFileName(chosen)});
        k->ffnen1Click(nullptr);
    }
    EXPECT_EQ(Names(), changed);
    EXPECT_EQ(UProdList_Export::ProductListText(k->ProdListSel->Items()), text);
    EXPECT_EQ(k->ShownProductIndex, -1);
}

TEST_F(Reports, FailedSaveKeepsTheEntries)
{
    // Another program reads the file and lets nobody write it.
    HANDLE reader = CreateFileA(productFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const std::vector<std::string> before = Names();
    EXPECT_THROW(k->Speichern1Click(nullptr), EFCreateError);
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(UXML_Import::LoadedFileName(), "");
    CloseHandle(reader);

    // A product file that cannot be opened: the list stays as it is.
    {
        TModalScript script({TModalScript::EnterFileName(dir + "Fehlt.xml")});
        EXPECT_ANY_THROW(k->ffnen1Click(nullptr));
    }
    EXPECT_EQ(Names(), before);
}

TEST_F(Reports, ReceiptSavedAsItStandsWithOverwritePrompt)
{
    k->BelegMemo->SetText("    Kassenbeleg\r\nBrot\t1,99\x80\r\n\r\nEnde");
    {
        TModalScript script({TModalScript::EnterFileName(dir + "Beleg")});
        k->Belegspeichern1Click(nullptr);
        EXPECT_EQ(script.Unexpected(), 0);
    }
    EXPECT_EQ(ReadAll(dir + "Beleg.txt"), "    Kassenbeleg\r\nBrot\t1,99\x80\r\n\r\nEnde");

    // An existing file is replaced only when the user agrees.
    k->BelegMemo->SetText("Zweiter");
    {
        TModalScript script({TModalScript::EnterFileName(dir + "Beleg.txt"), TModalScript::PressButton(IDYES)});
        k->Belegspeichern1Click(nullptr);
        EXPECT_EQ(script.Done(), 2);
    }
    EXPECT_EQ(ReadAll(dir + "Beleg.txt"), "Zweiter");
}

TEST_F(Reports, ReceiptRenderedWithTheQrPictureAtTheBottomCentre)
{
    k->Show();
    k->BelegMemo->SetText("            Kassenbeleg\r\nBrot                  1,99\r\nMilch                 0,99\r\n"
                          "SUMME                 2,98\r\nDanke\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nEnde");
    TBitmap& qr = k->QrOverlay->Picture();
    qr.SetSize(60, 60);
    qr.Canvas().Brush().SetColor(clBlack);
    qr.Canvas().FillRect(RECT{0, 0, 60, 60});
    k->QrOverlay->SetBounds(0, 0, 60, 60);

    std::unique_ptr<TBitmap> all = k->RenderReceipt(false);
    EXPECT_EQ(all->Width(), k->BelegMemo->ClientWidth());
    EXPECT_EQ(all->Height(), std::lround(15 * 8 * 1.79)); // 215
    const int left = all->Width() / 2 - 30;
    EXPECT_EQ(all->Canvas().Pixel(left, all->Height() - 60), RGB(0, 0, 0));
    EXPECT_EQ(all->Canvas().Pixel(left + 59, all->Height() - 1), RGB(0, 0, 0));
    EXPECT_EQ(all->Canvas().Pixel(left - 1, all->Height() - 1), RGB(255, 255, 255));
    EXPECT_EQ(all->Canvas().Pixel(left, all->Height() - 61), RGB(255, 255, 255));
    // The text is drawn in the upper lines.
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < all->Width(); ++x)
            if (all->Canvas().Pixel(x, y) != RGB(255, 255, 255)) ++dark;
    EXPECT_GT(dark, 20);

    // The selection alone: two lines.
    const std::string text = k->BelegMemo->Text();
    k->BelegMemo->SetSelStart(static_cast<int>(text.find("Brot")));
    k->BelegMemo->SetSelLength(static_cast<int>(text.find("SUMME") - 2 - text.find("Brot")));
    std::unique_ptr<TBitmap> part = k->RenderReceipt(true);
    EXPECT_EQ(part->Height(), std::lround(2 * 8 * 1.79)); // 29
}

TEST_F(Reports, StandardPrintingAndAPrinterThatFails)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string output = dir + "beleg.ps";
    k->BelegMemo->SetText("Kassenbeleg\r\nBrot 1,99");
    {
        TFilePrinters printers({"Tillora Beleg"}, output);
        ASSERT_TRUE(printers.Ready());
        SetDefaultPrinterA(TFilePrinters::Name("Tillora Beleg").c_str());
        Printer()->SetPrinterName("");
        {
            TModalScript script({TModalScript::PressButton(IDCANCEL)});
            k->Standard1Click(nullptr); // cancelled: nothing happens
            EXPECT_EQ(script.Done(), 1);
        }
        EXPECT_FALSE(Printer()->Printing());
        {
            TModalScript script({TModalScript::PressButton(IDOK)});
            k->Standard1Click(nullptr);
            EXPECT_EQ(script.Unexpected(), 0);
        }
        EXPECT_FALSE(Printer()->Printing());
        EXPECT_NE(ReadAll(output).find("%!PS"), std::string::npos);
    }
    {
        // The port of this printer leads into a folder that does not exist.
        TFilePrinters printers({"Tillora Defekt"}, dir + "fehlt\\defekt.ps");
        ASSERT_TRUE(printers.Ready());
        SetDefaultPrinterA(TFilePrinters::Name("Tillora Defekt").c_str());
        Printer()->SetPrinterName("");
        TModalScript script({TModalScript::PressButton(IDOK)});
        EXPECT_THROW(k->Standard1Click(nullptr), EPrinter);
        EXPECT_FALSE(Printer()->Printing());
    }
    Printer()->SetPrinterName("");
}
