#include "skin/engine/sSkinManager.h"

#include <windows.h>

#include <cstdio>

#include "gui/Dialogs.h"
#include "gui/base/Handles.h"
#include "gui/base/MemIniFile.h"
#include "gui/base/SysUtils.h"
#include "gui/Forms.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSysUtils.h"
#include "skin/engine/sUtils.h"
#include "skin/engine/vxSkinConvertor.h"

namespace {

TsSkinManager* defaultManager = nullptr;

const char* DefaultSkinDirectory = "c:\\Skins";

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

TColor ToRGB(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

// The newest skin format the engine supports fully.
constexpr double SupportedSkinVersion = 6.99;

} // namespace

TsSkinManager* DefaultManager() { return defaultManager; }

TsManagerFlags& SkinManagerFlags()
{
    static TsManagerFlags flags;
    return flags;
}

const std::array<const char*, ThirdPartyList::KindCount> ThirdPartyList::KindNames = {
    "Edit",     "Button", "BitBtn", "CheckBox",    "ComboBox",    "Grid",       "GroupBox", "ListView",  "Panel",
    "TreeView", "wwEdit", "GridEh", "VirtualTree", "PageControl", "TabControl", "ToolBar",  "StatusBar", "SpeedButton"};

const std::array<const char*, ThirdPartyList::KindCount> ThirdPartyList::PropertyNames = {
    "ThirdEdits",   "ThirdButtons",    "ThirdBitBtns",      "ThirdCheckBoxes",  "ThirdComboBoxes",
    "ThirdGrids",   "ThirdGroupBoxes", "ThirdListViews",    "ThirdPanels",      "ThirdTreeViews",
    "ThirdWWEdits", "ThirdGridEh",     "ThirdVirtualTrees", "ThirdPageControl", "ThirdTabControl",
    "ThirdToolBar", "ThirdStatusBar",  "ThirdSpeedButton"};

int ThirdPartyList::KindOfProperty(const std::string& name)
{
    for (int k = 0; k < KindCount; ++k)
        if (SameText(name, PropertyNames[static_cast<size_t>(k)])) return k;
    return -1;
}

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner)
{
    Manager = this;
    if (auto make = WindowSkinningHooks().CreateSkinMenus) menus_.reset(make(this));
    if (!defaultManager) {
        defaultManager = this;
        if (IsNTPlatform() && Application)
            mainHookId_ = Application->HookMainWindow([this](TMessage& m) { return MainWindowHook(m); });
    }
    // The end of construction: the defaults of what is still empty.
    FillThirdLists();
    skinDirectory_ = DefaultSkinDirectory;
}

TsSkinManager::~TsSkinManager()
{
    SetActive(false);
    extendedBorders_ = false;
    shadowActive_.reset();
    shadowInactive_.reset();
    menus_.reset();
    ClearSkinTables();
    if (defaultManager == this) {
        UninstallHook();
        defaultManager = nullptr;
    }
    if (mainHookId_ && Application) Application->UnhookMainWindow(mainHookId_);
    for (int k = 0; k < ThirdPartyList::KindCount; ++k)
        thirdParty_.Lists[static_cast<size_t>(k)] = thirdLists_[static_cast<size_t>(k)].Text();
}

void TsSkinManager::SetIsDefault(bool value)
{
    if (!value && defaultManager) return;
    defaultManager = this;
    if (active_) {
        SendNewSkin(true);
        RepaintForms();
    } else SendRemoveSkin();
}

void TsSkinManager::SetActive(bool active)
{
    if (active == active_) return;
    active_ = active;
    if (!active) {
        if (!Reading()) SendRemoveSkin();
        UpdateCommonIndexes();
    } else SetSkinName(skinName_);
}

void TsSkinManager::SetSkinDirectory(const std::string& directory)
{
    if (directory == skinDirectory_) return;
    skinDirectory_ = directory;
    SkinData.SkinPath = GetFullSkinDirectory();
}

bool TsSkinManager::ExtendedBorders() const
{
    return extendedBorders_ && GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindow") != nullptr;
}

bool TsSkinManager::AllowGlowing() const
{
    return allowGlowing_ && GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindow") != nullptr &&
           !Win64NoComposition;
}

void TsSkinManager::SetSkinnedPopups(bool on)
{
    if (on == skinnedPopups_) return;
    skinnedPopups_ = on;
    if (on && IsDefault() && menus_) menus_->SyncActive(SkinData.SkinLoaded);
}

