// Faults around the register that are not the card's: a journal folder that cannot be written
// (read-only, a file in its place, a full disk), an export pair on a full disk and a receipt
// printer that is not installed.
// The dated journal pair is created at the first journal write of a run, and a sale's first
// journal write comes before its command is built: so the program starts as usual, and the
// file error comes with the sale, which the card never sees. Journals written before stay as
// they were, and once the folder can be written again the next sale is signed and journalled.
// The journal files these runs leave (and the export pair, as <test>-exportL.xml and ..S.xml) are
// copied to register_faults\ beside this program for the CTest step register_faults_journals
// (xmllint and the journal checker).
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "tests/support/JournalRunFolder.h"
#include "tests/support/RegisterWindowTest.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"
#include "tests/support/UnixShell.h"

namespace {

const char* const kProducts = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
                              "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                              "<item><name>Milch</name><price2>99</price2></item>"
                              "</itemList></vantra>";

const char* const kPrinter = "EPSON TM-T88IV Receipt";

// Today's local date as the journal names have it (yymmdd).
std::string Today()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[8];
    snprintf(text, sizeof text, "%02d%02d%02d", t.wYear % 100, t.wMonth, t.wDay);
    return text;
}

class RegisterFaults : public RegisterWindowTest {
protected:
    // A receipt of two items, finished.
    void Sale()
    {
        AddProduct(0, "3", 3);
        AddProduct(1, "1", 4);
        ClickFor("SumButton", 1);
        ASSERT_TRUE(Enabled("KassButton"));
        Kassieren();
    }
    // The transaction number the receipt shows; 0 when it shows none.
    int ShownNumber() const
    {
        for (const auto& line : Memo())
            if (line.rfind("Transaktionsnummer: ", 0) == 0) return std::stoi(line.substr(20));
        return 0;
    }
    // The message box the program shows now: its caption and text; it is closed with "OK".
    std::pair<std::string, std::string> Message()
    {
        HWND box = tillora.WaitForForm("#32770");
        if (!box) return {"", "(no message box)"};
        std::pair<std::string, std::string> shown{WindowText(box), TilloraProgram::MessageText(box)};
        EXPECT_TRUE(TilloraProgram::PressButton(box, "OK"));
        EXPECT_TRUE(TilloraProgram::WaitForHidden(box));
        return shown;
    }
    // The program's file errors for a journal file of today's pair number n, letter S or L.
    std::string JournalName(int n, char letter) const
    {
        char number[4];
        snprintf(number, sizeof number, "%02d", n);
        return tillora.Path("Journal\\") + Today() + "XMLExpBak" + number + letter + ".xml";
    }
    std::string CreateError(int n, char letter) const
    {
        return "Datei \"" + JournalName(n, letter) + "\" kann nicht erstellt werden";
    }
    // Two sales, each stopped by this file error before the card: the message and no number.
    void ExpectSalesRefused(const std::string& error)
    {
        for (int i = 0; i < 2; ++i) {
            Sale();
            const auto [caption, text] = Message();
            EXPECT_EQ(text, error);
            EXPECT_EQ(caption, "Tillora.exe");
            EXPECT_EQ(ShownNumber(), 0);
        }
        EXPECT_TRUE(card.Commands("80 40 ").empty());
    }
    // The program up again after an earlier run of this test, with the same card.
    void Restart()
    {
        ASSERT_TRUE(tillora.Start());
        ASSERT_NO_FATAL_FAILURE(FindRegister());
    }
    // The journal folder's files with their bytes.
    std::vector<std::pair<std::string, std::string>> JournalFiles() const
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& f : tillora.Files("Journal"))
            files.emplace_back(f, tillora.ReadFile("Journal\\" + f));
        return files;
    }
    static std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }
    // Copies the journal files for the well-formedness check, as <test>-<number and letter>.xml.
    void KeepJournals() const
    {
        const std::string dir = TilloraProgram::OwnFolder() + "register_faults\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        const std::string test = TestName();
        for (const auto& [name, bytes] : JournalFiles()) {
            if (name.size() < 7 || name.find("XMLExpBak") == std::string::npos) continue;
            ASSERT_NO_FATAL_FAILURE(
                JournalRunFolder::WriteBytes(dir + test + "-" + name.substr(name.size() - 7), bytes));
        }
    }
    // Closes the register window, whose close flushes the export pair, and answers the message
    // box the close showed (its caption must be the program's): its text, "" when none came.
    std::string CloseRegister()
    {
        PostMessageA(kasse, WM_CLOSE, 0, 0);
        EXPECT_TRUE(TilloraProgram::WaitForHidden(kasse));
        // Handled after the close, or inside the loop of the message box it raised, which shows
        // its window only once that loop is idle: so look for the window visible or not.
        SendMessageA(kasse, WM_NULL, 0, 0);
        if (!tillora.Window("#32770", false)) return "";
        const auto [caption, text] = Message();
        EXPECT_EQ(caption, "Tillora.exe");
        return text;
    }
    // The register window shown again through the main window's "Kasse" box.
    void ShowRegister()
    {
        TilloraProgram::Click(FindControlWindow(main, "KassBox"));
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(kasse) != FALSE; }));
        SendMessageA(kasse, WM_NULL, 0, 0);
    }
    // No message box came up with the program.
    void ExpectNoMessage() const
    {
        SendMessageA(kasse, WM_NULL, 0, 0);
        EXPECT_EQ(tillora.Window("#32770", true), nullptr);
    }
    // Fills the disk of the folder with a file until nothing more fits; the file's name.
    static std::string FillFolder(const std::string& folder)
    {
        const std::string name = folder + "\\filler.bin";
        FillDisk(name);
        return name;
    }
};

