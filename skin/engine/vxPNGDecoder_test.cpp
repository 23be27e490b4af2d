// The PNG decoder's core on files built here: chunks, messages, rows, progress.
#include "skin/engine/vxPNGDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gui/base/Exceptions.h"
#include "skin/engine/tests/PNGFiles.h"
#include "skin/engine/tests/PNGRows.h"

namespace {

const std::string kInvalid = "Cannot load image. Invalid or unexpected PNG image format.";
const std::string kScheme = "Cannot load image. The compression scheme is not supported for PNG files.";
const std::string kPalette = "Cannot load image. Palette in PNG file is invalid.";
const std::string kColor = "Invalid color format in PNG file.";
const std::string kCRC = "Cannot load image. CRC error found in PNG file.";
const std::string kCritical = "Cannot load PNG image. Unexpected but critical chunk detected.";
const std::string kCompression = "Cannot load image. Compression error found in PNG file.";
const std::string kExtra = "Cannot load image. Extra compressed data found in PNG file.";

struct TDecoded {
    TColorManager cm;
    TPNGRows rows;
    TMemoryStream stream;
    TPNGImageProperties properties;
    TColor background = 0;
};

// Decodes the bytes; the stream keeps its position for the caller.
void Decode(TDecoded& d, const std::string& bytes)
{
    d.stream.Clear();
    d.stream.WriteString(bytes);
    d.stream.SetPosition(0);
    TPNGDecoder decoder(d.cm, d.rows);
    decoder.LoadFromStream(d.stream);
    d.properties = decoder.ImageProperties();
    d.background = decoder.BackgroundColor();
}

// The message of the error that decoding raises ("" when it loads).
std::string Failure(const std::string& bytes)
{
    TDecoded d;
    try {
        Decode(d, bytes);
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    } catch (const EStreamError& e) {
        return "stream: " + e.Message();
    }
    return "";
}

// Two RGB pixels a row, two rows: red green / blue white, filter None.
const std::string kRGBRows = std::string("\0\xFF\0\0\0\xFF\0", 7) + std::string("\0\0\0\xFF\xFF\xFF\xFF", 7);

std::string RGBFile() { return TPNGFile::Simple(2, 2, 8, 2, kRGBRows); }

void ExpectRGBImage(const TPNGRows& rows)
{
    ASSERT_EQ(rows.Format, pf24bit);
    ASSERT_EQ(rows.Width, 2);
    ASSERT_EQ(rows.Height, 2);
    EXPECT_EQ(rows.Argb(0, 0), 0xFFFF0000u);
    EXPECT_EQ(rows.Argb(1, 0), 0xFF00FF00u);
    EXPECT_EQ(rows.Argb(0, 1), 0xFF0000FFu);
    EXPECT_EQ(rows.Argb(1, 1), 0xFFFFFFFFu);
}

TEST(PNGDecoder, AnRGBImageLoadsWithItsPropertiesAndTheStreamAfterIEND)
{
    TDecoded d;
    Decode(d, RGBFile() + "tail");
    ExpectRGBImage(d.rows);
    EXPECT_EQ(d.stream.Position(), d.stream.Size() - 4);
    EXPECT_EQ(d.properties.Flags, TPNGImageProperties::HeaderRead);
    EXPECT_EQ(d.properties.Width, 2u);
    EXPECT_EQ(d.properties.ColorScheme, csRGB);
    EXPECT_EQ(d.properties.BitsPerSample, 8);
    EXPECT_EQ(d.properties.SamplesPerPixel, 3);
    EXPECT_EQ(d.properties.BitsPerPixel, 24);
    EXPECT_EQ(d.properties.Compression, pcDeflate);
    EXPECT_FALSE(d.properties.Interlaced);
    EXPECT_FALSE(d.properties.HasAlpha);
    EXPECT_FLOAT_EQ(d.properties.Gamma, 1.0f);
    EXPECT_EQ(d.rows.Transparent, kPNGNoColor);
}

TEST(PNGDecoder, ChunkNamesInAnyCaseAndUnknownAncillaryChunksAnywhere)
{
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
    f.Chunk("teXt", "before");
    std::string packed = TPNGFile::Deflate(kRGBRows);
    f.Chunk("idat", packed.substr(0, 5));
    f.Chunk("Idat", packed.substr(5));
    // Right after the image data, then once more before the end.
    f.Chunk("zzZz", "after");
    f.Chunk("prVt", "");
    f.Chunk("iend", "");
    TDecoded d;
    Decode(d, f.Bytes);
    ExpectRGBImage(d.rows);
    EXPECT_EQ(d.stream.Position(), d.stream.Size());
}

TEST(PNGDecoder, ImageDataSplitIntoOneByteChunksAndEmptyChunks)
{
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
    f.Chunk("IDAT", "");
    for (char c : TPNGFile::Deflate(kRGBRows)) {
        f.Chunk("IDAT", std::string(1, c));
        f.Chunk("IDAT", "");
    }
    f.Chunk("IEND", "");
    TDecoded d;
    Decode(d, f.Bytes);
    ExpectRGBImage(d.rows);
}

TEST(PNGDecoder, FilterTypeFiveLeavesTheRowAndInterlaceMethodTwoIsPlain)
{
    // Filter byte 5: the bytes stay as filtered (here 10 20 30 40 50 60).
    std::string rows = std::string("\x05\x0A\x14\x1E\x28\x32\x3C", 7);
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(2, 1, 8, 2, 2));
    f.Chunk("IDAT", TPNGFile::Deflate(rows));
    f.Chunk("IEND", "");
    TDecoded d;
    Decode(d, f.Bytes);
    EXPECT_TRUE(d.properties.Interlaced);
    EXPECT_EQ(d.rows.Argb(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(d.rows.Argb(1, 0), 0xFF28323Cu);
}

TEST(PNGDecoder, FirstRowFiltersWorkAgainstZeros)
{
    // One grey row of 3 pixels with Up, Average and Paeth: the row above counts as zeros.
    for (char filter : {'\x02', '\x03', '\x04'}) {
        TDecoded d;
        Decode(d, TPNGFile::Simple(3, 1, 8, 0, std::string(1, filter) + "\x10\x20\x30"));
        int left = 0;
        for (int x = 0; x < 3; ++x) {
            int raw = 0x10 * (x + 1);
            int expected = filter == '\x02' ? raw : filter == '\x03' ? raw + left / 2 : raw + left;
            EXPECT_EQ(d.rows.Index(x, 0), static_cast<unsigned>(expected & 0xFF)) << int(filter) << " " << x;
            left = expected & 0xFF;
        }
    }
}

TEST(PNGDecoder, GreyDepthsBecomePaletteBitmapsWithGreyRamps)
{
    // 2-bit grey 3 2 1 0: a 4-bit bitmap showing 15, 10, 5, 0 of 16 greys.
    TDecoded d;
    Decode(d, TPNGFile::Simple(4, 1, 2, 0, std::string("\0\xE4", 2)));
    ASSERT_EQ(d.rows.Format, pf4bit);
    ASSERT_EQ(d.rows.Palette.size(), 16u);
    EXPECT_EQ(d.rows.Palette[1], (TPaletteEntry{17, 17, 17, 0}));
    EXPECT_EQ(d.rows.Palette[15], (TPaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(d.rows.Index(0, 0), 15u);
    EXPECT_EQ(d.rows.Index(1, 0), 10u);
    EXPECT_EQ(d.rows.Index(2, 0), 5u);
    EXPECT_EQ(d.rows.Index(3, 0), 0u);
    // 16-bit grey: v x 255 div 65535 (0x0100 gives 0, not 1), an 8-bit bitmap.
    TDecoded w;
    Decode(w, TPNGFile::Simple(3, 1, 16, 0, std::string("\0\x01\x00\xFF\xFF\x80\x00", 7)));
    ASSERT_EQ(w.rows.Format, pf8bit);
    EXPECT_EQ(w.rows.Palette.size(), 256u);
    EXPECT_EQ(w.rows.Index(0, 0), 0u);
    EXPECT_EQ(w.rows.Index(1, 0), 255u);
    EXPECT_EQ(w.rows.Index(2, 0), 0x8000u * 255 / 65535);
    // 1-bit grey: two entries, black and white.
    TDecoded b;
    Decode(b, TPNGFile::Simple(9, 1, 1, 0, std::string("\0\xA5\x80", 3)));
    ASSERT_EQ(b.rows.Format, pf1bit);
    EXPECT_EQ(b.rows.Palette, (std::vector<TPaletteEntry>{{0, 0, 0, 0}, {255, 255, 255, 0}}));
    EXPECT_EQ(b.rows.Row(0)[0], 0xA5);
    EXPECT_EQ(b.rows.Index(8, 0), 1u);
}

TEST(PNGDecoder, PaletteImagesKeepTheirIndexesAndPLTEColours)
{
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(4, 1, 2, 3));
    f.Chunk("PLTE", std::string("\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0\xB0\xC0", 12));
    f.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\xE4", 2)));
    f.Chunk("IEND", "");
    TDecoded d;
    Decode(d, f.Bytes);
    ASSERT_EQ(d.rows.Format, pf4bit);
    ASSERT_EQ(d.rows.Palette.size(), 4u);
    EXPECT_EQ(d.rows.Palette[2], (TPaletteEntry{0x70, 0x80, 0x90, 0}));
    EXPECT_EQ(d.rows.Index(0, 0), 3u);
    EXPECT_EQ(d.rows.Index(1, 0), 2u);
    EXPECT_EQ(d.rows.Index(2, 0), 1u);
    EXPECT_EQ(d.rows.Index(3, 0), 0u);
}

TEST(PNGDecoder, GreyWithAlphaIsOpaqueGreyAndRGBA16KeepsAnAlphaOf8Bits)
{
    TDecoded g;
    Decode(g, TPNGFile::Simple(2, 1, 8, 4, std::string("\0\x40\x00\xC0\xFF", 5)));
    ASSERT_EQ(g.rows.Format, pf8bit);
    EXPECT_TRUE(g.properties.HasAlpha);
    EXPECT_EQ(g.rows.Argb(0, 0), 0xFF404040u);
    EXPECT_EQ(g.rows.Argb(1, 0), 0xFFC0C0C0u);
    TDecoded c;
    Decode(c, TPNGFile::Simple(1, 1, 16, 6, std::string("\0\xFF\xFF\x80\x00\x01\x00\x7F\xFF", 9)));
    ASSERT_EQ(c.rows.Format, pf32bit);
    EXPECT_EQ(c.rows.Argb(0, 0), 0x7FFF7F00u);
}

TEST(PNGDecoder, TransparencyAndBackgroundByColourType)
{
    // Grey 2 bits: tRNS 2 -> 2 x 15 div 3 = 10; bKGD 1 -> 5.
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(1, 1, 2, 0));
    f.Chunk("tRNS", TPNGFile::BE16(2));
    f.Chunk("bKGD", TPNGFile::BE16(1));
    f.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\0", 2)));
    f.Chunk("IEND", "");
    TDecoded d;
    Decode(d, f.Bytes);
    EXPECT_EQ(d.rows.Transparent, 0x0A0A0A);
    EXPECT_EQ(d.background, 0x050505);
    // RGB 16 bits: each value x 255 div 65535.
    TPNGFile r;
    r.Chunk("IHDR", TPNGFile::Header(1, 1, 16, 2));
    r.Chunk("tRNS", TPNGFile::BE16(0xFFFF) + TPNGFile::BE16(0x8000) + TPNGFile::BE16(0x0100));
    r.Chunk("bKGD", TPNGFile::BE16(0x0102) + TPNGFile::BE16(0xFFFF) + TPNGFile::BE16(0));
    r.Chunk("IDAT", TPNGFile::Deflate(std::string(7, '\0')));
    r.Chunk("IEND", "");
    Decode(d, r.Bytes);
    EXPECT_EQ(d.rows.Transparent, 0x00007FFF);
    EXPECT_EQ(d.background, 0x00FF01);
    // Palette images: tRNS has no effect; bKGD names a palette colour.
    TPNGFile p;
    p.Chunk("IHDR", TPNGFile::Header(1, 1, 8, 3));
    p.Chunk("PLTE", std::string("\x01\x02\x03\x0A\x0B\x0C", 6));
    p.Chunk("tRNS", std::string("\0", 1));
    p.Chunk("bKGD", std::string("\x01", 1));
    p.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\0", 2)));
    p.Chunk("IEND", "");
    TDecoded q;
    Decode(q, p.Bytes);
    EXPECT_EQ(q.rows.Transparent, kPNGNoColor);
    EXPECT_EQ(q.background, 0x0C0B0A);
    // Chunks too short for their fields are ignored (read, CRC tested).
    TPNGFile s;
    s.Chunk("IHDR", TPNGFile::Header(1, 1, 8, 2));
    s.Chunk("gAMA", std::string("\0\0\x01", 3));
    s.Chunk("tRNS", std::string("\0\0\0\0\0", 5));
    s.Chunk("bKGD", std::string("\0", 1));
    s.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\x80\x80\x80", 4)));
    s.Chunk("IEND", "");
    TDecoded t;
    Decode(t, s.Bytes);
    EXPECT_EQ(t.rows.Transparent, kPNGNoColor);
    EXPECT_EQ(t.background, 0xFFFFFF);
    EXPECT_EQ(t.properties.Flags, TPNGImageProperties::HeaderRead);
    EXPECT_EQ(t.rows.Argb(0, 0), 0xFF808080u);
}

uint8_t GammaOf(int v, double fileGamma)
{
    double g = static_cast<float>(fileGamma);
    return static_cast<uint8_t>(std::floor(std::pow(v / 255.0, 1.0 / (g * static_cast<double>(2.2f))) * 255 + 0.5));
}

TEST(PNGDecoder, GammaCorrectsColoursAndPalettesButNeitherGreySamplesNorAlpha)
{
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(1, 1, 8, 6));
    f.Chunk("gAMA", TPNGFile::BE32(100000));
    f.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\x40\x80\xC0\x40", 5)));
    f.Chunk("IEND", "");
    TDecoded d;
    Decode(d, f.Bytes);
    EXPECT_EQ(d.properties.Flags, TPNGImageProperties::HeaderRead | TPNGImageProperties::GammaApplied);
    EXPECT_FLOAT_EQ(d.properties.Gamma, 1.0f);
    EXPECT_EQ(d.rows.Argb(0, 0), 0x40000000u | static_cast<uint32_t>(GammaOf(0x40, 1.0)) << 16 |
                                     static_cast<uint32_t>(GammaOf(0x80, 1.0)) << 8 | GammaOf(0xC0, 1.0));
    // A grey image: the samples are the indexes, the ramp is corrected.
    TPNGFile g;
    g.Chunk("IHDR", TPNGFile::Header(1, 1, 8, 0));
    g.Chunk("gAMA", TPNGFile::BE32(45000));
    g.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\x40", 2)));
    g.Chunk("IEND", "");
    TDecoded e;
    Decode(e, g.Bytes);
    EXPECT_FLOAT_EQ(e.properties.Gamma, 0.45f);
    EXPECT_EQ(e.rows.Index(0, 0), 0x40u);
    EXPECT_EQ(e.rows.Palette[0x40].Red, GammaOf(0x40, 0.45));
    // The same colour manager then decodes an image without gAMA: no correction left over.
    Decode(d, TPNGFile::Simple(1, 1, 8, 6, std::string("\0\x40\x80\xC0\x40", 5)));
    EXPECT_EQ(d.rows.Argb(0, 0), 0x404080C0u);
    EXPECT_EQ(d.properties.Flags, TPNGImageProperties::HeaderRead);
}

TEST(PNGDecoder, AdamSevenSmallImagesSkipTheirEmptyPasses)
{
    // 3 x 3 grey, interlaced: passes 1 (0,0), 4 (2,0), 5 (0,2 2,2), 6 (1,0 1,2), 7 (row 1).
    // Pixel (x, y) has the value 10 * y + x.
    std::string raw = std::string("\0\x00", 2) + std::string("\0\x02", 2) + std::string("\0\x14\x16", 3) +
                      std::string("\0\x01", 2) + std::string("\0\x15", 2) + std::string("\0\x0A\x0B\x0C", 4);
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(3, 3, 8, 0, 1));
    f.Chunk("IDAT", TPNGFile::Deflate(raw));
    f.Chunk("IEND", "");
    TDecoded d;
    Decode(d, f.Bytes);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(d.rows.Index(x, y), static_cast<unsigned>(10 * y + x)) << x << "," << y;
    // 1 x 1: only the first pass.
    TPNGFile one;
    one.Chunk("IHDR", TPNGFile::Header(1, 1, 8, 2, 1));
    one.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\x01\x02\x03", 4)));
    one.Chunk("IEND", "");
    Decode(d, one.Bytes);
    EXPECT_EQ(d.rows.Argb(0, 0), 0xFF010203u);
}

