// Files as byte streams. Opening or creating a file that cannot be opened or created raises
// EFOpenError or EFCreateError; short reads and writes raise EStreamError.
#pragma once

#include <cstdint>
#include <string>

#include "gui/base/Classes.h"
#include "gui/base/Handles.h"

enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00, // create or truncate, read and write
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TFileStream : public TObject {
    GUI_CLASS(TFileStream, TObject)
    TFileStream(const std::string& fileName, unsigned mode);

    const std::string& FileName() const { return fileName_; }
    int64_t Size() const;
    int64_t Position() const;
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    int64_t Seek(int64_t offset, TSeekOrigin origin);
    // Read and Write return the bytes moved; the Buffer variants insist on all of them.
    size_t Read(void* buffer, size_t count);
    size_t Write(const void* buffer, size_t count);
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    void WriteString(const std::string& s) { WriteBuffer(s.data(), s.size()); }

private:
    std::string fileName_;
    TFileHandle file_;
};
