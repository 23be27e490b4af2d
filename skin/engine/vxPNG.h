// PNG images as bitmaps of the class library. TPNGGraphic is a TBitmap that decodes PNG data
// (vxPNGDecoder.h says which bitmap each PNG becomes and which errors it raises): palette
// images stay 1-, 4- or 8-bit bitmaps with a palette, RGB images are 24-bit and RGBA images
// 32-bit with their alpha channel. A 32-bit image draws itself with per-pixel alpha over what
// the canvas shows, optionally with a reflection below it.
//
// At start (PNGStart) the class is registered with the picture class under "png", so that any
// picture loads ".png" files; PNGEnd unregisters it and frees the CRC table.
//
//   TPNGGraphic png;
//   png.LoadFromFile("Glyph.png");             // or LoadFromStream, LoadFromResourceName
//   png.SetReflected(true);
//   canvas.Draw(10, 10, png);                  // alpha over the canvas, mirror image below
//
// The skin data take their own PNG images through LoadPNGForAlpha: a 32-bit bitmap whose
// transparent white is made transparent black (ClearTransparentWhite), images without alpha
// made opaque.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/Graphics.h"
#include "skin/engine/vxColorManager.h"
#include "skin/engine/vxPNGDecoder.h"

class TPNGGraphic : public TBitmap {
    GUI_CLASS(TPNGGraphic, TBitmap)
    TPNGGraphic();
    ~TPNGGraphic() override;

    // Takes the image properties of another TPNGGraphic, then the bitmap; Reflected stays.
    void Assign(const TBitmap& source) override;
    // Not 32 bits: drawn as a plain bitmap. 32 bits: the canvas area (one and a half times the
    // height with Reflected) is copied into a 24-bit work bitmap, the image drawn over it with
    // its alpha (DrawAlphaBitmap, sAlphaBitmap.h), and the result copied back. At another size
    // the image and its alpha channel are stretched apart (HALFTONE) and drawn without a
    // reflection.
    void Draw(TCanvas& canvas, const RECT& rect) const override;
    // Decodes one image at the stream's position; the previous image is released first. The
    // stream stands after the IEND chunk.
    void LoadFromStream(TStream& stream) override;
    // A raw-data resource (resource type 10) of a module.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);

    TColorManager& ColorManager() { return *colorManager_; }
    const TPNGImageProperties& ImageProperties() const { return properties_; }
    bool Reflected() const { return reflected_; }
    void SetReflected(bool on) { reflected_ = on; }

private:
    class TTarget;
    std::unique_ptr<TColorManager> colorManager_;
    TPNGImageProperties properties_;
    bool reflected_ = false;
};

// Sets every pixel of white with alpha 0 (FF FF FF 00) to 0 (transparent black). Only for
// 32-bit bitmaps of at least 2 x 2 pixels; others stay as they are.
void ClearTransparentWhite(TBitmap* bitmap);

// Makes a bitmap ready for alpha drawing: 32 bits (an image without alpha becomes opaque), then
// ClearTransparentWhite.
void PrepareForAlpha(TBitmap& bitmap);
// Decodes the PNG image at the stream's position and prepares it for alpha drawing. Raises the
// decoder's errors.
std::unique_ptr<TPNGGraphic> LoadPNGForAlpha(TStream& stream);

// The module's start and end steps.
void PNGStart();
void PNGEnd();
