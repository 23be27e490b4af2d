// Harness controls of the container and list adapters' tests: small class-library controls of
// kinds this library does not have, publishing by name exactly what the adapters read.
//   TProbeToolBar     a tool bar: graphic buttons (TProbeToolButton: Caption, Enabled, "Down"),
//                     the events "OnCustomDraw" and "OnCustomDrawButton"; its plain look is
//                     PlainBarColor behind buttons of PlainButtonColor
//   TProbeGrid        a grid with "FixedColor", "TitleFont", "FooterColor", "FooterCellColor",
//                     "TitleColor", "IndicatorIconColor", "GridLineColor"; with the options of
//                     its constructor also "ControlLook" (an object with the four gradient
//                     colours), "FixedFont", "GridFixedLineColor", "SelectionColor",
//                     "SelectionTextColor" and "DataSource"; it has a vertical scroll bar and
//                     writes down the positions its WM_VSCROLL finds in the bar
//   TProbeVirtualTree a virtual tree with "VETColors", "Header" (Options, Color, Font, Height,
//                     SortDirection), "PaintInfoColumn", "Themed", "OnAdvancedHeaderDraw" and
//                     "OnHeaderDrawQueryElements"; it paints its header through the first event
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Published.h"
#include "skin/windows/vxGridWnd.h"
#include "skin/windows/vxToolBarWnd.h"

namespace harness {

constexpr TColor PlainBarColor = 0x102030, PlainButtonColor = 0x405060;

class TProbeToolBar;

class TProbeToolButton : public TGraphicControl {
    GUI_CLASS(TProbeToolButton, TGraphicControl)
    explicit TProbeToolButton(TComponent* owner) : TGraphicControl(owner) {}
    bool Down = false;
    void Paint(TCanvas& canvas) override;
};

class TProbeToolBar : public TCustomControl {
    GUI_CLASS(TProbeToolBar, TCustomControl)
    explicit TProbeToolBar(TComponent* owner) : TCustomControl(owner) {}
    TvxToolBarDrawEvent OnCustomDraw;
    TvxToolButtonDrawEvent OnCustomDrawButton;
    // A button of 40 x 30 at x = 4 + 44 i, y 4.
    TProbeToolButton* AddButton(const std::string& caption)
    {
        auto* b = new TProbeToolButton(this);
        b->SetBounds(4 + 44 * ControlCount(), 4, 40, 30);
        b->SetCaption(caption);
        b->SetParent(this);
        return b;
    }

protected:
    void Paint(TCanvas& canvas) override
    {
        bool defaultDraw = true;
        const TRect all{0, 0, ClientWidth(), ClientHeight()};
        if (OnCustomDraw) OnCustomDraw(this, canvas, all, defaultDraw);
        if (!defaultDraw) return;
        canvas.Brush().SetColor(PlainBarColor);
        canvas.FillRect(RECT{0, 0, ClientWidth(), ClientHeight()});
    }
};

inline void TProbeToolButton::Paint(TCanvas& canvas)
{
    bool defaultDraw = true;
    auto* bar = dynamic_cast<TProbeToolBar*>(Parent());
    if (bar && bar->OnCustomDrawButton) bar->OnCustomDrawButton(bar, canvas, this, defaultDraw);
    if (!defaultDraw) return;
    canvas.Brush().SetColor(PlainButtonColor);
    canvas.FillRect(RECT{0, 0, Width(), Height()});
}

// ---- the grids ----

class TProbeControlLook : public TObject {
    GUI_CLASS(TProbeControlLook, TObject)
    TColor FixedGradientFrom = 0x010101, FixedGradientTo = 0x020202, FixedGradientMirrorFrom = 0x1FFFFFFF,
           FixedGradientMirrorTo = 0x040404;
};

// A grid without the optional properties: a window with a vertical bar (0..100, page 10) that
// writes down the code and the bar's position of every WM_VSCROLL it gets.
class TProbeGrid : public TCustomControl {
    GUI_CLASS(TProbeGrid, TCustomControl)
    explicit TProbeGrid(TComponent* owner) : TCustomControl(owner) {}
    TColor FixedColor = 0x111111, FooterColor = 0x121212, FooterCellColor = 0x131313, TitleColor = 0x141414,
           IndicatorIconColor = 0x151515, GridLineColor = 0x161616;
    TFont TitleFont;
    std::vector<std::pair<int, int>> Scrolls;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TCustomControl::CreateParams(params);
        params.style |= WS_VSCROLL;
    }
    void CreateWnd() override
    {
        TCustomControl::CreateWnd();
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
        SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    }
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_VSCROLL) {
            SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
            GetScrollInfo(Handle(), SB_VERT, &si);
            Scrolls.emplace_back(LOWORD(m.WParam), si.nPos);
            return;
        }
        TCustomControl::WndProc(m);
    }
};

