#include "skin/windows/vxGridWnd.h"

#include <algorithm>

#include "gui/Published.h"
#include "gui/base/Handles.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sPropUtils.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"

namespace {

constexpr const char* PainterEvent = "OnAdvancedHeaderDraw";
constexpr const char* QueryEvent = "OnHeaderDrawQueryElements";
constexpr const char* OwnerDrawOption = "hoOwnerDraw";
// The element set the adapter's query answers: background, caption, sort glyph and text.
constexpr unsigned AdapterElements = hpeBackground | hpeCaption | hpeSortGlyph | hpeText;
// A gradient colour the grid leaves to its default.
constexpr TColor NoGradient = 0x1FFFFFFF;
// Redraw after the tree's header colours changed: invalidate, erase, update now, frame.
constexpr UINT RedrawTree = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;

// The object at a dotted path below the control ("" the control itself); none when missing.
TObject* ObjectAt(TObject* control, const std::string& path)
{
    TObject* o = control;
    size_t from = 0;
    while (o && from < path.size()) {
        const size_t dot = path.find('.', from);
        o = GetObjProp(o, path.substr(from, dot == std::string::npos ? std::string::npos : dot - from));
        from = dot == std::string::npos ? path.size() : dot + 1;
    }
    return o;
}

// A font's colour is its own field; any other value a published ordinal.
bool HasValue(TObject* o, const std::string& name)
{
    return o && ((name == "Color" && dynamic_cast<TFont*>(o)) || HasProperty(o, name));
}
long long ReadValue(TObject* o, const std::string& name)
{
    if (auto* font = dynamic_cast<TFont*>(o); font && name == "Color") return font->Color();
    return GetIntProp(o, name);
}
void WriteValue(TObject* o, const std::string& name, long long value)
{
    if (auto* font = dynamic_cast<TFont*>(o); font && name == "Color") {
        font->SetColor(static_cast<TColor>(value));
        return;
    }
    SetIntProp(o, name, value);
}

// Keeps the control's value of a property when it has it, as it is (a system colour stays one,
// so it comes back as the same system colour); a gradient without a colour is kept as clBtnFace.
void Keep(std::vector<TvxKeptProperty>& kept, TObject* control, const std::string& object, const std::string& name)
{
    TObject* o = ObjectAt(control, object);
    if (!HasValue(o, name)) return;
    long long v = ReadValue(o, name);
    if (object == "ControlLook" && v == NoGradient) v = clBtnFace;
    kept.push_back({object, name, v});
}

// Gives the property the value when the control has it and notes it as changed.
void Give(std::vector<std::string>& changed, TObject* control, const std::string& object, const std::string& name,
          long long value)
{
    TObject* o = ObjectAt(control, object);
    if (!HasValue(o, name)) return;
    WriteValue(o, name, value);
    const std::string path = object + "." + name;
    if (std::find(changed.begin(), changed.end(), path) == changed.end()) changed.push_back(path);
}

// Writes back what was changed, as it was kept.
void GiveBack(const std::vector<TvxKeptProperty>& kept, std::vector<std::string>& changed, TObject* control)
{
    for (const TvxKeptProperty& k : kept)
        if (std::find(changed.begin(), changed.end(), k.Object + "." + k.Name) != changed.end())
            if (TObject* o = ObjectAt(control, k.Object); HasValue(o, k.Name)) WriteValue(o, k.Name, k.Value);
    changed.clear();
}

// The grid's properties and where their values come from.
struct TGridValue {
    const char* Object;
    const char* Name;
    bool NeedsControlLook;
};
const TGridValue GridValues[] = {
    {"", "FixedColor", false},
    {"TitleFont", "Color", false},
    {"FixedFont", "Color", true},
    {"", "GridFixedLineColor", true},
    {"", "GridLineColor", true},
    {"ControlLook", "FixedGradientFrom", true},
    {"ControlLook", "FixedGradientTo", true},
    {"ControlLook", "FixedGradientMirrorFrom", true},
    {"ControlLook", "FixedGradientMirrorTo", true},
    {"", "SelectionColor", true},
    {"", "SelectionTextColor", true},
    {"", "FooterColor", false},
    {"", "FooterCellColor", false},
    {"", "TitleColor", false},
    {"", "IndicatorIconColor", false},
};

TColor GridValueOf(const TGridValue& v, const TsSkinManager& m, int section)
{
    const std::string name = v.Name, object = v.Object;
    const TColor fixed = m.GetGlobalColor();
    if (name == "FixedColor" || name == "FixedGradientTo" || name == "GridFixedLineColor") return fixed;
    if (name == "Color") return m.GetGlobalFontColor();
    if (name == "GridLineColor") return BlendColors(m.GetGlobalHotColor(), m.GetActiveEditFontColor(), 0.7);
    if (name == "FixedGradientFrom") return BlendColors(fixed, m.GetGlobalHotColor(), 0.5);
    if (name == "FixedGradientMirrorFrom") return BlendColors(fixed, 0x000000, 0.95);
    if (name == "FixedGradientMirrorTo") return BlendColors(fixed, 0xFFFFFF, 0.9);
    if (name == "SelectionColor") return m.GetHighLightColor();
    if (name == "SelectionTextColor") return m.GetHighLightFontColor();
    if (name == "IndicatorIconColor")
        return m.IsValidSkinIndex(section) ? m.GeneralData[static_cast<size_t>(section)].FontColor[1] : clWindowText;
    // FooterColor, FooterCellColor, TitleColor: GLOBALINFO's COLOR.
    const int global = m.CommonIndexes.GlobalInfo;
    return m.IsValidSkinIndex(global) ? m.GeneralData[static_cast<size_t>(global)].Color : fixed;
}

} // namespace

