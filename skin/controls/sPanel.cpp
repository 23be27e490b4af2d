// The skinned panel's messages and painting, and PaintSkinPanel.
#include "skin/controls/sPanel.h"

#include <algorithm>
#include <optional>

#include "gui/Forms.h"
#include "gui/base/Handles.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"

namespace {

constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME; // 1285

const TsGeneralData* SectionOf(const TsCommonData& link)
{
    TsSkinManager* m = link.GetSkinManager();
    if (!m || !m->IsValidSkinIndex(link.SkinIndex)) return nullptr;
    return &m->GeneralData[static_cast<size_t>(link.SkinIndex)];
}

bool HasBorderImage(const TsCommonData& link)
{
    TsSkinManager* m = link.GetSkinManager();
    return m && m->IsValidSkinIndex(link.SkinIndex) && m->IsValidImgIndex(link.BorderIndex);
}

// The parent's background under the control: its answer to command 34, a bitmap answer's
// offsets moved to the control's place in it. False without a parent.
bool BackgroundUnder(TControl* control, TsBackgroundInfo& info)
{
    if (!control || !control->Parent()) return false;
    info.R = TRect{0, 0, control->Width(), control->Height()};
    GetParentBackground(control->Parent(), info, false);
    if (info.BgType == btCache) info.Offset = TPoint{info.Offset.X + control->Left(), info.Offset.Y + control->Top()};
    return true;
}

bool HasBitmap(const TsBackgroundInfo& info) { return info.BgType == btCache && info.Bmp && !info.Bmp->Empty(); }

// The DC given, or the window's own for the time of a paint that was given none.
class TOwnDC {
public:
    TOwnDC(TWinControl* control, HDC given)
    {
        if (!given) own_.emplace(control->Handle());
        dc_ = given ? given : own_->get();
    }
    HDC get() const { return dc_; }

private:
    std::optional<TWindowDC> own_;
    HDC dc_;
};

} // namespace

void TsPanel::Loaded()
{
    TsLinkedControl::Loaded();
    SkinData().UpdateControlColors();
}

bool TsPanel::ReadyAndSkinned() const { return ControlIsReady(const_cast<TsPanel*>(this)) && SkinData().Skinned(); }

bool TsPanel::CacheAllowed() const
{
    const TsCommonData& link = SkinData();
    return (link.RedrawAllowed() && !link.CustomColor()) || RepaintLocked;
}

bool TsPanel::CacheOutdated() const { return SkinData().CacheDirty || SkinData().BGChanged; }

int TsPanel::BevelsWidth() const
{
    return BevelWidth() * ((BevelInner() != bvNone ? 1 : 0) + (BevelOuter() != bvNone ? 1 : 0));
}

TRect TsPanel::CaptionRect() const
{
    const int d = BorderWidth() + BevelsWidth();
    return TRect{d, d, ClientWidth() - d, ClientHeight() - d};
}

void TsPanel::Paint(TCanvas& canvas)
{
    TPanel::Paint(canvas);
    if (Showing() && OnPaint) OnPaint(this, canvas);
}

