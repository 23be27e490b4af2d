// The program's own skins: one palette per skin and one layout table for all of them, from
// which the generator tilloraskins writes every skin at build time (no skin is kept in the
// repository as pictures). Plain C++, shared by the generator and the tests.
//
// Every skin holds the sections the program's windows read (forms, dialogs, title bars and
// captions, buttons, edits, combo boxes, check boxes, panels, gauges, menus, hints, bars, tabs,
// scroll bars and the rest of the kinds below) and a master bitmap "Master.bmp" with the border
// images of buttons, edits, panels, gauges, tabs and user title buttons, the check-box and radio
// glyphs, the combo and scroll arrows, the size grip and the title-button icons. Colours come from the palette's roles; grey roles stay grey under a hue
// change, the others turn.
//
// Written by tilloraskins OUT TEMPLATE:
//   OUT/Skins/<name>/              the skins shipped as folders ("Options.dat", "Master.bmp")
//   OUT/Skins/<name>.vtz           the skins shipped packed
//   OUT/Internal/<name>/           the sources of the internal skin
//   OUT/TInitForm.form             the splash's description (TEMPLATE) with the internal skin
//                                  packed into its manager's InternalSkins, named
//                                  "<name> (internal)"
//   OUT/vxSHDA.png, OUT/vxSHDI.png the built-in form shadows (active, inactive)
//   OUT/VXGL.png                   the light of animated gauges
#pragma once

#include <cstdint>

