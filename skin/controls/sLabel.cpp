// The skinned labels: the skin's font colour, the section behind the text, the disabled text
// over the parent's colour, and the labels' answers to the skin commands.
#include "skin/controls/sLabel.h"

#include <utility>

#include "gui/base/SysUtils.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLinkedControl.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"

bool TsCustomLabel::fontGuard_ = false;

TsCustomLabel::TsCustomLabel(TComponent* owner) : TLabel(owner) { SetTransparent(true); }

TsSkinManager* TsCustomLabel::ActiveManager()
{
    TsSkinManager* m = DefaultManager();
    return m && !m->InState(csDestroying) && m->SkinData.SkinLoaded ? m : nullptr;
}

void TsCustomLabel::SetSkinSection(const std::string& section)
{
    if (section == skinSection_) return;
    skinSection_ = section;
    Repaint();
}

TColor TsCustomLabel::SkinFontColor() const
{
    TsSkinManager* m = ActiveManager();
    if (!m) return clFuchsia;
    const int index = GetOpaqueParentSkinIndex(Parent(), -1, m);
    if (m->IsValidSkinIndex(index)) return m->GeneralData[static_cast<size_t>(index)].FontColor[1];
    return m->GetGlobalFontColor();
}

TFont& TsCustomLabel::GetCurrentFont()
{
    const TColor c = SkinFontColor();
    if (c != clFuchsia && c != Font().Color()) Font().SetColor(c);
    return Font();
}

void TsCustomLabel::Paint(TCanvas& canvas)
{
    if (InState(csDestroying)) return;
    TsSkinManager* m = skinSection_.empty() ? nullptr : ActiveManager();
    const int section = m ? m->GetSkinIndex(UpperCase(skinSection_)) : -1;
    if (!fontGuard_) {
        struct TGuard {
            TGuard() { fontGuard_ = true; }
            ~TGuard() { fontGuard_ = false; }
        } guard;
        TFont& font = GetCurrentFont();
        if (&font != &Font()) Font() = font;
        if (section >= 0) {
            const TColor c = m->GeneralData[static_cast<size_t>(section)].FontColor[1];
            if (c != Font().Color()) Font().SetColor(c);
        }
    }
    // A section at index 0 colours the text but paints nothing behind it.
    if (section > 0 && Parent()) {
        TsBackgroundInfo info;
        info.R = TRect{0, 0, Width(), Height()};
        GetParentBackground(Parent(), info, false);
        TsCacheInfo parent = BackgroundToCacheInfo(info);
        if (parent.Ready) {
            parent.X += Left();
            parent.Y += Top();
        }
        PaintSectionToDC(canvas.Handle(), TPoint{0, 0}, TRect{0, 0, Width(), Height()}, section, m, 0, parent);
    }
    TLabel::Paint(canvas);
}

void TsCustomLabel::DoDrawText(TCanvas& canvas, RECT& rect, UINT flags)
{
    TsSkinManager* m = ActiveManager();
    if (Enabled() || !m || InState(csDestroying)) {
        TLabel::DoDrawText(canvas, rect, flags);
        return;
    }
    const std::string text = DrawnText(flags);
    if (!ShowAccelChar()) flags |= DT_NOPREFIX;
    HDC dc = canvas.Handle();
    TSelectGuard font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    const TColor own = static_cast<TColor>(ColorToRGB(Font().Color()));
    SetTextColor(dc, static_cast<COLORREF>(BlendColors(own, AskControlColor(Parent()), 0.4)));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void TsCustomLabel::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case CM_FONTCHANGED:
        if (InState(csDestroying)) break;
        if (!fontGuard_) {
            AdjustBounds();
            Invalidate();
        }
        return;
    case CM_MOUSEENTER:
        if (OnMouseEnter) OnMouseEnter(this);
        DefaultHandler(m);
        return;
    case CM_MOUSELEAVE:
        DefaultHandler(m);
        if (OnMouseLeave) OnMouseLeave(this);
        return;
    case WM_PAINT:
        if (m.WParam) PaintGraphicControlOn(*this, reinterpret_cast<HDC>(m.WParam));
        return;
    default:
        break;
    }
    TLabel::WndProc(m);
    if (m.Msg != SM_VELOCONCMD || InState(csDestroying)) return;
    const WORD command = HIWORD(m.WParam);
    TsSkinManager* def = DefaultManager();
    if (!def || m.LParam != reinterpret_cast<LPARAM>(def)) return;
    if (command == cmdRemoveSkin && Font().Color() != clWindowText) Font().SetColor(clWindowText);
    if (command == cmdSkinChanged || command == cmdRemoveSkin || command == cmdRefresh) Invalidate();
}

void TsCustomLabel::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "SkinSection")) SetSkinSection(v.AsString());
    else TLabel::SetProperty(name, v);
}

TFont& TsLabel::GetCurrentFont()
{
    if (!useSkinColor_ || InState(csDestroying)) return Font();
    return TsCustomLabel::GetCurrentFont();
}

void TsLabel::WndProc(TMessage& m)
{
    if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdRemoveSkin) {
        TsSkinManager* def = DefaultManager();
        if (!InState(csDestroying) && def && m.LParam == reinterpret_cast<LPARAM>(def)) {
            if (useSkinColor_ && Font().Color() != clWindowText) Font().SetColor(clWindowText);
            Invalidate();
        }
        return;
    }
    TsCustomLabel::WndProc(m);
}

void TsLabel::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "UseSkinColor")) SetUseSkinColor(v.AsBool());
    else TsCustomLabel::SetProperty(name, v);
}

TsEditLabel::~TsEditLabel()
{
    if (boundLabel_) boundLabel_->LabelDestroyed(this);
}
