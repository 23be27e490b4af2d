#include "MonForm.h"

#include <richedit.h>

#include "QsmTool.h"
#include "UCardFunc.h"

namespace {

constexpr const char* kClassName = "TMonForm";
constexpr UINT_PTR kPrellTimer = 1;
constexpr UINT kPrellInterval = 500;
constexpr UINT kClearMessCommand = 100;
constexpr int kTrimAbove = 32000;
constexpr int kTrimLines = 11;

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

void RegisterMonitorClass()
{
    static bool done = false;
    if (done)
        return;
    LoadLibraryA("riched20.dll");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = ThisModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    done = true;
}

} // namespace

TMonForm::TMonForm()
{
    RegisterMonitorClass();
    menu_ = CreateMenu();
    AppendMenuA(menu_, MF_STRING, kClearMessCommand, "&Clear");
    RECT r{0, 0, 632, 541};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_CONTEXTHELP;
    AdjustWindowRectEx(&r, style, TRUE, exStyle);
    hwnd_ = CreateWindowExA(exStyle, kClassName, "Cardmonitor", style, CW_USEDEFAULT, CW_USEDEFAULT,
                            r.right - r.left, r.bottom - r.top, nullptr, menu_, ThisModule(), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
    mess_ = CreateWindowExA(WS_EX_CLIENTEDGE, RICHEDIT_CLASSA, "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL,
                            0, 0, 632, 541, hwnd_, nullptr, ThisModule(), nullptr);
    SetWindowLongPtrA(mess_, GWLP_ID, 1);
    SendMessageA(mess_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH, "Fixedsys");
    SendMessageA(mess_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // The window starts hidden, so logging starts off.
    logging_ = false;
}

TMonForm::~TMonForm()
{
    logging_ = false;
    if (hwnd_) {
        KillTimer(hwnd_, kPrellTimer);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_); // destroys the rich edit and the menu with it
    }
    if (font_)
        DeleteObject(font_);
}

void TMonForm::SetVisible(bool visible)
{
    ShowWindow(hwnd_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

bool TMonForm::Visible() const
{
    return IsWindowVisible(hwnd_) != FALSE;
}

void TMonForm::CaretToEnd()
{
    const LRESULT end = SendMessageA(mess_, WM_GETTEXTLENGTH, 0, 0);
    CHARRANGE cr{static_cast<LONG>(end) + 1, static_cast<LONG>(end) + 1};
    // A position past the end puts the caret at the very end of the rich text.
    cr.cpMin = cr.cpMax = -1;
    SendMessageA(mess_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

void TMonForm::SetSelectionColour(COLORREF colour)
{
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = colour;
    SendMessageA(mess_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void TMonForm::AddLine(const std::string& text)
{
    if (!logging_)
        return;
    const std::string line = text.empty() ? std::string(" ") : text;
    if (SendMessageA(mess_, WM_GETTEXTLENGTH, 0, 0) > kTrimAbove)
        DeleteOldestLines(kTrimLines);
    CaretToEnd();
    const std::string appended = (SendMessageA(mess_, WM_GETTEXTLENGTH, 0, 0) > 0 ? "\r\n" : "") + line;
    SendMessageA(mess_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(appended.c_str()));
    SendMessageA(mess_, EM_SCROLLCARET, 0, 0);
    InvalidateRect(mess_, nullptr, FALSE);
}

void TMonForm::DeleteOldestLines(int count)
{
    // Log lines, not display lines: a long line wraps on screen but goes as one.
    const std::string text = LogText();
    LONG position = 0; // in the rich edit, a line end counts as one character
    std::size_t i = 0;
    for (int deleted = 0; deleted < count && i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++deleted;
        }
        ++position;
    }
    CHARRANGE cr{0, position};
    SendMessageA(mess_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    SendMessageA(mess_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

void TMonForm::AddColoredLine(const std::string& text, int colour)
{
    if (!logging_)
        return;
    CaretToEnd();
    SetSelectionColour(static_cast<COLORREF>(colour));
    AddLine(text);
    CaretToEnd();
    SetSelectionColour(RGB(0, 0, 0));
    InvalidateRect(mess_, nullptr, FALSE);
}

void TMonForm::ClearLog()
{
    SetWindowTextA(mess_, "");
}

std::string TMonForm::LogText() const
{
    const int len = GetWindowTextLengthA(mess_);
    std::string text(static_cast<std::size_t>(len) + 1, '\0');
    GetWindowTextA(mess_, text.data(), len + 1);
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

void TMonForm::pcsc2CardInserted(TPCSCConnector* sender)
{
    if (prellRunning_)
        return;
    prellRunning_ = true;
    SetTimer(hwnd_, kPrellTimer, kPrellInterval, nullptr);
    if (sender) {
        AddColoredLine("Karte gesteckt", clLogMaroon);
        START_CARD();
    }
}

void TMonForm::prellTimerTimer()
{
    KillTimer(hwnd_, kPrellTimer);
    prellRunning_ = false;
    if (HWND host = Module().HostWindow)
        SendMessageA(host, WM_CARD_INSERTED, 0, 0);
}

void TMonForm::pcsc2CardRemoved(TPCSCConnector*)
{
    AddColoredLine("Karte gezogen", clLogMaroon);
    if (HWND host = Module().HostWindow)
        SendMessageA(host, WM_CARD_REMOVED, 0, 0);
    RESET_CARD();
}

LRESULT CALLBACK TMonForm::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TMonForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        switch (msg) {
        case WM_TIMER:
            if (wParam == kPrellTimer) {
                self->prellTimerTimer();
                return 0;
            }
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kClearMessCommand) {
                self->ClearLog();
                return 0;
            }
            break;
        case WM_SIZE:
            MoveWindow(self->mess_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_CLOSE:
            // Closing only hides the monitor; the library owns it until it is unloaded.
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        default:
            break;
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
