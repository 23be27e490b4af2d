// TvxBorderForm: the extended border of a skinned form. When the manager's ExtendedBorders is on
// and the skin has a shadow (its EXBORDER image or the built-in one), a layered tool window
// (Tag -98, WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW) stays directly behind the form,
// grown by the manager's ShadowMargins on each side, and shows the form's whole image over the
// shadow:
//
//   +-------------------------------+  border window: form rectangle + margins (l, t, r, b)
//   |  shadow (per-pixel alpha)      |
//   |   +-----------------------+    |
//   |   | frame and title (255) |    |  the form's image, opaque
//   |   |   +---------------+   |    |
//   |   |   | client: no    |   |    |  the client area is cut out of the border's region, so
//   |   |   | region here   |   |    |  the border never covers or catches clicks there
//   |   |   +---------------+   |    |
//   |   +-----------------------+    |
//   +-------------------------------+
//
// Its hit test gives the sizing codes on the shadow band (only for a form with WS_THICKFRAME),
// the title buttons' codes over them, the provider's codes over the frame and -1 over the
// client; WM_NCHITTEST itself answers HTTRANSPARENT (-1) over the form and HTOBJECT (19) on the
// shadow, whose clicks go on to the form (wParam -1: the form asks HitTest again). Mouse
// messages over the form are passed to the window under the point, in that window's client
// coordinates. It never activates (MA_NOACTIVATE, the form is brought to the foreground).
//
// The provider makes it (UpdateExtBorders) and updates it after moves, size changes, activation
// and paints; a hidden form hides it, a maximised one cuts it at the bottom and clips it to the
// visible frame, an AlphaBlend form gives its AlphaBlendValue as the constant alpha. A skinned
// dialog (TvxDialogWnd) makes one the same way (SwitchExtBorders) and frees it when it is
// hidden or destroyed; the owner's image, title buttons and hit codes come from whichever owner
// it has.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"

class TsSkinManager;
class TsSkinProvider;
class TvxDialogWnd;

class TvxBorderForm : public TObject {
    GUI_CLASS(TvxBorderForm, TObject)
    // The layered window is made at once (hidden until the first update).
    explicit TvxBorderForm(TsSkinProvider& owner);
    explicit TvxBorderForm(TvxDialogWnd& owner);
    ~TvxBorderForm() override;
    TvxBorderForm(const TvxBorderForm&) = delete;
    TvxBorderForm& operator=(const TvxBorderForm&) = delete;

    // The owner: a form's provider or a dialog's adapter (the other is none).
    TsSkinProvider* Provider() const { return provider_; }
    TvxDialogWnd* Dialog() const { return dialog_; }
    TForm* AForm() const { return form_; }
    HWND Handle() const;
    // The owner's window.
    HWND ParentHandle() const;
    // The margins by which the window reaches beyond the form's window rectangle.
    int LeftMargin() const;
    int TopMargin() const;
    int RightMargin() const;
    int BottomMargin() const;
    // The image shown: the shadow with the form's image over it (32 bits; none before the
    // first update).
    TBitmap* Image() const { return image_.get(); }
    // The image rebuilt from the owner's (which is painted first when stale).
    void RepaintImage();

    // Places the window behind the owner (grown by the margins), paints and shows it; the
    // provider's image is painted again whatever repaint says. Alpha is the constant alpha (255
    // except during a show animation; an AlphaBlend form's AlphaBlendValue instead). Nothing
    // while an animation runs or the owner is frozen, updating or not painting its frame; a
    // hidden owner hides the window.
    void UpdateExBorderPos(bool repaint, BYTE alpha);
    // The frame hit test at a screen point (see the top of this file).
    int HitTest(POINT screen);
    // WM_SETCURSOR: the sizing cursor of the hit code at the cursor; false when it sets none.
    bool SetCursorForHit();
    // The screen point lies on the form itself (not on the shadow band). Always false while
    // the form is maximised or the manager is not active; a point on the form clears the hot
    // title button.
    bool PointOverForm(POINT screen);
    // The window region (border coordinates): the frame's visible rectangle of a maximised
    // form, else the whole window; the form's client area cut out. The caller owns it.
    HRGN MakeRgn() const;
    // Set while UpdateExBorderPos runs (re-entry through the window's own messages is
    // blocked).
    bool InUpdate() const { return inUpdate_; }

private:
    void WindowProc(TMessage& m, const TWndMethod& inherited);
    // The switches between the two kinds of owner.
    TsSkinManager* Manager() const;
    TBitmap* OwnerImage();
    bool OwnerActive() const;
    const std::vector<TRect>& OwnerRegionParts() const;
    int OwnerHitTest(POINT screen);
    void SetOwnerHotButton(int code);
    // False while the owner must be left alone (frozen, updating, animating, being destroyed,
    // not drawing its frame).
    bool OwnerMayUpdate() const;
    // A mouse message over the form, sent on to the window under the point.
    void PassMouseMessage(TMessage& m);
    // The client area of the owner in border coordinates.
    RECT ClientInBorder() const;
    // The image (with the constant alpha) is the one the window shows from the last update, at
    // the same place (the window's top left on the screen); it is noted as shown.
    bool ShownAlready(BYTE alpha, POINT at);

    TsSkinProvider* provider_ = nullptr;
    TvxDialogWnd* dialog_ = nullptr;
    TForm* form_ = nullptr;
    int hookId_ = 0;
    std::unique_ptr<TBitmap> image_;
    // What was last given to the window: its image's hash (with the alpha), size and place.
    bool shownValid_ = false;
    std::uint64_t shownHash_ = 0;
    int shownWidth_ = 0, shownHeight_ = 0;
    POINT shownAt_{};
    unsigned shownFrames_ = 0; // the animations' frame count then
    bool inUpdate_ = false;
    bool rgnSetting_ = false;
};

// The number of border windows that exist (tests count them).
int BorderFormCount();
