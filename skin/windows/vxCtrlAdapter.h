// TvxCtrlAdapter: how a skinned form skins the controls that do not draw themselves from the
// skin. The form's provider (skin/windows/sSkinProvider.h) owns one and lets it walk the form;
// every windowed control whose class name a line of the skin manager's ThirdParty lists names
// gets an item, and the item attaches the window adapter of the lowest list that names it:
//
//   0 ThirdEdits       TvxEditWnd        "EDIT"        9 ThirdTreeViews  (not yet made)
//   1 ThirdButtons     TvxBtnWnd         "BUTTON"     10 ThirdWWEdits    TvxWWComboBoxWnd "EDIT"
//   2 ThirdBitBtns     TvxBitBtnWnd      "BUTTON"     11 ThirdGridEh     (not yet made)
//   3 ThirdCheckBoxes  TvxCheckBoxWnd    "CHECKBOX"   12 ThirdVirtualTrees (not yet made)
//   4 ThirdComboBoxes  TvxComboBoxWnd    "EDIT"       13 ThirdPageControl (not yet made)
//   5 ThirdGrids       (not yet made)                 14 ThirdTabControl (not yet made)
//   6 ThirdGroupBoxes  TvxGroupBoxWnd    "GROUPBOX"   15 ThirdToolBar    (not yet made)
//   7 ThirdListViews   (not yet made)                 16 ThirdStatusBar  (not yet made)
//   8 ThirdPanels      (not yet made)                 17 ThirdSpeedButton: a TSpeedButton gets a
//                                                        TvxSpeedButtonHandler instead
//
// A line matches only a class name equal to it byte for byte (no case folding, no trimming);
// by default only "TButton" is named. Plain labels are made transparent in the skin's global
// font colour instead. The section of an item is the one OnSkinItem gives back (empty: the
// adapter's default of the table).
//
//   TvxCtrlAdapter adapter(provider);   // made by the provider while its form is skinned
//   adapter.AddAllItems(nullptr);       // the whole form: an item per supported control
//   adapter.AddItem(button);            // one control (again: nothing changes)
//   adapter.RemoveItem(0);              // the item and its window adapter freed
//
// Skipped silently: a control tagged -98 (the package's own windows), without a window or a
// parent, one that skins itself (answers skin command 7), one OnSkinItem vetoes, one no list
// names; a walk while another walk runs; a walk when the manager's SkinningRules lack
// srThirdParty.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "skin/engine/sCommonData.h"

class TsSkinProvider;
class TSpeedButton;
class TvxCtrlAdapter;
class TvxMainWnd;
class TvxSpeedButtonHandler;

// The provider's OnSkinItem: asked before a control is given an item. CanBeAdded comes in
// true (false vetoes the control); SkinSection comes in with the proposed section and what it
// holds afterwards becomes the item's section (a speed button's section is chosen by its Flat).
using TAddItemEvent = std::function<void(TComponent* Item, bool& CanBeAdded, std::string& SkinSection)>;

// The control-kind code of the items' skin links.
constexpr int AdapterItemKind = 227;
// The Tag of the package's own windows, which nothing here touches.
constexpr intptr_t OwnWindowTag = -98;
// A label with this Tag keeps its colours in the walk over owned components.
constexpr intptr_t KeepLabelTag = 98;

// The list (ThirdParty kind, 0..17) of the lowest index whose lines hold the class name, -1
// for none.
int ThirdPartyKindOf(const TsSkinManager& manager, const std::string& className);

// One adapted windowed control.
class TvxAdapterItem : public TObject {
    GUI_CLASS(TvxAdapterItem, TObject)
    explicit TvxAdapterItem(TvxCtrlAdapter* adapter);
    ~TvxAdapterItem() override;
    TvxAdapterItem(const TvxAdapterItem&) = delete;
    TvxAdapterItem& operator=(const TvxAdapterItem&) = delete;

    TWinControl* Ctrl = nullptr;
    // Its own link (owner: the item, kind 227, with a cache); the default skin manager.
    std::unique_ptr<TsCommonData> SkinData;
    TvxCtrlAdapter* Adapter = nullptr;
    // The window adapter on the control's window (owned), or none.
    TvxMainWnd* ScrollWnd = nullptr;

