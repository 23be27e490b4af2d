// TSpeedButton: a button without a window of its own (a graphic control, painted by its
// parent), with a picture and a caption, that can stay pressed:
// - Glyph holds NumGlyphs frames side by side (1..4: up, disabled, down, exclusive; a missing
//   frame is drawn from the first), placed by Layout with Margin (-1: glyph and caption centred
//   as one block) and Spacing (pixels between glyph and caption, 4 by default); the glyph's
//   bottom-left pixel is its transparent colour;
// - Flat shows the button's edge only while the mouse is over it or it is down;
// - a press shows it down; the release over it clicks. With a GroupIndex above 0 the buttons of
//   one parent with that index form a group: a click puts the button Down (State bsExclusive)
//   and the others of the group up; a click on the button that is down puts it up only with
//   AllowAllUp. Down is set from code as well (ignored for a button without a group).
// Its properties are published by name (gui/Published.h): Glyph (object), NumGlyphs, Margin,
// Spacing, Layout (blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom), Flat, Down,
// GroupIndex, AllowAllUp. A form description sets the same ones except Glyph:
//
//   object SpeedButton1: TSpeedButton
//     Left = 8
//     Top = 8
//     Width = 60
//     Height = 40
//     Caption = 'Bar'
//     Flat = True
//     Layout = blGlyphTop
//     Margin = -1
//     GroupIndex = 1
//   end
#pragma once

#include <memory>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/StdCtrls.h"
#include "gui/base/ButtonLayout.h"

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Where a speed button puts its glyph (one frame, glyph x glyph) and its caption (text; 0 x 0
// for none) in its client (0, 0, client): Spacing counts only with a caption. blGlyphLeft: the
// glyph Margin from the left (Margin -1: the block of glyph, spacing and caption centred), the
// caption after it; blGlyphRight the same from the right; blGlyphTop and blGlyphBottom the same
// from the top and the bottom. Across the layout both are centred. A pressed button moves
// both by (1, 1).
//   client 60 x 40, glyph 16 x 16, text 20 x 13, blGlyphTop, margin -1, spacing 4
//   -> glyph at (22, 3), caption (20, 23, 40, 36)
struct TSpeedButtonLayout {
    POINT Glyph;
    RECT Text;
};
TSpeedButtonLayout LayoutSpeedButton(SIZE client, SIZE glyph, SIZE text, TButtonLayout layout, int margin, int spacing,
                                     bool pressed);

class TSpeedButton : public TGraphicControl {
    GUI_CLASS(TSpeedButton, TGraphicControl)
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    TBitmap& Glyph() const { return *picture_.Glyph; }
    // A copy of the picture; none empties it.
    void SetGlyph(const TBitmap* glyph);
    int NumGlyphs() const { return picture_.NumGlyphs; }
    void SetNumGlyphs(int count);
    TButtonLayout Layout() const { return picture_.Layout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return picture_.Margin; }
    void SetMargin(int margin);
    int Spacing() const { return picture_.Spacing; }
    void SetSpacing(int spacing);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    bool Down() const { return down_; }
    void SetDown(bool down);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    // bsDown while pressed, bsExclusive while Down, bsDisabled while disabled, else bsUp.
    TButtonState State() const;
    // The mouse is over the button.
    bool MouseInControl() const { return mouseInside_; }

    void Paint(TCanvas& canvas) override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void WndProc(TMessage& m) override;

private:
    // The buttons of the group put up when this one goes down.
    void ReleaseGroup();
    void Pressed(bool pressed);

    TButtonGlyph picture_;
    bool flat_ = false, down_ = false, allowAllUp_ = false;
    int groupIndex_ = 0;
    bool pressed_ = false, mouseInside_ = false;
};
