// Test helper for the generated test skins (tools/TestSkinLayout.h): their paths, their
// images as the layout describes them, the colour each pixel of an image must have, and the
// images and section colours of the probe skins.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/base/Streams.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/tools/TestSkinLayout.h"

namespace skintest {

using testskins::TTestImage;

// The folder of a test skin, or a packed test skin's file ("Masks.vtz").
inline std::string SkinPath(const std::string& name) { return std::string(TEST_SKINS_DIR) + "/" + name; }
// The test skins' folder as a skin manager's SkinDirectory, so that SetSkinName("Probe") loads
// and announces a probe skin: with its drive (a manager takes a folder without one as relative
// to the program's).
inline std::string SkinDirectory() { return std::string("Z:") + TEST_SKINS_DIR; }

// The bytes of a file.
inline std::unique_ptr<TMemoryStream> FileBytes(const std::string& file)
{
    auto s = std::make_unique<TMemoryStream>();
    s->LoadFromFile(file);
    return s;
}

// The layout's images of a skin that give records, in record order.
inline std::vector<TTestImage> Recorded(const std::string& skin)
{
    std::vector<TTestImage> list;
    for (const TTestImage& im : testskins::Images)
        if (skin == im.Skin && im.Recorded) list.push_back(im);
    return list;
}

// The record index of the image with the id, -1 when it has none.
inline int IndexOfId(const std::string& skin, int id)
{
    const std::vector<TTestImage> list = Recorded(skin);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].Id == id) return static_cast<int>(i);
    return -1;
}

// Values in "#" notation and file values keep upper-cased names.
inline bool UpperNames(const TTestImage& im)
{
    const char c = im.Value[0];
    return c != '@' && c != '^' && c != '~' && c != '!';
}

inline std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The record holds what the layout says.
inline void ExpectRecord(const TsSkinManager& m, const TsMaskData& r, const TTestImage& im)
{
    SCOPED_TRACE(std::string(im.Section) + " " + im.Key + "=" + im.Value);
    EXPECT_EQ(r.SectionName, UpperNames(im) ? Upper(im.Section) : std::string(im.Section));
    EXPECT_EQ(r.PropertyName, UpperNames(im) ? Upper(im.Key) : std::string(im.Key));
    EXPECT_EQ(r.R, (TRect{im.R.Left, im.R.Top, im.R.Right, im.R.Bottom}));
    EXPECT_EQ(r.ImageCount, im.States);
    EXPECT_EQ(r.MaskType, static_cast<uint16_t>(im.MaskType));
    EXPECT_EQ(r.WL, im.WL);
    EXPECT_EQ(r.WT, im.WT);
    EXPECT_EQ(r.WR, im.WR);
    EXPECT_EQ(r.WB, im.WB);
    EXPECT_EQ(r.ImgType, im.ImgType);
    EXPECT_EQ(r.StretchMode, im.StretchMode);
    EXPECT_EQ(static_cast<bool>(r.Bmp), im.File != nullptr);
    EXPECT_EQ(r.Manager, &m);
}

// The colour the generator painted at (x, y) of the image's rectangle.
inline COLORREF ExpectedPixel(const TTestImage& im, int x, int y) { return testskins::CodedColor(im, x, y); }

// Positions worth sampling along one side of a frame: its edges and the piece borders.
inline std::vector<int> Samples(int size, int first, int last)
{
    std::vector<int> v;
    for (int p : {0, 1, first - 1, first, size / 2, size - last - 1, size - last, size - 2, size - 1})
        if (p >= 0 && p < size) v.push_back(p);
    return v;
}

