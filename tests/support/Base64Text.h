// Reading base64 text back in tests (the journals hold item lists and certificates in base64):
// the bytes of the standard alphabet's text up to its first other character ("=" included).
//
//   Decode64("oAEx") -> A0 01 31
#pragma once

#include <cstddef>
#include <string>

inline std::string Decode64(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const std::size_t v = alphabet.find(c);
        if (v == std::string::npos) break;
        bits = bits << 6 | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}
