#include "skin/controls/sCheckBox.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "gui/base/SysUtils.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/engine/vxAlphaImageList.h"
#include "skin/windows/sFade.h"
#include "skin/windows/sVclUtils.h"

namespace {
TShiftState MouseShift(WPARAM w)
{
    TShiftState s = KeyboardShiftState();
    if (w & MK_LBUTTON) s |= ssLeft;
    if (w & MK_RBUTTON) s |= ssRight;
    if (w & MK_MBUTTON) s |= ssMiddle;
    return s;
}

// A square frame of a strip: width div (width div height) when the width is a multiple of the
// height.
SIZE FrameOf(int w, int h)
{
    if (h > 0 && w > h && w % h == 0) w /= w / h;
    return SIZE{w, h};
}

// Frame `frame` (limited to the last one) of a strip of frames of size s into the cache at
// (x, y): a 32-bit strip with its alpha over what the cache holds, any other one opaque.
void DrawStripFrame(TBitmap& cache, int x, int y, TBitmap& strip, SIZE s, int frame)
{
    const int frames = std::max<int>(strip.Width() / std::max<int>(s.cx, 1), 1);
    frame = std::clamp(frame, 0, frames - 1);
    if (strip.PixelFormat() == pf32bit)
        CopyAlphaOverCache(&cache, TRect{x, y, x + s.cx, y + s.cy}, &strip, TsCacheInfo{}, TPoint{frame * s.cx, 0});
    else BitBlt(cache.Canvas().Handle(), x, y, s.cx, s.cy, strip.Canvas().Handle(), frame * s.cx, 0, SRCCOPY);
}
} // namespace

TsCheckBox::TsCheckBox(TComponent* owner)
    : TsLinkedControl(owner), glyphChecked_(std::make_unique<TBitmap>()), glyphUnChecked_(std::make_unique<TBitmap>())
{}

TsCheckBox::~TsCheckBox() { StopFade(fade_); }

void TsCheckBox::Loaded()
{
    TsLinkedControl::Loaded();
    SkinData().UpdateControlColors();
    AdjustSize();
}

void TsCheckBox::SetState(TCheckBoxState state)
{
    if (state == State()) return;
    const bool loading = InState(csLoading);
    if (!loading) SkinData().BGChanged = true;
    grayed_ = state == cbGrayed;
    checked_ = state == cbChecked;
    if (handle_ && !SkinnedNow())
        SendMessageA(handle_, BM_SETCHECK, grayed_ ? BST_INDETERMINATE : checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!loading) {
        Changed();
        Click();
        Repaint();
    }
}

void TsCheckBox::SetChecked(bool v)
{
    // The box's look must follow a change made outside loading.
    SetState(v ? cbChecked : cbUnchecked);
}

void TsCheckBox::Toggle()
{
    switch (State()) {
    case cbUnchecked:
        SetState(cbChecked);
        break;
    case cbChecked:
        SetState(AllowGrayed ? cbGrayed : cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbUnchecked);
        break;
    }
}

void TsCheckBox::SetAlignment(TAlignment a)
{
    if (!StoreIfChanged(alignment_, a)) return;
    if (SkinnedNow()) SkinData().Invalidate();
    else if (HandleAllocated()) RecreateWnd(); // the plain box takes it from its window style
}

void TsCheckBox::SetAutoSize(bool on)
{
    if (StoreIfChanged(autoSize_, on)) {
        AdjustSize();
    }
}

void TsCheckBox::SetWordWrap(bool on)
{
    if (StoreIfChanged(wordWrap_, on)) {
        AdjustSize();
        Invalidate();
    }
}

void TsCheckBox::SetMargin(int margin)
{
    if (StoreIfChanged(margin_, margin)) {
        AdjustSize();
        Invalidate();
    }
}

void TsCheckBox::SetTextIndent(int indent)
{
    if (StoreIfChanged(textIndent_, indent)) {
        AdjustSize();
        Invalidate();
    }
}

void TsCheckBox::SetShowFocus(bool on)
{
    if (StoreIfChanged(showFocus_, on)) {
        Invalidate();
    }
}

void TsCheckBox::SetDisabledKind(unsigned kinds)
{
    if (StoreIfChanged(disabledKind_, kinds)) {
        SkinData().Invalidate();
    }
}

void TsCheckBox::SetGlyphChecked(const TBitmap& bmp)
{
    glyphChecked_->Assign(bmp);
    AdjustSize();
    SkinData().Invalidate();
}