std::string TsSkinManager::SkinInfo() const
{
    if (!SkinData.SkinLoaded) return "N/A";
    char text[32];
    std::snprintf(text, sizeof text, "%g", SkinData.Version);
    return text;
}

void TsSkinManager::FillThirdLists()
{
    for (int k = 0; k < ThirdPartyList::KindCount; ++k) {
        std::string& list = thirdParty_.Lists[static_cast<size_t>(k)];
        if (list.empty()) list = ThirdPartyList::DefaultOf(k);
        thirdLists_[static_cast<size_t>(k)].SetText(list);
    }
}

void TsSkinManager::Loaded()
{
    TComponent::Loaded();
    if (skinDirectory_.empty()) skinDirectory_ = DefaultSkinDirectory;
    if (menuSupport_.IcoLineSkin.empty()) menuSupport_.IcoLineSkin = "ICOLINE";
    FillThirdLists();
    if (active_ && !skinName_.empty()) SendNewSkin(false);
}

bool TsSkinManager::SetAnimationProperty(const std::string& name, const TPropValue& value)
{
    if (SameText(name, "Buttons.Events")) {
        animEffects_.ButtonEvents = (value.Has("beMouseEnter") ? TvxAnimEffects::beMouseEnter : 0u) |
                                    (value.Has("beMouseLeave") ? TvxAnimEffects::beMouseLeave : 0u) |
                                    (value.Has("beMouseDown") ? TvxAnimEffects::beMouseDown : 0u) |
                                    (value.Has("beMouseUp") ? TvxAnimEffects::beMouseUp : 0u);
        return true;
    }
    const size_t dot = name.find('.');
    if (dot == std::string::npos) return false;
    const std::string kind = name.substr(0, dot), field = name.substr(dot + 1);
    TvxFormAnimation* a = SameText(kind, "DialogShow")     ? &animEffects_.DialogShow
                          : SameText(kind, "FormShow")     ? &animEffects_.FormShow
                          : SameText(kind, "FormHide")     ? &animEffects_.FormHide
                          : SameText(kind, "DialogHide")   ? &animEffects_.DialogHide
                          : SameText(kind, "PageChange")   ? &animEffects_.PageChange
                          : SameText(kind, "SkinChanging") ? &animEffects_.SkinChanging
                                                           : nullptr;
    if (!a) return false;
    if (SameText(field, "Active")) a->Active = value.AsBool();
    else if (SameText(field, "Time")) a->Time = static_cast<int>(static_cast<unsigned short>(value.AsInt()));
    else if (SameText(field, "Mode")) a->Mode = SameText(value.AsIdent(), "atAero") ? 1 : 0;
    else return false;
    return true;
}

void TsSkinManager::SetProperty(const std::string& name, const TPropValue& value)
{
    if (SameText(name, "Active")) SetActive(value.AsBool());
    else if (SameText(name, "SkinDirectory")) SetSkinDirectory(value.AsString());
    else if (SameText(name, "SkinName")) SetSkinName(value.AsString());
    else if (SameText(name, "ExtendedBorders")) SetExtendedBorders(value.AsBool());
    else if (SameText(name, "IsDefault")) SetIsDefault(value.AsBool());
    else if (SameText(name, "HueOffset")) SetHueOffset(static_cast<int>(value.AsInt()));
    else if (SameText(name, "Saturation")) SetSaturation(static_cast<int>(value.AsInt()));
    else if (SameText(name, "SkinnedPopups")) SetSkinnedPopups(value.AsBool());
    else if (SameText(name, "AllowGlowing")) SetAllowGlowing(value.AsBool());
    else if (SameText(name, "MenuSupport.IcoLineSkin")) menuSupport_.IcoLineSkin = value.AsString();
    else if (SameText(name, "MenuSupport.UseExtraLine")) menuSupport_.UseExtraLine = value.AsBool();
    else if (SameText(name, "MenuSupport.ExtraLineWidth")) menuSupport_.ExtraLineWidth = value.AsInt();
    else if (StartsWith(name, "AnimEffects.") && SetAnimationProperty(name.substr(12), value)) {
    } else if (SameText(name, "SkinningRules")) {
        skinningRules_ = (value.Has("srStdForms") ? srStdForms : 0u) | (value.Has("srStdDialogs") ? srStdDialogs : 0u) |
                         (value.Has("srThirdParty") ? srThirdParty : 0u);
    } else if (SameText(name, "InternalSkins")) {
        if (value.kind != TPropValue::Collection) throw EComponentError("Sammlung erwartet");
        internalSkins_.Clear();
        for (const auto& item : value.collection) {
            TsStoredSkin& skin = internalSkins_.Add();
            for (const TPropItem& p : item)
                skin.SetProperty(p.name, p.value);
        }
    } else if (StartsWith(name, "ThirdParty.") && ThirdPartyList::KindOfProperty(name.substr(11)) >= 0)
        thirdParty_.Lists[static_cast<size_t>(ThirdPartyList::KindOfProperty(name.substr(11)))] = value.AsString();
    else TComponent::SetProperty(name, value);
}

