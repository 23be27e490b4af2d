// Text cut to a width, text in a section's colours with its contour colours, and glowing text.
#include "skin/engine/sTextPaint.h"

#include <gtest/gtest.h>

#include <set>

#include "gui/base/MemIniFile.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSkinManager.h"

namespace {
std::unique_ptr<TBitmap> White(int w, int h)
{
    auto b = CreateBmp24(w, h);
    FillDC(b->Canvas().Handle(), TRect{0, 0, w, h}, clWhite);
    return b;
}

std::set<COLORREF> ColoursOf(TBitmap& b)
{
    std::set<COLORREF> s;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            s.insert(b.Canvas().Pixel(x, y));
    return s;
}

void BigFont(TFont& f)
{
    f.SetName("Tahoma");
    f.SetHeight(-40);
    f.SetStyle(fsBold);
}

void LoadText(TsSkinManager& m, const std::string& text)
{
    TStringList lines;
    lines.SetText(text);
    const TMemIniFile ini(lines);
    TsFolderImages none("");
    m.LoadSkinTables(ini, none, "");
}
} // namespace

TEST(TextPaint, CutTextToWidthMeasuresOnTheSameCanvas)
{
    auto b = White(200, 40);
    TCanvas& c = b->Canvas();
    const std::string text = "Kassenabschluss drucken";
    EXPECT_EQ(CutTextToWidth(c, text, 0), "");
    EXPECT_EQ(CutTextToWidth(c, text, -3), "");
    EXPECT_EQ(CutTextToWidth(c, text, c.TextWidth(text)), text);
    EXPECT_EQ(CutTextToWidth(c, "", 50), "");
    for (int width : {20, 40, 77, c.TextWidth(text) - 1}) {
        const std::string cut = CutTextToWidth(c, text, width);
        SCOPED_TRACE(width);
        ASSERT_GE(cut.size(), 4u);
        const std::string kept = cut.substr(0, cut.size() - 3);
        EXPECT_EQ(cut.substr(cut.size() - 3), "...");
        EXPECT_EQ(text.compare(0, kept.size(), kept), 0);
        EXPECT_LE(c.TextWidth(cut), width);
        EXPECT_GT(c.TextWidth(text.substr(0, kept.size() + 1) + "..."), width); // nothing more would fit
    }
    EXPECT_EQ(CutTextToWidth(c, text, 1), ""); // not even one character with "..."
}

TEST(TextPaint, FontTextExtentMatchesTheCanvas)
{
    auto b = White(10, 10);
    TFont font;
    BigFont(font);
    b->Canvas().Font() = font;
    const SIZE canvas = b->Canvas().TextExtent("Summe");
    const SIZE s = GetFontTextExtent(font, "Summe");
    EXPECT_EQ(s.cx, canvas.cx);
    EXPECT_EQ(s.cy, canvas.cy);
    EXPECT_GT(s.cx, 40);
    RECT r{0, 0, 100, 50};
    EXPECT_EQ(DrawTextStr(b->Canvas().Handle(), "", r, DT_CALCRECT | DT_SINGLELINE) >= 0, true);
}

TEST(TextPaint, SectionTextWithContoursAndDisabledColour)
{
    TsSkinManager m(nullptr);
    // Font colour dark red, contour left red and bottom green; hot: blue without contour.
    LoadText(m, "[BUTTON]\nCOLOR=14211288\nFONTCOLOR=128\nTCLEFT=255\nTCBOTTOM=65280\nHOTFONTCOLOR=16711680\n");
    const int i = m.GetSkinIndex("BUTTON");
    {
        auto b = White(120, 60);
        BigFont(b->Canvas().Font());
        WriteSectionTextEx(b->Canvas(), "IIII", true, &m, 0, i, DT_SINGLELINE, TRect{10, 5, 110, 55});
        const auto colours = ColoursOf(*b);
        EXPECT_TRUE(colours.count(RGB(128, 0, 0))) << "text";
        EXPECT_TRUE(colours.count(RGB(255, 0, 0))) << "left contour";
        EXPECT_TRUE(colours.count(RGB(0, 255, 0))) << "bottom contour";
    }
    {
        auto b = White(120, 60);
        BigFont(b->Canvas().Font());
        WriteSectionTextEx(b->Canvas(), "IIII", true, &m, 1, i, DT_SINGLELINE, TRect{10, 5, 110, 55});
        const auto colours = ColoursOf(*b);
        EXPECT_TRUE(colours.count(RGB(0, 0, 255)));
        EXPECT_FALSE(colours.count(RGB(255, 0, 0)));
    }
    {
        auto b = White(120, 60);
        BigFont(b->Canvas().Font());
        WriteSectionTextEx(b->Canvas(), "IIII", false, &m, 0, i, DT_SINGLELINE, TRect{10, 5, 110, 55});
        const auto colours = ColoursOf(*b);
        // BlendColors(128, 0xD8D8D8, 0.4): 128 x 0.4 + 216 x 0.6 = 180.8, 129.6
        EXPECT_TRUE(colours.count(RGB(181, 130, 130)));
        EXPECT_FALSE(colours.count(RGB(255, 0, 0)));
        EXPECT_FALSE(colours.count(RGB(128, 0, 0)));
    }
    {
        // No valid section: once in the canvas's font colour.
        auto b = White(120, 60);
        BigFont(b->Canvas().Font());
        b->Canvas().Font().SetColor(clBlue);
        WriteSectionTextEx(b->Canvas(), "IIII", true, &m, 0, 99, DT_SINGLELINE, TRect{10, 5, 110, 55});
        EXPECT_TRUE(ColoursOf(*b).count(RGB(0, 0, 255)));
    }
}

