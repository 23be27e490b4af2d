// TsCheckBox: the skinned check box (the main window's KassBox, FuncMonBox, CardMonBox and
// ZeitCheckBox, the register window's flags, exSteuerBox, sCheckBed, SkinCheckBox). A TCheckBox
// in every respect; a form description names it "TsCheckBox":
//
//   object KassBox: TsCheckBox
//     Caption = 'Kasse'
//     Tag = 20
//     Checked = True          // read while loading: OnClick does not run
//     OnClick = KassBoxClick
//   end
//
// Setting the state (SetChecked, the setter of Checked) while the window is loading only stores
// it. Outside loading a different state goes through the plain check box, which shows it and
// runs OnClick, and the box is repainted; setting the state it already has does nothing.
// Clicking the box toggles it the same way. Checked() reads the ticked state.
//
// While skinned the box paints its whole face into its cache (section "CHECKBOX": background
// for the state, caption, focus dots, the check glyph, the disabled look) and handles the mouse
// and the space key itself: the press shows the pressed glyph, the release toggles (also off
// the box), ReadOnly blocks both. The glyph comes from the image list (ImgChecked,
// ImgUnchecked), else GlyphChecked / GlyphUnChecked, else the skin's BOXCHECKED,
// BOXUNCHECKED and BOXGRAYED; without any the glyph rectangle is 16 x 16 and nothing is drawn.
// An image or glyph that is a strip of square frames shows the frame of the state (0 normal,
// 1 active, 2 pressed); a 32-bit one is drawn with its alpha. The face is painted over what
// the parent paints into the cache (its own cache, or its painting when it has none to give).
// The window's own check state is left alone meanwhile, so BM_GETCHECK and BM_GETSTATE are
// answered from State; removing the skin hands State back to the window with its theme.
//
// AutoSize (on by default) sizes the box to glyph, margins and caption while skinned, and to
// caption width + 20 by max(caption height + 4, 20) without a skin.
#pragma once

#include <memory>

#include "gui/ImgList.h"
#include "gui/StdCtrls.h"
#include "skin/controls/sLinkedControl.h"
#include "skin/engine/sConst.h"

class TsFadeTimer;

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TsCheckBox : public TsLinkedControl<TCheckBox, 32> {
    GUI_CLASS(TsCheckBox, TCheckBox)
    explicit TsCheckBox(TComponent* owner);
    ~TsCheckBox() override;
    void SetChecked(bool v) override;
    TCheckBoxState State() const { return grayed_ ? cbGrayed : checked_ ? cbChecked : cbUnchecked; }
    void SetState(TCheckBoxState state);
    bool AllowGrayed = false;
    // Advances the state (unchecked, checked, grayed with AllowGrayed) and runs OnClick.
    void Toggle();

    // Where the caption goes: taRightJustify (the default) right of the glyph, else left of it;
    // right-to-left alignment mirrors it.
    void SetAlignment(TAlignment a);
    bool ReadOnly = false;
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int TextIndent() const { return textIndent_; }
    void SetTextIndent(int indent);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool on);
    unsigned DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(unsigned kinds);
    TvxAnimatEvents AnimatEvents = 1u << aeGlobalDef;
    TBitmap& GlyphChecked() const { return *glyphChecked_; }
    TBitmap& GlyphUnChecked() const { return *glyphUnChecked_; }
    void SetGlyphChecked(const TBitmap& bmp);
    void SetGlyphUnChecked(const TBitmap& bmp);
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    int ImgChecked() const { return imgChecked_; }
    void SetImgChecked(int index);
    int ImgUnchecked() const { return imgUnchecked_; }
    void SetImgUnchecked(int index);

    // The place of the glyph in the box.
    TRect GlyphRect() const;
    SIZE GlyphSize() const;
    // The size AutoSize gives the box now.
    SIZE AutoSizeExtent();
    void AdjustSize();
    void Loaded() override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void WndProc(TMessage& m) override;
    void Notification(TComponent* component) override;
    void PrepareCache();

private:
    bool SkinnedNow() const;
    bool ImageListUsable() const;
    int GlyphFrame() const;
    int SkinGlyphIndex() const;
    void DrawCaption(TBitmap& cache);
    void DrawGlyph(TBitmap& cache);
    void PaintHandler(HDC given);
    // The parent asked to paint its background into the cache at the box's place; what the
    // section is painted over.
    TsCacheInfo ParentPaintedInto(TBitmap& cache);
    // The alignment after right-to-left mirroring.
    TAlignment EffectiveAlignment() const;
    void TakeFocus();

    bool grayed_ = false;
    bool pressed_ = false;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    int margin_ = 2;
    int textIndent_ = 0;
    bool showFocus_ = true;
    unsigned disabledKind_ = 1; // dkBlended
    std::unique_ptr<TBitmap> glyphChecked_, glyphUnChecked_;
    TCustomImageList* images_ = nullptr;
    int imgChecked_ = 0, imgUnchecked_ = 0;
    TsFadeTimer* fade_ = nullptr;
};
