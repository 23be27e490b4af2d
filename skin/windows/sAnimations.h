// The show and hide animations of skinned forms. A form's new image is painted into a 32-bit
// snapshot, shown in a layered copy window (Tag -98, a tool window that never activates) at the
// form's place and faded in (with the mode atAero also grown from three quarters of its size)
// in steps of 10 ms; a hide fades a copy out on the hide timer while the real window is gone
// already. Without layered windows, or for a control without a provider, the new image
// cross-fades over the old screen image in an output window ("vxOutputWindow", a purple popup)
// laid over the control.
//
// Times: Steps = min(Time, 1000) div 10 (a longer Time counts as 1000 ms, so the GUI thread is
// never blocked for longer); Steps 0 shows the final image at once and animates nothing.
//
//   show, Time 200, FinalAlpha 255:  alpha 0 (first image), then 21 frames 13, 26, ... 255
//   hide, Time 100, StartAlpha 255:  alpha 127, then 11 ticks down by 12.75 to 0, copy freed
//
// AnimShowForm (sVclUtils.h) is the entry point for a form (and the engine's skin change);
// AnimationRunning (sVclUtils.h) is set while a show runs and AnimationWindow holds the copy
// window's handle while one exists.
#pragma once

#include <windows.h>

#include <memory>

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "skin/windows/vxThdTimer.h"

class TsSkinProvider;
class TvxBorderForm;
class TvxDialogWnd;

enum : int { atFadingMode = 0, atAeroMode = 1 };

// min(time, 1000) div 10.
int AnimationSteps(int time);

// The layered path of AnimShowForm with the border window as the copy: its image with the
// form's children painted over it is faded in, then the border takes its place again; true
// when the form was redrawn at the end.
bool AnimShowBorderForm(TvxBorderForm& border, int time, int finalAlpha, int mode);
// The form's last image (its border's too) faded out by the hide timer with FormHide's time and
// mode; an MDI child is not animated.
void AnimHideForm(TsSkinProvider& provider);
// A skinned dialog's show: its image with its children printed in (over its border's shadow)
// faded in by its border window, or by a copy window when it has none, in Steps + 1 frames
// rising by FinalAlpha / (Steps + 1) (Time 100: 23, 46, ... 255). It runs while the dialog is
// being shown, before the dialog itself appears.
void AnimShowDialog(TvxDialogWnd& dialog, int time, int finalAlpha, int mode);
// A skinned dialog's hide: the same image faded out by the hide timer with DialogHide's time
// and mode; the dialog itself is hidden already, its border window is hidden here.
void AnimHideDialog(TvxDialogWnd& dialog);
// Starts the fade-out of copy (a layered form, owned from now on) showing snapshot; an earlier
// hide still running is ended at once. Nothing (the copy freed) when Time div 10 is 0.
void StartHideAnimation(TForm* copy, std::unique_ptr<TBitmap> snapshot, int time, int startAlpha, int mode);
// The control and its windowed descendants painted into bitmap, the control's top-left at
// (x, y): a skinned control (answering command 7) prints itself (WM_PRINT, frame and client; a
// skinned MDI child gives its provider's image) and then its children, any other paints through
// PaintTo. An MDI main form's visible children follow at their places in its client window, the
// lowest first, inside the client area. With a provider that has a border the alpha of the
// client area (at the border's offsets) becomes 255.
void PaintControlToBitmap(TBitmap* bitmap, TControl* control, int x, int y, TsSkinProvider* provider);
// The output window over the control, showing the control's present screen image.
void ShowOutputWindow(TControl* control);

// A new helper window of window skinning (copy, border and fade windows): a borderless form
// without owner, Tag -98 (the adapters leave it alone), with the hook (when given; its id in
// hookId) and the extended style bits added, its handle made.
TForm* NewHelperForm(DWORD exStyle, TWinControl::TWndProcHook hook = {}, int* hookId = nullptr);
// A new copy window: a helper form with WS_EX_TOOLWINDOW and WS_EX_NOACTIVATE.
TForm* NewCopyWindow();
// Every byte of a 32-bit bitmap 0 (clear and transparent).
void ClearBitmap32(TBitmap& bitmap);

// The surface of the fallback cross-fade: "vxOutputWindow", hidden when made, clPurple; without
// a parent it is a WS_POPUP owned by the application's window (topmost over a topmost owner).
class TOutputWindow : public TCustomControl {
    GUI_CLASS(TOutputWindow, TCustomControl)
    explicit TOutputWindow(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
};

// The one hide timer of the program (on the threaded timer): steps the fade of one copy window.
class TvxHideTimer : public TvxThreadedTimer {
    GUI_CLASS(TvxHideTimer, TvxThreadedTimer)
    explicit TvxHideTimer(TComponent* owner);
    ~TvxHideTimer() override;

    // The copy window while a hide runs, else none.
    TForm* CopyWindow() const { return copy_; }
    void Start(TForm* copy, std::unique_ptr<TBitmap> snapshot, int steps, int startAlpha, int mode);
    // The copy, the snapshot and the frame freed (the hide ends at once).
    void FreeCopy();
    // One step: a frame at the next alpha, or at the end the copy freed.
    void OnStep();

private:
    void DrawStep();
    TForm* copy_ = nullptr;
    std::unique_ptr<TBitmap> snapshot_, frame_;
    int steps_ = 0, counter_ = 0, mode_ = 0;
    double current_ = 0, step_ = 0;
    double zl_ = 0, zt_ = 0, zr_ = 0, zb_ = 0, dx_ = 0, dy_ = 0;
    BYTE alpha_ = 0;
};

// The frames the animations have given to layered windows so far (a border window that
// shows an animation's frames holds another image afterwards).
unsigned AnimationFrameCount();

// The hide timer, none before the first hide.
TvxHideTimer* HideTimer();
// The module's end: the hide timer freed.
void AnimationsEnd();
