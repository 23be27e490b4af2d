#include "gui/Forms.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "gui/FormReader.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"
#include "gui/base/SysUtils.h"

namespace {

// Before the application: its forms leave the screen's list when the application frees them.
TScreen theScreen;
TApplication theApplication;

const TIdentEntry kBorderStyles[] = {
    {"bsNone", bsNone},     {"bsSingle", bsSingle},         {"bsSizeable", bsSizeable},
    {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}};
const TIdentEntry kPositions[] = {{"poDesigned", poDesigned},
                                  {"poDefault", poDefault},
                                  {"poDefaultPosOnly", poDefaultPosOnly},
                                  {"poDefaultSizeOnly", poDefaultSizeOnly},
                                  {"poScreenCenter", poScreenCenter},
                                  {"poDesktopCenter", poDesktopCenter},
                                  {"poMainFormCenter", poMainFormCenter},
                                  {"poOwnerFormCenter", poOwnerFormCenter}};
const TIdentEntry kFormStyles[] = {
    {"fsNormal", fsNormal}, {"fsMDIChild", fsMDIChild}, {"fsMDIForm", fsMDIForm}, {"fsStayOnTop", fsStayOnTop}};
// The first id of the MDI children (the client window numbers them for its window menu).
constexpr UINT kFirstMDIChildId = 0xFF00;
const TIdentEntry kWindowStates[] = {
    {"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}};

// Sends a message to a control and all controls inside it, depth first, until one answers
// non-zero (when `untilAnswered`); the answer.
LRESULT Broadcast(TControl* c, UINT msg, WPARAM wParam, LPARAM lParam, bool untilAnswered)
{
    LRESULT r = c->Perform(msg, wParam, lParam);
    if (r && untilAnswered) return r;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        // Copied: a handler may add or remove controls.
        std::vector<TControl*> children;
        for (int i = 0; i < w->ControlCount(); ++i)
            children.push_back(w->Controls(i));
        for (TControl* child : children) {
            r = Broadcast(child, msg, wParam, lParam, untilAnswered);
            if (r && untilAnswered) return r;
        }
    }
    return untilAnswered ? 0 : r;
}

bool Contains(const TControl* outer, const TControl* c)
{
    for (; c; c = c->Parent())
        if (c == outer) return true;
    return false;
}

bool IsKeyMessage(UINT msg)
{
    return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == WM_SYSKEYDOWN || msg == WM_SYSCHAR;
}

// Every windowed control inside a parent, each followed by its own children, in tab order.
void CollectTabOrder(const TWinControl* parent, std::vector<TWinControl*>& list)
{
    for (TWinControl* c : parent->TabList()) {
        list.push_back(c);
        CollectTabOrder(c, list);
    }
}

// The entry a number of steps away in a list, wrapping around at either end.
template <class T> T Around(const std::vector<T>& list, long from, long steps)
{
    auto n = static_cast<long>(list.size());
    return list[static_cast<size_t>(((from + steps) % n + n) % n)];
}

bool Selectable(const TWinControl* c) { return c->TabStop() && c->CanFocus(); }

// Radio buttons with one parent are one group: Tab enters it once, on its checked button.
bool SameGroup(const TWinControl* a, const TWinControl* b)
{
    return a && b && a->Parent() == b->Parent() && dynamic_cast<const TRadioButton*>(a) &&
           dynamic_cast<const TRadioButton*>(b);
}

// The selectable buttons of a radio button's group, in tab order.
std::vector<TWinControl*> GroupOf(const std::vector<TWinControl*>& order, const TWinControl* radio)
{
    std::vector<TWinControl*> group;
    for (TWinControl* c : order)
        if (SameGroup(c, radio) && Selectable(c)) group.push_back(c);
    return group;
}

TWinControl* GroupEntry(const std::vector<TWinControl*>& order, TWinControl* radio)
{
    std::vector<TWinControl*> group = GroupOf(order, radio);
    for (TWinControl* c : group)
        if (static_cast<TRadioButton*>(c)->Checked()) return c;
    return group.empty() ? radio : group.front();
}

void FocusControl(TWinControl* c)
{
    c->SetFocus();
    // Edits take the focus with their whole text selected, as in dialogs.
    if (SendMessageA(c->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(c->Handle(), EM_SETSEL, 0, -1);
}

// The control of this library that holds a window, or the nearest one around it (the edit
// inside a combo box belongs to the combo box).
TWinControl* ControlOfWindow(HWND wnd)
{
    for (; wnd; wnd = GetParent(wnd))
        if (TWinControl* c = TWinControl::FromHandle(wnd)) return c;
    return nullptr;
}

} // namespace

TApplication* Application = &theApplication;
TScreen* Screen = &theScreen;

namespace {

// A font of the system's non-client metrics (menu, status), read once.
TFont& SystemFont(std::unique_ptr<TFont>& font, LOGFONTA NONCLIENTMETRICSA::*which)
{
    if (!font) {
        font = std::make_unique<TFont>();
        NONCLIENTMETRICSA m{};
        m.cbSize = sizeof m;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) {
            const LOGFONTA& lf = m.*which;
            font->SetName(lf.lfFaceName);
            font->SetHeight(lf.lfHeight);
            font->SetCharset(lf.lfCharSet);
            font->SetStyle((lf.lfWeight >= FW_BOLD ? unsigned(fsBold) : 0u) | (lf.lfItalic ? unsigned(fsItalic) : 0u));
        }
    }
    return *font;
}

} // namespace

TFont& TScreen::MenuFont() { return SystemFont(menuFont_, &NONCLIENTMETRICSA::lfMenuFont); }

TFont& TScreen::HintFont() { return SystemFont(hintFont_, &NONCLIENTMETRICSA::lfStatusFont); }

// ---- TForm

TForm::TForm(TComponent* owner) : TCustomControl(owner), icon_(std::make_unique<TIcon>())
{
    visible_ = false;
    width_ = 320;
    height_ = 240;
    Application->FormCreated();
    Screen->AddForm(this);
}

TForm::~TForm()
{
    // Freed by a plain delete: the derived form is gone already, so OnDestroy and the window's
    // last messages can only use what TForm has.
    if (!DestructionPrepared()) {
        SetState(csDestroying);
        FireOnDestroy();
        DestroyHandle();
    }
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
    Application->FormDestroyed();
    Screen->RemoveForm(this);
}

void TForm::BeforeDestruction()
{
    if (DestructionPrepared()) return;
    SetState(csDestroying);
    FireOnDestroy();
    TCustomControl::BeforeDestruction(); // destroys the window
}

void TForm::FireOnDestroy()
{
    if (!OnDestroy) return;
    try {
        OnDestroy(this);
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
}

const TFormBindings& TForm::Bindings() const
{
    static const TFormBindings none;
    return none;
}

void TForm::InitializeForm()
{
    SetState(csCreating | csLoading | csReading);
    ReadDescription();
    BindFields();
    std::vector<TComponent*> all;
    for (int i = 0; i < ComponentCount(); ++i)
        all.push_back(Components(i));
    for (TComponent* c : all)
        if (c->InState(csLoading | csReading)) c->Loaded();
    Loaded();
    CreateHandle();
    ClearState(csCreating);
    // A failing creation handler is reported like a failing message handler; the form is made
    // all the same.
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (const std::exception& e) {
            Application->ShowException(e);
        }
    }
    formState_ &= ~fsCreating;
    if (visible_) {
        visible_ = false;
        SetVisible(true);
    }
}

void TForm::ReadDescription()
{
    std::string text;
    if (LoadFormResource(ClassName(), text)) ReadFormDescription(*this, text, ClassName());
}

void TForm::BindFields()
{
    for (const TFormBinding& b : Bindings()) {
        if (b.IsHandler()) continue;
        TComponent* c = FindComponent(b.Name());
        if (!c) throw EComponentError(std::string(ClassName()) + ": Komponente " + b.Name() + " fehlt");
        if (!b.BindField(this, c))
            throw EComponentError(std::string(ClassName()) + ": " + b.Name() + " hat die falsche Klasse " +
                                  c->ClassName());
    }
}

void TForm::Loaded()
{
    TCustomControl::Loaded();
    if (!menuName_.empty()) {
        auto* m = dynamic_cast<TMainMenu*>(FindComponent(menuName_));
        if (!m) throw EComponentError(std::string(ClassName()) + ": Menü " + menuName_ + " nicht gefunden");
        SetMenu(m);
    }
    if (!activeControlName_.empty()) activeControl_ = dynamic_cast<TWinControl*>(FindComponent(activeControlName_));
}

void TForm::Notification(TComponent* c)
{
    TCustomControl::Notification(c);
    if (c == menu_) {
        if (handle_) ::SetMenu(handle_, nullptr);
        menu_ = nullptr;
    }
    if (c == activeControl_) activeControl_ = nullptr;
    if (c == focusedControl_) focusedControl_ = nullptr;
}

void TForm::ChildFocused(TWinControl* c)
{
    activeControl_ = c;
    TWinControl* old = std::exchange(focusedControl_, c);
    if (old != c) {
        if (old) old->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(c));
        Broadcast(this, CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(c), false);
        // Out of the old control and its parents up to the one that holds both, then into the
        // new one's parents below it, outermost first.
        for (TWinControl* x = old; x && x != this && !Contains(x, c); x = x->Parent())
            x->Perform(CM_EXIT);
        std::vector<TWinControl*> into;
        for (TWinControl* x = c; x && x != this && !Contains(x, old); x = x->Parent())
            into.push_back(x);
        for (auto it = into.rbegin(); it != into.rend(); ++it)
            (*it)->Perform(CM_ENTER);
    }
    if (focusedControl_ == c) c->Perform(CM_UIACTIVATE);
}

void TForm::ControlDestroyed(TControl* c)
{
    if (c == activeControl_) activeControl_ = nullptr;
    if (c == focusedControl_) focusedControl_ = nullptr;
}

void TForm::CreateParams(TCreateParams& p)
{
    TCustomControl::CreateParams(p);
    p.className = ClassName();
    p.parent = nullptr;
    p.menu = nullptr;
    p.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.exStyle = 0;
    if (formStyle_ == fsMDIChild) {
        // Inside the main form's client window, never on the desktop.
        TForm* main = MDIMainForm();
        if (main) main->HandleNeeded();
        if (!main || !main->clientHandle_)
            throw EInvalidOperation("Formular kann nicht erstellt werden. Zur Zeit sind keine MDI-Formulare aktiv");
        p.parent = main->clientHandle_;
        p.style |= WS_CHILD;
        if (visible_) p.style |= WS_VISIBLE;
        p.exStyle |= WS_EX_MDICHILD;
        formState_ |= fsCreatedMDIChild;
    }
    if (!enabled_) p.style |= WS_DISABLED;
    bool sysMenu = borderIcons_ & biSystemMenu;
    switch (borderStyle_) {
    case bsNone:
        p.style |= WS_POPUP;
        break;
    case bsSingle:
        p.style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
        p.style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        p.style |= WS_CAPTION | DS_MODALFRAME;
        p.exStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        p.style |= WS_CAPTION;
        p.exStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        p.style |= WS_CAPTION | WS_THICKFRAME;
        p.exStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone && sysMenu) {
        p.style |= WS_SYSMENU;
        if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
            if (borderIcons_ & biMinimize) p.style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) p.style |= WS_MAXIMIZEBOX;
        }
        if ((borderIcons_ & biHelp) && (borderStyle_ == bsDialog || !(borderIcons_ & (biMinimize | biMaximize))))
            p.exStyle |= WS_EX_CONTEXTHELP;
    }
    if (formStyle_ == fsStayOnTop) p.exStyle |= WS_EX_TOPMOST;
    if (alphaBlend_ && formStyle_ != fsMDIChild) p.exStyle |= WS_EX_LAYERED;
}

