// Painting through a control's skin link with the colour-coded Masks test skin: the link's
// section, state, textures and border image over a given or asked background, the transparent
// corners filled from the parent, and the control's text in the colours of its section or of
// an opaque parent's.
#include "skin/engine/sLinkPaint.h"

#include <gtest/gtest.h>

#include <set>

#include "gui/Forms.h"
#include "gui/base/MemIniFile.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tests/PaintBitmaps.h"
#include "skin/engine/tests/TestSkins.h"

using namespace painttest;
using namespace skintest;
using testskins::TestColor;

namespace {

// A windowed parent that answers the background query with a bitmap at an offset, or not at
// all (then its colour is taken).
class TBackgroundPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    TBitmap* answer = nullptr;
    TPoint answerOffset;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdGetBGInfo && answer) {
            auto* info = reinterpret_cast<TsBackgroundInfo*>(m.LParam);
            info->BgType = btCache;
            info->Bmp = answer;
            info->Offset = answerOffset;
            m.Result = 1;
            return;
        }
        TCustomControl::WndProc(m);
    }
};

class LinkPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m.LoadSkinFromFolder(SkinPath("Masks")));
        button = m.GetSkinIndex("BUTTON"); // COLOR D8D8D8, border image 2 (masked, middle), corner 17
        link.Manager = &m;
        link.SkinIndex = button;
        link.BorderIndex = Section().BorderIndex;
    }
    void TearDown() override { delete form; }
    TsGeneralData& Section() { return m.GeneralData.at(static_cast<size_t>(button)); }
    TBackgroundPanel* Parent(TColor colour)
    {
        form = TForm::Create<TForm>(Application);
        auto* panel = new TBackgroundPanel(form);
        panel->SetParent(form);
        panel->SetColor(colour);
        panel->HandleNeeded();
        return panel;
    }
    TsSkinManager m{nullptr};
    int button = -1;
    TsLinkFields link;
    TForm* form = nullptr;
};
} // namespace

TEST_F(LinkPaint, ItemOverACacheAtTheOffsetWithBorderCornersAndFilling)
{
    Section().Transparency = 100;
    Section().HotTransparency = 100;
    auto parent = Coded(80, 60);
    auto b = Filled(60, 30);
    PaintItem(link, MakeCacheInfo(parent.get(), 3, 4), true, 0, b.get(), TPoint{5, 6}, TRect{0, 0, 60, 30});
    EXPECT_EQ(Px(*b, 0, 0), RGB(8, 10, 9));    // the cache at 3 + 5, 4 + 6
    EXPECT_EQ(Px(*b, 59, 29), RGB(67, 39, 9)); // (8 + 59, 10 + 29)
    EXPECT_EQ(Px(*b, 1, 1), TestColor(17, 0, 4));
    EXPECT_EQ(Px(*b, 10, 1), TestColor(2, 0, 1));
    EXPECT_EQ(Px(*b, 30, 15), TestColor(2, 0, 4));
    EXPECT_EQ(Px(*b, 58, 28), TestColor(2, 0, 8));

    b = Filled(60, 30);
    PaintItem(link, MakeCacheInfo(parent.get(), 0, 0), false, 1, b.get(), TPoint{}, TRect{0, 0, 60, 30});
    EXPECT_EQ(Px(*b, 10, 1), TestColor(2, 1, 1)); // the hot frame
    EXPECT_EQ(Px(*b, 30, 15), RGB(30, 15, 9));    // no middle without filling

    TsLinkFields none = link;
    none.SkinIndex = -1;
    b = Filled(60, 30);
    PaintItem(none, MakeCacheInfo(parent.get(), 0, 0), true, 0, b.get(), TPoint{}, TRect{0, 0, 60, 30});
    none = link;
    none.Manager = nullptr;
    PaintItem(none, MakeCacheInfo(parent.get(), 0, 0), true, 0, b.get(), TPoint{}, TRect{0, 0, 60, 30});
    EXPECT_EQ(Px(*b, 10, 1), Back);
}

