// TsSkinManager: the one object that knows the current skin. A window places it (the splash
// window owns the program's one manager); skinned windows and controls reach it through their
// skin link or, without one of their own, through the default manager (DefaultManager).
//
// It keeps the settings a form description gives it, lists the available skins, loads the
// chosen one into its tables (TsSkinTables, sSkinTables.h), recolours it by HueOffset and
// Saturation and tells every form and control through the skin command message:
//
//   manager.SetSkinName("Blue");   // "Blue.vtz" in the skin folder, else the folder "Blue"
//                                  // with "Options.dat", else the internal skin "Blue", else
//                                  // the first internal skin (SkinName reads back its name),
//                                  // else none: Active false and the skin removed
//   manager.SetActive(false);      // cmdRemoveSkin to all, the tables emptied
//   int i = manager.GetSkinIndex("BUTTON");
//   int border = manager.GetMaskIndex(i, "BUTTON", "BORDERSMASK");
//
// A load that fails (a damaged container, an unreadable picture) raises its exception and
// changes nothing: the skin loaded before, its name, tables and indexes stay. The loaders for
// tests and tools fill the tables the same way without any broadcast:
//
//   manager.LoadSkinFromFolder(GetFullSkinDirectory() + "\\" + name);   // Options.dat + files
//   manager.LoadSkinFromData(manager.InternalSkins().Items(0).Data);      // internal skin
//   manager.LoadSkinFromStoredSkin(manager.InternalSkins().Items(1));     // one stored as
//                                                                         // collections
//   manager.UnloadSkinTables();                                           // all fixed indexes -1
//
// The description of the splash's manager (Data: a 32-bit length and the container's bytes,
// written by the build from the program's internal skin):
//
//   object sSkinManager1: TsSkinManager
//     Active = False
//     ExtendedBorders = True
//     SkinDirectory = 'Skins\'
//     SkinName = 'Tillora (internal)'
//     MenuSupport.IcoLineSkin = 'ICOLINE'
//     ThirdParty.ThirdButtons = 'TButton'
//     AnimEffects.SkinChanging.Time = 100
//     InternalSkins = <
//       item
//         Name = 'Tillora (internal)'
//         Data = {D2040000 5654 7A66 ...}   (1234 bytes follow)
//       end>
//   end
//
// The default manager: the first manager created becomes it (IsDefault true); IsDefault :=
// True makes a manager the default; IsDefault := False on the default manager changes
// nothing; the default manager's destruction leaves no default manager.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/base/Classes.h"
#include "gui/base/StreamBase.h"
#include "gui/base/Strings.h"
#include "skin/engine/sSkinTables.h"
#include "skin/engine/sStoredSkins.h"

class TMemIniFile;
class TMenuItem;
class TsSkinManager;
class TvxSkinConvertor;

// The manager that serves every skin link without a manager of its own; none at start.
TsSkinManager* DefaultManager();

class TvxMenuSupport : public TObject {
    GUI_CLASS(TvxMenuSupport, TObject)
    std::string IcoLineSkin; // section of the menus' icon strip; "ICOLINE" when empty at load
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    TFont ExtraLineFont; // the extra line's caption (name and styles; written upright at 90 degrees)
    void SetExtraLineFont(const TFont& font) { ExtraLineFont = font; }
};

class TvxFormAnimation : public TObject {
    GUI_CLASS(TvxFormAnimation, TObject)
    TvxFormAnimation(bool active, int time) : Active(active), Time(time) {}
    bool Active;
    int Time;     // milliseconds, 16-bit
    int Mode = 0; // TvxAnimType (sConst.h): 0 atFading, 1 atAero
};

// The animation options; every one active with time 0, except SkinChanging (time 100).
class TvxAnimEffects : public TObject {
    GUI_CLASS(TvxAnimEffects, TObject)
    static constexpr unsigned beMouseEnter = 1, beMouseLeave = 2, beMouseDown = 4, beMouseUp = 8; // Buttons.Events
    unsigned ButtonEvents = beMouseEnter | beMouseLeave | beMouseDown | beMouseUp;
    TvxFormAnimation DialogShow{true, 0};
    TvxFormAnimation FormShow{true, 0};
    TvxFormAnimation FormHide{true, 0};
    TvxFormAnimation DialogHide{true, 0};
    TvxFormAnimation PageChange{true, 0};
    TvxFormAnimation SkinChanging{true, 100};
};

