#include "gui/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

#include "gui/Automation.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/base/SysUtils.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE LibraryInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

TShiftState KeyboardShiftState()
{
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

namespace {

TShiftState MouseShiftState(WPARAM w)
{
    TShiftState s = 0;
    if (w & MK_SHIFT) s |= ssShift;
    if (w & MK_CONTROL) s |= ssCtrl;
    if (w & MK_LBUTTON) s |= ssLeft;
    if (w & MK_RBUTTON) s |= ssRight;
    if (w & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

// The controls of this module by window. Every message to a control looks its control up; a
// window property is read through the window server under Wine, one round trip per message,
// while this table is read in the process. The property stays for windows of another module of
// the process (the card library has its own table).
class TControlTable {
public:
    void Add(HWND wnd, TWinControl* control)
    {
        AcquireSRWLockExclusive(&lock_);
        controls_[wnd] = control;
        ReleaseSRWLockExclusive(&lock_);
    }
    void Remove(HWND wnd)
    {
        AcquireSRWLockExclusive(&lock_);
        controls_.erase(wnd);
        ReleaseSRWLockExclusive(&lock_);
    }
    TWinControl* Find(HWND wnd)
    {
        AcquireSRWLockShared(&lock_);
        const auto it = controls_.find(wnd);
        TWinControl* control = it == controls_.end() ? nullptr : it->second;
        ReleaseSRWLockShared(&lock_);
        return control;
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::unordered_map<HWND, TWinControl*> controls_;
};

TControlTable& ControlTable()
{
    static TControlTable table;
    return table;
}

} // namespace

bool NotificationCarriesPointer(UINT msg)
{
    switch (msg) {
    case CM_CANCELMODE:
    case CM_FOCUSCHANGED:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_CONTROLLISTCHANGE:
    case CM_CHANGED:
    case CN_DRAWITEM:
    case CN_MEASUREITEM:
    case CN_NOTIFY:
        return true;
    default:
        return false;
    }
}

namespace {

const TIdentEntry kBiDiModes[] = {{"bdLeftToRight", bdLeftToRight},
                                  {"bdRightToLeft", bdRightToLeft},
                                  {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                                  {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}};

const TIdentEntry kAligns[] = {{"alNone", alNone}, {"alTop", alTop},     {"alBottom", alBottom},
                               {"alLeft", alLeft}, {"alRight", alRight}, {"alClient", alClient}};

void RegisterOwnClass(const std::string& name, UINT style)
{
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(LibraryInstance(), name.c_str(), &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = LibraryInstance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExA(&wc)) throw EComponentError("Fensterklasse " + name + " kann nicht registriert werden");
}

} // namespace

// ---- TControl

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    font_.OnChange = [this] {
        parentFont_ = false;
        NotifyFontChanged();
    };
}

TControl::~TControl()
{
    SetState(csDestroying);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("Ein Steuerelement kann nicht sein eigener Parent sein");
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
    if (parent && parentFont_) ParentFontChanged();
    if (parent && parentBiDiMode_) ParentBiDiModeChanged();
}

void TControl::ParentFontChanged()
{
    if (!parentFont_ || !parent_) return;
    auto keep = std::move(font_.OnChange);
    font_ = parent_->font_;
    font_.OnChange = std::move(keep);
    NotifyFontChanged();
}

void TControl::NotifyFontChanged()
{
    FontChanged();
    Perform(CM_FONTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode mode)
{
    parentBiDiMode_ = false;
    if (mode == biDiMode_) return;
    biDiMode_ = mode;
    Perform(CM_BIDIMODECHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* c : w->controls_)
            c->ParentBiDiModeChanged();
}

void TControl::SetParentBiDiMode(bool v)
{
    parentBiDiMode_ = v;
    if (v) ParentBiDiModeChanged();
}

void TControl::ParentBiDiModeChanged()
{
    if (!parentBiDiMode_ || !parent_ || parent_->biDiMode_ == biDiMode_) return;
    SetBiDiMode(parent_->biDiMode_);
    parentBiDiMode_ = true;
}

UINT TControl::DrawTextBiDiModeFlags(UINT flags) const
{
    if (UseRightToLeftAlignment()) {
        if ((flags & DT_RIGHT) == DT_RIGHT) flags &= ~static_cast<UINT>(DT_RIGHT);
        else if ((flags & DT_CENTER) != DT_CENTER) flags |= DT_RIGHT;
    }
    return flags | DrawTextBiDiModeFlagsReadingOnly();
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::SetParentFont(bool v)
{
    parentFont_ = v;
    if (v) ParentFontChanged();
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (parent_ && parent_->HandleAllocated() &&
        (left_ != left || top_ != top || width_ != width || height_ != height)) {
        RECT old = BoundsRect(); // erased even under an opaque control: it may not cover it any more
        InvalidateRect(parent_->Handle(), &old, TRUE);
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (parent_) Invalidate();
}

void TControl::SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }

POINT TControl::ClientToScreen(POINT p) const
{
    if (auto* w = dynamic_cast<const TWinControl*>(this); w && w->handle_) {
        ::ClientToScreen(w->handle_, &p);
        return p;
    }
    if (!parent_) return p;
    return parent_->ClientToScreen(POINT{p.x + left_, p.y + top_});
}

POINT TControl::ScreenToClient(POINT p) const
{
    POINT origin = ClientToScreen(POINT{0, 0});
    return POINT{p.x - origin.x, p.y - origin.y};
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    if (parent_) parent_->Invalidate();
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
}

bool TControl::Showing() const
{
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::SetEnabled(bool enabled)
{
    const bool changed = enabled != enabled_;
    enabled_ = enabled;
    Invalidate();
    if (changed) Perform(CM_ENABLEDCHANGED, enabled ? 1 : 0);
}

void TControl::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor color)
{
    if (color == color_ && !parentColor_) return;
    const bool changed = color != color_;
    color_ = color;
    parentColor_ = false;
    ColorChanged();
    if (changed) Perform(CM_COLORCHANGED);
}

void TControl::ColorChanged() { Invalidate(); }

void TControl::FontChanged() { Invalidate(); }

void TControl::SetAlign(TAlign a)
{
    align_ = a;
    if (parent_) parent_->AlignControls();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::WindowProc(TMessage& m)
{
    if (hooks_.empty()) {
        WndProc(m);
        return;
    }
    // A snapshot: hooks added meanwhile see the next message; removed ones are skipped.
    const auto chain = hooks_;
    CallChain(chain, chain.size(), m);
}

void TControl::CallChain(const std::vector<std::shared_ptr<THookEntry>>& chain, size_t level, TMessage& m)
{
    while (level > 0 && chain[level - 1]->removed)
        --level;
    if (level == 0) {
        WndProc(m);
        return;
    }
    const std::shared_ptr<THookEntry> entry = chain[level - 1]; // kept while it runs
    const TWndMethod inherited = [this, &chain, level](TMessage& msg) { CallChain(chain, level - 1, msg); };
    entry->hook(m, inherited);
}

int TControl::HookWindowProc(TWndProcHook hook)
{
    auto entry = std::make_shared<THookEntry>();
    entry->id = ++lastHookId_;
    entry->hook = std::move(hook);
    hooks_.push_back(std::move(entry));
    return lastHookId_;
}

void TControl::UnhookWindowProc(int id)
{
    for (auto it = hooks_.begin(); it != hooks_.end(); ++it)
        if ((*it)->id == id) {
            (*it)->removed = true;
            hooks_.erase(it);
            return;
        }
}

void TControl::Invalidate()
{
    if (parent_ && parent_->HandleAllocated()) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, !(controlStyle_ & csOpaque));
    }
}

void TControl::Repaint()
{
    Invalidate();
    if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

void TControl::BringToFront()
{
    if (!parent_) return;
    auto& v = parent_->controls_;
    v.erase(std::find(v.begin(), v.end(), this));
    v.push_back(this);
    Invalidate();
}

void TControl::WndProc(TMessage& m)
{
    if (IsMouseMessage(m.Msg)) {
        DefaultHandler(m);
        MouseMessage(m);
        return;
    }
    switch (m.Msg) {
    case CM_MOUSEENTER:
        if (OnMouseEnter) OnMouseEnter(this);
        break;
    case CM_MOUSELEAVE:
        if (OnMouseLeave) OnMouseLeave(this);
        break;
    default:
        break;
    }
    DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::MouseMessage(TMessage& m)
{
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = MouseShiftState(m.WParam);
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        SetControlState(csLButtonDown);
        if (OnMouseDown) OnMouseDown(this, mbLeft, shift, x, y);
        break;
    case WM_LBUTTONUP: {
        const bool wasDown = (controlState_ & csLButtonDown) != 0;
        ClearControlState(csLButtonDown);
        if (OnMouseUp) OnMouseUp(this, mbLeft, shift, x, y);
        if (wasDown && ClickOnMouseUp() && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
        break;
    }
    case WM_LBUTTONDBLCLK:
        if (OnDblClick) OnDblClick(this);
        break;
    case WM_RBUTTONDOWN:
        if (OnMouseDown) OnMouseDown(this, mbRight, shift, x, y);
        break;
    case WM_RBUTTONUP:
        if (OnMouseUp) OnMouseUp(this, mbRight, shift, x, y);
        break;
    case WM_MOUSEMOVE:
        if (OnMouseMove) OnMouseMove(this, shift, x, y);
        break;
    default:
        break;
    }
}

void TControl::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Left")) SetLeft(v.AsInt());
    else if (SameText(name, "Top")) SetTop(v.AsInt());
    else if (SameText(name, "Width")) SetWidth(v.AsInt());
    else if (SameText(name, "Height")) SetHeight(v.AsInt());
    else if (SameText(name, "ClientWidth")) SetClientSize(v.AsInt(), ClientHeight());
    else if (SameText(name, "ClientHeight")) SetClientSize(ClientWidth(), v.AsInt());
    else if (SameText(name, "Caption") || SameText(name, "Text")) SetCaption(v.AsString());
    else if (SameText(name, "Hint")) SetHint(v.AsString());
    else if (SameText(name, "ShowHint") || SameText(name, "ParentShowHint")) {
    } else if (SameText(name, "Visible")) SetVisible(v.AsBool());
    else if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
    else if (SameText(name, "Color")) SetColor(IdentToColor(v));
    else if (SameText(name, "ParentColor")) parentColor_ = v.AsBool();
    else if (SameText(name, "ParentFont")) SetParentFont(v.AsBool());
    else if (SameText(name, "Align")) SetAlign(static_cast<TAlign>(IdentToInt(v, kAligns, name)));
    else if (SameText(name, "PopupMenu")) popupMenuName_ = v.AsIdent();
    else if (SameText(name, "BiDiMode")) SetBiDiMode(static_cast<TBiDiMode>(IdentToInt(v, kBiDiModes, name)));
    else if (SameText(name, "ParentBiDiMode")) SetParentBiDiMode(v.AsBool());
    else if (name.size() > 5 && SameText(name.substr(0, 5), "Font.")) {
        if (!font_.SetProperty(name.substr(5), v)) UnknownProperty(name);
    } else TComponent::SetProperty(name, v);
}

void TControl::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnClick")) OnClick = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnDblClick")) OnDblClick = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnMouseDown")) OnMouseDown = h.As<TMouseEvent>(event);
    else if (SameText(event, "OnMouseUp")) OnMouseUp = h.As<TMouseEvent>(event);
    else if (SameText(event, "OnMouseMove")) OnMouseMove = h.As<TMouseMoveEvent>(event);
    else if (SameText(event, "OnMouseEnter")) OnMouseEnter = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnMouseLeave")) OnMouseLeave = h.As<TNotifyEvent>(event);
    else TComponent::SetEventHandler(event, h);
}

void TControl::Loaded()
{
    TComponent::Loaded();
    ClearControlState(csReadingState);
    if (!popupMenuName_.empty()) {
        TComponent* root = Owner();
        TComponent* c = root ? root->FindComponent(popupMenuName_) : nullptr;
        popupMenu_ = dynamic_cast<TPopupMenu*>(c);
        if (!popupMenu_) throw EComponentError("Popup-Menü " + popupMenuName_ + " nicht gefunden");
    }
}

void TControl::Notification(TComponent* c)
{
    if (c == popupMenu_) popupMenu_ = nullptr;
}

void TControl::SetParentComponent(TComponent* parent)
{
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

TForm* GetParentForm(const TControl* control)
{
    const TControl* c = control;
    while (c && c->Parent())
        c = c->Parent();
    return const_cast<TForm*>(dynamic_cast<const TForm*>(c));
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { brush_.SetColor(color_); }

TWinControl::~TWinControl()
{
    SetState(csDestroying);
    if (TForm* form = GetParentForm(this); form && static_cast<TControl*>(form) != this) form->ControlDestroyed(this);
    DestroyHandle();
    for (TControl* c : controls_)
        c->parent_ = nullptr;
    controls_.clear();
}

void TWinControl::BeforeDestruction()
{
    if (DestructionPrepared()) return;
    TControl::BeforeDestruction();
    DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND wnd)
{
    if (!wnd) return nullptr;
    if (TWinControl* c = ControlTable().Find(wnd)) return c;
    return static_cast<TWinControl*>(GetPropA(wnd, kObjectProperty));
}

HWND TWinControl::Handle()
{
    if (!handle_) CreateHandle();
    return handle_;
}

void TWinControl::InsertControl(TControl* c)
{
    c->parent_ = this;
    controls_.push_back(c);
    if (auto* w = dynamic_cast<TWinControl*>(c); w && handle_ && !InState(csLoading)) w->CreateHandle();
    if (c->align_ != alNone) AlignControls();
    c->Invalidate();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 1);
}

void TWinControl::RemoveControl(TControl* c)
{
    if (!InState(csDestroying)) Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 0);
    if (c == mouseControl_) mouseControl_ = nullptr;
    if (c == captureControl_) {
        captureControl_ = nullptr;
        if (handle_ && GetCapture() == handle_) ReleaseCapture();
    }
    c->Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    c->parent_ = nullptr;
}

void TWinControl::CreateParams(TCreateParams& p)
{
    p.style = WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_) p.style |= WS_VISIBLE;
    if (!enabled_) p.style |= WS_DISABLED;
    if (tabStop_) p.style |= WS_TABSTOP;
    p.x = left_;
    p.y = top_;
    p.width = width_;
    p.height = height_;
    if (parent_) p.parent = parent_->Handle();
    static UINT_PTR nextId = 100;
    p.menu = reinterpret_cast<HMENU>(nextId++ & 0x7FFF);
}

namespace {
// The control whose window CreateWindowEx is making on this thread, until the window exists.
thread_local TWinControl* creatingControl = nullptr;
} // namespace

LRESULT CALLBACK TWinControl::CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && creatingControl) {
        // The first window made is the control's own; windows its class makes inside are not.
        std::exchange(creatingControl, nullptr)->Attach(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TWinControl::CreateHandle()
{
    if (handle_) return;
    if (parent_) parent_->Handle();
    if (handle_) return;
    TCreateParams p;
    CreateParams(p);
    if (p.ownClass) RegisterOwnClass(p.className, p.classStyle);
    HWND wnd = nullptr;
    {
        TWinControl* outer = std::exchange(creatingControl, this);
        HHOOK hook = SetWindowsHookExA(WH_CBT, &TWinControl::CreationHook, nullptr, GetCurrentThreadId());
        wnd = CreateWindowExA(p.exStyle, p.className.c_str(), caption_.c_str(), p.style, p.x, p.y, p.width, p.height,
                              p.parent, p.menu, LibraryInstance(), nullptr);
        if (hook) UnhookWindowsHookEx(hook);
        creatingControl = outer;
    }
    if (!wnd) throw EComponentError("Fenster für " + Name() + " (" + ClassName() + ") kann nicht erstellt werden");
    if (!handle_) Attach(wnd);
    CreateWnd();
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
    AlignControls();
}

void TWinControl::RecreateWnd()
{
    if (!handle_) return;
    const bool focused = Focused();
    HWND above = parent_ ? GetWindow(handle_, GW_HWNDPREV) : nullptr;
    DestroyHandle();
    CreateHandle();
    // Back to its place among its siblings.
    if (parent_) SetWindowPos(handle_, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (focused) SetFocus();
}

void TWinControl::Attach(HWND wnd)
{
    handle_ = wnd;
    SetPropA(wnd, kObjectProperty, this);
    ControlTable().Add(wnd, this);
    defWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::MainWndProc)));
    if (!Name().empty()) {
        nameAtom_ = GlobalAddAtomA(Name().c_str());
        SetPropA(wnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(nameAtom_)));
    }
}

