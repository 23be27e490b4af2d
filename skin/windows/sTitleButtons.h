// The buttons and the icon of a skinned form's title bar, as its provider (sSkinProvider.h)
// keeps them: one record per system button (minimise, maximise, close, help) with its state,
// its skin image and its place, the user's own buttons (TsTitleButtons, read from the form
// description's TitleButtons collection) and the replacement title icon (TsTitleIcon).
//
//   object sSkinProvider1: TsSkinProvider
//     TitleButtons = <
//       item
//         Name = 'Sperren'
//         Hint = 'Kasse sperren'
//         Glyph.Data = {...}
//       end>
//   end
//
//   TsTitleButton& b = provider->TitleButtons().Items(0);
//   b.OnMouseUp = [](TObject* sender, TMouseButton, TShiftState, int, int) { ... };   // sender: b
//
// A user button is 1000 + its index in the hit test; it is drawn with the GLOBALINFO
// "TITLEBUTTON" frame (UseSkinData) and its glyph centred on it (a 32-bit glyph with its alpha,
// any other with its bottom-left pixel as transparent colour).
#pragma once

#include <memory>
#include <string>

#include "gui/Collections.h"
#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"

class THintWindow;
class TsSkinProvider;
class TsSkinManager;

// Hit codes of the title bar's buttons.
constexpr int htUserButton = 1000; // + the user button's index
// A maximised MDI child's buttons in its main form's menu line.
constexpr int htMDIMinimise = 101, htMDIRestore = 102, htMDIClose = 103;

// One button of the title bar.
class TvxSBAnimation;

struct TsCaptionButton {
    int State = -1;      // 0 normal, 1 hot, 2 pressed; -1 none
    int ImageIndex = -1; // the button's image (a GLOBALINFO mask), -1 none
    TRect Rect{};        // in image (window) coordinates, set when the title is painted
    bool Big = true;     // one of the large BICON images (or used in their place)
    int GlowID = -1;     // the glow shown around it, -1 none
    int HitCode = 0;
    bool Shown = false; // placed by the last painting of the title
    TvxSBAnimation* Animation = nullptr; // its fade (skin/windows/vxSBAnimation.h), none until used
};

// The width and height of a button drawn with an image: its frame's size; 21 without one.
int CaptionButtonWidth(const TsSkinManager* manager, int imageIndex);
int CaptionButtonHeight(const TsSkinManager* manager, int imageIndex);
// The title icon's automatic size for a caption height: 1 below 9, 8 up to 16, else 16
// (IconSizeFor(19) = 16, IconSizeFor(12) = 8).
int IconSizeFor(int captionHeight);

class TsTitleButton : public TCollectionItem {
    GUI_CLASS(TsTitleButton, TCollectionItem)
    TsTitleButton();
    ~TsTitleButton() override;

    bool Enabled = true;
    std::string Hint;
    std::string Name = "TsTitleButton";
    bool UseSkinData = true;
    TBitmap& Glyph() { return glyph_; }
    bool Visible() const { return visible_; }
    // Stores; a change repaints the provider's title at once.
    void SetVisible(bool v);
    TMouseEvent OnMouseDown, OnMouseUp;

    void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    TsCaptionButton Button;
    // The hint shown while the button is hot.
    std::unique_ptr<THintWindow, void (*)(THintWindow*)> HintWindow;

private:
    TBitmap glyph_;
    bool visible_ = true;
};

class TsTitleButtons : public TItemCollection<TsTitleButton> {
    GUI_CLASS(TsTitleButtons, TItemCollection<TsTitleButton>)
    explicit TsTitleButtons(TsSkinProvider* provider);
    TsSkinProvider* Provider() const { return provider_; }

private:
    TsSkinProvider* provider_;
};

// The replacement title icon: Glyph (empty: the form's or the program's icon), Width and
// Height (0: the automatic size).
class TsTitleIcon : public TObject {
    GUI_CLASS(TsTitleIcon, TObject)
    TBitmap& Glyph() { return glyph_; }
    int Width = 0;
    int Height = 0;

private:
    TBitmap glyph_;
};
