// The title bar of the form's image: the system and user buttons (their images, places and
// states), the title icon, the caption with the added title, the TITLEBAR strip; and the
// repaint of one button when its state changes.
#include <algorithm>
#include <utility>

#include "gui/Forms.h"
#include "skin/engine/sAlphaBitmap.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/engine/sSysUtils.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sSysMenu.h"
#include "skin/windows/vxGlow.h"
#include "skin/windows/vxSBAnimation.h"

namespace {

enum { btMin, btMax, btClose, btHelp };

constexpr UINT CaptionFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

// The system's caption font as a font of the class library.
void SetCaptionFont(TFont& font)
{
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) return;
    font.SetName(m.lfCaptionFont.lfFaceName);
    font.SetHeight(GetCaptionFontHeight());
    font.SetCharset(Screen->MenuFont().Charset());
    font.SetStyle((m.lfCaptionFont.lfWeight >= FW_BOLD ? unsigned(fsBold) : 0u) |
                  (m.lfCaptionFont.lfItalic ? unsigned(fsItalic) : 0u));
}

int TextWidth(TCanvas& canvas, const std::string& text)
{
    RECT r{0, 0, 0, 0};
    const TSelectGuard font(canvas.Handle(), canvas.Font().Handle());
    DrawTextA(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    return r.right;
}

} // namespace

// ---- images and sizes

void TsSkinProvider::InitTitleButtons()
{
    TsSkinManager* m = SkinManager();
    if (!m || !m->IsValidSkinIndex(m->CommonIndexes.GlobalInfo)) return;
    const int global = m->CommonIndexes.GlobalInfo;
    const auto image = [&](const char* name) { return m->GetMaskIndex(global, "GLOBALINFO", name); };
    buttons_[btMin].HitCode = HTMINBUTTON;
    buttons_[btMax].HitCode = HTMAXBUTTON;
    buttons_[btClose].HitCode = HTCLOSE;
    buttons_[btHelp].HitCode = HTHELP;
    bool big = BigButtons();
    if (big) {
        buttons_[btMin].ImageIndex = image("BICONMIN");
        buttons_[btMax].ImageIndex = image("BICONMAX");
        const bool others = systemMenu_ && (systemMenu_->VisibleMax() || systemMenu_->VisibleMin());
        int close = others ? -1 : image("BICLOSEALONE");
        if (close < 0) close = image("BICONCLOSE");
        buttons_[btClose].ImageIndex = close;
        buttons_[btHelp].ImageIndex = image("BICONHELP");
    } else {
        buttons_[btClose].ImageIndex = image("SICONCLOSE");
        buttons_[btMin].ImageIndex = image("SICONMIN");
        buttons_[btMax].ImageIndex = image("SICONMAX");
        int help = image("SICONHELP");
        if (help < 0) help = image("BICONHELP");
        buttons_[btHelp].ImageIndex = help;
    }
    if (buttons_[btClose].ImageIndex < 0) {
        buttons_[btClose].ImageIndex = image("BICONCLOSE");
        buttons_[btMin].ImageIndex = image("BICONMIN");
        buttons_[btMax].ImageIndex = image("BICONMAX");
        buttons_[btHelp].ImageIndex = image("BICONHELP");
        big = true;
    }
    for (TsCaptionButton& b : buttons_) {
        b.Big = big;
        b.State = 0;
    }
    InitMDIButtons();
    titleButtonMask_ = image("TITLEBUTTON");
    for (int i = 0; i < titleButtons_.Count(); ++i) {
        TsTitleButton& b = titleButtons_.Items(i);
        b.Button.ImageIndex = b.UseSkinData ? titleButtonMask_ : -1;
        b.Button.HitCode = htUserButton + i;
        b.Button.State = 0;
    }
}

