#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "skin/engine/tools/VtzWriter.h"
#include "skin/engine/vxInflateStream.h"
#include "skin/engine/vxSkinConvertor.h"

namespace {

std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes)
{
    auto s = std::make_unique<TMemoryStream>();
    s->WriteString(bytes);
    return s;
}

// Unpacks the container into a fresh convertor that owns the bytes.
std::unique_ptr<TvxSkinConvertor> Extracted(const std::string& container)
{
    auto c = std::make_unique<TvxSkinConvertor>();
    c->SetPackedData(StreamOf(container));
    c->Extract();
    return c;
}

std::string Random(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& ch : s)
        ch = static_cast<char>(gen());
    return s;
}

std::string Text(const TMemoryStream& s) { return s.DataString(); }

const std::string OptionsText = "[GLOBALINFO]\r\nVERSION=6.5\r\n";

} // namespace

TEST(SkinContainer, PackedEntriesComeBackByteEqualWithTheirBitmapFlags)
{
    const std::string master = Random(5000, 1);
    auto c = Extracted(vtz::Pack({{"Options.dat", OptionsText},
                                  {"Master.Bmp", master},
                                  {"Glyph.png", "PNGDATA"},
                                  {"Pattern.jpg", "JPEGDATA"},
                                  {"README", "no extension"}}));
    ASSERT_TRUE(c->Options);
    EXPECT_EQ(Text(*c->Options), OptionsText);
    EXPECT_EQ(c->Options->Position(), 0);
    EXPECT_EQ(c->ImageCount, 4);
    ASSERT_EQ(c->Files.size(), 4u);
    const char* names[] = {"Master.Bmp", "Glyph.png", "Pattern.jpg", "README"};
    const bool bitmaps[] = {true, false, false, false};
    const std::string data[] = {master, "PNGDATA", "JPEGDATA", "no extension"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(c->Files[i].FileName, names[i]);
        EXPECT_EQ(c->Files[i].IsBitmap, bitmaps[i]) << names[i];
        EXPECT_EQ(Text(*c->Files[i].Data), data[i]) << names[i];
    }
}

TEST(SkinContainer, OptionsEntryIsFoundInAnyCaseAndTheLastOfTwoWins)
{
    auto c = Extracted(vtz::Pack({{"Master.bmp", "M"}, {"options.DAT", "first"}, {"OPTIONS.dat", "second"}}));
    ASSERT_TRUE(c->Options);
    EXPECT_EQ(Text(*c->Options), "second");
    EXPECT_EQ(c->ImageCount, 2);
    ASSERT_EQ(c->Files.size(), 1u);
    EXPECT_EQ(c->Files[0].FileName, "Master.bmp");
}

TEST(SkinContainer, OptionsAloneGiveNoImages)
{
    auto c = Extracted(vtz::Pack({{"Options.dat", OptionsText}}));
    EXPECT_EQ(c->ImageCount, 0);
    EXPECT_TRUE(c->Files.empty());
    EXPECT_EQ(Text(*c->Options), OptionsText);
}

TEST(SkinContainer, EntriesOfBothLevelsEmptyEntriesAndTrailingBytes)
{
    const std::string text(3000, 'a');
    auto c = Extracted(
        vtz::Pack({{"Options.dat", OptionsText, 0}, {"A.bmp", text, 0}, {"B.bmp", text, 9}, {"Empty.png", "", 9}}) +
        "trailing bytes that are not an entry");
    ASSERT_EQ(c->Files.size(), 3u);
    EXPECT_EQ(Text(*c->Files[0].Data), text);
    EXPECT_EQ(Text(*c->Files[1].Data), text);
    EXPECT_EQ(c->Files[2].Data->Size(), 0);
}

TEST(SkinContainer, LargeEntriesCrossTheReadBlocks)
{
    // A stream that ends exactly where a 64 KiB block of the reader ends.
    std::string exact;
    for (size_t n = 65500; n <= 65536 && exact.empty(); ++n)
        if (vtz::Compress(Random(n, 7), 0).size() == TvxInflateStream::BlockSize) exact = Random(n, 7);
    ASSERT_FALSE(exact.empty());
    const std::string big = Random(200 * 1024, 3);
    auto c = Extracted(vtz::Pack(
        {{"Options.dat", OptionsText}, {"Exact.bmp", exact, 0}, {"Big.bmp", big, 9}, {"After.bmp", "after", 9}}));
    ASSERT_EQ(c->Files.size(), 3u);
    EXPECT_EQ(Text(*c->Files[0].Data), exact);
    EXPECT_EQ(Text(*c->Files[1].Data), big);
    EXPECT_EQ(Text(*c->Files[2].Data), "after");
}

TEST(SkinContainer, WrongMagicIsRefusedWithItsTextAndClearsTheConvertor)
{
    for (const char* magic : {"vtzf", "VTZF", "PK\x03\x04", "VTz"}) {
        std::string bytes = vtz::Pack({{"Options.dat", OptionsText}});
        bytes.replace(0, 4, magic);
        TvxSkinConvertor c;
        c.Options = StreamOf("left over");
        c.SetPackedData(StreamOf(bytes));
        try {
            c.Extract();
            FAIL() << magic;
        } catch (const EvxNotPacked& e) {
            EXPECT_STREQ(e.what(), "Loaded data is not packed Velotex file");
        }
        EXPECT_FALSE(c.Options);
        EXPECT_TRUE(c.Files.empty());
        EXPECT_EQ(c.PackedData(), nullptr);
    }
}

