#include "gui/ExtCtrls.h"

#include <cmath>
#include <numbers>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"

namespace {
const TIdentEntry kBevels[] = {
    {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvNone}};
const TIdentEntry kAlignments[] = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
const TIdentEntry kBorderStyles[] = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};
const TIdentEntry kGaugeKinds[] = {{"gkText", gkText},
                                   {"gkHorizontalBar", gkHorizontalBar},
                                   {"gkVerticalBar", gkVerticalBar},
                                   {"gkPie", gkPie},
                                   {"gkNeedle", gkNeedle}};
const TIdentEntry kShapes[] = {{"stRectangle", stRectangle},     {"stSquare", stSquare},   {"stRoundRect", stRoundRect},
                               {"stRoundSquare", stRoundSquare}, {"stEllipse", stEllipse}, {"stCircle", stCircle}};

void Bevel(HDC dc, RECT& r, TBevelCut cut, int width)
{
    if (cut == bvNone) return;
    UINT edge = cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER;
    for (int i = 0; i < width; ++i) {
        DrawEdge(dc, &r, edge, BF_RECT);
        InflateRect(&r, -1, -1);
    }
}
} // namespace

// ---- TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    width_ = 185;
    height_ = 41;
}

void TPanel::SetCaption(const std::string& caption)
{
    TCustomControl::SetCaption(caption);
    Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut b)
{
    bevelOuter_ = b;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut b)
{
    bevelInner_ = b;
    Invalidate();
}

void TPanel::SetBevelWidth(int width)
{
    bevelWidth_ = std::max(width, 1);
    Invalidate();
}

void TPanel::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s == bsSingle ? bsSingle : bsNone;
    if (!handle_) return;
    const LONG style = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE, borderStyle_ == bsSingle ? style | WS_BORDER : style & ~WS_BORDER);
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TPanel::CreateParams(TCreateParams& p)
{
    TCustomControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.style |= WS_BORDER;
}

void TPanel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    Invalidate();
}

void TPanel::Paint(TCanvas& canvas)
{
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    Bevel(canvas.Handle(), r, bevelOuter_, bevelWidth_);
    Bevel(canvas.Handle(), r, bevelInner_, bevelWidth_);
    std::string text = Caption();
    if (text.empty()) return;
    SetBkMode(canvas.Handle(), TRANSPARENT);
    SetTextColor(canvas.Handle(), ColorToRGB(font_.Color()));
    UINT align = alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawTextA(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TPanel::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "BevelOuter")) SetBevelOuter(static_cast<TBevelCut>(IdentToInt(v, kBevels, name)));
    else if (SameText(name, "BevelInner")) SetBevelInner(static_cast<TBevelCut>(IdentToInt(v, kBevels, name)));
    else if (SameText(name, "BevelWidth")) SetBevelWidth(v.AsInt());
    else if (SameText(name, "Alignment")) SetAlignment(static_cast<TAlignment>(IdentToInt(v, kAlignments, name)));
    else if (SameText(name, "BorderStyle"))
        SetBorderStyle(static_cast<TBorderStyle>(IdentToInt(v, kBorderStyles, name)));
    else TCustomControl::SetProperty(name, v);
}

// ---- TImage

TImage::TImage(TComponent* owner) : TCustomControl(owner)
{
    width_ = 105;
    height_ = 105;
    parentColor_ = true;
    picture_.OnChange = [this] { PictureChanged(); };
}

TCanvas& TImage::Canvas()
{
    if (picture_.Empty()) picture_.SetSize(std::max(width_, 1), std::max(height_, 1));
    return picture_.Canvas();
}

void TImage::PictureChanged()
{
    if (autoSize_ && !picture_.Empty()) SetBounds(left_, top_, picture_.Width(), picture_.Height());
    Invalidate();
}

void TImage::SetAutoSize(bool v)
{
    autoSize_ = v;
    PictureChanged();
}

void TImage::SetStretch(bool v)
{
    stretch_ = v;
    Invalidate();
}

void TImage::Paint(TCanvas& canvas)
{
    if (picture_.Empty()) return;
    if (stretch_) {
        canvas.StretchDraw(RECT{0, 0, ClientWidth(), ClientHeight()}, picture_);
    } else {
        int x = center_ ? (ClientWidth() - picture_.Width()) / 2 : 0;
        int y = center_ ? (ClientHeight() - picture_.Height()) / 2 : 0;
        canvas.Draw(x, y, picture_);
    }
}

