// The shared state and helpers of the skinned menus' two files (sSkinMenus.cpp: switching,
// records, measuring, the popup window; sSkinMenusPaint.cpp: painting).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "skin/windows/sSkinMenus.h"

namespace skinmenus {

// The application's window answers these (TsSkinManager::MainWindowHook).
constexpr UINT MenuItemPopup = SM_MENUITEMPOPUP;
constexpr UINT MenuWindowPopup = SM_MENUWINDOWPOPUP;
// The window property that keeps a hooked popup window's previous procedure.
constexpr const char* OldProcProp = "TilloraMenuOldProc";
constexpr const char* DefaultExtraSection = "EXTRALINE";
constexpr const char* DefaultExtraCaption = "Use OnGetExtraLineData event";

// The module's state: the records of the shown popups and the extra-line data of the popup
// being measured.
struct MenusModule {
    std::vector<std::unique_ptr<TsMenuInfo>> infos;
    std::string extraSection = DefaultExtraSection, extraCaption = DefaultExtraCaption;
    std::unique_ptr<TBitmap> extraGlyph;
    bool extraVisible = true;
    bool inExtraEvent = false;
    bool popupMeasured = false; // a popup item was measured since the form's last WM_INITMENUPOPUP
    int glyphWidth = 16;
    int textOffset = 0;

    void ResetExtraLine()
    {
        extraSection = DefaultExtraSection;
        extraCaption = DefaultExtraCaption;
        extraGlyph.reset();
        extraVisible = true;
    }
};
MenusModule& Module();

// Visible items of a popup: its first and last, the one after an item (none at the end).
const TMenuItem* FirstVisible(const TMenuItem* parent);
const TMenuItem* LastVisible(const TMenuItem* parent);
const TMenuItem* NextVisible(const TMenuItem* item);
// In the first column: no visible item before it, nor itself, starts a new column.
bool InFirstColumn(const TMenuItem* item);
// No visible item after it starts a new column.
bool InLastColumn(const TMenuItem* item);
std::string WithoutAmpersands(std::string s);
// Where the client area of a window starts inside it (the border the window has itself).
POINT ClientOffset(HWND wnd);

} // namespace skinmenus
