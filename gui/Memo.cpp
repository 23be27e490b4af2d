// Memos and their lines. A memo's text is its lines, each followed by CR LF as lines are
// added; a text that does not end in a line break counts its last line too. Changes of the
// window's text are made quietly (TQuietChange) and, in an update of the lines, appends are
// collected and made as one.
#include "gui/StdCtrls.h"

#include <richedit.h>

#include <algorithm>

#include "gui/base/SysUtils.h"

namespace {

const TIdentEntry kScrollStyles[] = {
    {"ssNone", ssNone}, {"ssHorizontal", ssHorizontal}, {"ssVertical", ssVertical}, {"ssBoth", ssBoth}};

// Offsets of the line starts of a text; a trailing line break opens no further line.
std::vector<size_t> LineStarts(const std::string& t)
{
    std::vector<size_t> starts;
    if (t.empty()) return starts;
    starts.push_back(0);
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
        else if (t[i] != '\n') continue;
        if (i + 1 < t.size()) starts.push_back(i + 1);
    }
    return starts;
}

// The end of line `index` without its line break, and the start of the next line.
void LineExtent(const std::string& t, const std::vector<size_t>& starts, size_t index, size_t& end, size_t& next)
{
    next = index + 1 < starts.size() ? starts[index + 1] : t.size();
    end = next;
    if (end > starts[index] && t[end - 1] == '\n') --end;
    if (end > starts[index] && t[end - 1] == '\r') --end;
}

} // namespace

int TMemoStrings::Count() const { return static_cast<int>(LineStarts(memo_.Caption()).size()); }

std::string TMemoStrings::Get(int index) const
{
    std::string t = memo_.Caption();
    auto starts = LineStarts(t);
    if (index < 0 || index >= static_cast<int>(starts.size())) IndexError(index);
    size_t end, next;
    LineExtent(t, starts, static_cast<size_t>(index), end, next);
    return t.substr(starts[static_cast<size_t>(index)], end - starts[static_cast<size_t>(index)]);
}

void TMemoStrings::Put(int index, const std::string& s)
{
    std::string t = memo_.Caption();
    auto starts = LineStarts(t);
    if (index < 0 || index >= static_cast<int>(starts.size())) IndexError(index);
    size_t end, next;
    LineExtent(t, starts, static_cast<size_t>(index), end, next);
    memo_.ReplaceText(t, starts[static_cast<size_t>(index)], end, s);
}

void TMemoStrings::Insert(int index, const std::string& s)
{
    std::string t = memo_.Caption();
    auto starts = LineStarts(t);
    if (index < 0 || index > static_cast<int>(starts.size())) IndexError(index);
    if (index == static_cast<int>(starts.size())) {
        // Appending: the caret ends behind the new line.
        bool open = !t.empty() && t.back() != '\n';
        memo_.Append((open ? "\r\n" : "") + s + "\r\n");
        return;
    }
    memo_.ReplaceText(t, starts[static_cast<size_t>(index)], starts[static_cast<size_t>(index)], s + "\r\n");
}

void TMemoStrings::Delete(int index)
{
    std::string t = memo_.Caption();
    auto starts = LineStarts(t);
    if (index < 0 || index >= static_cast<int>(starts.size())) IndexError(index);
    size_t end, next;
    LineExtent(t, starts, static_cast<size_t>(index), end, next);
    memo_.ReplaceText(t, starts[static_cast<size_t>(index)], next, "");
}

void TMemoStrings::Clear() { memo_.SetCaption(""); }

std::string TMemoStrings::Text() const { return memo_.Caption(); }

void TMemoStrings::SetText(const std::string& text) { memo_.SetCaption(text); }

void TMemoStrings::BeginUpdate() { ++memo_.updateCount_; }

void TMemoStrings::EndUpdate()
{
    if (memo_.updateCount_ == 0 || --memo_.updateCount_ > 0) return;
    memo_.ApplyPending();
}