void TsCheckBox::SetGlyphUnChecked(const TBitmap& bmp)
{
    glyphUnChecked_->Assign(bmp);
    AdjustSize();
    Invalidate();
}

void TsCheckBox::SetImages(TCustomImageList* images)
{
    if (images_ == images) return;
    images_ = images;
    AdjustSize();
    SkinData().Invalidate();
}

void TsCheckBox::SetImgChecked(int index)
{
    if (StoreIfChanged(imgChecked_, index)) {
        AdjustSize();
        if (Checked()) SkinData().Invalidate();
    }
}

void TsCheckBox::SetImgUnchecked(int index)
{
    if (StoreIfChanged(imgUnchecked_, index)) {
        AdjustSize();
        if (!Checked()) SkinData().Invalidate();
    }
}

void TsCheckBox::Notification(TComponent* component)
{
    TsLinkedControl::Notification(component);
    if (component == images_) images_ = nullptr;
}

void TsCheckBox::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "State")) {
        const std::string s = v.AsIdent();
        SetState(SameText(s, "cbChecked") ? cbChecked : SameText(s, "cbGrayed") ? cbGrayed : cbUnchecked);
    } else if (SameText(name, "AllowGrayed")) AllowGrayed = v.AsBool();
    else if (SameText(name, "ReadOnly")) ReadOnly = v.AsBool();
    else if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
    else if (SameText(name, "WordWrap")) SetWordWrap(v.AsBool());
    else if (SameText(name, "Margin")) SetMargin(v.AsInt());
    else if (SameText(name, "TextIndent")) SetTextIndent(v.AsInt());
    else if (SameText(name, "ShowFocus")) SetShowFocus(v.AsBool());
    else if (SameText(name, "ImgChecked")) SetImgChecked(v.AsInt());
    else if (SameText(name, "ImgUnchecked")) SetImgUnchecked(v.AsInt());
    else TCheckBox::SetProperty(name, v);
}

bool TsCheckBox::SkinnedNow() const { return SkinData().Skinned(true); }

bool TsCheckBox::ImageListUsable() const { return images_ && imgChecked_ >= 0 && imgUnchecked_ >= 0; }

int TsCheckBox::SkinGlyphIndex() const
{
    const TsSkinManager* m = SkinData().GetSkinManager();
    if (!m) return -1;
    const TsCommonIndexes& ci = m->CommonIndexes;
    return State() == cbChecked ? ci.BoxChecked : State() == cbGrayed ? ci.BoxGrayed : ci.BoxUnchecked;
}

SIZE TsCheckBox::GlyphSize() const
{
    if (ImageListUsable()) return FrameOf(images_->Width(), images_->Height());
    const TBitmap& g = Checked() ? *glyphChecked_ : *glyphUnChecked_;
    if (g.Width() > 0 && g.Height() > 0) return FrameOf(g.Width(), g.Height());
    const TsSkinManager* m = SkinData().GetSkinManager();
    const int box = m ? m->CommonIndexes.BoxChecked : -1;
    if (SkinnedNow() && m->IsValidImgIndex(box)) {
        const TsMaskData& d = m->MaskData[static_cast<size_t>(box)];
        const int w = d.R.Right - d.R.Left, h = d.R.Bottom - d.R.Top;
        return SIZE{w / std::max<int>(d.ImageCount, 1), h / (d.MaskType + 1)};
    }
    return SIZE{16, 16};
}

TAlignment TsCheckBox::EffectiveAlignment() const
{
    if (!UseRightToLeftAlignment()) return alignment_;
    return alignment_ == taLeftJustify ? taRightJustify : alignment_ == taRightJustify ? taLeftJustify : alignment_;
}

TRect TsCheckBox::GlyphRect() const
{
    const SIZE g = GlyphSize();
    const int top = (height_ - g.cy) / 2;
    const int left = EffectiveAlignment() == taRightJustify ? margin_ : width_ - margin_ - g.cx;
    return TRect{left, top, left + g.cx, top + g.cy};
}

int TsCheckBox::GlyphFrame() const
{
    if (pressed_) return 2;
    return SkinData().ControlIsActive() && !ReadOnly ? 1 : 0;
}

