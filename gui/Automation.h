// How another process finds the windows of this class library. A form's window class is the
// form's class name (FindWindowA("TKassTip", nullptr)); every windowed control and every form
// carries the window property kNameProperty, a global atom holding its component name.
// Menus are local to their process under Wine, so a form answers questions about its menu
// items by name (TM_MENUITEMQUERY): QueryMenuItem reads an item's state and command id,
// MenuItemCaption its caption, and ClickMenuItem clicks it as the user would, by its stable
// command id (see Menus.h).
// Graphic controls (labels, gauges) have no window and no name atom: FindControlWindow finds
// windowed controls only, and the form answers for its graphic controls by name
// (TM_CONTROLQUERY): QueryControl reads one's caption, state and place.
// Only Win32 is used here, so test drivers include this header alone.
#pragma once

#include <windows.h>

#include <string>

#include "gui/Messages.h"

inline constexpr const char* kNameProperty = "TilloraName";     // global atom of the component name
inline constexpr const char* kObjectProperty = "TilloraObject"; // in-process: the TWinControl
// How long a question to a form waits for its answer (a hang guard only). The wait does not give
// up early on a program that is busy: the system counts a thread that has not looked at its
// messages for five seconds as hung, and such a program answers once it looks again.
inline constexpr UINT kQueryWait = 30000;

// The component name of a window of this library ("" for other windows). Global atoms ignore
// case: the name comes back in the spelling of whichever program added it first (a "PINEdit"
// of another program running on the same desktop gives "PinEdit" as "PINEdit"), so compare it
// without case.
inline std::string ComponentNameOf(HWND wnd)
{
    ATOM atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(wnd, kNameProperty)));
    if (!atom) return std::string();
    char name[256];
    UINT n = GlobalGetAtomNameA(atom, name, sizeof name);
    return std::string(name, n);
}

struct TWindowSearch {
    const char* cls;
    const char* name;
    HWND found;
    static BOOL CALLBACK Visit(HWND w, LPARAM lp)
    {
        auto* s = reinterpret_cast<TWindowSearch*>(lp);
        char cls[256];
        GetClassNameA(w, cls, sizeof cls);
        if (*s->cls && lstrcmpA(cls, s->cls) != 0) return TRUE;
        if (*s->name && lstrcmpiA(ComponentNameOf(w).c_str(), s->name) != 0) return TRUE;
        if (!GetPropA(w, kNameProperty)) return TRUE;
        s->found = w;
        return FALSE;
    }
};

