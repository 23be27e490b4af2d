// The skin command senders and queries between real windows and controls.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sMessages.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sVclUtils.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/SkinModules.h"

namespace {

// What a control received of the skin command message: "name:command:lParam" per message.
std::vector<std::string> received;

void Record(const TControl& c, const TMessage& m)
{
    received.push_back(c.Name() + ":" + std::to_string(HIWORD(m.WParam)) + ":" + std::to_string(m.LParam));
}

// A graphic control; when skinned it answers command 7 with 1 and 21 with its colour answer.
class TTestGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    bool skinned = false;
    void Paint(TCanvas&) override {}

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD) {
            Record(*this, m);
            if (skinned && HIWORD(m.WParam) == cmdIsSkinned) m.Result = 1;
            if (skinned && HIWORD(m.WParam) == cmdGetBGColor) m.Result = RGB(1, 2, 3);
            if (HIWORD(m.WParam) == 50) m.Result = 77;
            return;
        }
        TGraphicControl::WndProc(m);
    }
};

// A windowed control of the same behaviour.
class TTestWindowed : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool skinned = false;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD) {
            Record(*this, m);
            if (skinned && HIWORD(m.WParam) == cmdIsSkinned) m.Result = 1;
            if (HIWORD(m.WParam) == 50) m.Result = 88;
            return;
        }
        TCustomControl::WndProc(m);
    }
};

// A form that records what its window gets and answers command 25 with 5.
class TTestForm : public TForm {
public:
    using TForm::TForm;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == SM_VELOCONCMD) {
            Record(*this, m);
            m.Result = 5;
            return;
        }
        TForm::WndProc(m);
    }
};

class SkinCommands : public testrig::SkinModulesTest<> {
protected:
    void SetUp() override
    {
        received.clear();
        form = TForm::Create<TTestForm>(Application);
        form->SetName("Form");
        form->SetBounds(50, 50, 400, 300);
        form->Show();
    }
    void TearDown() override { delete form; }
    template <class T> T* Make(TWinControl* parent, const char* name)
    {
        T* c = new T(form);
        c->SetName(name);
        c->SetBounds(10, 10, 100, 50);
        c->SetParent(parent);
        return c;
    }
    TForm* form = nullptr;
};

} // namespace

TEST_F(SkinCommands, GraphicControlGetsTheCommandThroughItsOwnDispatch)
{
    auto* g = Make<TTestGraphic>(form, "Graphic");
    EXPECT_EQ(SendSkinCommandToControl(g, 50, 1234), 77);
    EXPECT_EQ(received, (std::vector<std::string>{"Graphic:50:1234"}));
    EXPECT_EQ(AskControl(g, 50), 77);
}

TEST_F(SkinCommands, WindowedControlWithoutHandleGetsNothing)
{
    auto* w = new TTestWindowed(form);
    w->SetName("Windowed");
    EXPECT_EQ(SendSkinCommandToControl(w, 50, 1), 0);
    EXPECT_FALSE(w->HandleAllocated());
    EXPECT_TRUE(received.empty());
    w->SetParent(form);
    w->HandleNeeded();
    EXPECT_EQ(SendSkinCommandToControl(w, 50, 2), 88);
    EXPECT_EQ(received, (std::vector<std::string>{"Windowed:50:2"}));
    EXPECT_EQ(SendSkinCommand(w->Handle(), 50, 3), 88);
}

