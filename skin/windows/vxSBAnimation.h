// TvxSBAnimation: the fade of one title button between its states, in a layered window (Tag -98,
// WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT) laid over the button just above the form.
// Every 12 ms the button's image for the new state is shown at a higher constant alpha:
//
//   hot, 10 frames:   25, 50, ... 250, then 255 while the mouse stays on the button
//   leaving:          back down by 25 a tick; at 0 the window and the image are freed
//   pressed, 1 frame: the new state at once, no timer
//
// A hot minimise, maximise or close button whose skin has a glow image ("GLOBALINFO", the
// button's image name with "GLOW0") fades in inside its glow while the manager allows glowing:
// the window is then grown by the button's glow margin on every side.
//
// The owner is a form's provider or a skinned dialog's adapter (TvxDialogWnd), while it has its
// extended border: it makes one per button on first use (AnimateTitleButton) and frees them all
// when the border goes or the window is hidden or destroyed (StopButtonAnimations).
#pragma once

#include <windows.h>

#include <memory>

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"

class TsSkinManager;
class TsSkinProvider;
class TvxDialogWnd;

// What the animation needs of a title button: its hit code, image, place in the form's image
// (window coordinates) and a user button's glyph.
struct TvxAnimatedButton {
    int HitCode = 0;
    int ImageIndex = -1;
    RECT Rect{};
    TBitmap* Glyph = nullptr;
};

class TvxSBAnimation : public TTimer {
    GUI_CLASS(TvxSBAnimation, TTimer)
    // Interval 12 ms; iterations: the frames of a fade.
    TvxSBAnimation(TsSkinProvider& provider, TForm* form, int iterations);
    TvxSBAnimation(TvxDialogWnd& dialog, int iterations);
    ~TvxSBAnimation() override;

    TvxAnimatedButton Button;
    int Step = 0;
    int State = 0; // 0 normal, 1 hot, 2 pressed, -1 finished
    bool FadeIn = false;
    int Iterations = 10;
    // The animation window while one is shown.
    TForm* Window() const { return window_; }
    // The button goes into a new state (nothing when it is in it already).
    void ChangeState(int newState, bool fadeIn);
    // The alpha added per frame: 255 div Iterations.
    int StepAlpha() const { return Iterations > 0 ? 255 / Iterations : 255; }

private:
    void Tick();
    // One frame at the alpha: the button's image for the state over the title bar below it.
    void Frame(int alpha);
    void FreeWindow();
    // The switches between the two kinds of owner: its window (0 while it has none), manager,
    // and its image with the button painted in its present state.
    HWND OwnerWindow() const;
    TsSkinManager* OwnerManager() const;
    TBitmap* OwnerButtonImage();
    TsSkinProvider* provider_ = nullptr;
    TForm* form_ = nullptr;
    TvxDialogWnd* dialog_ = nullptr;
    TForm* window_ = nullptr;
    std::unique_ptr<TBitmap> image_;
    int imageState_ = -1;
    int imageMargin_ = 0;  // the glow margin the image is grown by
    bool holding_ = false; // faded in, waiting for the mouse to leave
};

// Creates the animation (when there is none) and hands it the button's new state; steps 1
// changes at once.
void AnimateTitleButton(TvxSBAnimation*& animation, TsSkinProvider& provider, TForm* form,
                        const TvxAnimatedButton& button, int state, int steps);
void AnimateTitleButton(TvxSBAnimation*& animation, TvxDialogWnd& dialog, const TvxAnimatedButton& button, int state,
                        int steps);
// Animation windows that exist (tests count them).
int TitleAnimationWindowCount();