// A grid with "ControlLook" and the rest of the optional properties.
class TProbeLookGrid : public TProbeGrid {
    GUI_CLASS(TProbeLookGrid, TProbeGrid)
    explicit TProbeLookGrid(TComponent* owner) : TProbeGrid(owner) {}
    TProbeControlLook ControlLook;
    TFont FixedFont;
    TColor GridFixedLineColor = 0x171717, SelectionColor = 0x181818, SelectionTextColor = 0x191919;
};

// ---- the virtual tree ----

class TProbeColumn : public TObject {
    GUI_CLASS(TProbeColumn, TObject)
    std::string Text;
    std::vector<std::string> Options; // "coWrapCaption"
    TColor Color = 0x212121;
    int Style = 0;
};

class TProbeVETColors : public TObject {
    GUI_CLASS(TProbeVETColors, TObject)
    TColor CompressedTextColor = 0x222222, FileTextColor = 0x232323, FolderTextColor = 0x242424;
};

class TProbeHeader : public TObject {
    GUI_CLASS(TProbeHeader, TObject)
    std::vector<std::string> Options{"hoVisible"}; // "hoVisible", "hoOwnerDraw"
    TColor Color = 0x252525;
    TFont Font;
    int Height = 20, SortDirection = 0;
    bool Has(const std::string& option) const
    {
        for (const std::string& o : Options)
            if (o == option) return true;
        return false;
    }
};

// A tree of two columns of 80 pixels: its header is painted through OnAdvancedHeaderDraw (the
// background first, then the other elements) while "hoOwnerDraw" is on, else in Header.Color.
class TProbeVirtualTree : public TCustomControl {
    GUI_CLASS(TProbeVirtualTree, TCustomControl)
    explicit TProbeVirtualTree(TComponent* owner) : TCustomControl(owner)
    {
        Columns[0].Text = "Name";
        Columns[1].Text = "Preis";
    }
    TProbeVETColors VETColors;
    TProbeHeader Header;
    TProbeColumn PaintInfoColumn;
    TProbeColumn Columns[2];
    bool Themed = true;
    int DownColumn = -1;
    TvxAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TvxHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;

protected:
    void Paint(TCanvas& canvas) override
    {
        for (int i = 0; i < 2; ++i) {
            const TRect r{80 * i, 0, 80 * (i + 1), Header.Height};
            if (!Header.Has("hoOwnerDraw") || !OnAdvancedHeaderDraw) {
                canvas.Brush().SetColor(Header.Color);
                canvas.FillRect(RECT{r.Left, r.Top, r.Right, r.Bottom});
                continue;
            }
            TvxHeaderPaintInfo info;
            info.TargetCanvas = &canvas;
            info.Column = &Columns[i];
            info.PaintRectangle = r;
            info.TextRectangle = TRect{r.Left + 4, r.Top + 2, r.Right - 4, r.Bottom - 2};
            info.IsDownIndex = i == DownColumn;
            unsigned elements = hpeBackground | hpeText;
            if (OnHeaderDrawQueryElements) OnHeaderDrawQueryElements(&Header, info, elements);
            if (elements & hpeBackground) OnAdvancedHeaderDraw(&Header, info, hpeBackground);
            OnAdvancedHeaderDraw(&Header, info, elements & ~hpeBackground);
        }
    }
};

