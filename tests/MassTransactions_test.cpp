// The mass-transaction and scan windows of the real program: Tillora.exe with the simulated card,
// driven from this process through window messages. A run of 200 random receipts, each signed
// by the card, without a gap in the card's sequence numbers or in the journals; "Stopp",
// "Cancel" and closing the program during a run; the scan window reading the receipt's link from
// the QR picture. The journals of the long run are copied into mass_journals\ beside this
// program for the CTest step mass_journals_check (xmllint).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "register/core/UQrLink.h"
#include "tests/support/ControlText.h"
#include "tests/support/Base64Text.h"
#include "tests/support/SimCard.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"

namespace {

const char* const kProducts = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
                              "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                              "<item><name>Milch</name><price2>99</price2></item>"
                              "<item><name>Wurst</name><unit>kg</unit><price1>1250</price1></item>"
                              "</itemList></vantra>";

// The value of the first field with this tag in a row of TLV fields (one length byte), walking
// from the start; -1 when missing.
long long TlvNumber(const std::string& bytes, std::uint8_t tag)
{
    size_t at = 0;
    while (at + 2 <= bytes.size()) {
        const auto t = static_cast<std::uint8_t>(bytes[at]);
        const size_t length = static_cast<std::uint8_t>(bytes[at + 1]);
        if (at + 2 + length > bytes.size()) return -1;
        if (t == tag) {
            long long v = 0;
            for (size_t i = 0; i < length; ++i)
                v = v << 8 | static_cast<std::uint8_t>(bytes[at + 2 + i]);
            return v;
        }
        at += 2 + length;
    }
    return -1;
}

std::string HexBytes(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 3)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

class MassTransactions : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimCard::UseReaders({{"Sim Reader", port}});
        tillora.WriteFile(
            "cfg\\start.ini",
            "[Windows]\r\nCard=0\r\nFunc=0\r\n\r\n[Card]\r\nVersionen=v2.;\r\n\r\n[Menue]\r\nDebug=1\r\n");
        tillora.WriteFile("Produkte\\Standard.xml", kProducts);
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(tillora.Start());
        main = tillora.WaitForForm("TMainF");
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(tillora.UnderTestSkin(main)) << TilloraProgram::TestSkin();
        kasse = tillora.WaitForForm("TKassTip");
        ASSERT_NE(kasse, nullptr);
        SetWindowPos(kasse, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        ASSERT_TRUE(ClickMenuItem(main, "MassTransact1"));
        mass = tillora.WaitForForm("TMassTransForm");
        ASSERT_NE(mass, nullptr);
        card.ClearLog();
    }
    void TearDown() override
    {
        if (main && IsWindow(main)) ClickMenuItem(main, "Beenden1");
        tillora.WaitForExit(120000);
    }

