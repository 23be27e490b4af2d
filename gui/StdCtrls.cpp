#include "gui/StdCtrls.h"

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"

namespace {
const TIdentEntry kAlignments[] = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};

// Whether the window's form takes input (it is disabled while another form is modal).
bool FormTakesInput(HWND wnd)
{
    HWND root = GetAncestor(wnd, GA_ROOT);
    return IsWindowEnabled(wnd) && (!root || IsWindowEnabled(root));
}
} // namespace

// ---- buttons

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner)
{
    tabStop_ = true;
    parentColor_ = true;
}

void TButtonControl::WndProc(TMessage& m)
{
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED && FormTakesInput(handle_)) Clicked();
        return;
    }
    TWinControl::WndProc(m);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner)
{
    width_ = 75;
    height_ = 25;
    parentColor_ = false;
}

void TButton::CreateParams(TCreateParams& p)
{
    TButtonControl::CreateParams(p);
    p.className = "BUTTON";
    p.style |= (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY;
}

void TButton::SetDefault(bool v)
{
    default_ = v;
    if (handle_) SendMessageA(handle_, BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click()
{
    if (modalResult_ != mrNone)
        if (TForm* f = GetParentForm(this)) f->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::SetProperty(const std::string& name, const TPropValue& v)
{
    static const TIdentEntry results[] = {{"mrNone", mrNone},   {"mrOk", mrOk},       {"mrCancel", mrCancel},
                                          {"mrAbort", mrAbort}, {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore},
                                          {"mrYes", mrYes},     {"mrNo", mrNo},       {"mrClose", mrClose}};
    if (SameText(name, "ModalResult")) modalResult_ = IdentToInt(v, results, name);
    else if (SameText(name, "Default")) SetDefault(v.AsBool());
    else if (SameText(name, "Cancel")) cancel_ = v.AsBool();
    else TButtonControl::SetProperty(name, v);
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner)
{
    width_ = 97;
    height_ = 17;
}

void TCheckBox::CreateParams(TCreateParams& p)
{
    TButtonControl::CreateParams(p);
    p.className = "BUTTON";
    p.style |= BS_CHECKBOX | (alignment_ == taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCheckBox::CreateWnd()
{
    TButtonControl::CreateWnd();
    SendMessageA(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::SetChecked(bool v)
{
    if (v == checked_) return;
    checked_ = v;
    if (handle_) SendMessageA(handle_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!InState(csLoading)) Click();
}

void TCheckBox::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Checked")) SetChecked(v.AsBool());
    else if (SameText(name, "State")) SetChecked(SameText(v.AsIdent(), "cbChecked"));
    else if (SameText(name, "Alignment")) alignment_ = static_cast<TAlignment>(IdentToInt(v, kAlignments, name));
    else TButtonControl::SetProperty(name, v);
}

void TRadioButton::CreateParams(TCreateParams& p)
{
    TButtonControl::CreateParams(p);
    p.className = "BUTTON";
    p.style |= BS_RADIOBUTTON | (alignment_ == taLeftJustify ? BS_LEFTTEXT : 0);
}

void TRadioButton::SetChecked(bool v)
{
    if (v == checked_) return;
    checked_ = v;
    if (handle_) SendMessageA(handle_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    if (v && parent_)
        for (int i = 0; i < parent_->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(parent_->Controls(i)); r && r != this) r->SetChecked(false);
    if (v && !InState(csLoading)) Click();
}

// ---- group box

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner)
{
    width_ = 185;
    height_ = 105;
    parentColor_ = true;
}

void TGroupBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.className = "BUTTON";
    p.style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

void TGroupBox::WndProc(TMessage& m)
{
    if (m.Msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(handle_, &r);
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, BackgroundBrush());
        m.Result = 1;
        return;
    }
    if (m.Msg == WM_SIZE) {
        TWinControl::WndProc(m);
        AlignControls();
        return;
    }
    TWinControl::WndProc(m);
}

// ---- label

TLabel::TLabel(TComponent* owner) : TWinControl(owner)
{
    width_ = 65;
    height_ = 13;
    parentColor_ = true;
}

void TLabel::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.className = "STATIC";
    p.style |= SS_NOTIFY | SS_NOPREFIX;
    if (alignment_ == taCenter) p.style |= SS_CENTER;
    else if (alignment_ == taRightJustify) p.style |= SS_RIGHT;
    else p.style |= wordWrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP;
}

void TLabel::CreateWnd()
{
    TWinControl::CreateWnd();
    AdjustSize();
}

void TLabel::AdjustSize()
{
    if (!autoSize_ || InState(csLoading)) return;
    TMemDC dc(CreateCompatibleDC(nullptr));
    TSelectGuard g(dc.get(), font_.Handle());
    std::string text = caption_.empty() ? std::string(" ") : caption_;
    RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0));
    int w = wordWrap_ ? width_ : r.right, h = r.bottom;
    int left = left_;
    if (!wordWrap_ && alignment_ == taRightJustify) left = left_ + width_ - w;
    else if (!wordWrap_ && alignment_ == taCenter) left = left_ + (width_ - w) / 2;
    if (w != width_ || h != height_ || left != left_) SetBounds(left, top_, w, h);
}

void TLabel::SetCaption(const std::string& caption)
{
    if (handle_ && parent_) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, TRUE);
    }
    TWinControl::SetCaption(caption);
    AdjustSize();
    Invalidate();
}

void TLabel::SetAutoSize(bool v)
{
    autoSize_ = v;
    AdjustSize();
}

void TLabel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    if (handle_) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE) & ~(SS_CENTER | SS_RIGHT | SS_LEFTNOWORDWRAP);
        style |= a == taCenter ? SS_CENTER : a == taRightJustify ? SS_RIGHT : (wordWrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP);
        SetWindowLongA(handle_, GWL_STYLE, style);
        Invalidate();
    }
}

