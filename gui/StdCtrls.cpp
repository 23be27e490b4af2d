#include "gui/StdCtrls.h"

#include <algorithm>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"

namespace {
const TIdentEntry kAlignments[] = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};

const TIdentEntry kEditBorderStyles[] = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};
const TIdentEntry kLayouts[] = {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}};

// Whether the window's form takes input (it is disabled while another form is modal).
bool FormTakesInput(HWND wnd)
{
    HWND root = GetAncestor(wnd, GA_ROOT);
    return IsWindowEnabled(wnd) && (!root || IsWindowEnabled(root));
}

// Whether a caption marks this character as its accelerator ("&Datei": 'd' and 'D').
bool IsAccel(char key, const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        auto upper = [](char c) {
            CharUpperBuffA(&c, 1);
            return c;
        };
        return upper(caption[i + 1]) == upper(key);
    }
    return false;
}

// The size of a text in a font as DrawText measures it (a blank for an empty text).
SIZE MeasureText(HFONT font, const std::string& caption, int width, UINT flags)
{
    TMemDC dc(CreateCompatibleDC(nullptr));
    TSelectGuard g(dc.get(), font);
    std::string text = caption.empty() ? std::string(" ") : caption;
    RECT r{0, 0, width, 0};
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    return SIZE{r.right, r.bottom};
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

void TButtonGlyph::SetGlyph(const TBitmap* glyph)
{
    if (glyph) Glyph->Assign(*glyph);
    else Glyph = std::make_unique<TBitmap>();
}

bool TButtonGlyph::SetNumGlyphs(int count)
{
    count = std::clamp(count, 1, 4);
    if (count == NumGlyphs) return false;
    NumGlyphs = count;
    return true;
}

bool TButtonGlyph::SetLayout(TButtonLayout layout)
{
    if (layout == Layout) return false;
    Layout = layout;
    return true;
}

bool TButtonGlyph::SetMargin(int margin)
{
    if (margin == Margin || margin < -1) return false;
    Margin = margin;
    return true;
}

bool TButtonGlyph::SetSpacing(int spacing)
{
    if (spacing == Spacing) return false;
    Spacing = spacing;
    return true;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetGlyph(const TBitmap* glyph)
{
    picture_.SetGlyph(glyph);
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int count)
{
    if (picture_.SetNumGlyphs(count)) Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout layout)
{
    if (picture_.SetLayout(layout)) Invalidate();
}

void TBitBtn::SetMargin(int margin)
{
    if (picture_.SetMargin(margin)) Invalidate();
}

void TBitBtn::SetSpacing(int spacing)
{
    if (picture_.SetSpacing(spacing)) Invalidate();
}

void TBitBtn::SetProperty(const std::string& name, const TPropValue& v)
{
    static const TIdentEntry layouts[] = {{"blGlyphLeft", blGlyphLeft},
                                          {"blGlyphRight", blGlyphRight},
                                          {"blGlyphTop", blGlyphTop},
                                          {"blGlyphBottom", blGlyphBottom}};
    if (SameText(name, "NumGlyphs")) SetNumGlyphs(v.AsInt());
    else if (SameText(name, "Layout")) SetLayout(static_cast<TButtonLayout>(IdentToInt(v, layouts, name)));
    else if (SameText(name, "Margin")) SetMargin(v.AsInt());
    else if (SameText(name, "Spacing")) SetSpacing(v.AsInt());
    else TButton::SetProperty(name, v);
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
    if (!InState(csLoading)) {
        Changed();
        Click();
    }
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
    if (!InState(csLoading)) Changed();
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
    if (m.Msg == WM_NCHITTEST) {
        // The system's group box lets the mouse through to its parent; this one takes it, for
        // the labels inside it.
        TWinControl::WndProc(m);
        if (m.Result == HTTRANSPARENT) m.Result = HTCLIENT;
        return;
    }
    TWinControl::WndProc(m);
}

// ---- label

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    width_ = 65;
    height_ = 13;
    parentColor_ = true;
}

UINT TLabel::TextFlags() const
{
    UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
    flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    return DrawTextBiDiModeFlags(flags);
}

std::string TLabel::DrawnText(UINT flags) const
{
    std::string text = LabelText();
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
    return text;
}

void TLabel::DrawEmbossedText(HDC dc, const std::string& text, RECT& rect, UINT flags)
{
    const int n = static_cast<int>(text.size());
    RECT lower = rect;
    OffsetRect(&lower, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, text.c_str(), n, &lower, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextA(dc, text.c_str(), n, &rect, flags);
}

void TLabel::DoDrawText(TCanvas& canvas, RECT& rect, UINT flags)
{
    const std::string text = DrawnText(flags);
    HDC dc = canvas.Handle();
    TSelectGuard font(dc, font_.Handle());
    SetBkMode(dc, TRANSPARENT);
    if (!(flags & DT_CALCRECT) && !enabled_) {
        DrawEmbossedText(dc, text, rect, flags);
        return;
    }
    SetTextColor(dc, ColorToRGB(font_.Color()));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void TLabel::Paint(TCanvas& canvas)
{
    RECT r{0, 0, width_, height_};
    if (!transparent_) {
        TColor back = parentColor_ && parent_ ? parent_->Color() : color_;
        TBrushHandle brush(CreateSolidBrush(ColorToRGB(back)));
        ::FillRect(canvas.Handle(), &r, brush.get());
    }
    const UINT flags = TextFlags();
    if (layout_ != tlTop) {
        // Measured first, then moved down to the middle or the bottom.
        RECT measured = r;
        DoDrawText(canvas, measured, flags | DT_CALCRECT);
        const int free = height_ - (measured.bottom - measured.top);
        OffsetRect(&r, 0, layout_ == tlBottom ? free : free / 2);
    }
    DoDrawText(canvas, r, flags);
}

void TLabel::AdjustBounds()
{
    if (!autoSize_ || InState(csLoading)) return;
    TMemDC dc(CreateCompatibleDC(nullptr));
    TCanvas canvas;
    canvas.SetHandle(dc.get());
    RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
    DoDrawText(canvas, r, TextFlags() | DT_CALCRECT);
    canvas.SetHandle(nullptr);
    const int w = wordWrap_ ? width_ : r.right, h = r.bottom;
    TAlignment a = alignment_;
    if (UseRightToLeftAlignment() && a != taCenter) a = a == taLeftJustify ? taRightJustify : taLeftJustify;
    int left = left_;
    if (!wordWrap_ && a == taRightJustify) left = left_ + width_ - w;
    else if (!wordWrap_ && a == taCenter) left = left_ + (width_ - w) / 2;
    if (w != width_ || h != height_ || left != left_) SetBounds(left, top_, w, h);
}

void TLabel::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    TGraphicControl::SetCaption(caption);
    AdjustBounds();
}

void TLabel::SetAutoSize(bool v)
{
    autoSize_ = v;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout l)
{
    layout_ = l;
    Invalidate();
}

void TLabel::SetWordWrap(bool v)
{
    wordWrap_ = v;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool v)
{
    transparent_ = v;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool v)
{
    showAccelChar_ = v;
    AdjustBounds();
    Invalidate();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::WndProc(TMessage& m)
{
    if (m.Msg == CM_DIALOGCHAR && focusControl_ && enabled_ && showAccelChar_ &&
        IsAccel(static_cast<char>(m.WParam), caption_) && focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
    }
    TGraphicControl::WndProc(m);
}

void TLabel::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
    else if (SameText(name, "Alignment")) SetAlignment(static_cast<TAlignment>(IdentToInt(v, kAlignments, name)));
    else if (SameText(name, "Layout")) SetLayout(static_cast<TTextLayout>(IdentToInt(v, kLayouts, name)));
    else if (SameText(name, "WordWrap")) SetWordWrap(v.AsBool());
    else if (SameText(name, "Transparent")) SetTransparent(v.AsBool());
    else if (SameText(name, "ShowAccelChar")) SetShowAccelChar(v.AsBool());
    else if (SameText(name, "FocusControl")) focusControlName_ = v.AsIdent();
    else TGraphicControl::SetProperty(name, v);
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    if (!focusControlName_.empty() && Owner())
        focusControl_ = dynamic_cast<TWinControl*>(Owner()->FindComponent(focusControlName_));
    AdjustBounds();
}

void TLabel::Notification(TComponent* c)
{
    TGraphicControl::Notification(c);
    if (c == focusControl_) focusControl_ = nullptr;
}

// ---- static text

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner)
{
    width_ = 65;
    height_ = 17;
    parentColor_ = true;
}

void TStaticText::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.className = "STATIC";
    p.style |= SS_NOTIFY | (alignment_ == taCenter ? SS_CENTER : alignment_ == taRightJustify ? SS_RIGHT : SS_LEFT);
}

