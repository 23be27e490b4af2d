// A thin holder around zlib's inflate for the PNG decoder: one inflate call per step, with the
// source and target pointers moved on by what was consumed and produced. The stream's Adler-32
// check is computed here (vxAdler32.h, faster than zlib's own) and compared with the stream's
// last four bytes when zlib reports the end; a mismatch gives Z_DATA_ERROR, as from zlib.
// Platform-free.
//
//   TLZ77Decoder d(Z_PARTIAL_FLUSH, false);
//   d.Start();
//   d.Inflate(source, dest, packedSize, unpackedSize); // source and dest move on
//   if (d.LastResult() == Z_STREAM_END) ...
//   d.Finish();
#pragma once

#include <cstddef>
#include <cstdint>

#include <zlib.h>

#include "gui/base/Exceptions.h"

// zlib could not start or end ("LZ77 decompression error.").
class EGraphicCompression : public Exception {
public:
    using Exception::Exception;
};

class TLZ77Decoder {
public:
    // flushMode: zlib's flush argument of every step (the decoder uses 1, Z_PARTIAL_FLUSH);
    // autoReset: every step resets the stream first.
    TLZ77Decoder(int flushMode, bool autoReset);
    // Ends a started stream; never raises.
    ~TLZ77Decoder();
    TLZ77Decoder(const TLZ77Decoder&) = delete;
    TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

    // inflateInit; EGraphicCompression when zlib answers a negative value.
    void Start();
    // One inflate step over packedSize bytes at source into unpackedSize bytes at dest, only
    // while the last result is 0 (Z_OK); stores zlib's result and moves source and dest on.
    void Inflate(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize);
    // inflateEnd; EGraphicCompression when zlib answers a negative value.
    void Finish();
    // Input bytes the last step left unread, and output room it left unfilled.
    size_t InputLeft() const { return stream_.avail_in; }
    size_t OutputLeft() const { return stream_.avail_out; }
    int LastResult() const { return lastResult_; }

private:
    z_stream stream_{};
    int lastResult_ = 0;
    // The check of the output so far, and the last four input bytes consumed.
    uint32_t adler_ = 1;
    uint8_t tail_[4] = {};
    int flushMode_;
    bool autoReset_;
    bool started_ = false;
};
