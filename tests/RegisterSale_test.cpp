// A sale through the real register window: Tillora.exe with the simulated card, driven from
// this process through window messages. Items from the product list, the total, the finish with
// the card's signature, storno, discount, surcharge and cancel; the bytes the card saw, the
// receipt's lines and the journals. The QR picture of a signed receipt is read from the screen
// into register_qr\ beside this program, with the link that its journal pair gives, for the
// CTest step register_qr_decode (zbarimg) to decode.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "register/core/UQrLink.h"
#include "tests/support/Base64Text.h"
#include "tests/support/RegisterWindowTest.h"
#include "tests/support/SimCard.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"

namespace {

const char* const kProducts = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
                              "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                              "<item><name>Milch</name><price2>99</price2></item>"
                              "</itemList></vantra>";

// The text between two marks, from a position on; "" when missing.
std::string Between(const std::string& text, const std::string& open, const std::string& close, size_t& at)
{
    const size_t a = text.find(open, at);
    if (a == std::string::npos) return "";
    const size_t b = text.find(close, a + open.size());
    if (b == std::string::npos) return "";
    at = b + close.size();
    return text.substr(a + open.size(), b - a - open.size());
}

class RegisterSale : public RegisterWindowTest {
protected:
    void SetUp() override
    {
        OpenRegister(kProducts);
        card.ClearLog();
    }
};

// The QR picture on the receipt, read from the screen, as a PGM for zbarimg: four pixels a
// module, eight modules of white around it.
std::string ScreenPicture(HWND overlay)
{
    RECT r;
    GetWindowRect(overlay, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    constexpr int kScale = 4, kMargin = 8;
    const int side = (std::max(w, h) + 2 * kMargin) * kScale;
    std::string pgm = "P5\n" + std::to_string(side) + " " + std::to_string(side) + "\n255\n";
    std::vector<bool> dark(static_cast<size_t>(w * h));
    HDC screen = GetDC(nullptr);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dark[static_cast<size_t>(y * w + x)] = GetPixel(screen, r.left + x, r.top + y) == RGB(0, 0, 0);
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int px = x / kScale - kMargin, py = y / kScale - kMargin;
            const bool d = px >= 0 && py >= 0 && px < w && py < h && dark[static_cast<size_t>(py * w + px)];
            pgm += static_cast<char>(d ? 0 : 255);
        }
    return pgm;
}

} // namespace

TEST_F(RegisterSale, ASaleIsSignedJournalledAndShownWithItsVatTable)
{
    AddProduct(0, "3", 3);
    AddProduct(1, "1", 4);
    auto lines = Memo();
    ASSERT_EQ(lines.size(), 4u) << WindowText(memo);
    EXPECT_EQ(lines[0], std::string(13, ' ') + "Kassenbeleg");
    EXPECT_EQ(lines[1], ReceiptLine("Brot", "", ""));
    EXPECT_EQ(lines[2], ReceiptLine(" 3 Stk. x  1,99€ = ", " A ", " 5,97€"));
    EXPECT_EQ(lines[3], ReceiptLine("Milch", " B ", " 0,99€"));

    // While the receipt is open the VAT dialog shows the rates read-only with its notice.
    ASSERT_TRUE(ClickMenuItem(kasse, "Editiere1"));
    HWND vat = tillora.WaitForForm("TFormUStS");
    ASSERT_NE(vat, nullptr);
    EXPECT_FALSE(IsWindowEnabled(FindControlWindow(vat, "USS1")));
    EXPECT_TRUE(TilloraProgram::WaitForShown(FindControlWindow(vat, "StaticText")));
    TilloraProgram::Click(FindControlWindow(vat, "Button2"));
    ASSERT_TRUE(TilloraProgram::WaitForHidden(vat));

    ClickFor("SumButton", 7);
    lines = Memo();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[4], std::string(41, '_'));
    EXPECT_EQ(lines[5], ReceiptLine("SUMME", " ", " 6,96€"));
    EXPECT_EQ(lines[6], " ");
    EXPECT_TRUE(Enabled("KassButton"));
    EXPECT_FALSE(Enabled("SumButton"));

    Kassieren();
    EXPECT_FALSE(Enabled("SumButton"));
    lines = Memo();
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[7], "Satz     Brutto    Netto     USt     ");
    EXPECT_EQ(lines[8].substr(0, 7), "A  19.0");
    EXPECT_EQ(lines[9].substr(0, 7), "B  7.00");
    EXPECT_EQ(lines[10], " ");

    const auto sent = card.Commands("80 40 00 00 ");
    ASSERT_EQ(sent.size(), 1u);
    const std::string& c = sent[0];
    EXPECT_NE(c.find("C6 03 69 63 68 "), std::string::npos) << c;
    EXPECT_NE(c.find("E1 0C D8 02 59 7C DA 02 09 5C DB 02 19 00 "), std::string::npos) << c;
    EXPECT_NE(c.find("E2 0B D8 02 09 9C DA 01 6C DB 02 07 00 "), std::string::npos) << c;
    EXPECT_EQ(c.find("CA 00"), std::string::npos) << c;
    EXPECT_TRUE(card.Commands("80 44").empty());

    // After the finish the rates are editable again.
    ASSERT_TRUE(ClickMenuItem(kasse, "Editiere1"));
    vat = tillora.WaitForForm("TFormUStS");
    ASSERT_NE(vat, nullptr);
    EXPECT_TRUE(IsWindowEnabled(FindControlWindow(vat, "USS1")));
    TilloraProgram::Click(FindControlWindow(vat, "Button2"));
    ASSERT_TRUE(TilloraProgram::WaitForHidden(vat));

    Exit();
    ExpectBreadAndMilkJournals();
}

