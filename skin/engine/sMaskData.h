// The records of a loaded skin, which the whole skin engine paints from: one section record
// (TsGeneralData) per section of the skin text, one mask record (TsMaskData) per image, one
// pattern record (TsPatternData) per JPEG texture. The tables that hold them, their lookups
// and their loaders are in sSkinTables.h; the skin-wide values of GLOBALINFO in sSkinData.h.
// Platform-free (bitmaps are only referred to).
//
// Mask geometry: R is the image's rectangle in the master bitmap (or 0, 0, width, height of an
// own bitmap); ImageCount states lie side by side in it, and MaskType extra bands of the same
// height lie below the picture (1: the lower half is the picture's mask). One state frame is
// MaskFrameWidth x MaskFrameHeight:
//   "@0048@0078@0096@0091@3@0"  R (48, 78, 96, 91), 3 states, mask type 0 -> frames 16 x 13
// WL, WT, WR, WB are the widths of the border pieces (left, top, right, bottom) that stay
// unstretched when a border image is drawn.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "gui/base/Geometry.h"
#include "skin/engine/sGradient.h"

class TBitmap;
class TsSkinManager;

// Kind of a skin image (8-bit).
enum TvxImgType : uint8_t { itisaBorder, itisaTexture, itisaGlyph, itisaGlow, itisaPngGlyph };

// The text colour and its four shadow colours, indexed 1..5 as the skin text names them:
// [1] FONTCOLOR (HOTFONTCOLOR), [2..5] TCLEFT, TCTOP, TCRIGHT, TCBOTTOM (HOTTC...), -1 none.
struct TsFontColors {
    std::array<TColor, 5> Items{0, -1, -1, -1, -1};
    TColor& operator[](int i) { return Items.at(static_cast<size_t>(i - 1)); }
    TColor operator[](int i) const { return Items.at(static_cast<size_t>(i - 1)); }
    bool operator==(const TsFontColors&) const = default;
};

// One section of the skin (one control kind). Defaults are those of a key missing all along
// its PARENTCLASS chain.
struct TsGeneralData {
    std::string ParentClass;        // PARENTCLASS as written
    std::string Name;               // the section name as written
    TColor Color = 0xFFFFFF;        // COLOR, as RGB
    TsFontColors FontColor;         // FONTCOLOR, TCLEFT..TCBOTTOM
    TsFontColors HotFontColor;      // HOTFONTCOLOR, HOTTCLEFT..HOTTCBOTTOM
    bool GiveOwnFont = false;       // GIVEOWNFONT
    int32_t GlowCount = 0;          // GLOW (glow size)
    int32_t GlowMargin = 0;         // GLOWMARGIN
    bool ReservedBoolean = false;   // RESERVEDBOOLEAN
    int32_t Transparency = 0;       // TRANSPARENCY, percent
    int32_t GradientPercent = 0;    // GRADIENTPERCENT
    std::string GradientData = " "; // GRADIENTDATA, " " for none
    TsGradArray GradientArray;      // its steps (empty for " " and for a text with a bad word)
    int32_t ImagePercent = 0;       // IMAGEPERCENT
    bool ShowFocus = false;         // SHOWFOCUS
    bool FadingEnabled = false;     // FADINGENABLED
    int32_t FadingIterations = 5;   // FADINGITERATIONS
    TColor HotColor = 0xFFFFFF;     // HOTCOLOR, as written (not resolved)
    int32_t HotTransparency = 0;    // HOTTRANSPARENCY
    int32_t HotGradientPercent = 0; // HOTGRADIENTPERCENT
    std::string HotGradientData;    // HOTGRADIENTDATA
    TsGradArray HotGradientArray;   // its steps
    int32_t HotImagePercent = 0;    // HOTIMAGEPERCENT
    TColor HotGlowColor = 0xFFFFFF; // HGCOL, as RGB
    TColor GlowColor = 0xFFFFFF;    // GCOL, as RGB
    uint8_t HotGlowSize = 0;        // HGSIZE
    uint8_t GlowSize = 0;           // GSIZE
    int32_t BorderIndex = -1;       // image "BORDERSMASK" (inherited), -1 none; not set for GLOBALINFO
    int32_t ImgTopLeft = -1;        // images "IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"
    int32_t ImgTopRight = -1;       //   (inherited), -1 none; not set for GLOBALINFO
    int32_t ImgBottomLeft = -1;
    int32_t ImgBottomRight = -1;
    bool operator==(const TsGeneralData&) const = default;
};

// One image of the skin.
struct TsMaskData {
    std::shared_ptr<TBitmap> Bmp; // own bitmap ("!" and file values); none: the image lies in the master bitmap
    std::string SectionName;      // section of the key
    std::string PropertyName;     // the key
    TRect R;                      // rectangle in the master bitmap, or (0, 0, width, height) of Bmp
    uint16_t ImageCount = 1;      // states side by side
    uint16_t MaskType = 0;        // bands below the picture; 65535 (-1) leaves no frame height
    uint16_t BorderWidth = 0;
    uint16_t StretchMode = 0; // draw mode: flags of a border image, layout of a texture
    TvxImgType ImgType = itisaBorder;
    TsSkinManager* Manager = nullptr; // the manager that loaded it
    uint16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

// One JPEG texture of the skin.
struct TsPatternData {
    std::shared_ptr<TBitmap> Img; // the decoded picture, 24 bits
    std::string SectionName;
    std::string PropertyName;
};

// R's width div ImageCount; 0 when ImageCount is 0.
int MaskFrameWidth(const TsMaskData& mask);
// R's height div (MaskType + 1), MaskType taken as signed 16-bit; 0 when that leaves no band
// (65535 = -1, and other values above 32767).
int MaskFrameHeight(const TsMaskData& mask);
// The rectangle cut to a bitmap of width x height (an inverted one becomes empty at its left
// or top): the rectangle an image in the master bitmap keeps.
TRect ClipToBitmap(const TRect& r, int width, int height);
