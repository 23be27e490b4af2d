#include "register/core/UQrPayload.h"

#include <cstring>

#include "register/core/UQrLink.h"

bool TQrPayload::Add(const void* bytes, std::size_t count)
{
    if (count > Capacity - size_) return false;
    if (count > 0) std::memcpy(bytes_.data() + size_, bytes, count);
    size_ += count;
    return true;
}

void TQrPayload::Filter() { size_ = UQrLink::FilterFields(bytes_.data(), size_); }
