#include "skin/engine/sSkinFiles.h"

#include <cstring>

#include "gui/Graphics.h"
#include "gui/base/SysUtils.h"
#include "gui/base/Exceptions.h"
#include "skin/engine/vxJpeg.h"
#include "skin/engine/vxPNG.h"
#include "skin/engine/vxSkinConvertor.h"

namespace {

TsLoadedImage Loaded(std::shared_ptr<TBitmap> bmp)
{
    const int w = bmp->Width(), h = bmp->Height();
    return TsLoadedImage{std::move(bmp), w, h};
}

} // namespace

namespace {

bool HoldsPng(const TMemoryStream& bytes)
{
    static const char signature[] = "\x89PNG\r\n\x1A\n";
    return bytes.Size() >= 8 && std::memcmp(bytes.Memory(), signature, 8) == 0;
}

// A PNG picture through the PNG decoder, prepared for alpha drawing (32 bits).
TsLoadedImage DecodePng(TMemoryStream& bytes)
{
    std::shared_ptr<TBitmap> png;
    try {
        png = LoadPNGForAlpha(bytes);
    } catch (const Exception&) {
        return {};
    }
    if (png->Empty()) return {};
    return Loaded(std::move(png));
}

} // namespace

TsLoadedImage TsSkinFileImages::LoadBmp(const std::string& name, bool make24)
{
    TMemoryStream bytes;
    if (!ReadBytes(name, false, bytes)) return {};
    if (HoldsPng(bytes)) return DecodePng(bytes);
    auto bmp = std::make_shared<TBitmap>();
    try {
        bmp->LoadFromStream(bytes);
    } catch (const Exception&) { // damaged or cut short
        return {};
    }
    if (bmp->Empty()) return {};
    if (make24) bmp->SetPixelFormat(pf24bit);
    return Loaded(std::move(bmp));
}

TsLoadedImage TsSkinFileImages::LoadMasterBitmap(const std::string& name)
{
    TsLoadedImage master = name.empty() ? TsLoadedImage{} : LoadBmp(name, true);
    if (!master.Bmp) master.Bmp = std::make_shared<TBitmap>();                          // missing: silently empty
    else if (master.Bmp->PixelFormat() != pf24bit) master.Bmp->SetPixelFormat(pf24bit); // a PNG
    return master;
}

TsLoadedImage TsSkinFileImages::LoadPng(const std::string& name)
{
    TMemoryStream bytes;
    if (!ReadBytes(name, false, bytes)) return {};
    return DecodePng(bytes);
}

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
