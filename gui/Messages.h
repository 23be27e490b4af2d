// The window message numbers of the program beyond those of Win32, with their ranges. Every
// number a window of the program sends or answers is named here, so no two uses meet:
//
//   0x0401, 0x0402  card messages of QsmTool to its host window (SET_APPL_HANDLE): a card was
//                   inserted (after the 500 ms debounce; a synchronous send) and removed; both
//                   with wParam and lParam 0. The card library keeps its own names for them.
//   0x042A (1066)   QsmTool's reader worker to the library's hidden window: one status wait
//                   ended (WM_USER + 42; wParam the wait's result). Private to QsmTool.
//   0x8000-0x80FF   this class library's own messages (TM_...).
//   0xA100          the skin command message SM_VELOCONCMD (registered by name, then fixed to
//                   this number); the command code is in the high word of wParam.
//   0xB000-0xBBFF   component notifications (CM_...), sent by the library to a control itself.
//   0xBC00-0xBFFF   reflected notifications (CN_...): what a parent receives about a child
//                   (WM_COMMAND, WM_NOTIFY, WM_CTLCOLORxxx, WM_DRAWITEM, WM_MEASUREITEM, scroll
//                   and key messages) is handed to the child as CN_BASE + the message.
#pragma once

#include <windows.h>

// The card messages (see above); names for hosts of QsmTool.
constexpr UINT QSM_CARD_INSERTED = 0x0401;
constexpr UINT QSM_CARD_REMOVED = 0x0402;
constexpr UINT QSM_READER_STATUS = WM_USER + 42; // 1066

// The class library's own messages.
constexpr UINT TM_BASE = 0x8000;
// Asks a form about one of its menu items, also from another process: wParam is a global atom
// holding the item's component name (the asker adds and deletes it). The answer is 0 when the
// form has no such menu item, else TM_ITEM_FOUND with, for lParam 0, the item's command id in
// the low word and the state bits below; for lParam TM_ASK_CAPTION + i, one byte of the
// item's caption: TM_ITEM_CHAR and byte i in the low byte, or neither past the caption's end
// (see QueryMenuItem and MenuItemCaption in gui/Automation.h).
constexpr UINT TM_MENUITEMQUERY = TM_BASE + 1;
constexpr LRESULT TM_ITEM_FOUND = 0x10000000;
constexpr LRESULT TM_ITEM_VISIBLE = 0x00010000; // the item and every menu above it are visible
constexpr LRESULT TM_ITEM_ENABLED = 0x00020000;
constexpr LRESULT TM_ITEM_CHECKED = 0x00040000;
constexpr LPARAM TM_ASK_CAPTION = 0x10000; // + the byte's index, 0 .. 0xFFFF
constexpr LRESULT TM_ITEM_CHAR = 0x00000100;

// The skin command message.
constexpr UINT SM_VELOCONCMD_NUMBER = 0xA100;

// Component notifications.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
// To a control itself, through its own dispatch: its Enabled changed (wParam the new state),
// its Visible changed (wParam the new state), the mouse entered it (lParam the control, for
// windowed controls the window is tracked until the mouse leaves) and left it.
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 1;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 2;
constexpr UINT CM_MOUSEENTER = CM_BASE + 3;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 4;

// Reflected notifications.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND; // 0xBD11
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;

static_assert(CN_COMMAND == 0xBD11, "the reflected WM_COMMAND");
static_assert(QSM_READER_STATUS == 1066, "the card library's reader status");
