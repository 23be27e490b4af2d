// The three tables of a loaded skin (sections, masks, patterns), the master bitmap, the skin
// data of GLOBALINFO and the fixed indexes, with the lookups the skin engine paints by and the
// loaders that fill them from a skin text. TsSkinManager (sSkinManager.h) is built on this
// class; the loaders get their images through a TsImageSource (a skin folder or a packed
// container, sSkinFiles.h), so that everything here is platform-free.
//
// Loading, in this order (what TsSkinManager::LoadSkinTables does):
//   LoadAllMasks(ini, images);        master bitmap, then every image value (sSkinValues.h)
//   LoadAllPatterns(ini, images);     every value naming a ".JPG"/".JPEG" file
//   LoadAllGeneralData(ini, common, toRGB);   GLOBALINFO into SkinData, one record per
//                                     section, CommonSections merged, border and corner indexes
//   UpdateCommonIndexes();            the fixed indexes
// A skin stored as collections (sStoredSkins.h) has no skin text: its images and patterns are
// copied record by record, and its sections are read by LoadSections from the section items
// (a TsSectionSource) by the same rules as the sections of a text.
// Sections and keys are taken in the order of the text. A value whose number is malformed is
// skipped (images) or takes its default (section keys, GLOBALINFO keys, gradients), so one bad
// number never stops a skin.
//
// Inheritance of section keys: a key missing from a section (or written as -1, or "?" for
// texts, or not a number) is read from the section its PARENTCLASS names, recursively; a
// section naming itself, a missing section, a chain that comes back to a section it has
// passed, and a chain longer than MaxParentChain sections end the search, and the key takes
// its default. Lookups follow ParentClass the same way.
//
// Lookups compare names exactly (case-sensitive) on the stored names; "not found" is -1:
//   GetSkinIndex("BUTTON")                      section index, first of that name
//   GetMaskIndex(i, "BUTTON_BIG", "BORDERSMASK")  the section's image, else its parent's (by
//                                               ParentClass, recursively, cycles ended)
//   GetMaskIndexByName("BUTTON", "BORDERSMASK") that section's image only
//   GetTextureIndex / GetPatternIndex           as GetMaskIndex over textures / JPEG patterns
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "skin/engine/sMaskData.h"
#include "skin/engine/sSkinData.h"

class TMemIniFile;
class TStrings;

// An image as a source gave it: Width 0 when there was none (missing file or entry, damaged or
// empty picture).
struct TsLoadedImage {
    std::shared_ptr<TBitmap> Bmp;
    int Width = 0;
    int Height = 0;
};

// Where a skin's images come from. Names are the values as the skin text writes them.
class TsImageSource {
public:
    virtual ~TsImageSource() = default;
    // The master bitmap, made 24-bit: a bitmap that may be empty (width 0) when missing.
    virtual TsLoadedImage LoadMasterBitmap(const std::string& name) = 0;
    // An own ".BMP" image, made 24-bit when asked (not for textures).
    virtual TsLoadedImage LoadBmp(const std::string& name, bool make24) = 0;
    // An own ".PNG" image, 32-bit with alpha.
    virtual TsLoadedImage LoadPng(const std::string& name) = 0;
    // A JPEG pattern, decoded to 24 bits.
    virtual TsLoadedImage LoadJpeg(const std::string& name) = 0;
};

// The sections a section loader reads: those of a skin text, or the section items of a skin
// stored as collections. Names compare without regard to case here (as in a skin text).
class TsSectionSource {
public:
    virtual ~TsSectionSource() = default;
    virtual int Count() const = 0;
    // The section's name as written; 0 <= section < Count.
    virtual std::string Name(int section) const = 0;
    // The first section of that name, without regard to case; -1 when none.
    virtual int Find(const std::string& name) const = 0;
    // A key's number: -1 when the section does not give the key or it is no 32-bit number.
    virtual int Integer(int section, const char* key) const = 0;
    // A key's text: "?" when the section does not give the key.
    virtual std::string Text(int section, const char* key) const = 0;
};

// A key of the section records (the skin text's key, "COLOR") with the name of the record field
// it fills as a property of a stored section ("Color", "FontColor.Left"), in reading order.
struct TsSectionKey {
    const char* Key;
    const char* Property;
    enum TKind { Number, Boolean, Text } Kind; // Boolean keys are the texts "TRUE" and "FALSE"
};
std::vector<TsSectionKey> SectionKeys();

// Resolves system colours to RGB (the class library's ColorToRGB); identity when none.
using TsColorToRGB = TColor (*)(TColor);

// The fixed indexes, recomputed by UpdateCommonIndexes after every load and unload; -1 when
// missing (all -1 without a skin).
struct TsCommonIndexes {
    // Index into Tabs, ScrollButtons, ScrollSliders and ScrollBars.
    enum { Top = 0, Bottom = 1, Left = 2, Right = 3 };
    enum { SliderV = 0, SliderH = 1 };
    enum { Bar1H = 0, Bar1V = 1, Bar2H = 2, Bar2V = 3 };
    static const std::array<const char*, 4> TabSections;          // "TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"
    static const std::array<const char*, 4> ScrollButtonSections; // "SCROLLBTNTOP", ...BOTTOM, ...LEFT, ...RIGHT
    static const std::array<const char*, 2> ScrollSliderSections; // "SCROLLSLIDERV", "SCROLLSLIDERH"
    static const std::array<const char*, 4>
        ScrollBarSections; // "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"

