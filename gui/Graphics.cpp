#include "gui/Graphics.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gui/base/BmpFormat.h"
#include "gui/base/Exceptions.h"
#include "gui/base/Streams.h"
#include "gui/base/SysUtils.h"

COLORREF ColorToRGB(TColor c)
{
    if (c < 0) return GetSysColor(c & 0xFF);
    return static_cast<COLORREF>(c) & 0xFFFFFF;
}

namespace {
const TIdentEntry kColors[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clBtnFace", clBtnFace},
    {"clWindow", clWindow},
    {"clWindowText", clWindowText},
    {"clBtnText", clBtnText},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnShadow", clBtnShadow},
    {"clBtnHighlight", clBtnHighlight},
    {"clGrayText", clGrayText},
    {"clInfoBk", clInfoBk},
    {"clMenu", clMenu},
    {"clActiveCaption", clActiveCaption},
};
} // namespace

TColor IdentToColor(const TPropValue& v)
{
    if (v.kind == TPropValue::Int) return static_cast<TColor>(v.i);
    return IdentToInt(v, kColors, "Color");
}

// ---- TFont

TFont::TFont() = default;

TFont& TFont::operator=(const TFont& o)
{
    if (this == &o) return *this;
    name_ = o.name_;
    height_ = o.height_;
    color_ = o.color_;
    style_ = o.style_;
    charset_ = o.charset_;
    Changed();
    return *this;
}

void TFont::Changed()
{
    // The old font goes only after the users have selected the new one.
    TFontHandle old = std::move(handle_);
    if (OnChange) OnChange();
}

void TFont::SetName(const std::string& name)
{
    if (name != name_) {
        name_ = name;
        Changed();
    }
}

void TFont::SetHeight(int height)
{
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

int TFont::Size() const { return -MulDiv(height_, 72, 96); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }

void TFont::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        if (OnChange) OnChange();
    }
}

void TFont::SetStyle(unsigned style)
{
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TFont::SetCharset(int charset)
{
    if (charset != charset_) {
        charset_ = charset;
        Changed();
    }
}

bool TFont::SetProperty(const std::string& sub, const TPropValue& v)
{
    if (SameText(sub, "Name")) SetName(v.AsString());
    else if (SameText(sub, "Height")) SetHeight(v.AsInt());
    else if (SameText(sub, "Size")) SetSize(v.AsInt());
    else if (SameText(sub, "Color")) SetColor(IdentToColor(v));
    else if (SameText(sub, "Charset")) SetCharset(v.kind == TPropValue::Int ? v.AsInt() : DEFAULT_CHARSET);
    else if (SameText(sub, "Style")) {
        unsigned s = 0;
        if (v.Has("fsBold")) s |= fsBold;
        if (v.Has("fsItalic")) s |= fsItalic;
        if (v.Has("fsUnderline")) s |= fsUnderline;
        if (v.Has("fsStrikeOut")) s |= fsStrikeOut;
        SetStyle(s);
    } else return false;
    return true;
}

HFONT TFont::Handle() const
{
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
        lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = static_cast<BYTE>(charset_);
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectA(&lf));
    }
    return handle_.get();
}

// ---- TBrush, TPen

void TBrush::SetColor(TColor c)
{
    if (c == color_) return;
    color_ = c;
    auto old = std::move(handle_);
    if (OnChange) OnChange();
}

void TBrush::SetStyle(TBrushStyle s)
{
    if (s == style_) return;
    style_ = s;
    auto old = std::move(handle_);
    if (OnChange) OnChange();
}

HBRUSH TBrush::Handle() const
{
    if (style_ == bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!handle_) handle_.reset(CreateSolidBrush(ColorToRGB(color_)));
    return handle_.get();
}

void TPen::SetColor(TColor c)
{
    if (c == color_) return;
    color_ = c;
    auto old = std::move(handle_);
    if (OnChange) OnChange();
}

void TPen::SetWidth(int w)
{
    if (w == width_) return;
    width_ = w;
    auto old = std::move(handle_);
    if (OnChange) OnChange();
}

void TPen::SetStyle(TPenStyle s)
{
    if (s == style_) return;
    style_ = s;
    auto old = std::move(handle_);
    if (OnChange) OnChange();
}

HPEN TPen::Handle() const
{
    if (!handle_) handle_.reset(CreatePen(style_, width_, ColorToRGB(color_)));
    return handle_.get();
}

// ---- TCanvas

