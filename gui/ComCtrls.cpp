#include "gui/ComCtrls.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "gui/base/SysUtils.h"

// ---- TMaskEdit

namespace {
std::string InputPositions(const std::string& mask)
{
    std::string m = mask.substr(0, mask.find(';'));
    std::string positions;
    for (char c : m)
        if (std::string("09LlAaCc#").find(c) != std::string::npos) positions += c;
    return positions;
}
} // namespace

void TMaskEdit::SetEditMask(const std::string& mask)
{
    mask_ = mask;
    SetMaxLength(static_cast<int>(InputPositions(mask).size()));
}

bool TMaskEdit::Accepts(size_t position, char c) const
{
    std::string p = InputPositions(mask_);
    if (p.empty()) return true;
    if (position >= p.size()) return false;
    bool digit = c >= '0' && c <= '9';
    bool letter = IsCharAlphaA(c) != 0;
    switch (p[position]) {
    case '0':
    case '9':
    case '#':
        return digit || (p[position] != '0' && c == ' ');
    case 'L':
    case 'l':
        return letter;
    case 'A':
    case 'a':
        return letter || digit;
    default:
        return true;
    }
}

std::string TMaskEdit::Caption() const
{
    std::string t = TCustomEdit::Caption();
    size_t n = InputPositions(mask_).size();
    if (t.size() < n) t += std::string(n - t.size(), ' ');
    return t;
}

void TMaskEdit::WndProc(TMessage& m)
{
    if (m.Msg == WM_CHAR && static_cast<unsigned char>(m.WParam) >= ' ' && !mask_.empty()) {
        char key = static_cast<char>(m.WParam);
        if (OnKeyPress) {
            OnKeyPress(this, key);
            if (!key) return;
        }
        if (!Accepts(static_cast<size_t>(SelStart()), key)) {
            MessageBeep(MB_OK);
            return;
        }
        m.WParam = static_cast<unsigned char>(key);
        DefaultHandler(m);
        return;
    }
    TCustomEdit::WndProc(m);
}

void TMaskEdit::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "EditMask")) SetEditMask(v.AsString());
    else TCustomEdit::SetProperty(name, v);
}

// ---- TRichEdit

TRichEdit::TRichEdit(TComponent* owner) : TCustomMemo(owner)
{
    static HMODULE riched = LoadLibraryA("riched20.dll");
    (void)riched;
}

void TRichEdit::CreateParams(TCreateParams& p)
{
    TCustomMemo::CreateParams(p);
    p.className = RICHEDIT_CLASSA;
}

