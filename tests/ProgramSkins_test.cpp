// The running register with its skins on: the register window's operator-name edits show
// the "EDIT" section's colour and font colour of each shipped skin on the screen (pixels
// sampled from the display), and the plain colours again when skins are switched off; a
// skinned panel and the main window's skin provider answer the skin command message from this
// process as they do inside the program, and refuse the commands that would carry a pointer of
// the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "gui/Automation.h"
#include "skin/engine/tools/ProgramSkins.h"
#include "tests/support/ControlText.h"
#include "tests/support/SimCard.h"
#include "tests/support/SkinDialog.h"
#include "tests/support/TilloraProgram.h"

using namespace programskins;

namespace {

COLORREF AsColorRef(uint32_t rgb) { return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }

// The colours of the edit's window as the screen shows it (its client area inside the frame).
std::set<COLORREF> ScreenColours(HWND edit)
{
    RECT r;
    GetClientRect(edit, &r);
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::set<COLORREF> colours;
    HDC screen = GetDC(nullptr);
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x)
            colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return colours;
}

// The screen shows the edit with this background and this text colour (and nothing else of
// the other pair).
bool Shows(HWND edit, COLORREF background, COLORREF text)
{
    return TilloraProgram::WaitFor(
        [&] {
            const auto c = ScreenColours(edit);
            return c.count(background) && c.count(text);
        },
        5000);
}

std::string Hex(const std::set<COLORREF>& colours)
{
    std::string s;
    char buf[16];
    for (COLORREF c : colours) {
        std::snprintf(buf, sizeof buf, "%06lX ", static_cast<unsigned long>(c));
        s += buf;
    }
    return s;
}

} // namespace

// The register started with a card inserted, at its main window and the register window.
class ProgramSkins : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimCard::UseReaders({{"Sim Reader", port}});
        tillora.WriteFile("cfg\\start.ini",
                          "[Windows]\r\nCard=0\r\nFunc=0\r\nCash=1\r\n\r\n[Card]\r\nVersionen=v2.2;\r\n");
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(tillora.Start());
        main = tillora.WaitForForm("TMainF");
        ASSERT_NE(main, nullptr);
        kasse = tillora.WaitForForm("TKassTip");
        ASSERT_NE(kasse, nullptr);
    }
    const int port = SimCard::FreePort();
    SimCard card{port, "--fresh active"};
    TilloraProgram tillora;
    HWND main = nullptr, kasse = nullptr;
};

