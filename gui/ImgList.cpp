#include "gui/ImgList.h"

TCustomImageList::~TCustomImageList()
{
    if (handle_) ImageList_Destroy(handle_);
}

void TCustomImageList::SetSize(int width, int height)
{
    if (handle_) ImageList_Destroy(handle_);
    handle_ = nullptr;
    width_ = width;
    height_ = height;
    HandleNeeded();
}

void TCustomImageList::HandleNeeded()
{
    if (!handle_) handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4);
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TCustomImageList::Add(const TBitmap* image, const TBitmap* mask)
{
    HandleNeeded();
    if (!handle_ || !image || image->Empty()) return -1;
    return ImageList_Add(handle_, image->Handle(), mask ? mask->Handle() : nullptr);
}

void TCustomImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const
{
    if (!handle_ || index < 0 || index >= Count()) return;
    IMAGELISTDRAWPARAMS p{};
    p.cbSize = sizeof p;
    p.himl = handle_;
    p.i = index;
    p.hdcDst = dc;
    p.x = x;
    p.y = y;
    p.rgbBk = CLR_NONE;
    p.rgbFg = CLR_DEFAULT;
    p.fStyle = ILD_NORMAL;
    p.fState = enabled ? ILS_NORMAL : ILS_SATURATE;
    ImageList_DrawIndirect(&p);
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    Draw(canvas.Handle(), x, y, index, enabled);
}
