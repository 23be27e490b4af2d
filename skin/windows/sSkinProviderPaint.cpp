// The form's image: the whole window painted from the skin into the skin link's cache bitmap,
// and the copies of it to the window (frame, client background) and to a printing DC.
#include <algorithm>

#include "gui/Menus.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxBorderForm.h"

namespace {

void Copy(HDC dc, TBitmap* image, int left, int top, int right, int bottom)
{
    if (right > left && bottom > top)
        BitBlt(dc, left, top, right - left, bottom - top, image->Canvas().Handle(), left, top, SRCCOPY);
}

} // namespace

void TsSkinProvider::FreeFormCache()
{
    skinData_->FCacheBmp = std::make_unique<TBitmap>();
    cacheInfo_ = TsCacheInfo{};
    FlagImageChanged();
}

void TsSkinProvider::PaintPlainContainer(TBitmap* image, int state)
{
    // A form without a look of its own: its colour with the frame of the border image over it
    // (title and menu line are painted over the top later).
    const int w = image->Width(), h = image->Height();
    FillDC(image->Canvas().Handle(), TRect{0, 0, w, h}, FormColor());
    TsSkinManager* m = SkinManager();
    if (m->IsValidImgIndex(skinData_->BorderIndex))
        DrawBorderMask(image, TRect{0, 0, w, h}, state, m, skinData_->BorderIndex, false);
}

