#include "skin/windows/vxBorderForm.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxDialogWnd.h"

namespace {

int borderForms = 0;

bool InsideRect(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The sizing code of a point on the band of width (l, t, r, b) inside a w x h rectangle; 0 off it.
int SizingCode(POINT p, int w, int h, int l, int t, int r, int b)
{
    const bool left = p.x < l, right = p.x >= w - r, top = p.y < t, bottom = p.y >= h - b;
    if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    return 0;
}

} // namespace

int BorderFormCount() { return borderForms; }

TvxBorderForm::TvxBorderForm(TsSkinProvider& owner) : provider_(&owner)
{
    form_ = NewHelperForm(
        WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_LAYERED,
        [this](TMessage& m, const TWndMethod& inherited) { WindowProc(m, inherited); }, &hookId_);
    ++borderForms;
}

TvxBorderForm::TvxBorderForm(TvxDialogWnd& owner) : dialog_(&owner)
{
    form_ = NewHelperForm(
        WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_LAYERED,
        [this](TMessage& m, const TWndMethod& inherited) { WindowProc(m, inherited); }, &hookId_);
    ++borderForms;
}

TvxBorderForm::~TvxBorderForm()
{
    --borderForms;
    TForm* form = std::exchange(form_, nullptr);
    form->UnhookWindowProc(hookId_);
    form->Free();
}

HWND TvxBorderForm::Handle() const { return form_ ? form_->Handle() : nullptr; }

HWND TvxBorderForm::ParentHandle() const
{
    if (dialog_) return dialog_->Destroyed ? nullptr : dialog_->CtrlHandle;
    return provider_->Form()->HandleAllocated() ? provider_->Form()->Handle() : nullptr;
}

// ---- the owner switches

TsSkinManager* TvxBorderForm::Manager() const { return dialog_ ? dialog_->Manager() : provider_->SkinManager(); }

TBitmap* TvxBorderForm::OwnerImage()
{
    if (dialog_) return dialog_->Image();
    provider_->PaintAll();
    return provider_->FormImage();
}

bool TvxBorderForm::OwnerActive() const { return dialog_ ? dialog_->Active : provider_->FormActive(); }

const std::vector<TRect>& TvxBorderForm::OwnerRegionParts() const
{
    return dialog_ ? dialog_->RgnParts : provider_->RegionParts();
}

int TvxBorderForm::OwnerHitTest(POINT screen)
{
    if (!dialog_) return provider_->HitTest(screen);
    RECT r{};
    GetWindowRect(dialog_->CtrlHandle, &r);
    return dialog_->CaptionHit(POINT{screen.x - r.left, screen.y - r.top});
}

void TvxBorderForm::SetOwnerHotButton(int code)
{
    if (dialog_) dialog_->SetHotButton(code, true);
    else provider_->SetHotButton(code, true);
}

bool TvxBorderForm::OwnerMayUpdate() const
{
    if (dialog_) return !dialog_->Destroyed && dialog_->CtrlHandle && IsWindow(dialog_->CtrlHandle);
    TForm* form = provider_->Form();
    if (!form->HandleAllocated() || provider_->InAnimation()) return false;
    if ((provider_->SkinData().CtrlFlags & cfInUpdate) || provider_->SkinData().Updating ||
        !provider_->DrawNonClientArea() || provider_->Locked())
        return false;
    return !form->InState(csDestroying) && !provider_->InState(csDestroying);
}

int TvxBorderForm::LeftMargin() const { return Manager() ? Manager()->ShadowMargins()[0] : 0; }
int TvxBorderForm::TopMargin() const { return Manager() ? Manager()->ShadowMargins()[1] : 0; }
int TvxBorderForm::RightMargin() const { return Manager() ? Manager()->ShadowMargins()[2] : 0; }
int TvxBorderForm::BottomMargin() const { return Manager() ? Manager()->ShadowMargins()[3] : 0; }

// ---- the image and the place

void TvxBorderForm::RepaintImage()
{
    TsSkinManager* m = Manager();
    TBitmap* formImage = OwnerImage();
    if (!m || !formImage || formImage->Width() == 0) return;
    const int fw = formImage->Width(), fh = formImage->Height();
    const int l = LeftMargin(), t = TopMargin();
    const int w = fw + l + RightMargin(), h = fh + t + BottomMargin();
    if (!image_ || image_->Width() != w || image_->Height() != h) image_ = CreateBmp32(w, h);
    ClearBitmap32(*image_);
    TBitmap* shadow = OwnerActive() || !m->ShadowInactive() ? m->ShadowActive() : m->ShadowInactive();
    if (shadow && shadow->Width() > 0) {
        const int offset = m->SkinData.FormOffset;
        const TsBorderWidths widths{l + offset, t + offset, RightMargin() + offset, BottomMargin() + offset};
        CopyImageWithBorders(image_.get(), TRect{0, 0, w, h}, shadow, TRect{0, 0, shadow->Width(), shadow->Height()},
                             widths, widths, false);
    }
    // The shadow under the transparent corners of the form's outline stays: those parts are
    // kept aside, one below the other in a strip, and put back over the form's image.
    const std::vector<TRect>& parts = OwnerRegionParts();
    int keptWidth = 0, keptHeight = 0;
    for (const TRect& r : parts) {
        keptWidth = std::max(keptWidth, static_cast<int>(r.Right - r.Left));
        keptHeight += std::max(0, static_cast<int>(r.Bottom - r.Top));
    }
    std::unique_ptr<TBitmap> kept;
    if (keptWidth > 0 && keptHeight > 0) kept = CreateBmp32(keptWidth, keptHeight);
    const auto moveParts = [&](bool back) {
        int y = 0;
        for (const TRect& r : parts) {
            const int pw = r.Right - r.Left, ph = std::max(0, static_cast<int>(r.Bottom - r.Top));
            if (back)
                BitBlt(image_->Canvas().Handle(), r.Left + l, r.Top + t, pw, ph, kept->Canvas().Handle(), 0, y,
                       SRCCOPY);
            else
                BitBlt(kept->Canvas().Handle(), 0, y, pw, ph, image_->Canvas().Handle(), r.Left + l, r.Top + t,
                       SRCCOPY);
            y += ph;
        }
    };
    if (kept) moveParts(false);
    BitBlt(image_->Canvas().Handle(), l, t, fw, fh, formImage->Canvas().Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    SetAlphaChannel(image_.get(), TRect{l, t, l + fw, t + fh}, 255);
    if (kept) moveParts(true);
    // The client part stays clear: the window manager may stack the border above its form, and
    // Wine cuts layered windows by their alpha, not by their region, so an opaque copy there
    // would hide the form's controls behind a picture of its background.
    const RECT c = ClientInBorder();
    PatBlt(image_->Canvas().Handle(), c.left, c.top, c.right - c.left, c.bottom - c.top, BLACKNESS);
    GdiFlush();
    SetAlphaChannel(image_.get(), TRect{c.left, c.top, c.right, c.bottom}, 0);
    GdiFlush();
}

RECT TvxBorderForm::ClientInBorder() const
{
    const HWND owner = ParentHandle();
    RECT window{}, client{};
    GetWindowRect(owner, &window);
    GetClientRect(owner, &client);
    MapWindowPoints(owner, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, LeftMargin() - window.left, TopMargin() - window.top);
    return client;
}

HRGN TvxBorderForm::MakeRgn() const
{
    const HWND owner = ParentHandle(), wnd = Handle();
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HRGN rgn = nullptr;
    if (owner && IsZoomed(owner)) {
        const int b = FrameWidth(owner, nullptr, false);
        rgn = CreateRectRgn(LeftMargin() + b, TopMargin() + b, w - b - RightMargin(), h - b - BottomMargin());
    } else {
        rgn = CreateRectRgn(0, 0, w, h);
    }
    if (owner) {
        const RECT c = ClientInBorder();
        HRGN client = CreateRectRgn(c.left, c.top, c.right, c.bottom);
        CombineRgn(rgn, rgn, client, RGN_DIFF);
        DeleteObject(client);
    }
    return rgn;
}

bool TvxBorderForm::ShownAlready(BYTE alpha, POINT at)
{
    // A hash of the pixels stands for them: a copy of each border's image would be megabytes.
    const int w = image_->Width(), h = image_->Height();
    const size_t row = static_cast<size_t>(w) * 4;
    std::uint64_t hash = 1469598103934665603ull ^ alpha;
    for (int y = 0; y < h; ++y) {
        const auto* bytes = static_cast<const std::uint8_t*>(image_->ScanLine(y));
        size_t i = 0;
        for (std::uint64_t word; i + 8 <= row; i += 8) {
            std::memcpy(&word, bytes + i, 8);
            hash = (hash ^ word) * 1099511628211ull;
            hash ^= hash >> 29;
        }
        for (; i < row; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    const bool same = shownValid_ && shownWidth_ == w && shownHeight_ == h && shownAt_.x == at.x &&
                      shownAt_.y == at.y && shownFrames_ == AnimationFrameCount() && shownHash_ == hash;
    shownValid_ = true;
    shownHash_ = hash;
    shownWidth_ = w;
    shownHeight_ = h;
    shownAt_ = at;
    shownFrames_ = AnimationFrameCount();
    return same;
}

void TvxBorderForm::UpdateExBorderPos(bool repaint, BYTE alpha)
{
    if (!form_ || inUpdate_ || (Application && Application->Terminated()) || AnimationRunning || !OwnerMayUpdate())
        return;
    const HWND owner = ParentHandle(), wnd = Handle();
    RECT ownerRect{};
    if (!owner || !GetWindowRect(owner, &ownerRect)) return;
    if (!IsWindowVisible(owner)) {
        ShowWindow(wnd, SW_HIDE);
        shownValid_ = false;
        return;
    }
    inUpdate_ = true;
    // The owner's frame is painted again on every update (a provider's image follows its state).
    (void)repaint;
    RepaintImage();
    if (!image_) {
        inUpdate_ = false;
        return;
    }
    int w = image_->Width(), h = image_->Height();
    // The border window takes the owner's place in the z order, just behind it; it shares the
    // form's owner window, so that the system keeps it above that owner with the form.
    const HWND ownerOwner = GetWindow(owner, GW_OWNER);
    if (reinterpret_cast<HWND>(GetWindowLongPtrA(wnd, GWLP_HWNDPARENT)) != ownerOwner)
        SetWindowLongPtrA(wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerOwner));
    const bool topmost = (GetWindowLongPtrA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost != ((GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0))
        SetWindowPos(wnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const HWND after = IsIconic(owner) ? GetWindow(owner, GW_HWNDPREV) : owner;
    const int x = ownerRect.left - LeftMargin(), y = ownerRect.top - TopMargin();
    const bool zoomed = IsZoomed(owner) != 0;
    if (zoomed) h -= BottomMargin() + FrameWidth(owner, nullptr, false);
    const UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
    // A border that lies in its place already, right behind its form, is not moved again.
    RECT now{};
    GetWindowRect(wnd, &now);
    const bool placed = now.left == x && now.top == y && now.right - now.left == w && now.bottom - now.top == h;
    const bool behind = GetWindow(after, GW_HWNDNEXT) == wnd;
    if (!placed || !behind) SetWindowPos(wnd, after, x, y, w, h, flags | (behind ? SWP_NOZORDER : 0));
    const TUpdateLayeredWindowProc update = UpdateLayeredWindowEntry();
    if (!update || rgnSetting_) {
        inUpdate_ = false;
        return;
    }
    const LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if ((ex & (WS_EX_LAYERED | WS_EX_NOACTIVATE)) != (WS_EX_LAYERED | WS_EX_NOACTIVATE))
        SetWindowLongPtrA(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED | WS_EX_NOACTIVATE);
    // Under Wine each new region and each new image is a round trip to the X server: the same
    // ones again (an activation or a paint of the owner repeats them) are not given. A moved
    // window is given its image again: Wine does not carry a layered window's picture along.
    SetWindowRgnIfChanged(wnd, MakeRgn(), FALSE);
    TForm* form = provider_ ? provider_->Form() : nullptr;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, form && form->AlphaBlend() ? static_cast<BYTE>(form->AlphaBlendValue()) : alpha,
                        AC_SRC_ALPHA};
    if (!ShownAlready(blend.SourceConstantAlpha, POINT{x, y}) || !IsWindowVisible(wnd)) {
        const TWindowDC screen(nullptr);
        SIZE size{w, h};
        POINT source{0, 0};
        update(wnd, screen.get(), nullptr, &size, image_->Canvas().Handle(), &source, 0, &blend, ULW_ALPHA);
    }
    if (!IsWindowVisible(wnd)) {
        // Shown windows come to the top: back behind the owner.
        ShowWindow(wnd, SW_SHOWNOACTIVATE);
        SetWindowPos(wnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | flags);
    }
    inUpdate_ = false;
}

bool TvxBorderForm::PointOverForm(POINT screen)
{
    TsSkinManager* m = Manager();
    const HWND owner = ParentHandle();
    if (!owner || IsZoomed(owner) || !m || !m->Active() || (Application && Application->Terminated())) return false;
    RECT r{};
    GetWindowRect(owner, &r);
    if (!InsideRect(r, screen)) return false;
    SetOwnerHotButton(0);
    return true;
}

int TvxBorderForm::HitTest(POINT screen)
{
    const HWND owner = ParentHandle();
    if (!owner || !IsWindowEnabled(owner)) return -1;
    RECT ownerRect{}, r{};
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(Handle(), &r);
    if (InsideRect(ownerRect, screen)) {
        const int code = OwnerHitTest(screen);
        return code == HTCLIENT || code == HTNOWHERE ? -1 : code;
    }
    if (!IsZoomed(owner) && (GetWindowLongPtrA(owner, GWL_STYLE) & WS_THICKFRAME)) {
        const int b = FrameWidth(owner, nullptr, false);
        const POINT p{screen.x - r.left, screen.y - r.top};
        const int code = SizingCode(p, r.right - r.left, r.bottom - r.top, LeftMargin() + b, TopMargin() + b,
                                    RightMargin() + b, BottomMargin() + b);
        SetOwnerHotButton(0);
        if (code) return code;
    }
    SetOwnerHotButton(0);
    return -1;
}

bool TvxBorderForm::SetCursorForHit()
{
    POINT p{};
    GetCursorPos(&p);
    if (PointOverForm(p)) return false;
    LPCSTR cursor = nullptr;
    switch (HitTest(p)) {
    case HTCAPTION:
    case HTMENU:
        cursor = IDC_ARROW;
        break;
    case HTLEFT:
    case HTRIGHT:
        cursor = IDC_SIZEWE;
        break;
    case HTTOP:
    case HTBOTTOM:
        cursor = IDC_SIZENS;
        break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        cursor = IDC_SIZENWSE;
        break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        cursor = IDC_SIZENESW;
        break;
    default:
        return false;
    }
    SetCursor(LoadCursorA(nullptr, cursor));
    return true;
}

void TvxBorderForm::PassMouseMessage(TMessage& m)
{
    const HWND wnd = Handle(), owner = ParentHandle();
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    ClientToScreen(wnd, &p);
    rgnSetting_ = true;
    // A one-pixel hole at the point lets WindowFromPoint look through the border window.
    HRGN rgn = MakeRgn();
    RECT r{};
    GetWindowRect(wnd, &r);
    HRGN hole = CreateRectRgn(p.x - r.left, p.y - r.top, p.x - r.left + 1, p.y - r.top + 1);
    CombineRgn(rgn, rgn, hole, RGN_DIFF);
    DeleteObject(hole);
    SetWindowRgn(wnd, rgn, FALSE);
    const HWND target = WindowFromPoint(p);
    if (target && target != wnd && target != owner) {
        POINT q = p;
        ScreenToClient(target, &q);
        SendMessageA(target, m.Msg, m.WParam, MAKELPARAM(q.x, q.y));
    }
    SetWindowRgn(wnd, MakeRgn(), FALSE);
    rgnSetting_ = false;
}

void TvxBorderForm::WindowProc(TMessage& m, const TWndMethod& inherited)
{
    const HWND owner = ParentHandle();
    const auto screenPoint = [&m] { return POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}; };
    if (m.Msg >= WM_MOUSEMOVE && m.Msg <= WM_MBUTTONDBLCLK) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ClientToScreen(Handle(), &p);
        if (PointOverForm(p)) PassMouseMessage(m);
        else inherited(m);
        return;
    }
    switch (m.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
        if (owner && !PointOverForm(screenPoint())) SendMessageA(owner, m.Msg, static_cast<WPARAM>(-1), m.LParam);
        return;
    case WM_NCRBUTTONDOWN:
        if (owner && !PointOverForm(screenPoint()))
            SendMessageA(owner, m.Msg, static_cast<WPARAM>(HitTest(screenPoint())), m.LParam);
        return;
    case WM_NCLBUTTONDBLCLK:
        if (!owner) return;
        switch (HitTest(screenPoint())) {
        case HTCAPTION:
            SendMessageA(owner, WM_SYSCOMMAND, IsZoomed(owner) || IsIconic(owner) ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (provider_) provider_->StopButtonAnimations();
            break;
        case HTSYSMENU:
            SendMessageA(owner, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        default:
            break;
        }
        return;
    case WM_NCHITTEST:
        if (PointOverForm(screenPoint())) {
            inherited(m);
            m.Result = HTTRANSPARENT;
        } else {
            m.Result = HTOBJECT;
        }
        return;
    case WM_MOUSEACTIVATE:
        m.Result = MA_NOACTIVATE;
        if (owner) SetForegroundWindow(owner);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    case WM_SETCURSOR:
        if (SetCursorForHit()) m.Result = 1;
        else inherited(m);
        return;
    case WM_WINDOWPOSCHANGED:
        inherited(m);
        if (!rgnSetting_) UpdateExBorderPos(true, 255);
        return;
    default:
        inherited(m);
        return;
    }
}
