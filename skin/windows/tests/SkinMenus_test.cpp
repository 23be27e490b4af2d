// Skinned popup menus as the user sees them: item sizes by kind, the popup window's region and
// the skin's pieces in its items, the late hand-over through the application's window, the
// context menu of a skinned control, and no handles left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <map>

#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/tests/ProbeRig.h"
#include "tests/support/HandleCount.h"
#include "tests/support/ModalScript.h"

namespace {

constexpr UINT MenuItemPopup = SM_MENUITEMPOPUP;

COLORREF Piece(const char* section, const char* key, int state, int piece)
{
    return static_cast<COLORREF>(skintest::ProbePiece(skintest::ProbeImage("Probe", section, key), state, piece));
}
COLORREF Colors(const char* section, bool hot)
{
    const auto c = skintest::ProbeColors("Probe", section);
    return static_cast<COLORREF>(hot ? c.HotColor : c.Color);
}

// A subclass put over the skinned popup's procedure.
struct OuterProc {
    static inline WNDPROC old = nullptr;
    static inline int destroyed = 0;
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NCDESTROY) ++destroyed;
        return CallWindowProcA(old, w, msg, wp, lp);
    }
};

class SkinMenus : public TProbeSkinTest {
protected:
    void SetUp() override
    {
        LoadProbeSkin("Probe");
        form = NewForm(80, 80, 300, 200);
        manager->SendNewSkin(false);
        menus = dynamic_cast<TsSkinableMenus*>(manager->SkinMenus());
        ASSERT_NE(menus, nullptr);
    }
    TMenuItem* Add(TPopupMenu* menu, const std::string& caption)
    {
        auto* i = new TMenuItem(form);
        i->SetCaption(caption);
        menu->Items()->Add(i);
        return i;
    }
    // The popup opened at (100, 100); the step sees its window, then the menu ends (unless
    // something else ends it).
    void Open(TPopupMenu* menu, const std::function<void(HWND)>& step, bool end = true)
    {
        TModalScript script({[&](HWND m) {
            UpdateWindow(m);
            step(m);
            if (end) EndMenu();
        }});
        menu->Popup(100, 100);
        EXPECT_EQ(script.Done(), 1);
    }
    // An item's rectangle in its popup window's coordinates.
    static RECT InWindow(HWND m, int position)
    {
        return MenuItemInWindow(nullptr, reinterpret_cast<HMENU>(SendMessageA(m, MN_GETHMENU, 0, 0)), position, m);
    }
    static COLORREF WindowPixel(HWND m, int x, int y)
    {
        HDC dc = GetWindowDC(m);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(m, dc);
        return c;
    }
    TForm* form = nullptr;
    TsSkinableMenus* menus = nullptr;
};