void TImage::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
    else if (SameText(name, "Stretch")) SetStretch(v.AsBool());
    else if (SameText(name, "Center")) center_ = v.AsBool();
    else if (SameText(name, "Transparent") || SameText(name, "Proportional")) transparent_ = v.AsBool();
    else TCustomControl::SetProperty(name, v);
}

// ---- TShape

TShape::TShape(TComponent* owner) : TGraphicControl(owner)
{
    width_ = 65;
    height_ = 65;
    brush_.OnChange = [this] { Invalidate(); };
    pen_.OnChange = brush_.OnChange;
}

void TShape::SetShape(TShapeType s)
{
    shape_ = s;
    Invalidate();
}

void TShape::Paint(TCanvas& canvas)
{
    canvas.Brush().SetColor(brush_.Color());
    canvas.Brush().SetStyle(brush_.Style());
    canvas.Pen().SetColor(pen_.Color());
    canvas.Pen().SetWidth(pen_.Width());
    canvas.Pen().SetStyle(pen_.Style());
    int x = pen_.Width() / 2, y = x;
    int w = width_ - pen_.Width() + 1, h = height_ - pen_.Width() + 1;
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        int s = std::min(w, h);
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare:
        canvas.Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare:
        canvas.RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    default:
        canvas.Ellipse(x, y, x + w, y + h);
        break;
    }
}

void TShape::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Shape")) SetShape(static_cast<TShapeType>(IdentToInt(v, kShapes, name)));
    else if (SameText(name, "Brush.Color")) brush_.SetColor(IdentToColor(v));
    else if (SameText(name, "Pen.Color")) pen_.SetColor(IdentToColor(v));
    else if (SameText(name, "Pen.Width")) pen_.SetWidth(v.AsInt());
    else TGraphicControl::SetProperty(name, v);
}

// ---- TGauge

TGauge::TGauge(TComponent* owner) : TGraphicControl(owner)
{
    width_ = 100;
    height_ = 100;
    controlStyle_ |= csOpaque;
    caption_ = "0%";
}

int TGauge::PercentDone() const
{
    if (max_ <= min_) return 0;
    return static_cast<int>(static_cast<long long>(progress_ - min_) * 100 / (static_cast<long long>(max_) - min_));
}

void TGauge::SetMinValue(int v)
{
    if (v > max_ && !InState(csLoading)) throw EInvalidOperation("Ungültiger Wert für MinValue");
    min_ = v;
    if (progress_ < v) progress_ = v;
    UpdateText();
}

void TGauge::SetMaxValue(int v)
{
    if (v == max_) return;
    if (v < min_ && !InState(csLoading)) throw EInvalidOperation("Ungültiger Wert für MaxValue");
    max_ = v;
    if (progress_ > v) progress_ = v;
    UpdateText();
}

void TGauge::SetProgress(int v)
{
    v = std::max(min_, std::min(max_, v));
    if (v == progress_) return;
    int before = PercentDone();
    progress_ = v;
    if (PercentDone() != before) UpdateText();
    if (OnChange) OnChange(this);
}

void TGauge::SetShowText(bool v)
{
    showText_ = v;
    Invalidate();
}

void TGauge::SetForeColor(TColor c)
{
    foreColor_ = c;
    Invalidate();
}

void TGauge::SetBackColor(TColor c)
{
    backColor_ = c;
    Invalidate();
}

void TGauge::SetKind(TGaugeKind k)
{
    kind_ = k;
    Invalidate();
}

void TGauge::UpdateText()
{
    TGraphicControl::SetCaption(std::to_string(PercentDone()) + "%");
    Invalidate();
}

