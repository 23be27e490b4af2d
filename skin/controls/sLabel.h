// The skinned labels. Each is a TLabel in every respect (caption and hint through the label's
// properties, AutoSize, Alignment, WordWrap, FocusControl, Font); they own no skin link and read
// the default skin manager (DefaultManager):
// - TsCustomLabel: the common base, transparent by default. While the default manager has a
//   skin loaded its text takes the first FONTCOLOR of the nearest parent section that is at
//   most 50 % transparent (GetOpaqueParentSkinIndex: the section must give its own font), else
//   the skin's global font colour; a SkinSection paints that section behind the text (for a
//   section index above 0; index 0 only colours the text) and colours the text with the
//   section's FONTCOLOR. Disabled under a skin it writes its text once in 0.4 x its font colour
//   + 0.6 x its parent's colour (AskControlColor), per channel.
// - TsLabel: the label of the program's windows; UseSkinColor (on by default) lets the skin
//   colour its text; off, the label keeps its own colour under every skin. The skin's removal
//   (command 2) gives it clWindowText back (only with UseSkinColor).
// - TsEditLabel: the label that a bound label (TsBoundLabel) makes for its edit-like control;
//   it is created with the owning control and that bound label, and keeps it (not owned).
// - TsLabelFX: a label drawn with a blurred shadow or glow (TsShadow, TsKind); its AutoSize
//   makes room for the effect on both sides (see TsLabelFX).
// They paint over whatever their parent painted under them (its background, command 34, or its
// colour). A form description names them by class:
//
//   object Label1: TsLabel
//     Caption = 'Bediener'
//     Tag = 40
//     UseSkinColor = False
//   end
//   object Label2: TsLabelFX
//     Caption = 'Initialisierung'
//     Shadow.Mode = smCustom
//     Shadow.BlurCount = 3
//     Kind.KindType = ktCustom
//     Kind.Color = clYellow
//   end
//
// The language loader gives a TsLabel (and a TsEditLabel) its caption, a TsLabelFX its caption
// and hint. The skin commands 1, 2 and 3 of the default manager reach the labels through their
// parent's broadcast (Perform) and repaint them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/StdCtrls.h"

class TsBoundLabel;
class TsSkinManager;

class TsCustomLabel : public TLabel {
    GUI_CLASS(TsCustomLabel, TLabel)
    explicit TsCustomLabel(TComponent* owner);
    // Upper or lower case as given; a change repaints.
    const std::string& SkinSection() const { return skinSection_; }
    void SetSkinSection(const std::string& section);
    // The font to paint with, coloured from the skin first (see above).
    virtual TFont& GetCurrentFont();
    void Paint(TCanvas& canvas) override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void WndProc(TMessage& m) override;
    // Font changes are handled by CM_FONTCHANGED (none while the label colours its own font).
    void FontChanged() override {}
    void DoDrawText(TCanvas& canvas, RECT& rect, UINT flags) override;
    // The default manager while it has a skin loaded, else none.
    static TsSkinManager* ActiveManager();
    // The section's skin colour for the text (FontColor[1] of the opaque parent's section, or
    // the global font colour), clFuchsia for none.
    TColor SkinFontColor() const;
    // While a label's Paint adjusts its font: the font notifications are left alone.
    static bool fontGuard_;

private:
    std::string skinSection_;
};

