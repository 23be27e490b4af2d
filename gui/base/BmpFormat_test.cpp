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
    refused("");
    refused("BA" + good.substr(2));
    refused(good.substr(0, good.size() - 1)); // rows cut short
    refused(good.substr(0, 30));              // header cut short
    std::string bad = good;
    bad[14] = 12; // a core header
    refused(bad);
    bad = good;
    bad[28] = 16; // 16 bits per pixel
    refused(bad);
    bad = good;
    bad[30] = 1; // RLE compression
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
