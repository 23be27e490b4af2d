#include "card/UCardFormats.h"

#include <algorithm>

#include "card/UCardText.h"
#include "common/UHexASCII.h"

namespace UCardFormats {

namespace {

constexpr std::size_t kMinDigits = 48;   // data texts and signature halves
constexpr std::size_t kChainAbove = 256; // a data text longer than this is chained
constexpr std::size_t kLongBlock = 384;
constexpr std::size_t kShortBlock = 128;
constexpr std::size_t kMaxRecord = 255; // every length of a key record is one byte

std::string PadDigits(std::string digits)
{
    if (digits.size() < kMinDigits) digits.insert(0, kMinDigits - digits.size(), '0');
    // An odd count would leave a half byte that the length byte of the command misses.
    if (digits.size() % 2) digits.insert(0, 1, '0');
    return digits;
}

// Keys 0 to 14 count up from `base`, keys 15 to `highest` from 20F0 + 15 - `shift`.
int KeyFileId(std::int32_t n, int base, std::int32_t highest, int shift)
{
    if (n >= 0 && n <= 14) return base + n;
    if (n >= 15 && n <= highest) return 0x20F0 + (n - shift);
    return -1;
}

} // namespace

std::string DataText(std::string_view data, bool direct)
{
    return direct ? PadDigits(std::string(data)) : UCardText::PlainHex(data);
}

std::vector<std::string_view> ChainBlocks(std::string_view dataText)
{
    std::vector<std::string_view> blocks;
    while (dataText.size() > kChainAbove) {
        const std::size_t n = dataText.size() > kLongBlock ? kLongBlock : kShortBlock;
        blocks.push_back(dataText.substr(0, n));
        dataText.remove_prefix(n);
    }
    blocks.push_back(dataText);
    return blocks;
}

std::string SignatureText(std::string_view answer)
{
    std::string digits = UHexASCII::RemoveBlanks(answer);
    if (digits.size() > kMinDigits) digits.insert(kMinDigits, "\r\n");
    return digits;
}

std::string SignatureDigits(std::string_view text)
{
    auto clean = [](std::string_view part) {
        std::string out;
        for (const char c : part)
            if (c != ' ' && c != '\r') out += c;
        return PadDigits(out);
    };
    const std::size_t first = text.find('\n');
    if (first == std::string_view::npos) return clean({}) + clean(text);
    return clean(text.substr(0, first)) + clean(text.substr(text.rfind('\n') + 1));
}

int ExportFileId(std::int32_t n) { return KeyFileId(n, 0x20E0, 25, 10); }

int ImportFileId(std::int32_t n) { return KeyFileId(n, 0x20E4, 21, 6); }

TKeyLines SplitKeyText(std::string_view text)
{
    const std::string t = UHexASCII::RemoveBlanks(text);
    TKeyLines lines;
    const std::size_t cr = t.find('\r');
    lines.first = t.substr(0, cr);
    if (cr != std::string::npos && cr + 2 <= t.size()) {
        const std::string rest = t.substr(cr + 2);
        lines.second = rest.substr(0, rest.find('\r'));
    }
    return lines;
}

TKeyLines ReadKeyFile(std::string_view content) { return content.size() <= 2 ? TKeyLines{} : SplitKeyText(content); }

std::string BuildKeyRecord(std::string_view component1, std::string_view component2)
{
    const std::size_t total = component1.size() + component2.size() + 6;
    if (total > kMaxRecord) return {};
    std::string r;
    r += '\x86';
    r += static_cast<char>(total - 2);
    r += static_cast<char>(component1.size() + 1);
    r += '\0';
    r += component1;
    r += static_cast<char>(component2.size() + 1);
    r += '\0';
    r += component2;
    return r;
}

bool ParseKeyRecord(std::string_view record, std::string& component1, std::string& component2)
{
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(record[i]); };
    if (record.size() < 4 || at(2) < 1) return false;
    const std::size_t n1 = at(2) - 1u;
    const std::size_t second = 4 + n1; // the second length byte
    if (record.size() < second + 2 || at(second) < 1) return false;
    const std::size_t n2 = at(second) - 1u;
    if (record.size() < second + 2 + n2) return false;
    component1 = std::string(record.substr(4, n1));
    component2 = std::string(record.substr(second + 2, n2));
    return true;
}

TListRest TakeListEntries(std::string answer, std::string& list, std::string& continuation)
{
    for (std::size_t p; (p = answer.find("86 02 ")) != std::string::npos;) {
        const std::size_t id = p + 6;
        if (answer.size() < id + 5) return TListRest::Bad;
        list += UHexASCII::RemoveBlanks(answer.substr(id, 5)) + " ";
        // Cut after the identifier and its blank.
        answer.erase(0, std::min(answer.size(), id + 6));
    }
    if (answer.empty()) return TListRest::Done;
    if (answer.compare(0, 2, "8A") == 0 && answer.size() > 6) {
        continuation = answer.substr(6);
        return TListRest::More;
    }
    return TListRest::Bad;
}

} // namespace UCardFormats
