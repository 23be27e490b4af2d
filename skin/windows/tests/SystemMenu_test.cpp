// The skinned window menu of a provider's form as the user opens it: its items and their
// states by window state and border style, the application's own items, the system's menu
// without skinned popups, the list of skins to choose from, and no handles left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "gui/Menus.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sSysMenu.h"
#include "skin/windows/tests/ProbeRig.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageHost.h"
#include "tests/support/ModalScript.h"

namespace {

void Pump(DWORD ms = 100) { MessageHost::Pump(ms); }

// The items of an open popup menu window: names (captions for items without one), "-" for a
// divider, "~" before a disabled item.
std::string ItemsOf(HWND popup)
{
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    std::string list;
    for (int k = 0; k < GetMenuItemCount(menu); ++k) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_STATE;
        GetMenuItemInfoA(menu, static_cast<UINT>(k), TRUE, &info);
        const TMenuItem* item = TMenuItem::FromData(info.dwItemData);
        if (!list.empty()) list += ' ';
        if (info.fState & MFS_GRAYED) list += '~';
        list += !item ? "?" : item->Name().empty() ? item->Caption() : item->Name();
    }
    return list;
}

class SystemMenu : public TProbeSkinTest {
protected:
    void SetUp() override { UseProbeSkin("Probe"); }
    TForm* NewSkinnedForm(TFormBorderStyle style = bsSizeable)
    {
        auto* f = TForm::Create<TForm>(Application);
        f->SetBorderStyle(style);
        f->SetBounds(150, 150, 300, 200);
        provider = new TsSkinProvider(f);
        f->Show();
        SetForegroundWindow(f->Handle());
        Pump();
        return f;
    }
    // The window menu opened at (200, 200); the step sees its window, then the menu ends.
    void Open(const std::function<void(HWND)>& step)
    {
        TModalScript script({[&](HWND m) {
            UpdateWindow(m);
            step(m);
            EndMenu();
        }});
        provider->ShowSystemMenu(200, 200);
        EXPECT_EQ(script.Done(), 1);
    }
    TsSkinProvider* provider = nullptr;
};

TEST_F(SystemMenu, ItsItemsFollowTheStateAndStyleOfTheForm)
{
    struct {
        TFormBorderStyle style;
        int show;
        const char* items;
    } const table[] = {
        {bsSizeable, SW_SHOWNORMAL, "~vxIR vxIM vxIS vxIN vxIX - vxIC"},
        {bsSizeable, SW_MAXIMIZE, "vxIR ~vxIM vxIS vxIN ~vxIX - vxIC"},
        {bsSizeable, SW_MINIMIZE, "vxIR vxIM ~vxIS ~vxIN vxIX - vxIC"},
        {bsSingle, SW_SHOWNORMAL, "~vxIR vxIM ~vxIS vxIN vxIX - vxIC"},
        {bsDialog, SW_SHOWNORMAL, "vxIM - vxIC"},
        {bsToolWindow, SW_SHOWNORMAL, "vxIM - vxIC"},
    };
    for (const auto& t : table) {
        TForm* form = NewSkinnedForm(t.style);
        ShowWindow(form->Handle(), t.show);
        Pump(50);
        std::string items;
        Open([&](HWND m) { items = ItemsOf(m); });
        EXPECT_EQ(items, t.items) << t.style << " " << t.show;
        form->Free();
    }
}

// Minimize, Maximize, Restore and Close show their symbols in the glyph column, Move and Size
// none.
TEST_F(SystemMenu, TheCommandsShowTheirSymbols)
{
    TForm* form = NewSkinnedForm();
    ShowWindow(form->Handle(), SW_MAXIMIZE); // Restore enabled
    Pump(50);
    // The glyph columns as composed, compared with Move's, which has no symbol.
    std::map<std::string, std::vector<COLORREF>> column;
    auto* menus = dynamic_cast<TsSkinableMenus*>(manager->SkinMenus());
    menus->OnDrawItem = [&](TObject* s, TCanvas* c, const RECT& r, TOwnerDrawState, TsMenuItemType) {
        std::vector<COLORREF>& pixels = column[static_cast<TMenuItem*>(s)->Name()];
        for (int x = 0; x < 20; ++x)
            for (int y = 0; y < r.bottom; ++y)
                pixels.push_back(c->Pixel(x, y));
    };
    Open([](HWND) {});
    menus->OnDrawItem = nullptr;
    const auto differing = [&](const std::string& name) {
        int n = 0;
        for (size_t k = 0; k < column[name].size() && k < column["vxIM"].size(); ++k)
            n += column[name][k] != column["vxIM"][k];
        return n;
    };
    ASSERT_FALSE(column["vxIM"].empty());
    for (const char* name : {"vxIR", "vxIN", "vxIC"})
        EXPECT_GT(differing(name), 5) << name;
    EXPECT_EQ(differing("vxIS"), 0);
}

