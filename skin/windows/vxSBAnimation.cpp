#include "skin/windows/vxSBAnimation.h"

#include <algorithm>
#include <string>
#include <utility>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/vxDialogWnd.h"

namespace {

int animationWindows = 0;

// An animation window lets the mouse through to the title below it.
void AnimationWindowProc(TMessage& m, const TWndMethod& inherited)
{
    if (m.Msg == WM_NCHITTEST) {
        m.Result = HTTRANSPARENT;
        return;
    }
    inherited(m);
}

// The glow image of a hot minimise, maximise or close button ("GLOBALINFO", the button's image
// name with "GLOW0") and the button's glow margin; -1 when the manager does not glow or the skin
// has none.
int GlowMaskOf(const TsSkinManager* m, const TvxAnimatedButton& b, int& margin)
{
    margin = 0;
    if (!m || !m->AllowGlowing() || !m->IsValidImgIndex(b.ImageIndex)) return -1;
    if (b.HitCode != HTCLOSE && b.HitCode != HTMAXBUTTON && b.HitCode != HTMINBUTTON) return -1;
    const std::string name = m->MaskData[static_cast<size_t>(b.ImageIndex)].PropertyName + "GLOW0";
    const int mask = m->GetMaskIndexByName("GLOBALINFO", name);
    if (mask < 0) return -1;
    margin = b.HitCode == HTCLOSE       ? m->SkinData.BICloseGlowMargin
             : b.HitCode == HTMAXBUTTON ? m->SkinData.BIMaxGlowMargin
                                        : m->SkinData.BIMinGlowMargin;
    return mask;
}

} // namespace

int TitleAnimationWindowCount() { return animationWindows; }

TvxSBAnimation::TvxSBAnimation(TsSkinProvider& provider, TForm* form, int iterations)
    : TTimer(nullptr), Iterations(std::max(1, iterations)), provider_(&provider), form_(form)
{
    SetEnabled(false);
    SetInterval(12);
    OnTimer = [this](TObject*) { Tick(); };
}

TvxSBAnimation::TvxSBAnimation(TvxDialogWnd& dialog, int iterations)
    : TTimer(nullptr), Iterations(std::max(1, iterations)), dialog_(&dialog)
{
    SetEnabled(false);
    SetInterval(12);
    OnTimer = [this](TObject*) { Tick(); };
}

HWND TvxSBAnimation::OwnerWindow() const
{
    if (dialog_) return dialog_->Destroyed || !IsWindow(dialog_->CtrlHandle) ? nullptr : dialog_->CtrlHandle;
    return form_->HandleAllocated() ? form_->Handle() : nullptr;
}

TsSkinManager* TvxSBAnimation::OwnerManager() const { return dialog_ ? dialog_->Manager() : provider_->SkinManager(); }

TBitmap* TvxSBAnimation::OwnerButtonImage()
{
    if (dialog_) {
        // The dialog's image is painted whole, each button in its state.
        dialog_->SkinData->BGChanged = true;
        return dialog_->Image();
    }
    TsCaptionButton* b = provider_->ButtonByCode(Button.HitCode);
    if (!b) return nullptr;
    provider_->PaintButtonImage(*b);
    return provider_->FormImage();
}

TvxSBAnimation::~TvxSBAnimation()
{
    SetEnabled(false);
    FreeWindow();
}

void TvxSBAnimation::FreeWindow()
{
    image_.reset();
    imageState_ = -1;
    imageMargin_ = 0;
    if (!window_) return;
    --animationWindows;
    std::exchange(window_, nullptr)->Free();
}

void TvxSBAnimation::ChangeState(int newState, bool fadeIn)
{
    if (newState == State) return;
    holding_ = false;
    if (newState != 0) {
        if (newState == 2) FreeWindow();
        State = newState;
        Step = 1;
        FadeIn = fadeIn;
        Frame(std::min(StepAlpha(), 255));
        ++Step;
        SetEnabled(Iterations > 1);
        return;
    }
    State = 0;
    FadeIn = false;
    if (Iterations <= 1) {
        // One frame: the normal state at once, nothing left to fade.
        SetEnabled(false);
        State = -1;
        FreeWindow();
        return;
    }
    Step = std::max(0, std::min(Step, Iterations) - 1);
    Frame(std::clamp(StepAlpha() * Step, 0, 255));
    SetEnabled(true);
}

