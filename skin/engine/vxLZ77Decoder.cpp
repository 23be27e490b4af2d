#include "skin/engine/vxLZ77Decoder.h"

#include <cstring>

#include "skin/engine/vxAdler32.h"

namespace {
const char* const kLZ77Error = "LZ77 decompression error.";
}

TLZ77Decoder::TLZ77Decoder(int flushMode, bool autoReset) : flushMode_(flushMode), autoReset_(autoReset) {}

TLZ77Decoder::~TLZ77Decoder()
{
    if (started_) inflateEnd(&stream_);
}

void TLZ77Decoder::Start()
{
    if (started_) inflateEnd(&stream_);
    stream_ = z_stream{};
    lastResult_ = 0;
    int result = inflateInit(&stream_);
    if (result < 0) throw EGraphicCompression(kLZ77Error);
    started_ = true;
    // The check is made in Inflate.
    inflateValidate(&stream_, 0);
    adler_ = 1;
}

void TLZ77Decoder::Inflate(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize)
{
    if (!started_ || lastResult_ != Z_OK) return;
    if (autoReset_) {
        inflateReset(&stream_);
        adler_ = 1;
        std::memset(tail_, 0, sizeof tail_);
    }
    // zlib counts in 32 bits; the decoder's chunks and blocks stay below 2^31.
    stream_.next_in = const_cast<Bytef*>(source);
    stream_.avail_in = static_cast<uInt>(packedSize);
    stream_.next_out = dest;
    stream_.avail_out = static_cast<uInt>(unpackedSize);
    lastResult_ = inflate(&stream_, flushMode_);
    const size_t consumed = static_cast<size_t>(stream_.next_in - source);
    adler_ = UpdateAdler32(adler_, dest, static_cast<size_t>(stream_.next_out - dest));
    if (consumed >= 4) {
        std::memcpy(tail_, stream_.next_in - 4, 4);
    } else if (consumed > 0) {
        std::memmove(tail_, tail_ + consumed, 4 - consumed);
        std::memcpy(tail_ + 4 - consumed, source, consumed);
    }
    // At the end the last four bytes read were the stream's check, high byte first.
    if (lastResult_ == Z_STREAM_END) {
        uint32_t stored = static_cast<uint32_t>(tail_[0]) << 24 | static_cast<uint32_t>(tail_[1]) << 16 |
                          static_cast<uint32_t>(tail_[2]) << 8 | tail_[3];
        if (stored != adler_) lastResult_ = Z_DATA_ERROR;
    }
    source = stream_.next_in;
    dest = stream_.next_out;
}

void TLZ77Decoder::Finish()
{
    if (!started_) return;
    started_ = false;
    if (inflateEnd(&stream_) < 0) throw EGraphicCompression(kLZ77Error);
}
