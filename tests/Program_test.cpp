// The register program Tillora.exe from start to end, under Wine with the simulated card in the
// virtual reader, driven from this process through window messages as a user would drive it:
// the windows come up in order, the card start check talks to the card, the transport PIN is
// asked for, the card error window ends the program in order, and start.ini, the journals and
// the exit code are read after the end.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "tests/support/ControlText.h"
#include "tests/support/SimCard.h"
#include "tests/support/TilloraProgram.h"

namespace {

// The entries of an INI file in file order, each "section/key=value".
std::vector<std::string> IniEntries(const std::string& text)
{
    std::vector<std::string> entries;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') section = line.substr(1, line.find(']') - 1);
        else entries.push_back(section + "/" + line);
    }
    return entries;
}

// Whether the commands hold the expected ones in this order (others may lie between); an
// expected entry ending in "..." matches a command that begins with the rest.
bool InOrder(const std::vector<std::string>& commands, const std::vector<std::string>& expected)
{
    size_t at = 0;
    for (const std::string& c : commands) {
        if (at == expected.size()) break;
        const std::string& e = expected[at];
        const bool prefix = e.size() > 3 && e.compare(e.size() - 3, 3, "...") == 0;
        if (prefix ? c.rfind(e.substr(0, e.size() - 3), 0) == 0 : c == e) ++at;
    }
    return at == expected.size();
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

int CommandCount(const std::vector<std::string>& commands, const std::string& start)
{
    return static_cast<int>(
        std::count_if(commands.begin(), commands.end(), [&](const std::string& c) { return c.rfind(start, 0) == 0; }));
}

class Program : public ::testing::Test {
protected:
    void SetUp() override { SimCard::UseReaders({{"Sim Reader", port}}); }

    // A text of the program's language file.
    std::string LangText(const char* section, const char* key) const
    {
        char buf[512] = "";
        GetPrivateProfileStringA(section, key, "", buf, sizeof buf, tillora.Path("cfg\\lang.ini").c_str());
        return buf;
    }
    static std::string Text(HWND form, const char* control) { return ControlText(form, control); }
    // Every journal file ends with its root element.
    void ExpectJournalsClosed() const
    {
        const auto files = tillora.Files("Journal");
        ASSERT_EQ(files.size(), 2u) << Joined(files);
        for (const auto& f : files) {
            const std::string text = tillora.ReadFile("Journal\\" + f);
            ASSERT_GE(text.size(), 9u) << f;
            EXPECT_EQ(text.substr(text.size() - 9), "</vantra>") << f;
        }
    }

    const int port = SimCard::FreePort();
    TilloraProgram tillora;
};

} // namespace