// The windows the window hook skins (SkinningRules).
enum TvxSkinningRule : unsigned { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };

// The manager's module flags, read by painting code to hold back during a change.
struct TsManagerFlags {
    bool Loading = false;
    bool Changing = false;
    bool Removing = false;
};
TsManagerFlags& SkinManagerFlags();

// The package-wide state of a skin change.
// Set while a manager applies a change to all forms (their painting frozen): skinned controls
// paint only into PrintDC meanwhile.
extern bool RepaintLocked;
// The DC a window is captured into for a snapshot or an animation; 0 when none.
extern HDC PrintDC;
// Set while a manager broadcasts a new skin (command 1) to all forms.
extern bool SkinUpdating;
// Set while a manager changes or loads a skin (name setter, loaders, new-skin broadcast);
// fades do not start meanwhile.
extern bool SkinChanging;

// The package version the engine answers to (the banner of "/vxver", the Version property).
constexpr const char* PackageVersion = "6.61";

// The class names of outside controls that window skinning skins through adapters, one list
// per control kind (one name a line); an empty list takes its kind's default (" ", or
// "TButton" for buttons).
class ThirdPartyList : public TObject {
    GUI_CLASS(ThirdPartyList, TObject)
    static constexpr int KindCount = 18;
    // Kind names ("Edit", "Button", ...) and published names ("ThirdEdits", ...) by kind index.
    static const std::array<const char*, KindCount> KindNames;
    static const std::array<const char*, KindCount> PropertyNames;
    static const char* DefaultOf(int kind) { return kind == 1 ? "TButton" : " "; }
    std::array<std::string, KindCount> Lists;
    // The kind index of a published name (case-insensitive), -1 for none.
    static int KindOfProperty(const std::string& name);
};

class TsSkinMenus;

class TsSkinManager : public TComponent, public TsSkinTables {
    GUI_CLASS(TsSkinManager, TComponent)
    explicit TsSkinManager(TComponent* owner);
    ~TsSkinManager() override;

    bool Active() const { return active_; }
    // Off: the skin is removed from every form (unless loading) and the fixed indexes become
    // -1. On: SkinName is loaded again.
    void SetActive(bool active);
    const std::string& SkinDirectory() const { return skinDirectory_; }
    // Stores the folder (the skin is not reloaded); SkinData.SkinPath := the normalised folder.
    void SetSkinDirectory(const std::string& directory);
    const std::string& SkinName() const { return skinName_; }
    // Stores the name and, while Active, loads the skin and broadcasts it (see above). The
    // container's exceptions pass out; nothing has changed then.
    void SetSkinName(const std::string& name);
    // Layered shadow borders; read as true only when layered windows are available.
    bool ExtendedBorders() const;
    void SetExtendedBorders(bool on);
    bool IsDefault() const { return DefaultManager() == this; }
    void SetIsDefault(bool value);
    bool SkinnedPopups() const { return skinnedPopups_; }
    void SetSkinnedPopups(bool on);
    // Glows; read as true only when layered windows are available and the system is not a
    // 64-bit one without desktop composition.
    bool AllowGlowing() const;
    void SetAllowGlowing(bool on) { allowGlowing_ = on; }
    unsigned SkinningRules() const { return skinningRules_; }
    void SetSkinningRules(unsigned rules) { skinningRules_ = rules; }
    // Hue rotation (degrees) and saturation change (percent) applied at load; a change reloads
    // a loaded skin and repaints.
    int HueOffset() const { return hueOffset_; }
    void SetHueOffset(int offset);
    int Saturation() const { return saturation_; }
    void SetSaturation(int amount);
    // The loaded skin's VERSION with a point, "N/A" while none is loaded.
    std::string SkinInfo() const;
    // The current skin came from a container.
    bool Packed() const { return packed_; }