// An event property of class C held in the member (a std::function of the event's type).
template <class C, class E> TPublishedProperty EventProperty(E C::*member)
{
    return {TPublishedValue::Method,
            [member](TObject& o) {
                const E& e = static_cast<C&>(o).*member;
                return TPublishedValue::OfMethod(e ? std::any(e) : std::any{});
            },
            [member](TObject& o, const TPublishedValue& v) {
                const E* e = std::any_cast<E>(&v.method);
                static_cast<C&>(o).*member = e ? *e : E{};
            },
            {}};
}

// An ordinal property of class C held in the member.
template <class C, class T> TPublishedProperty OrdinalProperty(T C::*member)
{
    return {
        TPublishedValue::Ordinal,
        [member](TObject& o) { return TPublishedValue::OfOrdinal(static_cast<long long>(static_cast<C&>(o).*member)); },
        [member](TObject& o, const TPublishedValue& v) { static_cast<C&>(o).*member = static_cast<T>(v.ordinal); },
        {}};
}
// An object property of class C: the member itself.
template <class C, class T> TPublishedProperty ObjectProperty(T C::*member)
{
    return {TPublishedValue::Object,
            [member](TObject& o) { return TPublishedValue::OfObject(&(static_cast<C&>(o).*member)); },
            nullptr,
            {}};
}
// A set property of class C held as the names of its elements.
template <class C>
TPublishedProperty SetProperty(std::vector<std::string> C::*member, std::vector<std::string> elements)
{
    TPublishedProperty p{TPublishedValue::Set,
                         [member](TObject& o) {
                             TPublishedValue v;
                             v.kind = TPublishedValue::Set;
                             v.set = static_cast<C&>(o).*member;
                             return v;
                         },
                         [member](TObject& o, const TPublishedValue& v) { static_cast<C&>(o).*member = v.set; },
                         std::move(elements)};
    return p;
}

