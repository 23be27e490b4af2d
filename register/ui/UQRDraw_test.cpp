#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "register/core/UQR.h"
#include "register/core/URegisterCore.h"
#include "register/ui/UQRDraw.h"

namespace {

class TQrTestForm : public TForm {
    GUI_CLASS(TQrTestForm, TForm)
    using TForm::TForm;
    TImage* QRImage = nullptr;
    TMemo* BelegMemo = nullptr;

protected:
    const TFormBindings& Bindings() const override
    {
        static const TFormBindings b = {{"QRImage", &TQrTestForm::QRImage}, {"BelegMemo", &TQrTestForm::BelegMemo}};
        return b;
    }
};

// The register window's QR image, its receipt memo and the overlay hidden inside the memo.
class QrPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = TForm::Create<TQrTestForm>(Application);
        overlay = new TImage(form);
        overlay->SetParent(form->BelegMemo);
        overlay->Hide();
        form->BelegMemo->Lines().Add("Brot          2,50 €");
        form->BelegMemo->Lines().Add("Summe         2,50 €");
        SetForegroundWindow(form->Handle());
    }
    void TearDown() override { Application->DestroyForms(); }

    // The picture's pixels as text: "#" black, "." white, "?" anything else; one row a line.
    static std::string Pixels(TImage& image)
    {
        std::string rows;
        TCanvas& canvas = image.Picture().Canvas();
        for (int y = 0; y < image.Picture().Height(); ++y) {
            for (int x = 0; x < image.Picture().Width(); ++x) {
                const COLORREF c = canvas.Pixel(x, y);
                rows += c == RGB(0, 0, 0) ? '#' : c == RGB(255, 255, 255) ? '.' : '?';
            }
            rows += '\n';
        }
        return rows;
    }

    TRegisterCore core;
    TQrTestForm* form = nullptr;
    TImage* overlay = nullptr;
};

} // namespace

TEST_F(QrPicture, SymbolIsDrawnCentredOnePixelAModuleAndPlacedAboveFiveNewMemoLines)
{
    core.VerifyUrl() = "http://example.org/x";
    UQR::TQrSymbol symbol;
    ASSERT_TRUE(UQR::QrSymbolOf(core.VerifyUrl(), symbol));
    ASSERT_EQ(symbol.size, 25);

    UQR::DrawQrCode(*form->QRImage, *form->BelegMemo, *overlay);

    // The 100 x 100 picture: the modules from (37, 37) on, nothing else painted.
    std::string expected;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 37 && y >= 37 && x < 37 + 25 && y < 37 + 25;
            expected += inside && symbol.Dark(x - 37, y - 37) ? '#' : '.';
        }
        expected += '\n';
    }
    ASSERT_EQ(form->QRImage->Picture().Width(), 100);
    ASSERT_EQ(form->QRImage->Picture().Height(), 100);
    EXPECT_EQ(Pixels(*form->QRImage), expected);

    // Five empty lines at the memo's end, the caret on the last one; the overlay above it.
    TMemo& memo = *form->BelegMemo;
    EXPECT_EQ(memo.Lines().Text(), "Brot          2,50 \x80\r\nSumme         2,50 \x80\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(GetFocus(), memo.Handle());
    // The caret's line, the last (empty) one, lies one line below the line before it (the edit
    // control gives no position for the end of its text).
    auto lineTop = [&memo](int line) {
        const LRESULT start = SendMessageA(memo.Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        return static_cast<int>(static_cast<short>(HIWORD(SendMessageA(memo.Handle(), EM_POSFROMCHAR, start, 0))));
    };
    const int lastLine = static_cast<int>(SendMessageA(memo.Handle(), EM_GETLINECOUNT, 0, 0)) - 1;
    ASSERT_EQ(lastLine, 7);
    const int caretY = lineTop(lastLine - 1) + (lineTop(1) - lineTop(0));
    EXPECT_GT(lineTop(1) - lineTop(0), 10);
    EXPECT_EQ(overlay->Left(), 380 / 2 - 25);
    EXPECT_EQ(overlay->Top(), caretY - 25);
    EXPECT_EQ(overlay->Width(), 100);
    EXPECT_EQ(overlay->Height(), 100);
    EXPECT_TRUE(overlay->Visible());
    EXPECT_EQ(Pixels(*overlay), expected);
}

TEST_F(QrPicture, NoLinkOrNoSymbolLeavesThePictureClearAndTheMemoAlone)
{
    // A picture from before.
    form->QRImage->Canvas().Brush().SetColor(clBlack);
    form->QRImage->Canvas().FillRect(RECT{0, 0, 10, 10});
    ASSERT_FALSE(form->QRImage->Picture().Empty());

    UQR::DrawQrCode(*form->QRImage, *form->BelegMemo, *overlay);
    EXPECT_TRUE(form->QRImage->Picture().Empty());
    EXPECT_EQ(form->BelegMemo->Lines().Count(), 2);
    EXPECT_FALSE(overlay->Visible());

    // A link longer than the largest symbol holds: the library has no symbol (GetQR null).
    form->QRImage->Canvas().FillRect(RECT{0, 0, 10, 10});
    core.VerifyUrl() = std::string(3000, '\xE4');
    UQR::DrawQrCode(*form->QRImage, *form->BelegMemo, *overlay);
    EXPECT_TRUE(form->QRImage->Picture().Empty());
    EXPECT_EQ(form->BelegMemo->Lines().Count(), 2);
    EXPECT_FALSE(overlay->Visible());
}

// A memo that collects its lines (a mass run): the five lines wait with the others and the
// picture waits for them; placed then, it stands where it stands when drawn at once, over the
// same text, caret and view.
TEST_F(QrPicture, PlacedAfterTheMemoShowsItsLinesThePictureStandsWhereItStandsAtOnce)
{
    core.VerifyUrl() = "http://example.org/x";
    UQR::TQrSymbol symbol;
    ASSERT_TRUE(UQR::QrSymbolOf(core.VerifyUrl(), symbol));
    TMemo& memo = *form->BelegMemo;
    auto place = [&](bool later) {
        memo.Lines().Clear();
        overlay->Hide();
        TStringsUpdate update(memo.Lines());
        for (int n = 0; n < 30; ++n)
            memo.Lines().Add("Brot " + std::to_string(n));
        if (later) {
            EXPECT_TRUE(UQR::AddQrRoom(memo, symbol));
            EXPECT_FALSE(overlay->Visible());
            EXPECT_EQ(GetWindowTextLengthA(memo.Handle()), 0);
            UQR::ShowQrCode(*form->QRImage, memo, *overlay, symbol);
        } else {
            UQR::DrawQrCode(*form->QRImage, memo, *overlay, symbol);
        }
        return std::to_string(overlay->Left()) + "," + std::to_string(overlay->Top()) + "," +
               std::to_string(overlay->Visible()) + "|" + std::to_string(memo.FirstVisibleLine()) + "|" +
               std::to_string(memo.SelStart()) + "|" + Pixels(*overlay) + memo.Lines().Text();
    };
    const std::string atOnce = place(false);
    EXPECT_GT(memo.FirstVisibleLine(), 0);
    EXPECT_EQ(place(true), atOnce);
}
