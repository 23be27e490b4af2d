#include "register/ui/UQRImage.h"

#include <windowsx.h>

#include "register/ui/UScanForm.h"

bool TQRImage::InMiddleThird(int height, int x, int y)
{
    const int low = height / 3, high = height - height / 3;
    return x > low && x < high && y > low && y < high;
}

void TQRImage::MouseMove(TShiftState, int X, int Y)
{
    if (ScanForm && ScanForm->Visible() && InMiddleThird(Height(), X, Y)) ScanForm->CompleteScan();
}

void TQRImage::WndProc(TMessage& m)
{
    if (m.Msg == WM_MOUSEMOVE) MouseMove(KeyboardShiftState(), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    TImage::WndProc(m);
}