void TRichEdit::CreateWnd()
{
    TCustomMemo::CreateWnd();
    SendMessageA(handle_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    if (undoLimit_ >= 0) SendMessageA(handle_, EM_SETUNDOLIMIT, static_cast<WPARAM>(undoLimit_), 0);
    SetSelColor(font_.Color());
}

void TRichEdit::SetUndoLimit(int limit)
{
    undoLimit_ = limit;
    if (handle_) SendMessageA(handle_, EM_SETUNDOLIMIT, static_cast<WPARAM>(limit), 0);
}

int TRichEdit::TextLength() const
{
    if (!handle_) return static_cast<int>(caption_.size());
    GETTEXTLENGTHEX g{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    return static_cast<int>(SendMessageA(handle_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
}

int TRichEdit::FormatRange(HDC dc, const RECT& twips, int from, int to)
{
    HandleNeeded();
    const int length = TextLength();
    if (to < 0 || to > length) to = length;
    FORMATRANGE fr{};
    fr.hdc = dc;
    fr.hdcTarget = dc;
    fr.rc = twips;
    fr.rcPage = twips;
    fr.chrg.cpMin = from;
    fr.chrg.cpMax = to;
    const LRESULT next = SendMessageA(handle_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
    // The control keeps cached information about the device until told to drop it.
    SendMessageA(handle_, EM_FORMATRANGE, FALSE, 0);
    if (next > from || from >= to) return static_cast<int>(next);
    // A control that renders nothing (Wine's answers EM_FORMATRANGE with 0): the characters
    // are drawn here, line by line in the control's font, tabs every half inch, cut at the
    // rectangle's right edge; a line that does not fit below the others ends the range.
    return DrawRange(dc, twips, from, to);
}

int TRichEdit::DrawRange(HDC dc, const RECT& twips, int from, int to)
{
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    const RECT area{MulDiv(twips.left, dpiX, 1440), MulDiv(twips.top, dpiY, 1440), MulDiv(twips.right, dpiX, 1440),
                    MulDiv(twips.bottom, dpiY, 1440)};
    LOGFONTA lf{};
    GetObjectA(font_.Handle(), sizeof lf, &lf);
    lf.lfHeight = -MulDiv(font_.Size(), dpiY, 72);
    lf.lfWidth = 0;
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorToRGB(font_.Color()));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
    const int tabWidth = dpiX / 2;

    // The control's characters: a line break is one character ("\r").
    std::string text(static_cast<size_t>(TextLength()) + 1, '\0');
    GETTEXTEX gt{};
    gt.cb = static_cast<DWORD>(text.size());
    gt.flags = GT_DEFAULT;
    gt.codepage = CP_ACP;
    text.resize(static_cast<size_t>(
        SendMessageA(handle_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(text.data()))));
    if (to > static_cast<int>(text.size())) to = static_cast<int>(text.size());

    int next = from;
    int y = area.top;
    SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    while (next < to) {
        if (y + lineHeight > area.bottom && y > area.top) break;
        int end = next;
        while (end < to && text[static_cast<size_t>(end)] != '\r' && text[static_cast<size_t>(end)] != '\n')
            ++end;
        const std::string line = text.substr(static_cast<size_t>(next), static_cast<size_t>(end - next));
        TabbedTextOutA(dc, area.left, y, line.c_str(), static_cast<int>(line.size()), 1, const_cast<int*>(&tabWidth),
                       area.left);
        y += lineHeight;
        next = end;
        if (next < to && text[static_cast<size_t>(next)] == '\r') ++next;
        if (next < to && text[static_cast<size_t>(next)] == '\n') ++next;
    }
    RestoreDC(dc, -1);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    return next;
}

void TRichEdit::SetSelColor(TColor c)
{
    if (!handle_) return;
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = ColorToRGB(c);
    SendMessageA(handle_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void TRichEdit::AppendLine(const std::string& line, TColor color)
{
    HandleNeeded();
    TPendingAppend append{(GetTextLen() > 0 ? "\r\n" : "") + line, color, true};
    if (Updating()) {
        Collect(std::move(append));
        return;
    }
    TQuietChange quiet(handle_);
    ApplyAppend(append);
}

void TRichEdit::ApplyAppend(const TPendingAppend& append)
{
    if (!append.colored) {
        TCustomMemo::ApplyAppend(append);
        return;
    }
    int end = TextLength();
    CHARRANGE r{end, end};
    SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    SetSelColor(append.color);
    SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(append.text.c_str()));
    end = TextLength();
    r = CHARRANGE{end, end};
    SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    SetSelColor(font_.Color());
}

namespace {

struct TStreamSource {
    const std::string& text;
    size_t read = 0;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done)
{
    auto& source = *reinterpret_cast<TStreamSource*>(cookie);
    const size_t n = std::min(static_cast<size_t>(size), source.text.size() - source.read);
    std::memcpy(buffer, source.text.data() + source.read, n);
    source.read += n;
    *done = static_cast<LONG>(n);
    return 0;
}

// A text as RTF characters: a line break (CR LF, a lone CR or LF) as a paragraph, a tab as a
// tab, the RTF's own characters escaped, the others of code page 1252 as hex.
void AddRtfText(std::string& rtf, const std::string& text)
{
    static const char hex[] = "0123456789abcdef";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            rtf += "\\par ";
        } else if (c == '\t') {
            rtf += "\\tab ";
        } else if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x80) {
            rtf += "\\'";
            rtf += hex[c >> 4];
            rtf += hex[c & 15];
        } else {
            rtf += static_cast<char>(c);
        }
    }
}

bool EndsInLineBreak(const std::string& text) { return !text.empty() && (text.back() == '\r' || text.back() == '\n'); }

} // namespace

void TRichEdit::ApplyAppends(const std::vector<TPendingAppend>& appends, size_t first)
{
    while (first < appends.size()) {
        // The coloured appends in a row from here; a line break at the stream's end would be
        // taken as the end of its last paragraph, so such an append goes on its own.
        size_t last = first;
        while (last < appends.size() && appends[last].colored && !EndsInLineBreak(appends[last].text))
            ++last;
        if (last - first < 2) {
            ApplyAppend(appends[first]);
            ++first;
            continue;
        }
        std::vector<COLORREF> colours;
        std::string body;
        for (size_t i = first; i < last; ++i) {
            const COLORREF colour = ColorToRGB(appends[i].color);
            auto at = std::find(colours.begin(), colours.end(), colour);
            if (at == colours.end()) at = colours.insert(colours.end(), colour);
            body += "\\cf" + std::to_string(at - colours.begin() + 1) + ' ';
            AddRtfText(body, appends[i].text);
        }
        std::string rtf = "{\\rtf1\\ansi\\ansicpg1252{\\colortbl ;";
        for (const COLORREF colour : colours)
            rtf += "\\red" + std::to_string(GetRValue(colour)) + "\\green" + std::to_string(GetGValue(colour)) +
                   "\\blue" + std::to_string(GetBValue(colour)) + ';';
        rtf += '}' + body + '}';
        int end = TextLength();
        CHARRANGE r{end, end};
        SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        TStreamSource source{rtf};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
        SendMessageA(handle_, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
        end = TextLength();
        r = CHARRANGE{end, end};
        SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        SetSelColor(font_.Color());
        first = last;
    }
}

size_t TRichEdit::ShownSize(const std::string& text) const
{
    size_t size = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        size += text[i] == '\r' || text[i] == '\n' ? 2 : 1;
    }
    return size;
}

int TRichEdit::CharIndex(const std::string& text, size_t offset) const
{
    int index = 0;
    for (size_t i = 0; i < offset && i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) ++index;
    return index;
}

void TRichEdit::SelectRange(int from, int to)
{
    CHARRANGE r{from, to};
    SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

// The lines a rich edit deletes in one step: under Wine deleting 900 lines of 1200 at once takes
// 30 times as long as deleting 100 of them, the cost growing with the square of the lines.
constexpr int DeleteStepLines = 32;

void TRichEdit::DeleteBytes(const std::string& text, size_t from, size_t to)
{
    const int start = CharIndex(text, from);
    int step = 0, breaks = 0;
    for (size_t i = from; i < to && i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        ++step;
        if ((text[i] == '\r' || text[i] == '\n') && ++breaks == DeleteStepLines) {
            SelectRange(start, start + step);
            SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
            step = breaks = 0;
        }
    }
    if (step == 0) return;
    SelectRange(start, start + step);
    SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

COLORREF TRichEdit::ColorAt(int position)
{
    HandleNeeded();
    CHARRANGE keep{};
    SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    CHARRANGE r{position, position + 1};
    SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    SendMessageA(handle_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    return cf.crTextColor;
}

void TRichEdit::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "PlainText") || SameText(name, "HideSelection")) {
    } else TCustomMemo::SetProperty(name, v);
}

// ---- TDateTimePicker

namespace {
void ToSystemTime(TDateTime v, SYSTEMTIME& st)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDate(v, y, mo, d);
    DecodeTime(v, h, mi, s, ms);
    st = SYSTEMTIME{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(s);
}
} // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner), value_(Now())
{
    static bool init = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
        return InitCommonControlsEx(&icc) != 0;
    }();
    (void)init;
    width_ = 186;
    height_ = 21;
    tabStop_ = true;
}

void TDateTimePicker::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.className = DATETIMEPICK_CLASSA;
    p.style |= kind_ == dtkTime ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT;
}

