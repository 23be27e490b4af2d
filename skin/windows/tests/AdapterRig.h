// The rig of the control-adapter and button-adapter tests: the probe skin "Probe" in a default
// manager whose ThirdParty lists a test may set first, forms with a provider, raw windows on a
// plain form, and an
// adapted window printed (WM_PRINTCLIENT) into a bitmap of its size. The parent of a raw window
// on a plain form answers no background query: the adapters paint over the manager's global
// colour (GLOBALINFO's COLOR).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/Forms.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/tests/ProbeRig.h"

class TAdapterTest : public TAdapterProbeTest {
protected:
    using TLists = std::vector<std::pair<std::string, std::string>>;

    // The lists (published name, text) set, then the probe skin loaded and announced.
    void UseLists(const TLists& lists)
    {
        manager = NewDefaultManager();
        for (const auto& [name, text] : lists)
            manager->SetProperty("ThirdParty." + name, TPropValue::OfString(text));
        manager->Loaded();
        manager->SetSkinDirectory(skintest::SkinDirectory());
        manager->SetSkinName("Probe");
        ASSERT_TRUE(manager->SkinData.SkinLoaded);
    }
    // A borderless form with a provider (shown by the test once its controls are there).
    TForm* NewSkinnedForm()
    {
        auto* f = TForm::Create<TForm>(Application);
        f->SetBorderStyle(bsNone);
        f->SetBounds(100, 100, 320, 240);
        provider = new TsSkinProvider(f);
        return f;
    }
    HWND Raw(const char* cls, const char* text, DWORD style, int w, int h, DWORD exStyle = 0)
    {
        if (!form) form = NewForm(100, 100, 320, 240);
        return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, form->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    static SIZE SizeOf(HWND wnd)
    {
        RECT r{};
        GetWindowRect(wnd, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    // The window as its adapter paints it, over white (WM_PRINT for the adapters that print
    // through their paint).
    static std::unique_ptr<TBitmap> Print(HWND wnd, UINT msg = WM_PRINTCLIENT)
    {
        const SIZE s = SizeOf(wnd);
        auto bmp = std::make_unique<TBitmap>(s.cx, s.cy);
        PatBlt(bmp->Canvas().Handle(), 0, 0, s.cx, s.cy, WHITENESS);
        SendMessageA(wnd, msg, reinterpret_cast<WPARAM>(bmp->Canvas().Handle()), PRF_CLIENT);
        return bmp;
    }
    // Piece p of state s of a probe image.
    static COLORREF Piece(const char* section, const char* key, int state, int piece)
    {
        return static_cast<COLORREF>(skintest::ProbePiece(skintest::ProbeImage("Probe", section, key), state, piece));
    }
    static COLORREF Global() { return static_cast<COLORREF>(skintest::ProbeColors("Probe", "GLOBALINFO").Color); }
    // Rows (top, bottom) of the pixels in the area that differ from background; -1 for none.
    static std::pair<int, int> InkRows(TBitmap& b, const RECT& area, COLORREF background)
    {
        int top = -1, bottom = -1;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (b.Canvas().Pixel(x, y) != background) {
                    if (top < 0) top = y;
                    bottom = y + 1;
                    break;
                }
        return {top, bottom};
    }
    static int CountPixels(TBitmap& b, COLORREF color)
    {
        int n = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                n += b.Canvas().Pixel(x, y) == color;
        return n;
    }
    TForm* form = nullptr;
    TsSkinProvider* provider = nullptr;
};
