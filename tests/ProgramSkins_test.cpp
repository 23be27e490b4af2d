// The running register with its skins on: the register window's operator-name edits show
// the "EDIT" section's colour and font colour of each shipped skin on the screen (pixels
// sampled from the display), and the plain colours again when skins are switched off; a
// skinned panel and the main window's skin provider answer the skin command message from this
// process as they do inside the program, and refuse the commands that would carry a pointer of
// the program.
// The roads of a skin through the whole program, seen from this process: skins off with the
// shipped start.ini, a skin chosen in the skin dialog and taken by every form as it is
// activated (provider, region, window menu, owner-drawn buttons, the skin's colours on the
// screen, a skinned message box and popup menu), the skin let go again, the program's windows
// as many after its dialogs were opened and closed under a skin, and a sale with the skin on.
// Pictures of the screen at the skins chosen and at the skinned receipt are kept beside the
// test results for a person to look at (nothing compares them).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "gui/Automation.h"
#include "skin/engine/tools/ProgramSkins.h"
#include "tests/support/ControlText.h"
#include "tests/support/RegisterWindowTest.h"
#include "tests/support/SimCard.h"
#include "tests/support/SkinDialog.h"
#include "tests/support/TextLines.h"
#include "tests/support/TilloraProgram.h"
#include "tests/support/UnixShell.h"

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

constexpr UINT kSkinCommand = 0xA100;

// A window's answer to a skin command (0 also when it does not answer in time).
LRESULT Ask(HWND w, WORD command)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, kSkinCommand, static_cast<WPARAM>(command) << 16, 0, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::string ClassOf(HWND w)
{
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    return name;
}

// How a window is named in a failure: its class and component name.
std::string NameOf(HWND w) { return ClassOf(w) + " " + ComponentNameOf(w); }

bool HasRegion(HWND w)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(w, region) != ERROR;
    DeleteObject(region);
    return has;
}

