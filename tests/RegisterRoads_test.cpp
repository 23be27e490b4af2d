// The register's side roads through the real Tillora.exe with the simulated card, driven from
// this process through window messages: the language menu with each of its four languages (the
// captions of the windows and of their menus, and the texts of a receipt), the debug window holding a command and
// the user tampering with it, a card in transport state activated at the start and then
// closed by its daily, span and deactivation reports, and the item list hashed on the card
// instead of the host. Each test asserts the bytes the card saw, the receipt and the journals.
// The runs whose signatures must verify leave their journal pair in the folder register_roads
// beside this program for the CTest steps register_roads_journals_* (tests/journalcheck).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "tests/support/ControlText.h"
#include "tests/support/Base64Text.h"
#include "tests/support/JournalRunFolder.h"
#include "tests/support/RegisterWindowTest.h"
#include "tests/support/SimCard.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"

namespace {

const char* const kProducts = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
                              "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                              "<item><name>Milch</name><price2>99</price2></item>"
                              "</itemList></vantra>";

// The item list of the standard sale (three "Brot" at 1,99 in class A, one "Milch" at 0,99 in
// class B): quantity, unit and name cleaned, the line amounts in signed packed BCD.
const char* const kBrotItem = "A0 01 33 A1 04 73 74 6B 23 A2 04 62 72 6F 74 B1 02 59 7C";
const char* const kMilchItem = "A0 01 31 A2 05 6D 69 6C 63 68 B2 02 09 9C";
// Its SHA-1.
const char* const kStandardHash = "C5 EC A7 C0 D2 15 EF DE 46 51 F4 A7 F1 4B 2E F7 BE D9 58 89";

// Receipt colours (0x00BBGGRR): verified, failed.
constexpr COLORREF kVerifiedColour = 0xD7F1E7;
constexpr COLORREF kFailedColour = 0x3366FF;

// Hex text with blanks ("80 40 ...") to bytes, and back.
std::string Bytes(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        i += 2;
    }
    return out;
}
std::string Hex(const std::string& bytes)
{
    std::string out;
    char pair[4];
    for (unsigned char b : bytes) {
        std::snprintf(pair, sizeof pair, "%s%02X", out.empty() ? "" : " ", b);
        out += pair;
    }
    return out;
}

// A top-level field's value in TLV bytes (one tag byte, one length byte); "" when missing.
std::string Field(const std::string& tlv, unsigned char tag)
{
    for (size_t i = 0; i + 1 < tlv.size(); i += 2 + static_cast<unsigned char>(tlv[i + 1]))
        if (static_cast<unsigned char>(tlv[i]) == tag) return tlv.substr(i + 2, static_cast<unsigned char>(tlv[i + 1]));
    return "";
}

// RFC 4648 base32, as the receipt shows signatures (in groups, which the caller removes).
std::string Base32(const std::string& bytes)
{
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 5) {
        unsigned long long group = 0;
        const size_t n = std::min<size_t>(5, bytes.size() - i);
        for (size_t j = 0; j < 5; ++j)
            group = group << 8 | (j < n ? static_cast<unsigned char>(bytes[i + j]) : 0);
        const size_t chars = (n * 8 + 4) / 5;
        for (size_t j = 0; j < 8; ++j)
            out += j < chars ? alphabet[(group >> (35 - 5 * j)) & 31] : '=';
    }
    return out;
}

// "20 26 12 09" and "18 44" (the date and time fields' bytes) as the receipt writes them.
std::string ReceiptDate(const std::string& bcd)
{
    return bcd.substr(0, 2) + bcd.substr(3, 2) + "-" + bcd.substr(6, 2) + "-" + bcd.substr(9, 2);
}
std::string ReceiptTime(const std::string& bcd) { return bcd.substr(0, 2) + ":" + bcd.substr(3, 2); }

