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
//   0xBCB3, 0xBCB4  posted to the application's window by skinned menus (inside the range
//                   above, never reflected): a popup's menu and item position whose window is
//                   to be skinned; a popup window to be skinned. The window's hooks get them.
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
// Asks a form about one of its graphic controls (labels, gauges: no window of their own), also
// from another process: wParam is a global atom holding the control's component name, lParam a
// window of the asker. Before it answers, the form sends that window WM_COPYDATA with dwData
// TM_CONTROLQUERY and the data TControlQueryReply followed by the caption (code page 1252, any
// length, no terminating zero). The answer is 0 when the form owns no graphic control of that
// name (a windowed control answers WM_GETTEXT itself) or the asker's window is missing, else
// TM_ITEM_FOUND with TM_ITEM_VISIBLE (the control and every parent up to the form visible) and
// TM_ITEM_ENABLED (see QueryControl in gui/Automation.h).
constexpr UINT TM_CONTROLQUERY = TM_BASE + 2;
struct TControlQueryReply {
    LONG left, top, width, height; // in the form's client coordinates
};

// The skin command message.
constexpr UINT SM_VELOCONCMD_NUMBER = 0xA100;

// Component notifications, each sent by the library to a control through the control's own
// dispatch (Perform, so hooks on its WindowProc see them), once per change of what it names.
// A notification whose wParam or lParam is a control is obeyed only when it comes from the
// window's own thread: sent from another thread or process, or posted, it is answered 0.
constexpr UINT CM_BASE = 0xB000;
// To the application window (TApplication::AppWindow) when the program becomes the active one.
constexpr UINT CM_ACTIVATE = CM_BASE + 0; // 45056
// To the control that had the focus in a form when the form's focus moves to another control
// (lParam the control getting it), and to the focused control when its form is sent
// WM_CANCELMODE (lParam 0): end any mode of your own (a pressed look, an open list).
constexpr UINT CM_CANCELMODE = CM_BASE + 4; // 45060
// A character typed while no control took it (an Alt+key, or a key for a control that wants
// no characters), offered by the form to each of its controls until one answers non-zero
// (wParam the character, lParam the key data). A label answers for its '&' accelerator.
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6; // 45062
// To every control of a form when the form's focused control changes (lParam the new one).
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;    // 45063
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11; // 45067, wParam the new Visible
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12; // 45068, wParam the new Enabled
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;   // 45069, Color changed
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;    // 45070, Font changed (also through ParentFont)
// A control's 3D look was switched (sent by controls that have such a switch).
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16; // 45072
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;  // 45074, the caption or text was set to another one
// The mouse entered and left a control (lParam the control): a windowed control from the
// first move over its window (client area or frame) until the pointer is over another window;
// a graphic control as its parent sees the pointer move onto it and off it.
constexpr UINT CM_MOUSEENTER = CM_BASE + 19; // 45075
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20; // 45076
// To a form whose main menu changed (an item added, removed, renamed, checked, shown, hidden).
constexpr UINT CM_MENUCHANGED = CM_BASE + 21; // 45077
// To a windowed control whose Showing changed (its own or a parent's Visible); a form shows
// and hides its window while handling it.
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25; // 45081
// The focus of a form moved into a control (or one of its children) and out of it: sent to
// each control from the one losing the focus up to below the common parent, then from below
// the common parent down to the one getting it.
constexpr UINT CM_ENTER = CM_BASE + 26; // 45082
constexpr UINT CM_EXIT = CM_BASE + 27;  // 45083
// From a form to the control it gave the focus, after CM_ENTER.
constexpr UINT CM_UIACTIVATE = CM_BASE + 41; // 45097
// To a parent after a child was inserted (lParam 1) and before one is removed (lParam 0);
// wParam the child. Every windowed parent passes it on to its own parent, up to the form.
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44; // 45100
// A windowed control's Invalidate: handled by invalidating the window.
constexpr UINT CM_INVALIDATE = CM_BASE + 52; // 45108
// A control's value changed (check state, edit text, combo box selection); lParam the control.
constexpr UINT CM_CHANGED = CM_BASE + 55; // 45111
// BiDiMode changed (its own, or the parent's through ParentBiDiMode).
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60; // 45116
// Docking and actions do not exist here: these two numbers are named but never sent.
constexpr UINT CM_FLOAT = CM_BASE + 58;        // 45114
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63; // 45119
// The mouse wheel turned over a windowed control (wParam and lParam of WM_MOUSEWHEEL): sent to
// the control before its window handles WM_MOUSEWHEEL; a non-zero answer keeps the wheel from
// the window.
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67; // 45123

// Reflected notifications.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT SM_MENUITEMPOPUP = 0xBCB3;   // lParam the menu, wParam the item's position
constexpr UINT SM_MENUWINDOWPOPUP = 0xBCB4; // lParam the popup window
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
// Keys, handed to the focused control before the key is dispatched to its window; a non-zero
// answer consumes the key (the window never sees it).
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;       // 48384
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;           // 48385
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;             // 48386
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN; // 48388
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;       // 48390

static_assert(CN_COMMAND == 0xBD11, "the reflected WM_COMMAND");
static_assert(QSM_READER_STATUS == 1066, "the card library's reader status");
