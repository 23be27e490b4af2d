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

    // Every kept byte comes from the input, in order. A kept byte may differ from its input byte
    // only as the length byte right behind a container tag (E1..E6), and only smaller. The ends
    // in the input at which the output so far can be matched: their smallest is enough, except
    // behind a container tag, where all of them are kept.
    auto isTag = [](std::uint8_t b) { return b >= 0xE1 && b <= 0xE6; };
    std::vector<char> ends(size, 0), nextEnds(size, 0);
    std::size_t first = 0; // one past the smallest end so far (0: nothing matched yet)
    for (std::size_t i = 0; i < length; ++i) {
        const bool afterTag = i > 0 && isTag(bytes[i - 1]);
        const bool wantAll = isTag(bytes[i]) && i + 1 < length;
        std::size_t least = size;
        for (std::size_t j = first; j < size; ++j) {
            const bool exact = data[j] == bytes[i];
            const bool shrunk = afterTag && j > 0 && ends[j - 1] && bytes[i] < data[j];
            if (wantAll) nextEnds[j] = exact || shrunk;
            if ((exact || shrunk) && least == size) {
                least = j;
                if (!wantAll) break;
            }
        }
        if (least == size) std::abort();
        if (wantAll) {
            ends.swap(nextEnds);
            std::fill(nextEnds.begin(), nextEnds.end(), 0);
        }
        first = least + 1;
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
