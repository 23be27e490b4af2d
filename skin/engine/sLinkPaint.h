// Painting and writing through a control's skin link: the link's section for a state into the
// control's bitmap over the background a TsCacheInfo gives (or the parent answers), the
// transparent corners of its border image filled from the parent's background, and the
// control's text in its section's colours.
//
// The routines read only the fields of the link collected in a TsLinkFields; the link fills
// one from its own fields for each call:
//
//   TsLinkFields f;
//   f.Manager = &m;
//   f.SkinIndex = m.GetSkinIndex("BUTTON");
//   f.BorderIndex = m.GeneralData[f.SkinIndex].BorderIndex;
//   f.CacheBmp = cache.get();
//   f.Parent = button->Parent();
//   f.Position = TPoint{button->Left(), button->Top()};
//   PaintItemOnParentBackground(f, true, 1, cache.get(), TPoint{}, TRect{0, 0, w, h});
//   FillParentCorners(f, 1);
//   WriteSkinText(cache->Canvas(), "OK", true, r, DT_CENTER | DT_SINGLELINE, f, 1);
#pragma once

#include <windows.h>

#include <string>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"
#include "skin/engine/sMessages.h"

class TsSkinManager;

// What the drawing routines read of a control's skin link (TsCommonData).
struct TsLinkFields {
    const TsSkinManager* Manager = nullptr; // the link's manager: its own, else the default one
    int SkinIndex = -1;                     // the section, -1 none
    int BorderIndex = -1;                   // the section's border image, -1 none
    int Texture = -1, HotTexture = -1;      // "PATTERN" and "HOTPATTERN" images, -1: looked up
    TBitmap* CacheBmp = nullptr;            // the control's cache bitmap, or none
    int State = 0;                          // the link's own state: 1 while its control is active
    TColor ParentColor = clFuchsia;         // the colour behind the control as its form or control
                                            // gives it, clFuchsia none
    TControl* Parent = nullptr;             // the owner control's parent, asked for the background
    TPoint Position;                        // the owner control's left and top in that parent
    TFont* Font = nullptr;                  // the owner control's font, none: the canvas keeps its own
    bool CustomFont = false;                // the control keeps its own font colour
    int ControlKind = 0;                    // the owner's control-kind code
    bool ParentColoredGraphic = false;      // a graphic owner that takes its parent's colour
    int OpaqueParentIndex = -1;             // the owner's GetOpaqueParentSkinIndex (default: SkinIndex),
                                            // -1 when the link did not ask
};

// The section's background for the link's state into r of bmp (PaintSectionBackground with the
// link's manager, section and textures). The background comes from cache with its offsets
// moved by offset (where r's bitmap lies in the area cache describes); a cache info that is
// not ready and has no fill colour takes the link's ParentColor as its fill colour.
void PaintItemBackground(const TsLinkFields& link, const TsCacheInfo& cache, TBitmap* bmp, const TRect& r,
                         TPoint offset = {});
// The link's section for a state into r of bmp: the background as PaintItemBackground (for
// this state), the link's border image (DrawBorderMask; its middle with filling; nothing in
// state 0 when the image's flags say so) and the section's four corner images.
void PaintItem(const TsLinkFields& link, const TsCacheInfo& cache, bool filling, int state, TBitmap* bmp, TPoint offset,
               const TRect& r);
// PaintItem over the parent's background: the link's Parent is asked (GetParentBackground, no
// drawing), the answer turned into a TsCacheInfo whose offsets are moved by the link's
// Position; without a parent the background is the link's ParentColor (none: the section's
// own layer alone).
void PaintItemOnParentBackground(const TsLinkFields& link, bool filling, int state, TBitmap* bmp, TPoint offset,
                                 const TRect& r);
// The pixels of the link's cache bitmap that the four corner pieces of its border image (for
// the state, as DrawBorderMask places them over the whole bitmap) leave transparent, taken
// from the parent's background: the parent's bitmap at the link's Position, or its colour
// (none: left as they are). Nothing without a manager, a border image, a cache bitmap or a
// parent.
void FillParentCorners(const TsLinkFields& link, int state);

// The control's text in its section's colours for the state (WriteSkinTextOf): the canvas
// first takes the link's Font. The colours come from the link's section; for check boxes,
// radio buttons, group boxes (kinds 32, 33, 74) and graphic controls that take their parent's
// colour, when the section's transparency for the state is above 0, from the link's
// OpaqueParentIndex instead (when it has one). The glow goes into the link's cache bitmap.
void WriteSkinText(TCanvas& canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                   const TsLinkFields& link, int state);
// WriteSkinText with the arguments in the order the controls call it.
void WriteControlText(TCanvas& canvas, const std::string& text, bool enabled, int state, const TsLinkFields& link,
                      UINT flags, const TRect& r);
