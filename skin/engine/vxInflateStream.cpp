#include "skin/engine/vxInflateStream.h"

#include <algorithm>

TvxInflateStream::TvxInflateStream(TStream& source) : source_(source), block_(BlockSize)
{
    if (inflateInit(&z_) != Z_OK) throw EvxDecompressionError("Decompression error: zlib cannot start");
}

TvxInflateStream::~TvxInflateStream() { inflateEnd(&z_); }

void TvxInflateStream::Fill()
{
    const size_t n = source_.Read(block_.data(), block_.size());
    if (n == 0) throw EvxDecompressionError("Decompression error: compressed data ends too early");
    z_.next_in = block_.data();
    z_.avail_in = static_cast<uInt>(n);
}

size_t TvxInflateStream::Read(void* buffer, size_t count)
{
    z_.next_out = static_cast<Bytef*>(buffer);
    z_.avail_out = static_cast<uInt>(count);
    while (z_.avail_out > 0 && !ended_) {
        if (z_.avail_in == 0) Fill();
        const int rc = inflate(&z_, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            ended_ = true;
            // Step back over what the zlib stream did not consume: the next entry starts there.
            if (z_.avail_in > 0) source_.Seek(-static_cast<int64_t>(z_.avail_in), soCurrent);
            z_.avail_in = 0;
        } else if (rc != Z_OK) {
            throw EvxDecompressionError(std::string("Decompression error: ") + (z_.msg ? z_.msg : "broken data"));
        }
    }
    return count - z_.avail_out;
}

void TvxInflateStream::CopyTo(TStream& target, int64_t count)
{
    std::vector<std::uint8_t> out(static_cast<size_t>(std::min<int64_t>(count, BlockSize)));
    while (count > 0) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(out.size())));
        const size_t got = Read(out.data(), want);
        target.WriteBuffer(out.data(), got);
        count -= static_cast<int64_t>(got);
        if (got < want) throw EvxDecompressionError("Decompression error: entry shorter than its size");
    }
}

void TvxInflateStream::Finish()
{
    std::uint8_t probe = 0;
    if (Read(&probe, 1) != 0) throw EvxDecompressionError("Decompression error: entry longer than its size");
}
