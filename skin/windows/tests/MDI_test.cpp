// A skinned MDI main form: the companion and its client window's adapter, the pixels the client
// window shows, tiling and scrolling, the engine's MDI rows (broadcasts, freezing, the plain
// container bit, glows, aligned graphic children) and the handles of many children.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sMDIForm.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/tests/ProbeRig.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxMDIWnd.h"
#include "tests/support/HandleCount.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/WindowProbes.h"

namespace {

using testrig::TMessageSpy;

constexpr COLORREF Sentinel = RGB(1, 2, 3);

// What a window got of one message: the skin commands' codes, or the wParams.
std::vector<WPARAM> Got(const TMessageSpy& spy, UINT msg)
{
    std::vector<WPARAM> out;
    for (const auto& m : spy.Messages())
        if (m.Msg == msg) out.push_back(msg == SM_VELOCONCMD ? HIWORD(m.WParam) : m.WParam);
    return out;
}

// A 24-bit memory picture filled with the sentinel colour.
struct TPicture {
    TBitmap bmp;
    TPicture(int w, int h)
    {
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(w, h);
        FillDC(DC(), TRect{0, 0, w, h}, static_cast<TColor>(Sentinel));
    }
    HDC DC() { return bmp.Canvas().Handle(); }
    COLORREF At(int x, int y) { return GetPixel(DC(), x, y); }
};

class SkinnedMDI : public TAdapterProbeTest {
protected:
    void SetUp() override
    {
        UseProbeSkin("Probe");
        main = new TForm(Application);
        main->SetFormStyle(fsMDIForm);
        main->SetBounds(100, 80, 520, 400);
        main->InitializeForm();
        provider = new TsSkinProvider(main);
        main->Show();
        client = main->ClientHandle();
        MessageHost::Pump(100);
    }
    TForm* NewChild(TComponent* owner, int i, bool withProvider = false)
    {
        auto* c = new TForm(owner);
        c->SetFormStyle(fsMDIChild);
        c->SetBounds(12 * i, 12 * i, 180, 120);
        c->InitializeForm();
        if (withProvider) new TsSkinProvider(c);
        return c;
    }
    TvxMDIWnd* Adapter() const { return provider->MDIForm() ? provider->MDIForm()->MDIWnd : nullptr; }
    LRESULT Send(UINT msg, HDC dc, LPARAM lParam = 0) const
    {
        return SendMessageA(client, msg, reinterpret_cast<WPARAM>(dc), lParam);
    }
    COLORREF ImagePixel(int x, int y) const { return GetPixel(provider->FormImage()->Canvas().Handle(), x, y); }