TEST(PNGDecoder, TheProgressOfOneImage)
{
    std::string rows;
    for (int y = 0; y < 3; ++y)
        rows += std::string("\0\x11", 2);
    TDecoded d;
    Decode(d, TPNGFile::Simple(1, 3, 8, 0, rows));
    EXPECT_EQ(d.rows.ProgressLog, (std::vector<std::string>{
                                      "starting 0 (0,0,1,1) Preparing...",
                                      "ending 0 (0,0,1,1) ",
                                      "starting 0 (0,0,1,1) Transfering...",
                                      "running 0 redraw (0,0,1,1) ",
                                      "running 33 redraw (0,1,1,2) ",
                                      "running 67 redraw (0,2,1,3) ",
                                      "ending 0 (0,3,1,4) ",
                                  }));
}

TEST(PNGDecoder, ImageDataThatStopKeepTheBackgroundWithoutAnError)
{
    // Three rows of 2 grey pixels, but the IDAT chunks end after the first row (the zlib
    // stream is cut, not ended).
    std::string packed = TPNGFile::Deflate(std::string("\0\x10\x20\0\x30\x40\0\x50\x60", 9), 0);
    TPNGFile f;
    f.Chunk("IHDR", TPNGFile::Header(2, 3, 8, 0));
    f.Chunk("bKGD", TPNGFile::BE16(0x77));
    f.Chunk("IDAT", packed.substr(0, 2 + 5 + 3));
    f.Chunk("IEND", "");
    TDecoded d;
    Decode(d, f.Bytes);
    EXPECT_EQ(d.rows.Index(0, 0), 0x10u);
    EXPECT_EQ(d.rows.Index(1, 0), 0x20u);
    for (int y = 1; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(d.rows.Index(x, y), 0x77u);
    EXPECT_EQ(d.rows.ProgressLog[4], "fill 7829367 1..3");
    EXPECT_EQ(d.rows.ProgressLog.back(), "ending 0 (0,1,2,2) ");
    EXPECT_EQ(d.stream.Position(), d.stream.Size());
}

TEST(PNGDecoder, BrokenHeadersAndSignatures)
{
    std::string good = RGBFile();
    EXPECT_EQ(Failure(good), "");
    std::string sig = good;
    sig[1] = 'p';
    EXPECT_EQ(Failure(sig), kInvalid);
    EXPECT_EQ(Failure(good.substr(0, 6)), kInvalid);
    // The first chunk is not IHDR.
    TPNGFile noHeader;
    noHeader.Chunk("gAMA", TPNGFile::BE32(45455));
    noHeader.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
    EXPECT_EQ(Failure(noHeader.Bytes), kInvalid);
    // IHDR of 12 or 14 bytes.
    for (const std::string& data : {TPNGFile::Header(2, 2, 8, 2).substr(0, 12), TPNGFile::Header(2, 2, 8, 2) + "x"}) {
        TPNGFile f;
        f.Chunk("IHDR", data);
        f.Chunk("IDAT", TPNGFile::Deflate(kRGBRows));
        f.Chunk("IEND", "");
        EXPECT_EQ(Failure(f.Bytes), kInvalid);
    }
    EXPECT_EQ(Failure(TPNGFile::Simple(0, 2, 8, 2, kRGBRows)), kInvalid);
    EXPECT_EQ(Failure(TPNGFile::Simple(2, 0, 8, 2, kRGBRows)), kInvalid);
    // Sides and bitmaps beyond the bounds.
    EXPECT_EQ(Failure(TPNGFile::Simple(TPNGDecoder::MaxSide + 1, 1, 8, 0, "")), kInvalid);
    EXPECT_EQ(Failure(TPNGFile::Simple(0x80000000u, 0x80000000u, 16, 6, "")), kInvalid);
    EXPECT_EQ(Failure(TPNGFile::Simple(32768, 32768, 8, 6, "")), kInvalid);
    // A broken IHDR CRC names the CRC.
    TPNGFile crc;
    crc.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2), true);
    crc.Chunk("IDAT", TPNGFile::Deflate(kRGBRows));
    crc.Chunk("IEND", "");
    EXPECT_EQ(Failure(crc.Bytes), kCRC);
}

