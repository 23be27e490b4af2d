// TsPanel: the skinned panel (the register window's containers, the six VAT-rate fields
// USS1..USS6, the main window's Panel1). A TPanel in every respect: caption, visibility and
// enabled state through the panel's properties; a form description names it "TsPanel" and may
// place other controls in it. The language loader replaces its caption only by a non-empty
// text (as a panel's) and gives it its hint (as a skinned panel's), so a rate field keeps its
// rate when the language file has no caption for it.
//
// While its skin link is skinned it draws itself from its section ("PANEL" by default, control
// kind 51; the sunken value fields use "PANEL_LOW"): the section's background over the parent's
// background, the border image in state 0, the caption in the section's font colours, then
// OnPaint, then its graphic children (sVclUtils.h PaintControls). Two ways:
// - cached: the whole look is kept in the link's cache bitmap, rebuilt when it is outdated
//   (CacheDirty or BGChanged, or partly visible), and copied to the window; used when the link
//   may redraw (a panel with a look of its own: gradient, texture, transparency) and the panel
//   has no CustomColor, or while the skin manager holds repainting back;
// - direct: a plain container (or CustomColor): the border image painted into the cache
//   (PaintSkinPanel) and its strips copied to the window, the inside filled with the section's
//   colour (the panel's own Color with CustomColor, the parent's through 100 % transparency).
// Children ask it for their background with command 34 and get its cache (or colour); the
// answer's offsets take in BorderWidth + BevelWidth per bevel when the client area is narrower
// than the panel. Command 7 is answered 1 in every state; 1, 2 and 3 reach the children too.
// Without a skin (none loaded, removed, or an unknown section) it paints as the plain panel.
//
//   auto* p = new TsPanel(form);
//   p->SetParent(form);
//   p->SkinData().SetSkinSection("PANEL_LOW");
//   p->OnPaint = [](TObject*, TCanvas& c) { c.TextOut(4, 4, "1,90"); };   // over the skin
#pragma once

#include <functional>

#include "gui/ExtCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsCommonData;

// Sender and the canvas being painted (the cache bitmap's in cached mode).
using TPaintEvent = std::function<void(TObject* sender, TCanvas& canvas)>;

class TsPanel : public TsLinkedControl<TPanel, 51> {
    GUI_CLASS(TsPanel, TPanel)
    explicit TsPanel(TComponent* owner) : TsLinkedControl(owner) {}
    void Loaded() override;

    TPaintEvent OnPaint;

    // The skinned painting into dc (0: the panel's own window); nothing unless the panel is
    // showing and skinned. With tellChildren its children hear command 6 afterwards.
    virtual void PaintToDC(HDC dc, bool tellChildren);
    // The caption into r, in the section's colours: on canvas, or (none) on dc; nothing without
    // either. Vertically centred in r, its top moved by BorderWidth; alignment and reading order
    // by TextAlignFlags, broken into words.
    virtual void WriteCaption(const TRect& r, TCanvas* canvas, HDC dc);
    // Rebuilds the cache (when the link may redraw, or repainting is held back): the section
    // over the parent's background, the caption and OnPaint on the cache's canvas.
    void PrepareCache();

protected:
    void WndProc(TMessage& m) override;
    // The plain panel, then OnPaint (only while the panel is not skinned).
    void Paint(TCanvas& canvas) override;

private:
    // Ready (sVclUtils ControlIsReady) and skinned (without the skin-loaded test).
    bool ReadyAndSkinned() const;
    // The cache is used for painting: the link may redraw and there is no CustomColor, or
    // repainting is held back.
    bool CacheAllowed() const;
    bool CacheOutdated() const;
    // The client rectangle less BorderWidth and BevelWidth per bevel that is not bvNone.
    TRect CaptionRect() const;
    int BevelsWidth() const;
    bool SkinCommand(TMessage& m);
    bool OnPaintMessage(TMessage& m);
    void OnEraseBackground(TMessage& m);
    void OnPrint(TMessage& m);
    void AnswerBackground(TMessage& m);
    void PaintCached(HDC dc, bool tellChildren);
    void PaintDirect(HDC dc, bool tellChildren);
    void PaintCaptionAndEvent(HDC dc);
};

// Paints a panel-like area of the link's owner into dc: its border image (state) into the link's
// cache bitmap over the parent's background (the border strips first filled with the link's
// colour, or copied from the parent's bitmap), and a panel border of panelBorderWidth inside
// it in the link's colour (copied to dc when dc is not the cache's). clientRect becomes r less
// the image's border widths (less panelBorderWidth on each side when that is above 0).
// Without a border image only the panel border is filled, on dc, and clientRect stays.
void PaintSkinPanel(HDC dc, const TRect& r, int panelBorderWidth, TRect& clientRect, int state, TsCommonData& link);
