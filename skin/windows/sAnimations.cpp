#include "skin/windows/sAnimations.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxBorderForm.h"
#include "skin/windows/vxDialogWnd.h"
#include "skin/windows/vxGlow.h"

namespace {

TvxHideTimer* hideTimer = nullptr;
// The fallback's output window and the screen copy under it.
TOutputWindow* outputWindow = nullptr;
std::unique_ptr<TBitmap> screenCopy;

std::unique_ptr<TBitmap> CopyOf32(TBitmap& source)
{
    auto copy = CreateBmp32(source.Width(), source.Height());
    BitBlt(copy->Canvas().Handle(), 0, 0, source.Width(), source.Height(), source.Canvas().Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    return copy;
}

unsigned animationFrames = 0;

// The layered window shows bitmap at the constant alpha (per-pixel alpha too).
void ShowLayered(HWND wnd, TBitmap& bitmap, BYTE alpha)
{
    const TUpdateLayeredWindowProc update = UpdateLayeredWindowEntry();
    if (!update) return;
    ++animationFrames;
    GdiFlush();
    const TWindowDC screen(nullptr);
    SIZE size{bitmap.Width(), bitmap.Height()};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    update(wnd, screen.get(), nullptr, &size, bitmap.Canvas().Handle(), &source, 0x1FFFFFFF, &blend, ULW_ALPHA);
}

void MakeLayered(HWND wnd)
{
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
}

void SetCopyWindow(HWND wnd) { AnimationWindow = wnd; }

// The frames of a show: Steps + 1 frames, the alpha rising by finalAlpha / divisor, 10 ms for
// each; atAero grows the image from three quarters of its size. The pause after a frame is what
// is left of its 10 ms once it is drawn (under Wine one layered update takes several ms), so
// that the show lasts about Time ms, as it does where the update is quick.
void RunShowFrames(HWND copy, TBitmap& snapshot, int steps, int finalAlpha, int mode, double divisor)
{
    if (steps <= 0) return;
    const int w = snapshot.Width(), h = snapshot.Height();
    auto frame = CreateBmp32(w, h);
    ClearBitmap32(*frame);
    const HDC dst = frame->Canvas().Handle(), src = snapshot.Canvas().Handle();
    const double step = finalAlpha / divisor;
    double current = 0;
    double l = w / 8.0, t = h / 8.0, r = w - w / 8.0, b = h - h / 8.0;
    const double dx = w / (8.0 * steps), dy = h / (8.0 * steps);
    SetStretchBltMode(dst, COLORONCOLOR);
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i <= steps; ++i) {
        current = std::min(static_cast<double>(finalAlpha), current + step);
        if (mode == atAeroMode) {
            if (l >= 0 && t >= 0) {
                ClearBitmap32(*frame);
                const int x0 = static_cast<int>(std::lround(l)), y0 = static_cast<int>(std::lround(t));
                StretchBlt(dst, x0, y0, static_cast<int>(std::lround(r)) - x0, static_cast<int>(std::lround(b)) - y0,
                           src, 0, 0, w, h, SRCCOPY);
            } else {
                BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
            }
            l -= dx, t -= dy, r += dx, b += dy;
        } else if (i == 0) {
            BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
        }
        ShowLayered(copy, *frame, static_cast<BYTE>(std::lround(current)));
        QueryPerformanceCounter(&now);
        const LONGLONG spent = (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
        const LONGLONG due = 10LL * (i + 1);
        Sleep(due > spent ? static_cast<DWORD>(due - spent) : 0);
    }
}

// The form's snapshot: the provider's image (or the border's, shadow and all) with the form's
// children painted over it; the form's own rectangle opaque.
std::unique_ptr<TBitmap> FormSnapshot(TsSkinProvider& provider)
{
    TForm* form = provider.Form();
    TvxBorderForm* border = provider.BorderForm();
    std::unique_ptr<TBitmap> snapshot;
    int x = 0, y = 0;
    if (border) {
        border->RepaintImage();
        if (!border->Image()) return nullptr;
        snapshot = CopyOf32(*border->Image());
        x = border->LeftMargin();
        y = border->TopMargin();
    } else {
        provider.FlagImageChanged();
        provider.PaintAll();
        TBitmap* image = provider.FormImage();
        if (!image || image->Width() == 0 || image->Height() == 0) return nullptr;
        snapshot = CopyOf32(*image);
    }
    if (!snapshot || snapshot->Width() == 0) return nullptr;
    PaintControlToBitmap(snapshot.get(), form, x, y, &provider);
    GdiFlush();
    TBitmap* image = provider.FormImage();
    const int fw = image ? image->Width() : snapshot->Width(), fh = image ? image->Height() : snapshot->Height();
    SetAlphaChannel(snapshot.get(),
                    border ? TRect{x, y, x + fw, y + fh} : TRect{0, 0, snapshot->Width(), snapshot->Height()}, 255);
    return snapshot;
}

// Without layered windows or a provider: the new image cross-fades over the present screen
// image in the output window.
bool FallbackShow(TControl* control, int steps)
{
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed || !windowed->HandleAllocated()) return false;
    const int w = control->Width(), h = control->Height();
    if (!outputWindow) ShowOutputWindow(control);
    auto image = CreateBmp32(w, h);
    PaintControlToBitmap(image.get(), control, 0, 0, nullptr);
    if (auto* form = dynamic_cast<TForm*>(control))
        if (TsSkinProvider* provider = TsSkinProvider::Of(form); provider && !provider->BorderForm()) {
            provider->PrepareRgnParts();
            SetWindowRgn(outputWindow->Handle(), provider->CreateSkinRgn(0, 0), FALSE);
        }
    const HWND out = outputWindow->Handle();
    HDC dc = GetWindowDC(out);
    if (steps > 0 && screenCopy) {
        auto frame = CreateBmp32(w, h);
        for (int i = 0; i <= steps; ++i) {
            const int weight = std::max(0, 255 - i * (255 / steps));
            BlendAnimationFrame(frame.get(), screenCopy.get(), image.get(), weight);
            GdiFlush();
            BitBlt(dc, 0, 0, w, h, frame->Canvas().Handle(), 0, 0, SRCCOPY);
            if (i < steps) Sleep(10);
        }
    }
    BitBlt(dc, 0, 0, w, h, image->Canvas().Handle(), 0, 0, SRCCOPY);
    AnimationRunning = false;
    const HWND wnd = windowed->Handle();
    if (control->Visible()) {
        SendMessageA(wnd, WM_SETREDRAW, 1, 0);
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
    if (!(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED))
        SetWindowPos(out, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    ReleaseDC(out, dc);
    std::exchange(outputWindow, nullptr)->Free();
    screenCopy.reset();
    return control->Visible();
}

// The show of a snapshot: the copy window placed at (x, y) (above the form's place, or topmost),
// the frames, then the real window redrawn.
void ShowSnapshot(HWND copy, TBitmap& snapshot, HWND form, int x, int y, int steps, int finalAlpha, int mode,
                  double divisor)
{
    const UINT flags = SWP_NOCOPYBITS | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER;
    const bool topmost = (GetWindowLongPtrA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    HWND after = topmost ? HWND_TOPMOST : GetWindow(form, GW_HWNDPREV);
    if (!after || after == copy) after = HWND_TOP;
    SetWindowPos(copy, after, x, y, snapshot.Width(), snapshot.Height(), flags);
    MakeLayered(copy);
    ShowLayered(copy, snapshot, static_cast<BYTE>(steps == 0 ? finalAlpha : 0));
    ShowWindow(copy, SW_SHOWNOACTIVATE);
    RunShowFrames(copy, snapshot, steps, finalAlpha, mode, divisor);
    ShowLayered(copy, snapshot, static_cast<BYTE>(finalAlpha));
}

// A skinned window prints itself; an MDI child's provider prints only the maximised active
// child, so a child's image is copied from its provider (made first when stale).
void PrintSkinned(HDC dc, TWinControl* control)
{
    auto* form = dynamic_cast<TForm*>(control);
    if (TsSkinProvider* provider = form && form->FormStyle() == fsMDIChild ? TsSkinProvider::Of(form) : nullptr) {
        TBitmap* image = provider->FormImage();
        if (!image || image->Empty() || provider->SkinData().BGChanged) provider->PaintAll();
        image = provider->FormImage();
        if (image && !image->Empty()) {
            BitBlt(dc, 0, 0, image->Width(), image->Height(), image->Canvas().Handle(), 0, 0, SRCCOPY);
            return;
        }
    }
    SendMessageA(control->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT);
}

// The visible MDI children of an MDI main form (already painted into bitmap at the DC's origin)
// at their places in its client window, the lowest first, cut to the client window's client area.
void PaintMDIChildren(TBitmap* bitmap, TForm* main)
{
    const HWND client = main->ClientHandle();
    if (!client || !IsWindowVisible(client)) return;
    RECT window{}, area{};
    GetWindowRect(main->Handle(), &window);
    GetClientRect(client, &area);
    MapWindowPoints(client, nullptr, reinterpret_cast<POINT*>(&area), 2);
    OffsetRect(&area, -window.left, -window.top);
    const HDC dc = bitmap->Canvas().Handle();
    const HWND top = GetTopWindow(client);
    for (HWND wnd = top ? GetWindow(top, GW_HWNDLAST) : nullptr; wnd; wnd = GetWindow(wnd, GW_HWNDPREV)) {
        auto* child = dynamic_cast<TForm*>(TWinControl::FromHandle(wnd));
        if (!child || child->FormStyle() != fsMDIChild || !IsWindowVisible(wnd)) continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        PaintControlToBitmap(bitmap, child, area.left + child->Left(), area.top + child->Top(), nullptr);
        RestoreDC(dc, saved);
    }
}

// The dialog's snapshot: its image (inside its border's shadow when it has one) with its
// children printed into the client part; the dialog's own rectangle opaque. origin: where the
// dialog's top-left lies in it.
std::unique_ptr<TBitmap> DialogSnapshot(TvxDialogWnd& dialog, POINT& origin)
{
    const HWND wnd = dialog.CtrlHandle;
    TBitmap* image = dialog.Image();
    if (!image || image->Width() == 0 || image->Height() == 0) return nullptr;
    const int w = image->Width(), h = image->Height();
    const POINT c = dialog.ClientOffset();
    RECT client{};
    GetClientRect(wnd, &client);
    std::unique_ptr<TBitmap> snapshot;
    origin = POINT{0, 0};
    if (TvxBorderForm* border = dialog.BorderForm) {
        // The border's image keeps the shadow under the dialog's corners; its client part
        // (left clear there) is taken from the dialog's image.
        border->RepaintImage();
        if (!border->Image()) return nullptr;
        snapshot = CopyOf32(*border->Image());
        origin = POINT{border->LeftMargin(), border->TopMargin()};
        BitBlt(snapshot->Canvas().Handle(), origin.x + c.x, origin.y + c.y, client.right, client.bottom,
               image->Canvas().Handle(), c.x, c.y, SRCCOPY);
    } else {
        snapshot = CopyOf32(*image);
    }
    if (!snapshot || snapshot->Width() == 0) return nullptr;
    const HDC dc = snapshot->Canvas().Handle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, origin.x + c.x, origin.y + c.y, origin.x + c.x + client.right,
                      origin.y + c.y + client.bottom);
    dialog.PrintChildren(wnd, dc, POINT{origin.x + c.x, origin.y + c.y});
    RestoreDC(dc, saved);
    GdiFlush();
    SetAlphaChannel(snapshot.get(), TRect{origin.x, origin.y, origin.x + w, origin.y + h}, 255);
    return snapshot;
}

} // namespace

unsigned AnimationFrameCount() { return animationFrames; }

int AnimationSteps(int time) { return std::clamp(time, 0, 1000) / 10; }

void ClearBitmap32(TBitmap& bitmap)
{
    const size_t row = static_cast<size_t>(bitmap.Width()) * 4;
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memset(bitmap.ScanLine(y), 0, row);
}

TForm* NewHelperForm(DWORD exStyle, TWinControl::TWndProcHook hook, int* hookId)
{
    auto* form = new TForm(nullptr);
    form->SetTag(-98);
    if (hook) {
        const int id = form->HookWindowProc(std::move(hook));
        if (hookId) *hookId = id;
    }
    form->SetBorderStyle(bsNone);
    try {
        form->InitializeForm();
    } catch (...) {
        form->Free();
        throw;
    }
    const HWND wnd = form->Handle();
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) | static_cast<LONG_PTR>(exStyle));
    return form;
}

