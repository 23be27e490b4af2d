#include "card/UFileBytes.h"

#include <windows.h>

namespace {

class TFileHandle {
public:
    explicit TFileHandle(HANDLE h) : h_(h) {}
    ~TFileHandle()
    {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

constexpr DWORD kChunk = 16 * 1024;

} // namespace

bool ReadFileBytes(const std::string& name, std::string& bytes)
{
    bytes.clear();
    TFileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    char buf[kChunk];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buf, kChunk, &got, nullptr)) return false;
        if (got == 0) return true;
        bytes.append(buf, got);
    }
}

bool WriteFileBytes(const std::string& name, std::string_view bytes)
{
    TFileHandle file(
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    while (!bytes.empty()) {
        const DWORD part = bytes.size() > kChunk ? kChunk : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data(), part, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}
