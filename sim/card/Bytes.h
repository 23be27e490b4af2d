// Byte strings and their hex text, shared by the simulated card and its tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qsmsim {

using Bytes = std::vector<std::uint8_t>;

// Upper-case hex digits; with a separator between the bytes when one is given.
inline std::string ToHex(const Bytes& b, const char* sep = "")
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i && *sep) out += sep;
        out += digits[b[i] >> 4];
        out += digits[b[i] & 15];
    }
    return out;
}

// Reads hex digits, skipping blanks and other separators; a trailing odd digit is dropped.
inline Bytes FromHex(const std::string& text)
{
    Bytes out;
    int hi = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else continue;
        if (hi < 0) hi = v;
        else {
            out.push_back(static_cast<std::uint8_t>(hi * 16 + v));
            hi = -1;
        }
    }
    return out;
}

inline Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Tag, one length byte, value.
inline void AppendTlv(Bytes& out, std::uint8_t tag, const Bytes& value)
{
    out.push_back(tag);
    out.push_back(static_cast<std::uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

// Big-endian in as few bytes as hold the value (at least one).
inline Bytes MinimalBigEndian(std::uint32_t v)
{
    Bytes out;
    do {
        out.insert(out.begin(), static_cast<std::uint8_t>(v & 0xFF));
        v >>= 8;
    } while (v);
    return out;
}

inline Bytes BigEndian32(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

} // namespace qsmsim
