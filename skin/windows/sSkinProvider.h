// TsSkinProvider: the component that a form carries to be drawn with the skin (border, title
// bar, title buttons, system menu). The main window carries one, stored with it as
//
//   object sSkinProvider1: TsSkinProvider
//     SkinData.SkinSection = 'FORM'
//     MakeSkinMenu = True
//     AddedTitle.Font.Charset = DEFAULT_CHARSET
//     AddedTitle.Font.Color = clNone
//     AddedTitle.Font.Height = -13
//     AddedTitle.Font.Name = 'Tahoma'
//     AddedTitle.Font.Style = []
//     TitleButtons = <>
//   end
//
// and the main window makes no calls to it.
//
// The provider takes over its form's WindowProc (a hook on the class library's chain): every
// message of the form passes through the provider first. While the form has a skin (the
// provider's skin link is skinned with a loaded skin) the provider draws the border, the title
// band, the menu line, the size grip and the client background from the skin's "FORM" section
// into a cache bitmap of the whole window, cuts the window to the skin's outline (a window
// region), answers the non-client hit test itself and follows skin changes (the skin command
// message). Without a skin the messages go on to the form unchanged. A second provider on the
// same form finds the first (skin command 4) and stays inactive: it never hooks the form.
// Destroying the provider frees the form's skinned scroll bars first, then unhooks, gives
// WS_SYSMENU back when it took it and removes the region, so the form goes on as a plain form.
//
// Its control adapter (skin/windows/vxCtrlAdapter.h) skins the form's plain controls that the
// manager's ThirdParty lists name: the form is walked when the provider is prepared, on a new
// skin and a refresh, when a child window is created (WM_PARENTNOTIFY), a control announces
// itself (skin command 25) or joins a container (CM_CONTROLLISTCHANGE), a tab page changes
// (TCN_SELCHANGE) and the form is shown; removing the skin frees the adapter and gives the
// controls back.
//
// The title bar: the system buttons (minimise, maximise or restore, close, help) from the
// skin's GLOBALINFO images, the user's own buttons (TitleButtons), the title icon, the caption
// in the system's caption font with AddedTitle after it, and the TITLEBAR strip behind the
// buttons. A hit test over a button makes it hot, WM_NCLBUTTONDOWN presses it and the release
// over it acts (close, maximise or restore, minimise, help, a user button's OnMouseUp); the
// icon, a right click on the title, Alt+Space and the taskbar open the skinned window menu. A
// state change repaints the one button directly (StartButtonAnimation is where the title
// buttons' animation takes over). With ResizeMode rmBorder moving and sizing show an outline
// on the desktop and the form takes its place when the mouse is released.
//
// An MDI main form's image holds its MDI area and, while its active child is maximised, the
// child's icon at the left of its menu line; its children's activation, maximising, restoring,
// minimising and closing make it paint its frame anew (sSkinProviderMDI.cpp).
//
// With the manager's ExtendedBorders the form gets its extended border (skin/windows/
// vxBorderForm.h): a layered shadow window behind it that shows the form's image over the skin's
// shadow. With the manager's AnimEffects the form's show and hide are animated (sVclUtils.h).
//
// Only a form can own a provider: any other owner is refused with EAbort "TsSkinProvider
// component may be used with forms only!" (silent in the application's message display).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/Menus.h"
#include "gui/base/Classes.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sMessages.h"
#include "skin/windows/vxCtrlAdapter.h"
#include "skin/windows/sTitleButtons.h"

class TsMDIForm;
class TsSkinProvider;
class TsSystemMenu;
class TvxScrollWnd;
// The layered window of extended borders, made by window skinning.
class TvxBorderForm;

// The extra text of a skinned title bar and its font (colour clNone when made).
class TvxAddedTitle : public TObject {
    GUI_CLASS(TvxAddedTitle, TObject)
    explicit TvxAddedTitle(TsSkinProvider& owner);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text) { text_ = text; }
    TFont& Font() { return font_; }
    TsSkinProvider& Owner() const { return owner_; }

private:
    TsSkinProvider& owner_;
    std::string text_;
    TFont font_;
};

