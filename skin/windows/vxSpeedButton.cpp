#include "skin/windows/vxSpeedButton.h"

#include "gui/Forms.h"
#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sTextPaint.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxAdapterPaint.h"
#include "skin/windows/vxMainWnd.h"

namespace {
// Skin command 18: a move or size of the form ended; the button is painted again.
constexpr WORD cmdRepaintAfterMove = 18;
} // namespace

TvxSpeedButtonHandler::TvxSpeedButtonHandler(TSpeedButton* control, bool, const std::string& section,
                                             TsSkinManager* manager, TsCommonData* skinData)
    : Ctrl(control), Manager(manager ? manager : skinData->GetSkinManager()), SkinData(skinData)
{
    if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(section);
    hook_ = Ctrl->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) { WndProc(m, inherited); });
}

TvxSpeedButtonHandler::~TvxSpeedButtonHandler()
{
    if (!Destroyed && !(CtrlAdapterFreeingAll && !SkinManagerFlags().Removing)) Ctrl->UnhookWindowProc(hook_);
    Destroyed = true;
    Manager = nullptr;
}

int TvxSpeedButtonHandler::State() const
{
    const TButtonState s = Ctrl->State();
    if (s == bsDown || s == bsExclusive) return 2;
    return SkinData->ControlIsActive() ? 1 : 0;
}

bool TvxSpeedButtonHandler::PrepareCache()
{
    const int w = Ctrl->Width(), h = Ctrl->Height();
    TBitmap* cache = SizedCache(SkinData, w, h);
    TCanvas& canvas = cache->Canvas();
    canvas.Font() = Ctrl->Font();
    TsBackgroundInfo info;
    if (Ctrl->Parent()) GetParentBackground(Ctrl->Parent(), info, false);
    if (info.Bmp && info.Bmp->Width() == 0) return false;
    const TsCacheInfo parent = BackgroundToCacheInfo(info);
    const int state = State();
    const TsLinkFields fields = SkinData->Fields();
    const TPoint position{Ctrl->Left(), Ctrl->Top()};
    PaintItem(fields, parent, true, state, cache, position, TRect{0, 0, w, h});
    FillParentCorners(fields, state);

    // Glyph and caption placed together, the caption measured in a box 255 pixels wide.
    TBitmap& glyph = Ctrl->Glyph();
    const int frames = Ctrl->NumGlyphs() < 1 ? 1 : Ctrl->NumGlyphs();
    const SIZE glyphSize{glyph.Empty() ? 0 : glyph.Width() / frames, glyph.Empty() ? 0 : glyph.Height()};
    const std::string caption = Ctrl->Caption();
    RECT measured{0, 0, 0, 0};
    if (!caption.empty()) {
        measured.right = 255;
        TSelectGuard font(canvas.Handle(), canvas.Font().Handle());
        DrawTextStr(canvas.Handle(), caption, measured, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    }
    const TSpeedButtonLayout l = LayoutSpeedButton(SIZE{w, h}, glyphSize, SIZE{measured.right, measured.bottom},
                                                   Ctrl->Layout(), Ctrl->Margin(), Ctrl->Spacing(), state == 2);
    if (!caption.empty()) {
        canvas.Brush().SetStyle(bsClear);
        WriteControlText(canvas, caption, Ctrl->Enabled(), state, fields,
                         TextAlignFlags(Ctrl, taCenter) | DT_WORDBREAK | DT_EXPANDTABS,
                         TRect{l.Text.left, l.Text.top, l.Text.right, l.Text.bottom});
    }
    if (glyphSize.cx > 0 && glyphSize.cy > 0) {
        const TRect r{l.Glyph.x, l.Glyph.y, l.Glyph.x + glyphSize.cx, l.Glyph.y + glyphSize.cy};
        if (frames == 1 && glyph.PixelFormat() == pf32bit) CopyAlphaOverCache(cache, r, &glyph, TsCacheInfo{});
        else DrawGlyphBitmap(&glyph, cache, r, static_cast<int>(Ctrl->State()), frames, 0, !Ctrl->Enabled());
    }
    if (!Ctrl->Enabled()) ApplyDisabledKind(cache, dkBlended, position, parent, AskControlColor(Ctrl->Parent()));
    SkinData->BGChanged = false;
    return true;
}

void TvxSpeedButtonHandler::Paint(HDC dc)
{
    TSavedDC saved(dc);
    if (!PrepareCache()) return;
    BitBlt(dc, 0, 0, Ctrl->Width(), Ctrl->Height(), SkinData->FCacheBmp->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TvxSpeedButtonHandler::SkinCommand(TMessage& m, const TWndMethod& inherited)
{
    const bool own = m.LParam != 0 && m.LParam == reinterpret_cast<LPARAM>(Manager);
    switch (HIWORD(m.WParam)) {
    case cmdIsSkinned:
        m.Result = 1;
        return;
    case cmdRepaintAfterMove:
        SkinData->Updating = false;
        SkinData->BGChanged = true;
        Ctrl->Repaint();
        return;
    case cmdGetApplication:
        m.Result = reinterpret_cast<LRESULT>(Application);
        return;
    case cmdUpdateEnded:
        if (SkinData->GetUpdating()) {
            SkinData->Updating = false;
            Ctrl->Repaint();
        }
        return;
    case cmdSkinChanged:
        if (own) ::HandleSkinCommand(m, *SkinData);
        return;
    case cmdRemoveSkin:
        if (own && !Ctrl->InState(csDestroying)) {
            ::HandleSkinCommand(m, *SkinData);
            if (Ctrl->Visible()) Ctrl->Repaint();
        }
        return;
    case cmdRefresh:
        if (own) {
            ::HandleSkinCommand(m, *SkinData);
            if (Ctrl->Visible()) Ctrl->Repaint();
        }
        return;
    default:
        inherited(m);
        return;
    }
}

void TvxSpeedButtonHandler::WndProc(TMessage& m, const TWndMethod& inherited)
{
    if (Destroyed) {
        inherited(m);
        return;
    }
    switch (m.Msg) {
    case WM_PAINT:
        if (m.WParam) Paint(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        SkinData->MouseAbove = m.Msg == CM_MOUSEENTER;
        inherited(m);
        Ctrl->Repaint();
        return;
    default:
        break;
    }
    if (m.Msg == SM_VELOCONCMD) SkinCommand(m, inherited);
    else inherited(m);
}