TEST(SkinContainer, CountsNamesAndSizesThatCannotBeRightAreRefused)
{
    const std::string z = vtz::Compress("x", 9);
    const std::string opt = vtz::Int32(11) + "Options.dat" + vtz::Int32(1) + z;
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"negative count", "VTzf" + vtz::Int32(-1) + opt},
        {"count beyond the data", "VTzf" + vtz::Int32(1000000) + opt},
        {"no entries", "VTzf" + vtz::Int32(0)},
        {"negative name length", "VTzf" + vtz::Int32(1) + vtz::Int32(-5) + "Options.dat" + vtz::Int32(1) + z},
        {"name length beyond the data", "VTzf" + vtz::Int32(1) + vtz::Int32(200) + "Options.dat" + vtz::Int32(1) + z},
        {"name length above the cap", "VTzf" + vtz::Int32(1) + vtz::Int32(300) + std::string(300, 'n') + opt},
        {"negative size", "VTzf" + vtz::Int32(1) + vtz::Int32(11) + "Options.dat" + vtz::Int32(-1) + z},
        {"size above the cap", "VTzf" + vtz::Int32(1) + vtz::Int32(11) + "Options.dat" + vtz::Int32(0x7FFFFFFF) + z},
        {"stream shorter than the size", "VTzf" + vtz::Int32(1) + vtz::Int32(11) + "Options.dat" + vtz::Int32(2) + z},
        {"stream longer than the size", "VTzf" + vtz::Int32(1) + vtz::Int32(11) + "Options.dat" + vtz::Int32(0) + z},
        {"no options entry", vtz::Pack({{"Master.bmp", "M"}})},
        {"broken zlib data",
         "VTzf" + vtz::Int32(1) + vtz::Int32(11) + "Options.dat" + vtz::Int32(1) + "\x78\x9C\xFF\xFF"},
    };
    for (const Case& k : cases) {
        auto c = std::make_unique<TvxSkinConvertor>();
        c->SetPackedData(StreamOf(k.bytes));
        EXPECT_THROW(c->Extract(), Exception) << k.what;
    }
    EXPECT_THROW(Extracted(cases[0].bytes), EvxDamagedContainer);
    EXPECT_THROW(Extracted(cases[8].bytes), EvxDecompressionError);
    EXPECT_THROW(Extracted(cases[9].bytes), EvxDecompressionError);
    EXPECT_THROW(Extracted(cases[10].bytes), EvxDamagedContainer);
}

TEST(SkinContainer, EntriesOfMoreThan256MiBInAllAreRefusedBeforeThePassingOneIsUnpacked)
{
    // The options and four entries of 64 MiB zeros (64 KiB of zlib data each, built here): the
    // fourth passes the sum.
    const std::string zeros = vtz::Compress(std::string(TvxSkinConvertor::MaxUnpackedSize, '\0'), 9);
    std::string bytes = "VTzf" + vtz::Int32(5) + vtz::Int32(11) + "Options.dat" + vtz::Int32(1) + vtz::Compress("x", 9);
    for (int i = 1; i <= 4; ++i)
        bytes +=
            vtz::Int32(9) + "Zero" + std::to_string(i) + ".bmp" + vtz::Int32(TvxSkinConvertor::MaxUnpackedSize) + zeros;
    TvxSkinConvertor c;
    c.SetPackedData(StreamOf(bytes));
    try {
        c.Extract();
        ADD_FAILURE() << "unpacked whole";
    } catch (const EvxDamagedContainer& e) {
        EXPECT_STREQ(e.what(), "Damaged skin container: more than 256 MiB unpacked at Zero4.bmp");
    }
    ASSERT_EQ(c.Files.size(), 3u);
    EXPECT_EQ(c.Files[2].Data->Size(), TvxSkinConvertor::MaxUnpackedSize);
}

TEST(SkinContainer, EveryCutAndEveryFlippedByteIsHandled)
{
    const std::string good =
        vtz::Pack({{"Options.dat", OptionsText}, {"Master.bmp", Random(300, 5), 9}, {"Icon.png", "icon", 0}});
    for (size_t n = 0; n < good.size(); ++n) {
        auto c = std::make_unique<TvxSkinConvertor>();
        c->SetPackedData(StreamOf(good.substr(0, n)));
        EXPECT_THROW(c->Extract(), Exception) << "cut at " << n;
    }
    for (size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x5A);
        auto c = std::make_unique<TvxSkinConvertor>();
        c->SetPackedData(StreamOf(bad));
        try {
            c->Extract();
            EXPECT_TRUE(c->Options) << "flip at " << i;
        } catch (const Exception&) {
        }
    }
}

TEST(SkinContainer, ClearFreesEverythingAndALentStreamStaysWithItsOwner)
{
    TMemoryStream lent;
    lent.WriteString(vtz::Pack({{"Options.dat", OptionsText}, {"Master.bmp", "M"}}));
    {
        TvxSkinConvertor c;
        c.LendPackedData(&lent);
        c.Extract();
        EXPECT_EQ(c.Files.size(), 1u);
        c.Clear();
        EXPECT_TRUE(c.Files.empty());
        EXPECT_FALSE(c.Options);
        EXPECT_EQ(c.PackedData(), nullptr);
    }
    EXPECT_GT(lent.Size(), 0);
}
