// TPNGGraphic on the class library's bitmaps: PngSuite as bitmaps, drawing with alpha and
// reflection, ClearTransparentWhite, the picture registry and a PNG in the resources.
#include "skin/engine/vxPNG.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gui/Picture.h"
#include "gui/base/Exceptions.h"
#include "gui/base/Streams.h"
#include "skin/engine/tests/PNGFiles.h"
#include "skin/engine/tests/PNGRows.h"
#include "skin/engine/vxCRC32.h"

namespace {

std::string SuiteFile(const std::string& name) { return std::string(PNGSUITE_DIR) + "/" + name + ".png"; }

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void LoadBytes(TPNGGraphic& png, const std::string& bytes)
{
    TMemoryStream stream;
    stream.WriteString(bytes);
    stream.SetPosition(0);
    png.LoadFromStream(stream);
}

// A 24-bit bitmap of one colour (0x00BBGGRR) to draw on.
std::unique_ptr<TBitmap> Background(int w, int h, TColor color)
{
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas().Brush().SetColor(color);
    b->Canvas().FillRect(RECT{0, 0, w, h});
    return b;
}

// The pixel (x, y) of a 24-bit bitmap as 0xRRGGBB.
uint32_t Pixel24(TBitmap& b, int x, int y)
{
    const auto* p = static_cast<const uint8_t*>(b.ScanLine(y)) + 3 * x;
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

unsigned IndexAt(const TBitmap& b, int bits, int x, int y)
{
    const auto* row = static_cast<const uint8_t*>(b.ScanLine(y));
    size_t pos = static_cast<size_t>(x) * static_cast<size_t>(bits);
    return static_cast<unsigned>(row[pos / 8] >> (8 - bits - pos % 8)) & ((1u << bits) - 1u);
}

const char* const kSuite[] = {
    "basi0g01", "basi0g02", "basi0g04", "basi0g08", "basi0g16", "basi2c08", "basi2c16", "basi3p01",
    "basi3p02", "basi3p04", "basi3p08", "basi4a08", "basi4a16", "basi6a08", "basi6a16", "basn0g01",
    "basn0g02", "basn0g04", "basn0g08", "basn0g16", "basn2c08", "basn2c16", "basn3p01", "basn3p02",
    "basn3p04", "basn3p08", "basn4a08", "basn4a16", "basn6a08", "basn6a16", "bgai4a16", "bgan6a16",
    "g04n3p04", "g25n2c08", "s01i3p01", "s35n3p04", "tbbn3p08", "tbrn2c08", "tbwn0g16", "z09n2c08",
};

TEST(PNGGraphic, PngSuiteBecomesTheSameBitmapsAsTheDecodersRows)
{
    for (const char* name : kSuite) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFile(SuiteFile(name));
        TPNGRows rows;
        TColorManager cm;
        TMemoryStream stream;
        stream.WriteString(bytes);
        stream.SetPosition(0);
        TPNGDecoder(cm, rows).LoadFromStream(stream);
        TPNGGraphic png;
        png.LoadFromFile(SuiteFile(name));
        ASSERT_EQ(png.PixelFormat(), rows.Format);
        ASSERT_EQ(png.Width(), rows.Width);
        ASSERT_EQ(png.Height(), rows.Height);
        EXPECT_EQ(png.Transparent(), rows.Transparent != kPNGNoColor);
        EXPECT_EQ(png.TransparentColor(), rows.Transparent == kPNGNoColor ? clNone : rows.Transparent);
        const int bits = rows.Bits();
        if (bits < 24) {
            // The palette handle, and the colours that drawing shows.
            std::vector<PALETTEENTRY> entries(rows.Palette.size());
            ASSERT_NE(png.Palette(), nullptr);
            ASSERT_EQ(GetPaletteEntries(png.Palette(), 0, static_cast<UINT>(entries.size()), entries.data()),
                      entries.size());
            for (size_t i = 0; i < entries.size(); ++i)
                ASSERT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue),
                          RGB(rows.Palette[i].Red, rows.Palette[i].Green, rows.Palette[i].Blue))
                    << i;
            TBitmap shown(rows.Width, rows.Height);
            shown.Canvas().Draw(0, 0, png);
            for (int y = 0; y < rows.Height; ++y)
                for (int x = 0; x < rows.Width; ++x) {
                    ASSERT_EQ(IndexAt(png, bits, x, y), rows.Index(x, y)) << x << "," << y;
                    ASSERT_EQ(Pixel24(shown, x, y), rows.Argb(x, y) & 0xFFFFFF) << x << "," << y;
                }
        } else {
            const size_t rowBytes = static_cast<size_t>(rows.Width) * static_cast<size_t>(bits / 8);
            for (int y = 0; y < rows.Height; ++y)
                ASSERT_EQ(std::memcmp(png.ScanLine(y), rows.Row(y), rowBytes), 0) << "row " << y;
        }
        EXPECT_EQ(png.ImageProperties().Width, static_cast<uint32_t>(rows.Width));
    }
}

