#include "skin/engine/sSysUtils.h"

#include <shellapi.h>

#include <cstddef>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sHooks.h"

bool Win64NoComposition = false;

namespace {

using TIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);

TLibraryHandle kernel32;
TIsWow64Process isWow64Process = nullptr;

// The metrics as Windows XP laid them out: without iPaddedBorderWidth, 340 bytes.
constexpr UINT NonClientMetricsSize = 340;
static_assert(offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA) == NonClientMetricsSize);

bool CaptionFont(LOGFONTA& font)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = NonClientMetricsSize;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &metrics, 0)) return false;
    font = metrics.lfCaptionFont;
    return true;
}

} // namespace

std::string AppPath()
{
    char name[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
    return ExtractFilePath(std::string(name, n));
}

int GetCaptionFontHeight()
{
    LOGFONTA font{};
    return CaptionFont(font) ? font.lfHeight : 0;
}

TFontHandle CreateCaptionFont()
{
    LOGFONTA font{};
    return TFontHandle(CaptionFont(font) ? CreateFontIndirectA(&font) : nullptr);
}

std::unique_ptr<TIcon> GetFileIcon(const std::string& fileName, UINT flags)
{
    if (!FileExists(fileName)) return nullptr;
    SHFILEINFOA info{};
    SHGetFileInfoA(fileName.c_str(), 0, &info, sizeof info, flags | SHGFI_ICON);
    if (!info.hIcon) return nullptr;
    auto icon = std::make_unique<TIcon>();
    icon->SetHandle(info.hIcon);
    return icon;
}

void Delay(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (Application) {
            Application->ProcessMessages();
        } else {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(1);
    }
}

bool IsWow64()
{
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

void SkinUtilsStart()
{
    kernel32.reset(LoadLibraryA("kernel32.dll"));
    if (kernel32)
        isWow64Process = reinterpret_cast<TIsWow64Process>(
            reinterpret_cast<void*>(GetProcAddress(kernel32.get(), "IsWow64Process")));
    Win64NoComposition = IsWow64() && !HookDwmCompositionEnabled();
}

void SkinUtilsEnd()
{
    isWow64Process = nullptr;
    kernel32.reset();
}
