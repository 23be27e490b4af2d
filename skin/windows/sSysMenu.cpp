#include "skin/windows/sSysMenu.h"

#include <windows.h>

#include "gui/Forms.h"
#include "skin/windows/sSkinProvider.h"

namespace {

// The text of a system-menu item (by command or position), "" when it has none.
std::string MenuText(HMENU menu, UINT item, UINT flags)
{
    char text[256] = "";
    return GetMenuStringA(menu, item, text, sizeof text - 1, flags) > 0 ? std::string(text) : std::string();
}

} // namespace

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider)
    : TsCustomSysMenu(provider), provider_(provider), form_(provider->Form())
{
    SetName("SysMenu");
    MakeSkinItems();
}

TMenuItem* TsSystemMenu::AddItem(const std::string& name, const std::string& text, UINT command)
{
    auto* item = new TMenuItem(this);
    item->SetName(name);
    const size_t tab = text.find('\t');
    item->SetCaption(text.substr(0, tab));
    if (tab != std::string::npos) item->SetShortCut(TextToShortCut(text.substr(tab + 1)));
    item->SetTag(static_cast<intptr_t>(command));
    Items()->Add(item);
    return item;
}

void TsSystemMenu::Send(UINT command)
{
    if (form_->HandleAllocated()) SendMessageA(form_->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsSystemMenu::MakeSkinItems()
{
    Items()->Clear();
    appItems_ = 0;
    restore_ = move_ = size_ = minimize_ = maximize_ = close_ = nullptr;
    // A form without a window menu (no WS_SYSMENU the provider took) gets none.
    const HWND wnd = form_->HandleAllocated() ? form_->Handle() : nullptr;
    if (!wnd || (!(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_SYSMENU) && !provider_->SysMenuTaken())) return;
    const HMENU system = GetSystemMenu(wnd, FALSE);
    if (!system) return;
    const auto standard = [&](const char* name, UINT command, const char* fallback) {
        const std::string text = MenuText(system, command, MF_BYCOMMAND);
        return AddItem(name, text.empty() ? fallback : text, command);
    };
    restore_ = standard("vxIR", SC_RESTORE, "Restore");
    restore_->OnClick = [this](TObject*) {
        Send(SC_RESTORE);
        UpdateItems(false);
    };
    move_ = standard("vxIM", SC_MOVE, "Move");
    move_->OnClick = [this](TObject*) { Send(SC_MOVE); };
    size_ = standard("vxIS", SC_SIZE, "Size");
    size_->OnClick = [this](TObject*) { Send(SC_SIZE); };
    minimize_ = standard("vxIN", SC_MINIMIZE, "Minimize");
    minimize_->OnClick = [this](TObject*) {
        provider_->SetMinimizing(true);
        Send(SC_MINIMIZE);
        provider_->SetMinimizing(false);
        UpdateItems(false);
    };
    maximize_ = standard("vxIX", SC_MAXIMIZE, "Maximize");
    maximize_->OnClick = [this](TObject*) {
        Send(SC_MAXIMIZE);
        UpdateItems(false);
    };
    Items()->InsertNewLineAfter(maximize_);
    TMenuItem* last = nullptr;
    for (int k = 0, n = GetMenuItemCount(system); k < n; ++k) {
        const UINT id = GetMenuItemID(system, k);
        const std::string text = MenuText(system, static_cast<UINT>(k), MF_BYPOSITION);
        if (id >= SC_SIZE || text.empty()) continue;
        last = AddItem("", text, id);
        last->OnClick = [this, id](TObject*) {
            if (form_->HandleAllocated()) PostMessageA(form_->Handle(), WM_SYSCOMMAND, id, 0);
        };
        ++appItems_;
    }
    if (last) Items()->InsertNewLineAfter(last);
    const std::string text = MenuText(system, SC_CLOSE, MF_BYCOMMAND);
    close_ = AddItem("vxIC", text.empty() ? "Close" : text, SC_CLOSE);
    close_->OnClick = [this](TObject*) { Send(SC_CLOSE); };
}

void TsSystemMenu::UpdateItems(bool rebuild)
{
    if (rebuild || !close_) MakeSkinItems();
    if (!close_) return;
    restore_->SetVisible(VisibleRestore());
    restore_->SetEnabled(EnabledRestore());
    move_->SetVisible(true);
    move_->SetEnabled(EnabledMove());
    size_->SetVisible(VisibleSize());
    size_->SetEnabled(EnabledSize());
    minimize_->SetVisible(VisibleMin());
    minimize_->SetEnabled(EnabledMin());
    maximize_->SetVisible(VisibleMax());
    maximize_->SetEnabled(EnabledMax());
    close_->SetVisible(VisibleClose());
    close_->SetEnabled(true);
}

bool TsSystemMenu::Iconic() const { return form_->HandleAllocated() && IsIconic(form_->Handle()); }

bool TsSystemMenu::Zoomed() const { return form_->HandleAllocated() && IsZoomed(form_->Handle()); }

bool TsSystemMenu::VisibleClose() const { return provider_->SysMenuTaken(); }

bool TsSystemMenu::VisibleTitleIcon(unsigned icon) const
{
    if (!VisibleClose()) return false;
    if (Iconic()) return true;
    switch (form_->BorderStyle()) {
    case bsDialog:
    case bsNone:
    case bsToolWindow:
    case bsSizeToolWin:
        return false;
    default:
        return (form_->BorderIcons() & icon) != 0;
    }
}

bool TsSystemMenu::VisibleMax() const { return VisibleTitleIcon(biMaximize); }

bool TsSystemMenu::VisibleMin() const { return VisibleTitleIcon(biMinimize); }

bool TsSystemMenu::VisibleRestore() const
{
    if (!VisibleClose()) return false;
    const TFormBorderStyle s = form_->BorderStyle();
    return s != bsDialog && s != bsNone && s != bsToolWindow && s != bsSizeToolWin;
}

bool TsSystemMenu::VisibleSize() const
{
    const TFormBorderStyle s = form_->BorderStyle();
    return s != bsDialog && s != bsNone && s != bsToolWindow;
}

bool TsSystemMenu::EnabledMax() const
{
    const TFormBorderStyle s = form_->BorderStyle();
    return (form_->BorderIcons() & biMaximize) && !Zoomed() && (s == bsSingle || s == bsSizeable);
}

bool TsSystemMenu::EnabledMin() const { return (form_->BorderIcons() & biMinimize) && !Iconic(); }

bool TsSystemMenu::EnabledRestore() const
{
    return ((form_->BorderIcons() & biMaximize) && (Iconic() || Zoomed())) || Iconic();
}

bool TsSystemMenu::EnabledMove() const { return !Zoomed(); }

bool TsSystemMenu::EnabledSize() const { return form_->BorderStyle() != bsSingle && !Iconic(); }