// Skin commands that a form provider answers besides the link's.
constexpr WORD cmdLockPainting = 51;      // WM_SETREDRAW 0 for a form over its parent's background
constexpr WORD cmdUnlockPainting = 52;    // WM_SETREDRAW 1 and a redraw
constexpr WORD cmdFlagsQuery = 70;        // the answer: the link's CtrlFlags
constexpr WORD cmdApplicationQuery = 94;  // the answer: the application object
constexpr WORD cmdClientOffsetQuery = 95; // the answer: client offset X (low word) and Y (high word)

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };

// Frame metrics of a window (the border form, when given, is that of extended borders).
// The width of one side frame: with useSkin and a border form the skin's BORDERWIDTH when it
// is not 0; else SM_CXFRAME with WS_THICKFRAME, SM_CXFIXEDFRAME with WS_BORDER, else 0.
int FrameWidth(HWND wnd, TvxBorderForm* borderForm, bool useSkin);
// 0 with a border form, else FrameWidth.
int FormFrameWidth(HWND wnd, TvxBorderForm* borderForm, bool useSkin);
int WindowWidth(HWND wnd);
int WindowHeight(HWND wnd);
int ClientWidth(HWND wnd);
int ClientHeight(HWND wnd);
bool IsSizeable(HWND wnd);
// The mask has one state (or the index is invalid); a stored frame count of 0 is not one.
bool IsOneStateMask(int maskIndex, const TsSkinManager* manager);

class TsSkinProvider : public TComponent, public TsFormProviderState {
    GUI_CLASS(TsSkinProvider, TComponent)
    // owner: the form; EAbort for anything else. The form joins the skinned-forms list
    // (sStyleSimply.h) and leaves it with the provider.
    explicit TsSkinProvider(TComponent* owner);
    ~TsSkinProvider() override;
    // The provider a form carries, or none.
    static TsSkinProvider* Of(TForm* form);

    TForm* Form() const { return form_; }
    // Another provider answers for the form: this one never hooks it.
    bool Inactive() const { return inactive_; }
    // The skin link of the form (control kind 224).
    TsCommonData& SkinData() { return *skinData_; }
    // The skin section of the form's frame ("FORM" unless a description sets another).
    const std::string& SkinSection() const { return skinData_->SkinSection(); }
    void SetSkinSection(const std::string& section) { skinData_->SetSkinSection(section); }
    TvxAddedTitle& AddedTitle() { return addedTitle_; }
    // With skinned popup menus, the skinned system menu offers the skins.
    bool MakeSkinMenu() const { return makeSkinMenu_; }
    void SetMakeSkinMenu(bool v) { makeSkinMenu_ = v; }

    // Settings (the setters store and repaint what they change).
    bool AllowExtBorders() const { return allowExtBorders_; }
    void SetAllowExtBorders(bool v);
    TAlignment CaptionAlignment() const { return captionAlignment_; }
    void SetCaptionAlignment(TAlignment v);
    // The provider paints border and title band itself; off leaves the frame to the system.
    bool DrawNonClientArea() const { return drawNonClientArea_; }
    void SetDrawNonClientArea(bool v);
    TsGripMode GripMode = gmNone;
    TsResizeMode ResizeMode = rmStandard;
    // The form snaps to the edges of the work area when it comes closer than SnapBuffer.
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    // The section of the menu line instead of "MENULINE" (a missing one falls back to it).
    const std::string& MenuLineSkin() const { return menuLineSkin_; }
    void SetMenuLineSkin(const std::string& v);
    bool ShowAppIcon() const { return showAppIcon_; }
    void SetShowAppIcon(bool v);
    // The section of the title band; empty: "FORMTITLE".
    const std::string& TitleSkin() const { return titleSkin_; }
    void SetTitleSkin(const std::string& v);
    // The form's Color follows the skin's global colour (unless the link has a custom colour).
    bool UseGlobalColor() const { return useGlobalColor_; }
    void SetUseGlobalColor(bool v);

    // The manager of its skin link: its own, else the default manager.
    TsSkinManager* SkinManager() const override;
    // Set while the form is frozen for a skin change: the provider paints nothing meanwhile.
    // When the change ends the border window is made or freed as the manager's
    // ExtendedBorders now says (a frozen form counts as hidden, so the change left it alone).
    bool Locked() const { return locked_; }
    void SetLocked(bool v) override;
    // The extended border while it is in force, else none; its window, its region set again,
    // its image painted again at a constant alpha.
    TvxBorderForm* BorderForm() const { return borderForm_; }
    HWND BorderWindow() const override;
    void ApplyRegionToBorder() override;
    void RefreshBorder(int alpha) override;
    // The provider draws a skinned border: skinned with DrawNonClientArea.
    bool OwnBorder() const override;
    TForm* ProviderForm() const override { return form_; }
    // The form has a skin: not being destroyed, the link skinned with a loaded skin.
    bool IsSkinned() const;