TEST_F(LinkPaint, BackgroundTakesTheLinksStateTexturesAndParentColour)
{
    TsGeneralData& s = Section();
    s.Transparency = 100;
    s.HotTransparency = 0;
    s.HotColor = static_cast<TColor>(RGB(9, 8, 7));
    auto b = Filled(20, 20);
    TsCacheInfo noColour; // not ready, no fill colour
    link.ParentColor = static_cast<TColor>(RGB(1, 2, 3));
    PaintItemBackground(link, noColour, b.get(), TRect{2, 2, 18, 18});
    EXPECT_EQ(Px(*b, 5, 5), RGB(1, 2, 3));
    EXPECT_EQ(Px(*b, 1, 1), Back);
    TsCacheInfo given;
    given.FillColor = static_cast<TColor>(RGB(4, 5, 6)); // a fill colour of its own stays
    PaintItemBackground(link, given, b.get(), TRect{2, 2, 18, 18});
    EXPECT_EQ(Px(*b, 5, 5), RGB(4, 5, 6));
    link.State = 1;
    PaintItemBackground(link, given, b.get(), TRect{2, 2, 18, 18});
    EXPECT_EQ(Px(*b, 5, 5), RGB(9, 8, 7));

    // The link's texture: COMBOBTN's PATTERN (image 11, 16 x 16, tiled in mode 0).
    s.Transparency = 0;
    s.ImagePercent = 100;
    link.State = 0;
    link.Texture = m.GetMaskIndexByName("COMBOBTN", "PATTERN");
    ASSERT_GE(link.Texture, 0);
    b = Filled(40, 40);
    PaintItemBackground(link, given, b.get(), TRect{0, 0, 40, 40});
    EXPECT_EQ(Px(*b, 5, 5), TestColor(11, 0, 4));
    EXPECT_EQ(Px(*b, 21, 21), TestColor(11, 0, 4));
}