    TForm* main = nullptr;
    TsSkinProvider* provider = nullptr;
    HWND client = nullptr;
};

TEST_F(SkinnedMDI, TheClientWindowIsAdaptedExactlyWhileTheFormIsSkinned)
{
    TvxMDIWnd* adapter = Adapter();
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(MDIMainProvider(), provider);
    EXPECT_EQ(GetPropA(client, "VXSBSC"), static_cast<TvxMainWnd*>(adapter));
    EXPECT_EQ(adapter->FormSkinData, &provider->SkinData());
    EXPECT_EQ(adapter->SkinData->SkinSection(), "CHECKBOX");
    // Connect twice: the one adapter, hooked once.
    const LONG_PTR proc = GetWindowLongPtrA(client, GWLP_WNDPROC);
    provider->MDIForm()->Connect();
    EXPECT_EQ(Adapter(), adapter);
    EXPECT_EQ(GetWindowLongPtrA(client, GWLP_WNDPROC), proc);

    manager->SetActive(false);
    EXPECT_EQ(provider->MDIForm(), nullptr);
    EXPECT_EQ(GetPropA(client, "VXSBSC"), nullptr);
    {
        // Unskinned, a companion connects nothing; it goes without more ado.
        TsMDIForm companion(provider);
        companion.ConnectToClient();
        EXPECT_EQ(companion.MDIWnd, nullptr);
    }
    EXPECT_EQ(GetPropA(client, "VXSBSC"), nullptr);
    manager->SetActive(true);
    ASSERT_NE(Adapter(), nullptr);
    EXPECT_EQ(GetPropA(client, "VXSBSC"), static_cast<TvxMainWnd*>(Adapter()));
    provider->Free();
    EXPECT_EQ(GetPropA(client, "VXSBSC"), nullptr);
    EXPECT_EQ(MDIMainProvider(), nullptr);
}

TEST_F(SkinnedMDI, TheClientWindowShowsTheFormImageUnderIt)
{
    // Stripes in the image tell every column of the top and every row below apart.
    main->OnPaint = [this](TObject*) {
        HDC dc = main->Canvas().Handle();
        for (int i = 0; i < 500; ++i) {
            TBrushHandle b(CreateSolidBrush(RGB(i & 0xFF, 200, i >> 8)));
            RECT r = i < 120 ? RECT{0, i, 600, i + 1} : RECT{i, 0, i + 1, 600};
            FillRect(dc, &r, b.get());
        }
    };
    provider->FlagImageChanged();
    provider->PaintAll();
    RECT wr{}, fr{};
    GetWindowRect(client, &wr);
    GetWindowRect(main->Handle(), &fr);
    const RECT area = Adapter()->AreaRect();
    EXPECT_EQ(area.left, wr.left - fr.left);
    EXPECT_EQ(area.top, wr.top - fr.top);
    const int w = area.right - area.left, h = area.bottom - area.top;
    // The erase DC lies inside the 2-pixel edge (WS_EX_CLIENTEDGE), a print DC at the corner.
    for (const auto& [msg, shift, answer] : {std::tuple{WM_ERASEBKGND, 2, 1}, std::tuple{WM_PRINT, 0, 0}}) {
        TPicture pic(w, h);
        EXPECT_EQ(Send(msg, pic.DC(), msg == WM_PRINT ? PRF_CLIENT : 0), answer);
        int wrong = 0, shifted = 0;
        for (int y = 0; y < h - 20; y += 3)
            for (int x = 0; x < w - 20; x += 3) {
                wrong += pic.At(x, y) != ImagePixel(area.left + shift + x, area.top + shift + y);
                shifted += pic.At(x, y) != ImagePixel(area.left + 2 - shift + x, area.top + 2 - shift + y);
            }
        EXPECT_EQ(wrong, 0) << msg;
        EXPECT_GT(shifted, 1000) << msg;
    }
    SendMessageA(client, WM_NCPAINT, 1, 0);
    for (const POINT p : {POINT{0, 100}, POINT{1, 60}, POINT{100, 0}, POINT{w - 1, 100}, POINT{100, h - 2}})
        EXPECT_EQ(testrig::WindowPixel(client, p.x, p.y), ImagePixel(area.left + p.x, area.top + p.y)) << p.x;

    // A maximised child covers the area: neither the edge nor the background is painted.
    TForm* child = NewChild(main, 1);
    SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
    {
        TPicture pic(w, h);
        EXPECT_EQ(Send(WM_ERASEBKGND, pic.DC()), 1);
        EXPECT_EQ(Send(WM_PRINT, pic.DC(), PRF_CLIENT), 0);
        EXPECT_EQ(pic.At(w / 2, h / 2), Sentinel);
        const TWindowDC dc(client, true);
        SetPixelV(dc.get(), 0, 100, Sentinel);
        EXPECT_EQ(SendMessageA(client, WM_NCPAINT, 1, 0), 1);
        EXPECT_EQ(GetPixel(dc.get(), 0, 100), Sentinel);
    }
    child->Free();
    // A skin without MDIAREA while the form may not repaint: the form's colour.
    manager->SetSkinName("ProbeBare");
    provider->SkinData().CtrlFlags |= cfPlainContainer;
    TPicture pic(w, h);
    EXPECT_EQ(Send(WM_ERASEBKGND, pic.DC()), 1);
    for (const POINT p : {POINT{0, 0}, POINT{w - 1, h - 1}, POINT{w / 2, h / 3}})
        EXPECT_EQ(pic.At(p.x, p.y), static_cast<COLORREF>(provider->FormColor()));
}

TEST_F(SkinnedMDI, TilingOrCascadingTakesTheSystemMenuOfTheActiveChild)
{
    TForm* c[3] = {NewChild(main, 0), NewChild(main, 1), NewChild(main, 2)};
    for (const bool tile : {true, false}) {
        for (TForm* f : c)
            SetWindowLongPtrA(f->Handle(), GWL_STYLE, GetWindowLongPtrA(f->Handle(), GWL_STYLE) | WS_SYSMENU);
        TMessageSpy frame(main->Handle());
        if (tile) main->Tile();
        else main->Cascade();
        for (TForm* f : c)
            EXPECT_EQ(!(GetWindowLongPtrA(f->Handle(), GWL_STYLE) & WS_SYSMENU), f == main->ActiveMDIChild()) << tile;
        EXPECT_GE(frame.Count(WM_NCPAINT), 1) << tile;
        SendMessageA(client, WM_MDINEXT, 0, 0);
    }
}

TEST_F(SkinnedMDI, AScrollStepRedrawsTheAreaExceptWhileTheThumbIsDragged)
{
    TForm* child = NewChild(main, 1);
    for (const auto& [code, redrawn] : {std::pair{SB_THUMBTRACK, false}, std::pair{SB_LINEDOWN, true}}) {
        MessageHost::Pump(50);
        TMessageSpy area(client), inside(child->Handle());
        SetCapture(client);
        SendScrollMessage(client, WM_VSCROLL, code, 0);
        EXPECT_EQ(Got(area, WM_SETREDRAW), (std::vector<WPARAM>{0, 1})) << code;
        EXPECT_EQ(inside.Count(WM_NCPAINT) > 0 && inside.Count(WM_ERASEBKGND) > 0, redrawn) << code;
        EXPECT_EQ(GetCapture() == client, !redrawn) << code;
        ReleaseCapture();
    }
}

TEST_F(SkinnedMDI, ABroadcastReachesEachChildOnceThroughTheClientWindow)
{
    // Plain children that the application owns: the forms' walk leaves them to the client.
    Application->SetMainForm(main);
    std::vector<std::unique_ptr<TMessageSpy>> spies;
    for (int i = 0; i < 3; ++i)
        spies.push_back(std::make_unique<TMessageSpy>(NewChild(Application, i)->Handle(), testrig::SkinCommandsOnly));
    TMessageSpy area(client, testrig::SkinCommandsOnly);
    TMessage m{SM_VELOCONCMD, SkinCommandWParam(cmdSkinChanged), reinterpret_cast<LPARAM>(manager), 0};
    BroadcastToForms(m);
    EXPECT_EQ(Got(area, SM_VELOCONCMD), (std::vector<WPARAM>{cmdSkinChanged}));
    for (const auto& spy : spies)
        EXPECT_EQ(Got(*spy, SM_VELOCONCMD), (std::vector<WPARAM>{cmdSkinChanged}));
    // A skin change freezes and thaws the main form, not its (skinned, listed) children.
    TMessageSpy frame(main->Handle()), first(NewChild(main, 3, true)->Handle()),
        second(NewChild(main, 4, true)->Handle());
    manager->SetSkinName("ProbeOther");
    const std::vector<WPARAM> redraws = Got(frame, WM_SETREDRAW);
    ASSERT_GE(redraws.size(), 2u);
    EXPECT_EQ(redraws.front(), 0u);
    EXPECT_EQ(redraws.back(), 1u);
    EXPECT_TRUE(Got(first, WM_SETREDRAW).empty());
    EXPECT_TRUE(Got(second, WM_SETREDRAW).empty());
}

// The owner window a glow was shown for.
HWND glowOwner = nullptr;
int RecordGlow(const TRect&, const TRect&, const std::string&, TsSkinManager*, HWND owner, int, int, const std::string&)
{
    glowOwner = owner;
    return 7;
}

TEST_F(SkinnedMDI, TheMainFormOwnsItsAreaItsChildrensGlowsAndItsAlignedLabels)
{
    // Its image holds the MDI area: never a plain container, unlike an ordinary skinned form.
    EXPECT_EQ(provider->SkinData().CtrlFlags & cfPlainContainer, 0);
    EXPECT_EQ((new TsSkinProvider(NewForm(600, 100, 200, 150)))->SkinData().CtrlFlags & cfPlainContainer,
              cfPlainContainer);
    // A control on a child glows over the main form.
    auto* probe = new TProbeControl(main);
    probe->SetParent(NewChild(main, 1));
    probe->SetBounds(10, 10, 60, 24);
    manager->SetSkinName("ProbeGlow");
    ASSERT_TRUE(manager->AllowGlowing());
    const auto realShow = std::exchange(WindowSkinningHooks().ShowGlow, &RecordGlow);
    probe->Link.MouseAbove = true;
    UpdateGlow(&probe->Link, false);
    WindowSkinningHooks().ShowGlow = realShow;
    probe->Link.GlowID = -1;
    EXPECT_EQ(glowOwner, main->Handle());
    // An aligned graphic child is brought up to date (command 18) before it is painted.
    auto* aligned = new TLabel(main);
    aligned->SetParent(main);
    aligned->SetAlign(alTop);
    auto* loose = new TLabel(main);
    loose->SetParent(main);
    loose->SetBounds(20, 60, 80, 20);
    TMessageSpy a(aligned, testrig::SkinCommandsOnly), l(loose, testrig::SkinCommandsOnly);
    TPicture pic(main->Width(), main->Height());
    PaintControls(pic.DC(), main, TPoint{0, 0});
    EXPECT_EQ(Got(a, SM_VELOCONCMD), (std::vector<WPARAM>{18}));
    EXPECT_TRUE(Got(l, SM_VELOCONCMD).empty());
}

// An icon of one colour (its mask lets every pixel through).
HICON SolidIcon(int size, COLORREF color)
{
    TBitmap picture(size, size);
    FillDC(picture.Canvas().Handle(), TRect{0, 0, size, size}, static_cast<TColor>(color));
    const HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, size, size, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info{TRUE, 0, 0, mask, picture.Handle()};
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    return icon;
}

class SkinnedMDIMenu : public SkinnedMDI {
protected:
    void SetUp() override
    {
        SkinnedMDI::SetUp();
        menu = new TMainMenu(main);
        for (const char* caption : {"Datei", "Fenster"}) {
            auto* item = new TMenuItem(main);
            item->SetCaption(caption);
            menu->Items()->Add(item);
            auto* sub = new TMenuItem(main);
            sub->SetCaption("Unterpunkt");
            item->Add(sub);
        }
        main->SetMenu(menu);
        MessageHost::Pump(50);
    }
    void Maximise(TForm* child)
    {
        SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
        MessageHost::Pump(50);
        provider->FlagImageChanged();
        provider->PaintAll();
    }
    // How many pixels of the image's square at (x, y) differ from the picture's.
    int Differences(int x, int y, int size, TPicture& expected) const
    {
        int n = 0;
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i)
                n += ImagePixel(x + i, y + j) != expected.At(i, j);
        return n;
    }
    TMainMenu* menu = nullptr;
};

