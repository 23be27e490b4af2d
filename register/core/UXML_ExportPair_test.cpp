// The export journal pair: a new pair and a continued one, the flush at the register window's
// close, and the files the user sees afterwards (exact bytes). No card: the certificate is held.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "gui/base/Exceptions.h"
#include "gui/base/Handles.h"
#include "gui/base/SysUtils.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Export.h"
#include "tests/support/TestFiles.h"
#include "tests/support/UnixShell.h"

using namespace UXML_Export;

namespace {

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const std::string Header(JournalHeader);

class ExportPair : public ::testing::Test {
protected:
    std::unique_ptr<TRegisterCore> core = std::make_unique<TRegisterCore>();
    // A folder with a "." in its name: the pair's names come from the file name only.
    const std::string folder = ExeFolder() + "Export.v2\\";
    const std::string sName = folder + "Kasse01S.xml";
    const std::string lName = folder + "Kasse01L.xml";
    std::string params;

    void SetUp() override
    {
        CreateDirectoryA((ExeFolder() + "Journal").c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        DeleteFileA(sName.c_str());
        DeleteFileA(lName.c_str());
        core->Card().certificate = "Q0VSVA==";
        WriteJournal(JournalBoth, KindPlain, ""); // opens the dated pair: the parameter block
        params = core->Journal().pendingParams;
    }
    void TearDown() override
    {
        const std::string datedS = core->Journal().datedSName, datedL = core->Journal().datedLName;
        CloseJournal();
        core.reset();
        DeleteFileA(datedS.c_str());
        DeleteFileA(datedL.c_str());
        DeleteFileA(sName.c_str());
        DeleteFileA(lName.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    void Sale(const std::string& n)
    {
        WriteJournal(JournalL, KindPending, "<transaction>" + n + "</transaction>");
        WriteJournal(JournalS, KindPending, "<transactionEncoded>" + n + "</transactionEncoded>");
    }
    std::string L(const std::string& n) { return "<transaction>" + n + "</transaction>"; }
    std::string S(const std::string& n) { return "<transactionEncoded>" + n + "</transactionEncoded>"; }
};

} // namespace

TEST_F(ExportPair, ANewPairMidRunGetsEveryTextSoFarOnceAndTheFlushOnlyWhatCameLater)
{
    ASSERT_EQ(params.substr(0, 11), "<qsmParams>");
    Sale("1");
    SetJournalFile(folder + "Kasse01.xml", true);
    EXPECT_EQ(core->Journal().exportS, sName);
    EXPECT_EQ(core->Journal().exportL, lName);
    EXPECT_EQ(ReadAll(sName), Header + S("1") + params + "</vantra>");
    EXPECT_EQ(ReadAll(lName), Header + L("1") + params + "</vantra>");
    EXPECT_EQ(core->Journal().pendingS, "");
    EXPECT_EQ(core->Journal().pendingL, "");

    Sale("2");
    FlushJournal();
    FlushJournal();
    EXPECT_EQ(ReadAll(sName), Header + S("1") + params + S("2") + "</vantra>");
    EXPECT_EQ(ReadAll(lName), Header + L("1") + params + L("2") + "</vantra>");

    // Choosing the L file of the pair as new starts it again with what is pending; the card
    // parameter block stays pending for the run.
    Sale("3");
    SetJournalFile(lName, true);
    EXPECT_EQ(ReadAll(sName), Header + S("3") + params + "</vantra>");
    EXPECT_EQ(ReadAll(lName), Header + L("3") + params + "</vantra>");

    // After the reset no pair is chosen: the flush leaves the files alone.
    ResetJournal();
    Sale("4");
    FlushJournal();
    EXPECT_EQ(ReadAll(lName), Header + L("3") + params + "</vantra>");
    EXPECT_EQ(core->Journal().pendingL, L("4"));
}

TEST_F(ExportPair, ContinuingTheSFileWhenOnlyTheLFileExists)
{
    const std::string oldL = Header + params + L("0") + "</vantra>";
    WriteAll(lName, oldL);
    Sale("1");
    SetJournalFile(sName, false);
    EXPECT_EQ(ReadAll(sName), Header + S("1") + "</vantra>");
    EXPECT_EQ(ReadAll(lName), oldL);
    EXPECT_EQ(core->Journal().pendingS, "");
    EXPECT_EQ(core->Journal().pendingL, L("1"));

    // The flush: the L file gets its text; the parameter block only where it is missing.
    FlushJournal();
    EXPECT_EQ(ReadAll(sName), Header + S("1") + params + "</vantra>");
    EXPECT_EQ(ReadAll(lName), Header + params + L("0") + L("1") + "</vantra>");
}

TEST_F(ExportPair, ACloseTagFollowedByALineBreakAndAFileWithoutCloseTag)
{
    WriteAll(sName, Header + params + S("0") + "</vantra>\r\n");
    WriteAll(lName, Header + params + L("0"));
    SetJournalFile(folder + "Kasse01.xml", false);
    EXPECT_EQ(ReadAll(sName), Header + params + S("0") + "</vantra>\r\n");

    // Nothing pending for S: its close tag is rewritten and the line break stays. The L file
    // without a close tag gets the text and a new one at its end.
    WriteJournal(JournalL, KindPending, L("1"));
    FlushJournal();
    EXPECT_EQ(ReadAll(sName), Header + params + S("0") + "</vantra>\r\n");
    EXPECT_EQ(ReadAll(lName), Header + params + L("0") + L("1") + "</vantra>");

    // A longer insertion overwrites the line break (the file is not truncated).
    Sale("2");
    FlushJournal();
    EXPECT_EQ(ReadAll(sName), Header + params + S("0") + S("2") + "</vantra>");
    EXPECT_EQ(ReadAll(lName), Header + params + L("0") + L("1") + L("2") + "</vantra>");
}

TEST_F(ExportPair, AFileDeletedOrLockedAtTheFlushKeepsThePendingTexts)
{
    SetJournalFile(folder + "Kasse01.xml", true);
    const std::string emptyS = ReadAll(sName), emptyL = ReadAll(lName);
    Sale("1");

    DeleteFileA(lName.c_str());
    try {
        FlushJournal();
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Datei \"" + lName + "\" kann nicht geöffnet werden");
    }
    EXPECT_EQ(ReadAll(sName), emptyS);
    EXPECT_EQ(core->Journal().pendingS, S("1"));
    EXPECT_EQ(core->Journal().pendingL, L("1"));

    WriteAll(lName, emptyL);
    {
        TFileHandle lock(CreateFileA(sName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        EXPECT_THROW(FlushJournal(), EFOpenError);
    }
    EXPECT_EQ(ReadAll(lName), emptyL);

    FlushJournal();
    EXPECT_EQ(ReadAll(sName), Header + params + S("1") + "</vantra>");
    EXPECT_EQ(ReadAll(lName), Header + params + L("1") + "</vantra>");
}

TEST_F(ExportPair, OnAFullDiskANewPairLeavesNoFileAndAFlushChangesNeitherFile)
{
    TUnixFolderFault fault;
    if (!fault.Tmpfs(folder, 64 * 1024)) GTEST_SKIP() << fault.Failure();
    SetJournalFile(folder + "Kasse01.xml", true);
    Sale("1");
    FlushJournal();
    const std::string s1 = ReadAll(sName), l1 = ReadAll(lName);
    const std::string filler = folder + "filler.bin";
    FillDisk(filler);

    // A new pair without room: none of its files stays, the pair chosen before stays chosen
    // and the texts pending. Longer than the room left in the last page of either file.
    const std::string big(5000, '2');
    Sale(big);
    try {
        SetJournalFile(folder + "Neu01.xml", true);
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_EQ(std::string(e.what()), "Stream-Schreibfehler: " + folder + "Neu01S.xml");
    }
    EXPECT_FALSE(FileExists(folder + "Neu01S.xml"));
    EXPECT_FALSE(FileExists(folder + "Neu01L.xml"));
    EXPECT_EQ(core->Journal().exportS, sName);

    // The flush: what went into the S file is taken out again, the L file is not touched.
    try {
        FlushJournal();
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_EQ(std::string(e.what()), "Stream-Schreibfehler: " + sName);
    }
    EXPECT_EQ(ReadAll(sName), s1);
    EXPECT_EQ(ReadAll(lName), l1);
    EXPECT_EQ(core->Journal().pendingS, S(big));
    EXPECT_EQ(core->Journal().pendingL, L(big));

    // Room again: everything pending, once and in order.
    Sale("3");
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    FlushJournal();
    EXPECT_EQ(ReadAll(sName), Header + params + S("1") + S(big) + S("3") + "</vantra>");
    EXPECT_EQ(ReadAll(lName), Header + params + L("1") + L(big) + L("3") + "</vantra>");
    EXPECT_EQ(core->Journal().pendingS, "");
}