void TsPanel::WndProc(TMessage& m)
{
    if (m.Msg == SM_VELOCONCMD) {
        // What the panel leaves (any command while it is not ready and skinned) takes the
        // default path: the link's common answers, then the plain panel.
        if (!SkinCommand(m)) TsLinkedControl::WndProc(m);
        return;
    }
    TsCommonData& link = SkinData();
    const bool skinned = ReadyAndSkinned();
    switch (m.Msg) {
    case WM_PAINT:
        if (skinned && OnPaintMessage(m)) return;
        break;
    case WM_PRINTCLIENT:
        if (skinned) {
            PaintToDC(reinterpret_cast<HDC>(m.WParam), true);
            m.Result = 0;
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (skinned) {
            OnEraseBackground(m);
            return;
        }
        if (OnPaint) return; // its handler paints the whole panel
        break;
    case WM_PRINT:
        if (skinned) {
            OnPrint(m);
            return;
        }
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGING:
        if (skinned) {
            const TsGeneralData* g = SectionOf(link);
            if (m.Msg == WM_SIZE || (g && g->Transparency > 0)) link.CacheDirty = true;
        }
        break;
    case CM_VISIBLECHANGED:
        if (skinned) {
            link.CacheDirty = true;
            link.Updating = false;
        }
        break;
    case CM_COLORCHANGED:
        if (skinned && link.CustomColor()) link.CacheDirty = true;
        break;
    case CM_TEXTCHANGED:
        if (skinned) {
            if (Parent()) link.Invalidate();
            return;
        }
        break;
    case WM_SETFONT:
        if (skinned) {
            TsLinkedControl::WndProc(m);
            if (!Caption().empty()) {
                link.CacheDirty = true;
                Repaint();
            }
            return;
        }
        break;
    case CM_ENABLEDCHANGED:
        if (skinned) {
            TsLinkedControl::WndProc(m);
            link.Invalidate();
            return;
        }
        break;
    default:
        break;
    }
    TsLinkedControl::WndProc(m);
}

// ---- skin commands

bool TsPanel::SkinCommand(TMessage& m)
{
    if (!AcceptSkinCommand(m)) {
        m.Result = 0;
        return true;
    }
    TsCommonData& link = SkinData();
    const WORD command = HIWORD(m.WParam);
    const bool ownManager = m.LParam != 0 && reinterpret_cast<TsSkinManager*>(m.LParam) == link.GetSkinManager();
    switch (command) {
    case cmdIsSkinned:
        m.Result = 1;
        return true;
    case 60:
        m.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    case cmdSkinChanged: {
        SetControlStyle(ControlStyle() & ~static_cast<unsigned>(csOpaque));
        TMessage children = m;
        BroadcastToControls(this, children);
        if (ownManager) HandleControlMessage(m, link);
        return true;
    }
    case cmdRemoveSkin: {
        SetControlStyle(ControlStyle() & ~static_cast<unsigned>(csOpaque));
        if (ownManager) {
            HandleControlMessage(m, link);
            Invalidate();
        }
        TMessage children = m;
        BroadcastToControls(this, children);
        return true;
    }
    case cmdRefresh: {
        if (ownManager) {
            HandleControlMessage(m, link);
            // A panel that does not show now (its form frozen for the change, or hidden) is
            // painted when it shows.
            if (HandleAllocated() && !InState(csLoading) && IsWindowVisible(Handle())) {
                InvalidateRect(Handle(), nullptr, TRUE);
                RedrawWindow(Handle(), nullptr, nullptr, kRedrawAll);
            }
        }
        TMessage children = m;
        BroadcastToControls(this, children);
        return true;
    }
    default:
        break;
    }
    if (command == cmdGetBGInfo && HasBorderImage(link)) {
        AnswerBackground(m);
        return true;
    }
    if (!ReadyAndSkinned()) return false;
    switch (command) {
    case cmdUpdateEnded:
        if (link.Updating) {
            link.Updating = false;
            link.Updating = link.GetUpdating();
            if (!link.Updating && HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, kRedrawAll);
        }
        SendEndUpdateToChildren(this);
        return true;
    case cmdGetBGChanged:
        m.Result = link.GetUpdating() ? 1 : 0;
        return true;
    default:
        // (Command 34 without a border image too: the link's own answer.)
        if (!HandleSkinCommand(m, link) && command != cmdGetBGInfo) TPanel::WndProc(m);
        return true;
    }
}

void TsPanel::AnswerBackground(TMessage& m)
{
    TsCommonData& link = SkinData();
    auto& info = *reinterpret_cast<TsBackgroundInfo*>(m.LParam);
    const TsGeneralData* g = SectionOf(link);
    TsSkinManager* manager = link.GetSkinManager();
    const bool skipNormal = manager->MaskData[static_cast<size_t>(link.BorderIndex)].StretchMode & bmSkipNormal;
    if ((CacheOutdated() || link.PartlyVisible()) && !link.GetUpdating() && !(g->Transparency == 100 && skipNormal))
        PrepareCache();
    GetBGInfo(&link, info, 0);
    if (ClientWidth() != Width() && info.BgType == btCache && !info.PleaseDraw) {
        const int d = BorderWidth() + BevelsWidth();
        info.Offset = TPoint{info.Offset.X + d, info.Offset.Y + d};
    }
}

// ---- paint messages

bool TsPanel::OnPaintMessage(TMessage& m)
{
    if (!Visible()) return false;
    TsCommonData& link = SkinData();
    PAINTSTRUCT ps;
    HDC paintDC = BeginPaint(Handle(), &ps);
    if (CacheAllowed() && !link.GetUpdating()) {
        const TOwnDC dc(this, reinterpret_cast<HDC>(m.WParam));
        SetControlState(csCustomPaint);
        PaintToDC(dc.get(), true);
        ClearControlState(csCustomPaint);
    } else {
        PaintToDC(paintDC, true);
    }
    EndPaint(Handle(), &ps);
    m.Result = 0;
    return true;
}

void TsPanel::OnEraseBackground(TMessage& m)
{
    TsCommonData& link = SkinData();
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    m.Result = 1;
    if (m.WParam == static_cast<WPARAM>(m.LParam)) {
        // A DC passed twice: the panel's look as a background, for another painter.
        if (!dc) return;
        if (CacheOutdated()) PrepareCache();
        if (CacheAllowed() && link.FCacheBmp)
            BitBlt(dc, 0, 0, Width(), Height(), link.FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
        else FillDC(dc, TRect{0, 0, Width(), Height()}, AskWindowColor(Handle()));
        return;
    }
    if (!CacheAllowed() && !link.GetUpdating()) PaintToDC(dc, true);
}

void TsPanel::OnPrint(TMessage& m)
{
    TsCommonData& link = SkinData();
    if (!CacheAllowed()) link.InitCacheBmp();
    PrepareCache();
    FillParentCorners(link.Fields(), 0);
    PaintToDC(reinterpret_cast<HDC>(m.WParam), false);
    m.Result = 0;
}

// ---- painting

void TsPanel::PrepareCache()
{
    TsCommonData& link = SkinData();
    if (!link.RedrawAllowed() && !RepaintLocked) return;
    link.InitCacheBmp();
    TBitmap* cache = link.FCacheBmp.get();
    PaintItemOnParentBackground(link.Fields(), true, 0, cache, TPoint{}, TRect{0, 0, Width(), Height()});
    WriteCaption(CaptionRect(), &cache->Canvas(), nullptr);
    if (OnPaint) OnPaint(this, cache->Canvas());
    link.CacheDirty = false;
    link.BGChanged = false;
}

void TsPanel::WriteCaption(const TRect& r, TCanvas* canvas, HDC dc)
{
    if (!canvas && !dc) return;
    TCanvas own;
    if (!canvas) {
        own.SetHandle(dc);
        canvas = &own;
    }
    const std::string text = Caption();
    const UINT flags = TextAlignFlags(this, Alignment()) | DT_WORDBREAK;
    canvas->Font() = Font();
    RECT measured{r.Left, r.Top, r.Right, r.Top};
    DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &measured, flags | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    const int top = (r.Bottom - r.Top - height) / 2 + BorderWidth();
    WriteControlText(*canvas, text, Enabled(), 0, SkinData().Fields(), flags,
                     TRect{r.Left, top, r.Right, top + height});
}

void TsPanel::PaintToDC(HDC dc, bool tellChildren)
{
    if (!Showing() || !SkinData().Skinned() || !HandleAllocated()) return;
    const TOwnDC own(this, dc);
    if (CacheAllowed()) PaintCached(own.get(), tellChildren);
    else PaintDirect(own.get(), tellChildren);
}

void TsPanel::PaintCached(HDC dc, bool tellChildren)
{
    TsCommonData& link = SkinData();
    link.Updating = link.GetUpdating();
    if (link.Updating) return;
    const bool rebuild = link.PartlyVisible() || CacheOutdated();
    if (DependsOnParentBG(&link)) {
        RECT clip;
        GetClipBox(dc, &clip);
        link.PartlyHidden = clip.right - clip.left != Width() || clip.bottom - clip.top != Height();
    } else {
        link.PartlyHidden = false;
    }
    if (rebuild && !link.CacheFrozen) PrepareCache();
    CopyCacheToDC(this, &link, TPoint{}, false, dc, TRect{0, 0, Width(), Height()});
    ::PaintControls(dc, this, TPoint{});
    if (tellChildren && !(ControlState() & csPaintCopy)) SendEndUpdateToChildren(this);
}

void TsPanel::PaintDirect(HDC dc, bool tellChildren)
{
    TsCommonData& link = SkinData();
    link.Updating = false;
    const int w = Width(), h = Height();
    const int border = MaxBorderWidth(&link);
    const TsGeneralData* g = SectionOf(link);
    const bool hasBorder = HasBorderImage(link);
    {
        TSavedDC saved(dc);
        ExcludeGraphicControls(dc, this, 0, 0);
        TsBackgroundInfo parent;
        TColor parentColor = static_cast<TColor>(ColorToRGB(Color()));
        if (!link.CustomColor() && BackgroundUnder(this, parent))
            parentColor = HasBitmap(parent) ? AskControlColor(Parent()) : static_cast<TColor>(ColorToRGB(parent.Color));
        const TRect inner{border, border, w - border, h - border};
        HDC cacheDC = nullptr;
        auto paintBorder = [&] {
            link.InitCacheBmp();
            cacheDC = link.FCacheBmp->Canvas().Handle();
            TRect client;
            PaintSkinPanel(cacheDC, TRect{0, 0, w, h}, 0, client, 0, link);
            CopyFrameFromDC(dc, 0, 0, border, 0, 0, cacheDC, h, w);
        };
        if (g->Transparency < 100 || !HasBitmap(parent)) {
            const TColor own = link.CustomColor() ? static_cast<TColor>(ColorToRGB(Color())) : g->Color;
            const TColor fill = g->Transparency <= 0     ? own
                                : g->Transparency >= 100 ? parentColor
                                                         : BlendColors(parentColor, own, g->Transparency / 100.0);
            if (hasBorder) {
                paintBorder();
                FillDC(dc, inner, fill);
            } else {
                FillDC(dc, TRect{0, 0, w, h}, fill);
            }
        } else {
            link.Updating = link.GetUpdating();
            if (!link.Updating) {
                HDC source = parent.Bmp->Canvas().Handle();
                if (hasBorder) {
                    paintBorder();
                    BitBlt(dc, border, border, inner.Right - inner.Left, inner.Bottom - inner.Top, source,
                           parent.Offset.X + border, parent.Offset.Y + border, SRCCOPY);
                } else {
                    BitBlt(dc, 0, 0, w, h, source, parent.Offset.X, parent.Offset.Y, SRCCOPY);
                }
            }
        }
        PaintCaptionAndEvent(dc);
        link.CacheDirty = false;
        link.BGChanged = false;
    }
    ::PaintControls(dc, this, TPoint{});
    if (tellChildren && !(ControlState() & csPaintCopy)) SendEndUpdateToChildren(this);
}

void TsPanel::PaintCaptionAndEvent(HDC dc)
{
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font() = Font();
    canvas.Brush().SetStyle(bsClear);
    WriteCaption(CaptionRect(), &canvas, nullptr);
    if (OnPaint) OnPaint(this, canvas);
}

void PaintSkinPanel(HDC dc, const TRect& r, int panelBorderWidth, TRect& clientRect, int state, TsCommonData& link)
{
    TsSkinManager* m = link.GetSkinManager();
    const TColor fill = GetControlColor(&link, state);
    TsBackgroundInfo background;
    const bool asked = BackgroundUnder(link.FOwnerControl, background);
    if (!m || !m->IsValidImgIndex(link.BorderIndex)) {
        if (panelBorderWidth > 0)
            FillFrame(dc, r, panelBorderWidth, fill, panelBorderWidth, panelBorderWidth, panelBorderWidth);
        return;
    }
    const int index = link.BorderIndex;
    if (!link.FCacheBmp) link.FCacheBmp = CreateBmp24(r.Right, r.Bottom);
    TBitmap* cache = link.FCacheBmp.get();
    HDC cacheDC = cache->Canvas().Handle();
    const int wl = m->GetMaskLeftWidth(index), wt = m->GetMaskTopWidth(index);
    const int wr = m->GetMaskRightWidth(index), wb = m->GetMaskBottomWidth(index);
    // The strips under the image: what its transparent and masked pixels show. (For every mask
    // kind: the corners of a plain image would otherwise keep whatever the cache held.)
    if (asked && HasBitmap(background)) {
        const int width = std::max({wl, wt, wr, wb});
        CopyFrameFromDC(cacheDC, r.Left, r.Top, width, background.Offset.Y + r.Top, background.Offset.X + r.Left,
                        background.Bmp->Canvas().Handle(), r.Bottom - r.Top, r.Right - r.Left);
    } else {
        FillFrame(cacheDC, r, wl, fill, wb, wr, wt);
    }
    DrawBorderMask(cache, r, state, m, index, false);
    clientRect = TRect{r.Left + wl, r.Top + wt, r.Right - wr, r.Bottom - wb};
    if (panelBorderWidth <= 0) return;
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const auto strip = [&](int size, int opposite, int own) {
        return std::max(0, std::min(panelBorderWidth, size - opposite) - own);
    };
    FillFrame(cacheDC, clientRect, strip(w, wr, wl), fill, strip(h, wt, wb), strip(w, wl, wr), strip(h, wb, wt));
    clientRect = TRect{r.Left + panelBorderWidth, r.Top + panelBorderWidth, r.Right - panelBorderWidth,
                       r.Bottom - panelBorderWidth};
    clientRect.Right = std::max(clientRect.Right, clientRect.Left);
    clientRect.Bottom = std::max(clientRect.Bottom, clientRect.Top);
    if (dc != cacheDC) CopyFrameFromDC(dc, r.Left, r.Top, panelBorderWidth, r.Top, r.Left, cacheDC, h, w);
}
