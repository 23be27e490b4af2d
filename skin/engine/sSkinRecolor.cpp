#include "skin/engine/sSkinRecolor.h"

#include <cstdint>
#include <cstring>
#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "gui/Graphics.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sSkinTables.h"
#include "skin/engine/sUtils.h"

namespace {

using TColorChange = std::function<TColor(TColor)>;

// The title-button icons in the order they are looked at; the first two are the close icons.
const char* const TitleIcons[] = {"BICONCLOSE", "SICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM",
                                  "BICONHELP",  "SICONMAX",   "SICONMIN", "SICONNORM"};

// A rectangle of the master bitmap kept aside while the rest changes.
struct TKeptRect {
    TRect R;
    std::vector<uint8_t> Bytes; // 3 bytes a pixel, row after row
};

bool Changes(uint8_t r, uint8_t g, uint8_t b) { return !(r == g && g == b) && !(r == 255 && g == 0 && b == 255); }

void ChangeBitmap(TBitmap& bmp, const TColorChange& change)
{
    if (bmp.Empty()) return;
    if (bmp.PixelFormat() != pf32bit && bmp.PixelFormat() != pf24bit) bmp.SetPixelFormat(pf24bit);
    const int bytes = bmp.PixelFormat() == pf32bit ? 4 : 3;
    for (int y = 0; y < bmp.Height(); ++y) {
        auto* p = static_cast<uint8_t*>(bmp.ScanLine(y));
        for (int x = 0; x < bmp.Width(); ++x, p += bytes) {
            if (!Changes(p[2], p[1], p[0])) continue;
            const TColor c = change(RGBColor(p[2], p[1], p[0]));
            p[0] = static_cast<uint8_t>(BlueOf(c));
            p[1] = static_cast<uint8_t>(GreenOf(c));
            p[2] = static_cast<uint8_t>(RedOf(c));
        }
    }
    bmp.Changed();
}

// Copies a rectangle of a 24-bit bitmap out (or back in), cut to the bitmap.
void CopyRect(TBitmap& bmp, TKeptRect& kept, bool back)
{
    const TRect r{std::max(kept.R.Left, 0), std::max(kept.R.Top, 0), std::min(kept.R.Right, bmp.Width()),
                  std::min(kept.R.Bottom, bmp.Height())};
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    const size_t row = static_cast<size_t>(r.Right - r.Left) * 3;
    if (!back) kept.Bytes.resize(row * static_cast<size_t>(r.Bottom - r.Top));
    for (int y = r.Top; y < r.Bottom; ++y) {
        auto* p = static_cast<uint8_t*>(bmp.ScanLine(y)) + static_cast<size_t>(r.Left) * 3;
        uint8_t* kept_row = kept.Bytes.data() + row * static_cast<size_t>(y - r.Top);
        if (back) std::memcpy(p, kept_row, row);
        else std::memcpy(kept_row, p, row);
    }
}

// A set colour of a section (not -1 nor any other negative value) changes.
void ChangeColor(TColor& c, const TColorChange& change)
{
    if (c >= 0) c = change(c);
}

void ChangeGradient(TsGradArray& steps, size_t count, const TColorChange& change)
{
    for (size_t i = 0; i < steps.size() && i < count; ++i) {
        ChangeColor(steps[i].Color1, change);
        ChangeColor(steps[i].Color2, change);
    }
}

void ChangeSkin(TsSkinTables& skin, const TColorChange& change, const std::set<const TBitmap*>& keptImages)
{
    if (skin.MasterBitmap) ChangeBitmap(*skin.MasterBitmap, change);
    for (TsMaskData& m : skin.MaskData)
        if (m.Bmp && !keptImages.count(m.Bmp.get())) ChangeBitmap(*m.Bmp, change);
    for (TsGeneralData& g : skin.GeneralData) {
        ChangeColor(g.Color, change);
        ChangeColor(g.HotColor, change);
        for (int i = 1; i <= 5; ++i) {
            ChangeColor(g.FontColor[i], change);
            ChangeColor(g.HotFontColor[i], change);
        }
        ChangeGradient(g.GradientArray, static_cast<size_t>(WordCount(g.GradientData, CharSetOf(";")) / 5), change);
        ChangeGradient(g.HotGradientArray, g.HotGradientArray.size(), change);
    }
    ChangeColor(skin.SkinData.Shadow1Color, change);
    ChangeColor(skin.SkinData.BorderColor, change);
}

} // namespace

void ChangeSkinHue(TsSkinTables& skin, int offset)
{
    if (offset == 0) return;
    std::vector<TKeptRect> keptRects;
    std::set<const TBitmap*> keptImages;
    const int keep = skin.SkinData.BIKeepHue;
    auto preserve = [&](const std::string& name) {
        const int i = skin.GetMaskIndexByName("GLOBALINFO", name);
        if (!skin.IsValidImgIndex(i)) return false;
        const TsMaskData& m = skin.MaskData[static_cast<size_t>(i)];
        if (m.Bmp) keptImages.insert(m.Bmp.get());
        else if (skin.MasterBitmap) {
            keptRects.push_back({m.R, {}});
            CopyRect(*skin.MasterBitmap, keptRects.back(), false);
        }
        return true;
    };
    if (keep != 0)
        for (size_t k = 0; k < std::size(TitleIcons); ++k) {
            if (k >= 2 && keep != 1) continue;
            if (preserve(TitleIcons[k])) preserve(std::string(TitleIcons[k]) + "GLOW0");
        }
    ChangeSkin(
        skin, [offset](TColor c) { return ChangeHue(c, offset); }, keptImages);
    for (TKeptRect& kept : keptRects)
        CopyRect(*skin.MasterBitmap, kept, true);
}

void ChangeSkinSaturation(TsSkinTables& skin, int amount)
{
    if (amount == 0) return;
    const int percent = (-amount) % 101;
    ChangeSkin(skin, [percent](TColor c) { return ChangeSaturation(c, percent); }, {});
}