    // Attaches the window adapter of the control's lowest list; nothing for a control tagged
    // -98, without a window or a parent, one that skins itself, without a manager or a list.
    virtual void DoHook(TWinControl* control);
    // The window adapter freed (none afterwards).
    void FreeWindowAdapter();
};

// One adapted speed button.
class TvxGraphItem : public TObject {
    GUI_CLASS(TvxGraphItem, TObject)
    explicit TvxGraphItem(TvxCtrlAdapter* adapter);
    ~TvxGraphItem() override;
    TvxGraphItem(const TvxGraphItem&) = delete;
    TvxGraphItem& operator=(const TvxGraphItem&) = delete;

    TSpeedButton* Ctrl = nullptr;
    std::unique_ptr<TsCommonData> SkinData;
    TvxCtrlAdapter* Adapter = nullptr;
    TvxSpeedButtonHandler* Handler = nullptr; // owned, or none

    // Unless the button is tagged -98: the link bound to it and a handler made with the
    // link's section.
    virtual void DoHook(TSpeedButton* button);
    void FreeHandler();
};

class TvxCtrlAdapter : public TObject {
    GUI_CLASS(TvxCtrlAdapter, TObject)
    explicit TvxCtrlAdapter(TsSkinProvider* provider);
    // CleanItems, then every item freed (RemoveAllItems).
    ~TvxCtrlAdapter() override;
    TvxCtrlAdapter(const TvxCtrlAdapter&) = delete;
    TvxCtrlAdapter& operator=(const TvxCtrlAdapter&) = delete;

    TsSkinProvider* Provider() const { return provider_; }

    // The support rule: -98 no; a windowed control without a window no; one that answers skin
    // command 7 no; any other non-graphic control exactly when a list names its class (no
    // OnSkinItem); a label yes unless OnSkinItem vetoes; a speed button named in a list yes
    // unless vetoed; any other graphic control no.
    virtual bool IsControlSupported(TComponent* component);
    // The item at the index; none for an index below 0 or not below Count.
    virtual TvxAdapterItem* GetItem(int index) const;
    virtual void AddGraphControl(TSpeedButton* button);
    virtual void AddItem(TWinControl* control) { AddNewItem(control, ""); }
    // Adds (or refreshes) the item of one control; an existing item with a live window adapter
    // stays as it is, one whose adapter died gets a new one.
    virtual void AddNewItem(TWinControl* control, const std::string& section);
    // The item freed, the last one moved into its place; nothing for an index out of range.
    virtual void RemoveItem(int index);
    // SendMessage to the window of every item with a live window adapter and a parent.
    virtual void BroadcastMessage(const TMessage& message);

    // The walk under parent (none: the provider's form): owned components, then child
    // controls, each windowed one that has a window and a parent walked in its turn.
    void AddAllItems(TWinControl* parent);
    int Count() const { return static_cast<int>(items_.size()); }
    int GraphCount() const { return static_cast<int>(graphItems_.size()); }
    TvxGraphItem* GetGraphItem(int index) const;
    // Drops the items whose window adapter (handler) is missing or dead, keeping the order.
    void CleanItems();
    // Frees every item from the last, then every graph item from the last (CtrlAdapterFreeingAll
    // set meanwhile; a removal that is running already is not started again).
    void RemoveAllItems();
    // Frees every item as RemoveAllItems does, but each control is given back all the adapter
    // took (its WindowProc, theme, colours): for controls that stay when the adapter goes.
    void ReleaseAll();
    // The component goes away: its items forget it (a speed button's handler is taken as given
    // back, since the button's hooks go with it).
    void ControlGone(TComponent* component);

private:
    bool AskOnSkinItem(TComponent* component, std::string& section) const;
    void FreeItems();
    void AdjustLabel(TControl* label) const;
    TsSkinManager* Manager() const;

    TsSkinProvider* provider_;
    std::vector<std::unique_ptr<TvxAdapterItem>> items_;
    std::vector<std::unique_ptr<TvxGraphItem>> graphItems_;
};
