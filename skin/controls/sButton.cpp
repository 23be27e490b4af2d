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
bool HasWindowRegion(HWND wnd)
{
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(wnd, probe) != ERROR;
    DeleteObject(probe);
    return has;
}

void WaitHandlingMessages(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        // Timers only: any other message dispatched between a press and its release (a
        // BM_CLICK sends both at once) can take the window's pushed state and lose the click.
        while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
}
} // namespace

template <class Base, int Kind>
TsButtonControl<Base, Kind>::TsButtonControl(TComponent* owner) : TsLinkedControl<Base, Kind>(owner)
{
    this->controlStyle_ &= ~(0x40u | 0x80u); // neither opaque nor taking double clicks
}

template <class Base, int Kind> TsButtonControl<Base, Kind>::~TsButtonControl()
{
    *alive_ = false;
    StopFade(fade_);
    RemoveGlow(&this->SkinData());
    DropPendingRegion();
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::Loaded()
{
    TsLinkedControl<Base, Kind>::Loaded();
    if (this->SkinData().FCacheBmp) this->SkinData().FCacheBmp->Canvas().Font() = this->Font();
    this->SkinData().UpdateControlColors();
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::SetDown(bool value)
{
    if (down_ == value) return;
    down_ = value;
    stateChanged_ = true;
    if (!this->InState(csLoading)) this->SkinData().Invalidate();
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::SetShowFocus(bool value)
{
    if (showFocus_ == value) return;
    showFocus_ = value;
    this->SkinData().Invalidate();
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::SetDisabledKind(unsigned kinds)
{
    if (disabledKind_ == kinds) return;
    disabledKind_ = kinds;
    if (!this->InState(csLoading)) this->SkinData().Invalidate();
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::SetButtonStyle(bool isDefault)
{
    defaultActive_ = isDefault;
    this->SkinData().Invalidate();
}

template <class Base, int Kind>
void TsButtonControl<Base, Kind>::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Down")) SetDown(v.AsBool());
    else if (SameText(name, "ShowFocus")) SetShowFocus(v.AsBool());
    else if (SameText(name, "FocusMargin")) FocusMargin = v.AsInt();
    else if (SameText(name, "WordWrap")) WordWrap = v.AsBool();
    else Base::SetProperty(name, v);
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::CreateParams(TCreateParams& p)
{
    Base::CreateParams(p);
    const TsSkinManager* m = this->SkinData().GetSkinManager();
    if (m && m->Active() && !m->SkinName().empty()) p.style = (p.style & ~0xFu) | BS_OWNERDRAW;
}

template <class Base, int Kind> bool TsButtonControl<Base, Kind>::SkinnedNow()
{
    return this->SkinData().Skinned(true) && ControlIsReady(this);
}

template <class Base, int Kind> int TsButtonControl<Base, Kind>::CurrentState() const
{
    if (down_) return 2;
    const bool pushed = this->handle_ && (SendMessageA(this->handle_, BM_GETSTATE, 0, 0) & BST_PUSHED);
    if ((pushed || forcePressed) && (this->SkinData().MouseAbove || !(this->ControlState() & csLButtonDown))) return 2;
    if (defaultActive_ || (this->handle_ && (GetWindowLongA(this->handle_, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) ||
        this->SkinData().ControlIsActive())
        return 1;
    return 0;
}

template <class Base, int Kind> SIZE TsButtonControl<Base, Kind>::TextSize()
{
    TCanvas& c = this->SkinData().FCacheBmp->Canvas();
    c.Font() = this->Font();
    const std::string text = this->Caption();
    RECT r{0, 0, text.empty() ? 0 : this->width_ - 2, 0};
    DrawTextStr(c.Handle(), text, r,
                DT_CALCRECT | DT_EXPANDTABS | DT_CENTER | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

template <class Base, int Kind> TRect TsButtonControl<Base, Kind>::CaptionRect()
{
    const SIZE s = TextSize();
    const int l = (this->width_ - s.cx) / 2, t = (this->height_ - s.cy) / 2;
    TRect r{l - 1, t, this->width_ - l + 2, this->height_ - t};
    if (CurrentState() == 2) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    return r;
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::DrawButtonText()
{
    WriteCaption(CaptionRect(), WordWrap ? 0x51u : 0x41u);
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::WriteCaption(const TRect& r, UINT flags)
{
    TBitmap* cache = this->SkinData().FCacheBmp.get();
    TCanvas& c = cache->Canvas();
    c.Font() = this->Font();
    c.Brush().SetStyle(bsClear);
    const int state = CurrentState();
    TsLinkFields f = this->SkinData().Fields();
    f.State = state;
    WriteControlText(c, this->Caption(), true, state == 0 ? 0 : 1, f, flags | this->DrawTextBiDiModeFlagsReadingOnly(),
                     r);
    const TsSkinManager* m = f.Manager;
    const int section = this->SkinData().SkinIndex;
    const bool sectionFocus = m && section >= 0 && m->GeneralData[static_cast<size_t>(section)].ShowFocus;
    if (this->Enabled() && this->Focused() && !this->Caption().empty() && sectionFocus && showFocus_) {
        // The dots stay inside the cache whatever the margin.
        const int w = this->width_, h = this->height_;
        const TRect fr{std::max(r.Left - FocusMargin, 0), std::max(r.Top - FocusMargin, 0),
                       std::min(r.Right + FocusMargin, w), std::min(r.Bottom + FocusMargin, h)};
        if (fr.Right > fr.Left && fr.Bottom > fr.Top) DrawFocusDots(c, fr);
    }
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::DropPendingRegion()
{
    if (RealRegion(pendingRegion_)) DeleteObject(pendingRegion_);
    pendingRegion_ = nullptr;
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::PrepareCache()
{
    TsCommonData& sd = this->SkinData();
    TBitmap* cache = sd.FCacheBmp.get();
    if (!cache) return;
    TsBackgroundInfo bg;
    GetParentBackground(this->Parent(), bg, false);
    TsCacheInfo ci = BackgroundToCacheInfo(bg);
    ci.X += this->left_;
    ci.Y += this->top_;
    if (cache->Width() != this->width_ || cache->Height() != this->height_) cache->SetSize(this->width_, this->height_);
    const int state = CurrentState();
    TsLinkFields f = sd.Fields();
    f.State = state;
    PaintItemBackground(f, ci, cache, TRect{0, 0, this->width_, this->height_});
    const TsSkinManager* m = f.Manager;
    // Only a border image cuts a region: without one the window stays rectangular (none).
    if (inPaint_ && stateChanged_ && !SkinChanging && !(fade_ && fade_->Direction())) {
        DropPendingRegion();
        if (m && m->IsValidImgIndex(sd.BorderIndex)) pendingRegion_ = CreateRectRgn(0, 0, this->width_, this->height_);
    }
    auto border = [&] {
        if (!m || !m->IsValidImgIndex(sd.BorderIndex)) return;
        const TsMaskData& mask = m->MaskData[static_cast<size_t>(sd.BorderIndex)];
        if (!(state == 0 && (mask.StretchMode & 2)))
            PaintMaskFrame(cache, RealRegion(pendingRegion_) ? pendingRegion_ : nullptr, true, state, mask);
    };
    if (BorderUnderContent()) border();
    DrawContent();
    if (!BorderUnderContent()) border();
    if (!this->Enabled()) {
        TsCacheInfo pc;
        GetParentCacheInfo(&sd, pc);
        ApplyDisabledKind(cache, disabledKind_, TPoint{this->left_, this->top_}, pc, f.ParentColor);
    }
    CachePainted();
    sd.BGChanged = false;
    sd.CacheDirty = false;
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::PaintButton(HDC given)
{
    if (RepaintLocked && (!given || given != PrintDC)) return;
    TsCommonData& sd = this->SkinData();
    PAINTSTRUCT ps{};
    HDC dc = given ? given : BeginPaint(this->handle_, &ps);
    sd.Updating = sd.GetUpdating();
    if (!sd.Updating && !(fade_ && fade_->Direction())) {
        RECT pr{};
        bool partly = false;
        if (this->Parent() && this->Parent()->HandleAllocated()) {
            GetClientRect(this->Parent()->Handle(), &pr);
            partly = this->left_ < pr.left || this->top_ < pr.top || this->left_ + this->width_ > pr.right ||
                     this->top_ + this->height_ > pr.bottom;
        }
        sd.PartlyHidden = partly;
        sd.BGChanged = sd.BGChanged || partly;
        const bool redrawRegion = pendingRegion_ == reinterpret_cast<HRGN>(1) || SkinManagerFlags().Loading;
        if (pendingRegion_ == reinterpret_cast<HRGN>(1)) pendingRegion_ = nullptr;
        if (stateChanged_) sd.BGChanged = true;
        if (sd.BGChanged || sd.CacheDirty || sd.FCacheBmp->Width() != this->width_) {
            inPaint_ = true;
            PrepareCache();
            inPaint_ = false;
        }
        if (stateChanged_) {
            const int state = CurrentState();
            FillParentCorners(sd.Fields(), state);
            const TsSkinManager* m = sd.GetSkinManager();
            if (dc != PrintDC && !(this->ControlState() & csAlignmentNeeded)) {
                if (pendingRegion_) {
                    SetWindowRgn(this->handle_, pendingRegion_, redrawRegion);
                    pendingRegion_ = nullptr; // the window owns it now
                } else if (!(m && m->IsValidImgIndex(sd.BorderIndex)) && HasWindowRegion(this->handle_)) {
                    SetWindowRgn(this->handle_, nullptr, redrawRegion); // left by a skin with a border
                }
            }
            DropPendingRegion(); // a region the window did not take is not kept
            if (m && m->IsValidImgIndex(sd.BorderIndex) && this->Parent() && this->Parent()->HandleAllocated() &&
                (savedBounds_.Right - savedBounds_.Left > this->width_ ||
                 savedBounds_.Bottom - savedBounds_.Top > this->height_)) {
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
                        InvalidateRect(this->Parent()->Handle(), &c, TRUE);
                }
            }
            savedBounds_ = TRect{this->left_, this->top_, this->left_ + this->width_, this->top_ + this->height_};
            stateChanged_ = false;
        }
        const int saved = SaveDC(dc);
        BitBlt(dc, 0, 0, this->width_, this->height_, sd.FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
        RestoreDC(dc, saved);
    }
    if (!given) EndPaint(this->handle_, &ps);
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::HideGlowNow()
{
    if (this->SkinData().GlowID >= 0) HideGlow(this->SkinData().GlowID);
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::DefaultPath(TMessage& m)
{
    TsLinkedControl<Base, Kind>::WndProc(m);
    TsCommonData& sd = this->SkinData();
    const bool destroying = this->InState(csDestroying);
    switch (m.Msg) {
    case CM_VISIBLECHANGED:
        if (!destroying) {
            sd.BGChanged = true;
            sd.Updating = false;
            if (this->Visible()) this->Repaint();
        }
        break;
    case CM_ENABLEDCHANGED:
        if (this->Visible() && !destroying) {
            sd.Updating = false;
            stateChanged_ = true;
            sd.Invalidate();
        }
        break;
    case WM_SETFONT:
        if (this->Visible()) {
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

template <class Base, int Kind> void TsButtonControl<Base, Kind>::FocusStep(TMessage& m, bool entering)
{
    TsCommonData& sd = this->SkinData();
    if (!this->Visible() || !this->Enabled() || this->InState(csDestroying) || (entering && inFocusStep)) {
        Base::WndProc(m);
        return;
    }
    if (!entering) StopFade(fade_);
    inFocusStep = true;
    SendMessageA(this->handle_, WM_SETREDRAW, FALSE, 0);
    Base::WndProc(m);
    SendMessageA(this->handle_, WM_SETREDRAW, TRUE, 0);
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

template <class Base, int Kind> void TsButtonControl<Base, Kind>::MouseDownStep(TMessage& m)
{
    TsCommonData& sd = this->SkinData();
    sd.Updating = false;
    pressedHere_ = true;
    if (m.Msg == WM_LBUTTONDOWN && !down_) {
        stateChanged_ = true;
        sd.Updating = sd.GetUpdating();
        // The window takes the press (and the focus) first, so that the pressed state is known
        // when painting.
        const std::shared_ptr<bool> alive = alive_;
        TsLinkedControl<Base, Kind>::WndProc(m);
        if (!*alive) return;
        sd.BGChanged = false;
        RepaintWithFade(fade_, &sd, true, AnimEventEnabled(aeMouseDown, AnimatEvents, nullptr), 1);
        return;
    }
    TsLinkedControl<Base, Kind>::WndProc(m);
}

template <class Base, int Kind> bool TsButtonControl<Base, Kind>::MouseUpStep(TMessage& m)
{
    TsCommonData& sd = this->SkinData();
    if (!pressedHere_ || this->InState(csDestroying)) {
        this->DefaultHandler(m); // the window lets go of the mouse; no OnMouseUp, no click
        return true;
    }
    pressedHere_ = false;
    const std::shared_ptr<bool> alive = alive_;
    if (m.Msg == WM_LBUTTONUP && this->Enabled()) {
        if (fade_ && fade_->Step < fade_->Iterations) {
            fade_->SetEnabled(false);
            StopFade(fade_);
            sd.BGChanged = true;
            stateChanged_ = true;
            forcePressed = true;
            RedrawWindow(this->handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            forcePressed = false;
            const bool pushed = (SendMessageA(this->handle_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
            WaitHandlingMessages(30);
            if (!*alive) return false;
            // The release has already happened: a capture taken away during the wait (the window
            // system's focus events are handled in it too) must not cancel the click. The window
            // takes its press again, without the press events, before it sees the release.
            if (pushed && !(SendMessageA(this->handle_, BM_GETSTATE, 0, 0) & BST_PUSHED)) {
                TMessage down{WM_LBUTTONDOWN, MK_LBUTTON, m.LParam, 0};
                this->DefaultHandler(down);
                if (!*alive) return false;
            }
        }
        sd.Updating = false;
        if (!this->InState(csDestroying)) {
            stateChanged_ = true;
            sd.BGChanged = false;
            TsLinkedControl<Base, Kind>::WndProc(m); // releases the window's pushed state (and clicks)
            if (!*alive) return false;
            RepaintWithFade(fade_, &sd, true, AnimEventEnabled(aeMouseUp, AnimatEvents, nullptr), 1);
            return true;
        }
    }
    TsLinkedControl<Base, Kind>::WndProc(m);
    return *alive;
}

template <class Base, int Kind> void TsButtonControl<Base, Kind>::WndProc(TMessage& m)
{
    TsCommonData& sd = this->SkinData();
    const bool destroying = this->InState(csDestroying);
    if (m.Msg == WM_KILLFOCUS && destroying) return;
    if (m.Msg == SM_VELOCONCMD) {
        if (!AcceptSkinCommand(m)) {
            m.Result = 0;
            return;
        }
        const WORD cmd = HIWORD(m.WParam);
        const bool own = FromOwnManager(sd, m.LParam);
        switch (cmd) {
        case cmdSkinChangeDone:
            StopFade(fade_);
            return;
        case cmdSkinChanged:
            if (!own) break;
            stateChanged_ = true;
            if (this->handle_)
                SendMessageA(this->handle_, BM_SETSTYLE,
                             (GetWindowLongA(this->handle_, GWL_STYLE) & 0xFFFF) | BS_OWNERDRAW, TRUE);
            StopFade(fade_);
            HandleControlMessage(m, sd);
            return;
        case cmdRemoveSkin:
            if (!own || destroying) break;
            StopFade(fade_);
            HandleControlMessage(m, sd);
            if (this->handle_) {
                const LONG style = GetWindowLongA(this->handle_, GWL_STYLE) & 0xFFFF & ~0xB;
                SendMessageA(this->handle_, BM_SETSTYLE,
                             static_cast<WPARAM>(style | (this->Default() ? BS_DEFPUSHBUTTON : 0)), TRUE);
                DropPendingRegion();
                SetWindowRgn(this->handle_, nullptr, FALSE);
            }
            this->Repaint();
            return;
        case cmdRefresh:
            if (!own) break;
            StopFade(fade_);
            HandleControlMessage(m, sd);
            stateChanged_ = true;
            // A button that does not show now (its form frozen for the change, or hidden) is
            // painted when it shows.
            if (!PrintDC && this->handle_ && IsWindowVisible(this->handle_)) this->Repaint();
            return;
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdRefreshCache:
            PrepareCache();
            break;
        case cmdPaintFadeFrame:
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
                this->DefaultHandler(m);
                return;
            }
            pressedHere_ = false;
            break;
        default:
            break;
        }
        TsLinkedControl<Base, Kind>::WndProc(m);
        return;
    }
    const bool shown = this->Visible();
    if (m.Msg == SM_VELOCONCMD) {
        if (HIWORD(m.WParam) == cmdUpdateEnded && sd.Updating) {
            sd.Updating = false;
            this->Repaint();
            return;
        }
        if (HIWORD(m.WParam) == cmdFreezeCache) {
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
        if (this->Parent()) PaintButton(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
        if (!shown) break;
        m.Result = EraseAnswer();
        return;
    case CM_TEXTCHANGED: // the owner-drawn window does not repaint for a new caption itself
        if (!destroying && shown) {
            DefaultPath(m);
            sd.Invalidate();
            return;
        }
        break;
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
            this->Repaint();
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
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Space pushes the window and lets it go again; the cache follows.
        TsLinkedControl<Base, Kind>::WndProc(m);
        if (m.WParam == VK_SPACE && SkinnedNow()) {
            stateChanged_ = true;
            sd.BGChanged = true;
            this->Repaint();
        }
        return;
    case CM_DIALOGCHAR:
        if (this->Enabled() && this->Focused() && m.WParam == VK_SPACE) {
            StopFade(fade_);
            stateChanged_ = true;
            sd.BGChanged = true;
            HideGlowNow();
            this->Repaint();
        }
        break;
    case CM_MOUSEENTER:
        if (this->Enabled() && !sd.MouseAbove) {
            TsLinkedControl<Base, Kind>::WndProc(m); // OnMouseEnter
            sd.MouseAbove = true;
            sd.BGChanged = false;
            stateChanged_ = true;
            RepaintWithFade(fade_, &sd, false, AnimEventEnabled(aeMouseEnter, AnimatEvents, nullptr), 1);
            return;
        }
        break;
    case CM_MOUSELEAVE:
        if (this->Enabled()) {
            TsLinkedControl<Base, Kind>::WndProc(m); // OnMouseLeave
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
        mi->itemWidth = static_cast<UINT>(this->width_);
        mi->itemHeight = static_cast<UINT>(this->height_);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (this->Enabled()) {
            MouseDownStep(m);
            return;
        }
        break;
    case WM_LBUTTONUP:
        if (this->Enabled()) {
            MouseUpStep(m);
            return;
        }
        break;
    default:
        break;
    }
    DefaultPath(m);
}

template class TsButtonControl<TButton, 93>;
template class TsButtonControl<TBitBtn, 94>;
