// The adapters of the system's button windows: TvxBtnWnd (push buttons, section "BUTTON"),
// TvxBitBtnWnd (push buttons with a picture), TvxCheckBoxWnd (check boxes and radio buttons,
// "CHECKBOX") and TvxGroupBoxWnd (group boxes, "GROUPBOX"). Each paints the whole control into
// its link's cache and copies it to the window; what the button would paint by itself on a
// state change is held back (WM_SETREDRAW around its own handling).
//
//   auto* a = CreateAdapter<TvxBtnWnd>(button, nullptr, manager, "", true);   // "BUTTON"
//   SendMessageA(button, BM_SETSTATE, TRUE, 0);   // repainted in state 2 (pressed)
//   delete a;                                     // the button paints itself again
//
// Button states (image frame and text colours): 2 pressed (BST_PUSHED), 1 hot (focused and
// enabled, the manager's hot control, or a default push button), 0 normal. A disabled button
// is blended 40 % towards what lies behind it. Check-box glyphs come from "GLOBALINFO":
// BS_RADIOBUTTON draws "RADIOUNCHECKED"/"RADIOCHECKED", every other style "BOXUNCHECKED"/
// "BOXCHECKED", and the indeterminate state "BOXGRAYED" for all; glyph frame 2 pressed, 1
// focused or hot, 0 normal. A group box's caption band starts 6 pixels from the left (right to
// left: width - text width - 14) and is as high as max(4, text height) + 2.
#pragma once

#include <windows.h>

#include <string>

#include "gui/Graphics.h"
#include "skin/windows/vxMainWnd.h"

// Skin command 27: a group box answers the height of its caption band.
constexpr WORD cmdGroupCaptionHeight = 27;

class TvxBtnWnd : public TvxMainWnd {
    GUI_CLASS(TvxBtnWnd, TvxMainWnd)
    ~TvxBtnWnd() override { Shutdown(); }
    void WndProc(TMessage& m) override;
    // 2 pressed, 1 hot, 0 normal.
    int ButtonState() const;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    void Start(const std::string& section, bool repaint) override;
    // The painting steps, in the order a descendant may replace them.
    virtual void DrawCaption();
    virtual void DrawGlyph() {}
    virtual SIZE GlyphSize() const { return SIZE{0, 0}; }
    virtual void DrawCaptionText(const RECT& r, UINT flags);
    virtual RECT CaptionRect();
    virtual POINT GlyphOffset() { return POINT{0, 0}; }
    // The caption measured (with the drawing flags) in the cache's font.
    virtual SIZE TextSize();
    virtual void PrepareCache();
    // DrawText flags of the caption: centred, expanded tabs, broken into lines unless the
    // style has BS_MULTILINE.
    UINT CaptionFlags() const;
    bool Pressed() const;

    // The cache's canvas while the cache is painted; the state being painted.
    TCanvas* canvas_ = nullptr;
    int state_ = 0;

private:
    void Paint(HDC dc);
    void Repaint();

    int lastState_ = 0;
};

class TvxBitBtnWnd : public TvxBtnWnd {
    GUI_CLASS(TvxBitBtnWnd, TvxBtnWnd)

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxBtnWnd::TvxBtnWnd;
    // The owner TBitBtn's glyph (one of NumGlyphs frames), else the bitmap of BM_GETIMAGE.
    void DrawGlyph() override;
    SIZE GlyphSize() const override;
    // Glyph and caption placed together (CalcGlyphLayout with the button's layout, margin and
    // spacing; a window without a TBitBtn: glyph left, margin -1, spacing 4).
    RECT CaptionRect() override;
    POINT GlyphOffset() override { return glyphPos_; }

private:
    TBitmap* OwnGlyph() const;
    int Frames() const;
    POINT glyphPos_{};
};

class TvxCheckBoxWnd : public TvxMainWnd {
    GUI_CLASS(TvxCheckBoxWnd, TvxMainWnd)
    ~TvxCheckBoxWnd() override { Shutdown(); }
    void WndProc(TMessage& m) override;
    // 2 indeterminate, 1 checked, 0 unchecked.
    int CheckState() const;
    // The "GLOBALINFO" mask of the glyph for the style and check state, -1 for none.
    int GlyphMask() const;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    void Start(const std::string& section, bool repaint) override;

private:
    void Paint(HDC dc);
    void PrepareCache();
    void DrawCaption(TCanvas& canvas, int state);
    void DrawGlyph();
    bool IsActive() const;
};

class TvxGroupBoxWnd : public TvxMainWnd {
    GUI_CLASS(TvxGroupBoxWnd, TvxMainWnd)
    ~TvxGroupBoxWnd() override { Shutdown(); }
    void WndProc(TMessage& m) override;
    // The caption band in window coordinates (measured at the last paint).
    RECT CaptionBand() const { return captionRect_; }

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxMainWnd::TvxMainWnd;
    void Start(const std::string& section, bool repaint) override;

private:
    // Into the given DC, else the window DC (between BeginPaint and EndPaint with inPaint).
    void Paint(HDC given, bool inPaint);
    void PrepareCache();
    void Erase(TMessage& m);
    RECT captionRect_{};
};
