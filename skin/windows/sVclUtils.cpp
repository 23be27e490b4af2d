#include "skin/windows/sVclUtils.h"

#include <vector>

#include "gui/Forms.h"
#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMessages.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sSkinProvider.h"

LRESULT SendSkinCommand(HWND wnd, WORD command, LPARAM lParam)
{
    return SendMessageA(wnd, SM_VELOCONCMD, SkinCommandWParam(command), lParam);
}

LRESULT SendSkinCommandToControl(TControl* control, WORD command, LPARAM lParam)
{
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed) return control->Perform(SM_VELOCONCMD, SkinCommandWParam(command), lParam);
    if (windowed->InState(csDestroying) || !windowed->HandleAllocated()) return 0;
    return SendMessageA(windowed->Handle(), SM_VELOCONCMD, SkinCommandWParam(command), lParam);
}

LRESULT AskControl(TControl* control, WORD command) { return SendSkinCommandToControl(control, command, 0); }

bool AskWindow(HWND wnd, WORD command) { return SendSkinCommand(wnd, command, 0) == 1; }

TColor AskControlColor(TControl* control)
{
    if (!control) return clFuchsia;
    if (AskControl(control, cmdIsSkinned) == 1)
        return static_cast<TColor>(ColorToRGB(
            static_cast<TColor>(control->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdGetBGColor), clFuchsia))));
    return static_cast<TColor>(ColorToRGB(control->Color()));
}

TColor AskWindowColor(HWND wnd)
{
    if (!wnd) return clFuchsia;
    return static_cast<TColor>(ColorToRGB(static_cast<TColor>(SendSkinCommand(wnd, cmdGetBGColor, clFuchsia))));
}

void BroadcastToControls(TWinControl* control, TMessage& message)
{
    for (int i = 0; i < control->ControlCount(); ++i) {
        TControl* child = control->Controls(i);
        if (child->InState(csDestroying)) return;
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed || !windowed->HandleAllocated()) child->Perform(message.Msg, message.WParam, message.LParam);
        else if ((AskControl(windowed, cmdIsSkinned) & 0xFF) != 0)
            SendMessageA(windowed->Handle(), message.Msg, message.WParam, message.LParam);
        else BroadcastToControls(windowed, message);
    }
}

bool ControlIsReady(TControl* control)
{
    if (!control) return false;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (windowed && !windowed->HandleAllocated()) return false;
    if (control->InState(csCreating | csReading | csLoading | csDestroying)) return false;
    return control->Parent() != nullptr;
}

LRESULT NotifyParentForm(TControl* control)
{
    if (control->InState(csLoading)) return 0;
    TForm* form = GetParentForm(control);
    while (form && form->Parent())
        form = GetParentForm(form->Parent());
    if (!form) return 0;
    return SendMessageA(form->Handle(), SM_VELOCONCMD, SkinCommandWParam(25), reinterpret_cast<LPARAM>(control));
}

TComponent* FindHostOwner(TComponent*) { return nullptr; }

void SendEndUpdateToChildren(TWinControl* control)
{
    if (AnimationRunning) return;
    for (int i = 0; i < control->ControlCount(); ++i) {
        TControl* child = control->Controls(i);
        if (dynamic_cast<TGraphicControl*>(child) || child->InState(csDestroying)) continue;
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed) child->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdUpdateEnded), 0);
        else if (windowed->HandleAllocated() && windowed->Showing())
            SendSkinCommand(windowed->Handle(), cmdUpdateEnded, 0);
    }
}

void SendEndUpdateToChildWindows(HWND wnd)
{
    for (HWND child = GetTopWindow(wnd); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongA(child, GWL_STYLE) & WS_CHILD) SendSkinCommand(child, cmdUpdateEnded, 0);
}

namespace {

struct TDirectChildMessage {
    HWND parent;
    TMessage* message;
};

BOOL CALLBACK SendToDirectChild(HWND child, LPARAM data)
{
    const auto* d = reinterpret_cast<const TDirectChildMessage*>(data);
    if (GetParent(child) == d->parent) SendMessageA(child, d->message->Msg, d->message->WParam, d->message->LParam);
    return TRUE;
}

} // namespace

