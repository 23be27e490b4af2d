// The test skins: one layout table from which the generator skingen writes every test skin at
// build time (no binary skin is kept in the repository), and from which the tests know what
// each skin holds. Plain C++, shared by the generator and the tests.
//
// Skins written into the output folder (each a folder holding "Options.dat" and its files):
//   Empty       an empty "Options.dat"
//   Colors      colours only, no image: the sections the program's windows use, every
//               transparency case (0, 50, 100, -1 inherited, missing), gradients of modes 0, 1
//               and 2 and "N/A", the chain BUTTON_HUGE -> BUTTON_BIG -> BUTTON, a section that
//               names itself as parent (SELFISH), GLOBALINFO with every key
//   Masks       a master bitmap (Master.bmp, 256 x 160, 24 bits) and own bitmaps in every image
//               syntax ("@", "^", "~", "!", "#", plain file), own bitmaps of 8, 24 and 32 bits
//               stored bottom-up and top-down, PNG images (one behind a ".BMP" name), a JPEG
//               pattern (Texture.jpg)
//   Masks.vtz   the same skin packed, with the lowest bit of every COLOR value turned over
//   Damaged     malformed numbers, short values, state count 0, mask types 9 and -1, a rectangle
//               reaching outside the master bitmap, missing, empty (width 0), broken, cut
//               short and lower-case image files, a broken PNG, a broken JPEG, a PARENTCLASS cycle, a bad gradient word
//   NoMaster    MASTERBITMAP names a missing file
//   NoOptions   a folder without "Options.dat"
//   Broken.vtz  the first half of Masks.vtz
//   Probe...    the probe skins of the skinned windows and controls (below)
// Every VERSION is 6.99 or below (a higher one opens a message box).
//
// Colour coding of the images (so that a sampled pixel tells which piece of which image landed
// where), as RGB values of the picture:
//   red   = the image's Id (unique over all test skins)
//   green = 16 x state + piece; state 0.. counts the frames from the left; piece 0 top-left,
//           1 top, 2 top-right, 3 left, 4 middle, 5 right, 6 bottom-left, 7 bottom,
//           8 bottom-right, the pieces cut by the record's border widths WL, WT, WR, WB inside
//           each frame (frame = rectangle width div states by height div (mask type + 1));
//           with all widths 0 (glyphs, textures) the whole frame is piece 4
//   blue  = 200
//   the four outer corner pixels of every frame are 0xFF00FF (transparent); images with the
//   staircase option have 3, 2 and 1 such pixels in the outer three rows of each corner
//   the mask band below the picture (mask type 1 and above) is black (white with the
//   WhiteMask option): through the masked copy the picture shows unchanged (the destination
//   stays); columns right of the last whole frame are black too
//   master bitmap pixels outside every image are black
// So the pixel at (x, y) of frame s, piece p of image i reads RGB(i, 16 * s + p, 200), and as a
// TColor (0x00BBGGRR): TestColor(i, s, p) below.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testskins {

struct TTestRect {
    int Left, Top, Right, Bottom;
};

constexpr int MasterWidth = 256, MasterHeight = 160;

// One image value of a skin, with what its record must hold.
struct TTestImage {
    const char* Skin;    // "Masks", "Damaged", "NoMaster"
    const char* Section; // as the skin text writes it
    const char* Key;
    const char* Value;
    int Id;               // red channel of its pixels; 0 for values that name no picture
    const char* File;     // own picture file (folder name = container entry), nullptr: in the master
    int FileBits;         // own BMP: 8, 24 or 32 bits; 0 PNG (8-bit RGBA, magenta pixels alpha 0)
    bool TopDown;         // own BMP stored top-down
    TTestRect R;          // the record's rectangle (own pictures: 0, 0, width, height)
    int States, MaskType; // as the record holds them (MaskType -1 for 65535)
    int WL, WT, WR, WB;   // the record's border widths (also how the pieces are cut)
    int ImgType;          // 0 border, 1 texture, 2 glyph, 4 PNG glyph
    int StretchMode;
    bool Recorded;          // a record is loaded for it
    bool Staircase = false; // corners: a staircase of 3, 2 and 1 transparent pixels (else one pixel)
    bool WhiteMask = false; // the mask band below the picture is white (else black)
};

