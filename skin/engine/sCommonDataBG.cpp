// The skin link's background and colour answers, the copy of its cache to a DC and its glow.
#include <algorithm>

#include "gui/Forms.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sSkinManager.h"

namespace {

LRESULT SendToControl(TControl* control, WORD command, LPARAM lParam)
{
    if (auto f = WindowSkinningHooks().SendSkinCommandToControl) return f(control, command, lParam);
    return 0;
}

TColor OwnColor(TsCommonData* link)
{
    if (link->FOwnerControl) return link->FOwnerControl->Color();
    if (TsFormProviderState* p = link->Provider())
        if (TForm* form = p->ProviderForm()) return form->Color();
    return clBtnFace;
}

TColor GlobalColor()
{
    TsSkinManager* def = DefaultManager();
    return def ? def->GetGlobalColor() : static_cast<TColor>(ColorToRGB(clBtnFace));
}

// A parent control's colour as window skinning gives it (RGB, clFuchsia for none).
TColor ParentColorOf(TControl* parent)
{
    if (!parent) return clFuchsia;
    if (auto f = WindowSkinningHooks().ControlColor) return f(parent);
    return static_cast<TColor>(ColorToRGB(parent->Color()));
}

const TsGeneralData* SectionOf(TsCommonData* link)
{
    TsSkinManager* m = link->GetSkinManager();
    if (!m || !m->IsValidSkinIndex(link->SkinIndex)) return nullptr;
    return &m->GeneralData[static_cast<size_t>(link->SkinIndex)];
}

void AnswerCache(TsCommonData* link, TsBackgroundInfo& info)
{
    info.BgType = btCache;
    if (!info.PleaseDraw) {
        info.Bmp = link->FCacheBmp.get();
        info.Offset = TPoint{0, 0};
        return;
    }
    BitBlt(info.DrawDC, info.R.Left, info.R.Top, info.R.Right - info.R.Left, info.R.Bottom - info.R.Top,
           link->FCacheBmp->Canvas().Handle(), info.Offset.X, info.Offset.Y, SRCCOPY);
}

} // namespace

void GetBGInfo(TsCommonData* link, TsBackgroundInfo& info, int state, HWND handle)
{
    if (!link->Skinned() || link->CustomColor()) {
        info.BgType = btFill;
        info.Color = OwnColor(link);
        return;
    }
    TsSkinManager* m = link->GetSkinManager();
    const TsGeneralData& g = m->GeneralData[static_cast<size_t>(link->SkinIndex)];
    const int t = state == 0 ? g.Transparency : g.HotTransparency;
    const int gp = state == 0 ? g.GradientPercent : g.HotGradientPercent;
    const int ip = state == 0 ? g.ImagePercent : g.HotImagePercent;
    TControl* owner = link->FOwnerControl;
    if (t == 100 && m->IsValidImgIndex(link->BorderIndex) &&
        (m->GetMaskLeftWidth(link->BorderIndex) + m->GetMaskRightWidth(link->BorderIndex) >= 25 ||
         m->GetMaskTopWidth(link->BorderIndex) + m->GetMaskBottomWidth(link->BorderIndex) >= 25)) {
        if (link->FCacheBmp) {
            AnswerCache(link, info);
        } else {
            info.BgType = btFill;
            info.Color = owner && owner->Parent() ? ParentColorOf(owner->Parent()) : GlobalColor();
        }
        return;
    }
    if (t == 100) {
        TControl* parent = nullptr;
        TPoint offset;
        if (owner) {
            parent = owner->Parent();
            offset = TPoint{owner->Left(), owner->Top()};
        } else if (TsFormProviderState* p = link->Provider()) {
            if (TForm* form = p->ProviderForm()) {
                parent = form->Parent();
                offset = TPoint{form->Left(), form->Top()};
            }
        }
        if (parent) {
            GetParentBackground(parent, info, info.PleaseDraw != 0);
            if (info.BgType == btCache) info.Offset = TPoint{info.Offset.X + offset.X, info.Offset.Y + offset.Y};
        } else if (!handle) {
            info.BgType = btFill;
            info.Color = GlobalColor();
        } else {
            const HWND parentWnd = GetParent(handle);
            GetParentBackgroundByHandle(info, parentWnd, false);
            if (info.BgType == btCache) {
                RECT r;
                GetWindowRect(handle, &r);
                POINT p{r.left, r.top};
                ScreenToClient(parentWnd, &p);
                info.Offset = TPoint{info.Offset.X + p.x, info.Offset.Y + p.y};
            }
        }
        return;
    }
    if (t >= 1) {
        if (link->FCacheBmp) {
            AnswerCache(link, info);
        } else {
            info.BgType = btFill;
            info.Color = clFuchsia;
        }
        return;
    }
    if (gp < 1 && ip < 1) {
        info.BgType = btFill;
        info.Bmp = link->FCacheBmp.get();
        info.Color = GetControlColor(link, state);
        if (info.PleaseDraw) FillDC(info.DrawDC, info.R, info.Color);
        return;
    }
    info.Color = m->GetGlobalColor();
    if (link->FCacheBmp) {
        AnswerCache(link, info);
    } else {
        info.BgType = btFill;
        info.Color = clFuchsia;
    }
}

