// TvxSpeedButtonHandler: how the control adapter skins a speed button (gui/Buttons.h), which has
// no window of its own: the handler takes over the button's WindowProc and paints it, whenever
// its parent paints it, from the section of its link ("SPEEDBUTTON", "SPEEDBUTTON_SMALL" for a
// flat one): state 2 while down or pressed, 1 while the mouse is over it, 0 otherwise; glyph
// and caption placed as the button places them (LayoutSpeedButton), the caption in the
// section's font colours. The button's own painting is not called meanwhile.
//
//   TsCommonData link(item, true);
//   auto* h = new TvxSpeedButtonHandler(button, false, "SPEEDBUTTON", nullptr, &link);
//   button->Repaint();      // skinned
//   delete h;               // the button's WindowProc as it was
#pragma once

#include <string>

#include "gui/Buttons.h"
#include "skin/engine/sCommonData.h"

class TvxSpeedButtonHandler : public TObject {
    GUI_CLASS(TvxSpeedButtonHandler, TObject)
    // scroll is not used. The manager: the given one, else the link's; the link takes the
    // section when it has none.
    TvxSpeedButtonHandler(TSpeedButton* control, bool scroll, const std::string& section, TsSkinManager* manager,
                          TsCommonData* skinData);
    // The button's WindowProc given back (unless Destroyed, and not while the control adapter
    // frees all its items outside a removal of every skin).
    ~TvxSpeedButtonHandler() override;
    TvxSpeedButtonHandler(const TvxSpeedButtonHandler&) = delete;
    TvxSpeedButtonHandler& operator=(const TvxSpeedButtonHandler&) = delete;

    TSpeedButton* Ctrl;
    TsSkinManager* Manager;
    TsCommonData* SkinData; // the graph item's link (not owned)
    bool Destroyed = false;

    void WndProc(TMessage& m, const TWndMethod& inherited);
    // 2 down or pressed, 1 active, 0.
    int State() const;
    // The button's look into the link's cache; false when the parent gave an empty background.
    bool PrepareCache();

private:
    void Paint(HDC dc);
    void SkinCommand(TMessage& m, const TWndMethod& inherited);
    int hook_ = 0;
};