TForm* NewCopyWindow() { return NewHelperForm(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE); }

void PaintControlToBitmap(TBitmap* bitmap, TControl* control, int x, int y, TsSkinProvider* provider)
{
    if (!bitmap || !control) return;
    const HDC dc = bitmap->Canvas().Handle();
    auto* windowed = dynamic_cast<TWinControl*>(control);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    if (!provider || !provider->BorderForm()) IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
    if (!windowed) {
        control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    } else if (windowed->HandleAllocated() && SendSkinCommandToControl(control, cmdIsSkinned, 0) != 0) {
        const HWND wnd = windowed->Handle();
        PrintSkinned(dc, windowed);
        // The children at their places in the window (the client area starts at its offset).
        RECT window{};
        GetWindowRect(wnd, &window);
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        const int cx = origin.x - window.left, cy = origin.y - window.top;
        for (int i = 0; i < windowed->ControlCount(); ++i) {
            auto* child = dynamic_cast<TWinControl*>(windowed->Controls(i));
            if (!child || !child->Visible() || !child->HandleAllocated()) continue;
            PaintControlToBitmap(bitmap, child, cx + child->Left(), cy + child->Top(), nullptr);
        }
    } else if (windowed->HandleAllocated()) {
        windowed->PaintTo(dc, 0, 0);
    }
    if (auto* form = dynamic_cast<TForm*>(control); form && form->HandleAllocated() && form->FormStyle() == fsMDIForm)
        PaintMDIChildren(bitmap, form);
    RestoreDC(dc, saved);
}

