// PNG files built in tests: the signature, chunks with their CRC (zlib's crc32, so the decoder's
// own CRC is checked against another one), and zlib streams of raw rows.
//
//   TPNGFile f;
//   f.Chunk("IHDR", TPNGFile::Header(2, 1, 8, 2));
//   f.Chunk("IDAT", TPNGFile::Deflate(std::string("\0\x01\x02\x03\x04\x05\x06", 7)));
//   f.Chunk("IEND", "");
//   stream.WriteString(f.Bytes);
#pragma once

#include <cstdint>
#include <string>

#include <zlib.h>

struct TPNGFile {
    std::string Bytes = std::string("\x89PNG\r\n\x1A\n", 8);

    static std::string BE32(uint32_t v)
    {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    }
    static std::string BE16(uint32_t v) { return std::string{static_cast<char>(v >> 8), static_cast<char>(v)}; }

    // A chunk; badCrc stores the CRC plus one.
    TPNGFile& Chunk(const std::string& type, const std::string& data, bool badCrc = false)
    {
        std::string typed = type + data;
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
        Bytes += BE32(static_cast<uint32_t>(data.size())) + typed + BE32(static_cast<uint32_t>(crc) + (badCrc ? 1 : 0));
        return *this;
    }
    // A chunk header with any length, and no data.
    TPNGFile& Raw(const std::string& bytes)
    {
        Bytes += bytes;
        return *this;
    }

    static std::string Header(uint32_t width, uint32_t height, int depth, int colorType, int interlace = 0,
                              int compression = 0)
    {
        return BE32(width) + BE32(height) +
               std::string{static_cast<char>(depth), static_cast<char>(colorType), static_cast<char>(compression), 0,
                           static_cast<char>(interlace)};
    }

    static std::string Deflate(const std::string& raw, int level = 6)
    {
        uLongf size = compressBound(static_cast<uLong>(raw.size()));
        std::string out(size, '\0');
        compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), level);
        out.resize(size);
        return out;
    }

    // A whole file: IHDR, one IDAT with the raw rows (filter bytes included), IEND.
    static std::string Simple(uint32_t width, uint32_t height, int depth, int colorType, const std::string& rows,
                              const std::string& before = "")
    {
        TPNGFile f;
        f.Chunk("IHDR", Header(width, height, depth, colorType));
        f.Bytes += before;
        f.Chunk("IDAT", Deflate(rows));
        f.Chunk("IEND", "");
        return f.Bytes;
    }
};
