#include "skin/engine/vxAlphaImageList.h"

#include <algorithm>
#include <memory>

#include "gui/Graphics.h"
#include "skin/engine/sAlphaBitmap.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/vxFastBitmaps.h"
#include "skin/engine/vxPNG.h"
#include "skin/engine/vxResample.h"

namespace {

TsAlphaImageListData* AlphaData(TCustomImageList* list) { return dynamic_cast<TsAlphaImageListData*>(list); }

constexpr int kStretchFilter = 1; // triangle

bool ItemFromData(TCustomImageList* list, int index, TBitmap* bitmap)
{
    TsImgListItem* item = ImageListKeepsData(list) ? ImageListItem(list, index) : nullptr;
    if (!item || item->ImageFormat != 0 || item->ImgData.Size() == 0) return false;
    auto png = std::make_unique<TPNGGraphic>();
    item->ImgData.SetPosition(0);
    png->LoadFromStream(item->ImgData); // its errors pass out; the PNG is freed with them
    if (png->Width() == list->Width() && png->Height() == list->Height()) {
        bitmap->Assign(*png);
    } else {
        bitmap->SetPixelFormat(pf32bit);
        Resample(png.get(), bitmap, bitmap->Width(), bitmap->Height(), kStretchFilter);
    }
    if (bitmap->PixelFormat() != pf32bit) {
        // The class library gives converted pixels full alpha; a picture without alpha has
        // none, so the key colour decides.
        bitmap->SetPixelFormat(pf32bit);
        SetAlphaChannel(bitmap, TRect{0, 0, bitmap->Width(), bitmap->Height()}, 0);
        KeyToAlpha(bitmap);
    }
    return true;
}

bool ItemFromIcon(TCustomImageList* list, int index, TBitmap* bitmap)
{
    HICON icon = ImageList_GetIcon(list->Handle(), index, ILD_NORMAL);
    if (!icon) return false;
    ICONINFO info{};
    GetIconInfo(icon, &info);
    auto work = CreateBmp32(bitmap->Width(), bitmap->Height());
    work->SetHandle(info.hbmColor); // a device bitmap becomes a device-independent one
    work->SetPixelFormat(pf32bit);
    // Icons of systems before version 6 on screens below 32 bits carry no alpha.
    const DWORD major = LOBYTE(LOWORD(GetVersion()));
    if (major < 6 && ScreenBitsPerPixel() < 32) KeyToAlpha(work.get());
    bitmap->Assign(*work);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return true;
}

} // namespace

int ScreenBitsPerPixel()
{
    HDC dc = GetDC(nullptr);
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    return bits;
}

bool ImageListKeepsData(TCustomImageList* list)
{
    TsAlphaImageListData* data = AlphaData(list);
    return data && (data->KeepData() != 0 || data->Designing());
}

TsImgListItem* ImageListItem(TCustomImageList* list, int index)
{
    TsAlphaImageListData* data = AlphaData(list);
    if (!data || index < 0 || index >= data->ItemCount()) return nullptr;
    return data->Item(index);
}

void KeyToAlpha(TBitmap* bitmap)
{
    if (!bitmap || bitmap->PixelFormat() != pf32bit) return;
    TvxFast32 px;
    if (!px.Attach(bitmap)) return;
    for (int y = 0; y < px.Height; ++y)
        for (int x = 0; x < px.Width; ++x)
            if (px.GetPixel(x, y) >> 24 != 0) return;
    const uint32_t key = px.GetPixel(0, px.Height - 1) & 0xFFFFFF;
    for (int y = 0; y < px.Height; ++y)
        for (int x = 0; x < px.Width; ++x) {
            const uint32_t c = px.GetPixel(x, y) & 0xFFFFFF;
            if (c != key) px.SetPixel(x, y, c | 0xFF000000u);
        }
}

bool GetImageListItem32(TCustomImageList* list, int index, TBitmap* bitmap)
{
    if (!list || !list->HandleAllocated() || !bitmap || index < 0 || index >= list->Count()) return false;
    if (ItemFromData(list, index, bitmap)) return true;
    return ItemFromIcon(list, index, bitmap);
}

void DrawImageListGlyph(TCustomImageList* list, TBitmap* bitmap, int x, int y, TPoint& frameSize, bool reflected,
                        int numGlyphs, int state, int blend, bool grey, int imageIndex)
{
    if (!list || !bitmap || bitmap->Width() == 0 || !list->HandleAllocated()) return;
    numGlyphs = std::max(1, numGlyphs);
    const int fw = list->Width() / numGlyphs;
    const int fh = list->Height();
    state = std::clamp(state, 0, numGlyphs - 1);
    const TRect dest{x, y, x + fw, y + fh};
    const TRect src{fw * state, 0, fw * state + fw, fh};
    frameSize = TPoint{fw, fh};
    if (AlphaData(list)) {
        auto work = CreateBmp32(list->Width(), list->Height());
        if (GetImageListItem32(list, imageIndex, work.get()))
            DrawAlphaBitmap(bitmap, dest, work.get(), src, blend, grey, 0x1FFFFFFF, reflected);
        return;
    }
    auto work = CreateBmp24(list->Width(), list->Height());
    BitBlt(work->Canvas().Handle(), src.Left, src.Top, fw, fh, bitmap->Canvas().Handle(), dest.Left, dest.Top, SRCCOPY);
    list->Draw(work->Canvas(), 0, 0, imageIndex, true);
    BitBlt(bitmap->Canvas().Handle(), dest.Left, dest.Top, fw, fh, work->Canvas().Handle(), src.Left, src.Top, SRCCOPY);
}

void DrawImageListGlyphToDC(TCustomImageList* list, HDC dc, int x, int y, bool reflected, int numGlyphs, int state,
                            int blend, bool grey, int imageIndex)
{
    if (!list || !dc) return;
    const int h = list->Height() + (reflected ? 1 : 0) * list->Height() / 2;
    auto bmp = CreateBmp24(list->Width(), h);
    BitBlt(bmp->Canvas().Handle(), 0, 0, bmp->Width(), h, dc, x, y, SRCCOPY);
    TPoint size;
    DrawImageListGlyph(list, bmp.get(), 0, 0, size, reflected, numGlyphs, state, blend, grey, imageIndex);
    BitBlt(dc, x, y, bmp->Width(), h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
}