// Registers the harness classes' published properties (once).
inline void RegisterHarnessProperties()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterPublishedProperty("TProbeToolBar", "OnCustomDraw", EventProperty(&TProbeToolBar::OnCustomDraw));
    RegisterPublishedProperty("TProbeToolBar", "OnCustomDrawButton", EventProperty(&TProbeToolBar::OnCustomDrawButton));
    RegisterPublishedProperty(
        "TProbeToolButton", "Down",
        {TPublishedValue::Ordinal,
         [](TObject& o) { return TPublishedValue::OfOrdinal(static_cast<TProbeToolButton&>(o).Down); },
         [](TObject& o, const TPublishedValue& v) { static_cast<TProbeToolButton&>(o).Down = v.ordinal != 0; },
         {}});
    using G = TProbeGrid;
    using L = TProbeLookGrid;
    using C = TProbeControlLook;
    RegisterPublishedProperty("TProbeGrid", "FixedColor", OrdinalProperty(&G::FixedColor));
    RegisterPublishedProperty("TProbeGrid", "FooterColor", OrdinalProperty(&G::FooterColor));
    RegisterPublishedProperty("TProbeGrid", "FooterCellColor", OrdinalProperty(&G::FooterCellColor));
    RegisterPublishedProperty("TProbeGrid", "TitleColor", OrdinalProperty(&G::TitleColor));
    RegisterPublishedProperty("TProbeGrid", "IndicatorIconColor", OrdinalProperty(&G::IndicatorIconColor));
    RegisterPublishedProperty("TProbeGrid", "GridLineColor", OrdinalProperty(&G::GridLineColor));
    RegisterPublishedProperty("TProbeGrid", "TitleFont", ObjectProperty(&G::TitleFont));
    RegisterPublishedProperty("TProbeLookGrid", "ControlLook", ObjectProperty(&L::ControlLook));
    RegisterPublishedProperty("TProbeLookGrid", "FixedFont", ObjectProperty(&L::FixedFont));
    RegisterPublishedProperty("TProbeLookGrid", "GridFixedLineColor", OrdinalProperty(&L::GridFixedLineColor));
    RegisterPublishedProperty("TProbeLookGrid", "SelectionColor", OrdinalProperty(&L::SelectionColor));
    RegisterPublishedProperty("TProbeLookGrid", "SelectionTextColor", OrdinalProperty(&L::SelectionTextColor));
    RegisterPublishedProperty(
        "TProbeLookGrid", "DataSource",
        {TPublishedValue::Object, [](TObject&) { return TPublishedValue::OfObject(nullptr); }, nullptr, {}});
    RegisterPublishedProperty("TProbeControlLook", "FixedGradientFrom", OrdinalProperty(&C::FixedGradientFrom));
    RegisterPublishedProperty("TProbeControlLook", "FixedGradientTo", OrdinalProperty(&C::FixedGradientTo));
    RegisterPublishedProperty("TProbeControlLook", "FixedGradientMirrorFrom",
                              OrdinalProperty(&C::FixedGradientMirrorFrom));
    RegisterPublishedProperty("TProbeControlLook", "FixedGradientMirrorTo", OrdinalProperty(&C::FixedGradientMirrorTo));

    using T = TProbeVirtualTree;
    RegisterPublishedProperty("TProbeVirtualTree", "VETColors", ObjectProperty(&T::VETColors));
    RegisterPublishedProperty("TProbeVirtualTree", "Header", ObjectProperty(&T::Header));
    RegisterPublishedProperty("TProbeVirtualTree", "PaintInfoColumn", ObjectProperty(&T::PaintInfoColumn));
    RegisterPublishedProperty("TProbeVirtualTree", "Themed", OrdinalProperty(&T::Themed));
    RegisterPublishedProperty("TProbeVirtualTree", "OnAdvancedHeaderDraw", EventProperty(&T::OnAdvancedHeaderDraw));
    RegisterPublishedProperty("TProbeVirtualTree", "OnHeaderDrawQueryElements",
                              EventProperty(&T::OnHeaderDrawQueryElements));
    using V = TProbeVETColors;
    RegisterPublishedProperty("TProbeVETColors", "CompressedTextColor", OrdinalProperty(&V::CompressedTextColor));
    RegisterPublishedProperty("TProbeVETColors", "FileTextColor", OrdinalProperty(&V::FileTextColor));
    RegisterPublishedProperty("TProbeVETColors", "FolderTextColor", OrdinalProperty(&V::FolderTextColor));
    using H = TProbeHeader;
    RegisterPublishedProperty("TProbeHeader", "Options", SetProperty(&H::Options, {"hoVisible", "hoOwnerDraw"}));
    RegisterPublishedProperty("TProbeHeader", "Color", OrdinalProperty(&H::Color));
    RegisterPublishedProperty("TProbeHeader", "Font", ObjectProperty(&H::Font));
    RegisterPublishedProperty("TProbeHeader", "Height", OrdinalProperty(&H::Height));
    RegisterPublishedProperty("TProbeHeader", "SortDirection", OrdinalProperty(&H::SortDirection));
    using K = TProbeColumn;
    RegisterPublishedProperty("TProbeColumn", "Color", OrdinalProperty(&K::Color));
    RegisterPublishedProperty("TProbeColumn", "Style", OrdinalProperty(&K::Style));
    RegisterPublishedProperty("TProbeColumn", "Options", SetProperty(&K::Options, {"coWrapCaption"}));
    RegisterPublishedProperty("TProbeColumn", "Text",
                              {TPublishedValue::Text,
                               [](TObject& o) { return TPublishedValue::OfText(static_cast<K&>(o).Text); },
                               nullptr,
                               {}});
}

} // namespace harness
