#include "skin/controls/sButton.h"

#include <algorithm>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/controls/sMaskFrame.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sFade.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxGlow.h"

namespace {
// Shared by all buttons: a quick release paints the pressed look once more; the focus step
// must not run inside itself.
bool forcePressed = false;
bool inFocusStep = false;

bool RealRegion(HRGN r) { return reinterpret_cast<uintptr_t>(r) > 1; }

void WaitHandlingMessages(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
}
} // namespace

TsButton::TsButton(TComponent* owner) : TsLinkedControl(owner)
{
    controlStyle_ &= ~(0x40u | 0x80u); // neither opaque nor taking double clicks
}

TsButton::~TsButton()
{
    *alive_ = false;
    StopFade(fade_);
    RemoveGlow(&SkinData());
    DropPendingRegion();
}

void TsButton::Loaded()
{
    TsLinkedControl::Loaded();
    if (SkinData().FCacheBmp) SkinData().FCacheBmp->Canvas().Font() = Font();
    SkinData().UpdateControlColors();
}

void TsButton::SetDown(bool value)
{
    if (down_ == value) return;
    down_ = value;
    stateChanged_ = true;
    if (!InState(csLoading)) SkinData().Invalidate();
}

void TsButton::SetShowFocus(bool value)
{
    if (showFocus_ == value) return;
    showFocus_ = value;
    SkinData().Invalidate();
}

void TsButton::SetDisabledKind(unsigned kinds)
{
    if (disabledKind_ == kinds) return;
    disabledKind_ = kinds;
    if (!InState(csLoading)) SkinData().Invalidate();
}

void TsButton::SetButtonStyle(bool isDefault)
{
    defaultActive_ = isDefault;
    SkinData().Invalidate();
}

void TsButton::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Down")) SetDown(v.AsBool());
    else if (SameText(name, "ShowFocus")) SetShowFocus(v.AsBool());
    else if (SameText(name, "FocusMargin")) FocusMargin = v.AsInt();
    else if (SameText(name, "WordWrap")) WordWrap = v.AsBool();
    else TButton::SetProperty(name, v);
}

void TsButton::CreateParams(TCreateParams& p)
{
    TButton::CreateParams(p);
    const TsSkinManager* m = SkinData().GetSkinManager();
    if (m && m->Active() && !m->SkinName().empty()) p.style = (p.style & ~0xFu) | BS_OWNERDRAW;
}

bool TsButton::SkinnedNow() { return SkinData().Skinned(true) && ControlIsReady(this); }

