// Pixel formats, scan lines and palettes of TBitmap.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/Graphics.h"
#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"
#include "tests/support/BmpBytes.h"

namespace {

uint8_t* Row(TBitmap& b, int y) { return static_cast<uint8_t*>(b.ScanLine(y)); }

HPALETTE MakePalette(std::initializer_list<COLORREF> colours)
{
    std::vector<uint8_t> mem(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * colours.size());
    auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(colours.size());
    PALETTEENTRY* e = lp->palPalEntry;
    for (COLORREF c : colours)
        *e++ = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    return CreatePalette(lp);
}

std::vector<RGBQUAD> ColourTable(TBitmap& b, int count)
{
    std::vector<RGBQUAD> table(static_cast<size_t>(count));
    EXPECT_EQ(GetDIBColorTable(b.Canvas().Handle(), 0, static_cast<UINT>(count), table.data()),
              static_cast<UINT>(count));
    return table;
}

TEST(BitmapFormat, NewBitmapsAre24BitBottomUp)
{
    TBitmap b(3, 4);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(b.BitsPerPixel(), 24);
    EXPECT_EQ(b.RowStep(), -12);
    EXPECT_EQ(Row(b, 1) - Row(b, 0), -12);
    EXPECT_EQ(Row(b, 0) - Row(b, 3), 36); // row 0 last in memory
    EXPECT_EQ(Row(b, 0)[0], 0xFF);        // white
    EXPECT_THROW(b.ScanLine(4), ERangeError);
    EXPECT_THROW(b.ScanLine(-1), ERangeError);
    TBitmap empty;
    EXPECT_EQ(empty.PixelFormat(), pf24bit);
    EXPECT_EQ(empty.RowStep(), 0);
    EXPECT_THROW(empty.ScanLine(0), ERangeError);
}

TEST(BitmapFormat, ScanLinesSeeWhatTheCanvasDrew)
{
    for (TPixelFormat f : {pf24bit, pf32bit}) {
        TBitmap b;
        b.SetPixelFormat(f);
        b.SetSize(4, 3);
        b.Canvas().Brush().SetColor(0x00332211);
        b.Canvas().FillRect(RECT{1, 2, 2, 3});
        int bytes = f == pf32bit ? 4 : 3;
        const uint8_t* p = Row(b, 2) + bytes;
        EXPECT_EQ(p[0], 0x33);
        EXPECT_EQ(p[1], 0x22);
        EXPECT_EQ(p[2], 0x11);
        Row(b, 0)[0] = 0x44; // blue of pixel (0, 0)
        EXPECT_EQ(b.Canvas().Pixel(0, 0), 0x44FFFFu);
    }
}

TEST(BitmapFormat, TrueColourConversionsKeepColoursAndMakeAlphaOpaque)
{
    TBitmap b(2, 2);
    b.Canvas().SetPixel(1, 0, 0x00332211);
    b.SetPixelFormat(pf32bit);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_EQ(b.RowStep(), -8);
    const uint8_t want32[4] = {0x33, 0x22, 0x11, 0xFF};
    EXPECT_EQ(std::memcmp(Row(b, 0) + 4, want32, 4), 0);
    EXPECT_EQ(Row(b, 1)[3], 0xFF);
    Row(b, 1)[3] = 0x40; // alpha survives a resize
    b.SetSize(3, 3);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_EQ(Row(b, 1)[3], 0x40);
    EXPECT_EQ(std::memcmp(Row(b, 0) + 4, want32, 4), 0);
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(b.BitsPerPixel(), 24);
    EXPECT_EQ(std::memcmp(Row(b, 0) + 3, want32, 3), 0);
}

TEST(BitmapFormat, PaletteFormatsTakeTheirDefaultColours)
{
    TBitmap b(4, 1);
    b.Canvas().SetPixel(0, 0, clRed);
    b.Canvas().SetPixel(1, 0, clBlack);
    b.SetPixelFormat(pf4bit);
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    std::vector<RGBQUAD> table = ColourTable(b, 16);
    EXPECT_EQ(table[9].rgbRed, 255);
    EXPECT_EQ(table[9].rgbGreen, 0);
    EXPECT_EQ(table[15].rgbBlue, 255);
    EXPECT_EQ(Row(b, 0)[0], 0x90); // red, black
    EXPECT_EQ(Row(b, 0)[1], 0xFF); // white, white
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(b.Canvas().Pixel(2, 0), 0xFFFFFFu);

    TBitmap mono(9, 2);
    mono.Canvas().SetPixel(8, 1, clBlack);
    mono.SetPixelFormat(pf1bit);
    EXPECT_EQ(mono.RowStep(), -4);
    EXPECT_EQ(Row(mono, 1)[0], 0xFF);
    EXPECT_EQ(Row(mono, 1)[1], 0x7F);
    EXPECT_THROW(mono.SetPixelFormat(pf16bit), EInvalidOperation);
    EXPECT_THROW(mono.SetPixelFormat(pfDevice), EInvalidOperation);
}

TEST(BitmapFormat, PaletteGivesTheColourTable)
{
    TBitmap b;
    b.SetPixelFormat(pf8bit);
    HPALETTE greys = MakePalette({0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF});
    b.SetPalette(greys);
    EXPECT_EQ(b.Palette(), greys);
    b.SetSize(2, 2);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    std::vector<RGBQUAD> table = ColourTable(b, 4);
    EXPECT_EQ(table[1].rgbRed, 0x55);
    EXPECT_EQ(table[2].rgbGreen, 0xAA);
    Row(b, 0)[1] = 2;
    EXPECT_EQ(b.Canvas().Pixel(1, 0), 0xAAAAAAu);
    // A new palette changes the table of the bitmap in place.
    b.SetPalette(MakePalette({0x0000FF, 0x00FF00, 0xFF0000}));
    EXPECT_EQ(b.Canvas().Pixel(1, 0), 0xFF0000u);

    TBitmap copy;
    copy.Assign(b);
    EXPECT_EQ(copy.PixelFormat(), pf8bit);
    EXPECT_NE(copy.Palette(), nullptr);
    EXPECT_NE(copy.Palette(), b.Palette());
    EXPECT_EQ(Row(copy, 0)[1], 2);
    EXPECT_EQ(copy.Canvas().Pixel(1, 0), 0xFF0000u);
}

TEST(BitmapFormat, AssignCopiesThirtyTwoBitPixelsExactly)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 12; ++i)
            Row(b, y)[i] = static_cast<uint8_t>(16 * y + i);
    TBitmap copy;
    copy.Assign(b);
    EXPECT_EQ(copy.PixelFormat(), pf32bit);
    for (int y = 0; y < 2; ++y)
        EXPECT_EQ(std::memcmp(Row(copy, y), Row(b, y), 12), 0) << y;
}

