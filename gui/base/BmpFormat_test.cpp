#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/base/BmpFormat.h"
#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"
#include "tests/support/BmpBytes.h"

namespace {

TBmpPicture Read(const std::string& bytes, int64_t at = 0)
{
    TMemoryStream s;
    s.WriteString(bytes);
    s.SetPosition(at);
    TBmpPicture p;
    ReadBmp(s, p);
    return p;
}

std::vector<uint8_t> RowBytes(const TBmpPicture& p, int y, size_t n)
{
    return std::vector<uint8_t>(p.Row(y), p.Row(y) + n);
}

} // namespace

TEST(BmpFormat, RowsComeOutTopFirstWhicheverWayTheyWereStored)
{
    const std::vector<uint32_t> px = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x010203};
    for (bool topDown : {false, true}) {
        const TBmpPicture p = Read(BmpBytes(3, 2, 24, topDown, px));
        EXPECT_EQ(p.Width, 3);
        EXPECT_EQ(p.Height, 2);
        EXPECT_EQ(p.Bits, 24);
        EXPECT_EQ(p.TopDown, topDown);
        EXPECT_EQ(p.Stride, 12u);
        EXPECT_EQ(RowBytes(p, 0, 9), (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77}));
        EXPECT_EQ(RowBytes(p, 1, 9), (std::vector<uint8_t>{0xCC, 0xBB, 0xAA, 0xFF, 0xEE, 0xDD, 0x03, 0x02, 0x01}));
    }
}

TEST(BmpFormat, PaletteDepthsKeepTheirIndexesAndTables)
{
    const TBmpPicture one = Read(BmpBytes(9, 1, 1, true, {1, 0, 1, 1, 0, 0, 0, 0, 1}, {0x000000, 0xFFFFFF}));
    EXPECT_EQ(one.Bits, 1);
    EXPECT_EQ(one.Colors, (std::vector<uint32_t>{0x000000, 0xFFFFFF}));
    EXPECT_EQ(RowBytes(one, 0, 2), (std::vector<uint8_t>{0xB0, 0x80}));

    const TBmpPicture four = Read(BmpBytes(3, 1, 4, false, {2, 15, 1}, {0x0000FF, 0x00FF00, 0xFF0000}));
    EXPECT_EQ(four.Colors.size(), 16u); // missing entries are black
    EXPECT_EQ(four.Colors[2], 0xFF0000u);
    EXPECT_EQ(four.Colors[15], 0u);
    EXPECT_EQ(RowBytes(four, 0, 2), (std::vector<uint8_t>{0x2F, 0x10}));

    const TBmpPicture eight = Read(BmpBytes(2, 2, 8, false, {0, 1, 2, 3}, {1, 2, 3, 4}, 124));
    EXPECT_EQ(eight.Colors.size(), 256u);
    EXPECT_EQ(RowBytes(eight, 0, 2), (std::vector<uint8_t>{0, 1}));
    EXPECT_EQ(RowBytes(eight, 1, 2), (std::vector<uint8_t>{2, 3}));

    const TBmpPicture x32 = Read("junk" + BmpBytes(1, 1, 32, false, {0x80102030}, {}, 108), 4);
    EXPECT_EQ(RowBytes(x32, 0, 4), (std::vector<uint8_t>{0x30, 0x20, 0x10, 0x80}));
}

TEST(BmpFormat, WidthZeroIsAnEmptyPicture)
{
    const TBmpPicture p = Read(BmpBytes(0, 5, 24, false, {}));
    EXPECT_EQ(p.Width, 0);
    EXPECT_TRUE(p.Pixels.empty());
}

