// A test fixture around the register window of the real Tillora.exe: the simulated card on its
// own port (with the test's qsmsim options), a program folder with the test's product list,
// the main window, the register window and its receipt memo; buttons clicked and products
// added as the cashier would, and the program ended through its menu (or by TearDown).
//
//   class MySale : public RegisterWindowTest {};
//   TEST_F(MySale, Sells)
//   {
//       OpenRegister(kProducts, "--fault \"80 40=sw:6985,once\"");
//       AddProduct(0, "3", 3);     // product 0, quantity 3: the receipt has 3 lines
//       ClickFor("SumButton", 6);
//       Exit();
//   }
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Automation.h"
#include "tests/support/SimCard.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"

class RegisterWindowTest : public ::testing::Test {
protected:
    // Starts the card ("--fresh active" and the options) and the program with the product list
    // (an XML text) up to its register window, brought to the top left.
    void OpenRegister(const char* products, const std::string& cardOptions = "")
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram(products, "--fresh active " + cardOptions));
        ASSERT_NO_FATAL_FAILURE(FindRegister());
    }
    // The first half: the card with exactly these options and the program started.
    void StartProgram(const char* products, const std::string& cardOptions)
    {
        card.SetOptions(cardOptions);
        SimCard::UseReaders({{"Sim Reader", port}});
        tillora.WriteFile("cfg\\start.ini", startIni);
        tillora.WriteFile("Produkte\\Standard.xml", products);
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(tillora.Start());
    }
    // The second half: waits for the main and register windows.
    void FindRegister()
    {
        main = tillora.WaitForForm("TMainF");
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(tillora.UnderTestSkin(main)) << TilloraProgram::TestSkin();
        kasse = tillora.WaitForForm("TKassTip");
        ASSERT_NE(kasse, nullptr);
        memo = FindControlWindow(kasse, "BelegMemo");
        ASSERT_NE(memo, nullptr);
        SetWindowPos(kasse, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    }
    void TearDown() override
    {
        if (main && IsWindow(main)) ClickMenuItem(main, "Beenden1");
        tillora.WaitForExit();
    }

    HWND Control(const char* name) const { return FindControlWindow(kasse, name); }
    std::vector<std::string> Memo() const { return SplitLines(WindowText(memo)); }
    size_t MemoCount() const { return Memo().size(); }
    bool Enabled(const char* name) const { return IsWindowEnabled(Control(name)) != FALSE; }
    // Clicks a button, waits until the program has handled the click (the first item of a new
    // receipt shrinks the memo: its line count alone would not tell) and the receipt has at
    // least `lines` lines. Not for buttons that open a dialog.
    void ClickFor(const char* button, size_t lines)
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(Control(button), BM_CLICK, 0, 0, SMTO_NORMAL, TilloraProgram::kWait, &result);
        EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoCount() >= lines; })) << button << "\n"
                                                                                   << WindowText(memo);
    }
    // Selects product `index`, types the quantity and presses "Hinzufügen".
    void AddProduct(int index, const char* quantity, size_t lines)
    {
        SendMessageA(Control("ProdListSel"), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(Control("StkMemo"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(quantity));
        ClickFor("ScanButton", lines);
    }
    // Puts the memo's caret at the start of a line (the line storno takes).
    void Caret(int line)
    {
        const LRESULT start = SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(start), start);
    }
    // Finishes the receipt ("Kassieren") and waits until the program has shown it.
    void Kassieren()
    {
        TilloraProgram::Click(Control("KassButton"));
        ASSERT_TRUE(TilloraProgram::WaitFor([&] { return !Enabled("KassButton") && !Enabled("AbrButton"); }));
        // The receipt text and the picture come in the same handler: wait until it is done.
        SendMessageA(kasse, WM_NULL, 0, 0);
    }
    // The receipt memo's colour, from the screen at the foot of its client area (the
    // colour the program gives it after a card exchange).
    COLORREF MemoColour() const
    {
        RECT r;
        GetClientRect(memo, &r);
        POINT p{r.right - 30, r.bottom - 3};
        ClientToScreen(memo, &p);
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
        return c;
    }
    // One receipt of varying content (n picks it: two products; a discount; a line taken back)
    // from the first three products of the list, finished; the sale's transaction number from
    // the receipt, or 0 when it shows none.
    int Sale(int n)
    {
        switch (n % 3) {
        case 0:
            AddProduct(0, "3", 3);
            AddProduct(1, "1", 4);
            break;
        case 1:
            AddProduct(2, "1", 2);
            AddProduct(0, "3", 4);
            SendMessageA(Control("RabA"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("10"));
            ClickFor("RabButton", 5);
            break;
        default:
            AddProduct(1, "1", 2);
            AddProduct(0, "2", 4);
            Caret(2);
            ClickFor("StornoButton", 6);
            break;
        }
        ClickFor("SumButton", 1);
        EXPECT_TRUE(Enabled("KassButton"));
        Kassieren();
        return ShownNumber();
    }
    int ShownNumber() const
    {
        for (const auto& line : Memo())
            if (line.rfind("Transaktionsnummer: ", 0) == 0) return std::stoi(line.substr(20));
        return 0;
    }
    // The journals after a signed receipt of 3 "Brot" at 1,99 (price 1) and 1 "Milch" at 0,99
    // (price 2): both items in the L journal, the card's request and response in the S journal.
    void ExpectBreadAndMilkJournals() const
    {
        const std::string l = tillora.Journal('L'), s = tillora.Journal('S');
        EXPECT_NE(l.find("<item><qnt>3</qnt><unit>stk#</unit><name>Brot</name><price1>597</price1></item>"),
                  std::string::npos)
            << l;
        EXPECT_NE(l.find("<name>Milch</name><price2>99</price2>"), std::string::npos) << l;
        EXPECT_NE(s.find("<transactionRequest>"), std::string::npos) << s;
        EXPECT_NE(s.find("<transactionResponse>"), std::string::npos) << s;
    }
    // Answers the program's file dialog (opened by a menu item) with a file name.
    void ChooseFile(const std::string& name)
    {
        ASSERT_TRUE(tillora.ChooseFile(name)) << name;
        SendMessageA(kasse, WM_NULL, 0, 0);
    }
    void Exit()
    {
        ASSERT_TRUE(ClickMenuItem(main, "Beenden1"));
        ASSERT_TRUE(tillora.WaitForExit());
        main = nullptr;
    }

    // The start settings the program is given (a test may change them before it starts).
    std::string startIni = "[Windows]\r\nCard=0\r\nFunc=0\r\n\r\n[Card]\r\nVersionen=v2.;\r\n";
    const int port = SimCard::FreePort();
    SimCard card{port};
    TilloraProgram tillora;
    HWND main = nullptr, kasse = nullptr, memo = nullptr;
};
