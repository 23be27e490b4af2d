// What the whole skin package shares: the enumerations of published properties, the texts of
// Boolean skin values, and the English texts of the skinned windows and dialogs. The texts live
// in the program's string table (sConst.rc, ids 58910-58992, linked into every program that
// links the skin engine) so they can be translated by replacing resources; the start step
// copies each into the package's table, where an id missing from the string table gives an
// empty text.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "skin/engine/sMaskData.h" // TvxImgType

enum TvxAnimType { atFading, atAero };
enum TvxBtnEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
enum TvxAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
enum TsDisabledGlyphKindElement { dgBlended, dgGrayed };
// The disabled looks of a control (TsDisabledKind) are the flags dkBlended and dkGrayed of
// skin/engine/sSectionPaint.h.
enum TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };
// Sets of the enumerations above: bit n for element n.
using TvxBtnEvents = unsigned;
using TvxAnimatEvents = unsigned;
using TsDisabledGlyphKind = unsigned;
using TsDisabledKind = unsigned;

// Boolean values as skin texts write them: index 0 "FALSE", 1 "TRUE".
inline constexpr std::array<const char*, 2> SkinBoolTexts = {"FALSE", "TRUE"};

// The colour that means "no colour" throughout the skin engine, and the transparent colour of
// skin images.
constexpr int sTransparentColor = 0xFF00FF;
// The width of a horizontal scroll-bar arrow (system metric SM_CXHSCROLL), read at start.
extern int sHScrollArrowWidth;

// String-table ids of the package texts the skinned windows use by name.
enum : int {
    sidMsgDlgOK = 58992,
    sidMsgDlgCancel = 58991,
    sidMsgDlgHelp = 58990,
    sidRestore = 58981,
    sidMove = 58980,
    sidSize = 58979,
    sidMinimize = 58978,
    sidMaximize = 58977,
    sidClose = 58976,
    sidFileOpen = 58970,
    sidAvailableSkins = 58964,
    sidInternal = 58963,
    sidErrorSettingCount = 58962,
    sidListBoxMustBeVirtual = 58961,
    sidColorDlgColor = 58956,
    sidColor = 58930,
    sidSelectDirectory = 58911,
    sidCreate = 58910,
};
// All 53 ids, in the order they are loaded (descending).
extern const std::array<int, 53> PackageTextIds;

// The loaded text of an id; "" for an id that is not a package text or was missing.
const std::string& PackageText(int id);

// Copies the 53 texts from the module's string table (descending ids); a missing id gives "".
void LoadPackageTexts(HMODULE module);

// Start and end of the package texts: the start runs once (later calls only count), reads the
// metrics and loads the texts from the program's string table; the end runs with the last
// matching call and frees the texts.
void PackageTextsStart();
void PackageTextsEnd();
