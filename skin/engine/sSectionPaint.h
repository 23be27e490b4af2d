// Painting a whole skin section into a bitmap (a control's cache): its background (colour,
// gradient and texture over the parent's background by its transparency), its border image
// and its corner images; and the disabled look of a painted control.
//
// States: 0 normal (the section's Color, Transparency, ImagePercent, GradientPercent,
// GradientArray, "PATTERN"), anything else hot (HotColor, HotTransparency, HotImagePercent,
// HotGradientPercent, HotGradientArray, "HOTPATTERN"). The background the section lies on
// comes from a TsCacheInfo (sMessages.h): the parent's cache bitmap at an offset (Ready), or
// its fill colour (0xFF00FF: none).
//
//   TsCacheInfo parent = MakeCacheInfo(parentCache, control->Left(), control->Top());
//   PaintSection(cache.get(), TRect{0, 0, w, h}, m.GetSkinIndex("BUTTON"), &m, 0, parent);
#pragma once

#include <windows.h>

#include <string>

#include "gui/Graphics.h"
#include "gui/base/Geometry.h"
#include "skin/engine/sMessages.h"

class TsSkinManager;

// The background of a section in r of bmp:
//  1. no manager: the default manager; nothing without one or for an invalid section index;
//  2. color 0xFF00FF: colour C, transparency T, image percent I and gradient percent G of the
//     section for the state, with T not 100 and I above 0 the texture (texture in state 0,
//     else hotTexture; -1: the section's "PATTERN" / "HOTPATTERN" texture image, else its
//     JPEG pattern of that name), with G above 0 its gradient; any other color: C := color,
//     T := 0 and no image or gradient;
//  3. T 0, or no ready cache and no fill colour: the section's own layer into r;
//  4. T 100: the background only: the fill colour (32-bit bitmaps at alpha 255) without a
//     ready cache; with one (other than bmp itself) the cache bitmap's area at (cache X +
//     r.Left, cache Y + r.Top);
//  5. T 1..99 with a ready cache, or with I or G: the layer into a work bitmap, the background
//     into r as in 4, the work bitmap summed onto it with alpha ClampByte(T x 255 div 100);
//  6. otherwise: r filled with BlendColors(fill colour, C, T / 100).
// The own layer: a texture image by its draw mode (TexturePieces of sMaskTiles.h; stretching
// halftone; a masked image, through the masked copy, only in modes 0 and 10), or a JPEG
// pattern tiled; then the part of r left (all of r without a texture) gets the gradient or C.
// With a texture and G above 0 the gradient (C when the section has no gradient steps) is
// summed over the texture's area with alpha ClampByte(I x 255 div 100): I 100 keeps the
// texture, I 0 shows the gradient.
void PaintSectionBackground(TBitmap* bmp, const TRect& r, const TsCacheInfo& cache, const TsSkinManager* manager,
                            int sectionIndex, int state, TColor color = clFuchsia, int texture = -1,
                            int hotTexture = -1);
// The background, the section's border image (DrawBorderMask, middle included) and its four
// corner images (DrawMaskGlyph at r's corners).
void PaintSection(TBitmap* bmp, const TRect& r, int sectionIndex, const TsSkinManager* manager, int state,
                  const TsCacheInfo& cache);
// The section's four corner images (DrawMaskGlyph of the state) at r's corners.
void DrawSectionCorners(TBitmap* bmp, const TRect& r, int sectionIndex, const TsSkinManager* manager, int state);
// PaintSection into a 24-bit bitmap of r's size, copied to dc at point; nothing drawn without
// a manager or a valid section.
void PaintSectionToDC(HDC dc, TPoint point, const TRect& r, int sectionIndex, const TsSkinManager* manager, int state,
                      const TsCacheInfo& cache);
// PaintSection for a section given by name, fallbackName when it is missing; with a source DC
// its image at srcPoint is first copied into r of bmp (the background of a transparent
// section). False when neither section exists.
bool PaintSectionByName(TBitmap* bmp, const TRect& r, const std::string& name, const std::string& fallbackName,
                        const TsSkinManager* manager, int state, const TsCacheInfo& cache, HDC srcDC = nullptr,
                        TPoint srcPoint = {});
// A part of a section drawn into its own bitmap: the background and the border image maskIndex
// into (0, 0, part's size) of bmp, the cache offsets moved by the part's position.
void PaintSectionBorderBackground(TBitmap* bmp, const TRect& part, int sectionIndex, int maskIndex,
                                  const TsSkinManager* manager, int state, const TsCacheInfo& cache);

// The disabled looks (a set of these flags).
enum : unsigned { dkBlended = 1, dkGrayed = 2 };
// The disabled look on a control's painted bitmap: dkGrayed makes it grey first; dkBlended,
// with a ready cache, blends the cache bitmap's area of the control (at the cache offset plus
// offset) onto it with factor 0.4, so 60 % of the background and 40 % of the control remain;
// without one, tints the whole bitmap 50 % towards the fill colour (parentColor when that is
// 0xFF00FF).
void ApplyDisabledKind(TBitmap* bmp, unsigned kinds, TPoint offset, const TsCacheInfo& cache,
                       TColor parentColor = clBtnFace);
