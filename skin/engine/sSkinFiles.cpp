#include "skin/engine/sSkinFiles.h"

#include <cstring>

#include "gui/Graphics.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/vxJpeg.h"
#include "skin/engine/vxSkinConvertor.h"

namespace {

TsLoadedImage Loaded(std::shared_ptr<TBitmap> bmp)
{
    const int w = bmp->Width(), h = bmp->Height();
    return TsLoadedImage{std::move(bmp), w, h};
}

} // namespace

TsLoadedImage TsSkinFileImages::LoadBmp(const std::string& name, bool make24)
{
    TMemoryStream bytes;
    if (!ReadBytes(name, false, bytes)) return {};
    auto bmp = std::make_shared<TBitmap>();
    try {
        bmp->LoadFromStream(bytes);
    } catch (const EInvalidGraphic&) {
        return {};
    }
    if (bmp->Empty()) return {};
    if (make24) bmp->SetPixelFormat(pf24bit);
    return Loaded(std::move(bmp));
}

TsLoadedImage TsSkinFileImages::LoadMasterBitmap(const std::string& name)
{
    TsLoadedImage master = name.empty() ? TsLoadedImage{} : LoadBmp(name, true);
    if (!master.Bmp) master.Bmp = std::make_shared<TBitmap>(); // missing: silently empty
    return master;
}

TsLoadedImage TsSkinFileImages::LoadPng(const std::string&) { return {}; }

TsLoadedImage TsSkinFileImages::LoadJpeg(const std::string& name)
{
    TMemoryStream bytes;
    if (!ReadBytes(name, true, bytes)) return {};
    TvxJpegPicture picture;
    if (!DecodeJpeg(bytes.Memory(), static_cast<size_t>(bytes.Size()), picture)) return {};
    auto bmp = std::make_shared<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(picture.Width, picture.Height);
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(bmp->ScanLine(y), picture.Pixels.data() + picture.Stride * static_cast<size_t>(y),
                    static_cast<size_t>(picture.Width) * 3);
    return Loaded(std::move(bmp));
}

bool TsFolderImages::ReadBytes(const std::string& name, bool, TMemoryStream& bytes)
{
    const std::string file = name.find(':') == std::string::npos ? skinPath_ + name : name;
    if (name.empty() || !FileExists(file)) return false;
    try {
        bytes.LoadFromFile(file);
    } catch (const EStreamError&) {
        return false;
    }
    return true;
}

bool TsContainerImages::ReadBytes(const std::string& name, bool upperCase, TMemoryStream& bytes)
{
    const std::string wanted = upperCase ? UpperCase(name) : name;
    for (const TvxImageItem& item : convertor_.Files) {
        if (UpperCase(item.FileName) != wanted || !item.Data) continue;
        item.Data->SetPosition(0);
        bytes.LoadFromStream(*item.Data);
        return true;
    }
    return false;
}