// ---- TvxGridWnd ----

TvxGridWnd::~TvxGridWnd() { Shutdown(); }

bool TvxGridWnd::SwitchesThemeOff(const std::string&, bool) const { return false; }

void TvxGridWnd::AfterCreation()
{
    TvxEditWnd::AfterCreation();
    Kept.clear();
    if (TControl* grid = OwnerControl())
        for (const TGridValue& v : GridValues)
            Keep(Kept, grid, v.Object, v.Name);
}

void TvxGridWnd::SetNeedsRepaint()
{
    TvxEditWnd::SetNeedsRepaint();
    TControl* grid = OwnerControl();
    const TsSkinManager* m = Manager();
    if (!grid || !m) return;
    const bool look = HasProperty(grid, "ControlLook");
    for (const TGridValue& v : GridValues)
        if (look || !v.NeedsControlLook) Give(Changed, grid, v.Object, v.Name, GridValueOf(v, *m, SkinData->SkinIndex));
}

void TvxGridWnd::BeforeRemove()
{
    if (TControl* grid = OwnerControl(); grid && !grid->InState(csDestroying)) GiveBack(Kept, Changed, grid);
    TvxEditWnd::BeforeRemove();
}

void TvxGridWnd::GridWndProc(TMessage& m)
{
    TControl* grid = OwnerControl();
    if (m.Msg == WM_VSCROLL && !Destroyed && grid && HasProperty(grid, "DataSource") && VertBar) {
        SCROLLINFO& si = VertBar->ScrollInfo;
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        switch (LOWORD(m.WParam)) {
        case SB_THUMBPOSITION:
            si.nPos = si.nTrackPos + 1;
            SetScrollInfo(CtrlHandle, SB_VERT, &si, FALSE);
            break;
        case SB_THUMBTRACK:
            si.nPos = si.nTrackPos;
            SetScrollInfo(CtrlHandle, SB_VERT, &si, FALSE);
            break;
        case SB_ENDSCROLL:
            SendScrollMessage(CtrlHandle, WM_VSCROLL, SB_THUMBPOSITION, si.nTrackPos);
            break;
        default:
            break;
        }
    }
    // WM_PRINT: the edit handling paints the client through WM_PAINT at the frame's offset,
    // clipped to the client without the bars, as a grid needs it.
    TvxEditWnd::WndProc(m);
    if (Destroyed) return;
    if (m.Msg == WM_PAINT) UpdateScrolls(this, true);
    if (m.Msg == WM_WINDOWPOSCHANGED && IsWindowVisible(CtrlHandle)) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
}

