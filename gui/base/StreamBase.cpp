#include "gui/base/StreamBase.h"

#include <algorithm>
#include <cstring>

#include "gui/base/Exceptions.h"

void TStream::ReadBuffer(void* buffer, size_t count)
{
    if (Read(buffer, count) != count) throw EStreamError("Stream-Lesefehler: " + StreamName());
}

void TStream::WriteBuffer(const void* buffer, size_t count)
{
    if (Write(buffer, count) != count) throw EStreamError("Stream-Schreibfehler: " + StreamName());
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char block[65536];
    int64_t done = 0;
    while (done < count) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(count - done, sizeof block));
        source.ReadBuffer(block, n);
        WriteBuffer(block, n);
        done += static_cast<int64_t>(n);
    }
    return done;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
}

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    if (position_ >= Size()) return 0;
    const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), Size() - position_));
    if (n > 0) std::memcpy(buffer, data_.data() + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0) return 0;
    const size_t end = static_cast<size_t>(position_) + count;
    if (end > data_.size()) data_.resize(end);
    std::memcpy(data_.data() + position_, buffer, count);
    position_ = static_cast<int64_t>(end);
    return count;
}

void TMemoryStream::SetSize(int64_t size)
{
    data_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    position_ = std::min(position_, Size());
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    data_.resize(static_cast<size_t>(source.Size()));
    if (!data_.empty()) source.ReadBuffer(data_.data(), data_.size());
    position_ = 0;
}
