// The main-menu line of a skinned form with the probe skin: the bar's items are owner-drawn,
// measured from their captions, painted over MENULINE from the form's image, and painted hot
// through the image when the system highlights one.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/tests/ProbeRig.h"
#include "tests/support/ModalScript.h"
#include "tests/support/WindowProbes.h"

namespace {

void Pump(DWORD ms = 150) { MessageHost::Pump(ms); }

COLORREF Color(const char* section, bool hot, bool font)
{
    const auto c = skintest::ProbeColors("Probe", section);
    return static_cast<COLORREF>(font ? (hot ? c.HotFontColor : c.FontColor) : (hot ? c.HotColor : c.Color));
}

// How many pixels of a rectangle of a DC have this colour.
int Count(HDC dc, const RECT& r, COLORREF c)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += GetPixel(dc, x, y) == c;
    return n;
}

class MenuLine : public TAdapterProbeTest {
protected:
    void SetUp() override
    {
        UseProbeSkin("Probe");
        MakeForm();
    }
    // A sizeable form with three menus in its line and a provider, shown and active.
    void MakeForm()
    {
        form = TForm::Create<TForm>(Application);
        form->SetBorderStyle(bsSizeable);
        form->SetBounds(120, 120, 360, 220);
        menu = new TMainMenu(form);
        for (const char* caption : {"Datei", "&Bearbeiten", "Hilfe"}) {
            auto* item = new TMenuItem(form);
            item->SetCaption(caption);
            menu->Items()->Add(item);
            auto* sub = new TMenuItem(form);
            sub->SetCaption("Unterpunkt");
            item->Add(sub);
        }
        form->SetMenu(menu);
        provider = new TsSkinProvider(form);
        form->Show();
        SetForegroundWindow(form->Handle());
        Pump();
        wnd = form->Handle();
    }
    // An item's rectangle in window coordinates.
    RECT ItemRect(int index) const { return MenuItemInWindow(wnd, GetMenu(wnd), index, wnd); }
    int WindowCount(const RECT& r, COLORREF c) const
    {
        HDC dc = GetWindowDC(wnd);
        const int n = Count(dc, r, c);
        ReleaseDC(wnd, dc);
        return n;
    }
    TForm* form = nullptr;
    TMainMenu* menu = nullptr;
    TsSkinProvider* provider = nullptr;
    HWND wnd = nullptr;
};

TEST_F(MenuLine, TheBarShowsItsOwnerDrawnItemsOverTheLine)
{
    ASSERT_TRUE(menu->OwnerDraw());
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(GetMenu(wnd), 1, TRUE, &mi));
    EXPECT_TRUE(mi.fType & MFT_OWNERDRAW);

    // Measured: SM_CYMENU - 1 high, the caption's width without "&" (no glyph).
    TCanvas canvas;
    canvas.SetHandle(CreateCompatibleDC(nullptr));
    int w = 0, h = 0;
    menu->Items()->Items(1)->MeasureItem(canvas, w, h);
    EXPECT_EQ(h, GetSystemMetrics(SM_CYMENU) - 1);
    canvas.Font() = Screen->MenuFont();
    EXPECT_EQ(w, canvas.TextWidth("Bearbeiten"));
    DeleteDC(canvas.Handle());
    canvas.SetHandle(nullptr);

    // The items stand side by side in the line, each with its text in MENULINE's font colour
    // over MENUITEM, and the line beyond them is MENULINE.
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    RECT last{};
    for (int i = 0; i < 3; ++i) {
        const RECT r = ItemRect(i);
        EXPECT_GT(r.right - r.left, w / 4) << i;
        if (i > 0) {
            EXPECT_EQ(r.left, last.right) << i;
        }
        EXPECT_GT(WindowCount(r, Color("MENULINE", false, true)), 10) << i;
        EXPECT_GT(WindowCount(r, Color("MENUITEM", false, false)), 10) << i;
        EXPECT_EQ(WindowCount(r, Color("MENUITEM", true, false)), 0) << i;
        last = r;
    }
    const int middle = (last.top + last.bottom) / 2;
    const RECT rest{last.right + 4, middle - 2, last.right + 20, middle + 2};
    EXPECT_EQ(WindowCount(rest, Color("MENULINE", false, false)), (rest.right - rest.left) * (rest.bottom - rest.top));
}

// An item with a glyph of the menu's image list is wider by the glyph and 6 pixels and shows
// the glyph 3 pixels from its left edge.
TEST_F(MenuLine, ABarItemWithAGlyphShowsIt)
{
    TCustomImageList list(form);
    ASSERT_EQ(AddSolidImage(list, 12, RGB(4, 5, 6)), 0);
    menu->SetImages(&list);
    TMenuItem* item = menu->Items()->Items(0);
    item->SetImageIndex(0);
    TCanvas canvas;
    canvas.SetHandle(CreateCompatibleDC(nullptr));
    int w = 0, h = 0;
    item->MeasureItem(canvas, w, h);
    canvas.Font() = Screen->MenuFont();
    EXPECT_EQ(w, canvas.TextWidth("Datei") + 12 + 6);
    DeleteDC(canvas.Handle());
    canvas.SetHandle(nullptr);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    const RECT r = ItemRect(0);
    EXPECT_EQ(testrig::WindowPixel(wnd, r.left + 3 + 6, (r.top + r.bottom) / 2), RGB(4, 5, 6));
    menu->SetImages(nullptr);
}

