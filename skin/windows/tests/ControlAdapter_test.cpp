// The control adapter of a skinned form with the probe skin: which controls get which window
// adapter by the ThirdParty lists, the support rule, labels, the walks that pick up later
// controls, the skin going and coming back, the item list's bounds and speed buttons.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/Buttons.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/tests/AdapterRig.h"
#include "skin/windows/vxCtrlAdapter.h"
#include "skin/windows/vxMainWnd.h"
#include "skin/windows/vxSpeedButton.h"

namespace {

// A button that skins itself: it answers skin command 7 as the package's own buttons do.
class TSelfSkinned : public TButton {
    GUI_CLASS(TSelfSkinned, TButton)
    using TButton::TButton;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdIsSkinned) m.Result = 1;
        else TButton::WndProc(m);
    }
};

// A button whose window tells its parent nothing of its creation.
class TQuietButton : public TButton {
    GUI_CLASS(TQuietButton, TButton)
    using TButton::TButton;

protected:
    void CreateParams(TCreateParams& p) override
    {
        TButton::CreateParams(p);
        p.exStyle |= WS_EX_NOPARENTNOTIFY;
    }
};

class ControlAdapter : public TAdapterTest {
protected:
    template <class T> T* Add(TWinControl* parent, int left, int top = 10, intptr_t tag = 0)
    {
        auto* c = new T(GetParentForm(parent));
        c->SetBounds(left, top, 70, 26);
        c->SetCaption("OK");
        c->SetTag(tag);
        c->SetParent(parent);
        return c;
    }
    static const char* AdapterClass(TWinControl* c)
    {
        const TvxMainWnd* a = c->HandleAllocated() ? GetAdapterOfWindow(c->Handle()) : nullptr;
        return a ? a->ClassName() : "none";
    }
};

} // namespace

TEST_F(ControlAdapter, TheLowestListThatNamesTheClassExactlyChoosesTheAdapter)
{
    struct Row {
        TLists lists;
        const char* adapter;
        const char* section;
    };
    const Row rows[] = {
        {{}, "TvxBtnWnd", "BUTTON"},
        {{{"ThirdButtons", "tbutton"}}, "none", ""},
        {{{"ThirdButtons", "TButton "}}, "none", ""},
        {{{"ThirdEdits", "TButton"}}, "TvxEditWnd", "EDIT"},
        {{{"ThirdButtons", " "}, {"ThirdCheckBoxes", "TMemo\r\nTButton"}, {"ThirdGroupBoxes", "TButton"}},
         "TvxCheckBoxWnd",
         "CHECKBOX"},
        {{{"ThirdGroupBoxes", "TButton"}, {"ThirdButtons", " "}}, "TvxGroupBoxWnd", "GROUPBOX"},
        {{{"ThirdStatusBar", "TButton"}, {"ThirdButtons", " "}}, "TvxStatusBarWnd", "STATUSBAR"},
        // Only a tool bar of the class library takes the tool-bar adapter, whatever the list says.
        {{{"ThirdToolBar", "TButton"}, {"ThirdButtons", " "}}, "none", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.adapter);
        UseLists(row.lists);
        TForm* f = NewSkinnedForm();
        auto* button = Add<TButton>(f, 10);
        f->Show();
        EXPECT_STREQ(AdapterClass(button), row.adapter);
        if (const TvxAdapterItem* item = provider->CtrlAdapter()->GetItem(0)) {
            EXPECT_EQ(item->Ctrl, button);
            EXPECT_EQ(item->SkinData->SkinSection(), row.section);
            EXPECT_EQ(item->SkinData->COC, AdapterItemKind);
        }
        EXPECT_EQ(provider->CtrlAdapter()->Count(), std::string(row.adapter) == "none" ? 0 : 1);
        Application->DestroyForms();
        delete manager;
        manager = nullptr;
    }
}

