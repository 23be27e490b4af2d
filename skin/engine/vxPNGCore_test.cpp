// The PNG decoder's building blocks: CRC-32, the inflate holder and the row filters.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <zlib.h>

#include "skin/engine/vxAdler32.h"
#include "skin/engine/vxCRC32.h"
#include "skin/engine/vxLZ77Decoder.h"
#include "skin/engine/vxPNGFilters.h"
#include "skin/engine/tests/PNGFiles.h"

namespace {

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

TEST(PNGCRC, MatchesZlibAtEveryLengthAndAfterTheTableWasFreed)
{
    EXPECT_EQ(CRCPolynomial(), 0xEDB88320u);
    EXPECT_EQ(UpdateCRC32(0xFFFFFFFF, "IEND", 4) ^ 0xFFFFFFFF, 0xAE426082u);
    auto data = RandomBytes(100, 1);
    for (size_t n = 0; n <= data.size(); ++n) {
        uint32_t zlibCrc = static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(n)));
        ASSERT_EQ(UpdateCRC32(0xFFFFFFFF, data.data(), n) ^ 0xFFFFFFFF, zlibCrc) << n;
    }
    // Runs long enough for the three lanes, and their rest.
    auto longData = RandomBytes(3 * 2048 * 2 + 21, 2);
    for (size_t n : {size_t{6143}, size_t{6144}, size_t{6145}, longData.size()})
        ASSERT_EQ(UpdateCRC32(0xFFFFFFFF, longData.data(), n) ^ 0xFFFFFFFF,
                  static_cast<uint32_t>(crc32(0, longData.data(), static_cast<uInt>(n))))
            << n;
    // Continued in two pieces, split off the 8-byte rhythm.
    uint32_t crc = UpdateCRC32(UpdateCRC32(0xFFFFFFFF, data.data(), 13), data.data() + 13, 87) ^ 0xFFFFFFFF;
    EXPECT_EQ(crc, static_cast<uint32_t>(crc32(0, data.data(), 100)));
    FreeCRCTable();
    EXPECT_FALSE(CRCTableBuilt());
    EXPECT_EQ(UpdateCRC32(0xFFFFFFFF, "IEND", 4) ^ 0xFFFFFFFF, 0xAE426082u);
    EXPECT_TRUE(CRCTableBuilt());
}

TEST(PNGAdler, MatchesZlibAtEveryLengthAndAcrossLongRuns)
{
    EXPECT_EQ(UpdateAdler32(1, "Wikipedia", 9), 0x11E60398u);
    auto data = RandomBytes(20000, 3);
    for (size_t n : {0, 1, 15, 16, 17, 31, 100, 5551, 5552, 5553, 11104, 20000}) {
        uint32_t expected = static_cast<uint32_t>(adler32(1, data.data(), static_cast<uInt>(n)));
        ASSERT_EQ(UpdateAdler32(1, data.data(), n), expected) << n;
    }
    // All bytes 255: the largest sums.
    std::vector<uint8_t> full(70000, 255);
    EXPECT_EQ(UpdateAdler32(1, full.data(), full.size()),
              static_cast<uint32_t>(adler32(1, full.data(), static_cast<uInt>(full.size()))));
    uint32_t split = UpdateAdler32(UpdateAdler32(1, data.data(), 7), data.data() + 7, 9000);
    EXPECT_EQ(split, static_cast<uint32_t>(adler32(1, data.data(), 9007)));
}

// Inflates the stream fed one byte at a time; returns the last zlib result.
int InflateByteByByte(const std::string& packed, std::string& out)
{
    TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
    d.Start();
    out.assign(64, '\0');
    uint8_t* dest = reinterpret_cast<uint8_t*>(out.data());
    for (size_t i = 0; i < packed.size() && d.LastResult() == Z_OK; ++i) {
        const auto* source = reinterpret_cast<const uint8_t*>(packed.data()) + i;
        d.Inflate(source, dest, 1, static_cast<size_t>(reinterpret_cast<uint8_t*>(out.data()) + out.size() - dest));
    }
    out.resize(static_cast<size_t>(dest - reinterpret_cast<uint8_t*>(out.data())));
    return d.LastResult();
}

TEST(PNGInflate, TheStreamsCheckIsTestedAlsoWhenItArrivesInPieces)
{
    std::string packed = TPNGFile::Deflate("checked data"), out;
    EXPECT_EQ(InflateByteByByte(packed, out), Z_STREAM_END);
    EXPECT_EQ(out, "checked data");
    for (size_t k = 1; k <= 4; ++k) {
        std::string broken = packed;
        broken[broken.size() - k] = static_cast<char>(broken[broken.size() - k] ^ 0x40);
        EXPECT_EQ(InflateByteByByte(broken, out), Z_DATA_ERROR) << k;
        // The same in one piece.
        TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
        d.Start();
        uint8_t buffer[64];
        const auto* source = reinterpret_cast<const uint8_t*>(broken.data());
        uint8_t* dest = buffer;
        d.Inflate(source, dest, broken.size(), sizeof buffer);
        EXPECT_EQ(d.LastResult(), Z_DATA_ERROR) << k;
    }
}

