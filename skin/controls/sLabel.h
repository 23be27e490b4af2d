// The skinned labels. Each is a TLabel in every respect (caption and hint through the label's
// properties, AutoSize, Alignment, WordWrap, FocusControl, Font):
// - TsCustomLabel: the common base of the skinned labels;
// - TsLabel: the label of the program's windows; UseSkinColor (on by default) lets the skin
//   colour its text;
// - TsEditLabel: the label that a bound label (TsBoundLabel) makes for its edit-like control;
//   it is created with the owning control and that bound label, and keeps it (not owned);
// - TsLabelFX: a label drawn with a shadow or glow, used as TsLabel is.
// A form description names them by class:
//
//   object Label1: TsLabel
//     Caption = 'Bediener'
//     Tag = 40
//     UseSkinColor = False
//   end
//   object Label2: TsLabelFX
//     Caption = 'Initialisierung'
//     Tag = 60
//   end
//
// The language loader gives a TsLabel (and a TsEditLabel) its caption, a TsLabelFX its caption
// and hint. The skin's colours and effects come with the skinned controls.
#pragma once

#include "gui/StdCtrls.h"

class TsBoundLabel;

class TsCustomLabel : public TLabel {
    GUI_CLASS(TsCustomLabel, TLabel)
    explicit TsCustomLabel(TComponent* owner) : TLabel(owner) {}
};

class TsLabel : public TsCustomLabel {
    GUI_CLASS(TsLabel, TsCustomLabel)
    explicit TsLabel(TComponent* owner) : TsCustomLabel(owner) {}
    bool UseSkinColor() const { return useSkinColor_; }
    void SetUseSkinColor(bool v) { useSkinColor_ = v; }
    void SetProperty(const std::string& name, const TPropValue& value) override;

private:
    bool useSkinColor_ = true;
};

class TsEditLabel : public TsLabel {
    GUI_CLASS(TsEditLabel, TsLabel)
    // owner: the edit-like control; boundLabel: its bound label (none when a description makes
    // the label).
    TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel) : TsLabel(owner), boundLabel_(boundLabel) {}
    // Tells its bound label that it is gone (the bound label becomes inactive).
    ~TsEditLabel() override;
    TsBoundLabel* BoundLabel() const { return boundLabel_; }
    // The bound label frees the label itself.
    void ForgetBoundLabel() { boundLabel_ = nullptr; }

private:
    TsBoundLabel* boundLabel_;
};

class TsLabelFX : public TsCustomLabel {
    GUI_CLASS(TsLabelFX, TsCustomLabel)
    explicit TsLabelFX(TComponent* owner) : TsCustomLabel(owner) {}
};
