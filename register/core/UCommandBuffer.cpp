#include "register/core/UCommandBuffer.h"

#include "register/core/URangeCheck.h"
#include "register/core/UTlvFields.h"

namespace {

constexpr std::uint8_t TagSeqNoTransaction = 0xCB;
// The last position the write index (the Le byte) may take.
constexpr std::size_t LastIndex = TCommandBuffer::Capacity - 1;

} // namespace

void TCommandBuffer::Reset()
{
    bytes_.fill(0);
    SetHeader(0x80, 0x40, 0x00, 0x00);
    writeIndex_ = HeaderSize;
}

void TCommandBuffer::SetHeader(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1, std::uint8_t p2)
{
    bytes_[0] = cla;
    bytes_[1] = ins;
    bytes_[2] = p1;
    bytes_[3] = p2;
}

void TCommandBuffer::AddField(std::uint8_t tag, std::string_view value)
{
    if (value.size() > 255 || writeIndex_ + 2 + value.size() > LastIndex) RaiseRangeError();
    bytes_[writeIndex_++] = tag;
    bytes_[writeIndex_++] = static_cast<std::uint8_t>(value.size());
    for (char c : value)
        bytes_[writeIndex_++] = static_cast<std::uint8_t>(c);
    bytes_[writeIndex_] = 0;
}

void TCommandBuffer::SetLc() { bytes_[4] = static_cast<std::uint8_t>(writeIndex_ - HeaderSize); }

std::string TCommandBuffer::CommandText() const
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve((writeIndex_ + 1) * 3);
    for (std::size_t i = 0; i <= writeIndex_; ++i) {
        text += digits[bytes_[i] >> 4];
        text += digits[bytes_[i] & 0x0F];
        text += ' ';
    }
    return text;
}

std::string_view TCommandBuffer::DataField() const
{
    return {reinterpret_cast<const char*>(bytes_.data()) + HeaderSize, writeIndex_ - HeaderSize};
}

bool TCommandBuffer::BuildVerifyCommand(std::string_view response)
{
    if (const auto seqNo = FindTlvField(response, TagSeqNoTransaction)) response.remove_prefix(*seqNo);
    if (writeIndex_ + response.size() > LastIndex) return false;
    SetHeader(0x80, 0x44, 0x00, 0x00);
    for (char c : response)
        bytes_[writeIndex_++] = static_cast<std::uint8_t>(c);
    bytes_[writeIndex_] = 0;
    SetLc();
    return true;
}
