// The skin manager unit's start and end: the platform, the built-in shadow images and the
// version banner.
#include <windows.h>

#include <cstdlib>

#include "gui/Dialogs.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/vxPNG.h"

namespace {

struct TManagerUnit {
    bool nt = false;
    std::unique_ptr<TPNGGraphic> shadowActive, shadowInactive;
} unit;

std::unique_ptr<TPNGGraphic> ShadowResource(const char* name)
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (!FindResourceA(module, name, MAKEINTRESOURCEA(10))) return nullptr;
    auto png = std::make_unique<TPNGGraphic>();
    try {
        png->LoadFromResourceName(module, name);
    } catch (const std::exception&) {
        return nullptr; // a damaged resource is taken as a missing one
    }
    return png;
}

} // namespace

bool IsNTPlatform() { return unit.nt; }

TBitmap* BuiltInShadow(bool active) { return active ? unit.shadowActive.get() : unit.shadowInactive.get(); }

void ShowVersionBanner(const std::vector<std::string>& args)
{
    for (const std::string& a : args)
        if (LowerCase(a) == "/vxver") {
            ShowMessage(std::string("Velocon v") + PackageVersion);
            return;
        }
}

void SkinManagerStart()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info; // 148 bytes
    if (GetVersionExA(&info)) unit.nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    unit.shadowActive = ShadowResource("vxSHDA");
    unit.shadowInactive = ShadowResource("vxSHDI");
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i)
        args.emplace_back(__argv[i]);
    ShowVersionBanner(args);
}

void SkinManagerEnd()
{
    unit.shadowActive.reset();
    unit.shadowInactive.reset();
}