TQuietChange::TQuietChange(HWND window) : window_(window)
{
    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    if (!(style & WS_VISIBLE)) return;
    SetWindowLongPtrA(window_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    hidden_ = true;
}

TQuietChange::~TQuietChange()
{
    if (!hidden_) return;
    SetWindowLongPtrA(window_, GWL_STYLE, GetWindowLongPtrA(window_, GWL_STYLE) | WS_VISIBLE);
    // Its children too: one shown meanwhile was not painted, its parent being invisible.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(*this)
{
    width_ = 185;
    height_ = 89;
}

void TCustomMemo::CreateParams(TCreateParams& p)
{
    TCustomEdit::CreateParams(p);
    p.style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    p.style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (!wordWrap_ || scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.style |= ES_AUTOHSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.style |= WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.style |= WS_HSCROLL;
}

void TCustomMemo::CreateWnd()
{
    TCustomEdit::CreateWnd();
    if (!maxLength_) SendMessageA(handle_, EM_LIMITTEXT, 0, 0);
}

void TCustomMemo::Append(const std::string& text)
{
    if (!handle_) {
        caption_ += text;
        return;
    }
    if (Updating()) {
        Collect({text});
        return;
    }
    TQuietChange quiet(handle_);
    ApplyAppend({text});
}

void TCustomMemo::Collect(TPendingAppend append)
{
    appendAfterCut_ = heldCut_ > 0;
    pendingSize_ += ShownSize(append.text);
    // Appends in a row in the same colour (or none) make one.
    if (!pending_.empty() && append.colored == pending_.back().colored &&
        (!append.colored || append.color == pending_.back().color))
        pending_.back().text += append.text;
    else pending_.push_back(std::move(append));
}

void TCustomMemo::ApplyAppend(const TPendingAppend& append)
{
    int end = GetWindowTextLengthA(handle_);
    SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(append.text.c_str()));
}

void TCustomMemo::ApplyAppends(const std::vector<TPendingAppend>& appends, size_t first)
{
    for (; first < appends.size(); ++first)
        ApplyAppend(appends[first]);
}

void TCustomMemo::ApplyPending()
{
    std::vector<TPendingAppend> pending;
    pending.swap(pending_);
    pendingSize_ = 0;
    const bool scroll = scrollPending_;
    scrollPending_ = false;
    const bool replace = replacePending_;
    replacePending_ = false;
    std::string text;
    text.swap(replacement_);
    const size_t cut = heldCut_;
    heldCut_ = 0;
    if (!handle_ || (pending.empty() && !scroll && !replace && !cut)) return;
    TQuietChange quiet(handle_);
    // A cut made before the last append goes first; the caret ends behind the appends, as it
    // would have. A cut after them goes last and leaves the caret at the start.
    if (cut && appendAfterCut_) DeleteStart(cut);
    size_t first = 0;
    if (replace) {
        // The held text and the appends after it as one text; the caret behind them, in view,
        // as the appends would have left it.
        for (; first < pending.size() && !pending[first].colored; ++first)
            text += pending[first].text;
        TCustomEdit::SetCaption(text);
        if (first > 0) {
            const int end = GetWindowTextLengthA(handle_);
            SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(end), end);
            SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
        }
    }
    ApplyAppends(pending, first);
    if (cut && !appendAfterCut_) DeleteStart(cut);
    appendAfterCut_ = false;
    if (scroll) SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
}

void TCustomMemo::DeleteStart(size_t bytes) { DeleteBytes(WindowText(), 0, bytes); }

std::string TCustomMemo::WindowText() const
{
    if (!Updating() || !handle_) return TCustomEdit::Caption();
    if (!windowTextKept_) {
        windowText_ = TCustomEdit::Caption();
        windowTextKept_ = true;
    }
    return windowText_;
}

void TCustomMemo::WndProc(TMessage& m)
{
    if (windowTextKept_ && !ReadsText(m.Msg)) {
        windowTextKept_ = false;
        windowText_.clear();
    }
    TCustomEdit::WndProc(m);
}

void TCustomMemo::DeleteBytes(const std::string& text, size_t from, size_t to)
{
    SelectRange(CharIndex(text, from), CharIndex(text, to));
    SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

std::string TCustomMemo::Caption() const
{
    std::string text = replacePending_ ? replacement_ : WindowText().substr(heldCut_);
    for (const TPendingAppend& append : pending_)
        text += append.text;
    return text;
}

void TCustomMemo::SetCaption(const std::string& caption)
{
    pending_.clear();
    pendingSize_ = 0;
    heldCut_ = 0;
    if (!handle_) {
        TCustomEdit::SetCaption(caption);
        return;
    }
    if (Updating() && HoldsReplacement()) {
        replacePending_ = true;
        replacement_ = caption;
        return;
    }
    replacePending_ = false;
    replacement_.clear();
    TQuietChange quiet(handle_);
    TCustomEdit::SetCaption(caption);
}

int TCustomMemo::GetTextLen() const
{
    const size_t window = replacePending_ ? replacement_.size()
                          : handle_       ? static_cast<size_t>(GetWindowTextLengthA(handle_))
                                          : caption_.size();
    return static_cast<int>(window - heldCut_ + pendingSize_);
}

void TCustomMemo::ReplaceBytes(size_t from, size_t to, const std::string& with)
{
    ReplaceText(Caption(), from, to, with);
}

void TCustomMemo::ReplaceText(const std::string& text, size_t from, size_t to, const std::string& with)
{
    if (!handle_) {
        caption_ = text.substr(0, from) + with + text.substr(to);
        return;
    }
    size_t collected = 0;
    for (const TPendingAppend& append : pending_)
        collected += append.text.size();
    const size_t window = text.size() - collected;
    if (Updating() && from == 0 && with.empty() && !replacePending_ && to <= text.size() && (window || heldCut_)) {
        // The start of the window's text deleted (a log trimmed at its top): held with the
        // collected text, so that both make one change of the window at the end; collected
        // text that goes with it never reaches the window.
        heldCut_ += std::min(to, window);
        for (size_t rest = to > window ? to - window : 0; rest > 0;) {
            TPendingAppend& first = pending_.front();
            const size_t part = std::min(rest, first.text.size());
            pendingSize_ -= ShownSize(first.text.substr(0, part));
            first.text.erase(0, part);
            if (first.text.empty()) pending_.erase(pending_.begin());
            rest -= part;
        }
        appendAfterCut_ = false;
        return;
    }
    // The offsets count the collected text too: it goes into the window first.
    ApplyPending();
    TQuietChange quiet(handle_);
    if (with.empty()) {
        DeleteBytes(text, from, to);
        return;
    }
    SelectRange(CharIndex(text, from), CharIndex(text, to));
    SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(with.c_str()));
}

bool TCustomMemo::ReadsText(UINT msg)
{
    switch (msg) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case EM_GETTEXTEX:
    case EM_GETTEXTLENGTHEX:
    case EM_GETTEXTRANGE:
    case EM_STREAMOUT:
    case EM_GETLINE:
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR:
    case EM_GETSEL:
    case EM_EXGETSEL:
    case EM_GETSELTEXT:
    case EM_GETFIRSTVISIBLELINE:
    case EM_GETSCROLLPOS:
    case EM_POSFROMCHAR:
    case EM_CHARFROMPOS:
    case EM_GETCHARFORMAT:
    case EM_FINDTEXT:
    case EM_FINDTEXTEX:
        return true;
    default:
        return false;
    }
}

