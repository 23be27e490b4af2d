// Glyphs from image lists: items kept as PNG data (resampled, keyed to alpha, alpha kept),
// state frames, and the silent answers to bad input.
#include "skin/engine/vxAlphaImageList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/base/Exceptions.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/tests/PNGFiles.h"
#include "skin/engine/vxFastBitmaps.h"

namespace {

// An alpha image list as the skinned controls keep one: the platform's list plus each item's
// PNG data.
class TTestAlphaList : public TCustomImageList, public TsAlphaImageListData {
    GUI_CLASS(TTestAlphaList, TCustomImageList)
    TTestAlphaList(int width, int height) : TCustomImageList(nullptr) { SetSize(width, height); }
    uint8_t Keep = 1;
    std::vector<std::unique_ptr<TsImgListItem>> Items;
    uint8_t KeepData() const override { return Keep; }
    int ItemCount() const override { return static_cast<int>(Items.size()); }
    TsImgListItem* Item(int index) override { return Items.at(static_cast<size_t>(index)).get(); }
    void AddItem(const std::string& png)
    {
        Items.push_back(std::make_unique<TsImgListItem>());
        Items.back()->ImgData.Write(png.data(), png.size());
        auto plain = CreateBmp24(Width(), Height());
        Add(plain.get(), nullptr);
    }
};

struct Rgba {
    uint8_t r, g, b, a;
};

// A PNG of w x h whose pixel (x, y) is f(x, y): RGBA (colour type 6) or RGB (2).
template <class F> std::string Png(int w, int h, bool alpha, F f)
{
    std::string rows;
    for (int y = 0; y < h; ++y) {
        rows += '\0';
        for (int x = 0; x < w; ++x) {
            const Rgba p = f(x, y);
            rows += static_cast<char>(p.r);
            rows += static_cast<char>(p.g);
            rows += static_cast<char>(p.b);
            if (alpha) rows += static_cast<char>(p.a);
        }
    }
    return TPNGFile::Simple(static_cast<uint32_t>(w), static_cast<uint32_t>(h), 8, alpha ? 6 : 2, rows);
}

// red + green << 8 + blue << 16 + alpha << 24.
uint32_t Px32(TBitmap& b, int x, int y)
{
    TvxFast32 f;
    EXPECT_TRUE(f.Attach(&b));
    return f.GetPixel(x, y);
}

} // namespace

TEST(AlphaImageList, StateSevenOfFourGlyphsDrawsTheFourthFrame)
{
    const Rgba frames[] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {10, 20, 30, 255}};
    TTestAlphaList list(40, 10);
    list.AddItem(Png(40, 10, true, [&](int x, int) { return frames[x / 10]; }));
    auto bmp = CreateBmp24(30, 30);
    FillDC(bmp->Canvas().Handle(), TRect{0, 0, 30, 30}, clBlack);
    TPoint size;
    DrawImageListGlyph(&list, bmp.get(), 5, 5, size, false, 4, 7, 0, false, 0);
    EXPECT_EQ(size.X, 10);
    EXPECT_EQ(size.Y, 10);
    // Opaque is alpha 255 of 256: (10, 20, 30) over black gives (9, 19, 29).
    EXPECT_EQ(bmp->Canvas().Pixel(5, 5), RGB(9, 19, 29));
    EXPECT_EQ(bmp->Canvas().Pixel(14, 14), RGB(9, 19, 29));
    EXPECT_EQ(bmp->Canvas().Pixel(15, 5), RGB(0, 0, 0));
    EXPECT_EQ(bmp->Canvas().Pixel(4, 5), RGB(0, 0, 0));

    // State 1 with half the alpha over black: green at half strength.
    TTestAlphaList half(20, 4);
    half.AddItem(Png(20, 4, true, [](int x, int) { return x < 10 ? Rgba{255, 0, 0, 128} : Rgba{0, 200, 0, 128}; }));
    FillDC(bmp->Canvas().Handle(), TRect{0, 0, 30, 30}, clBlack);
    DrawImageListGlyph(&half, bmp.get(), 0, 0, size, false, 2, 1, 0, false, 0);
    EXPECT_EQ(bmp->Canvas().Pixel(0, 0), RGB(0, 100, 0));

    // Onto a DC: the same frame at (2, 3).
    FillDC(bmp->Canvas().Handle(), TRect{0, 0, 30, 30}, clBlack);
    DrawImageListGlyphToDC(&list, bmp->Canvas().Handle(), 2, 3, false, 4, 2, 0, false, 0);
    EXPECT_EQ(bmp->Canvas().Pixel(2, 3), RGB(0, 0, 254));
    EXPECT_EQ(bmp->Canvas().Pixel(11, 12), RGB(0, 0, 254));
    EXPECT_EQ(bmp->Canvas().Pixel(12, 3), RGB(0, 0, 0));
}

