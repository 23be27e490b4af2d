// Desktop composition: whether the window manager composes the desktop, asked of dwmapi
// (bound at run time, once per process; missing library or entry point means off).
#pragma once

// False below Windows 6; else DwmIsCompositionEnabled answers S_OK and composition on.
bool DwmCompositionEnabled();
