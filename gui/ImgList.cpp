#include "gui/ImgList.h"

namespace {

// A copy of the picture that no DC holds (the platform's list selects what it is given into
// its own DC, which fails for a bitmap its canvas holds); none for an empty picture.
HBITMAP UnselectedCopy(const TBitmap* picture)
{
    if (!picture || picture->Empty()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture->Width();
    info.bmiHeader.biHeight = picture->Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, copy);
    BitBlt(dc, 0, 0, picture->Width(), picture->Height(), const_cast<TBitmap*>(picture)->Canvas().Handle(), 0, 0,
           SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    return copy;
}

} // namespace

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
    HBITMAP picture = UnselectedCopy(image);
    if (!handle_ || !picture) {
        if (picture) DeleteObject(picture);
        return -1;
    }
    HBITMAP maskCopy = UnselectedCopy(mask);
    const int index = ImageList_Add(handle_, picture, maskCopy);
    DeleteObject(picture);
    if (maskCopy) DeleteObject(maskCopy);
    return index;
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