TEST_F(Program, ActiveCardBringsUpTheWindowsAndTheSettingsAreStoredAtExit)
{
    tillora.WriteFile("cfg\\start.ini",
                      "[Windows]\r\nCard=0\r\nFunc=1\r\n\r\n[Menue]\r\nDebug=1\r\n\r\n[Card]\r\nVersionen=v2.;\r\n");
    // Beside the shipped skins: a folder without "Options.dat", a name not ending exactly in
    // ".vtz", and a damaged container (a negative entry count).
    tillora.MakeFolder("Skins\\Empty");
    tillora.WriteFile("Skins\\Red.VTZ", "VTzf");
    tillora.WriteFile("Skins\\Kaputt.vtz", std::string("VTzf\xFF\xFF\xFF\xFF", 8));
    SimCard card(port, "--fresh active");
    ASSERT_TRUE(card.Insert());
    ASSERT_TRUE(tillora.Start());

    // The splash with its gauge climbing by 20, then the main window.
    HWND splash = tillora.WaitForForm("TInitForm");
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(Text(splash, "Label1"), "Initialisierung");
    const auto gauge = [splash] { return ControlText(splash, "InitBar"); };
    std::vector<std::string> seen;
    HWND main = nullptr;
    TilloraProgram::WaitFor([&] {
        const std::string t = gauge();
        if (seen.empty() || seen.back() != t) seen.push_back(t);
        return (main = tillora.Window("TMainF", true)) != nullptr;
    });
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(tillora.UnderTestSkin(main)) << TilloraProgram::TestSkin();
    const std::vector<std::string> steps = {"20%", "40%", "60%", "80%", "100%"};
    for (size_t i = 1; i < seen.size(); ++i) {
        auto a = std::find(steps.begin(), steps.end(), seen[i - 1]), b = std::find(steps.begin(), steps.end(), seen[i]);
        EXPECT_TRUE(a != steps.end() && b != steps.end() && a < b) << Joined(seen);
    }
    EXPECT_EQ(gauge(), "100%");
    EXPECT_FALSE(IsWindowVisible(splash));
    EXPECT_EQ(WindowText(main), "VANTRA Tillora QSM 1.1_" TILLORA_FILE_VERSION);
    // (The windows come up one after the other; under a skin each show takes a while.)
    HWND kasse = tillora.WaitForForm("TKassTip");
    ASSERT_NE(kasse, nullptr);
    EXPECT_EQ(WindowText(kasse), "Kasse");
    EXPECT_NE(tillora.WaitForForm("TFunkMonForm"), nullptr); // [Windows] Func=1

    // The card start: version probe and application selection, then, after the insertion
    // message, the status and the certificate.
    const auto commands = card.Commands();
    EXPECT_TRUE(InOrder(commands, {"00 CA 01 88 00", "00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 10 00", "00 CA 01 F1 00",
                                   "00 A4 00 0C 02 11 10", "00 B0 ..."}))
        << Joined(commands);

    // The clock: both windows show today's date; the panel shown by "Zeit" sets the window's
    // height; "stellen" enables the pickers.
    SYSTEMTIME now;
    GetLocalTime(&now);
    char today[16];
    std::snprintf(today, sizeof today, "%02u.%02u.%04u", now.wDay, now.wMonth, now.wYear);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Text(kasse, "DateLabel") == today; })) << Text(kasse, "DateLabel");
    EXPECT_EQ(Text(main, "DateLabel"), today);
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.bottom - r.top, 80 + 50); // ZeitBox.Top + 50
    EXPECT_FALSE(IsWindowVisible(FindControlWindow(main, "ZeitBox")));
    TilloraProgram::Click(FindControlWindow(main, "ZeitCheckBox"));
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowVisible(FindControlWindow(main, "ZeitBox")) != FALSE; }));
    // (The panel is shown before the window grows.)
    EXPECT_TRUE(TilloraProgram::WaitFor([&] {
        GetWindowRect(main, &r);
        return r.bottom - r.top == 80 + 170 + 60; // ZeitBox.Top + ZeitBox.Height + 60
    })) << r.bottom - r.top;
    EXPECT_FALSE(IsWindowEnabled(FindControlWindow(main, "TimePicker")));
    TilloraProgram::Click(FindControlWindow(main, "SetButton"));
    EXPECT_TRUE(
        TilloraProgram::WaitFor([&] { return IsWindowEnabled(FindControlWindow(main, "TimePicker")) != FALSE; }));
    EXPECT_TRUE(IsWindowEnabled(FindControlWindow(main, "DatePicker")));

    // The menus: "Test" with [Menue] Debug=1, "Francais" since the German section names it.
    EXPECT_TRUE(QueryMenuItem(main, "Test1").visible);
    EXPECT_TRUE(QueryMenuItem(main, "Francais1").visible);
    EXPECT_FALSE(QueryMenuItem(main, "QSMchange").visible);

    // English: every tagged caption, not the main window's.
    ASSERT_TRUE(ClickMenuItem(main, "English1"));
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Text(main, "KassBox") == LangText("English", "20cap"); }))
        << Text(main, "KassBox");
    EXPECT_EQ(Text(main, "Label1"), LangText("English", "24cap"));
    EXPECT_EQ(WindowText(kasse), LangText("English", "20cap"));
    EXPECT_EQ(Text(kasse, "USS1"), "1900"); // no 200cap: the rates stay
    EXPECT_EQ(WindowText(main), "VANTRA Tillora QSM 1.1_" TILLORA_FILE_VERSION);
    ASSERT_TRUE(ClickMenuItem(main, "Polnisch1"));
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Text(main, "KassBox") == LangText("Polish", "20cap"); }));

    // The VAT dialog, with no receipt open: the rates editable, taken over with "Ok".
    ASSERT_TRUE(ClickMenuItem(kasse, "Editiere1"));
    HWND vat = tillora.WaitForForm("TFormUStS");
    ASSERT_NE(vat, nullptr);
    EXPECT_EQ(Text(vat, "USS1"), "1900");
    EXPECT_EQ(Text(vat, "USS5"), "1070");
    EXPECT_TRUE(IsWindowEnabled(FindControlWindow(vat, "USS1")));
    EXPECT_TRUE(TilloraProgram::WaitForShown(FindControlWindow(vat, "OkButton")));
    EXPECT_FALSE(IsWindowVisible(FindControlWindow(vat, "StaticText")));
    SendMessageA(FindControlWindow(vat, "USS1"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("2000"));
    SendMessageA(FindControlWindow(vat, "USS6"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0100"));
    TilloraProgram::Click(FindControlWindow(vat, "OkButton"));
    EXPECT_TRUE(TilloraProgram::WaitForHidden(vat));
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Text(kasse, "USS6") == "0100"; }));

    // The skin dialog: the internal skin, folders with Options.dat and files ending in ".vtz",
    // sorted.
    ASSERT_TRUE(ClickMenuItem(main, "Skins1"));
    HWND skins = tillora.WaitForForm("TSkinSel");
    ASSERT_NE(skins, nullptr);
    HWND combo = FindControlWindow(skins, "SkinComboBox");
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return SendMessageA(combo, CB_GETCOUNT, 0, 0) == 4; }));
    // (Wine hands list texts to another process only as wide characters.)
    std::vector<std::wstring> listed;
    for (int i = 0; i < 4; ++i) {
        wchar_t name[64] = L"";
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        listed.push_back(name);
    }
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"Kaputt", L"Nordlicht", L"Sandstein", L"Tillora (internal)"}));
    HWND use = FindControlWindow(skins, "SkinCheckBox");
    // [View] skin enabled defaults to 0; the skinned run starts with it on.
    const bool skinned = !TilloraProgram::TestSkin().empty();
    EXPECT_EQ(SendMessageA(use, BM_GETCHECK, 0, 0), skinned ? BST_CHECKED : BST_UNCHECKED);
    if (!skinned) TilloraProgram::Click(use);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return IsWindowEnabled(combo) != FALSE; }));
    auto choose = [&](int index) {
        SendMessageA(combo, CB_SETCURSEL, index, 0);
        PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    };
    // The damaged container: its message, and the program goes on with the skin it had.
    choose(0);
    HWND box = tillora.WaitForForm("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TilloraProgram::MessageText(box), "Damaged skin container: entry count -1");
    TilloraProgram::PressButton(box, "OK");
    EXPECT_TRUE(TilloraProgram::WaitForHidden(box));
    choose(1);
    choose(2);
    TilloraProgram::Click(FindControlWindow(skins, "sButton1"));
    EXPECT_TRUE(TilloraProgram::WaitForHidden(skins));

    // "Beenden": start.ini written back, the program ends by itself.
    ASSERT_TRUE(ClickMenuItem(main, "Beenden1"));
    ASSERT_TRUE(tillora.WaitForExit());
    EXPECT_EQ(tillora.ExitCode(), 0u);
    // (The skinned run's start.ini had its [View] after [Card] from the start.)
    std::vector<std::string> stored = {"Windows/Card=0",       "Windows/Func=1",      "Windows/Cash=1",
                                       "Windows/Time=1",       "Menue/Debug=1",       "Card/Versionen=v2.;",
                                       "Languages/act=Polish", "CFG/operator=ich",    "CFG/operator2=ein anderer",
                                       "Tax/container1=2000",  "Tax/container2=0700", "Tax/container3=1900",
                                       "Tax/container4=0000",  "Tax/container5=1070", "Tax/container6=0100",
                                       "TaxMode/ExklSteuer=0"};
    stored.insert(skinned ? stored.begin() + 6 : stored.end(), {"View/skin enabled=1", "View/skin name=Sandstein"});
    EXPECT_EQ(Joined(IniEntries(tillora.ReadFile("cfg\\start.ini"))), Joined(stored));
}

