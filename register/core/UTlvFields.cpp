#include "register/core/UTlvFields.h"

std::optional<std::size_t> FindTlvField(std::string_view bytes, std::uint8_t tag)
{
    std::size_t p = 0;
    while (p + 1 < bytes.size()) {
        if (static_cast<std::uint8_t>(bytes[p]) == tag) return p;
        p += 2 + static_cast<std::uint8_t>(bytes[p + 1]);
    }
    return std::nullopt;
}
