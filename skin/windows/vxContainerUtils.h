// The small services the container, list and grid adapters share: the window at the top, a
// class-library control found by its window, the parent's background moved to a window's place,
// the adapter's cache sized for a paint, and a window's font as a class-library font.
//
//   TsCacheInfo behind = ParentCacheInfoAt(wnd);      // the parent's bitmap under wnd, or its colour
//   TBitmap* cache = SizedCache(adapter->SkinData, 120, 40);   // 24 bits, 120 x 40
//   PaintSection(cache, TRect{0, 0, 120, 40}, section, manager, 0, behind);
#pragma once

#include <windows.h>

#include "gui/Controls.h"
#include "skin/engine/sCommonData.h"

// Skin command 25 (lParam 0) to the top-level window above wnd (wnd itself without a parent).
void NotifyTopWindow(HWND wnd);
// The windowed control under parent (depth first, parent itself not counted) whose window is
// wnd; none when there is none.
TWinControl* FindControlByHandle(HWND wnd, TWinControl* parent);
// The parent window's background (GetParentCacheInfoByHandle); a bitmap answer's offsets moved by
// the window's top-left corner in the parent, so that (X + x, Y + y) is under (x, y) of wnd.
TsCacheInfo ParentCacheInfoAt(HWND wnd);
// The link's cache bitmap made 24-bit and w x h (its content not kept).
TBitmap* SizedCache(TsCommonData* link, int w, int h);
// The window's size from its window rectangle (negative as 0).
SIZE WindowSizeOf(HWND wnd);
// The window's font (WM_GETFONT: face, height, charset, bold, italic, underline, strike-out) into
// font; false, font unchanged, when the window has none.
bool WindowFont(HWND wnd, TFont& font);
// Name, height, charset and style (bold from FW_BOLD on, italic, underline, strike-out).
void FontFromLogFont(TFont& font, const LOGFONTA& lf);