// The images of all skins, in the order their records are loaded (section order of the text,
// then key order). Entries with Recorded false add no record (Id 0: nothing painted).
// clang-format off
inline constexpr TTestImage Images[] = {
    // Masks: master images
    {"Masks", "GLOBALINFO", "BOXCHECKED", "@0048@0078@0096@0091@3@0", 1, nullptr, 0, false, {48, 78, 96, 91}, 3, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "GLOBALINFO", "BOXUNCHECKED", "@0096@0078@0144@0091@3@0", 13, nullptr, 0, false, {96, 78, 144, 91}, 3, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "GLOBALINFO", "RADIOCHECKED", "@0144@0078@0192@0091@3@0", 14, nullptr, 0, false, {144, 78, 192, 91}, 3, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "GLOBALINFO", "EXBORDER", "^0000^0078^0048^0096^0000^0000^0000^0000^2^0^0^3", 15, nullptr, 0, false, {0, 78, 48, 96}, 2, 0, 3, 3, 3, 3, 0, 0, true},
    {"Masks", "BUTTON", "BORDERSMASK", "^0186^0000^0249^0042^0000^0000^0000^0000^3^1^5^0", 2, nullptr, 0, false, {186, 0, 249, 42}, 3, 1, 7, 7, 7, 7, 0, 5, true},
    {"Masks", "BUTTON", "IMGTOPLEFT", "@0036@0096@0044@0104@1@0", 17, nullptr, 0, false, {36, 96, 44, 104}, 1, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "BUTTON_HUGE", "BORDERSMASK", "!BUTTONHUGE.BMP!3!1!0", 30, "ButtonHuge.bmp", 24, false, {0, 0, 90, 60}, 3, 1, 10, 10, 10, 10, 0, 4, true},
    {"Masks", "COMBOBOX", "BORDERSMASK", "^0000^0000^0060^0040^0003^0004^0005^0006^3^1^1^0", 3, nullptr, 0, false, {0, 0, 60, 40}, 3, 1, 3, 4, 5, 6, 0, 1, true},
    {"Masks", "COMBOBOX", "GLYPHMASK", "@0188@0042@0236@0058@3@0", 12, nullptr, 0, false, {188, 42, 236, 58}, 3, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "COMBOBTN", "BORDERSMASK", "^0112^0042^0172^0062^0000^0000^0000^0000^3^0^0^0", 10, nullptr, 0, false, {112, 42, 172, 62}, 3, 0, 6, 6, 6, 6, 0, 0, true},
    {"Masks", "COMBOBTN", "PATTERN", "~0172~0042~0188~0058~00~", 11, nullptr, 0, false, {172, 42, 188, 58}, 1, 0, 0, 0, 0, 0, 1, 0, true},
    {"Masks", "TABTOP", "BORDERSMASK", "^0060^0000^0120^0040^0000^0000^0000^0000^2^0^0^5", 4, nullptr, 0, false, {60, 0, 120, 40}, 2, 0, 5, 5, 5, 5, 0, 0, true},
    {"Masks", "SCROLLBTNTOP", "BORDERSMASK", "^0120^0000^0180^0020^0000^0000^0000^0000^3^0^1^0", 5, nullptr, 0, false, {120, 0, 180, 20}, 3, 0, 6, 6, 6, 6, 0, 1, true},
    {"Masks", "SCROLLBTNTOP", "GLYPHMASK", "@0120@0020@0168@0036@3@0", 6, nullptr, 0, false, {120, 20, 168, 36}, 3, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "SCROLLSLIDERV", "BORDERSMASK", "^0000^0042^0048^0078^0000^0000^0000^0000^3^1^0^2", 7, nullptr, 0, false, {0, 42, 48, 78}, 3, 1, 2, 2, 2, 2, 0, 0, true},
    {"Masks", "SCROLLBAR1H", "PATTERN", "~0048~0042~0080~0058~01~", 8, nullptr, 0, false, {48, 42, 80, 58}, 1, 0, 0, 0, 0, 0, 1, 1, true},
    {"Masks", "SCROLLBAR1H", "HOTPATTERN", "~0080~0042~0112~0074~00~1", 9, nullptr, 0, false, {80, 42, 112, 74}, 1, 1, 0, 0, 0, 0, 1, 0, true},
    {"Masks", "Panel", "bordersmask", "#(0,96,36,120)(3,1,3,1)", 16, nullptr, 0, false, {0, 96, 36, 120}, 3, 1, 3, 3, 3, 3, 0, 1, true},
    {"Masks", "GAUGE", "BordersMask", "^0044^0096^0080^0120^0000^0000^0000^0000^1^0^0^0", 18, nullptr, 0, false, {44, 96, 80, 120}, 1, 0, 12, 8, 12, 8, 0, 0, true},
    {"Masks", "HINT", "BORDERSMASK", "@0080@0096@0112@0112@2@0", 19, nullptr, 0, false, {80, 96, 112, 112}, 2, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "HINT", "BORDERSMASK", "@0112@0096@0144@0112@2@0", 20, nullptr, 0, false, {112, 96, 144, 112}, 2, 0, 0, 0, 0, 0, 2, 0, true},
    {"Masks", "MENULINE", "BORDERSMASK", "#(144,96,168,120)(2,0)", 21, nullptr, 0, false, {144, 96, 168, 120}, 2, 0, 4, 8, 4, 8, 0, 1, true},
    {"Masks", "FORMTITLE", "BORDERSMASK", "!TITLE.BMP!2!0!0!4!3!4!3", 31, "Title.bmp", 32, false, {0, 0, 64, 20}, 2, 0, 4, 3, 4, 3, 0, 4, true},
    {"Masks", "MENUITEM", "BORDERSMASK", "!MENU8.BMP!1!1!1", 32, "Menu8.bmp", 8, true, {0, 0, 24, 24}, 1, 1, 8, 4, 8, 4, 1, 4, true},
    {"Masks", "EDIT", "BORDERSMASK", "EDIT.BMP", 33, "Edit.bmp", 24, true, {0, 0, 36, 24}, 3, 1, 4, 4, 4, 4, 0, 0, true},
    {"Masks", "TOOLBUTTON", "GLYPHMASK", "!TOOL.BMP!2!0!9", 34, "Tool.bmp", 8, false, {0, 0, 32, 16}, 2, 0, 5, 5, 5, 5, 4, 4, true},
    // PNG pictures (magenta with alpha 0): by the name, and by the bytes behind a ".BMP" name.
    {"Masks", "TOOLBAR", "GLYPHMASK", "!GLYPH.PNG!2!0!4", 35, "Glyph.png", 0, false, {0, 0, 32, 16}, 2, 0, 5, 5, 5, 5, 4, 4, true},
    {"Masks", "TOOLBAR", "HOTGLYPHMASK", "!HOTGLYPH.BMP!3!1!0", 36, "HotGlyph.bmp", 0, false, {0, 0, 45, 30}, 3, 1, 5, 5, 5, 5, 0, 4, true},

    // Damaged: master images and own files (Master.bmp 64 x 64)
    {"Damaged", "GLOBALINFO", "BOXCHECKED", "@00x8@0078@0096@0091@3@0", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "GLOBALINFO", "BOXGRAYED", "@0048@0078", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "GLOBALINFO", "RADIOGRAYED", "~0000~0000~0010~0010~0x~", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "GLOBALINFO", "SMALLGRAYED", "^0000^0000^0010^0010^0000^0000^0000^0000^1^0^0", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "BUTTON", "BORDERSMASK", "^0040^0040^0100^0100^0000^0000^0000^0000^1^0^0^0", 40, nullptr, 0, false, {40, 40, 64, 64}, 1, 0, 8, 8, 8, 8, 0, 0, true},
    {"Damaged", "BUTTON", "IMGTOPLEFT", "#(1,2,3)(1,0)", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "BUTTON", "IMGTOPRIGHT", "#", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "EDIT", "BORDERSMASK", "^0000^0000^0030^0020^0000^0000^0000^0000^0^1^0^0", 41, nullptr, 0, false, {0, 0, 30, 20}, 0, 1, 10, 3, 10, 3, 0, 0, true},
    {"Damaged", "EDIT", "GLYPHMASK", "@0000@0020@0030@0030@3@9", 42, nullptr, 0, false, {0, 20, 30, 30}, 3, 9, 0, 0, 0, 0, 2, 0, true},
    {"Damaged", "EDIT", "IMGTOPLEFT", "own.bmp", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "EDIT", "IMGTOPRIGHT", "!own.bmp!1!0!0", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "COMBOBOX", "BORDERSMASK", "!OWN.BMP!2!-1!0", 43, "Own.bmp", 24, false, {0, 0, 20, 10}, 2, -1, 3, 0, 3, 0, 0, 4, true},
    {"Damaged", "COMBOBOX", "GLYPHMASK", "!OWN.BMP!1!0!0!3", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "COMBOBOX", "IMGTOPLEFT", "!OWN.BMP!1!0!x", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "COMBOBOX", "IMGTOPRIGHT", "!NOFILE.BMP!1!0!0", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "COMBOBOX", "IMGBTMLEFT", "!EMPTY.BMP!1!0!0", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "COMBOBOX", "IMGBTMRIGHT", "!BROKEN.BMP!1!0!0", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "COMBOBOX", "HOTGLYPHMASK", "!BROKEN.PNG!1!0!4", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"Damaged", "COMBOBOX", "SHORTMASK", "!SHORT.BMP!1!0!0", 0, nullptr, 0, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, false},

    // NoMaster: an image in a master bitmap that is missing keeps an empty rectangle
    {"NoMaster", "BUTTON", "BORDERSMASK", "@0000@0000@0010@0010@1@0", 0, nullptr, 0, false, {0, 0, 0, 0}, 1, 0, 0, 0, 0, 0, 2, 0, true},
};
// clang-format on