int TsButton::CurrentState() const
{
    if (down_) return 2;
    const bool pushed = handle_ && (SendMessageA(handle_, BM_GETSTATE, 0, 0) & BST_PUSHED);
    if ((pushed || forcePressed) && (SkinData().MouseAbove || !(ControlState() & csLButtonDown))) return 2;
    if (defaultActive_ || (handle_ && (GetWindowLongA(handle_, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) ||
        SkinData().ControlIsActive())
        return 1;
    return 0;
}

SIZE TsButton::TextSize()
{
    TCanvas& c = SkinData().FCacheBmp->Canvas();
    c.Font() = Font();
    const std::string text = Caption();
    RECT r{0, 0, text.empty() ? 0 : width_ - 2, 0};
    DrawTextStr(c.Handle(), text, r,
                DT_CALCRECT | DT_EXPANDTABS | DT_CENTER | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TRect TsButton::CaptionRect()
{
    const SIZE s = TextSize();
    const int l = (width_ - s.cx) / 2, t = (height_ - s.cy) / 2;
    TRect r{l - 1, t, width_ - l + 2, height_ - t};
    if (CurrentState() == 2) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    return r;
}

void TsButton::DrawButtonText()
{
    TBitmap* cache = SkinData().FCacheBmp.get();
    TCanvas& c = cache->Canvas();
    c.Font() = Font();
    c.Brush().SetStyle(bsClear);
    const TRect r = CaptionRect();
    const int state = CurrentState();
    TsLinkFields f = SkinData().Fields();
    f.State = state;
    WriteControlText(c, Caption(), true, state == 0 ? 0 : 1, f, WordWrap ? 0x51u : 0x41u, r);
    const TsSkinManager* m = f.Manager;
    const bool sectionFocus =
        m && SkinData().SkinIndex >= 0 && m->GeneralData[static_cast<size_t>(SkinData().SkinIndex)].ShowFocus;
    if (Enabled() && Focused() && !Caption().empty() && sectionFocus && showFocus_) {
        // The dots stay inside the cache whatever the margin.
        TRect fr{r.Left - FocusMargin, r.Top - FocusMargin, r.Right + FocusMargin, r.Bottom + FocusMargin};
        fr = TRect{std::max(fr.Left, 0), std::max(fr.Top, 0), std::min(fr.Right, width_), std::min(fr.Bottom, height_)};
        if (fr.Right > fr.Left && fr.Bottom > fr.Top) DrawFocusDots(c, fr);
    }
}

void TsButton::DropPendingRegion()
{
    if (RealRegion(pendingRegion_)) DeleteObject(pendingRegion_);
    pendingRegion_ = nullptr;
}

void TsButton::PrepareCache()
{
    TsCommonData& sd = SkinData();
    TBitmap* cache = sd.FCacheBmp.get();
    if (!cache) return;
    TsBackgroundInfo bg;
    GetParentBackground(Parent(), bg, false);
    TsCacheInfo ci = BackgroundToCacheInfo(bg);
    ci.X += left_;
    ci.Y += top_;
    if (cache->Width() != width_ || cache->Height() != height_) cache->SetSize(width_, height_);
    const int state = CurrentState();
    TsLinkFields f = sd.Fields();
    f.State = state;
    PaintItemBackground(f, ci, cache, TRect{0, 0, width_, height_});
    if (stateChanged_ && !SkinChanging && !(fade_ && fade_->Direction())) {
        DropPendingRegion();
        pendingRegion_ = CreateRectRgn(0, 0, width_, height_);
    }
    const TsSkinManager* m = f.Manager;
    if (m && m->IsValidImgIndex(sd.BorderIndex)) {
        const TsMaskData& mask = m->MaskData[static_cast<size_t>(sd.BorderIndex)];
        if (!(state == 0 && (mask.StretchMode & 2)))
            PaintMaskFrame(cache, RealRegion(pendingRegion_) ? pendingRegion_ : nullptr, true, state, mask);
    }
    DrawButtonText();
    if (!Enabled()) {
        TsCacheInfo pc;
        GetParentCacheInfo(&sd, pc);
        ApplyDisabledKind(cache, disabledKind_, TPoint{left_, top_}, pc, f.ParentColor);
    }
    sd.BGChanged = false;
}

void TsButton::PaintButton(HDC given)
{
    if (RepaintLocked && (!given || given != PrintDC)) return;
    TsCommonData& sd = SkinData();
    PAINTSTRUCT ps{};
    HDC dc = given ? given : BeginPaint(handle_, &ps);
    sd.Updating = sd.GetUpdating();
    if (!sd.Updating && !(fade_ && fade_->Direction())) {
        RECT pr{};
        bool partly = false;
        if (Parent() && Parent()->HandleAllocated()) {
            GetClientRect(Parent()->Handle(), &pr);
            partly = left_ < pr.left || top_ < pr.top || left_ + width_ > pr.right || top_ + height_ > pr.bottom;
        }
        sd.PartlyHidden = partly;
        sd.BGChanged = sd.BGChanged || partly;
        const bool redrawRegion = pendingRegion_ == reinterpret_cast<HRGN>(1) || SkinManagerFlags().Loading;
        if (pendingRegion_ == reinterpret_cast<HRGN>(1)) pendingRegion_ = nullptr;
        if (stateChanged_) sd.BGChanged = true;
        if (sd.BGChanged || !sd.FCacheBmp || sd.FCacheBmp->Width() != width_) PrepareCache();
        if (stateChanged_) {
            const int state = CurrentState();
            FillParentCorners(sd.Fields(), state);
            if (dc != PrintDC && !(ControlState() & csAlignmentNeeded) && pendingRegion_) {
                SetWindowRgn(handle_, pendingRegion_, redrawRegion);
                pendingRegion_ = nullptr; // the window owns it now
            }
            const TsSkinManager* m = sd.GetSkinManager();
            if (m && m->IsValidImgIndex(sd.BorderIndex) && Parent() && Parent()->HandleAllocated() &&
                (savedBounds_.Right - savedBounds_.Left > width_ || savedBounds_.Bottom - savedBounds_.Top > height_)) {
                TsCacheInfo pc;
                GetParentCacheInfo(&sd, pc);
                if (!pc.Ready) {
                    const int wl = m->GetMaskLeftWidth(sd.BorderIndex), wt = m->GetMaskTopWidth(sd.BorderIndex);
                    const int wr = m->GetMaskRightWidth(sd.BorderIndex), wb = m->GetMaskBottomWidth(sd.BorderIndex);
                    const TRect& s = savedBounds_;
                    const RECT corners[] = {{s.Right - wr, s.Top, s.Right, s.Top + wt},
                                            {s.Right - wr, s.Bottom - wb, s.Right, s.Bottom},
                                            {s.Left, s.Bottom - wb, s.Left + wl, s.Bottom}};
                    for (const RECT& c : corners)
                        InvalidateRect(Parent()->Handle(), &c, TRUE);
                }
            }
            savedBounds_ = TRect{left_, top_, left_ + width_, top_ + height_};
            stateChanged_ = false;
        }
        const int saved = SaveDC(dc);
        BitBlt(dc, 0, 0, width_, height_, sd.FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
        RestoreDC(dc, saved);
    }
    if (!given) EndPaint(handle_, &ps);
}

void TsButton::HideGlowNow()
{
    if (SkinData().GlowID >= 0) HideGlow(SkinData().GlowID);
}

void TsButton::DefaultPath(TMessage& m)
{
    TsLinkedControl::WndProc(m);
    TsCommonData& sd = SkinData();
    const bool destroying = InState(csDestroying);
    switch (m.Msg) {
    case CM_VISIBLECHANGED:
        if (!destroying) {
            sd.BGChanged = true;
            sd.Updating = false;
            if (Visible()) Repaint();
        }
        break;
    case CM_ENABLEDCHANGED:
        if (Visible() && !destroying) {
            sd.Updating = false;
            stateChanged_ = true;
            sd.Invalidate();
        }
        break;
    case WM_SETFONT:
        if (Visible()) {
            sd.Updating = false;
            sd.Invalidate();
        }
        break;
    case CM_CANCELMODE:
        HideGlowNow();
        break;
    default:
        break;
    }
}

void TsButton::FocusStep(TMessage& m, bool entering)
{
    TsCommonData& sd = SkinData();
    if (!Visible() || !Enabled() || InState(csDestroying) || (entering && inFocusStep)) {
        TButton::WndProc(m);
        return;
    }
    if (!entering) StopFade(fade_);
    inFocusStep = true;
    SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
    TButton::WndProc(m);
    SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
    inFocusStep = false;
    if (entering) {
        stateChanged_ = true;
        if (fade_) fade_->PaintStep();
        else sd.Invalidate();
    } else if (sd.Skinned(true)) {
        sd.FActive = false;
        stateChanged_ = true;
        sd.Invalidate();
        HideGlowNow();
    }
}

void TsButton::MouseDownStep(TMessage& m)
{
    TsCommonData& sd = SkinData();
    sd.Updating = false;
    pressedHere_ = true;
    if (m.Msg == WM_LBUTTONDOWN && !down_) {
        stateChanged_ = true;
        sd.Updating = sd.GetUpdating();
        // The window takes the press (and the focus) first, so that the pressed state is known
        // when painting.
        const std::shared_ptr<bool> alive = alive_;
        TsLinkedControl::WndProc(m);
        if (!*alive) return;
        sd.BGChanged = false;
        RepaintWithFade(fade_, &sd, true, AnimEventEnabled(aeMouseDown, AnimatEvents, nullptr), 1);
        return;
    }
    TsLinkedControl::WndProc(m);
}

bool TsButton::MouseUpStep(TMessage& m)
{
    TsCommonData& sd = SkinData();
    if (!pressedHere_ || InState(csDestroying)) {
        DefaultHandler(m); // the window lets go of the mouse; no OnMouseUp, no click
        return true;
    }
    pressedHere_ = false;
    const std::shared_ptr<bool> alive = alive_;
    if (m.Msg == WM_LBUTTONUP && Enabled()) {
        if (fade_ && fade_->Step < fade_->Iterations) {
            fade_->SetEnabled(false);
            StopFade(fade_);
            sd.BGChanged = true;
            stateChanged_ = true;
            forcePressed = true;
            RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            forcePressed = false;
            WaitHandlingMessages(30);
            if (!*alive) return false;
        }
        sd.Updating = false;
        if (!InState(csDestroying)) {
            stateChanged_ = true;
            sd.BGChanged = false;
            TsLinkedControl::WndProc(m); // releases the window's pushed state (and clicks)
            if (!*alive) return false;
            RepaintWithFade(fade_, &sd, true, AnimEventEnabled(aeMouseUp, AnimatEvents, nullptr), 1);
            return true;
        }
    }
    TsLinkedControl::WndProc(m);
    return *alive;
}

void TsButton::WndProc(TMessage& m)
{
    TsCommonData& sd = SkinData();
    const bool destroying = InState(csDestroying);
    if (m.Msg == WM_KILLFOCUS && destroying) return;
    if (m.Msg == SM_VELOCONCMD) {
        const WORD cmd = HIWORD(m.WParam);
        const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd.GetSkinManager();
        switch (cmd) {
        case cmdSkinChangeDone:
            StopFade(fade_);
            return;
        case cmdSkinChanged:
            if (!own) break;
            stateChanged_ = true;
            if (handle_)
                SendMessageA(handle_, BM_SETSTYLE, (GetWindowLongA(handle_, GWL_STYLE) & 0xFFFF) | BS_OWNERDRAW, TRUE);
            StopFade(fade_);
            HandleControlMessage(m, sd);
            return;
        case cmdRemoveSkin:
            if (!own || destroying) break;
            StopFade(fade_);
            HandleControlMessage(m, sd);
            if (handle_) {
                const LONG style = GetWindowLongA(handle_, GWL_STYLE) & 0xFFFF & ~0xB;
                SendMessageA(handle_, BM_SETSTYLE, static_cast<WPARAM>(style | (Default() ? BS_DEFPUSHBUTTON : 0)),
                             TRUE);
                DropPendingRegion();
                SetWindowRgn(handle_, nullptr, FALSE);
            }
            Repaint();
            return;
        case cmdRefresh:
            if (!own) break;
            StopFade(fade_);
            HandleControlMessage(m, sd);
            stateChanged_ = true;
            if (!PrintDC) Repaint();
            return;
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdRefreshCache:
            PrepareCache();
            break;
        case cmdFadeFrame:
            DropPendingRegion();
            break;
        default:
            break;
        }
    }
    if (!SkinnedNow()) {
        switch (m.Msg) {
        case WM_LBUTTONDOWN:
            pressedHere_ = true;
            break;
        case WM_LBUTTONUP:
            if (!pressedHere_) {
                DefaultHandler(m);
                return;
            }
            pressedHere_ = false;
            break;
        default:
            break;
        }
        TsLinkedControl::WndProc(m);
        return;
    }
    const bool shown = Visible();
    if (m.Msg == SM_VELOCONCMD) {
        if (HIWORD(m.WParam) == 6 && sd.Updating) {
            sd.Updating = false;
            Repaint();
            return;
        }
        if (HIWORD(m.WParam) == 9) {
            if (sd.CacheFrozen) PrepareCache();
            HandleControlMessage(m, sd);
            return;
        }
    }
    switch (m.Msg) {
    case WM_PRINT:
        stateChanged_ = true;
        sd.Updating = false;
        PaintButton(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_PAINT:
        if (!shown) break;
        if (Parent()) PaintButton(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
        if (!shown) break;
        m.Result = 1;
        return;
    case WM_WINDOWPOSCHANGING:
        stateChanged_ = true;
        break;
    case WM_WINDOWPOSCHANGED:
        stateChanged_ = true;
        sd.BGChanged = true;
        break;
    case WM_MOVE: {
        const TsSkinManager* mgr = sd.GetSkinManager();
        const TsGeneralData& g = mgr->GeneralData[static_cast<size_t>(sd.SkinIndex)];
        if (g.Transparency > 0 || (g.HotTransparency >= 1 && sd.ControlIsActive())) {
            sd.BGChanged = true;
            Repaint();
        }
        break;
    }
    case WM_SIZE:
        stateChanged_ = true;
        ClearGlows();
        break;
    case WM_ENABLE:
        return;
    case WM_SETFOCUS:
    case CM_ENTER:
        FocusStep(m, true);
        return;
    case WM_KILLFOCUS:
    case CM_EXIT:
        FocusStep(m, false);
        return;
    case WM_KEYUP:
        TsLinkedControl::WndProc(m);
        if (m.WParam == VK_SPACE && SkinnedNow()) {
            stateChanged_ = true;
            sd.BGChanged = true;
            Repaint();
        }
        return;
    case WM_KEYDOWN:
        TsLinkedControl::WndProc(m);
        if (m.WParam == VK_SPACE && SkinnedNow()) {
            // The window shows itself pushed; the cache follows.
            stateChanged_ = true;
            sd.BGChanged = true;
            Repaint();
        }
        return;
    case CM_DIALOGCHAR:
        if (Enabled() && Focused() && m.WParam == VK_SPACE) {
            StopFade(fade_);
            stateChanged_ = true;
            sd.BGChanged = true;
            HideGlowNow();
            Repaint();
        }
        break;
    case CM_MOUSEENTER:
        if (Enabled() && !sd.MouseAbove) {
            TsLinkedControl::WndProc(m); // OnMouseEnter
            sd.MouseAbove = true;
            sd.BGChanged = false;
            stateChanged_ = true;
            RepaintWithFade(fade_, &sd, false, AnimEventEnabled(aeMouseEnter, AnimatEvents, nullptr), 1);
            return;
        }
        break;
    case CM_MOUSELEAVE:
        if (Enabled()) {
            TsLinkedControl::WndProc(m); // OnMouseLeave
            sd.MouseAbove = false;
            sd.BGChanged = false;
            stateChanged_ = true;
            RepaintWithFade(fade_, &sd, false, AnimEventEnabled(aeMouseLeave, AnimatEvents, nullptr), 1);
            return;
        }
        break;
    case CM_UIACTIVATE:
        sd.Updating = false;
        break;
    case CN_DRAWITEM:
        m.Result = 1;
        return;
    case CN_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        mi->itemWidth = static_cast<UINT>(width_);
        mi->itemHeight = static_cast<UINT>(height_);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Enabled()) {
            MouseDownStep(m);
            return;
        }
        break;
    case WM_LBUTTONUP:
        if (Enabled()) {
            MouseUpStep(m);
            return;
        }
        break;
    default:
        break;
    }
    DefaultPath(m);
}
