#include "skin/windows/vxMessageWindow.h"

#include "gui/Controls.h"

namespace {
constexpr const char* kClassName = "TvxMessageWindow";
} // namespace

TvxMessageWindow::TvxMessageWindow(THandler handler, void* context) : handler_(handler), context_(context)
{
    WNDCLASSEXA wc{};
    if (!GetClassInfoExA(LibraryInstance(), kClassName, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TvxMessageWindow::WndProc;
        wc.hInstance = LibraryInstance();
        wc.lpszClassName = kClassName;
        RegisterClassExA(&wc);
    }
    wnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, LibraryInstance(), nullptr);
    if (wnd_) SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TvxMessageWindow::~TvxMessageWindow()
{
    if (!wnd_) return;
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, 0);
    DestroyWindow(wnd_);
}

bool TvxMessageWindow::Post(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return wnd_ && PostMessageA(wnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TvxMessageWindow::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= WM_APP && msg <= 0xBFFF) {
        auto* self = reinterpret_cast<TvxMessageWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (!self) return 0;
        // Read before the call: the handler may end the object.
        const THandler handler = self->handler_;
        void* const context = self->context_;
        handler(context, msg, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