// A skin folder (and, with Packed, a container of the same name beside it).
struct TTestSkin {
    const char* Name;
    const char* Options; // the text of "Options.dat" (nullptr: the folder has none)
    bool Packed;         // also written as Name.vtz, with the lowest bit of every COLOR value turned over
};

inline constexpr TTestSkin Skins[] = {
    {"Empty", "", false},
    {"Colors", R"([GLOBALINFO]
VERSION=6.10
AUTHOR=Tillora tests
DESCRIPTION=Colours only
BORDERWIDTH=5
TITLEHEIGHT=24
MAXHEIGHT=0
FORMOFFSET=6
CENTEROFFSET=2
BORDERMODE=1
SHADOW1COLOR=255
SHADOW1OFFSET=2
SHADOW1BLUR=3
SHADOW1TRANSPARENCY=40
BISPACE=1
BIVALIGN=2
BIRIGHT=3
BILEFT=4
BITOP=5
BORDERCOLOR=8421504
BIKEEPHUE=2
BICLOSEGLOW=6
BICLOSEGLOWMARGIN=7
BIMAXGLOW=8
BIMAXGLOWMARGIN=9
BIMINGLOW=10
BIMINGLOWMARGIN=11
COLOR=13160660
FONTCOLOR=4210752
HOTCOLOR=15790320
[FORM]
COLOR=-2147483643
GRADIENTDATA=N/A
[DIALOG]
PARENTCLASS=FORM
[FORMTITLE]
COLOR=8388608
FONTCOLOR=16777215
[BUTTON]
COLOR=14211288
FONTCOLOR=128
TCLEFT=255
TCBOTTOM=65280
TRANSPARENCY=0
HOTTRANSPARENCY=20
GRADIENTPERCENT=100
GRADIENTDATA=0;16777215;100;0;0
GLOW=3
GLOWMARGIN=2
SHOWFOCUS=TRUE
FADINGENABLED=true
FADINGITERATIONS=7
GIVEOWNFONT=yes
HGCOL=255
HGSIZE=300
GCOL=-2147483633
GSIZE=4
[BUTTON_BIG]
PARENTCLASS=BUTTON
COLOR=16777215
[BUTTON_HUGE]
PARENTCLASS=BUTTON_BIG
TRANSPARENCY=-1
[EDIT]
COLOR=16777215
FONTCOLOR=0
HOTFONTCOLOR=255
[VELOCONEDIT]
PARENTCLASS=EDIT
[COMBOBOX]
PARENTCLASS=EDIT
[VELOCONCOMBOBOX]
PARENTCLASS=COMBOBOX
[COMBOBTN]
COLOR=12632256
[CHECKBOX]
TRANSPARENCY=100
[RADIOBUTTON]
PARENTCLASS=CHECKBOX
TRANSPARENCY=-1
[GROUPBOX]
TRANSPARENCY=50
[PANEL]
COLOR=12632256
GRADIENTPERCENT=50
GRADIENTDATA=255;65280;50;1;0;65280;16711680;50;1;0
[PANEL_LOW]
PARENTCLASS=PANEL
GRADIENTDATA=255;65280;0;2;0;16711680;0;0;2;0;128;0;0;2;0
[GAUGE]
COLOR=32768
[PROGRESSH]
PARENTCLASS=GAUGE
[PROGRESSV]
PARENTCLASS=GAUGE
[MENUITEM]
COLOR=15790320
HOTCOLOR=8388608
HOTFONTCOLOR=65535
HOTGRADIENTDATA=0;255;100;0;0;7;7;7
[MENULINE]
COLOR=8421504
[MAINMENU]
COLOR=15790320
[ICOLINE]
COLOR=14737632
[EXTRALINE]
COLOR=8388608
[HINT]
COLOR=14745599
[STATUSBAR]
COLOR=13160660
[TOOLBAR]
PARENTCLASS=STATUSBAR
[TOOLBUTTON]
TRANSPARENCY=100
HOTTRANSPARENCY=0
[SPEEDBUTTON]
PARENTCLASS=TOOLBUTTON
[SPEEDBUTTON_SMALL]
PARENTCLASS=SPEEDBUTTON
[SPLITTER]
COLOR=13160660
[DRAGBAR]
PARENTCLASS=SPLITTER
[DIVIDER]
COLOR=8421504
[DIVIDERV]
PARENTCLASS=DIVIDER
[GRIPH]
COLOR=8421504
[TRACKBAR]
TRANSPARENCY=100
[BAR]
COLOR=13160660
[BARPANEL]
PARENTCLASS=BAR
[BARTITLE]
COLOR=8388608
[WEBBUTTON]
TRANSPARENCY=100
HOTFONTCOLOR=16711680
[PAGECONTROL]
COLOR=13160660
[PAGECONTROLBOTTOM]
PARENTCLASS=PAGECONTROL
[PAGECONTROLLEFT]
PARENTCLASS=PAGECONTROL
[PAGECONTROLRIGHT]
PARENTCLASS=PAGECONTROL
[TABCONTROL]
PARENTCLASS=PAGECONTROL
[TABCONTROLLEFT]
PARENTCLASS=TABCONTROL
[TABCONTROLRIGHT]
PARENTCLASS=TABCONTROL
[TABCONTROLBOTTOM]
PARENTCLASS=TABCONTROL
[TABSHEET]
COLOR=15790320
[TABTOP]
COLOR=14211288
[TABBOTTOM]
PARENTCLASS=TABTOP
[TABLEFT]
PARENTCLASS=TABTOP
[TABRIGHT]
PARENTCLASS=TABTOP
[SCROLLBTNTOP]
COLOR=13160660
[SCROLLBTNBOTTOM]
PARENTCLASS=SCROLLBTNTOP
[SCROLLBTNLEFT]
PARENTCLASS=SCROLLBTNTOP
[SCROLLBTNRIGHT]
PARENTCLASS=SCROLLBTNTOP
[SCROLLSLIDERV]
COLOR=12632256
[SCROLLSLIDERH]
PARENTCLASS=SCROLLSLIDERV
[SCROLLBAR1H]
COLOR=15790320
[SCROLLBAR1V]
PARENTCLASS=SCROLLBAR1H
[SCROLLBAR2H]
PARENTCLASS=SCROLLBAR1H
[SCROLLBAR2V]
PARENTCLASS=SCROLLBAR1H
[SELFISH]
PARENTCLASS=SELFISH
)",
     false},
    {"Masks", R"([GLOBALINFO]
VERSION=6.50
MASTERBITMAP=MASTER.BMP
COLOR=13160660
BOXCHECKED=@0048@0078@0096@0091@3@0
BOXUNCHECKED=@0096@0078@0144@0091@3@0
RADIOCHECKED=@0144@0078@0192@0091@3@0
EXBORDER=^0000^0078^0048^0096^0000^0000^0000^0000^2^0^0^3
[BUTTON]
COLOR=14211288
BORDERSMASK=^0186^0000^0249^0042^0000^0000^0000^0000^3^1^5^0
IMGTOPLEFT=@0036@0096@0044@0104@1@0
[BUTTON_BIG]
PARENTCLASS=BUTTON
COLOR=16777214
[BUTTON_HUGE]
PARENTCLASS=BUTTON
COLOR=12632256
BORDERSMASK=!BUTTONHUGE.BMP!3!1!0
[COMBOBOX]
COLOR=16777215
BORDERSMASK=^0000^0000^0060^0040^0003^0004^0005^0006^3^1^1^0
GLYPHMASK=@0188@0042@0236@0058@3@0
[COMBOBTN]
COLOR=12632256
BORDERSMASK=^0112^0042^0172^0062^0000^0000^0000^0000^3^0^0^0
PATTERN=~0172~0042~0188~0058~00~
[TABTOP]
COLOR=14211288
BORDERSMASK=^0060^0000^0120^0040^0000^0000^0000^0000^2^0^0^5
[SCROLLBTNTOP]
COLOR=13160660
BORDERSMASK=^0120^0000^0180^0020^0000^0000^0000^0000^3^0^1^0
GLYPHMASK=@0120@0020@0168@0036@3@0
[SCROLLBTNBOTTOM]
PARENTCLASS=SCROLLBTNTOP
[SCROLLSLIDERV]
COLOR=12632256
BORDERSMASK=^0000^0042^0048^0078^0000^0000^0000^0000^3^1^0^2
[SCROLLBAR1H]
COLOR=15790320
PATTERN=~0048~0042~0080~0058~01~
HOTPATTERN=~0080~0042~0112~0074~00~1
[Panel]
COLOR=12632256
bordersmask=#(0,96,36,120)(3,1,3,1)
[PANEL_LOW]
PARENTCLASS=Panel
PATTERN=TEXTURE.JPG
[GAUGE]
COLOR=32768
BordersMask=^0044^0096^0080^0120^0000^0000^0000^0000^1^0^0^0
[HINT]
COLOR=14745599
BORDERSMASK=@0080@0096@0112@0112@2@0
BORDERSMASK=@0112@0096@0144@0112@2@0
[MENULINE]
COLOR=8421504
BORDERSMASK=#(144,96,168,120)(2,0)
[FORMTITLE]
COLOR=8388608
BORDERSMASK=!TITLE.BMP!2!0!0!4!3!4!3
[MENUITEM]
COLOR=15790320
BORDERSMASK=!MENU8.BMP!1!1!1
[EDIT]
COLOR=16777215
BORDERSMASK=EDIT.BMP
[TOOLBUTTON]
COLOR=13160660
GLYPHMASK=!TOOL.BMP!2!0!9
[TOOLBAR]
COLOR=13160660
GLYPHMASK=!GLYPH.PNG!2!0!4
HOTGLYPHMASK=!HOTGLYPH.BMP!3!1!0
)",
     true},
    {"Damaged", R"([GLOBALINFO]
VERSION=abc
MASTERBITMAP=MASTER.BMP
BORDERWIDTH=zz
TITLEHEIGHT=22
MAXHEIGHT=0
SHADOW1OFFSET=abc
SHADOW1BLUR=7
BICLOSEGLOW=x1
BIMAXGLOW=3
BOXCHECKED=@00x8@0078@0096@0091@3@0
BOXGRAYED=@0048@0078
RADIOGRAYED=~0000~0000~0010~0010~0x~
SMALLGRAYED=^0000^0000^0010^0010^0000^0000^0000^0000^1^0^0
[BUTTON]
TRANSPARENCY=40
BORDERSMASK=^0040^0040^0100^0100^0000^0000^0000^0000^1^0^0^0
IMGTOPLEFT=#(1,2,3)(1,0)
IMGTOPRIGHT=#
[EDIT]
BORDERSMASK=^0000^0000^0030^0020^0000^0000^0000^0000^0^1^0^0
GLYPHMASK=@0000@0020@0030@0030@3@9
IMGTOPLEFT=own.bmp
IMGTOPRIGHT=!own.bmp!1!0!0
[COMBOBOX]
BORDERSMASK=!OWN.BMP!2!-1!0
GLYPHMASK=!OWN.BMP!1!0!0!3
IMGTOPLEFT=!OWN.BMP!1!0!x
IMGTOPRIGHT=!NOFILE.BMP!1!0!0
IMGBTMLEFT=!EMPTY.BMP!1!0!0
IMGBTMRIGHT=!BROKEN.BMP!1!0!0
HOTGLYPHMASK=!BROKEN.PNG!1!0!4
SHORTMASK=!SHORT.BMP!1!0!0
[PANEL]
PATTERN=BROKEN.JPG
HOTPATTERN=tex.jpg
[PANEL_LOW]
PATTERN=GOOD.JPG
[BADINT]
PARENTCLASS=BUTTON
TRANSPARENCY=abc
COLOR=12x
[GRADBAD]
GRADIENTDATA=1;2;x;0;0
HOTGRADIENTDATA=1;2;3;0;0
[CYCLEA]
PARENTCLASS=CYCLEB
[CYCLEB]
PARENTCLASS=CYCLEA
)",
     false},
    {"NoMaster", R"([GLOBALINFO]
MASTERBITMAP=MISSING.BMP
[BUTTON]
BORDERSMASK=@0000@0000@0010@0010@1@0
)",
     false},
    {"NoOptions", nullptr, false},
};

