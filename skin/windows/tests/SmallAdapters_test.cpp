// The speed-button handler, the wwEdit combo adapter and the menu-window adapter with the probe
// skin, and attach/detach cycles of every adapter of non-scrolling windows without handle growth.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <type_traits>

#include "gui/Buttons.h"
#include "gui/ListCtrls.h"
#include "gui/base/Handles.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/tests/AdapterRig.h"
#include "skin/windows/vxBtnWnd.h"
#include "skin/windows/vxComboBoxWnd.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxMnuWnd.h"
#include "skin/windows/vxSizerWnd.h"
#include "skin/windows/vxSpeedButton.h"
#include "skin/windows/vxStaticWnd.h"
#include "tests/support/HandleCount.h"
#include "tests/support/ThemeRecorder.h"

namespace {

using SmallAdapters = TAdapterTest;

void CALLBACK EndMenuLater(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// A popup menu of one item opened at (x, y) and closed as soon as it is shown; idle(popup) runs
// while it shows. A thread timer closes it too, should the menu never go idle.
void OpenAndClose(HWND owner, TControl* ownerControl, const std::function<void(HWND)>& idle)
{
    TMenuHandle menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, 1, "Eins");
    const int hook = ownerControl->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_ENTERIDLE && m.WParam == MSGF_MENU) {
            idle(reinterpret_cast<HWND>(m.LParam));
            EndMenu();
        }
        inherited(m);
    });
    const UINT_PTR guard = SetTimer(nullptr, 0, 2000, &EndMenuLater);
    TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NOANIMATION, 150, 150, 0, owner, nullptr);
    KillTimer(nullptr, guard);
    ownerControl->UnhookWindowProc(hook);
}

// Attaches a menu-window adapter to every popup window made while it lives, as the window hook does.
class TMenuWindowHook {
public:
    TMenuWindowHook() { hook_ = SetWindowsHookExA(WH_CBT, &Proc, nullptr, GetCurrentThreadId()); }
    ~TMenuWindowHook() { UnhookWindowsHookEx(hook_); }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) AttachMenuWindow(reinterpret_cast<HWND>(wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_ = nullptr;
};

} // namespace

TEST_F(SmallAdapters, AFlatSpeedButtonCentresGlyphAndCaptionAsOneBlock)
{
    UseLists({{"ThirdSpeedButton", "TSpeedButton"}});
    TForm* f = NewSkinnedForm();
    auto* button = new TSpeedButton(f);
    button->SetBounds(10, 10, 60, 48);
    button->SetCaption("Bar");
    button->SetFlat(true);
    button->SetLayout(blGlyphTop);
    button->SetGroupIndex(1);
    auto glyph = CreateBmp24(16, 16);
    FillDC(glyph->Canvas().Handle(), TRect{0, 0, 16, 16}, static_cast<TColor>(RGB(10, 200, 30)));
    glyph->Canvas().SetPixel(0, 15, clFuchsia);
    button->SetGlyph(glyph.get());
    button->SetParent(f);
    f->Show();
    ASSERT_EQ(provider->CtrlAdapter()->GraphCount(), 1);

    // The caption measured as the handler measures it.
    auto probe = CreateBmp24(1, 1);
    probe->Canvas().Font() = button->Font();
    RECT text{0, 0, 255, 0};
    {
        TSelectGuard font(probe->Canvas().Handle(), probe->Canvas().Font().Handle());
        DrawTextStr(probe->Canvas().Handle(), "Bar", text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    }
    const int top = (48 - (16 + 4 + text.bottom)) / 2, left = (60 - 16) / 2;
    for (const bool down : {false, true}) {
        SCOPED_TRACE(down ? "down" : "up");
        button->SetDown(down);
        auto shot = CreateBmp24(60, 48);
        button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot->Canvas().Handle()));
        const int d = down ? 1 : 0;
        EXPECT_EQ(shot->Canvas().Pixel(30, 1), Piece("SPEEDBUTTON_SMALL", "BORDERSMASK", down ? 2 : 0, 1));
        EXPECT_EQ(shot->Canvas().Pixel(left + d + 8, top + d), RGB(10, 200, 30));
        EXPECT_NE(shot->Canvas().Pixel(left + d + 8, top + d - 1), RGB(10, 200, 30));
        EXPECT_EQ(shot->Canvas().Pixel(left + d + 15, top + d + 15), RGB(10, 200, 30));
        const skintest::TProbeColors colors = skintest::ProbeColors("Probe", "SPEEDBUTTON_SMALL");
        const auto middle = static_cast<COLORREF>(down ? colors.HotColor : colors.Color);
        const auto [inkTop, inkBottom] = InkRows(*shot, RECT{6, 4, 54, 44}, middle);
        EXPECT_EQ(inkTop, top + d) << "the glyph starts the block";
        EXPECT_LE(inkBottom, top + d + 16 + 4 + text.bottom) << "the caption ends it";
        EXPECT_GT(inkBottom, top + d + 16 + 4) << "the caption below the glyph";
    }
}