void BroadcastToChildWindows(HWND wnd, TMessage& message)
{
    TDirectChildMessage data{wnd, &message};
    EnumChildWindows(wnd, &SendToDirectChild, reinterpret_cast<LPARAM>(&data));
}

void SendToProvider(TComponent* form, TMessage& message)
{
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* p = dynamic_cast<TsSkinProvider*>(form->Components(i)); p && !p->InState(csDestroying)) {
            p->EmptyHandler(message);
            return;
        }
}

TForm* GetOwnerForm(TComponent* component)
{
    for (TComponent* c = component; c; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
}

UINT TextAlignFlags(const TControl* control, TAlignment alignment)
{
    static const UINT table[] = {DT_LEFT, DT_RIGHT, DT_CENTER}; // taLeftJustify, taRightJustify, taCenter
    const UINT flags = table[alignment == taRightJustify ? 1 : alignment == taCenter ? 2 : 0];
    return control->DrawTextBiDiModeFlags(flags | DT_EXPANDTABS | DT_VCENTER);
}

void GetClientRectInWindow(HWND wnd, RECT& r)
{
    GetClientRect(wnd, &r);
    RECT window;
    GetWindowRect(wnd, &window);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&window), 2);
    OffsetRect(&r, -window.left, -window.top);
}

int SumAlignedSizes(const TWinControl* control, TAlign align, bool includeGraphic)
{
    int sum = 0;
    for (int i = 0; i < control->ControlCount(); ++i) {
        const TControl* c = control->Controls(i);
        if (!c->Visible() || c->Align() != align) continue;
        if (!includeGraphic && !dynamic_cast<const TWinControl*>(c)) continue;
        if (align == alTop || align == alBottom) sum += c->Height();
        else if (align == alLeft || align == alRight) sum += c->Width();
    }
    return sum;
}

HWND GetTopParentWindow(HWND wnd)
{
    for (HWND parent = GetParent(wnd); parent; parent = GetParent(wnd))
        wnd = parent;
    return wnd;
}

void GetCursorPosition(POINT& p) { GetCursorPos(&p); }

bool HasWindowRegion(HWND wnd, HRGN rgn)
{
    // EqualRgn may call equal areas different: the XOR of the two is empty exactly then.
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    bool same = GetWindowRgn(wnd, current) != ERROR;
    if (same) same = CombineRgn(current, current, rgn, RGN_XOR) == NULLREGION;
    DeleteObject(current);
    return same;
}

bool SetWindowRgnIfChanged(HWND wnd, HRGN rgn, BOOL redraw)
{
    if (rgn && HasWindowRegion(wnd, rgn)) {
        DeleteObject(rgn);
        return false;
    }
    SetWindowRgn(wnd, rgn, redraw);
    return true;
}

namespace {

// Bring up to date without repainting (an aligned graphic child of an MDI main form, before the
// form's image gets it).
constexpr WORD cmdUpdateQuietly = 18;

bool paintingControls = false;

// Set for one call of PaintControls, cleared on every way out.
class TPaintingControls {
public:
    TPaintingControls() { paintingControls = true; }
    ~TPaintingControls() { paintingControls = false; }
    TPaintingControls(const TPaintingControls&) = delete;
    TPaintingControls& operator=(const TPaintingControls&) = delete;
};

bool GraphicChildNeedsPaint(TControl* child, HDC dc, TPoint offset)
{
    if (!dynamic_cast<TGraphicControl*>(child) || !child->Visible()) return false;
    if (child->Width() < 1 || child->Height() < 1) return false;
    if ((child->ControlStyle() & csNoDesignVisible) || child->InState(csDestroying)) return false;
    RECT r = child->BoundsRect();
    OffsetRect(&r, offset.X, offset.Y);
    return RectVisible(dc, &r) != FALSE;
}

// The child's rectangle of the memory bitmap made ready for it: its own colour when it is
// opaque, else the container's background there.
void PrepareChildBackground(HDC mem, TControl* child, const TsBackgroundInfo& background)
{
    const TRect r{child->Left(), child->Top(), child->Left() + child->Width(), child->Top() + child->Height()};
    if (child->ControlStyle() & csOpaque) FillDC(mem, r, AskControlColor(child));
    else if (background.BgType != btFill && background.Bmp)
        BitBlt(mem, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, background.Bmp->Canvas().Handle(),
               child->Left() + background.Offset.X, child->Top() + background.Offset.Y, SRCCOPY);
    else FillDC(mem, r, background.Color);
}

void PaintChild(HDC mem, TControl* child, const TWinControl* container)
{
    TSavedDC saved(mem);
    POINT origin;
    GetWindowOrgEx(mem, &origin);
    SetWindowOrgEx(mem, origin.x - child->Left(), origin.y - child->Top(), nullptr);
    IntersectClipRect(mem, 0, 0, child->Width(), child->Height());
    const bool copy = (container->ControlState() & csPaintCopy) != 0;
    if (copy) child->SetControlState(csPaintCopy);
    try {
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    } catch (...) {
        if (copy) child->ClearControlState(csPaintCopy);
        throw;
    }
    if (copy) child->ClearControlState(csPaintCopy);
}

} // namespace