    // A message handler that does nothing.
    void EmptyHandler(TMessage& message);

    // ---- frame metrics
    // BorderStyle is not bsNone.
    bool HasBorder() const;
    // bsSingle or bsSizeable: the large title buttons.
    bool BigButtons() const;
    // The form shows its own menu line: a menu with items, not merged, not on a bsDialog form.
    bool MenuPresent() const;
    // SM_CYMENU - 1 with a menu line, else 0.
    int MenuHeight() const;
    // gmRightBottom, not maximised, WS_THICKFRAME.
    bool GripVisible() const;
    // Set while the form's show animation is being prepared and runs.
    bool InAnimation() const { return animating_; }
    void SetInAnimation(bool on) { animating_ = on; }
    // The title band's height: 0 without border or WS_CAPTION (unless iconic); the system's
    // caption height (SM_CYSMCAPTION for tool windows).
    int CaptionHeight(bool useSkin) const;
    // The size of the form's image: the window's (an iconic form's only as high as its title).
    int SkinnedWidth() const;
    int ImageHeight() const;
    // Where the client area starts in the image.
    int ClientOffsetX() const;
    int ClientOffsetY() const;
    // The height above the client area.
    int TopAreaHeight() const;
    // Rows of the menu line (1 when it fits one row); cached until the menu changes.
    int MenuRows();
    bool MenuHasVisibleItems() const;
    // The form's colour as RGB: the FORM section's HotColor while active, Color while not,
    // unless the link has a custom colour (then the form's Color).
    TColor FormColor() const;

    // ---- window region
    // The transparent runs of the FORM border image (top and bottom) and of the title
    // section's border image (top), in window coordinates.
    void PrepareRgnParts() override;
    const std::vector<TRect>& RegionParts() const { return rgnParts_; }
    // The window rectangle at (x, y) minus the region parts; the caller owns the region.
    HRGN CreateSkinRgn(int x, int y) const;
    void UpdateFormRgn() override { UpdateFormRgn(true); }
    // The skin's region applied to the window (a maximised form: the rectangle inside the
    // system frame). A form that answers 16802 to message 48205 before the first complete
    // image keeps its own region.
    void UpdateFormRgn(bool repaint);

    // ---- painting
    // Builds the form's image when it is out of date.
    void PaintAll();
    // The image of the whole window (none before the first paint).
    TBitmap* FormImage() const { return skinData_->FCacheBmp.get(); }
    // The background record of the image for the children (at the client offsets).
    const TsCacheInfo& CacheInfo() const { return cacheInfo_; }
    // Copies the top-right corner of the image (only the title rows with captionOnly).
    void SaveCaptionStrip(bool captionOnly);
    TBitmap* CaptionStrip() const { return captionStrip_.get(); }
    // The frame strips of the image (rebuilt first when stale) into dc at window coordinates.
    void PrintFrame(HDC dc);
    // The client background (the FORM section, or the form's colour for a plain container)
    // into dc at client coordinates, the graphic controls over it; with sendEndUpdate skin
    // command 6 to the children.
    void PrintClient(HDC dc, bool sendEndUpdate);
    // WM_NCPAINT, WM_PAINT and WM_GETMINMAXINFO.
    void PaintNonClient();
    void PaintClient(TMessage& message);
    void PaintClientBackground(HDC dc);
    void GetMinMaxInfo(TMessage& message);
    // The image is dropped: rebuilt at the next paint.
    void FreeFormCache() override;
    // The image must be rebuilt before it is copied again.
    void FlagImageChanged() { skinData_->BGChanged = true; }
    bool ImageSizeChanged() const;
    // After a change of title, icon or alignment: the frame painted again from a new image.
    void RefreshNonClient();