TEST(AlphaImageList, ItemsFromTheirPngData)
{
    // Another size: resampled to the target bitmap.
    TTestAlphaList list(8, 8);
    list.AddItem(Png(4, 4, true, [](int, int) { return Rgba{40, 80, 120, 255}; }));
    auto target = CreateBmp32(8, 8);
    ASSERT_TRUE(GetImageListItem32(&list, 0, target.get()));
    EXPECT_EQ(target->Width(), 8);
    EXPECT_EQ(target->Height(), 8);
    EXPECT_EQ(target->PixelFormat(), pf32bit);
    EXPECT_EQ(Px32(*target, 0, 0), 0xFF785028u);
    EXPECT_EQ(Px32(*target, 7, 7), 0xFF785028u);

    // 24 bits: the bottom-left colour becomes transparent, every other colour opaque.
    TTestAlphaList keyed(4, 4);
    keyed.AddItem(Png(4, 4, false, [](int x, int y) { return x == y ? Rgba{9, 9, 9, 0} : Rgba{255, 0, 255, 0}; }));
    auto item = CreateBmp32(4, 4);
    ASSERT_TRUE(GetImageListItem32(&keyed, 0, item.get()));
    EXPECT_EQ(item->PixelFormat(), pf32bit);
    EXPECT_EQ(Px32(*item, 0, 3), 0x00FF00FFu);
    EXPECT_EQ(Px32(*item, 3, 0), 0x00FF00FFu);
    EXPECT_EQ(Px32(*item, 1, 1), 0xFF090909u);

    // 32 bits with any alpha: kept as it is.
    TTestAlphaList kept(4, 4);
    kept.AddItem(Png(4, 4, true, [](int x, int y) {
        return Rgba{50, 60, 70, static_cast<uint8_t>(x == 2 && y == 2 ? 7 : 0)};
    }));
    ASSERT_TRUE(GetImageListItem32(&kept, 0, item.get()));
    EXPECT_EQ(Px32(*item, 2, 2) >> 24, 7u);
    EXPECT_EQ(Px32(*item, 0, 3) >> 24, 0u);
    EXPECT_EQ(Px32(*item, 1, 1) >> 24, 0u);
}

TEST(AlphaImageList, KeyToAlphaLeavesBitmapsWithAlphaAndSmallOnes)
{
    auto b = CreateBmp32(3, 3);
    FillBitmap32(b.get(), TRect{0, 0, 3, 3}, 0x00102030);
    SetAlphaChannel(b.get(), TRect{0, 0, 3, 3}, 0);
    TvxFast32 f;
    ASSERT_TRUE(f.Attach(b.get()));
    f.SetPixel(1, 1, 0x01445566);
    KeyToAlpha(b.get());
    EXPECT_EQ(f.GetPixel(1, 1), 0x01445566u);
    EXPECT_EQ(f.GetPixel(0, 0) >> 24, 0u);
    f.SetPixel(1, 1, 0x00445566);
    KeyToAlpha(b.get());
    EXPECT_EQ(f.GetPixel(1, 1), 0xFF445566u);
    EXPECT_EQ(f.GetPixel(2, 0) >> 24, 0u);

    auto line = CreateBmp32(1, 5);
    FillBitmap32(line.get(), TRect{0, 0, 1, 5}, 0x00FFFFFF);
    SetAlphaChannel(line.get(), TRect{0, 0, 1, 5}, 0);
    KeyToAlpha(line.get());
    EXPECT_EQ(static_cast<uint8_t*>(line->ScanLine(0))[3], 0);
}