void TForm::CreateWnd()
{
    TCustomControl::CreateWnd();
    if (formStyle_ == fsMDIForm && !clientHandle_)
        throw EComponentError("MDI-Bereich für " + Name() + " kann nicht erstellt werden");
    // Sizes from the description are client sizes when given as ClientWidth / ClientHeight.
    if (clientWidth_ >= 0 || clientHeight_ >= 0) {
        int w = clientWidth_ >= 0 ? clientWidth_ : ClientWidth();
        int h = clientHeight_ >= 0 ? clientHeight_ : ClientHeight();
        clientWidth_ = clientHeight_ = -1;
        SetClientSize(w, h);
    }
    if (menu_) ::SetMenu(handle_, menu_->Handle());
    ApplyAlphaBlend();
    if (!icon_->Empty()) {
        SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_->Handle()));
        SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_->Handle()));
    }
    UpdateScrollBars();
}

void TForm::RecreateWnd()
{
    if (!handle_) return;
    TCustomControl::RecreateWnd();
    if (visible_) ShowWindow(handle_, SW_SHOW);
}

void TForm::SetAlphaBlend(bool v)
{
    alphaBlend_ = v;
    ApplyAlphaBlend();
}

void TForm::SetAlphaBlendValue(int v)
{
    alphaBlendValue_ = std::clamp(v, 0, 255);
    ApplyAlphaBlend();
}

