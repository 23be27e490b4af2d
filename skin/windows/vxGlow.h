// Glow effects: layered windows around skinned controls, kept in one list; an effect's
// identifier is its index there. No glow is made yet: ShowGlow answers -1.
#pragma once

#include <windows.h>

#include <string>

#include "gui/base/Geometry.h"

class TsSkinManager;

// rect and clip in screen coordinates; manager none: the default manager; -1 when layered
// windows are not available or the section has no such mask.
int ShowGlow(const TRect& rect, const TRect& clip, const std::string& section, TsSkinManager* manager, HWND owner,
             int alpha, int margin, const std::string& maskName);
// Frees that glow; negative or too large identifiers are ignored.
void HideGlow(int& id);
// Frees every glow and empties the list.
void ClearGlows();

// The module's start (nothing to prepare yet) and end (every glow freed).
void GlowStart();
void GlowEnd();