TEST_F(SystemMenu, ApplicationItemsStandBetweenDividersAndPostTheirCommand)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    AppendMenuA(GetSystemMenu(wnd, FALSE), MF_STRING, 0x120, "Kasse &sperren\tCtrl+L");
    provider->SystemMenu()->UpdateItems(true);
    EXPECT_EQ(provider->SystemMenu()->ApplicationItemCount(), 1);
    std::string items;
    Open([&](HWND m) { items = ItemsOf(m); });
    EXPECT_EQ(items, "~vxIR vxIM vxIS vxIN vxIX - Kasse &sperren - vxIC");
    TMenuItem* own = provider->SystemMenu()->Items()->Items(6);
    EXPECT_EQ(own->ShortCut(), TShortCut(scCtrl | 'L'));
    std::vector<WPARAM> commands;
    form->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_SYSCOMMAND) commands.push_back(m.WParam);
        inherited(m);
    });
    own->Click();
    EXPECT_TRUE(commands.empty()); // posted
    Pump(50);
    EXPECT_EQ(commands, (std::vector<WPARAM>{0x120}));

    // A form without a window menu gets an empty one.
    auto* plain = TForm::Create<TForm>(Application);
    plain->SetBorderIcons(0);
    provider = new TsSkinProvider(plain);
    plain->Show();
    Pump(50);
    EXPECT_EQ(provider->SystemMenu()->Items()->Count(), 0);
}

TEST_F(SystemMenu, WithoutSkinnedPopupsTheSystemsMenuShowsTheSameStates)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    std::vector<WPARAM> commands;
    form->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_SYSCOMMAND) commands.push_back(m.WParam);
        inherited(m);
    });
    manager->SetSkinnedPopups(false);
    ShowWindow(wnd, SW_MAXIMIZE);
    Pump(50);
    std::vector<bool> grey;
    bool skinned = true;
    Open([&](HWND m) {
        const HMENU menu = GetSystemMenu(wnd, FALSE);
        for (UINT c : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
            grey.push_back((GetMenuState(menu, c, MF_BYCOMMAND) & MF_GRAYED) != 0);
        skinned = GetPropA(m, "TilloraMenuOldProc") != nullptr;
    });
    // Size as the answers say, then greyed by the form's WM_INITMENUPOPUP of its window menu.
    EXPECT_EQ(grey, (std::vector<bool>{false, true, true, false, true, false}));
    EXPECT_FALSE(skinned);
    // The choice (Restore, by its key) comes back as the form's system command.
    TModalScript script({[](HWND m) { PostMessageA(m, WM_CHAR, 'r', 0); }});
    provider->ShowSystemMenu(200, 200);
    Pump(50);
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_RESTORE}));
    EXPECT_FALSE(IsZoomed(wnd));
}

TEST_F(SystemMenu, ItsInitialisationGreysSizeAndClearsThePopupFlagOfOtherMenus)
{
    TForm* form = NewSkinnedForm();
    const HWND wnd = form->Handle();
    const HMENU menu = GetSystemMenu(wnd, FALSE);
    EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_ENABLED);
    SendMessageA(wnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
    EXPECT_TRUE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
    auto* popup = new TPopupMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("Eins");
    popup->Items()->Add(item);
    TCanvas canvas;
    int w = 0, h = 0;
    dynamic_cast<TsSkinableMenus*>(manager->SkinMenus())->MeasureItem(item, canvas, w, h);
    EXPECT_TRUE(PopupItemMeasured());
    SendMessageA(wnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->Handle()), 0);
    EXPECT_FALSE(PopupItemMeasured());
}