SIZE TsCheckBox::AutoSizeExtent()
{
    const std::string text = Caption();
    const SIZE t = text.empty() ? SIZE{0, 0} : GetFontTextExtent(Font(), text);
    if (!SkinnedNow()) return SIZE{t.cx + 20, std::max<LONG>(t.cy + 4, 20)};
    const SIZE g = GlyphSize();
    const int w = g.cx + 2 * margin_ + (text.empty() ? 0 : t.cx + textIndent_ + 8);
    const int h = std::max<int>(g.cy, (text.empty() ? 0 : t.cy) + 2 * margin_) + 2;
    return SIZE{w, h};
}

void TsCheckBox::AdjustSize()
{
    if (!autoSize_ || InState(csLoading)) return;
    const SIZE s = AutoSizeExtent();
    if (s.cx != width_ || s.cy != height_) SetBounds(left_, top_, s.cx, s.cy);
}

void TsCheckBox::DrawCaption(TBitmap& cache)
{
    const std::string text = Caption();
    if (text.empty()) return;
    TCanvas& c = cache.Canvas();
    const TRect g = GlyphRect();
    const int w = width_ - (g.Right - g.Left + textIndent_ + 2 * margin_ + 2);
    RECT m{0, 0, w, 0};
    DrawTextStr(c.Handle(), text, m, DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE));
    const int tw = m.right - m.left, th = m.bottom - m.top;
    TRect r;
    r.Top = std::max((height_ - th) / 2, margin_);
    r.Bottom = r.Top + th;
    if (EffectiveAlignment() == taRightJustify) {
        r.Left = width_ - w - margin_ + 2;
        r.Right = r.Left + tw;
    } else {
        r.Left = margin_;
        r.Right = margin_ + w;
    }
    r.Top -= 1;
    r.Bottom -= 1;
    if (wordWrap_) {
        r.Left -= 1;
        r.Right -= 1;
    }
    TsLinkFields f = SkinData().Fields();
    const int state = SkinData().ControlIsActive() && !ReadOnly ? 1 : 0;
    WriteControlText(c, text, true, state, f, wordWrap_ ? 0x11u : 0x20u, r);
    c.Pen().SetStyle(psClear);
    c.Brush().SetStyle(bsSolid);
    if (Focused() && showFocus_) {
        r.Top += 1;
        if (!wordWrap_) r.Bottom -= 1;
        TRect fr{std::max(r.Left - 1, 0), std::max(r.Top - 1, 0), std::min(r.Right + 1, width_),
                 std::min(r.Bottom + 1, height_)};
        if (fr.Right > fr.Left && fr.Bottom > fr.Top) DrawFocusDots(c, fr);
    }
}

void TsCheckBox::DrawGlyph(TBitmap& cache)
{
    const TRect g = GlyphRect();
    if (ImageListUsable()) {
        const int index = Checked() ? imgChecked_ : imgUnchecked_;
        if (index >= images_->Count()) return;
        const SIZE s = GlyphSize();
        if (s.cx >= images_->Width()) {
            images_->Draw(cache.Canvas(), g.Left, g.Top, index, true);
            return;
        }
        // A strip of square frames: the state's frame of the item.
        auto item = CreateBmp32(images_->Width(), images_->Height());
        bool fetched = false;
        try {
            fetched = GetImageListItem32(images_, index, item.get());
        } catch (const std::exception&) {
            // An item whose picture cannot be read draws nothing.
        }
        if (fetched) DrawStripFrame(cache, g.Left, g.Top, *item, s, GlyphFrame());
        return;
    }
    TBitmap& own = Checked() ? *glyphChecked_ : *glyphUnChecked_;
    if (own.Width() > 0 && own.Height() > 0) {
        DrawStripFrame(cache, g.Left, g.Top, own, GlyphSize(), GlyphFrame());
        return;
    }
    const TsSkinManager* m = SkinData().GetSkinManager();
    const int index = SkinGlyphIndex();
    if (m && m->IsValidImgIndex(index)) {
        const int frames = std::max<int>(m->MaskData[static_cast<size_t>(index)].ImageCount, 1);
        DrawMaskGlyph(&cache, TPoint{g.Left, g.Top}, std::min(GlyphFrame(), frames - 1), m, index);
    }
}