TEST_F(SmallAdapters, AWWEditComboOfTheSimpleStyleHasNoButton)
{
    UseLists({{"ThirdWWEdits", "TComboBox"}});
    TForm* f = NewSkinnedForm();
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    struct Row {
        TComboBoxStyle style;
        int width;
    };
    for (const Row& row : {Row{csSimple, 0}, Row{csDropDown, bar}, Row{csDropDownList, bar}}) {
        auto* combo = new TComboBox(f);
        combo->SetStyle(row.style);
        combo->SetBounds(10, 10, 150, 80);
        combo->SetParent(f);
        f->Show();
        auto* a = dynamic_cast<TvxWWComboBoxWnd*>(GetAdapterOfWindow(combo->Handle()));
        ASSERT_NE(a, nullptr) << row.style;
        const RECT r = a->GetButtonRect();
        EXPECT_EQ(r.right - r.left, row.width) << row.style;
        EXPECT_EQ(a->SkinData->SkinSection(), "EDIT");
        combo->Free();
    }
}

TEST_F(SmallAdapters, AnOpenPopupCarriesItsAdapterAndClosingTheLastOneEmptiesTheList)
{
    LoadProbeSkin("Probe");
    TForm* f = NewForm(100, 100, 200, 200);
    TMenuWindowHook hook;
    bool adapted = false;
    size_t listed = 0;
    OpenAndClose(f->Handle(), f, [&](HWND popup) {
        const TvxMainWnd* a = GetAdapterOfWindow(popup);
        adapted = a && a->InheritsFrom("TvxMnuWnd") && SendSkinCommand(popup, cmdIsSkinned, 0) == 1;
        listed = MenuWndList().size();
    });
    EXPECT_TRUE(adapted);
    EXPECT_EQ(listed, 1u);
    EXPECT_TRUE(MenuWndList().empty());

    // The popup window's life without the menu loop (a shown menu costs the display ~16 ms).
    const auto cycle = [] {
        const HWND popup = CreateWindowExA(0, MAKEINTATOM(32768), "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                           GetModuleHandleA(nullptr), nullptr);
        EXPECT_EQ(MenuWndList().size(), 1u);
        DestroyWindow(popup);
    };
    cycle();
    const THandleCount before = THandleCount::Now();
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_TRUE(MenuWndList().empty());
    EXPECT_EQ(THandleCount::Now(), before);
}

TEST_F(SmallAdapters, AttachingAndDetachingEachAdapterLeavesHandleCountsFlat)
{
    LoadProbeSkin("Probe");
    testrig::TThemeRecorder themes(false); // the system's theme switch is slow and not asked here
    struct Row {
        const char* cls;
        DWORD style;
        UINT print; // the message the adapter paints a print on
        std::function<TvxMainWnd*(HWND)> make;
    };
    const auto make = [this](auto tag) {
        using T = typename decltype(tag)::type;
        return [this](HWND wnd) -> TvxMainWnd* { return CreateAdapter<T>(wnd, nullptr, manager, "CHECKBOX", false); };
    };
    const Row rows[] = {
        {"BUTTON", BS_PUSHBUTTON, WM_PRINT, make(std::type_identity<TvxBtnWnd>{})},
        {"BUTTON", BS_PUSHBUTTON, WM_PRINT, make(std::type_identity<TvxBitBtnWnd>{})},
        {"BUTTON", BS_AUTOCHECKBOX, WM_PRINT, make(std::type_identity<TvxCheckBoxWnd>{})},
        {"BUTTON", BS_GROUPBOX, WM_PRINTCLIENT, make(std::type_identity<TvxGroupBoxWnd>{})},
        {"STATIC", SS_LEFT, WM_PRINTCLIENT, make(std::type_identity<TvxStaticWnd>{})},
        {"STATIC", SS_ICON, WM_PRINTCLIENT, make(std::type_identity<TvxIconWnd>{})},
        {"STATIC", SS_LEFT, WM_PRINTCLIENT, make(std::type_identity<TvxLinkWnd>{})},
        {"SCROLLBAR", SBS_SIZEGRIP, WM_PRINT, make(std::type_identity<TvxSizerWnd>{})},
    };
    std::vector<std::function<void()>> cycles;
    for (const Row& row : rows)
        cycles.push_back([&row, wnd = Raw(row.cls, "Text", row.style, 60, 24)] {
            TvxMainWnd* a = row.make(wnd);
            Print(wnd, row.print);
            delete a;
        });
    // The wwEdit combo (hidden: no frame change each time) and the speed-button handler.
    const HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 10, 10, 100, 80, form->Handle(),
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
    cycles.push_back([&] { delete CreateAdapter<TvxWWComboBoxWnd>(combo, nullptr, manager, "", false); });
    auto* button = new TSpeedButton(form);
    button->SetCaption("Bar");
    button->SetParent(form);
    TsCommonData link(nullptr, true);
    link.FOwnerControl = button;
    auto shot = CreateBmp24(23, 22);
    cycles.push_back([&] {
        auto* h = new TvxSpeedButtonHandler(button, false, "SPEEDBUTTON", nullptr, &link);
        button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot->Canvas().Handle()));
        delete h;
    });
    for (const auto& cycle : cycles)
        cycle();
    const THandleCount before = THandleCount::Now();
    for (const auto& cycle : cycles)
        for (int i = 0; i < 1000; ++i)
            cycle();
    EXPECT_EQ(THandleCount::Now(), before);
}