void TGauge::Paint(TCanvas& canvas)
{
    HDC dc = canvas.Handle();
    RECT r{0, 0, width_, height_};
    TBrushHandle back(CreateSolidBrush(ColorToRGB(backColor_)));
    TBrushHandle fore(CreateSolidBrush(ColorToRGB(foreColor_)));
    const int percent = PercentDone();
    const int w = r.right, h = r.bottom;
    switch (kind_) {
    case gkText:
        ::FillRect(dc, &r, back.get());
        break;
    case gkHorizontalBar:
    case gkVerticalBar: {
        ::FillRect(dc, &r, back.get());
        RECT done = r;
        if (kind_ == gkHorizontalBar) done.right = w * percent / 100;
        else done.top = h - h * percent / 100;
        ::FillRect(dc, &done, fore.get());
        break;
    }
    case gkPie:
    case gkNeedle: {
        TBrushHandle face(CreateSolidBrush(ColorToRGB(color_)));
        ::FillRect(dc, &r, face.get());
        TPenHandle pen(CreatePen(PS_SOLID, 1, ColorToRGB(foreColor_)));
        TSelectGuard penGuard(dc, pen.get());
        TSelectGuard brushGuard(dc, back.get());
        const double pi = std::numbers::pi;
        if (kind_ == gkPie) {
            Ellipse(dc, 0, 0, w, h);
            if (percent > 0) {
                // From the top, clockwise by the share done.
                const int cx = w / 2, cy = h / 2;
                const double a = pi * (percent / 50.0 + 0.5);
                SelectObject(dc, fore.get());
                Pie(dc, 0, 0, w, h, static_cast<int>(std::lround(cx * (1 - std::cos(a)))),
                    static_cast<int>(std::lround(cy * (1 - std::sin(a)))), cx, 0);
            }
        } else {
            // A half dial over the bottom edge; the needle turns from the left to the right.
            Pie(dc, 0, 0, w, 2 * h - 1, w, h - 1, 0, h - 1);
            MoveToEx(dc, 0, h - 1, nullptr);
            LineTo(dc, w, h - 1);
            if (percent > 0) {
                const int mx = w / 2;
                const double a = pi * percent / 100;
                MoveToEx(dc, mx, h - 1, nullptr);
                LineTo(dc, static_cast<int>(std::lround(mx * (1 - std::cos(a)))),
                       static_cast<int>(std::lround((h - 1) * (1 - std::sin(a)))));
            }
        }
        break;
    }
    }
    if (showText_) {
        const std::string text = caption_;
        TSelectGuard font(dc, font_.Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(clGray));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void TGauge::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "MinValue")) SetMinValue(v.AsInt());
    else if (SameText(name, "MaxValue")) SetMaxValue(v.AsInt());
    else if (SameText(name, "Progress")) SetProgress(v.AsInt());
    else if (SameText(name, "ShowText")) SetShowText(v.AsBool());
    else if (SameText(name, "ForeColor")) SetForeColor(IdentToColor(v));
    else if (SameText(name, "BackColor")) SetBackColor(IdentToColor(v));
    else if (SameText(name, "Kind")) SetKind(static_cast<TGaugeKind>(IdentToInt(v, kGaugeKinds, name)));
    else TGraphicControl::SetProperty(name, v);
}

void TGauge::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnChange")) OnChange = h.As<TNotifyEvent>(event);
    else TGraphicControl::SetEventHandler(event, h);
}

// ---- TTimer

namespace {
const char* const kTimerClass = "TilloraTimer";
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Update(); }

TTimer::~TTimer()
{
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER) {
        auto* t = reinterpret_cast<TTimer*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (t && t->enabled_ && t->OnTimer) {
            try {
                t->OnTimer(t);
            } catch (const std::exception& e) {
                Application->ShowException(e);
            }
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void TTimer::Update()
{
    if (InState(csLoading)) return;
    bool run = enabled_ && interval_ > 0;
    if (!run) {
        if (window_) KillTimer(window_, 1);
        return;
    }
    if (!window_) {
        WNDCLASSEXA wc{};
        if (!GetClassInfoExA(LibraryInstance(), kTimerClass, &wc)) {
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &TTimer::TimerWndProc;
            wc.hInstance = LibraryInstance();
            wc.lpszClassName = kTimerClass;
            RegisterClassExA(&wc);
        }
        window_ = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, LibraryInstance(), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    SetTimer(window_, 1, interval_, nullptr);
}

void TTimer::SetEnabled(bool v)
{
    if (v == enabled_) return;
    enabled_ = v;
    Update();
}

void TTimer::SetInterval(unsigned ms)
{
    if (ms == interval_) return;
    interval_ = ms;
    Update();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    Update();
}

void TTimer::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
    else if (SameText(name, "Interval")) SetInterval(static_cast<unsigned>(v.AsInt()));
    else TComponent::SetProperty(name, v);
}

void TTimer::SetEventHandler(const std::string& event, const TBoundHandler& h)
{
    if (SameText(event, "OnTimer")) {
        OnTimer = h.As<TNotifyEvent>(event);
    } else TComponent::SetEventHandler(event, h);
}