class TsLabel : public TsCustomLabel {
    GUI_CLASS(TsLabel, TsCustomLabel)
    explicit TsLabel(TComponent* owner) : TsCustomLabel(owner) {}
    bool UseSkinColor() const { return useSkinColor_; }
    void SetUseSkinColor(bool v) { useSkinColor_ = v; }
    TFont& GetCurrentFont() override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void WndProc(TMessage& m) override;

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

class TsLabelFX;

// Where an effect label's shadow comes from: none, its own values, or the skin's SHADOW1 values
// (SHADOW1COLOR, SHADOW1BLUR, SHADOW1OFFSET of GLOBALINFO, while SHADOW1BLUR is set).
enum TsShadowMode { smNone, smCustom, smSkin1 };
// Where an effect label's text colour comes from: its Color, Kind's Color, or the skin (the
// second FONTCOLOR value of GLOBALINFO, Kind's Color when the skin has none).
enum TsKindType { ktStandard, ktCustom, ktSkin };

// The shadow of an effect label. Each setter stores a changed value and repaints the label.
class TsShadow : public TObject {
    GUI_CLASS(TsShadow, TObject)
    explicit TsShadow(TsLabelFX& owner) : owner_(owner) {}
    TsShadowMode Mode() const { return mode_; }
    void SetMode(TsShadowMode mode);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // The colour's channels as RGB (ColorToRGB of Color, refreshed by smSkin1 paints).
    int Red() const { return red_; }
    int Green() const { return green_; }
    int Blue() const { return blue_; }
    void SetChannels(TColor rgb);
    int BlurCount() const { return blurCount_; }
    void SetBlurCount(int count);
    // Offset of the shadow right and down, in pixels.
    int Distance() const { return distance_; }
    void SetDistance(int distance);

private:
    TsLabelFX& owner_;
    TsShadowMode mode_ = smSkin1;
    TColor color_ = clBlack;
    int red_ = 0, green_ = 0, blue_ = 0;
    int blurCount_ = 4;
    int distance_ = 1;
};

class TsKind : public TObject {
    GUI_CLASS(TsKind, TObject)
    explicit TsKind(TsLabelFX& owner) : owner_(owner) {}
    TsKindType KindType() const { return kindType_; }
    void SetKindType(TsKindType type);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

private:
    TsLabelFX& owner_;
    TsKindType kindType_ = ktSkin;
    TColor color_ = clWhite;
};

// The shadow of an effect label as painted: colour (RGB), blur passes and offset.
struct TsEffectValues {
    TColor Color;
    int Blur;
    int Distance;
};

// A label whose text stands on a blurred shadow (or glow) of itself:
// - the shadow: the text in white on black, moved by Distance right and down, its pixels set
//   to 255 in a byte buffer of (W + 2) x (H + 2) cells and blurred BlurCount times (each inner
//   cell the average of its four neighbours, row by row, the left and upper ones already
//   updated), then blended in the shadow colour over what lies below (transparent) or over
//   the label's Color (opaque); the text is written over it in the Kind colour;
// - AutoSize: the text's size grows by MarginHigh - MarginLow in width and height, MarginLow =
//   min(0, Distance - BlurCount), MarginHigh = max(0, Distance + BlurCount) (distance 1, blur
//   4: 8 pixels, margins -3 and 5); the text stands MarginLow / MarginHigh inside the label;
// - a blur of 0, or the shadow colour clNone, writes the text alone; a disabled effect label
//   writes its text embossed (clBtnHighlight under clBtnShadow).
// Blur and distance are taken within 0..64 and -64..64 (a skin's SHADOW1BLUR may say 65534).
// The blur buffer lives from paint to paint and only grows (to twice the size a paint needs).
class TsLabelFX : public TsCustomLabel {
    GUI_CLASS(TsLabelFX, TsCustomLabel)
    explicit TsLabelFX(TComponent* owner);
    ~TsLabelFX() override;
    TsShadow& Shadow() { return *shadow_; }
    TsKind& Kind() { return *kind_; }
    int MarginLow() const { return marginLow_; }
    int MarginHigh() const { return marginHigh_; }
    // The size of the blur buffer now (0 before the first effect).
    size_t BlurBufferSize() const { return blur_.size(); }
    // The shadow values a paint uses now (Shadow's, or the skin's for smSkin1).
    TsEffectValues EffectValues();
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void DoDrawText(TCanvas& canvas, RECT& rect, UINT flags) override;

private:
    // The text colour of an enabled effect label.
    TColor TextColor() const;
    void PaintEffect(TCanvas& canvas, const RECT& rect, UINT flags, const std::string& text,
                     const TsEffectValues& effect);
    std::unique_ptr<TsShadow> shadow_;
    std::unique_ptr<TsKind> kind_;
    std::unique_ptr<TBitmap> effect_;
    std::vector<uint8_t> blur_;
    int marginLow_ = 0, marginHigh_ = 0;
};

// The blur of an effect label's shadow in a buffer of (w + 2) x (h + 2) cells (w, h: the
// effect's size, at least 0; cell (x + 1, y + 1) belongs to pixel (x, y)): passes times, the
// cells of the text's pixels (lit: w x h bytes, row by row, non-zero for the text) set to 255,
// then each inner cell := (up + down + left + right) >> 2, row by row. The buffer grows to twice
// the cells needed when it holds fewer than that; those cells start at 0.
//   3 x 1 with the middle lit, 1 pass: the cells of the row read 63, 15, 3 (a cell itself does
//   not count)
void BlurShadowCells(std::vector<uint8_t>& buffer, int w, int h, int passes, const std::vector<uint8_t>& lit);
