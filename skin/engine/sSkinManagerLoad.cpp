// TsSkinManager: loading a skin by its name (packed file, folder, internal skins), the reloads
// after a change of colours or borders, and the extended-border shadows.
#include <windows.h>

#include <algorithm>

#include "gui/Dialogs.h"
#include "gui/base/MemIniFile.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sSkinFiles.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sSkinRecolor.h"
#include "skin/engine/sUtils.h"
#include "skin/engine/vxPNG.h"
#include "skin/engine/vxSkinConvertor.h"

namespace {

TColor ToRGB(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

// The newest skin format the engine supports fully.
constexpr double SupportedSkinVersion = 6.99;

// Clears the loading flag (and restores the package's changing flag) however the load ends.
class TLoadingFlag {
public:
    TLoadingFlag() : changing_(SkinChanging)
    {
        SkinManagerFlags().Loading = true;
        SkinChanging = true;
    }
    ~TLoadingFlag()
    {
        SkinManagerFlags().Loading = false;
        SkinChanging = changing_;
    }
    TLoadingFlag(const TLoadingFlag&) = delete;
    TLoadingFlag& operator=(const TLoadingFlag&) = delete;

private:
    bool changing_;
};

// A frame of a 24- or 32-bit picture as a new 32-bit bitmap (alpha 255 from 24 bits).
std::unique_ptr<TBitmap> CopyFrame(const TBitmap& source, const TRect& r)
{
    auto frame = std::make_unique<TPNGGraphic>();
    frame->SetPixelFormat(pf32bit);
    const int w = std::max(0, r.Right - r.Left), h = std::max(0, r.Bottom - r.Top);
    frame->SetSize(w, h);
    const int bytes = source.PixelFormat() == pf32bit ? 4 : 3;
    for (int y = 0; y < h; ++y) {
        auto* out = static_cast<uint8_t*>(frame->ScanLine(y));
        const bool rowInside = r.Top + y >= 0 && r.Top + y < source.Height();
        const auto* in = rowInside ? static_cast<const uint8_t*>(source.ScanLine(r.Top + y)) : nullptr;
        for (int x = 0; x < w; ++x, out += 4) {
            const int sx = r.Left + x;
            if (!in || sx < 0 || sx >= source.Width()) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            const uint8_t* p = in + static_cast<size_t>(sx) * bytes;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
            out[3] = bytes == 4 ? p[3] : 255;
        }
    }
    return frame;
}

std::unique_ptr<TBitmap> CopyOf(const TBitmap& source)
{
    return CopyFrame(source, TRect{0, 0, source.Width(), source.Height()});
}

} // namespace

std::string TsSkinManager::PackedSkinFile(const std::string& name) const
{
    const std::string folder = GetFullSkinDirectory();
    return (folder.empty() ? folder : IncludeTrailingSlash(folder)) + name + ".vtz";
}

void TsSkinManager::SetSkinName(const std::string& name)
{
    const std::string previous = skinName_;
    skinName_ = name;
    if (!active_) return;
    if (OnBeforeChange) OnBeforeChange(this);
    {
        TLoadingFlag loading;
        try {
            LoadCurrentSkin();
        } catch (...) {
            skinName_ = previous; // the skin loaded before stays, under its name
            throw;
        }
        SkinData.SkinLoaded = false;
        if (!active_) SendRemoveSkin();
        else SendNewSkin(true);
    }
    if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::LoadCurrentSkin()
{
    const bool packed = FileExists(PackedSkinFile(skinName_));
    if (packed) LoadPackedSkin();
    else LoadFolderOrInternalSkin();
}

void TsSkinManager::LoadPackedSkin()
{
    if (!active_) return;
    std::unique_ptr<TvxSkinConvertor> convertor;
    LoadSkinFile(PackedSkinFile(skinName_), convertor, true);
    if (!convertor) throw EvxNotPacked();
    LoadSkinFromContainer(*convertor, IncludeTrailingSlash(GetFullSkinDirectory()));
    packed_ = true;
}

void TsSkinManager::LoadFolderOrInternalSkin()
{
    if (!active_) return;
    const std::string folder = IncludeTrailingSlash(GetFullSkinDirectory()) + skinName_ + "\\";
    if (!skinName_.empty() && FileExists(folder + "Options.dat")) {
        LoadSkinFromFolder(folder);
        packed_ = false;
        return;
    }
    int found = -1;
    for (int i = 0; i < internalSkins_.Count() && found < 0; ++i)
        if (internalSkins_.Items(i).Name == skinName_) found = i;
    if (found < 0) {
        if (internalSkins_.Count() == 0) {
            active_ = false;
            return;
        }
        found = 0;
    }
    TsStoredSkin& skin = internalSkins_.Items(found);
    if (skin.Data.Size() > 0) {
        skin.Data.SetPosition(0);
        LoadSkinFromData(skin.Data);
        packed_ = true;
    } else {
        LoadSkinFromStoredSkin(skin);
        packed_ = false;
    }
    skinName_ = skin.Name;
}

void TsSkinManager::ReloadForChange()
{
    if (!SkinData.SkinLoaded) return;
    {
        TLoadingFlag loading;
        LoadCurrentSkin();
    }
    if (!Reading()) RepaintForms();
}

void TsSkinManager::SetHueOffset(int offset)
{
    if (offset == hueOffset_) return;
    hueOffset_ = offset;
    ReloadForChange();
}

void TsSkinManager::SetSaturation(int amount)
{
    if (amount == saturation_) return;
    saturation_ = amount;
    ReloadForChange();
}

void TsSkinManager::SetExtendedBorders(bool on)
{
    if (on == extendedBorders_) return;
    extendedBorders_ = on;
    if (!SkinData.SkinLoaded) return;
    PrepareShadows();
    ReloadForChange();
}

void TsSkinManager::LoadSkinTables(const TMemIniFile& ini, TsImageSource& images, const std::string& skinPath)
{
    // Everything goes into fresh tables first: a load that fails leaves the current skin.
    TsSkinTables fresh;
    fresh.Manager = this;
    fresh.LoadAllMasks(ini, images);
    fresh.LoadAllPatterns(ini, images);
    fresh.LoadAllGeneralData(ini, commonSections_, ToRGB);
    CompleteLoad(fresh, skinPath);
}

void TsSkinManager::LoadSkinFromStoredSkin(const TsStoredSkin& skin)
{
    TsSkinTables fresh;
    fresh.Manager = this;
    LoadStoredSkin(fresh, skin, commonSections_, ToRGB);
    CompleteLoad(fresh, "");
}

void TsSkinManager::CompleteLoad(TsSkinTables& fresh, const std::string& skinPath)
{
    if (fresh.SkinData.Version > SupportedSkinVersion)
        ShowMessage("This version of the skin have not complete support by used Velocon package release.\r\n"
                    "Components must be updated up to latest version for using this skin.");
    ChangeSkinHue(fresh, hueOffset_);
    ChangeSkinSaturation(fresh, saturation_);
    fresh.SkinData.SkinPath = skinPath;
    fresh.SkinData.SkinLoaded = SkinData.SkinLoaded;
    static_cast<TsSkinTables&>(*this) = std::move(fresh);
    UpdateCommonIndexes();
    PrepareShadows();
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

void TsSkinManager::PrepareShadows()
{
    if (!active_ || !ExtendedBorders()) return;
    shadowActive_.reset();
    shadowInactive_.reset();
    shadowMargins_ = {0, 0, 0, 0};
    if (IsValidImgIndex(CommonIndexes.ExBorder)) {
        const TsMaskData& m = MaskData[static_cast<size_t>(CommonIndexes.ExBorder)];
        const int offset = SkinData.FormOffset;
        if (SkinData.BorderMode != 0) shadowMargins_ = {offset, offset, offset, offset};
        else shadowMargins_ = {m.WL - offset, m.WT - offset, m.WR - offset, m.WB - offset};
        const TBitmap* source = m.Bmp ? m.Bmp.get() : MasterBitmap.get();
        if (source && !source->Empty()) {
            const int w = MaskFrameWidth(m), h = MaskFrameHeight(m);
            shadowActive_ = CopyFrame(*source, TRect{m.R.Left, m.R.Top, m.R.Left + w, m.R.Top + h});
            if (m.ImageCount != 1)
                shadowInactive_ = CopyFrame(*source, TRect{m.R.Left + w, m.R.Top, m.R.Left + 2 * w, m.R.Top + h});
        }
    } else if (BuiltInShadow(true) && BuiltInShadow(false)) {
        const int wider = HookDwmCompositionEnabled() ? 1 : 0;
        shadowMargins_ = {11 + wider, 7 + wider, 11 + wider, 11 + wider};
        shadowActive_ = CopyOf(*BuiltInShadow(true));
        shadowInactive_ = CopyOf(*BuiltInShadow(false));
    }
    if (shadowActive_) PrepareForAlpha(*shadowActive_);
    if (shadowInactive_) PrepareForAlpha(*shadowInactive_);
}