TEST(PNGInflate, StepsMoveThePointersAndStopAtTheStreamEnd)
{
    std::string raw(1000, '\0');
    for (size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<char>(i * 7);
    std::string packed = TPNGFile::Deflate(raw);
    TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
    d.Start();
    std::vector<uint8_t> out(1200, 0xEE);
    const auto* source = reinterpret_cast<const uint8_t*>(packed.data());
    uint8_t* dest = out.data();
    d.Inflate(source, dest, packed.size(), 400);
    EXPECT_EQ(d.LastResult(), Z_OK);
    EXPECT_EQ(dest - out.data(), 400);
    EXPECT_EQ(d.OutputLeft(), 0u);
    EXPECT_EQ(static_cast<size_t>(source - reinterpret_cast<const uint8_t*>(packed.data())) + d.InputLeft(),
              packed.size());
    size_t left = d.InputLeft();
    d.Inflate(source, dest, left, 800);
    EXPECT_EQ(d.LastResult(), Z_STREAM_END);
    EXPECT_EQ(dest - out.data(), 1000);
    EXPECT_EQ(d.InputLeft(), 0u);
    EXPECT_EQ(d.OutputLeft(), 200u);
    EXPECT_EQ(std::string(out.begin(), out.begin() + 1000), raw);
    // After the end a step does nothing.
    uint8_t* before = dest;
    d.Inflate(source, dest, 5, 10);
    EXPECT_EQ(dest, before);
    EXPECT_EQ(out[1000], 0xEE);
    d.Finish();
    d.Finish();
}

TEST(PNGInflate, BrokenDataGiveAZlibErrorAndAutoResetStartsEveryStepAfresh)
{
    const uint8_t broken[] = {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF};
    TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
    d.Start();
    uint8_t out[16];
    const uint8_t* source = broken;
    uint8_t* dest = out;
    d.Inflate(source, dest, sizeof broken, sizeof out);
    EXPECT_EQ(d.LastResult(), Z_DATA_ERROR);

    // With auto-reset the same whole stream inflates twice.
    std::string packed = TPNGFile::Deflate("abc");
    TLZ77Decoder r(Z_PARTIAL_FLUSH, true);
    r.Start();
    for (int i = 0; i < 2; ++i) {
        const auto* s = reinterpret_cast<const uint8_t*>(packed.data());
        uint8_t* o = out;
        r.Inflate(s, o, packed.size(), sizeof out);
        EXPECT_EQ(r.LastResult(), Z_STREAM_END);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "abc");
    }
}

// The filters as the standard writes them, byte by byte.
uint8_t Reference(int type, int x, int a, int b, int c)
{
    switch (type) {
    case 1:
        return static_cast<uint8_t>(x + a);
    case 2:
        return static_cast<uint8_t>(x + b);
    case 3:
        return static_cast<uint8_t>(x + (a + b) / 2);
    case 4: {
        int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        int pred = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        return static_cast<uint8_t>(x + pred);
    }
    default:
        return static_cast<uint8_t>(x);
    }
}

TEST(PNGFilters, EveryFilterAndDistanceMatchesTheStandard)
{
    EXPECT_EQ(PaethPredict(10, 20, 15), 15);
    EXPECT_EQ(PaethPredict(10, 20, 10), 20);
    EXPECT_EQ(PaethPredict(20, 10, 10), 20);
    EXPECT_EQ(PaethPredict(0, 0, 0), 0);
    EXPECT_EQ(PaethPredict(255, 0, 255), 0);
    unsigned seed = 7;
    for (int bpp : {1, 2, 3, 4, 6, 8}) {
        for (size_t size : {size_t{0}, size_t{1}, static_cast<size_t>(bpp), size_t{37}, size_t{96}, size_t{1000}}) {
            for (int type = 0; type <= 6; ++type) {
                auto prior = RandomBytes(size, ++seed), row = RandomBytes(size, ++seed);
                std::vector<uint8_t> expected(size);
                for (size_t i = 0; i < size; ++i) {
                    int a = i >= static_cast<size_t>(bpp) ? expected[i - bpp] : 0;
                    int c = i >= static_cast<size_t>(bpp) ? prior[i - bpp] : 0;
                    expected[i] = Reference(type, row[i], a, prior[i], c);
                }
                UnfilterRow(type, row.data(), prior.data(), size, bpp);
                ASSERT_EQ(row, expected) << "bpp " << bpp << " size " << size << " type " << type;
            }
        }
    }
}

TEST(PNGFilters, AFirstRowFilteredAgainstZerosKeepsItsBytesForUpAndPaeth)
{
    std::vector<uint8_t> zeros(6, 0), row{1, 2, 3, 4, 5, 6};
    UnfilterRow(2, row.data(), zeros.data(), row.size(), 3);
    EXPECT_EQ(row, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    UnfilterRow(4, row.data(), zeros.data(), row.size(), 3);
    EXPECT_EQ(row, (std::vector<uint8_t>{1, 2, 3, 5, 7, 9}));
    UnfilterRow(3, row.data(), zeros.data(), row.size(), 3);
    EXPECT_EQ(row, (std::vector<uint8_t>{1, 2, 3, 5, 8, 10}));
}

} // namespace