    // ---- operations
    // Attaches the provider to the current skin: the window menu, section indexes, colours.
    void PrepareForm();
    // After loading and after a skin change.
    void InitAfterLoad();
    // Skinned: WS_SYSMENU taken off while DrawNonClientArea (when the form has it); not
    // skinned: given back when it was taken.
    void UpdateSysMenuStyle(bool skinned);
    // The extended border made (allow, AllowExtBorders, a skinned top-level form with its frame
    // drawn, the manager's ExtendedBorders with a shadow and layered windows) or freed.
    void UpdateExtBorders(bool allow);
    // WS_SYSMENU was taken off by the provider (the window menu is the provider's).
    bool SysMenuTaken() const { return sysMenuTaken_; }
    TsSystemMenu* SystemMenu() const { return systemMenu_; }
    // The window menu at a screen point: the skinned one (with the skins to choose from under
    // MakeSkinMenu), or the system's own without skinned popups (its choice posted to the form
    // as WM_SYSCOMMAND).
    void ShowSystemMenu(int x, int y);
    // The skin list at the top of the window menu: "Available skins" with one radio item per
    // skin (the current one checked, a new column every 20); a click sets the manager's
    // SkinName (a name holding "(internal)" cut after it). Nothing without skins.
    void AddSkinItems();
    // WM_INITMENUPOPUP: the window menu's Size greyed; for other menus the skinned menus'
    // popup flag cleared.
    void InitSysMenuPopup(TMessage& message);
    // Set while the provider minimises the form through its window menu or title.
    bool Minimizing() const { return minimizing_; }
    void SetMinimizing(bool v) { minimizing_ = v; }
    // The form's skinned scroll bars (AutoScroll forms while skinned), or none.
    TvxScrollWnd* ScrollAdapter() const { return scrollAdapter_; }
    void UpdateScrollAdapter();
    // A cover window over the title (or the whole form) while the form's own procedure would
    // draw the system's caption; HideCover frees it.
    void ShowCover(bool wholeForm);
    void HideCover();
    HWND CoverWindow() const;
    // BeginUpdate of the link and WM_SETREDRAW 0; the reverse.
    void BeginFormUpdate();
    void EndFormUpdate();
    int RedrawOffCount() const { return redrawOff_; }
    // The form is the active window (as the last WM_NCACTIVATE said).
    bool FormActive() const { return formActive_; }
    // 0, or the state the form had when its owner hid it: 1 normal, 2 minimised, 3 maximised.
    int ParentClosingState() const { return parentClosing_; }
    // The window's top-left corner in screen coordinates; a screen point in image coordinates.
    void FormOrigin(POINT& p) const;
    void ScreenToImage(int x, int y, POINT& p) const;
    // The hit code of a screen point (sizing edges, title, menu line, grip, client).
    int HitTest(POINT screen);
    // The grip's place in the image (GRIPIMAGE of GLOBALINFO); empty without one.
    TRect GripRect() const;
    // ---- the control adapter (skin/windows/vxCtrlAdapter.h)
    // Asked before a control of the form gets an item (it may veto or choose the section).
    TAddItemEvent OnSkinItem;
    TvxCtrlAdapter* CtrlAdapter() const { return ctrlAdapter_.get(); }
    // At run time while skinned: the control adapter made and the whole form walked.
    virtual void CreateCtrlAdapter();
    // The control adapter made when there is none, else its walk under parent (none: the form).
    void WalkControls(TWinControl* parent);
    // Skin command 2 (lParam the manager) to the adapted controls, then the adapter freed.
    void RemoveAdapter();
    void CloseForm();
    // After menu changes: the image rebuilt, the menu rows counted again, WM_NCPAINT.
    void RefreshFrame();

