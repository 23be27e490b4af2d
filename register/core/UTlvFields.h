// Walking TLV fields (tag byte, length byte, value) from the start of a byte string, as the
// card's responses are read: a field is found by its tag at a field start only, never by
// searching the bytes, so tag-like bytes inside a value (a signature, a hash, a number) are
// skipped with their field.
//
//   FindTlvField(C4 02 CB 01  CB 01 07  9E ..., 0xCB) -> 4
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The position of the first field with this tag, or none. The walk stops at the first field
// whose length byte is missing; a found field may be cut short by the end of the bytes.
std::optional<std::size_t> FindTlvField(std::string_view bytes, std::uint8_t tag);
