// Tillora's program block. Until the register's windows exist it opens an empty main window
// and starts the card as the main window will: card monitor, host window, card start.
#include <windows.h>

#include "card/exports/QsmTool.h"

namespace {

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TMainF";
    RegisterClassA(&wc);
    HWND main = CreateWindowExA(0, "TMainF", "Tillora", WS_OVERLAPPEDWINDOW, 100, 100, 640, 480, nullptr, nullptr,
                                instance, nullptr);
    ShowWindow(main, show);
    SET_DEBUGWINDOW(1, 1);
    SET_APPL_HANDLE(main);
    START_CARD();
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    SET_APPL_HANDLE(nullptr);
    return 0;
}
