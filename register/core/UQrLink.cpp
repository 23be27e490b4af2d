#include "register/core/UQrLink.h"

#include <cstring>
#include <vector>

#include "register/core/Ubase64.h"

namespace UQrLink {

namespace {

bool IsVatContainer(std::uint8_t tag) { return tag >= 0xE1 && tag <= 0xE6; }
bool IsVatField(std::uint8_t tag) { return tag == 0xD9 || tag == 0xDA; }
bool IsLeftOut(std::uint8_t tag) { return tag == 0xC8 || tag == 0xE7 || tag == 0xE8; }

// An open VAT container: where its length byte is and where its value ends.
struct TOpenContainer {
    std::size_t lengthAt;
    std::size_t end;
};

} // namespace

std::size_t FilterFields(std::uint8_t* bytes, std::size_t length)
{
    std::vector<TOpenContainer> open;
    std::size_t p = 0;
    while (p < length) {
        while (!open.empty() && open.back().end <= p)
            open.pop_back();
        if (length - p < 2) break; // a tag without its length byte
        const std::uint8_t tag = bytes[p];
        const std::size_t field = 2 + std::size_t{bytes[p + 1]};
        if (field > length - p) break; // passes the payload's end
        const std::size_t end = p + field;

        if (IsVatContainer(tag)) {
            open.push_back({p + 1, end});
            p += 2;
            continue;
        }
        // Removed only when no open container ends inside the field.
        bool straddles = false;
        for (const TOpenContainer& c : open)
            if (c.end > p && c.end < end) straddles = true;
        const bool remove = !straddles && (IsLeftOut(tag) || (IsVatField(tag) && !open.empty()));
        if (!remove) {
            p = end;
            continue;
        }
        std::memmove(bytes + p, bytes + end, length - end);
        length -= field;
        for (TOpenContainer& c : open) {
            if (c.end < end) continue; // ended before the field (closed, not yet dropped)
            c.end -= field;
            bytes[c.lengthAt] = static_cast<std::uint8_t>(bytes[c.lengthAt] - field);
        }
    }
    return length;
}

std::string VerifyUrlOf(std::string_view filteredPayload)
{
    if (filteredPayload.empty()) return {};
    return std::string("http://") + VerifyHost + "/verify.php?t1=" + Ubase64::Base64UrlEncodeText(filteredPayload);
}

} // namespace UQrLink
