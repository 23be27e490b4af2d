// Controls made in code on a plain form: what the windows hold after each operation.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/Automation.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/HintWindow.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/base/SysUtils.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = TForm::Create<TForm>(Application);
        form->SetBounds(100, 100, 500, 400);
        form->Show();
    }
    void TearDown() override { form->Free(); }
    template <class T> T* Make(int left, int top, int width, int height)
    {
        T* c = new T(form);
        c->SetBounds(left, top, width, height);
        c->SetParent(form);
        return c;
    }
    TForm* form = nullptr;
};

TEST_F(ControlsTest, MemoLinesAppendAtTheEndWithTheCaretThere)
{
    auto* memo = Make<TMemo>(0, 0, 300, 200);
    memo->Lines().Add("Kopf");
    memo->Lines().Add("Brot  1,99 €");
    EXPECT_EQ(WindowText(memo->Handle()), "Kopf\r\nBrot  1,99 \x80\r\n");
    EXPECT_EQ(memo->Lines().Count(), 2);
    EXPECT_EQ(memo->SelStart(), static_cast<int>(memo->Text().size()));
    EXPECT_EQ(memo->CaretLine(), 2); // behind the last line break
    memo->Lines().Insert(1, "Mitte");
    memo->Lines().Delete(0);
    memo->Lines().Put(1, "Milch");
    EXPECT_EQ(memo->Text(), "Mitte\r\nMilch\r\n");
    memo->SetText("ohne Umbruch");
    memo->Lines().Add("zwei");
    EXPECT_EQ(memo->Text(), "ohne Umbruch\r\nzwei\r\n");
    EXPECT_EQ(memo->Lines()[1], "zwei");
    EXPECT_THROW(memo->Lines().Get(2), EStringListError);
}

TEST_F(ControlsTest, ListBoxKeepsObjectsAndFindsEntriesByPoint)
{
    auto* list = Make<TListBox>(0, 0, 200, 200);
    TStringList a, b;
    list->Items().AddObject("Brot", &a);
    list->Items().AddObject("Milch", &b);
    EXPECT_EQ(list->Items().Objects(1), &b);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetItemIndex(1);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCURSEL, 0, 0), 1);
    RECT r = list->ItemRect(1);
    EXPECT_EQ(list->ItemAtPos(POINT{r.left + 2, r.top + 1}, true), 1);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 190}, true), -1);  // below the entries
    EXPECT_EQ(list->ItemAtPos(POINT{5, 190}, false), 2);  // ... or the count
    EXPECT_EQ(list->ItemAtPos(POINT{5, 500}, false), -1); // outside the client area
    list->Items().Delete(0);
    EXPECT_EQ(list->Items().Objects(0), &b);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
}

