#include "register/ui/UQRDraw.h"

#include <windows.h>

#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "register/core/UQR.h"

namespace UQR {

void DrawQrCode(TImage& image, TCustomMemo& memo, TImage& overlay)
{
    TQrSymbol symbol;
    QrSymbolOf(GetVerifyUrl(), symbol);
    DrawQrCode(image, memo, overlay, symbol);
}

void DrawQrCode(TImage& image, TCustomMemo& memo, TImage& overlay, const TQrSymbol& symbol)
{
    if (!AddQrRoom(memo, symbol)) {
        image.Picture().Clear();
        return;
    }
    ShowQrCode(image, memo, overlay, symbol);
}

bool AddQrRoom(TCustomMemo& memo, const TQrSymbol& symbol)
{
    if (symbol.size < 1) return false;
    TStringsUpdate update(memo.Lines());
    for (int i = 0; i < 5; ++i)
        memo.Lines().Add("");
    return true;
}

void ShowQrCode(TImage& image, TCustomMemo& memo, TImage& overlay, const TQrSymbol& symbol)
{
    image.Picture().Clear();
    if (symbol.size < 1) return;

    const int x0 = SymbolOffset(image.Width(), symbol.size);
    const int y0 = SymbolOffset(image.Height(), symbol.size);
    TCanvas& canvas = image.Canvas();
    canvas.Brush().SetColor(clBlack);
    // Each run of dark modules in a row as one rectangle.
    for (int y = 0; y < symbol.size; ++y)
        for (int x = 0; x < symbol.size;) {
            if (!symbol.Dark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < symbol.size && symbol.Dark(x, y))
                ++x;
            canvas.FillRect(RECT{x0 + start, y0 + y, x0 + x, y0 + y + 1});
        }
    image.Invalidate();

    memo.SetFocus();
    memo.ApplyCollected();
    POINT caret{};
    if (!GetCaretPos(&caret)) return;
    // Showing the picture would repaint the memo, scroll bars and all, at once.
    TQuietChange quiet(memo.Handle());
    overlay.SetBounds(memo.Width() / 2 - symbol.size, caret.y - symbol.size, image.Width(), image.Height());
    overlay.Picture().Assign(image.Picture());
    overlay.Show();
}

} // namespace UQR
