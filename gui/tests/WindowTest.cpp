// Forms from descriptions on screen: driven from another process, modal dialogs, check boxes
// and radio buttons, creation errors, and no handle leaks over many forms.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <map>

#include "gui/Automation.h"
#include "gui/FormReader.h"
#include "gui/ListCtrls.h"
#include "gui/tests/TestForms.h"
#include "tests/support/HandleCount.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
}

// Starts the driver program with the given arguments and a report file.
class TDriver {
public:
    explicit TDriver(const std::string& args)
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        report_ = std::string(tmp) + "gui_driver_" + std::to_string(GetCurrentProcessId()) + ".txt";
        std::string cmd = "\"" + ProgramFolder() + "gui_test_driver.exe\" " + args + " \"" + report_ + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            process_.reset(pi.hProcess);
        }
    }
    ~TDriver() { DeleteFileA(report_.c_str()); }
    bool Started() const { return static_cast<bool>(process_); }
    HANDLE Process() const { return process_.get(); }

    // Handles this thread's messages until the driver ends; false on the hang guard.
    bool PumpUntilDone()
    {
        for (int i = 0; i < 3000; ++i) {
            HANDLE h = process_.get();
            if (MsgWaitForMultipleObjects(1, &h, FALSE, 10, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
            Application->ProcessMessages();
        }
        return false;
    }
    DWORD ExitCode() const
    {
        DWORD code = 99;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    std::map<std::string, std::string> Report() const
    {
        std::map<std::string, std::string> r;
        std::ifstream in(report_);
        std::string line;
        while (std::getline(in, line)) {
            size_t eq = line.find('=');
            if (eq != std::string::npos) r[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return r;
    }

private:
    std::string report_;
    TKernelHandle process_;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
    }
    void TearDown() override { Application->OnException = nullptr; }
    std::vector<std::string> errors;
};

TEST_F(WindowTest, DriverFindsControlsByNameClicksAndReadsBack)
{
    auto* form = TForm::Create<TAutoForm>(Application);
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
    TDriver driver("auto");
    ASSERT_TRUE(driver.Started());
    ASSERT_TRUE(driver.PumpUntilDone());
    EXPECT_EQ(driver.ExitCode(), 0u);
    auto r = driver.Report();
    EXPECT_EQ(r["FormName"], "AutoForm");
    EXPECT_EQ(r["Caption"], "Automatik");
    EXPECT_EQ(r["ButtonText"], "Übernehmen");
    EXPECT_EQ(r["ButtonParent"], "InnerPanel");
    EXPECT_EQ(r["EditBefore"], "Müller");
    EXPECT_EQ(r["LabelWindow"], "0");
    EXPECT_EQ(r["LabelBefore"], "leer");
    EXPECT_EQ(r["LabelAfter"], "Geklickt: Jürgen");
    EXPECT_EQ(r["PanelAfterMenu"], "Hallo aus dem Menü");
    EXPECT_EQ(r["Ticks"], "Tick 3");
    EXPECT_EQ(r["Gauge"], "75%"); // the percentage, though ShowText is off
    EXPECT_EQ(r["LabelState"], "visible enabled 8,140");
    EXPECT_EQ(r["QueryWindowed"], "0");
    EXPECT_EQ(r["QueryUnknown"], "0");
    EXPECT_EQ(r["QueryNoName"], "0");
    // Menus are local to their process under Wine: the bar is checked from here.
    HMENU bar = GetMenu(form->Handle());
    char text[64] = "";
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Datei");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 1); // the hidden item is left out
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 0), 0), 101u);
    // The driver closed the form: it is hidden, not destroyed.
    Application->ProcessMessages();
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(errors.empty());
    form->Free();
}

// Menus are local to their process under Wine: the form answers for its items by name, also
// for an owner-drawn bar.
TEST_F(WindowTest, DriverFindsAMenuItemByNameReadsItsStateAndClicksIt)
{
    for (bool ownerDraw : {false, true}) {
        auto* form = TForm::Create<TAutoForm>(Application);
        form->Menu()->SetOwnerDraw(ownerDraw);
        auto* hallo = dynamic_cast<TMenuItem*>(form->FindComponent("Hallo1"));
        ASSERT_NE(hallo, nullptr);
        hallo->SetChecked(true);
        TDriver driver("menu");
        ASSERT_TRUE(driver.Started());
        ASSERT_TRUE(driver.PumpUntilDone());
        EXPECT_EQ(driver.ExitCode(), 0u);
        auto r = driver.Report();
        EXPECT_EQ(r["Hallo1"], "visible enabled checked id 101");
        EXPECT_EQ(r["Versteckt1"], "hidden enabled id 102");
        EXPECT_EQ(r["Fehlt1"], "none");
        EXPECT_EQ(r["ClickHidden"], "0");
        EXPECT_EQ(r["Click"], "1");
        EXPECT_EQ(r["PanelAfterClick"], "Hallo aus dem Menü");
        EXPECT_EQ(form->InnerPanel->Caption(), "Hallo aus dem Menü");
        EXPECT_TRUE(errors.empty());
        form->Free();
    }
}