TEST_F(Program, TransportPinIsAskedForUntilTheCardTakesItAndARemovedCardEndsTheProgram)
{
    tillora.WriteFile("cfg\\start.ini", "[Windows]\r\nFunc=0\r\n\r\n[Card]\r\nVersionen=v2.2;\r\n");
    SimCard card(port, "--pin 654321");
    ASSERT_TRUE(card.Insert());
    ASSERT_TRUE(tillora.Start());

    // The PIN dialog comes after the status and before the certificate.
    HWND pin = tillora.WaitForForm("TPINForm");
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(CommandCount(card.Commands(), "00 CA 01 F1 00"), 1);
    EXPECT_EQ(CommandCount(card.Commands(), "00 A4 00 0C 02 11 10"), 0);

    // Five digits: the sixth place is sent as a blank; the card refuses, the box says so and
    // the dialog stays.
    HWND edit = FindControlWindow(pin, "PINEdit");
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("12345"));
    TilloraProgram::Click(FindControlWindow(pin, "PINButton"));
    HWND box = tillora.WaitForForm("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TilloraProgram::MessageText(box), LangText("Deutsch", "70txt"));
    EXPECT_EQ(WindowText(box), LangText("Deutsch", "71txt"));
    auto commands = card.Commands();
    ASSERT_EQ(CommandCount(commands, "80 42 04 00"), 1) << Joined(commands);
    const std::string first = *std::find_if(commands.begin(), commands.end(),
                                            [](const std::string& c) { return c.rfind("80 42 04 00", 0) == 0; });
    EXPECT_EQ(first.substr(first.size() - 26), "C3 06 31 32 33 34 35 20 00");
    ASSERT_TRUE(TilloraProgram::PressButton(box, "OK"));
    EXPECT_TRUE(TilloraProgram::WaitForHidden(box));
    EXPECT_TRUE(TilloraProgram::WaitForShown(pin));
    EXPECT_EQ(tillora.Window("TMainF", true), nullptr);

    // The right PIN: the dialog closes, the certificate is read, the program comes up.
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("654321"));
    TilloraProgram::Click(FindControlWindow(pin, "PINButton"));
    HWND main = tillora.WaitForForm("TMainF");
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(pin));
    commands = card.Commands();
    EXPECT_TRUE(InOrder(commands, {"80 42 04 00 ...", "80 42 04 00 ...", "00 A4 00 0C 02 11 10", "00 B0 ..."}))
        << Joined(commands);
    EXPECT_EQ(tillora.Window("TFunkMonForm", true), nullptr); // [Windows] Func=0
    EXPECT_FALSE(QueryMenuItem(main, "Test1").visible);       // no [Menue] Debug

    // The card goes: the card error window, whose closing ends the program in order.
    card.Remove();
    HWND error = tillora.WaitForForm("TCardErrForm");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(WindowText(error), "Card Error");
    EXPECT_EQ(Text(error, "ErrTypeLabel"), LangText("Deutsch", "130cap"));
    EXPECT_EQ(Text(error, "Label2"), LangText("Deutsch", "131cap"));
    EXPECT_EQ(Text(error, "Label3"), LangText("Deutsch", "132cap"));
    // Closed by its title bar: the same orderly end, exit code 1.
    PostMessageA(error, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tillora.WaitForExit());
    EXPECT_EQ(tillora.ExitCode(), 1u);
    ExpectJournalsClosed();
    const auto ini = IniEntries(tillora.ReadFile("cfg\\start.ini"));
    EXPECT_NE(std::find(ini.begin(), ini.end(), "Languages/act=Deutsch"), ini.end()) << Joined(ini);
    EXPECT_NE(std::find(ini.begin(), ini.end(), "Windows/Cash=1"), ini.end()) << Joined(ini);
}