class RegisterRoads : public RegisterWindowTest {
protected:
    // A text of the program's language file.
    std::string LangText(const char* section, const std::string& key) const
    {
        char buf[512] = "";
        GetPrivateProfileStringA(section, key.c_str(), "", buf, sizeof buf, tillora.Path("cfg\\lang.ini").c_str());
        return buf;
    }
    static std::string Text(HWND form, const char* control) { return ControlText(form, control); }
    static std::string MenuText(HWND form, const char* item)
    {
        std::string caption;
        return MenuItemCaption(form, item, caption) ? caption : "<" + std::string(item) + " missing>";
    }
    // The card's answer (status word included) to the n-th command that begins with `start`;
    // "" when there is none.
    std::string Answer(const std::string& start, size_t n = 0) const
    {
        const auto log = card.LogLines();
        for (size_t i = 0; i + 1 < log.size(); ++i)
            if (log[i].rfind("APDU " + start, 0) == 0 && n-- == 0)
                return log[i + 1].rfind("RESP ", 0) == 0 ? log[i + 1].substr(5) : "";
        return "";
    }
    // The standard sale: three loaves and a milk, totalled; finished unless `finish` is off.
    void StandardSale(bool finish = true)
    {
        AddProduct(0, "3", 3);
        AddProduct(1, "1", 4);
        ClickFor("SumButton", 7);
        if (finish) Kassieren();
    }
    // The receipt's lines without the empty ones at its end (the room of the QR picture).
    std::vector<std::string> Receipt() const
    {
        std::vector<std::string> lines = Memo();
        while (!lines.empty() && lines.back().empty())
            lines.pop_back();
        return lines;
    }
    // A report's receipt: its lines up to "Signatur:" and the signature from the card's answer
    // (status word included) in the lines after it.
    void ExpectReportReceipt(const std::vector<std::string>& head, const std::string& answer) const
    {
        std::vector<std::string> lines = Receipt();
        const std::string text = WindowText(memo);
        ASSERT_EQ(lines.size(), head.size() + 4) << text;
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(head.size())), head)
            << text;
        EXPECT_EQ(lines[head.size()], "Signatur:");
        std::string shown;
        for (size_t i = head.size() + 1; i < lines.size(); ++i)
            shown += lines[i];
        shown.erase(std::remove(shown.begin(), shown.end(), '-'), shown.end());
        const std::string sig = Field(Bytes(answer.substr(0, answer.size() - 6)), 0x9E);
        ASSERT_EQ(sig.size(), 48u) << answer;
        EXPECT_EQ(shown, Base32(sig));
    }
    // The register monitor's log (hidden, but it keeps logging).
    std::vector<std::string> MonitorLines() const
    {
        HWND monitor = tillora.Window("TFunkMonForm", false);
        return monitor ? SplitLines(WindowText(FindControlWindow(monitor, "Mon"))) : std::vector<std::string>{};
    }
    void KeepForChecker()
    {
        KeepJournalRun(::testing::UnitTest::GetInstance()->current_test_info()->name(), tillora.Journal('L'),
                       tillora.Journal('S'), card.StatePath(), {}, "register_roads");
    }
};

// The texts of a receipt in one language, as the language file gives them.
struct TReceiptTexts {
    const char* menuItem; // of the main window's "Sprache" menu
    const char* section;  // of lang.ini
    const char* title;    // text 12
    const char* total;    // text 10
    const char* vatHead;  // texts 4, 5, 2 and 6 in the receipt's columns
    const char* date;     // text 25
    const char* time;     // text 26
    const char* op;       // text 27
    const char* tpId;     // text 42
    const char* tpIdNo;   // text 43
    const char* seqNo;    // text 46
    const char* checkOut; // the caption of "Kassieren" (113cap)
};

const TReceiptTexts kLanguages[] = {
    {"English1", "English", "Receipt", "TOTAL", "Rate     Gross     Net       VAT     ", "Date", "Time", "Operator",
     "QSM ID", "QSM number", "Transaction number", "Check out"},
    {"Francais1", "Francais", "Ticket de caisse", "TOTAL", "Taux     TTC       HT        TVA     ", "Date", "Heure",
     "Opérateur", "ID QSM", "Numéro QSM", "Numéro de transaction", "Encaisser"},
    {"Polnisch1", "Polish", "Paragon", "SUMA", "Stawka   Brutto    Netto     VAT     ", "Data", "Godzina", "Kasjer",
     "ID QSM", "Numer QSM", "Numer transakcji", "Rozlicz"},
    {"Deutsch1", "Deutsch", "Kassenbeleg", "SUMME", "Satz     Brutto    Netto     USt     ", "Datum", "Uhrzeit",
     "Bediener", "QSM-Kennung", "QSM-Nummer", "Transaktionsnummer", "Kassieren"},
};