TEST(BmpFormat, DamagedFilesAreRefused)
{
    const std::string good = BmpBytes(4, 4, 24, false, std::vector<uint32_t>(16, 0x123456));
    auto refused = [](std::string bytes) {
        TMemoryStream s;
        s.WriteString(bytes);
        s.SetPosition(0);
        TBmpPicture p;
        EXPECT_THROW(ReadBmp(s, p), EInvalidGraphic);
    };
    auto cutShort = [](std::string bytes) {
        TMemoryStream s;
        s.WriteString(bytes);
        s.SetPosition(0);
        TBmpPicture p;
        EXPECT_THROW(ReadBmp(s, p), EStreamError);
    };
    cutShort("");
    cutShort(good.substr(0, 30)); // header cut short
    refused("BA" + good.substr(2));
    refused(good.substr(0, good.size() - 1)); // rows cut short
    std::string bad = good;
    bad[14] = 12; // a core header
    refused(bad);
    bad = good;
    bad[28] = 7; // 7 bits per pixel
    refused(bad);
    bad = good;
    bad[30] = 1; // run-length coding of 24-bit pixels
    refused(bad);
    bad = good;
    bad[30] = 4; // JPEG inside
    refused(bad);
    bad = good;
    bad[18] = 0;
    bad[19] = 0;
    bad[20] = 1; // 65536 pixels wide
    refused(bad);
    bad = good;
    bad[10] = 2; // pixel data inside the headers
    refused(bad);
    bad = good;
    bad[13] = 0x7F; // pixel data far beyond the end
    refused(bad);
    const std::string pal = BmpBytes(2, 1, 1, false, {0, 1}, {0, 0xFFFFFF});
    bad = pal;
    bad[46] = 3; // three colours for one bit
    refused(bad);
}

TEST(BmpFormat, RunLengthDataUnpacksIntoBottomUpRows)
{
    // RLE8, 5 x 3: bottom row a run of 2 x index 7 and literals 1 2 3 (padded to a word), end
    // of row; a move of 1 right; a run of 9 (cut at the width); the end of the picture. The top
    // row stays 0.
    const std::string rle8("\x02\x07\x00\x03\x01\x02\x03\x00\x00\x00"
                           "\x00\x02\x01\x00"
                           "\x09\x05\x00\x01",
                           18);
    const TBmpPicture p = Read(CodedBmp(5, 3, 8, 1, {0, 0xFFFFFF}, rle8, 18));
    EXPECT_EQ(p.Bits, 8);
    EXPECT_EQ(p.Colors[1], 0xFFFFFFu);
    EXPECT_EQ(RowBytes(p, 2, 5), (std::vector<uint8_t>{7, 7, 1, 2, 3}));
    EXPECT_EQ(RowBytes(p, 1, 5), (std::vector<uint8_t>{0, 5, 5, 5, 5}));
    EXPECT_EQ(RowBytes(p, 0, 5), (std::vector<uint8_t>{0, 0, 0, 0, 0}));

    // RLE4, 5 x 2: a run of 3 alternating nibbles 1 and 2, end of row; literals 4 5 6 7 8
    // (three data bytes, padded to four); no end marker, the size 0 reading to the stream's end.
    const std::string rle4("\x03\x12\x00\x00"
                           "\x00\x05\x45\x67\x80\x00",
                           10);
    const TBmpPicture q = Read(CodedBmp(5, 2, 4, 2, {0, 0}, rle4, 0));
    EXPECT_EQ(RowBytes(q, 1, 3), (std::vector<uint8_t>{0x12, 0x10, 0x00}));
    EXPECT_EQ(RowBytes(q, 0, 3), (std::vector<uint8_t>{0x45, 0x67, 0x80}));

    auto refused = [](const std::string& bytes) {
        TMemoryStream s;
        s.WriteString(bytes);
        s.SetPosition(0);
        TBmpPicture r;
        EXPECT_THROW(ReadBmp(s, r), EInvalidGraphic);
    };
    refused(CodedBmp(5, 3, 8, 1, {0}, std::string("\x00\x05\x01\x02", 4), 4)); // literals cut short
    refused(CodedBmp(5, 3, 8, 1, {0}, rle8, 19));                              // size beyond the data
    refused(CodedBmp(5, -3, 8, 1, {0}, rle8, 18));                             // top-down
    refused(CodedBmp(5, 3, 8, 2, {0}, rle8, 18));                              // RLE4 of 8 bits
    refused(CodedBmp(4097, 4096, 8, 1, {0}, rle8, 18));                        // a huge blank picture from a few bytes
}

