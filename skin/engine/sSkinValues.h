// The image values of a skin text: which values name an image, and the image's rectangle,
// states and border widths. Platform-free.
//
// By the first character of the value (columns are 1-based character positions):
//   "@LLLL@TTTT@RRRR@BBBB@C@M"   glyph in the master bitmap: Left 2-5, Top 7-10, Right 12-15,
//                                Bottom 17-20, states 22, mask type 24
//   "^LLLL^TTTT^RRRR^BBBB^WLLL^WTTT^WRRR^WBBB^C^M^S^W"   border in the master bitmap: the
//                                rectangle as above, widths 22-25, 27-30, 32-35, 37-40, states
//                                42, mask type 44, stretch mode 46, border width 48
//   "~LLLL~TTTT~RRRR~BBBB~SS~M"  texture in the master bitmap: stretch mode 22-23, mask type 25
//                                when the value is longer than 24 characters (else 0), 1 state
//   "!FILE.BMP!C!M!K[!WL!WT!WR!WB]"   own image from a file (".BMP" or ".PNG", upper case):
//                                words between "!": states, mask type, kind (0..4; others 4),
//                                then the four widths when there are more than 4 words;
//                                stretch mode 4
//   anything else with "#" (not "#" alone), "#(L,T,R,B)(C,M[,W[,S]])"   older notation: words
//                                split at parentheses (parts of blanks only do not count),
//                                items at commas and blanks;
//                                border in the master bitmap, states at least 1, mask type at
//                                least 0, border width (default 0, at least 0), stretch mode
//                                (default 1); section and key names upper-cased
//   anything else whose upper-cased text holds ".BMP"   own 24-bit image from that file: 3
//                                states, mask type 1, kind border; names upper-cased
// Numbers are decimal. A value that is too short for its columns, or whose number, word or
// item is missing or no number, is no image at all (its record is skipped).
//
// Border widths of "^" values whose four widths are all 0, and of "!", "#" and file values
// without widths: all four are the border width when it is not 0; otherwise
// WL = WR = width div (states x 3) and WT = WB = height div ((mask type + 1) x 3), a state
// count of 0 taken as 1 and a mask type that leaves no band giving 0:
//   "^0186^0000^0249^0042^0000^0000^0000^0000^3^1^5^0"   63 x 42, 3 states, mask type 1 -> 7, 7, 7, 7
#pragma once

#include <string>

#include "skin/engine/sMaskData.h"

struct TsImageValue {
    bool OwnFile = false;       // an own image (FileName); else the rectangle lies in the master bitmap
    std::string FileName;       // own images: the file (or container entry) name as written
    bool UpperNames = false;    // "#" and file values: section and key names are stored upper-cased
    bool DerivesWidths = false; // "^" with four widths 0, "!" without widths, "#" and file values
    TsMaskData Mask;            // R (master images), ImageCount, MaskType, BorderWidth, StretchMode, ImgType, WL..WB
};

// Reads one value; false when it names no image (or is malformed).
bool ParseImageValue(const std::string& value, TsImageValue& image);

// The border widths of a record whose widths were not given, from R (see above).
void DeriveBorderWidths(TsMaskData& mask);