void TWinControl::CreateWnd() { SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE); }

void TWinControl::DestroyWnd()
{
    int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    caption_ = s;
}

void TWinControl::DestroyHandle()
{
    if (!handle_) return;
    // The children first, so that each keeps what its window held.
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
    DestroyWindowHandle(); // WM_NCDESTROY detaches this control
    handle_ = nullptr;
}

void TWinControl::DestroyWindowHandle() { DestroyWindow(handle_); }

void TWinControl::Detach()
{
    if (!handle_) return;
    ControlTable().Remove(handle_);
    RemovePropA(handle_, kObjectProperty);
    if (nameAtom_) {
        RemovePropA(handle_, kNameProperty);
        GlobalDeleteAtom(nameAtom_);
        nameAtom_ = 0;
    }
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
    handle_ = nullptr;
    mouseInside_ = false;
    mouseControl_ = captureControl_ = nullptr;
}

LRESULT CALLBACK TWinControl::MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* c = FromHandle(wnd);
    if (!c) return DefWindowProcA(wnd, msg, wParam, lParam);
    // A control or a structure of this process cannot come from another thread or process.
    if (NotificationCarriesPointer(msg) && InSendMessage()) return 0;
    TMessage m{msg, wParam, lParam, 0};
    try {
        c->WindowProc(m);
    } catch (const std::exception& e) {
        // An exception that escapes an event handler is shown, and the program goes on.
        Application->ShowException(e);
    }
    if (msg == WM_NCDESTROY) c->Detach();
    return m.Result;
}

