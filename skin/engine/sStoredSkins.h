// Skins stored with a window description (the skin manager's InternalSkins): each one a packed
// container ("Data", a raw-data value of the description) or, without one, its tables as
// collections: GeneralData (one item per section), Images (one per image), Patterns (one per
// JPEG texture) and MasterBitmap.
//
//   InternalSkins = <
//     item
//       Name = 'Blau (internal)'
//       Version = 6.5
//       GeneralData = <
//         item Name = 'BUTTON' Color = 14211288 FontColor.Left = 0 ShowFocus = True end
//         item Name = 'BUTTON_BIG' ParentClass = 'BUTTON' end>
//       Images = <
//         item SectionName = 'BUTTON' PropertyName = 'BORDERSMASK' R.Left = 186 R.Top = 0
//           R.Right = 249 R.Bottom = 42 ImageCount = 3 MaskType = 1 StretchMode = 5
//           ImgType = itisaBorder WL = 7 WT = 7 WR = 7 WB = 7 end
//         item SectionName = 'EDIT' PropertyName = 'BORDERSMASK' ImageCount = 3 MaskType = 1
//           Bmp.Data = {...} end>                       (a bitmap file's bytes: its own image)
//       Patterns = < item SectionName = 'PANEL' PropertyName = 'PATTERN' Img.Data = {...} end>
//       MasterBitmap.Data = {...}
//     end>
//
// The items carry the fields of the section, mask and pattern records (sMaskData.h) as published
// properties whose setters only store the value. Loading (TsSkinManager::LoadSkinFromStoredSkin)
// copies them one record per item, by the rules a skin text's values follow:
//   sections: a field an item does not give (or gives as -1, a text as "?", or a number beyond
//     32 bits) is inherited along ParentClass like a missing key, else takes the key's default;
//     the border and corner indexes are looked up as for every skin;
//   images: SectionName, PropertyName, ImageCount and MaskType, and R for an image in the master
//     bitmap, must be given (as a value needs all its numbers); BorderWidth, StretchMode, ImgType
//     and the widths are 0 when not given; a negative number (other than -1, which means not
//     given) or one beyond 16 bits skips the item like a malformed value; an ImgType above 4
//     counts as 4; R is cut to the master bitmap; an image with a bitmap of its own (Bmp) has
//     the rectangle of that bitmap;
//   patterns: an item without a picture (Img) or without its names adds no record;
//   the master bitmap is made 24-bit; GLOBALINFO's values come from the stored skin's Version,
//     Author, Description, Shadow1Color, Shadow1Offset, Shadow1Blur, Shadow1Transparency and
//     BorderColor, all others take their defaults.
#pragma once

#include <array>
#include <map>
#include <string>

#include "gui/Collections.h"
#include "gui/Graphics.h"
#include "gui/base/StreamBase.h"
#include "skin/engine/sSkinTables.h"

// The values a stored item was given, by name. A number not given reads as -1, a text as "?"
// (as a key missing from a skin text).
class TsStoredValues {
public:
    long long Number(const std::string& name) const;
    void SetNumber(const std::string& name, long long value) { numbers_[name] = value; }
    std::string Text(const std::string& name) const;
    void SetText(const std::string& name, std::string value) { texts_[name] = std::move(value); }

private:
    std::map<std::string, long long> numbers_;
    std::map<std::string, std::string> texts_;
};

// A section's text colour and its four shadow colours (FontColor.Color, .Left, .Top, .Right,
// .Bottom), kept in the section's values.
class TsStoredFontColors : public TObject {
    GUI_CLASS(TsStoredFontColors, TObject)
    TsStoredFontColors(TsStoredValues& values, std::array<std::string, 5> keys) : Values(values), Keys(std::move(keys))
    {}
    TsStoredValues& Values;
    std::array<std::string, 5> Keys; // the skin text's keys of Color, Left, Top, Right, Bottom
};

// An image's rectangle (R.Left, .Top, .Right, .Bottom), kept in the image's values.
class TsStoredRect : public TObject {
    GUI_CLASS(TsStoredRect, TObject)
    explicit TsStoredRect(TsStoredValues& values) : Values(values) {}
    TsStoredValues& Values;
};

// One section: Name and the section keys' fields (SectionKeys of sSkinTables.h), numbers and
// Booleans as ordinals (a Boolean not given reads as -1), texts as texts.
class TsSkinGeneral : public TCollectionItem {
    GUI_CLASS(TsSkinGeneral, TCollectionItem)
    TsSkinGeneral();
    std::string Name;
    TsStoredValues Values; // by the skin text's keys ("COLOR", "TCLEFT", "GRADIENTDATA")
    TsStoredFontColors FontColor;
    TsStoredFontColors HotFontColor;
};

// One image: SectionName, PropertyName, R, ImageCount, MaskType, BorderWidth, StretchMode,
// ImgType (itisaBorder .. itisaPngGlyph), WL, WT, WR, WB and Bmp (empty: in the master bitmap).
class TsSkinImage : public TCollectionItem {
    GUI_CLASS(TsSkinImage, TCollectionItem)
    TsSkinImage();
    TsStoredValues Values; // by the property names ("R.Left", "ImageCount", "SectionName")
    TsStoredRect R;
    TBitmap Bmp;
};

// One JPEG texture: SectionName, PropertyName and Img, its decoded picture.
class TsSkinPattern : public TCollectionItem {
    GUI_CLASS(TsSkinPattern, TCollectionItem)
    TsSkinPattern();
    std::string SectionName;
    std::string PropertyName;
    TBitmap Img;
};

class TsSkinGenerals : public TItemCollection<TsSkinGeneral> {
    GUI_CLASS(TsSkinGenerals, TCollection)
};
class TsSkinImages : public TItemCollection<TsSkinImage> {
    GUI_CLASS(TsSkinImages, TCollection)
};
class TsSkinPatterns : public TItemCollection<TsSkinPattern> {
    GUI_CLASS(TsSkinPatterns, TCollection)
};

// A skin stored with the window description.
class TsStoredSkin : public TCollectionItem {
    GUI_CLASS(TsStoredSkin, TCollectionItem)
    TsStoredSkin();
    std::string Name;
    TMemoryStream Data; // a packed container; empty: the skin is stored as the collections
    TsSkinGenerals GeneralData;
    TsSkinImages Images;
    TsSkinPatterns Patterns;
    TBitmap MasterBitmap;
    TColor Shadow1Color = 0;
    int Shadow1Offset = 0;
    int Shadow1Blur = -1;
    int Shadow1Transparency = 0;
    TColor BorderColor = 0xFF00FF;
    double Version = 0;
    std::string Author;
    std::string Description;
    // Copies Data by content, the name, the three collections (the collection copy), the
    // master bitmap and the values.
    void Assign(const TsStoredSkin& source);
    // One property of a description's item: Data (raw bytes, which may follow their own 32-bit
    // length), Version (a number) or any published one; EComponentError for others.
    void SetProperty(const std::string& name, const TPropValue& value);
};

// The manager's stored skins. Assigning a whole collection to them changes nothing.
class TsStoredSkins : public TItemCollection<TsStoredSkin> {
    GUI_CLASS(TsStoredSkins, TCollection)
    void Assign(const TCollection&) override {}
};

// Fills the tables from a skin stored as collections (see above); common: the manager's
// CommonSections, merged over the sections; toRGB resolves COLOR, HGCOL and GCOL.
void LoadStoredSkin(TsSkinTables& tables, const TsStoredSkin& skin, const TStrings& common, TsColorToRGB toRGB);