TEST_F(SkinMenus, ItemSizesByKind)
{
    auto* menu = new TPopupMenu(form);
    TCanvas canvas;
    HDC dc = CreateCompatibleDC(nullptr);
    canvas.SetHandle(dc);
    canvas.Font() = Screen->MenuFont();
    const int line = static_cast<int>(std::nearbyint(canvas.TextHeight("W") * 1.25));
    auto text = [&](const std::string& s) {
        RECT r{};
        DrawTextA(dc, s.c_str(), -1, &r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
        return static_cast<int>(r.right);
    };
    struct Row {
        std::string caption;
        int glyph; // a bitmap of that size, 0 none (16 x 16 counted)
        TShortCut key;
        int width, height;
    };
    const Row rows[] = {
        {"Artikel", 0, 0, 32 + text("Artikel") + 12, std::max(line, 16) + 4},
        {"-", 0, 0, 44, 2},
        {"-Kasse-", 0, 0, 32 + text("--Kasse--") + 12, line + 4},
        {"", 0, 0, 44, std::max(line, 16) + 4},
        {"Bild", 30, 0, 60 + text("Bild") + 12, std::max(line, 30) + 4},
        {"Sichern", 0, TShortCut(scCtrl | 'S'), 32 + text("Sichern\tCtrl+S") + 12, std::max(line, 16) + 4},
    };
    for (const Row& row : rows) {
        TMenuItem* item = Add(menu, row.caption);
        if (row.glyph) item->Bitmap().SetSize(row.glyph, row.glyph);
        item->SetShortCut(row.key);
    }
    menus->InitMenu(menu, true);
    for (size_t k = 0; k < std::size(rows); ++k) {
        int w = 0, h = 0;
        menus->MeasureItem(menu->Items()->Items(static_cast<int>(k)), canvas, w, h);
        EXPECT_EQ(w, rows[k].width) << rows[k].caption;
        EXPECT_EQ(h, rows[k].height) << rows[k].caption;
    }
    // The popup's own size: columns side by side (4 between them), each its widest item + 12.
    menu->Items()->Items(3)->SetBreak(mbBreak);
    const SIZE size = menus->MeasurePopup(menu->Items());
    const int column1 = std::max(rows[0].width, std::max(rows[1].width, rows[2].width));
    const int column2 = std::max(rows[4].width, std::max(rows[3].width, rows[5].width));
    EXPECT_EQ(size.cx, column1 + 12 + 4 + column2 + 12 + 6);
    EXPECT_EQ(size.cy, std::max(rows[0].height + rows[1].height + rows[2].height,
                                rows[3].height + rows[4].height + rows[5].height) +
                           6);
    canvas.SetHandle(nullptr);
    DeleteDC(dc);

    // In the open popup the system gives the items those heights.
    std::vector<int> heights;
    Open(menu, [&](HWND m) {
        for (int k = 0; k < 6; ++k) {
            const RECT r = InWindow(m, k);
            heights.push_back(r.bottom - r.top);
        }
    });
    EXPECT_EQ(heights,
              (std::vector<int>{rows[0].height, 2, rows[2].height, rows[3].height, rows[4].height, rows[5].height}));
}

TEST_F(SkinMenus, PopupWindowGetsRegionAndSkinPieces)
{
    auto* menu = new TPopupMenu(form);
    Add(menu, "Normal");
    Add(menu, "-Kasse-");
    Add(menu, "Haken")->SetChecked(true);
    TMenuItem* radio = Add(menu, "Punkt");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    Add(menu, "Aus")->SetEnabled(false);
    Add(menu, "Sichern")->SetShortCut(scCtrl | 'S');
    Add(menu, "\bRechts");
    menus->InitMenu(menu, true);
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_TRUE(menu->MenuAnimation() & maNone);

    // The first and last inked columns of the texts as the items are composed.
    std::map<std::string, std::pair<int, int>> ink;
    int itemWidth = 0;
    menus->OnDrawItem = [&](TObject* s, TCanvas* c, const RECT& r, TOwnerDrawState, TsMenuItemType) {
        const std::string caption = static_cast<TMenuItem*>(s)->Caption();
        itemWidth = r.right;
        const COLORREF font = static_cast<COLORREF>(skintest::ProbeColors("Probe", "MENUITEM").FontColor);
        ink[caption] = {-1, -1};
        for (int x = 0; x < r.right; ++x)
            for (int y = 0; y < r.bottom; ++y)
                if (c->Pixel(x, y) == font) {
                    if (ink[caption].first < 0) ink[caption].first = x;
                    ink[caption].second = x;
                }
    };
    std::vector<std::pair<POINT, bool>> inside;
    COLORREF check = 0, radioDot = 0, caption = 0, disabled = 0, disabledBg = 0, disabledItem = 0;
    Open(menu, [&](HWND m) {
        EXPECT_NE(GetPropA(m, "TilloraMenuOldProc"), nullptr);
        RECT w;
        GetWindowRect(m, &w);
        const int W = w.right - w.left, H = w.bottom - w.top;
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(m, rgn), COMPLEXREGION);
        // The staircase of 3, 2 and 1 pixels in each corner is cut, the pixels beside it stay.
        const POINT probes[] = {{0, 0},     {2, 0},     {3, 0},         {1, 1},         {2, 1},
                                {0, 2},     {1, 2},     {W - 1, H - 1}, {W - 3, H - 1}, {W - 4, H - 1},
                                {W - 1, 0}, {0, H - 1}, {W / 2, H / 2}};
        for (const POINT& p : probes)
            inside.emplace_back(p, PtInRegion(rgn, p.x, p.y) != 0);
        DeleteObject(rgn);
        const RECT c = InWindow(m, 1), h = InWindow(m, 2), p = InWindow(m, 3), d = InWindow(m, 4);
        caption = WindowPixel(m, c.left + 6, (c.top + c.bottom) / 2);
        check = WindowPixel(m, h.left + 2 + 8, (h.top + h.bottom) / 2);
        radioDot = WindowPixel(m, p.left + 2 + 8, (p.top + p.bottom) / 2);
        disabled = WindowPixel(m, d.right - 6, (d.top + d.bottom) / 2);
        disabledBg = menus->GetMenuInfo(menu->Items()->Items(0), nullptr, false)
                         ->Bmp->Canvas()
                         .Pixel(d.right - 6, (d.top + d.bottom) / 2);
        disabledItem = Colors("MENUITEM", false);
    });
    const bool expected[] = {false, false, true, false, true, false, true, false, false, true, false, false, true};
    for (size_t k = 0; k < inside.size(); ++k)
        EXPECT_EQ(inside[k].second, expected[k]) << inside[k].first.x << "," << inside[k].first.y;
    EXPECT_EQ(caption, Colors("TOOLBAR", false));
    EXPECT_EQ(check, Piece("GLOBALINFO", "CHECK", 0, 4));
    EXPECT_EQ(radioDot, Piece("GLOBALINFO", "RADIOCHECKED", 0, 4));
    // 40 % of the item stays over 60 % of the background.
    auto blend = [](COLORREF bg, COLORREF item, int shift) {
        const int b = (bg >> shift) & 0xFF, i = (item >> shift) & 0xFF;
        return static_cast<int>(std::lround(b - (b - i) * 0.4));
    };
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((disabled >> shift) & 0xFF), blend(disabledBg, disabledItem, shift), 1);
    // The shortcut ends 8 pixels before the right edge (its last letter's edge is blended); a
    // caption beginning with character 8 stands at the right.
    EXPECT_GE(ink["Sichern"].second, itemWidth - 13);
    EXPECT_LE(ink["Sichern"].second, itemWidth - 9);
    EXPECT_GT(ink["\bRechts"].first, itemWidth / 2);
    EXPECT_GE(ink["\bRechts"].second, itemWidth - 6);
    EXPECT_LT(ink["Normal"].first, itemWidth / 2);

    // After VK_DOWN the first item is hot: its glyph column shows MENUITEM's HotColor.
    COLORREF hot = 0;
    menus->OnDrawItem = [&](TObject*, TCanvas* c, const RECT& r, TOwnerDrawState st, TsMenuItemType) {
        if (!(st & odSelected)) return;
        hot = c->Pixel(10, r.bottom / 2);
        EndMenu();
    };
    Open(
        menu, [](HWND m) { PostMessageA(m, WM_KEYDOWN, VK_DOWN, 0); }, false);
    EXPECT_EQ(hot, Colors("MENUITEM", true));
}

