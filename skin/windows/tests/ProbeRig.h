// The rig of the fade and glow tests: window skinning connected, a probe skin in a new default
// manager, borderless forms; and TProbeControl, a skinned control (section "BUTTON", a cache)
// that answers the fade's commands as the skinned buttons do: 23 paints the cache in its
// state's colour (COLOR, HOTCOLOR, first FONTCOLOR), 24 writes down the frame's centre pixel
// and the window's before the frame (answering FrameAnswer), 16 writes down the window's
// centre pixel and stops the fade. While its fade runs it paints nothing itself.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStart.h"
#include "skin/engine/tests/TestSkins.h"
#include "skin/windows/sConnect.h"
#include "skin/windows/sFade.h"
#include "skin/windows/vxSBUtils.h"

// The window's size (its window rectangle).
inline SIZE WindowSize(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}
// The window as it prints itself (WM_PRINT, client and frame) into a white bitmap of its size.
inline std::unique_ptr<TBitmap> PrintedWindow(HWND wnd)
{
    const SIZE s = WindowSize(wnd);
    auto bmp = std::make_unique<TBitmap>(s.cx, s.cy);
    PatBlt(bmp->Canvas().Handle(), 0, 0, s.cx, s.cy, WHITENESS);
    SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas().Handle()), PRF_CLIENT | PRF_NONCLIENT);
    return bmp;
}

// The constant alphas of a title button's fade in (255 div 10 a tick, then 255) and out to 0.
inline std::vector<int> TitleFadeAlphas()
{
    std::vector<int> alphas;
    for (int i = 1; i < 10; ++i)
        alphas.push_back(25 * i);
    alphas.push_back(255);
    for (int i = 9; i >= 0; --i)
        alphas.push_back(25 * i);
    return alphas;
}

// A menu item's rectangle in the coordinates of the window that shows it (the form for a bar
// item, with owner = that form; the "#32768" window for a popup item, with owner = 0).
inline RECT MenuItemInWindow(HWND owner, HMENU menu, int position, HWND window)
{
    RECT r{}, w{};
    GetMenuItemRect(owner, menu, static_cast<UINT>(position), &r);
    GetWindowRect(window, &w);
    OffsetRect(&r, -w.left, -w.top);
    return r;
}

// An image list's new picture of one colour, size x size; its index.
inline int AddSolidImage(TCustomImageList& list, int size, COLORREF color)
{
    list.SetSize(size, size);
    TBitmap picture(size, size);
    FillDC(picture.Canvas().Handle(), TRect{0, 0, size, size}, static_cast<TColor>(color));
    return list.Add(&picture, nullptr);
}

class TProbeSkinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ConnectWindowSkinning();
        SkinEngineStart();
    }
    static void TearDownTestSuite() { SkinEngineEnd(); }
    void TearDown() override
    {
        Application->DestroyForms();
        delete manager;
    }
    // The rig's forms are plain hosts of the windows under test: the window hook leaves forms
    // alone (dialogs and popups it skins as ever).
    static TsSkinManager* NewDefaultManager()
    {
        auto* m = new TsSkinManager(nullptr);
        m->SetIsDefault(true);
        m->SetSkinningRules(srStdDialogs | srThirdParty);
        return m;
    }
    void LoadProbeSkin(const std::string& name)
    {
        manager = NewDefaultManager();
        ASSERT_TRUE(manager->LoadSkinFromFolder(skintest::SkinPath(name)));
    }
    // The probe skin chosen by name from the probe skins' folder (the way a program sets it).
    void UseProbeSkin(const std::string& name)
    {
        manager = NewDefaultManager();
        manager->SetSkinDirectory(skintest::SkinDirectory());
        manager->SetSkinName(name);
        ASSERT_TRUE(manager->SkinData.SkinLoaded);
    }
    TForm* NewForm(int left, int top, int width, int height)
    {
        auto* f = TForm::Create<TForm>(Application);
        f->SetBorderStyle(bsNone);
        f->SetBounds(left, top, width, height);
        f->Show();
        return f;
    }
    TsSkinManager* manager = nullptr;
};

// The rig with the window adapters' start (GetScrollBarInfo and the rest, vxSBUtils.h).
class TAdapterProbeTest : public TProbeSkinTest {
protected:
    static void SetUpTestSuite()
    {
        TProbeSkinTest::SetUpTestSuite();
        AdaptersStart();
    }
    static void TearDownTestSuite()
    {
        AdaptersEnd();
        TProbeSkinTest::TearDownTestSuite();
    }
};

class TProbeControl : public TCustomControl {
    GUI_CLASS(TProbeControl, TCustomControl)
    explicit TProbeControl(TComponent* owner) : TCustomControl(owner), Link(this, true)
    {
        Link.COC = 1;
        Link.SetSkinSection("BUTTON");
    }
    ~TProbeControl() override { StopFade(Fade); }

    TsCommonData Link;
    TsFadeTimer* Fade = nullptr;
    int State = 0; // 0 normal, 1 hot, 2 pressed
    LRESULT FrameAnswer = 0;
    std::vector<COLORREF> Frames, Shown;
    int Ends = 0;

    COLORREF StateColor(int state) const
    {
        const TsGeneralData& g = Link.GetSkinManager()->GeneralData[static_cast<size_t>(Link.SkinIndex)];
        return static_cast<COLORREF>(state == 0 ? g.Color : state == 1 ? g.HotColor : g.FontColor[1]);
    }
    // A change of state as a button makes it (press and release are fast).
    void Change(int state, bool fast)
    {
        State = state;
        Link.BGChanged = false;
        RepaintWithFade(Fade, &Link, fast, true, 1);
    }
    COLORREF WindowCentre() const
    {
        const TWindowDC dc(handle_);
        return GetPixel(dc.get(), Width() / 2, Height() / 2);
    }

protected:
    void WndProc(TMessage& m) override
    {
        const WORD command = m.Msg == SM_VELOCONCMD ? HIWORD(m.WParam) : 0;
        if (command == cmdRefreshCache) {
            PaintCache();
        } else if (command == cmdPaintFadeFrame) {
            auto* frame = reinterpret_cast<TBitmap*>(m.LParam);
            Frames.push_back(frame->Canvas().Pixel(frame->Width() / 2, frame->Height() / 2));
            Shown.push_back(WindowCentre());
            m.Result = FrameAnswer;
        } else if (command == cmdSkinChangeDone) {
            ++Ends;
            Shown.push_back(WindowCentre());
            StopFade(Fade);
        } else if (m.Msg != WM_ERASEBKGND && !HandleControlMessage(m, Link)) {
            TCustomControl::WndProc(m);
        }
    }
    void Paint(TCanvas& canvas) override
    {
        if (Fade && Fade->Enabled()) return;
        TBitmap& cache = *Link.FCacheBmp;
        if (Link.BGChanged || Link.CacheDirty || cache.Width() != Width()) PaintCache();
        BitBlt(canvas.Handle(), 0, 0, Width(), Height(), cache.Canvas().Handle(), 0, 0, SRCCOPY);
    }

private:
    void PaintCache()
    {
        Link.FCacheBmp->SetSize(Width(), Height());
        FillDC(Link.FCacheBmp->Canvas().Handle(), TRect{0, 0, Width(), Height()},
               static_cast<TColor>(StateColor(State)));
        Link.BGChanged = Link.CacheDirty = false;
    }
};
