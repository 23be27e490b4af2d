#include "skin/windows/sSkinProvider.h"

#include <windows.h>
#include <windowsx.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "gui/Collections.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "gui/base/Exceptions.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/engine/sUtils.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sFade.h"
#include "skin/windows/sMDIForm.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sSysMenu.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxBorderForm.h"
#include "skin/windows/vxGlow.h"
#include "skin/windows/vxScrollWnd.h"

namespace {

TForm* FormOwner(TComponent* owner)
{
    auto* form = dynamic_cast<TForm*>(owner);
    if (!form) throw EAbort("TsSkinProvider component may be used with forms only!");
    return form;
}

bool StartsWithText(const std::string& name, const std::string& prefix)
{
    return name.size() > prefix.size() && SameText(name.substr(0, prefix.size()), prefix);
}

LONG_PTR Style(HWND wnd) { return wnd ? GetWindowLongPtrA(wnd, GWL_STYLE) : 0; }

RECT WorkAreaOf(HWND wnd)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

// Messages that the skinned form answers 0 without its own procedure.
constexpr UINT msgNcUahDrawCaption = 147;
constexpr UINT msgSkinQuery45132 = 0xB04C;
constexpr UINT msgOwnRegionQuery = 0xBC4D;
constexpr UINT msgPopupSystemMenu = 0x313; // the taskbar asks for the window menu at a point
constexpr WPARAM ownRegionAnswer = 16802;

} // namespace

// ---- frame metrics of a window

int FrameWidth(HWND wnd, TvxBorderForm* borderForm, bool useSkin)
{
    if (useSkin && borderForm)
        if (TsSkinManager* m = DefaultManager(); m && m->SkinData.BorderWidth != 0) return m->SkinData.BorderWidth;
    const LONG_PTR style = Style(wnd);
    if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
    if (style & WS_BORDER) return GetSystemMetrics(SM_CXFIXEDFRAME);
    return 0;
}

int FormFrameWidth(HWND wnd, TvxBorderForm* borderForm, bool useSkin)
{
    return borderForm ? 0 : FrameWidth(wnd, borderForm, useSkin);
}

namespace {

SIZE SizeOf(HWND wnd, bool client)
{
    RECT r{};
    if (client) GetClientRect(wnd, &r);
    else GetWindowRect(wnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

int WindowWidth(HWND wnd) { return SizeOf(wnd, false).cx; }
int WindowHeight(HWND wnd) { return SizeOf(wnd, false).cy; }
int ClientWidth(HWND wnd) { return SizeOf(wnd, true).cx; }
int ClientHeight(HWND wnd) { return SizeOf(wnd, true).cy; }

bool IsSizeable(HWND wnd) { return (Style(wnd) & WS_THICKFRAME) != 0; }

bool IsOneStateMask(int maskIndex, const TsSkinManager* manager)
{
    if (maskIndex < 0 || !manager) return true;
    if (!manager->IsValidImgIndex(maskIndex)) return true;
    return manager->MaskData[static_cast<size_t>(maskIndex)].ImageCount == 1;
}

// ---- life

TvxAddedTitle::TvxAddedTitle(TsSkinProvider& owner) : owner_(owner) { font_.SetColor(clNone); }

TsSkinProvider::TsSkinProvider(TComponent* owner)
    : TComponent(FormOwner(owner)), form_(static_cast<TForm*>(owner)), addedTitle_(*this)
{
    // Another provider on the form answers the provider query: this one stays out of the way.
    inactive_ = form_->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdGetProvider), 0) != 0;
    skinData_ = std::make_unique<TsCommonData>(this, false);
    skinData_->COC = 224;
    skinData_->SetSkinSection("FORM");
    if (form_->ControlState() != 0) skinData_->Updating = true;
    if (inactive_) return;
    skinData_->FCacheBmp = std::make_unique<TBitmap>();
    rgnParts_.reserve(1);
    AddProviderToList(form_);
    hookId_ = form_->HookWindowProc([this](TMessage& m, const TWndMethod& old) { ProviderWndProc(m, old); });
    formActive_ = true;
    if (TsSkinManager* m = SkinManager(); m && m->Active()) PrepareForm();
}

void TsSkinProvider::Loaded()
{
    TComponent::Loaded();
    if (!inactive_ && SkinManager() && skinData_->Skinned(true)) InitAfterLoad();
}

TsSkinProvider::~TsSkinProvider()
{
    *alive_ = false;
    HideCover();
    // Extended borders and title-button fades.
    StopButtonAnimations();
    delete std::exchange(borderForm_, nullptr);
    for (TsCaptionButton& b : buttons_)
        if (b.GlowID >= 0) HideGlow(b.GlowID);
    if (OutlineDragging() && form_->HandleAllocated()) EndOutlineDrag(0, 0, true);
    const bool formAlive = !form_->InState(csDestroying);
    // Controls that stay with their form get back all the control adapter took.
    if (ctrlAdapter_ && formAlive) ctrlAdapter_->ReleaseAll();
    ctrlAdapter_.reset();
    // The scroll adapter hooked the form after the provider: it goes first, so that nothing
    // hands messages back to a procedure that is gone.
    FreeScrollAdapter();
    // A form being destroyed has dropped its hooks already.
    if (formAlive && !inactive_) form_->UnhookWindowProc(hookId_);
    if (mdiForm_) SetMDIFormObject(false);
    LeaveMDI();
    if (!inactive_) RemoveProviderFromList(form_);
    if (formAlive && form_->HandleAllocated()) {
        UpdateSysMenuStyle(false);
        RemoveRegion();
    }
    if (formAlive && givenColor_ != clNone && form_->Color() == givenColor_) form_->SetColor(clBtnFace);
    if (systemMenu_) systemMenu_->Free();
}

TsSkinProvider* TsSkinProvider::Of(TForm* form)
{
    if (!form) return nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* p = As<TsSkinProvider>(form->Components(i)); p && !p->inactive_) return p;
    return nullptr;
}

TsSkinManager* TsSkinProvider::SkinManager() const { return skinData_->GetSkinManager(); }

bool TsSkinProvider::IsSkinned() const { return !form_->InState(csDestroying) && skinData_->Skinned(true); }

bool TsSkinProvider::OwnBorder() const { return drawNonClientArea_ && skinData_->Skinned(); }

void TsSkinProvider::EmptyHandler(TMessage&) {}

// ---- settings

