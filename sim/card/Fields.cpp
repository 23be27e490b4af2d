#include "sim/card/Fields.h"

namespace qsmsim {

std::optional<std::vector<Tlv>> ParseTlvs(const Bytes& data, std::size_t from, std::size_t to)
{
    if (to > data.size()) to = data.size();
    std::vector<Tlv> out;
    std::size_t i = from;
    while (i < to) {
        if (i + 2 > to || i + 2 + data[i + 1] > to) return std::nullopt;
        out.push_back({data[i], Bytes(data.begin() + i + 2, data.begin() + i + 2 + data[i + 1]), i});
        i += 2 + data[i + 1];
    }
    return out;
}

std::optional<std::int64_t> ParseSignedBcd(const Bytes& b)
{
    if (b.empty() || b.size() > 9) return std::nullopt;
    std::int64_t v = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        int hi = b[i] >> 4, lo = b[i] & 15;
        if (hi > 9) return std::nullopt;
        v = v * 10 + hi;
        if (i + 1 < b.size()) {
            if (lo > 9) return std::nullopt;
            v = v * 10 + lo;
        } else if (lo == 0xD) {
            v = -v;
        } else if (lo != 0xC) {
            return std::nullopt;
        }
    }
    return v;
}

Bytes SignedBcd(std::int64_t v)
{
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (digits.size() % 2 == 0) digits.insert(digits.begin(), '0');
    digits += (v < 0) ? 'D' : 'C';
    return FromHex(digits);
}

std::optional<std::uint32_t> ParseBcd(const Bytes& b)
{
    if (b.size() > 4) return std::nullopt;
    std::uint32_t v = 0;
    for (std::uint8_t x : b) {
        if ((x >> 4) > 9 || (x & 15) > 9) return std::nullopt;
        v = v * 100 + (x >> 4) * 10 + (x & 15);
    }
    return v;
}

Bytes Bcd(std::uint32_t v, std::size_t bytes)
{
    Bytes out(bytes);
    for (std::size_t i = bytes; i-- > 0; v /= 100)
        out[i] = static_cast<std::uint8_t>((v % 100 / 10) << 4 | v % 10);
    return out;
}

} // namespace qsmsim
