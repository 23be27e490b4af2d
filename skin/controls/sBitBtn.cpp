#include "skin/controls/sBitBtn.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/base/SysUtils.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sAlphaBitmap.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sGlyphLayout.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sTextPaint.h"
#include "skin/engine/vxFastBitmaps.h"
#include "skin/windows/sVclUtils.h"

void StubProc() {}

bool StubFalse() { return false; }

TsBitBtn::TsBitBtn(TComponent* owner) : TsButtonControl(owner)
{
    controlStyle_ |= 0x80u; // takes double clicks; only the opaque flag is cleared
}

void TsBitBtn::Changed(bool repaint)
{
    if (repaint && !InState(csLoading) && !InState(csDestroying)) SkinData().Invalidate();
}

void TsBitBtn::SetBlend(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == blend_) return;
    blend_ = percent;
    Changed();
}

void TsBitBtn::SetGrayed(bool on)
{
    if (StoreIfChanged(grayed_, on)) Changed();
}

void TsBitBtn::SetShowCaption(bool on)
{
    if (StoreIfChanged(showCaption_, on)) Changed();
}

void TsBitBtn::SetDrawOverBorder(bool on)
{
    if (StoreIfChanged(drawOverBorder_, on)) Changed();
}

void TsBitBtn::SetAlignment(TAlignment a)
{
    if (StoreIfChanged(alignment_, a)) Changed();
}

void TsBitBtn::SetTextAlignment(TAlignment a)
{
    if (StoreIfChanged(textAlignment_, a)) Changed();
}

void TsBitBtn::SetImages(TCustomImageList* images)
{
    if (!StoreIfChanged(images_, images)) return;
    FollowPlainGlyph();
    Changed();
}

void TsBitBtn::SetImageIndex(int index)
{
    if (!StoreIfChanged(imageIndex_, index)) return;
    FollowPlainGlyph();
    Changed();
}

void TsBitBtn::Notification(TComponent* component)
{
    TsButtonControl::Notification(component);
    if (component == images_) {
        images_ = nullptr;
        FollowPlainGlyph();
        Changed();
    }
}

void TsBitBtn::Invalidate()
{
    SkinData().CacheDirty = true;
    TsButtonControl::Invalidate();
}

void TsBitBtn::Loaded()
{
    TsButtonControl::Loaded();
    if (ImageListUsable()) SetGlyph(nullptr);
}