void TForm::ApplyAlphaBlend()
{
    if (!handle_) return;
    const LONG ex = GetWindowLongA(handle_, GWL_EXSTYLE);
    if (!alphaBlend_) {
        if (ex & WS_EX_LAYERED) SetWindowLongA(handle_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        return;
    }
    if (!(ex & WS_EX_LAYERED)) SetWindowLongA(handle_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(handle_, 0, static_cast<BYTE>(alphaBlendValue_), LWA_ALPHA);
}

void TForm::SetIcon(HICON icon)
{
    // The form holds the icon before its window is told: whoever draws it on WM_SETICON finds it.
    icon_->SetHandle(icon);
    if (handle_) {
        SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

namespace {
int ShowCommand(TWindowState s)
{
    return s == wsMinimized ? SW_SHOWMINIMIZED : s == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOW;
}
} // namespace

TWindowState TForm::WindowState() const
{
    if (!handle_ || !IsWindowVisible(handle_)) return windowState_;
    return IsIconic(handle_) ? wsMinimized : IsZoomed(handle_) ? wsMaximized : wsNormal;
}

void TForm::SetWindowState(TWindowState s)
{
    windowState_ = s;
    if (handle_ && IsWindowVisible(handle_)) ShowWindow(handle_, s == wsNormal ? SW_RESTORE : ShowCommand(s));
}

void TForm::SetConstraints(const TSizeConstraints& c)
{
    constraints_ = c;
    auto limit = [](int v, int low, int high) {
        if (high > 0) v = std::min(v, high);
        return std::max(v, low);
    };
    const int w = limit(width_, c.MinWidth, c.MaxWidth), h = limit(height_, c.MinHeight, c.MaxHeight);
    if (w != width_ || h != height_) SetBounds(left_, top_, w, h);
}

void TForm::MinMaxInfo(MINMAXINFO& info) const
{
    if (constraints_.MinWidth > 0) info.ptMinTrackSize.x = constraints_.MinWidth;
    if (constraints_.MinHeight > 0) info.ptMinTrackSize.y = constraints_.MinHeight;
    if (constraints_.MaxWidth > 0) {
        info.ptMaxTrackSize.x = constraints_.MaxWidth;
        info.ptMaxSize.x = std::min<LONG>(info.ptMaxSize.x, constraints_.MaxWidth);
    }
    if (constraints_.MaxHeight > 0) {
        info.ptMaxTrackSize.y = constraints_.MaxHeight;
        info.ptMaxSize.y = std::min<LONG>(info.ptMaxSize.y, constraints_.MaxHeight);
    }
}

void TForm::SetAutoScroll(bool v)
{
    autoScroll_ = v;
    UpdateScrollBars();
}

void TForm::UpdateScrollBars()
{
    if (!handle_) return;
    // The children's extent as if nothing were scrolled.
    int right = 0, bottom = 0;
    if (autoScroll_)
        for (int i = 0; i < ControlCount(); ++i)
            if (TControl* c = Controls(i); c->Visible() && c->Align() == alNone) {
                right = std::max<int>(right, c->Left() + c->Width() + scrollPos_.x);
                bottom = std::max<int>(bottom, c->Top() + c->Height() + scrollPos_.y);
            }
    // Twice: a bar that appears narrows the room for the other one.
    for (int pass = 0; pass < 2; ++pass)
        for (int bar : {SB_HORZ, SB_VERT}) {
            RECT r;
            GetClientRect(handle_, &r);
            SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
            si.nMax = (bar == SB_HORZ ? right : bottom) - 1;
            si.nPage = static_cast<UINT>(bar == SB_HORZ ? r.right : r.bottom);
            si.nPos = bar == SB_HORZ ? scrollPos_.x : scrollPos_.y;
            if (si.nMax < static_cast<int>(si.nPage)) si.nMax = si.nPos = 0;
            SetScrollInfo(handle_, bar, &si, TRUE);
        }
    // Back in range after the client area grew.
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
        GetScrollInfo(handle_, bar, &si);
        if (si.nPos != (bar == SB_HORZ ? scrollPos_.x : scrollPos_.y)) ScrollTo(bar, si.nPos);
    }
}

void TForm::ScrollHandler(int bar, WORD code)
{
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(handle_, bar, &si);
    int pos = si.nPos;
    const int line = 8, page = std::max(static_cast<int>(si.nPage), 1);
    switch (code) {
    case SB_LINEUP:
        pos -= line;
        break;
    case SB_LINEDOWN:
        pos += line;
        break;
    case SB_PAGEUP:
        pos -= page;
        break;
    case SB_PAGEDOWN:
        pos += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = si.nTrackPos;
        break;
    case SB_TOP:
        pos = si.nMin;
        break;
    case SB_BOTTOM:
        pos = si.nMax;
        break;
    default:
        return;
    }
    pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - page + 1));
    ScrollTo(bar, pos);
}

void TForm::ScrollTo(int bar, int pos)
{
    LONG& current = bar == SB_HORZ ? scrollPos_.x : scrollPos_.y;
    const int delta = pos - current;
    if (delta == 0) return;
    current = pos;
    const int dx = bar == SB_HORZ ? delta : 0, dy = bar == SB_VERT ? delta : 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (TControl* c = Controls(i); c->Align() == alNone)
            c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
    InvalidateRect(handle_, nullptr, TRUE);
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(handle_, bar, &si, TRUE);
}

void TForm::SetClientSize(int width, int height)
{
    if (!handle_) {
        clientWidth_ = width;
        clientHeight_ = height;
        return;
    }
    TCustomControl::SetClientSize(width, height);
}

int TForm::ClientWidth() const { return handle_ || clientWidth_ < 0 ? TCustomControl::ClientWidth() : clientWidth_; }
int TForm::ClientHeight() const
{
    return handle_ || clientHeight_ < 0 ? TCustomControl::ClientHeight() : clientHeight_;
}

void TForm::DestroyHandle()
{
    if (!handle_) return;
    // The children go first, each through the client window, and keep what their windows held.
    for (int i = MDIChildCount() - 1; i >= 0; --i)
        MDIChildren(i)->DestroyHandle();
    // The menu belongs to its TMainMenu, not to the window.
    ::SetMenu(handle_, nullptr);
    TCustomControl::DestroyHandle();
    clientHandle_ = nullptr; // went with the window
}

void TForm::DestroyWindowHandle()
{
    // An MDI child is taken out by its client window, which activates the next one.
    if (formState_ & fsCreatedMDIChild) {
        const HWND wnd = handle_;
        if (const HWND client = GetParent(wnd)) SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(wnd), 0);
        formState_ &= ~fsCreatedMDIChild;
        if (!IsWindow(wnd)) return;
    }
    TCustomControl::DestroyWindowHandle();
}