void TWinControl::DefaultHandler(TMessage& m)
{
    if (handle_ && defWndProc_) m.Result = CallWindowProcA(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

HBRUSH TWinControl::BackgroundBrush()
{
    TColor c = parentColor_ && parent_ ? parent_->color_ : color_;
    brush_.SetColor(c);
    return brush_.Handle();
}

void TWinControl::TrackPart(bool nonClient)
{
    trackingNonClient_ = nonClient;
    TRACKMOUSEEVENT t{sizeof t, static_cast<DWORD>(TME_LEAVE | (nonClient ? TME_NONCLIENT : 0)), handle_, 0};
    TrackMouseEvent(&t);
}

void TWinControl::SetMouseControl(TControl* c)
{
    if (c == mouseControl_) return;
    TControl* old = std::exchange(mouseControl_, c);
    if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (c) c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
}

void TWinControl::TrackMouse(const TMessage& m)
{
    if (!handle_) return;
    switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
        // The first move over the client area or the frame is the entering; a move from one
        // part to the other changes what the system watches.
        const bool nonClient = m.Msg == WM_NCMOUSEMOVE;
        retracks_ = 0;
        if (!mouseInside_) {
            mouseInside_ = true;
            TrackPart(nonClient);
            Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
        } else if (nonClient != trackingNonClient_) {
            TrackPart(nonClient);
        }
        if (!handle_) return;
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        SetMouseControl(nonClient ? nullptr : GraphicControlAt(p, true));
        break;
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE: {
        // The system reports leaving the watched part only; the hover ends when the pointer is
        // over another window. A report about a part no longer watched is stale.
        if (!mouseInside_ || (m.Msg == WM_NCMOUSELEAVE) != trackingNonClient_) break;
        POINT cursor;
        GetCursorPos(&cursor);
        if (WindowFromPoint(cursor) == handle_ && ++retracks_ <= 3) {
            LRESULT hit = SendMessageA(handle_, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
            TrackPart(hit != HTCLIENT);
            break;
        }
        mouseInside_ = false;
        SetMouseControl(nullptr);
        Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
        break;
    }
    default:
        break;
    }
}

bool TWinControl::GraphicMouseMessage(TMessage& m)
{
    if (!IsMouseMessage(m.Msg) || m.Msg == WM_MOUSEWHEEL) return false;
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* g = captureControl_ ? captureControl_ : GraphicControlAt(p);
    if (!g) return false;
    if (m.Msg == WM_LBUTTONDOWN && !captureControl_ && (g->ControlStyle() & csCaptureMouse)) {
        captureControl_ = g;
        SetCapture(handle_);
    } else if (m.Msg == WM_LBUTTONUP && captureControl_) {
        // Released before the control runs its click, which may free this window.
        captureControl_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    m.Result = g->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - g->Left(), p.y - g->Top()));
    return true;
}

void TWinControl::PaintWithGraphicChildren(TMessage& m)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, &ps);
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(paint); // the system's controls paint into a DC given with WM_PAINT
    PaintControls(dc);
    EndPaint(handle_, &ps);
    m.Result = 0;
}