// A popup without the MAINMENU border image still loses its top-left pixel; no DIVIDERV image
// and no check images paint without a fault.
TEST_F(SkinMenus, SkinWithoutMenuImagesCutsOnePixel)
{
    delete manager;
    manager = new TsSkinManager(nullptr);
    manager->SetIsDefault(true);
    ASSERT_TRUE(manager->LoadSkinFromFolder(skintest::SkinPath("Colors")));
    manager->SendNewSkin(false);
    menus = dynamic_cast<TsSkinableMenus*>(manager->SkinMenus());
    auto* menu = new TPopupMenu(form);
    Add(menu, "Eins")->SetChecked(true);
    Add(menu, "-");
    Add(menu, "Zwei");
    menus->InitMenu(menu, true);
    bool cut = false, next = false;
    Open(menu, [&](HWND m) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(m, rgn);
        cut = !PtInRegion(rgn, 0, 0);
        next = PtInRegion(rgn, 1, 0) && PtInRegion(rgn, 0, 1);
        DeleteObject(rgn);
    });
    EXPECT_TRUE(cut);
    EXPECT_TRUE(next);
}

TEST_F(SkinMenus, LatePopupIsSkinnedThroughTheApplicationWindow)
{
    auto* menu = new TPopupMenu(form);
    TMenuItem* first = Add(menu, "Eins");
    Add(menu, "Zwei");
    const HWND app = Application->AppWindow();
    int posted = 0;
    bool hooked = false, region = false;
    LONG_PTR userData = 0, userDataAfter = 1;
    OuterProc::destroyed = 0;
    Open(menu, [&](HWND m) {
        EXPECT_EQ(GetPropA(m, "TilloraMenuOldProc"), nullptr); // a plain popup so far
        userData = GetWindowLongPtrA(m, GWLP_USERDATA);
        // Painted where no window is known: the message goes to the application window once.
        TBitmap off(40, 20);
        menus->DrawItem(first, off.Canvas(), RECT{0, 0, 40, 20}, 0);
        menus->DrawItem(first, off.Canvas(), RECT{0, 0, 40, 20}, 0);
        MSG msg;
        while (PeekMessageA(&msg, app, MenuItemPopup, MenuItemPopup, PM_REMOVE)) {
            ++posted;

            EXPECT_EQ(reinterpret_cast<HMENU>(msg.lParam), menu->Handle());
            EXPECT_EQ(msg.wParam, 0u);
            DispatchMessageA(&msg);
        }
        hooked = GetPropA(m, "TilloraMenuOldProc") != nullptr;
        userDataAfter = GetWindowLongPtrA(m, GWLP_USERDATA);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        region = GetWindowRgn(m, rgn) == COMPLEXREGION;
        DeleteObject(rgn);
        // Another subclass on top: the chain stays whole to the window's end.
        OuterProc::old =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(m, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProc::Proc)));
    });
    EXPECT_EQ(OuterProc::destroyed, 1);
    EXPECT_EQ(userDataAfter, userData); // the window's own field is left alone
    EXPECT_EQ(posted, 1);
    EXPECT_TRUE(hooked);
    EXPECT_TRUE(region);
    EXPECT_EQ(TsSkinableMenus::MenuInfoCount(), 0); // emptied with the window

    // A dead menu, a position past the end and a window handle as menu do nothing.
    HMENU dead = CreatePopupMenu();
    DestroyMenu(dead);
    Open(menu, [&](HWND m) {
        for (auto [wParam, lParam] : {std::pair<WPARAM, LPARAM>{0, reinterpret_cast<LPARAM>(dead)},
                                      {7, reinterpret_cast<LPARAM>(menu->Handle())},
                                      {0, reinterpret_cast<LPARAM>(form->Handle())}})
            SendMessageA(app, MenuItemPopup, wParam, lParam);
        hooked = GetPropA(m, "TilloraMenuOldProc") != nullptr;
    });
    EXPECT_FALSE(hooked);
    EXPECT_EQ(TsSkinableMenus::MenuInfoCount(), 0);
}