void PaintControls(HDC dc, TWinControl* control, TPoint offset)
{
    if (paintingControls) return;
    TPaintingControls running;
    if (!control->Visible() || control->ControlCount() == 0) return;
    RECT clip;
    if (GetClipBox(dc, &clip) == NULLREGION || clip.right == clip.left || clip.bottom == clip.top) {
        if (control->HandleAllocated()) SendSkinCommand(control->Handle(), cmdSetPartlyHidden, 0);
        return;
    }
    TsBackgroundInfo background;
    GetParentBackground(control, background, false);
    // An MDI main form's aligned graphic children are brought up to date first.
    auto* form = dynamic_cast<TForm*>(control);
    const bool mdiMain = form && form->FormStyle() == fsMDIForm;
    std::vector<TControl*> children;
    for (int i = 0; i < control->ControlCount(); ++i) {
        TControl* child = control->Controls(i);
        if (!GraphicChildNeedsPaint(child, dc, offset)) continue;
        if (mdiMain && child->Align() != alNone) child->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdUpdateQuietly), 0);
        children.push_back(child);
    }
    if (children.empty()) return;

    const TWindowDC screen(nullptr);
    TBitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), control->Width(), control->Height()));
    TMemDC mem(CreateCompatibleDC(screen.get()));
    if (!bitmap || !mem) return;
    TSelectGuard selected(mem.get(), bitmap.get());
    for (TControl* child : children)
        PrepareChildBackground(mem.get(), child, background);
    for (TControl* child : children)
        PaintChild(mem.get(), child, control);
    for (TControl* child : children) {
        // A child that leaves its top-left pixel transparent is not copied at all.
        if (GetPixel(mem.get(), child->Left(), child->Top()) == clFuchsia) continue;
        BitBlt(dc, child->Left() + offset.X, child->Top() + offset.Y, child->Width(), child->Height(), mem.get(),
               child->Left(), child->Top(), SRCCOPY);
    }
}

bool AnimationRunning = false;

TSetWindowThemeProc SetWindowThemeProc = nullptr;

namespace {

using TIsAppThemed = BOOL(WINAPI*)();

struct TThemeLibrary {
    int starts = 0;
    TLibraryHandle library;
    TIsAppThemed isAppThemed = nullptr;
} uxtheme;

} // namespace

HRESULT CallSetWindowTheme(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList)
{
    return SetWindowThemeProc ? SetWindowThemeProc(wnd, subAppName, subIdList) : E_NOTIMPL;
}

bool ThemesEnabled() { return uxtheme.isAppThemed && uxtheme.isAppThemed(); }

void VclUtilsStart()
{
    if (uxtheme.starts++ > 0) return;
    uxtheme.library.reset(LoadLibraryA("UXTHEME"));
    if (!uxtheme.library) return;
    SetWindowThemeProc = reinterpret_cast<TSetWindowThemeProc>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme.library.get(), "SetWindowTheme")));
    uxtheme.isAppThemed =
        reinterpret_cast<TIsAppThemed>(reinterpret_cast<void*>(GetProcAddress(uxtheme.library.get(), "IsAppThemed")));
}

void VclUtilsEnd()
{
    if (uxtheme.starts == 0 || --uxtheme.starts > 0) return;
    AnimationsEnd();
    SetWindowThemeProc = nullptr;
    uxtheme.isAppThemed = nullptr;
    uxtheme.library.reset();
}

HWND AnimationWindow = nullptr;
bool SkinChangingFlag = false;
bool SkipGraphicChildren = false;

