// What the skinning reads from a skin for the program's windows: the sections, and the images
// by section, that the skinned controls of the form descriptions, the dialogs' children, the
// menus, the title bars and the scroll bars look up. Every skin the program ships must hold them;
// a skin without one of them leaves that part plain or empty. Kept apart from the skins' own
// layout (skin/engine/tools/ProgramSkins.h) so that a skin cannot vouch for itself.
#pragma once

namespace skincoverage {

struct TRead {
    const char* Reader;  // the window, control or part that reads it
    const char* Section; // the section
    const char* Image;   // an image of the section (found there or in a parent), nullptr: the section alone
};

// clang-format off
inline constexpr TRead Reads[] = {
    // Skinned controls of the form descriptions
    {"TsButton",        "BUTTON",          "BORDERSMASK"},
    {"TsCheckBox",      "CHECKBOX",        nullptr},
    {"TsCheckBox",      "GLOBALINFO",      "BOXCHECKED"},
    {"TsCheckBox",      "GLOBALINFO",      "BOXUNCHECKED"},
    {"TsCheckBox",      "GLOBALINFO",      "BOXGRAYED"},
    {"TsEdit",          "EDIT",            "BORDERSMASK"},
    {"TsListBox",       "EDIT",            "BORDERSMASK"},
    {"TsPanel",         "PANEL",           "BORDERSMASK"},
    {"TsPanel",         "PANEL_LOW",       "BORDERSMASK"},
    {"TsGauge",         "GAUGE",           "BORDERSMASK"},
    {"TsGauge",         "PROGRESSH",       "BORDERSMASK"},
    {"TsGauge",         "PROGRESSV",       "BORDERSMASK"},
    {"TsComboBox",      "COMBOBOX",        "BORDERSMASK"},
    {"TsComboBox",      "COMBOBOX",        "GLYPHMASK"},
    {"TsComboBox",      "COMBOBTN",        "BORDERSMASK"},
    {"hint",            "HINT",            nullptr},
    // TsSkinProvider: the form, its frame and its grip
    {"TsSkinProvider",  "FORM",            nullptr},
    {"TsSkinProvider",  "GLOBALINFO",      "GRIPIMAGE"},
    // Dialogs and their children (buttons, edits, check boxes, group boxes)
    {"dialog",          "DIALOG",          nullptr},
    {"dialog child",    "GROUPBOX",        "BORDERSMASK"},
    // Title bars of forms and dialogs
    {"title bar",       "FORMTITLE",       nullptr},
    {"title bar",       "CAPTION",         nullptr},
    {"title bar",       "GLOBALINFO",      "BICONCLOSE"},
    {"title bar",       "GLOBALINFO",      "BICLOSEALONE"},
    {"title bar",       "GLOBALINFO",      "BICONMAX"},
    {"title bar",       "GLOBALINFO",      "BICONMIN"},
    {"title bar",       "GLOBALINFO",      "BICONNORM"},
    {"title bar",       "GLOBALINFO",      "BICONHELP"},
    {"title bar",       "GLOBALINFO",      "SICONCLOSE"},
    {"title bar",       "GLOBALINFO",      "SICONMAX"},
    {"title bar",       "GLOBALINFO",      "SICONMIN"},
    {"title bar",       "GLOBALINFO",      "SICONNORM"},
    {"title bar",       "GLOBALINFO",      "SICONHELP"},
    {"title bar",       "GLOBALINFO",      "TITLEBUTTON"},
    // Menus: the menu line, the popup items, their icon column and separators
    {"menu",            "MAINMENU",        nullptr},
    {"menu",            "MENULINE",        nullptr},
    {"menu",            "MENUITEM",        nullptr},
    {"menu",            "ICOLINE",         nullptr},
    {"menu",            "DIVIDERV",        nullptr},
    // Scroll bars of edits, list boxes and combo lists
    {"scroll bar",      "SCROLLBTNTOP",    "BORDERSMASK"},
    {"scroll bar",      "SCROLLBTNTOP",    "GLYPHMASK"},
    {"scroll bar",      "SCROLLBTNBOTTOM", "GLYPHMASK"},
    {"scroll bar",      "SCROLLBTNLEFT",   "GLYPHMASK"},
    {"scroll bar",      "SCROLLBTNRIGHT",  "GLYPHMASK"},
    {"scroll bar",      "SCROLLSLIDERV",   "BORDERSMASK"},
    {"scroll bar",      "SCROLLSLIDERH",   "BORDERSMASK"},
    {"scroll bar",      "SCROLLBAR1H",     nullptr},
    {"scroll bar",      "SCROLLBAR1V",     nullptr},
    {"scroll bar",      "SCROLLBAR2H",     nullptr},
    {"scroll bar",      "SCROLLBAR2V",     nullptr},
};
// clang-format on

// The arrow images of the four scroll buttons, each pointing its own way.
inline constexpr const char* ScrollArrowSections[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT",
                                                      "SCROLLBTNRIGHT"};

// A section with a glow (GLOW above 0) is drawn with its own image "GLOW0".
inline constexpr const char* GlowImage = "GLOW0";

// The program's own images, raw-data resources of Tillora.exe: the form shadows and the light of
// animated gauges.
inline constexpr const char* ProgramResources[] = {"vxSHDA", "vxSHDI", "VXGL"};

} // namespace skincoverage