TEST_F(RegisterSale, StornoDiscountSurchargeAndCancel)
{
    AddProduct(0, "3", 3);
    AddProduct(1, "1", 4);
    Caret(2);
    ClickFor("StornoButton", 6);
    auto lines = Memo();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], ReceiptLine("Brot", "", ""));
    EXPECT_EQ(lines[5], ReceiptLine(" 3 x  1,99€ = ", " A ", "-5,97€"));
    ClickFor("SumButton", 9);
    EXPECT_EQ(Memo()[7], ReceiptLine("SUMME", " ", " 0,99€"));
    Kassieren();
    auto sent = card.Commands("80 40 00 00 ");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].find(" D9 02 59 7C "), std::string::npos) << sent[0];

    // Storno from the item's first line, then a discount and a surcharge on three loaves.
    AddProduct(0, "3", 3);
    Caret(1);
    ClickFor("StornoButton", 5);
    EXPECT_EQ(Memo()[4], ReceiptLine(" 3 x  1,99€ = ", " A ", "-5,97€"));
    SendMessageA(Control("RabA"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("10"));
    ClickFor("RabButton", 6);
    EXPECT_EQ(Memo()[5], ReceiptLine("Rabatt 1Stk.", " A ", "-0,60€"));
    EXPECT_FALSE(IsWindowVisible(Control("RabABox")));
    AddProduct(0, "3", 8);
    SendMessageA(Control("RabA"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("5"));
    ClickFor("AufButton", 9);
    EXPECT_EQ(Memo()[8], ReceiptLine("Aufschlag 1Stk.", " A ", " 0,30€"));
    ClickFor("SumButton", 12);
    EXPECT_EQ(Memo()[10], ReceiptLine("SUMME", " ", " 5,67€"));
    Kassieren();
    sent = card.Commands("80 40 00 00 ");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_NE(sent[1].find(" D8 02 56 7C "), std::string::npos) << sent[1];

    // Enter twice in the list totals, then finishes; with "QRCode" unticked there is no picture.
    ASSERT_TRUE(ClickMenuItem(kasse, "SecQRCode"));
    EXPECT_TRUE(TilloraProgram::WaitFor(
        [&] { return QueryMenuItem(kasse, "SecText").checked && !QueryMenuItem(kasse, "SecQRCode").checked; }));
    AddProduct(1, "1", 2);
    PostMessageA(Control("ProdListSel"), WM_CHAR, '\r', 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Enabled("KassButton"); }));
    PostMessageA(Control("ProdListSel"), WM_CHAR, '\r', 0);
    EXPECT_TRUE(
        TilloraProgram::WaitFor([&] { return card.Commands("80 40 00 00 ").size() == 3 && !Enabled("AbrButton"); }));
    SendMessageA(kasse, WM_NULL, 0, 0);
    EXPECT_FALSE(IsWindowVisible(FindControlWindow(kasse, "QrOverlay")));
    EXPECT_NE(WindowText(memo).find("Signatur:"), std::string::npos);

    // Abbruch signs nothing.
    AddProduct(1, "1", 2);
    ClickFor("AbrButton", 4);
    const auto last = Memo();
    EXPECT_EQ(last[2], " ");
    EXPECT_EQ(last[3], "###ABBRUCH###");
    EXPECT_FALSE(Enabled("SumButton") || Enabled("AbrButton") || Enabled("KassButton"));
    EXPECT_EQ(card.Commands("80 40 00 00 ").size(), 3u);

    Exit();
    const std::string l = tillora.Journal('L');
    EXPECT_NE(l.find("<name>Rabatt</name><discountSurcharge />"), std::string::npos) << l;
    EXPECT_NE(l.find("<name>Aufschlag</name><discountSurcharge />"), std::string::npos) << l;
}