bool HasSysMenu(HWND w) { return (GetWindowLongPtrA(w, GWL_STYLE) & WS_SYSMENU) != 0; }
bool OwnerDrawn(HWND button) { return (GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW; }

BOOL CALLBACK AddChildWindow(HWND w, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

// The process's top-level windows (visible or not) and all of their child windows.
std::vector<HWND> AllWindowsOf(DWORD pid)
{
    std::vector<HWND> all;
    for (HWND top : TilloraProgram::TopWindows(pid)) {
        all.push_back(top);
        EnumChildWindows(top, &AddChildWindow, reinterpret_cast<LPARAM>(&all));
    }
    return all;
}

// The windows of the process that are not in the list, each as its class and component name,
// its owner's, its extended style and size, and whether it is shown.
std::string NewWindows(DWORD pid, const std::vector<HWND>& known)
{
    std::string s;
    for (HWND w : AllWindowsOf(pid))
        if (std::find(known.begin(), known.end(), w) == known.end()) {
            RECT r{};
            GetWindowRect(w, &r);
            char extra[96];
            std::snprintf(extra, sizeof extra, ", style %08lX, %ld x %ld",
                          static_cast<unsigned long>(GetWindowLongPtrA(w, GWL_EXSTYLE)),
                          static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
            s += NameOf(w) + " (owner " + NameOf(GetWindow(w, GW_OWNER)) + extra +
                 (IsWindowVisible(w) ? ", shown) " : ") ");
        }
    return s;
}

// A picture of the whole screen for a person to look at, beside the test results:
// program_skins_screens\<suite>.<test>-<moment>.png. Nothing without ImageMagick's import.
void SaveScreen(std::string moment)
{
    for (char& c : moment)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string file = TilloraProgram::OutputFolder("program_skins_screens") + test->test_suite_name() + "." +
                             test->name() + "-" + moment + ".png";
    const std::string unixName = UnixShell::UnixName(file);
    if (!unixName.empty()) UnixShell::Run("import -window root " + UnixShell::Quoted(unixName), 10000);
}

COLORREF ScreenPixel(POINT p)
{
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// A point of the title band, left of the title buttons and right of the caption text.
POINT TitlePoint(HWND form)
{
    RECT r;
    GetWindowRect(form, &r);
    return {r.right - 100, r.top + 10};
}

// A point of the client area three pixels inside its bottom right corner (no control there).
POINT ClientCorner(HWND form)
{
    RECT r;
    GetClientRect(form, &r);
    POINT p{r.right - 3, r.bottom - 3};
    ClientToScreen(form, &p);
    return p;
}

// The screen shows the colour somewhere in the rectangle (text is found by one pixel of its
// colour: fonts are Wine's).
bool ShowsColourIn(const RECT& r, COLORREF colour)
{
    return TilloraProgram::WaitFor(
        [&] {
            HDC screen = GetDC(nullptr);
            bool found = false;
            for (int y = r.top; y < r.bottom && !found; ++y)
                for (int x = r.left; x < r.right && !found; ++x)
                    found = GetPixel(screen, x, y) == colour;
            ReleaseDC(nullptr, screen);
            return found;
        },
        5000);
}

bool ShowsColour(HWND w, COLORREF colour)
{
    RECT r;
    GetWindowRect(w, &r);
    return ShowsColourIn(r, colour);
}

// The middle of the window's left frame edge, one pixel in.
POINT FramePoint(HWND form)
{
    RECT r;
    GetWindowRect(form, &r);
    return {r.left + 1, (r.top + r.bottom) / 2};
}

// The middle of a control's left or right pixel column, `inset` columns in from its edge.
POINT EdgePoint(HWND control, bool right, int inset = 0)
{
    RECT r;
    GetWindowRect(control, &r);
    return {right ? r.right - 1 - inset : r.left + inset, (r.top + r.bottom) / 2};
}

// Points of a list's vertical scroll bar, right of its client area, with the list scrolled to
// its top: the thumb's first row (below the 16-pixel up arrow) and the track just above the
// down arrow.
POINT ScrollBarPoint(HWND list, bool track)
{
    POINT p{0, 0};
    ClientToScreen(list, &p);
    RECT r;
    GetClientRect(list, &r);
    return {p.x + r.right + 8, p.y + (track ? r.bottom - 20 : 16)};
}

// The colours of the sampled points: of the dialogs (frame, title band, client area) and of
// the register window's price panel (its left and right bevel), the quantity label's text and
// the product list's scroll bar (thumb and track).
struct TLook {
    COLORREF Frame, Title, Client, PanelLeft, PanelRight, Label, Thumb, Track;
};

// What a plain window shows there (the active dialog's title). The scroll bar is drawn by
// the system's theme: its colours are read from a plain list box of this process with the
// client size of the list, shown on top.
TLook PlainLook(HWND list)
{
    RECT client;
    GetClientRect(list, &client);
    HWND own = CreateWindowExA(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "LISTBOX", "", WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 1000,
        100, client.right + 2 + 17, client.bottom + 2, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < 40; ++i)
        SendMessageA(own, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Ware"));
    ShowWindow(own, SW_SHOWNA);
    UpdateWindow(own);
    const COLORREF thumb = ScreenPixel(ScrollBarPoint(own, false)), track = ScreenPixel(ScrollBarPoint(own, true));
    DestroyWindow(own);
    const auto c = [](int index) { return GetSysColor(index); };
    return {c(COLOR_BTNHIGHLIGHT),
            c(COLOR_ACTIVECAPTION),
            c(COLOR_BTNFACE),
            c(COLOR_BTNSHADOW),
            c(COLOR_BTNHIGHLIGHT),
            c(COLOR_BTNTEXT),
            thumb,
            track};
}

// What the skin's own tables make of these points (the panel shows the PANEL section's raised
// border image whatever its bevel).
TLook SkinLook(const TPalette& p)
{
    const auto c = [&](TRole r) { return AsColorRef(p.Colors[r]); };
    return {c(rFace), c(rTitle), c(rFace), c(rLight), c(rShadow), c(rText), c(rDark), c(rWindow)};
}

std::string HexColour(COLORREF c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(c));
    return buf;
}

// The screen point shows the colour (waited for: painting follows the switch); a failure says
// what it showed.
::testing::AssertionResult ShowsAt(POINT p, COLORREF colour)
{
    if (TilloraProgram::WaitFor([&] { return ScreenPixel(p) == colour; }, 5000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the screen shows " << HexColour(ScreenPixel(p)) << ", not "
                                         << HexColour(colour);
}

} // namespace

// The register started with a card inserted, at its main window and the register window.
class ProgramSkins : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimCard::UseReaders({{"Sim Reader", port}});
        WriteStartIni();
        std::string products = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>";
        for (int i = 1; i <= 40; ++i) // more than the product list shows: it has a scroll bar
            products += "<item><name>Ware " + std::to_string(i) + "</name><price1>100</price1></item>";
        tillora.WriteFile("Produkte\\Standard.xml", products + "</itemList></vantra>");
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(tillora.Start());
        main = tillora.WaitForForm("TMainF");
        ASSERT_NE(main, nullptr);
        kasse = tillora.WaitForForm("TKassTip");
        ASSERT_NE(kasse, nullptr);
    }
    virtual void WriteStartIni()
    {
        tillora.WriteFile("cfg\\start.ini", "[Windows]\r\nCard=0\r\nFunc=0\r\nCash=1\r\n\r\n[Card]\r\nVersionen=v2.2;"
                                            "\r\n\r\n[Menue]\r\nDebug=1\r\n");
    }
    // Opens the mass-transaction dialog and starts it with a count that is no number: the
    // program's message box, or none.
    HWND OpenMessageBox()
    {
        if (!ClickMenuItem(main, "MassTransact1")) return nullptr;
        mass = tillora.WaitForForm("TMassTransForm");
        if (!mass) return nullptr;
        SendMessageA(FindControlWindow(mass, "kTrEdit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
        TilloraProgram::Click(FindControlWindow(mass, "maStart"));
        return tillora.WaitForForm("#32770");
    }
    void CloseMessageBox(HWND box)
    {
        EXPECT_EQ(TilloraProgram::MessageText(box),
                  "\"Anzahl der Transaktionen\": bitte eine ganze Zahl ab 1 eingeben.");
        ASSERT_TRUE(TilloraProgram::PressButton(box, "OK"));
        EXPECT_TRUE(TilloraProgram::WaitForHidden(box));
    }
    // Opens the main window's first menu from its menu line: the popup window, or none.
    HWND OpenPopupMenu()
    {
        POINT client{0, 0};
        ClientToScreen(main, &client);
        const POINT first{client.x + 8, client.y - GetSystemMetrics(SM_CYMENU) / 2};
        PostMessageA(main, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(first.x, first.y));
        HWND popup = nullptr;
        TilloraProgram::WaitFor([&] {
            popup = FindWindowA("#32768", nullptr);
            return popup && IsWindowVisible(popup);
        });
        return popup && IsWindowVisible(popup) ? popup : nullptr;
    }
    static void ClosePopupMenu(HWND popup)
    {
        PostMessageA(popup, WM_CANCELMODE, 0, 0);
        EXPECT_TRUE(TilloraProgram::WaitForHidden(popup));
    }
    // The skin dialog opened, skins ticked and the palette's skin chosen.
    void ChooseSkin(TSkinDialog& skins, const TPalette& p)
    {
        ASSERT_TRUE(skins.Open());
        ASSERT_TRUE(skins.SwitchOn());
        ASSERT_NO_FATAL_FAILURE(ChooseListed(skins, p));
    }
    // The palette's skin chosen in the open dialog.
    static void ChooseListed(TSkinDialog& skins, const TPalette& p)
    {
        const std::string listed = std::string(p.Name) + (p.Kind == kInternal ? InternalSuffix : "");
        const int index = skins.IndexOf(std::wstring(listed.begin(), listed.end()));
        ASSERT_GE(index, 0) << listed;
        skins.Choose(index);
    }
    // The VAT dialog opened from the register window's menu, or none.
    HWND OpenVatDialog() { return ClickMenuItem(kasse, "Editiere1") ? tillora.WaitForForm("TFormUStS") : nullptr; }
    static void CloseVatDialog(HWND vat)
    {
        TilloraProgram::Click(FindControlWindow(vat, "Button2"));
        EXPECT_TRUE(TilloraProgram::WaitForHidden(vat));
    }
    // The VAT dialog and a message box opened and closed, and the mass-transaction dialog that
    // opened the box.
    void OpenAndCloseDialogs()
    {
        HWND vat = OpenVatDialog();
        ASSERT_NE(vat, nullptr);
        CloseVatDialog(vat);
        HWND box = OpenMessageBox();
        ASSERT_NE(box, nullptr);
        ASSERT_NO_FATAL_FAILURE(CloseMessageBox(box));
        TilloraProgram::Click(FindControlWindow(mass, "maCancel"));
        EXPECT_TRUE(TilloraProgram::WaitForHidden(mass));
    }
    // What a program under the palette's skin shows: the forms (each activated) with their
    // provider, skinned, with the skin's region and FORM colour and without the window menu;
    // their push buttons owner-drawn.
    static void ExpectSkinned(const std::vector<HWND>& forms, const TPalette& p)
    {
        for (HWND form : forms) {
            EXPECT_NE(Ask(form, 4), 0) << NameOf(form);
            EXPECT_EQ(Ask(form, 7), 1) << NameOf(form);
            EXPECT_EQ(static_cast<COLORREF>(Ask(form, 21)), AsColorRef(p.Colors[rFace])) << NameOf(form);
            EXPECT_FALSE(HasSysMenu(form)) << NameOf(form);
            EXPECT_TRUE(HasRegion(form)) << NameOf(form);
        }
        for (HWND b : PushButtons(forms))
            EXPECT_TRUE(OwnerDrawn(b)) << NameOf(b);
    }
    // The visible forms, each activated in turn (the program's window hook gives a form its
    // provider when it is activated).
    std::vector<HWND> ActivateForms(const std::vector<const char*>& names)
    {
        std::vector<HWND> forms;
        for (const char* form : names) {
            HWND w = tillora.Window(form, true);
            EXPECT_NE(w, nullptr) << form;
            if (!w) continue;
            SetForegroundWindow(w);
            EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Ask(w, 4) != 0; }, 10000)) << form;
            forms.push_back(w);
        }
        return forms;
    }
    // The push buttons of the forms (class-library buttons with a component name).
    static std::vector<HWND> PushButtons(const std::vector<HWND>& forms)
    {
        std::vector<HWND> children, buttons;
        for (HWND form : forms)
            EnumChildWindows(form, &AddChildWindow, reinterpret_cast<LPARAM>(&children));
        for (HWND w : children) {
            const LONG_PTR kind = GetWindowLongPtrA(w, GWL_STYLE) & BS_TYPEMASK;
            if (ClassOf(w) == "Button" && !ComponentNameOf(w).empty() &&
                (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_OWNERDRAW))
                buttons.push_back(w);
        }
        return buttons;
    }

    const int port = SimCard::FreePort();
    SimCard card{port, "--fresh active"};
    TilloraProgram tillora;
    // What a plain program shows: no window with a region, the forms with their window menu and
    // plain push buttons, the main and the register window's client in the plain face colour.
    void ExpectPlain(const std::vector<HWND>& forms)
    {
        for (HWND w : AllWindowsOf(tillora.Pid()))
            EXPECT_FALSE(HasRegion(w)) << NameOf(w);
        for (HWND form : forms)
            EXPECT_TRUE(HasSysMenu(form)) << NameOf(form);
        for (HWND b : PushButtons(forms))
            EXPECT_FALSE(OwnerDrawn(b)) << NameOf(b);
        for (HWND form : {main, kasse}) {
            SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
            EXPECT_TRUE(ShowsAt(ClientCorner(form), GetSysColor(COLOR_BTNFACE))) << NameOf(form);
        }
    }

    // The sampled points show the look: of the dialogs, each brought to the top, and of the
    // register window, brought to the top left.
    void ExpectLook(const TLook& look, const std::vector<HWND>& dialogs)
    {
        for (HWND form : dialogs) {
            SetForegroundWindow(form);
            SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
            EXPECT_TRUE(TilloraProgram::WaitFor([&] { return GetForegroundWindow() == form; })) << NameOf(form);
            EXPECT_TRUE(ShowsAt(FramePoint(form), look.Frame)) << NameOf(form) << " frame";
            EXPECT_TRUE(ShowsAt(TitlePoint(form), look.Title)) << NameOf(form) << " title";
            EXPECT_TRUE(ShowsAt(ClientCorner(form), look.Client)) << NameOf(form) << " client";
        }
        SetWindowPos(kasse, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        HWND panel = FindControlWindow(kasse, "PreisEdit"), list = FindControlWindow(kasse, "ProdListSel");
        EXPECT_TRUE(ShowsAt(EdgePoint(panel, false), look.PanelLeft)) << "panel, left";
        EXPECT_TRUE(ShowsAt(EdgePoint(panel, true), look.PanelRight)) << "panel, right";
        EXPECT_TRUE(ShowsAt(ScrollBarPoint(list, false), look.Thumb)) << "scroll bar, thumb";
        EXPECT_TRUE(ShowsAt(ScrollBarPoint(list, true), look.Track)) << "scroll bar, track";
        const TGraphicControlState label = QueryControl(kasse, "StkLabel");
        ASSERT_TRUE(label.visible);
        RECT r = label.bounds;
        MapWindowPoints(kasse, nullptr, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(ShowsColourIn(r, look.Label)) << "label";
    }

    HWND main = nullptr, kasse = nullptr, mass = nullptr;
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
        SaveScreen(listed);
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

// The shipped start.ini, with skins off.
class ProgramSkinsByDefault : public ProgramSkins {
protected:
    void WriteStartIni() override
    {
        ASSERT_TRUE(CopyFileA((TilloraProgram::OwnFolder() + "tillora\\start.ini").c_str(),
                              tillora.Path("cfg\\start.ini").c_str(), FALSE));
    }
};

TEST_F(ProgramSkinsByDefault, EveryWindowIsPlain)
{
    ASSERT_NE(tillora.ReadFile("cfg\\start.ini").find("skin enabled=0"), std::string::npos);
    ASSERT_NE(tillora.WaitForForm("TFunkMonForm"), nullptr); // [Windows] Func=1
    // Only the main window's design-time provider answers (itself, unskinned).
    for (HWND w : TilloraProgram::TopWindows(tillora.Pid()))
        if (w != main) {
            EXPECT_EQ(Ask(w, 4), 0) << NameOf(w);
        }
    EXPECT_NE(Ask(main, 4), 0);
    EXPECT_GE(PushButtons({main, kasse}).size(), 8u);
    ExpectPlain({main, kasse});

    HWND box = OpenMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Ask(box, 7), 0);
    EXPECT_EQ(GetPropA(box, "VXSBSC"), nullptr);
    EXPECT_FALSE(HasRegion(box));
    EXPECT_TRUE(HasSysMenu(box));
    CloseMessageBox(box);
}

TEST_F(ProgramSkins, EveryFormTakesTheChosenSkinWhenItIsActivated)
{
    const TPalette& p = Palettes[1];
    TSkinDialog skins(tillora, main);
    ASSERT_NO_FATAL_FAILURE(ChooseSkin(skins, p));
    ASSERT_NE(OpenVatDialog(), nullptr);
    const auto forms = ActivateForms({"TMainF", "TKassTip", "TSkinSel", "TFormUStS"});
    ASSERT_EQ(forms.size(), 4u);
    ExpectSkinned(forms, p);
    EXPECT_GE(PushButtons(forms).size(), 11u);

    // The skinned check box answers BM_GETCHECK with the state its clicks gave it, which the
    // screen shows (the tick in the accent colour).
    HWND vat = tillora.Window("TFormUStS", true);
    HWND exclusive = FindControlWindow(vat, "exSteuerBox");
    ASSERT_EQ(SendMessageA(exclusive, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    for (LRESULT state : {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}) {
        TilloraProgram::Click(exclusive);
        EXPECT_TRUE(TilloraProgram::WaitFor([&] { return SendMessageA(exclusive, BM_GETCHECK, 0, 0) == state; }))
            << state;
    }
    EXPECT_TRUE(ShowsColour(exclusive, AsColorRef(p.Colors[rAccent])));

    // On the screen: frame, title band and client of the dialogs, a panel, a label and the
    // product list's scroll bar in the skin's colours.
    SetWindowPos(skins.Window(), nullptr, 900, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectLook(SkinLook(p), {vat, skins.Window()});

    // Then with the dialogs out of the way: title band, client, a button and an edit of both
    // windows in the skin's colours.
    TilloraProgram::Click(FindControlWindow(vat, "Button2"));
    SetWindowPos(kasse, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    const COLORREF title = AsColorRef(p.Colors[rTitle]), face = AsColorRef(p.Colors[rFace]),
                   text = AsColorRef(p.Colors[rText]), dark = AsColorRef(p.Colors[rDark]),
                   window = AsColorRef(p.Colors[rWindow]);
    for (HWND form : {main, kasse}) {
        EXPECT_TRUE(ShowsAt(TitlePoint(form), title)) << NameOf(form);
        EXPECT_TRUE(ShowsAt(ClientCorner(form), face)) << NameOf(form);
    }
    for (HWND button : {FindControlWindow(main, "StatusButton"), FindControlWindow(kasse, "ScanButton")}) {
        EXPECT_TRUE(ShowsColour(button, text)) << NameOf(button);
        EXPECT_TRUE(ShowsColour(button, dark)) << NameOf(button);
    }
    HWND name = FindControlWindow(kasse, "BedName1");
    EXPECT_TRUE(ShowsColour(name, window));
    EXPECT_TRUE(ShowsColour(name, text));

    // A form shown now, and a message box and a popup menu opened now, are skinned by the
    // window hook.
    HWND box = OpenMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(Ask(mass, 4), 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Ask(box, 7) == 1; }));
    EXPECT_FALSE(HasSysMenu(box));
    EXPECT_TRUE(HasRegion(box));
    ASSERT_NO_FATAL_FAILURE(CloseMessageBox(box));
    HWND popup = OpenPopupMenu();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(Ask(popup, 7), 1);
    EXPECT_NE(GetPropA(popup, "VXSBSC"), nullptr);
    EXPECT_TRUE(HasRegion(popup));
    ClosePopupMenu(popup);
}

TEST_F(ProgramSkins, OpeningAndClosingTheDialogsUnderASkinLeavesTheProgramsWindowsAsMany)
{
    TSkinDialog skins(tillora, main);
    ASSERT_NO_FATAL_FAILURE(ChooseSkin(skins, Palettes[1]));
    // A form takes its provider, and with it its border window, when it is next activated:
    // the skin dialog, active while the skin was chosen, would otherwise take it whenever
    // closing a dialog happens to activate it.
    ActivateForms({"TMainF", "TKassTip", "TSkinSel"});
    ASSERT_NO_FATAL_FAILURE(OpenAndCloseDialogs());
    // The mouse rests on the VAT dialog's close button, which is hot each time it comes up.
    RECT vat;
    GetWindowRect(tillora.Window("TFormUStS", false), &vat);
    SetCursorPos(vat.right - 12, vat.top + 9);
    ASSERT_NO_FATAL_FAILURE(OpenAndCloseDialogs()); // what the first rounds make once is made
    // Counted with the mouse away from every window: a hot title button of a shown form keeps
    // its fade window while the mouse rests on it, and an earlier test may have left it there.
    const POINT away{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2};
    SetCursorPos(away.x, away.y);
    Sleep(500);
    const std::vector<HWND> before = AllWindowsOf(tillora.Pid());
    SetCursorPos(vat.right - 12, vat.top + 9);
    for (int i = 0; i < 20; ++i)
        ASSERT_NO_FATAL_FAILURE(OpenAndCloseDialogs()) << i;
    SetCursorPos(away.x, away.y);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return AllWindowsOf(tillora.Pid()).size() == before.size(); }, 5000))
        << before.size() << " before; new: " << NewWindows(tillora.Pid(), before);
}

TEST_F(ProgramSkins, NoSkinGivesEveryFormItsPlainWindowBack)
{
    TSkinDialog skins(tillora, main);
    ASSERT_NO_FATAL_FAILURE(ChooseSkin(skins, Palettes[1]));
    HWND vat = OpenVatDialog();
    ASSERT_NE(vat, nullptr);
    const auto forms = ActivateForms({"TMainF", "TKassTip", "TSkinSel", "TFormUStS"});
    ASSERT_TRUE(skins.Switch(false));
    for (HWND form : forms)
        if (form != main) {
            EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Ask(form, 4) == 0; })) << NameOf(form);
        }
    SetWindowPos(skins.Window(), nullptr, 900, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectPlain(forms);
    EXPECT_NE(ScreenPixel(TitlePoint(main)), AsColorRef(Palettes[1].Colors[rTitle]));
    ExpectLook(PlainLook(FindControlWindow(kasse, "ProdListSel")), {vat, skins.Window()});
}

TEST_F(ProgramSkins, SwitchingWhileTheVatDialogAMenuOrAMessageBoxIsOpenLeavesEveryWindowWhollySkinnedOrPlain)
{
    const std::vector<const char*> names{"TMainF", "TKassTip", "TSkinSel", "TFormUStS"};
    TSkinDialog skins(tillora, main);
    ASSERT_NO_FATAL_FAILURE(ChooseSkin(skins, Palettes[1]));
    HWND vat = OpenVatDialog();
    ASSERT_NE(vat, nullptr);
    ASSERT_NO_FATAL_FAILURE(ChooseListed(skins, Palettes[2]));
    CloseVatDialog(vat);
    ASSERT_NE(OpenVatDialog(), nullptr);
    ExpectSkinned(ActivateForms(names), Palettes[2]);

    HWND popup = OpenPopupMenu();
    ASSERT_NE(popup, nullptr);
    ASSERT_NO_FATAL_FAILURE(ChooseListed(skins, Palettes[0]));
    ClosePopupMenu(popup);
    ExpectSkinned(ActivateForms(names), Palettes[0]);

    HWND box = OpenMessageBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(skins.Switch(false));
    ASSERT_NO_FATAL_FAILURE(CloseMessageBox(box));
    std::vector<HWND> forms;
    for (const char* form : {"TMainF", "TKassTip", "TSkinSel", "TFormUStS", "TMassTransForm"})
        forms.push_back(tillora.Window(form, true));
    for (HWND form : forms)
        if (form != main) {
            EXPECT_TRUE(TilloraProgram::WaitFor([&] { return Ask(form, 4) == 0; })) << NameOf(form);
        }
    ExpectPlain(forms);
}

namespace {

const char* const kProducts = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><itemList>"
                              "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>"
                              "<item><name>Milch</name><price2>99</price2></item>"
                              "</itemList></vantra>";

} // namespace

// The look a fade ends with: its last frame weighs the new look 255/256, (c x 255 + 127) >> 8
// a byte (no fade would show the colour itself).
COLORREF Faded(COLORREF c)
{
    const auto f = [](int v) { return static_cast<BYTE>((v * 255 + 127) >> 8); };
    return RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c)));
}