bool TsSkinProvider::ButtonEnabled(const TsCaptionButton& b) const
{
    if (!systemMenu_) return false;
    const HWND wnd = form_->Handle();
    switch (b.HitCode) {
    case HTMAXBUTTON:
        return IsZoomed(wnd) ? systemMenu_->EnabledRestore() : systemMenu_->EnabledMax();
    case HTMINBUTTON:
        return IsIconic(wnd) || systemMenu_->EnabledMin();
    case HTCLOSE:
    case HTHELP:
        return true;
    default:
        return b.HitCode >= htUserButton && b.HitCode - htUserButton < titleButtons_.Count() &&
               titleButtons_.Items(b.HitCode - htUserButton).Enabled;
    }
}

int TsSkinProvider::UserButtonWidth(TsTitleButton& b)
{
    TsSkinManager* m = SkinManager();
    const int glyph = b.Glyph().Empty() ? 0 : b.Glyph().Width() + 2;
    if (!m || !m->IsValidImgIndex(titleButtonMask_)) return std::max(glyph, 21);
    return std::max(glyph, CaptionButtonWidth(m, titleButtonMask_));
}

int TsSkinProvider::ButtonsWidth()
{
    TsSkinManager* m = SkinManager();
    if (!m) return 0;
    int w = m->SkinData.BIRight;
    const int space = BigButtons() ? m->SkinData.BISpace : 0;
    if (systemMenu_ && systemMenu_->VisibleClose()) {
        w += CaptionButtonWidth(m, buttons_[btClose].ImageIndex);
        if (systemMenu_->VisibleMax()) w += CaptionButtonWidth(m, buttons_[btMax].ImageIndex) + space;
        if (systemMenu_->VisibleMin()) w += CaptionButtonWidth(m, buttons_[btMin].ImageIndex) + space;
        if (form_->BorderIcons() & biHelp) w += CaptionButtonWidth(m, buttons_[btHelp].ImageIndex) + space;
    }
    bool any = false;
    for (int i = 0; i < titleButtons_.Count(); ++i) {
        TsTitleButton& b = titleButtons_.Items(i);
        if (!b.Visible()) continue;
        if (!any) w += 8;
        any = true;
        w += UserButtonWidth(b) + space;
    }
    return w;
}

int TsSkinProvider::ButtonAreaRight() const
{
    const TsSkinManager* m = SkinManager();
    return SkinnedWidth() - FrameWidth(form_->Handle(), borderForm_, true) - (m ? m->SkinData.BIRight : 0);
}

TsCaptionButton* TsSkinProvider::ButtonByCode(int code)
{
    for (TsCaptionButton& b : buttons_)
        if (b.HitCode == code) return &b;
    if (TsCaptionButton* b = MDIButton(code)) return b;
    if (code >= htUserButton && code - htUserButton < titleButtons_.Count())
        return &titleButtons_.Items(code - htUserButton).Button;
    return nullptr;
}

// ---- the title icon

bool TsSkinProvider::TitleIconVisible() const
{
    const TFormBorderStyle s = form_->BorderStyle();
    return (s == bsSingle || s == bsSizeable) && showAppIcon_ && form_->HandleAllocated() &&
           (sysMenuTaken_ || (GetWindowLongPtrA(form_->Handle(), GWL_STYLE) & WS_SYSMENU));
}

int TsSkinProvider::TitleIconWidth()
{
    if (!TitleIconVisible()) return 0;
    return titleIcon_.Width != 0 ? titleIcon_.Width : IconSizeFor(CaptionHeight(true));
}

int TsSkinProvider::TitleIconHeight()
{
    if (!TitleIconVisible()) return 0;
    return titleIcon_.Height != 0 ? titleIcon_.Height : IconSizeFor(CaptionHeight(true));
}

TRect TsSkinProvider::TitleIconRect()
{
    const HWND wnd = form_->Handle();
    const TsSkinManager* m = SkinManager();
    const int left = FrameWidth(wnd, borderForm_, true) + (m ? m->SkinData.BILeft : 0);
    const int h = TitleIconHeight();
    const int start = FrameWidth(wnd, borderForm_, false) / 2 - 1;
    const int end = FormFrameWidth(wnd, borderForm_, false) + CaptionHeight(true);
    const int top = start + (end - start - h) / 2;
    return TRect{left, top, left + TitleIconWidth(), top + h};
}