TEST(TextPaint, GlowColoursTheTextsSurroundingsOnly)
{
    auto b = White(120, 60);
    TFont font;
    BigFont(font);
    WriteTextWithEffects(b.get(), "IIII", TRect{0, 0, 120, 60}, font, clBlue, 2, 15, DT_SINGLELINE);
    EXPECT_EQ(b->Canvas().Pixel(119, 59), 0xFFFFFFu); // beyond the blur
    int blued = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF c = b->Canvas().Pixel(x, y);
            EXPECT_EQ(GetBValue(c), 255) << x << "," << y; // blue stays full everywhere
            EXPECT_EQ(GetRValue(c), GetGValue(c));
            if (GetRValue(c) < 128) ++blued;
        }
    EXPECT_GT(blued, 20);
}

TEST(TextPaint, SkinTextOfAControlByState)
{
    TsSkinManager m(nullptr);
    // Global colour D4D0C8; BUTTON font dark red with a left contour and a blue glow of 3;
    // WEBBUTTON underlines when hot.
    LoadText(m, "[GLOBALINFO]\nCOLOR=13160660\n[BUTTON]\nFONTCOLOR=128\nTCLEFT=255\nGSIZE=3\nGCOL=16711680\n"
                "[WEBBUTTON]\nHOTFONTCOLOR=32768\n");
    const int button = m.GetSkinIndex("BUTTON"), web = m.GetSkinIndex("WEBBUTTON");
    const TRect r{10, 5, 110, 55};
    {
        auto b = White(120, 60);
        auto cache = White(120, 60);
        BigFont(b->Canvas().Font());
        WriteSkinTextOf(b->Canvas(), "IIII", true, r, DT_SINGLELINE, &m, button, 0, cache.get(), false);
        const auto colours = ColoursOf(*b);
        EXPECT_TRUE(colours.count(RGB(128, 0, 0)));
        EXPECT_TRUE(colours.count(RGB(255, 0, 0)));
        EXPECT_EQ(cache->Canvas().Pixel(0, 0), 0xFFFFFFu);       // left of r: no glow
        EXPECT_NE(ColoursOf(*cache).size(), 1u);                 // the glow went into the cache
        EXPECT_EQ(b->Canvas().Font().Style() & fsUnderline, 0u); // not the web button
    }
    {
        auto b = White(120, 60);
        BigFont(b->Canvas().Font());
        WriteSkinTextOf(b->Canvas(), "IIII", false, r, DT_SINGLELINE, &m, button, 0, nullptr, false);
        // BlendColors(128, D4D0C8, 0.4): 51.2 + 127.2, 0 + 124.8, 0 + 120
        EXPECT_TRUE(ColoursOf(*b).count(RGB(178, 125, 120)));
    }
    {
        auto b = White(120, 60);
        BigFont(b->Canvas().Font());
        b->Canvas().Font().SetColor(clBlue);
        WriteSkinTextOf(b->Canvas(), "IIII", true, r, DT_SINGLELINE, &m, button, 0, nullptr, true);
        const auto colours = ColoursOf(*b);
        EXPECT_TRUE(colours.count(RGB(0, 0, 255)));
        EXPECT_FALSE(colours.count(RGB(255, 0, 0))); // own font: no contour
    }
    {
        auto b = White(120, 60);
        BigFont(b->Canvas().Font());
        WriteSkinTextOf(b->Canvas(), "IIII", true, r, DT_SINGLELINE, &m, web, 1, nullptr, false);
        EXPECT_NE(b->Canvas().Font().Style() & fsUnderline, 0u);
        EXPECT_TRUE(ColoursOf(*b).count(RGB(0, 128, 0)));
        // Clipped to r: nothing left of it.
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(b->Canvas().Pixel(x, y), 0xFFFFFFu);
    }
    {
        auto b = White(120, 60);
        WriteSkinTextOf(b->Canvas(), "IIII", true, r, DT_SINGLELINE, nullptr, button, 0, nullptr, false);
        EXPECT_EQ(ColoursOf(*b).size(), 1u); // no manager: nothing
    }
}