// The master bitmap of the Damaged skin.
constexpr int DamagedMasterSize = 64;
// The JPEG patterns: flat pictures of 16 x 16 pixels in this colour (RGB).
constexpr int PatternSize = 16;
constexpr uint32_t PatternRGB = 0x649632; // red 100, green 150, blue 50

// The colour of a pixel of state s, piece p of image i, as a TColor (0x00BBGGRR).
constexpr uint32_t TestColor(int id, int state, int piece)
{
    return static_cast<uint32_t>(id) | static_cast<uint32_t>(16 * state + piece) << 8 | 200u << 16;
}
constexpr uint32_t Transparent = 0xFF00FF;

// Whether (x, y) of a frame of w x h is a transparent corner pixel: the outer corner pixels,
// or with a staircase the outer three rows of each corner, 3, 2 and 1 pixels from the outer
// row inwards (mirrored at the right and at the bottom).
constexpr bool CornerPixel(bool staircase, int x, int y, int w, int h)
{
    const int dx = x < w - 1 - x ? x : w - 1 - x, dy = y < h - 1 - y ? y : h - 1 - y;
    return staircase ? dy < 3 && dx < 3 - dy : dx == 0 && dy == 0;
}

// The colour (TColor) the generator paints at (x, y) of the image's rectangle: the coded
// pieces, transparent corners, and black (white with WhiteMask) in the mask band; spare
// columns right of the last whole frame are black.
constexpr uint32_t CodedColor(const TTestImage& im, int x, int y)
{
    const int states = im.States < 1 ? 1 : im.States;
    const int bands = im.MaskType + 1 < 1 ? 1 : im.MaskType + 1;
    const int fw = (im.R.Right - im.R.Left) / states, fh = (im.R.Bottom - im.R.Top) / bands;
    const int s = x / fw, fx = x % fw;
    if (s >= states) return 0;
    if (y >= fh) return im.WhiteMask ? 0xFFFFFF : 0;
    if (CornerPixel(im.Staircase, fx, y, fw, fh)) return Transparent;
    const int col = fx < im.WL ? 0 : fx >= fw - im.WR ? 2 : 1;
    const int row = y < im.WT ? 0 : y >= fh - im.WB ? 2 : 1;
    return TestColor(im.Id, s, 3 * row + col);
}

