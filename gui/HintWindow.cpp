#include "gui/HintWindow.h"

#include <algorithm>

#include "gui/Forms.h"
#include "gui/base/Handles.h"

namespace {

constexpr UINT HintTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;

} // namespace

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner)
{
    SetColor(clInfoBk);
    Font() = Screen->HintFont();
    Font().SetColor(SysColor(COLOR_INFOTEXT));
    SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& p)
{
    TCustomControl::CreateParams(p);
    p.style = WS_POPUP | WS_BORDER;
    p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    p.parent = nullptr;
    p.menu = nullptr;
    p.classStyle |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text)
{
    TMemDC dc(CreateCompatibleDC(nullptr));
    const TSelectGuard font(dc.get(), Font().Handle());
    RECT r{0, 0, std::max(maxWidth, 1), 0};
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, HintTextFlags | DT_CALCRECT);
    return TRect{0, 0, static_cast<int>(r.right) + 6, static_cast<int>(r.bottom) + 2};
}

void THintWindow::ActivateHint(const TRect& r, const std::string& text)
{
    SetCaption(text);
    SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    const HWND wnd = Handle();
    SetWindowPos(wnd, HWND_TOPMOST, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
    InvalidateRect(wnd, nullptr, TRUE);
}

void THintWindow::Paint(TCanvas& canvas)
{
    RECT r{2, 0, Width() - 2, Height()};
    const HDC dc = canvas.Handle();
    const TSelectGuard font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    const std::string text = Caption();
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, HintTextFlags);
}
