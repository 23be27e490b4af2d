// The painting steps that the adapters of non-scrolling windows (buttons, check boxes, group
// boxes, statics, size grips) share: the window's font, the parent's background under the
// window, the transparent corners of a border image, the disabled blend, and a step run with
// the window's own painting switched off (the window's font and the sized cache are the
// containers' services, skin/windows/vxContainerUtils.h).
//
//   TsCacheInfo parent;
//   GetParentCacheInfoByHandle(wnd, parent);                 // the parent's bitmap or colour
//   PaintParentBackground(cache, parent, pos, TRect{0, 0, w, h});
//   FillCornersFromParent(link, parent, pos, state);         // after the section was painted
//   if (!IsWindowEnabled(wnd)) BlendDisabled(cache, parent, pos, AskWindowColor(GetParent(wnd)));
#pragma once

#include <windows.h>

#include <string>

#include "gui/Graphics.h"
#include "gui/base/Geometry.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sMessages.h"
#include "skin/windows/vxContainerUtils.h"

inline TRect AsTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// The link's section for the state over the parent's background into the whole cache (w x h),
// the transparent corners of its border image taken from the parent as well.
void PaintLinkSection(TsCommonData* link, const TsCacheInfo& parent, POINT pos, int state, int w, int h);
// A disabled window's look (BlendDisabled) over its parent's colour: the fill colour of the
// parent's answer, else the parent window's own. Nothing for an enabled window.
void BlendDisabledWindow(HWND wnd, TBitmap* bmp, const TsCacheInfo& parent, POINT pos);
// The parent's background for the window at pos (its top-left corner in the parent's client
// area) into r of bmp: the parent's bitmap at pos (a ready cache info), else its fill colour;
// nothing when it has neither.
void PaintParentBackground(TBitmap* bmp, const TsCacheInfo& parent, POINT pos, const TRect& r);
// The pixels of the link's cache that the corner pieces of its border image (for the state)
// leave transparent, taken from the parent's background as PaintParentBackground gives it.
// Nothing without a manager, a border image or a cache.
void FillCornersFromParent(TsCommonData* link, const TsCacheInfo& parent, POINT pos, int state);
// The disabled look of a painted control: blended 0.4 towards the parent's bitmap at pos when
// the parent has one (40 % of the control stays), else towards parentColor (each channel
// (c - colour) x 0.4 + colour); pixels of 0xFF00FF are left out.
void BlendDisabled(TBitmap* bmp, const TsCacheInfo& parent, POINT pos, TColor parentColor);
// The window's WM_SETREDRAW 0, the step, WM_SETREDRAW 1: what the window would paint by itself
// meanwhile does not reach the screen.
template <class F> void WithoutRedraw(HWND wnd, F step)
{
    SendMessageA(wnd, WM_SETREDRAW, 0, 0);
    step();
    SendMessageA(wnd, WM_SETREDRAW, 1, 0);
}
// The size of one frame of a mask (GetMaskSize); 16 x 16 for a mask the skin does not have.
SIZE GlyphFrameSize(const TsSkinManager* manager, int maskIndex);
// The cursor lies in the window's rectangle.
bool CursorInWindow(HWND wnd);
