// The adapters of other makers' grids and virtual trees, edit adapters (skin/windows/vxEditWnd.h)
// that reach their controls only through published properties by name (gui/Published.h): a
// property the control lacks is skipped, and removal writes back only what the adapter changed,
// as the control had it when the adapter came.
//
// TvxGridWnd (and TvxGridEhWnd) set, from the loaded skin:
//   "FixedColor"                      GLOBALINFO's colour (clBtnFace without it)
//   "TitleFont" -> colour             GLOBALINFO's first font colour
//   "FooterColor", "FooterCellColor", "TitleColor"   GLOBALINFO's COLOR
//   "IndicatorIconColor"              the FONTCOLOR of the grid's own section
// and, only for a grid with "ControlLook":
//   "FixedFont" -> colour             GLOBALINFO's first font colour
//   "GridFixedLineColor"              GLOBALINFO's colour (the colour of dialog edits)
//   "GridLineColor"                   BlendColors(GLOBALINFO's hot colour, EDIT's hot font colour, 0.7)
//   "ControlLook" -> "FixedGradientFrom"/"To"/"MirrorFrom"/"MirrorTo"
//                                     the fixed colour blended with the hot colour (0.5), itself,
//                                     with black (0.95) and with white (0.9)
//   "SelectionColor", "SelectionTextColor"   the manager's highlight colours
// A grid with "DataSource" gets thumb positions as a data grid wants them (SB_THUMBPOSITION
// with the track position + 1, a closing SB_THUMBPOSITION after SB_ENDSCROLL).
//
//   TsCommonData link(grid, true);
//   auto* a = CreateAdapter<TvxGridWnd>(grid->Handle(), &link, manager, "", true);
//   ...                         // the colours above at the first paint
//   delete a;                   // the grid's own values back
//
// TvxVirtualTreeViewWnd gives "VETColors" ("CompressedTextColor", "FileTextColor",
// "FolderTextColor") the section's HOTFONTCOLOR, paints the tree's header from "COLHEADER"
// through "OnAdvancedHeaderDraw" (only when that event had no handler: then it also answers
// "OnHeaderDrawQueryElements" when that had none and adds "hoOwnerDraw" to "Header" ->
// "Options"), and for a tree with "PaintInfoColumn" sets its "Color" and "Style", the header's
// colour and font colour and "Themed" off.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <vector>

#include "skin/windows/vxEditWnd.h"

// What a virtual tree hands its "OnAdvancedHeaderDraw" handler for one column (or, with no
// column, the area right of the last one), as this adapter expects it.
struct TvxHeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TObject* Column = nullptr; // publishes "Text" and "Options" (a set holding "coWrapCaption")
    TRect PaintRectangle, TextRectangle;
    bool IsHoverIndex = false, IsDownIndex = false, ShowSortGlyph = false;
    TPoint SortGlyphPos;
};
// Elements of a header paint: 1 background, 2 the text (wrapped or single line), 8 the sort
// glyph, 16 the text (plain); the adapter asks for 27.
enum : unsigned { hpeBackground = 1, hpeCaption = 2, hpeSortGlyph = 8, hpeText = 16 };
using TvxAdvancedHeaderPaintEvent = std::function<void(TObject* header, TvxHeaderPaintInfo& info, unsigned elements)>;
using TvxHeaderPaintQueryElementsEvent =
    std::function<void(TObject* header, TvxHeaderPaintInfo& info, unsigned& elements)>;

// A property the adapter changed, with the value the control had.
struct TvxKeptProperty {
    std::string Object; // "" the control itself, else the object property holding it
    std::string Name;
    long long Value = 0;
};

class TvxGridWnd : public TvxEditWnd {
    GUI_CLASS(TvxGridWnd, TvxEditWnd)
    ~TvxGridWnd() override;

    // The grid's own values, kept at creation ("Object.Name" paths of the table above).
    std::vector<TvxKeptProperty> Kept;
    // The properties the skin has been given (written back on removal).
    std::vector<std::string> Changed;

    void AfterCreation() override;
    void BeforeRemove() override;
    void SetNeedsRepaint() override;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxEditWnd::TvxEditWnd;
    bool SwitchesThemeOff(const std::string& section, bool repaint) const override;
    void GridWndProc(TMessage& m);
};

class TvxGridEhWnd : public TvxGridWnd {
    GUI_CLASS(TvxGridEhWnd, TvxGridWnd)
    ~TvxGridEhWnd() override;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxGridWnd::TvxGridWnd;
};

class TvxVirtualTreeViewWnd : public TvxEditWnd {
    GUI_CLASS(TvxVirtualTreeViewWnd, TvxEditWnd)
    ~TvxVirtualTreeViewWnd() override;

    std::vector<TvxKeptProperty> Kept; // the tree's own values of what the adapter sets
    std::vector<std::string> Changed;
    bool HadOwnerDraw = false; // "Header" -> "Options" held "hoOwnerDraw"
    bool PainterInstalled = false, QueryInstalled = false;

    // The header painter and element query the adapter installs.
    void PaintHeader(TObject* header, TvxHeaderPaintInfo& info, unsigned elements);
    void AfterCreation() override;
    void BeforeRemove() override;
    void SetNeedsRepaint() override;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxEditWnd::TvxEditWnd;

private:
    void Print(TMessage& m);
    void PaintNonClient(TMessage& m);
};