TEST_F(ControlsTest, MaskedEditsAndComboBoxes)
{
    auto* pin = Make<TMaskEdit>(0, 0, 100, 21);
    pin->SetEditMask("000000;1;_");
    for (char c : std::string("12a3"))
        SendMessageA(pin->Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
    EXPECT_EQ(pin->Text(), "123   "); // the letter is refused, the open places are blanks
    EXPECT_EQ(SendMessageA(pin->Handle(), EM_GETLIMITTEXT, 0, 0), 6);

    auto* edit = Make<TEdit>(0, 30, 100, 21);
    edit->OnKeyPress = [](TObject*, char& key) {
        if (key == '.') key = ',';
        else if (key == 'x') key = 0;
    };
    for (char c : std::string("0.5x"))
        SendMessageA(edit->Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
    EXPECT_EQ(edit->Text(), "0,5");
    EXPECT_DOUBLE_EQ(StrToFloat(edit->Text()), 0.5);

    auto* combo = Make<TComboBox>(0, 60, 150, 21);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->Items().Add("Winter");
    combo->Items().Add("Sommer");
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "Sommer");
    EXPECT_EQ(changes, 0); // only the user's choice is a change
}

// The owner-draw styles: entries measured (variable) and drawn through the events, the edit
// area too (index -1 while nothing is selected); the fixed style takes ItemHeight.
TEST_F(ControlsTest, OwnerDrawComboBoxesMeasureAndDrawThroughTheirEvents)
{
    for (TComboBoxStyle style : {csOwnerDrawFixed, csOwnerDrawVariable}) {
        auto* combo = Make<TComboBox>(0, 0, 150, 21);
        combo->SetStyle(style);
        combo->SetItemHeight(20);
        std::vector<int> measured, drawn;
        combo->OnMeasureItem = [&](TWinControl*, int index, int& height) {
            measured.push_back(index);
            height = 20 + index;
        };
        combo->OnDrawItem = [&](TWinControl* c, int index, const RECT& r, TOwnerDrawState state) {
            drawn.push_back((state & ODS_COMBOBOXEDIT) ? -10 - index : index);
            static_cast<TComboBox*>(c)->Canvas().FillRect(r);
        };
        for (const char* line : {"Winter", "Sommer", "Herbst"})
            combo->Items().Add(line);
        combo->SetItemIndex(1);
        EXPECT_EQ(combo->ItemHeight(), 20);
        const HWND wnd = combo->Handle();
        EXPECT_EQ(GetWindowLongA(wnd, GWL_STYLE) & 0x33,
                  (style == csOwnerDrawFixed ? CBS_OWNERDRAWFIXED : CBS_OWNERDRAWVARIABLE) | CBS_DROPDOWNLIST);
        EXPECT_EQ(SendMessageA(wnd, CB_GETITEMHEIGHT, 2, 0), style == csOwnerDrawFixed ? 20 : 22);
        EXPECT_EQ(measured, style == csOwnerDrawFixed ? std::vector<int>{} : std::vector<int>({0, 1, 2}));
        drawn.clear();
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(drawn, std::vector<int>({-11})) << "the edit area shows entry 1";
        drawn.clear();
        SendMessageA(wnd, CB_SHOWDROPDOWN, TRUE, 0);
        Application->ProcessMessages();
        std::sort(drawn.begin(), drawn.end());
        EXPECT_EQ(std::vector<int>(drawn.end() - 3, drawn.end()), std::vector<int>({0, 1, 2}));
        SendMessageA(wnd, CB_SHOWDROPDOWN, FALSE, 0);
        EXPECT_EQ(combo->Text(), "Sommer");
        delete combo;
    }
}

TEST_F(ControlsTest, RichEditColoursAppendedLinesOnly)
{
    auto* log = Make<TRichEdit>(0, 0, 400, 300);
    log->AppendLine("Card,APDU;00 A4 00 0C", clBlack);
    log->AppendLine("Result;   90 00", clRed);
    log->AppendLine("weiter", clBlack);
    std::string text = log->Text();
    EXPECT_NE(text.find("Result;   90 00"), std::string::npos) << text;
    int second = static_cast<int>(SendMessageA(log->Handle(), EM_LINEINDEX, 1, 0));
    int third = static_cast<int>(SendMessageA(log->Handle(), EM_LINEINDEX, 2, 0));
    EXPECT_EQ(log->ColorAt(second), ColorToRGB(clRed));
    EXPECT_EQ(log->ColorAt(third), ColorToRGB(clBlack));
    EXPECT_EQ(log->ColorAt(0), ColorToRGB(clBlack));
}

TEST_F(ControlsTest, RichEditWithAnUndoLimitOfZeroKeepsNothingToUndo)
{
    auto* log = Make<TRichEdit>(0, 0, 400, 300);
    log->SetUndoLimit(0);
    SendMessageA(log->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("getippt"));
    SendMessageA(log->Handle(), EM_UNDO, 0, 0);
    EXPECT_EQ(log->Text(), "getippt");
}

// Changing, inserting and deleting lines touches only that line: the others keep their colours.
TEST_F(ControlsTest, RichEditLinesChangeInPlace)
{
    auto* log = Make<TRichEdit>(0, 0, 400, 300);
    log->AppendLine("eins", clBlack);
    log->AppendLine("zwei", clRed);
    log->AppendLine("drei", clBlue);
    auto lineStart = [&](int n) { return static_cast<int>(SendMessageA(log->Handle(), EM_LINEINDEX, n, 0)); };
    log->Lines().Put(0, "EINS!");
    EXPECT_EQ(log->Text(), "EINS!\r\nzwei\r\ndrei");
    EXPECT_EQ(log->ColorAt(lineStart(1)), ColorToRGB(clRed));
    EXPECT_EQ(log->ColorAt(lineStart(2)), ColorToRGB(clBlue));
    log->Lines().Put(1, "ZWEI");
    EXPECT_EQ(log->ColorAt(lineStart(1)), ColorToRGB(clRed)); // the line keeps its own colour
    EXPECT_EQ(log->ColorAt(lineStart(2)), ColorToRGB(clBlue));
    log->Lines().Insert(1, "neu");
    EXPECT_EQ(log->Text(), "EINS!\r\nneu\r\nZWEI\r\ndrei");
    EXPECT_EQ(log->ColorAt(lineStart(2)), ColorToRGB(clRed));
    EXPECT_EQ(log->ColorAt(lineStart(3)), ColorToRGB(clBlue));
    log->Lines().Delete(0);
    EXPECT_EQ(log->Text(), "neu\r\nZWEI\r\ndrei");
    EXPECT_EQ(log->ColorAt(lineStart(1)), ColorToRGB(clRed));
    EXPECT_EQ(log->ColorAt(lineStart(2)), ColorToRGB(clBlue));
    EXPECT_EQ(log->Lines().Count(), 3);
    EXPECT_EQ(log->Lines()[2], "drei");
}

// Rendering a range into a device context: text only inside the rectangle, and the index of
// the first character that did not fit below the lines that did.
TEST_F(ControlsTest, RichEditRendersARangeIntoADeviceContext)
{
    auto* rich = Make<TRichEdit>(0, 0, 300, 200);
    rich->Font().SetName("Courier New");
    rich->Font().SetSize(8);
    rich->SetText("Kassenbeleg\r\nBrot 1,99\r\nMilch 0,99\r\nSUMME 2,98");
    TBitmap bitmap(200, 100);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect(RECT{0, 0, 200, 100});
    const int ppi = GetDeviceCaps(canvas.Handle(), LOGPIXELSY);
    const auto dark = [&](int top, int bottom, int left, int right) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (canvas.Pixel(x, y) != RGB(255, 255, 255)) ++n;
        return n;
    };
    // Everything fits: the range ends at the text's end.
    EXPECT_EQ(rich->FormatRange(canvas.Handle(), RECT{0, 0, MulDiv(200, 1440, ppi), MulDiv(100, 1440, ppi)}),
              rich->TextLength());
    EXPECT_GT(dark(0, 60, 0, 200), 50);

    // A rectangle 30 pixels high from x 100: the first lines only, nothing outside it.
    canvas.FillRect(RECT{0, 0, 200, 100});
    const int next = rich->FormatRange(canvas.Handle(),
                                       RECT{MulDiv(100, 1440, ppi), 0, MulDiv(200, 1440, ppi), MulDiv(30, 1440, ppi)});
    EXPECT_GT(next, 0);
    EXPECT_LT(next, rich->TextLength());
    EXPECT_EQ(rich->Text().substr(0, 12), "Kassenbeleg\r");
    EXPECT_GT(dark(0, 30, 100, 200), 20);
    EXPECT_EQ(dark(0, 100, 0, 100), 0);
    EXPECT_EQ(dark(30, 100, 0, 200), 0);
    // The rest from where the first call stopped.
    EXPECT_EQ(rich->FormatRange(canvas.Handle(), RECT{0, 0, MulDiv(200, 1440, ppi), MulDiv(100, 1440, ppi)}, next),
              rich->TextLength());
}