// ---- Probe skins ------------------------------------------------------------------------------
// Skins for the skinned windows and controls, written from the tables below: every section
// those read, each with colours of its own, and the images in the colour coding above, in a
// master bitmap (MASTER.BMP) of 8 cells of 64 x 32 a row, image i (table order) in cell i.
//   Probe                  the sections and images of the tables
//   ProbeOther             the same in other colours and with image ids 100 higher (switching)
//   ProbeFading            Probe with FADINGENABLED=TRUE and FADINGITERATIONS=10 in every section
//   ProbeGlow              Probe with the glow images (GLOW0 of BUTTON with GLOW=4 and
//                          GLOWMARGIN=2, the title icons' ...GLOW0 with BI...GLOW=4 and
//                          BI...GLOWMARGIN=2)
//   ProbeTransparent0, ProbeTransparent50, ProbeTransparent100
//                          Probe with TRANSPARENCY=0, 50, 100 in every control section
//   ProbeBare              Probe without the optional sections and images
//   ProbeShadow            Probe with the extended border's shadow (GLOBALINFO EXBORDER, border
//                          widths 10, FORMOFFSET=0: shadow margins 10 on every side)
//   ProbeShadowGlow        ProbeShadow with the glow images and keys of ProbeGlow
// Border images have a 0xFF00FF staircase in each corner (CornerPixel); glyphs keep the single
// corner pixel. Every section gives its own font (GIVEOWNFONT=TRUE: a label on a control of
// that section takes its FONTCOLOR). The colours of section k (table order) with palette c
// are TColor values:
//   COLOR 0x28GGRR, HOTCOLOR 0x3CGGRR, FONTCOLOR 0x50GGRR, HOTFONTCOLOR 0x64GGRR,
//   RR = 10 + 4k, GG = 60 + 100c (ProbeColors below).

