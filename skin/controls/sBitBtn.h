// TsBitBtn: the skinned bitmap button, used as TsButton is (caption, hint, visibility and
// enabled state through the button's properties); a form description names it "TsBitBtn". It
// derives from the class library's bitmap button TBitBtn, so the language loader's rows for
// TBitBtn and TsBitBtn both apply to it.
//
// It paints as the skinned push button does (states, fades, focus dots, the window region from
// the border image) and adds a glyph: the item ImageIndex of Images when that list holds it,
// else the inherited Glyph (NumGlyphs frames: the frame of the state, the last one for states
// beyond). Glyph and caption are placed by Layout, Margin and Spacing, as a block by
// Alignment; the caption's own alignment is TextAlignment. DrawOverBorder false paints the
// border image over glyph and caption. Blend (0..100, clamped) is the glyph's transparency in
// the normal state, Grayed greys it there; DisabledGlyphKind gives the disabled look. A 32-bit
// Glyph is drawn with its alpha (and, Reflected, a mirror fading out below it); a Glyph of
// another depth has its bottom-left pixel as transparent colour. Its background is its cache:
// WM_ERASEBKGND answers 0 while skinned. A new caption is taken without flicker and shown; a
// resize leaves the glows of other controls alone.
//
// Without a skin the button draws itself (the platform's themed or classic push button, the
// caption, the glyph) while it has an image-list or 32-bit glyph; else it is a plain button.
//
//   auto* b = new TsBitBtn(form);
//   b->SetImages(list);
//   b->SetImageIndex(0);
//   b->SetLayout(blGlyphTop);       // the glyph above the caption
#pragma once

#include <functional>

#include "gui/ImgList.h"
#include "skin/controls/sButton.h"

class TsBitBtn : public TsButtonControl<TBitBtn, 94> {
    GUI_CLASS(TsBitBtn, TBitBtn)
    explicit TsBitBtn(TComponent* owner);

    int Blend() const { return blend_; }
    void SetBlend(int percent);
    bool Grayed() const { return grayed_; }
    void SetGrayed(bool on);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool on);
    bool DrawOverBorder() const { return drawOverBorder_; }
    void SetDrawOverBorder(bool on);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TAlignment TextAlignment() const { return textAlignment_; }
    void SetTextAlignment(TAlignment a);
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    // The glyph's looks while the button is disabled: bits 1 << dgBlended (half transparent)
    // and 1 << dgGrayed (grey).
    unsigned DisabledGlyphKind = 1u << dgBlended;
    // The glyph is drawn as a reflection: its rectangle moves up by a sixth of its width.
    bool Reflected = false;
    // Called with the cache bitmap after the button is painted into it.
    std::function<void(TObject* sender, TBitmap* bmp)> OnPaint;

    // Images set and holding ImageIndex.
    bool ImageListUsable() const;
    // The size of one glyph frame (0 x 0 without a glyph) and of the caption as drawn.
    SIZE GlyphSize() const;
    SIZE TextSize();
    // Where the glyph goes in the state.
    TRect GlyphRect(int state);
    void Loaded() override;
    // A change of layout or spacing also rebuilds the cache.
    void Invalidate() override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void WndProc(TMessage& m) override;
    void DrawContent() override;
    bool BorderUnderContent() const override { return drawOverBorder_; }
    LRESULT EraseAnswer() const override { return 0; }
    void CachePainted() override;
    void Notification(TComponent* component) override;
    void CreateParams(TCreateParams& params) override;

private:
    // The glyph of the state onto target, skinned (greyed and blended by the properties) or plain.
    void DrawGlyph(TBitmap& target, int state, bool skinned);
    void DrawListGlyph(TBitmap& target, const TRect& r, int state, bool skinned);
    void DrawBitmapGlyph(TBitmap& target, const TRect& r, int state);
    void Changed(bool repaint = true);
    TRect CaptionRectFor(int state);
    UINT CaptionFlags() const;
    // Without a skin the window draws itself only for an image-list or 32-bit glyph (on the
    // platform's themed or classic push button); else it is a plain push button.
    bool DrawsItselfPlain() const;
    void FollowPlainGlyph(bool skinGone = false);
    void DrawPlain(const DRAWITEMSTRUCT& item);
    // Ends a running fade of the button (the fade-over command to itself).
    void StopOwnFade();
    int blend_ = 0;
    bool grayed_ = false, showCaption_ = true, drawOverBorder_ = true;
    TAlignment alignment_ = taCenter, textAlignment_ = taCenter;
    TCustomImageList* images_ = nullptr;
    int imageIndex_ = -1;
};

// The empty routine the skin manager calls at fixed points (after construction, in Loaded,
// after a new skin name, around its broadcasts): it does nothing.
void StubProc();
// Always false: the manager's broadcast always descends into unskinned windowed children.
bool StubFalse();

// What a tool bar tells of one of its buttons for drawing the button's glyph.
struct TsToolButtonGlyph {
    TCustomImageList* Images = nullptr;
    TCustomImageList* HotImages = nullptr; // used while hot or pressed when it holds ImageIndex
    int ImageIndex = -1;
    int Width = 0, Height = 0; // the button's size
    bool ListStyle = false;    // the caption right of the glyph
    bool ShowCaptions = false; // the caption below the glyph
    bool DropDown = false;     // a button with a drop-down arrow
};
// The tool button's glyph onto bmp for the custom-draw item state: the list's item without its
// key-colour pixels, centred (above the caption when captions show, 8 pixels left for the
// arrow), or 5 pixels from the left in list style; pressed or checked one pixel down and right.
void DrawBtnGlyph(TBitmap* bmp, const TsToolButtonGlyph& button, UINT itemState);
