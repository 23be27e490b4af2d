// TvxDialogWnd: the adapter of a standard dialog window (class "#32770", made by the system's
// dialog functions and the common dialogs) that the window hook (skin/windows/vxDials.h) has
// taken over. It draws the frame from the section "DIALOG", the caption band from "FORMTITLE"
// (the caption text over "CAPTION" when the skin has one), the dialog's icon and the title
// buttons from the GLOBALINFO images, answers the frame's hit tests and clicks itself, offers
// its own window menu (TvxSystemMenu) and gives the dialog's children their background (skin
// command 34) from the same image.
//
//   auto* d = CreateAdapter<TvxDialogWnd>(dlg, nullptr, DefaultManager(), "DIALOG", false);
//   d->AfterInit();   // border style, images, font; WS_SYSMENU taken off the window
//   SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(x, y));   // 20 on the close button
//
// With the manager's ExtendedBorders on (and layered windows there) the dialog keeps a border
// window (TvxBorderForm, vxBorderForm.h) directly behind it, grown by the shadow margins; it is
// freed when the dialog is hidden or destroyed and made again when the dialog is shown. The
// manager's AnimEffects.DialogShow and DialogHide (Time above 0) fade the dialog in as it is
// shown and out as it is hidden (sAnimations.h). While the border window is there, the title
// buttons fade between their states as a form's do (TvxSBAnimation, vxSBAnimation.h).
//
// When its window goes (WM_DESTROY, WM_NCDESTROY) the adapter lets go of it and is flagged
// Destroyed; the hook frees it with its provider at the next window destruction it sees.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/base/Geometry.h"
#include "skin/windows/sSysMenu.h"
#include "skin/windows/vxScrollWnd.h"

class TvxBorderForm;
class TvxDialogWnd;
class TvxProvider;
class TvxSBAnimation;
class TBitmap;

// Skin command 61: the client-area offset of the dialog in its window image (x in the low word,
// y in the high word). Command 28: the children are scanned for adapters again.
constexpr WORD cmdDialogClientOffset = 61;
constexpr WORD cmdRescanChildren = 28;

// The window menu of a skinned dialog: Restore, Move, Size, Minimize, Maximize, a divider and
// Close (names "miRestore", "miMove", "miSize", "miMinimize", "miMaximize", "miClose"); each
// sends its WM_SYSCOMMAND to the dialog.
class TvxSystemMenu : public TsCustomSysMenu {
    GUI_CLASS(TvxSystemMenu, TsCustomSysMenu)
    explicit TvxSystemMenu(TvxDialogWnd* dialog);

    bool VisibleClose() const override;
    bool VisibleMax() const override { return false; }
    bool VisibleMin() const override { return false; }
    bool EnabledMax() const override { return false; }
    bool EnabledMin() const override { return false; }
    bool EnabledRestore() const override { return false; }
    // Visible and Enabled of the items from the dialog's style, border style and window state.
    void UpdateItems();
    TMenuItem* Item(const char* name) const;

private:
    TMenuItem* Add(const char* name, const char* caption, UINT command, bool update);
    TvxDialogWnd* dialog_;
};

// One title button of the dialog.
struct TvxDialogButton {
    int ImageIndex = -1;
    int HitCode = 0;
    bool Big = true;
    TRect Rect{};  // window coordinates; empty while not shown
    int State = 0; // 0 normal, 1 hot, 2 pressed
    int GlowID = -1;
    bool Shown = false;
    TvxSBAnimation* Animation = nullptr; // its fade while the dialog has a border window (owned)
};

class TvxDialogWnd : public TvxScrollWnd {
    GUI_CLASS(TvxDialogWnd, TvxScrollWnd)
    ~TvxDialogWnd() override;

    bool Active = true;
    bool SkipClientPaint = false;
    int CaptionIndex = -1;
    bool ChildrenAdded = false;
    // The extended-border window while extended borders are on (owned), else none.
    TvxBorderForm* BorderForm = nullptr;
    // In this order: minimise, maximise, close, help.
    TvxDialogButton Buttons[4];
    HICON Icon = nullptr;
    LONG_PTR SavedStyle = 0, SavedExStyle = 0;
    bool RgnChanged = true;
    SIZE LastSize{};
    std::vector<TRect> RgnParts;
    // 0 none, 1 single, 2 sizeable, 3 dialog, 4 tool window, 5 sizeable tool window.
    int BorderStyle = 1;
    std::unique_ptr<TvxSystemMenu, TComponentFree> SysMenu;
    TvxProvider* Provider = nullptr;

    // After the children are adapted: the border style from the style, the icon, the title
    // button images, the caption font; WS_SYSMENU taken off the window.
    void AfterInit();
    void WndProc(TMessage& m) override;

    // Frame metrics in window coordinates.
    int BorderWidth() const;
    int CaptionHeight() const;
    // The caption band's height: the border above the caption plus the caption.
    int TitleBottom() const;
    POINT ClientOffset() const;
    // The hit test of the caption band (0 outside it), in window coordinates.
    int CaptionHit(POINT p) const;
    // The window's image (rebuilt while BGChanged is set).
    TBitmap* Image();
    // The brush of WM_CTLCOLORDLG: one per adapter, in the manager's global colour.
    HBRUSH DialogBrush();
    // The window region from the skin (nothing where it is forbidden).
    void UpdateRegion(bool repaint);
    // The title button at the hit code, or none.
    TvxDialogButton* ButtonByCode(int code);
    void SetHotButton(int code, bool repaint);
    void ShowSystemMenu(int x, int y);
    // Every visible WS_CHILD window painted into dc at its place (WM_PRINTCLIENT), recursively.
    void PrintChildren(HWND parent, HDC dc, POINT offset);

    // The border window made (on: when the manager has ExtendedBorders, a shadow and layered
    // windows, and the dialog draws a frame) or freed.
    void SwitchExtBorders(bool on);
    // The border window placed and painted again, when there is one.
    void UpdateExtBorder();
    // Every title button's fade ended at once (its window freed).
    void StopButtonAnimations();
    // The show animation (DialogShow) while the dialog is being shown, the hide animation
    // (DialogHide) once it is hidden; nothing when the item is off or its Time is 0.
    void AnimateShow();
    void AnimateHide();

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxScrollWnd::TvxScrollWnd;
    void Start(const std::string& section, bool repaint) override;

private:
    void LoadButtons();
    void ReadIcon();
    void PaintImage(TBitmap* image);
    void PaintButtons(TBitmap* image);
    void PaintFrame();
    void PaintClientBackground(HDC dc);
    void RepaintButton(TvxDialogButton& b);
    void PressButton(int code);
    void ButtonUp(TMessage& m);
    void SkinCommand(TMessage& m);
    void FreeBrush();
    bool Zoomed() const { return IsZoomed(CtrlHandle) != 0; }
    bool Iconic() const { return IsIconic(CtrlHandle) != 0; }
    bool CanMaximize() const;

    // False once the adapter is freed (for code that runs on after the application's messages).
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    int hotButton_ = 0;
    bool buttonPressed_ = false;
    int pressedCode_ = 0;
    std::unique_ptr<TBitmap> image_;
    HFONT captionFont_ = nullptr;
    HBRUSH brush_ = nullptr;
    TColor brushColor_ = clNone;
    friend class TvxSystemMenu;
};

// The client-area painting of the children of a dialog: the dialog adapter of a top-level
// window, or none.
TvxDialogWnd* DialogAdapterOf(HWND wnd);
