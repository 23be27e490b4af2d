// Glow effects: a soft light around a control or a title button, drawn from the skin's glow
// image into a borderless, click-through layered window placed around the control. Glows live
// in one list; a glow's id is its index there, so a control keeps only the id (the GlowID of
// its skin link, -1 for none). Ids are never given twice until ClearGlows empties the list.
//
//   int id = ShowGlow(rect, clip, "BUTTON", nullptr, form->Handle(), 255, 2, "GLOW");
//   ...                       // the glow window floats above the form, mouse input passes it
//   HideGlow(id);             // freed, id -1; the list keeps the empty slot
//   ClearGlows();             // every glow freed, the list empty: ids start at 0 again
//
// The glow window (Tag -98, which keeps the window skinning away from it) is a plain form with
// the extended styles WS_EX_LAYERED and WS_EX_TOOLWINDOW, painted once through
// UpdateLayeredWindowEntry (sGraphUtils.h) with the per-pixel alpha of its image, shown without
// activation; it answers WM_NCHITTEST with HTTRANSPARENT. With the image's border widths L, T,
// R, B and the margin M, a control at (x, y) of W x H gets a glow at (x - L + M, y - T + M) of
// (W + L + R - 2M) x (H + T + B - 2M); the parts beyond the control's visible edges are cut
// away (a control clipped on its left starts its glow at the visible edge).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"

class TsSkinManager;

// One glow: the manager whose glow image it shows, the image, the margin and its window.
class TvxGlowEffect : public TObject {
    GUI_CLASS(TvxGlowEffect, TObject)
    // manager: its images are used (not owned).
    explicit TvxGlowEffect(TsSkinManager* manager) : Manager(manager) {}
    // The window is freed with the effect (after the message it is handling, when it is one of
    // the window's own messages).
    ~TvxGlowEffect() override;
    TvxGlowEffect(const TvxGlowEffect&) = delete;
    TvxGlowEffect& operator=(const TvxGlowEffect&) = delete;

    TsSkinManager* Manager;
    int MaskIndex = -1; // the glow image in the manager's image table, -1 none
    int Margin = 0;     // pixels the glow is drawn in from the image's border widths

    // The glow window; none until shown.
    TForm* Form() const { return form_; }
    // The 32-bit image of the glow: width x height, colour 0, the glow image drawn over all of
    // it with its border widths (nothing without an image). It exists only while the window is
    // being built.
    virtual void CreateBitmap(int width, int height);
    TBitmap* Bitmap() const { return bitmap_.get(); }
    // Builds and shows the window around r (screen) of which visible (the control's own
    // coordinates, inside 0, 0, width, height of r) can be seen, above owner, with the constant
    // alpha (0..255). A glow already shown stays as it is (true). False, with no window and no
    // bitmap made, when the cut glow would be narrower or lower than one pixel.
    bool Show(const TRect& r, const TRect& visible, HWND owner, BYTE alpha);

private:
    TForm* form_ = nullptr;
    int hookId_ = 0;
    std::unique_ptr<TBitmap> bitmap_;
};

// A new glow around rect, its id; -1 when layered windows are not available, the manager (none:
// the default manager) has no image maskName + "0" in the section (exact names; an empty
// section has none), nothing of the control can be seen, or the glow would be smaller than one
// pixel. rect and clip are in screen coordinates: clip is what can be seen of the control (the
// clip box of its window DC, moved to the screen); only their intersection glows. owner is the
// top-level window that holds the control: a topmost owner gets a topmost glow. alpha is the
// glow's constant source alpha, limited to 0..255; margin the section's GLOWMARGIN.
int ShowGlow(const TRect& rect, const TRect& clip, const std::string& section, TsSkinManager* manager, HWND owner,
             int alpha, int margin, const std::string& maskName);
// Frees the glow with that id and sets id to -1; an id below 0 or beyond the list, or of a glow
// already freed, changes nothing else.
void HideGlow(int& id);
// Frees every glow and empties the list.
void ClearGlows();
// The glow with that id, none for a freed one or an id outside the list; the list's length
// (the id the next glow gets).
TvxGlowEffect* GlowEffect(int id);
int GlowListLength();

// The module's start (the blend record of its layered windows: source over, per-pixel source
// alpha) and end (every glow freed), for the program block's module order.
void GlowEffectsStart();
void GlowEffectsEnd();