    HWND Mass(const char* name) const { return FindControlWindow(mass, name); }
    bool Enabled(HWND form, const char* name) const { return IsWindowEnabled(FindControlWindow(form, name)) != FALSE; }
    void Set(const char* name, const char* text) const
    {
        SendMessageA(Mass(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    // The settings of a run, then "Start".
    void Start(const char* receipts, const char* items, const char* storno = "3", const char* quantity = "5")
    {
        Set("kTrEdit", receipts);
        Set("kTrBuchEdit", items);
        Set("kStornoEdit", storno);
        Set("sStk", quantity);
        TilloraProgram::Click(Mass("maStart"));
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Enabled(mass, "maStopp"); }));
    }
    bool WaitForRunEnd(DWORD ms)
    {
        return TilloraProgram::WaitFor([&] { return Enabled(mass, "maStart") && !Enabled(mass, "maStopp"); }, ms);
    }
    // The sequence numbers of the card's transaction responses, in the order of its log.
    std::vector<long long> CardSequence() const
    {
        std::vector<long long> seq;
        const auto lines = card.LogLines();
        for (size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].rfind("APDU 80 40 00 00 ", 0) == 0 && lines[i + 1].rfind("RESP ", 0) == 0)
                seq.push_back(TlvNumber(HexBytes(lines[i + 1].substr(5)), 0xCB));
        return seq;
    }
    size_t Transactions() const { return CardSequence().size(); }
    std::string Journal(char letter) const
    {
        for (const auto& f : tillora.Files("Journal"))
            if (f.size() > 5 && f[f.size() - 5] == letter) return tillora.ReadFile("Journal\\" + f);
        return "";
    }
    // The sequence numbers of the L journal and those inside the S journal's responses.
    std::vector<long long> JournalSequenceL() const
    {
        std::vector<long long> seq;
        for (const auto& n : AllBetween(Journal('L'), "<seqNoTransaction>", "</seqNoTransaction>"))
            seq.push_back(std::stoll(n));
        return seq;
    }
    std::vector<long long> JournalSequenceS() const
    {
        std::vector<long long> seq;
        for (const auto& r : AllBetween(Journal('S'), "<transactionResponse>", "</transactionResponse>"))
            seq.push_back(TlvNumber(Decode64(r), 0xCB));
        return seq;
    }
    void Exit()
    {
        ASSERT_TRUE(ClickMenuItem(main, "Beenden1"));
        ASSERT_TRUE(tillora.WaitForExit(120000));
        main = nullptr;
    }
    // The run ends before its 1000 receipts; the receipt in hand is finished and signed, none
    // is left open and none follows; the journal holds what the card signed.
    void ExpectRunEndedWithNothingOpen()
    {
        ASSERT_TRUE(WaitForRunEnd(120000));
        const size_t signedReceipts = Transactions();
        EXPECT_LT(signedReceipts, 1000u);
        EXPECT_FALSE(Enabled(kasse, "AbrButton"));
        Sleep(500);
        EXPECT_EQ(Transactions(), signedReceipts);
        Exit();
        EXPECT_EQ(JournalSequenceL(), CardSequence());
    }
    // No gap: first, first + 1, ...
    static void ExpectConsecutive(const std::vector<long long>& seq, size_t count, const char* what)
    {
        ASSERT_EQ(seq.size(), count) << what;
        for (size_t i = 1; i < seq.size(); ++i)
            EXPECT_EQ(seq[i], seq[0] + static_cast<long long>(i)) << what << " at " << i;
    }

    const int port = SimCard::FreePort();
    SimCard card{port, "--fresh active"};
    TilloraProgram tillora;
    HWND main = nullptr, kasse = nullptr, mass = nullptr;
};

} // namespace

TEST_F(MassTransactions, TwoHundredReceiptsAreSignedAndJournalledWithoutAGap)
{
    Start("200", "3");
    ASSERT_TRUE(WaitForRunEnd(600000)) << Transactions() << " receipts";
    EXPECT_EQ(ControlText(mass, "Progr"), "100%");
    const auto card = CardSequence();
    ExpectConsecutive(card, 200, "card");
    EXPECT_EQ(card.front(), 1);
    // The last receipt is finished: nothing is open on the register window.
    EXPECT_FALSE(Enabled(kasse, "AbrButton"));
    EXPECT_FALSE(Enabled(kasse, "KassButton"));

    Exit();
    const auto l = JournalSequenceL(), s = JournalSequenceS();
    ExpectConsecutive(l, 200, "L journal");
    ExpectConsecutive(s, 200, "S journal");
    EXPECT_EQ(l, card);
    EXPECT_EQ(s, card);
    // For mass_journals_check (xmllint).
    const std::string folder = TilloraProgram::OutputFolder("mass_journals");
    for (char letter : {'L', 'S'})
        std::ofstream(folder + "mass-" + letter + ".xml", std::ios::binary | std::ios::trunc) << Journal(letter);
}

TEST_F(MassTransactions, StoppFinishesTheReceiptInHandAndEndsTheRun)
{
    Start("1000", "20");
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Transactions() >= 2; }, 120000));
    TilloraProgram::Click(Mass("maStopp"));
    ExpectRunEndedWithNothingOpen();
}

TEST_F(MassTransactions, CancelHidesTheWindowAndEndsTheRun)
{
    Start("1000", "20");
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Transactions() >= 1; }, 120000));
    TilloraProgram::Click(Mass("maCancel"));
    ASSERT_TRUE(TilloraProgram::WaitForHidden(mass));
    ExpectRunEndedWithNothingOpen();
}

