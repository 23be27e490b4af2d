// TsSkinData: the skin manager's state of the loaded skin: the folder it came from, whether it
// has been loaded and broadcast, and the skin-wide values of the skin text's section
// "GLOBALINFO". Platform-free.
//
// The GLOBALINFO keys, read without inheritance (16-bit values keep the low 16 bits):
//   VERSION (real with "."; 0), AUTHOR, DESCRIPTION (""), BORDERWIDTH (4), TITLEHEIGHT (30),
//   MAXHEIGHT (0, which means TITLEHEIGHT), FORMOFFSET (8), CENTEROFFSET, BORDERMODE (0),
//   SHADOW1COLOR (0), SHADOW1OFFSET (0), SHADOW1BLUR (-1, kept as 65535), SHADOW1TRANSPARENCY
//   (0), BISPACE, BIVALIGN, BIRIGHT, BILEFT, BITOP (0), BORDERCOLOR (0), BIKEEPHUE (0),
//   BICLOSEGLOW, BICLOSEGLOWMARGIN, BIMAXGLOW, BIMAXGLOWMARGIN, BIMINGLOW, BIMINGLOWMARGIN (0),
//   MASTERBITMAP ("").
// A value that is no number gives the key's default (also for the SHADOW1... and BI...GLOW
// keys, which are converted strictly: one bad number does not stop the skin).
#pragma once

#include <cstdint>
#include <string>

using TColor = int32_t; // 0x00BBGGRR, as in gui/Graphics.h

struct TsSkinData {
    std::string SkinPath;    // folder of the last load, with its trailing "\" ("" for an internal skin)
    bool SkinLoaded = false; // set once the loaded skin has been broadcast, clear while none is

    double Version = 0;
    std::string Author;
    std::string Description;
    uint16_t BorderWidth = 4;
    uint16_t TitleHeight = 30;
    uint16_t MaxHeight = 30; // MAXHEIGHT, or TITLEHEIGHT when it is 0
    uint16_t FormOffset = 8;
    uint16_t CenterOffset = 0;
    uint16_t BorderMode = 0;
    TColor Shadow1Color = 0;
    uint16_t Shadow1Offset = 0;
    uint16_t Shadow1Blur = 65535; // unset
    uint16_t Shadow1Transparency = 0;
    uint16_t BISpace = 0;
    uint16_t BIVAlign = 0;
    uint16_t BIRight = 0;
    uint16_t BILeft = 0;
    uint16_t BITop = 0;
    TColor BorderColor = 0;
    uint16_t BIKeepHue = 0; // title icons that keep their hue
    uint16_t BICloseGlow = 0;
    uint16_t BICloseGlowMargin = 0;
    uint16_t BIMaxGlow = 0;
    uint16_t BIMaxGlowMargin = 0;
    uint16_t BIMinGlow = 0;
    uint16_t BIMinGlowMargin = 0;
    std::string MasterBitmap; // MASTERBITMAP: file (or container entry) name of the master bitmap
};