TEST_F(MenuLine, AHighlightedItemIsPaintedHotThroughTheFormsImage)
{
    const RECT r = ItemRect(1);
    ASSERT_TRUE(HiliteMenuItem(wnd, GetMenu(wnd), 1, MF_BYPOSITION | MF_HILITE));
    EXPECT_GT(WindowCount(r, Color("MENUITEM", true, false)), 10);
    EXPECT_GT(WindowCount(r, Color("MENULINE", true, true)), 10);
    // The image holds the hot item too: the next frame copy shows it as well.
    EXPECT_GT(Count(provider->FormImage()->Canvas().Handle(), r, Color("MENUITEM", true, false)), 10);
    EXPECT_EQ(WindowCount(ItemRect(0), Color("MENUITEM", true, false)), 0);

    // Another item highlighted: this one is painted normal again.
    ASSERT_TRUE(HiliteMenuItem(wnd, GetMenu(wnd), 0, MF_BYPOSITION | MF_HILITE));
    EXPECT_EQ(WindowCount(r, Color("MENUITEM", true, false)), 0);
    EXPECT_GT(WindowCount(r, Color("MENUITEM", false, false)), 10);
    EXPECT_GT(WindowCount(ItemRect(0), Color("MENUITEM", true, false)), 10);
}

TEST_F(MenuLine, AClickAndTheMnemonicKeyStillOpenTheItemsMenu)
{
    RECT r{};
    GetMenuItemRect(wnd, GetMenu(wnd), 1, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTMENU);
    const std::function<void()> ways[] = {
        [&] { SendMessageA(wnd, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(centre.x, centre.y)); },
        [&] { SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'b'); },
    };
    for (const auto& open : ways) {
        HMENU shown = nullptr;
        TModalScript script({[&](HWND m) {
            shown = reinterpret_cast<HMENU>(SendMessageA(m, MN_GETHMENU, 0, 0));
            EndMenu();
        }});
        open();
        EXPECT_EQ(script.Done(), 1);
        EXPECT_EQ(shown, GetSubMenu(GetMenu(wnd), 1));
    }
}

// The form's own popup menu, made after the skin came, opens skinned on WM_CONTEXTMENU.
TEST_F(MenuLine, TheFormsContextMenuOpensSkinned)
{
    auto* popup = new TPopupMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("Kopieren");
    popup->Items()->Add(item);
    form->SetPopupMenu(popup);
    ASSERT_FALSE(popup->OwnerDraw());
    bool ownerDrawn = false;
    TModalScript script({[&](HWND) {
        ownerDrawn = popup->OwnerDraw() && item->OnAdvancedDrawItem;
        EndMenu();
    }});
    SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(200, 200));
    EXPECT_EQ(script.Done(), 1);
    EXPECT_TRUE(ownerDrawn);
}

// Popups left plain: the line's items are still drawn over the line, or they would not show.
TEST_F(MenuLine, WithPlainPopupsTheLineStillShowsItsItems)
{
    manager->SetSkinnedPopups(false);
    MakeForm();
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_TRUE(menu->Items()->Items(0)->OnAdvancedDrawItem);
    EXPECT_FALSE(menu->Items()->Items(0)->Items(0)->OnAdvancedDrawItem);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    EXPECT_GT(WindowCount(ItemRect(0), Color("MENULINE", false, true)), 10);
}

TEST_F(MenuLine, WithoutTheSkinTheBarIsThePlainOneAgain)
{
    manager->SetActive(false);
    Pump();
    EXPECT_FALSE(menu->OwnerDraw());
    EXPECT_FALSE(menu->Items()->Items(0)->OnAdvancedDrawItem);
    manager->SetActive(true);
    Pump();
    EXPECT_TRUE(menu->OwnerDraw());
    // The system draws the frame: its line gets the plain items back, until the skin draws it again.
    provider->SetDrawNonClientArea(false);
    EXPECT_FALSE(menu->OwnerDraw());
    EXPECT_FALSE(menu->Items()->Items(0)->OnAdvancedDrawItem);
    // Should the skin take the line's items again meanwhile, they are drawn as plain items.
    TBitmap plain(60, 20);
    auto* menus = dynamic_cast<TsSkinableMenus*>(manager->SkinMenus());
    menus->DrawLineItem(menu->Items()->Items(0), plain.Canvas(), RECT{0, 0, 60, 20}, 0);
    EXPECT_EQ(Count(plain.Canvas().Handle(), RECT{0, 0, 60, 20}, GetSysColor(COLOR_MENUTEXT)) > 0,
              GetSysColor(COLOR_MENUTEXT) != GetSysColor(COLOR_MENU));
    EXPECT_EQ(plain.Canvas().Pixel(1, 1), GetSysColor(COLOR_MENU));
    provider->SetDrawNonClientArea(true);
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_TRUE(menu->Items()->Items(0)->OnAdvancedDrawItem);
}

} // namespace
