#include "gui/base/Streams.h"

#include <algorithm>
#include <cstring>

#include "gui/base/SysUtils.h"

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName)
{
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (mode != fmCreate && (mode & fmShareDenyWrite)) share = FILE_SHARE_READ;
    if (mode == fmCreate) {
        file_.reset(CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) throw EFCreateError(fileName);
        return;
    }
    DWORD access = (mode & 3) == fmOpenWrite       ? GENERIC_WRITE
                   : (mode & 3) == fmOpenReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                   : GENERIC_READ;
    file_.reset(CreateFileA(fileName.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) throw EFOpenError(fileName);
}

int64_t TFileStream::Size() const
{
    LARGE_INTEGER s{};
    GetFileSizeEx(file_.get(), &s);
    return s.QuadPart;
}

int64_t TFileStream::Position() const { return const_cast<TFileStream*>(this)->Seek(0, soCurrent); }

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    LARGE_INTEGER d{}, r{};
    d.QuadPart = offset;
    DWORD how = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
    SetFilePointerEx(file_.get(), d, &r, how);
    return r.QuadPart;
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    DWORD n = 0;
    if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(count), &n, nullptr)) return 0;
    return n;
}

size_t TFileStream::Write(const void* buffer, size_t count)
{
    DWORD n = 0;
    if (!WriteFile(file_.get(), buffer, static_cast<DWORD>(count), &n, nullptr)) return 0;
    return n;
}

void TFileStream::Flush()
{
    if (!FlushFileBuffers(file_.get()))
        throw EStreamError("Fehler beim Schreiben der Datei " + fileName_ + " auf die Platte");
    if (OnFlushed) OnFlushed(*this);
}

bool TFileStream::Truncate(int64_t size) { return Seek(size, soBeginning) == size && SetEndOfFile(file_.get()); }

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, const char* type) : name_(name)
{
    HRSRC info = FindResourceA(instance, name.c_str(), type);
    HGLOBAL handle = info ? LoadResource(instance, info) : nullptr;
    if (!handle) throw EResNotFound(name);
    // Resource memory lives as long as its module; it is never freed.
    data_ = static_cast<const uint8_t*>(LockResource(handle));
    size_ = data_ ? SizeofResource(instance, info) : 0;
}

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
}

size_t TResourceStream::Read(void* buffer, size_t count)
{
    if (position_ >= Size()) return 0;
    const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), Size() - position_));
    if (n > 0) std::memcpy(buffer, data_ + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}