TEST_F(ControlAdapter, APanelNamedInItsListTakesTheSectionOfItsBevels)
{
    UseLists({{"ThirdPanels", "TPanel"}});
    TForm* f = NewSkinnedForm();
    auto panel = [&](TBevelCut outer, TBevelCut inner, int left) {
        auto* p = new TPanel(f);
        p->SetBevelOuter(outer);
        p->SetBevelInner(inner);
        p->SetBounds(left, 10, 70, 26);
        p->SetParent(f);
        return p;
    };
    TPanel* raised = panel(bvLowered, bvRaised, 10);
    TPanel* flat = panel(bvNone, bvNone, 90);
    f->Show();
    EXPECT_STREQ(AdapterClass(raised), "TvxPanelWnd");
    EXPECT_STREQ(AdapterClass(flat), "TvxPanelWnd");
    ASSERT_EQ(provider->CtrlAdapter()->Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const TvxAdapterItem* item = provider->CtrlAdapter()->GetItem(i);
        EXPECT_EQ(item->SkinData->SkinSection(), item->Ctrl == raised ? "GROUPBOX" : "CHECKBOX");
    }
}

TEST_F(ControlAdapter, OnlySupportedControlsGetItemsAndLabelsTakeTheGlobalFontColour)
{
    UseLists({});
    TForm* f = NewSkinnedForm();
    constexpr intptr_t veto = 7, choose = 8; // what OnSkinItem answers, by Tag
    provider->OnSkinItem = [&](TComponent* item, bool& canBeAdded, std::string& section) {
        if (item->Tag() == veto) canBeAdded = false;
        if (item->Tag() == choose) section = "checkbox";
    };
    auto* plain = Add<TButton>(f, 10);
    auto* own = Add<TSelfSkinned>(f, 90);
    auto* tagged = Add<TButton>(f, 170, 10, OwnWindowTag);
    auto* vetoed = Add<TButton>(f, 250, 10, veto);
    auto* chosen = Add<TButton>(f, 10, 60, choose);
    auto* edit = Add<TEdit>(f, 90, 60);
    auto* label = new TLabel(f);
    label->SetParent(f);
    label->SetTransparent(false);
    auto* kept = new TLabel(f);
    kept->SetTag(KeepLabelTag);
    kept->SetParent(f);
    kept->SetTransparent(false);
    auto* refused = new TLabel(f);
    refused->SetTag(veto);
    refused->SetParent(f);
    refused->SetTransparent(false);
    f->Show();

    EXPECT_STREQ(AdapterClass(plain), "TvxBtnWnd");
    EXPECT_STREQ(AdapterClass(own), "none");
    EXPECT_STREQ(AdapterClass(tagged), "none");
    EXPECT_STREQ(AdapterClass(vetoed), "none");
    EXPECT_STREQ(AdapterClass(edit), "none");
    EXPECT_STREQ(AdapterClass(chosen), "TvxBtnWnd");
    EXPECT_EQ(GetAdapterOfWindow(chosen->Handle())->SkinData->SkinSection(), "CHECKBOX");
    const TColor font = manager->GetGlobalFontColor();
    for (TLabel* l : {label, kept}) {
        EXPECT_TRUE(l->Transparent());
        EXPECT_EQ(l->Font().Color(), font);
    }
    EXPECT_FALSE(refused->Transparent());

    // The item list's bounds; a removed item lets its control go.
    TvxCtrlAdapter* adapter = provider->CtrlAdapter();
    ASSERT_EQ(adapter->Count(), 2);
    EXPECT_EQ(adapter->GetItem(-1), nullptr);
    EXPECT_EQ(adapter->GetItem(2), nullptr);
    adapter->RemoveItem(2);
    adapter->RemoveItem(-1);
    EXPECT_EQ(adapter->Count(), 2);
    adapter->RemoveItem(0);
    EXPECT_EQ(adapter->Count(), 1);
    EXPECT_EQ(SendSkinCommand(plain->Handle(), cmdIsSkinned, 0), 0);

    // Without srThirdParty the walk adds nothing.
    manager->SetSkinningRules(srStdForms | srStdDialogs);
    adapter->AddAllItems(nullptr);
    EXPECT_STREQ(AdapterClass(plain), "none");
    manager->SetSkinningRules(srStdForms | srStdDialogs | srThirdParty);
    adapter->AddAllItems(nullptr);
    EXPECT_STREQ(AdapterClass(plain), "TvxBtnWnd");
}

