// Byte streams: TStream is what every stream offers (a position, a size, reads and writes of
// raw bytes); TMemoryStream keeps its bytes in memory, TFileStream (Streams.h) in a file.
// Platform-free. A short ReadBuffer or WriteBuffer raises EStreamError ("Stream-Lesefehler",
// "Stream-Schreibfehler").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/base/Classes.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
    GUI_CLASS(TStream, TObject)
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    // The new position; positions are not moved before 0.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    // Read and Write return the bytes moved; the Buffer variants insist on all of them.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    void WriteString(const std::string& s) { WriteBuffer(s.data(), s.size()); }
    // Copies count bytes from the source's position (count 0: the whole source from its
    // start); returns the bytes copied. A short source raises EStreamError.
    int64_t CopyFrom(TStream& source, int64_t count);

protected:
    // Names the stream in the error texts.
    virtual std::string StreamName() const { return ClassName(); }
};

class TMemoryStream : public TStream {
    GUI_CLASS(TMemoryStream, TStream)
    TMemoryStream() = default;

    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    int64_t Position() const override { return position_; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    // Grows with zero bytes or cuts; the position stays unless it lies beyond the new end.
    void SetSize(int64_t size);
    void Clear();
    // The bytes as one block (valid until the next change of size).
    const std::uint8_t* Memory() const { return data_.data(); }
    std::string DataString() const { return std::string(data_.begin(), data_.end()); }
    // The whole other stream (from its start), or a file (over the file stream of Windows,
    // Streams.cpp); the position is 0 afterwards.
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& fileName);

private:
    std::vector<std::uint8_t> data_;
    int64_t position_ = 0;
};
