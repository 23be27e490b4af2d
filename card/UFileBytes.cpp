#include "card/UFileBytes.h"

#include <windows.h>

#include "gui/base/Handles.h"

namespace {

constexpr DWORD kChunk = 16 * 1024;

} // namespace

bool ReadFileBytes(const std::string& name, std::string& bytes)
{
    bytes.clear();
    TFileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char buf[kChunk];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buf, kChunk, &got, nullptr)) return false;
        if (got == 0) return true;
        bytes.append(buf, got);
    }
}

bool WriteFileBytes(const std::string& name, std::string_view bytes)
{
    TFileHandle file(
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    while (!bytes.empty()) {
        const DWORD part = bytes.size() > kChunk ? kChunk : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), part, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}