// 45 skins in the skin folder, Probe and ProbeOther taking turns ("Haut01" is a Probe).
class SkinList : public SystemMenu {
protected:
    static void SetUpTestSuite()
    {
        SystemMenu::SetUpTestSuite();
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "TilloraSkinList";
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int i = 1; i <= 45; ++i) {
            const std::string skin = folder + "\\" + Name(i), from = skintest::SkinPath(i % 2 ? "Probe" : "ProbeOther");
            CreateDirectoryA(skin.c_str(), nullptr);
            for (const char* file : {"\\Options.dat", "\\Master.bmp"})
                CopyFileA((from + file).c_str(), (skin + file).c_str(), FALSE);
        }
    }
    static void TearDownTestSuite()
    {
        for (int i = 1; i <= 45; ++i) {
            const std::string skin = folder + "\\" + Name(i);
            DeleteFileA((skin + "\\Options.dat").c_str());
            DeleteFileA((skin + "\\Master.bmp").c_str());
            RemoveDirectoryA(skin.c_str());
        }
        RemoveDirectoryA(folder.c_str());
        SystemMenu::TearDownTestSuite();
    }
    static std::string Name(int i) { return std::string("Haut") + (i < 10 ? "0" : "") + std::to_string(i); }
    void SetUp() override
    {
        manager = new TsSkinManager(nullptr);
        manager->SetIsDefault(true);
        manager->SetSkinDirectory(folder);
        manager->SetSkinName(Name(1));
        ASSERT_TRUE(manager->SkinData.SkinLoaded);
    }
    static inline std::string folder;
};

TEST_F(SkinList, ComesFirstWithTheCurrentSkinCheckedAndANewColumnEvery20)
{
    TForm* form = NewSkinnedForm();
    TForm* other = NewSkinnedForm();
    provider->SetMakeSkinMenu(true);
    std::string first;
    int count = 0;
    std::vector<int> checked, breaks;
    bool radio = true;
    for (int open = 0; open < 2; ++open) // the list is made anew each time, its divider kept
        Open([&](HWND m) {
            first = ItemsOf(m);
            const auto menu = reinterpret_cast<HMENU>(SendMessageA(m, MN_GETHMENU, 0, 0));
            const HMENU list = GetSubMenu(menu, 0);
            count = GetMenuItemCount(list);
            checked.clear();
            breaks.clear();
            for (int k = 0; k < count; ++k) {
                MENUITEMINFOA info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
                GetMenuItemInfoA(list, static_cast<UINT>(k), TRUE, &info);
                if (info.fState & MFS_CHECKED) checked.push_back(k);
                if (info.fType & MFT_MENUBREAK) breaks.push_back(k);
                radio = radio && TMenuItem::FromData(info.dwItemData)->RadioItem();
            }
        });
    EXPECT_EQ(first, "SkinSelectItem - ~vxIR vxIM vxIS vxIN vxIX - vxIC");
    EXPECT_EQ(count, 45);
    EXPECT_EQ(checked, (std::vector<int>{0}));
    EXPECT_EQ(breaks, (std::vector<int>{20, 40}));
    EXPECT_TRUE(radio);
    EXPECT_EQ(provider->SystemMenu()->Items()->Items(0)->Caption(), "Available skins");

    // A click chooses the skin: every skinned window answers with its colour.
    const auto colour = [](TForm* f) { return SendMessageA(f->Handle(), SM_VELOCONCMD, SkinCommandWParam(21), 0); };
    const LRESULT before = colour(other);
    TMenuItem* entry = provider->SystemMenu()->Items()->Items(0)->Items(5);
    entry->SetCaption("&Haut&06");
    entry->Click();
    EXPECT_EQ(manager->SkinName(), "Haut06");
    EXPECT_NE(colour(other), before);
    EXPECT_NE(colour(form), before);
}

TEST_F(SkinList, AnEmptyListAddsNoItem)
{
    NewSkinnedForm();
    provider->SetMakeSkinMenu(true);
    manager->SetSkinDirectory(folder + "\\Haut01"); // holds no skin
    std::string items;
    Open([&](HWND m) { items = ItemsOf(m); });
    EXPECT_EQ(items, "~vxIR vxIM vxIS vxIN vxIX - vxIC");
}

TEST_F(SystemMenu, OpeningItTwoHundredTimesLeavesNoHandles)
{
    NewSkinnedForm();
    auto* menus = dynamic_cast<TsSkinableMenus*>(manager->SkinMenus());
    menus->OnDrawItem = [](TObject* s, TCanvas*, const RECT&, TOwnerDrawState, TsMenuItemType) {
        if (static_cast<TMenuItem*>(s)->Name() == "vxIC") EndMenu();
    };
    provider->ShowSystemMenu(200, 200);
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 200; ++i)
        provider->ShowSystemMenu(200, 200);
    EXPECT_EQ(THandleCount::Now(), before);
    EXPECT_EQ(TsSkinableMenus::MenuInfoCount(), 0);
    menus->OnDrawItem = nullptr;
}

} // namespace
