// Owners of the card library's own kinds of handle, on the class library's TUniqueHandle: the
// PC/SC context (released at the end), the card connection (disconnected with a reset of the
// card, as the library always leaves a card) and a window (destroyed). Thread handles are the
// class library's TKernelHandle.
#pragma once

#include <windows.h>
#include <winscard.h>

#include "gui/base/Handles.h"

struct TSCardContextTraits {
    static SCARDCONTEXT Invalid() { return 0; }
    static void Close(SCARDCONTEXT context) { SCardReleaseContext(context); }
};
struct TSCardConnectionTraits {
    static SCARDHANDLE Invalid() { return 0; }
    static void Close(SCARDHANDLE card) { SCardDisconnect(card, SCARD_RESET_CARD); }
};
struct TWindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND window) { DestroyWindow(window); }
};

using TSCardContext = TUniqueHandle<SCARDCONTEXT, TSCardContextTraits>;
using TSCardConnection = TUniqueHandle<SCARDHANDLE, TSCardConnectionTraits>;
using TWindowHandle = TUniqueHandle<HWND, TWindowTraits>;