void TsSkinProvider::PaintTitleIcon(TBitmap* image)
{
    if (!TitleIconVisible()) return;
    const TRect r = TitleIconRect();
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const HDC dc = image->Canvas().Handle();
    TBitmap& glyph = titleIcon_.Glyph();
    if (!glyph.Empty()) {
        if (glyph.PixelFormat() == pf32bit) {
            DrawAlphaBitmap(image, TRect{r.Left, r.Top, r.Left + glyph.Width(), r.Top + glyph.Height()}, &glyph,
                            TRect{0, 0, glyph.Width(), glyph.Height()}, 0, false, clNone, false);
        } else {
            const int size = IconSizeFor(TopAreaHeight() - 2);
            const int gw = titleIcon_.Width ? titleIcon_.Width : size,
                      gh = titleIcon_.Height ? titleIcon_.Height : size;
            TransparentBlt(dc, r.Left, r.Top, gw, gh, glyph.Canvas().Handle(), 0, 0, glyph.Width(), glyph.Height(),
                           RGB(255, 0, 255));
        }
        return;
    }
    HICON icon = form_->Icon().Handle();
    if (!icon && Application && Application->AppWindowMade())
        icon = reinterpret_cast<HICON>(SendMessageA(Application->AppWindow(), WM_GETICON, ICON_SMALL2, 0));
    if (!icon) {
        TIcon* own = h > 16 ? AppIconLarge() : nullptr;
        if (!own || own->Empty()) own = AppIconSmall();
        icon = own && !own->Empty() ? own->Handle() : LoadIconA(nullptr, IDI_APPLICATION);
    }
    DrawIconEx(dc, r.Left, r.Top, icon, w, h, 0, nullptr, DI_NORMAL);
}

// ---- the strip, the caption and the buttons

void TsSkinProvider::PaintTitleBarStrip(TBitmap* image)
{
    TsSkinManager* m = SkinManager();
    if (CaptionHeight(true) == 0 || !drawNonClientArea_ || !systemMenu_ || !systemMenu_->VisibleClose()) return;
    const int mask = m->GetMaskIndex(skinData_->SkinIndex, skinData_->SkinSection(), "TITLEBAR");
    if (!m->IsValidImgIndex(mask)) return;
    const TsMaskData& md = m->MaskData[static_cast<size_t>(mask)];
    const int ninth = md.Bmp ? md.Bmp->Width() / 3 : MaskFrameWidth(md) / 3;
    const int width = 2 * ninth + ButtonsWidth();
    const int bottom =
        FormFrameWidth(form_->Handle(), borderForm_, false) + CaptionHeight(true) - m->GetMaskBottomWidth(mask);
    DrawBorderMask(image, TRect{ButtonAreaRight() - width, 0, image->Width(), std::max(bottom, 1)}, formActive_ ? 1 : 0,
                   m, mask);
}

TRect TsSkinProvider::CaptionTextRect()
{
    TsSkinManager* m = SkinManager();
    const HWND wnd = form_->Handle();
    int left = FrameWidth(wnd, borderForm_, true) + (TitleIconVisible() ? TitleIconWidth() : 0) + 4;
    if (m && m->IsValidSkinIndex(captionIndex_)) left += 2;
    const int top = IsZoomed(wnd) ? FrameWidth(wnd, borderForm_, false) / 2 + 1 : 2;
    return TRect{left, top, SkinnedWidth() - ButtonsWidth() - 12,
                 FormFrameWidth(wnd, borderForm_, false) + CaptionHeight(true)};
}