TEST_F(Program, CardVersionNotInTheListShowsItsErrorAndItsCloseButtonEndsInOrder)
{
    tillora.WriteFile("cfg\\start.ini", "[Card]\r\nVersionen=v2.3;\r\n");
    SimCard card(port, "--fresh active"); // version 2.2
    ASSERT_TRUE(card.Insert());
    ASSERT_TRUE(tillora.Start());
    HWND error = tillora.WaitForForm("TCardErrForm");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(Text(error, "ErrTypeLabel"), LangText("Deutsch", "140cap")) << Joined(card.LogLines());
    EXPECT_EQ(tillora.Window("TMainF", true), nullptr);
    TilloraProgram::Click(FindControlWindow(error, "Button1"));
    ASSERT_TRUE(tillora.WaitForExit());
    EXPECT_EQ(tillora.ExitCode(), 0u);
    const auto ini = IniEntries(tillora.ReadFile("cfg\\start.ini"));
    EXPECT_NE(std::find(ini.begin(), ini.end(), "Windows/Func=0"), ini.end()) << Joined(ini);
    EXPECT_NE(std::find(ini.begin(), ini.end(), "Card/Versionen=v2.3;"), ini.end()) << Joined(ini);
}

TEST_F(Program, AnUnknownSkinNameEndsAsTheInternalSkin)
{
    tillora.WriteFile("cfg\\start.ini",
                      "[Card]\r\nVersionen=v2.3;\r\n\r\n[View]\r\nskin enabled=1\r\nskin name=Unbekannt\r\n");
    SimCard card(port, "--fresh active"); // version 2.2: the card error window ends the program
    ASSERT_TRUE(card.Insert());
    ASSERT_TRUE(tillora.Start());
    HWND error = tillora.WaitForForm("TCardErrForm");
    ASSERT_NE(error, nullptr);
    TilloraProgram::Click(FindControlWindow(error, "Button1"));
    ASSERT_TRUE(tillora.WaitForExit());
    EXPECT_EQ(tillora.ExitCode(), 0u);
    const auto ini = IniEntries(tillora.ReadFile("cfg\\start.ini"));
    EXPECT_NE(std::find(ini.begin(), ini.end(), "View/skin enabled=1"), ini.end()) << Joined(ini);
    EXPECT_NE(std::find(ini.begin(), ini.end(), "View/skin name=Tillora (internal)"), ini.end()) << Joined(ini);
}

