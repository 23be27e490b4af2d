// The open, save and print dialogs answered as a user would, and the printer canvas printing
// into a file through the spooler.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/Dialogs.h"
#include "gui/tests/FilePrinters.h"
#include "gui/Forms.h"
#include "tests/support/ModalScript.h"
#include "gui/Printers.h"
#include "gui/base/Streams.h"
#include "gui/base/SysUtils.h"

namespace {

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir = std::string(tmp) + "gui_dialogs_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        form = TForm::Create<TForm>(Application);
        form->SetBounds(50, 50, 300, 200);
        form->Show();
    }
    void TearDown() override
    {
        form->Free();
        for (const char* f : {"beleg.txt", "log.txt", "liste.xml", "prod.xml"})
            DeleteFileA((dir + f).c_str());
        RemoveDirectoryA(dir.c_str());
    }
    void Touch(const std::string& name)
    {
        TFileStream f(dir + name, fmCreate);
        f.WriteString("x");
    }
    std::string dir;
    TForm* form = nullptr;
};

std::string CurrentDir()
{
    char buf[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, buf);
    return buf;
}

TEST_F(DialogsTest, SaveDialogAddsTheDefaultExtensionInTheInitialFolder)
{
    std::string before = CurrentDir();
    // The extension as the windows give it: with a star, with a dot, plain.
    const std::pair<const char*, const char*> cases[] = {
        {"*.txt", "log.txt"}, {".xml", "liste.xml"}, {"txt", "beleg.txt"}};
    for (auto [ext, expected] : cases) {
        SCOPED_TRACE(ext);
        TSaveDialog save(nullptr);
        save.DefaultExt = ext;
        save.InitialDir = dir;
        save.Title = "Log speichern";
        std::string typed = std::string(expected).substr(0, std::string(expected).find('.'));
        TModalScript script({TModalScript::EnterFileName(typed)});
        ASSERT_TRUE(save.Execute());
        EXPECT_EQ(save.FileName, dir + expected);
        ASSERT_EQ(script.Done(), 1);
        EXPECT_EQ(script.Texts[0], "Log speichern");
        EXPECT_EQ(script.Unexpected(), 0);
    }
    EXPECT_EQ(CurrentDir(), before); // choosing a folder does not move the program's folder

    TSaveDialog save(nullptr);
    save.FileName = "vorher.txt";
    TModalScript script({TModalScript::PressButton(IDCANCEL)});
    EXPECT_FALSE(save.Execute());
    EXPECT_EQ(save.FileName, "vorher.txt");
    EXPECT_EQ(script.Done(), 1);
}

TEST_F(DialogsTest, SaveDialogAsksBeforeOverwritingOnlyWhenTold)
{
    Touch("liste.xml");
    TSaveDialog save(nullptr);
    save.DefaultExt = "xml";
    save.Filter = "XML|*.xml";
    save.InitialDir = dir;
    save.Options = ofOverwritePrompt | ofHideReadOnly;
    {
        std::string filterShown;
        TModalScript script({[&](HWND dlg) {
                                 filterShown = TModalScript::ItemText(dlg, cmb1);
                                 TModalScript::EnterFileName("liste")(dlg);
                             },
                             TModalScript::PressButton(IDYES)});
        ASSERT_TRUE(save.Execute());
        EXPECT_EQ(save.FileName, dir + "liste.xml");
        EXPECT_EQ(script.Done(), 2); // the question came and was answered
        EXPECT_EQ(script.Unexpected(), 0);
        EXPECT_EQ(filterShown.substr(0, 3), "XML");
    }
    {
        // Answering No leaves the dialog open; cancelling it then chooses nothing.
        save.FileName.clear();
        TModalScript script({TModalScript::EnterFileName("liste"), TModalScript::PressButton(IDNO),
                             TModalScript::PressButton(IDCANCEL)});
        EXPECT_FALSE(save.Execute());
        EXPECT_EQ(script.Done(), 3);
        EXPECT_EQ(script.Unexpected(), 0);
    }
    save.Options = ofHideReadOnly;
    TModalScript script({TModalScript::EnterFileName("liste")});
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, dir + "liste.xml");
    EXPECT_EQ(script.Unexpected(), 0); // no question
}

TEST_F(DialogsTest, OpenDialogInsistsOnAnExistingFileWhenTold)
{
    Touch("prod.xml");
    TOpenDialog open(nullptr);
    open.DefaultExt = ".xml";
    open.Filter = "XML|*.xml|Alle|*.*";
    open.InitialDir = dir;
    open.Options = ofFileMustExist | ofHideReadOnly;
    TModalScript script({TModalScript::EnterFileName("fehlt"), TModalScript::PressButton(IDOK),
                         TModalScript::EnterFileName("prod.xml")});
    bool chosen = open.Execute();
    std::string seen;
    for (const std::string& t : script.Texts)
        seen += "[" + t + "]";
    ASSERT_TRUE(chosen) << seen << " unexpected " << script.Unexpected();
    EXPECT_EQ(open.FileName, dir + "prod.xml");
    EXPECT_EQ(script.Done(), 3); // the complaint about the missing file came between
    EXPECT_EQ(script.Unexpected(), 0);
}