TEST_F(ProgramSkins, OperatorNameEditsShowEachSkinsEditColoursAndThePlainOnesWithoutSkins)
{
    HWND names[] = {FindControlWindow(kasse, "BedName1"), FindControlWindow(kasse, "BedName2")};
    for (HWND edit : names) {
        ASSERT_NE(edit, nullptr);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("WWWWWW"));
    }

    TSkinDialog skins(tillora, main);
    ASSERT_TRUE(skins.Open());
    // Out of the register window's way, which comes to the top.
    SetWindowPos(skins.Window(), nullptr, 1000, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(main, nullptr, 900, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(kasse, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(skins.SwitchOn());

    for (const TPalette& p : Palettes) {
        const std::string listed = std::string(p.Name) + (p.Kind == kInternal ? InternalSuffix : "");
        const int index = skins.IndexOf(std::wstring(listed.begin(), listed.end()));
        ASSERT_GE(index, 0) << listed;
        skins.Choose(index);
        for (HWND edit : names)
            EXPECT_TRUE(Shows(edit, AsColorRef(p.Colors[rWindow]), AsColorRef(p.Colors[rText])))
                << listed << ": " << Hex(ScreenColours(edit));
    }

    ASSERT_TRUE(skins.Switch(false));
    for (HWND edit : names) {
        EXPECT_TRUE(Shows(edit, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT))) << Hex(ScreenColours(edit));
        EXPECT_EQ(ScreenColours(edit).count(AsColorRef(Palettes[0].Colors[rText])), 0u);
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(tillora.WaitForExit());
}

TEST_F(ProgramSkins, ASkinnedPanelAnswersQuestionsFromOutsideAndRefusesPointerCommands)
{
    HWND panel = FindControlWindow(kasse, "ContainerPanel");
    HWND price = FindControlWindow(kasse, "Pr1");
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(price, nullptr);
    TSkinDialog skins(tillora, main);
    ASSERT_TRUE(skins.Open());
    ASSERT_TRUE(skins.SwitchOn());
    const TPalette& p = Palettes[0];
    const std::string listed = std::string(p.Name) + (p.Kind == kInternal ? InternalSuffix : "");
    const int index = skins.IndexOf(std::wstring(listed.begin(), listed.end()));
    ASSERT_GE(index, 0) << listed;
    skins.Choose(index);

    constexpr UINT skinCommand = 0xA100;
    const auto ask = [&](WORD command, LPARAM lParam) {
        return SendMessageA(panel, skinCommand, static_cast<WPARAM>(command) << 16, lParam);
    };
    // The main window's skin provider answers as well: 4 itself, 7 skinned, 19 the FORM section
    // has no gradient, 21 its colour, 95 where the client area starts in the window.
    const auto askMain = [&](WORD command) {
        return SendMessageA(main, skinCommand, static_cast<WPARAM>(command) << 16, 0);
    };
    EXPECT_NE(askMain(4), 0);
    EXPECT_EQ(askMain(7), 1);
    EXPECT_EQ(askMain(19), 0);
    EXPECT_EQ(static_cast<COLORREF>(askMain(21)), AsColorRef(p.Colors[rFace]));
    RECT frame;
    GetWindowRect(main, &frame);
    POINT client{0, 0};
    ClientToScreen(main, &client);
    EXPECT_EQ(askMain(95), MAKELONG(client.x - frame.left, client.y - frame.top));
    // 7: skinned; 19: the PANEL section has a gradient; 21: the section's colour.
    EXPECT_EQ(ask(7, 0), 1);
    EXPECT_EQ(ask(19, 0), 1);
    EXPECT_EQ(static_cast<COLORREF>(ask(21, 0xFF00FF)), AsColorRef(p.Colors[rFace]));
    // 34, 26 and 25 with a "pointer" of 1: answered 0, sent; dropped, posted.
    EXPECT_EQ(ask(34, 1), 0);
    EXPECT_EQ(ask(26, 1), 0);
    EXPECT_EQ(ask(25, 1), 0);
    for (WORD command : {34, 26, 25})
        PostMessageA(panel, skinCommand, static_cast<WPARAM>(command) << 16, 1);
    PostMessageA(panel, 45100, 1, 1); // CM_CONTROLLISTCHANGE with a "control" of 1
    // A key posted after them arrives: the program went through them and keeps running.
    PostMessageA(price, WM_CHAR, '5', 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] {
        char text[32] = "";
        SendMessageA(price, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return std::string(text).find('5') != std::string::npos;
    }));
    EXPECT_EQ(ask(7, 0), 1);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(tillora.WaitForExit());
    EXPECT_EQ(tillora.ExitCode(), 0u);
}

TEST_F(ProgramSkins, TheSkinComboComesBackWithANewWindowAndTheLastChoiceReachesStartIni)
{
    TSkinDialog skins(tillora, main);
    ASSERT_TRUE(skins.Open());
    ASSERT_TRUE(skins.SwitchOn());
    const HWND first = skins.Combo();
    const int count = static_cast<int>(SendMessageA(first, CB_GETCOUNT, 0, 0));
    ASSERT_GE(count, 2);
    for (int i = 0; i < count; ++i)
        skins.Choose(i);
    // Without a skin the combo is made anew, its entries kept; a choice works on the new window.
    ASSERT_TRUE(skins.Switch(false));
    EXPECT_FALSE(IsWindow(first));
    ASSERT_NE(skins.Combo(), nullptr);
    EXPECT_EQ(SendMessageA(skins.Combo(), CB_GETCOUNT, 0, 0), count);
    ASSERT_TRUE(skins.SwitchOn());
    const std::string last = std::string(Palettes[0].Name) + (Palettes[0].Kind == kInternal ? InternalSuffix : "");
    const int index = skins.IndexOf(std::wstring(last.begin(), last.end()));
    ASSERT_GE(index, 0);
    skins.Choose(index);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tillora.WaitForExit());
    EXPECT_NE(tillora.ReadFile("cfg\\start.ini").find("skin name=" + last), std::string::npos);
}

TEST_F(ProgramSkins, TheSkinnedMenuLineOpensItsMenusAndItsItemsAreStillClickedByName)
{
    TSkinDialog skins(tillora, main);
    ASSERT_TRUE(skins.Open());
    ASSERT_TRUE(skins.SwitchOn());
    const std::string listed = std::string(Palettes[0].Name) + (Palettes[0].Kind == kInternal ? InternalSuffix : "");
    const int index = skins.IndexOf(std::wstring(listed.begin(), listed.end()));
    ASSERT_GE(index, 0);
    skins.Choose(index);

    // A click into the line's first item opens its menu, a popup window of the program.
    POINT client{0, 0};
    ClientToScreen(main, &client);
    const POINT first{client.x + 8, client.y - GetSystemMetrics(SM_CYMENU) / 2};
    EXPECT_EQ(SendMessageA(main, WM_NCHITTEST, 0, MAKELPARAM(first.x, first.y)), HTMENU);
    PostMessageA(main, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(first.x, first.y));
    HWND popup = nullptr;
    ASSERT_TRUE(TilloraProgram::WaitFor([&] {
        popup = FindWindowA("#32768", nullptr);
        return popup && IsWindowVisible(popup);
    }));
    DWORD owner = 0;
    GetWindowThreadProcessId(popup, &owner);
    EXPECT_EQ(owner, tillora.Pid());
    PostMessageA(popup, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }));

    // The owner-drawn items are found and clicked by name as before.
    const std::string before = ControlText(main, "KassBox");
    EXPECT_TRUE(QueryMenuItem(main, "English1").visible);
    ASSERT_TRUE(ClickMenuItem(main, "English1"));
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return ControlText(main, "KassBox") != before; })) << before;
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(tillora.WaitForExit());
}
