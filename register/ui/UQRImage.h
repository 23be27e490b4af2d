// The QR picture class of the register window: the receipt's QR picture (TKassTip::QrOverlay,
// a child of the receipt memo) doubles as the target of the scan window. While the scan window
// is visible, a mouse move with both coordinates strictly inside the picture's middle third
// (greater than height div 3 and less than height - height div 3; the height serves for both
// axes) completes its scan (TScanForm::CompleteScan). Then the picture's own mouse handling
// runs. For a 60 x 60 picture the middle third is 21..39 on both axes.
#pragma once

#include "gui/ExtCtrls.h"

class TQRImage : public TImage {
    GUI_CLASS(TQRImage, TImage)
    explicit TQRImage(TComponent* owner) : TImage(owner) {}
    // Whether a point of a picture of this height lies in its middle third.
    static bool InMiddleThird(int height, int x, int y);
    void MouseMove(TShiftState Shift, int X, int Y);

protected:
    void WndProc(TMessage& m) override;
};