// Every sampled pixel of the image in the bitmap (its rectangle at the record's R) reads as
// the layout painted it.
inline void ExpectPixels(TBitmap& bitmap, const TTestImage& im, const TRect& r)
{
    SCOPED_TRACE(std::string("image ") + std::to_string(im.Id));
    const int states = im.States < 1 ? 1 : im.States;
    const int bands = im.MaskType + 1 < 1 ? 1 : im.MaskType + 1;
    const int fw = (r.Right - r.Left) / states, fh = (r.Bottom - r.Top) / bands;
    std::vector<int> rows = Samples(fh, im.WT, im.WB);
    if (bands > 1) rows.insert(rows.end(), {fh, r.Bottom - r.Top - 1}); // the mask band
    for (int s = 0; s < states; ++s)
        for (int y : rows)
            for (int x : Samples(fw, im.WL, im.WR)) {
                const int px = s * fw + x;
                EXPECT_EQ(bitmap.Canvas().Pixel(r.Left + px, r.Top + y), ExpectedPixel(im, px, y))
                    << "at " << px << "," << y;
            }
}

// The twelve runs of the 0xFF00FF staircase (3, 2 and 1 pixels) in the corners of a w x h
// probe border frame: what a frame cuts from a window region.
inline std::vector<RECT> ProbeStaircase(int w, int h)
{
    std::vector<RECT> runs;
    for (int d = 0; d < 3; ++d)
        for (int y : {d, h - 1 - d}) {
            runs.push_back(RECT{0, y, 3 - d, y + 1});
            runs.push_back(RECT{w - 3 + d, y, w, y + 1});
        }
    return runs;
}

// ---- probe skins (TestSkinLayout.h): "Probe", "ProbeOther", "ProbeFading", "ProbeGlow",
// "ProbeTransparent0", "ProbeTransparent50", "ProbeTransparent100", "ProbeBare"; their folders
// are SkinPath(name).
inline const testskins::TProbeSkin& ProbeSkin(const std::string& name)
{
    const testskins::TProbeSkin* skin = testskins::FindProbeSkin(name.c_str());
    if (!skin) throw std::invalid_argument("no probe skin " + name);
    return *skin;
}

// The images the probe skin records, in record order.
inline std::vector<TTestImage> ProbeRecorded(const std::string& skin)
{
    return testskins::ProbeRecords(ProbeSkin(skin));
}

// A probe image of the skin as the layout describes it (also one the skin does not record:
// Recorded is then false); the id tells the skin's palette.
inline TTestImage ProbeImage(const std::string& skin, const std::string& section, const std::string& key)
{
    for (int i = 0; i < testskins::ProbeImageCount; ++i)
        if (section == testskins::ProbeImages[i].Section && key == testskins::ProbeImages[i].Key)
            return testskins::ProbeTestImage(ProbeSkin(skin), i);
    throw std::invalid_argument("no probe image " + section + " " + key);
}

// The coded colour of state s, piece p (0 top-left .. 8 bottom-right) of a probe image.
inline TColor ProbePiece(const TTestImage& im, int state, int piece)
{
    return static_cast<TColor>(testskins::TestColor(im.Id, state, piece));
}

// The probe skin's combo box: piece p of the drop-down button in state s, and the middle of its
// arrow glyph in state s.
inline COLORREF ComboButtonPiece(int state, int piece)
{
    return static_cast<COLORREF>(ProbePiece(ProbeImage("Probe", "COMBOBTN", "BORDERSMASK"), state, piece));
}
inline COLORREF ComboArrowPiece(int state)
{
    return static_cast<COLORREF>(ProbePiece(ProbeImage("Probe", "COMBOBOX", "GLYPHMASK"), state, 4));
}

// The colours a probe skin gives a section (TColor values).
struct TProbeColors {
    TColor Color, HotColor, FontColor, HotFontColor;
};
inline TProbeColors ProbeColors(const std::string& skin, const std::string& section)
{
    const int k = testskins::ProbeSectionIndex(section.c_str());
    if (k < 0) throw std::invalid_argument("no probe section " + section);
    const testskins::TProbeColors c = testskins::ProbeColors(ProbeSkin(skin), k);
    return TProbeColors{static_cast<TColor>(c.Color), static_cast<TColor>(c.HotColor), static_cast<TColor>(c.FontColor),
                        static_cast<TColor>(c.HotFontColor)};
}

} // namespace skintest