// Tagged controls whose caption the language sets: component name and Tag.
const std::pair<const char*, int> kMainCaptions[] = {
    {"StatusButton", 30}, {"KassBox", 20},   {"FuncMonBox", 22}, {"CardMonBox", 21},
    {"ZeitCheckBox", 23}, {"ZeitBox", 23},   {"Label1", 24},     {"Label2", 25},
    {"GlButton", 26},     {"SynButton", 27}, {"StatButton", 28}, {"SetButton", 29},
};
const std::pair<const char*, int> kRegisterCaptions[] = {
    {"BedLabel", 40},          {"ItemBox", 79},       {"SpezMengeLabel", 80}, {"SpezEinheitLabel", 81},
    {"SpezBezLabel", 82},      {"SpezRabattBox", 83}, {"SpezGutBox", 84},     {"PreiseLabel", 85},
    {"UStSLabel", 86},         {"AgBox", 87},         {"LiefBox", 88},        {"SpezAddButton", 89},
    {"sButton1", 133},         {"ProdBox", 91},       {"StkLabel", 80},       {"ScanButton", 89},
    {"StornoButton", 92},      {"RabABox", 230},      {"RabButton", 93},      {"AufButton", 94},
    {"ItemButton", 95},        {"ReportButton", 96},  {"ReportBox", 100},     {"StartLabel", 102},
    {"RepSyncButton", 104},    {"BerRepButton", 105}, {"TagButton", 100},     {"TagRepCheckBox", 101},
    {"ReportVerlButton", 106}, {"BelegBox", 110},     {"SumButton", 111},     {"AbrButton", 112},
    {"KassButton", 113},
};
// Tagged menu items (the register window's popup menu of the product list too), and untagged
// ones, which keep their stored captions in every language.
const std::pair<const char*, int> kMainMenuItems[] = {
    {"Datei1", 1},    {"Sprache1", 2},  {"Deutsch1", 3},   {"English1", 4},    {"Beenden1", 5},
    {"Francais1", 6}, {"Polnisch1", 7}, {"QSMdeakt", 121}, {"QSMchange", 122},
};
const std::pair<const char*, int> kRegisterMenuItems[] = {
    {"Datei1", 1},           {"Produktliste1", 72},
    {"Laden2", 61},          {"Speichern3", 62},
    {"Speichernals1", 63},   {"XMLExportNeu1", 73},
    {"XMLExportffnen1", 74}, {"Belegdruck1", 75},
    {"Standard1", 76},       {"EPSON1", 77},
    {"Belegspeichern1", 78}, {"Optionen1", 70},
    {"Training1", 71},       {"VerifikationaufQSM", 114},
    {"Editiere1", 141},      {"Beleg1", 170},
    {"Lschen1", 64},         {"Speichern1", 62},
    {"Speichern2", 63},      {"Laden1", 61},
};
const std::pair<const char*, const char*> kMainUntagged[] = {{"Skins1", "Skins"}, {"QSM1", "QSM"}, {"Test1", "Test"}};
const std::pair<const char*, const char*> kRegisterUntagged[] = {{"SecText", "Text"}, {"SecQRCode", "QRCode"}};

} // namespace

TEST_F(RegisterRoads, EachLanguageOfTheMenuRelabelsTheWindowsAndTheReceipt)
{
    OpenRegister(kProducts);
    HWND pin = tillora.Window("TPINForm", false);
    HWND error = tillora.Window("TCardErrForm", false);
    ASSERT_NE(pin, nullptr);
    ASSERT_NE(error, nullptr);
    int sales = 0;
    for (const TReceiptTexts& lang : kLanguages) {
        SCOPED_TRACE(lang.section);
        ASSERT_TRUE(ClickMenuItem(main, lang.menuItem));
        const std::string kassBox = LangText(lang.section, "20cap");
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Text(main, "KassBox") == kassBox; })) << Text(main, "KassBox");
        SendMessageA(main, WM_NULL, 0, 0);

        // The windows: every tagged caption from the section, the main window's own caption not.
        EXPECT_EQ(WindowText(main).rfind("VANTRA Tillora QSM 1.1_", 0), 0u) << WindowText(main);
        for (const auto& [name, tag] : kMainCaptions)
            EXPECT_EQ(Text(main, name), LangText(lang.section, std::to_string(tag) + "cap")) << name;
        EXPECT_EQ(WindowText(kasse), kassBox);
        for (const auto& [name, tag] : kRegisterCaptions)
            EXPECT_EQ(Text(kasse, name), LangText(lang.section, std::to_string(tag) + "cap")) << name;
        EXPECT_EQ(Text(kasse, "KassButton"), lang.checkOut);
        EXPECT_EQ(Text(kasse, "USS1"), "1900"); // no 200cap: the rate panels keep their rates
        EXPECT_EQ(Text(pin, "Label1"), LangText(lang.section, "120cap"));
        EXPECT_EQ(Text(error, "ErrTypeLabel"), LangText(lang.section, "130cap"));
        EXPECT_EQ(Text(error, "Label3"), LangText(lang.section, "132cap"));
        // The menus likewise.
        for (const auto& [name, tag] : kMainMenuItems)
            EXPECT_EQ(MenuText(main, name), LangText(lang.section, std::to_string(tag) + "cap")) << name;
        for (const auto& [name, tag] : kRegisterMenuItems)
            EXPECT_EQ(MenuText(kasse, name), LangText(lang.section, std::to_string(tag) + "cap")) << name;
        for (const auto& [name, caption] : kMainUntagged)
            EXPECT_EQ(MenuText(main, name), caption) << name;
        for (const auto& [name, caption] : kRegisterUntagged)
            EXPECT_EQ(MenuText(kasse, name), caption) << name;

        // A receipt in the language.
        StandardSale();
        ++sales;
        const std::vector<std::string> lines = Memo();
        const std::string text = WindowText(memo);
        ASSERT_GE(lines.size(), 17u) << text;
        EXPECT_EQ(lines[0], std::string(13, ' ') + lang.title);
        EXPECT_EQ(lines[5], ReceiptLine(lang.total, " ", " 6,96€"));
        EXPECT_EQ(lines[7], lang.vatHead);
        // The transaction's lines after an empty one, then the empty room of the QR picture.
        const std::vector<std::string> tail(lines.begin() + 11, lines.end());
        ASSERT_GE(tail.size(), 7u) << text;
        EXPECT_EQ(tail[0], "");
        EXPECT_TRUE(std::regex_match(tail[1], std::regex(std::string(lang.date) + ": \t\t\\d{4}-\\d{2}-\\d{2}")))
            << tail[1];
        EXPECT_TRUE(std::regex_match(tail[2], std::regex(std::string(lang.time) + ": \t\t\\d{2}:\\d{2}"))) << tail[2];
        EXPECT_EQ(tail[3], std::string(lang.op) + ": \tich");
        EXPECT_EQ(tail[4], std::string(lang.tpId) + ": \tATU12345678-QSM");
        EXPECT_EQ(tail[5], std::string(lang.tpIdNo) + ": 4711");
        EXPECT_EQ(tail[6], std::string(lang.seqNo) + ": " + std::to_string(sales));
        EXPECT_TRUE(std::all_of(tail.begin() + 7, tail.end(), [](const std::string& t) { return t.empty(); })) << text;
    }
    Exit();
    EXPECT_EQ(card.Commands("80 40 00 00 ").size(), 4u);
    // The language chosen last is stored.
    EXPECT_NE(tillora.ReadFile("cfg\\start.ini").find("act=Deutsch"), std::string::npos);
}