TEST_F(SkinnedMDIMenu, AMaximisedChildsIconLeadsTheMenuLineAndTheItemsFollowIt)
{
    const COLORREF red = RGB(200, 10, 30);
    TForm* child = NewChild(main, 1, true);
    child->SetIcon(SolidIcon(16, red));
    TMenuItem* first = menu->Items()->Items(0);
    const int x = FrameWidth(main->Handle(), nullptr, false) + 1;
    provider->FlagImageChanged();
    provider->PaintAll();
    EXPECT_EQ(provider->MDIIconWidth(), 0);
    EXPECT_LT(provider->MenuItemImageRect(first).left, x + 2);

    Maximise(child);
    // Square, the menu line's height less 2, inside the place of the child's window menu.
    const int size = provider->MDIIconWidth(), y = provider->MenuLineTop() + 1;
    ASSERT_GT(size, 8);
    ASSERT_LE(size, provider->MenuHeight() - 2);
    TPicture icon(size, size);
    FillDC(icon.DC(), TRect{0, 0, size, size}, static_cast<TColor>(red));
    EXPECT_EQ(Differences(x, y, size, icon), 0);
    // The first item follows the child's window menu that the system put in front.
    const RECT shown = MenuItemInWindow(main->Handle(), GetMenu(main->Handle()), 0, main->Handle());
    EXPECT_EQ(shown.right, x + size);
    EXPECT_EQ(provider->MenuItemImageRect(first).left, shown.right);
    EXPECT_GT(provider->MenuItemImageRect(menu->Items()->Items(1)).left, provider->MenuItemImageRect(first).left);

    // A new skin makes a new menu bar: the child's window menu goes into it.
    manager->SetActive(false);
    manager->SetActive(true);
    MessageHost::Pump(50);
    EXPECT_EQ(provider->MenuBarShift(), 1);
    EXPECT_TRUE(IsMenu(GetSystemMenu(child->Handle(), FALSE)));
    EXPECT_EQ(provider->MenuItemImageRect(first).left, shown.right);

    // A child without an icon: the application's, else the system's.
    child->SetIcon(nullptr);
    provider->FlagImageChanged();
    provider->PaintAll();
    HICON fallback = Application->AppWindowMade()
                         ? reinterpret_cast<HICON>(SendMessageA(Application->AppWindow(), WM_GETICON, ICON_SMALL2, 0))
                         : nullptr;
    if (!fallback) fallback = LoadIconA(nullptr, IDI_APPLICATION);
    // Drawn over the menu line as painted before the icon.
    TPicture system(size, size);
    ASSERT_NE(provider->MenuLineBackground(), nullptr);
    BitBlt(system.DC(), 0, 0, size, size, provider->MenuLineBackground()->Canvas().Handle(), x, 1, SRCCOPY);
    DrawIconEx(system.DC(), 0, 0, fallback, size, size, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(Differences(x, y, size, system), 0);
}

TEST_F(SkinnedMDIMenu, TheChildsButtonsOfTheMenuLineActOnTheActiveChild)
{
    // The small images (12 x 12 in the probe skin); the line does not place them.
    TsSkinManager* m = manager;
    const int global = m->CommonIndexes.GlobalInfo;
    EXPECT_EQ(provider->MDIButton(htMDIMinimise)->ImageIndex, m->GetMaskIndex(global, "GLOBALINFO", "SICONMIN"));
    EXPECT_EQ(provider->MDIButton(htMDIRestore)->ImageIndex, m->GetMaskIndex(global, "GLOBALINFO", "SICONMAX"));
    EXPECT_EQ(provider->MDIButton(htMDIClose)->ImageIndex, m->GetMaskIndex(global, "GLOBALINFO", "SICONCLOSE"));
    EXPECT_EQ(provider->MDIButtonWidth(), 12);
    EXPECT_EQ(provider->MDIButtonHeight(), 12);
    for (const int code : {htMDIMinimise, htMDIRestore, htMDIClose}) {
        TForm* child = NewChild(main, 1, true);
        Maximise(child);
        const HWND wnd = child->Handle();
        SendMessageA(main->Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(code), 0);
        SendMessageA(main->Handle(), WM_NCLBUTTONUP, static_cast<WPARAM>(code), 0);
        Application->ProcessMessages(); // a closed child is freed
        EXPECT_FALSE(IsZoomed(wnd)) << code;
        EXPECT_EQ(IsWindow(wnd) != 0, code != htMDIClose) << code;
        EXPECT_EQ(IsWindow(wnd) && IsIconic(wnd), code == htMDIMinimise) << code;
        EXPECT_EQ(provider->RedrawOffCount(), 0) << code;
        if (IsWindow(wnd)) child->Free();
    }
}

TEST_F(SkinnedMDI, AMaximisedChildPaintsItsFrameAndHidesItsNeighbours)
{
    TForm* back = NewChild(main, 0, true);
    TForm* front = NewChild(main, 1, true);
    SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(front->Handle()), 0);
    MessageHost::Pump(50);
    ASSERT_EQ(main->ActiveMDIChild(), front);
    ASSERT_TRUE(IsZoomed(front->Handle()));
    EXPECT_TRUE(provider->ChildMaximised());
    for (TForm* f : {front, back}) {
        TsSkinProvider* p = TsSkinProvider::Of(f);
        p->FlagImageChanged();
        SendMessageA(f->Handle(), WM_NCPAINT, 1, 0);
        // The front child's image is made for its window; the hidden one paints nothing.
        EXPECT_EQ(p->SkinData().BGChanged, f == back);
        if (f == front) {
            EXPECT_EQ(p->FormImage()->Width(), front->Width());
            EXPECT_EQ(p->FormImage()->Height(), front->Height());
        }
    }
}

