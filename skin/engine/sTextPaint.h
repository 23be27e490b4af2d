// Writing text: DrawTextA of a string, canvas measures, a text cut to a width with "...", text
// in a skin section's colours with its contour colours, and the soft glow of text.
//
//   CutTextToWidth(canvas, "Abbrechen", 30)   -> "Ab..." (or what fits 30 pixels with "...")
//   WriteSectionTextEx(canvas, "OK", true, &m, 1, m.GetSkinIndex("BUTTON"), DT_CENTER, r);
#pragma once

#include <windows.h>

#include <string>

#include "gui/Graphics.h"
#include "gui/base/Geometry.h"

class TsSkinManager;

// DrawTextA with the text's length; its answer (the text's height, 0 on failure).
int DrawTextStr(HDC dc, const std::string& text, RECT& r, UINT flags);
// The canvas's text width and size in its font, and its clipped text output.
int CanvasTextWidth(TCanvas& canvas, const std::string& text);
SIZE CanvasTextExtent(TCanvas& canvas, const std::string& text);
void CanvasTextRect(TCanvas& canvas, const TRect& r, int x, int y, const std::string& text);
// The size of the text in the font on a screen DC (GetTextExtentPoint32A); 0 x 0 on failure.
SIZE GetFontTextExtent(TFont& font, const std::string& text);
// "" for a maxWidth below 1; the text itself when it fits; otherwise its last characters are
// taken off until the rest followed by "..." fits, and that is the result (so a cut text
// always fits, also where the rest alone would fit but not with "..."); "" when no character
// can stay. Measured in the canvas's font.
std::string CutTextToWidth(TCanvas& canvas, const std::string& text, int maxWidth);
// The text in the section's font colour for the state (state 0: FontColor[1], else
// HotFontColor[1]) with a hollow background, in the canvas's font. Enabled: first each
// contour colour of the state (FontColor[2..5]: left, top, right, bottom) that is not -1, with
// r moved one pixel that way; disabled: once in BlendColors(font colour, the section's colour
// for the state, 0.4). Without a manager (nor a default one) or a valid section the text is
// written once in the canvas's font colour.
void WriteSectionTextEx(TCanvas& canvas, const std::string& text, bool enabled, const TsSkinManager* manager, int state,
                        int sectionIndex, UINT flags, const TRect& r);
// The same with the default manager, hot meaning state 1.
void WriteSectionText(TCanvas& canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                      int sectionIndex, bool hot);
// The text of a skinned control, as its skin link writes it (the link gives the manager, the
// section for the colours, the state, its cache bitmap and whether the control keeps its own
// font colour; the canvas already holds the control's font). Nothing without a manager. In a
// hot state (state not 0) the "WEBBUTTON" section underlines the canvas's font. The canvas is
// clipped to r and its background left hollow. With a valid section and a cache bitmap, a
// glow size for the state (GlowSize, HotGlowSize) above 0 first puts the glow (GlowColor,
// HotGlowColor; 15 passes) into the cache bitmap. Disabled: once in BlendColors(the section's
// font colour for the state, the manager's global colour, 0.4); customFont: once in the
// canvas's font colour with DT_NOCLIP; otherwise the contour colours, then the text, as
// WriteSectionTextEx. An invalid section writes in the canvas's font colour.
void WriteSkinTextOf(TCanvas& canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                     const TsSkinManager* manager, int sectionIndex, int state, TBitmap* cache, bool customFont);
// A soft glow of the text in r of bmp: the text written black on white into a work bitmap of
// r's size in the font (with passes above 1 also one pixel off in each of up to passes - 1 of
// the eight directions, a contour), blurred with the Gaussian blur of radius size
// (GaussianBlur of sBitmapEffects.h), and blended into bmp in the colour: channel := ((colour -
// channel) x cover + channel x 256) >> 8, cover = 255 - the blurred grey.
void WriteTextWithEffects(TBitmap* bmp, const std::string& text, const TRect& r, TFont& font, TColor color, int size,
                          int passes, UINT flags);