struct TProbeSection {
    const char* Name;
    bool Optional; // left out of ProbeBare
    bool Window;   // a window's section: no TRANSPARENCY in the transparent variants
};

// clang-format off
inline constexpr TProbeSection ProbeSections[] = {
    {"GLOBALINFO", false, true}, {"FORM", false, true}, {"FORMTITLE", false, true}, {"CAPTION", true, true},
    {"DIALOG", false, true}, {"BUTTON", false, false}, {"EDIT", false, false}, {"CHECKBOX", false, false},
    {"GROUPBOX", false, false}, {"PANEL", false, false}, {"PANEL_LOW", false, false}, {"COMBOBOX", false, false},
    {"COMBOBTN", true, false}, {"GAUGE", false, false}, {"PROGRESSH", false, false}, {"MENUITEM", false, true},
    {"MAINMENU", false, true}, {"MENULINE", true, true}, {"DIVIDERV", true, false}, {"TOOLBAR", false, false},
    {"TOOLBUTTON", false, false}, {"SCROLLBTNTOP", false, false}, {"SCROLLBTNBOTTOM", false, false},
    {"SCROLLBTNLEFT", false, false}, {"SCROLLBTNRIGHT", false, false}, {"SCROLLSLIDERV", false, false},
    {"SCROLLSLIDERH", false, false}, {"SCROLLBAR1H", false, false}, {"SCROLLBAR1V", false, false},
    {"SCROLLBAR2H", false, false}, {"SCROLLBAR2V", false, false}, {"TABTOP", false, false},
    {"TABBOTTOM", false, false}, {"TABLEFT", false, false}, {"TABRIGHT", false, false},
    {"PAGECONTROL", false, false}, {"PAGECONTROLBOTTOM", false, false}, {"PAGECONTROLLEFT", false, false},
    {"PAGECONTROLRIGHT", false, false}, {"STATUSBAR", false, false}, {"DIVIDER", false, false},
    {"COLHEADER", true, false}, {"UPDOWNBTN", false, false}, {"SPEEDBUTTON", false, false},
    {"SPEEDBUTTON_SMALL", false, false}, {"MDIAREA", true, true},
    // A border image whose mask band is white: through the masked copy it keeps what lies below.
    {"PROBEMASK", false, false},
};
// clang-format on

// One image of the probe skins: '^' a border image ("^" value, the four widths Width), '@' a
// glyph ("@" value); frames FrameW x FrameH side by side, MaskType bands below them.
struct TProbeImage {
    const char* Section;
    const char* Key;
    char Kind;
    int FrameW, FrameH, States, MaskType, Width;
    bool Optional;       // left out of ProbeBare (and so are all images of an optional section)
    bool Glow;           // written only into the glow skins
    bool Shadow = false; // written only into the shadow skins
};

