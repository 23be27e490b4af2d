// TsSkinManager: the one object that knows the current skin. A window places it (the splash
// window owns the program's one manager); skinned windows and controls reach it through their
// skin link or, without one of their own, through the default manager (DefaultManager).
//
// It keeps the settings a form description gives it, lists the available skins and holds the
// loaded skin's tables with their lookups (TsSkinTables, sSkinTables.h). Setting SkinName only
// stores the name so far; the loaders below fill the tables from a skin folder, a packed
// container or an internal skin's container bytes:
//
//   manager.LoadSkinFromFolder(GetFullSkinDirectory() + "\\" + name);   // Options.dat + files
//   std::unique_ptr<TvxSkinConvertor> c;                                  // a ".vtz" file
//   LoadSkinFile(file, c, true);
//   manager.LoadSkinFromContainer(*c, GetFullSkinDirectory() + "\\");
//   manager.LoadSkinFromData(manager.InternalSkins().Items(0).Data);      // internal skin
//   int i = manager.GetSkinIndex("BUTTON");
//   int border = manager.GetMaskIndex(i, "BUTTON", "BORDERSMASK");
//   manager.UnloadSkinTables();                                           // all fixed indexes -1
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
//         Data = {5654 7A66 ...}
//       end>
//   end
//
// The default manager: the first manager created becomes it (IsDefault true); IsDefault :=
// True makes a manager the default; IsDefault := False on the default manager changes
// nothing; the default manager's destruction leaves no default manager.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/base/Classes.h"
#include "gui/base/StreamBase.h"
#include "gui/base/Strings.h"
#include "skin/engine/sSkinTables.h"

class TMemIniFile;
class TsSkinManager;
class TvxSkinConvertor;

// The manager that serves every skin link without a manager of its own; none at start.
TsSkinManager* DefaultManager();

// A skin stored with the window description: its listed name and its packed container.
class TsStoredSkin : public TObject {
    GUI_CLASS(TsStoredSkin, TObject)
    std::string Name;
    TMemoryStream Data;
};

class TsStoredSkins : public TObject {
    GUI_CLASS(TsStoredSkins, TObject)
    TsStoredSkin& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TsStoredSkin& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TsStoredSkin>> items_;
};

class TvxMenuSupport : public TObject {
    GUI_CLASS(TvxMenuSupport, TObject)
    std::string IcoLineSkin; // section of the menus' icon strip; "ICOLINE" when empty at load
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
};

class TvxFormAnimation : public TObject {
    GUI_CLASS(TvxFormAnimation, TObject)
    TvxFormAnimation(bool active, int time) : Active(active), Time(time) {}
    bool Active;
    int Time; // milliseconds, 16-bit
};

class TvxAnimEffects : public TObject {
    GUI_CLASS(TvxAnimEffects, TObject)
    TvxFormAnimation SkinChanging{true, 100};
};

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

class TsSkinManager : public TComponent, public TsSkinTables {
    GUI_CLASS(TsSkinManager, TComponent)
    explicit TsSkinManager(TComponent* owner);
    ~TsSkinManager() override;

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    const std::string& SkinDirectory() const { return skinDirectory_; }
    void SetSkinDirectory(const std::string& directory) { skinDirectory_ = directory; }
    const std::string& SkinName() const { return skinName_; }
    void SetSkinName(const std::string& name) { skinName_ = name; }
    bool ExtendedBorders() const { return extendedBorders_; }
    void SetExtendedBorders(bool on) { extendedBorders_ = on; }
    bool IsDefault() const { return DefaultManager() == this; }
    void SetIsDefault(bool value);

    TsStoredSkins& InternalSkins() { return internalSkins_; }
    TvxMenuSupport& MenuSupport() { return menuSupport_; }
    ThirdPartyList& ThirdParty() { return thirdParty_; }
    TvxAnimEffects& AnimEffects() { return animEffects_; }
    // The class-name lists window skinning consults, one per kind (filled at load).
    const TStringList& ThirdLists(int kind) const { return thirdLists_.at(static_cast<size_t>(kind)); }

    // The skin folder as listed and loaded: a setting beginning with ".." is taken from the
    // parent of the program's folder, one beginning with ".\" or "./" and one without ":" and
    // "\\" from the program's folder; any other stays. No separator is added at the end.
    std::string GetFullSkinDirectory() const;
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

    // Loading the tables. Each runs the load steps in their order (images, patterns, sections
    // with CommonSections merged, fixed indexes) over the skin text and the images of its
    // source, and shows the version message when VERSION is above 6.99 (loading goes on).
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
    // The load steps over any skin text and image source.
    void LoadSkinTables(const TMemIniFile& ini, TsSkinImages& images, const std::string& skinPath);
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
    bool active_ = true;
    bool extendedBorders_ = false;
    std::string skinDirectory_;
    std::string skinName_;
    TsStoredSkins internalSkins_;
    TvxMenuSupport menuSupport_;
    ThirdPartyList thirdParty_;
    TvxAnimEffects animEffects_;
    std::array<TStringList, ThirdPartyList::KindCount> thirdLists_;
    TStringList commonSections_;
};
