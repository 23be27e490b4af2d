// Panels, images, shapes, gauges and timers.
#pragma once

#include "gui/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A panel is a window of its own (WM_GETTEXT gives its caption) that draws its bevels and its
// centred caption and holds other controls. BorderStyle bsSingle gives it a one-pixel window
// border; BorderWidth (TWinControl) keeps room free inside it when children are aligned.
class TPanel : public TCustomControl {
    GUI_CLASS(TPanel, TCustomControl)
    explicit TPanel(TComponent* owner);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut b);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut b);
    // The width of each bevel in pixels (1 and above).
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    void SetCaption(const std::string& caption) override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(TCanvas& canvas) override;

private:
    TBevelCut bevelOuter_ = bvRaised, bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    TAlignment alignment_ = taCenter;
    TBorderStyle borderStyle_ = bsNone;
};

// A picture in a window of its own; it may also be placed inside other controls (a memo).
class TImage : public TCustomControl {
    GUI_CLASS(TImage, TCustomControl)
    explicit TImage(TComponent* owner);
    // The picture; drawing on Canvas() draws into it (made at the control's size when empty).
    TBitmap& Picture() { return picture_; }
    TCanvas& Canvas();
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool Center() const { return center_; }
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void Paint(TCanvas& canvas) override;
    void PictureChanged();

private:
    TBitmap picture_;
    bool autoSize_ = false, stretch_ = false, center_ = false, transparent_ = false;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// A shape drawn by its parent.
class TShape : public TGraphicControl {
    GUI_CLASS(TShape, TGraphicControl)
    explicit TShape(TComponent* owner);
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType s);
    TBrush& Brush() { return brush_; }
    TPen& Pen() { return pen_; }
    void Paint(TCanvas& canvas) override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

private:
    TShapeType shape_ = stRectangle;
    TBrush brush_;
    TPen pen_;
};

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

// A progress gauge: a graphic control (opaque; its parent paints it) showing how much of
// MinValue..MaxValue Progress has reached, as a bar, a pie, a needle or the text alone. Its
// Caption is always the percentage done ("40%"), shown or not (ShowText); another process reads
// it through the form (QueryControl in gui/Automation.h).
class TGauge : public TGraphicControl {
    GUI_CLASS(TGauge, TGraphicControl)
    explicit TGauge(TComponent* owner);
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progress_; }
    // A value above MaxValue raises EInvalidOperation (outside loading); Progress is raised to it.
    virtual void SetMinValue(int v);
    // A value below MinValue raises EInvalidOperation (outside loading); Progress is lowered to it.
    virtual void SetMaxValue(int v);
    // Limited to MinValue .. MaxValue; OnChange runs after a change.
    void SetProgress(int v);
    int PercentDone() const;
    void AddProgress(int v) { SetProgress(progress_ + v); }
    bool ShowText() const { return showText_; }
    void SetShowText(bool v);
    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor c);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor c);
    TGaugeKind Kind() const { return kind_; }
    void SetKind(TGaugeKind k);
    TNotifyEvent OnChange;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;
    void Paint(TCanvas& canvas) override;

private:
    void UpdateText();
    int min_ = 0, max_ = 100, progress_ = 0;
    bool showText_ = true;
    TGaugeKind kind_ = gkHorizontalBar;
    TColor foreColor_ = clBlack, backColor_ = clWhite;
};

// A timer; OnTimer runs on the GUI thread every Interval milliseconds while Enabled.
class TTimer : public TComponent {
    GUI_CLASS(TTimer, TComponent)
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    TNotifyEvent OnTimer;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;
    void Loaded() override;

private:
    void Update();
    static LRESULT CALLBACK TimerWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool enabled_ = true;
    unsigned interval_ = 1000;
    HWND window_ = nullptr;
};
