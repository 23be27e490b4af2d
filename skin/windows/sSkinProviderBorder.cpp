// The form provider's extended border and its show and hide animations: the border window made
// and freed, followed after moves, style changes and size-moves, and the form's show and hide
// handed to the animations of sAnimations.h.
#include <algorithm>
#include <utility>

#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sAnimations.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxBorderForm.h"

namespace {

// The window is made layered and fully transparent (a clear image of its size at alpha 0), so
// that it stays unseen while it is shown and prepared; false when it was layered already or
// layered windows are missing.
bool MakeTransparent(HWND wnd)
{
    const TUpdateLayeredWindowProc update = UpdateLayeredWindowEntry();
    const LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if (!update || !LayeredWindowsAvailable() || (ex & WS_EX_LAYERED)) return false;
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    RECT r{};
    GetWindowRect(wnd, &r);
    SIZE size{std::max(1, static_cast<int>(r.right - r.left)), std::max(1, static_cast<int>(r.bottom - r.top))};
    std::unique_ptr<TBitmap> clear = CreateBmp32(size.cx, size.cy);
    PatBlt(clear->Canvas().Handle(), 0, 0, size.cx, size.cy, BLACKNESS);
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};
    HDC screen = GetDC(nullptr);
    update(wnd, screen, nullptr, &size, clear->Canvas().Handle(), &source, 0x1FFFFFFF, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
    return true;
}

} // namespace

void TsSkinProvider::UpdateExtBorders(bool allow)
{
    TsSkinManager* m = SkinManager();
    const bool want = allow && allowExtBorders_ && drawNonClientArea_ && m && m->ExtendedBorders() &&
                      m->ShadowActive() && LayeredWindowsAvailable() && UpdateLayeredWindowEntry() && HasBorder() &&
                      !form_->Parent() && form_->FormStyle() != fsMDIChild && form_->HandleAllocated() &&
                      !form_->InState(csDestroying) && !InState(csDestroying) && skinData_->Skinned();
    if (want == (borderForm_ != nullptr)) return;
    StopButtonAnimations();
    if (want) {
        borderForm_ = new TvxBorderForm(*this);
        FlagImageChanged();
        if (IsWindowVisible(form_->Handle())) borderForm_->UpdateExBorderPos(true, 255);
    } else {
        delete std::exchange(borderForm_, nullptr);
        FlagImageChanged();
    }
}

void TsSkinProvider::SetLocked(bool v)
{
    locked_ = v;
    if (v || !form_->HandleAllocated() || !IsWindowVisible(form_->Handle())) return;
    if (TsSkinManager* m = SkinManager()) UpdateExtBorders(m->ExtendedBorders());
}

HWND TsSkinProvider::BorderWindow() const { return borderForm_ ? borderForm_->Handle() : nullptr; }

void TsSkinProvider::ApplyRegionToBorder()
{
    if (borderForm_) SetWindowRgnIfChanged(borderForm_->Handle(), borderForm_->MakeRgn(), TRUE);
}

void TsSkinProvider::RefreshBorder(int alpha)
{
    if (borderForm_) borderForm_->UpdateExBorderPos(true, static_cast<BYTE>(std::clamp(alpha, 0, 255)));
}

void TsSkinProvider::ExtBorderMessage(TMessage& m, const TWndMethod& old)
{
    if (!CallOld(m, old)) return;
    const HWND wnd = form_->Handle();
    TsSkinManager* manager = SkinManager();
    if (m.Msg == WM_WINDOWPOSCHANGED) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
        const UINT flags = pos ? pos->flags : 0;
        if ((flags & SWP_HIDEWINDOW) && manager && manager->Active() && LayeredWindowsAvailable() && !IsIconic(wnd) &&
            drawNonClientArea_ && IsSkinned() && !minimizing_) {
            const TvxFormAnimation& hide = manager->AnimEffects().FormHide;
            if (hide.Active && hide.Time > 0) AnimHideForm(*this);
        }
        // A title button's fade window stays above the form: a hidden form takes it away.
        if (flags & SWP_HIDEWINDOW) StopButtonAnimations();
        if (borderForm_ && !(flags & (SWP_NOREDRAW | SWP_FRAMECHANGED))) borderForm_->UpdateExBorderPos(false, 255);
        return;
    }
    if (m.Msg == WM_STYLECHANGED && m.WParam != static_cast<WPARAM>(GWL_EXSTYLE)) return;
    if (borderForm_) borderForm_->UpdateExBorderPos(true, 255);
}

bool TsSkinProvider::ShowWithAnimation(TMessage& m, const TWndMethod& old)
{
    TsSkinManager* manager = SkinManager();
    const HWND wnd = form_->Handle();
    const bool animate = m.WParam == 1 && form_->Visible() && manager && manager->Active() &&
                         manager->AnimEffects().FormShow.Active && manager->AnimEffects().FormShow.Time > 0 &&
                         form_->FormStyle() != fsMDIChild && !form_->Parent() && IsSkinned() && drawNonClientArea_ &&
                         LayeredWindowsAvailable() && !IsWindowVisible(wnd);
    if (!animate) return CallOld(m, old);
    const TvxFormAnimation& show = manager->AnimEffects().FormShow;
    // The window is shown unseen (layered at alpha 0, or an AlphaBlend form at value 0); the
    // animation shows its image, then the window itself takes its place.
    animating_ = true;
    const bool layered = MakeTransparent(wnd);
    const int finalAlpha = form_->AlphaBlend() ? form_->AlphaBlendValue() : 255;
    if (!layered && form_->AlphaBlend()) form_->SetAlphaBlendValue(0);
    if (!CallOld(m, old)) return false;
    animating_ = false;
    if (borderForm_) AnimShowBorderForm(*borderForm_, show.Time, finalAlpha, show.Mode);
    else AnimShowForm(form_, show.Time, finalAlpha, show.Mode);
    if (layered && IsWindow(wnd))
        SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    if (form_->AlphaBlend()) form_->SetAlphaBlendValue(finalAlpha);
    if (IsWindow(wnd))
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (borderForm_) borderForm_->UpdateExBorderPos(true, 255);
    return true;
}