    // ---- the title bar
    TsTitleButtons& TitleButtons() { return titleButtons_; }
    TsTitleIcon& TitleIcon() { return titleIcon_; }
    // The images of the system buttons (BICON* for bsSingle and bsSizeable, else SICON*, with
    // the fallbacks BICLOSEALONE, BICONHELP, BICONCLOSE), TITLEBUTTON for the user buttons.
    void InitTitleButtons();
    // The width the buttons take from the right of the title (BIRIGHT, the shown buttons with
    // BISPACE between big ones, 8 and the visible user buttons).
    int ButtonsWidth();
    int UserButtonWidth(TsTitleButton& button);
    // The right edge of the buttons in the image: the window's width less frame and BIRIGHT.
    int ButtonAreaRight() const;
    // The record of a system button (hit code 8, 9, 20 or 21) or user button (1000 + i).
    TsCaptionButton* ButtonByCode(int code);
    // The button under the mouse or pressed: its code, 0 none, -1 not yet set.
    int CurrentButton() const { return currentButton_; }
    bool TitleIconVisible() const;
    int TitleIconWidth();
    int TitleIconHeight();
    TRect TitleIconRect();
    // The caption's rectangle in the image, before alignment.
    TRect CaptionTextRect();
    // The button that is hot (state 1; 0 none) and the one pressed (state 2); repaint: each
    // change is painted at once.
    void SetHotButton(int code, bool repaint);
    void PressButton(int code);
    // One button painted again in its state (through StartButtonAnimation while glowing is
    // allowed or the form has extended borders).
    void RepaintButton(int code);
    // The hand-over to the title buttons' fades (skin/windows/vxSBAnimation.h) while the form has
    // its extended border; otherwise the button is painted directly.
    void StartButtonAnimation(TsCaptionButton& button, int state, int steps, bool forceState);
    // The button painted in its state into the image (its background restored from the caption
    // strip first), not onto the window.
    void PaintButtonImage(TsCaptionButton& button);
    // Every title button's fade ended at once (its window freed).
    void StopButtonAnimations();
    // The top-right corner of the image as saved before the buttons were painted, put back.
    void RestoreCaptionStrip();
    // The hint of a hot user button at the cursor, and away.
    void ShowButtonHint(TsTitleButton& button);
    void HideButtonHint(TsTitleButton& button);
    // The outline drag of rmBorder (screen coordinates).
    void BeginOutlineDrag(int x, int y, bool moving);
    void DrawOutline(int x, int y);
    void EndOutlineDrag(int x, int y, bool cancelled);
    static bool OutlineDragging();

    // ---- the menu line
    // Every menu the form owns made (or no longer) owner-drawn by the skinned menus: the main
    // menu's line items while skinned with DrawNonClientArea, popups and sub-items while the
    // manager's SkinnedPopups is on.
    void PrepareMenus(bool skinned);
    void PrepareMenuObject(TComponent* object, bool skinned);
    // The form's menu bar built again (its items measured anew); false without a main menu.
    bool RebuildMenu();
    // One item of the menu line painted again (hot tracking): its draw handler paints it into
    // the image at rect (image coordinates), then that part of the image goes to the window.
    void RepaintMenuLineItem(TMenuItem* item, const RECT& rect, TOwnerDrawState state);
    // An item's place in the image (from its menu-bar rectangle); empty when it is not shown.
    RECT MenuItemImageRect(const TMenuItem* item) const;
    // The menu line's background as painted before its items, and its top in the image.
    TBitmap* MenuLineBackground() const { return menuLineBmp_.get(); }
    int MenuLineTop() const { return menuLineTop_; }

    // ---- MDI main forms
    // The companion of an MDI main form (sMDIForm.h) while the form is skinned, else none.
    TsMDIForm* MDIForm() const { return mdiForm_; }
    // With create the companion is made (once) and connected, and this provider becomes the MDI
    // main provider; without, the companion and its adapter go.
    void SetMDIFormObject(bool create);
    // The menu line's height is worked out again; the next paint counts as the first one.
    void ResetMenuLineHeight() { menuLineHeight_ = -1; }
    void SetFirstPaint() { firstPaint_ = true; }

    // ---- MDI main forms and children (sSkinProviderMDI.cpp)
    bool IsMDIChild() const { return form_->FormStyle() == fsMDIChild; }
    bool IsMDIMain() const { return form_->FormStyle() == fsMDIForm; }
    // An MDI main form whose active child is maximised.
    bool ChildMaximised() const;
    // An MDI child that another (maximised) child of its main form hides: it paints nothing.
    bool HiddenByMaximisedChild() const;
    // The provider of this child's MDI main form, when it is the MDI main provider; none.
    TsSkinProvider* MainProvider() const;
    // The records of a maximised child's buttons for the main form's menu line: minimise 101,
    // restore 102 (SICONNORM), close 103 (the small images, else the form's own buttons'). The
    // menu line does not offer them (they are never placed), so they are never hot or hit.
    TsCaptionButton* MDIButton(int code);
    // The size of those buttons, from the close image (16 x 16 without one).
    int MDIButtonWidth() const;
    int MDIButtonHeight() const;
    // The width the maximised child's icon takes at the left of the menu line (0 without one).
    int MDIIconWidth() const;
    // The main form's menu is open while a child is maximised; a child closes meanwhile.
    bool MenuLoop() const { return menuLoop_; }
    // The main menu's items stand one place further in the menu bar (the system put the
    // maximised child's window menu first).
    int MenuBarShift() const;