class PrintingTest : public DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        output = dir + "printed.ps";
        printers = std::make_unique<TFilePrinters>(std::vector<std::string>{"Tillora Bon", "Tillora Archiv"}, output);
        ASSERT_TRUE(printers->Ready());
        bon = TFilePrinters::Name("Tillora Bon");
        archiv = TFilePrinters::Name("Tillora Archiv");
        SetDefaultPrinterA(bon.c_str());
        Printer()->SetPrinterName("");
    }
    void TearDown() override
    {
        Printer()->SetPrinterName("");
        printers.reset();
        DialogsTest::TearDown();
    }
    // Chooses a printer in the print dialog and confirms; notes the printer it showed first.
    TModalScript::Step Choose(const std::string& name, std::string* shown = nullptr, bool selection = false)
    {
        return [name, shown, selection](HWND dlg) {
            HWND combo = GetDlgItem(dlg, cmb4);
            if (shown) *shown = TModalScript::ItemText(dlg, cmb4);
            if (!name.empty()) {
                SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
                SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(cmb4, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            }
            if (selection) SendMessageA(GetDlgItem(dlg, rad2), BM_CLICK, 0, 0);
            TModalScript::Press(dlg, IDOK);
        };
    }
    std::string output, bon, archiv;
    std::unique_ptr<TFilePrinters> printers;
};

TEST_F(PrintingTest, PrintDialogChoosesThePrinterAndKeepsTheChoice)
{
    TPrintDialog dlg(nullptr);
    std::string first, second;
    {
        TModalScript script({Choose(archiv, &first)});
        ASSERT_TRUE(dlg.Execute());
        EXPECT_EQ(script.Unexpected(), 0);
    }
    EXPECT_EQ(first, bon); // the system's default to begin with
    EXPECT_EQ(Printer()->PrinterName(), archiv);
    {
        // Opened again, the dialog shows the printer chosen before; confirming keeps it.
        TModalScript script({Choose("", &second)});
        ASSERT_TRUE(dlg.Execute());
    }
    EXPECT_EQ(second, archiv);
    EXPECT_EQ(Printer()->PrinterName(), archiv);
    {
        TModalScript script({TModalScript::PressButton(IDCANCEL)});
        EXPECT_FALSE(dlg.Execute());
        EXPECT_EQ(script.Done(), 1);
    }
    EXPECT_EQ(Printer()->PrinterName(), archiv);

    // The print range: the selection only when it is offered and chosen.
    dlg.AllowSelection = true;
    {
        TModalScript script({Choose(bon, nullptr, true)});
        ASSERT_TRUE(dlg.Execute());
    }
    EXPECT_EQ(dlg.PrintRange, prSelection);
    EXPECT_EQ(Printer()->PrinterName(), bon);
    {
        TModalScript script({Choose("")});
        ASSERT_TRUE(dlg.Execute());
    }
    EXPECT_EQ(dlg.PrintRange, prAllPages);
}

TEST_F(PrintingTest, PrinterCanvasDrawsAtThePrintersResolutionAndFailsLoudly)
{
    TPrinter* p = Printer();
    p->SetPrinterName(archiv);
    p->Title = "Zahlungsbeleg Test";
    EXPECT_THROW(p->EndDoc(), EPrinter);
    EXPECT_THROW(p->NewPage(), EPrinter);
    p->BeginDoc();
    EXPECT_TRUE(p->Printing());
    EXPECT_THROW(p->BeginDoc(), EPrinter);
    EXPECT_GT(p->PageWidth(), 2000); // an A4 page at 300 dpi, not the screen
    EXPECT_GT(p->PageHeight(), p->PageWidth());
    p->Canvas().Font().SetHeight(-80);
    EXPECT_GT(p->Canvas().TextWidth("Summe 12,50"), 200);
    p->Canvas().Brush().SetColor(clRed);
    p->Canvas().Rectangle(100, 100, 600, 300);
    p->Abort();
    EXPECT_FALSE(p->Printing());

    // A printer that is not there raises the printer error and leaves no job behind.
    p->SetPrinterName("Gibt es nicht");
    EXPECT_THROW(p->BeginDoc(), EPrinter);
    EXPECT_FALSE(p->Printing());
}

} // namespace
