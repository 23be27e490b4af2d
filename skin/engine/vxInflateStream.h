// The read-only inflate stream of the packed skin reader: it unpacks one zlib stream (RFC 1950)
// that starts at the source stream's position, reading the source in blocks of at most
// 64 KiB. When the zlib stream has ended, the source's position is moved back over the bytes
// of the last block that the zlib stream did not consume, so it stands on the first byte after
// the stream (the next entry of a container). Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <zlib.h>

#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"

// Broken zlib data, or a zlib stream that ends before or after the size it was to give.
class EvxDecompressionError : public Exception {
public:
    using Exception::Exception;
};

class TvxInflateStream {
public:
    static constexpr size_t BlockSize = 65536;

    explicit TvxInflateStream(TStream& source);
    ~TvxInflateStream();
    TvxInflateStream(const TvxInflateStream&) = delete;
    TvxInflateStream& operator=(const TvxInflateStream&) = delete;

    // Unpacks up to count bytes; fewer only when the zlib stream has ended.
    size_t Read(void* buffer, size_t count);
    // Unpacks exactly count bytes into the target stream; EvxDecompressionError when the zlib
    // stream ends before.
    void CopyTo(TStream& target, int64_t count);
    // Reads the zlib stream to its end: EvxDecompressionError when it still holds data.
    void Finish();
    bool Ended() const { return ended_; }

private:
    void Fill();
    TStream& source_;
    z_stream z_{};
    std::vector<std::uint8_t> block_;
    bool ended_ = false;
};