void TvxSBAnimation::Tick()
{
    if (FadeIn) {
        if (!holding_ && Step < Iterations) {
            Frame(std::clamp(StepAlpha() * Step, 0, 255));
            ++Step;
            return;
        }
        if (!holding_) {
            holding_ = true;
            Frame(255);
        }
        // Faded in: the mouse leaving the button ends the hot state.
        POINT p{};
        GetCursorPos(&p);
        RECT w{};
        const HWND owner = OwnerWindow();
        if (!owner) return;
        GetWindowRect(owner, &w);
        const RECT& r = Button.Rect;
        const bool inside =
            p.x >= w.left + r.left && p.x < w.left + r.right && p.y >= w.top + r.top && p.y < w.top + r.bottom;
        if (!inside) {
            SetEnabled(false);
            SendMessageA(owner, WM_MOUSELEAVE, 0, 0);
        }
        return;
    }
    if (--Step > 0) {
        Frame(std::clamp(StepAlpha() * Step, 0, 255));
        return;
    }
    SetEnabled(false);
    State = -1;
    Frame(0);
    FreeWindow();
}

void TvxSBAnimation::Frame(int alpha)
{
    const TUpdateLayeredWindowProc update = UpdateLayeredWindowEntry();
    const HWND owner = OwnerWindow();
    if (!update || !owner) return;
    const int w = Button.Rect.right - Button.Rect.left, h = Button.Rect.bottom - Button.Rect.top;
    if (w <= 0 || h <= 0) return;
    // The image of a state: the button as the title paints it (the normal state keeps the image
    // it fades out). A hot button with a glow image in the skin lies inside its glow, the image
    // (and the window) grown by the glow margin on every side.
    if (!image_ || (State > 0 && imageState_ != State)) {
        TBitmap* source = OwnerButtonImage();
        if (!source || source->Width() < Button.Rect.right || source->Height() < Button.Rect.bottom) return;
        const TsSkinManager* m = OwnerManager();
        int margin = 0;
        const int glow = State == 1 ? GlowMaskOf(m, Button, margin) : -1;
        image_ = CreateBmp32(w + 2 * margin, h + 2 * margin);
        ClearBitmap32(*image_);
        if (glow >= 0) DrawBorderMask(image_.get(), TRect{0, 0, w + 2 * margin, h + 2 * margin}, 0, m, glow);
        BitBlt(image_->Canvas().Handle(), margin, margin, w, h, source->Canvas().Handle(), Button.Rect.left,
               Button.Rect.top, SRCCOPY);
        GdiFlush();
        SetAlphaChannel(image_.get(), TRect{margin, margin, margin + w, margin + h}, 255);
        imageState_ = State;
        imageMargin_ = margin;
    }
    if (!window_) {
        window_ = NewHelperForm(WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW,
                                &AnimationWindowProc);
        ++animationWindows;
        const HWND wnd = window_->Handle();
        SetWindowLongPtrA(wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    const HWND wnd = window_->Handle();
    RECT r{};
    GetWindowRect(owner, &r);
    const int iw = image_->Width(), ih = image_->Height();
    SetWindowPos(wnd, HWND_TOP, r.left + Button.Rect.left - imageMargin_, r.top + Button.Rect.top - imageMargin_, iw,
                 ih, SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    {
        const TWindowDC screen(nullptr);
        SIZE size{iw, ih};
        POINT source{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
        update(wnd, screen.get(), nullptr, &size, image_->Canvas().Handle(), &source, 0, &blend, ULW_ALPHA);
    }
    if (!IsWindowVisible(wnd)) ShowWindow(wnd, SW_SHOWNOACTIVATE);
}

void AnimateTitleButton(TvxSBAnimation*& animation, TsSkinProvider& provider, TForm* form,
                        const TvxAnimatedButton& button, int state, int steps)
{
    if (!animation) animation = new TvxSBAnimation(provider, form, steps);
    animation->Button = button;
    animation->Iterations = std::max(1, steps);
    animation->ChangeState(state, state != 0);
}

void AnimateTitleButton(TvxSBAnimation*& animation, TvxDialogWnd& dialog, const TvxAnimatedButton& button, int state,
                        int steps)
{
    if (!animation) animation = new TvxSBAnimation(dialog, steps);
    animation->Button = button;
    animation->Iterations = std::max(1, steps);
    animation->ChangeState(state, state != 0);
}