void TForm::DefaultHandler(TMessage& m)
{
    if (!handle_) return;
    if (formStyle_ == fsMDIForm) m.Result = DefFrameProcA(handle_, clientHandle_, m.Msg, m.WParam, m.LParam);
    else if (formState_ & fsCreatedMDIChild) m.Result = DefMDIChildProcA(handle_, m.Msg, m.WParam, m.LParam);
    else TCustomControl::DefaultHandler(m);
}

void TForm::CreateClientWindow()
{
    CLIENTCREATESTRUCT create{nullptr, kFirstMDIChildId};
    RECT r;
    GetClientRect(handle_, &r);
    clientHandle_ = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL |
                                        WS_VSCROLL | MDIS_ALLCHILDSTYLES,
                                    0, 0, r.right, r.bottom, handle_, nullptr, LibraryInstance(), &create);
}

void TForm::ControlsAligned(const RECT& rest)
{
    // The MDI area takes what the aligned controls leave, below them.
    if (clientHandle_)
        SetWindowPos(clientHandle_, HWND_BOTTOM, rest.left, rest.top, std::max<LONG>(0, rest.right - rest.left),
                     std::max<LONG>(0, rest.bottom - rest.top), SWP_NOACTIVATE);
}

TForm* TForm::MDIMainForm() const
{
    if (formStyle_ != fsMDIChild) return nullptr;
    auto mdiMain = [](TComponent* c) {
        auto* f = dynamic_cast<TForm*>(c);
        return f && f->formStyle_ == fsMDIForm && !f->InState(csDestroying) ? f : nullptr;
    };
    if (handle_)
        if (const HWND client = GetParent(handle_))
            if (TForm* f = mdiMain(TWinControl::FromHandle(GetParent(client))); f && f->clientHandle_ == client)
                return f;
    if (TForm* f = mdiMain(Owner())) return f;
    return mdiMain(Application->MainForm());
}

int TForm::MDIChildCount() const
{
    int n = 0;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* f = Screen->Forms(i);
        n += clientHandle_ && f->formStyle_ == fsMDIChild && f->handle_ && GetParent(f->handle_) == clientHandle_;
    }
    return n;
}

TForm* TForm::MDIChildren(int index) const
{
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* f = Screen->Forms(i);
        if (clientHandle_ && f->formStyle_ == fsMDIChild && f->handle_ && GetParent(f->handle_) == clientHandle_ &&
            index-- == 0)
            return f;
    }
    return nullptr;
}