TEST_F(RegisterSale, SecurityTextsTrainingVerificationAndTheQrPictureOfTheLink)
{
    const std::string folder = TilloraProgram::OutputFolder("register_qr");
    for (const char* name : {"001.pgm", "001.txt", "002.pgm", "002.txt"})
        DeleteFileA((folder + name).c_str());
    ASSERT_TRUE(ClickMenuItem(kasse, "SecText"));
    ASSERT_TRUE(ClickMenuItem(kasse, "Training1"));
    ASSERT_TRUE(ClickMenuItem(kasse, "VerifikationaufQSM"));
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return QueryMenuItem(kasse, "Training1").checked; }));
    RECT client;
    GetClientRect(kasse, &client);
    POINT corner{client.right - 4, client.bottom - 4};
    ClientToScreen(kasse, &corner);
    // Training shows in the form's colour; a skinned window paints its client from the skin.
    if (TilloraProgram::TestSkin().empty()) {
        HDC screen = GetDC(nullptr);
        EXPECT_TRUE(TilloraProgram::WaitFor([&] { return GetPixel(screen, corner.x, corner.y) == RGB(255, 255, 0); }));
        ReleaseDC(nullptr, screen);
    }

    // An item in all six classes (typed into the special-item editor, "+" in a price field)
    // makes a link whose symbol is larger than 60 modules; enough lines for the receipt to scroll.
    const std::pair<const char*, const char*> fields[] = {{"SpezBez", "Alles"}, {"SpezMenge", "1"}, {"Pr1", "100"},
                                                          {"Pr2", "200"},       {"Pr3", "300"},     {"Pr4", "400"},
                                                          {"Pr5", "500"},       {"Pr6", "600"}};
    for (const auto& [name, value] : fields)
        SendMessageA(Control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
    PostMessageA(Control("Pr1"), WM_CHAR, '+', 0);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return MemoCount() >= 2; }));
    EXPECT_EQ(Memo()[1], ReceiptLine("Alles", " ABCDEF", "21,00€"));
    for (int i = 0; i < 12; ++i)
        AddProduct(1, "1", static_cast<size_t>(3 + i));
    ClickFor("SumButton", 17);
    Kassieren();
    const auto lines = Memo();
    const std::string text = WindowText(memo);
    size_t hash = 0;
    while (hash < lines.size() && lines[hash] != "Hash:")
        ++hash;
    ASSERT_LT(hash + 5, lines.size()) << text;
    const std::regex group("[A-Z2-7]{5}(-[A-Z2-7]{5})*-[A-Z2-7]{2}");
    EXPECT_TRUE(std::regex_match(lines[hash + 1], group)) << lines[hash + 1];
    EXPECT_EQ(lines[hash + 2], "Signatur:");
    const std::regex full("([A-Z2-7]{5}-){6}");
    EXPECT_TRUE(std::regex_match(lines[hash + 3], full)) << lines[hash + 3];
    EXPECT_TRUE(std::regex_match(lines[hash + 4], full)) << lines[hash + 4];
    EXPECT_TRUE(std::regex_match(lines[hash + 5], std::regex("([A-Z2-7]{5}-){3}[A-Z2-7=]{5}"))) << lines[hash + 5];

    const auto sent = card.Commands("80 40 00 00 ");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].find("CA 00 "), std::string::npos) << sent[0];
    EXPECT_EQ(card.Commands("80 44 00 00 ").size(), 1u);

    // The picture stands on the receipt while the memo is where it was drawn.
    HWND overlay = FindControlWindow(kasse, "QrOverlay");
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(overlay) != FALSE; }));
    RECT picture;
    GetWindowRect(overlay, &picture);
    EXPECT_GT(picture.right - picture.left, 60);
    // The memo's own painting leaves the picture whole.
    RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Sleep(200);
    std::ofstream(folder + "001.pgm", std::ios::binary | std::ios::trunc) << ScreenPicture(overlay);
    const LRESULT first = SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(first, 0) << "the receipt does not scroll";
    SendMessageA(memo, WM_VSCROLL, SB_TOP, 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return !IsWindowVisible(overlay); }));
    SendMessageA(memo, EM_LINESCROLL, 0, first);
    EXPECT_EQ(SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0), first);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(overlay) != FALSE; }));
    Sleep(200);
    std::ofstream(folder + "002.pgm", std::ios::binary | std::ios::trunc) << ScreenPicture(overlay);

    // The link: the journal's request and response of the sale with the fields left out.
    Exit();
    const std::string s = [&] {
        for (const auto& f : tillora.Files("Journal"))
            if (f.size() > 5 && f[f.size() - 5] == 'S') return tillora.ReadFile("Journal\\" + f);
        return std::string();
    }();
    size_t at = 0;
    std::string payload = Decode64(Between(s, "<transactionRequest>", "</transactionRequest>", at));
    payload += Decode64(Between(s, "<transactionResponse>", "</transactionResponse>", at));
    ASSERT_GT(payload.size(), 50u) << s;
    payload.resize(UQrLink::FilterFields(reinterpret_cast<std::uint8_t*>(payload.data()), payload.size()));
    const std::string link = UQrLink::VerifyUrlOf(payload);
    for (const char* name : {"001.txt", "002.txt"})
        std::ofstream(folder + name, std::ios::binary | std::ios::trunc) << link;
}