namespace programskins {

// Colour roles of a palette, as RGB values 0xRRGGBB.
enum TRole {
    rNone,
    rFace,
    rFaceHot,
    rLight,
    rShadow,
    rDark,
    rText,
    rHotText,
    rAccent,
    rWindow,
    rTitle,
    rTitleText,
    rHint,
    rRoleCount
};

enum TKind { kInternal, kFolder, kPacked };

struct TPalette {
    const char* Name;
    TKind Kind;
    const char* Description;
    uint32_t Colors[rRoleCount]; // by TRole; [rNone] unused
};

inline constexpr const char* InternalSuffix = " (internal)";

// clang-format off
inline constexpr TPalette Palettes[] = {
    //                          none  face      faceHot   light     shadow    dark      text      hotText   accent    window    title     titleText hint
    {"Tillora",  kInternal, "Tillora: cool blue",
                               {0, 0xDDE4EC, 0xEAF1F8, 0xFFFFFF, 0x8C9BAD, 0x3E4A5A, 0x1C2430, 0x0B3D91, 0x2F6FC4, 0xFFFFFF, 0x24548F, 0xFFFFFF, 0xFFF8D8}},
    {"Nordlicht", kFolder, "Nordlicht: green and teal",
                               {0, 0xD9E8E2, 0xE8F4EF, 0xFBFFFD, 0x7FA396, 0x2E4A41, 0x16231E, 0x0E5C45, 0x1E8C6E, 0xFCFFFE, 0x1E6B58, 0xFFFFFF, 0xF2FFE8}},
    {"Sandstein", kPacked, "Sandstein: warm sand",
                               {0, 0xEDE3D2, 0xF6EEE0, 0xFFFDF8, 0xB09C7E, 0x5A4630, 0x2E2418, 0x8A3B0C, 0xC2692A, 0xFFFDF9, 0x8E5A2B, 0xFFF8EE, 0xFFF4DC}},
};
// clang-format on

// The images of the master bitmap. A border image has States frames of FrameW x FrameH side by
// side at (Left, Top) with the border width Border on every side; a glyph has no border.
enum TShape {
    sButton,
    sFrame,
    sRaised,
    sSunken,
    sBar,
    sTab,
    sBoxChecked,
    sBoxUnchecked,
    sBoxGrayed,
    sRadioChecked,
    sRadioUnchecked,
    sRadioGrayed,
    sArrow,
    sArrowUp,
    sArrowDown,
    sArrowLeft,
    sArrowRight,
    sGrip,
    sClose,
    sMax,
    sMin,
    sNorm,
    sHelp
};

struct TImage {
    const char* Name; // referred to by the sections below
    bool Glyph;       // "@" glyph, else "^" border
    int Left, Top, States, FrameW, FrameH, Border;
    TShape Shape;
};

inline constexpr int MasterWidth = 256, MasterHeight = 96;

// clang-format off
inline constexpr TImage Images[] = {
    {"BUTTON",   false,   0,  0, 3, 24, 24, 4, sButton},
    {"EDIT",     false,  72,  0, 2, 24, 24, 2, sFrame},
    {"RAISED",   false, 120,  0, 1, 24, 24, 2, sRaised},
    {"SUNKEN",   false, 144,  0, 1, 24, 24, 2, sSunken},
    {"BAR",      false, 168,  0, 1, 24, 24, 2, sBar},
    {"TAB",      false, 192,  0, 2, 24, 24, 3, sTab},
    {"BOXCHECKED",     true,   0, 24, 3, 13, 13, 0, sBoxChecked},
    {"BOXUNCHECKED",   true,  39, 24, 3, 13, 13, 0, sBoxUnchecked},
    {"BOXGRAYED",      true,  78, 24, 3, 13, 13, 0, sBoxGrayed},
    {"RADIOCHECKED",   true, 117, 24, 3, 13, 13, 0, sRadioChecked},
    {"RADIOUNCHECKED", true, 156, 24, 3, 13, 13, 0, sRadioUnchecked},
    {"RADIOGRAYED",    true, 195, 24, 3, 13, 13, 0, sRadioGrayed},
    {"ARROW",          true,   0, 40, 3,  9, 12, 0, sArrow},
    {"ARROWUP",        true,  27, 40, 3,  9,  9, 0, sArrowUp},
    {"ARROWDOWN",      true,  54, 40, 3,  9,  9, 0, sArrowDown},
    {"ARROWLEFT",      true,  81, 40, 3,  9,  9, 0, sArrowLeft},
    {"ARROWRIGHT",     true, 108, 40, 3,  9,  9, 0, sArrowRight},
    {"GRIPIMAGE",      true, 135, 40, 1, 12, 12, 0, sGrip},
    {"BICLOSEALONE",   true, 147, 40, 3, 16, 14, 0, sClose},
    {"BICONCLOSE",     true,   0, 56, 3, 16, 14, 0, sClose},
    {"BICONMAX",       true,  48, 56, 3, 16, 14, 0, sMax},
    {"BICONMIN",       true,  96, 56, 3, 16, 14, 0, sMin},
    {"BICONNORM",      true, 144, 56, 3, 16, 14, 0, sNorm},
    {"BICONHELP",      true, 192, 56, 3, 16, 14, 0, sHelp},
    {"SICONCLOSE",     true,   0, 72, 3, 12, 10, 0, sClose},
    {"SICONMAX",       true,  36, 72, 3, 12, 10, 0, sMax},
    {"SICONMIN",       true,  72, 72, 3, 12, 10, 0, sMin},
    {"SICONNORM",      true, 108, 72, 3, 12, 10, 0, sNorm},
    {"SICONHELP",      true, 144, 72, 3, 12, 10, 0, sHelp},
    {"TITLEBUTTON",    false, 180, 72, 3, 18, 16, 3, sButton},
};
// clang-format on

// The GLOBALINFO images: the check-box and radio glyphs, the size grip, the title-button icons
// and the frame of user title buttons (the arrows belong to their sections).
inline constexpr const char* GlobalImages[] = {
    "BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED", "RADIOUNCHECKED", "RADIOGRAYED", "GRIPIMAGE",
    "BICONCLOSE", "BICLOSEALONE", "BICONMAX",  "BICONMIN",     "BICONNORM",      "BICONHELP",   "SICONCLOSE",
    "SICONMAX",   "SICONMIN",     "SICONNORM", "SICONHELP",    "TITLEBUTTON"};

// Gradients of a section: none, light to face (top to bottom), face to shadow.
enum TGradient { gNone, gLightFace, gFaceShadow };

struct TSection {
    const char* Name;
    const char* Parent; // nullptr: none
    TRole Color, HotColor, Font, HotFont;
    int Transparency, HotTransparency; // -1: not written
    TGradient Gradient, HotGradient;
    const char* Border; // BORDERSMASK image, nullptr: none
    const char* Glyph;  // GLYPHMASK image, nullptr: none
};

// clang-format off
inline constexpr TSection Sections[] = {
    {"FORM",              nullptr,        rFace,   rFace,    rText,      rText,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"DIALOG",            "FORM",         rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"FORMTITLE",         nullptr,        rTitle,  rTitle,   rTitleText, rTitleText, -1, -1, gNone, gNone, nullptr, nullptr},
    {"CAPTION",           nullptr,        rTitle,  rTitle,   rTitleText, rTitleText,  0,  0, gNone, gNone, nullptr, nullptr},
    {"BUTTON",            nullptr,        rFace,   rFaceHot, rText,      rHotText,    0,  0, gLightFace, gLightFace, "BUTTON", nullptr},
    {"BUTTON_BIG",        "BUTTON",       rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"BUTTON_HUGE",       "BUTTON_BIG",   rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"EDIT",              nullptr,        rWindow, rWindow,  rText,      rText,       0,  0, gNone, gNone, "EDIT", nullptr},
    {"VELOCONEDIT",       "EDIT",         rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"COMBOBOX",          "EDIT",         rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, "EDIT", "ARROW"},
    {"VELOCONCOMBOBOX",   "COMBOBOX",     rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"COMBOBTN",          nullptr,        rFace,   rFaceHot, rText,      rHotText,    0,  0, gLightFace, gLightFace, "BUTTON", nullptr},
    {"UPDOWNBTN",         "COMBOBTN",     rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"CHECKBOX",          nullptr,        rFace,   rFaceHot, rText,      rHotText,  100, 100, gNone, gNone, nullptr, nullptr},
    {"RADIOBUTTON",       "CHECKBOX",     rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"GROUPBOX",          nullptr,        rFace,   rFace,    rText,      rText,     100, 100, gNone, gNone, "SUNKEN", nullptr},
    {"PANEL",             nullptr,        rFace,   rFace,    rText,      rText,       0,  0, gLightFace, gNone, "RAISED", nullptr},
    {"PANEL_LOW",         "PANEL",        rFace,   rFace,    rText,      rText,       0,  0, gNone, gNone, "SUNKEN", nullptr},
    {"GAUGE",             nullptr,        rWindow, rWindow,  rText,      rText,       0,  0, gNone, gNone, "SUNKEN", nullptr},
    {"PROGRESSH",         nullptr,        rAccent, rAccent,  rTitleText, rTitleText,  0,  0, gNone, gNone, "BAR", nullptr},
    {"PROGRESSV",         "PROGRESSH",    rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"MENUITEM",          nullptr,        rWindow, rAccent,  rText,      rTitleText,  0,  0, gNone, gNone, nullptr, nullptr},
    {"MENULINE",          nullptr,        rShadow, rShadow,  rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"MAINMENU",          nullptr,        rFace,   rFaceHot, rText,      rHotText,    0,  0, gNone, gNone, nullptr, nullptr},
    {"ICOLINE",           nullptr,        rFace,   rFace,    rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"EXTRALINE",         nullptr,        rTitle,  rTitle,   rTitleText, rTitleText,  0,  0, gNone, gNone, nullptr, nullptr},
    {"HINT",              nullptr,        rHint,   rHint,    rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"STATUSBAR",         nullptr,        rFace,   rFace,    rText,      rText,       0,  0, gNone, gNone, "RAISED", nullptr},
    {"TOOLBAR",           "STATUSBAR",    rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TOOLBUTTON",        nullptr,        rFace,   rFaceHot, rText,      rHotText,  100,  0, gNone, gLightFace, "BUTTON", nullptr},
    {"SPEEDBUTTON",       "TOOLBUTTON",   rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"SPEEDBUTTON_SMALL", "SPEEDBUTTON",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"SPLITTER",          nullptr,        rFace,   rFaceHot, rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"DRAGBAR",           "SPLITTER",     rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"DIVIDER",           nullptr,        rShadow, rShadow,  rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"DIVIDERV",          "DIVIDER",      rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"GRIPH",             nullptr,        rShadow, rShadow,  rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"TRACKBAR",          nullptr,        rFace,   rFace,    rText,      rText,     100, 100, gNone, gNone, nullptr, nullptr},
    {"BAR",               nullptr,        rFace,   rFace,    rText,      rText,       0,  0, gLightFace, gNone, nullptr, nullptr},
    {"BARPANEL",          "BAR",          rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"BARTITLE",          nullptr,        rTitle,  rTitle,   rTitleText, rTitleText,  0,  0, gNone, gNone, nullptr, nullptr},
    {"WEBBUTTON",         nullptr,        rFace,   rFace,    rAccent,    rHotText,  100, 100, gNone, gNone, nullptr, nullptr},
    {"COLHEADER",         nullptr,        rFace,   rFaceHot, rText,      rHotText,    0,  0, gLightFace, gLightFace, "BUTTON", nullptr},
    {"PAGECONTROL",       nullptr,        rFace,   rFace,    rText,      rText,       0,  0, gNone, gNone, "RAISED", nullptr},
    {"PAGECONTROLBOTTOM", "PAGECONTROL",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"PAGECONTROLLEFT",   "PAGECONTROL",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"PAGECONTROLRIGHT",  "PAGECONTROL",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TABCONTROL",        "PAGECONTROL",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TABCONTROLLEFT",    "TABCONTROL",   rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TABCONTROLRIGHT",   "TABCONTROL",   rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TABCONTROLBOTTOM",  "TABCONTROL",   rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TABSHEET",          nullptr,        rFace,   rFace,    rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"TABTOP",            nullptr,        rFace,   rFaceHot, rText,      rHotText,    0,  0, gLightFace, gLightFace, "TAB", nullptr},
    {"TABBOTTOM",         "TABTOP",       rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TABLEFT",           "TABTOP",       rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"TABRIGHT",          "TABTOP",       rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"SCROLLBTNTOP",      nullptr,        rFace,   rFaceHot, rText,      rHotText,    0,  0, gLightFace, gLightFace, "BUTTON", "ARROWUP"},
    {"SCROLLBTNBOTTOM",   "SCROLLBTNTOP", rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, "ARROWDOWN"},
    {"SCROLLBTNLEFT",     "SCROLLBTNTOP", rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, "ARROWLEFT"},
    {"SCROLLBTNRIGHT",    "SCROLLBTNTOP", rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, "ARROWRIGHT"},
    {"SCROLLSLIDERV",     nullptr,        rFace,   rFaceHot, rText,      rHotText,    0,  0, gLightFace, gLightFace, "BUTTON", nullptr},
    {"SCROLLSLIDERH",     "SCROLLSLIDERV",rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"SCROLLBAR1H",       nullptr,        rWindow, rWindow,  rText,      rText,       0,  0, gNone, gNone, nullptr, nullptr},
    {"SCROLLBAR1V",       "SCROLLBAR1H",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"SCROLLBAR2H",       "SCROLLBAR1H",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
    {"SCROLLBAR2V",       "SCROLLBAR1H",  rNone,   rNone,    rNone,      rNone,      -1, -1, gNone, gNone, nullptr, nullptr},
};
// clang-format on

// The sections whose controls fade from one look to the next (the mouse enters, leaves,
// presses, releases) in FadingIterations frames of 10 ms, half of them for a press or a
// release; the controls of the other sections change their look at once.
inline constexpr const char* FadingSections[] = {"BUTTON"};
inline constexpr int FadingIterations = 10;

// The frame sizes of the built-in shadows: margins left 11, top 7, right 11, bottom 11 around a
// body of ShadowBody pixels.
inline constexpr int ShadowBody = 32;

// The light of animated gauges (OUT/VXGL.png): a white PNG whose alpha bulges softly, highest
// in the middle of its length and height.
inline constexpr int GaugeLightLength = 300, GaugeLightHeight = 20;

} // namespace programskins
