#include "skin/windows/vxCtrlAdapter.h"

#include <algorithm>

#include "gui/Buttons.h"
#include "gui/StdCtrls.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxBtnWnd.h"
#include "skin/windows/vxComboBoxWnd.h"
#include "skin/windows/vxEditWnd.h"
#include "skin/windows/vxGridWnd.h"
#include "skin/windows/vxListViewWnd.h"
#include "skin/windows/vxPanelWnd.h"
#include "skin/windows/vxSpeedButton.h"
#include "skin/windows/vxSpinWnd.h"
#include "skin/windows/vxStatusBarWnd.h"
#include "skin/windows/vxTabWnd.h"
#include "skin/windows/vxToolBarWnd.h"

namespace {

// The walk runs; a walk started meanwhile does nothing.
bool walking = false;

// The control skins itself: its window answers skin command 7 (low byte not 0).
bool SkinsItself(TControl* control) { return (SendSkinCommandToControl(control, cmdIsSkinned, 0) & 0xFF) != 0; }

// A label of the class library, not one of the package's own (which keep their colours).
bool PlainLabel(const TComponent* component)
{
    return dynamic_cast<const TLabel*>(component) && !component->InheritsFrom("TsCustomLabel");
}

template <class T, class D>
T* Adapt(TWinControl* control, D* item, const std::string& section, const char* defaultSection)
{
    TsCommonData* link = item->SkinData.get();
    return CreateAdapter<T>(control->Handle(), link, link->GetSkinManager(), section.empty() ? defaultSection : section,
                            true);
}

} // namespace

int ThirdPartyKindOf(const TsSkinManager& manager, const std::string& className)
{
    for (int kind = 0; kind < ThirdPartyList::KindCount; ++kind) {
        const TStringList& lines = manager.ThirdLists(kind);
        for (int i = 0; i < lines.Count(); ++i)
            if (lines[i] == className) return kind;
    }
    return -1;
}

// ---- TvxAdapterItem

TvxAdapterItem::TvxAdapterItem(TvxCtrlAdapter* adapter)
    : SkinData(std::make_unique<TsCommonData>(this, true)), Adapter(adapter)
{
    SkinData->COC = AdapterItemKind;
}

TvxAdapterItem::~TvxAdapterItem()
{
    FreeWindowAdapter();
    SkinData.reset();
}

void TvxAdapterItem::FreeWindowAdapter()
{
    delete ScrollWnd;
    ScrollWnd = nullptr;
}

void TvxAdapterItem::DoHook(TWinControl* control)
{
    if (control->Tag() == OwnWindowTag || !control->HandleAllocated() || !control->Parent() || SkinsItself(control))
        return;
    Ctrl = control;
    SkinData->FOwnerControl = control;
    SkinData->FOwnerObject = control;
    const TsSkinManager* manager = SkinData->GetSkinManager();
    if (!manager) return;
    const std::string section = SkinData->SkinSection();
    switch (ThirdPartyKindOf(*manager, control->ClassName())) {
    case 0:
        ScrollWnd = Adapt<TvxEditWnd>(control, this, section, "EDIT");
        break;
    case 1:
        ScrollWnd = Adapt<TvxBtnWnd>(control, this, section, "BUTTON");
        break;
    case 2:
        ScrollWnd = Adapt<TvxBitBtnWnd>(control, this, section, "BUTTON");
        break;
    case 3:
        ScrollWnd = Adapt<TvxCheckBoxWnd>(control, this, section, "CHECKBOX");
        break;
    case 4:
        ScrollWnd = Adapt<TvxComboBoxWnd>(control, this, section, "EDIT");
        break;
    case 6:
        ScrollWnd = Adapt<TvxGroupBoxWnd>(control, this, section, "GROUPBOX");
        break;
    case 10:
        ScrollWnd = Adapt<TvxWWComboBoxWnd>(control, this, section, "EDIT");
        break;
    case 5:
        ScrollWnd = Adapt<TvxGridWnd>(control, this, section, "EDIT");
        break;
    case 7:
        ScrollWnd = Adapt<TvxListViewWnd>(control, this, section, "EDIT");
        break;
    case 8: // the panel takes its section from its bevels when the item names none
        ScrollWnd = Adapt<TvxPanelWnd>(control, this, section, "");
        break;
    case 9:
        ScrollWnd = Adapt<TvxTreeViewWnd>(control, this, section, "EDIT");
        break;
    case 11:
        ScrollWnd = Adapt<TvxGridEhWnd>(control, this, section, "EDIT");
        break;
    case 12:
        ScrollWnd = Adapt<TvxVirtualTreeViewWnd>(control, this, section, "EDIT");
        break;
    case 13:
        ScrollWnd = Adapt<TvxPageControlWnd>(control, this, section, "PAGECONTROL");
        break;
    case 14:
        ScrollWnd = Adapt<TvxTabControlWnd>(control, this, section, "PAGECONTROL");
        break;
    case 15: // only a tool bar of the class library gets one
        ScrollWnd = Adapt<TvxToolBarVCLWnd>(control, this, section, "");
        break;
    case 16:
        ScrollWnd = Adapt<TvxStatusBarWnd>(control, this, section, "STATUSBAR");
        break;
    default: // 17 speed buttons (they have no window) and -1 none
        break;
    }
}