void TWinControl::WndProc(TMessage& m)
{
    TrackMouse(m);
    if (GraphicMouseMessage(m)) return;
    switch (m.Msg) {
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(m.LParam) != handle_) captureControl_ = nullptr;
        break;
    case WM_MOUSEWHEEL:
        if (Perform(CM_MOUSEWHEEL, m.WParam, m.LParam)) {
            m.Result = 0;
            return;
        }
        break;
    case WM_SETTEXT:
        DefaultHandler(m);
        if (m.Result) Perform(CM_TEXTCHANGED);
        return;
    case CM_INVALIDATE:
        if (handle_) InvalidateRect(handle_, nullptr, TRUE);
        return;
    case CM_CONTROLLISTCHANGE:
        // A change among the children of a container reaches every parent up to the form.
        if (parent_) parent_->WindowProc(m);
        break;
    case WM_PAINT:
        if (!m.WParam && handle_ && std::any_of(controls_.begin(), controls_.end(), [](TControl* c) {
                return c->Visible() && dynamic_cast<TGraphicControl*>(c);
            })) {
            PaintWithGraphicChildren(m);
            return;
        }
        break;
    case WM_PRINTCLIENT:
        DefaultHandler(m);
        PaintControls(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
            m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
            return;
        }
        break;
    case WM_NOTIFY:
        if (TWinControl* c = FromHandle(reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom); c && c != this) {
            m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
            return;
        }
        break;
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (d->CtlType == ODT_MENU && TMenuItem::DrawItemMessage(*d)) {
            m.Result = TRUE;
            return;
        }
        if (TWinControl* c = d->CtlType == ODT_MENU ? nullptr : FromHandle(d->hwndItem); c && c != this) {
            m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
            return;
        }
        break;
    }
    case WM_MEASUREITEM: {
        // The item's window is found by its control id, also while it is being created.
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (mi->CtlType == ODT_MENU && TMenuItem::MeasureItemMessage(*mi)) {
            m.Result = TRUE;
            return;
        }
        HWND item = mi->CtlType == ODT_MENU || !handle_ ? nullptr : GetDlgItem(handle_, static_cast<int>(mi->CtlID));
        if (TWinControl* c = FromHandle(item); c && c != this) {
            m.Result = c->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
            return;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
            m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
            if (m.Result) return;
        }
        break;
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORLISTBOX:
        if (UsesOwnColors()) {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            SetTextColor(dc, ColorToRGB(font_.Color()));
            HBRUSH b = BackgroundBrush();
            SetBkColor(dc, ColorToRGB(brush_.Color()));
            m.Result = reinterpret_cast<LRESULT>(b);
        }
        return;
    case WM_CHAR:
        if (OnKeyPress) {
            char key = static_cast<char>(m.WParam);
            OnKeyPress(this, key);
            if (!key) return;
            m.WParam = static_cast<unsigned char>(key);
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const TKeyEvent& ev = (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) ? OnKeyDown : OnKeyUp;
        if (ev) {
            WORD key = static_cast<WORD>(m.WParam);
            ev(this, key, KeyboardShiftState());
            if (!key) return;
            m.WParam = key;
        }
        break;
    }
    case WM_SETFOCUS:
        DefaultHandler(m);
        if (TForm* form = GetParentForm(this); form && static_cast<TControl*>(form) != this) form->ChildFocused(this);
        if (OnEnter) OnEnter(this);
        return;
    case WM_KILLFOCUS:
        DefaultHandler(m);
        if (OnExit) OnExit(this);
        return;
    case WM_CONTEXTMENU:
        if (popupMenu_) {
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
            popupMenu_->SetPopupComponent(this);
            popupMenu_->Popup(p.x, p.y);
            return;
        }
        break;
    default:
        break;
    }
    TControl::WndProc(m);
}