const std::string kJournalHead =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><document-information><version>1.0</version>"
    "</document-information><qsmParams>";

} // namespace

TEST_F(RegisterFaults, AReadOnlyJournalFolderStopsTheSaleBeforeTheCardAndKeepsTheEarlierJournals)
{
    // A first run leaves a closed pair.
    OpenRegister(kProducts);
    Sale();
    EXPECT_EQ(ShownNumber(), 1);
    Exit();
    const auto before = JournalFiles();
    ASSERT_EQ(before.size(), 2u);

    TUnixFolderFault fault;
    if (!fault.ReadOnly(tillora.Path("Journal"))) GTEST_SKIP() << fault.Failure();
    card.ClearLog();
    ASSERT_NO_FATAL_FAILURE(Restart());
    ExpectNoMessage();

    // Each sale tries the pair anew; none reaches the card.
    ExpectSalesRefused(CreateError(2, 'S'));
    EXPECT_EQ(JournalFiles(), before);

    // Writable again: the next sale is the card's second and opens the second pair.
    ASSERT_TRUE(fault.Undo());
    Sale();
    EXPECT_EQ(ShownNumber(), 2);
    Exit();
    EXPECT_EQ(card.Commands("80 40 ").size(), 1u);
    const auto after = JournalFiles();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    const std::string l = tillora.ReadFile("Journal\\" + Today() + "XMLExpBak02L.xml");
    EXPECT_EQ(l.substr(0, kJournalHead.size()), kJournalHead);
    EXPECT_NE(l.find("<seqNoTransaction>2</seqNoTransaction><sig>"), std::string::npos) << l;
    EXPECT_EQ(l.substr(l.size() - 23), "</transaction></vantra>");
    KeepJournals();
}

TEST_F(RegisterFaults, AFileWhereTheJournalFolderShouldBeStopsEverySaleBeforeTheCard)
{
    RemoveDirectoryA(tillora.Path("Journal").c_str());
    tillora.WriteFile("Journal", "no folder");
    OpenRegister(kProducts);
    ExpectNoMessage();
    ExpectSalesRefused(CreateError(1, 'S'));
    Exit();
    EXPECT_EQ(tillora.ExitCode(), 0u);
    EXPECT_EQ(tillora.ReadFile("Journal"), "no folder");
    EXPECT_TRUE(card.Commands("80 40 ").empty());
}

TEST_F(RegisterFaults, AFullJournalDiskStopsTheSaleBeforeTheCardAndLeavesNoBrokenJournal)
{
    TUnixFolderFault fault;
    if (!fault.Tmpfs(tillora.Path("Journal"), 256 * 1024)) GTEST_SKIP() << fault.Failure();
    // A first run leaves a closed pair on the small disk.
    OpenRegister(kProducts);
    Sale();
    EXPECT_EQ(ShownNumber(), 1);
    Exit();
    const auto before = JournalFiles();
    ASSERT_EQ(before.size(), 2u);

    const std::string filler = FillFolder(tillora.Path("Journal"));
    card.ClearLog();
    ASSERT_NO_FATAL_FAILURE(Restart());
    ExpectNoMessage();
    ExpectSalesRefused("Stream-Schreibfehler: " + JournalName(2, 'S'));
    // No half-made pair beside the earlier one, which is unchanged.
    auto now = JournalFiles();
    ASSERT_EQ(now.size(), 3u);
    EXPECT_EQ(now[0], before[0]);
    EXPECT_EQ(now[1], before[1]);

    // Room again: the next sale opens the second pair from its start.
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    Sale();
    EXPECT_EQ(ShownNumber(), 2);
    Exit();
    EXPECT_EQ(card.Commands("80 40 ").size(), 1u);
    now = JournalFiles();
    ASSERT_EQ(now.size(), 4u);
    EXPECT_EQ(now[0], before[0]);
    EXPECT_EQ(now[1], before[1]);
    for (char letter : {'L', 'S'}) {
        const std::string j = tillora.ReadFile("Journal\\" + Today() + "XMLExpBak02" + letter + ".xml");
        EXPECT_EQ(j.substr(0, kJournalHead.size()), kJournalHead) << letter;
        EXPECT_EQ(j.substr(j.size() - 9), "</vantra>") << letter;
    }
    KeepJournals();
}