void TLabel::SetWordWrap(bool v)
{
    wordWrap_ = v;
    SetAlignment(alignment_);
    AdjustSize();
}

void TLabel::FontChanged()
{
    TWinControl::FontChanged();
    AdjustSize();
}

void TLabel::WndProc(TMessage& m)
{
    if (m.Msg == CN_CTLCOLORSTATIC && transparent_) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(font_.Color()));
        SetBkMode(dc, TRANSPARENT);
        m.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return;
    }
    TWinControl::WndProc(m);
}

void TLabel::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
    else if (SameText(name, "Alignment")) SetAlignment(static_cast<TAlignment>(IdentToInt(v, kAlignments, name)));
    else if (SameText(name, "WordWrap")) SetWordWrap(v.AsBool());
    else if (SameText(name, "Transparent")) transparent_ = v.AsBool();
    else if (SameText(name, "FocusControl")) focusControlName_ = v.AsIdent();
    else if (SameText(name, "Layout") || SameText(name, "ShowAccelChar")) {
    } else TWinControl::SetProperty(name, v);
}

void TLabel::Loaded()
{
    TWinControl::Loaded();
    if (!focusControlName_.empty() && Owner())
        focusControl_ = dynamic_cast<TWinControl*>(Owner()->FindComponent(focusControlName_));
    AdjustSize();
}

void TLabel::Notification(TComponent* c)
{
    TWinControl::Notification(c);
    if (c == focusControl_) focusControl_ = nullptr;
}

// ---- edit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner)
{
    width_ = 121;
    height_ = 21;
    color_ = clWindow;
    tabStop_ = true;
}

void TCustomEdit::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.className = "EDIT";
    p.style |= ES_AUTOHSCROLL;
    if (readOnly_) p.style |= ES_READONLY;
    if (alignment_ == taCenter) p.style |= ES_CENTER;
    else if (alignment_ == taRightJustify) p.style |= ES_RIGHT;
    if (passwordChar_) p.style |= ES_PASSWORD;
    p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    if (maxLength_) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (passwordChar_) SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
}

void TCustomEdit::WndProc(TMessage& m)
{
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == EN_CHANGE && !InState(csLoading)) Change();
        return;
    }
    TWinControl::WndProc(m);
}

void TCustomEdit::Change()
{
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetMaxLength(int n)
{
    maxLength_ = n;
    if (handle_) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(n), 0);
}

void TCustomEdit::SetReadOnly(bool v)
{
    readOnly_ = v;
    if (handle_) SendMessageA(handle_, EM_SETREADONLY, v, 0);
}

int TCustomEdit::SelStart() const
{
    if (!handle_) return selStart_;
    DWORD start = 0, end = 0;
    SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

int TCustomEdit::SelLength() const
{
    if (!handle_) return selLength_;
    DWORD start = 0, end = 0;
    SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelStart(int pos)
{
    selStart_ = pos;
    selLength_ = 0;
    if (handle_) SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(pos), pos);
}

void TCustomEdit::SetSelLength(int n)
{
    int s = SelStart();
    selLength_ = n;
    if (handle_) SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(s), s + n);
}

std::string TCustomEdit::SelText() const
{
    std::string t = Caption();
    int s = SelStart(), n = SelLength();
    if (s < 0 || s > static_cast<int>(t.size())) return std::string();
    return t.substr(static_cast<size_t>(s), static_cast<size_t>(n));
}

void TCustomEdit::SetSelText(const std::string& text)
{
    if (handle_) SendMessageA(handle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    else caption_ += text;
}

void TCustomEdit::SelectAll()
{
    if (handle_) SendMessageA(handle_, EM_SETSEL, 0, -1);
}

bool TCustomEdit::Modified() const { return handle_ && SendMessageA(handle_, EM_GETMODIFY, 0, 0); }

void TCustomEdit::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "MaxLength")) SetMaxLength(v.AsInt());
    else if (SameText(name, "ReadOnly")) SetReadOnly(v.AsBool());
    else if (SameText(name, "Alignment")) alignment_ = static_cast<TAlignment>(IdentToInt(v, kAlignments, name));
    else if (SameText(name, "PasswordChar")) passwordChar_ = v.AsString().empty() ? 0 : v.AsString()[0];
    else if (SameText(name, "AutoSize") || SameText(name, "BorderStyle") || SameText(name, "AutoSelect") ||
             SameText(name, "CharCase")) {
    } else TWinControl::SetProperty(name, v);
}

void TCustomEdit::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnChange")) OnChange = h.As<TNotifyEvent>(event);
    else TWinControl::SetEventHandler(event, h);
}