TEST_F(SkinCommands, WindowAndControlColourQueries)
{
    auto* plain = Make<TButton>(form, "Plain");
    plain->HandleNeeded();
    EXPECT_FALSE(AskWindow(plain->Handle(), cmdIsSkinned));
    EXPECT_EQ(AskWindowColor(nullptr), clFuchsia);
    EXPECT_EQ(AskWindowColor(plain->Handle()), 0); // no answer: black
    auto* skinnedWindow = Make<TTestWindowed>(form, "Skinned");
    skinnedWindow->skinned = true;
    skinnedWindow->HandleNeeded();
    EXPECT_TRUE(AskWindow(skinnedWindow->Handle(), cmdIsSkinned));

    EXPECT_EQ(AskControlColor(nullptr), clFuchsia);
    auto* g = Make<TTestGraphic>(form, "Graphic");
    g->SetColor(clBtnFace);
    EXPECT_EQ(AskControlColor(g), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    g->skinned = true;
    EXPECT_EQ(AskControlColor(g), static_cast<TColor>(RGB(1, 2, 3)));
    EXPECT_EQ(received.back(), "Graphic:21:" + std::to_string(clFuchsia));
}

TEST_F(SkinCommands, BroadcastReachesSkinnedWindowsBySendMessageAndGraphicChildrenByPerform)
{
    // A panel holding a plain group box (a window that answers no skin command) with a skinned
    // windowed child, a label and another graphic child.
    auto* panel = Make<TTestWindowed>(form, "Panel");
    auto* group = Make<TGroupBox>(panel, "Group");
    auto* skinned = Make<TTestWindowed>(group, "Skinned");
    skinned->skinned = true;
    auto* label = Make<TLabel>(group, "Label");
    auto* graphic = Make<TTestGraphic>(group, "Graphic");
    panel->HandleNeeded();
    testrig::TMessageSpy groupWindow(group->Handle()), skinnedWindow(skinned->Handle());
    testrig::TMessageSpy labelDispatch(label), graphicDispatch(graphic);
    const UINT note = WM_APP + 5;
    TMessage m{note, 1, 2, 0};
    BroadcastToControls(panel, m);
    EXPECT_EQ(groupWindow.Count(note), 0);
    EXPECT_EQ(groupWindow.SkinCommands(), std::vector<int>{cmdIsSkinned}); // asked, nothing more
    EXPECT_EQ(skinnedWindow.Count(note), 1);                               // through its window
    ASSERT_EQ(labelDispatch.Count(note), 1);                               // no window: Perform
    EXPECT_EQ(labelDispatch.Last(note)->LParam, 2);
    EXPECT_EQ(graphicDispatch.Count(note), 1);
}

TEST_F(SkinCommands, ReadinessOfControls)
{
    EXPECT_FALSE(ControlIsReady(nullptr));
    auto* w = new TTestWindowed(form);
    EXPECT_FALSE(ControlIsReady(w)); // no handle
    auto* g = new TTestGraphic(form);
    EXPECT_FALSE(ControlIsReady(g)); // no parent
    g->SetParent(form);
    EXPECT_TRUE(ControlIsReady(g));
    g->SetState(csLoading);
    EXPECT_FALSE(ControlIsReady(g));
    g->ClearState(csLoading);
    g->SetState(csCreating);
    EXPECT_FALSE(ControlIsReady(g));
    g->ClearState(csCreating);
    w->SetParent(form);
    w->HandleNeeded();
    EXPECT_TRUE(ControlIsReady(w));
}

TEST_F(SkinCommands, ParentFormIsToldAndNoHostOwnerExists)
{
    auto* panel = Make<TTestWindowed>(form, "Panel");
    auto* g = Make<TTestGraphic>(panel, "Graphic");
    received.clear();
    EXPECT_EQ(NotifyParentForm(g), 5);
    EXPECT_EQ(received, (std::vector<std::string>{"Form:25:" + std::to_string(reinterpret_cast<LPARAM>(g))}));
    g->SetState(csLoading);
    EXPECT_EQ(NotifyParentForm(g), 0);
    EXPECT_EQ(received.size(), 1u);
    EXPECT_EQ(FindHostOwner(g), nullptr);
}

TEST_F(SkinCommands, CompositionReachesTheEngineThroughItsHook)
{
    // Wine answers the composition query with S_OK and "off".
    EXPECT_FALSE(DwmCompositionEnabled());
    ASSERT_NE(WindowSkinningHooks().DwmCompositionEnabled, nullptr);
    EXPECT_EQ(HookDwmCompositionEnabled(), DwmCompositionEnabled());
}

// The engine calls window skinning only through its hooks: once the module has started, every
// hook is filled (a hook added to the engine and left unwired fails here). The one left empty is
// the frame-class query: the program registers no frame class.
TEST_F(SkinCommands, EveryEngineHookIsFilledButTheFrameQuery)
{
    const TsWindowSkinningHooks& hooks = WindowSkinningHooks();
    static_assert(sizeof(TsWindowSkinningHooks) % sizeof(void*) == 0, "the hooks are pointers only");
    void* slots[sizeof(TsWindowSkinningHooks) / sizeof(void*)];
    std::memcpy(slots, &hooks, sizeof slots);
    const size_t frame = offsetof(TsWindowSkinningHooks, IsFrame) / sizeof(void*);
    for (size_t i = 0; i < std::size(slots); ++i) {
        if (i == frame) EXPECT_EQ(slots[i], nullptr);
        else EXPECT_NE(slots[i], nullptr) << "hook " << i << " of " << std::size(slots);
    }
}