TEST_F(SkinnedMDI, RestoringAMaximisedChildGivesBothFormsTheirPaintingBack)
{
    for (const bool providerGoes : {false, true}) {
        TForm* child = NewChild(main, 1, true);
        // Maximised from its own title: shown again, the child that painted last.
        SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        MessageHost::Pump(50);
        ASSERT_TRUE(IsZoomed(child->Handle()));
        EXPECT_NE(GetWindowLongPtrA(child->Handle(), GWL_STYLE) & WS_VISIBLE, 0);
        EXPECT_EQ(LastPaintedMDIChild(), TsSkinProvider::Of(child));
        // The child's provider may go while the child's own procedure restores it.
        if (providerGoes)
            child->OnResize = [child](TObject*) {
                if (TsSkinProvider* p = TsSkinProvider::Of(child)) p->Free();
            };
        SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(IsZoomed(child->Handle())) << providerGoes;
        EXPECT_NE(GetWindowLongPtrA(main->Handle(), GWL_STYLE) & WS_VISIBLE, 0) << providerGoes;
        EXPECT_NE(GetWindowLongPtrA(child->Handle(), GWL_STYLE) & WS_VISIBLE, 0) << providerGoes;
        EXPECT_EQ(provider->RedrawOffCount(), 0) << providerGoes;
        EXPECT_FALSE(provider->SkinData().Updating) << providerGoes;
        EXPECT_EQ(TsSkinProvider::Of(child) == nullptr, providerGoes);
        // The restored child draws no system buttons of its own.
        if (!providerGoes) {
            EXPECT_EQ(GetWindowLongPtrA(child->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
        }
        child->OnResize = nullptr;
        child->Free();
        MessageHost::Pump(20);
    }
}

TEST_F(SkinnedMDI, AChildsOutlineDragMovesItInsideItsMainForm)
{
    TForm* child = NewChild(main, 1, true);
    TsSkinProvider* p = TsSkinProvider::Of(child);
    p->ResizeMode = rmBorder;
    RECT before{}, after{};
    GetWindowRect(child->Handle(), &before);
    p->BeginOutlineDrag(before.left + 40, before.top + 10, true);
    p->DrawOutline(before.left + 70, before.top + 30);
    p->EndOutlineDrag(before.left + 70, before.top + 30, false);
    GetWindowRect(child->Handle(), &after);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 20);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(SkinnedMDI, AChildsCoverLiesOverItsTitleOrTheMainFormsWhenMaximised)
{
    TForm* child = NewChild(main, 1);
    // The cover as it is while the child's own procedure takes the new text.
    struct {
        TForm* covered = nullptr;
        RECT rect{};
        bool shown = false, aboveMain = false;
    } seen;
    child->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_SETTEXT)
            for (TForm* f : {child, main})
                if (TsSkinProvider* p = TsSkinProvider::Of(f); p && p->CoverWindow()) {
                    seen.covered = f;
                    GetWindowRect(p->CoverWindow(), &seen.rect);
                    seen.shown = IsWindowVisible(p->CoverWindow()) != 0;
                    for (HWND w = GetWindow(p->CoverWindow(), GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
                        seen.aboveMain = seen.aboveMain || w == main->Handle();
                }
        inherited(m);
    });
    new TsSkinProvider(child);
    NewChild(main, 2); // a neighbour in front of it
    MessageHost::Pump(50);
    for (const bool maximised : {false, true}) {
        if (maximised) SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
        MessageHost::Pump(50);
        seen = {};
        child->SetCaption(maximised ? "Beleg 3" : "Beleg 2");
        TForm* covered = maximised ? main : child;
        RECT r{};
        GetWindowRect(covered->Handle(), &r);
        ASSERT_EQ(seen.covered, covered) << maximised;
        EXPECT_TRUE(seen.shown) << maximised;
        EXPECT_TRUE(seen.aboveMain) << maximised;
        EXPECT_EQ(seen.rect.left, r.left);
        EXPECT_EQ(seen.rect.top, r.top);
        EXPECT_EQ(seen.rect.right, r.right);
        EXPECT_EQ(seen.rect.bottom - seen.rect.top, TsSkinProvider::Of(covered)->TopAreaHeight());
        EXPECT_EQ(TsSkinProvider::Of(covered)->CoverWindow(), nullptr);
    }
}

TEST_F(SkinnedMDI, TheImageUnderTheClientWindowIsTheMDIAreasSection)
{
    const RECT area = Adapter()->AreaRect();
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    for (const char* skin : {"Probe", "ProbeBare"}) {
        manager->SetSkinName(skin);
        MessageHost::Pump(20);
        provider->FlagImageChanged();
        provider->PaintAll();
        // Without the section the form's own background (the active form's colour) shows.
        const int section = manager->GetSkinIndex("MDIAREA");
        const TColor expected =
            section >= 0 ? manager->GeneralData[static_cast<size_t>(section)].Color : provider->FormColor();
        EXPECT_EQ(section >= 0, std::string(skin) == "Probe");
        EXPECT_EQ(ImagePixel(cx, cy), static_cast<COLORREF>(ColorToRGB(expected))) << skin;
    }
}

TEST_F(SkinnedMDI, TheWindowHookGivesChildrenMadeOrActivatedInsideTheMainFormTheirProviders)
{
    const auto getProvider = [](TForm* f) { return SendSkinCommand(f->Handle(), cmdGetProvider, 0); };
    // The third child is made while the rules leave forms plain; it is skinned when activated.
    TForm* late = NewChild(main, 3);
    EXPECT_EQ(getProvider(late), 0);
    manager->SetSkinningRules(srStdForms | srStdDialogs | srThirdParty);
    const std::vector<TForm*> children = {NewChild(main, 1), NewChild(main, 2), late};
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(late->Handle()), 0);
    MessageHost::Pump(50);
    EXPECT_EQ(LiveProviderCount(), 3);
    for (TForm* c : children) {
        TsSkinProvider* p = TsSkinProvider::Of(c);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(getProvider(c), reinterpret_cast<LRESULT>(p));
        // The frame on the screen is the provider's image (the corners are the skin region's).
        RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        for (const POINT pt : {POINT{c->Width() / 2, 2}, POINT{2, c->Height() / 2}})
            EXPECT_EQ(testrig::WindowPixel(c->Handle(), pt.x, pt.y),
                      GetPixel(p->FormImage()->Canvas().Handle(), pt.x, pt.y))
                << pt.x << "," << pt.y;
    }
    manager->SetActive(false);
    EXPECT_EQ(LiveProviderCount(), 0);
    for (TForm* c : children)
        EXPECT_EQ(getProvider(c), 0);
}

