// Pictures of any registered graphic format. A graphic format is a TBitmap class that decodes
// its files in LoadFromStream (and may draw itself in Draw); it is registered once, at its
// module's start, under a file extension with a description, and unregistered at its end.
// "bmp" (TBitmap itself) is always known. A picture holds one graphic and loads a file with
// the class registered for the file's extension (case ignored).
//
//   TPicture::RegisterFileFormat("png", "Portable network graphics", [] { return std::unique_ptr<TBitmap>(new TPNGGraphic); });
//   TPicture picture;
//   picture.LoadFromFile("Glyph.PNG");      // a TPNGGraphic
//   canvas.Draw(0, 0, *picture.Graphic());  // drawn by the format's Draw
//   TPicture::UnregisterGraphicClass(factory);
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Graphics.h"

class TPicture : public TObject {
    GUI_CLASS(TPicture, TObject)
    // Makes a new, empty graphic of one format (the graphic class's virtual constructor).
    using TGraphicFactory = std::unique_ptr<TBitmap> (*)();

    struct TFileFormat {
        std::string Extension; // without the dot, lower case
        std::string Description;
        TGraphicFactory Factory;
    };

    // Registers a format for an extension ("png" or ".png"); a later registration of the same
    // extension replaces the earlier one.
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicFactory factory);
    // Removes every extension registered with this factory.
    static void UnregisterGraphicClass(TGraphicFactory factory);
    // The format registered for an extension (with or without the dot), or none.
    static const TFileFormat* FindFileFormat(const std::string& extension);
    // Every registered format, "bmp" first.
    static std::vector<TFileFormat> FileFormats();

    // Loads the file into a new graphic of the class registered for its extension; an unknown
    // extension raises EInvalidGraphic ("Unbekannte Bilddateierweiterung (.xyz)"). The old
    // graphic stays when loading fails.
    void LoadFromFile(const std::string& fileName);
    // The graphic, or none while the picture is empty.
    TBitmap* Graphic() const { return graphic_.get(); }
    // Takes ownership of a graphic (nullptr empties the picture).
    void SetGraphic(std::unique_ptr<TBitmap> graphic);
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    std::function<void()> OnChange;

private:
    std::unique_ptr<TBitmap> graphic_;
};