// ---- TvxGraphItem

TvxGraphItem::TvxGraphItem(TvxCtrlAdapter* adapter)
    : SkinData(std::make_unique<TsCommonData>(this, true)), Adapter(adapter)
{
    SkinData->COC = AdapterItemKind;
}

TvxGraphItem::~TvxGraphItem()
{
    FreeHandler();
    SkinData.reset();
}

void TvxGraphItem::FreeHandler()
{
    delete Handler;
    Handler = nullptr;
}

void TvxGraphItem::DoHook(TSpeedButton* button)
{
    if (button->Tag() == OwnWindowTag) return;
    Ctrl = button;
    SkinData->FOwnerControl = button;
    SkinData->FOwnerObject = button;
    Handler =
        new TvxSpeedButtonHandler(button, false, SkinData->SkinSection(), SkinData->GetSkinManager(), SkinData.get());
}

// ---- TvxCtrlAdapter

TvxCtrlAdapter::TvxCtrlAdapter(TsSkinProvider* provider) : provider_(provider) {}

TvxCtrlAdapter::~TvxCtrlAdapter()
{
    CleanItems();
    RemoveAllItems();
}

TsSkinManager* TvxCtrlAdapter::Manager() const { return provider_ ? provider_->SkinManager() : DefaultManager(); }

bool TvxCtrlAdapter::AskOnSkinItem(TComponent* component, std::string& section) const
{
    bool canBeAdded = true;
    if (provider_ && provider_->OnSkinItem) provider_->OnSkinItem(component, canBeAdded, section);
    return canBeAdded;
}

bool TvxCtrlAdapter::IsControlSupported(TComponent* component)
{
    if (!component || component->Tag() == OwnWindowTag) return false;
    auto* windowed = dynamic_cast<TWinControl*>(component);
    if (windowed && (!windowed->HandleAllocated() || SkinsItself(windowed))) return false;
    const TsSkinManager* manager = Manager();
    const bool listed = manager && ThirdPartyKindOf(*manager, component->ClassName()) >= 0;
    if (!dynamic_cast<TGraphicControl*>(component)) return listed;
    std::string section;
    if (dynamic_cast<TLabel*>(component)) return AskOnSkinItem(component, section);
    if (dynamic_cast<TSpeedButton*>(component)) return listed && AskOnSkinItem(component, section);
    return false;
}

TvxAdapterItem* TvxCtrlAdapter::GetItem(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

TvxGraphItem* TvxCtrlAdapter::GetGraphItem(int index) const
{
    return index >= 0 && index < GraphCount() ? graphItems_[static_cast<size_t>(index)].get() : nullptr;
}

void TvxCtrlAdapter::AddNewItem(TWinControl* control, const std::string& section)
{
    if (!control || control->Tag() == OwnWindowTag || !control->Parent() || SkinsItself(control)) return;
    std::string skinSection = section;
    if (!AskOnSkinItem(control, skinSection)) return;
    auto found = std::find_if(items_.begin(), items_.end(), [control](const auto& i) { return i->Ctrl == control; });
    const bool fresh = found == items_.end();
    TvxAdapterItem* item = nullptr;
    if (fresh) {
        items_.push_back(std::make_unique<TvxAdapterItem>(this));
        item = items_.back().get();
        item->Ctrl = control;
    } else {
        item = found->get();
    }
    if (!skinSection.empty()) item->SkinData->SetSkinSection(skinSection);
    if (!fresh) {
        if (item->ScrollWnd && item->ScrollWnd->Destroyed) {
            item->FreeWindowAdapter();
            if (control->Parent()) item->DoHook(control);
        }
        return;
    }
    if (control->Parent()) item->DoHook(control);
    if (!item->ScrollWnd) items_.pop_back();
}

void TvxCtrlAdapter::AddGraphControl(TSpeedButton* button)
{
    if (!button || button->Tag() == OwnWindowTag || !button->Parent() ||
        button->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdIsSkinned), 0) == 1)
        return;
    std::string skinSection = "SPEEDBUTTON";
    if (!AskOnSkinItem(button, skinSection)) return;
    auto found =
        std::find_if(graphItems_.begin(), graphItems_.end(), [button](const auto& i) { return i->Ctrl == button; });
    const bool fresh = found == graphItems_.end();
    TvxGraphItem* item = nullptr;
    if (fresh) {
        graphItems_.push_back(std::make_unique<TvxGraphItem>(this));
        item = graphItems_.back().get();
        item->Ctrl = button;
    } else {
        item = found->get();
    }
    // The section follows the button's look, whatever OnSkinItem proposed.
    item->SkinData->SetSkinSection(button->Flat() ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON");
    if (!fresh) {
        if (item->Handler && item->Handler->Destroyed) {
            item->FreeHandler();
            item->DoHook(button);
        }
        return;
    }
    if (button->Parent()) item->DoHook(button);
    if (!item->Handler) graphItems_.pop_back();
}

