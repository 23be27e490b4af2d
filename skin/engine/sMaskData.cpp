#include "skin/engine/sMaskData.h"

int MaskFrameWidth(const TsMaskData& mask)
{
    return mask.ImageCount == 0 ? 0 : (mask.R.Right - mask.R.Left) / mask.ImageCount;
}

int MaskFrameHeight(const TsMaskData& mask)
{
    const int bands = static_cast<int16_t>(mask.MaskType) + 1;
    return bands <= 0 ? 0 : (mask.R.Bottom - mask.R.Top) / bands;
}