// The extra line widens the first column; a popup whose first item is "SkinSelectItem" has
// none and does not ask for it.
TEST_F(SkinMenus, ExtraLineWidensTheFirstColumn)
{
    manager->MenuSupport().UseExtraLine = true;
    int asked = 0;
    manager->OnGetMenuExtraLineData = [&](TMenuItem*, std::string&, std::string& caption, TBitmap*&, bool&) {
        ++asked;
        caption = "&Tillora";
    };
    auto* menu = new TPopupMenu(form);
    TMenuItem* first = Add(menu, "Eins");
    TMenuItem* second = Add(menu, "Zwei");
    second->SetBreak(mbBreak);
    auto* other = new TPopupMenu(form);
    TMenuItem* select = Add(other, "Eins");
    select->SetName("SkinSelectItem");
    TCanvas canvas;
    HDC dc = CreateCompatibleDC(nullptr);
    canvas.SetHandle(dc);
    int w1 = 0, w2 = 0, w3 = 0, h = 0;
    menus->MeasureItem(first, canvas, w1, h);
    menus->MeasureItem(second, canvas, w2, h);
    EXPECT_EQ(asked, 2); // no record yet: asked for each item
    menus->MeasureItem(select, canvas, w3, h);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(w1, 32 + 12 + 32 + canvas.TextWidth("Eins"));
    EXPECT_EQ(w2, 32 + 12 + canvas.TextWidth("Zwei"));
    EXPECT_EQ(w3 + 32, w1);
    canvas.SetHandle(nullptr);
    DeleteDC(dc);
}