TCanvas::TCanvas()
{
    // A changed tool is selected anew (the old one is deselected before it is freed).
    font_.OnChange = [this] {
        if (dc_) {
            Deselect();
            Select();
        }
    };
    brush_.OnChange = font_.OnChange;
    pen_.OnChange = font_.OnChange;
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC dc)
{
    if (dc_) Deselect();
    dc_ = dc;
    if (dc_) Select();
}

void TCanvas::Select()
{
    oldFont_ = SelectObject(dc_, font_.Handle());
    oldBrush_ = SelectObject(dc_, brush_.Handle());
    oldPen_ = SelectObject(dc_, pen_.Handle());
    SetTextColor(dc_, ColorToRGB(font_.Color()));
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
    SetBkMode(dc_, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::Deselect()
{
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldPen_) SelectObject(dc_, oldPen_);
    oldFont_ = oldBrush_ = oldPen_ = nullptr;
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }
void TCanvas::LineTo(int x, int y) { ::LineTo(dc_, x, y); }
void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { ::Rectangle(dc_, x1, y1, x2, y2); }
void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) { ::RoundRect(dc_, x1, y1, x2, y2, w, h); }
void TCanvas::Ellipse(int x1, int y1, int x2, int y2) { ::Ellipse(dc_, x1, y1, x2, y2); }
void TCanvas::FillRect(const RECT& r) { ::FillRect(dc_, &r, brush_.Handle()); }
void TCanvas::FrameRect(const RECT& r) { ::FrameRect(dc_, &r, brush_.Handle()); }

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::string& text)
{
    ExtTextOutA(dc_, x, y, ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE), &r, text.data(),
                static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text)
{
    SIZE s{};
    if (dc_) {
        GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
    } else {
        TMemDC dc(CreateCompatibleDC(nullptr));
        TSelectGuard g(dc.get(), font_.Handle());
        GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &s);
    }
    return s;
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty()) return;
    bitmap.Draw(*this, RECT{x, y, x + bitmap.Width(), y + bitmap.Height()});
}

void TCanvas::StretchDraw(const RECT& r, const TBitmap& bitmap)
{
    if (bitmap.Empty()) return;
    bitmap.Draw(*this, r);
}

void TCanvas::CopyRect(const RECT& d, TCanvas& source, const RECT& s)
{
    StretchBlt(dc_, d.left, d.top, d.right - d.left, d.bottom - d.top, source.Handle(), s.left, s.top, s.right - s.left,
               s.bottom - s.top, SRCCOPY);
}

COLORREF TCanvas::Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
void TCanvas::SetPixel(int x, int y, TColor c) { ::SetPixel(dc_, x, y, ColorToRGB(c)); }

// ---- TBitmap

namespace {
bool IsIndexed(TPixelFormat f) { return f == pf1bit || f == pf4bit || f == pf8bit; }
bool IsTrueColour(TPixelFormat f) { return f == pf24bit || f == pf32bit; }

int FormatBits(TPixelFormat f)
{
    switch (f) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    default:
        return 0;
    }
}

ptrdiff_t StrideOf(int width, int bits) { return ((static_cast<ptrdiff_t>(width) * bits + 31) / 32) * 4; }

TPixelFormat FormatOf(const DIBSECTION& ds)
{
    const DWORD* m = ds.dsBitfields;
    bool fields = ds.dsBmih.biCompression == BI_BITFIELDS;
    switch (ds.dsBmih.biBitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        if (!fields || (m[0] == 0x7C00 && m[1] == 0x3E0 && m[2] == 0x1F)) return pf15bit;
        if (m[0] == 0xF800 && m[1] == 0x7E0 && m[2] == 0x1F) return pf16bit;
        return pfCustom;
    case 24:
        return pf24bit;
    case 32:
        if (!fields || (m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF)) return pf32bit;
        return pfCustom;
    default:
        return pfCustom;
    }
}

std::vector<RGBQUAD> PaletteColours(HPALETTE palette, int count)
{
    std::vector<PALETTEENTRY> entries(static_cast<size_t>(count));
    UINT got = GetPaletteEntries(palette, 0, static_cast<UINT>(count), entries.data());
    std::vector<RGBQUAD> table(static_cast<size_t>(count));
    for (UINT i = 0; i < got && i < static_cast<UINT>(count); ++i)
        table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return table;
}

// Black and white; the 16 standard colours; the halftone palette.
std::vector<RGBQUAD> DefaultColours(int count)
{
    if (count == 2) return {{0, 0, 0, 0}, {255, 255, 255, 0}};
    if (count == 16) {
        static const COLORREF vga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                         0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                         0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
        std::vector<RGBQUAD> table;
        for (COLORREF c : vga)
            table.push_back(RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0});
        return table;
    }
    TWindowDC screen(nullptr);
    TPaletteHandle halftone(CreateHalftonePalette(screen.get()));
    return PaletteColours(halftone.get(), count);
}