void TvxGridWnd::WndProc(TMessage& m) { GridWndProc(m); }

TvxGridEhWnd::~TvxGridEhWnd() { Shutdown(); }

void TvxGridEhWnd::WndProc(TMessage& m) { GridWndProc(m); }

// ---- TvxVirtualTreeViewWnd ----

TvxVirtualTreeViewWnd::~TvxVirtualTreeViewWnd()
{
    Shutdown();
    // Freed with its form's items the adapter gives nothing back, but its handlers must not stay.
    if (TControl* tree = OwnerControl(); tree && !tree->InState(csDestroying)) {
        if (PainterInstalled) SetMethodProp(tree, PainterEvent, std::any{});
        if (QueryInstalled) SetMethodProp(tree, QueryEvent, std::any{});
    }
}

namespace {

// What the virtual-tree adapter sets, besides the header painter.
const TGridValue TreeValues[] = {
    {"VETColors", "CompressedTextColor", false},
    {"VETColors", "FileTextColor", false},
    {"VETColors", "FolderTextColor", false},
    {"PaintInfoColumn", "Color", false},
    {"PaintInfoColumn", "Style", false},
    {"Header", "Color", false},
    {"Header.Font", "Color", false},
    {"", "Themed", false},
};

} // namespace

void TvxVirtualTreeViewWnd::AfterCreation()
{
    TvxEditWnd::AfterCreation();
    Kept.clear();
    TControl* tree = OwnerControl();
    if (!tree) return;
    for (const TGridValue& v : TreeValues)
        Keep(Kept, tree, v.Object, v.Name);
    HadOwnerDraw = IsInSetProp(GetObjProp(tree, "Header"), "Options", OwnerDrawOption);
}

void TvxVirtualTreeViewWnd::SetNeedsRepaint()
{
    TvxEditWnd::SetNeedsRepaint();
    TControl* tree = OwnerControl();
    const TsSkinManager* m = Manager();
    if (!tree || !m) return;
    const TColor hotFont = m->IsValidSkinIndex(SkinData->SkinIndex)
                               ? m->GeneralData[static_cast<size_t>(SkinData->SkinIndex)].HotFontColor[1]
                               : clWindowText;
    for (const char* name : {"CompressedTextColor", "FileTextColor", "FolderTextColor"})
        Give(Changed, tree, "VETColors", name, hotFont);
    TObject* header = GetObjProp(tree, "Header");
    if (HasMethodProp(tree, PainterEvent) && !GetMethodProp(tree, PainterEvent).has_value()) {
        SetMethodProp(tree, PainterEvent,
                      TvxAdvancedHeaderPaintEvent([this](TObject* h, TvxHeaderPaintInfo& info, unsigned elements) {
                          PaintHeader(h, info, elements);
                      }));
        PainterInstalled = true;
        if (HasMethodProp(tree, QueryEvent) && !GetMethodProp(tree, QueryEvent).has_value()) {
            SetMethodProp(tree, QueryEvent,
                          TvxHeaderPaintQueryElementsEvent(
                              [](TObject*, TvxHeaderPaintInfo&, unsigned& elements) { elements = AdapterElements; }));
            QueryInstalled = true;
        }
        ChangeSetProp(header, "Options", OwnerDrawOption, true);
    }
    if (GetObjProp(tree, "PaintInfoColumn")) {
        Give(Changed, tree, "PaintInfoColumn", "Color", m->GetGlobalColor());
        Give(Changed, tree, "PaintInfoColumn", "Style", 1);
        Give(Changed, tree, "Header", "Color", m->GetGlobalHotColor());
        Give(Changed, tree, "Header.Font", "Color", m->GetGlobalFontColor());
        if (auto* w = dynamic_cast<TWinControl*>(tree); w && w->HandleAllocated())
            RedrawWindow(w->Handle(), nullptr, nullptr, RedrawTree);
        Give(Changed, tree, "", "Themed", 0);
    }
}