TForm* TForm::ActiveMDIChild() const
{
    if (!clientHandle_) return nullptr;
    const auto active = reinterpret_cast<HWND>(SendMessageA(clientHandle_, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(TWinControl::FromHandle(active));
}

void TForm::Tile()
{
    if (clientHandle_) SendMessageA(clientHandle_, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}

void TForm::Cascade()
{
    if (clientHandle_) SendMessageA(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TForm::RecreateStyle()
{
    if (!handle_) return;
    TCreateParams p;
    CreateParams(p);
    SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(p.style | (IsWindowVisible(handle_) ? WS_VISIBLE : 0)));
    SetWindowLongA(handle_, GWL_EXSTYLE, static_cast<LONG>(p.exStyle));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void TForm::SetFormStyle(TFormStyle s)
{
    const TFormStyle old = std::exchange(formStyle_, s);
    if (s == fsMDIChild) visible_ = true;
    if (!handle_ || s == old) return;
    const auto mdi = [](TFormStyle style) { return style == fsMDIChild || style == fsMDIForm; };
    if (mdi(s) || mdi(old)) {
        // The window must be made anew: DestroyHandle asks for what the old style was.
        formStyle_ = old;
        DestroyHandle();
        formStyle_ = s;
        CreateHandle();
        if (visible_) ShowWindow(handle_, SW_SHOW);
        return;
    }
    SetWindowPos(handle_, s == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetMenu(TMainMenu* menu)
{
    menu_ = menu;
    if (handle_) {
        ::SetMenu(handle_, menu ? menu->Handle() : nullptr);
        Perform(CM_MENUCHANGED);
    }
}

TMenuItem* TForm::FindMenuItem(UINT command) const
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* item = dynamic_cast<TMenuItem*>(Components(i)); item && item->Command() == command) return item;
    return nullptr;
}

void TForm::ApplyPosition()
{
    if (positioned_) return;
    positioned_ = true;
    if (formStyle_ == fsMDIChild) return; // placed inside its client window as created
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT around = work;
    if (position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
        TForm* main = Application->MainForm();
        if (main && main != this && main->HandleAllocated()) GetWindowRect(main->Handle(), &around);
    }
    switch (position_) {
    case poDefault:
    case poDefaultPosOnly: {
        // As the system places new windows: each one a caption's height further down and to
        // the right of the one before, back to the start where a window would leave the screen.
        static int placed = 0;
        int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);
        int w = width_, h = height_;
        if (position_ == poDefault) {
            w = (work.right - work.left) * 3 / 4;
            h = (work.bottom - work.top) * 3 / 4;
        }
        int x = work.left + step * (placed + 1), y = work.top + step * (placed + 1);
        if (x + w > work.right || y + h > work.bottom) {
            placed = 0;
            x = work.left + step;
            y = work.top + step;
        }
        ++placed;
        SetBounds(x, y, w, h);
        break;
    }
    case poScreenCenter:
    case poDesktopCenter:
    case poMainFormCenter:
    case poOwnerFormCenter:
        SetBounds(around.left + (around.right - around.left - width_) / 2,
                  around.top + (around.bottom - around.top - height_) / 2, width_, height_);
        break;
    default:
        break;
    }
}

void TForm::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    if (!handle_ || InState(csLoading)) return;
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
    ShowingChanged(); // the form's own CM_SHOWINGCHANGED shows or hides the window
}

void TForm::ShowingChangedHandler()
{
    struct TShowing {
        unsigned& state;
        explicit TShowing(unsigned& s) : state(s) { state |= fsShowing; }
        ~TShowing() { state &= ~fsShowing; }
    } showing(formState_);
    if (visible_) {
        ApplyPosition();
        if (OnShow) OnShow(this);
        ShowWindow(handle_, ShowCommand(windowState_));
        if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
    } else {
        if (OnHide) OnHide(this);
        ShowWindow(handle_, SW_HIDE);
    }
}

bool TForm::CloseQuery()
{
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TForm::Close()
{
    if (modal_) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    // An MDI child cannot hide in its client window: it goes.
    TCloseAction action = formStyle_ == fsMDIChild ? caFree : caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        if (action == caHide) Hide();
        return;
    }
    if (action == caHide) Hide();
    else if (action == caMinimize) ShowWindow(handle_, SW_MINIMIZE);
    else if (action == caFree) Release();
}

int TForm::ShowModal()
{
    if (modal_ || visible_ || !enabled_)
        throw EInvalidOperation("Ein sichtbares Fenster kann nicht modal gemacht werden");
    HandleNeeded();
    // Every other enabled window of the thread is disabled while this form is modal.
    struct Collect {
        HWND self;
        std::vector<HWND> windows;
        static BOOL CALLBACK Visit(HWND w, LPARAM lp)
        {
            auto* c = reinterpret_cast<Collect*>(lp);
            if (w != c->self && IsWindowVisible(w) && IsWindowEnabled(w)) c->windows.push_back(w);
            return TRUE;
        }
    } collect{handle_, {}};
    EnumThreadWindows(GetCurrentThreadId(), &Collect::Visit, reinterpret_cast<LPARAM>(&collect));
    for (HWND w : collect.windows)
        EnableWindow(w, FALSE);
    modal_ = true;
    formState_ |= fsModal;
    modalResult_ = mrNone;
    auto restore = [&] {
        for (HWND w : collect.windows)
            if (IsWindow(w)) EnableWindow(w, TRUE);
        modal_ = false;
        formState_ &= ~fsModal;
        Hide();
    };
    try {
        Show();
        SetForegroundWindow(handle_);
        for (;;) {
            if (Application->Terminated()) {
                if (modalResult_ == mrNone) modalResult_ = mrCancel;
                break;
            }
            Application->HandleMessage();
            if (!visible_ && modalResult_ == mrNone) modalResult_ = mrCancel;
            if (modalResult_ != mrNone) {
                TCloseAction action = caHide;
                bool can = CloseQuery();
                if (can && OnClose) OnClose(this, action);
                if (can && action != caNone) break;
                modalResult_ = mrNone;
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return modalResult_;
}

void TForm::Release() { Application->DeferDelete(this); }

bool TForm::SelectNext(TWinControl* current, bool forward)
{
    std::vector<TWinControl*> order;
    CollectTabOrder(this, order);
    auto n = static_cast<long>(order.size());
    long at = std::find(order.begin(), order.end(), current) - order.begin();
    if (at == n) at = forward ? -1 : n;
    for (long step = 1; step <= n; ++step) {
        TWinControl* c = Around(order, at, forward ? step : -step);
        if (c == current || SameGroup(c, current) || !Selectable(c)) continue;
        FocusControl(dynamic_cast<TRadioButton*>(c) ? GroupEntry(order, c) : c);
        return true;
    }
    return false;
}

bool TForm::Active() const { return handle_ && GetActiveWindow() == handle_; }

TWinControl* TForm::ActiveControl() const
{
    TWinControl* c = TWinControl::FromHandle(GetFocus());
    return c && GetParentForm(c) == this ? c : activeControl_;
}

void TForm::SetActiveControl(TWinControl* c)
{
    activeControl_ = c;
    if (c && c->CanFocus()) c->SetFocus();
}

void TForm::Paint(TCanvas&)
{
    if (OnPaint) OnPaint(this);
}

LRESULT TForm::MenuItemQuery(ATOM nameAtom, LPARAM ask) const
{
    char name[256];
    UINT n = GlobalGetAtomNameA(nameAtom, name, sizeof name);
    if (n == 0) return 0;
    auto* item = dynamic_cast<TMenuItem*>(FindComponent(std::string(name, n)));
    if (!item) return 0;
    if (ask >= TM_ASK_CAPTION && ask < 2 * TM_ASK_CAPTION) {
        const std::string& caption = item->Caption();
        const auto at = static_cast<size_t>(ask - TM_ASK_CAPTION);
        return TM_ITEM_FOUND | (at < caption.size() ? TM_ITEM_CHAR | static_cast<unsigned char>(caption[at]) : 0);
    }
    bool visible = true;
    for (const TMenuItem* i = item; i && i->Parent(); i = i->Parent())
        visible = visible && i->Visible();
    return TM_ITEM_FOUND | (item->Command() & 0xFFFF) | (visible ? TM_ITEM_VISIBLE : 0) |
           (item->Enabled() ? TM_ITEM_ENABLED : 0) | (item->Checked() ? TM_ITEM_CHECKED : 0);
}

LRESULT TForm::ControlQuery(ATOM nameAtom, HWND asker) const
{
    char name[256];
    UINT n = GlobalGetAtomNameA(nameAtom, name, sizeof name);
    if (n == 0 || !IsWindow(asker)) return 0;
    const std::string wanted(name, n);
    // Owned by the form, or placed on it by another owner (a bound label).
    auto* control = dynamic_cast<TGraphicControl*>(FindComponent(wanted));
    if (!control) {
        std::vector<const TWinControl*> open{this};
        while (!open.empty() && !control) {
            const TWinControl* w = open.back();
            open.pop_back();
            for (int i = 0; i < w->ControlCount() && !control; ++i) {
                TControl* c = w->Controls(i);
                if (auto* g = dynamic_cast<TGraphicControl*>(c); g && SameText(g->Name(), wanted)) control = g;
                else if (auto* inner = dynamic_cast<TWinControl*>(c)) open.push_back(inner);
            }
        }
    }
    if (!control || GetParentForm(control) != this) return 0;
    POINT at = control->ClientToScreen(POINT{0, 0});
    ::ScreenToClient(handle_, &at);
    const TControlQueryReply reply{at.x, at.y, control->Width(), control->Height()};
    const std::string caption = control->Caption();
    std::string data(sizeof reply, '\0');
    std::memcpy(data.data(), &reply, sizeof reply);
    data += caption;
    COPYDATASTRUCT copy{TM_CONTROLQUERY, static_cast<DWORD>(data.size()), data.data()};
    // The asker waits in its own send to this window: it takes this at once.
    DWORD_PTR taken = 0;
    if (!SendMessageTimeoutA(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(handle_), reinterpret_cast<LPARAM>(&copy),
                             SMTO_NORMAL, 5000, &taken) ||
        !taken)
        return 0;
    return TM_ITEM_FOUND | (control->Showing() ? TM_ITEM_VISIBLE : 0) | (control->Enabled() ? TM_ITEM_ENABLED : 0);
}

void TForm::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case TM_MENUITEMQUERY:
        m.Result = MenuItemQuery(static_cast<ATOM>(m.WParam), m.LParam);
        return;
    case TM_CONTROLQUERY:
        m.Result = ControlQuery(static_cast<ATOM>(m.WParam), reinterpret_cast<HWND>(m.LParam));
        return;
    case CM_SHOWINGCHANGED:
        ShowingChangedHandler();
        return;
    case CM_MENUCHANGED:
        if (handle_ && menu_) DrawMenuBar(handle_);
        return;
    case WM_CANCELMODE:
        TCustomControl::WndProc(m);
        if (focusedControl_) focusedControl_->Perform(CM_CANCELMODE);
        return;
    case WM_GETMINMAXINFO:
        TCustomControl::WndProc(m);
        MinMaxInfo(*reinterpret_cast<MINMAXINFO*>(m.LParam));
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (m.LParam == 0) { // the window's own bars
            if (autoScroll_) ScrollHandler(m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(m.WParam));
            return;
        }
        break;
    case WM_CLOSE:
        Close();
        return;
    case WM_CREATE:
        TCustomControl::WndProc(m);
        // The client window comes with the main form's window, before anyone hears of it.
        if (formStyle_ == fsMDIForm && m.Result != -1) CreateClientWindow();
        return;
    case WM_NCDESTROY:
        TCustomControl::WndProc(m);
        clientHandle_ = nullptr;
        formState_ &= ~fsCreatedMDIChild;
        return;
    case WM_COMMAND:
        if (m.LParam == 0 && HIWORD(m.WParam) <= 1) {
            if (TMenuItem* item = FindMenuItem(LOWORD(m.WParam))) {
                item->Click();
                return;
            }
        }
        break;
    case WM_ACTIVATEAPP:
        if (m.WParam && Application && Application->AppWindowMade())
            SendMessageA(Application->AppWindow(), CM_ACTIVATE, 0, 0);
        break;
    case WM_ACTIVATE:
        if (LOWORD(m.WParam) != WA_INACTIVE && !HIWORD(m.WParam) && activeControl_ && activeControl_->CanFocus()) {
            activeControl_->SetFocus(); // not the form itself, as the default activation would
            m.Result = 0;
        } else {
            TCustomControl::WndProc(m);
        }
        if (LOWORD(m.WParam) != WA_INACTIVE) {
            if (OnActivate) OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    case WM_SIZE:
        TCustomControl::WndProc(m);
        if (autoScroll_) UpdateScrollBars();
        if (OnResize) OnResize(this);
        return;
    case WM_WINDOWPOSCHANGED: {
        TCustomControl::WndProc(m);
        RECT r;
        GetWindowRect(handle_, &r);
        // An MDI child's place is in its client window's coordinates.
        if (formState_ & fsCreatedMDIChild)
            MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
        left_ = r.left;
        top_ = r.top;
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        return;
    }
    default:
        break;
    }
    TCustomControl::WndProc(m);
}

void TForm::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "BorderStyle")) borderStyle_ = static_cast<TFormBorderStyle>(IdentToInt(v, kBorderStyles, name));
    else if (SameText(name, "BorderIcons")) {
        borderIcons_ = 0;
        if (v.Has("biSystemMenu")) borderIcons_ |= biSystemMenu;
        if (v.Has("biMinimize")) borderIcons_ |= biMinimize;
        if (v.Has("biMaximize")) borderIcons_ |= biMaximize;
        if (v.Has("biHelp")) borderIcons_ |= biHelp;
    } else if (SameText(name, "Position")) position_ = static_cast<TPosition>(IdentToInt(v, kPositions, name));
    else if (SameText(name, "FormStyle")) SetFormStyle(static_cast<TFormStyle>(IdentToInt(v, kFormStyles, name)));
    else if (SameText(name, "Menu")) menuName_ = v.AsIdent();
    else if (!handle_ && SameText(name, "ClientWidth")) clientWidth_ = v.AsInt(); // the height stays as stored
    else if (!handle_ && SameText(name, "ClientHeight")) clientHeight_ = v.AsInt();
    else if (SameText(name, "ActiveControl")) activeControlName_ = v.AsIdent();
    else if (SameText(name, "AlphaBlend")) SetAlphaBlend(v.AsBool());
    else if (SameText(name, "AlphaBlendValue")) SetAlphaBlendValue(v.AsInt());
    else if (SameText(name, "WindowState"))
        SetWindowState(static_cast<TWindowState>(IdentToInt(v, kWindowStates, name)));
    else if (SameText(name, "AutoScroll")) SetAutoScroll(v.AsBool());
    else if (name.size() > 12 && SameText(name.substr(0, 12), "Constraints.")) {
        TSizeConstraints c = constraints_;
        const std::string part = name.substr(12);
        if (SameText(part, "MinWidth")) c.MinWidth = v.AsInt();
        else if (SameText(part, "MinHeight")) c.MinHeight = v.AsInt();
        else if (SameText(part, "MaxWidth")) c.MaxWidth = v.AsInt();
        else if (SameText(part, "MaxHeight")) c.MaxHeight = v.AsInt();
        else UnknownProperty(name);
        SetConstraints(c);
    } else if (SameText(name, "KeyPreview") || SameText(name, "OldCreateOrder") || SameText(name, "PixelsPerInch") ||
               SameText(name, "TextHeight") || SameText(name, "Scaled")) {
    } else TCustomControl::SetProperty(name, v);
}

void TForm::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnCreate")) OnCreate = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnDestroy")) OnDestroy = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnShow")) OnShow = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnHide")) OnHide = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnPaint")) OnPaint = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnActivate")) OnActivate = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnDeactivate")) OnDeactivate = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnResize")) OnResize = h.As<TNotifyEvent>(event);
    else if (SameText(event, "OnClose")) OnClose = h.As<TCloseEvent>(event);
    else if (SameText(event, "OnCloseQuery")) OnCloseQuery = h.As<TCloseQueryEvent>(event);
    else TCustomControl::SetEventHandler(event, h);
}