void TStaticText::CreateWnd()
{
    TWinControl::CreateWnd();
    AdjustSize();
}

void TStaticText::AdjustSize()
{
    if (!autoSize_ || InState(csLoading)) return;
    const SIZE size = MeasureText(font_.Handle(), caption_, 0, 0);
    if (size.cx != width_ || size.cy != height_) SetBounds(left_, top_, size.cx, size.cy);
}

void TStaticText::SetCaption(const std::string& caption)
{
    TWinControl::SetCaption(caption);
    AdjustSize();
}

void TStaticText::SetAutoSize(bool v)
{
    autoSize_ = v;
    AdjustSize();
}

void TStaticText::FontChanged()
{
    TWinControl::FontChanged();
    AdjustSize();
}

void TStaticText::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
    else if (SameText(name, "Alignment")) alignment_ = static_cast<TAlignment>(IdentToInt(v, kAlignments, name));
    else if (SameText(name, "ShowAccelChar") || SameText(name, "Transparent")) {
    } else TWinControl::SetProperty(name, v);
}

void TStaticText::Loaded()
{
    TWinControl::Loaded();
    AdjustSize();
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
    if (borderStyle_ == bsSingle) {
        if (ctl3D_) p.exStyle |= WS_EX_CLIENTEDGE;
        else p.style |= WS_BORDER;
    }
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    if (maxLength_) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (passwordChar_) SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    if (selStart_ || selLength_)
        SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_ + selLength_);
    if (firstLine_ > 0) SendMessageA(handle_, EM_LINESCROLL, 0, firstLine_);
}

