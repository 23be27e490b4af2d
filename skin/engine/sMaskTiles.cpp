#include "skin/engine/sMaskTiles.h"

#include <algorithm>

namespace {
void Shrink(int& a, int& b, int size)
{
    if (size >= a + b) return;
    const int d = (a + b - size + 1) / 2;
    a = std::max(a - d, 0);
    b = std::max(b - d - (size % 2 != 0 ? 1 : 0), 0);
}

// Copies of src (its size) repeated over band from its top-left, each cut to the band.
void Tile(std::vector<TsPiece>& out, const TRect& src, const TRect& band, bool stepX, bool stepY)
{
    const int w = src.Right - src.Left, h = src.Bottom - src.Top;
    if (w <= 0 || h <= 0 || band.Right <= band.Left || band.Bottom <= band.Top) return;
    for (int y = band.Top; y < band.Bottom; y += h) {
        for (int x = band.Left; x < band.Right; x += w) {
            const int cw = std::min(w, band.Right - x), ch = std::min(h, band.Bottom - y);
            out.push_back({TRect{src.Left, src.Top, src.Left + cw, src.Top + ch}, TRect{x, y, x + cw, y + ch}});
            if (!stepX) break;
        }
        if (!stepY) break;
    }
}

void Piece(std::vector<TsPiece>& out, const TRect& src, const TRect& band, bool stretch, bool stepX, bool stepY)
{
    if (src.Right <= src.Left || src.Bottom <= src.Top || band.Right <= band.Left || band.Bottom <= band.Top) return;
    if (stretch) out.push_back({src, band});
    else Tile(out, src, band, stepX, stepY);
}

constexpr TRect NoRest{-1, -1, -1, -1};
TRect RestOrNone(const TRect& r) { return r.Right > r.Left && r.Bottom > r.Top ? r : NoRest; }
} // namespace

TsBorderWidths ShrinkBorders(TsBorderWidths w, int width, int height)
{
    Shrink(w.L, w.R, width);
    Shrink(w.T, w.B, height);
    return w;
}

std::vector<TsPiece> BorderPieces(const TRect& r, const TRect& frame, const TsBorderWidths& w, bool stretch,
                                  bool middle)
{
    return BorderPieces(r, frame, w, w, stretch, middle);
}

std::vector<TsPiece> BorderPieces(const TRect& r, const TRect& frame, const TsBorderWidths& w,
                                  const TsBorderWidths& cut, bool stretch, bool middle)
{
    std::vector<TsPiece> out;
    const int fw = frame.Right - frame.Left, fh = frame.Bottom - frame.Top;
    const int mw = std::max(fw - cut.L - cut.R, 0), mh = std::max(fh - cut.T - cut.B, 0);
    const int fl = frame.Left, ft = frame.Top, fr = frame.Right, fb = frame.Bottom;
    const auto corner = [&](const TRect& src, const TRect& dst) {
        if (src.Right > src.Left && src.Bottom > src.Top) out.push_back({src, dst, true});
    };
    corner(TRect{fl, ft, fl + w.L, ft + w.T}, TRect{r.Left, r.Top, r.Left + w.L, r.Top + w.T});
    corner(TRect{fr - w.R, ft, fr, ft + w.T}, TRect{r.Right - w.R, r.Top, r.Right, r.Top + w.T});
    corner(TRect{fl, fb - w.B, fl + w.L, fb}, TRect{r.Left, r.Bottom - w.B, r.Left + w.L, r.Bottom});
    corner(TRect{fr - w.R, fb - w.B, fr, fb}, TRect{r.Right - w.R, r.Bottom - w.B, r.Right, r.Bottom});
    const int il = r.Left + w.L, it = r.Top + w.T, ir = r.Right - w.R, ib = r.Bottom - w.B;
    const int ml = fl + cut.L, mt = ft + cut.T; // the frame's middle part
    Piece(out, TRect{fl, mt, fl + w.L, mt + mh}, TRect{r.Left, it, il, ib}, stretch, false, true);
    Piece(out, TRect{ml, ft, ml + mw, ft + w.T}, TRect{il, r.Top, ir, it}, stretch, true, false);
    Piece(out, TRect{fr - w.R, mt, fr, mt + mh}, TRect{ir, it, r.Right, ib}, stretch, false, true);
    Piece(out, TRect{ml, fb - w.B, ml + mw, fb}, TRect{il, ib, ir, r.Bottom}, stretch, true, false);
    if (middle) Piece(out, TRect{ml, mt, ml + mw, mt + mh}, TRect{il, it, ir, ib}, stretch, true, true);
    return out;
}

std::vector<TsPiece> TexturePieces(int mode, const TRect& r, int w, int h, TRect& rest)
{
    std::vector<TsPiece> out;
    rest = NoRest;
    if (w <= 0 || h <= 0 || r.Right <= r.Left || r.Bottom <= r.Top) {
        rest = RestOrNone(r);
        return out;
    }
    const TRect frame{0, 0, w, h};
    const int rw = r.Right - r.Left, rh = r.Bottom - r.Top;
    switch (mode) {
    case 1:
        out.push_back({frame, r});
        break;
    case 4:
        out.push_back({frame, TRect{r.Left, r.Top, r.Right, r.Top + h}});
        rest = RestOrNone(TRect{r.Left, r.Top + h, r.Right, r.Bottom});
        break;
    case 5:
        out.push_back({frame, TRect{r.Left, r.Top, r.Left + w, r.Bottom}});
        rest = RestOrNone(TRect{r.Left + w, r.Top, r.Right, r.Bottom});
        break;
    case 2:
        Tile(out, frame, TRect{r.Left, r.Top, r.Right, r.Top + std::min(h, rh)}, true, false);
        rest = RestOrNone(TRect{r.Left, r.Top + h, r.Right, r.Bottom});
        break;
    case 3:
        Tile(out, frame, TRect{r.Left, r.Top, r.Left + std::min(w, rw), r.Bottom}, false, true);
        rest = RestOrNone(TRect{r.Left + w, r.Top, r.Right, r.Bottom});
        break;
    case 6:
        Tile(out, frame, TRect{r.Left, std::max(r.Top, r.Bottom - h), r.Right, r.Bottom}, true, false);
        rest = RestOrNone(TRect{r.Left, r.Top, r.Right, r.Bottom - h});
        break;
    case 7:
        Tile(out, frame, TRect{std::max(r.Left, r.Right - w), r.Top, r.Right, r.Bottom}, false, true);
        rest = RestOrNone(TRect{r.Left, r.Top, r.Right - w, r.Bottom});
        break;
    case 10: {
        const int whole = rh / h * h; // rows of whole frames
        for (int x = r.Left; x < r.Right; x += w)
            Tile(out, frame, TRect{x, r.Top, std::min(x + w, r.Right), r.Top + whole}, false, true);
        break;
    }
    default:
        for (int x = r.Left; x < r.Right; x += w)
            Tile(out, frame, TRect{x, r.Top, std::min(x + w, r.Right), r.Bottom}, false, true);
        break;
    }
    return out;
}