TEST(AlphaImageList, BadInputDrawsNothing)
{
    TTestAlphaList list(4, 4);
    list.AddItem(Png(4, 4, true, [](int, int) { return Rgba{1, 2, 3, 255}; }));
    auto item = CreateBmp32(4, 4);
    EXPECT_FALSE(GetImageListItem32(&list, 1, item.get()));
    EXPECT_FALSE(GetImageListItem32(&list, -1, item.get()));
    EXPECT_FALSE(GetImageListItem32(&list, 0, nullptr));
    EXPECT_FALSE(GetImageListItem32(nullptr, 0, item.get()));
    TCustomImageList none(nullptr); // no platform list yet
    EXPECT_FALSE(none.HandleAllocated());
    EXPECT_FALSE(GetImageListItem32(&none, 0, item.get()));
    auto bmp = CreateBmp24(8, 8);
    FillDC(bmp->Canvas().Handle(), TRect{0, 0, 8, 8}, clWhite);
    TPoint size{-1, -1};
    DrawImageListGlyph(&none, bmp.get(), 0, 0, size, false, 1, 0, 0, false, 0);
    EXPECT_EQ(size.X, -1);
    DrawImageListGlyph(&list, bmp.get(), 0, 0, size, false, 1, 0, 0, false, 5);
    EXPECT_EQ(bmp->Canvas().Pixel(0, 0), RGB(255, 255, 255));

    // A broken PNG raises the decoder's error.
    list.Items[0]->ImgData.SetSize(20);
    EXPECT_THROW(GetImageListItem32(&list, 0, item.get()), std::exception);
    // Without kept data the item comes from the platform's list.
    list.Keep = 0;
    EXPECT_FALSE(ImageListKeepsData(&list));
    EXPECT_TRUE(GetImageListItem32(&list, 0, item.get()));
    EXPECT_EQ(ImageListItem(&list, 3), nullptr);
    EXPECT_EQ(ImageListItem(&none, 0), nullptr);
    EXPECT_GT(ScreenBitsPerPixel(), 0);
}

TEST(AlphaImageList, PlainListsDrawTheirFrameThroughThePlatformsList)
{
    // Two frames of 4 x 4 side by side: red, blue.
    TCustomImageList list(nullptr);
    list.SetSize(8, 4);
    auto picture = CreateBmp24(8, 4);
    FillDC(picture->Canvas().Handle(), TRect{0, 0, 4, 4}, static_cast<TColor>(RGB(255, 0, 0)));
    FillDC(picture->Canvas().Handle(), TRect{4, 0, 8, 4}, static_cast<TColor>(RGB(0, 0, 255)));
    ASSERT_EQ(list.Add(picture.get(), nullptr), 0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(ImageListKeepsData(&list));
    auto bmp = CreateBmp24(12, 12);
    FillDC(bmp->Canvas().Handle(), TRect{0, 0, 12, 12}, clBlack);
    TPoint size;
    DrawImageListGlyph(&list, bmp.get(), 2, 2, size, false, 2, 1, 0, false, 0);
    EXPECT_EQ(size.X, 4);
    EXPECT_EQ(size.Y, 4);
    EXPECT_EQ(bmp->Canvas().Pixel(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(bmp->Canvas().Pixel(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(bmp->Canvas().Pixel(6, 2), RGB(0, 0, 0));
    EXPECT_EQ(bmp->Canvas().Pixel(1, 2), RGB(0, 0, 0));
    // The item as a 32-bit image: from its icon.
    auto item = CreateBmp32(8, 4);
    ASSERT_TRUE(GetImageListItem32(&list, 0, item.get()));
    EXPECT_EQ(Px32(*item, 0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Px32(*item, 7, 3) & 0xFFFFFF, 0xFF0000u);
}