// The strip beside the first column shows its section with the caption written upwards in the
// section's font colour, beside every item of the column.
TEST_F(SkinMenus, ExtraLineIsPaintedBesideTheFirstColumn)
{
    manager->MenuSupport().UseExtraLine = true;
    manager->OnGetMenuExtraLineData = [](TMenuItem*, std::string& section, std::string& caption, TBitmap*&, bool&) {
        section = "TOOLBAR";
        caption = "Tillora";
    };
    auto* menu = new TPopupMenu(form);
    for (const char* caption : {"Eins", "Zwei", "Drei", "Vier", "Fuenf"})
        Add(menu, caption);
    menus->InitMenu(menu, true);
    const int strip = manager->MenuSupport().ExtraLineWidth, border = menus->SkinBorderWidth();
    int ink = 0, inkBeside = 0;
    COLORREF bottom = 0;
    Open(menu, [&](HWND m) {
        RECT w;
        GetWindowRect(m, &w);
        const int H = w.bottom - w.top;
        HDC dc = GetWindowDC(m);
        const COLORREF font = static_cast<COLORREF>(skintest::ProbeColors("Probe", "TOOLBAR").FontColor);
        for (int y = border; y < H - border; ++y)
            for (int x = border; x < border + strip + 8; ++x)
                (x < border + strip ? ink : inkBeside) += GetPixel(dc, x, y) == font;
        bottom = GetPixel(dc, border + strip / 2, H - border - 8);
        ReleaseDC(m, dc);
    });
    EXPECT_GT(ink, 20);
    EXPECT_EQ(inkBeside, 0);
    EXPECT_EQ(bottom, Colors("TOOLBAR", false));
    manager->OnGetMenuExtraLineData = nullptr;
    manager->MenuSupport().UseExtraLine = false;
}

// An item with an image of the menu's image list shows it centred in its glyph column, over
// SPEEDBUTTON_SMALL while checked.
TEST_F(SkinMenus, AnImageListGlyphIsDrawnInTheGlyphColumn)
{
    TCustomImageList list(form);
    ASSERT_EQ(AddSolidImage(list, 20, RGB(5, 6, 7)), 0);
    auto* menu = new TPopupMenu(form);
    menu->SetImages(&list);
    TMenuItem* plain = Add(menu, "Bild");
    plain->SetImageIndex(0);
    TMenuItem* checked = Add(menu, "Haken");
    checked->SetImageIndex(0);
    checked->SetChecked(true);
    menus->InitMenu(menu, true);
    std::vector<COLORREF> pixels;
    int height = 0;
    Open(menu, [&](HWND m) {
        for (int k = 0; k < 2; ++k) {
            const RECT r = InWindow(m, k);
            height = r.bottom - r.top;
            const int o = (height - 20) / 2;
            pixels.push_back(WindowPixel(m, r.left + o + 10, r.top + o + 10));
            pixels.push_back(WindowPixel(m, r.left + o - 1, r.top + o + 10));
        }
    });
    TCanvas canvas;
    canvas.SetHandle(CreateCompatibleDC(nullptr));
    canvas.Font() = Screen->MenuFont();
    EXPECT_EQ(height, std::max(static_cast<int>(std::nearbyint(canvas.TextHeight("W") * 1.25)), 20) + 4);
    DeleteDC(canvas.Handle());
    canvas.SetHandle(nullptr);
    EXPECT_EQ(pixels[0], RGB(5, 6, 7));
    EXPECT_EQ(pixels[1], Piece("MENUITEM", "BORDERSMASK", 0, 3));
    EXPECT_EQ(pixels[2], RGB(5, 6, 7));
    EXPECT_EQ(pixels[3], Piece("SPEEDBUTTON_SMALL", "BORDERSMASK", 0, 3));
}

