#include "skin/engine/sSkinFiles.h"

#include <cstdint>
#include <cstring>

#include "gui/Graphics.h"
#include "gui/base/SysUtils.h"
#include "gui/base/Exceptions.h"
#include "gui/base/Streams.h"
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

// The pixels a picture's header names before anything is decoded: a PNG's IHDR (width and
// height big-endian at 16 and 20), a bitmap's info header (little-endian at 18 and 22, the
// height negative for rows stored top-down); 0 for bytes that are neither, which the decoders
// refuse anyway.
uint64_t NamedPixels(const TMemoryStream& bytes)
{
    const auto* p = static_cast<const uint8_t*>(bytes.Memory());
    auto be = [p](int at) {
        return static_cast<uint64_t>(p[at]) << 24 | static_cast<uint64_t>(p[at + 1]) << 16 |
               static_cast<uint64_t>(p[at + 2]) << 8 | p[at + 3];
    };
    auto le = [p](int at) {
        return static_cast<int32_t>(static_cast<uint32_t>(p[at]) | static_cast<uint32_t>(p[at + 1]) << 8 |
                                    static_cast<uint32_t>(p[at + 2]) << 16 | static_cast<uint32_t>(p[at + 3]) << 24);
    };
    auto side = [](int32_t v) { return static_cast<uint64_t>(v < 0 ? -static_cast<int64_t>(v) : v); };
    if (HoldsPng(bytes) && bytes.Size() >= 24 && std::memcmp(p + 12, "IHDR", 4) == 0) return be(16) * be(20);
    if (bytes.Size() >= 26 && p[0] == 'B' && p[1] == 'M') return side(le(18)) * side(le(22));
    return 0;
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

bool TsSkinFileImages::Fits(uint64_t pixels) const
{
    return pixels <= static_cast<uint64_t>(pictureBytesLeft_ / SkinLimits::PictureBytesPerPixel);
}

TsLoadedImage TsSkinFileImages::Keep(TsLoadedImage image)
{
    const int64_t bytes = static_cast<int64_t>(image.Width) * image.Height * SkinLimits::PictureBytesPerPixel;
    pictureBytesLeft_ = bytes < pictureBytesLeft_ ? pictureBytesLeft_ - bytes : 0;
    return image;
}

TsLoadedImage TsSkinFileImages::LoadBmp(const std::string& name, bool make24)
{
    TMemoryStream bytes;
    if (!ReadBytes(name, false, bytes) || !Fits(NamedPixels(bytes))) return {};
    if (HoldsPng(bytes)) return Keep(DecodePng(bytes));
    auto bmp = std::make_shared<TBitmap>();
    try {
        bmp->LoadFromStream(bytes);
    } catch (const Exception&) { // damaged or cut short
        return {};
    }
    if (bmp->Empty()) return {};
    if (make24) bmp->SetPixelFormat(pf24bit);
    return Keep(Loaded(std::move(bmp)));
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
    if (!ReadBytes(name, false, bytes) || !Fits(NamedPixels(bytes))) return {};
    return Keep(DecodePng(bytes));
}

TsLoadedImage TsSkinFileImages::LoadJpeg(const std::string& name)
{
    TMemoryStream bytes;
    if (!ReadBytes(name, true, bytes)) return {};
    TvxJpegPicture picture;
    if (!DecodeJpeg(bytes.Memory(), static_cast<size_t>(bytes.Size()), picture) ||
        !Fits(static_cast<uint64_t>(picture.Width) * static_cast<uint64_t>(picture.Height)))
        return {};
    auto bmp = std::make_shared<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(picture.Width, picture.Height);
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(bmp->ScanLine(y), picture.Pixels.data() + picture.Stride * static_cast<size_t>(y),
                    static_cast<size_t>(picture.Width) * 3);
    return Keep(Loaded(std::move(bmp)));
}

bool TsFolderImages::ReadBytes(const std::string& name, bool, TMemoryStream& bytes)
{
    const std::string file = name.find(':') == std::string::npos ? skinPath_ + name : name;
    if (name.empty() || !FileExists(file)) return false;
    try {
        TFileStream f(file, fmOpenRead | fmShareDenyWrite);
        if (f.Size() > SkinLimits::MaxEntryBytes) return false; // as a container's entry would be
        bytes.LoadFromStream(f);
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
