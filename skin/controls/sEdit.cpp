// The skinned edit: its cache image, its frame and its disabled look, its skin commands and the
// bound label that follows it.
#include "skin/controls/sEdit.h"

#include <optional>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"
#include "skin/controls/sLabel.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"

namespace {

// Validates the window without drawing.
void ValidateOnly(HWND wnd) { TPaintDC paint(wnd); }

} // namespace

TsEdit::TsEdit(TComponent* owner)
    : TsLinkedControl(owner), disabledKind_(dkBlended), boundLabel_(std::make_unique<TsBoundLabel>(&SkinData()))
{
    SkinData().UpdateDefaultSection();
}

TsEdit::~TsEdit() { boundLabel_.reset(); }

void TsEdit::SetDisabledKind(unsigned kinds)
{
    if (kinds == disabledKind_) return;
    disabledKind_ = kinds;
    SkinData().Invalidate();
}

int TsEdit::FrameWidth() const
{
    if (BorderStyle() == bsNone) return 0;
    return Ctl3D() ? 2 : 1;
}

bool TsEdit::HasNonClientFrame()
{
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    return client.right < window.right - window.left || client.bottom < window.bottom - window.top;
}

int TsEdit::State() const { return SkinData().ControlIsActive() ? 1 : 0; }

void TsEdit::PrepareCache()
{
    TsCommonData& link = SkinData();
    link.InitCacheBmp();
    TBitmap* cache = link.FCacheBmp.get();
    TsCacheInfo parent;
    GetParentCacheInfo(&link, parent);
    const int state = State();
    PaintItem(link.Fields(), parent, true, state, cache, TPoint{}, TRect{0, 0, Width(), Height()});
    PaintText();
    if (!Enabled()) {
        GetParentCacheInfo(&link, parent);
        ApplyDisabledKind(cache, disabledKind_, TPoint{}, parent, AskControlColor(Parent()));
    }
    link.BGChanged = false;
    link.CacheDirty = false;
}

void TsEdit::PaintText()
{
    TsCommonData& link = SkinData();
    TBitmap* cache = link.FCacheBmp.get();
    if (!cache || cache->Empty()) return;
    const int frame = FrameWidth();
    const TRect r{frame + 1, frame + 1, Width() - frame, Height() - frame};
    const std::string text = Text();
    const std::string shown = PasswordChar() ? std::string(text.size(), PasswordChar()) : text;
    WriteControlText(cache->Canvas(), shown, true, State(), link.Fields(), DT_SINGLELINE | DT_NOPREFIX, r);
}

void TsEdit::PaintControl(HDC dc)
{
    TsCommonData& link = SkinData();
    std::optional<TPaintDC> paint;
    if (!RepaintLocked) paint.emplace(Handle());
    std::optional<TWindowDC> window;
    if (!dc) {
        window.emplace(Handle(), true);
        dc = window->get();
    }
    const int saved = SaveDC(dc);
    link.Updating = link.GetUpdating();
    if (!link.Updating) {
        bool changed = link.CacheDirty || link.BGChanged || link.PartlyHidden;
        if (Parent() && AskControl(Parent(), cmdGetPartlyHidden) != 0) changed = true;
        if (Parent()) {
            const RECT b = BoundsRect();
            const int cw = Parent()->ClientWidth(), ch = Parent()->ClientHeight();
            link.PartlyHidden = b.left < 0 || b.top < 0 || b.right > cw || b.bottom > ch;
        }
        TBitmap* cache = link.FCacheBmp.get();
        if (!cache || cache->Width() != Width() || cache->Height() != Height()) changed = true;
        if (changed && !link.CacheFrozen) PrepareCache();
        cache = link.FCacheBmp.get();
        if (cache && !cache->Empty()) {
            FillParentCorners(link.Fields(), State());
            BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas().Handle(), 0, 0, SRCCOPY);
        }
    }
    RestoreDC(dc, saved);
}

void TsEdit::PaintBorder()
{
    TsCommonData& link = SkinData();
    // A hidden window shows no frame: no cache is made for it (it would outlive the next paint).
    if (RepaintLocked || link.GetUpdating() || !HandleAllocated() || !IsWindowVisible(Handle())) return;
    TBitmap* cache = link.FCacheBmp.get();
    if (link.CacheDirty || link.BGChanged || !cache || cache->Width() != Width() || cache->Height() != Height())
        PrepareCache();
    cache = link.FCacheBmp.get();
    if (!cache || cache->Empty()) return;
    FillParentCorners(link.Fields(), State());
    const int frame = FrameWidth();
    if (frame <= 0) return;
    const TWindowDC dc(Handle(), true);
    CopyFrameFromDC(dc.get(), 0, 0, frame, 0, 0, cache->Canvas().Handle(), Height(), Width());
}

