// Bitmaps from streams and files, the drawing hook of graphic formats, and the picture class's
// registry of formats by extension.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/Picture.h"
#include "gui/base/Exceptions.h"
#include "gui/base/Streams.h"

namespace {

std::string BE(uint32_t v, int bytes)
{
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>(v >> (8 * i)); // little-endian, as BMP stores it
    return s;
}

// A BMP file: headers, colour table (quads) and pixel data.
std::string BmpFile(int width, int height, int bits, uint32_t compression, const std::string& table,
                    const std::string& pixels)
{
    std::string info = BE(40, 4) + BE(static_cast<uint32_t>(width), 4) + BE(static_cast<uint32_t>(height), 4) +
                       BE(1, 2) + BE(static_cast<uint32_t>(bits), 2) + BE(compression, 4) +
                       BE(static_cast<uint32_t>(pixels.size()), 4) + BE(0, 4) + BE(0, 4) +
                       BE(static_cast<uint32_t>(table.size() / 4), 4) + BE(0, 4);
    uint32_t offset = 14 + static_cast<uint32_t>(info.size() + table.size());
    return "BM" + BE(offset + static_cast<uint32_t>(pixels.size()), 4) + BE(0, 4) + BE(offset, 4) + info + table +
           pixels;
}

TMemoryStream StreamOf(const std::string& bytes)
{
    TMemoryStream s;
    s.WriteString(bytes);
    s.SetPosition(0);
    return s;
}

uint32_t Pixel(TBitmap& b, int x, int y) { return b.Canvas().Pixel(x, y); }

TEST(Picture, BitmapsLoadFromStreamsInEveryDepthAndRunLengthCoding)
{
    // 24 bits, bottom-up: the first stored row is the bottom one.
    std::string rows = std::string("\x01\x02\x03\x04\x05\x06\0\0", 8) + std::string("\x10\x20\x30\x40\x50\x60\0\0", 8);
    TBitmap b;
    auto s24 = StreamOf(BmpFile(2, 2, 24, BI_RGB, "", rows));
    b.LoadFromStream(s24);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(Pixel(b, 0, 1), RGB(0x03, 0x02, 0x01));
    EXPECT_EQ(Pixel(b, 1, 0), RGB(0x60, 0x50, 0x40));
    EXPECT_EQ(s24.Position(), s24.Size());
    // 8 bits with a colour table of two entries.
    std::string table = std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);
    auto s8 = StreamOf(BmpFile(3, 1, 8, BI_RGB, table, std::string("\x00\x01\x00\x00", 4)));
    b.LoadFromStream(s8);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_EQ(Pixel(b, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(b, 1, 0), RGB(0, 0, 255));
    // RLE8: a run of three pixels of index 1, end of bitmap.
    auto rle = StreamOf(BmpFile(3, 1, 8, BI_RLE8, table, std::string("\x03\x01\x00\x01", 4)));
    b.LoadFromStream(rle);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(Pixel(b, 2, 0), RGB(0, 0, 255));
}

TEST(Picture, BrokenBitmapsAreInvalidGraphicsAndShortOnesStreamErrors)
{
    TBitmap b;
    auto notBmp = StreamOf(std::string(60, 'x'));
    EXPECT_THROW(b.LoadFromStream(notBmp), EInvalidGraphic);
    // A width of 0 is an empty picture, not a broken one.
    auto zeroWidth = StreamOf(BmpFile(0, 2, 24, BI_RGB, "", std::string(8, '\0')));
    b.LoadFromStream(zeroWidth);
    EXPECT_TRUE(b.Empty());
    auto oddDepth = StreamOf(BmpFile(1, 1, 7, BI_RGB, "", std::string(4, '\0')));
    EXPECT_THROW(b.LoadFromStream(oddDepth), EInvalidGraphic);
    // Pixel data shorter than the rows need.
    auto cut = StreamOf(BmpFile(2, 2, 24, BI_RGB, "", std::string(16, '\0')).substr(0, 60));
    EXPECT_THROW(b.LoadFromStream(cut), EInvalidGraphic);
    auto header = StreamOf("BM");
    EXPECT_THROW(b.LoadFromStream(header), EStreamError);
}

TEST(Picture, SavedBitmapsLoadBackFromTheirFiles)
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string file = std::string(tmp) + "gui_picture_" + std::to_string(GetCurrentProcessId()) + ".bmp";
    TBitmap b(5, 3);
    b.Canvas().Brush().SetColor(0x336699);
    b.Canvas().FillRect(RECT{0, 0, 5, 3});
    b.Canvas().SetPixel(4, 2, 0x010203);
    b.SaveToFile(file);
    TBitmap read;
    read.LoadFromFile(file);
    EXPECT_EQ(read.Width(), 5);
    EXPECT_EQ(read.Height(), 3);
    EXPECT_EQ(Pixel(read, 0, 0), static_cast<COLORREF>(0x336699));
    EXPECT_EQ(Pixel(read, 4, 2), static_cast<COLORREF>(0x010203));
    TPicture picture;
    picture.LoadFromFile(file);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(picture.Width(), 5);
    DeleteFileA(file.c_str());
    EXPECT_THROW(read.LoadFromFile(file), EFOpenError);
}

