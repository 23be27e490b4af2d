// TLV fields and packed BCD numbers, the forms in which the register's commands and the card's
// answers carry their data.
#pragma once

#include "sim/card/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qsmsim {

// One field: tag byte, one length byte, value.
struct Tlv {
    std::uint8_t tag;
    Bytes value;
    std::size_t offset; // of the tag byte
};

// Splits data[from, to) into fields; nullopt when a field runs past the end.
// "C8 02 03 D2 C9 00" -> {C8, 03 D2, 0}, {C9, empty, 4}.
std::optional<std::vector<Tlv>> ParseTlvs(const Bytes& data, std::size_t from = 0, std::size_t to = std::string::npos);

// Signed packed BCD (digits, then the sign nibble C or D), at most 9 bytes:
// 19 9C -> 199, 05 0D -> -50, 0C -> 0; nullopt for a bad nibble or an empty value.
std::optional<std::int64_t> ParseSignedBcd(const Bytes& b);
// The shortest form: 199 -> 19 9C, -50 -> 05 0D, 0 -> 0C.
Bytes SignedBcd(std::int64_t v);

// Unsigned packed BCD digits read as one number, at most 4 bytes: 20 24 03 -> 202403, 50 -> 50,
// 19 00 -> 1900; nullopt for a nibble above 9 or more than 4 bytes.
std::optional<std::uint32_t> ParseBcd(const Bytes& b);
// v in exactly `bytes` bytes, leading zeros kept: (202403, 3) -> 20 24 03, (0, 2) -> 00 00.
Bytes Bcd(std::uint32_t v, std::size_t bytes);

} // namespace qsmsim
