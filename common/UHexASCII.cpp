#include "common/UHexASCII.h"

namespace UHexASCII {

std::uint8_t HexDigitValue(char c)
{
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    return 255;
}

std::string BytesToHexText(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0) text += ' ';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::string HexTextToBytes(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() / 2 + 1);
    int pending = 0;
    unsigned accu = 0;
    for (char c : text) {
        if (c == ' ') {
            if (pending == 1) bytes += static_cast<char>(accu);
            pending = 0;
            accu = 0;
            continue;
        }
        std::uint8_t v = HexDigitValue(c);
        if (v == 255) v = 0;
        accu = accu * 16 + v;
        if (++pending == 2) {
            bytes += static_cast<char>(accu);
            pending = 0;
            accu = 0;
        }
    }
    if (pending == 1) bytes += static_cast<char>(accu);
    return bytes;
}

std::string RemoveBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

} // namespace UHexASCII
