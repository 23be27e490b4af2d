// The skin command message and background query on real windows, the package texts, and the
// engine's small platform routines.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sConst.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sPropUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStart.h"
#include "skin/engine/sSysUtils.h"
#include "skin/engine/vxSkinConvertor.h"

namespace {

class SkinEngine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SkinEngineStart(); }
    static void TearDownTestSuite() { SkinEngineEnd(); }
};

// A plain window (no skin): its background is white, its WM_PAINT draws a red square at
// (10,10)-(20,20), both into the DC that wParam carries.
LRESULT CALLBACK PlainParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (msg == WM_ERASEBKGND && dc) {
        RECT r{0, 0, 200, 200};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    if (msg == WM_PAINT && dc) {
        TBrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
        RECT r{10, 10, 20, 20};
        FillRect(dc, &r, red.get());
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

class TPlainWindow {
public:
    TPlainWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SkinTestPlainParent";
        RegisterClassA(&wc);
        wnd_ = CreateWindowExA(0, "SkinTestPlainParent", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    ~TPlainWindow() { DestroyWindow(wnd_); }
    HWND Handle() const { return wnd_; }

private:
    HWND wnd_;
};

// A 40 x 40 picture to paint into, grey at first.
class TTarget {
public:
    TTarget() : bitmap(40, 40)
    {
        RECT r{0, 0, 40, 40};
        TBrushHandle grey(CreateSolidBrush(RGB(128, 128, 128)));
        FillRect(bitmap.Canvas().Handle(), &r, grey.get());
    }
    HDC DC() { return bitmap.Canvas().Handle(); }
    COLORREF Pixel(int x, int y) { return GetPixel(DC(), x, y); }
    TBitmap bitmap;
};

// A windowed parent that may answer the colour query.
class TAnsweringPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    LRESULT colorAnswer = 0;
    bool answerBackground = false;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdGetBGColor && colorAnswer) {
            m.Result = colorAnswer;
            return;
        }
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdGetBGInfo && answerBackground) {
            auto* info = reinterpret_cast<TsBackgroundInfo*>(m.LParam);
            info->BgType = btCache;
            info->Offset = {3, 4};
            m.Result = 1;
            return;
        }
        TCustomControl::WndProc(m);
    }
};

int ticks = 0;
VOID CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }

} // namespace

