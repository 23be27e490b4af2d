#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/UHexASCII.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"
#include "tests/support/ModalScript.h"
#include "register/core/UPrint.h"
#include "register/core/UQR.h"
#include "register/core/URegisterCore.h"
#include "tests/support/FilePrinters.h"

using namespace std::string_literals;

namespace {

std::string Hex(const std::string& bytes) { return UHexASCII::BytesToHexText(bytes); }

std::string TempFile(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

TStringList Lines(const std::vector<std::string>& lines)
{
    TStringList list;
    for (const std::string& line : lines)
        list.Add(line);
    return list;
}

// The job that the printer must receive for a memo text and a link whose length + 3 is pLpH.
std::string Job(const std::string& text, const std::string& pLpH, const std::string& link)
{
    return "1B 74 10 1B 43 18 " + Hex(text) + " 0D 0A 1B 61 31 1D 28 6B 03 00 31 45 30 1D 28 6B " + pLpH + " 31 50 30" +
           (link.empty() ? "" : " " + Hex(link)) + " 1D 28 6B 03 00 31 51 30 1B 61 30 1B 00 1D 56 41 00";
}

// The receipt printer under its exact name on a port that writes into a file.
class ReceiptPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        printers = std::make_unique<TFilePrinters>(std::vector<std::string>{UPrint::PrinterName}, output,
                                                   TFilePrinters::TNaming::Exact);
        ASSERT_TRUE(printers->Ready());
    }
    // What reached the port (the spooler hands the job over when the document ends).
    std::string Printed() const
    {
        std::string out = printers->Output();
        for (int i = 0; i < 100 && out.empty(); ++i) {
            Sleep(20);
            out = printers->Output();
        }
        return out;
    }
    TRegisterCore core;
    std::string output = TempFile("tillora_receipt.prn");
    std::unique_ptr<TFilePrinters> printers;
};

} // namespace

TEST(QrBlock, StoreCommandCarriesTheLengthPlusThreeLowByteFirst)
{
    EXPECT_EQ(Hex(UPrint::BuildQrBlock("ab")),
              "1D 28 6B 03 00 31 45 30 1D 28 6B 05 00 31 50 30 61 62 1D 28 6B 03 00 31 51 30");
    EXPECT_EQ(Hex(UPrint::BuildQrBlock("")), "1D 28 6B 03 00 31 45 30 1D 28 6B 03 00 31 50 30 1D 28 6B 03 00 31 51 30");
    EXPECT_EQ(Hex(UPrint::BuildQrBlock(std::string(300, 'x')).substr(8, 5)), "1D 28 6B 2F 01");
    const std::string longest = UPrint::BuildQrBlock(std::string(65532, 'x'));
    EXPECT_EQ(longest.size(), 65532u + 24u);
    EXPECT_EQ(Hex(longest.substr(8, 5)), "1D 28 6B FF FF");
    EXPECT_THROW(UPrint::BuildQrBlock(std::string(65533, 'x')), ERangeError);
}

TEST_F(ReceiptPrinting, TheJobCarriesTheMemoAsItStandsAndTheLinksQrBlock)
{
    const std::string payload = UHexASCII::HexTextToBytes("C9 01 11");
    UQR::AddQrData(payload.data(), payload.size());
    std::string link;
    UQR::BuildVerifyUrl(link);
    ASSERT_EQ(link, "http://verify.example.org/verify.php?t1=yQER"); // 44 characters: pL 2F

    TStringList memo = Lines({"Brot          2,50 €", "", "Summe         2,50 €"});
    UPrint::PrintReceipt(memo);
    EXPECT_EQ(Hex(Printed()), Job("Brot          2,50 \x80\r\n\r\nSumme         2,50 \x80\r\n", "2F 00", link));
    EXPECT_EQ(memo.Count(), 3);
}

TEST_F(ReceiptPrinting, LongAndMissingLinks)
{
    TStringList memo = Lines({"A"});
    core.VerifyUrl() = std::string(300, 'q');
    UPrint::PrintReceipt(memo);
    EXPECT_EQ(Hex(Printed()), Job("A\r\n", "2F 01", std::string(300, 'q')));
}

TEST_F(ReceiptPrinting, NoLinkStillSendsTheThreeQrCommands)
{
    TStringList memo = Lines({"A"});
    UPrint::PrintReceipt(memo);
    EXPECT_EQ(Hex(Printed()), Job("A\r\n", "03 00", ""));
}

TEST_F(ReceiptPrinting, EmptyLastLinesGoFromTheMemoButTwoLinesStay)
{
    TStringList memo = Lines({"Beleg", "Summe", "", "", ""});
    UPrint::PrintReceipt(memo);
    EXPECT_EQ(Hex(Printed()), Job("Beleg\r\nSumme\r\n", "03 00", ""));
    EXPECT_EQ(memo.Text(), "Beleg\r\nSumme\r\n");
}

TEST_F(ReceiptPrinting, ATwoLineMemoKeepsItsEmptySecondLine)
{
    TStringList memo = Lines({"Beleg", ""});
    UPrint::PrintReceipt(memo);
    EXPECT_EQ(Hex(Printed()), Job("Beleg\r\n\r\n", "03 00", ""));
    EXPECT_EQ(memo.Count(), 2);
}

TEST_F(ReceiptPrinting, ALinkTooLongForTheStoreCommandIsRefusedAndNothingPrinted)
{
    TStringList memo = Lines({"A"});
    core.VerifyUrl() = std::string(65533, 'q');
    EXPECT_THROW(UPrint::PrintReceipt(memo), ERangeError);
    Sleep(300);
    EXPECT_EQ(printers->Output(), "");
    // The printer was closed: the next receipt prints.
    core.VerifyUrl() = "q";
    UPrint::PrintReceipt(memo);
    EXPECT_EQ(Hex(Printed()), Job("A\r\n", "04 00", "q"));
}

TEST(ReceiptPrinter, MissingPrinterIsReportedAndNothingIsPrintedOrTrimmed)
{
    TRegisterCore core;
    // A printer of a near name on the file port gets nothing.
    const std::string output = TempFile("tillora_other.prn");
    TFilePrinters other({"EPSON TM-T88IV"}, output, TFilePrinters::TNaming::Exact);
    ASSERT_TRUE(other.Ready());
    TStringList memo = Lines({"Beleg", "Summe", "", ""});
    std::string caption;
    {
        TModalScript script({[&caption](HWND box) {
            char text[256] = "";
            GetWindowTextA(box, text, sizeof text);
            caption = text;
            TModalScript::Press(box, IDOK);
        }});
        UPrint::PrintReceipt(memo);
        EXPECT_EQ(script.Done(), 1);
        EXPECT_EQ(script.Unexpected(), 0);
        ASSERT_EQ(script.Texts.size(), 1u);
        EXPECT_EQ(script.Texts[0], "kann Drucker mit Namen \"EPSON TM-T88IV Receipt\" nicht \xF6"
                                   "ffnen");
    }
    EXPECT_EQ(caption, "regcore_qr_test.exe");
    EXPECT_EQ(memo.Count(), 4);
    Sleep(300);
    EXPECT_EQ(other.Output(), "");
}