TEST(BmpFormat, RunLengthMovesThatLeaveThePictureAreDamaged)
{
    // 4 x 2: a move to the right edge, the end of the row; a move of 1 right and 1 up to the
    // top edge ends the picture. Both stay inside.
    const TBmpPicture p = Read(CodedBmp(4, 2, 8, 1, {0},
                                        std::string("\x01\x09\x00\x02\x03\x00\x00\x00"
                                                    "\x01\x08\x00\x02\x01\x01\x01\x07",
                                                    16),
                                        0));
    EXPECT_EQ(RowBytes(p, 1, 4), (std::vector<uint8_t>{9, 0, 0, 0}));
    EXPECT_EQ(RowBytes(p, 0, 4), (std::vector<uint8_t>{8, 0, 0, 0}));
    for (const std::string& moves : {std::string("\x00\x02\x05\x00\x01\x07", 6),  // right of the width
                                     std::string("\x00\x02\x00\x03\x01\x07", 6),  // above the top
                                     std::string("\x02\x01\x00\x02\x03\x00", 6)}) // past it from column 2
        EXPECT_THROW(Read(CodedBmp(4, 2, 8, 1, {0}, moves, 0)), EInvalidGraphic);
    // Moves whose sum passes 2^31 before a pixel: refused at the first one that leaves.
    EXPECT_THROW(Read(MovesPastTheWidthBmp()), EInvalidGraphic);
}

TEST(BmpFormat, SixteenBitPixelsAndBitFields)
{
    // 16 bits uncompressed: two pixels, kept as they are (5-5-5).
    const TBmpPicture plain = Read(CodedBmp(2, 1, 16, 0, {}, std::string("\x1F\x00\x00\x7C", 4), 0));
    EXPECT_EQ(plain.Bits, 16);
    EXPECT_FALSE(plain.Masks);
    EXPECT_EQ(RowBytes(plain, 0, 4), (std::vector<uint8_t>{0x1F, 0x00, 0x00, 0x7C}));
    // 16 bits 5-6-5: the masks follow the header (written where a colour table would be).
    const TBmpPicture fields =
        Read(CodedBmp(1, 1, 16, 3, {0xF800, 0x7E0, 0x1F}, std::string("\xE0\x07\x00\x00", 4), 0));
    EXPECT_TRUE(fields.Masks);
    EXPECT_EQ(fields.ColorMasks[0], 0xF800u);
    EXPECT_EQ(fields.ColorMasks[1], 0x7E0u);
    EXPECT_EQ(fields.ColorMasks[2], 0x1Fu);
    EXPECT_EQ(RowBytes(fields, 0, 2), (std::vector<uint8_t>{0xE0, 0x07}));
    // 32 bits with the plain masks is plain 32 bits.
    const TBmpPicture x32 =
        Read(CodedBmp(1, 1, 32, 3, {0xFF0000, 0xFF00, 0xFF}, std::string("\x01\x02\x03\x04", 4), 0));
    EXPECT_FALSE(x32.Masks);
    EXPECT_EQ(RowBytes(x32, 0, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
    // A mask of 0, or bit fields of 8 bits, are refused.
    for (const std::string& bytes : {CodedBmp(1, 1, 16, 3, {0xF800, 0, 0x1F}, std::string(4, '\0'), 0),
                                     CodedBmp(1, 1, 8, 3, {0xF800, 0x7E0, 0x1F}, std::string(4, '\0'), 0)}) {
        TMemoryStream s;
        s.WriteString(bytes);
        s.SetPosition(0);
        TBmpPicture r;
        EXPECT_THROW(ReadBmp(s, r), EInvalidGraphic);
    }
}