TEST_F(Program, NoCardWithinTenSecondsWithoutLanguageAndStartFiles)
{
    tillora.Remove("cfg\\lang.ini");
    ASSERT_TRUE(tillora.Start());
    HWND error = tillora.WaitForForm("TCardErrForm", 60000);
    ASSERT_NE(error, nullptr);
    // No language file: the tagged captions are empty, the others stay.
    EXPECT_EQ(Text(error, "ErrTypeLabel"), "");
    EXPECT_EQ(Text(error, "Label2"), "");
    EXPECT_EQ(Text(error, "Button1"), "Close");
    TilloraProgram::Click(FindControlWindow(error, "Button1"));
    ASSERT_TRUE(tillora.WaitForExit());
    EXPECT_EQ(tillora.ExitCode(), 0u);
    // start.ini made at the end, with every default, in the order of writing.
    EXPECT_EQ(Joined(IniEntries(tillora.ReadFile("cfg\\start.ini"))),
              Joined({"Languages/act=Deutsch", "CFG/operator=ich", "CFG/operator2=ein anderer", "Tax/container1=1900",
                      "Tax/container2=0700", "Tax/container3=1900", "Tax/container4=0000", "Tax/container5=1070",
                      "Tax/container6=0550", "TaxMode/ExklSteuer=0", "Windows/Cash=1", "Windows/Card=0",
                      "Windows/Func=0", "Windows/Time=0", "View/skin enabled=0", "View/skin name=Tillora (internal)"}));
}

TEST_F(Program, MissingProductListStopsTheStartWithTheFileError)
{
    tillora.Remove("Produkte\\Standard.xml");
    ASSERT_TRUE(tillora.Start());
    HWND box = tillora.WaitForForm("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TilloraProgram::MessageText(box),
              "Datei \"" + tillora.Folder() + "Produkte\\Standard.xml\" kann nicht geöffnet werden");
    EXPECT_EQ(tillora.Window("TInitForm", false), nullptr);
    ASSERT_TRUE(TilloraProgram::PressButton(box, "OK"));
    ASSERT_TRUE(tillora.WaitForExit());
    EXPECT_EQ(tillora.ExitCode(), 1u);
}