void ShowOutputWindow(TControl* control)
{
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed || outputWindow) return;
    const HWND wnd = windowed->Handle();
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = control->Width(), h = control->Height();
    screenCopy = CreateBmp32(w, h);
    {
        const TWindowDC screen(nullptr);
        BitBlt(screenCopy->Canvas().Handle(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    }
    outputWindow = new TOutputWindow(control);
    if (TWinControl* parent = control->Parent()) {
        outputWindow->SetParent(parent);
        outputWindow->SetBounds(control->Left(), control->Top(), w, h);
        SetWindowPos(outputWindow->Handle(), GetWindow(wnd, GW_HWNDPREV), 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        ShowWindow(outputWindow->Handle(), SW_SHOWNA);
    } else {
        outputWindow->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        HWND above = GetWindow(wnd, GW_HWNDPREV);
        SetWindowPos(outputWindow->Handle(), above ? above : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

bool AnimShowForm(TForm* form, int time, int finalAlpha, int mode)
{
    if (!form || !form->HandleAllocated() || !form->Visible() || IsIconic(form->Handle())) return false;
    const int steps = AnimationSteps(time);
    finalAlpha = std::clamp(finalAlpha, 0, 255);
    TsSkinProvider* provider = TsSkinProvider::Of(form);
    AnimationRunning = true;
    if (!provider || !provider->IsSkinned() || !LayeredWindowsAvailable() || !UpdateLayeredWindowEntry()) {
        const bool shown = FallbackShow(form, steps);
        AnimationRunning = false;
        return shown;
    }
    if (TvxBorderForm* border = provider->BorderForm()) {
        AnimationRunning = false;
        return AnimShowBorderForm(*border, time, finalAlpha, mode);
    }
    const HWND wnd = form->Handle();
    std::unique_ptr<TBitmap> snapshot = FormSnapshot(*provider);
    if (!snapshot) {
        AnimationRunning = false;
        return false;
    }
    TForm* copy = NewCopyWindow();
    if (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) copy->SetFormStyle(fsStayOnTop);
    SetCopyWindow(copy->Handle());
    RECT r{};
    GetWindowRect(wnd, &r);
    ShowSnapshot(copy->Handle(), *snapshot, wnd, r.left, r.top, steps, finalAlpha, mode, std::max(steps, 1));
    AnimationRunning = false;
    if (form->AlphaBlend()) form->SetAlphaBlendValue(finalAlpha);
    SendMessageA(wnd, WM_SETREDRAW, 1, 0);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    SetCopyWindow(nullptr);
    copy->Free();
    return true;
}

bool AnimShowBorderForm(TvxBorderForm& border, int time, int finalAlpha, int mode)
{
    if (!border.Provider()) return false;
    TsSkinProvider& provider = *border.Provider();
    TForm* form = provider.Form();
    if (!form->HandleAllocated()) return false;
    const HWND wnd = form->Handle(), copy = border.Handle();
    const int steps = AnimationSteps(time);
    AnimationRunning = true;
    std::unique_ptr<TBitmap> snapshot = FormSnapshot(provider);
    if (!snapshot) {
        AnimationRunning = false;
        return false;
    }
    RECT r{};
    GetWindowRect(wnd, &r);
    // The border window carries the animation; it is put above the form's place meanwhile.
    SetWindowRgn(copy, nullptr, FALSE);
    SetCopyWindow(copy);
    ShowSnapshot(copy, *snapshot, wnd, r.left - border.LeftMargin(), r.top - border.TopMargin(), steps,
                 std::clamp(finalAlpha, 0, 255), mode, std::max(steps, 1));
    SetCopyWindow(nullptr);
    AnimationRunning = false;
    provider.SetInAnimation(false);
    if (form->AlphaBlend()) form->SetAlphaBlendValue(finalAlpha);
    SendMessageA(wnd, WM_SETREDRAW, 1, 0);
    UpdateWindow(wnd);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    // Back behind the form, with its region.
    SetWindowPos(copy, wnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    border.UpdateExBorderPos(true, 255);
    return true;
}

void AnimHideForm(TsSkinProvider& provider)
{
    TForm* form = provider.Form();
    ClearGlows();
    if (form->FormStyle() == fsMDIChild || !form->HandleAllocated()) return;
    TsSkinManager* manager = provider.SkinManager();
    if (!manager) return;
    const TvxFormAnimation& hide = manager->AnimEffects().FormHide;
    AnimationRunning = true;
    std::unique_ptr<TBitmap> snapshot;
    if (form->InState(csDestroying)) {
        provider.PaintAll();
        if (TBitmap* image = provider.FormImage(); image && image->Width() > 0) {
            snapshot = CopyOf32(*image);
            SetAlphaChannel(snapshot.get(), TRect{0, 0, snapshot->Width(), snapshot->Height()}, 255);
        }
    } else {
        snapshot = FormSnapshot(provider);
    }
    AnimationRunning = false;
    if (!snapshot) return;
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    int x = r.left, y = r.top;
    if (TvxBorderForm* border = provider.BorderForm()) {
        x -= border->LeftMargin();
        y -= border->TopMargin();
        ShowWindow(border->Handle(), SW_HIDE);
    }
    TForm* copy = NewCopyWindow();
    copy->SetBounds(x, y, snapshot->Width(), snapshot->Height());
    StartHideAnimation(copy, std::move(snapshot), hide.Time, 255, hide.Mode);
}

void StartHideAnimation(TForm* copy, std::unique_ptr<TBitmap> snapshot, int time, int startAlpha, int mode)
{
    if (hideTimer) hideTimer->FreeCopy();
    const int steps = AnimationSteps(time);
    if (steps == 0 || !snapshot || !UpdateLayeredWindowEntry()) {
        if (copy) copy->Free();
        return;
    }
    if (!hideTimer) hideTimer = new TvxHideTimer(nullptr);
    hideTimer->Start(copy, std::move(snapshot), steps, startAlpha, mode);
}

void AnimShowDialog(TvxDialogWnd& dialog, int time, int finalAlpha, int mode)
{
    const HWND wnd = dialog.CtrlHandle;
    if (dialog.Destroyed || !wnd || !LayeredWindowsAvailable() || !UpdateLayeredWindowEntry()) return;
    const int steps = AnimationSteps(time);
    AnimationRunning = true;
    POINT origin{};
    std::unique_ptr<TBitmap> snapshot = DialogSnapshot(dialog, origin);
    if (!snapshot) {
        AnimationRunning = false;
        return;
    }
    // The border window carries the animation when the dialog has one, else a copy window.
    TvxBorderForm* border = dialog.BorderForm;
    TForm* made = nullptr;
    if (!border) {
        made = NewCopyWindow();
        if (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) made->SetFormStyle(fsStayOnTop);
    }
    const HWND copy = border ? border->Handle() : made->Handle();
    if (border) SetWindowRgn(copy, nullptr, FALSE);
    SetCopyWindow(copy);
    RECT r{};
    GetWindowRect(wnd, &r);
    // The dialog's alpha rises by FinalAlpha / (Steps + 1): its last frame is FinalAlpha.
    ShowSnapshot(copy, *snapshot, wnd, r.left - origin.x, r.top - origin.y, steps, std::clamp(finalAlpha, 0, 255), mode,
                 steps + 1.0);
    SetCopyWindow(nullptr);
    // A dialog still being shown (the animation runs while it is told it will be) must not be
    // made visible behind its own show by WM_SETREDRAW.
    const bool visible = IsWindowVisible(wnd) != 0;
    if (visible) SendMessageA(wnd, WM_SETREDRAW, 1, 0);
    AnimationRunning = false;
    if (!border) dialog.RgnChanged = true;
    if (visible) {
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (border) border->UpdateExBorderPos(true, 255);
    }
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    if (made) made->Free();
}

void AnimHideDialog(TvxDialogWnd& dialog)
{
    const HWND wnd = dialog.CtrlHandle;
    TsSkinManager* manager = dialog.Manager();
    if (dialog.Destroyed || !wnd || !manager || !LayeredWindowsAvailable()) return;
    const TvxFormAnimation& hide = manager->AnimEffects().DialogHide;
    ClearGlows();
    POINT origin{};
    std::unique_ptr<TBitmap> snapshot = DialogSnapshot(dialog, origin);
    if (!snapshot) return;
    if (dialog.BorderForm) ShowWindow(dialog.BorderForm->Handle(), SW_HIDE);
    RECT r{};
    GetWindowRect(wnd, &r);
    TForm* copy = NewCopyWindow();
    copy->SetBounds(r.left - origin.x, r.top - origin.y, snapshot->Width(), snapshot->Height());
    StartHideAnimation(copy, std::move(snapshot), hide.Time, 255, hide.Mode);
}

// ---- the output window

TOutputWindow::TOutputWindow(TComponent* owner) : TCustomControl(owner)
{
    SetCaption("vxOutputWindow");
    SetVisible(false);
    SetColor(clPurple);
}

void TOutputWindow::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    if (Parent()) return;
    params.style = WS_POPUP;
    params.menu = nullptr;
    params.parent = Application ? Application->Handle() : nullptr;
    if (auto* owner = dynamic_cast<TWinControl*>(Owner()); owner && owner->HandleAllocated())
        if (GetWindowLongPtrA(owner->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) params.exStyle |= WS_EX_TOPMOST;
}

void TOutputWindow::WndProc(TMessage& m)
{
    if (m.Msg == WM_ERASEBKGND) {
        m.Result = 1;
        return;
    }
    if (m.Msg == WM_NCPAINT) {
        m.Result = 0;
        return;
    }
    TCustomControl::WndProc(m);
}

// ---- the hide timer

TvxHideTimer::TvxHideTimer(TComponent* owner) : TvxThreadedTimer(owner)
{
    SetEnabled(false);
    SetInterval(10);
}

TvxHideTimer::~TvxHideTimer()
{
    SetEnabled(false);
    FreeCopy();
}

void TvxHideTimer::FreeCopy()
{
    SetEnabled(false);
    if (copy_) {
        if (AnimationWindow == copy_->Handle()) SetCopyWindow(nullptr);
        std::exchange(copy_, nullptr)->Free();
    }
    snapshot_.reset();
    frame_.reset();
}

void TvxHideTimer::Start(TForm* copy, std::unique_ptr<TBitmap> snapshot, int steps, int startAlpha, int mode)
{
    FreeCopy();
    copy_ = copy;
    snapshot_ = std::move(snapshot);
    steps_ = steps;
    counter_ = 0;
    mode_ = mode;
    const int w = snapshot_->Width(), h = snapshot_->Height();
    const HWND wnd = copy_->Handle();
    SetCopyWindow(wnd);
    MakeLayered(wnd);
    alpha_ = static_cast<BYTE>(std::clamp(startAlpha / 2, 0, 255));
    ShowLayered(wnd, *snapshot_, alpha_);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    SetWindowPos(wnd, HWND_TOPMOST, copy_->Left(), copy_->Top(), w, h,
                 SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOCOPYBITS);
    frame_ = CreateBmp32(w, h);
    ClearBitmap32(*frame_);
    current_ = startAlpha / 2;
    step_ = startAlpha / (2.0 * steps);
    if (mode == atAeroMode) {
        zl_ = 0, zt_ = 0, zr_ = w, zb_ = h;
        dx_ = -w / (8.0 * steps), dy_ = -h / (8.0 * steps);
    } else {
        zl_ = zt_ = zr_ = zb_ = dx_ = dy_ = 0;
    }
    if (Application && Application->Terminated()) {
        while (copy_) {
            OnStep();
            Sleep(10);
        }
        return;
    }
    SetOnTimer([this](TObject*) { OnStep(); });
    OnStep();
    if (copy_) SetEnabled(true);
}

void TvxHideTimer::DrawStep()
{
    current_ = std::max(0.0, current_ - step_);
    alpha_ = static_cast<BYTE>(std::lround(current_));
    const int w = snapshot_->Width(), h = snapshot_->Height();
    const HDC dst = frame_->Canvas().Handle(), src = snapshot_->Canvas().Handle();
    if (mode_ == atAeroMode) {
        if (zl_ >= 0 && zt_ >= 0) {
            ClearBitmap32(*frame_);
            SetStretchBltMode(dst, COLORONCOLOR);
            const int x0 = static_cast<int>(std::lround(zl_)), y0 = static_cast<int>(std::lround(zt_));
            StretchBlt(dst, x0, y0, static_cast<int>(std::lround(zr_)) - x0, static_cast<int>(std::lround(zb_)) - y0,
                       src, 0, 0, w, h, SRCCOPY);
        } else {
            BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
        }
    } else if (counter_ == 0) {
        BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
    }
    ShowLayered(copy_->Handle(), *frame_, alpha_);
}

void TvxHideTimer::OnStep()
{
    if (!copy_) return;
    if (counter_ > steps_) {
        FreeCopy();
        return;
    }
    DrawStep();
    if (mode_ == atAeroMode) {
        zl_ += std::abs(dx_), zt_ += std::abs(dy_), zr_ -= std::abs(dx_), zb_ -= std::abs(dy_);
    }
    ++counter_;
}

TvxHideTimer* HideTimer() { return hideTimer; }

void AnimationsEnd()
{
    delete std::exchange(hideTimer, nullptr);
    if (outputWindow) std::exchange(outputWindow, nullptr)->Free();
    screenCopy.reset();
}
