// The text of a control on a form of another process, as a driver reads it: a windowed
// control's window text (WM_GETTEXT), a graphic control's caption (labels, gauges: they have no
// window) through its form (QueryControl, gui/Automation.h). Each is one message, so a text
// that changes meanwhile is read whole. "<name missing>" when the form has no such control.
//
//   EXPECT_EQ(ControlText(splash, "Label1"), "Initialisierung");
//   EXPECT_EQ(ControlText(mass, "Progr"), "100%");
#pragma once

#include <windows.h>

#include <string>

#include "gui/Automation.h"

inline std::string ControlText(HWND form, const char* name)
{
    if (HWND w = FindControlWindow(form, name)) return WindowText(w);
    const TGraphicControlState s = QueryControl(form, name);
    return s.found ? s.caption : "<" + std::string(name) + " missing>";
}