TEST(PNGDecoder, EveryFailureOfTheChunksAndTheImageData)
{
    TPNGFile scheme;
    scheme.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2, 0, 1));
    scheme.Chunk("IDAT", TPNGFile::Deflate(kRGBRows));
    scheme.Chunk("IEND", "");
    EXPECT_EQ(Failure(scheme.Bytes), kScheme);

    TPNGFile palette;
    palette.Chunk("IHDR", TPNGFile::Header(1, 1, 8, 3));
    palette.Chunk("PLTE", "abcd");
    EXPECT_EQ(Failure(palette.Bytes), kPalette);

    EXPECT_EQ(Failure(TPNGFile::Simple(1, 1, 8, 1, std::string(2, '\0'))), kColor);
    EXPECT_EQ(Failure(TPNGFile::Simple(1, 1, 3, 0, std::string(2, '\0'))), kColor);
    EXPECT_EQ(Failure(TPNGFile::Simple(1, 1, 16, 3, std::string(3, '\0'))), kColor);
    EXPECT_EQ(Failure(TPNGFile::Simple(1, 1, 4, 2, std::string(3, '\0'))), kColor);
    // For palette images the format is chosen at PLTE.
    TPNGFile deep;
    deep.Chunk("IHDR", TPNGFile::Header(1, 1, 16, 3));
    deep.Chunk("PLTE", "abc");
    EXPECT_EQ(Failure(deep.Bytes), kColor);

    TPNGFile crc;
    crc.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
    crc.Chunk("IDAT", TPNGFile::Deflate(kRGBRows), true);
    crc.Chunk("IEND", "");
    EXPECT_EQ(Failure(crc.Bytes), kCRC);
    TPNGFile ancillaryCrc;
    ancillaryCrc.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
    ancillaryCrc.Chunk("gAMA", TPNGFile::BE32(45455), true);
    EXPECT_EQ(Failure(ancillaryCrc.Bytes), kCRC);

    // An unknown critical chunk; a critical chunk right after the image data; a second run
    // of image data.
    EXPECT_EQ(Failure(TPNGFile::Simple(2, 2, 8, 2, kRGBRows, TPNGFile().Chunk("ABCD", "x").Bytes.substr(8))),
              kCritical);
    for (const char* after : {"PLTE", "IHDR", "XYZW"}) {
        TPNGFile f;
        f.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
        f.Chunk("IDAT", TPNGFile::Deflate(kRGBRows));
        f.Chunk(after, "");
        f.Chunk("IEND", "");
        EXPECT_EQ(Failure(f.Bytes), kCritical) << after;
    }
    TPNGFile twice;
    std::string packed = TPNGFile::Deflate(kRGBRows);
    twice.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
    twice.Chunk("IDAT", packed.substr(0, 6));
    twice.Chunk("tEXt", "Comment");
    twice.Chunk("IDAT", packed.substr(6));
    twice.Chunk("IEND", "");
    EXPECT_EQ(Failure(twice.Bytes), kCritical);

    // Broken zlib data; a stream that ends before the image is complete; bytes after the end.
    EXPECT_EQ(Failure(TPNGFile()
                          .Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2))
                          .Chunk("IDAT", "\x78\x9C\xFF\xFF\xFF")
                          .Chunk("IEND", "")
                          .Bytes),
              kCompression);
    std::string badCheck = TPNGFile::Deflate(kRGBRows);
    badCheck.back() = static_cast<char>(badCheck.back() ^ 1);
    EXPECT_EQ(
        Failure(TPNGFile().Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2)).Chunk("IDAT", badCheck).Chunk("IEND", "").Bytes),
        kCompression);
    EXPECT_EQ(Failure(TPNGFile::Simple(2, 3, 8, 2, kRGBRows)), kExtra);
    TPNGFile trailing;
    trailing.Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2));
    trailing.Chunk("IDAT", TPNGFile::Deflate(kRGBRows) + "xx");
    trailing.Chunk("IEND", "");
    EXPECT_EQ(Failure(trailing.Bytes), kExtra);
}

TEST(PNGDecoder, LengthsAndEndsOfTheFile)
{
    std::string good = RGBFile();
    // A length above 2^31 - 1, and one beyond the end of the data: refused before allocating.
    std::string huge = good.substr(0, 33) + TPNGFile::BE32(0x80000000u) + "IDAT" + good.substr(41);
    EXPECT_EQ(Failure(huge), kInvalid);
    std::string beyond = good.substr(0, 33) + TPNGFile::BE32(0x7FFFFFF0u) + "IDAT" + good.substr(41);
    EXPECT_EQ(Failure(beyond), kInvalid);
    // Cut inside the image data, and cut right after it (before IEND).
    EXPECT_EQ(Failure(good.substr(0, good.size() - 20)), kInvalid);
    EXPECT_EQ(Failure(good.substr(0, good.size() - 12)), "stream: Stream-Lesefehler: TMemoryStream");
    // No image data at all.
    EXPECT_EQ(Failure(TPNGFile().Chunk("IHDR", TPNGFile::Header(2, 2, 8, 2)).Chunk("IEND", "").Bytes), kInvalid);
}

} // namespace