HPALETTE CopyPalette(HPALETTE palette)
{
    if (!palette) return nullptr;
    int count = static_cast<int>(GetPaletteEntries(palette, 0, 0, nullptr));
    std::vector<uint8_t> mem(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(count));
    auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(count);
    GetPaletteEntries(palette, 0, static_cast<UINT>(count), lp->palPalEntry);
    return CreatePalette(lp);
}

// Whether the first row in memory of a DIB section is the top row of its picture. GetObject
// does not tell (it may report a top-down section's height as positive), so the bottom row is
// read through GDI before and after the first memory row is inverted (and put back).
bool StoredTopDown(HBITMAP bitmap, uint8_t* bits, ptrdiff_t stride, int width, int height)
{
    if (height < 2 || !bits) return false;
    TMemDC dc(CreateCompatibleDC(nullptr));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height; // bottom-up: scan line 0 is the bottom row
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> before(static_cast<size_t>(width)), after(static_cast<size_t>(width));
    auto invert = [&] {
        for (ptrdiff_t i = 0; i < stride; ++i)
            bits[i] = static_cast<uint8_t>(~bits[i]);
        GdiFlush();
    };
    GdiFlush();
    GetDIBits(dc.get(), bitmap, 0, 1, before.data(), &bi, DIB_RGB_COLORS);
    invert();
    GetDIBits(dc.get(), bitmap, 0, 1, after.data(), &bi, DIB_RGB_COLORS);
    invert();
    return before == after;
}

// Rows of two bitmaps of one true-colour size, copied pixel by pixel (alpha 255 when made 32-bit).
void CopyRows(const TBitmap& from, TBitmap& to, int width, int height)
{
    int fromBytes = from.BitsPerPixel() / 8, toBytes = to.BitsPerPixel() / 8;
    for (int y = 0; y < height; ++y) {
        const auto* s = static_cast<const uint8_t*>(from.ScanLine(y));
        auto* d = static_cast<uint8_t*>(to.ScanLine(y));
        if (fromBytes == toBytes) {
            std::memcpy(d, s, static_cast<size_t>(width) * static_cast<size_t>(toBytes));
            continue;
        }
        for (int x = 0; x < width; ++x, s += fromBytes, d += toBytes) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            if (toBytes == 4) d[3] = 255;
        }
    }
}
} // namespace

TBitmap::~TBitmap()
{
    canvas_.reset();
    if (dc_ && oldBitmap_) SelectObject(dc_.get(), oldBitmap_);
}

HDC TBitmap::MemDC() const
{
    if (!dc_) {
        dc_.reset(CreateCompatibleDC(nullptr));
        if (bitmap_) oldBitmap_ = SelectObject(dc_.get(), bitmap_.get());
    }
    return dc_.get();
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>();
        canvas_->SetHandle(MemDC());
    }
    return *canvas_;
}

int TBitmap::BitsPerPixel() const { return FormatBits(format_); }

