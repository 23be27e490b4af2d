// The arithmetic of the skinned scroll bars, along one bar (X for a horizontal bar, Y for a
// vertical one), apart from windows: the thumb's size and place from the scroll information,
// the part under a point, and the position a dragged thumb stands for. Every result is safe for
// any input: an empty range, a page of 0 or larger than the range, a bar shorter than its two
// arrows or of 1 pixel give no division by 0 and no negative size (the platform's MulDiv
// answers -1 for a division by 0; that is taken as 0).
//
//   TScrollNumbers si{0, 99, 10, 45};                       // nMin, nMax, nPage, nPos
//   TThumb t = ThumbOf(si, 0, 200, 16, 10);                 // bar 0..200, arrows 16
//   // t.Size = MulDiv(10, 168, 100) = 17, t.Start = 16 + MulDiv(45, 151, 90) = 16 + 76 = 92
//   ScrollPartAt(100, 0, 200, 16, t);                       // 5: the thumb
#pragma once

// The parts of a bar (the standard scroll codes).
enum : int {
    spNone = -1,
    spFirstArrow = 0,
    spSecondArrow = 1,
    spTrackBefore = 2,
    spTrackAfter = 3,
    spThumb = 5,
};

struct TScrollNumbers {
    int nMin = 0, nMax = 0, nPage = 0, nPos = 0;
};

struct TThumb {
    int Size = 0;  // 0: no thumb
    int Start = 0; // from the bar's start (start + arrow + the position along the track)
    int Track = 0; // the track's length between the arrows (never negative)
};

// The platform's MulDiv: a * b / c rounded half away from zero in 64 bits; -1 for c = 0 or a
// result outside 32 bits.
int MulDivRound(int a, int b, int c);

// Size: the arrow length for a page of 0, else MulDiv(nPage, track, range) raised to
// minThumb, where range = nMax - nMin + 1 and track = bar length - 2 * arrow; never more
// than the track. Start: start + arrow + MulDiv(nPos - nMin, track - size,
// range - Max(1, nPage)) kept within the track.
TThumb ThumbOf(const TScrollNumbers& si, int start, int end, int arrow, int minThumb);

// The part at a point along the bar: the arrows first (each arrow half the bar when the bar is
// no longer than two arrows), none when the thumb fills the track, then the thumb and the
// track halves. spNone outside the bar.
int ScrollPartAt(int along, int start, int end, int arrow, const TThumb& thumb);

// The arrow length a bar of that length can show: arrow, or half the length (rounded down)
// when the bar is not longer than two arrows.
int FittedArrow(int length, int arrow);

// The position a thumb dragged to thumbStart stands for (measured from the track's start):
// MulDiv(offset, (nMax - nMin) - nPage + 1, track - thumbSize) when the range has at least two
// values, else the offset; never negative.
int DraggedPosition(const TScrollNumbers& si, int offset, int track, int thumbSize);

// Whether the thumb can be dragged: it exists and leaves room in the track.
inline bool ThumbMovable(const TThumb& t) { return t.Size > 0 && t.Size < t.Track; }