TColor GetControlColor(TsCommonData* link, int state, HWND handle)
{
    if (!link || !link->Skinned()) return link ? OwnColor(link) : clBtnFace;
    const TsGeneralData& g = *SectionOf(link);
    const int t = state == 0 ? g.Transparency : g.HotTransparency;
    const TColor c = state == 0 ? g.Color : g.HotColor;
    if (t < 1) return link->CustomColor() ? OwnColor(link) : c;
    TControl* owner = link->FOwnerControl;
    if (t >= 100) {
        if (owner) return owner->Parent() ? ParentColorOf(owner->Parent()) : clFuchsia;
        if (!handle) return clBtnFace;
        return static_cast<TColor>(ColorToRGB(static_cast<TColor>(
            SendMessageA(GetParent(handle), SM_VELOCONCMD, SkinCommandWParam(cmdGetBGColor), clFuchsia))));
    }
    if (!owner) return c;
    return BlendColors(ParentColorOf(owner->Parent()), c, t / 100.0);
}

void GetParentCacheInfo(TsCommonData* link, TsCacheInfo& info)
{
    TControl* owner = link->FOwnerControl;
    if (link->Skinned() && owner && owner->Parent() && owner->Parent()->Parent()) {
        TsBackgroundInfo bg;
        bg.R = TRect{0, 0, owner->Width(), owner->Height()};
        GetParentBackground(owner->Parent(), bg, false);
        info = BackgroundToCacheInfo(bg);
        if (bg.BgType == btCache) {
            info.X += owner->Left();
            info.Y += owner->Top();
        }
        return;
    }
    info = TsCacheInfo{};
    info.FillColor = GetControlColor(link, 0);
    info.Ready = 0;
}

void GetParentCacheInfoByHandle(HWND handle, TsCacheInfo& info)
{
    info = TsCacheInfo{};
    info.FillColor = 0;
    const HWND parent = handle ? GetParent(handle) : nullptr;
    if (!parent) return;
    TsBackgroundInfo bg;
    GetParentBackgroundByHandle(bg, parent, false);
    info = BackgroundToCacheInfo(bg);
}

bool DependsOnParentBG(TsCommonData* link)
{
    if (link->ForceParentBG || !link->Skinned()) return true;
    TControl* owner = link->FOwnerControl;
    if (!owner || owner->InState(csCreating) || !owner->Visible()) return true;
    TsSkinManager* m = link->GetSkinManager();
    if (link->SkinIndex < 0 || link->SkinIndex >= static_cast<int>(m->GeneralData.size())) return false;
    const TsGeneralData& g = m->GeneralData[static_cast<size_t>(link->SkinIndex)];
    if (owner->Enabled() && g.Transparency < 1) return false;
    auto* parent = owner->Parent();
    if (parent && parent->HandleAllocated()) return SendToControl(parent, cmdHasComplexBG, 0) != 0;
    return true;
}

int MaxBorderWidth(TsCommonData* link)
{
    TsSkinManager* m = link->GetSkinManager();
    if (!m || !m->IsValidImgIndex(link->BorderIndex)) return 0;
    const int b = link->BorderIndex;
    if (m->MaskData[static_cast<size_t>(b)].ImgType == itisaGlyph) return 0;
    return std::max({m->GetMaskLeftWidth(b), m->GetMaskTopWidth(b), m->GetMaskRightWidth(b), m->GetMaskBottomWidth(b)});
}

int GetOpaqueParentSkinIndex(TControl* control, int def, TsSkinManager* manager)
{
    if (!control) return def;
    if (!manager) manager = DefaultManager();
    int index = -1;
    control->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdGetSkinIndex), reinterpret_cast<LPARAM>(&index));
    if (index < 0 || !manager || !manager->IsValidSkinIndex(index)) return def;
    const TsGeneralData& g = manager->GeneralData[static_cast<size_t>(index)];
    if (g.Transparency > 50 && control->Parent()) return GetOpaqueParentSkinIndex(control->Parent(), def, manager);
    return g.GiveOwnFont ? index : def;
}