void TsSkinProvider::PaintGrip(TBitmap* image)
{
    TsSkinManager* m = SkinManager();
    const int mask = m->GetMaskIndex(m->CommonIndexes.GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
    if (!m->IsValidImgIndex(mask)) return;
    const TRect r = GripRect();
    const int gw = r.Right - r.Left, gh = r.Bottom - r.Top;
    // What lies under the grip: the form's background, and where the grip reaches into the
    // right or bottom border of the border image, the border as painted.
    TBitmap under(gw, gh);
    under.SetPixelFormat(pf24bit);
    const HDC dc = under.Canvas().Handle(), src = image->Canvas().Handle();
    TsBackgroundInfo info;
    info.R =
        TRect{r.Left - ClientOffsetX(), r.Top - ClientOffsetY(), r.Right - ClientOffsetX(), r.Bottom - ClientOffsetY()};
    GetBGInfo(skinData_.get(), info, formActive_ ? 1 : 0, form_->Handle());
    if (info.BgType == btCache && info.Bmp)
        BitBlt(dc, 0, 0, gw, gh, info.Bmp->Canvas().Handle(), info.Offset.X + info.R.Left, info.Offset.Y + info.R.Top,
               SRCCOPY);
    else FillDC(dc, TRect{0, 0, gw, gh}, info.Color == clFuchsia ? FormColor() : info.Color);
    if (m->IsValidImgIndex(skinData_->BorderIndex)) {
        const int right = image->Width() - m->GetMaskRightWidth(skinData_->BorderIndex);
        const int bottom = image->Height() - m->GetMaskBottomWidth(skinData_->BorderIndex);
        if (r.Right > right) BitBlt(dc, right - r.Left, 0, r.Right - right, gh, src, right, r.Top, SRCCOPY);
        if (r.Bottom > bottom) BitBlt(dc, 0, bottom - r.Top, gw, r.Bottom - bottom, src, r.Left, bottom, SRCCOPY);
    }
    DrawMaskGlyph(&under, TPoint{0, 0}, 0, m, mask, 1);
    BitBlt(src, r.Left, r.Top, gw, gh, dc, 0, 0, SRCCOPY);
}

void TsSkinProvider::PaintMenuLine(TBitmap* image, int titleBottom)
{
    const int height = MenuHeight();
    if (!MenuPresent() || !MenuHasVisibleItems() || height <= 0) return;
    TsSkinManager* m = SkinManager();
    int section = menuLineSkin_.empty() ? -1 : m->GetSkinIndex(menuLineSkin_);
    if (!m->IsValidSkinIndex(section)) section = m->GetSkinIndex("MENULINE");
    const int rows = MenuRows(), w = image->Width();
    const TRect band{0, titleBottom, w, titleBottom + rows * height};
    if (m->IsValidSkinIndex(section)) PaintSection(image, band, section, m, 0, TsCacheInfo{});
    // The background of the menu line as painted, for the items drawn over it.
    if (!menuLineBmp_) menuLineBmp_ = std::make_unique<TBitmap>();
    menuLineBmp_->SetSize(w, rows * height);
    BitBlt(menuLineBmp_->Canvas().Handle(), 0, 0, w, rows * height, image->Canvas().Handle(), 0, band.Top, SRCCOPY);
    menuLineTop_ = band.Top;
    PaintMDIChildIcon(image, titleBottom);
    PaintMenuItems(image);
}

void TsSkinProvider::SaveCaptionStrip(bool captionOnly)
{
    TBitmap* image = FormImage();
    if (!image || !form_->HandleAllocated()) return;
    const HWND wnd = form_->Handle();
    const int width = FrameWidth(wnd, borderForm_, true) + ButtonsWidth() + 10;
    const int title = FormFrameWidth(wnd, borderForm_, true) + CaptionHeight(true);
    const int height = title + FrameWidth(wnd, borderForm_, false) + MenuHeight();
    if (!captionStrip_) captionStrip_ = std::make_unique<TBitmap>();
    captionStrip_->SetPixelFormat(image->PixelFormat());
    captionStrip_->SetSize(width, height);
    BitBlt(captionStrip_->Canvas().Handle(), 0, 0, width, captionOnly ? title : height, image->Canvas().Handle(),
           SkinnedWidth() - width - 1, 0, SRCCOPY);
}

void TsSkinProvider::RunOnPaint(HDC dc)
{
    if (!form_->OnPaint) return;
    form_->Canvas().SetHandle(dc);
    form_->OnPaint(form_);
    form_->Canvas().SetHandle(nullptr);
}

void TsSkinProvider::PaintAll()
{
    TsSkinManager* m = SkinManager();
    if (!m || !form_->HandleAllocated() || !skinData_->Skinned()) return;
    const HWND wnd = form_->Handle();
    if (!skinData_->FCacheBmp) skinData_->FCacheBmp = std::make_unique<TBitmap>();
    TBitmap* image = FormImage();
    const bool stale = skinData_->BGChanged || ImageSizeChanged();
    if (stale) {
        rgnChanged_ = true;
        const int titleBottom = FormFrameWidth(wnd, borderForm_, false) + CaptionHeight(true);
        const int w = SkinnedWidth(), h = ImageHeight();
        if (image->PixelFormat() != pf24bit) image->SetPixelFormat(pf24bit);
        image->SetSize(w, h);
        const int state = formActive_ ? 1 : 0;
        const TRect all{0, 0, w, h};
        if (form_->Parent()) skinData_->CtrlFlags &= static_cast<uint16_t>(~cfPlainContainer);
        if (m->IsValidSkinIndex(skinData_->SkinIndex)) {
            TsLinkFields fields = skinData_->Fields();
            fields.State = state;
            if (skinData_->CtrlFlags & cfPlainContainer) PaintPlainContainer(image, state);
            else if (!HasBorder() && !form_->Parent()) PaintItemBackground(fields, TsCacheInfo{}, image, all);
            else PaintItem(fields, TsCacheInfo{}, true, state, image, TPoint{}, all);
        }
        if (GripVisible()) PaintGrip(image);
        cacheInfo_ = MakeCacheInfo(image, ClientOffsetX(), ClientOffsetY());
        // The title band: its background, the strip behind the buttons and the icon; the menu
        // line; the caption; the buttons over the finished title.
        const int title = TitleIndex();
        if (CaptionHeight(true) != 0 && drawNonClientArea_ && m->IsValidSkinIndex(title))
            PaintSection(image, TRect{0, 0, w, titleBottom}, title, m, state, TsCacheInfo{});
        PaintTitleBarStrip(image);
        PaintTitleIcon(image);
        PaintMenuLine(image, titleBottom);
        PaintMDIArea(image, titleBottom);
        PaintCaptionText(image);
        if (CaptionHeight(true) != 0 && drawNonClientArea_) {
            SaveCaptionStrip(false);
            LayoutTitleButtons(image);
        }
        skinData_->CtrlFlags &= static_cast<uint16_t>(~cfMenuChanged);
        skinData_->BGChanged = false;
        firstPaint_ = false;
        // The form's own drawing, in client coordinates.
        if (form_->OnPaint) {
            const HDC dc = image->Canvas().Handle();
            const int saved = SaveDC(dc);
            SetWindowOrgEx(dc, -ClientOffsetX(), -ClientOffsetY(), nullptr);
            RunOnPaint(dc);
            RestoreDC(dc, saved);
        }
    }
    paintedOnce_ = true;
    skinData_->SetUpdating(false);
}

void TsSkinProvider::PrintFrame(HDC dc)
{
    if (skinData_->BGChanged || firstPaint_ || ImageSizeChanged()) PaintAll();
    TBitmap* image = FormImage();
    if (!image || image->Width() == 0) return;
    const HWND wnd = form_->Handle();
    const int w = image->Width(), h = image->Height();
    const int x = ClientOffsetX(), y = ClientOffsetY();
    const int right = std::min(w, x + ClientWidth(wnd)), bottom = std::min(h, y + ClientHeight(wnd));
    Copy(dc, image, 0, 0, w, y);
    Copy(dc, image, 0, y, x, bottom);
    Copy(dc, image, 0, bottom, w, h);
    Copy(dc, image, right, y, w, bottom);
}

void TsSkinProvider::PrintBorderStrips(HDC dc, int s)
{
    if (skinData_->BGChanged || ImageSizeChanged()) PaintAll();
    TBitmap* image = FormImage();
    if (!image) return;
    const int w = image->Width(), h = image->Height();
    Copy(dc, image, 0, 0, w, s);
    Copy(dc, image, 0, s, s, h - s);
    Copy(dc, image, 0, h - s, w, h);
    Copy(dc, image, w - s, s, w, h - s);
}

void TsSkinProvider::PrintClient(HDC dc, bool sendEndUpdate)
{
    if (skinData_->BGChanged || ImageSizeChanged()) PaintAll();
    TBitmap* image = FormImage();
    const HWND wnd = form_->Handle();
    if (image && image->Width() > 0)
        BitBlt(dc, 0, 0, ClientWidth(wnd), ClientHeight(wnd), image->Canvas().Handle(), ClientOffsetX(),
               ClientOffsetY(), SRCCOPY);
    else FillDC(dc, TRect{0, 0, ClientWidth(wnd), ClientHeight(wnd)}, FormColor());
    PaintControls(dc, form_, TPoint{});
    if (!sendEndUpdate) return;
    SendEndUpdateToChildren(form_);
    if (ctrlAdapter_) ctrlAdapter_->BroadcastMessage(TMessage{SM_VELOCONCMD, SkinCommandWParam(cmdUpdateEnded), 0, 0});
}

void TsSkinProvider::PaintNonClient()
{
    if (!drawNonClientArea_ || locked_ || !form_->HandleAllocated() || HiddenByMaximisedChild()) return;
    const HWND wnd = form_->Handle();
    if (!IsWindowVisible(wnd) || InState(csLoading)) return;
    if (!ctrlAdapter_) CreateCtrlAdapter();
    if (ResizeMode == rmBorder && DwmCompositionEnabled()) ResizeMode = rmStandard;
    if (!updatingRgn_ && rgnChanged_) {
        if (!HasBorder() && !IsSizeable(wnd) && !IsIconic(wnd)) {
            rgnChanged_ = false;
            RemoveRegion();
        } else {
            PrepareRgnParts();
            UpdateFormRgn(false);
        }
    }
    skinData_->SetUpdating(false);
    HDC dc = GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    if (!HasBorder() && IsSizeable(wnd) && !IsIconic(wnd))
        PrintBorderStrips(dc, FrameWidth(wnd, nullptr, false) + form_->BorderWidth() + 3);
    else PrintFrame(dc);
    RestoreDC(dc, saved);
    ReleaseDC(wnd, dc);
    if (borderForm_) borderForm_->UpdateExBorderPos(true, 255);
}

void TsSkinProvider::PaintClient(TMessage& message)
{
    const HWND wnd = form_->Handle();
    PAINTSTRUCT ps{};
    const HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(wnd, &ps);
    if (!locked_ && !form_->InState(csDestroying) && !HiddenByMaximisedChild()) {
        const int saved = SaveDC(dc);
        skinData_->SetUpdating(false);
        PrintClient(dc, false);
        RunOnPaint(dc);
        RestoreDC(dc, saved);
    }
    if (!message.WParam) EndPaint(wnd, &ps);
    message.Result = 0;
}

void TsSkinProvider::PaintClientBackground(HDC dc)
{
    if (locked_ || form_->InState(csDestroying) || HiddenByMaximisedChild()) return;
    const HWND wnd = form_->Handle();
    const HDC target = dc ? dc : GetDC(wnd);
    skinData_->SetUpdating(false);
    PrintClient(target, false);
    if (!dc) ReleaseDC(wnd, target);
}

void TsSkinProvider::Print(TMessage& m)
{
    if (InState(csLoading) || (form_->FormState() & fsCreating) || form_->InState(csDestroying)) return;
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!dc) return;
    const HWND wnd = form_->Handle();
    if (drawNonClientArea_ && (m.LParam & PRF_NONCLIENT)) {
        if (!HasBorder() && IsSizeable(wnd)) PrintBorderStrips(dc, form_->BorderWidth() + 3);
        else PrintFrame(dc);
    }
    if (!(m.LParam & PRF_CLIENT)) return;
    const int saved = SaveDC(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    if (drawNonClientArea_ && (m.LParam & PRF_NONCLIENT))
        SetViewportOrgEx(dc, origin.x + ClientOffsetX(), origin.y + ClientOffsetY(), nullptr);
    IntersectClipRect(dc, 0, 0, ClientWidth(wnd), ClientHeight(wnd));
    PrintClient(dc, false);
    RunOnPaint(dc);
    RestoreDC(dc, saved);
}
