#include "register/core/Ubase64.h"

#include <cstdint>

#include "register/core/URangeCheck.h"

namespace Ubase64 {

namespace {

const char Base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char Base32Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

// Cuts the input into groups of groupBytes bytes; each group, zero-filled at the end, is
// read as bits and written groupChars characters of bitsPerChar bits each; characters
// that carry no input bit become "=".
std::size_t EncodeGroups(const unsigned char* in, std::size_t count, char* out, const char* alphabet,
                         std::size_t groupBytes, std::size_t groupChars, unsigned bitsPerChar)
{
    std::size_t written = 0;
    for (std::size_t pos = 0; pos < count; pos += groupBytes) {
        const std::size_t take = count - pos < groupBytes ? count - pos : groupBytes;
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < groupBytes; ++i)
            bits = (bits << 8) | (i < take ? in[pos + i] : 0u);
        const std::size_t used = (take * 8 + bitsPerChar - 1) / bitsPerChar;
        const unsigned mask = (1u << bitsPerChar) - 1;
        for (std::size_t c = 0; c < groupChars; ++c) {
            const unsigned shift = static_cast<unsigned>((groupChars - 1 - c) * bitsPerChar);
            out[written++] = c < used ? alphabet[(bits >> shift) & mask] : '=';
        }
    }
    return written;
}

} // namespace

std::size_t Base64Encode(const void* bytes, std::size_t count, char* out, std::size_t outSize)
{
    if (Base64Length(count) > outSize) RaiseRangeError();
    return EncodeGroups(static_cast<const unsigned char*>(bytes), count, out, Base64Alphabet, 3, 4, 6);
}

std::size_t Base32Encode(const void* bytes, std::size_t count, char* out, std::size_t outSize)
{
    if (Base32Length(count) > outSize) RaiseRangeError();
    return EncodeGroups(static_cast<const unsigned char*>(bytes), count, out, Base32Alphabet, 5, 8, 5);
}

std::string Base64EncodeText(std::string_view bytes)
{
    std::string text(Base64Length(bytes.size()), '\0');
    Base64Encode(bytes.data(), bytes.size(), text.data(), text.size());
    return text;
}

std::string Base64UrlEncodeText(std::string_view bytes)
{
    std::string text = Base64EncodeText(bytes);
    for (char& c : text) {
        if (c == '+') c = '-';
        else if (c == '/') c = '_';
    }
    return text;
}

std::string Base32EncodeText(std::string_view bytes)
{
    std::string text(Base32Length(bytes.size()), '\0');
    Base32Encode(bytes.data(), bytes.size(), text.data(), text.size());
    return text;
}

} // namespace Ubase64
