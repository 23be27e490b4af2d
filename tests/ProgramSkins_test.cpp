// The running register with its skins on: the register window's operator-name edits show
// the "EDIT" section's colour and font colour of each shipped skin on the screen (pixels
// sampled from the display), and the plain colours again when skins are switched off.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "gui/Automation.h"
#include "skin/engine/tools/ProgramSkins.h"
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

TEST(ProgramSkins, OperatorNameEditsShowEachSkinsEditColoursAndThePlainOnesWithoutSkins)
{
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Sim Reader", port}});
    SimCard card(port, "--fresh active");
    TilloraProgram tillora;
    tillora.WriteFile("cfg\\start.ini", "[Windows]\r\nCard=0\r\nFunc=0\r\nCash=1\r\n\r\n[Card]\r\nVersionen=v2.2;\r\n");
    ASSERT_TRUE(card.Insert());
    ASSERT_TRUE(tillora.Start());
    HWND main = tillora.WaitForForm("TMainF");
    ASSERT_NE(main, nullptr);
    HWND kasse = tillora.WaitForForm("TKassTip");
    ASSERT_NE(kasse, nullptr);
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