// A program busy for more than five seconds counts as hung to the system: a driver's question
// about a label waits for it rather than giving up.
TEST_F(WindowTest, DriverReadsALabelOfAFormWhoseThreadIsBusy)
{
    auto* form = TForm::Create<TAutoForm>(Application);
    Application->ProcessMessages();
    TDriver driver("label");
    ASSERT_TRUE(driver.Started());
    Sleep(6000); // not looking at the message queue
    ASSERT_TRUE(driver.PumpUntilDone());
    EXPECT_EQ(driver.Report()["Label"], "leer");
    form->Free();
}

// A form made from a description given here as text.
TForm* FormFrom(const std::string& text)
{
    auto* f = new TForm(Application);
    try {
        f->SetState(csLoading | csReading);
        ReadFormDescription(*f, text, "Probe");
        f->InitializeForm();
    } catch (...) {
        f->Free();
        throw;
    }
    return f;
}

std::string DescriptionError(const std::string& text)
{
    try {
        FormFrom(text)->Free();
    } catch (const EComponentError& e) {
        return e.what();
    }
    return "";
}

TEST_F(WindowTest, DescriptionErrorsNameTheLineAndTheProperty)
{
    EXPECT_EQ(DescriptionError("object F: TForm\n  object B1: TButton\n  end\n  object b1: TLabel\n  end\nend\n"),
              "Probe(4): b1.Name: Der Name b1 ist schon vergeben");
    EXPECT_EQ(DescriptionError("object F: TForm\n  object B1: TButton\n    Left = 12px\n  end\nend\n"),
              "Probe(3): B1.Left: Ungültige Zahl '12px'");
    EXPECT_EQ(DescriptionError("object F: TForm\n  Width = 99999999999999999999\nend\n"),
              "Probe(2): F.Width: Zahl außerhalb des Bereichs '99999999999999999999'");
    EXPECT_EQ(DescriptionError("object F: TForm\n  object B1: TButton\n    Top = oben\n  end\nend\n"),
              "Probe(3): B1.Top: Zahl erwartet statt 'oben'");
    EXPECT_EQ(DescriptionError("object F: TForm\n  Position = poIrgendwo\nend\n"),
              "Probe(2): F.Position: Ungültiger Wert 'poIrgendwo' für Position");
    EXPECT_EQ(Application->ComponentCount(), 0);
}

TEST_F(WindowTest, DescriptionTextsJoinPiecesInARowOrByPlus)
{
    TForm* f = FormFrom("object F: TForm\n  Caption = 'Zeile'#13#10'zwei' +\n    ' und drei'\n"
                        "  object L: TListBox\n    Items = ('Brot' 'Milch'\n      'Butter' + 'milch' 'It''s')\n"
                        "  end\nend\n");
    EXPECT_EQ(f->Caption(), "Zeile\r\nzwei und drei");
    auto* list = dynamic_cast<TListBox*>(f->FindComponent("L"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items().Text(), "Brot\r\nMilch\r\nButtermilch\r\nIt's\r\n");
    f->Free();
}

TEST_F(WindowTest, ClientWidthWithHeightKeepsTheStoredHeight)
{
    TForm* f = FormFrom("object F: TForm\n  ClientWidth = 300\n  Height = 200\n  Left = 10\n  Top = 10\nend\n");
    RECT w, c;
    GetWindowRect(f->Handle(), &w);
    GetClientRect(f->Handle(), &c);
    EXPECT_EQ(c.right, 300);
    EXPECT_EQ(w.bottom - w.top, 200);
    EXPECT_EQ(f->Height(), 200);
    f->Free();
}

TEST_F(WindowTest, DefaultPositionsCascadeFromTheTopLeftOfTheWorkArea)
{
    TForm* a = FormFrom("object F: TForm\n  Width = 200\n  Height = 150\n  Position = poDefaultPosOnly\nend\n");
    TForm* b = FormFrom("object F: TForm\n  Position = poDefault\nend\n");
    a->Show();
    b->Show();
    RECT work, ra, rb;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(a->Handle(), &ra);
    GetWindowRect(b->Handle(), &rb);
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);
    EXPECT_GE(ra.left, work.left + step);
    EXPECT_EQ(ra.top - work.top, ra.left - work.left);
    EXPECT_EQ(rb.left, ra.left + step); // the next one a step further
    EXPECT_EQ(rb.top, ra.top + step);
    EXPECT_EQ(ra.right - ra.left, 200); // poDefaultPosOnly keeps the stored size
    EXPECT_EQ(ra.bottom - ra.top, 150);
    EXPECT_EQ(rb.right - rb.left, (work.right - work.left) * 3 / 4);
    EXPECT_EQ(b->Left(), rb.left);
    b->Free();
    a->Free();
}