// The first top-level window of the given form class ("" = any class) and component name
// ("" = any name).
inline HWND FindFormWindow(const char* formClass, const char* name = "")
{
    TWindowSearch s{formClass, name, nullptr};
    EnumWindows(&TWindowSearch::Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A windowed control of a form by its component name, searched through all nested children.
inline HWND FindControlWindow(HWND form, const char* name)
{
    TWindowSearch s{"", name, nullptr};
    EnumChildWindows(form, &TWindowSearch::Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The text of any window, also of another process (WM_GETTEXT).
inline std::string WindowText(HWND wnd)
{
    LRESULT n = SendMessageA(wnd, WM_GETTEXTLENGTH, 0, 0);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = SendMessageA(wnd, WM_GETTEXT, static_cast<WPARAM>(s.size()), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

// A menu item of a form as its form tells it.
struct TMenuItemState {
    bool found = false;
    bool visible = false; // the item and all menus above it
    bool enabled = false;
    bool checked = false;
    UINT command = 0;
};

// Asks the form about its menu item with this component name (case-insensitive).
inline TMenuItemState QueryMenuItem(HWND form, const char* name)
{
    TMenuItemState s;
    ATOM atom = GlobalAddAtomA(name);
    DWORD_PTR answer = 0;
    LRESULT sent = SendMessageTimeoutA(form, TM_MENUITEMQUERY, atom, 0, SMTO_NORMAL, kQueryWait, &answer);
    GlobalDeleteAtom(atom);
    auto a = static_cast<LRESULT>(answer);
    if (!sent || !(a & TM_ITEM_FOUND)) return s;
    s.found = true;
    s.visible = (a & TM_ITEM_VISIBLE) != 0;
    s.enabled = (a & TM_ITEM_ENABLED) != 0;
    s.checked = (a & TM_ITEM_CHECKED) != 0;
    s.command = static_cast<UINT>(a & 0xFFFF);
    return s;
}

// The caption of the form's menu item with this component name, byte by byte (code page 1252,
// "&" marks kept); false when the form has no such item or does not answer.
inline bool MenuItemCaption(HWND form, const char* name, std::string& caption)
{
    caption.clear();
    ATOM atom = GlobalAddAtomA(name);
    bool found = false;
    for (LPARAM i = 0; i < TM_ASK_CAPTION; ++i) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(form, TM_MENUITEMQUERY, atom, TM_ASK_CAPTION + i, SMTO_ABORTIFHUNG, 5000, &answer))
            break;
        const auto a = static_cast<LRESULT>(answer);
        found = (a & TM_ITEM_FOUND) != 0;
        if (!found || !(a & TM_ITEM_CHAR)) break;
        caption += static_cast<char>(a & 0xFF);
    }
    GlobalDeleteAtom(atom);
    return found;
}

// Clicks the menu item as the user would (it runs once the form handles the posted command);
// false, and nothing happens, when the item is missing, hidden or disabled.
inline bool ClickMenuItem(HWND form, const char* name)
{
    TMenuItemState s = QueryMenuItem(form, name);
    if (!s.found || !s.visible || !s.enabled) return false;
    return PostMessageA(form, WM_COMMAND, MAKEWPARAM(s.command, 0), 0) != 0;
}

// A graphic control of a form as its form tells it.
struct TGraphicControlState {
    bool found = false;
    bool visible = false; // the control and every parent up to the form
    bool enabled = false;
    std::string caption; // code page 1252
    RECT bounds{};       // in the form's client coordinates
};

// The window that takes the form's answer to TM_CONTROLQUERY (WM_COPYDATA).
struct TControlQueryAnswer {
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg != WM_COPYDATA) return DefWindowProcA(w, msg, wParam, lParam);
        auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        auto* state = reinterpret_cast<TGraphicControlState*>(GetWindowLongPtrA(w, GWLP_USERDATA));
        if (!state || copy->dwData != TM_CONTROLQUERY || copy->cbData < sizeof(TControlQueryReply)) return FALSE;
        TControlQueryReply reply;
        CopyMemory(&reply, copy->lpData, sizeof reply);
        state->bounds = RECT{reply.left, reply.top, reply.left + reply.width, reply.top + reply.height};
        state->caption.assign(static_cast<const char*>(copy->lpData) + sizeof reply, copy->cbData - sizeof reply);
        return TRUE;
    }
    static HWND Make(TGraphicControlState& state)
    {
        static const char* const cls = "TilloraControlQueryAnswer";
        WNDCLASSA wc{};
        if (!GetClassInfoA(GetModuleHandleA(nullptr), cls, &wc)) {
            wc.lpfnWndProc = &Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = cls;
            RegisterClassA(&wc);
        }
        HWND w = CreateWindowExA(0, cls, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (w) SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        return w;
    }
};

// Asks the form about its graphic control with this component name (case-insensitive): its
// caption, whether it is shown and enabled, and where it is. Not found for windowed controls.
inline TGraphicControlState QueryControl(HWND form, const char* name)
{
    TGraphicControlState s;
    HWND answer = TControlQueryAnswer::Make(s);
    if (!answer) return s;
    ATOM atom = GlobalAddAtomA(name);
    DWORD_PTR result = 0;
    LRESULT sent = SendMessageTimeoutA(form, TM_CONTROLQUERY, atom, reinterpret_cast<LPARAM>(answer), SMTO_NORMAL,
                                       kQueryWait, &result);
    GlobalDeleteAtom(atom);
    DestroyWindow(answer);
    auto a = static_cast<LRESULT>(result);
    if (!sent || !(a & TM_ITEM_FOUND)) return TGraphicControlState{};
    s.found = true;
    s.visible = (a & TM_ITEM_VISIBLE) != 0;
    s.enabled = (a & TM_ITEM_ENABLED) != 0;
    return s;
}
