// Lines added to a memo or a rich edit between BeginUpdate and EndUpdate: collected, then
// shown as one edit that leaves the window as adding them one by one would have.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <stdexcept>

#include "gui/Automation.h"
#include "gui/ComCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

namespace {

class MemoUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = TForm::Create<TForm>(Application);
        form->SetBounds(100, 100, 700, 300);
        form->Show();
    }
    void TearDown() override { form->Free(); }
    // A short window with a vertical scroll bar, so that the lines below scroll it.
    template <class T> T* Make(int left)
    {
        T* c = new T(form);
        c->SetProperty("ScrollBars", TPropValue::OfIdent("ssVertical"));
        c->SetBounds(left, 0, 300, 80);
        c->SetParent(form);
        return c;
    }
    static std::string Line(int n) { return "Zeile " + std::to_string(n) + "\t1,99"; }
    static int FirstVisible(HWND w) { return static_cast<int>(SendMessageA(w, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    // The face and height of a rich edit's character at a position.
    static std::string FontAt(HWND w, int position)
    {
        CHARRANGE keep{}, r{position, position + 1};
        SendMessageA(w, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
        SendMessageA(w, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        CHARFORMAT2A cf{};
        cf.cbSize = sizeof cf;
        cf.dwMask = CFM_FACE | CFM_SIZE;
        SendMessageA(w, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        SendMessageA(w, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
        return std::string(cf.szFaceName) + " " + std::to_string(cf.yHeight);
    }
    TForm* form = nullptr;
};

} // namespace

TEST_F(MemoUpdateTest, MemoLinesAreShownAtTheOuterEndUpdateAsIfAddedOneByOne)
{
    auto* reference = Make<TMemo>(0);
    auto* memo = Make<TMemo>(320);
    for (TMemo* m : {reference, memo})
        m->SetText("Kopf\r\n");
    // The reference gets each line as its own edit of the window.
    for (int n = 0; n < 12; ++n) {
        const std::string text = Line(n) + "\r\n";
        SendMessageA(reference->Handle(), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        SendMessageA(reference->Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    {
        TStringsUpdate outer(memo->Lines());
        for (int n = 0; n < 6; ++n)
            memo->Lines().Add(Line(n));
        {
            TStringsUpdate inner(memo->Lines());
            for (int n = 6; n < 12; ++n)
                memo->Lines().Add(Line(n));
        }
        // The window still shows the text before the update; the lines see the new ones.
        EXPECT_EQ(WindowText(memo->Handle()), "Kopf\r\n");
        EXPECT_EQ(memo->Lines().Count(), 13);
        EXPECT_EQ(memo->Lines()[12], Line(11));
        EXPECT_EQ(memo->GetTextLen(), static_cast<int>(reference->Text().size()));
    }
    EXPECT_EQ(WindowText(memo->Handle()), WindowText(reference->Handle()));
    EXPECT_EQ(memo->SelStart(), reference->SelStart());
    EXPECT_GT(FirstVisible(reference->Handle()), 0);
    EXPECT_EQ(FirstVisible(memo->Handle()), FirstVisible(reference->Handle()));
}

TEST_F(MemoUpdateTest, RichEditLinesKeepTheirColoursAndOtherChangesApplyTheCollectedLinesFirst)
{
    auto* reference = Make<TRichEdit>(0);
    auto* log = Make<TRichEdit>(320);
    const TColor colours[] = {clBlack, clRed, clBlue, clBlack, clGreen};
    // Some with the characters a rich text escapes, and some of code page 1252 above 127.
    auto lineText = [](int n) {
        return Line(n) + (n % 4 == 1 ? " {\\Gr\xFC\xDF"
                                       "e}"
                                     : "");
    };
    auto add = [&](TRichEdit* r, int n) {
        if (n % 3 == 2) r->Lines().Add(lineText(n)); // in the colour at the end of the text
        else r->AppendLine(lineText(n), colours[n % 5]);
        r->ScrollToCaret();
    };
    for (int n = 0; n < 14; ++n)
        add(reference, n);
    reference->Lines().Delete(0);
    add(reference, 14);
    {
        TStringsUpdate update(log->Lines());
        for (int n = 0; n < 14; ++n)
            add(log, n);
        EXPECT_EQ(WindowText(log->Handle()), "");
        log->Lines().Delete(0); // applies the lines collected so far, then deletes
        EXPECT_NE(WindowText(log->Handle()), "");
        add(log, 14);
    }
    const std::string text = WindowText(reference->Handle());
    ASSERT_EQ(WindowText(log->Handle()), text);
    for (int line = 0; line < log->Lines().Count(); ++line) {
        const int start = static_cast<int>(SendMessageA(reference->Handle(), EM_LINEINDEX, line, 0));
        EXPECT_EQ(log->ColorAt(start), reference->ColorAt(start)) << line;
        EXPECT_EQ(log->ColorAt(start + 3), reference->ColorAt(start + 3)) << line;
        EXPECT_EQ(FontAt(log->Handle(), start + 3), FontAt(reference->Handle(), start + 3)) << line;
    }
    EXPECT_GT(FirstVisible(reference->Handle()), 0);
    EXPECT_EQ(FirstVisible(log->Handle()), FirstVisible(reference->Handle()));
}

TEST_F(MemoUpdateTest, AnExceptionInsideAnUpdateStillShowsTheLinesAndLetsTheWindowPaint)
{
    auto* memo = Make<TMemo>(0);
    UpdateWindow(memo->Handle());
    try {
        TStringsUpdate update(memo->Lines());
        memo->Lines().Add("vorher");
        throw std::runtime_error("Karte gezogen");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(memo->Updating());
    EXPECT_EQ(WindowText(memo->Handle()), "vorher\r\n");
    memo->Lines().Add("danach"); // at once again
    EXPECT_EQ(WindowText(memo->Handle()), "vorher\r\ndanach\r\n");
    EXPECT_TRUE(IsWindowVisible(memo->Handle()));
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(memo->Handle(), &dirty, FALSE)); // it paints when messages are handled
    UpdateWindow(memo->Handle());
    EXPECT_FALSE(GetUpdateRect(memo->Handle(), &dirty, FALSE));
}

TEST_F(MemoUpdateTest, ApplyCollectedShowsTheLinesSoFarAndTheUpdateGoesOn)
{
    auto* memo = Make<TMemo>(0);
    {
        TStringsUpdate update(memo->Lines());
        memo->Lines().Add("eins");
        memo->ApplyCollected();
        EXPECT_EQ(WindowText(memo->Handle()), "eins\r\n");
        EXPECT_EQ(memo->CaretLine(), 1);
        memo->Lines().Add("zwei");
        EXPECT_TRUE(memo->Updating());
        EXPECT_EQ(WindowText(memo->Handle()), "eins\r\n");
    }
    EXPECT_EQ(WindowText(memo->Handle()), "eins\r\nzwei\r\n");
}

TEST_F(MemoUpdateTest, ATextSetInAnUpdateWaitsAndComesWithTheLinesAfterItAsOneText)
{
    auto* reference = Make<TMemo>(0);
    auto* memo = Make<TMemo>(320);
    for (TMemo* m : {reference, memo})
        for (int n = 0; n < 10; ++n)
            m->Lines().Add(Line(n));
    reference->SetText("Neu\r\n");
    for (int n = 20; n < 32; ++n)
        reference->Lines().Add(Line(n));
    {
        TStringsUpdate update(memo->Lines());
        memo->Lines().Add("verworfen");
        memo->SetText("Neu\r\n");
        for (int n = 20; n < 32; ++n)
            memo->Lines().Add(Line(n));
        EXPECT_EQ(WindowText(memo->Handle()).substr(0, 6), "Zeile ");
        EXPECT_EQ(memo->Text(), WindowText(reference->Handle()));
        EXPECT_EQ(memo->GetTextLen(), static_cast<int>(memo->Text().size()));
        EXPECT_EQ(memo->Lines()[0], "Neu");
    }
    EXPECT_EQ(WindowText(memo->Handle()), WindowText(reference->Handle()));
    EXPECT_EQ(memo->SelStart(), reference->SelStart());
    EXPECT_GT(FirstVisible(reference->Handle()), 0);
    EXPECT_EQ(FirstVisible(memo->Handle()), FirstVisible(reference->Handle()));
    {
        TStringsUpdate update(memo->Lines()); // a text alone: the caret and the view at the start
        memo->SetText("Leer\r\n");
    }
    EXPECT_EQ(WindowText(memo->Handle()), "Leer\r\n");
    EXPECT_EQ(FirstVisible(memo->Handle()), 0);
}

TEST_F(MemoUpdateTest, LinesDeletedAtTheStartOfARichEditWaitForTheEndAndKeepTheCaretOfTheirOrder)
{
    // A log trimmed before its next line (the caret ends behind it), and one trimmed last.
    for (const bool trimmedLast : {false, true}) {
        auto* reference = Make<TRichEdit>(0);
        auto* log = Make<TRichEdit>(320);
        auto steps = [&](TRichEdit* r) {
            for (int n = 6; n < 16; ++n) {
                if (n == 11 || (n == 15 && trimmedLast)) {
                    r->Lines().Delete(0);
                    r->Lines().Delete(0);
                }
                r->AppendLine(Line(n), n % 2 ? clRed : clBlue);
                r->ScrollToCaret();
            }
            if (trimmedLast) r->Lines().Delete(0);
        };
        for (TRichEdit* r : {reference, log})
            for (int n = 0; n < 6; ++n)
                r->AppendLine(Line(n), n % 2 ? clRed : clBlue);
        steps(reference);
        {
            TStringsUpdate update(log->Lines());
            steps(log);
            EXPECT_EQ(WindowText(log->Handle()).substr(0, Line(0).size()), Line(0)); // not yet
            EXPECT_EQ(log->Text(), WindowText(reference->Handle()));
            EXPECT_EQ(log->GetTextLen(), static_cast<int>(log->Text().size()));
        }
        const std::string text = WindowText(reference->Handle());
        ASSERT_EQ(WindowText(log->Handle()), text) << trimmedLast;
        for (int line = 0; line < log->Lines().Count(); ++line) {
            const int start = static_cast<int>(SendMessageA(reference->Handle(), EM_LINEINDEX, line, 0));
            EXPECT_EQ(log->ColorAt(start + 2), reference->ColorAt(start + 2)) << line;
        }
        EXPECT_EQ(log->SelStart(), reference->SelStart()) << trimmedLast;
        EXPECT_EQ(FirstVisible(log->Handle()), FirstVisible(reference->Handle())) << trimmedLast;
    }
}