TEST(PNGGraphic, BrokenFilesRaiseTheDecodersMessagesAsInvalidGraphics)
{
    TPNGGraphic png;
    try {
        png.LoadFromFile(SuiteFile("xcsn0g01"));
        FAIL() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Cannot load image. CRC error found in PNG file.");
    }
    EXPECT_THROW(png.LoadFromFile(SuiteFile("xd9n2c08")), EInvalidGraphic);
}

TEST(PNGGraphic, TheProgressOfOneLoad)
{
    TPNGGraphic png;
    std::vector<std::string> log;
    png.OnProgress = [&](TObject& sender, TProgressStage stage, int percent, bool redraw, const RECT& r,
                         const std::string& message) {
        EXPECT_EQ(&sender, &png);
        log.push_back(std::to_string(stage) + " " + std::to_string(percent) + (redraw ? " redraw " : " ") +
                      std::to_string(r.top) + "-" + std::to_string(r.bottom) + " " + message);
    };
    LoadBytes(png, TPNGFile::Simple(3, 2, 8, 2, std::string(20, '\0')));
    EXPECT_EQ(log, (std::vector<std::string>{"0 0 0-1 Preparing...", "2 0 0-1 ", "0 0 0-1 Transfering...",
                                             "1 0 redraw 0-1 ", "1 50 redraw 1-2 ", "2 0 2-3 "}));
}

TEST(PNGGraphic, OneGraphicDecodesTwoImagesWithTheirOwnColours)
{
    TPNGGraphic png;
    TPNGFile gamma;
    gamma.Chunk("IHDR", TPNGFile::Header(1, 1, 8, 2));
    gamma.Chunk("gAMA", TPNGFile::BE32(100000));
    gamma.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\x40\x80\xC0", 4)));
    gamma.Chunk("IEND", "");
    LoadBytes(png, gamma.Bytes);
    EXPECT_EQ(png.ImageProperties().Flags, TPNGImageProperties::HeaderRead | TPNGImageProperties::GammaApplied);
    EXPECT_NE(Pixel24(png, 0, 0), 0x4080C0u);
    LoadBytes(png, TPNGFile::Simple(1, 1, 8, 2, std::string("\0\x40\x80\xC0", 4)));
    EXPECT_EQ(png.ImageProperties().Flags, TPNGImageProperties::HeaderRead);
    EXPECT_EQ(Pixel24(png, 0, 0), 0x4080C0u);
    // A palette image after the RGB one: no colours of the first are left.
    png.LoadFromFile(SuiteFile("basn3p02"));
    EXPECT_EQ(png.PixelFormat(), pf4bit);
}

// A 4 x 4 RGBA image: red 40 x, green 40 y, blue 200, alpha 60 x + 3 y.
std::string GradientImage()
{
    std::string raw;
    for (int y = 0; y < 4; ++y) {
        raw += '\0';
        for (int x = 0; x < 4; ++x)
            raw += std::string{static_cast<char>(40 * x), static_cast<char>(40 * y), static_cast<char>(200),
                               static_cast<char>(60 * x + 3 * y)};
    }
    return TPNGFile::Simple(4, 4, 8, 6, raw);
}

// The colour of image pixel (x, y) over grey 100 with its alpha scaled by num / den.
uint32_t Blended(int x, int y, int num = 1, int den = 1)
{
    int a = (60 * x + 3 * y) * num / den;
    auto channel = [a](int s) { return static_cast<uint32_t>(((s - 100) * a + 100 * 256) >> 8); };
    return channel(40 * x) << 16 | channel(40 * y) << 8 | channel(200);
}