void TvxVirtualTreeViewWnd::BeforeRemove()
{
    TControl* tree = OwnerControl();
    if (tree && !tree->InState(csDestroying)) {
        // The painter the adapter installed would call a freed adapter: it goes with the skin.
        if (PainterInstalled) {
            SetMethodProp(tree, PainterEvent, std::any{});
            ChangeSetProp(GetObjProp(tree, "Header"), "Options", OwnerDrawOption, HadOwnerDraw);
        }
        if (QueryInstalled) SetMethodProp(tree, QueryEvent, std::any{});
        GiveBack(Kept, Changed, tree);
    }
    PainterInstalled = QueryInstalled = false;
    TvxEditWnd::BeforeRemove();
}

void TvxVirtualTreeViewWnd::PaintHeader(TObject* header, TvxHeaderPaintInfo& info, unsigned elements)
{
    const TsSkinManager* m = Manager();
    if (Busy || !SkinData->Skinned() || !m || !info.TargetCanvas) return;
    TCanvas& target = *info.TargetCanvas;
    const TRect& pr = info.PaintRectangle;
    const int w = pr.Right - pr.Left, h = pr.Bottom - pr.Top;
    if (w <= 0 || h <= 0) return;
    if (!info.Column) {
        if (m->IsValidSkinIndex(SkinData->SkinIndex))
            FillDC(target.Handle(), pr, m->GeneralData[static_cast<size_t>(SkinData->SkinIndex)].Color);
        return;
    }
    const bool own = m->IsValidSkinIndex(m->GetSkinIndex("COLHEADER"));
    const int section = m->GetSkinIndex(own ? "COLHEADER" : "BUTTON");
    const int state = info.IsDownIndex ? 2 : info.IsHoverIndex ? 1 : 0;
    auto bmp = CreateBmp24(w, h);
    if (elements & hpeBackground) {
        TBitmap* cache = SkinData->FCacheBmp.get();
        TsCacheInfo behind = cache && !cache->Empty() ? MakeCacheInfo(cache, pr.Left, pr.Top) : TsCacheInfo{};
        if (m->IsValidSkinIndex(section)) PaintSection(bmp.get(), TRect{0, 0, w, h}, section, m, state, behind);
        BitBlt(target.Handle(), pr.Left, pr.Top, w, h, bmp->Canvas().Handle(), 0, 0, SRCCOPY);
        return;
    }
    BitBlt(bmp->Canvas().Handle(), 0, 0, w, h, target.Handle(), pr.Left, pr.Top, SRCCOPY);
    TCanvas& canvas = bmp->Canvas();
    if (auto* font = dynamic_cast<TFont*>(GetObjProp(header, "Font"))) canvas.Font() = *font;
    const std::string text = [&] {
        const TPublishedProperty* p = FindPublishedProperty(*info.Column, "Text");
        return p && p->kind == TPublishedValue::Text ? p->get(*info.Column).text : std::string();
    }();
    const TRect tr{info.TextRectangle.Left - pr.Left, info.TextRectangle.Top - pr.Top,
                   info.TextRectangle.Right - pr.Left, info.TextRectangle.Bottom - pr.Top};
    const int hot = state != 0 ? 1 : 0;
    if ((elements & hpeText) && !(elements & hpeCaption) && !text.empty())
        WriteSectionTextEx(canvas, text, true, m, hot, section, 0, tr);
    if ((elements & hpeSortGlyph) && info.ShowSortGlyph) {
        const char* arrowSection = GetIntProp(header, "SortDirection") == 0 ? "SCROLLBTNBOTTOM" : "SCROLLBTNTOP";
        const int arrow = m->GetMaskIndex(m->GetSkinIndex(arrowSection), arrowSection, "GLYPHMASK");
        if (m->IsValidImgIndex(arrow))
            DrawMaskGlyph(bmp.get(),
                          TPoint{info.SortGlyphPos.X - pr.Left,
                                 (h - MaskFrameHeight(m->MaskData[static_cast<size_t>(arrow)])) / 2},
                          state, m, arrow);
    }
    if ((elements & hpeCaption) && !text.empty()) {
        const bool wrap = IsInSetProp(info.Column, "Options", "coWrapCaption");
        WriteSectionTextEx(
            canvas, text, true, m, hot, section,
            wrap ? DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS : DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, tr);
    }
    BitBlt(target.Handle(), pr.Left, pr.Top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}

void TvxVirtualTreeViewWnd::PaintNonClient(TMessage& m)
{
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    SkinData->Updating = SkinData->GetUpdating();
    if (SkinData->Updating) return;
    if (SkinData->BGChanged) {
        if (!SkinParamsSet) SetNeedsRepaint();
        ::RefreshCache(SkinData, CtrlHandle, DlgMode);
    }
    DrawFrameWithParentBackground(SkinData, CtrlHandle, BorderLeft);
    const TWindowDC dc(CtrlHandle, true);
    const int saved = SaveDC(dc.get());
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (cache && !cache->Empty() && BorderLeft > 0)
        CopyFrameFromDC(dc.get(), 0, 0, BorderLeft, 0, 0, cache->Canvas().Handle(), WndSize.cy, WndSize.cx);
    TMessage print{WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), 0, 0};
    CallPrevWndProc(print);
    m.Result = PaintScrollBars(this, CtrlHandle, dc.get(), -1);
    RestoreDC(dc.get(), saved);
}

