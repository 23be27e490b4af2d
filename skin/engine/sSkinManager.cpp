#include "skin/engine/sSkinManager.h"

#include <windows.h>

#include "gui/Dialogs.h"
#include "gui/base/Handles.h"
#include "gui/base/MemIniFile.h"
#include "gui/base/SysUtils.h"
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

TsStoredSkin& TsStoredSkins::Add()
{
    items_.push_back(std::make_unique<TsStoredSkin>());
    return *items_.back();
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
    if (!defaultManager) defaultManager = this;
    // The end of construction: the defaults of what is still empty.
    FillThirdLists();
    skinDirectory_ = DefaultSkinDirectory;
}

TsSkinManager::~TsSkinManager()
{
    if (defaultManager == this) defaultManager = nullptr;
}

void TsSkinManager::SetIsDefault(bool value)
{
    if (!value && defaultManager) return;
    defaultManager = this;
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
}

void TsSkinManager::SetProperty(const std::string& name, const TPropValue& value)
{
    if (SameText(name, "Active")) SetActive(value.AsBool());
    else if (SameText(name, "SkinDirectory")) SetSkinDirectory(value.AsString());
    else if (SameText(name, "SkinName")) SetSkinName(value.AsString());
    else if (SameText(name, "ExtendedBorders")) SetExtendedBorders(value.AsBool());
    else if (SameText(name, "IsDefault")) SetIsDefault(value.AsBool());
    else if (SameText(name, "MenuSupport.IcoLineSkin")) menuSupport_.IcoLineSkin = value.AsString();
    else if (SameText(name, "MenuSupport.UseExtraLine")) menuSupport_.UseExtraLine = value.AsBool();
    else if (SameText(name, "MenuSupport.ExtraLineWidth")) menuSupport_.ExtraLineWidth = value.AsInt();
    else if (SameText(name, "AnimEffects.SkinChanging.Active")) animEffects_.SkinChanging.Active = value.AsBool();
    else if (SameText(name, "AnimEffects.SkinChanging.Time"))
        animEffects_.SkinChanging.Time = static_cast<int>(static_cast<unsigned short>(value.AsInt()));
    else if (SameText(name, "InternalSkins")) {
        if (value.kind != TPropValue::Collection) throw EComponentError("Sammlung erwartet");
        internalSkins_.Clear();
        for (const auto& item : value.collection) {
            TsStoredSkin& skin = internalSkins_.Add();
            for (const TPropItem& p : item) {
                if (SameText(p.name, "Name")) skin.Name = p.value.AsString();
                else if (SameText(p.name, "Data")) skin.Data.WriteString(p.value.AsBinary());
                else UnknownProperty("InternalSkins." + p.name);
            }
            skin.Data.SetPosition(0);
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

void TsSkinManager::LoadSkinTables(const TMemIniFile& ini, TsSkinImages& images, const std::string& skinPath)
{
    SkinData.SkinPath = skinPath;
    LoadAllMasks(ini, images);
    LoadAllPatterns(ini, images);
    LoadAllGeneralData(ini, commonSections_, ToRGB);
    if (SkinData.Version > SupportedSkinVersion)
        ShowMessage("This version of the skin have not complete support by used Velocon package release.\r\n"
                    "Components must be updated up to latest version for using this skin.");
    UpdateCommonIndexes();
}

bool TsSkinManager::LoadSkinFromFolder(const std::string& folder)
{
    const std::string path = IncludeTrailingSlash(folder);
    if (!FileExists(path + "Options.dat")) return false;
    TStringList lines;
    lines.LoadFromFile(path + "Options.dat");
    const TMemIniFile ini(lines);
    TsFolderImages images(path);
    LoadSkinTables(ini, images, path);
    return true;
}

void TsSkinManager::LoadSkinFromContainer(const TvxSkinConvertor& convertor, const std::string& skinPath)
{
    TStringList lines;
    if (convertor.Options) lines.SetText(convertor.Options->DataString());
    const TMemIniFile ini(lines);
    TsContainerImages images(convertor);
    LoadSkinTables(ini, images, skinPath);
}

void TsSkinManager::LoadSkinFromData(TStream& data)
{
    TvxSkinConvertor convertor;
    convertor.LendPackedData(&data);
    convertor.Extract();
    LoadSkinFromContainer(convertor, "");
}

void TsSkinManager::UnloadSkinTables()
{
    ClearSkinTables();
    UpdateCommonIndexes();
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