TEST(BitmapFormat, TopDownBitmapsHaveAPositiveRowStep)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 3;
    bi.bmiHeader.biHeight = -2;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(h, nullptr);
    TBitmap b;
    b.SetHandle(h);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.RowStep(), 12);
    EXPECT_EQ(b.ScanLine(0), bits);
    Row(b, 1)[2] = 0xFF; // red of pixel (0, 1)
    EXPECT_EQ(b.Canvas().Pixel(0, 1), 0x0000FFu);
    // A device bitmap is taken as a 24-bit copy.
    TBitmap d;
    HDC screen = GetDC(nullptr);
    d.SetHandle(CreateCompatibleBitmap(screen, 5, 4));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(d.PixelFormat(), pf24bit);
    EXPECT_EQ(d.Width(), 5);
    EXPECT_EQ(d.Height(), 4);
}

} // namespace

// Bitmap files from streams: every depth, both row orders, the palette taken over.
TEST(BitmapStream, EveryDepthAndRowOrderReadsBackItsPixels)
{
    struct TCase {
        int Bits;
        TPixelFormat Format;
        std::vector<uint32_t> Palette;
        std::vector<uint32_t> Values;   // as the file holds them, top row first (3 x 2)
        std::vector<COLORREF> Expected; // the pixels read back
    };
    const std::vector<TCase> cases = {
        {1, pf1bit, {0x000000, 0xFF8000}, {1, 0, 1, 0, 0, 1}, {0x0080FF, 0, 0x0080FF, 0, 0, 0x0080FF}},
        {4,
         pf4bit,
         {0x000000, 0x102030, 0x405060},
         {2, 1, 0, 1, 2, 1},
         {0x605040, 0x302010, 0, 0x302010, 0x605040, 0x302010}},
        {8,
         pf8bit,
         {0x112233, 0x445566, 0x778899, 0xAABBCC},
         {3, 2, 1, 0, 1, 2},
         {0xCCBBAA, 0x998877, 0x665544, 0x332211, 0x665544, 0x998877}},
        {24,
         pf24bit,
         {},
         {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112},
         {0x030201, 0x060504, 0x090807, 0x0C0B0A, 0x0F0E0D, 0x121110}},
        {32,
         pf32bit,
         {},
         {0xFF010203, 0x80040506, 0x00070809, 0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112},
         {0x030201, 0x060504, 0x090807, 0x0C0B0A, 0x0F0E0D, 0x121110}},
    };
    for (const TCase& c : cases)
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(c.Bits) + (topDown ? " top-down" : " bottom-up"));
            TMemoryStream s;
            s.WriteString("xy" + BmpBytes(3, 2, c.Bits, topDown, c.Values, c.Palette));
            s.SetPosition(2);
            TBitmap b;
            b.LoadFromStream(s);
            ASSERT_EQ(b.Width(), 3);
            ASSERT_EQ(b.Height(), 2);
            EXPECT_EQ(b.PixelFormat(), c.Format);
            EXPECT_LT(b.RowStep(), 0); // stored bottom-up
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(b.Canvas().Pixel(x, y), c.Expected[static_cast<size_t>(y * 3 + x)]) << x << "," << y;
            if (c.Bits == 32) {
                EXPECT_EQ(Row(b, 0)[7], 0x80); // alpha kept
            }
        }
}

TEST(BitmapStream, EmptyAndDamagedFiles)
{
    TBitmap b(4, 4);
    TMemoryStream empty;
    empty.WriteString(BmpBytes(0, 3, 24, false, {}));
    empty.SetPosition(0);
    b.LoadFromStream(empty);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);

    TBitmap kept(2, 2);
    TMemoryStream bad;
    bad.WriteString("BM no bitmap at all");
    bad.SetPosition(0);
    EXPECT_THROW(kept.LoadFromStream(bad), EInvalidGraphic);
    EXPECT_EQ(kept.Width(), 2);
    EXPECT_FALSE(kept.Empty());
}

TEST(BitmapStream, SixteenBitFilesKeepTheirDepthAndColours)
{
    // One 5-6-5 pixel of pure green and one of pure red, masks after the 40-byte header.
    std::string bytes = BmpBytes(2, 1, 16, false, {0x07E0, 0xF800});
    bytes[30] = 3; // BI_BITFIELDS
    const std::string masks("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12);
    bytes.insert(54, masks);
    bytes[10] = static_cast<char>(54 + 12);
    TMemoryStream s;
    s.WriteString(bytes);
    s.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(s);
    EXPECT_EQ(b.PixelFormat(), pf16bit);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(b.Canvas().Pixel(1, 0), RGB(255, 0, 0));
}