TEST_F(RegisterRoads, TheDebugWindowHoldsTheCommandAndTheCardGetsWhatTheUserSent)
{
    startIni += "\r\n[Menue]\r\nDebug=1\r\n";
    OpenRegister(kProducts);
    ASSERT_TRUE(ClickMenuItem(main, "Debug1"));
    HWND debug = tillora.WaitForForm("TDebugForm");
    ASSERT_NE(debug, nullptr);
    // Beside the register window, so that the receipt stays in sight.
    RECT k;
    GetWindowRect(kasse, &k);
    SetWindowPos(debug, HWND_TOP, k.right + 10, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    HWND sendMemo = FindControlWindow(debug, "SendMemo");
    const auto tick = [&](const char* box) {
        HWND b = FindControlWindow(debug, box);
        const LRESULT before = SendMessageA(b, BM_GETCHECK, 0, 0);
        TilloraProgram::Click(b);
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return SendMessageA(b, BM_GETCHECK, 0, 0) != before; })) << box;
    };
    ASSERT_NO_FATAL_FAILURE(tick("CheckTrans"));
    ASSERT_NO_FATAL_FAILURE(tick("CheckVer"));
    card.ClearLog();

    // Held: the command waits in the send field, the card has not seen it.
    const auto holdSale = [&](const std::string& start) -> std::string {
        SendMessageA(sendMemo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        StandardSale(false);
        TilloraProgram::Click(Control("KassButton"));
        std::string held;
        EXPECT_TRUE(TilloraProgram::WaitFor([&] {
            held = WindowText(sendMemo);
            return held.rfind(start, 0) == 0 && IsWindowVisible(debug);
        })) << held;
        return held;
    };
    const auto release = [&](const std::string& text) {
        SendMessageA(sendMemo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        TilloraProgram::Click(FindControlWindow(debug, "Button1"));
    };
    const std::string held = holdSale("80 40 00 00 ");
    Sleep(500); // the hold goes on while nothing is pressed
    EXPECT_TRUE(card.Commands("80 40").empty());
    std::smatch m;
    ASSERT_TRUE(std::regex_match(held, m,
                                 std::regex("80 40 00 00 44 CD 04 ((?:\\d\\d ){4})CE 02 ((?:\\d\\d ){2})"
                                            "C6 03 69 63 68 C7 14 (.*)C8 02 03 D2 "
                                            "E1 0C D8 02 59 7C DA 02 09 5C DB 02 19 00 "
                                            "E2 0B D8 02 09 9C DA 01 6C DB 02 07 00 00 ")))
        << held;
    EXPECT_EQ(m[3].str(), std::string(kStandardHash) + " ");

    // Sent as shown: the card gets exactly the text, and its verification succeeds.
    release(held);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return card.Commands("80 44").size() == 1; }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_EQ(card.Commands("80 40"), std::vector<std::string>{held.substr(0, held.size() - 1)});
    EXPECT_EQ(Answer("80 44"), "90 00");
    EXPECT_TRUE(TilloraProgram::WaitForHidden(debug));
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoColour() == kVerifiedColour; })) << std::hex << MemoColour();

    // Tampered: the operator "ich" becomes "ihr". The card signs what it got; the journal and
    // the verification hold what the register built, so the card refuses the verification.
    card.ClearLog();
    std::string tampered = holdSale("80 40 00 00 ");
    const std::string built = tampered;
    const size_t op = tampered.find("C6 03 69 63 68 ");
    ASSERT_NE(op, std::string::npos) << tampered;
    tampered.replace(op, 15, "C6 03 69 68 72 ");
    release(tampered);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return card.Commands("80 44").size() == 1; }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_EQ(card.Commands("80 40"), std::vector<std::string>{tampered.substr(0, tampered.size() - 1)});
    const std::string signedAnswer = Answer("80 40");
    ASSERT_GT(signedAnswer.size(), 6u);
    EXPECT_EQ(signedAnswer.substr(signedAnswer.size() - 5), "90 00");
    const std::string response = Bytes(signedAnswer.substr(0, signedAnswer.size() - 6));
    const std::string builtData = Bytes(built).substr(5, Bytes(built).size() - 6);
    const std::string verify = card.Commands("80 44")[0];
    EXPECT_EQ(Bytes(verify),
              std::string("\x80\x44\x00\x00", 4) +
                  std::string(1, static_cast<char>(builtData.size() + response.size() - response.find("\xCB\x01"))) +
                  builtData + response.substr(response.find("\xCB\x01")) + std::string(1, '\0'))
        << verify;
    EXPECT_EQ(Answer("80 44"), "6A 80");
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoColour() == kFailedColour; })) << std::hex << MemoColour();
    const auto monitor = MonitorLines();
    ASSERT_GE(monitor.size(), 2u);
    EXPECT_EQ(monitor[monitor.size() - 2], "\tKommando: " + verify + " ");
    EXPECT_EQ(monitor.back(), "\tAntwort: Fehler");

    // Closed instead of sent: the command goes to the card as the register built it.
    card.ClearLog();
    const std::string closed = holdSale("80 40 00 00 ");
    SendMessageA(sendMemo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("80 40 00 00 00 00 "));
    PostMessageA(debug, WM_CLOSE, 0, 0);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return card.Commands("80 44").size() == 1; }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_EQ(card.Commands("80 40"), std::vector<std::string>{closed.substr(0, closed.size() - 1)});
    EXPECT_EQ(Answer("80 44"), "90 00");
    EXPECT_FALSE(IsWindowVisible(debug));

    // The verification held instead ("Datensatzmanipulation"): one byte of the signature
    // changed, and the card says it is not genuine.
    ASSERT_TRUE(ClickMenuItem(main, "Debug1"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(debug) != FALSE; }));
    SetWindowPos(debug, HWND_TOP, k.right + 10, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_NO_FATAL_FAILURE(tick("CheckTrans"));
    ASSERT_NO_FATAL_FAILURE(tick("CheckManVer"));
    card.ClearLog();
    std::string check = holdSale("80 44 00 00 ");
    ASSERT_EQ(card.Commands("80 40").size(), 1u);
    EXPECT_TRUE(card.Commands("80 44").empty());
    const std::string sale = card.Commands("80 40")[0];
    const std::string saleAnswer = Answer("80 40");
    const std::string saleResponse = Bytes(saleAnswer.substr(0, saleAnswer.size() - 6));
    const std::string tail = saleResponse.substr(saleResponse.find("\xCB\x01"));
    const std::string saleData = Bytes(sale).substr(5, Bytes(sale).size() - 6);
    EXPECT_EQ(check, Hex(std::string("\x80\x44\x00\x00", 4) +
                         std::string(1, static_cast<char>(saleData.size() + tail.size())) + saleData + tail +
                         std::string(1, '\0')) +
                         " ");
    // The last signature byte, before the Le byte.
    const size_t last = check.size() - 6;
    check.replace(last, 2, check.substr(last, 2) == "00" ? "01" : "00");
    release(check);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return card.Commands("80 44").size() == 1; }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_EQ(card.Commands("80 44"), std::vector<std::string>{check.substr(0, check.size() - 1)});
    EXPECT_EQ(Answer("80 44"), "6A 80");
    EXPECT_EQ(MonitorLines().back(), "\tAntwort: Fehler");
    Exit();

    // The journals: what the register built and what the card answered, for every sale.
    const std::string s = tillora.Journal('S'), l = tillora.Journal('L');
    const auto requests = AllBetween(s, "<transactionRequest>", "</transactionRequest>");
    const auto responses = AllBetween(s, "<transactionResponse>", "</transactionResponse>");
    ASSERT_EQ(requests.size(), 4u) << s;
    ASSERT_EQ(responses.size(), 4u) << s;
    EXPECT_EQ(Hex(Decode64(requests[1])), Hex(builtData));
    EXPECT_EQ(Hex(Decode64(responses[1])), Hex(response));
    EXPECT_EQ(Hex(Decode64(requests[3])), Hex(saleData));
    EXPECT_EQ(Hex(Decode64(responses[3])), Hex(saleResponse));
    EXPECT_EQ(AllBetween(l, "<operatorId>", "</operatorId>"), (std::vector<std::string>(4, "ich")));
    EXPECT_EQ(AllBetween(l, "<seqNoTransaction>", "</seqNoTransaction>"),
              (std::vector<std::string>{"1", "2", "3", "4"}));
    KeepForChecker();
}