// A format that draws itself as one colour and loads from any stream.
class TFlatGraphic : public TBitmap {
    GUI_CLASS(TFlatGraphic, TBitmap)
    void LoadFromStream(TStream& stream) override
    {
        SetSize(static_cast<int>(stream.Size()), 1);
        Loaded = true;
    }
    void Draw(TCanvas& canvas, const RECT& r) const override
    {
        canvas.Brush().SetColor(0x00FF00);
        canvas.FillRect(r);
        Drawn = r;
    }
    bool Loaded = false;
    mutable RECT Drawn{};
};

std::unique_ptr<TBitmap> NewFlat() { return std::make_unique<TFlatGraphic>(); }

TEST(Picture, FormatsRegisterByExtensionAndDrawThemselves)
{
    ASSERT_NE(TPicture::FindFileFormat("BMP"), nullptr);
    EXPECT_EQ(TPicture::FindFileFormat("flat"), nullptr);
    TPicture::RegisterFileFormat(".Flat", "Flat pictures", NewFlat);
    const TPicture::TFileFormat* f = TPicture::FindFileFormat("FLAT");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Extension, "flat");
    EXPECT_EQ(f->Description, "Flat pictures");
    EXPECT_EQ(TPicture::FileFormats().front().Extension, "bmp");

    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string file = std::string(tmp) + "gui_picture_" + std::to_string(GetCurrentProcessId()) + ".flat";
    {
        TFileStream out(file, fmCreate);
        out.WriteString("1234");
    }
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    picture.LoadFromFile(file);
    DeleteFileA(file.c_str());
    auto* flat = dynamic_cast<TFlatGraphic*>(picture.Graphic());
    ASSERT_NE(flat, nullptr);
    EXPECT_TRUE(flat->Loaded);
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(changes, 1);
    // A canvas draws a graphic through the graphic's own Draw.
    TBitmap target(10, 10);
    target.Canvas().Draw(2, 3, *flat);
    EXPECT_EQ(flat->Drawn.left, 2);
    EXPECT_EQ(flat->Drawn.top, 3);
    EXPECT_EQ(flat->Drawn.right, 6);
    EXPECT_EQ(flat->Drawn.bottom, 4);
    EXPECT_EQ(Pixel(target, 5, 3), RGB(0, 255, 0));
    target.Canvas().StretchDraw(RECT{0, 5, 10, 9}, *flat);
    EXPECT_EQ(flat->Drawn.bottom, 9);

    TPicture::UnregisterGraphicClass(NewFlat);
    EXPECT_EQ(TPicture::FindFileFormat("flat"), nullptr);
    try {
        picture.LoadFromFile("C:\\any.flat");
        FAIL() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unbekannte Bilddateierweiterung (.flat)");
    }
}

TEST(Picture, TransparentBitmapsLeaveOutTheirTransparentColour)
{
    TBitmap source(2, 1);
    source.Canvas().SetPixel(0, 0, 0x0000FF);
    source.Canvas().SetPixel(1, 0, 0x00FF00);
    source.SetTransparentColor(0x00FF00);
    source.SetTransparent(true);
    TBitmap target(2, 1);
    target.Canvas().Brush().SetColor(0x777777);
    target.Canvas().FillRect(RECT{0, 0, 2, 1});
    target.Canvas().Draw(0, 0, source);
    EXPECT_EQ(Pixel(target, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(target, 1, 0), static_cast<COLORREF>(0x777777));
    TBitmap copy;
    copy.Assign(source);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), 0x00FF00);
}

} // namespace
