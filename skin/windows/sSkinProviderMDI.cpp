// The MDI side of the form provider. An MDI main form's image holds its MDI area (the "MDIAREA"
// section under the client window) and, while the active child is maximised, the child's icon
// at the left of the menu line; what its children do (activation, maximising, restoring,
// minimising, closing, a new caption) makes the main form's image stale and repaints its frame.
// A child paints nothing while another child of its main form is maximised over it.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "gui/Forms.h"
#include "skin/engine/sMaskData.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sMDIForm.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sSysMenu.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxMDIWnd.h"

namespace {

TsSkinProvider* lastPaintedChild = nullptr;

// The active child of a client window, or none.
HWND ActiveChild(HWND client)
{
    return client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

HWND ClientOf(TForm* main) { return main && main->HandleAllocated() ? main->ClientHandle() : nullptr; }

bool Zoomed(HWND wnd) { return wnd && IsZoomed(wnd); }

// The system gave the bar a maximised child's window menu in front and its buttons behind (the
// last one SC_CLOSE).
bool HoldsChildMenu(HMENU bar)
{
    const int count = bar ? GetMenuItemCount(bar) : 0;
    return count > 1 && GetMenuItemID(bar, count - 1) == SC_CLOSE;
}

} // namespace

TsSkinProvider* LastPaintedMDIChild() { return lastPaintedChild; }

// ---- state

bool TsSkinProvider::ChildMaximised() const { return IsMDIMain() && Zoomed(ActiveChild(ClientOf(form_))); }

bool TsSkinProvider::HiddenByMaximisedChild() const
{
    if (!IsMDIChild() || !form_->HandleAllocated()) return false;
    const HWND active = ActiveChild(ClientOf(form_->MDIMainForm()));
    return active && active != form_->Handle() && Zoomed(active);
}

TsSkinProvider* TsSkinProvider::MainProvider() const
{
    TsSkinProvider* main = MDIMainProvider();
    if (!main || !IsMDIChild() || main->form_ != form_->MDIMainForm() || main->form_->InState(csDestroying))
        return nullptr;
    return main;
}

int TsSkinProvider::MenuBarShift() const
{
    if (!ChildMaximised() || !form_->Menu()) return 0;
    // The system adds the child's window menu in front and its three buttons (the last one
    // SC_CLOSE) behind the form's own items.
    return HoldsChildMenu(GetMenu(form_->Handle())) ? 1 : 0;
}

void TsSkinProvider::KeepChildMenu()
{
    TMainMenu* menu = form_->Menu();
    if (!IsMDIMain() || !menu || !form_->HandleAllocated() || !Zoomed(ActiveChild(form_->ClientHandle()))) return;
    // The main menu made a new bar while a child is maximised: the old one is destroyed after
    // this message, and with it the child's window menu in it. That is taken out first, and the
    // client window puts the child's menu and buttons into the new bar.
    const HMENU bar = GetMenu(form_->Handle()), old = menu->Handle();
    if (old == bar || !HoldsChildMenu(old) || HoldsChildMenu(bar)) return;
    RemoveMenu(old, 0, MF_BYPOSITION);
    SendMessageA(form_->ClientHandle(), WM_MDISETMENU, reinterpret_cast<WPARAM>(bar), 0);
    DrawMenuBar(form_->Handle());
}

void TsSkinProvider::RefreshMainFrame()
{
    TsSkinProvider* main = MainProvider();
    if (!main || !main->IsSkinned() || !main->form_->HandleAllocated()) return;
    main->FlagImageChanged();
    main->menuLineHeight_ = -1;
    main->menuRows_ = -1;
    SendMessageA(main->form_->Handle(), WM_NCPAINT, 0, 0);
}

void RefreshMdiMain(bool full)
{
    TsSkinProvider* main = MDIMainProvider();
    if (!main || main->Form()->InState(csDestroying) || !main->Form()->HandleAllocated()) return;
    TsCommonData& link = main->SkinData();
    link.BeginUpdate();
    if (TsMDIForm* companion = main->MDIForm()) companion->UpdateMDIIcons();
    main->FlagImageChanged();
    main->SetFirstPaint(); // the update's end clears the stale flag: the first paint rebuilds
    main->ResetMenuLineHeight();
    link.EndUpdate(false);
    if (const HWND client = main->Form()->ClientHandle())
        RedrawWindow(client, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME | (full ? RDW_UPDATENOW : 0));
    RedrawWindow(main->Form()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    // With extended borders the border window would be brought up to date here too; the
    // provider makes none.
}

// ---- the maximised child's buttons of the menu line

void TsSkinProvider::InitMDIButtons()
{
    const int codes[3] = {htMDIMinimise, htMDIRestore, htMDIClose};
    for (int i = 0; i < 3; ++i) {
        mdiButtons_[i] = TsCaptionButton{};
        mdiButtons_[i].HitCode = codes[i];
    }
    TsSkinManager* m = SkinManager();
    if (!IsMDIMain() || !m || !m->IsValidSkinIndex(m->CommonIndexes.GlobalInfo)) return;
    const auto image = [&](const char* name) {
        return m->GetMaskIndex(m->CommonIndexes.GlobalInfo, "GLOBALINFO", name);
    };
    // The small images; without them those of the form's own buttons (minimise, maximise, close).
    const int small[3] = {image("SICONMIN"), image("SICONMAX"), image("SICONCLOSE")};
    const bool useSmall = small[0] >= 0;
    const int own[3] = {buttons_[0].ImageIndex, buttons_[1].ImageIndex, buttons_[2].ImageIndex};
    for (int i = 0; i < 3; ++i) {
        mdiButtons_[i].ImageIndex = useSmall ? small[i] : own[i];
        mdiButtons_[i].Big = !useSmall;
        mdiButtons_[i].State = 0;
    }
}

TsCaptionButton* TsSkinProvider::MDIButton(int code)
{
    if (code < htMDIMinimise || code > htMDIClose) return nullptr;
    for (TsCaptionButton& b : mdiButtons_)
        if (b.HitCode == code) return &b;
    return nullptr;
}

namespace {

// The size of a maximised child's buttons from the close image: one frame (a bitmap of its own
// holds three states side by side over two rows); 16 x 16 without an image.
SIZE MDIButtonSize(const TsSkinManager* m, int close)
{
    if (!m || !m->IsValidImgIndex(close)) return SIZE{16, 16};
    const TsMaskData& md = m->MaskData[static_cast<size_t>(close)];
    if (md.Bmp) return SIZE{md.Bmp->Width() / 3, md.Bmp->Height() / 2};
    return SIZE{MaskFrameWidth(md), MaskFrameHeight(md)};
}

} // namespace

int TsSkinProvider::MDIButtonWidth() const { return MDIButtonSize(SkinManager(), mdiButtons_[2].ImageIndex).cx; }

int TsSkinProvider::MDIButtonHeight() const { return MDIButtonSize(SkinManager(), mdiButtons_[2].ImageIndex).cy; }

// ---- the image

int TsSkinProvider::MDIIconWidth() const
{
    if (!ChildMaximised() || MenuHeight() <= 2) return 0;
    int size = MenuHeight() - 2;
    // It stays inside the place the system keeps for the child's window menu.
    if (MenuBarShift()) {
        RECT slot{}, window{};
        const HWND wnd = form_->Handle();
        GetWindowRect(wnd, &window);
        if (GetMenuItemRect(wnd, GetMenu(wnd), 0, &slot))
            size = std::min<int>(size, slot.right - window.left - FrameWidth(wnd, borderForm_, false) - 1);
    }
    return std::max(size, 0);
}

void TsSkinProvider::PaintMDIChildIcon(TBitmap* image, int titleBottom)
{
    const int size = MDIIconWidth();
    if (size == 0) return;
    auto* child = dynamic_cast<TForm*>(TWinControl::FromHandle(ActiveChild(form_->ClientHandle())));
    HICON icon = child ? child->Icon().Handle() : nullptr;
    if (!icon && Application && Application->AppWindowMade())
        icon = reinterpret_cast<HICON>(SendMessageA(Application->AppWindow(), WM_GETICON, ICON_SMALL2, 0));
    if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
    const int x = FrameWidth(form_->Handle(), borderForm_, false) + 1;
    DrawIconEx(image->Canvas().Handle(), x, titleBottom + 1, icon, size, size, 0, nullptr, DI_NORMAL);
}

void TsSkinProvider::PaintMDIArea(TBitmap* image, int)
{
    TsSkinManager* m = SkinManager();
    TvxMDIWnd* area = mdiForm_ ? mdiForm_->MDIWnd : nullptr;
    const int section = m ? m->GetSkinIndex("MDIAREA") : -1;
    if (!area || !m->IsValidSkinIndex(section) || !form_->ClientHandle()) return;
    // The client window's place in the image: what the aligned controls leave of the client area.
    const RECT r = area->AreaRect();
    if (r.right <= r.left || r.bottom <= r.top) return;
    PaintSection(image, TRect{r.left, r.top, r.right, r.bottom}, section, m, 0, MakeCacheInfo(image, 0, 0));
}

// ---- messages

bool TsSkinProvider::MDIMessage(TMessage& m, const TWndMethod& old)
{
    const bool child = IsMDIChild();
    if (!child && !IsMDIMain()) return false;
    const HWND wnd = form_->Handle();
    switch (m.Msg) {
    case WM_NCCREATE:
        // A child is prepared when it is first activated.
        if (!child) return false;
        old(m);
        return true;
    case WM_CREATE:
        if (!child) return false;
        menuLineBmp_.reset();
        // A main form without a provider yet gets the window hook's (with its other children).
        if (!MDIMainProvider() && Application)
            if (TForm* appMain = Application->MainForm();
                appMain && appMain != form_ && appMain->HandleAllocated() && SkinHookInstalled())
                AddSupportedForm(appMain->Handle(), nullptr);
        maximisedAtCreation_ = Zoomed(ActiveChild(ClientOf(form_->MDIMainForm())));
        old(m);
        return true;
    case WM_MDIACTIVATE:
    case WM_MDIDESTROY:
        if (!child) return false;
        if (!CallOld(m, old)) return true;
        if (!IsZoomed(wnd) && MainProvider()) {
            menuInitialised_ = false;
            MainProvider()->firstPaint_ = true;
            RefreshMainFrame();
        }
        lastPaintedChild = this;
        return true;
    case WM_SETTEXT:
        return child && MDIChildSetText(m, old);
    case WM_ENTERMENULOOP:
        // The menu of the main form opens while a child is maximised over its area.
        if (child) return false;
        if (ChildMaximised()) menuLoop_ = true;
        old(m);
        return true;
    case WM_EXITMENULOOP:
        if (child) return false;
        menuLoop_ = false;
        old(m);
        return true;
    default:
        return false;
    }
}

void TsSkinProvider::MDIChildWindowGone(TMessage& m, const TWndMethod& old)
{
    // The main form's caption and menu line lose what the child gave them.
    TsSkinProvider* main = MainProvider();
    const std::shared_ptr<bool> mainAlive = main ? main->alive_ : std::make_shared<bool>(false);
    const HWND client = ClientOf(form_->MDIMainForm());
    old(m);
    if (!*mainAlive || !main->mdiForm_ || !main->IsSkinned()) return;
    main->FlagImageChanged();
    main->menuLineHeight_ = -1;
    SendMessageA(main->form_->Handle(), WM_NCPAINT, 0, 0);
    if (client && IsWindow(client) && !ActiveChild(client))
        RedrawWindow(client, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

bool TsSkinProvider::MDIChildSetText(TMessage& m, const TWndMethod& old)
{
    const HWND wnd = form_->Handle();
    TsSkinProvider* main = MainProvider();
    if (!main || !IsZoomed(wnd) || !drawNonClientArea_ || !IsWindowVisible(wnd)) return false;
    // The maximised child's caption stands in the main form's title: the system writes it there.
    main->FlagImageChanged();
    main->ShowCover(false);
    const std::shared_ptr<bool> mainAlive = main->alive_;
    old(m);
    if (!*mainAlive) return true;
    main->HideCover();
    main->RefreshNonClient();
    return true;
}

void TsSkinProvider::MDIAfterMessage(const TMessage& m)
{
    if (form_->InState(csDestroying) || !form_->HandleAllocated()) return;
    const HWND wnd = form_->Handle();
    const bool child = IsMDIChild();
    TsSkinProvider* main = child ? MainProvider() : nullptr;
    switch (m.Msg) {
    case WM_SIZE:
        if (!child && IsWindowVisible(wnd)) SendMessageA(wnd, WM_NCPAINT, 0, 0);
        else if (child && IsZoomed(wnd))
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        break;
    case WM_ACTIVATE:
        if (!main) break;
        // The other children's titles show the new state.
        for (int i = 0; i < main->form_->MDIChildCount(); ++i)
            if (TForm* other = main->form_->MDIChildren(i);
                other != form_ && other->HandleAllocated() && IsWindowVisible(other->Handle()))
                SendMessageA(other->Handle(), WM_NCPAINT, 0, 0);
        main->FlagImageChanged();
        break;
    case WM_NCACTIVATE:
        if (!child || !(form_->FormState() & fsCreatedMDIChild) || !IsWindowVisible(wnd)) break;
        if (!systemMenu_) PrepareForm();
        SendMessageA(wnd, WM_NCPAINT, 0, 0);
        if (main && main->mdiForm_) main->mdiForm_->UpdateMDIIcons();
        break;
    case WM_SHOWWINDOW:
        if (m.WParam && child && IsZoomed(wnd)) RefreshMdiMain(false);
        // The children shown with their main form get the window hook's providers.
        if (m.WParam && !child) AddMDIChildren(form_);
        break;
    case CM_SHOWINGCHANGED:
        if (child && IsZoomed(wnd)) RefreshMdiMain(false);
        break;
    case WM_CHILDACTIVATE:
        if (main && main->ChildMaximised() && main->mdiForm_) main->mdiForm_->UpdateMDIIcons();
        break;
    case WM_PAINT:
    case WM_ERASEBKGND:
        // A child made maximised has shown itself.
        if (child && maximisedAtCreation_) {
            maximisedAtCreation_ = false;
            lastPaintedChild = this;
        }
        break;
    default:
        break;
    }
}

bool TsSkinProvider::MDISysCommand(TMessage& m, const TWndMethod& old)
{
    const UINT command = static_cast<UINT>(m.WParam & 0xFFF0);
    const HWND wnd = form_->Handle();
    if (IsMDIMain()) {
        if (!CallOld(m, old)) return true;
        if (command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE) {
            FlagImageChanged();
            menuLineHeight_ = -1;
            menuRows_ = -1;
            SendMessageA(wnd, WM_NCPAINT, 0, 0);
        }
        return true;
    }
    if (!IsMDIChild()) return false;
    if (command == SC_KEYMENU) return true;
    if (command == SC_RESTORE && maximisedAtCreation_) return true;
    // While a maximised child changes, its main form paints nothing; it is painted anew at the
    // end, whether or not the child (or either provider) outlived the command.
    TsSkinProvider* main = MainProvider();
    const HWND mainWnd = main ? main->form_->Handle() : nullptr;
    const std::shared_ptr<bool> mainAlive = main ? main->alive_ : std::make_shared<bool>(false);
    int suspended = 0;
    bool wasSuspended = false;
    const auto suspendMain = [&] {
        if (!main) return;
        main->BeginFormUpdate();
        ++suspended;
        wasSuspended = true;
    };
    const auto resumeMain = [&] {
        for (; suspended > 0; --suspended)
            if (*mainAlive) main->EndFormUpdate();
            else if (IsWindow(mainWnd)) SendMessageA(mainWnd, WM_SETREDRAW, 1, 0);
    };
    if (IsZoomed(wnd) && command != SC_MAXIMIZE) suspendMain();
    const std::shared_ptr<bool> alive = alive_;
    bool refresh = true;
    switch (command) {
    case SC_CLOSE:
        if (main) main->menuLoop_ = true;
        old(m);
        if (*mainAlive) main->menuLoop_ = false;
        if (*alive && !form_->InState(csDestroying)) SetHotButton(0, true);
        break;
    case SC_MINIMIZE:
        if (!CallOld(m, old)) break;
        if (systemMenu_) systemMenu_->UpdateItems(false);
        menuLineBmp_.reset();
        FlagImageChanged();
        break;
    case SC_MAXIMIZE:
        lastPaintedChild = this;
        if (!CallOldHidden(m, old)) break;
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        break;
    case SC_RESTORE: {
        BeginFormUpdate();
        suspendMain();
        const bool lived = CallOld(m, old);
        if (lived) {
            FlagImageChanged();
            SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU));
            EndFormUpdate();
        }
        resumeMain();
        if (!lived) {
            // The child's provider went with the command: the child paints again all the same.
            if (IsWindow(wnd)) {
                SendMessageA(wnd, WM_SETREDRAW, 1, 0);
                RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            }
            break;
        }
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        // No other child stays maximised behind this one.
        if (TForm* mainForm = form_->MDIMainForm())
            for (int i = 0; i < mainForm->MDIChildCount(); ++i)
                if (TForm* other = mainForm->MDIChildren(i);
                    other != form_ && other->HandleAllocated() && IsZoomed(other->Handle())) {
                    other->SetWindowState(wsNormal);
                    RedrawWindow(other->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
                }
        break;
    }
    default:
        old(m);
        refresh = false;
        break;
    }
    resumeMain();
    if (!*mainAlive) {
        if (IsWindow(mainWnd))
            RedrawWindow(mainWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (refresh || wasSuspended) {
        RefreshMdiMain(true);
    }
    return true;
}

void TsSkinProvider::LeaveMDI()
{
    if (lastPaintedChild == this) lastPaintedChild = nullptr;
    // A form being destroyed is asked nothing more (its window went with WM_NCDESTROY above).
    if (form_->InState(csDestroying) || !IsMDIChild()) return;
    // The main form's menu line and caption lose what this child gave them.
    RefreshMainFrame();
}
