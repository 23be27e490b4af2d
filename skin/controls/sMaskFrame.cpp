#include "skin/controls/sMaskFrame.h"

#include <climits>
#include <vector>

#include "gui/base/Handles.h"
#include "skin/engine/sMaskFrameRows.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"

namespace {
int Signed(uint16_t v) { return static_cast<int16_t>(v); }

// The image's numbers as the frame painting reads them, over the picture's rows.
TsFrameImage FrameImageOf(const TsMaskData& mask, const TsPictureRows& pic)
{
    TsFrameImage f;
    f.Picture = pic.Lines;
    f.R = mask.R;
    f.ImageCount = Signed(mask.ImageCount);
    f.MaskType = Signed(mask.MaskType);
    f.Flags = mask.StretchMode;
    f.W = TsBorderWidths{Signed(mask.WL), Signed(mask.WT), Signed(mask.WR), Signed(mask.WB)};
    return f;
}

// Takes every run out of the region at once (RGN_DIFF: a run cut twice stays cut).
void CutRuns(HRGN region, const std::vector<TRect>& runs)
{
    if (!region || runs.empty()) return;
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    RECT bounds{runs[0].Left, runs[0].Top, runs[0].Right, runs[0].Bottom};
    auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (size_t i = 0; i < runs.size(); ++i) {
        const TRect& r = runs[i];
        rects[i] = RECT{r.Left, r.Top, r.Right, r.Bottom};
        UnionRect(&bounds, &bounds, &rects[i]);
    }
    header->rcBound = bounds;
    TRegionHandle cut(
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data())));
    if (cut) CombineRgn(region, region, cut.get(), RGN_DIFF);
}
} // namespace

void PaintMaskFrame(TBitmap* bmp, HRGN region, bool fillMiddle, int state, const TsMaskData& mask)
{
    const TvxScanLines dst = ScanLinesOf(bmp);
    if (!mask.Manager || dst.BytesPerPixel == 0) return;
    const TsPictureRows pic = PictureRowsOf(MaskPicture(mask));
    if (!pic.Bmp) return;
    std::vector<TRect> runs;
    for (const TsPiece& p : PaintFrameRows(dst, FrameImageOf(mask, pic), state, fillMiddle, region ? &runs : nullptr))
        StretchPiece(bmp, p, pic.Bmp, HALFTONE);
    CutRuns(region, runs);
}

void PaintMaskFrame(TBitmap* bmp, HRGN region, bool fillMiddle, int state, const TsSkinManager* manager, int maskIndex)
{
    if (!manager || !manager->IsValidImgIndex(maskIndex)) return;
    PaintMaskFrame(bmp, region, fillMiddle, state, manager->MaskData[static_cast<size_t>(maskIndex)]);
}

void CopyMaskPart(int dstLeft, int dstTop, int dstRight, bool transparent, const TsMaskData& mask, HRGN region,
                  TBitmap* bmp, int srcBottom, int srcRight, int srcTop, int srcLeft, int dstBottom)
{
    const TvxScanLines dst = ScanLinesOf(bmp);
    if (!mask.Manager || dst.BytesPerPixel == 0) return;
    const TsPictureRows pic = PictureRowsOf(MaskPicture(mask));
    if (!pic.Bmp) return;
    std::vector<TRect> runs;
    // Inclusive corners made exclusive; a negative right or bottom stays below 1.
    const auto past = [](int v) { return v < 0 || v == INT_MAX ? v : v + 1; };
    CopyMaskRows(dst, TRect{dstLeft, dstTop, past(dstRight), past(dstBottom)}, FrameImageOf(mask, pic),
                 TRect{srcLeft, srcTop, past(srcRight), past(srcBottom)}, transparent, region ? &runs : nullptr);
    CutRuns(region, runs);
}
