// MDI main forms and their children: the client window, the children's list and the active
// child, tiling and cascading, closing (by message and by Ctrl+F4), and where a child's window
// is made.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "gui/Forms.h"
#include "gui/base/Exceptions.h"

namespace {

TForm* NewForm(TComponent* owner, TFormStyle style)
{
    auto* f = new TForm(owner);
    f->SetFormStyle(style);
    return f;
}

RECT ScreenRect(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Listed(const TForm* form)
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == form) return true;
    return false;
}

TEST(MDIForms, TheMainFormKeepsItsChildrenInsideItsClientWindow)
{
    TForm* main = NewForm(Application, fsMDIForm);
    main->SetBounds(40, 40, 640, 480);
    main->InitializeForm();
    main->Show();
    const HWND client = main->ClientHandle();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(GetParent(client), main->Handle());
    TForm* c[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = NewForm(main, fsMDIChild);
        c[i]->SetBounds(10 * i, 10 * i, 200, 150);
        c[i]->InitializeForm();
    }
    ASSERT_EQ(main->MDIChildCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(main->MDIChildren(i), c[i]);
        EXPECT_EQ(GetParent(c[i]->Handle()), client);
        EXPECT_TRUE(IsWindowVisible(c[i]->Handle()));
        EXPECT_TRUE(c[i]->FormState() & fsCreatedMDIChild);
    }
    EXPECT_EQ(main->ActiveMDIChild(), c[2]);
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(c[0]->Handle()), 0);
    EXPECT_EQ(main->ActiveMDIChild(), c[0]);
    // A child's place is in the client window's coordinates.
    const auto clientArea = [client] {
        RECT r{};
        GetClientRect(client, &r);
        MapWindowPoints(client, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT area = clientArea();
    c[1]->SetBounds(30, 20, 180, 120);
    EXPECT_EQ(ScreenRect(c[1]->Handle()).left - area.left, 30);
    EXPECT_EQ(c[1]->Left(), 30);

    for (const bool tile : {true, false}) {
        if (tile) main->Tile();
        else main->Cascade();
        Application->ProcessMessages();
        area = clientArea();
        std::vector<RECT> at;
        for (TForm* f : c)
            at.push_back(ScreenRect(f->Handle()));
        std::sort(at.begin(), at.end(), [](const RECT& a, const RECT& b) { return a.top + a.left < b.top + b.left; });
        for (size_t i = 0; i < at.size(); ++i) {
            EXPECT_TRUE(Inside(at[i], area)) << tile << i;
            RECT both;
            // Tiled side by side; cascaded each one further right and down.
            if (i == 0) continue;
            if (tile) {
                EXPECT_FALSE(IntersectRect(&both, &at[i - 1], &at[i])) << i;
            } else {
                EXPECT_TRUE(at[i - 1].left < at[i].left && at[i - 1].top < at[i].top) << i;
            }
        }
    }

    // Closed, a child is freed: the screen and its main form forget it.
    const int forms = Screen->FormCount();
    PostMessageA(c[1]->Handle(), WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(main->MDIChildCount(), 2);
    EXPECT_EQ(Screen->FormCount(), forms - 1);
    EXPECT_FALSE(Listed(c[1]));
    // Ctrl+F4 reaches the active child as SC_CLOSE through the message loop.
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(c[2]->Handle()), 0);
    BYTE keys[256], ctrl[256];
    GetKeyboardState(keys);
    std::copy(keys, keys + 256, ctrl);
    ctrl[VK_CONTROL] = ctrl[VK_LCONTROL] = 0x80;
    SetKeyboardState(ctrl);
    PostMessageA(c[2]->Handle(), WM_KEYDOWN, VK_F4, 0);
    Application->ProcessMessages();
    SetKeyboardState(keys);
    EXPECT_EQ(main->MDIChildCount(), 1);
    EXPECT_FALSE(Listed(c[2]));
    EXPECT_EQ(main->ActiveMDIChild(), c[0]);
    main->Free();
}

TEST(MDIForms, AChildIsMadeInsideItsMainFormOrNotAtAll)
{
    // The main form has no window yet: the child makes it first.
    TForm* main = NewForm(Application, fsMDIForm);
    TForm* child = NewForm(main, fsMDIChild);
    child->InitializeForm();
    ASSERT_TRUE(main->HandleAllocated());
    EXPECT_EQ(GetParent(child->Handle()), main->ClientHandle());
    main->Free();
    // Without an MDI main form it is refused, and no window is made on the desktop.
    ASSERT_TRUE(!Application->MainForm() || Application->MainForm()->FormStyle() != fsMDIForm);
    TForm* orphan = NewForm(Application, fsMDIChild);
    try {
        orphan->InitializeForm();
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Formular kann nicht erstellt werden. Zur Zeit sind keine MDI-Formulare aktiv");
    }
    EXPECT_FALSE(orphan->HandleAllocated());
    orphan->Free();
}

} // namespace
