// Popup menus as the user sees and chooses them, and pictures as they reach the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/ExtCtrls.h"
#include "gui/Graphics.h"
#include "gui/Forms.h"
#include "gui/ListCtrls.h"
#include "gui/Menus.h"
#include "tests/support/ModalScript.h"
#include "gui/StdCtrls.h"

namespace {

class PopupImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = TForm::Create<TForm>(Application);
        form->SetBounds(60, 60, 400, 300);
        form->Show();
        SetForegroundWindow(form->Handle());
    }
    void TearDown() override { form->Free(); }
    TMenuItem* Item(TPopupMenu* menu, const std::string& caption, std::function<void()> click = nullptr)
    {
        auto* i = new TMenuItem(form);
        i->SetCaption(caption);
        if (click) i->OnClick = [click](TObject*) { click(); };
        menu->Items()->Add(i);
        return i;
    }
    // Paints what is pending and reads a pixel of a control from its form's window, which holds
    // what the user sees once Wine hands the window's surface to the display (a window of a test
    // program beside this one may lie over it there). Read again while messages are handled until
    // it shows the expected colour (two seconds as the hang guard).
    COLORREF ScreenPixel(TWinControl* c, int x, int y, COLORREF expected)
    {
        COLORREF color = CLR_INVALID;
        for (int i = 0; i < 200 && color != expected; ++i) {
            if (i) Sleep(10);
            Application->ProcessMessages();
            UpdateWindow(form->Handle());
            POINT p = c->ClientToScreen(POINT{x, y});
            ScreenToClient(form->Handle(), &p);
            HDC dc = GetDC(form->Handle());
            color = GetPixel(dc, p.x, p.y);
            ReleaseDC(form->Handle(), dc);
        }
        return color;
    }
    TForm* form = nullptr;
};

// The entries of a popup menu window: captions, with "[x]" for a check mark and "(-)" for a
// greyed entry.
std::vector<std::string> Entries(HWND menuWindow)
{
    std::vector<std::string> r;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            r.push_back("-");
            continue;
        }
        std::string e = text;
        if (state & MF_CHECKED) e += " [x]";
        if (state & MF_GRAYED) e += " (-)";
        r.push_back(e);
    }
    return r;
}

void Keys(HWND menuWindow, std::initializer_list<WPARAM> keys)
{
    for (WPARAM k : keys)
        PostMessageA(menuWindow, WM_KEYDOWN, k, 0);
}

TEST_F(PopupImageTest, PopupMenuShowsItsEntriesAndRunsTheChosenOne)
{
    auto* menu = new TPopupMenu(form);
    std::vector<std::string> clicked;
    Item(menu, "&Löschen", [&] { clicked.push_back("Löschen"); });
    Item(menu, "-");
    TMenuItem* save = Item(menu, "Speichern", [&] { clicked.push_back("Speichern"); });
    TMenuItem* saveAs = Item(menu, "Speichern unter", [&] { clicked.push_back("Speichern unter"); });
    TMenuItem* load = Item(menu, "Laden", [&] { clicked.push_back("Laden"); });
    int popups = 0;
    menu->OnPopup = [&](TObject*) {
        ++popups;
        save->SetChecked(true); // changes made as it opens show in the menu
        saveAs->SetVisible(false);
    };
    load->SetEnabled(false);

    std::vector<std::string> shown;
    {
        // Down to the second entry (over the separator) and Enter.
        TModalScript script({[&](HWND m) {
            shown = Entries(m);
            Keys(m, {VK_DOWN, VK_DOWN, VK_RETURN});
        }});
        menu->Popup(100, 100);
        EXPECT_EQ(script.Done(), 1);
        EXPECT_EQ(script.Unexpected(), 0);
    }
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"&Löschen", "-", "Speichern [x]", "Laden (-)"}));
    EXPECT_EQ(clicked, std::vector<std::string>{"Speichern"});

    {
        // Closed without a choice: nothing runs.
        TModalScript script({[](HWND) { EndMenu(); }});
        menu->Popup(100, 100);
        EXPECT_EQ(script.Done(), 1);
    }
    EXPECT_EQ(popups, 2);
    EXPECT_EQ(clicked.size(), 1u);

    {
        // The popup menu of a control opens on its context menu request and knows the control.
        auto* list = new TListBox(form);
        list->SetBounds(10, 10, 150, 100);
        list->SetParent(form);
        list->SetPopupMenu(menu);
        TModalScript script({[&](HWND m) { Keys(m, {VK_DOWN, VK_RETURN}); }});
        POINT at = list->ClientToScreen(POINT{20, 20});
        SendMessageA(list->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->Handle()), MAKELPARAM(at.x, at.y));
        EXPECT_EQ(script.Done(), 1);
        EXPECT_EQ(menu->PopupComponent(), list);
    }
    EXPECT_EQ(clicked, (std::vector<std::string>{"Speichern", "Löschen"}));
}

