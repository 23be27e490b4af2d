// QRLib.dll through its import table: which texts give a symbol, its size, and the fixed parts
// of the matrix (finder and timing patterns, the format information with the level).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "qr/QRLib.h"

namespace {

// The modules handed out by GetQR after CalculateQR(text), copied.
struct Matrix {
    std::int32_t returned = -1; // CalculateQR's result
    std::int32_t size = -1;     // GetQR's size
    const std::uint8_t* data = nullptr;
    std::vector<std::uint8_t> modules;
    int At(int row, int col) const { return modules[static_cast<std::size_t>(row * size + col)]; }
};

Matrix Encode(const char* text)
{
    Matrix m;
    m.returned = CalculateQR(text);
    m.data = GetQR(&m.size);
    if (m.data != nullptr && m.size > 0) m.modules.assign(m.data, m.data + m.size * m.size);
    return m;
}

// A verification link cut to the given length, with base64url text after the query key.
std::string LinkOfLength(std::size_t length)
{
    std::string text = "http://verify.example/verify.php?t1=";
    const char* tail = "4QjYAhmc2QIQDNoDAxkM2wIZAA-_cm9vdD1Tb2ZvcnQ=";
    for (std::size_t i = 0; text.size() < length; ++i)
        text += tail[i % 44];
    text.resize(length);
    return text;
}

// The 15 format bits with their error-correction check, masked, for level bits and mask.
int FormatWord(int level, int mask)
{
    const int data = (level << 3) | mask;
    int rest = data << 10;
    for (int bit = 14; bit >= 10; --bit) {
        if (rest & (1 << bit)) rest ^= 0x537 << (bit - 10);
    }
    return ((data << 10) | rest) ^ 0x5412;
}

// The format bits beside the top-left finder, bit 0 first.
int FormatNearTopLeft(const Matrix& m)
{
    int word = 0;
    for (int i = 0; i < 15; ++i) {
        int row = 8, col = 8;
        if (i < 6) row = i;
        else if (i < 8) row = i + 1;
        else if (i == 8) col = 7;
        else col = 14 - i;
        word |= m.At(row, col) << i;
    }
    return word;
}

// Their copy beside the top-right and bottom-left finders.
int FormatCopy(const Matrix& m)
{
    int word = 0;
    for (int i = 0; i < 15; ++i) {
        const int bit = i < 8 ? m.At(8, m.size - 1 - i) : m.At(m.size - 15 + i, 8);
        word |= bit << i;
    }
    return word;
}

// A well-formed symbol of level M: size 17 + 4 × version, modules 0 or 1, the three finders
// with their light separators, the timing patterns, the dark module and both format copies.
void ExpectLevelMSymbol(const Matrix& m, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_NE(m.data, nullptr);
    ASSERT_EQ(m.returned, m.size);
    ASSERT_GE(m.size, 21);
    ASSERT_LE(m.size, 177);
    ASSERT_EQ((m.size - 17) % 4, 0);
    for (std::uint8_t module : m.modules)
        ASSERT_LE(module, 1);
    const int n = m.size;
    const int corners[3][2] = {{0, 0}, {0, n - 7}, {n - 7, 0}};
    for (const auto& corner : corners) {
        for (int r = -1; r <= 7; ++r) {
            for (int c = -1; c <= 7; ++c) {
                const int row = corner[0] + r, col = corner[1] + c;
                if (row < 0 || col < 0 || row >= n || col >= n) continue;
                const bool ring = (r == 0 || r == 6 || c == 0 || c == 6) && r >= 0 && r <= 6 && c >= 0 && c <= 6;
                const bool centre = r >= 2 && r <= 4 && c >= 2 && c <= 4;
                ASSERT_EQ(m.At(row, col), ring || centre ? 1 : 0) << "finder module " << row << "," << col;
            }
        }
    }
    for (int i = 8; i < n - 8; ++i) {
        ASSERT_EQ(m.At(6, i), i % 2 == 0 ? 1 : 0) << "timing row, column " << i;
        ASSERT_EQ(m.At(i, 6), i % 2 == 0 ? 1 : 0) << "timing column, row " << i;
    }
    EXPECT_EQ(m.At(n - 8, 8), 1) << "dark module";
    const int format = FormatNearTopLeft(m);
    EXPECT_EQ(FormatCopy(m), format);
    bool levelM = false;
    for (int mask = 0; mask < 8; ++mask)
        levelM = levelM || format == FormatWord(0, mask);
    EXPECT_TRUE(levelM) << "format bits " << format;
}

void ExpectNoSymbol(const Matrix& m)
{
    EXPECT_EQ(m.returned, 0);
    EXPECT_EQ(m.data, nullptr);
    EXPECT_EQ(m.size, 0);
}

} // namespace