// clang-format off
inline constexpr TProbeImage ProbeImages[] = {
    {"GLOBALINFO", "BICONCLOSE", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "BICONMAX", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "BICONMIN", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "BICONNORM", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "BICONHELP", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "BICLOSEALONE", '@', 16, 16, 3, 0, 0, true, false},
    {"GLOBALINFO", "SICONCLOSE", '@', 12, 12, 3, 0, 0, false, false},
    {"GLOBALINFO", "SICONMAX", '@', 12, 12, 3, 0, 0, false, false},
    {"GLOBALINFO", "SICONMIN", '@', 12, 12, 3, 0, 0, false, false},
    {"GLOBALINFO", "SICONNORM", '@', 12, 12, 3, 0, 0, false, false},
    {"GLOBALINFO", "SICONHELP", '@', 12, 12, 3, 0, 0, true, false},
    {"GLOBALINFO", "TITLEBUTTON", '^', 16, 16, 3, 0, 4, false, false},
    {"GLOBALINFO", "BOXCHECKED", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "BOXUNCHECKED", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "BOXGRAYED", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "RADIOCHECKED", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "RADIOUNCHECKED", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "RADIOGRAYED", '@', 16, 16, 3, 0, 0, false, false},
    {"GLOBALINFO", "GRIPIMAGE", '@', 12, 12, 1, 0, 0, true, false},
    {"GLOBALINFO", "CHECK", '@', 16, 16, 1, 0, 0, false, false},
    {"GLOBALINFO", "BICONCLOSEGLOW0", '^', 16, 16, 1, 1, 4, false, true},
    {"GLOBALINFO", "BICONMAXGLOW0", '^', 16, 16, 1, 1, 4, false, true},
    {"GLOBALINFO", "BICONMINGLOW0", '^', 16, 16, 1, 1, 4, false, true},
    {"FORM", "BORDERSMASK", '^', 20, 16, 2, 0, 4, false, false},
    {"FORMTITLE", "BORDERSMASK", '^', 20, 16, 2, 0, 4, false, false},
    {"CAPTION", "BORDERSMASK", '^', 20, 16, 2, 0, 4, false, false},
    {"DIALOG", "BORDERSMASK", '^', 20, 16, 2, 0, 4, false, false},
    {"BUTTON", "BORDERSMASK", '^', 20, 16, 3, 1, 4, false, false},
    {"BUTTON", "GLOW0", '^', 16, 16, 1, 1, 4, false, true},
    {"EDIT", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"CHECKBOX", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"GROUPBOX", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"PANEL", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"PANEL_LOW", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"COMBOBOX", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"COMBOBOX", "GLYPHMASK", '@', 16, 16, 3, 0, 0, false, false},
    {"COMBOBTN", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"GAUGE", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"PROGRESSH", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"MENUITEM", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"MAINMENU", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"MENULINE", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"DIVIDERV", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"TOOLBAR", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"TOOLBUTTON", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBTNTOP", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBTNTOP", "GLYPHMASK", '@', 12, 12, 3, 0, 0, false, false},
    {"SCROLLBTNBOTTOM", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBTNBOTTOM", "GLYPHMASK", '@', 12, 12, 3, 0, 0, false, false},
    {"SCROLLBTNLEFT", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBTNLEFT", "GLYPHMASK", '@', 12, 12, 3, 0, 0, false, false},
    {"SCROLLBTNRIGHT", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBTNRIGHT", "GLYPHMASK", '@', 12, 12, 3, 0, 0, false, false},
    {"SCROLLSLIDERV", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLSLIDERH", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBAR1H", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBAR1V", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBAR2H", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SCROLLBAR2V", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"TABTOP", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"TABBOTTOM", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"TABLEFT", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"TABRIGHT", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"PAGECONTROL", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"PAGECONTROLBOTTOM", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"PAGECONTROLLEFT", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"PAGECONTROLRIGHT", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"STATUSBAR", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"DIVIDER", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"COLHEADER", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"UPDOWNBTN", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SPEEDBUTTON", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"SPEEDBUTTON_SMALL", "BORDERSMASK", '^', 20, 16, 3, 0, 4, false, false},
    {"MDIAREA", "BORDERSMASK", '^', 20, 16, 2, 0, 4, false, false},
    {"PROBEMASK", "BORDERSMASK", '^', 20, 16, 3, 1, 4, false, false},
    // The extended border's shadow: active and inactive frames, margins 10 on every side.
    {"GLOBALINFO", "EXBORDER", '^', 30, 30, 2, 0, 10, false, false, true},
};
// clang-format on

struct TProbeSkin {
    const char* Name;
    int Palette;         // 0 the probe's colours and image ids, 1 the other ones
    int Transparency;    // TRANSPARENCY of every control section, -1 none written
    bool Fading;         // FADINGENABLED=TRUE, FADINGITERATIONS=10 in every section
    bool Glow;           // with the glow images and keys
    bool Bare;           // without the optional sections and images
    bool Shadow = false; // with the extended border's shadow (GLOBALINFO EXBORDER)
};

inline constexpr TProbeSkin ProbeSkins[] = {
    {"Probe", 0, -1, false, false, false},
    {"ProbeOther", 1, -1, false, false, false},
    {"ProbeFading", 0, -1, true, false, false},
    {"ProbeGlow", 0, -1, false, true, false},
    {"ProbeTransparent0", 0, 0, false, false, false},
    {"ProbeTransparent50", 0, 50, false, false, false},
    {"ProbeTransparent100", 0, 100, false, false, false},
    {"ProbeBare", 0, -1, false, false, true},
    {"ProbeShadow", 0, -1, false, false, false, true},
    {"ProbeShadowGlow", 0, -1, false, true, false, true},
};

constexpr int ProbeFirstId = 50, ProbeCellWidth = 64, ProbeCellHeight = 32, ProbeCellsPerRow = 8;
constexpr int ProbeImageCount = static_cast<int>(sizeof(ProbeImages) / sizeof(ProbeImages[0]));
constexpr int ProbeMasterWidth = ProbeCellWidth * ProbeCellsPerRow;
constexpr int ProbeMasterHeight = ProbeCellHeight * ((ProbeImageCount + ProbeCellsPerRow - 1) / ProbeCellsPerRow);
static_assert(ProbeFirstId + ProbeImageCount + 100 <= 255, "probe image ids must fit the red channel");
static_assert(ProbeFirstId > 43, "probe image ids follow those of the table skins");

constexpr bool SameName(const char* a, const char* b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

// The probe skin of that name; nullptr for none.
constexpr const TProbeSkin* FindProbeSkin(const char* name)
{
    for (const TProbeSkin& s : ProbeSkins)
        if (SameName(s.Name, name)) return &s;
    return nullptr;
}

constexpr int ProbeSectionIndex(const char* section)
{
    for (int k = 0; k < static_cast<int>(sizeof(ProbeSections) / sizeof(ProbeSections[0])); ++k)
        if (SameName(ProbeSections[k].Name, section)) return k;
    return -1;
}

// Whether a section or an image is written into the skin.
constexpr bool ProbeHasSection(const TProbeSkin& skin, const TProbeSection& section)
{
    return !(skin.Bare && section.Optional);
}
constexpr bool ProbeHasImage(const TProbeSkin& skin, const TProbeImage& image)
{
    const int k = ProbeSectionIndex(image.Section);
    if (k < 0 || !ProbeHasSection(skin, ProbeSections[k])) return false;
    return !(skin.Bare && image.Optional) && (skin.Glow || !image.Glow) && (skin.Shadow || !image.Shadow);
}

// The colours of a section of a probe skin (TColor values), as the comment above gives them.
struct TProbeColors {
    uint32_t Color, HotColor, FontColor, HotFontColor;
};
constexpr TProbeColors ProbeColors(const TProbeSkin& skin, int section)
{
    const uint32_t low = static_cast<uint32_t>(60 + 100 * skin.Palette) << 8 | static_cast<uint32_t>(10 + 4 * section);
    return TProbeColors{0x280000u | low, 0x3C0000u | low, 0x500000u | low, 0x640000u | low};
}

// Image i of the table as a layout image of the skin (its Value holds only the notation's
// first character; the whole value is ProbeValue).
constexpr TTestImage ProbeTestImage(const TProbeSkin& skin, int i)
{
    const TProbeImage& p = ProbeImages[i];
    const int left = i % ProbeCellsPerRow * ProbeCellWidth, top = i / ProbeCellsPerRow * ProbeCellHeight;
    const int w = p.Kind == '^' ? p.Width : 0;
    return TTestImage{skin.Name,
                      p.Section,
                      p.Key,
                      p.Kind == '^' ? "^" : "@",
                      ProbeFirstId + i + 100 * skin.Palette,
                      nullptr,
                      0,
                      false,
                      TTestRect{left, top, left + p.FrameW * p.States, top + p.FrameH * (p.MaskType + 1)},
                      p.States,
                      p.MaskType,
                      w,
                      w,
                      w,
                      w,
                      p.Kind == '^' ? 0 : 2,
                      0,
                      ProbeHasImage(skin, p),
                      p.Kind == '^',
                      SameName(p.Section, "PROBEMASK")};
}

// The value text of a probe image: "^LLLL^TTTT^RRRR^BBBB^WLLL^WTTT^WRRR^WBBB^C^M^0^0" for a
// border image, "@LLLL@TTTT@RRRR@BBBB@C@M" for a glyph.
inline std::string ProbeValue(const TTestImage& im)
{
    const char kind = im.Value[0];
    const auto field = [kind](int n, size_t digits) {
        const std::string s = std::to_string(n);
        return kind + std::string(digits > s.size() ? digits - s.size() : 0, '0') + s;
    };
    std::string v = field(im.R.Left, 4) + field(im.R.Top, 4) + field(im.R.Right, 4) + field(im.R.Bottom, 4);
    if (kind == '^') v += field(im.WL, 4) + field(im.WT, 4) + field(im.WR, 4) + field(im.WB, 4);
    v += field(im.States, 1) + field(im.MaskType, 1);
    if (kind == '^') v += field(im.StretchMode, 1) + field(0, 1);
    return v;
}

// The images a probe skin records, in record order (section by section, table order within).
inline std::vector<TTestImage> ProbeRecords(const TProbeSkin& skin)
{
    std::vector<TTestImage> list;
    for (const TProbeSection& section : ProbeSections)
        for (int i = 0; i < ProbeImageCount; ++i)
            if (SameName(ProbeImages[i].Section, section.Name) && ProbeHasImage(skin, ProbeImages[i]))
                list.push_back(ProbeTestImage(skin, i));
    return list;
}

// The text of a probe skin's "Options.dat".
inline std::string ProbeOptions(const TProbeSkin& skin)
{
    std::string t;
    const auto key = [&t](const std::string& name, const std::string& value) { t += name + "=" + value + "\n"; };
    for (int k = 0; k < static_cast<int>(sizeof(ProbeSections) / sizeof(ProbeSections[0])); ++k) {
        const TProbeSection& section = ProbeSections[k];
        if (!ProbeHasSection(skin, section)) continue;
        const std::string name = section.Name;
        t += "[" + name + "]\n";
        if (name == "GLOBALINFO") {
            key("VERSION", "6.50");
            key("AUTHOR", "Tillora tests");
            key("MASTERBITMAP", "MASTER.BMP");
            key("BORDERWIDTH", "4");
            key("TITLEHEIGHT", "22");
            if (skin.Shadow) key("FORMOFFSET", "0");
            if (skin.Glow)
                for (const char* icon : {"BICLOSE", "BIMAX", "BIMIN"}) {
                    key(std::string(icon) + "GLOW", "4");
                    key(std::string(icon) + "GLOWMARGIN", "2");
                }
        }
        const TProbeColors c = ProbeColors(skin, k);
        key("COLOR", std::to_string(c.Color));
        key("HOTCOLOR", std::to_string(c.HotColor));
        key("FONTCOLOR", std::to_string(c.FontColor));
        key("HOTFONTCOLOR", std::to_string(c.HotFontColor));
        key("GIVEOWNFONT", "TRUE");
        if (skin.Transparency >= 0 && !section.Window) key("TRANSPARENCY", std::to_string(skin.Transparency));
        if (skin.Fading) {
            key("FADINGENABLED", "TRUE");
            key("FADINGITERATIONS", "10");
        }
        if (skin.Glow && name == "BUTTON") {
            key("GLOW", "4");
            key("GLOWMARGIN", "2");
        }
        for (int i = 0; i < ProbeImageCount; ++i)
            if (SameName(ProbeImages[i].Section, section.Name) && ProbeHasImage(skin, ProbeImages[i]))
                key(ProbeImages[i].Key, ProbeValue(ProbeTestImage(skin, i)));
    }
    return t;
}

} // namespace testskins
