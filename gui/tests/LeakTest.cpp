// No handle leaks: each kind of component is made, used, shown and freed 200 times, and the
// numbers of GDI objects and of windows and menus are the same afterwards. The figures of
// each kind go to the test log ("leak <kind>: gdi a -> b, user a -> b").
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>

#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/ListCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "tests/support/HandleCount.h"
#include "tests/support/ModalScript.h"

namespace {

class LeakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = TForm::Create<TForm>(Application);
        form->SetBounds(40, 40, 500, 400);
        form->Show();
        Application->OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
    }
    void TearDown() override
    {
        Application->OnException = nullptr;
        form->Free();
    }
    // Runs the cycle a few times (classes registered, caches filled), then 200 times counted.
    void Cycles(const char* kind, const std::function<void()>& cycle)
    {
        for (int i = 0; i < 3; ++i)
            cycle();
        Application->ProcessMessages();
        const THandleCount before = THandleCount::Now();
        for (int i = 0; i < 200; ++i) {
            cycle();
            Application->ProcessMessages();
        }
        const THandleCount after = THandleCount::Now();
        std::printf("leak %s: gdi %d -> %d, user %d -> %d\n", kind, before.gdi, after.gdi, before.user, after.user);
        std::fflush(stdout);
        EXPECT_EQ(after.gdi, before.gdi) << kind;
        EXPECT_EQ(after.user, before.user) << kind;
        EXPECT_TRUE(errors.empty()) << kind;
    }
    template <class T> T* Make()
    {
        T* c = new T(form);
        c->SetBounds(10, 10, 300, 200);
        c->SetParent(form);
        return c;
    }
    TForm* form = nullptr;
    std::vector<std::string> errors;
};

TEST_F(LeakTest, ImagesDrawnShownAndFreed)
{
    Cycles("image", [&] {
        auto* image = Make<TImage>();
        image->Canvas().Brush().SetColor(clRed);
        image->Canvas().FillRect(RECT{0, 0, 50, 50});
        image->Canvas().TextOut(5, 5, "QR");
        image->Repaint();
        image->Free();
    });
}

TEST_F(LeakTest, RichEditsWithColouredLines)
{
    Cycles("rich edit", [&] {
        auto* log = Make<TRichEdit>();
        log->Font().SetName("Courier New");
        log->AppendLine("Card,APDU;00 A4 00 0C", clBlack);
        log->AppendLine("Result;   90 00", clRed);
        log->Lines().Put(0, "geändert");
        log->Repaint();
        log->Free();
    });
}

TEST_F(LeakTest, ListAndComboBoxes)
{
    Cycles("list box", [&] {
        auto* list = Make<TListBox>();
        list->SetColumns(2);
        list->SetItemHeight(18);
        for (const char* s : {"Brot", "Milch", "Käse"})
            list->Items().Add(s);
        list->SetItemIndex(1);
        list->Repaint();
        list->Free();
    });
    Cycles("combo box", [&] {
        auto* combo = Make<TComboBox>();
        for (const char* s : {"Deutsch", "English"})
            combo->Items().Add(s);
        combo->SetItemIndex(0);
        SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
        combo->Free();
    });
}

TEST_F(LeakTest, DateAndTimePickers)
{
    Cycles("picker", [&] {
        auto* date = Make<TDateTimePicker>();
        date->SetDate(EncodeDate(2024, 12, 31));
        auto* time = new TDateTimePicker(form);
        time->SetProperty("Kind", TPropValue::OfIdent("dtkTime"));
        time->SetParent(form);
        time->SetTime(EncodeTime(23, 59, 0, 0));
        form->Repaint();
        time->Free();
        date->Free();
    });
}

TEST_F(LeakTest, PopupMenusShownAndClosed)
{
    auto* menu = new TPopupMenu(form);
    for (const char* caption : {"Speichern", "-", "Löschen"}) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    Cycles("popup menu", [&] {
        TModalScript script({[](HWND) { EndMenu(); }});
        menu->Items()->Items(0)->SetChecked(!menu->Items()->Items(0)->Checked()); // rebuilt each time
        menu->Popup(100, 100);
        EXPECT_EQ(script.Done(), 1);
    });
}

TEST_F(LeakTest, FileDialogsAndMessageBoxes)
{
    Cycles("file dialog", [&] {
        TModalScript script({TModalScript::PressButton(IDCANCEL)});
        TOpenDialog open(nullptr);
        open.Filter = "XML|*.xml";
        EXPECT_FALSE(open.Execute());
        EXPECT_EQ(script.Done(), 1);
    });
    Cycles("message box", [&] {
        TModalScript script({TModalScript::PressButton(IDOK)});
        ShowMessage("Gespeichert");
        EXPECT_EQ(script.Done(), 1);
    });
}

} // namespace
