// The stage of the skinned-control tests under the probe skins (skin/engine/tests/TestSkins.h):
// the default manager, a visible form with a plain panel ("host", of a colour no probe section
// has), and the skin changes as the manager announces them to every form (commands 1, 16, 3;
// 2 on removal). Pixels are read as drawn, in a window's client or window DC.
//
//   UseSkin("Probe");
//   auto* edit = Place<TsEdit>(10, 10, 120, 24);
//   Settle();
//   EXPECT_EQ(ClientPixel(edit->Handle(), 100, 10), RGBOf(Colors("EDIT").Color));
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "skin/controls/sStart.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStart.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/windows/sConnect.h"
#include "tests/support/WindowProbes.h"

namespace probeform {

// The colours of the stage: no probe section has them.
constexpr TColor FormColor = 0x203040, HostColor = 0x604830;

inline COLORREF RGBOf(TColor c) { return ColorToRGB(c); }

// A pixel of a window's client area as drawn.
inline COLORREF ClientPixel(HWND wnd, int x, int y)
{
    const TWindowDC dc(wnd);
    return GetPixel(dc.get(), x, y);
}

// How many pixels of r (client coordinates) show exactly the colour.
inline int CountColor(HWND wnd, const RECT& r, COLORREF color)
{
    const TWindowDC dc(wnd);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += GetPixel(dc.get(), x, y) == color;
    return n;
}

class ProbeSkinned : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ConnectWindowSkinning();
        SkinEngineStart();
        SkinControlsStart();
    }
    static void TearDownTestSuite() { SkinEngineEnd(); }
    void SetUp() override
    {
        manager = new TsSkinManager(nullptr);
        manager->SetIsDefault(true);
        // The host forms stay plain: the window hook skins no form here.
        manager->SetSkinningRules(srStdDialogs | srThirdParty);
        form = new TForm(Application);
        form->SetBounds(20, 20, 460, 360);
        form->SetColor(FormColor);
        host = new TPanel(form);
        host->SetParent(form);
        host->SetBevelOuter(bvNone);
        host->SetBounds(0, 0, 440, 250); // the form shows below it
        host->SetColor(HostColor);
        form->HandleNeeded();
        form->Show();
    }
    void TearDown() override
    {
        Application->DestroyForms();
        delete manager;
    }
    // The probe skin loaded and announced to every form.
    void UseSkin(const std::string& name)
    {
        ASSERT_TRUE(manager->LoadSkinFromFolder(skintest::SkinPath(name))) << name;
        manager->SendNewSkin(true);
        Settle();
    }
    void RemoveSkin()
    {
        manager->SendRemoveSkin();
        Settle();
    }
    // Everything pending painted.
    void Settle()
    {
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Application->ProcessMessages();
    }
    // A control of class C on the host (or another parent).
    template <class C> C* Place(int left, int top, int width, int height, TWinControl* parent = nullptr)
    {
        auto* c = new C(form);
        c->SetParent(parent ? parent : host);
        c->SetBounds(left, top, width, height);
        return c;
    }
    skintest::TProbeColors Colors(const std::string& section, const std::string& skin = "Probe")
    {
        return skintest::ProbeColors(skin, section);
    }
    TsSkinManager* manager = nullptr;
    TForm* form = nullptr;
    TPanel* host = nullptr;
};

} // namespace probeform