void TDateTimePicker::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(handle_, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(kind_ == dtkTime ? "HH:mm:ss" : "dd.MM.yyyy"));
    SetDateTime(value_);
}

TDateTime TDateTimePicker::DateTime() const
{
    if (!handle_) return value_;
    SYSTEMTIME st{};
    if (SendMessageA(handle_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return value_;
    return EncodeDate(st.wYear, st.wMonth, st.wDay) + EncodeTime(st.wHour, st.wMinute, st.wSecond, 0);
}

void TDateTimePicker::SetDateTime(TDateTime value)
{
    value_ = value;
    if (!handle_) return;
    SYSTEMTIME st;
    ToSystemTime(value, st);
    SendMessageA(handle_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

TDateTime TDateTimePicker::Date() const { return std::floor(DateTime()); }

void TDateTimePicker::SetDate(TDateTime value)
{
    TDateTime t = DateTime();
    SetDateTime(std::floor(value) + (t - std::floor(t)));
}

TDateTime TDateTimePicker::Time() const
{
    TDateTime t = DateTime();
    return t - std::floor(t);
}

void TDateTimePicker::SetTime(TDateTime value) { SetDateTime(Date() + (value - std::floor(value))); }

void TDateTimePicker::WndProc(TMessage& m)
{
    if (m.Msg == CN_NOTIFY) {
        auto* nh = reinterpret_cast<NMHDR*>(m.LParam);
        if (nh->code == DTN_DATETIMECHANGE) {
            value_ = DateTime();
            if (OnChange) OnChange(this);
        }
        return;
    }
    TWinControl::WndProc(m);
}

void TDateTimePicker::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Kind")) kind_ = SameText(v.AsIdent(), "dtkTime") ? dtkTime : dtkDate;
    else if (SameText(name, "Date")) SetDate(v.AsFloat());
    else if (SameText(name, "Time")) SetTime(v.AsFloat());
    else if (SameText(name, "DateFormat") || SameText(name, "DateMode") || SameText(name, "CalAlignment")) {
    } else TWinControl::SetProperty(name, v);
}

void TDateTimePicker::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnChange")) OnChange = h.As<TNotifyEvent>(event);
    else TWinControl::SetEventHandler(event, h);
}
