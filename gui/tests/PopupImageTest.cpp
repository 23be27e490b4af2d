// Popup menus as the user sees and chooses them, and pictures as they reach the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/ExtCtrls.h"
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
    // Paints what is pending and reads a pixel of a control from the screen. The window's
    // picture reaches the X display a little later: the pixel is read again, while messages
    // are handled, until it shows the expected colour (two seconds as the hang guard).
    COLORREF ScreenPixel(TWinControl* c, int x, int y, COLORREF expected)
    {
        COLORREF color = CLR_INVALID;
        for (int i = 0; i < 200 && color != expected; ++i) {
            if (i) Sleep(10);
            Application->ProcessMessages();
            UpdateWindow(form->Handle());
            POINT p = c->ClientToScreen(POINT{x, y});
            HDC screen = GetDC(nullptr);
            color = GetPixel(screen, p.x, p.y);
            ReleaseDC(nullptr, screen);
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

} // namespace