void TCustomEdit::DestroyWnd()
{
    selStart_ = SelStart();
    selLength_ = SelLength();
    const bool multiLine = (GetWindowLongA(handle_, GWL_STYLE) & ES_MULTILINE) != 0;
    firstLine_ = multiLine ? static_cast<int>(SendMessageA(handle_, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
    TWinControl::DestroyWnd();
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
    Changed();
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetMaxLength(int n)
{
    maxLength_ = n;
    if (handle_) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(n), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle style)
{
    if (style == borderStyle_) return;
    borderStyle_ = style;
    if (handle_) RecreateWnd();
}

void TCustomEdit::SetCtl3D(bool on)
{
    if (on == ctl3D_) return;
    ctl3D_ = on;
    if (handle_) RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char c)
{
    if (c == passwordChar_) return;
    passwordChar_ = c;
    if (!handle_) return;
    SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(c), 0);
    InvalidateRect(handle_, nullptr, TRUE);
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
    else if (SameText(name, "PasswordChar")) SetPasswordChar(v.AsString().empty() ? 0 : v.AsString()[0]);
    else if (SameText(name, "BorderStyle"))
        SetBorderStyle(static_cast<TBorderStyle>(IdentToInt(v, kEditBorderStyles, name)));
    else if (SameText(name, "Ctl3D")) SetCtl3D(v.AsBool());
    else if (SameText(name, "AutoSize") || SameText(name, "AutoSelect") || SameText(name, "CharCase") ||
             SameText(name, "ParentCtl3D")) {
    } else TWinControl::SetProperty(name, v);
}

void TCustomEdit::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnChange")) OnChange = h.As<TNotifyEvent>(event);
    else TWinControl::SetEventHandler(event, h);
}