TForm* ActiveForm() { return dynamic_cast<TForm*>(TWinControl::FromHandle(GetActiveWindow())); }

// ---- TApplication

TApplication::TApplication() : TComponent(nullptr) { SetName("Application"); }

TApplication::~TApplication()
{
    SetState(csDestroying);
    FreeDeferred();
    DestroyForms();
    hooks_.clear();
    if (appWindow_) DestroyWindow(appWindow_);
}

LRESULT CALLBACK TApplication::AppWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    const bool reflected = msg >= CN_BASE && msg <= 0xBFFF && msg != SM_MENUITEMPOPUP && msg != SM_MENUWINDOWPOPUP;
    if (app && !reflected) {
        TMessage m{msg, wParam, lParam, 0};
        // Copied: a hook may add or remove hooks.
        const auto hooks = app->hooks_;
        for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
            if (it->second(m)) return m.Result;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND TApplication::AppWindow()
{
    if (appWindow_) return appWindow_;
    static const char* const className = "TApplication";
    WNDCLASSA wc{};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), className, &wc)) {
        wc.lpfnWndProc = AppWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
    }
    appWindow_ = CreateWindowExA(0, className, title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (appWindow_) SetWindowLongPtrA(appWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return appWindow_;
}

int TApplication::HookMainWindow(TWindowHook hook)
{
    AppWindow();
    hooks_.emplace_back(++lastHookId_, std::move(hook));
    return lastHookId_;
}

void TApplication::UnhookMainWindow(int id)
{
    std::erase_if(hooks_, [id](const auto& h) { return h.first == id; });
}

void TApplication::Run()
{
    if (mainForm_) mainForm_->Show();
    while (!terminated_)
        HandleMessage();
    DestroyForms();
}

void TApplication::DestroyForms()
{
    FreeDeferred();
    while (ComponentCount() > 0)
        Components(ComponentCount() - 1)->Free();
    mainForm_ = nullptr;
}

void TApplication::Terminate()
{
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::NavigationKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN) return false;
    TShiftState shift = KeyboardShiftState();
    if (shift & (ssCtrl | ssAlt)) return false;
    TWinControl* focused = ControlOfWindow(msg.hwnd);
    TForm* form = focused ? GetParentForm(focused) : nullptr;
    if (!form) return false;
    switch (msg.wParam) {
    case VK_TAB:
        if (focused->WantsTab()) return false;
        form->SelectNext(focused, !(shift & ssShift));
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        return DialogKey(form, focused, msg);
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        auto* radio = dynamic_cast<TRadioButton*>(focused);
        if (!radio) return false;
        std::vector<TWinControl*> order;
        CollectTabOrder(form, order);
        std::vector<TWinControl*> group = GroupOf(order, radio);
        auto at = std::find(group.begin(), group.end(), radio);
        if (at == group.end()) return true;
        long step = msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN ? 1 : -1;
        auto* next = static_cast<TRadioButton*>(Around(group, at - group.begin(), step));
        next->SetFocus();
        next->SetChecked(true);
        return true;
    }
    default:
        return false;
    }
}