TEST_F(SkinEngine, MessageNumberIsFixedAndCacheInfoFollowsTheAnswer)
{
    EXPECT_EQ(SM_VELOCONCMD, 0xA100u);
    EXPECT_EQ(SkinCommandWParam(cmdGetBGInfo), static_cast<WPARAM>(34u << 16));

    TBitmap bmp(4, 4);
    TsCacheInfo made = MakeCacheInfo(&bmp, 3, 5);
    EXPECT_EQ(made.Bmp, &bmp);
    EXPECT_EQ(made.X, 3);
    EXPECT_EQ(made.Y, 5);
    EXPECT_EQ(made.FillColor, clFuchsia);
    EXPECT_EQ(made.Ready, 1);

    TsBackgroundInfo info;
    info.Bmp = &bmp;
    info.Offset = {7, 8};
    info.BgType = btCache;
    TsCacheInfo fromBitmap = BackgroundToCacheInfo(info);
    EXPECT_EQ(fromBitmap.Bmp, &bmp);
    EXPECT_EQ(fromBitmap.X, 7);
    EXPECT_EQ(fromBitmap.Ready, 1);
    EXPECT_EQ(fromBitmap.FillColor, clFuchsia);

    info.BgType = btFill;
    info.Color = clBtnFace;
    TsCacheInfo fromColor = BackgroundToCacheInfo(info);
    EXPECT_EQ(fromColor.Bmp, nullptr);
    EXPECT_EQ(fromColor.Ready, 0);
    EXPECT_EQ(fromColor.X, 7);
    EXPECT_EQ(fromColor.Y, 8);
    EXPECT_EQ(fromColor.FillColor, static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(SkinEngine, TransparentSectionMixesWithTheDivisor256)
{
    // Section (200, 100, 0) over base (0, 100, 255) at 50 %: red (50 * -200 + 51200) >> 8 = 160,
    // green 100, blue 12750 >> 8 = 49.
    const TColor section = RGB(200, 100, 0), base = RGB(0, 100, 255);
    EXPECT_EQ(MixTransparentColor(50, section, base), static_cast<TColor>(RGB(160, 100, 49)));
    EXPECT_EQ(MixTransparentColor(0, section, base), section);
    EXPECT_EQ(MixTransparentColor(100, section, base), base);
    // 99 % of white over black: (99 * -255 + 65280) >> 8 = 156, not 2.55 as with a divisor of 100.
    EXPECT_EQ(MixTransparentColor(99, RGB(255, 255, 255), 0), static_cast<TColor>(RGB(156, 156, 156)));
}

TEST_F(SkinEngine, PlainParentWindowPaintsItselfAtTheChildsOffset)
{
    TPlainWindow parent;
    TTarget target;
    TsBackgroundInfo info;
    info.DrawDC = target.DC();
    info.Offset = {5, 5};
    info.R = {0, 0, 40, 40};
    info.PleaseDraw = 1;
    EXPECT_FALSE(GetParentBackgroundByHandle(info, parent.Handle(), true));
    EXPECT_EQ(info.BgType, btUnknown);
    EXPECT_EQ(info.R, (TRect{5, 5, 45, 45}));
    EXPECT_EQ(target.Pixel(4, 4), RGB(255, 255, 255)); // parent (9, 9): its background
    EXPECT_EQ(target.Pixel(5, 5), RGB(255, 0, 0));     // parent (10, 10): its painting
    EXPECT_EQ(target.Pixel(14, 14), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(15, 15), RGB(255, 255, 255));
    // The DC is back as it was.
    POINT origin{};
    GetViewportOrgEx(target.DC(), &origin);
    EXPECT_EQ(origin.x, 0);
}

TEST_F(SkinEngine, ParentWithoutAnswerGivesTheDefaultManagersColourOrButtonFace)
{
    TPlainWindow parent;
    ASSERT_EQ(DefaultManager(), nullptr);
    TsBackgroundInfo info;
    EXPECT_FALSE(GetParentBackgroundByHandle(info, parent.Handle(), false));
    EXPECT_EQ(info.BgType, btFill);
    EXPECT_EQ(info.Color, clBtnFace);

    TsSkinManager manager(nullptr);
    TsBackgroundInfo withManager;
    withManager.Color = clRed;
    EXPECT_FALSE(GetParentBackgroundByHandle(withManager, parent.Handle(), false));
    EXPECT_EQ(withManager.BgType, btFill);
    EXPECT_EQ(withManager.Color, manager.GetGlobalColor());
}

TEST_F(SkinEngine, ParentControlAnswersOrGivesItsColour)
{
    TForm* form = TForm::Create<TForm>(Application);
    auto* panel = new TAnsweringPanel(form);
    panel->SetParent(form);
    panel->SetColor(clRed);
    panel->HandleNeeded();

    TsBackgroundInfo info;
    EXPECT_FALSE(GetParentBackground(panel, info, false));
    EXPECT_EQ(info.BgType, btFill);
    EXPECT_EQ(info.Color, static_cast<TColor>(RGB(255, 0, 0)));

    panel->colorAnswer = 0x123456;
    EXPECT_FALSE(GetParentBackground(panel, info, false));
    EXPECT_EQ(info.Color, 0x123456);

    panel->answerBackground = true;
    EXPECT_TRUE(GetParentBackground(panel, info, false));
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Offset.Y, 4);
    delete form;
}

TEST_F(SkinEngine, PackageTextsComeFromTheStringTable)
{
    EXPECT_EQ(PackageText(sidMsgDlgOK), "OK");
    EXPECT_EQ(PackageText(sidMsgDlgHelp), "&Help");
    EXPECT_EQ(PackageText(sidClose), "Close");
    EXPECT_EQ(PackageText(sidInternal), "(internal)");
    EXPECT_EQ(PackageText(sidErrorSettingCount), "Error setting %s.Count");
    EXPECT_EQ(PackageText(sidColor), "Color");
    EXPECT_EQ(PackageText(sidColorDlgColor), "Color");
    EXPECT_EQ(PackageText(sidCreate), "Create");
    EXPECT_EQ(PackageText(58924), "Preview of the future hint window");
    for (int id : PackageTextIds)
        EXPECT_FALSE(PackageText(id).empty()) << id;
    EXPECT_EQ(PackageText(58900), "");
    EXPECT_EQ(sHScrollArrowWidth, GetSystemMetrics(SM_CXHSCROLL));
    EXPECT_STREQ(SkinBoolTexts[0], "FALSE");
    EXPECT_STREQ(SkinBoolTexts[1], "TRUE");

    // A string table without most of the ids: those texts are empty, the others are read.
    TLibraryHandle partial(
        LoadLibraryExA((AppPath() + "skin_partial_texts.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(partial);
    LoadPackageTexts(partial.get());
    EXPECT_EQ(PackageText(sidMsgDlgOK), "OK");
    EXPECT_EQ(PackageText(sidColor), "Farbe");
    EXPECT_EQ(PackageText(sidColorDlgColor), "");
    EXPECT_EQ(PackageText(sidClose), "");
    LoadPackageTexts(GetModuleHandleA(nullptr));
    EXPECT_EQ(PackageText(sidColorDlgColor), "Color");
}

TEST_F(SkinEngine, PlatformRoutines)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    EXPECT_EQ(AppPath(), ExtractFilePath(exe));
    EXPECT_EQ(AppPath().back(), '\\');

    NONCLIENTMETRICSA m{};
    m.cbSize = 340;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &m, 0));
    EXPECT_EQ(GetCaptionFontHeight(), m.lfCaptionFont.lfHeight);
    EXPECT_NE(GetCaptionFontHeight(), 0);
    TFontHandle font = CreateCaptionFont();
    ASSERT_TRUE(font);
    LOGFONTA lf{};
    GetObjectA(font.get(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, m.lfCaptionFont.lfHeight);
    EXPECT_STREQ(lf.lfFaceName, m.lfCaptionFont.lfFaceName);

    EXPECT_EQ(GetFileIcon(AppPath() + "missing.exe", 1), nullptr);
    auto icon = GetFileIcon(exe, 1);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Width(), GetSystemMetrics(SM_CXSMICON));

    // This x64 program does not run under WOW64, so the flag stays off.
    EXPECT_FALSE(IsWow64());
    EXPECT_FALSE(Win64NoComposition);

    // Delay handles the messages that arrive while it waits.
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, CountTick);
    const DWORD start = GetTickCount();
    Delay(100);
    KillTimer(nullptr, timer);
    EXPECT_GE(GetTickCount() - start, 100u);
    EXPECT_GE(ticks, 3);
}

