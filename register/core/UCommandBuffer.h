// The card command buffer shared by the transaction command and the report commands:
// 256 bytes holding CLA, INS, P1, P2, Lc and the data field, with a write index (the position
// of the next byte; 5 after a reset). The byte at the write index is 00 and is sent as the
// trailing Le byte, so a command goes out as CLA INS P1 P2 Lc data 00. The data field holds
// at most 250 bytes: the write index never passes 255.
//
//   TCommandBuffer b;
//   b.Reset();                               // 80 40 00 00, write index 5
//   b.AddField(0xC8, "\x03\xD2");            // C8 02 03 D2
//   b.SetLc();
//   b.CommandText();                         // "80 40 00 00 04 C8 02 03 D2 00 "
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TCommandBuffer {
public:
    static constexpr std::size_t Capacity = 256;
    static constexpr std::size_t HeaderSize = 5;

    TCommandBuffer() { Reset(); }

    // CLA 80, INS 40, P1 00, P2 00; every byte from position 4 on 0; write index 5.
    void Reset();
    // The header bytes (report commands set their own instruction and P1).
    void SetHeader(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1, std::uint8_t p2);

    // One TLV field at the write index. A field that would take the write index past 255 (or
    // a value over 255 bytes) raises the range error and writes nothing.
    void AddField(std::uint8_t tag, std::string_view value);
    // Lc := write index - 5.
    void SetLc();

    // Every byte from position 0 up to and with the write index (the Le byte) as two
    // upper-case hex digits and one blank: the text ends with "00 ".
    std::string CommandText() const;

    const std::array<std::uint8_t, Capacity>& Bytes() const { return bytes_; }
    std::size_t WriteIndex() const { return writeIndex_; }
    // The data field: positions 5 .. write index - 1.
    std::string_view DataField() const;

    // Turns the transaction command into its verification command: CLA 80, INS 44, P1 00,
    // P2 00, the transaction's data field as it stands, then the card's response from its
    // sequence-number field (CB, found by walking the response's fields) on, or the whole
    // response when it has no such field; Le 00 and Lc. When that would not fit the buffer,
    // nothing changes and the result is false.
    bool BuildVerifyCommand(std::string_view response);

private:
    std::array<std::uint8_t, Capacity> bytes_{};
    std::size_t writeIndex_ = HeaderSize;
};