void TsEdit::TakeStateColors()
{
    TsCommonData& link = SkinData();
    const TsGeneralData& g = link.GetSkinManager()->GeneralData[static_cast<size_t>(link.SkinIndex)];
    const bool active = link.ControlIsActive();
    const TColor color = active ? static_cast<TColor>(ColorToRGB(g.HotColor)) : g.Color;
    const TColor font = active ? g.HotFontColor[1] : g.FontColor[1];
    if (!link.CustomColor() && Color() != color) SetColor(color);
    if (!link.CustomFont() && Font().Color() != font) Font().SetColor(font);
}

void TsEdit::WndProc(TMessage& m)
{
    TsCommonData& link = SkinData();
    if (m.Msg == SM_VELOCONCMD) {
        switch (HIWORD(m.WParam)) {
        case cmdSkinChanged:
        case cmdRemoveSkin:
            if (!FromOwnManager(link, m.LParam)) break;
            HandleSkinCommand(m, link);
            return;
        case cmdRefresh:
            if (!FromOwnManager(link, m.LParam)) break;
            HandleSkinCommand(m, link);
            if (!RepaintLocked && HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdHasComplexBG:
            m.Result = 0;
            return;
        case cmdGetBGColor:
            if (link.Skinned()) break;
            m.Result = static_cast<LRESULT>(ColorToRGB(Color()));
            return;
        case 60:
            m.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this) || !link.Skinned()) TsLinkedControl::WndProc(m);
    else if (!SkinnedWndProc(m)) return;
    boundLabel_->FollowControl(m.Msg, disabledKind_);
}

bool TsEdit::SkinnedWndProc(TMessage& m)
{
    TsCommonData& link = SkinData();
    switch (m.Msg) {
    case WM_PAINT:
        if (RepaintLocked || link.GetUpdating()) {
            ValidateOnly(Handle());
            return true;
        }
        TakeStateColors();
        if (!Enabled()) {
            PaintControl(reinterpret_cast<HDC>(m.WParam));
        } else {
            TEdit::WndProc(m);
            // A one-pixel border the system's edit draws inside its client area itself.
            if (FrameWidth() > 0 && !HasNonClientFrame()) PaintBorder();
        }
        m.Result = 0;
        return true;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
        if (RepaintLocked || link.GetUpdating() || !Enabled()) m.Result = 1;
        else TEdit::WndProc(m);
        return true;
    case WM_NCPAINT:
        PaintBorder();
        m.Result = 0;
        return true;
    case WM_PRINT: {
        link.Updating = false;
        PrepareCache();
        FillParentCorners(link.Fields(), State());
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        const int frame = FrameWidth();
        TBitmap* cache = link.FCacheBmp.get();
        if (frame > 0) CopyFrameFromDC(dc, 0, 0, frame, 0, 0, cache->Canvas().Handle(), Height(), Width());
        PaintControl(dc);
        const int saved = SaveDC(dc);
        SetWindowOrgEx(dc, -frame, -frame, nullptr);
        IntersectClipRect(dc, 0, 0, Width() - 2 * frame, Height() - 2 * frame);
        if (!HandleControlMessage(m, link)) TEdit::WndProc(m);
        RestoreDC(dc, saved);
        return true;
    }
    case CM_COLORCHANGED:
        if (link.CustomColor()) link.CacheDirty = true;
        break;
    default:
        break;
    }
    if (HandleControlMessage(m, link)) return false;
    TEdit::WndProc(m);
    if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdUpdateEnded && link.Updating) {
        link.Updating = false;
        Repaint();
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
    }
    switch (m.Msg) {
    case WM_SETFONT:
    case WM_SETTEXT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        if (!InState(csLoading) && !RepaintLocked) {
            link.Invalidate();
            SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        }
        break;
    case WM_SIZE:
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        break;
    case WM_KILLFOCUS:
    case CM_EXIT:
        link.Focused = false;
        link.MouseAbove = false;
        link.CacheDirty = true;
        if (Visible()) Repaint();
        break;
    default:
        break;
    }
    return true;
}

void TsEdit::Loaded()
{
    TsLinkedControl::Loaded();
    if (activateLabel_) boundLabel_->SetActive(true);
}

void TsEdit::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "DisabledKind"))
        SetDisabledKind((v.Has("dkBlended") ? dkBlended : 0u) | (v.Has("dkGrayed") ? dkGrayed : 0u));
    else if (!boundLabel_->SetProperty(name, v, activateLabel_)) TsLinkedControl::SetProperty(name, v);
}