    struct TPart {
        int SkinIndex = -1;       // the section
        int BorderIndex = -1;     // its "BORDERSMASK"
        int GlyphIndex = -1;      // its "GLYPHMASK" (scroll buttons and sliders)
        int PatternIndex = -1;    // its "PATTERN" (scroll parts)
        int HotPatternIndex = -1; // its "HOTPATTERN" (scroll parts)
    };

    // GLOBALINFO: its section and images (all -1 without the section).
    int GlobalInfo = -1;
    int ExBorder = -1;
    int BoxChecked = -1, BoxUnchecked = -1, BoxGrayed = -1;
    int RadioChecked = -1, RadioUnchecked = -1, RadioGrayed = -1;
    int SmallChecked = -1, SmallUnchecked = -1, SmallGrayed = -1;
    std::array<TPart, 4> Tabs;          // SkinIndex and BorderIndex
    std::array<TPart, 4> ScrollButtons; // all five
    std::array<TPart, 2> ScrollSliders; // all five
    std::array<TPart, 4> ScrollBars;    // SkinIndex, BorderIndex, PatternIndex, HotPatternIndex
    // "COMBOBTN": its section, its "BORDERSMASK" (not inherited), its textures "PATTERN" and
    // "HOTPATTERN"; the "GLYPHMASK" of "COMBOBOX" (not inherited).
    int ComboBtn = -1, ComboBtnBorder = -1, ComboBtnPattern = -1, ComboBtnHotPattern = -1, ComboGlyph = -1;
};

class TsSkinTables {
public:
    // The most sections a PARENTCLASS chain is followed through (the section itself counted).
    static constexpr int MaxParentChain = 32;

    std::vector<TsGeneralData> GeneralData; // one record per section
    std::vector<TsMaskData> MaskData;       // one record per image
    std::vector<TsPatternData> PatternData; // one record per JPEG pattern
    std::shared_ptr<TBitmap> MasterBitmap;  // 24 bits; empty when the skin names none or it is missing
    TsSkinData SkinData;
    TsCommonIndexes CommonIndexes;
    TsSkinManager* Manager = nullptr; // put into every mask record

    // Loaders (see above). ini is the skin text; common the CommonSections lines (blanks
    // already removed); toRGB resolves COLOR, HGCOL and GCOL.
    void LoadAllMasks(const TMemIniFile& ini, TsImageSource& images);
    void LoadAllPatterns(const TMemIniFile& ini, TsImageSource& images);
    void LoadAllGeneralData(const TMemIniFile& ini, const TStrings& common, TsColorToRGB toRGB);
    // The section records alone (GLOBALINFO's values stay as they are): one record per section
    // of the source, keys inherited along PARENTCLASS, CommonSections merged, border and
    // corner indexes (the image table must be loaded first).
    void LoadSections(const TsSectionSource& source, const TStrings& common, TsColorToRGB toRGB);
    void UpdateCommonIndexes();
    // Frees the own bitmaps, the master bitmap and the patterns and empties the three tables
    // (the fixed indexes stay until UpdateCommonIndexes).
    void ClearSkinTables();

    bool IsValidSkinIndex(int index) const { return index >= 0 && index < static_cast<int>(GeneralData.size()); }
    bool IsValidImgIndex(int index) const { return index >= 0 && index < static_cast<int>(MaskData.size()); }
    int GetSkinIndex(const std::string& sectionName) const;
    int GetMaskIndex(int skinIndex, const std::string& sectionName, const std::string& propertyName) const;
    int GetMaskIndexByName(const std::string& sectionName, const std::string& propertyName) const;
    int GetTextureIndex(int skinIndex, const std::string& sectionName, const std::string& propertyName) const;
    int GetPatternIndex(int skinIndex, const std::string& sectionName, const std::string& propertyName) const;
    // Size of one state: an own bitmap's width div 3 and height div 2, else the frame size;
    // 0 x 0 for an index that is not valid.
    void GetMaskSize(int maskIndex, int& width, int& height) const;
    // The border piece widths: WL (WT, WR, WB) when above 0, else BorderWidth when at least 1,
    // else the frame width (height), an ImageCount of 0 taken as 1; 0 for an invalid index.
    int GetMaskLeftWidth(int maskIndex) const;
    int GetMaskTopWidth(int maskIndex) const;
    int GetMaskRightWidth(int maskIndex) const;
    int GetMaskBottomWidth(int maskIndex) const;

private:
    enum TTable { AnyMask, TextureMask, Pattern };
    int FindInherited(TTable table, int skinIndex, const std::string& sectionName,
                      const std::string& propertyName) const;
    int FindOwn(TTable table, const std::string& sectionName, const std::string& propertyName) const;
};