TEST_F(WindowTest, ShowModalReturnsTheResultOfTheButtonAndBlocksTheWindowsBehind)
{
    auto* host = TForm::Create<TModalHost>(Application);
    auto* dlg = TForm::Create<TModalDlg>(Application);
    TTimer guard(nullptr);
    guard.SetInterval(30000);
    guard.OnTimer = [dlg](TObject*) { dlg->SetModalResult(mrAbort); };
    const std::pair<const char*, int> cases[] = {{"OkButton", mrOk}, {"CancelButton", mrCancel}, {"close", mrCancel}};
    for (auto [button, expected] : cases) {
        SCOPED_TRACE(button);
        TDriver driver(std::string("modal ") + button);
        ASSERT_TRUE(driver.Started());
        EXPECT_EQ(dlg->ShowModal(), expected);
        EXPECT_FALSE(IsWindowVisible(dlg->Handle()));
        EXPECT_TRUE(IsWindowEnabled(host->Handle()));
        ASSERT_TRUE(driver.PumpUntilDone());
        auto r = driver.Report();
        EXPECT_EQ(r["HostEnabled"], "0");
        EXPECT_EQ(r["DialogVisible"], "0");
    }
    EXPECT_EQ(host->clicks, 0);
    // Once the dialog is gone, the window behind takes clicks again.
    SendMessageA(FindControlWindow(host->Handle(), "HostButton"), BM_CLICK, 0, 0);
    EXPECT_EQ(host->clicks, 1);
    dlg->Free();
    host->Free();
}

TEST_F(WindowTest, CheckBoxClickFiresOnChangeOnlyAndNotWhileLoading)
{
    auto* f = TForm::Create<TCheckForm>(Application);
    EXPECT_TRUE(f->KassBox->Checked());
    EXPECT_EQ(SendMessageA(f->KassBox->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(f->clicks, 0); // Checked = True in the description fires nothing
    f->KassBox->SetChecked(true);
    EXPECT_EQ(f->clicks, 0);
    f->KassBox->SetChecked(false);
    EXPECT_EQ(f->clicks, 1);
    EXPECT_FALSE(f->checkedInHandler);
    f->KassBox->SetChecked(true);
    EXPECT_EQ(f->clicks, 2);
    EXPECT_TRUE(f->checkedInHandler);
    // A click by the user toggles the state and fires once.
    f->Show();
    SendMessageA(f->KassBox->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(f->clicks, 3);
    EXPECT_FALSE(f->KassBox->Checked());
    EXPECT_EQ(SendMessageA(f->KassBox->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Radio buttons group per parent.
    EXPECT_TRUE(f->Left1->Checked());
    EXPECT_TRUE(f->Right1->Checked());
    SendMessageA(f->Left2->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(f->Left2->Checked());
    EXPECT_FALSE(f->Left1->Checked());
    EXPECT_TRUE(f->Right1->Checked());
    EXPECT_EQ(SendMessageA(f->Left1->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    f->Free();
}

TEST_F(WindowTest, DescriptionErrorsStopTheFormAtCreation)
{
    try {
        TForm::Create<TBadForm>(Application);
        FAIL() << "a missing handler was accepted";
    } catch (const EComponentError& e) {
        EXPECT_NE(std::string(e.what()).find("GibtEsNicht"), std::string::npos) << e.what();
    }
    try {
        TForm::Create<TTypoForm>(Application);
        FAIL() << "an unknown property was accepted";
    } catch (const EComponentError& e) {
        EXPECT_NE(std::string(e.what()).find("Captoin"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("(3)"), std::string::npos) << e.what(); // the line
    }
    EXPECT_EQ(Application->ComponentCount(), 0);
}

TEST_F(WindowTest, AFailingCreationHandlerIsShownAndTheFormIsMadeAllTheSame)
{
    auto* f = new TForm(Application);
    f->OnCreate = [](TObject*) { throw Exception("Skin kaputt"); };
    f->SetState(csLoading | csReading);
    ReadFormDescription(*f, "object F: TForm\n  Caption = 'Weiter'\n  Visible = True\nend\n", "Probe");
    f->InitializeForm();
    EXPECT_EQ(errors, std::vector<std::string>{"Skin kaputt"});
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_FALSE(f->InState(csCreating | csLoading));
    f->Free();
}

TEST_F(WindowTest, OpeningAndClosingAForm200TimesLeaksNoHandles)
{
    // Shown (with its panels, menu, gauge, fonts and timer), painted, closed and freed.
    auto cycle = [] {
        auto* f = TForm::Create<TAutoForm>(Application);
        f->Repaint();
        Application->ProcessMessages();
        f->Close();
        Application->ProcessMessages();
        f->Free();
        Application->ProcessMessages();
    };
    for (int i = 0; i < 3; ++i)
        cycle(); // classes registered, caches filled
    const THandleCount before = THandleCount::Now();
    int formsBefore = Application->LiveForms();
    for (int i = 0; i < 200; ++i)
        cycle();
    const THandleCount after = THandleCount::Now();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(Application->LiveForms(), formsBefore);
    EXPECT_TRUE(errors.empty());
}

} // namespace
