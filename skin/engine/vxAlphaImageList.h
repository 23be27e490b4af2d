// Glyphs from image lists for skinned buttons and check boxes: one item of a list as a 32-bit
// image with alpha, and one state frame of it drawn into a bitmap or onto a DC. An item may
// hold NumGlyphs frames side by side, each the list's width div NumGlyphs wide; State chooses
// the frame (limited to the last one).
//
//   DrawImageListGlyph(list, bmp, 4, 4, size, false, 4, 1, 0, false, 0);  // frame 1 of item 0
//
// An alpha image list is an image list that also keeps each item's source image (PNG): such a
// list implements TsAlphaImageListData; the routines draw its items from that data with their
// alpha, and every other list through the platform's image list.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/ImgList.h"
#include "gui/base/Geometry.h"
#include "gui/base/StreamBase.h"

class TBitmap;

// One item's source image as an alpha image list keeps it.
struct TsImgListItem {
    uint8_t ImageFormat = 0; // 0: PNG
    TMemoryStream ImgData;
};

// What the routines read of an alpha image list.
class TsAlphaImageListData {
public:
    virtual ~TsAlphaImageListData() = default;
    virtual uint8_t KeepData() const = 0;
    virtual bool Designing() const { return false; }
    virtual int ItemCount() const = 0;
    virtual TsImgListItem* Item(int index) = 0;
};

// The screen's colour depth.
int ScreenBitsPerPixel();
// The list keeps its items' data (keep-data flag set, or designing); false for a plain list.
bool ImageListKeepsData(TCustomImageList* list);
// The item record at index of an alpha image list; none for a plain list or outside.
TsImgListItem* ImageListItem(TCustomImageList* list, int index);
// A 32-bit bitmap without any alpha gets it from its bottom-left key colour: every other
// colour opaque. Bitmaps with alpha, of another format or smaller than 2 x 2 stay.
void KeyToAlpha(TBitmap* bitmap);
// Item index as a 32-bit image into bitmap; false (nothing drawn) without a handle, bitmap,
// valid index or icon. A broken PNG raises its decoder's error.
bool GetImageListItem32(TCustomImageList* list, int index, TBitmap* bitmap);
// Frame state of item imageIndex at (x, y) into bitmap; frameSize gets the frame's size.
void DrawImageListGlyph(TCustomImageList* list, TBitmap* bitmap, int x, int y, TPoint& frameSize, bool reflected,
                        int numGlyphs, int state, int blend, bool grey, int imageIndex);
// The same onto a DC, through a 24-bit copy of its area (with room for a reflection).
void DrawImageListGlyphToDC(TCustomImageList* list, HDC dc, int x, int y, bool reflected, int numGlyphs, int state,
                            int blend, bool grey, int imageIndex);