TEST_F(RegisterFaults, AFlushOfTheExportPairThatFindsNoRoomChangesNeitherFileAndTheNextOneWritesAllPending)
{
    TUnixFolderFault fault;
    if (!fault.Tmpfs(tillora.Path("Export"), 64 * 1024)) GTEST_SKIP() << fault.Failure();
    OpenRegister(kProducts);
    ASSERT_TRUE(ClickMenuItem(kasse, "XMLExportNeu1"));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(tillora.Path("Export\\Kasse01.xml")));
    Sale();
    EXPECT_EQ(CloseRegister(), "");
    ASSERT_NO_FATAL_FAILURE(ShowRegister());

    // The disk full: sales until the flush at the register window's close finds no room.
    const std::string filler = FillFolder(tillora.Path("Export"));
    const std::vector<std::string> errors = {"Stream-Schreibfehler: " + tillora.Path("Export\\Kasse01S.xml"),
                                             "Stream-Schreibfehler: " + tillora.Path("Export\\Kasse01L.xml")};
    std::string error, s, l;
    int sales = 1;
    while (error.empty() && sales < 16) {
        Sale();
        EXPECT_EQ(ShownNumber(), ++sales);
        s = tillora.ReadFile("Export\\Kasse01S.xml");
        l = tillora.ReadFile("Export\\Kasse01L.xml");
        error = CloseRegister();
        ASSERT_NO_FATAL_FAILURE(ShowRegister());
    }
    EXPECT_NE(std::find(errors.begin(), errors.end(), error), errors.end()) << error;
    EXPECT_EQ(tillora.ReadFile("Export\\Kasse01S.xml"), s);
    EXPECT_EQ(tillora.ReadFile("Export\\Kasse01L.xml"), l);

    // Room again: the next flush brings every sale still pending, once and in order.
    Sale();
    ++sales;
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    EXPECT_EQ(CloseRegister(), "");
    Exit();
    s = tillora.ReadFile("Export\\Kasse01S.xml");
    l = tillora.ReadFile("Export\\Kasse01L.xml");
    std::vector<std::string> numbers, expected;
    for (const auto& n : AllBetween(l, "<seqNoTransaction>", "</seqNoTransaction>"))
        numbers.push_back(n);
    for (int n = 1; n <= sales; ++n)
        expected.push_back(std::to_string(n));
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(AllBetween(s, "<transactionResponse>", "</transactionResponse>").size(), static_cast<size_t>(sales));
    for (const std::string* file : {&l, &s}) {
        EXPECT_EQ(AllBetween(*file, "<qsmParams>", "</qsmParams>").size(), 1u);
        EXPECT_EQ(file->find("</vantra>"), file->size() - 9);
    }
    KeepJournals();
    const std::string dir = TilloraProgram::OwnFolder() + "register_faults\\";
    ASSERT_NO_FATAL_FAILURE(JournalRunFolder::WriteBytes(dir + TestName() + "-exportL.xml", l));
    ASSERT_NO_FATAL_FAILURE(JournalRunFolder::WriteBytes(dir + TestName() + "-exportS.xml", s));
}

TEST_F(RegisterFaults, AMissingReceiptPrinterIsReportedAndTheRegisterGoesOn)
{
    // No printer of that name on this machine.
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(kPrinter), &printer, &all)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    ASSERT_FALSE(OpenPrinterA(const_cast<char*>(kPrinter), &printer, nullptr));

    OpenRegister(kProducts);
    Sale();
    EXPECT_EQ(ShownNumber(), 1);
    const std::string receipt = WindowText(memo);
    ASSERT_TRUE(ClickMenuItem(kasse, "EPSON1"));
    const auto [caption, text] = Message();
    EXPECT_EQ(text, "kann Drucker mit Namen \"EPSON TM-T88IV Receipt\" nicht öffnen");
    EXPECT_EQ(caption, "Tillora.exe");
    EXPECT_EQ(WindowText(memo), receipt);
    Sale();
    EXPECT_EQ(ShownNumber(), 2);
    Exit();
    EXPECT_EQ(card.Commands("80 40 ").size(), 2u);
    KeepJournals();
}