bool TApplication::DialogKey(TForm* form, TWinControl* focused, const MSG& msg)
{
    bool enter = msg.wParam == VK_RETURN;
    // A control that takes the key itself keeps it (a memo takes Enter for a new line).
    MSG copy = msg;
    LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    // Enter on a focused button clicks that one.
    if (enter)
        if (auto* b = dynamic_cast<TButton*>(focused)) {
            b->Click();
            return true;
        }
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* b = dynamic_cast<TButton*>(form->Components(i));
        if (!b || !(enter ? b->Default() : b->Cancel()) || !b->HandleAllocated()) continue;
        if (!IsWindowVisible(b->Handle()) || !IsWindowEnabled(b->Handle())) continue;
        b->Click();
        return true;
    }
    return false;
}

bool TApplication::MDIKey(const MSG& msg)
{
    // The MDI main form of the window that has the key handles its children's keys.
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr));
    if (!form || form->FormStyle() != fsMDIForm || !form->ClientHandle()) return false;
    MSG copy = msg;
    return TranslateMDISysAccel(form->ClientHandle(), &copy) != FALSE;
}

bool TApplication::ReflectedKey(const MSG& msg)
{
    TWinControl* focused = ControlOfWindow(msg.hwnd);
    if (!focused) return false;
    try {
        if (focused->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam)) return true;
        // A character nobody takes as text: the form offers it to its controls (accelerators).
        TForm* form = GetParentForm(focused);
        const bool dialogChar =
            msg.message == WM_SYSCHAR ||
            (msg.message == WM_CHAR && !(SendMessageA(msg.hwnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS));
        if (form && dialogChar) return Broadcast(form, CM_DIALOGCHAR, msg.wParam, msg.lParam, true) != 0;
    } catch (const std::exception& e) {
        ShowException(e);
        return true;
    }
    return false;
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    // The library never posts these: one that comes from outside is dropped.
    if (NotificationCarriesPointer(msg.message) && TWinControl::FromHandle(msg.hwnd)) return true;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && MDIKey(msg)) {
        FreeDeferred();
        return true;
    }
    if (IsKeyMessage(msg.message) && ReflectedKey(msg)) {
        FreeDeferred();
        return true;
    }
    if (NavigationKey(msg)) {
        FreeDeferred();
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    FreeDeferred();
    return true;
}