void TWinControl::PaintControls(HDC dc)
{
    for (TControl* c : controls_) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        TSavedDC saved(dc);
        OffsetViewportOrgEx(dc, g->Left(), g->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
        g->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

// ---- TGraphicControl

void TGraphicControl::WndProc(TMessage& m)
{
    if (m.Msg == WM_PAINT && m.WParam) {
        TCanvas canvas; // gives the DC back when it goes
        canvas.SetHandle(reinterpret_cast<HDC>(m.WParam));
        Paint(canvas);
        m.Result = 0;
        return;
    }
    TControl::WndProc(m);
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    HandleNeeded();
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    RECT window, client;
    GetWindowRect(handle_, &window);
    GetClientRect(handle_, &client);
    POINT origin{0, 0};
    ::ClientToScreen(handle_, &origin);
    const int dx = origin.x - window.left, dy = origin.y - window.top;
    RECT frame{0, 0, window.right - window.left, window.bottom - window.top};
    const LONG_PTR exStyle = GetWindowLongPtrA(handle_, GWL_EXSTYLE);
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_BORDER)
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
    OffsetViewportOrgEx(dc, dx, dy, nullptr);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    SetControlState(csPaintCopy);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ClearControlState(csPaintCopy);
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) w->PaintTo(dc, w->Left(), w->Top());
}

