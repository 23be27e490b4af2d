// TsBoundLabel: the caption label an edit-like skinned control carries beside or above it. It
// owns a TsEditLabel, made on the control's parent while Active, focused to the control, and
// placed by Layout, Indent and MaxWidth (0: no limit; else the label wraps its words at that
// width):
//
//   TsBoundLabel bound(&edit->SkinData());
//   bound.SetCaption("Bediener");
//   bound.SetLayout(sclLeft);          // right-justified, left of the control, centred on it
//   bound.SetActive(true);             // label "<control name>Label" made and placed
//
// With sclLeft the label's right edge keeps 4 + Indent pixels from the control; with the top
// layouts its bottom keeps Indent pixels from the control's top, aligned to the control's left
// edge, centre or right edge.
#pragma once

#include <string>

#include "gui/Graphics.h"
#include "gui/base/Classes.h"
#include "gui/base/PropValue.h"
#include "skin/engine/sConst.h"

class TsCommonData;
class TsEditLabel;
class TControl;
struct TMessage;
struct TPropValue;

class TsBoundLabel : public TObject {
    GUI_CLASS(TsBoundLabel, TObject)
    // skinData: the link of the control the label belongs to (its owner control).
    explicit TsBoundLabel(TsCommonData* skinData);
    ~TsBoundLabel() override;
    TsBoundLabel(const TsBoundLabel&) = delete;
    TsBoundLabel& operator=(const TsBoundLabel&) = delete;

    bool Active() const { return active_; }
    void SetActive(bool on);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The label's font while there is a label, else the bound label's own.
    TFont& Font();
    void SetFont(const TFont& font);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    TsCaptionLayout Layout() const { return layout_; }
    void SetLayout(TsCaptionLayout layout);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int width);
    // The label's UseSkinColor; true without a label.
    bool UseSkinColor() const;
    void SetUseSkinColor(bool on);
    TsEditLabel* FLabel() const { return label_; }

    // Places and sizes the label by the layout (only a visible label).
    void AlignLabel();
    // The label follows its control after one of the control's messages: enabled state (kept
    // enabled when disabledKind lacks dkBlended), right-to-left mode, visibility, size and
    // position. Other messages change nothing.
    void FollowControl(UINT msg, unsigned disabledKind);
    // A form description's "BoundLabel.*" property (Active only noted in activate, for the
    // control's Loaded); false for other names.
    bool SetProperty(const std::string& name, const TPropValue& value, bool& activate);
    // Told by the label when it is freed: no label, not active.
    void LabelDestroyed(TsEditLabel* label);

private:
    TControl* Control() const;
    void ApplyAlignment();
    int maxWidth_ = 0;
    std::string caption_;
    TsCaptionLayout layout_ = sclLeft;
    TFont font_;
    int indent_ = 0;
    bool active_ = false;
    TsEditLabel* label_ = nullptr;
    TsCommonData* skinData_;
};
