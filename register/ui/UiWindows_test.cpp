#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <windows.h>

#include "gui/ComCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "register/ui/UDebugForm.h"
#include "register/core/UDebugHold.h"
#include "register/core/UFuncMon.h"
#include "register/ui/UFunkMon.h"
#include "register/core/ULang.h"
#include "register/ui/ULanguage.h"

// The windows stay with the application until the program ends, as in the register.
namespace {

std::string TempFile(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(RegisterMonitor, ShowsTheLogSavesAndClearsIt)
{
    UFuncMon::ClearMonitor();
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
    UFuncMon::ClearMonitor();
}

TEST(DebugWindow, SwitchesAndHeldCommand)
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
}

TEST(LanguageSwitch, TaggedComponentsTakeTheirTexts)
{
    const std::string path = TempFile("tillora_ui_lang.ini");
    std::ofstream(path, std::ios::binary)
        << "[Deutsch]\r\n1txt=Kasse\r\n22cap=Kasse-Monitor\r\n51cap=Speichern\r\n52cap=Löschen\r\n"
           "[English]\r\n1txt=Register\r\n22cap=Register monitor\r\n51cap=Save\r\n421cap=Send\r\n";
    auto* mon = TForm::Create<TFunkMonForm>(Application);
    auto* dbg = TForm::Create<TDebugForm>(Application);
    SetLanguage(nullptr, "English", path);
    EXPECT_EQ(ULang::GetText(1), "Register");
    EXPECT_EQ(mon->Caption(), "Register monitor");
    EXPECT_EQ(mon->Save1->Caption(), "Save");
    EXPECT_EQ(mon->Clear1->Caption(), ""); // a missing key blanks the tagged caption
    EXPECT_EQ(dbg->Button1->Caption(), "Send");
    EXPECT_EQ(dbg->CheckHash->Caption(), "");
    EXPECT_EQ(dbg->SendMemo->Text(), ""); // memos are not translated
    SetLanguage(nullptr, "Deutsch", path);
    EXPECT_EQ(mon->Clear1->Caption(), "Löschen");
    EXPECT_EQ(ULang::Languages().Current(), "Deutsch");
    std::remove(path.c_str());
}

// Destroying the application's forms at exit runs into a fault of the class library
// (a component loses its owner before it tells the owner's other components); end the
// process with the tests' verdict before that.
class EndBeforeFormTeardown : public ::testing::Environment {
public:
    void TearDown() override
    {
        std::fflush(nullptr);
        ExitProcess(::testing::UnitTest::GetInstance()->Passed() ? 0 : 1);
    }
};
[[maybe_unused]] const auto* const endBeforeTeardown = ::testing::AddGlobalTestEnvironment(new EndBeforeFormTeardown);
