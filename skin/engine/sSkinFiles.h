// Where the skin manager's loaders find a skin's images (TsImageSource of sSkinTables.h): the
// files of a skin folder, or the entries of a packed container. Both decode the same way:
// ".BMP" pictures as bitmaps of 1, 4, 8, 16, 24 or 32 bits (made 24-bit when asked), ".PNG"
// pictures, and any picture whose bytes start with the PNG signature, with the PNG decoder into
// 32-bit bitmaps prepared for alpha drawing (LoadPNGForAlpha, vxPNG.h; a PNG master bitmap is
// then made 24-bit), JPEG patterns with libjpeg into 24-bit bitmaps.
//
// Names are the values as the skin text writes them:
//   folder:    a name without ":" is taken behind the skin folder (SkinPath ends in "\"),
//              a name with ":" as it stands; a missing file gives no image
//   container: the entry whose upper-cased name equals the name as written, so
//              "BUTTONHUGE.BMP" finds "ButtonHuge.bmp" and "ButtonHuge.BMP" finds nothing;
//              JPEG names are upper-cased too before they are compared
// A missing or damaged picture gives no image (width 0); a missing master bitmap an empty one.
// So does a picture that would pass the pictures' cap of one skin (sSkinLimits.h): each
// source counts the pixels it has decoded, and a picture whose header names more than are
// left is refused before it is decoded.
#pragma once

#include <cstdint>
#include <string>

#include "gui/base/StreamBase.h"
#include "skin/engine/sSkinLimits.h"
#include "skin/engine/sSkinTables.h"

class TvxSkinConvertor;

// Decoding shared by both kinds of source.
class TsSkinFileImages : public TsImageSource {
public:
    TsLoadedImage LoadMasterBitmap(const std::string& name) override;
    TsLoadedImage LoadBmp(const std::string& name, bool make24) override;
    TsLoadedImage LoadPng(const std::string& name) override;
    TsLoadedImage LoadJpeg(const std::string& name) override;

protected:
    // The bytes of the named picture; false when there is none. upperCase: compare the
    // upper-cased name (JPEG patterns).
    virtual bool ReadBytes(const std::string& name, bool upperCase, TMemoryStream& bytes) = 0;

private:
    // Whether that many pixels still fit the cap; Keep counts a decoded picture's pixels.
    bool Fits(uint64_t pixels) const;
    TsLoadedImage Keep(TsLoadedImage image);
    int64_t pictureBytesLeft_ = SkinLimits::MaxPictureBytes;
};

class TsFolderImages : public TsSkinFileImages {
public:
    explicit TsFolderImages(std::string skinPath) : skinPath_(std::move(skinPath)) {}

protected:
    bool ReadBytes(const std::string& name, bool upperCase, TMemoryStream& bytes) override;

private:
    std::string skinPath_;
};

class TsContainerImages : public TsSkinFileImages {
public:
    explicit TsContainerImages(const TvxSkinConvertor& convertor) : convertor_(convertor) {}

protected:
    bool ReadBytes(const std::string& name, bool upperCase, TMemoryStream& bytes) override;

private:
    const TvxSkinConvertor& convertor_;
};