TEST_F(MassTransactions, ClosingTheProgramDuringARunSignsTheReceiptInHandAndEnds)
{
    Start("1000", "20");
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Transactions() >= 2; }, 120000));
    Exit();
    EXPECT_EQ(tillora.ExitCode(), 0u);
    const auto card = CardSequence();
    EXPECT_LT(card.size(), 1000u);
    EXPECT_EQ(JournalSequenceL(), card);
    EXPECT_EQ(JournalSequenceS(), card);
    EXPECT_NE(Journal('L').find("</"), std::string::npos);
}

TEST_F(MassTransactions, TheScanWindowReadsTheLinkFromTheQrPicturesMiddleThird)
{
    Start("1", "2");
    ASSERT_TRUE(WaitForRunEnd(120000));
    ASSERT_EQ(Transactions(), 1u);
    HWND overlay = FindControlWindow(kasse, "QrOverlay");
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(overlay) != FALSE; }));

    ASSERT_TRUE(ClickMenuItem(main, "Scanner1"));
    HWND scan = tillora.WaitForForm("TScanForm");
    ASSERT_NE(scan, nullptr);
    HWND memo = FindControlWindow(scan, "Memo1");
    const std::string prompt = WindowText(memo);
    EXPECT_FALSE(prompt.empty());
    EXPECT_FALSE(IsWindowVisible(FindControlWindow(scan, "ResetButton")));
    TilloraProgram::Click(FindControlWindow(scan, "ContentButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor(
        [&] { return SendMessageA(FindControlWindow(scan, "ContentButton"), BM_GETCHECK, 0, 0) == BST_CHECKED; }));

    RECT picture;
    GetWindowRect(overlay, &picture);
    const int side = picture.bottom - picture.top;
    // Outside the middle third: nothing.
    SendMessageA(overlay, WM_MOUSEMOVE, 0, MAKELPARAM(side / 3, side / 2));
    SendMessageA(overlay, WM_MOUSEMOVE, 0, MAKELPARAM(side / 2, side - side / 3));
    EXPECT_EQ(WindowText(memo), prompt);
    EXPECT_FALSE(IsWindowVisible(FindControlWindow(scan, "ResetButton")));

    // The middle: the link, the green square, "Reset"; nothing is opened.
    SetCursorPos(picture.left + side / 2, picture.top + side / 2);
    SendMessageA(overlay, WM_MOUSEMOVE, 0, MAKELPARAM(side / 2, side / 2));
    const std::string link = WindowText(memo);
    EXPECT_EQ(link.rfind("http://verify.example.org/verify.php?t1=", 0), 0u) << link;
    EXPECT_TRUE(TilloraProgram::WaitForShown(FindControlWindow(scan, "ResetButton")));
    HDC dc = GetDC(scan);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return GetPixel(dc, 10, 10) == RGB(0, 255, 0); }, 5000));
    ReleaseDC(scan, dc);
    Sleep(300);
    EXPECT_EQ(tillora.Window("#32770", true), nullptr);

    // "Reset" arms again: the instruction, then the next read. The pointer goes onto "Reset" as
    // a user's would; left on the picture's middle, the move the window system makes on its own
    // when the button lets go of the mouse reads the link again. The click is over once the
    // instruction shows: a skinned button taking the focus clears its visible style for a moment.
    HWND reset = FindControlWindow(scan, "ResetButton");
    RECT r;
    GetWindowRect(reset, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    TilloraProgram::Click(reset);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] {
        return WindowText(memo) == "Mauszeiger über den OR-Code des Belegs zentrieren" && !IsWindowVisible(reset);
    })) << WindowText(memo);
    SendMessageA(overlay, WM_MOUSEMOVE, 0, MAKELPARAM(side / 2, side / 2));
    EXPECT_EQ(WindowText(memo), link);

    // The link is the one of the sale's journal pair.
    Exit();
    const std::string s = Journal('S');
    std::string payload = Decode64(AllBetween(s, "<transactionRequest>", "</transactionRequest>").at(0));
    payload += Decode64(AllBetween(s, "<transactionResponse>", "</transactionResponse>").at(0));
    payload.resize(UQrLink::FilterFields(reinterpret_cast<std::uint8_t*>(payload.data()), payload.size()));
    EXPECT_EQ(link, UQrLink::VerifyUrlOf(payload));
}
