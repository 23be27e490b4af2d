// Files and resources as byte streams (the stream base and the memory stream are in
// StreamBase.h). Opening or creating a file that cannot be opened or created raises EFOpenError
// or EFCreateError; short reads and writes raise EStreamError.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gui/base/Classes.h"
#include "gui/base/Handles.h"
#include "gui/base/StreamBase.h"

enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00, // create or truncate, read and write
};

class TFileStream : public TStream {
    GUI_CLASS(TFileStream, TStream)
    TFileStream(const std::string& fileName, unsigned mode);

    const std::string& FileName() const { return fileName_; }
    int64_t Size() const override;
    int64_t Position() const override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    // Writes what the system still holds of the file to the disk (FlushFileBuffers); a failure
    // raises EStreamError naming the file.
    void Flush();
    // Told of every flush that succeeded, with the stream (tests see which files reached the
    // disk, and at which size); none by default.
    static inline std::function<void(const TFileStream&)> OnFlushed;
    // Cuts the file (or lengthens it) to this size; the position is the new end afterwards.
    // False when the system refuses.
    bool Truncate(int64_t size);

protected:
    std::string StreamName() const override { return fileName_; }

private:
    std::string fileName_;
    TFileHandle file_;
};

// The bytes of a resource of a loaded module, read-only (writing moves nothing). A module
// without that resource raises EResNotFound.
//
//   TResourceStream s(instance, "vxSHDA", RT_RCDATA); // raw data, resource type 10
class TResourceStream : public TStream {
    GUI_CLASS(TResourceStream, TStream)
    TResourceStream(HINSTANCE instance, const std::string& name, const char* type);

    int64_t Size() const override { return static_cast<int64_t>(size_); }
    int64_t Position() const override { return position_; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void*, size_t) override { return 0; }

protected:
    std::string StreamName() const override { return name_; }

private:
    std::string name_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    int64_t position_ = 0;
};