void TvxVirtualTreeViewWnd::Print(TMessage& m)
{
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    SkinData->SetUpdating(false);
    ReadWindowGeometry(CtrlHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    if (SkinData->BGChanged) {
        if (!SkinParamsSet) SetNeedsRepaint();
        ::RefreshCache(SkinData, CtrlHandle, false);
    }
    if (!dc) return;
    TObject* header = GetObjProp(OwnerControl(), "Header");
    const int headerHeight =
        IsInSetProp(header, "Options", "hoVisible") ? static_cast<int>(std::max(0LL, GetIntProp(header, "Height"))) : 0;
    const int saved = SaveDC(dc);
    OffsetWindowOrgEx(dc, -BorderLeft, -(BorderLeft + headerHeight), nullptr);
    TMessage client{WM_PRINTCLIENT, m.WParam, 0, 0};
    CallPrevWndProc(client);
    RestoreDC(dc, saved);
    CallPrevWndProc(m);
    DrawFrameWithParentBackground(SkinData, CtrlHandle, BorderLeft);
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (cache && !cache->Empty() && BorderLeft > 0)
        CopyFrameFromDC(dc, 0, 0, BorderLeft, 0, 0, cache->Canvas().Handle(), WndSize.cy, WndSize.cx);
    m.Result = PaintScrollBars(this, CtrlHandle, dc, -1);
}

void TvxVirtualTreeViewWnd::WndProc(TMessage& m)
{
    if (Destroyed || !SkinData || !SkinData->Skinned()) {
        TvxEditWnd::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(m.WParam) == SB_THUMBTRACK) {
            TvxScrollBar* bar = m.Msg == WM_HSCROLL ? HorzBar.get() : VertBar.get();
            if (bar) {
                SCROLLINFO& si = bar->ScrollInfo;
                si.cbSize = sizeof si;
                si.fMask = SIF_ALL;
                si.nPos = si.nTrackPos;
                SetScrollInfo(CtrlHandle, m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si, FALSE);
            }
        }
        break;
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_NCPAINT:
        if (!IsWindowVisible(CtrlHandle)) break;
        PaintNonClient(m);
        return;
    case WM_PRINT:
        Print(m);
        return;
    default:
        break;
    }
    TvxEditWnd::WndProc(m);
}