void TsSkinProvider::PaintCaptionText(TBitmap* image)
{
    TsSkinManager* m = SkinManager();
    if (CaptionHeight(true) == 0 || !drawNonClientArea_) return;
    const int state = formActive_ ? 1 : 0;
    const int title = TitleIndex();
    TCanvas& canvas = image->Canvas();
    SetCaptionFont(canvas.Font());
    const std::string text = form_->Caption();
    TRect r = CaptionTextRect();
    if (r.Right <= r.Left) return;
    const std::string& added = addedTitle_.Text();
    int addedWidth = 0;
    if (!added.empty()) {
        TCanvas measure;
        measure.SetHandle(canvas.Handle());
        measure.Font() = addedTitle_.Font();
        addedWidth = TextWidth(measure, added);
        measure.SetHandle(nullptr);
    }
    const int textWidth = TextWidth(canvas, text);
    const int whole = textWidth + (added.empty() ? 0 : addedWidth + 4);
    if (captionAlignment_ == taRightJustify && whole <= r.Right - r.Left) r.Left = r.Right - whole;
    else if (captionAlignment_ == taCenter) r.Left = std::max(r.Left, r.Left + (r.Right - r.Left - whole) / 2);
    if (m->IsValidSkinIndex(captionIndex_) && !text.empty()) {
        RECT measured{r.Left, r.Top, r.Right, r.Bottom};
        const TSelectGuard font(canvas.Handle(), canvas.Font().Handle());
        DrawTextA(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &measured, CaptionFlags | DT_CALCRECT);
        const int h = measured.bottom - measured.top, top = r.Top + (r.Bottom - r.Top - h) / 2;
        PaintSection(image, TRect{r.Left - 4, top - 2, std::min<int>(measured.right, r.Right) + 4, top + h + 2},
                     captionIndex_, m, state, MakeCacheInfo(image, 0, 0));
    }
    if (m->IsValidSkinIndex(title)) {
        const TsGeneralData& g = m->GeneralData[static_cast<size_t>(title)];
        const int glow = state ? g.HotGlowSize : g.GlowSize;
        if (glow > 0)
            WriteTextWithEffects(image, text, r, canvas.Font(), state ? g.HotGlowColor : g.GlowColor, glow, 1,
                                 CaptionFlags);
    }
    WriteSectionTextEx(canvas, text, true, m, state, title, CaptionFlags, r);
    // The added title 4 pixels after the caption, when 8 pixels are left for it.
    const int x = r.Left + std::min(textWidth, r.Right - r.Left) + 4;
    if (added.empty() || r.Right - x < 8) return;
    TFont& font = addedTitle_.Font();
    TColor color = font.Color();
    if (m->IsValidSkinIndex(title)) {
        const TsGeneralData& g = m->GeneralData[static_cast<size_t>(title)];
        const TColor section = state ? g.HotFontColor[1] : g.FontColor[1];
        if (color == clNone || color == clWindowText) color = section;
        else if (!formActive_) color = BlendColors(static_cast<TColor>(ColorToRGB(color)), section, 0.5);
    }
    const HDC dc = canvas.Handle();
    const TSelectGuard selected(dc, font.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(color));
    RECT ar{x, r.Top, r.Right, r.Bottom};
    DrawTextA(dc, added.c_str(), static_cast<int>(added.size()), &ar, CaptionFlags);
}

