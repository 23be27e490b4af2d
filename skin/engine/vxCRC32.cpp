#include "skin/engine/vxCRC32.h"

#include <array>
#include <memory>

namespace {
// Longer runs are split into three lanes of this many bytes whose registers are worked side by
// side and then combined.
constexpr size_t kLane = 2048;

// Table 0 is the classic 256-entry table; tables 1..7 continue it so that eight bytes are
// folded into the register with one lookup in each table. laneShift is x^(8 x kLane) mod P,
// which moves a register over kLane zero bytes.
struct TCRCTables {
    std::array<std::array<uint32_t, 256>, 8> t;
    uint32_t laneShift;
};
std::unique_ptr<TCRCTables> crcTables;

// a x b modulo the polynomial, both in the reflected bit order (bit 31 is x^0).
uint32_t MultiplyModP(uint32_t a, uint32_t b, uint32_t poly)
{
    uint32_t product = 0;
    for (int i = 0; i < 32; ++i, a <<= 1) {
        if (a & 0x80000000u) product ^= b;
        b = b & 1u ? (b >> 1) ^ poly : b >> 1;
    }
    return product;
}

const TCRCTables& Tables()
{
    if (!crcTables) {
        auto tables = std::make_unique<TCRCTables>();
        auto& t = tables->t;
        const uint32_t poly = CRCPolynomial();
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1u ? poly ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (uint32_t n = 0; n < 256; ++n)
            for (size_t k = 1; k < 8; ++k)
                t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
        // x^(8 x kLane) by squaring, starting from x^1 (0x40000000) and 1 (0x80000000).
        uint32_t result = 0x80000000u, power = 0x40000000u;
        for (size_t e = 8 * kLane; e > 0; e >>= 1, power = MultiplyModP(power, power, poly))
            if (e & 1) result = MultiplyModP(result, power, poly);
        tables->laneShift = result;
        crcTables = std::move(tables);
    }
    return *crcTables;
}

uint32_t Load32LE(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

inline uint32_t Step8(const std::array<std::array<uint32_t, 256>, 8>& t, uint32_t crc, const uint8_t* p)
{
    uint32_t lo = Load32LE(p) ^ crc, hi = Load32LE(p + 4);
    return t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
           t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
}
} // namespace

uint32_t CRCPolynomial()
{
    static const int exponents[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
    uint32_t poly = 0;
    for (int e : exponents)
        poly |= 1u << (31 - e);
    return poly;
}

uint32_t UpdateCRC32(uint32_t crc, const void* data, size_t size)
{
    const TCRCTables& tables = Tables();
    const auto& t = tables.t;
    const auto* p = static_cast<const uint8_t*>(data);
    // Three lanes at once: the register of the first lane moved over the other two, the second's
    // over the third, and the three added.
    const uint32_t poly = CRCPolynomial();
    for (; size >= 3 * kLane; size -= 3 * kLane, p += 3 * kLane) {
        uint32_t a = crc, b = 0, c = 0;
        for (size_t i = 0; i < kLane; i += 8) {
            a = Step8(t, a, p + i);
            b = Step8(t, b, p + kLane + i);
            c = Step8(t, c, p + 2 * kLane + i);
        }
        crc = MultiplyModP(MultiplyModP(a, tables.laneShift, poly), tables.laneShift, poly) ^
              MultiplyModP(b, tables.laneShift, poly) ^ c;
    }
    for (; size >= 8; size -= 8, p += 8)
        crc = Step8(t, crc, p);
    for (; size > 0; --size, ++p)
        crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return crc;
}

void FreeCRCTable() { crcTables.reset(); }

bool CRCTableBuilt() { return crcTables != nullptr; }