void TApplication::ProcessMessages(bool paint)
{
    const UINT flags = paint ? PM_REMOVE : PM_REMOVE | PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, flags))
        if (!ProcessMessage(msg)) break;
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        terminated_ = true;
        return;
    }
    ProcessMessage(msg);
}

void TApplication::ShowException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e)) return;
    if (OnException) {
        OnException(e);
        return;
    }
    MessageBox(e.what(), title_.empty() ? ExtractFileName(ExeName()) : title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    HWND owner = GetActiveWindow();
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
}

std::string TApplication::ExeName() const
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

std::string TApplication::ExeFolder() const { return ExtractFilePath(ExeName()); }

HWND TApplication::Handle() const { return mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : nullptr; }

void TApplication::DeferDelete(TComponent* c)
{
    if (std::find(deferred_.begin(), deferred_.end(), c) == deferred_.end()) deferred_.push_back(c);
    PostMessageA(nullptr, WM_NULL, 0, 0);
}

void TApplication::FreeDeferred()
{
    while (!deferred_.empty()) {
        TComponent* c = deferred_.back();
        deferred_.pop_back();
        c->Free();
    }
}

void TApplication::Notification(TComponent* c)
{
    if (c == mainForm_) mainForm_ = nullptr;
    deferred_.erase(std::remove(deferred_.begin(), deferred_.end(), c), deferred_.end());
}