// The skin named in start.ini is damaged (the file cut in half): its message once, then the
// register starts without a skin and signs a sale; the name stays stored, skins off.
class DamagedStartSkin : public RegisterWindowTest {};

TEST_F(DamagedStartSkin, ShowsItsMessageAndTheRegisterStartsWithoutASkin)
{
    const std::string packed = tillora.ReadFile("Skins\\Sandstein.vtz");
    ASSERT_GT(packed.size(), 1000u);
    tillora.WriteFile("Skins\\Sandstein.vtz", packed.substr(0, packed.size() / 2));
    startIni += "\r\n[View]\r\nskin enabled=1\r\nskin name=Sandstein\r\n";
    ASSERT_NO_FATAL_FAILURE(StartProgram(kProducts, "--fresh active"));
    HWND box = tillora.WaitForForm("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TilloraProgram::MessageText(box), "Decompression error: compressed data ends too early");
    ASSERT_TRUE(TilloraProgram::PressButton(box, "OK"));
    ASSERT_NO_FATAL_FAILURE(FindRegister());
    EXPECT_EQ(Sale(0), 1);
    EXPECT_EQ(card.Commands("80 40 00 00 ").size(), 1u);
    EXPECT_EQ(tillora.Window("#32770", false), nullptr);
    Exit();
    const std::string ini = tillora.ReadFile("cfg\\start.ini");
    EXPECT_NE(ini.find("skin enabled=0\r\nskin name=Sandstein\r\n"), std::string::npos) << ini;
}