void TsCheckBox::PrepareCache()
{
    TsCommonData& sd = SkinData();
    TBitmap* cache = sd.FCacheBmp.get();
    if (!cache) return;
    if (cache->Width() != width_ || cache->Height() != height_) cache->SetSize(width_, height_);
    cache->Canvas().Font() = Font();
    TsLinkFields f = sd.Fields();
    f.State = sd.ControlIsActive() && !ReadOnly ? 1 : 0;
    PaintItem(f, ParentPaintedInto(*cache), true, f.State, cache, TPoint{}, TRect{0, 0, width_, height_});
    DrawCaption(*cache);
    DrawGlyph(*cache);
    if (!Enabled()) {
        TsCacheInfo pc;
        GetParentCacheInfo(&sd, pc);
        ApplyDisabledKind(cache, disabledKind_, TPoint{left_, top_}, pc, f.ParentColor);
    }
    sd.BGChanged = false;
}

TsCacheInfo TsCheckBox::ParentPaintedInto(TBitmap& cache)
{
    TControl* parent = Parent();
    if (!parent) return TsCacheInfo{};
    TsBackgroundInfo info;
    info.PleaseDraw = 1;
    info.DrawDC = cache.Canvas().Handle();
    info.R = TRect{0, 0, width_, height_};
    info.Offset = TPoint{left_, top_};
    const bool answered = GetParentBackground(parent, info, true);
    GdiFlush();
    // A parent that answers with its colour gave the colour; otherwise what it painted into
    // the cache (its cache, or its own painting when it did not answer) is the background.
    // (A cache answer that names a bitmap instead of painting gives the bitmap and the place of
    // the box in it.)
    if (answered && (info.BgType == btFill || info.Bmp)) return BackgroundToCacheInfo(info);
    return MakeCacheInfo(&cache, 0, 0);
}