TEST(PNGGraphic, DrawsWithItsAlphaAndAReflectionBelow)
{
    TPNGGraphic png;
    LoadBytes(png, GradientImage());
    ASSERT_EQ(png.PixelFormat(), pf32bit);
    auto plain = Background(10, 12, 0x646464);
    plain->Canvas().Draw(3, 2, png);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 3 && x < 7 && y >= 2 && y < 6;
            ASSERT_EQ(Pixel24(*plain, x, y), inside ? Blended(x - 3, y - 2) : 0x646464u) << x << "," << y;
        }
    png.SetReflected(true);
    auto reflected = Background(10, 12, 0x646464);
    reflected->Canvas().Draw(3, 2, png);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 10; ++x) {
            uint32_t want = 0x646464;
            if (x >= 3 && x < 7 && y >= 2 && y < 6) want = Blended(x - 3, y - 2);
            // The band of 4 div 2 rows: image rows 3 and 2 at alpha 2/4 and 1/4.
            if (x >= 3 && x < 7 && y == 6) want = Blended(x - 3, 3, 2, 4);
            if (x >= 3 && x < 7 && y == 7) want = Blended(x - 3, 2, 1, 4);
            ASSERT_EQ(Pixel24(*reflected, x, y), want) << x << "," << y;
        }
}

TEST(PNGGraphic, DrawnAtAnotherSizeTheImageAndItsAlphaStretchWithoutAReflection)
{
    // Uniform colour and alpha: every stretched pixel is the same blend. Red 200, green 100,
    // blue 0, alpha 128 over 100: 150, 100, 50.
    std::string raw;
    for (int y = 0; y < 4; ++y)
        raw +=
            std::string(1, '\0') + std::string("\xC8\x64\x00\x80\xC8\x64\x00\x80\xC8\x64\x00\x80\xC8\x64\x00\x80", 16);
    TPNGGraphic png;
    LoadBytes(png, TPNGFile::Simple(4, 4, 8, 6, raw));
    png.SetReflected(true);
    auto canvas = Background(12, 14, 0x646464);
    canvas->Canvas().StretchDraw(RECT{1, 1, 9, 7}, png);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= 1 && x < 9 && y >= 1 && y < 7;
            ASSERT_EQ(Pixel24(*canvas, x, y), inside ? 0x966432u : 0x646464u) << x << "," << y;
        }
    // An image that is opaque on the left and transparent on the right keeps that split when
    // doubled.
    std::string halves;
    for (int y = 0; y < 4; ++y)
        halves += std::string(1, '\0') + std::string("\xFF\0\0\xFF\xFF\0\0\xFF\0\0\0\0\0\0\0\0", 16);
    LoadBytes(png, TPNGFile::Simple(4, 4, 8, 6, halves));
    auto doubled = Background(8, 8, 0x646464);
    doubled->Canvas().StretchDraw(RECT{0, 0, 8, 8}, png);
    EXPECT_EQ(Pixel24(*doubled, 0, 4), 0xFE0000u);
    EXPECT_EQ(Pixel24(*doubled, 7, 4), 0x646464u);
}

TEST(PNGGraphic, PalettesAndRGBImagesDrawAsPlainBitmapsWithTheirTransparentColour)
{
    TPNGGraphic png;
    png.LoadFromFile(SuiteFile("tbrn2c08"));
    ASSERT_EQ(png.PixelFormat(), pf24bit);
    ASSERT_TRUE(png.Transparent());
    // Where the image has its transparent colour, the canvas stays.
    auto canvas = Background(32, 32, 0x123456);
    canvas->Canvas().Draw(0, 0, png);
    int kept = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            COLORREF c = 0;
            const auto* p = static_cast<const uint8_t*>(png.ScanLine(y)) + 3 * x;
            c = RGB(p[2], p[1], p[0]);
            uint32_t shown = Pixel24(*canvas, x, y);
            if (static_cast<TColor>(c) == png.TransparentColor()) {
                ++kept;
                EXPECT_EQ(shown, 0x563412u);
            } else {
                EXPECT_EQ(shown, static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0]);
            }
        }
    EXPECT_GT(kept, 0);
}

TEST(PNGGraphic, ClearTransparentWhiteMakesOnlyTransparentWhiteBlack)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(2, 2);
    const uint32_t pixels[4] = {0x00FFFFFF, 0x01FFFFFF, 0x00FFFFFE, 0xFFFFFFFF};
    for (int i = 0; i < 4; ++i)
        std::memcpy(static_cast<uint8_t*>(b.ScanLine(i / 2)) + 4 * (i % 2), &pixels[i], 4);
    ClearTransparentWhite(&b);
    uint32_t after[4];
    for (int i = 0; i < 4; ++i)
        std::memcpy(&after[i], static_cast<uint8_t*>(b.ScanLine(i / 2)) + 4 * (i % 2), 4);
    EXPECT_EQ(after[0], 0u);
    EXPECT_EQ(after[1], 0x01FFFFFFu);
    EXPECT_EQ(after[2], 0x00FFFFFEu);
    EXPECT_EQ(after[3], 0xFFFFFFFFu);
    // Too small for the pixel accessor, and not 32 bits: unchanged.
    TBitmap one;
    one.SetPixelFormat(pf32bit);
    one.SetSize(1, 1);
    std::memcpy(one.ScanLine(0), &pixels[0], 4);
    ClearTransparentWhite(&one);
    uint32_t kept = 0;
    std::memcpy(&kept, one.ScanLine(0), 4);
    EXPECT_EQ(kept, 0x00FFFFFFu);
}