// A list of columns runs its entries down one column and on into the next.
TEST_F(ControlsTest, ListBoxColumnsAndItemHeight)
{
    auto* list = Make<TListBox>(10, 10, 300, 100);
    list->SetItemHeight(20);
    list->SetColumns(3);
    for (int i = 0; i < 12; ++i)
        list->Items().Add("Eintrag " + std::to_string(i));
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_TRUE(GetWindowLongA(list->Handle(), GWL_STYLE) & LBS_MULTICOLUMN);
    RECT first = list->ItemRect(0), second = list->ItemRect(1), below = list->ItemRect(4);
    int perColumn = list->ClientHeight() / 20;
    RECT next = list->ItemRect(perColumn);
    EXPECT_EQ(second.left, first.left);
    EXPECT_EQ(second.top, first.top + 20);
    EXPECT_EQ(next.left, first.left + list->ClientWidth() / 3); // the next column
    EXPECT_EQ(next.top, first.top);
    EXPECT_EQ(below.bottom - below.top, 20);
    EXPECT_EQ(list->Count(), 12);
    EXPECT_EQ(list->Items()[11], "Eintrag 11");
}

TEST_F(ControlsTest, ListBoxMadeAnewKeepsTheEntryTheUserSelected)
{
    auto* list = Make<TListBox>(10, 10, 300, 100);
    for (const char* s : {"Brot", "Milch", "Salz"})
        list->Items().Add(s);
    list->SetItemIndex(0);
    SendMessageA(list->Handle(), LB_SETCURSEL, 2, 0); // the user's choice, in the window only
    list->SetColumns(2);                              // the window is made anew
    EXPECT_TRUE(GetWindowLongA(list->Handle(), GWL_STYLE) & LBS_MULTICOLUMN);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(list->Count(), 3);
}