TEST_F(SkinnedMDI, TheSnapshotOfTheMainFormShowsItsChildrenAtTheirPlaces)
{
    TForm* back = NewChild(main, 1, true);
    TForm* front = NewChild(main, 4, true);
    MessageHost::Pump(50);
    TBitmap* image = provider->FormImage();
    TPicture snapshot(image->Width(), image->Height());
    PaintControlToBitmap(&snapshot.bmp, main, 0, 0, provider);
    RECT fr{};
    GetWindowRect(main->Handle(), &fr);
    POINT origin{0, 0};
    ClientToScreen(client, &origin);
    const int cx = origin.x - fr.left, cy = origin.y - fr.top;
    // The front child lies over the back one where they overlap (from 48, 48 in the client).
    for (const auto& [child, pt] : {std::pair{back, POINT{5, 5}}, std::pair{back, POINT{30, 100}},
                                    std::pair{front, POINT{5, 5}}, std::pair{front, POINT{90, 60}}}) {
        EXPECT_EQ(snapshot.At(cx + child->Left() + pt.x, cy + child->Top() + pt.y),
                  GetPixel(TsSkinProvider::Of(child)->FormImage()->Canvas().Handle(), pt.x, pt.y))
            << pt.x << "," << pt.y;
    }
}

TEST_F(SkinnedMDI, WithExtendedBordersTheClientWindowPrintsNothing)
{
    manager->SetSkinName("ProbeShadow");
    manager->SetExtendedBorders(true);
    provider->SetAllowExtBorders(true);
    MessageHost::Pump(50);
    ASSERT_NE(provider->BorderForm(), nullptr);
    ASSERT_NE(Adapter(), nullptr);
    const RECT area = Adapter()->AreaRect();
    TPicture pic(area.right - area.left, area.bottom - area.top);
    EXPECT_EQ(Send(WM_PRINT, pic.DC(), PRF_CLIENT | PRF_NONCLIENT), 0);
    for (const POINT p : {POINT{0, 0}, POINT{40, 30}, POINT{pic.bmp.Width() - 1, pic.bmp.Height() - 1}})
        EXPECT_EQ(pic.At(p.x, p.y), Sentinel) << p.x;
}

TEST_F(SkinnedMDI, AThousandChildrenOpenedAndClosedLeaveNoHandleBehind)
{
    // Maximised and normal in turn, half of them with providers of their own.
    const auto cycle = [this](int i) {
        TForm* child = NewChild(main, i % 8, i % 4 < 2);
        if (i % 2) SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
        child->Free();
        if (i % 50 == 0) Application->ProcessMessages();
    };
    cycle(1);
    cycle(2);
    MessageHost::Pump(100);
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle(i);
    MessageHost::Pump(100);
    EXPECT_EQ(THandleCount::Now(), before);
    EXPECT_EQ(main->MDIChildCount(), 0);
    EXPECT_NE(Adapter(), nullptr);
}

} // namespace
