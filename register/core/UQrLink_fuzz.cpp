// Fuzz target of the payload filter of the verification link: whatever the bytes, the filter
// reads and writes only inside them, never makes them longer, keeps the input's bytes in their
// order (a container's length byte may only shrink in place), and its result passes through it
// again unchanged. The link of the result is the base64url text of exactly those bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "register/core/UQrLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1024) return 0; // the payload's capacity
    // An exact-size copy: the sanitizer sees any access past the end.
    std::vector<std::uint8_t> bytes(data, data + size);
    const std::size_t length = UQrLink::FilterFields(bytes.data(), bytes.size());
    if (length > size) std::abort();
    bytes.resize(length);

    // Every kept byte comes from the input, in order: the positions at which the output so far
    // can end in the input. A kept byte may differ from its input byte only as the length byte
    // right behind a container tag (E1..E6), and only smaller.
    std::vector<char> at(size, 1), next(size);
    for (std::size_t i = 0; i < length; ++i) {
        std::fill(next.begin(), next.end(), 0);
        bool any = false, seen = false;
        const bool afterTag = i > 0 && bytes[i - 1] >= 0xE1 && bytes[i - 1] <= 0xE6;
        for (std::size_t j = 0; j < size; ++j) {
            const bool before = i == 0 ? true : seen; // an earlier end exists
            if (before && data[j] == bytes[i]) next[j] = 1;
            if (afterTag && j > 0 && at[j - 1] && bytes[i] < data[j]) next[j] = 1;
            if (i > 0 && at[j]) seen = true;
            any = any || next[j];
        }
        if (!any) std::abort();
        at.swap(next);
    }

    std::vector<std::uint8_t> again(bytes);
    if (UQrLink::FilterFields(again.data(), again.size()) != length) std::abort();
    if (again != bytes) std::abort();

    const std::string link = UQrLink::VerifyUrlOf(std::string(bytes.begin(), bytes.end()));
    const std::string prefix = "http://verify.example.org/verify.php?t1=";
    if (length == 0) {
        if (!link.empty()) std::abort();
    } else if (link.compare(0, prefix.size(), prefix) != 0 || link.size() != prefix.size() + (length + 2) / 3 * 4 ||
               link.find_first_of("+/", prefix.size()) != std::string::npos) {
        std::abort();
    }
    return 0;
}
