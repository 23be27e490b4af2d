// Colours, fonts, brushes, pens, canvases and bitmaps over GDI. Every GDI object is owned by
// exactly one of these and freed with it; a canvas selects its tools only while it draws.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gui/base/Classes.h"
#include "gui/base/Handles.h"
#include "gui/base/PixelFormat.h"
#include "gui/base/Progress.h"

class TStream;

// 0x00BBGGRR; values with the high bit set are system colours (0x80000000 | COLOR_xxx).
using TColor = int32_t;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF, clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE), clWindow = SysColor(COLOR_WINDOW),
                 clWindowText = SysColor(COLOR_WINDOWTEXT), clBtnText = SysColor(COLOR_BTNTEXT),
                 clHighlight = SysColor(COLOR_HIGHLIGHT), clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT),
                 clBtnShadow = SysColor(COLOR_BTNSHADOW), clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT),
                 clGrayText = SysColor(COLOR_GRAYTEXT), clInfoBk = SysColor(COLOR_INFOBK),
                 clMenu = SysColor(COLOR_MENU), clActiveCaption = SysColor(COLOR_ACTIVECAPTION);

COLORREF ColorToRGB(TColor c);
// clRed, clBtnFace, $00FF00 (as number), ...; EComponentError for unknown names.
TColor IdentToColor(const TPropValue& v);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont : public TObject {
    GUI_CLASS(TFont, TObject)
    TFont();
    TFont& operator=(const TFont& other); // takes name, height, colour, style, charset
    TFont(const TFont& other) : TObject() { *this = other; }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Height() const { return height_; } // negative: character height in pixels
    void SetHeight(int height);
    int Size() const; // points at the screen's resolution
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    unsigned Style() const { return style_; }
    void SetStyle(unsigned style);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    // Font.Name, Font.Height, Font.Size, Font.Color, Font.Style, Font.Charset from a description.
    bool SetProperty(const std::string& sub, const TPropValue& value);

    HFONT Handle() const; // made when first asked for, kept until the font changes
    std::function<void()> OnChange;

private:
    void Changed();
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    unsigned style_ = 0;
    int charset_ = DEFAULT_CHARSET;
    mutable TFontHandle handle_;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TObject {
    GUI_CLASS(TBrush, TObject)
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle s);
    HBRUSH Handle() const; // none for bsClear
    std::function<void()> OnChange;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    mutable TBrushHandle handle_;
};

enum TPenStyle { psSolid = PS_SOLID, psDash = PS_DASH, psDot = PS_DOT, psClear = PS_NULL };

class TPen : public TObject {
    GUI_CLASS(TPen, TObject)
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    int Width() const { return width_; }
    void SetWidth(int w);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle s);
    HPEN Handle() const;
    std::function<void()> OnChange;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    mutable TPenHandle handle_;
};

class TBitmap;
class TStream;

// Drawing on a DC. The canvas does not own its DC; whoever gives it one (a bitmap, a paint
// message, the printer) takes it back with SetHandle(nullptr) and the canvas deselects its tools.
class TCanvas : public TObject {
    GUI_CLASS(TCanvas, TObject)
    TCanvas();
    ~TCanvas() override;
    HDC Handle() const { return dc_; }
    void SetHandle(HDC dc);

    TFont& Font() { return font_; }
    TBrush& Brush() { return brush_; }
    TPen& Pen() { return pen_; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    void Ellipse(int x1, int y1, int x2, int y2);
    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const RECT& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    SIZE TextExtent(const std::string& text);
    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const RECT& r, const TBitmap& bitmap);
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& src);
    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

private:
    void Select();
    void Deselect();
    HDC dc_ = nullptr;
    TFont font_;
    TBrush brush_;
    TPen pen_;
    HGDIOBJ oldFont_ = nullptr, oldBrush_ = nullptr, oldPen_ = nullptr;
};

