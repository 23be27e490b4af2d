// The QR payload: the raw bytes of a command's data field and of the card's response, from
// which the verification link is made. A buffer of 1024 bytes with its length; an append that
// would pass its end is refused whole, so nothing is ever written beyond it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class TQrPayload {
public:
    static constexpr std::size_t Capacity = 1024;

    // Appends count bytes; false (and nothing appended) when they do not fit.
    bool Add(const void* bytes, std::size_t count);
    void Clear() { size_ = 0; }
    // Takes the fields out that the verification link leaves out (UQrLink::FilterFields).
    void Filter();

    const std::uint8_t* Data() const { return bytes_.data(); }
    std::size_t Size() const { return size_; }

private:
    std::array<std::uint8_t, Capacity> bytes_{};
    std::size_t size_ = 0;
};