TEST_F(SkinMenus, ContextMenuOfASkinnedControlOpensSkinned)
{
    auto* control = new TProbeControl(form);
    control->SetBounds(10, 10, 100, 50);
    control->SetParent(form);
    auto* menu = new TPopupMenu(form);
    Add(menu, "Eins");
    control->SetPopupMenu(menu);
    menus->InitMenu(menu, false);
    ASSERT_FALSE(menu->OwnerDraw());
    bool hooked = false;
    TModalScript script({[&](HWND m) {
        UpdateWindow(m);
        hooked = GetPropA(m, "TilloraMenuOldProc") != nullptr;
        EndMenu();
    }});
    const POINT at = control->ClientToScreen(POINT{20, 20});
    SendMessageA(control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()),
                 MAKELPARAM(at.x, at.y));
    EXPECT_EQ(script.Done(), 1);
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_TRUE(hooked);
}

TEST_F(SkinMenus, OpeningAndClosingLeavesNoHandles)
{
    auto* menu = new TPopupMenu(form);
    Add(menu, "Eins");
    Add(menu, "-");
    Add(menu, "Zwei");
    menus->InitMenu(menu, true);
    // The menu ends as soon as its last item is painted.
    menus->OnDrawItem = [&](TObject* s, TCanvas*, const RECT&, TOwnerDrawState, TsMenuItemType) {
        if (static_cast<TMenuItem*>(s)->Caption() == "Zwei") EndMenu();
    };
    menu->Popup(100, 100);
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        menu->Popup(100, 100);
    EXPECT_EQ(THandleCount::Now(), before);
    EXPECT_EQ(TsSkinableMenus::MenuInfoCount(), 0);
}

// Switching on takes over only empty events and switching off takes away only its own; a main
// menu gets the line handlers, but stays as it is while popups are not skinned.
TEST_F(SkinMenus, SwitchingKeepsTheApplicationsHandlers)
{
    auto* menu = new TPopupMenu(form);
    TMenuItem* own = Add(menu, "Eigen");
    own->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) { w = 5, h = 7; };
    auto* bar = new TMainMenu(form);
    auto* file = new TMenuItem(form);
    file->SetCaption("&Datei");
    bar->Items()->Add(file);
    auto* quit = new TMenuItem(form);
    quit->SetCaption("Ende");
    file->Add(quit);

    menus->SetActive(false);
    manager->SetSkinnedPopups(false);
    menus->SetActive(true);
    EXPECT_FALSE(bar->OwnerDraw());
    EXPECT_FALSE(menu->OwnerDraw());
    EXPECT_FALSE(file->OnMeasureItem);
    menus->SetActive(false);
    manager->SetSkinnedPopups(true);
    menus->SetActive(true);
    EXPECT_TRUE(bar->OwnerDraw());
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_TRUE(own->OnAdvancedDrawItem);
    EXPECT_TRUE(quit->OnMeasureItem);
    TCanvas canvas;
    HDC dc = CreateCompatibleDC(nullptr);
    canvas.SetHandle(dc);
    int w = 0, h = 0;
    own->MeasureItem(canvas, w, h);
    EXPECT_EQ(w, 5);
    file->MeasureItem(canvas, w, h);
    EXPECT_EQ(h, GetSystemMetrics(SM_CYMENU) - 1);
    canvas.Font() = Screen->MenuFont();
    EXPECT_EQ(w, canvas.TextWidth("Datei"));
    canvas.SetHandle(nullptr);
    DeleteDC(dc);

    menus->SetActive(false);
    EXPECT_FALSE(bar->OwnerDraw());
    EXPECT_FALSE(own->OnAdvancedDrawItem);
    EXPECT_FALSE(quit->OnMeasureItem);
    EXPECT_FALSE(file->OnAdvancedDrawItem);
    ASSERT_TRUE(own->OnMeasureItem);
    own->MeasureItem(canvas, w, h);
    EXPECT_EQ(h, 7);
}

} // namespace
