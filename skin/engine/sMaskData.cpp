#include "skin/engine/sMaskData.h"

#include <algorithm>

int MaskFrameWidth(const TsMaskData& mask)
{
    return mask.ImageCount == 0 ? 0 : (mask.R.Right - mask.R.Left) / mask.ImageCount;
}

int MaskFrameHeight(const TsMaskData& mask)
{
    const int bands = static_cast<int16_t>(mask.MaskType) + 1;
    return bands <= 0 ? 0 : (mask.R.Bottom - mask.R.Top) / bands;
}

TRect ClipToBitmap(const TRect& r, int width, int height)
{
    TRect c;
    c.Left = std::clamp(r.Left, 0, width);
    c.Top = std::clamp(r.Top, 0, height);
    c.Right = std::clamp(r.Right, c.Left, width);
    c.Bottom = std::clamp(r.Bottom, c.Top, height);
    return c;
}