TEST_F(PopupImageTest, DrawingOnAnImageReachesTheScreen)
{
    auto* image = new TImage(form);
    image->SetBounds(20, 20, 40, 30);
    image->SetParent(form);
    ASSERT_NE(ScreenPixel(image, 5, 5, ColorToRGB(clBtnFace)), RGB(255, 0, 0));
    // Drawn on the canvas of the image on screen: shown without any further call.
    TCanvas& c = image->Canvas();
    c.Brush().SetColor(clRed);
    c.FillRect(RECT{0, 0, 40, 30});
    c.Brush().SetColor(clBlue);
    c.FillRect(RECT{30, 20, 40, 30});
    c.Pen().SetColor(clLime);
    c.MoveTo(0, 10);
    c.LineTo(20, 10);
    EXPECT_EQ(c.Pixel(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(c.Pixel(35, 25), RGB(0, 0, 255));
    EXPECT_EQ(c.Pixel(10, 10), RGB(0, 255, 0));
    EXPECT_EQ(c.Pixel(20, 10), RGB(255, 0, 0)); // the line ends before its end point
    EXPECT_EQ(ScreenPixel(image, 5, 5, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(image, 35, 25, RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(image, 10, 10, RGB(0, 255, 0)), RGB(0, 255, 0));

    // A picture of its own stretched over the control, and a picture that sizes the control.
    TBitmap pic(10, 10);
    pic.Canvas().Brush().SetColor(clRed);
    pic.Canvas().FillRect(RECT{0, 0, 5, 10});
    pic.Canvas().Brush().SetColor(clGreen);
    pic.Canvas().FillRect(RECT{5, 0, 10, 10});
    image->Picture().Assign(pic);
    image->SetStretch(true);
    EXPECT_EQ(ScreenPixel(image, 3, 15, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(image, 36, 15, RGB(0, 128, 0)), RGB(0, 128, 0));
    image->SetStretch(false);
    EXPECT_EQ(ScreenPixel(image, 36, 15, ColorToRGB(clBtnFace)),
              ColorToRGB(clBtnFace)); // beside the picture: the parent's colour
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Height(), 10);
}

TEST_F(PopupImageTest, ImageInsideAMemoStaysVisibleWhileTheMemoChanges)
{
    auto* memo = new TMemo(form);
    memo->SetBounds(10, 10, 300, 200);
    memo->SetParent(form);
    auto* image = new TImage(form);
    image->SetBounds(200, 20, 50, 50);
    image->SetParent(memo);
    image->Canvas().Brush().SetColor(clBlack);
    image->Canvas().FillRect(RECT{0, 0, 50, 50});
    EXPECT_EQ(ScreenPixel(image, 25, 25, RGB(0, 0, 0)), RGB(0, 0, 0));
    for (int i = 0; i < 20; ++i)
        memo->Lines().Add("Brot                                     1,99");
    memo->SetSelStart(0);
    SendMessageA(memo->Handle(), EM_SCROLLCARET, 0, 0);
    EXPECT_EQ(ScreenPixel(image, 25, 25, RGB(0, 0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(image, 2, 2, RGB(0, 0, 0)), RGB(0, 0, 0));
}

TEST_F(PopupImageTest, ShortCutTextsBothWays)
{
    const std::pair<TShortCut, std::string> rows[] = {{TShortCut(scCtrl | 'S'), "Ctrl+S"},
                                                      {VK_F2, "F2"},
                                                      {TShortCut(scShift | VK_DELETE), "Shift+Del"},
                                                      {TShortCut(scCtrl | scAlt | '1'), "Ctrl+Alt+1"},
                                                      {0, ""}};
    for (const auto& [key, text] : rows) {
        EXPECT_EQ(ShortCutToText(key), text);
        EXPECT_EQ(TextToShortCut(text), key) << text;
    }
}

// Owner-drawn items are sized and painted by their events, keep their kinds (radio, column
// break, default, shortcut text) and their command ids.
TEST_F(PopupImageTest, OwnerDrawnPopupUsesItsItemEventsAndKeepsItsCommands)
{
    auto* menu = new TPopupMenu(form);
    menu->SetOwnerDraw(true);
    std::vector<std::string> clicked;
    TMenuItem* alpha = Item(menu, "Alpha", [&] { clicked.push_back("Alpha"); });
    alpha->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) { w = 120, h = 30; };
    bool drawnSelected = false;
    alpha->OnAdvancedDrawItem = [&](TObject*, TCanvas* c, const RECT& r, TOwnerDrawState s) {
        drawnSelected |= (s & odSelected) != 0;
        c->Brush().SetColor((s & odSelected) ? clBlue : clRed);
        c->FillRect(r);
    };
    TMenuItem* beta = Item(menu, "Beta");
    beta->SetRadioItem(true);
    beta->SetChecked(true);
    beta->SetShortCut(scCtrl | 'S');
    beta->SetBreak(mbBreak);
    beta->SetDefault(true);
    beta->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) { w = 60, h = 30; };
    EXPECT_EQ(menu->Items()->InsertNewLineAfter(alpha), 1);
    EXPECT_EQ(menu->Items()->Items(1)->Caption(), "-");
    EXPECT_FALSE(menu->AutoMerge());

    RECT alphaRect{}, betaRect{}, itemRect{};
    COLORREF before = 0;
    std::string betaText;
    MENUITEMINFOA betaInfo{};
    betaInfo.cbSize = sizeof betaInfo;
    betaInfo.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    TModalScript script({[&](HWND m) {
        HMENU h = reinterpret_cast<HMENU>(SendMessageA(m, MN_GETHMENU, 0, 0));
        GetMenuItemRect(nullptr, h, 0, &alphaRect);
        GetMenuItemRect(nullptr, h, 2, &betaRect);
        itemRect = beta->ItemRect(nullptr);
        char text[64] = "";
        GetMenuStringA(h, 2, text, sizeof text, MF_BYPOSITION);
        betaText = text;
        GetMenuItemInfoA(h, 2, TRUE, &betaInfo);
        HDC dc = GetWindowDC(m);
        POINT at{(alphaRect.left + alphaRect.right) / 2, (alphaRect.top + alphaRect.bottom) / 2};
        RECT w;
        GetWindowRect(m, &w);
        before = GetPixel(dc, at.x - w.left, at.y - w.top);
        ReleaseDC(m, dc);
        Keys(m, {VK_DOWN, VK_RETURN});
    }});
    menu->Popup(100, 100);
    EXPECT_EQ(script.Done(), 1);
    // The system adds the same margin to every measured width.
    EXPECT_EQ((alphaRect.right - alphaRect.left) - (betaRect.right - betaRect.left), 60);
    EXPECT_EQ(alphaRect.bottom - alphaRect.top, 30);
    EXPECT_GE(betaRect.left, alphaRect.right); // second column
    EXPECT_EQ(betaRect.top, alphaRect.top);
    EXPECT_EQ(itemRect.left, betaRect.left);
    EXPECT_EQ(itemRect.top, betaRect.top);
    EXPECT_EQ(betaText, "Beta\tCtrl+S");
    EXPECT_EQ(betaInfo.fType, UINT(MFT_OWNERDRAW | MFT_RADIOCHECK | MFT_MENUBREAK));
    EXPECT_EQ(betaInfo.fState, UINT(MFS_CHECKED | MFS_DEFAULT));
    EXPECT_EQ(betaInfo.wID, beta->Command());
    EXPECT_EQ(before, RGB(255, 0, 0));
    EXPECT_TRUE(drawnSelected);
    EXPECT_EQ(clicked, std::vector<std::string>{"Alpha"});
}

// An owner-drawn main menu: bar items get their measured widths and the command still clicks.
TEST_F(PopupImageTest, OwnerDrawnMainMenuBarItems)
{
    auto* bar = new TMainMenu(form);
    auto* file = new TMenuItem(form);
    file->SetCaption("Datei");
    bar->Items()->Add(file);
    auto* quit = new TMenuItem(form);
    quit->SetCaption("Ende");
    int clicks = 0;
    quit->OnClick = [&](TObject*) { ++clicks; };
    file->Add(quit);
    auto* help = new TMenuItem(form);
    help->SetCaption("Hilfe");
    bar->Items()->Add(help);
    file->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) { w = 77, h = 18; };
    help->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) { w = 40, h = 18; };
    bar->SetOwnerDraw(true);
    form->SetMenu(bar);
    Application->ProcessMessages();
    RECT r = file->ItemRect(form->Handle()), r2 = help->ItemRect(form->Handle());
    EXPECT_EQ((r.right - r.left) - (r2.right - r2.left), 37);
    EXPECT_EQ(file->MenuHandle(), bar->Handle());
    EXPECT_EQ(quit->MenuIndex(), 0);
    SendMessageA(form->Handle(), WM_COMMAND, quit->Command(), 0);
    EXPECT_EQ(clicks, 1);
}

} // namespace