bool TCustomMemo::ShowsOrChangesText(UINT msg)
{
    if (ReadsText(msg)) return true;
    if ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST)) return true;
    switch (msg) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_SETTEXT:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case EM_SETSEL:
    case EM_EXSETSEL:
    case EM_REPLACESEL:
    case EM_SCROLLCARET:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SETSCROLLPOS:
    case EM_SETCHARFORMAT:
        return true;
    default:
        return false;
    }
}

int TCustomMemo::CharIndex(const std::string&, size_t offset) const { return static_cast<int>(offset); }

void TCustomMemo::SelectRange(int from, int to) { SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(from), to); }

int TCustomMemo::LineStart(int line) const
{
    return handle_ ? static_cast<int>(SendMessageA(handle_, EM_LINEINDEX, static_cast<WPARAM>(line), 0)) : 0;
}

int TCustomMemo::CaretLine() const
{
    if (!handle_) return 0;
    return static_cast<int>(SendMessageA(handle_, EM_LINEFROMCHAR, static_cast<WPARAM>(SelStart()), 0));
}

POINT TCustomMemo::CaretPos() const
{
    int line = CaretLine();
    return POINT{SelStart() - LineStart(line), line};
}

int TCustomMemo::FirstVisibleLine() const
{
    return handle_ ? static_cast<int>(SendMessageA(handle_, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
}

void TCustomMemo::ScrollToCaret()
{
    if (!handle_) return;
    if (Updating()) {
        scrollPending_ = true;
        return;
    }
    TQuietChange quiet(handle_);
    SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
}

void TCustomMemo::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Lines") || SameText(name, "Lines.Strings")) {
        std::string text;
        for (const auto& l : v.items)
            text += l + "\r\n";
        SetCaption(text);
    } else if (SameText(name, "ScrollBars")) {
        scrollBars_ = static_cast<TScrollStyle>(IdentToInt(v, kScrollStyles, name));
    } else if (SameText(name, "WordWrap")) {
        wordWrap_ = v.AsBool();
    } else if (SameText(name, "WantTabs")) {
        wantTabs_ = v.AsBool();
    } else if (SameText(name, "WantReturns")) {
    } else {
        TCustomEdit::SetProperty(name, v);
    }
}