TEST(PNGGraphic, ImagesForAlphaDrawingAre32BitAndOpaqueWithoutAnAlphaChannel)
{
    TMemoryStream stream;
    stream.LoadFromFile(SuiteFile("basn3p04"));
    auto palette = LoadPNGForAlpha(stream);
    ASSERT_EQ(palette->PixelFormat(), pf32bit);
    TPNGRows rows;
    TColorManager cm;
    stream.SetPosition(0);
    TPNGDecoder(cm, rows).LoadFromStream(stream);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t v;
            std::memcpy(&v, static_cast<uint8_t*>(palette->ScanLine(y)) + 4 * x, 4);
            ASSERT_EQ(v, rows.Argb(x, y)) << x << "," << y;
        }
    // Transparent white becomes transparent black; other transparent pixels stay.
    std::string raw = std::string(1, '\0') + std::string("\xFF\xFF\xFF\x00\xFF\xFF\xFF\x01", 8) + std::string(1, '\0') +
                      std::string("\x10\x20\x30\x00\xFF\xFF\xFF\xFF", 8);
    TMemoryStream alpha;
    alpha.WriteString(TPNGFile::Simple(2, 2, 8, 6, raw));
    alpha.SetPosition(0);
    auto prepared = LoadPNGForAlpha(alpha);
    uint32_t p[4];
    for (int i = 0; i < 4; ++i)
        std::memcpy(&p[i], static_cast<uint8_t*>(prepared->ScanLine(i / 2)) + 4 * (i % 2), 4);
    EXPECT_EQ(p[0], 0u);
    EXPECT_EQ(p[1], 0x01FFFFFFu);
    EXPECT_EQ(p[2], 0x00102030u);
    EXPECT_EQ(p[3], 0xFFFFFFFFu);
}

TEST(PNGGraphic, AssignTakesTheImagePropertiesButNotTheReflection)
{
    TPNGGraphic source, copy;
    source.LoadFromFile(SuiteFile("basn6a16"));
    source.SetReflected(true);
    copy.Assign(source);
    EXPECT_EQ(copy.ImageProperties().BitsPerSample, 16);
    EXPECT_EQ(copy.ImageProperties().ColorScheme, csRGBA);
    EXPECT_FALSE(copy.Reflected());
    ASSERT_EQ(copy.PixelFormat(), pf32bit);
    for (int y = 0; y < 32; ++y)
        ASSERT_EQ(std::memcmp(copy.ScanLine(y), source.ScanLine(y), 128), 0);
}

TEST(PNGGraphic, TheStartStepRegistersPngWithThePictureClassAndTheEndStepRemovesIt)
{
    PNGStart();
    const TPicture::TFileFormat* format = TPicture::FindFileFormat(".PNG");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->Description, "Portable network graphics (Velocon)");
    TPicture picture;
    picture.LoadFromFile(SuiteFile("basn2c08"));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TPNGGraphic");
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_TRUE(CRCTableBuilt());
    PNGEnd();
    EXPECT_EQ(TPicture::FindFileFormat("png"), nullptr);
    EXPECT_FALSE(CRCTableBuilt());
    try {
        picture.LoadFromFile(SuiteFile("basn2c08"));
        FAIL() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unbekannte Bilddateierweiterung (.png)");
    }
    // The graphic loaded before stays.
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TPNGGraphic");
}

TEST(PNGGraphic, LoadsFromARawDataResource)
{
    TPNGGraphic png;
    png.LoadFromResourceName(GetModuleHandleA(nullptr), "TESTPNG");
    EXPECT_EQ(png.PixelFormat(), pf32bit);
    EXPECT_EQ(png.Width(), 32);
    try {
        png.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCHPNG");
        FAIL() << "loaded";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Ressource NOSUCHPNG nicht gefunden");
    }
}

} // namespace
