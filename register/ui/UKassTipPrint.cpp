// The register window's printing: the receipt as a picture on a chosen printer, the raw receipt
// printer, and the QR picture's enlargement.
#include <windows.h>

#include <cmath>
#include <memory>
#include <string>

#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Printers.h"
#include "gui/StdCtrls.h"
#include "register/core/UPrint.h"
#include "register/ui/UKassTip.h"

namespace {

int ScreenPixelsPerInch()
{
    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ppi > 0 ? ppi : 96;
}

int Round(double x) { return static_cast<int>(std::lround(x)); }

} // namespace

std::unique_ptr<TBitmap> TKassTip::RenderReceipt(bool selectionOnly)
{
    auto rich = std::make_unique<TRichEdit>(nullptr);
    rich->SetVisible(false);
    rich->SetParent(this);
    rich->Font() = BelegMemo->Font();
    rich->Font().SetSize(8);
    rich->SetBounds(0, 0, BelegMemo->ClientWidth(), BelegMemo->ClientHeight());
    rich->SetText(selectionOnly ? BelegMemo->SelText() : BelegMemo->Text());

    const int lines = rich->Lines().Count();
    auto bitmap = std::make_unique<TBitmap>(rich->Width(), Round(lines * rich->Font().Size() * 1.79));
    if (bitmap->Width() > 0 && bitmap->Height() > 0) {
        TCanvas& canvas = bitmap->Canvas();
        canvas.Brush().SetColor(clWhite);
        canvas.FillRect(RECT{0, 0, bitmap->Width(), bitmap->Height()});
        const int ppi = ScreenPixelsPerInch();
        rich->FormatRange(canvas.Handle(),
                          RECT{0, 0, MulDiv(bitmap->Width(), 1440, ppi), MulDiv(bitmap->Height(), 1440, ppi)});
        if (!QrOverlay->Picture().Empty())
            canvas.Draw(bitmap->Width() / 2 - QrOverlay->Width() / 2, bitmap->Height() - QrOverlay->Height(),
                        QrOverlay->Picture());
    }
    return bitmap;
}

void TKassTip::Standard1Click(TObject*)
{
    if (!PrintDialog1->Execute()) return;
    TPrinter& printer = *Printer();
    printer.Canvas().Font() = BelegMemo->Font();
    const std::unique_ptr<TBitmap> bitmap = RenderReceipt(PrintDialog1->PrintRange == prSelection);
    if (bitmap->Width() <= 0 || bitmap->Height() <= 0) return;
    printer.BeginDoc();
    try {
        const int pageWidth = printer.PageWidth();
        const double s = (pageWidth / 3.0) / bitmap->Width();
        const int left = pageWidth / 3;
        printer.Canvas().StretchDraw(
            RECT{left, 0, left + Round(bitmap->Width() * 1.1 * s), Round(bitmap->Height() * 1.2 * s)}, *bitmap);
    } catch (...) {
        printer.Abort();
        throw;
    }
    printer.EndDoc();
}

void TKassTip::EPSON1Click(TObject*) { UPrint::PrintReceipt(BelegMemo->Lines()); }

void TKassTip::QRImageDblClick(TObject*)
{
    QRImage->SetBounds(QRImage->Left(), QRImage->Top(), QRImage->Width() * 2, QRImage->Height() * 2);
}
