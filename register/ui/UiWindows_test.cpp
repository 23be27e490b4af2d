#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <windows.h>
#include <richedit.h>

#include "gui/Automation.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "register/core/UDebugHold.h"
#include "register/core/UFuncMon.h"
#include "register/core/ULang.h"
#include "register/core/URegisterCore.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UFunkMon.h"
#include "register/ui/ULanguage.h"
#include "tests/support/MessageHost.h"

namespace {

// Each case has a core of its own; the windows it makes go before the core, as at program end.
class UiWindows : public ::testing::Test {
protected:
    void TearDown() override { Application->DestroyForms(); }
    TRegisterCore core;
};

// A skinned panel as the skin's controls will bring it: a TPanel by descent.
class TsPanel : public TPanel {
    GUI_CLASS(TsPanel, TPanel)
    using TPanel::TPanel;
};

std::string TempFile(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// The caret and the first visible line of a rich edit, as "|caret|line".
std::string CaretAndView(HWND edit)
{
    CHARRANGE caret{};
    SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const auto first = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    return "|" + std::to_string(caret.cpMin) + "|" + std::to_string(first);
}

// Counts the edits of a register monitor's window: texts set and selections replaced.
void CountEdits(TFunkMonForm& mon, int& edits)
{
    mon.Mon->HookWindowProc([&edits](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_SETTEXT || m.Msg == EM_REPLACESEL) ++edits;
        inherited(m);
    });
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST_F(UiWindows, RegisterMonitorShowsTheLogSavesAndClearsIt)
{
    UFuncMon::LogToMonitor("\tvorher");
    auto* mon = TForm::Create<TFunkMonForm>(Application);
    EXPECT_EQ(mon->Mon->Text(), "\tvorher");
    UFuncMon::LogToMonitor("\tDatum: 20241231");
    UFuncMon::AppendToMonitor(" E1: 199C");
    EXPECT_EQ(mon->Mon->Text(), "\tvorher\r\n\tDatum: 20241231 E1: 199C");

    const std::string path = TempFile("tillora_funkmon.txt");
    mon->SaveLog(path);
    EXPECT_EQ(ReadFile(path), "\tvorher\r\n\tDatum: 20241231 E1: 199C\r\n");
    std::remove(path.c_str());

    mon->Clear1->Click();
    EXPECT_EQ(mon->Mon->Text(), "");
    UFuncMon::LogToMonitor("neu");
    EXPECT_EQ(mon->Mon->Text(), "neu");

    bool closed = false;
    mon->OnMonitorClosed = [&](TObject*) { closed = true; };
    mon->Show();
    mon->Close();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(mon->Visible());
    EXPECT_EQ(UFuncMon::MonitorLog().Text(), "neu");
    // Freed, the window is told nothing more; the log goes on.
    mon->Free();
    UFuncMon::LogToMonitor("danach");
    EXPECT_EQ(UFuncMon::MonitorLog().Text(), "neu\r\ndanach");
}

// A long log: the window keeps its newest lines, cut at a line start, ending with the newest
// text (caret behind it); the log and the saved file keep every line.
TEST_F(UiWindows, RegisterMonitorShowsTheNewestPartOfALongLog)
{
    auto line = [](int n) { return "\tZeile " + std::to_string(n) + std::string(50, '.'); };
    std::string whole;
    for (int n = 0; n < 1500; ++n)
        whole += (n ? "\r\n" : "") + line(n);
    UFuncMon::LogToMonitor(whole); // one text of about 90 KB: shown from a line start
    auto* mon = TForm::Create<TFunkMonForm>(Application);
    const std::string opened = mon->Mon->Text();
    ASSERT_LE(opened.size(), 48u * 1024);
    EXPECT_GT(opened.size(), 47u * 1024);
    EXPECT_EQ(whole.substr(whole.size() - opened.size()), opened);
    EXPECT_EQ(opened.substr(0, 7), "\tZeile ");

    for (int n = 1500; n < 1800; ++n)
        UFuncMon::LogToMonitor(line(n));
    const std::string& log = UFuncMon::MonitorLog().Text();
    const std::string shown = mon->Mon->Text();
    EXPECT_LE(shown.size(), 64u * 1024 + line(0).size() + 2);
    EXPECT_EQ(log.substr(log.size() - shown.size()), shown);
    EXPECT_EQ(shown.substr(0, 7), "\tZeile ");
    EXPECT_EQ(shown.substr(shown.size() - line(1799).size()), line(1799));
    CHARRANGE caret{};
    SendMessageA(mon->Mon->Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    GETTEXTLENGTHEX chars{GTL_DEFAULT, CP_ACP};
    const LONG end =
        static_cast<LONG>(SendMessageA(mon->Mon->Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&chars), 0));
    EXPECT_EQ(caret.cpMin, end);
    EXPECT_EQ(caret.cpMax, end);

    const std::string path = TempFile("tillora_funkmon_long.txt");
    mon->SaveLog(path);
    EXPECT_EQ(ReadFile(path), log + "\r\n");
    std::remove(path.c_str());
}

// A hidden window is not edited; shown, or read, it holds what it would have held had it been
// shown all along: the same trimmed text, the caret behind it, the same view.
TEST_F(UiWindows, HiddenRegisterMonitorTakesTheLinesWhenShownOrRead)
{
    auto run = [](int way) { // 0: shown along, 1: shown at the end, 2: read at the end
        UFuncMon::ClearMonitor();
        auto* mon = TForm::Create<TFunkMonForm>(Application);
        if (way == 0) mon->Show();
        int edits = 0;
        CountEdits(*mon, edits);
        for (int n = 0; n < 1300; ++n)
            UFuncMon::LogToMonitor("\tZeile " + std::to_string(n) + std::string(50, n % 7 ? '.' : '\n'));
        if (way > 0) {
            EXPECT_EQ(edits, 0);
        }
        if (way == 1) mon->Show();
        const std::string text = WindowText(mon->Mon->Handle());
        if (way == 2) mon->Show();
        const std::string view = CaretAndView(mon->Mon->Handle());
        mon->Free();
        return text + view;
    };
    const std::string along = run(0);
    EXPECT_GT(along.size(), 48u * 1024);
    EXPECT_EQ(run(1), along);
    EXPECT_EQ(run(2), along);
}

// A mass run hands the shown window its lines in parts: it holds them and, read, painted or when
// messages are handled, holds what it would have held had it taken each part at once (the same
// trims, the caret behind the text, the same view).
TEST_F(UiWindows, ShownRegisterMonitorHoldsTheRunsPartsUntilItPaintsOrIsRead)
{
    auto run = [](int way) { // 0: read after every part, 1: read at the end, 2: painted, 3: messages handled
        UFuncMon::ClearMonitor();
        auto* mon = TForm::Create<TFunkMonForm>(Application);
        mon->Show();
        int edits = 0;
        CountEdits(*mon, edits);
        {
            const UFuncMon::TMonitorBatch batch;
            for (int n = 0; n < 1300; ++n) {
                UFuncMon::LogToMonitor("\tZeile " + std::to_string(n) + std::string(50, n % 7 ? '.' : '\n'));
                if (n % 90 == 89) UFuncMon::ShowMonitorNow();
                if (n % 90 == 89 && way == 0) WindowText(mon->Mon->Handle());
            }
            UFuncMon::ShowMonitorNow();
            if (way > 0) {
                EXPECT_EQ(edits, 0);
            }
            if (way == 2) RedrawWindow(mon->Mon->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            if (way == 3) MessageHost::PumpUntil([&] { return edits > 0; }, 5000);
            if (way >= 2) {
                EXPECT_GT(edits, 0);
            }
        }
        const std::string text = WindowText(mon->Mon->Handle());
        const std::string view = CaretAndView(mon->Mon->Handle());
        mon->Free();
        return text + view;
    };
    const std::string atOnce = run(0);
    EXPECT_GT(atOnce.size(), 48u * 1024);
    for (int way = 1; way <= 3; ++way)
        EXPECT_EQ(run(way), atOnce) << way;
}

TEST_F(UiWindows, DebugWindowSwitchesAndHeldCommand)
{
    auto* dbg = TForm::Create<TDebugForm>(Application);
    EXPECT_EQ(UDebugHold::DebugWindow(), dbg);
    EXPECT_EQ(dbg->GetState(), UDebugHold::StateWaiting);
    dbg->CheckHash->SetChecked(true);
    EXPECT_TRUE(UDebugHold::GetCheckHash());
    EXPECT_FALSE(UDebugHold::GetCheckTrans());

    // "Send" while a command waits releases the edited text.
    PostMessageA(dbg->Button1->Handle(), BM_CLICK, 0, 0);
    dbg->SendMemo->SetText("");
    const std::string sent = UDebugHold::HoldCommand(true, "80 40 00 00 ");
    EXPECT_EQ(sent, "80 40 00 00 ");
    EXPECT_EQ(dbg->GetState(), UDebugHold::StateSent);
    EXPECT_FALSE(dbg->Visible());

    // Ticking a hold switch arms the window again; closing it sends the command as built.
    dbg->CheckTrans->SetChecked(true);
    EXPECT_EQ(dbg->GetState(), UDebugHold::StateWaiting);
    dbg->Show();
    dbg->Close();
    EXPECT_EQ(dbg->GetState(), UDebugHold::StateClosed);
    dbg->Free();
    EXPECT_EQ(UDebugHold::DebugWindow(), nullptr);
}

TEST_F(UiWindows, LanguageSwitchGivesTaggedComponentsTheirTexts)
{
    const std::string path = TempFile("tillora_ui_lang.ini");
    std::ofstream(path, std::ios::binary)
        << "[Deutsch]\r\n1txt=Kasse\r\n22cap=Kasse-Monitor\r\n51cap=Speichern\r\n52cap=Löschen\r\n"
           "[English]\r\n1txt=Register\r\n22cap=Register monitor\r\n51cap=Save\r\n";
    auto* mon = TForm::Create<TFunkMonForm>(Application);
    auto* dbg = TForm::Create<TDebugForm>(Application);
    SetLanguage(nullptr, "English", path);
    EXPECT_EQ(ULang::GetText(1), "Register");
    EXPECT_EQ(mon->Caption(), "Register monitor");
    EXPECT_EQ(mon->Save1->Caption(), "Save");
    EXPECT_EQ(mon->Clear1->Caption(), ""); // a missing key blanks the tagged caption
    // The debug window's components are untagged: they keep their stored texts.
    EXPECT_EQ(dbg->Button1->Caption(), "Send");
    EXPECT_EQ(dbg->CheckHash->Caption(), "Hashen auf QSM");
    EXPECT_EQ(dbg->Caption(), "Debug");
    SetLanguage(nullptr, "Deutsch", path);
    EXPECT_EQ(mon->Clear1->Caption(), "Löschen");
    EXPECT_EQ(ULang::Languages().Current(), "Deutsch");
    std::remove(path.c_str());
}

// Every row of the class table that a component matches applies: a skinned panel takes its
// caption like a panel (only a non-empty one) and its hint like a skinned panel.
TEST_F(UiWindows, LanguageSwitchAppliesEveryMatchingClassRow)
{
    const std::string path = TempFile("tillora_ui_rows.ini");
    std::ofstream(path, std::ios::binary) << "[Deutsch]\r\n200hint=Satz der Klasse\r\n201cap=Bediener 1\r\n"
                                             "201hint=Name\r\n";
    auto* form = TForm::Create<TForm>(Application);
    auto* skinned = new TsPanel(form);
    skinned->SetParent(form);
    skinned->SetTag(200);
    skinned->SetCaption("1900");
    auto* plain = new TPanel(form);
    plain->SetParent(form);
    plain->SetTag(201);
    plain->SetHint("bleibt");
    SetLanguage(nullptr, "Deutsch", path);
    EXPECT_EQ(skinned->Caption(), "1900"); // no 200cap: the rate stays
    EXPECT_EQ(skinned->Hint(), "Satz der Klasse");
    EXPECT_EQ(plain->Caption(), "Bediener 1");
    EXPECT_EQ(plain->Hint(), "bleibt"); // a plain panel takes no hint
    std::remove(path.c_str());
}