TEST_F(RegisterRoads, ATransportCardIsActivatedClosedByItsReportsAndDeactivated)
{
    StartProgram(kProducts, "--fresh transport");
    HWND pin = tillora.WaitForForm("TPINForm");
    ASSERT_NE(pin, nullptr);
    SendMessageA(FindControlWindow(pin, "PINEdit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("123456"));
    TilloraProgram::Click(FindControlWindow(pin, "PINButton"));
    ASSERT_NO_FATAL_FAILURE(FindRegister());

    // The activation: the date and time fields and the PIN; its report on the receipt.
    const auto activations = card.Commands("80 42 04 00 ");
    ASSERT_EQ(activations.size(), 1u);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(activations[0], m,
                                 std::regex("80 42 04 00 12 CD 04 ((?:\\d\\d ){3}\\d\\d) CE 02 (\\d\\d \\d\\d) "
                                            "C3 06 31 32 33 34 35 36 00")))
        << activations[0];
    const std::string activationDate = m[1].str(), activationTime = m[2].str();
    const std::string activated = Answer("80 42 04 00 ");
    ASSERT_TRUE(std::regex_match(activated, std::regex("C1 01 03 C4 0F 41 54 55 31 32 33 34 35 36 37 38 2D 51 53 4D "
                                                       "C5 04 00 00 12 67 CC 01 01 CB 01 00 9E 30( [0-9A-F]{2}){48} "
                                                       "90 00")))
        << activated;
    const std::string day = ReceiptDate(activationDate);
    ExpectReportReceipt({"", "Tagesabschluss ", "Datum: \t\t" + day, "Uhrzeit: \t\t" + ReceiptTime(activationTime),
                         "Lebenszyklus: \t03", "QSM-Kennung: \tATU12345678-QSM", "QSM-Nummer: 4711",
                         "Berichtsnummer: \t1", "Transaktionsnummer: \t\t0"},
                        activated);

    // A sale, then the signed daily report that books it.
    StandardSale();
    EXPECT_EQ(Receipt().back(), "Transaktionsnummer: 1");
    card.ClearLog();
    TilloraProgram::Click(Control("ReportButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(Control("ReportBox")) != FALSE; }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    TilloraProgram::Click(Control("TagButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return !card.Commands("80 42 01 00 ").empty(); }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    const std::string daily = card.Commands("80 42 01 00 ")[0];
    ASSERT_TRUE(
        std::regex_match(daily, m, std::regex("80 42 01 00 0A CD 04 ((?:\\d\\d ){3}\\d\\d) CE 02 (\\d\\d \\d\\d) 00")))
        << daily;
    const std::string month = m[1].str().substr(0, 8); // "yy yy mm"

    // The span report over the booked month, chosen in the month list.
    TilloraProgram::Click(Control("RepSyncButton"));
    HWND list = Control("MonthList");
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    SendMessageA(list, LB_SETSEL, TRUE, 0);
    card.ClearLog();
    TilloraProgram::Click(Control("BerRepButton"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return !card.Commands("80 42 03 00 ").empty(); }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    const std::string span = card.Commands("80 42 03 00 ")[0];
    ASSERT_TRUE(std::regex_match(span, m,
                                 std::regex("80 42 03 00 14 CD 04 ((?:\\d\\d ){3}\\d\\d) CE 02 (\\d\\d \\d\\d) D0 03 " +
                                            month + " D1 03 " + month + " 00")))
        << span;
    const std::string spanDate = m[1].str(), spanTime = m[2].str();
    const std::string spanAnswer = Answer("80 42 03 00 ");
    const std::string monthDigits = month.substr(0, 2) + month.substr(3, 2) + month.substr(6, 2);
    // The month's totals: the sale's 5,97 at 19 % and 0,99 at 7 % (BCD digits as they come).
    ExpectReportReceipt({"", "Bericht von " + monthDigits + " bis " + monthDigits,
                         "Datum: \t\t" + ReceiptDate(spanDate), "Uhrzeit: \t\t" + ReceiptTime(spanTime),
                         "Lebenszyklus: \t03", "QSM-Kennung: \tATU12345678-QSM", "QSM-Nummer: 4711",
                         "Berichtsnummer: \t3", "Erste Transaktion: \t1", "Letzte Transaktion: \t1",
                         "Transaktionsnummer: \t\t1", "Container1 :", "\tUmsatz: 597", "\tSteuersatz: 1900",
                         "Container2 :", "\tUmsatz: 099", "\tSteuersatz: 0700"},
                        spanAnswer);

    // Deactivation from the main window's menu: both questions must be answered with OK.
    const auto answerBoxes = [&](std::vector<int> buttons) {
        for (size_t i = 0; i < buttons.size(); ++i) {
            HWND box = tillora.WaitForForm("#32770");
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(WindowText(box), LangText("Deutsch", "73txt"));
            EXPECT_EQ(TilloraProgram::MessageText(box), LangText("Deutsch", i == 0 ? "72txt" : "74txt"));
            ASSERT_NE(GetDlgItem(box, IDCANCEL), nullptr);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttons[i], BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, buttons[i])));
            ASSERT_TRUE(TilloraProgram::WaitForHidden(box));
        }
    };
    card.ClearLog();
    ASSERT_TRUE(ClickMenuItem(main, "QSMdeakt"));
    ASSERT_NO_FATAL_FAILURE(answerBoxes({IDCANCEL}));
    ASSERT_TRUE(ClickMenuItem(main, "QSMdeakt"));
    ASSERT_NO_FATAL_FAILURE(answerBoxes({IDOK, IDCANCEL}));
    SendMessageA(main, WM_NULL, 0, 0);
    EXPECT_TRUE(card.Commands("80 42").empty());
    ASSERT_TRUE(ClickMenuItem(main, "QSMdeakt"));
    ASSERT_NO_FATAL_FAILURE(answerBoxes({IDOK, IDOK}));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return !card.Commands("80 42 05 00 ").empty(); }));
    SendMessageA(main, WM_NULL, 0, 0);
    const std::string deactivation = card.Commands("80 42 05 00 ")[0];
    ASSERT_TRUE(std::regex_match(deactivation, m,
                                 std::regex("80 42 05 00 0A CD 04 ((?:\\d\\d ){3}\\d\\d) CE 02 (\\d\\d \\d\\d) 00")))
        << deactivation;
    const std::string endDate = m[1].str(), endTime = m[2].str();
    const std::string deactivated = Answer("80 42 05 00 ");
    EXPECT_EQ(deactivated.substr(0, 9), "C1 01 04 ") << deactivated;
    // The day was closed by the daily report: no totals left.
    ExpectReportReceipt({"", "Tagesabschluss ", "Datum: \t\t" + ReceiptDate(endDate),
                         "Uhrzeit: \t\t" + ReceiptTime(endTime), "Lebenszyklus: \t04", "QSM-Kennung: \tATU12345678-QSM",
                         "QSM-Nummer: 4711", "Berichtsnummer: \t4", "Transaktionsnummer: \t\t1"},
                        deactivated);

    // A deactivated card signs no more.
    card.ClearLog();
    StandardSale();
    EXPECT_EQ(Answer("80 40 00 00 "), "69 85");
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoColour() == kFailedColour; })) << std::hex << MemoColour();
    EXPECT_EQ(WindowText(memo).find("Transaktionsnummer"), std::string::npos) << WindowText(memo);
    Exit();

    // Four reports in both journals: requests without the PIN, the card's answers.
    const std::string s = tillora.Journal('S'), l = tillora.Journal('L');
    const auto requests = AllBetween(s, "<reportRequest>", "</reportRequest>");
    const auto responses = AllBetween(s, "<reportResponse>", "</reportResponse>");
    ASSERT_EQ(requests.size(), 4u) << s;
    ASSERT_EQ(responses.size(), 4u) << s;
    EXPECT_EQ(Hex(Decode64(requests[0])), "CD 04 " + activationDate + " CE 02 " + activationTime);
    EXPECT_EQ(Hex(Decode64(responses[0])), activated.substr(0, activated.size() - 6));
    EXPECT_EQ(Hex(Decode64(requests[2])), span.substr(15, span.size() - 18));
    EXPECT_EQ(Hex(Decode64(responses[2])), spanAnswer.substr(0, spanAnswer.size() - 6));
    EXPECT_EQ(Hex(Decode64(requests[3])), deactivation.substr(15, deactivation.size() - 18));
    EXPECT_EQ(Hex(Decode64(responses[3])), deactivated.substr(0, deactivated.size() - 6));
    EXPECT_EQ(AllBetween(l, "<lifeCycle>", "</lifeCycle>"), (std::vector<std::string>{"03", "03", "03", "04"}));
    EXPECT_EQ(AllBetween(l, "<seqNoReport>", "</seqNoReport>"), (std::vector<std::string>{"1", "2", "3", "4"}));
    const std::string date = activationDate.substr(0, 2) + activationDate.substr(3, 2) + activationDate.substr(6, 2) +
                             activationDate.substr(9, 2);
    const std::string time = activationTime.substr(0, 2) + activationTime.substr(3, 2);
    EXPECT_EQ(l.find("<report><date>" + date + "</date><time>" + time +
                     "</time><lifeCycle>03</lifeCycle><tpId>ATU12345678-QSM</tpId><tpIdNo>4711</tpIdNo>"
                     "<seqNoReport>1</seqNoReport><seqNoTransaction>0</seqNoTransaction><sig>"),
              l.find("<report>"))
        << l;
    EXPECT_NE(l.find("<lifeCycle>03</lifeCycle><tpId>ATU12345678-QSM</tpId><tpIdNo>4711</tpIdNo>"
                     "<seqNoReport>3</seqNoReport><seqNoTransactionFirst>1</seqNoTransactionFirst>"
                     "<seqNoTransactionLast>1</seqNoTransactionLast><seqNoTransaction>1</seqNoTransaction>"
                     "<containerVat1><turnover>597</turnover><vatRate>1900</vatRate></containerVat1>"
                     "<containerVat2><turnover>099</turnover><vatRate>0700</vatRate></containerVat2><sig>"),
              std::string::npos)
        << l;
    KeepForChecker();
}

