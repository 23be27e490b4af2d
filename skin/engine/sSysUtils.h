// The skin engine's small routines that need the platform: the program's folder, the caption
// font of the system, file icons, a wait that keeps the program answering, and whether the
// process runs under 64-bit Windows. The start step also sets Win64NoComposition.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/Icons.h"
#include "gui/base/Handles.h"

// Set at start when the process runs under 64-bit Windows (IsWow64) and desktop composition
// is off (window skinning's composition query); read by the skin manager for glowing.
extern bool Win64NoComposition;

// The folder of the running program's file, ending in a backslash.
std::string AppPath();
// The height (lfHeight) of the system's caption font (SPI_GETNONCLIENTMETRICS with the
// structure size 340); 0 on failure.
int GetCaptionFontHeight();
// A font made from the same caption font; empty on failure.
TFontHandle CreateCaptionFont();
// The file's icon from the shell (flags plus SHGFI_ICON; flag 1 = small icon, 0 = large);
// none when the file does not exist or the shell gives no icon.
std::unique_ptr<TIcon> GetFileIcon(const std::string& fileName, UINT flags);
// Handles the program's messages until ms milliseconds have passed since the call.
void Delay(DWORD ms);
// IsWow64Process of the current process; false when the entry point is missing or fails.
bool IsWow64();

// Start: looks up IsWow64Process in kernel32 and sets Win64NoComposition. End: frees kernel32.
void SkinUtilsStart();
void SkinUtilsEnd();