void TsSkinProvider::SetAllowExtBorders(bool v)
{
    allowExtBorders_ = v;
    if (InState(csLoading)) return;
    UpdateExtBorders(true);
    FlagImageChanged();
    if (form_->HandleAllocated()) RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TsSkinProvider::SetCaptionAlignment(TAlignment v)
{
    captionAlignment_ = v;
    FlagImageChanged();
    if (form_->Visible() && IsSkinned()) RefreshNonClient();
}

void TsSkinProvider::SetShowAppIcon(bool v)
{
    showAppIcon_ = v;
    FlagImageChanged();
    if (form_->Visible() && form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetTitleSkin(const std::string& v)
{
    if (v == titleSkin_) return;
    titleSkin_ = v;
    titleIndex_ = -1;
    FlagImageChanged();
    if (form_->Visible() && form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetMenuLineSkin(const std::string& v)
{
    if (v == menuLineSkin_) return;
    menuLineSkin_ = v;
    FlagImageChanged();
}

void TsSkinProvider::SetUseGlobalColor(bool v)
{
    useGlobalColor_ = v;
    if (IsSkinned() && v && !skinData_->CustomColor()) {
        if (TsSkinManager* m = SkinManager()) form_->SetColor(m->GetGlobalColor());
    } else {
        form_->SetColor(clBtnFace);
    }
}

void TsSkinProvider::SetDrawNonClientArea(bool v)
{
    if (v == drawNonClientArea_) return;
    drawNonClientArea_ = v;
    if (v) {
        UpdateSysMenuStyle(true);
        if (form_->HandleAllocated() && skinData_->Skinned()) {
            FlagImageChanged();
            rgnChanged_ = true;
            PrepareMenus(true);
            UpdateExtBorders(SkinManager() && SkinManager()->ExtendedBorders());
            RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
            UpdateScrollAdapter();
        }
    } else {
        UpdateExtBorders(false);
        // The line goes back to the system; popups stay as the skin has them.
        PrepareMenus(IsSkinned());
        if (form_->HandleAllocated()) CallSetWindowTheme(form_->Handle(), L"", L"");
        FreeScrollAdapter();
        UpdateSysMenuStyle(false);
        RemoveRegion();
    }
}

void TsSkinProvider::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "SkinData.SkinSection")) SetSkinSection(v.AsString());
    else if (SameText(name, "MakeSkinMenu")) SetMakeSkinMenu(v.AsBool());
    else if (SameText(name, "AddedTitle.Text")) addedTitle_.SetText(v.AsString());
    else if (StartsWithText(name, "AddedTitle.Font.")) {
        if (!addedTitle_.Font().SetProperty(name.substr(16), v)) UnknownProperty(name);
    } else if (SameText(name, "TitleButtons")) {
        ReadCollection(titleButtons_, v);
        InitTitleButtons();
    } else if (SameText(name, "TitleIcon.Width")) titleIcon_.Width = v.AsInt();
    else if (SameText(name, "TitleIcon.Height")) titleIcon_.Height = v.AsInt();
    else if (SameText(name, "DrawNonClientArea")) SetDrawNonClientArea(v.AsBool());
    else if (SameText(name, "AllowExtBorders")) allowExtBorders_ = v.AsBool();
    else if (SameText(name, "ScreenSnap")) ScreenSnap = v.AsBool();
    else if (SameText(name, "SnapBuffer")) SnapBuffer = v.AsInt();
    else if (SameText(name, "MenuLineSkin")) SetMenuLineSkin(v.AsString());
    else if (SameText(name, "TitleSkin")) SetTitleSkin(v.AsString());
    else if (SameText(name, "UseGlobalColor")) useGlobalColor_ = v.AsBool();
    else if (SameText(name, "ShowAppIcon")) showAppIcon_ = v.AsBool();
    else TComponent::SetProperty(name, v);
}

// ---- metrics

bool TsSkinProvider::HasBorder() const { return form_->BorderStyle() != bsNone || IsMDIChild(); }

bool TsSkinProvider::BigButtons() const
{
    return form_->BorderStyle() == bsSingle || form_->BorderStyle() == bsSizeable;
}

bool TsSkinProvider::MenuPresent() const
{
    TMainMenu* menu = form_->Menu();
    return menu && menu->Items()->Count() > 0 && form_->BorderStyle() != bsDialog && !IsMDIChild();
}

int TsSkinProvider::MenuHeight() const { return MenuPresent() ? GetSystemMetrics(SM_CYMENU) - 1 : 0; }

bool TsSkinProvider::GripVisible() const
{
    const HWND wnd = form_->HandleAllocated() ? form_->Handle() : nullptr;
    return GripMode == gmRightBottom && !(wnd && IsZoomed(wnd)) && IsSizeable(wnd);
}

int TsSkinProvider::CaptionHeight(bool useSkin) const
{
    const HWND wnd = form_->HandleAllocated() ? form_->Handle() : nullptr;
    const bool iconic = wnd && IsIconic(wnd);
    if (!iconic && (!HasBorder() || (Style(wnd) & WS_CAPTION) != WS_CAPTION)) return 0;
    const int skin = useSkin && borderForm_ && SkinManager() ? SkinManager()->SkinData.TitleHeight : 0;
    if (skin != 0) return skin;
    const bool tool = form_->BorderStyle() == bsToolWindow || form_->BorderStyle() == bsSizeToolWin;
    return GetSystemMetrics(tool && !iconic ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int TsSkinProvider::SkinnedWidth() const
{
    const HWND wnd = form_->Handle();
    return WindowWidth(wnd);
}

int TsSkinProvider::ClientOffsetX() const
{
    const HWND wnd = form_->Handle();
    int bar = 0;
    if (scrollAdapter_ && scrollAdapter_->VertBar && (Style(wnd) & WS_VSCROLL)) bar = GetSystemMetrics(SM_CXVSCROLL);
    return (WindowWidth(wnd) - ClientWidth(wnd) - bar) / 2;
}

int TsSkinProvider::ClientOffsetY() const
{
    const HWND wnd = form_->Handle();
    // The client area's top in window coordinates, as the system placed it.
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    RECT r{};
    GetWindowRect(wnd, &r);
    return origin.y - r.top;
}

int TsSkinProvider::TopAreaHeight() const { return std::max(0, ClientOffsetY()); }

int TsSkinProvider::MenuRows()
{
    if (menuRows_ >= 0) return menuRows_;
    // The menu line's items are laid out by the skinned menus of window skinning; until they
    // draw them the line keeps the rows the system gives it.
    menuRows_ = 1;
    if (MenuPresent() && form_->HandleAllocated()) {
        MENUBARINFO info{};
        info.cbSize = sizeof info;
        const int h = MenuHeight();
        if (h > 0 && GetMenuBarInfo(form_->Handle(), OBJID_MENU, 0, &info))
            menuRows_ = std::max(1, static_cast<int>((info.rcBar.bottom - info.rcBar.top + h / 2) / (h + 1)));
    }
    return menuRows_;
}

bool TsSkinProvider::MenuHasVisibleItems() const
{
    TMainMenu* menu = form_->Menu();
    if (form_->BorderStyle() == bsDialog || !menu || IsMDIChild()) return false;
    for (int i = 0; i < menu->Items()->Count(); ++i)
        if (menu->Items()->Items(i)->Visible()) return true;
    return false;
}

TColor TsSkinProvider::FormColor() const
{
    if (skinData_->Skinned() && !skinData_->CustomColor()) {
        const TsGeneralData& g = SkinManager()->GeneralData[static_cast<size_t>(skinData_->SkinIndex)];
        return formActive_ ? g.HotColor : g.Color;
    }
    return ColorToRGB(form_->Color());
}

int TsSkinProvider::ImageHeight() const
{
    const HWND wnd = form_->Handle();
    return IsIconic(wnd) ? FormFrameWidth(wnd, borderForm_, false) + CaptionHeight(true) + 2 : WindowHeight(wnd);
}

bool TsSkinProvider::ImageSizeChanged() const
{
    TBitmap* image = FormImage();
    return !image || image->Width() != SkinnedWidth() || image->Height() != ImageHeight();
}

void TsSkinProvider::FormOrigin(POINT& p) const
{
    RECT r{};
    GetWindowRect(form_->Handle(), &r);
    p = POINT{r.left, r.top};
}

void TsSkinProvider::ScreenToImage(int x, int y, POINT& p) const
{
    POINT origin;
    FormOrigin(origin);
    p = POINT{x - origin.x, y - origin.y};
}

// ---- window region

int TsSkinProvider::TitleIndex()
{
    if (titleIndex_ < 0)
        if (TsSkinManager* m = SkinManager())
            titleIndex_ = m->GetSkinIndex(titleSkin_.empty() ? "FORMTITLE" : titleSkin_);
    return titleIndex_;
}

void TsSkinProvider::PrepareRgnParts()
{
    rgnParts_.clear();
    TsSkinManager* m = SkinManager();
    if (!m || !form_->HandleAllocated()) return;
    const int w = SkinnedWidth(), h = WindowHeight(form_->Handle());
    if (m->IsValidImgIndex(skinData_->BorderIndex))
        CollectTransparentRects(m, skinData_->BorderIndex, 0, TRect{0, 0, w, h}, rgnParts_);
    const int title = TitleIndex();
    if (!m->IsValidSkinIndex(title)) return;
    const std::string& section = m->GeneralData[static_cast<size_t>(title)].Name;
    const int mask = m->GetMaskIndex(title, section, "BORDERSMASK");
    if (!m->IsValidImgIndex(mask)) return;
    // Only the top band: the title's lower corners lie inside the window.
    std::vector<TRect> title_parts;
    const int band = m->GetMaskTopWidth(mask);
    CollectTransparentRects(
        m, mask, 0,
        TRect{0, 0, w, std::max(FrameWidth(form_->Handle(), nullptr, false) + CaptionHeight(false), 2 * band)},
        title_parts);
    for (const TRect& r : title_parts)
        if (r.Top < band) rgnParts_.push_back(r);
}

HRGN TsSkinProvider::CreateSkinRgn(int x, int y) const
{
    HRGN rgn = CreateRectRgn(x, y, x + SkinnedWidth(), y + WindowHeight(form_->Handle()));
    for (const TRect& r : rgnParts_) {
        HRGN part = CreateRectRgn(x + r.Left, y + r.Top, x + r.Right, y + r.Bottom);
        CombineRgn(rgn, rgn, part, RGN_DIFF);
        DeleteObject(part);
    }
    return rgn;
}

void TsSkinProvider::UpdateFormRgn(bool repaint)
{
    if (!drawNonClientArea_ || !form_->HandleAllocated() || !skinData_->Skinned()) return;
    const HWND wnd = form_->Handle();
    if (!HasBorder() && !IsIconic(wnd)) return;
    if (!paintedOnce_ &&
        SendMessageA(wnd, msgOwnRegionQuery, ownRegionAnswer, 0) == static_cast<LRESULT>(ownRegionAnswer))
        return;
    updatingRgn_ = true;
    HRGN rgn;
    const TSizeConstraints& c = form_->Constraints();
    if (IsZoomed(wnd) && c.MaxWidth == 0 && c.MaxHeight == 0) {
        const int f = FrameWidth(wnd, nullptr, false);
        rgn = CreateRectRgn(f, f, WindowWidth(wnd) - f, WindowHeight(wnd) - f);
    } else {
        rgn = CreateSkinRgn(0, 0);
    }
    rgnChanged_ = false;
    // The region the window has already is not set again: under Wine each setting reshapes the
    // window and repaints its frame at once.
    if (HasWindowRegion(wnd, rgn)) {
        DeleteObject(rgn);
        updatingRgn_ = false;
        return;
    }
    regionSetting_ = true;
    SetWindowRgn(wnd, rgn, repaint);
    regionSetting_ = false;
    updatingRgn_ = false;
}

void TsSkinProvider::RemoveRegion()
{
    if (!form_->HandleAllocated()) return;
    regionSetting_ = true;
    SetWindowRgn(form_->Handle(), nullptr, TRUE);
    regionSetting_ = false;
}

// ---- operations

void TsSkinProvider::UpdateSysMenuStyle(bool skinned)
{
    if (!form_->HandleAllocated()) return;
    const HWND wnd = form_->Handle();
    const LONG_PTR style = Style(wnd);
    if (skinned) {
        if (!(style & WS_SYSMENU) && !sysMenuTaken_) return;
        SetWindowLongPtrA(wnd, GWL_STYLE,
                          drawNonClientArea_ ? style & ~static_cast<LONG_PTR>(WS_SYSMENU) : style | WS_SYSMENU);
        sysMenuTaken_ = true;
    } else {
        if (sysMenuTaken_) SetWindowLongPtrA(wnd, GWL_STYLE, style | WS_SYSMENU);
        sysMenuTaken_ = false;
    }
}

void TsSkinProvider::ApplyGlobalColor()
{
    if (useGlobalColor_ && !skinData_->CustomColor())
        if (TsSkinManager* m = SkinManager()) form_->SetColor(givenColor_ = m->GetGlobalColor());
}

void TsSkinProvider::PrepareForm()
{
    if (inactive_) return;
    skinData_->UpdateIndexes();
    titleIndex_ = captionIndex_ = -1;
    TitleIndex();
    if (TsSkinManager* m = SkinManager()) captionIndex_ = m->GetSkinIndex("CAPTION");
    if (!form_->HandleAllocated() || !skinData_->Skinned()) return;
    if (!systemMenu_) systemMenu_ = new TsSystemMenu(this);
    systemMenu_->UpdateItems(false);
    UpdateSysMenuStyle(true);
    if (std::exchange(mdiCheckPending_, false) && form_->FormStyle() == fsMDIForm) SetMDIFormObject(true);
    else if (mdiForm_) mdiForm_->Connect();
    InitTitleButtons();
    FlagImageChanged();
    rgnChanged_ = true;
    menuLineHeight_ = -1;
    menuRows_ = -1;
    if (TsSkinProvider* main = MainProvider()) {
        main->FlagImageChanged();
        main->menuRows_ = -1;
    }
    ApplyGlobalColor();
    PrepareMenus(true);
    if (!menuInitialised_ && RebuildMenu()) menuInitialised_ = true;
    DisableDwmTransitions(form_->Handle(), true);
    UpdateExtBorders(SkinManager()->ExtendedBorders());
    // The title buttons' images come with the title bar of window skinning.
    if (!ctrlAdapter_) CreateCtrlAdapter();
}

void TsSkinProvider::InitAfterLoad()
{
    if (form_->HandleAllocated()) DisableDwmTransitions(form_->Handle(), true);
    PrepareForm();
    if (!ctrlAdapter_) CreateCtrlAdapter();
}

void TsSkinProvider::UpdateScrollAdapter()
{
    if (form_->InState(csDestroying) || !form_->HandleAllocated() || !form_->AutoScroll()) return;
    if (skinData_->Skinned()) {
        if (scrollAdapter_ && scrollAdapter_->Destroyed) FreeScrollAdapter();
        if (!scrollAdapter_)
            scrollAdapter_ = CreateAdapter<TvxScrollWnd>(form_->Handle(), skinData_.get(), SkinManager(), "", false);
    } else {
        FreeScrollAdapter();
    }
}

void TsSkinProvider::FreeScrollAdapter()
{
    if (!scrollAdapter_) return;
    TvxMainWnd* a = scrollAdapter_;
    scrollAdapter_ = nullptr;
    DetachAdapter(a->CtrlHandle, true, false, a);
    if (a) delete a;
}

void TsSkinProvider::CreateCtrlAdapter()
{
    if (inactive_ || ctrlAdapter_ || !skinData_->Skinned()) return;
    ctrlAdapter_ = std::make_unique<TvxCtrlAdapter>(this);
    ctrlAdapter_->AddAllItems(nullptr);
}

void TsSkinProvider::WalkControls(TWinControl* parent)
{
    if (!ctrlAdapter_) CreateCtrlAdapter();
    else ctrlAdapter_->AddAllItems(parent);
}

void TsSkinProvider::InitSysMenuPopup(TMessage& m)
{
    if (HIWORD(m.LParam) != 0) EnableMenuItem(reinterpret_cast<HMENU>(m.WParam), SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
    else ClearPopupItemMeasured();
}

void TsSkinProvider::ShowSystemMenu(int x, int y)
{
    TsSkinManager* manager = SkinManager();
    if (!systemMenu_ || !form_->HandleAllocated() || !manager) return;
    const HWND wnd = form_->Handle();
    if (!manager->SkinnedPopups()) {
        const HMENU menu = GetSystemMenu(wnd, FALSE);
        if (!menu) return;
        // Nothing is painted while the items change.
        const LONG_PTR style = Style(wnd);
        SetWindowLongPtrA(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
        const TsSystemMenu& s = *systemMenu_;
        const bool iconic = IsIconic(wnd) != 0;
        const std::pair<UINT, bool> states[] = {
            {SC_RESTORE, s.VisibleRestore() && s.EnabledRestore()}, {SC_MOVE, s.EnabledMove() && !iconic},
            {SC_SIZE, s.VisibleSize() && s.EnabledSize()},          {SC_MINIMIZE, s.VisibleMin() && s.EnabledMin()},
            {SC_MAXIMIZE, s.VisibleMax() && s.EnabledMax()},        {SC_CLOSE, s.VisibleClose()},
        };
        for (const auto& [command, on] : states)
            EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
        SetWindowLongPtrA(wnd, GWL_STYLE, Style(wnd) | WS_VISIBLE);
        const UINT command =
            static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, wnd, nullptr));
        if (command && IsWindow(wnd)) PostMessageA(wnd, WM_SYSCOMMAND, command, 0);
        return;
    }
    systemMenu_->UpdateItems(false);
    if (makeSkinMenu_) {
        TMenuItem* items = systemMenu_->Items();
        if (items->Count() > 0 && items->Items(0)->Name() == "SkinSelectItem") {
            TMenuItem* select = items->Items(0);
            items->Remove(select);
            select->Free();
        }
        AddSkinItems();
    }
    SkinPopupMenu(systemMenu_, true);
    systemMenu_->Popup(x, y);
}

void TsSkinProvider::AddSkinItems()
{
    TsSkinManager* manager = SkinManager();
    if (!manager || !systemMenu_) return;
    TStringList names;
    manager->GetSkinNames(names, 2);
    if (names.Count() == 0) return;
    TMenuItem* items = systemMenu_->Items();
    auto* select = new TMenuItem(systemMenu_);
    select->SetName("SkinSelectItem");
    select->SetCaption("Available skins");
    items->Insert(0, select);
    if (items->Count() < 2 || items->Items(1)->Caption() != "-") items->InsertNewLineAfter(select);
    for (int i = 0; i < names.Count(); ++i) {
        auto* item = new TMenuItem(systemMenu_);
        item->SetName("SkinSelectItem" + std::to_string(i));
        item->SetCaption(names[i]);
        item->SetRadioItem(true);
        item->SetChecked(names[i] == manager->SkinName());
        if (i > 0 && i % 20 == 0) item->SetBreak(mbBreak);
        item->OnClick = [this](TObject* sender) {
            std::string name = DelChars(static_cast<TMenuItem*>(sender)->Caption(), '&');
            const std::string internal = "(internal)";
            if (const size_t at = name.find(internal); at != std::string::npos) name.erase(at + internal.size());
            if (TsSkinManager* m = SkinManager()) m->SetSkinName(name);
        };
        select->Add(item);
    }
}

void TsSkinProvider::RemoveAdapter()
{
    if (!ctrlAdapter_) return;
    ctrlAdapter_->BroadcastMessage(
        TMessage{SM_VELOCONCMD, SkinCommandWParam(cmdRemoveSkin), reinterpret_cast<LPARAM>(SkinManager()), 0});
    ctrlAdapter_.reset();
}

void TsSkinProvider::Notification(TComponent* component)
{
    TComponent::Notification(component);
    if (ctrlAdapter_) ctrlAdapter_->ControlGone(component);
}

void TsSkinProvider::CloseForm()
{
    if (form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TsSkinProvider::RefreshFrame()
{
    FlagImageChanged();
    skinData_->CtrlFlags |= cfMenuChanged;
    menuRows_ = -1;
    if (form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::BeginFormUpdate()
{
    skinData_->BeginUpdate();
    if (form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_SETREDRAW, 0, 0);
}

void TsSkinProvider::EndFormUpdate()
{
    skinData_->EndUpdate(false);
    if (form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_SETREDRAW, 1, 0);
}

void TsSkinProvider::RefreshNonClient()
{
    // A maximised MDI child's caption and icon stand in its main form's title.
    if (IsMDIChild() && form_->HandleAllocated() && IsZoomed(form_->Handle())) {
        if (TsSkinProvider* main = MainProvider()) main->RefreshNonClient();
        return;
    }
    if (InAnimation() || !form_->HandleAllocated() || !IsWindowVisible(form_->Handle()) || !drawNonClientArea_ ||
        form_->InState(csDestroying) || !IsSkinned())
        return;
    FlagImageChanged();
    const HWND wnd = form_->Handle();
    HDC dc = GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    PrintFrame(dc);
    RestoreDC(dc, saved);
    ReleaseDC(wnd, dc);
    if (borderForm_) borderForm_->UpdateExBorderPos(true, 255);
}

HWND TsSkinProvider::CoverWindow() const { return cover_ && cover_->HandleAllocated() ? cover_->Handle() : nullptr; }

void TsSkinProvider::ShowCover(bool wholeForm)
{
    if (!drawNonClientArea_ || InAnimation() || redrawOff_ >= 1 || !form_->HandleAllocated()) return;
    TsSkinProvider* main = MainProvider();
    if (main && main->redrawOff_ > 0) return;
    if (!cover_) {
        cover_ =
            std::unique_ptr<TForm, void (*)(TForm*)>(TForm::Create<TForm>(Application), [](TForm* f) { f->Free(); });
        cover_->SetTag(-98);
        cover_->SetBorderStyle(bsNone);
        cover_->OnPaint = [](TObject*) {};
        coverHook_ = cover_->HookWindowProc([](TMessage& m, const TWndMethod& inherited) {
            if (m.Msg == WM_ERASEBKGND) m.Result = 1;
            else inherited(m);
        });
    }
    const HWND wnd = form_->Handle(), cover = cover_->Handle();
    ShowWindow(cover, SW_HIDE);
    RECT r{};
    GetWindowRect(wnd, &r);
    const int height = wholeForm ? r.bottom - r.top : TopAreaHeight();
    // An MDI child's cover lies over the child at the top (its neighbours are children too).
    const HWND after = IsMDIChild()                                            ? HWND_TOP
                       : (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_TOPMOST
                                                                               : GetWindow(wnd, GW_HWNDPREV);
    SetWindowPos(cover, after ? after : HWND_TOP, r.left, r.top, r.right - r.left, height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | SWP_NOREDRAW);
}

void TsSkinProvider::HideCover()
{
    if (!cover_) return;
    if (!cover_->InState(csDestroying)) cover_->UnhookWindowProc(coverHook_);
    cover_.reset();
}

// ---- window procedure

bool TsSkinProvider::CallOld(TMessage& m, const TWndMethod& old)
{
    const std::shared_ptr<bool> alive = alive_;
    old(m);
    return *alive && !form_->InState(csDestroying);
}

bool TsSkinProvider::CallOldHidden(TMessage& m, const TWndMethod& old)
{
    // The system draws its own caption while it handles activation and text changes (also under
    // Wine, without WM_NCPAINT); with WS_VISIBLE off for the call it draws nothing.
    const HWND wnd = form_->Handle();
    const LONG_PTR style = Style(wnd);
    const bool hide = (style & WS_VISIBLE) && drawNonClientArea_;
    if (hide) SetWindowLongPtrA(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    const std::shared_ptr<bool> alive = alive_;
    old(m);
    if (hide && IsWindow(wnd)) SetWindowLongPtrA(wnd, GWL_STYLE, Style(wnd) | WS_VISIBLE);
    return *alive && !form_->InState(csDestroying);
}

void TsSkinProvider::ProviderWndProc(TMessage& m, const TWndMethod& old)
{
    if (m.Msg == SM_VELOCONCMD && CommonCommand(m)) return;
    if (m.Msg == WM_NCDESTROY && IsMDIChild()) {
        MDIChildWindowGone(m, old);
        return;
    }
    if (m.Msg == CM_MENUCHANGED && IsMDIMain()) KeepChildMenu();
    if (!IsSkinned()) {
        UnskinnedMessage(m, old);
        return;
    }
    if (m.Msg == SM_VELOCONCMD) {
        SkinnedCommand(m);
    } else if (!MDIMessage(m, old)) {
        const std::shared_ptr<bool> alive = alive_;
        SkinnedMessage(m, old);
        if (*alive && (IsMDIChild() || IsMDIMain())) MDIAfterMessage(m);
    }
}

bool TsSkinProvider::CommonCommand(TMessage& m)
{
    const LPARAM manager = reinterpret_cast<LPARAM>(SkinManager());
    switch (HIWORD(m.WParam)) {
    case cmdSkinChanged:
        if (!form_->InState(csDestroying) && m.LParam == manager && !systemMenu_) PrepareForm();
        return false;
    case cmdRemoveSkin:
        RemoveSkin(m);
        return true;
    case cmdIsSkinned:
        m.Result = 1;
        return true;
    case cmdEndUpdate:
        if (skinData_->CtrlFlags & cfMenuChanged) {
            skinData_->CtrlFlags &= static_cast<uint16_t>(~cfMenuChanged);
            form_->Perform(CM_MENUCHANGED);
        }
        return false;
    case cmdGetBGInfo:
        if (!AcceptSkinCommand(m)) m.Result = 0;
        else BackgroundInfo(*reinterpret_cast<TsBackgroundInfo*>(m.LParam));
        return true;
    case cmdFlagsQuery:
        m.Result = skinData_->CtrlFlags;
        return true;
    case cmdApplicationQuery:
        m.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    case cmdClientOffsetQuery:
        m.Result = form_->HandleAllocated() ? static_cast<LRESULT>(MAKELONG(ClientOffsetX(), ClientOffsetY())) : 0;
        return true;
    default:
        return false;
    }
}

void TsSkinProvider::UnskinnedMessage(TMessage& m, const TWndMethod& old)
{
    if (m.Msg == SM_VELOCONCMD) {
        const WORD command = HIWORD(m.WParam);
        if (command == cmdSkinChanged) {
            if (!form_->InState(csDestroying) && m.LParam == reinterpret_cast<LPARAM>(SkinManager()))
                TakeNewSkin(false);
            return;
        }
        if (command == cmdGetProvider) {
            m.Result = reinterpret_cast<LRESULT>(this);
            return;
        }
    }
    if (m.Msg == WM_QUERYENDSESSION) EndSessionFades();
    // The session goes on after all: fades run again.
    else if (m.Msg == WM_ENDSESSION && m.WParam == 0) SetFadesSuppressed(false);
    old(m);
}

void TsSkinProvider::TakeNewSkin(bool skinned)
{
    skinData_->UpdateIndexes();
    titleIndex_ = captionIndex_ = -1;
    TitleIndex();
    TsSkinManager* m = SkinManager();
    if (m) captionIndex_ = m->GetSkinIndex("CAPTION");
    InitTitleButtons();
    FlagImageChanged();
    menuLineHeight_ = -1;
    menuRows_ = -1;
    rgnChanged_ = true;
    if (!m) return;
    // An MDI main form's client window follows the skin (the companion is made when missing).
    if (form_->FormStyle() == fsMDIForm) SetMDIFormObject(true);
    if (skinned) {
        if (form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_NCPAINT, 0, 0);
        WalkControls(nullptr);
        return;
    }
    if (!systemMenu_) PrepareForm();
    else UpdateSysMenuStyle(true);
    ApplyGlobalColor();
    if (form_->HandleAllocated()) DisableDwmTransitions(form_->Handle(), true);
    WalkControls(nullptr);
}

void TsSkinProvider::RemoveSkin(TMessage& m)
{
    TsSkinManager* manager = SkinManager();
    if (m.LParam != reinterpret_cast<LPARAM>(manager)) {
        BroadcastToControls(form_, m);
        return;
    }
    FreeScrollAdapter();
    if (form_->HandleAllocated()) DisableDwmTransitions(form_->Handle(), false);
    RemoveAdapter();
    HandleSkinCommand(m, *skinData_);
    menuLineHeight_ = -1;
    titleIndex_ = captionIndex_ = -1;
    BroadcastToControls(form_, m);
    if (form_->HandleAllocated() && !form_->InState(csDestroying) && manager) {
        UpdateSysMenuStyle(false);
        if (mdiForm_) SetMDIFormObject(false);
        if (HasBorder() && !menuLoop_) RemoveRegion();
        PrepareMenus(false);
        if (const HWND client = form_->ClientHandle())
            RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        UpdateExtBorders(false);
    }
    for (int i = 0; i < form_->ControlCount(); ++i)
        if (auto* g = dynamic_cast<TGraphicControl*>(form_->Controls(i))) g->Font().SetColor(clWindowText);
    if (useGlobalColor_ && !skinData_->CustomColor()) form_->SetColor(clBtnFace);
    skinData_->FCacheBmp = std::make_unique<TBitmap>();
    cacheInfo_ = TsCacheInfo{};
    paintedOnce_ = false;
    if (form_->HandleAllocated() && IsWindowVisible(form_->Handle()))
        RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsSkinProvider::RefreshSkin()
{
    WalkControls(nullptr);
    if (drawNonClientArea_) UpdateScrollAdapter();
    menuLineHeight_ = -1;
    menuLineBmp_.reset();
    if (HasBorder()) rgnChanged_ = true;
    if (!form_->HandleAllocated() || !IsWindowVisible(form_->Handle())) return;
    FlagImageChanged();
    UpdateExtBorders(SkinManager()->ExtendedBorders());
    RedrawWindow(form_->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    ApplyGlobalColor();
    if (mdiForm_) mdiForm_->Connect();
    skinData_->Updating = false;
    if (ctrlAdapter_)
        ctrlAdapter_->BroadcastMessage(
            TMessage{SM_VELOCONCMD, SkinCommandWParam(cmdRefresh), reinterpret_cast<LPARAM>(SkinManager()), 0});
}

void TsSkinProvider::BackgroundInfo(TsBackgroundInfo& info)
{
    if (skinData_->BGChanged && !skinData_->Updating && skinData_->RedrawAllowed()) PaintAll();
    const bool draw = info.PleaseDraw != 0;
    if (draw) {
        info.R.Left += ClientOffsetX();
        info.R.Right += ClientOffsetX();
        info.R.Top += ClientOffsetY();
        info.R.Bottom += ClientOffsetY();
    }
    GetBGInfo(skinData_.get(), info, formActive_ ? 1 : 0, form_->HandleAllocated() ? form_->Handle() : nullptr);
    if (info.BgType == btCache && !draw && !info.Bmp) {
        PaintAll();
        info.Bmp = FormImage();
    }
    if (!form_->Parent() && form_->HandleAllocated()) info.Offset = TPoint{ClientOffsetX(), ClientOffsetY()};
}

void TsSkinProvider::SkinnedCommand(TMessage& m)
{
    const LPARAM manager = reinterpret_cast<LPARAM>(SkinManager());
    switch (HIWORD(m.WParam)) {
    case cmdSkinChanged:
        if (m.LParam == manager) TakeNewSkin(true);
        break;
    case cmdRefresh:
        if (m.LParam == manager) RefreshSkin();
        break;
    case cmdGetProvider:
        m.Result = reinterpret_cast<LRESULT>(this);
        break;
    case cmdSetBGChanged:
        skinData_->Updating = LOWORD(m.WParam) == 1;
        if (skinData_->GetUpdating()) FlagImageChanged();
        break;
    case cmdFreezeCache:
        HandleControlMessage(m, *skinData_);
        break;
    case cmdGetBGChanged:
        m.Result = !RepaintLocked && skinData_->RedrawAllowed() && skinData_->Updating ? 1 : 0;
        break;
    case cmdHasComplexBG: {
        const TsGeneralData& g = SkinManager()->GeneralData[static_cast<size_t>(skinData_->SkinIndex)];
        m.Result = g.GradientPercent + g.ImagePercent > 0 ? 1 : 0;
        m.LParam = m.Result;
        break;
    }
    case cmdGetBGColor:
        m.Result = static_cast<LRESULT>(FormColor());
        break;
    case cmdAnnounceControl:
        // The controls under the announced one (all of the form for 0).
        if (ctrlAdapter_ && !form_->InState(csLoading) && AcceptSkinCommand(m)) {
            auto* control = reinterpret_cast<TControl*>(m.LParam);
            if (!control) ctrlAdapter_->AddAllItems(nullptr);
            else if (auto* windowed = dynamic_cast<TWinControl*>(control)) ctrlAdapter_->AddAllItems(windowed);
        }
        break;
    case cmdLockPainting:
        if (DependsOnParentBG(skinData_.get())) SendMessageA(form_->Handle(), WM_SETREDRAW, 0, 0);
        break;
    case cmdUnlockPainting:
        if (DependsOnParentBG(skinData_.get())) {
            SendMessageA(form_->Handle(), WM_SETREDRAW, 1, 0);
            RedrawWindow(form_->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        break;
    default:
        break;
    }
}

void TsSkinProvider::SnapToWorkArea(int& x, int& y, int width, int height) const
{
    const RECT work = WorkAreaOf(form_->Handle());
    const auto snap = [this](int& value, int offset, int edge) {
        if (std::abs(value + offset - edge) < SnapBuffer) value = edge - offset;
    };
    snap(x, width, work.right);
    snap(y, height, work.bottom);
    snap(x, 0, work.left);
    snap(y, 0, work.top);
}

TRect TsSkinProvider::GripRect() const
{
    TsSkinManager* m = SkinManager();
    if (!m || !m->IsValidSkinIndex(m->CommonIndexes.GlobalInfo) || !form_->HandleAllocated()) return TRect{};
    const int mask = m->GetMaskIndex(m->CommonIndexes.GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
    if (!m->IsValidImgIndex(mask)) return TRect{};
    const TsMaskData& md = m->MaskData[static_cast<size_t>(mask)];
    const int w = MaskFrameWidth(md), h = MaskFrameHeight(md);
    const int f = FrameWidth(form_->Handle(), nullptr, true);
    const int x = SkinnedWidth() - w - f - 1, y = WindowHeight(form_->Handle()) - h - f - 1;
    return TRect{x, y, x + w, y + h};
}

int TsSkinProvider::HitTest(POINT screen)
{
    POINT p;
    ScreenToImage(screen.x, screen.y, p);
    const HWND wnd = form_->Handle();
    // The title buttons first: the one under the point becomes hot.
    if (const int button = TitleButtonHit(p)) {
        if (button != HTCAPTION) {
            SetHotButton(button, true);
            return button;
        }
        SetHotButton(0, true);
        return HTCAPTION;
    }
    const int w = WindowWidth(wnd), h = WindowHeight(wnd);
    const int f = FrameWidth(wnd, nullptr, false);
    if (!IsZoomed(wnd) && IsSizeable(wnd)) {
        const bool top = p.y < f, bottom = p.y >= h - f, left = p.x < f, right = p.x >= w - f;
        if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    const int titleBottom = FormFrameWidth(wnd, nullptr, false) + CaptionHeight(false);
    if (p.y < titleBottom) {
        const TRect icon = TitleIconRect();
        const bool onIcon =
            TitleIconVisible() && p.x >= icon.Left && p.x < icon.Right && p.y >= icon.Top && p.y < icon.Bottom;
        return onIcon ? HTSYSMENU : HTCAPTION;
    }
    const int menuBottom = titleBottom + MenuRows() * MenuHeight();
    if (p.y < menuBottom) {
        // A maximised child's buttons (when the line shows them).
        for (const TsCaptionButton& b : mdiButtons_)
            if (b.Shown && p.x >= b.Rect.Left && p.x < b.Rect.Right && p.y >= b.Rect.Top && p.y < b.Rect.Bottom)
                return b.HitCode;
        return HTMENU;
    }
    if (GripVisible()) {
        const TRect g = GripRect();
        if (p.x >= g.Left && p.x < g.Right && p.y >= g.Top && p.y < g.Bottom) return HTBOTTOMRIGHT;
    }
    return HTCLIENT;
}

void TsSkinProvider::HitTestMessage(TMessage& m, const TWndMethod& old)
{
    if (CaptionHeight(true) == 0 || !drawNonClientArea_) {
        old(m);
        return;
    }
    m.Result = HitTest(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
    if (m.Result == HTNOWHERE || m.Result == HTCLIENT || m.Result == HTCAPTION || m.Result == HTMENU) {
        SetHotButton(0, true);
        old(m);
    } else if (ResizeMode == rmBorder && !OutlineDragging() && m.Result >= HTLEFT && m.Result <= HTBOTTOMRIGHT) {
        sizingCode_ = static_cast<int>(m.Result);
    }
}

void TsSkinProvider::ShowWindowMessage(TMessage& m, const TWndMethod& old)
{
    const HWND wnd = form_->Handle();
    if (m.WParam && DwmCompositionEnabled() && !InAnimation() && !(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED))
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    // Hidden with its owner: the state it had, for its activation when it comes back.
    if (!m.WParam && m.LParam == SW_PARENTCLOSING) parentClosing_ = IsIconic(wnd) ? 2 : IsZoomed(wnd) ? 3 : 1;
    old(m);
}

void TsSkinProvider::LeaveOtherControls(TWinControl* parent, const TControl* entered)
{
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c != entered)
            if (TsCommonData* link = TsCommonData::OfControl(c); link && link->MouseAbove)
                c->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c));
        if (auto* w = dynamic_cast<TWinControl*>(c)) LeaveOtherControls(w, entered);
    }
}

void TsSkinProvider::GetMinMaxInfo(TMessage& m)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    if (!info || !HasBorder() || form_->Parent() || !drawNonClientArea_ || IsMDIChild()) return;
    const RECT work = WorkAreaOf(form_->Handle());
    const int f = FrameWidth(form_->Handle(), nullptr, false);
    info->ptMaxPosition = POINT{-f, -f};
    info->ptMaxSize = POINT{work.right - work.left + 2 * f, work.bottom - work.top + 2 * f};
    m.Result = 0;
}

void TsSkinProvider::SkinnedMessage(TMessage& m, const TWndMethod& old)
{
    const HWND wnd = form_->Handle();
    // A click that the extended border passed on (HTTRANSPARENT): its own hit code.
    if (borderForm_ && m.WParam == static_cast<WPARAM>(HTTRANSPARENT) &&
        (m.Msg == WM_NCLBUTTONDOWN || m.Msg == WM_NCLBUTTONUP || m.Msg == WM_NCRBUTTONUP))
        m.WParam = static_cast<WPARAM>(borderForm_->HitTest(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}));
    switch (m.Msg) {
    case WM_CREATE:
        menuLineBmp_.reset();
        if (CallOld(m, old)) PrepareForm();
        return;
    case WM_SIZE: {
        RECT client{};
        GetClientRect(wnd, &client);
        const bool shrank = client.right < lastClientRect_.right || client.bottom < lastClientRect_.bottom;
        if (GripVisible() && GripRect().Right > GripRect().Left) {
            const TRect g = GripRect();
            const int cx = ClientOffsetX(), cy = ClientOffsetY();
            // The grip's old and new places in the client area.
            RECT old_place{g.Left - cx, g.Top - cy, g.Right - cx, g.Bottom - cy};
            InvalidateRect(wnd, &old_place, FALSE);
            if (shrank) InvalidateRect(wnd, &lastClientRect_, FALSE);
        }
        lastClientRect_ = client;
        if (!CallOld(m, old)) return;
        if (ImageSizeChanged()) {
            rgnChanged_ = true;
            FlagImageChanged();
            menuLineHeight_ = -1;
            menuRows_ = -1;
            if (drawNonClientArea_ && IsWindowVisible(wnd)) {
                SendMessageA(wnd, WM_NCPAINT, 0, 0);
                RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_NOFRAME);
            }
        }
        return;
    }
    case WM_ACTIVATE:
        if (!CallOld(m, old)) return;
        if (IsWindowVisible(wnd) && drawNonClientArea_) UpdateScrollAdapter();
        menuLineHeight_ = -1;
        if (LOWORD(m.WParam) == WA_ACTIVE && systemMenu_) systemMenu_->UpdateItems(false);
        return;
    case WM_SETREDRAW:
        redrawOff_ = m.WParam == 1 ? std::max(0, redrawOff_ - 1) : redrawOff_ + 1;
        old(m);
        return;
    case WM_SETTEXT:
    case WM_SETICON:
        if (!drawNonClientArea_ || !IsWindowVisible(wnd)) {
            old(m);
            return;
        }
        FlagImageChanged();
        ShowCover(false);
        if (!CallOldHidden(m, old)) return;
        HideCover();
        RefreshNonClient();
        return;
    case WM_PAINT:
        if (form_->ControlState() & csPaintCopy) return;
        // A border window that a hide left hidden comes back with the form.
        if (borderForm_ && !animating_ && !IsWindowVisible(borderForm_->Handle()))
            borderForm_->UpdateExBorderPos(true, 255);
        PaintClient(m);
        return;
    case WM_QUERYENDSESSION:
        EndSessionFades();
        old(m);
        return;
    case WM_ENDSESSION:
        if (m.WParam == 0) SetFadesSuppressed(false);
        old(m);
        return;
    case WM_ERASEBKGND:
        if (!IsWindowVisible(wnd)) {
            old(m);
            return;
        }
        if (skinData_->CtrlFlags & cfInUpdate) return;
        if ((form_->ControlState() & csPaintCopy) || m.LParam == static_cast<LPARAM>(m.WParam)) {
            PaintClientBackground(reinterpret_cast<HDC>(m.WParam));
        } else if (RECT clip{};
                   !skinData_->Updating && GetClipBox(reinterpret_cast<HDC>(m.WParam), &clip) == NULLREGION) {
            // Nothing of the form shows: its children learn that the update ended.
            SendEndUpdateToChildren(form_);
            return;
        }
        // WM_PAINT paints the background.
        m.Result = 1;
        return;
    case WM_SYSCOLORCHANGE:
    case WM_CHILDACTIVATE:
        if (CallOld(m, old) && form_->Menu()) form_->Menu()->Rebuild();
        return;
    case WM_GETMINMAXINFO:
        GetMinMaxInfo(m);
        old(m);
        return;
    case WM_WINDOWPOSCHANGING:
        if (regionSetting_) return;
        if (ScreenSnap && !IsZoomed(wnd)) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
            if (pos && !(pos->flags & SWP_NOMOVE) && (pos->x != 0 || pos->y != 0))
                SnapToWorkArea(pos->x, pos->y, (pos->flags & SWP_NOSIZE) ? form_->Width() : pos->cx,
                               (pos->flags & SWP_NOSIZE) ? form_->Height() : pos->cy);
        }
        old(m);
        return;
    case WM_NCCREATE:
        if (CallOld(m, old)) PrepareForm();
        return;
    case WM_NCHITTEST:
        HitTestMessage(m, old);
        return;
    case WM_NCPAINT:
        if (!drawNonClientArea_) {
            old(m);
            return;
        }
        PaintNonClient();
        m.Result = 0;
        return;
    case WM_NCACTIVATE:
        formActive_ = m.WParam != 0;
        // A maximised form that its owner hid keeps its image until it is shown again.
        if (!formActive_ && parentClosing_ == 3) {
            parentClosing_ = 0;
        } else if (parentClosing_ != 3) {
            FlagImageChanged();
            skinData_->Updating = false;
        } else if (!borderForm_) {
            skinData_->Updating = true;
        }
        if (!CallOldHidden(m, old)) return;
        if (HasBorder()) {
            menuLineHeight_ = -1;
            if (IsWindowVisible(wnd)) SendMessageA(wnd, WM_NCPAINT, 0, 0);
        }
        // The client background follows the form's colour of the new state.
        if (IsWindowVisible(wnd)) {
            const TsGeneralData& g = SkinManager()->GeneralData[static_cast<size_t>(skinData_->SkinIndex)];
            if (g.Color != g.HotColor) InvalidateRect(wnd, nullptr, FALSE);
        }
        if (!ctrlAdapter_) CreateCtrlAdapter();
        return;
    case msgNcUahDrawCaption:
    case WM_ENTERIDLE:
    case msgSkinQuery45132:
    case msgOwnRegionQuery:
        m.Result = 0;
        return;
    case WM_CONTEXTMENU:
        if (TPopupMenu* popup = form_->PopupMenu()) SkinPopupMenu(popup, true);
        old(m);
        return;
    case WM_INITMENUPOPUP:
        InitSysMenuPopup(m);
        old(m);
        return;
    case WM_PRINT:
        Print(m);
        return;
    case WM_PRINTCLIENT:
        return;
    case CM_VISIBLECHANGED:
        if (!CallOld(m, old)) return;
        if (m.WParam == 0 && FormImage()) FormImage()->SetSize(0, 0);
        if (borderForm_) borderForm_->UpdateExBorderPos(true, 255);
        return;
    case WM_WINDOWPOSCHANGED:
    case WM_STYLECHANGED:
    case WM_EXITSIZEMOVE:
        ExtBorderMessage(m, old);
        return;
    case CM_ENABLEDCHANGED:
        if (CallOld(m, old) && drawNonClientArea_) SendMessageA(wnd, WM_NCPAINT, 0, 0);
        return;
    case CM_MENUCHANGED:
        if ((form_->FormState() & fsCreating) || !IsWindowVisible(wnd)) {
            old(m);
            return;
        }
        if (skinData_->CtrlFlags & cfInUpdate) {
            skinData_->CtrlFlags |= cfMenuChanged;
            return;
        }
        menuLineHeight_ = -1;
        menuRows_ = -1;
        firstPaint_ = true;
        FlagImageChanged();
        old(m);
        return;
    case CM_SHOWINGCHANGED:
        if (drawNonClientArea_ && form_->Showing() && skinData_->BGChanged) WalkControls(nullptr);
        if (!ShowWithAnimation(m, old)) return;
        if (drawNonClientArea_ && IsWindowVisible(wnd)) UpdateScrollAdapter();
        return;
    case WM_SETTINGCHANGE:
        if (CallOld(m, old)) menuLineBmp_.reset();
        return;
    case WM_SHOWWINDOW:
        ShowWindowMessage(m, old);
        return;
    case WM_NCLBUTTONDOWN:
        NcLButtonDown(m, old);
        return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        ButtonRelease(m, old);
        return;
    case WM_NCLBUTTONDBLCLK:
        NcLButtonDblClk(m);
        return;
    case WM_NCRBUTTONDOWN:
        if (m.WParam != HTCAPTION && m.WParam != HTSYSMENU) old(m);
        return;
    case WM_NCRBUTTONUP:
        NcRButtonUp(m, old);
        return;
    case WM_SYSCOMMAND:
        SysCommand(m, old);
        return;
    case msgPopupSystemMenu:
        ShowSystemMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        return;
    case CM_MOUSEENTER:
        if (CallOld(m, old)) LeaveOtherControls(form_, reinterpret_cast<TControl*>(m.LParam));
        return;
    case WM_MOUSEMOVE:
        if (!CallOld(m, old)) return;
        if (TsSkinManager* manager = SkinManager()) manager->SetActiveControl(wnd);
        if (OutlineDragging()) {
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            ClientToScreen(wnd, &p);
            DrawOutline(p.x, p.y);
        }
        return;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        if (!CallOld(m, old)) return;
        SetHotButton(0, true);
        if (TsSkinManager* manager = SkinManager(); manager && manager->ActiveControl())
            manager->SetActiveControl(nullptr);
        return;
    case WM_PARENTNOTIFY:
        if (!CallOld(m, old)) return;
        if (!InState(csLoading) && !form_->InState(csLoading) &&
            (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY)) {
            if (LOWORD(m.WParam) == WM_CREATE && ctrlAdapter_) ctrlAdapter_->AddAllItems(nullptr);
            TMessage changed{SM_VELOCONCMD, SkinCommandWParam(cmdContainerFlags), 1, 0};
            BroadcastToControls(form_, changed);
            if (drawNonClientArea_ && scrollAdapter_) UpdateScrolls(scrollAdapter_, true);
        }
        return;
    case CM_CONTROLLISTCHANGE:
        if (!CallOld(m, old)) return;
        if (auto* control = reinterpret_cast<TControl*>(m.WParam); control && !InSendMessage() && ctrlAdapter_)
            if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && !windowed->InState(csDestroying))
                ctrlAdapter_->AddItem(windowed);
        // A control that joins the form (one that leaves it is not touched any more).
        if (auto* control = reinterpret_cast<TControl*>(m.WParam); control && m.LParam == 1 && !InSendMessage()) {
            if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
                TMessage changed{SM_VELOCONCMD, SkinCommandWParam(cmdContainerFlags), 1, 0};
                BroadcastToControls(windowed, changed);
            }
            SendSkinCommandToControl(control, cmdContainerFlags, 1);
        }
        return;
    case WM_NOTIFY:
        if (!CallOld(m, old)) return;
        // A tab page changed: its controls may be shown for the first time.
        if (m.LParam && !InSendMessage() && reinterpret_cast<const NMHDR*>(m.LParam)->code == TCN_SELCHANGE &&
            ctrlAdapter_)
            ctrlAdapter_->AddAllItems(nullptr);
        return;
    case CM_INVALIDATE:
        // The form's own invalidation, without erasing: WM_PAINT paints the background.
        InvalidateRect(wnd, nullptr, FALSE);
        m.Result = 0;
        return;
    default:
        // (The MDI rows are handled before and after this procedure: sSkinProviderMDI.cpp.)
        old(m);
        return;
    }
}