TEST(QRLib, EmptyOrNullTextHasNoSymbolAndDropsTheLastOne)
{
    ASSERT_EQ(Encode("a").size, 21);
    ExpectNoSymbol(Encode(""));
    ASSERT_EQ(Encode("a").size, 21);
    ExpectNoSymbol(Encode(nullptr));
    EXPECT_EQ(GetQR(nullptr), nullptr);
}

TEST(QRLib, EveryLinkLengthFrom1To600GivesALevelMSymbol)
{
    for (std::size_t length = 1; length <= 600; ++length) {
        const std::string link = LinkOfLength(length);
        ExpectLevelMSymbol(Encode(link.c_str()), "length " + std::to_string(length));
        if (HasFatalFailure()) return;
    }
}

TEST(QRLib, SmallestVersionThatHoldsTheTextAtLevelM)
{
    const struct {
        std::string text;
        int size;
    } cases[] = {
        {"a", 21},
        {std::string(14, 'a'), 21},
        {std::string(15, 'a'), 25},
        {std::string(26, 'a'), 25},
        {std::string(27, 'a'), 29},
        {std::string(600, 'a'), 93},
        {std::string(2331, 'a'), 177},
        {std::string(20, 'A'), 21},
        {std::string(21, 'A'), 25},
        {std::string(34, '7'), 21},
        {std::string(35, '7'), 25},
        {std::string(5596, '7'), 177},
        {"\x80 \xC4\xD6\xDC\xE4\xF6\xFC\xDF", 21},
    };
    for (const auto& c : cases) {
        const Matrix m = Encode(c.text.c_str());
        EXPECT_EQ(m.size, c.size) << c.text.size() << " x '" << c.text[0] << "'";
        ExpectLevelMSymbol(m, c.text.substr(0, 20));
    }
}

TEST(QRLib, TextTooLongForTheLargestSymbolHasNone)
{
    ASSERT_EQ(Encode("a").size, 21);
    ExpectNoSymbol(Encode(std::string(2332, 'a').c_str()));
    ExpectNoSymbol(Encode(std::string(5597, '7').c_str()));
    ExpectNoSymbol(Encode(LinkOfLength(65532).c_str()));
}

TEST(QRLib, MatrixStaysUntilTheNextCalculation)
{
    const Matrix first = Encode(LinkOfLength(100).c_str());
    ASSERT_NE(first.data, nullptr);
    std::int32_t size = 0;
    const std::uint8_t* again = GetQR(&size);
    ASSERT_EQ(again, first.data);
    ASSERT_EQ(size, first.size);
    EXPECT_EQ(std::vector<std::uint8_t>(again, again + size * size), first.modules);
    // The same text gives the same modules; another text of the same size gives others.
    EXPECT_EQ(Encode(LinkOfLength(100).c_str()).modules, first.modules);
    const Matrix other = Encode(LinkOfLength(99).c_str());
    ASSERT_EQ(other.size, first.size);
    EXPECT_NE(other.modules, first.modules);
}