TEST_F(ControlsTest, GaugesAndLabelsCarryTheirTextsPanelsTheirWindowText)
{
    auto* gauge = Make<TGauge>(0, 0, 200, 20);
    int changes = 0;
    gauge->OnChange = [&](TObject*) { ++changes; };
    for (int i = 0; i < 6; ++i)
        gauge->AddProgress(20);
    EXPECT_EQ(gauge->Progress(), 100);
    EXPECT_EQ(changes, 5); // the sixth step changes nothing
    EXPECT_EQ(gauge->Caption(), "100%");
    gauge->SetMaxValue(50);
    EXPECT_EQ(gauge->Progress(), 50);
    EXPECT_THROW(gauge->SetMaxValue(-1), EInvalidOperation);

    auto* label = Make<TLabel>(0, 40, 10, 10);
    label->SetCaption("Initialisierung");
    EXPECT_EQ(label->Caption(), "Initialisierung");
    EXPECT_GT(label->Width(), 40); // sized to its text
    auto* panel = Make<TPanel>(0, 80, 100, 30);
    panel->SetCaption("1900");
    EXPECT_EQ(WindowText(panel->Handle()), "1900");

    auto* picker = Make<TDateTimePicker>(0, 120, 150, 21);
    picker->SetDate(EncodeDate(2024, 2, 29));
    EXPECT_EQ(DateToStr(picker->Date()), "29.02.2024");
}

// The hint window: sized by its text in the hint font (lines no wider than asked), shown
// topmost at its place without taking the activation, in the hint colours.
TEST_F(ControlsTest, AHintWindowShowsItsTextWhereItIsPut)
{
    SetForegroundWindow(form->Handle());
    auto* hint = new THintWindow(nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Screen->HintFont().Handle());
    SIZE text{};
    GetTextExtentPoint32A(dc, "Kasse sperren", 13, &text);
    SelectObject(dc, old);
    DeleteDC(dc);
    const TRect r = hint->CalcHintRect(800, "Kasse sperren");
    EXPECT_EQ(r.Right, text.cx + 6);
    EXPECT_EQ(r.Bottom, text.cy + 2);
    const TRect narrow = hint->CalcHintRect(60, "Kasse sperren und abrechnen");
    EXPECT_LE(narrow.Right, 66);
    EXPECT_GE(narrow.Bottom, 2 * text.cy + 2);

    hint->ActivateHint(TRect{200, 220, 200 + r.Right, 220 + r.Bottom}, "Kasse sperren");
    const HWND wnd = hint->Handle();
    RECT w{};
    GetWindowRect(wnd, &w);
    EXPECT_EQ(w.left, 200);
    EXPECT_EQ(w.top, 220);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_POPUP);
    EXPECT_NE(GetForegroundWindow(), wnd);
    UpdateWindow(wnd);
    HDC wdc = GetDC(wnd);
    EXPECT_EQ(GetPixel(wdc, 1, 1), GetSysColor(COLOR_INFOBK));
    int ink = 0;
    for (int x = 0; x < r.Right - 2; ++x)
        for (int y = 0; y < r.Bottom - 2; ++y)
            ink += GetPixel(wdc, x, y) == GetSysColor(COLOR_INFOTEXT);
    ReleaseDC(wnd, wdc);
    EXPECT_GT(ink, 10);
    hint->Free();
    EXPECT_FALSE(IsWindow(wnd));
}

} // namespace

TEST_F(ControlsTest, AHiddenControlMovedLeavesItsSiblingsToPaintLater)
{
    auto* memo = Make<TMemo>(0, 0, 200, 100);
    auto* hidden = Make<TPanel>(250, 0, 60, 60);
    hidden->SetVisible(false);
    int framePaints = 0;
    memo->HookWindowProc([&](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_NCPAINT) ++framePaints;
        inherited(m);
    });
    UpdateWindow(form->Handle());
    framePaints = 0;
    RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    hidden->SetBounds(250, 0, 90, 90);
    EXPECT_EQ(framePaints, 0); // not at once: the waiting change paints with the next paint
    UpdateWindow(form->Handle());
    EXPECT_EQ(framePaints, 1);
    RECT r{};
    GetWindowRect(hidden->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 90);
}
