// The fade of a skinned control from one look to the next (the mouse enters, leaves, presses,
// releases): the fade keeps a copy of the control's cache bitmap (the old look), lets the
// control paint its new look into the cache, and every 10 ms blends the two and draws the
// blend straight onto the control's window, until the new look stands alone.
//
// A control keeps its fade in a field of its own (none while it does not fade) and passes that
// field itself to every routine here; the fade is owned by the control. It answers three skin
// commands for it:
//   23 (cmdRefreshCache): paint the cache bitmap in the present state, not on the screen;
//   24 (cmdPaintFadeFrame), lParam the frame (a TBitmap*): 0 lets the fade copy the frame to the
//      window at (0, 0), anything else means the control has drawn it itself;
//   16 (cmdSkinChangeDone): the fade is over; the control calls StopFade on its field.
//
//   state_ = 1;                                       // the mouse came in
//   SkinData().BGChanged = false;
//   RepaintWithFade(fade_, &SkinData(), false, AnimEventEnabled(aeMouseEnter, events, nullptr), 1);
//   ...
//   case cmdSkinChangeDone: StopFade(fade_); break;    // in the window procedure
//
// With N frames (the section's FADINGITERATIONS, half of it for a press or a release) frame k
// is each byte (new x (255 - A) + old x A + 127) >> 8 with A = 255 - 256k / N limited to
// 0..255; the tick after frame N sends command 16. Frames of a cache and an old image of
// different sizes show the old image. N of 0 or below ends the fade at its first tick without
// a frame; after command 16 the control is then repainted (TsCommonData::Invalidate), so that
// its new look reaches the window all the same.
//
// A fade ended inside its own tick (command 16) is freed after that tick, from a posted
// message. StopAllFades stops and frees every fade at once, also fades that can no longer end
// by themselves (their control disabled mid-fade, or fades suppressed).
#pragma once

#include <cstdint>
#include <memory>

#include "gui/ExtCtrls.h"
#include "gui/Graphics.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sConst.h"

class TsSkinManager;

// One fade in progress: a timer of 10 ms owned by the control.
class TsFadeTimer : public TTimer {
    GUI_CLASS(TsFadeTimer, TTimer)
    // Disabled (Direction 0), an empty old image; counted in FadeTimerCount while it lives.
    explicit TsFadeTimer(TComponent* owner);
    ~TsFadeTimer() override;

    // 0 idle (the timer disabled), 1 fading. Setting it enables the timer exactly when it is
    // not 0; a negative Step becomes 1.
    uint8_t Direction() const { return direction_; }
    void SetDirection(uint8_t value);
    TsCommonData* CommonData = nullptr; // the control's skin link (not owned)
    int Iterations = 0;                 // the frames of this fade
    int Step = 0;                       // the frame to paint next, from 1
    // The control's look before the change (a copy of its cache bitmap).
    TBitmap& OldImage() const { return *oldImage_; }

    // Takes the skin link: a cache that is still to be painted for the first time is painted
    // (command 23 to the window), copied as the old image, the interval set to 10 ms and
    // Iterations to the section's FADINGITERATIONS (to Step while a fade runs).
    void Setup(TsCommonData* commonData);
    // Paints one frame and moves Step on. A disabled control instead stops the timer
    // (Iterations 0) and is repainted normally; nothing while the control is going, with
    // Iterations 0 or while fades are suppressed.
    void PaintStep();
    // One tick: the end test (command 16 after the last frame; Direction 0 when the control is
    // going or the application terminates), then a frame while fading.
    void Timer();

private:
    friend void StopFade(TsFadeTimer*&);
    friend void StartFade(TsFadeTimer*&, TsCommonData*, bool, uint8_t);
    friend void StopAllFades();
    void Tick();
    // Disabled, Direction 0, freed now or, inside its own tick, after it.
    void Finish();
    uint8_t direction_ = 0;
    std::unique_ptr<TBitmap> oldImage_;
    TsFadeTimer** slot_ = nullptr; // the control's field that refers to it
    bool inTick_ = false;
    bool freeAfterTick_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Live fade timers (made and not yet freed).
int FadeTimerCount();
// While set no fade starts and no frame is painted.
bool FadesSuppressed();
void SetFadesSuppressed(bool on);

// Event is in events; else, with aeGlobalDef in events, the manager's (none: the default
// manager's) AnimEffects().ButtonEvents hold the button event of Event (enter, leave, down, up;
// aeGlobalDef itself counts as up).
bool AnimEventEnabled(TvxAnimatEvent event, TvxAnimatEvents events, TsSkinManager* manager);
// After a change of the control's state (its BGChanged flag cleared first): a fade when animate
// holds, no skin change runs (SkinChanging), the section fades, fades are not suppressed, the
// control has a cache bitmap and BGChanged is still clear; otherwise the fade stops and the
// control repaints at once. Either way BGChanged is set and the glow brought up to date
// (UpdateGlow with fast as its repaint flag). Nothing for a link that is not skinned.
// fast: a press or release (half the frames). direction: 1.
void RepaintWithFade(TsFadeTimer*& timer, TsCommonData* commonData, bool fast, bool animate, uint8_t direction);
// Starts the fade (a new timer owned by the control, from frame 1) or restarts a running one
// from frame 1 with the present cache as its old image; nothing when the section does not fade.
void StartFade(TsFadeTimer*& timer, TsCommonData* commonData, bool fast, uint8_t direction);
// Ends the fade: disabled, Direction 0, freed (after the tick when called inside it), the field
// set to none. Nothing for none.
void StopFade(TsFadeTimer*& timer);
// Stops and frees every live fade at once; the fields that refer to them become none.
void StopAllFades();
// The end of the session (the form provider on WM_QUERYENDSESSION): fades suppressed, every
// fade stopped, and messages handled while one still exists, for at most one second.
void EndSessionFades();