    TsStoredSkins& InternalSkins() { return internalSkins_; }
    // Assigning a whole collection changes nothing.
    void SetInternalSkins(const TsStoredSkins& skins) { internalSkins_.Assign(skins); }
    // The package version; not stored, the setter does nothing.
    static std::string Version() { return PackageVersion; }
    TvxMenuSupport& MenuSupport() { return menuSupport_; }
    // The skinned-menus object (made through the CreateSkinMenus hook), or none.
    TsSkinMenus* SkinMenus() const { return menus_.get(); }
    ThirdPartyList& ThirdParty() { return thirdParty_; }
    TvxAnimEffects& AnimEffects() { return animEffects_; }
    // The class-name lists window skinning consults, one per kind (filled at load).
    const TStringList& ThirdLists(int kind) const { return thirdLists_.at(static_cast<size_t>(kind)); }

    TNotifyEvent OnBeforeChange;
    TNotifyEvent OnAfterChange;
    // Asked by skinned menus for the extra line beside a menu's first item: its section,
    // caption, glyph and whether it shows.
    std::function<void(TMenuItem* firstItem, std::string& skinSection, std::string& caption, TBitmap*& glyph,
                       bool& lineVisible)>
        OnGetMenuExtraLineData;

    // The skin folder as listed and loaded: a setting beginning with ".." is taken from the
    // parent of the program's folder, one beginning with ".\" or "./" and one without ":" and
    // "\\" from the program's folder; any other stays. No separator is added at the end.
    std::string GetFullSkinDirectory() const;
    // The packed file of a skin: the normalised folder, "\", the name, ".vtz".
    std::string PackedSkinFile(const std::string& name) const;
    // Fills the list with the available skins, sorted (case-insensitive): the internal skins,
    // then (kinds 0 and 2) the sub-folders holding "Options.dat" and (kinds 1 and 2) the files
    // ending exactly in ".vtz", listed by the name before their first "."; names beginning
    // with "." are left out. Returns the first name found (before sorting), or "".
    std::string GetSkinNames(TStrings& list, int kinds) const;
    // Extra skin sections in INI text, merged over every loaded skin. Setting them removes
    // every blank from each line that is not empty and does not begin with ";", then sets
    // SkinName again.
    TStringList& CommonSections() { return commonSections_; }
    void SetCommonSections(const TStrings& lines);

    // The broadcasts. SendNewSkin: cmdSkinChanged (1) to every form and control, then (with
    // repaint) RepaintForms; the default manager installs the window hook. SendRemoveSkin:
    // cmdRemoveSkin (2), then the tables emptied. RepaintForms: cmdSkinChangeDone (16), then
    // cmdRefresh (3), forms frozen in between. Every one with lParam = the manager.
    void SendNewSkin(bool repaint);
    void SendRemoveSkin();
    void RepaintForms();
    // The skinned control under the mouse: the old window gets cmdMouseLeave (30), the new
    // one cmdMouseEnter (29); nothing when the handle is the stored one.
    void SetActiveControl(HWND wnd);
    HWND ActiveControl() const { return activeControl_; }
    // The window hook that skins new windows: installed by the default manager at run time
    // after a new skin went to all windows, removed before the skin is removed.
    void InstallHook();
    void UninstallHook();
    bool HookInstalled() const { return hookInstalled_; }
    bool GetExtendedBorders() const { return ExtendedBorders(); }
    bool GetAllowGlowing() const { return AllowGlowing(); }

    // The extended-border shadows (active, inactive: 32-bit, none when absent) and margins.
    TBitmap* ShadowActive() const { return shadowActive_.get(); }
    TBitmap* ShadowInactive() const { return shadowInactive_.get(); }
    const std::array<int, 4>& ShadowMargins() const { return shadowMargins_; } // left, top, right, bottom

    // The reaction to messages of the application's window; true when handled.
    bool MainWindowHook(TMessage& message);