void TsCheckBox::PaintHandler(HDC given)
{
    TsCommonData& sd = SkinData();
    PAINTSTRUCT ps{};
    HDC dc = given ? given : BeginPaint(handle_, &ps);
    const int saved = SaveDC(dc);
    if (sd.GetUpdating()) {
        sd.Updating = true;
    } else if (!(fade_ && fade_->Direction())) {
        PrepareCache();
        FillParentCorners(sd.Fields(), sd.ControlIsActive() ? 1 : 0);
        BitBlt(dc, 0, 0, width_, height_, sd.FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(dc, saved);
    if (!given) EndPaint(handle_, &ps);
}

void TsCheckBox::TakeFocus()
{
    if (Focused() || !handle_) return;
    SetFocus();
}

void TsCheckBox::WndProc(TMessage& m)
{
    TsCommonData& sd = SkinData();
    if (m.Msg == SM_VELOCONCMD) {
        if (!AcceptSkinCommand(m)) {
            m.Result = 0;
            return;
        }
        const WORD cmd = HIWORD(m.WParam);
        const bool own = FromOwnManager(sd, m.LParam);
        switch (cmd) {
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdSkinChangeDone:
            StopFade(fade_);
            return;
        case cmdSkinChanged:
            if (!own) break;
            StopFade(fade_);
            HandleControlMessage(m, sd);
            return;
        case cmdRemoveSkin:
            if (!own) break;
            StopFade(fade_);
            HandleControlMessage(m, sd);
            if (handle_) {
                SendMessageA(handle_, BM_SETCHECK,
                             State() == cbGrayed    ? BST_INDETERMINATE
                             : State() == cbChecked ? BST_CHECKED
                                                    : BST_UNCHECKED,
                             0);
                CallSetWindowTheme(handle_, nullptr, nullptr);
            }
            AdjustSize();
            Repaint();
            return;
        case cmdRefresh:
            if (!own) break;
            StopFade(fade_);
            HandleControlMessage(m, sd);
            AdjustSize();
            // A box that does not show now (its form frozen for the change, or hidden) is
            // painted when it shows.
            if (handle_ && IsWindowVisible(handle_)) Repaint();
            return;
        case cmdRefreshCache:
            PrepareCache();
            break;
        default:
            break;
        }
    }
    const bool skinned = SkinnedNow();
    if (skinned) {
        switch (m.Msg) {
        case CM_MOUSEENTER:
            if (Enabled() && !sd.MouseAbove) {
                sd.MouseAbove = true;
                RepaintWithFade(fade_, &sd, false, AnimEventEnabled(aeMouseEnter, AnimatEvents, nullptr), 1);
            }
            break;
        case CM_MOUSELEAVE:
            if (Enabled()) {
                sd.MouseAbove = false;
                pressed_ = false;
                RepaintWithFade(fade_, &sd, false, AnimEventEnabled(aeMouseLeave, AnimatEvents, nullptr), 1);
            }
            break;
        case WM_SETFOCUS:
        case CM_ENTER:
            if (!Enabled()) return;
            TsLinkedControl::WndProc(m);
            sd.BGChanged = true;
            if (fade_) fade_->PaintStep();
            else Repaint();
            return;
        case WM_KILLFOCUS:
        case CM_EXIT:
            if (Enabled()) {
                StopFade(fade_);
                SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
                TsLinkedControl::WndProc(m);
                SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
                // The link's own focus handling saw the window hidden by the redraw stop and
                // left its focus flag as it was.
                sd.Focused = false;
                sd.FActive = false;
                sd.MouseAbove = false;
                sd.Invalidate();
                return;
            }
            break;
        default:
            break;
        }
    }
    if (!ControlIsReady(this)) {
        TCheckBox::WndProc(m);
        return;
    }
    if (HandleControlMessage(m, sd)) return;
    if (!skinned) {
        switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_KEYDOWN:
            pressed_ = true;
            break;
        case WM_LBUTTONUP:
        case WM_KEYUP:
            pressed_ = false;
            break;
        case BM_SETCHECK:
        case BM_SETSTATE:
            if (pressed_ && ReadOnly) return;
            break;
        case WM_LBUTTONDBLCLK:
            if (ReadOnly) return;
            break;
        default:
            break;
        }
        TCheckBox::WndProc(m);
        return;
    }
    if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdUpdateEnded && (sd.Updating || sd.PartlyVisible())) {
        sd.Updating = false;
        Repaint();
    }
    switch (m.Msg) {
    case WM_UPDATEUISTATE:
        if (ThemesEnabled()) CallSetWindowTheme(handle_, L" ", L" ");
        return;
    case WM_NCPAINT:
    case WM_ENABLE:
        return;
    case WM_PAINT:
        PaintHandler(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_PRINT:
        sd.Updating = false;
        PaintHandler(reinterpret_cast<HDC>(m.WParam));
        break;
    case BM_SETCHECK:
        if (fade_ && fade_->Step < fade_->Iterations) StopFade(fade_);
        return;
    case BM_GETCHECK:
        // The window's own state stays as the skin found it: State is the truth.
        m.Result = State() == cbGrayed ? BST_INDETERMINATE : State() == cbChecked ? BST_CHECKED : BST_UNCHECKED;
        return;
    case BM_GETSTATE:
        TCheckBox::WndProc(m);
        m.Result = (m.Result & ~3) | (State() == cbGrayed    ? BST_INDETERMINATE
                                      : State() == cbChecked ? BST_CHECKED
                                                             : BST_UNCHECKED);
        return;
    case CM_ENABLEDCHANGED:
        TCheckBox::WndProc(m);
        Repaint();
        return;
    case CM_TEXTCHANGED:
        AdjustSize();
        Repaint();
        return;
    case CM_CHANGED:
        RepaintWithFade(fade_, &sd, true, AnimEventEnabled(aeMouseUp, AnimatEvents, nullptr), 1);
        break;
    case WM_KEYDOWN:
        if (!Enabled() || m.WParam != VK_SPACE) break;
        if (ReadOnly) return;
        pressed_ = true;
        TakeFocus();
        Repaint();
        if (OnKeyDown) {
            WORD key = static_cast<WORD>(m.WParam);
            OnKeyDown(this, key, KeyboardShiftState());
        }
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Enabled()) break;
        if (ReadOnly) return;
        pressed_ = true;
        RepaintWithFade(fade_, &sd, true, AnimEventEnabled(aeMouseDown, AnimatEvents, nullptr), 1);
        TakeFocus();
        if (m.Msg == WM_LBUTTONDBLCLK) {
            if (OnDblClick) OnDblClick(this);
        } else if (OnMouseDown) {
            OnMouseDown(this, mbLeft, MouseShift(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        }
        return;
    case WM_KEYUP:
        if (!Enabled()) break;
        if (ReadOnly) return;
        if (pressed_) {
            pressed_ = false;
            Toggle();
        }
        if (OnKeyUp) {
            WORD key = static_cast<WORD>(m.WParam);
            OnKeyUp(this, key, KeyboardShiftState());
        }
        return;
    case WM_LBUTTONUP:
        if (!Enabled()) break;
        if (ReadOnly) return;
        if (pressed_) {
            pressed_ = false;
            Toggle();
        }
        if (OnMouseUp) OnMouseUp(this, mbLeft, MouseShift(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        return;
    default:
        break;
    }
    TCheckBox::WndProc(m);
}