TEST_F(LinkPaint, ItemOnTheParentsBitmapOrColour)
{
    Section().Transparency = 100;
    TBackgroundPanel* panel = Parent(clRed);
    auto parent = Coded(100, 100);
    panel->answer = parent.get();
    panel->answerOffset = TPoint{3, 4};
    link.Parent = panel;
    link.Position = TPoint{10, 20};
    auto b = Filled(60, 30);
    PaintItemOnParentBackground(link, true, 0, b.get(), TPoint{1, 2}, TRect{0, 0, 60, 30});
    EXPECT_EQ(Px(*b, 0, 0), RGB(14, 26, 9)); // 3 + 10 + 1, 4 + 20 + 2
    EXPECT_EQ(Px(*b, 10, 1), TestColor(2, 0, 1));

    panel->answer = nullptr; // no answer: the parent's colour
    b = Filled(60, 30);
    PaintItemOnParentBackground(link, true, 0, b.get(), TPoint{}, TRect{0, 0, 60, 30});
    EXPECT_EQ(Px(*b, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Px(*b, 30, 15), TestColor(2, 0, 4));

    link.Parent = nullptr; // no parent: the link's parent colour
    link.ParentColor = static_cast<TColor>(RGB(1, 2, 3));
    PaintItemOnParentBackground(link, true, 0, b.get(), TPoint{}, TRect{0, 0, 60, 30});
    EXPECT_EQ(Px(*b, 0, 0), RGB(1, 2, 3));
}

TEST_F(LinkPaint, ParentCornersFillOnlyTheTransparentPixels)
{
    // GAUGE's border image: widths 12, 8, 12, 8; each corner piece transparent at its outer pixel.
    link.BorderIndex = m.GetMaskIndexByName("GAUGE", "BordersMask");
    ASSERT_GE(link.BorderIndex, 0);
    auto cache = Filled(40, 30, RGB(255, 255, 255));
    link.CacheBmp = cache.get();
    FillParentCorners(link, 0); // no parent: nothing
    EXPECT_EQ(Px(*cache, 0, 0), RGB(255, 255, 255));

    TBackgroundPanel* panel = Parent(clLime);
    auto parent = Coded(100, 100);
    panel->answer = parent.get();
    panel->answerOffset = TPoint{3, 4};
    link.Parent = panel;
    link.Position = TPoint{10, 20};
    FillParentCorners(link, 0);
    const struct {
        int x, y;
        COLORREF expected;
    } cases[] = {
        {0, 0, RGB(13, 24, 9)},       {39, 0, RGB(52, 24, 9)},      {0, 29, RGB(13, 53, 9)},
        {39, 29, RGB(52, 53, 9)},     {1, 0, RGB(255, 255, 255)},   {0, 1, RGB(255, 255, 255)},
        {38, 29, RGB(255, 255, 255)}, {20, 15, RGB(255, 255, 255)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Px(*cache, c.x, c.y), c.expected) << c.x << "," << c.y;

    panel->answer = nullptr; // the parent's colour
    FillParentCorners(link, 1);
    EXPECT_EQ(Px(*cache, 39, 0), RGB(0, 255, 0));
    EXPECT_EQ(Px(*cache, 38, 0), RGB(255, 255, 255));
    link.BorderIndex = -1;
    FillDC(cache->Canvas().Handle(), TRect{0, 0, 40, 30}, clWhite);
    FillParentCorners(link, 0);
    EXPECT_EQ(Px(*cache, 0, 0), RGB(255, 255, 255));
}

namespace {
std::set<COLORREF> ColoursOf(TBitmap& b)
{
    std::set<COLORREF> s;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            s.insert(b.Canvas().Pixel(x, y));
    return s;
}

class LinkText : public ::testing::Test {
protected:
    void SetUp() override
    {
        // CHECKBOX: dark red, fully transparent in state 0, opaque when hot (dark blue);
        // PANEL: green. GLOBALINFO D4D0C8.
        TStringList lines;
        lines.SetText("[GLOBALINFO]\nCOLOR=13160660\n[CHECKBOX]\nFONTCOLOR=128\nTRANSPARENCY=100\n"
                      "HOTFONTCOLOR=8388608\nHOTTRANSPARENCY=0\n[PANEL]\nFONTCOLOR=32768\n");
        const TMemIniFile ini(lines);
        TsFolderImages none("");
        m.LoadSkinTables(ini, none, "");
        font.SetName("Tahoma");
        font.SetHeight(-40);
        font.SetStyle(fsBold);
        link.Manager = &m;
        link.SkinIndex = m.GetSkinIndex("CHECKBOX");
        link.OpaqueParentIndex = m.GetSkinIndex("PANEL");
        link.Font = &font;
    }
    // The colours of "IIII" written into a white bitmap through the link.
    std::set<COLORREF> Written(int state, bool enabled = true)
    {
        b = Filled(120, 60, RGB(255, 255, 255));
        WriteSkinText(b->Canvas(), "IIII", enabled, TRect{10, 5, 110, 55}, DT_SINGLELINE, link, state);
        return ColoursOf(*b);
    }
    TsSkinManager m{nullptr};
    TFont font;
    TsLinkFields link;
    std::unique_ptr<TBitmap> b;
};
} // namespace

TEST_F(LinkText, OpaqueParentColoursForTransparentCheckBoxesRadioButtonsAndGroupBoxes)
{
    const COLORREF own = RGB(128, 0, 0), hot = RGB(0, 0, 128), panel = RGB(0, 128, 0);
    for (int kind : {32, 33, 74}) {
        link.ControlKind = kind;
        EXPECT_TRUE(Written(0).count(panel)) << kind;
        EXPECT_FALSE(Written(0).count(own)) << kind;
        EXPECT_TRUE(Written(1).count(hot)) << kind; // opaque when hot: its own section
    }
    link.ControlKind = 93;
    EXPECT_TRUE(Written(0).count(own));
    link.ParentColoredGraphic = true;
    EXPECT_TRUE(Written(0).count(panel));
    link.OpaqueParentIndex = -1; // not asked: its own section
    EXPECT_TRUE(Written(0).count(own));
}

TEST_F(LinkText, TheCanvasTakesTheControlsFontAndNothingWithoutAManager)
{
    Written(0);
    EXPECT_EQ(b->Canvas().Font().Height(), -40);
    link.CustomFont = true;
    font.SetColor(clBlue);
    EXPECT_TRUE(Written(0).count(RGB(0, 0, 255)));
    link.CustomFont = false;
    // BlendColors(128, D4D0C8, 0.4): 51.2 + 127.2, 0 + 124.8, 0 + 120
    EXPECT_TRUE(Written(0, false).count(RGB(178, 125, 120)));

    auto c = Filled(120, 60, RGB(255, 255, 255));
    WriteControlText(c->Canvas(), "IIII", true, 1, link, DT_SINGLELINE, TRect{10, 5, 110, 55});
    EXPECT_TRUE(ColoursOf(*c).count(RGB(0, 0, 128)));

    link.Manager = nullptr;
    EXPECT_EQ(Written(0).size(), 1u);
    EXPECT_NE(b->Canvas().Font().Height(), -40);
}
