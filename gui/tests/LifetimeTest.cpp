// How forms and controls end: OnDestroy and the window's last messages while the whole derived
// object still exists, the application's forms freed in reverse creation order, and controls
// known to their windows from the first message of CreateWindowEx (owner-drawn lists).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Forms.h"
#include "gui/StdCtrls.h"

namespace {

std::vector<std::string> journal;

// A form whose handlers use a member of the derived class, as the register's windows do.
class TProbeForm : public TForm {
    GUI_CLASS(TProbeForm, TForm)
    explicit TProbeForm(TComponent* owner) : TForm(owner)
    {
        OnDestroy = [this](TObject*) { journal.push_back("OnDestroy " + state); };
    }
    ~TProbeForm() override { state = "vorbei"; }
    std::string state = "offen";

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_DESTROY) journal.push_back("WM_DESTROY " + state);
        TForm::WndProc(m);
    }
};

// A list box that draws its own entries and tells their height.
class TOwnerList : public TWinControl {
    GUI_CLASS(TOwnerList, TWinControl)
    using TWinControl::TWinControl;
    int measured = 0;
    std::vector<UINT> drawn;

protected:
    void CreateParams(TCreateParams& p) override
    {
        TWinControl::CreateParams(p);
        p.className = "LISTBOX";
        p.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    }
    void WndProc(TMessage& m) override
    {
        if (m.Msg == CN_MEASUREITEM) {
            ++measured;
            reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = 30;
            m.Result = TRUE;
            return;
        }
        if (m.Msg == CN_DRAWITEM) {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            if (d->itemID != static_cast<UINT>(-1)) drawn.push_back(d->itemID);
            m.Result = TRUE;
            return;
        }
        TWinControl::WndProc(m);
    }
};

class LifetimeTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
};

TEST_F(LifetimeTest, FreeRunsOnDestroyAndTheWindowsLastMessagesWhileTheFormIsWhole)
{
    auto* f = TForm::Create<TProbeForm>(Application);
    f->Show();
    f->Free();
    EXPECT_EQ(journal, (std::vector<std::string>{"OnDestroy offen", "WM_DESTROY offen"}));
}

TEST_F(LifetimeTest, ReleasedAndOwnedFormsEndTheSameWay)
{
    auto* released = TForm::Create<TProbeForm>(Application);
    released->Release();
    Application->ProcessMessages();
    EXPECT_EQ(journal, (std::vector<std::string>{"OnDestroy offen", "WM_DESTROY offen"}));
    journal.clear();
    // A form owned by another component ends when its owner does.
    auto* owner = new TComponent(nullptr);
    TForm::Create<TProbeForm>(owner);
    owner->Free();
    EXPECT_EQ(journal, (std::vector<std::string>{"OnDestroy offen", "WM_DESTROY offen"}));
}

TEST_F(LifetimeTest, TheApplicationFreesItsFormsTheLastCreatedFirst)
{
    for (const char* name : {"Erste", "Zweite", "Dritte"}) {
        auto* f = TForm::Create<TProbeForm>(Application);
        f->state = name;
    }
    Application->DestroyForms();
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"OnDestroy Dritte", "WM_DESTROY Dritte", "OnDestroy Zweite",
                                                 "WM_DESTROY Zweite", "OnDestroy Erste", "WM_DESTROY Erste"}));
}

TEST_F(LifetimeTest, OwnerDrawnListGetsItsMeasureAtCreationAndItsDrawItems)
{
    auto* form = TForm::Create<TForm>(Application);
    form->SetBounds(80, 80, 300, 300);
    auto* list = new TOwnerList(form);
    list->SetBounds(10, 10, 200, 200);
    list->SetParent(form);
    form->Show();
    // The fixed item height is asked while the list's window is being created.
    EXPECT_EQ(list->measured, 1);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 30);
    for (const char* s : {"Brot", "Milch", "Käse"})
        SendMessageA(list->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(list->drawn, (std::vector<UINT>{0, 1, 2}));
    form->Free();
}

} // namespace