void CopyCacheToDC(TControl* control, TsCommonData* link, TPoint offset, bool repaintCorners, HDC dc, const TRect& r)
{
    if (!link->FCacheBmp || !dc) return;
    if (repaintCorners) FillParentCorners(link->Fields(), link->ControlIsActive() ? 1 : 0);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        const bool skipGraphic = HookSkipGraphicChildren();
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* c = w->Controls(i);
            if (!c->Visible()) continue;
            if (!dynamic_cast<TWinControl*>(c) && skipGraphic) continue;
            const RECT b = c->BoundsRect();
            if (b.right > r.Left && b.left < r.Right && b.bottom > r.Top && b.top < r.Bottom)
                ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
        }
    }
    BitBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, link->FCacheBmp->Canvas().Handle(), offset.X,
           offset.Y, SRCCOPY);
    RestoreDC(dc, saved);
}

void CopyGroupBoxCacheToDC(HWND wnd, TsCommonData* link, TPoint offset, HDC dc, const TRect& r)
{
    if (!link->FCacheBmp || !dc) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    TsSkinManager* def = DefaultManager();
    int wl = 0, wr = 0, wb = 0;
    if (def) {
        const int section = def->GetSkinIndex("GROUPBOX");
        const int mask = def->GetMaskIndex(section, "GROUPBOX", "BORDERSMASK");
        if (def->IsValidImgIndex(mask)) {
            wl = def->GetMaskLeftWidth(mask);
            wr = def->GetMaskRightWidth(mask);
            wb = def->GetMaskBottomWidth(mask);
        }
    }
    for (HWND child = GetTopWindow(wnd); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT b;
        GetWindowRect(child, &b);
        MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&b), 2);
        char cls[16] = "";
        GetClassNameA(child, cls, sizeof cls);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        const bool groupBox = lstrcmpiA(cls, "Button") == 0 && (style & 0x0F) >= 7 &&
                              (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0;
        if (groupBox) {
            const int caption = static_cast<int>(SendMessageA(child, SM_VELOCONCMD, SkinCommandWParam(27), 0));
            ExcludeClipRect(dc, b.left, b.top, b.right, b.top + caption);
            ExcludeClipRect(dc, b.left, b.top, b.left + wl, b.bottom);
            ExcludeClipRect(dc, b.right - wr, b.top, b.right, b.bottom);
            ExcludeClipRect(dc, b.left, b.bottom - wb, b.right, b.bottom);
        } else {
            ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
        }
    }
    BitBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, link->FCacheBmp->Canvas().Handle(), offset.X,
           offset.Y, SRCCOPY);
    RestoreDC(dc, saved);
}

void RemoveGlow(TsCommonData* link)
{
    if (link->GlowID < 0) return;
    if (auto hide = WindowSkinningHooks().HideGlow) hide(link->GlowID);
    link->GlowID = -1;
}

void UpdateGlow(TsCommonData* link, bool repaint, HWND handle)
{
    TsSkinManager* m = link->GetSkinManager();
    const TsGeneralData* g = SectionOf(link);
    if (!m || !m->AllowGlowing() || !g || g->GlowCount < 1) return;
    auto show = WindowSkinningHooks().ShowGlow;
    TControl* owner = link->FOwnerControl;
    if (owner) {
        if (link->MouseAbove && GetKeyState(VK_LBUTTON) >= 0 && (!repaint || link->GlowID < 0)) {
            TForm* form = GetParentForm(owner);
            // The glow of a control on an MDI child belongs to the MDI main form.
            if (TForm* main = form ? form->MDIMainForm() : nullptr) form = main;
            if (!show || !form || !form->HandleAllocated()) return;
            RECT rect{}, clip{};
            if (auto* w = dynamic_cast<TWinControl*>(owner); w && w->HandleAllocated()) {
                GetWindowRect(w->Handle(), &rect);
                HDC dc = GetWindowDC(w->Handle());
                GetClipBox(dc, &clip);
                ReleaseDC(w->Handle(), dc);
                OffsetRect(&clip, rect.left, rect.top);
            } else if (owner->Parent() && owner->Parent()->HandleAllocated()) {
                rect = owner->BoundsRect();
                MapWindowPoints(owner->Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
                HDC dc = GetDC(owner->Parent()->Handle());
                GetClipBox(dc, &clip);
                ReleaseDC(owner->Parent()->Handle(), dc);
                MapWindowPoints(owner->Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&clip), 2);
            }
            RemoveGlow(link);
            link->GlowID = show(TRect{rect.left, rect.top, rect.right, rect.bottom},
                                TRect{clip.left, clip.top, clip.right, clip.bottom}, link->SkinSection(), m,
                                form->Handle(), 255, g->GlowMargin, "GLOW");
        } else {
            RemoveGlow(link);
        }
    } else if (handle && show) {
        RECT rect;
        GetWindowRect(handle, &rect);
        RemoveGlow(link);
        link->GlowID = show(TRect{rect.left, rect.top, rect.right, rect.bottom},
                            TRect{rect.left, rect.top, rect.right, rect.bottom}, link->SkinSection(), m,
                            GetAncestor(handle, GA_ROOT), 255, g->GlowMargin, "GLOW");
    }
}
