#include "gui/Picture.h"

#include "gui/base/Exceptions.h"
#include "gui/base/SysUtils.h"

namespace {
std::unique_ptr<TBitmap> NewBitmap() { return std::make_unique<TBitmap>(); }

std::string NormalExtension(const std::string& extension)
{
    std::string e = extension.size() > 0 && extension[0] == '.' ? extension.substr(1) : extension;
    return LowerCase(e);
}

std::vector<TPicture::TFileFormat>& Formats()
{
    static std::vector<TPicture::TFileFormat> formats{{"bmp", "Bitmaps", NewBitmap}};
    return formats;
}
} // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description, TGraphicFactory factory)
{
    std::string e = NormalExtension(extension);
    for (auto& f : Formats()) {
        if (f.Extension == e) {
            f = TFileFormat{e, description, factory};
            return;
        }
    }
    Formats().push_back(TFileFormat{e, description, factory});
}

void TPicture::UnregisterGraphicClass(TGraphicFactory factory)
{
    auto& formats = Formats();
    std::erase_if(formats, [&](const TFileFormat& f) { return f.Factory == factory && f.Extension != "bmp"; });
}

const TPicture::TFileFormat* TPicture::FindFileFormat(const std::string& extension)
{
    std::string e = NormalExtension(extension);
    for (const auto& f : Formats())
        if (f.Extension == e) return &f;
    return nullptr;
}

std::vector<TPicture::TFileFormat> TPicture::FileFormats() { return Formats(); }

void TPicture::LoadFromFile(const std::string& fileName)
{
    std::string extension = ExtractFileExt(fileName);
    const TFileFormat* format = FindFileFormat(extension);
    if (!format) throw EInvalidGraphic("Unbekannte Bilddateierweiterung (" + extension + ")");
    std::unique_ptr<TBitmap> graphic = format->Factory();
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::SetGraphic(std::unique_ptr<TBitmap> graphic)
{
    graphic_ = std::move(graphic);
    if (OnChange) OnChange();
}
