// TsSkinManager: the one object that knows the current skin. A window places it (the splash
// window owns the program's one manager); skinned windows and controls reach it through their
// skin link or, without one of their own, through the default manager (DefaultManager).
//
// So far it keeps the settings a form description gives it and lists the available skins;
// loading a skin comes later, and setting SkinName only stores the name.
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

class TsSkinManager;

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

class TsSkinManager : public TComponent {
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
    // The skin's global colour as RGB; clBtnFace while no skin is loaded.
    TColor GetGlobalColor() const;

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
};