// The register window under a skin chosen in the skin dialog.
class SkinnedSale : public RegisterWindowTest {
protected:
    // The mouse in the middle of the control.
    static void Hover(HWND control)
    {
        RECT r;
        GetWindowRect(control, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Waits until the button's right inner edge shows its first fade frame (it leaves its old
    // colour).
    static void FadeStarted(HWND button, COLORREF old)
    {
        EXPECT_TRUE(TilloraProgram::WaitFor([&] { return ScreenPixel(EdgePoint(button, true, 1)) != old; }));
    }
};

TEST_F(SkinnedSale, ClicksOnTheSkinnedButtonsMakeTheReceipt)
{
    OpenRegister(kProducts);
    TSkinDialog skins(tillora, main);
    ASSERT_TRUE(skins.Open());
    ASSERT_TRUE(skins.SwitchOn());
    skins.Choose(skins.IndexOf(L"Sandstein"));
    PostMessageA(skins.Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(TilloraProgram::WaitForHidden(skins.Window()));
    SetForegroundWindow(kasse);
    ASSERT_TRUE(TilloraProgram::WaitFor([&] { return Ask(kasse, 7) == 1; }));
    for (const char* name : {"ScanButton", "SumButton", "KassButton"})
        EXPECT_TRUE(OwnerDrawn(Control(name))) << name;

    AddProduct(0, "3", 3);
    AddProduct(1, "1", 4);
    // "Summe" with the real mouse: hovered it fades to its hot look, pressed to its pressed
    // look (the inner edges of the button image: light left, shadow right; the accent right
    // while hot; shadow left while pressed); the release clicks it.
    const TPalette& p = Palettes[2];
    const COLORREF light = AsColorRef(p.Colors[rLight]), shadow = AsColorRef(p.Colors[rShadow]),
                   accent = AsColorRef(p.Colors[rAccent]);
    const POINT away = ClientCorner(kasse);
    SetCursorPos(away.x, away.y);
    HWND sum = Control("SumButton");
    EXPECT_TRUE(ShowsAt(EdgePoint(sum, false, 1), light) && ShowsAt(EdgePoint(sum, true, 1), shadow));
    Hover(sum);
    EXPECT_TRUE(ShowsAt(EdgePoint(sum, true, 1), Faded(accent)));
    EXPECT_TRUE(ShowsAt(EdgePoint(sum, false, 1), Faded(light)));
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    EXPECT_TRUE(ShowsAt(EdgePoint(sum, false, 1), Faded(shadow)));
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_TRUE(TilloraProgram::WaitFor([&] { return MemoCount() >= 7; })) << WindowText(memo);
    auto lines = Memo();
    ASSERT_EQ(lines.size(), 7u) << WindowText(memo);
    EXPECT_EQ(lines[0], std::string(13, ' ') + "Kassenbeleg");
    EXPECT_EQ(lines[1], ReceiptLine("Brot", "", ""));
    EXPECT_EQ(lines[2], ReceiptLine(" 3 Stk. x  1,99€ = ", " A ", " 5,97€"));
    EXPECT_EQ(lines[3], ReceiptLine("Milch", " B ", " 0,99€"));
    EXPECT_EQ(lines[5], ReceiptLine("SUMME", " ", " 6,96€"));
    SaveScreen("receipt");
    Kassieren();
    EXPECT_EQ(ShownNumber(), 1);
    EXPECT_EQ(card.Commands("80 40 00 00 ").size(), 1u);

    // The end of the session, asked while "Hinzufügen" fades in, is answered at once and
    // stops the fade (the button shows its hot look unfaded); the session going on, closing
    // the main window while it fades out ends the program promptly.
    HWND scan = Control("ScanButton");
    Hover(scan);
    FadeStarted(scan, shadow);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer), 0);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutA(main, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 5000, &answer);
    EXPECT_TRUE(ShowsAt(EdgePoint(scan, true, 1), accent));
    SetCursorPos(away.x, away.y);
    FadeStarted(scan, accent);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(tillora.WaitForExit(10000));
    main = nullptr;
    ExpectBreadAndMilkJournals();
}