TEST_F(RegisterRoads, TheItemListIsHashedOnTheHostOrOnTheCardAndTheSignatureVerifiesEitherWay)
{
    startIni += "\r\n[Menue]\r\nDebug=1\r\n";
    OpenRegister(kProducts);
    ASSERT_TRUE(ClickMenuItem(main, "Debug1"));
    HWND debug = tillora.WaitForForm("TDebugForm");
    ASSERT_NE(debug, nullptr);
    const auto tick = [&](const char* box) {
        HWND b = FindControlWindow(debug, box);
        TilloraProgram::Click(b);
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return SendMessageA(b, BM_GETCHECK, 0, 0) == BST_CHECKED; })) << box;
    };
    ASSERT_NO_FATAL_FAILURE(tick("CheckVer"));
    PostMessageA(debug, WM_CLOSE, 0, 0);
    ASSERT_TRUE(TilloraProgram::WaitForHidden(debug));
    const std::string standardList = std::string(kBrotItem) + " " + kMilchItem;

    // On the host: the card sees no hash command; the hash field is the list's SHA-1.
    card.ClearLog();
    StandardSale();
    auto commands = card.Commands();
    EXPECT_TRUE(std::none_of(commands.begin(), commands.end(),
                             [](const std::string& c) { return c.find("2A 90 80") != std::string::npos; }));
    ASSERT_EQ(card.Commands("80 40").size(), 1u);
    EXPECT_NE(card.Commands("80 40")[0].find("C7 14 " + std::string(kStandardHash) + " C8 02 03 D2"), std::string::npos)
        << card.Commands("80 40")[0];
    EXPECT_EQ(Answer("80 44"), "90 00");

    // On the card: the certificate file selected, the list sent in one block, its digest from
    // the card in the hash field.
    ASSERT_TRUE(ClickMenuItem(main, "Debug1"));
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(debug) != FALSE; }));
    ASSERT_NO_FATAL_FAILURE(tick("CheckHash"));
    PostMessageA(debug, WM_CLOSE, 0, 0);
    card.ClearLog();
    StandardSale();
    commands = card.Commands();
    const auto hashAt = std::find_if(commands.begin(), commands.end(),
                                     [](const std::string& c) { return c.find("2A 90 80") != std::string::npos; });
    ASSERT_NE(hashAt, commands.end());
    ASSERT_GT(hashAt - commands.begin(), 0);
    EXPECT_EQ(*(hashAt - 1), "00 A4 00 0C 02 11 10");
    EXPECT_EQ(*hashAt, "00 2A 90 80 21 " + standardList + " 00");
    EXPECT_EQ(Answer("00 2A 90 80 "), std::string(kStandardHash) + " 90 00");
    ASSERT_EQ(card.Commands("80 40").size(), 1u);
    EXPECT_NE(card.Commands("80 40")[0].find("C7 14 " + std::string(kStandardHash) + " C8 02 03 D2"),
              std::string::npos);
    EXPECT_EQ(Answer("80 44"), "90 00");

    // A list longer than 128 bytes goes to the card in a chain: seven lines of loaves.
    card.ClearLog();
    for (size_t i = 0; i < 7; ++i)
        AddProduct(0, "3", 3 + 2 * i);
    ClickFor("SumButton", 17);
    Kassieren();
    std::string sevenLoaves;
    for (int i = 0; i < 7; ++i)
        sevenLoaves += (i ? " " : "") + std::string(kBrotItem);
    const auto chain = card.Commands("10 2A 90 80 ");
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(chain[0], "10 2A 90 80 80 " + sevenLoaves.substr(0, 128 * 3 - 1) + " 00");
    EXPECT_EQ(card.Commands("00 2A 90 80 "),
              std::vector<std::string>{"00 2A 90 80 05 " + sevenLoaves.substr(128 * 3) + " 00"});
    const std::string sevenHash = "4A AA AF 03 C0 C8 6A 4F 06 DA F2 41 44 2F 61 43 4D 3E D8 4A";
    EXPECT_EQ(Answer("00 2A 90 80 "), sevenHash + " 90 00");
    ASSERT_EQ(card.Commands("80 40").size(), 1u);
    EXPECT_NE(card.Commands("80 40")[0].find("C7 14 " + sevenHash + " C8 02 03 D2"), std::string::npos);
    EXPECT_EQ(Answer("80 44"), "90 00");
    Exit();

    // The journals carry the whole item list and its hash in both modes.
    const std::string s = tillora.Journal('S'), l = tillora.Journal('L');
    const auto lists = AllBetween(s, "<itemListEncoded>", "</itemListEncoded>");
    ASSERT_EQ(lists.size(), 3u) << s;
    EXPECT_EQ(Hex(Decode64(lists[0])), standardList);
    EXPECT_EQ(Hex(Decode64(lists[1])), standardList);
    EXPECT_EQ(Hex(Decode64(lists[2])), sevenLoaves);
    std::string plain = kStandardHash, seven = sevenHash;
    plain.erase(std::remove(plain.begin(), plain.end(), ' '), plain.end());
    seven.erase(std::remove(seven.begin(), seven.end(), ' '), seven.end());
    EXPECT_EQ(AllBetween(l, "<hashTransactionItems>", "</hashTransactionItems>"),
              (std::vector<std::string>{plain, plain, seven}));
    KeepForChecker();
}