TControl* TWinControl::GraphicControlAt(POINT p, bool disabledToo) const
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        auto* g = dynamic_cast<TGraphicControl*>(*it);
        if (g && g->Visible() && (disabledToo || g->Enabled()) && p.x >= g->Left() && p.y >= g->Top() &&
            p.x < g->Left() + g->Width() && p.y < g->Top() + g->Height())
            return g;
    }
    return nullptr;
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_) {
        RECT r;
        GetWindowRect(handle_, &r);
        if (GetParent(handle_) && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
            MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
        // A hidden window covered nothing and uncovers nothing: the parent is not erased at
        // once (Wine would erase it and every child with a change waiting, frames included).
        const UINT defer = (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) ? 0 : SWP_DEFERERASE;
        if (r.left != left || r.top != top || r.right - r.left != width || r.bottom - r.top != height)
            SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | defer);
    }
    AlignControls();
}

int TWinControl::ClientWidth() const
{
    if (!handle_) return width_;
    RECT r;
    GetClientRect(handle_, &r);
    return r.right;
}

int TWinControl::ClientHeight() const
{
    if (!handle_) return height_;
    RECT r;
    GetClientRect(handle_, &r);
    return r.bottom;
}

void TWinControl::SetClientSize(int width, int height)
{
    if (!handle_) {
        SetBounds(left_, top_, width, height);
        return;
    }
    RECT w, c;
    GetWindowRect(handle_, &w);
    GetClientRect(handle_, &c);
    SetBounds(left_, top_, width + (w.right - w.left) - c.right, height + (w.bottom - w.top) - c.bottom);
}

void TWinControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    if (parent_ && align_ != alNone) parent_->AlignControls();
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
    if (handle_) ShowingChanged();
}

void TWinControl::ShowingChanged()
{
    Perform(CM_SHOWINGCHANGED, Showing() ? 1 : 0);
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->visible_ && w->handle_) w->ShowingChanged();
}

void TWinControl::SetEnabled(bool enabled)
{
    const bool changed = enabled != enabled_;
    enabled_ = enabled;
    // Asked only when the window's state differs: each change is a round trip to the window
    // server under Wine, and a register window sets its keys' state at every step.
    if (handle_ && (IsWindowEnabled(handle_) != FALSE) != enabled) EnableWindow(handle_, enabled);
    if (changed) Perform(CM_ENABLEDCHANGED, enabled ? 1 : 0);
}

std::string TWinControl::Caption() const
{
    if (!handle_) return caption_;
    int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

void TWinControl::SetCaption(const std::string& caption)
{
    if (!handle_) {
        const bool changed = caption != caption_;
        caption_ = caption;
        if (changed) Perform(CM_TEXTCHANGED);
        return;
    }
    caption_ = caption;
    if (Caption() != caption) SetWindowTextA(handle_, caption.c_str()); // WM_SETTEXT: CM_TEXTCHANGED
}

void TWinControl::Invalidate()
{
    if (handle_) Perform(CM_INVALIDATE);
}

void TWinControl::Repaint()
{
    if (handle_) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::BringToFront()
{
    TControl::BringToFront();
    if (handle_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SetFocus()
{
    if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const
{
    if (!handle_ || !IsWindowVisible(handle_)) return false;
    for (const TWinControl* c = this; c; c = c->parent_)
        if (!c->handle_ || !IsWindowEnabled(c->handle_)) return false;
    return true;
}

std::vector<TWinControl*> TWinControl::TabList() const
{
    std::vector<std::pair<int, TWinControl*>> keyed;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            int key = w->tabOrder_ >= 0 ? w->tabOrder_ : static_cast<int>(keyed.size());
            keyed.emplace_back(key, w);
        }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TWinControl*> list;
    for (const auto& k : keyed)
        list.push_back(k.second);
    return list;
}

int TWinControl::TabOrder() const
{
    if (!parent_) return tabOrder_;
    std::vector<TWinControl*> list = parent_->TabList();
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order)
{
    if (!parent_ || InState(csReading)) {
        tabOrder_ = order;
        return;
    }
    std::vector<TWinControl*> list = parent_->TabList();
    list.erase(std::find(list.begin(), list.end(), this));
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
    for (size_t i = 0; i < list.size(); ++i)
        list[i]->tabOrder_ = static_cast<int>(i);
}

void TWinControl::FontChanged()
{
    if (handle_) {
        // A new colour alone keeps the font the window has: an edit control would lay its text
        // out anew for WM_SETFONT.
        const HFONT font = font_.Handle();
        if (reinterpret_cast<HFONT>(SendMessageA(handle_, WM_GETFONT, 0, 0)) != font)
            SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        Invalidate();
    }
    for (TControl* c : controls_)
        c->ParentFontChanged();
}

void TWinControl::ColorChanged()
{
    Invalidate();
    for (TControl* c : controls_)
        if (c->parentColor_) c->ColorChanged();
}

void TWinControl::SetBorderWidth(int width)
{
    borderWidth_ = std::max(width, 0);
    AlignControls();
    Invalidate();
}

void TWinControl::AlignControls()
{
    if (InState(csLoading)) {
        SetControlState(csAlignmentNeeded);
        return;
    }
    ClearControlState(csAlignmentNeeded);
    RECT r{borderWidth_, borderWidth_, ClientWidth() - borderWidth_, ClientHeight() - borderWidth_};
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : controls_) {
            if (c->align_ != a || !c->visible_) continue;
            switch (a) {
            case alTop:
                c->SetBounds(r.left, r.top, r.right - r.left, c->height_);
                r.top += c->height_;
                break;
            case alBottom:
                r.bottom -= c->height_;
                c->SetBounds(r.left, r.bottom, r.right - r.left, c->height_);
                break;
            case alLeft:
                c->SetBounds(r.left, r.top, c->width_, r.bottom - r.top);
                r.left += c->width_;
                break;
            case alRight:
                r.right -= c->width_;
                c->SetBounds(r.right, r.top, c->width_, r.bottom - r.top);
                break;
            default:
                c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
                break;
            }
        }
    }
    ControlsAligned(r);
}

void TWinControl::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "TabStop")) SetTabStop(v.AsBool());
    else if (SameText(name, "TabOrder")) SetTabOrder(v.AsInt());
    else if (SameText(name, "BorderWidth")) SetBorderWidth(v.AsInt());
    else TControl::SetProperty(name, v);
}