    // SkinData.SkinSection, MakeSkinMenu, AddedTitle.Text, AddedTitle.Font.*, TitleButtons (its
    // items: Name, Hint, Enabled, Visible, UseSkinData, Glyph.Data), TitleIcon.Width/Height,
    // the settings above.
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;
    // A control of the form that goes away is forgotten by the control adapter.
    void Notification(TComponent* component) override;

private:
    void ProviderWndProc(TMessage& m, const TWndMethod& old);
    // The MDI rows of the window messages; true when the message is done.
    bool MDIMessage(TMessage& m, const TWndMethod& old);
    // What an MDI main form or child does after the message's own handling.
    void MDIAfterMessage(const TMessage& m);
    // The system commands of MDI children and MDI main forms; false for other forms.
    bool MDISysCommand(TMessage& m, const TWndMethod& old);
    // CM_MENUCHANGED of an MDI main form, skinned or not: a maximised child's window menu and
    // buttons go into the new menu bar.
    void KeepChildMenu();
    // WM_NCDESTROY of an MDI child, skinned or not.
    void MDIChildWindowGone(TMessage& m, const TWndMethod& old);
    // The provider goes: an MDI child's main form painted without it.
    void LeaveMDI();
    // Text or icon of a maximised child: the main form's title covered for the old procedure.
    bool MDIChildSetText(TMessage& m, const TWndMethod& old);
    // The image of the main form built anew and its frame painted (an MDI child's change).
    void RefreshMainFrame();
    void InitMDIButtons();
    void PaintMDIChildIcon(TBitmap* image, int titleBottom);
    void PaintMDIArea(TBitmap* image, int titleBottom);
    // The title bar's mouse messages and system commands.
    void NcLButtonDown(TMessage& m, const TWndMethod& old);
    void ButtonRelease(TMessage& m, const TWndMethod& old);
    void NcLButtonDblClk(TMessage& m);
    void NcRButtonUp(TMessage& m, const TWndMethod& old);
    void SysCommand(TMessage& m, const TWndMethod& old);
    // The window menu below the title icon; after a click on the icon (fromIcon) first a wait
    // for a double click when popups are not skinned.
    void ShowSystemMenuBelowIcon(bool fromIcon);
    // The title bar's pieces in the image.
    void PaintTitleIcon(TBitmap* image);
    void PaintTitleBarStrip(TBitmap* image);
    void PaintCaptionText(TBitmap* image);
    void LayoutTitleButtons(TBitmap* image);
    void DrawButton(TBitmap* image, TsCaptionButton& button, TsTitleButton* user);
    // A button of the image (restored from the caption strip first) copied to the window.
    void PaintButtonDirect(TsCaptionButton& button);
    // A hot button's glow (the direct path), or its glow away.
    void UpdateButtonGlow(TsCaptionButton& button);
    bool ButtonEnabled(const TsCaptionButton& button) const;
    int TitleButtonHit(POINT p);
    // The skin commands answered in every state; true when the message is finished.
    bool CommonCommand(TMessage& m);
    void UnskinnedMessage(TMessage& m, const TWndMethod& old);
    void SkinnedCommand(TMessage& m);
    void SkinnedMessage(TMessage& m, const TWndMethod& old);
    // The old procedure; false when the provider went with it (the form was destroyed).
    bool CallOld(TMessage& m, const TWndMethod& old);
    void TakeNewSkin(bool skinned);
    void RemoveSkin(TMessage& m);
    void RefreshSkin();
    void BackgroundInfo(TsBackgroundInfo& info);
    void ApplyGlobalColor();
    void HitTestMessage(TMessage& m, const TWndMethod& old);
    // A window position moved onto the work area's edges it comes closer to than SnapBuffer.
    void SnapToWorkArea(int& x, int& y, int width, int height) const;
    void ShowWindowMessage(TMessage& m, const TWndMethod& old);
    // CM_MOUSELEAVE to every control below parent but entered whose skin link is still hot.
    static void LeaveOtherControls(TWinControl* parent, const TControl* entered);
    void Print(TMessage& m);
    // The form's OnPaint on its canvas, drawing into dc.
    void RunOnPaint(HDC dc);
    // The four border strips of the image, s pixels wide, into dc (a frameless sizeable form).
    void PrintBorderStrips(HDC dc, int s);
    void PaintGrip(TBitmap* image);
    void PaintPlainContainer(TBitmap* image, int state);
    void PaintMenuLine(TBitmap* image, int titleBottom);
    // The line's items, each by its draw handler, into the image.
    void PaintMenuItems(TBitmap* image);
    // The title band's section index ("FORMTITLE" unless TitleSkin names one; -1 none).
    int TitleIndex();
    // The old procedure with the form's WS_VISIBLE bit off (the system draws no caption).
    bool CallOldHidden(TMessage& m, const TWndMethod& old);
    void RemoveRegion();
    void FreeScrollAdapter();
    // Extended borders and animations (sSkinProviderBorder.cpp): the border window followed
    // after position, style and size-move messages, the hide animation started on a hide; the
    // form's show (CM_SHOWINGCHANGED) animated. False when the provider went with the form.
    void ExtBorderMessage(TMessage& m, const TWndMethod& old);
    bool ShowWithAnimation(TMessage& m, const TWndMethod& old);

