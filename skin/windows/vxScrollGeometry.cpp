#include "skin/windows/vxScrollGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

int MulDivRound(int a, int b, int c)
{
    if (c == 0) return -1;
    const int64_t p = static_cast<int64_t>(a) * b, d = c;
    const int64_t pa = p < 0 ? -p : p, da = d < 0 ? -d : d;
    const int64_t magnitude = (pa + da / 2) / da;
    const int64_t q = (p < 0) != (d < 0) ? -magnitude : magnitude;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}

namespace {

// MulDiv over the whole 32-bit ranges (a range of nMin..nMax may hold 2^32 values), with a
// division by 0 or a negative result taken as 0. The results are pixel counts and positions,
// so a double's precision is plenty.
int SafeMulDiv(int64_t a, int64_t b, int64_t c)
{
    if (c == 0) return 0;
    const double q = std::round(static_cast<double>(a) * static_cast<double>(b) / static_cast<double>(c));
    return static_cast<int>(std::clamp(q, 0.0, static_cast<double>(std::numeric_limits<int>::max())));
}

} // namespace

int FittedArrow(int length, int arrow)
{
    arrow = std::max(0, arrow);
    return length <= 2 * arrow ? std::max(0, length) / 2 : arrow;
}

TThumb ThumbOf(const TScrollNumbers& si, int start, int end, int arrow, int minThumb)
{
    TThumb t;
    arrow = FittedArrow(end - start, arrow);
    t.Track = std::max(0, (end - start) - 2 * arrow);
    const int64_t range = static_cast<int64_t>(si.nMax) - si.nMin + 1;
    if (si.nPage == 0) t.Size = arrow;
    else if (range > 0) t.Size = std::max(SafeMulDiv(si.nPage, t.Track, range), minThumb);
    t.Size = std::clamp(t.Size, 0, t.Track);
    int position = 0;
    if (range > 0) {
        const int64_t below = std::clamp<int64_t>(static_cast<int64_t>(si.nPos) - si.nMin, 0, range);
        position = SafeMulDiv(below, t.Track - t.Size, range - std::max(1, si.nPage));
        position = std::clamp(position, 0, t.Track - t.Size);
    }
    t.Start = start + arrow + position;
    return t;
}

int ScrollPartAt(int along, int start, int end, int arrow, const TThumb& thumb)
{
    if (along < start || along >= end) return spNone;
    arrow = FittedArrow(end - start, arrow);
    if (along < start + arrow) return spFirstArrow;
    if (along >= end - arrow) return spSecondArrow;
    if (thumb.Size <= 0 || thumb.Size >= thumb.Track) return spNone;
    if (along >= thumb.Start && along < thumb.Start + thumb.Size) return spThumb;
    return along < thumb.Start ? spTrackBefore : spTrackAfter;
}

int DraggedPosition(const TScrollNumbers& si, int offset, int track, int thumbSize)
{
    offset = std::max(0, offset);
    const int64_t span = static_cast<int64_t>(si.nMax) - si.nMin;
    if (span < 1) return offset;
    return SafeMulDiv(offset, std::max<int64_t>(0, span - si.nPage + 1), track - thumbSize);
}