void TWinControl::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnKeyPress")) OnKeyPress = h.As<TKeyPressEvent>(event);
    else if (SameText(event, "OnKeyDown")) OnKeyDown = h.As<TKeyEvent>(event);
    else if (SameText(event, "OnKeyUp")) OnKeyUp = h.As<TKeyEvent>(event);
    else if (SameText(event, "OnEnter")) OnEnter = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnExit")) OnExit = h.As<TNotifyEvent>(event);
    else TControl::SetEventHandler(event, h);
}

// ---- TCustomControl

void TCustomControl::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.className = std::string("Tillora") + ClassName();
    p.ownClass = true;
    p.style |= WS_CLIPCHILDREN;
}

void TCustomControl::PaintWindow(HDC dc, bool erase)
{
    if (erase) {
        RECT r;
        GetClientRect(handle_, &r);
        ::FillRect(dc, &r, BackgroundBrush());
    }
    canvas_.Font() = font_;
    canvas_.Brush().SetColor(brush_.Color());
    canvas_.SetHandle(dc);
    SetControlState(csCustomPaint);
    try {
        Paint(canvas_);
    } catch (...) {
        ClearControlState(csCustomPaint);
        canvas_.SetHandle(nullptr);
        throw;
    }
    ClearControlState(csCustomPaint);
    canvas_.SetHandle(nullptr);
    PaintControls(dc);
}

void TCustomControl::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(handle_, &r);
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, BackgroundBrush());
        m.Result = 1;
        return;
    }
    case WM_PAINT: {
        if (m.WParam) {
            PaintWindow(reinterpret_cast<HDC>(m.WParam), false);
            return;
        }
        TPaintDC dc(handle_);
        PaintWindow(dc.get(), false);
        return;
    }
    case WM_PRINTCLIENT:
        PaintWindow(reinterpret_cast<HDC>(m.WParam), (m.LParam & PRF_ERASEBKGND) != 0);
        return;
    case WM_SIZE:
        DefaultHandler(m);
        AlignControls();
        return;
    default:
        break;
    }
    TWinControl::WndProc(m);
}