    TForm* form_;
    std::unique_ptr<TsCommonData> skinData_;
    TvxAddedTitle addedTitle_;
    TsTitleButtons titleButtons_{this};
    TsTitleIcon titleIcon_;
    // Minimise, maximise, close, help.
    TsCaptionButton buttons_[4];
    int titleButtonMask_ = -1;
    int currentButton_ = -1;
    int sizingCode_ = 0; // the sizing edge of the next rmBorder drag
    bool makeSkinMenu_ = false;
    bool inactive_ = false;
    bool locked_ = false;
    TvxBorderForm* borderForm_ = nullptr;
    bool animating_ = false;
    bool allowExtBorders_ = true;
    TAlignment captionAlignment_ = taLeftJustify;
    bool drawNonClientArea_ = true;
    std::string menuLineSkin_;
    bool showAppIcon_ = true;
    std::string titleSkin_;
    bool useGlobalColor_ = true;
    // The skin's colour last given to the form (ApplyGlobalColor); clNone: none. A provider
    // that goes while the form still has it gives the form its plain colour back.
    TColor givenColor_ = clNone;

    int hookId_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::vector<TRect> rgnParts_;
    bool rgnChanged_ = true;     // the region is rebuilt at the next non-client paint
    bool updatingRgn_ = false;   // the region is being applied
    bool regionSetting_ = false; // WM_WINDOWPOSCHANGING is swallowed meanwhile
    bool paintedOnce_ = false;
    bool firstPaint_ = true;
    bool sysMenuTaken_ = false;
    bool formActive_ = true;
    int parentClosing_ = 0;
    bool minimizing_ = false;
    int redrawOff_ = 0;
    int titleIndex_ = -1, captionIndex_ = -1;
    int menuRows_ = -1;
    int menuLineHeight_ = -1;
    RECT lastClientRect_{};
    TsCacheInfo cacheInfo_;
    std::unique_ptr<TBitmap> captionStrip_;
    std::unique_ptr<TBitmap> menuLineBmp_;
    int menuLineTop_ = 0;
    bool menuInitialised_ = false;
    TsSystemMenu* systemMenu_ = nullptr;
    TvxScrollWnd* scrollAdapter_ = nullptr;
    std::unique_ptr<TvxCtrlAdapter> ctrlAdapter_;
    std::unique_ptr<TForm, void (*)(TForm*)> cover_{nullptr, nullptr};
    int coverHook_ = 0;
    TsMDIForm* mdiForm_ = nullptr;
    bool mdiCheckPending_ = true;   // an MDI main form gets its companion at the first preparation
    TsCaptionButton mdiButtons_[3]; // a maximised child's minimise, restore and close
    bool menuLoop_ = false;
    bool maximisedAtCreation_ = false; // made while the active child was maximised
};

// The MDI main form painted anew after a change of its children: its companion refreshed, its
// image rebuilt, its client window and frame redrawn (full: at once, the border window too).
void RefreshMdiMain(bool full);
// The provider of the MDI child that was activated, maximised or painted last; none.
TsSkinProvider* LastPaintedMDIChild();
