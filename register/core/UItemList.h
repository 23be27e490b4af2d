// The item list: the receipt's items as a byte buffer of TLV entries (tag byte, length byte
// 0..255, value), one group of entries per item. It is hashed, and the hash goes into the
// transaction command. Every entry must begin within the first 32,737 bytes: its tag byte, its
// length byte and its first value byte lie at positions 0..32,736. So an entry with a value
// may have its tag at 32,734 at most, an empty entry (tag, 00) at 32,735 at most.
//
//   TItemListBytes list;
//   list.Add(0xA0, "1");      // A0 01 31
//   list.Add(0xAA, "");       // AA 00
//
// Also the item's values as the register hands them over: the quantity text and the amounts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The SHA-1 digest of the item list.
using TItemHash = std::array<std::uint8_t, 20>;

// Positions 0..ItemListLimit - 1 may hold the start of an entry.
constexpr std::size_t ItemListLimit = 32737;

// Whether an entry with a value of valueLength bytes may begin at position start.
bool ItemEntryFits(std::size_t start, std::size_t valueLength);

// Appends one entry to `entries`, whose first byte will stand at position `start` of the
// item list. An entry that would begin past the limit, or a value over 255 bytes, raises the
// range error and appends nothing.
void AppendItemEntry(std::string& entries, std::size_t start, std::uint8_t tag, std::string_view value);

class TItemListBytes {
public:
    // One entry at the end; the range error (nothing added) as AppendItemEntry says.
    void Add(std::uint8_t tag, std::string_view value);
    // Entries made by AppendItemEntry for the position Size(), at the end.
    void Append(std::string_view entries) { bytes_ += entries; }
    void Clear() { bytes_.clear(); }

    std::size_t Size() const { return bytes_.size(); }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// The quantity text of an item, normalised: an empty text is "1"; otherwise the text is read
// as a number with the program's decimal comma ("0,5"; anything else raises EConvertError
// "'x' ist kein gültiger Gleitkommawert"), rounded to millionths (ties to even) and written
// in the general format with "." ("1", "0.5", "2.125", "1.5E20").
std::string NormalizeQuantity(std::string_view quantity);

// An amount in cents as the register passes it: an optional "-" and decimal digits ("199",
// "-150"). Any other text, or one beyond 64 bits, raises EConvertError
// "'x' ist kein gültiger Integerwert".
std::int64_t AmountValue(std::string_view amount);