void TsBitBtn::SetProperty(const std::string& name, const TPropValue& v)
{
    static const TIdentEntry alignments[] = {
        {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
    if (SameText(name, "Blend")) SetBlend(v.AsInt());
    else if (SameText(name, "Grayed")) SetGrayed(v.AsBool());
    else if (SameText(name, "ShowCaption")) SetShowCaption(v.AsBool());
    else if (SameText(name, "DrawOverBorder")) SetDrawOverBorder(v.AsBool());
    else if (SameText(name, "ImageIndex")) SetImageIndex(v.AsInt());
    else if (SameText(name, "Alignment")) SetAlignment(static_cast<TAlignment>(IdentToInt(v, alignments, name)));
    else if (SameText(name, "TextAlignment"))
        SetTextAlignment(static_cast<TAlignment>(IdentToInt(v, alignments, name)));
    else TsButtonControl::SetProperty(name, v);
}

bool TsBitBtn::ImageListUsable() const
{
    return images_ && images_->Count() >= 1 && imageIndex_ >= 0 && imageIndex_ < images_->Count();
}

SIZE TsBitBtn::GlyphSize() const
{
    if (ImageListUsable()) return SIZE{images_->Width() / NumGlyphs(), images_->Height()};
    if (!Glyph().Empty()) return SIZE{Glyph().Width() / NumGlyphs(), Glyph().Height()};
    return SIZE{0, 0};
}

SIZE TsBitBtn::TextSize()
{
    const std::string text = Caption();
    if (!showCaption_ || text.empty()) return SIZE{0, 0};
    const SIZE g = GlyphSize();
    int w = width_ - 2 * Margin();
    if ((Layout() == blGlyphLeft || Layout() == blGlyphRight) && g.cx > 0) w -= g.cx + Spacing();
    TCanvas& c = SkinData().FCacheBmp->Canvas();
    c.Font() = Font();
    RECT r{0, 0, std::max(w, 0), 0};
    DrawTextStr(c.Handle(), text, r,
                TextAlignFlags(this, textAlignment_) | DT_CALCRECT | (WordWrap ? DT_WORDBREAK : 0u));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TRect TsBitBtn::GlyphRect(int state)
{
    const SIZE g = GlyphSize(), t = TextSize();
    const int gw = g.cx, gh = g.cy, tw = t.cx, th = t.cy;
    const int sp = showCaption_ && gw > 0 && !Caption().empty() ? Spacing() : 0;
    const int tm = Margin() >= 0 ? Margin() + 3 : 0;
    const int h = (width_ - gw - sp - tw) / 2 - tm, v = (height_ - gh - sp - th) / 2 - tm;
    int x = 0, y = 0;
    switch (Layout()) {
    case blGlyphLeft:
        x = alignment_ == taLeftJustify ? tm : alignment_ == taRightJustify ? tm + 2 * h : tm + h;
        y = (height_ - gh) / 2;
        break;
    case blGlyphRight:
        x = alignment_ == taLeftJustify    ? width_ - tm - 2 * h - sp - gw
            : alignment_ == taRightJustify ? width_ - gw - tm
                                           : (width_ - gw + sp + tw) / 2;
        y = (height_ - gh) / 2;
        break;
    case blGlyphTop:
        x = (width_ - gw) / 2 + 1;
        y = tm + v;
        break;
    case blGlyphBottom:
        x = (width_ - gw) / 2 + 1;
        y = height_ - tm - v - gh;
        break;
    }
    if (state == 2) {
        ++x;
        ++y;
    }
    TRect r{x, y, x + gw, y + gh};
    if (Reflected) {
        r.Top -= gw / 6;
        r.Bottom -= gw / 6;
    }
    return r;
}

void TsBitBtn::DrawGlyph(TBitmap& target, int state, bool skinned)
{
    const TRect r = GlyphRect(state);
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    if (ImageListUsable()) DrawListGlyph(target, r, state, skinned);
    else if (!Glyph().Empty()) DrawBitmapGlyph(target, r, state);
}

namespace {
bool HasOpaquePixel(TBitmap& bmp)
{
    const TvxScanLines s = ScanLinesOf(&bmp);
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x)
            if (s.Row(y)[x * 4 + 3] == 255) return true;
    return false;
}
} // namespace

void TsBitBtn::DrawBitmapGlyph(TBitmap& target, const TRect& r, int state)
{
    TBitmap& g = Glyph();
    // A 32-bit picture without a single opaque pixel carries no real alpha channel.
    if (g.PixelFormat() == pf32bit && !HasOpaquePixel(g)) g.SetPixelFormat(pf24bit);
    const bool grayedOff = !Enabled() && (DisabledGlyphKind & (1u << dgGrayed));
    const int blend = state != 0 ? 0 : grayedOff ? std::max(50, blend_) : blend_;
    const bool grey = grayedOff || (state == 0 && grayed_);
    if (g.PixelFormat() != pf32bit) {
        DrawGlyphBitmap(&g, &target, r, state, NumGlyphs(), blend, grey);
        return;
    }
    // The state's frame with its alpha; Blend takes that share of each pixel's opacity.
    const int fw = r.Right - r.Left, fh = r.Bottom - r.Top;
    auto work = CreateBmp32(fw, fh);
    const TvxScanLines src = ScanLinesOf(&g), dst = ScanLinesOf(work.get());
    const int left = std::min(state, NumGlyphs() - 1) * fw;
    for (int y = 0; y < fh && y < src.Height; ++y)
        std::copy_n(src.Row(y) + left * 4, std::min(fw, src.Width - left) * 4, dst.Row(y));
    if (blend > 0)
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x) {
                uint8_t& a = dst.Row(y)[x * 4 + 3];
                a = static_cast<uint8_t>(a * (100 - blend) / 100);
            }
    if (grey) GrayBitmap(work.get());
    // A reflection takes half the glyph's height below it.
    const TRect dest{r.Left, r.Top, r.Right, r.Bottom + (Reflected ? fh / 2 : 0)};
    DrawAlphaBitmap(&target, dest, work.get(), TRect{0, 0, fw, fh}, 0, false, 0x1FFFFFFF, Reflected);
}

namespace {
// The list's item on a bitmap of the given size filled with the key colour first.
std::unique_ptr<TBitmap> ItemOverKey(const TCustomImageList& list, int index, int width, int height)
{
    auto work = CreateBmp24(width, height);
    work->Canvas().Brush().SetColor(clFuchsia);
    work->Canvas().FillRect(RECT{0, 0, width, height});
    list.Draw(work->Canvas(), 0, 0, index, true);
    return work;
}
} // namespace

void TsBitBtn::DrawListGlyph(TBitmap& target, const TRect& r, int state, bool skinned)
{
    // The item over the key colour, then copied without it: greyed, or (skinned) blended with
    // what lies below by the disabled half or by Blend in the normal state.
    const TColor key = clFuchsia;
    const auto item = ItemOverKey(*images_, imageIndex_, r.Right - r.Left, r.Bottom - r.Top);
    TBitmap& work = *item;
    const bool enabled = Enabled();
    if (enabled ? skinned && state == 0 && grayed_ : (DisabledGlyphKind & (1u << dgGrayed)) != 0)
        GrayBitmapExceptColor(&work, key);
    const double factor = !skinned                   ? 0.0
                          : !enabled                 ? ((DisabledGlyphKind & (1u << dgBlended)) ? 0.5 : 0.0)
                          : state == 0 && blend_ > 0 ? blend_ / 100.0
                                                     : 0.0;
    if (factor > 0)
        BlendBitmapRect(&target, r.Left, r.Top, key, factor, TRect{0, 0, work.Width() - 1, work.Height() - 1}, &work);
    else CopyBitmapExceptColor(&target, &work, r.Left, key, r.Top);
}

void TsBitBtn::StopOwnFade() { Perform(SM_VELOCONCMD, MAKEWPARAM(0, cmdSkinChangeDone), 0); }

void TsBitBtn::WndProc(TMessage& m)
{
    TsCommonData& sd = SkinData();
    if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdRemoveSkin) {
        // Without the skin the button stays owner-drawn while it has a glyph to draw itself.
        const bool own = FromOwnManager(sd, m.LParam);
        TsButtonControl::WndProc(m);
        if (own) FollowPlainGlyph(true);
        return;
    }
    if (!(sd.Skinned(true) && ControlIsReady(this))) {
        // The mouse-above flag follows the pointer also without a skin.
        if (m.Msg == CM_MOUSEENTER) sd.MouseAbove = true;
        else if (m.Msg == CM_MOUSELEAVE) sd.MouseAbove = false;
        // A glyph given since the last paint can change the window's kind.
        if (m.Msg == WM_PAINT) FollowPlainGlyph();
        if (m.Msg == CN_DRAWITEM && DrawsItselfPlain()) {
            DrawPlain(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
            m.Result = 1;
            return;
        }
        TsButtonControl::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_PRINT: // the updating state stays as it is
        stateChanged_ = true;
        PaintButton(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_SIZE: // the glows stay
        stateChanged_ = true;
        TsLinkedControl::WndProc(m);
        return;
    case WM_SETTEXT:
        // A hidden button keeps its text too; a shown one takes it without flicker and then
        // shows it (the invalidation during the quiet window is lost).
        if (Showing()) {
            StopOwnFade();
            SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
            TsButtonControl::WndProc(m);
            SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
            sd.Invalidate();
            return;
        }
        break;
    default:
        break;
    }
    TsButtonControl::WndProc(m);
}

void TsBitBtn::CachePainted()
{
    if (OnPaint) OnPaint(this, SkinData().FCacheBmp.get());
}

TRect TsBitBtn::CaptionRectFor(int state)
{
    const SIZE g = GlyphSize(), t = TextSize();
    TPoint glyphPos;
    TRect textRect;
    CalcGlyphLayout(TRect{0, 0, width_, height_}, state == 2 ? TPoint{1, 1} : TPoint{}, TPoint{g.cx, g.cy},
                    TPoint{t.cx, t.cy}, Layout(), Margin(), Spacing(), glyphPos, textRect,
                    UseRightToLeftAlignment() ? glRightToLeft : 0u);
    return textRect;
}

UINT TsBitBtn::CaptionFlags() const
{
    return TextAlignFlags(this, textAlignment_) | DT_EXPANDTABS | (WordWrap ? DT_WORDBREAK : 0u);
}

void TsBitBtn::DrawContent()
{
    const int state = CurrentState();
    if (showCaption_) WriteCaption(CaptionRectFor(state), CaptionFlags());
    DrawGlyph(*SkinData().FCacheBmp, state, true);
}

bool TsBitBtn::DrawsItselfPlain() const
{
    return ImageListUsable() || (!Glyph().Empty() && Glyph().PixelFormat() == pf32bit);
}

void TsBitBtn::CreateParams(TCreateParams& p)
{
    TsButtonControl::CreateParams(p);
    if (DrawsItselfPlain()) p.style = (p.style & ~0xFu) | BS_OWNERDRAW;
}

void TsBitBtn::FollowPlainGlyph(bool skinGone)
{
    if (!handle_ || (!skinGone && SkinData().Skinned(true))) return;
    const LONG style = GetWindowLongA(handle_, GWL_STYLE) & 0xFFFF;
    const bool ownerDrawn = (style & 0xF) == BS_OWNERDRAW;
    if (ownerDrawn == DrawsItselfPlain()) return;
    const LONG kind = DrawsItselfPlain() ? BS_OWNERDRAW : Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    SendMessageA(handle_, BM_SETSTYLE, static_cast<WPARAM>((style & ~0xF) | kind), TRUE);
}

namespace {
using THandleTheme = HANDLE;
// The platform's themed push button (BP_PUSHBUTTON in the state) over the parent's background;
// false when the theme library has no such element.
bool DrawThemedButton(HWND wnd, HDC dc, const RECT& r, int themeState)
{
    HMODULE ux = GetModuleHandleA("UXTHEME");
    if (!ux) return false;
    using TOpen = THandleTheme(WINAPI*)(HWND, LPCWSTR);
    using TClose = HRESULT(WINAPI*)(THandleTheme);
    using TDraw = HRESULT(WINAPI*)(THandleTheme, HDC, int, int, const RECT*, const RECT*);
    using TParent = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    const auto proc = [ux](const char* name) { return reinterpret_cast<void*>(GetProcAddress(ux, name)); };
    const auto open = reinterpret_cast<TOpen>(proc("OpenThemeData"));
    const auto close = reinterpret_cast<TClose>(proc("CloseThemeData"));
    const auto draw = reinterpret_cast<TDraw>(proc("DrawThemeBackground"));
    const auto parent = reinterpret_cast<TParent>(proc("DrawThemeParentBackground"));
    if (!open || !close || !draw) return false;
    THandleTheme theme = open(wnd, L"BUTTON");
    if (!theme) return false;
    if (parent) parent(wnd, dc, &r);
    draw(theme, dc, 1, themeState, &r, nullptr);
    close(theme);
    return true;
}
} // namespace

void TsBitBtn::DrawPlain(const DRAWITEMSTRUCT& item)
{
    if (width_ <= 0 || height_ <= 0) return;
    // Drawn into a bitmap of the button's size first, so that the glyph routines find pixels.
    const RECT r{0, 0, width_, height_};
    auto buf = CreateBmp24(width_, height_);
    TCanvas& c = buf->Canvas();
    HDC dc = c.Handle();
    const bool pressed = item.itemState & ODS_SELECTED, disabled = item.itemState & ODS_DISABLED;
    const bool focused = item.itemState & ODS_FOCUS, defaulted = Default() || focused;
    if (ThemesEnabled() && DrawThemedButton(handle_, dc, r,
                                            disabled                ? 4
                                            : pressed               ? 3
                                            : SkinData().MouseAbove ? 2
                                            : defaulted             ? 5
                                                                    : 1)) {
        if (Default() && focused) {
            RECT fr{3, 3, width_ - 3, height_ - 3};
            DrawFocusRect(dc, &fr);
        }
    } else {
        RECT fr = r;
        if (defaulted) {
            FrameRect(dc, &fr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            InflateRect(&fr, -1, -1);
        }
        if (pressed) {
            FillRect(dc, &fr, GetSysColorBrush(COLOR_BTNFACE));
            FrameRect(dc, &fr, GetSysColorBrush(COLOR_BTNSHADOW));
        } else {
            DrawFrameControl(dc, &fr, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (disabled ? DFCS_INACTIVE : 0u));
        }
        if (Default() && focused) {
            RECT fo{4, 4, width_ - 4, height_ - 4};
            DrawFocusRect(dc, &fo);
        }
    }
    const int state = pressed ? 2 : SkinData().MouseAbove || focused ? 1 : 0;
    if (showCaption_ && !Caption().empty()) {
        c.Font() = Font();
        SetBkMode(dc, TRANSPARENT);
        const UINT flags = CaptionFlags() | DrawTextBiDiModeFlagsReadingOnly();
        const TRect t = CaptionRectFor(state);
        RECT tr{t.Left, t.Top, t.Right, t.Bottom};
        if (disabled) {
            RECT shifted{tr.left + 1, tr.top + 1, tr.right + 1, tr.bottom + 1};
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextStr(dc, Caption(), shifted, flags);
            SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        } else {
            SetTextColor(dc, ColorToRGB(Font().Color()));
        }
        DrawTextStr(dc, Caption(), tr, flags);
    }
    DrawGlyph(*buf, state, false);
    BitBlt(item.hDC, 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
}

void DrawBtnGlyph(TBitmap* bmp, const TsToolButtonGlyph& button, UINT itemState)
{
    const int state = (itemState & ~CDIS_DISABLED) == 0 ? 0 : (itemState & (CDIS_SELECTED | CDIS_CHECKED)) ? 2 : 1;
    const TCustomImageList* list = state != 0 && button.HotImages && button.HotImages->Count() > button.ImageIndex
                                       ? button.HotImages
                                       : button.Images;
    if (!bmp || !list || list->Width() <= 0 || list->Height() <= 0) return;
    const int lw = list->Width(), lh = list->Height();
    TPoint at;
    if (button.ListStyle) {
        at = TPoint{5, (button.Height - lh) / 2};
    } else {
        const int text = button.ShowCaptions ? bmp->Canvas().TextHeight("A") + 3 : 0;
        at = TPoint{(button.Width - lw) / 2 + 1 - (button.DropDown ? 8 : 0), (button.Height - lh - text) / 2};
    }
    if (state == 2) at = TPoint{at.X + 1, at.Y + 1};
    const auto item = ItemOverKey(*list, button.ImageIndex, lw, lh);
    CopyBitmapExceptColor(bmp, item.get(), at.X, clFuchsia, at.Y);
}