TEST_F(ControlAdapter, LaterControlsArePickedUpAndTheSkinComingBackGivesNewAdapters)
{
    UseLists({{"ThirdButtons", "TButton\r\nTQuietButton"}});
    TForm* f = NewSkinnedForm();
    auto* panel = new TPanel(f);
    panel->SetBounds(0, 100, 320, 100);
    panel->SetParent(f);
    f->Show();
    ASSERT_NE(provider->CtrlAdapter(), nullptr);

    // A new window is reported by WM_PARENTNOTIFY; one that reports nothing by the insertion.
    auto* later = Add<TButton>(f, 10);
    EXPECT_STREQ(AdapterClass(later), "TvxBtnWnd");
    auto* quiet = Add<TQuietButton>(panel, 10);
    EXPECT_STREQ(AdapterClass(quiet), "TvxBtnWnd");

    // A new window of the same control (its adapter died with the old one).
    const HWND oldWnd = later->Handle();
    later->RecreateWnd();
    ASSERT_NE(later->Handle(), oldWnd);
    const TvxMainWnd* after = GetAdapterOfWindow(later->Handle());
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->CtrlHandle, later->Handle());
    EXPECT_FALSE(after->Destroyed);

    manager->SetActive(false);
    EXPECT_EQ(provider->CtrlAdapter(), nullptr);
    EXPECT_EQ(SendSkinCommand(later->Handle(), cmdIsSkinned, 0), 0);
    manager->SetActive(true);
    ASSERT_NE(provider->CtrlAdapter(), nullptr);
    for (TWinControl* c : {static_cast<TWinControl*>(later), static_cast<TWinControl*>(quiet)}) {
        EXPECT_STREQ(AdapterClass(c), "TvxBtnWnd");
        EXPECT_EQ(SendSkinCommand(c->Handle(), cmdIsSkinned, 0), 1);
    }
}

TEST_F(ControlAdapter, SpeedButtonsTakeTheirSectionByFlatAndAFreedOneIsDropped)
{
    UseLists({{"ThirdSpeedButton", "TSpeedButton"}});
    TForm* f = NewSkinnedForm();
    auto* flat = new TSpeedButton(f);
    flat->SetFlat(true);
    flat->SetParent(f);
    auto* raised = new TSpeedButton(f);
    raised->SetLeft(40);
    raised->SetParent(f);
    std::string proposed;
    provider->OnSkinItem = [&](TComponent*, bool&, std::string& section) {
        proposed = section;
        section = "BUTTON";
    };
    f->Show();
    TvxCtrlAdapter* adapter = provider->CtrlAdapter();
    EXPECT_EQ(proposed, "SPEEDBUTTON");
    ASSERT_EQ(adapter->GraphCount(), 2);
    EXPECT_EQ(adapter->GetGraphItem(0)->SkinData->SkinSection(), "SPEEDBUTTON_SMALL");
    EXPECT_EQ(adapter->GetGraphItem(1)->SkinData->SkinSection(), "SPEEDBUTTON");
    EXPECT_EQ(flat->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdIsSkinned)), 1);
    adapter->AddAllItems(nullptr);
    EXPECT_EQ(adapter->GraphCount(), 2);

    // A button freed while skinned: its item is dropped, nothing touches the button again.
    flat->Free();
    adapter->AddAllItems(nullptr);
    EXPECT_EQ(adapter->GraphCount(), 1);
    EXPECT_EQ(adapter->GetGraphItem(0)->Ctrl, raised);
    // The provider freed while its form stays: the button is a plain one again.
    provider->Free();
    EXPECT_EQ(raised->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdIsSkinned)), 0);
    raised->Repaint();
}
