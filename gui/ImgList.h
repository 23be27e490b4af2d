// TCustomImageList: a list of equally sized images over the platform's image list (32-bit
// colour with a mask), for controls that draw glyphs from one:
//
//   TCustomImageList list(nullptr);
//   list.SetSize(16, 16);              // empties the list
//   list.Add(&picture, nullptr);       // 16 x 16 picture, no mask: -1 when it failed
//   list.Draw(canvas, 4, 4, 0, true);  // item 0 at (4, 4)
//
// The platform's list is made with the first SetSize or Add; Handle() is none until then.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "gui/Graphics.h"
#include "gui/base/Classes.h"

class TCustomImageList : public TComponent {
    GUI_CLASS(TCustomImageList, TComponent)
    explicit TCustomImageList(TComponent* owner) : TComponent(owner) {}
    ~TCustomImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // A new size empties the list.
    void SetSize(int width, int height);
    int Count() const;
    HIMAGELIST Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Appends a picture of the list's size with its mask (none: no mask); the new index, or -1.
    int Add(const TBitmap* image, const TBitmap* mask);
    // Draws item index at (x, y): with its mask or alpha over what the DC holds; disabled
    // greyed. Nothing for an index outside the list.
    void Draw(HDC dc, int x, int y, int index, bool enabled) const;
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const;

private:
    void HandleNeeded();
    int width_ = 16, height_ = 16;
    HIMAGELIST handle_ = nullptr;
};
