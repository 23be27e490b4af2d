// TsButton: the skinned push button of the program's windows (the register window's action
// buttons, the dialogs' OK, Cancel and Close buttons). It is a TButton in every respect: the
// windows set its caption, hint, visibility and enabled state through the button's own
// properties, and a form description names it as
//
//   object KassButton: TsButton
//     Caption = 'Kassieren'
//     Tag = 113
//     OnClick = KassButtonClick
//   end
//
// The language loader gives it its caption and hint by class name (TsButton).
//
// While a manager is active with a skin, the button is owner-drawn (BS_OWNERDRAW from its
// creation or the new-skin command, taken back by the skin-removed command) and its whole look
// is a cache bitmap painted from its section ("BUTTON"): the background and border image of
// the state (0 normal, 1 hot, focused or default, 2 pressed), the caption, focus dots
// (the section's SHOWFOCUS and ShowFocus) and the disabled look. Its window region is the
// rectangle less the transparent corner pixels of the border image. Entering, leaving,
// pressing and releasing fade between the looks; the glow goes on focus loss and on resizing.
// Clicks reach Click (OnClick, the form's modal result) skinned or not, also from BM_CLICK.
//
// A quick release shows the pressed look for 30 ms while messages are handled; a button freed
// meanwhile (by a timer, a posted close) is not touched again.
#pragma once

#include <memory>

#include "gui/StdCtrls.h"
#include "skin/controls/sLinkedControl.h"
#include "skin/engine/sConst.h"

class TsFadeTimer;

// The skinned drawing and behaviour of a push button over the class-library button Base; the
// control-kind code Kind (93 push button, 94 bitmap button).
template <class Base, int Kind> class TsButtonControl : public TsLinkedControl<Base, Kind> {
public:
    explicit TsButtonControl(TComponent* owner);
    ~TsButtonControl() override;

    bool Down() const { return down_; }
    void SetDown(bool value);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool value);
    // Pixels by which the focus dots lie outside the caption rectangle.
    int FocusMargin = 1;
    unsigned DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(unsigned kinds);
    TvxAnimatEvents AnimatEvents = 1u << aeGlobalDef;
    bool WordWrap = true;

    // The button is the active default button.
    void SetButtonStyle(bool isDefault);
    // 0 normal, 1 active (hot, focused or default), 2 pressed.
    int CurrentState() const;
    SIZE TextSize();
    TRect CaptionRect();
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void PrepareCache();
    void PaintButton(HDC dc);
    void DrawButtonText();
    // The caption in r with the DrawText flags, then the focus dots around r (grown by
    // FocusMargin) when focused with the section's SHOWFOCUS and ShowFocus.
    void WriteCaption(const TRect& r, UINT flags);
    // What lies inside the border: the caption (and a bitmap button's glyph).
    virtual void DrawContent() { DrawButtonText(); }
    // The border image is painted before the content (else over it).
    virtual bool BorderUnderContent() const { return true; }
    // Called when the cache holds the whole look (the disabled look too).
    virtual void CachePainted() {}
    // The answer to WM_ERASEBKGND and WM_UPDATEUISTATE while skinned and shown.
    virtual LRESULT EraseAnswer() const { return 1; }
    bool stateChanged_ = true;

private:
    bool SkinnedNow();
    void DefaultPath(TMessage& m);
    void MouseDownStep(TMessage& m);
    // False when the button went away while messages were handled.
    bool MouseUpStep(TMessage& m);
    void HideGlowNow();
    void DropPendingRegion();
    void FocusStep(TMessage& m, bool entering);

    bool pressedHere_ = false;
    bool down_ = false;
    unsigned disabledKind_ = 1; // dkBlended
    bool showFocus_ = true;
    bool defaultActive_ = false;
    TsFadeTimer* fade_ = nullptr;
    TRect savedBounds_{};
    HRGN pendingRegion_ = reinterpret_cast<HRGN>(1); // 1: the first region is still to come
    // Set while the window paints: only then is a new region cut (and handed over at once).
    bool inPaint_ = false;
    // Cleared by the destructor: held across waits that handle messages.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class TsButton : public TsButtonControl<TButton, 93> {
    GUI_CLASS(TsButton, TButton)
    explicit TsButton(TComponent* owner) : TsButtonControl(owner) {}
};
