// Base64 (RFC 4648, standard alphabet, "=" padding, no line breaks), its URL-safe form
// for the verification link, and base32 (RFC 4648, "A"-"Z" then "2"-"7", padded with "="
// to whole groups of 8) for the hash and signature on the receipt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Ubase64 {

// Characters that n bytes take: base64 (n + 2) div 3 * 4, base32 (n + 4) div 5 * 8.
constexpr std::size_t Base64Length(std::size_t n) { return (n + 2) / 3 * 4; }
constexpr std::size_t Base32Length(std::size_t n) { return (n + 4) / 5 * 8; }

// Writes the encoding of count bytes into out (room for outSize characters, no terminating
// zero) and returns the number of characters. Too small a buffer raises the range error.
std::size_t Base64Encode(const void* bytes, std::size_t count, char* out, std::size_t outSize);
std::size_t Base32Encode(const void* bytes, std::size_t count, char* out, std::size_t outSize);

std::string Base64EncodeText(std::string_view bytes);
// Base64 with "-" for "+" and "_" for "/"; the "=" padding stays.
std::string Base64UrlEncodeText(std::string_view bytes);
std::string Base32EncodeText(std::string_view bytes);

} // namespace Ubase64