std::string TsSkinManager::GetFullSkinDirectory() const
{
    const std::string& s = skinDirectory_;
    if (StartsWith(s, "..")) {
        std::string parent = AppPath();
        parent.pop_back();
        while (!parent.empty() && parent.back() != '\\' && parent.back() != '/')
            parent.pop_back();
        return parent + (s.size() > 3 ? s.substr(3) : std::string());
    }
    if (StartsWith(s, ".\\") || StartsWith(s, "./")) return AppPath() + s.substr(2);
    if (s.find(':') == std::string::npos && s.find("\\\\") == std::string::npos) return AppPath() + s;
    return s;
}

std::string TsSkinManager::GetSkinNames(TStrings& list, int kinds) const
{
    list.Clear();
    TStringList found;
    for (int i = 0; i < internalSkins_.Count(); ++i)
        found.Add(internalSkins_.Items(i).Name);
    const std::string folder = GetFullSkinDirectory();
    if (DirectoryExists(folder)) {
        WIN32_FIND_DATAA entry;
        TFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
        for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &entry)) {
            const std::string name = entry.cFileName;
            if (name.empty() || name[0] == '.') continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (kinds != 1 && FileExists(folder + "\\" + name + "\\Options.dat")) found.Add(name);
            } else if (kinds != 0) {
                const size_t dot = name.rfind('.');
                if (dot != std::string::npos && name.compare(dot, std::string::npos, ".vtz") == 0)
                    found.Add(name.substr(0, name.find('.')));
            }
        }
    }
    const std::string first = found.Count() > 0 ? found[0] : std::string();
    found.Sort();
    list.Assign(found);
    return first;
}

void TsSkinManager::SetCommonSections(const TStrings& lines)
{
    commonSections_.Assign(lines);
    for (int i = 0; i < commonSections_.Count(); ++i) {
        const std::string line = commonSections_[i];
        if (!line.empty() && line[0] != ';') commonSections_.Put(i, DelChars(line, ' '));
    }
    SetSkinName(skinName_);
}

namespace {

// A hot colour that means "not set" for the highlight colours.
bool Unset(TColor c) { return c == -1 || c == 0xFF00FF || c == 0xFFFFFF; }

} // namespace

TColor TsSkinManager::GetGlobalColor() const
{
    const int i = GetSkinIndex("GLOBALINFO");
    return ToRGB(i >= 0 ? GeneralData[static_cast<size_t>(i)].Color : clBtnFace);
}

TColor TsSkinManager::GetGlobalFontColor() const
{
    const int i = GetSkinIndex("GLOBALINFO");
    return i >= 0 ? ToRGB(GeneralData[static_cast<size_t>(i)].FontColor[1]) : clFuchsia;
}

TColor TsSkinManager::GetGlobalHotColor() const
{
    const int i = GetSkinIndex("GLOBALINFO");
    return ToRGB(i >= 0 ? GeneralData[static_cast<size_t>(i)].HotColor : clWindow);
}

TColor TsSkinManager::GetActiveEditFontColor() const
{
    const int i = GetSkinIndex("EDIT");
    return i >= 0 ? ToRGB(GeneralData[static_cast<size_t>(i)].HotFontColor[1]) : clFuchsia;
}

TColor TsSkinManager::GetHighLightColor() const
{
    const int i = GetSkinIndex("MENUITEM");
    if (i < 0 || Unset(GeneralData[static_cast<size_t>(i)].HotColor)) return ToRGB(clHighlight);
    return ToRGB(GeneralData[static_cast<size_t>(i)].HotColor);
}

TColor TsSkinManager::GetHighLightFontColor() const
{
    const int i = GetSkinIndex("MENUITEM");
    if (i < 0) return ToRGB(clHighlightText);
    const TsGeneralData& g = GeneralData[static_cast<size_t>(i)];
    const TColor font = g.HotFontColor[1];
    if (Unset(font) || font == 0 || Unset(g.HotColor)) return ToRGB(clHighlightText);
    return ToRGB(font);
}