void TvxCtrlAdapter::RemoveItem(int index)
{
    if (index < 0 || index >= Count()) return;
    std::swap(items_[static_cast<size_t>(index)], items_.back());
    items_.pop_back();
}

void TvxCtrlAdapter::BroadcastMessage(const TMessage& message)
{
    for (size_t i = 0; i < items_.size(); ++i) {
        const TvxAdapterItem* item = items_[i].get();
        if (item->ScrollWnd && !item->ScrollWnd->Destroyed && item->Ctrl && item->Ctrl->Parent())
            SendMessageA(item->ScrollWnd->CtrlHandle, message.Msg, message.WParam, message.LParam);
    }
}

void TvxCtrlAdapter::CleanItems()
{
    std::erase_if(items_, [](const auto& i) { return !i || !i->ScrollWnd || i->ScrollWnd->Destroyed; });
    std::erase_if(graphItems_, [](const auto& i) { return !i || !i->Handler || i->Handler->Destroyed; });
}

void TvxCtrlAdapter::FreeItems()
{
    while (!items_.empty())
        items_.pop_back();
    while (!graphItems_.empty())
        graphItems_.pop_back();
}

void TvxCtrlAdapter::RemoveAllItems()
{
    if (CtrlAdapterFreeingAll) return;
    CtrlAdapterFreeingAll = true;
    FreeItems();
    CtrlAdapterFreeingAll = false;
}

void TvxCtrlAdapter::ReleaseAll() { FreeItems(); }

void TvxCtrlAdapter::ControlGone(TComponent* component)
{
    for (const auto& item : items_) {
        if (static_cast<TComponent*>(item->Ctrl) != component) continue;
        item->Ctrl = nullptr;
        item->SkinData->FOwnerControl = nullptr;
        item->SkinData->FOwnerObject = nullptr;
        if (item->ScrollWnd) {
            // The control's hooks went with it.
            item->ScrollWnd->OldProc = 0;
            item->ScrollWnd->Destroyed = true;
        }
    }
    for (const auto& item : graphItems_) {
        if (static_cast<TComponent*>(item->Ctrl) != component) continue;
        item->Ctrl = nullptr;
        item->SkinData->FOwnerControl = nullptr;
        item->SkinData->FOwnerObject = nullptr;
        if (item->Handler) item->Handler->Destroyed = true;
    }
}

void TvxCtrlAdapter::AdjustLabel(TControl* label) const
{
    auto* l = dynamic_cast<TLabel*>(label);
    if (!l) return;
    l->SetTransparent(true);
    if (const TsSkinManager* manager = DefaultManager()) l->Font().SetColor(manager->GetGlobalFontColor());
}

void TvxCtrlAdapter::AddAllItems(TWinControl* parent)
{
    if (walking) return;
    const TsSkinManager* manager = Manager();
    if (!manager || !(manager->SkinningRules() & srThirdParty)) return;
    walking = true;
    // Cleared at the end, also when a handler of OnSkinItem throws.
    struct TWalkEnd {
        ~TWalkEnd() { walking = false; }
    } end;
    TWinControl* root = parent ? parent : (provider_ ? provider_->Form() : nullptr);
    if (!root) return;
    CleanItems();
    // The descent into a windowed control that has its window and a parent.
    const auto descend = [this](TComponent* component) {
        auto* windowed = dynamic_cast<TWinControl*>(component);
        if (!windowed || !windowed->HandleAllocated() || !windowed->Parent()) return;
        walking = false;
        AddAllItems(windowed);
    };
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* component = root->Components(i);
        if (IsControlSupported(component)) {
            if (auto* windowed = dynamic_cast<TWinControl*>(component)) AddNewItem(windowed, "");
            else if (PlainLabel(component) && component->Tag() != KeepLabelTag)
                AdjustLabel(static_cast<TControl*>(component));
        }
        descend(component);
    }
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* control = root->Controls(i);
        if (IsControlSupported(control)) {
            if (auto* windowed = dynamic_cast<TWinControl*>(control)) AddNewItem(windowed, "");
            else if (PlainLabel(control)) AdjustLabel(control);
            else if (auto* button = dynamic_cast<TSpeedButton*>(control)) AddGraphControl(button);
        }
        descend(control);
    }
}