// A bottom-up DIB section of the format, filled with 0xFF bytes. Palette formats take the
// colours of this bitmap's palette, else those of tableSource's table of the same depth, else
// the default colours.
HBITMAP TBitmap::CreateDib(int width, int height, TPixelFormat format, const TBitmap* tableSource) const
{
    int bits = FormatBits(format);
    std::vector<uint8_t> mem(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bi = reinterpret_cast<BITMAPINFO*>(mem.data());
    bi->bmiHeader.biSize = sizeof bi->bmiHeader;
    bi->bmiHeader.biWidth = width;
    bi->bmiHeader.biHeight = height;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = static_cast<WORD>(bits);
    bi->bmiHeader.biCompression = BI_RGB;
    if (IsIndexed(format)) {
        int count = 1 << bits;
        std::vector<RGBQUAD> table;
        if (palette_) {
            table = PaletteColours(palette_.get(), count);
        } else if (tableSource && tableSource->bitmap_ && tableSource->format_ == format) {
            table.resize(static_cast<size_t>(count));
            GetDIBColorTable(tableSource->MemDC(), 0, static_cast<UINT>(count), table.data());
        } else {
            table = DefaultColours(count);
        }
        table.resize(static_cast<size_t>(count));
        bi->bmiHeader.biClrUsed = static_cast<DWORD>(count);
        std::memcpy(bi->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
    }
    void* pixels = nullptr;
    HBITMAP fresh = CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (pixels) std::memset(pixels, 0xFF, static_cast<size_t>(StrideOf(width, bits) * height));
    return fresh;
}

void TBitmap::ReadLayout(bool foreign)
{
    DIBSECTION ds{};
    if (!bitmap_ || GetObjectA(bitmap_.get(), sizeof ds, &ds) != sizeof ds) {
        width_ = height_ = 0;
        bits_ = nullptr;
        stride_ = 0;
        topDown_ = false;
        return;
    }
    width_ = ds.dsBm.bmWidth;
    height_ = ds.dsBmih.biHeight < 0 ? -ds.dsBmih.biHeight : ds.dsBmih.biHeight;
    format_ = FormatOf(ds);
    bits_ = static_cast<uint8_t*>(ds.dsBm.bmBits);
    stride_ = StrideOf(width_, ds.dsBmih.biBitCount);
    topDown_ = ds.dsBmih.biHeight < 0 || (foreign && StoredTopDown(bitmap_.get(), bits_, stride_, width_, height_));
}

void TBitmap::SetSize(int width, int height)
{
    if (width == width_ && height == height_) return;
    TPixelFormat format = IsIndexed(format_) || IsTrueColour(format_) ? format_ : pf24bit;
    Replace(width > 0 && height > 0 ? CreateDib(width, height, format, this) : nullptr);
    Changed();
}

// Puts a fresh DIB section in place of the current picture, with what fits of the old picture
// copied over: between true-colour formats pixel by pixel (alpha kept, or 255 when made 32-bit),
// else through GDI.
void TBitmap::Replace(HBITMAP fresh)
{
    if (!fresh || !bitmap_) {
        TakeBitmap(fresh);
        return;
    }
    TBitmap next;
    next.TakeBitmap(fresh);
    int w = std::min(width_, next.width_), h = std::min(height_, next.height_);
    if (IsTrueColour(format_) && IsTrueColour(next.format_)) {
        CopyRows(*this, next, w, h);
    } else {
        BitBlt(next.MemDC(), 0, 0, w, h, MemDC(), 0, 0, SRCCOPY);
    }
    TakeBitmap(next.ReleaseBitmap());
}

HBITMAP TBitmap::ReleaseBitmap()
{
    if (canvas_) canvas_->SetHandle(nullptr);
    if (dc_ && oldBitmap_) SelectObject(dc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    HBITMAP b = bitmap_.release();
    ReadLayout();
    return b;
}

void TBitmap::TakeBitmap(HBITMAP fresh, bool foreign)
{
    if (canvas_) canvas_->SetHandle(nullptr);
    if (dc_ && oldBitmap_) SelectObject(dc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    bitmap_.reset(fresh);
    ReadLayout(foreign);
    if (dc_ && bitmap_) oldBitmap_ = SelectObject(dc_.get(), bitmap_.get());
    if (canvas_) canvas_->SetHandle(MemDC());
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    DIBSECTION ds{};
    if (bitmap && GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds) {
        // A device bitmap: copied into a 24-bit DIB section.
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        TBitmapHandle device(bitmap);
        format_ = pf24bit;
        HBITMAP fresh = CreateDib(info.bmWidth, info.bmHeight, pf24bit, nullptr);
        TMemDC from(CreateCompatibleDC(nullptr)), to(CreateCompatibleDC(nullptr));
        TSelectGuard g1(from.get(), device.get()), g2(to.get(), fresh);
        BitBlt(to.get(), 0, 0, info.bmWidth, info.bmHeight, from.get(), 0, 0, SRCCOPY);
        bitmap = fresh;
    }
    TakeBitmap(bitmap, true);
    Changed();
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other == this) return;
    transparent_ = other.transparent_;
    transparentColor_ = other.transparentColor_;
    TakeBitmap(nullptr);
    format_ = IsIndexed(other.format_) || IsTrueColour(other.format_) ? other.format_ : pf24bit;
    palette_.reset(CopyPalette(other.palette_.get()));
    if (!other.Empty()) {
        TakeBitmap(CreateDib(other.width_, other.height_, format_, &other));
        if (format_ == other.format_) {
            GdiFlush();
            size_t rowBytes = static_cast<size_t>(stride_);
            for (int y = 0; y < height_; ++y)
                std::memcpy(ScanLine(y), other.ScanLine(y), rowBytes);
        } else {
            BitBlt(MemDC(), 0, 0, width_, height_, other.MemDC(), 0, 0, SRCCOPY);
        }
    }
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (!IsIndexed(format) && !IsTrueColour(format)) throw EInvalidOperation("Ungültiges Pixelformat");
    if (format == format_) return;
    if (!bitmap_) {
        format_ = format;
        return;
    }
    Replace(CreateDib(width_, height_, format, this));
    Changed();
}

void* TBitmap::ScanLine(int y) const
{
    if (!bitmap_ || y < 0 || y >= height_) throw ERangeError();
    GdiFlush();
    return bits_ + (topDown_ ? y : height_ - 1 - y) * stride_;
}

ptrdiff_t TBitmap::RowStep() const
{
    if (!bitmap_) return 0;
    return topDown_ ? stride_ : -stride_;
}

void TBitmap::SetPalette(HPALETTE palette)
{
    palette_.reset(palette);
    if (palette && bitmap_ && IsIndexed(format_)) {
        int count = 1 << FormatBits(format_);
        std::vector<RGBQUAD> table = PaletteColours(palette, count);
        SetDIBColorTable(MemDC(), 0, static_cast<UINT>(count), table.data());
        Changed();
    }
}

void TBitmap::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TBitmap::LoadFromStream(TStream& stream)
{
    TBmpPicture picture;
    ReadBmp(stream, picture);
    if (picture.Width == 0) {
        TakeBitmap(nullptr);
        Changed();
        return;
    }
    // The colour table, or the three masks of bit-field pixels, follows the header.
    const size_t tail = picture.Masks ? 3 * sizeof(DWORD) : picture.Colors.size() * sizeof(RGBQUAD);
    std::vector<uint8_t> mem(sizeof(BITMAPINFOHEADER) + std::max(tail, sizeof(RGBQUAD)));
    auto* bi = reinterpret_cast<BITMAPINFO*>(mem.data());
    bi->bmiHeader.biSize = sizeof bi->bmiHeader;
    bi->bmiHeader.biWidth = picture.Width;
    bi->bmiHeader.biHeight = picture.Height;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = static_cast<WORD>(picture.Bits);
    bi->bmiHeader.biCompression = picture.Masks ? BI_BITFIELDS : BI_RGB;
    bi->bmiHeader.biClrUsed = static_cast<DWORD>(picture.Colors.size());
    if (picture.Masks)
        std::memcpy(bi->bmiColors, picture.ColorMasks, sizeof picture.ColorMasks);
    else if (!picture.Colors.empty())
        std::memcpy(bi->bmiColors, picture.Colors.data(), picture.Colors.size() * sizeof(RGBQUAD));
    void* bits = nullptr;
    TBitmapHandle fresh(CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!fresh || !bits) throw EInvalidGraphic("Bitmap kann nicht angelegt werden");
    auto* rows = static_cast<uint8_t*>(bits);
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(rows + static_cast<size_t>(picture.Height - 1 - y) * picture.Stride, picture.Row(y),
                    picture.Stride);
    palette_.reset();
    TakeBitmap(fresh.release());
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const RECT& r) const
{
    if (Empty()) return;
    // The bitmap stays selected into its own memory DC (a bitmap can be in one DC only).
    HDC src = MemDC(), dest = canvas.Handle();
    int w = r.right - r.left, h = r.bottom - r.top;
    if (transparent_ && transparentColor_ != clNone) {
        TransparentBlt(dest, r.left, r.top, w, h, src, 0, 0, width_, height_, ColorToRGB(transparentColor_));
    } else if (w == width_ && h == height_) {
        BitBlt(dest, r.left, r.top, w, h, src, 0, 0, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(dest, HALFTONE);
        StretchBlt(dest, r.left, r.top, w, h, src, 0, 0, width_, height_, SRCCOPY);
        SetStretchBltMode(dest, oldMode);
    }
}

void TBitmap::LoadFromResource(HINSTANCE instance, const char* name)
{
    HBITMAP b = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!b) throw EComponentError(std::string("Bitmap-Ressource ") + name + " nicht gefunden");
    TakeBitmap(b, true);
    Changed();
}

void TBitmap::SaveToFile(const std::string& fileName) const
{
    int stride = (width_ * 3 + 3) & ~3;
    std::vector<char> bits(static_cast<size_t>(stride * height_));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = height_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    if (bitmap_) GetDIBits(MemDC(), bitmap_.get(), 0, static_cast<UINT>(height_), bits.data(), &bi, DIB_RGB_COLORS);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + bits.size());
    TFileStream f(fileName, fmCreate);
    f.WriteBuffer(&fh, sizeof fh);
    f.WriteBuffer(&bi.bmiHeader, sizeof bi.bmiHeader);
    if (!bits.empty()) f.WriteBuffer(bits.data(), bits.size());
}