void TsSkinProvider::DrawButton(TBitmap* image, TsCaptionButton& b, TsTitleButton* user)
{
    TsSkinManager* m = SkinManager();
    const bool enabled = ButtonEnabled(b);
    const int state = std::max(b.State, 0);
    const TRect& r = b.Rect;
    if (m->IsValidImgIndex(b.ImageIndex)) {
        const TsMaskData& md = m->MaskData[static_cast<size_t>(b.ImageIndex)];
        const int frame = std::min(state, std::max(md.ImageCount - 1, 0));
        if (user) DrawBorderMask(image, r, frame, m, b.ImageIndex);
        else DrawMaskGlyph(image, TPoint{r.Left, r.Top}, frame, m, b.ImageIndex, enabled && formActive_ ? 1 : 0);
    }
    if (!user || user->Glyph().Empty()) return;
    TBitmap& glyph = user->Glyph();
    const int x = r.Left + (r.Right - r.Left - glyph.Width()) / 2, y = r.Top + (r.Bottom - r.Top - glyph.Height()) / 2;
    if (glyph.PixelFormat() == pf32bit) {
        DrawAlphaBitmap(image, TRect{x, y, x + glyph.Width(), y + glyph.Height()}, &glyph,
                        TRect{0, 0, glyph.Width(), glyph.Height()}, 0, !enabled, clNone, false);
        return;
    }
    TBitmap copy(glyph.Width(), glyph.Height());
    copy.SetPixelFormat(pf24bit);
    BitBlt(copy.Canvas().Handle(), 0, 0, glyph.Width(), glyph.Height(), glyph.Canvas().Handle(), 0, 0, SRCCOPY);
    const COLORREF key = GetPixel(copy.Canvas().Handle(), 0, glyph.Height() - 1);
    if (!enabled) {
        // Greyed: every pixel but the transparent ones in one grey of its brightness.
        for (int yy = 0; yy < copy.Height(); ++yy)
            for (int xx = 0; xx < copy.Width(); ++xx) {
                const COLORREF c = GetPixel(copy.Canvas().Handle(), xx, yy);
                if (c == key) continue;
                const int g = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
                SetPixel(copy.Canvas().Handle(), xx, yy, RGB(g, g, g));
            }
    }
    TransparentBlt(image->Canvas().Handle(), x, y, copy.Width(), copy.Height(), copy.Canvas().Handle(), 0, 0,
                   copy.Width(), copy.Height(), key);
}

void TsSkinProvider::LayoutTitleButtons(TBitmap* image)
{
    for (TsCaptionButton& b : buttons_)
        b.Shown = false;
    for (int i = 0; i < titleButtons_.Count(); ++i)
        titleButtons_.Items(i).Button.Shown = false;
    if (!HasBorder() || !systemMenu_) return;
    TsSkinManager* m = SkinManager();
    const HWND wnd = form_->Handle();
    const int space = BigButtons() ? m->SkinData.BISpace : 0;
    const int titleHeight = FormFrameWidth(wnd, borderForm_, false) + CaptionHeight(true);
    const int global = m->CommonIndexes.GlobalInfo;
    int x = ButtonAreaRight();
    const auto place = [&](TsCaptionButton& b, int width, int height) {
        int top = m->SkinData.BIVAlign == 1 ? m->SkinData.BITop : (titleHeight - height) / 2;
        if (height < 16 && m->SkinData.BIVAlign == 2) top += 2;
        b.Rect = TRect{x - width, top, x, top + height};
        b.Shown = true;
        if (b.State < 0) b.State = 0;
        x = b.Rect.Left - space;
    };
    const auto restoreImage = [&]() {
        int norm = m->GetMaskIndex(global, "GLOBALINFO", "BICONNORM");
        if (norm < 0) norm = m->GetMaskIndex(skinData_->SkinIndex, skinData_->SkinSection(), "BICONNORM");
        return norm;
    };
    const bool zoomed = IsZoomed(wnd) != 0, iconic = IsIconic(wnd) != 0;
    TsCaptionButton& close = buttons_[btClose];
    if (systemMenu_->VisibleClose() && m->IsValidImgIndex(close.ImageIndex)) {
        place(close, CaptionButtonWidth(m, close.ImageIndex), CaptionButtonHeight(m, close.ImageIndex));
        DrawButton(image, close, nullptr);
    }
    // The maximise and minimise buttons show the restore image where they restore.
    const auto shown = [&](TsCaptionButton& b, bool restores) {
        TsCaptionButton copy = b;
        if (restores) copy.ImageIndex = restoreImage();
        place(b, CaptionButtonWidth(m, copy.ImageIndex), CaptionButtonHeight(m, copy.ImageIndex));
        copy.Rect = b.Rect;
        DrawButton(image, copy, nullptr);
    };
    if (systemMenu_->VisibleMax()) shown(buttons_[btMax], zoomed);
    if (systemMenu_->VisibleMin()) shown(buttons_[btMin], iconic);
    if (form_->BorderIcons() & biHelp) {
        TsCaptionButton& help = buttons_[btHelp];
        place(help, CaptionButtonWidth(m, help.ImageIndex), CaptionButtonHeight(m, help.ImageIndex));
        DrawButton(image, help, nullptr);
    }
    bool any = false;
    for (int i = 0; i < titleButtons_.Count(); ++i) {
        TsTitleButton& u = titleButtons_.Items(i);
        if (!u.Visible()) continue;
        if (!any) x -= 8;
        any = true;
        u.Button.HitCode = htUserButton + i;
        u.Button.ImageIndex = u.UseSkinData ? titleButtonMask_ : -1;
        const int height = m->IsValidImgIndex(u.Button.ImageIndex) ? CaptionButtonHeight(m, u.Button.ImageIndex)
                           : u.Glyph().Empty()                     ? 21
                                                                   : u.Glyph().Height();
        place(u.Button, UserButtonWidth(u), height);
        DrawButton(image, u.Button, &u);
    }
}

