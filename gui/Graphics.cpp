#include "gui/Graphics.h"

#include <cstring>
#include <vector>

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
    // The bitmap stays selected into its own memory DC (a bitmap can be in one DC only).
    HDC src = bitmap.MemDC();
    BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), src, 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& r, const TBitmap& bitmap)
{
    if (bitmap.Empty()) return;
    // The bitmap stays selected into its own memory DC (a bitmap can be in one DC only).
    HDC src = bitmap.MemDC();
    SetStretchBltMode(dc_, HALFTONE);
    StretchBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, src, 0, 0, bitmap.Width(), bitmap.Height(),
               SRCCOPY);
}

void TCanvas::CopyRect(const RECT& d, TCanvas& source, const RECT& s)
{
    StretchBlt(dc_, d.left, d.top, d.right - d.left, d.bottom - d.top, source.Handle(), s.left, s.top, s.right - s.left,
               s.bottom - s.top, SRCCOPY);
}

COLORREF TCanvas::Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
void TCanvas::SetPixel(int x, int y, TColor c) { ::SetPixel(dc_, x, y, ColorToRGB(c)); }

// ---- TBitmap

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

void TBitmap::SetSize(int width, int height)
{
    if (width == width_ && height == height_) return;
    HBITMAP fresh = nullptr;
    if (width > 0 && height > 0) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        fresh = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bits) std::memset(bits, 0xFF, static_cast<size_t>(((width * 3 + 3) & ~3) * height));
    }
    if (fresh && bitmap_) {
        TMemDC d(CreateCompatibleDC(nullptr));
        TSelectGuard g(d.get(), fresh);
        BitBlt(d.get(), 0, 0, width, height, MemDC(), 0, 0, SRCCOPY);
    }
    TakeBitmap(fresh);
    width_ = fresh ? width : 0;
    height_ = fresh ? height : 0;
    Changed();
}

void TBitmap::TakeBitmap(HBITMAP fresh)
{
    if (canvas_) canvas_->SetHandle(nullptr);
    if (dc_ && oldBitmap_) SelectObject(dc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    bitmap_.reset(fresh);
    if (dc_ && bitmap_) oldBitmap_ = SelectObject(dc_.get(), bitmap_.get());
    if (canvas_) canvas_->SetHandle(MemDC());
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other == this) return;
    TakeBitmap(nullptr);
    width_ = height_ = 0;
    SetSize(other.Width(), other.Height());
    if (!other.Empty()) BitBlt(MemDC(), 0, 0, width_, height_, other.MemDC(), 0, 0, SRCCOPY);
    Changed();
}

void TBitmap::LoadFromFile(const std::string& fileName)
{
    HBITMAP b = static_cast<HBITMAP>(
        LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!b) throw EFOpenError(fileName);
    BITMAP info{};
    GetObjectA(b, sizeof info, &info);
    TakeBitmap(b);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
    Changed();
}

void TBitmap::LoadFromResource(HINSTANCE instance, const char* name)
{
    HBITMAP b = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!b) throw EComponentError(std::string("Bitmap-Ressource ") + name + " nicht gefunden");
    BITMAP info{};
    GetObjectA(b, sizeof info, &info);
    TakeBitmap(b);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
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