    // Loading the tables. Each runs the load steps in their order (images, patterns, sections
    // with CommonSections merged, recolouring, fixed indexes) over the skin text and the images
    // of its source into fresh tables, which replace the current ones only when all went well;
    // it shows the version message when VERSION is above 6.99 (loading goes on).
    // From a skin folder (with or without its trailing "\"): false, with the tables left as
    // they were, when it holds no "Options.dat".
    bool LoadSkinFromFolder(const std::string& folder);
    // From an unpacked container: its options text and image entries; skinPath (the folder of
    // the skins, with its trailing "\") becomes SkinData.SkinPath.
    void LoadSkinFromContainer(const TvxSkinConvertor& convertor, const std::string& skinPath);
    // From a container's bytes (an internal skin's Data, lent from position 0): unpacked, then
    // as above with an empty SkinPath. The container's exceptions pass through, the tables
    // left as they were.
    void LoadSkinFromData(TStream& data);
    // From a skin stored as collections (sStoredSkins.h), its Data left aside; an empty
    // SkinPath.
    void LoadSkinFromStoredSkin(const TsStoredSkin& skin);
    // The load steps over any skin text and image source.
    void LoadSkinTables(const TMemIniFile& ini, TsImageSource& images, const std::string& skinPath);
    // Frees the tables' bitmaps and patterns, empties the tables, sets every fixed index to -1.
    void UnloadSkinTables();

    // Colours of the loaded skin as RGB, for adapters that colour other makers' controls:
    // GLOBALINFO's Color (clBtnFace without GLOBALINFO), its first font colour (0xFF00FF),
    // its HotColor (clWindow); the first hot font colour of "EDIT" (0xFF00FF); the HotColor
    // of "MENUITEM" unless it is -1, 0xFF00FF or 0xFFFFFF (else clHighlight); the first hot
    // font colour of "MENUITEM" unless that is -1, 0xFF00FF, 0xFFFFFF or 0 or the HotColor
    // is one of the first three (else clHighlightText).
    TColor GetGlobalColor() const;
    TColor GetGlobalFontColor() const;
    TColor GetGlobalHotColor() const;
    TColor GetActiveEditFontColor() const;
    TColor GetHighLightColor() const;
    TColor GetHighLightFontColor() const;

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;

private:
    void FillThirdLists();
    // AnimEffects.<kind>.Active / .Time and AnimEffects.Buttons.Events; false for any other.
    bool SetAnimationProperty(const std::string& name, const TPropValue& value);
    // Loads SkinName by the rules above (packed file, folder, internal skins).
    void LoadCurrentSkin();
    void LoadPackedSkin();
    void LoadFolderOrInternalSkin();
    // Reloads a loaded skin after a change of its colours or borders.
    void ReloadForChange();
    void PrepareShadows();
    // The steps after the tables are filled: the version message, recolouring, the skin path,
    // the tables taking the place of the current ones, the fixed indexes and the shadows.
    void CompleteLoad(TsSkinTables& fresh, const std::string& skinPath);
    bool Reading() const { return (ComponentState() & (csLoading | csReading)) != 0; }
    bool active_ = true;
    bool extendedBorders_ = false;
    bool skinnedPopups_ = true;
    bool allowGlowing_ = true;
    unsigned skinningRules_ = srStdForms | srStdDialogs | srThirdParty;
    int hueOffset_ = 0;
    int saturation_ = 0;
    bool packed_ = false;
    bool hookInstalled_ = false;
    int minimiseState_ = 0; // 1 restoring, 2 minimising
    HWND activeControl_ = nullptr;
    std::string skinDirectory_;
    std::string skinName_;
    TsStoredSkins internalSkins_;
    TvxMenuSupport menuSupport_;
    ThirdPartyList thirdParty_;
    TvxAnimEffects animEffects_;
    std::array<TStringList, ThirdPartyList::KindCount> thirdLists_;
    TStringList commonSections_;
    std::unique_ptr<TsSkinMenus> menus_;
    std::unique_ptr<TBitmap> shadowActive_, shadowInactive_;
    std::array<int, 4> shadowMargins_{0, 0, 0, 0};
    int mainHookId_ = 0;
};

// The unit's start: the operating-system version (NT flag), the built-in shadow images
// "vxSHDA" and "vxSHDI" (raw PNG resources of the program; absent when missing) and the
// banner for "/vxver" among the program's arguments. End: the images freed.
void SkinManagerStart();
void SkinManagerEnd();
// The banner "Velocon v6.61" once when any argument is "/vxver" in any case.
void ShowVersionBanner(const std::vector<std::string>& args);
// The platform is NT-based (read at start).
bool IsNTPlatform();
// The built-in shadow images, none when absent.
TBitmap* BuiltInShadow(bool active);