// A device-independent bitmap with its own memory DC for the canvas. A new bitmap is 24 bits per
// pixel; PixelFormat chooses 1, 4, 8, 24 or 32 bits (see gui/base/PixelFormat.h). Palette
// formats carry a colour table: the one of the bitmap's palette, else black and white (1 bit),
// the 16 standard colours (4 bits) or the halftone palette (8 bits).
//
// TBitmap is also the base of the graphic formats (gui/Picture.h registers them by file
// extension): a format overrides LoadFromStream, and may override Draw (how a canvas draws it,
// TCanvas::Draw and StretchDraw come here) and Assign. LoadFromFile reads the file through
// LoadFromStream. A decoder reports its progress through Progress (OnProgress).
//
// Direct pixel access: ScanLine(y) is the address of row y (0 = top row); RowStep() the signed
// distance from one row to the next, negative for bitmaps stored bottom-up (those this class
// makes) and positive for top-down ones handed over with SetHandle. Drawing through the canvas
// is finished (GdiFlush) before an address is given out.
//
//   TBitmap b;                       // 24 bits
//   b.SetPixelFormat(pf32bit);       // 32 bits, still empty
//   b.SetSize(10, 10);
//   auto* p = static_cast<uint8_t*>(b.ScanLine(9)) + 4 * 3; // pixel (3, 9): blue, green, red, alpha
class TBitmap : public TObject {
    GUI_CLASS(TBitmap, TObject)
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height); // keeps what fits of the old picture and the pixel format
    void SetWidth(int w) { SetSize(w, height_); }
    void SetHeight(int h) { SetSize(width_, h); }
    bool Empty() const { return !bitmap_; }
    // Takes format, palette, size, pixels and transparency of the other bitmap.
    virtual void Assign(const TBitmap& other);
    void Clear() { SetSize(0, 0); }
    HBITMAP Handle() const { return bitmap_.get(); }
    // Takes ownership of a bitmap (a DIB section of any format and orientation; a device bitmap
    // is copied into a 24-bit one and freed). nullptr empties the bitmap.
    void SetHandle(HBITMAP bitmap);
    TCanvas& Canvas();
    // A bitmap file from the stream's position (gui/base/BmpFormat.h: 1, 4, 8, 16, 24 or 32 bits,
    // uncompressed, bit fields or run-length coded, bottom-up or top-down); the bitmap keeps the
    // file's bit depth and colour table and is stored bottom-up. A width or height of 0 empties
    // it. Broken data raise EInvalidGraphic ("Bitmap ist ungültig"), headers cut short
    // EStreamError. Graphic formats override it.
    virtual void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName); // LoadFromStream over the file
    void LoadFromResource(HINSTANCE instance, const char* name);
    void SaveToFile(const std::string& fileName) const;
    // Draws the picture into the rectangle of the canvas (stretched with HALFTONE when the sizes
    // differ); a transparent bitmap leaves out the pixels of its transparent colour.
    virtual void Draw(TCanvas& canvas, const RECT& rect) const;

    // Transparency: when on, Draw leaves out TransparentColor (clNone: none).
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on) { transparent_ = on; }
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor color) { transparentColor_ = color; }

    // Progress of loading: (sender, stage, percent done 0..100, redraw now, the rows that are
    // ready, text).
    std::function<void(TObject& sender, TProgressStage stage, int percent, bool redrawNow, const RECT& rect,
                       const std::string& message)>
        OnProgress;

    TPixelFormat PixelFormat() const { return format_; }
    // Converts the picture: 24 to 32 bits sets every alpha byte to 255, 32 to 24 drops alpha;
    // conversions to and from palette formats go through GDI (nearest colour of the table).
    // Only pf1bit, pf4bit, pf8bit, pf24bit and pf32bit can be chosen (EInvalidOperation else).
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const; // 1, 4, 8, 16, 24 or 32 (0 for pfDevice and pfCustom)
    // Address of row y, 0 <= y < Height (ERangeError otherwise, also for an empty bitmap).
    void* ScanLine(int y) const;
    // Address of row 1 minus address of row 0 in bytes; 0 for an empty bitmap.
    ptrdiff_t RowStep() const;
    // The palette given with SetPalette (owned by the bitmap), or none.
    HPALETTE Palette() const { return palette_.get(); }
    // Takes ownership of a logical palette; palette formats take its colours into their table.
    void SetPalette(HPALETTE palette);

    // Called after the picture changed (a TImage repaints).
    std::function<void()> OnChange;
    void Changed()
    {
        if (OnChange) OnChange();
    }

protected:
    void Progress(TProgressStage stage, int percent, bool redrawNow, const RECT& rect, const std::string& message)
    {
        if (OnProgress) OnProgress(*this, stage, percent, redrawNow, rect, message);
    }

private:
    friend class TCanvas;
    // foreign: a bitmap this class did not make, whose orientation is found out.
    void TakeBitmap(HBITMAP source, bool foreign = false);
    void Replace(HBITMAP fresh);
    HBITMAP ReleaseBitmap();
    void ReadLayout(bool foreign = false);
    HBITMAP CreateDib(int width, int height, TPixelFormat format, const TBitmap* tableSource) const;
    HDC MemDC() const;
    int width_ = 0, height_ = 0;
    TPixelFormat format_ = pf24bit;
    uint8_t* bits_ = nullptr; // first row in memory
    ptrdiff_t stride_ = 0;    // bytes per row in memory
    bool topDown_ = false;
    TBitmapHandle bitmap_;
    TPaletteHandle palette_;
    bool transparent_ = false;
    TColor transparentColor_ = clNone;
    mutable TMemDC dc_;
    mutable HGDIOBJ oldBitmap_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};