TEST_F(SkinEngine, PublishedPropertiesByName)
{
    TForm* form = TForm::Create<TForm>(Application);
    EXPECT_TRUE(HasProperty(form, "Color"));
    EXPECT_TRUE(HasProperty(form, "borderIcons"));
    EXPECT_FALSE(HasProperty(form, "SkinSection"));
    EXPECT_FALSE(HasProperty(nullptr, "Color"));
    SetIntProp(form, "Tag", 42);
    EXPECT_EQ(form->Tag(), 42);
    SetIntProp(form, "Color", clRed);
    EXPECT_EQ(GetIntProp(form, "Color"), clRed);
    EXPECT_EQ(GetIntProp(form, "Missing"), -1);
    EXPECT_EQ(GetIntProp(form, "Font"), -1); // an object, not an ordinal
    EXPECT_EQ(GetObjProp(form, "Font"), &form->Font());
    EXPECT_EQ(GetObjProp(form, "Missing"), nullptr);
    SetIntProp(form, "Missing", 1); // nothing happens

    form->SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
    EXPECT_TRUE(IsInSetProp(form, "BorderIcons", "biMinimize"));
    EXPECT_FALSE(IsInSetProp(form, "BorderIcons", "biHelp"));
    ChangeSetProp(form, "BorderIcons", "biMinimize", false);
    EXPECT_EQ(form->BorderIcons(), biSystemMenu | biMaximize);
    ChangeSetProp(form, "BorderIcons", "biHelp", true);
    ChangeSetProp(form, "BorderIcons", "biHelp", true);
    EXPECT_EQ(form->BorderIcons(), biSystemMenu | biMaximize | biHelp);
    EXPECT_FALSE(IsInSetProp(form, "Color", "biHelp"));
    delete form;
}

TEST_F(SkinEngine, PackedSkinFileIsLoadedAndAMissingOneChangesNothing)
{
    std::unique_ptr<TvxSkinConvertor> convertor;
    LoadSkinFile(AppPath() + "missing.vtz", convertor, true);
    EXPECT_EQ(convertor, nullptr);

    LoadSkinFile(PACKED_SKIN_FILE, convertor, false);
    ASSERT_NE(convertor, nullptr);
    EXPECT_EQ(convertor->ImageCount, 3);
    ASSERT_NE(convertor->PackedData(), nullptr);
    TMemoryStream file;
    file.LoadFromFile(PACKED_SKIN_FILE);
    EXPECT_EQ(convertor->PackedData()->Size(), file.Size());
    TvxSkinConvertor* same = convertor.get();
    LoadSkinFile(AppPath() + "missing.vtz", convertor, true);
    EXPECT_EQ(convertor.get(), same);
    EXPECT_EQ(convertor->Files.size(), 3u);

    LoadSkinFile(PACKED_SKIN_FILE, convertor, true);
    EXPECT_EQ(convertor.get(), same);
    EXPECT_EQ(convertor->PackedData(), nullptr);
    ASSERT_EQ(convertor->Files.size(), 3u);
    EXPECT_EQ(convertor->Files[1].FileName, "Master.Bmp");
    EXPECT_TRUE(convertor->Files[1].IsBitmap);
}
