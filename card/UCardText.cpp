#include "card/UCardText.h"

#include <cstdio>

#include "common/UHexASCII.h"

namespace UCardText {

std::string Hex2(std::size_t n)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(n & 0xFF));
    return buf;
}

std::string Hex4(std::size_t n)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(n & 0xFFFF));
    return buf;
}

std::string SpacedHex(std::string_view bytes)
{
    return bytes.empty() ? std::string() : " " + UHexASCII::BytesToHexText(bytes);
}

std::string SelectCommand(int fileId)
{
    const auto id = static_cast<std::size_t>(fileId);
    return "00 A4 00 0C 02 " + Hex2(id >> 8) + " " + Hex2(id);
}

std::string PlainHex(std::string_view bytes) { return UHexASCII::RemoveBlanks(UHexASCII::BytesToHexText(bytes)); }

std::string BytesOf(std::string_view hexText) { return UHexASCII::HexTextToBytes(UHexASCII::RemoveBlanks(hexText)); }

std::vector<std::string_view> SplitBlocks(std::string_view text, std::size_t chunk)
{
    std::vector<std::string_view> blocks;
    while (text.size() > chunk) {
        blocks.push_back(text.substr(0, chunk));
        text.remove_prefix(chunk);
    }
    blocks.push_back(text);
    return blocks;
}

} // namespace UCardText