// ---- one button repainted

void TsSkinProvider::RestoreCaptionStrip()
{
    TBitmap* image = FormImage();
    if (!image || !captionStrip_ || captionStrip_->Width() == 0) return;
    BitBlt(image->Canvas().Handle(), SkinnedWidth() - captionStrip_->Width() - 1, 0, captionStrip_->Width(),
           captionStrip_->Height(), captionStrip_->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::RepaintButton(int code)
{
    TsCaptionButton* b = ButtonByCode(code);
    if (!b || b->State < 0 || !b->Shown || !drawNonClientArea_ || !form_->HandleAllocated()) return;
    TsSkinManager* m = SkinManager();
    if ((m && m->AllowGlowing()) || borderForm_) {
        StartButtonAnimation(*b, b->State, b->State == 2 ? 1 : 10, b->State != 0);
        return;
    }
    PaintButtonDirect(*b);
    UpdateButtonGlow(*b);
}

// ---- the hand-over to the title buttons' fades
void TsSkinProvider::StartButtonAnimation(TsCaptionButton& b, int state, int steps, bool)
{
    b.State = state;
    if (!borderForm_ || !LayeredWindowsAvailable()) {
        PaintButtonDirect(b);
        return;
    }
    // The normal look goes below the window that fades out.
    if (state == 0) PaintButtonDirect(b);
    TsTitleButton* user = b.HitCode >= htUserButton ? &titleButtons_.Items(b.HitCode - htUserButton) : nullptr;
    AnimateTitleButton(b.Animation, *this, form_,
                       TvxAnimatedButton{b.HitCode, b.ImageIndex, RECT{b.Rect.Left, b.Rect.Top, b.Rect.Right, b.Rect.Bottom},
                                         user ? &user->Glyph() : nullptr},
                       state, steps);
}

void TsSkinProvider::StopButtonAnimations()
{
    for (TsCaptionButton& b : buttons_)
        delete std::exchange(b.Animation, nullptr);
    for (int i = 0; i < titleButtons_.Count(); ++i)
        delete std::exchange(titleButtons_.Items(i).Button.Animation, nullptr);
}
// ----

void TsSkinProvider::PaintButtonImage(TsCaptionButton& b)
{
    TBitmap* image = FormImage();
    if (!image || image->Width() == 0 || !captionStrip_ || !form_->HandleAllocated()) return;
    const int x0 = SkinnedWidth() - captionStrip_->Width() - 1;
    const TRect& r = b.Rect;
    BitBlt(image->Canvas().Handle(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
           captionStrip_->Canvas().Handle(), r.Left - x0, r.Top, SRCCOPY);
    TsTitleButton* user = b.HitCode >= htUserButton ? &titleButtons_.Items(b.HitCode - htUserButton) : nullptr;
    TsCaptionButton shown = b;
    const HWND wnd = form_->Handle();
    if ((b.HitCode == HTMAXBUTTON && IsZoomed(wnd)) || (b.HitCode == HTMINBUTTON && IsIconic(wnd))) {
        TsSkinManager* m = SkinManager();
        shown.ImageIndex = m->GetMaskIndex(m->CommonIndexes.GlobalInfo, "GLOBALINFO", "BICONNORM");
        if (shown.ImageIndex < 0)
            shown.ImageIndex = m->GetMaskIndex(skinData_->SkinIndex, skinData_->SkinSection(), "BICONNORM");
    }
    DrawButton(image, shown, user);
}

void TsSkinProvider::PaintButtonDirect(TsCaptionButton& b)
{
    TBitmap* image = FormImage();
    if (!image || image->Width() == 0 || !captionStrip_ || !form_->HandleAllocated()) return;
    PaintButtonImage(b);
    const TRect& r = b.Rect;
    const HWND wnd = form_->Handle();
    HDC dc = GetWindowDC(wnd);
    BitBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, image->Canvas().Handle(), r.Left, r.Top, SRCCOPY);
    ReleaseDC(wnd, dc);
}

void TsSkinProvider::UpdateButtonGlow(TsCaptionButton& b)
{
    TsSkinManager* m = SkinManager();
    if (b.State != 1 || !m || !m->AllowGlowing() || form_->Parent()) {
        if (b.GlowID >= 0) HideGlow(b.GlowID);
        return;
    }
    if (b.GlowID >= 0 || !m->IsValidImgIndex(b.ImageIndex)) return;
    const int margin = b.HitCode == HTCLOSE       ? m->SkinData.BICloseGlowMargin
                       : b.HitCode == HTMAXBUTTON ? m->SkinData.BIMaxGlowMargin
                                                  : m->SkinData.BIMinGlowMargin;
    RECT w{};
    GetWindowRect(form_->Handle(), &w);
    const TRect screen{w.left + b.Rect.Left, w.top + b.Rect.Top, w.left + b.Rect.Right, w.top + b.Rect.Bottom};
    const std::string name = m->MaskData[static_cast<size_t>(b.ImageIndex)].PropertyName + "GLOW";
    b.GlowID = ShowGlow(screen, screen, "GLOBALINFO", m, form_->Handle(), 255, margin, name);
}

int TsSkinProvider::TitleButtonHit(POINT p)
{
    const HWND wnd = form_->Handle();
    const bool iconic = IsIconic(wnd) != 0;
    const auto inside = [&](const TsCaptionButton& b) {
        return b.Shown && p.x >= b.Rect.Left && p.x < b.Rect.Right && p.y >= b.Rect.Top && p.y < b.Rect.Bottom;
    };
    if (!systemMenu_) return 0;
    const TsSystemMenu& s = *systemMenu_;
    if (s.VisibleClose() && inside(buttons_[btClose])) return HTCLOSE;
    if (s.VisibleMax() && inside(buttons_[btMax]))
        return (s.EnabledMax() || (s.EnabledRestore() && !iconic)) ? HTMAXBUTTON : HTCAPTION;
    if ((s.VisibleMin() || iconic) && inside(buttons_[btMin]))
        return (s.EnabledMin() || iconic) ? HTMINBUTTON : HTCAPTION;
    if ((form_->BorderIcons() & biHelp) && inside(buttons_[btHelp])) return HTHELP;
    for (int i = 0; i < titleButtons_.Count(); ++i) {
        TsTitleButton& u = titleButtons_.Items(i);
        if (u.Visible() && inside(u.Button)) return u.Enabled ? htUserButton + i : HTCAPTION;
    }
    return 0;
}
