// THintWindow: the small window that shows a hint text beside the mouse pointer. A borderless
// popup (a thin frame, topmost, not activated, no taskbar button) in clInfoBk with the text in
// the system's hint font (Screen->HintFont()), written with 2 pixels of space to the frame:
//
//   auto* hint = new THintWindow(nullptr);
//   TRect r = hint->CalcHintRect(800, "Kasse sperren");   // measured: (0, 0, width, height)
//   OffsetRect(r, cursor.x + 8, cursor.y + 16);
//   hint->ActivateHint(r, "Kasse sperren");               // placed and shown without activation
//   ...
//   hint->Free();                                         // gone with its window
//
// A text wider than maxWidth is broken into lines of at most maxWidth pixels.
#pragma once

#include <string>

#include "gui/Controls.h"
#include "gui/base/Geometry.h"

class THintWindow : public TCustomControl {
    GUI_CLASS(THintWindow, TCustomControl)
    explicit THintWindow(TComponent* owner);
    // The window's size for the text: (0, 0, text width + 6, text height + 2) with lines of at
    // most maxWidth pixels (at least 1).
    TRect CalcHintRect(int maxWidth, const std::string& text);
    // The text at r (screen coordinates), shown topmost without taking the focus.
    void ActivateHint(const TRect& r, const std::string& text);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(TCanvas& canvas) override;
};
