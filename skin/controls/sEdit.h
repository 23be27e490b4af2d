// TsEdit: the skinned single-line edit (the register window's price keys Pr1..Pr6, the
// special-item fields, the operator names, the mass-transaction numbers). A TEdit in every
// respect: text, typing, selection, hint and enabled state through the edit's properties; a
// form description names it "TsEdit", and the language loader gives it its hint (never a
// caption) by that class name.
//
// Its skin link (SkinData, control kind 3, section "EDIT" from construction on) draws it while
// the link's manager has the section and the edit has a window and a parent; otherwise it is a
// plain TEdit:
// - the frame (2 pixels with BorderStyle bsSingle and Ctl3D, 1 without Ctl3D, none with
//   bsNone) is copied from the cache bitmap, which holds the section's look for the state
//   (border image over the parent's background, normal or active = focused or under the
//   mouse) and the text;
// - the client area is the edit's own, in the section's COLOR and FONTCOLOR, or HOTCOLOR and
//   HOTFONTCOLOR while active (CustomColor and CustomFont keep the edit's own); the skin's
//   removal gives back clWindow and clWindowText;
// - disabled, the whole control is the cache image with the disabled look (DisabledKind:
//   dkBlended blends it with the parent's background, dkGrayed greys it), a PasswordChar shown
//   once per character of the text;
// - answers: command 7 is 1, 19 is 0 (it does not depend on the parent's background), 21 the
//   edit's Color as RGB while it is not skinned.
// BoundLabel, a caption label beside or above the edit (sBoundLabel.h), follows the edit's
// visibility, enabled state (stays enabled when DisabledKind lacks dkBlended), right-to-left
// mode, size and position:
//
//   object Pr1: TsEdit
//     Left = 60
//     Top = 12
//     BoundLabel.Active = True
//     BoundLabel.Caption = 'Preis 1'
//     BoundLabel.Layout = sclLeft
//   end
#pragma once

#include <memory>

#include "gui/StdCtrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLinkedControl.h"

class TsEdit : public TsLinkedControl<TEdit, 3> {
    GUI_CLASS(TsEdit, TEdit)
    explicit TsEdit(TComponent* owner);
    ~TsEdit() override;

    // dkBlended, dkGrayed (skin/engine/sSectionPaint.h); [dkBlended] at first. A change repaints.
    unsigned DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(unsigned kinds);
    TsBoundLabel& BoundLabel() { return *boundLabel_; }
    // The frame width by BorderStyle and Ctl3D: 2, 1 or 0.
    int FrameWidth() const;

    // The whole skinned look into the link's cache bitmap (clears its change flags).
    virtual void PrepareCache();
    // The text (or one PasswordChar per character) into the cache bitmap.
    virtual void PaintText();
    // The cache over the whole window (frame and client area); dc 0: the window DC.
    void PaintControl(HDC dc);
    // The frame strips of the cache onto the window DC.
    void PaintBorder();

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;

protected:
    void WndProc(TMessage& m) override;

private:
    // The messages of a skinned edit; false when the link's common handling took the message
    // wholly (nothing follows it then).
    bool SkinnedWndProc(TMessage& m);
    // Color and Font.Color from the section for the state (unless custom).
    void TakeStateColors();
    int State() const;
    // The window has a frame outside its client area (an edit draws a WS_BORDER line inside).
    bool HasNonClientFrame();
    unsigned disabledKind_;
    std::unique_ptr<TsBoundLabel> boundLabel_;
    bool activateLabel_ = false; // a description asks for the bound label
};
